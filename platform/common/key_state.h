// The keyboard as the game reads it once a frame, kept from the key events a
// backend sees. A key held now reads as held. A key that went down and up
// again since the last read still reads as held for that one read, so a tap
// shorter than a frame counts as one press. A key that completed a window
// shortcut (Return in Alt+Enter) reads as up until it is released, so the
// shortcut never reaches the game as a key of its own.
#pragma once

#include <cstdint>

class KeyState {
 public:
  void KeyDown(int dik);
  void KeyUp(int dik);
  // The key went down as the last key of a window shortcut.
  void Shortcut(int dik);
  // Every key up at once (the window lost the keyboard's focus).
  void ReleaseAll();
  // The 256 DirectInput bytes for this frame (0x80 when down); forgets the
  // taps it reported.
  void Read(uint8_t keys[256]);
  bool IsHeld(int dik) const;

 private:
  uint8_t held_[256] = {};
  uint8_t tapped_[256] = {};    // went down since the last read
  uint8_t shortcut_[256] = {};  // reads as up until released
};
