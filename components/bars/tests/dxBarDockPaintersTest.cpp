// Dock sites and the flat and Office 2003 painters on the headless desktop: toolbars docked at
// the four edges in rows and columns, a toolbar moved between rows, the sites taking their room
// from the form's client area, and golden images of docked toolbars and the main menu in both
// looks.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/bars/dxBar.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "components/foundation/dxOffice11.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Gdi.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/drawing/Surface.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

class DockSiteTest : public BarFormTest {
 protected:
  DockSiteTest() : BarFormTest({100, 100, 360, 200}) {}


  TdxBarButton* AddButton(TdxBar* bar, const AnsiString& caption) {
    auto* button = NewTestButton(Manager, Form.get(), caption);
    bar->GetLinks()->AddItem(button);
    return button;
  }
  // A toolbar of `count` buttons docked at a side, in a row.
  // `left` > 0 joins the row beside the bars already there, at that stored position.
  TdxBar* AddToolbar(const AnsiString& caption, TdxBarDockingStyle style, Integer row, Integer count,
                     Integer left = 0) {
    // Under the update lock no window is made before the bar has its place.
    Manager->BeginUpdate();
    TdxBar* bar = Manager->AddToolbar(false);
    bar->SetCaption(caption);
    for (Integer i = 0; i < count; ++i) AddButton(bar, caption + AnsiString(1, char('1' + i)));
    bar->SetRow(row);
    bar->SetOneOnRow(left == 0);
    bar->SetDockedLeft(left);
    bar->SetDockingStyle(style);
    Manager->EndUpdate();
    return bar;
  }
  static TdxBarControl* WindowOf(TdxBar* bar) { return dynamic_cast<TdxBarControl*>(bar->GetControl()); }
  TdxDockControl* Site(TdxBarDockingStyle style) const { return Manager->GetBars()->GetDockControl(style); }
  // The bars of a row, in column order.
  static std::vector<TdxBar*> RowBars(TdxDockControl* site, Integer row) {
    std::vector<TdxBar*> bars;
    for (Integer i = 0; i < site->GetRow(row)->GetColCount(); ++i)
      bars.push_back(site->GetRow(row)->GetCol(i)->GetBarControl()->GetBar());
    return bars;
  }
  TPoint ScreenPointIn(TdxDockControl* site, Integer x, Integer y) const {
    POINT p{x, y};
    ClientToScreen(site->GetHandle(), &p);
    return TPoint{p.X, p.Y};
  }


};

}  // namespace

TEST_F(DockSiteTest, ToolbarsDockInRowsAndColumnsAtEveryEdge) {
  Manager->SetStyle(bmsOffice11);
  TdxBar* menu = Manager->AddToolbar(true);
  AddButton(menu, "File");
  TdxBar* first = AddToolbar("A", dsTop, 1, 2);
  TdxBar* second = AddToolbar("B", dsTop, 1, 2, 150);
  TdxBar* left = AddToolbar("L", dsLeft, 0, 2);
  TdxBar* right = AddToolbar("R", dsRight, 0, 1);
  TdxBar* bottom = AddToolbar("D", dsBottom, 0, 3);
  Show();

  // Each docked window is a child of the site at its side, and each site of the form.
  const struct {
    TdxBar* Bar;
    TdxBarDockingStyle Style;
  } placed[] = {{menu, dsTop}, {first, dsTop}, {second, dsTop}, {left, dsLeft}, {right, dsRight}, {bottom, dsBottom}};
  for (const auto& p : placed) {
    SCOPED_TRACE(p.Bar->GetCaption());
    ASSERT_NE(WindowOf(p.Bar), nullptr);
    ASSERT_NE(Site(p.Style), nullptr);
    EXPECT_EQ(WindowOf(p.Bar)->GetParent(), Site(p.Style));
    EXPECT_EQ(Site(p.Style)->GetParent(), Form.get());
    EXPECT_EQ(Site(p.Style)->GetDockingStyle(), p.Style);
  }

  // The top site: the main menu alone in the first row (a whole row), the two toolbars side by
  // side in the second.
  TdxDockControl* top = Site(dsTop);
  ASSERT_EQ(top->GetRowCount(), 2);
  EXPECT_EQ(RowBars(top, 0), (std::vector<TdxBar*>{menu}));
  EXPECT_EQ(RowBars(top, 1), (std::vector<TdxBar*>{first, second}));
  EXPECT_FALSE(first->GetOneOnRow());
  EXPECT_TRUE(menu->GetOneOnRow());
  TdxBarControl* a = WindowOf(first);
  TdxBarControl* b = WindowOf(second);
  EXPECT_EQ(WindowOf(menu)->GetTop(), 0);
  EXPECT_EQ(WindowOf(menu)->GetWidth(), top->GetClientWidth());
  TRect row1;
  top->GetRowRect(1, row1);
  EXPECT_EQ(row1.Top, WindowOf(menu)->GetHeight());
  EXPECT_EQ(a->GetTop(), row1.Top);
  EXPECT_EQ(b->GetTop(), row1.Top);
  EXPECT_EQ(a->GetLeft(), 0);
  EXPECT_GE(b->GetLeft(), a->GetLeft() + a->GetWidth());
  // The site is as deep as its rows.
  EXPECT_EQ(top->GetHeight(), top->GetRowThickness(0) + top->GetRowThickness(1));
  EXPECT_EQ(top->GetHeight(), WindowOf(menu)->GetHeight() + a->GetHeight());

  // Vertical sites stack their rows left to right and take the toolbars' widths.
  TdxDockControl* leftSite = Site(dsLeft);
  ASSERT_EQ(leftSite->GetRowCount(), 1);
  EXPECT_EQ(leftSite->GetWidth(), WindowOf(left)->GetWidth());
  EXPECT_EQ(WindowOf(left)->GetTop(), 0);
  EXPECT_GT(WindowOf(left)->GetHeight(), WindowOf(left)->GetWidth());
  // Right and bottom sites keep their far edges at the form's.
  EXPECT_EQ(Site(dsRight)->GetLeft() + Site(dsRight)->GetWidth(), Form->GetClientWidth());
  EXPECT_EQ(Site(dsBottom)->GetTop() + Site(dsBottom)->GetHeight(), Form->GetClientHeight());
  EXPECT_EQ(Site(dsBottom)->GetHeight(), WindowOf(bottom)->GetHeight());
}

TEST_F(DockSiteTest, SitesTakeTheirRoomFromTheFormsClientArea) {
  auto* client = new TPanel(Form.get());
  client->SetParent(Form.get());
  client->SetAlign(alClient);
  Show();
  EXPECT_EQ(client->GetTop(), 0);
  EXPECT_EQ(client->GetHeight(), Form->GetClientHeight());

  TdxBar* tools = AddToolbar("T", dsTop, 0, 2);
  Run();
  TdxDockControl* top = Site(dsTop);
  ASSERT_NE(top, nullptr);
  const Integer depth = WindowOf(tools)->GetHeight();
  EXPECT_EQ(top->GetHeight(), depth);
  EXPECT_EQ(client->GetTop(), depth);
  EXPECT_EQ(client->GetHeight(), Form->GetClientHeight() - depth);

  // A second row deepens the site; the panel gives way again.
  TdxBar* more = AddToolbar("M", dsTop, 1, 1);
  Run();
  EXPECT_EQ(top->GetRowCount(), 2);
  EXPECT_EQ(top->GetHeight(), depth + WindowOf(more)->GetHeight());
  EXPECT_EQ(client->GetTop(), top->GetHeight());

  // A left toolbar narrows the panel from the left.
  TdxBar* side = AddToolbar("S", dsLeft, 0, 1);
  Run();
  EXPECT_EQ(client->GetLeft(), WindowOf(side)->GetWidth());
  EXPECT_EQ(client->GetWidth(), Form->GetClientWidth() - WindowOf(side)->GetWidth());

  // Hiding the toolbars gives the room back: a row without docked windows is 0 deep.
  more->SetVisible(false);
  tools->SetVisible(false);
  side->SetVisible(false);
  Run();
  EXPECT_EQ(top->GetHeight(), 0);
  EXPECT_EQ(client->GetTop(), 0);
  EXPECT_EQ(client->GetLeft(), 0);
}

TEST_F(DockSiteTest, AToolbarMovesBetweenRows) {
  TdxBar* first = AddToolbar("A", dsTop, 0, 2);
  TdxBar* second = AddToolbar("B", dsTop, 1, 2);
  Show();
  TdxDockControl* top = Site(dsTop);
  ASSERT_EQ(top->GetRowCount(), 2);
  EXPECT_EQ(RowBars(top, 0), (std::vector<TdxBar*>{first}));
  EXPECT_EQ(RowBars(top, 1), (std::vector<TdxBar*>{second}));
  const Integer rowDepth = top->GetRowThickness(0);

  // Dropped on the first row, right of the first toolbar: one row of two columns.
  const Integer right = WindowOf(first)->GetWidth() + 20;
  top->MoveBarControl(WindowOf(second), ScreenPointIn(top, right, 4));
  Run();
  ASSERT_EQ(top->GetRowCount(), 1);
  EXPECT_EQ(RowBars(top, 0), (std::vector<TdxBar*>{first, second}));
  EXPECT_EQ(WindowOf(second)->GetTop(), 0);
  EXPECT_EQ(WindowOf(second)->GetLeft(), right);
  EXPECT_EQ(top->GetHeight(), rowDepth);
  EXPECT_FALSE(second->GetOneOnRow());

  // Dropped in the strip below the row: a row of its own again, below the first.
  Boolean oneOnRow = false;
  const TPoint below = ScreenPointIn(top, 10, rowDepth + 1);
  EXPECT_EQ(top->GetRowAtPoint(below, oneOnRow), 1);
  EXPECT_TRUE(oneOnRow);
  top->MoveBarControl(WindowOf(second), below);
  Run();
  ASSERT_EQ(top->GetRowCount(), 2);
  EXPECT_EQ(RowBars(top, 1), (std::vector<TdxBar*>{second}));
  EXPECT_EQ(WindowOf(second)->GetTop(), rowDepth);
  EXPECT_EQ(top->GetHeight(), 2 * rowDepth);
  EXPECT_TRUE(second->GetOneOnRow());
}

TEST_F(DockSiteTest, RowZonesOfATopSite) {
  // Two rows; the depth of a point picks a row, a new row between two, or a new first row.
  AddToolbar("A", dsTop, 0, 1);
  AddToolbar("B", dsTop, 1, 1);
  Show();
  TdxDockControl* top = Site(dsTop);
  ASSERT_EQ(top->GetRowCount(), 2);
  const Integer t = top->GetRowThickness(0);
  // The 5-pixel strip of each band starts (23 - 5) div 2 = 9 pixels into it.
  const struct {
    Integer Depth;
    Integer Row;
    Boolean OneOnRow;
  } cases[] = {
      {-14, 0, true}, {-10, 0, true}, {-9, 0, false}, {8, 0, false},    {9, 1, true},
      {13, 1, true},  {14, 1, false}, {t - 1, 1, false}, {-23, -1, false}, {-15, -1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Depth);
    Boolean oneOnRow = !c.OneOnRow;
    EXPECT_EQ(top->GetRowAtPoint(ScreenPointIn(top, 5, c.Depth), oneOnRow), c.Row);
    EXPECT_EQ(oneOnRow, c.OneOnRow);
  }
  // Beyond every band: a new first row above, a new last row below.
  Boolean oneOnRow = false;
  EXPECT_EQ(top->GetRowAtPoint(ScreenPointIn(top, 5, -40), oneOnRow), 0);
  EXPECT_TRUE(oneOnRow);
  EXPECT_EQ(top->GetRowAtPoint(ScreenPointIn(top, 5, top->GetContentSize() + 40), oneOnRow), 2);
  EXPECT_TRUE(oneOnRow);
}

TEST_F(DockSiteTest, TwoToolbarsThatDoNotFitShareTheRow) {
  Form->SetBounds(100, 100, 200, 120);
  TdxBar* first = AddToolbar("A", dsTop, 0, 6);
  TdxBar* second = AddToolbar("B", dsTop, 0, 6, 150);
  Show();
  TdxDockControl* top = Site(dsTop);
  ASSERT_EQ(top->GetRowCount(), 1);
  TdxBarControl* a = WindowOf(first);
  TdxBarControl* b = WindowOf(second);
  // Both stand in the row, within it, the first no narrower than its minimum.
  // The first keeps its full length; the second cannot keep its requested place (no gap may
  // stay before it) and is truncated to the rest of the row, never below its minimum.
  EXPECT_EQ(a->GetLeft(), 0);
  EXPECT_EQ(b->GetLeft(), a->GetWidth());
  EXPECT_EQ(b->GetLeft() + b->GetWidth(), top->GetClientWidth());
  TRect borders;
  b->GetBorders(borders);
  EXPECT_GE(b->GetWidth(), b->GetMinWidth(dsTop) + borders.Left + borders.Right);
  EXPECT_LT(b->GetWidth(), b->CalcWidthForStyle(dsTop) + borders.Left + borders.Right);
}

TEST_F(DockSiteTest, Office11DocksAreShadedAcrossAndToolbarsDownwards) {
  Manager->SetStyle(bmsOffice11);
  TdxBar* tools = AddToolbar("T", dsTop, 0, 2);
  TdxBar* side = AddToolbar("S", dsLeft, 0, 1);
  Show();
  const orv::TSurface surface = orv::headless::CaptureClient(Form->GetHandle());
  TdxDockControl* top = Site(dsTop);
  // Left and right ends of the top site's free part show the two dock colours.
  const Integer y = top->GetHeight() / 2;
  const Integer farX = Form->GetClientWidth() - 1;
  EXPECT_NE(orv::PixelToColor(surface.Pixel(farX, y)), std::uint32_t(ColorToRGB(Office11DockGradientColor1)));
  // The left site is one solid colour.
  const Integer sideBottom = Form->GetClientHeight() - 1;
  EXPECT_EQ(orv::PixelToColor(surface.Pixel(0, sideBottom)), std::uint32_t(ColorToRGB(Office11DockGradientColor1)));
  EXPECT_EQ(orv::PixelToColor(surface.Pixel(Site(dsLeft)->GetWidth() - 1, sideBottom)),
            std::uint32_t(ColorToRGB(Office11DockGradientColor1)));
  // The toolbar's shadow line runs along its bottom row.
  TdxBarControl* window = WindowOf(tools);
  EXPECT_EQ(orv::PixelToColor(surface.Pixel(window->GetLeft() + window->GetWidth() / 2, window->GetHeight() - 1)),
            std::uint32_t(ColorToRGB(Office11ToolbarShadowLineColor)));
  (void)side;
}

TEST_F(DockSiteTest, GoldenImagesOfDockedBarsInTheFlatAndOffice11Looks) {
  Form->SetBounds(100, 100, 300, 110);
  TdxBar* menu = Manager->AddToolbar(true);
  AddButton(menu, "File");
  AddButton(menu, "Help");
  TdxBar* tools = AddToolbar("T", dsTop, 1, 3);
  auto* checked = dynamic_cast<TdxBarButton*>(tools->GetLinks()->GetItem(2)->GetItem());
  checked->SetButtonStyle(bsChecked);
  checked->SetDown(true);
  tools->GetLinks()->GetItem(2)->SetBeginGroup(true);
  const struct {
    TdxBarManagerStyle Style;
    const char* Golden;
  } cases[] = {{bmsOffice11, "bar-office11-docked.png"}, {bmsFlat, "bar-flat-docked.png"}};
  Show();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Golden);
    Manager->SetStyle(c.Style);
    Run();
    // The second button hot under the mouse, the third checked.
    TdxBarItemLink* hot = tools->GetLinks()->GetItem(1);
    const TRect r = hot->GetItemRect();
    POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    ClientToScreen(WindowOf(tools)->GetHandle(), &p);
    orv::headless::MouseMove(p.X, p.Y);
    Run();
    EXPECT_TRUE(MatchBarGolden(orv::headless::CaptureWindow(Form->GetHandle()), c.Golden));
    orv::headless::MouseMove(50, 600);
    Run();
  }
}
