// The third stage's boss, Aquarius the water jar, and the jumping fish
// (Pisces) it pours out, that the river throws up and that a stage can place.
#include <cmath>

#include "base/det_math.h"
#include "base/frame_time.h"
#include "base/json_writer.h"
#include "render/constants.h"
#include "render/mesh.h"
#include "render/sound_sets.h"
#include "world/enemies.h"
#include "world/enemy_common.h"
#include "world/run_state.h"
#include "world/stage_meshes.h"

using enemy_common::DrawCharacterMesh;
using enemy_common::DrawCharacterShadow;

// ---- Aquarius ---------------------------------------------------------------------------

Aquarius::Aquarius(RunState& run) : Boss(run), mesh(std::make_unique<Mesh>()) {
  size = {4, 3, 3};
  position = {0, 7, -10};
  rotation = {0, -90, 0};
  velocity = {0.1f, 0, 0};
}

Aquarius::~Aquarius() = default;

int Aquarius::Init(RunState&) {
  if (!mesh->Load(kAquariusMeshPath)) return 0;
  UpdateMatrix();
  return 1;
}

void Aquarius::Act(RunState& run, CharacterList& characters) {
  EnemyBase::Act(run, characters);
  if (state == kStateNormal) {
    const float sign = upsideDown ? -1.0f : 1.0f;
    switch (enemyFlag) {
      case kEnemyActive:  // pouring fish
        if (fishTimer >= 0.1f) {
          run.sound.Request(kSeFish, 2);
          auto* fish = new Pisces(run);
          if (!upsideDown) {
            fish->position = {position.x, position.y + size.y, position.z};
          } else {
            fish->position = {position.x, position.y - size.y, position.z};
            fish->rotation = {0, fish->rotation.y, rotation.z};
          }
          fish->upsideDown = upsideDown;
          fish->UpdateMatrix();
          characters.push_back(fish);
          fishTimer = 0;
        }
        break;
      case kEnemyQuake:
        if (run.sound.GetRequest(kSeFish) == 2) run.sound.Request(kSeFish, 0);
        if (quakePhase == 1) {
          // The ring spreads while the jar bobs for its first 90 frames.
          quakeRadius += 0.3f;
          if (hopAngle <= 180) {
            position.y += dmath::Cos(hopAngle * kDegToRad) * 0.1f * sign;
            hopAngle += 2;
          }
          if (quakeRadius > 50) enemyFlag = kEnemyQuakeOver;
          UpdateMatrix();
        } else if (hopAngle <= 180) {
          // The hop: 36 frames up and down again.
          gravityOn = 0;
          position.y += dmath::Cos(hopAngle * kDegToRad) * 0.7f * sign;
          hopAngle += 5;
          if (hopAngle >= 180) {
            hopAngle = 0;
            quakePhase = 1;
          }
          UpdateMatrix();
        }
        break;
      case kEnemyQuakeOver:
        fallSpeed = 0;
        gravityOn = 1;
        quakeRadius = 0;
        quakePhase = 0;
        hopAngle = 0;
        jumpTimer = 0;
        enemyFlag = kEnemyActive;
        break;
      default:
        break;
    }
  }
  Search(run, characters.front());
}

void Aquarius::Search(RunState& run, CharacterBase* player) {
  if (state != kStateNormal || chasing == 0) {
    enemyFlag = kEnemyActive;
    return;
  }
  if ((player->upsideDown != 0) == (upsideDown != 0)) {
    if (enemyFlag == kEnemyFlipFloor) enemyFlag = kEnemyActive;
    if (jumpTimer >= 5.0f) {
      enemyFlag = kEnemyQuake;
      run.sound.PlayOnce(kSeJump);
      jumpTimer = 0;
    }
    fishTimer += GetDeltaTime();
    jumpTimer += GetDeltaTime();
  } else {
    sideTimer += GetDeltaTime();
    if (sideTimer >= 3.0f && quakePhase == 0) {
      enemyFlag = kEnemyFlipFloor;  // the collision pass flips the floor under it
      sideTimer = 0;
    }
  }
}

void Aquarius::HitCharacters(RunState&, CharacterList& characters) {
  Bump(characters, BumpTargets::kPlayer, 0.5f, 15);  // no sound, no change of mode
}

void Aquarius::Draw(RunState&) {
  DrawCharacterMesh(*this, *mesh);
  if (state == kStateNormal) DrawCharacterShadow(*this);
}

void Aquarius::Release() {
  mesh->Release();
}

void Aquarius::DumpState(JsonWriter& json) const {
  EnemyBase::DumpState(json);
  json.Key("quakeRadius").Number(quakeRadius);
  json.Key("quakePhase").Int(quakePhase);
  json.Key("fishTimer").Number(fishTimer);
  json.Key("jumpTimer").Number(jumpTimer);
  json.Key("sideTimer").Number(sideTimer);
}

// ---- Pisces -----------------------------------------------------------------------------

Pisces::Pisces(RunState& run) : Boss(run) {
  size = {4, 4, 4};
  isMob = 1;
  enemyFlag = kEnemyActive;
  gravityOn = 1;
  meshIndex = run.gameRandom.Next() % 2;
  float heading = static_cast<float>(run.gameRandom.Next() % 181);
  if (run.gameRandom.Next() % 2) heading = -heading;
  rotation = {0, heading, 0};
  velocity = {dmath::Sin(heading * kDegToRad) * 0.3f, 0, dmath::Cos(heading * kDegToRad) * 0.3f};
  forwardSpeed = run.gameRandom.Next() % 2 ? 0.2f : 0.1f;
}

void Pisces::Act(RunState& run, CharacterList& characters) {
  Move(run);
  KnockBack();
  ObjectAction::Update(run);
  HitCharacters(run, characters);
}

void Pisces::Move(RunState&) {
  if (leapDone) return;
  leapAngle += angleStep;
  const float rise = std::fabs(dmath::Sin(leapAngle * kDegToRad) * leapHeight);
  position.y += upsideDown ? -rise : rise;
  if (std::fabs(leapAngle) >= 180) {
    leapAngle = 0;
    leapDone = 1;
    state = kStateGone;
  }
  const float heading = rotation.y * kDegToRad,
              along = dmath::Sin(leapAngle * kDegToRad) * forwardSpeed;
  position.x += dmath::Sin(heading) * along;
  position.z += dmath::Cos(heading) * along;
  UpdateMatrix();
}

void Pisces::HitCharacters(RunState&, CharacterList& characters) {
  Bump(characters, BumpTargets::kPlayer, 1.0f, 15);
}

void Pisces::Draw(RunState& run) {
  if (StageMeshes* meshes = run.stageMeshes) DrawCharacterMesh(*this, meshes->fish[meshIndex]);
  if (state == kStateNormal) DrawCharacterShadow(*this);
}

void Pisces::DumpState(JsonWriter& json) const {
  json.Key("leapAngle").Number(leapAngle);
  json.Key("leapDone").Int(leapDone);
}
