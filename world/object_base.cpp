#include "world/object_base.h"

#include <cmath>

#include "base/det_math.h"
#include "base/frame_time.h"
#include "platform/graphics.h"
#include "render/mesh.h"
#include "world/camera.h"
#include "world/game_state.h"
#include "world/run_state.h"
#include "world/world_values.h"

namespace {

constexpr float kRiverLevel = 15.0f;
constexpr float kFlipSeconds = 0.6f;

}  // namespace

void ObjectBase::UpdateMatrix() {
  world = MatrixRotationYawPitchRoll(rotation.y * kDegToRad, rotation.x * kDegToRad,
                                     rotation.z * kDegToRad);
  world[3][0] = position.x;
  world[3][1] = position.y;
  world[3][2] = position.z;
}

ObjectAction::ObjectAction(RunState& run)
    : spinSpeed(static_cast<float>(run.gameRandom.Next() % 10)) {}

void ObjectAction::Update(RunState& run) {
  switch (state) {
    case kStateWashedAway:
      position.z -= 0.35f;
      UpdateMatrix();
      if (position.z < run.world.frontEdgeZ - 50) state = kStateGone;
      break;
    case kStateBlownAway:
      StepBlownAway(run);
      break;
    case kStateFlipping:
      StepFlip();
      break;
    default:
      if (gravityOn) StepGravity(run);
      break;
  }
}

void ObjectAction::StepBlownAway(RunState& run) {
  if (run.world.boardReading == 1) return;  // the world holds still while a board is read
  if (run.game.playerUnderside == 1)
    position.y -= dmath::Cos(arcDegrees * kDegToRad) * 0.1f;
  else
    position.y += dmath::Cos(arcDegrees * kDegToRad) * arcSpeed;
  if (arcDegrees >= 180) state = kStateGone;
  switch (run.game.gameMode) {
    case kModeBlownAway:
      arcDegrees += 2;
      arcSpeed = 0.4f;
      position.z -= 0.45f;
      break;
    case kModeBossBattle:
      arcDegrees += 3;
      arcSpeed = 0.6f;
      position.z -= 0.55f;
      break;
    default:
      arcDegrees += 0.5f;
      position.z -= 0.15f;
      break;
  }
  rotation.x += spinSpeed;
  rotation.y += spinSpeed;
  rotation.z += spinSpeed;
  UpdateMatrix();
}

void ObjectAction::StepFlip() {
  switch (flipPhase) {
    case 0:  // rise
      timer += GetDeltaTime();
      if (timer >= kFlipSeconds) {
        timer = kFlipSeconds;
        flipPhase = 1;
      }
      position.y = EaseOut(flipRise, startPosition.y, kFlipSeconds, timer);
      break;
    case 1: {  // turn about the flip axis, 6 degrees a frame
      rotation.z += 6;
      rotation.y = 90;
      bool settle = false;
      if (!upsideDown) {
        if (rotation.z >= 180) {
          rotation.z = 180;
          timer = 0;
          settle = true;
        }
        const float r = rotation.z * kDegToRad;
        position.y =
            flipRise + flipCentre.y - dmath::Sin(r) * flipOffset.z + dmath::Cos(r) * flipOffset.y;
        position.z = dmath::Cos(r) * flipOffset.z + flipCentre.z + dmath::Sin(r) * flipOffset.y;
      } else {
        if (rotation.z >= 360) {
          rotation.z = 0;
          timer = 0;
          settle = true;
        }
        const float r = rotation.z * kDegToRad;
        position.y =
            flipRise + flipCentre.y + dmath::Sin(r) * flipOffset.z - dmath::Cos(r) * flipOffset.y;
        position.z = flipCentre.z - dmath::Cos(r) * flipOffset.z - dmath::Sin(r) * flipOffset.y;
      }
      if (settle) {
        flipPhase = 2;
        startPosition = position;
      }
      break;
    }
    default:  // settle
      timer += GetDeltaTime();
      bool done = false;
      if (timer >= kFlipSeconds) {
        timer = kFlipSeconds;
        flipPhase = 0;
        state = kStateNormal;
        done = true;
      }
      position.y = EaseOut(-flipRise, startPosition.y, kFlipSeconds, timer);
      if (done) {
        timer = 0;
        upsideDown = !upsideDown;
      }
      break;
  }
  UpdateMatrix();
}

void ObjectAction::StepGravity(RunState& run) {
  fallSpeed += gravity;
  const int down = state == kStateFalling ? run.game.playerUnderside : upsideDown;
  const float half = size.y / 2;
  if (!down) {
    position.y -= fallSpeed;
    if (state == kStateFalling) {
      if (position.y < -kRiverLevel - half) state = kStateWashedAway;
    } else if (position.y < -kRiverLevel - half + 1) {
      state = kStateFalling;
    }
  } else {
    position.y += fallSpeed;
    if (state == kStateFalling) {
      if (position.y > kRiverLevel + half) state = kStateWashedAway;
    } else if (position.y > kRiverLevel + half - 1) {
      state = kStateFalling;
    }
  }
  UpdateMatrix();
}

void CharacterBase::Update(RunState& run) {
  if (state == kStateNormal || state == kStateSpecial) KnockBack();
  ObjectAction::Update(run);
}

void CharacterBase::KnockBack() {
  if (!knockBack) return;
  if (knockTimer <= 0.5f) {
    position.x += (0.5f - knockTimer) * velocity.x / 5;
    position.z += (0.5f - knockTimer) * velocity.z / 5;
    knockTimer += GetDeltaTime();
    UpdateMatrix();
  } else {
    knockBack = 0;
    knockTimer = 0;
    velocity = {0.1f, 0, 0};
  }
}

void CharacterBase::PushOut(int flags, const Vec3& contact) {
  if (flags & kFaceStand) {
    position.y = upsideDown ? contact.y - 0.5f : contact.y + 0.5f;
    fallSpeed = 0;
  }
  if (flags & kFacePushPosX)
    position.x = contact.x + 0.5f + size.x / 2;
  else if (flags & kFacePushNegX)
    position.x = contact.x - 0.5f - size.x / 2;
  if (flags & kFacePushNegZ)
    position.z = contact.z - 0.5f - size.z / 2;
  else if (flags & kFacePushPosZ)
    position.z = contact.z + 0.5f + size.z / 2;
  ObjectBase::UpdateMatrix();
}

void GimmickBase::Action(RunState& run, CharacterBase*) {
  ObjectAction::Update(run);
}

int GimmickBase::HitCheck(RunState&, int, const Vec3&, const Vec3&, const Vec3&, Vec3*) {
  return 0;
}

void BeginTranslucent(int alpha) {
  GraphicsDevice* d = GetDevice();
  d->SetRenderState(D3DRS_TEXTUREFACTOR, static_cast<uint32_t>(alpha & 0xFF) << 24);
  d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  d->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TFACTOR);
  d->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
}

void EndTranslucent() {
  GraphicsDevice* d = GetDevice();
  d->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
  d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_ADD);
  d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  d->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
}

void ObjectAction::FadeWhileDrifting(RunState& run) {
  if (DriftingAway()) alpha = DriftAlpha(run, position.z);
}

int DriftAlpha(RunState& run, float z) {
  const float a = 255.0f - std::fabs(z / (run.world.frontEdgeZ - 50.0f)) * 255.0f;
  return a < 0 ? 0 : static_cast<int>(a);
}

bool FindGround(bool standing, bool over, const Vec3& p, int upsideDown, const Vec3& contact,
                Vec3* point) {
  if (standing) {
    *point = {p.x, contact.y + (upsideDown ? -0.5f : 0.5f), p.z};
    return true;
  }
  if (!over) return false;
  const bool beyond = upsideDown ? p.y < contact.y : p.y > contact.y;
  if (!beyond) return false;
  const bool currentNearer = std::fabs(point->y - p.y) < std::fabs(contact.y - p.y) &&
                             (upsideDown ? point->y > p.y : point->y < p.y);
  if (currentNearer) return false;
  *point = {p.x, contact.y, p.z};
  return true;
}
