// The Japanese face where the system has no fonts to search (the browser):
// the serif shipped with the game's data, cut down to the characters its
// texts use (scripts/build-web.sh). It stands for the sans as well, which
// only the debug overlay asks for.
#include <filesystem>

#include "platform/font.h"

bool FindJapaneseFont(bool /*gothic*/, bool /*heavy*/, std::string* path, int* index) {
  static const char kShipped[] = "fonts/orvelune-serif.otf";
  std::error_code error;
  if (!std::filesystem::is_regular_file(kShipped, error)) return false;
  *path = kShipped;
  *index = 0;
  return true;
}
