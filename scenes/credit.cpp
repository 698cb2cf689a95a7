#include "scenes/credit.h"

#include <algorithm>

#include "base/report_error.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/sprite.h"
#include "render/mesh.h"
#include "render/sound_sets.h"

namespace {
constexpr const char* kCreditPicturePath = "Resource_Orvelune/Event/Credit/Credit.png";
constexpr float kNormalSpeed = 2.25f, kFastSpeed = 10.0f;
constexpr int kHoldFrames = 180;
}  // namespace

Credit::~Credit() {
  Release();
}

int Credit::Start() {
  if (!texture) {
    texture = LoadTexture(kCreditPicturePath);
    if (!texture) {
      if (!reported_) ReportError("テクスチャの読み込みに失敗 -Credit-");
      reported_ = true;
      return 0;
    }
    endY = -static_cast<float>(texture->Height() - 720);
  }
  if (!soundLoaded_) {
    if (!sounds_.Load()) return 0;
    soundLoaded_ = true;
  }
  return 1;
}

int Credit::Update(const InputFrame& input) {
  if (sounds_.GetRequest(0) == 0 && phase == kFadingIn) sounds_.Request(0, 1);
  sounds_.Update();
  if (phase == kFadingIn) {
    brightness += 3;
    if (brightness >= 255) {
      brightness = 255;
      phase = kScrolling;
    }
  } else if (phase == kScrolling) {
    if (input.KeyPressed(DIK_RETURN) || input.PadPressed(XINPUT_GAMEPAD_A))
      speed = speed == kNormalSpeed ? kFastSpeed : kNormalSpeed;
    if (position.y > endY) position.y -= speed;
    if (position.y <= endY) {
      position.y = endY;
      hold += speed == kNormalSpeed ? 1 : 10;
      if (hold >= kHoldFrames) {
        phase = kFadingOut;
        hold = 0;
      }
    }
  } else if (phase == kFadingOut) {
    if (brightness > 0) brightness -= 2;
    if (brightness <= 0) {
      brightness = 0;
      phase = kFinished;
      sounds_.Request(0, 0);
      sounds_.Update();
      return 0;
    }
  }
  return 1;
}

void Credit::Draw() {
  if (!texture) return;
  Sprite* sprite = GetSprite();
  sprite->Begin(D3DXSPRITE_ALPHABLEND);
  sprite->SetTransform(Matrix::Identity());
  const Vec3 at{position.x, position.y, 0};
  sprite->Draw(texture, nullptr, nullptr, &at,
               0xFF000000u | static_cast<uint32_t>(std::clamp(brightness, 0, 255)) * 0x010101u);
  sprite->End();
}

void Credit::Release() {
  if (soundLoaded_) {
    sounds_.StopAll();
    sounds_.Release();
  }
  soundLoaded_ = false;
  if (texture) texture->Release();
  texture = nullptr;
}
