#include "world/devices.h"

#include <algorithm>
#include <cmath>

#include "base/det_math.h"
#include "base/json_writer.h"
#include "platform/graphics.h"
#include "render/constants.h"
#include "render/mesh.h"
#include "render/preload.h"
#include "render/primitives.h"
#include "render/sound_sets.h"
#include "world/camera.h"
#include "world/chips.h"
#include "world/game_state.h"
#include "world/run_state.h"
#include "world/world_values.h"

namespace {
const char* const kBridgeMeshNames[4] = {"bridge_a.x", "bridge_b.x", "handrail_a.x",
                                         "handrail_b.x"};
}

Gate::Gate(RunState& run)
    : GimmickBase(run), leaf1(GetObjectMesh(kMeshGate1)), leaf2(GetObjectMesh(kMeshGate2)) {
  size = {6, 6, 6};
}

Bridge::Bridge(RunState& run, int number)
    : InvisibleBase(run), mesh(GetObjectMesh(number)), meshNumber(number) {
  gimmickKind = kKindBridge;
  alpha = 0;
  run.game.bridgeFront = 0;
  run.game.bridgeTimer = 0;
  run.game.bridgeAdvance = 0;
}

int Bridge::Init(RunState& run) {
  if (run.game.bridgeFront == 0) run.game.bridgeFront = position.x;
  UpdateMatrix();
  return 1;
}

void Bridge::Draw(RunState&) {
  if (alpha == 0) return;
  GetDevice()->SetTransform(D3DTS_WORLD, world);
  BeginTranslucent(alpha);
  mesh->Draw();
  EndTranslucent();
  GraphicsDevice* d = GetDevice();
  d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
}

void Bridge::DumpParameters(JsonWriter& json) const {
  json.Key("mesh").String(meshNumber >= kMeshBridgeA && meshNumber <= kMeshHandrailB
                              ? kBridgeMeshNames[meshNumber - kMeshBridgeA]
                              : "?");
}

MoveBlock::MoveBlock(RunState& run, int blockGroup, float time, const Vec3& travel)
    : InvisibleBase(run),
      mesh(GetObjectMesh(kMeshBox)),
      group(blockGroup),
      travelTime(time),
      offset(travel) {
  run.world.riddenGroup = 0;
}

void MoveBlock::DumpParameters(JsonWriter& json) const {
  json.Key("group").Int(group);
  json.Key("travel_time").Number(travelTime);
  json.Key("offset").Vec(offset);
}

// ---- Gate -------------------------------------------------------------------------

int Gate::Init(RunState&) {
  position = position + Vec3{0, -0.5f, -0.5f};
  UpdateMatrix();
  return 1;
}

void Gate::UpdateMatrix() {
  const Vec3 centre{hingeOffset, 0, 0};
  const Quaternion q = QuaternionRotationYawPitchRoll(
      rotation.y * kDegToRad, rotation.x * kDegToRad, rotation.z * kDegToRad);
  world = MatrixTransformation(nullptr, nullptr, nullptr, &centre, &q, &position);
}

void Gate::Action(RunState& run, CharacterBase* player) {
  const int mode = run.game.gameMode;
  if (mode == kModeBossArmed) {
    if (rotation.y == 90) run.sound.PlayOnce(kSeMoveDoor);
    if (rotation.y < 180)
      rotation.y = std::min(rotation.y + std::ceil(dmath::Sin(rotation.y * kDegToRad)), 180.0f);
  } else if (mode == kModeBossBattle) {
    if (rotation.y == 180) run.sound.PlayOnce(kSeMoveDoor);
    if (rotation.y >= 90) {
      rotation.y += 2 * dmath::Cos(std::ceil(rotation.y) * kDegToRad);
      if (rotation.y <= 90) {
        rotation.y = 89;
        run.sound.PlayOnce(kSeCloseDoor);
      }
    }
  }
  GimmickBase::Action(run, player);
  FadeWhileDrifting(run);
}

void Gate::PlaceLeaf(int leaf, const Vec3& p, const Vec3& r) {
  if (leaf == 1) {
    hingeOffset = 3;
    position = {p.x - 3, p.y, p.z - 3};
    rotation = r;
  } else {
    hingeOffset = -3;
    position = {p.x + 3, p.y, p.z + 3};
    rotation = {r.x, 180 - r.y, r.z};
  }
  UpdateMatrix();
}

void Gate::Draw(RunState&) {
  GraphicsDevice* d = GetDevice();
  const bool falling = DriftingAway();
  if (falling && alpha <= 0) return;
  if (falling) BeginTranslucent(alpha);
  const Vec3 p = position, r = rotation;
  // (A leaf between the camera and the player is set aside by the mesh and
  // drawn see-through: render/view_clearance.h.)
  auto drawLeaf = [&](Mesh* leaf) {
    d->SetTransform(D3DTS_WORLD, world);
    leaf->Draw();
  };
  PlaceLeaf(1, p, r);
  drawLeaf(leaf1);
  PlaceLeaf(2, p, r);
  d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  drawLeaf(leaf2);
  d->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
  position = p;
  rotation = r;
  if (falling) EndTranslucent();
}

int Gate::LeafRayTest(Mesh* mesh, const Vec3& c, const Vec3& s, const Vec3& v,
                      Vec3* contact) const {
  int flags = 0;
  Vec3 hit;
  if (v.x != 0) {
    const Vec3 o{c.x - v.x, c.y + 0.5f, c.z};
    if (mesh->Pick(world, o, {v.x, 0, 0}, &hit) &&
        std::fabs(hit.x - o.x) < std::fabs(v.x) + s.x / 2) {
      if (v.x > 0 && o.x < world[3][0]) {
        contact->x = hit.x + 0.5f;
        flags |= kFacePushNegX;
      } else if (v.x < 0 && o.x > world[3][0]) {
        contact->x = hit.x - 0.5f;
        flags |= kFacePushPosX;
      }
    }
  }
  if (v.z != 0) {
    const Vec3 o{c.x, c.y + 0.5f, c.z - v.z};
    if (mesh->Pick(world, o, {0, 0, v.z}, &hit) &&
        std::fabs(hit.z - o.z) < std::fabs(v.z) + s.z / 2) {
      if (v.z > 0 && o.z < world[3][2]) {
        contact->z = hit.z + 0.5f;
        flags |= kFacePushNegZ;
      } else if (v.z < 0 && o.z > world[3][2]) {
        contact->z = hit.z - 0.5f;
        flags |= kFacePushPosZ;
      }
    }
  }
  return flags;
}

int Gate::HitCheck(RunState&, int, const Vec3& c, const Vec3& s, const Vec3& v, Vec3* contact) {
  const Vec3 p = position, r = rotation;
  const float h = hingeOffset;
  int flags = 0;
  if (std::fabs(p.x - c.x) < 5 && std::fabs(p.z - 3 - c.z) < 5) {
    PlaceLeaf(1, p, r);
    flags = LeafRayTest(leaf1, c, s, v, contact);
  }
  if (flags == 0) {
    PlaceLeaf(2, p, r);
    flags = LeafRayTest(leaf2, c, s, v, contact);
  }
  hingeOffset = h;
  position = p;
  rotation = r;
  UpdateMatrix();
  return flags;
}

// ---- Bridge -----------------------------------------------------------------------

void Bridge::Action(RunState& run, CharacterBase* player) {
  if (appearing && run.game.gameMode == kModeBridge) {
    alpha += 5;
    if (alpha >= 256) {
      alpha = 255;
      appearing = 0;
    }
  }
  if (alpha == 0 && run.game.bridgeTimer > 0.3f && run.game.bridgeFront >= position.x) {
    appearing = 1;
    run.game.bridgeAdvance = 1;
  }
  GimmickBase::Action(run, player);
  FadeWhileDrifting(run);
}

int Bridge::HitCheck(RunState&, int side, const Vec3& c, const Vec3& s, const Vec3& v,
                     Vec3* contact) {
  const Vec3 b{world[3][0], world[3][1], world[3][2]};
  if (alpha == 0 || std::fabs(b.x - c.x) >= 1 || std::fabs(b.z - c.z) >= 1) return 0;
  int flags = 0;
  Vec3 hit;
  const Vec3 down = side ? Vec3{c.x, c.y - 0.5f, c.z} : Vec3{c.x, c.y + 0.5f, c.z};
  if (mesh->Pick(world, down, {0, side ? 1.0f : -1.0f, 0}, &hit)) {
    flags |= kFaceOver;
    contact->y = hit.y;
    if (Vec3Length(hit - down) < 1) {
      flags |= kFaceStand;
      contact->y = side ? hit.y + 0.5f : hit.y - 0.5f;
    }
  }
  if (v.z != 0) {
    const Vec3 o{c.x, side ? c.y - 0.2f : c.y + 0.2f, c.z - v.z};
    if (mesh->Pick(world, o, {0, 0, v.z}, &hit) &&
        std::fabs(hit.z - o.z) < std::fabs(v.z) + s.z / 2) {
      if (v.z > 0 && b.z > c.z) {
        contact->z = hit.z + 0.5f;
        flags |= kFacePushNegZ;
      } else if (v.z < 0 && b.z < c.z) {
        contact->z = hit.z - 0.5f;
        flags |= kFacePushPosZ;
      }
    }
  }
  return flags;
}

// ---- MoveBlock --------------------------------------------------------------------

int MoveBlock::Init(RunState&) {
  UpdateMatrix();
  velocity = {offset.x / (travelTime * 60), 0, offset.z / (travelTime * 60)};
  return 1;
}

void MoveBlock::Action(RunState& run, CharacterBase* player) {
  GimmickBase::Action(run, player);
  WorldValues& w = run.world;
  const Vec3& p = player->position;
  const int carried = hitInfo.carried;
  if (alpha == 0 && !appearing) {
    if (run.game.gameMode == kModeBossArmed && !carried && std::fabs(p.x - position.x) < 30 &&
        std::fabs(p.z - position.z) < 10)
      appearing = 1;
    FadeWhileDrifting(run);
    return;
  }
  if (hitInfo.flying && state == kStateNormal) {
    if (!w.boardReading) {
      position.x += velocity.x * hitInfo.level / 5;
      position.z += velocity.z * hitInfo.level / 5;
      UpdateMatrix();
    }
  } else if (run.camera.mode != kCameraFlip && run.game.fadeAlpha == 0) {
    if (appearing) {
      alpha += 5;
      if (alpha > 255) {
        alpha = 255;
        appearing = 0;
      }
    } else if (std::fabs(p.x - position.x) > 30) {
      alpha = std::max(alpha - 5, 0);
    }
    const bool riding = !carried && std::fabs(p.x - position.x) < 0.5f &&
                        std::fabs(p.z - position.z) < 0.5f && std::fabs(p.y - position.y) < 1;
    if (riding) {
      if (w.riddenGroup != group) w.moving = 0;
      w.riddenGroup = group;
      if (w.moving == 0) w.rideRequested = 1;
    }
    if (!arrived || carried) {
      if (w.moving && group == w.riddenGroup && !DriftingAway()) {
        elapsed += 1;
        if (elapsed >= travelTime * 60) {
          elapsed = travelTime;
          arrived = 1;
        }
        position.x += velocity.x;
        position.z += velocity.z;
        startPosition.z += velocity.z;
        UpdateMatrix();
      }
      if (riding && w.carriedThisFrame == 0) {
        player->velocity = velocity;
        player->position = {p.x + velocity.x, p.y, p.z + velocity.z};
        player->UpdateMatrix();
        w.carriedThisFrame = 1;
      }
    }
    if (arrived && !carried) {
      w.moving = 0;
      if (w.riddenGroup != group) {
        alpha -= 5;
        if (alpha <= 0) {
          alpha = 0;
          state = kStateGone;
        }
      }
    }
  }
  FadeWhileDrifting(run);
}

void MoveBlock::Draw(RunState& run) {
  if (alpha == 0) return;
  GraphicsDevice* d = GetDevice();
  if (state == kStateTaken) {
    d->SetTransform(D3DTS_WORLD, world);
    DrawMeshWithAlpha(mesh, GetSharedTexture(kTexWood), alpha);
    return;
  }
  if (hitInfo.carried) {
    const float s = hitInfo.level;
    const Vec3 scaling{s, s, s}, centre{0, 0.2f * s, 0};
    const Quaternion q = QuaternionRotationYawPitchRoll(
        rotation.y * kDegToRad, rotation.x * kDegToRad, rotation.z * kDegToRad);
    d->SetTransform(D3DTS_WORLD,
                    MatrixTransformation(nullptr, nullptr, &scaling, &centre, &q, &position));
    GetObjectMesh(kMeshStar)->Draw();
    DrawShadow(run.game.playerUnderside ? 180.0f : 0.0f, hitInfo.shadowPoint, scaling);
    return;
  }
  d->SetTransform(D3DTS_WORLD, world);
  DrawMeshWithAlpha(mesh, nullptr, alpha);
}

int MoveBlock::HitCheck(RunState&, int side, const Vec3& c, const Vec3& s, const Vec3&,
                        Vec3* contact) {
  const float edge = hitInfo.carried ? size.x * hitInfo.level : size.x;
  return CubeTest(edge, side, c, s, contact);
}
