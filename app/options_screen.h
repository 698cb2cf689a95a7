// The options screen over the title: the OptionsMenu's rows drawn on a
// darkened picture, in the player's language, with the keys that work it.
#pragma once

#include "app/options_menu.h"
#include "base/language.h"

class OptionsScreen {
 public:
  // duringStage: opened from the pause menu, where a new language waits for
  // the title (a stage keeps the pictures and texts it loaded).
  // windowSizeIsTheHosts: as for OptionsMenu.
  OptionsScreen(const Settings& settings, bool duringStage, bool windowSizeIsTheHosts = false)
      : menu_(settings, windowSizeIsTheHosts), duringStage_(duringStage) {}
  OptionsMenu::Effect Update(const InputFrame& input) { return menu_.Update(input); }
  const OptionsMenu& Menu() const { return menu_; }
  // Begins and ends its own sprite batch; the hints name the keys, or the
  // pad's buttons when the pad was used last.
  void Draw(Language language, InputDevice prompts) const;

 private:
  OptionsMenu menu_;
  bool duringStage_;
};

// The hint for reaching the screen, right-aligned at x with its top at y:
// Tab, or the pad's Y when the pad was used last.
void DrawOptionsHint(Language language, InputDevice prompts, int x, int y);
