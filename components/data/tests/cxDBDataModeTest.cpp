// The data mode settings of the dataset-bound controller.
#include <gtest/gtest.h>

#include "components/data/tests/DBDataFixture.h"

namespace {

using namespace orv::test;

TEST(cxDBDataModeController, SettingsAndTheirDefaults) {
  TDBControllerPtr controller(new TTestDBDataController(nullptr));
  TcxDBDataModeController* mode = controller->GetDataModeController();
  EXPECT_TRUE(mode->GetSyncMode());
  EXPECT_FALSE(mode->GetGridMode());
  EXPECT_TRUE(mode->GetInsertTracking());
  EXPECT_TRUE(mode->GetDetailSyncMode());
  mode->SetGridModeBufferCount(-5);
  EXPECT_EQ(mode->GetGridModeBufferCount(), 0);
  EXPECT_EQ(controller->GetGridModeBufferCount(), 100);
  mode->SetGridModeBufferCount(30);
  EXPECT_EQ(controller->GetGridModeBufferCount(), 30);

  TDBControllerPtr other(new TTestDBDataController(nullptr));
  mode->SetSyncMode(false);
  mode->SetSmartRefresh(true);
  mode->SetDetailInSQLMode(true);
  struct Handler {
    Boolean IsCurrent(TcxDBDataModeController*, TDataSet*, const AnsiString& names, const Variant&) { return names == "ID"; }
  } handler;
  mode->SetOnDetailIsCurrentQuery(TcxDBDataModeControllerDetailIsCurrentQueryEvent(&handler, &Handler::IsCurrent));
  other->GetDataModeController()->Assign(mode);
  TcxDBDataModeController* copy = other->GetDataModeController();
  EXPECT_FALSE(copy->GetSyncMode());
  EXPECT_TRUE(copy->GetSmartRefresh());
  EXPECT_TRUE(copy->GetDetailInSQLMode());
  EXPECT_EQ(copy->GetGridModeBufferCount(), 30);
  EXPECT_TRUE(copy->DetailIsCurrentQuery("ID", Null()));
  EXPECT_FALSE(copy->DetailIsCurrentQuery("CITY", Null()));
  EXPECT_FALSE(controller->GetDataModeController()->GetGridMode());
}

// The IDs the controller's rows show.
std::vector<Integer> ModeRowIds(TcxCustomDataController* controller) {
  std::vector<Integer> ids;
  for (Integer row = 0; row < controller->GetRowCount(); ++row)
    ids.push_back(controller->GetValue(controller->GetRowInfo(row).RecordIndex, kFieldId).AsInteger());
  return ids;
}

TEST(cxDBDataModeController, GridModeLoadsTheLinksBufferOnly) {
  TFixtureTownTable fixture;
  TDsDbfTable* table = fixture.Town->Table;
  const std::vector<Integer> all = DataSetIds(table);
  ASSERT_GT(all.size(), 10u);
  const Integer count = Integer(all.size());
  TDBControllerPtr controller = MakeTownController(fixture.Town->Source);
  controller->GetDataModeController()->SetGridModeBufferCount(5);
  controller->GetDataModeController()->SetGridMode(true);
  ASSERT_TRUE(controller->IsGridMode());
  table->First();
  EXPECT_EQ(controller->GetRecordCount(), 5);
  EXPECT_EQ(ModeRowIds(controller.get()), std::vector<Integer>(all.begin(), all.begin() + 5));
  EXPECT_EQ(controller->GetFocusedRowIndex(), 0);

  // Navigation moves the dataset; the buffer follows it.
  controller->GotoLast();
  EXPECT_TRUE(table->GetEOF() || table->FieldByName("ID")->GetAsInteger() == all.back());
  EXPECT_EQ(ModeRowIds(controller.get()), std::vector<Integer>(all.end() - 5, all.end()));
  EXPECT_EQ(controller->GetValue(controller->GetFocusedRecordIndex(), kFieldId).AsInteger(), all.back());
  EXPECT_EQ(controller->GetDisplayText(controller->GetFocusedRecordIndex(), kFieldCity),
            table->FieldByName("CITY")->GetDisplayText());
  controller->GotoFirst();
  EXPECT_EQ(table->FieldByName("ID")->GetAsInteger(), all.front());
  controller->Scroll(1);  // past the five rows shown
  EXPECT_EQ(table->FieldByName("ID")->GetAsInteger(), all[5]);

  // A new filter refills the buffer.
  Search(table, {"(lat >= 55)"});
  const Integer found = Integer(DataSetIds(table).size());
  ASSERT_GT(found, 0);
  ASSERT_LT(found, 5);
  table->First();
  EXPECT_EQ(controller->GetRecordCount(), found);
  Search(table, {});
  EXPECT_EQ(controller->GetRecordCount(), 5);

  // The incremental search walks the dataset beyond the buffer, wrapping from the current record.
  table->First();
  table->MoveBy(count - 1);
  const AnsiString city = [&] {
    std::unique_ptr<TTownTable> direct = std::make_unique<TTownTable>(fixture.Temp.Dir, true);
    direct->Table->First();
    direct->Table->Next();
    return direct->Table->FieldByName("CITY")->GetAsString();
  }();
  TcxDataControllerSearch* search = controller->GetSearch();
  ASSERT_TRUE(search->Locate(kFieldCity, city.substr(0, 3)));
  EXPECT_EQ(table->FieldByName("CITY")->GetAsString(), city);
  EXPECT_EQ(controller->GetDisplayText(controller->GetFocusedRecordIndex(), kFieldCity), city);
  EXPECT_TRUE(search->GetSearching());
  EXPECT_FALSE(search->Locate(kFieldCity, "Щщщ"_a));
  EXPECT_EQ(table->FieldByName("CITY")->GetAsString(), city);  // the position is kept
  // The bookmark is the dataset's.
  EXPECT_FALSE(controller->SetBookmark());
  EXPECT_TRUE(controller->HasBookmark());
  EXPECT_TRUE(controller->IsBookmarkRow(controller->GetFocusedRowIndex()));
  table->Last();
  controller->GotoBookmark();
  EXPECT_EQ(table->FieldByName("CITY")->GetAsString(), city);
  controller->ClearBookmark();
  EXPECT_FALSE(controller->HasBookmark());
  Integer visited = 0;
  struct Counter {
    Integer* Count;
    void Row(Pointer, Integer, const TcxRowInfo&) { ++*Count; }
  } counter{&visited};
  controller->ForEachRow(false, TcxCustomDataController::TcxDataControllerEachRowProc(&counter, &Counter::Row), nullptr);
  EXPECT_EQ(visited, count);

  // Grouping needs every record; without it the buffer comes back.
  controller->GetGroups()->ChangeGroupIndex(kFieldCountry, 0);
  EXPECT_FALSE(controller->IsGridMode());
  EXPECT_EQ(controller->GetRecordCount(), count);
  controller->GetGroups()->ClearGrouping();
  EXPECT_TRUE(controller->IsGridMode());
  EXPECT_EQ(controller->GetRecordCount(), 5);

  controller->GetDataModeController()->SetGridMode(false);
  EXPECT_EQ(controller->GetRecordCount(), count);
}

TEST(cxDBDataModeController, GridModeSelectsByBookmarks) {
  TFixtureTownTable fixture;
  TDsDbfTable* table = fixture.Town->Table;
  const std::vector<Integer> all = DataSetIds(table);
  const Integer count = Integer(all.size());
  TDBControllerPtr controller = MakeTownController(fixture.Town->Source);
  EXPECT_THROW(controller->GetSelectedBookmark(0), EcxInvalidDataControllerOperation);
  controller->GetDataModeController()->SetGridModeBufferCount(5);
  controller->GetDataModeController()->SetGridMode(true);
  controller->SetMultiSelect(true);
  table->First();
  ASSERT_EQ(controller->GetRowCount(), 5);

  // A range from an anchor, in dataset order.
  controller->SetSelectionAnchor(3);
  EXPECT_TRUE(controller->IsSelectionAnchorSet());
  EXPECT_EQ(controller->GetSelectionAnchorRowIndex(), -1);
  controller->SelectFromAnchor(1, false);
  ASSERT_EQ(controller->GetSelectedCount(), 3);
  EXPECT_EQ(controller->GetSelectedRowIndex(0), 1);
  EXPECT_EQ(controller->GetSelectedRowIndex(2), 3);
  EXPECT_TRUE(controller->IsRowSelected(2));
  EXPECT_FALSE(controller->IsRowSelected(4));
  controller->SelectFromAnchor(4, true);  // kept and extended: rows 1 .. 4
  EXPECT_EQ(controller->GetSelectedCount(), 4);

  // Moving the buffer away leaves the selection in place, without rows.
  controller->GotoLast();
  EXPECT_EQ(controller->GetSelectedCount(), 4);
  EXPECT_EQ(controller->GetSelectedRowIndex(0), -1);
  EXPECT_FALSE(controller->IsRowSelected(4));
  Integer visited = 0;
  struct Counter {
    Integer* Count;
    void Row(Pointer, Integer, const TcxRowInfo&) { ++*Count; }
  } counter{&visited};
  controller->ForEachRow(true, TcxCustomDataController::TcxDataControllerEachRowProc(&counter, &Counter::Row), nullptr);
  EXPECT_EQ(visited, 4);
  EXPECT_TRUE(controller->FocusSelectedRow(0));
  EXPECT_EQ(table->FieldByName("ID")->GetAsInteger(), all[1]);

  // Select all walks the dataset; a cleared selection forgets every bookmark.
  controller->SelectAll();
  EXPECT_EQ(controller->GetSelectedCount(), count);
  controller->ClearSelection();
  EXPECT_EQ(controller->GetSelectedCount(), 0);
  controller->ChangeRowSelection(0, true);
  EXPECT_EQ(controller->GetSelectedCount(), 1);
  EXPECT_TRUE(controller->IsRowSelected(0));
}

}  // namespace
