// Castor's volleys, its stars and Pollux's braking charge, on small stages in
// the battle mode of the twins' stage.
#include <gtest/gtest.h>

#include <cmath>

#include "render/sound_sets.h"
#include "tests/world_harness.h"
#include "world/enemies.h"
#include "world/game_state.h"
#include "world/player.h"
#include "world/run_state.h"

namespace {

// A wide floor; the player at (x, row 7), Castor at (34, 7) facing it.
struct TwinsStage {
  WorldHarness w;
  RunState& run = w.GetRun();
  Castor* castor = nullptr;
  Player* player = nullptr;

  explicit TwinsStage(int playerX, std::map<std::pair<int, int>, std::string> cells = {}) {
    cells.emplace(std::make_pair(playerX, 7), "ON0ECP0ERR");
    cells.emplace(std::make_pair(34, 7), "ON0ECEC0ERL");
    w.Build(StageGrid(50, 15, cells), 1);
    castor = FindCharacter<Castor>(w);
    player = &w.GetPlayer();
    run.game.gameMode = kModeBossBattle;
  }
  // Frames until the volley starts (the aim takes four seconds).
  void UntilThrowing() {
    for (int i = 0; i < 400 && !castor->throwing; ++i) w.Frame();
    ASSERT_EQ(castor->throwing, 1);
  }
  // The throw timer at the frame each star left Castor's hand.
  std::vector<float> ThrowTimes() {
    std::vector<float> at(3, -1);
    if (castor->weapons[0].thrown) at[0] = castor->throwTimer;
    for (int i = 0; i < 600 && castor->throwing; ++i) {
      w.Frame();
      for (int k = 0; k < 3; ++k)
        if (at[k] < 0 && castor->weapons[k].thrown) at[k] = castor->throwTimer;
    }
    return at;
  }
};

}  // namespace

TEST(Castor, AVolleyWhileBothTwinsLiveThrowsAt0And13And26SecondsInArcs) {
  TwinsStage s(20);
  s.run.game.bossesLeft = 2;
  s.UntilThrowing();
  EXPECT_EQ(s.castor->throwMode, 2);
  const std::vector<float> at = s.ThrowTimes();
  EXPECT_NEAR(at[0], 0.0167f, 0.01f);
  EXPECT_NEAR(at[1], 1.3f, 0.02f);
  EXPECT_NEAR(at[2], 2.6f, 0.02f);
  for (const CastorsWeapon& star : s.castor->weapons) EXPECT_EQ(star.solo, 0);
  // The volley ended only when all three had landed; a new aim follows.
  EXPECT_EQ(s.castor->throwing, 0);
  EXPECT_EQ(s.castor->attacking, 0);
  EXPECT_FLOAT_EQ(s.castor->rotation.x, 0);  // the pitch was reset with the third star
}

TEST(Castor, AStarArcsHighAndDropsOntoWhereThePlayerStood) {
  TwinsStage s(20);
  s.run.game.bossesLeft = 2;
  s.UntilThrowing();
  CastorsWeapon& star = s.castor->weapons[0];
  const Vec3 target = s.player->position;
  s.w.Frame();
  // The player steps aside so the star comes down on the empty spot.
  s.player->position.z -= 4;
  s.player->UpdateMatrix();
  float top = star.position.y;
  int frames = 0;
  while (!star.landed && frames++ < 300) {
    s.w.Frame();
    top = std::max(top, star.position.y);
  }
  ASSERT_EQ(star.landed, 1);
  EXPECT_NEAR(star.target.x, target.x, 1e-3f);
  EXPECT_NEAR(top, star.maxHeight, 1e-3f);  // it rose to the distance at the throw
  EXPECT_NEAR(star.maxHeight, 14, 0.1f);    // Castor at 34, the player at 20
}

TEST(Castor, APlayerAtCastorsFeetGetsNoArcTheStarDropsStraightDown) {
  TwinsStage s(32);  // two units in front of Castor: at its feet
  s.run.game.bossesLeft = 2;
  s.player->position.z -= 0.5f;  // just beside the point in front, out of the held stars' reach
  s.UntilThrowing();
  s.w.Frame();
  CastorsWeapon& star = s.castor->weapons[0];
  ASSERT_EQ(star.thrown, 1);
  if (star.landed) GTEST_SKIP() << "the star struck the player at once";
  const float y0 = star.position.y;
  s.w.Frame();
  EXPECT_FLOAT_EQ(star.position.x, star.target.x);
  EXPECT_FLOAT_EQ(star.position.z, star.target.z);
  EXPECT_NEAR(star.position.y, y0 - 0.5f, 1e-4f);
}

TEST(Castor, OncePolluxIsGoneEveryStarGlidesForGoodAndTheGapIsOneSecond) {
  TwinsStage s(20);
  s.run.game.bossesLeft = 1;
  s.UntilThrowing();
  const std::vector<float> at = s.ThrowTimes();
  EXPECT_EQ(s.castor->throwMode, 1);
  EXPECT_NEAR(at[1], 1.0f, 0.02f);
  EXPECT_NEAR(at[2], 2.0f, 0.02f);
  for (const CastorsWeapon& star : s.castor->weapons) EXPECT_EQ(star.solo, 1);
  // Solo stays set even if the count read two again.
  s.run.game.bossesLeft = 2;
  s.UntilThrowing();
  s.w.Frame();
  for (const CastorsWeapon& star : s.castor->weapons) EXPECT_EQ(star.solo, 1);
}

TEST(Castor, TheSoloGlideSinksSteadilyAlongTheThrow) {
  TwinsStage s(20);
  s.run.game.bossesLeft = 1;
  s.UntilThrowing();
  CastorsWeapon& star = s.castor->weapons[0];
  s.w.Frame();
  const Vec3 a = star.position;
  s.w.Frame();
  EXPECT_NEAR(a.y - star.position.y, 0.045f, 1e-4f);
  EXPECT_LT(star.position.x, a.x);  // towards the player at x 20
  EXPECT_NEAR(star.velocity.x, (star.target.x - s.castor->position.x) * 0.02f, 1e-4f);
}

TEST(Castor, AStarThatHitsThePlayerLandsAtOnceAndTheVolleyWaitsForAllThree) {
  TwinsStage s(20);
  s.run.game.bossesLeft = 2;
  s.UntilThrowing();
  CastorsWeapon& star = s.castor->weapons[0];
  int frames = 0;
  while (!star.landed && frames++ < 300) s.w.Frame();
  ASSERT_EQ(s.player->knockBack, 1) << "the first star should come down on the standing player";
  EXPECT_EQ(star.landed, 1);
  EXPECT_FLOAT_EQ(star.size.x, 1);
  EXPECT_GE(s.w.SoundStarts(kSeHit), 1);
  EXPECT_EQ(s.castor->throwing, 1);  // the other two are still to come
  EXPECT_EQ(s.castor->weapons[2].landed, 0);
}

TEST(Castor, TheStarsPushBackWhileTheTwinLivesAndAlongTheFlightWhenAlone) {
  TwinsStage s(20);
  CastorsWeapon& star = s.castor->weapons[0];
  star.upsideDown = 0;
  star.position = s.player->position + Vec3{0.5f, 0.5f, 0};
  star.velocity = {-0.3f, 0, 0};
  s.player->velocity = {0.075f, 0, 0};

  s.run.game.bossesLeft = 2;
  star.HitPlayer(s.run, s.player);
  EXPECT_EQ(s.player->knockBack, 1);
  EXPECT_NEAR(s.player->velocity.x, -0.075f * 3.5f, 1e-5f);
  EXPECT_EQ(star.landed, 1);

  s.player->knockBack = 0;
  s.player->velocity = {0.075f, 0, 0};
  s.run.game.bossesLeft = 1;
  star.HitPlayer(s.run, s.player);
  EXPECT_NEAR(s.player->velocity.x, -0.3f * 4.55f, 1e-5f);
  // Never on the other side of the field.
  s.player->knockBack = 0;
  s.player->upsideDown = 1;
  star.HitPlayer(s.run, s.player);
  EXPECT_EQ(s.player->knockBack, 0);
}

TEST(Castor, AStarThatMeetsAnInvisibleBlockBreaksOnItAndLands) {
  // A solid invisible block three units over the player's head: the star
  // comes down on it.
  TwinsStage s(20, {{{20, 6}, "ON0EOSAX3E"}});
  s.player->position.z = -6.2f;  // under the block's edge, where the star is aimed
  s.player->UpdateMatrix();
  s.run.game.bossesLeft = 2;
  s.UntilThrowing();
  s.w.ClearSounds();
  CastorsWeapon& star = s.castor->weapons[0];
  int frames = 0;
  while (!star.landed && frames++ < 300) s.w.Frame();
  ASSERT_EQ(star.landed, 1);
  EXPECT_EQ(s.player->knockBack, 0) << "the block should have caught the star";
  EXPECT_EQ(s.w.SoundStarts(kSeBreak), 1);
  EXPECT_GT(star.position.y, 3);  // it came to rest on the block, over the player
}

TEST(Castor, HeldStarsGrowOnThePlayersSideAndStaySmallOnTheOther) {
  TwinsStage s(20);
  s.run.game.bossesLeft = 2;
  s.w.Frames(2);  // chasing from the battle on
  CastorsWeapon& star = s.castor->weapons[1];
  s.w.Frames(92);
  EXPECT_FLOAT_EQ(star.size.x, 2);
  s.w.Frames(92);
  EXPECT_FLOAT_EQ(star.size.x, 4);
  s.w.Frames(90);
  EXPECT_FLOAT_EQ(star.size.x, 4);  // no further
  // With the player under the field, a held star stays at size 1.
  s.player->upsideDown = 1;
  s.w.Frames(200);
  EXPECT_FLOAT_EQ(star.size.x, 1);
}

TEST(Castor, FacesThePlayerUntilItsThirdStarHasLanded) {
  TwinsStage s(20);
  s.run.game.bossesLeft = 2;
  s.UntilThrowing();
  for (int i = 0; i < 60; ++i) {
    s.w.Frame();
    // The player walks round; Castor keeps turning to it.
    s.player->position.z -= 0.05f;
    s.player->UpdateMatrix();
  }
  const float expected = std::atan2(s.player->position.x - s.castor->position.x,
                                    s.player->position.z - s.castor->position.z) *
                         57.295776f;
  EXPECT_NEAR(s.castor->rotation.y, expected, 3.5f);  // within a frame's walk
}

TEST(Pollux, AChargeAcceleratesForHalfThenBrakesToAStopWithoutALeap) {
  WorldHarness w;
  RunState& run = w.GetRun();
  w.Build(StageGrid(40, 9, {{{4, 4}, "ON0ECP0ERR"}, {{16, 4}, "ON0ECEP0ERL"}}), 1);
  Pollux* p = FindCharacter<Pollux>(w);
  ASSERT_NE(p, nullptr);
  run.game.gameMode = kModeBossBattle;
  run.game.bossesLeft = 2;
  int frames = 0;
  bool tilted = false;
  while (!p->attacking && frames++ < 400) {
    w.Frame();
    tilted = tilted || (p->warning && p->rotation.x > 0);
  }
  ASSERT_EQ(p->attacking, 1);
  EXPECT_TRUE(tilted) << "Pollux tilts through its warning second";
  EXPECT_NEAR(p->attackLength, 12, 0.05f);
  const float x0 = p->position.x;
  float fastest = 0;
  int charge = 0;
  while (p->attacking && charge++ < 400) {
    w.Frame();
    fastest = std::max(fastest, p->speed);
    EXPECT_NEAR(p->position.y, 0.5f, 0.05f);  // it never leaves the floor
    if (p->attacking) {
      EXPECT_NEAR(std::hypot(p->velocity.x, p->velocity.z), 0.32f, 1e-4f);
    }
  }
  EXPECT_EQ(p->attacking, 0);
  EXPECT_FLOAT_EQ(p->speed, 0.1f);
  EXPECT_GT(fastest, 0.2f);
  // It covered the distance to the player and came to rest.
  EXPECT_GT(x0 - p->position.x, 8);
}
