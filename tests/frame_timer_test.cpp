// The frame timer: a frame only when due, no catching up, the measured
// delta, and the ten-sample rate average.
#include "app/frame_timer.h"

#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace {

class ManualClock : public Clock {
 public:
  explicit ManualClock(int64_t frequency) : frequency_(frequency) {}
  int64_t QueryPerformanceCounter() override { return now; }
  int64_t QueryPerformanceFrequency() override { return frequency_; }
  void WaitUntil(int64_t counter) override { now = std::max(now, counter); }
  int64_t now = 1000;

 private:
  int64_t frequency_;
};

class ManualClockBackend : public HeadlessBackend {
 public:
  explicit ManualClockBackend(int64_t frequency) : HeadlessBackend({}), clock(frequency) {
    SetBackend(this);
  }
  ~ManualClockBackend() override { SetBackend(nullptr); }
  Clock& GetClock() override { return clock; }
  ManualClock clock;
};

}  // namespace

TEST(FrameTimer, LetsAFrameThroughOnlyWhenDue) {
  ManualClockBackend backend(6000);  // 100 ticks per frame
  InitFrameTimer();
  EXPECT_EQ(IsFrameReady(), 0);
  backend.clock.now += 99;
  EXPECT_EQ(MeasureFrameRate(), 0.0);
  EXPECT_EQ(IsFrameReady(), 0);
  backend.clock.now += 1;
  EXPECT_GT(MeasureFrameRate(), 0.0);
  EXPECT_EQ(IsFrameReady(), 1);
  EXPECT_FLOAT_EQ(GetDeltaTime(), 100.0f / 6000.0f);
  // An early poll leaves the delta of the last frame alone.
  backend.clock.now += 10;
  EXPECT_EQ(MeasureFrameRate(), 0.0);
  EXPECT_FLOAT_EQ(GetDeltaTime(), 100.0f / 6000.0f);
  ReleaseFrameTimer();
}

TEST(FrameTimer, FirstRatesReadHighUntilTenFramesHavePassed) {
  ManualClockBackend backend(6000);
  InitFrameTimer();
  std::vector<double> rates;
  for (int i = 0; i < 12; ++i) {
    backend.clock.now += 100;
    rates.push_back(MeasureFrameRate());
  }
  EXPECT_NEAR(rates[0], 600.0, 1e-6);  // ten times the true rate
  EXPECT_NEAR(rates[1], 300.0, 1e-6);
  EXPECT_NEAR(rates[9], 60.0, 1e-6);
  EXPECT_NEAR(rates[11], 60.0, 1e-6);
  ReleaseFrameTimer();
}

TEST(FrameTimer, AStallLetsOneLongFrameThroughWithoutCatchingUp) {
  ManualClockBackend backend(6000);
  InitFrameTimer();
  backend.clock.now += 100;
  MeasureFrameRate();
  backend.clock.now += 3000;  // half a second without polling
  EXPECT_GT(MeasureFrameRate(), 0.0);
  EXPECT_FLOAT_EQ(GetDeltaTime(), 0.5f);
  EXPECT_EQ(MeasureFrameRate(), 0.0);  // no second frame to make up time
  EXPECT_EQ(IsFrameReady(), 0);
  ReleaseFrameTimer();
}

TEST(FrameTimer, TicksPerFrameRoundDown) {
  ManualClockBackend backend(6059);  // 100.98 ticks per frame, rounded to 100
  InitFrameTimer();
  backend.clock.now += 100;
  EXPECT_GT(MeasureFrameRate(), 0.0);
  EXPECT_EQ(NextFrameDue(), backend.clock.now + 100);
  ReleaseFrameTimer();
}
