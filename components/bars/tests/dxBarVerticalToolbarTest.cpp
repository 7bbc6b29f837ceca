// Toolbars docked on the left or right side of a form: the links one below the other along the
// bar, the bar as long as its links and as wide as its widest one, and captions turned to run
// down the bar while the bar rotates them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/bars/dxBar.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "components/foundation/cxGeometry.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Gdi.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/drawing/Surface.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

class VerticalToolbarTest : public BarFormTest {
 protected:
  VerticalToolbarTest() : BarFormTest({100, 100, 320, 260}) {}


  // A toolbar of caption buttons (no images, so each shows its caption) at a side of the form.
  TdxBar* AddToolbar(TdxBarDockingStyle style, const std::vector<AnsiString>& captions, Boolean beginGroupAt2 = false) {
    Manager->BeginUpdate();
    TdxBar* bar = Manager->AddToolbar(false);
    bar->SetCaption("Side");
    for (size_t i = 0; i < captions.size(); ++i) {
      auto* button = NewTestButton(Manager, Form.get(), captions[i]);
      TdxBarItemLink* link = bar->GetLinks()->AddItem(button);
      if (beginGroupAt2 && i == 2) link->SetBeginGroup(true);
    }
    bar->SetDockingStyle(style);
    Manager->EndUpdate();
    return bar;
  }
  static TdxBarControl* WindowOf(TdxBar* bar) { return dynamic_cast<TdxBarControl*>(bar->GetControl()); }
  static std::vector<TRect> LinkRects(TdxBar* bar) {
    std::vector<TRect> rects;
    for (Integer i = 0; i < bar->GetItemLinks()->GetVisibleItemCount(); ++i)
      rects.push_back(bar->GetItemLinks()->GetVisibleItem(i)->GetItemRect());
    return rects;
  }

  void CheckColumn(TdxBarDockingStyle style, Boolean rotate);

};

}  // namespace

// Each link starts where the one above it ends (a group gap between groups), all of one column
// width; the column is as wide as the widest link and as long as the links, frame included.
void VerticalToolbarTest::CheckColumn(TdxBarDockingStyle style, Boolean rotate) {
  Manager->SetStyle(bmsStandard);
  TdxBar* bar = AddToolbar(style, {"Open", "Save as", "Print", "Quit"}, true);
  bar->SetRotateWhenVertical(rotate);
  Show();
  TdxBarControl* window = WindowOf(bar);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(window->IsVertical());
  EXPECT_EQ(window->IsTextRotated(), rotate);
  EXPECT_FALSE(window->IsTruncated());
  const std::vector<TRect> rects = LinkRects(bar);
  ASSERT_EQ(rects.size(), 4u);
  const Integer gap = window->GetBeginGroupSize();
  Integer widest = 0, length = 0;
  for (size_t i = 0; i < rects.size(); ++i) {
    SCOPED_TRACE(i);
    const TRect& r = rects[i];
    TdxBarItemControl* control = bar->GetItemLinks()->GetVisibleItem(Integer(i))->GetControl();
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(r.Width(), control->CalcWidth());
    EXPECT_EQ(r.Height(), control->CalcHeight());
    const Integer expectedTop = i == 0 ? 0 : rects[i - 1].Bottom + (i == 2 ? gap : 0);
    EXPECT_EQ(r.Top, expectedTop);
    widest = std::max(widest, r.Width());
    length = r.Bottom;
  }
  if (rotate) {
    // A turned caption makes a button long down the bar and one glyph cell thick.
    for (const TRect& r : rects) EXPECT_GT(r.Height(), r.Width());
    EXPECT_EQ(rects[0].Width(), rects[1].Width());
  } else {
    // Upright captions make the buttons as wide as their texts.
    EXPECT_GT(rects[1].Width(), rects[0].Width());
    for (const TRect& r : rects) EXPECT_GT(r.Width(), r.Height());
  }
  // Narrower links are centred across the column.
  for (const TRect& r : rects) EXPECT_EQ(r.Left, (window->GetClientWidth() - r.Width()) / 2);
  EXPECT_EQ(window->GetClientWidth(), widest);
  EXPECT_EQ(window->GetClientHeight(), length);
  TRect borders;
  window->GetBorders(borders);
  EXPECT_EQ(window->GetWidth(), widest + borders.Left + borders.Right);
  EXPECT_EQ(window->GetHeight(), length + borders.Top + borders.Bottom);
  EXPECT_EQ(window->CalcHeightForStyle(style), length);
  EXPECT_EQ(window->CalcWidthForStyle(style), widest);
  // The side's dock site is as wide as the bar.
  TdxDockControl* site = Manager->GetBars()->GetDockControl(style);
  ASSERT_NE(site, nullptr);
  EXPECT_EQ(site->GetWidth(), window->GetWidth());
}

TEST_F(VerticalToolbarTest, TurnedCaptionsStackDownALeftBar) { CheckColumn(dsLeft, true); }
TEST_F(VerticalToolbarTest, TurnedCaptionsStackDownARightBar) { CheckColumn(dsRight, true); }
TEST_F(VerticalToolbarTest, UprightCaptionsStackDownALeftBar) { CheckColumn(dsLeft, false); }
TEST_F(VerticalToolbarTest, UprightCaptionsStackDownARightBar) { CheckColumn(dsRight, false); }

// A column shorter than its links shows what fits, truncates the rest and shows the mark below
// them; the first link is always shown.
TEST_F(VerticalToolbarTest, AShortColumnTruncatesItsLinks) {
  Manager->SetStyle(bmsStandard);
  Form->SetBounds(100, 100, 320, 120);
  TdxBar* bar = AddToolbar(dsLeft, {"Open", "Save as", "Print", "Quit", "Help", "About"});
  Show();
  TdxBarControl* window = WindowOf(bar);
  ASSERT_NE(window, nullptr);
  ASSERT_LT(window->GetHeight(), window->CalcHeightForStyle(dsLeft));
  EXPECT_TRUE(window->IsTruncated());
  EXPECT_TRUE(window->IsMarkVisible());
  const std::vector<TRect> rects = LinkRects(bar);
  const TRect mark = window->GetMarkRect();
  EXPECT_FALSE(RectIsEmpty(rects[0]));
  Integer shown = 0;
  for (const TRect& r : rects) {
    if (RectIsEmpty(r)) continue;
    ++shown;
    EXPECT_LE(r.Bottom, mark.Top);
  }
  EXPECT_GT(shown, 0);
  EXPECT_LT(shown, Integer(rects.size()));
}

// Turning the captions upright (or back) tells the window at once: it lays its links out again
// and its dock site takes its new width.
TEST_F(VerticalToolbarTest, RotateWhenVerticalLaysTheBarOutAgain) {
  Manager->SetStyle(bmsStandard);
  TdxBar* bar = AddToolbar(dsLeft, {"Open", "Save as", "Print"});
  Show();
  TdxBarControl* window = WindowOf(bar);
  ASSERT_NE(window, nullptr);
  const Integer turnedWidth = window->GetWidth();
  EXPECT_GT(LinkRects(bar)[1].Height(), LinkRects(bar)[1].Width());
  bar->SetRotateWhenVertical(false);
  Run();
  ASSERT_EQ(WindowOf(bar), window);
  EXPECT_FALSE(window->IsTextRotated());
  const std::vector<TRect> upright = LinkRects(bar);
  EXPECT_GT(upright[1].Width(), upright[1].Height());
  EXPECT_EQ(upright[1].Top, upright[0].Bottom);
  EXPECT_GT(window->GetWidth(), turnedWidth);
  EXPECT_EQ(window->GetClientWidth(), upright[1].Width());
  EXPECT_EQ(Manager->GetBars()->GetDockControl(dsLeft)->GetWidth(), window->GetWidth());
  bar->SetRotateWhenVertical(true);
  Run();
  EXPECT_EQ(window->GetWidth(), turnedWidth);
  EXPECT_GT(LinkRects(bar)[1].Height(), LinkRects(bar)[1].Width());
}

// Turned captions read downwards; an accelerator's underline runs beside its character.
TEST_F(VerticalToolbarTest, GoldenImageOfTurnedCaptions) {
  Manager->SetStyle(bmsStandard);
  TdxBar* bar = AddToolbar(dsLeft, {"&Open", "Save as", "P&rint"}, true);
  Show();
  TdxBarControl* window = WindowOf(bar);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(MatchBarGolden(orv::headless::CaptureWindow(window->GetHandle()), "toolbar-left-rotated.png"));
}
