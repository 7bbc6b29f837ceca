// Master-detail in the grid table view: a master view whose level has a child level makes master
// rows, and expanding one makes a clone of the detail level's view for that record, which the
// row answers as its active detail view.
#include <gtest/gtest.h>

#include "components/grid/tests/GridTableViewFixture.h"

namespace grid_table_view_test {
namespace {

class MasterDetailTest : public GridTableViewTest {
 protected:
  void SetUp() override {
    GridTableViewTest::SetUp();
    ConfigureAsApplication();
    FillTowns(4);
    DetailLevel = Grid->GetRootLevel()->GetItem(0)->Add();
    Pattern = static_cast<TcxGridTableView*>(Grid->CreateView(TcxGridTableView::StaticClass()));
    Pattern->CreateColumn()->SetCaption("Город"_a);
    DetailLevel->SetGridView(Pattern);
    Layout();
  }
  TcxGridMasterDataRow* MasterRow(Integer i) { return dynamic_cast<TcxGridMasterDataRow*>(View->GetViewData()->GetRow(i)); }

  TcxGridLevel* DetailLevel = nullptr;
  TcxGridTableView* Pattern = nullptr;
};

TEST_F(MasterDetailTest, ExpandingAMasterRowMakesADetailCloneForItsRecord) {
  ASSERT_TRUE(View->IsMaster());
  ASSERT_NE(MasterRow(1), nullptr);
  MasterRow(1)->SetExpanded(true);
  Run();
  ASSERT_TRUE(MasterRow(1)->GetExpanded());
  TcxCustomGridView* detail = MasterRow(1)->GetActiveDetailGridView();
  ASSERT_NE(detail, nullptr);
  EXPECT_NE(detail, Pattern);
  EXPECT_EQ(detail->PatternGridView(), Pattern);
  EXPECT_EQ(detail->MasterGridView(), View);
  EXPECT_EQ(detail->MasterRecordIndex(), 1);
  EXPECT_EQ(View->GetDataController()->GetDetailDataController(1, 0), detail->GetDataController());
  EXPECT_EQ(Pattern->CloneCount(), 1);
  // Another record's detail is a clone of its own.
  MasterRow(0)->SetExpanded(true);
  Run();
  ASSERT_NE(MasterRow(0)->GetActiveDetailGridView(), nullptr);
  EXPECT_NE(MasterRow(0)->GetActiveDetailGridView(), detail);
  EXPECT_EQ(Pattern->CloneCount(), 2);
  EXPECT_FALSE(MasterRow(2)->GetExpanded());
}

// A master view of many rows, scrolled to its top, with a detail expanded for a row far below
// the first page.
class MasterScrollTest : public MasterDetailTest {
 protected:
  void SetUp() override {
    MasterDetailTest::SetUp();
    FillTowns(60);
    Run();
    MasterRow(FarRow)->SetExpanded(true);
    Run();
    Detail = dynamic_cast<TcxGridTableView*>(MasterRow(FarRow)->GetActiveDetailGridView());
    ASSERT_NE(Detail, nullptr);
    Controller()->SetTopRecordIndex(0);
    Run();
    ASSERT_EQ(Controller()->GetTopRecordIndex(), 0);
    ASSERT_GT(Controller()->GetVisibleRecordCount(), 0);
    ASSERT_LT(Controller()->GetVisibleRecordCount(), FarRow);
  }
  static TcxCustomGridTableController* ControllerOf(TcxCustomGridView* view) {
    return static_cast<TcxCustomGridTableController*>(view->GetController());
  }
  TcxCustomGridTableController* Controller() { return ControllerOf(View); }
  Boolean FarRowShown() {
    const Integer top = Controller()->GetTopRecordIndex();
    return top <= FarRow && FarRow < top + Controller()->GetVisibleRecordCount();
  }

  static constexpr Integer FarRow = 45;
  TcxGridTableView* Detail = nullptr;
};

TEST_F(MasterScrollTest, CheckMasterRecordVisibleScrollsTheMasterToTheDetailsRow) {
  Detail->CheckMasterRecordVisible();
  Run();
  EXPECT_GT(Controller()->GetTopRecordIndex(), 0);
  EXPECT_TRUE(FarRowShown());
}

TEST_F(MasterScrollTest, CheckMasterRecordVisibleKeepsTheMasterStillWhileTheDetailSaysSo) {
  Detail->SetDontMakeMasterRecordVisible(true);
  Detail->CheckMasterRecordVisible();
  Run();
  EXPECT_EQ(Controller()->GetTopRecordIndex(), 0);
}

TEST_F(MasterScrollTest, MakingADetailRecordVisibleMakesItsMasterRowVisible) {
  Detail->GetDataController()->SetRecordCount(3);
  Run();
  ASSERT_GT(Detail->GetViewData()->GetRecordCount(), 0);
  ControllerOf(Detail)->MakeRecordVisible(Detail->GetViewData()->RecordAt(2));
  Run();
  EXPECT_TRUE(FarRowShown());
}

TEST_F(MasterScrollTest, AnUnfocusedDetailsFlagDoesNotKeepTheMasterFromScrollingToItsRecords) {
  Detail->SetDontMakeMasterRecordVisible(true);
  ASSERT_NE(Grid->GetFocusedView(), Detail);
  Controller()->MakeRecordVisible(View->GetViewData()->RecordAt(FarRow));
  Run();
  EXPECT_TRUE(FarRowShown());
}

TEST_F(MasterScrollTest, AFocusedDetailsFlagKeepsTheMasterStillUntilItIsCleared) {
  // The detail's row brought into view and the detail focused, as a click into it would.
  Detail->CheckMasterRecordVisible();
  Run();
  ASSERT_TRUE(FarRowShown());
  Detail->SetFocused(true);
  Run();
  ASSERT_EQ(Grid->GetFocusedView(), Detail);
  const Integer top = Controller()->GetTopRecordIndex();
  ASSERT_GT(top, 0);
  Detail->SetDontMakeMasterRecordVisible(true);
  for (Integer far : {Integer(0), Integer(59)}) {
    Controller()->MakeRecordVisible(View->GetViewData()->RecordAt(far));
    Run();
    EXPECT_EQ(Controller()->GetTopRecordIndex(), top) << far;
  }
  // Once the detail lets the master go, the same call moves it.
  Detail->SetDontMakeMasterRecordVisible(false);
  Controller()->MakeRecordVisible(View->GetViewData()->RecordAt(0));
  Run();
  EXPECT_EQ(Controller()->GetTopRecordIndex(), 0);
}

TEST_F(MasterScrollTest, ExpandingAMasterRowsDetailLeavesTheMasterWhereItIs) {
  // Another far row, expanded from code while the master shows its first page; as it expands,
  // the application focuses the last record of the new detail.
  constexpr Integer other = FarRow + 5;
  TcxGridTableView* detail = nullptr;
  Integer topWhileExpanding = -1;
  auto onExpanded = [&](TcxCustomDataController*, Integer recordIndex) {
    detail = dynamic_cast<TcxGridTableView*>(MasterRow(recordIndex)->GetActiveDetailGridView());
    if (!detail) return;
    detail->GetDataController()->SetRecordCount(3);
    ControllerOf(detail)->SetFocusedRecordIndex(2);
    topWhileExpanding = Controller()->GetTopRecordIndex();
  };
  View->GetDataController()->SetOnDetailExpanded(TcxDataDetailExpandedEvent::Callable(onExpanded));
  MasterRow(other)->SetExpanded(true);
  Run();
  View->GetDataController()->SetOnDetailExpanded(TcxDataDetailExpandedEvent());
  ASSERT_TRUE(MasterRow(other)->GetExpanded());
  ASSERT_NE(detail, nullptr);
  ASSERT_EQ(ControllerOf(detail)->GetFocusedRecordIndex(), 2);
  EXPECT_EQ(topWhileExpanding, 0);
  EXPECT_EQ(Controller()->GetTopRecordIndex(), 0);
  // Once expanded, the detail brings its row into view when its record is made visible; laid
  // out at last, the detail shows all three records, not only the one it was asked for before.
  ControllerOf(detail)->MakeRecordVisible(detail->GetViewData()->RecordAt(2));
  Run();
  const Integer top = Controller()->GetTopRecordIndex();
  EXPECT_TRUE(top <= other && other < top + Controller()->GetVisibleRecordCount());
  EXPECT_EQ(ControllerOf(detail)->GetTopRecordIndex(), 0);
  EXPECT_EQ(ControllerOf(detail)->GetVisibleRecordCount(), 3);
}

}  // namespace
}  // namespace grid_table_view_test
