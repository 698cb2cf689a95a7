// The runner never reports success for work it did not do: a game scene that
// could not start, a replay that verifies nothing or was played with another
// seed, an input script that is no file, a screenshot of a frame the run
// never reached. Relative paths are taken from where it was started. And a
// scene waiting for a file that failed keeps waiting without reading it
// again, shows why, and still answers Escape. The benchmark measures the
// scene it is given and says when one could not run.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/application.h"
#include "base/failed_files.h"
#include "base/report_error.h"
#include "render/view.h"
#include "tests/test_support.h"
#include "tools/sim/simulation.h"
#include "world/run_state.h"

namespace fs = std::filesystem;

namespace {

int RunSim(SimOptions o, std::string* err = nullptr) {
  ForgetFailures();
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  const int status = RunSimulation(o);
  testing::internal::GetCapturedStdout();
  const std::string e = testing::internal::GetCapturedStderr();
  if (err) *err = e;
  return status;
}

// A copy of the content tree (as links) without one file.
void ContentWithout(const std::string& dir, const std::string& missing) {
  LinkContent(dir, [&](const std::string& rel) { return fs::path(rel).filename() == missing; });
}

void Write(const std::string& path, const std::string& text) {
  std::ofstream(path) << text;
}

}  // namespace

TEST(Runner, AGameSceneThatCannotStartIsAFailure) {
  TempDirectory dir;
  ContentWithout(dir.Path(), "stage_2.csv");
  SimOptions o;
  o.workingDirectory = dir.Path();
  o.startStage = 1;
  o.frames = 30;
  std::string err;
  EXPECT_EQ(RunSim(o, &err), 1);
  EXPECT_NE(err.find("could not start"), std::string::npos) << err;
}

TEST(Runner, TheBenchmarkMeasuresTheSceneItIsGivenAndSaysWhenOneCannotRun) {
  auto bench = [](std::vector<std::string> args, const std::string& dir, std::string* out,
                  std::string* err) {
    args.insert(args.begin(), "orvelune-sim");
    args.push_back("--chdir");
    args.push_back(dir);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    SimOptions o;
    std::string error;
    bool help = false;
    EXPECT_TRUE(ParseSimArguments(static_cast<int>(argv.size()), argv.data(), &o, &error, &help))
        << error;
    ForgetFailures();
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    const int status = RunSimulation(o);
    *out = testing::internal::GetCapturedStdout();
    *err = testing::internal::GetCapturedStderr();
    return status;
  };
  std::string out, err;
  EXPECT_EQ(bench({"--bench", "2", "--scene", "title"}, RunDirectory(), &out, &err), 0) << err;
  EXPECT_NE(out.find("\ntitle "), std::string::npos) << out;
  EXPECT_EQ(out.find("stage 1"), std::string::npos) << out;

  TempDirectory dir;
  ContentWithout(dir.Path(), "stage_2.csv");
  EXPECT_EQ(bench({"--bench", "2", "--stage", "1"}, dir.Path(), &out, &err), 1);
  EXPECT_NE(out.find("stage 2  failed to run"), std::string::npos) << out;

  EXPECT_EQ(bench({"--bench", "2", "--scene", "credits"}, RunDirectory(), &out, &err), 1);
  EXPECT_NE(err.find("--scene can only be title"), std::string::npos) << err;
}

TEST(Runner, AScenePlayedOnItsOwnWaitsForItsMissingFileAndFailsNamingIt) {
  for (auto [scene, missing] : {std::pair<int, const char*>{kSeqEndingStart, "Ending.csv"},
                                {kSeqCreditStart, "Credit.png"},
                                {kSeqOpeningStart, "Opening.csv"}}) {
    TempDirectory dir;
    ContentWithout(dir.Path(), missing);
    SimOptions o;
    o.workingDirectory = dir.Path();
    o.startScene = scene;
    o.frames = 60;
    std::string err;
    EXPECT_EQ(RunSim(o, &err), 1) << missing;
    EXPECT_NE(err.find(missing), std::string::npos) << err;
    EXPECT_NE(err.find("waiting"), std::string::npos) << err;
  }
  // With the file in place the same scene starts and the run succeeds.
  SimOptions o;
  o.workingDirectory = RunDirectory();
  o.startScene = kSeqEndingStart;
  o.frames = 60;
  EXPECT_EQ(RunSim(o), 0);
}

TEST(Runner, AReplayThatChecksNothingOrHasAnotherSeedIsRefused) {
  TempDirectory dir;
  std::string err;
  SimOptions v;
  v.workingDirectory = RunDirectory();
  // Empty, a directory, no hash lines.
  Write(dir.Path() + "/empty.txt", "");
  v.verifyPath = dir.Path() + "/empty.txt";
  EXPECT_EQ(RunSim(v, &err), 1);
  EXPECT_NE(err.find("no state hashes"), std::string::npos) << err;
  v.verifyPath = dir.Path();
  EXPECT_EQ(RunSim(v, &err), 1);
  EXPECT_NE(err.find("not a file"), std::string::npos) << err;
  Write(dir.Path() + "/inputs.txt", "seed 3\n@90 press RETURN\n");
  v.verifyPath = dir.Path() + "/inputs.txt";
  EXPECT_EQ(RunSim(v, &err), 1);
  // A real replay, then its seed changed in the file or on the command line.
  SimOptions w;
  w.workingDirectory = RunDirectory();
  w.inputPath = dir.Path() + "/inputs.txt";
  w.frames = 130;
  w.writeReplayPath = dir.Path() + "/replay.txt";
  ASSERT_EQ(RunSim(w), 0);
  v.verifyPath = w.writeReplayPath;
  EXPECT_EQ(RunSim(v), 0);
  SimOptions other = v;
  other.seed = 4;
  other.seedGiven = true;
  EXPECT_EQ(RunSim(other, &err), 1);
  EXPECT_NE(err.find("recorded with seed 3"), std::string::npos) << err;
  std::string replay = ReadWholeFile(w.writeReplayPath);
  replay.replace(replay.find("seed 3"), 6, "seed 5");
  Write(w.writeReplayPath, replay);
  EXPECT_EQ(RunSim(v, &err), 1);
  EXPECT_NE(err.find("desync"), std::string::npos) << err;
}

TEST(Runner, AnInputThatIsNoFileIsRefused) {
  TempDirectory dir;
  SimOptions o;
  o.workingDirectory = RunDirectory();
  o.inputPath = dir.Path();
  o.frames = 5;
  std::string err;
  EXPECT_EQ(RunSim(o, &err), 1);
  EXPECT_NE(err.find("not a file"), std::string::npos) << err;
}

TEST(Runner, AScreenshotOfAFrameTheRunNeverReachedIsAFailure) {
  TempDirectory dir;
  SimOptions o;
  o.workingDirectory = RunDirectory();
  o.frames = 3;
  o.screenshots.push_back({10, dir.Path() + "/late.png"});
  std::string err;
  EXPECT_EQ(RunSim(o, &err), 1);
  EXPECT_NE(err.find("late.png"), std::string::npos) << err;
  EXPECT_FALSE(fs::exists(dir.Path() + "/late.png"));
}

TEST(Runner, RelativePathsAreTakenFromWhereItStarted) {
  TempDirectory dir;
  const std::string before = fs::current_path().string();
  fs::current_path(dir.Path());
  SimOptions o;
  o.workingDirectory = RunDirectory();
  o.frames = 3;
  o.dumpPath = "dump.jsonl";
  const int status = RunSim(o);
  fs::current_path(before);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(fs::exists(dir.Path() + "/dump.jsonl"));
  EXPECT_FALSE(fs::exists(RunDirectory() + "/dump.jsonl"));
}

TEST(WaitingScene, AFailedFileIsReadOnceShownAndEscapeStillEnds) {
  TempDirectory dir;
  ContentWithout(dir.Path(), "Select.wav");  // a title sound
  ResetDrawView();
  ForgetFailures();
  ClearReportedErrors();
  HeadlessOptions options;
  options.script = ScriptFrom("@120 press ESCAPE\n");
  options.maxFrames = 400;
  ScopedHeadlessBackend backend(options);
  ScopedWorkingDirectory cwd(dir.Path());
  testing::internal::CaptureStderr();
  int64_t frames = 0;
  bool waiting = false;
  {
    Application app(backend.Get(), DisplayMode::Windowed);
    app.SetFrameObserver([&](Application& a) { waiting = waiting || a.WaitingForScene(); });
    ASSERT_EQ(app.Init(), 1);
    app.Run();
    frames = app.GetFrameCount();
    app.Release();
  }
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(waiting);
  EXPECT_EQ(LastFailedFile(), "Resource_Orvelune/Sound/SE/Select.wav");
  EXPECT_LE(frames, 122) << "Escape ends the wait";
  // The file was read once: one report of it, not one a frame.
  const std::string report = "Soundファイルオープンに失敗";
  size_t count = 0;
  for (size_t at = err.find(report); at != std::string::npos; at = err.find(report, at + 1))
    ++count;
  EXPECT_EQ(count, 1u) << err;
  // The English line after it names the file with its whole path.
  EXPECT_NE(err.find("A sound could not be loaded: /"), std::string::npos) << err;
  EXPECT_NE(err.find("Select.wav. The game's files are missing"), std::string::npos) << err;
}

TEST(WaitingScene, AFileThatChangesOnDiskIsTriedAgain) {
  TempDirectory dir;
  const std::string path = dir.Path() + "/x.wav";
  ForgetFailures();
  RememberFailure(path);  // absent
  EXPECT_TRUE(FailedBefore(path));
  Write(path, "now it exists");
  EXPECT_FALSE(FailedBefore(path));
  EXPECT_FALSE(FailedBefore(path));  // forgotten once it changed
}
