// The settings file is text a player edits: any bytes must read into values
// within their ranges, and what the game writes must read back the same with
// no warning; the player's text updated with other values must read back as
// those values.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> warnings;
  const Settings s = ParseSettings(text, "fuzz", &warnings);
  if (s.musicVolume < 0 || s.musicVolume > 100 || s.effectsVolume < 0 || s.effectsVolume > 100)
    std::abort();
  if (s.windowWidth < 320 || s.windowHeight < 320) std::abort();
  if (s.bindings.keys.size() != KeyActions().size()) std::abort();
  for (int key : s.bindings.keys)
    if (key <= 0 || key > 255) std::abort();
  std::vector<std::string> again;
  const Settings back = ParseSettings(FormatSettings(s), "written", &again);
  if (!again.empty() || back.musicVolume != s.musicVolume || back.fullscreen != s.fullscreen ||
      back.windowWidth != s.windowWidth || back.bindings.keys != s.bindings.keys ||
      back.bindings.buttons != s.bindings.buttons)
    std::abort();
  Settings other = s;
  other.musicVolume = 100 - s.musicVolume;
  other.fullscreen = !s.fullscreen;
  other.windowWidth = s.windowWidth == 1280 ? 1920 : 1280;
  other.language = s.language ? std::nullopt : std::optional<Language>(Language::kEnglish);
  std::swap(other.bindings.keys[0], other.bindings.keys[1]);
  std::swap(other.bindings.buttons[0], other.bindings.buttons[1]);
  std::vector<std::string> ignored;
  const Settings updated = ParseSettings(UpdateSettingsText(text, other), "updated", &ignored);
  if (updated.musicVolume != other.musicVolume || updated.effectsVolume != other.effectsVolume ||
      updated.fullscreen != other.fullscreen || updated.windowWidth != other.windowWidth ||
      updated.windowHeight != other.windowHeight || updated.language != other.language ||
      updated.bindings.keys != other.bindings.keys ||
      updated.bindings.buttons != other.bindings.buttons)
    std::abort();
  return 0;
}
