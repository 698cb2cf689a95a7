#include "world/field_chip.h"

#include <cmath>
#include <fstream>
#include <sstream>

#include "base/report_error.h"
#include "render/constants.h"
#include "render/preload.h"
#include "world/chips.h"
#include "world/devices.h"
#include "world/enemies.h"
#include "world/game_state.h"
#include "world/info_board.h"
#include "world/player.h"
#include "world/run_state.h"
#include "world/walls.h"
#include "world/world_values.h"

namespace {

// Numbers grow by a digit a character; a stage file with absurdly long digit
// runs is kept to finite values instead of overflowing to infinity.
constexpr float kNumberLimit = 1e6f;

}  // namespace

int FieldChip::Get() {
  if (pos_ >= bytes_->size()) {
    ++pos_;  // a read past the end still moves, so a put-back returns to the end
    return -1;
  }
  return static_cast<unsigned char>((*bytes_)[pos_++]);
}

bool FieldChip::ReadNumber(float* value, bool negatives, bool commaEnds) {
  float v = 0;
  for (;;) {
    const int c = Get();
    if (c < 0) {
      *value = v;
      return false;
    }
    if ((commaEnds && c == ',') || c == 'E') break;
    if (negatives && c == '-') {
      v = -v;
      continue;
    }
    const float digit = static_cast<float>(c - '0');
    v = v == 0 ? digit : v * 10 + digit;
    if (v > kNumberLimit) v = kNumberLimit;
    if (v < -kNumberLimit) v = -kNumberLimit;
  }
  *value = v;
  return true;
}

bool FieldChip::ReadFacing(float* yaw, bool board) {
  const int c = Get();
  if (c < 0) return false;
  if (c != 'R') {
    PutBack();
    return true;
  }
  const int d = Get();
  if (d < 0) return false;
  switch (d) {
    case 'F':
      *yaw = 0;
      break;
    case 'B':
      *yaw = 180;
      break;
    case 'R':
      *yaw = board ? 270.0f : 90.0f;
      break;
    case 'L':
      *yaw = board ? 90.0f : 270.0f;
      break;
    default:
      PutBack();
      break;
  }
  return true;
}

void FieldChip::Prepend(GimmickBase* object) {
  auto* node = new GimmickNode();
  node->object.reset(object);
  node->next = *head_;
  *head_ = node;
}

// A cell cut off by the end of the file after its height still stands (a
// file without a final line end keeps its last cell); the load then ends.
bool FieldChip::CommonTail(GimmickBase* g) {
  float h = 0;
  Vec3 rot{0, 0, 0};
  bool more = ReadNumber(&h);
  if (more) more = ReadFacing(&rot.y);
  if (section == 2) {
    if (g->gimmickKind == kKindRotaWall) {
      rot.x += 180;
      rot.y += 180;
    } else {
      rot.z += 180;
    }
    g->upsideDown = 1;
    h = -h;
  }
  if (g->gimmickKind == kKindGate) run_.world.goalPosition = {column, level, row};
  g->position = {column, level + h, row};
  g->rotation = g->rotation + rot;
  Prepend(g);
  if (more) StepBack();
  return more;
}

bool FieldChip::InvisibleTail(GimmickBase* g) {
  g->gimmickKind = kKindInvisible;
  float h = 0;
  Vec3 rot{0, 0, 0};
  bool more = ReadNumber(&h);
  if (more) more = ReadFacing(&rot.y);
  if (section == 2) {
    rot.x += 180;
    g->upsideDown = 1;
    h = -h;
  }
  g->position = {column, level + h, row};
  g->rotation = rot;
  Prepend(g);
  if (more) StepBack();
  return more;
}

bool FieldChip::CharacterTail(CharacterBase* ch) {
  float h = 0;
  Vec3 rot{0, 0, 0};
  bool more = ReadNumber(&h);
  if (more) more = ReadFacing(&rot.y);
  if (section == 2) {
    rot.z = 180;
    ch->upsideDown = 1;
    h = -h;
  }
  ch->position = {column, level + h, row};
  ch->rotation = rot;
  characters_->push_back(ch);
  if (more) StepBack();
  return more;
}

// The object codes: O followed by the object's letters. Each handler reads
// what follows its code; false means the file ended inside it.
bool FieldChip::ReadObjectCode() {
  const int c = Get();
  if (c < 0) return false;
  switch (c) {
    case 'N':
      return ReadChip(kKindChip);  // ON: a floor chip
    case 'D':
      return ReadChip(kKindStar);  // OD: a rock chip
    case 'H':
      return ReadStarChip();  // OH: a decorative star
    case 'C':
      return ReadTriggerChip();  // OCE, OCG: the encounter and goal triggers
    case 'G':
      return ReadGate();  // OG
    case 'I':
      return ReadItem();  // OI: a recovery spot
    case 'R':
      return ReadRotatingWall();  // ORN, ORH
    case 'W':
      return ReadWall();  // OWN, OWB
    case 'B':
      return ReadInfoBoard();  // OB
    case 'S':
      return ReadInvisibleFamily();  // OS...: invisible blocks and bridges
    default:
      return true;  // not a code: nothing is made
  }
}

bool FieldChip::ReadChip(int kind) {
  auto* chip = new OneChip(run_);
  chip->gimmickKind = kind;
  return CommonTail(chip);
}

bool FieldChip::ReadStarChip() {
  auto* star = new StarChip(run_);
  star->gimmickKind = kKindStar;
  return CommonTail(star);
}

bool FieldChip::ReadTriggerChip() {
  const int d = Get();
  if (d < 0) return false;
  if (d != 'E' && d != 'G') return true;
  float h = 0;
  const bool more = ReadNumber(&h);
  auto* chip = new OneChip(run_);
  chip->gimmickKind = d == 'E' ? kKindEncounter : kKindGoal;
  chip->position = {column, level + h, row};
  Prepend(chip);
  return more;
}

bool FieldChip::ReadGate() {
  auto* gate = new Gate(run_);
  gate->gimmickKind = kKindGate;
  return CommonTail(gate);
}

bool FieldChip::ReadItem() {
  level = section == 2 ? 0.5f : -0.5f;
  auto* item = new Item(run_, 0);
  item->gimmickKind = kKindItem;
  return CommonTail(item);
}

bool FieldChip::ReadRotatingWall() {
  const int d = Get();
  if (d < 0) return false;
  if (d != 'N' && d != 'H') return true;
  RotaWall* wall = d == 'N' ? new RotaWall(run_) : new RotaWallHalf(run_);
  wall->gimmickKind = kKindRotaWall;
  const int r = Get();  // an axis facing, or a filler character that is lost
  if (r < 0) {
    delete wall;
    return false;
  }
  if (r == 'R') {
    const int axis = Get();
    const int facing = axis < 0 ? -1 : Get();
    if (facing < 0) {
      delete wall;
      return false;
    }
    float angle = -1;
    switch (facing) {
      case 'F':
        angle = 0;
        break;
      case 'B':
        angle = 180;
        break;
      case 'R':
        angle = 90;
        break;
      case 'L':
        angle = 270;
        break;
      default:
        break;
    }
    if (angle >= 0 && axis == 'X') wall->rotation.x = angle;
    if (angle >= 0 && axis == 'Z') wall->rotation.z = angle;
  }
  return CommonTail(wall);
}

bool FieldChip::ReadWall() {
  const int d = Get();
  if (d < 0) return false;
  if (d == 'N') {
    auto* wall = new Wall(run_, 0);
    wall->gimmickKind = kKindWall;
    return CommonTail(wall);
  }
  if (d != 'B') return true;
  // OWB: the 36 pieces of a breakable wall, in one place.
  float h = 0, yaw = 0;
  bool more = ReadNumber(&h);
  if (more) more = ReadFacing(&yaw);
  if (section == 2) h = -h;
  for (int piece = 1; piece <= 36; ++piece) {
    auto* wall = new Wall(run_, piece);
    wall->gimmickKind = kKindWallPiece;
    wall->rotation = {0, yaw, 0};
    if (section == 2) {
      wall->rotation.z = 180;
      wall->upsideDown = 1;
    }
    wall->position = {column, level + h, row};
    Prepend(wall);
  }
  return more;
}

bool FieldChip::ReadInfoBoard() {
  float text = 0;
  if (!ReadNumber(&text, false, false)) return false;
  float h = 0;
  if (!ReadNumber(&h)) return false;
  float yaw = 0;
  if (!ReadFacing(&yaw, true)) return false;
  auto* board = new InfoBoard(run_, static_cast<int>(text));
  board->gimmickKind = kKindInfoBoard;
  board->rotation = {0, yaw, 0};
  if (section == 2) {
    board->rotation.z += 180;
    board->upsideDown = 1;
    h = -(h - 0.5f);
  } else {
    h = h - 0.5f;
  }
  board->position = {column, level + h, row};
  Prepend(board);
  StepBack();
  return true;
}

bool FieldChip::ReadInvisibleFamily() {
  const int d = Get();
  if (d < 0) return false;
  switch (d) {
    case 'A':
      return ReadAfterInvisible();
    case 'F':
      return ReadFlashing();
    case 'M':
      return ReadMoveBlock();
    case 'O':
      return InvisibleTail(new OnesideInvisible(run_));
    case 'B':
      return ReadBridge();
    default:
      return true;
  }
}

bool FieldChip::ReadAfterInvisible() {
  int mode = 0;
  const int e = Get();
  if (e < 0) return false;
  if (e == 'X') {
    mode = 0;
  } else if (e == 'Z') {
    const int f = Get();
    if (f < 0) return false;
    if (f == 'F')
      mode = 1;
    else if (f == 'B')
      mode = 2;
  }
  return InvisibleTail(new AfterInvisible(run_, mode));
}

bool FieldChip::ReadFlashing() {
  const int e = Get();
  if (e < 0) return false;
  const int fadingIn = e == 'T' ? 1 : 0;
  float step = 0, span = 0, period = 0;
  if (!ReadNumber(&step) || !ReadNumber(&span) || !ReadNumber(&period)) return false;
  return InvisibleTail(new Flashing(run_, fadingIn, step, column, column + span, period));
}

bool FieldChip::ReadMoveBlock() {
  float group = 0, time = 0;
  Vec3 offset;
  if (!ReadNumber(&group) || !ReadNumber(&time) || !ReadNumber(&offset.x, true) ||
      !ReadNumber(&offset.y, true) || !ReadNumber(&offset.z, true))
    return false;
  return InvisibleTail(new MoveBlock(run_, static_cast<int>(group), time, offset));
}

bool FieldChip::ReadBridge() {
  const int e = Get();
  if (e < 0) return false;
  int deck = -1, rail = -1;
  float yaw = 90;
  if (e == 'C') {  // OSBC: a deck
    deck = kMeshBridgeA;
    rail = kMeshHandrailA;
  } else if (e == 'E') {  // OSBEE, OSBES: the bridge's ends
    const int f = Get();
    if (f < 0) return false;
    if (f == 'E') {
      deck = kMeshBridgeB;
      rail = kMeshHandrailB;
      yaw = -90;
    } else if (f == 'S') {
      deck = kMeshBridgeB;
      rail = kMeshHandrailB;
    }
  }
  if (deck < 0) return true;
  auto* bridge = new Bridge(run_, deck);
  bridge->rotation = {0, yaw, 0};
  bridge->position = {column, level, row};
  Prepend(bridge);
  // An optional rail: T, then L (far side) or R (near side).
  const int t = Get();
  if (t < 0) return false;
  if (t != 'T') {
    PutBack();
    return true;
  }
  const int side = Get();
  if (side < 0) return false;
  if (side == 'L' || side == 'R') {
    auto* handrail = new Bridge(run_, rail);
    handrail->rotation = {0, yaw, 0};
    handrail->position = {column, level, row + (side == 'L' ? 0.3f : -0.3f)};
    Prepend(handrail);
  }
  return true;
}

bool FieldChip::ReadCharacterCode() {
  const int c = Get();
  if (c < 0) return false;
  if (c == 'P') {
    auto* player = characters_->empty() ? nullptr : dynamic_cast<Player*>(characters_->front());
    if (run_.game.bossEventSeen != 0 || !player) return true;  // the digits that follow are ignored
    float h = 0;
    if (!ReadNumber(&h)) return false;
    Vec3 rot{0, 0, 0};
    if (!ReadFacing(&rot.y)) return false;
    if (section == 2) {
      rot.z = 180;
      player->upsideDown = 1;
      h = -h;
    }
    player->position = {column, level + h, row};
    player->rotation = rot;
    return true;
  }
  if (c != 'E') return true;
  const int d = Get();
  if (d < 0) return false;
  auto boss = [&](EnemyBase* b) {
    run_.game.bossesLeft += 1;
    b->countedAs = kCountedBoss;
    return CharacterTail(b);
  };
  switch (d) {
    case 'A':
      return boss(new Aquarius(run_));
    case 'C':
      return boss(new Castor(run_));
    case 'P':
      return boss(new Pollux(run_));
    case 'F':
      return boss(new Pisces(run_));
    case 'S':
      return boss(new Scorpion(run_));
    case 'T': {
      float h = 0;
      if (!ReadNumber(&h)) return false;
      Vec3 rot{0, 0, 0};
      if (!ReadFacing(&rot.y)) return false;
      auto* head = new Providence(run_);
      if (section == 2) {
        rot.z = 180;
        head->upsideDown = 1;
        h = -h;
      }
      head->position = {column, level + h, row};
      head->rotation = rot;
      head->countedAs = kCountedBoss;
      characters_->push_back(head);
      const Vec3 p = head->position;
      head->rightHand->position = {p.x - 5, p.y, p.z + 5};
      head->leftHand->position = {p.x - 5, p.y, p.z - 5};
      for (EnemyBase* hand :
           {static_cast<EnemyBase*>(head->rightHand), static_cast<EnemyBase*>(head->leftHand)}) {
        hand->rotation = head->rotation;
        hand->upsideDown = head->upsideDown;
        hand->countedAs = kCountedBoss;
        characters_->push_back(hand);
      }
      StepBack();
      run_.game.bossesLeft += 3;
      return true;
    }
    case 'M': {
      const int e = Get();
      if (e < 0) return false;
      if (e != 'P' && e != 'S') return true;
      run_.game.enemiesLeft += 1;
      auto* enemy = new Enemy(run_);
      enemy->countedAs = kCountedEnemy;
      return CharacterTail(enemy);
    }
    default:
      return true;
  }
}

void FieldChip::LoadBytes(GimmickNode*& head, CharacterList& characters, const std::string& bytes) {
  bytes_ = &bytes;
  pos_ = 0;
  head_ = &head;
  characters_ = &characters;
  column = level = row = 0;
  section = 0;
  for (;;) {
    const int c = Get();
    if (c < 0) break;
    if (c == ',') {
      column += 1;
      continue;
    }
    if (c == '/') continue;
    level = 0;
    bool more = true;
    if (c == 'M') {
      const int d = Get();
      if (d < 0) break;
      if (d == 'U')
        section = 1;
      else if (d == 'R')
        section = 2;
      column = level = row = 0;
    } else if (c == '\n') {
      column = 0;
      row -= 1;
    } else if (c == 'O') {
      more = ReadObjectCode();
    } else if (c == 'C') {
      more = ReadCharacterCode();
    }
    if (!more) break;  // the end of the file inside a code ends the load
  }
  bytes_ = nullptr;
}

int FieldChip::LoadFile(GimmickNode*& head, CharacterList& characters, const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    ReportError("ファイルオープンに失敗-FieldChip-", path);
    ReportErrorDetail(path.c_str());
    return 0;
  }
  std::ostringstream text;
  text << in.rdbuf();
  const std::string bytes = text.str();
  LoadBytes(head, characters, bytes);
  return 1;
}

int FieldChip::Load(GimmickNode*& head, CharacterList& characters, int stageIndex) {
  if (stageIndex < 0 || stageIndex >= kStagePathCount) {
    ReportError("ファイルオープンに失敗-FieldChip-");
    return 0;
  }
  return LoadFile(head, characters, kStagePaths[stageIndex]);
}

void DeleteGimmickList(GimmickNode*& head) {
  while (head) {
    GimmickNode* next = head->next;
    if (head->object) head->object->Release();
    delete head;  // and its object
    head = next;
  }
}
