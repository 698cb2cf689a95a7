// The drawing benchmark (--bench): the title and each stage drawn through
// OpenGL offscreen for a number of frames, with the CPU per frame (mean,
// median and 99th percentile, all threads and the main thread alone), draws
// and triangles per frame, the time to the first picture and the load's CPU.
#pragma once

#include <cstdint>

// Which scenes the benchmark draws: kBenchAllScenes, kBenchTitle or a
// stage from 0 to 3.
constexpr int kBenchAllScenes = -2;
constexpr int kBenchTitle = -1;

// Prints the table; 0 when every scene ran.
int RunBenchmark(int64_t frames, int scene = kBenchAllScenes);
