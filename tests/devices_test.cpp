// The stage devices: the gate's sounds, bridge pieces beyond the front, the
// moving block's ride, and the walls' rules.
#include "world/devices.h"

#include <gtest/gtest.h>

#include "render/sound_sets.h"
#include "tests/world_harness.h"
#include "world/game_state.h"
#include "world/player.h"
#include "world/run_state.h"
#include "world/walls.h"
#include "world/world_values.h"

namespace {

template <typename T>
T* FindGimmick(WorldHarness& w, float x = -1) {
  for (GimmickNode* n = w.GetField().Tail(); n; n = n->prev)
    if (auto* t = dynamic_cast<T*>(n->object.get()))
      if (x < 0 || t->position.x == x) return t;
  return nullptr;
}

}  // namespace

TEST(Gate, SoundsOnceWhenItOpensAndOnceEachWhenItShuts) {
  WorldHarness w;
  RunState& run = w.GetRun();
  w.Build(StageGrid(12, 9, {{{1, 4}, "ON0ECP0ERR"}, {{8, 4}, "ON0EOG1ERR"}}));
  Gate* gate = FindGimmick<Gate>(w);
  ASSERT_NE(gate, nullptr);
  EXPECT_FLOAT_EQ(gate->rotation.y, 90);
  w.Frames(30);
  EXPECT_EQ(w.SoundStarts(kSeMoveDoor), 0);  // shut until the boss is armed
  run.game.gameMode = kModeBossArmed;
  w.Frames(120);
  EXPECT_FLOAT_EQ(gate->rotation.y, 180);
  EXPECT_EQ(w.SoundStarts(kSeMoveDoor), 1);
  // (The great wave's last sweep, which takes everything up to the gate,
  // is kept out of this test.)
  w.GetField().Wave().finished = 1;
  run.game.gameMode = kModeBossBattle;
  w.Frames(200);
  EXPECT_FLOAT_EQ(gate->rotation.y, 89);
  EXPECT_EQ(w.SoundStarts(kSeMoveDoor), 2);
  EXPECT_EQ(w.SoundStarts(kSeCloseDoor), 1);
}

TEST(Bridge, PiecesBeyondTheFrontStayHiddenAndLetCharactersFallThrough) {
  WorldHarness w;
  RunState& run = w.GetRun();
  // A bridge from x 2 to x 8 over the river, the player standing at its far
  // end above a hidden piece.
  std::map<std::pair<int, int>, std::string> cells{{{0, 4}, "ON0E"}, {{1, 4}, "ON0E"}};
  for (int x = 2; x <= 8; ++x) cells[{x, 4}] = "OSBC";
  w.Build(StageGrid(10, 9, cells, ""), 0, StageGrid(3, 5, {{{2, 4}, "OSBC"}}, ""));
  ASSERT_FLOAT_EQ(run.game.bridgeFront, 2);
  Bridge* near = FindGimmick<Bridge>(w, 2);
  Bridge* far = FindGimmick<Bridge>(w, 8);
  ASSERT_NE(near, nullptr);
  ASSERT_NE(far, nullptr);
  run.game.gameMode = kModeBridge;
  Player& p = w.GetPlayer();
  p.position = {8, 1, -4};
  for (int i = 0; i < 60; ++i) {
    // The game scene moves the front on and keeps the timer (here by hand).
    if (run.game.bridgeAdvance) {
      run.game.bridgeAdvance = 0;
      run.game.bridgeTimer = 0;
      run.game.bridgeFront = run.game.bridgeFront + 1;
    } else {
      run.game.bridgeTimer = run.game.bridgeTimer + 1.0f / 60;
    }
    w.Frame();
  }
  EXPECT_GT(near->alpha, 0);
  EXPECT_EQ(far->alpha, 0);
  EXPECT_LT(p.position.y, 0);  // nothing held the player up
}

TEST(MoveBlock, TravelsAThirtiethOfAUnitAFrameForTwoSecondsAndCarriesThePlayer) {
  WorldHarness w;
  RunState& run = w.GetRun();
  // Stage number 1 runs the ride values. The block waits beside the player.
  w.Build(StageGrid(12, 9, {{{1, 4}, "ON0ECP0ERR"}, {{2, 4}, "OSM1E2E4E0E0E0E"}}, "ON0E"), 1);
  MoveBlock* block = FindGimmick<MoveBlock>(w);
  ASSERT_NE(block, nullptr);
  run.game.gameMode = kModeBossArmed;
  w.Frames(80);
  EXPECT_EQ(block->alpha, 255);
  // Onto the block.
  w.Hold(DIK_UP);
  w.Frames(13);
  w.Release(DIK_UP);
  // Stepping on asks for the ride; it starts in the next frame and goes on
  // for 120 frames in all, carrying the player.
  const float elapsed = block->elapsed;
  const float playerX = w.GetPlayer().position.x;
  const float blockX = block->position.x;
  int frames = 0;
  while (!block->arrived && frames < 200) {
    w.Frame();
    ++frames;
  }
  EXPECT_GT(elapsed, 0);
  EXPECT_EQ(frames + static_cast<int>(elapsed), 120);
  EXPECT_NEAR(block->position.x, 2 + 4, 1e-3);
  EXPECT_NEAR(w.GetPlayer().position.x - playerX, block->position.x - blockX, 1e-3);
  EXPECT_NEAR(block->velocity.x, 1.0f / 30, 1e-6);
}

TEST(Walls, ABrokenPieceNeverBlocksAndWallsIgnoreTheOtherSide) {
  RunState run;
  Wall wall(run, 1);
  wall.position = {0, 1.5f, 0};
  wall.rotation = {0, 90, 0};
  const Vec3 size{1, 2, 1}, moving{0.1f, 0, 0};
  Vec3 contact;
  EXPECT_NE(wall.HitCheck(run, 0, {-0.9f, 0.5f, 0}, size, moving, &contact), 0);
  EXPECT_EQ(wall.HitCheck(run, 1, {-0.9f, 0.5f, 0}, size, moving, &contact), 0);
  wall.breakState = 2;
  EXPECT_EQ(wall.HitCheck(run, 0, {-0.9f, 0.5f, 0}, size, moving, &contact), 0);
}

TEST(Walls, ARotatingWallTurnsOnceTheWayTheHitSays) {
  RunState run;
  RotaWall wall{run};
  wall.position = {0, 0, 0};
  wall.Init(run);
  Player player{run};
  wall.turnSpeed = 0.2f;  // 0.8 degrees: the pitch's integer part stays 90
  wall.turnState = 4;
  wall.Action(run, &player);
  EXPECT_EQ(wall.turnState, 1);
  // A positive speed turns the slab towards 180 and ends there.
  RotaWall other{run};
  other.Init(run);
  other.turnSpeed = 1;
  other.turnState = 4;
  for (int i = 0; i < 200 && other.turnState == 4; ++i) other.Action(run, &player);
  EXPECT_EQ(other.turnState, 1);
  EXPECT_NEAR(other.rotation.x, 180, 0.02f);
}
