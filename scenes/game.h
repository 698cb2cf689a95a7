// The game scene: plays the four stages in order.
#pragma once

#include "scenes/placeholder_scene.h"

class JsonWriter;

class Game {
 public:
  Game();
  int Start();
  int Update();
  void Draw();
  void Release();
  // 1 when the last stage was cleared, else 0.
  int GetResult();
  // The scene's state for the runner's dumps.
  void DumpState(JsonWriter& json) const;

 private:
  PlaceholderScene placeholder_;
  int result_ = 0;
};
