// The services a backend provides to the game: window and messages, the
// rendering device, keyboard and pad, sound output and the clock. The game
// reaches them only through these interfaces; main installs one backend
// (platform/sdl_gl for play, platform/headless for tests and the runner).
#pragma once

#include <cstdint>
#include <memory>

#include "platform/graphics_device.h"
#include "platform/input_types.h"
#include "platform/wave_format.h"

// Window messages, shaped like the few Win32 messages the game handles.
enum class WindowMessageType {
  Quit,     // WM_QUIT: leave the frame loop
  Close,    // WM_CLOSE: the window was asked to close
  KeyDown,  // WM_KEYDOWN, with the DIK code of the key
  Other,    // anything else the window reported
};

struct WindowMessage {
  WindowMessageType type = WindowMessageType::Other;
  int key = 0;
};

// How the window shows the picture: full screen, or a window whose inside
// is width x height.
struct WindowDisplay {
  bool fullscreen = false;
  int width = 1280;
  int height = 720;
  bool operator==(const WindowDisplay&) const = default;
};

class GameWindow {
 public:
  virtual ~GameWindow() = default;
  // Takes one message if there is one (posted messages first).
  virtual bool PeekMessage(WindowMessage* message) = 0;
  virtual void PostMessage(const WindowMessage& message) = 0;
  virtual void SetTitle(const char* text) = 0;
  virtual void Show() = 0;
  // Goes full screen or back to a window of the size given, at once (the
  // picture keeps its size and is scaled into it).
  virtual void SetDisplay(const WindowDisplay& display) = 0;
  // True where the window's size is its host's to choose, not the game's (a
  // web page sizes its canvas); SetDisplay then changes only full screen.
  virtual bool SizedByItsHost() const { return false; }
};

// Keyboard and pad hardware.
class InputSource {
 public:
  virtual ~InputSource() = default;
  // Fills the 256-byte DIK array; false when the keyboard could not be read.
  virtual bool ReadKeyboard(uint8_t keys[256]) = 0;
  // Reads a pad; false when that pad is not connected (the state is untouched).
  virtual bool ReadPad(int index, XINPUT_STATE* state) = 0;
};

constexpr uint32_t DSBSTATUS_PLAYING = 0x1;
constexpr uint32_t DSBSTATUS_LOOPING = 0x4;

// One loaded sound, shaped like a DirectSound secondary buffer.
class SoundVoice {
 public:
  virtual ~SoundVoice() = default;
  // Starts playing from the current position; a voice that already plays goes
  // on unchanged (only the looping flag is updated).
  virtual void Play(bool looping) = 0;
  virtual void Stop() = 0;
  virtual void SetCurrentPosition(uint32_t byteOffset) = 0;
  virtual uint32_t GetStatus() = 0;
  // Loudness as a gain from 0 (silent) to 1 (as recorded).
  virtual void SetVolume(float /*gain*/) {}
};

class SoundDevice {
 public:
  virtual ~SoundDevice() = default;
  // Null when the samples cannot be made into a playable sound.
  virtual SoundVoice* CreateVoice(const WaveFormat& format, const uint8_t* data,
                                  uint32_t bytes) = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual int64_t QueryPerformanceCounter() = 0;
  virtual int64_t QueryPerformanceFrequency() = 0;
  // Returns once the counter has reached the given value (at once if it has).
  virtual void WaitUntil(int64_t counter) = 0;
};

class Backend {
 public:
  virtual ~Backend() = default;
  // Each returns null when the service cannot be created.
  virtual GameWindow* CreateGameWindow(const char* title, int width, int height,
                                       bool fullscreen) = 0;
  virtual GraphicsDevice* CreateDevice(GameWindow* window, bool fullscreen) = 0;
  virtual InputSource* CreateInputSource() = 0;
  virtual SoundDevice* CreateSoundDevice() = 0;
  virtual Clock& GetClock() = 0;
  // Called once per frame, after the frame was presented.
  virtual void EndFrame() {}
};

// The backend main installed; the game's platform services call into it.
void SetBackend(Backend* backend);
Backend* GetBackend();
