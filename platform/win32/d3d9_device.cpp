#include "platform/win32/d3d9_device.h"

#include <cstring>
#include <memory>
#include <thread>

#include "platform/common/state_device.h"
#include "platform/win32/d3d9_api.h"

namespace {

constexpr int kBackBufferWidth = 1280;
constexpr int kBackBufferHeight = 720;

// Given back, it leaves the device's stages (a restored device sends every
// stage's texture again).
class D3d9Texture : public Texture {
 public:
  D3d9Texture(int width, int height, d3d9::Object object, std::shared_ptr<TextureWatch> watch)
      : Texture(width, height), object_(object), watch_(std::move(watch)) {}
  ~D3d9Texture() override {
    watch_->Tell(this);
    d3d9::Release(object_);
  }
  d3d9::Object Object() const { return object_; }

 private:
  d3d9::Object object_;
  std::shared_ptr<TextureWatch> watch_;
};

// A buffer's bytes live on the CPU (the game reads them back); Direct3D gets
// a copy whenever they changed since the last draw that used them.
template <typename Base, bool kIndex>
class D3d9Buffer : public Base {
 public:
  D3d9Buffer(uint32_t bytes, d3d9::Object object) : Base(bytes), object_(object) {}
  ~D3d9Buffer() override { d3d9::Release(object_); }
  d3d9::Object Current() {
    if (!uploaded_ || uploadedVersion_ != this->Version()) {
      d3d9::FillBuffer(object_, kIndex, this->Data(), this->Size());
      uploadedVersion_ = this->Version();
      uploaded_ = true;
    }
    return object_;
  }

 private:
  d3d9::Object object_;
  uint64_t uploadedVersion_ = 0;
  bool uploaded_ = false;
};
using D3d9VertexBuffer = D3d9Buffer<VertexBuffer, false>;
using D3d9IndexBuffer = D3d9Buffer<IndexBuffer, true>;

class D3d9Declaration : public VertexDeclaration {
 public:
  D3d9Declaration(const D3DVERTEXELEMENT9* elements, d3d9::Object object)
      : VertexDeclaration(elements), object_(object) {}
  ~D3d9Declaration() override { d3d9::Release(object_); }
  d3d9::Object Object() const { return object_; }

 private:
  d3d9::Object object_;
};

class D3d9Device : public StateDevice {
 public:
  D3d9Device(d3d9::Context* context, std::function<void()> atExit)
      : context_(context), atExit_(std::move(atExit)) {
    ApplyAllStates();
  }
  ~D3d9Device() override {
    d3d9::Destroy(context_);
    if (atExit_) atExit_();
  }

  Texture* CreateTexture(int width, int height, const uint32_t* argb) override {
    if (width <= 0 || height <= 0) return nullptr;
    d3d9::Object object = d3d9::CreateTexture(context_, width, height);
    if (!object) return nullptr;
    if (argb) d3d9::UpdateTexture(object, 0, 0, width, height, argb);
    return new D3d9Texture(width, height, object, textureWatch_);
  }

  HRESULT UpdateTexture(Texture* texture, int x, int y, int width, int height,
                        const uint32_t* argb) override {
    auto* t = static_cast<D3d9Texture*>(texture);
    if (!t || !argb || x < 0 || y < 0 || width <= 0 || height <= 0 || x + width > t->Width() ||
        y + height > t->Height())
      return Refuse("UpdateTexture: rectangle outside the texture");
    return d3d9::UpdateTexture(t->Object(), x, y, width, height, argb) ? D3D_OK
                                                                       : D3DERR_INVALIDCALL;
  }

  VertexBuffer* CreateVertexBuffer(uint32_t bytes) override {
    d3d9::Object object = d3d9::CreateVertexBuffer(context_, bytes);
    return object ? new D3d9VertexBuffer(bytes, object) : nullptr;
  }

  IndexBuffer* CreateIndexBuffer(uint32_t bytes) override {
    d3d9::Object object = d3d9::CreateIndexBuffer(context_, bytes);
    return object ? new D3d9IndexBuffer(bytes, object) : nullptr;
  }

  VertexDeclaration* CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements) override {
    d3d9::Object object = d3d9::CreateDeclaration(context_, elements);
    return object ? new D3d9Declaration(elements, object) : nullptr;
  }

  // Each state the game sets goes to Direct3D as it is set (once the
  // common checks accepted it).
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE which, const Matrix& m) override {
    const HRESULT hr = StateDevice::SetTransform(which, m);
    if (hr == D3D_OK) SendTransform(which, m);
    return hr;
  }
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, uint32_t value) override {
    const HRESULT hr = StateDevice::SetRenderState(state, value);
    if (hr == D3D_OK) SendRenderState(state);
    return hr;
  }
  HRESULT SetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type,
                               uint32_t value) override {
    const HRESULT hr = StateDevice::SetTextureStageState(stage, type, value);
    if (hr == D3D_OK) d3d9::SetTextureStageState(context_, stage, type, value);
    return hr;
  }
  HRESULT SetSamplerState(uint32_t stage, D3DSAMPLERSTATETYPE type, uint32_t value) override {
    const HRESULT hr = StateDevice::SetSamplerState(stage, type, value);
    if (hr == D3D_OK) d3d9::SetSamplerState(context_, stage, type, value);
    return hr;
  }
  HRESULT SetMaterial(const D3DMATERIAL9& material) override {
    StateDevice::SetMaterial(material);
    d3d9::SetMaterial(context_, &material);
    return D3D_OK;
  }
  HRESULT SetLight(uint32_t index, const D3DLIGHT9& light) override {
    const HRESULT hr = StateDevice::SetLight(index, light);
    if (hr == D3D_OK) SendLight(index);
    return hr;
  }
  HRESULT LightEnable(uint32_t index, bool enable) override {
    const HRESULT hr = StateDevice::LightEnable(index, enable);
    if (hr == D3D_OK) d3d9::LightEnable(context_, index, enable);
    return hr;
  }
  HRESULT SetTexture(uint32_t stage, Texture* texture) override {
    const HRESULT hr = StateDevice::SetTexture(stage, texture);
    if (hr == D3D_OK) SendTexture(stage);
    return hr;
  }

  HRESULT BeginScene() override {
    const HRESULT hr = StateDevice::BeginScene();
    if (hr == D3D_OK) d3d9::BeginScene(context_);
    return hr;
  }

  bool ReadLastFrame(int* width, int* height, std::vector<uint32_t>* argb) override {
    return d3d9::ReadBackBuffer(context_, width, height, argb);
  }

 protected:
  void DoDraw(const DrawCall& call) override {
    auto* vb = static_cast<D3d9VertexBuffer*>(stream_);
    auto* ib = static_cast<D3d9IndexBuffer*>(indices_);
    d3d9::SetStreamSource(context_, vb->Current(), streamOffset_, streamStride_);
    d3d9::SetIndices(context_, ib->Current());
    d3d9::SetDeclaration(context_, static_cast<D3d9Declaration*>(declaration_)->Object());
    // The common checks proved every index lands in the buffer, so the whole
    // buffer is the vertex range.
    const uint32_t available = stream_->Size() - streamOffset_;
    const int64_t vertices = available / streamStride_ - static_cast<int64_t>(call.baseVertexIndex);
    if (vertices <= 0 ||
        !d3d9::DrawIndexed(context_, call.type, call.baseVertexIndex, 0,
                           static_cast<uint32_t>(vertices), call.startIndex, call.primitiveCount))
      ++stats_.errors;
    ++stats_.backendDraws;
  }

  void DoClear(uint32_t flags, D3DCOLOR color, float z) override {
    d3d9::Clear(context_, flags, color, z, 0);
  }

  void DoEndScene() override { d3d9::EndScene(context_); }

  HRESULT DoPresent() override {
    switch (d3d9::Present(context_)) {
      case d3d9::PresentResult::kShown:
        return D3D_OK;
      case d3d9::PresentResult::kRestored:
        ApplyAllStates();
        return D3D_OK;
      case d3d9::PresentResult::kLost:
        // The picture cannot be shown (a locked screen): the game goes on
        // and the next frames try again.
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return D3D_OK;
      case d3d9::PresentResult::kFailed:
        break;
    }
    return D3DERR_DEVICELOST;
  }

 private:
  void SendLight(uint32_t index) {
    // Direct3D refuses a light without a known type; such a light stays dark.
    if (lights_[index].Type >= D3DLIGHT_POINT && lights_[index].Type <= D3DLIGHT_DIRECTIONAL)
      d3d9::SetLight(context_, index, &lights_[index]);
  }

  // The OpenGL device lights with unit normals whatever the switch says, so
  // scaled models (the stars) are lit the same on both devices.
  void SendRenderState(D3DRENDERSTATETYPE state) {
    const uint32_t value = state == D3DRS_NORMALIZENORMALS ? 1 : renderStates_[state];
    d3d9::SetRenderState(context_, state, value);
  }

  // Direct3D 9 puts pixel centres on whole coordinates, OpenGL (and the
  // game's 2D layout) half a pixel further in: the projection moves every
  // picture half a pixel up and left, so texels land on pixels exactly and
  // both devices draw the same picture.
  void SendTransform(D3DTRANSFORMSTATETYPE which, const Matrix& m) {
    if (which != D3DTS_PROJECTION) {
      d3d9::SetTransform(context_, which, &m.m[0][0]);
      return;
    }
    Matrix shift = Matrix::Identity();
    shift.m[3][0] = -1.0f / kBackBufferWidth;
    shift.m[3][1] = 1.0f / kBackBufferHeight;
    const Matrix shifted = m * shift;
    d3d9::SetTransform(context_, which, &shifted.m[0][0]);
  }

  void SendTexture(uint32_t stage) {
    auto* t = static_cast<D3d9Texture*>(textures_[stage]);
    d3d9::SetTexture(context_, stage, t ? t->Object() : nullptr);
  }

  // Sends every state the device holds: at the start (Direct3D's defaults
  // and ours are the same, but saying them costs nothing) and after the
  // device was restored.
  void ApplyAllStates() {
    for (D3DRENDERSTATETYPE s : kRenderStates) SendRenderState(s);
    for (uint32_t stage = 0; stage < kTextureStageCount; ++stage) {
      for (D3DTEXTURESTAGESTATETYPE t : kTextureStageStates)
        d3d9::SetTextureStageState(context_, stage, t, stageStates_[stage][t]);
      for (D3DSAMPLERSTATETYPE t : kSamplerStates)
        d3d9::SetSamplerState(context_, stage, t, samplerStates_[stage][t]);
      SendTexture(stage);
    }
    SendTransform(D3DTS_WORLD, world_);
    SendTransform(D3DTS_VIEW, view_);
    SendTransform(D3DTS_PROJECTION, projection_);
    SendTransform(D3DTS_TEXTURE0, texture0_);
    d3d9::SetMaterial(context_, &material_);
    for (uint32_t i = 0; i < kMaxLights; ++i) {
      SendLight(i);
      d3d9::LightEnable(context_, i, lightEnabled_[i]);
    }
  }

  d3d9::Context* context_;
  std::function<void()> atExit_;
};

}  // namespace

GraphicsDevice* CreateD3d9Device(const D3d9DeviceOptions& options, std::string* error) {
  d3d9::ContextOptions c;
  c.window = options.window;
  c.width = kBackBufferWidth;
  c.height = kBackBufferHeight;
  c.readable = options.readable;
  c.multisample = !options.readable;
  c.vsync = options.vsync;
  d3d9::Context* context = d3d9::Create(c, error);
  if (!context) return nullptr;
  return new D3d9Device(context, options.atExit);
}
