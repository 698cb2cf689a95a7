// Direct3D 9's states turned into OpenGL's: the depth, blend and cull state,
// the fixed-function uniforms of the current program, the texture on unit 0
// with its filters, and the vertex attributes of a declaration. It remembers
// what it last set, so a draw changes only what differs.
#pragma once

#include <cstdint>

#include "base/math.h"
#include "platform/sdl_gl/fixed_function_state.h"
#include "platform/sdl_gl/gl_functions.h"
#include "platform/sdl_gl/gl_programs.h"
#include "platform/sdl_gl/gl_resources.h"
#include "platform/sdl_gl/gl_textures.h"

// The Direct3D states a draw's uniforms come from.
struct DrawStates {
  const uint32_t* render;
  const uint32_t* stage0;
  const uint32_t* sampler0;
  const Matrix& world;
  const Matrix& view;
  const Matrix& projection;
  const Matrix& texture0;
  const D3DMATERIAL9& material;
  const LightSet& lights;
  GlTexture* texture;  // on stage 0, or null
};

class GlStateCache {
 public:
  explicit GlStateCache(GlFunctions& gl) : gl_(gl) {}

  // The depth test, depth writes, blending and culling of the render states.
  void ApplyRaster(const uint32_t* renderStates);
  // Something else changed the raster state (a clear's depth mask).
  void ForgetRaster() { rasterKnown_ = false; }
  // Something else bound a texture on unit 0.
  void ForgetTexture() { boundTexture_ = 0; }

  // Gives the program the uniforms of the states (those that changed since
  // it was last given them) and binds the texture with its filters.
  void Upload(GlProgram* program, const DrawStates& states);

  // Binds the buffers and points the attributes at the declaration's
  // elements (those it lacks get their defaults).
  void BindVertices(GlVertexBuffer* stream, GlIndexBuffer* indices,
                    const VertexDeclaration& declaration, uint32_t offset, uint32_t stride);

 private:
  // The lighting uniforms: normal matrix, eye, material, ambient, lights.
  void UploadLighting(GlProgram* program, const DrawStates& states, bool valid);

  GlFunctions& gl_;
  RasterValues raster_{};
  bool rasterKnown_ = false;
  GLuint boundTexture_ = 0;
  // Derived values, recomputed only when their source matrix changes.
  Matrix lastView_, lastProjection_, lastNormalWorld_;
  float viewProj_[16] = {}, eye_[3] = {}, normal_[9] = {};
  bool viewKnown_ = false, normalKnown_ = false;
};
