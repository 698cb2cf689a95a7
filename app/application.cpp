#include "app/application.h"

#include <cstdio>
#include <type_traits>

#include "app/frame_timer.h"
#include "app/options_screen.h"
#include "base/failed_files.h"
#include "base/json_writer.h"
#include "base/language.h"
#include "base/report_error.h"
#include "base/text_encoding.h"
#include "platform/bindings.h"
#include "platform/input.h"
#include "platform/sound.h"
#include "render/preload.h"
#include "render/sound_sets.h"
#include "render/text_drawing.h"
#include "scenes/credit.h"
#include "scenes/game.h"
#include "scenes/scripted_scene.h"
#include "scenes/title.h"

Application::Application(Backend& backend, DisplayMode mode)
    : backend_(backend), previousBackend_(GetBackend()), mode_(mode) {
  SetBackend(&backend_);
}

Application::~Application() {
  // The scenes go in the design's order, then the window; then the services
  // go back to the backend they had before.
  ending_.reset();
  opening_.reset();
  credit_.reset();
  game_.reset();
  title_.reset();
  window_.reset();
  SetBackend(previousBackend_);
}

int Application::Init() {
  window_.reset(backend_.CreateGameWindow(kProductName, kClientWidth, kClientHeight,
                                          mode_ == DisplayMode::FullScreen));
  if (!window_) {
    ReportError("ウィンドウハンドルの取得に失敗");
    return 0;
  }
  if (!InitDirect3D(window_.get(), mode_)) return 0;
  if (!InitSprite()) return 0;
  if (!InitSound(window_.get())) return 0;
  if (!InitKeyboard(window_.get())) return 0;
  if (!InitTextFonts()) return 0;
  if (!InitDebugFont()) return 0;
  frameTimer_.Init();
  if (!LoadSharedAssets()) return 0;
  window_->Show();
  return 1;
}

bool Application::Step() {
  const double fps = frameTimer_.MeasureFrameRate();
  WindowMessage message;
  if (window_->PeekMessage(&message)) {
    if (message.type == WindowMessageType::Quit) return false;
    WndProc(message);
    return true;  // a pass that handled a message runs no frame
  }
  if (!frameTimer_.IsFrameReady()) {
    backend_.GetClock().WaitUntil(frameTimer_.NextFrameDue());
    return true;
  }
  fps_ = fps;
  return RunFrame();
}

bool Application::RunFrame() {
  char title[32];
  std::snprintf(title, sizeof title, "%s : %.1f", kProductName, fps_);
  window_->SetTitle(title);

  UpdateInput();
  const InputFrame& input = CurrentInput();
  ++frameCount_;
  const bool quit = UpdateScene(input) != 0;

  if (input.PadDown(XINPUT_GAMEPAD_BACK)) {
    if (++backButtonCount_ >= kBackButtonHoldLimit) {
      if (observer_) observer_(*this);
      return false;  // this frame is not drawn
    }
  } else {
    backButtonCount_ = 0;
  }

  GraphicsDevice* device = GetDevice();
  device->BeginScene();
  device->Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
  if (state_ == kSeqTitleRun || state_ == kSeqCreditRun || state_ == kSeqOpeningRun ||
      state_ == kSeqGameRun || state_ == kSeqEndingRun)
    DrawScene();
  else if (WaitingForScene())
    DrawWaitingNotice();
  device->EndScene();
  const HRESULT presented = device->Present();
  backend_.EndFrame();
  if (observer_) observer_(*this);
  return !quit && presented != D3DERR_DEVICELOST;
}

void Application::Run() {
  while (Step()) {
  }
}

void Application::Release() {
  ReleaseSharedAssets();
  if (ending_) ending_->Release();
  if (opening_) opening_->Release();
  if (credit_) credit_->Release();
  if (game_) game_->Release();
  if (title_) title_->Release();
  ReleaseDebugFont();
  ReleaseTextFonts();
  ReleaseSound();
  ReleaseKeyboard();
  ReleaseSprite();
  ReleaseDirect3D();
  frameTimer_.Release();
}

void Application::WndProc(const WindowMessage& message) {
  switch (message.type) {
    case WindowMessageType::Close:
      window_->PostMessage({WindowMessageType::Quit, 0});
      break;
    case WindowMessageType::KeyDown:
      if (message.key == DIK_ESCAPE) window_->PostMessage({WindowMessageType::Close, 0});
      break;
    default:
      break;
  }
}

namespace {

// A scene's start; the game's reads the frame's input (its camera takes its
// first place).
template <typename Scene>
int StartScene(Scene& scene, const InputFrame& /*input*/) {
  return scene.Start();
}
int StartScene(Game& game, const InputFrame& input) {
  return game.Start(input);
}

}  // namespace

template <typename Scene>
Application::StepResult Application::StartStep(std::unique_ptr<Scene>& scene, bool readyWhenNonzero,
                                               bool failureEnds, const InputFrame& input) {
  if (!scene) {
    // The game is made with the folder for the player's light files.
    if constexpr (std::is_same_v<Scene, Game>)
      scene = std::make_unique<Game>(randoms_, lightFolder_);
    else
      scene = std::make_unique<Scene>();
    return StepResult::kStay;
  }
  if (startObserver_) startObserver_(false);
  const int started = StartScene(*scene, input);
  if (startObserver_) startObserver_(true);
  if (readyWhenNonzero ? started != 0 : started == 1) return StepResult::kNext;
  return failureEnds ? StepResult::kEndProgram : StepResult::kStay;
}

template <typename Scene>
Application::StepResult Application::RunStep(Scene& scene, const InputFrame& input) {
  return scene.Update(input) ? StepResult::kStay : StepResult::kNext;
}

template <typename Scene>
void Application::EndStep(std::unique_ptr<Scene>& scene) {
  scene->Release();
  scene.reset();
}

int Application::UpdateScene(const InputFrame& input) {
  prompts_ = input.lastDevice;
  // Moves on when a step says so: to a running state with the scene's draw
  // id, or to the next state with nothing drawn.
  auto on = [&](StepResult r, int next, int drawId) {
    if (r == StepResult::kNext) {
      state_ = next;
      drawId_ = drawId;
    }
    return r == StepResult::kEndProgram ? 1 : 0;
  };
  switch (state_) {
    case kSeqTitleStart:
      if (languagePending_) ApplyChosenLanguage();
      return on(StartStep(title_, true, false, input), kSeqTitleRun, kDrawTitle);
    case kSeqTitleRun:
      if (UpdateOptions(input)) return 0;
      return on(RunStep(*title_, input), kSeqTitleEnd, drawId_);
    case kSeqTitleEnd: {
      // The menu's choice: 0 start (the opening), 1 the credits, 2 quit.
      const int result = title_->GetResult();
      if (result == 1) on(StepResult::kNext, kSeqCreditStart, kDrawNone);
      if (result == 0) on(StepResult::kNext, kSeqOpeningStart, kDrawNone);
      EndStep(title_);
      return result == 2 ? 1 : 0;
    }
    case kSeqCreditStart:
      return on(StartStep(credit_, false, false, input), kSeqCreditRun, kDrawCredit);
    case kSeqCreditRun:
      return on(RunStep(*credit_, input), kSeqCreditEnd, drawId_);
    case kSeqCreditEnd:
      EndStep(credit_);
      return on(StepResult::kNext, kSeqTitleStart, kDrawNone);
    case kSeqOpeningStart:
      return on(StartStep(opening_, false, false, input), kSeqOpeningRun, kDrawOpening);
    case kSeqOpeningRun:
      return on(RunStep(*opening_, input), kSeqOpeningEnd, drawId_);
    case kSeqOpeningEnd:
      EndStep(opening_);
      return on(StepResult::kNext, kSeqGameStart, kDrawNone);
    case kSeqGameStart: {
      // A game scene that cannot start ends the program.
      const StepResult r = StartStep(game_, true, true, input);
      if (r == StepResult::kEndProgram) gameStartFailed_ = true;
      return on(r, kSeqGameRun, kDrawGame);
    }
    case kSeqGameRun:
      if (UpdateOptions(input)) return 0;
      return on(RunStep(*game_, input), kSeqGameEnd, drawId_);
    case kSeqGameEnd: {
      // After a cleared game the ending and the credits, else the title.
      const int cleared = game_->GetResult() == 1;
      EndStep(game_);
      return on(StepResult::kNext, cleared ? kSeqEndingStart : kSeqTitleStart, kDrawNone);
    }
    case kSeqEndingStart:
      return on(StartStep(ending_, false, false, input), kSeqEndingRun, kDrawEnding);
    case kSeqEndingRun:
      return on(RunStep(*ending_, input), kSeqEndingEnd, drawId_);
    case kSeqEndingEnd:
      EndStep(ending_);
      return on(StepResult::kNext, kSeqCreditStart, kDrawNone);
    default:
      return 0;
  }
}

void Application::DrawWaitingNotice() const {
  // One line in Japanese and one in English, both naming the file.
  const std::string file = LastFailedFile();
  const std::string japanese = Utf8ToSjis(("ファイルを読み込めません: " + file).c_str());
  const std::string english =
      "Cannot load " + file + ". Reinstall the game, or run it from its build folder. Esc quits.";
  // The player's language first.
  const bool englishFirst = CurrentLanguage() == Language::kEnglish;
  const std::string text = englishFirst ? english + "\n" + japanese : japanese + "\n" + english;
  DrawNotice(text.c_str());
}

bool Application::WaitingForScene() const {
  const bool starting = state_ == kSeqTitleStart || state_ == kSeqCreditStart ||
                        state_ == kSeqOpeningStart || state_ == kSeqEndingStart;
  const std::string file = LastFailedFile();
  return starting && !file.empty() && FailedBefore(file);
}

void Application::StartGameDirectly(int stage) {
  game_ = std::make_unique<Game>(randoms_, lightFolder_);
  game_->SetFirstStage(stage);
  state_ = kSeqGameStart;
  drawId_ = kDrawNone;
}

void Application::StartSceneDirectly(SequencerState start) {
  state_ = start;
  drawId_ = kDrawNone;
}

void Application::UsePlayerSettings(const Settings& settings, const std::string& path) {
  settings_ = settings;
  settingsPath_ = path;
}

bool Application::OptionsCanOpen() const {
  if (state_ == kSeqTitleRun) return title_ && title_->MenuWaiting();
  if (state_ == kSeqGameRun) return game_ && game_->PauseMenuWaiting();
  return false;
}

void Application::PlayOptionsSound() {
  // The sounds of the scene underneath: the title's or the game's.
  if (state_ == kSeqGameRun && game_)
    game_->GetRun().sound.PlayOnce(kSeSelect);
  else if (title_)
    title_->Sounds().PlayOnce(kTitleSelect);
}

bool Application::UpdateOptions(const InputFrame& input) {
  if (!options_) {
    // Tab or the pad's Y opens the screen while the title's menu or the
    // pause menu waits.
    if (!OptionsCanOpen() || !(input.KeyPressed(DIK_TAB) || input.PadPressed(XINPUT_GAMEPAD_Y)))
      return false;
    // The screen reads the keys and buttons themselves: a key being bound
    // is the one pressed, and the arrows, Return and Backspace work it.
    ClearInputBindings();
    options_ = std::make_unique<OptionsScreen>(settings_, state_ == kSeqGameRun,
                                               window_ && window_->SizedByItsHost());
    PlayOptionsSound();
  }
  // The scene goes on moving under the screen, with no input of its own
  // (only the device its hints name).
  InputFrame idle;
  idle.lastDevice = input.lastDevice;
  if (state_ == kSeqGameRun)
    game_->Update(idle);
  else
    title_->Update(idle);
  switch (options_->Update(input)) {
    case OptionsMenu::Effect::kVolumeChanged: {
      const Settings& s = options_->Menu().Edited();
      SetSoundVolumes(s.musicVolume, s.effectsVolume);
      PlayOptionsSound();  // a sample at the new volume
      break;
    }
    case OptionsMenu::Effect::kLeave:
      CloseOptions();
      break;
    default:
      break;
  }
  return true;
}

void Application::CloseOptions() {
  const Settings edited = options_->Menu().Edited();
  options_.reset();
  const bool languageChanged = edited.language != settings_.language;
  const WindowDisplay display{edited.fullscreen, edited.windowWidth, edited.windowHeight};
  if (window_ &&
      display != WindowDisplay{settings_.fullscreen, settings_.windowWidth, settings_.windowHeight})
    window_->SetDisplay(display);
  settings_ = edited;
  ApplySettings(edited);
  if (!settingsPath_.empty()) {
    std::string why;
    if (!SaveSettings(settingsPath_, edited, &why))
      std::fprintf(stderr, "Orvelune: warning: the settings were not saved: %s\n", why.c_str());
  }
  if (!languageChanged) return;
  if (state_ == kSeqGameRun) {
    // A stage in play keeps the pictures and texts it loaded: the new
    // language comes with the next title.
    languagePending_ = true;
    return;
  }
  // The title's pictures are the language's own: it starts again in it.
  ApplyChosenLanguage();
  EndStep(title_);
  state_ = kSeqTitleStart;
  drawId_ = kDrawNone;
}

void Application::ApplyChosenLanguage() {
  SetLanguage(settings_.language.value_or(LanguageFromEnvironment()));
  languagePending_ = false;
}

void Application::DrawOptions(int hintY) const {
  if (options_)
    options_->Draw(CurrentLanguage(), prompts_);
  else if (OptionsCanOpen())
    DrawOptionsHint(CurrentLanguage(), prompts_, 1250, hintY);
}

void Application::DrawScene() {
  switch (drawId_) {
    case kDrawTitle:
      if (title_) title_->Draw();
      DrawOptions(720 - 50);
      break;
    case kDrawCredit:
      if (credit_) credit_->Draw();
      break;
    case kDrawOpening:
      if (opening_) opening_->Draw();
      break;
    case kDrawGame:
      if (game_) game_->Draw();
      DrawOptions(40);
      break;
    case kDrawEnding:
      if (ending_) ending_->Draw();
      break;
    default:
      break;
  }
}

void Application::DumpState(JsonWriter& json) const {
  json.Key("seq_state").Int(state_);
  json.Key("draw_id").Int(drawId_);
  if (game_) game_->DumpState(json);
}
