#include "world/character_manager.h"

#include <cmath>
#include <vector>

#include "base/frame_time.h"
#include "platform/input.h"
#include "render/sound_sets.h"
#include "world/devices.h"
#include "world/enemies.h"
#include "world/field_chip.h"
#include "world/game_state.h"
#include "world/player.h"
#include "world/run_state.h"
#include "world/walls.h"
#include "world/world_values.h"

namespace {

constexpr float kStunSeconds = 6;

EnemyBase* AsEnemy(CharacterBase* c) {
  return c->kind == CharacterKind::kEnemy ? static_cast<EnemyBase*>(c) : nullptr;
}

bool Falling(int state) {
  return state == kStateWashedAway || state == kStateBlownAway || state == kStateFalling;
}

}  // namespace

CameraSubject SubjectOf(const CharacterBase& c) {
  CameraSubject s;
  s.position = c.position;
  s.rotation = c.rotation;
  s.upsideDown = c.upsideDown;
  s.state = c.state;
  s.pivot = c.flipCentre;
  s.heightOffset = c.flipRise;
  return s;
}

CharacterManager::CharacterManager(RunState& run) : player(new Player(run)) {
  characters.push_back(player);
  if (run.game.stageNumber == 2) fishSpawner = std::make_unique<FishSpawner>();
}

CharacterManager::~CharacterManager() {
  Release();
}

int CharacterManager::Init(RunState& run, const InputFrame& input) {
  if (run.game.bossEventSeen == 1) {
    player->position = run.world.goalPosition + Vec3{-5, 3, 0};
    player->rotation = {0, 90, 0};
  }
  for (CharacterBase* c : characters)
    if (!c->Init(run)) return 0;
  InitCamera(run.camera, SubjectOf(*player));
  UpdateCamera(run.camera, SubjectOf(*player), player->action, player->standing, input);
  return 1;
}

void CharacterManager::Release() {
  for (CharacterBase* c : characters) c->Release();
  characters.clear();  // deletes them
  player = nullptr;
}

void CharacterManager::SpawnFish(RunState& run) {
  const float x = player->position.x;
  if (!(x > 15 && x < 55)) return;
  fishSpawner->timer += GetDeltaTime();
  if (fishSpawner->timer <= 0.25f) return;
  auto* fish = new Pisces(run);
  fish->SetAngleStep(1.0f);
  fish->SetForwardSpeed(0.5f);
  fish->SetLeapHeight(0.55f);
  const float front = run.world.frontEdgeZ;
  const bool far = fishSpawner->farSide != 0;
  fish->position = {x + 9, player->upsideDown ? 10.0f : -10.0f,
                    far ? front / 2 + 40 : front / 2 - 35};
  fish->rotation = {0, far ? 180.0f : 0.0f, player->upsideDown ? 180.0f : 0.0f};
  fish->upsideDown = player->upsideDown;
  characters.push_back(fish);
  fishSpawner->farSide = !fishSpawner->farSide;
  fishSpawner->timer = 0;
}

int CharacterManager::Update(RunState& run, GimmickNode* gimmickTail, const InputFrame& input) {
  if (run.game.stageNumber == 2 && fishSpawner) SpawnFish(run);

  CameraSubject snapshot = SubjectOf(*player);
  std::vector<Record> records;
  records.reserve(characters.size() + 1);
  CharacterBase* quakeEnemy = nullptr;

  for (auto it = characters.begin(); it != characters.end();) {
    CharacterBase* c = *it;
    EnemyBase* enemy = AsEnemy(c);
    if (c->state == kStateNormal || c->state == kStateSpecial) {
      records.push_back(RecordOf(c, enemy));
      if (records.back().quake) quakeEnemy = c;
    } else if (Falling(c->state)) {
      if (c == player || (enemy && enemy->isMob == 0 && run.game.bossesLeft <= 1)) {
        if (run.camera.mode != kCameraRise) {
          run.camera.fixedEye = run.camera.eye;
          SetCameraMode(run.camera, kCameraRise);
        }
        snapshot = SubjectOf(*c);
      }
      if (c->fallSounded == 0) {
        c->fallSounded = 1;
        run.sound.PlayOnce(kSeWaterFall);
      }
    } else if (c->state == kStateGone && Retire(run, c, enemy, snapshot)) {
      it = characters.erase(it);
      continue;
    }
    if (c->state != kStateGone && (run.camera.mode != kCameraRise || Falling(c->state))) {
      if (c == player) {
        player->Update(run, input);
        if (run.camera.mode != kCameraRise) snapshot = SubjectOf(*player);
      } else if (enemy) {
        // On the twins' stage, in the battle, Castor's stars meet the
        // gimmicks before Castor acts.
        if (run.game.gameMode == kModeBossBattle && run.game.stageNumber == 1 &&
            enemy->isMob == 0 && enemy->twin == 1)
          if (auto* castor = dynamic_cast<Castor*>(enemy)) castor->HitGimmicks(run, gimmickTail);
        enemy->Act(run, characters);
      }
    }
    ++it;
  }

  bool touchedGround = false;
  for (GimmickNode* n = gimmickTail; n; n = n->prev)
    for (Record& r : records) Collide(run, n, r, snapshot, touchedGround, quakeEnemy);

  if (!touchedGround) player->standing = 0;
  for (Record& r : records) {
    CharacterBase* c = r.character;
    if (!r.supported && (c->state == kStateNormal || c->state == kStateSpecial))
      c->groundPoint = {c->position.x, c->upsideDown ? 15.0f : -15.0f, c->position.z};
  }
  const int sideChange =
      UpdateCamera(run.camera, snapshot, player->action, player->standing, input);
  run.game.playerUnderside = player->upsideDown;
  return sideChange;
}

CharacterManager::Record CharacterManager::RecordOf(CharacterBase* c, const EnemyBase* enemy) {
  Record r{c, c->upsideDown};
  if (enemy) {
    r.quake = enemy->enemyFlag == kEnemyQuake;
    r.quakeRadius = enemy->quakeRadius;
    r.crush = enemy->crushing != 0;
    r.crushRadius = enemy->crushRadius;
    r.flipWalker = (enemy->enemyFlag & kEnemyFlipFloor) != 0;
  }
  return r;
}

bool CharacterManager::Retire(RunState& run, CharacterBase* c, EnemyBase* enemy,
                              CameraSubject& snapshot) {
  if (c == player) {
    run.game.gameMode = kModeGameOver;
    return false;
  }
  // A character lowers the count it raised when it was loaded; the fish that
  // the jar and the river make raised none, so the counts never go below
  // zero.
  const int counted = enemy ? enemy->countedAs : kCountedNowhere;
  if (counted == kCountedEnemy) {
    run.game.enemiesLeft -= 1;
  } else if (counted == kCountedBoss) {
    run.game.bossesLeft -= 1;
    snapshot.position = c->position;
  }
  if (counted != kCountedNowhere && run.game.gameMode != kModeBridge) CheckEnemiesLeft(run.game);
  c->Release();
  return true;
}

void CharacterManager::Collide(RunState& run, GimmickNode* n, Record& r, CameraSubject& snapshot,
                               bool& touchedGround, CharacterBase* quakeEnemy) {
  CharacterBase* c = r.character;
  GimmickBase* g = n->object.get();
  const Vec3& gp = g->position;

  if (r.quake && n->state == kStateNormal) QuakeLifts(run, n, r);

  // Coarse test on full sizes, then the gimmick's own test.
  if (std::fabs(gp.x - c->position.x) >= g->size.x + c->size.x ||
      std::fabs(gp.z - c->position.z) >= g->size.z + c->size.z)
    return;
  Vec3 contact = c->position;
  const int flags = g->HitCheck(run, r.upsideDown, c->position, c->size, c->velocity, &contact);
  if (flags == 0) return;

  // Push out, or be struck by a thrown chip.
  if (flags != kFaceOver) {
    if (g->hitInfo.carried) {
      if (c != player && c->upsideDown == g->upsideDown && g->hitInfo.flying) {
        c->velocity = g->velocity * (g->hitInfo.level * 2);
        c->knockBack = 1;
      }
    } else {
      c->PushOut(flags, contact);
      if (c == player && run.camera.mode != kCameraRise) snapshot = SubjectOf(*player);
    }
  }

  // Ground and shadow: the nearest surface under the character.
  if (FindGround((flags & kFaceOver) && (flags & kFaceStand), (flags & kFaceOver) != 0, c->position,
                 c->upsideDown, contact, &c->groundPoint))
    r.supported = true;

  if (c == player) PlayerTouches(run, *n, touchedGround);
  if (EnemyBase* enemy = AsEnemy(c)) EnemyMeets(run, n, r, flags, enemy);
  if (flags & kFaceOver) Ride(run, *n, *c, quakeEnemy);
}

// The shock ring of a quake enemy lifts the chips it passes.
void CharacterManager::QuakeLifts(RunState& run, GimmickNode* n, const Record& r) {
  const CharacterBase* c = r.character;
  GimmickBase* g = n->object.get();
  const float dx = g->position.x - c->position.x, dz = g->position.z - c->position.z;
  const float d2 = dx * dx + dz * dz;
  const float rr = r.quakeRadius;
  if (rr * rr >= d2 && (rr - 0.3f) * (rr - 0.3f) < d2 &&
      (n->kind == kKindChip || n->kind == kKindEncounter)) {
    g->state = kStateSpecial;
    if (n->kind == kKindChip) {
      run.sound.PlayOnce(kSeQuake);
      g->bounce.active = 1;
      g->bounce.speed = c->upsideDown ? -0.2f : 0.2f;
      g->bounce.timer = 0;
    }
  }
}

// What the player touched: ground to stand on, the boss's encounter cells
// and the goal.
void CharacterManager::PlayerTouches(RunState& run, const GimmickNode& n, bool& touchedGround) {
  switch (n.kind) {
    case kKindInvisible:
      if (auto* block = dynamic_cast<MoveBlock*>(n.object.get())) {
        player->standing = block->arrived ? 1 : 2;
        touchedGround = true;
      }
      break;
    case kKindEncounter:
      if (run.game.gameMode == kModeBossArmed) run.game.gameMode = kModeBossEncounter;
      break;
    case kKindGoal:
      run.game.gameMode = kModeGoal;
      break;
    default:
      player->standing = 1;
      touchedGround = true;
      break;
  }
}

// What enemies do to the floor (crush it, flip it), and walls to enemies
// (a wall an active enemy runs into stuns it; a wall piece breaks).
void CharacterManager::EnemyMeets(RunState& run, GimmickNode* n, const Record& r, int flags,
                                  EnemyBase* enemy) {
  CharacterBase* c = r.character;
  GimmickBase* g = n->object.get();
  const Vec3& gp = g->position;
  if (r.crush) {
    if (std::fabs(gp.x - c->position.x) <= r.crushRadius &&
        std::fabs(gp.z - c->position.z) <= r.crushRadius && n->state == kStateNormal &&
        !g->hitInfo.carried) {
      g->state = kStateGone;
      n->state = kStateGone;
    }
  } else if (r.flipWalker) {
    // Only a resting gimmick starts a flip; one already turning keeps its
    // own course.
    if (std::fabs(gp.x - c->position.x) <= c->size.x &&
        std::fabs(gp.z - c->position.z) <= c->size.x && n->state == kStateNormal) {
      g->state = kStateFlipping;
      n->state = kStateFlipping;
      g->flipCentre = g->startPosition = gp;
      g->flipRise = c->upsideDown ? -4.0f : 4.0f;
      g->timer = 0;
      g->flipOffset = {};
      if (c->state != kStateFlipping) c->state = kStateFlipping;
    }
  }
  if (flags != kFaceOver && (n->kind == kKindWall || n->kind == kKindWallPiece) &&
      enemy->enemyFlag == kEnemyActive) {
    enemy->enemyFlag = kEnemyStunned;
    enemy->stunTimer = kStunSeconds;
    enemy->velocity = -enemy->velocity;
    enemy->knockBack = 1;
    if (n->kind == kKindWallPiece) BreakWall(run, n);
  }
}

// Standing on a gimmick that moves on its own: blown away with it, turned
// over with it, or thrown off by a quake.
void CharacterManager::Ride(RunState& run, const GimmickNode& n, CharacterBase& c,
                            CharacterBase* quakeEnemy) {
  const GimmickBase* g = n.object.get();
  if (n.state == kStateBlownAway) {
    c.state = kStateBlownAway;
    c.gravityOn = 0;
    if (&c == player) run.game.gameMode = kModeBlownAway;
  } else if (n.state == kStateFlipping) {
    const bool beyond = c.upsideDown ? c.position.y < g->position.y : c.position.y > g->position.y;
    if (beyond && g->timer == 0) {
      c.state = kStateFlipping;
      c.flipPhase = 0;
      c.timer = 0;
      c.flipCentre = g->flipCentre;
      c.flipOffset = g->flipOffset;
      c.flipOffset.y += c.upsideDown ? -0.5f : 0.5f;
      c.startPosition = c.position;
      c.flipRise = g->flipRise;
    }
  } else if (n.state == kStateSpecial) {
    if (&c == player && !player->knockBack && quakeEnemy) {
      const Vec3& q = quakeEnemy->position;
      player->velocity = {player->position.x >= q.x ? 5.0f : -5.0f, 0,
                          player->position.z >= q.z ? 5.0f : -5.0f};
      player->knockBack = 1;
      static_cast<EnemyBase*>(quakeEnemy)->enemyFlag = kEnemyQuakeOver;
    }
    if (run.game.stageNumber == 3 && &c != player) c.state = kStateSpecial;
  }
}
