// Line breaking for text drawn into a rectangle (DT_WORDBREAK): Latin text
// breaks at spaces, Japanese text between characters; closing punctuation
// stays with the character before it and opening brackets with the one after.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct LaidOutGlyph {
  char32_t codepoint;
  int x;     // pen position from the left edge of the rectangle
  int line;  // 0 for the first line
};

struct TextLayout {
  std::vector<LaidOutGlyph> glyphs;
  int lineCount = 0;
};

// advance(codepoint) gives each character's width in pixels. With wordBreak
// false only line feeds break lines.
TextLayout LayoutText(const std::u32string& text, int maxWidth, bool wordBreak,
                      const std::function<int(char32_t)>& advance);
