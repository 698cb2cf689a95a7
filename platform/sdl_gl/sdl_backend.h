// The backend for play: an SDL2 window with its events, keyboard and the
// first game controller as pad 0, OpenGL 3.3 rendering, OpenAL sound and the
// system's high-resolution clock.
#pragma once

#include <memory>
#include <string>

#include "platform/backend.h"

struct SdlBackendOptions {
  // Replace the real clock with one that advances exactly one frame per
  // frame (paced in real time): used when recording replays.
  bool fixedStepClock = false;
  int msaaSamples = 4;
  // The window's size when not in full screen (the picture keeps 1280x720
  // and is scaled to fit).
  int windowWidth = 1280;
  int windowHeight = 720;
  // A PNG for the window's icon (none when empty or unreadable).
  std::string iconPath;
};

// Null with a message on stderr when SDL cannot start, or when it finds no
// display (no X11 or Wayland): the game never falls back to an invisible
// window by itself (SDL_VIDEODRIVER=offscreen asks for one explicitly).
std::unique_ptr<Backend> CreateSdlBackend(const SdlBackendOptions& options);

// Tells a player who started the game from a desktop launcher (stderr goes
// nowhere they can see) why it stopped, in a message box. Nothing is shown
// when stderr is a terminal, which has said it already, or when there is no
// display to show a box on.
void ShowErrorMessage(const std::string& text);
