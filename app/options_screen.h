// The options screen over the title: the OptionsMenu's rows drawn on a
// darkened picture, in the player's language, with the keys that work it.
#pragma once

#include "app/options_menu.h"
#include "base/language.h"

class OptionsScreen {
 public:
  explicit OptionsScreen(const Settings& settings) : menu_(settings) {}
  OptionsMenu::Effect Update(const InputFrame& input) { return menu_.Update(input); }
  const OptionsMenu& Menu() const { return menu_; }
  // Begins and ends its own sprite batch.
  void Draw(Language language) const;

 private:
  OptionsMenu menu_;
};

// The hint the title shows for reaching the screen.
void DrawOptionsHint(Language language);
