// Shift-JIS (code page 932), the encoding of every text file of the game, and
// its conversion for drawing. A byte count that ends inside a double-byte
// character is cut back to the last whole character.
#pragma once

#include <cstddef>
#include <string>

// True for the first byte of a double-byte Shift-JIS character.
inline bool IsSjisLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The number of bytes of the longest prefix of s[0, n) that ends on a
// character boundary. Stops at a NUL byte.
size_t SjisCompletePrefix(const char* s, size_t n);

// Decodes the first n bytes (or up to the NUL when n is -1) into code points,
// dropping a trailing broken character. Bytes that are not valid Shift-JIS
// decode to U+FFFD.
std::u32string SjisToCodepoints(const char* s, long n = -1);

std::string SjisToUtf8(const std::string& sjis);
// Characters Shift-JIS cannot hold become '?'.
std::string Utf8ToSjis(const std::string& utf8);
std::string CodepointsToUtf8(const std::u32string& text);
std::u32string Utf8ToCodepoints(const std::string& utf8);
