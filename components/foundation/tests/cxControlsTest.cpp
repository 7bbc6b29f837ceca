// The control unit on the headless window system: component timers on the manual clock, mouse
// tracking on its 10 ms poll, hidden windows hearing broadcasts, and the small routines.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "components/foundation/cxControls.h"
#include "platform/controls/Forms.h"
#include "platform/runtime/CodePages.h"
#include "platform/windowing/Backend.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"

namespace {

using orv::test::Owned;

// Counts the ticks of the timers it listens to; may free the timer from inside its handler.
class TTicks : public TObject {
  ORV_CLASS(TTicks, TObject)
 public:
  TTicks() = default;
  void OnTimer(TObject* sender) {
    ++Count;
    Senders.push_back(sender);
    if (FreeOnTick) static_cast<TcxTimer*>(sender)->Free();
  }
  TNotifyEvent Handler() { return TNotifyEvent(this, &TTicks::OnTimer); }
  int Count = 0;
  bool FreeOnTick = false;
  std::vector<TObject*> Senders;
};

class TimerTest : public ::testing::Test {
 protected:
  void SetUp() override { orv::headless::Reset(); }
  void TearDown() override { orv::headless::Reset(); }
  TcxTimer* Make(Cardinal interval) {
    auto* t = new TcxTimer(nullptr);
    t->SetInterval(interval);
    t->SetOnTimer(Ticks.Handler());
    Timers.emplace_back(t);
    return t;
  }
  TTicks Ticks;
  std::vector<Owned<TcxTimer>> Timers;
};

TEST_F(TimerTest, FiresAtItsIntervalOnTheClock) {
  TcxTimer* t = Make(100);
  EXPECT_TRUE(t->IsRunning());
  orv::headless::AdvanceTime(99);
  EXPECT_EQ(Ticks.Count, 0);
  orv::headless::AdvanceTime(1);
  EXPECT_EQ(Ticks.Count, 1);
  orv::headless::AdvanceTime(250);
  EXPECT_EQ(Ticks.Count, 3);
  EXPECT_EQ(Ticks.Senders.back(), t);
}

TEST_F(TimerTest, NeverRunsDisabledOrWithoutHandler) {
  auto* disabled = new TcxTimer(nullptr);
  Timers.emplace_back(disabled);
  disabled->SetEnabled(false);
  disabled->SetOnTimer(Ticks.Handler());
  auto* bare = new TcxTimer(nullptr);
  Timers.emplace_back(bare);
  bare->SetInterval(10);
  EXPECT_FALSE(disabled->IsRunning());
  EXPECT_FALSE(bare->IsRunning());
  EXPECT_EQ(GetActiveTimerCount(), 0);
  orv::headless::AdvanceTime(2000);
  EXPECT_EQ(Ticks.Count, 0);
  // A nil handler stops a running timer.
  bare->SetOnTimer(Ticks.Handler());
  EXPECT_TRUE(bare->IsRunning());
  bare->SetOnTimer({});
  EXPECT_FALSE(bare->IsRunning());
}

TEST_F(TimerTest, StopAndReEnableRestartTheInterval) {
  TcxTimer* t = Make(100);
  orv::headless::AdvanceTime(60);
  t->SetEnabled(false);
  orv::headless::AdvanceTime(200);
  EXPECT_EQ(Ticks.Count, 0);
  t->SetEnabled(true);
  orv::headless::AdvanceTime(99);
  EXPECT_EQ(Ticks.Count, 0);
  orv::headless::AdvanceTime(1);
  EXPECT_EQ(Ticks.Count, 1);
  // 0 and the same value are ignored (no restart); a new value restarts.
  orv::headless::AdvanceTime(50);
  t->SetInterval(0);
  t->SetInterval(100);
  EXPECT_EQ(t->GetInterval(), 100u);
  orv::headless::AdvanceTime(50);
  EXPECT_EQ(Ticks.Count, 2);
  orv::headless::AdvanceTime(30);
  t->SetInterval(40);
  orv::headless::AdvanceTime(39);
  EXPECT_EQ(Ticks.Count, 2);
  orv::headless::AdvanceTime(1);
  EXPECT_EQ(Ticks.Count, 3);
}

TEST_F(TimerTest, TimersShareOneWindowAndRunIndependently) {
  TTicks other;
  TcxTimer* a = Make(30);
  TcxTimer* b = Make(50);
  b->SetOnTimer(other.Handler());
  ASSERT_NE(GetTimerWindow(), nullptr);
  const HWND window = GetTimerWindow()->GetHandle();
  EXPECT_TRUE(IsWindow(window));
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(GetActiveTimerCount(), 2);
  orv::headless::AdvanceTime(150);
  EXPECT_EQ(Ticks.Count, 5);
  EXPECT_EQ(other.Count, 3);
  a->SetEnabled(false);
  orv::headless::AdvanceTime(100);
  EXPECT_EQ(Ticks.Count, 5);
  EXPECT_EQ(other.Count, 5);
  EXPECT_EQ(GetTimerWindow()->GetHandle(), window);
}

TEST_F(TimerTest, LateMessagesOfStoppedOrFreedTimersCallNothing) {
  TcxTimer* t = Make(100);
  const HWND window = GetTimerWindow()->GetHandle();
  const UINT_PTR stoppedId = t->GetTimerId();
  t->SetEnabled(false);
  PostMessage(window, WM_TIMER, stoppedId, 0);
  orv::headless::ProcessMessages();
  EXPECT_EQ(Ticks.Count, 0);
  // A freed timer's id is never handed out again, even when its memory is reused.
  Timers.clear();
  std::vector<UINT_PTR> ids;
  for (int i = 0; i < 8; ++i) ids.push_back(Make(1000)->GetTimerId());
  for (UINT_PTR id : ids) EXPECT_NE(id, stoppedId);
  PostMessage(window, WM_TIMER, stoppedId, 0);
  PostMessage(window, WM_TIMER, 0xDEAD, 0);
  orv::headless::ProcessMessages();
  EXPECT_EQ(Ticks.Count, 0);
  EXPECT_FALSE(IsActiveTimerId(stoppedId));
  EXPECT_TRUE(IsActiveTimerId(ids[0]));
  // A running timer's id reaches it.
  PostMessage(window, WM_TIMER, ids[3], 0);
  orv::headless::ProcessMessages();
  EXPECT_EQ(Ticks.Count, 1);
}

TEST_F(TimerTest, FreeingATimerInItsOwnHandlerIsSafe) {
  auto* t = new TcxTimer(nullptr);
  t->SetInterval(10);
  Ticks.FreeOnTick = true;
  t->SetOnTimer(Ticks.Handler());
  orv::headless::AdvanceTime(100);
  EXPECT_EQ(Ticks.Count, 1);
  EXPECT_EQ(GetActiveTimerCount(), 0);
}

TEST_F(TimerTest, AnOwnerFreesItsTimers) {
  Owned<TComponent> owner(new TComponent(nullptr));
  auto* t = new TcxTimer(owner.get());
  t->SetInterval(10);
  t->SetOnTimer(Ticks.Handler());
  owner.reset();
  orv::headless::AdvanceTime(100);
  EXPECT_EQ(Ticks.Count, 0);
  EXPECT_EQ(GetActiveTimerCount(), 0);
}

TEST_F(TimerTest, TheUnitLoadsTheLibraryCursors) {
  orv::InitializeControlsUnit();
  for (int id = crcxDragCopy; id <= crcxMultiDragCopy; ++id)
    EXPECT_NE(Screen->GetCursors(id), nullptr) << id;
  EXPECT_EQ(orv::GetSystemCursorId(Screen->GetCursors(crcxHandPoint)), 32649);
  EXPECT_NE(orv::ControlsRegisteredMessage(0), 0u);
  EXPECT_NE(orv::ControlsRegisteredMessage(0), orv::ControlsRegisteredMessage(1));
}

// ---- Mouse tracking ---------------------------------------------------------------------------

// A windowed control that counts the leave notices it gets from the tracker.
class TProbe : public TCustomControl {
  ORV_CLASS(TProbe, TCustomControl)
 public:
  explicit TProbe(TComponent* owner) : TCustomControl(owner) {}
  void Dispatch(TMessage& m) override {
    if (m.Msg == CM_MOUSELEAVE && m.LParam == LPARAM(this)) ++Leaves;
    if (m.Msg == DXM_NCSIZECHANGED) ++MetricsChanges;
    inherited::Dispatch(m);
  }
  int Leaves = 0;
  int MetricsChanges = 0;
};

int gDeadCallerCalls = 0;

class TCaller : public TcxComponent, public IcxMouseTrackingHitTest {
  ORV_CLASS(TCaller, TcxComponent)
 public:
  explicit TCaller(TComponent* owner) : TcxComponent(owner) {}
  void MouseLeave() override {
    ++Leaves;
    ++gDeadCallerCalls;
    if (Restart) StartMouseTracking(Control, {0, 0, 10, 10}, this);
  }
  Boolean PtInCaller(const TPoint& point) override {
    LastPoint = point;
    return Inside;
  }
  int Leaves = 0;
  bool Inside = true;
  bool Restart = false;
  TWinControl* Control = nullptr;
  TPoint LastPoint;
};

// A caller that only has bounds.
class TBoundsCaller : public TcxComponent, public IcxMouseTrackingCaller {
  ORV_CLASS(TBoundsCaller, TcxComponent)
 public:
  explicit TBoundsCaller(TComponent* owner) : TcxComponent(owner) {}
  void MouseLeave() override {
    ++Leaves;
    StopMouseTracking(this);  // what hot-tracked elements do: harmless inside the tick
  }
  int Leaves = 0;
};

class TrackingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    orv::headless::Reset();
    Form.reset(new TForm(nullptr));
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(100, 100, 200, 150);
    Form->AfterConstruction();
    Probe = new TProbe(Form.get());
    Probe->SetParent(Form.get());
    Probe->SetBounds(10, 10, 50, 30);  // screen (110, 110) - (160, 140)
    Form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    Form.reset();
    orv::headless::Reset();
  }
  void MoveTo(int x, int y) {
    orv::headless::MouseMove(x, y);
    orv::headless::ProcessMessages();
  }
  Owned<TForm> Form;
  TProbe* Probe = nullptr;
};

TEST_F(TrackingTest, LeavingTheBoundsIsFoundOnTheNextPoll) {
  Owned<TBoundsCaller> caller(new TBoundsCaller(nullptr));
  MoveTo(120, 120);
  StartMouseTracking(Probe, {0, 0, 20, 20}, caller.get());  // screen (110, 110) - (130, 130)
  StartMouseTracking(Probe, {0, 0, 50, 30}, caller.get());  // already tracked: ignored
  EXPECT_EQ(GetMouseTrackingCount(), 1);
  EXPECT_EQ(FindMouseTrackingTimer(caller.get())->GetBounds(), (TRect{110, 110, 130, 130}));
  orv::headless::AdvanceTime(30);
  EXPECT_EQ(caller->Leaves, 0);
  // Out of the bounds but still over the control: the caller hears it, the control does not.
  MoveTo(140, 120);
  const int before = Probe->Leaves;
  orv::headless::AdvanceTime(9);
  EXPECT_EQ(caller->Leaves, 0);
  orv::headless::AdvanceTime(1);
  EXPECT_EQ(caller->Leaves, 1);
  EXPECT_EQ(Probe->Leaves, before);
  EXPECT_FALSE(IsMouseTrackingActive(caller.get()));
  EXPECT_EQ(GetMouseTrackingCount(), 0);
  // Out of the control as well: the control hears CM_MOUSELEAVE too.
  MoveTo(120, 120);
  StartMouseTracking(Probe, {0, 0, 20, 20}, caller.get());
  MoveTo(300, 300);
  const int outside = Probe->Leaves;
  orv::headless::AdvanceTime(10);
  EXPECT_EQ(caller->Leaves, 2);
  EXPECT_EQ(Probe->Leaves, outside + 1);
}

TEST_F(TrackingTest, HitTestCallersAndDisabledControls) {
  Owned<TCaller> caller(new TCaller(nullptr));
  MoveTo(120, 125);
  StartMouseTracking(Probe, {0, 0, 50, 30}, caller.get());
  orv::headless::AdvanceTime(10);
  EXPECT_EQ(caller->Leaves, 0);
  EXPECT_EQ(caller->LastPoint, (TPoint{10, 15}));  // client coordinates of the control
  caller->Inside = false;  // the caller's own test wins over the bounds
  orv::headless::AdvanceTime(10);
  EXPECT_EQ(caller->Leaves, 1);
  // A disabled control ends the tracking while the pointer is over it.
  caller->Inside = true;
  StartMouseTracking(Probe, {0, 0, 50, 30}, caller.get());
  Probe->SetEnabled(false);
  const int before = Probe->Leaves;
  orv::headless::AdvanceTime(10);
  EXPECT_EQ(caller->Leaves, 2);
  EXPECT_EQ(Probe->Leaves, before + 1);
}

TEST_F(TrackingTest, ACallerMayTrackAgainFromItsLeaveHandler) {
  Owned<TCaller> caller(new TCaller(nullptr));
  caller->Restart = true;
  caller->Control = Probe;
  caller->Inside = false;
  MoveTo(300, 300);
  StartMouseTracking(Probe, {0, 0, 10, 10}, caller.get());
  orv::headless::AdvanceTime(10);
  EXPECT_EQ(caller->Leaves, 1);
  EXPECT_EQ(GetMouseTrackingCount(), 1);  // the new tracking, not the old one
  caller->Restart = false;
  orv::headless::AdvanceTime(10);
  EXPECT_EQ(caller->Leaves, 2);
  EXPECT_EQ(GetMouseTrackingCount(), 0);
}

TEST_F(TrackingTest, DeadCallersAndControlsLeaveTheList) {
  MoveTo(120, 120);
  auto* caller = new TCaller(nullptr);
  StartMouseTracking(Probe, {0, 0, 50, 30}, caller);
  EXPECT_EQ(GetMouseTrackingCount(), 1);
  gDeadCallerCalls = 0;
  caller->Free();  // without stopping its tracking
  EXPECT_FALSE(IsMouseTrackingActive(caller));
  MoveTo(300, 300);
  orv::headless::AdvanceTime(20);
  EXPECT_EQ(gDeadCallerCalls, 0);
  EXPECT_EQ(GetMouseTrackingCount(), 0);
  // A freed control counts as gone: the caller hears of it at the next poll.
  Owned<TCaller> live(new TCaller(nullptr));
  MoveTo(120, 120);
  StartMouseTracking(Probe, {0, 0, 50, 30}, live.get());
  Probe->Free();
  Probe = nullptr;
  orv::headless::AdvanceTime(10);
  EXPECT_EQ(live->Leaves, 1);
  EXPECT_EQ(GetMouseTrackingCount(), 0);
}

// ---- Hidden windows and broadcasts ------------------------------------------------------------

class TListener : public TcxMessageWindow {
  ORV_CLASS(TListener, TcxMessageWindow)
 public:
  TListener() = default;
  std::vector<UINT> Messages;
  std::vector<WPARAM> Params;

 protected:
  void WndProc(TMessage& message) override {
    Messages.push_back(message.Msg);
    Params.push_back(message.WParam);
    inherited::WndProc(message);
  }
};

TEST_F(TrackingTest, HiddenWindowsHearTheDesktopsBroadcasts) {
  Owned<TListener> listener(new TListener);
  ASSERT_TRUE(IsWindow(listener->GetHandle()));
  orv::SendSettingChange(SPI_SETWORKAREA);
  const INT element = COLOR_WINDOW;
  const COLORREF color = 0x00EEDDCC;
  SetSysColors(1, &element, &color);
  SendMessage(HWND_BROADCAST, WM_THEMECHANGED, 0, 0);
  SendMessage(HWND_BROADCAST, WM_TIMECHANGE, 0, 0);
  EXPECT_EQ(listener->Messages, (std::vector<UINT>{WM_SETTINGCHANGE, WM_SYSCOLORCHANGE,
                                                   WM_THEMECHANGED, WM_TIMECHANGE}));
  EXPECT_EQ(listener->Params[0], WPARAM(SPI_SETWORKAREA));
  // The unit's own hidden windows are such windows too.
  ASSERT_NE(GetHiddenMessageWindow(), nullptr);
  EXPECT_EQ(GetHiddenMessageWindow(), GetHiddenMessageWindow());
  EXPECT_TRUE(IsWindow(GetHiddenMessageWindow()->GetHandle()));
}

TEST_F(TrackingTest, TheSettingsControllerForwardsMetricChanges) {
  TcxSettingsController* settings = GetSettingsController();
  ASSERT_NE(settings, nullptr);
  EXPECT_EQ(settings->GetHandle(), nullptr);
  settings->AddListener(Probe);
  settings->AddListener(Probe);
  EXPECT_EQ(settings->GetListenerCount(), 1);
  ASSERT_NE(settings->GetHandle(), nullptr);
  orv::SendSettingChange(SPI_SETWORKAREA);
  EXPECT_EQ(Probe->MetricsChanges, 0);
  orv::SendSettingChange(SPI_SETNONCLIENTMETRICS);
  EXPECT_EQ(Probe->MetricsChanges, 1);
  // A freed listener leaves the list, and the last one takes the window along.
  const HWND window = settings->GetHandle();
  Probe->Free();
  Probe = nullptr;
  EXPECT_EQ(settings->GetListenerCount(), 0);
  EXPECT_EQ(settings->GetHandle(), nullptr);
  EXPECT_FALSE(IsWindow(window));
  orv::SendSettingChange(SPI_SETNONCLIENTMETRICS);
}

// ---- Routines ---------------------------------------------------------------------------------

TEST(ControlRoutines, StripAccelChars) {
  const struct {
    const char* Text;
    bool Underscore;
    const char* Result;
  } cases[] = {
      {"&File", false, "File"},     {"Save && Exit", false, "Save & Exit"},
      {"A&&&B", false, "A&B"},      {"Tail&", false, "Tail"},
      {"Tail&", true, "Tail_"},     {"&", true, "_"},
      {"", true, ""},               {"No marks", false, "No marks"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StripAccelChars(c.Text, c.Underscore), c.Result) << c.Text;
    EXPECT_EQ(StripAccelCharsW(AnsiToWideWithCodePage(c.Text, 0), c.Underscore), AnsiToWideWithCodePage(c.Result, 0));
  }
}

TEST(ControlRoutines, CharacterAndKeyClasses) {
  EXPECT_TRUE(CharIsValidInNumber('e', 2));
  EXPECT_FALSE(CharIsValidInNumber('e', 1));
  EXPECT_FALSE(CharIsValidInNumber('e', 7));
  EXPECT_TRUE(CharIsValidInNumber('-', 7));
  EXPECT_TRUE(CharIsValidInNumber(FormatSettings.DecimalSeparator, 1));
  EXPECT_FALSE(CharIsValidInNumber(FormatSettings.DecimalSeparator, 0));
  for (Word key : {27, 112, 144, 3, 229, 254, 91, 165}) EXPECT_TRUE(IsSpecialKey(key)) << key;
  for (Word key : {65, 300, 32, 48, 146, 255, 166}) EXPECT_FALSE(IsSpecialKey(key)) << key;
  EXPECT_TRUE(IsEditingChar(22));
  EXPECT_TRUE(IsEditingChar(24));
  EXPECT_FALSE(IsEditingChar(3));
  EXPECT_TRUE(IsEditingChar(char(0xC0)));  // Cyrillic letters are text
  EXPECT_TRUE(IsPrintableOrBackspace(8));
  EXPECT_FALSE(IsPrintableChar(8));
  EXPECT_EQ(ShiftStateToMouseKeys(TShiftState{ssShift, ssCtrl, ssLeft, ssRight, ssMiddle}),
            WPARAM(MK_SHIFT | MK_CONTROL | MK_LBUTTON | MK_RBUTTON | MK_MBUTTON));
  EXPECT_EQ(ShiftStateToMouseKeys(TShiftState{ssAlt}), 0u);
}

TEST_F(TrackingTest, MessageDialogCenteredOnTheScreenAnswersItsButton) {
  struct Case {
    const char* caption;  // UTF-8; empty: the dialog type's own
    TMsgDlgType type;
    TMsgDlgButtons buttons;
    int key;
    Integer result;
    const char* shownCaption;
  } cases[] = {
      {"Поиск", mtConfirmation, {mbYes, mbNo}, VK_RETURN, mrYes, "Поиск"},
      {"", mtError, {mbOK, mbCancel}, VK_ESCAPE, mrCancel, "Ошибка"},
  };
  for (const Case& c : cases) {
    int step = 0;
    AnsiString caption;
    LongInt helpContext = 0;
    TRect bounds{};
    orv::headless::SetIdleHandler([&] {
      if (step++ > 0) return false;
      for (Integer i = 0; i < Screen->GetCustomFormCount(); ++i) {
        TCustomForm* form = Screen->GetCustomForm(i);
        if (!form->FindComponent("Message")) continue;
        caption = form->GetCaption();
        helpContext = form->GetHelpContext();
        bounds = form->GetBoundsRect();
      }
      orv::headless::PressKey(c.key);
      return true;
    });
    EXPECT_EQ(ShowMessageDialogCentered("Город не найден"_a, orv::Utf8ToAnsi(c.caption), c.type, c.buttons, 77),
              c.result);
    orv::headless::SetIdleHandler(nullptr);
    EXPECT_EQ(caption, orv::Utf8ToAnsi(c.shownCaption));
    EXPECT_EQ(helpContext, 77);
    // In the middle of the screen, whatever form is active.
    EXPECT_LE(std::abs((bounds.Left + bounds.Right) / 2 - Screen->GetWidth() / 2), 1) << bounds.Left;
    EXPECT_LE(std::abs((bounds.Top + bounds.Bottom) / 2 - Screen->GetHeight() / 2), 1) << bounds.Top;
  }
}

TEST(ControlRoutines, DropArrowGeometry) {
  EXPECT_EQ(GetDragAndDropArrowBounds({100, 50, 200, 70}, {0, 0, 1000, 1000}, apTop),
            (TRect{95, 41, 106, 50}));
  EXPECT_EQ(GetDragAndDropArrowBounds({100, 50, 200, 70}, {}, apLeft), (TRect{91, 45, 100, 56}));
  EXPECT_EQ(GetDragAndDropArrowBounds({100, 50, 200, 70}, {}, apRight), (TRect{200, 45, 209, 56}));
  EXPECT_EQ(GetDragAndDropArrowBounds({100, 50, 200, 70}, {}, apBottom), (TRect{95, 70, 106, 79}));
  // The target is clamped into the bounding rectangle first.
  EXPECT_EQ(GetDragAndDropArrowBounds({100, 50, 200, 70}, {0, 0, 150, 60}, apRight),
            (TRect{149, 45, 158, 56}));
  TcxArrowPoints p;
  GetDragAndDropArrowPoints({95, 41, 106, 50}, apTop, p, 0);
  EXPECT_EQ(p[4], (TPoint{100, 49}));  // the tip points down at the target
  GetDragAndDropArrowPoints({95, 41, 106, 50}, apTop, p, 1);
  EXPECT_EQ(p[4], (TPoint{100, 50}));
}

TEST_F(TrackingTest, WindowRoutines) {
  const TRect area = GetWorkAreaAtPoint({10, 10});
  EXPECT_EQ(area, (TRect{0, 0, 1024, 768}));
  TRect wide{-50, 700, 1200, 800};
  FitRectIntoWorkArea(wide, {10, 10});
  EXPECT_EQ(wide, (TRect{0, 668, 1250, 768}));
  TRect r{1000, 10, 1100, 50};
  FitRectIntoWorkArea(r, {10, 10});
  EXPECT_EQ(r, (TRect{924, 10, 1024, 50}));
  EXPECT_EQ(SafeGetWindowRect(HWND(std::intptr_t(12345))), TRect{});
  EXPECT_EQ(SafeGetWindowRect(Probe->GetHandle()), (TRect{110, 110, 160, 140}));
  EXPECT_EQ(GetControlWindowRect(Probe), (TRect{110, 110, 160, 140}));
  EXPECT_EQ(FindDeepestWindowAtPoint({120, 120}), Probe->GetHandle());
  EXPECT_EQ(FindDeepestWindowAtPoint({250, 120}), Form->GetHandle());
  EXPECT_TRUE(HasChildStyle(Probe->GetHandle()));
  EXPECT_TRUE(IsWindowAncestor(Form->GetHandle(), Probe->GetHandle()));
  EXPECT_FALSE(IsWindowAncestor(Probe->GetHandle(), Form->GetHandle()));
  EXPECT_FALSE(IsWindowAncestor(nullptr, Probe->GetHandle()));
  EXPECT_TRUE(IsSelfOrChildWindow(Form->GetHandle(), Probe->GetHandle()));
  EXPECT_TRUE(IsSelfOrChildWindow(Form->GetHandle(), Form->GetHandle()));
  EXPECT_FALSE(IsSelfOrChildWindow(nullptr, Form->GetHandle()));
  EXPECT_TRUE(IsWindowEnabledWithParents(Probe->GetHandle()));
  Form->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabledWithParents(Probe->GetHandle()));
  Form->SetEnabled(true);
  TPoint p{5, 5};
  MapPointBetweenWindows(Probe->GetHandle(), nullptr, p);
  EXPECT_EQ(p, (TPoint{115, 115}));
  orv::headless::MouseMove(33, 44);
  EXPECT_EQ(SafeGetCursorPos(), (TPoint{33, 44}));
  EXPECT_TRUE(CanAllocateHandle(Probe));
  Probe->SetName("Probe");
  Form->SetName("MainForm");
  EXPECT_EQ(GetComponentNamePath(Probe), "MainForm.Probe");
}

TEST_F(TrackingTest, HourglassIsCounted) {
  Screen->SetCursor(crIBeam);
  HideHourglassCursor();  // nothing to hide
  EXPECT_EQ(Screen->GetCursor(), crIBeam);
  ShowHourglassCursor();
  ShowHourglassCursor();
  EXPECT_EQ(Screen->GetCursor(), crHourGlass);
  HideHourglassCursor();
  EXPECT_EQ(Screen->GetCursor(), crHourGlass);
  HideHourglassCursor();
  EXPECT_EQ(Screen->GetCursor(), crIBeam);
  Screen->SetCursor(crDefault);
}

}  // namespace
