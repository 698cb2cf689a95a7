// Stage devices that move or appear as the stage goes on: the two-leaf Gate,
// the Bridge pieces that appear towards the goal, and the MoveBlock that
// carries the player.
#pragma once

#include "world/invisible_blocks.h"

class Mesh;

class Gate : public GimmickBase {
 public:
  Gate();
  const char* ClassName() const override { return "Gate"; }

  Mesh* leaf1;
  Mesh* leaf2;
  float hingeOffset = 0;
};

class Bridge : public InvisibleBase {
 public:
  // meshNumber: one of the object meshes 7 to 10.
  explicit Bridge(int meshNumber);
  int Init() override;
  void Draw() override;
  const char* ClassName() const override { return "Bridge"; }
  void DumpParameters(JsonWriter& json) const override;

  Mesh* mesh;
  int meshNumber;
  int appearing = 0;
};

class MoveBlock : public InvisibleBase {
 public:
  MoveBlock(int group, float travelTime, const Vec3& offset);
  const char* ClassName() const override { return "MoveBlock"; }
  void DumpParameters(JsonWriter& json) const override;

  Mesh* mesh;
  int appearing = 0;
  int group;
  float travelTime;
  Vec3 offset;
  float elapsed = 0;
  int arrived = 0;
};
