#include "scenes/screens.h"

#include <algorithm>
#include <cmath>

#include "base/det_math.h"
#include "base/frame_time.h"
#include "base/math.h"
#include "base/report_error.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/sprite.h"
#include "render/mesh.h"
#include "render/preload.h"
#include "render/sound_sets.h"
#include "world/game_state.h"

namespace {

constexpr const char* kClearTexturePath = "Resource_Orvelune/Event/game_clear.png";
constexpr const char* kGameOverTexturePath = "Resource_Orvelune/Event/game_over.png";

bool ConfirmDown(const InputFrame& input) {
  return input.KeyDown(DIK_RETURN) || input.PadDown(XINPUT_GAMEPAD_A);
}
bool ConfirmPressed(const InputFrame& input) {
  return input.KeyPressed(DIK_RETURN) || input.PadPressed(XINPUT_GAMEPAD_A);
}

// Game-over items: normal and chosen rectangles and screen positions.
constexpr RECT kOverNormal[4] = {
    {0, 0, 640, 128}, {0, 128, 384, 256}, {380, 128, 516, 192}, {380, 256, 516, 320}};
constexpr RECT kOverChosen[4] = {
    {0, 0, 640, 128}, {0, 128, 384, 256}, {380, 192, 516, 256}, {380, 320, 516, 384}};
constexpr Vec3 kOverPosition[4] = {{320, 200, 0}, {448, 400, 0}, {480, 528, 0}, {672, 528, 0}};

struct PausePiece {
  RECT source;
  Vec3 position;
};
constexpr PausePiece kPausePieces[8] = {
    {{0, 0, 391, 106}, {444.5f, 256, 0}},   {{0, 108, 391, 167}, {124.5f, 362, 0}},
    {{0, 167, 391, 230}, {764.5f, 362, 0}}, {{0, 230, 391, 298}, {889, 580, 0}},
    {{0, 298, 391, 370}, {889, 632, 0}},    {{0, 370, 72, 428}, {889, 585, 0}},
    {{0, 428, 65, 476}, {889, 648, 0}},     {{0, 472, 236, 548}, {0, 628, 0}},
};
// The pieces 5 and 6 (the keys beside the hints) as the pad's buttons.
constexpr int kFirstKeyPiece = 5;
constexpr RECT kPauseButtonSources[2] = {{300, 370, 372, 428}, {300, 428, 365, 476}};

}  // namespace

// ---- GameClear ------------------------------------------------------------------

int GameClear::Load() {
  texture = LoadTexture(kClearTexturePath);
  if (!texture) {
    ReportError("テクスチャの読み込みに失敗 -GameClear-");
    return 0;
  }
  return 1;
}

void GameClear::Update(SoundSetCore& sounds, const InputFrame& input) {
  if (letterAlpha[count - 1] == 255) {
    if (timer == 0) sounds.PlayOnce(kSeClear);
    timer += GetDeltaTime();
    if (timer >= 1.0f || ConfirmDown(input)) done = 1;
  }
  for (int i = 0; i < count; ++i) {
    letterAlpha[i] = std::min(letterAlpha[i] + 5, 255);
    if (letterAlpha[i] < 64) break;
  }
  for (int i = 0; i < count; ++i) {
    if (letterAlpha[i] != 0 && letterAngle[i] <= 180) {
      letterLift[i] = -dmath::Sin(letterAngle[i] * kDegToRad) * 50;
      letterAngle[i] += 5;
    }
  }
}

void GameClear::Draw() {
  if (!texture) return;
  Sprite* sprite = GetSprite();
  sprite->Begin(D3DXSPRITE_ALPHABLEND);
  sprite->SetTransform(Matrix::Identity());
  for (int i = 0; i < count; ++i) {
    const RECT source{128 * i, 150, 128 * i + 128, 278};
    const Vec3 at{448.0f + 128 * i, 200 + letterLift[i], 0};
    sprite->Draw(texture, &source, nullptr, &at,
                 (static_cast<uint32_t>(letterAlpha[i]) << 24) | 0xFFFFFF);
  }
  sprite->End();
}

void GameClear::Reset() {
  done = 0;
  timer = 0;
  for (int i = 0; i < 3; ++i) {
    letterAlpha[i] = 0;
    letterLift[i] = 0;
    letterAngle[i] = 0;
  }
}

void GameClear::Release() {
  if (texture) texture->Release();
  texture = nullptr;
}

// ---- GameOver -------------------------------------------------------------------

int GameOver::Load() {
  texture = LoadTexture(kGameOverTexturePath);
  if (!texture) {
    ReportError("テクスチャの読み込みに失敗 -GameOver-");
    return 0;
  }
  return 1;
}

void GameOver::Reset() {
  decided = 0;
  choice = 1;
  for (int i = 0; i < 4; ++i) {
    itemRect[i] = kOverNormal[i];
    itemAlpha[i] = 0;
  }
  itemRect[2] = kOverChosen[2];
}

void GameOver::Update(SoundSetCore& sounds, const InputFrame& input) {
  if (!decided) {
    const float x = input.LeftStick().x;
    if (input.KeyPressed(DIK_LEFT) || x < 0) {
      if (choice == 0) sounds.PlayOnce(kSeSelect);
      itemRect[2] = kOverChosen[2];
      itemRect[3] = kOverNormal[3];
      choice = 1;
    } else if (input.KeyPressed(DIK_RIGHT) || x > 0) {
      if (choice == 1) sounds.PlayOnce(kSeSelect);
      itemRect[3] = kOverChosen[3];
      itemRect[2] = kOverNormal[2];
      choice = 0;
    }
    if ((itemAlpha[2] == 255 || itemAlpha[3] == 255) && ConfirmDown(input)) {
      decided = 1;
      sounds.PlayOnce(kSeGameover);
    }
  }
  const int notChosen = choice == 1 ? 3 : 2;
  for (int i = 0; i < 4; ++i) {
    if (i == notChosen) {
      // The other choice settles at a dim 64: down from bright after a change
      // of mind, and up from nothing when the screen appears, so both
      // choices show from the start.
      if (itemAlpha[i] > 64)
        itemAlpha[i] = std::max(itemAlpha[i] - 5, 64);
      else
        itemAlpha[i] = std::min(itemAlpha[i] + 10, 64);
    } else {
      itemAlpha[i] = std::min(itemAlpha[i] + 10, 255);
    }
    if (i == 0 && itemAlpha[0] < 255) break;
  }
}

void GameOver::Draw() {
  if (!texture) return;
  Sprite* sprite = GetSprite();
  sprite->Begin(D3DXSPRITE_ALPHABLEND);
  sprite->SetTransform(Matrix::Identity());
  for (int i = 0; i < 4; ++i)
    sprite->Draw(texture, &itemRect[i], nullptr, &kOverPosition[i],
                 (static_cast<uint32_t>(itemAlpha[i]) << 24) | 0xFFFFFF);
  sprite->End();
}

void GameOver::Release() {
  if (texture) texture->Release();
  texture = nullptr;
}

// ---- PauseMenu ------------------------------------------------------------------

void PauseMenu::Reset(bool rising) {
  savedMode = 0;
  cursor = kRetry;
  phase = kChoosing;
  fade = 0;
  menuAlpha = 0;
  decided = 0;
  blinkLevel = 32;
  blinkRising = rising ? 1 : 0;
  std::fill(std::begin(pieceAlpha), std::end(pieceAlpha), 0);
}

int PauseMenu::Update(SoundSetCore& sounds, const InputFrame& input) {
  int finished = 0;
  if (phase == kChoosing) {
    if (blinkRising) {
      blinkLevel += 2;
      if (blinkLevel > 255) {
        blinkLevel = 255;
        blinkRising = 0;
      }
    } else {
      blinkLevel -= 2;
      if (blinkLevel < 32) {
        blinkLevel = 32;
        blinkRising = 1;
      }
    }
    const float x = input.LeftStick().x;
    if (input.KeyPressed(DIK_LEFT) || x < -1.5f) {
      if (cursor != kRetry) sounds.PlayOnce(kSeSelect);
      cursor = kRetry;
    } else if (input.KeyPressed(DIK_RIGHT) || x > 1.5f) {
      if (cursor != kQuit) sounds.PlayOnce(kSeSelect);
      cursor = kQuit;
    }
    if (ConfirmPressed(input)) {
      if (cursor == kRetry) {
        phase = kFadingOut;
        sounds.PlayOnce(kSeSelectEnd);
      } else if (cursor == kQuit) {
        phase = kFadingOut;
        sounds.PlayOnce(kSeGameover);
      } else {
        phase = kDone;
      }
      decided = 1;
    }
    if (IsPauseRequested(input)) {
      cursor = kResume;
      phase = kDone;
      decided = 1;
      sounds.PlayOnce(kSeSet);
    }
  }
  // A choice made above takes effect in this same frame.
  if (phase == kFadingOut) {
    fade = std::min(fade + 5, 255);
    if (fade >= 255) finished = 1;
  }
  if (phase == kDone) finished = 1;
  for (int i = 0; i < 8; ++i) {
    if (i == 0 || i == 3 || i == 4)
      pieceAlpha[i] = 255;
    else if (i == cursor)
      pieceAlpha[i] = std::min(pieceAlpha[i] + 20, 255);
    else
      pieceAlpha[i] = std::max(pieceAlpha[i] - 20, 0);
  }
  return finished;
}

void PauseMenu::Draw(InputDevice prompts) {
  Sprite* sprite = GetSprite();
  Texture* t = GetSharedTexture(kTexPause);
  if (!t) return;
  const uint32_t a = static_cast<uint32_t>(menuAlpha) << 24;
  sprite->Begin(D3DXSPRITE_ALPHABLEND);
  sprite->SetTransform(Matrix::Identity());
  for (int i = 0; i < 8; ++i) {
    uint32_t colour = 0xFFFFFF;
    if (i == 1 || i == 2) colour = (static_cast<uint32_t>(pieceAlpha[i]) << 16) | 0x0B0B;
    if (i == 7) colour = static_cast<uint32_t>(blinkLevel) * 0x010101u;
    const bool button =
        prompts == InputDevice::kPad && i >= kFirstKeyPiece && i < kFirstKeyPiece + 2;
    const RECT& source = button ? kPauseButtonSources[i - kFirstKeyPiece] : kPausePieces[i].source;
    sprite->Draw(t, &source, nullptr, &kPausePieces[i].position, a | colour);
  }
  if (phase == kFadingOut) {
    Texture* fadeTexture = GetSharedTexture(kTexFade);
    sprite->SetTransform(
        MatrixScaling(1280.0f / fadeTexture->Width(), 720.0f / fadeTexture->Height(), 1));
    sprite->Draw(fadeTexture, nullptr, nullptr, nullptr, static_cast<uint32_t>(fade) << 24);
    sprite->SetTransform(Matrix::Identity());
  }
  sprite->End();
}

int IsPauseRequested(const InputFrame& input) {
  return input.KeyPressed(DIK_P) || input.PadPressed(XINPUT_GAMEPAD_START) ? 1 : 0;
}

RECT LifeGaugeRect(int life) {
  static constexpr int kOrigins[10][2] = {{629, 0},    {1086, 684}, {1086, 513}, {1086, 342},
                                          {1086, 171}, {1086, 0},   {629, 684},  {629, 513},
                                          {629, 342},  {629, 171}};
  life = std::clamp(life, 0, 9);
  return {kOrigins[life][0], kOrigins[life][1], kOrigins[life][0] + 457, kOrigins[life][1] + 171};
}

void DrawHud(const GameState& state) {
  Sprite* sprite = GetSprite();
  Texture* atlas = GetSharedTexture(kTexHudAtlas);
  if (!atlas) return;
  const int markLeft = state.hudMark ? 383 : 293;
  const RECT mark{markLeft, 212, markLeft + 90, 212 + 56};
  const RECT gauge = LifeGaugeRect(state.life);
  const RECT label{293, 268, 293 + 142, 268 + 39};
  const Vec3 markAt{64, 62, 0}, gaugeAt{11, 12, 0}, labelAt{201, 62, 0};
  sprite->Begin(D3DXSPRITE_ALPHABLEND);
  sprite->SetTransform(Matrix::Identity());
  sprite->Draw(atlas, &mark, nullptr, &markAt, 0xFFFFFFFF);
  sprite->Draw(atlas, &gauge, nullptr, &gaugeAt, 0xFFFFFFFF);
  sprite->Draw(atlas, &label, nullptr, &labelAt, 0xFFFFFFFF);
  sprite->End();
}
