// What keeps the player in sight in the world's picture, whatever the camera
// does. While the world is drawn, every solid model drawn through Mesh passes
// here:
// - its box is kept, and the next frame's picture is drawn from the camera's
//   eye pulled in along its ray towards the look-at until it stands outside
//   every such box (the camera never shows the inside of a boss);
// - a model standing between the eye and the player is set aside and drawn
//   see-through after everything else in the world, so nothing hides the
//   player (a wall, a gate leaf, a boss, chips thrown up by a quake).
// Drawing only: the camera's own eye, which the game reads, never changes.
#pragma once

#include <cstdint>
#include <vector>

#include "base/math.h"

class Mesh;
class Texture;

namespace view_clearance {

// The alpha a model is drawn with while it stands in the way.
constexpr int kSeeThroughAlpha = 96;

// Starts the world's pass with the camera's eye and look-at and the player's
// foot point, height and side (upsideDown). With lookAtToo (the camera
// follows a falling boss), what stands between the eye and the look-at is set
// aside as well, and the eye comes along its ray to within 18 units of the
// look-at. Returns the eye to draw from.
Vec3 BeginWorld(const Vec3& eye, const Vec3& lookAt, const Vec3& player, float height,
                int upsideDown, bool lookAtToo = false);
// Ends it: draws the models set aside, farthest first, see-through.
void EndWorld();
// True between the two.
bool InWorld();

// Called by Mesh for each of its draws in the world's pass (texture: the one
// that replaces the mesh's own, or null). True when the model was set aside
// and must not be drawn now.
bool TakeDraw(const Mesh& mesh, Texture* texture);

// The eye the world was last drawn from.
Vec3 DrawnEye();
// Forgets the models seen (a new stage, a new run).
void Reset();

// The eye pulled in from eye towards lookAt out of the given boxes (each a
// model's box in its own space and the inverse of its placement), keeping
// a margin; boxes that hold the look-at itself are left alone. For tests.
struct PlacedBox {
  Matrix inverse;
  Vec3 lo, hi;
};
Vec3 ClearEye(const Vec3& eye, const Vec3& lookAt, const PlacedBox* boxes, int count);

// A model set aside in the world's pass, with the device states it was to
// be drawn with.
struct SetAside {
  const Mesh* mesh;
  Texture* texture;
  Matrix world;
  uint32_t cull, colorOp, colorArg1, colorArg2, factor, lighting;
  uint32_t tintOp, tintArg1, tintArg2;  // stage 1 (a boss tinted red)
  float distance;
};

// What the world's pass keeps from BeginWorld to EndWorld, and from one
// frame to the next (part of the drawing's view, render/view.h).
struct PassState {
  bool inWorld = false;
  Vec3 eye;         // drawn from
  Vec3 targets[4];  // points of the player (and the look-at) to keep in sight
  int targetCount = 0;
  Vec3 targetCentre;
  std::vector<PlacedBox> seen, last;  // this frame's solid models, and the last frame's
  std::vector<SetAside> setAside;
};

}  // namespace view_clearance
