// The title menu driven alone frame by frame: the fade-in, the cursor, the
// brightening of the chosen item.
#include "scenes/title.h"

#include <gtest/gtest.h>

#include <cstring>

#include "render/preload.h"
#include "render/sound_sets.h"
#include "tests/scene_support.h"
#include "world/game_state.h"
#include "world/run_state.h"

TEST(Title, ConfirmWaitsForTheFadeInThenTheCursorRepeatsEveryEightFrames) {
  SceneServices s;
  Title title;
  ASSERT_EQ(title.Start(), 1);
  Input({DIK_RETURN});
  title.Update(TestInput());
  EXPECT_EQ(title.decided, 0);  // still fading in
  Input({});
  for (int i = 0; i < 84; ++i) title.Update(TestInput());
  EXPECT_EQ(title.fade, 255);
  title.Update(TestInput());  // a frame without input arms the next press
  Input({DIK_DOWN});
  title.Update(TestInput());
  EXPECT_EQ(title.cursor, 1);  // at once
  for (int i = 0; i < 7; ++i) title.Update(TestInput());
  EXPECT_EQ(title.cursor, 1);
  title.Update(TestInput());
  EXPECT_EQ(title.cursor, 2);  // then every eighth frame
  for (int i = 0; i < 8; ++i) title.Update(TestInput());
  EXPECT_EQ(title.cursor, 0);  // wrapping from the last item to the first
  Input({DIK_UP});
  for (int i = 0; i < 8; ++i) title.Update(TestInput());
  EXPECT_EQ(title.cursor, 2);
  // A stick tilt of exactly 0.8 does not move it.
  Input({});
  title.Update(TestInput());
  Input({}, -0.8f);
  for (int i = 0; i < 20; ++i) title.Update(TestInput());
  EXPECT_EQ(title.cursor, 2);
  // The chosen item fades out with the picture; the scene ends below 1.
  Input({DIK_RETURN});
  title.Update(TestInput());
  EXPECT_EQ(title.decided, 1);
  Input({});
  int frames = 1;
  while (title.Update(TestInput())) ++frames;
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
