// Stands in for a scene until it is built: ready at once, shows the scene's
// name in the script font, and ends on a Return (or pad A) press.
#pragma once

#include <string>

class PlaceholderScene {
 public:
  // name and caption are UTF-8; the caption is drawn in Japanese.
  PlaceholderScene(const char* name, const char* caption);
  int Start() { return 1; }
  int Update();
  void Draw();
  const std::string& Name() const { return name_; }

 private:
  std::string name_;
  std::string text_;  // Shift-JIS, as every text the game draws
};
