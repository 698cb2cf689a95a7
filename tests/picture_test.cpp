// The pictures stay the same when the drawing changes: the title and each
// stage's start, drawn through OpenGL offscreen, against the pictures kept
// in tests/data/pictures (taken before the drawing was made faster). A
// channel may differ by rounding; a few pixels along edges may differ more.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/png_image.h"
#include "tests/test_support.h"
#include "tools/sim/simulation.h"

namespace {

struct Difference {
  double largeShare = 1;  // share of pixels with a channel off by more than 3
  int largest = 255;
};

Difference Compare(const Image& a, const Image& b) {
  Difference d;
  if (a.width != b.width || a.height != b.height) return d;
  size_t large = 0;
  d.largest = 0;
  for (size_t i = 0; i < a.argb.size(); ++i) {
    int worst = 0;
    for (int shift : {0, 8, 16}) {
      const int ca = (a.argb[i] >> shift) & 0xFF, cb = (b.argb[i] >> shift) & 0xFF;
      worst = std::max(worst, std::abs(ca - cb));
    }
    d.largest = std::max(d.largest, worst);
    large += worst > 3;
  }
  d.largeShare = static_cast<double>(large) / a.argb.size();
  return d;
}

}  // namespace

TEST(Pictures, TheTitleAndEachStagesStartLookAsTheyDid) {
  TempDirectory dir;
  struct Shot {
    const char* name;
    int stage;
  } shots[] = {{"title", -1}, {"stage0", 0}, {"stage1", 1}, {"stage2", 2}, {"stage3", 3}};
  for (const Shot& shot : shots) {
    SimOptions o;
    o.workingDirectory = RunDirectory();
    o.startStage = shot.stage;
    o.frames = 240;
    const std::string path = dir.Path() + "/" + shot.name + ".png";
    o.screenshots.push_back({239, path});
    testing::internal::CaptureStderr();
    const int status = RunSimulation(o);
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(status, 0) << shot.name;
    Image now, then;
    std::string why;
    ASSERT_TRUE(LoadPng(path, &now, &why)) << why;
    ASSERT_TRUE(LoadPng(std::string(ORVELUNE_TEST_DATA_DIR) + "/pictures/" + shot.name + ".png",
                        &then, &why))
        << why;
    const Difference d = Compare(now, then);
    EXPECT_LT(d.largeShare, 0.001) << shot.name << ": largest channel difference " << d.largest;
  }
}
