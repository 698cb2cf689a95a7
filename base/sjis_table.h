// The Shift-JIS (code page 932) table built into the program, one
// character at a time, for systems whose C library has no code page 932
// converter (the browser's). It is Windows' table, with the few look-alikes
// Linux's converter also writes; the tests hold it against iconv's.
#pragma once

#include <cstddef>
#include <string>

// The code point of one Shift-JIS character of 1 or 2 bytes, or U+FFFD.
char32_t DecodeSjisFromTable(const unsigned char* bytes, size_t len);
// Appends the Shift-JIS bytes of a code point; false when it has none.
bool EncodeSjisFromTable(char32_t cp, std::string* out);
