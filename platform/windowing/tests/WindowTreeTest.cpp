// The window tree: creation and destruction messages, relations, z-order, position and size,
// visibility, hit searches, coordinate mapping and window data.
#include "TestWindows.h"

#include "platform/runtime/AnsiString.h"

namespace orv::test {
namespace {

using WindowTree = TWindowTest;

TEST_F(WindowTree, CreationSendsTheCreationMessagesInOrder) {
  HWND w = Make(WS_POPUP, 10, 20, 100, 50);
  ASSERT_TRUE(IsWindow(w));
  EXPECT_EQ(Messages(w, {WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE}),
            (std::vector<UINT>{WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE}));
  auto size = Recorded(w, WM_SIZE);
  EXPECT_EQ(size[0].LParam, MAKELPARAM(100, 50));
  EXPECT_FALSE(IsWindowVisible(w));

  // A creation refused by WM_CREATE leaves no window.
  Handlers[nullptr] = nullptr;
  AnyHandler = [](HWND, UINT m, WPARAM, LPARAM, bool& handled) -> LRESULT {
    if (m != WM_CREATE) return 0;
    handled = true;
    return -1;
  };
  HWND refused = Make(WS_POPUP, 0, 0, 10, 10);
  EXPECT_EQ(refused, nullptr);
}

TEST_F(WindowTree, DestructionTellsParentsFirstAndFreesChildrenFirst) {
  HWND top = Make(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
  HWND child = MakeChild(top, 0, 0, 50, 50);
  HWND grandChild = MakeChild(child, 0, 0, 10, 10);
  HWND owned = Make(WS_POPUP, 0, 0, 10, 10, top);
  Clear();
  EXPECT_TRUE(DestroyWindow(top));
  std::vector<std::pair<HWND, UINT>> order;
  for (const TRecorded& m : Log)
    if (m.Message == WM_DESTROY || m.Message == WM_NCDESTROY) order.push_back({m.Window, m.Message});
  std::vector<std::pair<HWND, UINT>> expected = {
      {owned, WM_DESTROY},      {owned, WM_NCDESTROY},      {top, WM_DESTROY},
      {child, WM_DESTROY},      {grandChild, WM_DESTROY},   {grandChild, WM_NCDESTROY},
      {child, WM_NCDESTROY},    {top, WM_NCDESTROY}};
  EXPECT_EQ(order, expected);
  for (HWND h : {top, child, grandChild, owned}) EXPECT_FALSE(IsWindow(h));
  // A stale handle is never taken by a new window.
  HWND again = Make(WS_POPUP, 0, 0, 10, 10);
  EXPECT_NE(again, top);
  EXPECT_EQ(SendMessage(top, WM_USER, 0, 0), 0);
}

TEST_F(WindowTree, ParentOwnerAndAncestors) {
  HWND owner = Make(WS_OVERLAPPED, 0, 0, 200, 200);
  HWND popup = Make(WS_POPUP, 0, 0, 50, 50, owner);
  HWND child = MakeChild(owner, 0, 0, 50, 50);
  HWND inner = MakeChild(child, 0, 0, 5, 5);
  EXPECT_EQ(GetParent(popup), owner);  // a popup's "parent" is its owner
  EXPECT_EQ(GetWindow(popup, GW_OWNER), owner);
  EXPECT_EQ(GetParent(child), owner);
  EXPECT_EQ(GetParent(owner), nullptr);
  EXPECT_EQ(GetAncestor(inner, GA_ROOT), owner);
  EXPECT_EQ(GetAncestor(owner, GA_PARENT), GetDesktopWindow());
  EXPECT_EQ(GetAncestor(popup, GA_ROOTOWNER), owner);
  EXPECT_TRUE(IsChild(owner, inner));
  EXPECT_FALSE(IsChild(owner, popup));
  // Moving a child to another parent keeps it on the same place of the screen.
  HWND other = Make(WS_POPUP | WS_VISIBLE, 300, 300, 100, 100);
  RECT before, after;
  GetWindowRect(child, &before);
  EXPECT_EQ(SetParent(child, other), owner);
  GetWindowRect(child, &after);
  EXPECT_EQ(before, after);
  EXPECT_TRUE(IsChild(other, inner));
}

TEST_F(WindowTree, ZOrderKeepsTheTopmostBandAndOwnedWindowsAboveTheirOwner) {
  HWND a = Make(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
  HWND topmost = Make(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, WS_EX_TOPMOST);
  HWND b = Make(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
  HWND owned = Make(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, a);
  auto order = [] {
    std::vector<HWND> v;
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) v.push_back(h);
    return v;
  };
  EXPECT_EQ(order()[0], topmost);
  SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(order(), (std::vector<HWND>{topmost, owned, a, b}));
  SetWindowPos(b, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(order()[0], b);
  EXPECT_TRUE(GetWindowLong(b, GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetWindowPos(b, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(order(), (std::vector<HWND>{topmost, b, owned, a}));
  SetWindowPos(b, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(order().back(), b);
  // Children: insertion after a sibling.
  HWND c1 = MakeChild(a, 0, 0, 5, 5), c2 = MakeChild(a, 0, 0, 5, 5), c3 = MakeChild(a, 0, 0, 5, 5);
  EXPECT_EQ(GetWindow(a, GW_CHILD), c3);
  SetWindowPos(c3, c1, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(c2, GW_HWNDNEXT), c1);
  EXPECT_EQ(GetWindow(c1, GW_HWNDNEXT), c3);
}

TEST_F(WindowTree, SetWindowPosReportsWhatChanged) {
  HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  Clear();
  SetWindowPos(w, nullptr, 5, 6, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  auto changed = Recorded(w, WM_WINDOWPOSCHANGED);
  ASSERT_EQ(changed.size(), 1u);
  auto* pos = reinterpret_cast<const WINDOWPOS*>(changed[0].LParam);
  (void)pos;  // the record lives on the sender's stack; the messages tell what followed
  EXPECT_EQ(Messages(w, {WM_SIZE, WM_MOVE}), (std::vector<UINT>{WM_MOVE}));
  EXPECT_EQ(Recorded(w, WM_MOVE)[0].LParam, MAKELPARAM(5, 6));

  // WM_WINDOWPOSCHANGING may change the request.
  Handlers[w] = [](HWND, UINT m, WPARAM, LPARAM lp, bool&) -> LRESULT {
    if (m == WM_WINDOWPOSCHANGING) reinterpret_cast<WINDOWPOS*>(lp)->cx = 77;
    return 0;
  };
  Clear();
  MoveWindow(w, 5, 6, 120, 90, TRUE);
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, (RECT{5, 6, 82, 96}));
  EXPECT_EQ(Messages(w, {WM_SIZE, WM_MOVE}), (std::vector<UINT>{WM_SIZE}));
}

TEST_F(WindowTree, ShowWithoutActivationKeepsTheActiveWindow) {
  HWND main = Make(WS_OVERLAPPED | WS_VISIBLE, 0, 0, 300, 300);
  EXPECT_EQ(GetActiveWindow(), main);
  HWND popup = Make(WS_POPUP, 10, 10, 50, 50, main, WS_EX_TOOLWINDOW);
  Clear();
  ShowWindow(popup, SW_SHOWNOACTIVATE);
  EXPECT_TRUE(IsWindowVisible(popup));
  EXPECT_EQ(GetActiveWindow(), main);
  EXPECT_EQ(Count(popup, WM_ACTIVATE), 0);
  EXPECT_EQ(Count(popup, WM_SHOWWINDOW), 1);
  EXPECT_FALSE(ShowWindow(popup, SW_HIDE) == FALSE);
  EXPECT_FALSE(IsWindowVisible(popup));
  // SWP_SHOWWINDOW without SWP_NOACTIVATE activates.
  SetWindowPos(popup, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  EXPECT_EQ(GetActiveWindow(), popup);
  // Hiding the active window gives the activation back to its owner.
  ShowWindow(popup, SW_HIDE);
  EXPECT_EQ(GetActiveWindow(), main);
  // A hidden parent hides its children.
  HWND child = MakeChild(main, 0, 0, 10, 10);
  EXPECT_TRUE(IsWindowVisible(child));
  ShowWindow(main, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(child));
}

TEST_F(WindowTree, CoordinatesMapThroughTheFrames) {
  HWND top = Make(WS_POPUP | WS_VISIBLE | WS_BORDER, 100, 50, 200, 200);
  HWND child = MakeChild(top, 10, 20, 50, 50, WS_VISIBLE | WS_BORDER);
  RECT r;
  GetClientRect(top, &r);
  EXPECT_EQ(r, (RECT{0, 0, 198, 198}));
  POINT p{0, 0};
  ClientToScreen(child, &p);
  EXPECT_EQ(p, (POINT{100 + 1 + 10 + 1, 50 + 1 + 20 + 1}));
  ScreenToClient(top, &p);
  EXPECT_EQ(p, (POINT{11, 21}));
  POINT q[2] = {{0, 0}, {5, 5}};
  int offset = MapWindowPoints(child, top, q, 2);
  EXPECT_EQ(q[1], (POINT{16, 26}));
  EXPECT_EQ(offset, int(MAKELONG(11, 21)));
  RECT adjusted{0, 0, 100, 100};
  AdjustWindowRectEx(&adjusted, WS_CAPTION, FALSE, WS_EX_CLIENTEDGE);
  EXPECT_EQ(adjusted, (RECT{-5, -24, 105, 105}));
}

TEST_F(WindowTree, WindowFromPointSkipsHiddenDisabledAndTransparentWindows) {
  HWND top = Make(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
  HWND child = MakeChild(top, 10, 10, 50, 50);
  EXPECT_EQ(WindowFromPoint({20, 20}), child);
  EXPECT_EQ(WindowFromPoint({100, 100}), top);
  EXPECT_EQ(WindowFromPoint({500, 500}), GetDesktopWindow());
  EnableWindow(child, FALSE);
  EXPECT_EQ(WindowFromPoint({20, 20}), top);
  EXPECT_EQ(ChildWindowFromPointEx(top, {20, 20}, CWP_SKIPDISABLED), top);
  EXPECT_EQ(ChildWindowFromPoint(top, {20, 20}), child);
  EnableWindow(child, TRUE);
  // A window that answers HTTRANSPARENT lets the window below take the point.
  HWND over = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  Handlers[over] = [](HWND, UINT m, WPARAM, LPARAM, bool& handled) -> LRESULT {
    handled = m == WM_NCHITTEST;
    return HTTRANSPARENT;
  };
  EXPECT_EQ(WindowFromPoint({20, 20}), child);
  // A window region cuts the window's shape.
  Handlers.erase(over);
  EXPECT_EQ(WindowFromPoint({20, 20}), over);
  SetWindowRgn(over, CreateRectRgn(50, 50, 100, 100), TRUE);
  EXPECT_EQ(WindowFromPoint({20, 20}), child);
  EXPECT_EQ(WindowFromPoint({60, 60}), over);
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(GetWindowRgn(over, copy), ERROR);
  EXPECT_TRUE(PtInRegion(copy, 60, 60));
  DeleteObject(copy);
}

LRESULT SubclassProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_USER + 1) return 42;
  return CallWindowProc(reinterpret_cast<WNDPROC>(GetProp(w, "old")), w, m, wp, lp);
}

TEST_F(WindowTree, WindowDataTextAndSubclassing) {
  HWND w = Make(WS_POPUP, 0, 0, 10, 10, nullptr, 0, "Москва"_a.c_str());
  char buf[32];
  EXPECT_EQ(GetWindowTextLength(w), 6);
  EXPECT_EQ(GetWindowText(w, buf, sizeof buf), 6);
  EXPECT_EQ(AnsiString(buf), "Москва"_a);
  EXPECT_EQ(GetWindowText(w, buf, 4), 3);
  SetWindowText(w, "abc");
  GetWindowText(w, buf, sizeof buf);
  EXPECT_STREQ(buf, "abc");
  SetWindowLongPtr(w, GWLP_USERDATA, 1234);
  EXPECT_EQ(GetWindowLongPtr(w, GWLP_USERDATA), 1234);
  EXPECT_EQ(GetClassName(w, buf, sizeof buf), 3);
  EXPECT_STREQ(buf, "Rec");
  LONG_PTR old = SetWindowLongPtr(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc));
  SetProp(w, "old", reinterpret_cast<HANDLE>(old));
  EXPECT_EQ(SendMessage(w, WM_USER + 1, 0, 0), 42);
  EXPECT_EQ(SendMessage(w, WM_GETTEXTLENGTH, 0, 0), 3);
  EXPECT_EQ(RemoveProp(w, "old"), reinterpret_cast<HANDLE>(old));
  EXPECT_EQ(GetProp(w, "old"), nullptr);
  // The style change is announced.
  SetWindowLongPtr(w, GWLP_WNDPROC, old);
  Clear();
  SetWindowLong(w, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
  EXPECT_EQ(Messages(w, {WM_STYLECHANGING, WM_STYLECHANGED}),
            (std::vector<UINT>{WM_STYLECHANGING, WM_STYLECHANGED}));
}

TEST_F(WindowTree, DisablingAWindowCancelsItsModesAndTakesItsFocus) {
  HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 100);
  HWND child = MakeChild(top, 0, 0, 10, 10);
  SetFocus(child);
  SetCapture(child);
  Clear();
  EXPECT_FALSE(EnableWindow(child, FALSE));
  EXPECT_EQ(Messages(child, {WM_CANCELMODE, WM_CAPTURECHANGED, WM_KILLFOCUS, WM_ENABLE}),
            (std::vector<UINT>{WM_CANCELMODE, WM_CAPTURECHANGED, WM_KILLFOCUS, WM_ENABLE}));
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(EnableWindow(child, TRUE));
  EXPECT_TRUE(IsWindowEnabled(child));
}

TEST_F(WindowTree, TheDefaultHitTestNamesThePartsOfTheFrame) {
  HWND w = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_VSCROLL, 100, 100, 300, 200);
  RECT r;
  GetWindowRect(w, &r);
  struct TCase {
    POINT At;
    int Hit;
  };
  const TCase cases[] = {
      {{r.Left + 1, r.Top + 100}, HTLEFT},      {{r.Right - 1, r.Top + 100}, HTRIGHT},
      {{r.Left + 1, r.Top + 1}, HTTOPLEFT},     {{r.Right - 2, r.Bottom - 2}, HTBOTTOMRIGHT},
      {{r.Left + 50, r.Top + 10}, HTCAPTION},   {{r.Right - 12, r.Top + 12}, HTCLOSE},
      {{r.Left + 50, r.Top + 100}, HTCLIENT},   {{r.Right - 12, r.Top + 100}, HTVSCROLL},
      {{r.Left - 5, r.Top + 100}, HTNOWHERE},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(c.At.X, c.At.Y)), c.Hit)
        << c.At.X - r.Left << "," << c.At.Y - r.Top;
  // A press and release on the close box closes the window.
  headless::Click(r.Right - 12, r.Top + 12);
  headless::ProcessMessages();
  EXPECT_FALSE(IsWindow(w));
}

}  // namespace
}  // namespace orv::test
