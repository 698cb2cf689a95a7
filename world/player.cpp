#include "world/player.h"

#include <cmath>

#include "base/det_math.h"
#include "base/frame_time.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "render/preload.h"
#include "render/primitives.h"
#include "render/sound_sets.h"
#include "world/camera.h"
#include "world/game_state.h"
#include "world/run_state.h"
#include "world/world_values.h"

namespace {

constexpr float kArrowDeflection = 1.5f;
constexpr float kStickThreshold = 0.8f;
constexpr float kReversalSlowdown = 2.5f;
constexpr float kSlowdownRecovery = 0.15f;
constexpr float kInputAngleRefresh = 0.125f;
constexpr float kCursorReach = 6;
constexpr float kRecoilSpeed = 0.37f;
constexpr float kRecoilDecay = 0.009f;
constexpr int kChargeFull = 120;
constexpr int kChargeLevel2 = 60;

float WrapDegrees(float a) {
  a = std::fmod(a, 360.0f);
  return a < 0 ? a + 360.0f : a;
}

bool LiftButton(const InputFrame& in) {
  return in.KeyDown(DIK_SPACE) || in.PadDown(XINPUT_GAMEPAD_RIGHT_SHOULDER);
}
bool FlipButton(const InputFrame& in) {
  return in.KeyDown(DIK_M) || in.PadDown(XINPUT_GAMEPAD_LEFT_SHOULDER);
}
bool ThrowButton(const InputFrame& in) {
  return in.KeyDown(DIK_SPACE) || in.pad.state.Gamepad.bRightTrigger / 200 != 0;
}

// One step of a recoil component towards 0.
float Decay(float v) {
  if (std::fabs(v) <= kRecoilDecay) return 0;
  return v > 0 ? v - kRecoilDecay : v + kRecoilDecay;
}

}  // namespace

Player::Player(RunState& run) : CharacterBase(run), mesh(GetObjectMesh(kMeshPlayer)) {
  rotation = {0, 90, 0};
  size = {1, 2, 1};
  kind = CharacterKind::kPlayer;
  ResetLife(run.game);
}

int Player::Init(RunState&) {
  UpdateMatrix();
  return 1;
}

void Player::Update(RunState& run, const InputFrame& input) {
  run.game.hudMark = upsideDown;
  if (action == kActionSelecting && standing == 2) cursor = cursor + velocity;

  if (input.KeyPressed(DIK_Q) || input.PadPressed(XINPUT_GAMEPAD_RIGHT_THUMB)) {
    // Bring the camera back behind the player.
    SetCameraAngles(run.camera, rotation.x, rotation.y, rotation.z);
    run.camera.easeTime = 0.05f;
    run.camera.easeFrom = run.camera.eye;
  }

  if (state == kStateNormal) {
    if (knockBack == 0) {
      ActionInput(run, input);
      ThrowInput(run, input);
      if (recoilOn)
        Recoil();
      else
        Walk(run, input);
    }
  } else if (run.camera.mode != kCameraRise) {
    if (state == kStateGone || state == kStateWashedAway || state == kStateBlownAway ||
        state == kStateFalling) {
      // Watch the fall from where the camera is now.
      run.camera.fixedEye = run.camera.eye;
      SetCameraMode(run.camera, kCameraRise);
    } else {
      run.camera.tilt = 0;
      if (run.camera.mode != kCameraFlip) {
        run.camera.lookFrom = run.camera.lookAt;
        SetCameraMode(run.camera, kCameraFlip);
      }
    }
  }
  CharacterBase::Update(run);
}

void Player::Walk(RunState& run, const InputFrame& input) {
  if (action == kActionLift) {
    inputTimer = 0;
    slowdown = 1;
    return;
  }
  const Vec2 stick = input.LeftStick();
  float sx = stick.x, sy = stick.y;
  const bool up = input.KeyDown(DIK_UP), down = input.KeyDown(DIK_DOWN);
  const bool left = input.KeyDown(DIK_LEFT), right = input.KeyDown(DIK_RIGHT);
  if (up && !down) sy = kArrowDeflection;
  if (down && !up) sy = -kArrowDeflection;
  if (left && !right) sx = -kArrowDeflection;
  if (right && !left) sx = kArrowDeflection;

  if (slowdown > 1) {
    slowdown -= kSlowdownRecovery;
    if (slowdown <= 1) slowdown = 1;
  }
  if (std::fabs(sx) >= kStickThreshold || std::fabs(sy) >= kStickThreshold) {
    const float a = dmath::Atan2(sy, sx) / kDegToRad + 180;
    if (inputAngle == 0) inputAngle = a;
    const float turn = std::fabs(a - inputAngle);
    if (turn > 150 && turn < 270) {
      slowdown = kReversalSlowdown;
      inputAngle = a;
    }
    inputTimer += GetDeltaTime();
    if (inputTimer >= kInputAngleRefresh) {
      inputTimer = 0;
      inputAngle = a;
    }

    const float c = run.camera.yaw * kDegToRad;
    float dx, dz;
    if (!upsideDown) {
      dx = (sx * dmath::Cos(c)) / 2 + (sy * dmath::Sin(c)) / 2;
      dz = (sy * dmath::Cos(c)) / 2 - (sx * dmath::Sin(c)) / 2;
    } else {
      dx = (sy * dmath::Sin(c)) / 2 - (sx * dmath::Cos(c)) / 2;
      dz = (sx * dmath::Sin(c)) / 2 + (sy * dmath::Cos(c)) / 2;
    }

    if (action == kActionSelecting) {
      // The walking input steers the cursor, within reach of the player.
      if (cursorSteering) {
        if (std::fabs(cursor.x + dx / 5 - position.x) <= kCursorReach) cursor.x += dx / 5;
        if (std::fabs(cursor.z + dz / 5 - position.z) <= kCursorReach) cursor.z += dz / 5;
      }
    } else {
      dx /= slowdown;
      dz /= slowdown;
      position = position + Vec3{dx / 10, 0, dz / 10};
      velocity = {dx, 0, dz};
      const float heading = upsideDown ? dmath::Atan2(sx, sy) : dmath::Atan2(-sx, sy);
      rotation.y = run.camera.yaw - heading / kDegToRad;
      rotation = {WrapDegrees(rotation.x), WrapDegrees(rotation.y), WrapDegrees(rotation.z)};
      UpdateMatrix();
    }
    run.camera.tilt = 0;
  }
}

void Player::EnterSelection(RunState& run, int newRequest, bool moveCamera) {
  if ((action & kActionIdle) && request == 0) {
    action = kActionSelecting;
    request = newRequest;
    if (moveCamera) {
      run.camera.tilt = 0;
      SetCameraMode(run.camera, kCameraHigh);
      const float yaw = rotation.y * kDegToRad;
      cursor = position + Vec3{dmath::Sin(yaw), 0, dmath::Cos(yaw)} * 1.25f;
    }
  }
}

void Player::ActionInput(RunState& run, const InputFrame& input) {
  if (run.world.boardReading) return;
  const bool alive = run.game.life >= 1;
  const bool lift = alive && LiftButton(input);
  const bool flip = alive && FlipButton(input);
  if (lift && action != kActionCarrying && (action & kActionFlipStarted) == 0) {
    EnterSelection(run, 1, state == kStateNormal || throwNow == 0);
    cameraDirection = run.camera.lookAt - run.camera.eye;
  } else if (flip && (action & kActionFlipStarted) == 0) {
    EnterSelection(run, 2, state == kStateNormal && run.camera.mode != kCameraHigh);
    cameraDirection = run.camera.lookAt - run.camera.eye;
  } else if ((!lift && !flip) || run.game.life != 0) {
    if (action != kActionCarrying && action != kActionLift && action != kActionFlipRunning &&
        action != kActionFlipStarted && action != kActionFlip)
      action = kActionIdle;
    if (request == 2) {
      action = kActionFlip;
    } else if (request == 1) {
      action = kActionLift;
      run.sound.Request(kSeCharge, 0);
    }
    request = 0;
    if (run.camera.mode != kCameraFollow && state == kStateNormal)
      SetCameraMode(run.camera, kCameraFollow);
  } else if (run.camera.mode == kCameraHigh) {
    SetCameraMode(run.camera, kCameraFollow);
  }
}

void Player::ThrowInput(RunState& run, const InputFrame& input) {
  if ((action & kActionCarrying) == 0) return;
  if (ThrowButton(input)) {
    if (chargeFrames < kChargeFull && run.sound.GetRequest(kSeCharge) != 2)
      run.sound.Request(kSeCharge, 2);
    if (throwHeld == 0) {
      throwHeld = 1;
      return;
    }
    chargeFrames += 1;
    if (chargeFrames >= kChargeFull) {
      chargeFrames = kChargeFull;
      run.sound.Request(kSeCharge, 0);
    }
    if (chargeFrames < kChargeLevel2) {
      chargeLevel = 1.5f;
    } else if (chargeLevel == 1.5f) {
      if (Damage(run.game))
        chargeLevel = 2;
      else
        chargeFrames = kChargeLevel2;
    }
    if (chargeFrames == kChargeFull && chargeLevel == 2) {
      if (Damage(run.game))
        chargeLevel = 3;
      else
        chargeFrames = kChargeFull - 1;
    }
  } else if (throwHeld == 1) {
    throwNow = 1;
    run.sound.Request(kSeCharge, 2);
    throwHeld = 0;
    chargeFrames = 0;
    const float yaw = rotation.y * kDegToRad;
    const Vec3 back{-dmath::Sin(yaw), 0, -dmath::Cos(yaw)};
    if (chargeLevel == 3) {
      recoilOn = 1;
      recoilVelocity = back * kRecoilSpeed;
    } else if (chargeLevel == 2) {
      recoilOn = 1;
      recoilVelocity = back * (kRecoilSpeed * 2 / 3);
    }
  }
}

void Player::Recoil() {
  if (recoilVelocity.x != 0 || recoilVelocity.z != 0) {
    position.x += recoilVelocity.x;
    recoilVelocity.x = Decay(recoilVelocity.x);
    position.z += recoilVelocity.z;
    recoilVelocity.z = Decay(recoilVelocity.z);
    UpdateMatrix();
  }
  velocity.x = recoilVelocity.x;
  velocity.z = recoilVelocity.z;
  if (recoilVelocity.x == 0 && recoilVelocity.z == 0) recoilOn = 0;
}

void Player::Draw(RunState& run) {
  GetDevice()->SetTransform(D3DTS_WORLD, world);
  mesh->Draw();
  if (state == kStateNormal && run.game.fadeAlpha == 0) DrawShadow(rotation.z, groundPoint, size);
}
