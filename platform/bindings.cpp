#include "platform/bindings.h"

#include <cstring>

#include "platform/input_types.h"

namespace {

bool g_active = false;
InputBindings g_bindings;

}  // namespace

const std::vector<KeyAction>& KeyActions() {
  static const std::vector<KeyAction> actions = {
      {"up", DIK_UP},         {"down", DIK_DOWN},      {"left", DIK_LEFT},
      {"right", DIK_RIGHT},   {"select", DIK_SPACE},   {"flip", DIK_M},
      {"camera_left", DIK_A}, {"camera_right", DIK_S}, {"camera_up", DIK_W},
      {"camera_down", DIK_Z}, {"camera_back", DIK_Q},  {"confirm", DIK_RETURN},
      {"pause", DIK_P},
  };
  return actions;
}

const std::vector<PadAction>& PadActions() {
  static const std::vector<PadAction> actions = {
      {"select", XINPUT_GAMEPAD_RIGHT_SHOULDER},
      {"flip", XINPUT_GAMEPAD_LEFT_SHOULDER},
      {"camera_back", XINPUT_GAMEPAD_RIGHT_THUMB},
      {"confirm", XINPUT_GAMEPAD_A},
      {"pause", XINPUT_GAMEPAD_START},
  };
  return actions;
}

InputBindings InputBindings::Defaults() {
  InputBindings b;
  for (const KeyAction& a : KeyActions()) b.keys.push_back(a.gameKey);
  for (const PadAction& a : PadActions()) b.buttons.push_back(a.gameButton);
  return b;
}

namespace {

// The action takes code; whoever had it takes the action's old code.
template <typename Code>
void Swap(std::vector<Code>& codes, size_t action, Code code) {
  for (Code& other : codes)
    if (other == code) other = codes[action];
  codes[action] = code;
}

}  // namespace

bool BindKey(InputBindings& bindings, size_t action, int key) {
  if (action >= bindings.keys.size() || key <= 0 || key > 255 || key == DIK_ESCAPE) return false;
  Swap(bindings.keys, action, key);
  return true;
}

bool BindButton(InputBindings& bindings, size_t action, uint16_t button) {
  const bool oneBit = button != 0 && (button & (button - 1)) == 0;
  if (action >= bindings.buttons.size() || !oneBit || button == XINPUT_GAMEPAD_BACK) return false;
  Swap(bindings.buttons, action, button);
  return true;
}

void SetInputBindings(const InputBindings& bindings) {
  g_bindings = bindings;
  g_bindings.keys.resize(KeyActions().size(), 0);
  g_bindings.buttons.resize(PadActions().size(), 0);
  g_active = true;
}

void ClearInputBindings() {
  g_active = false;
}

void ApplyKeyBindings(const uint8_t physical[256], uint8_t game[256]) {
  std::memcpy(game, physical, 256);
  if (!g_active) return;
  const std::vector<KeyAction>& actions = KeyActions();
  // An action's game key reads its bound key; a key bound to an action away
  // from its own game key no longer acts as that key itself.
  for (const KeyAction& a : actions) game[a.gameKey] = 0;
  for (size_t i = 0; i < actions.size(); ++i) {
    const int key = g_bindings.keys[i];
    if (key > 0 && key < 256) game[actions[i].gameKey] |= physical[key];
  }
}

uint16_t ApplyPadBindings(uint16_t physical) {
  if (!g_active) return physical;
  uint16_t game = physical;
  const std::vector<PadAction>& actions = PadActions();
  for (const PadAction& a : actions) game &= static_cast<uint16_t>(~a.gameButton);
  for (size_t i = 0; i < actions.size(); ++i)
    if (physical & g_bindings.buttons[i]) game |= actions[i].gameButton;
  return game;
}
