// A floating-point RGBA canvas for drawing the game's pictures: shapes with
// soft (anti-aliased) edges from signed distances, gradients, noise, glows,
// and text in the game's Japanese fonts.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/math.h"
#include "platform/png_image.h"

struct Rgba {
  float r = 0, g = 0, b = 0, a = 0;
};

inline Rgba RgbaHex(uint32_t rgb, float a = 1.0f) {
  return {((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f, a};
}
inline Rgba Mix(const Rgba& x, const Rgba& y, float t) {
  return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t,
          x.a + (y.a - x.a) * t};
}
inline Rgba WithAlpha(Rgba c, float a) {
  c.a = a;
  return c;
}
inline Rgba Scale(Rgba c, float k) {
  return {c.r * k, c.g * k, c.b * k, c.a};
}

// Smooth noise in [0, 1], tileable with the given period (in lattice cells).
float ValueNoise(float x, float y, int period, uint32_t seed);
// Sum of octaves of ValueNoise, tileable with the given base period.
float Fbm(float x, float y, int period, int octaves, uint32_t seed);

enum class FontStyle { Serif, Sans };

class Canvas {
 public:
  Canvas(int width, int height, Rgba fill = {});
  int Width() const { return w_; }
  int Height() const { return h_; }
  Rgba& At(int x, int y) { return px_[static_cast<size_t>(y) * w_ + x]; }
  const Rgba& At(int x, int y) const { return px_[static_cast<size_t>(y) * w_ + x]; }

  // Paints colour c over pixel (x, y) with the given coverage (0..1).
  void Blend(int x, int y, const Rgba& c, float coverage);
  // Every pixel of the rectangle [x0, x1) x [y0, y1) from a function of the
  // pixel centre (writes, does not blend).
  void Shade(int x0, int y0, int x1, int y1, const std::function<Rgba(float x, float y)>& f);
  // Blends a shape given by its signed distance (negative inside) within a
  // bounding box; soft is the width of the edge in pixels.
  void FillSdf(float x0, float y0, float x1, float y1,
               const std::function<float(float, float)>& sdf,
               const std::function<Rgba(float, float)>& color, float soft = 1.0f);
  void FillRect(float x0, float y0, float x1, float y1, const Rgba& c);
  void FillRoundRect(float x0, float y0, float x1, float y1, float radius, const Rgba& c,
                     float soft = 1.0f);
  void StrokeRoundRect(float x0, float y0, float x1, float y1, float radius, float width,
                       const Rgba& c);
  // Makes the rounded rectangle transparent again (a window in a picture
  // through which what is drawn under it shows).
  void ClearRoundRect(float x0, float y0, float x1, float y1, float radius);
  void FillCircle(float cx, float cy, float r, const Rgba& c, float soft = 1.0f);
  void FillEllipse(float cx, float cy, float rx, float ry, const Rgba& c, float soft = 1.0f);
  void FillPolygon(const std::vector<Vec2>& points, const Rgba& c, float soft = 1.0f);
  void StrokeLine(float x0, float y0, float x1, float y1, float width, const Rgba& c);
  // A radial glow: alpha falls from the centre to zero at radius.
  void Glow(float cx, float cy, float radius, const Rgba& c, float power = 2.0f);
  // A five-pointed star centred at (cx, cy).
  void FillStar(float cx, float cy, float outer, float inner, float rotation, const Rgba& c,
                float soft = 1.0f);
  // Blends src in with its top left at (x, y); its texts' marks come along.
  void DrawImage(const Canvas& src, int x, int y);

  // Text (UTF-8) with its left edge at x and its baseline at y; pixelSize is
  // the em height. Optional outline and glow around the letters. Returns the
  // advance width.
  struct TextStyle {
    float pixelSize = 32;
    FontStyle font = FontStyle::Serif;
    bool heavy = true;
    Rgba color{1, 1, 1, 1};
    float outline = 0;  // pixels
    Rgba outlineColor{0, 0, 0, 1};
    float glow = 0;  // pixels
    Rgba glowColor{1, 1, 1, 1};
    float squeeze = 1.0f;  // horizontal scale of the letters
  };
  float DrawText(const std::string& utf8, float x, float y, const TextStyle& style);
  // The width the text would take.
  static float MeasureText(const std::string& utf8, const TextStyle& style);
  // Text centred on x.
  void DrawTextCentered(const std::string& utf8, float cx, float y, const TextStyle& style);

  Image ToImage() const;
  std::vector<uint8_t> ToPng() const;

  // Every text drawn on the canvas: the box around its letters' full
  // coverage (where only the fill colour shows) and that colour, for the
  // tests that measure what the game shows of it.
  struct TextMark {
    std::string text;
    int x0, y0, x1, y1;  // [x0, x1) x [y0, y1)
    Rgba color;
  };
  const std::vector<TextMark>& Texts() const { return texts_; }

 private:
  int w_, h_;
  std::vector<Rgba> px_;
  std::vector<TextMark> texts_;
};
