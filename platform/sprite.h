// The shared 2D batch (shaped like ID3DXSprite): images and text drawn in
// pixels of the 1280x720 picture, origin at the top left. Works on any
// GraphicsDevice; between Begin and End it owns the device's states and puts
// them back afterwards.
#pragma once

#include <vector>

#include "platform/graphics_device.h"

class Sprite {
 public:
  // Null when the device cannot make the sprite's buffers.
  static Sprite* Create(GraphicsDevice* device);
  void Release() { delete this; }

  HRESULT Begin(uint32_t flags);
  HRESULT SetTransform(const Matrix& m) {
    transform_ = m;
    return D3D_OK;
  }
  Matrix GetTransform() const { return transform_; }
  // Draws the source rectangle of the texture (all of it when null) with its
  // top-left at position - center, transformed by the sprite transform and
  // modulated by the colour.
  HRESULT Draw(Texture* texture, const RECT* source, const Vec3* center, const Vec3* position,
               D3DCOLOR color);
  HRESULT Flush();
  HRESULT End();
  bool InBatch() const { return begun_; }

 private:
  struct Quad {
    Texture* texture;
    float x[4], y[4];
    float u0, v0, u1, v1;
    D3DCOLOR color;
    // Texel for pixel: unscaled, unturned, at a whole pixel. Such a quad is
    // sampled at texel centres, where the nearest texel is what linear
    // filtering gives, and nearest costs a software renderer far less.
    bool exact;
  };
  struct SavedState;

  explicit Sprite(GraphicsDevice* device) : device_(device) {}
  ~Sprite();
  bool Init();
  void DrawQuads();

  GraphicsDevice* device_;
  VertexBuffer* vertices_ = nullptr;
  IndexBuffer* indices_ = nullptr;
  VertexDeclaration* declaration_ = nullptr;
  Matrix transform_;
  uint32_t flags_ = 0;
  bool begun_ = false;
  std::vector<Quad> quads_;
};
