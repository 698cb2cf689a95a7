// A rendering device that draws nothing: it keeps the state, checks every
// call and counts what each frame draws, so tests can assert on it without a
// GPU.
#pragma once

#include "platform/common/state_device.h"

class CountingDevice : public StateDevice {
 public:
  Texture* CreateTexture(int width, int height, const uint32_t* argb) override;
  HRESULT UpdateTexture(Texture* texture, int x, int y, int width, int height,
                        const uint32_t* argb) override;
  VertexBuffer* CreateVertexBuffer(uint32_t bytes) override;
  IndexBuffer* CreateIndexBuffer(uint32_t bytes) override;
  VertexDeclaration* CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements) override;
  bool ReadLastFrame(int*, int*, std::vector<uint32_t>*) override { return false; }

 protected:
  void DoDraw(const DrawCall&) override {}
  void DoClear(uint32_t, D3DCOLOR, float) override {}
  HRESULT DoPresent() override { return D3D_OK; }
};
