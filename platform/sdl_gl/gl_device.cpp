#include "platform/sdl_gl/gl_device.h"

#include <SDL.h>

#include <algorithm>
#include <cfloat>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/common/draw_merger.h"
#include "platform/common/letterbox.h"
#include "platform/common/state_device.h"
#include "platform/sdl_gl/fixed_function_state.h"
#include "platform/sdl_gl/gl_functions.h"
#include "platform/sdl_gl/gl_programs.h"
#include "platform/sdl_gl/gl_resources.h"
#include "platform/sdl_gl/gl_shader.h"
#include "platform/sdl_gl/gl_state.h"
#include "platform/sdl_gl/gl_textures.h"
#include "platform/sdl_gl/sanitizer_support.h"

namespace {

// Everything a draw's picture depends on besides the world matrix, all in
// four-byte fields (no padding), so draws compare by it as bytes when the
// device merges them.
struct MergeKey {
  uint32_t fragmentKey[2];
  uint32_t vertexKey, texture, filters;
  RasterValues raster;
  uint32_t ambient, tFactor, alphaRef;
  Matrix view, projection, texMatrix;
  D3DMATERIAL9 material;
  LightSet lights;
};
static_assert(sizeof(D3DMATERIAL9) % 4 == 0);

// The device states a merged run is drawn under: those it was gathered with.
struct RunStates {
  VertexVariant vertex;
  FragmentVariant fragment;
  std::array<uint32_t, kRenderStateCount> render{};
  std::array<uint32_t, kTextureStageStateCount> stage{};
  std::array<uint32_t, kSamplerStateCount> sampler{};
  Texture* texture = nullptr;
  D3DMATERIAL9 material{};
  LightSet lights{};
  Matrix view, projection, texMatrix;
};

using Merger = DrawMerger<MergeKey, RunStates>;

// The Direct3D 9 device on OpenGL: the states of StateDevice made into
// OpenGL's (GlStateCache) with a program per variant (GlProgramCache), the
// textures of GlTextureStore, small draws merged (DrawMerger), and frames
// drawn into the off-screen picture or straight into the window.
class GlDevice : public StateDevice {
 public:
  GlDevice(SDL_Window* window, SDL_GLContext context, std::function<void()> atExit,
           PictureSize size, FrameTarget target)
      : window_(window),
        context_(context),
        atExit_(std::move(atExit)),
        life_(std::make_shared<ContextLife>(ContextLife{true, &gl_})),
        programs_(gl_),
        glState_(gl_),
        textureStore_(life_),
        pictureSize_(size),
        frameTarget_(target) {}

  ~GlDevice() override {
    if (loaded_) {
      programs_.Release();
      if (mergedVbo_) gl_.glDeleteBuffers(1, &mergedVbo_);
      if (mergedEbo_) gl_.glDeleteBuffers(1, &mergedEbo_);
      if (vao_) gl_.glDeleteVertexArrays(1, &vao_);
      if (sampleQueries_[0]) gl_.glDeleteQueries(2, sampleQueries_);
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
    // The variant for the state at start-up is built at once, so a broken
    // driver shows then.
    currentLights_ = GatherLights(renderStates_.data(), lights_, lightEnabled_);
    if (!programs_.Use(CurrentVertexVariant(), CurrentFragmentVariant(), error)) return false;
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
    LookAtWindowBuffers();
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(window_, &w, &h);
    direct_ = DrawsIntoWindow(w, h);
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
    Texture* t = textureStore_.Create(width, height, argb, textureWatch_);
    glState_.ForgetTexture();
    return t;
  }

  HRESULT UpdateTexture(Texture* texture, int x, int y, int w, int h,
                        const uint32_t* argb) override {
    auto* t = dynamic_cast<GlTexture*>(texture);
    if (!t || x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > t->Width() || y + h > t->Height())
      return Refuse("UpdateTexture: rectangle outside the texture");
    FlushRuns();  // a gathered run may draw with the texture as it is now
    std::string error;
    const bool updated = textureStore_.Update(t, x, y, w, h, argb, &error);
    glState_.ForgetTexture();
    return updated ? D3D_OK : Refuse(error);
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
    FlushRuns();
    std::vector<uint32_t> rows(width_ * height_);
    if (presentedDirect_) {
      // The frame went straight to the window: the shown buffer holds it.
      gl_.glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
      gl_.glReadBuffer(doubleBuffered_ ? GL_FRONT : GL_BACK);
    } else {
      ResolveMultisample();
      gl_.glBindFramebuffer(GL_READ_FRAMEBUFFER, resolveFbo_);
    }
    gl_.glReadPixels(0, 0, width_, height_, kGlEs ? GL_RGBA : GL_BGRA, GL_UNSIGNED_BYTE,
                     rows.data());
    if (kGlEs) SwapRedAndBlue(rows.data(), rows.size());
    if (presentedDirect_) gl_.glReadBuffer(GL_BACK);
    targetBound_ = false;
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
    BindDrawTarget();
    currentLights_ = GatherLights(renderStates_.data(), lights_, lightEnabled_);
    const VertexVariant vertexVariant = CurrentVertexVariant();
    const FragmentVariant fragmentVariant = CurrentFragmentVariant();
    const Extent extent = ExtentOf(call);
    if (Merge(call, extent, vertexVariant, fragmentVariant)) return;
    // Drawn on its own, straight away: the gathered runs go first unless
    // each of them may come after it.
    if (merger_.Count() &&
        !(extent.known && merger_.MayGoFirst(DepthRoleOf(renderStates_.data()), extent.rect)))
      FlushRuns();
    if (!Prepare(vertexVariant, fragmentVariant)) return;
    // OpenGL ES has no base vertex: there the vertices are bound from it.
    const uint32_t baseOffset = kGlEs ? call.baseVertexIndex * streamStride_ : 0;
    glState_.BindVertices(static_cast<GlVertexBuffer*>(stream_),
                          static_cast<GlIndexBuffer*>(indices_), *declaration_,
                          streamOffset_ + baseOffset, streamStride_);
    GLenum mode = call.type == D3DPT_TRIANGLELIST    ? GL_TRIANGLES
                  : call.type == D3DPT_TRIANGLESTRIP ? GL_TRIANGLE_STRIP
                                                     : GL_TRIANGLE_FAN;
    const auto* first = reinterpret_cast<const void*>(static_cast<uintptr_t>(call.startIndex) * 2);
    if (kGlEs)
      gl_.glDrawElements(mode, static_cast<GLsizei>(call.indexCount), GL_UNSIGNED_SHORT, first);
    else
      gl_.glDrawElementsBaseVertex(mode, static_cast<GLsizei>(call.indexCount), GL_UNSIGNED_SHORT,
                                   first, call.baseVertexIndex);
    ++stats_.backendDraws;
  }

  // Makes the program of the variants current with the raster state and the
  // uniforms of the device's states; false (refused) when it cannot be built.
  bool Prepare(const VertexVariant& vertex, const FragmentVariant& fragment) {
    std::string error;
    GlProgram* program = programs_.Use(vertex, fragment, &error);
    if (!program) {
      Refuse(error);
      return false;
    }
    glState_.ApplyRaster(renderStates_.data());
    glState_.Upload(
        program, DrawStates{renderStates_.data(), stageStates_[0].data(), samplerStates_[0].data(),
                            world_, view_, projection_, texture0_, material_, currentLights_,
                            dynamic_cast<GlTexture*>(textures_[0])});
    return true;
  }

  // ---- Merged draws (the rules are DrawMerger's) -------------------------

  // The vertices a draw uses (the lowest and highest index) and the screen
  // rectangle around them; unknown when its layout has no float3 position.
  struct Extent {
    bool known = false;
    uint32_t lowest = 0, highest = 0;
    ScreenRect rect;
  };
  DrawVertices VerticesOf(const DrawCall& call) const {
    return {static_cast<const uint8_t*>(stream_->Data()), streamOffset_, call.baseVertexIndex,
            streamStride_};
  }
  Extent ExtentOf(const DrawCall& call) const {
    Extent e;
    const D3DVERTEXELEMENT9* pos = declaration_->Find(D3DDECLUSAGE_POSITION);
    if (!pos || pos->Type != D3DDECLTYPE_FLOAT3 || call.indexCount == 0) return e;
    const auto* indices = reinterpret_cast<const uint16_t*>(indices_->Data()) + call.startIndex;
    uint32_t low = 0xFFFF, high = 0;
    for (uint32_t i = 0; i < call.indexCount; ++i) {
      low = std::min<uint32_t>(low, indices[i]);
      high = std::max<uint32_t>(high, indices[i]);
    }
    // The box around the vertices gives the rectangle the draw covers.
    const DrawVertices vertices = VerticesOf(call);
    float lo[3] = {FLT_MAX, FLT_MAX, FLT_MAX}, hi[3] = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
    for (uint32_t k = low; k <= high; ++k) {
      float p[3];
      std::memcpy(p, vertices.At(k) + pos->Offset, sizeof p);
      for (int i = 0; i < 3; ++i) {
        lo[i] = std::min(lo[i], p[i]);
        hi[i] = std::max(hi[i], p[i]);
      }
    }
    e.known = true;
    e.lowest = low;
    e.highest = high;
    e.rect = RectAround(world_ * view_ * projection_, lo, hi, width_, height_);
    return e;
  }

  // What the draw's picture depends on besides its world matrix.
  MergeKey KeyOf(const VertexVariant& vv, const FragmentVariant& fv) const {
    MergeKey key{};
    const uint64_t fragmentKey = fv.Key();
    key.fragmentKey[0] = static_cast<uint32_t>(fragmentKey);
    key.fragmentKey[1] = static_cast<uint32_t>(fragmentKey >> 32);
    key.vertexKey = vv.Key();
    auto* t = dynamic_cast<GlTexture*>(textures_[0]);
    key.texture = t ? t->Id() : 0;
    key.filters = samplerStates_[0][D3DSAMP_MAGFILTER] | samplerStates_[0][D3DSAMP_MINFILTER] << 8;
    const auto& rs = renderStates_;
    key.raster = RasterOf(rs.data());
    key.ambient = rs[D3DRS_AMBIENT];
    key.tFactor = rs[D3DRS_TEXTUREFACTOR];
    key.alphaRef = rs[D3DRS_ALPHAREF] & 0xFF;
    key.view = view_;
    key.projection = projection_;
    if (vv.texTransform) key.texMatrix = texture0_;
    if (vv.lighting) {
      key.material = material_;
      key.lights = currentLights_;
    }
    return key;
  }

  // Takes the draw into a run; false when it must be drawn on its own.
  bool Merge(const DrawCall& call, const Extent& extent, const VertexVariant& vv,
             const FragmentVariant& fv) {
    MergeLayout layout;
    const bool triangles = call.type == D3DPT_TRIANGLELIST || call.type == D3DPT_TRIANGLEFAN ||
                           call.type == D3DPT_TRIANGLESTRIP;
    if (!triangles || call.indexCount < 3 || !extent.known ||
        extent.highest - extent.lowest >= Merger::kMaxMeshVertices ||
        !MergeLayoutOf(declaration_->Elements(), &layout))
      return false;
    const MergeKey key = KeyOf(vv, fv);
    const DepthRole depth = DepthRoleOf(renderStates_.data());
    const uint32_t count = extent.highest - extent.lowest + 1;
    Merger::Run* run = merger_.Join(key, depth, count, extent.rect);
    if (!run) {
      FlushRuns();
      run = merger_.Join(key, depth, count, extent.rect);
    }
    if (run->vertices.empty()) {
      run->states =
          RunStates{vv,           fv,        renderStates_,  stageStates_[0], samplerStates_[0],
                    textures_[0], material_, currentLights_, view_,           projection_,
                    texture0_};
    }
    const auto* indices = reinterpret_cast<const uint16_t*>(indices_->Data()) + call.startIndex;
    AppendDraw(VerticesOf(call), layout, call.type, indices, call.indexCount, extent.lowest,
               extent.highest, world_, &run->vertices, &run->indices);
    return true;
  }

  // Runs gathered with a texture given back are drawn first, while it still
  // exists (Direct3D would keep it until they were drawn; its OpenGL name may
  // go to the next texture made).
  void TextureGone(const Texture* t) override {
    for (size_t i = 0; i < merger_.Count(); ++i) {
      if (merger_[i].states.texture == t) {
        FlushRuns();
        break;
      }
    }
    StateDevice::TextureGone(t);
  }

  // Exchanges the device's states with those the run was gathered under.
  void SwapStates(RunStates& s) {
    std::swap(renderStates_, s.render);
    std::swap(stageStates_[0], s.stage);
    std::swap(samplerStates_[0], s.sampler);
    std::swap(textures_[0], s.texture);
    std::swap(material_, s.material);
    std::swap(currentLights_, s.lights);
    std::swap(view_, s.view);
    std::swap(projection_, s.projection);
    std::swap(texture0_, s.texMatrix);
  }

  // Draws the gathered runs, in order, each with the states it was gathered
  // under.
  void FlushRuns() {
    for (size_t i = 0; i < merger_.Count(); ++i) DrawRun(merger_[i]);
    merger_.Clear();
  }

  void DrawRun(Merger::Run& run) {
    // Stand in the run's states for the current ones while it is drawn.
    SwapStates(run.states);
    Matrix world = Matrix::Identity();
    std::swap(world_, world);

    BindDrawTarget();
    if (Prepare(run.states.vertex, run.states.fragment)) {
      if (!mergedVbo_) {
        gl_.glGenBuffers(1, &mergedVbo_);
        gl_.glGenBuffers(1, &mergedEbo_);
      }
      gl_.glBindBuffer(GL_ARRAY_BUFFER, mergedVbo_);
      gl_.glBufferData(GL_ARRAY_BUFFER,
                       static_cast<GLsizeiptr>(run.vertices.size() * sizeof(MergedVertex)),
                       run.vertices.data(), GL_STREAM_DRAW);
      gl_.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mergedEbo_);
      gl_.glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                       static_cast<GLsizeiptr>(run.indices.size() * sizeof(uint32_t)),
                       run.indices.data(), GL_STREAM_DRAW);
      const GLsizei stride = sizeof(MergedVertex);
      gl_.glEnableVertexAttribArray(kAttribPosition);
      gl_.glVertexAttribPointer(kAttribPosition, 3, GL_FLOAT, GL_FALSE, stride, nullptr);
      gl_.glEnableVertexAttribArray(kAttribNormal);
      gl_.glVertexAttribPointer(kAttribNormal, 3, GL_FLOAT, GL_FALSE, stride,
                                reinterpret_cast<const void*>(12));
      gl_.glEnableVertexAttribArray(kAttribTexCoord);
      gl_.glVertexAttribPointer(kAttribTexCoord, 2, GL_FLOAT, GL_FALSE, stride,
                                reinterpret_cast<const void*>(24));
      gl_.glEnableVertexAttribArray(kAttribColor);
      gl_.glVertexAttribPointer(kAttribColor, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                                reinterpret_cast<const void*>(32));
      gl_.glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(run.indices.size()), GL_UNSIGNED_INT,
                         nullptr);
      ++stats_.backendDraws;
    }

    std::swap(world_, world);
    SwapStates(run.states);
    run.vertices.clear();
    run.indices.clear();
  }

  void DoEndScene() override { FlushRuns(); }

  void DoClear(uint32_t flags, D3DCOLOR color, float z) override {
    FlushRuns();
    if (windowW_) FollowWindowSize();
    BindDrawTarget();
    GLbitfield mask = 0;
    if (flags & D3DCLEAR_TARGET) {
      float c[4];
      ColorToFloats(color, c);
      gl_.glClearColor(c[0], c[1], c[2], c[3]);
      mask |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & D3DCLEAR_ZBUFFER) {
      gl_.glDepthMask(GL_TRUE);  // Direct3D clears depth whatever the write state
      glState_.ForgetRaster();
      gl_.ClearDepth(z);
      mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (mask) gl_.glClear(mask);
  }

  HRESULT DoPresent() override {
    FlushRuns();
    EndSampleCount();
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(window_, &w, &h);
    presentedDirect_ = direct_;
    if (!direct_) {
      ResolveMultisample();
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
        ++lastStats_.presentCopies;  // this frame's figures, taken as Present began
      }
    }
    SDL_GL_SwapWindow(window_);
    // A single-buffered window (an off-screen one) shows what is drawn as it
    // is drawn: the frame is finished here, as a swap finishes it.
    if (!doubleBuffered_) gl_.glFinish();
    targetBound_ = false;
    // The next frame is drawn at the size the window shows (the frame just
    // shown stays readable until then), straight into it when it fits.
    windowW_ = w;
    windowH_ = h;
    direct_ = DrawsIntoWindow(w, h);
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
  bool BuildTargets(std::string* error) {
    targetBound_ = false;
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

  // Whether the window is double-buffered, and whether its own buffers can
  // hold what the off-screen picture holds (8-bit colour with alpha, a depth
  // buffer of at least 24 bits): only then does a frame drawn into the window
  // come out the same. A display's GLX picks the deepest depth buffer it has
  // (32 bits on Mesa's software renderer under X), which tests at least as
  // finely; where two surfaces meet at equal depth a pixel may come out
  // either way, as between any two depth layouts.
  void LookAtWindowBuffers() {
    if (kGlEs) {
      // A browser clears the canvas after showing it, and has neither the
      // query nor the front buffer to read: always the off-screen picture.
      windowBuffersFit_ = false;
      return;
    }
    gl_.glBindFramebuffer(GL_FRAMEBUFFER, 0);
    GLint doubleBuffered = 0;
    gl_.glGetIntegerv(GL_DOUBLEBUFFER, &doubleBuffered);
    doubleBuffered_ = doubleBuffered != 0;
    const GLenum colour = doubleBuffered_ ? GL_BACK_LEFT : GL_FRONT_LEFT;
    GLint red = 0, alpha = 0, depth = 0;
    gl_.glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, colour,
                                              GL_FRAMEBUFFER_ATTACHMENT_RED_SIZE, &red);
    gl_.glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, colour,
                                              GL_FRAMEBUFFER_ATTACHMENT_ALPHA_SIZE, &alpha);
    gl_.glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH,
                                              GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE, &depth);
    gl_.glBindFramebuffer(GL_FRAMEBUFFER, drawFbo_);
    targetBound_ = false;
    const bool ok = gl_.glGetError() == GL_NO_ERROR;
    windowBuffersFit_ = frameTarget_ == FrameTarget::kWindowWhenItFits && ok && red == 8 &&
                        alpha == 8 && depth >= 24;
  }

  // The next frame goes straight into the window when the window shows the
  // picture at exactly its size, without multisampling.
  bool DrawsIntoWindow(int w, int h) const {
    return windowBuffersFit_ && samples_ == 0 && w == width_ && h == height_ &&
           width_ == kBackBufferWidth && height_ == kBackBufferHeight;
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

  // The off-screen picture as the target of drawing, bound only when
  // something else (a present, a read-back, a resize) bound another.
  void CountSamples(bool on) override { countSamples_ = on; }

  // The frame's sample count: a query from the frame's first drawing to its
  // Present. Two queries alternate; the one of the frame before is read at
  // Present, by when its drawing is finished, so nothing waits.
  void BeginSampleCount() {
    if (kGlEs || !countSamples_ || countingFrame_) return;  // ES counts no samples
    if (!sampleQueries_[0]) gl_.glGenQueries(2, sampleQueries_);
    gl_.glBeginQuery(GL_SAMPLES_PASSED, sampleQueries_[queryIndex_]);
    countingFrame_ = true;
  }
  void EndSampleCount() {
    lastStats_.samplesPassed = -1;
    if (!countingFrame_) return;
    gl_.glEndQuery(GL_SAMPLES_PASSED);
    countingFrame_ = false;
    queryIndex_ ^= 1;
    if (queryUsed_) {
      GLuint passed = 0;
      gl_.glGetQueryObjectuiv(sampleQueries_[queryIndex_], GL_QUERY_RESULT, &passed);
      lastStats_.samplesPassed = passed;
    }
    queryUsed_ = true;
  }

  void BindDrawTarget() {
    BeginSampleCount();
    if (targetBound_) return;
    gl_.glBindFramebuffer(GL_FRAMEBUFFER, direct_ ? 0 : drawFbo_);
    gl_.glViewport(0, 0, width_, height_);
    gl_.glDisable(GL_SCISSOR_TEST);
    gl_.glBindVertexArray(vao_);
    targetBound_ = true;
  }

  void ResolveMultisample() {
    if (samples_ <= 0) return;
    targetBound_ = false;
    gl_.glBindFramebuffer(GL_READ_FRAMEBUFFER, msaaFbo_);
    gl_.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFbo_);
    gl_.glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT,
                          GL_NEAREST);
    gl_.glBindFramebuffer(GL_FRAMEBUFFER, drawFbo_);
  }

  VertexVariant CurrentVertexVariant() const {
    const bool hasColor = declaration_ && declaration_->Find(D3DDECLUSAGE_COLOR);
    return VertexVariantOf(renderStates_.data(), stageStates_[0].data(), hasColor, currentLights_);
  }
  FragmentVariant CurrentFragmentVariant() const {
    return FragmentVariantOf(renderStates_.data(), stageStates_[0].data(), stageStates_[1].data(),
                             textures_[0] != nullptr);
  }

  SDL_Window* window_;
  SDL_GLContext context_;
  std::function<void()> atExit_;
  GlFunctions gl_;
  bool loaded_ = false;
  std::shared_ptr<ContextLife> life_;
  GlProgramCache programs_;
  GlStateCache glState_;
  GlTextureStore textureStore_;
  Merger merger_;
  LightSet currentLights_{};  // the enabled lights of the draw being made
  bool targetBound_ = false;  // whether the drawing target is bound
  GLuint mergedVbo_ = 0, mergedEbo_ = 0;
  GLuint vao_ = 0;
  bool countSamples_ = false, countingFrame_ = false, queryUsed_ = false;
  GLuint sampleQueries_[2] = {0, 0};
  int queryIndex_ = 0;
  int samples_ = 0;
  bool software_ = false;
  PictureSize pictureSize_ = PictureSize::kFixed;
  FrameTarget frameTarget_ = FrameTarget::kPicture;
  bool windowBuffersFit_ = false;  // the window's buffers are like the picture's
  bool doubleBuffered_ = true;
  bool direct_ = false;            // this frame is drawn straight into the window
  bool presentedDirect_ = false;   // so was the frame presented last
  int windowW_ = 0, windowH_ = 0;  // the window's size at the last Present
  int width_ = kBackBufferWidth;   // the off-screen picture's size
  int height_ = kBackBufferHeight;
  GLuint msaaFbo_ = 0, msaaColor_ = 0, msaaDepth_ = 0;
  GLuint resolveFbo_ = 0, resolveColor_ = 0, resolveDepth_ = 0;
  GLuint drawFbo_ = 0;
};

}  // namespace

GraphicsDevice* CreateGlDevice(SDL_Window* window, int msaaSamples, std::string* error,
                               std::function<void()> atExit, PictureSize size, FrameTarget target) {
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) {
    *error = std::string("OpenGL 3.3 context not created: ") + SDL_GetError();
    if (atExit) atExit();
    return nullptr;
  }
  SDL_GL_MakeCurrent(window, context);
  // The context has loaded the driver: keep it for the sanitizer's report.
  KeepLoadedLibrariesForLeakReports();
  auto device = std::make_unique<GlDevice>(window, context, std::move(atExit), size, target);
  if (!device->Init(msaaSamples, error)) return nullptr;
  return device.release();
}

void RequestWindowBuffers() {
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
}

GraphicsDevice* CreateOffscreenGlDevice(std::string* error, int width, int height, PictureSize size,
                                        FrameTarget target) {
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    *error = std::string("SDL offscreen video could not start: ") + SDL_GetError();
    return nullptr;
  }
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  RequestWindowBuffers();
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
      size, target);
}
