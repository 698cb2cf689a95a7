#include "app/application.h"

#include <cstdio>

#include "app/frame_timer.h"
#include "base/json_writer.h"
#include "base/report_error.h"
#include "platform/input.h"
#include "platform/sound.h"
#include "render/preload.h"
#include "scenes/credit.h"
#include "scenes/game.h"
#include "scenes/scripted_scene.h"
#include "scenes/title.h"

Application::Application(DisplayMode mode) : mode_(mode) {}

Application::~Application() {
  delete ending_;
  delete opening_;
  delete credit_;
  delete game_;
  delete title_;
  delete window_;
}

int Application::Init() {
  Backend* backend = GetBackend();
  if (!backend) {
    ReportError("RegisterClassEx");
    return 0;
  }
  window_ = backend->CreateGameWindow(kProductName, kClientWidth, kClientHeight,
                                      mode_ == DisplayMode::FullScreen);
  if (!window_) {
    ReportError("ウィンドウハンドルの取得に失敗");
    return 0;
  }
  if (!InitDirect3D(window_, mode_)) return 0;
  if (!InitSprite()) return 0;
  if (!InitSound(window_)) return 0;
  if (!InitKeyboard(window_)) return 0;
  if (!InitTextFonts()) return 0;
  if (!InitDebugFont()) return 0;
  InitFrameTimer();
  if (!LoadSharedAssets()) return 0;
  window_->Show();
  return 1;
}

void Application::Run() {
  Clock& clock = GetBackend()->GetClock();
  bool quit = false;
  while (!quit) {
    const double fps = MeasureFrameRate();
    WindowMessage message;
    if (window_->PeekMessage(&message)) {
      if (message.type == WindowMessageType::Quit) break;
      WndProc(message);
      continue;  // a pass that handled a message runs no frame
    }
    if (!IsFrameReady()) {
      clock.WaitUntil(NextFrameDue());
      continue;
    }
    fps_ = fps;
    char title[32];
    std::snprintf(title, sizeof title, "%s : %.1f", kProductName, fps);
    window_->SetTitle(title);

    UpdateInput();
    ++frameCount_;
    quit = UpdateScene() != 0;

    if (GetPadState()->state.Gamepad.wButtons & XINPUT_GAMEPAD_BACK) {
      if (++backButtonCount_ >= kBackButtonHoldLimit) {
        if (observer_) observer_(*this);
        break;  // this frame is not drawn
      }
    } else {
      backButtonCount_ = 0;
    }

    GraphicsDevice* device = GetDevice();
    device->BeginScene();
    device->Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    if (state_ == 2 || state_ == 6 || state_ == 10 || state_ == 14 || state_ == 18) DrawScene();
    device->EndScene();
    const HRESULT presented = device->Present();
    GetBackend()->EndFrame();
    if (observer_) observer_(*this);
    if (presented == D3DERR_DEVICELOST) break;
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
  ReleaseFrameTimer();
}

void Application::WndProc(const WindowMessage& message) {
  switch (message.type) {
    case WindowMessageType::Close: window_->PostMessage({WindowMessageType::Quit, 0}); break;
    case WindowMessageType::KeyDown:
      if (message.key == DIK_ESCAPE) window_->PostMessage({WindowMessageType::Close, 0});
      break;
    default: break;
  }
}

int Application::UpdateScene() {
  switch (state_) {
    case 1:
      if (!title_) {
        title_ = new Title();
      } else if (title_->Start()) {
        state_ = 2;
        drawId_ = 3;
      }
      break;
    case 2:
      if (!title_->Update()) state_ = 4;
      break;
    case 4: {
      const int result = title_->GetResult();
      int quit = 0;
      if (result == 1) {
        state_ = 5;
        drawId_ = 0;
      } else if (result == 0) {
        state_ = 9;
        drawId_ = 0;
      } else if (result == 2) {
        quit = 1;
      }
      title_->Release();
      delete title_;
      title_ = nullptr;
      if (quit) return 1;
      break;
    }
    case 5:
      if (!credit_) {
        credit_ = new Credit();
      } else if (credit_->Start() == 1) {
        state_ = 6;
        drawId_ = 7;
      }
      break;
    case 6:
      if (!credit_->Update()) state_ = 8;
      break;
    case 8:
      credit_->Release();
      delete credit_;
      credit_ = nullptr;
      state_ = 1;
      drawId_ = 0;
      break;
    case 9:
      if (!opening_) {
        opening_ = new Opening();
      } else if (opening_->Start() == 1) {
        state_ = 10;
        drawId_ = 11;
      }
      break;
    case 10:
      if (!opening_->Update()) state_ = 12;
      break;
    case 12:
      opening_->Release();
      delete opening_;
      opening_ = nullptr;
      state_ = 13;
      drawId_ = 0;
      break;
    case 13:
      if (!game_) {
        game_ = new Game();
      } else if (game_->Start()) {
        state_ = 14;
        drawId_ = 15;
      } else {
        return 1;
      }
      break;
    case 14:
      if (!game_->Update()) state_ = 16;
      break;
    case 16:
      state_ = game_->GetResult() == 1 ? 17 : 1;
      drawId_ = 0;
      game_->Release();
      delete game_;
      game_ = nullptr;
      break;
    case 17:
      if (!ending_) {
        ending_ = new Ending();
      } else if (ending_->Start() == 1) {
        state_ = 18;
        drawId_ = 19;
      }
      break;
    case 18:
      if (!ending_->Update()) state_ = 20;
      break;
    case 20:
      ending_->Release();
      delete ending_;
      ending_ = nullptr;
      state_ = 5;
      drawId_ = 0;
      break;
    default: break;
  }
  return 0;
}

void Application::StartGameDirectly(int stage) {
  delete game_;
  game_ = new Game();
  game_->SetFirstStage(stage);
  state_ = 13;
  drawId_ = 0;
}

void Application::DrawScene() {
  switch (drawId_) {
    case 3:
      if (title_) title_->Draw();
      break;
    case 7:
      if (credit_) credit_->Draw();
      break;
    case 11:
      if (opening_) opening_->Draw();
      break;
    case 15:
      if (game_) game_->Draw();
      break;
    case 19:
      if (ending_) ending_->Draw();
      break;
    default: break;
  }
}

void Application::DumpState(JsonWriter& json) const {
  json.Key("seq_state").Int(state_);
  json.Key("draw_id").Int(drawId_);
  if (game_) game_->DumpState(json);
}
