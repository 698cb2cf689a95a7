// The stage reader on the edge cases of its grammar: where the comma that
// ended a number is read again, the breakable wall that does not step back,
// sections, heights on the underside, moving-block signs, empty and cut-off
// files, and the start cell after the boss event.
#include "world/field_chip.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/test_support.h"
#include "world/devices.h"
#include "world/enemies.h"
#include "world/game_state.h"
#include "world/info_board.h"
#include "world/player.h"
#include "world/run_state.h"
#include "world/walls.h"
#include "world/world_values.h"

namespace {

struct Loaded {
  RunState run;                            // what the reader published: the goal, the counters
  std::vector<GimmickBase*> gimmicks;      // in file order
  std::vector<CharacterBase*> characters;  // after the player
  Player* player;
  GimmickNode* head = nullptr;
  CharacterList list;
  ~Loaded() {
    DeleteGimmickList(head);  // the list deletes the characters
  }
};

std::unique_ptr<Loaded> Load(const std::string& text) {
  auto r = std::make_unique<Loaded>();
  r->player = new Player(r->run);
  r->list.push_back(r->player);
  FieldChip reader(r->run);
  reader.LoadBytes(r->head, r->list, text);
  for (GimmickNode* n = r->head; n; n = n->next)
    r->gimmicks.insert(r->gimmicks.begin(), n->object.get());
  bool first = true;
  for (CharacterBase* c : r->list) {
    if (!first) r->characters.push_back(c);
    first = false;
  }
  return r;
}

}  // namespace

TEST(StageReader, TheCommaThatEndedANumberAdvancesTheColumn) {
  const auto r = Load("MU\nOH2,ON0");
  ASSERT_EQ(r->gimmicks.size(), 2u);
  EXPECT_STREQ(r->gimmicks[0]->ClassName(), "StarChip");
  EXPECT_EQ(r->gimmicks[0]->position, Vec3(0, 2, -1));
  EXPECT_EQ(r->gimmicks[1]->position, Vec3(1, 0, -1));
}

TEST(StageReader, TheBreakableWallDoesNotStepBack) {
  const auto a = Load("OWB3,ON0");
  ASSERT_EQ(a->gimmicks.size(), 37u);
  EXPECT_EQ(a->gimmicks[36]->position.x, 0.0f);  // the same column as the wall
  EXPECT_EQ(static_cast<Wall*>(a->gimmicks[0])->piece, 1);
  EXPECT_EQ(static_cast<Wall*>(a->gimmicks[35])->piece, 36);
  EXPECT_EQ(a->gimmicks[0]->gimmickKind, kKindWallPiece);
  const auto b = Load("OWB3E,ON0");
  EXPECT_EQ(b->gimmicks[36]->position.x, 1.0f);
}

TEST(StageReader, SectionsRestartTheGridAndTurnTheUnderside) {
  const auto r = Load("MU\n\nON0,ON1E\nMR\nON1E,CEMP2E\n");
  ASSERT_EQ(r->gimmicks.size(), 3u);
  EXPECT_EQ(r->gimmicks[1]->position, Vec3(1, 1, -2));
  const GimmickBase* under = r->gimmicks[2];
  EXPECT_EQ(under->position, Vec3(0, -1, -1));
  EXPECT_EQ(under->upsideDown, 1);
  EXPECT_FLOAT_EQ(under->rotation.z, 180);
  ASSERT_EQ(r->characters.size(), 1u);
  EXPECT_EQ(r->characters[0]->position, Vec3(1, -2, -1));
  EXPECT_FLOAT_EQ(r->characters[0]->rotation.z, 180);
  EXPECT_EQ(r->characters[0]->upsideDown, 1);
  EXPECT_EQ(r->run.game.enemiesLeft, 1);
}

TEST(StageReader, DigitsAndMovingBlockSigns) {
  const auto r = Load("ON12E,ON012E,OSM1E2E5-E-5E0E0E");
  ASSERT_EQ(r->gimmicks.size(), 3u);
  EXPECT_EQ(r->gimmicks[0]->position.y, 12.0f);
  EXPECT_EQ(r->gimmicks[1]->position.y, 12.0f);
  auto* block = dynamic_cast<MoveBlock*>(r->gimmicks[2]);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block->group, 1);
  EXPECT_EQ(block->travelTime, 2.0f);
  EXPECT_EQ(block->offset.x, -5.0f);  // 5 then -
  EXPECT_EQ(block->offset.y, 5.0f);   // - then 5: the sign is lost
  EXPECT_EQ(block->gimmickKind, kKindInvisible);
}

TEST(StageReader, FacingsAndTheGoal) {
  const auto r = Load("ON0ERB,OG1ERR,OB12E1ERR,ORNRXR0E");
  ASSERT_EQ(r->gimmicks.size(), 4u);
  EXPECT_EQ(r->gimmicks[0]->rotation.y, 180.0f);
  EXPECT_EQ(r->gimmicks[1]->rotation.y, 90.0f);
  EXPECT_EQ(r->run.world.goalPosition, Vec3(1, 0, 0));
  auto* board = dynamic_cast<InfoBoard*>(r->gimmicks[2]);
  ASSERT_NE(board, nullptr);
  EXPECT_EQ(board->textNumber, 12);
  EXPECT_EQ(board->rotation.y, 270.0f);  // boards turn R to 270
  EXPECT_FLOAT_EQ(board->position.y, 0.5f);
  EXPECT_EQ(r->gimmicks[3]->rotation.x, 90.0f);
}

TEST(StageReader, EmptyAndCutOffFilesEndQuietly) {
  const auto empty = Load("");
  EXPECT_TRUE(empty->gimmicks.empty());
  EXPECT_EQ(empty->player->position, Vec3(0, 0, 0));
  for (const char* cut : {"ON", "ON1", "OSM1E2E5", "CEM", "CETT", "OB12", "M", "OSBCT", "ORNRX"}) {
    const auto r = Load(cut);
    EXPECT_LE(r->gimmicks.size(), 1u) << cut;
  }
  // Unknown codes make nothing.
  const auto unknown = Load("OX1E,OSZ,CEZ9,Q,ON0");
  ASSERT_EQ(unknown->gimmicks.size(), 1u);
}

TEST(StageReader, TheStartCellIsSkippedAfterTheBossEvent) {
  RunState run;
  auto r = Load("ON0E,ON0ECP0ERR");
  EXPECT_EQ(r->player->position, Vec3(1, 0, 0));
  EXPECT_EQ(r->player->rotation.y, 90.0f);
  run.game.bossEventSeen = 1;
  CharacterList list;
  auto* player = new Player(run);
  list.push_back(player);
  GimmickNode* head = nullptr;
  FieldChip reader(run);
  reader.LoadBytes(head, list, "ON0E,ON0ECP7ERR,ON0E");
  EXPECT_EQ(player->position, Vec3(0, 0, 0));
  int count = 0;
  for (GimmickNode* n = head; n; n = n->next) ++count;
  EXPECT_EQ(count, 3);  // the digits of the skipped code made nothing
  DeleteGimmickList(head);
}

TEST(StageReader, TheFinalBossBringsItsHands) {
  const auto r = Load("CET6ERL");
  ASSERT_EQ(r->characters.size(), 3u);
  EXPECT_STREQ(r->characters[0]->ClassName(), "Providence");
  EXPECT_EQ(r->characters[1]->position, Vec3(-5, 6, 5));
  EXPECT_EQ(r->characters[2]->position, Vec3(-5, 6, -5));
  EXPECT_EQ(r->characters[2]->rotation.y, 270.0f);
  EXPECT_EQ(r->run.game.bossesLeft, 3);
}

TEST(StageReader, EveryGeneratedStageLoads) {
  ScopedWorkingDirectory cwd(RunDirectory());
  for (int stage = 0; stage < 5; ++stage) {
    RunState run;
    CharacterList list;
    auto* player = new Player(run);
    list.push_back(player);
    GimmickNode* head = nullptr;
    FieldChip reader(run);
    ASSERT_EQ(reader.Load(head, list, stage), 1) << stage;
    int gimmicks = 0;
    for (GimmickNode* n = head; n; n = n->next) ++gimmicks;
    EXPECT_GT(gimmicks, 100) << stage;
    EXPECT_GT(player->position.x, 0.0f) << stage;
    if (stage < 4) {
      EXPECT_GE(run.game.bossesLeft, 1) << stage;
    }
    DeleteGimmickList(head);
  }
}
