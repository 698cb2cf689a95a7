// The Win32 window, keyboard, pads and timer in neutral types (see
// d3d9_api.h for why the backend keeps <windows.h> apart from its own types).
#pragma once

#include <cstdint>
#include <string>

namespace win32 {

struct Window;

struct WindowOptions {
  std::string title;  // UTF-8
  int clientWidth = 1280;
  int clientHeight = 720;
  bool fullscreen = false;
};
// Null with the reason when the window cannot be made. The window shows
// only on Show() (one never shown draws the runner's pictures).
Window* OpenWindow(const WindowOptions& options, std::string* error);
void CloseWindow(Window* window);
void* NativeHandle(Window* window);  // the HWND

enum class Event { kClose, kKeyDown };
// Handles the thread's waiting messages and gives the next one the game
// takes (a close request, a key press as its DIK code); false when none
// waits. Alt+Enter switches between the window and full screen here.
bool NextEvent(Window* window, Event* event, int* dik);
void SetTitle(Window* window, const std::string& utf8);
void Show(Window* window);
// Full screen, or a window whose client area is clientWidth x clientHeight
// (kept where it is).
void SetDisplay(Window* window, bool fullscreen, int clientWidth, int clientHeight);
// The keys held now, as DirectInput's 256 DIK bytes (0x80 when held).
void ReadKeys(Window* window, uint8_t keys[256]);
// The window's icon from A8R8G8B8 rows.
void SetIcon(Window* window, const uint32_t* argb, int width, int height);

struct PadReading {
  uint32_t packet = 0;
  uint16_t buttons = 0;
  uint8_t leftTrigger = 0, rightTrigger = 0;
  int16_t thumbLX = 0, thumbLY = 0, thumbRX = 0, thumbRY = 0;
};
// Reads an XInput pad; false when it is not connected or XInput is missing.
bool ReadPad(int index, PadReading* out);

// Asks for 1 ms timer ticks while the game runs, so sleeping until the next
// frame is accurate.
void UseFineTimer();

// A message box for a player who has no console to read.
void ShowErrorBox(const std::string& title, const std::string& text);

}  // namespace win32
