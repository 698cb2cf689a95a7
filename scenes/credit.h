// The credits: one tall picture that scrolls up over music, faster while the
// player asks, holds at its end and fades out.
#pragma once

#include "base/math.h"
#include "render/sound_sets.h"

class Texture;
struct InputFrame;

class Credit {
 public:
  Credit() = default;
  ~Credit();
  Credit(const Credit&) = delete;
  Credit& operator=(const Credit&) = delete;

  int Start();
  // 0 when the credits have finished.
  int Update(const InputFrame& input);
  void Draw();
  void Release();

  enum Phase { kScrolling = 0, kFadingIn = 1, kFadingOut = 2, kFinished = 3 };
  Texture* texture = nullptr;
  int brightness = 0;
  int phase = kFadingIn;
  Vec2 position{0, 720};
  float endY = 0;
  float speed = 2.25f;
  int hold = 0;

 private:
  // The scene's own sounds, loaded at its start and released at its end.
  SoundSetCore sounds_ = CreditSoundSet();
  bool soundLoaded_ = false;
  bool reported_ = false;
};
