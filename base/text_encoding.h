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

// Where the first byte of s lies that readable Shift-JIS text cannot hold: a
// control character other than tab, carriage return and line feed, a byte
// that starts no character, a lead byte without a valid trail byte, or a pair
// of bytes the code page holds no character for.
// std::string::npos when every byte is text.
size_t SjisUnreadableAt(const std::string& s);
// "line N: bytes that are not text", N counted from 1, for a report's detail
// about a text file whose bytes SjisUnreadableAt refused at offset.
std::string UnreadableTextDetail(const std::string& s, size_t offset);
// For a text file a person edits and the game draws: true when its bytes are
// not all text, after reporting it (japanese names the failure, path the
// file, the detail its line) unless report is false (already reported).
bool RefuseUnreadableText(const std::string& bytes, const char* japanese, const std::string& path,
                          bool report = true);

// Decodes the first n bytes (or up to the NUL when n is -1) into code points,
// dropping a trailing broken character. Bytes that are not valid Shift-JIS
// decode to U+FFFD.
std::u32string SjisToCodepoints(const char* s, long n = -1);

std::string SjisToUtf8(const std::string& sjis);
// Characters Shift-JIS cannot hold become '?'.
std::string Utf8ToSjis(const std::string& utf8);
std::string CodepointsToUtf8(const std::u32string& text);
std::u32string Utf8ToCodepoints(const std::string& utf8);
