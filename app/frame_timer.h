// The frame timer: paces the program at 60 frames per second on the backend's
// clock, measures the rate shown in the window title (the mean of the last ten
// frame lengths) and publishes the length of the last frame in seconds
// (base/frame_time.h).
#pragma once

#include <cstdint>

#include "base/frame_time.h"

void InitFrameTimer();
// Polls the timer: the averaged rate when a frame is due, else 0.
double MeasureFrameRate();
int IsFrameReady();
void ReleaseFrameTimer();
// The counter value at which the next frame becomes due.
int64_t NextFrameDue();
