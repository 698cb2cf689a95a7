// Keyboard and pad 0 snapshots, taken once per frame: the current and the
// previous key arrays and pad records. Users test raw bits themselves; a press
// is down now and up in the previous frame.
#pragma once

#include <cstdint>

#include "base/math.h"
#include "platform/backend.h"
#include "platform/input_types.h"

int InitKeyboard(GameWindow* window);
void ReleaseKeyboard();
void UpdateInput();

const uint8_t* GetKeyState();
const uint8_t* GetPrevKeyState();
const PadRecord* GetPadState();
const PadRecord* GetPrevPadState();

// The thumb sticks of a pad record: nothing is written when the pad is not
// connected; inside the dead zone only out.x is set to 0; otherwise each axis
// divided by 20000 (y up positive). Callers set out to (0, 0) first.
void GetLeftStick(const PadRecord* pad, Vec2* out);
void GetRightStick(const PadRecord* pad, Vec2* out);

// Small helpers over the snapshots.
inline bool IsKeyDown(int dik) {
  return (GetKeyState()[dik] & 0x80) != 0;
}
inline bool IsKeyPressed(int dik) {
  return (GetKeyState()[dik] & 0x80) != 0 && (GetPrevKeyState()[dik] & 0x80) == 0;
}
inline bool IsPadDown(uint16_t button) {
  return (GetPadState()->state.Gamepad.wButtons & button) != 0;
}
inline bool IsPadPressed(uint16_t button) {
  return (GetPadState()->state.Gamepad.wButtons & button) != 0 &&
         (GetPrevPadState()->state.Gamepad.wButtons & button) == 0;
}

// Test support: replaces the snapshots as if a frame had read these values.
void SetInputStateForTest(const uint8_t* keys, const PadRecord& pad);
