#include "platform/sdl_gl/fixed_function_state.h"

#include <algorithm>
#include <cmath>

LightSet GatherLights(const uint32_t* rs, const std::array<D3DLIGHT9, kMaxLights>& lights,
                      const std::array<bool, kMaxLights>& enabled) {
  LightSet set{};  // zeroed, so sets compare as bytes
  if (!rs[D3DRS_LIGHTING]) return set;
  for (uint32_t i = 0; i < kMaxLights; ++i) {
    const D3DLIGHT9& l = lights[i];
    if (!enabled[i] || l.Type < D3DLIGHT_POINT || l.Type > D3DLIGHT_DIRECTIONAL) continue;
    const int n = set.count++;
    set.type[n] = l.Type;
    std::copy_n(&l.Diffuse.r, 4, set.diffuse[n]);
    std::copy_n(&l.Specular.r, 4, set.specular[n]);
    std::copy_n(&l.Ambient.r, 4, set.ambient[n]);
    set.position[n][0] = l.Position.x;
    set.position[n][1] = l.Position.y;
    set.position[n][2] = l.Position.z;
    set.direction[n][0] = l.Direction.x;
    set.direction[n][1] = l.Direction.y;
    set.direction[n][2] = l.Direction.z;
    set.attenuation[n][0] = l.Range;
    set.attenuation[n][1] = l.Attenuation0;
    set.attenuation[n][2] = l.Attenuation1;
    set.attenuation[n][3] = l.Attenuation2;
    set.spot[n][0] = l.Falloff;
    set.spot[n][1] = std::cos(l.Theta / 2);
    set.spot[n][2] = std::cos(l.Phi / 2);
  }
  return set;
}

VertexVariant VertexVariantOf(const uint32_t* rs, const uint32_t* stage0, bool hasColor,
                              const LightSet& lights) {
  VertexVariant v;
  v.hasColor = hasColor ? 1 : 0;
  v.lighting = rs[D3DRS_LIGHTING] ? 1 : 0;
  v.texTransform = stage0[D3DTSS_TEXTURETRANSFORMFLAGS] != D3DTTFF_DISABLE ? 1 : 0;
  if (v.lighting) {
    v.diffuseFromVertex =
        rs[D3DRS_COLORVERTEX] && rs[D3DRS_DIFFUSEMATERIALSOURCE] == D3DMCS_COLOR1 ? 1 : 0;
    v.lightCount = lights.count;
    std::copy_n(lights.type, kMaxLights, v.lightType);
  }
  return v;
}

FragmentVariant FragmentVariantOf(const uint32_t* rs, const uint32_t* st, const uint32_t* st1,
                                  bool hasTexture) {
  FragmentVariant v;
  v.hasTexture = hasTexture ? 1 : 0;
  v.colorOp = static_cast<int>(st[D3DTSS_COLOROP]);
  v.colorArg1 = static_cast<int>(st[D3DTSS_COLORARG1]);
  v.colorArg2 = static_cast<int>(st[D3DTSS_COLORARG2]);
  v.alphaOp = static_cast<int>(st[D3DTSS_ALPHAOP]);
  v.alphaArg1 = static_cast<int>(st[D3DTSS_ALPHAARG1]);
  v.alphaArg2 = static_cast<int>(st[D3DTSS_ALPHAARG2]);
  const bool currentAndFactor =
      (st1[D3DTSS_COLORARG1] == D3DTA_CURRENT && st1[D3DTSS_COLORARG2] == D3DTA_TFACTOR) ||
      (st1[D3DTSS_COLORARG1] == D3DTA_TFACTOR && st1[D3DTSS_COLORARG2] == D3DTA_CURRENT);
  v.tintByFactor = st1[D3DTSS_COLOROP] == D3DTOP_MODULATE && currentAndFactor ? 1 : 0;
  v.specular = rs[D3DRS_SPECULARENABLE] && rs[D3DRS_LIGHTING] ? 1 : 0;
  v.alphaTest = rs[D3DRS_ALPHATESTENABLE] ? 1 : 0;
  v.alphaFunc = v.alphaTest ? static_cast<int>(rs[D3DRS_ALPHAFUNC]) : 0;
  return v;
}

RasterValues RasterOf(const uint32_t* rs) {
  return {rs[D3DRS_ZENABLE],          rs[D3DRS_ZFUNC],    rs[D3DRS_ZWRITEENABLE],
          rs[D3DRS_ALPHABLENDENABLE], rs[D3DRS_SRCBLEND], rs[D3DRS_DESTBLEND],
          rs[D3DRS_CULLMODE]};
}

void ColorToFloats(D3DCOLOR c, float out[4]) {
  out[0] = ((c >> 16) & 0xFF) / 255.0f;
  out[1] = ((c >> 8) & 0xFF) / 255.0f;
  out[2] = (c & 0xFF) / 255.0f;
  out[3] = ((c >> 24) & 0xFF) / 255.0f;
}
