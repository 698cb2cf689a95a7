// What keeps the picture readable: the text windows' colours against their
// cream, and the see-through models between the camera and the player.
#include <gtest/gtest.h>

#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/png_image.h"
#include "render/camera.h"
#include "render/preload.h"
#include "scenes/game_state.h"
#include "tests/test_support.h"
#include "world/object_base.h"
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

TEST(SeeThrough, AModelBetweenTheCameraAndThePlayerAndOnlyThatOne) {
  HeadlessServices services(true, false, false);
  ScopedWorkingDirectory run(RunDirectory());
  ASSERT_EQ(LoadSharedAssets(), 1);
  ResetGameState();
  ResetCamera();
  FrameStepper frames;
  CameraSubject player;
  player.position = {10, 0.5f, -4};
  player.rotation = {0, 90, 0};  // heading +x: the camera settles 6 behind, 3 up
  InitCamera(player);
  uint8_t keys[256] = {};
  SetInputStateForTest(keys, PadRecord{});
  SetCameraMode(kCameraFollow);
  for (int i = 0; i < 80; ++i) {
    frames.Step();
    UpdateCamera(player, 1, 1);
  }
  ASSERT_NEAR(GetCameraEye().x, 4.0f, 0.01f);

  Mesh* mesh = GetWallMesh(0);
  ASSERT_NE(mesh, nullptr);
  auto at = [&](float x, float y, float z) {
    Wall wall(0);
    wall.position = {x, y, z};
    wall.rotation = {0, 0, 0};
    wall.UpdateMatrix();
    return BlocksTheView(*mesh, wall.world);
  };
  EXPECT_TRUE(at(7, 1.5f, -4)) << "between the eye and the player";
  EXPECT_TRUE(at(4, 3.5f, -4)) << "around the eye itself";
  EXPECT_FALSE(at(14, 1.5f, -4)) << "beyond the player";
  EXPECT_FALSE(at(7, 1.5f, 6)) << "off to the side";
  ReleaseSharedAssets();
}
