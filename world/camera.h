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

// The camera's own state, part of the run being played (world/run_state.h).
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

void InitCamera(const CameraSubject& subject);
// One frame of camera movement, then ApplyCamera. headingFlag 2 leads the
// look-at along the subject's heading; lookFlag 2 lets the high view re-aim.
// Returns 1 while the camera turns with a subject that changes side: the
// screen is then to darken (the game scene starts its fade). The frame's
// right stick, or W, Z, A and S, turn the camera.
int UpdateCamera(const CameraSubject& subject, int headingFlag, int lookFlag,
                 const InputFrame& input);
// Sets the view, the projection and the culling planes from the camera.
void ApplyCamera();
// The same, seen from another eye (the world's picture is drawn from an eye
// kept out of the models: render/view_clearance.h); the camera's own eye,
// which the game reads, stays as it is.
void ApplyCameraFrom(const Vec3& drawnEye);

int GetCameraMode();
void SetCameraMode(int mode);  // and restart the ease from the current eye
void SetCameraModeOnly(int mode);
void SetCameraFixedEye(const Vec3& position);
void SetCameraEaseFrom(const Vec3& position);
void SetCameraEaseTime(float seconds);
void SetCameraLookFrom(const Vec3& position);
void SetCameraAngles(float tilt, float yaw, float third);
void SetCameraLookHeight(float height);
void SetCameraTilt(float tilt);

Vec3 GetCameraEye();
Vec3 GetCameraLookAt();
Vec3 GetCameraUp();
float GetCameraYaw();
float GetCameraTilt();
int GetCameraSettleCount();

// Back to the state at program start (tests, new runs).
void ResetCamera();
