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
  SoundSetCore sounds = GameSoundSet();
  if (InitTextFonts() && sounds.Load()) {
    Event event;
    if (event.LoadTextures() && event.Load(1)) {
      Input({});
      for (int frame = 0; frame < 60; ++frame) event.Update(sounds, TestInput());
      Input({DIK_RETURN});  // the whole page at once
      event.Update(sounds, TestInput());
      Input({});
      event.Update(sounds, TestInput());
      GraphicsDevice* d = GetDevice();
      d->BeginScene();
      d->Clear(D3DCLEAR_TARGET, 0xFF101830, 1, 0);
      event.Draw();
      d->EndScene();
      d->Present();
      drawn = d->ReadLastFrame(&out->width, &out->height, &out->argb);
    }
    event.Release();
    sounds.Release();
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

namespace {

// The share of pixels inside [x0, x1) x [y0, y1) with a channel off by more
// than 3.
double ShareChangedIn(const Image& a, const Image& b, int x0, int y0, int x1, int y1) {
  if (a.width != b.width || a.height != b.height) return 1;
  size_t changed = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const size_t i = static_cast<size_t>(y) * a.width + x;
      for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((a.argb[i] >> shift) & 0xFF) -
                     static_cast<int>((b.argb[i] >> shift) & 0xFF)) > 3) {
          ++changed;
          break;
        }
    }
  return static_cast<double>(changed) / ((x1 - x0) * (y1 - y0));
}

}  // namespace

// A board's panel and the pause menu name the keys, switch to the pad's
// buttons (and the pad's words) when a pad button is pressed, and back to
// the keys at the next key press, in both languages. X and the pad's B do
// nothing in a stage, so nothing else changes.
TEST(Pictures, PromptsFollowTheDeviceUsedLastInBothLanguages) {
  TempDirectory dir;
  const std::string script = dir.Path() + "/prompts.txt";
  {
    // Onto the second board (lift and throw), stopping on it; then the
    // pause menu, faded in by frame 351.
    std::FILE* f = std::fopen(script.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs(
        "@100 key LEFT down\n@130 key LEFT up\n@131 key UP down\n@183 key UP up\n"
        "@262 padpress B\n@282 press X\n@300 press P\n@382 padpress B\n@402 press X\n",
        f);
    std::fclose(f);
  }
  const int shots[6] = {260, 280, 299, 380, 400, 420};
  for (Language lang : {Language::kJapanese, Language::kEnglish}) {
    const std::string tag = lang == Language::kEnglish ? "en" : "ja";
    SimOptions o = StageOneRun(lang, script);
    o.frames = 421;
    for (int frame : shots)
      o.screenshots.push_back({frame, dir.Path() + "/" + tag + std::to_string(frame) + ".png"});
    testing::internal::CaptureStderr();
    const int status = RunSimulation(o);
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_EQ(status, 0) << err;
    Image p[6];
    for (int i = 0; i < 6; ++i) {
      std::string why;
      ASSERT_TRUE(LoadPng(o.screenshots[i].path, &p[i], &why)) << why;
    }
    Keep(tag + "_pad_board", p[1]);
    Keep(tag + "_pad_pause", p[4]);
    // The open panel, inside its frame: its text and its picture.
    const int panel[4] = {25, 520, 335, 710};
    EXPECT_GT(ShareChangedIn(p[0], p[1], panel[0], panel[1], panel[2], panel[3]), 0.02) << tag;
    EXPECT_EQ(ShareChangedIn(p[0], p[2], panel[0], panel[1], panel[2], panel[3]), 0) << tag;
    // The pause menu's two key pictures and the options hint above them.
    const int keys[4] = {889, 585, 961, 696}, hint[4] = {900, 36, 1256, 84};
    for (const int* r : {keys, hint}) {
      EXPECT_GT(ShareChangedIn(p[3], p[4], r[0], r[1], r[2], r[3]), 0.02) << tag << " " << r[0];
      EXPECT_EQ(ShareChangedIn(p[3], p[5], r[0], r[1], r[2], r[3]), 0) << tag << " " << r[0];
    }
  }
}
