// The field: everything of a stage that is not a character. It runs every
// gimmick's action each frame, removes gimmicks that are gone, and carries
// out what the player's action code asks of the chips: the selection square
// around the cursor, the flip of the selected area to the other side, the
// lift, the carry over the player's head and the throw. It draws the
// gimmicks, opaque ones in list order and translucent ones far to near.
#pragma once

#include <vector>

#include "world/chips.h"
#include "world/environment.h"
#include "world/field_chip.h"
#include "world/stage_gauge.h"
#include "world/star_burst.h"

class Player;

class Field {
 public:
  // The field publishes its star effects in the run it belongs to
  // (RunState::starGathers) while it lives.
  explicit Field(RunState& run);
  ~Field();
  Field(const Field&) = delete;
  Field& operator=(const Field&) = delete;

  void SetGimmicks(GimmickNode* loadedHead) { head = loadedHead; }
  // 0 means the stage cannot start.
  int Init(RunState& run);
  void Update(RunState& run, CharacterList& characters);
  void Draw(RunState& run, const CharacterBase& player);
  void Release();

  GimmickNode* Tail() const { return tail; }
  int Count() const { return count; }
  GimmickNode* Held() const { return held; }
  float SelectSize() const { return selectSize; }
  const std::vector<GimmickNode*>& SelectedOuter() const { return selectOuter; }
  const std::vector<GimmickNode*>& SelectedInner() const { return selectInner; }
  BreakWave& Wave() { return breakWave; }
  StageGauge& Gauge() { return stageGauge; }

  // Fields of the design, in its order.
  StarBurst bursts[5];
  GimmickNode* head = nullptr;
  GimmickNode* tail = nullptr;
  GimmickNode* cursorNode = nullptr;
  std::vector<GimmickNode*> selectOuter, selectInner, previousOuter, previousInner;
  GimmickNode* held = nullptr;
  float selectTimer = 0;
  float selectSize = 2;
  RiverSurface riverSurface;
  Sky sky;
  BreakWave breakWave;
  RiverWaves riverWaves;
  // The flying star effects of the stage (the field updates, draws and deletes them).
  StarGatherList starGathers;
  StageGauge stageGauge;
  int count = 0;
  float lastChargeFrames = 0;

 private:
  RunState& run_;
  void SweepWithWave(RunState& run, GimmickNode* node, Player* player);
  void RemoveGone();
  void ChipHandling(RunState& run, Player* player);
  void SelectForFlip(RunState& run, Player* player);
  void SelectForLift(Player* player);
  void Flip(RunState& run, Player* player);
  void FlipRunning(RunState& run, Player* player);
  void Lift(RunState& run, Player* player);
  void Carry(RunState& run, Player* player);
  void HeldChip(RunState& run);
  void DropHeld(RunState& run);
  void SetDown(std::vector<GimmickNode*>& list);
  void StartBursts(RunState& run, const Vec3& at, int upsideDown);
  static bool Selectable(const GimmickNode* node);
  static bool Contains(const std::vector<GimmickNode*>& list, const GimmickNode* node);
};

// The per-stage offset of the great wave (indexed by stage number 0 to 3).
float WaveOffset(int stage);
