#include "base/text_encoding.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "base/report_error.h"
#include "base/sjis_codec.h"

namespace {

// One Shift-JIS character (1 or 2 bytes) as a code point; the results are
// cached since the same characters are drawn every frame.
char32_t DecodeOne(const unsigned char* bytes, size_t len) {
  static std::mutex mutex;
  static std::unordered_map<uint32_t, char32_t> cache;
  const uint32_t key = len == 1 ? bytes[0] : (static_cast<uint32_t>(bytes[0]) << 8) | bytes[1];
  std::lock_guard<std::mutex> lock(mutex);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  const char32_t result = DecodeSjisCharacter(bytes, len);
  cache.emplace(key, result);
  return result;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

size_t SjisCompletePrefix(const char* s, size_t n) {
  size_t i = 0;
  while (i < n && s[i] != '\0') {
    const auto b = static_cast<unsigned char>(s[i]);
    if (IsSjisLeadByte(b)) {
      if (i + 1 >= n || s[i + 1] == '\0') break;
      i += 2;
    } else {
      i += 1;
    }
  }
  return i;
}

size_t SjisUnreadableAt(const std::string& s) {
  for (size_t i = 0; i < s.size(); ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (IsSjisLeadByte(b)) {
      const auto t = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0;
      if (!((t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC))) return i;
      // A pair the code page has no character for would be drawn as a box.
      if (DecodeOne(reinterpret_cast<const unsigned char*>(s.data()) + i, 2) == U'\uFFFD') return i;
      ++i;
    } else if (b < 0x20 ? b != '\t' && b != '\r' && b != '\n'
                        : b == 0x7F || b == 0x80 || b == 0xA0 || b >= 0xFD) {
      return i;
    }
  }
  return std::string::npos;
}

std::string UnreadableTextDetail(const std::string& s, size_t offset) {
  const size_t upTo = std::min(offset, s.size());
  const auto line = 1 + std::count(s.begin(), s.begin() + static_cast<long>(upTo), '\n');
  return "line " + std::to_string(line) + ": bytes that are not text";
}

bool RefuseUnreadableText(const std::string& bytes, const char* japanese, const std::string& path,
                          bool report) {
  const size_t unreadable = SjisUnreadableAt(bytes);
  if (unreadable == std::string::npos) return false;
  if (report) {
    ReportError(japanese, path);
    ReportErrorDetail(UnreadableTextDetail(bytes, unreadable).c_str());
  }
  return true;
}

std::u32string SjisToCodepoints(const char* s, long n) {
  const size_t limit = n < 0 ? std::strlen(s) : static_cast<size_t>(n);
  const size_t len = SjisCompletePrefix(s, limit);
  std::u32string out;
  out.reserve(len);
  const auto* b = reinterpret_cast<const unsigned char*>(s);
  for (size_t i = 0; i < len;) {
    if (IsSjisLeadByte(b[i])) {
      out += DecodeOne(b + i, 2);
      i += 2;
    } else if (b[i] < 0x80) {
      out += static_cast<char32_t>(b[i]);
      i += 1;
    } else if (b[i] >= 0xA1 && b[i] <= 0xDF) {
      out += static_cast<char32_t>(0xFF61 + (b[i] - 0xA1));  // half-width katakana
      i += 1;
    } else {
      out += U'\uFFFD';
      i += 1;
    }
  }
  return out;
}

std::string CodepointsToUtf8(const std::u32string& text) {
  std::string out;
  for (char32_t cp : text) AppendUtf8(out, cp);
  return out;
}

std::string SjisToUtf8(const std::string& sjis) {
  return CodepointsToUtf8(SjisToCodepoints(sjis.data(), static_cast<long>(sjis.size())));
}

std::u32string Utf8ToCodepoints(const std::string& utf8) {
  std::u32string out;
  const auto* b = reinterpret_cast<const unsigned char*>(utf8.data());
  const size_t n = utf8.size();
  for (size_t i = 0; i < n;) {
    const unsigned char c = b[i];
    size_t extra;
    char32_t cp;
    if (c < 0x80) {
      extra = 0;
      cp = c;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3;
      cp = c & 0x07;
    } else {
      out += U'\uFFFD';
      ++i;
      continue;
    }
    bool ok = i + extra < n;
    for (size_t k = 1; ok && k <= extra; ++k) {
      if ((b[i + k] & 0xC0) != 0x80)
        ok = false;
      else
        cp = (cp << 6) | (b[i + k] & 0x3F);
    }
    if (!ok) {
      out += U'\uFFFD';
      ++i;
      continue;
    }
    out += cp;
    i += extra + 1;
  }
  return out;
}

std::string Utf8ToSjis(const std::string& utf8) {
  std::string out;
  for (char32_t cp : Utf8ToCodepoints(utf8)) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (!EncodeSjisCharacter(cp, &out)) {
      out += '?';
    }
  }
  return out;
}
