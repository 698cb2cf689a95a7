#include "platform/sdl_gl/gl_device.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/common/letterbox.h"
#include "platform/common/state_device.h"
#include "platform/sdl_gl/gl_functions.h"
#include "platform/sdl_gl/gl_shader.h"

namespace {

// Resources may outlive the device during a faulty shut-down; they then skip
// their OpenGL calls instead of touching a context that is gone.
struct ContextLife {
  bool alive = true;
  GlFunctions* gl = nullptr;
};

class GlTexture : public Texture {
 public:
  GlTexture(std::shared_ptr<ContextLife> life, int w, int h, GLuint id)
      : Texture(w, h), life_(std::move(life)), id_(id) {}
  ~GlTexture() override {
    if (life_->alive) life_->gl->glDeleteTextures(1, &id_);
  }
  GLuint Id() const { return id_; }

 private:
  std::shared_ptr<ContextLife> life_;
  GLuint id_;
};

// Buffers upload their bytes lazily: a draw that finds the bytes changed since
// the last upload sends them again.
template <class Base>
class GlBuffer : public Base {
 public:
  GlBuffer(std::shared_ptr<ContextLife> life, uint32_t size) : Base(size), life_(std::move(life)) {
    life_->gl->glGenBuffers(1, &id_);
  }
  ~GlBuffer() override {
    if (life_->alive) life_->gl->glDeleteBuffers(1, &id_);
  }
  void Bind(GLenum target) {
    GlFunctions& gl = *life_->gl;
    gl.glBindBuffer(target, id_);
    if (uploaded_ != this->Version() || !everUploaded_) {
      gl.glBufferData(target, this->Size(), this->Data(), GL_DYNAMIC_DRAW);
      uploaded_ = this->Version();
      everUploaded_ = true;
    }
  }

 private:
  std::shared_ptr<ContextLife> life_;
  GLuint id_ = 0;
  uint64_t uploaded_ = 0;
  bool everUploaded_ = false;
};

class GlVertexBuffer : public GlBuffer<VertexBuffer> {
 public:
  using GlBuffer::GlBuffer;
};
class GlIndexBuffer : public GlBuffer<IndexBuffer> {
 public:
  using GlBuffer::GlBuffer;
};

class GlDeclaration : public VertexDeclaration {
 public:
  explicit GlDeclaration(const D3DVERTEXELEMENT9* e) : VertexDeclaration(e) {}
};

void ColorToFloats(D3DCOLOR c, float out[4]) {
  out[0] = ((c >> 16) & 0xFF) / 255.0f;
  out[1] = ((c >> 8) & 0xFF) / 255.0f;
  out[2] = (c & 0xFF) / 255.0f;
  out[3] = ((c >> 24) & 0xFF) / 255.0f;
}

GLenum BlendFactor(uint32_t b) {
  switch (b) {
    case D3DBLEND_ZERO:
      return GL_ZERO;
    case D3DBLEND_ONE:
      return GL_ONE;
    case D3DBLEND_SRCCOLOR:
      return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
      return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
      return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
      return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA:
      return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA:
      return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR:
      return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
      return GL_ONE_MINUS_DST_COLOR;
  }
  return GL_ONE;
}

GLenum CompareFunc(uint32_t f) {
  switch (f) {
    case D3DCMP_NEVER:
      return GL_NEVER;
    case D3DCMP_LESS:
      return GL_LESS;
    case D3DCMP_EQUAL:
      return GL_EQUAL;
    case D3DCMP_LESSEQUAL:
      return GL_LEQUAL;
    case D3DCMP_GREATER:
      return GL_GREATER;
    case D3DCMP_NOTEQUAL:
      return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL:
      return GL_GEQUAL;
  }
  return GL_ALWAYS;
}

struct Uniforms {
  GLint world, viewProj, normalMatrix, eye, hasColor, lighting, diffuseFromVertex;
  GLint matDiffuse, matAmbient, matSpecular, matEmissive, matPower, globalAmbient;
  GLint lightCount, lightType, lightDiffuse, lightSpecular, lightAmbient, lightPosition;
  GLint lightDirection, lightAttenuation, lightSpot, texTransform, texMatrix;
  GLint texture, tFactor, alphaRef;
};

class GlDevice : public StateDevice {
 public:
  GlDevice(SDL_Window* window, SDL_GLContext context, std::function<void()> atExit,
           PictureSize size)
      : window_(window), context_(context), atExit_(std::move(atExit)), pictureSize_(size) {
    life_ = std::make_shared<ContextLife>();
    life_->gl = &gl_;
  }

  ~GlDevice() override {
    if (loaded_) {
      for (auto& [key, p] : programs_) gl_.glDeleteProgram(p.id);
      if (vertexShader_) gl_.glDeleteShader(vertexShader_);
      if (vao_) gl_.glDeleteVertexArrays(1, &vao_);
      DeleteTargets();
    }
    life_->alive = false;
    SDL_GL_DeleteContext(context_);
    if (atExit_) atExit_();
  }

  bool Init(int samples, std::string* error) {
    const char* missing = nullptr;
    if (!gl_.Load(&missing)) {
      *error = std::string("OpenGL entry point missing: ") + (missing ? missing : "?");
      return false;
    }
    loaded_ = true;
    if (!BuildProgram(error)) return false;
    gl_.glGenVertexArrays(1, &vao_);
    gl_.glBindVertexArray(vao_);
    GLint maxSamples = 0;
    gl_.glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
    samples_ = std::min(samples, static_cast<int>(maxSamples));
    // A software rasteriser spends the processor on every sample: draw
    // without multisampling there.
    const auto* renderer = reinterpret_cast<const char*>(gl_.glGetString(GL_RENDERER));
    software_ =
        renderer && (std::strstr(renderer, "llvmpipe") || std::strstr(renderer, "softpipe"));
    if (software_) samples_ = 0;
    if (!BuildTargets(error)) return false;
    gl_.glFrontFace(GL_CW);  // Direct3D's front faces wind clockwise
    gl_.glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    gl_.glPixelStorei(GL_PACK_ALIGNMENT, 4);
    if (gl_.glGetError() != GL_NO_ERROR) {
      *error = "OpenGL error during set-up";
      return false;
    }
    return true;
  }

  Texture* CreateTexture(int width, int height, const uint32_t* argb) override {
    if (width <= 0 || height <= 0 || width > 8192 || height > 8192) return nullptr;
    GLuint id = 0;
    gl_.glGenTextures(1, &id);
    gl_.glActiveTexture(GL_TEXTURE0);
    gl_.glBindTexture(GL_TEXTURE_2D, id);
    gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    // A8R8G8B8 words are B, G, R, A bytes in memory.
    gl_.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, argb);
    boundTexture_ = 0;  // the bind above disturbed the cached stage-0 binding
    if (gl_.glGetError() != GL_NO_ERROR) {
      gl_.glDeleteTextures(1, &id);
      return nullptr;
    }
    return new GlTexture(life_, width, height, id);
  }

  HRESULT UpdateTexture(Texture* texture, int x, int y, int w, int h,
                        const uint32_t* argb) override {
    auto* t = dynamic_cast<GlTexture*>(texture);
    if (!t || x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > t->Width() || y + h > t->Height())
      return Refuse("UpdateTexture: rectangle outside the texture");
    gl_.glActiveTexture(GL_TEXTURE0);
    gl_.glBindTexture(GL_TEXTURE_2D, t->Id());
    gl_.glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, w, h, GL_BGRA, GL_UNSIGNED_BYTE, argb);
    boundTexture_ = 0;
    return D3D_OK;
  }

  VertexBuffer* CreateVertexBuffer(uint32_t bytes) override {
    return bytes ? new GlVertexBuffer(life_, bytes) : nullptr;
  }
  IndexBuffer* CreateIndexBuffer(uint32_t bytes) override {
    return bytes ? new GlIndexBuffer(life_, bytes) : nullptr;
  }
  VertexDeclaration* CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements) override {
    return new GlDeclaration(elements);
  }

  bool ReadLastFrame(int* width, int* height, std::vector<uint32_t>* argb) override {
    ResolveMultisample();
    gl_.glBindFramebuffer(GL_READ_FRAMEBUFFER, resolveFbo_);
    std::vector<uint32_t> rows(width_ * height_);
    gl_.glReadPixels(0, 0, width_, height_, GL_BGRA, GL_UNSIGNED_BYTE, rows.data());
    gl_.glBindFramebuffer(GL_FRAMEBUFFER, drawFbo_);
    // OpenGL reads the bottom row first.
    argb->resize(rows.size());
    for (int y = 0; y < height_; ++y) {
      std::copy_n(rows.data() + (height_ - 1 - y) * width_, width_, argb->data() + y * width_);
    }
    *width = width_;
    *height = height_;
    return true;
  }

 protected:
  void DoDraw(const DrawCall& call) override {
    if (windowW_) FollowWindowSize();
    gl_.glBindFramebuffer(GL_FRAMEBUFFER, drawFbo_);
    gl_.glViewport(0, 0, width_, height_);
    std::string error;
    const Program* program = ProgramFor(CurrentVariant(), &error);
    if (!program) {
      Refuse(error);
      return;
    }
    if (program->id != currentProgram_) {
      gl_.glUseProgram(program->id);
      currentProgram_ = program->id;
    }
    u_ = &program->u;
    gl_.glBindVertexArray(vao_);
    ApplyRasterState();
    UploadUniforms();
    BindGeometry();
    GLenum mode = call.type == D3DPT_TRIANGLELIST    ? GL_TRIANGLES
                  : call.type == D3DPT_TRIANGLESTRIP ? GL_TRIANGLE_STRIP
                                                     : GL_TRIANGLE_FAN;
    gl_.glDrawElementsBaseVertex(
        mode, static_cast<GLsizei>(call.indexCount), GL_UNSIGNED_SHORT,
        reinterpret_cast<const void*>(static_cast<uintptr_t>(call.startIndex) * 2),
        call.baseVertexIndex);
  }

  void DoClear(uint32_t flags, D3DCOLOR color, float z) override {
    if (windowW_) FollowWindowSize();
    gl_.glBindFramebuffer(GL_FRAMEBUFFER, drawFbo_);
    gl_.glViewport(0, 0, width_, height_);
    gl_.glDisable(GL_SCISSOR_TEST);
    GLbitfield mask = 0;
    if (flags & D3DCLEAR_TARGET) {
      float c[4];
      ColorToFloats(color, c);
      gl_.glClearColor(c[0], c[1], c[2], c[3]);
      mask |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & D3DCLEAR_ZBUFFER) {
      gl_.glDepthMask(GL_TRUE);  // Direct3D clears depth whatever the write state
      gl_.glClearDepth(z);
      mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (mask) gl_.glClear(mask);
  }

  HRESULT DoPresent() override {
    ResolveMultisample();
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(window_, &w, &h);
    gl_.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    gl_.glViewport(0, 0, w, h);
    gl_.glClearColor(0, 0, 0, 1);
    gl_.glClear(GL_COLOR_BUFFER_BIT);
    if (w > 0 && h > 0) {
      // Scale the picture to the window, keeping its shape (letterbox).
      const Rect r = Letterbox(w, h, kBackBufferWidth, kBackBufferHeight);
      gl_.glBindFramebuffer(GL_READ_FRAMEBUFFER, resolveFbo_);
      gl_.glBlitFramebuffer(0, 0, width_, height_, r.x, r.y, r.x + r.width, r.y + r.height,
                            GL_COLOR_BUFFER_BIT, r.width == width_ ? GL_NEAREST : GL_LINEAR);
    }
    SDL_GL_SwapWindow(window_);
    // The next frame is drawn at the size the window shows (the frame just
    // shown stays readable until then).
    windowW_ = w;
    windowH_ = h;
    gl_.glBindFramebuffer(GL_FRAMEBUFFER, drawFbo_);
    return D3D_OK;
  }

  // Before a frame's first drawing: when the window shows the picture larger
  // than it is drawn, draw at that size (never below 1280x720).
  void FollowWindowSize() {
    const int w = windowW_, h = windowH_;
    windowW_ = windowH_ = 0;
    const bool follow = pictureSize_ == PictureSize::kWindow ||
                        (pictureSize_ == PictureSize::kWindowOnHardware && !software_);
    if (!follow || w <= 0 || h <= 0) return;
    const Rect r = Letterbox(w, h, kBackBufferWidth, kBackBufferHeight);
    int tw = kBackBufferWidth, th = kBackBufferHeight;
    if (r.width > kBackBufferWidth && r.width <= 8192 && r.height <= 8192) {
      tw = r.width;
      th = r.height;
    }
    if (tw == width_ && th == height_) return;
    const int oldW = width_, oldH = height_;
    DeleteTargets();
    width_ = tw;
    height_ = th;
    std::string error;
    if (!BuildTargets(&error)) {  // keep drawing at the size that worked
      DeleteTargets();
      width_ = oldW;
      height_ = oldH;
      BuildTargets(&error);
    }
  }

 private:
  GLuint Compile(GLenum type, const std::string& source, std::string* error) {
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

  // The vertex shader is shared; the variant for the commonest state is built
  // at once so a broken driver shows at start-up.
  bool BuildProgram(std::string* error) {
    vertexShader_ = Compile(GL_VERTEX_SHADER, kFixedFunctionVertexShader, error);
    if (!vertexShader_) return false;
    return ProgramFor(CurrentVariant(), error) != nullptr;
  }

  FragmentVariant CurrentVariant() const {
    const auto& rs = renderStates_;
    const auto& st = stageStates_[0];
    FragmentVariant v;
    v.hasTexture = textures_[0] ? 1 : 0;
    v.colorOp = static_cast<int>(st[D3DTSS_COLOROP]);
    v.colorArg1 = static_cast<int>(st[D3DTSS_COLORARG1]);
    v.colorArg2 = static_cast<int>(st[D3DTSS_COLORARG2]);
    v.alphaOp = static_cast<int>(st[D3DTSS_ALPHAOP]);
    v.alphaArg1 = static_cast<int>(st[D3DTSS_ALPHAARG1]);
    v.alphaArg2 = static_cast<int>(st[D3DTSS_ALPHAARG2]);
    v.specular = rs[D3DRS_SPECULARENABLE] && rs[D3DRS_LIGHTING] ? 1 : 0;
    v.alphaTest = rs[D3DRS_ALPHATESTENABLE] ? 1 : 0;
    v.alphaFunc = v.alphaTest ? static_cast<int>(rs[D3DRS_ALPHAFUNC]) : 0;
    return v;
  }

  struct Program {
    GLuint id = 0;
    Uniforms u{};
  };

  // The program for a variant, built the first time it is asked for.
  const Program* ProgramFor(const FragmentVariant& variant, std::string* error) {
    const uint64_t key = variant.Key();
    auto found = programs_.find(key);
    if (found != programs_.end()) return &found->second;
    GLuint fs = Compile(GL_FRAGMENT_SHADER, FragmentShaderSource(variant), error);
    if (!fs) return nullptr;
    Program p;
    p.id = gl_.glCreateProgram();
    gl_.glAttachShader(p.id, vertexShader_);
    gl_.glAttachShader(p.id, fs);
    gl_.glBindAttribLocation(p.id, kAttribPosition, "aPos");
    gl_.glBindAttribLocation(p.id, kAttribNormal, "aNormal");
    gl_.glBindAttribLocation(p.id, kAttribColor, "aColor");
    gl_.glBindAttribLocation(p.id, kAttribTexCoord, "aTex");
    gl_.glLinkProgram(p.id);
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
    p.u = Uniforms{loc("uWorld"),
                   loc("uViewProj"),
                   loc("uNormalMatrix"),
                   loc("uEye"),
                   loc("uHasColor"),
                   loc("uLighting"),
                   loc("uDiffuseFromVertex"),
                   loc("uMatDiffuse"),
                   loc("uMatAmbient"),
                   loc("uMatSpecular"),
                   loc("uMatEmissive"),
                   loc("uMatPower"),
                   loc("uGlobalAmbient"),
                   loc("uLightCount"),
                   loc("uLightType"),
                   loc("uLightDiffuse"),
                   loc("uLightSpecular"),
                   loc("uLightAmbient"),
                   loc("uLightPosition"),
                   loc("uLightDirection"),
                   loc("uLightAttenuation"),
                   loc("uLightSpot"),
                   loc("uTexTransform"),
                   loc("uTexMatrix"),
                   loc("uTexture"),
                   loc("uTFactor"),
                   loc("uAlphaRef")};
    gl_.glUseProgram(p.id);
    gl_.glUniform1i(p.u.texture, 0);
    currentProgram_ = p.id;
    return &programs_.emplace(key, p).first->second;
  }

  bool BuildTargets(std::string* error) {
    auto makeFbo = [&](int samples, GLuint* fbo, GLuint* color, GLuint* depth) {
      gl_.glGenFramebuffers(1, fbo);
      gl_.glBindFramebuffer(GL_FRAMEBUFFER, *fbo);
      gl_.glGenRenderbuffers(1, color);
      gl_.glBindRenderbuffer(GL_RENDERBUFFER, *color);
      if (samples > 0)
        gl_.glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGBA8, width_, height_);
      else
        gl_.glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width_, height_);
      gl_.glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, *color);
      if (depth) {
        gl_.glGenRenderbuffers(1, depth);
        gl_.glBindRenderbuffer(GL_RENDERBUFFER, *depth);
        if (samples > 0)
          gl_.glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_DEPTH_COMPONENT24,
                                               width_, height_);
        else
          gl_.glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width_, height_);
        gl_.glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, *depth);
      }
      return gl_.glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    };
    if (samples_ > 0) {
      if (!makeFbo(samples_, &msaaFbo_, &msaaColor_, &msaaDepth_)) {
        *error = "multisampled frame buffer incomplete";
        return false;
      }
      if (!makeFbo(0, &resolveFbo_, &resolveColor_, nullptr)) {
        *error = "frame buffer incomplete";
        return false;
      }
      drawFbo_ = msaaFbo_;
    } else {
      if (!makeFbo(0, &resolveFbo_, &resolveColor_, &resolveDepth_)) {
        *error = "frame buffer incomplete";
        return false;
      }
      drawFbo_ = resolveFbo_;
    }
    gl_.glBindFramebuffer(GL_FRAMEBUFFER, drawFbo_);
    return true;
  }

  void DeleteTargets() {
    GLuint fbos[] = {msaaFbo_, resolveFbo_};
    GLuint rbs[] = {msaaColor_, msaaDepth_, resolveColor_, resolveDepth_};
    for (GLuint f : fbos)
      if (f) gl_.glDeleteFramebuffers(1, &f);
    for (GLuint r : rbs)
      if (r) gl_.glDeleteRenderbuffers(1, &r);
    msaaFbo_ = resolveFbo_ = drawFbo_ = 0;
    msaaColor_ = msaaDepth_ = resolveColor_ = resolveDepth_ = 0;
  }

  void ResolveMultisample() {
    if (samples_ <= 0) return;
    gl_.glBindFramebuffer(GL_READ_FRAMEBUFFER, msaaFbo_);
    gl_.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFbo_);
    gl_.glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT,
                          GL_NEAREST);
    gl_.glBindFramebuffer(GL_FRAMEBUFFER, drawFbo_);
  }

  void ApplyRasterState() {
    const auto& rs = renderStates_;
    if (rs[D3DRS_ZENABLE]) {
      gl_.glEnable(GL_DEPTH_TEST);
      gl_.glDepthFunc(CompareFunc(rs[D3DRS_ZFUNC]));
    } else {
      gl_.glDisable(GL_DEPTH_TEST);
    }
    gl_.glDepthMask(rs[D3DRS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);
    if (rs[D3DRS_ALPHABLENDENABLE]) {
      gl_.glEnable(GL_BLEND);
      gl_.glBlendFunc(BlendFactor(rs[D3DRS_SRCBLEND]), BlendFactor(rs[D3DRS_DESTBLEND]));
    } else {
      gl_.glDisable(GL_BLEND);
    }
    switch (rs[D3DRS_CULLMODE]) {
      case D3DCULL_NONE:
        gl_.glDisable(GL_CULL_FACE);
        break;
      case D3DCULL_CW:
        gl_.glEnable(GL_CULL_FACE);
        gl_.glCullFace(GL_FRONT);
        break;
      default:
        gl_.glEnable(GL_CULL_FACE);
        gl_.glCullFace(GL_BACK);
        break;
    }
  }

  void UploadUniforms() {
    const auto& rs = renderStates_;
    const auto& st = stageStates_[0];
    gl_.glUniformMatrix4fv(u_->world, 1, GL_FALSE, &world_.m[0][0]);
    const Matrix viewProj = view_ * projection_;
    gl_.glUniformMatrix4fv(u_->viewProj, 1, GL_FALSE, &viewProj.m[0][0]);
    const int lighting = rs[D3DRS_LIGHTING] ? 1 : 0;
    gl_.glUniform1i(u_->lighting, lighting);
    gl_.glUniform1i(u_->hasColor, declaration_->Find(D3DDECLUSAGE_COLOR) ? 1 : 0);
    if (lighting) {
      // Normals go through the inverse transpose of the world matrix.
      Matrix inv;
      if (!MatrixInverse(&inv, nullptr, world_)) inv = Matrix::Identity();
      const Matrix n = MatrixTranspose(inv);
      const float n3[9] = {n[0][0], n[0][1], n[0][2], n[1][0], n[1][1],
                           n[1][2], n[2][0], n[2][1], n[2][2]};
      gl_.glUniformMatrix3fv(u_->normalMatrix, 1, GL_FALSE, n3);
      Matrix viewInv;
      if (!MatrixInverse(&viewInv, nullptr, view_)) viewInv = Matrix::Identity();
      const float eye[3] = {viewInv[3][0], viewInv[3][1], viewInv[3][2]};
      gl_.glUniform3fv(u_->eye, 1, eye);
      gl_.glUniform1i(
          u_->diffuseFromVertex,
          rs[D3DRS_COLORVERTEX] && rs[D3DRS_DIFFUSEMATERIALSOURCE] == D3DMCS_COLOR1 ? 1 : 0);
      gl_.glUniform4fv(u_->matDiffuse, 1, &material_.Diffuse.r);
      gl_.glUniform4fv(u_->matAmbient, 1, &material_.Ambient.r);
      gl_.glUniform4fv(u_->matSpecular, 1, &material_.Specular.r);
      gl_.glUniform4fv(u_->matEmissive, 1, &material_.Emissive.r);
      gl_.glUniform1f(u_->matPower, material_.Power);
      float ambient[4];
      ColorToFloats(rs[D3DRS_AMBIENT], ambient);
      gl_.glUniform4fv(u_->globalAmbient, 1, ambient);
      int type[kMaxLights] = {};
      float diffuse[kMaxLights][4], specular[kMaxLights][4], amb[kMaxLights][4];
      float pos[kMaxLights][3], dir[kMaxLights][3], att[kMaxLights][4], spot[kMaxLights][3];
      int count = 0;
      for (uint32_t i = 0; i < kMaxLights; ++i) {
        const D3DLIGHT9& l = lights_[i];
        if (!lightEnabled_[i] || l.Type < D3DLIGHT_POINT || l.Type > D3DLIGHT_DIRECTIONAL) continue;
        type[count] = l.Type;
        std::copy_n(&l.Diffuse.r, 4, diffuse[count]);
        std::copy_n(&l.Specular.r, 4, specular[count]);
        std::copy_n(&l.Ambient.r, 4, amb[count]);
        pos[count][0] = l.Position.x;
        pos[count][1] = l.Position.y;
        pos[count][2] = l.Position.z;
        dir[count][0] = l.Direction.x;
        dir[count][1] = l.Direction.y;
        dir[count][2] = l.Direction.z;
        att[count][0] = l.Range;
        att[count][1] = l.Attenuation0;
        att[count][2] = l.Attenuation1;
        att[count][3] = l.Attenuation2;
        spot[count][0] = l.Falloff;
        spot[count][1] = std::cos(l.Theta / 2);
        spot[count][2] = std::cos(l.Phi / 2);
        ++count;
      }
      gl_.glUniform1i(u_->lightCount, count);
      if (count) {
        gl_.glUniform1iv(u_->lightType, count, type);
        gl_.glUniform4fv(u_->lightDiffuse, count, &diffuse[0][0]);
        gl_.glUniform4fv(u_->lightSpecular, count, &specular[0][0]);
        gl_.glUniform4fv(u_->lightAmbient, count, &amb[0][0]);
        gl_.glUniform3fv(u_->lightPosition, count, &pos[0][0]);
        gl_.glUniform3fv(u_->lightDirection, count, &dir[0][0]);
        gl_.glUniform4fv(u_->lightAttenuation, count, &att[0][0]);
        gl_.glUniform3fv(u_->lightSpot, count, &spot[0][0]);
      }
    }
    const int texTransform = st[D3DTSS_TEXTURETRANSFORMFLAGS] != D3DTTFF_DISABLE ? 1 : 0;
    gl_.glUniform1i(u_->texTransform, texTransform);
    if (texTransform) gl_.glUniformMatrix4fv(u_->texMatrix, 1, GL_FALSE, &texture0_.m[0][0]);

    auto* tex = dynamic_cast<GlTexture*>(textures_[0]);
    gl_.glActiveTexture(GL_TEXTURE0);
    const GLuint id = tex ? tex->Id() : 0;
    if (id != boundTexture_) {
      gl_.glBindTexture(GL_TEXTURE_2D, id);
      boundTexture_ = id;
    }
    float tf[4];
    ColorToFloats(rs[D3DRS_TEXTUREFACTOR], tf);
    gl_.glUniform4fv(u_->tFactor, 1, tf);
    gl_.glUniform1f(u_->alphaRef, static_cast<float>(rs[D3DRS_ALPHAREF] & 0xFF));
  }

  void BindGeometry() {
    static_cast<GlVertexBuffer*>(stream_)->Bind(GL_ARRAY_BUFFER);
    static_cast<GlIndexBuffer*>(indices_)->Bind(GL_ELEMENT_ARRAY_BUFFER);
    struct Slot {
      uint8_t usage;
      GLuint location;
      float defaults[4];
    };
    const Slot slots[] = {{D3DDECLUSAGE_POSITION, kAttribPosition, {0, 0, 0, 1}},
                          {D3DDECLUSAGE_NORMAL, kAttribNormal, {0, 1, 0, 0}},
                          {D3DDECLUSAGE_COLOR, kAttribColor, {1, 1, 1, 1}},
                          {D3DDECLUSAGE_TEXCOORD, kAttribTexCoord, {0, 0, 0, 0}}};
    for (const Slot& s : slots) {
      const D3DVERTEXELEMENT9* e = declaration_->Find(s.usage);
      if (!e) {
        gl_.glDisableVertexAttribArray(s.location);
        gl_.glVertexAttrib4f(s.location, s.defaults[0], s.defaults[1], s.defaults[2],
                             s.defaults[3]);
        continue;
      }
      const void* offset =
          reinterpret_cast<const void*>(static_cast<uintptr_t>(streamOffset_ + e->Offset));
      gl_.glEnableVertexAttribArray(s.location);
      switch (e->Type) {
        case D3DDECLTYPE_FLOAT2:
          gl_.glVertexAttribPointer(s.location, 2, GL_FLOAT, GL_FALSE, streamStride_, offset);
          break;
        case D3DDECLTYPE_FLOAT3:
          gl_.glVertexAttribPointer(s.location, 3, GL_FLOAT, GL_FALSE, streamStride_, offset);
          break;
        case D3DDECLTYPE_D3DCOLOR:
          gl_.glVertexAttribPointer(s.location, 4, GL_UNSIGNED_BYTE, GL_TRUE, streamStride_,
                                    offset);
          break;
        default:
          gl_.glDisableVertexAttribArray(s.location);
          break;
      }
    }
  }

  SDL_Window* window_;
  SDL_GLContext context_;
  std::function<void()> atExit_;
  GlFunctions gl_;
  bool loaded_ = false;
  std::shared_ptr<ContextLife> life_;
  GLuint vertexShader_ = 0;
  std::unordered_map<uint64_t, Program> programs_;  // by FragmentVariant::Key
  GLuint currentProgram_ = 0;
  const Uniforms* u_ = nullptr;  // the current program's
  GLuint vao_ = 0;
  int samples_ = 0;
  bool software_ = false;
  PictureSize pictureSize_ = PictureSize::kFixed;
  int windowW_ = 0, windowH_ = 0;  // the window's size at the last Present
  int width_ = kBackBufferWidth;   // the off-screen picture's size
  int height_ = kBackBufferHeight;
  GLuint msaaFbo_ = 0, msaaColor_ = 0, msaaDepth_ = 0;
  GLuint resolveFbo_ = 0, resolveColor_ = 0, resolveDepth_ = 0;
  GLuint drawFbo_ = 0;
  GLuint boundTexture_ = 0;
};

}  // namespace

GraphicsDevice* CreateGlDevice(SDL_Window* window, int msaaSamples, std::string* error,
                               std::function<void()> atExit, PictureSize size) {
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) {
    *error = std::string("OpenGL 3.3 context not created: ") + SDL_GetError();
    if (atExit) atExit();
    return nullptr;
  }
  SDL_GL_MakeCurrent(window, context);
  auto device = std::make_unique<GlDevice>(window, context, std::move(atExit), size);
  if (!device->Init(msaaSamples, error)) return nullptr;
  return device.release();
}

GraphicsDevice* CreateOffscreenGlDevice(std::string* error, int width, int height,
                                        PictureSize size) {
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    *error = std::string("SDL offscreen video could not start: ") + SDL_GetError();
    return nullptr;
  }
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_Window* window =
      SDL_CreateWindow("Orvelune", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!window) {
    *error = std::string("offscreen window not created: ") + SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return nullptr;
  }
  return CreateGlDevice(
      window, 0, error,
      [window] {
        SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
      },
      size);
}
