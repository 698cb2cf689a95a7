// The player's settings: a plain-text file in the user's config folder
// ($XDG_CONFIG_HOME/orvelune/settings.txt), one "key = value" per line, "#"
// starting a comment. Read at start; a missing file is written with the
// defaults so the player can find and edit it. A bad value gives one warning
// naming its key and leaves that key at its default; unknown keys are
// ignored with a warning.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/language.h"
#include "platform/bindings.h"

struct Settings {
  int musicVolume = 100;    // 0 to 100
  int effectsVolume = 100;  // 0 to 100
  bool fullscreen = false;
  int windowWidth = 1280;  // the window's size when not full screen
  int windowHeight = 720;
  InputBindings bindings = InputBindings::Defaults();
  std::optional<Language> language;  // unset ("auto"): the system's locale decides
};

// Reads settings text over the defaults; each problem adds one warning
// ("NAME:LINE: ...").
Settings ParseSettings(const std::string& text, const std::string& name,
                       std::vector<std::string>* warnings);
// The text of a settings file (every key, with comments).
std::string FormatSettings(const Settings& settings);
// Every key the file holds and its value's text, in the file's order.
std::vector<std::pair<std::string, std::string>> SettingsValues(const Settings& settings);
// A settings file's text with the values of these settings: every line
// naming a known key gets its value, and nothing else changes (comments,
// blank lines, spacing, unknown or broken lines, line ends); keys the text
// lacks are added at its end.
std::string UpdateSettingsText(const std::string& text, const Settings& settings);

// The settings file's path (empty when there is no config folder).
std::string SettingsPath();
// Reads the file at path, or writes the defaults there when it is missing.
// Warnings go to stderr.
Settings LoadSettings(const std::string& path);
// Sets what the platform takes from the settings: the key and pad bindings
// and the volumes (the window's are the backend's, at its start).
void ApplySettings(const Settings& settings);
// Writes these settings to the file at path, atomically: the file's own text
// updated (UpdateSettingsText), or the full default layout when there is no
// file. False with the reason, naming the file, when it cannot.
bool SaveSettings(const std::string& path, const Settings& settings, std::string* error);
