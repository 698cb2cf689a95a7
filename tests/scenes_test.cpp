// The title menu, the scripted scenes, the in-game event window, the credits
// and the info panel, each driven alone frame by frame.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/input.h"
#include "platform/sound_sets.h"
#include "base/text_encoding.h"
#include "render/preload.h"
#include "scenes/credit.h"
#include "scenes/event.h"
#include "scenes/game_state.h"
#include "scenes/run_state.h"
#include "scenes/scripted_scene.h"
#include "scenes/title.h"
#include "tests/test_support.h"
#include "world/info_board.h"
#include "world/player.h"
#include "world/world_values.h"

namespace {

void Input(std::initializer_list<int> keys, float stickY = 0) {
  uint8_t k[256] = {};
  for (int key : keys) k[key] = 0x80;
  PadRecord pad;
  pad.connected = stickY != 0;
  pad.state.Gamepad.sThumbLY = static_cast<short>(stickY * 20000);
  SetInputStateForTest(k, pad);
}

// The services a scene needs, run from the generated resources.
struct SceneServices {
  HeadlessServices services{true, true, false};
  ScopedWorkingDirectory run{RunDirectory()};
};

std::string Sjis(const char* utf8) { return Utf8ToSjis(utf8); }

}  // namespace

TEST(Title, ConfirmWaitsForTheFadeInThenTheCursorRepeatsEveryEightFrames) {
  SceneServices s;
  Title title;
  ASSERT_EQ(title.Start(), 1);
  Input({DIK_RETURN});
  title.Update();
  EXPECT_EQ(title.decided, 0);  // still fading in
  Input({});
  for (int i = 0; i < 84; ++i) title.Update();
  EXPECT_EQ(title.fade, 255);
  title.Update();  // a frame without input arms the next press
  Input({DIK_DOWN});
  title.Update();
  EXPECT_EQ(title.cursor, 1);  // at once
  for (int i = 0; i < 7; ++i) title.Update();
  EXPECT_EQ(title.cursor, 1);
  title.Update();
  EXPECT_EQ(title.cursor, 2);  // then every eighth frame
  for (int i = 0; i < 8; ++i) title.Update();
  EXPECT_EQ(title.cursor, 0);  // wrapping from the last item to the first
  Input({DIK_UP});
  for (int i = 0; i < 8; ++i) title.Update();
  EXPECT_EQ(title.cursor, 2);
  // A stick tilt of exactly 0.8 does not move it.
  Input({});
  title.Update();
  Input({}, -0.8f);
  for (int i = 0; i < 20; ++i) title.Update();
  EXPECT_EQ(title.cursor, 2);
  // The chosen item fades out with the picture; the scene ends below 1.
  Input({DIK_RETURN});
  title.Update();
  EXPECT_EQ(title.decided, 1);
  Input({});
  int frames = 1;
  while (title.Update()) ++frames;
  EXPECT_EQ(frames + 1, 85);  // 255 to 0 by 3, the last frame returning 0
  EXPECT_EQ(title.GetResult(), 2);
}

TEST(Title, TheSelectedItemBrightensOverThirtyTwoFrames) {
  SceneServices s;
  Title title;
  ASSERT_EQ(title.Start(), 1);
  Input({});
  EXPECT_EQ(title.highlight, 96);
  for (int i = 0; i < 31; ++i) title.Draw();
  EXPECT_EQ(title.highlight, 251);
  title.Draw();
  EXPECT_EQ(title.highlight, 255);
}

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

TEST(ScriptedScene, ConfirmShowsThePageThenMovesOnAndTheLastPageFadesOut) {
  SceneServices s;
  Opening opening;
  ASSERT_EQ(opening.Start(), 1);
  ASSERT_GT(opening.pages.size(), 2u);
  Input({DIK_RETURN});
  opening.Update();
  EXPECT_EQ(opening.pageIndex, 0);  // fading in: no advance
  Input({});
  for (int i = 0; i < 64; ++i) {
    opening.Draw();
    EXPECT_EQ(opening.shown, 0);  // no typing before the fade-in is done
    opening.Update();
  }
  EXPECT_EQ(opening.fade, 255);
  for (int i = 0; i < 5; ++i) opening.Draw();
  EXPECT_GT(opening.shown, 0);
  EXPECT_LT(opening.shown, opening.length);
  Input({DIK_RETURN});
  opening.Update();
  EXPECT_EQ(opening.shown, opening.length);  // the whole page at once
  EXPECT_EQ(opening.pageIndex, 0);
  Input({});
  opening.Update();
  Input({DIK_RETURN});
  opening.Update();
  EXPECT_EQ(opening.pageIndex, 1);
  EXPECT_EQ(opening.shown, 0);
  // Confirm through the rest; after the last page the scene fades out.
  int frames = 0;
  while (!opening.finished && frames < 1000) {
    Input({});
    opening.Update();
    Input({DIK_RETURN});
    opening.Update();
    frames += 2;
  }
  ASSERT_EQ(opening.finished, 1);
  Input({});
  int out = 0;
  while (opening.Update()) ++out;
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

TEST(EventFile, PagesOfTheAskedEventOnly) {
  const std::string file = Sjis(
      "1\n"
      "p,最初,二行目\n"
      "scane_end\n"
      "2,おまけの文字\n"
      "e,はい\n"
      "x,読まない\n"
      "t,天帝\n"
      "scane_end\n"
      "all_end\n"
      "5\n"
      "p,届かない\n");
  int allEnd = -1;
  std::vector<EventPage> pages = Event::ParsePages(file, 1, &allEnd);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0].text, Sjis("最初\n二行目\n"));
  EXPECT_EQ(allEnd, 0);
  pages = Event::ParsePages(file, 2, &allEnd);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].kind, 1);
  EXPECT_EQ(pages[1].kind, 2);
  pages = Event::ParsePages(file, 5, &allEnd);
  EXPECT_TRUE(pages.empty());
  EXPECT_EQ(allEnd, 1);
}

TEST(EventWindow, AOnePageEventClosesOnTheSecondConfirmAndAMissingOneStillEnds) {
  SceneServices s;
  ASSERT_EQ(GameSound::Load(), 1);
  for (int number : {5, 99}) {
    SCOPED_TRACE(number);
    Event event;
    ASSERT_EQ(event.LoadTextures(), 1);
    ASSERT_EQ(event.Load(number), 1);
    // Confirming while the window slides in does nothing.
    Input({DIK_RETURN});
    event.Update();
    EXPECT_EQ(event.shown, 0);
    EXPECT_EQ(event.windowPhase, Event::kSlidingIn);
    Input({});
    int frames = 0;
    while (event.windowPhase != Event::kOpen && frames++ < 100) event.Update();
    ASSERT_EQ(event.windowPhase, Event::kOpen);
    if (number == 5) {
      ASSERT_EQ(event.pages.size(), 2u);
      Input({DIK_RETURN});
      event.Update();  // shows the first page whole
      Input({});
      event.Update();
      Input({DIK_RETURN});
      event.Update();  // to the second, the last
      EXPECT_EQ(event.state, Event::kLastPage);
      Input({});
      event.Update();
    }
    Input({DIK_RETURN});
    event.Update();
    if (number == 5) {
      Input({});
      event.Update();
      Input({DIK_RETURN});
      event.Update();
    }
    EXPECT_EQ(event.windowPhase, Event::kSlidingOut);
    Input({});
    frames = 0;
    while (event.windowPhase != Event::kClosed && frames++ < 100) event.Update();
    EXPECT_TRUE(event.Ended());
    EXPECT_EQ(event.state, number == 5 ? Event::kEnded : Event::kNoEvent);
  }
  GameSound::Release();
}

TEST(EventWindow, TypingNeverSplitsADoubleByteCharacter) {
  const std::string text = Sjis("aあい\nう");
  std::vector<int> seen;
  int shown = 0;
  for (int i = 0; i < 5; ++i) {
    shown = Event::NextShown(text, shown, static_cast<int>(text.size()));
    seen.push_back(shown);
  }
  EXPECT_EQ(seen[0], 3);  // "a" and "あ" (2 bytes would end inside "あ")
  EXPECT_EQ(seen[1], 6);  // "い" and the line break
  EXPECT_EQ(seen[2], 8);
}

TEST(Credit, ConfirmTogglesTheSpeedAndTheEndHoldsThreeSeconds) {
  SceneServices s;
  Credit credit;
  ASSERT_EQ(credit.Start(), 1);
  Input({DIK_RETURN});
  credit.Update();
  EXPECT_FLOAT_EQ(credit.speed, 2.25f);  // fading in: no effect
  Input({});
  while (credit.phase == Credit::kFadingIn) credit.Update();
  Input({DIK_RETURN});
  credit.Update();
  EXPECT_FLOAT_EQ(credit.speed, 10.0f);
  Input({});
  credit.Update();
  Input({DIK_RETURN});
  credit.Update();
  EXPECT_FLOAT_EQ(credit.speed, 2.25f);
  Input({});
  int frames = 0;
  while (credit.position.y > credit.endY) {
    credit.Update();
    ++frames;
  }
  EXPECT_FLOAT_EQ(credit.position.y, credit.endY);
  int hold = 1;
  while (credit.phase == Credit::kScrolling) {
    credit.Update();
    ++hold;
  }
  EXPECT_EQ(hold, 180);
  int out = 0;
  while (credit.Update()) ++out;
  EXPECT_EQ(out, 127);  // 255 down by 2 a frame
}

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

TEST(InfoPanel, AdjacentBoardsSwitchTheTextAndFarOnesAreNotTouched) {
  SceneServices s;
  ASSERT_EQ(GameSound::Load(), 1);
  ResetRunState();
  InfoBoard a(1), b(2);
  a.position = {0, 0.5f, 0};
  b.position = {1, 0.5f, 0};
  Player player;
  player.position = {0.2f, 0.5f, 0};
  a.Action(&player);
  b.Action(&player);
  EXPECT_EQ(a.touching, 1);
  EXPECT_EQ(GetInfoPanel().phase, InfoPanel::kSlidingIn);
  EXPECT_EQ(World().boardReading, 1);
  player.position.x = 1.1f;  // stepped straight onto the next board
  a.Action(&player);
  b.Action(&player);
  EXPECT_EQ(a.touching, 0);
  EXPECT_EQ(b.touching, 1);
  EXPECT_EQ(World().activeBoard, 2);
  EXPECT_NE(GetInfoPanel().phase, InfoPanel::kSlidingOut);
  // Directly above, more than one unit up: not touched.
  player.position = {1, 1.6f, 0};
  b.Action(&player);
  EXPECT_EQ(b.touching, 0);
  EXPECT_EQ(GetInfoPanel().phase, InfoPanel::kSlidingOut);
  EXPECT_EQ(World().boardReading, 0);
  // While the player is blown away no board reacts.
  SetGameMode(kModeBlownAway);
  player.position = {1, 0.5f, 0};
  b.Action(&player);
  EXPECT_EQ(b.touching, 0);
  GameSound::Release();
}

TEST(InfoPanel, ABoardOnlyAsksForThePanelWhichIsDrawnOverTheWorldOncePerFrame) {
  SceneServices s;
  ASSERT_EQ(GameSound::Load(), 1);
  ASSERT_EQ(LoadSharedAssets(), 1);
  ResetRunState();
  InfoBoard board(2);
  board.position = {0, 0.5f, 0};
  Player player;
  player.position = {0, 0.5f, 0};
  board.Action(&player);
  board.Draw();
  EXPECT_FLOAT_EQ(GetInfoPanel().position.y, 720);  // not drawn with the world
  FlushInfoPanel();
  EXPECT_FLOAT_EQ(GetInfoPanel().position.y, 720 + (508 - 720) / 4.0f);
  FlushInfoPanel();  // nothing asked since
  EXPECT_FLOAT_EQ(GetInfoPanel().position.y, 720 + (508 - 720) / 4.0f);
  EXPECT_EQ(GetInfoPanel().currentText, 2);
  ReleaseSharedAssets();
  GameSound::Release();
}
