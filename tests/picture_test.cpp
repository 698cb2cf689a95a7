// The pictures stay the same when the drawing changes: the title and each
// stage's start, drawn through OpenGL offscreen, against the pictures kept
// in tests/data/pictures (taken before the drawing was made faster). A
// channel may differ by rounding; a few pixels along edges may differ more.
#include <gtest/gtest.h>

#include <cstdlib>

#include "base/language.h"
#include "platform/graphics.h"
#include "platform/png_image.h"
#include "render/sound_sets.h"
#include "scenes/event.h"
#include "tests/scene_support.h"
#include "tests/test_support.h"
#include "tools/sim/simulation.h"

namespace {

struct Difference {
  double largeShare = 1;  // share of pixels with a channel off by more than 3
  int largest = 255;
};

Difference Compare(const Image& a, const Image& b) {
  Difference d;
  if (a.width != b.width || a.height != b.height) return d;
  size_t large = 0;
  d.largest = 0;
  for (size_t i = 0; i < a.argb.size(); ++i) {
    int worst = 0;
    for (int shift : {0, 8, 16}) {
      const int ca = (a.argb[i] >> shift) & 0xFF, cb = (b.argb[i] >> shift) & 0xFF;
      worst = std::max(worst, std::abs(ca - cb));
    }
    d.largest = std::max(d.largest, worst);
    large += worst > 3;
  }
  d.largeShare = static_cast<double>(large) / a.argb.size();
  return d;
}

// With ORVELUNE_KEEP_PICTURES=DIR the pictures taken are also written there,
// to look at or to take as the new references after a meant change.
void Keep(const std::string& name, const Image& image) {
  const char* folder = std::getenv("ORVELUNE_KEEP_PICTURES");
  std::string why;
  if (folder && !SavePng(std::string(folder) + "/" + name + ".png", image, &why))
    ADD_FAILURE() << why;
}

// Runs the program as the options say, takes the picture of the frame and
// compares it with the reference picture of that name.
void ExpectLikeTheReference(SimOptions o, int frame, const std::string& name,
                            const std::string& folder, Image* taken) {
  o.workingDirectory = RunDirectory();
  o.frames = frame + 1;
  const std::string path = folder + "/" + name + ".png";
  o.screenshots.push_back({frame, path});
  testing::internal::CaptureStderr();
  const int status = RunSimulation(o);
  const std::string err = testing::internal::GetCapturedStderr();
  ASSERT_EQ(status, 0) << name << "\n" << err;
  Image then;
  std::string why;
  ASSERT_TRUE(LoadPng(path, taken, &why)) << why;
  Keep(name, *taken);
  ASSERT_TRUE(
      LoadPng(std::string(ORVELUNE_TEST_DATA_DIR) + "/pictures/" + name + ".png", &then, &why))
      << why;
  const Difference d = Compare(*taken, then);
  EXPECT_LT(d.largeShare, 0.001) << name << ": largest channel difference " << d.largest;
}

}  // namespace

TEST(Pictures, TheTitleAndEachStagesStartLookAsTheyDid) {
  TempDirectory dir;
  struct Shot {
    const char* name;
    int stage;
  } shots[] = {{"title", -1}, {"stage0", 0}, {"stage1", 1}, {"stage2", 2}, {"stage3", 3}};
  for (const Shot& shot : shots) {
    SimOptions o;
    o.startStage = shot.stage;
    Image taken;
    ExpectLikeTheReference(o, 239, shot.name, dir.Path(), &taken);
  }
}

// The game's window on a software renderer takes each frame straight into
// the window instead of through the off-screen picture: the same pictures
// (the title to the bit; in the stages a few pixels where two surfaces meet
// at equal depth may come out either way, as the window's depth buffer is
// laid out differently).
TEST(Pictures, FramesDrawnStraightIntoTheWindowAreTheSame) {
  TempDirectory dir;
  for (int stage : {-1, 0, 2}) {
    const std::string name = stage < 0 ? "title" : "stage" + std::to_string(stage);
    Image viaPicture, direct;
    for (bool asTheGame : {false, true}) {
      SimOptions o;
      o.workingDirectory = RunDirectory();
      o.startStage = stage;
      o.frames = 240;
      o.drawAsTheGame = asTheGame;
      const std::string path = dir.Path() + "/" + name + (asTheGame ? "_direct" : "") + ".png";
      o.screenshots.push_back({239, path});
      testing::internal::CaptureStderr();
      const int status = RunSimulation(o);
      const std::string err = testing::internal::GetCapturedStderr();
      ASSERT_EQ(status, 0) << name << "\n" << err;
      std::string why;
      ASSERT_TRUE(LoadPng(path, asTheGame ? &direct : &viaPicture, &why)) << why;
    }
    ASSERT_EQ(direct.width, viaPicture.width);
    if (stage < 0) {
      EXPECT_TRUE(direct.argb == viaPicture.argb) << "the title differs when drawn into the window";
    } else {
      const Difference d = Compare(direct, viaPicture);
      EXPECT_LT(d.largeShare, 0.0001) << name << ": largest channel difference " << d.largest;
    }
  }
}

namespace {

// The picture the English event window shows for the first page of event 1,
// drawn by the event itself over a dark screen once the page is typed.
bool DrawEnglishEventPage(Image* out) {
  HeadlessServices services(true, true, true);
  ScopedWorkingDirectory run(RunDirectory());
  SetLanguage(Language::kEnglish);
  bool drawn = false;
  if (InitTextFonts() && GameSound::Load()) {
    Event event;
    if (event.LoadTextures() && event.Load(1)) {
      Input({});
      for (int frame = 0; frame < 60; ++frame) event.Update(TestInput());
      Input({DIK_RETURN});  // the whole page at once
      event.Update(TestInput());
      Input({});
      event.Update(TestInput());
      GraphicsDevice* d = GetDevice();
      d->BeginScene();
      d->Clear(D3DCLEAR_TARGET, 0xFF101830, 1, 0);
      event.Draw();
      d->EndScene();
      d->Present();
      drawn = d->ReadLastFrame(&out->width, &out->height, &out->argb);
    }
    event.Release();
    GameSound::Release();
  }
  ReleaseTextFonts();
  SetLanguage(Language::kJapanese);
  return drawn;
}

}  // namespace

TEST(Pictures, InEnglishTheTitleOpeningBoardAndEventShowTheirEnglishPictures) {
  TempDirectory dir;
  struct Shot {
    const char* name;
    int stage, scene;
    const char* input;
    int frame;
  } shots[] = {
      {"en_title", -1, -1, nullptr, 239},
      // The opening's first page, shown whole by a confirm.
      {"en_opening", -1, kSeqOpeningStart, "@100 press RETURN\n", 110},
      {"en_board", 0, -1, "walk_to_second_board.txt", 190},
  };
  for (const Shot& shot : shots) {
    SimOptions o;
    o.startStage = shot.stage;
    o.startScene = shot.scene;
    o.language = Language::kEnglish;
    if (shot.input) {
      const std::string name = shot.input;
      if (name.find(".txt") != std::string::npos) {
        o.inputPath = std::string(ORVELUNE_TEST_DATA_DIR) + "/inputs/" + name;
      } else {
        o.inputPath = dir.Path() + "/" + shot.name + ".txt";
        std::FILE* f = std::fopen(o.inputPath.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs(shot.input, f);
        std::fclose(f);
      }
    }
    Image taken;
    ExpectLikeTheReference(o, shot.frame, shot.name, dir.Path(), &taken);
  }
  SetLanguage(Language::kJapanese);
  // The English title is not the Japanese one.
  Image japanese, englishTitle;
  std::string why;
  ASSERT_TRUE(
      LoadPng(std::string(ORVELUNE_TEST_DATA_DIR) + "/pictures/title.png", &japanese, &why));
  ASSERT_TRUE(LoadPng(dir.Path() + "/en_title.png", &englishTitle, &why));
  EXPECT_GT(Compare(japanese, englishTitle).largeShare, 0.01) << "the English title shows Japanese";

  Image event, reference;
  ASSERT_TRUE(DrawEnglishEventPage(&event));
  Keep("en_event", event);
  ASSERT_TRUE(
      LoadPng(std::string(ORVELUNE_TEST_DATA_DIR) + "/pictures/en_event.png", &reference, &why));
  const Difference d = Compare(event, reference);
  EXPECT_LT(d.largeShare, 0.001) << "en_event: largest channel difference " << d.largest;
}
