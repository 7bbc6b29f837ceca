// Setting a docked bar's Row moves it to that dock row at once (beyond the last row: to one new
// row at the end), and a saved layout read back puts the bars where they were shown.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/bars/dxBar.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/runtime/Streams.h"

namespace {

class BarRowLayoutTest : public BarFormTest {
 protected:
  BarRowLayoutTest() : BarFormTest({100, 100, 520, 300}) {}

  void SetUp() override {
    BarFormTest::SetUp();
    Manager->SetName("Bars");
    Manager->BeginUpdate();
    for (const char* caption : {"First", "Second", "Third"}) {
      TdxBar* bar = Manager->AddToolbar(false);
      bar->SetCaption(caption);
      auto* button = NewTestButton(Manager, Form.get(), caption);
      bar->GetLinks()->AddItem(button);
      bar->SetDockingStyle(dsTop);
      bar->SetOneOnRow(true);
      bar->SetRow(Manager->GetBarCount() - 1);
      bar->SetVisible(true);
      Bars.push_back(bar);
    }
    Manager->EndUpdate();
    Show();
    Run();
  }

  Integer TopOf(TdxBar* bar) const { return bar->GetControl()->GetTop(); }
  std::vector<Integer> Rows() const {
    std::vector<Integer> rows;
    for (TdxBar* bar : Bars) {
      TdxDockRow* row = bar->GetDockRow();
      rows.push_back(row ? row->GetDockControl()->IndexOfRow(row) : -1);
    }
    return rows;
  }

  std::vector<TdxBar*> Bars;
};

}  // namespace

TEST_F(BarRowLayoutTest, RowFollowsTheDockRowAndASavedLayoutBringsTheRowsBack) {
  ASSERT_EQ(Rows(), (std::vector<Integer>{0, 1, 2}));
  TdxDockControl* dock = Manager->GetBars()->GetDockControl(dsTop);
  ASSERT_NE(dock, nullptr);
  ASSERT_EQ(dock->GetRowCount(), 3);

  // "Second" joins the first row: its own row goes, and "Third" stands in row 1 now.
  Bars[1]->SetRow(0);
  Run();
  EXPECT_EQ(dock->GetRowCount(), 2);
  EXPECT_EQ(Rows(), (std::vector<Integer>{0, 0, 1}));
  EXPECT_EQ(TopOf(Bars[1]), TopOf(Bars[0]));
  EXPECT_EQ(TopOf(Bars[2]), TopOf(Bars[0]) + Bars[0]->GetControl()->GetHeight());

  TMemoryStream stream;
  Manager->SaveToStream(&stream);
  const std::vector<Integer> savedTops{TopOf(Bars[0]), TopOf(Bars[1]), TopOf(Bars[2])};

  // Moved elsewhere, then the saved layout read back: the rows as they were saved.
  Bars[2]->SetRow(0);
  Bars[0]->SetRow(5);  // beyond the last row: one new row at the end
  Run();
  EXPECT_EQ(Rows(), (std::vector<Integer>{1, 0, 0}));
  stream.SetPosition(0);
  ASSERT_TRUE(Manager->LoadFromStream(&stream));
  Run();
  EXPECT_EQ((std::vector<Integer>{TopOf(Bars[0]), TopOf(Bars[1]), TopOf(Bars[2])}), savedTops);
  EXPECT_EQ(Bars[0]->GetRow(), 0);
  EXPECT_EQ(Bars[1]->GetRow(), 0);
}
