// The stage gauge at the right edge of the screen: a bar from the start to
// the goal, with the part the great wave has swept shown red and the
// player's marker climbing as the goal nears.
#pragma once

#include "base/math.h"

class RandomStream;
struct WorldValues;

class BreakWave;

struct StageGauge {
  int visible = 1;
  float savedX = 0;
  float startOffset = 0;
  int alpha = 255;
  float band = 5.0f;
  Vec2 shift{0, 0};
  float wobbleAngle = 0;

  // Heights in texture rows of the three bands: top, red and grey.
  struct Bands {
    int top, red, grey;
  };
  // The band heights for the goal x G and the wave (smallestX: the stage's
  // nearest x, kept while the wave sweeps); advances the fade while the wave
  // makes its last sweep or rests.
  Bands Measure(float goalX, float smallestX, const BreakWave& wave);
  // The marker's screen position for the player's x.
  Vec2 MarkerPosition(float goalX, float playerX) const;
  // The gauge for the stage's goal and extent (world); its red band wobbles
  // by the drawing's numbers.
  void Draw(RandomStream& drawRandom, const WorldValues& world, const BreakWave& wave,
            float playerX);
};
