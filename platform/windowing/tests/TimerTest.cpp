// Timers on the hand-driven clock: window and thread timers, due times, killing, late messages.
#include "TestWindows.h"

#include "platform/windowing/UtilWindow.h"

namespace orv::test {
namespace {

using Timers = TWindowTest;

std::vector<std::pair<UINT_PTR, DWORD>> gFired;

void TimerProc(HWND, UINT, UINT_PTR id, DWORD time) { gFired.push_back({id, time}); }

TEST_F(Timers, WindowTimersFireOnTheClockOncePerDueTime) {
  HWND w = Make(WS_POPUP, 0, 0, 10, 10);
  EXPECT_EQ(SetTimer(w, 7, 100, nullptr), 7u);
  EXPECT_EQ(SetTimer(w, 8, 250, nullptr), 8u);
  headless::AdvanceTime(99);
  EXPECT_EQ(Count(w, WM_TIMER), 0);
  headless::AdvanceTime(1);
  ASSERT_EQ(Count(w, WM_TIMER), 1);
  EXPECT_EQ(Recorded(w, WM_TIMER)[0].WParam, 7u);
  Clear();
  headless::AdvanceTime(200);  // t = 300: id 7 at 200 and 300, id 8 at 250
  std::vector<WPARAM> ids;
  for (const TRecorded& r : Recorded(w, WM_TIMER)) ids.push_back(r.WParam);
  EXPECT_EQ(ids, (std::vector<WPARAM>{7, 8, 7}));
  // A timer overdue many times fires once.
  Clear();
  AdvanceClock(1000);
  headless::ProcessMessages();
  EXPECT_EQ(Count(w, WM_TIMER), 2);
  EXPECT_TRUE(KillTimer(w, 7));
  EXPECT_FALSE(KillTimer(w, 7));
  Clear();
  headless::AdvanceTime(500);
  for (const TRecorded& r : Recorded(w, WM_TIMER)) EXPECT_EQ(r.WParam, 8u);
  // Destroying the window ends its timers.
  DestroyWindow(w);
  EXPECT_FALSE(KillTimer(w, 8));
}

TEST_F(Timers, ThreadTimersCallTheirProcedureAndLateMessagesAreDropped) {
  gFired.clear();
  UINT_PTR id = SetTimer(nullptr, 0, 5, TimerProc);  // below the minimum: 10 ms
  ASSERT_NE(id, 0u);
  headless::AdvanceTime(9);
  EXPECT_TRUE(gFired.empty());
  headless::AdvanceTime(1);
  ASSERT_EQ(gFired.size(), 1u);
  EXPECT_EQ(gFired[0], (std::pair<UINT_PTR, DWORD>{id, 10}));
  // A WM_TIMER taken from the queue after the timer was killed calls nothing.
  AdvanceClock(10);
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
  KillTimer(nullptr, id);
  DispatchMessage(&m);
  EXPECT_EQ(gFired.size(), 1u);
  // Resetting a timer with the same id replaces it.
  UINT_PTR again = SetTimer(nullptr, 0, 50, TimerProc);
  EXPECT_EQ(SetTimer(nullptr, again, 20, TimerProc), again);
  headless::AdvanceTime(20);
  EXPECT_EQ(gFired.size(), 2u);
}

// The components' timer window: one hidden window, a list of running ids.
struct TTimerOwner {
  std::vector<UINT_PTR> Active;
  std::vector<UINT_PTR> Ticks;
  void WndProc(TMessage& m) {
    if (m.Msg == WM_TIMER) {
      if (std::find(Active.begin(), Active.end(), m.WParam) != Active.end()) Ticks.push_back(m.WParam);
      return;
    }
    m.Result = DefWindowProc(nullptr, m.Msg, m.WParam, m.LParam);
  }
};

TEST_F(Timers, AUtilityWindowServesTimersAndIgnoresInactiveIds) {
  TTimerOwner owner;
  HWND w = AllocateHWnd(TWndMethod(&owner, &TTimerOwner::WndProc));
  ASSERT_TRUE(IsWindow(w));
  EXPECT_FALSE(IsWindowVisible(w));
  owner.Active = {1, 2};
  SetTimer(w, 1, 10, nullptr);
  SetTimer(w, 2, 10, nullptr);
  PostMessage(w, WM_TIMER, 3, 0);  // nobody runs 3
  headless::AdvanceTime(10);
  std::sort(owner.Ticks.begin(), owner.Ticks.end());
  EXPECT_EQ(owner.Ticks, (std::vector<UINT_PTR>{1, 2}));
  DeallocateHWnd(w);
  EXPECT_FALSE(IsWindow(w));
}

}  // namespace
}  // namespace orv::test
