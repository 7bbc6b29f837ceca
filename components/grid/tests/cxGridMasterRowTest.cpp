// Master rows of a table view laid out and painted: the expand-button column, an expanded row
// showing its detail view inside itself below the data cells (with level tabs on top or on the
// left when the level has several children), the details' sizes within the room left and within
// MaxDetailHeight, the grid lines around the details, expanding by keys and by the mouse, the
// extra scroll position for a cut-off last detail, and golden images of both tab positions.
#include <gtest/gtest.h>

#include "components/grid/cxGridMasterDataRowViewInfo.h"
#include "components/grid/cxGridTableViewController.h"
#include "components/grid/tests/GridTableViewFixture.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/windowing/Headless.h"

namespace grid_table_view_test {
namespace {

std::string MasterRowGoldenPath(const char* name) {
  return std::string(ORV_SOURCE_DIR) + "/components/grid/tests/golden/" + name;
}

class MasterRowTest : public GridTableViewTest {
 protected:
  void SetUp() override {
    GridTableViewTest::SetUp();
    ConfigureAsApplication();
    FillTowns(4);
    MasterLevel = Grid->GetRootLevel()->GetItem(0);
    TownsLevel = AddDetailLevel("Города"_a, "Город"_a);
  }
  TcxGridLevel* AddDetailLevel(const AnsiString& caption, const AnsiString& columnCaption) {
    TcxGridLevel* level = MasterLevel->Add();
    level->SetCaption(caption);
    auto* pattern = static_cast<TcxGridTableView*>(Grid->CreateView(TcxGridTableView::StaticClass()));
    TcxGridColumn* column = pattern->CreateColumn();
    column->SetCaption(columnCaption);
    column->SetWidth(200);
    pattern->GetOptionsView()->SetGroupByBox(false);
    level->SetGridView(pattern);
    return level;
  }
  TcxGridMasterDataRow* MasterRow(Integer i) { return dynamic_cast<TcxGridMasterDataRow*>(View->GetViewData()->GetRow(i)); }
  TcxGridMasterDataRowViewInfo* RowInfo(Integer i) {
    return dynamic_cast<TcxGridMasterDataRowViewInfo*>(MasterRow(i)->GetViewInfo());
  }
  TcxGridTableView* ActiveDetail(Integer row) {
    return dynamic_cast<TcxGridTableView*>(MasterRow(row)->GetActiveDetailGridView());
  }
  // Fills the active detail of the row with `count` towns.
  TcxGridTableView* FillDetail(Integer row, Integer count) {
    TcxGridTableView* detail = ActiveDetail(row);
    EXPECT_NE(detail, nullptr);
    if (!detail) return nullptr;
    TcxCustomDataController* dc = detail->GetDataController();
    dc->BeginUpdate();
    dc->SetRecordCount(count);
    for (Integer r = 0; r < count; ++r)
      dc->SetValue(r, 0, Variant(AnsiString(FixtureTowns()[r % kFixtureTownCount].City)));
    dc->EndUpdate();
    Run();
    return detail;
  }
  TcxGridTableView* Expand(Integer row, Integer detailRecords) {
    MasterRow(row)->SetExpanded(true);
    Run();
    return FillDetail(row, detailRecords);
  }
  void ExpectGolden(const char* name) {
    Run();
    const orv::TImageCheck check =
        orv::MatchGoldenImage(orv::headless::CaptureWindow(Grid->GetHandle()), MasterRowGoldenPath(name));
    EXPECT_TRUE(check) << check.Message;
  }
  TRect ScreenRect(TWinControl* control) {
    const TPoint topLeft = control->ClientToScreen(TPoint{0, 0});
    return TRect{topLeft.X, topLeft.Y, topLeft.X + control->GetWidth(), topLeft.Y + control->GetHeight()};
  }

  TcxGridLevel* MasterLevel = nullptr;
  TcxGridLevel* TownsLevel = nullptr;
};

TEST_F(MasterRowTest, ACollapsedRowHasOnlyItsExpandButtonColumnBesideTheCells) {
  Layout();
  TcxGridMasterDataRowViewInfo* row = RowInfo(1);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->DetailsSiteViewInfo(), nullptr);
  EXPECT_EQ(row->DetailsAreaViewInfo(), nullptr);
  ASSERT_NE(row->ExpandButtonCellViewInfo(), nullptr);
  const Integer indent = ViewInfo()->LevelIndent();
  ASSERT_GT(indent, 0);
  const TRect bounds = row->GetBounds();
  EXPECT_EQ(row->ExpandButtonCellViewInfo()->GetBounds(),
            (TRect{row->GetDataLeft(), bounds.Top, row->GetDataLeft() + indent, bounds.Top + row->GetDataHeight()}));
  EXPECT_EQ(row->CellsAreaBounds().Left, row->GetDataLeft() + indent);
  EXPECT_EQ(row->Cell(0)->GetBounds().Left, row->GetDataLeft() + indent);
  // The button lies in the column, centred vertically.
  const TRect button = row->ExpandButtonBounds();
  EXPECT_EQ(button.Left, row->GetDataLeft() + ViewInfo()->ExpandButtonIndent());
  EXPECT_NEAR(button.Top + button.Height() / 2, bounds.Top + row->GetDataHeight() / 2, 1);
}

TEST_F(MasterRowTest, AnExpandedRowShowsItsDetailInsideItselfBelowTheCells) {
  Layout();
  const Integer dataHeight = RowInfo(1)->GetBounds().Height();
  TcxGridTableView* detail = Expand(1, 3);
  ASSERT_NE(detail, nullptr);
  TcxGridMasterDataRowViewInfo* row = RowInfo(1);
  ASSERT_NE(row->DetailsSiteViewInfo(), nullptr);
  TcxGridDetailsSiteViewInfo* site = row->DetailsSiteViewInfo();
  EXPECT_TRUE(View->IsDetailVisible(detail));
  EXPECT_TRUE(detail->IsVisible());
  // The site begins right of the expand-button column, under the data part.
  const TRect bounds = row->GetBounds();
  EXPECT_EQ(row->GetDataHeight(), dataHeight);
  EXPECT_EQ(site->GetBounds().Left, row->ExpandButtonCellViewInfo()->GetBounds().Right);
  EXPECT_EQ(site->GetBounds().Top, bounds.Top + dataHeight);
  EXPECT_EQ(bounds.Height(), dataHeight + site->GetHeight());
  // The site is as wide as the rows area allows and as high as the three towns need.
  EXPECT_EQ(site->GetBounds().Right, ViewInfo()->ClientBounds().Right);
  EXPECT_TRUE(site->GetFullyVisible());
  EXPECT_TRUE(row->IsFullyVisible());
  TcxGridRowsViewInfo* detailRows = static_cast<TcxGridTableViewInfo*>(detail->GetViewInfo())->RowsViewInfo();
  EXPECT_EQ(detailRows->GetVisibleCount(), 3);
  // The detail view's own window sits in the site's client area, inside the master's window.
  EXPECT_EQ(detail->GetSite()->GetParent(), View->GetSite());
  EXPECT_EQ(detail->GetSite()->GetBoundsRect(), site->GetClientBoundsValue());
  // The expand-button column runs down to the details' bottom; the next row begins below them.
  EXPECT_EQ(row->ExpandButtonCellViewInfo()->GetBounds().Bottom, bounds.Top + dataHeight + site->GetHeight());
  EXPECT_EQ(RowInfo(2)->GetBounds().Top, bounds.Bottom);
  // Collapsing hides the detail and gives the row its height back.
  MasterRow(1)->SetExpanded(false);
  Run();
  EXPECT_EQ(RowInfo(1)->DetailsSiteViewInfo(), nullptr);
  EXPECT_EQ(RowInfo(1)->GetBounds().Height(), dataHeight);
  EXPECT_FALSE(View->IsDetailVisible(detail));
  EXPECT_FALSE(detail->IsVisible());
  EXPECT_NE(detail->GetSite()->GetParent(), View->GetSite());
}

TEST_F(MasterRowTest, ADetailIsVisibleOnlyWhileItsMasterRowIsOnScreen) {
  FillTowns(60);
  Layout();
  TcxGridTableView* detail = Expand(45, 2);
  ASSERT_NE(detail, nullptr);
  auto* controller = static_cast<TcxGridTableController*>(View->GetController());
  controller->SetTopRecordIndex(0);
  Run();
  ASSERT_EQ(controller->GetTopRecordIndex(), 0);
  ASSERT_EQ(MasterRow(45)->GetViewInfo(), nullptr);
  EXPECT_FALSE(View->IsDetailVisible(detail));
  EXPECT_FALSE(detail->IsVisible());
  EXPECT_NE(detail->GetSite()->GetParent(), View->GetSite());
  // Brought into view by its detail, the row shows the detail again.
  detail->CheckMasterRecordVisible();
  Run();
  ASSERT_NE(RowInfo(45), nullptr);
  EXPECT_TRUE(View->IsDetailVisible(detail));
  EXPECT_TRUE(detail->IsVisible());
  EXPECT_EQ(detail->GetSite()->GetParent(), View->GetSite());
  EXPECT_EQ(detail->GetSite()->GetBoundsRect(), RowInfo(45)->DetailsSiteViewInfo()->GetClientBoundsValue());
}

TEST_F(MasterRowTest, TheDetailsSizesAreKeptInTheRowsCacheItemAcrossLayouts) {
  Layout();
  Expand(0, 3);
  TcxGridMasterTableViewInfoCacheItem* item = RowInfo(0)->CacheItem();
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->IsDetailsSiteHeightAssigned);
  EXPECT_TRUE(item->IsDetailsSiteWidthAssigned);
  const Integer height = item->DetailsSiteHeight;
  EXPECT_EQ(RowInfo(0)->DetailsSiteViewInfo()->GetHeight(), height);
  // A kept value is what the row answers: a layout that does not clear the cache keeps it.
  item->DetailsSiteHeight = height + 7;
  View->LayoutChanged(true);
  Run();
  EXPECT_EQ(RowInfo(0)->DetailsSiteViewInfo()->GetHeight(), height + 7);
  // More detail records make the detail measure itself again through its master's cache item.
  FillDetail(0, 5);
  EXPECT_GT(RowInfo(0)->DetailsSiteViewInfo()->GetHeight(), height);
  EXPECT_NE(RowInfo(0)->DetailsSiteViewInfo()->GetHeight(), height + 7);
}

TEST_F(MasterRowTest, MaxDetailHeightCutsTheDetailsAndTheRowStillCountsAsFullyVisible) {
  MasterLevel->SetMaxDetailHeight(100);
  Layout();
  Expand(0, 20);
  TcxGridMasterDataRowViewInfo* row = RowInfo(0);
  ASSERT_NE(row->DetailsSiteViewInfo(), nullptr);
  EXPECT_EQ(row->DetailsSiteViewInfo()->GetHeight(), 100);
  EXPECT_TRUE(row->DetailsSiteViewInfo()->IsMaxDetailHeightReached());
  EXPECT_FALSE(row->DetailsSiteViewInfo()->GetFullyVisible());
  EXPECT_TRUE(row->IsFullyVisible());
  auto* controller = static_cast<TcxGridTableController*>(View->GetController());
  EXPECT_FALSE(controller->NeedsExtraScrollForLastDetail(true));
}

TEST_F(MasterRowTest, TheLastRowsDetailsTakeTheRoomLeftAndTheRowIsPartlyVisible) {
  Layout();
  Expand(3, 40);
  TcxGridMasterDataRowViewInfo* row = RowInfo(3);
  ASSERT_NE(row->DetailsSiteViewInfo(), nullptr);
  TcxGridDetailsSiteViewInfo* site = row->DetailsSiteViewInfo();
  EXPECT_FALSE(site->GetFullyVisible());
  // Only the closing grid line of the last row lies below the details.
  EXPECT_EQ(site->GetBounds().Bottom, Rows()->ContentBounds().Bottom - row->GetBottomPartHeight());
  EXPECT_EQ(row->GetBounds().Bottom, Rows()->ContentBounds().Bottom);
  EXPECT_FALSE(row->IsFullyVisible());
  EXPECT_EQ(row->GetFullHeight(), row->GetBounds().Height() - site->GetHeight() + site->GetNormalHeight());
  // The cut row does not count as shown whole, so the view can scroll it further up.
  auto* controller = static_cast<TcxGridTableController*>(View->GetController());
  EXPECT_EQ(controller->GetVisibleRecordCount(), 3);
  EXPECT_EQ(controller->GetMaxTopRecordIndex(), 1);
  // Scrolled down a record at a time, the view goes on until the last row is at the top.
  for (Integer i = 0; i < 5; ++i) {
    controller->ScrollRecords(true, 1);
    Run();
  }
  EXPECT_EQ(controller->GetTopRecordIndex(), 3);
  EXPECT_EQ(RowInfo(3)->GetBounds().Top, Rows()->ContentBounds().Top);
  // The detail's window moved up with its row.
  EXPECT_EQ(ActiveDetail(3)->GetSite()->GetBoundsRect(), RowInfo(3)->DetailsSiteViewInfo()->GetClientBoundsValue());
}

TEST_F(MasterRowTest, ASingleMasterRowWithACutDetailGetsOneMoreScrollPosition) {
  FillTowns(1);
  Layout();
  Expand(0, 40);
  auto* controller = static_cast<TcxGridTableController*>(View->GetController());
  ASSERT_FALSE(RowInfo(0)->DetailsSiteViewInfo()->GetFullyVisible());
  EXPECT_TRUE(controller->NeedsExtraScrollForLastDetail(true));
  EXPECT_FALSE(controller->NeedsExtraScrollForLastDetail(false));
  // A detail that fits needs none.
  FillDetail(0, 2);
  EXPECT_TRUE(RowInfo(0)->DetailsSiteViewInfo()->GetFullyVisible());
  EXPECT_FALSE(controller->NeedsExtraScrollForLastDetail(true));
}

TEST_F(MasterRowTest, GridLinesAroundTheDetails) {
  struct TCase {
    TcxGridLines Lines;
    Boolean CellBottom, CellRight, AreaBottom;
  };
  const TCase cases[] = {{glVertical, false, false, false},
                         {glBoth, true, true, true},
                         {glHorizontal, true, true, true},
                         {glNone, false, false, false}};
  Layout();
  Expand(1, 2);
  for (const TCase& c : cases) {
    SCOPED_TRACE(int(c.Lines));
    View->GetOptionsView()->SetGridLines(c.Lines);
    Run();
    TcxGridMasterDataRowViewInfo* row = RowInfo(1);
    TcxGridExpandButtonCellViewInfo* cell = row->ExpandButtonCellViewInfo();
    EXPECT_EQ(cell->GetBorders().Contains(bBottom), c.CellBottom);
    EXPECT_EQ(cell->GetBorders().Contains(bRight), c.CellRight);
    EXPECT_EQ(row->DetailsAreaViewInfo()->GetBorders().Contains(bBottom), c.AreaBottom);
    // A collapsed row's column never has a right border.
    EXPECT_FALSE(RowInfo(0)->ExpandButtonCellViewInfo()->GetBorders().Contains(bRight));
    if (!c.CellRight) continue;
    // The right border runs beside the details only: from the data part's bottom line down.
    TRect border;
    cell->GetBorderBounds(bRight, border);
    EXPECT_EQ(border.Top, row->GetBounds().Top + row->GetDataHeight() - 1);
    EXPECT_EQ(border.Bottom, cell->GetBounds().Bottom);
    EXPECT_EQ(border.Left, cell->GetBounds().Right - 1);
    TRect rest;
    cell->GetRightBorderRestBounds(rest);
    EXPECT_EQ(rest.Top, cell->GetBounds().Top);
    EXPECT_EQ(rest.Bottom, border.Top);
  }
}

TEST_F(MasterRowTest, KeysExpandAndCollapseTheFocusedMasterRow) {
  Layout();
  // A click on a cell focuses the view and the row.
  const TRect cell = RowInfo(2)->Cell(1)->GetBounds();
  const TPoint p = View->GetSite()->ClientToScreen(TPoint{cell.Left + 5, cell.Top + cell.Height() / 2});
  orv::headless::AdvanceTime(1000);
  orv::headless::Click(p.X, p.Y);
  Run();
  ASSERT_TRUE(MasterRow(2)->GetFocused());
  struct TStep {
    Word Key;
    Boolean Expanded;
  };
  const TStep steps[] = {{VK_ADD, true}, {VK_SUBTRACT, false}, {VK_RIGHT, true}, {VK_LEFT, false}};
  for (const TStep& step : steps) {
    SCOPED_TRACE(step.Key);
    orv::headless::PressKey(step.Key);
    Run();
    EXPECT_EQ(MasterRow(2)->GetExpanded(), step.Expanded);
    EXPECT_EQ(RowInfo(2)->DetailsSiteViewInfo() != nullptr, step.Expanded);
    EXPECT_EQ(MasterRow(2)->GetFocused(), true);
  }
}

TEST_F(MasterRowTest, AClickOnTheExpandButtonTogglesTheRow) {
  Layout();
  for (Boolean expanded : {true, false}) {
    const TRect button = RowInfo(3)->ExpandButtonBounds();
    const TPoint p = View->GetSite()->ClientToScreen(TPoint{button.Left + button.Width() / 2, button.Top + button.Height() / 2});
    orv::headless::AdvanceTime(1000);
    orv::headless::Click(p.X, p.Y);
    Run();
    EXPECT_EQ(MasterRow(3)->GetExpanded(), expanded);
  }
  // A click in the column beside the button, on the data part, toggles it as well.
  const TRect area = RowInfo(3)->ExpandButtonCellViewInfo()->GetBounds();
  TcxCustomGridHitTest* hitTest = ViewInfo()->GetHitTest(TPoint{area.Left + 1, area.Top + 1});
  ASSERT_NE(hitTest, nullptr);
  EXPECT_EQ(hitTest->GetHitTestCode(), htExpandButton);
}

class MasterRowTabsTest : public MasterRowTest {
 protected:
  void SetUp() override {
    MasterRowTest::SetUp();
    DistrictsLevel = AddDetailLevel("Районы"_a, "Район"_a);
  }
  TcxGridLevelTabControl* Tabs(Integer row) {
    TcxGridDetailsSiteViewInfo* site = RowInfo(row)->DetailsSiteViewInfo();
    return site && site->HasTabs() ? site->GetTabsViewInfo()->GetTabControl() : nullptr;
  }
  void ShowWithTabs(TcxGridDetailTabsPosition position) {
    MasterLevel->GetOptions()->SetDetailTabsPosition(position);
    Layout();
    Expand(1, 3);
  }

  TcxGridLevel* DistrictsLevel = nullptr;
};

TEST_F(MasterRowTabsTest, TopTabsLieAboveTheDetailInsideTheRow) {
  ShowWithTabs(dtpTop);
  TcxGridDetailsSiteViewInfo* site = RowInfo(1)->DetailsSiteViewInfo();
  ASSERT_NE(site, nullptr);
  ASSERT_NE(Tabs(1), nullptr);
  EXPECT_EQ(Tabs(1)->GetParent(), View->GetSite());
  ASSERT_EQ(Tabs(1)->GetTabs()->GetCount(), 2);
  EXPECT_EQ(Tabs(1)->SelectedLevel(), TownsLevel);
  TcxCustomGridDetailsSiteTabsViewInfo* tabs = site->GetTabsViewInfo();
  EXPECT_EQ(tabs->GetBounds().Top, site->GetBounds().Top);
  EXPECT_EQ(tabs->GetBounds().Left, site->GetBounds().Left);
  EXPECT_EQ(Tabs(1)->GetBoundsRect(), tabs->GetBounds());
  EXPECT_EQ(ActiveDetail(1)->GetSite()->GetBoundsRect().Top,
            site->GetBounds().Top + tabs->GetHeight() + site->GetFrameWidth());
  ExpectGolden("master-row-top-tabs.png");
}

TEST_F(MasterRowTabsTest, LeftTabsStandBesideTheDetailAboveTheGridLine) {
  View->GetOptionsView()->SetGridLines(glBoth);
  ShowWithTabs(dtpLeft);
  TcxGridDetailsSiteViewInfo* site = RowInfo(1)->DetailsSiteViewInfo();
  ASSERT_NE(site, nullptr);
  auto* tabs = dynamic_cast<TcxGridMasterDataRowDetailsSiteLeftTabsViewInfo*>(site->GetTabsViewInfo());
  ASSERT_NE(tabs, nullptr);
  EXPECT_TRUE(Tabs(1)->GetRotate());
  EXPECT_TRUE(tabs->HasBottomGridLine());
  TRect line;
  tabs->GetBottomGridLineBounds(line);
  EXPECT_EQ(line.Bottom, tabs->GetBounds().Bottom);
  EXPECT_EQ(line.Height(), 1);
  EXPECT_EQ(Tabs(1)->GetBoundsRect().Bottom, line.Top);
  EXPECT_EQ(ActiveDetail(1)->GetSite()->GetBoundsRect().Left,
            site->GetBounds().Left + tabs->GetWidth() + site->GetFrameWidth());
  ExpectGolden("master-row-left-tabs.png");
}

TEST_F(MasterRowTabsTest, ClickingATabShowsThatLevelsDetailInTheRow) {
  ShowWithTabs(dtpTop);
  TcxGridTableView* towns = ActiveDetail(1);
  ASSERT_NE(Tabs(1), nullptr);
  // The second tab's middle, on the screen.
  TcxGridLevelTabControl* tabs = Tabs(1);
  TPoint p{-1, -1};
  for (Integer x = 0; x < tabs->GetWidth() && p.X < 0; ++x)
    if (tabs->GetTabVisibleIndexAt(x, tabs->GetHeight() / 2) == 1) p = tabs->ClientToScreen(TPoint{x + 5, tabs->GetHeight() / 2});
  ASSERT_GE(p.X, 0);
  orv::headless::AdvanceTime(1000);
  orv::headless::Click(p.X, p.Y);
  Run();
  EXPECT_EQ(MasterRow(1)->GetActiveDetailIndex(), 1);
  TcxGridTableView* districts = ActiveDetail(1);
  ASSERT_NE(districts, nullptr);
  EXPECT_NE(districts, towns);
  EXPECT_TRUE(View->IsDetailVisible(districts));
  EXPECT_FALSE(View->IsDetailVisible(towns));
  EXPECT_EQ(districts->GetSite()->GetParent(), View->GetSite());
  EXPECT_EQ(Tabs(1)->SelectedLevel(), DistrictsLevel);
}

TEST_F(MasterRowTabsTest, OnlyTheFocusedMasterRowsTabsShowAccelerators) {
  TownsLevel->SetCaption("&Города"_a);
  MasterLevel->GetOptions()->SetDetailTabsPosition(dtpTop);
  Layout();
  Expand(1, 2);
  Expand(2, 2);
  MasterRow(2)->SetFocused(true);
  Run();
  ASSERT_NE(Tabs(1), nullptr);
  ASSERT_NE(Tabs(2), nullptr);
  EXPECT_TRUE(Tabs(2)->GetShowAccelerators());
  EXPECT_FALSE(Tabs(1)->GetShowAccelerators());
  // Alt+letter reaches the focused row's tabs through the row.
  EXPECT_EQ(MasterRow(2)->GetActiveDetailIndex(), 0);
  DistrictsLevel->SetCaption("&Районы"_a);
  Run();
  EXPECT_TRUE(RowInfo(2)->ProcessDialogChar(char(0xD0)));  // 'Р' in the Windows-1251 code page
  Run();
  EXPECT_EQ(MasterRow(2)->GetActiveDetailIndex(), 1);
  EXPECT_EQ(MasterRow(1)->GetActiveDetailIndex(), 0);
}

}  // namespace
}  // namespace grid_table_view_test
