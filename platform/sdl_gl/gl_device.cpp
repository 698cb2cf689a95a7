#include "platform/sdl_gl/gl_device.h"

#include <SDL.h>

#include <algorithm>
#include <cfloat>
#include <cstring>
#include <map>
#include <memory>
#include <span>
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

// An OpenGL texture object. Textures made from the same pixels share one
// (the wall's 36 pieces each load the same picture), so their draws can
// merge; a shared texture that is changed gets an object of its own first.
struct GlTextureObject {
  GlTextureObject(std::shared_ptr<ContextLife> context, GLuint name, int w, int h)
      : life(std::move(context)), id(name), width(w), height(h) {}
  ~GlTextureObject() {
    if (life->alive) life->gl->glDeleteTextures(1, &id);
  }
  GlTextureObject(const GlTextureObject&) = delete;
  GlTextureObject& operator=(const GlTextureObject&) = delete;

  std::shared_ptr<ContextLife> life;
  GLuint id;
  int width, height;
  // The filters the object is set to sample with (GL_LINEAR from the start),
  // so a draw changes them only when its sampler states differ.
  GLint magFilter = GL_LINEAR, minFilter = GL_LINEAR;
  // Whether a texture made later from the same pixels may share it: not a
  // big picture, nor one that has been changed.
  bool shareable = false;
};

class GlTexture : public Texture {
 public:
  GlTexture(int w, int h, std::shared_ptr<GlTextureObject> shared,
            std::shared_ptr<TextureWatch> watch)
      : Texture(w, h), object(std::move(shared)), watch_(std::move(watch)) {}
  ~GlTexture() override { watch_->Tell(this); }
  GLuint Id() const { return object->id; }

  std::shared_ptr<GlTextureObject> object;

 private:
  std::shared_ptr<TextureWatch> watch_;
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
  GLint world, viewProj, normalMatrix, eye;
  GLint matDiffuse, matAmbient, matSpecular, matEmissive, matPower, globalAmbient;
  GLint lightDiffuse, lightSpecular, lightAmbient, lightPosition;
  GLint lightDirection, lightAttenuation, lightSpot, texMatrix;
  GLint texture, tFactor, alphaRef;
};

// The enabled lights in the order the shader sees them.
struct LightSet {
  int count = 0;
  int type[kMaxLights] = {};
  float diffuse[kMaxLights][4], specular[kMaxLights][4], ambient[kMaxLights][4];
  float position[kMaxLights][3], direction[kMaxLights][3], attenuation[kMaxLights][4];
  float spot[kMaxLights][3];
};

// What a program was last given, so a draw uploads only what changed. Each
// group is compared as bytes.
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

// The inverse of a matrix, or the identity for one that has none.
Matrix InverseOrIdentity(const Matrix& m) {
  Matrix inv;
  if (!MatrixInverse(&inv, nullptr, m)) inv = Matrix::Identity();
  return inv;
}

// Copies value into cache when they differ; true when they did.
template <typename T>
bool Changed(T& cache, const T& value, bool valid) {
  if (valid && std::memcmp(&cache, &value, sizeof(T)) == 0) return false;
  std::memcpy(&cache, &value, sizeof(T));
  return true;
}

class GlDevice : public StateDevice {
 public:
  GlDevice(SDL_Window* window, SDL_GLContext context, std::function<void()> atExit,
           PictureSize size, FrameTarget target)
      : window_(window),
        context_(context),
        atExit_(std::move(atExit)),
        pictureSize_(size),
        frameTarget_(target) {
    life_ = std::make_shared<ContextLife>();
    life_->gl = &gl_;
  }

  ~GlDevice() override {
    if (loaded_) {
      for (auto& [key, p] : programs_) gl_.glDeleteProgram(p.id);
      for (auto& [key, shader] : vertexShaders_) gl_.glDeleteShader(shader);
      if (batchVbo_) gl_.glDeleteBuffers(1, &batchVbo_);
      if (batchEbo_) gl_.glDeleteBuffers(1, &batchEbo_);
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
    if (width <= 0 || height <= 0 || width > 8192 || height > 8192) return nullptr;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    const bool shareable = count <= kSharedTexturePixels;
    uint64_t hash = 0;
    if (shareable) {
      hash = PixelHash(width, height, argb);
      auto [it, end] = sharedTextures_.equal_range(hash);
      while (it != end) {
        std::shared_ptr<GlTextureObject> object = it->second.lock();
        if (!object) {
          it = sharedTextures_.erase(it);
          continue;
        }
        if (object->shareable && object->width == width && object->height == height &&
            std::ranges::equal(PixelsOf(*object), std::span(argb, count)))
          return new GlTexture(width, height, std::move(object), textureWatch_);
        ++it;
      }
    }
    std::shared_ptr<GlTextureObject> object = NewTextureObject(width, height, argb);
    if (!object) return nullptr;
    if (shareable) {
      object->shareable = true;
      if (sharedTextures_.size() >= sweepSharedAt_) {
        std::erase_if(sharedTextures_, [](const auto& entry) { return entry.second.expired(); });
        sweepSharedAt_ = 2 * sharedTextures_.size() + 64;
      }
      sharedTextures_.emplace(hash, object);
    }
    return new GlTexture(width, height, std::move(object), textureWatch_);
  }

  HRESULT UpdateTexture(Texture* texture, int x, int y, int w, int h,
                        const uint32_t* argb) override {
    auto* t = dynamic_cast<GlTexture*>(texture);
    if (!t || x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > t->Width() || y + h > t->Height())
      return Refuse("UpdateTexture: rectangle outside the texture");
    FlushBatch();  // a gathered run may draw with the texture as it is now
    if (t->object.use_count() > 1) {
      // Other textures share the object: this one takes a copy to change.
      std::shared_ptr<GlTextureObject> own =
          NewTextureObject(t->Width(), t->Height(), PixelsOf(*t->object).data());
      if (!own) return Refuse("UpdateTexture: no memory for the texture's own copy");
      t->object = std::move(own);
    }
    t->object->shareable = false;  // changed: no longer what a new texture would match
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
    FlushBatch();
    std::vector<uint32_t> rows(width_ * height_);
    if (presentedDirect_) {
      // The frame went straight to the window: the shown buffer holds it.
      gl_.glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
      gl_.glReadBuffer(doubleBuffered_ ? GL_FRONT : GL_BACK);
    } else {
      ResolveMultisample();
      gl_.glBindFramebuffer(GL_READ_FRAMEBUFFER, resolveFbo_);
    }
    gl_.glReadPixels(0, 0, width_, height_, GL_BGRA, GL_UNSIGNED_BYTE, rows.data());
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
    GatherLights(&currentLights_);
    const VertexVariant vertexVariant = CurrentVertexVariant();
    const FragmentVariant fragmentVariant = CurrentVariant();
    const Extent extent = ExtentOf(call);
    if (AddToBatch(call, extent, vertexVariant, fragmentVariant)) return;
    BeforeDirectDraw(extent);
    if (!Prepare(vertexVariant, fragmentVariant)) return;
    BindGeometry();
    GLenum mode = call.type == D3DPT_TRIANGLELIST    ? GL_TRIANGLES
                  : call.type == D3DPT_TRIANGLESTRIP ? GL_TRIANGLE_STRIP
                                                     : GL_TRIANGLE_FAN;
    gl_.glDrawElementsBaseVertex(
        mode, static_cast<GLsizei>(call.indexCount), GL_UNSIGNED_SHORT,
        reinterpret_cast<const void*>(static_cast<uintptr_t>(call.startIndex) * 2),
        call.baseVertexIndex);
    ++stats_.backendDraws;
  }

  // Makes the program of the variants current with the raster state and the
  // uniforms of the device's states; false (refused) when it cannot be built.
  bool Prepare(const VertexVariant& vertex, const FragmentVariant& fragment) {
    std::string error;
    Program* program = ProgramFor(vertex, fragment, &error);
    if (!program) {
      Refuse(error);
      return false;
    }
    if (program->id != currentProgram_) {
      gl_.glUseProgram(program->id);
      currentProgram_ = program->id;
    }
    u_ = &program->u;
    ApplyRasterState();
    UploadUniforms(&program->cache);
    return true;
  }

  // ---- Merged draws ----------------------------------------------------------
  // A stage draws hundreds of small meshes one after another, many with the
  // same material, texture and states and only the world matrix changing
  // (the floor chips above all). Draws with the same states are merged into
  // one draw: each mesh's vertices are moved to world space here (fans and
  // strips become lists), and the run is drawn with an identity world matrix
  // when the frame ends or anything else needs the picture as it is (a
  // clear, a present, a read-back, a texture update). The game sees nothing
  // of it.
  //
  // Merging moves a draw back to an earlier run with its states, past the
  // runs gathered since. That keeps the picture only where the draw does not
  // depend on their order: when they cover no common pixel (each run keeps
  // the screen rectangles around its draws), when both are opaque, depth
  // tested and written (then only pixels at exactly equal depth could tell),
  // or when an opaque one lies wholly in front of a depth-tested one
  // (MayChangePlaces). Otherwise the draw starts a new run after them.
  struct BatchVertex {
    float x, y, z, nx, ny, nz, u, v;
    uint32_t color;  // D3DCOLOR, when the declaration has one
  };
  // Everything a draw's picture depends on besides the world matrix, all in
  // four-byte fields (no padding), so it compares as bytes.
  struct BatchKey {
    uint32_t fragmentKey[2];
    uint32_t vertexKey, texture, filters;
    std::array<uint32_t, 7> raster;
    uint32_t ambient, tFactor, alphaRef;
    Matrix view, projection, texMatrix;
    D3DMATERIAL9 material;
    LightSet lights;
  };
  // A rectangle of the screen in normalised device coordinates, and the
  // range of depths in it.
  struct ScreenRect {
    float x0 = 2, y0 = 2, x1 = -2, y1 = -2;  // empty
    float z0 = 2, z1 = -2;
    bool Empty() const { return x0 > x1 || y0 > y1; }
    bool Meets(const ScreenRect& o) const {
      return !Empty() && !o.Empty() && x0 <= o.x1 && o.x0 <= x1 && y0 <= o.y1 && o.y0 <= y1;
    }
    void Add(const ScreenRect& o) {
      x0 = std::min(x0, o.x0);
      y0 = std::min(y0, o.y0);
      x1 = std::max(x1, o.x1);
      y1 = std::max(y1, o.y1);
      z0 = std::min(z0, o.z0);
      z1 = std::max(z1, o.z1);
    }
  };
  // How a draw takes part in the depth test, for deciding whether two draws
  // may change places.
  enum class DepthRole : uint8_t {
    kNone,       // neither tested nor written (or tested otherwise)
    kTested,     // tested with LESS or LESSEQUAL: hidden behind what is nearer
    kOrderFree,  // also opaque and written: the nearest such draw wins whatever the order
  };
  // A run: its key, the states it was gathered under, its vertices and the
  // rectangles they cover.
  struct Batch {
    BatchKey key{};
    VertexVariant vertex;
    FragmentVariant fragment;
    std::array<uint32_t, kRenderStateCount> states{};
    std::array<uint32_t, kTextureStageStateCount> stage{};
    std::array<uint32_t, kSamplerStateCount> sampler{};
    Texture* texture = nullptr;
    D3DMATERIAL9 material{};
    LightSet lights;
    Matrix view, projection, texMatrix;
    DepthRole depth = DepthRole::kNone;
    // The rectangle around all its draws, and the rectangles of its draws
    // themselves (the last one taking in the rest when there are more), so
    // a draw may pass the run between draws far apart.
    ScreenRect rect;
    std::array<ScreenRect, 8> parts;
    size_t partCount = 0;
    std::vector<BatchVertex> vertices;
    std::vector<uint32_t> indices;

    void AddRect(const ScreenRect& r) {
      rect.Add(r);
      if (partCount < parts.size())
        parts[partCount++] = r;
      else
        parts.back().Add(r);
    }
    // Whether a draw with this depth role and rectangle may be drawn before
    // the run as well as after it.
    bool MayChangePlacesWith(DepthRole other, const ScreenRect& r) const {
      if (!r.Meets(rect)) return true;
      for (size_t i = 0; i < partCount; ++i)
        if (!MayChangePlaces(other, r, depth, parts[i])) return false;
      return true;
    }
  };
  static_assert(sizeof(LightSet) % 4 == 0 && sizeof(D3DMATERIAL9) % 4 == 0);
  // Meshes with more vertices draw alone from their own buffers: moving them
  // to world space here every frame would cost more than their draw.
  static constexpr uint32_t kBatchMaxVertices = 512;
  static constexpr size_t kBatchLimit = 60000;  // vertices in one merged draw
  static constexpr size_t kMaxRuns = 256;       // runs gathered before they are drawn
  static constexpr size_t kRunsLookedAt = 64;   // runs looked back over for a draw's states

  // Where the declaration puts the float3 position, float3 normal, D3DCOLOR
  // colour and float2 texture coordinates (those present), or false for any
  // other layout.
  struct Layout {
    int pos = -1, normal = -1, color = -1, tex = -1;
  };
  bool BatchLayout(Layout* l) const {
    for (const auto& e : declaration_->Elements()) {
      if (e.Usage == D3DDECLUSAGE_POSITION && e.Type == D3DDECLTYPE_FLOAT3)
        l->pos = e.Offset;
      else if (e.Usage == D3DDECLUSAGE_NORMAL && e.Type == D3DDECLTYPE_FLOAT3)
        l->normal = e.Offset;
      else if (e.Usage == D3DDECLUSAGE_COLOR && e.Type == D3DDECLTYPE_D3DCOLOR)
        l->color = e.Offset;
      else if (e.Usage == D3DDECLUSAGE_TEXCOORD && e.Type == D3DDECLTYPE_FLOAT2)
        l->tex = e.Offset;
      else
        return false;
    }
    return l->pos >= 0;
  }

  // The screen rectangle around a box (the draw's own coordinates) as the
  // world, view and projection show it, a pixel wider on each side; the
  // whole screen when a corner lies at or behind the eye (its triangles may
  // reach anywhere), nothing when it lies off the screen.
  ScreenRect RectAround(const float lo[3], const float hi[3]) const {
    const Matrix m = world_ * view_ * projection_;
    ScreenRect r;
    for (int c = 0; c < 8; ++c) {
      const float px = c & 1 ? hi[0] : lo[0], py = c & 2 ? hi[1] : lo[1],
                  pz = c & 4 ? hi[2] : lo[2];
      const float x = px * m[0][0] + py * m[1][0] + pz * m[2][0] + m[3][0];
      const float y = px * m[0][1] + py * m[1][1] + pz * m[2][1] + m[3][1];
      const float w = px * m[0][3] + py * m[1][3] + pz * m[2][3] + m[3][3];
      const float z = px * m[0][2] + py * m[1][2] + pz * m[2][2] + m[3][2];
      if (!(w > 1e-5f)) return ScreenRect{-2, -2, 2, 2, -2, 2};
      r.Add(ScreenRect{x / w, y / w, x / w, y / w, z / w, z / w});
    }
    const float mx = 2.0f / static_cast<float>(width_), my = 2.0f / static_cast<float>(height_);
    r.x0 -= mx;
    r.x1 += mx;
    r.y0 -= my;
    r.y1 += my;
    if (r.x1 < -1 || r.x0 > 1 || r.y1 < -1 || r.y0 > 1) return ScreenRect{};
    return r;
  }

  // The bytes of a draw's vertex k (an index as its index buffer holds it).
  const uint8_t* VertexAt(const DrawCall& call, uint32_t k) const {
    return static_cast<const uint8_t*>(stream_->Data()) + streamOffset_ +
           static_cast<size_t>(static_cast<int64_t>(k) + call.baseVertexIndex) * streamStride_;
  }

  // The vertices a draw uses (the lowest and highest index) and the screen
  // rectangle around them; unknown when its layout has no float3 position.
  struct Extent {
    bool known = false;
    uint32_t lowest = 0, highest = 0;
    ScreenRect rect;
  };
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
    float lo[3] = {FLT_MAX, FLT_MAX, FLT_MAX}, hi[3] = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
    for (uint32_t k = low; k <= high; ++k) {
      float p[3];
      std::memcpy(p, VertexAt(call, k) + pos->Offset, sizeof p);
      for (int i = 0; i < 3; ++i) {
        lo[i] = std::min(lo[i], p[i]);
        hi[i] = std::max(hi[i], p[i]);
      }
    }
    e.known = true;
    e.lowest = low;
    e.highest = high;
    e.rect = RectAround(lo, hi);
    return e;
  }

  // Before a draw that goes straight to OpenGL: draws the gathered runs
  // first unless each of them may come after it (above).
  void BeforeDirectDraw(const Extent& extent) {
    if (runCount_ == 0) return;
    if (extent.known) {
      const DepthRole depth = CurrentDepthRole();
      bool free = true;
      for (size_t j = 0; j < runCount_ && free; ++j)
        free = runs_[j].MayChangePlacesWith(depth, extent.rect);
      if (free) return;
    }
    FlushBatch();
  }

  // Takes the draw into a run; false when it must be drawn on its own.
  bool AddToBatch(const DrawCall& call, const Extent& extent, const VertexVariant& vv,
                  const FragmentVariant& fv) {
    Layout layout;
    const bool triangles = call.type == D3DPT_TRIANGLELIST || call.type == D3DPT_TRIANGLEFAN ||
                           call.type == D3DPT_TRIANGLESTRIP;
    if (!triangles || call.indexCount < 3 || !extent.known ||
        extent.highest - extent.lowest >= kBatchMaxVertices || !BatchLayout(&layout))
      return false;
    const uint32_t lowest = extent.lowest, highest = extent.highest;
    const auto* indices = reinterpret_cast<const uint16_t*>(indices_->Data()) + call.startIndex;

    BatchKey key{};
    const uint64_t fragmentKey = fv.Key();
    key.fragmentKey[0] = static_cast<uint32_t>(fragmentKey);
    key.fragmentKey[1] = static_cast<uint32_t>(fragmentKey >> 32);
    key.vertexKey = vv.Key();
    auto* t = dynamic_cast<GlTexture*>(textures_[0]);
    key.texture = t ? t->Id() : 0;
    key.filters = samplerStates_[0][D3DSAMP_MAGFILTER] | samplerStates_[0][D3DSAMP_MINFILTER] << 8;
    const auto& rs = renderStates_;
    key.raster = CurrentRaster();
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

    const uint32_t count = highest - lowest + 1;
    Batch& run = RunFor(key, count, extent.rect);
    if (run.vertices.empty()) {
      run.vertex = vv;
      run.fragment = fv;
      run.states = renderStates_;
      run.stage = stageStates_[0];
      run.sampler = samplerStates_[0];
      run.texture = textures_[0];
      run.material = material_;
      run.lights = currentLights_;
      run.view = view_;
      run.projection = projection_;
      run.texMatrix = texture0_;
    }
    run.AddRect(extent.rect);

    // Positions go through the world matrix (row vectors), normals through
    // its inverse transpose, as the shader would do.
    const Matrix inv = InverseOrIdentity(world_);
    const Matrix& w = world_;
    const uint32_t first = static_cast<uint32_t>(run.vertices.size()) - lowest;
    run.vertices.resize(run.vertices.size() + count);
    BatchVertex* out = run.vertices.data() + run.vertices.size() - count;
    for (uint32_t k = lowest; k <= highest; ++k, ++out) {
      const uint8_t* vtx = VertexAt(call, k);
      float p[3], n[3] = {0, 1, 0}, uv[2] = {0, 0};
      std::memcpy(p, vtx + layout.pos, sizeof p);
      if (layout.normal >= 0) std::memcpy(n, vtx + layout.normal, sizeof n);
      if (layout.tex >= 0) std::memcpy(uv, vtx + layout.tex, sizeof uv);
      out->color = 0xFFFFFFFF;
      if (layout.color >= 0) std::memcpy(&out->color, vtx + layout.color, sizeof out->color);
      out->x = p[0] * w[0][0] + p[1] * w[1][0] + p[2] * w[2][0] + w[3][0];
      out->y = p[0] * w[0][1] + p[1] * w[1][1] + p[2] * w[2][1] + w[3][1];
      out->z = p[0] * w[0][2] + p[1] * w[1][2] + p[2] * w[2][2] + w[3][2];
      // n times the transpose of the inverse: n . (row j of the inverse).
      out->nx = n[0] * inv[0][0] + n[1] * inv[0][1] + n[2] * inv[0][2];
      out->ny = n[0] * inv[1][0] + n[1] * inv[1][1] + n[2] * inv[1][2];
      out->nz = n[0] * inv[2][0] + n[1] * inv[2][1] + n[2] * inv[2][2];
      out->u = uv[0];
      out->v = uv[1];
    }
    // Fans and strips become lists of the same triangles, wound the same way.
    auto triangle = [&](uint32_t a, uint32_t b, uint32_t c) {
      run.indices.push_back(first + indices[a]);
      run.indices.push_back(first + indices[b]);
      run.indices.push_back(first + indices[c]);
    };
    const uint32_t indexCount = call.indexCount;
    if (call.type == D3DPT_TRIANGLELIST) {
      for (uint32_t i = 0; i + 2 < indexCount; i += 3) triangle(i, i + 1, i + 2);
    } else if (call.type == D3DPT_TRIANGLEFAN) {
      for (uint32_t i = 1; i + 1 < indexCount; ++i) triangle(0, i, i + 1);
    } else {
      for (uint32_t i = 0; i + 2 < indexCount; ++i) {
        if (i % 2 == 0)
          triangle(i, i + 1, i + 2);
        else
          triangle(i + 1, i, i + 2);
      }
    }
    return true;
  }

  // A draw is order-free when its pixels do not depend on what was drawn
  // before it but through the depth test: opaque, depth tested and written.
  DepthRole CurrentDepthRole() const {
    const auto& rs = renderStates_;
    if (!rs[D3DRS_ZENABLE] ||
        (rs[D3DRS_ZFUNC] != D3DCMP_LESS && rs[D3DRS_ZFUNC] != D3DCMP_LESSEQUAL))
      return DepthRole::kNone;
    return rs[D3DRS_ZWRITEENABLE] && !rs[D3DRS_ALPHABLENDENABLE] && !rs[D3DRS_ALPHATESTENABLE]
               ? DepthRole::kOrderFree
               : DepthRole::kTested;
  }

  // Whether two draws give the same picture in either order: when they share
  // no pixel; when both are order-free (only pixels at exactly equal depth
  // could tell); or when an order-free one lies wholly in front of a
  // depth-tested one (where they meet, the front one shows either way: drawn
  // last it covers the other, drawn first it hides it).
  static bool MayChangePlaces(DepthRole a, const ScreenRect& ra, DepthRole b,
                              const ScreenRect& rb) {
    if (!ra.Meets(rb)) return true;
    if (a == DepthRole::kOrderFree && b == DepthRole::kOrderFree) return true;
    if (a == DepthRole::kOrderFree && b == DepthRole::kTested) return ra.z1 < rb.z0;
    if (b == DepthRole::kOrderFree && a == DepthRole::kTested) return rb.z1 < ra.z0;
    return false;
  }

  // The run a draw with this key and rectangle joins: the earliest run with
  // the key that has room and after which every run gathered may be drawn
  // after the draw (above); otherwise a new run at the end.
  Batch& RunFor(const BatchKey& key, size_t vertices, const ScreenRect& rect) {
    const DepthRole depth = CurrentDepthRole();
    const size_t stop = runCount_ > kRunsLookedAt ? runCount_ - kRunsLookedAt : 0;
    Batch* found = nullptr;
    for (size_t j = runCount_; j-- > stop;) {
      Batch& r = runs_[j];
      if (r.vertices.size() + vertices <= kBatchLimit && std::memcmp(&r.key, &key, sizeof key) == 0)
        found = &r;
      if (!r.MayChangePlacesWith(depth, rect)) break;
    }
    if (found) return *found;
    if (runCount_ == kMaxRuns) FlushBatch();
    if (runCount_ == runs_.size()) runs_.emplace_back();
    Batch& run = runs_[runCount_++];
    run.key = key;
    run.depth = depth;
    run.rect = ScreenRect{};
    run.partCount = 0;
    return run;
  }

  // Runs gathered with a texture given back are drawn first, while it still
  // exists (Direct3D would keep it until they were drawn; its OpenGL name may
  // go to the next texture made).
  void TextureGone(const Texture* t) override {
    if (std::any_of(runs_.begin(), runs_.begin() + static_cast<std::ptrdiff_t>(runCount_),
                    [t](const Batch& run) { return run.texture == t; }))
      FlushBatch();
    StateDevice::TextureGone(t);
  }

  // Exchanges the device's states with those the run was gathered under.
  void SwapStates(Batch& run) {
    std::swap(renderStates_, run.states);
    std::swap(stageStates_[0], run.stage);
    std::swap(samplerStates_[0], run.sampler);
    std::swap(textures_[0], run.texture);
    std::swap(material_, run.material);
    std::swap(currentLights_, run.lights);
    std::swap(view_, run.view);
    std::swap(projection_, run.projection);
    std::swap(texture0_, run.texMatrix);
  }

  // Draws the gathered runs, in order, each with the states it was gathered
  // under.
  void FlushBatch() {
    for (size_t i = 0; i < runCount_; ++i) DrawRun(runs_[i]);
    runCount_ = 0;
  }

  void DrawRun(Batch& run) {
    // Stand in the run's states for the current ones while it is drawn.
    SwapStates(run);
    Matrix world = Matrix::Identity();
    std::swap(world_, world);

    BindDrawTarget();
    if (Prepare(run.vertex, run.fragment)) {
      if (!batchVbo_) {
        gl_.glGenBuffers(1, &batchVbo_);
        gl_.glGenBuffers(1, &batchEbo_);
      }
      gl_.glBindBuffer(GL_ARRAY_BUFFER, batchVbo_);
      gl_.glBufferData(GL_ARRAY_BUFFER,
                       static_cast<GLsizeiptr>(run.vertices.size() * sizeof(BatchVertex)),
                       run.vertices.data(), GL_STREAM_DRAW);
      gl_.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, batchEbo_);
      gl_.glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                       static_cast<GLsizeiptr>(run.indices.size() * sizeof(uint32_t)),
                       run.indices.data(), GL_STREAM_DRAW);
      const GLsizei stride = sizeof(BatchVertex);
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
      gl_.glDrawElementsBaseVertex(GL_TRIANGLES, static_cast<GLsizei>(run.indices.size()),
                                   GL_UNSIGNED_INT, nullptr, 0);
      ++stats_.backendDraws;
    }

    std::swap(world_, world);
    SwapStates(run);
    run.vertices.clear();
    run.indices.clear();
  }

  void DoEndScene() override { FlushBatch(); }

  void DoClear(uint32_t flags, D3DCOLOR color, float z) override {
    FlushBatch();
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
      rasterKnown_ = false;
      gl_.glClearDepth(z);
      mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (mask) gl_.glClear(mask);
  }

  HRESULT DoPresent() override {
    FlushBatch();
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
  // A new texture object holding the pixels; null when OpenGL refuses it.
  std::shared_ptr<GlTextureObject> NewTextureObject(int width, int height, const uint32_t* argb) {
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
    return std::make_shared<GlTextureObject>(life_, id, width, height);
  }

  // The pixels a texture object holds, read back from OpenGL.
  std::vector<uint32_t> PixelsOf(const GlTextureObject& object) {
    std::vector<uint32_t> argb(static_cast<size_t>(object.width) *
                               static_cast<size_t>(object.height));
    gl_.glActiveTexture(GL_TEXTURE0);
    gl_.glBindTexture(GL_TEXTURE_2D, object.id);
    gl_.glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_BYTE, argb.data());
    boundTexture_ = 0;  // the bind above disturbed the cached stage-0 binding
    return argb;
  }

  // FNV-1a over a picture's size and pixels.
  static uint64_t PixelHash(int width, int height, const uint32_t* argb) {
    uint64_t h = 14695981039346656037ull;
    auto add = [&h](uint32_t word) {
      h ^= word;
      h *= 1099511628211ull;
    };
    add(static_cast<uint32_t>(width));
    add(static_cast<uint32_t>(height));
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < count; ++i) add(argb[i]);
    return h;
  }

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

  // The variant for the state at start-up is built at once, so a broken
  // driver shows then.
  bool BuildProgram(std::string* error) {
    GatherLights(&currentLights_);
    return ProgramFor(CurrentVertexVariant(), CurrentVariant(), error) != nullptr;
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
    const auto& st1 = stageStates_[1];
    const bool currentAndFactor =
        (st1[D3DTSS_COLORARG1] == D3DTA_CURRENT && st1[D3DTSS_COLORARG2] == D3DTA_TFACTOR) ||
        (st1[D3DTSS_COLORARG1] == D3DTA_TFACTOR && st1[D3DTSS_COLORARG2] == D3DTA_CURRENT);
    v.tintByFactor = st1[D3DTSS_COLOROP] == D3DTOP_MODULATE && currentAndFactor ? 1 : 0;
    v.specular = rs[D3DRS_SPECULARENABLE] && rs[D3DRS_LIGHTING] ? 1 : 0;
    v.alphaTest = rs[D3DRS_ALPHATESTENABLE] ? 1 : 0;
    v.alphaFunc = v.alphaTest ? static_cast<int>(rs[D3DRS_ALPHAFUNC]) : 0;
    return v;
  }

  struct Program {
    GLuint id = 0;
    Uniforms u{};
    UniformCache cache;
  };
  using ProgramKey = std::pair<uint32_t, uint64_t>;  // vertex and fragment variant keys

  // The vertex shader of a variant, compiled the first time it is asked for.
  GLuint VertexShaderFor(const VertexVariant& variant, std::string* error) {
    const uint32_t key = variant.Key();
    auto found = vertexShaders_.find(key);
    if (found != vertexShaders_.end()) return found->second;
    const GLuint shader = Compile(GL_VERTEX_SHADER, VertexShaderSource(variant), error);
    if (shader) vertexShaders_.emplace(key, shader);
    return shader;
  }

  // The program for a pair of variants, built the first time it is asked for.
  Program* ProgramFor(const VertexVariant& vertex, const FragmentVariant& fragment,
                      std::string* error) {
    const ProgramKey key{vertex.Key(), fragment.Key()};
    if (lastProgram_ && key == lastProgramKey_) return lastProgram_;
    auto found = programs_.find(key);
    if (found != programs_.end()) {
      lastProgramKey_ = key;
      lastProgram_ = &found->second;
      return lastProgram_;
    }
    const GLuint vs = VertexShaderFor(vertex, error);
    if (!vs) return nullptr;
    GLuint fs = Compile(GL_FRAGMENT_SHADER, FragmentShaderSource(fragment), error);
    if (!fs) return nullptr;
    Program p;
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
    p.u = Uniforms{loc("uWorld"),          loc("uViewProj"),
                   loc("uNormalMatrix"),   loc("uEye"),
                   loc("uMatDiffuse"),     loc("uMatAmbient"),
                   loc("uMatSpecular"),    loc("uMatEmissive"),
                   loc("uMatPower"),       loc("uGlobalAmbient"),
                   loc("uLightDiffuse"),   loc("uLightSpecular"),
                   loc("uLightAmbient"),   loc("uLightPosition"),
                   loc("uLightDirection"), loc("uLightAttenuation"),
                   loc("uLightSpot"),      loc("uTexMatrix"),
                   loc("uTexture"),        loc("uTFactor"),
                   loc("uAlphaRef")};
    gl_.glUseProgram(p.id);
    gl_.glUniform1i(p.u.texture, 0);
    currentProgram_ = p.id;
    lastProgramKey_ = key;
    lastProgram_ = &programs_.emplace(key, p).first->second;
    return lastProgram_;
  }

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

  // Whether the window is double-buffered, and whether its own buffers are
  // those of the off-screen picture (8-bit colour with alpha, 24-bit depth):
  // only then does a frame drawn into the window come out the same.
  void LookAtWindowBuffers() {
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
                        alpha == 8 && depth == 24;
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
  void BindDrawTarget() {
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

  // The render states that ApplyRasterState turns into OpenGL state.
  using RasterValues = std::array<uint32_t, 7>;
  RasterValues CurrentRaster() const {
    const auto& rs = renderStates_;
    return {rs[D3DRS_ZENABLE],          rs[D3DRS_ZFUNC],    rs[D3DRS_ZWRITEENABLE],
            rs[D3DRS_ALPHABLENDENABLE], rs[D3DRS_SRCBLEND], rs[D3DRS_DESTBLEND],
            rs[D3DRS_CULLMODE]};
  }

  void ApplyRasterState() {
    const auto& rs = renderStates_;
    const RasterValues now = CurrentRaster();
    if (rasterKnown_ && now == raster_) return;
    raster_ = now;
    rasterKnown_ = true;
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

  // The enabled lights, in index order, as the shader takes them.
  void GatherLights(LightSet* set) const {
    *set = LightSet{};  // unused entries stay zero, so sets compare as bytes
    if (!renderStates_[D3DRS_LIGHTING]) return;
    for (uint32_t i = 0; i < kMaxLights; ++i) {
      const D3DLIGHT9& l = lights_[i];
      if (!lightEnabled_[i] || l.Type < D3DLIGHT_POINT || l.Type > D3DLIGHT_DIRECTIONAL) continue;
      const int n = set->count++;
      set->type[n] = l.Type;
      std::copy_n(&l.Diffuse.r, 4, set->diffuse[n]);
      std::copy_n(&l.Specular.r, 4, set->specular[n]);
      std::copy_n(&l.Ambient.r, 4, set->ambient[n]);
      set->position[n][0] = l.Position.x;
      set->position[n][1] = l.Position.y;
      set->position[n][2] = l.Position.z;
      set->direction[n][0] = l.Direction.x;
      set->direction[n][1] = l.Direction.y;
      set->direction[n][2] = l.Direction.z;
      set->attenuation[n][0] = l.Range;
      set->attenuation[n][1] = l.Attenuation0;
      set->attenuation[n][2] = l.Attenuation1;
      set->attenuation[n][3] = l.Attenuation2;
      set->spot[n][0] = l.Falloff;
      set->spot[n][1] = std::cos(l.Theta / 2);
      set->spot[n][2] = std::cos(l.Phi / 2);
    }
  }

  VertexVariant CurrentVertexVariant() const {
    const auto& rs = renderStates_;
    VertexVariant v;
    v.hasColor = declaration_ && declaration_->Find(D3DDECLUSAGE_COLOR) ? 1 : 0;
    v.lighting = rs[D3DRS_LIGHTING] ? 1 : 0;
    v.texTransform = stageStates_[0][D3DTSS_TEXTURETRANSFORMFLAGS] != D3DTTFF_DISABLE ? 1 : 0;
    if (v.lighting) {
      v.diffuseFromVertex =
          rs[D3DRS_COLORVERTEX] && rs[D3DRS_DIFFUSEMATERIALSOURCE] == D3DMCS_COLOR1 ? 1 : 0;
      v.lightCount = currentLights_.count;
      std::copy_n(currentLights_.type, kMaxLights, v.lightType);
    }
    return v;
  }

  void UploadUniforms(UniformCache* cache) {
    const auto& rs = renderStates_;
    const bool valid = cache->valid;
    cache->valid = true;
    if (Changed(cache->world, world_, valid))
      gl_.glUniformMatrix4fv(u_->world, 1, GL_FALSE, &world_.m[0][0]);
    if (!viewKnown_ || view_ != lastView_ || projection_ != lastProjection_) {
      viewKnown_ = true;
      lastView_ = view_;
      lastProjection_ = projection_;
      const Matrix viewProj = view_ * projection_;
      std::copy_n(&viewProj.m[0][0], 16, viewProj_);
      const Matrix viewInv = InverseOrIdentity(view_);
      eye_[0] = viewInv[3][0];
      eye_[1] = viewInv[3][1];
      eye_[2] = viewInv[3][2];
    }
    if (Changed(cache->viewProj, viewProj_, valid))
      gl_.glUniformMatrix4fv(u_->viewProj, 1, GL_FALSE, viewProj_);
    if (rs[D3DRS_LIGHTING]) {
      // Normals go through the inverse transpose of the world matrix.
      if (!normalKnown_ || world_ != lastNormalWorld_) {
        normalKnown_ = true;
        lastNormalWorld_ = world_;
        const Matrix n = MatrixTranspose(InverseOrIdentity(world_));
        const float n3[9] = {n[0][0], n[0][1], n[0][2], n[1][0], n[1][1],
                             n[1][2], n[2][0], n[2][1], n[2][2]};
        std::copy_n(n3, 9, normal_);
      }
      if (Changed(cache->normal, normal_, valid))
        gl_.glUniformMatrix3fv(u_->normalMatrix, 1, GL_FALSE, normal_);
      if (Changed(cache->eye, eye_, valid)) gl_.glUniform3fv(u_->eye, 1, eye_);
      if (Changed(cache->material, material_, valid)) {
        gl_.glUniform4fv(u_->matDiffuse, 1, &material_.Diffuse.r);
        gl_.glUniform4fv(u_->matAmbient, 1, &material_.Ambient.r);
        gl_.glUniform4fv(u_->matSpecular, 1, &material_.Specular.r);
        gl_.glUniform4fv(u_->matEmissive, 1, &material_.Emissive.r);
        gl_.glUniform1f(u_->matPower, material_.Power);
      }
      float ambient[4];
      ColorToFloats(rs[D3DRS_AMBIENT], ambient);
      if (Changed(cache->ambient, ambient, valid)) gl_.glUniform4fv(u_->globalAmbient, 1, ambient);
      const LightSet& l = currentLights_;
      if (Changed(cache->lights, l, valid) && l.count) {
        gl_.glUniform4fv(u_->lightDiffuse, l.count, &l.diffuse[0][0]);
        gl_.glUniform4fv(u_->lightSpecular, l.count, &l.specular[0][0]);
        gl_.glUniform4fv(u_->lightAmbient, l.count, &l.ambient[0][0]);
        gl_.glUniform3fv(u_->lightPosition, l.count, &l.position[0][0]);
        gl_.glUniform3fv(u_->lightDirection, l.count, &l.direction[0][0]);
        gl_.glUniform4fv(u_->lightAttenuation, l.count, &l.attenuation[0][0]);
        gl_.glUniform3fv(u_->lightSpot, l.count, &l.spot[0][0]);
      }
    }
    if (stageStates_[0][D3DTSS_TEXTURETRANSFORMFLAGS] != D3DTTFF_DISABLE &&
        Changed(cache->texMatrix, texture0_, valid))
      gl_.glUniformMatrix4fv(u_->texMatrix, 1, GL_FALSE, &texture0_.m[0][0]);

    auto* tex = dynamic_cast<GlTexture*>(textures_[0]);
    const GLuint id = tex ? tex->Id() : 0;
    if (id != boundTexture_) {
      gl_.glActiveTexture(GL_TEXTURE0);
      gl_.glBindTexture(GL_TEXTURE_2D, id);
      boundTexture_ = id;
    }
    if (tex) {
      auto filter = [](uint32_t f) { return f == D3DTEXF_POINT ? GL_NEAREST : GL_LINEAR; };
      const GLint mag = filter(samplerStates_[0][D3DSAMP_MAGFILTER]);
      const GLint min = filter(samplerStates_[0][D3DSAMP_MINFILTER]);
      GlTextureObject& o = *tex->object;
      if (o.magFilter != mag) gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, mag);
      if (o.minFilter != min) gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, min);
      o.magFilter = mag;
      o.minFilter = min;
    }
    float tf[4];
    ColorToFloats(rs[D3DRS_TEXTUREFACTOR], tf);
    if (Changed(cache->tFactor, tf, valid)) gl_.glUniform4fv(u_->tFactor, 1, tf);
    const float alphaRef = static_cast<float>(rs[D3DRS_ALPHAREF] & 0xFF);
    if (Changed(cache->alphaRef, alphaRef, valid)) gl_.glUniform1f(u_->alphaRef, alphaRef);
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
  std::unordered_map<uint32_t, GLuint> vertexShaders_;  // by VertexVariant::Key
  std::map<ProgramKey, Program> programs_;              // nodes stay where they are
  ProgramKey lastProgramKey_{};
  Program* lastProgram_ = nullptr;
  GLuint currentProgram_ = 0;
  LightSet currentLights_;  // the enabled lights of the draw being made
  // Derived values, recomputed only when their source matrix changes.
  Matrix lastView_, lastProjection_, lastNormalWorld_;
  float viewProj_[16] = {}, eye_[3] = {}, normal_[9] = {};
  bool viewKnown_ = false, normalKnown_ = false;
  // The raster state last applied, and whether the drawing target is bound.
  RasterValues raster_{};
  bool rasterKnown_ = false;
  bool targetBound_ = false;
  // The runs of draws being gathered (the first runCount_ of runs_; the
  // others keep their storage for later frames).
  std::vector<Batch> runs_;
  size_t runCount_ = 0;
  GLuint batchVbo_ = 0, batchEbo_ = 0;
  const Uniforms* u_ = nullptr;  // the current program's
  GLuint vao_ = 0;
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
  GLuint boundTexture_ = 0;
  // Texture objects that a texture made from the same pixels may share, by
  // a hash of their size and pixels (expired entries are swept now and then).
  static constexpr size_t kSharedTexturePixels = 512 * 512;
  std::unordered_multimap<uint64_t, std::weak_ptr<GlTextureObject>> sharedTextures_;
  size_t sweepSharedAt_ = 64;
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
