// The two clocks the backends use.
#pragma once

#include "platform/backend.h"

// The system's monotonic high-resolution clock. WaitUntil sleeps while more
// than about 1 ms remains and spins for the rest, so waiting for the next
// frame does not burn a whole core.
class SystemClock : public Clock {
 public:
  int64_t QueryPerformanceCounter() override;
  int64_t QueryPerformanceFrequency() override;
  void WaitUntil(int64_t counter) override;
};

// The system's clock in a browser, where the page must never block: a wait
// returns at once, and the page calls the game again at its next display
// refresh.
class BrowserClock : public SystemClock {
 public:
  void WaitUntil(int64_t /*counter*/) override {}
};

// A clock that moves only when waited on: each wait lands exactly on the
// requested value, so every frame lasts exactly one frame time and runs repeat
// exactly. With pacing on it also waits in real time (to record replays at
// the game's real speed); without it, it never sleeps.
class SteppedClock : public Clock {
 public:
  static constexpr int64_t kFrequency = 600000;  // a multiple of 60
  explicit SteppedClock(bool paceInRealTime) : pace_(paceInRealTime) {}
  int64_t QueryPerformanceCounter() override { return now_; }
  int64_t QueryPerformanceFrequency() override { return kFrequency; }
  void WaitUntil(int64_t counter) override;

 private:
  bool pace_;
  int64_t now_ = 0;
  SystemClock real_;
  int64_t realStart_ = -1;
};
