// The credits scene.
#pragma once

#include "scenes/placeholder_scene.h"

class Credit {
 public:
  Credit();
  int Start();
  int Update();
  void Draw();
  void Release();

 private:
  PlaceholderScene placeholder_;
};
