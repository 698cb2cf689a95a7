#include "render/text_drawing.h"

#include <algorithm>
#include <array>
#include <cmath>

D3DCOLOR ScriptTextColor(int speakerKind, int sceneMode) {
  if (sceneMode < 0 || sceneMode > 2) return 0;
  switch (speakerKind) {
    case 0:
      return 0xFF40409E;
    case 1:
      return sceneMode == 1 ? 0xFFC6C640 : 0xFF804040;
    case 2:
      return 0xFF408040;
    case 3:
      return sceneMode == 1 ? 0 : 0xFFC0C0C0;
  }
  return 0;
}

namespace {
double Linear(int channel) {
  const double c = channel / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
double Luminance(D3DCOLOR c) {
  return 0.2126 * Linear((c >> 16) & 0xFF) + 0.7152 * Linear((c >> 8) & 0xFF) +
         0.0722 * Linear(c & 0xFF);
}
}  // namespace

double ContrastRatio(D3DCOLOR a, D3DCOLOR b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

D3DCOLOR ReadableOn(D3DCOLOR text, D3DCOLOR background, double ratio) {
  const bool darken = Luminance(background) > 0.18;
  const int r = (text >> 16) & 0xFF, g = (text >> 8) & 0xFF, b = text & 0xFF;
  D3DCOLOR c = text;
  // Step towards black (or white) until the ratio is met; 100 steps reach it.
  for (int step = 1; step <= 100 && ContrastRatio(c, background) < ratio; ++step) {
    const double t = step / 100.0;
    auto mix = [&](int v) {
      return static_cast<uint32_t>(darken ? v * (1 - t) : v + (255 - v) * t + 0.5);
    };
    c = (text & 0xFF000000u) | mix(r) << 16 | mix(g) << 8 | mix(b);
  }
  return c;
}

D3DCOLOR ScriptTextDrawColor(int speakerKind, int sceneMode) {
  if (speakerKind < 0 || speakerKind > 3 || sceneMode < 0 || sceneMode > 2) return 0;
  // Worked out once for the twelve pairs, not on every frame of typing. A
  // little above 4.5 so the window's faint sparkles never bring it under.
  static const auto kColors = [] {
    std::array<std::array<D3DCOLOR, 3>, 4> colors{};
    for (int kind = 0; kind < 4; ++kind)
      for (int mode = 0; mode < 3; ++mode) {
        const D3DCOLOR color = ScriptTextColor(kind, mode);
        colors[kind][mode] = color == 0 ? 0 : ReadableOn(color, kTextWindowColor, 4.7);
      }
    return colors;
  }();
  return kColors[speakerKind][sceneMode];
}

void DrawScriptText(const char* text, int speakerKind, int sceneMode, const Vec2& topLeft) {
  Sprite* sprite = GetSprite();
  Font* font = GetScriptFont();
  if (!sprite || !font) return;
  RECT rect;
  rect.left = static_cast<int>(topLeft.x) + kScriptTextLeft;
  rect.top = static_cast<int>(topLeft.y) + kScriptTextTop;
  rect.right = rect.left + kScriptTextWidth;
  rect.bottom = rect.top + kScriptTextHeight;
  sprite->SetTransform(MatrixTranslation(kScriptTextShiftX, kScriptTextShiftY, 0));
  const D3DCOLOR color = ScriptTextDrawColor(speakerKind, sceneMode);
  if (color == 0) return;
  // A soft halo in the opposite lightness keeps every speaker's colour
  // readable on the window, light or dark parts alike.
  const int r = (color >> 16) & 0xFF, g = (color >> 8) & 0xFF, b = color & 0xFF;
  const bool lightText = r * 299 + g * 587 + b * 114 > 128 * 1000;
  const D3DCOLOR halo = lightText ? 0xB0201A30 : 0xB0FFFFFF;
  static constexpr int kHalo[4][2] = {{-2, 0}, {2, 0}, {0, -2}, {0, 2}};
  for (const auto& o : kHalo) {
    RECT shifted{rect.left + o[0], rect.top + o[1], rect.right + o[0], rect.bottom + o[1]};
    font->DrawText(sprite, text, -1, &shifted, DT_WORDBREAK, halo);
  }
  font->DrawText(sprite, text, -1, &rect, DT_WORDBREAK, color);
}

void DrawNotice(const char* sjisText) {
  Sprite* sprite = GetSprite();
  Font* font = GetBoardFont();
  if (!sprite || !font) return;
  RECT rect{80, 300, 1200, 700};
  sprite->Begin(D3DXSPRITE_ALPHABLEND);
  sprite->SetTransform(MatrixTranslation(0, 0, 0));
  font->DrawText(sprite, sjisText, -1, &rect, DT_WORDBREAK, 0xFFFFFFFF);
  sprite->End();
}

void DrawBoardText(const char* text, const Vec2& topLeft) {
  Sprite* sprite = GetSprite();
  Font* font = GetBoardFont();
  if (!sprite || !font) return;
  RECT rect;
  rect.left = static_cast<int>(topLeft.x) + kBoardTextLeft;
  rect.top = static_cast<int>(topLeft.y) + kBoardTextTop;
  rect.right = rect.left + kBoardTextWidth;
  rect.bottom = rect.top + kBoardTextHeight;
  sprite->SetTransform(MatrixTranslation(0, 0, 0));
  font->DrawText(sprite, text, -1, &rect, DT_WORDBREAK, 0xFF121212);
}
