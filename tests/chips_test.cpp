// Chips and items: the floor chip's collision with characters (standing,
// sides, footprint, the carried star's bigger edge), the invisible encounter
// chip, and the recovery item's cadence.
#include "world/chips.h"

#include <gtest/gtest.h>

#include "platform/common/state_device.h"
#include "platform/graphics.h"
#include "tests/test_support.h"
#include "world/game_state.h"
#include "world/player.h"
#include "world/run_state.h"
#include "world/world_values.h"

namespace {

const Vec3 kCharacter{1, 2, 1};
const Vec3 kStill{0, 0, 0};

int Hit(OneChip& chip, const Vec3& at, Vec3* contact, int upsideDown = 0) {
  RunState run;
  return chip.HitCheck(run, upsideDown, at, kCharacter, kStill, contact);
}

}  // namespace

TEST(OneChipHit, ACharacterOnTopStandsAtTheTopFace) {
  RunState run;
  OneChip chip{run};
  chip.position = {3, 0, -2};
  Vec3 contact;
  // Gravity has pulled the feet just below the top: stand on it.
  EXPECT_EQ(Hit(chip, {3.2f, 0.495f, -2}, &contact), kFaceOver | kFaceStand);
  EXPECT_FLOAT_EQ(contact.y, 0.0f);
  // Exactly on the top face only the footprint counts.
  EXPECT_EQ(Hit(chip, {3, 0.5f, -2}, &contact), kFaceOver);
  EXPECT_FLOAT_EQ(contact.y, 0.5f);
  // Above it, only the footprint with the top face as contact.
  EXPECT_EQ(Hit(chip, {3, 2.0f, -2}, &contact), kFaceOver);
  EXPECT_FLOAT_EQ(contact.y, 0.5f);
  // Upside down under the chip: the bottom face, inclusive.
  EXPECT_EQ(Hit(chip, {3, -0.5f, -2}, &contact, 1), kFaceOver | kFaceStand);
}

TEST(OneChipHit, SideFacesPushAsideCharactersBesideTheChip) {
  RunState run;
  OneChip chip{run};
  chip.position = {0, 1, 0};  // a step one unit up
  Vec3 contact;
  // Walking into it from -x at floor level: the character's +x side is inside.
  EXPECT_EQ(Hit(chip, {-0.8f, 0.5f, 0}, &contact) & (kFacePushNegX | kFacePushPosX), kFacePushNegX);
  EXPECT_FLOAT_EQ(contact.x, 0.0f);
  EXPECT_EQ(Hit(chip, {0.8f, 0.5f, 0}, &contact) & (kFacePushNegX | kFacePushPosX), kFacePushPosX);
  EXPECT_EQ(Hit(chip, {0, 0.5f, 0.8f}, &contact) & (kFacePushNegZ | kFacePushPosZ), kFacePushPosZ);
  // Too far away: nothing.
  EXPECT_EQ(Hit(chip, {-1.2f, 0.5f, 0}, &contact), 0);
  // A chip lifted by a quake has no sides.
  chip.state = kStateSpecial;
  EXPECT_EQ(Hit(chip, {-0.8f, 0.5f, 0}, &contact), 0);
}

TEST(OneChipHit, ACarriedStarAtLevelThreeHasAnEdgeOfThree) {
  RunState run;
  OneChip chip{run};
  chip.position = {0, 0, 0};
  chip.hitInfo.carried = 1;
  chip.hitInfo.level = 3;
  Vec3 contact;
  EXPECT_EQ(Hit(chip, {1.5f, 2.0f, 0}, &contact), kFaceOver);
  EXPECT_FLOAT_EQ(contact.y, 1.5f);
  chip.hitInfo.level = 1.5f;
  EXPECT_EQ(Hit(chip, {1.5f, 2.0f, 0}, &contact), 0);
}

TEST(OneChipDraw, TheEncounterChipIsSolidButNeverDrawn) {
  RunState run;
  HeadlessServices services;
  OneChip trigger{run};
  trigger.gimmickKind = kKindEncounter;
  trigger.Init(run);
  Vec3 contact;
  EXPECT_EQ(Hit(trigger, {0, 0.495f, 0}, &contact), kFaceOver | kFaceStand);
  GraphicsDevice* d = GetDevice();
  d->BeginScene();
  trigger.Draw(run);
  d->EndScene();
  d->Present();
  EXPECT_EQ(d->LastFrameStats().drawCalls, 0);
}

TEST(ItemHeal, HealsAtOnceOnContactThenEveryPoint785SecondsOfContact) {
  RunState run;
  HeadlessServices services(true);
  FrameStepper frames;
  Player player{run};
  player.position = {5, 0.5f, -3};
  Item item(run, 0);
  item.position = {5, 0.5f, -3};
  run.game.life = 3;
  frames.Step();
  item.Action(run, &player);
  EXPECT_EQ(run.game.life, 4);
  EXPECT_NE(item.motion & Item::kRising, 0);  // starts to bob
  // Keep touching the bobbing item: the next heal comes 0.785 s later.
  int frame = 0;
  while (run.game.life == 4 && frame < 200) {
    frames.Step();
    player.position.y = item.position.y;
    item.Action(run, &player);
    ++frame;
  }
  EXPECT_EQ(run.game.life, 5);
  EXPECT_NEAR(frame, 47, 1);
  // Stepping off and on again heals at once.
  player.position.y = 10;
  frames.Step();
  item.Action(run, &player);
  player.position.y = item.position.y;
  frames.Step();
  item.Action(run, &player);
  EXPECT_EQ(run.game.life, 6);
  // At full life standing on it does nothing but end the bob.
  run.game.life = 9;
  frames.Step();
  item.Action(run, &player);
  EXPECT_EQ(run.game.life, 9);
  EXPECT_NE(item.motion & Item::kStopAfterBob, 0);
}
