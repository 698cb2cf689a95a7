#include "platform/font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "base/text_encoding.h"

namespace {

constexpr int kAtlasSize = 1024;

// Finds a font file for the face the game asks for.
bool FindFace(const FontDesc& desc, std::string* path, int* index) {
  const std::string face = desc.face ? desc.face : "";
  const bool gothic =
      face.find("ゴシック") != std::string::npos || face.find("Gothic") != std::string::npos;
  return FindJapaneseFont(gothic, desc.weight >= 600, path, index);
}

}  // namespace

bool FindJapaneseFont(bool gothic, bool bold, std::string* path, int* index) {
  std::vector<std::string> candidates;
  if (gothic) {
    candidates = {"Noto Sans CJK JP", "IPAGothic", "sans-serif:lang=ja"};
  } else {
    candidates = {"Noto Serif CJK JP", "IPAMincho", "serif:lang=ja"};
  }
  if (!FcInit()) return false;
  for (const auto& name : candidates) {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name.c_str()));
    if (!pattern) continue;
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BLACK : FC_WEIGHT_REGULAR);
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) continue;
    FcChar8* file = nullptr;
    FcChar8* family = nullptr;
    int idx = 0;
    bool found = false;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
      FcPatternGetInteger(match, FC_INDEX, 0, &idx);
      // Accept the match only if it is a Japanese face (or the last resort).
      const bool japanese = FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch &&
                            (std::strstr(reinterpret_cast<const char*>(family), "JP") ||
                             std::strstr(reinterpret_cast<const char*>(family), "IPA") ||
                             &name == &candidates.back());
      if (japanese) {
        *path = reinterpret_cast<const char*>(file);
        *index = idx;
        found = true;
      }
    }
    FcPatternDestroy(match);
    if (found) return true;
  }
  return false;
}

struct Font::Impl {
  struct Glyph {
    int page = -1;
    int u = 0, v = 0, w = 0, h = 0;  // cell in the atlas page
    int left = 0, top = 0;           // bitmap offset from the pen, y up
    int advance = 0;
  };

  GraphicsDevice* device = nullptr;
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  std::string path;
  int height = 16;
  int ascent = 14;
  bool embolden = false;
  std::unordered_map<char32_t, Glyph> glyphs;
  std::vector<Texture*> pages;
  int penX = 0, penY = 0, rowHeight = 0;

  ~Impl() {
    for (Texture* t : pages) t->Release();
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }

  const Glyph& GetGlyph(char32_t cp) {
    auto it = glyphs.find(cp);
    if (it != glyphs.end()) return it->second;
    Glyph g;
    if (FT_Load_Char(face, cp, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) == 0) {
      if (embolden && face->glyph->format == FT_GLYPH_FORMAT_OUTLINE)
        FT_Outline_Embolden(&face->glyph->outline, height * 2);  // 26.6 units
      g.advance = static_cast<int>(std::lround(face->glyph->advance.x / 64.0));
      if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) == 0) {
        const FT_Bitmap& bm = face->glyph->bitmap;
        g.left = face->glyph->bitmap_left;
        g.top = face->glyph->bitmap_top;
        g.w = static_cast<int>(bm.width);
        g.h = static_cast<int>(bm.rows);
        if (g.w > 0 && g.h > 0) Place(g, bm);
      }
    }
    return glyphs.emplace(cp, g).first->second;
  }

  // Copies a rendered glyph into the atlas (white, coverage as alpha).
  void Place(Glyph& g, const FT_Bitmap& bm) {
    if (g.w + 2 > kAtlasSize || g.h + 2 > kAtlasSize) return;
    if (pages.empty() || penX + g.w + 2 > kAtlasSize) {
      penX = 0;
      penY += rowHeight;
      rowHeight = 0;
    }
    if (pages.empty() || penY + g.h + 2 > kAtlasSize) {
      std::vector<uint32_t> clear(kAtlasSize * kAtlasSize, 0x00FFFFFF);
      Texture* page = device->CreateTexture(kAtlasSize, kAtlasSize, clear.data());
      if (!page) return;
      pages.push_back(page);
      penX = penY = rowHeight = 0;
    }
    std::vector<uint32_t> pixels(static_cast<size_t>(g.w) * g.h);
    for (int y = 0; y < g.h; ++y) {
      for (int x = 0; x < g.w; ++x) {
        const uint8_t a = bm.buffer[y * bm.pitch + x];
        pixels[y * g.w + x] = (static_cast<uint32_t>(a) << 24) | 0x00FFFFFF;
      }
    }
    g.page = static_cast<int>(pages.size()) - 1;
    g.u = penX + 1;
    g.v = penY + 1;
    device->UpdateTexture(pages.back(), g.u, g.v, g.w, g.h, pixels.data());
    penX += g.w + 2;
    rowHeight = std::max(rowHeight, g.h + 2);
  }
};

Font::Font(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Font::~Font() = default;
void Font::Release() {
  delete this;
}

Font* Font::Create(GraphicsDevice* device, const FontDesc& desc, std::string* error) {
  auto impl = std::make_unique<Impl>();
  impl->device = device;
  int index = 0;
  if (!FindFace(desc, &impl->path, &index)) {
    *error = std::string("no Japanese font found for \"") + (desc.face ? desc.face : "") +
             "\" (install fonts-noto-cjk)";
    return nullptr;
  }
  if (FT_Init_FreeType(&impl->library) != 0 ||
      FT_New_Face(impl->library, impl->path.c_str(), index, &impl->face) != 0) {
    *error = "cannot load font file " + impl->path;
    return nullptr;
  }
  // The Windows cell height is the em height of the Mincho and Gothic faces;
  // their average character width is half an em.
  impl->height = desc.height > 0 ? desc.height : 16;
  const int emX = desc.width > 0 ? desc.width * 2 : impl->height;
  if (FT_Set_Pixel_Sizes(impl->face, static_cast<FT_UInt>(emX),
                         static_cast<FT_UInt>(impl->height)) != 0) {
    *error = "cannot size font " + impl->path;
    return nullptr;
  }
  impl->ascent = static_cast<int>(std::lround(impl->height * 0.88));
  impl->embolden = desc.weight >= 800 && !(impl->face->style_flags & FT_STYLE_FLAG_BOLD);
  return new Font(std::move(impl));
}

int Font::LineHeight() const {
  return impl_->height;
}
int Font::TextWidth(const char* sjis, int count) {
  int widest = 0, x = 0;
  for (char32_t cp : SjisToCodepoints(sjis, count)) {
    if (cp == U'\n') {
      x = 0;
      continue;
    }
    x += impl_->GetGlyph(cp).advance;
    widest = std::max(widest, x);
  }
  return widest;
}

const std::string& Font::FacePath() const {
  return impl_->path;
}

TextLayout Font::Layout(const char* sjis, int count, int width, uint32_t format) {
  const std::u32string text = SjisToCodepoints(sjis, count);
  return LayoutText(text, width, (format & DT_WORDBREAK) != 0,
                    [this](char32_t cp) { return impl_->GetGlyph(cp).advance; });
}

int Font::DrawText(Sprite* sprite, const char* sjis, int count, const RECT* rect, uint32_t format,
                   D3DCOLOR color) {
  if (!sprite || !sjis || !rect) return 0;
  const TextLayout layout = Layout(sjis, count, rect->right - rect->left, format);
  const bool clip = (format & DT_NOCLIP) == 0;
  for (const LaidOutGlyph& lg : layout.glyphs) {
    const Impl::Glyph& g = impl_->GetGlyph(lg.codepoint);
    if (g.page < 0) continue;
    int x0 = rect->left + lg.x + g.left;
    int y0 = rect->top + lg.line * impl_->height + impl_->ascent - g.top;
    RECT src{g.u, g.v, g.u + g.w, g.v + g.h};
    if (clip) {
      // Cut the glyph at the rectangle's edges.
      if (x0 < rect->left) {
        src.left += rect->left - x0;
        x0 = rect->left;
      }
      if (y0 < rect->top) {
        src.top += rect->top - y0;
        y0 = rect->top;
      }
      const int x1 = x0 + (src.right - src.left);
      const int y1 = y0 + (src.bottom - src.top);
      if (x1 > rect->right) src.right -= x1 - rect->right;
      if (y1 > rect->bottom) src.bottom -= y1 - rect->bottom;
      if (src.right <= src.left || src.bottom <= src.top) continue;
    }
    const Vec3 pos{static_cast<float>(x0), static_cast<float>(y0), 0};
    sprite->Draw(impl_->pages[g.page], &src, nullptr, &pos, color);
  }
  return layout.lineCount * impl_->height;
}
