// A small stage built from text, run frame by frame the way the game scene
// runs play frames: input, the frame timer, the field, the character pass,
// the game sounds. Tests write the stage as a grid of cell codes. The stage
// plays in a run of the harness's own (GetRun), which tests read and set.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/input.h"
#include "platform/input_types.h"
#include "tests/test_support.h"
#include "world/character_manager.h"
#include "world/field.h"
#include "world/run_state.h"

class Player;

// A width x depth grid of cells (x to the right, z = -row), every cell `fill`
// unless `cells` gives its own code for (x, row).
std::string StageGrid(int width, int depth, const std::map<std::pair<int, int>, std::string>& cells,
                      const std::string& fill = "ON0E");

class WorldHarness {
 public:
  WorldHarness();
  ~WorldHarness();

  // Builds the stage (the upper section, and optionally the underside) and
  // initialises the field and the characters.
  void Build(const std::string& upper, int stageNumber = 0, const std::string& underside = "");
  // Builds a stage of the game from its file (stage number 0 to 3).
  void BuildStage(int stageNumber);
  // One play frame with the keys now held.
  void Frame();
  void Frames(int n);
  void Hold(int dik) { keys_.insert(dik); }
  void Release(int dik) { keys_.erase(dik); }
  void SetStick(float x, float y);  // in stick units (raw / 20000)

  Player& GetPlayer();
  Field& GetField() { return *field_; }
  CharacterManager& Characters() { return *characters_; }
  RunState& GetRun() { return state_; }
  // The node of the gimmick at a cell (the first in list order), or null.
  GimmickNode* NodeAt(float x, float y, float z);
  // How often a game sound started during the frames run so far.
  int SoundStarts(int number) const;
  void ClearSounds() { sounds_.clear(); }

 private:
  HeadlessServices services_{true, false, false};
  ScopedWorkingDirectory directory_{RunDirectory()};
  RunState state_;
  FrameStepper stepper_;
  std::unique_ptr<CharacterManager> characters_;
  std::unique_ptr<Field> field_;
  std::set<int> keys_;
  short stickX_ = 0, stickY_ = 0;
  InputFrame input_;  // the frame the last Frame played
  std::vector<int> sounds_;
};

// The nth character of a class in list order, or null.
template <typename T>
T* FindCharacter(WorldHarness& w, int nth = 0) {
  for (CharacterBase* c : w.Characters().GetCharacters())
    if (auto* t = dynamic_cast<T*>(c))
      if (nth-- == 0) return t;
  return nullptr;
}
