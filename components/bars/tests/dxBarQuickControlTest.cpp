// The "More Buttons" popup of a toolbar's mark on the headless desktop: a toolbar window of its
// own without caption, attached to the mark (right edges aligned, left edges only below a
// floating toolbar in the framed looks), holding the hidden links on a hidden bar that goes with
// it, closing a moment after the selection moved to another bar window, on a press elsewhere,
// and never moved or sized by its frame.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarQuickControl.h"
#include "components/bars/dxBarQuickCust.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "components/foundation/cxClasses.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/User.h"

namespace {

class BarQuickControlTest : public BarFormTest {
 protected:
  BarQuickControlTest() : BarFormTest({100, 100, 400, 260}) {}

  void SetUp() override {
    BarFormTest::SetUp();
    Manager->SetStyle(bmsOffice11);
  }

  TdxBar* AddToolbar(const AnsiString& caption, TdxBarDockingStyle style, Integer count) {
    return AddTestToolbar(Manager, Form.get(), caption, style, count);
  }
  static TdxBarControl* WindowOf(TdxBar* bar) { return dynamic_cast<TdxBarControl*>(bar->GetControl()); }
  static TRect ScreenRect(TWinControl* window) {
    RECT r{};
    GetWindowRect(window->GetHandle(), &r);
    return TRect{r.Left, r.Top, r.Right, r.Bottom};
  }
  static TPoint Centre(const TRect& r) { return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
  static TPoint LinkScreenCentre(TdxBarItemLink* link) {
    POINT p{(link->GetItemRect().Left + link->GetItemRect().Right) / 2,
            (link->GetItemRect().Top + link->GetItemRect().Bottom) / 2};
    ClientToScreen(link->GetBarControl()->GetHandle(), &p);
    return TPoint{p.X, p.Y};
  }
  void MoveTo(const TPoint& p) {
    orv::headless::MouseMove(p.X, p.Y);
    Run();
  }
  // Opens the mark's popup of a toolbar with a click.
  TdxBarQuickControl* OpenMark(TdxBarControl* window) {
    const TPoint mark = Centre(window->GetMarkScreenRect());
    MoveTo(mark);
    orv::headless::Click(mark.X, mark.Y);
    Run();
    return window->GetQuickControl();
  }

};

}  // namespace

TEST_F(BarQuickControlTest, TheMarkOpensACaptionlessPopupToolbarOnAHiddenBarRightAlignedWithTheMark) {
  TdxBar* bar = AddToolbar("Button", dsTop, 12);
  Show();
  TdxBarControl* window = WindowOf(bar);
  ASSERT_TRUE(window->IsTruncated());
  const Integer bars = Manager->GetBars()->GetCount();
  const TRect mark = window->GetMarkScreenRect();
  TdxBarQuickControl* popup = OpenMark(window);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(window->GetMarkState(), 2);
  EXPECT_TRUE(popup->IsPopupStyle());
  EXPECT_EQ(popup->GetKind(), 1);
  EXPECT_EQ(popup->GetParentToolbar(), window);
  EXPECT_EQ(popup->GetPopupSourceBar(), bar);
  EXPECT_EQ(popup->GetOwnerBounds(), mark);
  // The links stand on a hidden bar of the manager made for the popup.
  TdxBar* hidden = popup->GetBar();
  ASSERT_NE(hidden, nullptr);
  EXPECT_TRUE(hidden->GetHidden());
  EXPECT_FALSE(hidden->GetAllowQuickCustomizing());
  EXPECT_EQ(Manager->GetBars()->GetCount(), bars + 1);
  EXPECT_EQ(popup->GetItemLinks(), hidden->GetItemLinks());
  // Docked toolbar: right edges aligned, just below the mark; the frame has no caption.
  const TRect r = ScreenRect(popup);
  EXPECT_EQ(r.Right, mark.Right);
  EXPECT_EQ(r.Top, mark.Bottom);
  TRect borders;
  popup->GetBorders(borders);
  TdxBarPainter* painter = popup->GetPainter();
  ASSERT_NE(painter, nullptr);
  EXPECT_EQ(borders, (TRect{painter->GetFloatingFrameWidth(), painter->GetFloatingFrameHeight(),
                            painter->GetFloatingFrameWidth(), painter->GetFloatingFrameHeight()}));
  EXPECT_EQ(r.Width(), popup->GetPopupSize().cx);
  // The popup's frame neither moves nor sizes it.
  const TPoint edge{r.Left, (r.Top + r.Bottom) / 2};
  EXPECT_EQ(SendMessage(popup->GetHandle(), WM_NCHITTEST, 0, MAKELPARAM(edge.X, edge.Y)), HTBORDER);

  // The mark pressed again closes the popup; its hidden bar goes with it.
  TcxObjectLink* popupLink = CreateObjectLink(popup);
  orv::headless::Click(Centre(mark).X, Centre(mark).Y);
  Run();
  EXPECT_EQ(popupLink->Ref, nullptr);
  ReleaseObjectLink(popupLink);
  EXPECT_NE(window->GetMarkState(), 2);
  EXPECT_EQ(Manager->GetBars()->GetCount(), bars);
}

// Left edges meet only below a floating toolbar in a look that frames the popup; everywhere else
// the popup's right edge is the rectangle's. Without visual styles the XP look is the enhanced one.
TEST_F(BarQuickControlTest, ThePopupAlignsWithTheMarkByLookAndDockState) {
  const struct {
    TdxBarManagerStyle Style;
    TdxBarDockingStyle Dock;
    bool LeftAligned;
  } cases[] = {{bmsStandard, dsNone, false}, {bmsEnhanced, dsNone, false}, {bmsFlat, dsNone, true},
               {bmsOffice11, dsNone, true},  {bmsXP, dsNone, false},        {bmsFlat, dsTop, false},
               {bmsOffice11, dsTop, false}};
  TdxBar* bar = AddToolbar("B", dsTop, 3);
  Show();
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(Integer(c.Style)) + "/" + std::to_string(Integer(c.Dock)));
    Manager->SetStyle(c.Style);
    bar->SetDockingStyle(c.Dock);
    Run();
    TdxBarControl* window = WindowOf(bar);
    ASSERT_NE(window, nullptr);
    auto* popup = new TdxBarQuickControl(window);
    popup->GetItemLinks()->AddItem(bar->GetLinks()->GetItem(0)->GetItem());
    const TRect owner{200, 150, 211, 170};
    popup->PopupAt(owner);
    const TRect r = ScreenRect(popup);
    EXPECT_EQ(r.Top, owner.Bottom);
    if (c.LeftAligned)
      EXPECT_EQ(r.Left, owner.Left);
    else
      EXPECT_EQ(r.Right, owner.Right);
    popup->Free();
  }
}

// The selection moved to another toolbar closes the popup 200 ms later; back on one of the
// popup's items before then, it stays.
TEST_F(BarQuickControlTest, ThePopupClosesAMomentAfterTheSelectionMovedToAnotherBar) {
  TdxBar* bar = AddToolbar("Button", dsTop, 12);
  TdxBar* other = AddToolbar("O", dsBottom, 2);
  Show();
  TdxBarControl* window = WindowOf(bar);
  ASSERT_TRUE(window->IsTruncated());

  TdxBarQuickControl* popup = OpenMark(window);
  ASSERT_NE(popup, nullptr);
  ASSERT_GE(popup->GetItemLinks()->GetCount(), 2);
  TdxBarItemLink* first = popup->GetItemLinks()->GetItem(0);
  MoveTo(LinkScreenCentre(first));
  EXPECT_EQ(Manager->GetSelectedItem(), first->GetControl());
  EXPECT_FALSE(popup->IsHidingTimerRunning());
  // Over a button of the other toolbar and back within the 200 ms: the popup stays.
  MoveTo(LinkScreenCentre(other->GetLinks()->GetItem(0)));
  EXPECT_TRUE(popup->IsHidingTimerRunning());
  orv::headless::AdvanceTime(100);
  MoveTo(LinkScreenCentre(first));
  orv::headless::AdvanceTime(150);
  Run();
  ASSERT_EQ(window->GetQuickControl(), popup);
  EXPECT_FALSE(popup->IsHidingTimerRunning());

  // Staying on the other toolbar: gone once the 200 ms have passed, the mark normal again.
  MoveTo(LinkScreenCentre(other->GetLinks()->GetItem(1)));
  MoveTo(LinkScreenCentre(other->GetLinks()->GetItem(0)));
  orv::headless::AdvanceTime(150);
  Run();
  ASSERT_EQ(window->GetQuickControl(), popup);
  orv::headless::AdvanceTime(60);
  Run();
  EXPECT_EQ(window->GetQuickControl(), nullptr);
  EXPECT_EQ(window->GetMarkState(), 0);
  EXPECT_EQ(TdxBarQuickControl::GetOpenQuickControl(), nullptr);
}

TEST_F(BarQuickControlTest, APressElsewhereHidesThePopup) {
  TdxBar* bar = AddToolbar("Button", dsTop, 12);
  Show();
  TdxBarControl* window = WindowOf(bar);
  ASSERT_NE(OpenMark(window), nullptr);
  const TRect form = ScreenRect(Form.get());
  orv::headless::Click(form.Left + 20, form.Bottom - 20);
  Run();
  EXPECT_EQ(window->GetQuickControl(), nullptr);
  EXPECT_EQ(TdxBarQuickControl::GetOpenQuickControl(), nullptr);
}

// A toolbar freed while its popup is open takes the popup and its hidden bar with it.
TEST_F(BarQuickControlTest, AToolbarFreedWithItsPopupOpenTakesThePopupAlong) {
  TdxBar* bar = AddToolbar("Button", dsTop, 12);
  Show();
  const Integer bars = Manager->GetBars()->GetCount();
  TdxBarQuickControl* popup = OpenMark(WindowOf(bar));
  ASSERT_NE(popup, nullptr);
  TcxObjectLink* popupLink = CreateObjectLink(popup);
  bar->Free();
  Run();
  EXPECT_EQ(popupLink->Ref, nullptr);
  ReleaseObjectLink(popupLink);
  EXPECT_EQ(Manager->GetBars()->GetCount(), bars - 1);
  EXPECT_EQ(TdxBarQuickControl::GetOpenQuickControl(), nullptr);
}

// The popup under the mark as the screen shows it, joined to the mark in the Office 2003 look
// and framed in the flat look.
TEST_F(BarQuickControlTest, GoldenImagesOfThePopup) {
  const struct {
    TdxBarManagerStyle Style;
    const char* Golden;
  } cases[] = {{bmsFlat, "quick-control-flat.png"}, {bmsOffice11, "quick-control-office11.png"}};
  TdxBar* bar = AddToolbar("Button", dsTop, 12);
  Show();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Golden);
    Manager->SetStyle(c.Style);
    Run();
    TdxBarControl* window = WindowOf(bar);
    TdxBarQuickControl* popup = OpenMark(window);
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(MatchBarGolden(orv::headless::CaptureWindow(popup->GetHandle()), c.Golden));
    // Closed again for the next look.
    const TPoint mark = Centre(window->GetMarkScreenRect());
    orv::headless::Click(mark.X, mark.Y);
    Run();
    ASSERT_EQ(window->GetQuickControl(), nullptr);
  }
}

// The Office 2003 look shadows the popup: a strip below it and one down its right side that
// continues the mark's (the two cast one shadow); the classic look has none, and the shadow goes
// with the popup. The golden image shows the toolbar's end, the popup and the shadow.
TEST_F(BarQuickControlTest, TheOffice2003LookShadowsThePopupJoinedToTheMark) {
  TdxBar* bar = AddToolbar("Button", dsTop, 12);
  Show();
  TdxBarControl* window = WindowOf(bar);
  const TRect mark = window->GetMarkScreenRect();
  TdxBarQuickControl* popup = OpenMark(window);
  ASSERT_NE(popup, nullptr);
  TdxBarShadow* shadow = popup->GetShadow();
  ASSERT_NE(shadow, nullptr);
  EXPECT_TRUE(shadow->GetVisible());
  const TRect p = ScreenRect(popup);
  ASSERT_EQ(p.Top, mark.Bottom);
  ASSERT_EQ(p.Right, mark.Right);
  const Integer s = TdxBarShadow::GetStripWidth();
  std::vector<TRect> parts;
  for (Integer i = 0; i < shadow->GetPartCount(); ++i) parts.push_back(shadow->GetPart(i)->GetPartBounds());
  const std::vector<TRect> expected{
      TRect{mark.Right, mark.Top + s, mark.Right + s, mark.Bottom},  // the mark's right side
      TRect{p.Left + s, p.Bottom, p.Right + s, p.Bottom + s},        // below the popup
      TRect{p.Right, p.Top, p.Right + s, p.Bottom},                  // the popup's right side, going on
  };
  EXPECT_EQ(parts, expected);

  const orv::TSurface screen = orv::headless::CaptureScreen();
  const TRect toolbar = ScreenRect(window);
  const Integer left = std::min(p.Left, toolbar.Right - 60);
  orv::TSurface area(p.Right + 8 - left, p.Bottom + 8 - toolbar.Top);
  for (Integer y = 0; y < area.Height(); ++y)
    for (Integer x = 0; x < area.Width(); ++x) area.SetPixel(x, y, screen.Pixel(left + x, toolbar.Top + y));
  EXPECT_TRUE(MatchBarGolden(area, "quick-control-office11-shadow.png"));

  // Closed: the strip below the popup shows the form again.
  const TPoint mid = Centre(mark);
  orv::headless::Click(mid.X, mid.Y);
  Run();
  ASSERT_EQ(window->GetQuickControl(), nullptr);
  const orv::TSurface after = orv::headless::CaptureScreen();
  EXPECT_EQ(after.Pixel(p.Left + s + 1, p.Bottom + 1), after.Pixel(p.Left + s + 1, p.Bottom + s + 6));

  // The classic look shadows nothing (its mark opens the popup only when told to).
  Manager->SetStyle(bmsStandard);
  Run();
  WindowOf(bar)->SetMarkState(2);
  Run();
  popup = WindowOf(bar)->GetQuickControl();
  ASSERT_NE(popup, nullptr);
  EXPECT_FALSE(popup->GetShadow()->GetVisible());
  EXPECT_EQ(popup->GetShadow()->GetPartCount(), 0);
}
