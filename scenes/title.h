// The title scene: the menu that starts the game, shows the credits or ends
// the program.
#pragma once

#include "scenes/placeholder_scene.h"

class Title {
 public:
  Title();
  int Start();
  int Update();
  void Draw();
  void Release();
  // 0 start the game, 1 show the credits, 2 end the program.
  int GetResult();

 private:
  PlaceholderScene placeholder_;
  int result_;
};

// The next title placeholder starts the game again (tests walk the sequence).
void ResetTitleResultCycle();
