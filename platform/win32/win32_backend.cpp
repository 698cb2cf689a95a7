#include "platform/win32/win32_backend.h"

#include <cstdio>
#include <cstring>

#include "platform/common/clocks.h"
#include "platform/common/null_sound.h"
#include "platform/png_image.h"
#include "platform/win32/d3d9_device.h"
#include "platform/win32/dsound_api.h"
#include "platform/win32/win32_api.h"

namespace {

// The backend's current window: the input reads its keys and the sound
// follows its focus. A window closing takes itself out, so nothing reads a
// closed one.
using WindowSlot = win32::Window*;

class Win32Window : public GameWindow {
 public:
  Win32Window(win32::Window* window, WindowSlot* current) : window_(window), current_(current) {
    *current_ = window;
  }
  ~Win32Window() override {
    if (*current_ == window_) *current_ = nullptr;
    win32::CloseWindow(window_);
  }
  win32::Window* Handle() const { return window_; }

  bool PeekMessage(WindowMessage* message) override {
    if (!posted_.empty()) {
      *message = posted_.front();
      posted_.erase(posted_.begin());
      return true;
    }
    win32::Event event;
    int dik = 0;
    if (!win32::NextEvent(window_, &event, &dik)) return false;
    message->type =
        event == win32::Event::kClose ? WindowMessageType::Close : WindowMessageType::KeyDown;
    message->key = dik;
    return true;
  }

  void PostMessage(const WindowMessage& message) override { posted_.push_back(message); }

  void SetTitle(const char* text) override {
    if (title_ != text) {
      title_ = text;
      win32::SetTitle(window_, title_);
    }
  }

  void Show() override { win32::Show(window_); }

  void SetDisplay(const WindowDisplay& display) override {
    win32::SetDisplay(window_, display.fullscreen, display.width, display.height);
  }

 private:
  win32::Window* window_;
  WindowSlot* current_;
  std::vector<WindowMessage> posted_;
  std::string title_;
};

class Win32Input : public InputSource {
 public:
  explicit Win32Input(const WindowSlot* window) : window_(window) {}

  // Without a window no key is held.
  bool ReadKeyboard(uint8_t keys[256]) override {
    if (!*window_) {
      std::memset(keys, 0, 256);
      return true;
    }
    win32::ReadKeys(*window_, keys);
    return true;
  }

  bool ReadPad(int index, XINPUT_STATE* out) override {
    win32::PadReading r;
    if (!win32::ReadPad(index, &r)) return false;
    out->dwPacketNumber = r.packet;
    out->Gamepad.wButtons = r.buttons;
    out->Gamepad.bLeftTrigger = r.leftTrigger;
    out->Gamepad.bRightTrigger = r.rightTrigger;
    out->Gamepad.sThumbLX = r.thumbLX;
    out->Gamepad.sThumbLY = r.thumbLY;
    out->Gamepad.sThumbRX = r.thumbRX;
    out->Gamepad.sThumbRY = r.thumbRY;
    return true;
  }

 private:
  const WindowSlot* window_;
};

class DirectSoundVoice : public SoundVoice {
 public:
  explicit DirectSoundVoice(dsound::Buffer* buffer) : buffer_(buffer) {}
  ~DirectSoundVoice() override { dsound::DestroyBuffer(buffer_); }
  void Play(bool looping) override {
    looping_ = looping;
    dsound::Play(buffer_, looping);
  }
  void Stop() override { dsound::Stop(buffer_); }
  void SetCurrentPosition(uint32_t byteOffset) override {
    dsound::SetPosition(buffer_, byteOffset);
  }
  // Whether it loops is what the last Play said (not every DirectSound
  // reports the looping flag back).
  uint32_t GetStatus() override {
    bool looping = false;
    if (!dsound::IsPlaying(buffer_, &looping)) return 0;
    return DSBSTATUS_PLAYING | (looping_ ? DSBSTATUS_LOOPING : 0);
  }
  void SetVolume(float gain) override { dsound::SetGain(buffer_, gain); }

 private:
  dsound::Buffer* buffer_;
  bool looping_ = false;
};

class DirectSoundDevice : public SoundDevice {
 public:
  explicit DirectSoundDevice(dsound::Output* output) : output_(output) {}
  ~DirectSoundDevice() override { dsound::Close(output_); }
  SoundVoice* CreateVoice(const WaveFormat& format, const uint8_t* data, uint32_t bytes) override {
    dsound::Buffer* buffer = dsound::CreateBuffer(output_, format, data, bytes);
    return buffer ? new DirectSoundVoice(buffer) : nullptr;
  }

 private:
  dsound::Output* output_;
};

class Win32Backend : public Backend {
 public:
  explicit Win32Backend(const Win32BackendOptions& options) : options_(options), stepped_(true) {
    win32::UseFineTimer();
  }

  GameWindow* CreateGameWindow(const char* title, int /*width*/, int /*height*/,
                               bool fullscreen) override {
    // The picture stays 1280x720; the window takes the player's size.
    win32::WindowOptions w;
    w.title = title;
    w.clientWidth = options_.windowWidth;
    w.clientHeight = options_.windowHeight;
    w.fullscreen = fullscreen;
    std::string error;
    win32::Window* window = win32::OpenWindow(w, &error);
    if (!window) {
      std::fprintf(stderr, "  %s\n", error.c_str());
      return nullptr;
    }
    SetIcon(window);
    return new Win32Window(window, &window_);
  }

  GraphicsDevice* CreateDevice(GameWindow* window, bool /*fullscreen*/) override {
    auto* w = dynamic_cast<Win32Window*>(window);
    if (!w) return nullptr;
    D3d9DeviceOptions options;
    options.window = win32::NativeHandle(w->Handle());
    std::string error;
    GraphicsDevice* device = CreateD3d9Device(options, &error);
    if (!device) std::fprintf(stderr, "  %s\n", error.c_str());
    return device;
  }

  InputSource* CreateInputSource() override { return new Win32Input(&window_); }

  SoundDevice* CreateSoundDevice() override {
    std::string error;
    dsound::Output* output = dsound::Open(window_ ? win32::NativeHandle(window_) : nullptr, &error);
    if (output) return new DirectSoundDevice(output);
    // A machine without sound output still plays, silently.
    std::fprintf(stderr, "Orvelune: %s; the game runs without sound.\n", error.c_str());
    return CreateNullSoundDevice(GetClock());
  }

  Clock& GetClock() override {
    if (options_.fixedStepClock) return stepped_;
    return system_;
  }

 private:
  void SetIcon(win32::Window* window) {
    if (options_.iconPath.empty()) return;
    Image icon;
    std::string why;
    if (LoadPng(options_.iconPath, &icon, &why))
      win32::SetIcon(window, icon.argb.data(), icon.width, icon.height);
    else  // a window without an icon still plays; the player learns why it has none
      std::fprintf(stderr, "Orvelune: %s; the window has no icon.\n", why.c_str());
  }

  Win32BackendOptions options_;
  SystemClock system_;
  SteppedClock stepped_;
  WindowSlot window_ = nullptr;  // the window opened last, while it is open
};

}  // namespace

std::unique_ptr<Backend> CreateWin32Backend(const Win32BackendOptions& options) {
  return std::make_unique<Win32Backend>(options);
}

GraphicsDevice* CreateHiddenD3d9Device(std::string* error) {
  win32::WindowOptions w;
  w.title = "Orvelune pictures";
  win32::Window* window = win32::OpenWindow(w, error);
  if (!window) return nullptr;
  D3d9DeviceOptions options;
  options.window = win32::NativeHandle(window);
  options.readable = true;
  options.vsync = false;
  options.atExit = [window] { win32::CloseWindow(window); };
  GraphicsDevice* device = CreateD3d9Device(options, error);
  if (!device) win32::CloseWindow(window);
  return device;
}

void ShowErrorMessage(const std::string& text) {
  win32::ShowErrorBox("Orvelune", text);
}
