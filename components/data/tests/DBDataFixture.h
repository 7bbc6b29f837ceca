// The dataset-bound controller over town tables: a controller whose items are bound by name,
// the program's table components over the fixture table or the bundled one, and the program's
// search frame.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "components/data/cxDBData.h"
#include "dbf/DsDatabase.h"
#include "dbf/DsDbfTable.h"
#include "dbf/tests/TownFixture.h"
#include "platform/runtime/AnsiString.h"

namespace orv::test {

class TDBTestItem : public TObject {
  ORV_CLASS(TDBTestItem, TObject)
 public:
  TDBTestItem() = default;
};

// Items are plain objects owned by the controller; every load and every listener hand-over is
// counted.
class TTestDBDataController : public TcxDBDataController {
  ORV_CLASS(TTestDBDataController, TcxDBDataController)
 public:
  explicit TTestDBDataController(TComponent* owner) : TcxDBDataController(owner) {}

  TObject* GetItem(Integer index) override { return FItems.at(std::size_t(index)); }

  // A new item bound to the field name; its index.
  Integer AddFieldItem(const AnsiString& fieldName) {
    auto* item = new TDBTestItem;
    FItems.push_back(item);
    AddItem(item);
    const Integer index = Integer(FItems.size()) - 1;
    ChangeItemFieldName(index, fieldName);
    return index;
  }
  // One item per field name, bound inside one lock.
  void AddFieldItems(const std::vector<AnsiString>& names) {
    BeginUpdate();
    for (const AnsiString& name : names) AddFieldItem(name);
    EndUpdate();
  }

  void LoadData() override {
    ++LoadCount;
    inherited::LoadData();
  }
  void NotifyDataLoaded() override {
    ListenersAtLoadEnd.push_back(GetDBProvider()->GetListenerCount());
    inherited::NotifyDataLoaded();
  }

  void BeforeDestruction() override {
    inherited::BeforeDestruction();
    for (TObject* item : FItems) item->Free();
    FItems.clear();
  }

  Integer LoadCount = 0;
  std::vector<Integer> ListenersAtLoadEnd;

 private:
  std::vector<TObject*> FItems;
};

using TDBControllerPtr = std::unique_ptr<TTestDBDataController, orv::FreeDeleter>;

inline const std::vector<AnsiString>& TownFieldNames() {
  static const std::vector<AnsiString> names = {"ID",     "COUNTRY", "CITY", "G_DOLG", "G_SHIR", "E_DOLG",
                                                "E_SHIR", "LON",     "LAT",  "ECLLON", "ECLLAT"};
  return names;
}
enum { kFieldId, kFieldCountry, kFieldCity, kFieldGDolg, kFieldGShir, kFieldEDolg, kFieldEShir, kFieldLon, kFieldLat, kFieldEclLon, kFieldEclLat };

// The program's table component over ORVANE.DBF in a folder, with a data source.
struct TTownTable {
  TTownTable(const std::string& folder, Boolean readOnly) : Owner(new TComponent(nullptr)) {
    Database = new TDsDatabase(Owner.get());
    Database->SetDatabaseName(folder);
    Table = new TDsDbfTable(Owner.get());
    Table->SetDatabase(Database);
    Table->SetCodePage(dBASE_RUS_cp866);
    Table->SetReadOnly(readOnly);
    Table->SetTableName("ORVANE.DBF");
    Table->Open();
    Source = new TDataSource(Owner.get());
    Source->SetDataSet(Table);
  }
  std::unique_ptr<TComponent, orv::FreeDeleter> Owner;
  TDsDatabase* Database;
  TDsDbfTable* Table;
  TDataSource* Source;
};

// The fixture's fifteen towns in a temporary folder.
struct TFixtureTownTable {
  dbftest::TTempDir Temp;
  std::unique_ptr<TTownTable> Town;
  TFixtureTownTable() {
    Temp.Write("ORVANE.DBF", dbftest::TownTableBytes());
    Town = std::make_unique<TTownTable>(Temp.Dir, false);
  }
};

// The bundled table of the program, read-only.
inline std::unique_ptr<TTownTable> OpenBundledTownTable() {
  return std::make_unique<TTownTable>(std::string(ORV_SOURCE_DIR) + "/DB", true);
}

// A controller with one item per town field over the source.
inline TDBControllerPtr MakeTownController(TDataSource* source) {
  TDBControllerPtr controller(new TTestDBDataController(nullptr));
  controller->AddFieldItems(TownFieldNames());
  controller->LoadCount = 0;
  controller->SetDataSource(source);
  return controller;
}

// The searches' common frame: batch, filter off and empty, the pieces appended one by one,
// filter on when there is a text.
inline void Search(TDsDbfTable* table, const std::vector<AnsiString>& pieces) {
  table->BeginBatch();
  table->SetFiltered(false);
  table->SetFilter("");
  for (const AnsiString& piece : pieces) table->SetFilter(table->GetFilter() + piece);
  if (!table->GetFilter().empty()) table->SetFiltered(true);
  table->EndBatch();
}

// The IDs of the controller's records, in record order.
inline std::vector<Integer> RecordIds(TcxCustomDataController* controller) {
  std::vector<Integer> ids;
  for (Integer r = 0; r < controller->GetRecordCount(); ++r) ids.push_back(controller->GetValue(r, kFieldId).AsInteger());
  return ids;
}

// The IDs the dataset walks through from its first record (the dataset ends at its end).
inline std::vector<Integer> DataSetIds(TDataSet* dataSet) {
  std::vector<Integer> ids;
  for (dataSet->First(); !dataSet->GetEOF(); dataSet->Next()) ids.push_back(dataSet->FieldByName("ID")->GetAsInteger());
  return ids;
}

}  // namespace orv::test
