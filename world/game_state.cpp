#include "world/game_state.h"

#include "platform/graphics.h"
#include "render/preload.h"
#include "world/run_state.h"

namespace {

GameState& State() {
  return Run().game;
}

}  // namespace

int GetGameMode() {
  return State().gameMode;
}
void SetGameMode(int mode) {
  State().gameMode = mode;
}
int GetStageNumber() {
  return State().stageNumber;
}
void SetStageNumber(int stage) {
  State().stageNumber = stage;
}
int GetBossesLeft() {
  return State().bossesLeft;
}
void SetBossesLeft(int n) {
  State().bossesLeft = n;
}
int GetEnemiesLeft() {
  return State().enemiesLeft;
}
void SetEnemiesLeft(int n) {
  State().enemiesLeft = n;
}
int GetBossEventSeen() {
  return State().bossEventSeen;
}
void SetBossEventSeen(int seen) {
  State().bossEventSeen = seen;
}
int GetLife() {
  return State().life;
}
void SetLife(int life) {
  State().life = life;
}
int GetMaxLife() {
  return State().maxLife;
}
void SetMaxLife(int maxLife) {
  State().maxLife = maxLife;
}
int GetHudMark() {
  return State().hudMark;
}
void SetHudMark(int mark) {
  State().hudMark = mark;
}
int GetPlayerUnderside() {
  return State().playerUnderside;
}
void SetPlayerUnderside(int underside) {
  State().playerUnderside = underside;
}
float GetBridgeTimer() {
  return State().bridgeTimer;
}
void SetBridgeTimer(float seconds) {
  State().bridgeTimer = seconds;
}
float GetBridgeFront() {
  return State().bridgeFront;
}
void SetBridgeFront(float x) {
  State().bridgeFront = x;
}
int GetBridgeAdvance() {
  return State().bridgeAdvance;
}
void SetBridgeAdvance(int advance) {
  State().bridgeAdvance = advance;
}
int GetFadeAlpha() {
  return State().fadeAlpha;
}
void SetFadeAlpha(int alpha) {
  State().fadeAlpha = alpha;
}
int GetFadingIn() {
  return State().fadingIn;
}
void SetFadingIn(int on) {
  State().fadingIn = on;
}
int GetFadingOut() {
  return State().fadingOut;
}
void SetFadingOut(int on) {
  State().fadingOut = on;
}

int Damage() {
  if (State().life > State().maxLife) return 1;
  if (State().life <= 0) {
    State().life = 0;
    return 0;
  }
  --State().life;
  return 1;
}

void Heal() {
  if (State().life < State().maxLife) ++State().life;
}

void ResetLife() {
  State().hudMark = 0;
  State().maxLife = 9;
  State().life = 5;
}

void CheckEnemiesLeft() {
  if (State().bossesLeft <= 0) {
    State().gameMode = kModeBossDefeated;
    return;
  }
  const int threshold = State().stageNumber == 1 ? 1 : 0;
  if (State().gameMode == kModeFreePlay && State().enemiesLeft <= threshold)
    State().gameMode = kModeBossArmed;
}

void ResetStageState() {
  State().gameMode = kModeFreePlay;
  State().bossesLeft = 0;
  State().enemiesLeft = 0;
  if (State().stageNumber == 2 || State().stageNumber == 3) State().gameMode = kModeBossArmed;
}

void StepFadeIn() {
  State().fadeAlpha -= 5;
  if (State().fadeAlpha < 0) {
    State().fadeAlpha = 0;
    State().fadingIn = 0;
  }
}

void StepFadeOut() {
  State().fadeAlpha += 5;
  if (State().fadeAlpha >= 256) {
    State().fadeAlpha = 255;
    State().fadingOut = 0;
  }
}

void ResetFade() {
  State().fadeAlpha = 0;
  State().fadingIn = 0;
  State().fadingOut = 0;
}

void DrawFade(unsigned colour) {
  Sprite* sprite = GetSprite();
  Texture* fade = GetSharedTexture(kTexFade);
  if (!sprite || !fade) return;
  sprite->Begin(D3DXSPRITE_ALPHABLEND);
  sprite->SetTransform(MatrixScaling(1280.0f / fade->Width(), 720.0f / fade->Height(), 1));
  sprite->Draw(fade, nullptr, nullptr, nullptr,
               (static_cast<uint32_t>(State().fadeAlpha) << 24) | (colour & 0xFFFFFF));
  sprite->SetTransform(Matrix::Identity());
  sprite->End();
}

void ResetGameState() {
  State() = GameState{};
}

void StartSideChangeFade() {
  if (GetFadingOut() != 0) return;
  SetFadeAlpha(0);
  SetFadingOut(1);
}
