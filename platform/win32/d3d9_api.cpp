#include "platform/win32/d3d9_api.h"

#include <d3d9.h>

#include <cstdio>
#include <cstring>

#include "platform/common/letterbox.h"

namespace d3d9 {

struct Context {
  IDirect3D9* d3d = nullptr;
  IDirect3DDevice9* device = nullptr;
  D3DPRESENT_PARAMETERS params{};
  HWND window = nullptr;
  int width = 0, height = 0;
  bool readable = false;
};

namespace {

std::string Hex(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

// Direct3D's defaults differ from the OpenGL device's in filtering: the
// game's pictures are sampled linearly, without mipmaps, on every stage.
void SetSamplers(IDirect3DDevice9* device) {
  for (DWORD stage = 0; stage < 8; ++stage) {
    device->SetSamplerState(stage, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(stage, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(stage, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
  }
}

}  // namespace

Context* Create(const ContextOptions& options, std::string* error) {
  auto* c = new Context;
  c->window = static_cast<HWND>(options.window);
  c->width = options.width;
  c->height = options.height;
  c->readable = options.readable;
  c->d3d = Direct3DCreate9(D3D_SDK_VERSION);
  if (!c->d3d) {
    *error = "Direct3D 9 is not available";
    delete c;
    return nullptr;
  }
  D3DPRESENT_PARAMETERS& p = c->params;
  p.BackBufferWidth = options.width;
  p.BackBufferHeight = options.height;
  p.BackBufferFormat = D3DFMT_X8R8G8B8;
  p.BackBufferCount = 1;
  p.Windowed = TRUE;
  p.hDeviceWindow = c->window;
  p.EnableAutoDepthStencil = TRUE;
  p.AutoDepthStencilFormat = D3DFMT_D24S8;
  p.PresentationInterval = options.vsync ? D3DPRESENT_INTERVAL_ONE : D3DPRESENT_INTERVAL_IMMEDIATE;
  // A readable picture must survive Present, which only copying keeps.
  p.SwapEffect = options.readable ? D3DSWAPEFFECT_COPY : D3DSWAPEFFECT_DISCARD;
  DWORD quality = 0;
  if (options.multisample && !options.readable &&
      SUCCEEDED(c->d3d->CheckDeviceMultiSampleType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL,
                                                   D3DFMT_X8R8G8B8, TRUE, D3DMULTISAMPLE_4_SAMPLES,
                                                   &quality)) &&
      SUCCEEDED(c->d3d->CheckDeviceMultiSampleType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_D24S8,
                                                   TRUE, D3DMULTISAMPLE_4_SAMPLES, nullptr)))
    p.MultiSampleType = D3DMULTISAMPLE_4_SAMPLES;
  HRESULT hr = E_FAIL;
  for (DWORD vp : {D3DCREATE_HARDWARE_VERTEXPROCESSING, D3DCREATE_SOFTWARE_VERTEXPROCESSING}) {
    hr = c->d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, c->window,
                              vp | D3DCREATE_FPU_PRESERVE, &p, &c->device);
    if (SUCCEEDED(hr)) break;
  }
  if (FAILED(hr)) {
    *error = "cannot create a Direct3D 9 device (" + Hex(hr) + ")";
    Destroy(c);
    return nullptr;
  }
  SetSamplers(c->device);
  return c;
}

void Destroy(Context* c) {
  if (!c) return;
  if (c->device) c->device->Release();
  if (c->d3d) c->d3d->Release();
  delete c;
}

void Release(Object object) {
  if (object) static_cast<IUnknown*>(object)->Release();
}

Object CreateTexture(Context* c, int width, int height) {
  IDirect3DTexture9* texture = nullptr;
  if (FAILED(c->device->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                      &texture, nullptr)))
    return nullptr;
  return texture;
}

bool UpdateTexture(Object object, int x, int y, int width, int height, const uint32_t* argb) {
  auto* texture = static_cast<IDirect3DTexture9*>(object);
  RECT area{x, y, x + width, y + height};
  D3DLOCKED_RECT locked;
  if (FAILED(texture->LockRect(0, &locked, &area, 0))) return false;
  for (int row = 0; row < height; ++row)
    std::memcpy(static_cast<uint8_t*>(locked.pBits) + static_cast<size_t>(row) * locked.Pitch,
                argb + static_cast<size_t>(row) * width, static_cast<size_t>(width) * 4);
  texture->UnlockRect(0);
  return true;
}

Object CreateVertexBuffer(Context* c, uint32_t bytes) {
  IDirect3DVertexBuffer9* buffer = nullptr;
  if (FAILED(c->device->CreateVertexBuffer(bytes ? bytes : 4, D3DUSAGE_WRITEONLY, 0,
                                           D3DPOOL_MANAGED, &buffer, nullptr)))
    return nullptr;
  return buffer;
}

Object CreateIndexBuffer(Context* c, uint32_t bytes) {
  IDirect3DIndexBuffer9* buffer = nullptr;
  if (FAILED(c->device->CreateIndexBuffer(bytes ? bytes : 4, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                          D3DPOOL_MANAGED, &buffer, nullptr)))
    return nullptr;
  return buffer;
}

bool FillBuffer(Object buffer, bool index, const void* data, uint32_t bytes) {
  if (bytes == 0) return true;
  void* target = nullptr;
  if (index) {
    auto* b = static_cast<IDirect3DIndexBuffer9*>(buffer);
    if (FAILED(b->Lock(0, bytes, &target, 0))) return false;
    std::memcpy(target, data, bytes);
    b->Unlock();
  } else {
    auto* b = static_cast<IDirect3DVertexBuffer9*>(buffer);
    if (FAILED(b->Lock(0, bytes, &target, 0))) return false;
    std::memcpy(target, data, bytes);
    b->Unlock();
  }
  return true;
}

Object CreateDeclaration(Context* c, const void* elements) {
  IDirect3DVertexDeclaration9* declaration = nullptr;
  if (FAILED(c->device->CreateVertexDeclaration(static_cast<const D3DVERTEXELEMENT9*>(elements),
                                                &declaration)))
    return nullptr;
  return declaration;
}

void SetTransform(Context* c, uint32_t which, const float matrix[16]) {
  D3DMATRIX m;
  std::memcpy(&m, matrix, sizeof m);
  c->device->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(which), &m);
}

void SetRenderState(Context* c, uint32_t state, uint32_t value) {
  c->device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(state), value);
}

void SetSamplerState(Context* c, uint32_t stage, uint32_t type, uint32_t value) {
  c->device->SetSamplerState(stage, static_cast<D3DSAMPLERSTATETYPE>(type), value);
}

void SetTextureStageState(Context* c, uint32_t stage, uint32_t type, uint32_t value) {
  c->device->SetTextureStageState(stage, static_cast<D3DTEXTURESTAGESTATETYPE>(type), value);
}

void SetMaterial(Context* c, const void* material) {
  c->device->SetMaterial(static_cast<const D3DMATERIAL9*>(material));
}

bool SetLight(Context* c, uint32_t index, const void* light) {
  return SUCCEEDED(c->device->SetLight(index, static_cast<const D3DLIGHT9*>(light)));
}

void LightEnable(Context* c, uint32_t index, bool enable) {
  c->device->LightEnable(index, enable);
}

void SetTexture(Context* c, uint32_t stage, Object texture) {
  c->device->SetTexture(stage, static_cast<IDirect3DTexture9*>(texture));
}

void SetStreamSource(Context* c, Object buffer, uint32_t offset, uint32_t stride) {
  c->device->SetStreamSource(0, static_cast<IDirect3DVertexBuffer9*>(buffer), offset, stride);
}

void SetDeclaration(Context* c, Object declaration) {
  c->device->SetVertexDeclaration(static_cast<IDirect3DVertexDeclaration9*>(declaration));
}

void SetIndices(Context* c, Object buffer) {
  c->device->SetIndices(static_cast<IDirect3DIndexBuffer9*>(buffer));
}

bool DrawIndexed(Context* c, uint32_t type, int32_t baseVertex, uint32_t minIndex,
                 uint32_t numVertices, uint32_t startIndex, uint32_t primitiveCount) {
  return SUCCEEDED(c->device->DrawIndexedPrimitive(static_cast<D3DPRIMITIVETYPE>(type), baseVertex,
                                                   minIndex, numVertices, startIndex,
                                                   primitiveCount));
}

void Clear(Context* c, uint32_t flags, uint32_t color, float z, uint32_t stencil) {
  c->device->Clear(0, nullptr, flags, color, z, stencil);
}

void BeginScene(Context* c) {
  c->device->BeginScene();
}

void EndScene(Context* c) {
  c->device->EndScene();
}

PresentResult Present(Context* c) {
  RECT client{};
  GetClientRect(c->window, &client);
  const Rect r =
      Letterbox(client.right - client.left, client.bottom - client.top, c->width, c->height);
  RECT dest{r.x, r.y, r.x + r.width, r.y + r.height};
  const bool whole = r.width == 0 || r.height == 0;
  const HRESULT hr = c->device->Present(nullptr, whole ? nullptr : &dest, nullptr, nullptr);
  if (hr != D3DERR_DEVICELOST)
    return SUCCEEDED(hr) ? PresentResult::kShown : PresentResult::kFailed;
  // Lost: wait until it may be reset; managed resources survive the reset,
  // the states do not.
  const HRESULT level = c->device->TestCooperativeLevel();
  if (level == D3DERR_DEVICELOST) return PresentResult::kLost;
  if (level == D3DERR_DEVICENOTRESET && SUCCEEDED(c->device->Reset(&c->params))) {
    SetSamplers(c->device);
    return PresentResult::kRestored;
  }
  return level == D3D_OK ? PresentResult::kShown : PresentResult::kFailed;
}

bool ReadBackBuffer(Context* c, int* width, int* height, std::vector<uint32_t>* argb) {
  if (!c->readable) return false;
  IDirect3DSurface9* back = nullptr;
  if (FAILED(c->device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back))) return false;
  D3DSURFACE_DESC desc;
  back->GetDesc(&desc);
  IDirect3DSurface9* copy = nullptr;
  bool ok = SUCCEEDED(c->device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format,
                                                             D3DPOOL_SYSTEMMEM, &copy, nullptr)) &&
            SUCCEEDED(c->device->GetRenderTargetData(back, copy));
  D3DLOCKED_RECT locked;
  if (ok && SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
    *width = static_cast<int>(desc.Width);
    *height = static_cast<int>(desc.Height);
    argb->resize(static_cast<size_t>(desc.Width) * desc.Height);
    for (UINT y = 0; y < desc.Height; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(
          static_cast<const uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch);
      for (UINT x = 0; x < desc.Width; ++x) (*argb)[y * desc.Width + x] = row[x] | 0xFF000000u;
    }
    copy->UnlockRect();
  } else {
    ok = false;
  }
  if (copy) copy->Release();
  back->Release();
  return ok;
}

}  // namespace d3d9
