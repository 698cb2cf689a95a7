// The starry world around a stage: the sky ball that follows the player, the
// river surface (two scrolling translucent discs that fade at their rim), and
// the great wave that sweeps the river section by section towards the goal.
#pragma once

#include "render/primitives.h"
#include "world/object_base.h"

class Mesh;

class Sky : public ObjectBase {
 public:
  Sky();
  // Follows the player (below it, or above on the underside), turns slowly,
  // and draws.
  void UpdateAndDraw(RunState& run, const CharacterBase& player);
  const char* ClassName() const override { return "Sky"; }
  Mesh* mesh;
};

class RiverSurface {
 public:
  int Create();
  void Release() { polygon_.Release(); }
  void Scroll();
  // The two layers at height h (or -h, mirrored, on the underside).
  void Draw(RunState& run, const CharacterBase& player, float height);
  void DrawTitle();
  Vec2 Offset1() const { return offset1_; }
  Vec2 Offset2() const { return offset2_; }

 private:
  void DrawLayers(const Matrix& base, float y1, float y2);
  OnePolygon polygon_;
  Vec2 offset1_{0, 0}, offset2_{0, 0};
};

class BreakWave : public ObjectBase {
 public:
  BreakWave();
  int Init(RunState& run) override;
  void Action(RunState& run, const CharacterBase& player);
  void Draw(RunState& run) override;
  void UpdateMatrix() override;
  const char* ClassName() const override { return "BreakWave"; }

  // Phases: 0 and 1 sweep towards the near side, 2 return, 3 rest.
  Mesh* mesh;
  Vec3 scale{1, 1, 1};
  float midZ = 0;
  int phase = 0;
  float stepX = 5;
  float baseX = 0;
  int finished = 0;
};

// The wave decoration beside the great wave; it keeps the wave's place.
struct RiverWaves {
  float offset = 0;
  float x = 0;
};
