// The seven-star burst: it fades over fifty-one frames, its stars slow to a
// stop in x and z, and they sink on the upper side and rise on the underside.
#include "world/star_burst.h"

#include <gtest/gtest.h>

#include "base/random.h"

TEST(StarBurst, FadesOutInFiftyOneFramesAndIsIdleUntilActivated) {
  RandomStream draw;
  StarBurst burst;
  burst.Start(draw, 0, {1, 2, 3}, {5, 10, 5});
  EXPECT_FALSE(burst.Active());
  EXPECT_EQ(burst.Alpha(), 255);
  burst.Update(0);
  EXPECT_EQ(burst.Alpha(), 255);  // nothing moves before Activate
  burst.Activate();
  int frames = 0;
  while (burst.Active() && frames < 100) {
    burst.Update(0);
    ++frames;
  }
  EXPECT_EQ(frames, 51);
  EXPECT_EQ(burst.Alpha(), 0);
}

TEST(StarBurst, StarsSinkOnTheUpperSideAndRiseOnTheUnderside) {
  RandomStream draw;
  for (int side : {0, 1}) {
    StarBurst burst;
    burst.Start(draw, side, {0, 0, 0}, {5, 10, 5});
    burst.Activate();
    // Thrown up at 0.05 to 0.14 a frame, every star turns back within
    // thirty frames as the sinking speed grows 0.005 a frame.
    for (int i = 0; i < 40; ++i) burst.Update(side);
    float before[7];
    for (int k = 0; k < 7; ++k) before[k] = burst.StarPosition(k).y;
    burst.Update(side);
    for (int k = 0; k < 7; ++k) {
      if (side == 0) {
        EXPECT_LT(burst.StarPosition(k).y, before[k]) << "upper side, star " << k;
      } else {
        EXPECT_GT(burst.StarPosition(k).y, before[k]) << "underside, star " << k;
      }
    }
  }
}
