// Where a font's glyph pictures come from: FreeType with a face found through
// fontconfig on Linux, GDI on Windows. The font lays the glyphs out and keeps
// them in its atlas; a source only renders one character at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct GlyphImage {
  int advance = 0;                // pen advance in pixels
  int left = 0, top = 0;          // bitmap offset from the pen, y up
  int width = 0, height = 0;      // bitmap size; 0 for blank characters
  std::vector<uint8_t> coverage;  // width * height bytes, rows from the top
};

class GlyphSource {
 public:
  virtual ~GlyphSource() = default;
  // Renders one character; a character the face lacks keeps all zeros.
  virtual void Render(char32_t codepoint, GlyphImage* out) = 0;
  // What face is in use (a file or a family name), for diagnostics.
  virtual const std::string& Name() const = 0;
};

struct GlyphRequest {
  bool gothic = false;  // sans (Gothic) rather than serif (Mincho)
  int height = 16;      // cell height in pixels (the em height)
  int emWidth = 16;     // em width in pixels
  int weight = 400;     // 100..900 as Windows counts it
};

// Null with a reason when no Japanese face can be found or loaded.
std::unique_ptr<GlyphSource> OpenGlyphSource(const GlyphRequest& request, std::string* error);
