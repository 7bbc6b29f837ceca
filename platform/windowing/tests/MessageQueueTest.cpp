// The message queue: posting, peeking with filters, quitting, nested loops, dispatching,
// registered messages, key messages with their key data and their translation into characters.
#include "TestWindows.h"

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Exceptions.h"

namespace orv::test {
namespace {

using MessageQueue = TWindowTest;

TEST_F(MessageQueue, PeekTakesPostedMessagesInOrderWithinFilters) {
  HWND a = Make(WS_POPUP, 0, 0, 10, 10);
  HWND b = Make(WS_POPUP, 0, 0, 10, 10);
  PostMessage(a, WM_USER + 1, 1, 0);
  PostMessage(b, WM_USER + 2, 2, 0);
  PostMessage(a, 0x807D, 3, 0);  // a private message of the component library
  PostMessage(nullptr, WM_USER + 4, 4, 0);
  MSG m;
  // Peeking without removing leaves the message where it is.
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, WM_USER + 1u);
  // A window filter and a range pick from the middle.
  ASSERT_TRUE(PeekMessage(&m, a, 0x8000, 0x80FF, PM_REMOVE));
  EXPECT_EQ(m.wParam, 3u);
  ASSERT_TRUE(PeekMessage(&m, b, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.wParam, 2u);
  EXPECT_FALSE(PeekMessage(&m, b, 0, 0, PM_REMOVE));
  // (HWND)-1: thread messages only.
  ASSERT_TRUE(PeekMessage(&m, reinterpret_cast<HWND>(std::intptr_t(-1)), 0, 0, PM_REMOVE));
  EXPECT_EQ(m.wParam, 4u);
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.wParam, 1u);
  EXPECT_FALSE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  // Posting to a window that is gone fails.
  DestroyWindow(a);
  EXPECT_FALSE(PostMessage(a, WM_USER, 0, 0));
}

TEST_F(MessageQueue, QuitEndsGetMessageAfterThePostedMessages) {
  HWND w = Make(WS_POPUP, 0, 0, 10, 10);
  PostMessage(w, WM_USER, 0, 0);
  PostQuitMessage(7);
  MSG m;
  EXPECT_TRUE(GetMessage(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_USER);
  // A filtered peek meets the quit message too, whatever its range.
  EXPECT_TRUE(PeekMessage(&m, w, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_FALSE(GetMessage(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 7u);
  // With nothing to come a loop does not hang.
  EXPECT_THROW(GetMessage(&m, nullptr, 0, 0), EInvalidOperation);
}

TEST_F(MessageQueue, ModalLoopsNestInsideHandlers) {
  HWND w = Make(WS_POPUP, 0, 0, 10, 10);
  std::vector<int> order;
  int depth = 0;
  Handlers[w] = [&](HWND h, UINT m, WPARAM wp, LPARAM, bool& handled) -> LRESULT {
    if (m != WM_USER) return 0;
    handled = true;
    order.push_back(int(wp));
    if (wp == 1) {
      // A handler that runs its own loop until the message it waits for.
      ++depth;
      PostMessage(h, WM_USER, 2, 0);
      PostMessage(h, WM_USER, 99, 0);
      MSG msg;
      while (GetMessage(&msg, nullptr, 0, 0)) {
        DispatchMessage(&msg);
        if (msg.wParam == 99) break;
      }
      --depth;
      order.push_back(-1);
    }
    return 0;
  };
  PostMessage(w, WM_USER, 1, 0);
  PostMessage(w, WM_USER, 3, 0);
  headless::ProcessMessages();
  EXPECT_EQ(order, (std::vector<int>{1, 3, 2, 99, -1}));
  EXPECT_EQ(depth, 0);
}

TEST_F(MessageQueue, SentMessagesRunAtOnceAndDispatchReachesTheProcedure) {
  HWND w = Make(WS_POPUP, 0, 0, 10, 10);
  Handlers[w] = [&](HWND h, UINT m, WPARAM wp, LPARAM, bool& handled) -> LRESULT {
    if (m != WM_USER) return 0;
    handled = true;
    return wp < 3 ? 1 + SendMessage(h, WM_USER, wp + 1, 0) : 100;
  };
  EXPECT_EQ(SendMessage(w, WM_USER, 0, 0), 103);
  EXPECT_TRUE(SendNotifyMessage(w, WM_USER, 3, 0));
  MSG m{};
  m.hwnd = w;
  m.message = WM_USER;
  m.wParam = 2;
  EXPECT_EQ(DispatchMessage(&m), 101);
}

TEST_F(MessageQueue, RegisteredMessagesAreStablePerName) {
  UINT a = RegisterWindowMessage("{B2CE3777-44D8-4998-9701-47BBBC10B656}");
  UINT b = RegisterWindowMessage("{B2CE3777-44D8-1321-4656-12C54AA613BB}");
  EXPECT_GE(a, 0xC000u);
  EXPECT_NE(a, b);
  EXPECT_EQ(RegisterWindowMessage("{b2ce3777-44d8-4998-9701-47bbbc10b656}"), a);
}

TEST_F(MessageQueue, KeyMessagesCarryTheKeyData) {
  HWND w = Make(WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 100);
  SetFocus(w);
  headless::KeyDown(VK_DOWN, true);
  headless::KeyDown(VK_DOWN, true);  // auto-repeat
  headless::KeyUp(VK_DOWN, true);
  headless::KeyDown(VK_MENU);
  headless::KeyDown('F');
  headless::KeyUp('F');
  headless::KeyUp(VK_MENU);
  headless::PressKey(VK_F10);
  Clear();
  headless::ProcessMessages();
  std::vector<std::pair<UINT, std::uint32_t>> got;
  for (const TRecorded& r : Log)
    if (r.Message >= WM_KEYFIRST && r.Message <= WM_KEYLAST)
      got.push_back({r.Message, std::uint32_t(r.LParam)});
  const std::uint32_t downScan = 0x50u << 16, fScan = 0x21u << 16, altScan = 0x38u << 16;
  const std::uint32_t f10Scan = 0x44u << 16;
  std::vector<std::pair<UINT, std::uint32_t>> expected = {
      {WM_KEYDOWN, 1 | downScan | 0x01000000},                        // extended
      {WM_KEYDOWN, 1 | downScan | 0x01000000 | 0x40000000},           // previous state down
      {WM_KEYUP, 1 | downScan | 0x01000000 | 0xC0000000},             // up: previous + transition
      {WM_SYSKEYDOWN, 1 | altScan | 0x20000000},                      // Alt: context code
      {WM_SYSKEYDOWN, 1 | fScan | 0x20000000},                        // Alt+F
      {WM_SYSCHAR, 1 | fScan | 0x20000000},                           // translated
      {WM_SYSKEYUP, 1 | fScan | 0x20000000 | 0xC0000000},
      {WM_KEYUP, 1 | altScan | 0xC0000000},
      {WM_SYSKEYDOWN, 1 | f10Scan},                                   // F10 without Alt
      {WM_SYSKEYUP, 1 | f10Scan | 0xC0000000},
  };
  EXPECT_EQ(got, expected);
  auto chars = Recorded(w, WM_SYSCHAR);
  ASSERT_EQ(chars.size(), 1u);
  EXPECT_EQ(chars[0].WParam, WPARAM('f'));
}

TEST_F(MessageQueue, TranslateMakesCharactersWithShiftControlAndTypedText) {
  HWND w = Make(WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 100);
  SetFocus(w);
  headless::PressKey('A');
  headless::PressKey('A', true);
  headless::PressKey('C', false, true);
  headless::PressKey('1', true);
  headless::PressKey(VK_RETURN);
  headless::PressKey(VK_LEFT);  // no character
  headless::TypeText("Ок, 1!"_a);
  Clear();
  headless::ProcessMessages();
  AnsiString text;
  for (const TRecorded& r : Recorded(w, WM_CHAR)) text += char(r.WParam);
  EXPECT_EQ(text, "aA\x03!\rОк, 1!"_a);
  EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0);
  EXPECT_EQ(GetAsyncKeyState('A'), 0);
  // Characters typed in the desktop's input method arrive as they are.
  TInputEvent ev;
  ev.Kind = TInputKind::Char;
  ev.Char = "Ж"_a.c_str()[0];
  PostInputEvent(ev);
  Clear();
  headless::ProcessMessages();
  ASSERT_EQ(Count(w, WM_CHAR), 1);
  EXPECT_EQ(char(Recorded(w, WM_CHAR)[0].WParam), "Ж"_a.c_str()[0]);
}

TEST_F(MessageQueue, KeyStateFollowsTheMessagesAndAsyncStateTheKeyboard) {
  HWND w = Make(WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 100);
  SetFocus(w);
  headless::KeyDown(VK_SHIFT);
  EXPECT_NE(GetAsyncKeyState(VK_SHIFT) & 0x8000, 0);
  EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0);  // not handed out yet
  SHORT seen = 0;
  Handlers[w] = [&](HWND, UINT m, WPARAM wp, LPARAM, bool&) -> LRESULT {
    if (m == WM_KEYDOWN && wp == 'X') seen = GetKeyState(VK_SHIFT);
    return 0;
  };
  headless::PressKey('X');
  headless::ProcessMessages();
  EXPECT_LT(seen, 0);
  headless::KeyUp(VK_SHIFT);
  headless::PressKey(VK_CAPITAL);
  headless::ProcessMessages();
  EXPECT_EQ(GetKeyState(VK_CAPITAL), 1);  // toggled, up
  BYTE state[256];
  GetKeyboardState(state);
  EXPECT_EQ(state[VK_CAPITAL], 1);
  WORD ch[2];
  EXPECT_EQ(ToAscii('Q', 0, state, ch, 0), 1);
  EXPECT_EQ(ch[0], WORD('Q'));
  EXPECT_EQ(MapVirtualKey(VK_RETURN, MAPVK_VK_TO_VSC), 0x1Cu);
  EXPECT_EQ(VkKeyScan('?'), SHORT(0x100 | VK_OEM_2));
}

TEST_F(MessageQueue, WithoutFocusKeysGoToTheActiveWindowAsSystemKeys) {
  HWND w = Make(WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 100);
  SetFocus(nullptr);
  headless::PressKey('K');
  Clear();
  headless::ProcessMessages();
  EXPECT_EQ(Messages(w, {WM_KEYDOWN, WM_SYSKEYDOWN, WM_SYSKEYUP}),
            (std::vector<UINT>{WM_SYSKEYDOWN, WM_SYSKEYUP}));
}

}  // namespace
}  // namespace orv::test
