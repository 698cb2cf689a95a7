// The shader program that stands in for Direct3D 9's fixed-function pipeline:
// per-vertex lighting (directional, point and spot lights; diffuse, ambient,
// specular with power, emissive; global ambient), texture stage 0's colour
// and alpha operations, the texture coordinate transform, the texture factor
// and the alpha test.
#pragma once

#include <cstdint>
#include <string>

// What a vertex shader variant fixes: whether the vertices carry a colour,
// lighting on or off, whether the diffuse colour comes from the vertices,
// the texture coordinate transform, and the count and types (point 1, spot 2,
// directional 3) of the enabled lights, in the order they are uploaded.
struct VertexVariant {
  int hasColor = 0, lighting = 0, diffuseFromVertex = 0, texTransform = 0;
  int lightCount = 0;
  int lightType[8] = {};
  uint32_t Key() const;
};
std::string VertexShaderSource(const VertexVariant& variant);

// What a fragment shader variant fixes: texture stage 0's colour and alpha
// operations and arguments, whether a texture is bound, whether stage 1
// multiplies stage 0's colour by the texture factor (the one use the game
// makes of a second stage: a lit model tinted), the specular sum and the
// alpha test with its function (0 when off).
struct FragmentVariant {
  int hasTexture = 0;
  int colorOp = 0, colorArg1 = 0, colorArg2 = 0;
  int alphaOp = 0, alphaArg1 = 0, alphaArg2 = 0;
  int tintByFactor = 0;
  int specular = 0;
  int alphaTest = 0, alphaFunc = 0;
  uint64_t Key() const;
};
std::string FragmentShaderSource(const FragmentVariant& variant);

// Attribute locations bound before linking.
enum FixedFunctionAttribute {
  kAttribPosition = 0,
  kAttribNormal = 1,
  kAttribColor = 2,
  kAttribTexCoord = 3
};
