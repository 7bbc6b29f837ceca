// Editing, deleting, bookmark, incremental filter and text search on an unbound controller over
// the town fixture.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/data/tests/DataControllerFixture.h"

using namespace orv::test;

namespace {

std::string CityOf(TcxCustomDataController* c, Integer recordIndex) {
  return orv::AnsiToUtf8(VarToStr(c->GetValue(recordIndex, kCity)));
}

std::string FocusedCity(TcxCustomDataController* c) {
  return c->GetFocusedRecordIndex() < 0 ? std::string() : CityOf(c, c->GetFocusedRecordIndex());
}

// Every event of the editing cycle and every data-change notice, in the order they came.
struct TEventLog {
  std::vector<std::string> Events;
  void BeforeInsert(TcxCustomDataController*) { Events.push_back("BeforeInsert"); }
  void AfterInsert(TcxCustomDataController*) { Events.push_back("AfterInsert"); }
  void BeforePost(TcxCustomDataController*) { Events.push_back("BeforePost"); }
  void AfterPost(TcxCustomDataController*) { Events.push_back("AfterPost"); }
  void BeforeCancel(TcxCustomDataController*) { Events.push_back("BeforeCancel"); }
  void AfterCancel(TcxCustomDataController*) { Events.push_back("AfterCancel"); }
  void BeforeDelete(TcxCustomDataController*, Integer record) { Events.push_back("BeforeDelete " + std::to_string(record)); }
  void AfterDelete(TcxCustomDataController*) { Events.push_back("AfterDelete"); }
  void DataChanged(TObject*) { Events.push_back("DataChanged"); }
  void Attach(TcxCustomDataController* c) {
    c->SetOnBeforeInsert(TcxDataControllerNotifyEvent(this, &TEventLog::BeforeInsert));
    c->SetOnAfterInsert(TcxDataControllerNotifyEvent(this, &TEventLog::AfterInsert));
    c->SetOnBeforePost(TcxDataControllerNotifyEvent(this, &TEventLog::BeforePost));
    c->SetOnAfterPost(TcxDataControllerNotifyEvent(this, &TEventLog::AfterPost));
    c->SetOnBeforeCancel(TcxDataControllerNotifyEvent(this, &TEventLog::BeforeCancel));
    c->SetOnAfterCancel(TcxDataControllerNotifyEvent(this, &TEventLog::AfterCancel));
    c->SetOnBeforeDelete(TcxDataDetailExpandedEvent(this, &TEventLog::BeforeDelete));
    c->SetOnAfterDelete(TcxDataControllerNotifyEvent(this, &TEventLog::AfterDelete));
    c->SetOnDataChanged(TNotifyEvent(this, &TEventLog::DataChanged));
  }
};

}  // namespace

TEST(TcxDataEditing, EditPostAndCancelRestoreTheSavedValues) {
  TControllerPtr c = MakeTownController();
  c->ChangeFocusedRowIndex(-1);
  EXPECT_EQ(c->GetEditingRecordIndex(), cxNullEditingRecordIndex);
  EXPECT_EQ(c->GetEditState(), 0);

  c->ChangeFocusedRecordIndex(1);
  ASSERT_TRUE(c->SetEditValue(kCity, Variant("Орел"_a), evsValue));
  EXPECT_EQ(c->GetEditState(), TcxCustomDataController::dceEdit | TcxCustomDataController::dceChanging |
                                   TcxCustomDataController::dceModified);
  EXPECT_TRUE(c->IsEditing());
  EXPECT_EQ(orv::AnsiToUtf8(VarToStr(c->GetEditValue(kCity, evsValue))), "Орел");
  c->Post();
  EXPECT_EQ(c->GetEditState(), 0);
  EXPECT_EQ(CityOf(c.get(), 1), "Орел");

  // Cancel brings back the values the record had when the edit began, all of them.
  c->SetEditValue(kCity, Variant("Х"_a), evsValue);
  c->SetEditValue(kLat, Variant(1.5), evsValue);
  c->Cancel();
  EXPECT_FALSE(c->IsEditing());
  EXPECT_EQ(CityOf(c.get(), 1), "Орел");
  EXPECT_DOUBLE_EQ(c->GetValue(1, kLat).AsDouble(), 52.9651);
  EXPECT_EQ(c->GetFocusedRecordIndex(), 1);

  // An empty text is no value; moving the focus posts the edit.
  c->SetEditValue(kCountry, Variant(""_a), evsText);
  EXPECT_TRUE(c->GetValue(1, kCountry).IsNull());
  c->ChangeFocusedRecordIndex(2);
  EXPECT_FALSE(c->IsEditing());
  EXPECT_TRUE(c->GetValue(1, kCountry).IsNull());

  // Immediate post leaves no edit open.
  c->SetOptions(c->GetOptions() + TcxDataControllerOptions{dcoImmediatePost});
  c->SetEditValue(kCity, Variant("Омск-2"_a), evsValue);
  EXPECT_FALSE(c->IsEditing());
  EXPECT_EQ(CityOf(c.get(), 2), "Омск-2");
}

TEST(TcxDataEditing, InsertAndAppendPositionsAndTheirCancel) {
  TControllerPtr c = MakeTownController();
  const Integer count = c->GetRecordCount();
  c->ChangeFocusedRowIndex(3);
  c->Insert();
  EXPECT_EQ(c->GetRecordCount(), count + 1);
  EXPECT_EQ(c->GetEditState() & TcxCustomDataController::dceInsert, TcxCustomDataController::dceInsert);
  EXPECT_EQ(c->GetFocusedRecordIndex(), 3);
  EXPECT_EQ(c->GetProvider()->GetEditingRecordIndex2(), 4);  // the record that was at the position
  EXPECT_EQ(CityOf(c.get(), 4), "Киев");
  // An untouched insert is not posted.
  c->Post();
  EXPECT_EQ(c->GetRecordCount(), count);
  EXPECT_EQ(CityOf(c.get(), 3), "Киев");

  c->ChangeFocusedRowIndex(3);
  c->Insert();
  c->SetEditValue(kCity, Variant("Тверь"_a), evsValue);
  c->Post();
  EXPECT_EQ(c->GetRecordCount(), count + 1);
  EXPECT_EQ(CityOf(c.get(), 3), "Тверь");
  EXPECT_EQ(CityOf(c.get(), 4), "Киев");
  EXPECT_EQ(FocusedCity(c.get()), "Тверь");

  c->Append();
  EXPECT_EQ(c->GetFocusedRecordIndex(), count + 1);
  EXPECT_EQ(c->GetFocusedRowIndex(), c->GetRowCount() - 1);
  c->SetEditValue(kCity, Variant("Курск"_a), evsValue);
  c->Post();
  EXPECT_EQ(CityOf(c.get(), count + 1), "Курск");

  // A cancelled append at the end leaves the focus on the record before it.
  c->Append();
  c->SetEditValue(kCity, Variant("Лишний"_a), evsValue);
  c->Cancel();
  EXPECT_EQ(c->GetRecordCount(), count + 2);
  EXPECT_EQ(FocusedCity(c.get()), "Курск");
  EXPECT_FALSE(c->IsEditing());
}

TEST(TcxDataEditing, DeletesMoveTheFocusToTheNextRow) {
  TControllerPtr c = MakeTownController();
  c->SetOptions(c->GetOptions() + TcxDataControllerOptions{dcoAnsiSort});
  c->ChangeSorting(kCity, soAscending);
  // Абакан Алматы Гомель Екатеринбург Ессентуки Ёлкино Киев Комсомольск... Минск Москва Омск Орёл Ростов Ростов-на-Дону
  c->ChangeFocusedRowIndex(2);
  ASSERT_EQ(FocusedCity(c.get()), "Гомель");
  c->DeleteFocused();
  EXPECT_EQ(c->GetRecordCount(), 13);
  EXPECT_EQ(FocusedCity(c.get()), "Екатеринбург");
  EXPECT_EQ(c->GetFocusedRowIndex(), 2);

  // The last row: the row above it.
  c->ChangeFocusedRowIndex(c->GetRowCount() - 1);
  ASSERT_EQ(FocusedCity(c.get()), "Ростов-на-Дону");
  c->DeleteFocused();
  EXPECT_EQ(FocusedCity(c.get()), "Ростов");

  // Several selected rows; the focus goes to the row after the selection.
  c->SetMultiSelect(true);
  c->ChangeFocusedRowIndex(3);
  c->ClearSelection();
  c->SelectRows(2, 4);
  ASSERT_EQ(c->GetSelectedCount(), 3);
  c->DeleteSelection();
  EXPECT_EQ(c->GetRecordCount(), 9);
  EXPECT_EQ(RowCities(c.get()), (std::vector<std::string>{"Абакан", "Алматы", "Киев", "Комсомольск-на-Амуре", "Минск",
                                                         "Москва", "Омск", "Орёл", "Ростов"}));
  EXPECT_EQ(FocusedCity(c.get()), "Киев");
  EXPECT_EQ(c->GetSelectedCount(), 0);

  // The last record gone: nothing left to focus.
  c->SetMultiSelect(false);
  c->SetRecordCount(1);
  c->ChangeFocusedRowIndex(0);
  c->DeleteFocused();
  EXPECT_EQ(c->GetRowCount(), 0);
  EXPECT_EQ(c->GetFocusedRowIndex(), -1);
  EXPECT_EQ(c->GetEditingRecordIndex(), cxNullEditingRecordIndex);
}

TEST(TcxDataEditing, EachOperationReportsOnceInOrder) {
  TControllerPtr c = MakeTownController();
  TEventLog log;
  log.Attach(c.get());
  c->ChangeFocusedRowIndex(5);
  log.Events.clear();

  c->Insert();
  EXPECT_EQ(log.Events, (std::vector<std::string>{"BeforeInsert", "DataChanged", "AfterInsert"}));
  log.Events.clear();
  c->SetEditValue(kCity, Variant("Тула"_a), evsValue);
  EXPECT_EQ(log.Events, (std::vector<std::string>{"DataChanged"}));
  log.Events.clear();
  c->Post();
  EXPECT_EQ(log.Events, (std::vector<std::string>{"BeforePost", "AfterPost", "DataChanged"}));
  log.Events.clear();

  c->SetEditValue(kCity, Variant("Тула-2"_a), evsValue);
  log.Events.clear();
  c->Cancel();
  EXPECT_EQ(log.Events, (std::vector<std::string>{"BeforeCancel", "DataChanged", "AfterCancel"}));
  log.Events.clear();

  const Integer focused = c->GetFocusedRecordIndex();
  c->DeleteFocused();
  EXPECT_EQ(log.Events, (std::vector<std::string>{"BeforeDelete " + std::to_string(focused), "DataChanged", "AfterDelete"}));
}

TEST(TcxDataEditing, BookmarkFollowsItsRecord) {
  TControllerPtr c = MakeTownController();
  c->ChangeFocusedRecordIndex(6);
  c->SaveBookmark();
  EXPECT_TRUE(c->HasBookmark());
  EXPECT_TRUE(c->IsBookmarkRow(6));
  c->ChangeFocusedRecordIndex(2);
  c->DeleteFocused();
  EXPECT_EQ(c->GetBookmarkRecordIndex(), 5);
  c->RestoreBookmark();
  EXPECT_EQ(FocusedCity(c.get()), "Ростов-на-Дону");
  c->DeleteFocused();
  EXPECT_FALSE(c->HasBookmark());
  // A filter that drops the bookmarked record drops the bookmark.
  c->ChangeFocusedRecordIndex(0);
  c->SaveBookmark();
  struct Filter {
    void NotFirst(TcxCustomDataController*, Integer record, Boolean& accept) { accept = record != 0; }
  } filter;
  c->SetOnFilterRecord(TcxDataFilterRecordEvent(&filter, &Filter::NotFirst));
  EXPECT_FALSE(c->HasBookmark());
}

TEST(TcxDataEditing, IncrementalFilterUpperCasesWithTheLocale) {
  TControllerPtr c = MakeTownController();
  struct Case {
    const char* Text;
    std::vector<std::string> Cities;
  };
  const std::vector<Case> cases = {
      {"ро", {"Ростов-на-Дону", "Ростов"}},
      {"РОСТОВ-", {"Ростов-на-Дону"}},
      {"ё", {"Ёлкино"}},  // Ё is a letter of its own
      {"е", {"Екатеринбург", "Ессентуки"}},
      {"о", {"Орёл", "Омск"}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.Text);
    const Integer first = c->SetIncrementalFilter(kCity, orv::Utf8ToAnsi(test.Text));
    EXPECT_EQ(RowCities(c.get()), test.Cities);
    EXPECT_EQ(CityOf(c.get(), first), test.Cities.front());
  }
  EXPECT_TRUE(c->ChangeIncrementalFilterText("ом"_a));
  EXPECT_FALSE(c->ChangeIncrementalFilterText("ом"_a));
  EXPECT_EQ(RowCities(c.get()), (std::vector<std::string>{"Омск"}));
  EXPECT_EQ(c->SetIncrementalFilter(kCity, "Нет такого"_a), -1);
  EXPECT_EQ(c->GetRowCount(), 0);
  c->ResetIncrementalFilter();
  EXPECT_FALSE(c->HasIncrementalFilter());
  EXPECT_EQ(c->GetRowCount(), 14);
  EXPECT_THROW(c->SetIncrementalFilter(7, "а"_a), EcxInvalidDataControllerOperation);
}

TEST(TcxDataEditing, FindRecordByTextSearchesBothWaysAndWraps) {
  TControllerPtr c = MakeTownController();
  struct Case {
    Integer Start;
    const char* Text;
    Boolean Partial, Wrap, Forward;
    Integer Record;
  };
  const std::vector<Case> cases = {
      {0, "ом", true, false, true, 2},          // Омск
      {3, "ом", true, false, true, -1},         // nothing after it
      {3, "ом", true, true, true, 2},           // wraps to the start
      {0, "москва", false, false, true, 0},     // whole text, any case
      {0, "моск", false, true, true, -1},       // not partial: whole texts only
      {0, "к", true, true, false, 13},          // backward from 0 wraps to the last
      {12, "к", true, false, false, 3},         // backward: Киев before Комсомольск
      {5, "", true, true, true, -1},            // an empty text matches only empty texts
      {14, "ом", true, true, true, -1},         // start outside
      {-1, "ом", true, true, true, -1},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(std::string(test.Text) + " from " + std::to_string(test.Start));
    EXPECT_EQ(c->FindRecordByText(test.Start, kCity, orv::Utf8ToAnsi(test.Text), test.Partial, test.Wrap, test.Forward),
              test.Record);
  }
  EXPECT_THROW(c->FindRecordByText(0, 9, "а"_a, true, true, true), EcxInvalidDataControllerOperation);
}

TEST(TcxDataEditing, AllowedOperationsAndSelectionAnchor) {
  TControllerPtr c = MakeTownController();
  EXPECT_EQ(c->GetAllowedOperations(), TcxCustomDataController::dcoAppend | TcxCustomDataController::dcoDelete |
                                           TcxCustomDataController::dcoEdit | TcxCustomDataController::dcoInsert |
                                           TcxCustomDataController::dcoSync);
  c->SetMultiSelect(true);
  c->ClearSelection();
  c->SelectFromAnchor(3, false);  // no anchor: nothing
  EXPECT_EQ(c->GetSelectedCount(), 0);
  c->SetSelectionAnchor(2);
  c->SelectFromAnchor(4, false);
  EXPECT_EQ(c->GetSelectedCount(), 3);
  c->SetSelectionAnchor(8);
  c->SelectFromAnchor(9, true);
  EXPECT_EQ(c->GetSelectedCount(), 5);
  EXPECT_THROW(c->SetSelectionAnchor(14), EcxInvalidDataControllerOperation);
  EXPECT_TRUE(c->FocusSelectedRow(1));
  EXPECT_EQ(c->GetFocusedRowIndex(), 3);
}
