// The drawing benchmark (--bench): the title and each stage drawn through
// OpenGL offscreen for a number of frames, with the CPU per frame (mean and
// 99th percentile, all threads and the main thread alone), draws and
// triangles per frame, the time to the first picture and the load's CPU.
#pragma once

#include <cstdint>

// Prints the table; 0 when every scene ran.
int RunBenchmark(int64_t frames);
