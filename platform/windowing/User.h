// The window interface of the platform: window classes and windows, the message queue, hooks,
// timers, input state, the paint cycle, system settings, clipboard, message boxes and sounds.
//
// One thread (the UI thread) owns every window. Windows are arranged as the platform arranges
// them: the desktop window at the root, top-level windows (overlapped or popup, optionally
// owned) as its children in z-order with a topmost band first, child windows inside their
// parent's client area. Text is Windows-1251.
//
// Pixels: every top-level window has its own 32-bit surface (its window rectangle); its child
// windows draw into it through window DCs made with the drawing layer's orv::CreateSurfaceDC,
// clipped to their visible region (siblings above them always, children with WS_CLIPCHILDREN).
// A backend (see Backend.h) puts the surfaces on a screen: the headless backend composes them
// into PNGs for tests, the SDL2 backend (platform/backends) shows them as desktop windows.
//
// Input arrives as raw events from the backend (or from tests, see Headless.h) and becomes
// messages when the queue hands it out: mouse messages go to the capture window or the window
// under the pointer (WM_NCHITTEST, WM_MOUSEACTIVATE, WM_SETCURSOR on the way, double clicks for
// CS_DBLCLKS classes), key messages to the focus window with the platform's key-data bits.
// The mouse and keyboard hooks see each input message before it is handed out and may discard
// it; the get-message hook sees (and may rewrite) every message GetMessage or PeekMessage hands
// out; the call-window hook sees every sent message before the window procedure does, and the
// procedure is read after the hook ran, so a hook that subclasses the window swallows the message.
#pragma once

#include "platform/drawing/Gdi.h"
#include "platform/windowing/Messages.h"

// ---- Window classes ---------------------------------------------------------------------------

ATOM RegisterClass(const WNDCLASS* windowClass);
BOOL UnregisterClass(const char* className, HINSTANCE instance);
BOOL GetClassInfo(HINSTANCE instance, const char* className, WNDCLASS* windowClass);
int GetClassName(HWND window, char* className, int maxCount);
ULONG_PTR GetClassLongPtr(HWND window, int index);
ULONG_PTR SetClassLongPtr(HWND window, int index, LONG_PTR value);
inline DWORD GetClassLong(HWND window, int index) { return DWORD(GetClassLongPtr(window, index)); }
inline DWORD SetClassLong(HWND window, int index, LONG value) {
  return DWORD(SetClassLongPtr(window, index, value));
}

// ---- Windows ----------------------------------------------------------------------------------

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menu,
                    HINSTANCE instance, void* param);
inline HWND CreateWindow(const char* className, const char* windowName, DWORD style, int x, int y,
                         int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                         void* param) {
  return CreateWindowEx(0, className, windowName, style, x, y, width, height, parent, menu,
                        instance, param);
}
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
BOOL IsWindowVisible(HWND window);  // the window and all its ancestors have WS_VISIBLE
BOOL IsWindowEnabled(HWND window);
BOOL EnableWindow(HWND window, BOOL enable);  // answers whether it was disabled before
BOOL IsChild(HWND parent, HWND window);
BOOL IsIconic(HWND window);
BOOL IsZoomed(HWND window);
HWND GetDesktopWindow();

HWND GetParent(HWND window);  // the parent of a child window, the owner of a popup
HWND SetParent(HWND window, HWND newParent);
HWND GetAncestor(HWND window, UINT flags);
HWND GetWindow(HWND window, UINT command);
HWND GetTopWindow(HWND window);
inline HWND GetNextWindow(HWND window, UINT command) { return GetWindow(window, command); }
BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param);
BOOL EnumWindows(WNDENUMPROC proc, LPARAM param);
BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM param);
HWND FindWindow(const char* className, const char* windowName);
DWORD GetWindowThreadProcessId(HWND window, DWORD* processId);
DWORD GetCurrentThreadId();
DWORD GetCurrentProcessId();

LONG_PTR GetWindowLongPtr(HWND window, int index);
LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value);
inline LONG GetWindowLong(HWND window, int index) { return LONG(GetWindowLongPtr(window, index)); }
inline LONG SetWindowLong(HWND window, int index, LONG value) {
  return LONG(SetWindowLongPtr(window, index, value));
}

BOOL SetWindowText(HWND window, const char* text);
int GetWindowText(HWND window, char* text, int maxCount);
int GetWindowTextLength(HWND window);

BOOL SetProp(HWND window, const char* name, HANDLE data);
HANDLE GetProp(HWND window, const char* name);
HANDLE RemoveProp(HWND window, const char* name);

// ---- Position, size, z-order and visibility ---------------------------------------------------

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
HDWP BeginDeferWindowPos(int count);
HDWP DeferWindowPos(HDWP info, HWND window, HWND insertAfter, int x, int y, int width,
                    int height, UINT flags);
BOOL EndDeferWindowPos(HDWP info);
BOOL ShowWindow(HWND window, int command);
BOOL ShowOwnedPopups(HWND owner, BOOL show);
BOOL BringWindowToTop(HWND window);
BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement);
BOOL AnimateWindow(HWND window, DWORD time, DWORD flags);

BOOL GetWindowRect(HWND window, RECT* rect);  // screen coordinates
BOOL GetClientRect(HWND window, RECT* rect);  // (0, 0, width, height) of the client area
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle);
inline BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu) {
  return AdjustWindowRectEx(rect, style, menu, 0);
}

BOOL ClientToScreen(HWND window, POINT* point);
BOOL ScreenToClient(HWND window, POINT* point);
// Client coordinates of `from` to client coordinates of `to` (nullptr: the screen); answers the
// offset (x in the low word, y in the high word).
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
inline int MapWindowPoints(HWND from, HWND to, RECT* rect, UINT count) {
  return MapWindowPoints(from, to, reinterpret_cast<POINT*>(rect), count * 2);
}

HWND WindowFromPoint(POINT point);
HWND ChildWindowFromPoint(HWND parent, POINT point);  // `point` in the parent's client area
HWND ChildWindowFromPointEx(HWND parent, POINT point, UINT flags);
HWND RealChildWindowFromPoint(HWND parent, POINT point);

// The system owns `region` from now on (window coordinates); nullptr removes the region.
int SetWindowRgn(HWND window, HRGN region, BOOL redraw);
// Copies the window region into `region`; ERROR when the window has none.
int GetWindowRgn(HWND window, HRGN region);

// Layered windows: constant opacity and colour key, or per-pixel alpha from a DC.
BOOL SetLayeredWindowAttributes(HWND window, COLORREF key, BYTE alpha, DWORD flags);
BOOL GetLayeredWindowAttributes(HWND window, COLORREF* key, BYTE* alpha, DWORD* flags);
BOOL UpdateLayeredWindow(HWND window, HDC screenDC, const POINT* position, const SIZE* size,
                         HDC source, const POINT* sourcePoint, COLORREF key,
                         const BLENDFUNCTION* blend, DWORD flags);

// ---- Messages ---------------------------------------------------------------------------------

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// One thread: a notify message is sent at once.
BOOL SendNotifyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
BOOL PeekMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
// 0 for WM_QUIT, -1 for an invalid window filter, otherwise nonzero; waits for a message.
BOOL GetMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax);
BOOL WaitMessage();
LRESULT DispatchMessage(const MSG* msg);
// Posts WM_CHAR/WM_SYSCHAR for a key-down that produces a character.
BOOL TranslateMessage(const MSG* msg);
DWORD GetMessagePos();
LONG GetMessageTime();
DWORD GetQueueStatus(UINT flags);
BOOL GetInputState();
BOOL InSendMessage();
UINT RegisterWindowMessage(const char* name);

LRESULT CallWindowProc(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// ---- Hooks (thread hooks of the UI thread) ----------------------------------------------------

HHOOK SetWindowsHookEx(int kind, HOOKPROC proc, HINSTANCE instance, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

// ---- Timers -----------------------------------------------------------------------------------

// A window timer (window given: `id` names it) or a thread timer (no window: the answer names
// it). WM_TIMER is generated when nothing else waits; a timer that is due several times at once
// fires once. A timer with a procedure has it called by DispatchMessage.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND window, UINT_PTR id);
// Milliseconds on the window system's clock (see orv::SetManualClock).
DWORD GetTickCount();
inline DWORD GetCurrentTime() { return GetTickCount(); }

// ---- Focus, activation, capture ---------------------------------------------------------------

HWND SetFocus(HWND window);
HWND GetFocus();
HWND SetActiveWindow(HWND window);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND window);
HWND GetForegroundWindow();
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();

// ---- Keyboard ---------------------------------------------------------------------------------

// The state as of the last message handed out: 0x8000 down (negative SHORT), 1 toggled.
SHORT GetKeyState(int virtualKey);
// The physical state now: 0x8000 down.
SHORT GetAsyncKeyState(int virtualKey);
BOOL GetKeyboardState(BYTE* state);  // 256 bytes
BOOL SetKeyboardState(const BYTE* state);
UINT MapVirtualKey(UINT code, UINT mapType);
// The character of a key for a keyboard state (US layout for keys that carry no character of
// their own); answers 1 with one character, 0 for none.
int ToAscii(UINT virtualKey, UINT scanCode, const BYTE* keyState, WORD* chars, UINT flags);
SHORT VkKeyScan(char ch);

// ---- Mouse and cursor -------------------------------------------------------------------------

BOOL GetCursorPos(POINT* point);
BOOL SetCursorPos(int x, int y);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
int ShowCursor(BOOL show);
// System cursors for a null instance and IDC_ names; cursors of the program for names it
// registered with orv::RegisterCursorResource.
HCURSOR LoadCursor(HINSTANCE instance, const char* name);
// A cursor from AND and XOR masks (1 bit per pixel, rows padded to 16 bits).
HCURSOR CreateCursor(HINSTANCE instance, int hotX, int hotY, int width, int height,
                     const void* andMask, const void* xorMask);
BOOL DestroyCursor(HCURSOR cursor);
BOOL TrackMouseEvent(TRACKMOUSEEVENT* track);
UINT GetDoubleClickTime();
BOOL SetDoubleClickTime(UINT milliseconds);
BOOL SwapMouseButton(BOOL swap);

// ---- Caret (one per thread; hidden while its window paints) -----------------------------------

BOOL CreateCaret(HWND window, HBITMAP bitmap, int width, int height);
BOOL DestroyCaret();
BOOL ShowCaret(HWND window);  // nullptr: the caret's own window
BOOL HideCaret(HWND window);
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(POINT* point);
UINT GetCaretBlinkTime();
BOOL SetCaretBlinkTime(UINT milliseconds);

// ---- Painting ---------------------------------------------------------------------------------

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);  // nullptr: the client area
BOOL InvalidateRgn(HWND window, HRGN region, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);
BOOL ValidateRgn(HWND window, HRGN region);
BOOL RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags);
BOOL UpdateWindow(HWND window);
BOOL GetUpdateRect(HWND window, RECT* rect, BOOL erase);
int GetUpdateRgn(HWND window, HRGN region, BOOL erase);
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
HDC GetDC(HWND window);  // nullptr: the screen
HDC GetDCEx(HWND window, HRGN clip, DWORD flags);
HDC GetWindowDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
HWND WindowFromDC(HDC dc);
BOOL ScrollWindow(HWND window, int dx, int dy, const RECT* scrollRect, const RECT* clipRect);
int ScrollWindowEx(HWND window, int dx, int dy, const RECT* scrollRect, const RECT* clipRect,
                   HRGN update, RECT* updateRect, UINT flags);
BOOL LockWindowUpdate(HWND window);
BOOL PrintWindow(HWND window, HDC dc, UINT flags);

// ---- Scroll bars of a window (WS_HSCROLL, WS_VSCROLL) -----------------------------------------

int SetScrollInfo(HWND window, int bar, const SCROLLINFO* info, BOOL redraw);
BOOL GetScrollInfo(HWND window, int bar, SCROLLINFO* info);
int SetScrollPos(HWND window, int bar, int position, BOOL redraw);
int GetScrollPos(HWND window, int bar);
BOOL SetScrollRange(HWND window, int bar, int minimum, int maximum, BOOL redraw);
BOOL GetScrollRange(HWND window, int bar, int* minimum, int* maximum);
BOOL ShowScrollBar(HWND window, int bar, BOOL show);
BOOL EnableScrollBar(HWND window, UINT bar, UINT arrows);
BOOL GetScrollBarInfo(HWND window, LONG objectId, SCROLLBARINFO* info);

// ---- System settings --------------------------------------------------------------------------

int GetSystemMetrics(int index);
BOOL SystemParametersInfo(UINT action, UINT uiParam, void* pvParam, UINT winIni);
// Changes system colours and tells every top-level window (WM_SYSCOLORCHANGE).
BOOL SetSysColors(int count, const INT* elements, const COLORREF* colors);
HMONITOR MonitorFromPoint(POINT point, DWORD flags);
HMONITOR MonitorFromRect(const RECT* rect, DWORD flags);
HMONITOR MonitorFromWindow(HWND window, DWORD flags);
BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO* info);
inline BOOL GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info) {
  return GetMonitorInfo(monitor, info);
}

// Visual styles, desktop composition, GDI+ and accessibility clients do not exist here: the
// libraries that offer them cannot be loaded (LoadLibrary answers nullptr), so their callers'
// run-time bindings find nothing and take their documented fallbacks.

// Modules: "user32" and "msimg32" are the window system and the drawing layer, whose optional
// entries (AnimateWindow, UpdateLayeredWindow, SetLayeredWindowAttributes, GetScrollBarInfo,
// MonitorFromPoint, GetMonitorInfoA, GradientFill, AlphaBlend ...) GetProcAddress finds;
// "uxtheme", "dwmapi", "gdiplus" and "oleacc" are absent. Names ignore case and ".dll".
HMODULE LoadLibrary(const char* name);
HMODULE GetModuleHandle(const char* name);  // nullptr: the program
BOOL FreeLibrary(HMODULE module);
FARPROC GetProcAddress(HMODULE module, const char* name);

// ---- Clipboard and global memory --------------------------------------------------------------

HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
void* GlobalLock(HGLOBAL memory);
BOOL GlobalUnlock(HGLOBAL memory);
std::size_t GlobalSize(HGLOBAL memory);
HGLOBAL GlobalFree(HGLOBAL memory);

BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
// The clipboard takes the memory block. CF_TEXT is Windows-1251 and reaches the desktop as
// UTF-8; CF_UNICODETEXT and CF_OEMTEXT are offered from it, and it from them.
HANDLE SetClipboardData(UINT format, HANDLE data);
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
int CountClipboardFormats();
UINT EnumClipboardFormats(UINT format);
UINT RegisterClipboardFormat(const char* name);
HWND GetClipboardOwner();
HWND GetOpenClipboardWindow();

// ---- Message boxes and sounds -----------------------------------------------------------------

int MessageBox(HWND owner, const char* text, const char* caption, UINT type);
BOOL MessageBeep(UINT type);
BOOL PlaySound(const char* sound, HMODULE module, DWORD flags);
