// Group rows of the grid table view over the fixture towns grouped by country: the group text
// with its count, expanding and collapsing by keys and by the mouse, group summaries in group
// footers, the Office 2003 and the standard group row look, and their golden images.
#include <gtest/gtest.h>

#include <string>

#include "components/data/cxCustomData.h"
#include "components/grid/cxGridGroupRowViewInfo.h"
#include "components/grid/tests/GridTableViewFixture.h"
#include "platform/drawing/GoldenImage.h"

namespace grid_table_view_test {
namespace {

std::string GroupGoldenPath(const char* name) {
  return std::string(ORV_SOURCE_DIR) + "/components/grid/tests/golden/" + name;
}

class GroupRowTest : public GridTableViewTest {
 public:
  // The main window's grid grouped by country, with a count per group.
  void GroupByCountry() {
    ConfigureAsApplication();
    FillTowns();
    Country()->SetGroupIndex(0);
    auto* count = static_cast<TcxGridTableSummaryItem*>(
        View->GetDataController()->GetSummary()->GetDefaultGroupSummaryItems()->Add());
    count->SetKind(skCount);
    count->SetPosition(spGroup);
  }
  TcxGridColumn* Country() const { return View->GetColumn(0); }
  TcxGridColumn* City() const { return View->GetColumn(1); }
  TcxGridGroupRowViewInfo* GroupRow(Integer i) const { return dynamic_cast<TcxGridGroupRowViewInfo*>(Rows()->Row(i)); }
  orv::TSurface Capture() { return orv::headless::CaptureWindow(View->GetSite()->GetHandle()); }
  void ExpectGolden(const char* name) {
    const orv::TImageCheck check = orv::MatchGoldenImage(Capture(), GroupGoldenPath(name));
    EXPECT_TRUE(check) << check.Message;
  }
  AnsiString GroupText(Integer i) {
    TcxGridGroupRowViewInfo* row = GroupRow(i);
    AnsiString text = row->CellViewInfo()->Text();
    if (row->BeginningSpacer()) text += row->BeginningSpacer()->Text();
    for (Integer c = 0; c < row->SummaryCellCount(); ++c)
      text += row->SummaryCell(c)->Text() + row->SummaryCell(c)->SeparatorViewInfo()->Text();
    if (row->EndingSpacer()) text += row->EndingSpacer()->Text();
    return text;
  }
  void Key(Word key) {
    Word k = key;
    View->GetController()->KeyDown(k, TShiftState());
    Run();
  }
};

TEST_F(GroupRowTest, CollapsedGroupsShowTheCountryAndTheCountOfItsTowns) {
  GroupByCountry();
  Grid->SetBounds(0, 0, 660, 300);
  Layout();
  // Nine countries, sorted; Russia has two towns.
  ASSERT_EQ(View->GetDataController()->GetRowCount(), 9);
  for (Integer i = 0; i < 9; ++i) ASSERT_NE(GroupRow(i), nullptr) << i;
  EXPECT_EQ(GroupText(0), "Страна : Австралия (COUNT=1)"_a);
  EXPECT_EQ(GroupText(6), "Страна : Россия (COUNT=2)"_a);
  // The Office 2003 group row: twice the text height + 4, plus its 2-pixel line, no separator,
  // the text at the bottom and the expand button in the bottom text band.
  TcxGridGroupRowViewInfo* row = GroupRow(0);
  EXPECT_EQ(row->GetBounds().Height(), Rows()->CalculateGroupRowHeight(false));
  EXPECT_EQ(row->GetSeparatorWidth(), 0);
  EXPECT_EQ(row->CellViewInfo()->GetAlignmentVert(), vaBottom);
  EXPECT_TRUE(row->CellViewInfo()->Borders().Contains(bBottom));
  EXPECT_EQ(row->CellViewInfo()->BorderWidth(bBottom), 2);
  const TRect& button = row->ExpandButtonBounds();
  EXPECT_GT(button.Top, row->GetBounds().Top + row->GetBounds().Height() / 2 - 2);
  EXPECT_LT(button.Bottom, row->GetBounds().Bottom);
}

TEST_F(GroupRowTest, KeysAndTheExpandButtonOpenAndCloseAGroup) {
  GroupByCountry();
  Layout();
  // Russia: Right opens it, Left closes it.
  View->GetTableController()->SetFocusedRecordIndex(6);
  Run();
  Key(VK_RIGHT);
  ASSERT_EQ(View->GetDataController()->GetRowCount(), 11);
  EXPECT_EQ(dynamic_cast<TcxGridGroupRowViewInfo*>(Rows()->Row(7)), nullptr) << "a town row under the group";
  EXPECT_EQ(Rows()->Row(7)->GetGridRecord()->GetDisplayTexts(1), "Москва"_a);
  // The town rows are indented by nothing with one grouping level in the Office 2003 style.
  EXPECT_EQ(Rows()->Row(7)->LevelIndent(), 0);
  Key(VK_LEFT);
  EXPECT_EQ(View->GetDataController()->GetRowCount(), 9);
  // A click on the expand button of the first group opens it.
  TcxGridGroupRowViewInfo* row = GroupRow(0);
  const TRect button = row->ExpandButtonBounds();
  TcxCustomGridHitTest* hitTest = ViewInfo()->GetHitTest(TPoint{(button.Left + button.Right) / 2, (button.Top + button.Bottom) / 2});
  ASSERT_NE(hitTest, nullptr);
  EXPECT_EQ(hitTest->GetHitTestCode(), htExpandButton);
  View->GetController()->MouseDown(mbLeft, TShiftState(), (button.Left + button.Right) / 2,
                                   (button.Top + button.Bottom) / 2);
  View->GetController()->MouseUp(mbLeft, TShiftState(), (button.Left + button.Right) / 2,
                                 (button.Top + button.Bottom) / 2);
  Run();
  EXPECT_EQ(View->GetDataController()->GetRowCount(), 10);
  EXPECT_TRUE(View->GetTableViewData()->RecordAt(0)->GetExpanded());
}

TEST_F(GroupRowTest, GroupFootersShowTheGroupsSummariesBelowTheirLastTown) {
  GroupByCountry();
  View->GetOptionsView()->SetGroupFooters(gfVisibleWhenExpanded);
  auto* towns = static_cast<TcxGridTableSummaryItem*>(
      View->GetDataController()->GetSummary()->GetDefaultGroupSummaryItems()->Add());
  towns->SetColumn(City());
  towns->SetKind(skCount);
  towns->SetPosition(spFooter);
  Grid->SetBounds(0, 0, 660, 340);
  View->GetDataController()->GetGroups()->FullExpand();
  Layout();
  // Австралия (group, Сидней), Германия (group, Берлин): each town row ends its group.
  TcxCustomGridRowViewInfo* sydney = Rows()->Row(1);
  ASSERT_EQ(dynamic_cast<TcxGridGroupRowViewInfo*>(sydney), nullptr);
  TcxGridRowFootersViewInfo* footers = sydney->FootersViewInfo();
  ASSERT_NE(footers, nullptr);
  ASSERT_EQ(footers->Count(), 1);
  TcxGridRowFooterViewInfo* footer = footers->Item(0);
  EXPECT_EQ(footer->GroupLevel(), 0);
  ASSERT_EQ(footer->GetItemCount(), 1);
  AnsiString text;
  footer->Item(0)->GetCaption(text);
  EXPECT_EQ(text, "1"_a);
  // The footer lies inside the row, below its cells, and makes the row taller.
  EXPECT_EQ(sydney->GetBottomPartHeight(), footers->GetFootersHeight() + sydney->GetSeparatorWidth() +
                                               (sydney->HasClosingGridLine() ? 1 : 0));
  EXPECT_GE(footer->GetBounds().Top, static_cast<TcxGridDataRowViewInfo*>(sydney)->ExistingCell(0)->GetBounds().Bottom);
  EXPECT_LE(footer->GetBounds().Bottom, sydney->GetBounds().Bottom);
  ExpectGolden("group-rows-footers.png");
  // Russia's first town does not end its group: no footer; the second does, and counts two.
  View->GetTableController()->SetTopRecordIndex(12);
  Run();
  Integer moscow = -1;
  for (Integer i = 0; i + 1 < Rows()->GetVisibleCount(); ++i)
    if (Rows()->Row(i)->GetGridRecord()->GetIsData() && Rows()->Row(i)->GetGridRecord()->GetDisplayTexts(1) == "Москва"_a)
      moscow = i;
  ASSERT_GE(moscow, 0);
  EXPECT_EQ(Rows()->Row(moscow)->FootersViewInfo(), nullptr);
  ASSERT_NE(Rows()->Row(moscow + 1)->FootersViewInfo(), nullptr);
  Rows()->Row(moscow + 1)->FootersViewInfo()->Item(0)->Item(0)->GetCaption(text);
  EXPECT_EQ(text, "2"_a);
}

TEST_F(GroupRowTest, AlwaysVisibleFootersShowUnderACollapsedGroup) {
  GroupByCountry();
  View->GetOptionsView()->SetGroupFooters(gfAlwaysVisible);
  auto* towns = static_cast<TcxGridTableSummaryItem*>(
      View->GetDataController()->GetSummary()->GetDefaultGroupSummaryItems()->Add());
  towns->SetColumn(City());
  towns->SetKind(skCount);
  towns->SetPosition(spFooter);
  Layout();
  View->GetTableController()->SetTopRecordIndex(6);
  Run();
  Integer russia = -1;
  for (Integer i = 0; i < Rows()->GetVisibleCount(); ++i)
    if (GroupRow(i) && GroupText(i) == "Страна : Россия (COUNT=2)"_a) russia = i;
  ASSERT_GE(russia, 0);
  TcxGridRowFootersViewInfo* footers = GroupRow(russia)->FootersViewInfo();
  ASSERT_NE(footers, nullptr);
  AnsiString text;
  footers->Item(0)->Item(0)->GetCaption(text);
  EXPECT_EQ(text, "2"_a);
}

TEST_F(GroupRowTest, Office2003GroupRowsGolden) {
  GroupByCountry();
  Grid->SetBounds(0, 0, 560, 300);
  Layout();
  View->GetTableController()->SetFocusedRecordIndex(6);
  Key(VK_RIGHT);
  ExpectGolden("group-rows-office11.png");
}

TEST_F(GroupRowTest, StandardGroupRowsWithBothGridLinesGolden) {
  GroupByCountry();
  View->GetOptionsView()->SetGroupRowStyle(grsStandard);
  View->GetOptionsView()->SetGridLines(glBoth);
  Grid->SetBounds(0, 0, 560, 300);
  Layout();
  View->GetTableController()->SetFocusedRecordIndex(6);
  Key(VK_RIGHT);
  // Standard rows: one text line high plus the grid line; a level indent for the town rows.
  EXPECT_EQ(GroupRow(0)->CellViewInfo()->GetAlignmentVert(), vaCenter);
  EXPECT_EQ(Rows()->Row(7)->LevelIndent(), ViewInfo()->LevelIndent());
  ExpectGolden("group-rows-standard.png");
}

}  // namespace
}  // namespace grid_table_view_test
