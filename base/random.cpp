#include "base/random.h"

#include <ctime>

namespace {

bool g_fixedTimeSeed = false;
uint32_t g_timeSeed = 0;

}  // namespace

uint32_t TimeSeed() {
  if (g_fixedTimeSeed) return g_timeSeed;
  return static_cast<uint32_t>(std::time(nullptr));
}

void SetFixedTimeSeed(bool fixed, uint32_t seed) {
  g_fixedTimeSeed = fixed;
  g_timeSeed = seed;
}
