// The Direct3D 9 device: the game's device interface carried out by
// Direct3D 9 itself, call for call (the states, texture stages, lights and
// draws the interface names are Direct3D's own). Frames are drawn at
// 1280x720 and shown scaled into the window, letterboxed.
#pragma once

#include <functional>
#include <string>

class GraphicsDevice;

struct D3d9DeviceOptions {
  void* window = nullptr;  // the HWND
  bool readable = false;   // keep frames readable (screenshots; no multisampling)
  bool vsync = true;
  // Runs after the device is gone (to close a window made for it).
  std::function<void()> atExit;
};

// Null with the reason when Direct3D 9 cannot draw in the window.
GraphicsDevice* CreateD3d9Device(const D3d9DeviceOptions& options, std::string* error);
