// Mouse input, activation, focus and capture.
#include "TestWindows.h"

namespace orv::test {
namespace {

using Input = TWindowTest;

TEST_F(Input, AClickActivatesThroughMouseActivateAndSetsTheCursor) {
  HWND a = Make(WS_OVERLAPPED | WS_VISIBLE, 0, 0, 200, 200);
  HWND b = Make(WS_OVERLAPPED | WS_VISIBLE, 300, 0, 200, 200);
  HWND child = MakeChild(a, 10, 10, 50, 50);
  EXPECT_EQ(GetActiveWindow(), b);
  Clear();
  headless::Click(30, 40);
  headless::ProcessMessages();
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetFocus(), a);
  std::vector<std::pair<HWND, UINT>> got;
  for (const TRecorded& r : Log)
    if (r.Message == WM_MOUSEACTIVATE || r.Message == WM_ACTIVATE || r.Message == WM_NCACTIVATE ||
        r.Message == WM_SETCURSOR || r.Message == WM_LBUTTONDOWN || r.Message == WM_KILLFOCUS ||
        r.Message == WM_SETFOCUS)
      got.push_back({r.Window, r.Message});
  // The press first asks the child (and through it the parent) for activation.
  std::vector<std::pair<HWND, UINT>> expected = {
      {child, WM_SETCURSOR},     {a, WM_SETCURSOR},   // the move, passed up by the default handling
      {child, WM_MOUSEACTIVATE}, {a, WM_MOUSEACTIVATE},
      {b, WM_NCACTIVATE},        {b, WM_ACTIVATE},    {a, WM_NCACTIVATE}, {a, WM_ACTIVATE},
      {b, WM_KILLFOCUS},         {a, WM_SETFOCUS},
      {child, WM_SETCURSOR},     {a, WM_SETCURSOR},   {child, WM_LBUTTONDOWN},
      {child, WM_SETCURSOR},     {a, WM_SETCURSOR}};
  EXPECT_EQ(got, expected);
  auto act = Recorded(a, WM_ACTIVATE);
  EXPECT_EQ(LOWORD(act[0].WParam), WA_CLICKACTIVE);
  EXPECT_EQ(act[0].LParam, reinterpret_cast<LPARAM>(b));
  auto down = Recorded(child, WM_LBUTTONDOWN);
  POINT p{30, 40};
  ScreenToClient(child, &p);  // the overlapped window has a caption and a frame
  EXPECT_EQ(down[0].LParam, MAKELPARAM(p.X, p.Y));
  EXPECT_EQ(down[0].WParam, MK_LBUTTON);
  auto sc = Recorded(child, WM_SETCURSOR);
  EXPECT_EQ(sc[1].LParam, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
  // When the active window goes, the next window in the z-order takes over.
  DestroyWindow(a);
  EXPECT_EQ(GetActiveWindow(), b);
  EXPECT_EQ(GetFocus(), b);
}

TEST_F(Input, NoActivateAnswersKeepTheActiveWindowAndEatingDropsTheClick) {
  HWND main = Make(WS_OVERLAPPED | WS_VISIBLE, 0, 0, 200, 200);
  HWND bar = Make(WS_POPUP | WS_VISIBLE, 300, 0, 100, 100, main);
  SetActiveWindow(main);
  int answer = MA_NOACTIVATE;
  Handlers[bar] = [&](HWND, UINT m, WPARAM, LPARAM, bool& handled) -> LRESULT {
    handled = m == WM_MOUSEACTIVATE;
    return answer;
  };
  headless::Click(350, 50);
  Clear();
  headless::ProcessMessages();
  EXPECT_EQ(GetActiveWindow(), main);
  EXPECT_EQ(Count(bar, WM_LBUTTONDOWN), 1);
  answer = MA_NOACTIVATEANDEAT;
  headless::Click(350, 50);
  Clear();
  headless::ProcessMessages();
  EXPECT_EQ(Count(bar, WM_LBUTTONDOWN), 0);
  EXPECT_EQ(Count(bar, WM_LBUTTONUP), 1);
}

TEST_F(Input, DoubleClicksNeedTheClassStyleTheTimeAndThePlace) {
  WNDCLASS wc{};
  wc.lpfnWndProc = TWindowTest::Proc;
  wc.lpszClassName = "NoDbl";
  RegisterClass(&wc);
  HWND dbl = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND plain = CreateWindowEx(0, "NoDbl", "", WS_POPUP | WS_VISIBLE, 200, 0, 100, 100, nullptr,
                              nullptr, nullptr, nullptr);
  headless::DoubleClick(50, 50);
  headless::DoubleClick(250, 50);
  headless::ProcessMessages();
  EXPECT_EQ(Messages(dbl, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}));
  EXPECT_EQ(Messages(plain, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDOWN}));
  Clear();
  headless::Click(50, 50);
  headless::ProcessMessages();
  AdvanceClock(GetDoubleClickTime() + 1);
  headless::Click(50, 50);  // too late
  headless::Click(58, 50);  // too far
  headless::ProcessMessages();
  EXPECT_EQ(Count(dbl, WM_LBUTTONDBLCLK), 0);
}

TEST_F(Input, CaptureTakesAllMouseInputUntilReleased) {
  HWND a = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND b = Make(WS_POPUP | WS_VISIBLE, 200, 0, 100, 100);
  SetCapture(a);
  headless::MouseMove(250, 50);
  headless::ProcessMessages();
  auto moves = Recorded(a, WM_MOUSEMOVE);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0].LParam, MAKELPARAM(250, 50));
  EXPECT_EQ(Count(b, WM_MOUSEMOVE), 0);
  EXPECT_EQ(Count(a, WM_SETCURSOR), 0);
  Clear();
  EXPECT_EQ(SetCapture(b), a);
  EXPECT_EQ(Messages(a, {WM_CAPTURECHANGED}), (std::vector<UINT>{WM_CAPTURECHANGED}));
  EXPECT_EQ(Recorded(a, WM_CAPTURECHANGED)[0].LParam, reinterpret_cast<LPARAM>(b));
  // Destroying the capture window lets the capture go.
  DestroyWindow(b);
  EXPECT_EQ(GetCapture(), nullptr);
  SetCapture(a);
  Clear();
  SendMessage(a, WM_CANCELMODE, 0, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Count(a, WM_CAPTURECHANGED), 1);
}

TEST_F(Input, WheelGoesToTheFocusAndUpTheParentChain) {
  HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, 0, 0, 200, 200);
  HWND child = MakeChild(top, 0, 0, 50, 50);
  SetFocus(child);
  headless::MouseMove(150, 150);
  headless::Wheel(-WHEEL_DELTA);
  Clear();
  headless::ProcessMessages();
  auto c = Recorded(child, WM_MOUSEWHEEL);
  ASSERT_EQ(c.size(), 1u);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(c[0].WParam), -120);
  EXPECT_EQ(c[0].LParam, MAKELPARAM(150, 150));
  EXPECT_EQ(Count(top, WM_MOUSEWHEEL), 1);
  UINT lines = 0;
  SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  EXPECT_EQ(lines, 3u);
}

TEST_F(Input, MouseLeaveIsPostedWhenThePointerLeavesATrackedWindow) {
  HWND top = Make(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
  HWND child = MakeChild(top, 0, 0, 50, 50);
  headless::MouseMove(10, 10);
  headless::ProcessMessages();
  TRACKMOUSEEVENT t;
  t.dwFlags = TME_LEAVE;
  t.hwndTrack = child;
  EXPECT_TRUE(TrackMouseEvent(&t));
  headless::MouseMove(20, 20);
  headless::ProcessMessages();
  EXPECT_EQ(Count(child, WM_MOUSELEAVE), 0);
  headless::MouseMove(100, 100);
  headless::ProcessMessages();
  EXPECT_EQ(Count(child, WM_MOUSELEAVE), 1);
  headless::MouseMove(120, 120);
  headless::ProcessMessages();
  EXPECT_EQ(Count(child, WM_MOUSELEAVE), 1);  // once
  // Tracking a window the pointer is not over reports the leave at once.
  t.hwndTrack = child;
  TrackMouseEvent(&t);
  headless::ProcessMessages();
  EXPECT_EQ(Count(child, WM_MOUSELEAVE), 2);
}

TEST_F(Input, ADisabledOwnerTakesNoClicksWhileItsModalWindowIsUp) {
  HWND owner = Make(WS_OVERLAPPED | WS_VISIBLE, 0, 0, 200, 200);
  HWND modal = Make(WS_POPUP | WS_VISIBLE, 300, 0, 100, 100, owner);
  EnableWindow(owner, FALSE);
  std::vector<TSoundEvent> sounds;
  SetSoundSink([&](const TSoundEvent& e) { sounds.push_back(e); });
  SetActiveWindow(owner);
  Clear();
  headless::Click(50, 50);
  headless::ProcessMessages();
  EXPECT_EQ(Count(owner, WM_LBUTTONDOWN), 0);
  EXPECT_EQ(GetActiveWindow(), modal);
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_TRUE(sounds[0].Beep);
}

TEST_F(Input, AppActivationIsAnnouncedToEveryTopLevelWindow) {
  HWND a = Make(WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 100);
  HWND hidden = Make(WS_POPUP, 0, 0, 10, 10);
  Clear();
  headless::SetAppActive(false);
  headless::ProcessMessages();
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetForegroundWindow(), nullptr);
  EXPECT_EQ(Messages(a, {WM_NCACTIVATE, WM_ACTIVATE, WM_ACTIVATEAPP, WM_KILLFOCUS}),
            (std::vector<UINT>{WM_NCACTIVATE, WM_ACTIVATE, WM_ACTIVATEAPP, WM_KILLFOCUS}));
  EXPECT_EQ(Recorded(a, WM_KILLFOCUS)[0].WParam, 0u);
  EXPECT_EQ(Count(hidden, WM_ACTIVATEAPP), 1);
  Clear();
  headless::SetAppActive(true);
  headless::ProcessMessages();
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(Recorded(hidden, WM_ACTIVATEAPP)[0].WParam, WPARAM(TRUE));
}

TEST_F(Input, AChildOfTheDesktopShowsOnTopWithoutTakingTheActivation) {
  HWND main = Make(WS_OVERLAPPED | WS_VISIBLE, 0, 0, 300, 300);
  HWND sink = Make(WS_POPUP, 0, 0, 0, 0, nullptr, WS_EX_TOOLWINDOW);
  // The drop-down of a popup that does not capture the focus: made a child, then given to the
  // desktop.
  HWND dropDown = Make(WS_CHILD, 0, 0, 80, 60, sink, WS_EX_TOOLWINDOW);
  SetParent(dropDown, nullptr);
  EXPECT_EQ(GetAncestor(dropDown, GA_PARENT), GetDesktopWindow());
  SetWindowPos(dropDown, HWND_TOPMOST, 50, 50, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  Clear();
  headless::Click(60, 60);
  headless::ProcessMessages();
  EXPECT_EQ(GetActiveWindow(), main);
  EXPECT_EQ(Count(dropDown, WM_LBUTTONDOWN), 1);
  EXPECT_EQ(WindowFromPoint({60, 60}), dropDown);
  TSurface screen = headless::CaptureScreen();
  EXPECT_EQ(PixelToColor(screen.Pixel(60, 60)) & 0xFFFFFF, GetSysColor(COLOR_WINDOW));
}

TEST_F(Input, TheCursorComesFromSetCursorAnswers) {
  WNDCLASS wc{};
  wc.lpfnWndProc = TWindowTest::Proc;
  wc.hCursor = LoadCursor(nullptr, IDC_IBEAM);
  wc.lpszClassName = "Beam";
  RegisterClass(&wc);
  HWND w = CreateWindowEx(0, "Beam", "", WS_POPUP | WS_VISIBLE | WS_THICKFRAME, 0, 0, 100, 100,
                          nullptr, nullptr, nullptr, nullptr);
  headless::MouseMove(50, 50);
  headless::ProcessMessages();
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_IBEAM));
  EXPECT_EQ(GetSystemCursorId(GetCursor()), 32513);
  headless::MouseMove(1, 50);  // the sizing frame
  headless::ProcessMessages();
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_SIZEWE));
  EXPECT_EQ(Recorded(w, WM_NCMOUSEMOVE).back().WParam, WPARAM(HTLEFT));
  // A cursor of the program's own, from masks, registered under its name.
  unsigned char andMask[32], xorMask[32] = {};
  for (int row = 0; row < 16; ++row) {
    andMask[2 * row] = 0x00;  // the left half is drawn (black) ...
    andMask[2 * row + 1] = 0xFF;  // ... the right half is transparent
  }
  HCURSOR own = CreateCursor(nullptr, 3, 4, 16, 16, andMask, xorMask);
  RegisterCursorResource("CX_DRAGCURSOR", own);
  EXPECT_EQ(LoadCursor(GetModuleHandle(nullptr), "CX_DRAGCURSOR"), own);
  TSurface image;
  POINT hot;
  ASSERT_TRUE(GetCursorImage(own, image, hot));
  EXPECT_EQ(hot, (POINT{3, 4}));
  EXPECT_EQ(image.Pixel(0, 0), MakePixel(0, 0, 0, 255));
  EXPECT_EQ(image.Pixel(15, 0), 0u);
  EXPECT_TRUE(DestroyCursor(own));
}

}  // namespace
}  // namespace orv::test
