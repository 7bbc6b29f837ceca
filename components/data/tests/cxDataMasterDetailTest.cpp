// Master-detail state of the unbound controller: relations, detail templates and clones made
// through link objects, expanding and collapsing details, and the bookkeeping when master
// records come and go.
#include <gtest/gtest.h>

#include <map>

#include "components/data/tests/DataControllerFixture.h"

namespace {

using namespace orv::test;

// A link object that owns a detail controller (as a grid's detail view owns its controller).
class TTestLink : public TObject {
  ORV_CLASS(TTestLink, TObject)
 public:
  explicit TTestLink(TTestDataController* controller) : Controller(controller) {}
  void BeforeDestruction() override {
    Controller->Free();
    inherited::BeforeDestruction();
  }
  TTestDataController* Controller;
};

// A master whose link objects are clones of the relation's template with as many records as
// the master record's index.
class TMasterController : public TTestDataController {
  ORV_CLASS(TMasterController, TTestDataController)
 public:
  explicit TMasterController(TComponent* owner) : TTestDataController(owner) {}
  TObject* CreateDetailLinkObject(TcxCustomDataRelation* relation, Integer recordIndex) override {
    auto* clone = new TTestDataController(nullptr);
    clone->AddTestItem(TcxIntegerValueType::StaticClass());
    clone->SetMasterRelation(relation, recordIndex);
    clone->SetRecordCount(recordIndex);
    return new TTestLink(clone);
  }
  TcxCustomDataController* GetDetailDataController(TObject* linkObject) override {
    return static_cast<TTestLink*>(linkObject)->Controller;
  }
  using TcxCustomDataController::GetDetailDataController;
};

struct TEvents {
  std::vector<std::string> Log;
  Boolean Allow = true;
  void Expanding(TcxCustomDataController*, Integer record, Boolean& allow) {
    Log.push_back("expanding " + std::to_string(record));
    allow = Allow;
  }
  void Expanded(TcxCustomDataController*, Integer record) { Log.push_back("expanded " + std::to_string(record)); }
  void Collapsed(TcxCustomDataController*, Integer record) { Log.push_back("collapsed " + std::to_string(record)); }
};

TEST(TcxDataMasterDetail, TemplatesClonesAndExpanding) {
  std::unique_ptr<TMasterController, orv::FreeDeleter> master(new TMasterController(nullptr));
  master->AddTestItem(TcxStringValueType::StaticClass());
  master->SetRecordCount(4);
  TTestItem level;
  TcxCustomDataRelation* relation = master->GetRelationList()->Add(&level);
  EXPECT_EQ(master->GetRelationList()->FindByItem(&level), relation);
  EXPECT_EQ(relation->GetIndex(), 0);
  // Without a template there is no detail state.
  EXPECT_FALSE(master->ChangeDetailExpanding(1, true));
  EXPECT_EQ(master->GetDetailActiveRelationIndex(1), -1);

  TControllerPtr pattern(new TTestDataController(nullptr));
  pattern->AttachAsDetailTemplate(relation, true);
  EXPECT_TRUE(pattern->IsDetailTemplate());
  EXPECT_TRUE(pattern->IsDetailMode());
  EXPECT_EQ(pattern->GetMasterDataController(), master.get());
  EXPECT_EQ(relation->GetDetailDataController(), pattern.get());
  EXPECT_EQ(master->GetDetailMode(), 0);

  TEvents events;
  master->SetOnDetailExpanding(TcxDataDetailExpandingEvent(&events, &TEvents::Expanding));
  master->SetOnDetailExpanded(TcxDataDetailExpandedEvent(&events, &TEvents::Expanded));
  master->SetOnDetailCollapsed(TcxDataDetailExpandedEvent(&events, &TEvents::Collapsed));
  EXPECT_TRUE(master->ChangeDetailExpanding(2, true));
  EXPECT_TRUE(master->GetDetailExpanding(2));
  EXPECT_TRUE(master->ChangeDetailExpanding(2, true));  // already: no events
  EXPECT_EQ(events.Log, (std::vector<std::string>{"expanding 2", "expanded 2"}));
  events.Allow = false;
  EXPECT_FALSE(master->ChangeDetailExpanding(3, true));
  EXPECT_FALSE(master->GetDetailExpanding(3));
  EXPECT_EQ(master->GetDetailActiveRelationIndex(2), 0);

  // A clone is made on demand through the link object.
  EXPECT_FALSE(master->IsDetailDataControllerExist(2, 0));
  TcxCustomDataController* clone = master->GetDetailDataController(2, 0);
  ASSERT_NE(clone, nullptr);
  EXPECT_EQ(clone->GetDetailMode(), 2);
  EXPECT_EQ(clone->GetMasterRecordIndex(), 2);
  EXPECT_EQ(clone->GetPatternDataController(), pattern.get());
  EXPECT_TRUE(master->IsDetailDataControllerExist(2, 0));
  EXPECT_TRUE(master->HasDetailData(2, 0));
  EXPECT_EQ(master->GetDetailDataController(2, 0), clone);  // the same link object

  // Records before the master record shift its detail.
  master->InsertRecord(0);
  EXPECT_TRUE(master->GetDetailExpanding(3));
  EXPECT_EQ(clone->GetMasterRecordIndex(), 3);
  master->DeleteRecord(1);
  EXPECT_EQ(clone->GetMasterRecordIndex(), 2);
  EXPECT_TRUE(master->GetDetailExpanding(2));

  events.Log.clear();
  master->CollapseDetails();
  EXPECT_FALSE(master->GetDetailExpanding(2));
  EXPECT_FALSE(master->IsDetailDataControllerExist(2, 0));  // the link objects went
  EXPECT_TRUE(events.Log.empty());

  // Detaching the template leaves the master without detail state.
  pattern->AttachAsDetailTemplate(nullptr, false);
  EXPECT_EQ(relation->GetDetailDataController(), nullptr);
  EXPECT_FALSE(pattern->IsDetailMode());
  EXPECT_FALSE(master->ChangeDetailExpanding(1, true));
}

TEST(TcxDataMasterDetail, AFreedRelationDetachesItsTemplate) {
  std::unique_ptr<TMasterController, orv::FreeDeleter> master(new TMasterController(nullptr));
  master->AddTestItem(TcxStringValueType::StaticClass());
  master->SetRecordCount(2);
  TTestItem level;
  TcxCustomDataRelation* relation = master->GetRelationList()->Add(&level);
  TControllerPtr pattern(new TTestDataController(nullptr));
  pattern->AttachAsDetailTemplate(relation, true);
  ASSERT_NE(master->GetDetailDataController(1, 0), nullptr);
  relation->Free();
  EXPECT_EQ(master->GetRelationList()->Count(), 0);
  EXPECT_FALSE(pattern->IsDetailMode());
  EXPECT_FALSE(master->IsDetailDataControllerExist(1, 0));
  // A template freed before its master's relation lets the relation go.
  TcxCustomDataRelation* second = master->GetRelationList()->Add(&level);
  {
    TControllerPtr other(new TTestDataController(nullptr));
    other->AttachAsDetailTemplate(second, true);
  }
  EXPECT_EQ(second->GetDetailDataController(), nullptr);
}

}  // namespace

namespace {

using namespace orv::test;

// A master whose records have keys (the town's name).
class TKeyedController : public TMasterController {
  ORV_CLASS(TKeyedController, TMasterController)
 public:
  explicit TKeyedController(TComponent* owner) : TMasterController(owner) {}
  Boolean HasRecordKeys() override { return true; }
  void GetKeyFieldList(std::vector<TcxCustomDataField*>& list) override { list.push_back(GetItemField(0)); }
};

TEST(TcxDataMasterDetail, SavedKeysKeepExpandedDetailsAndSelectionAcrossAReload) {
  std::unique_ptr<TKeyedController, orv::FreeDeleter> master(new TKeyedController(nullptr));
  master->AddTestItem(TcxStringValueType::StaticClass());
  const std::vector<const char*> names = {"A", "B", "C", "D"};
  auto load = [&](const std::vector<const char*>& order) {
    master->SetRecordCount(Integer(order.size()));
    for (std::size_t i = 0; i < order.size(); ++i) master->SetValue(Integer(i), 0, Variant(order[i]));
  };
  load(names);
  TTestItem level;
  TcxCustomDataRelation* relation = master->GetRelationList()->Add(&level);
  TControllerPtr pattern(new TTestDataController(nullptr));
  pattern->AttachAsDetailTemplate(relation, true);
  master->ChangeDetailExpanding(2, true);  // C
  master->SetMultiSelect(true);
  master->ChangeRowSelection(1, true);  // B
  master->ChangeRowSelection(3, true);  // D

  // The records come back in another order, without D.
  master->BeginSaveState();
  load({"C", "A", "B"});
  master->CollapseDetails();  // as a reload of the records does
  master->EndSaveState();
  EXPECT_TRUE(master->GetDetailExpanding(0));
  EXPECT_FALSE(master->GetDetailExpanding(2));
  ASSERT_EQ(master->GetSelectedCount(), 1);
  EXPECT_EQ(master->GetRowInfo(master->GetSelectedRowIndex(0)).RecordIndex, 2);  // B
}

}  // namespace

namespace {

void CollectDetail(void* data, TcxCustomDataController* detail) {
  static_cast<std::vector<TcxCustomDataController*>*>(data)->push_back(detail);
}

}  // namespace

TEST(TcxDataMasterDetail, ForEachDetailWalksTheExistingDetailsOfARelation) {
  std::unique_ptr<TMasterController, orv::FreeDeleter> master(new TMasterController(nullptr));
  master->AddTestItem(TcxStringValueType::StaticClass());
  master->SetRecordCount(4);
  TTestItem level, otherLevel;
  TcxCustomDataRelation* relation = master->GetRelationList()->Add(&level);
  TcxCustomDataRelation* other = master->GetRelationList()->Add(&otherLevel);
  TControllerPtr pattern(new TTestDataController(nullptr));
  pattern->AttachAsDetailTemplate(relation, true);
  TControllerPtr otherPattern(new TTestDataController(nullptr));
  otherPattern->AttachAsDetailTemplate(other, true);

  std::vector<TcxCustomDataController*> found;
  master->ForEachDetail(relation, &CollectDetail, &found);
  EXPECT_TRUE(found.empty()) << "no detail exists yet";
  // Details of records 1 and 3 of the first relation and of record 2 of the other.
  TcxCustomDataController* first = master->GetDetailDataController(1, 0);
  TcxCustomDataController* second = master->GetDetailDataController(3, 0);
  TcxCustomDataController* third = master->GetDetailDataController(2, 1);
  ASSERT_TRUE(first && second && third);
  master->ForEachDetail(relation, &CollectDetail, &found);
  EXPECT_EQ(found, (std::vector<TcxCustomDataController*>{first, second}));
  found.clear();
  master->ForEachDetail(other, &CollectDetail, &found);
  EXPECT_EQ(found, (std::vector<TcxCustomDataController*>{third}));

  // Resetting the master relations detaches the details of that relation only.
  master->ResetDetailMasterRelations(relation);
  EXPECT_EQ(first->GetMasterRelation(), nullptr);
  EXPECT_EQ(second->GetMasterRelation(), nullptr);
  EXPECT_EQ(third->GetMasterRelation(), other);
}

TEST(TcxDataMasterDetail, SyncDetailsFocusFocusesTheFirstRowOfAnUnfocusedDetail) {
  std::unique_ptr<TMasterController, orv::FreeDeleter> master(new TMasterController(nullptr));
  master->AddTestItem(TcxStringValueType::StaticClass());
  master->SetRecordCount(4);
  TTestItem level;
  TcxCustomDataRelation* relation = master->GetRelationList()->Add(&level);
  TControllerPtr pattern(new TTestDataController(nullptr));
  pattern->AttachAsDetailTemplate(relation, true);
  master->SyncDetailsFocus(3);  // no detail yet: nothing happens
  ASSERT_TRUE(master->ChangeDetailExpanding(3, true));
  TcxCustomDataController* detail = master->GetDetailDataController(3, 0);
  ASSERT_NE(detail, nullptr);
  detail->ChangeFocusedRowIndex(-1);
  ASSERT_EQ(detail->GetFocusedRowIndex(), -1);
  master->SyncDetailsFocus(3);
  EXPECT_EQ(detail->GetFocusedRowIndex(), 0);
  // A focused row stays.
  detail->ChangeFocusedRowIndex(2);
  master->SyncDetailsFocus(3);
  EXPECT_EQ(detail->GetFocusedRowIndex(), 2);
}
