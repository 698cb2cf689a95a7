// The game state's rules: life, the enemy count rule with its stage-1
// threshold, the stage reset and the fades.
#include "world/game_state.h"

#include <gtest/gtest.h>

#include "base/random.h"
#include "world/run_state.h"

TEST(GameState, LifeIsPaidAndRegainedWithinItsBounds) {
  GameState state;
  ResetLife(state);
  EXPECT_EQ(state.life, 5);
  EXPECT_EQ(state.maxLife, 9);
  state.life = 1;
  EXPECT_EQ(Damage(state), 1);
  EXPECT_EQ(state.life, 0);
  EXPECT_EQ(Damage(state), 0);  // already empty: the action is refused
  EXPECT_EQ(state.life, 0);
  state.life = -3;
  EXPECT_EQ(Damage(state), 0);
  EXPECT_EQ(state.life, 0);
  state.life = 9;
  Heal(state);
  EXPECT_EQ(state.life, 9);
  state.life = 12;  // above the maximum: paid for without a change
  EXPECT_EQ(Damage(state), 1);
  EXPECT_EQ(state.life, 12);
  state.hudMark = 1;
  ResetLife(state);
  EXPECT_EQ(state.hudMark, 0);
}

TEST(GameState, TheBossIsArmedWhenFewEnoughEnemiesAreLeft) {
  GameState state;
  state.stageNumber = 0;
  state.bossesLeft = 1;
  state.enemiesLeft = 1;
  CheckEnemiesLeft(state);
  EXPECT_EQ(state.gameMode, kModeFreePlay);
  state.enemiesLeft = 0;
  CheckEnemiesLeft(state);
  EXPECT_EQ(state.gameMode, kModeBossArmed);
  // On stage number 1 one enemy may remain.
  state.gameMode = kModeFreePlay;
  state.stageNumber = 1;
  state.enemiesLeft = 1;
  CheckEnemiesLeft(state);
  EXPECT_EQ(state.gameMode, kModeBossArmed);
  // Only free play arms the boss; no boss left starts the defeat event.
  state.gameMode = kModeBossBattle;
  CheckEnemiesLeft(state);
  EXPECT_EQ(state.gameMode, kModeBossBattle);
  state.bossesLeft = 0;
  CheckEnemiesLeft(state);
  EXPECT_EQ(state.gameMode, kModeBossDefeated);
}

TEST(GameState, StagesTwoAndThreeStartWithTheBossArmed) {
  GameState state;
  for (int stage = 0; stage < 4; ++stage) {
    state.stageNumber = stage;
    state.gameMode = kModeBossBattle;
    state.bossesLeft = 3;
    state.enemiesLeft = 4;
    ResetStageState(state);
    EXPECT_EQ(state.gameMode, stage >= 2 ? kModeBossArmed : kModeFreePlay) << stage;
    EXPECT_EQ(state.bossesLeft, 0);
    EXPECT_EQ(state.enemiesLeft, 0);
  }
}

TEST(GameState, FadesStepByFiveAndStopAtTheirEnds) {
  GameState state;
  state.fadeAlpha = 251;
  state.fadingOut = 1;
  StepFadeOut(state);
  EXPECT_EQ(state.fadeAlpha, 255);
  EXPECT_EQ(state.fadingOut, 0);
  state.fadeAlpha = 250;
  state.fadingOut = 1;
  StepFadeOut(state);
  EXPECT_EQ(state.fadeAlpha, 255);
  EXPECT_EQ(state.fadingOut, 1);  // the fade ends on the next step
  state.fadeAlpha = 3;
  state.fadingIn = 1;
  StepFadeIn(state);
  EXPECT_EQ(state.fadeAlpha, 0);
  EXPECT_EQ(state.fadingIn, 0);
  state.fadeAlpha = 100;
  state.fadingIn = 1;
  state.fadingOut = 1;
  ResetFade(state);
  EXPECT_EQ(state.fadeAlpha, 0);
  EXPECT_EQ(state.fadingIn + state.fadingOut, 0);
}

// A run draws on the program's random numbers where the run before left
// them and gives them back at its end, so the numbers are those of one
// stream through the whole program, and the game's and the drawing's stay
// apart.
TEST(RandomLoan, TheProgramsStreamsRunOnThroughEveryRunAndStayApart) {
  RandomStreams program = RandomStreams::Seeded(5);
  RandomStream game(5), draw(5 ^ 0x5EEDu);
  EXPECT_EQ(program.game.Next(), game.Next());
  {
    RunState run;
    RandomLoan loan(program, run);
    EXPECT_EQ(run.gameRandom.Next(), game.Next());
    EXPECT_EQ(run.drawRandom.Next(), draw.Next());
    // Drawing numbers never move the game's stream.
    for (int i = 0; i < 10; ++i) EXPECT_EQ(run.drawRandom.Next(), draw.Next());
    EXPECT_EQ(run.gameRandom.Next(), game.Next());
  }
  {
    RunState next;
    RandomLoan loan(program, next);
    EXPECT_EQ(next.gameRandom.Next(), game.Next()) << "the next run goes on where the last ended";
  }
  EXPECT_EQ(program.game.Next(), game.Next());
  EXPECT_EQ(program.draw.Next(), draw.Next());
  // The C library's rand() of the original platform, from seed 1.
  RandomStream first;
  EXPECT_EQ(first.Next(), 41);
  EXPECT_EQ(first.Next(), 18467);
  EXPECT_EQ(first.Next(), 6334);
}
