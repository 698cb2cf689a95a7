// The OpenGL device's shader programs: one per pair of vertex and fragment
// variants, compiled and linked the first time a draw needs it, with the
// uniforms it was last given so a draw uploads only what changed.
#pragma once

#include <map>
#include <string>
#include <unordered_map>
#include <utility>

#include "base/math.h"
#include "platform/sdl_gl/fixed_function_state.h"
#include "platform/sdl_gl/gl_functions.h"
#include "platform/sdl_gl/gl_shader.h"

// Where a program's uniforms are.
struct Uniforms {
  GLint world, viewProj, normalMatrix, eye;
  GLint matDiffuse, matAmbient, matSpecular, matEmissive, matPower, globalAmbient;
  GLint lightDiffuse, lightSpecular, lightAmbient, lightPosition;
  GLint lightDirection, lightAttenuation, lightSpot, texMatrix;
  GLint texture, tFactor, alphaRef;
};

// What a program was last given. Each group is compared as bytes.
struct UniformCache {
  bool valid = false;
  Matrix world;
  float normal[9], viewProj[16], eye[3];
  D3DMATERIAL9 material;
  float ambient[4];
  LightSet lights;
  Matrix texMatrix;
  float tFactor[4];
  float alphaRef;
};

struct GlProgram {
  GLuint id = 0;
  Uniforms u{};
  UniformCache cache;
};

class GlProgramCache {
 public:
  explicit GlProgramCache(GlFunctions& gl) : gl_(gl) {}
  // Deletes the programs and shaders; call while the context exists.
  void Release();

  // Makes the program of the variants the current one, building it the first
  // time; null with the reason when it does not compile or link.
  GlProgram* Use(const VertexVariant& vertex, const FragmentVariant& fragment, std::string* error);

 private:
  using Key = std::pair<uint32_t, uint64_t>;  // vertex and fragment variant keys

  GlProgram* Find(const VertexVariant& vertex, const FragmentVariant& fragment, std::string* error);
  GlProgram* Build(const Key& key, const VertexVariant& vertex, const FragmentVariant& fragment,
                   std::string* error);
  GLuint VertexShaderFor(const VertexVariant& variant, std::string* error);
  GLuint Compile(GLenum type, const std::string& source, std::string* error);

  GlFunctions& gl_;
  std::unordered_map<uint32_t, GLuint> vertexShaders_;  // by VertexVariant::Key
  std::map<Key, GlProgram> programs_;                   // nodes stay where they are
  Key lastKey_{};
  GlProgram* last_ = nullptr;
  GLuint current_ = 0;
};
