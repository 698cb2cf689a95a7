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
  FrameTimer timer;
  timer.Init();
  EXPECT_EQ(timer.IsFrameReady(), 0);
  backend.clock.now += 99;
  EXPECT_EQ(timer.MeasureFrameRate(), 0.0);
  EXPECT_EQ(timer.IsFrameReady(), 0);
  backend.clock.now += 1;
  EXPECT_GT(timer.MeasureFrameRate(), 0.0);
  EXPECT_EQ(timer.IsFrameReady(), 1);
  EXPECT_FLOAT_EQ(GetDeltaTime(), 100.0f / 6000.0f);
  // An early poll leaves the delta of the last frame alone.
  backend.clock.now += 10;
  EXPECT_EQ(timer.MeasureFrameRate(), 0.0);
  EXPECT_FLOAT_EQ(GetDeltaTime(), 100.0f / 6000.0f);
  timer.Release();
}

TEST(FrameTimer, FirstRatesReadHighUntilTenFramesHavePassed) {
  ManualClockBackend backend(6000);
  FrameTimer timer;
  timer.Init();
  std::vector<double> rates;
  for (int i = 0; i < 12; ++i) {
    backend.clock.now += 100;
    rates.push_back(timer.MeasureFrameRate());
  }
  EXPECT_NEAR(rates[0], 600.0, 1e-6);  // ten times the true rate
  EXPECT_NEAR(rates[1], 300.0, 1e-6);
  EXPECT_NEAR(rates[9], 60.0, 1e-6);
  EXPECT_NEAR(rates[11], 60.0, 1e-6);
  timer.Release();
}

TEST(FrameTimer, AStallLetsOneLongFrameThroughWithoutCatchingUp) {
  ManualClockBackend backend(6000);
  FrameTimer timer;
  timer.Init();
  backend.clock.now += 100;
  timer.MeasureFrameRate();
  backend.clock.now += 3000;  // half a second without polling
  EXPECT_GT(timer.MeasureFrameRate(), 0.0);
  EXPECT_FLOAT_EQ(GetDeltaTime(), 0.5f);
  EXPECT_EQ(timer.MeasureFrameRate(), 0.0);  // no second frame to make up time
  EXPECT_EQ(timer.IsFrameReady(), 0);
  timer.Release();
}

TEST(FrameTimer, TicksPerFrameRoundDown) {
  ManualClockBackend backend(6059);  // 100.98 ticks per frame, rounded to 100
  FrameTimer timer;
  timer.Init();
  backend.clock.now += 100;
  EXPECT_GT(timer.MeasureFrameRate(), 0.0);
  EXPECT_EQ(timer.NextFrameDue(), backend.clock.now + 100);
  timer.Release();
}
