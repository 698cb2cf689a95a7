// Glyphs from FreeType, from the Japanese face FindJapaneseFont names.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cmath>
#include <cstring>

#include "platform/font.h"
#include "platform/glyph_source.h"

namespace {

class FreetypeGlyphs : public GlyphSource {
 public:
  ~FreetypeGlyphs() override {
    if (face_) FT_Done_Face(face_);
    if (library_) FT_Done_FreeType(library_);
  }

  bool Open(const GlyphRequest& request, std::string* error) {
    int index = 0;
    if (!FindJapaneseFont(request.gothic, request.weight >= 600, &path_, &index)) {
      *error = std::string("no Japanese ") + (request.gothic ? "sans" : "serif") +
               " font found (install fonts-noto-cjk)";
      return false;
    }
    if (FT_Init_FreeType(&library_) != 0 ||
        FT_New_Face(library_, path_.c_str(), index, &face_) != 0) {
      *error = "cannot load font file " + path_;
      return false;
    }
    if (FT_Set_Pixel_Sizes(face_, static_cast<FT_UInt>(request.emWidth),
                           static_cast<FT_UInt>(request.height)) != 0) {
      *error = "cannot size font " + path_;
      return false;
    }
    height_ = request.height;
    // A heavy weight the face lacks is made by thickening its outlines.
    embolden_ = request.weight >= 800 && !(face_->style_flags & FT_STYLE_FLAG_BOLD);
    return true;
  }

  void Render(char32_t cp, GlyphImage* out) override {
    if (FT_Load_Char(face_, cp, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) return;
    if (embolden_ && face_->glyph->format == FT_GLYPH_FORMAT_OUTLINE)
      FT_Outline_Embolden(&face_->glyph->outline, height_ * 2);  // 26.6 units
    out->advance = static_cast<int>(std::lround(face_->glyph->advance.x / 64.0));
    if (FT_Render_Glyph(face_->glyph, FT_RENDER_MODE_NORMAL) != 0) return;
    const FT_Bitmap& bm = face_->glyph->bitmap;
    out->left = face_->glyph->bitmap_left;
    out->top = face_->glyph->bitmap_top;
    out->width = static_cast<int>(bm.width);
    out->height = static_cast<int>(bm.rows);
    out->coverage.resize(static_cast<size_t>(out->width) * out->height);
    for (int y = 0; y < out->height; ++y)
      std::memcpy(out->coverage.data() + static_cast<size_t>(y) * out->width,
                  bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch, out->width);
  }

  const std::string& Name() const override { return path_; }

 private:
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
  std::string path_;
  int height_ = 16;
  bool embolden_ = false;
};

}  // namespace

std::unique_ptr<GlyphSource> OpenGlyphSource(const GlyphRequest& request, std::string* error) {
  auto source = std::make_unique<FreetypeGlyphs>();
  if (!source->Open(request, error)) return nullptr;
  return source;
}
