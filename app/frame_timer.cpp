#include "app/frame_timer.h"

#include <deque>

#include "base/frame_time.h"
#include "platform/backend.h"

namespace {

constexpr int kFramesPerSecond = 60;
constexpr unsigned kSampleCount = 10;
constexpr double kMillisecondsPerSecond = 1000.0;

Clock* TimerClock() {
  Backend* backend = GetBackend();
  return backend ? &backend->GetClock() : nullptr;
}

}  // namespace

double FrameTimer::Poll() {
  Clock* clock = TimerClock();
  if (!clock) return 0.0;
  const int64_t now = clock->QueryPerformanceCounter();
  if (now < lastTick_ + ticksPerFrame_) {
    frameReady_ = 0;
    return 0.0;
  }
  const double seconds = static_cast<double>(now - lastTick_) / frequency_;
  SetDeltaTime(static_cast<float>(seconds));
  lastTick_ = now;
  frameReady_ = 1;
  return seconds * kMillisecondsPerSecond;
}

void FrameTimer::Init() {
  sampleCount_ = kSampleCount;
  samples_.assign(sampleCount_, 0.0);
  runningTotal_ = 0.0;
  frameReady_ = 0;
  SetDeltaTime(0.0f);
  Clock* clock = TimerClock();
  lastTick_ = clock ? clock->QueryPerformanceCounter() : 0;
  const int64_t frequency = clock ? clock->QueryPerformanceFrequency() : 1;
  frequency_ = static_cast<double>(frequency);
  ticksPerFrame_ = frequency / kFramesPerSecond;
  MeasureFrameRate();
}

double FrameTimer::MeasureFrameRate() {
  const double x = Poll();
  if (x == 0.0 || samples_.empty()) return 0.0;
  samples_.pop_front();
  samples_.push_back(x);
  const double average = (runningTotal_ + x) / sampleCount_;
  const double result = average != 0.0 ? kMillisecondsPerSecond / average : 0.0;
  runningTotal_ = runningTotal_ + x - samples_.front();
  return result;
}

int FrameTimer::IsFrameReady() const {
  return frameReady_;
}
void FrameTimer::Release() {
  samples_.clear();
}
int64_t FrameTimer::NextFrameDue() const {
  return lastTick_ + ticksPerFrame_;
}
