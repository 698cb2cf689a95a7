// What keeps the picture readable: the text windows' colours against their
// cream, and the see-through models between the camera and the player.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/png_image.h"
#include "render/preload.h"
#include "render/text_drawing.h"
#include "render/view_clearance.h"
#include "tests/test_support.h"
#include "tests/view_probe.h"
#include "world/camera.h"
#include "world/game_state.h"
#include "world/object_base.h"
#include "world/run_state.h"
#include "world/walls.h"

TEST(TextWindow, EverySpeakersColourReadsAtFourAndAHalfToOneOnTheWindow) {
  for (int mode = 0; mode <= 2; ++mode) {
    for (int speaker = 0; speaker <= 3; ++speaker) {
      const D3DCOLOR design = ScriptTextColor(speaker, mode);
      const D3DCOLOR drawn = ScriptTextDrawColor(speaker, mode);
      if (design == 0) {
        EXPECT_EQ(drawn, 0u);  // a pair that draws nothing stays so
        continue;
      }
      EXPECT_GE(ContrastRatio(drawn, kTextWindowColor), 4.5) << speaker << "/" << mode;
      // The hue is kept: the channels keep their order.
      const int r = (design >> 16) & 0xFF, g = (design >> 8) & 0xFF, b = design & 0xFF;
      const int r2 = (drawn >> 16) & 0xFF, g2 = (drawn >> 8) & 0xFF, b2 = drawn & 0xFF;
      EXPECT_EQ(r >= g, r2 >= g2);
      EXPECT_EQ(g >= b, g2 >= b2);
    }
  }
  // The narration was grey on cream, about 1.6 to 1.
  EXPECT_LT(ContrastRatio(ScriptTextColor(3, 0), kTextWindowColor), 2.0);
  // A colour that already reads is left alone.
  EXPECT_EQ(ReadableOn(0xFF40409E, kTextWindowColor, 4.5), 0xFF40409Eu);
  // On a dark background it lightens instead.
  const D3DCOLOR light = ReadableOn(0xFF404060, 0xFF101018, 4.5);
  EXPECT_GE(ContrastRatio(light, 0xFF101018), 4.5);
}

TEST(TextWindow, TheWindowsCreamIsTheOneTheContrastIsMeasuredOn) {
  Image window;
  std::string why;
  ASSERT_TRUE(LoadPng(RunDirectory() + "/Resource_Orvelune/Event/Text_Flame.png", &window, &why))
      << why;
  // The middle of the window, where the text goes.
  const uint32_t middle = window.argb[(window.height / 2) * window.width + window.width / 2];
  EXPECT_EQ(middle & 0xFFFFFF, kTextWindowColor & 0xFFFFFF);
}

namespace {

// A wall placed at a point, as the stage loader would place a plain wall.
void DrawWallAt(float x, float y, float z) {
  RunState run;
  Wall wall(run, 0);
  wall.position = {x, y, z};
  wall.rotation = {0, 0, 0};
  wall.UpdateMatrix();
  wall.Draw(run);
}

}  // namespace

TEST(SeeThrough, OnlyAModelBetweenTheEyeAndThePlayerIsDrawnSeeThroughAfterTheRest) {
  HeadlessOptions options;
  options.renderPictures = true;
  ViewProbeDevice* probe = nullptr;
  options.pictureDevice = [&](std::string*) { return probe = new ViewProbeDevice; };
  ScopedHeadlessBackend backend(options);
  ASSERT_EQ(InitDirect3D(nullptr, DisplayMode::Windowed), 1);
  ScopedWorkingDirectory run(RunDirectory());
  ASSERT_EQ(LoadSharedAssets(), 1);
  view_clearance::Reset();
  GraphicsDevice* d = GetDevice();

  // The player stands at x 10 facing +x; the camera is 6 behind and 3 up.
  const Vec3 eye{4, 3.5f, -4}, lookAt{10, 2.3f, -4}, player{10, 0.5f, -4};
  auto frame = [&](const std::function<void()>& draw) {
    d->BeginScene();
    const Vec3 drawn = view_clearance::BeginWorld(eye, lookAt, player, 2, 0);
    draw();
    view_clearance::EndWorld();
    d->EndScene();
    d->Present();
    return drawn;
  };
  const int64_t blendedBefore = probe->BlendedDraws();
  frame([] {
    DrawWallAt(7, 1.5f, -4);   // between the eye and the player
    DrawWallAt(14, 1.5f, -4);  // beyond the player
    DrawWallAt(7, 1.5f, 6);    // off to the side
  });
  std::vector<float> opaqueX;
  for (const auto& m : probe->Models()) opaqueX.push_back(m.world[3][0]);
  EXPECT_EQ(std::count(opaqueX.begin(), opaqueX.end(), 7.0f), 1) << "only the wall to the side";
  EXPECT_EQ(std::count(opaqueX.begin(), opaqueX.end(), 14.0f), 1);
  EXPECT_GT(probe->BlendedDraws(), blendedBefore) << "the wall in the way is drawn, see-through";

  // A wall around the eye: the next frame is drawn from an eye pulled in
  // towards the look-at, out of the wall's box, on the same line.
  // (The wall lies along x at yaw 0: 6 long, from x 1 to 7.)
  EXPECT_EQ(frame([] { DrawWallAt(4, 3.5f, -4); }).x, eye.x) << "nothing seen before it";
  const Vec3 drawn = frame([] { DrawWallAt(4, 3.5f, -4); });
  EXPECT_GT(drawn.x, 7.0f + 0.3f - 0.01f) << "outside the wall and its margin";
  EXPECT_LT(drawn.x, 10.0f);
  const Vec3 along = Vec3Normalize(lookAt - eye), got = Vec3Normalize(drawn - eye);
  EXPECT_NEAR(Vec3Dot(along, got), 1.0f, 1e-4f);
  ReleaseSharedAssets();
  ReleaseDirect3D();
}

TEST(SeeThrough, TheEyeIsPulledInOutOfEveryBoxButNeverToTheLookAt) {
  using view_clearance::ClearEye;
  using view_clearance::PlacedBox;
  auto box = [](float x, float y, float z, float half) {
    PlacedBox b;
    b.inverse = MatrixTranslation(-x, -y, -z);
    b.lo = {-half, -half, -half};
    b.hi = {half, half, half};
    return b;
  };
  const Vec3 eye{0, 0, 0}, lookAt{10, 0, 0};
  // Two boxes one after the other along the ray: out of both.
  const PlacedBox chain[] = {box(0, 0, 0, 1), box(2, 0, 0, 1)};
  EXPECT_NEAR(ClearEye(eye, lookAt, chain, 2).x, 3.3f, 0.01f);
  // A box off the ray is no reason to move.
  const PlacedBox aside[] = {box(0, 5, 0, 1)};
  EXPECT_EQ(ClearEye(eye, lookAt, aside, 1).x, 0.0f);
  // A box that holds the look-at (the player inside a boss) is left alone.
  const PlacedBox holding[] = {box(5, 0, 0, 6)};
  EXPECT_EQ(ClearEye(eye, lookAt, holding, 1).x, 0.0f);
  // Never past most of the way to the look-at.
  const PlacedBox wide[] = {box(4, 0, 0, 4.6f)};
  EXPECT_LE(ClearEye(eye, lookAt, wide, 1).x, 8.5f + 1e-4f);
}
