#include "platform/headless/counting_device.h"

namespace {

class PlainTexture : public Texture {
 public:
  PlainTexture(int w, int h) : Texture(w, h) {}
};
class PlainVertexBuffer : public VertexBuffer {
 public:
  explicit PlainVertexBuffer(uint32_t n) : VertexBuffer(n) {}
};
class PlainIndexBuffer : public IndexBuffer {
 public:
  explicit PlainIndexBuffer(uint32_t n) : IndexBuffer(n) {}
};
class PlainDeclaration : public VertexDeclaration {
 public:
  explicit PlainDeclaration(const D3DVERTEXELEMENT9* e) : VertexDeclaration(e) {}
};

}  // namespace

Texture* CountingDevice::CreateTexture(int width, int height, const uint32_t* argb) {
  if (width <= 0 || height <= 0 || width > 8192 || height > 8192 || !argb) return nullptr;
  return new PlainTexture(width, height);
}

HRESULT CountingDevice::UpdateTexture(Texture* texture, int x, int y, int w, int h,
                                      const uint32_t* argb) {
  if (!texture || !argb || x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > texture->Width() ||
      y + h > texture->Height())
    return Refuse("UpdateTexture: rectangle outside the texture");
  return D3D_OK;
}

VertexBuffer* CountingDevice::CreateVertexBuffer(uint32_t bytes) {
  return bytes ? new PlainVertexBuffer(bytes) : nullptr;
}

IndexBuffer* CountingDevice::CreateIndexBuffer(uint32_t bytes) {
  return bytes ? new PlainIndexBuffer(bytes) : nullptr;
}

VertexDeclaration* CountingDevice::CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements) {
  return new PlainDeclaration(elements);
}
