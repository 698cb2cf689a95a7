// The credits: the speed toggle and the hold at the end.
#include "scenes/credit.h"

#include <gtest/gtest.h>

#include <cstring>

#include "render/preload.h"
#include "render/sound_sets.h"
#include "tests/scene_support.h"
#include "world/game_state.h"
#include "world/run_state.h"

TEST(Credit, ConfirmTogglesTheSpeedAndTheEndHoldsThreeSeconds) {
  SceneServices s;
  Credit credit;
  ASSERT_EQ(credit.Start(), 1);
  Input({DIK_RETURN});
  credit.Update(TestInput());
  EXPECT_FLOAT_EQ(credit.speed, 2.25f);  // fading in: no effect
  Input({});
  while (credit.phase == Credit::kFadingIn) credit.Update(TestInput());
  Input({DIK_RETURN});
  credit.Update(TestInput());
  EXPECT_FLOAT_EQ(credit.speed, 10.0f);
  Input({});
  credit.Update(TestInput());
  Input({DIK_RETURN});
  credit.Update(TestInput());
  EXPECT_FLOAT_EQ(credit.speed, 2.25f);
  Input({});
  int frames = 0;
  while (credit.position.y > credit.endY) {
    credit.Update(TestInput());
    ++frames;
  }
  EXPECT_FLOAT_EQ(credit.position.y, credit.endY);
  int hold = 1;
  while (credit.phase == Credit::kScrolling) {
    credit.Update(TestInput());
    ++hold;
  }
  EXPECT_EQ(hold, 180);
  int out = 0;
  while (credit.Update(TestInput())) ++out;
  EXPECT_EQ(out, 127);  // 255 down by 2 a frame
}
