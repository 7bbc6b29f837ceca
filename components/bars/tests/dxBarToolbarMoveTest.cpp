// Toolbars moved and sized by the mouse on the headless desktop: dragged by the grip off the dock
// to float and by the caption back to a dock (the stored place follows), docked at the left edge,
// double clicks on the grip and the caption, a floating toolbar sized by its borders, and the
// "More Buttons" mark of a toolbar too short for its buttons, whose popup lists and runs the
// hidden ones.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarQuickControl.h"
#include "components/bars/dxBarQuickCust.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/drawing/Surface.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/User.h"

namespace {

class TMoveClicks : public TObject {
  ORV_CLASS(TMoveClicks, TObject)
 public:
  TMoveClicks() = default;
  void Click(TObject* sender) { Log.push_back(static_cast<TdxBarItem*>(sender)->GetCaption()); }
  std::vector<AnsiString> Log;
};

class ToolbarMoveTest : public BarFormTest {
 protected:
  ToolbarMoveTest() : BarFormTest({100, 100, 400, 260}) {}

  void SetUp() override {
    BarFormTest::SetUp();
    Manager->SetStyle(bmsOffice11);
  }
  void TearDown() override {
    orv::headless::SetIdleHandler(nullptr);
    BarFormTest::TearDown();
  }

  TdxBar* AddToolbar(const AnsiString& caption, TdxBarDockingStyle style, Integer count) {
    return AddTestToolbar(Manager, Form.get(), caption, style, count, TNotifyEvent(&Clicks, &TMoveClicks::Click));
  }
  static TdxBarControl* WindowOf(TdxBar* bar) { return dynamic_cast<TdxBarControl*>(bar->GetControl()); }
  static TRect ScreenRect(TdxBarControl* window) {
    RECT r{};
    GetWindowRect(window->GetHandle(), &r);
    return TRect{r.Left, r.Top, r.Right, r.Bottom};
  }
  static TPoint ClientToScreenPoint(TWinControl* control, Integer x, Integer y) {
    POINT p{x, y};
    ClientToScreen(control->GetHandle(), &p);
    return TPoint{p.X, p.Y};
  }
  // Presses the left button at `from`, moves through `path` inside the move or size loop, and
  // lets the button go at the last point.
  static void Drag(const TPoint& from, const std::vector<TPoint>& path) {
    std::deque<std::function<void()>> steps;
    for (const TPoint& p : path) steps.push_back([p] { orv::headless::MouseMove(p.X, p.Y); });
    steps.push_back([] { orv::headless::MouseUp(); });
    orv::headless::SetIdleHandler([&steps] {
      if (steps.empty()) return false;
      auto step = steps.front();
      steps.pop_front();
      step();
      return true;
    });
    orv::headless::MouseMove(from.X, from.Y);
    orv::headless::MouseDown();
    orv::headless::ProcessMessages();
    orv::headless::SetIdleHandler(nullptr);
    EXPECT_TRUE(steps.empty()) << "the loop ended before the script did";
  }
  static TPoint Centre(const TRect& r) { return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
  // Where a docked toolbar's grip lies: just inside its window before the client area.
  static TPoint GripPoint(TdxBarControl* window) {
    const TRect r = ScreenRect(window);
    return window->IsVertical() ? TPoint{(r.Left + r.Right) / 2, r.Top + 4} : TPoint{r.Left + 4, (r.Top + r.Bottom) / 2};
  }

  TMoveClicks Clicks;
};

}  // namespace

TEST_F(ToolbarMoveTest, TheGripDragsAndButtonsPressWhileOnlyFloatingSidesSize) {
  TdxBar* bar = AddToolbar("A", dsTop, 3);
  Show();
  TdxBarControl* window = WindowOf(bar);
  ASSERT_NE(window, nullptr);
  auto hit = [&](const TPoint& p) {
    return Integer(SendMessage(window->GetHandle(), WM_NCHITTEST, 0, MAKELPARAM(p.X, p.Y)));
  };
  // Docked: HTCLIENT everywhere for the system; the grip and the empty room drag, buttons press.
  EXPECT_EQ(hit(GripPoint(window)), HTCLIENT);
  EXPECT_EQ(window->GetLastHitCode(), HTCAPTION);
  const TRect first = bar->GetLinks()->GetItem(0)->GetItemRect();
  EXPECT_EQ(hit(ClientToScreenPoint(window, first.Left + 3, first.Top + 3)), HTCLIENT);
  EXPECT_EQ(window->GetLastHitCode(), HTCLIENT);

  bar->SetFloatLeft(150);
  bar->SetFloatTop(250);
  bar->SetDockingStyle(dsNone);
  window = WindowOf(bar);
  const TRect r = ScreenRect(window);
  const struct {
    TPoint At;
    Integer Code;
  } cases[] = {
      {TPoint{r.Left + 20, r.Top}, HTTOP},         {TPoint{r.Right - 1, r.Top + 12}, HTRIGHT},
      {TPoint{r.Left + 20, r.Bottom - 1}, HTBOTTOM}, {TPoint{r.Left, r.Top + 12}, HTLEFT},
      {TPoint{r.Left, r.Top}, HTTOP},              {TPoint{r.Right - 1, r.Bottom - 1}, HTRIGHT},  // no corners
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Code);
    EXPECT_EQ(hit(c.At), c.Code);
  }
  // The caption drags.
  const TRect caption = window->GetCaptionRect();
  EXPECT_EQ(hit(TPoint{r.Left + caption.Left + 6, r.Top + (caption.Top + caption.Bottom) / 2}), HTCLIENT);
  EXPECT_EQ(window->GetLastHitCode(), HTCAPTION);
}

TEST_F(ToolbarMoveTest, DraggingTheGripFloatsTheToolbarAndDraggingItsCaptionDocksItAgain) {
  Manager->SetWaitForDockingTime(0);
  TdxBar* menu = Manager->AddToolbar(true);
  menu->SetCaption("Menu");
  TdxBar* bar = AddToolbar("A", dsTop, 3);
  Show();
  TdxDockControl* top = Manager->GetBars()->GetDockControl(dsTop);
  ASSERT_EQ(top->GetRowCount(), 2);
  const Integer dockHeight = top->GetHeight();

  // Off the dock into the middle of the form: a floating window under the pointer.
  const TPoint grip = GripPoint(WindowOf(bar));
  const TPoint middle = ClientToScreenPoint(Form.get(), 200, 140);
  Drag(grip, {TPoint{grip.X + 5, grip.Y + 40}, middle});
  TdxBarControl* window = WindowOf(bar);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(bar->GetDockingStyle(), dsNone);
  EXPECT_EQ(window->GetDockingStyle(), dsNone);
  EXPECT_EQ(window->GetParent(), nullptr);
  EXPECT_TRUE(IsWindowVisible(window->GetHandle()));
  TRect floating = ScreenRect(window);
  EXPECT_TRUE(middle.X >= floating.Left && middle.X < floating.Right && middle.Y >= floating.Top &&
              middle.Y < floating.Bottom);
  // The bar remembers where it floats, and the top site gave up the toolbar's row.
  EXPECT_EQ(bar->GetFloatLeft(), floating.Left);
  EXPECT_EQ(bar->GetFloatTop(), floating.Top);
  EXPECT_EQ(top->FindCol(window), nullptr);
  EXPECT_LT(top->GetHeight(), dockHeight);
  EXPECT_FALSE(window->IsMoving());

  // By the caption to the bottom edge of the form: docked at the bottom, in a row of its own.
  const TRect caption = window->GetCaptionRect();
  const TPoint grab{floating.Left + caption.Left + 8, floating.Top + (caption.Top + caption.Bottom) / 2};
  const TPoint bottom = ClientToScreenPoint(Form.get(), 120, Form->GetClientHeight() - 3);
  Drag(grab, {TPoint{grab.X, grab.Y + 20}, bottom});
  window = WindowOf(bar);
  EXPECT_EQ(bar->GetDockingStyle(), dsBottom);
  TdxDockControl* site = Manager->GetBars()->GetDockControl(dsBottom);
  ASSERT_NE(site->FindCol(window), nullptr);
  EXPECT_EQ(window->GetParent(), site);
  // The stored place is the place it took.
  EXPECT_EQ(bar->GetDockedDockingStyle(), dsBottom);
  EXPECT_EQ(bar->GetRow(), 0);
  EXPECT_TRUE(bar->GetOneOnRow());
  EXPECT_EQ(bar->GetDockedLeft(), window->GetLeft());
  EXPECT_GT(window->GetLeft(), 0);  // where the pointer held it, not at the row's start

  // And back up beside the main menu's row: the top site again, below the menu.
  const TPoint grip2 = GripPoint(window);
  const TPoint topPoint = ClientToScreenPoint(top, 30, top->GetHeight() + 2);
  Drag(grip2, {TPoint{grip2.X, grip2.Y - 30}, topPoint});
  window = WindowOf(bar);
  EXPECT_EQ(bar->GetDockingStyle(), dsTop);
  ASSERT_NE(top->FindCol(window), nullptr);
  EXPECT_EQ(bar->GetRow(), 1);
  EXPECT_EQ(top->IndexOfRow(top->FindCol(window)->GetRow()), 1);
}

TEST_F(ToolbarMoveTest, DockingAtTheLeftEdgeStandsTheToolbarUpright) {
  Manager->SetWaitForDockingTime(0);
  TdxBar* bar = AddToolbar("A", dsTop, 3);
  Show();
  const TPoint grip = GripPoint(WindowOf(bar));
  const TPoint left = ClientToScreenPoint(Form.get(), 2, 120);
  Drag(grip, {TPoint{grip.X + 10, grip.Y + 60}, left});
  TdxBarControl* window = WindowOf(bar);
  EXPECT_EQ(bar->GetDockingStyle(), dsLeft);
  EXPECT_TRUE(window->IsVertical());
  EXPECT_GT(window->GetHeight(), window->GetWidth());
  EXPECT_EQ(bar->GetDockedDockingStyle(), dsLeft);
}

TEST_F(ToolbarMoveTest, CtrlHeldKeepsTheToolbarFloatingNearADock) {
  Manager->SetWaitForDockingTime(0);
  TdxBar* bar = AddToolbar("A", dsNone, 3);
  bar->SetFloatLeft(200);
  bar->SetFloatTop(250);
  bar->SetDockingStyle(dsTop);
  bar->SetDockingStyle(dsNone);
  Show();
  TdxBarControl* window = WindowOf(bar);
  ASSERT_EQ(window->GetDockingStyle(), dsNone);
  const TRect before = ScreenRect(window);
  const TRect caption = window->GetCaptionRect();
  const TPoint grab{before.Left + caption.Left + 8, before.Top + (caption.Top + caption.Bottom) / 2};
  const TPoint topEdge = ClientToScreenPoint(Form.get(), 60, 2);
  // Ctrl held near the top edge: still floating, moved there.
  orv::headless::KeyDown(VK_CONTROL);
  Drag(grab, {topEdge});
  orv::headless::KeyUp(VK_CONTROL);
  orv::headless::ProcessMessages();
  EXPECT_EQ(bar->GetDockingStyle(), dsNone);
  EXPECT_NE(ScreenRect(WindowOf(bar)).Left, before.Left);
}

TEST_F(ToolbarMoveTest, DoubleClicksOnTheGripAndTheCaptionToggleDocking) {
  TdxBar* bar = AddToolbar("A", dsTop, 2);
  Show();
  const TPoint grip = GripPoint(WindowOf(bar));
  orv::headless::DoubleClick(grip.X, grip.Y);
  orv::headless::ProcessMessages();
  EXPECT_EQ(bar->GetDockingStyle(), dsNone);
  TdxBarControl* window = WindowOf(bar);
  const TRect r = ScreenRect(window);
  const TRect caption = window->GetCaptionRect();
  orv::headless::DoubleClick(r.Left + caption.Left + 8, r.Top + (caption.Top + caption.Bottom) / 2);
  orv::headless::ProcessMessages();
  EXPECT_EQ(bar->GetDockingStyle(), dsTop);
}

TEST_F(ToolbarMoveTest, DraggingAFloatingToolbarsSideWrapsItsButtonsIntoRows) {
  TdxBar* bar = AddToolbar("A", dsNone, 4);
  bar->SetFloatLeft(150);
  bar->SetFloatTop(200);
  bar->SetDockingStyle(dsTop);
  bar->SetDockingStyle(dsNone);
  Show();
  TdxBarControl* window = WindowOf(bar);
  const TRect before = ScreenRect(window);
  const Integer buttonWidth = bar->GetLinks()->GetItem(0)->GetControl()->CalcWidth();
  // The right side dragged in to a little more than two buttons: two rows of two.
  const TPoint side{before.Right - 1, (before.Top + before.Bottom) / 2};
  const Integer target = before.Left + 2 * buttonWidth + 12;
  Drag(side, {TPoint{side.X - 10, side.Y}, TPoint{target, side.Y}});
  const TRect after = ScreenRect(window);
  EXPECT_EQ(after.Left, before.Left);
  EXPECT_LT(after.Width(), before.Width());
  EXPECT_GT(after.Height(), before.Height());
  EXPECT_EQ(bar->GetFloatClientWidth(), window->GetClientWidth());
  const TRect third = bar->GetLinks()->GetItem(2)->GetItemRect();
  EXPECT_EQ(third.Left, 0);  // the third button starts the second row
  EXPECT_GT(third.Top, 0);

  // The bottom side dragged back up: as wide as needed to stay that low.
  const TRect now = ScreenRect(window);
  const TPoint bottomSide{(now.Left + now.Right) / 2, now.Bottom - 1};
  Drag(bottomSide, {TPoint{bottomSide.X, bottomSide.Y - 30}});
  EXPECT_EQ(ScreenRect(window).Height(), before.Height());
  EXPECT_EQ(bar->GetLinks()->GetItem(3)->GetItemRect().Top, 0);
}

TEST_F(ToolbarMoveTest, TheMarkOfAShortToolbarListsAndRunsItsHiddenButtons) {
  TdxBar* bar = AddToolbar("Button", dsTop, 12);
  Show();
  TdxBarControl* window = WindowOf(bar);
  ASSERT_TRUE(window->IsTruncated());
  ASSERT_TRUE(window->IsMarkVisible());
  // The shown buttons end before the mark; the rest have no room.
  const TRect mark = window->GetMarkRect();
  std::vector<AnsiString> hidden;
  for (Integer i = 0; i < bar->GetLinks()->GetCount(); ++i) {
    TdxBarItemLink* link = bar->GetLinks()->GetItem(i);
    if (link->GetItemRect().Right <= link->GetItemRect().Left)
      hidden.push_back(link->GetItem()->GetCaption());
    else
      EXPECT_LE(link->GetItemRect().Right, mark.Left) << link->GetItem()->GetCaption();
  }
  ASSERT_FALSE(hidden.empty());

  // Hovering lights the mark; a click opens its popup under it with the hidden buttons.
  const TPoint at = ClientToScreenPoint(window, (mark.Left + mark.Right) / 2, (mark.Top + mark.Bottom) / 2);
  orv::headless::MouseMove(at.X, at.Y);
  orv::headless::ProcessMessages();
  EXPECT_EQ(window->GetMarkState(), 1);
  orv::headless::Click(at.X, at.Y);
  orv::headless::ProcessMessages();
  EXPECT_EQ(window->GetMarkState(), 2);
  TdxBarQuickControl* popup = window->GetQuickControl();
  ASSERT_NE(popup, nullptr);
  ASSERT_TRUE(IsWindowVisible(popup->GetHandle()));
  // The hidden buttons, then the quick-customization entry in a group of its own.
  std::vector<AnsiString> listed;
  const Integer count = popup->GetItemLinks()->GetCount();
  for (Integer i = 0; i + 1 < count; ++i) listed.push_back(popup->GetItemLinks()->GetItem(i)->GetItem()->GetCaption());
  EXPECT_EQ(listed, hidden);
  ASSERT_GE(count, 1);
  EXPECT_NE(dynamic_cast<TdxBarQuickAccessItem*>(popup->GetItemLinks()->GetItem(count - 1)->GetItem()), nullptr);
  EXPECT_TRUE(popup->GetItemLinks()->GetItem(count - 1)->GetBeginGroup());
  TdxBarQuickControl* menu = popup;
  RECT menuRect{};
  GetWindowRect(menu->GetHandle(), &menuRect);
  const TRect markScreen = window->GetMarkScreenRect();
  EXPECT_GE(menuRect.Top, markScreen.Bottom - 1);
  EXPECT_LE(menuRect.Left, markScreen.Right);

  // A click on a listed button runs it and closes the popup; the mark is normal again.
  TdxBarItemLink* last = menu->GetItemLinks()->GetItem(menu->GetItemLinks()->GetCount() - 2);
  const TRect item = last->GetItemRect();
  const TPoint itemAt = ClientToScreenPoint(menu, (item.Left + item.Right) / 2, (item.Top + item.Bottom) / 2);
  orv::headless::Click(itemAt.X, itemAt.Y);
  orv::headless::ProcessMessages();
  EXPECT_EQ(Clicks.Log, (std::vector<AnsiString>{hidden.back()}));
  EXPECT_EQ(window->GetMarkState(), 0);
  EXPECT_EQ(window->GetQuickControl(), nullptr);

  // Clicking the mark while its popup is open closes it without opening it again.
  orv::headless::Click(at.X, at.Y);
  orv::headless::ProcessMessages();
  ASSERT_EQ(window->GetMarkState(), 2);
  orv::headless::Click(at.X, at.Y);
  orv::headless::ProcessMessages();
  EXPECT_NE(window->GetMarkState(), 2);
  EXPECT_EQ(window->GetQuickControl(), nullptr);
}

// The toolbar with the mark at its end, as the screen shows it: a short toolbar with hidden
// buttons and a whole one (only the customize arrow), in the flat and Office 2003 looks.
TEST_F(ToolbarMoveTest, GoldenImagesOfTheMark) {
  const struct {
    TdxBarManagerStyle Style;
    const char* Golden;
  } cases[] = {{bmsFlat, "toolbar-mark-flat.png"}, {bmsOffice11, "toolbar-mark-office11.png"}};
  TdxBar* shortBar = AddToolbar("Button", dsTop, 12);
  TdxBar* wholeBar = AddToolbar("C", dsTop, 2);
  Show();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Golden);
    Manager->SetStyle(c.Style);
    Run();
    ASSERT_TRUE(WindowOf(shortBar)->IsTruncated());
    ASSERT_FALSE(WindowOf(wholeBar)->IsTruncated());
    TdxDockControl* top = Manager->GetBars()->GetDockControl(dsTop);
    EXPECT_TRUE(MatchBarGolden(orv::headless::CaptureWindow(top->GetHandle()), c.Golden));
  }
}
