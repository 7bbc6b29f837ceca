// What lies between the window system and a screen: the backend interface, raw input, the
// clock, the system settings table and the test hooks of message boxes and sounds.
//
// The window system runs without any backend (the headless one is built in). The SDL2 backend
// (platform/backends) replaces it with SetWindowBackend; tests drive the headless one through
// Headless.h.
#pragma once

#include <functional>
#include <string>

#include "platform/drawing/Surface.h"
#include "platform/windowing/User.h"

namespace orv {

// ---- Raw input --------------------------------------------------------------------------------

enum class TInputKind : std::uint8_t {
  MouseMove,
  MouseDown,
  MouseUp,
  Wheel,        // vertical wheel, Delta in WHEEL_DELTA units (positive: away from the user)
  HWheel,       // horizontal wheel
  KeyDown,      // also auto-repeat: a key-down for a key that is down already
  KeyUp,
  Char,         // a character typed by the desktop's input method (no key of its own)
  AppActivate,  // the program became the desktop's active program
  AppDeactivate
};

struct TInputEvent {
  TInputKind Kind = TInputKind::MouseMove;
  POINT Pos;            // mouse events: screen coordinates
  int Button = 0;       // 0 left, 1 right, 2 middle, 3 and 4 the extra buttons
  int Delta = 0;        // wheel events
  int VirtualKey = 0;   // key events
  int ScanCode = 0;     // 0: taken from the virtual key
  bool Extended = false;
  char Char = 0;        // key events: the Windows-1251 character the key types (with HasChar)
  bool HasChar = false;
  bool CharFollows = false;  // key events: the character arrives as a Char event of its own
  HWND Window = nullptr;     // AppActivate: the window the desktop activated (may be nullptr)
};

// Queues raw input; it becomes messages when the message queue hands it out. The asynchronous
// key state and the cursor position change at once.
void PostInputEvent(const TInputEvent& event);

// ---- Backend ----------------------------------------------------------------------------------

// What changed about a top-level window (WindowChanged).
enum : unsigned {
  wcShown = 1,
  wcHidden = 2,
  wcBounds = 4,
  wcZOrder = 8,
  wcText = 16,
  wcStyle = 32,
  wcOpacity = 64,
  wcActivated = 128,
  wcRegion = 256
};

class TWindowBackend {
 public:
  virtual ~TWindowBackend() = default;
  virtual TRect ScreenBounds() = 0;
  virtual TRect WorkArea() = 0;
  // A top-level window changed on the desktop (a combination of the wc flags).
  virtual void WindowChanged(HWND window, unsigned what) {}
  virtual void WindowDestroyed(HWND window) {}
  // The pixels of a visible top-level window changed inside `dirty` (window coordinates).
  virtual void Present(HWND window, const TSurface& surface, const TRect& dirty) {}
  // Gathers desktop input without waiting (through PostInputEvent).
  virtual void Poll() {}
  // Waits for desktop input for up to `timeoutMs` (-1: without limit); false when no input can
  // ever come.
  virtual bool Wait(int timeoutMs) = 0;
  virtual void CursorChanged(HCURSOR cursor) {}
  virtual void CursorMoved(POINT point) {}
  // The desktop's clipboard as UTF-8; false when the backend keeps no clipboard of its own.
  virtual bool SetClipboardText(const std::string& utf8) { return false; }
  virtual bool GetClipboardText(std::string& utf8) { return false; }
  // A message box on the desktop; 0 when the backend shows none.
  virtual int ShowMessageBox(HWND owner, const AnsiString& text, const AnsiString& caption,
                             UINT type) {
    return 0;
  }
};

// nullptr brings back the headless backend. The window system does not own the backend.
void SetWindowBackend(TWindowBackend* backend);
TWindowBackend* GetWindowBackend();

// The surface of a top-level window (its window rectangle); nullptr for other windows.
const TSurface* GetWindowSurface(HWND window);
// The opacity a top-level window asks for (255 opaque) and its colour key (CLR_INVALID none).
BYTE GetWindowOpacity(HWND window);
COLORREF GetWindowColorKey(HWND window);
// Top-level windows from the bottom of the z-order to the top.
void GetTopLevelWindows(std::vector<HWND>& windows);
// Composes the visible top-level windows over the desktop colour (z-order, window regions,
// opacity, colour keys and per-pixel alpha of layered windows), as the screen shows them.
void ComposeScreen(TSurface& screen);
// Presents the pixels of every visible top-level window that changed since the last call.
void FlushPresent();

// ---- Clock ------------------------------------------------------------------------------------

// With a manual clock GetTickCount stays where it is until AdvanceClock moves it, and a wait
// for a message with only timers pending moves the clock to the first due timer.
void SetManualClock(bool manual, DWORD start = 0);
bool IsManualClock();
void AdvanceClock(DWORD milliseconds);

// ---- System settings: one fixed, test-settable table (a classic look) -------------------------

struct TSystemSettings {
  int Metrics[100] = {};           // GetSystemMetrics by index
  TRect WorkArea;                  // empty: the screen
  UINT DoubleClickTime = 500;
  UINT WheelScrollLines = 3;
  UINT WheelScrollChars = 3;
  UINT MenuShowDelay = 400;
  UINT HoverTime = 400;
  BOOL MenuAnimation = FALSE;
  BOOL MenuFade = FALSE;
  BOOL TooltipAnimation = FALSE;
  BOOL TooltipFade = FALSE;
  BOOL ComboBoxAnimation = FALSE;
  BOOL ListBoxSmoothScrolling = FALSE;
  BOOL GradientCaptions = TRUE;
  BOOL KeyboardCues = TRUE;
  BOOL HotTracking = TRUE;
  BOOL SelectionFade = FALSE;
  BOOL DropShadow = FALSE;
  BOOL FlatMenu = FALSE;
  BOOL UIEffects = TRUE;
  BOOL DragFullWindows = TRUE;
  BOOL FontSmoothing = TRUE;
  UINT CaretWidth = 1;
  UINT KeyboardDelay = 1;
  UINT KeyboardSpeed = 31;
  NONCLIENTMETRICS NonClient;
  LOGFONT IconTitleFont;
};

// The live table; change it, then broadcast what changed (SendSettingChange) as the desktop
// would. ResetSystemSettings brings back the classic defaults (system colours included).
TSystemSettings& SystemSettings();
void ResetSystemSettings();
// Sends WM_SETTINGCHANGE (wParam = the SPI_ action) to every top-level window.
void SendSettingChange(UINT action);
// Tells every top-level window that the regional settings changed (WM_SETTINGCHANGE with
// wParam 0 and the section name "intl"), as the desktop does after a locale change: change
// FormatSettings first, then call this.
void SendLocaleChange();

// ---- Message boxes and sounds -----------------------------------------------------------------

// Answers MessageBox instead of the backend (tests); an empty handler removes it. Without a
// handler and without a desktop message box, MessageBox answers its default button.
using TMessageBoxHandler =
    std::function<int(HWND owner, const AnsiString& text, const AnsiString& caption, UINT type)>;
void SetMessageBoxHandler(TMessageBoxHandler handler);

// Sounds are events without a sound device: a sink may record them.
struct TSoundEvent {
  AnsiString Name;     // PlaySound's name (empty for a beep)
  DWORD Flags = 0;     // PlaySound flags
  bool Beep = false;   // MessageBeep
  UINT BeepType = 0;
};
using TSoundSink = std::function<void(const TSoundEvent&)>;
void SetSoundSink(TSoundSink sink);

// ---- Program resources ------------------------------------------------------------------------

// A cursor that LoadCursor(instance, name) answers for the program's own cursor names.
void RegisterCursorResource(const char* name, HCURSOR cursor);
// The platform shape of a cursor: the IDC_ number of a system cursor, else 0.
int GetSystemCursorId(HCURSOR cursor);
// A custom cursor's picture: width, height, hot spot and 32-bit pixels with alpha.
bool GetCursorImage(HCURSOR cursor, TSurface& image, POINT& hotSpot);

}  // namespace orv
