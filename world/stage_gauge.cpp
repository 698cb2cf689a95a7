#include "world/stage_gauge.h"

#include <algorithm>
#include <cmath>

#include "base/det_math.h"
#include "base/random.h"
#include "platform/graphics.h"
#include "render/constants.h"
#include "render/preload.h"
#include "world/environment.h"
#include "world/world_values.h"

namespace {
constexpr int kBarRows = 471;
constexpr float kBarScaleX = 0.3f, kBarScaleY = 0.7f;
constexpr int kBarLeft = 155, kBarRight = 293;
}  // namespace

StageGauge::Bands StageGauge::Measure(float goalX, float smallestX, const BreakWave& wave) {
  const float g = goalX != 0 ? goalX : 1;
  const bool fading = wave.phase == 1 || wave.phase == 3;
  Bands b;
  b.top = std::clamp(static_cast<int>((g - startOffset - band) / g * kBarRows), 0, kBarRows);
  float red;
  if (!fading) {
    red = band / g * kBarRows;
    savedX = smallestX;
  } else {
    if (alpha - 1 < 0) {
      alpha = 0;
      visible = 0;
    } else {
      alpha -= 1;
    }
    red = (savedX + wave.position.x + band) / g * kBarRows;
  }
  b.red = std::clamp(static_cast<int>(red), 0, kBarRows - b.top);
  b.grey = kBarRows - b.top - b.red;
  return b;
}

Vec2 StageGauge::MarkerPosition(float goalX, float playerX) const {
  const float g = goalX != 0 ? goalX : 1;
  const float r = std::max(0.0f, (g - playerX) / g);
  return {static_cast<float>(kMapPanelMarks[1].x),
          std::max(kMapPanelMarks[0].y, kMapPanelMarks[0].y + kBarRows * kBarScaleY * r - 32)};
}

void StageGauge::Draw(RandomStream& drawRandom, const WorldValues& world, const BreakWave& wave,
                      float playerX) {
  const float goalX = world.goalX;
  if (visible != 1) return;
  Sprite* sprite = GetSprite();
  Texture* atlas = GetSharedTexture(kTexHudAtlas);
  const bool fading = wave.phase == 1 || wave.phase == 3;
  sprite->Begin(D3DXSPRITE_ALPHABLEND);
  sprite->SetTransform(Matrix::Identity());
  const Vec3 framePos{kMapPanelPos.x, kMapPanelPos.y, 0};
  sprite->Draw(GetSharedTexture(kTexFieldFrame), nullptr, nullptr, &framePos,
               (static_cast<uint32_t>(alpha) << 24) | 0xFFFFFF);
  const Bands b = Measure(goalX, world.smallestX, wave);
  const Vec2 bar = kMapPanelMarks[0];
  auto drawBand = [&](int row0, int rows, float dx, float dy, uint32_t colour) {
    if (rows <= 0) return;
    const RECT src{kBarLeft, row0, kBarRight, row0 + rows};
    sprite->SetTransform(MatrixScaling(kBarScaleX, kBarScaleY, 1) *
                         MatrixTranslation(bar.x + dx, bar.y + row0 * kBarScaleY + dy, 0));
    sprite->Draw(atlas, &src, nullptr, nullptr, colour);
  };
  drawBand(0, b.top, 0, 0, 0xFFFFFFFF);
  // The red band wobbles.
  wobbleAngle += 20;
  if (wobbleAngle >= 360) wobbleAngle = 0;
  const float a = static_cast<float>(drawRandom.Next() % 2 + 1),
              c = static_cast<float>(drawRandom.Next() % 3 + 1);
  shift = {2.5f * dmath::Cos(wobbleAngle / a * kDegToRad),
           2.5f * dmath::Cos(wobbleAngle / c * kDegToRad)};
  drawBand(b.top, b.red, shift.x, shift.y, (static_cast<uint32_t>(alpha) << 24) | 0xFF0000);
  const uint32_t grey = fading ? static_cast<uint32_t>(alpha * 128 / 255) : 128u;
  drawBand(b.top + b.red, b.grey, 0, 0, (grey << 24) | 0x808080);
  sprite->SetTransform(Matrix::Identity());
  const Vec2 m = MarkerPosition(goalX, playerX);
  const Vec3 markerPos{m.x, m.y, 0};
  const uint32_t markerAlpha = fading ? static_cast<uint32_t>(alpha) : 255u;
  sprite->Draw(GetSharedTexture(kTexMapPlayer), nullptr, nullptr, &markerPos,
               (markerAlpha << 24) | 0xFFFFFF);
  sprite->End();
}
