#include "platform/sdl_gl/gl_shader.h"

#include "platform/sdl_gl/gl_functions.h"

// Matrices arrive as Direct3D lays them out (row-major, row vectors) and are
// uploaded without transposing, so GLSL sees their transposes and M * v here
// computes Direct3D's v * M.
const char* const kFixedFunctionVertexBody = R"(
in vec3 aPos;
in vec3 aNormal;
in vec4 aColor;
in vec2 aTex;

uniform mat4 uWorld;
uniform mat4 uViewProj;
uniform mat3 uNormalMatrix;
uniform vec3 uEye;
uniform vec4 uMatDiffuse;
uniform vec4 uMatAmbient;
uniform vec4 uMatSpecular;
uniform vec4 uMatEmissive;
uniform float uMatPower;
uniform vec4 uGlobalAmbient;
uniform vec4 uLightDiffuse[8];
uniform vec4 uLightSpecular[8];
uniform vec4 uLightAmbient[8];
uniform vec3 uLightPosition[8];
uniform vec3 uLightDirection[8];
uniform vec4 uLightAttenuation[8];  // range, constant, linear, quadratic
uniform vec3 uLightSpot[8];         // falloff, cos(theta / 2), cos(phi / 2)
uniform mat4 uTexMatrix;

out vec4 vDiffuse;
out vec3 vSpecular;
out vec2 vTex;

// One light's share of the sums. Every call passes a constant index, so once
// the call is inlined each uniform array is read at a fixed place (indexing
// them with a loop counter makes a software renderer gather per vertex).
void AddLight(int i, vec3 N, vec3 P, vec3 V, inout vec3 ambient, inout vec3 diffuse,
              inout vec3 specular) {
  vec3 L;
  float atten = 1.0;
  if (uLightType[i] == 3) {
    L = -normalize(uLightDirection[i]);
  } else {
    vec3 toLight = uLightPosition[i] - P;
    float dist = length(toLight);
    if (dist > uLightAttenuation[i].x) return;
    L = toLight / max(dist, 1e-6);
    float den = uLightAttenuation[i].y + uLightAttenuation[i].z * dist +
                uLightAttenuation[i].w * dist * dist;
    atten = den > 0.0 ? 1.0 / den : 1.0;
    if (uLightType[i] == 2) {
      float rho = dot(normalize(-uLightDirection[i]), L);
      float cosTheta = uLightSpot[i].y;
      float cosPhi = uLightSpot[i].z;
      float spot = 1.0;
      if (rho <= cosPhi) spot = 0.0;
      else if (rho < cosTheta) spot = pow((rho - cosPhi) / max(cosTheta - cosPhi, 1e-6), uLightSpot[i].x);
      atten *= spot;
    }
  }
  float nDotL = max(dot(N, L), 0.0);
  ambient += uLightAmbient[i].rgb * atten;
  diffuse += uLightDiffuse[i].rgb * nDotL * atten;
  if (nDotL > 0.0 && uMatPower > 0.0) {
    vec3 H = normalize(L + V);
    specular += uLightSpecular[i].rgb * pow(max(dot(N, H), 0.0), uMatPower) * atten;
  }
}

void main() {
  vec4 worldPos = uWorld * vec4(aPos, 1.0);
  vec4 clip = uViewProj * worldPos;
  // Direct3D's clip depth runs from 0 to w, OpenGL's from -w to w.
  clip.z = clip.z * 2.0 - clip.w;
  gl_Position = clip;

  // D3DCOLOR bytes are B, G, R, A in memory.
  vec4 vertexColor = uHasColor != 0 ? aColor.bgra : vec4(1.0);
  vTex = uTexTransform != 0 ? (uTexMatrix * vec4(aTex, 1.0, 1.0)).xy : aTex;

  if (uLighting == 0) {
    vDiffuse = vertexColor;
    vSpecular = vec3(0.0);
    return;
  }

  vec4 materialDiffuse = (uDiffuseFromVertex != 0 && uHasColor != 0) ? vertexColor : uMatDiffuse;
  vec3 N = normalize(uNormalMatrix * aNormal);
  vec3 P = worldPos.xyz;
  vec3 V = normalize(uEye - P);
  vec3 ambient = uGlobalAmbient.rgb;
  vec3 diffuse = vec3(0.0);
  vec3 specular = vec3(0.0);
  // The enabled lights, in index order (the count is a constant).
  if (uLightCount > 0) AddLight(0, N, P, V, ambient, diffuse, specular);
  if (uLightCount > 1) AddLight(1, N, P, V, ambient, diffuse, specular);
  if (uLightCount > 2) AddLight(2, N, P, V, ambient, diffuse, specular);
  if (uLightCount > 3) AddLight(3, N, P, V, ambient, diffuse, specular);
  if (uLightCount > 4) AddLight(4, N, P, V, ambient, diffuse, specular);
  if (uLightCount > 5) AddLight(5, N, P, V, ambient, diffuse, specular);
  if (uLightCount > 6) AddLight(6, N, P, V, ambient, diffuse, specular);
  if (uLightCount > 7) AddLight(7, N, P, V, ambient, diffuse, specular);
  vec3 color = uMatEmissive.rgb + uMatAmbient.rgb * ambient + materialDiffuse.rgb * diffuse;
  vDiffuse = vec4(clamp(color, 0.0, 1.0), materialDiffuse.a);
  vSpecular = clamp(uMatSpecular.rgb * specular, 0.0, 1.0);
}
)";

// The vertex shader's body: compiled per variant with whether vertices carry
// a colour, lighting on or off, the diffuse source, the texture transform and
// the number and types of the enabled lights as constants, so the lighting
// loop unrolls into just the lights in use.

// The fragment shader's body. Each variant is compiled with the texture
// stage's operations and arguments, the alpha test and the specular switch as
// constants (FragmentShaderSource), so the compiler folds away every branch
// on them and each pixel runs only its own operation.
const char* const kFixedFunctionFragmentBody = R"(
in vec4 vDiffuse;
in vec3 vSpecular;
in vec2 vTex;

uniform sampler2D uTexture;
uniform vec4 uTFactor;
uniform float uAlphaRef;

out vec4 fragColor;

// D3DTA_DIFFUSE 0, D3DTA_CURRENT 1 (the diffuse colour on stage 0),
// D3DTA_TEXTURE 2, D3DTA_TFACTOR 3; 0x10 complements, 0x20 replicates alpha.
vec4 Arg(int a, vec4 tex) {
  int s = a & 15;
  vec4 v = s == 2 ? tex : (s == 3 ? uTFactor : vDiffuse);
  if ((a & 16) != 0) v = vec4(1.0) - v;
  if ((a & 32) != 0) v = vec4(v.a);
  return v;
}

// D3DTOP_SELECTARG1 2, SELECTARG2 3, MODULATE 4, MODULATE2X 5, MODULATE4X 6,
// ADD 7; DISABLE passes the diffuse colour through.
vec4 Op(int op, vec4 a1, vec4 a2) {
  if (op == 2) return a1;
  if (op == 3) return a2;
  if (op == 4) return a1 * a2;
  if (op == 5) return clamp(a1 * a2 * 2.0, 0.0, 1.0);
  if (op == 6) return clamp(a1 * a2 * 4.0, 0.0, 1.0);
  if (op == 7) return clamp(a1 + a2, 0.0, 1.0);
  return vDiffuse;
}

bool Passes(int func, float a, float ref) {
  if (func == 1) return false;
  if (func == 2) return a < ref;
  if (func == 3) return a == ref;
  if (func == 4) return a <= ref;
  if (func == 5) return a > ref;
  if (func == 6) return a != ref;
  if (func == 7) return a >= ref;
  return true;
}

void main() {
  // A stage without a texture reads opaque white, as the game's untextured
  // models expect.
  vec4 tex = uHasTexture != 0 ? texture(uTexture, vTex) : vec4(1.0);
  vec3 rgb = Op(uColorOp, Arg(uColorArg1, tex), Arg(uColorArg2, tex)).rgb;
  if (uTintByFactor != 0) rgb *= uTFactor.rgb;  // stage 1: current times the factor
  float a = Op(uAlphaOp, Arg(uAlphaArg1, tex), Arg(uAlphaArg2, tex)).a;
  if (uSpecularEnable != 0) rgb = clamp(rgb + vSpecular, 0.0, 1.0);
  if (uAlphaTest != 0 && !Passes(uAlphaFunc, a * 255.0, uAlphaRef)) discard;
  fragColor = vec4(rgb, a);
}
)";

namespace {
// GLSL 3.30 on desktop OpenGL; GLSL ES 3.00 in the browser, which asks for
// the precision of floats and integers (full, as on the desktop).
constexpr const char* kVersionLines =
    kGlEs ? "#version 300 es\nprecision highp float;\nprecision highp int;\n"
          : "#version 330 core\n";
// A GLSL integer constant standing in for a uniform of the same name.
void Constant(std::string* prelude, const char* name, int value) {
  *prelude += "const int " + std::string(name) + " = " + std::to_string(value) + ";\n";
}
}  // namespace

std::string VertexShaderSource(const VertexVariant& v) {
  std::string prelude = kVersionLines;
  auto constant = [&](const char* name, int value) { Constant(&prelude, name, value); };
  constant("uHasColor", v.hasColor);
  constant("uLighting", v.lighting);
  constant("uDiffuseFromVertex", v.diffuseFromVertex);
  constant("uTexTransform", v.texTransform);
  constant("uLightCount", v.lightCount);
  prelude += "const int uLightType[8] = int[8](";
  for (int i = 0; i < 8; ++i)
    prelude += std::to_string(i < v.lightCount ? v.lightType[i] : 0) + (i < 7 ? ", " : ");\n");
  return prelude + kFixedFunctionVertexBody;
}

uint32_t VertexVariant::Key() const {
  uint32_t k = static_cast<uint32_t>(hasColor & 1) | (lighting & 1) << 1 |
               (diffuseFromVertex & 1) << 2 | (texTransform & 1) << 3 |
               static_cast<uint32_t>(lightCount & 15) << 4;
  for (int i = 0; i < 8; ++i) k |= static_cast<uint32_t>(lightType[i] & 3) << (8 + 2 * i);
  return k;
}

std::string FragmentShaderSource(const FragmentVariant& v) {
  std::string prelude = kVersionLines;
  auto constant = [&](const char* name, int value) { Constant(&prelude, name, value); };
  constant("uHasTexture", v.hasTexture);
  constant("uColorOp", v.colorOp);
  constant("uColorArg1", v.colorArg1);
  constant("uColorArg2", v.colorArg2);
  constant("uAlphaOp", v.alphaOp);
  constant("uAlphaArg1", v.alphaArg1);
  constant("uAlphaArg2", v.alphaArg2);
  constant("uTintByFactor", v.tintByFactor);
  constant("uSpecularEnable", v.specular);
  constant("uAlphaTest", v.alphaTest);
  constant("uAlphaFunc", v.alphaFunc);
  return prelude + kFixedFunctionFragmentBody;
}

uint64_t FragmentVariant::Key() const {
  // Texture stage values are below 64; each field gets its own bits (the
  // two flags share one field's).
  uint64_t k = 0;
  for (int f : {hasTexture, colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2,
                (specular & 1) | (tintByFactor & 1) << 1, alphaTest, alphaFunc})
    k = k * 64 + static_cast<uint64_t>(f & 63);
  return k;
}
