// Grouping and summaries of the dataset-bound controller over the bundled town table: the found
// towns grouped by country with counts and averages that equal a direct walk of the table, and
// summary items bound to a field by name.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "components/data/tests/DBDataFixture.h"

namespace {

using namespace orv::test;

struct TCountryTotals {
  Integer Count = 0;
  double LatSum = 0;
  Integer LatCount = 0;
};

// The table's records walked directly, by country.
std::map<AnsiString, TCountryTotals> WalkByCountry(TDataSet* dataSet) {
  std::map<AnsiString, TCountryTotals> totals;
  for (dataSet->First(); !dataSet->GetEOF(); dataSet->Next()) {
    TCountryTotals& t = totals[dataSet->FieldByName("COUNTRY")->GetAsString()];
    ++t.Count;
    TField* lat = dataSet->FieldByName("LAT");
    if (!lat->GetIsNull()) {
      t.LatSum += lat->GetAsFloat();
      ++t.LatCount;
    }
  }
  return totals;
}

// Every group row (the groups collapsed) against the direct totals.
void ExpectGroupsMatch(TcxCustomDataController* controller, const std::map<AnsiString, TCountryTotals>& totals) {
  ASSERT_EQ(controller->GetRowCount(), Integer(totals.size()));
  TcxDataSummary* summary = controller->GetSummary();
  Integer records = 0;
  for (Integer row = 0; row < controller->GetRowCount(); ++row) {
    const TcxRowInfo info = controller->GetRowInfo(row);
    ASSERT_EQ(info.Level, 0);
    Integer item = kFieldCity;
    AnsiString country;
    controller->GetRowDisplayText(info, item, country);
    EXPECT_EQ(item, kFieldCountry);
    const auto it = totals.find(country);
    ASSERT_NE(it, totals.end()) << orv::AnsiToUtf8(country);
    TcxDataSummaryItems* items;
    Variant values;
    ASSERT_TRUE(summary->GetGroupSummaryInfo(row, items, values));
    EXPECT_EQ(values.GetElement(0).AsInteger(), it->second.Count) << orv::AnsiToUtf8(country);
    EXPECT_NEAR(values.GetElement(1).AsDouble(), it->second.LatSum / it->second.LatCount, 1e-9);
    records += values.GetElement(0).AsInteger();
  }
  EXPECT_EQ(records, controller->GetFilteredRecordCount());
  EXPECT_EQ(summary->GetFooterSummaryValue(0).AsInteger(), controller->GetFilteredRecordCount());
}

TEST(cxDBDataSummary, TownsGroupedByCountryCountAsTheTableDoes) {
  auto town = OpenBundledTownTable();
  TDBControllerPtr controller = MakeTownController(town->Source);
  TcxDataSummary* summary = controller->GetSummary();
  summary->GetDefaultGroupSummaryItems()->AddItem(nullptr, spGroup, skCount, "");
  summary->GetDefaultGroupSummaryItems()->AddItem(controller->GetItem(kFieldLat), spGroup, skAverage, "");
  summary->GetFooterSummaryItems()->AddItem(controller->GetItem(kFieldCity), spFooter, skCount, "");
  controller->GetGroups()->ChangeGroupIndex(kFieldCountry, 0);
  // The direct walk goes through a table of its own: the controller follows its table's cursor.
  auto direct = OpenBundledTownTable();
  const auto totals = WalkByCountry(direct->Table);
  ASSERT_GT(totals.size(), 100u);
  ExpectGroupsMatch(controller.get(), totals);
  EXPECT_EQ(summary->GetGroupSummaryText(0).substr(0, 7), "(COUNT=");

  // A search reloads the records: groups and summaries follow it.
  Search(town->Table, {"(lat >= 50) and (lat <= 60)"});
  Search(direct->Table, {"(lat >= 50) and (lat <= 60)"});
  const auto found = WalkByCountry(direct->Table);
  ASSERT_GT(found.size(), 10u);
  ExpectGroupsMatch(controller.get(), found);
  Search(town->Table, {});
  ExpectGroupsMatch(controller.get(), totals);
}

TEST(cxDBDataSummary, CollapsingTheCursorsGroupMovesTheCursorToTheGroupRow) {
  auto town = OpenBundledTownTable();
  TDBControllerPtr controller = MakeTownController(town->Source);
  controller->GetGroups()->ChangeGroupIndex(kFieldCountry, 0);
  const Integer groups = controller->GetRowCount();
  // Focusing a record in the middle of a group expands it and moves the table there.
  const Integer record = controller->GetFilteredRecordIndex(5000);
  controller->ChangeFocusedRecordIndex(record);
  EXPECT_EQ(controller->GetFocusedRecordIndex(), record);
  EXPECT_EQ(town->Table->FieldByName("ID")->GetAsInteger(), controller->GetValue(record, kFieldId).AsInteger());
  EXPECT_GT(controller->GetRowCount(), groups);
  const Integer groupRow = controller->GetDataControllerInfo()->GetDataGroups()->GetItemRef(
      controller->GetGroups()->GetRowDataGroup(controller->GetFocusedRowIndex())).RowIndex;
  controller->GetGroups()->ChangeExpanding(groupRow, false, false);
  EXPECT_EQ(controller->GetRowCount(), groups);
  EXPECT_EQ(controller->GetFocusedRowIndex(), groupRow);
  const Integer first = controller->GetRowInfo(groupRow).RecordIndex;
  EXPECT_EQ(town->Table->FieldByName("ID")->GetAsInteger(), controller->GetValue(first, kFieldId).AsInteger());
}

TEST(cxDBDataSummary, ASummaryItemBoundToAFieldByName) {
  auto town = OpenBundledTownTable();
  TDBControllerPtr controller(new TTestDBDataController(nullptr));
  controller->AddFieldItems({"ID", "COUNTRY"});
  controller->SetDataSource(town->Source);
  TcxDataSummaryItems* footer = controller->GetSummary()->GetFooterSummaryItems();
  auto* item = static_cast<TcxDBDataSummaryItem*>(footer->Add());
  item->SetKind(skMax);
  // LAT is no item: the controller keeps a field of its own for it.
  item->SetFieldName("LAT");
  ASSERT_NE(item->GetDBDataField(), nullptr);
  auto direct = OpenBundledTownTable();
  double maxLat = -1000;
  for (direct->Table->First(); !direct->Table->GetEOF(); direct->Table->Next())
    maxLat = std::max(maxLat, direct->Table->FieldByName("LAT")->GetAsFloat());
  EXPECT_DOUBLE_EQ(controller->GetSummary()->GetFooterSummaryValue(0).AsDouble(), maxLat);
  // A name an item has already shares its storage.
  item->SetFieldName("ID");
  Integer maxId = 0;
  for (direct->Table->First(); !direct->Table->GetEOF(); direct->Table->Next())
    maxId = std::max(maxId, direct->Table->FieldByName("ID")->GetAsInteger());
  EXPECT_EQ(controller->GetSummary()->GetFooterSummaryValue(0).AsInteger(), maxId);
  item->SetFieldName("");
  EXPECT_EQ(item->GetDBDataField(), nullptr);
  EXPECT_TRUE(controller->GetSummary()->GetFooterSummaryValue(0).IsEmpty());
}

}  // namespace
