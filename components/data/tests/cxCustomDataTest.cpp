// Structure, records, update notices, the provider and the small record classes of the data
// controller.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "components/data/tests/DataControllerFixture.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"

namespace {

using namespace orv::test;
using Log = std::vector<std::string>;

// ---- Structure and records ----

TEST(TcxDataController, NewControllerState) {
  TControllerPtr c(new TTestDataController(nullptr));
  EXPECT_EQ(c->GetOptions(), (TcxDataControllerOptions{dcoAssignGroupingValues, dcoAssignMasterDetailKeys, dcoSaveExpanding}));
  EXPECT_EQ(c->GetOptions().Bits(), 28u);
  EXPECT_TRUE(c->GetActive());
  EXPECT_TRUE(c->IsUnboundMode());
  EXPECT_FALSE(c->IsProviderMode());
  EXPECT_EQ(c->GetRecordCount(), 0);
  EXPECT_EQ(c->GetFocusedRowIndex(), -1);
  EXPECT_EQ(c->GetEditingRecordIndex(), cxNullEditingRecordIndex);
  c->AddTestItem(TcxIntegerValueType::StaticClass());
  c->AddTestItem(TcxStringValueType::StaticClass());
  c->SetRecordCount(3);
  EXPECT_EQ(c->GetRecordCount(), 3);
  EXPECT_TRUE(c->GetValue(2, 1).IsNull());
}

TEST(TcxDataController, ItemAndRecordRangeErrors) {
  TControllerPtr c(new TTestDataController(nullptr));
  c->AddTestItem(TcxIntegerValueType::StaticClass());
  EXPECT_THROW(c->AddItem(c->GetItem(0)), EcxInvalidDataControllerOperation);
  try {
    c->GetValue(0, 1);
    FAIL();
  } catch (const EcxInvalidDataControllerOperation& e) {
    EXPECT_EQ(e.GetMessage(), "ItemIndex out of range");
  }
  EXPECT_THROW(c->GetValue(0, -1), EcxInvalidDataControllerOperation);
  // The new-item record exists before any record does.
  const Integer newItem = c->GetNewItemRecordIndex();
  EXPECT_LT(newItem, 0);
  c->SetValue(newItem, 0, Variant(7));
  EXPECT_EQ(c->GetValue(newItem, 0).AsInteger(), 7);
  try {
    c->GetValue(c->GetRecordCount(), 0);
    FAIL();
  } catch (const EcxInvalidDataControllerOperation& e) {
    EXPECT_EQ(e.GetMessage(), "RecordIndex out of range");
  }
  EXPECT_THROW(c->InsertRecord(1), EcxInvalidDataControllerOperation);
  EXPECT_THROW(c->GetRecordID(0), EcxInvalidDataControllerOperation);
}

TEST(TcxDataController, AppendInsertDeleteAndKeys) {
  TControllerPtr c(new TTestDataController(nullptr));
  c->AddTestItem(TcxIntegerValueType::StaticClass());
  c->AddTestItem(TcxStringValueType::StaticClass());
  for (Integer i = 0; i < 3; ++i) c->SetValue(c->AppendRecord(), 0, Variant(i * 10));
  c->InsertRecord(1);
  c->SetValue(1, 0, Variant(5));
  EXPECT_EQ(RowRecords(c.get()), (std::vector<Integer>{0, 1, 2, 3}));
  EXPECT_EQ(c->GetValue(2, 0).AsInteger(), 10);
  c->DeleteRecord(0);
  EXPECT_EQ(c->GetRecordCount(), 3);
  EXPECT_EQ(c->GetValue(0, 0).AsInteger(), 5);
  c->SetValue(0, 1, Variant("пять"_a));
  std::vector<TcxCustomDataField*> keys = {c->GetItemField(0), c->GetItemField(1)};
  const Variant pair = c->GetRecordKeyValues(0, keys);
  ASSERT_TRUE(pair.IsArray());
  EXPECT_EQ(pair.HighBound(), 1);
  EXPECT_EQ(pair.GetElement(0).AsInteger(), 5);
  EXPECT_EQ(pair.GetElement(1).AsString(), "пять"_a);
  EXPECT_EQ(c->GetRecordKeyValues(0, {keys[0]}).AsInteger(), 5);
  EXPECT_TRUE(c->GetRecordKeyValues(0, {}).IsNull());
  EXPECT_TRUE(c->GetRecordID(0).IsNull());
  c->SetRecordCount(-5);
  EXPECT_EQ(c->GetRecordCount(), 0);
}

TEST(TcxDataController, RemovingASortedItemLeavesNoReference) {
  TControllerPtr c = MakeTownController();
  c->ChangeSorting(kCity, soAscending);
  c->ChangeSorting(kLat, soDescending);
  c->SetSortingBySummaryItemIndex(kCity);
  c->RemoveTestItem(kCity);
  EXPECT_EQ(c->GetItemCount(), 2);
  EXPECT_EQ(c->GetSortingItemCount(), 1);
  EXPECT_EQ(c->GetSortingItemIndex(0), 1);  // the latitude, now item 1
  EXPECT_EQ(c->GetSortingBySummaryItemIndex(), -1);
  EXPECT_EQ(RowRecords(c.get()).front(), 7);  // Ростов, the northernmost
  EXPECT_DOUBLE_EQ(c->GetValue(7, 1).AsDouble(), 57.1855);
}

TEST(TcxDataController, DataStreamRoundTripAndFormatErrors) {
  TControllerPtr c = MakeTownController();
  TMemoryStream stream;
  c->SaveDataToStream(&stream);
  TControllerPtr d(new TTestDataController(nullptr));
  d->AddTestItem(TcxStringValueType::StaticClass());
  d->AddTestItem(TcxStringValueType::StaticClass());
  d->AddTestItem(TcxFloatValueType::StaticClass());
  stream.SetPosition(0);
  d->LoadDataFromStream(&stream);
  ASSERT_EQ(d->GetRecordCount(), c->GetRecordCount());
  for (Integer r = 0; r < c->GetRecordCount(); ++r)
    for (Integer i = 0; i < 3; ++i) EXPECT_TRUE(SameVariants(d->GetValue(r, i), c->GetValue(r, i)));

  // A stream whose second value type differs is refused and the data stays.
  TControllerPtr e(new TTestDataController(nullptr));
  e->AddTestItem(TcxStringValueType::StaticClass());
  e->AddTestItem(TcxIntegerValueType::StaticClass());
  e->AddTestItem(TcxFloatValueType::StaticClass());
  e->SetRecordCount(2);
  stream.SetPosition(0);
  try {
    e->LoadDataFromStream(&stream);
    FAIL();
  } catch (const EcxInvalidDataControllerOperation& error) {
    EXPECT_EQ(error.GetMessage(), "Invalid stream format");
  }
  EXPECT_EQ(e->GetRecordCount(), 2);
  // A header cut short is no stream of ours; records cut short raise the read error.
  TMemoryStream cut;
  cut.WriteBuffer(stream.GetMemory(), 40);
  cut.SetPosition(0);
  EXPECT_THROW(d->LoadDataFromStream(&cut), EcxInvalidDataControllerOperation);
  TMemoryStream cutRecords;
  cutRecords.WriteBuffer(stream.GetMemory(), Integer(stream.GetSize()) - 5);
  cutRecords.SetPosition(0);
  EXPECT_THROW(d->LoadDataFromStream(&cutRecords), EStreamError);
  TMemoryStream foreign;
  foreign.WriteBuffer("\x05\x00\x00\x00Hello", 9);
  foreign.SetPosition(0);
  EXPECT_THROW(d->LoadDataFromStream(&foreign), EcxInvalidDataControllerOperation);
}

TEST(TcxDataController, FieldsShareStorageAndStayOrdered) {
  TControllerPtr c(new TTestDataController(nullptr));
  c->AddTestItem(TcxIntegerValueType::StaticClass());
  TcxCustomDataFieldList* fields = c->GetFields();
  TcxCustomDataField* owner = c->GetItemField(0);
  // Internal fields go after the item fields; a later item field goes before them.
  TcxCustomDataField* first = c->AddInternalField(owner, nullptr);
  TcxCustomDataField* second = c->AddInternalField(first, nullptr);
  c->AddTestItem(TcxStringValueType::StaticClass());
  EXPECT_EQ(fields->GetItemCount(), 2);
  EXPECT_EQ(fields->GetField(1), c->GetItemField(1));
  EXPECT_TRUE(fields->GetField(2)->GetIsInternal());
  // Both internal fields share the item's storage (the chain is followed to its end).
  EXPECT_EQ(first->GetReferenceField(), owner);
  EXPECT_EQ(second->GetReferenceField(), owner);
  EXPECT_EQ(second->GetValueDef(), owner->GetValueDef());
  owner->ShareStorageWith(second);  // would loop back: ignored
  EXPECT_EQ(owner->GetReferenceField(), nullptr);
  c->SetRecordCount(1);
  c->SetValue(0, 0, Variant(42));
  // Removing the item hands its storage to the first field that shared it.
  c->RemoveTestItem(0);
  EXPECT_EQ(first->GetReferenceField(), nullptr);
  EXPECT_EQ(second->GetReferenceField(), first);
  EXPECT_EQ(c->GetFieldValue(0, second).AsInteger(), 42);
  EXPECT_EQ(c->GetItemCount(), 1);
}

// ---- Update notices ----

// Records every notice, event and listener call of a controller as a line.
struct TNoticeLog {
  Log Lines;
  void UpdateControl(TcxUpdateControlInfo* info) {
    if (auto* d = dynamic_cast<TcxDataChangedInfo*>(info))
      Lines.push_back("data " + std::to_string(d->GetKind()) + " " + std::to_string(d->GetItemIndex()) + " " +
                      std::to_string(d->GetRecordIndex()));
    else if (dynamic_cast<TcxLayoutChangedInfo*>(info))
      Lines.push_back("layout");
    else if (auto* r = dynamic_cast<TcxFocusedRowChangedInfo*>(info))
      Lines.push_back("row " + std::to_string(r->GetPrevFocusedRowIndex()) + " " + std::to_string(r->GetFocusedRowIndex()));
    else if (auto* f = dynamic_cast<TcxFocusedRecordChangedInfo*>(info))
      Lines.push_back("record " + std::to_string(f->GetPrevFocusedRecordIndex()) + " " +
                      std::to_string(f->GetFocusedRecordIndex()));
    else if (auto* s = dynamic_cast<TcxSelectionChangedInfo*>(info)) {
      std::string line = "selection";
      for (Integer i = 0; i < s->GetCount(); ++i) line += " " + std::to_string(s->GetRowIndex(i));
      Lines.push_back(line);
    } else if (dynamic_cast<TcxGroupingChangingInfo*>(info))
      Lines.push_back("grouping changing");
    else
      Lines.push_back(info->ClassName());
  }
  void RecordChanged(TcxCustomDataController*, Integer record, Integer item) {
    Lines.push_back("OnRecordChanged " + std::to_string(record) + " " + std::to_string(item));
  }
  void DataChanged(TObject*) { Lines.push_back("OnDataChanged"); }
  void SortingChanged(TObject*) { Lines.push_back("OnSortingChanged"); }
  void ListenerA(TObject*) { Lines.push_back("listener A"); }
  void ListenerB(TObject*) { Lines.push_back("listener B"); }

  void Attach(TcxCustomDataController* c) {
    c->SetOnUpdateControl(TcxUpdateControlEvent(this, &TNoticeLog::UpdateControl));
    c->SetOnRecordChanged(TcxDataRecordChangedEvent(this, &TNoticeLog::RecordChanged));
    c->SetOnDataChanged(TNotifyEvent(this, &TNoticeLog::DataChanged));
    c->SetOnSortingChanged(TNotifyEvent(this, &TNoticeLog::SortingChanged));
    c->AddDataChangedListener(c, TNotifyEvent(this, &TNoticeLog::ListenerA));
    c->AddDataChangedNotify(c, TNotifyEvent(this, &TNoticeLog::ListenerB));
  }
};

TEST(TcxDataControllerNotices, LockAndNoticeSequences) {
  struct Case {
    const char* Name;
    std::function<void(TTestDataController*)> Action;
    Log Expected;
  };
  const Log data = {"OnDataChanged", "listener A", "listener B"};
  auto with = [](Log head, const Log& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
  };
  const std::vector<Case> cases = {
      {"unlocked value", [](TTestDataController* c) { c->SetValue(3, 1, Variant("X"_a)); },
       with({"data 0 1 3", "OnRecordChanged 3 1"}, data)},
      {"two items of one record in one lock",
       [](TTestDataController* c) {
         c->BeginUpdate();
         c->SetValue(3, 0, Variant("X"_a));
         c->SetValue(3, 1, Variant("Y"_a));
         c->EndUpdate();
       },
       with({"data 1 -1 3", "OnRecordChanged 3 -1"}, data)},
      {"one item twice in one lock",
       [](TTestDataController* c) {
         c->LockUpdate();
         c->SetValue(3, 1, Variant("X"_a));
         c->SetValue(3, 1, Variant("Y"_a));
         c->UnlockUpdate();
       },
       with({"data 0 1 3", "OnRecordChanged 3 1"}, data)},
      {"two records in one lock",
       [](TTestDataController* c) {
         c->BeginUpdate();
         c->SetValue(2, 1, Variant("X"_a));
         c->SetValue(5, 1, Variant("Y"_a));
         c->EndUpdate();
       },
       with({"data 4 -1 -1"}, data)},
      {"two records, then the last again: stays whole",
       [](TTestDataController* c) {
         c->BeginUpdate();
         c->SetValue(2, 1, Variant("X"_a));
         c->SetValue(5, 1, Variant("Y"_a));
         c->SetValue(5, 1, Variant("Z"_a));
         c->EndUpdate();
       },
       with({"data 4 -1 -1"}, data)},
      {"nested locks deliver at the outermost unlock",
       [](TTestDataController* c) {
         c->BeginUpdate();
         c->BeginUpdate();
         c->SetValue(3, 1, Variant("X"_a));
         c->EndUpdate();
         c->SetValue(3, 1, Variant("Y"_a));  // still nothing delivered
         c->EndUpdate();
       },
       with({"data 0 1 3", "OnRecordChanged 3 1"}, data)},
      {"records added", [](TTestDataController* c) { c->SetRecordCount(20); }, with({"data 2 -1 -1"}, data)},
      {"records deleted", [](TTestDataController* c) { c->SetRecordCount(2); }, with({"data 3 -1 -1"}, data)},
      {"records added and a value set in one lock",
       [](TTestDataController* c) {
         c->BeginUpdate();
         c->SetRecordCount(15);
         c->SetValue(14, 1, Variant("X"_a));
         c->EndUpdate();
       },
       with({"data 4 -1 -1"}, data)},
      {"the same record count", [](TTestDataController* c) { c->SetRecordCount(14); }, {}},
      {"focus only", [](TTestDataController* c) { c->ChangeFocusedRowIndex(2); }, {"row -1 2", "record -1 2"}},
      {"focus moved twice in one lock",
       [](TTestDataController* c) {
         c->BeginUpdate();
         c->ChangeFocusedRowIndex(2);
         c->ChangeFocusedRowIndex(4);
         c->EndUpdate();
       },
       {"row -1 4", "record -1 4"}},
      {"sorting", [](TTestDataController* c) { c->ChangeSorting(kLat, soAscending); }, {"layout", "OnSortingChanged"}},
      {"sorting that moves the focused record",
       [](TTestDataController* c) {
         c->ChangeFocusedRowIndex(0);
         c->ChangeSorting(kLat, soAscending);
       },
       {"row -1 0", "record -1 0", "layout", "row 0 10", "record 0 0", "OnSortingChanged"}},
      {"selection of one row, then another",
       [](TTestDataController* c) {
         c->SetMultiSelect(true);
         c->ChangeRowSelection(3, true);
         c->ChangeRowSelection(3, false);
         c->ChangeRowSelection(6, true);
       },
       {"selection 3", "selection 3", "selection 6"}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.Name);
    TControllerPtr c = MakeTownController();
    TNoticeLog log;
    log.Attach(c.get());
    test.Action(c.get());
    EXPECT_EQ(log.Lines, test.Expected);
  }
}

TEST(TcxDataControllerNotices, ListenersAndHeldEvents) {
  TControllerPtr c = MakeTownController();
  TNoticeLog log;
  log.Attach(c.get());
  c->RemoveDataChangedListener(c.get(), TNotifyEvent(&log, &TNoticeLog::ListenerA));
  c->RemoveDataChangedNotify(c.get(), TNotifyEvent(&log, &TNoticeLog::ListenerA));  // gone already
  c->SetValue(0, 0, Variant("X"_a));
  EXPECT_EQ(log.Lines, (Log{"data 0 0 0", "OnRecordChanged 0 0", "OnDataChanged", "listener B"}));

  // While the owner loads, the data-changed event waits for Loaded, and comes once.
  std::unique_ptr<TComponent, orv::FreeDeleter> owner(new TComponent(nullptr));
  TControllerPtr loading(new TTestDataController(owner.get()));
  loading->AddTestItem(TcxIntegerValueType::StaticClass());
  TNoticeLog held;
  loading->SetOnDataChanged(TNotifyEvent(&held, &TNoticeLog::DataChanged));
  IncludeComponentState(owner.get(), TComponentState{csLoading});
  loading->SetRecordCount(2);
  loading->SetValue(0, 0, Variant(1));
  EXPECT_TRUE(held.Lines.empty());
  ExcludeComponentState(owner.get(), TComponentState{csLoading});
  loading->Loaded();
  EXPECT_EQ(held.Lines, (Log{"OnDataChanged"}));
}

TEST(TcxDataControllerNotices, FailingOwnerCallbackStillFreesTheNotice) {
  TControllerPtr c = MakeTownController();
  struct Thrower {
    Boolean InNotify = false;
    TcxCustomDataController* Controller = nullptr;
    void UpdateControl(TcxUpdateControlInfo*) {
      InNotify = Controller->IsInNotify();
      throw EAbort("stop");
    }
  } thrower;
  thrower.Controller = c.get();
  c->SetOnUpdateControl(TcxUpdateControlEvent(&thrower, &Thrower::UpdateControl));
  EXPECT_THROW(c->SetValue(0, 0, Variant("X"_a)), EAbort);
  EXPECT_TRUE(thrower.InNotify);
  EXPECT_FALSE(c->IsInNotify());
  // The next change is delivered afresh, not merged with the failed one.
  TNoticeLog log;
  c->SetOnUpdateControl(TcxUpdateControlEvent(&log, &TNoticeLog::UpdateControl));
  c->SetValue(1, 1, Variant("Y"_a));
  EXPECT_EQ(log.Lines, (Log{"data 0 1 1"}));
}

TEST(TcxDataControllerNotices, GuardsReadEmptyOnceTheControllerIsGone) {
  auto* c = new TTestDataController(nullptr);
  TcxDataListenerLink* kept = c->AddListenerLink();
  TcxDataListenerLink* released = c->AddListenerLink();
  EXPECT_EQ(kept->GetDataController(), c);
  c->RemoveListenerLink(released);
  EXPECT_EQ(released, nullptr);
  c->Free();
  EXPECT_EQ(kept->GetDataController(), nullptr);
  kept->Free();
}

// ---- Provider ----

TEST(TcxCustomDataProvider, WithoutDataSourceAndWhileFrozen) {
  TControllerPtr c = MakeTownController();
  TcxCustomDataProvider* p = c->GetProvider();
  TcxCustomDataField* city = c->GetItemField(kCity);
  EXPECT_TRUE(p->GetValue(0, city).IsNull());
  EXPECT_EQ(p->GetDisplayText(0, city), "");
  EXPECT_EQ(p->AppendRecord(), -1);
  EXPECT_EQ(p->InsertRecord(0), -1);
  EXPECT_FALSE(p->IsActive());
  EXPECT_FALSE(p->IsEditing());
  EXPECT_TRUE(p->CanDelete());
  // A change while frozen does not reach the controller, but still ends the edit.
  TNoticeLog log;
  log.Attach(c.get());
  p->SetEditingRecordIndex(2);
  p->Freeze();
  p->DataChanged(dcTotal, -1, -1);
  p->Unfreeze();
  EXPECT_TRUE(log.Lines.empty());
  EXPECT_FALSE(p->IsEditing());
  p->SetEditingRecordIndex(2);
  p->DataChanged(dcRecord, -1, 2);
  EXPECT_EQ(log.Lines.front(), "data 1 -1 2");
  EXPECT_FALSE(p->IsEditing());
}

// A custom data source over a vector of texts.
class TTextSource : public TcxCustomDataSource {
  ORV_CLASS(TTextSource, TcxCustomDataSource)
 public:
  TTextSource() = default;
  std::vector<AnsiString> Texts;

  void LoadRecordHandles() override {
    for (std::size_t i = 0; i < Texts.size(); ++i) AppendRecordHandle(reinterpret_cast<Pointer>(NativeInt(i + 1)));
  }
  Variant GetValue(Pointer recordHandle, Pointer itemHandle) override {
    return Variant(Texts.at(std::size_t(reinterpret_cast<NativeInt>(recordHandle) - 1)));
  }
  void SetValue(Pointer recordHandle, Pointer itemHandle, const Variant& value) override {
    Texts.at(std::size_t(reinterpret_cast<NativeInt>(recordHandle) - 1)) = value.AsString();
  }
  Pointer AppendRecord() override {
    Texts.push_back("");
    return reinterpret_cast<Pointer>(NativeInt(Texts.size()));
  }
};

TEST(TcxCustomDataProvider, CustomDataSourceSuppliesTheRecords) {
  TControllerPtr c(new TTestDataController(nullptr));
  c->AddTestItem(TcxStringValueType::StaticClass());
  c->SetRecordCount(5);  // unbound records, dropped when the source comes
  std::unique_ptr<TTextSource, orv::FreeDeleter> source(new TTextSource);
  source->Texts = {"Омск"_a, "Абакан"_a, "Москва"_a};
  c->SetCustomDataSource(source.get());
  EXPECT_TRUE(c->IsProviderMode());
  EXPECT_FALSE(c->IsUnboundMode());
  EXPECT_EQ(c->GetRecordCount(), 3);
  EXPECT_EQ(c->GetValue(2, 0).AsString(), "Москва"_a);
  c->SetValue(2, 0, Variant("Ярославль"_a));
  EXPECT_EQ(source->Texts[2], "Ярославль"_a);
  c->SetOptions(c->GetOptions() + TcxDataControllerOptions{dcoAnsiSort});
  c->ChangeSorting(0, soAscending);
  EXPECT_EQ(RowRecords(c.get()), (std::vector<Integer>{1, 0, 2}));
  const Integer added = c->AppendRecord();
  EXPECT_EQ(added, 3);
  TMemoryStream stream;
  EXPECT_THROW(c->LoadDataFromStream(&stream), EcxInvalidDataControllerOperation);
  // Freeing the source detaches it: the controller is unbound and empty again.
  source.reset();
  EXPECT_TRUE(c->IsUnboundMode());
  EXPECT_EQ(c->GetRecordCount(), 0);
  EXPECT_EQ(c->GetRecordHandlesField(), nullptr);
}

// ---- Small record classes ----

TEST(TcxDataControllerRecords, SelectionFocusingAndExpandingInfos) {
  TcxSelectionChangedInfo same(5, 5);
  EXPECT_EQ(same.GetCount(), 1);
  TcxSelectionChangedInfo second(-1, 7);
  ASSERT_EQ(second.GetCount(), 1);
  EXPECT_EQ(second.GetRowIndex(0), 7);
  EXPECT_EQ(TcxSelectionChangedInfo().GetCount(), 0);

  TControllerPtr c(new TTestDataController(nullptr));
  TcxDataSelection* selection = c->GetSelection();
  selection->SetItemCount(3);
  ASSERT_EQ(selection->Count(), 3);
  EXPECT_EQ(selection->GetItem(2).RowIndex, 2);
  EXPECT_EQ(selection->GetItem(2).RecordIndex, 2);
  selection->SetAnchorRowIndex(1);
  selection->DeleteItem(1);
  EXPECT_EQ(selection->GetAnchorRowIndex(), -1);
  Integer position;
  EXPECT_FALSE(selection->FindByRowIndex(1, position));
  EXPECT_EQ(position, 1);
  EXPECT_TRUE(selection->FindByRowIndex(2, position));

  TcxDataExpandingInfos infos;
  TcxCustomDataField* field = c->GetFields()->GetField(0 + c->AddTestItem(TcxIntegerValueType::StaticClass()));
  infos.AddField(field);
  EXPECT_THROW(infos.AddField(field), EcxInvalidDataControllerOperation);
  infos.AddItem(0, Variant(1), 1);
  infos.CheckField(field);
  EXPECT_EQ(infos.Count(), 0);
  EXPECT_EQ(infos.FieldCount(), 0);
}

TEST(TcxSortingFieldList, OrdersIndexesAndGrouping) {
  TControllerPtr c(new TTestDataController(nullptr));
  for (int i = 0; i < 3; ++i) c->AddTestItem(TcxIntegerValueType::StaticClass());
  TcxCustomDataField* a = c->GetItemField(0);
  TcxCustomDataField* b = c->GetItemField(1);
  TcxCustomDataField* d = c->GetItemField(2);
  TcxSortingFieldList list;
  int changes = 0;
  struct Counter {
    int* Count;
    void Changed(TObject*) { ++*Count; }
  } counter{&changes};
  list.SetOnChanged(TNotifyEvent(&counter, &Counter::Changed));
  list.SetFieldSortOrder(a, soAscending);
  list.SetFieldSortOrder(a, soAscending);  // unchanged: no notice
  list.ChangeIndex(b, 10);                 // beyond the end: appended, ascending
  list.ChangeIndex(a, 10);                 // moved to the last position
  EXPECT_EQ(list.GetItem(0).Field, b);
  EXPECT_EQ(list.GetItem(1).Field, a);
  list.SetFieldSortOrder(a, soNone);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(changes, 4);
  TcxGroupingFieldList grouping;
  grouping.SetFieldSortOrder(d, soNone);  // a grouping field is always ordered
  EXPECT_EQ(grouping.GetSortOrder(d), soAscending);
  list.SetFieldSortOrder(d, soDescending);
  grouping.UpdateSorting(&list);
  EXPECT_EQ(grouping.GetSortOrder(d), soDescending);
  grouping.Merge(&list);
  EXPECT_EQ(grouping.Count(), 2);
}

}  // namespace
