// The headless backend: a 1024 x 768 screen without a display, input injected by tests, a
// clipboard kept in memory, and the pixels of windows as surfaces and PNG files.
#include "platform/windowing/Headless.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/drawing/GoldenImage.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Exceptions.h"
#include "platform/windowing/UtilWindow.h"
#include "platform/windowing/WindowInternal.h"

namespace orv::win {

namespace {

class THeadlessBackend : public TWindowBackend {
 public:
  TRect ScreenBounds() override { return {0, 0, 1024, 768}; }
  TRect WorkArea() override { return ScreenBounds(); }
  bool Wait(int timeoutMs) override {
    if (Idle) return Idle();
    if (timeoutMs < 0) return false;
    if (!S().ManualClock) std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
    else S().Clock += timeoutMs;
    return true;
  }
  bool SetClipboardText(const std::string& utf8) override {
    Clipboard = utf8;
    return true;
  }
  bool GetClipboardText(std::string& utf8) override {
    utf8 = Clipboard;
    return true;
  }

  std::function<bool()> Idle;
  std::string Clipboard;
};

THeadlessBackend& Headless() {
  static THeadlessBackend b;
  return b;
}

}  // namespace

TWindowBackend& HeadlessBackend() { return Headless(); }

}  // namespace orv::win

using namespace orv;
using namespace orv::win;

namespace orv::headless {

void Reset(DWORD clock) {
  EnsureInit();
  TState& s = S();
  // Hooks of a finished test must not see the teardown.
  SetMessageBoxHandler(nullptr);
  SetSoundSink(nullptr);
  Headless().Idle = nullptr;
  for (auto& chain : s.Hooks)
    for (auto& h : chain) h->Removed = true;
  // A fresh desktop has the program active. The program keeps its own flag from the activation
  // broadcast, so an earlier deactivation must be undone through the broadcast too, while the
  // program's windows still exist to hear it; otherwise the program stays inactive for good.
  if (!s.AppActive) SetAppActiveInternal(true, nullptr);
  std::vector<HWND> tops;
  GetTopLevelWindows(tops);
  for (HWND h : tops) DestroyWindow(h);
  std::vector<HWND> rest;
  for (auto& [k, w] : s.Windows)
    if (w.get() != s.Desktop && !w->Destroyed && w->MessageOnly) rest.push_back(w->Handle);
  for (HWND h : rest) DestroyWindow(h);
  s.Posted.clear();
  s.QuitPending = false;
  s.Input.clear();
  s.NeedPaint.clear();
  s.Timers.clear();
  s.TimerHeap.clear();
  for (auto& chain : s.Hooks)
    for (auto& h : chain) h->Removed = true;
  for (auto& chain : s.Hooks) chain.clear();
  s.Focus = s.Active = s.Capture = nullptr;
  s.AppActive = true;
  std::fill(std::begin(s.KeyState), std::end(s.KeyState), BYTE(0));
  std::fill(std::begin(s.AsyncKeyState), std::end(s.AsyncKeyState), BYTE(0));
  s.CursorPos = {0, 0};
  s.Cursor = nullptr;
  s.CursorCount = 0;
  s.Track = {};
  s.LastDownMessage = 0;
  s.Current = MSG{};
  SetWindowBackend(nullptr);
  Headless().Idle = nullptr;
  Headless().Clipboard.clear();
  ResetSystemSettings();
  SetMessageBoxHandler(nullptr);
  SetSoundSink(nullptr);
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  Headless().Clipboard.clear();
  SetManualClock(true, clock);
}

// ---- Input ------------------------------------------------------------------------------------

namespace {

void Mouse(TInputKind kind, int button) {
  TInputEvent ev;
  ev.Kind = kind;
  ev.Pos = S().CursorPos;
  ev.Button = button;
  PostInputEvent(ev);
}

void Key(TInputKind kind, int vk, bool extended, char ch = 0, bool hasChar = false) {
  TInputEvent ev;
  ev.Kind = kind;
  ev.VirtualKey = vk;
  ev.Extended = extended;
  ev.Char = ch;
  ev.HasChar = hasChar;
  PostInputEvent(ev);
}

}  // namespace

void MouseMove(int x, int y) {
  EnsureInit();
  TInputEvent ev;
  ev.Kind = TInputKind::MouseMove;
  ev.Pos = {x, y};
  PostInputEvent(ev);
}

void MouseDown(int button) { Mouse(TInputKind::MouseDown, button); }
void MouseUp(int button) { Mouse(TInputKind::MouseUp, button); }

void Click(int x, int y, int button) {
  MouseMove(x, y);
  MouseDown(button);
  MouseUp(button);
}

void DoubleClick(int x, int y, int button) {
  Click(x, y, button);
  Click(x, y, button);
}

void Wheel(int delta) {
  TInputEvent ev;
  ev.Kind = TInputKind::Wheel;
  ev.Pos = S().CursorPos;
  ev.Delta = delta;
  PostInputEvent(ev);
}

void KeyDown(int virtualKey, bool extended) { Key(TInputKind::KeyDown, virtualKey, extended); }
void KeyUp(int virtualKey, bool extended) { Key(TInputKind::KeyUp, virtualKey, extended); }

void PressKey(int virtualKey, bool shift, bool ctrl, bool alt) {
  if (shift) KeyDown(VK_SHIFT);
  if (ctrl) KeyDown(VK_CONTROL);
  if (alt) KeyDown(VK_MENU);
  KeyDown(virtualKey);
  KeyUp(virtualKey);
  if (alt) KeyUp(VK_MENU);
  if (ctrl) KeyUp(VK_CONTROL);
  if (shift) KeyUp(VK_SHIFT);
}

void TypeText(const AnsiString& text) {
  for (char ch : text) {
    SHORT scan = VkKeyScan(ch);
    bool shift = scan != -1 && (scan & 0x100);
    int vk = scan == -1 ? VK_PACKET : (scan & 0xFF);
    if (shift) KeyDown(VK_SHIFT);
    Key(TInputKind::KeyDown, vk, false, ch, true);
    Key(TInputKind::KeyUp, vk, false);
    if (shift) KeyUp(VK_SHIFT);
  }
}

void TypeUtf8(const std::string& utf8) {
  for (char ch : Utf8ToAnsi(utf8)) {
    TInputEvent ev;
    ev.Kind = TInputKind::Char;
    ev.Char = ch;
    PostInputEvent(ev);
  }
}

void SetAppActive(bool active) {
  TInputEvent ev;
  ev.Kind = active ? TInputKind::AppActivate : TInputKind::AppDeactivate;
  PostInputEvent(ev);
}

// ---- Running ----------------------------------------------------------------------------------

void ProcessMessages() {
  MSG m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(int(m.wParam));
      return;
    }
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
  FlushPresent();
}

void AdvanceTime(DWORD milliseconds) {
  TState& s = S();
  std::int64_t target = s.Clock + milliseconds;
  for (;;) {
    ProcessMessages();
    if (s.QuitPending) break;
    std::int64_t due = 0;
    bool any = false;
    for (auto& [k, t] : s.Timers)
      if (!any || t.Due < due) {
        due = t.Due;
        any = true;
      }
    if (!any || due > target) break;
    s.Clock = std::max(s.Clock, due);
  }
  s.Clock = std::max(s.Clock, target);
  ProcessMessages();
}

void SetIdleHandler(std::function<bool()> handler) { Headless().Idle = std::move(handler); }

// ---- Pixels -----------------------------------------------------------------------------------

namespace {

TSurface Crop(TWnd* w, bool client) {
  TWnd* top = TopLevelOf(w);
  EnsureSurface(top);
  TPoint o = client ? ClientOrigin(w) : WindowOrigin(w);
  TPoint to = WindowOrigin(top);
  TRect r = client ? TRect{0, 0, w->Client.Width(), w->Client.Height()}
                   : TRect{0, 0, w->Rect.Width(), w->Rect.Height()};
  r = OffsetRectBy(r, o.X - to.X, o.Y - to.Y);
  TSurface out(r.Width(), r.Height());
  const TSurface& src = *top->Surface;
  for (int y = 0; y < r.Height(); ++y)
    for (int x = 0; x < r.Width(); ++x) {
      int sx = r.Left + x, sy = r.Top + y;
      if (sx >= 0 && sy >= 0 && sx < src.Width() && sy < src.Height())
        out.SetPixel(x, y, src.Pixel(sx, sy));
    }
  return out;
}

}  // namespace

TSurface CaptureWindow(HWND window) {
  TWnd* w = FromHandle(window);
  return w ? Crop(w, false) : TSurface();
}

TSurface CaptureClient(HWND window) {
  TWnd* w = FromHandle(window);
  return w ? Crop(w, true) : TSurface();
}

bool SaveWindowPng(HWND window, const std::string& path) {
  TSurface s = CaptureWindow(window);
  return !s.IsEmpty() && WritePng(s, path, false);
}

TSurface CaptureScreen() {
  TSurface s;
  ComposeScreen(s);
  return s;
}

bool SaveScreenPng(const std::string& path) { return WritePng(CaptureScreen(), path, false); }

const std::string& DesktopClipboard() { return Headless().Clipboard; }

void SetDesktopClipboard(const std::string& utf8) { Headless().Clipboard = utf8; }

}  // namespace orv::headless
