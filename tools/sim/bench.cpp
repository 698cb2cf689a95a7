#include "tools/sim/bench.h"

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

#include "app/application.h"
#include "platform/graphics.h"
#include "platform/headless/headless_backend.h"
#include "render/view.h"
#include "tools/sim/services.h"
#include "tools/sim/simulation.h"
#include "world/run_state.h"

namespace {

double CpuMs(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

struct SceneFigures {
  std::string name;
  double meanMs = 0, medianMs = 0, p99Ms = 0;  // CPU of every thread, per drawn frame
  double mainMs = 0;       // CPU of the main thread (submission and game), per frame
  double wallMs = 0;       // time a frame takes from one to the next, finished (mean)
  double latePercent = 0;  // share of frames that took longer than a 60 Hz frame
  double draws = 0, glDraws = 0, triangles = 0;  // the game's draws, OpenGL's after merging
  double screens = -1;    // samples past the depth test, in 1280x720 screens (median; -1 uncounted)
  double startMs = 0;     // wall time from start to the first drawn frame
  double startCpuMs = 0;  // CPU of the program until then (start-up, the scene's load, its frame)
  double loadCpuMs = 0;   // of that, the scene's load (its start: files, pictures, objects)
  double firstFrameCpuMs = 0;  // and the frame drawn after it (shader variants met first)
  bool ok = false;
};

// Frames left to settle before measuring: two seconds, so the title has
// faded in (85 frames) and a stage's start is behind.
constexpr int64_t kSettleFrames = 120;

// Runs one scene (a stage 0 to 3, or the title for -1) for the frames and
// measures the frames after settling.
SceneFigures Measure(int stage, int64_t frames) {
  SceneFigures f;
  f.name = stage < 0 ? "title" : "stage " + std::to_string(stage + 1);
  HeadlessOptions h;
  h.renderPictures = true;
  h.pictureDevice = [](std::string* e) { return CreatePictureDevice(e, true); };
  h.maxFrames = frames + kSettleFrames;
  // The drawing's view as at program start, as each scene measured starts.
  ResetDrawView();
  HeadlessBackend backend(std::move(h));
  const auto wallStart = std::chrono::steady_clock::now();
  const double cpuStart = CpuMs(CLOCK_PROCESS_CPUTIME_ID);
  std::vector<double> cpu, main, wall;
  std::vector<FrameStats> stats;
  double lastCpu = cpuStart, lastMain = CpuMs(CLOCK_THREAD_CPUTIME_ID);
  auto lastWall = wallStart;
  double sceneCpuStart = cpuStart, loadCpuStart = 0;
  bool firstDrawn = false;
  {
    Application app(backend, DisplayMode::Windowed);
    SeedRandomness(app, 1);
    app.SetFrameObserver([&](Application& a) {
      const double nowCpu = CpuMs(CLOCK_PROCESS_CPUTIME_ID);
      const double nowMain = CpuMs(CLOCK_THREAD_CPUTIME_ID);
      const auto nowWall = std::chrono::steady_clock::now();
      const FrameStats s = GetDevice() ? GetDevice()->LastFrameStats() : FrameStats{};
      if (!firstDrawn && s.drawCalls > 0) {
        firstDrawn = true;
        f.startMs = std::chrono::duration<double, std::milli>(nowWall - wallStart).count();
        f.startCpuMs = nowCpu - cpuStart;
        f.firstFrameCpuMs = nowCpu - sceneCpuStart - f.loadCpuMs;
      } else if (firstDrawn && a.GetFrameCount() > kSettleFrames) {
        cpu.push_back(nowCpu - lastCpu);
        main.push_back(nowMain - lastMain);
        wall.push_back(std::chrono::duration<double, std::milli>(nowWall - lastWall).count());
        stats.push_back(s);
      }
      lastWall = nowWall;
      lastCpu = nowCpu;
      lastMain = nowMain;
    });
    app.SetSceneStartObserver([&](bool finished) {
      const double now = CpuMs(CLOCK_PROCESS_CPUTIME_ID);
      if (!finished)
        loadCpuStart = now;
      else if (!firstDrawn)
        f.loadCpuMs += now - loadCpuStart;
    });
    if (app.Init()) {
      if (GetDevice()) GetDevice()->CountSamples(true);
      sceneCpuStart = CpuMs(CLOCK_PROCESS_CPUTIME_ID);
      if (stage >= 0) app.StartGameDirectly(stage);
      app.Run();
      f.ok = !app.GameStartFailed() && !cpu.empty();
    }
    app.Release();
  }
  if (!f.ok) return f;
  for (size_t i = 0; i < cpu.size(); ++i) {
    f.meanMs += cpu[i];
    f.mainMs += main[i];
    f.wallMs += wall[i];
    if (wall[i] > 1000.0 / 60) f.latePercent += 100;
    f.draws += stats[i].drawCalls;
    f.glDraws += stats[i].backendDraws;
    f.triangles += stats[i].primitives;
  }
  const double n = static_cast<double>(cpu.size());
  f.meanMs /= n;
  f.mainMs /= n;
  f.wallMs /= n;
  f.latePercent /= n;
  f.draws /= n;
  f.glDraws /= n;
  f.triangles /= n;
  std::vector<int64_t> samples;
  for (const FrameStats& st : stats)
    if (st.samplesPassed >= 0) samples.push_back(st.samplesPassed);
  if (!samples.empty()) {
    std::sort(samples.begin(), samples.end());
    f.screens = static_cast<double>(samples[samples.size() / 2]) / (1280.0 * 720.0);
  }
  std::sort(cpu.begin(), cpu.end());
  f.medianMs = cpu[cpu.size() / 2];
  f.p99Ms = cpu[std::min(cpu.size() - 1, static_cast<size_t>(n * 0.99))];
  return f;
}

}  // namespace

int RunBenchmark(int64_t frames, int scene) {
  std::printf("benchmark: %" PRId64
              " frames per scene after two seconds of settling, drawn\n"
              "through OpenGL offscreen at 1280x720; CPU is all threads together; wall is\n"
              "the time from one finished frame to the next, late the frames over 16.7 ms;\n"
              "shaded is the median of the samples that passed the depth test, in screens\n\n",
              frames);
  std::printf("%-8s %10s %9s %9s %9s %8s %7s %7s %8s %10s %7s %9s %13s %12s %13s\n", "scene",
              "cpu ms", "median", "p99 ms", "main ms", "wall ms", "late %", "draws", "gl draws",
              "triangles", "shaded", "start ms", "start cpu ms", "load cpu ms", "1st frame ms");
  int status = 0;
  for (int stage = -1; stage < 4; ++stage) {
    if (scene != kBenchAllScenes && scene != stage) continue;
    const SceneFigures f = Measure(stage, frames);
    if (!f.ok) {
      std::printf("%-8s failed to run (see above)\n", f.name.c_str());
      status = 1;
      continue;
    }
    std::printf(
        "%-8s %10.2f %9.2f %9.2f %9.2f %8.2f %7.1f %7.0f %8.0f %10.0f %7.2f %9.1f %13.1f %12.1f "
        "%13.1f\n",
        f.name.c_str(), f.meanMs, f.medianMs, f.p99Ms, f.mainMs, f.wallMs, f.latePercent, f.draws,
        f.glDraws, f.triangles, f.screens, f.startMs, f.startCpuMs, f.loadCpuMs, f.firstFrameCpuMs);
    std::fflush(stdout);
  }
  return status;
}
