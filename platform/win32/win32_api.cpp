#include "platform/win32/win32_api.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstring>
#include <deque>
#include <vector>

#include "platform/common/key_state.h"
#include "platform/win32/wide_text.h"

namespace win32 {

struct Window {
  HWND hwnd = nullptr;
  bool fullscreen = false;
  RECT windowedRect{};  // where the window was before full screen
  // The keys held, from raw keyboard input (or from the key messages where
  // raw input cannot be had); key presses for the game's messages always
  // come from the key messages.
  KeyState keys;
  bool rawInput = false;
  struct Queued {
    Event event;
    int dik;
  };
  std::deque<Queued> queue;
  HICON icon = nullptr;
};

namespace {

constexpr wchar_t kClassName[] = L"OrveluneWindow";
constexpr DWORD kWindowedStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kFullStyle = WS_POPUP;

// DirectInput's key codes are the keyboard's scan codes, with 0x80 added for
// the extended keys (the arrows, the right-hand Ctrl and Alt, the keypad's
// Enter and slash, the editing keys).
// Key messages swap two of them: Num Lock comes as an extended key, Pause
// as a plain one.
int DikFromKeyMessage(WPARAM vk, LPARAM lParam) {
  if (vk == VK_NUMLOCK) return 0x45;  // DIK_NUMLOCK
  if (vk == VK_PAUSE) return 0xC5;    // DIK_PAUSE
  const int scan = static_cast<int>((lParam >> 16) & 0xFF);
  const bool extended = (lParam & (1 << 24)) != 0;
  return (scan | (extended ? 0x80 : 0)) & 0xFF;
}

// Raw keyboard input, the same codes: the make code, 0x80 for the E0 keys;
// Pause comes as an E1 sequence. The shifts that the keyboard sends around
// some E0 keys are not keys of their own.
void KeyFromRawInput(Window* w, LPARAM lParam) {
  RAWINPUT input;
  UINT size = sizeof input;
  if (GetRawInputData(reinterpret_cast<HRAWINPUT>(lParam), RID_INPUT, &input, &size,
                      sizeof(RAWINPUTHEADER)) == static_cast<UINT>(-1) ||
      input.header.dwType != RIM_TYPEKEYBOARD)
    return;
  const RAWKEYBOARD& k = input.data.keyboard;
  const bool e0 = (k.Flags & RI_KEY_E0) != 0, e1 = (k.Flags & RI_KEY_E1) != 0;
  if (e0 && (k.MakeCode == 0x2A || k.MakeCode == 0x36)) return;
  int dik = (k.MakeCode & 0x7F) | (e0 ? 0x80 : 0);
  if (e1) {
    if (k.MakeCode != 0x1D) return;  // the second half of Pause
    dik = 0xC5;
  }
  constexpr int kReturn = 0x1C, kLeftAlt = 0x38, kRightAlt = 0xB8;
  if (k.Flags & RI_KEY_BREAK)
    w->keys.KeyUp(dik);
  else if (dik == kReturn && (w->keys.IsHeld(kLeftAlt) || w->keys.IsHeld(kRightAlt)))
    w->keys.Shortcut(dik);  // Alt+Enter is the window's
  else
    w->keys.KeyDown(dik);
}

void SwitchFullScreen(Window* w) {
  const bool visible = IsWindowVisible(w->hwnd);
  const DWORD shown = visible ? WS_VISIBLE : 0;
  const UINT flags = SWP_FRAMECHANGED | (visible ? SWP_SHOWWINDOW : 0);
  if (!w->fullscreen) {
    GetWindowRect(w->hwnd, &w->windowedRect);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(w->hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& r = monitor.rcMonitor;
    SetWindowLongPtrW(w->hwnd, GWL_STYLE, kFullStyle | shown);
    SetWindowPos(w->hwnd, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
    w->fullscreen = true;
  } else {
    const RECT& r = w->windowedRect;
    SetWindowLongPtrW(w->hwnd, GWL_STYLE, kWindowedStyle | shown);
    SetWindowPos(w->hwnd, HWND_NOTOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
    w->fullscreen = false;
  }
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* w = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!w) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_CLOSE:
      w->queue.push_back({Event::kClose, 0});
      return 0;
    case WM_INPUT:
      KeyFromRawInput(w, lParam);
      break;  // DefWindowProc cleans up after the input
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      const int dik = DikFromKeyMessage(wParam, lParam);
      if (message == WM_SYSKEYDOWN && wParam == VK_RETURN && (lParam & (1 << 29))) {
        w->keys.Shortcut(dik);                           // its Return never reaches the game
        if (!(lParam & (1 << 30))) SwitchFullScreen(w);  // Alt+Enter, not its repeats
        return 0;
      }
      if (message == WM_SYSKEYDOWN && wParam == VK_F4 && (lParam & (1 << 29)))
        break;  // Alt+F4 closes, as everywhere
      if (!w->rawInput) w->keys.KeyDown(dik);
      w->queue.push_back({Event::kKeyDown, dik});
      return 0;  // F10 and Alt do not open a window menu the game has not got
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (!w->rawInput) w->keys.KeyUp(DikFromKeyMessage(wParam, lParam));
      return 0;
    case WM_KILLFOCUS:
      // Keys released while another window has the focus never report it.
      w->keys.ReleaseAll();
      break;
    case WM_SETCURSOR:
      if (w->fullscreen && LOWORD(lParam) == HTCLIENT) {
        SetCursor(nullptr);  // no pointer over the game in full screen
        return TRUE;
      }
      break;
    case WM_SIZE:
      InvalidateRect(hwnd, nullptr, TRUE);  // the bars beside the picture are painted black
      break;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      info->ptMinTrackSize = {320, 180};
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool RegisterClassOnce() {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = kClassName;
  registered = RegisterClassExW(&wc) != 0;
  return registered;
}

}  // namespace

void SetDisplay(Window* w, bool fullscreen, int clientWidth, int clientHeight) {
  if (fullscreen) {
    if (!w->fullscreen) SwitchFullScreen(w);
    return;
  }
  RECT size{0, 0, clientWidth, clientHeight};
  AdjustWindowRect(&size, kWindowedStyle, FALSE);
  const LONG width = size.right - size.left, height = size.bottom - size.top;
  if (w->fullscreen) {
    // Back to the place the window had, at the new size.
    w->windowedRect.right = w->windowedRect.left + width;
    w->windowedRect.bottom = w->windowedRect.top + height;
    SwitchFullScreen(w);
    return;
  }
  if (IsZoomed(w->hwnd)) ShowWindow(w->hwnd, SW_RESTORE);  // a maximised one keeps its size
  SetWindowPos(w->hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Window* OpenWindow(const WindowOptions& options, std::string* error) {
  // Pixels are pixels: Windows must not scale the picture up blurred.
  SetProcessDPIAware();
  if (!RegisterClassOnce()) {
    *error = "RegisterClassEx failed";
    return nullptr;
  }
  RECT r{0, 0, options.clientWidth, options.clientHeight};
  AdjustWindowRect(&r, kWindowedStyle, FALSE);
  auto* w = new Window;
  w->hwnd = CreateWindowExW(0, kClassName, WideFromUtf8(options.title).c_str(), kWindowedStyle,
                            CW_USEDEFAULT, CW_USEDEFAULT, r.right - r.left, r.bottom - r.top,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!w->hwnd) {
    *error = "CreateWindowEx failed (" + std::to_string(GetLastError()) + ")";
    delete w;
    return nullptr;
  }
  SetWindowLongPtrW(w->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));
  RAWINPUTDEVICE keyboard{};
  keyboard.usUsagePage = 0x01;  // generic desktop
  keyboard.usUsage = 0x06;      // keyboard
  keyboard.hwndTarget = w->hwnd;
  w->rawInput = RegisterRawInputDevices(&keyboard, 1, sizeof keyboard) != FALSE;
  if (options.fullscreen) SwitchFullScreen(w);
  return w;
}

void CloseWindow(Window* w) {
  if (!w) return;
  SetWindowLongPtrW(w->hwnd, GWLP_USERDATA, 0);
  DestroyWindow(w->hwnd);
  if (w->icon) DestroyIcon(w->icon);
  delete w;
}

void* NativeHandle(Window* w) {
  return w->hwnd;
}

bool NextEvent(Window* w, Event* event, int* dik) {
  MSG msg;
  while (w->queue.empty() && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) w->queue.push_back({Event::kClose, 0});
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (w->queue.empty()) return false;
  *event = w->queue.front().event;
  *dik = w->queue.front().dik;
  w->queue.pop_front();
  return true;
}

void SetTitle(Window* w, const std::string& utf8) {
  SetWindowTextW(w->hwnd, WideFromUtf8(utf8).c_str());
}

void Show(Window* w) {
  ShowWindow(w->hwnd, SW_SHOW);
  SetForegroundWindow(w->hwnd);
}

void ReadKeys(Window* w, uint8_t keys[256]) {
  w->keys.Read(keys);
}

void SetIcon(Window* w, const uint32_t* argb, int width, int height) {
  // A 32-bit colour bitmap with its alpha, bottom-up, and an empty mask.
  BITMAPV5HEADER header{};
  header.bV5Size = sizeof header;
  header.bV5Width = width;
  header.bV5Height = -height;  // rows from the top
  header.bV5Planes = 1;
  header.bV5BitCount = 32;
  header.bV5Compression = BI_BITFIELDS;
  header.bV5RedMask = 0x00FF0000;
  header.bV5GreenMask = 0x0000FF00;
  header.bV5BlueMask = 0x000000FF;
  header.bV5AlphaMask = 0xFF000000;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP color = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                   &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!color) return;
  std::memcpy(bits, argb, static_cast<size_t>(width) * height * 4);
  HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = color;
  info.hbmMask = mask;
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(color);
  DeleteObject(mask);
  if (!icon) return;
  SendMessageW(w->hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageW(w->hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  if (w->icon) DestroyIcon(w->icon);
  w->icon = icon;
}

namespace {

// XInput's own state layout, read through the function found at run time
// (xinput1_4 on Windows 8 and later, xinput1_3 or 9_1_0 before).
struct XinputGamepad {
  WORD buttons;
  BYTE leftTrigger, rightTrigger;
  SHORT thumbLX, thumbLY, thumbRX, thumbRY;
};
struct XinputState {
  DWORD packet;
  XinputGamepad gamepad;
};
using GetStateFunction = DWORD(WINAPI*)(DWORD, XinputState*);

GetStateFunction FindXinput() {
  static GetStateFunction function = [] {
    for (const wchar_t* name : {L"xinput1_4.dll", L"xinput1_3.dll", L"xinput9_1_0.dll"}) {
      if (HMODULE module = LoadLibraryW(name)) {
        if (auto f = reinterpret_cast<GetStateFunction>(
                reinterpret_cast<void*>(GetProcAddress(module, "XInputGetState"))))
          return f;
      }
    }
    return static_cast<GetStateFunction>(nullptr);
  }();
  return function;
}

}  // namespace

bool ReadPad(int index, PadReading* out) {
  GetStateFunction getState = FindXinput();
  if (!getState || index < 0 || index > 3) return false;
  XinputState state{};
  if (getState(static_cast<DWORD>(index), &state) != ERROR_SUCCESS) return false;
  out->packet = state.packet;
  out->buttons = state.gamepad.buttons;
  out->leftTrigger = state.gamepad.leftTrigger;
  out->rightTrigger = state.gamepad.rightTrigger;
  out->thumbLX = state.gamepad.thumbLX;
  out->thumbLY = state.gamepad.thumbLY;
  out->thumbRX = state.gamepad.thumbRX;
  out->thumbRY = state.gamepad.thumbRY;
  return true;
}

void UseFineTimer() {
  static bool done = false;
  if (!done) timeBeginPeriod(1);
  done = true;
}

void ShowErrorBox(const std::string& title, const std::string& text) {
  MessageBoxW(nullptr, WideFromUtf8(text).c_str(), WideFromUtf8(title).c_str(),
              MB_OK | MB_ICONERROR);
}

}  // namespace win32
