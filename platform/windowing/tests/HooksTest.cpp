// Thread hooks as the component library uses them: a call-window hook that swallows a sent
// message by subclassing the window for one message, a get-message hook that rewrites, mouse
// and keyboard hooks that discard, chains and re-entry.
#include "TestWindows.h"

namespace orv::test {
namespace {

using Hooks = TWindowTest;

HHOOK gHook = nullptr;
HHOOK gHook2 = nullptr;
HWND gSwallowFor = nullptr;
WNDPROC gSaved = nullptr;
std::vector<std::string> gTrace;

// Answers 1 without handling, after putting the window's own procedure back.
LRESULT SwallowOnce(HWND w, UINT, WPARAM, LPARAM) {
  SetWindowLongPtr(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gSaved));
  return 1;
}

LRESULT CallWndHook(int code, WPARAM wParam, LPARAM lParam) {
  auto* cwp = reinterpret_cast<CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && cwp->message == WM_NCACTIVATE && cwp->wParam == 0 && cwp->hwnd == gSwallowFor) {
    gSaved = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(cwp->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SwallowOnce)));
  }
  return CallNextHookEx(gHook, code, wParam, lParam);
}

TEST_F(Hooks, CallWindowHookSwallowsASentMessageAndLeavesTheProcedureIntact) {
  HWND form = Make(WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 100);
  gSwallowFor = form;
  gHook = SetWindowsHookEx(WH_CALLWNDPROC, CallWndHook, nullptr, GetCurrentThreadId());
  ASSERT_NE(gHook, nullptr);
  Clear();
  EXPECT_EQ(SendMessage(form, WM_NCACTIVATE, 0, 0), 1);
  EXPECT_EQ(Count(form, WM_NCACTIVATE), 0);  // the window never saw it
  EXPECT_EQ(GetWindowLongPtr(form, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&TWindowTest::Proc));
  SendMessage(form, WM_NCACTIVATE, 1, 0);
  EXPECT_EQ(Count(form, WM_NCACTIVATE), 1);
  // Posted and dispatched messages do not pass the call-window hook.
  gSwallowFor = nullptr;
  EXPECT_TRUE(UnhookWindowsHookEx(gHook));
  EXPECT_FALSE(UnhookWindowsHookEx(gHook));
}

LRESULT GetMsgHook(int code, WPARAM wParam, LPARAM lParam) {
  auto* m = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && m->message == WM_SYSKEYDOWN && m->wParam == 'Q')
    m->message = WM_NULL;
  return CallNextHookEx(gHook, code, wParam, lParam);
}

TEST_F(Hooks, GetMessageHookRewritesWhatTheQueueHandsOut) {
  HWND w = Make(WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 100);
  SetFocus(w);
  gHook = SetWindowsHookEx(WH_GETMESSAGE, GetMsgHook, nullptr, GetCurrentThreadId());
  headless::PressKey('Q', false, false, true);
  headless::PressKey('W', false, false, true);
  Clear();
  headless::ProcessMessages();
  std::vector<WPARAM> sysKeys;
  for (const TRecorded& r : Recorded(w, WM_SYSKEYDOWN)) sysKeys.push_back(r.WParam);
  EXPECT_EQ(sysKeys, (std::vector<WPARAM>{VK_MENU, VK_MENU, 'W'}));
  UnhookWindowsHookEx(gHook);
}

LRESULT MouseHook(int code, WPARAM wParam, LPARAM lParam) {
  auto* m = reinterpret_cast<MOUSEHOOKSTRUCT*>(lParam);
  gTrace.push_back("mouse " + std::to_string(wParam) + " hit " + std::to_string(m->wHitTestCode));
  if (code == HC_ACTION && wParam == WM_RBUTTONDOWN) return 1;  // discarded
  return CallNextHookEx(gHook, code, wParam, lParam);
}

TEST_F(Hooks, MouseHookSeesTheTargetAndHitCodeAndMayDiscard) {
  HWND w = Make(WS_POPUP | WS_VISIBLE | WS_BORDER, 0, 0, 100, 100);
  gTrace.clear();
  gHook = SetWindowsHookEx(WH_MOUSE, MouseHook, nullptr, GetCurrentThreadId());
  headless::Click(50, 50, 1);
  headless::Click(0, 50, 0);  // on the border
  Clear();
  headless::ProcessMessages();
  EXPECT_EQ(Count(w, WM_RBUTTONDOWN), 0);
  EXPECT_EQ(Count(w, WM_RBUTTONUP), 1);
  EXPECT_EQ(Count(w, WM_NCLBUTTONDOWN), 1);
  std::vector<std::string> expected = {"mouse 512 hit 1", "mouse 516 hit 1", "mouse 517 hit 1",
                                       "mouse 160 hit 18", "mouse 161 hit 18", "mouse 162 hit 18"};
  EXPECT_EQ(gTrace, expected);
  // A discarded button press still counts as pressed in the key state.
  EXPECT_EQ(GetKeyState(VK_RBUTTON) & 0x8000, 0);
  UnhookWindowsHookEx(gHook);
}

int gRemembered = 0;

// The shortcut pattern of the bars: a consumed key-down also swallows its key-up.
LRESULT KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
  bool up = (lParam & KF_UP_BIT) != 0;
  LRESULT consumed = 0;
  if (code == HC_ACTION) {
    if (up && int(wParam) == gRemembered) {
      gRemembered = 0;
      consumed = 1;
    } else if (!up && wParam == 'C' && GetKeyState(VK_CONTROL) < 0) {
      gRemembered = int(wParam);
      consumed = 1;
    }
  }
  LRESULT next = CallNextHookEx(gHook, code, wParam, lParam);
  return consumed ? 1 : next;
}

TEST_F(Hooks, KeyboardHookConsumesKeysBeforeTheFocusedWindow) {
  HWND w = Make(WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 100);
  SetFocus(w);
  gHook = SetWindowsHookEx(WH_KEYBOARD, KeyboardHook, nullptr, GetCurrentThreadId());
  headless::PressKey('C', false, true);
  headless::PressKey('V', false, true);
  Clear();
  headless::ProcessMessages();
  std::vector<WPARAM> keys;
  for (const TRecorded& r : Log)
    if (r.Message == WM_KEYDOWN || r.Message == WM_KEYUP) keys.push_back(r.WParam);
  EXPECT_EQ(keys, (std::vector<WPARAM>{VK_CONTROL, VK_CONTROL, VK_CONTROL, 'V', 'V', VK_CONTROL}));
  EXPECT_EQ(Count(w, WM_CHAR), 1);  // Ctrl+V only
  UnhookWindowsHookEx(gHook);
}

LRESULT Outer(int code, WPARAM wParam, LPARAM lParam) {
  gTrace.push_back("outer");
  return CallNextHookEx(gHook2, code, wParam, lParam);
}

LRESULT Inner(int code, WPARAM wParam, LPARAM lParam) {
  auto* cwp = reinterpret_cast<CWPSTRUCT*>(lParam);
  gTrace.push_back("inner " + std::to_string(cwp->message));
  if (cwp->message == WM_USER) {
    // A hook that opens a modal loop: its messages pass the hooks again.
    SendMessage(cwp->hwnd, WM_USER + 1, 0, 0);
    PostMessage(cwp->hwnd, WM_USER + 2, 0, 0);
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
    UnhookWindowsHookEx(gHook2);  // removing itself while it runs
  }
  return CallNextHookEx(gHook, code, wParam, lParam);
}

TEST_F(Hooks, ChainsRunNewestFirstAndMayBeReentered) {
  HWND w = Make(WS_POPUP, 0, 0, 10, 10);
  gTrace.clear();
  gHook = SetWindowsHookEx(WH_CALLWNDPROC, Inner, nullptr, GetCurrentThreadId());
  gHook2 = SetWindowsHookEx(WH_CALLWNDPROC, Outer, nullptr, GetCurrentThreadId());
  Clear();
  SendMessage(w, WM_USER, 0, 0);
  std::vector<std::string> expected = {"outer", "inner 1024", "outer", "inner 1025"};
  EXPECT_EQ(gTrace, expected);
  EXPECT_EQ(Messages(w), (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER}));
  gTrace.clear();
  SendMessage(w, WM_USER + 3, 0, 0);
  EXPECT_EQ(gTrace, (std::vector<std::string>{"inner 1027"}));
  UnhookWindowsHookEx(gHook);
  EXPECT_EQ(SetWindowsHookEx(WH_CBT, Outer, nullptr, 0), nullptr);  // kinds the system lacks
}

}  // namespace
}  // namespace orv::test
