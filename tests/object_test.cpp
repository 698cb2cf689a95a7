// The motion states of world objects, frame by frame: the three-phase flip,
// the fall into the river, the blown-away arc, the knock-back slide and the
// push out of a box.
#include <gtest/gtest.h>

#include "tests/test_support.h"
#include "world/game_state.h"
#include "world/object_base.h"
#include "world/run_state.h"
#include "world/world_values.h"

namespace {

class ObjectTest : public testing::Test {
 protected:
  ScopedHeadlessBackend backend_;
  FrameStepper frames_;
};

// Flips an object and counts the frames of each phase.
struct FlipRun {
  int rise = 0, turn = 0, settle = 0;
};

FlipRun Flip(RunState& run, ObjectAction& o, FrameStepper& frames) {
  o.state = kStateFlipping;
  o.flipPhase = 0;
  o.timer = 0;
  o.startPosition = o.position;
  o.flipCentre = o.position;
  o.flipRise = o.upsideDown ? -4.0f : 4.0f;
  o.flipOffset = {0, 0, 0};
  FlipRun phases;
  for (int guard = 0; guard < 500 && o.state == kStateFlipping; ++guard) {
    frames.Step();
    const int phase = o.flipPhase;
    o.Update(run);
    (phase == 0 ? phases.rise : phase == 1 ? phases.turn : phases.settle)++;
  }
  return phases;
}

}  // namespace

TEST_F(ObjectTest, AFlipRisesTurnsThirtyFramesAndSettlesOnTheOtherSide) {
  RunState run;
  ObjectAction o{run};
  o.position = {3, 0, -4};
  const FlipRun first = Flip(run, o, frames_);
  EXPECT_NEAR(first.rise, 36, 1);  // 0.6 s
  EXPECT_EQ(first.turn, 30);       // 6 degrees a frame to 180
  EXPECT_NEAR(first.settle, 36, 1);
  EXPECT_EQ(o.state, kStateNormal);
  EXPECT_FLOAT_EQ(o.rotation.z, 180);
  EXPECT_EQ(o.upsideDown, 1);
  EXPECT_NEAR(o.position.y, 0.0f, 1e-4f);
  EXPECT_NEAR(o.position.z, -4.0f, 1e-4f);
  // The second flip turns from 180 on to 360, which becomes 0.
  const FlipRun second = Flip(run, o, frames_);
  EXPECT_EQ(second.turn, 30);
  EXPECT_FLOAT_EQ(o.rotation.z, 0);
  EXPECT_EQ(o.upsideDown, 0);
  EXPECT_NEAR(o.position.y, 0.0f, 1e-4f);
}

TEST_F(ObjectTest, AFlippedAreaMirrorsAboutItsCentreLine) {
  RunState run;
  ObjectAction o{run};
  o.position = {0, 0, -3};
  o.state = kStateFlipping;
  o.startPosition = o.position;
  o.flipCentre = {0, 0, -4};
  o.flipOffset = {0, 0, 1};  // one unit from the centre line
  o.flipRise = 4;
  for (int guard = 0; guard < 500 && o.state == kStateFlipping; ++guard) {
    frames_.Step();
    o.Update(run);
  }
  EXPECT_NEAR(o.position.z, -5.0f, 1e-4f);
}

TEST_F(ObjectTest, FallingObjectsReachTheRiverThroughStateSeven) {
  RunState run;
  ObjectAction o{run};
  o.gravityOn = 1;
  o.size = {1, 1, 1};
  o.position = {0, -14.4f, 0};
  o.Update(run);  // y = -14.405: still above -14.5
  EXPECT_EQ(o.state, kStateNormal);
  o.fallSpeed = 0.2f;
  o.Update(run);  // below -15 - 0.5 + 1
  EXPECT_EQ(o.state, kStateFalling);
  while (o.state == kStateFalling) {
    EXPECT_GE(o.position.y, -15.5f);  // still falling until below -15 - 0.5
    o.Update(run);
  }
  EXPECT_EQ(o.state, kStateWashedAway);
  EXPECT_LT(o.position.y, -15.5f);
  // The same limits mirrored for the underside.
  ObjectAction u{run};
  u.gravityOn = 1;
  u.upsideDown = 1;
  u.size = {1, 1, 1};
  u.position = {0, 14.6f, 0};
  u.Update(run);
  EXPECT_EQ(u.state, kStateFalling);
  run.game.playerUnderside = 1;  // in state 7 the fall follows the player's side
  u.position.y = 15.6f;
  u.Update(run);
  EXPECT_EQ(u.state, kStateWashedAway);
}

TEST_F(ObjectTest, WashedAwayObjectsDriftAndAreGoneBeyondTheFront) {
  RunState run;
  run.world.frontEdgeZ = -10;
  ObjectAction o{run};
  o.state = kStateWashedAway;
  o.position = {0, 0, -59};
  o.Update(run);
  EXPECT_FLOAT_EQ(o.position.z, -59.35f);
  EXPECT_EQ(o.state, kStateWashedAway);
  o.position.z = -59.7f;
  o.Update(run);
  EXPECT_EQ(o.state, kStateGone);
}

TEST_F(ObjectTest, TheBlownAwayArcDependsOnTheGameMode) {
  RunState run;
  auto arcFrames = [&](int mode, float* zPerFrame) {
    run.game.gameMode = mode;
    ObjectAction o{run};
    o.spinSpeed = 0;
    o.state = kStateBlownAway;
    int frames = 0;
    while (o.state == kStateBlownAway && frames < 1000) {
      o.Update(run);
      ++frames;
    }
    *zPerFrame = o.position.z / frames;
    EXPECT_EQ(o.rotation, Vec3(0, 0, 0));  // a spin speed of 0 never spins
    return frames;
  };
  float z3, z6, z0;
  EXPECT_EQ(arcFrames(kModeBossBattle, &z3), 61);  // 3 degrees a frame
  EXPECT_EQ(arcFrames(kModeBlownAway, &z6), 91);   // 2 degrees a frame
  EXPECT_EQ(arcFrames(kModeFreePlay, &z0), 361);   // half a degree a frame
  EXPECT_NEAR(z3, -0.55f, 1e-3f);
  EXPECT_NEAR(z6, -0.45f, 1e-3f);
  EXPECT_NEAR(z0, -0.15f, 1e-3f);
  // While a board is being read nothing moves.
  run.world.boardReading = 1;
  ObjectAction still{run};
  still.state = kStateBlownAway;
  still.Update(run);
  EXPECT_EQ(still.position, Vec3(0, 0, 0));
  EXPECT_EQ(still.arcDegrees, 0);
}

TEST_F(ObjectTest, KnockBackSlidesForHalfASecondAndMovesOnceMoreAtExactlyHalf) {
  RunState run;
  CharacterBase c{run};
  c.gravityOn = 0;
  c.knockBack = 1;
  c.velocity = {5, 0, 0};
  c.knockTimer = 0.5f;
  frames_.Step();
  c.KnockBack();
  EXPECT_FLOAT_EQ(c.position.x, 0.0f);  // (0.5 - 0.5) x ... = no distance, but a step
  EXPECT_EQ(c.knockBack, 1);
  EXPECT_GT(c.knockTimer, 0.5f);
  c.KnockBack();
  EXPECT_EQ(c.knockBack, 0);
  EXPECT_EQ(c.knockTimer, 0.0f);
  EXPECT_EQ(c.velocity, Vec3(0.1f, 0, 0));
  // A whole slide decelerates linearly: the first frame moves the most.
  CharacterBase d{run};
  d.knockBack = 1;
  d.velocity = {5, 0, 0};
  frames_.Step();
  d.KnockBack();
  EXPECT_FLOAT_EQ(d.position.x, 0.5f * 5 / 5);
}

TEST_F(ObjectTest, PushOutMovesOutOfTheFacesGiven) {
  RunState run;
  CharacterBase c{run};
  c.size = {1, 2, 1};
  c.position = {0.2f, 0.3f, 0};
  c.fallSpeed = 0.3f;
  c.PushOut(kFaceStand | kFacePushPosX, {-0.5f, 0, 0});
  EXPECT_FLOAT_EQ(c.position.y, 0.5f);
  EXPECT_FLOAT_EQ(c.position.x, 0.5f);
  EXPECT_EQ(c.fallSpeed, 0.0f);
  c.upsideDown = 1;
  c.PushOut(kFaceStand | kFacePushNegZ, {0, 0, 2});
  EXPECT_FLOAT_EQ(c.position.y, -0.5f);
  EXPECT_FLOAT_EQ(c.position.z, 1.0f);
  EXPECT_FLOAT_EQ(c.world[3][2], 1.0f);
}
