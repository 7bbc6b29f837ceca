// The state of the window system shared by its sources. Not for use outside platform/windowing.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/drawing/Surface.h"
#include "platform/windowing/Backend.h"
#include "platform/windowing/User.h"

namespace orv::win {

// ---- Regions with value semantics over the drawing layer's regions ---------------------------

class TRegion {
 public:
  TRegion();
  explicit TRegion(const TRect& r);
  TRegion(const TRegion& other);
  TRegion& operator=(const TRegion& other);
  ~TRegion();

  HRGN Handle() const { return FRgn; }
  bool IsEmpty() const;
  TRect Box() const;
  void Clear();
  void SetRect(const TRect& r);
  void Assign(HRGN region);  // copies
  void Union(const TRect& r);
  void Union(const TRegion& other);
  void Intersect(const TRect& r);
  void Intersect(const TRegion& other);
  void Subtract(const TRect& r);
  void Subtract(const TRegion& other);
  void Offset(int dx, int dy);
  bool Contains(POINT p) const;

 private:
  HRGN FRgn;
};

bool RectEmpty(const TRect& r);
TRect IntersectRects(const TRect& a, const TRect& b);
TRect OffsetRectBy(const TRect& r, int dx, int dy);
bool PointIn(const TRect& r, POINT p);

// ---- Classes and windows ----------------------------------------------------------------------

struct TWndClass {
  std::string Name;  // as registered
  ATOM Atom = 0;
  WNDCLASS Info;
  std::string MenuName;
  std::vector<LONG_PTR> Extra;
};

struct TScrollBarState {
  int Min = 0;
  int Max = 100;
  UINT Page = 0;
  int Pos = 0;
  int TrackPos = 0;
  UINT Disabled = 0;  // ESB_ arrows
};

struct TWnd {
  HWND Handle = nullptr;
  std::shared_ptr<TWndClass> Class;
  WNDPROC Proc = nullptr;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  TWnd* Parent = nullptr;  // the desktop for top-level windows; nullptr for the desktop
  TWnd* Owner = nullptr;   // top-level windows only
  std::vector<TWnd*> Children;  // z-order, topmost first
  TRect Rect;    // in the parent's client coordinates (the screen for top-level windows)
  TRect Client;  // the client area in window coordinates
  AnsiString Text;
  LONG_PTR UserData = 0;
  LONG_PTR Id = 0;
  HINSTANCE Instance = nullptr;
  std::vector<LONG_PTR> Extra;
  std::map<std::string, HANDLE> Props;
  HRGN Region = nullptr;  // the window region (window coordinates), owned
  bool MessageOnly = false;
  bool Created = false;       // WM_NCCREATE/WM_CREATE ran
  bool Destroying = false;    // DestroyWindow began
  bool Destroyed = false;     // gone; only references keep the object
  bool NcActive = false;      // the caption shows active
  bool Iconic = false;

  // Paint state: the update region (client coordinates) and what else waits.
  TRegion Update;
  bool ErasePending = false;
  bool NcPending = false;
  bool InternalPaint = false;
  bool InPaint = false;

  TScrollBarState Scroll[2];

  // Top-level windows: their pixels and how the screen composes them.
  std::unique_ptr<TSurface> Surface;
  TRect Dirty;  // window coordinates, waiting for FlushPresent
  DWORD LayeredFlags = 0;
  BYTE Alpha = 255;
  COLORREF ColorKey = CLR_INVALID;
  bool PerPixelAlpha = false;  // UpdateLayeredWindow with ULW_ALPHA

  bool IsChild() const { return (Style & WS_CHILD) != 0; }
  bool IsTopLevel() const;
};

// ---- Queue, timers, hooks ---------------------------------------------------------------------

struct TTimer {
  HWND Window = nullptr;
  UINT_PTR Id = 0;
  UINT Elapse = 0;
  TIMERPROC Proc = nullptr;
  std::int64_t Due = 0;
  std::uint64_t Serial = 0;  // the heap entry that is current
};

struct THook {
  HHOOK Handle = nullptr;
  int Kind = 0;
  HOOKPROC Proc = nullptr;
  bool Removed = false;
};

struct TMouseTrack {
  HWND Window = nullptr;
  DWORD Flags = 0;
  DWORD HoverTime = 0;
  std::int64_t HoverStart = 0;
  bool NonClient = false;
};

struct TState {
  std::unordered_map<std::uintptr_t, std::shared_ptr<TWnd>> Windows;
  std::uintptr_t NextHandle = 0x10010;
  TWnd* Desktop = nullptr;
  std::map<std::string, std::shared_ptr<TWndClass>> Classes;  // by lower-case name
  ATOM NextAtom = 0xC000;
  std::map<std::string, UINT> RegisteredMessages;
  UINT NextRegisteredMessage = 0xC000;

  std::deque<MSG> Posted;
  bool QuitPending = false;
  int QuitCode = 0;
  std::deque<TInputEvent> Input;
  std::unordered_set<TWnd*> NeedPaint;

  std::map<std::pair<std::uintptr_t, UINT_PTR>, TTimer> Timers;
  struct THeapEntry {
    std::int64_t Due;
    std::uint64_t Serial;
    std::pair<std::uintptr_t, UINT_PTR> Key;
  };
  std::vector<THeapEntry> TimerHeap;  // a min-heap by due time
  std::uint64_t TimerSerial = 0;
  UINT_PTR NextThreadTimer = 0x7FF0;

  std::vector<std::shared_ptr<THook>> Hooks[16];
  std::uintptr_t NextHook = 0x100;

  HWND Focus = nullptr;
  HWND Active = nullptr;
  HWND Capture = nullptr;
  bool AppActive = true;
  BYTE KeyState[256] = {};
  BYTE AsyncKeyState[256] = {};
  bool AltAlone = false;  // Alt went down and no other key since
  POINT CursorPos;
  HCURSOR Cursor = nullptr;
  int CursorCount = 0;
  TMouseTrack Track;

  // Double clicks: the last button press.
  UINT LastDownMessage = 0;
  HWND LastDownWindow = nullptr;
  std::int64_t LastDownTime = 0;
  POINT LastDownPos;

  MSG Current;  // the last message handed out (GetMessagePos, GetMessageTime)
  int SendDepth = 0;

  bool ManualClock = false;
  std::int64_t Clock = 0;  // the manual clock

  TWindowBackend* Backend = nullptr;
};

TState& S();

// Handles.
TWnd* FromHandle(HWND window);  // nullptr unless a live window
std::shared_ptr<TWnd> Hold(TWnd* w);
inline TWnd* Desktop() { return S().Desktop; }

// Geometry (all in screen coordinates unless stated).
TPoint ClientOrigin(const TWnd* w);  // the client area's top-left on the screen
TPoint WindowOrigin(const TWnd* w);  // the window's top-left on the screen
TRect ScreenRect(const TWnd* w);
TRect ScreenClientRect(const TWnd* w);
TWnd* TopLevelOf(TWnd* w);  // the top-level window (the window itself when top-level)
bool ReallyVisible(const TWnd* w);
bool IsDescendant(const TWnd* ancestor, const TWnd* w);

// The window under a screen point (see WindowFromPoint) and its hit-test code.
TWnd* HitWindow(TWnd* w, POINT screenPoint, int& hit);
TWnd* HitTopLevel(POINT screenPoint, int& hit);

// Window region test in window coordinates.
bool InWindowRegion(const TWnd* w, POINT windowPoint);

// Sending without the public wrapper checks.
LRESULT Send(TWnd* w, UINT message, WPARAM wParam, LPARAM lParam);
void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Hooks: runs the chain of a kind; answers the first hook's answer (0 without hooks).
LRESULT CallHooks(int kind, int code, WPARAM wParam, LPARAM lParam);
bool HasHooks(int kind);

// Paint.
void InvalidateWindow(TWnd* w, const TRegion* clientRegion, UINT flags);  // RedrawWindow rules
void ValidateAll(TWnd* w);
void ForgetPaint(TWnd* w);
TWnd* NextPaintWindow();
void MarkDirty(TWnd* w, const TRect& windowRect);  // pixels of w changed (window coordinates)
void MarkDirtyAll(TWnd* top);
void EnsureSurface(TWnd* top);
// The part of the window (or its client area) that shows, in window (or client) coordinates:
// cut by the parents' client areas, window regions, siblings above and, when asked, children.
TRegion VisibleRegion(TWnd* w, bool client, bool clipChildren, bool clipSiblings);
// A DC on the top-level surface clipped to that region (and to `restrictTo`, same coordinates).
HDC MakeDC(TWnd* w, bool client, bool clipChildren, const TRegion* restrictTo);
void ExposeAfterChange(TWnd* w, const TRect& oldScreen, bool wasVisible);

// Non-client.
void RecalcClient(TWnd* w, WINDOWPOS* pos);  // sends WM_NCCALCSIZE
int DefHitTest(TWnd* w, POINT screenPoint);
void DefNcPaint(TWnd* w, HDC dc);
TRect ScrollBarRect(TWnd* w, int bar);  // window coordinates; empty when not shown
void ScrollBarClick(TWnd* w, int hit, POINT screenPoint);

// Focus and activation.
void SetFocusInternal(HWND window);
void ActivateInternal(HWND window, int how);
void WindowHidingOrDying(TWnd* w);
void SetAppActiveInternal(bool active, HWND activate);

// Input.
void NotifyDestroyed(TWnd* w);  // input/focus/timer bookkeeping when a window goes away
std::int64_t Now();
void KillWindowTimers(HWND window);

// The caret.
void HideCaretForPaint(HWND window, bool hide);
void ForgetCaret(HWND window);

// Utility-window methods.
void ForgetUtilWindow(HWND window);

// System settings defaults.
void InitSettings(TSystemSettings& s);

// The classic defaults of the window system are created on first use.
void EnsureInit();

// Backend helpers.
TWindowBackend& Backend();
void NotifyBackend(TWnd* w, unsigned what);

}  // namespace orv::win
