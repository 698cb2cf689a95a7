// Helpers shared by the tests: a headless program set up around a test, and
// frames stepped by hand.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/application.h"
#include "app/frame_timer.h"
#include "base/language.h"
#include "platform/headless/headless_backend.h"
#include "tools/sim/simulation.h"

// Installs a headless backend for the lifetime of the object.
class ScopedHeadlessBackend {
 public:
  explicit ScopedHeadlessBackend(HeadlessOptions options = {});
  ~ScopedHeadlessBackend();
  HeadlessBackend& Get() { return *backend_; }

 private:
  std::unique_ptr<HeadlessBackend> backend_;
};

// Parses an input script given inline; fails the test on a mistake.
InputScript ScriptFrom(const std::string& text);

// A headless backend with the rendering device (and optionally the sound
// engine and the sprite) started, as the program's start-up would.
class HeadlessServices {
 public:
  explicit HeadlessServices(bool sound = false, bool sprite = false, bool pictures = false);
  ~HeadlessServices();
  HeadlessBackend& Backend() { return backend_.Get(); }
  // Moves the headless clock on by a number of seconds.
  void Advance(double seconds);

 private:
  ScopedHeadlessBackend backend_;
  bool sound_, sprite_;
};

// Steps the frame timer one frame of exactly 1/60 s on the backend's clock,
// so GetDeltaTime reads as in the running game.
class FrameStepper {
 public:
  FrameStepper();
  void Step(int frames = 1);

 private:
  FrameTimer timer_;
};

// The directory that holds the generated Resource_Orvelune tree.
std::string RunDirectory();
// A runner's run of stage 1 in the run directory, in this language, played
// by this input script.
SimOptions StageOneRun(Language language, const std::string& inputPath);
// Fills dir with a Resource_Orvelune tree of links to the generated content,
// leaving out each file for which leaveOut(path under Resource_Orvelune) is
// true (a test then writes its own or leaves it missing).
void LinkContent(const std::string& dir, const std::function<bool(const std::string&)>& leaveOut);
// Reads a whole file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
// A fresh temporary directory, removed with the object.
class TempDirectory {
 public:
  TempDirectory();
  ~TempDirectory();
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Runs the block with the working directory changed.
class ScopedWorkingDirectory {
 public:
  explicit ScopedWorkingDirectory(const std::string& dir);
  ~ScopedWorkingDirectory();

 private:
  std::string previous_;
};
