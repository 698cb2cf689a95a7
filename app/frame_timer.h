// The frame timer: paces the program at 60 frames per second on the backend's
// clock, measures the rate shown in the window title (the mean of the last ten
// frame lengths) and publishes the length of the last frame in seconds
// (base/frame_time.h).
#pragma once

#include <cstdint>
#include <deque>

#include "base/frame_time.h"

class FrameTimer {
 public:
  // Starts timing from now on the backend's clock.
  void Init();
  // Polls the timer: the averaged rate when a frame is due, else 0.
  double MeasureFrameRate();
  int IsFrameReady() const;
  void Release();
  // The counter value at which the next frame becomes due.
  int64_t NextFrameDue() const;

 private:
  // Lets a frame through when one is due; yields its length in
  // milliseconds, else 0. Time spent past the due moment is not made up
  // later.
  double Poll();

  int64_t lastTick_ = 0;
  int64_t ticksPerFrame_ = 1;
  double frequency_ = 1.0;
  int frameReady_ = 0;
  unsigned sampleCount_ = 0;
  std::deque<double> samples_;
  double runningTotal_ = 0.0;
};
