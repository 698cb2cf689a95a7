// Values the field and the gimmicks publish for one another beside the game
// state: the stage's extent and goal, the info panel's open flag, and the
// moving blocks' shared ride values.
#pragma once

#include "base/math.h"

struct WorldValues {
  Vec3 goalPosition;     // the gate's cell, set by the stage loader
  float goalX = 0;       // published by the field at initialisation
  float smallestX = -1;  // the stage's smallest gimmick x (-1: none)
  float frontEdgeZ = 0;  // the smallest gimmick z, at most 0
  int boardReading = 0;  // an info panel is open (the world holds still)
  int activeBoard = 0;   // text number of the board the player last stood at
  // Moving blocks.
  int riddenGroup = 0;
  int moving = 0;
  int rideRequested = 0;
  int carriedThisFrame = 0;
};
