#include "base/language.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "base/resource_root.h"
#include "base/user_dirs.h"

namespace {
Language g_language = Language::kJapanese;
}  // namespace

void SetLanguage(Language language) {
  g_language = language;
}

Language CurrentLanguage() {
  return g_language;
}

bool ParseLanguage(const std::string& code, Language* out) {
  std::string c = code;
  std::transform(c.begin(), c.end(), c.begin(),
                 [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  if (c == "ja") {
    *out = Language::kJapanese;
    return true;
  }
  if (c == "en") {
    *out = Language::kEnglish;
    return true;
  }
  return false;
}

const char* LanguageCode(Language language) {
  return language == Language::kEnglish ? "en" : "ja";
}

Language LanguageFromLocale(const char* lcAll, const char* lcMessages, const char* lang) {
  for (const char* value : {lcAll, lcMessages, lang}) {
    if (!value || !*value) continue;
    // "ja", "ja_JP.UTF-8", "ja_JP@...", "ja-JP": the language part is "ja".
    const std::string v = value;
    const bool japanese =
        v.size() >= 2 && (v[0] == 'j' || v[0] == 'J') && (v[1] == 'a' || v[1] == 'A') &&
        (v.size() == 2 || v[2] == '_' || v[2] == '.' || v[2] == '@' || v[2] == '-');
    return japanese ? Language::kJapanese : Language::kEnglish;
  }
  return Language::kEnglish;
}

Language LanguageFromEnvironment() {
  // The locale variables decide where they are set; Windows keeps the
  // user's language elsewhere and says it as a tag ("ja-JP").
  const char* lang = std::getenv("LANG");
  const std::string system = lang ? "" : SystemLanguageTag();
  return LanguageFromLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                            lang ? lang : system.c_str());
}

const std::vector<std::string>& LocalizedFiles() {
  // Every file a player reads words in: the texts, and the pictures the
  // content generator writes words into.
  static const std::vector<std::string> kFiles = {
      "Event/Event_Text/event.csv",
      "Event/Opening/Opening.csv",
      "Event/Ending/Ending.csv",
      "Infomation/infomation.csv",
      "Infomation/infomation_pad.csv",
      "Infomation/Button.png",
      "Texture/UI/OrveluneChip.png",
      "Texture/UI/FieldFrame.png",
      "Texture/UI/Pause.png",
      "Object/InfoBoard/kanban_t.png",
      "Object/Item/Recovery/tanzaku_t.png",
      "Event/Title/TitleBack.png",
      "Event/game_clear.png",
      "Event/game_over.png",
      "Event/Credit/Credit.png",
  };
  return kFiles;
}

std::string LanguageFolder(Language language) {
  return language == Language::kEnglish ? "en/" : "";
}

std::string LocalizedPath(const std::string& path) {
  if (g_language == Language::kJapanese) return path;
  static const std::string kRoot = ORVELUNE_RESOURCE_ROOT;
  const size_t at = path.rfind(kRoot);
  if (at == std::string::npos) return path;
  const size_t rest = at + kRoot.size();
  const std::vector<std::string>& files = LocalizedFiles();
  if (std::find(files.begin(), files.end(), path.substr(rest)) == files.end()) return path;
  return path.substr(0, rest) + LanguageFolder(g_language) + path.substr(rest);
}
