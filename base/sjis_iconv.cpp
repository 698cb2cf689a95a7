#include <iconv.h>

#include <cstdint>
#include <cstring>
#include <mutex>

#include "base/sjis_codec.h"

char32_t DecodeSjisCharacter(const unsigned char* bytes, size_t len) {
  char32_t result = 0xFFFD;
  iconv_t cd = iconv_open("UTF-32LE", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return result;
  char in[2] = {static_cast<char>(bytes[0]), len > 1 ? static_cast<char>(bytes[1]) : '\0'};
  char out[8] = {};
  char* inp = in;
  char* outp = out;
  size_t inLeft = len, outLeft = sizeof out;
  if (iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<size_t>(-1) && inLeft == 0 &&
      outLeft == sizeof out - 4) {
    uint32_t cp;
    std::memcpy(&cp, out, 4);
    result = static_cast<char32_t>(cp);
  }
  iconv_close(cd);
  return result;
}

bool EncodeSjisCharacter(char32_t cp, std::string* out) {
  // One converter for the program: opening one costs more than converting.
  static iconv_t cd = iconv_open("CP932", "UTF-32LE");
  static std::mutex mutex;
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::lock_guard<std::mutex> lock(mutex);
  char in[4];
  const uint32_t v = static_cast<uint32_t>(cp);
  std::memcpy(in, &v, 4);
  char buf[8];
  char* inp = in;
  char* outp = buf;
  size_t inLeft = 4, outLeft = sizeof buf;
  if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1)) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    return false;
  }
  out->append(buf, sizeof buf - outLeft);
  return true;
}
