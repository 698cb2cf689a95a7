#include "world/enemies.h"

#include <algorithm>
#include <cmath>

#include "base/det_math.h"
#include "base/frame_time.h"
#include "base/json_writer.h"
#include "base/report_error.h"
#include "platform/graphics.h"
#include "render/constants.h"
#include "render/mesh.h"
#include "render/preload.h"
#include "render/sound_sets.h"
#include "render/view_clearance.h"
#include "world/camera.h"
#include "world/enemy_common.h"
#include "world/game_state.h"
#include "world/run_state.h"
#include "world/stage_meshes.h"

using enemy_common::DrawCharacterMesh;
using enemy_common::DrawCharacterShadow;
using enemy_common::HeadingTo;

namespace enemy_common {

void DrawCharacterMesh(const CharacterBase& c, Mesh& mesh) {
  GetDevice()->SetTransform(D3DTS_WORLD, c.world);
  mesh.Draw();
}

void DrawCharacterShadow(const CharacterBase& c) {
  DrawShadow(c.rotation.z, c.groundPoint, c.size);
}

}  // namespace enemy_common

// ---- EnemyBase ----------------------------------------------------------------

void EnemyBase::Act(RunState& run, CharacterList& characters) {
  if (enemyFlag & (kEnemyWaiting | kEnemyStunned)) {
    if (enemyFlag & kEnemyStunned)
      CountStun();
    else
      CountWait();
  } else {
    if (state == kStateNormal && knockBack == 0 && isMob == 1) Move(run);
    if (knockBack || run.game.gameMode == kModeBossBattle) {
      chasing = 1;
      if (run.game.gameMode == kModeBossArmed) run.game.gameMode = kModeBossEncounter;
    }
  }
  HitCharacters(run, characters);
  Update(run);
}

void EnemyBase::Search(RunState&, CharacterBase* player) {
  if (state == kStateNormal) {
    const float heading = rotation.y * kDegToRad;
    const float wx = position.x + dmath::Sin(heading) * 10,
                wz = position.z + dmath::Cos(heading) * 10;
    const float d2 = (player->position.x - wx) * (player->position.x - wx) +
                     (player->position.z - wz) * (player->position.z - wz);
    if (!chasing && d2 >= 10 * 10) {
      chasing = 0;
    } else {
      rotation.y = HeadingTo(position, player->position);
      chasing = 1;
    }
  }
  if (player->upsideDown != upsideDown) chasing = 0;
}

void EnemyBase::Move(RunState&) {
  const float heading = rotation.y * kDegToRad;
  if (!chasing) {
    if (state == kStateWashedAway) rotation.y += 1;
  } else {
    position.x += dmath::Sin(heading) * 0.03f;
    position.z += dmath::Cos(heading) * 0.03f;
    velocity = {dmath::Sin(heading) * 0.03f, 0, dmath::Cos(heading) * 0.03f};
  }
}

void EnemyBase::CountStun() {
  stunTimer -= GetDeltaTime();
  if (stunTimer <= 0) enemyFlag = kEnemyActive;
}

void EnemyBase::CountWait() {
  waitTimer -= GetDeltaTime();
  if (waitTimer <= 0) enemyFlag = kEnemyActive;
}

CharacterBase* EnemyBase::Bump(CharacterList& characters, BumpTargets targets, float reachY,
                               float push) {
  if (knockBack) return nullptr;
  for (CharacterBase* c : characters) {
    if (c == this || c->knockBack != 0) continue;
    if (targets == BumpTargets::kPlayer && c->kind != CharacterKind::kPlayer) continue;
    if (std::fabs(position.x - c->position.x) < size.x / 2 + c->size.x / 2 &&
        std::fabs(position.z - c->position.z) < size.z / 2 + c->size.z / 2 &&
        std::fabs(position.y - c->position.y) < reachY) {
      waitTimer = 0.5f;
      c->knockBack = 1;
      c->velocity = {velocity.x * push, 0, velocity.z * push};
      return c;
    }
  }
  return nullptr;
}

void EnemyBase::HitCharacters(RunState& run, CharacterList& characters) {
  if (!Bump(characters, BumpTargets::kAnyone, 0.5f, 15)) return;
  if (!(enemyFlag & kEnemyStunned)) enemyFlag = kEnemyWaiting;
  run.sound.PlayOnce(kSeBossHit);
}

// ---- Enemy ----------------------------------------------------------------------

Enemy::Enemy(RunState& run) : EnemyBase(run) {
  size = {1, 1, 1};
  isMob = 1;
}

void Enemy::Act(RunState& run, CharacterList& characters) {
  EnemyBase::Act(run, characters);
  Search(run, characters.front());
  UpdateMatrix();
}

void Enemy::Search(RunState& run, CharacterBase* player) {
  if (state != kStateNormal || player->upsideDown != upsideDown) {
    chasing = 0;
    return;
  }
  const float heading = rotation.y * kDegToRad;
  const float wx = position.x + dmath::Sin(heading) * 10,
              wz = position.z + dmath::Cos(heading) * 10;
  const float d2 = (player->position.x - wx) * (player->position.x - wx) +
                   (player->position.z - wz) * (player->position.z - wz);
  if (!chasing && d2 >= 5 * 5) {
    chasing = 0;
    return;
  }
  rotation.y = HeadingTo(position, player->position);
  if (!chasing) run.sound.PlayOnce(kSeJump);
  chasing = 1;
}

void Enemy::Move(RunState& run) {
  if (!chasing) {
    rotation.y += 5;
    if (rotation.y >= 360) rotation.y = 0;
    return;
  }
  const float heading = rotation.y * kDegToRad;
  velocity.x = dmath::Sin(heading) * 0.03f;
  velocity.z = dmath::Cos(heading) * 0.03f;
  if (hopTimer > 45) {
    velocity.x /= 2;
    velocity.z /= 2;
  }
  position.x += velocity.x;
  position.z += velocity.z;
  hopTimer += 1;
  if (hopTimer > 90) {
    hopTimer = 0;
    run.sound.PlayOnce(kSeJump);
  }
  const float hop = dmath::Cos(hopTimer * kDegToRad) * 0.2f;
  position.y += upsideDown ? -hop : hop;
  velocity.x *= 2;
  velocity.z *= 2;
}

void Enemy::Draw(RunState& run) {
  if (StageMeshes* meshes = run.stageMeshes) DrawCharacterMesh(*this, meshes->enemy);
  DrawCharacterShadow(*this);
}

// ---- Boss and Scorpion ----------------------------------------------------------

void Boss::Search(RunState&, CharacterBase* player) {
  if (state != kStateNormal || (enemyFlag != kEnemyAiming && enemyFlag != kEnemyActive) ||
      attacking)
    return;
  const bool sameSide = (upsideDown != 0) == (player->upsideDown != 0);
  if (sameSide) {
    if (chasing) {
      enemyFlag = kEnemyAiming;
      rotation.y = HeadingTo(position, player->position);
      aimTimer += GetDeltaTime();
      if (aimTimer < 4.0f) {
        if (aimTimer >= 3.0f) warning = 1;
      } else {
        attacking = 1;
        warning = 0;
        const float dx = player->position.x - position.x, dz = player->position.z - position.z;
        attackLeft = attackLength = std::sqrt(dz * dz + dx * dx);
        aimTimer = 0;
      }
    }
  } else {
    warning = 0;
  }
  if (upsideDown != lastSide) {
    lastSide = upsideDown;
    aimTimer = 0;
    warning = 0;
  }
}

void Boss::Draw(RunState&) {
  if (enemyFlag != kEnemyStunned) {
    for (int i = 0; i < 3; ++i) {
      stars[i].angle = 120.0f * i;
      stars[i].hidden = 0;
    }
    return;
  }
  const int roll = rotation.z != 0 ? 1 : 0;
  Vec3 points[3];
  for (int i = 0; i < 3; ++i) {
    const Matrix m = stars[i].EffectOrbitMatrix(roll, size.y, position);
    points[i] = {m[3][0], m[3][1], m[3][2]};
  }
  // Farthest from the eye first, so nearer stars draw over farther ones.
  const Vec3 eye = view_clearance::DrawnEye();
  int order[3] = {0, 1, 2};
  auto flat = [&](int i) {
    const float dx = points[i].x - eye.x, dz = points[i].z - eye.z;
    return dx * dx + dz * dz;
  };
  std::sort(order, order + 3, [&](int a, int b) { return flat(a) > flat(b); });
  for (int i : order) {
    // Each star is drawn at its own place on the orbit around the head.
    const Vec3 at{points[i].x, points[i].y - size.y - 0.5f, points[i].z};
    stars[i].DrawStunEffect(roll, size.y, at);
  }
  const float t = stunTimer;
  if (t <= 0) stars[0].hidden = 1;
  if (t < 2) stars[1].hidden = 1;
  if (t < 4) stars[2].hidden = 1;
}

Scorpion::Scorpion(RunState& run) : Boss(run) {
  size = {4, 3, 3};
  position = {0, 7, -10};
  rotation = {0, -90, 0};
}

void Scorpion::Act(RunState& run, CharacterList& characters) {
  if (state == kStateNormal) {
    Move(run);
    LeapStep();
    if (warning) RearUpStep();
  }
  EnemyBase::Act(run, characters);
  Search(run, characters.front());
  UpdateMatrix();
}

void Scorpion::Move(RunState& run) {
  if (!attacking || enemyFlag == kEnemyStunned) {
    speed = 0.1f;
  } else {
    if (enemyFlag != kEnemyActive) run.sound.PlayOnce(kSeJump);
    enemyFlag = kEnemyActive;
    if (attackLeft > attackLength / 2)
      speed += 0.01f;
    else
      leaping = 1;
    rotation.x = 0;
    const float heading = rotation.y * kDegToRad;
    const float sx = dmath::Sin(heading) * speed, sz = dmath::Cos(heading) * speed;
    position.x += sx;
    position.z += sz;
    attackLeft -= std::sqrt(sx * sx + sz * sz);
  }
  if (knockBack == 0) {
    const float heading = rotation.y * kDegToRad;
    velocity = {dmath::Sin(heading) * speed, 0, dmath::Cos(heading) * speed};
  }
}

void Scorpion::LeapStep() {
  if (!leaping) return;
  position.y += upsideDown ? -leapSpeed : leapSpeed;
  leapSpeed -= 0.01f;
  if (position.y >= -0.5f && position.y <= 0.5f) {
    attacking = 0;
    leaping = 0;
    leapSpeed = 0.2f;
    rearPhase = 0;
  }
}

void Scorpion::RearUpStep() {
  const float up = upsideDown ? -10.0f : 10.0f;
  if (rearPhase == 0) {
    rotation.x += up > 0 ? 1 : -1;
    if (rotation.x == up) rearPhase = 1;
  } else {
    rotation.x -= up > 0 ? 1 : -1;
    if (rotation.x == -up) rearPhase = 0;
  }
}

void Scorpion::Draw(RunState& run) {
  if (StageMeshes* meshes = run.stageMeshes) DrawCharacterMesh(*this, meshes->scorpion);
  Boss::Draw(run);
  if (state == kStateNormal) DrawCharacterShadow(*this);
}

// ---- Dumps ---------------------------------------------------------------------------

void EnemyBase::DumpState(JsonWriter& json) const {
  json.Key("enemyFlag").Int(enemyFlag);
  json.Key("chasing").Int(chasing);
  json.Key("attacking").Int(attacking);
  if (crushing) json.Key("crushing").Int(crushing);
  if (knockBack) json.Key("knockBack").Int(knockBack);
}

void Boss::DumpState(JsonWriter& json) const {
  EnemyBase::DumpState(json);
  json.Key("aimTimer").Number(aimTimer);
  json.Key("warning").Int(warning);
  json.Key("speed").Number(speed);
  json.Key("attackLeft").Number(attackLeft);
  json.Key("stunTimer").Number(stunTimer);
}

void Scorpion::DumpState(JsonWriter& json) const {
  Boss::DumpState(json);
  json.Key("leaping").Int(leaping);
}
