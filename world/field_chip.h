// The stage reader: a stage file draws the stage as a grid of cells, once for
// the upper side and once for the underside. FieldChip reads it character by
// character, creates an object per code, places it at its cell (plus an
// optional height) and hands gimmicks to the field's node list and
// characters to the character list.
//
// A cell is its code, its height digits, then E (or the comma of the next
// cell), then an optional facing such as RB: OH2E is a star chip two units up,
// CEMP0ERL an enemy on the surface facing 270 degrees. "MU" starts the upper
// section, "MR" the underside; x grows by one per comma, z falls by one per
// line.
#pragma once

#include <memory>
#include <string>

#include "world/object_base.h"

// One gimmick in the field's list.
struct GimmickNode {
  std::unique_ptr<GimmickBase> object;  // the node owns its object
  int state = 0;                        // the object's motion state as last seen by the field
  int kind = 0;                         // copy of the object's gimmickKind
  GimmickNode* prev = nullptr;
  GimmickNode* next = nullptr;

  // Where the object stands and how big it is, as the field reads them.
  const Vec3& Position() const { return object->position; }
  const Vec3& Size() const { return object->size; }
};

class FieldChip {
 public:
  // The reader places what it reads in the run given: the loader publishes
  // the stage's goal and extent there, and the gimmicks start its counters.
  explicit FieldChip(RunState& run) : run_(run) {}

  // Reads the stage file of a stage index (0 to 3; 4 the title stage). The
  // first character of the list must be the player. 1 when the file was read,
  // 0 (with a report) when it cannot be opened.
  int Load(GimmickNode*& head, CharacterList& characters, int stageIndex);
  // The same from a file path, and from bytes already in memory.
  int LoadFile(GimmickNode*& head, CharacterList& characters, const std::string& path);
  void LoadBytes(GimmickNode*& head, CharacterList& characters, const std::string& bytes);

 private:
  RunState& run_;
  int Get();  // the next character, or -1 at the end
  void PutBack() {
    if (pos_ > 0) --pos_;
  }
  // A number up to a comma or E (consumed); with negatives, '-' negates the
  // value read so far.
  bool ReadNumber(float* value, bool negatives = false, bool commaEnds = true);
  // A facing: R then F/B/R/L gives 0/180/90/270 (board: R 270, L 90).
  bool ReadFacing(float* yaw, bool board = false);
  void StepBack() { PutBack(); }

  void Prepend(GimmickBase* object);
  // The endings of the codes.
  bool CommonTail(GimmickBase* object);
  bool InvisibleTail(GimmickBase* object);
  bool CharacterTail(CharacterBase* character);
  bool ReadObjectCode();
  bool ReadChip(int kind);
  bool ReadStarChip();
  bool ReadTriggerChip();
  bool ReadGate();
  bool ReadItem();
  bool ReadRotatingWall();
  bool ReadWall();
  bool ReadInfoBoard();
  bool ReadInvisibleFamily();
  bool ReadAfterInvisible();
  bool ReadFlashing();
  bool ReadMoveBlock();
  bool ReadBridge();
  bool ReadCharacterCode();

  const std::string* bytes_ = nullptr;
  size_t pos_ = 0;
  GimmickNode** head_ = nullptr;
  CharacterList* characters_ = nullptr;

 public:
  // Reader state.
  float column = 0;
  float level = 0;
  float row = 0;
  int section = 0;
};

// Deletes every node and its object (after Release).
void DeleteGimmickList(GimmickNode*& head);
