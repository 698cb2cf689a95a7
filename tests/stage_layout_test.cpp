// The four stages as their files lay them out: what makes a stage fair
// beyond what its replay proves. The gate shuts before the battle's wave can
// blow it away, the encounter floor lies out of reach of its closing leaves,
// the bosses stand out of a throw's reach from outside the arena, the stages
// that start with the boss armed hold no guards (knocking one back would
// start the battle wherever the player stood), and every board has its text.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "tests/world_harness.h"
#include "world/devices.h"
#include "world/enemies.h"
#include "world/field_chip.h"
#include "world/game_state.h"
#include "world/info_board.h"
#include "world/player.h"
#include "world/run_state.h"
#include "world/world_values.h"

namespace {

struct Layout {
  GimmickNode* gate = nullptr;
  std::vector<Vec3> encounter;
  std::vector<int> boards;
};

Layout Read(WorldHarness& w) {
  Layout l;
  for (GimmickNode* n = w.GetField().Tail(); n; n = n->prev) {
    if (n->kind == kKindGate) l.gate = n;
    if (n->kind == kKindEncounter) l.encounter.push_back(n->object->position);
    if (auto* b = dynamic_cast<InfoBoard*>(n->object.get())) l.boards.push_back(b->textNumber);
  }
  return l;
}

}  // namespace

class StageLayout : public testing::TestWithParam<int> {};

TEST_P(StageLayout, TheEncounterFloorIsOutOfTheGatesReachAndTheBossesOutOfAThrows) {
  WorldHarness w;
  RunState& run = w.GetRun();
  w.BuildStage(GetParam());
  const Layout l = Read(w);
  ASSERT_NE(l.gate, nullptr);
  const float gateX = l.gate->object->position.x;
  ASSERT_FALSE(l.encounter.empty());
  // The leaves are three cells long; a player on the encounter floor is
  // beyond them with room to spare.
  for (const Vec3& e : l.encounter) EXPECT_GE(e.x - gateX, 8) << "encounter floor at x " << e.x;
  // A level-3 star thrown from the gate comes down about twelve cells on:
  // no boss can be knocked back (which starts the battle) from outside.
  for (CharacterBase* c : w.Characters().GetCharacters()) {
    auto* e = dynamic_cast<EnemyBase*>(c);
    if (!e || e->isMob) continue;
    EXPECT_GE(c->position.x - gateX, 13) << c->ClassName();
  }
  // Stages that start with the boss armed hold no guards.
  if (GetParam() >= 2) {
    EXPECT_EQ(run.game.enemiesLeft, 0);
  }
}

TEST_P(StageLayout, TheGateShutsInTheBattleBeforeTheWaveBlowsItAway) {
  WorldHarness w;
  RunState& run = w.GetRun();
  w.BuildStage(GetParam());
  const Layout l = Read(w);
  ASSERT_NE(l.gate, nullptr);
  GimmickBase* gate = l.gate->object.get();
  // The player stands beyond the encounter floor; the gate is open as in
  // free play with the boss armed, then the battle begins.
  Player& p = w.GetPlayer();
  p.position = {l.encounter.front().x + 3, 5, l.encounter.front().z};
  p.UpdateMatrix();
  run.game.gameMode = kModeBossArmed;
  for (int i = 0; i < 200 && gate->rotation.y < 180; ++i) w.Frame();
  ASSERT_GE(gate->rotation.y, 180);
  run.game.gameMode = kModeBossBattle;
  int frames = 0;
  while (gate->rotation.y > 89.5f && gate->state == kStateNormal && frames++ < 400) w.Frame();
  EXPECT_EQ(gate->state, kStateNormal) << "the wave blew the gate away before it shut";
  EXPECT_FLOAT_EQ(gate->rotation.y, 89);
  // And the wave does blow it away afterwards: the margin is real, not
  // a gate the wave never reaches.
  int more = 0;
  while (gate->state == kStateNormal && more++ < 400) w.Frame();
  EXPECT_NE(gate->state, kStateNormal);
}

TEST_P(StageLayout, EveryBoardHasItsTextAndPictureInTheFiles) {
  WorldHarness w;
  RunState& run = w.GetRun();
  w.BuildStage(GetParam());
  const Layout l = Read(w);
  EXPECT_FALSE(l.boards.empty());
  // The pictures are 128 pixels wide cells of one strip (its width is in
  // the PNG header).
  const std::string png =
      ReadWholeFile(RunDirectory() + "/Resource_Orvelune/Infomation/Button.png");
  ASSERT_GE(png.size(), 24u);
  const int width =
      (static_cast<unsigned char>(png[16]) << 24) | (static_cast<unsigned char>(png[17]) << 16) |
      (static_cast<unsigned char>(png[18]) << 8) | static_cast<unsigned char>(png[19]);
  const int pictures = width / 128;
  for (int number : l.boards) {
    const InfoEntry* found = nullptr;
    for (const InfoEntry& e : run.panel.entries)
      if (e.number == number) found = &e;
    ASSERT_NE(found, nullptr) << "board " << number;
    EXPECT_FALSE(found->text.empty());
    EXPECT_LT(found->picture, pictures) << "board " << number;
  }
}

INSTANTIATE_TEST_SUITE_P(Stages, StageLayout, testing::Values(0, 1, 2, 3));
