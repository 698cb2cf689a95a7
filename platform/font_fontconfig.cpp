// The Japanese face on Linux: the one fontconfig finds among the system's
// fonts.
#include <fontconfig/fontconfig.h>

#include <cstring>
#include <vector>

#include "platform/font.h"

bool FindJapaneseFont(bool gothic, bool bold, std::string* path, int* index) {
  std::vector<std::string> candidates;
  if (gothic) {
    candidates = {"Noto Sans CJK JP", "IPAGothic", "sans-serif:lang=ja"};
  } else {
    candidates = {"Noto Serif CJK JP", "IPAMincho", "serif:lang=ja"};
  }
  if (!FcInit()) return false;
  for (const auto& name : candidates) {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name.c_str()));
    if (!pattern) continue;
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BLACK : FC_WEIGHT_REGULAR);
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) continue;
    FcChar8* file = nullptr;
    FcChar8* family = nullptr;
    int idx = 0;
    bool found = false;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
      FcPatternGetInteger(match, FC_INDEX, 0, &idx);
      // Accept the match only if it is a Japanese face (or the last resort).
      const bool japanese = FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch &&
                            (std::strstr(reinterpret_cast<const char*>(family), "JP") ||
                             std::strstr(reinterpret_cast<const char*>(family), "IPA") ||
                             &name == &candidates.back());
      if (japanese) {
        *path = reinterpret_cast<const char*>(file);
        *index = idx;
        found = true;
      }
    }
    FcPatternDestroy(match);
    if (found) return true;
  }
  return false;
}
