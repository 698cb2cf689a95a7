// Aquarius and the jumping fish on small stages: pouring, the quake ring,
// the flip that follows the player, the bump, the leap and the counts.
#include <gtest/gtest.h>

#include <cmath>

#include "render/sound_sets.h"
#include "tests/world_harness.h"
#include "world/enemies.h"
#include "world/game_state.h"
#include "world/player.h"
#include "world/run_state.h"

namespace {

int CountFish(WorldHarness& w) {
  int n = 0;
  for (CharacterBase* c : w.Characters().GetCharacters()) n += dynamic_cast<Pisces*>(c) != nullptr;
  return n;
}

// A 51 x 21 floor with the jar at x 10 and the player further along the
// row, standing on a rock chip (which no ring bounces) unless asked
// otherwise. The poured fish reach about 14 units from the jar.
struct JarStage {
  WorldHarness w;
  RunState& run = w.GetRun();
  Aquarius* jar = nullptr;
  Player* player = nullptr;
  explicit JarStage(int playerX = 18, bool playerUnder = false,
                    const char* playerCell = "OD0ECP0ERR") {
    std::map<std::pair<int, int>, std::string> cells{{{10, 10}, "ON0ECEA0ERL"}};
    std::string under;
    if (playerUnder)
      under = StageGrid(51, 21, {{{playerX, 10}, "CP0ERR"}}, "");
    else
      cells.emplace(std::make_pair(playerX, 10), playerCell);
    w.Build(StageGrid(51, 21, cells), 2, under);
    jar = FindCharacter<Aquarius>(w);
    player = &w.GetPlayer();
  }
};

}  // namespace

TEST(Aquarius, PoursTenFishASecondOnlyInTheBattleAndOnlyOnThePlayersSide) {
  {
    JarStage s(14);  // short of x 15, where the river throws up its own fish
    ASSERT_NE(s.jar, nullptr);
    s.w.Frames(120);
    EXPECT_EQ(CountFish(s.w), 0) << "no fish before the battle makes it chase";
    EXPECT_FLOAT_EQ(s.jar->fishTimer, 0);
    s.run.game.gameMode = kModeBossBattle;
    int made = 0;
    const CharacterBase* last = s.w.Characters().GetCharacters().back();
    for (int i = 0; i < 120; ++i) {
      s.w.Frame();
      const CharacterBase* back = s.w.Characters().GetCharacters().back();
      if (back != last && dynamic_cast<const Pisces*>(back)) ++made;
      last = back;
    }
    // Two seconds of pouring: a fish each time the clock passes 0.1 s, which
    // whole frames of 1/60 s reach on the sixth or seventh.
    EXPECT_GE(made, 16);
    EXPECT_LE(made, 20);
    EXPECT_EQ(s.run.sound.GetRequest(kSeFish), 2);
  }
  // One harness at a time: the services it opens are the game's only ones.
  JarStage under(14, true);
  under.run.game.gameMode = kModeBossBattle;
  under.w.Frames(120);
  EXPECT_EQ(CountFish(under.w), 0);
}

TEST(Aquarius, EveryFiveSecondsItHopsThenARingSpreadsToFiftyAndThePouringResumes) {
  JarStage s(48);  // out of the fish's reach, on rock
  s.run.game.gameMode = kModeBossBattle;
  int frames = 0;
  while (s.jar->enemyFlag != kEnemyQuake && frames++ < 400) s.w.Frame();
  ASSERT_EQ(s.jar->enemyFlag, kEnemyQuake);
  EXPECT_NEAR(frames, 300, 3);
  EXPECT_EQ(s.jar->quakePhase, 0);
  const float y0 = s.jar->position.y;
  int hop = 0;
  float top = y0;
  while (s.jar->quakePhase == 0 && hop++ < 100) {
    s.w.Frame();
    top = std::max(top, s.jar->position.y);
  }
  EXPECT_NEAR(hop, 36, 1);
  EXPECT_GT(top, y0 + 5);
  // No fish while the ring spreads.
  const int fishAtRing = CountFish(s.w);
  int ring = 0;
  float last = 0;
  while (s.jar->enemyFlag == kEnemyQuake && ring++ < 400) {
    s.w.Frame();
    if (s.jar->enemyFlag == kEnemyQuake) {
      EXPECT_NEAR(s.jar->quakeRadius - last, 0.3f, 1e-3f);
      last = s.jar->quakeRadius;
    }
  }
  EXPECT_NEAR(ring, 168, 2);
  EXPECT_LE(CountFish(s.w), fishAtRing);
  EXPECT_EQ(s.run.sound.GetRequest(kSeFish), 0);
  // The reset, then pouring again at once: the fish clock ran on.
  s.w.Frame();
  EXPECT_EQ(s.jar->enemyFlag, kEnemyActive);
  EXPECT_FLOAT_EQ(s.jar->quakeRadius, 0);
  EXPECT_EQ(s.jar->gravityOn, 1);
  const int fishBefore = CountFish(s.w);
  s.w.Frame();
  EXPECT_GT(CountFish(s.w), fishBefore);
}

TEST(Aquarius, TheRingBouncesEachRestingChipOnceAsItsBandPasses) {
  JarStage s(48);
  s.run.game.gameMode = kModeBossBattle;
  GimmickNode* chip = s.w.NodeAt(20, 0, -10);  // ten units from the jar
  ASSERT_NE(chip, nullptr);
  while (s.jar->enemyFlag != kEnemyQuake) s.w.Frame();
  s.w.ClearSounds();
  int bounced = 0;
  float radiusAtBounce = 0;
  bool wasSpecial = false;
  while (s.jar->enemyFlag == kEnemyQuake) {
    s.w.Frame();
    const bool special = chip->object->state == kStateSpecial;
    if (special && !wasSpecial) {
      ++bounced;
      radiusAtBounce = s.jar->quakeRadius;
    }
    wasSpecial = special;
  }
  EXPECT_EQ(bounced, 1);
  EXPECT_NEAR(radiusAtBounce, 10, 0.6f);
  EXPECT_GT(s.w.SoundStarts(kSeQuake), 10);
}

TEST(Aquarius, APlayerOnTheOtherSideForThreeSecondsMakesItFlipTheFloorToFollow) {
  JarStage s(18, true);
  s.run.game.gameMode = kModeBossBattle;
  int frames = 0;
  while (s.jar->state != kStateFlipping && frames++ < 400) s.w.Frame();
  ASSERT_EQ(s.jar->state, kStateFlipping);
  EXPECT_NEAR(frames, 180, 3);
  GimmickNode* under = s.w.NodeAt(10, 0, -10);
  ASSERT_NE(under, nullptr);
  EXPECT_EQ(under->state, kStateFlipping);
  while (s.jar->state == kStateFlipping && frames++ < 800) s.w.Frame();
  EXPECT_EQ(s.jar->upsideDown, 1);  // now on the player's side
}

TEST(Aquarius, NoFlipStartsWhileARingSpreads) {
  JarStage s;
  s.run.game.gameMode = kModeBossBattle;
  while (s.jar->quakePhase != 1) s.w.Frame();
  // The player slips under the field just as the ring starts.
  s.player->upsideDown = 1;
  s.jar->sideTimer = 2.9f;
  s.w.Frames(30);
  EXPECT_NE(s.jar->enemyFlag, kEnemyFlipFloor);
  EXPECT_EQ(s.jar->state, kStateNormal);
}

TEST(Aquarius, ARingThatBouncesThePlayersChipKnocksThePlayerAwayAndEndsTheQuake) {
  JarStage s(26, false, "ON0ECP0ERR");
  s.run.game.gameMode = kModeBossBattle;
  while (s.jar->enemyFlag != kEnemyQuake) s.w.Frame();
  while (s.jar->enemyFlag == kEnemyQuake && s.player->knockBack == 0) s.w.Frame();
  EXPECT_EQ(s.player->knockBack, 1);
  EXPECT_FLOAT_EQ(s.player->velocity.x, 5);  // away from the jar
  EXPECT_EQ(s.jar->enemyFlag, kEnemyQuakeOver);
  EXPECT_NEAR(s.jar->quakeRadius, 16, 1.0f);  // within a few frames of the band passing
}

TEST(Aquarius, ItsBumpPushesThePlayerOneAndAHalfAlongXFromAnySide) {
  for (float dz : {-1.8f, 1.8f}) {
    JarStage s;
    s.w.Frame();
    Player& p = *s.player;
    p.position = s.jar->position + Vec3{0, 0, dz};
    p.UpdateMatrix();
    CharacterList& list = s.w.Characters().GetCharacters();
    s.jar->HitCharacters(s.run, list);
    EXPECT_EQ(p.knockBack, 1);
    EXPECT_FLOAT_EQ(p.velocity.x, 1.5f);
    EXPECT_FLOAT_EQ(p.velocity.z, 0);
    EXPECT_EQ(s.jar->enemyFlag, kEnemyActive);
  }
}

TEST(Pisces, LeapsAlongAnArcFastestHalfWayAndIsGoneAfterNinetyFrames) {
  RunState run;
  Pisces fish{run};
  fish.rotation = {0, 90, 0};  // along +x
  fish.forwardSpeed = 0.2f;
  float steps[91] = {};
  int frames = 0;
  while (!fish.leapDone && frames < 90) {
    const float x = fish.position.x, y = fish.position.y;
    fish.Move(run);
    steps[frames++] = fish.position.x - x;
    EXPECT_GE(fish.position.y, y);  // the leap itself only rises; gravity pulls it down
  }
  EXPECT_EQ(frames, 90);
  EXPECT_EQ(fish.leapDone, 1);
  EXPECT_EQ(fish.state, kStateGone);
  EXPECT_FLOAT_EQ(steps[89], 0);           // the last frame covers no ground
  EXPECT_LT(steps[0], steps[44] * 0.05f);  // the first hardly any
  EXPECT_NEAR(steps[44], 0.2f, 1e-3f);     // fastest half way

  Pisces slow{run};
  slow.SetAngleStep(1.0f);
  int slowFrames = 0;
  while (!slow.leapDone && slowFrames < 400) {
    slow.Move(run);
    ++slowFrames;
  }
  EXPECT_EQ(slowFrames, 180);
}

TEST(Pisces, LeapsDownwardsUnderTheFieldAndBumpsFromOneUnitAboveOrBelow) {
  RunState alone;
  Pisces fish{alone};
  fish.upsideDown = 1;
  fish.Move(alone);
  EXPECT_LT(fish.position.y, 0);

  WorldHarness w;
  RunState& run = w.GetRun();
  w.Build(StageGrid(9, 9, {{{4, 4}, "ON0ECP0ERR"}}), 2);
  Player& p = w.GetPlayer();
  CharacterList& list = w.Characters().GetCharacters();
  auto* leaper = new Pisces(run);
  list.push_back(leaper);
  leaper->position = p.position + Vec3{0.5f, 0.95f, 0};
  leaper->HitCharacters(run, list);
  EXPECT_EQ(p.knockBack, 1);
  EXPECT_NEAR(std::hypot(p.velocity.x, p.velocity.z), 4.5f, 1e-4f);  // its velocity 0.3 times 15
  p.knockBack = 0;
  leaper->position = p.position + Vec3{0.5f, 1.05f, 0};
  leaper->HitCharacters(run, list);
  EXPECT_EQ(p.knockBack, 0);
}

TEST(Counts, FishThatWereNeverCountedLowerNothingAndPlacedOnesLowerWhatTheyRaised) {
  // The jar's stage: one boss, a placed fish (a boss too) and the river.
  WorldHarness w;
  RunState& run = w.GetRun();
  w.Build(StageGrid(41, 21,
                    {{{30, 10}, "ON0ECP0ERR"}, {{20, 10}, "ON0ECEA0ERL"}, {{5, 5}, "ON0ECEF0ERL"}}),
          2);
  EXPECT_EQ(run.game.bossesLeft, 2);
  run.game.gameMode = kModeBossBattle;
  int lowestEnemies = 0, lowestBosses = 2;
  for (int i = 0; i < 600; ++i) {
    w.Frame();
    lowestEnemies = std::min(lowestEnemies, run.game.enemiesLeft);
    lowestBosses = std::min(lowestBosses, run.game.bossesLeft);
  }
  EXPECT_EQ(lowestEnemies, 0) << "poured and river fish must not lower the enemies left";
  EXPECT_EQ(run.game.bossesLeft, 1) << "the placed fish left after its leap; the jar remains";
  EXPECT_EQ(lowestBosses, 1);
}
