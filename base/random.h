// The game's random numbers. All randomness that can change the game goes
// through one generator with the C library's rand() semantics of the
// original platform (15-bit results), so a seeded run repeats exactly.
// Randomness used only for drawing has a generator of its own, so drawing or
// not drawing never changes the game.
#pragma once

#include <cstdint>

constexpr int kRandMax = 0x7FFF;

int GameRand();
void GameSrand(uint32_t seed);
int DrawRand();
void DrawSrand(uint32_t seed);

// The seed the field uses at stage start ("the current time"). The runner
// fixes it so that runs repeat.
uint32_t TimeSeed();
void SetFixedTimeSeed(bool fixed, uint32_t seed);
