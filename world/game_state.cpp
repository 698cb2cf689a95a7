#include "world/game_state.h"

#include "platform/graphics.h"
#include "render/preload.h"

int Damage(GameState& g) {
  if (g.life > g.maxLife) return 1;
  if (g.life <= 0) {
    g.life = 0;
    return 0;
  }
  --g.life;
  return 1;
}

void Heal(GameState& g) {
  if (g.life < g.maxLife) ++g.life;
}

void ResetLife(GameState& g) {
  g.hudMark = 0;
  g.maxLife = 9;
  g.life = 5;
}

void CheckEnemiesLeft(GameState& g) {
  if (g.bossesLeft <= 0) {
    g.gameMode = kModeBossDefeated;
    return;
  }
  const int threshold = g.stageNumber == 1 ? 1 : 0;
  if (g.gameMode == kModeFreePlay && g.enemiesLeft <= threshold) g.gameMode = kModeBossArmed;
}

void ResetStageState(GameState& g) {
  g.gameMode = kModeFreePlay;
  g.bossesLeft = 0;
  g.enemiesLeft = 0;
  if (g.stageNumber == 2 || g.stageNumber == 3) g.gameMode = kModeBossArmed;
}

void StepFadeIn(GameState& g) {
  g.fadeAlpha -= 5;
  if (g.fadeAlpha < 0) {
    g.fadeAlpha = 0;
    g.fadingIn = 0;
  }
}

void StepFadeOut(GameState& g) {
  g.fadeAlpha += 5;
  if (g.fadeAlpha >= 256) {
    g.fadeAlpha = 255;
    g.fadingOut = 0;
  }
}

void ResetFade(GameState& g) {
  g.fadeAlpha = 0;
  g.fadingIn = 0;
  g.fadingOut = 0;
}

void StartSideChangeFade(GameState& g) {
  if (g.fadingOut != 0) return;
  g.fadeAlpha = 0;
  g.fadingOut = 1;
}

void DrawFade(const GameState& g, unsigned colour) {
  Sprite* sprite = GetSprite();
  Texture* fade = GetSharedTexture(kTexFade);
  if (!sprite || !fade) return;
  sprite->Begin(D3DXSPRITE_ALPHABLEND);
  sprite->SetTransform(MatrixScaling(1280.0f / fade->Width(), 720.0f / fade->Height(), 1));
  sprite->Draw(fade, nullptr, nullptr, nullptr,
               (static_cast<uint32_t>(g.fadeAlpha) << 24) | (colour & 0xFFFFFF));
  sprite->SetTransform(Matrix::Identity());
  sprite->End();
}
