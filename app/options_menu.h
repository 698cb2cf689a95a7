// The options screen's rules, without its drawing: which item the cursor is
// on, what each key or button does to it, and the settings it edits. The
// screen reads the frame's input with the player's bindings cleared (so a
// key being bound is the physical one, and the menu answers to the arrow
// keys, Return and Backspace, the pad's d-pad or left stick, A and B).
// Escape and the pad's BACK are not the menu's: the application keeps them
// for ending the program.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "app/settings.h"
#include "platform/input.h"

class OptionsMenu {
 public:
  // The items of the first page, in order.
  enum Item {
    kMusicVolume,
    kEffectsVolume,
    kDisplay,     // window or full screen
    kWindowSize,  // the window's size when not in full screen
    kLanguage,    // Japanese, English or the system's
    kKeys,        // opens the key bindings
    kPad,         // opens the pad bindings
    kDefaults,    // back to the defaults, after asking
    kBack,        // leaves the screen
    kItemCount
  };
  enum class Page { kMain, kKeys, kPad };
  // What is waited for besides moving: a key or a button to bind, or the
  // answer to "back to the defaults?" (cursor on yes or no).
  enum class Waiting { kNothing, kKey, kButton, kConfirmDefaults };
  // What an update asks of the screen around it.
  enum class Effect { kNone, kVolumeChanged, kLeave };

  // windowSizeIsTheHosts: the window's size is not the game's to choose (in
  // a browser the page sizes it), so its row says so and does not change.
  explicit OptionsMenu(const Settings& settings, bool windowSizeIsTheHosts = false);

  Effect Update(const InputFrame& input);

  const Settings& Edited() const { return settings_; }
  Page CurrentPage() const { return page_; }
  int Cursor() const { return cursor_; }
  Waiting WaitingFor() const { return waiting_; }
  bool DefaultsAnswerIsYes() const { return yes_; }
  // The rows of the page being shown: each row's label and value, in the
  // language given.
  std::vector<std::pair<std::string, std::string>> Rows(Language language) const;

  // The window sizes offered: 16:9 sizes from 1280x720 up, with the
  // current size among them in its place when it is none of them.
  static std::vector<std::pair<int, int>> WindowSizes(int currentWidth, int currentHeight);

 private:
  int RowCount() const;
  Effect UpdateMain(bool left, bool right, bool confirm);
  void Bind(const InputFrame& input);

  Settings settings_;
  bool windowSizeIsTheHosts_;
  Page page_ = Page::kMain;
  int cursor_ = 0;
  Waiting waiting_ = Waiting::kNothing;
  bool yes_ = false;
  int repeat_ = 0;  // frames an up or down has been held
};
