// A stage whose boss model is missing does not start: the load reports the
// boss's own text and the file, and the game scene's start fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/application.h"
#include "base/report_error.h"
#include "render/view.h"
#include "tests/test_support.h"
#include "world/game_state.h"
#include "world/run_state.h"

namespace {

namespace fs = std::filesystem;

// Starts a game on a stage in a copy of the content tree (as links) without
// one file; returns the reports and whether the game scene ever ran.
struct StartResult {
  std::vector<std::string> reports;
  std::string stderrText;
  bool gameRan = false;  // the program played on instead of ending
};

StartResult StartWithout(int stage, const std::string& missing) {
  TempDirectory dir;
  const fs::path source = fs::path(RunDirectory()) / "Resource_Orvelune";
  for (const auto& entry : fs::recursive_directory_iterator(source)) {
    const fs::path rel = fs::relative(entry.path(), source);
    const fs::path target = fs::path(dir.Path()) / "Resource_Orvelune" / rel;
    if (entry.is_directory())
      fs::create_directories(target);
    else if (rel.filename() != missing)
      fs::create_symlink(entry.path(), target);
  }
  StartResult result;
  ResetDrawView();
  ClearReportedErrors();
  HeadlessOptions options;
  options.maxFrames = 120;
  ScopedHeadlessBackend backend(options);
  ScopedWorkingDirectory cwd(dir.Path());
  testing::internal::CaptureStderr();
  {
    Application app(backend.Get(), DisplayMode::Windowed);
    EXPECT_EQ(app.Init(), 1);
    app.StartGameDirectly(stage);
    app.Run();
    // A failed start ends the program at once; a stage that loaded plays on
    // until the frame limit.
    result.gameRan = app.GetFrameCount() >= 120;
    app.Release();
  }
  result.stderrText = testing::internal::GetCapturedStderr();
  result.reports = ReportedErrors();
  return result;
}

bool Reported(const StartResult& r, const std::string& text) {
  for (const std::string& s : r.reports)
    if (s == text) return true;
  return false;
}

}  // namespace

TEST(BossMeshes, AMissingTwinOrFishOrFinalBossModelStopsItsStageWithItsOwnText) {
  struct Case {
    int stage;
    const char* file;
    const char* text;
  };
  const Case cases[] = {
      {1, "hutago1.x", "メッシュの読み込みに失敗 -hutago1-"},
      {1, "hutago2.x", "メッシュの読み込みに失敗 -hutago2-"},
      {2, "sakana2.x", "メッシュの読み込みに失敗 -JumpFish-"},
      {3, "tentei.x", "メッシュの読み込みに失敗-Providence-"},
      {3, "tentei_righthand.x", "メッシュの読み込みに失敗 -RightHand-"},
      {3, "tentei_lefthand.x", "メッシュの読み込みに失敗 -LeftHand-"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const StartResult r = StartWithout(c.stage, c.file);
    EXPECT_TRUE(Reported(r, c.text)) << r.stderrText;
    EXPECT_NE(r.stderrText.find(c.file), std::string::npos)
        << "the file is named: " << r.stderrText;
    EXPECT_FALSE(r.gameRan);
  }
}

TEST(BossMeshes, AMissingJarModelStopsTheThirdStageNamingTheFile) {
  const StartResult r = StartWithout(2, "mizugame.x");
  EXPECT_NE(r.stderrText.find("mizugame.x"), std::string::npos) << r.stderrText;
  EXPECT_FALSE(r.gameRan);
}

TEST(BossMeshes, AStageDoesNotNeedTheModelsOfOtherStagesBosses) {
  const StartResult r = StartWithout(1, "tentei.x");
  EXPECT_TRUE(r.gameRan) << r.stderrText;
  EXPECT_TRUE(r.reports.empty());
}
