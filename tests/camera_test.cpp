// The camera: the settle from the high view into the follow view, turning
// with the stick and its dead zone, yaw wrapping, and the culling margin.
#include "world/camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "platform/input.h"
#include "tests/test_support.h"
#include "world/game_state.h"
#include "world/run_state.h"

namespace {

class CameraTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetCamera(run.camera);
    subject_.position = {10, 0.5f, -4};
    subject_.rotation = {0, 90, 0};
    InitCamera(run.camera, subject_);
    NoInput();
  }
  void NoInput() { input_ = InputFrame{}; }
  void Stick(int16_t x, int16_t y) {
    input_.pad.connected = 1;
    input_.pad.state.Gamepad.sThumbRX = x;
    input_.pad.state.Gamepad.sThumbRY = y;
  }
  void Frame() {
    frames_.Step();
    UpdateCamera(run.camera, subject_, 1, 1, input_);
  }

  ScopedHeadlessBackend backend_;
  FrameStepper frames_;
  RunState run;
  CameraSubject subject_;
  InputFrame input_;
};

}  // namespace

TEST_F(CameraTest, SettlesThroughTwoHighFramesThenEasesIntoTheFollowView) {
  SetCameraMode(run.camera, kCameraHigh);
  Frame();
  EXPECT_EQ(run.camera.settleCount, 0);
  SetCameraMode(run.camera, kCameraFollow);
  Frame();
  EXPECT_EQ(run.camera.settleCount, 1);
  Frame();
  EXPECT_EQ(run.camera.settleCount, 2);  // the ease restarts here
  Frame();
  EXPECT_EQ(run.camera.settleCount, 3);
  for (int i = 0; i < 48; ++i) Frame();  // 0.8 s
  // The follow placement: behind the heading by 5 x 1.2, raised by 3.
  const Vec3 eye = run.camera.eye;
  EXPECT_NEAR(eye.y, 0.5f + 3.0f, 1e-3f);
  EXPECT_NEAR(eye.x, 10 - 6.0f, 1e-3f);
  EXPECT_NEAR(eye.z, -4.0f, 1e-3f);
}

TEST_F(CameraTest, TheStickTurnsOnlyBeyondItsDeadZoneAndYawSpeedDecays) {
  SetCameraMode(run.camera, kCameraFollow);
  for (int i = 0; i < 4; ++i) Frame();
  const float yaw0 = run.camera.yaw;
  Stick(17000, 0);  // 0.85: not enough
  Frame();
  EXPECT_FLOAT_EQ(run.camera.yaw, yaw0);
  Stick(20000, 0);  // 1.0: turns 1.34 degrees a frame
  Frame();
  EXPECT_NEAR(run.camera.yaw, yaw0 + 1.34f, 1e-4f);
  NoInput();
  Frame();  // speed 1.0 - 0.1 = 0.9
  EXPECT_NEAR(run.camera.yaw, yaw0 + 1.34f + 0.9f * 1.34f, 1e-4f);
}

TEST_F(CameraTest, YawJumpsRatherThanWrapping) {
  SetCameraMode(run.camera, kCameraFollow);
  for (int i = 0; i < 4; ++i) Frame();
  SetCameraAngles(run.camera, 0, 0.5f, 0);
  Stick(-20000, 0);
  Frame();
  EXPECT_FLOAT_EQ(run.camera.yaw, 360.0f);  // below 0 becomes 360
  SetCameraAngles(run.camera, 0, 359.5f, 0);
  Stick(20000, 0);
  Frame();
  EXPECT_FLOAT_EQ(run.camera.yaw, 0.0f);  // above 360 becomes 0
}

TEST_F(CameraTest, PointsJustOutsideASidePlaneAreStillInView) {
  // The rise mode puts the eye exactly where it is told: at (0, 0.125, -10)
  // looking at the origin.
  ResetCamera(run.camera);
  CameraSubject s;
  InitCamera(run.camera, s);
  run.camera.mode = kCameraRise;
  run.camera.fixedEye = {0, 0, -10};
  run.camera.easeTime = 0.8f;
  run.camera.easeFrom = {0, 0, -10};
  s.position = {0, -1.8f, 0};
  UpdateCamera(run.camera, s, 1, 1, InputFrame{});  // eye (0, 0.125, -10) looking at (0, 0, 0)
  // The right plane's normal in view space is (-cos 60, 0, sin 60): a point at
  // view depth 10 sits on it at x = 10 tan 60 = 17.32. 5 units outside along
  // the normal is in view, 7 is not.
  const float edge = 10 * std::tan(60 * kDegToRad);
  const Vec3 n{std::cos(60 * kDegToRad), 0, -std::sin(60 * kDegToRad)};  // outward
  const Vec3 onPlane{edge, 0.125f, 0};
  EXPECT_EQ(IsInView(onPlane + n * 5), 1);
  EXPECT_EQ(IsInView(onPlane + n * 7), 0);
  EXPECT_EQ(IsInView({0, 0, 0}), 1);
  EXPECT_EQ(IsInView({0, 0, -30}), 0);  // well behind the eye
}
