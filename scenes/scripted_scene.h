// The picture-and-text scenes before the first stage and after the last.
#pragma once

#include "scenes/placeholder_scene.h"

class Opening {
 public:
  Opening();
  int Start();
  int Update();
  void Draw();
  void Release();

 private:
  PlaceholderScene placeholder_;
};

class Ending {
 public:
  Ending();
  int Start();
  int Update();
  void Draw();
  void Release();

 private:
  PlaceholderScene placeholder_;
};
