// The invisible blocks: the flashing block's rhythm and its walk along x,
// the block that fades once passed, the block seen only from its own side,
// and the rule that alpha 0 lets characters through while any alpha blocks.
#include "world/invisible_blocks.h"

#include <gtest/gtest.h>

#include "base/frame_time.h"
#include "tests/world_harness.h"
#include "world/player.h"
#include "world/run_state.h"

namespace {

// A player far from everything, only read by the blocks' actions.
struct Lone {
  explicit Lone(RunState& run) : player(run) { player.position = {0, 0.5f, 0}; }
  Player player;
};

void Step(RunState& run, GimmickBase& block, CharacterBase& player, int frames) {
  SetDeltaTime(1.0f / 60);
  for (int i = 0; i < frames; ++i) block.Action(run, &player);
}

}  // namespace

TEST(Flashing, APeriodOfTenFadesInForOneSecondOutForOneAndMovesOnlyWhenFadedOut) {
  RunState run;
  Lone lone(run);
  Flashing block(run, 1, 1.0f, 5, 7, 10);
  block.position = {5, 0, -3};
  block.Init(run);
  Step(run, block, lone.player, 30);
  EXPECT_NEAR(block.alpha, 127, 5);  // half way in
  EXPECT_FLOAT_EQ(block.position.x, 5);
  Step(run, block, lone.player, 31);
  EXPECT_EQ(block.fadingIn, 0);  // one second in: now fading out, still in place
  EXPECT_FLOAT_EQ(block.position.x, 5);
  Step(run, block, lone.player, 61);
  EXPECT_EQ(block.fadingIn, 1);  // faded out: it moved one step
  EXPECT_FLOAT_EQ(block.position.x, 6);
  EXPECT_LE(block.alpha, 5);
  // Two more cycles: 7, then back to the start rather than past the end.
  Step(run, block, lone.player, 122);
  EXPECT_FLOAT_EQ(block.position.x, 7);
  Step(run, block, lone.player, 122);
  EXPECT_FLOAT_EQ(block.position.x, 5);
}

TEST(AfterInvisible, FadesForGoodOncePassedButNotFromFarAwayInZ) {
  RunState run;
  Lone lone(run);
  AfterInvisible block(run, 0);
  block.position = {10, 0, -5};
  block.Init(run);
  // Past it in x but more than six units off in z: it stays.
  lone.player.position = {20, 0.5f, -12};
  Step(run, block, lone.player, 60);
  EXPECT_EQ(block.alpha, 255);
  // Past it near its row: it fades away in 51 frames and stays gone.
  lone.player.position = {12, 0.5f, -5};
  Step(run, block, lone.player, 52);
  EXPECT_EQ(block.alpha, 0);
  lone.player.position = {0, 0.5f, -5};
  Step(run, block, lone.player, 60);
  EXPECT_EQ(block.alpha, 0);
}

TEST(OnesideInvisible, ShowsOnlyWhileThePlayerIsOnItsSide) {
  RunState run;
  Lone lone(run);
  OnesideInvisible block{run};
  block.upsideDown = 1;
  block.Init(run);
  Step(run, block, lone.player, 20);
  EXPECT_EQ(block.alpha, 0);
  lone.player.upsideDown = 1;
  Step(run, block, lone.player, 10);
  EXPECT_EQ(block.alpha, 50);
  Step(run, block, lone.player, 60);
  EXPECT_EQ(block.alpha, 255);
  lone.player.upsideDown = 0;
  Step(run, block, lone.player, 1);
  EXPECT_EQ(block.alpha, 250);
}

TEST(InvisibleBlocks, AtAlphaZeroACharacterFallsThroughAndAtOneItStands) {
  RunState run;
  OnesideInvisible block{run};
  block.position = {0, 0, 0};
  block.Init(run);
  const Vec3 feet{0, 0.45f, 0}, size{1, 2, 1}, still{0, 0, 0};
  Vec3 contact;
  block.alpha = 0;
  EXPECT_EQ(block.HitCheck(run, 0, feet, size, still, &contact), 0);
  block.alpha = 1;
  EXPECT_EQ(block.HitCheck(run, 0, feet, size, still, &contact) & (kFaceOver | kFaceStand),
            kFaceOver | kFaceStand);
  EXPECT_FLOAT_EQ(contact.y, 0);
}
