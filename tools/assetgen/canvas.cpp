#include "tools/assetgen/canvas.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

#include "base/text_encoding.h"
#include "platform/font.h"

namespace {

uint32_t Hash(int x, int y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
               seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return h ^ (h >> 16);
}

float Lattice(int x, int y, int period, uint32_t seed) {
  if (period > 0) {
    x = ((x % period) + period) % period;
    y = ((y % period) + period) % period;
  }
  return (Hash(x, y, seed) & 0xFFFFFF) / 16777215.0f;
}

float Smooth(float t) {
  return t * t * (3 - 2 * t);
}

float Clamp01(float v) {
  return v < 0 ? 0 : (v > 1 ? 1 : v);
}

// FreeType faces, opened once per style.
FT_Face Face(FontStyle style, bool heavy) {
  static FT_Library library = nullptr;
  static std::map<int, FT_Face> faces;
  const int key = (style == FontStyle::Sans ? 2 : 0) + (heavy ? 1 : 0);
  auto it = faces.find(key);
  if (it != faces.end()) return it->second;
  if (!library && FT_Init_FreeType(&library) != 0) {
    std::fprintf(stderr, "orvelune-assetgen: FreeType cannot start\n");
    std::exit(1);
  }
  std::string path;
  int index = 0;
  FT_Face face = nullptr;
  if (!FindJapaneseFont(style == FontStyle::Sans, heavy, &path, &index) ||
      FT_New_Face(library, path.c_str(), index, &face) != 0) {
    std::fprintf(stderr, "orvelune-assetgen: no Japanese font found (install fonts-noto-cjk)\n");
    std::exit(1);
  }
  faces[key] = face;
  return face;
}

struct Coverage {
  int w = 0, h = 0;
  std::vector<float> a;
  float At(int x, int y) const {
    if (x < 0 || y < 0 || x >= w || y >= h) return 0;
    return a[static_cast<size_t>(y) * w + x];
  }
};

// Renders the text's coverage into a map with a margin around it; origin is
// where the pen starts (baseline) inside the map.
Coverage RenderText(const std::string& utf8, const Canvas::TextStyle& style, int margin,
                    int* originX, int* originY, float* advance) {
  FT_Face face = Face(style.font, style.heavy);
  const auto size = static_cast<FT_UInt>(std::lround(style.pixelSize));
  FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(std::lround(style.pixelSize * style.squeeze)),
                     size);
  const std::u32string text = Utf8ToCodepoints(utf8);
  // Measure first.
  float pen = 0;
  for (char32_t c : text) {
    if (FT_Load_Char(face, c, FT_LOAD_DEFAULT) == 0) pen += face->glyph->advance.x / 64.0f;
  }
  *advance = pen;
  Coverage cov;
  const int ascent = static_cast<int>(style.pixelSize * 1.1f);
  const int descent = static_cast<int>(style.pixelSize * 0.35f);
  cov.w = static_cast<int>(pen) + 2 * margin + static_cast<int>(style.pixelSize);
  cov.h = ascent + descent + 2 * margin;
  cov.a.assign(static_cast<size_t>(cov.w) * cov.h, 0.0f);
  *originX = margin;
  *originY = margin + ascent;
  float x = 0;
  for (char32_t c : text) {
    if (FT_Load_Char(face, c, FT_LOAD_RENDER) != 0) continue;
    const FT_GlyphSlot g = face->glyph;
    const int gx = *originX + static_cast<int>(std::lround(x)) + g->bitmap_left;
    const int gy = *originY - g->bitmap_top;
    for (unsigned r = 0; r < g->bitmap.rows; ++r) {
      for (unsigned col = 0; col < g->bitmap.width; ++col) {
        const int px = gx + static_cast<int>(col), py = gy + static_cast<int>(r);
        if (px < 0 || py < 0 || px >= cov.w || py >= cov.h) continue;
        float& dst = cov.a[static_cast<size_t>(py) * cov.w + px];
        dst = std::max(dst, g->bitmap.buffer[r * g->bitmap.pitch + col] / 255.0f);
      }
    }
    x += g->advance.x / 64.0f;
  }
  return cov;
}

// The coverage widened by r pixels (a round dilation).
Coverage Dilate(const Coverage& in, float r) {
  Coverage out = in;
  const int ri = static_cast<int>(std::ceil(r));
  for (int y = 0; y < in.h; ++y) {
    for (int x = 0; x < in.w; ++x) {
      float best = 0;
      for (int dy = -ri; dy <= ri; ++dy) {
        for (int dx = -ri; dx <= ri; ++dx) {
          const float d = std::sqrt(static_cast<float>(dx * dx + dy * dy));
          if (d > r + 0.5f) continue;
          const float w = Clamp01(r + 0.5f - d);
          best = std::max(best, in.At(x + dx, y + dy) * w);
        }
      }
      out.a[static_cast<size_t>(y) * in.w + x] = best;
    }
  }
  return out;
}

Coverage Blur(const Coverage& in, int r) {
  Coverage tmp = in, out = in;
  for (int y = 0; y < in.h; ++y)
    for (int x = 0; x < in.w; ++x) {
      float s = 0;
      for (int k = -r; k <= r; ++k) s += in.At(x + k, y);
      tmp.a[static_cast<size_t>(y) * in.w + x] = s / (2 * r + 1);
    }
  for (int y = 0; y < in.h; ++y)
    for (int x = 0; x < in.w; ++x) {
      float s = 0;
      for (int k = -r; k <= r; ++k) s += tmp.At(x, y + k);
      out.a[static_cast<size_t>(y) * in.w + x] = s / (2 * r + 1);
    }
  return out;
}

float SegmentDistance(float px, float py, const Vec2& a, const Vec2& b) {
  const float vx = b.x - a.x, vy = b.y - a.y;
  const float wx = px - a.x, wy = py - a.y;
  const float len2 = vx * vx + vy * vy;
  const float t = len2 > 0 ? Clamp01((wx * vx + wy * vy) / len2) : 0;
  const float dx = wx - vx * t, dy = wy - vy * t;
  return std::sqrt(dx * dx + dy * dy);
}

}  // namespace

float ValueNoise(float x, float y, int period, uint32_t seed) {
  const int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
  const float fx = Smooth(x - xi), fy = Smooth(y - yi);
  const float a = Lattice(xi, yi, period, seed), b = Lattice(xi + 1, yi, period, seed);
  const float c = Lattice(xi, yi + 1, period, seed), d = Lattice(xi + 1, yi + 1, period, seed);
  return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

float Fbm(float x, float y, int period, int octaves, uint32_t seed) {
  float sum = 0, amp = 0.5f, norm = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += amp * ValueNoise(x, y, period, seed + static_cast<uint32_t>(o) * 101u);
    norm += amp;
    amp *= 0.5f;
    x *= 2;
    y *= 2;
    period *= 2;
  }
  return sum / norm;
}

Canvas::Canvas(int width, int height, Rgba fill)
    : w_(width), h_(height), px_(static_cast<size_t>(width) * height, fill) {}

void Canvas::Blend(int x, int y, const Rgba& c, float coverage) {
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
  const float a = Clamp01(c.a * coverage);
  if (a <= 0) return;
  Rgba& d = At(x, y);
  const float outA = a + d.a * (1 - a);
  if (outA <= 0) return;
  d.r = (c.r * a + d.r * d.a * (1 - a)) / outA;
  d.g = (c.g * a + d.g * d.a * (1 - a)) / outA;
  d.b = (c.b * a + d.b * d.a * (1 - a)) / outA;
  d.a = outA;
}

void Canvas::Shade(int x0, int y0, int x1, int y1, const std::function<Rgba(float, float)>& f) {
  x0 = std::max(0, x0);
  y0 = std::max(0, y0);
  x1 = std::min(w_, x1);
  y1 = std::min(h_, y1);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) At(x, y) = f(x + 0.5f, y + 0.5f);
}

void Canvas::FillSdf(float x0, float y0, float x1, float y1,
                     const std::function<float(float, float)>& sdf,
                     const std::function<Rgba(float, float)>& color, float soft) {
  const int ix0 = std::max(0, static_cast<int>(std::floor(x0 - soft - 1)));
  const int iy0 = std::max(0, static_cast<int>(std::floor(y0 - soft - 1)));
  const int ix1 = std::min(w_, static_cast<int>(std::ceil(x1 + soft + 1)));
  const int iy1 = std::min(h_, static_cast<int>(std::ceil(y1 + soft + 1)));
  for (int y = iy0; y < iy1; ++y) {
    for (int x = ix0; x < ix1; ++x) {
      const float px = x + 0.5f, py = y + 0.5f;
      const float d = sdf(px, py);
      const float cov = Clamp01(0.5f - d / std::max(soft, 1e-3f));
      if (cov > 0) Blend(x, y, color(px, py), cov);
    }
  }
}

void Canvas::FillRect(float x0, float y0, float x1, float y1, const Rgba& c) {
  FillSdf(
      x0, y0, x1, y1,
      [=](float x, float y) {
        return std::max(std::max(x0 - x, x - x1), std::max(y0 - y, y - y1));
      },
      [&](float, float) { return c; }, 1.0f);
}

void Canvas::FillRoundRect(float x0, float y0, float x1, float y1, float r, const Rgba& c,
                           float soft) {
  const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  const float hx = (x1 - x0) / 2 - r, hy = (y1 - y0) / 2 - r;
  FillSdf(
      x0, y0, x1, y1,
      [=](float x, float y) {
        const float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
        const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
        return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - r;
      },
      [&](float, float) { return c; }, soft);
}

void Canvas::StrokeRoundRect(float x0, float y0, float x1, float y1, float r, float width,
                             const Rgba& c) {
  const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  const float hx = (x1 - x0) / 2 - r, hy = (y1 - y0) / 2 - r;
  FillSdf(
      x0 - width, y0 - width, x1 + width, y1 + width,
      [=](float x, float y) {
        const float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
        const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
        const float d = std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - r;
        return std::fabs(d) - width / 2;
      },
      [&](float, float) { return c; }, 1.0f);
}

void Canvas::ClearRoundRect(float x0, float y0, float x1, float y1, float r) {
  const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  const float hx = (x1 - x0) / 2 - r, hy = (y1 - y0) / 2 - r;
  for (int y = std::max(0, static_cast<int>(y0) - 1); y < std::min(h_, static_cast<int>(y1) + 2);
       ++y)
    for (int x = std::max(0, static_cast<int>(x0) - 1); x < std::min(w_, static_cast<int>(x1) + 2);
         ++x) {
      const float qx = std::fabs(x + 0.5f - cx) - hx, qy = std::fabs(y + 0.5f - cy) - hy;
      const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
      const float d = std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - r;
      const float coverage = std::min(1.0f, std::max(0.0f, 0.5f - d));
      At(x, y).a *= 1 - coverage;
    }
}

void Canvas::FillCircle(float cx, float cy, float r, const Rgba& c, float soft) {
  FillSdf(
      cx - r, cy - r, cx + r, cy + r,
      [=](float x, float y) { return std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) - r; },
      [&](float, float) { return c; }, soft);
}

void Canvas::FillEllipse(float cx, float cy, float rx, float ry, const Rgba& c, float soft) {
  FillSdf(
      cx - rx, cy - ry, cx + rx, cy + ry,
      [=](float x, float y) {
        const float nx = (x - cx) / rx, ny = (y - cy) / ry;
        const float k = std::sqrt(nx * nx + ny * ny);
        return (k - 1) * std::min(rx, ry);
      },
      [&](float, float) { return c; }, soft);
}

void Canvas::FillPolygon(const std::vector<Vec2>& pts, const Rgba& c, float soft) {
  if (pts.size() < 3) return;
  float x0 = pts[0].x, x1 = pts[0].x, y0 = pts[0].y, y1 = pts[0].y;
  for (const Vec2& p : pts) {
    x0 = std::min(x0, p.x);
    x1 = std::max(x1, p.x);
    y0 = std::min(y0, p.y);
    y1 = std::max(y1, p.y);
  }
  FillSdf(
      x0, y0, x1, y1,
      [&](float x, float y) {
        float d = 1e9f;
        bool inside = false;
        for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
          d = std::min(d, SegmentDistance(x, y, pts[j], pts[i]));
          if (((pts[i].y > y) != (pts[j].y > y)) &&
              (x < (pts[j].x - pts[i].x) * (y - pts[i].y) / (pts[j].y - pts[i].y) + pts[i].x))
            inside = !inside;
        }
        return inside ? -d : d;
      },
      [&](float, float) { return c; }, soft);
}

void Canvas::StrokeLine(float x0, float y0, float x1, float y1, float width, const Rgba& c) {
  const Vec2 a{x0, y0}, b{x1, y1};
  FillSdf(
      std::min(x0, x1) - width, std::min(y0, y1) - width, std::max(x0, x1) + width,
      std::max(y0, y1) + width,
      [&](float x, float y) { return SegmentDistance(x, y, a, b) - width / 2; },
      [&](float, float) { return c; }, 1.0f);
}

void Canvas::Glow(float cx, float cy, float radius, const Rgba& c, float power) {
  const int x0 = std::max(0, static_cast<int>(cx - radius)),
            x1 = std::min(w_, static_cast<int>(cx + radius) + 1);
  const int y0 = std::max(0, static_cast<int>(cy - radius)),
            y1 = std::min(h_, static_cast<int>(cy + radius) + 1);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const float d =
          std::sqrt((x + 0.5f - cx) * (x + 0.5f - cx) + (y + 0.5f - cy) * (y + 0.5f - cy));
      if (d >= radius) continue;
      Blend(x, y, c, std::pow(1 - d / radius, power));
    }
}

void Canvas::FillStar(float cx, float cy, float outer, float inner, float rotation, const Rgba& c,
                      float soft) {
  std::vector<Vec2> pts;
  for (int i = 0; i < 10; ++i) {
    const float r = (i % 2 == 0) ? outer : inner;
    const float a = rotation - kPi / 2 + i * kPi / 5;
    pts.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
  }
  FillPolygon(pts, c, soft);
}

void Canvas::DrawImage(const Canvas& src, int x, int y) {
  for (int sy = 0; sy < src.h_; ++sy)
    for (int sx = 0; sx < src.w_; ++sx) Blend(x + sx, y + sy, src.At(sx, sy), 1.0f);
  for (TextMark mark : src.texts_) {
    mark.x0 += x;
    mark.x1 += x;
    mark.y0 += y;
    mark.y1 += y;
    texts_.push_back(mark);
  }
}

float Canvas::MeasureText(const std::string& utf8, const TextStyle& style) {
  FT_Face face = Face(style.font, style.heavy);
  FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(std::lround(style.pixelSize * style.squeeze)),
                     static_cast<FT_UInt>(std::lround(style.pixelSize)));
  float pen = 0;
  for (char32_t c : Utf8ToCodepoints(utf8))
    if (FT_Load_Char(face, c, FT_LOAD_DEFAULT) == 0) pen += face->glyph->advance.x / 64.0f;
  return pen;
}

float Canvas::DrawText(const std::string& utf8, float x, float y, const TextStyle& style) {
  const int margin = static_cast<int>(std::ceil(style.outline + style.glow * 2)) + 2;
  int ox = 0, oy = 0;
  float advance = 0;
  const Coverage fill = RenderText(utf8, style, margin, &ox, &oy, &advance);
  const int baseX = static_cast<int>(std::lround(x)) - ox;
  const int baseY = static_cast<int>(std::lround(y)) - oy;
  auto paint = [&](const Coverage& cov, const Rgba& c) {
    for (int py = 0; py < cov.h; ++py)
      for (int px = 0; px < cov.w; ++px) {
        const float a = cov.a[static_cast<size_t>(py) * cov.w + px];
        if (a > 0) Blend(baseX + px, baseY + py, c, a);
      }
  };
  if (style.glow > 0) {
    Coverage g = Blur(Dilate(fill, style.glow * 0.5f), static_cast<int>(style.glow));
    paint(g, style.glowColor);
  }
  if (style.outline > 0) paint(Dilate(fill, style.outline), style.outlineColor);
  paint(fill, style.color);
  TextMark mark{utf8, w_, h_, 0, 0, style.color};
  for (int py = 0; py < fill.h; ++py)
    for (int px = 0; px < fill.w; ++px) {
      if (fill.At(px, py) < 0.999f) continue;
      mark.x0 = std::min(mark.x0, baseX + px);
      mark.y0 = std::min(mark.y0, baseY + py);
      mark.x1 = std::max(mark.x1, baseX + px + 1);
      mark.y1 = std::max(mark.y1, baseY + py + 1);
    }
  mark.x0 = std::max(mark.x0, 0);
  mark.y0 = std::max(mark.y0, 0);
  mark.x1 = std::min(mark.x1, w_);
  mark.y1 = std::min(mark.y1, h_);
  if (mark.x0 < mark.x1 && mark.y0 < mark.y1) texts_.push_back(mark);
  return advance;
}

void Canvas::DrawTextCentered(const std::string& utf8, float cx, float y, const TextStyle& style) {
  DrawText(utf8, cx - MeasureText(utf8, style) / 2, y, style);
}

Image Canvas::ToImage() const {
  Image img;
  img.width = w_;
  img.height = h_;
  img.argb.resize(px_.size());
  auto q = [](float v) { return static_cast<uint32_t>(std::lround(Clamp01(v) * 255.0f)); };
  for (size_t i = 0; i < px_.size(); ++i) {
    const Rgba& p = px_[i];
    img.argb[i] = (q(p.a) << 24) | (q(p.r) << 16) | (q(p.g) << 8) | q(p.b);
  }
  return img;
}

std::vector<uint8_t> Canvas::ToPng() const {
  std::vector<uint8_t> bytes;
  std::string why;
  if (!EncodePng(ToImage(), &bytes, &why)) {
    std::fprintf(stderr, "orvelune-assetgen: %s\n", why.c_str());
    std::exit(1);
  }
  return bytes;
}
