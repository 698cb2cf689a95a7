// Shift-JIS handling and line breaking of the text the game draws.
#include <gtest/gtest.h>

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
