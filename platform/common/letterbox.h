// Where the fixed-size picture goes in a window of any size: scaled as large
// as fits with its shape kept, centred, the rest black (letterbox or
// pillarbox).
#pragma once

#include <algorithm>

struct Rect {
  int x = 0, y = 0, width = 0, height = 0;
};

inline Rect Letterbox(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight) {
  Rect r;
  if (windowWidth <= 0 || windowHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return r;
  // Compare the shapes in whole numbers: the side that limits keeps its full size.
  const long long wide = static_cast<long long>(windowWidth) * pictureHeight;
  const long long tall = static_cast<long long>(windowHeight) * pictureWidth;
  if (wide >= tall) {
    r.height = windowHeight;
    r.width = static_cast<int>(tall / pictureHeight);
  } else {
    r.width = windowWidth;
    r.height = static_cast<int>(wide / pictureWidth);
  }
  r.width = std::max(r.width, 1);
  r.height = std::max(r.height, 1);
  r.x = (windowWidth - r.width) / 2;
  r.y = (windowHeight - r.height) / 2;
  return r;
}
