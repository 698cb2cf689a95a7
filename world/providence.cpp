// The final boss of the fourth stage: Providence, a floating head, and its
// two hands. While a hand remains the head only floats; once both are lost
// it comes down to the floor ("exposed") and from then on quakes when the
// player stays near or charges, tearing up the floor, when the player is far.
#include <algorithm>
#include <cmath>

#include "base/det_math.h"
#include "base/frame_time.h"
#include "base/json_writer.h"
#include "base/report_error.h"
#include "platform/graphics.h"
#include "render/constants.h"
#include "render/mesh.h"
#include "render/sound_sets.h"
#include "world/enemies.h"
#include "world/enemy_common.h"
#include "world/game_state.h"
#include "world/run_state.h"

using enemy_common::DrawCharacterShadow;
using enemy_common::FlatDistance;
using enemy_common::HeadingTo;

namespace {

constexpr Vec3 kDustSpread{5, 10, 5};

bool SameSide(const CharacterBase& a, const CharacterBase& b) {
  return (a.upsideDown != 0) == (b.upsideDown != 0);
}

// The mesh, tinted opaque red when asked: the lit texture colour of stage 0
// times a texture factor of pure red on stage 1, so the model keeps its
// shading (multiplying the texture by the factor on stage 0 alone drew a
// flat red shape). The stage is turned off again afterwards.
void DrawMesh(const CharacterBase& c, Mesh& mesh, bool red) {
  GraphicsDevice* d = GetDevice();
  d->SetTransform(D3DTS_WORLD, c.world);
  if (!red) {
    mesh.Draw();
    return;
  }
  d->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFFFF0000u);
  d->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
  d->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_CURRENT);
  d->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_TFACTOR);
  mesh.Draw();
  d->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
}

float WrapDegrees(float a) {
  while (a >= 360) a -= 360;
  while (a < 0) a += 360;
  return a;
}

// Moves a value one step towards a goal, landing on it exactly.
float StepTowards(float value, float goal, float step) {
  if (value < goal) return std::min(goal, value + step);
  return std::max(goal, value - step);
}

void WithdrawBossRush(RunState& run) {
  if (run.sound.GetRequest(kSeBossRush) == 2) run.sound.Request(kSeBossRush, 0);
}

}  // namespace

// ---- Providence ----------------------------------------------------------------------------

Providence::Providence(RunState& run)
    : EnemyBase(run),
      mesh(std::make_unique<Mesh>()),
      rightHand(new RightHand(run)),
      leftHand(new LeftHand(run)) {
  size = {4, 5, 4};
  crushRadius = 1.0f;
  enemyFlag = 0;
  velocity = {-0.1f, 0, 0};
}

// The hands belong to the character list once the stage loader has placed
// them there; the head only keeps references.
Providence::~Providence() = default;

int Providence::Init(RunState&) {
  if (!mesh->Load(kProvidenceMeshPath)) {
    ReportError("メッシュの読み込みに失敗-Providence-");
    return 0;
  }
  homePosition = position;
  UpdateMatrix();
  return 1;
}

void Providence::Float() {
  position.y += dmath::Sin(floatAngle * kDegToRad) * 0.01f;
  floatAngle += 1;
  if (floatAngle >= 360) floatAngle = 0;
  UpdateMatrix();
}

bool Providence::CheckHands(const CharacterList& characters) {
  auto keep = [&](EnemyBase* hand) {
    // A hand that left the list is gone (and may already be deleted), so
    // membership is checked before anything of the hand is read.
    if (!hand) return false;
    if (std::find(characters.begin(), characters.end(), hand) == characters.end()) return false;
    return hand->state != kStateWashedAway;
  };
  if (!keep(rightHand)) rightHand = nullptr;
  if (!keep(leftHand)) leftHand = nullptr;
  handsState = rightHand && leftHand ? 0 : leftHand ? 1 : rightHand ? 2 : 3;
  return rightHand || leftHand;
}

void Providence::Act(RunState& run, CharacterList& characters) {
  if (!chasing) {
    Float();
  } else {
    if (knockBack == 0 && (state == kStateNormal || state == kStateSpecial)) {
      if (CheckHands(characters)) {
        Float();
      } else {
        handsGone = 1;
        if (!exposed) action = kReturnHome;
        EnemyBase::Act(run, characters);
      }
      if (enemyFlag != kEnemyFlipFloor) {
        switch (action) {
          case kQuake:
            if (enemyFlag == kEnemyQuake) {
              QuakeStep(run);
            } else if (enemyFlag == kEnemyQuakeOver) {
              quakeRadius = 0;
              subPhase = 0;
              hopAngle = 0;
              action = kCharge;
              homePosition = position;
              gravityOn = 1;
            } else {
              action = kDecide;
            }
            break;
          case kCharge:
            ChargeStep(run);
            break;
          case kTiltBack:
            TiltBackStep();
            break;
          case kRest:
            CountWait();
            break;
          case kReturnHome:
            ReturnHomeStep();
            break;
          default:
            break;
        }
      }
    } else {
      const bool hands = CheckHands(characters);
      if (!hands) handsGone = 1;
      if (hands) {
        if (position.y < 1.0f) position.y = 6.0f;  // knocked down, it pops back up
        Float();
      } else if (!exposed) {
        ReturnHomeStep();
        knockBack = 0;
        velocity = {0.1f, 0, 0};
      } else {
        EnemyBase::Act(run, characters);
      }
      action = (enemyFlag & kEnemyFlipFloor) ? kDecide : kTiltBack;
      subPhase = 0;
      hopAngle = 0;
      rushSpeed = 0.5f;
    }
    WithdrawBossRush(run);
    for (StarBurst& b : bursts) b.Update(upsideDown);
  }
  Search(run, characters.front());
}

void Providence::Search(RunState& run, CharacterBase* player) {
  if (subPhase != 0) return;
  if (run.game.gameMode == kModeBossBattle) chasing = 1;
  crushing = 0;
  rotation.y = HeadingTo(position, player->position);
  rushLeft = rushLength = FlatDistance(position, player->position);
  const bool sameSide = SameSide(*this, *player);
  if (!handsGone || !(action == kDecide || !sameSide)) return;
  hopAngle = 0;
  if (sameSide) {
    run.sound.Request(kSeBossRush, 2);
    enemyFlag = kEnemyActive;
  }
  if (sameSide || (enemyFlag & kEnemyFlipFloor)) {
    if (rushLeft <= 10) {
      // Near: a quake once the player has stayed for half a second.
      nearTimer += GetDeltaTime();
      if (nearTimer >= 0.5f) {
        action = kQuake;
        enemyFlag = kEnemyQuake;
        subPhase = 0;
        nearTimer = 0;
      }
    } else {
      action = kCharge;
      homePosition = position;
      actionTimer = 0;
    }
  } else {
    enemyFlag = kEnemyFlipFloor;  // flip the floor under it to follow the player
    if (action == kReturnHome) {
      fallSpeed = 0;
      gravityOn = 1;
      action = kDecide;
      actionTimer = 0;
      exposed = 1;
    }
  }
}

void Providence::QuakeStep(RunState& run) {
  const float sign = upsideDown ? -1.0f : 1.0f;
  if (subPhase == 1) {
    quakeRadius += 0.3f;
    if (quakeRadius > 50) enemyFlag = kEnemyQuakeOver;
    if (hopAngle <= 180) {
      position.y += dmath::Cos(hopAngle * kDegToRad) * 0.5f * sign;
      hopAngle += 1;
    }
  } else if (hopAngle <= 180) {
    hopAngle += 1;
    const bool belowField = upsideDown ? position.y > 0 : position.y < 0;
    if (belowField) {
      gravityOn = 1;
    } else {
      gravityOn = 0;
      position.y += dmath::Cos(hopAngle * kDegToRad) * 0.1f * sign;
    }
    // The hop ends at 180 degrees even for a head below the field, which
    // would otherwise wait in its quake for ever.
    if (hopAngle > 180) {
      hopAngle = 0;
      subPhase = 1;
      WithdrawBossRush(run);
      run.sound.PlayOnce(kSeJump);
    }
  }
  UpdateMatrix();
}

void Providence::ChargeStep(RunState& run) {
  const float sign = upsideDown ? -1.0f : 1.0f;
  if (subPhase == 0) {
    // The wind-up: two seconds of backing off, rising and tilting.
    actionTimer += GetDeltaTime();
    if (actionTimer < 2.0f) {
      position.x = EaseOut(10 * sign, homePosition.x, 2, actionTimer);
      position.y = EaseOut(2 * sign, homePosition.y, 2, actionTimer);
      rotation.x += tiltSpeed * sign;
      tiltSpeed += 0.01f;
    } else {
      actionTimer = 2;
      subPhase = 1;
      WithdrawBossRush(run);
      run.sound.PlayOnce(kSeJump);
      fallSpeed = 0;
      tiltSpeed = 0;
    }
  } else {
    // The charge: faster for the first half, braking for the second.
    if (rushLeft > rushLength / 2 + 0.5f)
      rushSpeed += 0.04f;
    else
      rushSpeed -= 0.04f;
    if (rushSpeed <= 0) {
      rushSpeed = 0.5f;
      action = kTiltBack;
      subPhase = 0;
      hopAngle = 0;
      actionTimer = 0;
      velocity = {-0.1f, 0, 0};
    }
    const float h = rotation.y * kDegToRad;
    const Vec3 step{dmath::Sin(h) * rushSpeed, 0, dmath::Cos(h) * rushSpeed};
    position += step;
    velocity = step;
    rushLeft -= std::sqrt(step.x * step.x + step.z * step.z);
    crushing = 1;
    dustTimer += GetDeltaTime();
    if (dustTimer >= 0.1f) {
      dustTimer = 0;
      for (StarBurst& b : bursts) {
        if (b.Active()) continue;
        b.Start(run.drawRandom, upsideDown, {position.x, sign, position.z}, kDustSpread);
        b.Activate();
        break;
      }
    }
  }
  UpdateMatrix();
}

void Providence::TiltBackStep() {
  rotation.x = StepTowards(rotation.x, 0, 1);
  if (rotation.x == 0) action = kRest;
  UpdateMatrix();
}

void Providence::CountWait() {
  gravityOn = 1;
  waitTimer += GetDeltaTime();
  if (waitTimer >= 1.5f) {
    action = kDecide;
    waitTimer = 0;
  }
}

void Providence::ReturnHomeStep() {
  gravityOn = 0;
  actionTimer += GetDeltaTime();
  const float t = std::min(actionTimer, 3.0f);
  position.x = EaseOut(-10, homePosition.x, 3, t);
  position.y = EaseOut(-(homePosition.y - 1), homePosition.y, 3, t);
  if (actionTimer >= 3.0f) {
    fallSpeed = 0;
    gravityOn = 1;
    action = kDecide;
    actionTimer = 0;
    exposed = 1;
  }
  UpdateMatrix();
}

void Providence::HitCharacters(RunState& run, CharacterList& characters) {
  if (!Bump(characters, BumpTargets::kPlayer, 1.5f, 12)) return;
  WithdrawBossRush(run);
  run.sound.PlayOnce(kSeCharaHit);
  attacking = 0;
}

bool Providence::DrawsRed() const {
  return knockBack && exposed;
}

void Providence::Draw(RunState&) {
  DrawMesh(*this, *mesh, DrawsRed());
  if (state == kStateNormal || state == kStateSpecial) DrawCharacterShadow(*this);
  for (StarBurst& b : bursts) b.Draw();
}

void Providence::Release() {
  mesh->Release();
}

void Providence::DumpState(JsonWriter& json) const {
  EnemyBase::DumpState(json);
  json.Key("action").Int(action);
  json.Key("subPhase").Int(subPhase);
  json.Key("actionTimer").Number(actionTimer);
  json.Key("nearTimer").Number(nearTimer);
  json.Key("waitTimer").Number(waitTimer);
  json.Key("handsState").Int(handsState);
  json.Key("handsGone").Int(handsGone);
  json.Key("exposed").Int(exposed);
  json.Key("crushing").Int(crushing);
  json.Key("rushSpeed").Number(rushSpeed);
  json.Key("quakeRadius").Number(quakeRadius);
}

// ---- RightHand -----------------------------------------------------------------------------

RightHand::RightHand(RunState& run) : EnemyBase(run), mesh(std::make_unique<Mesh>()) {
  size = {3, 2, 3};
  enemyFlag = 0;
  velocity = {-0.1f, 0, 0};
}

RightHand::~RightHand() = default;

int RightHand::Init(RunState&) {
  if (!mesh->Load(kRightHandMeshPath)) {
    ReportError("メッシュの読み込みに失敗 -RightHand-");
    return 0;
  }
  position.y = 0.5f;
  UpdateMatrix();
  return 1;
}

void RightHand::Act(RunState& run, CharacterList& characters) {
  if (chasing) {
    if (state == kStateNormal || state == kStateSpecial) {
      switch (action) {
        case kSlam:
          if (enemyFlag == kEnemyQuake) {
            TornadoStep(run);
          } else if (enemyFlag == kEnemyQuakeOver) {
            quakeRadius = 0;
            subPhase = 0;
            action = kRecover;
          }
          EnemyBase::Act(run, characters);
          break;
        case kHover:
          if (!knockBack && ready) {
            CircleStep();
            EnemyBase::Act(run, characters);
          } else {
            // Knocked back: it keeps away from the player for five seconds.
            EnemyBase::Act(run, characters);
            hurtTimer += GetDeltaTime();
            ready = 0;
            if (hurtTimer >= 5.0f) {
              hurtTimer = 0;
              ready = 1;
            }
          }
          break;
        case kRecover:
          RecoverStep();
          break;
        default:
          break;
      }
    } else {
      EnemyBase::Act(run, characters);
      subPhase = 0;
      spinAngle = 0;
    }
  }
  Search(run, characters.front());
}

void RightHand::Search(RunState& run, CharacterBase* player) {
  if (subPhase != 0) return;
  if (run.game.gameMode == kModeBossBattle) chasing = 1;
  rotation.y = HeadingTo(position, player->position);
  // The hands decide only once the battle has made them chase: decided
  // before, a slam would be wound up (and heard) at the start of the stage.
  if (!chasing) return;
  const bool fromAfar =
      FlatDistance(position, player->position) > 10 || !SameSide(*this, *player) || upsideDown;
  if (fromAfar && action == kHover) {
    chargeTimer += GetDeltaTime();
    if (chargeTimer >= 3.0f) {
      action = kSlam;
      enemyFlag = kEnemyQuake;
      spinAngle = 0;
      chargeTimer = 0;
      run.sound.PlayOnce(kSeTornado);
    }
  } else if (action == kStart) {
    action = kHover;  // near the player on the upper side it only circles
  }
}

void RightHand::CircleStep() {
  position.x += dmath::Sin(spinAngle * kDegToRad) * 0.1f;
  position.z += dmath::Cos(spinAngle * kDegToRad) * 0.1f;
  position.y += dmath::Sin(spinAngle / 3 * kDegToRad) * 0.1f;
  spinAngle += 10;
  UpdateMatrix();
}

void RightHand::TornadoStep(RunState& run) {
  const float sign = upsideDown ? -1.0f : 1.0f;
  if (subPhase == 1) {
    // Landed: the ring spreads while the hand bobs.
    quakeRadius += 0.3f;
    if (quakeRadius > 50) enemyFlag = kEnemyQuakeOver;
    if (spinAngle <= 180) {
      position.y += dmath::Cos(spinAngle * kDegToRad) * 0.25f * sign;
      spinAngle += 1;
    }
  }
  if (raiseTimer < 3.0f) raiseTimer += GetDeltaTime();
  if (subPhase == 1 || raiseTimer < 3.0f) {
    // Three seconds of tipping over while spinning.
    gravityOn = 1;
    rotation.x = -sign * 90 * raiseTimer / 3;
    rotation.z = WrapDegrees(rotation.z + 50);
  } else {
    // The leap and the slam.
    if (raiseTimer > 3) run.sound.PlayOnce(kSeJump);
    raiseTimer = 3;
    if (spinAngle <= 180) {
      gravityOn = 0;
      position.y += dmath::Cos(spinAngle * kDegToRad) * 0.7f * sign;
      spinAngle += 3;
      if (spinAngle > 180) {
        spinAngle = 0;
        subPhase = 1;
        raiseTimer = 0;
      }
    }
    rotation.x += sign;
    rotation.z = WrapDegrees(rotation.z + 50);
  }
  UpdateMatrix();
}

void RightHand::RecoverStep() {
  gravityOn = 1;
  if (!upsideDown) {
    rotation.x = StepTowards(rotation.x, 0, 1);
    if (rotation.z != 0) {
      rotation.z -= 5;
      if (rotation.z < 0) rotation.z += 360;
      if (rotation.z < 5 || rotation.z > 355) rotation.z = 0;
    }
    if (rotation.x == 0 && rotation.z == 0) action = kStart;
  } else {
    rotation.x = StepTowards(rotation.x, 0, 1);
    if (rotation.z != 180) {
      rotation.z = WrapDegrees(rotation.z + 5);
      if (std::fabs(rotation.z - 180) < 5) rotation.z = 180;
    }
    if (rotation.x == 0 && rotation.z == 180) action = kHover;
  }
  UpdateMatrix();
}

void RightHand::CountWait() {
  raiseTimer -= GetDeltaTime();
  if (raiseTimer <= 0) enemyFlag = kEnemyQuake;
}

void RightHand::HitCharacters(RunState&, CharacterList& characters) {
  Bump(characters, BumpTargets::kPlayer, 0.5f, 15);
}

bool RightHand::DrawsRed() const {
  return knockBack || !ready;
}

void RightHand::Draw(RunState&) {
  DrawMesh(*this, *mesh, DrawsRed());
  if ((state == kStateNormal || state == kStateSpecial) && action != kSlam)
    DrawCharacterShadow(*this);
}

void RightHand::Release() {
  mesh->Release();
}

void RightHand::DumpState(JsonWriter& json) const {
  EnemyBase::DumpState(json);
  json.Key("action").Int(action);
  json.Key("subPhase").Int(subPhase);
  json.Key("ready").Int(ready);
  json.Key("hurtTimer").Number(hurtTimer);
  json.Key("chargeTimer").Number(chargeTimer);
  json.Key("raiseTimer").Number(raiseTimer);
  json.Key("quakeRadius").Number(quakeRadius);
}

// ---- LeftHand ------------------------------------------------------------------------------

LeftHand::LeftHand(RunState& run) : EnemyBase(run), mesh(std::make_unique<Mesh>()) {
  size = {3, 2, 3};
  crushRadius = 1.0f;
  enemyFlag = 0;
  velocity = {-0.1f, 0, 0};
}

LeftHand::~LeftHand() = default;

int LeftHand::Init(RunState&) {
  if (!mesh->Load(kLeftHandMeshPath)) {
    ReportError("メッシュの読み込みに失敗 -LeftHand-");
    return 0;
  }
  position.y = 0.5f;
  UpdateMatrix();
  return 1;
}

void LeftHand::Act(RunState& run, CharacterList& characters) {
  if (chasing) {
    if (knockBack == 0 && (state == kStateNormal || state == kStateSpecial)) {
      switch (action) {
        case kPunch:
          PunchStep(run);
          break;
        case kDrop:
          DropStep(run);
          break;
        case kHover:
          HoverStep();
          break;
        case kBackFlip:
          BackFlipStep(run);
          break;
        case kWalk:
          Move(run);
          break;
        default:
          break;
      }
    } else {
      // Knocked back: it will hover once it recovers.
      action = kHover;
      subPhase = 0;
      spinAngle = 0;
      rushSpeed = 0.3f;
      gravityOn = 1;
    }
    EnemyBase::Act(run, characters);
    burst.Update(upsideDown);
  }
  Search(run, characters.front());
}

void LeftHand::Search(RunState& run, CharacterBase* player) {
  if (subPhase != 0) return;
  if (run.game.gameMode == kModeBossBattle) chasing = 1;
  rotation.y = HeadingTo(position, player->position);
  const float d = FlatDistance(position, player->position);
  rushLeft = d;
  // Decided before the battle, a drop would wait at the hand's first place
  // and crush the floor it stands on the moment the battle starts.
  if (!chasing) {
    rushLength = rushLeft;
    return;
  }
  if (state == kStateSpecial) {
    // Bounced by a shock ring while hovering: it punches at once.
    if (action == kHover) {
      action = kPunch;
      windupStart = position;
      spinAngle = 0;
      hoverTimer = 0;
    }
    state = kStateNormal;
  } else if (!upsideDown && action == kDecide) {
    if (d >= 20) {
      action = run.gameRandom.Next() % 2 == 0 ? kWalk : kDrop;
      spinAngle = 0;
    } else {
      action = kPunch;
      windupStart = position;
      windupTimer = 0;
    }
  } else if (upsideDown && action == kDecide) {
    action = kWalk;
  }
  rushLength = rushLeft;
}

void LeftHand::PunchStep(RunState& run) {
  const float sign = upsideDown ? -1.0f : 1.0f;
  if (subPhase == 0) {
    windupTimer += GetDeltaTime();
    if (windupTimer < 0.5f) {
      // The fist draws back.
      position.z = EaseOut(-3.5f, windupStart.z, 0.5f, windupTimer);
      position.x = EaseOut(10, windupStart.x, 0.5f, windupTimer);
      position.y = EaseOut(4 * sign, windupStart.y, 0.5f, windupTimer);
    } else if (shakeTimer < 1.5f) {
      // Then it trembles, less and less, for a second and a half.
      const float a = (1 - shakeTimer / 1.5f) * 0.5f;
      position.y += dmath::Cos(spinAngle * kDegToRad) * a;
      spinAngle += 60;
      shakeTimer += GetDeltaTime();
    } else {
      run.sound.PlayOnce(kSeJump);
      subPhase = 1;
      fallSpeed = 0;
      shakeTimer = 0;
    }
  } else {
    // The rush, faster for the first half.
    if (rushLeft > rushLength / 2)
      rushSpeed += 0.03f;
    else
      rushSpeed -= 0.03f;
    if (rushSpeed <= 0) {
      rushSpeed = 0.3f;
      action = kBackFlip;
      subPhase = 0;
      spinAngle = 0;
    }
    const float h = rotation.y * kDegToRad;
    const Vec3 step{dmath::Sin(h) * rushSpeed, 0, dmath::Cos(h) * rushSpeed};
    position += step;
    velocity = step;
    rushLeft -= std::sqrt(step.x * step.x + step.z * step.z);
  }
  UpdateMatrix();
}

void LeftHand::DropStep(RunState& run) {
  const float sign = upsideDown ? -1.0f : 1.0f;
  if (subPhase == 0) {
    gravityOn = 0;
    spinAngle += 3;
    if (spinAngle < 180) {
      position.y += dmath::Cos(spinAngle * kDegToRad) * 0.8f * sign;
    } else {
      subPhase = 1;
      run.sound.PlayOnce(kSeDevide);
    }
  } else if (!crushing) {
    // One frame of crushing the floor it lands on.
    crushing = 1;
    if (!burst.Active()) {
      burst.Start(run.drawRandom, upsideDown, {position.x, sign, position.z}, kDustSpread);
      burst.Activate();
    }
  } else {
    crushing = 0;
    subPhase = 0;
    action = kHover;
  }
  UpdateMatrix();
}

void LeftHand::HoverStep() {
  gravityOn = 1;
  hoverTimer += GetDeltaTime();
  if (hoverTimer < 5.0f) {
    if (spinAngle / 2 <= 180) {
      position.y += dmath::Cos(spinAngle / 2 * kDegToRad) * 0.25f * (upsideDown ? -1.0f : 1.0f);
    } else {
      position.x += dmath::Sin(spinAngle * kDegToRad) * 0.05f;
      position.z += dmath::Cos(spinAngle * kDegToRad) * 0.05f;
    }
    spinAngle += 10;
  } else {
    action = kDecide;
    hoverTimer = 0;  // the next hover lasts its five seconds too
  }
  UpdateMatrix();
}

void LeftHand::BackFlipStep(RunState& run) {
  gravityOn = 0;
  rotation.x -= 10;
  position.y -= dmath::Sin(rotation.x * kDegToRad) * 0.5f * (upsideDown ? -1.0f : 1.0f);
  if (rotation.x <= -360) {
    rotation.x = 0;
    action = kDrop;
    run.sound.PlayOnce(kSeJump);
  }
  UpdateMatrix();
}

void LeftHand::Move(RunState&) {
  walkTimer += GetDeltaTime();
  if (walkTimer < 3.0f) {
    const float h = rotation.y * kDegToRad;
    velocity = {dmath::Sin(h) * 0.02f, 0, dmath::Cos(h) * 0.02f};
    position += velocity;
  } else {
    walkTimer = 0;
    action = kDrop;
  }
  UpdateMatrix();
}

void LeftHand::HitCharacters(RunState& run, CharacterList& characters) {
  if (Bump(characters, BumpTargets::kPlayer, 0.5f, 15)) run.sound.PlayOnce(kSeCharaHit);
}

bool LeftHand::DrawsRed() const {
  return knockBack || action == kHover;
}

void LeftHand::Draw(RunState&) {
  DrawMesh(*this, *mesh, DrawsRed());
  if (state == kStateNormal || state == kStateSpecial) DrawCharacterShadow(*this);
  burst.Draw();
}

void LeftHand::Release() {
  mesh->Release();
}

void LeftHand::DumpState(JsonWriter& json) const {
  EnemyBase::DumpState(json);
  json.Key("action").Int(action);
  json.Key("subPhase").Int(subPhase);
  json.Key("windupTimer").Number(windupTimer);
  json.Key("hoverTimer").Number(hoverTimer);
  json.Key("walkTimer").Number(walkTimer);
}
