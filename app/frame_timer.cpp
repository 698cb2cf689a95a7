#include "app/frame_timer.h"

#include <deque>

#include "base/frame_time.h"
#include "platform/backend.h"

namespace {

constexpr int kFramesPerSecond = 60;
constexpr unsigned kSampleCount = 10;
constexpr double kMillisecondsPerSecond = 1000.0;

int64_t g_lastTick = 0;
int64_t g_ticksPerFrame = 1;
double g_frequency = 1.0;
int g_frameReady = 0;
unsigned g_sampleCount = 0;
std::deque<double> g_samples;
double g_runningTotal = 0.0;

Clock* TimerClock() {
  Backend* backend = GetBackend();
  return backend ? &backend->GetClock() : nullptr;
}

// Lets a frame through when one is due; yields its length in milliseconds,
// else 0. Time spent past the due moment is not made up later.
double Poll() {
  Clock* clock = TimerClock();
  if (!clock) return 0.0;
  const int64_t now = clock->QueryPerformanceCounter();
  if (now < g_lastTick + g_ticksPerFrame) {
    g_frameReady = 0;
    return 0.0;
  }
  const double seconds = static_cast<double>(now - g_lastTick) / g_frequency;
  SetDeltaTime(static_cast<float>(seconds));
  g_lastTick = now;
  g_frameReady = 1;
  return seconds * kMillisecondsPerSecond;
}

}  // namespace

void InitFrameTimer() {
  g_sampleCount = kSampleCount;
  g_samples.assign(g_sampleCount, 0.0);
  g_runningTotal = 0.0;
  g_frameReady = 0;
  SetDeltaTime(0.0f);
  Clock* clock = TimerClock();
  g_lastTick = clock ? clock->QueryPerformanceCounter() : 0;
  const int64_t frequency = clock ? clock->QueryPerformanceFrequency() : 1;
  g_frequency = static_cast<double>(frequency);
  g_ticksPerFrame = frequency / kFramesPerSecond;
  MeasureFrameRate();
}

double MeasureFrameRate() {
  const double x = Poll();
  if (x == 0.0 || g_samples.empty()) return 0.0;
  g_samples.pop_front();
  g_samples.push_back(x);
  const double average = (g_runningTotal + x) / g_sampleCount;
  const double result = average != 0.0 ? kMillisecondsPerSecond / average : 0.0;
  g_runningTotal = g_runningTotal + x - g_samples.front();
  return result;
}

int IsFrameReady() {
  return g_frameReady;
}
void ReleaseFrameTimer() {
  g_samples.clear();
}
int64_t NextFrameDue() {
  return g_lastTick + g_ticksPerFrame;
}
