// The character pass on small stages: standing exactly on a block, shadows
// over gaps on both sides, the player falling off the field into the river
// until the game is over, the encounter and goal triggers, and the river
// fish of stage number 2.
#include <gtest/gtest.h>

#include "render/sound_sets.h"
#include "tests/world_harness.h"
#include "world/camera.h"
#include "world/chips.h"
#include "world/enemies.h"
#include "world/game_state.h"
#include "world/player.h"
#include "world/run_state.h"
#include "world/world_values.h"

namespace {

int CountClass(WorldHarness& w, const std::string& name) {
  int n = 0;
  for (CharacterBase* c : w.Characters().GetCharacters()) n += name == c->ClassName();
  return n;
}

}  // namespace

TEST(Collision, ACharacterOnABlockStandsAtItsTopFace) {
  WorldHarness w;
  RunState& run = w.GetRun();
  w.Build(StageGrid(3, 3, {{{1, 1}, "ON0ECP0ERR"}}));
  w.Frames(60);
  const Player& p = w.GetPlayer();
  EXPECT_FLOAT_EQ(p.position.y, 0.5f);
  EXPECT_FLOAT_EQ(p.fallSpeed, 0);
  EXPECT_EQ(p.state, kStateNormal);
  EXPECT_EQ(p.standing, 1);
  EXPECT_FLOAT_EQ(p.groundPoint.y, 0.5f);
  // Gravity pulls the feet just into the block each frame; the block answers
  // with the standing face and the footprint.
  OneChip chip{run};
  Vec3 contact;
  EXPECT_EQ(chip.HitCheck(run, 0, {0, 0.495f, 0}, p.size, {}, &contact), kFaceOver | kFaceStand);
}

TEST(Collision, OverAGapTheShadowFallsToTheRiver) {
  WorldHarness w;
  // The player steps off the edge of a one-row strip.
  w.Build(StageGrid(2, 1, {{{1, 0}, "ON0ECP0ERR"}}));
  w.Hold(DIK_UP);
  w.Frames(12);
  w.Release(DIK_UP);
  w.Frame();
  EXPECT_GT(w.GetPlayer().position.x, 1.5f);
  EXPECT_FLOAT_EQ(w.GetPlayer().groundPoint.y, -15.0f);
  EXPECT_EQ(w.GetPlayer().standing, 0);
}

TEST(Collision, UpsideDownTheShadowFallsTheOtherWay) {
  WorldHarness w;
  // The same strip walked on its underside.
  w.Build(StageGrid(2, 1, {}, ""), 0, StageGrid(2, 1, {{{1, 0}, "ON0ECP0ERR"}}));
  ASSERT_EQ(w.GetPlayer().upsideDown, 1);
  w.Frames(10);
  EXPECT_FLOAT_EQ(w.GetPlayer().position.y, -0.5f);
  // Walking on off the end of the strip.
  w.Hold(DIK_UP);
  w.Frames(20);
  w.Release(DIK_UP);
  w.Frame();
  EXPECT_FLOAT_EQ(w.GetPlayer().groundPoint.y, 15.0f);
}

TEST(Collision, APlayerOffTheFieldFallsIntoTheRiverAndTheGameIsOver) {
  WorldHarness w;
  RunState& run = w.GetRun();
  w.Build(StageGrid(2, 1, {{{1, 0}, "ON0ECP0ERR"}}));
  w.Hold(DIK_UP);
  w.Frames(12);
  w.Release(DIK_UP);
  bool sawFalling = false, sawWashed = false;
  for (int i = 0; i < 400 && run.game.gameMode != kModeGameOver; ++i) {
    w.Frame();
    sawFalling |= w.GetPlayer().state == kStateFalling;
    sawWashed |= w.GetPlayer().state == kStateWashedAway;
  }
  EXPECT_TRUE(sawFalling);
  EXPECT_TRUE(sawWashed);
  EXPECT_EQ(w.GetPlayer().state, kStateGone);
  EXPECT_EQ(run.game.gameMode, kModeGameOver);
  EXPECT_EQ(w.SoundStarts(kSeWaterFall), 1);
  EXPECT_EQ(run.camera.mode, kCameraRise);
}

TEST(Collision, TouchingTheTriggersMovesTheGameOn) {
  // The encounter floor only counts once the boss is armed. (One world at a
  // time: the device and the sound set are the program's own.)
  const std::string stage = StageGrid(4, 1, {{{0, 0}, "ON0ECP0ERR"}, {{2, 0}, "OCE0E"}});
  {
    WorldHarness w;
    RunState& run = w.GetRun();
    w.Build(stage);
    w.Hold(DIK_UP);
    w.Frames(30);
    EXPECT_EQ(run.game.gameMode, kModeFreePlay);
  }
  {
    WorldHarness armed;
    armed.Build(stage);
    armed.GetRun().game.gameMode = kModeBossArmed;
    armed.Hold(DIK_UP);
    armed.Frames(30);
    EXPECT_EQ(armed.GetRun().game.gameMode, kModeBossEncounter);
  }
}

TEST(Collision, TheGoalFloorStartsTheGoalEvent) {
  WorldHarness w;
  RunState& run = w.GetRun();
  w.Build(StageGrid(4, 1, {{{0, 0}, "ON0ECP0ERR"}, {{2, 0}, "OCG0E"}}));
  w.Hold(DIK_UP);
  w.Frames(30);
  EXPECT_EQ(run.game.gameMode, kModeGoal);
}

TEST(Collision, FishLeapOnlyStrictlyBetweenFifteenAndFiftyFive) {
  for (const auto& [x, expectFish] :
       {std::pair{15, false}, std::pair{16, true}, std::pair{55, false}}) {
    SCOPED_TRACE(x);
    WorldHarness w;
    RunState& run = w.GetRun();
    w.Build(StageGrid(60, 1, {{{x, 0}, "ON0ECP0ERR"}}), 2);
    w.Frames(17);
    const int fish = CountClass(w, "Pisces");
    if (expectFish) {
      // One every quarter second (strictly more than 0.25 s: the 16th frame).
      EXPECT_EQ(fish, 1);
      const CharacterBase* f = w.Characters().GetCharacters().back();
      EXPECT_FLOAT_EQ(f->position.x, x + 9.0f);
      EXPECT_NEAR(f->position.y, -10.0f, 0.1f);  // placed there, then its first frame
      // Placed there, then the first step of its leap (sin 1 degree of its way).
      EXPECT_NEAR(f->position.z, run.world.frontEdgeZ / 2 + 40, 0.05f);
      EXPECT_FLOAT_EQ(f->rotation.y, 180);
      w.Frames(16);
      EXPECT_EQ(CountClass(w, "Pisces"), 2);
      EXPECT_NEAR(w.Characters().GetCharacters().back()->position.z, run.world.frontEdgeZ / 2 - 35,
                  0.05f);
    } else {
      EXPECT_EQ(fish, 0);
    }
  }
}
