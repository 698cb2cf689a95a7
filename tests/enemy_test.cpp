// Enemies and the scorpion on small stages: the first frame, the spin, the
// watch zone, the bump, the encounter a knock-back starts, the boss's aiming
// and charge, the stun stars and the wall crash.
#include <gtest/gtest.h>

#include <cmath>

#include "render/sound_sets.h"
#include "tests/world_harness.h"
#include "world/enemies.h"
#include "world/game_state.h"
#include "world/player.h"
#include "world/run_state.h"
#include "world/world_values.h"

namespace {

// A long floor; the player at x 1, an enemy cell wherever asked.
std::string Floor(std::map<std::pair<int, int>, std::string> cells) {
  cells.emplace(std::make_pair(1, 4), "ON0ECP0ERR");
  return StageGrid(40, 9, cells);
}

}  // namespace

TEST(EnemyMoves, StandsStillInItsFirstFrameThenSpinsFiveDegreesAFrame) {
  WorldHarness w;
  w.Build(Floor({{{20, 4}, "ON0ECEMP0ERL"}}));  // the player is far from its watch zone
  Enemy* e = FindCharacter<Enemy>(w);
  ASSERT_NE(e, nullptr);
  const float heading = e->rotation.y;
  w.Frame();
  EXPECT_EQ(e->enemyFlag, kEnemyActive);  // its zero wait ran out
  EXPECT_FLOAT_EQ(e->rotation.y, heading);
  w.Frame();
  EXPECT_FLOAT_EQ(e->rotation.y, std::fmod(heading + 5, 360.0f));
  w.Frames(10);
  EXPECT_FLOAT_EQ(e->rotation.y, std::fmod(heading + 55, 360.0f));
  EXPECT_EQ(e->chasing, 0);
}

TEST(EnemyMoves, SearchRunsFromTheFirstFrameAndTurnsToThePlayer) {
  WorldHarness w;
  // Facing -x from x 10: its watch point is the player's cell.
  w.Build(Floor({{{11, 4}, "ON0ECEMP0ERL"}}));
  Enemy* e = FindCharacter<Enemy>(w);
  const Vec3 start = e->position;
  w.Frame();
  EXPECT_EQ(e->chasing, 1);
  EXPECT_FLOAT_EQ(e->position.x, start.x);
  EXPECT_NEAR(e->rotation.y, -90, 1e-3);  // atan2 towards the player
  EXPECT_EQ(w.SoundStarts(kSeJump), 1);
  w.Frames(30);
  EXPECT_LT(e->position.x, start.x - 0.5f);
}

TEST(EnemyMoves, AZoneOnTheOtherSideOfTheFieldIsIgnored) {
  WorldHarness w;
  // The same enemy, but the player walks the underside.
  w.Build(StageGrid(40, 9, {{{11, 4}, "ON0ECEMP0ERL"}}), 0,
          StageGrid(40, 9, {{{1, 4}, "CP0ERR"}}, ""));
  ASSERT_EQ(w.GetPlayer().upsideDown, 1);
  Enemy* e = FindCharacter<Enemy>(w);
  w.Frames(20);
  EXPECT_EQ(e->chasing, 0);
}

TEST(EnemyBump, KnocksTheCharacterBackAndWaitsHalfASecond) {
  WorldHarness w;
  w.Build(Floor({{{9, 4}, "ON0ECEMP0ERL"}}));  // it sees the player from 8 units
  Enemy* e = FindCharacter<Enemy>(w);
  Player& p = w.GetPlayer();
  int frames = 0;
  while (p.knockBack == 0 && frames++ < 400) w.Frame();
  ASSERT_EQ(p.knockBack, 1) << "the enemy never reached the player";
  EXPECT_EQ(e->enemyFlag, kEnemyWaiting);
  EXPECT_FLOAT_EQ(e->waitTimer, 0.5f);
  // The push is fifteen times the enemy's last (doubled) step.
  EXPECT_NEAR(std::hypot(p.velocity.x, p.velocity.z), 15 * std::hypot(e->velocity.x, e->velocity.z),
              1e-4);
  EXPECT_EQ(w.SoundStarts(kSeBossHit), 1);
  const Vec3 at = e->position;
  w.Frames(29);
  EXPECT_EQ(e->enemyFlag, kEnemyWaiting);
  EXPECT_FLOAT_EQ(e->position.x, at.x);
  // Half a second on, the wait is over: a player still within reach (its
  // own slide over too) is bumped again at once.
  w.Frames(2);
  if (e->enemyFlag == kEnemyWaiting) {
    EXPECT_FLOAT_EQ(e->waitTimer, 0.5f);
    EXPECT_EQ(p.knockBack, 1);
    EXPECT_EQ(w.SoundStarts(kSeBossHit), 2);
  }
}

TEST(EnemyBump, TwoEnemiesTouchingBumpEachOther) {
  WorldHarness w;
  w.Build(Floor({{{20, 4}, "ON0ECEMP0ERL"}, {{30, 4}, "ON0ECEMP0ERL"}}));
  Enemy* first = FindCharacter<Enemy>(w, 0);
  Enemy* second = FindCharacter<Enemy>(w, 1);
  second->position = first->position + Vec3{0.6f, 0, 0};
  second->UpdateMatrix();
  w.Frames(2);
  // The one processed first knocks the other away.
  EXPECT_EQ(second->knockBack, 1);
  EXPECT_EQ(first->knockBack, 0);
}

TEST(EnemyBump, AKnockedBackEnemyChasesAndStartsTheEncounter) {
  WorldHarness w;
  RunState& run = w.GetRun();
  w.Build(Floor({{{30, 4}, "ON0ECEMP0ERL"}}));
  Enemy* e = FindCharacter<Enemy>(w);
  w.Frame();
  run.game.gameMode = kModeBossArmed;
  e->knockBack = 1;
  e->velocity = {0.1f, 0, 0};
  w.Frame();
  EXPECT_EQ(e->chasing, 1);
  EXPECT_EQ(run.game.gameMode, kModeBossEncounter);
}

TEST(Boss, AimsOnlyWhileChasingWarnsFromThreeSecondsAndRestartsAfterASideChange) {
  WorldHarness w;
  RunState& run = w.GetRun();
  w.Build(Floor({{{12, 4}, "ON0ECES0ERL"}}));
  Scorpion* s = FindCharacter<Scorpion>(w);
  ASSERT_NE(s, nullptr);
  w.Frames(60);
  EXPECT_EQ(s->chasing, 0);
  EXPECT_FLOAT_EQ(s->aimTimer, 0);
  run.game.gameMode = kModeBossBattle;
  w.Frames(2);
  EXPECT_EQ(s->chasing, 1);
  EXPECT_EQ(s->enemyFlag, kEnemyAiming);
  w.Frames(185);  // three seconds of aiming
  EXPECT_EQ(s->warning, 1);
  EXPECT_EQ(s->attacking, 0);
  // Turned over to the other side, it starts its four seconds afresh.
  s->upsideDown = 1;
  w.Frame();
  EXPECT_FLOAT_EQ(s->aimTimer, 0);
  EXPECT_EQ(s->warning, 0);
}

TEST(Boss, AChargeAtAPlayerEightUnitsAwayAcceleratesForHalfThenLeapsUntilLanding) {
  WorldHarness w;
  RunState& run = w.GetRun();
  // The scorpion 8 units from the player across a long floor.
  w.Build(StageGrid(40, 9, {{{4, 4}, "ON0ECP0ERR"}, {{12, 4}, "ON0ECES0ERL"}}));
  Scorpion* s = FindCharacter<Scorpion>(w);
  run.game.gameMode = kModeBossBattle;
  int frames = 0;
  while (!s->attacking && frames++ < 400) w.Frame();
  ASSERT_EQ(s->attacking, 1);
  EXPECT_NEAR(s->attackLength, 8, 0.05f);
  const float x0 = s->position.x;
  while (!s->leaping && s->attacking) w.Frame();
  EXPECT_NEAR(x0 - s->position.x, 4, 0.6f);  // about half, to the step
  int leapFrames = 0;
  while (s->attacking && leapFrames++ < 200) w.Frame();
  EXPECT_EQ(s->attacking, 0);
  EXPECT_EQ(s->leaping, 0);
  EXPECT_LE(std::fabs(s->position.y), 0.5f + 1e-4f);
  EXPECT_GT(leapFrames, 5);
  EXPECT_FLOAT_EQ(s->leapSpeed, 0.2f);
}

TEST(Boss, StunStarsShowAndHideWithTheStunTimer) {
  WorldHarness w;
  RunState& run = w.GetRun();
  w.Build(Floor({{{12, 4}, "ON0ECES0ERL"}}));
  Scorpion* s = FindCharacter<Scorpion>(w);
  s->Boss::Draw(run);
  for (const StunEffect& star : s->stars) EXPECT_EQ(star.hidden, 0);
  EXPECT_FLOAT_EQ(s->stars[1].angle, 120);
  s->enemyFlag = kEnemyStunned;
  s->stunTimer = 5;
  s->Boss::Draw(run);
  EXPECT_EQ(s->stars[0].hidden + s->stars[1].hidden + s->stars[2].hidden, 0);
  EXPECT_FLOAT_EQ(s->stars[1].angle, 125);  // each orbits 5 degrees a frame
  s->stunTimer = 3.9f;
  s->Boss::Draw(run);
  EXPECT_EQ(s->stars[2].hidden, 1);
  EXPECT_EQ(s->stars[1].hidden, 0);
  s->stunTimer = 1.9f;
  s->Boss::Draw(run);
  EXPECT_EQ(s->stars[1].hidden, 1);
  EXPECT_EQ(s->stars[0].hidden, 0);
  s->stunTimer = 0;
  s->Boss::Draw(run);
  EXPECT_EQ(s->stars[0].hidden, 1);
  // The next stun shows them all again from 0, 120 and 240 degrees.
  s->enemyFlag = kEnemyActive;
  s->Boss::Draw(run);
  EXPECT_EQ(s->stars[0].hidden, 0);
  EXPECT_FLOAT_EQ(s->stars[2].angle, 240);
}

TEST(Boss, ACrashIntoAWallStunsForSixSeconds) {
  WorldHarness w;
  RunState& run = w.GetRun();
  // A wall across the floor between the scorpion and the player.
  w.Build(StageGrid(40, 9,
                    {{{2, 4}, "ON0ECP0ERR"}, {{8, 4}, "ON0EOWN2ERR"}, {{14, 4}, "ON0ECES0ERL"}}));
  Scorpion* s = FindCharacter<Scorpion>(w);
  run.game.gameMode = kModeBossBattle;
  int frames = 0;
  while (s->enemyFlag != kEnemyStunned && frames++ < 600) w.Frame();
  ASSERT_EQ(s->enemyFlag, kEnemyStunned) << "no crash";
  EXPECT_NEAR(s->stunTimer, 6, 0.02f);
  EXPECT_EQ(s->knockBack, 1);
  EXPECT_GT(s->velocity.x, 0);  // reversed: away from the wall
  int stunned = 1;
  while (s->enemyFlag == kEnemyStunned && stunned < 500) {
    w.Frame();
    ++stunned;
  }
  EXPECT_NEAR(stunned, 360, 2);
}
