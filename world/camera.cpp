#include "world/camera.h"

#include <cmath>

#include "base/det_math.h"
#include "base/frame_time.h"
#include "platform/input.h"
#include "render/constants.h"
#include "render/view.h"
#include "world/run_state.h"

namespace {

constexpr float kEaseSeconds = 0.8f;

CameraState& Cam() {
  return Run().camera;
}

float Sin(float degrees) {
  return dmath::Sin(degrees * kDegToRad);
}
float Cos(float degrees) {
  return dmath::Cos(degrees * kDegToRad);
}

// The high placement, used by mode 1 and while mode 0 settles.
Vec3 HighTarget(const CameraSubject& s) {
  const Vec3& F = kCameraHighOffset;
  const float c = Cos(Cam().tilt);
  Vec3 t;
  t.x = s.position.x - Sin(Cam().yaw) * F.x;
  t.z = s.position.z - Cos(Cam().yaw) * F.z;
  if (!s.upsideDown) {
    t.y = s.position.y + F.y * c;
    Cam().up.y = c;
  } else {
    t.y = s.position.y - F.y * c;
    Cam().up.y = -c;
  }
  return t;
}

// The follow placement behind the subject, turned and tilted by the stick,
// once the high view has settled (two frames); the high placement before.
Vec3 FollowTarget(const CameraSubject& s, const Vec2& stick) {
  if (Cam().settleCount <= 1) {
    Cam().settleCount += 1;
    return HighTarget(s);
  }
  if (std::fabs(stick.x) > 0.85f) {
    Cam().yawSpeed = stick.x;
  } else if (Cam().yawSpeed > 0) {
    Cam().yawSpeed = std::max(0.0f, Cam().yawSpeed - 0.1f);
  } else if (Cam().yawSpeed < 0) {
    Cam().yawSpeed = std::min(0.0f, Cam().yawSpeed + 0.1f);
  }
  Cam().yaw += s.upsideDown ? -Cam().yawSpeed * 1.34f : Cam().yawSpeed * 1.34f;
  if (Cam().yaw < 0) Cam().yaw = 360;
  if (Cam().yaw > 360) Cam().yaw = 0;
  if (std::fabs(stick.y) > 0) {
    Cam().tilt += stick.y / 10;
    Cam().tilt = std::max(-0.5f, std::min(4.5f, Cam().tilt));
  }
  const Vec3& p = s.position;
  const Vec3& F = kCameraFollowOffset;
  const float k = Sin(Cam().tilt);
  Vec3 target;
  const float x0 = p.x - Sin(Cam().yaw) * F.x * 1.2f;
  target.x = x0 + (p.x - x0) * F.x * k * 1.2f;
  const float z0 = p.z - Cos(Cam().yaw) * F.z * 1.2f;
  target.z = z0 + (p.z - z0) * F.z * k * 1.2f;
  if (!s.upsideDown) {
    target.y = p.y + F.y + Cam().tilt;
    Cam().up.y = Cos(Cam().tilt);
  } else {
    target.y = p.y - F.y - Cam().tilt;
    Cam().up.y = -Cos(Cam().tilt);
  }
  Cam().settleCount = 3;
  return target;
}

// The diagonal placement beside the flip's centre, on the side the subject
// is turning to, looking at the centre as it rises.
Vec3 FlipTarget(const CameraSubject& s) {
  Vec3 q = s.pivot;
  q.y += s.heightOffset;
  const int flipped = s.state == 0 ? s.upsideDown : !s.upsideDown;
  const Vec3& D = kCameraDiagonalOffset;
  Vec3 target;
  if (!flipped) {
    target.y = q.y - D.y;
    target.z = q.z + D.z;
  } else {
    target.y = q.y + D.y;
    target.z = q.z - D.z;
  }
  target.x = q.x + D.x;
  Cam().lookAt = q;
  Cam().lookAt.y = EaseOut(q.y - Cam().lookFrom.y, Cam().lookFrom.y, kEaseSeconds, Cam().easeTime);
  return target;
}

}  // namespace

void ResetCamera() {
  Cam() = CameraState{};
  ResetView();
}

void InitCamera(const CameraSubject& s) {
  Cam().eye = Cam().lookAt = Cam().easeFrom = Cam().lookFrom = Cam().fixedEye = Vec3{};
  Cam().up = kUp;
  Cam().mode = kCameraFollow;
  Cam().eye.x = s.position.x - Sin(s.rotation.y) * kCameraFollowOffset.x;
  Cam().eye.z = s.position.z - Cos(s.rotation.y) * kCameraFollowOffset.z;
  Cam().eye.y = s.position.y + kCameraFollowOffset.y;
  Cam().easeFrom = Cam().eye;
  Cam().tilt = s.rotation.x;
  Cam().yaw = s.rotation.y;
  Cam().third = s.rotation.z;
}

int UpdateCamera(const CameraSubject& s, int headingFlag, int lookFlag, const InputFrame& input) {
  int sideChange = 0;
  Cam().easeTime += GetDeltaTime();
  if (Cam().easeTime > kEaseSeconds) Cam().easeTime = kEaseSeconds;

  Vec2 stick = input.RightStick();
  if (input.KeyDown(DIK_W) && !input.KeyDown(DIK_Z)) stick.y = 1.5f;
  if (input.KeyDown(DIK_Z) && !input.KeyDown(DIK_W)) stick.y = -1.5f;
  if (input.KeyDown(DIK_A) && !input.KeyDown(DIK_S)) stick.x = -1.5f;
  if (input.KeyDown(DIK_S) && !input.KeyDown(DIK_A)) stick.x = 1.5f;

  const int mode = Cam().mode;
  const Vec3& p = s.position;
  Vec3 target = Cam().eye;
  switch (mode) {
    case kCameraFollow:
      target = FollowTarget(s, stick);
      break;
    case kCameraHigh:
      target = HighTarget(s);
      Cam().settleCount = 0;
      break;
    case kCameraFlip:
      if (s.state == 0) sideChange = 1;  // the screen is to darken for the change of side
      target = FlipTarget(s);
      break;
    case kCameraRise:
      target.x = Cam().fixedEye.x;
      target.z = Cam().fixedEye.z;
      Cam().fixedEye.y += s.upsideDown ? -0.125f : 0.125f;
      target.y = Cam().fixedEye.y;
      break;
    default:
      break;
  }
  Cam().eye.x =
      EaseOut(target.x - Cam().easeFrom.x, Cam().easeFrom.x, kEaseSeconds, Cam().easeTime);
  Cam().eye.y =
      EaseOut(target.y - Cam().easeFrom.y, Cam().easeFrom.y, kEaseSeconds, Cam().easeTime);
  Cam().eye.z =
      EaseOut(target.z - Cam().easeFrom.z, Cam().easeFrom.z, kEaseSeconds, Cam().easeTime);

  if (Cam().settleCount == 2 && (mode == kCameraFollow || mode == kCameraHigh)) Cam().easeTime = 0;

  if ((mode != kCameraFlip && Cam().settleCount > 2) || mode == kCameraRise ||
      (mode == kCameraHigh && lookFlag == 2)) {
    if (headingFlag == 2) {
      Cam().lookAt.x = p.x + Sin(s.rotation.y) * kCameraLookAhead.x;
      Cam().lookAt.z = p.z + Cos(s.rotation.y) * kCameraLookAhead.z;
    } else {
      Cam().lookAt.x = p.x;
      Cam().lookAt.z = p.z;
    }
    Cam().lookAt.y = p.y + Cam().lookHeight + Cos(s.rotation.z) * kCameraLookAhead.y +
                     (s.upsideDown ? -1.0f : 1.0f);
  }
  ApplyCamera();
  return sideChange;
}

void ApplyCamera() {
  ApplyCameraFrom(Cam().eye);
}

void ApplyCameraFrom(const Vec3& drawnEye) {
  ApplyView(drawnEye, Cam().lookAt, Cam().up);
}

int GetCameraMode() {
  return Cam().mode;
}

void SetCameraMode(int mode) {
  Cam().mode = mode;
  Cam().easeFrom = Cam().eye;
  Cam().easeTime = 0;
}

void SetCameraModeOnly(int mode) {
  Cam().mode = mode;
}
void SetCameraFixedEye(const Vec3& position) {
  Cam().fixedEye = position;
}
void SetCameraEaseFrom(const Vec3& position) {
  Cam().easeFrom = position;
}
void SetCameraEaseTime(float seconds) {
  Cam().easeTime = seconds;
}
void SetCameraLookFrom(const Vec3& position) {
  Cam().lookFrom = position;
}
void SetCameraAngles(float tilt, float yaw, float third) {
  Cam().tilt = tilt;
  Cam().yaw = yaw;
  Cam().third = third;
}
void SetCameraLookHeight(float height) {
  Cam().lookHeight = height;
}
void SetCameraTilt(float tilt) {
  Cam().tilt = tilt;
}
Vec3 GetCameraEye() {
  return Cam().eye;
}
Vec3 GetCameraLookAt() {
  return Cam().lookAt;
}
Vec3 GetCameraUp() {
  return Cam().up;
}
float GetCameraYaw() {
  return Cam().yaw;
}
float GetCameraTilt() {
  return Cam().tilt;
}
int GetCameraSettleCount() {
  return Cam().settleCount;
}
