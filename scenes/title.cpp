#include "scenes/title.h"

#include "base/report_error.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/sprite.h"
#include "render/constants.h"
#include "render/mesh.h"
#include "render/sound_sets.h"
#include "world/environment.h"

namespace {

constexpr int kItemWidth = 446, kItemHeight = 182;
constexpr int kFadeStep = 3;
constexpr int kRepeatFrames = 7;
constexpr int kDimGrey = 0x60;

}  // namespace

Title::Title() = default;

Title::~Title() {
  Release();
}

int Title::Start() {
  if (!backTexture) backTexture = LoadTexture(kTitlePicturePaths[0]);
  if (!coverTexture) coverTexture = LoadTexture(kTitlePicturePaths[1]);
  if (!backTexture || !coverTexture) {
    if (!reported_) ReportError("テクスチャの読み込みに失敗 -Title-");
    reported_ = true;
    return 0;
  }
  if (!sky) sky = std::make_unique<Sky>();
  if (!river) {
    river = std::make_unique<RiverSurface>();
    if (!river->Create()) {
      river.reset();
      return 0;
    }
  }
  if (!soundsLoaded_) {
    if (!sounds_.Load()) return 0;
    soundsLoaded_ = true;
  }
  GraphicsDevice* d = GetDevice();
  d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  fade = 0;
  decided = 0;
  cursor = 0;
  repeat = 0;
  highlight = 96;
  return 1;
}

int Title::Update(const InputFrame& input) {
  if (sounds_.GetRequest(kTitleWave) == 0) sounds_.Request(kTitleWave, 2);
  sounds_.Update();
  river->Scroll();
  if (!decided) {
    if (fade < 255) {
      fade = std::min(fade + kFadeStep, 255);
    } else {
      const Vec2 stick = input.LeftStick();
      const bool down = input.KeyDown(DIK_DOWN), upKey = input.KeyDown(DIK_UP);
      if (down && upKey) {
        repeat = 8;
      } else if (down || stick.y < -0.8f) {
        if (++repeat > kRepeatFrames) {
          repeat = 0;
          cursor = (cursor + 1) % 3;
          sounds_.PlayOnce(kTitleSelect);
          highlight = kDimGrey;
        }
      } else if (upKey || stick.y > 0.8f) {
        if (++repeat > kRepeatFrames) {
          repeat = 0;
          cursor = (cursor + 2) % 3;
          sounds_.PlayOnce(kTitleSelect);
          highlight = kDimGrey;
        }
      } else {
        repeat = 8;
      }
      if (input.PadPressed(XINPUT_GAMEPAD_A) || input.KeyPressed(DIK_RETURN)) {
        sounds_.PlayOnce(kTitleSelectEnd);
        decided = 1;
      }
    }
  }
  if (decided && fade > 0) {
    fade -= kFadeStep;
    if (fade < 1) return 0;
  }
  return 1;
}

void Title::Draw() {
  GraphicsDevice* d = GetDevice();
  d->SetTransform(D3DTS_VIEW, MatrixLookAtLH(eye, lookAt, up));
  d->SetTransform(D3DTS_PROJECTION, MatrixPerspectiveFovLH(kPi / 4, 16.0f / 9.0f, 1, 1000));
  // The picture is opaque over the whole screen: once it is fully faded in
  // the river under it cannot show, and a software renderer would spend two
  // full screens of blending on it.
  if (fade < 255) river->DrawTitle();
  Sprite* sprite = GetSprite();
  const uint32_t alpha = static_cast<uint32_t>(std::clamp(fade, 0, 255)) << 24;
  // Fully faded in, the picture is drawn without blending: every texel of it
  // and its colour are opaque, so it is the same picture, and a software
  // renderer is spared a full screen of blending and alpha testing.
  const bool opaque = fade >= 255;
  sprite->Begin(opaque ? 0 : D3DXSPRITE_ALPHABLEND);
  sprite->SetTransform(Matrix::Identity());
  const RECT picture{0, 0, 1280, 720};
  sprite->Draw(backTexture, &picture, nullptr, nullptr, alpha | 0xFFFFFF);
  if (opaque) {
    sprite->End();
    sprite->Begin(D3DXSPRITE_ALPHABLEND);
  }
  for (int i = 0; i < 3; ++i) {
    const RECT item{kItemWidth * i, 720, kItemWidth * (i + 1), 720 + kItemHeight};
    sprite->SetTransform(MatrixTranslation(420, 360.0f + 84 * i, 0));
    uint32_t grey = kDimGrey;
    if (i == cursor) {
      highlight = std::min(highlight + 5, 255);
      grey = static_cast<uint32_t>(highlight);
    }
    sprite->Draw(backTexture, &item, nullptr, nullptr, alpha | grey * 0x010101u);
  }
  sprite->SetTransform(Matrix::Identity());
  sprite->Draw(coverTexture, nullptr, nullptr, nullptr,
               (static_cast<uint32_t>(255 - std::clamp(fade, 0, 255)) << 24) | 0xFFFFFF);
  sprite->End();
}

void Title::Release() {
  if (backTexture) backTexture->Release();
  if (coverTexture) coverTexture->Release();
  backTexture = coverTexture = nullptr;
  sky.reset();
  if (river) river->Release();
  river.reset();
  if (soundsLoaded_) {
    sounds_.StopAll();
    sounds_.Release();
  }
  soundsLoaded_ = false;
}
