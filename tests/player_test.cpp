// The player's walking and its action codes on a small open floor: speed at
// full input, the reversal slowdown, the stick's dead band, mirrored controls
// on the underside, life gating the action buttons, and the cursor steering
// while a selection button is held.
#include "world/player.h"

#include <gtest/gtest.h>

#include "tests/world_harness.h"
#include "world/game_state.h"
#include "world/run_state.h"

namespace {

std::string Floor() {
  return StageGrid(30, 9, {{{4, 4}, "ON0ECP0ERR"}});
}

}  // namespace

TEST(PlayerWalk, FullInputMovesThreeFortiethsOfAUnitPerFrame) {
  WorldHarness w;
  w.Build(Floor());
  w.Frames(5);
  const Vec3 start = w.GetPlayer().position;
  w.Hold(DIK_UP);
  w.Frame();
  // The camera looks along +x (the player's heading): Up walks along +x.
  EXPECT_NEAR(w.GetPlayer().position.x - start.x, 0.075f, 1e-5);
  EXPECT_NEAR(w.GetPlayer().position.z - start.z, 0, 1e-5);
  EXPECT_NEAR(w.GetPlayer().rotation.y, 90, 1e-3);
  w.Frames(9);
  EXPECT_NEAR(w.GetPlayer().position.x - start.x, 0.75f, 1e-4);
}

TEST(PlayerWalk, ReversingSlowsToTwoFifthsAndRecoversByFifteenHundredthsAFrame) {
  WorldHarness w;
  w.Build(Floor());
  w.Hold(DIK_UP);
  w.Frames(10);
  w.Release(DIK_UP);
  w.Hold(DIK_DOWN);
  float x = w.GetPlayer().position.x;
  w.Frame();
  EXPECT_NEAR(x - w.GetPlayer().position.x, 0.075f / 2.5f, 1e-5);
  EXPECT_FLOAT_EQ(w.GetPlayer().slowdown, 2.5f);
  x = w.GetPlayer().position.x;
  w.Frame();
  EXPECT_NEAR(x - w.GetPlayer().position.x, 0.075f / 2.35f, 1e-5);
  w.Frames(10);
  EXPECT_FLOAT_EQ(w.GetPlayer().slowdown, 1.0f);
}

TEST(PlayerWalk, AStickBelowFourFifthsDoesNothing) {
  WorldHarness w;
  w.Build(Floor());
  w.Frames(3);
  const Vec3 start = w.GetPlayer().position;
  w.SetStick(0, 0.75f);
  w.Frames(10);
  EXPECT_FLOAT_EQ(w.GetPlayer().position.x, start.x);
  w.SetStick(0, 0.85f);
  w.Frame();
  EXPECT_NEAR(w.GetPlayer().position.x - start.x, 0.85f / 20, 1e-4);
}

TEST(PlayerWalk, OnTheUndersideLeftAndRightAreMirrored) {
  auto walkRight = [](bool underside) {
    WorldHarness w;
    if (underside)
      w.Build(StageGrid(30, 9, {}, ""), 0, Floor());
    else
      w.Build(Floor());
    EXPECT_EQ(w.GetPlayer().upsideDown, underside ? 1 : 0);
    w.Frames(3);
    w.Hold(DIK_RIGHT);
    const float z0 = w.GetPlayer().position.z;
    w.Frames(5);
    return w.GetPlayer().position.z - z0;
  };
  EXPECT_NEAR(walkRight(false), -0.375f, 1e-4);
  EXPECT_NEAR(walkRight(true), 0.375f, 1e-4);
}

TEST(PlayerAction, WithoutLifeTheButtonsDoNothing) {
  WorldHarness w;
  RunState& run = w.GetRun();
  w.Build(Floor());
  run.game.life = 0;
  w.Hold(DIK_SPACE);
  w.Frames(5);
  EXPECT_EQ(w.GetPlayer().action, kActionIdle);
  w.Release(DIK_SPACE);
  w.Hold(DIK_M);
  w.Frames(5);
  EXPECT_EQ(w.GetPlayer().action, kActionIdle);
  EXPECT_EQ(w.GetField().Held(), nullptr);
}

TEST(PlayerAction, WalkingInputSteersTheCursorWithinSixUnits) {
  WorldHarness w;
  w.Build(Floor());
  w.Hold(DIK_SPACE);
  w.Frame();
  const Vec3 player = w.GetPlayer().position;
  const Vec3 cursor = w.GetPlayer().cursor;
  EXPECT_NEAR(cursor.x - player.x, 1.25f, 1e-5);
  w.Hold(DIK_UP);
  w.Frame();
  // The player stands still; the cursor moves a fifth of the step's dx.
  EXPECT_FLOAT_EQ(w.GetPlayer().position.x, player.x);
  EXPECT_NEAR(w.GetPlayer().cursor.x - cursor.x, 0.15f, 1e-5);
  w.Frames(100);
  EXPECT_LE(w.GetPlayer().cursor.x - player.x, 6.0f);
  EXPECT_GT(w.GetPlayer().cursor.x - player.x, 5.8f);
  // Releasing lifts the chip under the cursor, far from the player.
  w.Release(DIK_UP);
  w.Release(DIK_SPACE);
  w.Frames(2);
  ASSERT_NE(w.GetField().Held(), nullptr);
  EXPECT_FLOAT_EQ(w.GetField().Held()->Position().x, 10);
}
