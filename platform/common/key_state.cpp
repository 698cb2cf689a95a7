#include "platform/common/key_state.h"

#include <cstring>

namespace {
bool Valid(int dik) {
  return dik > 0 && dik < 256;
}
}  // namespace

void KeyState::KeyDown(int dik) {
  if (!Valid(dik) || shortcut_[dik]) return;
  held_[dik] = 1;
  tapped_[dik] = 1;
}

void KeyState::KeyUp(int dik) {
  if (!Valid(dik)) return;
  held_[dik] = 0;
  shortcut_[dik] = 0;
}

void KeyState::Shortcut(int dik) {
  if (!Valid(dik)) return;
  held_[dik] = 0;
  tapped_[dik] = 0;
  shortcut_[dik] = 1;
}

void KeyState::ReleaseAll() {
  std::memset(held_, 0, sizeof held_);
  std::memset(shortcut_, 0, sizeof shortcut_);
}

void KeyState::Read(uint8_t keys[256]) {
  for (int i = 0; i < 256; ++i) keys[i] = (held_[i] || tapped_[i]) ? 0x80 : 0;
  std::memset(tapped_, 0, sizeof tapped_);
}

bool KeyState::IsHeld(int dik) const {
  return Valid(dik) && held_[dik];
}
