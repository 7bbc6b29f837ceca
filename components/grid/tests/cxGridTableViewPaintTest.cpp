// The grid table view painted on the headless desktop: the main window's grid at two widths and
// empty, a header with a sort mark, a footer with a summary, the rows' grid lines drawn in one
// batch, and scrolling by copying pixels that repaints only the new row.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "components/data/cxCustomData.h"
#include "components/grid/tests/GridTableViewFixture.h"
#include "platform/drawing/GoldenImage.h"

namespace grid_table_view_test {
namespace {

std::string GoldenPath(const char* name) {
  return std::string(ORV_SOURCE_DIR) + "/components/grid/tests/golden/" + name;
}

class TableViewPaintTest : public GridTableViewTest {
 public:
  orv::TSurface Capture() { return orv::headless::CaptureWindow(View->GetSite()->GetHandle()); }
  void ExpectGolden(const char* name) {
    const orv::TImageCheck check = orv::MatchGoldenImage(Capture(), GoldenPath(name));
    EXPECT_TRUE(check) << check.Message;
  }
  // Counts the records whose cells are painted, through the view's cell drawing event.
  void CountPaintedRecords(TcxCustomGridTableView* sender, TcxCanvas* canvas, TcxGridTableDataCellViewInfo* cell,
                           Boolean& done) {
    PaintedRecords.insert(cell->GetGridRecord()->GetIndex());
  }
  std::set<Integer> PaintedRecords;
};

TEST_F(TableViewPaintTest, ApplicationGridAtTwoWidthsWithTheFocusedRow) {
  ConfigureAsApplication();
  FillTowns();
  Grid->SetBounds(0, 0, 660, 260);
  Layout();
  View->GetTableController()->SetFocusedRecordIndex(2);
  View->GetDataController()->ChangeRowSelection(2, true);
  Run();
  ExpectGolden("table-view-application-660.png");
  // Narrower: the columns share the new width.
  Grid->SetBounds(0, 0, 470, 260);
  Run();
  ExpectGolden("table-view-application-470.png");
}

TEST_F(TableViewPaintTest, ApplicationGridWithoutTownsShowsTheNoDataText) {
  ConfigureAsApplication();
  Grid->SetBounds(0, 0, 470, 120);
  Layout();
  ExpectGolden("table-view-no-data.png");
}

TEST_F(TableViewPaintTest, HeaderWithSortMarksAndFooterWithASummary) {
  Grid->GetLookAndFeel()->SetKind(lfOffice11);
  Grid->GetLookAndFeel()->SetNativeStyle(false);
  TcxGridColumn* country = AddColumn("Страна"_a, 110);
  TcxGridColumn* city = AddColumn("Город"_a, 150);
  country->SetSortOrder(soAscending);
  city->SetSortOrder(soDescending);
  for (TcxGridColumn* column : {country, city}) column->GetOptions()->SetFiltering(false);
  View->GetOptionsView()->SetGroupByBox(false);
  View->GetOptionsView()->SetIndicator(true);
  View->GetOptionsView()->SetFooter(true);
  auto* count = static_cast<TcxGridTableSummaryItem*>(
      View->GetDataController()->GetSummary()->GetFooterSummaryItems()->Add());
  count->SetColumn(city);
  count->SetKind(skCount);
  FillTowns(4);
  Grid->SetBounds(0, 0, 300, 140);
  Layout();
  ExpectGolden("table-view-sort-marks-footer.png");
}

TEST_F(TableViewPaintTest, VerticalGridLinesAreDrawnAfterTheRowsInTheGridLineColour) {
  ConfigureAsApplication();
  View->GetOptionsView()->SetGridLineColor(TColor(0x0000FF));
  FillTowns(3);
  Grid->SetBounds(0, 0, 400, 200);
  Layout();
  const orv::TSurface surface = Capture();
  auto rgb = [&](Integer x, Integer y) { return surface.Pixel(x, y) & 0xFFFFFF; };
  const TcxGridDataCellViewInfo* first = Row(0)->ExistingCell(0);
  const TRect& b = first->GetBounds();
  // Every cell's right border, the last row's closing line, nothing between the rows.
  for (Integer i = 0; i < 3; ++i) {
    const TRect& cell = Row(i)->ExistingCell(0)->GetBounds();
    EXPECT_EQ(rgb(cell.Right - 1, cell.Top + 2), 0xFF0000u) << "row " << i;
  }
  EXPECT_NE(rgb(b.Left + 1, b.Bottom - 1), 0xFF0000u);
  const TRect last = Row(2)->GetBounds();
  EXPECT_EQ(rgb(last.Left + 5, last.Bottom - 1), 0xFF0000u);
}

TEST_F(TableViewPaintTest, ScrollingDownOneRowCopiesThePixelsAndPaintsOnlyTheNewRow) {
  ConfigureAsApplication();
  FillTowns(40);
  Grid->SetBounds(0, 0, 500, 200);
  Layout();
  View->SetOnCustomDrawCell(TcxGridTableDataCellCustomDrawEvent(this, &TableViewPaintTest::CountPaintedRecords));
  Run();
  const Integer visible = Rows()->GetVisibleCount();
  ASSERT_GT(visible, 3);
  // A full repaint paints every row on screen.
  PaintedRecords.clear();
  View->GetSite()->Invalidate();
  Run();
  EXPECT_EQ(Integer(PaintedRecords.size()), Rows()->PartVisibleCount());
  // One row down: the rows that stay are copied; the newly shown row is painted, and the one
  // that was cut at the bottom before.
  PaintedRecords.clear();
  View->GetTableController()->SetTopRecordIndex(1);
  Run();
  EXPECT_EQ(Rows()->Row(0)->GetGridRecord()->GetIndex(), 1);
  EXPECT_FALSE(PaintedRecords.empty());
  EXPECT_LE(PaintedRecords.size(), 2u);
  for (Integer record : PaintedRecords) EXPECT_GE(record, visible) << "only rows new at the bottom repaint";
  // And the copied pixels are those a full repaint gives.
  const orv::TSurface scrolled = Capture();
  View->GetSite()->Invalidate();
  Run();
  const orv::TSurface repainted = Capture();
  ASSERT_EQ(scrolled.Width(), repainted.Width());
  ASSERT_EQ(scrolled.Height(), repainted.Height());
  Integer differing = 0;
  for (int y = 0; y < scrolled.Height(); ++y)
    for (int x = 0; x < scrolled.Width(); ++x)
      if ((scrolled.Pixel(x, y) & 0xFFFFFF) != (repainted.Pixel(x, y) & 0xFFFFFF)) ++differing;
  EXPECT_EQ(differing, 0);
}

TEST_F(TableViewPaintTest, ABackgroundBitmapMakesEveryScrollRepaint) {
  ConfigureAsApplication();
  FillTowns(40);
  Grid->SetBounds(0, 0, 500, 200);
  Owned<TBitmap> bitmap(new TBitmap());
  bitmap->SetWidth(8);
  bitmap->SetHeight(8);
  View->GetBackgroundBitmaps()->SetBackground(bitmap.get());
  Layout();
  View->SetOnCustomDrawCell(TcxGridTableDataCellCustomDrawEvent(this, &TableViewPaintTest::CountPaintedRecords));
  Run();
  PaintedRecords.clear();
  View->GetTableController()->SetTopRecordIndex(1);
  Run();
  EXPECT_EQ(Integer(PaintedRecords.size()), Rows()->PartVisibleCount());
}

}  // namespace
}  // namespace grid_table_view_test
