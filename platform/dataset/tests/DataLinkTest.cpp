// Data sources and data links: notification order, scroll distances, buffer rows, editing
// notices, DisableControls; plus connections and parameters.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/dataset/CustomConnection.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Params.h"
#include "platform/dataset/tests/ArrayDataSet.h"
#include "platform/dataset/tests/TestLinks.h"
#include "platform/runtime/AnsiString.h"

using orvtest::FreeLink;
using orvtest::Owner;
using orvtest::TArrayDataSet;
using orvtest::TLogLink;

namespace {

TArrayDataSet* MakeNumbers(TComponent* owner, int count) {
  auto* ds = new TArrayDataSet(owner);
  ds->SetName("Numbers");
  ds->GetFieldDefs().Add("ID", ftInteger);
  ds->GetFieldDefs().Add("NAME", ftString, 10);
  for (int i = 1; i <= count; ++i) ds->AddRow({i, "n" + std::to_string(i)});
  return ds;
}

struct Linked {
  Owner o;
  std::vector<std::string> log;
  TArrayDataSet* ds;
  TDataSource* source;
  TLogLink* visual;
  TLogLink* plain;
  explicit Linked(int count, int visualBuffers = 1) {
    ds = MakeNumbers(o.Root, count);
    source = new TDataSource(o.Root);
    source->SetDataSet(ds);
    // The visual link is attached first: it still hears every event second.
    visual = new TLogLink(&log, "visual", true);
    visual->SetBufferCount(visualBuffers);
    visual->SetDataSource(source);
    plain = new TLogLink(&log, "plain", false);
    plain->SetDataSource(source);
  }
  ~Linked() {
    FreeLink(visual);
    FreeLink(plain);
  }
};

}  // namespace

TEST(DataLink, NonVisualLinksHearEachEventBeforeVisualOnes) {
  Linked t(3);
  t.ds->Open();
  t.log.clear();
  t.ds->Next();
  t.ds->Last();
  EXPECT_EQ(t.log, (std::vector<std::string>{"plain: scrolled 1", "visual: scrolled 1",
                                             "plain: changed", "visual: changed"}));
}

TEST(DataLink, OpeningAndClosingActivateTheLinks) {
  Linked t(3);
  EXPECT_FALSE(t.plain->GetActive());
  t.ds->Open();
  EXPECT_TRUE(t.plain->GetActive());
  EXPECT_EQ(t.plain->GetDataSet(), t.ds);
  t.ds->Close();
  EXPECT_FALSE(t.plain->GetActive());
  EXPECT_EQ(t.log, (std::vector<std::string>{"plain: active", "visual: active", "plain: inactive",
                                             "visual: inactive"}));
  // A disabled source deactivates its links.
  t.ds->Open();
  t.source->SetEnabled(false);
  EXPECT_FALSE(t.plain->GetActive());
  EXPECT_EQ(t.source->GetState(), dsInactive);
  t.source->SetEnabled(true);
  EXPECT_TRUE(t.plain->GetActive());
}

// With BufferCount 1 the sum of the scroll distances is the position; First and Last are
// data-set changes, after which the count restarts from the known ends.
TEST(DataLink, ScrollDistancesWithOneBufferCountTheRecordsMoved) {
  for (int ring : {1, 6}) {
    Linked t(30, ring);
    t.ds->Open();
    std::mt19937 rng(ring);
    int position = 1;
    int changes = t.plain->Changes;
    for (int step = 0; step < 400; ++step) {
      const int op = static_cast<int>(rng() % 10);
      const int scrolledBefore = t.plain->Scrolled;
      if (op == 0) {
        t.ds->First();
        EXPECT_GT(t.plain->Changes, changes);
        changes = t.plain->Changes;
        position = 1;
        continue;
      }
      if (op == 1) {
        t.ds->Last();
        EXPECT_GT(t.plain->Changes, changes);
        changes = t.plain->Changes;
        position = 30;
        continue;
      }
      const int moved = t.ds->MoveBy(static_cast<int>(rng() % 11) - 5);
      EXPECT_EQ(t.plain->Changes, changes);
      EXPECT_EQ(t.plain->Scrolled - scrolledBefore, moved) << "ring " << ring << " step " << step;
      position += moved;
      ASSERT_EQ(t.ds->FieldByName("ID")->GetAsInteger(), position);
    }
  }
}

TEST(DataLink, BufferRowsAndActiveRecord) {
  Linked t(10, 4);
  t.ds->Open();
  EXPECT_EQ(t.visual->GetBufferCount(), 4);
  EXPECT_EQ(t.visual->GetRecordCount(), 4);
  EXPECT_EQ(t.visual->GetActiveRecord(), 0);
  t.ds->MoveBy(2);
  EXPECT_EQ(t.visual->GetActiveRecord(), 2);
  EXPECT_EQ(t.plain->GetActiveRecord(), 0);  // one row: always the current record
  // Reading another row of the link without moving the dataset.
  TField* id = t.ds->FieldByName("ID");
  std::vector<int> rows;
  const Integer saved = t.visual->GetActiveRecord();
  for (int row = 0; row < t.visual->GetRecordCount(); ++row) {
    t.visual->SetActiveRecord(row);
    rows.push_back(id->GetAsInteger());
  }
  t.visual->SetActiveRecord(saved);
  EXPECT_EQ(rows, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(id->GetAsInteger(), 3);
  t.ds->MoveBy(3);  // record 6: the rows follow
  EXPECT_EQ(t.visual->GetActiveRecord(), 3);
  t.visual->SetActiveRecord(0);
  EXPECT_EQ(id->GetAsInteger(), 3);
  t.visual->SetActiveRecord(3);
  // Fewer records than rows.
  Linked small(2, 5);
  small.ds->Open();
  EXPECT_EQ(small.visual->GetRecordCount(), 2);
  // A larger buffer on an open dataset fills at once.
  t.visual->SetBufferCount(8);
  EXPECT_EQ(t.visual->GetRecordCount(), 8);
  EXPECT_EQ(id->GetAsInteger(), 6);
}

TEST(DataLink, EditingRecordAndUpdateNotices) {
  Linked t(3);
  t.ds->Open();
  t.log.clear();
  TField* name = t.ds->FieldByName("NAME");
  EXPECT_TRUE(t.plain->Edit());
  EXPECT_TRUE(t.plain->GetEditing());
  name->SetAsString("x");
  t.plain->Pending = name;
  t.plain->PendingText = "control";
  t.ds->Post();
  EXPECT_EQ(name->GetAsString(), "control");
  EXPECT_EQ(t.log, (std::vector<std::string>{
                       "plain: editing", "visual: editing", "plain: record", "visual: record",
                       "plain: record NAME", "visual: record NAME", "plain: update",
                       // the updating link does not hear of its own write
                       "visual: record NAME", "visual: update", "plain: browsing", "visual: browsing", "plain: changed",
                       "visual: changed"}));
  // AutoEdit off: a link cannot start editing.
  t.source->SetAutoEdit(false);
  EXPECT_FALSE(t.plain->Edit());
  EXPECT_EQ(t.ds->GetState(), dsBrowse);
  // A read-only link never counts as editing.
  t.source->SetAutoEdit(true);
  t.visual->SetReadOnly(true);
  t.ds->Edit();
  EXPECT_TRUE(t.plain->GetEditing());
  EXPECT_FALSE(t.visual->GetEditing());
  t.ds->Cancel();
}

TEST(DataLink, FocusControlStopsAtTheLinkThatTakesIt) {
  Linked t(1);
  t.ds->Open();
  t.plain->TakeFocus = true;
  t.ds->FieldByName("ID")->FocusControl();
  EXPECT_EQ(t.plain->Focused, t.ds->FieldByName("ID"));
  // The visual link got a cleared field reference and was not asked.
  EXPECT_EQ(t.visual->Focused, nullptr);
}

TEST(DataLink, ChangesWhileDisabledArriveOnceWhenEnabled) {
  Linked t(20);
  t.ds->Open();
  t.log.clear();
  t.ds->DisableControls();
  t.ds->DisableControls();
  EXPECT_TRUE(t.ds->ControlsDisabled());
  for (int i = 0; i < 5; ++i) t.ds->Next();
  t.ds->Edit();
  t.ds->FieldByName("NAME")->SetAsString("q");
  t.ds->Post();
  t.ds->EnableControls();
  EXPECT_TRUE(t.log.empty());
  t.ds->EnableControls();
  EXPECT_EQ(t.log, (std::vector<std::string>{"plain: changed", "visual: changed"}));
  // Nothing happened: nothing to deliver.
  t.log.clear();
  t.ds->DisableControls();
  t.ds->EnableControls();
  EXPECT_TRUE(t.log.empty());
}

TEST(DataLink, ClosingWhileDisabledIsReportedAndReplayedAsALayoutChange) {
  Linked t(5);
  t.ds->Open();
  t.log.clear();
  struct Watch : TLogLink {
    using TLogLink::TLogLink;
    std::vector<NativeInt> disabled;
    void DataEvent(TDataEvent event, NativeInt info) override {
      if (event == deDisabledStateChange) disabled.push_back(info);
      TLogLink::DataEvent(event, info);
    }
  };
  auto* watch = new Watch(nullptr, "watch", true);
  watch->SetDataSource(t.source);
  t.ds->DisableControls();
  t.ds->Close();
  t.ds->Open();
  t.ds->EnableControls();
  EXPECT_EQ(watch->disabled, (std::vector<NativeInt>{0, 1}));
  EXPECT_EQ(t.log, (std::vector<std::string>{"plain: layout", "visual: layout"}));
  FreeLink(watch);
}

TEST(DataLink, FreeingTheDataSetDetachesItsSources) {
  Owner o;
  TArrayDataSet* ds = MakeNumbers(o.Root, 2);
  auto* source = new TDataSource(o.Root);
  source->SetDataSet(ds);
  auto* link = new TLogLink(nullptr, "l", false);
  link->SetDataSource(source);
  ds->Open();
  ds->Free();
  EXPECT_EQ(source->GetDataSet(), nullptr);
  EXPECT_FALSE(link->GetActive());
  FreeLink(link);
  EXPECT_EQ(source->GetDataLinkCount(), 0);
}

TEST(DataLink, StateChangesReachTheDataSource) {
  // Declared before the source, which still reports its last state change while it is destroyed.
  struct Counter {
    int states = 0, data = 0, updates = 0;
    void State(TObject*) { ++states; }
    void Data(TObject*, TField*) { ++data; }
    void Update(TObject*) { ++updates; }
  } c;
  Linked t(2);
  t.source->SetOnStateChange(TNotifyEvent(&c, &Counter::State));
  t.source->SetOnDataChange(TDataChangeEvent(&c, &Counter::Data));
  t.source->SetOnUpdateData(TNotifyEvent(&c, &Counter::Update));
  t.ds->Open();
  t.ds->Edit();
  t.ds->Post();
  EXPECT_EQ(c.states, 3);  // browse, edit, browse
  EXPECT_GE(c.data, 2);
  EXPECT_EQ(c.updates, 1);
  EXPECT_EQ(t.source->GetState(), dsBrowse);
}

// ---- connections ----

namespace {

class TTestConnection : public TCustomConnection {
 public:
  using TCustomConnection::TCustomConnection;
  bool Handle = false;
  std::vector<std::string>* Log = nullptr;
  bool GetConnected() const override { return Handle; }

 protected:
  void DoConnect() override {
    Log->push_back("connect");
    Handle = true;
  }
  void DoDisconnect() override {
    Log->push_back("disconnect");
    for (Integer i = GetDataSetCount() - 1; i >= 0; --i) GetDataSet(i)->Close();
    Handle = false;
  }
};

}  // namespace

TEST(CustomConnection, ConnectsTellsClientsAndClosesThemOnDisconnect) {
  Owner o;
  std::vector<std::string> log;
  auto* connection = new TTestConnection(o.Root);
  connection->Log = &log;
  TArrayDataSet* ds = MakeNumbers(o.Root, 1);
  connection->RegisterClient(ds);
  connection->RegisterClient(ds);
  struct Client {
    std::vector<std::string>* log;
    void Changed(TObject*, bool connecting) { log->push_back(connecting ? "client on" : "client off"); }
    void Before(TObject*) { log->push_back("before"); }
    void After(TObject*) { log->push_back("after"); }
  } client{&log};
  std::unique_ptr<TObject, orv::FreeDeleter> otherOwner(new TObject);
  TObject& other = *otherOwner;
  connection->RegisterClient(&other, TConnectChangeEvent(&client, &Client::Changed));
  connection->SetBeforeConnect(TNotifyEvent(&client, &Client::Before));
  connection->SetAfterDisconnect(TNotifyEvent(&client, &Client::After));
  EXPECT_EQ(connection->GetDataSetCount(), 1);
  EXPECT_EQ(connection->GetDataSet(0), ds);
  connection->SetConnected(true);
  EXPECT_TRUE(connection->GetConnected());
  ds->Open();
  connection->Close();
  EXPECT_FALSE(ds->GetActive());
  EXPECT_EQ(log, (std::vector<std::string>{"before", "connect", "client on", "client off",
                                           "disconnect", "after"}));
  connection->UnRegisterClient(&other);
  connection->UnRegisterClient(ds);
  EXPECT_EQ(connection->GetDataSetCount(), 0);
}

// ---- parameters and errors ----

TEST(Params, NamedValuesAndTheirErrors) {
  std::unique_ptr<TParams, orv::FreeDeleter> owned(new TParams);
  TParams& params = *owned;
  params.CreateParam(ftInteger, "Country", ptInput)->SetValue(7);
  params.AddParam("Town")->SetAsString("Омск"_a);
  EXPECT_EQ(params.GetCount(), 2);
  EXPECT_EQ(params.ParamByName("country")->GetAsInteger(), 7);
  EXPECT_EQ(params.ParamByName("TOWN")->GetDataType(), ftString);
  const Variant both = params.GetParamValues("Country;Town");
  EXPECT_EQ(both.GetElement(1).AsString(), "Омск"_a);
  params.SetParamValues("Town;Country", VarArrayOf({"Тара"_a, 9}));
  EXPECT_EQ(params.ParamByName("Country")->GetValue().AsInteger(), 9);
  EXPECT_EQ(params.FindParam("none"), nullptr);
  try {
    params.ParamByName("none");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.GetMessage(), "Parameter 'none' not found");
  }
  std::unique_ptr<TParams, orv::FreeDeleter> copy(new TParams);
  copy->Assign(&params);
  EXPECT_EQ(copy->ParamByName("Town")->GetAsString(), "Тара"_a);
  copy->ParamByName("Town")->Clear();
  EXPECT_TRUE(copy->ParamByName("Town")->GetIsNull());
}

TEST(DatabaseError, PrefixesTheComponentName) {
  Owner o;
  auto* ds = new TArrayDataSet(o.Root);
  try {
    DatabaseError("Broken", ds);
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.GetMessage(), "Broken");  // no name, no prefix
  }
  ds->SetName("Table1");
  try {
    DatabaseErrorFmt("Field '%s' is odd", {"X"}, ds);
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.GetMessage(), "Table1: Field 'X' is odd");
  }
  EXPECT_THROW(DatabaseError("x"), EDatabaseError);
  EXPECT_THROW(throw ENoResultSet("none"), EDatabaseError);
}
