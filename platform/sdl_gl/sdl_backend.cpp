#include "platform/sdl_gl/sdl_backend.h"

#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>

#include "base/report_error.h"
#include "platform/common/clocks.h"
#include "platform/common/key_state.h"
#include "platform/common/null_sound.h"
#include "platform/png_image.h"
#include "platform/sdl_gl/gl_device.h"
#include "platform/sdl_gl/openal_sound.h"
#include "platform/sdl_gl/sdl_keymap.h"
#ifdef __EMSCRIPTEN__
#include "platform/sdl_gl/browser_loop.h"
#endif

namespace {

#ifdef __EMSCRIPTEN__
constexpr bool kInBrowser = true;
#else
constexpr bool kInBrowser = false;
#endif

class SdlWindow : public GameWindow {
 public:
  SdlWindow(SDL_Window* window, KeyState* keys) : window_(window), keys_(keys) {}
  ~SdlWindow() override { SDL_DestroyWindow(window_); }
  SDL_Window* Handle() const { return window_; }

  bool PeekMessage(WindowMessage* message) override {
    if (!posted_.empty()) {
      *message = posted_.front();
      posted_.pop_front();
      return true;
    }
    SDL_Event e;
    if (!SDL_PollEvent(&e)) return false;
    *message = Translate(e);
    return true;
  }

  void PostMessage(const WindowMessage& message) override { posted_.push_back(message); }

  void SetTitle(const char* text) override {
    if (title_ != text) {
      title_ = text;
      SDL_SetWindowTitle(window_, text);
    }
  }

  void Show() override { SDL_ShowWindow(window_); }

  bool SizedByItsHost() const override { return kInBrowser; }

  void SetDisplay(const WindowDisplay& display) override {
    if (IsFullScreen() != display.fullscreen) ToggleFullScreen();
    // In a browser the page sizes the canvas.
    if (kInBrowser) return;
    if (display.fullscreen) return;
    // A maximised window would keep its size: it is restored first.
    SDL_RestoreWindow(window_);
    SDL_SetWindowSize(window_, display.width, display.height);
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  }

 private:
  WindowMessage Translate(const SDL_Event& e) {
    WindowMessage m;
    switch (e.type) {
      case SDL_QUIT:
        m.type = WindowMessageType::Close;
        break;
      case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) m.type = WindowMessageType::Close;
        if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) keys_->ReleaseAll();
        break;
      case SDL_KEYDOWN:
        // Alt+Enter switches between the window and desktop full screen; its
        // Return is the window's, not the game's.
        if (e.key.keysym.scancode == SDL_SCANCODE_RETURN && (e.key.keysym.mod & KMOD_ALT)) {
          keys_->Shortcut(DikFromScancode(e.key.keysym.scancode));
          if (!e.key.repeat) ToggleFullScreen();
          break;
        }
        keys_->KeyDown(DikFromScancode(e.key.keysym.scancode));
        m.type = WindowMessageType::KeyDown;
        m.key = DikFromScancode(e.key.keysym.scancode);
        break;
      case SDL_KEYUP:
        keys_->KeyUp(DikFromScancode(e.key.keysym.scancode));
        break;
      default:
        break;
    }
    return m;
  }

  bool IsFullScreen() const {
#ifdef __EMSCRIPTEN__
    return PageIsFullScreen();
#else
    return (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) ==
           SDL_WINDOW_FULLSCREEN_DESKTOP;
#endif
  }

  void ToggleFullScreen() {
#ifdef __EMSCRIPTEN__
    // The page's full screen, which keeps its bars beside the picture.
    AskPageForFullScreen(!PageIsFullScreen());
#else
    const bool full = IsFullScreen();
    SDL_SetWindowFullscreen(window_, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    SDL_ShowCursor(full ? SDL_ENABLE : SDL_DISABLE);
#endif
  }

  SDL_Window* window_;
  KeyState* keys_;
  std::deque<WindowMessage> posted_;
  std::string title_;
};

// The keys come from the window's key events (see KeyState), so a tap
// between two frames still counts and Alt+Enter's Return is left out.
class SdlInput : public InputSource {
 public:
  explicit SdlInput(KeyState* keys) : keys_(keys) {}
  ~SdlInput() override {
    if (pad_) SDL_GameControllerClose(pad_);
  }

  bool ReadKeyboard(uint8_t keys[256]) override {
    keys_->Read(keys);
    return true;
  }

  bool ReadPad(int index, XINPUT_STATE* out) override {
    if (index != 0) return false;
    if (pad_ && !SDL_GameControllerGetAttached(pad_)) {
      SDL_GameControllerClose(pad_);
      pad_ = nullptr;
    }
    if (!pad_) {
      // Pads may be plugged in while the game runs: take the first one found.
      for (int i = 0; i < SDL_NumJoysticks() && !pad_; ++i)
        if (SDL_IsGameController(i)) pad_ = SDL_GameControllerOpen(i);
      if (!pad_) return false;
    }
    static const struct {
      SDL_GameControllerButton button;
      uint16_t bit;
    } kButtons[] = {
        {SDL_CONTROLLER_BUTTON_DPAD_UP, XINPUT_GAMEPAD_DPAD_UP},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, XINPUT_GAMEPAD_DPAD_DOWN},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, XINPUT_GAMEPAD_DPAD_LEFT},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, XINPUT_GAMEPAD_DPAD_RIGHT},
        {SDL_CONTROLLER_BUTTON_START, XINPUT_GAMEPAD_START},
        {SDL_CONTROLLER_BUTTON_BACK, XINPUT_GAMEPAD_BACK},
        {SDL_CONTROLLER_BUTTON_LEFTSTICK, XINPUT_GAMEPAD_LEFT_THUMB},
        {SDL_CONTROLLER_BUTTON_RIGHTSTICK, XINPUT_GAMEPAD_RIGHT_THUMB},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, XINPUT_GAMEPAD_LEFT_SHOULDER},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, XINPUT_GAMEPAD_RIGHT_SHOULDER},
        {SDL_CONTROLLER_BUTTON_A, XINPUT_GAMEPAD_A},
        {SDL_CONTROLLER_BUTTON_B, XINPUT_GAMEPAD_B},
        {SDL_CONTROLLER_BUTTON_X, XINPUT_GAMEPAD_X},
        {SDL_CONTROLLER_BUTTON_Y, XINPUT_GAMEPAD_Y},
    };
    XINPUT_GAMEPAD g;
    for (const auto& b : kButtons)
      if (SDL_GameControllerGetButton(pad_, b.button)) g.wButtons |= b.bit;
    auto trigger = [&](SDL_GameControllerAxis axis) {
      const int v = SDL_GameControllerGetAxis(pad_, axis);  // 0..32767
      return static_cast<uint8_t>(v <= 0 ? 0 : v * 255 / 32767);
    };
    // SDL's y axes point down; XInput's point up.
    auto upAxis = [&](SDL_GameControllerAxis axis) {
      const int v = -static_cast<int>(SDL_GameControllerGetAxis(pad_, axis));
      return static_cast<int16_t>(v > 32767 ? 32767 : v);
    };
    g.bLeftTrigger = trigger(SDL_CONTROLLER_AXIS_TRIGGERLEFT);
    g.bRightTrigger = trigger(SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
    g.sThumbLX = SDL_GameControllerGetAxis(pad_, SDL_CONTROLLER_AXIS_LEFTX);
    g.sThumbLY = upAxis(SDL_CONTROLLER_AXIS_LEFTY);
    g.sThumbRX = SDL_GameControllerGetAxis(pad_, SDL_CONTROLLER_AXIS_RIGHTX);
    g.sThumbRY = upAxis(SDL_CONTROLLER_AXIS_RIGHTY);
    if (std::memcmp(&g, &out->Gamepad, sizeof g) != 0) ++out->dwPacketNumber;
    out->Gamepad = g;
    return true;
  }

 private:
  KeyState* keys_;
  SDL_GameController* pad_ = nullptr;
};

class SdlBackend : public Backend {
 public:
  explicit SdlBackend(const SdlBackendOptions& options) : options_(options), stepped_(true) {}
  ~SdlBackend() override { SDL_Quit(); }

  bool Start() {
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    const bool chosen = (asked && *asked) || kInBrowser;
    if (!chosen) {
      // Only real displays: SDL would otherwise settle for its offscreen or
      // dummy driver and show nothing.
      SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11,wayland,kmsdrm");
    }
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER | SDL_INIT_EVENTS) != 0) {
      ReportError("ディスプレイが見つかりません");
      ReportErrorDetail(SDL_GetError());
      return false;
    }
    // The game uses no mouse; its motion would only delay frames.
    SDL_EventState(SDL_MOUSEMOTION, SDL_IGNORE);
    return true;
  }

  GameWindow* CreateGameWindow(const char* title, int width, int height, bool fullscreen) override {
    // OpenGL 3.3 core; in the browser OpenGL ES 3.0, which is WebGL 2.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, kInBrowser ? 0 : 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK,
                        kInBrowser ? SDL_GL_CONTEXT_PROFILE_ES : SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    RequestWindowBuffers();
    Uint32 flags =
        SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE;
    if (fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    // The picture stays width x height; the window takes the player's size.
    (void)width;
    (void)height;
    SDL_Window* w = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                     options_.windowWidth, options_.windowHeight, flags);
    if (!w) {
      std::fprintf(stderr, "  SDL: %s\n", SDL_GetError());
      return nullptr;
    }
    SDL_SetWindowMinimumSize(w, 320, 180);
    SetIcon(w);
    if (fullscreen) SDL_ShowCursor(SDL_DISABLE);
    return new SdlWindow(w, &keys_);
  }

  GraphicsDevice* CreateDevice(GameWindow* window, bool /*fullscreen*/) override {
    auto* w = dynamic_cast<SdlWindow*>(window);
    if (!w) return nullptr;
    std::string error;
    GraphicsDevice* device =
        CreateGlDevice(w->Handle(), options_.msaaSamples, &error, nullptr,
                       PictureSize::kWindowOnHardware, FrameTarget::kWindowWhenItFits);
    if (!device) {
      std::fprintf(stderr, "  %s\n", error.c_str());
      return nullptr;
    }
    // Present waits for the display's refresh, as Direct3D's default interval
    // does (a browser shows each frame at its next refresh by itself).
    if (!kInBrowser) SDL_GL_SetSwapInterval(1);
    return device;
  }

  InputSource* CreateInputSource() override { return new SdlInput(&keys_); }

  SoundDevice* CreateSoundDevice() override {
    std::string error;
    SoundDevice* device = CreateOpenAlSoundDevice(&error);
    if (device) return device;
    // A machine without sound output still plays, silently.
    std::fprintf(stderr, "Orvelune: %s; the game runs without sound.\n", error.c_str());
    return CreateNullSoundDevice(GetClock());
  }

  void SetIcon(SDL_Window* w) {
    if (options_.iconPath.empty()) return;
    Image icon;
    std::string why;
    if (!LoadPng(options_.iconPath, &icon, &why)) {
      // A window without an icon still plays; the player learns why it has none.
      std::fprintf(stderr, "Orvelune: %s; the window has no icon.\n", why.c_str());
      return;
    }
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        icon.argb.data(), icon.width, icon.height, 32, icon.width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!surface) return;
    SDL_SetWindowIcon(w, surface);
    SDL_FreeSurface(surface);
  }

  Clock& GetClock() override {
    if (options_.fixedStepClock) return stepped_;
    if (kInBrowser) return browser_;
    return system_;
  }

 private:
  SdlBackendOptions options_;
  KeyState keys_;  // shared by the window (its events) and the input (its reads)
  SystemClock system_;
  BrowserClock browser_;
  SteppedClock stepped_;
};

}  // namespace

void ShowErrorMessage(const std::string& text) {
  if (::isatty(STDERR_FILENO)) return;
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if ((!x11 || !*x11) && (!wayland || !*wayland)) return;
  if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Orvelune", text.c_str(), nullptr) != 0) {
    // The report above already went to stderr; this says why no box showed it.
    std::fprintf(stderr, "Orvelune: no message box could open: %s\n", SDL_GetError());
  }
}

std::unique_ptr<Backend> CreateSdlBackend(const SdlBackendOptions& options) {
  auto backend = std::make_unique<SdlBackend>(options);
  if (!backend->Start()) return nullptr;
  return backend;
}
