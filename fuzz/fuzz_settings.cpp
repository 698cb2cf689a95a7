// The settings file is text a player edits: any bytes must read into values
// within their ranges, and what the game writes must read back the same with
// no warning.
#include <cstdint>
#include <cstdlib>
#include <string>
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
  return 0;
}
