#include "tools/sim/simulation.h"

#include <unistd.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <set>

#include "app/application.h"
#include "app/settings.h"
#include "base/atomic_file.h"
#include "base/json_writer.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/input_script.h"
#include "platform/input.h"
#include "platform/png_image.h"
#include "render/view_clearance.h"
#include "scenes/game.h"
#include "tools/sim/bench.h"
#include "tools/sim/gallery.h"
#include "tools/sim/services.h"
#include "tools/sim/stage_dump.h"
#include "world/camera.h"
#include "world/game_state.h"
#include "world/run_state.h"

namespace {

bool ParseInt64(const char* s, int64_t lo, int64_t hi, int64_t* out) {
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(s, &end, 10);
  if (errno || end == s || *end || v < lo || v > hi) return false;
  *out = v;
  return true;
}

// Records what the player's devices gave each frame while delegating to them.
class RecordingInput : public InputSource {
 public:
  RecordingInput(InputSource* inner, InputScriptRecorder* recorder)
      : inner_(inner), recorder_(recorder) {}
  ~RecordingInput() override { delete inner_; }
  bool ReadKeyboard(uint8_t keys[256]) override {
    const bool ok = inner_->ReadKeyboard(keys);
    if (ok) std::memcpy(keys_, keys, 256);
    return ok;
  }
  bool ReadPad(int index, XINPUT_STATE* state) override {
    const bool connected = inner_->ReadPad(index, state);
    recorder_->RecordFrame(frame_++, keys_, connected, state->Gamepad);
    return connected;
  }

 private:
  InputSource* inner_;
  InputScriptRecorder* recorder_;
  uint8_t keys_[256] = {};
  int64_t frame_ = 0;
};

class RecordingBackend : public Backend {
 public:
  RecordingBackend(std::unique_ptr<Backend> inner, InputScriptRecorder* recorder)
      : inner_(std::move(inner)), recorder_(recorder) {}
  GameWindow* CreateGameWindow(const char* t, int w, int h, bool f) override {
    return inner_->CreateGameWindow(t, w, h, f);
  }
  GraphicsDevice* CreateDevice(GameWindow* w, bool f) override {
    return inner_->CreateDevice(w, f);
  }
  InputSource* CreateInputSource() override {
    InputSource* real = inner_->CreateInputSource();
    return real ? new RecordingInput(real, recorder_) : nullptr;
  }
  SoundDevice* CreateSoundDevice() override { return inner_->CreateSoundDevice(); }
  Clock& GetClock() override { return inner_->GetClock(); }

 private:
  std::unique_ptr<Backend> inner_;
  InputScriptRecorder* recorder_;
};

}  // namespace

std::string StateJson(const Application& app, int64_t frame, uint32_t seed) {
  JsonWriter json;
  json.BeginObject();
  json.Key("frame").Int(frame);
  json.Key("seed").Int(seed);
  app.DumpState(json);
  json.EndObject();
  return json.Text();
}

namespace {

std::string DumpLine(const Application& app, int64_t frame) {
  JsonWriter json;
  json.BeginObject();
  json.Key("frame").Int(frame);
  json.Key("fps").Number(app.GetFps());
  app.DumpState(json);
  // The options screen and the language, which no replay depends on.
  json.Key("options_open").Bool(app.OptionsOpen());
  json.Key("language").String(LanguageCode(CurrentLanguage()));
  // In a game, the camera: its eye and look-at (which the game reads) and
  // the eye the world was drawn from (kept out of the models). They are not
  // part of the state hash: the replays were recorded without them.
  if (Game* game = app.GetGame()) {
    const CameraState& camera = game->GetRun().camera;
    json.Key("camera").BeginObject();
    json.Key("eye").Vec(camera.eye);
    json.Key("look_at").Vec(camera.lookAt);
    json.Key("up").Vec(camera.up);
    json.Key("yaw").Number(camera.yaw);
    json.Key("drawn_eye").Vec(view_clearance::DrawnEye());
    json.EndObject();
  }
  json.EndObject();
  return json.Text();
}

}  // namespace

void SeedRandomness(Application& app, uint32_t seed) {
  app.Randoms() = RandomStreams::Seeded(seed);
  SetFixedTimeSeed(true, seed);
}

uint64_t StateHash(const std::string& stateJson) {
  uint64_t h = 1469598103934665603ull;  // FNV-1a
  for (unsigned char c : stateJson) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

std::string SimUsage() {
  return "usage: orvelune-sim [options]\n"
         "  --frames N             run N frames, then end (default: until the program ends)\n"
         "  --input FILE           play this input script (see platform/headless/input_script.h)\n"
         "  --seed N               seed for all game randomness (default 1, or the script's)\n"
         "  --screenshot F:PATH    write the picture of frame F as PNG (repeatable;\n"
         "                         draws with OpenGL offscreen)\n"
         "  --dump FILE            write the state as JSON lines, every frame\n"
         "  --dump-at F1,F2,...    dump only these frames\n"
         "  --record FILE          play for real in a window; save the input and state hashes\n"
         "  --verify FILE          replay a recorded script; fail at the first frame whose\n"
         "                         state hash differs\n"
         "  --write-replay FILE    run headless and save the input with state hashes\n"
         "  --chdir DIR            run in DIR (the directory holding Resource_Orvelune)\n"
         "  --settings FILE        play with the player's settings in FILE (volumes and\n"
         "                         bindings, as the game applies them); the options\n"
         "                         screen saves to it\n"
         "  --gallery PATH.png     draw a test view of the models and HUD pieces, then stop\n"
         "  --fight-sheets DIR     play the run (--verify or --input, with --stage), then write\n"
         "                         DIR/stageN_fight.png for each boss fight: twelve pictures\n"
         "                         spread from its first frame to its last\n"
         "  --dump-stage PATH      print the objects a stage file makes as JSON, then stop\n"
         "  --stage N              start a game on stage N (0 to 3), skipping the title and\n"
         "                         the opening\n"
         "  --bench N              draw the title and each stage N frames through OpenGL\n"
         "                         and print CPU, draws and load times per scene (only\n"
         "                         the stage of --stage, or the title with --scene title)\n"
         "  --scene NAME           start on the title, credits, opening or ending scene\n"
         "  --stage-view N:PATH    draw a fixed view of stage N (0 to 4) lit by the light file\n"
         "  --lang ja|en           the language of the texts (default ja, whatever the locale,\n"
         "                         so replays and dumps do not depend on the machine)\n"
         "  --help                 show this text\n";
}

bool ParseSimArguments(int argc, char** argv, SimOptions* o, std::string* error, bool* help) {
  *help = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](const char** out) {
      if (i + 1 >= argc) {
        *error = a + " needs a value";
        return false;
      }
      *out = argv[++i];
      return true;
    };
    const char* v = nullptr;
    if (a == "--help" || a == "-h") {
      *help = true;
    } else if (a == "--frames") {
      if (!value(&v) || !ParseInt64(v, 0, INT64_MAX / 2, &o->frames)) {
        *error = "--frames needs a count";
        return false;
      }
    } else if (a == "--input") {
      if (!value(&v)) return false;
      o->inputPath = v;
    } else if (a == "--seed") {
      int64_t s;
      if (!value(&v) || !ParseInt64(v, 0, 0xFFFFFFFFll, &s)) {
        *error = "--seed needs a number from 0 to 4294967295";
        return false;
      }
      o->seed = static_cast<uint32_t>(s);
      o->seedGiven = true;
    } else if (a == "--screenshot") {
      if (!value(&v)) return false;
      const char* colon = std::strchr(v, ':');
      int64_t f;
      if (!colon || !ParseInt64(std::string(v, colon).c_str(), 0, INT64_MAX / 2, &f) || !colon[1]) {
        *error = "--screenshot needs FRAME:PATH.png";
        return false;
      }
      o->screenshots.push_back({f, colon + 1});
    } else if (a == "--dump") {
      if (!value(&v)) return false;
      o->dumpPath = v;
    } else if (a == "--dump-at") {
      if (!value(&v)) return false;
      std::string list = v;
      size_t start = 0;
      while (start <= list.size()) {
        const size_t comma = list.find(',', start);
        const std::string item = list.substr(start, comma - start);
        int64_t f;
        if (!ParseInt64(item.c_str(), 0, INT64_MAX / 2, &f)) {
          *error = "--dump-at needs frame numbers separated by commas";
          return false;
        }
        o->dumpFrames.push_back(f);
        if (comma == std::string::npos) break;
        start = comma + 1;
      }
    } else if (a == "--record") {
      if (!value(&v)) return false;
      o->recordPath = v;
    } else if (a == "--verify") {
      if (!value(&v)) return false;
      o->verifyPath = v;
    } else if (a == "--write-replay") {
      if (!value(&v)) return false;
      o->writeReplayPath = v;
    } else if (a == "--stage") {
      if (!value(&v)) return false;
      int64_t n;
      if (!ParseInt64(v, 0, 3, &n)) {
        *error = "--stage needs a stage number from 0 to 3";
        return false;
      }
      o->startStage = static_cast<int>(n);
    } else if (a == "--bench") {
      if (!value(&v) || !ParseInt64(v, 1, 1000000, &o->benchFrames)) {
        *error = "--bench needs a frame count from 1 to 1000000";
        return false;
      }
    } else if (a == "--scene") {
      if (!value(&v)) return false;
      const std::string name = v;
      if (name == "title")
        o->startScene = kSeqTitleStart;
      else if (name == "credits")
        o->startScene = kSeqCreditStart;
      else if (name == "opening")
        o->startScene = kSeqOpeningStart;
      else if (name == "ending")
        o->startScene = kSeqEndingStart;
      else {
        *error = "--scene needs title, credits, opening or ending";
        return false;
      }
    } else if (a == "--stage-view") {
      if (!value(&v)) return false;
      int64_t n;
      const char* colon = std::strchr(v, ':');
      if (!colon || !ParseInt64(std::string(v, colon).c_str(), 0, 4, &n) || !colon[1]) {
        *error = "--stage-view needs N:PATH.png with N from 0 to 4";
        return false;
      }
      o->stageViewIndex = static_cast<int>(n);
      o->stageViewPath = colon + 1;
    } else if (a == "--dump-stage") {
      if (!value(&v)) return false;
      o->dumpStagePath = v;
    } else if (a == "--fight-sheets") {
      if (!value(&v)) return false;
      o->fightSheetsDirectory = v;
    } else if (a == "--gallery") {
      if (!value(&v)) return false;
      o->galleryPath = v;
    } else if (a == "--lang") {
      if (!value(&v)) return false;
      if (!ParseLanguage(v, &o->language)) {
        *error = "--lang needs ja or en";
        return false;
      }
    } else if (a == "--settings") {
      if (!value(&v)) return false;
      o->settingsPath = v;
    } else if (a == "--chdir") {
      if (!value(&v)) return false;
      o->workingDirectory = v;
    } else {
      *error = "unknown option " + a;
      return false;
    }
    if (!error->empty()) return false;
  }
  if (o->startScene >= 0 && o->startStage >= 0) {
    *error = "--scene and --stage both choose where to start; give one";
    return false;
  }
  if (!o->recordPath.empty() && (!o->verifyPath.empty() || !o->inputPath.empty())) {
    *error = "--record plays live input; it cannot be combined with --input or --verify";
    return false;
  }
  if (!o->verifyPath.empty() && !o->inputPath.empty()) {
    *error = "--verify replays its own script; leave out --input";
    return false;
  }
  return true;
}

namespace {

void Fail(const std::string& why) {
  std::fprintf(stderr, "orvelune-sim: %s\n", why.c_str());
}

// --dump-stage: the objects a stage file makes, as JSON.
int DumpStage(const SimOptions& options) {
  std::string json;
  if (!StageDumpJson(options.dumpStagePath, &json)) return 1;
  std::printf("%s\n", json.c_str());
  return 0;
}

// The program started on the headless backend (drawing pictures when asked)
// for the modes that draw one picture and stop.
int DrawOnePicture(const SimOptions& options, const std::function<bool(std::string*)>& draw) {
  HeadlessOptions h;
  h.renderPictures = true;
  h.pictureDevice = [](std::string* e) { return CreatePictureDevice(e); };
  h.maxFrames = 0;
  HeadlessBackend backend(std::move(h));
  int status = 0;
  {
    Application app(backend, DisplayMode::Windowed);
    SeedRandomness(app, options.seed);
    std::string error;
    if (!app.Init()) {
      status = 1;
    } else if (!draw(&error)) {
      Fail(error);
      status = 1;
    }
    app.Release();
  }
  return status;
}

// --gallery: the test view of the models and HUD pieces.
int Gallery(const SimOptions& options) {
  return DrawOnePicture(
      options, [&](std::string* error) { return DrawGallery(options.galleryPath, error); });
}

// --stage-view: a fixed view of a stage.
int StageView(const SimOptions& options) {
  return DrawOnePicture(options, [&](std::string* error) {
    return DrawStageView(options.stageViewIndex, options.stageViewPath, error);
  });
}

// What a run of frames does besides playing: each hook sees every frame
// after it was presented, and may end the run early.
class FrameHook {
 public:
  virtual ~FrameHook() = default;
  virtual void OnFrame(Application& app, int64_t frame) = 0;
  // After the run: 0, or 1 when the hook's work failed.
  virtual int Finish(const Application&) { return 0; }
};

// --dump: the state as JSON lines.
class DumpHook : public FrameHook {
 public:
  DumpHook(FILE* out, const std::vector<int64_t>& frames)
      : out_(out), frames_(frames.begin(), frames.end()) {}
  void OnFrame(Application& app, int64_t frame) override {
    if (frames_.empty() || frames_.count(frame))
      std::fprintf(out_, "%s\n", DumpLine(app, frame).c_str());
  }

 private:
  FILE* out_;
  std::set<int64_t> frames_;
};

// --screenshot: the pictures of given frames as PNG files.
class ScreenshotHook : public FrameHook {
 public:
  explicit ScreenshotHook(const std::vector<Screenshot>& shots) : shots_(shots) {}
  void OnFrame(Application&, int64_t frame) override {
    for (const Screenshot& shot : shots_) {
      if (shot.frame != frame) continue;
      Image image;
      std::string why;
      if (!GetDevice()->ReadLastFrame(&image.width, &image.height, &image.argb)) {
        std::fprintf(stderr, "orvelune-sim: frame %" PRId64 " has no picture\n", frame);
        failed_ = true;
      } else if (!SavePng(shot.path, image, &why)) {
        Fail(why);
        failed_ = true;
      }
    }
  }
  int Finish(const Application& app) override {
    for (const Screenshot& shot : shots_) {
      if (shot.frame < app.GetFrameCount()) continue;
      std::fprintf(stderr,
                   "orvelune-sim: no picture of frame %" PRId64
                   " for %s: the run ended after %" PRId64 " frames\n",
                   shot.frame, shot.path.c_str(), app.GetFrameCount());
      failed_ = true;
    }
    return failed_ ? 1 : 0;
  }

 private:
  const std::vector<Screenshot>& shots_;
  bool failed_ = false;
};

// --record and --write-replay: the state hash of every hash frame.
class HashRecorder : public FrameHook {
 public:
  HashRecorder(InputScriptRecorder* live, uint32_t seed) : live_(live), seed_(seed) {}
  void OnFrame(Application& app, int64_t frame) override {
    if ((frame + 1) % kHashInterval != 0) return;
    const uint64_t h = StateHash(StateJson(app, frame, seed_));
    if (live_) live_->RecordHash(frame, h);
    hashes_.push_back({frame, h});
  }
  const std::vector<HashCheck>& Hashes() const { return hashes_; }

 private:
  InputScriptRecorder* live_;
  uint32_t seed_;
  std::vector<HashCheck> hashes_;
};

// --verify: each recorded hash against the run's; the first difference ends
// the run.
class HashVerifier : public FrameHook {
 public:
  HashVerifier(const InputScript& script, uint32_t seed, HeadlessBackend* headless)
      : script_(script), seed_(seed), headless_(headless) {}
  void OnFrame(Application& app, int64_t frame) override {
    const auto& hashes = script_.hashes;
    while (next_ < hashes.size() && hashes[next_].frame < frame) ++next_;
    if (next_ >= hashes.size() || hashes[next_].frame != frame) return;
    const uint64_t h = StateHash(StateJson(app, frame, seed_));
    if (h != hashes[next_].hash) {
      std::fprintf(stderr,
                   "orvelune-sim: desync at frame %" PRId64 ": expected hash %016" PRIx64
                   ", got %016" PRIx64 "\n  state: %s\n",
                   frame, hashes[next_].hash, h, StateJson(app, frame, seed_).c_str());
      failed_ = true;
      if (headless_) headless_->RequestQuit();
    }
    ++next_;
  }
  int Finish(const Application& app) override {
    if (failed_) return 1;
    if (next_ < script_.hashes.size()) {
      std::fprintf(stderr,
                   "orvelune-sim: the run ended after %" PRId64
                   " frames, before the hash of frame %" PRId64 "\n",
                   app.GetFrameCount(), script_.hashes[next_].frame);
      return 1;
    }
    std::printf("replay verified: %zu hashes over %" PRId64 " frames\n", script_.hashes.size(),
                app.GetFrameCount());
    return 0;
  }

 private:
  const InputScript& script_;
  uint32_t seed_;
  HeadlessBackend* headless_;
  size_t next_ = 0;
  bool failed_ = false;
};

// Runs the program on a backend with the hooks; 0 when the run and every
// hook's work went well.
int RunFrames(Backend* backend, const SimOptions& options, const std::vector<FrameHook*>& hooks,
              uint32_t seed) {
  int status = 0;
  {
    Application app(*backend, DisplayMode::Windowed);
    SeedRandomness(app, seed);
    if (!options.settingsPath.empty()) {
      // As the game starts with them; without the option nothing is set, so
      // replays do not depend on anyone's settings.
      const Settings settings = LoadSettings(options.settingsPath);
      ApplySettings(settings);
      app.UsePlayerSettings(settings, options.settingsPath);
    }
    app.SetFrameObserver([&](Application& a) {
      const int64_t frame = a.GetFrameCount() - 1;
      for (FrameHook* hook : hooks) hook->OnFrame(a, frame);
    });
    if (!app.Init()) {
      status = 1;
    } else {
      if (options.startStage >= 0) app.StartGameDirectly(options.startStage);
      if (options.startScene >= 0)
        app.StartSceneDirectly(static_cast<SequencerState>(options.startScene));
      // --frames ends the run after that many frames, in a window as headless.
      while ((options.frames < 0 || app.GetFrameCount() < options.frames) && app.Step()) {
      }
      if (app.GameStartFailed()) {
        Fail("the game scene could not start (see the report above)");
        status = 1;
      } else if (app.WaitingForScene()) {
        Fail("the run ended while a scene was waiting for a file that failed to load");
        status = 1;
      }
    }
    app.Release();
    for (FrameHook* hook : hooks) status |= hook->Finish(app);
  }
  return status;
}

// Reads the run's script (the replay being verified, or --input) and the
// seed of the game's randomness, from it or from --seed.
bool LoadScript(const SimOptions& options, InputScript* script, uint32_t* seed) {
  std::string error;
  const bool verifying = !options.verifyPath.empty();
  const std::string path = verifying ? options.verifyPath : options.inputPath;
  if (!path.empty() && !script->Load(path, &error)) {
    Fail(error);
    return false;
  }
  if (verifying && script->hashes.empty()) {
    Fail("the replay " + path + " holds no state hashes: there is nothing to verify");
    return false;
  }
  if (verifying && options.seedGiven && script->seed && *script->seed != options.seed) {
    Fail("the replay " + path + " was recorded with seed " + std::to_string(*script->seed) +
         ", not " + std::to_string(options.seed));
    return false;
  }
  *seed = options.seed;
  if (!options.seedGiven && script->seed) *seed = *script->seed;
  return true;
}

// --record: how the window's frames reached it, said at the end of the run
// (a frame of the picture's own size should go straight into the window).
class WindowFramesHook : public FrameHook {
 public:
  void OnFrame(Application&, int64_t) override {
    GraphicsDevice* device = GetDevice();
    if (!device) return;
    ++frames_;
    copied_ += device->LastFrameStats().presentCopies;
  }
  int Finish(const Application&) override {
    std::printf("window frames: %" PRId64 ", copied through the off-screen picture: %" PRId64 "\n",
                frames_, copied_);
    return 0;
  }

 private:
  int64_t frames_ = 0, copied_ = 0;
};

// --record: plays in a window with the player's input and saves the input
// with the state hashes.
int Record(const SimOptions& options) {
  InputScript script;
  uint32_t seed = 0;
  if (!LoadScript(options, &script, &seed)) return 1;
  std::unique_ptr<Backend> real = CreateRecordingBackend();
  if (!real) return 1;
  InputScriptRecorder recorder;
  recorder.SetSeed(seed);
  RecordingBackend backend(std::move(real), &recorder);
  HashRecorder hashes(&recorder, seed);
  WindowFramesHook windowFrames;
  std::vector<FrameHook*> hooks{&hashes, &windowFrames};
  int status = RunFrames(&backend, options, hooks, seed);
  std::string error;
  if (!WriteFileAtomically(options.recordPath, recorder.Script().Write(), &error)) {
    Fail(error);
    status = 1;
  }
  return status;
}

// The headless runs: plain play, --verify and --write-replay, with --dump
// and --screenshot on any of them (and the caller's own hooks).
int PlayHeadless(const SimOptions& options, const std::vector<FrameHook*>& extra = {}) {
  InputScript script;
  uint32_t seed = 0;
  if (!LoadScript(options, &script, &seed)) return 1;
  const bool verifying = !options.verifyPath.empty();
  int64_t frames = options.frames;
  if (verifying && frames < 0) {
    // A replay runs to its last hash (or its last input, if later).
    int64_t last = -1;
    for (const auto& h : script.hashes) last = std::max(last, h.frame);
    for (const auto& e : script.events) last = std::max(last, e.frame);
    frames = last + 1;
  }
  HeadlessOptions h;
  h.renderPictures = !options.screenshots.empty();
  h.pictureDevice = [asTheGame = options.drawAsTheGame](std::string* e) {
    return CreatePictureDevice(e, asTheGame);
  };
  h.maxFrames = frames;
  h.script = script;
  HeadlessBackend backend(std::move(h));

  std::unique_ptr<FILE, int (*)(FILE*)> dump(nullptr, std::fclose);
  if (!options.dumpPath.empty()) {
    dump.reset(std::fopen(options.dumpPath.c_str(), "w"));
    if (!dump) {
      Fail("cannot write " + options.dumpPath);
      return 1;
    }
  }
  std::vector<FrameHook*> hooks;
  DumpHook dumper(dump.get(), options.dumpFrames);
  ScreenshotHook screenshots(options.screenshots);
  HashRecorder hashes(nullptr, seed);
  HashVerifier verifier(script, seed, &backend);
  if (dump) hooks.push_back(&dumper);
  if (!options.screenshots.empty()) hooks.push_back(&screenshots);
  if (!options.writeReplayPath.empty()) hooks.push_back(&hashes);
  if (verifying) hooks.push_back(&verifier);
  hooks.insert(hooks.end(), extra.begin(), extra.end());
  int status = RunFrames(&backend, options, hooks, seed);

  if (!options.writeReplayPath.empty()) {
    InputScript out = script;
    out.seed = seed;
    out.hashes = hashes.Hashes();
    std::string error;
    if (!WriteFileAtomically(options.writeReplayPath, out.Write(), &error)) {
      Fail(error);
      return 1;
    }
  }
  return status;
}

// --fight-sheets: where each boss fight (game mode 3) starts and ends, by
// stage.
class FightFinder : public FrameHook {
 public:
  struct Fight {
    int stage;
    int64_t first, last;
  };
  void OnFrame(Application& app, int64_t frame) override {
    Game* game = app.GetGame();
    if (!game || game->GetRun().game.gameMode != kModeBossBattle) return;
    const int stage = game->GetRun().game.stageNumber;
    if (fights_.empty() || fights_.back().stage != stage || fights_.back().last + 600 < frame)
      fights_.push_back({stage, frame, frame});
    fights_.back().last = frame;
  }
  const std::vector<Fight>& Fights() const { return fights_; }

 private:
  std::vector<Fight> fights_;
};

// A quarter-size copy of a picture, each pixel the mean of a 4 x 4 block.
Image Quarter(const Image& in) {
  Image out;
  out.width = in.width / 4;
  out.height = in.height / 4;
  out.argb.resize(static_cast<size_t>(out.width) * out.height);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) {
      uint32_t sum[3] = {0, 0, 0};
      for (int dy = 0; dy < 4; ++dy)
        for (int dx = 0; dx < 4; ++dx) {
          const uint32_t p = in.argb[static_cast<size_t>(y * 4 + dy) * in.width + x * 4 + dx];
          sum[0] += (p >> 16) & 0xFF;
          sum[1] += (p >> 8) & 0xFF;
          sum[2] += p & 0xFF;
        }
      out.argb[static_cast<size_t>(y) * out.width + x] =
          0xFF000000u | (sum[0] / 16) << 16 | (sum[1] / 16) << 8 | (sum[2] / 16);
    }
  return out;
}

int FightSheets(const SimOptions& options) {
  constexpr int kShots = 12, kColumns = 4;
  SimOptions scout = options;
  scout.fightSheetsDirectory.clear();
  scout.screenshots.clear();
  FightFinder finder;
  if (PlayHeadless(scout, {&finder}) != 0) return 1;
  if (finder.Fights().empty()) {
    Fail("the run has no boss fight");
    return 1;
  }
  // The full-size shots are written next to the sheets and removed once
  // each sheet is made (a temporary folder has no portable call to make it).
  const std::string folder = options.fightSheetsDirectory;
  SimOptions shots = scout;
  for (size_t f = 0; f < finder.Fights().size(); ++f) {
    const auto& fight = finder.Fights()[f];
    for (int k = 0; k < kShots; ++k) {
      const int64_t frame = fight.first + (fight.last - fight.first) * k / (kShots - 1);
      shots.screenshots.push_back(
          {frame, folder + "/.shot_" + std::to_string(f) + "_" + std::to_string(k) + ".png"});
    }
  }
  int status = PlayHeadless(shots);
  for (size_t f = 0; f < finder.Fights().size() && status == 0; ++f) {
    const auto& fight = finder.Fights()[f];
    Image sheet;
    for (int k = 0; k < kShots; ++k) {
      Image shot;
      std::string why;
      const std::string path =
          folder + "/.shot_" + std::to_string(f) + "_" + std::to_string(k) + ".png";
      if (!LoadPng(path, &shot, &why)) {
        Fail(why);
        status = 1;
        break;
      }
      const Image small = Quarter(shot);
      if (sheet.argb.empty()) {
        sheet.width = small.width * kColumns;
        sheet.height = small.height * ((kShots + kColumns - 1) / kColumns);
        sheet.argb.assign(static_cast<size_t>(sheet.width) * sheet.height, 0xFF000000u);
      }
      const int x0 = (k % kColumns) * small.width, y0 = (k / kColumns) * small.height;
      for (int y = 0; y < small.height; ++y)
        std::copy_n(&small.argb[static_cast<size_t>(y) * small.width], small.width,
                    &sheet.argb[static_cast<size_t>(y0 + y) * sheet.width + x0]);
      std::remove(path.c_str());
    }
    if (status != 0) break;
    const std::string out =
        options.fightSheetsDirectory + "/stage" + std::to_string(fight.stage + 1) + "_fight.png";
    std::string why;
    if (!SavePng(out, sheet, &why)) {
      Fail(why);
      status = 1;
    } else {
      std::printf("%s: frames %" PRId64 " to %" PRId64 "\n", out.c_str(), fight.first, fight.last);
    }
  }
  if (status != 0)  // shots of a sheet that was never made
    for (const auto& shot : shots.screenshots) std::remove(shot.path.c_str());
  return status;
}

}  // namespace

namespace {

// The paths the command line names, taken from where the runner started
// (before --chdir moves it).
SimOptions WithAbsolutePaths(SimOptions o) {
  char cwd[4096];
  if (!::getcwd(cwd, sizeof cwd)) return o;
  const std::string base = cwd;
  auto fix = [&](std::string& p) {
    if (!p.empty() && p[0] != '/') p = base + "/" + p;
  };
  fix(o.inputPath);
  fix(o.dumpPath);
  fix(o.recordPath);
  fix(o.verifyPath);
  fix(o.writeReplayPath);
  fix(o.galleryPath);
  fix(o.fightSheetsDirectory);
  fix(o.dumpStagePath);
  fix(o.stageViewPath);
  for (Screenshot& shot : o.screenshots) fix(shot.path);
  return o;
}

}  // namespace

int RunSimulation(const SimOptions& given) {
  const SimOptions options = WithAbsolutePaths(given);
  if (!options.workingDirectory.empty() && ::chdir(options.workingDirectory.c_str()) != 0) {
    Fail("cannot change to " + options.workingDirectory);
    return 1;
  }
  SetLanguage(options.language);
  if (options.benchFrames > 0) {
    // --stage or --scene title narrows the benchmark to that scene.
    int scene = kBenchAllScenes;
    if (options.startStage >= 0)
      scene = options.startStage;
    else if (options.startScene == kSeqTitleStart)
      scene = kBenchTitle;
    else if (options.startScene >= 0) {
      Fail("--bench draws the title or a stage: --scene can only be title");
      return 1;
    }
    return RunBenchmark(options.benchFrames, scene);
  }
  if (!options.dumpStagePath.empty()) return DumpStage(options);
  if (!options.galleryPath.empty()) return Gallery(options);
  if (options.stageViewIndex >= 0) return StageView(options);
  if (!options.recordPath.empty()) return Record(options);
  if (!options.fightSheetsDirectory.empty()) return FightSheets(options);
  return PlayHeadless(options);
}
