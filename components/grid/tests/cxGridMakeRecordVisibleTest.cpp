// Making a record visible in a grid table view: a view that shows no record yet (never laid out,
// or laid out without records) starts its first page at the record; a view that shows records
// scrolls no further than it must, also while the grid is locked.
#include <gtest/gtest.h>

#include "components/grid/tests/GridTableViewFixture.h"

namespace grid_table_view_test {
namespace {

class MakeRecordVisibleTest : public GridTableViewTest {
 protected:
  void SetUp() override {
    GridTableViewTest::SetUp();
    AddTowns();
  }
  void AddTowns() {
    AddColumn("Страна"_a, 150);
    AddColumn("Город"_a, 245);
    FillTowns(RecordCount);
  }
  // A new view takes the level's place while the grid is locked: its layout waits for the unlock.
  void ReplaceViewUnderTheGridsLock() {
    Grid->BeginUpdate();
    View = static_cast<TcxGridTableView*>(Grid->CreateView(TcxGridTableView::StaticClass()));
    Grid->GetRootLevel()->GetItem(0)->SetGridView(View);
    AddTowns();
  }
  TcxCustomGridTableController* Controller() const { return View->GetTableController(); }
  Integer Top() const { return Controller()->GetTopRecordIndex(); }
  Integer Visible() const { return Controller()->GetVisibleRecordCount(); }
  void MakeVisible(Integer index) { Controller()->MakeRecordVisible(View->GetViewData()->RecordAt(index)); }
  Boolean Shown(Integer index) const { return Top() <= index && index < Top() + Visible(); }

  static constexpr Integer RecordCount = 100;
};

TEST_F(MakeRecordVisibleTest, AViewNeverLaidOutStartsItsFirstPageAtTheRecord) {
  ReplaceViewUnderTheGridsLock();
  ASSERT_FALSE(View->GetViewInfo()->IsCalculated());
  ASSERT_EQ(Visible(), 0);
  MakeVisible(60);
  EXPECT_EQ(Top(), 60);
  Grid->EndUpdate();
  Layout();
  ASSERT_GT(Visible(), 1);
  ASSERT_LT(Visible(), RecordCount - 60);
  EXPECT_EQ(Top(), 60);
  EXPECT_TRUE(Shown(60));
}

TEST_F(MakeRecordVisibleTest, ALaidOutViewScrollsOnlyAsFarAsTheRecordNeeds) {
  Layout();
  const Integer page = Visible();
  ASSERT_GT(page, 2);
  ASSERT_EQ(Top(), 0);
  // A record on the page leaves the top where it is.
  MakeVisible(page - 1);
  EXPECT_EQ(Top(), 0);
  // A record below the page becomes its last record, not its first.
  MakeVisible(50);
  Run();
  EXPECT_EQ(Top(), 50 - page + 1);
  EXPECT_TRUE(Shown(50));
  // A record above the page becomes the first.
  MakeVisible(20);
  Run();
  EXPECT_EQ(Top(), 20);
}

TEST_F(MakeRecordVisibleTest, WhileTheGridIsLockedALaidOutViewKeepsItsPageAndScrollsOnlyAsFarAsTheRecordNeeds) {
  Layout();
  const Integer page = Visible();
  ASSERT_GT(page, 2);
  Grid->BeginUpdate();
  FillTowns(RecordCount);  // reloaded under the lock: the new layout waits for the unlock
  MakeVisible(50);
  Grid->EndUpdate();
  Run();
  EXPECT_EQ(Top(), 50 - page + 1);
  EXPECT_TRUE(Shown(50));
}

TEST_F(MakeRecordVisibleTest, AViewLaidOutWithoutRecordsStartsItsFirstPageAtTheRecord) {
  FillTowns(0);
  Layout();
  ASSERT_TRUE(View->GetViewInfo()->IsCalculated());
  ASSERT_EQ(Visible(), 0);
  Grid->BeginUpdate();
  FillTowns(RecordCount);
  MakeVisible(60);
  EXPECT_EQ(Top(), 60);
  Grid->EndUpdate();
  Run();
  ASSERT_GT(Visible(), 1);
  EXPECT_EQ(Top(), 60);
  EXPECT_TRUE(Shown(60));
}

}  // namespace
}  // namespace grid_table_view_test
