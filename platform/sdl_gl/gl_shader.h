// The shader program that stands in for Direct3D 9's fixed-function pipeline:
// per-vertex lighting (directional, point and spot lights; diffuse, ambient,
// specular with power, emissive; global ambient), texture stage 0's colour
// and alpha operations, the texture coordinate transform, the texture factor
// and the alpha test.
#pragma once

extern const char* const kFixedFunctionVertexShader;
extern const char* const kFixedFunctionFragmentShader;

// Attribute locations bound before linking.
enum FixedFunctionAttribute {
  kAttribPosition = 0,
  kAttribNormal = 1,
  kAttribColor = 2,
  kAttribTexCoord = 3
};
