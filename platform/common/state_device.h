// The device state every backend shares: render states, texture stage states,
// transforms, material, lights and bound resources with Direct3D 9's defaults,
// the per-frame counts, and the checks that turn a malformed call into an
// error instead of undefined behaviour. Backends draw from this state.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics_device.h"

constexpr uint32_t kMaxLights = 8;

// How a texture tells the device that made it that it is given back: first
// thing in its destructor, while what it draws with still exists. The
// textures share it with the device and may outlive it (a faulty shut-down);
// the device empties it when it goes.
struct TextureWatch {
  void Tell(const Texture* texture) const {
    if (gone) gone(texture);
  }
  std::function<void(const Texture*)> gone;
};

class StateDevice : public GraphicsDevice {
 public:
  StateDevice();
  ~StateDevice() override;

  HRESULT SetTransform(D3DTRANSFORMSTATETYPE which, const Matrix& m) override;
  Matrix GetTransform(D3DTRANSFORMSTATETYPE which) const override;
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, uint32_t value) override;
  uint32_t GetRenderState(D3DRENDERSTATETYPE state) const override;
  HRESULT SetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type,
                               uint32_t value) override;
  uint32_t GetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type) const override;
  HRESULT SetSamplerState(uint32_t stage, D3DSAMPLERSTATETYPE type, uint32_t value) override;
  uint32_t GetSamplerState(uint32_t stage, D3DSAMPLERSTATETYPE type) const override;
  HRESULT SetMaterial(const D3DMATERIAL9& material) override;
  D3DMATERIAL9 GetMaterial() const override { return material_; }
  HRESULT SetLight(uint32_t index, const D3DLIGHT9& light) override;
  D3DLIGHT9 GetLight(uint32_t index) const override;
  HRESULT LightEnable(uint32_t index, bool enable) override;
  bool GetLightEnable(uint32_t index) const override;
  HRESULT SetTexture(uint32_t stage, Texture* texture) override;
  Texture* GetTexture(uint32_t stage) const override;
  HRESULT SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t offset,
                          uint32_t stride) override;
  HRESULT SetVertexDeclaration(VertexDeclaration* declaration) override;
  HRESULT SetIndices(IndexBuffer* indices) override;
  HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, int32_t baseVertexIndex,
                               uint32_t minVertexIndex, uint32_t numVertices, uint32_t startIndex,
                               uint32_t primitiveCount) override;
  HRESULT Clear(uint32_t flags, D3DCOLOR color, float z, uint32_t stencil) override;
  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT Present() override;
  FrameStats LastFrameStats() const override { return lastStats_; }

  int64_t FramesPresented() const { return framesPresented_; }
  // The reasons of the calls refused so far (newest last), for tests.
  const std::vector<std::string>& Errors() const { return errors_; }

 protected:
  // A validated draw: the backend renders it from the current state.
  struct DrawCall {
    D3DPRIMITIVETYPE type;
    int32_t baseVertexIndex;
    uint32_t startIndex;
    uint32_t indexCount;
    uint32_t primitiveCount;
  };
  virtual void DoDraw(const DrawCall& call) = 0;
  virtual void DoClear(uint32_t flags, D3DCOLOR color, float z) = 0;
  // The scene's drawing is complete (a device that holds draws back issues them).
  virtual void DoEndScene() {}
  // Returns D3D_OK or D3DERR_DEVICELOST.
  virtual HRESULT DoPresent() = 0;

  HRESULT Refuse(const std::string& why);
  // A texture made with textureWatch_ is given back: no stage keeps pointing
  // at it. Direct3D would keep a set texture alive; here it is gone, so the
  // stage is left empty.
  virtual void TextureGone(const Texture* texture);

  // What the device's textures hold to reach TextureGone.
  std::shared_ptr<TextureWatch> textureWatch_ = std::make_shared<TextureWatch>();

  std::array<uint32_t, kRenderStateCount> renderStates_{};
  std::array<std::array<uint32_t, kTextureStageStateCount>, kTextureStageCount> stageStates_{};
  std::array<std::array<uint32_t, kSamplerStateCount>, kTextureStageCount> samplerStates_{};
  Matrix world_, view_, projection_, texture0_;
  D3DMATERIAL9 material_{};
  std::array<D3DLIGHT9, kMaxLights> lights_{};
  std::array<bool, kMaxLights> lightEnabled_{};
  std::array<Texture*, kTextureStageCount> textures_{};
  VertexBuffer* stream_ = nullptr;
  uint32_t streamOffset_ = 0;
  uint32_t streamStride_ = 0;
  VertexDeclaration* declaration_ = nullptr;
  IndexBuffer* indices_ = nullptr;
  bool inScene_ = false;
  int64_t framesPresented_ = 0;
  FrameStats stats_;
  FrameStats lastStats_;
  std::vector<std::string> errors_;
};
