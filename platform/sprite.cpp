#include "platform/sprite.h"

#include <cmath>
#include <cstring>

namespace {

constexpr uint32_t kQuadsPerBatch = 2048;
constexpr float kScreenWidth = 1280.0f;
constexpr float kScreenHeight = 720.0f;

struct SpriteVertex {
  float x, y, z;
  D3DCOLOR color;
  float u, v;
};
static_assert(sizeof(SpriteVertex) == 24, "sprite vertices are 24 bytes");

}  // namespace

// The device states a batch changes, kept to be put back at the end.
struct Sprite::SavedState {
  static constexpr D3DRENDERSTATETYPE kStates[] = {
      D3DRS_ALPHABLENDENABLE, D3DRS_SRCBLEND, D3DRS_DESTBLEND, D3DRS_ZENABLE,
      D3DRS_ZWRITEENABLE,     D3DRS_CULLMODE, D3DRS_LIGHTING,  D3DRS_ALPHATESTENABLE,
      D3DRS_ALPHAFUNC,        D3DRS_ALPHAREF};
  // The sprite sets every texture stage state of stage 0.
  static constexpr const auto& kStageStates = kTextureStageStates;
  uint32_t states[std::size(kStates)];
  uint32_t stageStates[std::size(kStageStates)];
  Matrix world, view, projection;
  Texture* texture;
  uint32_t magFilter, minFilter;

  void Save(GraphicsDevice* d) {
    for (size_t i = 0; i < std::size(kStates); ++i) states[i] = d->GetRenderState(kStates[i]);
    for (size_t i = 0; i < std::size(kStageStates); ++i)
      stageStates[i] = d->GetTextureStageState(0, kStageStates[i]);
    world = d->GetTransform(D3DTS_WORLD);
    view = d->GetTransform(D3DTS_VIEW);
    projection = d->GetTransform(D3DTS_PROJECTION);
    texture = d->GetTexture(0);
    magFilter = d->GetSamplerState(0, D3DSAMP_MAGFILTER);
    minFilter = d->GetSamplerState(0, D3DSAMP_MINFILTER);
  }
  void Restore(GraphicsDevice* d) {
    for (size_t i = 0; i < std::size(kStates); ++i) d->SetRenderState(kStates[i], states[i]);
    for (size_t i = 0; i < std::size(kStageStates); ++i)
      d->SetTextureStageState(0, kStageStates[i], stageStates[i]);
    d->SetTransform(D3DTS_WORLD, world);
    d->SetTransform(D3DTS_VIEW, view);
    d->SetTransform(D3DTS_PROJECTION, projection);
    d->SetTexture(0, texture);
    d->SetSamplerState(0, D3DSAMP_MAGFILTER, magFilter);
    d->SetSamplerState(0, D3DSAMP_MINFILTER, minFilter);
  }
};

Sprite* Sprite::Create(GraphicsDevice* device) {
  auto* sprite = new Sprite(device);
  if (!sprite->Init()) {
    delete sprite;
    return nullptr;
  }
  return sprite;
}

Sprite::~Sprite() {
  if (vertices_) vertices_->Release();
  if (indices_) indices_->Release();
  if (declaration_) declaration_->Release();
}

bool Sprite::Init() {
  static const D3DVERTEXELEMENT9 kElements[] = {
      {0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
      {0, 12, D3DDECLTYPE_D3DCOLOR, 0, D3DDECLUSAGE_COLOR, 0},
      {0, 16, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
      D3DDECL_END()};
  declaration_ = device_->CreateVertexDeclaration(kElements);
  vertices_ = device_->CreateVertexBuffer(kQuadsPerBatch * 4 * sizeof(SpriteVertex));
  indices_ = device_->CreateIndexBuffer(kQuadsPerBatch * 6 * sizeof(uint16_t));
  if (!declaration_ || !vertices_ || !indices_) return false;
  auto* idx = static_cast<uint16_t*>(indices_->Lock());
  if (!idx) return false;
  for (uint32_t q = 0; q < kQuadsPerBatch; ++q) {
    const auto base = static_cast<uint16_t>(q * 4);
    const uint16_t quad[6] = {
        base, static_cast<uint16_t>(base + 1), static_cast<uint16_t>(base + 2),
        base, static_cast<uint16_t>(base + 2), static_cast<uint16_t>(base + 3)};
    std::memcpy(idx + q * 6, quad, sizeof quad);
  }
  indices_->Unlock();
  return true;
}

HRESULT Sprite::Begin(uint32_t flags) {
  if (begun_) return D3DERR_INVALIDCALL;
  begun_ = true;
  flags_ = flags;
  quads_.clear();
  return D3D_OK;
}

HRESULT Sprite::Draw(Texture* texture, const RECT* source, const Vec3* center, const Vec3* position,
                     D3DCOLOR color) {
  if (!begun_ || !texture) return D3DERR_INVALIDCALL;
  // Blended at alpha 0 a quad leaves every pixel as it was: not drawn at all
  // (the title's cover before it fades in costs a whole screen of pixels).
  if ((flags_ & D3DXSPRITE_ALPHABLEND) && (color >> 24) == 0) return D3D_OK;
  RECT src = source ? *source : RECT{0, 0, texture->Width(), texture->Height()};
  const float w = static_cast<float>(src.right - src.left);
  const float h = static_cast<float>(src.bottom - src.top);
  const Vec3 c = center ? *center : Vec3{};
  const Vec3 p = position ? *position : Vec3{};
  Quad q;
  q.texture = texture;
  const float cx[4] = {0, w, w, 0};
  const float cy[4] = {0, 0, h, h};
  for (int i = 0; i < 4; ++i) {
    const Vec3 v = Vec3TransformCoord({cx[i] - c.x + p.x, cy[i] - c.y + p.y, 0}, transform_);
    q.x[i] = v.x;
    q.y[i] = v.y;
  }
  q.u0 = static_cast<float>(src.left) / texture->Width();
  q.v0 = static_cast<float>(src.top) / texture->Height();
  q.u1 = static_cast<float>(src.right) / texture->Width();
  q.v1 = static_cast<float>(src.bottom) / texture->Height();
  q.color = color;
  q.exact = q.x[0] == std::floor(q.x[0]) && q.y[0] == std::floor(q.y[0]) && q.x[1] - q.x[0] == w &&
            q.x[2] == q.x[1] && q.x[3] == q.x[0] && q.y[1] == q.y[0] && q.y[3] - q.y[0] == h &&
            q.y[2] == q.y[3];
  quads_.push_back(q);
  return D3D_OK;
}

void Sprite::DrawQuads() {
  size_t start = 0;
  while (start < quads_.size()) {
    // One draw per run of quads with the same texture and filtering, in the
    // order given.
    size_t end = start + 1;
    while (end < quads_.size() && quads_[end].texture == quads_[start].texture &&
           quads_[end].exact == quads_[start].exact && end - start < kQuadsPerBatch)
      ++end;
    const auto count = static_cast<uint32_t>(end - start);
    auto* v = static_cast<SpriteVertex*>(vertices_->Lock(0, count * 4 * sizeof(SpriteVertex)));
    if (!v) return;
    for (uint32_t i = 0; i < count; ++i) {
      const Quad& q = quads_[start + i];
      const float us[4] = {q.u0, q.u1, q.u1, q.u0};
      const float vs[4] = {q.v0, q.v0, q.v1, q.v1};
      for (int k = 0; k < 4; ++k) v[i * 4 + k] = {q.x[k], q.y[k], 0.0f, q.color, us[k], vs[k]};
    }
    vertices_->Unlock();
    device_->SetTexture(0, quads_[start].texture);
    const uint32_t filter = quads_[start].exact ? D3DTEXF_POINT : D3DTEXF_LINEAR;
    device_->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
    device_->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
    device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, count * 4, 0, count * 2);
    start = end;
  }
}

HRESULT Sprite::Flush() {
  if (!begun_) return D3DERR_INVALIDCALL;
  if (quads_.empty()) return D3D_OK;
  SavedState saved;
  saved.Save(device_);
  const bool blend = (flags_ & D3DXSPRITE_ALPHABLEND) != 0;
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, blend ? 1 : 0);
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  device_->SetRenderState(D3DRS_ALPHATESTENABLE, blend ? 1 : 0);
  device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
  device_->SetRenderState(D3DRS_ALPHAREF, 0);
  device_->SetRenderState(D3DRS_ZENABLE, 0);
  device_->SetRenderState(D3DRS_ZWRITEENABLE, 0);
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  device_->SetRenderState(D3DRS_LIGHTING, 0);
  device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device_->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  device_->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
  device_->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
  device_->SetTransform(D3DTS_WORLD, Matrix::Identity());
  device_->SetTransform(D3DTS_VIEW, Matrix::Identity());
  device_->SetTransform(D3DTS_PROJECTION,
                        MatrixOrthoOffCenterLH(0, kScreenWidth, kScreenHeight, 0, 0, 1));
  device_->SetVertexDeclaration(declaration_);
  device_->SetStreamSource(0, vertices_, 0, sizeof(SpriteVertex));
  device_->SetIndices(indices_);
  DrawQuads();
  saved.Restore(device_);
  quads_.clear();
  return D3D_OK;
}

HRESULT Sprite::End() {
  if (!begun_) return D3DERR_INVALIDCALL;
  Flush();
  begun_ = false;
  return D3D_OK;
}
