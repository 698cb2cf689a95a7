// A thin layer over Direct3D 9 in neutral types, so that the device (which
// speaks the game's own Direct3D-shaped types) and <d3d9.h> (which defines
// the same names) never meet in one file. The values passed through are
// Direct3D's own: render states, texture stage states, transform slots,
// clear flags, primitive types, and the material, light and vertex element
// structures byte for byte.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace d3d9 {

struct Context;
// An IDirect3D9 resource (texture, buffer or declaration), released with Release.
using Object = void*;

struct ContextOptions {
  void* window = nullptr;  // the HWND the pictures are shown in
  int width = 1280;        // the back buffer's size
  int height = 720;
  bool multisample = true;  // 4x when the adapter offers it
  bool readable = false;    // keep each presented picture readable (no multisampling)
  bool vsync = true;
};

// Null with the reason when Direct3D 9 or a device cannot be had.
Context* Create(const ContextOptions& options, std::string* error);
void Destroy(Context* context);

void Release(Object object);
Object CreateTexture(Context* c, int width, int height);
// A8R8G8B8 rows from the top into the rectangle of the texture.
bool UpdateTexture(Object texture, int x, int y, int width, int height, const uint32_t* argb);
Object CreateVertexBuffer(Context* c, uint32_t bytes);
Object CreateIndexBuffer(Context* c, uint32_t bytes);  // 16-bit indices
// Replaces a buffer's whole contents.
bool FillBuffer(Object buffer, bool index, const void* data, uint32_t bytes);
// elements: D3DVERTEXELEMENT9 entries ending with D3DDECL_END.
Object CreateDeclaration(Context* c, const void* elements);

void SetTransform(Context* c, uint32_t which, const float matrix[16]);
void SetRenderState(Context* c, uint32_t state, uint32_t value);
void SetTextureStageState(Context* c, uint32_t stage, uint32_t type, uint32_t value);
// D3DSAMP_MAGFILTER or D3DSAMP_MINFILTER with D3DTEXF_POINT or D3DTEXF_LINEAR
// (the values are Direct3D's own).
void SetSamplerState(Context* c, uint32_t stage, uint32_t type, uint32_t value);
void SetMaterial(Context* c, const void* material);            // a D3DMATERIAL9
bool SetLight(Context* c, uint32_t index, const void* light);  // a D3DLIGHT9
void LightEnable(Context* c, uint32_t index, bool enable);
void SetTexture(Context* c, uint32_t stage, Object texture);
void SetStreamSource(Context* c, Object buffer, uint32_t offset, uint32_t stride);
void SetDeclaration(Context* c, Object declaration);
void SetIndices(Context* c, Object buffer);
bool DrawIndexed(Context* c, uint32_t type, int32_t baseVertex, uint32_t minIndex,
                 uint32_t numVertices, uint32_t startIndex, uint32_t primitiveCount);
void Clear(Context* c, uint32_t flags, uint32_t color, float z, uint32_t stencil);
void BeginScene(Context* c);
void EndScene(Context* c);
enum class PresentResult {
  kShown,
  kLost,      // the device is lost for now (a locked screen): try again later
  kRestored,  // the device came back: every state must be set again
  kFailed,    // the device is gone for good
};
// Shows the back buffer scaled into the window's client area, letterboxed.
PresentResult Present(Context* c);
// The last presented picture (a readable context only), A8R8G8B8 rows from the top.
bool ReadBackBuffer(Context* c, int* width, int* height, std::vector<uint32_t>* argb);

}  // namespace d3d9
