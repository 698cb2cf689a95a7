// The field at run time on small stages written in the tests: the selection
// square, the flip of an area to the underside, the lift, carry and throw at
// each level, a thrown star striking a block, and the great wave sweeping a
// selection away.
#include <gtest/gtest.h>

#include "render/sound_sets.h"
#include "tests/world_harness.h"
#include "world/chips.h"
#include "world/game_state.h"
#include "world/player.h"
#include "world/run_state.h"
#include "world/world_values.h"

namespace {

// A 9 x 9 floor with the player on the cell (4, row 4), facing +x.
std::string OpenFloor(std::map<std::pair<int, int>, std::string> cells = {}) {
  cells.emplace(std::make_pair(4, 4), "ON0ECP0ERR");
  return StageGrid(9, 9, cells);
}

OneChip* HeldChip(WorldHarness& w) {
  return w.GetField().Held() ? static_cast<OneChip*>(w.GetField().Held()->object.get()) : nullptr;
}

// Press the lift button for a few frames and let the lift finish.
void LiftTheChipAhead(WorldHarness& w) {
  w.Hold(DIK_SPACE);
  w.Frames(5);
  w.Release(DIK_SPACE);
  w.Frames(40);
}

}  // namespace

TEST(FieldSelection, GrowsFromTwoToFourInThreeSteps) {
  WorldHarness w;
  w.Build(OpenFloor());
  w.Hold(DIK_M);
  w.Frame();  // the player asks; the field marks from the next frame on
  EXPECT_EQ(w.GetPlayer().action, kActionSelecting);
  EXPECT_EQ(w.GetPlayer().request, 2);
  w.Frame();
  EXPECT_FLOAT_EQ(w.GetField().SelectSize(), 2);
  EXPECT_EQ(w.GetField().SelectedInner().size(), 1u);
  EXPECT_EQ(w.GetField().SelectedOuter().size(), 8u);
  // It grows every 0.5 s while below 4: at 0.5 s and at 1 s, each with its
  // sound; the tick at 1.5 s finds it full.
  w.Frames(29);
  EXPECT_FLOAT_EQ(w.GetField().SelectSize(), 3);
  w.Frames(60);
  EXPECT_FLOAT_EQ(w.GetField().SelectSize(), 4);
  EXPECT_EQ(w.SoundStarts(kSeSystem), 2);
  // Half-width 4: a 7 x 7 square, its inner 5 x 5 area to be flipped.
  EXPECT_EQ(w.GetField().SelectedInner().size(), 25u);
  EXPECT_EQ(w.GetField().SelectedOuter().size(), 24u);
  w.Frames(60);
  EXPECT_FLOAT_EQ(w.GetField().SelectSize(), 4);
  EXPECT_EQ(w.SoundStarts(kSeSystem), 2);
}

TEST(FieldSelection, NeverGrowsOverARockChip) {
  WorldHarness w;
  // A rock two cells beyond the cursor: inside the half-width-3 square.
  w.Build(OpenFloor({{{7, 4}, "OD0E"}}));
  w.Hold(DIK_M);
  w.Frames(90);
  EXPECT_FLOAT_EQ(w.GetField().SelectSize(), 2);
  EXPECT_EQ(w.SoundStarts(kSeSystem), 0);
  // The blocked frames leave the outer ring of the last square marked.
  EXPECT_EQ(w.GetField().SelectedOuter().size(), 8u);
  GimmickNode* rock = w.NodeAt(7, 0, -4);
  ASSERT_NE(rock, nullptr);
  EXPECT_EQ(rock->state, kStateNormal);
}

TEST(FieldFlip, TurnsTheAreaOverItsCentreLineOntoTheUnderside) {
  WorldHarness w;
  RunState& run = w.GetRun();
  // The player on (4, -3) facing -z: the cursor is at z -4.25, so a
  // half-width-3 square flips the chips of z -3 to -5 about z -4.
  std::map<std::pair<int, int>, std::string> cells{{{4, 3}, "ON0ECP0ERB"}};
  w.Build(StageGrid(9, 9, cells));
  GimmickNode* near = w.NodeAt(4, 0, -3);
  GimmickNode* far = w.NodeAt(4, 0, -5);
  ASSERT_NE(near, nullptr);
  ASSERT_NE(far, nullptr);
  GimmickBase* nearChip = near->object.get();
  GimmickBase* farChip = far->object.get();
  w.Hold(DIK_M);
  w.Frames(35);
  EXPECT_FLOAT_EQ(w.GetField().SelectSize(), 3);
  w.Release(DIK_M);
  w.Frame();  // flip requested
  w.Frame();  // the field starts it; the player rides along
  EXPECT_EQ(w.GetPlayer().action, kActionFlipStarted);
  EXPECT_EQ(nearChip->state, kStateFlipping);
  EXPECT_EQ(w.GetPlayer().state, kStateFlipping);
  EXPECT_EQ(w.SoundStarts(kSeRotate), 1);
  w.Frames(120);
  EXPECT_EQ(w.GetPlayer().action, kActionIdle);
  EXPECT_EQ(run.game.life, 4);
  EXPECT_NEAR(nearChip->position.z, -5, 1e-3);
  EXPECT_NEAR(farChip->position.z, -3, 1e-3);
  EXPECT_NEAR(nearChip->position.y, 0, 1e-3);
  EXPECT_EQ(nearChip->upsideDown, 1);
  EXPECT_NEAR(nearChip->rotation.z, 180, 1e-3);
  // The player now hangs under the area, mirrored across the line as well.
  const Player& p = w.GetPlayer();
  EXPECT_EQ(p.upsideDown, 1);
  EXPECT_NEAR(p.position.z, -5, 1e-3);
  EXPECT_NEAR(p.position.y, -0.5f, 1e-3);
  EXPECT_EQ(run.game.playerUnderside, 1);
  // The chips outside the inner area stayed where they were.
  GimmickNode* outside = w.NodeAt(4, 0, -6);
  ASSERT_NE(outside, nullptr);
  EXPECT_EQ(outside->object->upsideDown, 0);
}

TEST(FieldLift, RisesForHalfASecondPaysOneLifeAndCarries) {
  WorldHarness w;
  RunState& run = w.GetRun();
  w.Build(OpenFloor());
  w.Hold(DIK_SPACE);
  w.Frames(5);
  OneChip* chip = HeldChip(w);
  ASSERT_NE(chip, nullptr);
  EXPECT_FLOAT_EQ(chip->position.x, 5);  // the chip ahead of the player
  EXPECT_EQ(chip->state, kStateTaken);
  w.Release(DIK_SPACE);
  w.Frame();
  EXPECT_EQ(w.GetPlayer().action, kActionLift);
  w.Frames(29);
  EXPECT_EQ(w.GetPlayer().action, kActionLift);
  EXPECT_EQ(run.game.life, 5);
  w.Frame();
  EXPECT_EQ(w.GetPlayer().action, kActionCarrying);
  EXPECT_EQ(chip->hitInfo.carried, 1);
  EXPECT_NEAR(chip->position.y, 4, 1e-3);
  EXPECT_EQ(run.game.life, 4);
  EXPECT_EQ(w.SoundStarts(kSeSelect), 1);
  // Carried, it floats before the camera's look-at point.
  w.Frames(60);
  EXPECT_NEAR(chip->position.x, 4 + 2.15f, 0.01f);
  EXPECT_NEAR(chip->position.y, 2.25f, 0.01f);
}

TEST(FieldThrow, EachLevelSetsTheSpeedTheCostAndTheRecoil) {
  struct Case {
    int holdFrames;
    float level;
    int life;
    float recoil;
  };
  for (const Case c :
       {Case{30, 1.5f, 4, 0}, Case{61, 2, 3, 0.37f * 2 / 3}, Case{121, 3, 2, 0.37f}}) {
    SCOPED_TRACE(c.level);
    WorldHarness w;
    RunState& run = w.GetRun();
    w.Build(OpenFloor());
    LiftTheChipAhead(w);
    OneChip* chip = HeldChip(w);
    ASSERT_NE(chip, nullptr);
    w.Hold(DIK_SPACE);
    w.Frames(c.holdFrames);
    EXPECT_FLOAT_EQ(w.GetPlayer().chargeLevel, c.level);
    EXPECT_EQ(run.game.life, c.life);
    const float before = w.GetPlayer().position.x;
    w.Release(DIK_SPACE);
    w.Frame();  // the player lets go (and slides back)
    EXPECT_NEAR(before - w.GetPlayer().position.x, c.recoil, 1e-4);
    EXPECT_EQ(w.GetPlayer().recoilOn, c.recoil > 0 ? 1 : 0);
    w.Frame();  // the field throws
    EXPECT_EQ(chip->hitInfo.flying, 1);
    EXPECT_FLOAT_EQ(chip->hitInfo.level, c.level);
    EXPECT_NEAR(chip->velocity.x, 1, 1e-5);
    EXPECT_NEAR(chip->velocity.z, 0, 1e-5);
    EXPECT_FLOAT_EQ(w.GetPlayer().chargeLevel, 1.5f);
    EXPECT_EQ(w.GetPlayer().action, kActionIdle);
    // In flight it covers a fifth of its level along the heading per frame.
    for (int i = 0; i < 3; ++i) {
      const float x = chip->position.x;
      w.Frame();
      EXPECT_NEAR(chip->position.x - x, c.level / 5, 1e-4);
    }
  }
}

TEST(FieldThrow, TheFirstHeldFrameOnlyArmsTheThrow) {
  WorldHarness w;
  w.Build(OpenFloor());
  LiftTheChipAhead(w);
  w.Hold(DIK_SPACE);
  w.Frame();
  EXPECT_EQ(w.GetPlayer().throwHeld, 1);
  EXPECT_EQ(w.GetPlayer().chargeFrames, 0);
  w.Release(DIK_SPACE);
  w.Frames(2);
  // Released on the arming frame's successor: thrown, with no charge.
  EXPECT_EQ(HeldChip(w)->hitInfo.flying, 1);
}

TEST(FieldThrow, WithOneLifeLevelTwoIsPaidAndLevelThreeWaitsAt119) {
  WorldHarness w;
  RunState& run = w.GetRun();
  w.Build(OpenFloor());
  run.game.life = 2;
  LiftTheChipAhead(w);
  ASSERT_EQ(run.game.life, 1);
  w.Hold(DIK_SPACE);
  w.Frames(70);
  EXPECT_FLOAT_EQ(w.GetPlayer().chargeLevel, 2);
  EXPECT_EQ(run.game.life, 0);
  w.Frames(80);
  EXPECT_EQ(w.GetPlayer().chargeFrames, 119);
  EXPECT_FLOAT_EQ(w.GetPlayer().chargeLevel, 2);
}

TEST(FieldThrow, AThrownStarThatHitsABlockDropsWithBursts) {
  WorldHarness w;
  // A block standing two units up across the throw's path.
  w.Build(OpenFloor({{{8, 4}, "ON0EON2E"}}));
  LiftTheChipAhead(w);
  w.ClearSounds();
  w.Hold(DIK_SPACE);
  w.Frames(5);
  w.Release(DIK_SPACE);
  int frames = 0;
  while (w.GetField().Held() && frames < 60) {
    w.Frame();
    ++frames;
  }
  ASSERT_EQ(w.GetField().Held(), nullptr) << "the star never hit the block";
  EXPECT_EQ(w.SoundStarts(kSeHit), 1);
  EXPECT_TRUE(w.GetField().bursts[0].Active());
  const int before = w.GetField().Count();
  w.Frame();  // the dropped star leaves the field
  EXPECT_EQ(w.GetField().Count(), before - 1);
  EXPECT_NE(w.NodeAt(8, 2, -4), nullptr);  // the block itself stays
}

TEST(FieldWave, SweepingASelectedChipCancelsTheSelection) {
  WorldHarness w;
  RunState& run = w.GetRun();
  w.Build(OpenFloor());
  run.world.goalX = 100;
  w.Hold(DIK_M);
  w.Frames(3);
  ASSERT_FALSE(w.GetField().SelectedOuter().empty());
  // Put the wave's front over the selection's near row (z -5).
  BreakWave& wave = w.GetField().Wave();
  wave.phase = 0;
  wave.position.x = 10 - wave.stepX;
  wave.position.z = -5 + 0.1f * 4 + 0.1f;  // it moves 0.1 in this frame's own step first
  w.Frame();
  EXPECT_EQ(w.GetPlayer().action & kActionSelecting, 0);
  EXPECT_EQ(w.SoundStarts(kSeBigWave), 1);
  GimmickNode* swept = w.NodeAt(5, 0, -5);
  ASSERT_NE(swept, nullptr);
  EXPECT_EQ(swept->state, kStateBlownAway);
}
