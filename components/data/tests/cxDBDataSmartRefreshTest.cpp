// Smart refresh and the grid-mode buffer of the dataset-bound controller: a post reads the one
// edited or appended town again instead of reloading the table; a new buffer size refills the
// buffer; a buffer of 50 over 100,000 synthetic towns walks to the last town.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "components/data/tests/DBDataFixture.h"
#include "memdata/RxMemDS.h"
#include "tools/SyntheticTownTable.h"

using namespace orv::test;

namespace {

Integer SmartFocusedId(TcxCustomDataController* c) {
  return c->GetValue(c->GetFocusedRecordIndex(), kFieldId).AsInteger();
}

std::vector<Integer> BufferIds(TcxCustomDataController* c) {
  std::vector<Integer> ids;
  for (Integer r = 0; r < c->GetRowCount(); ++r) ids.push_back(c->GetValue(c->GetRowInfo(r).RecordIndex, kFieldId).AsInteger());
  return ids;
}

}  // namespace

TEST(cxDBDataSmartRefresh, APostReadsTheEditedTownAloneWithoutAReload) {
  for (const Boolean smart : {false, true}) {
    SCOPED_TRACE(smart ? "smart refresh" : "full reload");
    TFixtureTownTable fixture;
    TDBControllerPtr c = MakeTownController(fixture.Town->Source);
    c->SetKeyFieldNames("ID");
    c->GetDataModeController()->SetSmartRefresh(smart);
    EXPECT_EQ(c->IsSmartRefresh(), smart);
    const Integer count = c->GetRecordCount();
    const std::vector<Integer> ids = RecordIds(c.get());
    c->ChangeFocusedRowIndex(2);
    c->LoadCount = 0;
    ASSERT_TRUE(c->SetEditValue(kFieldCity, Variant("Киев-Пассажирский"_a), evsValue));
    c->Post();
    EXPECT_EQ(fixture.Town->Table->GetState(), dsBrowse);
    // Without smart refresh the post reloads every town; with it, none.
    if (smart)
      EXPECT_EQ(c->LoadCount, 0);
    else
      EXPECT_GE(c->LoadCount, 1);
    EXPECT_EQ(c->GetRecordCount(), count);
    EXPECT_EQ(RecordIds(c.get()), ids);
    EXPECT_EQ(SmartFocusedId(c.get()), ids[2]);
    EXPECT_EQ(orv::AnsiToUtf8(VarToStr(c->GetValue(2, kFieldCity))), "Киев-Пассажирский");
    // The file holds the posted name.
    TTownTable second(fixture.Temp.Dir, true);
    second.Table->First();
    second.Table->MoveBy(2);
    EXPECT_EQ(orv::AnsiToUtf8(second.Table->FieldByName("CITY")->GetAsString()), "Киев-Пассажирский");
  }
}

TEST(cxDBDataSmartRefresh, NeedsKeysAndIsOffInGridMode) {
  TFixtureTownTable fixture;
  TDBControllerPtr c = MakeTownController(fixture.Town->Source);
  c->GetDataModeController()->SetSmartRefresh(true);
  EXPECT_FALSE(c->IsSmartRefresh()) << "no key fields";
  c->SetKeyFieldNames("ID");
  EXPECT_TRUE(c->IsSmartRefresh());
  c->GetDataModeController()->SetGridMode(true);
  EXPECT_FALSE(c->IsSmartRefresh());
}

TEST(cxDBDataGridMode, ANewBufferSizeRefillsTheBuffer) {
  TFixtureTownTable fixture;
  TDBControllerPtr c = MakeTownController(fixture.Town->Source);
  c->GetDataModeController()->SetGridModeBufferCount(5);
  c->GetDataModeController()->SetGridMode(true);
  fixture.Town->Table->First();
  ASSERT_EQ(c->GetRecordCount(), 5);
  c->GetDataModeController()->SetGridModeBufferCount(8);
  EXPECT_EQ(c->GetRecordCount(), 8);
  EXPECT_EQ(BufferIds(c.get()), (std::vector<Integer>{1, 2, 3, 4, 5, 6, 7, 8}));
  c->GetDataModeController()->SetGridModeBufferCount(3);
  EXPECT_EQ(c->GetRecordCount(), 3);
}

TEST(cxDBDataGridMode, ABufferOfFiftyWalksAHundredThousandTownsToTheEnd) {
  dbftest::TTempDir temp;
  constexpr Integer kTowns = 100000;
  orv::WriteSyntheticTownTable(temp.Dir + "/ORVANE.DBF", kTowns, 7);
  TTownTable towns(temp.Dir, true);
  TDBControllerPtr c = MakeTownController(towns.Source);
  c->GetDataModeController()->SetGridModeBufferCount(50);
  c->GetDataModeController()->SetGridMode(true);
  c->LoadCount = 0;
  towns.Table->First();
  ASSERT_EQ(c->GetRecordCount(), 50);
  EXPECT_EQ(BufferIds(c.get()).front(), 1);
  // Page by page from the top: the buffer always holds fifty consecutive towns.
  for (Integer page = 0; page < 20; ++page) c->Scroll(1);
  std::vector<Integer> ids = BufferIds(c.get());
  ASSERT_EQ(ids.size(), 50u);
  for (std::size_t i = 1; i < ids.size(); ++i) ASSERT_EQ(ids[i], ids[i - 1] + 1);
  // To the end: the last fifty towns, the last one focused.
  c->GotoLast();
  ids = BufferIds(c.get());
  ASSERT_EQ(ids.size(), 50u);
  EXPECT_EQ(ids.front(), kTowns - 49);
  EXPECT_EQ(ids.back(), kTowns);
  EXPECT_EQ(SmartFocusedId(c.get()), kTowns);
  EXPECT_TRUE(towns.Table->GetEOF() || towns.Table->FieldByName("ID")->GetAsInteger() == kTowns);
  // And back to the top.
  c->GotoFirst();
  EXPECT_EQ(BufferIds(c.get()).front(), 1);
  EXPECT_EQ(c->GetRecordCount(), 50);
}

TEST(cxDBDataReload, SelectedTownsAreFoundAgainByTheirKeysAfterAReload) {
  for (const Boolean keys : {false, true}) {
    SCOPED_TRACE(keys ? "with keys" : "without keys");
    TFixtureTownTable fixture;
    TDBControllerPtr c = MakeTownController(fixture.Town->Source);
    if (keys) c->SetKeyFieldNames("ID");
    c->SetMultiSelect(true);
    const std::vector<Integer> ids = RecordIds(c.get());
    // Select the towns of IDs ids[3] and ids[5]; then a filter drops the first two towns.
    c->ClearSelection();
    c->ChangeRowSelection(3, true);
    c->ChangeRowSelection(5, true);
    ASSERT_EQ(c->GetSelectedCount(), 2);
    const Integer dropped0 = ids[0], dropped1 = ids[1];
    Search(fixture.Town->Table, {"(id <> " + std::to_string(dropped0) + ") and (id <> " + std::to_string(dropped1) + ")"});
    ASSERT_EQ(c->GetRecordCount(), Integer(ids.size()) - 2);
    std::vector<Integer> selected;
    for (Integer i = 0; i < c->GetSelectedCount(); ++i)
      selected.push_back(c->GetValue(c->GetRowInfo(c->GetSelectedRowIndex(i)).RecordIndex, kFieldId).AsInteger());
    if (keys)
      EXPECT_EQ(selected, (std::vector<Integer>{ids[3], ids[5]})) << "the same towns, now two rows higher";
    else
      EXPECT_NE(selected, (std::vector<Integer>{ids[3], ids[5]})) << "without keys the rows stay, not the towns";
  }
}

TEST(cxDBDataDetailMode, DetailFirstLocatesTheMasterKeyWithoutAnEventAndNoQueryIsCurrentWithoutParams) {
  TFixtureTownTable fixture;
  TDsDbfTable* table = fixture.Town->Table;
  TDBControllerPtr c = MakeTownController(fixture.Town->Source);
  TcxDBDataModeController* mode = c->GetDataModeController();
  ASSERT_NE(c->GetDetailFilterAdapter(), nullptr);
  table->First();
  const AnsiString first = table->FieldByName("COUNTRY")->GetAsString();
  while (!table->GetEOF() && table->FieldByName("COUNTRY")->GetAsString() == first) table->Next();
  ASSERT_FALSE(table->GetEOF());
  const AnsiString country = table->FieldByName("COUNTRY")->GetAsString();
  table->First();
  ASSERT_NE(table->FieldByName("COUNTRY")->GetAsString(), country);
  Boolean reopened = true;
  mode->DetailFirst("COUNTRY", Variant(country), reopened);
  EXPECT_FALSE(reopened);
  EXPECT_EQ(table->FieldByName("COUNTRY")->GetAsString(), country) << "located on the master key";
  // The town table holds no query parameters: its query is never current, and in SQL mode the
  // detail cannot be re-queried, so nothing moves.
  EXPECT_FALSE(mode->DetailIsCurrentQuery("COUNTRY", Variant(country)));
  mode->SetDetailInSQLMode(true);
  table->First();
  mode->DetailFirst("COUNTRY", Variant(country), reopened);
  EXPECT_FALSE(reopened);
  EXPECT_EQ(table->GetRecNo(), 1);
}

namespace {

// Towns in memory keyed by a number the dataset gives each record as it is posted.
struct TAutoNumberedTowns {
  TAutoNumberedTowns() : Root(new TComponent(nullptr)) {
    Data = new TRxMemoryData(Root.get());
    Data->GetFieldDefs().Add("ID", ftAutoInc);
    Data->GetFieldDefs().Add("CITY", ftString, 40);
    Data->Open();
    for (const AnsiString city : {"Абакан"_a, "Бийск"_a, "Вологда"_a}) {
      Data->Append();
      Data->FieldByName("CITY")->SetAsString(city);
      Data->Post();
    }
    Source = new TDataSource(Root.get());
    Source->SetDataSet(Data);
  }
  std::unique_ptr<TComponent, orv::FreeDeleter> Root;
  TRxMemoryData* Data;
  TDataSource* Source;
};

enum { kAutoId, kAutoCity };

}  // namespace

TEST(cxDBDataSmartRefresh, AnAppendedTownGetsItsNumberFromThePostWithoutAReload) {
  for (const Boolean smart : {false, true}) {
    SCOPED_TRACE(smart ? "smart refresh" : "full reload");
    TAutoNumberedTowns towns;
    TDBControllerPtr c(new TTestDBDataController(nullptr));
    c->AddFieldItems({"ID", "CITY"});
    c->SetDataSource(towns.Source);
    c->SetKeyFieldNames("ID");
    c->GetDataModeController()->SetSmartRefresh(smart);
    ASSERT_EQ(c->GetRecordCount(), 3);
    c->LoadCount = 0;
    c->Append();
    ASSERT_EQ(towns.Data->GetState(), dsInsert);
    ASSERT_TRUE(c->SetEditValue(kAutoCity, Variant("Грозный"_a), evsValue));
    c->Post();
    EXPECT_EQ(towns.Data->GetState(), dsBrowse);
    if (smart)
      EXPECT_EQ(c->LoadCount, 0) << "the new town is read alone";
    else
      EXPECT_GE(c->LoadCount, 1);
    // The new town stays, with the number the dataset gave it, and keeps the focus.
    ASSERT_EQ(c->GetRecordCount(), 4);
    const Integer focused = c->GetFocusedRecordIndex();
    ASSERT_GE(focused, 0);
    EXPECT_EQ(c->GetValue(focused, kAutoId).AsInteger(), 4);
    EXPECT_EQ(orv::AnsiToUtf8(VarToStr(c->GetValue(focused, kAutoCity))), "Грозный");
    std::vector<Integer> ids;
    for (Integer r = 0; r < c->GetRecordCount(); ++r) ids.push_back(c->GetValue(r, kAutoId).AsInteger());
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<Integer>{1, 2, 3, 4}));
    // A second town appended the same way is told from the first by its own number.
    c->LoadCount = 0;
    c->Append();
    ASSERT_TRUE(c->SetEditValue(kAutoCity, Variant("Дербент"_a), evsValue));
    c->Post();
    if (smart) {
      EXPECT_EQ(c->LoadCount, 0);
    }
    ASSERT_EQ(c->GetRecordCount(), 5);
    EXPECT_EQ(c->GetValue(c->GetFocusedRecordIndex(), kAutoId).AsInteger(), 5);
    EXPECT_EQ(c->FindRecordIndexByKey(Variant(Integer(4))) != -1, true);
  }
}

TEST(cxDBDataSmartRefresh, ATownPostedFromTheNewItemRowJoinsTheRecordsWithoutAReload) {
  for (const Boolean smart : {false, true}) {
    SCOPED_TRACE(smart ? "smart refresh" : "full reload");
    TAutoNumberedTowns towns;
    TDBControllerPtr c(new TTestDBDataController(nullptr));
    c->AddFieldItems({"ID", "CITY"});
    c->SetDataSource(towns.Source);
    c->SetKeyFieldNames("ID");
    c->GetDataModeController()->SetSmartRefresh(smart);
    c->SetUseNewItemRowForEditing(true);
    ASSERT_EQ(c->GetRecordCount(), 3);
    for (const AnsiString city : {"Грозный"_a, "Дербент"_a}) {
      c->SetNewItemRowFocused(true);
      c->LoadCount = 0;
      ASSERT_TRUE(c->SetEditValue(kAutoCity, Variant(city), evsValue));
      ASSERT_EQ(towns.Data->GetState(), dsInsert);
      c->Post();
      EXPECT_EQ(towns.Data->GetState(), dsBrowse);
      if (smart) {
        EXPECT_EQ(c->LoadCount, 0) << "the new town is read alone";
      }
    }
    // Both towns joined the records with the numbers the dataset gave them; the new-item row is
    // empty again.
    ASSERT_EQ(c->GetRecordCount(), 5);
    std::map<Integer, std::string> cities;
    for (Integer r = 0; r < c->GetRecordCount(); ++r)
      cities[c->GetValue(r, kAutoId).AsInteger()] = orv::AnsiToUtf8(VarToStr(c->GetValue(r, kAutoCity)));
    EXPECT_EQ(cities, (std::map<Integer, std::string>{
                          {1, "Абакан"}, {2, "Бийск"}, {3, "Вологда"}, {4, "Грозный"}, {5, "Дербент"}}));
    EXPECT_TRUE(VarIsNull(c->GetValue(c->GetNewItemRecordIndex(), kAutoCity)));
  }
}
