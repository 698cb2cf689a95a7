// The Shift-JIS table from Windows' own code page 932.
#include <windows.h>

#include "base/sjis_codec.h"

char32_t DecodeSjisCharacter(const unsigned char* bytes, size_t len) {
  wchar_t wide[2];
  const int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(bytes),
                                    static_cast<int>(len), wide, 2);
  return n == 1 ? static_cast<char32_t>(wide[0]) : U'\uFFFD';
}

bool EncodeSjisCharacter(char32_t cp, std::string* out) {
  if (cp > 0xFFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
  const wchar_t wide = static_cast<wchar_t>(cp);
  char bytes[4];
  BOOL lossy = FALSE;
  const int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &wide, 1, bytes, sizeof bytes,
                                    nullptr, &lossy);
  if (n <= 0 || lossy) return false;
  out->append(bytes, n);
  return true;
}
