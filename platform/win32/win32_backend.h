// The backend for play on Windows: a Win32 window with its messages, the
// keyboard through raw input (DirectInput's codes), XInput pad 0, Direct3D 9
// drawing, DirectSound sound and the system's high-resolution clock.
#pragma once

#include <memory>
#include <string>

#include "platform/backend.h"

struct Win32BackendOptions {
  // A clock that advances exactly one frame per frame (recording replays).
  bool fixedStepClock = false;
  int windowWidth = 1280;
  int windowHeight = 720;
  std::string iconPath;  // a PNG for the window's icon
};

std::unique_ptr<Backend> CreateWin32Backend(const Win32BackendOptions& options);

// A Direct3D 9 device in a window that is never shown, whose frames can be
// read back: the runner's pictures.
GraphicsDevice* CreateHiddenD3d9Device(std::string* error);

// Tells a player without a console why the game stopped.
void ShowErrorMessage(const std::string& text);
