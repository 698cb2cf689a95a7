// The backend for play: an SDL2 window with its events, keyboard and the
// first game controller as pad 0, OpenGL 3.3 rendering, OpenAL sound and the
// system's high-resolution clock.
#pragma once

#include <memory>

#include "platform/backend.h"

struct SdlBackendOptions {
  // Replace the real clock with one that advances exactly one frame per
  // frame (paced in real time): used when recording replays.
  bool fixedStepClock = false;
  int msaaSamples = 4;
};

// Null with a message on stderr when SDL cannot start.
std::unique_ptr<Backend> CreateSdlBackend(const SdlBackendOptions& options);
