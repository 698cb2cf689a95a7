// The title scene: the title picture over the animated starry river, a fade
// in from a white cover, a three-item menu (start, credits, end) and a fade
// out. A new Title is made every time the program returns here, so the
// cursor always starts on the first item.
#pragma once

#include <memory>

#include "base/math.h"
#include "render/sound_sets.h"

class Texture;
struct InputFrame;
class Sky;
class RiverSurface;

class Title {
 public:
  Title();
  ~Title();
  Title(const Title&) = delete;
  Title& operator=(const Title&) = delete;

  int Start();
  // 0 when the scene has finished.
  int Update(const InputFrame& input);
  void Draw();
  void Release();
  // 0 start the game, 1 show the credits, 2 end the program.
  int GetResult() const { return cursor; }
  // Faded in and nothing chosen yet: the menu waits for the player.
  bool MenuWaiting() const { return fade >= 255 && !decided; }
  // The title's sounds (the options screen over it plays its cursor sound).
  SoundSetCore& Sounds() { return sounds_; }

  Vec3 eye{10, 15, -15};
  Vec3 lookAt{0, 0, 0};
  Vec3 up{0, 1, 0};
  std::unique_ptr<Sky> sky;
  std::unique_ptr<RiverSurface> river;
  Texture* backTexture = nullptr;
  Texture* coverTexture = nullptr;
  int fade = 0;
  int highlight = 96;
  int decided = 0;
  int cursor = 0;
  int repeat = 0;

 private:
  // The scene's own sounds, loaded at its start and released at its end.
  SoundSetCore sounds_ = TitleSoundSet();
  bool soundsLoaded_ = false;
  bool reported_ = false;
};
