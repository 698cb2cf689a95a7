// The game state's rules: life, the enemy count rule with its stage-1
// threshold, the stage reset and the fades.
#include "world/game_state.h"

#include <gtest/gtest.h>

#include "world/camera.h"
#include "world/run_state.h"
#include "world/world_values.h"

class GameStateTest : public testing::Test {
 protected:
  void SetUp() override { ResetGameState(); }
};

TEST_F(GameStateTest, LifeIsPaidAndRegainedWithinItsBounds) {
  ResetLife();
  EXPECT_EQ(GetLife(), 5);
  EXPECT_EQ(GetMaxLife(), 9);
  SetLife(1);
  EXPECT_EQ(Damage(), 1);
  EXPECT_EQ(GetLife(), 0);
  EXPECT_EQ(Damage(), 0);  // already empty: the action is refused
  EXPECT_EQ(GetLife(), 0);
  SetLife(-3);
  EXPECT_EQ(Damage(), 0);
  EXPECT_EQ(GetLife(), 0);
  SetLife(9);
  Heal();
  EXPECT_EQ(GetLife(), 9);
  SetLife(12);  // above the maximum: paid for without a change
  EXPECT_EQ(Damage(), 1);
  EXPECT_EQ(GetLife(), 12);
  SetHudMark(1);
  ResetLife();
  EXPECT_EQ(GetHudMark(), 0);
}

TEST_F(GameStateTest, TheBossIsArmedWhenFewEnoughEnemiesAreLeft) {
  SetStageNumber(0);
  SetBossesLeft(1);
  SetEnemiesLeft(1);
  CheckEnemiesLeft();
  EXPECT_EQ(GetGameMode(), kModeFreePlay);
  SetEnemiesLeft(0);
  CheckEnemiesLeft();
  EXPECT_EQ(GetGameMode(), kModeBossArmed);
  // On stage number 1 one enemy may remain.
  SetGameMode(kModeFreePlay);
  SetStageNumber(1);
  SetEnemiesLeft(1);
  CheckEnemiesLeft();
  EXPECT_EQ(GetGameMode(), kModeBossArmed);
  // Only free play arms the boss; no boss left starts the defeat event.
  SetGameMode(kModeBossBattle);
  CheckEnemiesLeft();
  EXPECT_EQ(GetGameMode(), kModeBossBattle);
  SetBossesLeft(0);
  CheckEnemiesLeft();
  EXPECT_EQ(GetGameMode(), kModeBossDefeated);
}

TEST_F(GameStateTest, StagesTwoAndThreeStartWithTheBossArmed) {
  for (int stage = 0; stage < 4; ++stage) {
    SetStageNumber(stage);
    SetGameMode(kModeBossBattle);
    SetBossesLeft(3);
    SetEnemiesLeft(4);
    ResetStageState();
    EXPECT_EQ(GetGameMode(), stage >= 2 ? kModeBossArmed : kModeFreePlay) << stage;
    EXPECT_EQ(GetBossesLeft(), 0);
    EXPECT_EQ(GetEnemiesLeft(), 0);
  }
}

TEST_F(GameStateTest, FadesStepByFiveAndStopAtTheirEnds) {
  SetFadeAlpha(251);
  SetFadingOut(1);
  StepFadeOut();
  EXPECT_EQ(GetFadeAlpha(), 255);
  EXPECT_EQ(GetFadingOut(), 0);
  SetFadeAlpha(250);
  SetFadingOut(1);
  StepFadeOut();
  EXPECT_EQ(GetFadeAlpha(), 255);
  EXPECT_EQ(GetFadingOut(), 1);  // the fade ends on the next step
  SetFadeAlpha(3);
  SetFadingIn(1);
  StepFadeIn();
  EXPECT_EQ(GetFadeAlpha(), 0);
  EXPECT_EQ(GetFadingIn(), 0);
  SetFadeAlpha(100);
  SetFadingIn(1);
  SetFadingOut(1);
  ResetFade();
  EXPECT_EQ(GetFadeAlpha(), 0);
  EXPECT_EQ(GetFadingIn() + GetFadingOut(), 0);
}

// A run installed with RunScope is the one the state functions read and
// write while it lives; the run before it comes back untouched.
TEST_F(GameStateTest, ARunScopeHoldsItsOwnStateAndGivesBackThePreviousOne) {
  SetGameMode(kModeBossBattle);
  World().goalX = 12;
  SetCameraModeOnly(kCameraRise);
  {
    RunState run;
    RunScope scope(run);
    EXPECT_EQ(GetGameMode(), kModeFreePlay) << "a new run starts as at program start";
    EXPECT_EQ(World().goalX, 0);
    EXPECT_EQ(GetCameraMode(), kCameraFollow);
    SetGameMode(kModeGoal);
    World().goalX = 40;
    {
      RunState inner;
      RunScope innerScope(inner);
      SetGameMode(kModePause);
    }
    EXPECT_EQ(GetGameMode(), kModeGoal);
    EXPECT_EQ(run.game.gameMode, kModeGoal);
    EXPECT_EQ(run.world.goalX, 40);
  }
  EXPECT_EQ(GetGameMode(), kModeBossBattle);
  EXPECT_EQ(World().goalX, 12);
  EXPECT_EQ(GetCameraMode(), kCameraRise);
  ResetRunState();
}

// The random streams are the exception: a run takes them over where the run
// before left them and hands them back, so the numbers are those of one
// stream through the whole program, and the game's and the drawing's stay
// apart.
TEST_F(GameStateTest, TheRandomStreamsRunOnThroughEveryRunAndStayApart) {
  GameSrand(5);
  DrawSrand(9);
  RandomStream game(5), draw(9);
  EXPECT_EQ(GameRand(), game.Next());
  {
    RunState run;
    RunScope scope(run);
    EXPECT_EQ(GameRand(), game.Next());
    EXPECT_EQ(DrawRand(), draw.Next());
    {
      RunState inner;
      RunScope innerScope(inner);
      EXPECT_EQ(GameRand(), game.Next());
    }
    EXPECT_EQ(GameRand(), game.Next());
    // Drawing numbers never move the game's stream.
    for (int i = 0; i < 10; ++i) EXPECT_EQ(DrawRand(), draw.Next());
    EXPECT_EQ(GameRand(), game.Next());
  }
  EXPECT_EQ(GameRand(), game.Next());
  EXPECT_EQ(DrawRand(), draw.Next());
  // The C library's rand() of the original platform, from seed 1.
  RandomStream first;
  EXPECT_EQ(first.Next(), 41);
  EXPECT_EQ(first.Next(), 18467);
  EXPECT_EQ(first.Next(), 6334);
}
