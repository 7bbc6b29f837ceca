// Group rows of the unbound controller: building the groups, rows and row information, expanding
// and collapsing, focus and selection across group rows, saved expanded states, and the groups
// interface.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "components/data/tests/DataControllerFixture.h"

namespace {

using namespace orv::test;

// Towns grouped by country (codes order): Беларусь {5, 10}, Казахстан {8},
// Россия {0, 1, 2, 4, 6, 7, 9, 11, 12, 13}, Украина {3}.
TControllerPtr MakeGroupedTowns() {
  TControllerPtr c = MakeTownController();
  c->GetGroups()->ChangeGroupIndex(kCountry, 0);
  return c;
}

std::string RowText(TcxCustomDataController* c, Integer row) {
  Integer item = kCity;
  AnsiString text;
  c->GetRowDisplayText(c->GetRowInfo(row), item, text);
  return orv::AnsiToUtf8(text);
}

std::vector<std::string> RowTexts(TcxCustomDataController* c) {
  std::vector<std::string> texts;
  for (Integer row = 0; row < c->GetRowCount(); ++row) texts.push_back(RowText(c, row));
  return texts;
}

// A controller with two string items and the given records.
TControllerPtr MakePairs(const std::vector<std::pair<const char*, const char*>>& values) {
  TControllerPtr c(new TTestDataController(nullptr));
  c->AddTestItem(TcxStringValueType::StaticClass());
  c->AddTestItem(TcxStringValueType::StaticClass());
  c->BeginUpdate();
  c->SetRecordCount(Integer(values.size()));
  for (std::size_t i = 0; i < values.size(); ++i) {
    c->SetValue(Integer(i), 0, Variant(AnsiString(values[i].first)));
    c->SetValue(Integer(i), 1, Variant(AnsiString(values[i].second)));
  }
  c->EndUpdate();
  return c;
}

TEST(TcxDataGroups, OneLevelGivesCollapsedGroupRowsThatExpandIntoDataRows) {
  TControllerPtr c = MakeGroupedTowns();
  EXPECT_EQ(RowTexts(c.get()), (std::vector<std::string>{"Беларусь", "Казахстан", "Россия", "Украина"}));
  EXPECT_EQ(RowRecords(c.get()), (std::vector<Integer>{5, 8, 0, 3}));
  const TcxRowInfo info = c->GetRowInfo(2);
  EXPECT_EQ(info.Level, 0);
  EXPECT_FALSE(info.Expanded);
  TcxDataGroups* groups = c->GetDataControllerInfo()->GetDataGroups();
  ASSERT_EQ(groups->GetCount(), 4);
  EXPECT_EQ(groups->GetItem(2)->Last - groups->GetItem(2)->First + 1, 10);

  c->GetGroups()->ChangeExpanding(0, true, false);
  EXPECT_EQ(RowTexts(c.get()), (std::vector<std::string>{"Беларусь", "Минск", "Гомель", "Казахстан", "Россия", "Украина"}));
  EXPECT_TRUE(c->GetRowInfo(0).Expanded);
  EXPECT_EQ(c->GetRowInfo(1).Level, 1);  // a data row: the level count
  EXPECT_EQ(c->GetRowInfo(2).RecordIndex, 10);
  // A data row is no group row; it lies in the first group.
  TcxDataGroupInfo* group = nullptr;
  EXPECT_EQ(groups->FindByRowIndex(2, group), -1);
  EXPECT_EQ(group, groups->GetItem(0));
  EXPECT_EQ(c->GetRowIndexByRecordIndex(10, false), 2);
  EXPECT_EQ(c->GetRowIndexByRecordIndex(8, false), -1);  // in a collapsed group
  EXPECT_EQ(c->GetRowIndexByRecordIndex(8, true), 4);    // expands Казахстан
  EXPECT_EQ(c->GetRowCount(), 7);
  EXPECT_THROW(c->GetRowInfo(7), EcxInvalidDataControllerOperation);
  EXPECT_THROW(c->GetGroups()->ChangeExpanding(-1, true, false), EcxInvalidDataControllerOperation);
}

TEST(TcxDataGroups, TwoLevelsNumberRowsInPreOrder) {
  // G0 = A with G00 = x (3 records) and G01 = y; G1 = B with G10 = z.
  TControllerPtr c = MakePairs({{"A", "x"}, {"A", "x"}, {"B", "z"}, {"A", "y"}, {"A", "x"}});
  c->GetGroups()->ChangeGroupIndex(0, 0);
  c->GetGroups()->ChangeGroupIndex(1, 1);
  TcxDataGroups* groups = c->GetDataControllerInfo()->GetDataGroups();
  ASSERT_EQ(groups->GetCount(), 5);
  EXPECT_EQ(c->GetRowCount(), 2);
  EXPECT_EQ(groups->GetChildCount(-1), 2);
  EXPECT_EQ(groups->GetChildCount(0), 2);
  EXPECT_EQ(groups->GetChildCount(1), 3);
  EXPECT_EQ(groups->GetChildIndex(0, 1), 2);
  EXPECT_EQ(groups->GetChildIndex(-1, 1), 3);
  EXPECT_EQ(groups->GetChildIndex(1, 0), -1);  // a deepest group has records, not groups
  EXPECT_EQ(groups->GetChildRecordListIndex(0, 0), -1);
  EXPECT_EQ(groups->GetChildRecordListIndex(1, 2), 2);
  EXPECT_EQ(groups->GetChildRecordListIndex(1, 3), -1);

  c->GetGroups()->ChangeExpanding(0, true, false);  // G0
  c->GetGroups()->ChangeExpanding(1, true, false);  // G00
  std::vector<Integer> rowNumbers;
  for (Integer i = 0; i < groups->GetCount(); ++i) rowNumbers.push_back(groups->GetItem(i)->RowIndex);
  EXPECT_EQ(rowNumbers, (std::vector<Integer>{0, 1, 5, 6, 6}));  // G10 carries its ancestor's row
  EXPECT_EQ(c->GetRowCount(), 7);
  EXPECT_EQ(RowRecords(c.get()), (std::vector<Integer>{0, 0, 0, 1, 4, 3, 2}));
  std::vector<Integer> levels;
  for (Integer row = 0; row < c->GetRowCount(); ++row) levels.push_back(c->GetRowInfo(row).Level);
  EXPECT_EQ(levels, (std::vector<Integer>{0, 1, 2, 2, 2, 1, 0}));
  // The row of a hidden group is that of its visible ancestor.
  TcxDataGroupInfo* group = nullptr;
  EXPECT_EQ(groups->FindByRowIndex(6, group), 3);
  EXPECT_EQ(groups->GetIndexByRowIndex(6, 1), 4);
  EXPECT_EQ(groups->GetIndexByRowIndex(3, 0), 0);
  EXPECT_EQ(groups->GetGroupIndexByRecordListIndex(4, 0), 3);
  EXPECT_EQ(groups->GetGroupIndexByRecordListIndex(3, 1), 2);
  EXPECT_TRUE(c->GetGroups()->IsRowInGroup(3, 0));
  EXPECT_TRUE(c->GetGroups()->IsRowInGroup(3, 1));
  EXPECT_FALSE(c->GetGroups()->IsRowInGroup(5, 1));
  EXPECT_FALSE(c->GetGroups()->IsRowInGroup(6, 0));

  // A recursive collapse and a plain expand show the children collapsed.
  c->GetGroups()->ChangeExpanding(0, false, true);
  EXPECT_EQ(c->GetRowCount(), 2);
  c->GetGroups()->ChangeExpanding(0, true, false);
  EXPECT_EQ(c->GetRowCount(), 4);
  EXPECT_FALSE(c->GetRowInfo(1).Expanded);
  c->GetGroups()->FullExpand();
  EXPECT_EQ(c->GetRowCount(), 10);
  c->GetGroups()->FullCollapse();
  EXPECT_EQ(c->GetRowCount(), 2);
}

TEST(TcxDataGroups, GroupingInterfaceAndEvents) {
  TControllerPtr c = MakeTownController();
  Integer groupingChanged = 0;
  struct Counter {
    Integer* Count;
    void Handler(TObject*) { ++*Count; }
  } counter{&groupingChanged};
  c->SetOnGroupingChanged(TNotifyEvent(&counter, &Counter::Handler));
  TcxDataControllerGroups* groups = c->GetGroups();
  EXPECT_EQ(groups->GetGroupingLevelCount(), 0);
  EXPECT_EQ(c->GetDataControllerInfo()->GetDataGroups()->GetRowCount(), 0);
  groups->ChangeGroupIndex(kCountry, 0);
  EXPECT_EQ(groupingChanged, 1);
  groups->ChangeGroupIndex(kCountry, 0);  // unchanged
  EXPECT_EQ(groupingChanged, 1);
  EXPECT_EQ(groups->GetItemGroupIndex(kCountry), 0);
  EXPECT_EQ(groups->GetItemGroupIndex(kCity), -1);
  EXPECT_EQ(groups->GetLevelItemIndex(0), kCountry);
  EXPECT_THROW(groups->GetItemGroupIndex(9), EcxInvalidDataControllerOperation);
  // Grouped items are ordered; the sort order of a grouped item is its grouping order.
  EXPECT_EQ(c->GetItemSortOrder(kCountry), soAscending);

  std::vector<Integer> records;
  groups->CollectRowRecordIndexes(records, 2);  // Россия
  std::sort(records.begin(), records.end());
  EXPECT_EQ(records, (std::vector<Integer>{0, 1, 2, 4, 6, 7, 9, 11, 12, 13}));
  EXPECT_EQ(groups->GetChildCount(0), 2);
  EXPECT_EQ(groups->GetChildRecordIndex(0, 1), 10);
  EXPECT_EQ(groups->GetChildRecordIndex(0, 2), -1);
  EXPECT_EQ(groups->GetLevel(groups->GetRowDataGroup(3)), 0);

  // Descending grouping reverses the groups.
  c->ChangeSorting(kCountry, soDescending);
  EXPECT_EQ(RowText(c.get(), 0), "Украина");

  groups->ClearGrouping();
  EXPECT_EQ(groupingChanged, 2);
  EXPECT_EQ(c->GetRowCount(), 14);
  EXPECT_EQ(c->GetRowInfo(0).Level, 0);
}

TEST(TcxDataGroups, FocusExpandsToItsRecordAndACollapseMovesItToTheGroupRow) {
  TControllerPtr c = MakeGroupedTowns();
  // Record 7 (Ростов) lies in the collapsed group Россия: focusing it expands the group.
  c->ChangeFocusedRecordIndex(7);
  EXPECT_EQ(c->GetFocusedRecordIndex(), 7);
  const Integer row = c->GetFocusedRowIndex();
  EXPECT_EQ(c->GetRowInfo(row).Level, 1);
  EXPECT_TRUE(c->GetRowInfo(2).Expanded);
  EXPECT_EQ(row, 2 + 1 + 5);  // Россия's sixth record in load order

  // A resort within the groups keeps record 7 focused.
  c->ChangeSorting(kCity, soDescending);
  EXPECT_EQ(c->GetFocusedRecordIndex(), 7);
  EXPECT_EQ(c->GetRowInfo(c->GetFocusedRowIndex()).RecordIndex, 7);

  // Collapsing the group moves the focus onto the group row and does not expand it again.
  c->GetGroups()->ChangeExpanding(2, false, false);
  EXPECT_EQ(c->GetFocusedRowIndex(), 2);
  EXPECT_FALSE(c->GetRowInfo(2).Expanded);
  EXPECT_EQ(c->GetRowInfo(c->GetFocusedRowIndex()).Level, 0);

  // Collapsing a group above the focused row keeps the focus on the same group row.
  c->GetGroups()->ChangeExpanding(0, true, false);
  EXPECT_EQ(c->GetFocusedRowIndex(), 4);
  c->GetGroups()->ChangeExpanding(0, false, false);
  EXPECT_EQ(c->GetFocusedRowIndex(), 2);
  EXPECT_EQ(RowText(c.get(), 2), "Россия");
}

TEST(TcxDataGroups, NearestRowPrefersARowOfTheSameLevel) {
  TControllerPtr c = MakeGroupedTowns();
  c->GetGroups()->ChangeExpanding(0, true, false);  // Беларусь, Минск, Гомель, Казахстан, Россия, Украина
  TcxCustomDataControllerInfo* info = c->GetDataControllerInfo();
  EXPECT_EQ(info->GetNearestRowIndex(1), 2);
  EXPECT_EQ(info->GetNearestRowIndex(2), 1);
  EXPECT_EQ(info->GetNearestRowIndex(3), 4);
  EXPECT_EQ(info->GetNearestRowIndex(5), 4);
  EXPECT_EQ(info->GetNearestRowIndex(0), 1);  // no other group row next to it
  EXPECT_THROW(info->GetNearestRowIndex(6), EcxInvalidDataControllerOperation);
}

TEST(TcxDataGroups, SavedExpandingSurvivesAReloadButNotANewGrouping) {
  TControllerPtr c = MakeGroupedTowns();
  c->GetGroups()->ChangeExpanding(2, true, false);  // Россия
  c->GetGroups()->ChangeExpanding(0, true, false);  // Беларусь
  ASSERT_EQ(c->GetRowCount(), 16);
  // A changed value rebuilds every row: the same groups stay expanded.
  c->SetValue(3, kCity, Variant("Одесса"_a));
  EXPECT_EQ(c->GetRowCount(), 16);
  EXPECT_TRUE(c->GetRowInfo(0).Expanded);
  EXPECT_FALSE(c->GetRowInfo(3).Expanded);
  EXPECT_TRUE(c->GetRowInfo(4).Expanded);
  // A record moving into another group: the expanded group keeps its state by its value.
  c->SetValue(10, kCountry, Variant("Россия"_a));
  EXPECT_EQ(RowTexts(c.get())[0], "Беларусь");
  EXPECT_EQ(c->GetRowCount(), 16);
  // Without the option a rebuild collapses everything.
  c->SetOptions(c->GetOptions() - TcxDataControllerOptions{dcoSaveExpanding});
  EXPECT_EQ(c->GetRowCount(), 4);
  c->SetOptions(c->GetOptions() + TcxDataControllerOptions{dcoSaveExpanding});
  c->GetGroups()->ChangeExpanding(0, true, false);
  // A second grouping level is a new grouping: the saved states are dropped.
  c->GetGroups()->ChangeGroupIndex(kCity, 1);
  EXPECT_EQ(c->GetRowCount(), 4);
}

TEST(TcxDataGroups, GroupsAlwaysExpandedShowEveryRow) {
  TControllerPtr c = MakeTownController();
  c->SetOptions(c->GetOptions() + TcxDataControllerOptions{dcoGroupsAlwaysExpanded});
  c->GetGroups()->ChangeGroupIndex(kCountry, 0);
  EXPECT_EQ(c->GetRowCount(), 18);
  c->GetGroups()->ChangeExpanding(0, false, false);
  c->GetGroups()->FullCollapse();
  EXPECT_EQ(c->GetRowCount(), 18);
}

TEST(TcxDataGroups, SelectedGroupRowsFollowExpandingAndDeleteTheirRecords) {
  TControllerPtr c = MakeGroupedTowns();
  c->SetMultiSelect(true);
  c->ChangeRowSelection(1, true);  // Казахстан
  c->ChangeRowSelection(3, true);  // Украина
  ASSERT_EQ(c->GetSelectedCount(), 2);
  c->GetGroups()->ChangeExpanding(0, true, false);
  EXPECT_EQ(c->GetSelectedRowIndex(0), 3);
  EXPECT_EQ(c->GetSelectedRowIndex(1), 5);
  // A rebuild keeps the selected group rows selected.
  c->SetValue(0, kCity, Variant("Москва-2"_a));
  ASSERT_EQ(c->GetSelectedCount(), 2);
  EXPECT_EQ(RowText(c.get(), c->GetSelectedRowIndex(0)), "Казахстан");
  EXPECT_EQ(RowText(c.get(), c->GetSelectedRowIndex(1)), "Украина");
  // Deleting the selection deletes the records of both groups.
  c->DeleteSelection();
  EXPECT_EQ(c->GetRecordCount(), 12);
  EXPECT_EQ(RowTexts(c.get()), (std::vector<std::string>{"Беларусь", "Минск", "Гомель", "Россия"}));
}

TEST(TcxDataGroups, DeletingAFocusedGroupRowDeletesEveryRecordOfTheGroupOnce) {
  TControllerPtr c = MakeGroupedTowns();
  c->ChangeFocusedRowIndex(0);  // Беларусь: records 5 and 10
  c->DeleteFocused();
  EXPECT_EQ(c->GetRecordCount(), 12);
  for (Integer r = 0; r < c->GetRecordCount(); ++r) EXPECT_NE(orv::AnsiToUtf8(VarToStr(c->GetValue(r, kCountry))), "Беларусь");
  // The nearest record (the next group's first) is focused, its group expanded.
  EXPECT_EQ(RowTexts(c.get()), (std::vector<std::string>{"Казахстан", "Алматы", "Россия", "Украина"}));
  EXPECT_EQ(c->GetFocusedRowIndex(), 1);
}

TEST(TcxDataGroups, AFilterAndNewRecordsRegroup) {
  TControllerPtr c = MakeGroupedTowns();
  c->SetIncrementalFilter(kCity, "О"_a);  // Омск, Орёл (Россия)
  EXPECT_EQ(RowTexts(c.get()), (std::vector<std::string>{"Россия"}));
  c->ResetIncrementalFilter();
  c->SetRecordCount(15);
  c->SetValue(14, kCountry, Variant("Армения"_a));
  EXPECT_EQ(RowTexts(c.get())[0], "Армения");
  EXPECT_EQ(c->GetRowCount(), 5);
  c->SetRecordCount(0);
  EXPECT_EQ(c->GetRowCount(), 0);
}

}  // namespace
