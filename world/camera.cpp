#include "world/camera.h"

#include <cmath>

#include "base/det_math.h"
#include "base/frame_time.h"
#include "platform/input.h"
#include "render/constants.h"
#include "render/view.h"

namespace {

constexpr float kEaseSeconds = 0.8f;

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

CameraState g_cam;

float Sin(float degrees) {
  return dmath::Sin(degrees * kDegToRad);
}
float Cos(float degrees) {
  return dmath::Cos(degrees * kDegToRad);
}

// The high placement, used by mode 1 and while mode 0 settles.
Vec3 HighTarget(const CameraSubject& s) {
  const Vec3& F = kCameraHighOffset;
  const float c = Cos(g_cam.tilt);
  Vec3 t;
  t.x = s.position.x - Sin(g_cam.yaw) * F.x;
  t.z = s.position.z - Cos(g_cam.yaw) * F.z;
  if (!s.upsideDown) {
    t.y = s.position.y + F.y * c;
    g_cam.up.y = c;
  } else {
    t.y = s.position.y - F.y * c;
    g_cam.up.y = -c;
  }
  return t;
}

// The follow placement behind the subject, turned and tilted by the stick,
// once the high view has settled (two frames); the high placement before.
Vec3 FollowTarget(const CameraSubject& s, const Vec2& stick) {
  if (g_cam.settleCount <= 1) {
    g_cam.settleCount += 1;
    return HighTarget(s);
  }
  if (std::fabs(stick.x) > 0.85f) {
    g_cam.yawSpeed = stick.x;
  } else if (g_cam.yawSpeed > 0) {
    g_cam.yawSpeed = std::max(0.0f, g_cam.yawSpeed - 0.1f);
  } else if (g_cam.yawSpeed < 0) {
    g_cam.yawSpeed = std::min(0.0f, g_cam.yawSpeed + 0.1f);
  }
  g_cam.yaw += s.upsideDown ? -g_cam.yawSpeed * 1.34f : g_cam.yawSpeed * 1.34f;
  if (g_cam.yaw < 0) g_cam.yaw = 360;
  if (g_cam.yaw > 360) g_cam.yaw = 0;
  if (std::fabs(stick.y) > 0) {
    g_cam.tilt += stick.y / 10;
    g_cam.tilt = std::max(-0.5f, std::min(4.5f, g_cam.tilt));
  }
  const Vec3& p = s.position;
  const Vec3& F = kCameraFollowOffset;
  const float k = Sin(g_cam.tilt);
  Vec3 target;
  const float x0 = p.x - Sin(g_cam.yaw) * F.x * 1.2f;
  target.x = x0 + (p.x - x0) * F.x * k * 1.2f;
  const float z0 = p.z - Cos(g_cam.yaw) * F.z * 1.2f;
  target.z = z0 + (p.z - z0) * F.z * k * 1.2f;
  if (!s.upsideDown) {
    target.y = p.y + F.y + g_cam.tilt;
    g_cam.up.y = Cos(g_cam.tilt);
  } else {
    target.y = p.y - F.y - g_cam.tilt;
    g_cam.up.y = -Cos(g_cam.tilt);
  }
  g_cam.settleCount = 3;
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
  g_cam.lookAt = q;
  g_cam.lookAt.y = EaseOut(q.y - g_cam.lookFrom.y, g_cam.lookFrom.y, kEaseSeconds, g_cam.easeTime);
  return target;
}

}  // namespace

void ResetCamera() {
  g_cam = CameraState{};
  ResetView();
}

void InitCamera(const CameraSubject& s) {
  g_cam.eye = g_cam.lookAt = g_cam.easeFrom = g_cam.lookFrom = g_cam.fixedEye = Vec3{};
  g_cam.up = kUp;
  g_cam.mode = kCameraFollow;
  g_cam.eye.x = s.position.x - Sin(s.rotation.y) * kCameraFollowOffset.x;
  g_cam.eye.z = s.position.z - Cos(s.rotation.y) * kCameraFollowOffset.z;
  g_cam.eye.y = s.position.y + kCameraFollowOffset.y;
  g_cam.easeFrom = g_cam.eye;
  g_cam.tilt = s.rotation.x;
  g_cam.yaw = s.rotation.y;
  g_cam.third = s.rotation.z;
}

int UpdateCamera(const CameraSubject& s, int headingFlag, int lookFlag, const InputFrame& input) {
  int sideChange = 0;
  g_cam.easeTime += GetDeltaTime();
  if (g_cam.easeTime > kEaseSeconds) g_cam.easeTime = kEaseSeconds;

  Vec2 stick = input.RightStick();
  if (input.KeyDown(DIK_W) && !input.KeyDown(DIK_Z)) stick.y = 1.5f;
  if (input.KeyDown(DIK_Z) && !input.KeyDown(DIK_W)) stick.y = -1.5f;
  if (input.KeyDown(DIK_A) && !input.KeyDown(DIK_S)) stick.x = -1.5f;
  if (input.KeyDown(DIK_S) && !input.KeyDown(DIK_A)) stick.x = 1.5f;

  const int mode = g_cam.mode;
  const Vec3& p = s.position;
  Vec3 target = g_cam.eye;
  switch (mode) {
    case kCameraFollow:
      target = FollowTarget(s, stick);
      break;
    case kCameraHigh:
      target = HighTarget(s);
      g_cam.settleCount = 0;
      break;
    case kCameraFlip:
      if (s.state == 0) sideChange = 1;  // the screen is to darken for the change of side
      target = FlipTarget(s);
      break;
    case kCameraRise:
      target.x = g_cam.fixedEye.x;
      target.z = g_cam.fixedEye.z;
      g_cam.fixedEye.y += s.upsideDown ? -0.125f : 0.125f;
      target.y = g_cam.fixedEye.y;
      break;
    default:
      break;
  }
  g_cam.eye.x =
      EaseOut(target.x - g_cam.easeFrom.x, g_cam.easeFrom.x, kEaseSeconds, g_cam.easeTime);
  g_cam.eye.y =
      EaseOut(target.y - g_cam.easeFrom.y, g_cam.easeFrom.y, kEaseSeconds, g_cam.easeTime);
  g_cam.eye.z =
      EaseOut(target.z - g_cam.easeFrom.z, g_cam.easeFrom.z, kEaseSeconds, g_cam.easeTime);

  if (g_cam.settleCount == 2 && (mode == kCameraFollow || mode == kCameraHigh)) g_cam.easeTime = 0;

  if ((mode != kCameraFlip && g_cam.settleCount > 2) || mode == kCameraRise ||
      (mode == kCameraHigh && lookFlag == 2)) {
    if (headingFlag == 2) {
      g_cam.lookAt.x = p.x + Sin(s.rotation.y) * kCameraLookAhead.x;
      g_cam.lookAt.z = p.z + Cos(s.rotation.y) * kCameraLookAhead.z;
    } else {
      g_cam.lookAt.x = p.x;
      g_cam.lookAt.z = p.z;
    }
    g_cam.lookAt.y = p.y + g_cam.lookHeight + Cos(s.rotation.z) * kCameraLookAhead.y +
                     (s.upsideDown ? -1.0f : 1.0f);
  }
  ApplyCamera();
  return sideChange;
}

void ApplyCamera() {
  ApplyCameraFrom(g_cam.eye);
}

void ApplyCameraFrom(const Vec3& drawnEye) {
  ApplyView(drawnEye, g_cam.lookAt, g_cam.up);
}

int GetCameraMode() {
  return g_cam.mode;
}

void SetCameraMode(int mode) {
  g_cam.mode = mode;
  g_cam.easeFrom = g_cam.eye;
  g_cam.easeTime = 0;
}

void SetCameraModeOnly(int mode) {
  g_cam.mode = mode;
}
void SetCameraFixedEye(const Vec3& position) {
  g_cam.fixedEye = position;
}
void SetCameraEaseFrom(const Vec3& position) {
  g_cam.easeFrom = position;
}
void SetCameraEaseTime(float seconds) {
  g_cam.easeTime = seconds;
}
void SetCameraLookFrom(const Vec3& position) {
  g_cam.lookFrom = position;
}
void SetCameraAngles(float tilt, float yaw, float third) {
  g_cam.tilt = tilt;
  g_cam.yaw = yaw;
  g_cam.third = third;
}
void SetCameraLookHeight(float height) {
  g_cam.lookHeight = height;
}
void SetCameraTilt(float tilt) {
  g_cam.tilt = tilt;
}
Vec3 GetCameraEye() {
  return g_cam.eye;
}
Vec3 GetCameraLookAt() {
  return g_cam.lookAt;
}
Vec3 GetCameraUp() {
  return g_cam.up;
}
float GetCameraYaw() {
  return g_cam.yaw;
}
float GetCameraTilt() {
  return g_cam.tilt;
}
int GetCameraSettleCount() {
  return g_cam.settleCount;
}
