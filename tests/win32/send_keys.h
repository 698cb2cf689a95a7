// Synthesised key presses for the Windows tests (kept apart from the game's
// headers, whose Direct3D-shaped names clash with <windows.h>).
#pragma once

// Sends a key by its scan code (extended: the E0 keys) to the window that
// has the focus, as the keyboard would.
void SendKey(int scanCode, bool extended, bool down);
// Handles the thread's waiting window messages.
void PumpMessages();
// Whether the top-level window of that title covers its whole monitor.
bool WindowFillsItsMonitor(const char* title);
// The size of the inside of the top-level window with this title; false when
// there is none.
bool ClientSizeOf(const char* title, int* width, int* height);
