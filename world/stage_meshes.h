// The models the enemies of a stage share (the ordinary enemy, the scorpion,
// the twins, the two fish). The game scene owns one set and loads what its
// stage needs; the enemies draw with the set that is live.
#pragma once

#include "render/mesh.h"

class StageMeshes {
 public:
  StageMeshes() = default;
  StageMeshes(const StageMeshes&) = delete;
  StageMeshes& operator=(const StageMeshes&) = delete;
  ~StageMeshes() { Release(); }

  // The models of the enemies of a stage number (0 to 3; the last stage's
  // bosses load their own). 1, or 0 after reporting the first that failed.
  int Load(int stageNumber);
  // Every model of every stage (for the runner's pictures).
  int LoadAll();
  void Release();

  Mesh enemy;
  Mesh scorpion;
  Mesh pollux;
  Mesh castor;
  Mesh fish[2];
};
