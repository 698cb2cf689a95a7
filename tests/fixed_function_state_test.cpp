// Direct3D's fixed-function states read as the OpenGL device's shaders take
// them, checked without a graphics context.
#include "platform/sdl_gl/fixed_function_state.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(FixedFunctionState, OnlyEnabledLightsOfAKnownKindReachTheShaderInIndexOrder) {
  std::array<uint32_t, kRenderStateCount> rs{};
  std::array<D3DLIGHT9, kMaxLights> lights{};
  std::array<bool, kMaxLights> enabled{};
  lights[1].Type = D3DLIGHT_SPOT;
  lights[1].Theta = kPi / 2;
  lights[3].Type = D3DLIGHT_DIRECTIONAL;
  lights[3].Diffuse = {0.25f, 0.5f, 0.75f, 1};
  lights[5].Type = D3DLIGHT_POINT;                // not enabled
  lights[6].Type = static_cast<D3DLIGHTTYPE>(7);  // enabled, but of no kind the shader knows
  enabled[1] = enabled[3] = enabled[6] = true;
  // Lighting off: no lights at all.
  EXPECT_EQ(GatherLights(rs.data(), lights, enabled).count, 0);
  rs[D3DRS_LIGHTING] = 1;
  const LightSet set = GatherLights(rs.data(), lights, enabled);
  ASSERT_EQ(set.count, 2);
  EXPECT_EQ(set.type[0], D3DLIGHT_SPOT);
  EXPECT_NEAR(set.spot[0][1], std::cos(kPi / 4), 1e-6f) << "the cosine of half the inner cone";
  EXPECT_EQ(set.type[1], D3DLIGHT_DIRECTIONAL);
  EXPECT_FLOAT_EQ(set.diffuse[1][1], 0.5f);
  // The same lights give the same bytes, so merged draws compare them.
  const LightSet again = GatherLights(rs.data(), lights, enabled);
  EXPECT_EQ(std::memcmp(&set, &again, sizeof set), 0);

  const VertexVariant v =
      VertexVariantOf(rs.data(), std::array<uint32_t, kTextureStageStateCount>{}.data(), true, set);
  EXPECT_EQ(v.lightCount, 2);
  EXPECT_EQ(v.lightType[1], D3DLIGHT_DIRECTIONAL);
  EXPECT_EQ(v.hasColor, 1);
}

TEST(FixedFunctionState, StageOneTintsOnlyWhenItMultipliesTheColourByTheFactor) {
  std::array<uint32_t, kRenderStateCount> rs{};
  std::array<uint32_t, kTextureStageStateCount> stage0{}, stage1{};
  stage1[D3DTSS_COLOROP] = D3DTOP_MODULATE;
  stage1[D3DTSS_COLORARG1] = D3DTA_TFACTOR;
  stage1[D3DTSS_COLORARG2] = D3DTA_CURRENT;
  EXPECT_EQ(FragmentVariantOf(rs.data(), stage0.data(), stage1.data(), true).tintByFactor, 1);
  std::swap(stage1[D3DTSS_COLORARG1], stage1[D3DTSS_COLORARG2]);
  EXPECT_EQ(FragmentVariantOf(rs.data(), stage0.data(), stage1.data(), true).tintByFactor, 1);
  stage1[D3DTSS_COLORARG2] = D3DTA_TEXTURE;
  EXPECT_EQ(FragmentVariantOf(rs.data(), stage0.data(), stage1.data(), true).tintByFactor, 0);
  stage1[D3DTSS_COLORARG2] = D3DTA_TFACTOR;
  stage1[D3DTSS_COLOROP] = D3DTOP_DISABLE;
  EXPECT_EQ(FragmentVariantOf(rs.data(), stage0.data(), stage1.data(), true).tintByFactor, 0);
  // Specular needs lighting; the alpha function counts only with the test on.
  rs[D3DRS_SPECULARENABLE] = 1;
  rs[D3DRS_ALPHAFUNC] = D3DCMP_GREATER;
  FragmentVariant f = FragmentVariantOf(rs.data(), stage0.data(), stage1.data(), false);
  EXPECT_EQ(f.specular, 0);
  EXPECT_EQ(f.alphaFunc, 0);
  rs[D3DRS_LIGHTING] = 1;
  rs[D3DRS_ALPHATESTENABLE] = 1;
  f = FragmentVariantOf(rs.data(), stage0.data(), stage1.data(), false);
  EXPECT_EQ(f.specular, 1);
  EXPECT_EQ(f.alphaFunc, static_cast<int>(D3DCMP_GREATER));
  EXPECT_EQ(f.hasTexture, 0);
}

}  // namespace
