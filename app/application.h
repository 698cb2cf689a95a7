// The program's outermost control: start-up and shut-down of the platform
// services in their fixed order, the frame loop, and the scene sequencer that
// creates, runs and destroys the five scenes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/frame_timer.h"
#include "app/settings.h"
#include "platform/backend.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "world/run_state.h"

class Title;
class Credit;
class Opening;
class Game;
class Ending;
class OptionsScreen;
class JsonWriter;

constexpr const char* kProductName = "Orvelune";
constexpr int kClientWidth = 1280;
constexpr int kClientHeight = 720;
constexpr unsigned kBackButtonHoldLimit = 60;

// The scene sequencer's states, with the design's numbers (which the runner's
// dumps print). Each scene has three: created and started until it reports
// ready, running, and released; the numbers in between are never used.
enum SequencerState {
  kSeqTitleStart = 1,
  kSeqTitleRun = 2,
  kSeqTitleEnd = 4,
  kSeqCreditStart = 5,
  kSeqCreditRun = 6,
  kSeqCreditEnd = 8,
  kSeqOpeningStart = 9,
  kSeqOpeningRun = 10,
  kSeqOpeningEnd = 12,
  kSeqGameStart = 13,
  kSeqGameRun = 14,
  kSeqGameEnd = 16,
  kSeqEndingStart = 17,
  kSeqEndingRun = 18,
  kSeqEndingEnd = 20,
};

// Which scene a frame draws (0: none).
enum DrawId {
  kDrawNone = 0,
  kDrawTitle = 3,
  kDrawCredit = 7,
  kDrawOpening = 11,
  kDrawGame = 15,
  kDrawEnding = 19
};

class Application {
 public:
  // The application runs on this backend: it is the platform's services'
  // backend from here until the application is destroyed (then the one
  // before it is again).
  Application(Backend& backend, DisplayMode mode);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Window and platform start-up; 1 on success, 0 when a step failed.
  int Init();
  // One pass of the frame loop: it handles one window message, or waits for
  // the next frame's time, or runs one frame (input, the sequencer, the
  // drawing, the present). False when the program is to end.
  bool Step();
  // The frame loop: Step until the program is to end.
  void Run();
  // Releases every live scene and every platform service; safe after a
  // partial start-up and when called twice.
  void Release();

  // The player's settings and where they are kept, for the options screen
  // to show and save (without a path it saves nothing: the runner, tests).
  void UsePlayerSettings(const Settings& settings, const std::string& path);
  bool OptionsOpen() const { return options_ != nullptr; }
  // The player's data folder, for the copies of light files that cannot be
  // written where they are installed (see Light); without it they are
  // written in place.
  void UseLightFolder(const std::string& folder) { lightFolder_ = folder; }

  // One step of the scene sequencer; 1 when the program is to end.
  int UpdateScene(const InputFrame& input);
  // Draws the scene chosen by the draw id.
  void DrawScene();
  // The window procedure: what the game does with a window message.
  void WndProc(const WindowMessage& message);

  int GetState() const { return state_; }
  int GetDrawId() const { return drawId_; }
  double GetFps() const { return fps_; }
  // Frames run so far (each reads input and steps the sequencer).
  int64_t GetFrameCount() const { return frameCount_; }
  // Whether a frame was due at the last Step (one that handled a message ran
  // none; one that found none due waited).
  bool FrameWasDue() const { return frameTimer_.IsFrameReady() != 0; }
  Game* GetGame() const { return game_.get(); }
  // The program's random numbers, which every game's run draws on in turn
  // (the runner seeds them before the first frame).
  RandomStreams& Randoms() { return randoms_; }
  // True when the game scene's start failed (which ends the program).
  bool GameStartFailed() const { return gameStartFailed_; }
  // True while a scene is being started and a file it needs has failed:
  // the title, the credits, the opening and the ending wait for it.
  bool WaitingForScene() const;
  // The notice drawn while a scene waits.
  void DrawWaitingNotice() const;
  // Skips the title and the opening: the next frame starts a game on this
  // stage (0 to 3) with the game's real start-up.
  void StartGameDirectly(int stage);
  // The next frame starts this scene (a start state) instead of the title;
  // for the runner, before the first frame.
  void StartSceneDirectly(SequencerState start);

  // Called after each frame that was run (after it was presented, or after the
  // update when the frame ended the program without drawing).
  void SetFrameObserver(std::function<void(Application&)> observer) {
    observer_ = std::move(observer);
  }
  // Called just before a scene's start (its load) with false and just after
  // it with true, so the benchmark can tell a load from the frame drawn after.
  void SetSceneStartObserver(std::function<void(bool finished)> observer) {
    startObserver_ = std::move(observer);
  }
  // The sequencer's state and the running scene's, for the runner's dumps.
  void DumpState(JsonWriter& json) const;

 private:
  // What the sequencer does with a scene in each of its three states.
  enum class StepResult { kStay, kNext, kEndProgram };
  // Start state: create the scene, or call its Start until it is ready (for
  // a scene whose failed start ends the program, a 0 ends it).
  template <typename Scene>
  StepResult StartStep(std::unique_ptr<Scene>& scene, bool readyWhenNonzero, bool failureEnds,
                       const InputFrame& input);
  // Run state: one update; kNext when the scene has finished.
  template <typename Scene>
  StepResult RunStep(Scene& scene, const InputFrame& input);
  // End state: release and delete the scene.
  template <typename Scene>
  void EndStep(std::unique_ptr<Scene>& scene);

  // One frame of the loop; false when it ended the program.
  bool RunFrame();
  // True while the options screen may open: the title's menu or the pause
  // menu waits for a choice.
  bool OptionsCanOpen() const;
  // The options screen when it is open, else its hint (right-aligned, at
  // height hintY) when it may open.
  void DrawOptions(int hintY) const;
  // The frame of the title or the game while the options screen may open or
  // is open; false when the scene runs as usual.
  bool UpdateOptions(const InputFrame& input);
  // Leaving the options screen: its settings applied and saved.
  void CloseOptions();
  // The cursor sound of the scene under the options screen.
  void PlayOptionsSound();
  // The language of the player's settings made the game's.
  void ApplyChosenLanguage();

  Backend& backend_;
  Backend* previousBackend_;
  // Before the scenes, so it outlives them: a game gives the numbers back
  // as it ends.
  RandomStreams randoms_;
  // Fields of the design, in its order.
  std::unique_ptr<GameWindow> window_;
  int state_ = kSeqTitleStart;
  int drawId_ = kDrawNone;
  std::unique_ptr<Game> game_;
  std::unique_ptr<Title> title_;
  std::unique_ptr<Credit> credit_;
  std::unique_ptr<Opening> opening_;
  std::unique_ptr<Ending> ending_;
  unsigned backButtonCount_ = 0;
  // The options screen over the title, while it is open.
  std::unique_ptr<OptionsScreen> options_;
  Settings settings_;
  std::string settingsPath_;
  std::string lightFolder_;
  // A language chosen during a stage, applied when the title next starts.
  bool languagePending_ = false;
  // Whose controls the hints name: the device of the last update's input.
  InputDevice prompts_ = InputDevice::kKeyboard;

  DisplayMode mode_;
  double fps_ = 0;
  FrameTimer frameTimer_;  // paces the frames
  int64_t frameCount_ = 0;
  bool gameStartFailed_ = false;
  std::function<void(Application&)> observer_;
  std::function<void(bool)> startObserver_;
};
