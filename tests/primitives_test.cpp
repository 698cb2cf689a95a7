// The flat geometry: the quad and the soft-rimmed fan, the texture scroll that
// leaves no transform behind, the shadow turned over for the underside, the
// billboard that faces the viewpoint and the stun star's orbit.
#include "render/primitives.h"

#include <gtest/gtest.h>

#include "platform/graphics.h"
#include "render/preload.h"
#include "tests/test_support.h"

TEST(Primitives, TheFanKeepsItsCentreAndFadesItsRim) {
  HeadlessServices services;
  OnePolygon fan;
  fan.color = 0xFF8090A0;
  ASSERT_EQ(fan.CreateFan(0), 1);
  GraphicsDevice* d = GetDevice();
  d->BeginScene();
  fan.DrawScrolled(nullptr, {0.25f, 0});
  EXPECT_EQ(d->GetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS), D3DTTFF_DISABLE);
  EXPECT_FLOAT_EQ(d->GetTransform(D3DTS_TEXTURE0)[2][0], 0.25f);
  EXPECT_EQ(d->GetRenderState(D3DRS_LIGHTING), 1u);
  d->EndScene();
  d->Present();
  EXPECT_EQ(d->LastFrameStats().primitives, 4);
  EXPECT_EQ(d->LastFrameStats().errors, 0);
}

TEST(Primitives, ShadowsOfUndersideOwnersAreTurnedOver) {
  // Roll 180 gives pitch 270: the quad's front (-z) faces down.
  const Quaternion q = QuaternionRotationYawPitchRoll(0, (180 + 90) * kDegToRad, 0);
  const Vec3 front = Vec3TransformNormal({0, 0, -1}, MatrixRotationQuaternion(q));
  EXPECT_NEAR(front.y, -1.0f, 1e-5f);
  const Quaternion upright = QuaternionRotationYawPitchRoll(0, 90 * kDegToRad, 0);
  EXPECT_NEAR(Vec3TransformNormal({0, 0, -1}, MatrixRotationQuaternion(upright)).y, 1.0f, 1e-5f);
  HeadlessServices services;
  ASSERT_EQ(InitShadow(), 1);
  GraphicsDevice* d = GetDevice();
  d->BeginScene();
  DrawShadow(180, {1, 2, 3}, {2, 1, 2});
  const Matrix w = d->GetTransform(D3DTS_WORLD);
  EXPECT_FLOAT_EQ(w[3][1], 1.99f);  // lifted a hair towards the owner below
  EXPECT_EQ(d->GetRenderState(D3DRS_ALPHABLENDENABLE), 0u);
  EXPECT_EQ(d->GetTextureStageState(0, D3DTSS_ALPHAOP), static_cast<uint32_t>(D3DTOP_ADD));
  d->EndScene();
  ReleaseShadow();
}

TEST(Primitives, BillboardsFaceTheViewpointAtHalfSize) {
  SetEffectViewpoint({0, 0, -10});
  const Matrix m = BillboardMatrix({0, 0, 0});
  // The quad's corner (1, 1, 0) lands half a unit right and up, facing the eye.
  const Vec3 corner = Vec3TransformCoord({1, 1, 0}, m);
  EXPECT_NEAR(corner.x, 0.5f, 1e-5f);
  EXPECT_NEAR(corner.y, 0.5f, 1e-5f);
  EXPECT_NEAR(corner.z, 0.0f, 1e-5f);
  SetEffectViewpoint({10, 0, 0});
  const Vec3 side = Vec3TransformNormal({0, 0, -1}, BillboardMatrix({0, 0, 0}));
  EXPECT_NEAR(side.x, 0.5f, 1e-5f);  // the front (-z) turned to the viewer at +x
}

TEST(Primitives, StunStarsOrbitFiveDegreesPerStep) {
  StunEffect star;
  const Matrix a = star.EffectOrbitMatrix(0, 3, {10, 1, 5});
  EXPECT_FLOAT_EQ(a[3][0], 11.0f);
  EXPECT_FLOAT_EQ(a[3][1], 4.5f);
  EXPECT_FLOAT_EQ(star.angle, 5.0f);
  star.angle = 90;
  const Matrix b = star.EffectOrbitMatrix(1, 3, {10, 1, 5});
  EXPECT_NEAR(b[3][2], 6.0f, 1e-5f);
  EXPECT_FLOAT_EQ(b[3][1], -2.5f);  // below the head of an upside-down boss
}

TEST(Primitives, AShadowOnlyDarkensTheGroundSoftly) {
  // Drawn for real: a shadow seen from above over a white ground keeps at
  // least four fifths of the light at its darkest point.
  HeadlessServices services(false, true, true);
  ScopedWorkingDirectory run(RunDirectory());
  ASSERT_EQ(LoadSharedAssets(), 1);
  ASSERT_EQ(InitShadow(), 1);
  GraphicsDevice* d = GetDevice();
  d->SetTransform(D3DTS_VIEW, MatrixLookAtLH({0, 10, 0}, {0, 0, 0}, {0, 0, 1}));
  d->SetTransform(D3DTS_PROJECTION,
                  MatrixPerspectiveFovLH(60 * kDegToRad, 1280.0f / 720, 0.1f, 500));
  d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  d->BeginScene();
  d->Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFFFFFF, 1.0f, 0);
  DrawShadow(0, {0, 0, 0}, {4, 4, 4});
  d->EndScene();
  d->Present();
  int w = 0, h = 0;
  std::vector<uint32_t> pixels;
  ASSERT_TRUE(d->ReadLastFrame(&w, &h, &pixels));
  const uint32_t centre = pixels[(h / 2) * w + w / 2];
  EXPECT_GE(static_cast<int>(centre & 0xFF), 200) << std::hex << centre;
  EXPECT_LE(static_cast<int>(centre & 0xFF), 215) << std::hex << centre;
  ReleaseShadow();
  ReleaseSharedAssets();
}
