#include "tests/world_harness.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/input.h"
#include "render/preload.h"
#include "render/sound_sets.h"
#include "render/view.h"
#include "world/camera.h"
#include "world/chips.h"
#include "world/field_chip.h"
#include "world/game_state.h"
#include "world/info_board.h"
#include "world/player.h"
#include "world/run_state.h"
#include "world/world_values.h"

std::string StageGrid(int width, int depth, const std::map<std::pair<int, int>, std::string>& cells,
                      const std::string& fill) {
  std::string out;
  for (int row = 0; row < depth; ++row) {
    if (row > 0) out += '\n';
    for (int x = 0; x < width; ++x) {
      if (x > 0) out += ',';
      auto it = cells.find({x, row});
      out += it != cells.end() ? it->second : fill;
    }
  }
  return out;
}

WorldHarness::WorldHarness() {
  ResetDrawView();
  // The field seeds the game's random numbers from the clock at start-up;
  // tests play the same numbers every time.
  SetFixedTimeSeed(true, 1);
  EXPECT_EQ(LoadSharedAssets(), 1);
  EXPECT_EQ(state_.sound.Load(), 1);
}

WorldHarness::~WorldHarness() {
  SetFixedTimeSeed(false, 0);
  if (field_) field_->Release();
  field_.reset();
  if (characters_) characters_->Release();
  characters_.reset();
  state_.sound.Release();
  ReleaseSharedAssets();
  ResetDrawView();
}

void WorldHarness::Build(const std::string& upper, int stageNumber, const std::string& underside) {
  state_.game.stageNumber = stageNumber;
  ResetStageState(state_.game);
  characters_ = std::make_unique<CharacterManager>(state_);
  field_ = std::make_unique<Field>(state_);
  // The grid starts on the marker's own line, so its first row is z = 0.
  std::string text = "MU" + upper + "\n";
  if (!underside.empty()) text += "MR" + underside + "\n";
  GimmickNode* head = nullptr;
  FieldChip reader(state_);
  reader.LoadBytes(head, characters_->GetCharacters(), text);
  field_->SetGimmicks(head);
  ASSERT_EQ(field_->Init(state_), 1);
  ASSERT_EQ(characters_->Init(state_, input_), 1);
}

void WorldHarness::BuildStage(int stageNumber) {
  state_.game.stageNumber = stageNumber;
  ResetStageState(state_.game);
  characters_ = std::make_unique<CharacterManager>(state_);
  field_ = std::make_unique<Field>(state_);
  GimmickNode* head = nullptr;
  FieldChip reader(state_);
  ASSERT_EQ(reader.Load(head, characters_->GetCharacters(), stageNumber), 1);
  field_->SetGimmicks(head);
  ASSERT_EQ(field_->Init(state_), 1);
  ASSERT_EQ(characters_->Init(state_, input_), 1);
}

void WorldHarness::SetStick(float x, float y) {
  stickX_ = static_cast<short>(x * 20000);
  stickY_ = static_cast<short>(y * 20000);
}

void WorldHarness::Frame() {
  uint8_t keys[256] = {};
  for (int k : keys_) keys[k] = 0x80;
  PadRecord pad;
  pad.connected = stickX_ != 0 || stickY_ != 0;
  pad.state.Gamepad.sThumbLX = stickX_;
  pad.state.Gamepad.sThumbLY = stickY_;
  input_ = input_.Next(keys, pad);
  stepper_.Step();
  field_->Update(state_, characters_->GetCharacters());
  if (characters_->Update(state_, field_->Tail(), input_)) StartSideChangeFade(state_.game);
  state_.sound.Update();
  for (int s : state_.sound.StartedInLastUpdate()) sounds_.push_back(s);
}

void WorldHarness::Frames(int n) {
  for (int i = 0; i < n; ++i) Frame();
}

Player& WorldHarness::GetPlayer() {
  return *characters_->GetPlayer();
}

GimmickNode* WorldHarness::NodeAt(float x, float y, float z) {
  for (GimmickNode* n = field_->Tail(); n; n = n->prev) {
    const Vec3& p = n->Position();
    if (std::fabs(p.x - x) < 0.01f && std::fabs(p.y - y) < 0.01f && std::fabs(p.z - z) < 0.01f)
      return n;
  }
  return nullptr;
}

int WorldHarness::SoundStarts(int number) const {
  int n = 0;
  for (int s : sounds_) n += s == number;
  return n;
}
