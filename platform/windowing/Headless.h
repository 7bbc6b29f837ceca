// The headless backend as tests drive it: injected input, a message loop that runs until nothing
// waits, a clock moved by hand, and the pixels of any window as a surface or a PNG.
//
//   orv::headless::Reset();                       // a fresh desktop, manual clock at 0
//   HWND w = CreateWindowEx(...);
//   orv::headless::Click(40, 30);                 // screen coordinates
//   orv::headless::ProcessMessages();             // handles everything that waits
//   orv::headless::AdvanceTime(100);              // timers that fall due fire on the way
//   orv::headless::SaveWindowPng(w, "/tmp/w.png");
//
// A message loop that would wait with nothing to come calls the idle handler (which may inject
// input or post a quit message); without one it raises EInvalidOperation instead of hanging.
#pragma once

#include <functional>
#include <string>

#include "platform/windowing/Backend.h"

namespace orv::headless {

// Destroys every window, empties the queues, removes hooks, timers, capture and focus, brings
// back the classic settings, the headless backend and a manual clock at `clock`.
void Reset(DWORD clock = 0);

// ---- Input (screen coordinates) ---------------------------------------------------------------

void MouseMove(int x, int y);
void MouseDown(int button = 0);  // 0 left, 1 right, 2 middle; at the current position
void MouseUp(int button = 0);
void Click(int x, int y, int button = 0);
void DoubleClick(int x, int y, int button = 0);
void Wheel(int delta);  // at the current position; WHEEL_DELTA is one notch
void KeyDown(int virtualKey, bool extended = false);
void KeyUp(int virtualKey, bool extended = false);
// Down and up; with `shift`, `ctrl` or `alt` held around it.
void PressKey(int virtualKey, bool shift = false, bool ctrl = false, bool alt = false);
// Each character as a key press that carries it (Windows-1251).
void TypeText(const AnsiString& text);
// Text the desktop's input method typed (UTF-8, as the desktop hands it over): each character,
// converted to Windows-1251, arrives as a character of its own without a key.
void TypeUtf8(const std::string& utf8);
// The program gains or loses the desktop's activation.
void SetAppActive(bool active);

// ---- Running ----------------------------------------------------------------------------------

// Handles posted messages, input, paint and due timers until nothing waits.
void ProcessMessages();
// Moves the manual clock forward in steps to each due timer, handling messages on the way.
void AdvanceTime(DWORD milliseconds);
// Called when a message loop would wait; answer false to give up (EInvalidOperation follows).
void SetIdleHandler(std::function<bool()> handler);

// ---- Pixels -----------------------------------------------------------------------------------

// The window's rectangle as it stands in its top-level window's surface (empty for a hidden
// top-level window that never painted).
TSurface CaptureWindow(HWND window);
// The client area only.
TSurface CaptureClient(HWND window);
bool SaveWindowPng(HWND window, const std::string& path);
TSurface CaptureScreen();
bool SaveScreenPng(const std::string& path);

// ---- What the desktop received ----------------------------------------------------------------

// The text the clipboard handed to the desktop last (UTF-8), as the SDL2 backend would.
const std::string& DesktopClipboard();
void SetDesktopClipboard(const std::string& utf8);

}  // namespace orv::headless
