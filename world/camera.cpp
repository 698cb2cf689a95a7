#include "world/camera.h"

#include <cmath>

#include "base/det_math.h"
#include "base/frame_time.h"
#include "platform/input.h"
#include "render/constants.h"
#include "render/view.h"

namespace {

constexpr float kEaseSeconds = 0.8f;

float Sin(float degrees) {
  return dmath::Sin(degrees * kDegToRad);
}
float Cos(float degrees) {
  return dmath::Cos(degrees * kDegToRad);
}

// The high placement, used by mode 1 and while mode 0 settles.
Vec3 HighTarget(CameraState& cam, const CameraSubject& s) {
  const Vec3& F = kCameraHighOffset;
  const float c = Cos(cam.tilt);
  Vec3 t;
  t.x = s.position.x - Sin(cam.yaw) * F.x;
  t.z = s.position.z - Cos(cam.yaw) * F.z;
  if (!s.upsideDown) {
    t.y = s.position.y + F.y * c;
    cam.up.y = c;
  } else {
    t.y = s.position.y - F.y * c;
    cam.up.y = -c;
  }
  return t;
}

// The follow placement behind the subject, turned and tilted by the stick,
// once the high view has settled (two frames); the high placement before.
Vec3 FollowTarget(CameraState& cam, const CameraSubject& s, const Vec2& stick) {
  if (cam.settleCount <= 1) {
    cam.settleCount += 1;
    return HighTarget(cam, s);
  }
  if (std::fabs(stick.x) > 0.85f) {
    cam.yawSpeed = stick.x;
  } else if (cam.yawSpeed > 0) {
    cam.yawSpeed = std::max(0.0f, cam.yawSpeed - 0.1f);
  } else if (cam.yawSpeed < 0) {
    cam.yawSpeed = std::min(0.0f, cam.yawSpeed + 0.1f);
  }
  cam.yaw += s.upsideDown ? -cam.yawSpeed * 1.34f : cam.yawSpeed * 1.34f;
  if (cam.yaw < 0) cam.yaw = 360;
  if (cam.yaw > 360) cam.yaw = 0;
  if (std::fabs(stick.y) > 0) {
    cam.tilt += stick.y / 10;
    cam.tilt = std::max(-0.5f, std::min(4.5f, cam.tilt));
  }
  const Vec3& p = s.position;
  const Vec3& F = kCameraFollowOffset;
  const float k = Sin(cam.tilt);
  Vec3 target;
  const float x0 = p.x - Sin(cam.yaw) * F.x * 1.2f;
  target.x = x0 + (p.x - x0) * F.x * k * 1.2f;
  const float z0 = p.z - Cos(cam.yaw) * F.z * 1.2f;
  target.z = z0 + (p.z - z0) * F.z * k * 1.2f;
  if (!s.upsideDown) {
    target.y = p.y + F.y + cam.tilt;
    cam.up.y = Cos(cam.tilt);
  } else {
    target.y = p.y - F.y - cam.tilt;
    cam.up.y = -Cos(cam.tilt);
  }
  cam.settleCount = 3;
  return target;
}

// The diagonal placement beside the flip's centre, on the side the subject
// is turning to, looking at the centre as it rises.
Vec3 FlipTarget(CameraState& cam, const CameraSubject& s) {
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
  cam.lookAt = q;
  cam.lookAt.y = EaseOut(q.y - cam.lookFrom.y, cam.lookFrom.y, kEaseSeconds, cam.easeTime);
  return target;
}

}  // namespace

void ResetCamera(CameraState& cam) {
  cam = CameraState{};
  ResetView();
}

void InitCamera(CameraState& cam, const CameraSubject& s) {
  cam.eye = cam.lookAt = cam.easeFrom = cam.lookFrom = cam.fixedEye = Vec3{};
  cam.up = kUp;
  cam.mode = kCameraFollow;
  cam.eye.x = s.position.x - Sin(s.rotation.y) * kCameraFollowOffset.x;
  cam.eye.z = s.position.z - Cos(s.rotation.y) * kCameraFollowOffset.z;
  cam.eye.y = s.position.y + kCameraFollowOffset.y;
  cam.easeFrom = cam.eye;
  cam.tilt = s.rotation.x;
  cam.yaw = s.rotation.y;
  cam.third = s.rotation.z;
}

int UpdateCamera(CameraState& cam, const CameraSubject& s, int headingFlag, int lookFlag,
                 const InputFrame& input) {
  int sideChange = 0;
  cam.easeTime += GetDeltaTime();
  if (cam.easeTime > kEaseSeconds) cam.easeTime = kEaseSeconds;

  Vec2 stick = input.RightStick();
  if (input.KeyDown(DIK_W) && !input.KeyDown(DIK_Z)) stick.y = 1.5f;
  if (input.KeyDown(DIK_Z) && !input.KeyDown(DIK_W)) stick.y = -1.5f;
  if (input.KeyDown(DIK_A) && !input.KeyDown(DIK_S)) stick.x = -1.5f;
  if (input.KeyDown(DIK_S) && !input.KeyDown(DIK_A)) stick.x = 1.5f;

  const int mode = cam.mode;
  const Vec3& p = s.position;
  Vec3 target = cam.eye;
  switch (mode) {
    case kCameraFollow:
      target = FollowTarget(cam, s, stick);
      break;
    case kCameraHigh:
      target = HighTarget(cam, s);
      cam.settleCount = 0;
      break;
    case kCameraFlip:
      if (s.state == 0) sideChange = 1;  // the screen is to darken for the change of side
      target = FlipTarget(cam, s);
      break;
    case kCameraRise:
      target.x = cam.fixedEye.x;
      target.z = cam.fixedEye.z;
      cam.fixedEye.y += s.upsideDown ? -0.125f : 0.125f;
      target.y = cam.fixedEye.y;
      break;
    default:
      break;
  }
  cam.eye.x = EaseOut(target.x - cam.easeFrom.x, cam.easeFrom.x, kEaseSeconds, cam.easeTime);
  cam.eye.y = EaseOut(target.y - cam.easeFrom.y, cam.easeFrom.y, kEaseSeconds, cam.easeTime);
  cam.eye.z = EaseOut(target.z - cam.easeFrom.z, cam.easeFrom.z, kEaseSeconds, cam.easeTime);

  if (cam.settleCount == 2 && (mode == kCameraFollow || mode == kCameraHigh)) cam.easeTime = 0;

  if ((mode != kCameraFlip && cam.settleCount > 2) || mode == kCameraRise ||
      (mode == kCameraHigh && lookFlag == 2)) {
    if (headingFlag == 2) {
      cam.lookAt.x = p.x + Sin(s.rotation.y) * kCameraLookAhead.x;
      cam.lookAt.z = p.z + Cos(s.rotation.y) * kCameraLookAhead.z;
    } else {
      cam.lookAt.x = p.x;
      cam.lookAt.z = p.z;
    }
    cam.lookAt.y = p.y + cam.lookHeight + Cos(s.rotation.z) * kCameraLookAhead.y +
                   (s.upsideDown ? -1.0f : 1.0f);
  }
  ApplyCamera(cam);
  return sideChange;
}

void ApplyCamera(const CameraState& cam) {
  ApplyCameraFrom(cam, cam.eye);
}

void ApplyCameraFrom(const CameraState& cam, const Vec3& drawnEye) {
  ApplyView(drawnEye, cam.lookAt, cam.up);
}

void SetCameraMode(CameraState& cam, int mode) {
  cam.mode = mode;
  cam.easeFrom = cam.eye;
  cam.easeTime = 0;
}

void SetCameraAngles(CameraState& cam, float tilt, float yaw, float third) {
  cam.tilt = tilt;
  cam.yaw = yaw;
  cam.third = third;
}
