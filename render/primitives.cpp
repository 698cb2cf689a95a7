#include "render/primitives.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "base/det_math.h"
#include "base/report_error.h"
#include "platform/graphics.h"
#include "render/preload.h"
#include "render/shared_content.h"
#include "render/view.h"

namespace {

struct PolygonVertex {
  float x, y, z;
  D3DCOLOR color;
  float u, v;
};
static_assert(sizeof(PolygonVertex) == 24, "polygon vertices are 24 bytes");

constexpr D3DVERTEXELEMENT9 kPolygonElements[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_D3DCOLOR, 0, D3DDECLUSAGE_COLOR, 0},
    {0, 16, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
    D3DDECL_END()};

}  // namespace

int OnePolygon::Create(const void* vertices, uint32_t vertexBytes, const uint16_t* indices,
                       uint32_t indexCount) {
  Release();
  GraphicsDevice* device = GetDevice();
  if (!device) return 0;
  declaration_ = device->CreateVertexDeclaration(kPolygonElements);
  vertexBuffer_ = device->CreateVertexBuffer(vertexBytes);
  void* v = vertexBuffer_ ? vertexBuffer_->Lock() : nullptr;
  if (!declaration_ || !v) {
    ReportError("頂点バッファの作成に失敗 -OnePolygon-");
    return 0;
  }
  std::memcpy(v, vertices, vertexBytes);
  vertexBuffer_->Unlock();
  indexBuffer_ = device->CreateIndexBuffer(indexCount * sizeof(uint16_t));
  void* i = indexBuffer_ ? indexBuffer_->Lock() : nullptr;
  if (!i) {
    ReportError("インデックスバッファの作成に失敗-OnePolygon-");
    return 0;
  }
  std::memcpy(i, indices, indexCount * sizeof(uint16_t));
  indexBuffer_->Unlock();
  return 1;
}

int OnePolygon::CreateQuad() {
  const PolygonVertex v[4] = {{-1, -1, 0, color, 0, 1},
                              {-1, 1, 0, color, 0, 0},
                              {1, 1, 0, color, 1, 0},
                              {1, -1, 0, color, 1, 1}};
  const uint16_t idx[4] = {0, 1, 2, 3};
  return Create(v, sizeof v, idx, 4);
}

int OnePolygon::CreateFan(int rimAlpha) {
  const D3DCOLOR rim = color & ((static_cast<uint32_t>(rimAlpha) << 24) | 0x00FFFFFFu);
  const PolygonVertex v[6] = {{0, 0, 0, color, 0.5f, 0.5f}, {-1, 1, 0, rim, 0, 0},
                              {1, 1, 0, rim, 1, 0},         {1, -1, 0, rim, 1, 1},
                              {-1, -1, 0, rim, 0, 1},       {-1, 1, 0, rim, 0, 0}};
  const uint16_t idx[6] = {0, 1, 2, 3, 4, 5};
  return Create(v, sizeof v, idx, 6);
}

void OnePolygon::Release() {
  if (indexBuffer_) {
    indexBuffer_->Release();
    indexBuffer_ = nullptr;
  }
  if (vertexBuffer_) {
    vertexBuffer_->Release();
    vertexBuffer_ = nullptr;
  }
  if (declaration_) {
    declaration_->Release();
    declaration_ = nullptr;
  }
}

void OnePolygon::Bind(Texture* texture) {
  GraphicsDevice* device = GetDevice();
  device->SetStreamSource(0, vertexBuffer_, 0, sizeof(PolygonVertex));
  device->SetVertexDeclaration(declaration_);
  device->SetIndices(indexBuffer_);
  device->SetTexture(0, texture);
}

void OnePolygon::Draw(Texture* texture) {
  if (!vertexBuffer_) return;
  GraphicsDevice* device = GetDevice();
  device->SetRenderState(D3DRS_LIGHTING, 0);
  Bind(texture);
  device->DrawIndexedPrimitive(D3DPT_TRIANGLEFAN, 0, 0, 4, 0, 2);
  device->SetRenderState(D3DRS_LIGHTING, 1);
}

void OnePolygon::DrawScrolled(Texture* texture, const Vec2& offset) {
  if (!vertexBuffer_) return;
  GraphicsDevice* device = GetDevice();
  device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
  device->SetRenderState(D3DRS_LIGHTING, 0);
  Bind(texture);
  Matrix shift;
  shift[2][0] = offset.x;
  shift[2][1] = offset.y;
  device->SetTransform(D3DTS_TEXTURE0, shift);
  device->DrawIndexedPrimitive(D3DPT_TRIANGLEFAN, 0, 0, 6, 0, 4);
  device->SetRenderState(D3DRS_LIGHTING, 1);
  device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
}

int InitShadow() {
  auto& shadow = Shared().shadow;
  shadow = std::make_unique<OnePolygon>();
  shadow->color = 0;  // black: the shadow's colour is texture x diffuse
  if (!shadow->CreateQuad()) {
    ReportError("ポリゴンの作成に失敗 -Shadow-");
    return 0;
  }
  return 1;
}

void ReleaseShadow() {
  Shared().shadow.reset();
}

namespace {
constexpr float kShadowLift = 0.01f;
}  // namespace

void DrawShadow(float roll, const Vec3& position, const Vec3& size) {
  OnePolygon* shadow = Shared().shadow.get();
  if (!shadow) return;
  GraphicsDevice* device = GetDevice();
  const Quaternion rotation = QuaternionRotationYawPitchRoll(0, (roll + 90) * kDegToRad, 0);
  const Vec3 scaling{size.x / 2, (size.x + size.z) / 4, size.z / 2};
  // Shadows lie on block faces; a hair above the face (towards the owner's
  // side) keeps the two from fighting over the same depth.
  const Vec3 lifted{position.x, position.y + kShadowLift * dmath::Cos(roll * kDegToRad),
                    position.z};
  device->SetTransform(
      D3DTS_WORLD, MatrixTransformation(nullptr, nullptr, &scaling, nullptr, &rotation, &lifted));
  device->SetRenderState(D3DRS_TEXTUREFACTOR, 0x33000000);
  device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TFACTOR);
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  // A shadow is a soft decal: it leaves the depth buffer alone, so a block
  // drawn after it still shows (darkened only where it was drawn first).
  device->SetRenderState(D3DRS_ZWRITEENABLE, 0);
  shadow->Draw(GetSharedTexture(kTexShadow));
  device->SetRenderState(D3DRS_ZWRITEENABLE, 1);
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_ADD);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
}

int InitEffect() {
  auto& effect = Shared().effect;
  effect = std::make_unique<OnePolygon>();
  effect->color = 0;  // the mark adds the texture to the vertex colour
  if (!effect->CreateQuad()) {
    ReportError("ポリゴンの作成に失敗 -Effect-");
    return 0;
  }
  return 1;
}

void ReleaseEffect() {
  Shared().effect.reset();
}

void SetEffectViewpoint(const Vec3& position) {
  CurrentView().viewpoint = position;
}

Matrix BillboardMatrix(const Vec3& p) {
  Matrix look = MatrixLookAtLH(CurrentView().viewpoint, p, {0, 1, 0});
  look[3][0] = look[3][1] = look[3][2] = 0;
  Matrix inverse;
  if (!MatrixInverse(&inverse, nullptr, look)) inverse = Matrix::Identity();
  return MatrixScaling(0.5f, 0.5f, 0.5f) * inverse * MatrixTranslation(p.x, p.y, p.z);
}

Matrix StunEffect::EffectOrbitMatrix(int upsideDown, float height, const Vec3& position) {
  const float t = angle * kDegToRad;
  const float y = upsideDown ? position.y - height - 0.5f : position.y + height + 0.5f;
  orbit = MatrixTranslation(position.x + dmath::Cos(t), y, position.z + dmath::Sin(t));
  angle += 5;
  return orbit;
}

void StunEffect::DrawStunEffect(int variant, float height, const Vec3& position) {
  OnePolygon* effect = Shared().effect.get();
  if (hidden || !effect) return;
  lastPoint = position;
  GraphicsDevice* device = GetDevice();
  const Vec3 p{position.x, position.y + height + 0.5f, position.z};
  device->SetTransform(D3DTS_WORLD, BillboardMatrix(p));
  device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_ADD);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  effect->Draw(GetSharedTexture(variant != 0 ? kTexStunRotation : kTexStun));
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
}
