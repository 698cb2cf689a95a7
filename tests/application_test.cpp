// The program end to end on the headless backend: the scene sequence, the
// ways the program ends, the window title, and runs that repeat exactly.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "app/frame_timer.h"
#include "platform/common/state_device.h"
#include "render/lighting.h"
#include "scenes/game.h"
#include "tests/test_support.h"
#include "tools/sim/simulation.h"
#include "world/game_state.h"

namespace {

struct FrameRecord {
  int64_t frame;
  int state;
  int drawId;
  int64_t presented;  // frames the device had presented when the frame ended
  bool operator==(const FrameRecord&) const = default;
};

struct RunResult {
  std::vector<FrameRecord> frames;
  std::vector<std::pair<int64_t, bool>> starts;  // (frame, finished) of each scene start call
  std::string title;
  int64_t mostFramesInOneStep = 0;
  bool backendRestored = false;  // the services' backend once the application is gone is the test's
};

// Runs the program to its end, with Run() or by calling Step() until it
// says to stop (as a browser's frame callback does).
RunResult RunApp(const std::string& script, int64_t maxFrames, bool stepByHand = false,
                 const std::string& lightFolder = "") {
  HeadlessOptions options;
  options.script = ScriptFrom(script);
  options.maxFrames = maxFrames;
  ScopedHeadlessBackend backend(options);
  RunResult result;
  {
    Application app(backend.Get(), DisplayMode::Windowed);
    app.UseLightFolder(lightFolder);
    app.SetFrameObserver([&](Application& a) {
      auto* device = dynamic_cast<StateDevice*>(GetDevice());
      result.frames.push_back({a.GetFrameCount() - 1, a.GetState(), a.GetDrawId(),
                               device ? device->FramesPresented() : -1});
    });
    app.SetSceneStartObserver(
        [&](bool finished) { result.starts.emplace_back(app.GetFrameCount() - 1, finished); });
    EXPECT_EQ(app.Init(), 1);
    if (stepByHand) {
      for (int64_t before = app.GetFrameCount(); app.Step(); before = app.GetFrameCount())
        result.mostFramesInOneStep =
            std::max(result.mostFramesInOneStep, app.GetFrameCount() - before);
    } else {
      app.Run();
    }
    app.Release();
    result.title = backend.Get().WindowTitle();
  }
  result.backendRestored = GetBackend() == &backend.Get();
  return result;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() /
          ("orvelune_" + std::to_string(::getpid()) + "_" + name))
      .string();
}

}  // namespace

// The script that walks every scene: start from the title, read the opening
// (Return every 6 frames), quit the game from its pause menu, show the
// credits (fast), and end from the third title.
std::string WalkScript() {
  std::string s = "@90 press RETURN\n";
  for (int i = 0; i < 40; ++i) s += "@" + std::to_string(260 + 6 * i) + " press RETURN\n";
  s += "@600 press P\n@660 press RIGHT\n@665 press RETURN\n";
  s += "@810 press DOWN\n@815 press RETURN\n@1000 press RETURN\n";
  s += "@1495 press DOWN\n@1505 press DOWN\n@1515 press RETURN\n";
  return s;
}

TEST(Application, WalksTitleOpeningGameTitleCreditsTitleOneStepPerFrame) {
  const RunResult r = RunApp(WalkScript(), 3000);
  // (first frame, sequencer state, draw id) of each stretch: a scene is made
  // in one frame, started in the next, and released in the frame after its
  // last update.
  const int expected[][3] = {
      {0, 1, 0},    {1, 2, 3},     {174, 4, 3},   {175, 9, 0},  {177, 10, 11}, {485, 12, 11},
      {486, 13, 0}, {488, 14, 15}, {715, 16, 15}, {716, 1, 0},  {718, 2, 3},   {899, 4, 3},
      {900, 5, 0},  {902, 6, 7},   {1402, 8, 7},  {1403, 1, 0}, {1405, 2, 3},  {1599, 4, 3}};
  std::vector<std::array<int, 3>> stretches;
  for (const FrameRecord& f : r.frames)
    if (stretches.empty() || stretches.back()[1] != f.state || stretches.back()[2] != f.drawId)
      stretches.push_back({static_cast<int>(f.frame), f.state, f.drawId});
  ASSERT_EQ(stretches.size(), std::size(expected));
  for (size_t i = 0; i < stretches.size(); ++i) {
    EXPECT_EQ(stretches[i][0], expected[i][0]) << "stretch " << i;
    EXPECT_EQ(stretches[i][1], expected[i][1]) << "stretch " << i;
    EXPECT_EQ(stretches[i][2], expected[i][2]) << "stretch " << i;
  }
  // Each scene's start (its load) is announced before and after, in the
  // frame its run begins: the titles, the opening, the game, the credits.
  std::vector<std::pair<int64_t, bool>> starts;
  for (int64_t frame : {1, 177, 488, 718, 902, 1405}) {
    starts.emplace_back(frame, false);
    starts.emplace_back(frame, true);
  }
  EXPECT_EQ(r.starts, starts);
  // The third title chooses to end: that frame is still drawn, then the
  // program ends.
  EXPECT_EQ(r.frames.back().frame, 1600);
  EXPECT_EQ(r.frames.back().presented, 1601);
}

TEST(Application, StepRunsOnePassAndSteppingToTheEndIsTheRun) {
  // Escape on the title posts a close, then a quit: messages that take
  // passes of their own and draw nothing.
  std::string script = WalkScript();
  script = script.substr(0, script.find("@1495")) + "@1500 press ESCAPE\n";
  const RunResult run = RunApp(script, 3000);
  const RunResult stepped = RunApp(script, 3000, true);
  EXPECT_EQ(stepped.mostFramesInOneStep, 1);
  ASSERT_EQ(stepped.frames.size(), run.frames.size());
  EXPECT_TRUE(stepped.frames == run.frames);
  EXPECT_EQ(stepped.starts, run.starts);
  EXPECT_EQ(stepped.title, run.title);
  EXPECT_EQ(run.frames.back().frame, 1500);
  // The application hands the services back to the backend they had.
  EXPECT_TRUE(run.backendRestored);
  EXPECT_TRUE(stepped.backendRestored);
}

// The light folder the game program gives reaches the game's lights: the
// player's copy of a light file is read instead of the installed one and
// written back in its place, and the installed file is left alone.
TEST(Application, TheGameReadsAndWritesThePlayersCopyOfTheLights) {
  TempDirectory user;
  const std::string installedPath = "Resource_Orvelune/Light/light.txt";
  const std::string installed = ReadFile(installedPath);
  ASSERT_FALSE(installed.empty());
  // The player's copy: its own first light, numbers written loosely.
  std::string copy = "UserCopy" + installed.substr(installed.find('\n'));
  for (size_t at; (at = copy.find("0.000000")) != std::string::npos;) copy.replace(at, 8, "0");
  std::filesystem::create_directories(user.Path() + "/Resource_Orvelune/Light");
  std::ofstream(user.Path() + "/" + installedPath, std::ios::binary) << copy;

  // Into the game and back out to the title, then Escape.
  std::string script = WalkScript();
  script = script.substr(0, script.find("@810")) + "@800 press ESCAPE\n";
  const RunResult r = RunApp(script, 2000, false, user.Path());
  ASSERT_TRUE(std::any_of(r.frames.begin(), r.frames.end(),
                          [](const FrameRecord& f) { return f.state == kSeqGameRun; }));
  EXPECT_EQ(r.frames.back().state, kSeqTitleRun);

  const std::string written = ReadFile(user.Path() + "/" + installedPath);
  EXPECT_EQ(written, FormatLightText(ParseLightText(copy))) << "the copy was read and written back";
  EXPECT_NE(written, copy);
  EXPECT_EQ(written.substr(0, 9), "UserCopy\n");
  EXPECT_EQ(ReadFile(installedPath), installed) << "the installed file is as it was";
  EXPECT_FALSE(std::filesystem::exists(user.Path() + "/Resource_Orvelune/Light/light_rev.txt"))
      << "a file without a copy is written where it is";
}

TEST(Application, HoldingBackSixtyFramesEndsWithoutDrawingThatFrame) {
  // 59 frames held, one released, then held again: the count starts afresh.
  const RunResult r = RunApp("@10 padpress BACK 59\n@70 pad BACK down\n", 1000);
  ASSERT_EQ(r.frames.size(), 130u);
  EXPECT_EQ(r.frames.back().frame, 129);      // the 60th consecutive held frame
  EXPECT_EQ(r.frames.back().presented, 129);  // ...was not drawn
}

TEST(Application, EscapeEndsTheProgramFromAnyScene) {
  const RunResult inTitle = RunApp("@30 press ESCAPE\n", 1000);
  EXPECT_EQ(inTitle.frames.size(), 31u);
  const RunResult inOpening = RunApp("@90 press RETURN\n@200 press ESCAPE\n", 1000);
  EXPECT_EQ(inOpening.frames.back().state, 10);
  EXPECT_EQ(inOpening.frames.size(), 201u);
}

TEST(Application, TitleShowsTheProductAndTheMeasuredRate) {
  const RunResult r = RunApp("", 30);
  EXPECT_EQ(r.title, "Orvelune : 60.0");
}

TEST(Runner, RunsRepeatExactlyAndReplaysCatchADesync) {
  const std::string script = TempPath("script.txt");
  {
    std::ofstream out(script);
    out << "@90 press RETURN\n@300 press RETURN\n@310 press RETURN\n";
  }
  auto run = [&](SimOptions o) { return RunSimulation(o); };
  SimOptions a;
  a.inputPath = script;
  a.frames = 400;
  a.seed = 7;
  a.seedGiven = true;
  a.dumpPath = TempPath("a.jsonl");
  SimOptions b = a;
  b.dumpPath = TempPath("b.jsonl");
  ASSERT_EQ(run(a), 0);
  ASSERT_EQ(run(b), 0);
  const std::string dumpA = ReadFile(a.dumpPath);
  EXPECT_EQ(dumpA, ReadFile(b.dumpPath));
  EXPECT_NE(dumpA.find("{\"frame\":0,\"fps\":600,\"seq_state\":1,\"draw_id\":0,"
                       "\"options_open\":false,\"language\":\"ja\"}"),
            std::string::npos);
  EXPECT_NE(dumpA.find("\"frame\":177,\"fps\":60,\"seq_state\":10,\"draw_id\":11"),
            std::string::npos);

  // Write the run as a replay with hashes, verify it, then spoil one hash.
  SimOptions w = a;
  w.dumpPath.clear();
  w.writeReplayPath = TempPath("replay.txt");
  ASSERT_EQ(run(w), 0);
  std::string replay = ReadFile(w.writeReplayPath);
  EXPECT_NE(replay.find("@59 hash "), std::string::npos);
  EXPECT_NE(replay.find("@119 hash "), std::string::npos);
  SimOptions v;
  v.verifyPath = w.writeReplayPath;
  EXPECT_EQ(run(v), 0);

  const size_t at = replay.find("@119 hash ") + 10;
  replay[at] = replay[at] == '0' ? '1' : '0';
  {
    std::ofstream out(w.writeReplayPath);
    out << replay;
  }
  testing::internal::CaptureStderr();
  EXPECT_EQ(run(v), 1);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("desync at frame 119"), std::string::npos) << err;
  for (const auto& p : {script, a.dumpPath, b.dumpPath, w.writeReplayPath}) std::remove(p.c_str());
}

TEST(Runner, RefusesBadArguments) {
  auto parse = [](std::vector<const char*> args) {
    args.insert(args.begin(), "orvelune-sim");
    SimOptions o;
    std::string error;
    bool help = false;
    const bool ok = ParseSimArguments(static_cast<int>(args.size()),
                                      const_cast<char**>(args.data()), &o, &error, &help);
    return ok ? std::string() : error;
  };
  EXPECT_EQ(parse({"--frames", "10", "--screenshot", "3:/tmp/x.png"}), "");
  EXPECT_NE(parse({"--frames"}), "");
  EXPECT_NE(parse({"--frames", "ten"}), "");
  EXPECT_NE(parse({"--screenshot", "x.png"}), "");
  EXPECT_NE(parse({"--seed", "-1"}), "");
  EXPECT_NE(parse({"--record", "a", "--verify", "b"}), "");
  EXPECT_NE(parse({"--bogus"}), "");
}

// The options screen opens over the pause menu as over the title: the stage
// waits under it, the display and the window size change at once when the
// player leaves it, the settings are saved, and a new language waits for the
// title (a stage keeps the texts it loaded). Then the pause menu works on.
TEST(Application, TheOptionsScreenOpensOverThePauseMenuAndAppliesTheDisplayAtOnce) {
  TempDirectory dir;
  const std::string settingsPath = dir.Path() + "/settings.txt";
  {
    std::ofstream out(settingsPath);
    out << "# mine\nfullscreen = no\nwindow_width = 1280\nwindow_height = 720\n";
  }
  std::vector<std::string> warnings;
  const Settings settings = ParseSettings(ReadFile(settingsPath), settingsPath, &warnings);
  // Pause, open the screen, full screen, the next window size, English,
  // leave; then quit to the title from the pause menu.
  const char* script =
      "@100 press P\n@170 press TAB\n@180 press DOWN\n@190 press DOWN\n@200 press RIGHT\n"
      "@210 press DOWN\n@220 press RIGHT\n@230 press DOWN\n@240 press LEFT\n@250 press BACK\n"
      "@270 press RIGHT\n@280 press RETURN\n";
  HeadlessOptions options;
  options.script = ScriptFrom(script);
  options.maxFrames = 480;
  ScopedHeadlessBackend backend(options);
  ScopedWorkingDirectory run(RunDirectory());
  struct Moment {
    bool optionsOpen = false;
    int mode = -1;
    Language language = Language::kJapanese;
    std::optional<WindowDisplay> display;
  };
  std::map<int64_t, Moment> seen;
  {
    Application app(backend.Get(), DisplayMode::Windowed);
    app.UsePlayerSettings(settings, settingsPath);
    app.StartGameDirectly(0);
    app.SetFrameObserver([&](Application& a) {
      const int64_t frame = a.GetFrameCount() - 1;
      if (frame != 175 && frame != 245 && frame != 260 && frame != 479) return;
      seen[frame] = {a.OptionsOpen(), a.GetGame() ? a.GetGame()->GetRun().game.gameMode : -1,
                     CurrentLanguage(), backend.Get().LastDisplayRequest()};
    });
    ASSERT_EQ(app.Init(), 1);
    app.Run();
    EXPECT_EQ(app.GetState(), kSeqTitleRun);
    app.Release();
  }
  SetLanguage(Language::kJapanese);
  ASSERT_EQ(seen.size(), 4u);
  // Open over the pause menu, with the stage paused under it.
  EXPECT_TRUE(seen[175].optionsOpen);
  EXPECT_EQ(seen[175].mode, kModePause);
  // Still open, nothing applied yet.
  EXPECT_TRUE(seen[245].optionsOpen);
  EXPECT_FALSE(seen[245].display.has_value());
  // Left: the display changed at once, the stage still paused, the
  // language not yet.
  EXPECT_FALSE(seen[260].optionsOpen);
  EXPECT_EQ(seen[260].mode, kModePause);
  EXPECT_EQ(seen[260].language, Language::kJapanese);
  ASSERT_TRUE(seen[260].display.has_value());
  EXPECT_EQ(*seen[260].display, (WindowDisplay{true, 1600, 900}));
  // Back at the title, in English.
  EXPECT_EQ(seen[479].language, Language::kEnglish);
  const std::string saved = ReadFile(settingsPath);
  for (const char* line : {"# mine\n", "fullscreen = yes\n", "window_width = 1600\n",
                           "window_height = 900\n", "language = en\n"})
    EXPECT_NE(saved.find(line), std::string::npos) << line << "\n" << saved;
}
