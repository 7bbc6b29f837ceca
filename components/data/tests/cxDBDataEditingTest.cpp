// Editing through the dataset-bound controller over a copy of the fixture town table: what the
// controller posts reaches the file, what it cancels never does.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "components/data/tests/DBDataFixture.h"

using namespace orv::test;

namespace {

using Ids = std::vector<Integer>;

// The towns the file holds, read through a second table object: ID to city (UTF-8).
std::map<Integer, std::string> FileTowns(const std::string& folder) {
  TTownTable second(folder, true);
  std::map<Integer, std::string> towns;
  TDataSet* dataSet = second.Table;
  for (dataSet->First(); !dataSet->GetEOF(); dataSet->Next())
    towns[dataSet->FieldByName("ID")->GetAsInteger()] = orv::AnsiToUtf8(dataSet->FieldByName("CITY")->GetAsString());
  return towns;
}

std::vector<char> FileBytes(const std::string& folder) {
  std::ifstream in(folder + "/ORVANE.DBF", std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

Integer FocusedId(TcxCustomDataController* c) { return c->GetValue(c->GetFocusedRecordIndex(), kFieldId).AsInteger(); }

Integer CurrentId(TDataSet* dataSet) { return dataSet->FieldByName("ID")->GetAsInteger(); }

}  // namespace

TEST(cxDBDataEditing, EditedNameIsPostedToTheFile) {
  TFixtureTownTable fixture;
  TDsDbfTable* table = fixture.Town->Table;
  TDBControllerPtr c = MakeTownController(fixture.Town->Source);
  c->ChangeFocusedRowIndex(2);  // Киев
  ASSERT_EQ(CurrentId(table), 3);

  ASSERT_TRUE(c->SetEditValue(kFieldCity, Variant("Киев-Пассажирский"_a), evsValue));
  EXPECT_EQ(table->GetState(), dsEdit);
  EXPECT_TRUE(c->IsEditing());
  // The storage shows the value being typed.
  EXPECT_EQ(orv::AnsiToUtf8(VarToStr(c->GetValue(2, kFieldCity))), "Киев-Пассажирский");
  c->Post();
  EXPECT_EQ(table->GetState(), dsBrowse);
  EXPECT_FALSE(c->IsEditing());
  EXPECT_EQ(c->GetRecordCount(), 14);
  EXPECT_EQ(FocusedId(c.get()), 3);
  EXPECT_EQ(orv::AnsiToUtf8(VarToStr(c->GetValue(2, kFieldCity))), "Киев-Пассажирский");
  EXPECT_EQ(FileTowns(fixture.Temp.Dir)[3], "Киев-Пассажирский");

  // Edit, then move the focus: the move posts first.
  c->Edit();
  EXPECT_EQ(table->GetState(), dsEdit);
  c->SetEditValue(kFieldCity, Variant("Kyiv"_a), evsText);
  c->ChangeFocusedRowIndex(5);
  EXPECT_EQ(table->GetState(), dsBrowse);
  EXPECT_EQ(CurrentId(table), 6);
  EXPECT_EQ(FileTowns(fixture.Temp.Dir)[3], "Kyiv");
}

TEST(cxDBDataEditing, CancelLeavesTheFileUnchanged) {
  TFixtureTownTable fixture;
  TDsDbfTable* table = fixture.Town->Table;
  TDBControllerPtr c = MakeTownController(fixture.Town->Source);
  const std::vector<char> before = FileBytes(fixture.Temp.Dir);
  c->ChangeFocusedRowIndex(4);  // Лондон
  c->SetEditValue(kFieldCity, Variant("Манчестер"_a), evsValue);
  c->Cancel();
  EXPECT_EQ(table->GetState(), dsBrowse);
  EXPECT_EQ(orv::AnsiToUtf8(VarToStr(c->GetValue(4, kFieldCity))), "Лондон");
  EXPECT_EQ(FocusedId(c.get()), 5);

  c->Append();
  c->SetEditValue(kFieldCity, Variant("Лишний"_a), evsValue);
  EXPECT_EQ(c->GetRecordCount(), 15);
  c->Cancel();
  EXPECT_EQ(c->GetRecordCount(), 14);
  EXPECT_EQ(table->GetState(), dsBrowse);
  EXPECT_EQ(FileBytes(fixture.Temp.Dir), before);
  EXPECT_EQ(FocusedId(c.get()), CurrentId(table));
}

TEST(cxDBDataEditing, AppendAndInsertAddRecordsToTheFile) {
  TFixtureTownTable fixture;
  TDsDbfTable* table = fixture.Town->Table;
  TDBControllerPtr c = MakeTownController(fixture.Town->Source);
  c->ChangeFocusedRowIndex(1);

  c->Append();
  EXPECT_EQ(table->GetState(), dsInsert);
  EXPECT_EQ(c->GetRecordCount(), 15);
  EXPECT_EQ(c->GetFocusedRecordIndex(), 14);
  c->SetEditValue(kFieldId, Variant(Integer(100)), evsValue);
  c->SetEditValue(kFieldCity, Variant("Тула"_a), evsValue);
  c->Post();
  EXPECT_EQ(table->GetState(), dsBrowse);
  EXPECT_EQ(c->GetRecordCount(), 15);
  EXPECT_EQ(FocusedId(c.get()), 100);
  EXPECT_EQ(CurrentId(table), 100);

  // An insert shows its record at the focused row while it is typed; the file appends it.
  c->ChangeFocusedRowIndex(3);
  c->Insert();
  EXPECT_EQ(c->GetFocusedRowIndex(), 3);
  EXPECT_EQ(c->GetValue(4, kFieldId).AsInteger(), 4);
  c->SetEditValue(kFieldId, Variant(Integer(101)), evsValue);
  c->SetEditValue(kFieldCity, Variant("Калуга"_a), evsValue);
  c->Post();
  EXPECT_EQ(c->GetRecordCount(), 16);
  EXPECT_EQ(FocusedId(c.get()), 101);
  EXPECT_EQ(CurrentId(table), 101);

  const auto towns = FileTowns(fixture.Temp.Dir);
  EXPECT_EQ(towns.size(), 16u);
  EXPECT_EQ(towns.at(100), "Тула");
  EXPECT_EQ(towns.at(101), "Калуга");
}

TEST(cxDBDataEditing, DeletesRemoveFromTheFileAndFocusTheNextTown) {
  TFixtureTownTable fixture;
  TDsDbfTable* table = fixture.Town->Table;
  TDBControllerPtr c = MakeTownController(fixture.Town->Source);
  c->ChangeFocusedRowIndex(4);  // ID 5
  c->DeleteFocused();
  EXPECT_EQ(RecordIds(c.get()), (Ids{1, 2, 3, 4, 6, 7, 8, 9, 11, 12, 13, 14, 15}));
  EXPECT_EQ(FocusedId(c.get()), 6);
  EXPECT_EQ(CurrentId(table), 6);

  // The last town: the one before it.
  c->ChangeFocusedRowIndex(c->GetRowCount() - 1);
  c->DeleteFocused();
  EXPECT_EQ(FocusedId(c.get()), 14);
  EXPECT_EQ(CurrentId(table), 14);

  // A selection of three towns.
  c->SetMultiSelect(true);
  c->ChangeFocusedRowIndex(1);
  c->ClearSelection();
  c->SelectRows(1, 3);
  c->DeleteSelection();
  EXPECT_EQ(RecordIds(c.get()), (Ids{1, 6, 7, 8, 9, 11, 12, 13, 14}));
  EXPECT_EQ(FocusedId(c.get()), CurrentId(table));

  const auto towns = FileTowns(fixture.Temp.Dir);
  EXPECT_EQ(towns.size(), 9u);
  EXPECT_EQ(towns.count(5), 0u);
  EXPECT_EQ(towns.count(15), 0u);
  EXPECT_EQ(towns.count(2), 0u);
}

TEST(cxDBDataEditing, EditsStartedOnTheDatasetAreMirrored) {
  TFixtureTownTable fixture;
  TDsDbfTable* table = fixture.Town->Table;
  TDBControllerPtr c = MakeTownController(fixture.Town->Source);
  c->ChangeFocusedRowIndex(6);

  // Another control adds a record: the controller types into a new record at its focused row
  // (the dataset does not tell an append from an insert while it is typed; the reload after the
  // post puts the record where the file has it).
  table->Append();
  EXPECT_EQ(c->GetRecordCount(), 15);
  EXPECT_EQ(c->GetFocusedRowIndex(), 6);
  EXPECT_EQ(c->GetEditState() & TcxCustomDataController::dceInsert, TcxCustomDataController::dceInsert);
  table->FieldByName("CITY")->SetAsString("Ярославль"_a);
  EXPECT_EQ(orv::AnsiToUtf8(VarToStr(c->GetValue(6, kFieldCity))), "Ярославль");
  table->Cancel();
  EXPECT_EQ(c->GetRecordCount(), 14);
  EXPECT_FALSE(c->IsEditing());

  // An edit started on the dataset makes the focused record the editing one; a post without
  // force goes through the dataset's browse-mode check.
  c->ChangeFocusedRowIndex(0);
  table->Edit();
  EXPECT_EQ(c->GetEditingRecordIndex(), 0);
  EXPECT_TRUE(c->IsEditing());
  c->Post();
  EXPECT_EQ(table->GetState(), dsBrowse);
  EXPECT_FALSE(c->IsEditing());
}
