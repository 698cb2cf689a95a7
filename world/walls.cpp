#include "world/walls.h"

#include <cmath>

#include "base/det_math.h"
#include "base/json_writer.h"
#include "platform/graphics.h"
#include "render/constants.h"
#include "render/mesh.h"
#include "render/preload.h"
#include "render/sound_sets.h"
#include "world/field_chip.h"
#include "world/game_state.h"
#include "world/run_state.h"

namespace {

constexpr int kWallPieces = 36;

void DrawGimmickMesh(const GimmickBase& g, Mesh* mesh) {
  GetDevice()->SetTransform(D3DTS_WORLD, g.world);
  if (!g.DriftingAway()) {
    mesh->Draw();
  } else if (g.alpha > 0) {
    BeginTranslucent(g.alpha);
    mesh->Draw();
    EndTranslucent();
  }
}

}  // namespace

// ---- Wall -------------------------------------------------------------------------

Wall::Wall(RunState& run, int wallPiece)
    : GimmickBase(run), mesh(GetWallMesh(wallPiece)), piece(wallPiece) {
  size = {6, 5, 6};
  gravity = 0.001f;
}

void Wall::DumpParameters(JsonWriter& json) const {
  json.Key("piece").Int(piece);
}

int Wall::Init(RunState& run) {
  position.y -= 0.5f;
  if (rotation.y == 0)
    position.x -= 0.5f;
  else
    position.z -= 0.5f;
  spin = rotation;
  UpdateMatrix();
  spinRate = static_cast<float>(run.gameRandom.Next() % 4 + 1) / 1000;
  spinMode = static_cast<float>(run.gameRandom.Next() % 2);
  return 1;
}

void Wall::Action(RunState& run, CharacterBase* player) {
  if (breakState == 2) {
    size.y = -6;
    if (spinMode == 0) {
      spin.y -= spinRate * 100;
      spin.z -= spinRate * 100;
    } else {
      spin.x += spinRate * 200;
      spin.y += spinRate * 100;
      spin.z += spinRate * 100;
    }
    rotation = spin;
    gravityOn = 1;
    UpdateMatrix();
  }
  GimmickBase::Action(run, player);
  FadeWhileDrifting(run);
}

void Wall::Draw(RunState&) {
  DrawGimmickMesh(*this, mesh);
}

int Wall::HitCheck(RunState& run, int side, const Vec3& p, const Vec3& s, const Vec3& v,
                   Vec3* contact) {
  if (side != upsideDown || breakState != 1) return 0;
  Vec3 box = kWallBox;
  if (rotation.y == 0) std::swap(box.x, box.z);
  const Vec3& w = position;
  int flags = 0;
  if (v.x != 0) {
    const float px = p.x - v.x;
    if (std::fabs(w.x - px) < std::fabs(v.x) + s.x / 2 + box.x / 2 &&
        std::fabs(w.z - p.z) < s.z / 2 + box.z / 2 - 0.2f && std::fabs(w.y - p.y) < box.y / 2) {
      if (v.x > 0 && w.x > p.x) {
        contact->x = w.x - box.x / 2 + 0.5f;
        flags |= kFacePushNegX;
      } else if (v.x < 0 && w.x < p.x) {
        contact->x = w.x + box.x / 2 - 0.5f;
        flags |= kFacePushPosX;
      }
    }
  }
  if (v.z != 0) {
    const float pz = p.z - v.z;
    if (std::fabs(w.z - pz) < std::fabs(v.z) + s.z / 2 + box.z / 2 &&
        std::fabs(w.x - p.x) < s.x / 2 + box.x / 2 - 0.2f && std::fabs(w.y - p.y) < box.y / 2) {
      if (v.z > 0 && w.z > p.z) {
        contact->z = w.z - box.z / 2 + 0.5f;
        flags |= kFacePushNegZ;
      } else if (v.z < 0 && w.z < p.z) {
        contact->z = w.z + box.z / 2 - 0.5f;
        flags |= kFacePushPosZ;
      }
    }
  }
  if (flags) return flags;
  if (std::fabs(w.x - p.x) < box.x / 2 && std::fabs(w.z - p.z) < box.z / 2 &&
      std::fabs(w.y - p.y) < 3 && s.x > 0 && s.y > 0 && s.z > 0 && (v.x != 0 || v.z != 0)) {
    const bool under = run.game.playerUnderside != 0;
    if (under && p.y < w.y) {
      flags |= kFaceStand;
      contact->y = w.y - box.y;
    } else if (!under && p.y > w.y) {
      flags |= kFaceStand;
      contact->y = w.y + box.y;
    }
  }
  return flags;
}

void BreakWall(RunState& run, GimmickNode* piece) {
  for (int i = 0; i < kWallPieces && piece; ++i, piece = piece->prev)
    if (piece->kind == kKindWallPiece) static_cast<Wall*>(piece->object.get())->breakState = 2;
  run.sound.PlayOnce(kSeBreak);
}

// ---- Rotating walls -----------------------------------------------------------------

RotaWall::RotaWall(RunState& run) : GimmickBase(run), mesh(GetObjectMesh(kMeshRotatingBaseHalf)) {
  size = {11, 1, 11};
}

RotaWallHalf::RotaWallHalf(RunState& run) : RotaWall(run) {
  mesh = GetObjectMesh(kMeshRotatingBase);
  turnState = 2;
  turnSpeed = 4.0f;
}

int RotaWall::Init(RunState&) {
  rotation = {90, 90, 0};
  position.z -= 0.5f;
  UpdateMatrix();
  return 1;
}

int RotaWallHalf::Init(RunState&) {
  position.y -= 0.6f;
  position.z -= 0.5f;
  UpdateMatrix();
  return 1;
}

void RotaWall::UpdateMatrix() {
  const Quaternion q = QuaternionRotationYawPitchRoll(
      rotation.y * kDegToRad, rotation.x * kDegToRad, rotation.z * kDegToRad);
  world = MatrixTransformation(nullptr, nullptr, nullptr, nullptr, &q, &position);
}

void RotaWallHalf::UpdateMatrix() {
  const Quaternion q = QuaternionRotationYawPitchRoll(
      rotation.y * kDegToRad, rotation.x * kDegToRad, rotation.z * kDegToRad);
  const Vec3 centre{0, 0.6f, 0};
  world = MatrixTransformation(nullptr, nullptr, nullptr, &centre, &q, &position);
}

void RotaWall::Action(RunState& run, CharacterBase* player) {
  if (turnState == 4) {
    const float step = dmath::Sin(rotation.x * kDegToRad) * std::fabs(turnSpeed) * 4;
    rotation.x += turnSpeed > 0 ? step : -step;
    // The eased pitch creeps up on the next quarter turn; within a hundredth
    // of a degree it has arrived.
    const float quarter = std::round(rotation.x / 90) * 90;
    const bool arrived =
        static_cast<int>(rotation.x) % 90 == 0 || std::fabs(rotation.x - quarter) < 0.01f;
    if (arrived) {
      turnState = 1;
      if (static_cast<int>(std::round(rotation.x)) % 360 == 0) rotation.x = 0;
    }
    UpdateMatrix();
  }
  GimmickBase::Action(run, player);
  FadeWhileDrifting(run);
}

void RotaWall::Draw(RunState&) {
  DrawGimmickMesh(*this, mesh);
}

int RotaWall::RayTest(int side, const Vec3& c, const Vec3& s, const Vec3& v, Vec3* contact,
                      bool half) {
  const Vec3 w{world[3][0], world[3][1], world[3][2]};
  int flags = 0;
  Vec3 o{c.x, 0, c.z};
  if (!half && std::fabs(w.x - c.x) < 1) {
    o.x = w.x;
    o.z = w.z;
  }
  Vec3 hit;
  if (!side) {
    o.y = c.y + 0.5f;
    if (mesh->Pick(world, o, {0, half ? -10.0f : -1.0f, 0}, &hit)) {
      const float d = o.y - hit.y;
      if (d < 10) {
        flags |= kFaceOver;
        *contact = hit;
      }
      if (half ? d < 10 : d < 0.5f) {
        flags |= kFaceStand;
        contact->y = hit.y - 0.5f;
      }
    }
  } else {
    o.y = c.y - 0.5f;
    if (mesh->Pick(world, o, {0, half ? 10.0f : 1.0f, 0}, &hit)) {
      const float d = hit.y - o.y;
      if (d < 10) {
        flags |= kFaceOver;
        *contact = hit;
      }
      if (half ? d < 1 : d < 0.3f) {
        flags |= kFaceStand;
        contact->y = hit.y + 0.5f;
      }
    }
  }
  const float lift = half ? 0.5f : 0.1f;
  const float y = side ? c.y - lift : c.y + lift;
  if (v.x != 0) {
    const Vec3 start{c.x - v.x, y, c.z};
    if (mesh->Pick(world, start, {v.x, 0, 0}, &hit) &&
        std::fabs(hit.x - start.x) < std::fabs(v.x) + s.x / 2) {
      if (v.x > 0 && w.x > c.x) {
        contact->x = hit.x + 0.5f;
        flags |= kFacePushNegX;
      } else if (v.x < 0 && w.x < c.x) {
        contact->x = hit.x - 0.5f;
        flags |= kFacePushPosX;
      }
    }
  }
  if (v.z != 0) {
    const Vec3 start{c.x, y, c.z - v.z};
    if (mesh->Pick(world, start, {0, 0, v.z}, &hit) &&
        std::fabs(hit.z - start.z) < std::fabs(v.z) + s.z / 2) {
      if (v.z > 0 && w.z > c.z) {
        contact->z = hit.z + 0.5f;
        flags |= kFacePushNegZ;
      } else if (v.z < 0 && w.z < c.z) {
        contact->z = hit.z - 0.5f;
        flags |= kFacePushPosZ;
      }
    }
  }
  return flags;
}

int RotaWall::HitCheck(RunState&, int side, const Vec3& c, const Vec3& s, const Vec3& v,
                       Vec3* contact) {
  const Vec3 w{world[3][0], world[3][1], world[3][2]};
  if (std::fabs(w.x - c.x) >= 7 || std::fabs(w.z - c.z) >= 7 || std::fabs(w.y - c.y) >= 7) return 0;
  return RayTest(side, c, s, v, contact, false);
}

int RotaWallHalf::HitCheck(RunState&, int side, const Vec3& c, const Vec3& s, const Vec3& v,
                           Vec3* contact) {
  const Vec3 w{world[3][0], world[3][1], world[3][2]};
  if (std::fabs(w.x - c.x) >= 7 || std::fabs(w.z - c.z) >= 5 || std::fabs(w.y - c.y) >= 5) return 0;
  return RayTest(side, c, s, v, contact, true);
}
