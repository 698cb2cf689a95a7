// The info panel and the boards that open it.
#include <gtest/gtest.h>

#include <cstring>

#include "render/preload.h"
#include "render/sound_sets.h"
#include "tests/scene_support.h"
#include "world/game_state.h"
#include "world/info_board.h"
#include "world/player.h"
#include "world/run_state.h"
#include "world/world_values.h"

TEST(InfoPanel, LinesGiveNumberPictureAndTextWithLineBreaks) {
  InfoEntry e = ParseInfoLine("3,-1,first,second");
  EXPECT_EQ(e.number, 3);
  EXPECT_EQ(e.picture, -1);
  EXPECT_EQ(e.text, "first\nsecond");
  e = ParseInfoLine("3,2,text");
  EXPECT_EQ(e.picture, 2);
  EXPECT_EQ(e.text, "text");
  e = ParseInfoLine("garbage");
  EXPECT_EQ(e.number, 0);
  EXPECT_TRUE(e.text.empty());
}

TEST(InfoPanel, ThePadsTextStandsInForItsBoardOnlyWhileThePadWasUsedLast) {
  InfoPanel panel;
  panel.entries = {ParseInfoLine("1,0,arrows"), ParseInfoLine("2,1,space"),
                   ParseInfoLine("7,-1,guardians")};
  panel.padEntries = {ParseInfoLine("1,0,stick"), ParseInfoLine("2,1,RB")};
  const InfoEntry* e = FindInfoEntry(panel, 1, InputDevice::kKeyboard);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->text, "arrows");
  e = FindInfoEntry(panel, 1, InputDevice::kPad);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->text, "stick");
  // A board that names no control has no pad text: the same text for both.
  e = FindInfoEntry(panel, 7, InputDevice::kPad);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->text, "guardians");
  EXPECT_EQ(FindInfoEntry(panel, 3, InputDevice::kPad), nullptr);
  EXPECT_EQ(FindInfoEntry(panel, 3, InputDevice::kKeyboard), nullptr);
}

TEST(InfoPanel, AdjacentBoardsSwitchTheTextAndFarOnesAreNotTouched) {
  RunState run;
  SceneServices s;
  ASSERT_EQ(run.sound.Load(), 1);
  InfoBoard a(run, 1), b(run, 2);
  a.position = {0, 0.5f, 0};
  b.position = {1, 0.5f, 0};
  Player player{run};
  player.position = {0.2f, 0.5f, 0};
  a.Action(run, &player);
  b.Action(run, &player);
  EXPECT_EQ(a.touching, 1);
  EXPECT_EQ(run.panel.phase, InfoPanel::kSlidingIn);
  EXPECT_EQ(run.world.boardReading, 1);
  player.position.x = 1.1f;  // stepped straight onto the next board
  a.Action(run, &player);
  b.Action(run, &player);
  EXPECT_EQ(a.touching, 0);
  EXPECT_EQ(b.touching, 1);
  EXPECT_EQ(run.world.activeBoard, 2);
  EXPECT_NE(run.panel.phase, InfoPanel::kSlidingOut);
  // Directly above, more than one unit up: not touched.
  player.position = {1, 1.6f, 0};
  b.Action(run, &player);
  EXPECT_EQ(b.touching, 0);
  EXPECT_EQ(run.panel.phase, InfoPanel::kSlidingOut);
  EXPECT_EQ(run.world.boardReading, 0);
  // While the player is blown away no board reacts.
  run.game.gameMode = kModeBlownAway;
  player.position = {1, 0.5f, 0};
  b.Action(run, &player);
  EXPECT_EQ(b.touching, 0);
  run.sound.Release();
}

TEST(InfoPanel, ABoardOnlyAsksForThePanelWhichIsDrawnOverTheWorldOncePerFrame) {
  RunState run;
  SceneServices s;
  ASSERT_EQ(run.sound.Load(), 1);
  ASSERT_EQ(LoadSharedAssets(), 1);
  InfoBoard board(run, 2);
  board.position = {0, 0.5f, 0};
  Player player{run};
  player.position = {0, 0.5f, 0};
  board.Action(run, &player);
  board.Draw(run);
  EXPECT_FLOAT_EQ(run.panel.position.y, 720);  // not drawn with the world
  FlushInfoPanel(run.panel, run.panelRequest, InputDevice::kKeyboard);
  EXPECT_FLOAT_EQ(run.panel.position.y, 720 + (508 - 720) / 4.0f);
  FlushInfoPanel(run.panel, run.panelRequest, InputDevice::kKeyboard);  // nothing asked since
  EXPECT_FLOAT_EQ(run.panel.position.y, 720 + (508 - 720) / 4.0f);
  EXPECT_EQ(run.panel.currentText, 2);
  ReleaseSharedAssets();
  run.sound.Release();
}
