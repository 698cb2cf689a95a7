// Every picture of the game. The art direction: a night sky over a river of
// stars; deep blues and violets, gold and white stars, warm wood and grey
// stone. Pictures the code cuts up are laid out at exactly the source
// rectangles the screens draw (the HUD atlas, the pause pieces, the title
// menu, the clear and game-over captions).
#include <cmath>
#include <string>

#include "base/language.h"
#include "tools/assetgen/assetgen.h"
#include "tools/assetgen/canvas.h"

namespace {

// Pictures with words in them are drawn once per language.
enum class Lang { kJa, kEn };
const char* W(Lang lang, const char* ja, const char* en) {
  return lang == Lang::kEn ? en : ja;
}

const std::string kRoot = "Resource_Orvelune/";

const Rgba kNight = RgbaHex(0x0B1230);
const Rgba kViolet = RgbaHex(0x2A1F5C);
const Rgba kGold = RgbaHex(0xF2C14E);
const Rgba kPaleGold = RgbaHex(0xFFE9A8);
const Rgba kStar = RgbaHex(0xFFF6D8);
const Rgba kCyan = RgbaHex(0x7FD4FF);
const Rgba kInk = RgbaHex(0x1A1530);
const Rgba kWhite{1, 1, 1, 1};

// Where each picture's texts lie (see Canvas::TextMark), one line a text:
// file, box, fill colour and text, tab-separated. The tests that measure
// the contrast of what the game shows read it; the game never does.
std::string g_textMarks;

void Put(AssetSet& out, const std::string& path, const Canvas& c) {
  out.Add(kRoot + path, c.ToPng());
  auto q = [](float v) {
    return static_cast<unsigned>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255));
  };
  for (const Canvas::TextMark& t : c.Texts()) {
    char line[160];
    std::snprintf(line, sizeof line, "\t%d %d %d %d\t%02X%02X%02X\t", t.x0, t.y0, t.x1, t.y1,
                  q(t.color.r), q(t.color.g), q(t.color.b));
    g_textMarks += kRoot + path + line + t.text + "\n";
  }
}

Canvas::TextStyle Style(float size, Rgba color = kWhite, float outline = 0,
                        Rgba outlineColor = kInk, float glow = 0, Rgba glowColor = kGold,
                        FontStyle font = FontStyle::Serif) {
  Canvas::TextStyle s;
  s.pixelSize = size;
  s.color = color;
  s.outline = outline;
  s.outlineColor = outlineColor;
  s.glow = glow;
  s.glowColor = glowColor;
  s.font = font;
  return s;
}

// Scatters stars over a rectangle: small points, a few bright ones with a glow.
void Starfield(Canvas& c, int x0, int y0, int x1, int y1, int count, uint64_t seed,
               float scale = 1) {
  Rng rng(seed);
  for (int i = 0; i < count; ++i) {
    const float x = static_cast<float>(rng.Range(x0, x1)),
                y = static_cast<float>(rng.Range(y0, y1));
    const float b = static_cast<float>(rng.Uniform());
    const Rgba tint =
        Mix(kStar, b < 0.3f ? kCyan : kPaleGold, static_cast<float>(rng.Uniform()) * 0.5f);
    if (b > 0.97f) {
      c.Glow(x, y, 9 * scale, WithAlpha(tint, 0.5f));
      c.FillCircle(x, y, 1.6f * scale, tint);
      c.StrokeLine(x - 7 * scale, y, x + 7 * scale, y, 0.8f, WithAlpha(tint, 0.7f));
      c.StrokeLine(x, y - 7 * scale, x, y + 7 * scale, 0.8f, WithAlpha(tint, 0.7f));
    } else {
      c.FillCircle(x, y, (0.5f + b * 1.1f) * scale, WithAlpha(tint, 0.35f + b * 0.65f));
    }
  }
}

// A night sky gradient with a band of nebula (the river of stars) along a line.
void NightSky(Canvas& c, uint32_t seed, float bandAngle, float bandOffset, bool tile = false) {
  const int w = c.Width(), h = c.Height();
  const float ca = std::cos(bandAngle), sa = std::sin(bandAngle);
  c.Shade(0, 0, w, h, [&](float x, float y) {
    const float v = y / h;
    Rgba base = Mix(RgbaHex(0x05081C), kViolet, 0.15f + 0.5f * v);
    // Distance from the band's centre line; wrapping pictures (the sky dome)
    // use a band that winds around once so the left and right edges meet.
    const float d = tile ? (v - 0.5f - 0.18f * std::sin(x / w * 2 * kPi + bandAngle)) - bandOffset
                         : ((x - w / 2.0f) * sa - (y - h / 2.0f) * ca) / h - bandOffset;
    const float band = std::exp(-d * d * 18);
    const float n = tile ? Fbm(x / w * 8, y / h * 4, 8, 5, seed) : Fbm(x / 90, y / 90, 0, 5, seed);
    const float cloud = band * (0.35f + 0.65f * n);
    base = Mix(base, RgbaHex(0x3B4FA8), cloud * 0.55f);
    base = Mix(base, RgbaHex(0xB48AE0), std::max(0.0f, cloud - 0.5f) * 0.6f);
    base.a = 1;
    return base;
  });
}

// ---- Shared textures -------------------------------------------------------

void WoodTexture(Canvas& c, Rgba light, Rgba dark, uint32_t seed) {
  const int w = c.Width(), h = c.Height();
  c.Shade(0, 0, w, h, [&](float x, float y) {
    const float u = x / w, v = y / h;
    const float warp = Fbm(u * 4, v * 4, 4, 4, seed) * 2.5f;
    const float rings = 0.5f + 0.5f * std::sin((u * 11 + warp) * kPi * 2);
    const float grain = Fbm(u * 32, v * 2, 32, 3, seed + 7);
    Rgba col = Mix(dark, light, 0.35f + 0.45f * rings + 0.2f * grain);
    col.a = 1;
    return col;
  });
}

void ChipTexture(Canvas& c) {
  WoodTexture(c, RgbaHex(0xC9915A), RgbaHex(0x7A4A28), 11);
  const float w = static_cast<float>(c.Width());
  c.StrokeRoundRect(3, 3, w - 3, w - 3, 8, 4, RgbaHex(0x4A2A14, 0.8f));
  c.StrokeRoundRect(9, 9, w - 9, w - 9, 6, 2, RgbaHex(0xF2C14E, 0.55f));
  c.FillStar(w / 2, w / 2, w * 0.13f, w * 0.055f, 0, RgbaHex(0xF2C14E, 0.45f));
}

void SelectedChipTexture(Canvas& c) {
  WoodTexture(c, RgbaHex(0xFFE08A), RgbaHex(0xD08C3A), 11);
  const float w = static_cast<float>(c.Width());
  c.StrokeRoundRect(4, 4, w - 4, w - 4, 8, 8, RgbaHex(0xFFF6D8, 0.95f));
  c.Glow(w / 2, w / 2, w * 0.45f, RgbaHex(0xFFFFFF, 0.35f));
  c.FillStar(w / 2, w / 2, w * 0.2f, w * 0.085f, 0, RgbaHex(0xFFFFFF, 0.9f));
}

void StoneTexture(Canvas& c, Rgba light, Rgba dark, uint32_t seed) {
  const int w = c.Width(), h = c.Height();
  c.Shade(0, 0, w, h, [&](float x, float y) {
    const float u = x / w, v = y / h;
    const float n = Fbm(u * 6, v * 6, 6, 5, seed);
    const float speck = Fbm(u * 40, v * 40, 40, 2, seed + 3);
    Rgba col = Mix(dark, light, 0.25f + 0.6f * n + (speck > 0.75f ? 0.15f : 0));
    col.a = 1;
    return col;
  });
}

void RockChipTexture(Canvas& c) {
  StoneTexture(c, RgbaHex(0xA9A8B8), RgbaHex(0x4A4A5C), 21);
  const float w = static_cast<float>(c.Width());
  c.StrokeRoundRect(3, 3, w - 3, w - 3, 6, 4, RgbaHex(0x2A2A38, 0.8f));
  c.StrokeLine(w * 0.2f, w * 0.3f, w * 0.45f, w * 0.5f, 2, RgbaHex(0x2A2A38, 0.6f));
  c.StrokeLine(w * 0.45f, w * 0.5f, w * 0.4f, w * 0.8f, 2, RgbaHex(0x2A2A38, 0.6f));
}

void BrickTexture(Canvas& c) {
  // Two rows of stone blocks per tile (the wall tiles every 2 units).
  StoneTexture(c, RgbaHex(0x9C98B0), RgbaHex(0x4E4A66), 31);
  const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
  const Rgba mortar = RgbaHex(0x2A2640, 0.85f);
  for (int row = 0; row <= 4; ++row) c.StrokeLine(0, row * h / 4, w, row * h / 4, 3, mortar);
  for (int row = 0; row < 4; ++row) {
    const float off = row % 2 ? w / 4 : 0;
    for (int k = 0; k <= 2; ++k) {
      const float x = off + k * w / 2;
      c.StrokeLine(x, row * h / 4, x, (row + 1) * h / 4, 3, mortar);
    }
  }
  Starfield(c, 0, 0, static_cast<int>(w), static_cast<int>(h), 10, 5, 0.8f);
}

void ShadowTexture(Canvas& c) {
  const float w = static_cast<float>(c.Width());
  c.Shade(0, 0, c.Width(), c.Height(), [&](float x, float y) {
    const float d = std::sqrt((x - w / 2) * (x - w / 2) + (y - w / 2) * (y - w / 2)) / (w / 2);
    const float a = d >= 1 ? 0 : std::pow(1 - d * d, 1.5f);
    return Rgba{0, 0, 0, a};
  });
}

void StunTexture(Canvas& c, bool rotating) {
  const float w = static_cast<float>(c.Width());
  if (!rotating) {
    c.Glow(w / 2, w / 2, w * 0.48f, RgbaHex(0xFFE27A, 0.6f));
    c.FillStar(w / 2, w / 2, w * 0.36f, w * 0.15f, 0, RgbaHex(0xFFF2B0));
    c.FillStar(w / 2, w / 2, w * 0.2f, w * 0.08f, 0, kWhite);
  } else {
    for (int k = 0; k < 3; ++k) {
      const float a = k * 2 * kPi / 3;
      const float x = w / 2 + std::cos(a) * w * 0.28f, y = w / 2 + std::sin(a) * w * 0.28f;
      c.Glow(x, y, w * 0.2f, RgbaHex(0x9FE3FF, 0.6f));
      c.FillStar(x, y, w * 0.14f, w * 0.06f, a, RgbaHex(0xDFF6FF));
    }
    for (int k = 0; k < 40; ++k) {
      const float a = k * 0.15f, r = w * 0.12f + k * 0.5f;
      c.FillCircle(w / 2 + std::cos(a) * r, w / 2 + std::sin(a) * r, 1.4f, RgbaHex(0xBFEFFF, 0.8f));
    }
  }
}

// The river surface layers: tileable, translucent.
void RiverTexture(Canvas& c, int layer) {
  const int w = c.Width(), h = c.Height();
  c.Shade(0, 0, w, h, [&](float x, float y) {
    const float u = x / w, v = y / h;
    const float n = Fbm(u * 4, v * 4, 4, 5, layer == 0 ? 41u : 43u);
    const float streak = 0.5f + 0.5f * std::sin((v * 2 + n * 0.6f) * kPi * 2);
    Rgba col = layer == 0 ? Mix(RgbaHex(0x1A2A7A), RgbaHex(0x6A5ACD), n)
                          : Mix(RgbaHex(0x2A6AC8), RgbaHex(0x9FE3FF), streak);
    col.a = layer == 0 ? 0.55f + 0.3f * n : 0.12f + 0.3f * streak * n;
    return col;
  });
  // Stars that tile: draw each also shifted by the size where it crosses the edge.
  Rng rng(layer == 0 ? 7 : 9);
  const int count = layer == 0 ? 220 : 90;
  for (int i = 0; i < count; ++i) {
    const float x = static_cast<float>(rng.Range(0, w)), y = static_cast<float>(rng.Range(0, h));
    const float b = static_cast<float>(rng.Uniform());
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy) {
        const float px = x + dx * w, py = y + dy * h;
        if (b > 0.9f) c.Glow(px, py, 6 + b * 4, WithAlpha(kStar, 0.6f));
        c.FillCircle(px, py, 0.6f + b * 1.2f, WithAlpha(kStar, 0.5f + 0.5f * b));
      }
  }
}

void GaugeUiTexture(Canvas& c) {
  c.Shade(0, 0, c.Width(), c.Height(), [&](float x, float) {
    Rgba col = Mix(kCyan, kGold, x / c.Width());
    col.a = 0.9f;
    return col;
  });
  c.StrokeRoundRect(2, 2, c.Width() - 2, c.Height() - 2, 10, 3, kWhite);
}

// ---- The HUD atlas ---------------------------------------------------------

// Where the HUD draws the side mark (64, 62) inside the life gauge (11, 12),
// and the badge inside the mark's 90 x 56 piece.
constexpr Vec2 kHudMarkInGauge{53, 50};
constexpr float kMarkBadge[4] = {6, 4, 84, 52};
const Rgba kMarkInk = RgbaHex(0x141B3D);

void LifeGauge(Canvas& c, int x0, int y0, int life) {
  const float w = 457, h = 171;
  // Panel: a night-blue scroll with a gold rim.
  c.FillRoundRect(x0 + 6, y0 + 30, x0 + w - 6, y0 + h - 8, 22, RgbaHex(0x0E1640, 0.82f), 1.5f);
  c.StrokeRoundRect(x0 + 6, y0 + 30, x0 + w - 6, y0 + h - 8, 22, 3, WithAlpha(kGold, 0.9f));
  c.StrokeRoundRect(x0 + 14, y0 + 38, x0 + w - 14, y0 + h - 16, 16, 1.2f,
                    WithAlpha(kPaleGold, 0.5f));
  // Nine star slots along the bottom.
  for (int k = 0; k < 9; ++k) {
    const float cx = x0 + 50 + k * 45.5f, cy = y0 + 128;
    if (k < life) {
      c.Glow(cx, cy, 26, RgbaHex(0xFFD86B, 0.55f));
      c.FillStar(cx, cy, 18, 7.5f, 0, RgbaHex(0xFFE27A));
      c.FillStar(cx - 1, cy - 2, 8, 3.3f, 0, RgbaHex(0xFFFBE8));
    } else {
      c.FillStar(cx, cy, 17, 7, 0, RgbaHex(0x3A3F6A, 0.9f));
      c.FillStar(cx, cy, 13, 5.3f, 0, RgbaHex(0x1A1F40, 0.9f));
    }
  }
  if (life == 0)
    c.FillRoundRect(x0 + 6, y0 + 30, x0 + w - 6, y0 + h - 8, 22, RgbaHex(0xB03040, 0.25f));
  // A window over the side mark, which the HUD draws first, under the gauge:
  // the mark shows through it at its own brightness.
  const float mx = x0 + kHudMarkInGauge.x, my = y0 + kHudMarkInGauge.y;
  c.ClearRoundRect(mx + kMarkBadge[0], my + kMarkBadge[1], mx + kMarkBadge[2], my + kMarkBadge[3],
                   12);
  c.StrokeRoundRect(mx + kMarkBadge[0] - 1.5f, my + kMarkBadge[1] - 1.5f, mx + kMarkBadge[2] + 1.5f,
                    my + kMarkBadge[3] + 1.5f, 13, 1.5f, WithAlpha(kPaleGold, 0.6f));
  // Number of lives at the right.
  const std::string digits = std::to_string(life);
  c.DrawTextCentered(digits, x0 + 400, y0 + 92,
                     Style(40, life ? kPaleGold : RgbaHex(0xFF8080), 2.5f));
}

void HudAtlas(Canvas& c, Lang lang) {
  // Life gauges in the places the HUD cuts them from.
  const int places[10][2] = {{629, 0},  {1086, 684}, {1086, 513}, {1086, 342}, {1086, 171},
                             {1086, 0}, {629, 684},  {629, 513},  {629, 342},  {629, 171}};
  for (int life = 0; life <= 9; ++life) LifeGauge(c, places[life][0], places[life][1], life);
  // Hud marks: which side of the field the player is on, in dark letters on
  // a bright badge (gold above, silver-blue below) that the gauge's window
  // shows whole.
  for (int mark = 0; mark < 2; ++mark) {
    const float x = 293 + mark * 90.0f, y = 212;
    const Rgba light = mark == 0 ? RgbaHex(0xFFE08A) : RgbaHex(0xDCE6FF);
    const Rgba deep = mark == 0 ? RgbaHex(0xF0B43C) : RgbaHex(0x9DB2F2);
    c.FillSdf(
        x + kMarkBadge[0], y + kMarkBadge[1], x + kMarkBadge[2], y + kMarkBadge[3],
        [&](float px, float py) {
          const float cx = x + 45, cy = y + 28, hx = 39 - 12, hy = 24 - 12;
          const float qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
          const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
          return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - 12;
        },
        [&](float, float py) { return Mix(light, deep, (py - y - kMarkBadge[1]) / 48); });
    c.StrokeRoundRect(x + kMarkBadge[0] + 1.5f, y + kMarkBadge[1] + 1.5f, x + kMarkBadge[2] - 1.5f,
                      y + kMarkBadge[3] - 1.5f, 10.5f, 1.5f, WithAlpha(kWhite, 0.7f));
    const std::string word =
        lang == Lang::kEn ? (mark == 0 ? "TOP" : "BELOW") : (mark == 0 ? "表" : "裏");
    Canvas::TextStyle style = Style(lang == Lang::kEn ? 24 : 34, kMarkInk, 0, kInk, 0, kGold,
                                    lang == Lang::kEn ? FontStyle::Sans : FontStyle::Serif);
    // The word keeps a margin of 8 pixels inside the badge.
    const float room = kMarkBadge[2] - kMarkBadge[0] - 16;
    while (Canvas::MeasureText(word, style) > room) style.pixelSize -= 1;
    c.DrawTextCentered(word, x + 45, y + 28 + style.pixelSize * 0.36f, style);
  }
  // Label.
  c.DrawTextCentered(W(lang, "いのち", "LIFE"), 293 + 71, 268 + 32, Style(30, kPaleGold, 2, kInk));
  // Stage gauge bar: a stream of stars rising to the goal.
  const float bx0 = 155, bx1 = 293, by0 = 0, by1 = 471;
  c.Shade(static_cast<int>(bx0), static_cast<int>(by0), static_cast<int>(bx1),
          static_cast<int>(by1), [&](float x, float y) {
            const float u = (x - bx0) / (bx1 - bx0), v = (y - by0) / (by1 - by0);
            const float edge = std::min(u, 1 - u);
            Rgba col = Mix(RgbaHex(0xF2C14E), RgbaHex(0x3B5BD8), std::min(1.0f, v * 1.3f));
            col = Mix(col, RgbaHex(0x0B1230), edge < 0.12f ? 0.6f : 0);
            col.a = edge < 0.05f ? edge / 0.05f : 1;
            return col;
          });
  Starfield(c, static_cast<int>(bx0 + 15), 40, static_cast<int>(bx1 - 15), 460, 60, 77, 1.5f);
  c.Glow((bx0 + bx1) / 2, 30, 60, RgbaHex(0xFFF2B0, 0.8f));
  c.FillStar((bx0 + bx1) / 2, 30, 34, 14, 0, kWhite);
  // Info panel: paper on a gold frame; text goes at (22, 38), a picture at (200, 84).
  const float px0 = 293, py0 = 0, px1 = 629, py1 = 212;
  c.FillRoundRect(px0 + 2, py0 + 2, px1 - 2, py1 - 2, 16, RgbaHex(0xF5ECD6));
  c.Shade(static_cast<int>(px0 + 8), static_cast<int>(py0 + 8), static_cast<int>(px1 - 8),
          static_cast<int>(py1 - 8), [&](float x, float y) {
            const float n = Fbm(x / 40, y / 40, 0, 4, 91);
            Rgba col = Mix(RgbaHex(0xFBF4E2), RgbaHex(0xE8D8B4), n * 0.6f);
            col.a = 1;
            return col;
          });
  c.StrokeRoundRect(px0 + 3, py0 + 3, px1 - 3, py1 - 3, 15, 4, kGold);
  c.StrokeRoundRect(px0 + 10, py0 + 10, px1 - 10, py1 - 10, 10, 1.5f, RgbaHex(0xB88A2A));
  c.FillRoundRect(px0 + 18, py0 + 12, px0 + 130, py0 + 34, 8, RgbaHex(0x2A1F5C));
  c.DrawTextCentered(W(lang, "しるべ", "GUIDE"), px0 + 74, py0 + 30,
                     Style(18, kPaleGold, 0, kInk, 0, kGold, FontStyle::Sans));
}

void MapMarker(Canvas& c) {
  c.FillPolygon({{8, 1}, {15, 14}, {11, 14}, {11, 30}, {5, 30}, {5, 14}, {1, 14}},
                RgbaHex(0xFFFFFF));
  c.FillPolygon({{8, 4}, {12, 12}, {9, 12}, {9, 27}, {7, 27}, {7, 12}, {4, 12}}, RgbaHex(0x3F6FD8));
}

void FieldFrame(Canvas& c, Lang lang) {
  const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
  c.FillRoundRect(4, 4, w - 4, h - 4, 18, RgbaHex(0x0B1230, 0.7f));
  c.StrokeRoundRect(4, 4, w - 4, h - 4, 18, 3, kGold);
  // The slot the bar sits in: 28..70 across, 24..354 down.
  c.FillRoundRect(24, 20, 74, 358, 8, RgbaHex(0x000000, 0.55f));
  c.StrokeRoundRect(24, 20, 74, 358, 8, 1.5f, WithAlpha(kPaleGold, 0.6f));
  c.DrawTextCentered(W(lang, "ゴール", "GOAL"), 48, 16,
                     Style(13, kPaleGold, 0, kInk, 0, kGold, FontStyle::Sans));
  c.DrawTextCentered(W(lang, "道のり", "START"), 48, 376,
                     Style(14, kPaleGold, 0, kInk, 0, kGold, FontStyle::Sans));
}

void PauseSheet(Canvas& c, Lang lang) {
  // The heading: gold letters between two ruled lines with stars at their
  // ends, over a rule with a star in its middle, so it reads as the menu's
  // title and not as a third choice.
  const std::string heading = W(lang, "一時停止", "Paused");
  const Canvas::TextStyle headingStyle = Style(56, kPaleGold, 3, kInk, 8, WithAlpha(kGold, 0.45f));
  const float half = Canvas::MeasureText(heading, headingStyle) / 2;
  c.DrawTextCentered(heading, 195, 70, headingStyle);
  for (float side : {-1.0f, 1.0f}) {
    const float inner = 195 + side * (half + 16), outer = 195 + side * 186;
    c.StrokeLine(inner, 50, outer, 50, 2.5f, WithAlpha(kGold, 0.95f));
    c.FillStar(outer, 50, 7, 2.8f, 0, kPaleGold);
  }
  c.StrokeLine(60, 92, 330, 92, 1.5f, WithAlpha(kGold, 0.8f));
  c.FillStar(195, 92, 9, 3.6f, 0, kPaleGold);
  // Retry and quit: white letters with a soft glow (the menu tints both, so
  // the chosen one glows red and the other stays dark).
  c.DrawTextCentered(W(lang, "リトライ", "Retry"), 195, 108 + 45,
                     Style(42, kWhite, 3.5f, RgbaHex(0x1A0000), 3, WithAlpha(kWhite, 0.4f)));
  c.DrawTextCentered(W(lang, "タイトルへ", "Quit to Title"), 195, 167 + 47,
                     Style(42, kWhite, 3.5f, RgbaHex(0x1A0000), 3, WithAlpha(kWhite, 0.4f)));
  // Hints that stand against the right edge, with their key pictures.
  c.DrawText(W(lang, "ゲームにもどる", "Resume"), 84, 230 + 46,
             Style(28, kWhite, 2, kInk, 0, kGold, FontStyle::Sans));
  c.DrawText(W(lang, "えらんで決定", "Confirm"), 84, 298 + 50,
             Style(28, kWhite, 2, kInk, 0, kGold, FontStyle::Sans));
  // Key pictures: P / START and Return / A.
  c.FillRoundRect(4, 372, 68, 426, 10, RgbaHex(0x2A1F5C));
  c.StrokeRoundRect(4, 372, 68, 426, 10, 2, kPaleGold);
  c.DrawTextCentered("P", 36, 414, Style(34, kWhite, 0, kInk, 0, kGold, FontStyle::Sans));
  c.FillRoundRect(4, 430, 61, 470, 10, RgbaHex(0x2A1F5C));
  c.StrokeRoundRect(4, 430, 61, 470, 10, 2, kPaleGold);
  c.DrawTextCentered("Enter", 32, 458, Style(15, kWhite, 0, kInk, 0, kGold, FontStyle::Sans));
  // The pad's: START and A, in the same places further right.
  c.FillRoundRect(304, 372, 368, 426, 10, RgbaHex(0x2A1F5C));
  c.StrokeRoundRect(304, 372, 368, 426, 10, 2, kPaleGold);
  c.DrawTextCentered("START", 336, 405, Style(15, kWhite, 0, kInk, 0, kGold, FontStyle::Sans));
  c.FillCircle(332.5f, 451, 20, RgbaHex(0x2A1F5C));
  c.StrokeRoundRect(312.5f, 431, 352.5f, 471, 20, 2, kPaleGold);
  c.DrawTextCentered("A", 332.5f, 451 + 26 * 0.36f,
                     Style(26, kWhite, 0, kInk, 0, kGold, FontStyle::Sans));
  // The blinking label (drawn in grey levels).
  c.DrawText("PAUSE", 18, 472 + 58, Style(50, kWhite, 2, kInk, 0, kGold, FontStyle::Sans));
}

// "願" (a wish), or the English word stacked down a narrow strip.
void WishWord(Canvas& c, Lang lang, float cx, float cy, float size,
              const Canvas::TextStyle& style) {
  if (lang == Lang::kJa) {
    c.DrawTextCentered("願", cx, cy, style);
    return;
  }
  Canvas::TextStyle small = style;
  small.pixelSize = size * 0.55f;
  const char* letters[4] = {"W", "I", "S", "H"};
  for (int i = 0; i < 4; ++i)
    c.DrawTextCentered(letters[i], cx, cy + (i - 1.7f) * size * 0.6f, small);
}

// The pictures beside the boards' texts, 128 pixels square, in a row of
// ten. With the pad the first three show its controls instead of keys.
void BoardPictures(Canvas& c, Lang lang, bool pad) {
  auto key = [&](float x, float y, float w, float h, const std::string& label, float size) {
    c.FillRoundRect(x, y, x + w, y + h, 8, RgbaHex(0xFBF6EA));
    c.StrokeRoundRect(x, y, x + w, y + h, 8, 2.5f, RgbaHex(0x2A2640));
    c.DrawTextCentered(label, x + w / 2, y + h / 2 + size * 0.36f,
                       Style(size, RgbaHex(0x1A1530), 0, kInk, 0, kGold, FontStyle::Sans));
  };
  const Rgba arrowBlue = RgbaHex(0x3F6FD8);
  if (pad) {
    // 0: the left stick, with the four ways it walks.
    c.FillCircle(64, 64, 34, RgbaHex(0x3A3A4A));
    c.FillCircle(64, 64, 22, RgbaHex(0xFBF6EA));
    c.StrokeRoundRect(42, 42, 86, 86, 22, 2.5f, RgbaHex(0x2A2640));
    c.DrawTextCentered("L", 64, 64 + 24 * 0.36f,
                       Style(24, RgbaHex(0x1A1530), 0, kInk, 0, kGold, FontStyle::Sans));
    c.FillPolygon({{64, 8}, {74, 22}, {54, 22}}, arrowBlue);
    c.FillPolygon({{64, 120}, {54, 106}, {74, 106}}, arrowBlue);
    c.FillPolygon({{8, 64}, {22, 54}, {22, 74}}, arrowBlue);
    c.FillPolygon({{120, 64}, {106, 74}, {106, 54}}, arrowBlue);
    // 1: RB lifts, RT throws.
    key(128 + 10, 50, 52, 34, "RB", 20);
    key(128 + 66, 40, 52, 54, "RT", 20);
    c.FillStar(128 + 64, 22, 14, 6, 0, kGold);
    // 2: LB flips.
    key(256 + 38, 40, 52, 40, "LB", 22);
  } else {
    // 0: the arrow keys.
    key(44, 18, 40, 40, "↑", 26);
    key(4, 62, 40, 40, "←", 26);
    key(44, 62, 40, 40, "↓", 26);
    key(84, 62, 40, 40, "→", 26);
    // 1: Space (lift, carry, throw).
    key(128 + 8, 46, 112, 38, "Space", 22);
    c.FillStar(128 + 64, 22, 14, 6, 0, kGold);
    // 2: M (flip).
    key(256 + 40, 40, 48, 48, "M", 30);
  }
  c.StrokeLine(256 + 20, 100, 256 + 108, 100, 3, arrowBlue);
  c.FillPolygon({{256 + 100, 94}, {256 + 112, 100}, {256 + 100, 106}}, arrowBlue);
  // 3: the pad's shoulders.
  key(384 + 6, 30, 52, 34, "LB", 20);
  key(384 + 70, 30, 52, 34, "RB", 20);
  c.FillRoundRect(384 + 16, 72, 384 + 112, 118, 20, RgbaHex(0x3A3A4A));
  // 4: charge levels: one, two and three stars.
  for (int lvl = 0; lvl < 3; ++lvl)
    for (int k = 0; k <= lvl; ++k)
      c.FillStar(512 + 24 + lvl * 40, 104 - k * 30, 12 + lvl * 2, 5 + lvl, 0, kGold);
  // 5: flip: a block turning over.
  c.FillRoundRect(640 + 38, 30, 640 + 90, 62, 4, RgbaHex(0xC9915A));
  c.FillRoundRect(640 + 38, 70, 640 + 90, 102, 4, RgbaHex(0x7A4A28));
  c.StrokeLine(640 + 24, 46, 640 + 24, 86, 3, RgbaHex(0x3F6FD8));
  c.FillPolygon({{640 + 18, 84}, {640 + 24, 96}, {640 + 30, 84}}, RgbaHex(0x3F6FD8));
  c.StrokeLine(640 + 104, 86, 640 + 104, 46, 3, RgbaHex(0x3F6FD8));
  c.FillPolygon({{640 + 98, 48}, {640 + 104, 36}, {640 + 110, 48}}, RgbaHex(0x3F6FD8));
  // 6: the recovery strip.
  c.FillRoundRect(768 + 48, 20, 768 + 80, 108, 3, RgbaHex(0xF08AB4));
  c.FillStar(768 + 64, 16, 12, 5, 0, kGold);
  WishWord(c, lang, 768 + 64, 76, 22, Style(22, kWhite, 0, kInk, 0, kGold));
  // 7: the great wave.
  c.FillPolygon({{896 + 6, 110},
                 {896 + 30, 60},
                 {896 + 70, 30},
                 {896 + 110, 40},
                 {896 + 96, 60},
                 {896 + 76, 58},
                 {896 + 86, 84},
                 {896 + 122, 110}},
                RgbaHex(0x3F8FE8));
  c.FillPolygon({{896 + 70, 30}, {896 + 110, 40}, {896 + 96, 60}, {896 + 80, 50}},
                RgbaHex(0xE8F6FF));
  // 8: a moving stone with its path.
  c.FillRoundRect(1024 + 14, 46, 1024 + 54, 86, 4, RgbaHex(0x9A8E86));
  c.StrokeRoundRect(1024 + 14, 46, 1024 + 54, 86, 4, 2, RgbaHex(0x4A403A));
  for (int k = 0; k < 3; ++k) c.FillCircle(1024 + 66 + k * 12, 66, 3, RgbaHex(0x3F6FD8));
  c.FillPolygon({{1024 + 100, 56}, {1024 + 116, 66}, {1024 + 100, 76}}, RgbaHex(0x3F6FD8));
  // 9: a star striking a wall that falls over.
  c.FillRoundRect(1152 + 70, 20, 1152 + 84, 104, 2, RgbaHex(0xB08A5A));
  c.StrokeLine(1152 + 84, 104, 1152 + 122, 104, 4, RgbaHex(0xB08A5A, 0.5f));
  c.FillStar(1152 + 34, 52, 16, 7, 0, kGold);
  c.StrokeLine(1152 + 6, 52, 1152 + 16, 52, 3, kGold);
  c.FillPolygon({{1152 + 92, 30}, {1152 + 106, 40}, {1152 + 92, 48}}, RgbaHex(0x3F6FD8));
}

// The keyboard's row of board pictures above the pad's.
void ButtonPictures(Canvas& c, Lang lang) {
  BoardPictures(c, lang, false);
  Canvas pad(1280, 128);
  BoardPictures(pad, lang, true);
  c.DrawImage(pad, 0, 128);
}

// ---- Model textures --------------------------------------------------------

void StarShimmer(Canvas& c) {
  const float w = static_cast<float>(c.Width());
  c.Shade(0, 0, c.Width(), c.Height(), [&](float x, float y) {
    const float d = std::sqrt((x - w / 2) * (x - w / 2) + (y - w / 2) * (y - w / 2)) / (w / 2);
    Rgba col = Mix(RgbaHex(0xFFFBE8), RgbaHex(0xF2B03A), std::min(1.0f, d));
    col.a = 1;
    return col;
  });
}

void FabricTexture(Canvas& c, Rgba base, Rgba pattern) {
  const int w = c.Width(), h = c.Height();
  c.Shade(0, 0, w, h, [&](float x, float y) {
    Rgba col = Mix(base, Scale(base, 0.8f), Fbm(x / 16, y / 16, 0, 3, 5));
    col.a = 1;
    return col;
  });
  for (int k = 0; k < 6; ++k)
    for (int j = 0; j < 6; ++j)
      c.FillStar((k + 0.5f + (j % 2) * 0.5f) * w / 6, (j + 0.5f) * h / 6, w / 28.0f, w / 70.0f, 0,
                 WithAlpha(pattern, 0.8f));
}

void SkyTexture(Canvas& c) {
  NightSky(c, 61, 0.35f, 0.0f, true);
  // Stars near the left and right edges are drawn on both sides of the seam.
  Canvas stars(c.Width() + 64, c.Height());
  Starfield(stars, 32, 0, c.Width() + 32, c.Height(), 2600, 63, 1.2f);
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < stars.Width(); ++x) {
      const Rgba& p = stars.At(x, y);
      if (p.a <= 0) continue;
      const int tx = ((x - 32) % c.Width() + c.Width()) % c.Width();
      c.Blend(tx, y, p, 1.0f);
    }
}

void CarvedStone(Canvas& c) {
  StoneTexture(c, RgbaHex(0xB8B0D0), RgbaHex(0x5A5478), 71);
  const float w = static_cast<float>(c.Width());
  c.StrokeRoundRect(8, 8, w - 8, w - 8, 10, 6, RgbaHex(0x3A3458, 0.8f));
  c.StrokeRoundRect(20, 20, w - 20, w - 20, 8, 3, RgbaHex(0xF2C14E, 0.7f));
  c.FillStar(w / 2, w / 2, w * 0.22f, w * 0.09f, 0, RgbaHex(0xF2C14E, 0.7f));
  c.FillStar(w / 2, w / 2, w * 0.14f, w * 0.056f, 0, RgbaHex(0x2A2448, 0.8f));
}

void GateTexture(Canvas& c) {
  const int w = c.Width(), h = c.Height();
  c.Shade(0, 0, w, h, [&](float x, float y) {
    Rgba col = Mix(RgbaHex(0xB02A2A), RgbaHex(0x6E1414), Fbm(x / 30, y / 30, 0, 3, 81) * 0.6f);
    col.a = 1;
    return col;
  });
  // A lattice of gold lines.
  for (int k = 1; k < 6; ++k)
    c.StrokeLine(k * w / 6.0f, 0, k * w / 6.0f, static_cast<float>(h), 3, RgbaHex(0xF2C14E, 0.85f));
  for (int k = 1; k < 10; ++k)
    c.StrokeLine(0, k * h / 10.0f, static_cast<float>(w), k * h / 10.0f, 3,
                 RgbaHex(0xF2C14E, 0.85f));
}

void PlankTexture(Canvas& c) {
  WoodTexture(c, RgbaHex(0xB07A48), RgbaHex(0x5E3A1E), 91);
  const float w = static_cast<float>(c.Width());
  for (int k = 0; k <= 4; ++k)
    c.StrokeLine(0, k * w / 4, w, k * w / 4, 2.5f, RgbaHex(0x2E1A0C, 0.9f));
  for (int k = 0; k < 4; ++k) {
    c.FillCircle(8, k * w / 4 + w / 8, 2.5f, RgbaHex(0xD8C090));
    c.FillCircle(w - 8, k * w / 4 + w / 8, 2.5f, RgbaHex(0xD8C090));
  }
}

void BoardTexture(Canvas& c, Lang lang) {
  WoodTexture(c, RgbaHex(0xE0C08A), RgbaHex(0xA07848), 93);
  const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
  c.StrokeRoundRect(6, 6, w - 6, h - 6, 8, 5, RgbaHex(0x5A3A1E));
  c.DrawTextCentered(W(lang, "しるべ", "GUIDE"), w / 2, h / 2 + 20,
                     Style(lang == Lang::kEn ? 50 : 56, RgbaHex(0x2A1A10), 0, kInk, 0, kGold));
  c.FillStar(30, 30, 12, 5, 0, kGold);
  c.FillStar(w - 30, 30, 12, 5, 0, kGold);
}

void WaveTexture(Canvas& c) {
  const int w = c.Width(), h = c.Height();
  c.Shade(0, 0, w, h, [&](float x, float y) {
    const float v = y / h, u = x / w;
    const float n = Fbm(u * 4, v * 2, 4, 4, 101);
    Rgba col = Mix(RgbaHex(0x1E3A9A), RgbaHex(0x6FC8FF), 1 - v);
    col = Mix(col, RgbaHex(0xF0FAFF), std::max(0.0f, 0.55f - v) * 1.6f * (0.6f + 0.4f * n));
    col.a = 1;
    return col;
  });
  Starfield(c, 0, 0, w, h, 120, 103, 1.0f);
}

void PaperTexture(Canvas& c, Lang lang) {
  const int w = c.Width(), h = c.Height();
  c.Shade(0, 0, w, h, [&](float x, float y) {
    Rgba col = Mix(RgbaHex(0xF58AB8), RgbaHex(0x9B7BE8), y / h);
    col = Mix(col, kWhite, Fbm(x / 10, y / 10, 0, 3, 111) * 0.2f);
    col.a = 1;
    return col;
  });
  WishWord(c, lang, w / 2.0f, h * 0.45f, w * 0.6f,
           Style(w * 0.6f, kWhite, 0, kInk, 3, WithAlpha(kGold, 0.6f)));
  c.FillStar(w / 2.0f, h * 0.75f, w * 0.2f, w * 0.08f, 0, kGold);
}

void ChitinTexture(Canvas& c) {
  const int w = c.Width(), h = c.Height();
  c.Shade(0, 0, w, h, [&](float x, float y) {
    const float n = Fbm(x / w * 6, y / h * 6, 6, 4, 121);
    const float bands = 0.5f + 0.5f * std::sin(y / h * kPi * 12);
    Rgba col = Mix(RgbaHex(0xFFFFFF), RgbaHex(0xB8A0C8), 0.3f * bands + 0.4f * n);
    col.a = 1;
    return col;
  });
  Starfield(c, 0, 0, w, h, 40, 123, 1.2f);
}

void PotteryTexture(Canvas& c) {
  const int w = c.Width(), h = c.Height();
  c.Shade(0, 0, w, h, [&](float x, float y) {
    Rgba col = Mix(RgbaHex(0x2E8AB8), RgbaHex(0x164A78), Fbm(x / 40, y / 40, 0, 4, 131) * 0.7f);
    col.a = 1;
    return col;
  });
  // Gold bands and a wave pattern.
  for (float v : {0.15f, 0.55f, 0.85f})
    c.FillRect(0, v * h - 4, static_cast<float>(w), v * h + 4, kGold);
  for (int k = 0; k < 8; ++k) {
    const float cx = (k + 0.5f) * w / 8.0f;
    for (int r = 3; r >= 1; --r)
      c.FillCircle(cx, h * 0.35f, r * 9.0f, r % 2 ? RgbaHex(0xDFF6FF) : RgbaHex(0x2E8AB8));
  }
  Starfield(c, 0, static_cast<int>(h * 0.6f), w, static_cast<int>(h * 0.83f), 40, 133, 1.2f);
}

void GoldSkinTexture(Canvas& c) {
  const int w = c.Width(), h = c.Height();
  c.Shade(0, 0, w, h, [&](float x, float y) {
    const float n = Fbm(x / w * 5, y / h * 5, 5, 4, 141);
    Rgba col = Mix(RgbaHex(0xFFF0C8), RgbaHex(0xD8A850), n);
    col.a = 1;
    return col;
  });
  for (int k = 0; k < 5; ++k)
    c.StrokeLine(0, (k + 0.5f) * h / 5, static_cast<float>(w), (k + 0.5f) * h / 5 + 6, 2,
                 RgbaHex(0xB8862A, 0.5f));
}

void FishTexture(Canvas& c) {
  const int w = c.Width(), h = c.Height();
  c.Shade(0, 0, w, h, [&](float x, float y) {
    // Scales: offset rows of arcs.
    const float sx = x / 16, sy = y / 12;
    const float row = std::floor(sy);
    const float fx = sx + (static_cast<int>(row) % 2 ? 0.5f : 0) -
                     std::floor(sx + (static_cast<int>(row) % 2 ? 0.5f : 0));
    const float fy = sy - row;
    const float d = std::sqrt((fx - 0.5f) * (fx - 0.5f) + fy * fy * 0.8f);
    Rgba col = Mix(kWhite, RgbaHex(0xC8D8E8), d > 0.45f && d < 0.55f ? 0.8f : 0.1f);
    col.a = 1;
    return col;
  });
}

// ---- Scene pictures ----------------------------------------------------------

void SceneBackground(Canvas& c) {
  NightSky(c, 151, -0.5f, 0.05f);
  Starfield(c, 0, 0, c.Width(), c.Height(), 900, 153, 1.3f);
  // A faint river of light near the bottom.
  c.Shade(0, 520, c.Width(), c.Height(), [&](float x, float y) {
    Rgba base = c.At(static_cast<int>(x), static_cast<int>(y));
    const float v = (y - 520) / 200;
    const float ripple = 0.5f + 0.5f * std::sin(x / 40 + Fbm(x / 60, y / 20, 0, 3, 155) * 6);
    base = Mix(base, RgbaHex(0x3B6AD8), v * 0.45f * (0.6f + 0.4f * ripple));
    base.a = 1;
    return base;
  });
}

void TextFrame(Canvas& c) {
  const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
  // A pale paper window, so the speakers' ink colours read on it.
  c.FillRoundRect(6, 6, w - 30, h - 6, 26, RgbaHex(0xF6F0E2, 0.93f), 2);
  c.StrokeRoundRect(6, 6, w - 30, h - 6, 26, 4, kGold);
  c.StrokeRoundRect(16, 16, w - 40, h - 16, 18, 1.5f, WithAlpha(RgbaHex(0xB89A4A), 0.7f));
  c.FillStar(40, 40, 16, 6.5f, 0, kGold);
  c.FillStar(w - 64, h - 40, 16, 6.5f, 0, kGold);
}

void PageButton(Canvas& c) {
  c.FillCircle(32, 32, 26, RgbaHex(0x2A1F5C, 0.85f));
  c.StrokeRoundRect(6, 6, 58, 58, 26, 3, kGold);
  c.Glow(96, 32, 28, RgbaHex(0xFFE27A, 0.5f));
  c.FillPolygon({{80, 22}, {112, 22}, {96, 44}}, RgbaHex(0xFFE27A));
  c.FillPolygon({{86, 25}, {106, 25}, {96, 38}}, kWhite);
}

// A portrait: a bust figure drawn with soft shapes.
struct PortraitStyle {
  uint32_t robe, robeShade, collar, hair, skin, accent;
  int kind;  // 0 herdsman, 1 weaver, 2 emperor
};

void Portrait(Canvas& c, const PortraitStyle& s) {
  const float cx = 160;
  const Rgba skin = RgbaHex(s.skin), hair = RgbaHex(s.hair), robe = RgbaHex(s.robe);
  // Aura.
  c.Glow(cx, 300, 170, WithAlpha(RgbaHex(s.accent), 0.25f), 1.5f);
  // Shoulders and robe.
  c.FillPolygon({{cx - 150, 720},
                 {cx - 140, 520},
                 {cx - 95, 440},
                 {cx - 40, 415},
                 {cx + 40, 415},
                 {cx + 95, 440},
                 {cx + 140, 520},
                 {cx + 150, 720}},
                robe, 1.5f);
  c.FillPolygon({{cx - 150, 720}, {cx - 140, 520}, {cx - 95, 440}, {cx - 60, 430}, {cx - 90, 720}},
                RgbaHex(s.robeShade, 0.8f), 1.5f);
  // Collar: the crossed kimono front.
  c.FillPolygon(
      {{cx - 42, 415}, {cx, 520}, {cx + 42, 415}, {cx + 28, 412}, {cx, 480}, {cx - 28, 412}},
      RgbaHex(s.collar), 1.2f);
  c.FillPolygon({{cx - 42, 415}, {cx + 30, 560}, {cx + 12, 600}, {cx - 58, 430}},
                RgbaHex(s.collar, 0.9f), 1.2f);
  // Neck and face.
  c.FillRoundRect(cx - 24, 350, cx + 24, 430, 12, Scale(skin, 0.92f), 1.2f);
  c.FillEllipse(cx, 300, 62, 78, skin, 1.2f);
  // Hair.
  if (s.kind == 0) {
    c.FillEllipse(cx, 238, 68, 40, hair, 1.2f);
    c.FillPolygon({{cx - 66, 240}, {cx - 62, 320}, {cx - 50, 262}}, hair);
    c.FillPolygon({{cx + 66, 240}, {cx + 62, 320}, {cx + 50, 262}}, hair);
    c.FillPolygon({{cx - 40, 250}, {cx - 10, 272}, {cx + 5, 252}, {cx + 30, 270}, {cx + 50, 248}},
                  hair);
    c.FillEllipse(cx, 188, 24, 22, hair);  // topknot
    c.FillRect(cx - 26, 196, cx + 26, 206, RgbaHex(s.accent));
  } else if (s.kind == 1) {
    c.FillEllipse(cx, 240, 74, 44, hair, 1.2f);
    c.FillPolygon({{cx - 56, 250}, {cx - 20, 268}, {cx, 256}, {cx + 20, 268}, {cx + 56, 250}},
                  hair);
    c.FillPolygon({{cx - 74, 250}, {cx - 84, 470}, {cx - 54, 470}, {cx - 50, 300}}, hair, 1.2f);
    c.FillPolygon({{cx + 74, 250}, {cx + 84, 470}, {cx + 54, 470}, {cx + 50, 300}}, hair, 1.2f);
    c.FillEllipse(cx - 46, 200, 26, 24, hair);
    c.FillEllipse(cx + 46, 200, 26, 24, hair);
    for (float side : {-1.0f, 1.0f}) {  // hair ornaments
      c.FillStar(cx + side * 54, 196, 14, 6, 0, RgbaHex(s.accent));
      c.StrokeLine(cx + side * 54, 210, cx + side * 64, 250, 2, RgbaHex(s.accent));
      c.FillCircle(cx + side * 64, 254, 4, RgbaHex(0xFFFFFF));
    }
    // The floating shawl.
    c.FillPolygon({{cx - 150, 520},
                   {cx - 100, 470},
                   {cx + 100, 470},
                   {cx + 150, 520},
                   {cx + 160, 600},
                   {cx + 110, 520},
                   {cx - 110, 520},
                   {cx - 160, 600}},
                  RgbaHex(0xE8F0FF, 0.55f), 2);
  } else {
    c.FillEllipse(cx, 238, 66, 34, hair, 1.2f);
    // Crown with its board and strings of beads.
    c.FillRect(cx - 50, 168, cx + 50, 236, RgbaHex(0x1E1A3A));
    c.FillRect(cx - 52, 222, cx + 52, 236, RgbaHex(s.accent));
    c.FillRect(cx - 95, 158, cx + 95, 172, RgbaHex(0x1E1A3A));
    for (int k = 0; k < 9; ++k) {
      const float x = cx - 88 + k * 22;
      c.StrokeLine(x, 172, x, 236, 1.5f, RgbaHex(s.accent));
      for (int b = 0; b < 3; ++b) c.FillCircle(x, 186 + b * 18.0f, 3.5f, RgbaHex(0xBFEFFF));
    }
    // Beard.
    c.FillPolygon({{cx - 52, 320}, {cx + 52, 320}, {cx + 30, 440}, {cx, 470}, {cx - 30, 440}},
                  RgbaHex(0xE8EEF5), 1.5f);
    c.FillPolygon({{cx - 40, 335}, {cx - 70, 360}, {cx - 80, 420}, {cx - 50, 360}},
                  RgbaHex(0xE8EEF5), 1.2f);
    c.FillPolygon({{cx + 40, 335}, {cx + 70, 360}, {cx + 80, 420}, {cx + 50, 360}},
                  RgbaHex(0xE8EEF5), 1.2f);
  }
  // Eyes, brows, mouth.
  const Rgba ink = RgbaHex(0x1A1530);
  for (float side : {-1.0f, 1.0f}) {
    if (s.kind == 2) {
      c.StrokeLine(cx + side * 12, 288, cx + side * 42, 280, 6, RgbaHex(0xE8EEF5));
      c.FillEllipse(cx + side * 26, 304, 12, 6, ink);
      c.FillCircle(cx + side * 26, 303, 3, RgbaHex(0x9FE8FF));
    } else {
      c.StrokeLine(cx + side * 14, 284, cx + side * 38, 280, 3, ink);
      c.FillEllipse(cx + side * 26, 306, 10, s.kind == 1 ? 12 : 11, ink);
      c.FillCircle(cx + side * 23, 302, 3.5f, kWhite);
      if (s.kind == 1) c.StrokeLine(cx + side * 15, 295, cx + side * 38, 293, 2, ink);
    }
  }
  if (s.kind != 2) {
    c.StrokeLine(cx - 10, 345, cx + 10, 345, 2.5f, RgbaHex(0xB05A5A));
    c.FillEllipse(cx - 36, 322, 12, 6, RgbaHex(0xF4A0A0, 0.35f));
    c.FillEllipse(cx + 36, 322, 12, 6, RgbaHex(0xF4A0A0, 0.35f));
  }
  // A pattern on the robe.
  for (int k = 0; k < 7; ++k)
    c.FillStar(cx - 110 + k * 36.0f, 650 - (k % 2) * 40.0f, 9, 4, 0,
               WithAlpha(RgbaHex(s.accent), 0.7f));
}

void TitlePicture(Canvas& c, Lang lang) {
  // The picture (1280 x 720) and, below it, the three menu items (446 x 182).
  Canvas sky(1280, 720);
  NightSky(sky, 171, -0.45f, -0.02f);
  Starfield(sky, 0, 0, 1280, 720, 1100, 173, 1.4f);
  c.DrawImage(sky, 0, 0);
  // The river of stars across the bottom, with two small figures on either bank.
  c.Shade(0, 560, 1280, 720, [&](float x, float y) {
    Rgba base = c.At(static_cast<int>(x), static_cast<int>(y));
    const float v = (y - 560) / 160;
    base = Mix(base, RgbaHex(0x4A7AE8), v * 0.6f);
    base.a = 1;
    return base;
  });
  Starfield(c, 0, 580, 1280, 720, 300, 175, 1.2f);
  c.FillEllipse(150, 640, 12, 30, RgbaHex(0x0B1230));
  c.FillCircle(150, 600, 10, RgbaHex(0x0B1230));
  c.FillEllipse(1130, 640, 12, 30, RgbaHex(0x0B1230));
  c.FillCircle(1130, 600, 10, RgbaHex(0x0B1230));
  // Title.
  Canvas::TextStyle title =
      Style(120, RgbaHex(0xFFF6D8), 5, RgbaHex(0x1A1040), 18, WithAlpha(kGold, 0.8f));
  const Canvas::TextStyle subtitle = Style(40, kPaleGold, 2, kInk, 6, WithAlpha(kCyan, 0.6f));
  if (lang == Lang::kEn) {
    title.pixelSize = 132;
    c.DrawTextCentered("Orvelune", 640, 250, title);
    c.DrawTextCentered("a walk across the river of stars", 640, 320, subtitle);
  } else {
    c.DrawTextCentered("オルヴェルーン", 640, 250, title);
    c.DrawTextCentered("Orvelune", 640, 320, subtitle);
  }
  c.FillStar(250, 160, 22, 9, 0.2f, kGold);
  c.FillStar(1040, 140, 16, 6.5f, -0.2f, kGold);
  // Menu items: white letters that the menu tints grey or bright.
  const char* items[3] = {W(lang, "はじめる", "Start"), W(lang, "スタッフ", "Credits"),
                          W(lang, "おわる", "Quit")};
  for (int i = 0; i < 3; ++i) {
    const float x0 = 446.0f * i;
    c.DrawTextCentered(items[i], x0 + 223, 720 + 91 + 20,
                       Style(54, kWhite, 3, RgbaHex(0x101030), 8, WithAlpha(kCyan, 0.5f)));
    c.FillStar(x0 + 223 - 150, 720 + 91, 12, 5, 0, kWhite);
    c.FillStar(x0 + 223 + 150, 720 + 91, 12, 5, 0, kWhite);
  }
}

// ---- The ending's own pictures -------------------------------------------------

// A small figure seen from afar: a robe, a head, and its colour's glow.
void Figure(Canvas& c, float x, float foot, float height, Rgba robe, Rgba trim) {
  const float h = height, w = height * 0.32f;
  c.Glow(x, foot - h * 0.55f, h * 0.9f, WithAlpha(trim, 0.35f));
  c.FillPolygon({{x - w * 0.35f, foot - h * 0.78f},
                 {x + w * 0.35f, foot - h * 0.78f},
                 {x + w * 0.62f, foot},
                 {x - w * 0.62f, foot}},
                robe);
  c.FillRect(x - w * 0.42f, foot - h * 0.52f, x + w * 0.42f, foot - h * 0.46f, trim);
  c.FillCircle(x, foot - h * 0.88f, h * 0.12f, RgbaHex(0xF2D7C4));
  c.FillEllipse(x, foot - h * 0.95f, h * 0.13f, h * 0.08f, RgbaHex(0x1C1B33));
}

// The river of stars as a broad glowing band across the picture.
void RiverBand(Canvas& c, float top, float bottom, uint64_t seed) {
  c.Shade(0, static_cast<int>(top), c.Width(), static_cast<int>(bottom), [&](float x, float y) {
    Rgba base = c.At(static_cast<int>(x), static_cast<int>(y));
    const float v = (y - top) / (bottom - top);
    const float edge = std::sin(v * kPi);
    const float n = Fbm(x / 70, y / 40, 0, 4, static_cast<uint32_t>(seed));
    base = Mix(base, RgbaHex(0x4A7AE8), edge * (0.35f + 0.3f * n));
    base = Mix(base, RgbaHex(0xCFE0FF), std::max(0.0f, edge * n - 0.45f) * 0.7f);
    base.a = 1;
    return base;
  });
  Starfield(c, 0, static_cast<int>(top), c.Width(), static_cast<int>(bottom), 900, seed + 1, 1.1f);
}

// The ending's first picture: on the western bank the two meet at last,
// under their two bright stars, the river of stars behind them.
void EndingMeeting(Canvas& c) {
  NightSky(c, 301, 0.08f, -0.12f);
  Starfield(c, 0, 0, 1280, 720, 700, 303, 1.3f);
  RiverBand(c, 170, 330, 305);
  // The bank: a dark rise with a lantern, where the river runs out.
  c.FillPolygon({{0, 400}, {380, 360}, {900, 352}, {1280, 392}, {1280, 720}, {0, 720}},
                RgbaHex(0x0B1230));
  c.Shade(0, 352, 1280, 720, [&](float x, float y) {
    Rgba base = c.At(static_cast<int>(x), static_cast<int>(y));
    if (base.r > 0.1f) return base;  // the sky above the bank's line
    base = Mix(base, RgbaHex(0x1E2A5C), std::max(0.0f, 1 - (y - 352) / 120) * 0.6f);
    base.a = 1;
    return base;
  });
  c.Glow(860, 330, 60, RgbaHex(0xFFD27A, 0.6f));
  c.FillRect(855, 318, 865, 350, RgbaHex(0x3A2A14));
  c.FillCircle(860, 314, 7, RgbaHex(0xFFE9A8));
  // Their stars, bright above them.
  for (const Vec2& star : {Vec2{560, 92}, Vec2{720, 84}}) {
    c.Glow(star.x, star.y, 46, RgbaHex(0xFFF2C8, 0.7f));
    c.FillStar(star.x, star.y, 16, 6, 0, kWhite);
  }
  // The two, close together in the middle of the bank.
  c.Glow(640, 330, 90, RgbaHex(0xFFE27A, 0.45f));
  Figure(c, 612, 368, 92, RgbaHex(0x2E4FA8), RgbaHex(0xF2C14E));
  Figure(c, 668, 368, 88, RgbaHex(0xE8A0C8), RgbaHex(0xFFF2F8));
  for (int k = 0; k < 9; ++k)
    c.FillStar(640 + std::cos(k * 0.7f) * (40 + k * 6), 280 - k * 9.0f, 4 + k % 3, 1.8f, 0,
               WithAlpha(kPaleGold, 0.8f));
}

// The ending's second picture: once a year the magpies make a bridge of
// stars across the river, and the two cross it side by side.
void EndingBridge(Canvas& c) {
  NightSky(c, 311, 0.0f, 0.05f);
  Starfield(c, 0, 0, 1280, 720, 700, 313, 1.3f);
  RiverBand(c, 250, 450, 315);
  // The bridge: an arc of magpies with stars in their wings.
  Rng rng(317);
  const float left = 90, right = 1190, base = 430, apex = 200;
  auto arcY = [&](float x) {
    const float u = (x - left) / (right - left) * 2 - 1;
    return base - (base - apex) * (1 - u * u);
  };
  for (int layer = 0; layer < 3; ++layer)
    for (float x = left; x <= right; x += 13) {
      const float y = arcY(x) + layer * 11 + static_cast<float>(rng.Range(-3, 3));
      const float span = 11 + static_cast<float>(rng.Range(0, 5));
      const Rgba body = layer == 0 ? RgbaHex(0x1A1F40) : RgbaHex(0x10142E);
      c.FillPolygon({{x - span, y - 4}, {x, y + 3}, {x + span, y - 4}, {x, y - 1}}, body);
      if (rng.Uniform() < 0.45)
        c.FillStar(x + static_cast<float>(rng.Range(-6, 6)), y - 2, 3.5f, 1.4f, 0,
                   WithAlpha(kPaleGold, 0.9f));
    }
  c.Glow(640, apex - 10, 120, RgbaHex(0xFFE9A8, 0.4f));
  // The two at the top of the bridge, walking to meet.
  Figure(c, 622, apex - 2, 46, RgbaHex(0x2E4FA8), RgbaHex(0xF2C14E));
  Figure(c, 658, apex - 2, 44, RgbaHex(0xE8A0C8), RgbaHex(0xFFF2F8));
  for (const Vec2& star : {Vec2{540, 70}, Vec2{740, 64}}) {
    c.Glow(star.x, star.y, 40, RgbaHex(0xFFF2C8, 0.7f));
    c.FillStar(star.x, star.y, 14, 5.5f, 0, kWhite);
  }
}

void TitleCover(Canvas& c) {
  c.Shade(0, 0, c.Width(), c.Height(), [&](float x, float y) {
    const float n = Fbm(x / 200, y / 200, 0, 4, 181);
    Rgba col = Mix(RgbaHex(0xFFFFFF), RgbaHex(0xE8EEFF), n * 0.5f);
    col.a = 1;
    return col;
  });
}

void ClearCaption(Canvas& c, Lang lang) {
  // Three pieces that hop in turn, 128 pixels apart: the word's letters.
  const Canvas::TextStyle style = Style(lang == Lang::kEn ? 84 : 104, RgbaHex(0xFFF2B0), 4,
                                        RgbaHex(0x6A3A08), 6, WithAlpha(kGold, 0.8f));
  if (lang == Lang::kEn) {
    for (int i = 0; i < 3; ++i) c.Glow(128.0f * i + 64, 214, 70, RgbaHex(0xFFE27A, 0.45f));
    // "CLEAR!" in three pieces that close up into one word: the first hugs
    // the right of its cell, the last the left.
    const float gap = 4;
    c.DrawText("CL", 128 - gap - Canvas::MeasureText("CL", style), 214 + 30, style);
    c.DrawTextCentered("EA", 192, 214 + 30, style);
    c.DrawText("R!", 256 + gap, 214 + 30, style);
  } else {
    const char* letters[3] = {"ク", "リ", "ア"};
    for (int i = 0; i < 3; ++i) {
      c.Glow(128.0f * i + 64, 214, 70, RgbaHex(0xFFE27A, 0.45f));
      c.DrawTextCentered(letters[i], 128.0f * i + 64, 214 + 38, style);
    }
  }
  c.DrawTextCentered("STAGE CLEAR", 192, 110,
                     Style(44, kPaleGold, 2, kInk, 4, WithAlpha(kGold, 0.6f), FontStyle::Sans));
}

void GameOverCaption(Canvas& c, Lang lang) {
  c.DrawTextCentered(
      W(lang, "ゲームオーバー", "GAME OVER"), 320, 90,
      Style(84, RgbaHex(0xDDE6FF), 4, RgbaHex(0x101030), 10, WithAlpha(RgbaHex(0x7F8CFF), 0.7f)));
  c.DrawTextCentered(W(lang, "もういちど？", "Try again?"), 190, 128 + 80,
                     Style(54, kWhite, 3, RgbaHex(0x101030)));
  auto item = [&](float y, const char* text, bool chosen) {
    const Rgba col = chosen ? RgbaHex(0xFFE27A) : RgbaHex(0x8A90B0);
    if (chosen) c.Glow(448, y + 32, 60, RgbaHex(0xFFE27A, 0.35f));
    c.DrawTextCentered(text, 448, y + 44, Style(34, col, 2.5f, RgbaHex(0x101030)));
  };
  item(128, W(lang, "はい", "Yes"), false);
  item(192, W(lang, "はい", "Yes"), true);
  item(256, W(lang, "いいえ", "No"), false);
  item(320, W(lang, "いいえ", "No"), true);
}

void CreditsPicture(Canvas& c, Lang lang) {
  NightSky(c, 191, 0.1f, 0.0f);
  Starfield(c, 0, 0, c.Width(), c.Height(), 3000, 193, 1.3f);
  float y = 760;
  auto heading = [&](const std::string& text) {
    c.DrawTextCentered(text, 640, y, Style(44, kPaleGold, 2, kInk, 6, WithAlpha(kGold, 0.5f)));
    y += 70;
  };
  auto line = [&](const std::string& text) {
    c.DrawTextCentered(text, 640, y, Style(34, kWhite, 2, kInk));
    y += 52;
  };
  const Canvas::TextStyle big =
      Style(96, RgbaHex(0xFFF6D8), 4, RgbaHex(0x1A1040), 14, WithAlpha(kGold, 0.8f));
  const Canvas::TextStyle small = Style(36, kPaleGold, 2, kInk);
  if (lang == Lang::kEn) {
    c.DrawTextCentered("Orvelune", 640, y, big);
    y += 70;
    c.DrawTextCentered("a walk across the river of stars", 640, y, small);
  } else {
    c.DrawTextCentered("オルヴェルーン", 640, y, big);
    y += 70;
    c.DrawTextCentered("Orvelune", 640, y, small);
  }
  y += 150;
  heading(W(lang, "企画・ゲームデザイン", "Planning and Game Design"));
  line(W(lang, "オルヴェルーン制作チーム", "The Orvelune Team"));
  y += 60;
  heading(W(lang, "プログラム", "Programming"));
  line(W(lang, "オルヴェルーン制作チーム", "The Orvelune Team"));
  y += 60;
  heading(W(lang, "グラフィック・モデル", "Graphics and Models"));
  line(W(lang, "プログラムで描いた星と河", "Stars and rivers drawn by program"));
  y += 60;
  heading(W(lang, "音楽・効果音", "Music and Sound"));
  line(W(lang, "プログラムで奏でた調べ", "Tunes played by program"));
  y += 60;
  heading(W(lang, "シナリオ", "Story"));
  line(W(lang, "星の河のほとりで", "Written on the banks of the river of stars"));
  y += 60;
  heading(W(lang, "使わせていただいたもの", "Made With"));
  line("SDL2 / OpenGL / OpenAL Soft");
  line("FreeType / fontconfig / libpng");
  line("Noto Serif CJK / Noto Sans CJK (SIL Open Font License)");
  line("GoogleTest / Google Benchmark");
  y += 60;
  heading(W(lang, "そして", "And Above All"));
  line(W(lang, "遊んでくださったあなたへ", "You, for playing"));
  y += 200;
  c.DrawTextCentered(
      W(lang, "ありがとうございました", "Thank you"), 640, y,
      Style(60, RgbaHex(0xFFF6D8), 3, RgbaHex(0x1A1040), 10, WithAlpha(kGold, 0.7f)));
  c.FillStar(640, y + 140, 40, 16, 0, kGold);
}

}  // namespace

// The game's icon: a gold star over a wooden chip on a night sky, drawn at
// each size rather than scaled so small icons stay crisp.
void GameIcon(Canvas& c) {
  const float w = static_cast<float>(c.Width());
  const float r = w * 0.18f;
  c.FillSdf(
      0, 0, w, w,
      [&](float x, float y) {
        const float qx = std::max(std::abs(x - w / 2) - (w / 2 - r - w * 0.03f), 0.0f);
        const float qy = std::max(std::abs(y - w / 2) - (w / 2 - r - w * 0.03f), 0.0f);
        return std::sqrt(qx * qx + qy * qy) - r;
      },
      [&](float, float y) { return Mix(RgbaHex(0x1B1F4A), RgbaHex(0x3A3F8F), y / w); });
  if (w >= 32) {
    for (int i = 0; i < 7; ++i) {
      const float sx = w * (0.16f + 0.11f * i), sy = w * (0.14f + 0.09f * ((i * 5) % 4));
      c.FillCircle(sx, sy, std::max(0.6f, w * 0.012f), RgbaHex(0xFFFFFF, 0.8f));
    }
  }
  // The chip: a wooden block seen from the front, lower half.
  c.FillRoundRect(w * 0.2f, w * 0.58f, w * 0.8f, w * 0.86f, w * 0.05f, RgbaHex(0xB97A45));
  c.FillRoundRect(w * 0.2f, w * 0.58f, w * 0.8f, w * 0.66f, w * 0.04f, RgbaHex(0xD9A066));
  if (w >= 32)
    c.StrokeRoundRect(w * 0.2f, w * 0.58f, w * 0.8f, w * 0.86f, w * 0.05f, std::max(1.0f, w / 48),
                      RgbaHex(0x5A3418));
  // The star above it, with a soft glow.
  c.Glow(w / 2, w * 0.4f, w * 0.36f, RgbaHex(0xFFE9A8, 0.55f));
  c.FillStar(w / 2, w * 0.4f, w * 0.3f, w * 0.13f, 0, RgbaHex(0xF6C445));
  c.FillStar(w / 2, w * 0.41f, w * 0.17f, w * 0.07f, 0, RgbaHex(0xFFF4C8, 0.8f));
}

namespace {
// Draws a picture with words once in Japanese, at its path, and once in
// English, at the same path in the English folder.
void PutWithWords(AssetSet& out, const std::string& path, int width, int height,
                  void (*draw)(Canvas&, Lang)) {
  for (Lang lang : {Lang::kJa, Lang::kEn}) {
    Canvas c(width, height);
    draw(c, lang);
    Put(out, (lang == Lang::kEn ? LanguageFolder(Language::kEnglish) : "") + path, c);
  }
}
}  // namespace

void GenerateTextures(AssetSet& out) {
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    Canvas c(size, size);
    GameIcon(c);
    Put(out, "Icon/orvelune_" + std::to_string(size) + ".png", c);
  }
  // Shared textures, in the preload's order.
  {
    Canvas c(128, 128);
    SelectedChipTexture(c);
    Put(out, "Object/Box/mokume02_t.png", c);
  }
  {
    Canvas c(128, 128);
    RockChipTexture(c);
    Put(out, "Object/Box/rock01_t.png", c);
  }
  Put(out, "Texture/Fade/Fade.png", Canvas(16, 16, kWhite));
  {
    Canvas c(256, 64);
    GaugeUiTexture(c);
    Put(out, "Texture/Gauge/UI.png", c);
  }
  {
    Canvas c(64, 64);
    ShadowTexture(c);
    Put(out, "Texture/Shadow/shadow.png", c);
  }
  {
    Canvas c(64, 64);
    StunTexture(c, false);
    Put(out, "Texture/Effect/stan2.png", c);
  }
  {
    Canvas c(64, 64);
    StunTexture(c, true);
    Put(out, "Texture/Effect/rotationstan.png", c);
  }
  for (int layer = 0; layer < 2; ++layer) {
    Canvas c(256, 256);
    RiverTexture(c, layer);
    Put(out, layer == 0 ? "Texture/Wave/amanokawa_01.png" : "Texture/Wave/amanokawa_02.png", c);
  }
  PutWithWords(out, "Texture/UI/OrveluneChip.png", 1600, 864, HudAtlas);
  {
    Canvas c(16, 32);
    MapMarker(c);
    Put(out, "Texture/Map/player.png", c);
  }
  PutWithWords(out, "Infomation/Button.png", 1280, 256, ButtonPictures);
  PutWithWords(out, "Texture/UI/FieldFrame.png", 96, 384, FieldFrame);
  PutWithWords(out, "Texture/UI/Pause.png", 400, 560, PauseSheet);
  // Model textures.
  {
    Canvas c(128, 128);
    ChipTexture(c);
    Put(out, "Object/Box/box_t.png", c);
  }
  {
    Canvas c(64, 64);
    StarShimmer(c);
    Put(out, "Object/Box/hoshi_t.png", c);
  }
  {
    Canvas c(128, 128);
    FabricTexture(c, RgbaHex(0xFFFFFF), RgbaHex(0xF2C14E));
    Put(out, "Character/Player/player_t.png", c);
  }
  {
    Canvas c(2048, 1024);
    SkyTexture(c);
    Put(out, "Object/Sky/spaceball_t.png", c);
  }
  {
    Canvas c(128, 128);
    CarvedStone(c);
    Put(out, "Object/Rota/rota_t.png", c);
  }
  {
    Canvas c(128, 256);
    GateTexture(c);
    Put(out, "Object/Gate/gate_t.png", c);
  }
  {
    Canvas c(128, 128);
    PlankTexture(c);
    Put(out, "Object/Bridge/bridge_t.png", c);
  }
  PutWithWords(out, "Object/InfoBoard/kanban_t.png", 256, 160, BoardTexture);
  {
    Canvas c(256, 128);
    WaveTexture(c);
    Put(out, "Object/Wave/nami_t.png", c);
  }
  PutWithWords(out, "Object/Item/Recovery/tanzaku_t.png", 64, 160, PaperTexture);
  {
    Canvas c(128, 128);
    BrickTexture(c);
    Put(out, "Object/Wall/wall_t.png", c);
  }
  {
    Canvas c(128, 128);
    ChitinTexture(c);
    Put(out, "Character/Enemy/sasori_t.png", c);
  }
  {
    Canvas c(128, 128);
    FabricTexture(c, RgbaHex(0xFFFFFF), RgbaHex(0xFFF2B0));
    Put(out, "Character/Enemy/hutago_t.png", c);
  }
  {
    Canvas c(128, 128);
    FishTexture(c);
    Put(out, "Character/Enemy/sakana_t.png", c);
  }
  {
    Canvas c(256, 256);
    PotteryTexture(c);
    Put(out, "Character/Enemy/mizugame_t.png", c);
  }
  {
    Canvas c(128, 128);
    GoldSkinTexture(c);
    Put(out, "Character/Boss/tentei_t.png", c);
  }
  // Scene pictures.
  {
    Canvas c(320, 720);
    Portrait(c, {0x3F6FD8, 0x24305E, 0xF5F0E6, 0x22203A, 0xF4D9C2, 0xF2C14E, 0});
    Put(out, "Event/hikobosi.png", c);
  }
  {
    Canvas c(320, 720);
    Portrait(c, {0xD85A8A, 0x8A2A5A, 0xFBEFF5, 0x1E1830, 0xF8E0D0, 0xFFD86B, 1});
    Put(out, "Event/orihime.png", c);
  }
  {
    Canvas c(320, 720);
    Portrait(c, {0x3A2A6A, 0x1E1440, 0xF2C14E, 0x5A5A70, 0xE8C27A, 0xF2C14E, 2});
    Put(out, "Event/tentei.png", c);
  }
  {
    Canvas c(1280, 720);
    SceneBackground(c);
    Put(out, "Event/spaceball_01_t.png", c);
  }
  {
    Canvas c(1280, 240);
    TextFrame(c);
    Put(out, "Event/Text_Flame.png", c);
  }
  {
    Canvas c(128, 64);
    PageButton(c);
    Put(out, "Event/button_texture.png", c);
  }
  PutWithWords(out, "Event/Title/TitleBack.png", 1338, 902, TitlePicture);
  {
    Canvas c(1280, 720);
    EndingMeeting(c);
    Put(out, "Event/Ending/meeting.png", c);
  }
  {
    Canvas c(1280, 720);
    EndingBridge(c);
    Put(out, "Event/Ending/bridge.png", c);
  }
  {
    Canvas c(1280, 720);
    TitleCover(c);
    Put(out, "Event/Title/TitleFade.png", c);
  }
  PutWithWords(out, "Event/game_clear.png", 384, 280, ClearCaption);
  PutWithWords(out, "Event/game_over.png", 640, 384, GameOverCaption);
  PutWithWords(out, "Event/Credit/Credit.png", 1280, 2600, CreditsPicture);
  out.Add("text_marks.txt", g_textMarks);
}
