// The player's own keys and pad buttons. The game asks for its actions by
// their default key (DIK_SPACE to select, DIK_P to pause, ...); a binding
// says which physical key or button stands for that action, and the input
// snapshot is rewritten once per frame so the game sees its default key.
// With no bindings set (the runner, the tests) input passes unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct KeyAction {
  const char* name;  // the settings key after "key."
  int gameKey;       // the DIK code the game reads
};
struct PadAction {
  const char* name;     // the settings key after "pad."
  uint16_t gameButton;  // the XInput bit the game reads
};

// Every rebindable action, in the order the settings file lists them.
const std::vector<KeyAction>& KeyActions();
const std::vector<PadAction>& PadActions();

struct InputBindings {
  // Physical key for each entry of KeyActions(), button for PadActions().
  std::vector<int> keys;
  std::vector<uint16_t> buttons;
  // The defaults: each action on its own game key and button.
  static InputBindings Defaults();
};

// Rebinding one action (the options screen): the action takes the key, and
// the action that had that key takes this one's old key, so a key never
// stands for two actions. Escape is the quit key and is refused, as is a
// code outside 1 to 255; a refusal changes nothing and is false.
bool BindKey(InputBindings& bindings, size_t action, int key);
// The same for a pad button (one XInput bit); BACK is the quit button and
// is refused.
bool BindButton(InputBindings& bindings, size_t action, uint16_t button);

void SetInputBindings(const InputBindings& bindings);
// Back to passing input unchanged.
void ClearInputBindings();
// The keyboard array the game sees for a physical one.
void ApplyKeyBindings(const uint8_t physical[256], uint8_t game[256]);
// The button bits the game sees for the physical ones.
uint16_t ApplyPadBindings(uint16_t physical);
