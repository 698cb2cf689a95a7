// Blocks whose visibility and solidity follow their alpha: at 0 neither drawn
// nor solid, otherwise drawn translucent and as solid as a cube. The kinds
// differ in how the alpha changes: fading away once passed, flashing on a
// period while stepping along x, or showing only on the player's side.
#pragma once

#include "world/object_base.h"

class Mesh;

class InvisibleBase : public GimmickBase {
 public:
  explicit InvisibleBase(RunState& run) : GimmickBase(run) { size = {1, 1, 1}; }
  int Init(RunState&) override {
    UpdateMatrix();
    return 1;
  }
  // The cube test against the block (edge size.x); nothing while alpha is 0.
  int HitCheck(RunState& run, int upsideDown, const Vec3& position, const Vec3& size,
               const Vec3& velocity, Vec3* contact) override;
  const char* ClassName() const override { return "InvisibleBase"; }

 protected:
  // The cube test with a given edge.
  int CubeTest(float edge, int upsideDown, const Vec3& c, const Vec3& s, Vec3* contact) const;
};

class AfterInvisible : public InvisibleBase {
 public:
  AfterInvisible(RunState& run, int mode);
  void Action(RunState& run, CharacterBase* player) override;
  void Draw(RunState& run) override;
  const char* ClassName() const override { return "AfterInvisible"; }
  void DumpParameters(JsonWriter& json) const override;

  Mesh* mesh;
  int fading = 0;
  int mode;
};

class Flashing : public InvisibleBase {
 public:
  Flashing(RunState& run, int fadingIn, float step, float startX, float endX, float period);
  int Init(RunState& run) override;
  void Action(RunState& run, CharacterBase* player) override;
  void Draw(RunState& run) override;
  const char* ClassName() const override { return "Flashing"; }
  void DumpParameters(JsonWriter& json) const override;

  float flashTimer = 0;  // time into the current fade (the flip's timer is the base's)
  int fadingIn;
  float currentX = 0, startX, endX, stepX, period;
};

class OnesideInvisible : public InvisibleBase {
 public:
  explicit OnesideInvisible(RunState& run) : InvisibleBase(run) {}
  void Action(RunState& run, CharacterBase* player) override;
  void Draw(RunState& run) override;
  const char* ClassName() const override { return "OnesideInvisible"; }
  int seenSide = 0;
};

// Draws the box mesh with the rock texture through the translucent recipe.
void DrawRockBlock(const Matrix& world, int alpha);
