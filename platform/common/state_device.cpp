#include "platform/common/state_device.h"

#include <algorithm>

void* GpuBuffer::Lock(uint32_t offset, uint32_t size) {
  if (locked_ || offset > bytes_.size()) return nullptr;
  if (size == 0) size = static_cast<uint32_t>(bytes_.size()) - offset;
  if (offset + static_cast<uint64_t>(size) > bytes_.size()) return nullptr;
  locked_ = true;
  return bytes_.data() + offset;
}

void GpuBuffer::Unlock() {
  if (!locked_) return;
  locked_ = false;
  ++version_;
}

void IndexBuffer::IndexRange(uint16_t* lowest, uint16_t* highest) const {
  if (rangeVersion_ != Version()) {
    const auto* idx = reinterpret_cast<const uint16_t*>(Data());
    const size_t count = Size() / 2;
    lowest_ = count ? *std::min_element(idx, idx + count) : 0;
    highest_ = count ? *std::max_element(idx, idx + count) : 0;
    rangeVersion_ = Version();
  }
  *lowest = lowest_;
  *highest = highest_;
}

VertexDeclaration::VertexDeclaration(const D3DVERTEXELEMENT9* elements) {
  for (const D3DVERTEXELEMENT9* e = elements; e->Stream != 0xFF; ++e) elements_.push_back(*e);
}

const D3DVERTEXELEMENT9* VertexDeclaration::Find(uint8_t usage) const {
  for (const auto& e : elements_)
    if (e.Usage == usage && e.UsageIndex == 0) return &e;
  return nullptr;
}

uint32_t IndexCountForPrimitives(D3DPRIMITIVETYPE type, uint32_t primitiveCount) {
  switch (type) {
    case D3DPT_TRIANGLELIST:
      return primitiveCount * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
      return primitiveCount + 2;
  }
  return 0;
}

namespace {

uint32_t ElementSize(uint8_t type) {
  switch (type) {
    case D3DDECLTYPE_FLOAT2:
      return 8;
    case D3DDECLTYPE_FLOAT3:
      return 12;
    case D3DDECLTYPE_D3DCOLOR:
      return 4;
  }
  return 0;
}

}  // namespace

StateDevice::StateDevice() {
  textureWatch_->gone = [this](const Texture* t) { TextureGone(t); };
  // Direct3D 9's defaults for a device with an automatic depth buffer.
  renderStates_[D3DRS_ZENABLE] = 1;
  renderStates_[D3DRS_ZWRITEENABLE] = 1;
  renderStates_[D3DRS_ALPHATESTENABLE] = 0;
  renderStates_[D3DRS_SRCBLEND] = D3DBLEND_ONE;
  renderStates_[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
  renderStates_[D3DRS_CULLMODE] = D3DCULL_CCW;
  renderStates_[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
  renderStates_[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
  renderStates_[D3DRS_ALPHABLENDENABLE] = 0;
  renderStates_[D3DRS_SPECULARENABLE] = 0;
  renderStates_[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFF;
  renderStates_[D3DRS_LIGHTING] = 1;
  renderStates_[D3DRS_AMBIENT] = 0;
  renderStates_[D3DRS_COLORVERTEX] = 1;
  renderStates_[D3DRS_NORMALIZENORMALS] = 0;
  renderStates_[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
  for (uint32_t s = 0; s < kTextureStageCount; ++s) {
    auto& st = stageStates_[s];
    st[D3DTSS_COLOROP] = s == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    st[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    st[D3DTSS_COLORARG2] = D3DTA_CURRENT;
    st[D3DTSS_ALPHAOP] = s == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    st[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    st[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    st[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_DISABLE;
    samplerStates_[s][D3DSAMP_MAGFILTER] = D3DTEXF_LINEAR;
    samplerStates_[s][D3DSAMP_MINFILTER] = D3DTEXF_LINEAR;
  }
  for (auto& l : lights_) {
    l.Type = D3DLIGHT_DIRECTIONAL;
    l.Diffuse = {1, 1, 1, 0};
    l.Direction = {0, 0, 1};
  }
}

HRESULT StateDevice::Refuse(const std::string& why) {
  ++stats_.errors;
  if (errors_.size() < 1000) errors_.push_back(why);
  return D3DERR_INVALIDCALL;
}

HRESULT StateDevice::SetTransform(D3DTRANSFORMSTATETYPE which, const Matrix& m) {
  switch (which) {
    case D3DTS_WORLD:
      world_ = m;
      break;
    case D3DTS_VIEW:
      view_ = m;
      break;
    case D3DTS_PROJECTION:
      projection_ = m;
      break;
    case D3DTS_TEXTURE0:
      texture0_ = m;
      break;
    default:
      return Refuse("SetTransform: unsupported transform " + std::to_string(which));
  }
  ++stats_.transformChanges;
  return D3D_OK;
}

Matrix StateDevice::GetTransform(D3DTRANSFORMSTATETYPE which) const {
  switch (which) {
    case D3DTS_WORLD:
      return world_;
    case D3DTS_VIEW:
      return view_;
    case D3DTS_PROJECTION:
      return projection_;
    case D3DTS_TEXTURE0:
      return texture0_;
  }
  return Matrix::Identity();
}

HRESULT StateDevice::SetRenderState(D3DRENDERSTATETYPE state, uint32_t value) {
  if (state >= kRenderStateCount) return Refuse("SetRenderState: state out of range");
  if (state == D3DRS_CULLMODE && (value < D3DCULL_NONE || value > D3DCULL_CCW))
    return Refuse("SetRenderState: bad cull mode");
  if ((state == D3DRS_SRCBLEND || state == D3DRS_DESTBLEND) &&
      (value < D3DBLEND_ZERO || value > D3DBLEND_INVDESTCOLOR))
    return Refuse("SetRenderState: bad blend factor");
  renderStates_[state] = value;
  ++stats_.renderStateChanges;
  return D3D_OK;
}

uint32_t StateDevice::GetRenderState(D3DRENDERSTATETYPE state) const {
  return state < kRenderStateCount ? renderStates_[state] : 0;
}

HRESULT StateDevice::SetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type,
                                          uint32_t value) {
  if (stage >= kTextureStageCount || type >= kTextureStageStateCount)
    return Refuse("SetTextureStageState: stage or state out of range");
  if ((type == D3DTSS_COLOROP || type == D3DTSS_ALPHAOP) &&
      (value < D3DTOP_DISABLE || value > D3DTOP_ADD))
    return Refuse("SetTextureStageState: unsupported operation " + std::to_string(value));
  if ((type == D3DTSS_COLORARG1 || type == D3DTSS_COLORARG2 || type == D3DTSS_ALPHAARG1 ||
       type == D3DTSS_ALPHAARG2) &&
      (value & 0xF) > D3DTA_TFACTOR)
    return Refuse("SetTextureStageState: unsupported argument " + std::to_string(value));
  stageStates_[stage][type] = value;
  ++stats_.textureStageStateChanges;
  return D3D_OK;
}

uint32_t StateDevice::GetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type) const {
  if (stage >= kTextureStageCount || type >= kTextureStageStateCount) return 0;
  return stageStates_[stage][type];
}

HRESULT StateDevice::SetSamplerState(uint32_t stage, D3DSAMPLERSTATETYPE type, uint32_t value) {
  if (stage >= kTextureStageCount || (type != D3DSAMP_MAGFILTER && type != D3DSAMP_MINFILTER))
    return Refuse("SetSamplerState: stage or state out of range");
  if (value != D3DTEXF_POINT && value != D3DTEXF_LINEAR)
    return Refuse("SetSamplerState: unsupported filter " + std::to_string(value));
  samplerStates_[stage][type] = value;
  return D3D_OK;
}

uint32_t StateDevice::GetSamplerState(uint32_t stage, D3DSAMPLERSTATETYPE type) const {
  if (stage >= kTextureStageCount || type >= kSamplerStateCount) return 0;
  return samplerStates_[stage][type];
}

HRESULT StateDevice::SetMaterial(const D3DMATERIAL9& material) {
  material_ = material;
  return D3D_OK;
}

HRESULT StateDevice::SetLight(uint32_t index, const D3DLIGHT9& light) {
  if (index >= kMaxLights) return Refuse("SetLight: index out of range");
  lights_[index] = light;
  return D3D_OK;
}

D3DLIGHT9 StateDevice::GetLight(uint32_t index) const {
  return index < kMaxLights ? lights_[index] : D3DLIGHT9{};
}

HRESULT StateDevice::LightEnable(uint32_t index, bool enable) {
  if (index >= kMaxLights) return Refuse("LightEnable: index out of range");
  lightEnabled_[index] = enable;
  return D3D_OK;
}

bool StateDevice::GetLightEnable(uint32_t index) const {
  return index < kMaxLights && lightEnabled_[index];
}

HRESULT StateDevice::SetTexture(uint32_t stage, Texture* texture) {
  if (stage >= kTextureStageCount) return Refuse("SetTexture: stage out of range");
  if (textures_[stage] != texture) ++stats_.textureBinds;
  textures_[stage] = texture;
  return D3D_OK;
}

StateDevice::~StateDevice() {
  textureWatch_->gone = nullptr;
}

void StateDevice::TextureGone(const Texture* texture) {
  for (Texture*& set : textures_)
    if (set == texture) set = nullptr;
}

Texture* StateDevice::GetTexture(uint32_t stage) const {
  return stage < kTextureStageCount ? textures_[stage] : nullptr;
}

HRESULT StateDevice::SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t offset,
                                     uint32_t stride) {
  if (stream != 0) return Refuse("SetStreamSource: only stream 0 is supported");
  stream_ = buffer;
  streamOffset_ = offset;
  streamStride_ = stride;
  return D3D_OK;
}

HRESULT StateDevice::SetVertexDeclaration(VertexDeclaration* declaration) {
  declaration_ = declaration;
  return D3D_OK;
}

HRESULT StateDevice::SetIndices(IndexBuffer* indices) {
  indices_ = indices;
  return D3D_OK;
}

HRESULT StateDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, int32_t baseVertexIndex,
                                          uint32_t /*minVertexIndex*/, uint32_t /*numVertices*/,
                                          uint32_t startIndex, uint32_t primitiveCount) {
  if (!inScene_) return Refuse("DrawIndexedPrimitive outside BeginScene/EndScene");
  if (type != D3DPT_TRIANGLELIST && type != D3DPT_TRIANGLESTRIP && type != D3DPT_TRIANGLEFAN)
    return Refuse("DrawIndexedPrimitive: unsupported primitive type");
  if (!declaration_) return Refuse("DrawIndexedPrimitive without a vertex declaration");
  if (!stream_ || streamStride_ == 0) return Refuse("DrawIndexedPrimitive without a stream");
  if (!indices_) return Refuse("DrawIndexedPrimitive without indices");
  if (stream_->IsLocked() || indices_->IsLocked())
    return Refuse("DrawIndexedPrimitive with a locked buffer");
  if (primitiveCount == 0) return D3D_OK;
  const D3DVERTEXELEMENT9* pos = declaration_->Find(D3DDECLUSAGE_POSITION);
  if (!pos || pos->Type != D3DDECLTYPE_FLOAT3)
    return Refuse("DrawIndexedPrimitive: the declaration has no float3 position");
  uint32_t vertexSpan = 0;
  for (const auto& e : declaration_->Elements())
    vertexSpan = std::max(vertexSpan, e.Offset + ElementSize(e.Type));
  if (vertexSpan > streamStride_)
    return Refuse("DrawIndexedPrimitive: declaration wider than the stride");

  const uint32_t indexCount = IndexCountForPrimitives(type, primitiveCount);
  const uint32_t indexTotal = indices_->Size() / 2;
  if (startIndex > indexTotal || indexCount > indexTotal - startIndex)
    return Refuse("DrawIndexedPrimitive: index range beyond the index buffer");
  const uint32_t available = stream_->Size() > streamOffset_ ? stream_->Size() - streamOffset_ : 0;
  const uint32_t vertexTotal =
      available >= vertexSpan ? (available - vertexSpan) / streamStride_ + 1 : 0;
  uint16_t lowest = 0, highest = 0;
  indices_->IndexRange(&lowest, &highest);
  const bool allFit = static_cast<int64_t>(lowest) + baseVertexIndex >= 0 &&
                      static_cast<int64_t>(highest) + baseVertexIndex < vertexTotal;
  const uint16_t* idx = reinterpret_cast<const uint16_t*>(indices_->Data()) + startIndex;
  for (uint32_t i = 0; !allFit && i < indexCount; ++i) {
    const int64_t v = static_cast<int64_t>(idx[i]) + baseVertexIndex;
    if (v < 0 || v >= vertexTotal)
      return Refuse("DrawIndexedPrimitive: index " + std::to_string(v) + " beyond " +
                    std::to_string(vertexTotal) + " vertices");
  }
  ++stats_.drawCalls;
  stats_.primitives += static_cast<int>(primitiveCount);
  DoDraw({type, baseVertexIndex, startIndex, indexCount, primitiveCount});
  return D3D_OK;
}

HRESULT StateDevice::Clear(uint32_t flags, D3DCOLOR color, float z, uint32_t /*stencil*/) {
  ++stats_.clears;
  DoClear(flags, color, z);
  return D3D_OK;
}

HRESULT StateDevice::BeginScene() {
  if (inScene_) return Refuse("BeginScene inside a scene");
  inScene_ = true;
  return D3D_OK;
}

HRESULT StateDevice::EndScene() {
  if (!inScene_) return Refuse("EndScene without BeginScene");
  inScene_ = false;
  DoEndScene();
  return D3D_OK;
}

HRESULT StateDevice::Present() {
  if (inScene_) Refuse("Present inside a scene");
  lastStats_ = stats_;
  stats_ = FrameStats{};
  ++framesPresented_;
  return DoPresent();
}
