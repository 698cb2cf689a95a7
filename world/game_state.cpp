#include "world/game_state.h"

#include "platform/graphics.h"
#include "render/preload.h"

namespace {

struct GameState {
  int gameMode = 0;
  int stageNumber = 0;
  int bossesLeft = 0;
  int enemiesLeft = 0;
  int bossEventSeen = 0;
  int life = 5;
  int maxLife = 9;
  int hudMark = 0;
  int playerUnderside = 0;
  float bridgeTimer = 0;
  float bridgeFront = 0;
  int bridgeAdvance = 0;
  int fadeAlpha = 0;
  int fadingIn = 0;
  int fadingOut = 0;
};

GameState g_state;

}  // namespace

int GetGameMode() {
  return g_state.gameMode;
}
void SetGameMode(int mode) {
  g_state.gameMode = mode;
}
int GetStageNumber() {
  return g_state.stageNumber;
}
void SetStageNumber(int stage) {
  g_state.stageNumber = stage;
}
int GetBossesLeft() {
  return g_state.bossesLeft;
}
void SetBossesLeft(int n) {
  g_state.bossesLeft = n;
}
int GetEnemiesLeft() {
  return g_state.enemiesLeft;
}
void SetEnemiesLeft(int n) {
  g_state.enemiesLeft = n;
}
int GetBossEventSeen() {
  return g_state.bossEventSeen;
}
void SetBossEventSeen(int seen) {
  g_state.bossEventSeen = seen;
}
int GetLife() {
  return g_state.life;
}
void SetLife(int life) {
  g_state.life = life;
}
int GetMaxLife() {
  return g_state.maxLife;
}
void SetMaxLife(int maxLife) {
  g_state.maxLife = maxLife;
}
int GetHudMark() {
  return g_state.hudMark;
}
void SetHudMark(int mark) {
  g_state.hudMark = mark;
}
int GetPlayerUnderside() {
  return g_state.playerUnderside;
}
void SetPlayerUnderside(int underside) {
  g_state.playerUnderside = underside;
}
float GetBridgeTimer() {
  return g_state.bridgeTimer;
}
void SetBridgeTimer(float seconds) {
  g_state.bridgeTimer = seconds;
}
float GetBridgeFront() {
  return g_state.bridgeFront;
}
void SetBridgeFront(float x) {
  g_state.bridgeFront = x;
}
int GetBridgeAdvance() {
  return g_state.bridgeAdvance;
}
void SetBridgeAdvance(int advance) {
  g_state.bridgeAdvance = advance;
}
int GetFadeAlpha() {
  return g_state.fadeAlpha;
}
void SetFadeAlpha(int alpha) {
  g_state.fadeAlpha = alpha;
}
int GetFadingIn() {
  return g_state.fadingIn;
}
void SetFadingIn(int on) {
  g_state.fadingIn = on;
}
int GetFadingOut() {
  return g_state.fadingOut;
}
void SetFadingOut(int on) {
  g_state.fadingOut = on;
}

int Damage() {
  if (g_state.life > g_state.maxLife) return 1;
  if (g_state.life <= 0) {
    g_state.life = 0;
    return 0;
  }
  --g_state.life;
  return 1;
}

void Heal() {
  if (g_state.life < g_state.maxLife) ++g_state.life;
}

void ResetLife() {
  g_state.hudMark = 0;
  g_state.maxLife = 9;
  g_state.life = 5;
}

void CheckEnemiesLeft() {
  if (g_state.bossesLeft <= 0) {
    g_state.gameMode = kModeBossDefeated;
    return;
  }
  const int threshold = g_state.stageNumber == 1 ? 1 : 0;
  if (g_state.gameMode == kModeFreePlay && g_state.enemiesLeft <= threshold)
    g_state.gameMode = kModeBossArmed;
}

void ResetStageState() {
  g_state.gameMode = kModeFreePlay;
  g_state.bossesLeft = 0;
  g_state.enemiesLeft = 0;
  if (g_state.stageNumber == 2 || g_state.stageNumber == 3) g_state.gameMode = kModeBossArmed;
}

void StepFadeIn() {
  g_state.fadeAlpha -= 5;
  if (g_state.fadeAlpha < 0) {
    g_state.fadeAlpha = 0;
    g_state.fadingIn = 0;
  }
}

void StepFadeOut() {
  g_state.fadeAlpha += 5;
  if (g_state.fadeAlpha >= 256) {
    g_state.fadeAlpha = 255;
    g_state.fadingOut = 0;
  }
}

void ResetFade() {
  g_state.fadeAlpha = 0;
  g_state.fadingIn = 0;
  g_state.fadingOut = 0;
}

void DrawFade(unsigned colour) {
  Sprite* sprite = GetSprite();
  Texture* fade = GetSharedTexture(kTexFade);
  if (!sprite || !fade) return;
  sprite->Begin(D3DXSPRITE_ALPHABLEND);
  sprite->SetTransform(MatrixScaling(1280.0f / fade->Width(), 720.0f / fade->Height(), 1));
  sprite->Draw(fade, nullptr, nullptr, nullptr,
               (static_cast<uint32_t>(g_state.fadeAlpha) << 24) | (colour & 0xFFFFFF));
  sprite->SetTransform(Matrix::Identity());
  sprite->End();
}

void ResetGameState() {
  g_state = GameState{};
}

void StartSideChangeFade() {
  if (GetFadingOut() != 0) return;
  SetFadeAlpha(0);
  SetFadingOut(1);
}
