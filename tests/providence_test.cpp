// Providence and its hands on small stages in the battle mode of the last
// stage: the floating head and its hands, the return home, the quake and the
// charge that tears up the floor, the slams, the punches and the red tints.
#include <gtest/gtest.h>

#include <cmath>

#include "render/sound_sets.h"
#include "tests/world_harness.h"
#include "world/enemies.h"
#include "world/game_state.h"
#include "world/player.h"
#include "world/run_state.h"

namespace {

// A 61 x 25 floor; the head six units up at (40, row 12), its hands at
// (35, row 7) (right) and (35, row 17) (left); the player at (x, row 12).
struct FinalStage {
  WorldHarness w;
  RunState& run = w.GetRun();
  Providence* head = nullptr;
  RightHand* right = nullptr;
  LeftHand* left = nullptr;
  Player* player = nullptr;

  explicit FinalStage(int playerX, int playerRow = 12) {
    w.Build(StageGrid(61, 25, {{{40, 12}, "ON0ECET6ERL"}, {{playerX, playerRow}, "ON0ECP0ERR"}}),
            3);
    head = FindCharacter<Providence>(w);
    right = FindCharacter<RightHand>(w);
    left = FindCharacter<LeftHand>(w);
    player = &w.GetPlayer();
  }
  // Takes both hands out of play and runs until the head is exposed.
  void LoseBothHands() {
    right->state = kStateGone;
    left->state = kStateGone;
    for (int i = 0; i < 400 && !head->exposed; ++i) w.Frame();
  }
};

}  // namespace

TEST(Providence, TheLoaderPlacesTheHandsBesideTheHeadAndCountsThree) {
  FinalStage s(10);
  ASSERT_NE(s.head, nullptr);
  ASSERT_NE(s.right, nullptr);
  ASSERT_NE(s.left, nullptr);
  EXPECT_EQ(s.run.game.bossesLeft, 3);
  EXPECT_FLOAT_EQ(s.right->position.x, 35);
  EXPECT_FLOAT_EQ(s.right->position.z, -7);
  EXPECT_FLOAT_EQ(s.left->position.z, -17);
  EXPECT_FLOAT_EQ(s.right->position.y, 0.5f);
  EXPECT_FLOAT_EQ(s.head->homePosition.y, 6);
}

TEST(Providence, WhileAHandRemainsTheHeadFloatsAndPopsBackUpWhenKnockedDown) {
  FinalStage s(10);
  s.run.game.gameMode = kModeBossBattle;
  s.w.Frames(30);
  EXPECT_EQ(s.head->chasing, 1);
  EXPECT_NEAR(s.head->position.y, 6, 0.6f);
  s.head->knockBack = 1;
  s.head->position.y = 0.5f;
  s.w.Frame();
  EXPECT_NEAR(s.head->position.y, 6, 0.02f);
  EXPECT_EQ(s.head->action, Providence::kTiltBack);
}

TEST(Providence, AWashedAwayHandIsForgottenAtOnceBeforeItLeavesTheList) {
  FinalStage s(10);
  s.run.game.gameMode = kModeBossBattle;
  s.w.Frames(2);
  EXPECT_EQ(s.head->handsState, 0);
  s.right->state = kStateWashedAway;
  s.w.Frame();
  EXPECT_EQ(s.head->rightHand, nullptr);
  EXPECT_EQ(s.head->handsState, 1);  // only the left remains
  EXPECT_NE(FindCharacter<RightHand>(s.w), nullptr);
  s.left->state = kStateWashedAway;
  s.w.Frame();
  EXPECT_EQ(s.head->handsState, 3);
  EXPECT_EQ(s.head->handsGone, 1);
}

TEST(Providence, WithBothHandsGoneItComesHomeInThreeSecondsAndIsExposed) {
  FinalStage s(10);
  s.run.game.gameMode = kModeBossBattle;
  s.w.Frames(2);
  s.right->state = kStateGone;
  s.left->state = kStateGone;
  int frames = 0;
  while (!s.head->exposed && frames++ < 400) s.w.Frame();
  EXPECT_EQ(s.head->exposed, 1);
  EXPECT_NEAR(frames, 180, 3);
  EXPECT_NEAR(s.head->position.x, 30, 0.1f);
  EXPECT_EQ(s.run.game.bossesLeft, 1);
}

TEST(Providence, ANearPlayerForHalfASecondBringsAQuakeThenACharge) {
  FinalStage s(25);
  s.run.game.gameMode = kModeBossBattle;
  s.w.Frames(2);
  s.LoseBothHands();
  ASSERT_EQ(s.head->exposed, 1);
  int frames = 0;
  while (s.head->action != Providence::kQuake && frames++ < 120) s.w.Frame();
  ASSERT_EQ(s.head->action, Providence::kQuake);
  EXPECT_EQ(s.head->enemyFlag, kEnemyQuake);
  EXPECT_GE(frames, 28);  // half a second within ten units
  while (s.head->action == Providence::kQuake && frames++ < 800) s.w.Frame();
  EXPECT_EQ(s.head->action, Providence::kCharge);
}

TEST(Providence, ItsChargeTearsUpTheFloorAlongItsPath) {
  FinalStage s(5);
  s.run.game.gameMode = kModeBossBattle;
  s.w.Frames(2);
  s.LoseBothHands();
  ASSERT_EQ(s.head->exposed, 1);
  ASSERT_NE(s.w.NodeAt(20, 0, -12), nullptr);
  int frames = 0;
  bool crushed = false;
  while (s.head->action != Providence::kTiltBack && frames++ < 600) {
    s.w.Frame();
    crushed = crushed || s.head->crushing;
  }
  EXPECT_GE(s.w.SoundStarts(kSeBossRush), 1) << "the head calls its rush sound while deciding";
  EXPECT_EQ(s.run.sound.GetRequest(kSeBossRush), 0) << "and withdraws it for the charge";
  EXPECT_TRUE(crushed);
  ASSERT_EQ(s.head->action, Providence::kTiltBack);
  // The row it charged along is gone between its home and the player.
  for (int x = 12; x <= 28; x += 4) EXPECT_EQ(s.w.NodeAt(x, 0, -12), nullptr) << x;
  EXPECT_NE(s.w.NodeAt(20, 0, -20), nullptr);  // away from its path the floor stays
}

TEST(Providence, HitInTheFinalPhaseTheHeadIsRed) {
  FinalStage s(5);
  s.run.game.gameMode = kModeBossBattle;
  s.head->knockBack = 1;
  EXPECT_FALSE(s.head->DrawsRed());  // not while it still hides behind its hands
  s.head->knockBack = 0;
  s.w.Frames(2);
  s.LoseBothHands();
  s.head->knockBack = 1;
  EXPECT_TRUE(s.head->DrawsRed());
}

TEST(RightHand, NearThePlayerOnTheUpperSideItOnlyCircles) {
  FinalStage s(33, 7);  // two units from the right hand
  s.run.game.gameMode = kModeBossBattle;
  for (int i = 0; i < 600; ++i) {
    s.w.Frame();
    ASSERT_NE(s.right->action, RightHand::kSlam) << "frame " << i;
    // The player keeps close to it.
    s.player->position = s.right->position + Vec3{-2.5f, 0, 0};
    s.player->position.y = 0.5f;
    s.player->UpdateMatrix();
  }
  EXPECT_EQ(s.right->action, RightHand::kHover);
}

TEST(RightHand, FromAfarItWindsUpForThreeSecondsAndSlamsWithAShockRing) {
  FinalStage s(5);
  s.run.game.gameMode = kModeBossBattle;
  int frames = 0;
  while (s.right->action != RightHand::kSlam && frames++ < 400) s.w.Frame();
  ASSERT_EQ(s.right->action, RightHand::kSlam);
  EXPECT_NEAR(frames, 180, 3);
  EXPECT_EQ(s.right->enemyFlag, kEnemyQuake);
  EXPECT_EQ(s.w.SoundStarts(kSeTornado), 1);
  while (s.right->subPhase == 0 && frames++ < 800) s.w.Frame();
  ASSERT_EQ(s.right->subPhase, 1);  // landed: the ring spreads
  s.w.Frames(10);
  EXPECT_NEAR(s.right->quakeRadius, 3.0f, 0.05f);
  while (s.right->action == RightHand::kSlam && frames++ < 1200) s.w.Frame();
  EXPECT_EQ(s.right->action, RightHand::kRecover);
}

TEST(RightHand, AfterAKnockBackItIsNotReadyForFiveSecondsAndRed) {
  FinalStage s(27, 7);  // near enough that it never slams, out of its reach
  s.run.game.gameMode = kModeBossBattle;
  s.w.Frames(5);
  ASSERT_EQ(s.right->action, RightHand::kHover);
  s.right->knockBack = 1;
  s.right->velocity = {0.5f, 0, 0};
  s.w.Frame();
  EXPECT_EQ(s.right->ready, 0);
  EXPECT_TRUE(s.right->DrawsRed());
  int frames = 1;
  while (!s.right->ready && frames++ < 600) s.w.Frame();
  EXPECT_NEAR(frames, 300, 3);
  EXPECT_FALSE(s.right->DrawsRed());
}

TEST(LeftHand, PunchesAtAPlayerWithinTwentyUnits) {
  FinalStage s(25, 17);  // ten units from the left hand
  s.run.game.gameMode = kModeBossBattle;
  s.w.Frames(2);
  EXPECT_EQ(s.left->action, LeftHand::kPunch);
  // The fist draws back ten units in half a second, trembles, then rushes.
  s.w.Frames(30);
  EXPECT_NEAR(s.left->position.x, 45, 0.3f);
  int frames = 0;
  while (s.left->subPhase == 0 && frames++ < 200) s.w.Frame();
  EXPECT_NEAR(frames, 90, 3);
  EXPECT_EQ(s.left->subPhase, 1);
}

TEST(LeftHand, FartherAwayItWalksOrDropsAtRandomAndADropCrushesTheFloor) {
  int walks = 0, drops = 0;
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    FinalStage s(5, 17);  // thirty units away
    s.run.gameRandom.Seed(seed);
    s.run.game.gameMode = kModeBossBattle;
    s.w.Frames(2);
    ASSERT_TRUE(s.left->action == LeftHand::kWalk || s.left->action == LeftHand::kDrop)
        << s.left->action;
    if (s.left->action == LeftHand::kWalk) {
      ++walks;
      continue;
    }
    ++drops;
    // Shifted off the grid, so chips beyond the crushed ones still hold it.
    s.left->position.x += 0.3f;
    const Vec3 at = s.left->position;
    int frames = 0;
    while (s.left->action == LeftHand::kDrop && frames++ < 200) s.w.Frame();
    EXPECT_EQ(s.left->action, LeftHand::kHover);
    EXPECT_TRUE(s.left->DrawsRed());  // red while hovering
    s.w.Frame();                      // the crushed chips leave the field
    EXPECT_EQ(s.w.NodeAt(std::round(at.x), 0, at.z), nullptr) << "the floor under the drop";
    EXPECT_NE(s.w.NodeAt(std::round(at.x) + 2, 0, at.z), nullptr) << "beyond its reach";
    s.w.Frames(30);
    EXPECT_GT(s.left->position.y, 0) << "the chips two units off still hold it";
  }
  EXPECT_GT(walks, 0);
  EXPECT_GT(drops, 0);
}

TEST(Hands, BeforeTheBattleTheyDecideNothingAndNoSlamIsHeard) {
  FinalStage s(5, 17);  // far from both hands, as at the start of the stage
  s.w.Frames(600);
  EXPECT_EQ(s.right->action, RightHand::kStart);
  EXPECT_EQ(s.left->action, LeftHand::kDecide);
  EXPECT_EQ(s.w.SoundStarts(kSeTornado), 0);
  // The battle: the far player brings the slam's wind-up, and the left hand
  // walks or drops from where it is (already on the second frame).
  s.run.game.gameMode = kModeBossBattle;
  s.w.Frames(2);
  EXPECT_EQ(s.right->action, RightHand::kHover);
  EXPECT_NE(s.left->action, LeftHand::kDecide);
}
