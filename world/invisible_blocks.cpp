#include "world/invisible_blocks.h"

#include <algorithm>
#include <cmath>

#include "base/frame_time.h"
#include "base/json_writer.h"
#include "platform/graphics.h"
#include "render/preload.h"
#include "world/camera.h"
#include "world/chips.h"
#include "world/game_state.h"
#include "world/run_state.h"

int InvisibleBase::CubeTest(float e, int side, const Vec3& c, const Vec3& s, Vec3* contact) const {
  if (alpha == 0) return 0;
  const Vec3& b = position;
  const Vec3 d = c - b;
  int flags = 0;
  const bool below = side ? c.y > b.y : c.y < b.y;
  if (below) {
    if (std::fabs(d.x) < s.x / 2 + e / 2 && std::fabs(d.z) < s.z / 2 + e / 2 - 0.2f &&
        std::fabs(d.y) < s.y) {
      if (c.x - s.x / 2 > b.x - e / 2 && c.x - s.x / 2 < b.x + e / 2) {
        flags |= kFacePushPosX;
        contact->x = b.x;
      } else if (b.x - e / 2 < c.x + s.x / 2) {
        flags |= kFacePushNegX;
        contact->x = b.x;
      }
    }
    if (std::fabs(d.x) < s.x / 2 + e / 2 - 0.2f && std::fabs(d.z) < s.z / 2 + e / 2 &&
        std::fabs(d.y) < s.y) {
      if (c.z - s.z / 2 > b.z - e / 2 && c.z - s.z / 2 < b.z + e / 2) {
        flags |= kFacePushPosZ;
        contact->z = b.z;
      } else if (b.z - e / 2 < c.z + s.z / 2) {
        flags |= kFacePushNegZ;
        contact->z = b.z;
      }
    }
  }
  if (std::fabs(d.x) < s.x - 0.2f && std::fabs(d.z) < s.z - 0.2f) {
    flags |= kFaceOver;
    if (side && b.y > c.y) contact->y = b.y - e / 2;
    if (!side && b.y < c.y) contact->y = b.y + e / 2;
    const bool within = side ? (b.y - e / 2 <= c.y && c.y <= b.y + e / 2)
                             : (b.y - e / 2 < c.y && c.y < b.y + e / 2);
    if (within) {
      flags |= kFaceStand;
      contact->y = b.y;
    }
  }
  return flags;
}

int InvisibleBase::HitCheck(RunState&, int side, const Vec3& c, const Vec3& s, const Vec3&,
                            Vec3* contact) {
  return CubeTest(size.x, side, c, s, contact);
}

void DrawRockBlock(const Matrix& world, int alpha) {
  if (alpha <= 0) return;
  GetDevice()->SetTransform(D3DTS_WORLD, world);
  BeginTranslucent(alpha);
  GetObjectMesh(kMeshBox)->DrawWithTexture(GetSharedTexture(kTexRock));
  EndTranslucent();
}

AfterInvisible::AfterInvisible(RunState& run, int blockMode)
    : InvisibleBase(run), mesh(GetObjectMesh(kMeshBox)), mode(blockMode) {
  alpha = 255;
}

void AfterInvisible::DumpParameters(JsonWriter& json) const {
  json.Key("mode").Int(mode);
}

void AfterInvisible::Draw(RunState&) {
  if (alpha == 0) return;
  if (alpha == 255) {
    GetDevice()->SetTransform(D3DTS_WORLD, world);
    mesh->DrawWithTexture(GetSharedTexture(kTexRock));
    return;
  }
  DrawRockBlock(world, alpha);
}

Flashing::Flashing(RunState& run, int startFadingIn, float step, float start, float end,
                   float cycle)
    : InvisibleBase(run),
      fadingIn(startFadingIn),
      startX(start),
      endX(end),
      stepX(step),
      period(cycle) {}

int Flashing::Init(RunState&) {
  currentX = startX;
  UpdateMatrix();
  return 1;
}

void Flashing::DumpParameters(JsonWriter& json) const {
  json.Key("fading_in").Int(fadingIn);
  json.Key("step").Number(stepX);
  json.Key("start_x").Number(startX);
  json.Key("end_x").Number(endX);
  json.Key("period").Number(period);
}

void Flashing::Draw(RunState&) {
  DrawRockBlock(world, alpha);
}

void OnesideInvisible::Draw(RunState&) {
  DrawRockBlock(world, alpha);
}

void AfterInvisible::Action(RunState& run, CharacterBase* player) {
  if (fading) {
    alpha -= 5;
    if (alpha < 0) {
      alpha = 0;
      fading = 0;
    }
  }
  const Vec3& p = player->position;
  const Vec3& b = position;
  // Once passed in its direction, the block fades for good (a block already
  // gone never starts again).
  bool passed = false;
  if (mode == 0) {
    passed = std::fabs(b.z - p.z) < 6 && p.x > b.x + 1.5f;
  } else if (std::fabs(b.x - p.x) < 6) {
    passed = mode == 1 ? p.z > b.z + 1.5f : p.z < b.z - 1.5f;
  } else {
    passed = p.x > b.x;
  }
  if (passed && alpha > 0) fading = 1;
  GimmickBase::Action(run, player);
  FadeWhileDrifting(run);
}

void Flashing::Action(RunState& run, CharacterBase* player) {
  if (state == kStateNormal) {
    flashTimer += GetDeltaTime();
    const float half = period * 0.1f;
    if (fadingIn)
      alpha = std::min(static_cast<int>(255 * flashTimer / half), 255);
    else
      alpha = std::max(static_cast<int>((1 - flashTimer / half) * 255), 0);
    if (flashTimer > half) {
      fadingIn = !fadingIn;
      if (fadingIn) {
        currentX = currentX + stepX <= endX ? currentX + stepX : startX;
        position.x = currentX;
        UpdateMatrix();
      }
      flashTimer = 0;
    }
  }
  GimmickBase::Action(run, player);
  FadeWhileDrifting(run);
}

void OnesideInvisible::Action(RunState& run, CharacterBase* player) {
  if (run.camera.mode != kCameraFlip) seenSide = player->upsideDown;
  if (seenSide == upsideDown)
    alpha = std::min(alpha + 5, 255);
  else
    alpha = std::max(alpha - 5, 0);
  GimmickBase::Action(run, player);
  FadeWhileDrifting(run);
}
