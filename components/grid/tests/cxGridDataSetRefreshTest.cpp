// The grid's update lock holds back its dataset-bound views' reloads: a search that sets the
// table's filter piece by piece under the lock reloads each view once, at the last unlock.
#include <gtest/gtest.h>

#include <vector>

#include "components/data/tests/DBDataFixture.h"
#include "components/grid/cxGrid.h"
#include "components/grid/cxGridDBTableView.h"
#include "components/grid/cxGridLevel.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"

namespace {

class GridDataSetRefreshTest : public orv::test::HeadlessFormTest {
 protected:
  GridDataSetRefreshTest() : HeadlessFormTest({0, 0, 500, 300}) {}

  void SetUp() override {
    HeadlessFormTest::SetUp();
    Town = std::make_unique<orv::test::TFixtureTownTable>();
    Grid = new TcxGrid(Form.get());
    Grid->SetParent(Form.get());
    Grid->SetBounds(0, 0, 500, 300);
    View = static_cast<TcxGridDBTableView*>(Grid->CreateView(TcxGridDBTableView::StaticClass()));
    Grid->AddLevel()->SetGridView(View);
    View->BeginUpdate();
    for (const char* field : {"ID", "COUNTRY", "CITY", "LON", "LAT"}) View->CreateColumn()->GetDataBinding()->SetFieldName(field);
    View->EndUpdate();
    View->GetDataController()->SetDataSource(Town->Town->Source);
    View->GetDataController()->SetOnDataChanged(TNotifyEvent(this, &GridDataSetRefreshTest::DataChanged));
  }
  void TearDown() override {
    View->GetDataController()->SetOnDataChanged(TNotifyEvent());
    Grid->Free();
    Town.reset();
    HeadlessFormTest::TearDown();
  }

  void DataChanged(TObject*) { ++Reloads; }
  Integer RecordCount() { return View->GetDataController()->GetRecordCount(); }
  Integer FilteredCount() {
    Integer n = 0;
    TDsDbfTable* table = Town->Town->Table;
    for (table->First(); !table->GetEOF(); table->Next()) ++n;
    return n;
  }

  std::unique_ptr<orv::test::TFixtureTownTable> Town;
  TcxGrid* Grid = nullptr;
  TcxGridDBTableView* View = nullptr;
  Integer Reloads = 0;
};

// The coordinate box east 30, north 50 of the fixture towns: two towns.
const std::vector<AnsiString>& BoxPieces() {
  static const std::vector<AnsiString> pieces = {"(lon >= 25) and (lon <= 35) and", "(lat >= 45", ") and (lat <= 55)"};
  return pieces;
}

TEST_F(GridDataSetRefreshTest, ASearchUnderTheGridsLockReloadsTheViewOnceAtTheUnlock) {
  TDsDbfTable* table = Town->Town->Table;
  const Integer all = RecordCount();
  ASSERT_GT(all, 2);

  // Unlocked, every piece reloads the view (what the lock saves).
  Reloads = 0;
  orv::test::Search(table, BoxPieces());
  EXPECT_GT(Reloads, 1);
  EXPECT_EQ(RecordCount(), 2);
  orv::test::Search(table, {});

  for (int round = 0; round < 2; ++round) {
    Reloads = 0;
    Grid->BeginUpdate();
    Grid->BeginUpdate();
    View->BeginUpdate();  // a view's lock inside the grid's
    orv::test::Search(table, BoxPieces());
    View->EndUpdate();
    Grid->EndUpdate();
    EXPECT_EQ(Reloads, 0) << "still locked";
    EXPECT_EQ(RecordCount(), all) << "the old records until the unlock";
    Grid->EndUpdate();
    EXPECT_EQ(Reloads, 1);
    EXPECT_EQ(RecordCount(), 2);
    EXPECT_EQ(RecordCount(), FilteredCount());

    // Back to every town, the lock given up by CancelUpdate: the queued grid changes go, the
    // held reload does not.
    Reloads = 0;
    Grid->BeginUpdate();
    orv::test::Search(table, {});
    Grid->CancelUpdate();
    EXPECT_EQ(Reloads, 1);
    EXPECT_EQ(RecordCount(), all);
  }

  // Nothing changed under the lock: no reload.
  Reloads = 0;
  Grid->BeginUpdate();
  Grid->EndUpdate();
  EXPECT_EQ(Reloads, 0);
}

// A view made while the grid is locked did not defer: its own reloads run at once, and the
// unlock leaves it alone.
TEST_F(GridDataSetRefreshTest, AViewMadeUnderTheLockLoadsAtOnce) {
  Grid->BeginUpdate();
  auto* late = static_cast<TcxGridDBTableView*>(Grid->CreateView(TcxGridDBTableView::StaticClass()));
  Grid->AddLevel()->SetGridView(late);
  late->CreateColumn()->GetDataBinding()->SetFieldName("CITY");
  late->GetDataController()->SetDataSource(Town->Town->Source);
  EXPECT_EQ(late->GetDataController()->GetRecordCount(), RecordCount());
  orv::test::Search(Town->Town->Table, BoxPieces());
  EXPECT_EQ(late->GetDataController()->GetRecordCount(), 2);
  Grid->EndUpdate();
  EXPECT_EQ(late->GetDataController()->GetRecordCount(), 2);
  EXPECT_EQ(RecordCount(), 2);
  late->Free();
}

}  // namespace
