// Shift-JIS handling and line breaking of the text the game draws.
#include <gtest/gtest.h>

#include <string>

#include "base/sjis_codec.h"
#include "base/sjis_table.h"
#include "base/text_encoding.h"
#include "platform/common/text_layout.h"

namespace {

std::string Lines(const TextLayout& layout) {
  std::u32string out;
  int line = 0;
  for (const auto& g : layout.glyphs) {
    while (line < g.line) {
      out += U'|';
      ++line;
    }
    out += g.codepoint;
  }
  return CodepointsToUtf8(out);
}

TextLayout LayoutFixed(const std::string& utf8, int width, bool wordBreak = true) {
  return LayoutText(Utf8ToCodepoints(utf8), width, wordBreak, [](char32_t) { return 10; });
}

}  // namespace

TEST(ShiftJis, PrefixesStopBeforeABrokenCharacter) {
  const std::string text = Utf8ToSjis("あいA");  // 82 A0 82 A2 41
  ASSERT_EQ(text.size(), 5u);
  EXPECT_EQ(SjisCompletePrefix(text.data(), 5), 5u);
  EXPECT_EQ(SjisCompletePrefix(text.data(), 4), 4u);
  EXPECT_EQ(SjisCompletePrefix(text.data(), 3), 2u);
  EXPECT_EQ(SjisCompletePrefix(text.data(), 1), 0u);
  EXPECT_EQ(SjisToCodepoints(text.data(), 3), U"あ");
  EXPECT_EQ(SjisToCodepoints(text.data()), U"あいA");
}

// What a text file may hold: whole characters of the game's own kind and the
// line's white space; anything else is a damaged file, found at its byte.
TEST(ShiftJis, UnreadableBytesAreFoundWhereTheyStand) {
  const std::string good = Utf8ToSjis("星の河,ｶﾀｶﾅ\tA\r\n二行目\n");
  EXPECT_EQ(SjisUnreadableAt(good), std::string::npos);
  EXPECT_EQ(SjisUnreadableAt(""), std::string::npos);
  const std::string kanji = Utf8ToSjis("河");  // two bytes
  struct Case {
    std::string bytes;
    size_t at;
  };
  for (const Case& c : {Case{std::string("ab\0c", 4), 2}, Case{"a\x1b[0m", 1}, Case{"\x7f", 0},
                        Case{"ok\x80", 2}, Case{"\xa0", 0}, Case{"\xfd\xfe\xff", 0},
                        Case{kanji + kanji.substr(0, 1), 2},         // cut inside a character
                        Case{kanji.substr(0, 1) + "\n" + kanji, 0},  // a lead byte before a break
                        Case{"\x81\x7f", 0}, Case{"\xe0\xfd", 0},
                        Case{"a\x85\x40", 1}}) {  // a pair with no character
    EXPECT_EQ(SjisUnreadableAt(c.bytes), c.at) << testing::PrintToString(c.bytes);
  }
  // A trail byte that is also a letter is read as part of its character.
  EXPECT_EQ(SjisUnreadableAt("\x83\x41\x83\x80"), std::string::npos);
  EXPECT_EQ(UnreadableTextDetail("a\nb\n\x80", 4), "line 3: bytes that are not text");
  EXPECT_EQ(UnreadableTextDetail("\x80", 0), "line 1: bytes that are not text");
}

TEST(ShiftJis, DecodesAndEncodesTheGamesCharacters) {
  const std::string sample = "星の河、オルヴェルーン。ｶﾀｶﾅ 123";
  EXPECT_EQ(SjisToUtf8(Utf8ToSjis(sample)), sample);
  EXPECT_EQ(Utf8ToSjis("😀"), "?");
  // A stray trail-less lead byte at the end is dropped, an invalid byte shows
  // as a replacement character.
  EXPECT_EQ(SjisToCodepoints("\x82", -1), U"");
  EXPECT_EQ(SjisToCodepoints("A\x80"
                             "B",
                             -1),
            U"A\uFFFDB");
}

TEST(TextLayout, LatinWrapsAtSpaces) {
  EXPECT_EQ(Lines(LayoutFixed("hello world foo", 100)), "hello |world foo");
  // Without word breaking only line feeds start lines.
  EXPECT_EQ(Lines(LayoutFixed("hello world foo", 100, false)), "hello world foo");
  EXPECT_EQ(Lines(LayoutFixed("ab\ncd", 100)), "ab|cd");
  EXPECT_EQ(LayoutFixed("ab\ncd", 100).lineCount, 2);
}

TEST(TextLayout, JapaneseWrapsBetweenCharacters) {
  EXPECT_EQ(Lines(LayoutFixed("あいうえおかきくけこ", 50)), "あいうえお|かきくけこ");
  // Closing punctuation stays with the character before it.
  EXPECT_EQ(Lines(LayoutFixed("あいうえ。", 40)), "あいう|え。");
  // An opening bracket goes to the next line with its character.
  EXPECT_EQ(Lines(LayoutFixed("あいう「え", 40)), "あいう|「え");
}

TEST(TextLayout, AWordLongerThanTheLineIsBrokenRatherThanLost) {
  EXPECT_EQ(Lines(LayoutFixed("abcdefgh", 30)), "abc|def|gh");
  EXPECT_EQ(LayoutFixed("", 30).lineCount, 0);
}

// The table built into the program (the browser's, whose C library has no
// code page 932) reads and writes every character as the system's converter
// does.
TEST(ShiftJis, TheBuiltInTableAgreesWithTheSystemsConverter) {
  int decoded = 0;
  for (int lead = 0; lead < 0x100; ++lead) {
    const unsigned char one[1] = {static_cast<unsigned char>(lead)};
    EXPECT_EQ(DecodeSjisFromTable(one, 1), DecodeSjisCharacter(one, 1)) << std::hex << lead;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      const unsigned char two[2] = {static_cast<unsigned char>(lead),
                                    static_cast<unsigned char>(trail)};
      const char32_t system = DecodeSjisCharacter(two, 2);
      if (lead < 0x81 || (lead > 0x9F && lead < 0xE0) || lead > 0xFC) continue;
      ASSERT_EQ(DecodeSjisFromTable(two, 2), system) << std::hex << lead << ' ' << trail;
      if (system != U'\uFFFD') ++decoded;
    }
  }
  EXPECT_GT(decoded, 7000);  // JIS X 0208 and the NEC and IBM rows
  for (char32_t cp = 0; cp < 0x10000; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    std::string system, table;
    const bool systemHas = EncodeSjisCharacter(cp, &system);
    ASSERT_EQ(EncodeSjisFromTable(cp, &table), systemHas) << std::hex << static_cast<int>(cp);
    ASSERT_EQ(table, system) << std::hex << static_cast<int>(cp);
  }
  const unsigned char broken[2] = {0x81, 0x20};
  EXPECT_EQ(DecodeSjisFromTable(broken, 2), U'\uFFFD');
  EXPECT_EQ(DecodeSjisFromTable(broken, 0), U'\uFFFD');
}
