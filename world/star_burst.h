// The seven-star burst: stars thrown out from a point that fall and fade.
#pragma once

#include "base/math.h"

class RandomStream;

// Draws the star model scaled, turned (degrees) and placed; the caller sets
// the blending (the effects draw their stars translucent).
void DrawTumblingStar(const Vec3& position, const Vec3& rotation, const Vec3& scale);

class StarBurst {
 public:
  // The stars scatter by the drawing's numbers (drawRandom), never the game's.
  void Start(RandomStream& drawRandom, int upsideDown, const Vec3& point, const Vec3& spread);
  void Activate() { active_ = true; }
  void Update(int upsideDown);
  void Draw();
  bool Active() const { return active_; }
  int Alpha() const { return alpha_; }
  const Vec3& StarPosition(int i) const { return stars_[i].position; }

 private:
  struct Star {
    Vec3 position, velocity, rotation, scale;
  };
  bool active_ = false;
  Star stars_[7];
  int alpha_ = 0;
  float sinkSpeed_ = 0;
};
