// The view the world is drawn with: the view and projection matrices set on
// the device from an eye, a look-at point and an up vector, and the six
// world-space culling planes of that view. The camera's behaviour (where the
// eye goes) is the game's own, in world/camera.h.
#pragma once

#include "base/math.h"
#include "render/view_clearance.h"

// The drawing's view of the frame: what the view last applied, the world's
// pass and the effects leave for the draws after them. There is one, as the
// device has one set of transforms; ResetView and view_clearance::Reset
// clear its parts.
struct DrawView {
  Plane planes[6];                 // the culling planes (zero: nothing is culled)
  view_clearance::PassState pass;  // the world's pass (render/view_clearance.h)
  Vec3 viewpoint;                  // the point the effects turn to face
};
DrawView& CurrentView();

// Builds and sets the view and projection (a 60-degree lens at 16:9, from 0.1
// to 500 units) and keeps the culling planes of the view.
void ApplyView(const Vec3& eye, const Vec3& lookAt, const Vec3& up);
// 1 when the point lies inside all six planes with a margin of 6 units.
int IsInView(const Vec3& point);
// Forgets the planes: every point is in view until the next ApplyView.
void ResetView();
// The planes and the world's pass (render/view_clearance.h) as at program
// start: where a benchmark, a picture of the runner or a test starts from.
void ResetDrawView();
