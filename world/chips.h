// The small gimmicks that fill most cells: the floor chip (OneChip) that is
// selected, flipped, lifted, carried as a star and thrown; the decorative
// StarChip; the recovery Item; and the gathering and spraying star effect.
#pragma once

#include <memory>
#include <vector>

#include "world/object_base.h"

class Mesh;
class RandomStream;
class Texture;

class OneChip : public GimmickBase {
 public:
  explicit OneChip(RunState& run);
  int Init(RunState& run) override;
  void Action(RunState& run, CharacterBase* player) override;
  void Draw(RunState& run) override;
  int HitCheck(RunState& run, int upsideDown, const Vec3& position, const Vec3& size,
               const Vec3& velocity, Vec3* contact) override;
  const char* ClassName() const override { return "OneChip"; }

  Mesh* mesh;

 private:
  void DrawCarriedStar();
};

class StarChip : public GimmickBase {
 public:
  explicit StarChip(RunState& run);
  int Init(RunState& run) override;
  void Action(RunState& run, CharacterBase* player) override;
  void Draw(RunState& run) override;
  const char* ClassName() const override { return "StarChip"; }

  Mesh* mesh;

 private:
  void BuildMatrix();
};

class Item : public GimmickBase {
 public:
  Item(RunState& run, int index);
  void Action(RunState& run, CharacterBase* player) override;
  void Draw(RunState& run) override;
  const char* ClassName() const override { return "Item"; }
  void DumpParameters(JsonWriter& json) const override;

  // Motion bits.
  static constexpr int kSpin = 1, kRising = 2, kReturning = 4, kStopAfterBob = 8;

  Mesh* mesh;
  int index;
  float healTimer = 0.785f;
  Vec3 home;
  int motion = kSpin;
  float returnSpeed = 0;

 private:
  void Bob();
};

// The flying stars around a lifted or thrown chip. The effects live in the
// field's list, which updates, draws and deletes them.
class StarGather {
 public:
  struct Star {
    Vec3 position, start, motion;
    float yaw = 0;
    Vec3 rotation, scale;
    float speed1 = 0, speed2 = 0;
  };

  void SetMode(int mode) { mode_ = mode; }
  // Gather mode (1): stars come in towards the point. Spray mode (0): they
  // fly out from it, faster with a bigger boost.
  // The stars are placed by the drawing's numbers (drawRandom).
  void Start(RandomStream& drawRandom, int upsideDown, const Vec3& point, float sprayBoost = 0);
  // One frame; true once the effect has finished.
  bool Update(int upsideDown);
  void Draw();
  bool Finished() const { return finished_; }
  int Alpha() const { return alpha_; }

 private:
  friend class StarGatherList;
  StarGather() = default;
  bool finished_ = false;
  int mode_ = 0;
  Star stars_[5];
  Vec3 point_;
  int alpha_ = 0;
  float timer_ = 0;
  float sinkSpeed_ = 0;
  bool fadingIn_ = true;
};

// The effects alive now, in creation order; a field owns one.
class StarGatherList {
 public:
  // A new effect, owned by the list.
  StarGather* Add();
  // Updates every effect and deletes those that finish.
  void Update(int upsideDown);
  void Draw();
  void Clear() { effects_.clear(); }
  size_t Size() const { return effects_.size(); }

 private:
  std::vector<std::unique_ptr<StarGather>> effects_;
};

// Draws a mesh with a given texture (or its own when null) through the
// translucent recipe at the given alpha (255: no state changes).
void DrawMeshWithAlpha(Mesh* mesh, Texture* texture, int alpha);
