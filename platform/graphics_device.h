// The rendering device: the part of IDirect3DDevice9 that the game uses.
// Backends: an OpenGL 3.3 device (platform/sdl_gl) and a counting device that
// draws nothing (platform/headless).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/math.h"
#include "platform/d3d_types.h"

// Resources are created by the device and given back with Release(), which
// frees them; a released pointer must not be used again.
class DeviceResource {
 public:
  DeviceResource(const DeviceResource&) = delete;
  DeviceResource& operator=(const DeviceResource&) = delete;
  void Release() { delete this; }

 protected:
  DeviceResource() = default;
  virtual ~DeviceResource() = default;
};

class Texture : public DeviceResource {
 public:
  int Width() const { return width_; }
  int Height() const { return height_; }

 protected:
  Texture(int width, int height) : width_(width), height_(height) {}

 private:
  int width_;
  int height_;
};

// A vertex or index buffer. The bytes stay in memory on the CPU as well, so
// the game can read geometry back (picking) and the headless device can check
// what is drawn.
class GpuBuffer : public DeviceResource {
 public:
  uint32_t Size() const { return static_cast<uint32_t>(bytes_.size()); }
  // Lock gives write (or read) access to [offset, offset + size); size 0 means
  // to the end. Unlock hands the bytes to the device.
  void* Lock(uint32_t offset = 0, uint32_t size = 0);
  void Unlock();
  const uint8_t* Data() const { return bytes_.data(); }
  bool IsLocked() const { return locked_; }
  uint64_t Version() const { return version_; }

 protected:
  explicit GpuBuffer(uint32_t size) : bytes_(size) {}

 private:
  std::vector<uint8_t> bytes_;
  bool locked_ = false;
  uint64_t version_ = 0;
};

class VertexBuffer : public GpuBuffer {
 protected:
  using GpuBuffer::GpuBuffer;
};

// 16-bit indices only.
class IndexBuffer : public GpuBuffer {
 public:
  // The smallest and the largest index in the whole buffer, counted again
  // only after the bytes changed: a draw that every index of the buffer fits
  // needs no check of its own indices.
  void IndexRange(uint16_t* lowest, uint16_t* highest) const;

 protected:
  using GpuBuffer::GpuBuffer;

 private:
  mutable uint64_t rangeVersion_ = ~0ull;
  mutable uint16_t lowest_ = 0, highest_ = 0;
};

class VertexDeclaration : public DeviceResource {
 public:
  const std::vector<D3DVERTEXELEMENT9>& Elements() const { return elements_; }
  // The element with the given usage, or null.
  const D3DVERTEXELEMENT9* Find(uint8_t usage) const;

 protected:
  explicit VertexDeclaration(const D3DVERTEXELEMENT9* elements);

 private:
  std::vector<D3DVERTEXELEMENT9> elements_;
};

// What one frame drew, counted by every device between BeginScene and Present.
struct FrameStats {
  int drawCalls = 0;
  int primitives = 0;
  int renderStateChanges = 0;
  int textureStageStateChanges = 0;
  int transformChanges = 0;
  int textureBinds = 0;
  int clears = 0;
  int errors = 0;  // calls the device refused as invalid
  // Draws the backend really issued (the OpenGL device merges runs of small
  // draws that differ only in their world matrix); 0 where it does not count.
  int backendDraws = 0;
  // Copies of an off-screen picture into the window that the frame's Present
  // made: 0 when the frame was drawn straight into the window (or the device
  // draws nowhere else).
  int presentCopies = 0;
  // Samples that passed the depth test (the pixels shaded into the picture,
  // counting each time a pixel is drawn over), where the device counts them
  // (CountSamples); -1 where it does not. The OpenGL device reads a frame's
  // count one frame later so as not to wait on the drawing, so this is the
  // frame before's.
  int64_t samplesPassed = -1;
};

class GraphicsDevice {
 public:
  virtual ~GraphicsDevice() = default;

  // Creates a texture from A8R8G8B8 pixels, rows from the top.
  virtual Texture* CreateTexture(int width, int height, const uint32_t* argb) = 0;
  // Replaces a rectangle of a texture's pixels (A8R8G8B8 rows from the top).
  virtual HRESULT UpdateTexture(Texture* texture, int x, int y, int width, int height,
                                const uint32_t* argb) = 0;
  virtual VertexBuffer* CreateVertexBuffer(uint32_t bytes) = 0;
  virtual IndexBuffer* CreateIndexBuffer(uint32_t bytes) = 0;
  virtual VertexDeclaration* CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements) = 0;

  virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE which, const Matrix& m) = 0;
  virtual Matrix GetTransform(D3DTRANSFORMSTATETYPE which) const = 0;
  virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, uint32_t value) = 0;
  virtual uint32_t GetRenderState(D3DRENDERSTATETYPE state) const = 0;
  virtual HRESULT SetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type,
                                       uint32_t value) = 0;
  virtual uint32_t GetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type) const = 0;
  virtual HRESULT SetSamplerState(uint32_t stage, D3DSAMPLERSTATETYPE type, uint32_t value) = 0;
  virtual uint32_t GetSamplerState(uint32_t stage, D3DSAMPLERSTATETYPE type) const = 0;
  virtual HRESULT SetMaterial(const D3DMATERIAL9& material) = 0;
  virtual D3DMATERIAL9 GetMaterial() const = 0;
  virtual HRESULT SetLight(uint32_t index, const D3DLIGHT9& light) = 0;
  virtual D3DLIGHT9 GetLight(uint32_t index) const = 0;
  virtual HRESULT LightEnable(uint32_t index, bool enable) = 0;
  virtual bool GetLightEnable(uint32_t index) const = 0;
  virtual HRESULT SetTexture(uint32_t stage, Texture* texture) = 0;
  virtual Texture* GetTexture(uint32_t stage) const = 0;

  virtual HRESULT SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t offset,
                                  uint32_t stride) = 0;
  virtual HRESULT SetVertexDeclaration(VertexDeclaration* declaration) = 0;
  virtual HRESULT SetIndices(IndexBuffer* indices) = 0;
  virtual HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, int32_t baseVertexIndex,
                                       uint32_t minVertexIndex, uint32_t numVertices,
                                       uint32_t startIndex, uint32_t primitiveCount) = 0;

  virtual HRESULT Clear(uint32_t flags, D3DCOLOR color, float z, uint32_t stencil) = 0;
  virtual HRESULT BeginScene() = 0;
  virtual HRESULT EndScene() = 0;
  // Shows the finished frame; D3DERR_DEVICELOST ends the program.
  virtual HRESULT Present() = 0;

  // The counts of the last presented frame.
  virtual FrameStats LastFrameStats() const = 0;
  // Starts or stops counting the samples each frame draws (FrameStats); a
  // device that cannot count ignores it.
  virtual void CountSamples(bool /*on*/) {}
  // The last presented picture as A8R8G8B8 rows from the top, when the device
  // renders pictures at all (the counting device does not).
  virtual bool ReadLastFrame(int* width, int* height, std::vector<uint32_t>* argb) = 0;
};

// Number of vertices indexed by a primitive count of the given type.
uint32_t IndexCountForPrimitives(D3DPRIMITIVETYPE type, uint32_t primitiveCount);
