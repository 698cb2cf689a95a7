#include "platform/font.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "base/text_encoding.h"
#include "platform/glyph_source.h"

namespace {

constexpr int kAtlasSize = 1024;

// The game names the Windows faces; Gothic means a sans face, anything else
// a serif one.
bool IsGothic(const FontDesc& desc) {
  const std::string face = desc.face ? desc.face : "";
  return face.find("ゴシック") != std::string::npos || face.find("Gothic") != std::string::npos;
}

}  // namespace

struct Font::Impl {
  struct Glyph {
    int page = -1;
    int u = 0, v = 0, w = 0, h = 0;  // cell in the atlas page
    int left = 0, top = 0;           // bitmap offset from the pen, y up
    int advance = 0;
  };

  GraphicsDevice* device = nullptr;
  std::unique_ptr<GlyphSource> source;
  int height = 16;
  int ascent = 14;
  std::unordered_map<char32_t, Glyph> glyphs;
  std::vector<Texture*> pages;
  int penX = 0, penY = 0, rowHeight = 0;

  ~Impl() {
    for (Texture* t : pages) t->Release();
  }

  const Glyph& GetGlyph(char32_t cp) {
    auto it = glyphs.find(cp);
    if (it != glyphs.end()) return it->second;
    Glyph g;
    GlyphImage image;
    source->Render(cp, &image);
    g.advance = image.advance;
    g.left = image.left;
    g.top = image.top;
    g.w = image.width;
    g.h = image.height;
    if (g.w > 0 && g.h > 0 && image.coverage.size() == static_cast<size_t>(g.w) * g.h)
      Place(g, image.coverage.data());
    return glyphs.emplace(cp, g).first->second;
  }

  // Copies a rendered glyph into the atlas (white, coverage as alpha).
  void Place(Glyph& g, const uint8_t* coverage) {
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
        const uint8_t a = coverage[y * g.w + x];
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
  // The Windows cell height is the em height of the Mincho and Gothic faces;
  // their average character width is half an em.
  GlyphRequest request;
  request.gothic = IsGothic(desc);
  request.height = desc.height > 0 ? desc.height : 16;
  request.emWidth = desc.width > 0 ? desc.width * 2 : request.height;
  request.weight = desc.weight;
  impl->source = OpenGlyphSource(request, error);
  if (!impl->source) return nullptr;
  impl->height = request.height;
  impl->ascent = static_cast<int>(std::lround(impl->height * 0.88));
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
  return impl_->source->Name();
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
