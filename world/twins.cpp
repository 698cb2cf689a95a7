// The twins of the second stage: Castor, who throws its three stars at the
// end of each aiming period, its stars, and Pollux, who charges and brakes.
// The twins know of each other only through the bosses-left count: while it
// is 2 both live, Castor throws slowly, tilts while warning and its stars
// bounce the player back; once Pollux is gone Castor throws faster and its
// stars glide low and push the player along their flight.
#include <cmath>

#include "base/det_math.h"
#include "base/frame_time.h"
#include "base/json_writer.h"
#include "platform/graphics.h"
#include "render/constants.h"
#include "render/mesh.h"
#include "render/preload.h"
#include "render/primitives.h"
#include "render/sound_sets.h"
#include "world/chips.h"
#include "world/enemies.h"
#include "world/enemy_common.h"
#include "world/field_chip.h"
#include "world/game_state.h"
#include "world/run_state.h"
#include "world/stage_meshes.h"

using enemy_common::DrawCharacterMesh;
using enemy_common::DrawCharacterShadow;
using enemy_common::FlatDistance;
using enemy_common::HeadingTo;

namespace {

constexpr Vec3 kBurstSpread{5, 10, 5};
// Stars are thrown 1.3 s apart while both twins live, 1.0 s apart once
// Castor is alone.
constexpr float kGapWithTwin = 1.3f;
constexpr float kGapAlone = 1.0f;

}  // namespace

// ---- CastorsWeapon -----------------------------------------------------------------

CastorsWeapon::CastorsWeapon(RunState& run) : GimmickBase(run) {
  size = {1, 1, 1};
  rotation = {0, 0, 90};
}

void CastorsWeapon::StartBursts(RunState& run, const Vec3& at) {
  for (StarBurst& b : bursts) {
    b.Start(run.drawRandom, upsideDown, at, kBurstSpread);
    b.Activate();
  }
}

void CastorsWeapon::Land() {
  riseSpeed = 0;
  landed = 1;
  size = {1, 1, 1};
  rotation = {0, 0, 90};
}

void CastorsWeapon::Update(RunState& run, const Vec3& owner, const Vec3& ownerVelocity,
                           const Vec3& ownerRotation, CharacterBase* player) {
  if (!thrown || landed) {
    // Held in front of Castor.
    rotation.y = ownerRotation.y + 80;
    const float lift = upsideDown ? 6.5f : 5.0f;
    if (!ownerKnocked) {
      position.x = owner.x + ownerVelocity.x * 30;
      position.z = owner.z + ownerVelocity.z * 30;
      position.y = (owner.y - dmath::Sin(ownerRotation.x * kDegToRad) / 2) * lift;
    } else {
      position.x = owner.x - ownerVelocity.x;
      position.z = owner.z - ownerVelocity.z;
      position.y = owner.y * lift;
    }
    if (ownerFlipping) {
      position.x = owner.x - ownerVelocity.x;
      position.z = owner.z - ownerVelocity.z;
      position.y = upsideDown ? -2.5f : 2.5f;
    }
    const bool playersSide = upsideDown == player->upsideDown;
    if (!playersSide) {
      size = {1, 1, 1};
      rotation = {0, 0, 90};
    }
    rotation.x += 5;
    // Growth: 1 -> 2 -> 4 over three seconds while it faces the player.
    if (playersSide && !thrown) {
      growTimer += GetDeltaTime();
      if (growTimer >= 1.5f) {
        if (size.x < 3 || size.y < 3 || size.z < 3) size *= 2;
        growTimer = 0;
      }
    }
  } else {
    Fly(owner, ownerRotation.y);
    growTimer = 0;
  }
  for (StarBurst& b : bursts) b.Update(upsideDown);
  HitPlayer(run, player);
  if (position.y >= -0.5f && position.y <= 0.5f) Land();
}

void CastorsWeapon::Fly(const Vec3& owner, float ownerHeading) {
  const float h = ownerHeading * kDegToRad;
  const float ax = owner.x + dmath::Sin(h), az = owner.z + dmath::Cos(h);
  const float down = upsideDown ? 0.5f : -0.5f;
  auto dropOntoTarget = [&] {
    rotation.x = rotation.z = 0;
    position.x = target.x;
    position.z = target.z;
    position.y += down;
  };
  if ((target.x - ax) * (target.x - ax) + (target.z - az) * (target.z - az) < 2.0f) {
    dropOntoTarget();  // the target is at Castor's feet: no arc
  } else if (!solo) {
    velocity = {(target.x - owner.x) * 0.02f, 0, (target.z - owner.z) * 0.02f};
    const float own = rotation.y * kDegToRad;
    const float bx = position.x + dmath::Sin(own), bz = position.z + dmath::Cos(own);
    const float near2 = (target.x - bx) * (target.x - bx) + (target.z - bz) * (target.z - bz);
    // A star that has flown past its target (a far throw whose steps jump
    // over the stopping point) comes down there too, so the volley can end.
    const bool passed =
        (target.x - position.x) * velocity.x + (target.z - position.z) * velocity.z <= 0;
    if (near2 >= 1.5f && !passed) {
      position.x += velocity.x;
      position.z += velocity.z;
      riseSpeed += 0.075f;
      if (!upsideDown)
        position.y = std::min(position.y + riseSpeed, maxHeight);
      else
        position.y = std::max(position.y - riseSpeed, -maxHeight);
    } else {
      dropOntoTarget();
    }
  } else {
    // Alone: a low gliding spin along the throw.
    velocity = {(target.x - owner.x) * 0.02f, 0, (target.z - owner.z) * 0.02f};
    position.x += velocity.x;
    position.z += velocity.z;
    position.y += upsideDown ? 0.045f : -0.045f;
    rotation.x += 5;
  }
}

void CastorsWeapon::HitPlayer(RunState& run, CharacterBase* player) {
  if (player->knockBack != 0 || player->upsideDown != upsideDown || player->state != kStateNormal)
    return;
  const Vec3& p = player->position;
  if (!(std::fabs(p.x - position.x) < player->size.x / 2 + 1.5f &&
        std::fabs(p.z - position.z) < player->size.z / 2 + 1.5f &&
        std::fabs(p.y - position.y) < 1.5f))
    return;
  if (run.game.bossesLeft == 2) {
    // Both twins live: the player is thrown back the way it came.
    player->velocity = {-player->velocity.x * 3.5f, 0, -player->velocity.z * 3.5f};
  } else {
    // Castor alone: pushed along the star's flight.
    player->velocity = {velocity.x * 4.55f, 0, velocity.z * 4.55f};
  }
  for (StarBurst& b : bursts) {
    b.Start(run.drawRandom, player->upsideDown, p, kBurstSpread);
    b.Activate();
  }
  player->knockBack = 1;
  Land();
  run.sound.PlayOnce(kSeHit);
}

void CastorsWeapon::HitGimmicks(RunState& run, GimmickNode* tail) {
  // Only a star in flight meets the gimmicks: a held one (which starts at
  // the origin before Castor first holds it) would otherwise "land" on the
  // floor and turn the next volley into a dud.
  if (!thrown || landed) return;
  for (GimmickNode* n = tail; n; n = n->prev) {
    GimmickBase* g = n->object.get();
    if (n->state == kStateGone) continue;  // already leaving the field
    if (std::fabs(g->position.x - position.x) >= g->size.x ||
        std::fabs(g->position.z - position.z) >= g->size.z)
      continue;
    Vec3 contact = position;
    const int flags = g->HitCheck(run, upsideDown, position, size, velocity, &contact);
    if (flags == 0 || flags == kFaceOver) continue;
    if (n->kind == kKindInvisible) run.sound.PlayOnce(kSeBreak);
    Land();
    StartBursts(run, position);
    run.sound.Request(kSeCharge, 0);
    run.sound.Request(kSeThrow, 0);
    run.sound.PlayOnce(kSeHit);
    return;
  }
}

void CastorsWeapon::Draw(RunState& run) {
  if (landed) return;
  // A trail of gathering stars, one new effect a frame (kept by the field).
  if (StarGatherList* effects = run.starGathers) {
    StarGather* trail = effects->Add();
    trail->SetMode(1);
    trail->Start(run.drawRandom, upsideDown, position);
    trail->Draw();
  }

  GraphicsDevice* d = GetDevice();
  const Matrix w = MatrixRotationYawPitchRoll(rotation.y * kDegToRad, rotation.x * kDegToRad,
                                              rotation.z * kDegToRad) *
                   MatrixScaling(size.x, size.y, size.z) *
                   MatrixTranslation(position.x, position.y, position.z);
  d->SetTransform(D3DTS_WORLD, w);
  GetObjectMesh(kMeshStar)->Draw();
  if (!upsideDown && position.y >= 0.5f)
    DrawShadow(0, {position.x, 0.5f, position.z}, size);
  else if (upsideDown && position.y <= -0.5f)
    DrawShadow(180, {position.x, -0.5f, position.z}, size);
  for (StarBurst& b : bursts) b.Draw();
}

// ---- Castor ------------------------------------------------------------------------------

Castor::Castor(RunState& run)
    : Boss(run), weapons{CastorsWeapon(run), CastorsWeapon(run), CastorsWeapon(run)} {
  size = {2, 3, 2};
  position = {0, 7, -10};
  rotation = {0, -90, 0};
  enemyFlag = kEnemyActive;
  twin = 1;
}

void Castor::Act(RunState& run, CharacterList& characters) {
  CharacterBase* player = characters.front();
  if (state == kStateNormal) {
    TurnAndThrow(run, player->position);
    WeaponControl(run, player->position);
  }
  for (CastorsWeapon& w : weapons) {
    if (!throwing) w.upsideDown = upsideDown ? 1 : 0;
    w.ownerFlipping = state == kStateFlipping;
  }
  if (chasing)
    for (CastorsWeapon& w : weapons) w.Update(run, position, velocity, rotation, player);
  Search(run, player);
  EnemyBase::Act(run, characters);
}

void Castor::TurnAndThrow(RunState& run, const Vec3& target) {
  if (attacking) {
    enemyFlag = kEnemyActive;
    chasing = 1;
    throwing = 1;
    // The throwing sound plays on through the volley; restarting it every
    // frame would only give a buzz of its first few milliseconds.
    if (!run.sound.IsPlaying(kSeThrow)) run.sound.PlayOnce(kSeThrow);
  }
  const float heading = rotation.y * kDegToRad;
  if (knockBack == 0) {
    velocity = {dmath::Sin(heading) * 0.1f, 0, dmath::Cos(heading) * 0.1f};
    for (CastorsWeapon& w : weapons) w.ownerKnocked = 0;
  } else {
    for (CastorsWeapon& w : weapons) w.ownerKnocked = 1;
  }
  if (warning && run.game.bossesLeft == 2) rotation.x += upsideDown ? 0.5f : -0.5f;
  if (weapons[2].landed)
    rotation.x = 0;
  else
    rotation.y = HeadingTo(position, target);
}

void Castor::ThrowStar(CastorsWeapon& weapon, const Vec3& target) {
  weapon.maxHeight = FlatDistance(position, target);
  weapon.target = target;
  weapon.thrown = 1;
}

void Castor::WeaponControl(RunState& run, const Vec3& target) {
  if (!throwing) {
    for (CastorsWeapon& w : weapons) w.thrown = 0;
    return;
  }
  throwTimer += GetDeltaTime();
  if (!weapons[0].thrown) {
    throwMode = run.game.bossesLeft;
    if (throwMode == 1 && weapons[0].solo == 0) {
      for (CastorsWeapon& w : weapons) w.solo = 1;
    } else {
      weapons[0].maxHeight = FlatDistance(position, target);
    }
    weapons[0].target = target;
    weapons[0].thrown = 1;
  }
  for (int i = 1; i < 3; ++i) {
    const float due = i * (throwMode == 1 ? kGapAlone : kGapWithTwin);
    const bool modeKnown = throwMode == 1 || throwMode == 2;
    if (!weapons[i].thrown && modeKnown && throwTimer >= due) ThrowStar(weapons[i], target);
  }
  if (weapons[0].landed && weapons[1].landed && weapons[2].landed) {
    throwing = 0;
    attacking = 0;
    throwTimer = 0;
    for (CastorsWeapon& w : weapons) {
      w.landed = 0;
      w.thrown = 0;
    }
  }
}

void Castor::HitGimmicks(RunState& run, GimmickNode* tail) {
  for (CastorsWeapon& w : weapons) w.HitGimmicks(run, tail);
}

void Castor::Draw(RunState& run) {
  if (StageMeshes* meshes = run.stageMeshes) DrawCharacterMesh(*this, meshes->castor);
  if (state == kStateNormal) DrawCharacterShadow(*this);
  if (chasing)
    for (CastorsWeapon& w : weapons) w.Draw(run);
}

// ---- Pollux ------------------------------------------------------------------------------

Pollux::Pollux(RunState& run) : Boss(run) {
  size = {2, 3, 2};
  position = {0, 7, -10};
  rotation = {0, -90, 0};
  twin = 2;
}

void Pollux::Act(RunState& run, CharacterList& characters) {
  if (state == kStateNormal) {
    Move(run);
    if (warning) rotation.x += upsideDown ? -0.5f : 0.5f;  // it tilts through the warning second
  }
  Search(run, characters.front());
  EnemyBase::Act(run, characters);
}

void Pollux::Move(RunState& run) {
  const float heading = rotation.y * kDegToRad;
  if (!attacking) {
    speed = 0.1f;
  } else {
    if (enemyFlag != kEnemyActive) run.sound.PlayOnce(kSeJump);
    enemyFlag = kEnemyActive;
    if (attackLeft > attackLength / 2) {
      speed += 0.01f;
    } else {
      speed -= 0.01f;  // it brakes for the second half
      if (speed <= 0) {
        speed = 0.1f;
        attacking = 0;
      }
    }
    const float sx = dmath::Sin(heading) * speed, sz = dmath::Cos(heading) * speed;
    position.x += sx;
    position.z += sz;
    attackLeft -= std::sqrt(sx * sx + sz * sz);
    chasing = 1;
  }
  if (knockBack == 0) {
    const float push = attacking ? 0.32f : 0.1f;  // a charging Pollux bumps harder
    velocity = {dmath::Sin(heading) * push, 0, dmath::Cos(heading) * push};
  }
  if (!attacking && !warning) {
    if (!upsideDown) {
      if (rotation.x >= 0) rotation.x -= 0.5f;
    } else if (rotation.x <= 0) {
      rotation.x += 0.5f;
    }
  }
}

void Pollux::Draw(RunState& run) {
  if (StageMeshes* meshes = run.stageMeshes) DrawCharacterMesh(*this, meshes->pollux);
  if (state == kStateNormal) DrawCharacterShadow(*this);
}

void Castor::DumpState(JsonWriter& json) const {
  Boss::DumpState(json);
  json.Key("throwing").Int(throwing);
  json.Key("throwTimer").Number(throwTimer);
  json.Key("throwMode").Int(throwMode);
  json.Key("weapons").BeginArray();
  for (const CastorsWeapon& w : weapons) {
    json.BeginObject();
    json.Key("pos").Vec(w.position);
    json.Key("size").Number(w.size.x);
    json.Key("thrown").Int(w.thrown);
    json.Key("landed").Int(w.landed);
    json.Key("solo").Int(w.solo);
    json.EndObject();
  }
  json.EndArray();
}
