// Direct3D 9's fixed-function states read the way the OpenGL device's
// shaders take them: the enabled lights in upload order, the shader variants
// a draw needs, and the render states that become OpenGL's raster state.
// Nothing here calls OpenGL.
#pragma once

#include <array>
#include <cstdint>

#include "platform/common/state_device.h"
#include "platform/sdl_gl/gl_shader.h"

// The enabled lights in the order the shader sees them. Unused entries stay
// zero, so two sets compare as bytes.
struct LightSet {
  int count = 0;
  int type[kMaxLights] = {};
  float diffuse[kMaxLights][4], specular[kMaxLights][4], ambient[kMaxLights][4];
  float position[kMaxLights][3], direction[kMaxLights][3], attenuation[kMaxLights][4];
  float spot[kMaxLights][3];
};
static_assert(sizeof(LightSet) % 4 == 0);

// The enabled lights of a kind the shader knows (point, spot, directional),
// in index order; none when lighting is off.
LightSet GatherLights(const uint32_t* renderStates, const std::array<D3DLIGHT9, kMaxLights>& lights,
                      const std::array<bool, kMaxLights>& enabled);

// The vertex shader variant for a draw: hasColor when its declaration gives
// the vertices a colour.
VertexVariant VertexVariantOf(const uint32_t* renderStates, const uint32_t* stage0, bool hasColor,
                              const LightSet& lights);

// The fragment shader variant for a draw with or without a texture on stage 0.
FragmentVariant FragmentVariantOf(const uint32_t* renderStates, const uint32_t* stage0,
                                  const uint32_t* stage1, bool hasTexture);

// The render states that become OpenGL's depth, blend and cull state.
using RasterValues = std::array<uint32_t, 7>;
RasterValues RasterOf(const uint32_t* renderStates);

// A D3DCOLOR as red, green, blue and alpha from 0 to 1.
void ColorToFloats(D3DCOLOR c, float out[4]);
