// The small screens alone: the stage gauge's bands and marker, the pause
// menu's cursor rules, the game-over items and their confirm gate, and the
// clear caption's letter timing.
#include "scenes/screens.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/input.h"
#include "render/sound_sets.h"
#include "tests/scene_support.h"
#include "tests/test_support.h"
#include "world/environment.h"
#include "world/game_state.h"
#include "world/stage_gauge.h"

TEST(StageGauge, BandsShareTheBarAndTheMarkerClimbsToTheTop) {
  StageGauge gauge;
  BreakWave wave;  // still sweeping
  const StageGauge::Bands b = gauge.Measure(100, 0, wave);
  EXPECT_EQ(b.top, static_cast<int>(95.0f / 100 * 471));
  EXPECT_EQ(b.red, static_cast<int>(5.0f / 100 * 471));
  EXPECT_EQ(b.top + b.red + b.grey, 471);
  EXPECT_EQ(gauge.alpha, 255);
  // The marker: at the start the bottom of the bar, at the goal its top.
  EXPECT_FLOAT_EQ(gauge.MarkerPosition(100, 0).y, 358 + 471 * 0.7f - 32);
  EXPECT_FLOAT_EQ(gauge.MarkerPosition(100, 50).y, 358 + 471 * 0.7f * 0.5f - 32);
  EXPECT_FLOAT_EQ(gauge.MarkerPosition(100, 100).y, 358);
  EXPECT_FLOAT_EQ(gauge.MarkerPosition(100, 130).y, 358);
  EXPECT_FLOAT_EQ(gauge.MarkerPosition(100, 0).x, 1208);
}

TEST(StageGauge, TheLastSweepFadesTheGaugeAway) {
  const float smallestX = 2;
  StageGauge gauge;
  BreakWave wave;
  gauge.Measure(100, smallestX, wave);  // keeps the smallest x
  wave.phase = 1;
  wave.position.x = 20;
  const StageGauge::Bands b = gauge.Measure(100, smallestX, wave);
  // The swept part grows with the wave's x but never runs past the bar.
  EXPECT_EQ(b.red, 471 - b.top);
  wave.position.x = -6;
  EXPECT_EQ(gauge.Measure(100, smallestX, wave).red, static_cast<int>((2 - 6 + 5.0f) / 100 * 471));
  EXPECT_EQ(gauge.alpha, 253);
  for (int i = 0; i < 300; ++i) gauge.Measure(100, smallestX, wave);
  EXPECT_EQ(gauge.alpha, 0);
  EXPECT_EQ(gauge.visible, 0);
}

TEST(PauseMenu, StartsOnRetryAndArrowsChooseOnlyRetryOrQuit) {
  HeadlessServices services(true);
  ScopedWorkingDirectory run(RunDirectory());
  SoundSetCore sounds = GameSoundSet();
  ASSERT_EQ(sounds.Load(), 1);
  PauseMenu menu;
  EXPECT_EQ(menu.GetCursor(), PauseMenu::kRetry);
  Input({DIK_RIGHT});
  menu.Update(sounds, TestInput());
  EXPECT_EQ(menu.GetCursor(), PauseMenu::kQuit);
  Input({});
  menu.Update(sounds, TestInput());
  Input({DIK_RIGHT});
  menu.Update(sounds, TestInput());
  EXPECT_EQ(menu.GetCursor(), PauseMenu::kQuit);  // nothing further right
  Input({DIK_LEFT});
  menu.Update(sounds, TestInput());
  EXPECT_EQ(menu.GetCursor(), PauseMenu::kRetry);
  Input({});
  menu.Update(sounds, TestInput());
  Input({DIK_LEFT});
  menu.Update(sounds, TestInput());
  EXPECT_EQ(menu.GetCursor(), PauseMenu::kRetry);  // resume is not reachable
  // The stick must go beyond 1.5 (30000 raw).
  InputWithStick({}, 1.5f, 0);
  menu.Update(sounds, TestInput());
  EXPECT_EQ(menu.GetCursor(), PauseMenu::kRetry);
  InputWithStick({}, 1.55f, 0);
  menu.Update(sounds, TestInput());
  EXPECT_EQ(menu.GetCursor(), PauseMenu::kQuit);
  // P resumes at once.
  Input({DIK_P});
  EXPECT_EQ(menu.Update(sounds, TestInput()), 1);
  EXPECT_EQ(menu.GetCursor(), PauseMenu::kResume);
  EXPECT_EQ(menu.IsDecided(), 1);
  sounds.Release();
}

TEST(PauseMenu, RetryFadesToBlackBeforeItFinishes) {
  HeadlessServices services(true);
  ScopedWorkingDirectory run(RunDirectory());
  SoundSetCore sounds = GameSoundSet();
  ASSERT_EQ(sounds.Load(), 1);
  PauseMenu menu;
  Input({DIK_RETURN});
  EXPECT_EQ(menu.Update(sounds, TestInput()), 0);
  EXPECT_EQ(menu.phase, PauseMenu::kFadingOut);
  int frames = 1;
  Input({});
  while (!menu.Update(sounds, TestInput())) ++frames;
  EXPECT_EQ(frames, 50);  // 5, 10, ... 255
  EXPECT_EQ(menu.fade, 255);
  // Pieces 0, 3 and 4 are always lit; the cursor's piece rises by 20.
  EXPECT_EQ(menu.pieceAlpha[0], 255);
  EXPECT_EQ(menu.pieceAlpha[1], 255);
  EXPECT_EQ(menu.pieceAlpha[2], 0);
  sounds.Release();
}

TEST(GameOver, ItemsAppearInTurnAndAChoiceNeedsAFullyShownOption) {
  HeadlessServices services(true);
  ScopedWorkingDirectory run(RunDirectory());
  SoundSetCore sounds = GameSoundSet();
  ASSERT_EQ(sounds.Load(), 1);
  GameOver over;
  Input({DIK_RETURN});
  over.Update(sounds, TestInput());
  EXPECT_EQ(over.IsDecided(), 0);  // nothing shown yet
  EXPECT_EQ(over.itemAlpha[0], 10);
  EXPECT_EQ(over.itemAlpha[1], 0);  // the caption first
  for (int i = 0; i < 24; ++i) over.Update(sounds, TestInput());
  EXPECT_EQ(over.itemAlpha[0], 250);
  EXPECT_EQ(over.itemAlpha[2], 0);
  over.Update(sounds, TestInput());
  EXPECT_EQ(over.itemAlpha[0], 255);
  EXPECT_EQ(over.itemAlpha[2], 10);
  // The option not chosen shows too, dimmed: it rises with the other but
  // stops at 64 (it used to stay at 0 until the player changed the choice).
  EXPECT_EQ(over.itemAlpha[3], 10);
  EXPECT_EQ(over.IsDecided(), 0);
  for (int i = 0; i < 25; ++i) over.Update(sounds, TestInput());
  EXPECT_EQ(over.itemAlpha[2], 255);
  EXPECT_EQ(over.itemAlpha[3], 64);
  over.Update(sounds, TestInput());
  EXPECT_EQ(over.IsDecided(), 1);
  EXPECT_EQ(over.GetChoice(), 1);
  // Moving to the other option fades the first to 64 and shows the second.
  over.Reset();
  Input({});
  for (int i = 0; i < 60; ++i) over.Update(sounds, TestInput());
  Input({DIK_RIGHT});
  over.Update(sounds, TestInput());
  EXPECT_EQ(over.GetChoice(), 0);
  Input({});
  for (int i = 0; i < 60; ++i) over.Update(sounds, TestInput());
  EXPECT_EQ(over.itemAlpha[2], 64);
  EXPECT_EQ(over.itemAlpha[3], 255);
  sounds.Release();
}

TEST(GameClear, LettersFollowEachOtherAndTheCaptionHoldsOneSecond) {
  HeadlessServices services(true);
  ScopedWorkingDirectory run(RunDirectory());
  SoundSetCore sounds = GameSoundSet();
  ASSERT_EQ(sounds.Load(), 1);
  FrameStepper stepper;
  GameClear clear;
  Input({});
  // Each letter starts once the one before it reaches 64 (13 frames of 5).
  for (int i = 0; i < 12; ++i) clear.Update(sounds, TestInput());
  EXPECT_EQ(clear.letterAlpha[0], 60);
  EXPECT_EQ(clear.letterAlpha[1], 0);
  clear.Update(sounds, TestInput());
  EXPECT_EQ(clear.letterAlpha[0], 65);
  EXPECT_EQ(clear.letterAlpha[1], 5);
  // The first letter hops 50 pixels and comes back.
  EXPECT_LT(clear.letterLift[0], 0);
  int frames = 13;
  while (clear.letterAlpha[2] < 255) {
    clear.Update(sounds, TestInput());
    ++frames;
  }
  EXPECT_EQ(frames, 13 + 12 + 50);
  EXPECT_EQ(clear.IsDone(), 0);
  for (int i = 0; i < 59; ++i) {
    stepper.Step();
    clear.Update(sounds, TestInput());
  }
  EXPECT_EQ(clear.IsDone(), 0);
  stepper.Step();
  clear.Update(sounds, TestInput());
  stepper.Step();
  clear.Update(sounds, TestInput());
  EXPECT_EQ(clear.IsDone(), 1);
  // A held confirm ends it at once.
  clear.Reset();
  for (int i = 0; i < 77; ++i) clear.Update(sounds, TestInput());
  Input({DIK_RETURN});
  clear.Update(sounds, TestInput());
  EXPECT_EQ(clear.IsDone(), 1);
  sounds.Release();
}
