#include "tests/test_support.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/frame_timer.h"
#include "platform/graphics.h"
#include "platform/sdl_gl/gl_device.h"
#include "platform/sound.h"

namespace {

// The OpenGL driver is loaded and unloaded by the system libraries as
// offscreen devices come and go. Keeping it resident for the whole test run
// lets the leak checker name it (and its own allocations be suppressed)
// instead of reporting frames of an unloaded, unnamed module.
const bool kDriverResident = [] {
  for (const char* lib : {"libEGL_mesa.so.0", "libglapi.so.0", "libgbm.so.1",
                          "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"})
    dlopen(lib, RTLD_LAZY | RTLD_NODELETE);
  return true;
}();

}  // namespace

ScopedHeadlessBackend::ScopedHeadlessBackend(HeadlessOptions options)
    : backend_(std::make_unique<HeadlessBackend>(std::move(options))) {
  SetBackend(backend_.get());
}

ScopedHeadlessBackend::~ScopedHeadlessBackend() {
  SetBackend(nullptr);
}

InputScript ScriptFrom(const std::string& text) {
  InputScript script;
  std::string error;
  EXPECT_TRUE(script.Parse(text, "inline", &error)) << error;
  return script;
}

namespace {
HeadlessOptions PictureOptions(bool pictures) {
  HeadlessOptions o;
  o.renderPictures = pictures;
  o.pictureDevice = [](std::string* e) { return CreateOffscreenGlDevice(e); };
  return o;
}
}  // namespace

HeadlessServices::HeadlessServices(bool sound, bool sprite, bool pictures)
    : backend_(PictureOptions(pictures)), sound_(sound), sprite_(sprite) {
  EXPECT_EQ(InitDirect3D(nullptr, DisplayMode::Windowed), 1);
  if (sprite_) {
    EXPECT_EQ(InitSprite(), 1);
  }
  if (sound_) {
    EXPECT_EQ(InitSound(nullptr), 1);
  }
}

HeadlessServices::~HeadlessServices() {
  if (sound_) ReleaseSound();
  if (sprite_) ReleaseSprite();
  ReleaseDirect3D();
}

void HeadlessServices::Advance(double seconds) {
  Clock& clock = backend_.Get().GetClock();
  clock.WaitUntil(clock.QueryPerformanceCounter() +
                  static_cast<int64_t>(seconds * clock.QueryPerformanceFrequency() + 0.5));
}

std::string RunDirectory() {
  return ORVELUNE_RUN_DIR;
}

SimOptions StageOneRun(Language language, const std::string& inputPath) {
  SimOptions o;
  o.workingDirectory = RunDirectory();
  o.startStage = 0;
  o.language = language;
  o.inputPath = inputPath;
  return o;
}

void LinkContent(const std::string& dir, const std::function<bool(const std::string&)>& leaveOut) {
  namespace fs = std::filesystem;
  const fs::path source = fs::path(RunDirectory()) / "Resource_Orvelune";
  for (const auto& entry : fs::recursive_directory_iterator(source)) {
    const fs::path rel = fs::relative(entry.path(), source);
    const fs::path target = fs::path(dir) / "Resource_Orvelune" / rel;
    if (entry.is_directory())
      fs::create_directories(target);
    else if (!leaveOut(rel.generic_string()))
      fs::create_symlink(entry.path(), target);
  }
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TempDirectory::TempDirectory() {
  static std::atomic<int> counter{0};
  path_ = (std::filesystem::temp_directory_path() /
           ("orvelune_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++)))
              .string();
  std::filesystem::create_directories(path_);
}

TempDirectory::~TempDirectory() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

ScopedWorkingDirectory::ScopedWorkingDirectory(const std::string& dir)
    : previous_(std::filesystem::current_path().string()) {
  std::filesystem::current_path(dir);
}

ScopedWorkingDirectory::~ScopedWorkingDirectory() {
  std::filesystem::current_path(previous_);
}

FrameStepper::FrameStepper() {
  timer_.Init();
}

void FrameStepper::Step(int frames) {
  for (int i = 0; i < frames; ++i) {
    GetBackend()->GetClock().WaitUntil(timer_.NextFrameDue());
    timer_.MeasureFrameRate();
  }
}
