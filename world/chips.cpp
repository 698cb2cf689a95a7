#include "world/chips.h"

#include <cmath>

#include "base/det_math.h"
#include "base/frame_time.h"
#include "base/json_writer.h"
#include "platform/graphics.h"
#include "render/preload.h"
#include "render/primitives.h"
#include "render/sound_sets.h"
#include "world/game_state.h"
#include "world/run_state.h"
#include "world/star_burst.h"
#include "world/world_values.h"

namespace {

// The star a carried chip shows: scaled by its level and turned about a point
// 0.2 x level above its centre.
Matrix CarriedStarMatrix(const Vec3& position, const Vec3& rotation, float level) {
  const Vec3 scaling{level, level, level};
  const Vec3 centre{0, 0.2f * level, 0};
  const Quaternion q = QuaternionRotationYawPitchRoll(
      rotation.y * kDegToRad, rotation.x * kDegToRad, rotation.z * kDegToRad);
  return MatrixTransformation(nullptr, nullptr, &scaling, &centre, &q, &position);
}

}  // namespace

void DrawMeshWithAlpha(Mesh* mesh, Texture* texture, int alpha) {
  if (alpha <= 0) return;
  const bool translucent = alpha < 255;
  if (translucent) BeginTranslucent(alpha);
  if (texture)
    mesh->DrawWithTexture(texture);
  else
    mesh->Draw();
  if (translucent) EndTranslucent();
}

// ---- OneChip ------------------------------------------------------------------

OneChip::OneChip(RunState& run) : GimmickBase(run), mesh(GetObjectMesh(kMeshBox)) {
  size = {1, 1, 1};
}

int OneChip::Init(RunState&) {
  rotation.y = 90;
  UpdateMatrix();
  return 1;
}

void OneChip::Action(RunState& run, CharacterBase* player) {
  if (hitInfo.flying && state == kStateNormal) {
    if (run.world.boardReading) {
      gravityOn = 0;
    } else {
      gravityOn = 1;
      position.x += velocity.x * hitInfo.level / 5;
      position.z += velocity.z * hitInfo.level / 5;
      UpdateMatrix();
    }
  } else if (bounce.active && state == kStateSpecial) {
    // The quake hop: up and back down over 60 frames.
    bounce.timer += 6;
    position.y += dmath::Cos(bounce.timer * kDegToRad) * bounce.speed;
    if (bounce.timer >= 360) {
      bounce.speed = 0;
      bounce.timer = 0;
      bounce.active = 0;
      state = kStateNormal;
    }
    UpdateMatrix();
  }
  GimmickBase::Action(run, player);
}

void OneChip::DrawCarriedStar() {
  GetDevice()->SetTransform(D3DTS_WORLD, CarriedStarMatrix(position, rotation, hitInfo.level));
}

void OneChip::Draw(RunState& run) {
  GraphicsDevice* d = GetDevice();
  if (gimmickKind == kKindEncounter) return;  // the encounter trigger is never seen
  const bool rock = gimmickKind == kKindStar;
  if (DriftingAway()) {
    const int a = DriftAlpha(run, position.z);
    if (hitInfo.carried) {
      DrawCarriedStar();
      DrawMeshWithAlpha(GetObjectMesh(kMeshStar), nullptr, std::min(a, 254));
    } else {
      d->SetTransform(D3DTS_WORLD, world);
      DrawMeshWithAlpha(mesh, rock ? GetSharedTexture(kTexRock) : nullptr, std::min(a, 254));
    }
    return;
  }
  if (state == kStateTaken && !hitInfo.carried) {
    d->SetTransform(D3DTS_WORLD, world);
    mesh->DrawWithTexture(GetSharedTexture(kTexWood));
    return;
  }
  if (hitInfo.carried) {
    DrawCarriedStar();
    GetObjectMesh(kMeshStar)->Draw();
    const float l = hitInfo.level;
    DrawShadow(run.game.playerUnderside ? 180.0f : 0.0f, hitInfo.shadowPoint, {l, l, l});
    return;
  }
  d->SetTransform(D3DTS_WORLD, world);
  if (rock)
    mesh->DrawWithTexture(GetSharedTexture(kTexRock));
  else
    mesh->Draw();
}

int OneChip::HitCheck(RunState&, int charUpsideDown, const Vec3& p, const Vec3& s, const Vec3&,
                      Vec3* contact) {
  const float e = hitInfo.carried ? size.x * hitInfo.level : size.x;
  const Vec3 d = p - position;
  const float w = s.x, depth = s.z, h = s.y;
  int flags = 0;
  // Side faces: only when the character is not standing over the chip.
  const bool besideHeight = charUpsideDown ? p.y > position.y - e / 3 : p.y < position.y + e / 3;
  if (state != kStateSpecial && besideHeight) {
    if (std::fabs(d.x) < w / 2 + e / 2 && std::fabs(d.z) < depth / 2 + e / 2 - 0.4f &&
        std::fabs(d.y) < h) {
      if (p.x - w / 2 > position.x - e / 2 && p.x - w / 2 < position.x + e / 2)
        flags |= kFacePushPosX;
      else if (p.x + w / 2 > position.x - e / 2 && p.x + w / 2 < position.x + e / 2)
        flags |= kFacePushNegX;
      if (flags & (kFacePushPosX | kFacePushNegX)) contact->x = position.x;
    }
    if (std::fabs(d.x) < w / 2 + e / 2 - 0.4f && std::fabs(d.z) < depth / 2 + e / 2 &&
        std::fabs(d.y) < h) {
      if (p.z - depth / 2 > position.z - e / 2 && p.z - depth / 2 < position.z + e / 2)
        flags |= kFacePushPosZ;
      else if (p.z + depth / 2 > position.z - e / 2 && p.z + depth / 2 < position.z + e / 2)
        flags |= kFacePushNegZ;
      if (flags & (kFacePushPosZ | kFacePushNegZ)) contact->z = position.z;
    }
  }
  // Footprint: over (or, upside down, under) the chip.
  const bool footprint =
      std::fabs(d.x) <= w / 2 + e / 2 - 0.4f && std::fabs(d.z) <= depth / 2 + e / 2 - 0.4f;
  const bool beyond = charUpsideDown ? p.y < position.y : p.y > position.y;
  if (footprint && (state == kStateBlownAway || beyond)) {
    flags |= kFaceOver;
    contact->y = charUpsideDown ? position.y - e / 2 : position.y + e / 2;
  }
  // Standing: the character's feet within the chip's height.
  if (footprint && (state == kStateNormal || state == kStateBlownAway || state == kStateTaken ||
                    state == kStateMarkedInner)) {
    const bool within = charUpsideDown ? (p.y >= position.y - e / 2 && p.y <= position.y + e / 2)
                                       : (p.y > position.y - e / 2 && p.y < position.y + e / 2);
    if (within) {
      flags = kFaceOver | kFaceStand;
      contact->y = position.y;
    }
  }
  return flags;
}

// ---- StarChip -----------------------------------------------------------------

StarChip::StarChip(RunState& run) : GimmickBase(run), mesh(GetObjectMesh(kMeshStar)) {
  size = {1.5f, 1.5f, 1.5f};
}

void StarChip::BuildMatrix() {
  world = MatrixScaling(size.x, size.y, size.z) *
          MatrixRotationYawPitchRoll(rotation.y * kDegToRad, rotation.x * kDegToRad,
                                     rotation.z * kDegToRad) *
          MatrixTranslation(position.x, position.y, position.z);
}

int StarChip::Init(RunState& run) {
  position.z -= 0.5f;
  rotation.z = 90;
  rotation.y = static_cast<float>(run.gameRandom.Next() % 361);
  rotation.x = static_cast<float>(run.gameRandom.Next() % 361);
  BuildMatrix();
  return 1;
}

void StarChip::Action(RunState& run, CharacterBase* player) {
  rotation.y += 0.5f;
  if (rotation.y >= 360) rotation.y = 0;
  position.y += dmath::Sin(rotation.y * kDegToRad) * 0.003f;
  BuildMatrix();
  GimmickBase::Action(run, player);
}

void StarChip::Draw(RunState& run) {
  GetDevice()->SetTransform(D3DTS_WORLD, world);
  mesh->Draw();
  [[maybe_unused]] const bool under = run.game.playerUnderside != 0;
  DrawShadow(under ? 180.0f : 0.0f, {position.x, under ? -0.5f : 0.5f, position.z}, size);
}

// ---- Item -------------------------------------------------------------------------

Item::Item(RunState& run, int itemIndex)
    : GimmickBase(run), mesh(GetItemMesh(0)), index(itemIndex) {
  if (index == 0) size = {1, 1, 1};
}

void Item::DumpParameters(JsonWriter& json) const {
  json.Key("item").Int(index);
}

void Item::Action(RunState& run, CharacterBase* player) {
  if (state == kStateNormal) {
    const Vec3 d = player->position - position;
    const bool touching = player->upsideDown == upsideDown &&
                          std::sqrt(d.x * d.x + d.z * d.z) < (player->size.x + size.x) / 2 &&
                          std::fabs(d.y) < 0.5f;
    if (!touching) {
      healTimer = 0.785f;
      if (motion != kSpin) motion |= kStopAfterBob;
    } else if (run.game.life >= run.game.maxLife) {
      if (motion != kSpin) motion |= kStopAfterBob;
    } else if (index == 0) {
      healTimer += GetDeltaTime();
      if (motion == kSpin) {
        home = position;
        motion |= kRising;
      }
      if (healTimer >= 0.785f) {
        Heal(run.game);
        healTimer = 0;
        run.sound.PlayOnce(kSeGetItem);
      }
    }
    Bob();
  } else if (DriftingAway()) {
    alpha = DriftAlpha(run, position.z);
  }
  GimmickBase::Action(run, player);
}

void Item::Bob() {
  if (motion & kSpin) {
    rotation.y += 5;
    if (rotation.y > 360) rotation.y = 0;
  }
  const float sign = upsideDown ? -1.0f : 1.0f;
  if (motion & kRising) {
    position.y += 0.15f * sign;
    if (upsideDown ? position.y <= -3 : position.y >= 3) motion = (motion & ~kRising) | kReturning;
  } else if (motion & kReturning) {
    returnSpeed = std::min(0.15f, returnSpeed + 0.0055f);
    position.y += position.y < home.y ? returnSpeed : -returnSpeed;
    if (std::fabs(position.y - home.y) < 0.125f) {
      position.y = home.y;
      returnSpeed = 0;
      if (motion & kStopAfterBob)
        motion = kSpin;
      else
        motion = (motion & ~kReturning) | kRising;
    }
  }
  UpdateMatrix();
}

void Item::Draw(RunState&) {
  GetDevice()->SetTransform(D3DTS_WORLD, world);
  if (DriftingAway())
    DrawMeshWithAlpha(mesh, nullptr, std::min(alpha, 254));
  else
    mesh->Draw();
}

// ---- StarGather ---------------------------------------------------------------

StarGather* StarGatherList::Add() {
  effects_.push_back(std::unique_ptr<StarGather>(new StarGather()));
  return effects_.back().get();
}

void StarGatherList::Update(int upsideDown) {
  for (auto& e : effects_) e->Update(upsideDown);
  effects_.erase(
      std::remove_if(effects_.begin(), effects_.end(), [](const auto& e) { return e->Finished(); }),
      effects_.end());
}

void StarGatherList::Draw() {
  for (auto& e : effects_) e->Draw();
}

void StarGather::Start(RandomStream& drawRandom, int upsideDown, const Vec3& point,
                       float sprayBoost) {
  alpha_ = 255;
  sinkSpeed_ = 0;
  timer_ = 0;
  point_ = point;
  for (Star& s : stars_) {
    s.rotation = {static_cast<float>(drawRandom.Next() % 180),
                  static_cast<float>(drawRandom.Next() % 180),
                  static_cast<float>(drawRandom.Next() % 180)};
    if (mode_ == 1) {
      const float a = static_cast<float>(drawRandom.Next() % 360) * kDegToRad;
      const float r1 = (drawRandom.Next() % 20 + 1) / 10.0f,
                  r3 = (drawRandom.Next() % 20 + 1) / 10.0f;
      float r2 = (drawRandom.Next() % 15 + 1) / 10.0f;
      if (drawRandom.Next() % 2) r2 = -r2;
      s.start = point + Vec3{dmath::Sin(a) * r1, r2, dmath::Cos(a) * r3};
      s.position = s.start;
      s.motion = point - s.start;
      const float k = (drawRandom.Next() % 3 + 1) / 10.0f;
      s.scale = {k, k, k};
    } else {
      s.position = point;
      s.start = point;
      s.yaw = -static_cast<float>(drawRandom.Next() % 361);
      s.speed1 = (drawRandom.Next() % 5 + 1) / 100.0f + 0.02f + sprayBoost;
      s.speed2 = (drawRandom.Next() % 5 + 1) / 100.0f + 0.02f + sprayBoost;
      const float k = (drawRandom.Next() % 8 + 1) / 10.0f;
      s.scale = {k, k, k};
    }
  }
  if (mode_ == 1) alpha_ = 0;
  (void)upsideDown;
}

bool StarGather::Update(int upsideDown) {
  if (finished_) return true;
  if (mode_ == 1) {
    timer_ += GetDeltaTime();
    if (fadingIn_) {
      alpha_ = static_cast<int>(255 * std::min(1.0f, timer_ / 0.4f));
      if (timer_ >= 0.4f) {
        fadingIn_ = false;
        timer_ = 0;
      }
    } else {
      alpha_ = static_cast<int>(255 * std::max(0.0f, 1 - timer_ / 0.6f));
      if (timer_ >= 0.6f) finished_ = true;
    }
    for (Star& s : stars_) {
      const float t = std::min(timer_, 1.0f);
      s.position = {EaseOut(s.motion.x, s.start.x, 1.0f, t),
                    EaseOut(s.motion.y, s.start.y, 1.0f, t),
                    EaseOut(s.motion.z, s.start.z, 1.0f, t)};
    }
  } else {
    alpha_ -= 5;
    if (alpha_ <= 0) {
      alpha_ = 0;
      finished_ = true;
    }
    for (Star& s : stars_) {
      s.position.x += dmath::Sin(s.yaw * kDegToRad) * s.speed1;
      s.position.z += dmath::Cos(s.yaw * kDegToRad) * s.speed2;
      s.position.y -= sinkSpeed_;
      s.speed1 = std::max(0.0f, s.speed1 - 0.001f);
      s.speed2 = std::max(0.0f, s.speed2 - 0.001f);
    }
    sinkSpeed_ += upsideDown ? -0.01f : 0.01f;
  }
  for (Star& s : stars_) s.rotation = s.rotation + Vec3{1, 1, 1};
  return finished_;
}

void StarGather::Draw() {
  if (alpha_ <= 0) return;
  BeginTranslucent(alpha_);
  for (const Star& s : stars_) DrawTumblingStar(s.position, s.rotation, s.scale);
  EndTranslucent();
}
