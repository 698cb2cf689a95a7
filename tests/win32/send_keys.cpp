#include "tests/win32/send_keys.h"

#include <windows.h>

void SendKey(int scanCode, bool extended, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  // The virtual key as well as the scan code: not every Windows (Wine
  // among them) works the key out of a scan code alone.
  input.ki.wScan = static_cast<WORD>(scanCode);
  input.ki.wVk = static_cast<WORD>(
      MapVirtualKeyW(static_cast<UINT>(scanCode) | (extended ? 0xE000 : 0), MAPVK_VSC_TO_VK_EX));
  input.ki.dwFlags = (extended ? KEYEVENTF_EXTENDEDKEY : 0) | (down ? 0 : KEYEVENTF_KEYUP);
  SendInput(1, &input, sizeof input);
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool ClientSizeOf(const char* title, int* width, int* height) {
  wchar_t wide[256];
  MultiByteToWideChar(CP_UTF8, 0, title, -1, wide, 256);
  HWND window = FindWindowW(nullptr, wide);
  RECT r;
  if (!window || !GetClientRect(window, &r)) return false;
  *width = r.right - r.left;
  *height = r.bottom - r.top;
  return true;
}

bool WindowFillsItsMonitor(const char* title) {
  wchar_t wide[256];
  MultiByteToWideChar(CP_UTF8, 0, title, -1, wide, 256);
  HWND window = FindWindowW(nullptr, wide);
  if (!window) return false;
  RECT r;
  GetWindowRect(window, &r);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
  return EqualRect(&r, &monitor.rcMonitor) != FALSE;
}
