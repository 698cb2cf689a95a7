// Keyboard and pad snapshots: presses against holds, the stick's dead zone and
// scale, and what a missing pad leaves.
#include "platform/input.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/common/key_state.h"

TEST(Input, AKeyHeldThroughTwoFramesIsPressedOnlyInTheFirst) {
  uint8_t up[256] = {}, down[256] = {};
  down[DIK_RETURN] = 0x80;
  InputFrame frame = InputFrame{}.Next(up, PadRecord{});
  frame = frame.Next(down, PadRecord{});
  EXPECT_TRUE(frame.KeyPressed(DIK_RETURN));
  EXPECT_TRUE(frame.KeyDown(DIK_RETURN));
  frame = frame.Next(down, PadRecord{});
  EXPECT_FALSE(frame.KeyPressed(DIK_RETURN));
  EXPECT_TRUE(frame.KeyDown(DIK_RETURN));
  frame = frame.Next(up, PadRecord{});
  EXPECT_FALSE(frame.KeyDown(DIK_RETURN));
  EXPECT_FALSE(frame.KeyPressed(DIK_RETURN));
}

TEST(Input, PadButtonsArePressedLikeKeysAndSticksReadFromTheFrame) {
  const uint8_t keys[256] = {};
  PadRecord idle, a;
  idle.connected = a.connected = 1;
  a.state.Gamepad.wButtons = XINPUT_GAMEPAD_A;
  a.state.Gamepad.sThumbRY = 20000;
  InputFrame frame = InputFrame{}.Next(keys, idle).Next(keys, a);
  EXPECT_TRUE(frame.PadPressed(XINPUT_GAMEPAD_A));
  EXPECT_FLOAT_EQ(frame.RightStick().y, 1.0f);
  EXPECT_EQ(frame.LeftStick().x, 0.0f);
  frame = frame.Next(keys, a);
  EXPECT_FALSE(frame.PadPressed(XINPUT_GAMEPAD_A));
  EXPECT_TRUE(frame.PadDown(XINPUT_GAMEPAD_A));
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

// The keyboard kept from key events, as the backends read it each frame.
TEST(KeyState, ATapBetweenTwoReadsCountsAsOnePress) {
  KeyState k;
  uint8_t keys[256];
  k.KeyDown(DIK_SPACE);
  k.KeyUp(DIK_SPACE);  // down and up within one frame
  k.Read(keys);
  EXPECT_EQ(keys[DIK_SPACE], 0x80);
  k.Read(keys);
  EXPECT_EQ(keys[DIK_SPACE], 0);
  // A held key reads as held in every frame until it is released.
  k.KeyDown(DIK_LEFT);
  for (int i = 0; i < 3; ++i) {
    k.Read(keys);
    EXPECT_EQ(keys[DIK_LEFT], 0x80);
  }
  k.KeyUp(DIK_LEFT);
  k.Read(keys);
  EXPECT_EQ(keys[DIK_LEFT], 0);
}

TEST(KeyState, AShortcutsKeyReadsAsUpUntilReleasedAndThenAsUsual) {
  KeyState k;
  uint8_t keys[256];
  k.KeyDown(DIK_LMENU);
  k.KeyDown(DIK_RETURN);  // a backend may see the key before it knows the chord
  k.Shortcut(DIK_RETURN);
  k.Read(keys);
  EXPECT_EQ(keys[DIK_RETURN], 0);
  EXPECT_EQ(keys[DIK_LMENU], 0x80);
  k.KeyDown(DIK_RETURN);  // the key's repeats while it is held
  k.Read(keys);
  EXPECT_EQ(keys[DIK_RETURN], 0);
  k.KeyUp(DIK_RETURN);
  k.KeyDown(DIK_RETURN);  // a Return of its own after the chord
  k.Read(keys);
  EXPECT_EQ(keys[DIK_RETURN], 0x80);
  // Losing the focus lets go of everything, the shortcut's key too.
  k.Shortcut(DIK_RETURN);
  k.ReleaseAll();
  k.KeyDown(DIK_RETURN);
  k.Read(keys);
  EXPECT_EQ(keys[DIK_RETURN], 0x80);
  k.ReleaseAll();
  k.Read(keys);
  EXPECT_EQ(keys[DIK_RETURN], 0);
  EXPECT_EQ(keys[DIK_LMENU], 0);
}

// Prompts follow the device last used: a pad button or a pushed stick makes
// it the pad, a key press the keyboard again; holding, or a resting stick,
// changes nothing, and a pad that is not connected never counts.
TEST(Input, TheLastDeviceUsedIsTheLastOneThatWasPressedOrPushed) {
  uint8_t none[256] = {}, space[256] = {};
  space[DIK_SPACE] = 0x80;
  PadRecord idle, button, stick, unplugged;
  idle.connected = button.connected = stick.connected = 1;
  button.state.Gamepad.wButtons = XINPUT_GAMEPAD_A;
  stick.state.Gamepad.sThumbLX = 20000;
  unplugged.state.Gamepad.wButtons = XINPUT_GAMEPAD_A;
  InputFrame f = InputFrame{}.Next(none, idle);
  EXPECT_EQ(f.lastDevice, InputDevice::kKeyboard) << "the keyboard until the pad is used";
  f = f.Next(none, button);
  EXPECT_EQ(f.lastDevice, InputDevice::kPad);
  f = f.Next(none, button).Next(none, idle);
  EXPECT_EQ(f.lastDevice, InputDevice::kPad) << "holding and letting go keep it";
  f = f.Next(space, idle);
  EXPECT_EQ(f.lastDevice, InputDevice::kKeyboard);
  f = f.Next(space, idle);
  EXPECT_EQ(f.lastDevice, InputDevice::kKeyboard);
  f = f.Next(none, stick);
  EXPECT_EQ(f.lastDevice, InputDevice::kPad) << "a stick past its dead zone";
  f = f.Next(space, stick);
  EXPECT_EQ(f.lastDevice, InputDevice::kKeyboard) << "a key pressed while the stick is held";
  f = f.Next(none, stick);
  EXPECT_EQ(f.lastDevice, InputDevice::kKeyboard) << "the stick held out takes nothing back";
  f = f.Next(none, idle).Next(none, unplugged);
  EXPECT_EQ(f.lastDevice, InputDevice::kKeyboard) << "a pad not connected";
}
