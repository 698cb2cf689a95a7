#include "platform/common/text_layout.h"

namespace {

bool IsSpace(char32_t c) {
  return c == U' ' || c == U'\t' || c == U'\u3000';
}

// Characters that must not begin a line.
bool IsClosing(char32_t c) {
  static const std::u32string kClosing =
      U"、。，．,.:;!?！？」』）)]｝】〉》ー…・ぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮ";
  return kClosing.find(c) != std::u32string::npos;
}

// Characters that must not end a line.
bool IsOpening(char32_t c) {
  static const std::u32string kOpening = U"「『（([｛【〈《";
  return kOpening.find(c) != std::u32string::npos;
}

// Latin letters and digits join into words that break only at spaces.
bool IsWordChar(char32_t c) {
  return c > U' ' && c < 0x80 && !IsClosing(c) && !IsOpening(c);
}

}  // namespace

TextLayout LayoutText(const std::u32string& text, int maxWidth, bool wordBreak,
                      const std::function<int(char32_t)>& advance) {
  TextLayout layout;
  int line = 0;
  int x = 0;
  bool lineHasContent = false;

  auto newLine = [&] {
    ++line;
    x = 0;
    lineHasContent = false;
  };

  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    const char32_t c = text[i];
    if (c == U'\r') {
      ++i;
      continue;
    }
    if (c == U'\n') {
      newLine();
      ++i;
      continue;
    }
    if (IsSpace(c)) {
      // A space at the start of a wrapped line is dropped; one that does not
      // fit ends the line.
      const int w = advance(c);
      if (wordBreak && lineHasContent && x + w > maxWidth) {
        newLine();
      } else if (!(wordBreak && !lineHasContent && line > 0 && x == 0)) {
        layout.glyphs.push_back({c, x, line});
        x += w;
      }
      ++i;
      continue;
    }

    // Gather one unbreakable unit: a Latin word, or one character with any
    // opening brackets before it and closing punctuation after it.
    size_t end = i;
    if (IsWordChar(text[end])) {
      while (end < n && IsWordChar(text[end])) ++end;
    } else {
      while (end < n && IsOpening(text[end])) ++end;
      if (end < n && !IsSpace(text[end]) && text[end] != U'\n' && text[end] != U'\r') ++end;
    }
    while (end < n && IsClosing(text[end])) ++end;
    if (end == i) end = i + 1;

    int unitWidth = 0;
    for (size_t k = i; k < end; ++k) unitWidth += advance(text[k]);

    if (wordBreak && lineHasContent && x + unitWidth > maxWidth) newLine();
    for (size_t k = i; k < end; ++k) {
      const int w = advance(text[k]);
      // A unit wider than a whole line is broken between its characters.
      if (wordBreak && lineHasContent && x + w > maxWidth && unitWidth > maxWidth) newLine();
      layout.glyphs.push_back({text[k], x, line});
      x += w;
      lineHasContent = true;
    }
    i = end;
  }
  layout.lineCount = (n == 0) ? 0 : line + 1;
  return layout;
}
