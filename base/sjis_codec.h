// The Shift-JIS (code page 932) table, one character at a time: iconv on
// Linux, Windows' own code page 932 on Windows.
#pragma once

#include <cstddef>
#include <string>

// The code point of one Shift-JIS character of 1 or 2 bytes, or U+FFFD.
char32_t DecodeSjisCharacter(const unsigned char* bytes, size_t len);
// Appends the Shift-JIS bytes of a code point; false when it has none.
bool EncodeSjisCharacter(char32_t cp, std::string* out);
