// The paint cycle and the pixels it leaves: update regions, erase, order, clipping of children
// and siblings, the non-client area, scrolling, printing, layered windows and PNG output.
#include <cstdio>
#include <filesystem>
#include <unistd.h>
#include <string>

#include "TestWindows.h"
#include "platform/drawing/GoldenImage.h"

namespace orv::test {
namespace {

using Paint = TWindowTest;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);

// A handler that paints the whole update area in one colour.
THandler Filler(COLORREF color) {
  return [color](HWND w, UINT m, WPARAM, LPARAM, bool& handled) -> LRESULT {
    if (m != WM_PAINT) return 0;
    handled = true;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    HBRUSH b = CreateSolidBrush(color);
    RECT r;
    GetClientRect(w, &r);
    FillRect(dc, &r, b);
    DeleteObject(b);
    EndPaint(w, &ps);
    return 0;
  };
}

COLORREF At(const TSurface& s, int x, int y) { return PixelToColor(s.Pixel(x, y)) & 0xFFFFFF; }

TEST_F(Paint, InvalidationGivesOnePaintAndEraseComesFromBeginPaint) {
  HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  headless::ProcessMessages();
  Clear();
  RECT a{0, 0, 10, 10}, b{50, 50, 60, 60};
  InvalidateRect(w, &a, FALSE);
  InvalidateRect(w, &b, TRUE);
  RECT update;
  EXPECT_TRUE(GetUpdateRect(w, &update, FALSE));
  EXPECT_EQ(update, (RECT{0, 0, 60, 60}));
  RECT seen{};
  BOOL fErase = TRUE;
  Handlers[w] = [&](HWND h, UINT m, WPARAM, LPARAM, bool& handled) -> LRESULT {
    if (m == WM_ERASEBKGND) {
      handled = true;
      return 0;  // did not erase: BeginPaint reports it
    }
    if (m != WM_PAINT) return 0;
    handled = true;
    PAINTSTRUCT ps;
    BeginPaint(h, &ps);
    seen = ps.rcPaint;
    fErase = ps.fErase;
    EndPaint(h, &ps);
    return 0;
  };
  headless::ProcessMessages();
  EXPECT_EQ(Messages(w, {WM_PAINT, WM_ERASEBKGND}), (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}));
  EXPECT_EQ(seen, (RECT{0, 0, 60, 60}));
  EXPECT_TRUE(fErase);
  EXPECT_FALSE(GetUpdateRect(w, &update, FALSE));
  // Validated areas are not painted; hidden windows are not painted.
  Clear();
  InvalidateRect(w, nullptr, FALSE);
  ValidateRect(w, nullptr);
  ShowWindow(w, SW_HIDE);
  InvalidateRect(w, nullptr, FALSE);
  headless::ProcessMessages();
  EXPECT_EQ(Count(w, WM_PAINT), 0);
}

TEST_F(Paint, ParentsPaintFirstAndChildrenAreClippedOut) {
  HWND parent = Make(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 100, 100);
  HWND child = MakeChild(parent, 10, 10, 30, 30);
  HWND below = MakeChild(parent, 50, 50, 40, 40);
  HWND above = MakeChild(parent, 70, 70, 40, 40);  // created later: on top, cut by the parent
  Handlers[parent] = Filler(kRed);
  Handlers[child] = Filler(kBlue);
  Handlers[below] = Filler(kGreen);
  Handlers[above] = Filler(kBlue);
  Clear();
  RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  headless::ProcessMessages();
  std::vector<HWND> order;
  for (const TRecorded& r : Log)
    if (r.Message == WM_PAINT) order.push_back(r.Window);
  ASSERT_EQ(order.size(), 4u);
  EXPECT_EQ(order[0], parent);
  TSurface s = headless::CaptureWindow(parent);
  EXPECT_EQ(At(s, 5, 5), kRed);
  EXPECT_EQ(At(s, 20, 20), kBlue);
  EXPECT_EQ(At(s, 55, 55), kGreen);
  EXPECT_EQ(At(s, 75, 75), kBlue);  // the upper sibling wins where they overlap
  EXPECT_EQ(At(s, 99, 99), kBlue);
  // The parent paints alone: its children keep their pixels.
  Clear();
  InvalidateRect(parent, nullptr, TRUE);
  headless::ProcessMessages();
  EXPECT_EQ(Count(child, WM_PAINT), 0);
  s = headless::CaptureWindow(parent);
  EXPECT_EQ(At(s, 20, 20), kBlue);
  // Without WS_CLIPCHILDREN the invalidation reaches the children, which paint after.
  SetWindowLong(parent, GWL_STYLE, GetWindowLong(parent, GWL_STYLE) & ~LONG(WS_CLIPCHILDREN));
  Clear();
  InvalidateRect(parent, nullptr, TRUE);
  UpdateWindow(parent);
  EXPECT_EQ(Messages(nullptr, {WM_PAINT}).size(), 4u);
  EXPECT_EQ(Log.front().Window, parent);
  s = headless::CaptureWindow(parent);
  EXPECT_EQ(At(s, 20, 20), kBlue);
}

TEST_F(Paint, MovingAChildRepaintsWhatItUncovered) {
  HWND parent = Make(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 100, 100);
  HWND child = MakeChild(parent, 0, 0, 20, 20);
  Handlers[parent] = Filler(kRed);
  Handlers[child] = Filler(kBlue);
  headless::ProcessMessages();
  SetWindowPos(child, nullptr, 50, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  headless::ProcessMessages();
  TSurface s = headless::CaptureWindow(parent);
  EXPECT_EQ(At(s, 5, 5), kRed);
  EXPECT_EQ(At(s, 55, 55), kBlue);
}

TEST_F(Paint, NonClientAreaIsTheWindowsOwn) {
  HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 40, 30);
  Handlers[w] = [](HWND h, UINT m, WPARAM wp, LPARAM lp, bool& handled) -> LRESULT {
    if (m == WM_NCCALCSIZE) {
      handled = true;
      RECT* r = wp ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0] : reinterpret_cast<RECT*>(lp);
      *r = {r->Left + 3, r->Top + 3, r->Right - 3, r->Bottom - 3};
      return 0;
    }
    if (m == WM_NCPAINT) {
      handled = true;
      HDC dc = GetWindowDC(h);
      HBRUSH b = CreateSolidBrush(kGreen);
      RECT r{0, 0, 40, 30};
      FillRect(dc, &r, b);  // the client area is not clipped out of a window DC
      DeleteObject(b);
      ReleaseDC(h, dc);
      return 0;
    }
    if (m == WM_NCHITTEST) {
      handled = true;
      LRESULT hit = DefWindowProc(h, m, wp, lp);
      return hit == HTCLIENT ? HTCLIENT : HTBORDER;
    }
    return 0;
  };
  SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  RECT c;
  GetClientRect(w, &c);
  EXPECT_EQ(c, (RECT{0, 0, 34, 24}));
  headless::ProcessMessages();
  TSurface s = headless::CaptureWindow(w);
  EXPECT_EQ(At(s, 1, 1), kGreen);
  EXPECT_EQ(At(s, 10, 10), RGB(255, 255, 255));  // the class brush erased the client area after
  EXPECT_EQ(SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(1, 1)), HTBORDER);
}

TEST_F(Paint, ClassicFrameOfABorderedWindow) {
  HWND w = Make(WS_POPUP | WS_VISIBLE | WS_BORDER, 0, 0, 6, 4);
  headless::ProcessMessages();
  TSurface s = headless::CaptureWindow(w);
  EXPECT_TRUE(MatchAsciiArt(s, {0, 0, 6, 4}, R"(
      ######
      #....#
      #....#
      ######)", {{'#', 0x000000}, {'.', 0xFFFFFF}}));
  std::string path = (std::filesystem::temp_directory_path() / ("orv-windowing-frame-" + std::to_string(::getpid()) + ".png")).string();
  EXPECT_TRUE(headless::SaveWindowPng(w, path));
  TSurface back;
  ASSERT_TRUE(ReadPng(path, back));
  EXPECT_EQ(back.Width(), 6);
  std::remove(path.c_str());
}

TEST_F(Paint, ScrollWindowMovesPixelsAndInvalidatesTheUncoveredStrip) {
  HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
  headless::ProcessMessages();
  HDC dc = GetDC(w);
  HBRUSH b = CreateSolidBrush(kRed);
  RECT r{0, 10, 50, 20};
  FillRect(dc, &r, b);
  DeleteObject(b);
  ReleaseDC(w, dc);
  RECT exposed;
  HRGN update = CreateRectRgn(0, 0, 0, 0);
  ScrollWindowEx(w, 0, -5, nullptr, nullptr, update, &exposed, SW_INVALIDATE);
  EXPECT_EQ(exposed, (RECT{0, 45, 50, 50}));
  TSurface s = headless::CaptureWindow(w);
  EXPECT_EQ(At(s, 5, 5), kRed);
  EXPECT_EQ(At(s, 5, 14), kRed);
  EXPECT_EQ(At(s, 5, 15), RGB(255, 255, 255));
  RECT pending;
  EXPECT_TRUE(GetUpdateRect(w, &pending, FALSE));
  EXPECT_EQ(pending, (RECT{0, 45, 50, 50}));
  DeleteObject(update);
}

TEST_F(Paint, PrintRendersFrameClientAndChildrenIntoAnyDC) {
  HWND w = Make(WS_POPUP | WS_BORDER, 0, 0, 40, 40);  // hidden: printing does not need the screen
  HWND child = MakeChild(w, 5, 5, 10, 10);
  Handlers[w] = [](HWND h, UINT m, WPARAM wp, LPARAM, bool& handled) -> LRESULT {
    if (m != WM_PRINTCLIENT) return 0;
    handled = true;
    HBRUSH b = CreateSolidBrush(kRed);
    RECT r{0, 0, 38, 38};
    FillRect(reinterpret_cast<HDC>(wp), &r, b);
    DeleteObject(b);
    return 0;
  };
  Handlers[child] = [](HWND h, UINT m, WPARAM wp, LPARAM, bool& handled) -> LRESULT {
    if (m != WM_PRINTCLIENT) return 0;
    handled = true;
    HBRUSH b = CreateSolidBrush(kBlue);
    RECT r{0, 0, 10, 10};
    FillRect(reinterpret_cast<HDC>(wp), &r, b);
    DeleteObject(b);
    return 0;
  };
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 40, 40);
  SelectObject(mem, bmp);
  ReleaseDC(nullptr, screen);
  SendMessage(w, WM_PRINT, reinterpret_cast<WPARAM>(mem), PRF_NONCLIENT | PRF_CLIENT | PRF_CHILDREN);
  EXPECT_EQ(GetPixel(mem, 0, 0) & 0xFFFFFF, 0x000000u);  // the frame
  EXPECT_EQ(GetPixel(mem, 2, 2), kRed);
  EXPECT_EQ(GetPixel(mem, 8, 8), kBlue);  // 1 + 5 + 2
  DeleteDC(mem);
  DeleteObject(bmp);
}

TEST_F(Paint, TheScreenComposesLayeredWindowsWithTheirOpacity) {
  HWND below = Make(WS_POPUP | WS_VISIBLE, 0, 0, 20, 20);
  HWND over = Make(WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr, WS_EX_LAYERED);
  Handlers[below] = Filler(RGB(0, 0, 0));
  Handlers[over] = Filler(RGB(200, 100, 0));
  EXPECT_TRUE(SetLayeredWindowAttributes(over, 0, 128, LWA_ALPHA));
  headless::ProcessMessages();
  TSurface screen = headless::CaptureScreen();
  EXPECT_EQ(At(screen, 5, 5), RGB(100, 50, 0));
  EXPECT_EQ(At(screen, 500, 500), GetSysColor(COLOR_BACKGROUND));
  // Per-pixel alpha from a DC: a fully transparent image shows what lies below.
  HDC screenDC = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screenDC);
  HBITMAP bmp = CreateCompatibleBitmap(screenDC, 20, 20);
  SelectObject(mem, bmp);
  ReleaseDC(nullptr, screenDC);
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  SIZE size{20, 20};
  POINT zero{0, 0};
  PatBlt(mem, 0, 0, 20, 20, BLACKNESS);
  EXPECT_TRUE(UpdateLayeredWindow(over, nullptr, nullptr, &size, mem, &zero, 0, &blend, ULW_ALPHA));
  screen = headless::CaptureScreen();
  EXPECT_EQ(At(screen, 5, 5), RGB(0, 0, 0));
  DeleteDC(mem);
  DeleteObject(bmp);
}

TEST_F(Paint, TheCaretBlinksAndStaysOutOfPaintedPixels) {
  HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 40, 30);
  headless::ProcessMessages();
  ASSERT_TRUE(CreateCaret(w, nullptr, 2, 10));
  SetCaretPos(5, 5);
  ShowCaret(w);
  EXPECT_EQ(At(headless::CaptureWindow(w), 5, 5), RGB(0, 0, 0));  // white inverted
  headless::AdvanceTime(GetCaretBlinkTime());
  EXPECT_EQ(At(headless::CaptureWindow(w), 5, 5), RGB(255, 255, 255));
  headless::AdvanceTime(GetCaretBlinkTime());
  EXPECT_EQ(At(headless::CaptureWindow(w), 5, 5), RGB(0, 0, 0));
  // A paint does not paint over the caret: it is taken off first and put back after.
  Handlers[w] = Filler(kRed);
  InvalidateRect(w, nullptr, FALSE);
  headless::ProcessMessages();
  EXPECT_EQ(At(headless::CaptureWindow(w), 5, 5), RGB(0, 255, 255));  // red inverted
  HideCaret(w);
  EXPECT_EQ(At(headless::CaptureWindow(w), 5, 5), kRed);
  DestroyCaret();
  EXPECT_FALSE(ShowCaret(w));
}

TEST_F(Paint, SizableWindowsKeepToTheirMinimumAndMaximumTrackSizes) {
  HWND w = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200);
  Handlers[w] = [](HWND, UINT m, WPARAM, LPARAM lp, bool&) -> LRESULT {
    if (m == WM_GETMINMAXINFO) reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize = {200, 150};
    return 0;
  };
  MoveWindow(w, 0, 0, 50, 50, TRUE);
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, (RECT{0, 0, 200, 150}));
}

// Only a sizing frame or a whole caption holds a window to the track sizes; a popup with a thin
// border (a hint window) is as small as it is made.
TEST_F(Paint, OnlySizableOrCaptionedWindowsKeepToTheMinimumTrackSize) {
  struct TCase {
    const char* name;
    DWORD style;
    RECT expected;
  };
  const TCase cases[] = {
      {"thin border", WS_POPUP | WS_BORDER, {0, 0, 40, 10}},
      {"dialog frame", WS_POPUP | WS_DLGFRAME, {0, 0, 40, 10}},
      {"caption", WS_POPUP | WS_CAPTION, {0, 0, 200, 150}},
      {"sizing frame", WS_POPUP | WS_THICKFRAME, {0, 0, 200, 150}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    HWND w = Make(c.style | WS_VISIBLE, 0, 0, 300, 200);
    Handlers[w] = [](HWND, UINT m, WPARAM, LPARAM lp, bool&) -> LRESULT {
      if (m == WM_GETMINMAXINFO) reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize = {200, 150};
      return 0;
    };
    MoveWindow(w, 0, 0, 40, 10, TRUE);
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r, c.expected);
  }
}

}  // namespace
}  // namespace orv::test
