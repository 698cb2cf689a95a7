// Stage devices that move or appear as the stage goes on: the two-leaf Gate,
// the Bridge pieces that appear towards the goal, and the MoveBlock that
// carries the player.
#pragma once

#include "world/invisible_blocks.h"

class Mesh;

// The two-leaf gate: opens while the boss is armed, shuts when the battle
// starts. rotation.y is the opening angle (90 shut, 180 open).
class Gate : public GimmickBase {
 public:
  explicit Gate(RunState& run);
  int Init(RunState& run) override;
  void UpdateMatrix() override;
  void Action(RunState& run, CharacterBase* player) override;
  void Draw(RunState& run) override;
  int HitCheck(RunState& run, int upsideDown, const Vec3& position, const Vec3& size,
               const Vec3& velocity, Vec3* contact) override;
  const char* ClassName() const override { return "Gate"; }

  Mesh* leaf1;
  Mesh* leaf2;
  float hingeOffset = 0;

 private:
  // Places the gate as one of its leaves (1 or 2) for drawing or testing.
  void PlaceLeaf(int leaf, const Vec3& p, const Vec3& r);
  int LeafRayTest(Mesh* mesh, const Vec3& c, const Vec3& s, const Vec3& v, Vec3* contact) const;
};

class Bridge : public InvisibleBase {
 public:
  // meshNumber: one of the object meshes 7 to 10.
  Bridge(RunState& run, int meshNumber);
  int Init(RunState& run) override;
  void Action(RunState& run, CharacterBase* player) override;
  void Draw(RunState& run) override;
  int HitCheck(RunState& run, int upsideDown, const Vec3& position, const Vec3& size,
               const Vec3& velocity, Vec3* contact) override;
  const char* ClassName() const override { return "Bridge"; }
  void DumpParameters(JsonWriter& json) const override;

  Mesh* mesh;
  int meshNumber;
  int appearing = 0;
};

class MoveBlock : public InvisibleBase {
 public:
  MoveBlock(RunState& run, int group, float travelTime, const Vec3& offset);
  int Init(RunState& run) override;
  void Action(RunState& run, CharacterBase* player) override;
  void Draw(RunState& run) override;
  int HitCheck(RunState& run, int upsideDown, const Vec3& position, const Vec3& size,
               const Vec3& velocity, Vec3* contact) override;
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
