// Criteria of the dataset-bound controller over the fixture town table: the loaded records
// filtered by conditions, the blank tests (SQL forms on query datasets), the dataset's own filter
// fed from the criteria, and the adapter registry.
#include <gtest/gtest.h>

#include <functional>

#include "components/data/tests/DBDataFixture.h"

using namespace orv::test;

namespace {

// A table whose class name marks it as a query.
class TTownQuery : public TDsDbfTable {
  ORV_CLASS(TTownQuery, TDsDbfTable)
 public:
  explicit TTownQuery(TComponent* owner) : TDsDbfTable(owner) {}
};

std::vector<Integer> FixtureIds(const std::function<bool(const dbftest::TTownRow&)>& predicate) {
  std::vector<Integer> ids;
  for (const dbftest::TTownRow& town : dbftest::FixtureTowns())
    if (!town.Deleted && predicate(town)) ids.push_back(town.Id);
  return ids;
}

std::vector<Integer> RowIds(TcxCustomDataController* controller) {
  std::vector<Integer> ids;
  for (Integer row = 0; row < controller->GetRowCount(); ++row)
    ids.push_back(controller->GetValue(controller->GetRowInfo(row).RecordIndex, kFieldId).AsInteger());
  return ids;
}

TcxDBDataFilterCriteria* DBFilter(TcxDBDataController* controller) {
  return dynamic_cast<TcxDBDataFilterCriteria*>(controller->GetFilter());
}

TEST(cxDBDataFilterCriteria, ConditionsFilterTheLoadedRecords) {
  TFixtureTownTable fixture;
  TDBControllerPtr controller = MakeTownController(fixture.Town->Source);
  TcxDBDataFilterCriteria* filter = DBFilter(controller.get());
  ASSERT_NE(filter, nullptr);
  EXPECT_TRUE(filter->GetIgnoreOrigin());
  filter->BeginUpdate();
  TcxFilterCriteriaItemList* where = filter->GetRoot()->AddGroup(fbcOr);
  filter->AddItem(where, controller->GetItem(kFieldCountry), focEqual, Variant("Россия"_a), "Россия"_a);
  filter->AddItem(where, controller->GetItem(kFieldLat), focLess, Variant(0.0), "0");
  filter->AddItem(nullptr, controller->GetItem(kFieldCity), focNotLike, Variant("Моск%"_a), "Моск%"_a);
  filter->SetActive(true);
  filter->EndUpdate();
  EXPECT_TRUE(filter->IsFiltering());
  const std::vector<Integer> expected = FixtureIds([](const dbftest::TTownRow& t) {
    return (t.Country == "Россия"_a || (!t.BlankLat && t.Lat < 0)) && t.City.rfind("Моск"_a, 0) != 0;
  });
  EXPECT_EQ(RowIds(controller.get()), expected);
  // The dataset itself is left unfiltered: every record is loaded.
  EXPECT_FALSE(fixture.Town->Table->GetFiltered());
  EXPECT_EQ(controller->GetRecordCount(), Integer(FixtureIds([](const dbftest::TTownRow&) { return true; }).size()));
  // Names in the filter text are the dataset's field names.
  EXPECT_NE(filter->GetFilterText().find("COUNTRY"), AnsiString::npos) << filter->GetFilterText();
}

TEST(cxDBDataFilterCriteria, BlankTestsOnTablesAndQueries) {
  TFixtureTownTable fixture;
  TDBControllerPtr controller = MakeTownController(fixture.Town->Source);
  TcxDBDataFilterCriteria* filter = DBFilter(controller.get());
  filter->SetActive(true);
  TcxFilterCriteriaItem* blank = filter->AddItem(nullptr, controller->GetItem(kFieldLat), focEqual, Null(), "");
  EXPECT_TRUE(blank->GetOperator()->InheritsFrom(TcxFilterNullOperator::StaticClass()));
  EXPECT_FALSE(blank->GetOperator()->InheritsFrom(TcxFilterSQLNullOperator::StaticClass()));
  EXPECT_EQ(RowIds(controller.get()), (std::vector<Integer>{12}));
  blank->SetOperatorCode(focNotEqual);
  EXPECT_EQ(RowIds(controller.get()), FixtureIds([](const dbftest::TTownRow& t) { return !t.BlankLat; }));
  filter->Clear();

  // The same over a query: the SQL forms, which test the same way.
  TTownQuery* query = new TTownQuery(fixture.Town->Owner.get());
  query->SetDatabase(fixture.Town->Database);
  query->SetCodePage(dBASE_RUS_cp866);
  query->SetTableName("ORVANE.DBF");
  query->Open();
  TDataSource* source = new TDataSource(fixture.Town->Owner.get());
  source->SetDataSet(query);
  TDBControllerPtr overQuery = MakeTownController(source);
  TcxDBDataFilterCriteria* queryFilter = DBFilter(overQuery.get());
  queryFilter->SetActive(true);
  TcxFilterCriteriaItem* isNull = queryFilter->AddItem(nullptr, overQuery->GetItem(kFieldLat), focEqual, Null(), "");
  TcxFilterCriteriaItem* isNotNull =
      queryFilter->AddItem(nullptr, overQuery->GetItem(kFieldCity), focNotEqual, Null(), "");
  EXPECT_TRUE(isNull->GetOperator()->InheritsFrom(TcxFilterSQLNullOperator::StaticClass()));
  EXPECT_TRUE(isNotNull->GetOperator()->InheritsFrom(TcxFilterSQLNotNullOperator::StaticClass()));
  EXPECT_EQ(isNull->GetOperator()->GetSymbol(), "IS");
  EXPECT_EQ(isNotNull->GetOperator()->GetSymbol(), "IS NOT");
  EXPECT_EQ(queryFilter->GetFilterText(), "(LAT IS NULL) AND (CITY IS NOT NULL)");
  EXPECT_EQ(RowIds(overQuery.get()), (std::vector<Integer>{12}));
  overQuery.reset();
}

TEST(cxDBDataFilterCriteria, AutoDataSetFilterHandsTheTextToTheDataset) {
  TFixtureTownTable fixture;
  TDsDbfTable* table = fixture.Town->Table;
  TDBControllerPtr controller = MakeTownController(fixture.Town->Source);
  TcxDBDataFilterCriteria* filter = DBFilter(controller.get());
  filter->BeginUpdate();
  filter->SetAutoDataSetFilter(true);
  filter->SetOptions(TcxFilterCriteriaOptions{fcoCaseInsensitive});
  filter->AddItem(nullptr, controller->GetItem(kFieldCountry), focEqual, Variant("Россия"_a), "Россия"_a);
  filter->AddItem(nullptr, controller->GetItem(kFieldLat), focGreater, Variant(55.0), "55");
  filter->SetActive(true);
  filter->EndUpdate();
  EXPECT_FALSE(filter->IsFiltering());
  EXPECT_EQ(table->GetFilter(), filter->GetFilterText());
  EXPECT_TRUE(table->GetFiltered());
  EXPECT_TRUE(table->GetFilterOptions().Contains(foCaseInsensitive));
  const std::vector<Integer> expected = FixtureIds(
      [](const dbftest::TTownRow& t) { return t.Country == "Россия"_a && !t.BlankLat && t.Lat > 55.0; });
  EXPECT_EQ(RecordIds(controller.get()), expected);
  EXPECT_EQ(RowIds(controller.get()), expected);
  EXPECT_EQ(controller->GetFocusedRowIndex(), 0);

  // Inactive: the dataset filter goes off and every record comes back.
  filter->SetActive(false);
  EXPECT_FALSE(table->GetFiltered());
  EXPECT_EQ(RecordIds(controller.get()), FixtureIds([](const dbftest::TTownRow&) { return true; }));
}

TEST(cxDBDataFilterCriteria, BeforeChangeHandlerTakesOverFiltering) {
  TFixtureTownTable fixture;
  TDBControllerPtr controller = MakeTownController(fixture.Town->Source);
  TcxDBDataFilterCriteria* filter = DBFilter(controller.get());
  struct THandler : TObject {
    void Handle(TcxDBDataFilterCriteria*, TDataSet* dataSet, const AnsiString& text) {
      DataSet = dataSet;
      Text = text;
      ++Calls;
    }
    TDataSet* DataSet = nullptr;
    AnsiString Text;
    Integer Calls = 0;
  } handler;
  filter->SetOnBeforeChange(TcxDBDataFilterBeforeChangeEvent(&handler, &THandler::Handle));
  filter->BeginUpdate();
  filter->AddItem(nullptr, controller->GetItem(kFieldId), focLessEqual, Variant(3), "3");
  filter->SetActive(true);
  filter->EndUpdate();
  EXPECT_EQ(handler.Calls, 1);
  EXPECT_EQ(handler.DataSet, fixture.Town->Table);
  EXPECT_EQ(handler.Text, "(ID <= 3)");
  EXPECT_FALSE(filter->IsFiltering());
  EXPECT_EQ(controller->GetRowCount(), controller->GetRecordCount());
}

// Items answer their position as ID, so that criteria can be copied between controllers.
class TIdDBController : public TTestDBDataController {
  ORV_CLASS(TIdDBController, TTestDBDataController)
 public:
  explicit TIdDBController(TComponent* owner) : TTestDBDataController(owner) {}
  Integer GetItemID(TObject* item) override {
    for (Integer i = 0; i < GetItemCount(); ++i)
      if (GetItem(i) == item) return i;
    return -1;
  }
};

TDBControllerPtr MakeIdController(TDataSource* source) {
  TDBControllerPtr controller(new TIdDBController(nullptr));
  controller->AddFieldItems(TownFieldNames());
  controller->SetDataSource(source);
  return controller;
}

TEST(cxDBDataFilterCriteria, AssignCopiesTheDatasetSettings) {
  TFixtureTownTable fixture;
  TDBControllerPtr source = MakeIdController(fixture.Town->Source);
  TDBControllerPtr target = MakeIdController(fixture.Town->Source);
  DBFilter(source.get())->SetIgnoreOrigin(false);
  DBFilter(source.get())->AddItem(nullptr, source->GetItem(kFieldCity), focEqual, Variant("Омск"_a), "Омск"_a);
  DBFilter(source.get())->SetActive(true);
  DBFilter(target.get())->AssignCriteria(DBFilter(source.get()));
  EXPECT_FALSE(DBFilter(target.get())->GetIgnoreOrigin());
  EXPECT_EQ(RowIds(target.get()), (std::vector<Integer>{15}));
  DBFilter(target.get())->RestoreDefaults();
  EXPECT_TRUE(DBFilter(target.get())->GetIgnoreOrigin());
  EXPECT_FALSE(DBFilter(target.get())->GetAutoDataSetFilter());
}

class TDerivedAdapter : public TcxDBFilterOperatorAdapter {
  ORV_CLASS(TDerivedAdapter, TcxDBFilterOperatorAdapter)
 public:
  explicit TDerivedAdapter(TClass dataSetClass) : TcxDBFilterOperatorAdapter(dataSetClass) {}
};

TEST(cxDBDataFilterCriteria, AdapterRegistryFindsTheMostDerivedClass) {
  std::unique_ptr<TcxDBAdapterList, orv::FreeDeleter> list(new TcxDBAdapterList);
  list->RegisterAdapter(TTownQuery::StaticClass(), TDerivedAdapter::StaticClass());
  list->RegisterAdapter(TDataSet::StaticClass(), TcxDBFilterOperatorAdapter::StaticClass());
  list->RegisterAdapter(TDsDbfTable::StaticClass(), TcxDBFilterOperatorAdapter::StaticClass());
  ASSERT_EQ(list->GetCount(), 3);
  // Ancestors first.
  EXPECT_EQ(list->GetItem(0)->GetDataSetClass(), TDataSet::StaticClass());
  EXPECT_EQ(list->GetItem(1)->GetDataSetClass(), TDsDbfTable::StaticClass());
  EXPECT_EQ(list->GetItem(2)->GetDataSetClass(), TTownQuery::StaticClass());
  EXPECT_EQ(list->FindAdapterFor(TTownQuery::StaticClass())->ClassType(), TDerivedAdapter::StaticClass());
  EXPECT_EQ(list->FindAdapterFor(TDsDbfTable::StaticClass())->GetDataSetClass(), TDsDbfTable::StaticClass());
  EXPECT_EQ(list->FindAdapterFor(TObject::StaticClass()), nullptr);
  list->UnregisterAdapter(TTownQuery::StaticClass(), TcxDBFilterOperatorAdapter::StaticClass());
  EXPECT_EQ(list->GetCount(), 3);
  list->UnregisterAdapter(TTownQuery::StaticClass(), TDerivedAdapter::StaticClass());
  EXPECT_EQ(list->FindAdapterFor(TTownQuery::StaticClass())->GetDataSetClass(), TDsDbfTable::StaticClass());
  // The shared registry serves every dataset.
  EXPECT_NE(cxDBFilterOperatorAdapters()->FindAdapterFor(TTownQuery::StaticClass()), nullptr);
}

}  // namespace
