// The Shift-JIS table for systems without a code page 932 converter: the
// one built into the program.
#include "base/sjis_codec.h"
#include "base/sjis_table.h"

char32_t DecodeSjisCharacter(const unsigned char* bytes, size_t len) {
  return DecodeSjisFromTable(bytes, len);
}

bool EncodeSjisCharacter(char32_t cp, std::string* out) {
  return EncodeSjisFromTable(cp, out);
}
