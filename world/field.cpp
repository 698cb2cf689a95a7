#include "world/field.h"

#include <algorithm>
#include <cmath>

#include "base/det_math.h"
#include "base/frame_time.h"
#include "platform/graphics.h"
#include "render/sound_sets.h"
#include "render/view_clearance.h"
#include "world/camera.h"
#include "world/chips.h"
#include "world/devices.h"
#include "world/game_state.h"
#include "world/info_board.h"
#include "world/player.h"
#include "world/run_state.h"
#include "world/walls.h"
#include "world/world_values.h"

namespace {

constexpr float kWaveOffsets[4] = {5, 20, 45, 5};
const Vec3 kBurstSpread{5, 10, 5};
// The carried chip rides this far in front of the camera's look-at point.
constexpr float kCarryDistance = 1.25f + 0.9f;
constexpr float kLiftRise = 4;
constexpr float kLiftSeconds = 0.5f;
constexpr float kGrowSeconds = 0.5f;
constexpr float kMaxSelectSize = 4;

OneChip* AsChip(GimmickNode* node) {
  return node ? static_cast<OneChip*>(node->object.get()) : nullptr;
}

// How far the great wave travels along z per frame in the current mode.
float WaveSpeed(RunState& run) {
  switch (run.game.gameMode) {
    case kModeBlownAway:
      return 0.4f;
    case kModeBossBattle:
      return 0.5f;
    default:
      return 0.1f;
  }
}

}  // namespace

float WaveOffset(int stage) {
  return stage >= 0 && stage < 4 ? kWaveOffsets[stage] : kWaveOffsets[0];
}

Field::Field(RunState& run) : run_(run) {
  run.starGathers = &starGathers;
}

Field::~Field() {
  if (run_.starGathers == &starGathers) run_.starGathers = nullptr;
}

bool Field::Selectable(const GimmickNode* node) {
  if (node->kind == kKindChip || node->kind == kKindEncounter) return true;
  return node->kind == kKindInvisible &&
         dynamic_cast<const MoveBlock*>(node->object.get()) != nullptr;
}

bool Field::Contains(const std::vector<GimmickNode*>& list, const GimmickNode* node) {
  return std::find(list.begin(), list.end(), node) != list.end();
}

int Field::Init(RunState& run) {
  float largestX = 0, smallestX = -1, smallestZ = 0;
  GimmickNode* last = nullptr;
  for (GimmickNode* n = head; n; n = n->next) {
    GimmickBase* o = n->object.get();
    if (!o->Init(run)) return 0;
    if (o->position.x > largestX) largestX = o->position.x;
    if (o->position.x <= largestX && (smallestX < 0 || o->position.x < smallestX))
      smallestX = o->position.x;
    if (o->position.z < smallestZ) smallestZ = o->position.z;
    n->kind = o->gimmickKind;
    n->state = o->state;
    ++count;
    last = n;
  }
  GimmickNode* prev = nullptr;
  for (GimmickNode* n = head; n; n = n->next) {
    n->prev = prev;
    prev = n;
  }
  tail = last;

  WorldValues& w = run.world;
  w.goalX = w.goalPosition.x;
  w.smallestX = smallestX;
  w.frontEdgeZ = smallestZ;

  const float offset = WaveOffset(run.game.stageNumber);
  riverWaves.offset = offset;
  breakWave.position.x -= offset;
  breakWave.UpdateMatrix();
  if (!breakWave.Init(run) || !riverSurface.Create() || !LoadInfoTexts(run.panel)) return 0;
  run.gameRandom.Seed(static_cast<unsigned>(TimeSeed()));
  return 1;
}

void Field::SetDown(std::vector<GimmickNode*>& list) {
  for (GimmickNode* n : list) {
    GimmickBase* o = n->object.get();
    if (o->state == kStateSpecial) {
      o->position.y = 0;
      o->UpdateMatrix();
    }
    o->state = kStateNormal;
    n->state = kStateNormal;
  }
  list.clear();
}

void Field::StartBursts(RunState& run, const Vec3& at, int upsideDown) {
  for (StarBurst& b : bursts) {
    b.Start(run.drawRandom, upsideDown, at, kBurstSpread);
    b.Activate();
  }
}

void Field::Update(RunState& run, CharacterList& characters) {
  Player* player = static_cast<Player*>(characters.front());

  // 1. The wave's front: it never passes the goal section.
  const bool frontActive = !breakWave.finished && (breakWave.phase == 0 || breakWave.phase == 1);
  float front = 0;
  if (frontActive) {
    front = breakWave.position.x + breakWave.stepX;
    if (run.world.goalX <= front) breakWave.position.x = run.world.goalX - breakWave.stepX;
  }

  // 2. Every gimmick's own action; the wave's front blows gimmicks away.
  const float sweepZ = breakWave.position.z - WaveSpeed(run) * 4;
  for (GimmickNode* n = tail; n; n = n->prev) {
    n->object->Action(run, player);
    n->state = n->object->state;
    if (frontActive && std::fabs(n->Position().z - sweepZ) <= 1 && n->Position().x <= front &&
        n->state != kStateGone)
      SweepWithWave(run, n, player);
  }

  // 3. Gone gimmicks leave the list.
  RemoveGone();

  // 4. The moving blocks' shared ride values.
  const int stage = run.game.stageNumber;
  if (stage == 1 || stage == 2) {
    WorldValues& w = run.world;
    w.carriedThisFrame = 0;
    if (w.rideRequested) {
      w.rideRequested = 0;
      w.moving = 1;
    }
  }

  // 5. The chips, unless a board is being read.
  if (!run.world.boardReading) {
    ChipHandling(run, player);
    if (held) HeldChip(run);
    starGathers.Update(player->upsideDown);
    for (StarBurst& b : bursts) b.Update(player->upsideDown);
    breakWave.Action(run, *player);
  }

  // 6. The river.
  riverSurface.Scroll();
  riverWaves.x = breakWave.position.x;
}

void Field::SweepWithWave(RunState& run, GimmickNode* n, Player* player) {
  if (Contains(selectOuter, n)) {
    for (GimmickNode* s : selectOuter) s->state = kStateNormal;
    selectOuter.clear();
    player->action = kActionIdle;
  }
  if (Contains(selectInner, n)) selectInner.clear();
  n->object->state = kStateBlownAway;
  n->state = kStateBlownAway;
  if (n == held) {
    AsChip(held)->hitInfo.burst = 1;
    player->action = kActionIdle;
  }
  run.sound.PlayOnce(kSeBigWave);
}

void Field::RemoveGone() {
  GimmickNode* n = tail;
  while (n) {
    GimmickNode* before = n->prev;
    if (n->state == kStateGone) {
      for (auto* list : {&selectOuter, &selectInner, &previousOuter, &previousInner})
        list->erase(std::remove(list->begin(), list->end(), n), list->end());
      if (n == held) held = nullptr;
      if (n->prev) n->prev->next = n->next;
      if (n->next) n->next->prev = n->prev;
      if (n == head) head = n->next;
      if (n == tail) tail = n->prev;
      n->object->Release();
      delete n;  // and its object
      --count;
    }
    n = before;
  }
}

void Field::ChipHandling(RunState& run, Player* player) {
  const int action = player->action;
  if (action & kActionSelecting) {
    if (player->request == 2)
      SelectForFlip(run, player);
    else if (player->request == 1)
      SelectForLift(player);
  } else if (action & kActionIdle) {
    if (!selectOuter.empty()) {
      SetDown(selectOuter);
      SetDown(selectInner);
    }
    selectTimer = 0;
    selectSize = 2;
    if (held && !AsChip(held)->hitInfo.carried) {
      held->object->state = kStateNormal;
      held->state = kStateNormal;
      held = nullptr;
    }
  } else if (action & kActionFlip) {
    Flip(run, player);
  } else if (action & kActionFlipRunning) {
    FlipRunning(run, player);
  } else if (action & kActionLift) {
    Lift(run, player);
  } else if (action & kActionCarrying) {
    Carry(run, player);
  }
}

void Field::SelectForFlip(RunState& run, Player* player) {
  previousOuter = selectOuter;
  previousInner = selectInner;
  SetDown(selectOuter);
  SetDown(selectInner);

  selectTimer += GetDeltaTime();
  if (selectTimer >= kGrowSeconds) {
    selectTimer = 0;
    if (selectSize < kMaxSelectSize) {
      selectSize += 1;
      run.sound.PlayOnce(kSeSystem);
    }
  }

  const Vec3 c = player->cursor;
  bool blocked = false;
  for (GimmickNode* n = tail; n; n = n->prev) {
    const Vec3 d = n->Position() - c;
    if (std::fabs(d.x) >= selectSize - 0.5f || std::fabs(d.z) >= selectSize - 0.5f ||
        std::fabs(d.y) >= 1)
      continue;
    if (n->state != kStateNormal || !Selectable(n)) {
      blocked = true;
      break;
    }
    const bool inner = std::fabs(d.x) < selectSize - 1.5f && std::fabs(d.z) < selectSize - 1.5f;
    const int mark = inner ? kStateMarkedInner : kStateTaken;
    n->object->state = mark;
    n->state = mark;
    (inner ? selectInner : selectOuter).push_back(n);
  }
  if (!blocked) return;

  // The square may not cover this gimmick: fall back to the last square's
  // ring and move the cursor to its centre.
  for (auto* list : {&selectOuter, &selectInner})
    for (GimmickNode* n : *list) {
      n->object->state = kStateNormal;
      n->state = kStateNormal;
    }
  selectOuter = previousOuter;
  selectInner.clear();
  if (!selectOuter.empty()) {
    float minX = selectOuter[0]->Position().x, maxX = minX;
    float minZ = selectOuter[0]->Position().z, maxZ = minZ;
    for (GimmickNode* n : selectOuter) {
      n->object->state = kStateTaken;
      n->state = kStateTaken;
      minX = std::min(minX, n->Position().x);
      maxX = std::max(maxX, n->Position().x);
      minZ = std::min(minZ, n->Position().z);
      maxZ = std::max(maxZ, n->Position().z);
    }
    player->cursor.x = (minX + maxX) / 2;
    player->cursor.z = (minZ + maxZ) / 2;
  }
  if (selectTimer == 0) {
    selectSize -= 1;
    run.sound.Request(kSeSystem, 0);
  }
}

void Field::SelectForLift(Player* player) {
  const Vec3 c = player->cursor;
  GimmickNode* under = nullptr;
  for (GimmickNode* n = tail; n; n = n->prev) {
    const Vec3 d = n->Position() - c;
    if (Selectable(n) && std::fabs(d.x) <= 0.5f && std::fabs(d.z) <= 0.5f && std::fabs(d.y) <= 1) {
      under = n;
      break;
    }
  }
  if (under) {
    if (under->state == kStateNormal) {
      if (held && held != under) {
        held->object->state = kStateNormal;
        held->state = kStateNormal;
      }
      held = under;
      if (!AsChip(under)->hitInfo.carried) {
        under->object->state = kStateTaken;
        under->state = kStateTaken;
      }
    }
  } else if (held) {
    player->cursor.x = held->Position().x;
    player->cursor.y = held->Position().y;
    player->cursor.z = held->Position().z;
  }
}

void Field::Flip(RunState& run, Player* player) {
  if (selectInner.empty()) {
    player->action = kActionIdle;
    return;
  }
  run.sound.Request(kSeRotate, 2);
  float minX = selectInner[0]->Position().x, maxX = minX;
  float minZ = selectInner[0]->Position().z, maxZ = minZ;
  for (GimmickNode* n : selectInner) {
    minX = std::min(minX, n->Position().x);
    maxX = std::max(maxX, n->Position().x);
    minZ = std::min(minZ, n->Position().z);
    maxZ = std::max(maxZ, n->Position().z);
  }
  const float centreX = (minX + maxX) / 2, centreZ = (minZ + maxZ) / 2;
  const float firstY = selectInner[0]->Position().y;
  for (GimmickNode* n : selectInner) {
    GimmickBase* o = n->object.get();
    o->state = kStateFlipping;
    n->state = kStateFlipping;
    o->flipCentre = {centreX, firstY, centreZ};
    o->flipOffset = {0, 0, o->position.z - centreZ};
    o->startPosition = o->position;
    o->flipRise = player->upsideDown ? -kLiftRise : kLiftRise;
  }
  player->action = kActionFlipStarted;
}

void Field::FlipRunning(RunState& run, Player* player) {
  if (selectInner.empty()) {
    // The wave took the area while it turned: end the flip all the same, so
    // the player can act again and the turning sound stops.
    run.sound.Request(kSeRotate, 0);
    player->action = kActionIdle;
    SetDown(selectOuter);
    selectOuter = previousOuter;
    return;
  }
  if (selectInner[0]->state != kStateNormal) return;
  run.sound.Request(kSeRotate, 0);
  player->action = kActionIdle;
  SetDown(selectOuter);
  selectOuter = previousOuter;
  SetDown(selectInner);
  Damage(run.game);
}

void Field::Lift(RunState& run, Player* player) {
  OneChip* chip = AsChip(held);
  if (!chip || chip->hitInfo.flying) {
    player->action = kActionIdle;
    return;
  }
  if (!run.sound.IsPlaying(kSeUp2)) run.sound.PlayOnce(kSeUp2);
  if (chip->timer == 0) {
    chip->startPosition = chip->position;
    chip->upsideDown = player->upsideDown;
  }
  chip->timer = std::min(chip->timer + GetDeltaTime(), kLiftSeconds);
  chip->position.y = EaseOut(chip->upsideDown ? -kLiftRise : kLiftRise, chip->startPosition.y,
                             kLiftSeconds, chip->timer);
  chip->UpdateMatrix();
  if (chip->timer >= kLiftSeconds) {
    StartBursts(run, chip->position, chip->upsideDown);
    Damage(run.game);
    chip->timer = 0;
    player->action = kActionCarrying;
    chip->hitInfo.carried = 1;
    run.sound.Request(kSeUp2, 0);
    run.sound.PlayOnce(kSeSelect);
  }
  StarGather* gather = starGathers.Add();
  gather->SetMode(1);
  gather->Start(run.drawRandom, chip->upsideDown, chip->position,
                static_cast<float>(player->chargeFrames) / 1000);
  chip->hitInfo.level = player->chargeLevel;
  chip->state = kStateNormal;
  held->state = kStateNormal;
}

void Field::Carry(RunState& run, Player* player) {
  OneChip* chip = AsChip(held);
  if (!chip) {
    player->action = kActionIdle;
    return;
  }
  const float level = player->chargeLevel;
  const int frames = player->chargeFrames;
  if (frames >= 115 && frames <= 119) {
    if (frames != lastChargeFrames) {
      StarBurst& b = bursts[frames - 115];
      b.Start(run.drawRandom, chip->upsideDown, chip->position, kBurstSpread);
      b.Activate();
    }
  } else if (frames != lastChargeFrames && player->throwNow && frames != 120) {
    StarGather* gather = starGathers.Add();
    gather->SetMode(1);
    gather->Start(run.drawRandom, chip->upsideDown, chip->position,
                  static_cast<float>(frames) / 1000);
  }
  lastChargeFrames = static_cast<float>(frames);

  const float spin = level >= 3 ? 10.0f : level >= 2 ? 5.0f : 1.0f;
  chip->rotation.x += spin;
  chip->rotation.y += spin;
  if (level != chip->hitInfo.level) {
    run.sound.PlayOnce(kSeSelect);
    StartBursts(run, chip->position, chip->upsideDown);
  }

  const float yaw = player->rotation.y * kDegToRad;
  const Vec3 target =
      run.camera.lookAt + Vec3{dmath::Sin(yaw), 0, dmath::Cos(yaw)} * kCarryDistance;
  chip->position.x += (target.x - chip->position.x) / 3;
  chip->position.z += (target.z - chip->position.z) / 3;
  const float targetY = target.y - (player->upsideDown ? 0.25f : 0.05f);
  chip->position.y += (targetY - chip->position.y) / 4;
  chip->UpdateMatrix();

  if (player->throwNow) {
    player->throwNow = 0;
    player->action = kActionIdle;
    player->chargeLevel = 1.5f;
    chip->hitInfo.flying = 1;
    chip->gravityOn = 1;
    chip->velocity = {dmath::Sin(yaw), 0, dmath::Cos(yaw)};
    run.sound.PlayOnce(kSeThrow);
  }
  chip->hitInfo.level = level;
}

void Field::DropHeld(RunState& run) {
  held->object->state = kStateGone;
  held = nullptr;
  run.sound.Request(kSeCharge, 0);
  run.sound.Request(kSeThrow, 0);
  run.sound.PlayOnce(kSeHit);
}

void Field::HeldChip(RunState& run) {
  OneChip* chip = AsChip(held);
  const float e = chip->hitInfo.level;
  if (chip->state == kStateWashedAway && run.sound.GetRequest(kSeCharge) == 2)
    run.sound.Request(kSeCharge, 0);
  if (chip->hitInfo.burst) {
    StartBursts(run, chip->position, chip->upsideDown);
    DropHeld(run);
    return;
  }
  if (chip->hitInfo.flying) {
    StarGather* spray = starGathers.Add();
    spray->SetMode(0);
    spray->Start(run.drawRandom, chip->upsideDown, chip->position);
  }

  bool shadowFound = false;
  const Vec3 p = chip->position;
  for (GimmickNode* n = tail; n; n = n->prev) {
    if (n == held) continue;
    const Vec3& q = n->Position();
    const Vec3& s = n->Size();
    if (std::fabs(q.x - p.x) >= s.x || std::fabs(q.z - p.z) >= s.z) continue;
    Vec3 contact = p;
    const int flags =
        n->object->HitCheck(run, chip->upsideDown, p, {e, e, e}, chip->velocity, &contact);
    if (chip->hitInfo.flying && flags != 0 && flags != kFaceOver) {
      if (n->kind == kKindRotaWall) {
        auto* wall = static_cast<RotaWall*>(n->object.get());
        if (wall->turnState & 2) {
          wall->turnSpeed = q.y > p.y ? -chip->velocity.x : chip->velocity.x;
          if (wall->turnState == 2) run.sound.PlayOnce(kSeRotaWall);
          wall->turnState = 4;
        }
      } else if (n->kind == kKindWallPiece) {
        BreakWall(run, n);
      }
      StartBursts(run, chip->position, chip->upsideDown);
      DropHeld(run);
      return;
    }
    // The star's shadow: only a face the star is exactly over counts.
    if (FindGround((flags & kFaceOver) && (flags & kFaceStand), flags == kFaceOver, p,
                   chip->upsideDown, contact, &chip->hitInfo.shadowPoint))
      shadowFound = true;
  }
  if (held && !shadowFound)
    chip->hitInfo.shadowPoint = {p.x, chip->upsideDown ? 15.0f : -15.0f, p.z};
}

void Field::Draw(RunState& run, const CharacterBase& player) {
  breakWave.Draw(run);
  struct Translucent {
    GimmickBase* object;
    float distance;
  };
  std::vector<Translucent> translucent;
  const Vec3 eye = view_clearance::DrawnEye();
  for (GimmickNode* n = tail; n; n = n->prev) {
    if (n == held || !IsInView(n->Position())) continue;
    GimmickBase* o = n->object.get();
    if (o->alpha == 0 || o->alpha == 255)
      o->Draw(run);
    else
      translucent.push_back({o, Vec3Length(o->position - eye)});
  }
  sky.UpdateAndDraw(run, player);
  const bool heldWashedAway = held && held->object->state == kStateWashedAway;
  if (heldWashedAway) starGathers.Draw();
  riverSurface.Draw(run, player, -15);
  std::stable_sort(
      translucent.begin(), translucent.end(),
      [](const Translucent& a, const Translucent& b) { return a.distance > b.distance; });
  for (const Translucent& t : translucent) t.object->Draw(run);
  if (held) held->object->Draw(run);
  for (StarBurst& b : bursts) b.Draw();
  if (!heldWashedAway) starGathers.Draw();
}

void Field::Release() {
  starGathers.Clear();
  // Every node is on the next chain, linked or not (a failed Init leaves the
  // prev links unset); release them in file order, that is from the end.
  std::vector<GimmickNode*> nodes;
  for (GimmickNode* n = head; n; n = n->next) nodes.push_back(n);
  for (auto it = nodes.rbegin(); it != nodes.rend(); ++it) {
    (*it)->object->Release();
    delete *it;  // and its object
  }
  head = tail = held = nullptr;
  count = 0;
  selectOuter.clear();
  selectInner.clear();
  previousOuter.clear();
  previousInner.clear();
  riverSurface.Release();
  ClearInfoTexts(run_.panel);
}
