// The stage gauge at the right edge of the screen: a bar from the start to
// the goal, with the part the great wave has swept shown red and the
// player's marker climbing as the goal nears.
#pragma once

#include "base/math.h"

struct RunState;

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
  // The band heights for the goal x G and the wave; advances the fade while
  // the wave makes its last sweep or rests.
  Bands Measure(RunState& run, float goalX, const BreakWave& wave);
  // The marker's screen position for the player's x.
  Vec2 MarkerPosition(float goalX, float playerX) const;
  void Draw(RunState& run, float goalX, const BreakWave& wave, float playerX);
};
