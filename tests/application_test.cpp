// The program end to end on the headless backend: the scene sequence, the
// ways the program ends, the window title, and runs that repeat exactly.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/frame_timer.h"
#include "app/random.h"
#include "platform/common/state_device.h"
#include "scenes/title.h"
#include "tests/test_support.h"
#include "tools/sim/simulation.h"

namespace {

struct FrameRecord {
  int64_t frame;
  int state;
  int drawId;
  int64_t presented;  // frames the device had presented when the frame ended
};

struct RunResult {
  std::vector<FrameRecord> frames;
  std::string title;
};

RunResult RunApp(const std::string& script, int64_t maxFrames) {
  ResetTitleResultCycle();
  HeadlessOptions options;
  options.script = ScriptFrom(script);
  options.maxFrames = maxFrames;
  ScopedHeadlessBackend backend(options);
  RunResult result;
  Application app(DisplayMode::Windowed);
  app.SetFrameObserver([&](Application& a) {
    auto* device = dynamic_cast<StateDevice*>(GetDevice());
    result.frames.push_back({a.GetFrameCount() - 1, a.GetState(), a.GetDrawId(),
                             device ? device->FramesPresented() : -1});
  });
  EXPECT_EQ(app.Init(), 1);
  app.Run();
  app.Release();
  result.title = backend.Get().WindowTitle();
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

TEST(Application, WalksTitleOpeningGameTitleCreditsTitleOneStepPerFrame) {
  // The game is left through its pause menu: P once the fade-in is over, the
  // screen darkens for 51 frames, then Right (quit) and Return; the menu's
  // own fade ends the scene 50 frames later.
  const RunResult r = RunApp(
      "@5 press RETURN\n@12 press RETURN\n@80 press P\n@140 press RIGHT\n@145 press RETURN\n"
      "@202 press RETURN\n@210 press RETURN\n@217 press RETURN\n",
      400);
  // (frame, sequencer state, draw id) after each frame's update.
  const int expected[][3] = {
      {0, 1, 0},     {1, 2, 3},     {4, 2, 3},     {5, 4, 3},     {6, 9, 0},     {7, 9, 0},
      {8, 10, 11},   {12, 12, 11},  {13, 13, 0},   {14, 13, 0},   {15, 14, 15},  {194, 14, 15},
      {195, 16, 15}, {196, 1, 0},   {197, 1, 0},   {198, 2, 3},   {202, 4, 3},   {203, 5, 0},
      {204, 5, 0},   {205, 6, 7},   {210, 8, 7},   {211, 1, 0},   {212, 1, 0},   {213, 2, 3},
      {217, 4, 3}};
  for (const auto& e : expected) {
    ASSERT_LT(static_cast<size_t>(e[0]), r.frames.size());
    EXPECT_EQ(r.frames[e[0]].state, e[1]) << "frame " << e[0];
    EXPECT_EQ(r.frames[e[0]].drawId, e[2]) << "frame " << e[0];
  }
  // The third title chooses to end: that frame is still drawn, then the
  // program ends.
  ASSERT_EQ(r.frames.size(), 219u);
  EXPECT_EQ(r.frames.back().frame, 218);
  EXPECT_EQ(r.frames.back().presented, 219);
}

TEST(Application, HoldingBackSixtyFramesEndsWithoutDrawingThatFrame) {
  // 59 frames held, one released, then held again: the count starts afresh.
  const RunResult r = RunApp("@10 padpress BACK 59\n@70 pad BACK down\n", 1000);
  ASSERT_EQ(r.frames.size(), 130u);
  EXPECT_EQ(r.frames.back().frame, 129);  // the 60th consecutive held frame
  EXPECT_EQ(r.frames.back().presented, 129);  // ...was not drawn
}

TEST(Application, EscapeEndsTheProgramFromAnyScene) {
  const RunResult inTitle = RunApp("@30 press ESCAPE\n", 1000);
  EXPECT_EQ(inTitle.frames.size(), 31u);
  const RunResult inOpening = RunApp("@5 press RETURN\n@20 press ESCAPE\n", 1000);
  EXPECT_EQ(inOpening.frames.back().state, 10);
  EXPECT_EQ(inOpening.frames.size(), 21u);
}

TEST(Application, TitleShowsTheProductAndTheMeasuredRate) {
  const RunResult r = RunApp("", 30);
  EXPECT_EQ(r.title, "Orvelune : 60.0");
}

TEST(Runner, RunsRepeatExactlyAndReplaysCatchADesync) {
  const std::string script = TempPath("script.txt");
  {
    std::ofstream out(script);
    out << "@5 press RETURN\n@12 press RETURN\n@20 press RETURN\n";
  }
  auto run = [&](SimOptions o) {
    ResetTitleResultCycle();
    return RunSimulation(o);
  };
  SimOptions a;
  a.inputPath = script;
  a.frames = 130;
  a.seed = 7;
  a.seedGiven = true;
  a.dumpPath = TempPath("a.jsonl");
  SimOptions b = a;
  b.dumpPath = TempPath("b.jsonl");
  ASSERT_EQ(run(a), 0);
  ASSERT_EQ(run(b), 0);
  const std::string dumpA = ReadFile(a.dumpPath);
  EXPECT_EQ(dumpA, ReadFile(b.dumpPath));
  EXPECT_NE(dumpA.find("{\"frame\":0,\"fps\":600,\"seq_state\":1,\"draw_id\":0}"),
            std::string::npos);
  EXPECT_NE(dumpA.find("\"frame\":15,\"fps\":60,\"seq_state\":14,\"draw_id\":15"),
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
  for (const auto& p : {script, a.dumpPath, b.dumpPath, w.writeReplayPath})
    std::remove(p.c_str());
}

TEST(Runner, RefusesBadArguments) {
  auto parse = [](std::vector<const char*> args) {
    args.insert(args.begin(), "orvelune-sim");
    SimOptions o;
    std::string error;
    bool help = false;
    const bool ok =
        ParseSimArguments(static_cast<int>(args.size()), const_cast<char**>(args.data()), &o,
                          &error, &help);
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
