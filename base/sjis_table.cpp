#include "base/sjis_table.h"

#include <algorithm>
#include <iterator>

#include "sjis_cp932_table.inc"

namespace {

// The row of a lead byte in the decoding table, or -1.
int LeadRow(unsigned char lead) {
  if (lead >= 0x81 && lead <= 0x9F) return lead - 0x81;
  if (lead >= 0xE0 && lead <= 0xFC) return lead - 0xE0 + (0x9F - 0x81 + 1);
  return -1;
}

}  // namespace

char32_t DecodeSjisFromTable(const unsigned char* bytes, size_t len) {
  if (len == 0) return U'\uFFFD';
  const unsigned char lead = bytes[0];
  if (len == 1) {
    if (lead < 0x80) return lead;
    if (lead >= 0xA1 && lead <= 0xDF) return U'\uFF61' + (lead - 0xA1);  // half-width kana
    return U'\uFFFD';
  }
  const int row = LeadRow(lead);
  const int trail = bytes[1] - kSjisTrailFirst;
  if (len != 2 || row < 0 || trail < 0 || trail >= kSjisTrailCount) return U'\uFFFD';
  const char16_t cp = kSjisDecode[row][trail];
  return cp != 0 ? cp : U'\uFFFD';
}

bool EncodeSjisFromTable(char32_t cp, std::string* out) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
    return true;
  }
  if (cp >= U'\uFF61' && cp <= U'\uFF9F') {
    out->push_back(static_cast<char>(0xA1 + (cp - U'\uFF61')));
    return true;
  }
  if (cp > 0xFFFF) return false;
  const auto* end = std::end(kSjisEncode);
  const auto* at = std::lower_bound(std::begin(kSjisEncode), end, cp,
                                    [](const SjisPair& p, char32_t c) { return p.cp < c; });
  if (at == end || at->cp != cp) return false;
  if (at->bytes > 0xFF) out->push_back(static_cast<char>(at->bytes >> 8));
  out->push_back(static_cast<char>(at->bytes & 0xFF));
  return true;
}
