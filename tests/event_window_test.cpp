// The in-game event file and window: the pages of an event, closing, typing.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "render/preload.h"
#include "render/sound_sets.h"
#include "scenes/event.h"
#include "tests/scene_support.h"
#include "tests/test_support.h"
#include "world/game_state.h"
#include "world/run_state.h"

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
  SoundSetCore sounds = GameSoundSet();
  ASSERT_EQ(sounds.Load(), 1);
  for (int number : {5, 99}) {
    SCOPED_TRACE(number);
    Event event;
    ASSERT_EQ(event.LoadTextures(), 1);
    ASSERT_EQ(event.Load(number), 1);
    // Confirming while the window slides in does nothing.
    Input({DIK_RETURN});
    event.Update(sounds, TestInput());
    EXPECT_EQ(event.shown, 0);
    EXPECT_EQ(event.windowPhase, Event::kSlidingIn);
    Input({});
    int frames = 0;
    while (event.windowPhase != Event::kOpen && frames++ < 100) event.Update(sounds, TestInput());
    ASSERT_EQ(event.windowPhase, Event::kOpen);
    if (number == 5) {
      ASSERT_EQ(event.pages.size(), 2u);
      Input({DIK_RETURN});
      event.Update(sounds, TestInput());  // shows the first page whole
      Input({});
      event.Update(sounds, TestInput());
      Input({DIK_RETURN});
      event.Update(sounds, TestInput());  // to the second, the last
      EXPECT_EQ(event.state, Event::kLastPage);
      Input({});
      event.Update(sounds, TestInput());
    }
    Input({DIK_RETURN});
    event.Update(sounds, TestInput());
    if (number == 5) {
      Input({});
      event.Update(sounds, TestInput());
      Input({DIK_RETURN});
      event.Update(sounds, TestInput());
    }
    EXPECT_EQ(event.windowPhase, Event::kSlidingOut);
    Input({});
    frames = 0;
    while (event.windowPhase != Event::kClosed && frames++ < 100) event.Update(sounds, TestInput());
    EXPECT_TRUE(event.Ended());
    EXPECT_EQ(event.state, number == 5 ? Event::kEnded : Event::kNoEvent);
  }
  sounds.Release();
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

// An event asked for in play from a file that has gone or is damaged shows no
// page and closes on a confirm, instead of asking for the file every frame.
TEST(EventWindow, AnEventFromAFileThatCannotBeReadClosesOnAConfirm) {
  SceneServices s;
  SoundSetCore sounds = GameSoundSet();
  ASSERT_EQ(sounds.Load(), 1);
  TempDirectory dir;
  const std::string damaged = dir.Path() + "/event.csv";
  std::ofstream(damaged, std::ios::binary) << "1\np,\x01\x02\nscane_end\n";
  for (const std::string& path : {dir.Path() + "/gone.csv", damaged}) {
    SCOPED_TRACE(path);
    Event event;
    ASSERT_EQ(event.LoadTextures(), 1);
    event.state = Event::kLoadAsked;
    testing::internal::CaptureStderr();
    EXPECT_EQ(event.LoadFrom(path, 1), 0);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(path.substr(path.rfind('/') + 1)), std::string::npos) << err;
    EXPECT_TRUE(event.pages.empty());
    EXPECT_EQ(event.state, Event::kLastPage);
    Input({});
    int frames = 0;
    while (event.windowPhase != Event::kOpen && frames++ < 100) event.Update(sounds, TestInput());
    ASSERT_EQ(event.windowPhase, Event::kOpen);
    Input({DIK_RETURN});
    event.Update(sounds, TestInput());
    EXPECT_EQ(event.windowPhase, Event::kSlidingOut);
  }
  sounds.Release();
}
