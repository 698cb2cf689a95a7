// Keyboard and pad snapshots: presses against holds, the stick's dead zone and
// scale, and what a missing pad leaves.
#include "platform/input.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct Frame {
  uint8_t keys[256] = {};
  PadRecord pad;
};

void Feed(const Frame& f) {
  SetInputStateForTest(f.keys, f.pad);
}

}  // namespace

TEST(Input, AKeyHeldThroughTwoFramesIsPressedOnlyInTheFirst) {
  Frame up, down;
  down.keys[DIK_RETURN] = 0x80;
  Feed(up);
  Feed(down);
  EXPECT_TRUE(IsKeyPressed(DIK_RETURN));
  EXPECT_TRUE(IsKeyDown(DIK_RETURN));
  Feed(down);
  EXPECT_FALSE(IsKeyPressed(DIK_RETURN));
  EXPECT_TRUE(IsKeyDown(DIK_RETURN));
  Feed(up);
  EXPECT_FALSE(IsKeyDown(DIK_RETURN));
}

TEST(Input, PadButtonsArePressedLikeKeys) {
  Frame idle, a;
  idle.pad.connected = a.pad.connected = 1;
  a.pad.state.Gamepad.wButtons = XINPUT_GAMEPAD_A;
  Feed(idle);
  Feed(a);
  EXPECT_TRUE(IsPadPressed(XINPUT_GAMEPAD_A));
  Feed(a);
  EXPECT_FALSE(IsPadPressed(XINPUT_GAMEPAD_A));
  EXPECT_TRUE(IsPadDown(XINPUT_GAMEPAD_A));
}

TEST(Input, SticksHaveADeadZoneAndAScaleOfTwentyThousand) {
  PadRecord pad;
  pad.connected = 1;
  Vec2 out;
  pad.state.Gamepad.sThumbLX = 7000;
  pad.state.Gamepad.sThumbLY = -7000;
  out = {5, 5};
  GetLeftStick(&pad, &out);
  EXPECT_EQ(out.x, 0.0f);  // only x is written inside the dead zone
  EXPECT_EQ(out.y, 5.0f);
  pad.state.Gamepad.sThumbLX = 8000;
  pad.state.Gamepad.sThumbLY = 0;
  out = {};
  GetLeftStick(&pad, &out);
  EXPECT_FLOAT_EQ(out.x, 0.4f);
  EXPECT_FLOAT_EQ(out.y, 0.0f);
  // One axis outside the zone is enough; full deflection reads about 1.64.
  pad.state.Gamepad.sThumbRX = 0;
  pad.state.Gamepad.sThumbRY = 32767;
  out = {};
  GetRightStick(&pad, &out);
  EXPECT_NEAR(out.y, 1.63835f, 1e-5f);
}

TEST(Input, NoPadLeavesTheCallersZeros) {
  PadRecord pad;
  pad.connected = 0;
  pad.state.Gamepad.sThumbLX = 30000;
  Vec2 out{};
  GetLeftStick(&pad, &out);
  EXPECT_EQ(out.x, 0.0f);
  EXPECT_EQ(out.y, 0.0f);
}
