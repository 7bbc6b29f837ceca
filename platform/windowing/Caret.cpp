// The caret: one per thread, owned by a window, drawn by inverting its rectangle in the
// window's client area and blinking on a thread timer; painting hides it for its length.
#include "platform/windowing/WindowInternal.h"

namespace orv::win {

namespace {

struct TCaret {
  HWND Window = nullptr;
  int Width = 0;
  int Height = 0;
  POINT Pos;
  int HideCount = 1;   // a new caret is hidden
  bool Drawn = false;  // inverted on the screen now
  UINT_PTR Timer = 0;
  UINT BlinkTime = 530;
};

TCaret& Caret() {
  static TCaret c;
  return c;
}

void Invert() {
  TCaret& c = Caret();
  if (!FromHandle(c.Window)) return;
  HDC dc = GetDC(c.Window);
  RECT r{c.Pos.X, c.Pos.Y, c.Pos.X + c.Width, c.Pos.Y + c.Height};
  InvertRect(dc, &r);
  ReleaseDC(c.Window, dc);
  c.Drawn = !c.Drawn;
}

void Erase() {
  if (Caret().Drawn) Invert();
}

void Blink(HWND, UINT, UINT_PTR, DWORD) {
  TCaret& c = Caret();
  if (c.HideCount == 0) Invert();
}

void RestartBlink() {
  TCaret& c = Caret();
  if (c.Timer) KillTimer(nullptr, c.Timer);
  c.Timer = SetTimer(nullptr, 0, c.BlinkTime, Blink);
}

}  // namespace

// Painting hides the caret of the window it paints and shows it again afterwards.
void HideCaretForPaint(HWND window, bool hide) {
  TCaret& c = Caret();
  if (c.Window != window || !FromHandle(window)) return;
  if (hide) {
    Erase();
    ++c.HideCount;
  } else if (c.HideCount > 0 && --c.HideCount == 0) {
    Invert();
    RestartBlink();
  }
}

void ForgetCaret(HWND window) {
  TCaret& c = Caret();
  if (c.Window != window) return;
  if (c.Timer) KillTimer(nullptr, c.Timer);
  UINT blink = c.BlinkTime;
  c = TCaret{};
  c.BlinkTime = blink;
}

}  // namespace orv::win

using namespace orv::win;

BOOL CreateCaret(HWND window, HBITMAP bitmap, int width, int height) {
  if (!FromHandle(window)) return FALSE;
  DestroyCaret();
  TCaret& c = Caret();
  c.Window = window;
  c.Width = width > 0 ? width : GetSystemMetrics(SM_CXBORDER);
  c.Height = height > 0 ? height : GetSystemMetrics(SM_CYBORDER);
  c.Pos = {0, 0};
  c.HideCount = 1;
  c.Drawn = false;
  return TRUE;
}

BOOL DestroyCaret() {
  TCaret& c = Caret();
  if (!c.Window) return FALSE;
  Erase();
  ForgetCaret(c.Window);
  return TRUE;
}

BOOL ShowCaret(HWND window) {
  TCaret& c = Caret();
  if (!c.Window || (window && window != c.Window) || c.HideCount == 0) return FALSE;
  if (--c.HideCount == 0) {
    Invert();
    RestartBlink();
  }
  return TRUE;
}

BOOL HideCaret(HWND window) {
  TCaret& c = Caret();
  if (!c.Window || (window && window != c.Window)) return FALSE;
  Erase();
  ++c.HideCount;
  return TRUE;
}

BOOL SetCaretPos(int x, int y) {
  TCaret& c = Caret();
  if (!c.Window) return FALSE;
  bool drawn = c.Drawn;
  Erase();
  c.Pos = {x, y};
  if (drawn || c.HideCount == 0) {
    Invert();
    RestartBlink();
  }
  return TRUE;
}

BOOL GetCaretPos(POINT* point) {
  if (!point || !Caret().Window) return FALSE;
  *point = Caret().Pos;
  return TRUE;
}

UINT GetCaretBlinkTime() { return Caret().BlinkTime; }

BOOL SetCaretBlinkTime(UINT milliseconds) {
  Caret().BlinkTime = milliseconds ? milliseconds : 530;
  if (Caret().Timer) RestartBlink();
  return TRUE;
}
