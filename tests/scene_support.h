// What the scene tests share: the input frame they play and the services a
// scene needs, run from the generated resources.
#pragma once

#include <initializer_list>
#include <string>

#include "base/text_encoding.h"
#include "platform/input.h"
#include "tests/test_support.h"

// The input frame the scene tests hand the scene under test.
inline InputFrame& TestInput() {
  static InputFrame frame;
  return frame;
}

// Makes the next frame: these keys held (pressed if they were up before) and
// the left stick at (stickX, stickY); a pad is connected while it is pushed.
inline void InputWithStick(std::initializer_list<int> keys, float stickX, float stickY) {
  uint8_t k[256] = {};
  for (int key : keys) k[key] = 0x80;
  PadRecord pad;
  pad.connected = stickX != 0 || stickY != 0;
  pad.state.Gamepad.sThumbLX = static_cast<short>(stickX * 20000);
  pad.state.Gamepad.sThumbLY = static_cast<short>(stickY * 20000);
  TestInput() = TestInput().Next(k, pad);
}
inline void Input(std::initializer_list<int> keys, float stickY = 0) {
  InputWithStick(keys, 0, stickY);
}

struct SceneServices {
  HeadlessServices services{true, true, false};
  ScopedWorkingDirectory run{RunDirectory()};
};

inline std::string Sjis(const char* utf8) {
  return Utf8ToSjis(utf8);
}
