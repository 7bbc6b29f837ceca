// Rows whose height follows their cells: a wrapped text makes its row as tall as the editor needs
// at the column's width, the rows counted for a page are those that fit whole, and a row whose
// height changes (sized by the user, or its text changed) lays the view out once.
#include <gtest/gtest.h>

#include <functional>

#include "components/data/cxCustomData.h"
#include "components/grid/tests/GridTableViewFixture.h"

namespace grid_table_view_test {
namespace {

class TableRowHeightTest : public GridTableViewTest {
 protected:
  // Country and city columns with cell auto height; the city of record 1 is long.
  void SetUpAutoHeight(Integer cityWidth, Integer count = 3) {
    AddColumn("Страна"_a, 100);
    City = AddColumn("Город"_a, cityWidth);
    View->GetOptionsView()->SetGroupByBox(false);
    View->GetOptionsView()->SetGridLines(glBoth);
    View->GetOptionsView()->SetCellAutoHeight(true);
    FillTowns(count);
    View->GetDataController()->SetValue(1, 1, Variant(AnsiString(kLongCity)));
  }
  Integer CountLayouts(const std::function<void()>& action) {
    Integer layouts = 0;
    auto onLayout = [&](TcxCustomGrid*, TcxCustomGridView*) { ++layouts; };
    Grid->SetOnLayoutChanged(TcxGridLayoutChangedEvent::Callable(onLayout));
    action();
    Run();
    Grid->SetOnLayoutChanged(TcxGridLayoutChangedEvent());
    return layouts;
  }

  static constexpr orv::AnsiLiteral kLongCity = "Петропавловск Камчатский порт на Авачинской губе"_a;
  TcxGridColumn* City = nullptr;
};

TEST_F(TableRowHeightTest, AWrappedTextMakesItsRowAsTallAsTheTextNeedsAtTheColumnsWidth) {
  SetUpAutoHeight(90);
  Layout();
  const Integer single = Rows()->GetRowHeight();
  // Short texts keep the one-line height; the long one wraps onto several lines.
  EXPECT_EQ(Row(0)->GetBounds().Height(), single);
  const Integer narrow = Row(1)->GetBounds().Height();
  EXPECT_GT(narrow, single + single / 2);
  // Its cells fill the taller row.
  EXPECT_EQ(Row(1)->ExistingCell(1)->GetBounds().Height(), narrow);
  EXPECT_EQ(Row(1)->ExistingCell(0)->GetBounds().Height(), narrow);
  EXPECT_EQ(Row(2)->GetBounds().Top, Row(1)->GetBounds().Bottom);
  // Wider, fewer lines; wide enough, one line; and back.
  City->SetWidth(180);
  Run();
  const Integer wider = Row(1)->GetBounds().Height();
  EXPECT_LT(wider, narrow);
  EXPECT_GT(wider, single);
  City->SetWidth(600);
  Run();
  EXPECT_EQ(Row(1)->GetBounds().Height(), single);
  City->SetWidth(90);
  Run();
  EXPECT_EQ(Row(1)->GetBounds().Height(), narrow);
  // Without auto height every row keeps the one-line height and the text is cut.
  View->GetOptionsView()->SetCellAutoHeight(false);
  Run();
  EXPECT_EQ(Row(1)->GetBounds().Height(), single);
}

TEST_F(TableRowHeightTest, APageHoldsTheRowsThatFitWholeWhateverTheirHeights) {
  SetUpAutoHeight(90, 10);
  for (const Integer record : {3, 4, 6}) View->GetDataController()->SetValue(record, 1, Variant(AnsiString(kLongCity)));
  Grid->SetBounds(0, 0, 300, 160);
  Layout();
  // The rows laid out reach below the bottom; those ending above it make the page.
  const TRect content = Rows()->ContentBounds();
  Integer whole = 0;
  for (Integer i = 0; i < Rows()->PartVisibleCount(); ++i)
    if (Row(i)->GetBounds().Bottom <= content.Bottom) ++whole;
  ASSERT_GT(Rows()->PartVisibleCount(), whole);
  ASSERT_GE(whole, 2);
  const Integer equalHeights = content.Height() / Rows()->GetRowHeight();
  ASSERT_NE(whole, equalHeights) << "the tall rows change how many fit";
  EXPECT_EQ(Rows()->GetVisibleCount(), whole);
  TcxCustomGridTableController* controller = View->GetTableController();
  EXPECT_EQ(controller->GetVisibleRecordCount(), whole);
  // A page down shows the record after the last whole one at the top.
  controller->SetFocusedRecordIndex(0);
  controller->ScrollPageDown();
  Run();
  EXPECT_EQ(controller->GetTopRecordIndex(), whole);
}

TEST_F(TableRowHeightTest, ARowWhoseHeightChangesLaysTheViewOutOnce) {
  SetUpAutoHeight(90);
  View->GetOptionsCustomize()->SetDataRowSizing(true);
  Layout();
  const Integer single = Rows()->GetRowHeight();
  // A text that no longer wraps: the row shrinks, the rows below move up.
  EXPECT_EQ(CountLayouts([&] { View->GetDataController()->SetValue(1, 1, Variant("Тверь"_a)); }), 1);
  EXPECT_EQ(Row(1)->GetBounds().Height(), single);
  EXPECT_EQ(Row(2)->GetBounds().Top, Row(1)->GetBounds().Bottom);
  // And a long one again: it grows.
  EXPECT_EQ(CountLayouts([&] { View->GetDataController()->SetValue(1, 1, Variant(AnsiString(kLongCity))); }), 1);
  EXPECT_GT(Row(1)->GetBounds().Height(), single + single / 2);
  // Sized by the user: every row takes the new height of its cells (and the long text its own,
  // being taller), in one layout.
  View->GetOptionsView()->SetCellAutoHeight(false);
  Run();
  ASSERT_TRUE(Row(0)->CanSize());
  EXPECT_EQ(CountLayouts([&] { Row(0)->SetHeightBySizing(single + 20); }), 1);
  EXPECT_EQ(View->GetOptionsView()->GetDataRowHeight(), single + 20);
  for (Integer i = 0; i < 3; ++i) EXPECT_EQ(Row(i)->GetBounds().Height(), single + 20) << i;
  // The same height again changes nothing.
  EXPECT_EQ(CountLayouts([&] { Row(0)->SetHeightBySizing(single + 20); }), 0);
}

// Rows of one height: the page the view holds, the view height that shows a number of rows, and
// an offered height cut to whole rows, each checked against the rows the layout then shows whole.
class TableSizesTest : public GridTableViewTest {
 protected:
  void SetUpRows(Integer towns, TcxGridLines lines) {
    AddColumn("Страна"_a, 100);
    AddColumn("Город"_a, 120);
    View->GetOptionsView()->SetGroupByBox(false);
    View->GetOptionsView()->SetGridLines(lines);
    FillTowns(towns);
    Grid->SetBounds(0, 0, 300, 200);
    Layout();
  }
  // Sizes the grid so that its view is `height` high, and lays it out.
  void SetViewHeight(Integer height) {
    const Integer frame = Grid->GetHeight() - ViewInfo()->UnreducedClientBounds().Height();
    Grid->SetBounds(0, 0, 300, height + frame);
    Layout();
    ASSERT_EQ(ViewInfo()->UnreducedClientBounds().Height(), height);
  }
};

TEST_F(TableSizesTest, APageHoldsTheRowsOfOneStepThatFitBelowTheStrips) {
  SetUpRows(30, glBoth);
  for (const Integer separator : {0, 3}) {
    View->GetOptionsView()->SetRowSeparatorWidth(separator);
    for (const Integer height : {200, 131, 64}) {
      SetViewHeight(height);
      SCOPED_TRACE(testing::Message() << "separator " << separator << ", height " << height);
      Integer rest = -1;
      const Integer page = ViewInfo()->EqualHeightPageRecordCount(rest);
      EXPECT_EQ(page, ViewInfo()->EqualHeightPageRecordCount());
      EXPECT_EQ(page, Rows()->GetVisibleCount()) << "the rows the layout shows whole";
      EXPECT_EQ(page * Rows()->GetRowStep() + rest, height - ViewInfo()->GetNonRecordsAreaHeight(false));
      EXPECT_GE(rest, 0);
      EXPECT_LT(rest, Rows()->GetRowStep());
    }
  }
  // A view lower than its strips holds no row and nothing is left over.
  SetViewHeight(ViewInfo()->GetNonRecordsAreaHeight(false) - 5);
  Integer rest = -1;
  EXPECT_EQ(ViewInfo()->EqualHeightPageRecordCount(rest), 0);
  EXPECT_EQ(rest, 0);
}

TEST_F(TableSizesTest, AViewOfTheHeightForRecordsShowsExactlyThoseRowsWhole) {
  // Every row carries its grid line, or (vertical lines only) the last record's row one more
  // pixel for the closing line: four towns fill the view exactly either way.
  SetUpRows(4, glBoth);
  for (const TcxGridLines lines : {glBoth, glVertical}) {
    SCOPED_TRACE(int(lines));
    View->GetOptionsView()->SetGridLines(lines);
    Layout();
    SetViewHeight(ViewInfo()->HeightForRecordCount(4));
    EXPECT_EQ(Rows()->GetVisibleCount(), 4);
    EXPECT_EQ(Rows()->PartVisibleCount(), 4);
    EXPECT_EQ(Row(3)->GetBounds().Bottom, Rows()->ContentBounds().Bottom);
    // A pixel less and the last row is cut.
    SetViewHeight(ViewInfo()->HeightForRecordCount(4) - 1);
    EXPECT_EQ(Rows()->GetVisibleCount(), 3);
  }
}

TEST_F(TableSizesTest, AnOfferedHeightIsCutToWholeRowsOfTheRecords) {
  SetUpRows(10, glBoth);
  const Integer rowHeight = Rows()->GetRowHeight();
  auto forRows = [&](Integer n) { return ViewInfo()->HeightForRecordCount(n); };
  struct TCase {
    Integer Offered;
    Boolean Extra;
    Integer Rows;
  };
  const TCase cases[] = {
      {forRows(3), false, 3},      {forRows(3) + rowHeight - 1, false, 3}, {forRows(3) - 1, false, 2},
      {forRows(40), false, 10},    {forRows(40), true, 11},                {0, false, 1},
      {forRows(1) - 1, true, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Offered << (c.Extra ? " with one more" : ""));
    EXPECT_EQ(ViewInfo()->AdjustHeightToRecords(c.Offered, c.Extra), forRows(c.Rows));
  }
}

}  // namespace
}  // namespace grid_table_view_test
