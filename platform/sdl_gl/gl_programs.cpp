#include "platform/sdl_gl/gl_programs.h"

void GlProgramCache::Release() {
  for (auto& [key, p] : programs_) gl_.glDeleteProgram(p.id);
  for (auto& [key, shader] : vertexShaders_) gl_.glDeleteShader(shader);
  programs_.clear();
  vertexShaders_.clear();
  last_ = nullptr;
  current_ = 0;
}

GlProgram* GlProgramCache::Use(const VertexVariant& vertex, const FragmentVariant& fragment,
                               std::string* error) {
  GlProgram* program = Find(vertex, fragment, error);
  if (program && program->id != current_) {
    gl_.glUseProgram(program->id);
    current_ = program->id;
  }
  return program;
}

GlProgram* GlProgramCache::Find(const VertexVariant& vertex, const FragmentVariant& fragment,
                                std::string* error) {
  const Key key{vertex.Key(), fragment.Key()};
  if (last_ && key == lastKey_) return last_;
  auto found = programs_.find(key);
  GlProgram* program =
      found != programs_.end() ? &found->second : Build(key, vertex, fragment, error);
  if (!program) return nullptr;
  lastKey_ = key;
  last_ = program;
  return program;
}

GlProgram* GlProgramCache::Build(const Key& key, const VertexVariant& vertex,
                                 const FragmentVariant& fragment, std::string* error) {
  const GLuint vs = VertexShaderFor(vertex, error);
  if (!vs) return nullptr;
  GLuint fs = Compile(GL_FRAGMENT_SHADER, FragmentShaderSource(fragment), error);
  if (!fs) return nullptr;
  GlProgram p;
  p.id = gl_.glCreateProgram();
  gl_.glAttachShader(p.id, vs);
  gl_.glAttachShader(p.id, fs);
  gl_.glBindAttribLocation(p.id, kAttribPosition, "aPos");
  gl_.glBindAttribLocation(p.id, kAttribNormal, "aNormal");
  gl_.glBindAttribLocation(p.id, kAttribColor, "aColor");
  gl_.glBindAttribLocation(p.id, kAttribTexCoord, "aTex");
  gl_.glLinkProgram(p.id);
  gl_.glDetachShader(p.id, vs);
  gl_.glDetachShader(p.id, fs);
  gl_.glDeleteShader(fs);
  GLint ok = 0;
  gl_.glGetProgramiv(p.id, GL_LINK_STATUS, &ok);
  if (!ok) {
    char log[2048] = {};
    gl_.glGetProgramInfoLog(p.id, sizeof log, nullptr, log);
    *error = std::string("shader link failed: ") + log;
    gl_.glDeleteProgram(p.id);
    return nullptr;
  }
  auto loc = [&](const char* name) { return gl_.glGetUniformLocation(p.id, name); };
  p.u = Uniforms{
      loc("uWorld"),        loc("uViewProj"),      loc("uNormalMatrix"),   loc("uEye"),
      loc("uMatDiffuse"),   loc("uMatAmbient"),    loc("uMatSpecular"),    loc("uMatEmissive"),
      loc("uMatPower"),     loc("uGlobalAmbient"), loc("uLightDiffuse"),   loc("uLightSpecular"),
      loc("uLightAmbient"), loc("uLightPosition"), loc("uLightDirection"), loc("uLightAttenuation"),
      loc("uLightSpot"),    loc("uTexMatrix"),     loc("uTexture"),        loc("uTFactor"),
      loc("uAlphaRef")};
  gl_.glUseProgram(p.id);
  gl_.glUniform1i(p.u.texture, 0);
  current_ = p.id;
  return &programs_.emplace(key, p).first->second;
}

GLuint GlProgramCache::VertexShaderFor(const VertexVariant& variant, std::string* error) {
  const uint32_t key = variant.Key();
  auto found = vertexShaders_.find(key);
  if (found != vertexShaders_.end()) return found->second;
  const GLuint shader = Compile(GL_VERTEX_SHADER, VertexShaderSource(variant), error);
  if (shader) vertexShaders_.emplace(key, shader);
  return shader;
}

GLuint GlProgramCache::Compile(GLenum type, const std::string& source, std::string* error) {
  GLuint sh = gl_.glCreateShader(type);
  const char* src = source.c_str();
  gl_.glShaderSource(sh, 1, &src, nullptr);
  gl_.glCompileShader(sh);
  GLint ok = 0;
  gl_.glGetShaderiv(sh, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char log[2048] = {};
    gl_.glGetShaderInfoLog(sh, sizeof log, nullptr, log);
    *error = std::string("shader compilation failed: ") + log;
    gl_.glDeleteShader(sh);
    return 0;
  }
  return sh;
}
