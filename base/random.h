// The game's random numbers: a stream with the C library's rand() semantics
// of the original platform (15-bit results), so a seeded run repeats
// exactly. The run being played holds two (world/run_state.h): one for all
// randomness that can change the game, and one for randomness used only for
// drawing, so drawing or not drawing never changes the game.
#pragma once

#include <cstdint>

constexpr int kRandMax = 0x7FFF;

class RandomStream {
 public:
  explicit RandomStream(uint32_t seed = 1) : state_(seed) {}
  // The next number, 0 to kRandMax.
  int Next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
  }
  void Seed(uint32_t seed) { state_ = seed; }

 private:
  uint32_t state_;
};

// The seed the field uses at stage start ("the current time"). The runner
// fixes it so that runs repeat.
uint32_t TimeSeed();
void SetFixedTimeSeed(bool fixed, uint32_t seed);
