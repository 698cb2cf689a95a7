#include "app/settings.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string_view>

#include "base/atomic_file.h"
#include "base/user_dirs.h"
#include "platform/input_types.h"
#include "platform/sound.h"

namespace {

std::string_view Trim(std::string_view s) {
  const size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string_view::npos) return {};
  const size_t b = s.find_last_not_of(" \t\r");
  return s.substr(a, b - a + 1);
}

bool ParseNumber(std::string_view v, long low, long high, int* out) {
  if (v.empty() || v.size() > 9) return false;
  const std::string digits(v);  // strtol reads up to a NUL
  char* end = nullptr;
  errno = 0;
  const long n = std::strtol(digits.c_str(), &end, 10);
  if (errno || *end || n < low || n > high) return false;
  *out = static_cast<int>(n);
  return true;
}

bool ParseYesNo(std::string_view v, bool* out) {
  if (v == "yes" || v == "true" || v == "on" || v == "1") return *out = true, true;
  if (v == "no" || v == "false" || v == "off" || v == "0") return *out = false, true;
  return false;
}

// The index of a key action (or a pad action) by its name, or -1.
int ActionIndex(std::string_view name, bool pad) {
  const size_t count = pad ? PadActions().size() : KeyActions().size();
  for (size_t i = 0; i < count; ++i)
    if (name == (pad ? PadActions()[i].name : KeyActions()[i].name)) return static_cast<int>(i);
  return -1;
}

// No key (or button) may stand for two actions: where two share one, the
// later keeps its default, or, when it has its default already, the earlier
// takes its own; each such change is warned about. Defaults differ from one
// another, so every step gives one more action its default and it ends.
template <typename Code>
void KeepBindingsApart(std::vector<Code>& codes, const std::vector<Code>& defaults, bool pad,
                       const std::function<void(const std::string&)>& warn) {
  auto name = [&](size_t i) {
    return std::string(pad ? "pad." : "key.") + (pad ? PadActions()[i].name : KeyActions()[i].name);
  };
  auto codeName = [&](Code c) -> std::string {
    const char* n = pad ? PadButtonName(static_cast<uint16_t>(c)) : DikName(static_cast<int>(c));
    return n ? n : "?";
  };
  for (bool changed = true; changed;) {
    changed = false;
    for (size_t j = 0; j < codes.size() && !changed; ++j)
      for (size_t i = 0; i < j && !changed; ++i) {
        if (codes[i] != codes[j]) continue;
        const size_t moved = codes[j] != defaults[j] ? j : i;
        warn(name(i) + " and " + name(j) + " are both " + codeName(codes[j]) + "; " + name(moved) +
             " keeps its default " + codeName(defaults[moved]));
        codes[moved] = defaults[moved];
        changed = true;
      }
  }
}

}  // namespace

Settings ParseSettings(const std::string& text, const std::string& name,
                       std::vector<std::string>* warnings) {
  Settings s;
  int number = 0;
  auto warn = [&](const std::string& what) {
    warnings->push_back(name + ":" + std::to_string(number) + ": " + what);
  };
  const std::string_view all(text);
  for (size_t pos = 0; pos < all.size();) {
    const size_t nl = all.find('\n', pos);
    std::string_view line = all.substr(pos, nl == std::string_view::npos ? nl : nl - pos);
    pos = nl == std::string_view::npos ? all.size() : nl + 1;
    ++number;
    line = Trim(line.substr(0, line.find('#')));
    if (line.empty()) continue;
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
      warn("not a \"key = value\" line; ignored");
      continue;
    }
    const std::string_view key = Trim(line.substr(0, eq));
    const std::string_view value = Trim(line.substr(eq + 1));
    auto bad = [&](const char* expected) {
      warn("bad value \"" + std::string(value) + "\" for " + std::string(key) + " (" + expected +
           "); the default is used");
    };
    auto readNumber = [&](long low, long high, const char* expected, int* field) {
      if (!ParseNumber(value, low, high, field)) bad(expected);
    };
    if (key == "music_volume" || key == "effects_volume") {
      readNumber(0, 100, "a number from 0 to 100",
                 key == "music_volume" ? &s.musicVolume : &s.effectsVolume);
    } else if (key == "fullscreen") {
      if (!ParseYesNo(value, &s.fullscreen)) bad("yes or no");
    } else if (key == "window_width" || key == "window_height") {
      readNumber(320, 16384, "a size in pixels from 320 to 16384",
                 key == "window_width" ? &s.windowWidth : &s.windowHeight);
    } else if (key == "language") {
      Language language;
      if (value == "auto")
        s.language.reset();
      else if (ParseLanguage(std::string(value), &language))
        s.language = language;
      else
        bad("ja, en or auto");
    } else if (key.starts_with("key.") || key.starts_with("pad.")) {
      const bool pad = key[0] == 'p';
      const int i = ActionIndex(key.substr(4), pad);
      if (i < 0) {
        warn("unknown action \"" + std::string(key.substr(4)) + "\"; ignored");
        continue;
      }
      if (pad) {
        const uint16_t bit = PadButtonFromName(std::string(value).c_str());
        if (!bit || bit == XINPUT_GAMEPAD_BACK)
          bad("a button: A B X Y LB RB LS RS START or DPAD_UP/DOWN/LEFT/RIGHT");
        else
          s.bindings.buttons[i] = bit;
      } else {
        const int code = DikFromName(std::string(value).c_str());
        if (code <= 0 || code == DIK_ESCAPE)
          bad("a key name such as SPACE, RETURN, UP or A; Escape is kept for quitting");
        else
          s.bindings.keys[i] = code;
      }
    } else {
      warn("unknown key \"" + std::string(key) + "\"; ignored");
    }
  }
  const InputBindings defaults = InputBindings::Defaults();
  auto apart = [&](const std::string& what) { warnings->push_back(name + ": " + what); };
  KeepBindingsApart(s.bindings.keys, defaults.keys, false, apart);
  KeepBindingsApart(s.bindings.buttons, defaults.buttons, true, apart);
  return s;
}

std::vector<std::pair<std::string, std::string>> SettingsValues(const Settings& s) {
  std::vector<std::pair<std::string, std::string>> v{
      {"music_volume", std::to_string(s.musicVolume)},
      {"effects_volume", std::to_string(s.effectsVolume)},
      {"fullscreen", s.fullscreen ? "yes" : "no"},
      {"window_width", std::to_string(s.windowWidth)},
      {"window_height", std::to_string(s.windowHeight)},
      {"language", s.language ? LanguageCode(*s.language) : "auto"}};
  for (size_t i = 0; i < KeyActions().size(); ++i) {
    const char* name = DikName(s.bindings.keys[i]);
    v.emplace_back("key." + std::string(KeyActions()[i].name), name ? name : "?");
  }
  for (size_t i = 0; i < PadActions().size(); ++i) {
    const char* name = PadButtonName(s.bindings.buttons[i]);
    v.emplace_back("pad." + std::string(PadActions()[i].name), name ? name : "?");
  }
  return v;
}

std::string UpdateSettingsText(const std::string& text, const Settings& s) {
  const auto values = SettingsValues(s);
  std::vector<bool> written(values.size(), false);
  std::string out;
  const std::string_view all(text);
  for (size_t pos = 0; pos < all.size();) {
    const size_t nl = all.find('\n', pos);
    const size_t end = nl == std::string_view::npos ? all.size() : nl + 1;
    const std::string_view line = all.substr(pos, end - pos);
    pos = end;
    // The part before a comment, as the reader sees it.
    const std::string_view body = line.substr(0, line.find('#'));
    const size_t eq = body.find('=');
    size_t which = values.size();
    if (eq != std::string_view::npos) {
      const std::string_view key = Trim(body.substr(0, eq));
      for (size_t i = 0; i < values.size() && which == values.size(); ++i)
        if (key == values[i].first) which = i;
    }
    if (which == values.size()) {
      out += line;  // a comment, a blank line or a line the game does not know
      continue;
    }
    // Only the value changes: the spacing around it, a comment after it and
    // the line's end stay as the player wrote them.
    size_t valueStart = eq + 1;
    while (valueStart < body.size() && (body[valueStart] == ' ' || body[valueStart] == '\t'))
      ++valueStart;
    size_t valueEnd = body.size();
    while (valueEnd > valueStart && (body[valueEnd - 1] == ' ' || body[valueEnd - 1] == '\t' ||
                                     body[valueEnd - 1] == '\r' || body[valueEnd - 1] == '\n'))
      --valueEnd;
    out += line.substr(0, valueStart);
    out += values[which].second;
    out += line.substr(valueEnd);
    written[which] = true;
  }
  bool heading = false;
  for (size_t i = 0; i < values.size(); ++i) {
    if (written[i]) continue;
    if (!heading) {
      if (!out.empty() && out.back() != '\n') out += '\n';
      out += "\n# Added when the game saved its settings.\n";
      heading = true;
    }
    out += values[i].first + " = " + values[i].second + "\n";
  }
  return out;
}

std::string FormatSettings(const Settings& s) {
  const auto values = SettingsValues(s);
  auto line = [&](size_t i) { return values[i].first + " = " + values[i].second + "\n"; };
  std::string out =
      "# Orvelune settings. Edit while the game is not running; a bad value\n"
      "# falls back to its default with a warning.\n\n"
      "# Volumes from 0 (silent) to 100.\n";
  out += line(0) + line(1) + "\n";
  out += "# yes: start in full screen (Alt+Enter switches while playing).\n";
  out += line(2);
  out += "# The window's size when not in full screen.\n";
  out += line(3) + line(4) + "\n";
  out += "# The language of the texts: ja (Japanese), en (English), or auto (the\n";
  out += "# system's locale decides: Japanese for a ja locale, English otherwise).\n";
  out += line(5) + "\n";
  out += "# Keys by their DirectInput names: UP DOWN LEFT RIGHT SPACE RETURN A..Z 0..9\n";
  out += "# LSHIFT RSHIFT LCONTROL TAB and so on. Escape always quits.\n";
  size_t i = 6;
  for (; i < 6 + KeyActions().size(); ++i) out += line(i);
  out += "\n# Pad buttons: A B X Y LB RB LS RS START DPAD_UP DPAD_DOWN DPAD_LEFT DPAD_RIGHT.\n";
  for (; i < values.size(); ++i) out += line(i);
  return out;
}

std::string SettingsPath() {
  const std::string dir = UserConfigDirectory();
  return dir.empty() ? "" : dir + "/settings.txt";
}

Settings LoadSettings(const std::string& path) {
  if (path.empty()) return Settings{};
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    Settings defaults;
    std::string why;
    const size_t slash = path.find_last_of('/');
    if (slash != std::string::npos) MakeDirectories(path.substr(0, slash));
    if (!WriteFileAtomically(path, FormatSettings(defaults), &why))
      std::fprintf(stderr, "Orvelune: warning: could not write the default settings: %s\n",
                   why.c_str());
    return defaults;
  }
  std::ostringstream text;
  text << in.rdbuf();
  std::string body = text.str();
  if (body.size() > (1u << 20)) body.resize(1u << 20);  // a settings file is small
  std::vector<std::string> warnings;
  Settings s = ParseSettings(body, path, &warnings);
  for (const std::string& w : warnings) std::fprintf(stderr, "Orvelune: warning: %s\n", w.c_str());
  return s;
}

void ApplySettings(const Settings& settings) {
  SetInputBindings(settings.bindings);
  SetSoundVolumes(settings.musicVolume, settings.effectsVolume);
}

bool SaveSettings(const std::string& path, const Settings& settings, std::string* error) {
  std::string text;
  bool exists = false;
  {
    // Closed before the new file takes its place: Windows refuses to
    // replace a file that is still open.
    std::ifstream in(path, std::ios::binary);
    exists = static_cast<bool>(in);
    if (exists) {
      std::ostringstream read;
      read << in.rdbuf();
      if (in.bad()) {
        *error = "cannot read " + path;
        return false;
      }
      text = read.str();
      // The reader looks at the first MiB only; rewriting a file that large
      // would drop the rest.
      if (text.size() > (1u << 20)) {
        *error = path + " is over 1 MiB; it was not rewritten";
        return false;
      }
    }
  }
  if (!exists) {
    const size_t slash = path.find_last_of('/');
    if (slash != std::string::npos) MakeDirectories(path.substr(0, slash));
  }
  const std::string updated =
      text.empty() ? FormatSettings(settings) : UpdateSettingsText(text, settings);
  return WriteFileAtomically(path, updated, error);
}
