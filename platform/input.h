// The keyboard and pad 0, read once per update into an input frame that the
// application hands to the scene, and the scene to what it drives. A press is
// down now and up in the previous frame.
#pragma once

#include <cstdint>

#include "base/math.h"
#include "platform/backend.h"
#include "platform/input_types.h"

// One update's input with the bindings applied: the keys and pad 0 now and
// in the update before. Game objects read the frame they are handed; tests
// build frames directly.
// The device the player last used, for prompts that name its keys or buttons.
enum class InputDevice { kKeyboard, kPad };

struct InputFrame {
  uint8_t keys[256] = {};
  uint8_t prevKeys[256] = {};
  PadRecord pad;
  PadRecord prevPad;
  // A key pressed makes it the keyboard, a button pressed or a stick pushed
  // out of its dead zone the pad; a frame with neither keeps the one before
  // (so a stick held out does not take it back from a key).
  InputDevice lastDevice = InputDevice::kKeyboard;

  bool KeyDown(int dik) const { return (keys[dik] & 0x80) != 0; }
  bool KeyPressed(int dik) const { return KeyDown(dik) && (prevKeys[dik] & 0x80) == 0; }
  bool PadDown(uint16_t button) const { return (pad.state.Gamepad.wButtons & button) != 0; }
  bool PadPressed(uint16_t button) const {
    return PadDown(button) && (prevPad.state.Gamepad.wButtons & button) == 0;
  }
  // The thumb sticks as GetLeftStick and GetRightStick read them, from (0, 0).
  Vec2 LeftStick() const;
  Vec2 RightStick() const;
  // The frame after this one, with these keys and this pad state now.
  InputFrame Next(const uint8_t* nowKeys, const PadRecord& nowPad) const;
};

int InitKeyboard(GameWindow* window);
void ReleaseKeyboard();
// Reads the keyboard and pad into the next input frame.
void UpdateInput();
// The frame the last UpdateInput made.
const InputFrame& CurrentInput();

// The thumb sticks of a pad record: nothing is written when the pad is not
// connected; inside the dead zone only out.x is set to 0; otherwise each axis
// divided by 20000 (y up positive). Callers set out to (0, 0) first.
void GetLeftStick(const PadRecord* pad, Vec2* out);
void GetRightStick(const PadRecord* pad, Vec2* out);
