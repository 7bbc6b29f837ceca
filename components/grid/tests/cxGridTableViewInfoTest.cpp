// The grid table view's layout: the columns' automatic widths, row heights with each kind of grid
// lines, the parts around the rows, the rows that fit, the indicator and its row kinds, the
// column header's areas, the footer with its summaries and the group-by box.
#include <gtest/gtest.h>

#include <numeric>

#include "components/data/cxCustomData.h"
#include "components/grid/tests/GridTableViewFixture.h"

namespace grid_table_view_test {
namespace {

class TableViewLayoutTest : public GridTableViewTest {};

TEST_F(TableViewLayoutTest, AutoWidthSharesTheClientWidthExactlyInTheStoredProportions) {
  ConfigureAsApplication();
  FillTowns();
  const Integer stored[] = {150, 245, 66, 61, 65, 63};
  const Integer storedTotal = std::accumulate(std::begin(stored), std::end(stored), 0);
  for (Integer gridWidth : {660, 451}) {
    Grid->SetBounds(0, 0, gridWidth, 300);
    Layout();
    TRect client;
    ViewInfo()->GetClientBounds(client);
    const Integer available = View->GetSite()->GetClientBounds().Width() - 15;
    EXPECT_EQ(client.Left, 15) << "the indicator takes the left 15 pixels";
    EXPECT_EQ(client.Width(), available);
    Integer sum = 0;
    for (Integer i = 0; i < 6; ++i) {
      TcxGridColumnHeaderViewInfo* header = Header()->Item(i);
      sum += header->GetBounds().Width();
      // Each share is its stored width scaled, rounded by running totals (within a pixel).
      const double exact = double(stored[i]) * available / storedTotal;
      EXPECT_NEAR(header->GetBounds().Width(), exact, 1.0) << "column " << i << " at width " << gridWidth;
      // A data cell lies exactly under its column header.
      EXPECT_EQ(Row(0)->ExistingCell(i)->GetBounds().Left, header->GetBounds().Left);
      EXPECT_EQ(Row(0)->ExistingCell(i)->GetBounds().Right, header->GetBounds().Right);
    }
    EXPECT_EQ(sum, available) << "the shares add up to the client width";
    EXPECT_EQ(Header()->GetBounds().Left, 15);
    EXPECT_EQ(Header()->GetBounds().Top, 0) << "no group-by box or filter box above the header";
  }
}

TEST_F(TableViewLayoutTest, RowHeightsFollowTheGridLines) {
  AddColumn("Страна"_a, 100);
  AddColumn("Город"_a, 120);
  FillTowns(3);
  struct TCase {
    TcxGridLines Lines;
    Integer Extra;          // over the tallest default cell height, on every row
    Integer LastRowExtra;   // the closing line under the last row
  };
  const TCase cases[] = {{glVertical, 0, 1}, {glNone, 0, 0}, {glBoth, 1, 0}, {glHorizontal, 1, 0}};
  Layout();
  TcxCanvas* canvas = ViewInfo()->Canvas();
  TcxViewParams params;
  View->GetStyles()->GetContentParams(nullptr, View->GetColumn(0), params);
  const Integer cellHeight = View->GetColumn(0)->CalculateDefaultCellHeight(canvas, params.Font);
  ASSERT_GT(cellHeight, 0);
  for (const TCase& c : cases) {
    View->GetOptionsView()->SetGridLines(c.Lines);
    Run();
    EXPECT_EQ(Rows()->GetRowHeight(), cellHeight + c.Extra) << int(c.Lines);
    EXPECT_EQ(Row(0)->GetBounds().Height(), cellHeight + c.Extra) << int(c.Lines);
    EXPECT_EQ(Row(2)->GetBounds().Height(), cellHeight + c.Extra + c.LastRowExtra) << int(c.Lines);
    EXPECT_EQ(Row(2)->HasClosingGridLine(), c.LastRowExtra != 0);
    // Rows stack without gaps.
    EXPECT_EQ(Row(1)->GetBounds().Top, Row(0)->GetBounds().Bottom);
  }
  // An assigned row height is the content height of every row, whatever the fonts.
  View->GetOptionsView()->SetGridLines(glBoth);
  View->GetOptionsView()->SetDataRowHeight(30);
  Run();
  EXPECT_EQ(Row(0)->GetBounds().Height(), 30);
  EXPECT_EQ(Row(0)->ExistingCell(1)->GetBounds().Height(), 30);
}

TEST_F(TableViewLayoutTest, AViewWithoutVisibleColumnsShowsCellsAreasAsHighAsItsFont) {
  TcxGridColumn* column = AddColumn("Страна"_a, 100);
  FillTowns(2);
  column->SetVisible(false);
  View->GetOptionsView()->SetGridLines(glHorizontal);
  Layout();
  TcxViewParams params;
  View->GetStyles()->GetContentParams(nullptr, nullptr, params);
  EXPECT_EQ(Rows()->GetRowHeight(), ViewInfo()->GetFontHeight(params.Font) + 4 + 1);
  EXPECT_EQ(Row(0)->CellCount(), 0);
  EXPECT_TRUE(Row(0)->CellsAreaViewInfo()->GetVisible());
  EXPECT_EQ(Row(0)->CellsAreaViewInfo()->GetBounds(), Row(0)->CellsAreaBounds());
}

TEST_F(TableViewLayoutTest, PartsStackAroundTheRows) {
  AddColumn("Страна"_a, 100);
  FillTowns(3);
  View->GetOptionsView()->SetGroupByBox(true);
  View->GetOptionsView()->SetFooter(true);
  View->GetFilterBox()->SetVisible(fvAlways);
  View->GetFilterBox()->SetPosition(fpTop);
  Layout();
  TcxGridGroupByBoxViewInfo* box = ViewInfo()->GroupByBoxViewInfo();
  TcxGridFilterViewInfo* filter = ViewInfo()->GetFilterViewInfo();
  TcxGridFooterViewInfo* footer = ViewInfo()->FooterViewInfo();
  EXPECT_EQ(box->GetBounds().Top, 0);
  EXPECT_EQ(filter->GetBounds().Top, box->GetBounds().Bottom);
  EXPECT_EQ(Header()->GetBounds().Top, filter->GetBounds().Bottom);
  EXPECT_EQ(Rows()->Bounds().Top, Header()->GetBounds().Bottom);
  EXPECT_EQ(footer->GetBounds().Bottom, View->GetSite()->GetClientBounds().Bottom);
  EXPECT_EQ(Rows()->Bounds().Bottom, footer->GetBounds().Top);
  // At the bottom the filter box goes below the footer.
  View->GetFilterBox()->SetPosition(fpBottom);
  Run();
  filter = ViewInfo()->GetFilterViewInfo();
  footer = ViewInfo()->FooterViewInfo();
  EXPECT_EQ(filter->GetBounds().Bottom, View->GetSite()->GetClientBounds().Bottom);
  EXPECT_EQ(footer->GetBounds().Bottom, filter->GetBounds().Top);
  EXPECT_EQ(ViewInfo()->HeaderViewInfo()->GetBounds().Top, ViewInfo()->GroupByBoxViewInfo()->GetBounds().Bottom);
}

TEST_F(TableViewLayoutTest, TheRowsThatFitAreCountedWholeAndAViewShorterThanARowShowsOne) {
  AddColumn("Страна"_a, 100);
  FillTowns(10);
  View->GetOptionsView()->SetGridLines(glBoth);
  Grid->SetBounds(0, 0, 300, 120);
  Layout();
  const Integer rowHeight = Rows()->GetRowHeight();
  const Integer rowsHeight = Rows()->ContentBounds().Height();
  EXPECT_EQ(Rows()->GetVisibleCount(), rowsHeight / rowHeight);
  EXPECT_EQ(Rows()->PartVisibleCount(), (rowsHeight + rowHeight - 1) / rowHeight);
  EXPECT_TRUE(Rows()->FirstRowFullyVisible());
  // Less room than one row: one row, not fully visible.
  Grid->SetBounds(0, 0, 300, Header()->GetBounds().Height() + rowHeight / 2);
  Run();
  EXPECT_EQ(Rows()->GetVisibleCount(), 1);
  EXPECT_EQ(Rows()->PartVisibleCount(), 1);
  EXPECT_FALSE(Rows()->FirstRowFullyVisible());
}

TEST_F(TableViewLayoutTest, IndicatorSpansHeaderToFooterAndShowsEachRowsState) {
  ConfigureAsApplication();
  View->GetOptionsView()->SetFooter(true);
  FillTowns(5);
  Layout();
  EXPECT_EQ(Indicator()->GetBounds().Left, 0);
  EXPECT_EQ(Indicator()->GetBounds().Width(), 15);
  EXPECT_EQ(Indicator()->GetBounds().Top, Header()->GetBounds().Top);
  EXPECT_EQ(Indicator()->GetBounds().Bottom, ViewInfo()->FooterViewInfo()->GetBounds().Bottom);
  // Header item, footer item, one item per row.
  ASSERT_GE(Indicator()->Count(), 2);
  EXPECT_TRUE(dynamic_cast<TcxGridIndicatorHeaderItemViewInfo*>(Indicator()->Item(0)));
  EXPECT_EQ(Indicator()->Item(0)->GetBounds().Height(), Header()->GetBounds().Height());
  EXPECT_TRUE(dynamic_cast<TcxGridIndicatorFooterItemViewInfo*>(Indicator()->Item(1)));
  auto kind = [&](Integer row) {
    return static_cast<TcxGridIndicatorRowItemViewInfo*>(Row(row)->IndicatorItem())->GetIndicatorKind();
  };
  View->GetTableController()->SetFocusedRecordIndex(1);
  Run();
  EXPECT_EQ(kind(0), 0);
  EXPECT_EQ(kind(1), 1) << "the focused record shows the arrow";
  EXPECT_EQ(Row(1)->IndicatorItem()->GetBounds().Top, Row(1)->GetBounds().Top);
  EXPECT_EQ(Row(1)->IndicatorItem()->GetBounds().Height(), Row(1)->GetBounds().Height());
  // Multi-select: selected rows show dots, the focused selected one the arrow with dots.
  View->GetOptionsSelection()->SetMultiSelect(true);
  View->GetDataController()->ChangeRowSelection(1, true);
  View->GetDataController()->ChangeRowSelection(3, true);
  Run();
  EXPECT_EQ(kind(1), 5);
  EXPECT_EQ(kind(3), 4);
  EXPECT_EQ(kind(2), 0);
  // The header item offers the quick customization with the application's text.
  auto* headerItem = static_cast<TcxGridIndicatorHeaderItemViewInfo*>(Indicator()->Item(0));
  EXPECT_TRUE(headerItem->SupportsQuickCustomization());
  AnsiString hint;
  headerItem->GetHintText(hint);
  EXPECT_EQ(hint, "Управление видимостью столбцов"_a);
}

TEST_F(TableViewLayoutTest, QuickCustomizationKeepsTheIndicatorWithoutItsOption) {
  AddColumn("Страна"_a, 100);
  FillTowns(2);
  View->GetOptionsView()->SetIndicatorWidth(15);
  Layout();
  EXPECT_FALSE(Indicator()->GetVisible());
  EXPECT_EQ(Header()->GetBounds().Left, 0);
  View->GetOptionsCustomize()->SetColumnsQuickCustomization(true);
  Run();
  EXPECT_TRUE(Indicator()->GetVisible());
  EXPECT_EQ(Header()->GetBounds().Left, 15);
}

TEST_F(TableViewLayoutTest, ColumnHeaderAreasTakeTheirRoomFromTheCaption) {
  Grid->GetLookAndFeel()->SetKind(lfOffice11);
  TcxGridColumn* country = AddColumn("Страна"_a, 120);
  TcxGridColumn* city = AddColumn("Город"_a, 120);
  country->SetHeaderAlignmentHorz(taCenter);
  country->GetOptions()->SetFiltering(false);
  city->GetOptions()->SetFiltering(false);
  country->SetSortOrder(soAscending);
  FillTowns(3);
  Layout();
  TcxGridColumnHeaderViewInfo* sorted = Header()->Item(0);
  TcxGridColumnHeaderViewInfo* plain = Header()->Item(1);
  // The sizing edge of 8 pixels centred on the right border, then the sorting mark.
  ASSERT_EQ(sorted->AreaCount(), 2);
  auto* edge = dynamic_cast<TcxGridColumnHeaderHorzSizingEdgeViewInfo*>(sorted->Area(0));
  auto* mark = dynamic_cast<TcxGridColumnHeaderSortingMarkViewInfo*>(sorted->Area(1));
  ASSERT_TRUE(edge && mark);
  EXPECT_EQ(edge->GetBounds().Width(), 8);
  EXPECT_EQ(edge->GetBounds().Left, sorted->GetBounds().Right - 4);
  EXPECT_EQ(mark->GetBounds().Width(), 16);
  EXPECT_EQ(mark->GetBounds().Right, sorted->GetBounds().Right - 1 - 2) << "inside the border and the 2-pixel inset";
  EXPECT_EQ(sorted->TextAreaBounds().Right, mark->GetBounds().Left - 2);
  ASSERT_EQ(plain->AreaCount(), 1);
  EXPECT_EQ(plain->TextAreaBounds().Right, plain->GetBounds().Right - 1 - 2);
  // The Office 2003 header keeps all four borders: headers do not overlap.
  EXPECT_EQ(plain->GetBounds().Left, sorted->GetBounds().Right);
  // The sizing edge answers its own hit test.
  TcxCustomGridHitTest* hitTest = ViewInfo()->GetHitTest(TPoint{sorted->GetBounds().Right - 1, sorted->GetBounds().Top + 3});
  ASSERT_TRUE(hitTest);
  EXPECT_EQ(hitTest->GetHitTestCode(), htColumnHeaderHorzSizingEdge);
  hitTest = ViewInfo()->GetHitTest(TPoint{sorted->GetBounds().Left + 10, sorted->GetBounds().Top + 3});
  ASSERT_TRUE(hitTest);
  EXPECT_EQ(hitTest->GetHitTestCode(), htColumnHeader);
  EXPECT_EQ(static_cast<TcxCustomGridColumnHitTest*>(hitTest)->GetColumn(), country);
}

TEST_F(TableViewLayoutTest, HeaderHiddenKeepsTheCellsInTheirColumns) {
  AddColumn("Страна"_a, 100);
  AddColumn("Город"_a, 140);
  FillTowns(3);
  View->GetOptionsView()->SetGroupByBox(false);
  View->GetOptionsView()->SetHeader(false);
  Layout();
  EXPECT_EQ(Header()->GetPartHeight(), 0);
  EXPECT_EQ(Rows()->Bounds().Top, 0);
  EXPECT_EQ(Row(0)->ExistingCell(0)->GetBounds().Width(), 100);
  EXPECT_EQ(Row(0)->ExistingCell(1)->GetBounds().Left, 100);
  EXPECT_EQ(Row(0)->ExistingCell(1)->GetBounds().Width(), 140);
}

TEST_F(TableViewLayoutTest, FooterShowsSummariesUnderTheirColumnsInAsManyRowsAsNeeded) {
  Grid->GetLookAndFeel()->SetKind(lfOffice11);
  TcxGridColumn* country = AddColumn("Страна"_a, 120);
  TcxGridColumn* city = AddColumn("Город"_a, 160);
  FillTowns(10);
  View->GetOptionsView()->SetFooter(true);
  TcxDataSummaryItems* items = View->GetDataController()->GetSummary()->GetFooterSummaryItems();
  auto* count = static_cast<TcxGridTableSummaryItem*>(items->Add());
  count->SetColumn(city);
  count->SetKind(skCount);
  Layout();
  TcxGridFooterViewInfo* footer = ViewInfo()->FooterViewInfo();
  ASSERT_EQ(footer->GetItemCount(), 1);
  AnsiString text;
  footer->Item(0)->GetText(text);
  EXPECT_EQ(text, "10");
  const Integer oneRow = footer->GetBounds().Height();
  // Office 2003: no top border, one row, the bottom border and the separator.
  EXPECT_EQ(oneRow, footer->ItemHeight() + 1 + 1);
  TcxGridColumnHeaderViewInfo* cityHeader = Header()->Item(1);
  EXPECT_EQ(footer->Item(0)->GetBounds().Left, cityHeader->GetBounds().Left + 2) << "cell indent 2";
  // A second summary of the same column makes a second row with multiple summaries.
  auto* second = static_cast<TcxGridTableSummaryItem*>(items->Add());
  second->SetColumn(city);
  second->SetKind(skCount);
  View->GetOptionsView()->SetFooterMultiSummaries(true);
  Run();
  footer = ViewInfo()->FooterViewInfo();
  ASSERT_EQ(footer->GetItemCount(), 2);
  EXPECT_EQ(footer->RowCount(), 2);
  EXPECT_EQ(footer->GetBounds().Height(), oneRow + footer->ItemHeight());
  EXPECT_EQ(footer->Item(1)->GetBounds().Top, footer->Item(0)->GetBounds().Top + footer->ItemHeight());
  (void)country;
}

TEST_F(TableViewLayoutTest, GroupByBoxHeightGrowsWithItsStaircaseOfButtons) {
  TcxGridColumn* country = AddColumn("Страна"_a, 100);
  TcxGridColumn* city = AddColumn("Город"_a, 100);
  AddColumn("Г.Долгота"_a, 100);
  FillTowns(6);
  Layout();
  TcxGridGroupByBoxViewInfo* box = ViewInfo()->GroupByBoxViewInfo();
  AnsiString prompt;
  box->GetText(prompt);
  EXPECT_EQ(prompt, "Drag a column header here to group by that column");
  country->SetGroupIndex(0);
  city->SetGroupIndex(1);
  Run();
  box = ViewInfo()->GroupByBoxViewInfo();
  ASSERT_EQ(box->GetItemCount(), 2);
  const Integer itemHeight = box->ItemHeight();
  EXPECT_EQ(box->GetBounds().Height(), itemHeight / 2 * 3 + itemHeight % 2 + 16);
  EXPECT_EQ(box->Item(0)->GetBounds().Left, box->GetBounds().Left + 6);
  EXPECT_EQ(box->Item(0)->GetBounds().Top, box->GetBounds().Top + 8);
  EXPECT_EQ(box->Item(1)->GetBounds().Left, box->Item(0)->GetBounds().Right + 4);
  EXPECT_EQ(box->Item(1)->GetBounds().Top, box->Item(0)->GetBounds().Top + itemHeight / 2);
}

}  // namespace
}  // namespace grid_table_view_test

namespace grid_table_view_test {
namespace {

TEST_F(TableViewLayoutTest, EqualValuesOfAMergingColumnShowInOneCell) {
  TcxGridColumn* country = AddColumn("Страна"_a, 100);
  AddColumn("Город"_a, 140);
  View->GetOptionsView()->SetGroupByBox(false);
  // Россия, Россия, Россия.
  FillTowns(3);
  TcxCustomDataController* dc = View->GetDataController();
  dc->SetValue(2, 0, Variant("Россия"_a));
  country->GetOptions()->SetCellMerging(true);
  Layout();
  TcxGridDataCellViewInfo* first = Row(0)->ExistingCell(0);
  ASSERT_TRUE(first->IsMerging());
  EXPECT_EQ(first->MergedCellCount(), 2);
  EXPECT_EQ(first->GetBounds().Bottom, Row(2)->ExistingCell(0)->UnmergedBounds().Bottom);
  EXPECT_TRUE(Row(1)->ExistingCell(0)->IsMerged());
  EXPECT_FALSE(Row(1)->ExistingCell(0)->GetVisible()) << "not painted";
  EXPECT_FALSE(Row(1)->ExistingCell(1)->IsMerged()) << "the other column does not merge";
  // A different value at the top leaves the two below merged.
  dc->SetValue(0, 0, Variant("Франция"_a));
  Run();
  first = Row(0)->ExistingCell(0);
  EXPECT_FALSE(first->IsMerging());
  EXPECT_EQ(first->GetBounds(), first->UnmergedBounds());
  EXPECT_TRUE(Row(1)->ExistingCell(0)->IsMerging());
  EXPECT_TRUE(Row(2)->ExistingCell(0)->IsMerged());
  // The hit test of the lower row's place answers the lower row.
  const TRect lower = Row(2)->ExistingCell(0)->UnmergedBounds();
  TcxCustomGridHitTest* hitTest = ViewInfo()->GetHitTest(TPoint{lower.Left + 5, lower.Top + 3});
  ASSERT_TRUE(hitTest);
  EXPECT_EQ(static_cast<TcxGridRecordHitTest*>(hitTest)->HitRecord(), Row(2)->GetGridRecord());
}

}  // namespace
}  // namespace grid_table_view_test

namespace grid_table_view_test {
namespace {

TEST_F(TableViewLayoutTest, FilterAndNewItemRowsArePinnedAboveTheRowsWithTheirInfoTexts) {
  AddColumn("Страна"_a, 100);
  AddColumn("Город"_a, 140);
  View->GetOptionsView()->SetGroupByBox(false);
  View->GetOptionsView()->SetIndicator(true);
  FillTowns(5);
  View->GetFilterRow()->SetVisible(true);
  View->GetNewItemRow()->SetVisible(true);
  Layout();
  auto* filterRow = dynamic_cast<TcxGridFilterRowViewInfo*>(Rows()->FilterRowViewInfo());
  auto* newItemRow = dynamic_cast<TcxGridNewItemRowViewInfo*>(Rows()->NewItemRowViewInfo());
  ASSERT_TRUE(filterRow && newItemRow);
  const Integer rowHeight = Rows()->GetRowHeight();
  // Each is a row with its 6-pixel separator, one under the other, the data rows below them.
  EXPECT_EQ(filterRow->GetBounds().Top, Header()->GetBounds().Bottom);
  EXPECT_EQ(filterRow->GetBounds().Height(), rowHeight + 6);
  EXPECT_EQ(newItemRow->GetBounds().Top, filterRow->GetBounds().Bottom);
  EXPECT_EQ(newItemRow->GetBounds().Height(), rowHeight + 6);
  EXPECT_EQ(Row(0)->GetBounds().Top, newItemRow->GetBounds().Bottom);
  EXPECT_EQ(Rows()->ContentBounds().Top, newItemRow->GetBounds().Bottom);
  // Not focused: they show their texts, and the indicator tells them apart.
  EXPECT_TRUE(filterRow->ShowInfoText());
  EXPECT_TRUE(newItemRow->ShowInfoText());
  AnsiString text;
  newItemRow->GetRowInfoText(text);
  EXPECT_EQ(text, "Click here to add a new row");
  filterRow->GetRowInfoText(text);
  EXPECT_EQ(text, "Click here to define a filter");
  EXPECT_EQ(static_cast<TcxGridIndicatorRowItemViewInfo*>(filterRow->IndicatorItem())->GetIndicatorKind(), 6);
  EXPECT_EQ(static_cast<TcxGridIndicatorRowItemViewInfo*>(newItemRow->IndicatorItem())->GetIndicatorKind(), 3);
  // A click on the new-item row's place answers that row.
  const TRect b = newItemRow->GetBounds();
  TcxCustomGridHitTest* hitTest = ViewInfo()->GetHitTest(TPoint{b.Left + 20, b.Top + 3});
  ASSERT_TRUE(hitTest);
  auto* recordHitTest = dynamic_cast<TcxGridRecordHitTest*>(hitTest);
  ASSERT_TRUE(recordHitTest);
  EXPECT_EQ(recordHitTest->HitRecord(), newItemRow->GetGridRecord());
}

}  // namespace
}  // namespace grid_table_view_test

namespace grid_table_view_test {
namespace {

TEST_F(TableViewLayoutTest, PreviewBandGoesAboveOrBelowTheCellsOfEachRow) {
  AddColumn("Страна"_a, 100);
  AddColumn("Город"_a, 140);
  TcxGridColumn* note = AddColumn("Э.Долгота"_a, 80);
  View->GetOptionsView()->SetGroupByBox(false);
  View->GetOptionsView()->SetGridLines(glBoth);
  FillTowns(3);
  TcxGridPreview* preview = View->GetPreview();
  preview->SetColumn(note);
  preview->SetAutoHeight(false);
  preview->SetMaxLineCount(2);
  preview->SetVisible(true);
  Layout();
  TcxViewParams params;
  View->GetStyles()->GetPreviewParams(nullptr, note, params);
  const Integer previewHeight = 2 * ViewInfo()->GetFontHeight(params.Font) + 4 + 1;
  TcxGridDataRowViewInfo* row = Row(0);
  ASSERT_TRUE(row->PreviewViewInfo());
  EXPECT_EQ(row->CellCount(), 2) << "the preview column is no column of its own";
  EXPECT_EQ(row->PreviewViewInfo()->GetBounds().Height(), previewHeight);
  EXPECT_EQ(row->GetBounds().Height(), Rows()->GetRowHeight() + previewHeight);
  // At the bottom: the preview starts where the cells end.
  EXPECT_EQ(row->ExistingCell(0)->GetBounds().Top, row->GetBounds().Top);
  EXPECT_EQ(row->PreviewViewInfo()->GetBounds().Top, row->CellsAreaBounds().Bottom);
  EXPECT_EQ(row->PreviewViewInfo()->GetBounds().Width(), row->GetCellsAreaWidth());
  // At the top: the cells start below it.
  preview->SetPlace(ppTop);
  Run();
  row = Row(0);
  EXPECT_EQ(row->PreviewViewInfo()->GetBounds().Top, row->GetBounds().Top);
  EXPECT_EQ(row->ExistingCell(0)->GetBounds().Top, row->GetBounds().Top + previewHeight);
  // No lines at all without auto height: no preview height and no grid line for it.
  preview->SetMaxLineCount(0);
  Run();
  EXPECT_EQ(Row(0)->PreviewViewInfo()->GetBounds().Height(), 0);
  EXPECT_EQ(Row(0)->GetBounds().Height(), Rows()->GetRowHeight());
}

TEST_F(TableViewLayoutTest, DoubleClickOnARowsIndicatorEdgeGivesRowsTheirAutomaticHeightBack) {
  AddColumn("Страна"_a, 100);
  View->GetOptionsView()->SetGroupByBox(false);
  View->GetOptionsView()->SetIndicator(true);
  View->GetOptionsCustomize()->SetDataRowSizing(true);
  FillTowns(3);
  Layout();
  const Integer automatic = Row(0)->GetBounds().Height();
  View->GetOptionsView()->SetDataRowHeight(30);
  Run();
  ASSERT_EQ(Row(0)->GetBounds().Height(), 30);
  TcxCustomGridIndicatorItemViewInfo* item = Row(0)->IndicatorItem();
  const TPoint edge{item->GetBounds().Left + 5, item->GetBounds().Bottom - 1};
  TcxCustomGridHitTest* hitTest = ViewInfo()->GetHitTest(edge);
  ASSERT_TRUE(hitTest);
  EXPECT_EQ(hitTest->GetHitTestCode(), htRowSizingEdge);
  const TPoint screen = View->GetSite()->ClientToScreen(edge);
  orv::headless::DoubleClick(screen.X, screen.Y);
  Run();
  EXPECT_EQ(View->GetOptionsView()->GetDataRowHeight(), 0);
  EXPECT_EQ(Row(0)->GetBounds().Height(), automatic);
}

}  // namespace
}  // namespace grid_table_view_test

namespace grid_table_view_test {
namespace {

TEST_F(TableViewLayoutTest, FilterButtonShowsWhileTheHeaderIsHotUnlessAlwaysShown) {
  Grid->GetLookAndFeel()->SetKind(lfOffice11);
  AddColumn("Страна"_a, 120);
  View->GetOptionsView()->SetGroupByBox(false);
  FillTowns(2);
  Layout();
  TcxGridColumnHeaderViewInfo* header = Header()->Item(0);
  ASSERT_EQ(header->AreaCount(), 2);
  auto* button = dynamic_cast<TcxGridColumnHeaderFilterButtonViewInfo*>(header->Area(1));
  ASSERT_TRUE(button);
  const Integer fullRight = header->TextAreaBounds().Right;
  EXPECT_FALSE(button->GetVisible());
  EXPECT_EQ(fullRight, header->GetBounds().Right - 1 - 2);
  // Hot: the button takes 15 pixels at the right of the caption.
  header->SetState(gcsSelected);
  EXPECT_TRUE(button->GetVisible());
  EXPECT_EQ(button->GetBounds().Width(), 15);
  EXPECT_EQ(button->GetBounds().Right, fullRight);
  EXPECT_EQ(header->TextAreaBounds().Right, button->GetBounds().Left - 2);
  header->SetState(gcsNone);
  EXPECT_FALSE(button->GetVisible());
  EXPECT_EQ(header->TextAreaBounds().Right, fullRight);
  // Always shown.
  View->GetOptionsView()->SetShowColumnFilterButtons(sfbAlways);
  Run();
  header = Header()->Item(0);
  EXPECT_TRUE(header->Area(1)->GetVisible());
  EXPECT_LT(header->TextAreaBounds().Right, fullRight);
}

}  // namespace
}  // namespace grid_table_view_test

namespace grid_table_view_test {
namespace {

TEST_F(TableViewLayoutTest, HidingThePinnedRowsFreesTheirLayoutBeforeTheirRecords) {
  AddColumn("Страна"_a, 100);
  View->GetOptionsView()->SetGroupByBox(false);
  FillTowns(3);
  View->GetFilterRow()->SetVisible(true);
  View->GetNewItemRow()->SetVisible(true);
  Layout();
  ASSERT_TRUE(Rows()->FilterRowViewInfo() && Rows()->NewItemRowViewInfo());
  View->GetFilterRow()->SetVisible(false);
  View->GetNewItemRow()->SetVisible(false);
  Run();
  EXPECT_FALSE(Rows()->FilterRowViewInfo());
  EXPECT_FALSE(Rows()->NewItemRowViewInfo());
  EXPECT_EQ(Row(0)->GetBounds().Top, Header()->GetBounds().Bottom);
}

}  // namespace
}  // namespace grid_table_view_test

namespace grid_table_view_test {
namespace {

// Best fit follows the texts: a longer text widens the column by exactly the difference of the
// two texts' widths as the grid's canvas measures them, and a caption wider than every text sets
// the width alike.
TEST_F(TableViewLayoutTest, BestFitWidensAColumnByExactlyTheMeasuredTextWidths) {
  TcxGridColumn* country = AddColumn("Страна"_a, 60);
  TcxGridColumn* city = AddColumn("Город"_a, 60);
  View->GetOptionsView()->SetGroupByBox(false);
  FillTowns(10);
  Layout();
  TcxCanvas* canvas = View->GetViewInfo()->Canvas();
  ASSERT_NE(canvas, nullptr);
  canvas->GetFont()->Assign(Grid->GetFont());
  const Integer longest = canvas->TextWidth("Санкт-Петербург"_a);
  city->ApplyBestFit();
  const Integer fitted = city->GetWidth();
  EXPECT_GT(fitted, longest);

  const AnsiString longer = "Санкт-Петербург-на-Неве"_a;
  View->GetDataController()->SetValue(4, city->GetIndex(), Variant(longer));
  city->ApplyBestFit();
  EXPECT_EQ(city->GetWidth() - fitted, canvas->TextWidth(longer) - longest);

  // A caption wider than the texts: two captions differ as their measured widths do.
  country->SetCaption("Страна, где стоит город"_a);
  country->ApplyBestFit();
  const Integer byCaption = country->GetWidth();
  country->SetCaption("Страна, в которой стоит этот город"_a);
  country->ApplyBestFit();
  EXPECT_EQ(country->GetWidth() - byCaption,
            canvas->TextWidth("Страна, в которой стоит этот город"_a) - canvas->TextWidth("Страна, где стоит город"_a));
}

}  // namespace
}  // namespace grid_table_view_test
