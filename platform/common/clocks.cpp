#include "platform/common/clocks.h"

#include <chrono>
#include <thread>

int64_t SystemClock::QueryPerformanceCounter() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

int64_t SystemClock::QueryPerformanceFrequency() {
  return 1000000000;
}

void SystemClock::WaitUntil(int64_t counter) {
  constexpr int64_t kSpinNanoseconds = 1000000;  // sleeps are accurate to well under 1 ms
  for (;;) {
    const int64_t remaining = counter - QueryPerformanceCounter();
    if (remaining <= 0) return;
    if (remaining > kSpinNanoseconds) {
      std::this_thread::sleep_for(std::chrono::nanoseconds(remaining - kSpinNanoseconds));
    } else {
      std::this_thread::yield();
    }
  }
}

void SteppedClock::WaitUntil(int64_t counter) {
  if (counter <= now_) return;
  now_ = counter;
  if (pace_) {
    if (realStart_ < 0) realStart_ = real_.QueryPerformanceCounter();
    real_.WaitUntil(realStart_ + now_ * (real_.QueryPerformanceFrequency() / kFrequency));
  }
}
