// How the game program starts and what the player can set: its options, the
// search for its files, the settings file and the key and pad bindings, the
// volumes, the letterbox, the light files kept in the user's folder, and the
// English line under each error report.
#include "app/launch.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

#include "app/settings.h"
#include "base/report_error.h"
#include "platform/backend.h"
#include "platform/bindings.h"
#include "platform/common/letterbox.h"
#include "platform/headless/headless_backend.h"
#include "platform/input_types.h"
#include "platform/sound.h"
#include "render/lighting.h"
#include "tests/test_support.h"

namespace fs = std::filesystem;

namespace {

LaunchOptions Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "orvelune");
  return ParseLaunchOptions(static_cast<int>(args.size()), args.data());
}

// Sets an environment variable for one test.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old, had_ = true;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (had_)
      ::setenv(name_, old_.c_str(), 1);
    else
      ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(LaunchOptions, TheOptionsAndTheirMistakes) {
  EXPECT_EQ(Parse({}).action, LaunchOptions::Action::kPlay);
  EXPECT_FALSE(Parse({}).fullscreen.has_value()) << "the settings decide when no option says";
  EXPECT_TRUE(*Parse({"--fullscreen"}).fullscreen);
  EXPECT_FALSE(*Parse({"--fullscreen", "--windowed"}).fullscreen) << "the last one wins";
  EXPECT_EQ(Parse({"--data", "/x"}).dataDirectory, "/x");
  EXPECT_EQ(Parse({"--data=/y"}).dataDirectory, "/y");
  EXPECT_EQ(Parse({"--help"}).action, LaunchOptions::Action::kHelp);
  EXPECT_EQ(Parse({"--version"}).action, LaunchOptions::Action::kVersion);
  // Mistakes are usage errors, never a silent start.
  for (auto args : std::vector<std::vector<const char*>>{
           {"--bogus"}, {"--data"}, {"--data="}, {"fullscreen"}, {"-x"}}) {
    const LaunchOptions o = Parse(args);
    EXPECT_EQ(o.action, LaunchOptions::Action::kUsageError) << args[0];
    EXPECT_FALSE(o.error.empty());
  }
}

TEST(ContentSearch, NextToTheProgramThenItsRunFolderThenTheInstalledFolder) {
  TempDirectory dir;
  const std::string bin = dir.Path() + "/prefix/bin";
  fs::create_directories(bin);
  const auto candidates = ContentCandidates(bin, "");
  ASSERT_GE(candidates.size(), 4u);
  EXPECT_EQ(candidates[0], bin);
  EXPECT_EQ(candidates[1], bin + "/run");
  EXPECT_EQ(fs::weakly_canonical(candidates[2]), fs::path(dir.Path()) / "prefix/share/orvelune");

  std::string why;
  EXPECT_EQ(FindContentFolder(candidates, "", &why), "");
  EXPECT_NE(why.find(bin), std::string::npos) << "the failure lists where it looked: " << why;

  // An installed layout: found through the path relative to the program.
  fs::create_directories(dir.Path() + "/prefix/share/orvelune/Resource_Orvelune");
  EXPECT_EQ(fs::weakly_canonical(FindContentFolder(candidates, "", &why)),
            fs::path(dir.Path()) / "prefix/share/orvelune");
  // A build tree beside the program comes first.
  fs::create_directories(bin + "/run/Resource_Orvelune");
  EXPECT_EQ(FindContentFolder(candidates, "", &why), bin + "/run");

  // --data names the one folder to use, and a wrong one is an error.
  EXPECT_EQ(ContentCandidates(bin, "/elsewhere"), std::vector<std::string>{"/elsewhere"});
  EXPECT_EQ(FindContentFolder({dir.Path() + "/missing"}, dir.Path() + "/missing", &why), "");
  EXPECT_NE(why.find("--data"), std::string::npos) << why;
}

TEST(Settings, EachBadValueFallsBackAloneAndUnknownKeysAreIgnored) {
  std::vector<std::string> warnings;
  const Settings s = ParseSettings(
      "music_volume = 40\n"
      "effects_volume = 250   # too loud\n"
      "fullscreen = yes\n"
      "window_width = wide\n"
      "window_height = 900\n"
      "key.select = LSHIFT\n"
      "key.pause = ESCAPE\n"
      "key.jump = SPACE\n"
      "pad.select = X\n"
      "pad.pause = BACK\n"
      "colour = blue\n"
      "just words\n",
      "settings.txt", &warnings);
  EXPECT_EQ(s.musicVolume, 40);
  EXPECT_EQ(s.effectsVolume, 100);
  EXPECT_TRUE(s.fullscreen);
  EXPECT_EQ(s.windowWidth, 1280);
  EXPECT_EQ(s.windowHeight, 900);
  const InputBindings defaults = InputBindings::Defaults();
  EXPECT_EQ(s.bindings.keys[4], DIK_LSHIFT);          // select
  EXPECT_EQ(s.bindings.keys[12], defaults.keys[12]);  // pause: Escape stays for quitting
  EXPECT_EQ(s.bindings.buttons[0], XINPUT_GAMEPAD_X);
  EXPECT_EQ(s.bindings.buttons[4], defaults.buttons[4]);
  // One warning per problem, each naming its key and line.
  ASSERT_EQ(warnings.size(), 7u);
  EXPECT_NE(warnings[0].find("settings.txt:2:"), std::string::npos) << warnings[0];
  EXPECT_NE(warnings[0].find("effects_volume"), std::string::npos);
  EXPECT_NE(warnings[1].find("window_width"), std::string::npos);
  EXPECT_NE(warnings[2].find("key.pause"), std::string::npos);
  EXPECT_NE(warnings[3].find("jump"), std::string::npos);
  EXPECT_NE(warnings[4].find("pad.pause"), std::string::npos);
  EXPECT_NE(warnings[5].find("colour"), std::string::npos);

  // What is written reads back the same, without warnings.
  warnings.clear();
  const Settings back = ParseSettings(FormatSettings(s), "again", &warnings);
  EXPECT_TRUE(warnings.empty());
  EXPECT_EQ(back.musicVolume, 40);
  EXPECT_EQ(back.windowHeight, 900);
  EXPECT_EQ(back.bindings.keys, s.bindings.keys);
  EXPECT_EQ(back.bindings.buttons, s.bindings.buttons);
}

// Two actions on one key would leave one of them unreachable: the later
// keeps its default, or the earlier when the later has its own already.
TEST(Settings, TwoActionsOnOneKeyOrButtonAreKeptApartWithAWarning) {
  std::vector<std::string> warnings;
  const InputBindings defaults = InputBindings::Defaults();
  Settings s = ParseSettings("key.select = M\n", "settings.txt", &warnings);
  // select on M, flip on its default M: select gives way.
  EXPECT_EQ(s.bindings.keys[4], defaults.keys[4]);
  EXPECT_EQ(s.bindings.keys[5], DIK_M);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("key.select and key.flip are both M"), std::string::npos)
      << warnings[0];
  EXPECT_NE(warnings[0].find("key.select keeps its default SPACE"), std::string::npos)
      << warnings[0];

  // Both moved to one key: the later gives way.
  warnings.clear();
  s = ParseSettings("key.select = X\nkey.flip = X\n", "settings.txt", &warnings);
  EXPECT_EQ(s.bindings.keys[4], DIK_X);
  EXPECT_EQ(s.bindings.keys[5], defaults.keys[5]);
  EXPECT_EQ(warnings.size(), 1u);

  // Keys traded round (a permutation) are no conflict at all.
  warnings.clear();
  s = ParseSettings("key.select = M\nkey.flip = P\nkey.pause = SPACE\n", "s", &warnings);
  EXPECT_TRUE(warnings.empty());
  EXPECT_EQ(s.bindings.keys[12], DIK_SPACE);
  // A chain: flip gives P back to pause, then select gives M back to flip;
  // each change is warned about and no key stands for two actions.
  s = ParseSettings("key.select = M\nkey.flip = P\n", "s", &warnings);
  std::set<int> keys(s.bindings.keys.begin(), s.bindings.keys.end());
  EXPECT_EQ(keys.size(), s.bindings.keys.size());
  EXPECT_EQ(warnings.size(), 2u);
  EXPECT_EQ(s.bindings.keys, defaults.keys);

  // Pad buttons the same way.
  warnings.clear();
  s = ParseSettings("pad.select = LB\n", "s", &warnings);
  std::set<uint16_t> buttons(s.bindings.buttons.begin(), s.bindings.buttons.end());
  EXPECT_EQ(buttons.size(), s.bindings.buttons.size());
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("pad.select and pad.flip are both LB"), std::string::npos)
      << warnings[0];
}

TEST(Settings, AMissingFileIsWrittenWithTheDefaultsWhole) {
  TempDirectory dir;
  ScopedEnv config("XDG_CONFIG_HOME", dir.Path() + "/config");
  const std::string path = SettingsPath();
  EXPECT_EQ(path, dir.Path() + "/config/orvelune/settings.txt");
  testing::internal::CaptureStderr();
  const Settings s = LoadSettings(path);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(s.musicVolume, 100);
  const std::string text = ReadAll(path);
  EXPECT_EQ(text, FormatSettings(Settings{}));
  // No temporary file is left beside it.
  int files = 0;
  for (const auto& e : fs::directory_iterator(dir.Path() + "/config/orvelune"))
    files += e.is_regular_file();
  EXPECT_EQ(files, 1);
  // An XDG variable that is not an absolute path does not count.
  ScopedEnv relative("XDG_CONFIG_HOME", "relative/dir");
  ScopedEnv home("HOME", dir.Path());
  EXPECT_EQ(SettingsPath(), dir.Path() + "/.config/orvelune/settings.txt");
}

// Saving changes only values: what the player wrote around them stays.
TEST(Settings, SavingChangesOnlyTheValuesAndKeepsEverythingElse) {
  const std::string text =
      "# my settings\n"
      "\n"
      "music_volume=40   # quiet at night\n"
      "  effects_volume = loud\r\n"
      "colour = blue\n"
      "just words\n"
      "#fullscreen = yes\n"
      "key.select = LSHIFT\n"
      "language = ja\n"
      "music_volume = 50";  // a later copy, and no line end
  std::vector<std::string> warnings;
  Settings s = ParseSettings(text, "settings.txt", &warnings);
  EXPECT_EQ(s.musicVolume, 50) << "the later line wins";
  s.musicVolume = 30;
  s.effectsVolume = 70;
  s.language = Language::kEnglish;
  s.bindings.keys[4] = DIK_RSHIFT;  // select
  s.bindings.buttons[0] = XINPUT_GAMEPAD_Y;
  const std::string updated = UpdateSettingsText(text, s);
  const std::string head =
      "# my settings\n"
      "\n"
      "music_volume=30   # quiet at night\n"
      "  effects_volume = 70\r\n"
      "colour = blue\n"
      "just words\n"
      "#fullscreen = yes\n"
      "key.select = RSHIFT\n"
      "language = en\n"
      "music_volume = 30\n"
      "\n# Added when the game saved its settings.\n"
      "fullscreen = no\n";
  ASSERT_GE(updated.size(), head.size());
  EXPECT_EQ(updated.substr(0, head.size()), head);
  EXPECT_NE(updated.find("\npad.select = Y\n"), std::string::npos) << updated;
  EXPECT_EQ(updated.find("key.select = RSHIFT", head.size()), std::string::npos)
      << "a key the text has is not added again";

  // It reads back as the settings it was written from, and saving again
  // changes nothing.
  warnings.clear();
  const Settings back = ParseSettings(updated, "settings.txt", &warnings);
  EXPECT_EQ(warnings.size(), 2u) << "only the player's own two odd lines";
  EXPECT_EQ(back.musicVolume, 30);
  EXPECT_EQ(back.effectsVolume, 70);
  EXPECT_EQ(back.language, Language::kEnglish);
  EXPECT_EQ(back.bindings.keys, s.bindings.keys);
  EXPECT_EQ(back.bindings.buttons, s.bindings.buttons);
  EXPECT_EQ(UpdateSettingsText(updated, s), updated);
  // The game's own layout is complete: nothing is added to it.
  EXPECT_EQ(UpdateSettingsText(FormatSettings(Settings{}), s), FormatSettings(s));
}

TEST(Settings, SaveSettingsWritesAtomicallyOrSaysWhy) {
  TempDirectory dir;
  const std::string path = dir.Path() + "/config/orvelune/settings.txt";
  Settings s;
  s.effectsVolume = 20;
  std::string why;
  // No file yet: the full layout, folders made.
  ASSERT_TRUE(SaveSettings(path, s, &why)) << why;
  EXPECT_EQ(ReadAll(path), FormatSettings(s));
  // A file of the player's: updated in place, the only file in its folder.
  {
    std::ofstream out(path, std::ios::binary);
    out << "# mine\neffects_volume = 90\n";
  }
  s.effectsVolume = 10;
  ASSERT_TRUE(SaveSettings(path, s, &why)) << why;
  EXPECT_EQ(ReadAll(path).substr(0, 26), "# mine\neffects_volume = 10");
  int files = 0;
  for (const auto& e : fs::directory_iterator(dir.Path() + "/config/orvelune"))
    files += e.is_regular_file();
  EXPECT_EQ(files, 1);
  // A folder where the file should be: refused, naming it.
  const std::string blocked = dir.Path() + "/blocked";
  fs::create_directories(blocked + "/settings.txt");
  why.clear();
  EXPECT_FALSE(SaveSettings(blocked + "/settings.txt", s, &why));
  EXPECT_NE(why.find("blocked/settings.txt"), std::string::npos) << why;
  // A file too large to have been read whole is not cut down.
  const std::string huge = dir.Path() + "/huge.txt";
  {
    std::ofstream out(huge, std::ios::binary);
    out << std::string((1u << 20) + 10, '#');
  }
  why.clear();
  EXPECT_FALSE(SaveSettings(huge, s, &why));
  EXPECT_NE(why.find("huge.txt"), std::string::npos) << why;
  EXPECT_EQ(fs::file_size(huge), (1u << 20) + 10);
}

// Rebinding swaps: the action that had the key takes the old one, so every
// action stays reachable; the quit key and button cannot be taken.
TEST(Bindings, RebindingSwapsWithTheActionThatHadTheKey) {
  const InputBindings defaults = InputBindings::Defaults();
  InputBindings b = defaults;
  // select (Space) onto M, flip's key: flip takes Space.
  ASSERT_TRUE(BindKey(b, 4, DIK_M));
  EXPECT_EQ(b.keys[4], DIK_M);
  EXPECT_EQ(b.keys[5], DIK_SPACE);
  // onto a key of no action: nothing else moves.
  ASSERT_TRUE(BindKey(b, 4, DIK_LSHIFT));
  EXPECT_EQ(b.keys[4], DIK_LSHIFT);
  EXPECT_EQ(b.keys[5], DIK_SPACE);
  // onto its own key: no change.
  ASSERT_TRUE(BindKey(b, 4, DIK_LSHIFT));
  EXPECT_EQ(b.keys[4], DIK_LSHIFT);
  std::set<int> keys(b.keys.begin(), b.keys.end());
  EXPECT_EQ(keys.size(), b.keys.size()) << "no key stands for two actions";
  // Refused, changing nothing: Escape, codes out of range, unknown actions.
  const InputBindings before = b;
  EXPECT_FALSE(BindKey(b, 4, DIK_ESCAPE));
  EXPECT_FALSE(BindKey(b, 4, 0));
  EXPECT_FALSE(BindKey(b, 4, 256));
  EXPECT_FALSE(BindKey(b, b.keys.size(), DIK_X));
  EXPECT_EQ(b.keys, before.keys);

  // Buttons the same way; BACK and anything but one button are refused.
  ASSERT_TRUE(BindButton(b, 0, XINPUT_GAMEPAD_A));  // select onto confirm's A
  EXPECT_EQ(b.buttons[0], XINPUT_GAMEPAD_A);
  EXPECT_EQ(b.buttons[3], defaults.buttons[0]);
  EXPECT_FALSE(BindButton(b, 0, XINPUT_GAMEPAD_BACK));
  EXPECT_FALSE(BindButton(b, 0, XINPUT_GAMEPAD_A | XINPUT_GAMEPAD_B));
  EXPECT_FALSE(BindButton(b, 0, 0));
  EXPECT_EQ(b.buttons[0], XINPUT_GAMEPAD_A);
  // What the swaps made reads back from the settings file unchanged.
  Settings s;
  s.bindings = b;
  std::vector<std::string> warnings;
  const Settings back = ParseSettings(FormatSettings(s), "settings.txt", &warnings);
  EXPECT_TRUE(warnings.empty());
  EXPECT_EQ(back.bindings.keys, b.keys);
  EXPECT_EQ(back.bindings.buttons, b.buttons);
}

TEST(Bindings, AnActionFollowsItsKeyAndTheDefaultKeyLetsGo) {
  InputBindings b = InputBindings::Defaults();
  b.keys[4] = DIK_LSHIFT;  // select on left shift
  b.buttons[0] = XINPUT_GAMEPAD_X;
  SetInputBindings(b);
  uint8_t physical[256] = {}, game[256];
  physical[DIK_LSHIFT] = 0x80;
  ApplyKeyBindings(physical, game);
  EXPECT_EQ(game[DIK_SPACE], 0x80) << "the game reads select as Space";
  physical[DIK_LSHIFT] = 0;
  physical[DIK_SPACE] = 0x80;
  physical[DIK_F] = 0x80;
  ApplyKeyBindings(physical, game);
  EXPECT_EQ(game[DIK_SPACE], 0) << "Space no longer selects";
  EXPECT_EQ(game[DIK_F], 0x80) << "keys of no action pass";
  EXPECT_NE(ApplyPadBindings(XINPUT_GAMEPAD_X) & XINPUT_GAMEPAD_RIGHT_SHOULDER, 0);
  EXPECT_EQ(ApplyPadBindings(XINPUT_GAMEPAD_RIGHT_SHOULDER), 0);
  EXPECT_EQ(ApplyPadBindings(XINPUT_GAMEPAD_B), XINPUT_GAMEPAD_B);
  // Two actions may share a key.
  b.keys[5] = DIK_LSHIFT;  // flip too
  SetInputBindings(b);
  physical[DIK_SPACE] = 0;
  physical[DIK_LSHIFT] = 0x80;
  ApplyKeyBindings(physical, game);
  EXPECT_EQ(game[DIK_SPACE], 0x80);
  EXPECT_EQ(game[DIK_M], 0x80);
  // Without bindings (the runner, the tests) nothing changes.
  ClearInputBindings();
  ApplyKeyBindings(physical, game);
  EXPECT_EQ(game[DIK_SPACE], 0);
  EXPECT_EQ(game[DIK_LSHIFT], 0x80);
}

TEST(Volumes, MusicAndEffectsHaveTheirOwnGain) {
  SetSoundVolumes(50, 0);
  EXPECT_FLOAT_EQ(SoundGainFor("Resource_Orvelune/Sound/BGM/Main_BGM.wav"), 0.25f);
  EXPECT_FLOAT_EQ(SoundGainFor("Resource_Orvelune/Sound/SE/Hit.wav"), 0.0f);
  SetSoundVolumes(250, -3);  // out of range: clamped
  EXPECT_FLOAT_EQ(SoundGainFor("Resource_Orvelune/Sound/BGM/Main_BGM.wav"), 1.0f);
  EXPECT_FLOAT_EQ(SoundGainFor("Resource_Orvelune/Sound/SE/Hit.wav"), 0.0f);
  SetSoundVolumes(100, 100);
}

namespace {

// A sound device whose voices keep the gain they were last given.
class GainVoice : public SoundVoice {
 public:
  explicit GainVoice(std::vector<float>* gains) : gains_(gains), index_(gains->size()) {
    gains_->push_back(-1);
  }
  void Play(bool) override {}
  void Stop() override {}
  void SetCurrentPosition(uint32_t) override {}
  uint32_t GetStatus() override { return 0; }
  void SetVolume(float gain) override { (*gains_)[index_] = gain; }

 private:
  std::vector<float>* gains_;
  size_t index_;
};
class GainSound : public SoundDevice {
 public:
  explicit GainSound(std::vector<float>* gains) : gains_(gains) {}
  SoundVoice* CreateVoice(const WaveFormat&, const uint8_t*, uint32_t) override {
    return new GainVoice(gains_);
  }

 private:
  std::vector<float>* gains_;
};
class GainBackend : public HeadlessBackend {
 public:
  explicit GainBackend(std::vector<float>* gains) : HeadlessBackend({}), gains_(gains) {}
  SoundDevice* CreateSoundDevice() override { return new GainSound(gains_); }

 private:
  std::vector<float>* gains_;
};

}  // namespace

// A volume changed while sounds are loaded (the options screen) reaches
// them at once, music and effects each by their own volume.
TEST(Volumes, AChangeReachesTheSoundsAlreadyLoaded) {
  ScopedWorkingDirectory run(RunDirectory());
  std::vector<float> gains;
  GainBackend backend(&gains);
  SetBackend(&backend);
  ASSERT_EQ(InitSound(nullptr), 1);
  {
    SoundBuffer music, effect;
    ASSERT_EQ(music.Load("Resource_Orvelune/Sound/BGM/Main_BGM.wav"), 1);
    ASSERT_EQ(effect.Load("Resource_Orvelune/Sound/SE/BigWave.wav"), 1);
    ASSERT_EQ(gains.size(), 2u);
    EXPECT_FLOAT_EQ(gains[0], 1.0f);
    EXPECT_FLOAT_EQ(gains[1], 1.0f);
    SetSoundVolumes(50, 0);
    EXPECT_FLOAT_EQ(gains[0], 0.25f);
    EXPECT_FLOAT_EQ(gains[1], 0.0f);
    music.Release();
    SetSoundVolumes(100, 100);  // a released sound is not touched
    EXPECT_FLOAT_EQ(gains[0], 0.25f);
    EXPECT_FLOAT_EQ(gains[1], 1.0f);
  }
  SetSoundVolumes(30, 30);  // nor one that is gone
  ReleaseSound();
  SetBackend(nullptr);
  SetSoundVolumes(100, 100);
}

TEST(Letterbox, ThePictureKeepsItsShapeInAnyWindow) {
  struct Case {
    int w, h;
    Rect want;
  } cases[] = {
      {1280, 720, {0, 0, 1280, 720}},     {2560, 1440, {0, 0, 2560, 1440}},
      {1920, 1200, {0, 60, 1920, 1080}},  {1000, 1000, {0, 219, 1000, 562}},
      {3440, 1440, {440, 0, 2560, 1440}}, {321, 181, {0, 0, 321, 180}},
  };
  for (const Case& c : cases) {
    const Rect r = Letterbox(c.w, c.h, 1280, 720);
    EXPECT_EQ(r.x, c.want.x) << c.w << "x" << c.h;
    EXPECT_EQ(r.y, c.want.y) << c.w << "x" << c.h;
    EXPECT_EQ(r.width, c.want.width) << c.w << "x" << c.h;
    EXPECT_EQ(r.height, c.want.height) << c.w << "x" << c.h;
  }
  const Rect none = Letterbox(0, 600, 1280, 720);  // a minimised window
  EXPECT_EQ(none.width, 0);
}

TEST(LightFiles, TheUsersCopyIsReadAndWrittenAndAReadOnlyFolderMakesOne) {
  ClearReportedErrors();  // reports of tests run before in the same process
  TempDirectory dir;
  const std::string content = dir.Path() + "/content/Light";
  const std::string user = dir.Path() + "/user/content/Light";
  fs::create_directories(content);
  fs::create_directories(user);
  const std::string sun = "Sun\n1\nD\n0,0,0\n0,0,0\n1,1,1,1\n1,1,1,1\n1,1,1,1\n";
  const std::string moon = "Moon\n1\nD\n0,0,0\n0,0,0\n1,1,1,1\n1,1,1,1\n1,1,1,1\n";
  std::ofstream(content + "/light.txt") << sun;
  std::ofstream(content + "/light_rev.txt") << moon;
  std::ofstream(user + "/light.txt") << "Star" << sun.substr(3);
  HeadlessServices services(true);
  ScopedWorkingDirectory cwd(dir.Path());
  const std::string userFolder = dir.Path() + "/user";
  {
    Light light("content/Light/light.txt", "content/Light/light_rev.txt", userFolder);
    ASSERT_EQ(light.Load(), 1);
    EXPECT_EQ(light.Normal()[0].name.substr(0, 4), "Star") << "the user's copy is read";
    EXPECT_EQ(light.Reversed()[0].name.substr(0, 4), "Moon") << "the other has no copy";
  }  // written back on the way out
  EXPECT_EQ(ReadAll(content + "/light.txt"), sun) << "the installed file stays as it was";
  EXPECT_EQ(ReadAll(user + "/light.txt").substr(0, 5), "Star\n");
  EXPECT_FALSE(fs::exists(user + "/light_rev.txt")) << "a writable file is written in place";

  if (::geteuid() != 0) {  // root writes into read-only folders
    fs::remove(user + "/light.txt");
    ::chmod(content.c_str(), 0555);
    testing::internal::CaptureStderr();
    {
      Light light("content/Light/light.txt", "content/Light/light_rev.txt", userFolder);
      ASSERT_EQ(light.Load(), 1);
    }
    const std::string err = testing::internal::GetCapturedStderr();
    ::chmod(content.c_str(), 0755);
    EXPECT_NE(err.find("keeps its copy in"), std::string::npos) << err;
    EXPECT_EQ(ReadAll(user + "/light.txt").substr(0, 4), "Sun\n") << "the copy holds what was read";
    EXPECT_TRUE(fs::exists(user + "/light_rev.txt"));
  }
  EXPECT_EQ(ReportedErrors().size(), 0u) << "nothing failed";
}

TEST(ErrorReports, EachJapaneseReportIsFollowedByAnEnglishLineNamingTheFileOrDevice) {
  testing::internal::CaptureStderr();
  ReportError("メッシュの読み込みに失敗", "Resource_Orvelune/Object/Box/box.x");
  ReportError("メッシュの初期化に失敗 -MaterialLoad-");
  ReportError("g_pD3DDeviceの作成に失敗");
  const std::string err = testing::internal::GetCapturedStderr();
  const auto line = [&](int n) {
    size_t at = 0;
    for (int i = 0; i < n; ++i) at = err.find('\n', at) + 1;
    return err.substr(at, err.find('\n', at) - at);
  };
  EXPECT_EQ(line(0), "Orvelune: メッシュの読み込みに失敗");
  EXPECT_NE(line(1).find("A model could not be loaded: /"), std::string::npos) << line(1);
  EXPECT_NE(line(1).find("Resource_Orvelune/Object/Box/box.x. "), std::string::npos);
  EXPECT_NE(line(1).find("reinstall"), std::string::npos);
  // The summary that follows names the same file.
  EXPECT_NE(line(3).find("box.x"), std::string::npos) << line(3);
  // A device report says what to check instead.
  EXPECT_NE(line(5).find("graphics device"), std::string::npos) << line(5);
  EXPECT_NE(line(5).find("OpenGL"), std::string::npos);
  EXPECT_EQ(line(5).find("box.x"), std::string::npos);
  ClearReportedErrors();

  // With no display, both lines say so, in the player's language first.
  SetLanguage(Language::kEnglish);
  testing::internal::CaptureStderr();
  ReportError("ディスプレイが見つかりません");
  const std::string display = testing::internal::GetCapturedStderr();
  SetLanguage(Language::kJapanese);
  EXPECT_EQ(display.find("Orvelune: There is no display to open a window on"), 0u) << display;
  EXPECT_NE(display.find("\n  ディスプレイが見つかりません"), std::string::npos) << display;
  EXPECT_NE(display.find("DISPLAY"), std::string::npos);
  ClearReportedErrors();
}
