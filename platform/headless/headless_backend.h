// The backend for tests and the runner: no window, input from a script, a
// clock that moves exactly 1/60 s per frame, silent sound whose timing still
// runs, and either the counting device or, for screenshots, a device that
// draws real pictures, made by a factory the caller gives (the runner's is
// OpenGL offscreen, which needs no display). It needs no OpenGL itself.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/backend.h"
#include "platform/common/clocks.h"
#include "platform/headless/input_script.h"

// Makes the device that draws real pictures (the runner passes OpenGL
// offscreen); null with a reason when it cannot.
using PictureDeviceFactory = std::function<GraphicsDevice*(std::string* error)>;

struct HeadlessOptions {
  bool renderPictures = false;  // the picture device instead of the counting device
  PictureDeviceFactory pictureDevice;
  int64_t maxFrames = -1;  // end the run after this many frames (-1: no limit)
  InputScript script;
};

class HeadlessBackend : public Backend {
 public:
  explicit HeadlessBackend(HeadlessOptions options);
  ~HeadlessBackend() override;

  GameWindow* CreateGameWindow(const char* title, int width, int height, bool fullscreen) override;
  GraphicsDevice* CreateDevice(GameWindow* window, bool fullscreen) override;
  InputSource* CreateInputSource() override;
  SoundDevice* CreateSoundDevice() override;
  Clock& GetClock() override { return clock_; }

  // Frames whose input has been read so far.
  int64_t FramesRun() const;
  // The last title the game set.
  const std::string& WindowTitle() const;
  // What the game last asked the window to show as (none: never asked).
  std::optional<WindowDisplay> LastDisplayRequest() const;
  // Ends the run before the next frame.
  void RequestQuit();

  struct Shared;

 private:
  HeadlessOptions options_;
  SteppedClock clock_{false};
  std::shared_ptr<Shared> shared_;
};
