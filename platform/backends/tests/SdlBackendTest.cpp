// A smoke test of the SDL2 backend on a real X display: a virtual one (Xvfb) is started when
// none is set; without either the test is skipped with the reason.
#include <gtest/gtest.h>

#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "platform/backends/SdlBackend.h"
#include "platform/backends/tests/support/XvfbDisplay.h"
#include "platform/runtime/AnsiString.h"
#include "platform/windowing/Headless.h"

// When no desktop bus runs (as under Xvfb), the bus library that SDL asks for one keeps the
// failed attempt's buffer until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

namespace orv {
namespace {

using TDisplay = orv::test::TXvfbDisplay;

std::vector<std::pair<UINT, LPARAM>> gLog;

LRESULT Painter(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    RECT r;
    GetClientRect(w, &r);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(dc, &r, red);
    RECT inner{10, 10, 30, 20};
    FillRect(dc, &inner, blue);
    DeleteObject(red);
    DeleteObject(blue);
    EndPaint(w, &ps);
    return 0;
  }
  if (m == WM_LBUTTONDOWN || m == WM_KEYDOWN || m == WM_CHAR) gLog.push_back({m, lp});
  return DefWindowProc(w, m, wp, lp);
}

// The colour the X server shows at a screen point (red in the low byte).
COLORREF ScreenPixel(Display* x, int px, int py) {
  XImage* img = XGetImage(x, DefaultRootWindow(x), px, py, 1, 1, AllPlanes, ZPixmap);
  if (!img) return CLR_INVALID;
  unsigned long p = XGetPixel(img, 0, 0);
  XDestroyImage(img);
  return RGB(BYTE(p >> 16), BYTE(p >> 8), BYTE(p));
}

// Runs the message loop until the X server shows `color` at the point, for up to 2 seconds.
bool WaitForPixel(Display* x, int px, int py, COLORREF color) {
  for (int i = 0; i < 100; ++i) {
    headless::ProcessMessages();
    XSync(x, False);
    if (ScreenPixel(x, px, py) == color) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

TEST(SdlBackend, ShowsWindowsOnTheDesktopAndTurnsDesktopInputIntoMessages) {
  TDisplay display;
  if (!display.Ok()) GTEST_SKIP() << "no display: " << display.Why();
  headless::Reset();
  SetManualClock(false);
  std::string why;
  auto backend = TSdlBackend::Create(&why);
  if (!backend) GTEST_SKIP() << "no display: " << why;
  SetWindowBackend(backend.get());
  Display* x = XOpenDisplay(nullptr);
  ASSERT_NE(x, nullptr);

  WNDCLASS wc{};
  wc.lpfnWndProc = Painter;
  wc.lpszClassName = "SdlSmoke";
  RegisterClass(&wc);
  // A popup: a borderless desktop window showing all of it.
  HWND popup = CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "SdlSmoke", "", WS_POPUP | WS_VISIBLE,
                              40, 30, 64, 48, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(IsWindow(popup));
  EXPECT_TRUE(backend->HasDesktopWindow(popup));
  EXPECT_EQ(backend->DesktopWindowRect(popup), (TRect{40, 30, 104, 78}));
  EXPECT_TRUE(WaitForPixel(x, 40 + 5, 30 + 5, RGB(255, 0, 0)));
  EXPECT_EQ(ScreenPixel(x, 40 + 15, 30 + 15), RGB(0, 0, 255));

  // A captioned window shows its client area; the desktop keeps the frame.
  HWND main = CreateWindowEx(0, "SdlSmoke", "Орване"_a.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                             200, 100, 200, 150, nullptr, nullptr, nullptr, nullptr);
  POINT origin{0, 0};
  ClientToScreen(main, &origin);
  TRect shown = backend->DesktopWindowRect(main);
  EXPECT_EQ(shown.Left, origin.X);
  EXPECT_TRUE(WaitForPixel(x, origin.X + 15, origin.Y + 15, RGB(0, 0, 255)));

  // Desktop input addressed to the window becomes messages in client coordinates.
  gLog.clear();
  SDL_Event e{};
  e.type = SDL_MOUSEBUTTONDOWN;
  e.button.windowID = backend->DesktopWindowId(main);
  e.button.button = SDL_BUTTON_LEFT;
  e.button.state = SDL_PRESSED;
  e.button.x = 7;
  e.button.y = 9;
  SDL_PushEvent(&e);
  SetFocus(main);
  SDL_Event t{};
  t.type = SDL_TEXTINPUT;
  t.text.windowID = e.button.windowID;
  std::strcpy(t.text.text, "Ж");
  SDL_PushEvent(&t);
  headless::ProcessMessages();
  std::vector<std::pair<UINT, LPARAM>> expected = {{WM_LBUTTONDOWN, MAKELPARAM(7, 9)},
                                                   {WM_CHAR, 1}};
  EXPECT_EQ(gLog, expected);

  // The clipboard is the desktop's, in UTF-8.
  AnsiString text = "Москва"_a;
  ASSERT_TRUE(OpenClipboard(main));
  EmptyClipboard();
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  std::memcpy(GlobalLock(h), text.c_str(), text.size() + 1);
  GlobalUnlock(h);
  SetClipboardData(CF_TEXT, h);
  CloseClipboard();
  char* desk = SDL_GetClipboardText();
  EXPECT_STREQ(desk, "Москва");
  SDL_free(desk);

  DestroyWindow(popup);
  DestroyWindow(main);
  EXPECT_FALSE(backend->HasDesktopWindow(main));
  XCloseDisplay(x);
  backend.reset();
  headless::Reset();
}

}  // namespace
}  // namespace orv
