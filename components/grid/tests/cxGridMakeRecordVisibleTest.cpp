// Making a record visible in a grid table view: a view that shows no record yet (never laid out,
// or laid out without records) starts its first page at the record; a view that shows records
// scrolls no further than it must, also while the grid is locked.
#include <gtest/gtest.h>

#include <algorithm>

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

// A top given before the view knew its size, too near the end for a page: the first layout
// moves it back until the page ends at the last record, as full as the first page.
TEST_F(MakeRecordVisibleTest, ALayoutPullsATopNearTheEndBackSoThatTheLastPageIsFull) {
  Layout();
  const Integer page = Visible();
  ASSERT_GT(page, 2);
  ASSERT_LT(page, RecordCount - 10);
  struct TCase {
    const char* Name;
    Integer Top;
  };
  for (const TCase& c : {TCase{"never laid out, second to last record", RecordCount - 2},
                         TCase{"never laid out, last record", RecordCount - 1},
                         TCase{"never laid out, one record short of a full page", RecordCount - page - 1}}) {
    ReplaceViewUnderTheGridsLock();
    MakeVisible(c.Top);
    ASSERT_EQ(Top(), c.Top) << c.Name;
    Grid->EndUpdate();
    Layout();
    EXPECT_EQ(Visible(), page) << c.Name;
    EXPECT_EQ(Top(), std::min(c.Top, RecordCount - page)) << c.Name;
    EXPECT_TRUE(Shown(c.Top)) << c.Name;
    if (c.Top > RecordCount - page) {
      EXPECT_EQ(Top() + Visible() - 1, RecordCount - 1) << c.Name;
    }
  }
}

TEST_F(MakeRecordVisibleTest, WhenRecordsGoFromTheEndTheLayoutKeepsTheLastPageFull) {
  Layout();
  const Integer page = Visible();
  ASSERT_GT(page, 2);
  Controller()->SetTopRecordIndex(RecordCount - page);
  Run();
  ASSERT_EQ(Top(), RecordCount - page);
  FillTowns(RecordCount - 10);
  Run();
  EXPECT_EQ(Visible(), page);
  EXPECT_EQ(Top(), RecordCount - 10 - page);
}

}  // namespace
}  // namespace grid_table_view_test
