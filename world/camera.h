// The one camera: follows the player through a stage in four placement
// modes, eases its eye, turns with the right stick or keys, and turns upside
// down with the player on the underside. It sets the view it sees through
// render/view.h, which also keeps the culling planes (IsInView).
#pragma once

#include "base/math.h"
#include "render/view.h"

struct InputFrame;

// Camera modes.
enum CameraMode { kCameraFollow = 0, kCameraHigh = 1, kCameraFlip = 2, kCameraRise = 3 };

// What the camera reads of the character it follows.
struct CameraSubject {
  Vec3 position;
  Vec3 rotation;  // degrees
  int upsideDown = 0;
  int state = 0;
  Vec3 pivot;              // the flip's centre
  float heightOffset = 0;  // the flip's rise
};

// The camera's own state, part of the run being played (world/run_state.h);
// the functions below move it.
struct CameraState {
  Vec3 eye, lookAt, up{0, 1, 0}, easeFrom, lookFrom;
  float easeTime = 0;
  int settleCount = 0;
  float tilt = 0, yaw = 0, third = 0;
  float yawSpeed = 0;
  Vec3 fixedEye;
  float lookHeight = 0;
  int mode = kCameraFollow;
};

void InitCamera(CameraState& camera, const CameraSubject& subject);
// One frame of camera movement, then ApplyCamera. headingFlag 2 leads the
// look-at along the subject's heading; lookFlag 2 lets the high view re-aim.
// Returns 1 while the camera turns with a subject that changes side: the
// screen is then to darken (the game scene starts its fade). The frame's
// right stick, or W, Z, A and S, turn the camera.
int UpdateCamera(CameraState& camera, const CameraSubject& subject, int headingFlag, int lookFlag,
                 const InputFrame& input);
// Sets the view, the projection and the culling planes from the camera.
void ApplyCamera(const CameraState& camera);
// The same, seen from another eye (the world's picture is drawn from an eye
// kept out of the models: render/view_clearance.h); the camera's own eye,
// which the game reads, stays as it is.
void ApplyCameraFrom(const CameraState& camera, const Vec3& drawnEye);
// A new mode, and the ease restarted from the current eye.
void SetCameraMode(CameraState& camera, int mode);
void SetCameraAngles(CameraState& camera, float tilt, float yaw, float third);
// Back to the state at program start, and the view's too.
void ResetCamera(CameraState& camera);
