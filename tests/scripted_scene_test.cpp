// The opening and ending scenes driven alone: script lines, pages, typing.
#include "scenes/scripted_scene.h"

#include <gtest/gtest.h>

#include <cstring>

#include "render/preload.h"
#include "render/sound_sets.h"
#include "tests/scene_support.h"
#include "tests/test_support.h"
#include "world/game_state.h"
#include "world/run_state.h"

TEST(ScriptedScene, ScriptLinesPlacePortraitsAndBreakTextAtCommas) {
  const std::string script = Sjis(
      "n,,語り,二行目\n"
      "h,ol.h/ir.o,彦星\n"
      "o,ol.h/ol.h/or.h,同じ顔は最後の場所に\n"
      "x,ol.h,読まれない行\n"
      "t,il.x/.t,場所なしは直前の場所\n"
      "scane_end\n"
      "h,,後ろは読まない\n");
  const std::vector<ScriptPage> pages = ParseScript(script);
  ASSERT_EQ(pages.size(), 4u);
  EXPECT_EQ(pages[0].speaker, 3);
  EXPECT_EQ(pages[0].text, Sjis("語り\n二行目\n"));
  for (int slot = 0; slot < 4; ++slot) EXPECT_EQ(pages[0].place[slot], -1);
  EXPECT_EQ(pages[1].speaker, 0);
  EXPECT_EQ(pages[1].place[0], 0);  // outer-left
  EXPECT_EQ(pages[1].place[1], 2);  // inner-right
  EXPECT_EQ(pages[1].place[2], -1);
  EXPECT_EQ(pages[2].place[0], 3);  // the last command wins
  EXPECT_EQ(pages[3].place[2], 1);  // no letters left: the inner-left of ".x"
}

// A scene's own pictures: ".m" and ".b" among the commands show the first or
// the second from their page on, beside the portraits placed on the line.
TEST(ScriptedScene, APictureShownStaysFromItsPageOn) {
  const std::vector<ScriptPage> pages =
      ParseScript(Sjis("n,,まだ何も\n"
                       "n,.m,出会い\n"
                       "h,ol.h,続く\n"
                       "t,ir.t/.b,橋\n"
                       "o,or.o,橋のまま\n"
                       "scane_end\n"));
  ASSERT_EQ(pages.size(), 5u);
  EXPECT_EQ(pages[0].backdrop, -1);
  EXPECT_EQ(pages[1].backdrop, 0);
  EXPECT_EQ(pages[2].backdrop, 0);
  EXPECT_EQ(pages[2].place[0], 0);
  EXPECT_EQ(pages[3].backdrop, 1);
  EXPECT_EQ(pages[3].place[2], 2);  // the portrait is placed as before
  EXPECT_EQ(pages[4].backdrop, 1);
  // The ending shows both, the meeting first.
  const std::vector<ScriptPage> ending =
      ParseScript(ReadWholeFile(RunDirectory() + "/Resource_Orvelune/Event/Ending/Ending.csv"));
  ASSERT_FALSE(ending.empty());
  EXPECT_EQ(ending.front().backdrop, 0);
  EXPECT_EQ(ending.back().backdrop, 1);
}

TEST(ScriptedScene, ConfirmShowsThePageThenMovesOnAndTheLastPageFadesOut) {
  SceneServices s;
  Opening opening;
  ASSERT_EQ(opening.Start(), 1);
  ASSERT_GT(opening.pages.size(), 2u);
  Input({DIK_RETURN});
  opening.Update(TestInput());
  EXPECT_EQ(opening.pageIndex, 0);  // fading in: no advance
  Input({});
  for (int i = 0; i < 64; ++i) {
    opening.Draw();
    EXPECT_EQ(opening.shown, 0);  // no typing before the fade-in is done
    opening.Update(TestInput());
  }
  EXPECT_EQ(opening.fade, 255);
  for (int i = 0; i < 5; ++i) opening.Draw();
  EXPECT_GT(opening.shown, 0);
  EXPECT_LT(opening.shown, opening.length);
  Input({DIK_RETURN});
  opening.Update(TestInput());
  EXPECT_EQ(opening.shown, opening.length);  // the whole page at once
  EXPECT_EQ(opening.pageIndex, 0);
  Input({});
  opening.Update(TestInput());
  Input({DIK_RETURN});
  opening.Update(TestInput());
  EXPECT_EQ(opening.pageIndex, 1);
  EXPECT_EQ(opening.shown, 0);
  // Confirm through the rest; after the last page the scene fades out.
  int frames = 0;
  while (!opening.finished && frames < 1000) {
    Input({});
    opening.Update(TestInput());
    Input({DIK_RETURN});
    opening.Update(TestInput());
    frames += 2;
  }
  ASSERT_EQ(opening.finished, 1);
  Input({});
  int out = 0;
  while (opening.Update(TestInput())) ++out;
  EXPECT_EQ(out, 62);  // 251 (the finishing frame's own step) down by 4 to below 1
}

TEST(ScriptedScene, TypingShowsWholeCharactersFourFramesApart) {
  const std::string text = Sjis("あa\nい");
  int delay = 0, shown = 0;
  const int length = static_cast<int>(text.size());
  std::vector<int> seen;
  for (int i = 0; i < 12; ++i) {
    shown = ScriptedScene::NextShown(text, shown, length, &delay);
    seen.push_back(shown);
  }
  // Two bytes every fourth frame: "あ", then "a" and the line break (never
  // stopping inside "い"), then the rest.
  EXPECT_EQ(seen[2], 0);
  EXPECT_EQ(seen[3], 2);
  EXPECT_EQ(seen[7], 4);
  EXPECT_EQ(seen[11], 6);
}
