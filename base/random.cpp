#include "base/random.h"

#include <ctime>

namespace {

uint32_t g_gameState = 1;
uint32_t g_drawState = 1;
bool g_fixedTimeSeed = false;
uint32_t g_timeSeed = 0;

int Next(uint32_t& state) {
  state = state * 214013u + 2531011u;
  return static_cast<int>((state >> 16) & 0x7FFF);
}

}  // namespace

int GameRand() {
  return Next(g_gameState);
}
void GameSrand(uint32_t seed) {
  g_gameState = seed;
}
int DrawRand() {
  return Next(g_drawState);
}
void DrawSrand(uint32_t seed) {
  g_drawState = seed;
}

uint32_t TimeSeed() {
  if (g_fixedTimeSeed) return g_timeSeed;
  return static_cast<uint32_t>(std::time(nullptr));
}

void SetFixedTimeSeed(bool fixed, uint32_t seed) {
  g_fixedTimeSeed = fixed;
  g_timeSeed = seed;
}
