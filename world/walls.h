// Walls on the field: the plain wall, the breakable wall (36 pieces that look
// like one and fly apart), and the rotating slabs a thrown chip turns.
#pragma once

#include "world/object_base.h"

class Mesh;

class Wall : public GimmickBase {
 public:
  // piece: 0 the whole wall, 1 to 36 a piece of a breakable wall.
  Wall(RunState& run, int piece);
  int Init(RunState& run) override;
  void Action(RunState& run, CharacterBase* player) override;
  void Draw(RunState& run) override;
  int HitCheck(RunState& run, int upsideDown, const Vec3& position, const Vec3& size,
               const Vec3& velocity, Vec3* contact) override;
  const char* ClassName() const override { return "Wall"; }
  void DumpParameters(JsonWriter& json) const override;

  Mesh* mesh;
  int piece;
  int breakState = 1;  // 1 standing, 2 broken
  Vec3 spin;
  float spinRate = 0;
  float spinMode = 0;
};

struct GimmickNode;
// Breaks a breakable wall: the piece at this node and the next 35 along the
// field's list (the 36 pieces are consecutive) fly apart, with the sound.
void BreakWall(RunState& run, GimmickNode* piece);

class RotaWall : public GimmickBase {
 public:
  explicit RotaWall(RunState& run);
  int Init(RunState& run) override;
  void UpdateMatrix() override;
  void Action(RunState& run, CharacterBase* player) override;
  void Draw(RunState& run) override;
  int HitCheck(RunState& run, int upsideDown, const Vec3& position, const Vec3& size,
               const Vec3& velocity, Vec3* contact) override;
  const char* ClassName() const override { return "RotaWall"; }

  Mesh* mesh;
  float turnSpeed = 4.0f;
  int turnState = 2;  // 2 ready, 4 turning, 1 turned

 protected:
  // The rays of the hit test, with the half slab's differences as arguments.
  int RayTest(int upsideDown, const Vec3& c, const Vec3& s, const Vec3& v, Vec3* contact,
              bool half);
};

class RotaWallHalf : public RotaWall {
 public:
  explicit RotaWallHalf(RunState& run);
  int Init(RunState& run) override;
  void UpdateMatrix() override;
  int HitCheck(RunState& run, int upsideDown, const Vec3& position, const Vec3& size,
               const Vec3& velocity, Vec3* contact) override;
  const char* ClassName() const override { return "RotaWallHalf"; }
};
