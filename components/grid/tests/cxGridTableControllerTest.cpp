// The table controller's walk over the records: the top record and its pages, the page keys,
// record navigation and incremental search.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "components/grid/tests/GridTableFixture.h"

namespace grid_test {
namespace {

class TableControllerTest : public GridTableFixture {
 protected:
  TcxCustomGridTableController* Ctrl() const { return View->GetTableController(); }
  void Press(Word key, TShiftState shift = TShiftState()) { Ctrl()->KeyDown(key, shift); }
  void Type(const AnsiString& text) {
    for (char c : text) Ctrl()->KeyPress(c);
  }
};

TEST_F(TableControllerTest, TheTopRecordStaysWithinTheLastFullPage) {
  FillNumbered(100);
  int changes = 0;
  auto onTop = [&](TObject*) { ++changes; };
  View->SetOnTopRecordIndexChanged(TNotifyEvent::Callable(onTop));
  Ctrl()->SetTopRecordIndex(95);
  EXPECT_EQ(Ctrl()->GetTopRecordIndex(), 90);
  EXPECT_EQ(Ctrl()->GetMaxTopRecordIndex(), 90);
  Ctrl()->SetTopRecordIndex(-5);
  EXPECT_EQ(Ctrl()->GetTopRecordIndex(), 0);
  Ctrl()->SetTopRecordIndex(0);
  EXPECT_EQ(changes, 2);
  // Scrolling by whole records.
  Ctrl()->ScrollRecords(true, 3);
  EXPECT_EQ(Ctrl()->GetTopRecordIndex(), 3);
  Ctrl()->ScrollRecords(false, 5);
  EXPECT_EQ(Ctrl()->GetTopRecordIndex(), 0);
}

TEST_F(TableControllerTest, PageKeysFocusTheEdgeOfThePageBeforeScrollingIt) {
  FillNumbered(100);
  Ctrl()->GoToFirst();
  struct Step {
    Word Key;
    Integer Focused, Top;
  };
  const Step steps[] = {
      {VK_NEXT, 9, 0}, {VK_NEXT, 19, 10}, {VK_NEXT, 29, 20}, {VK_PRIOR, 20, 20}, {VK_PRIOR, 10, 10}, {VK_PRIOR, 0, 0},
  };
  for (const Step& step : steps) {
    Press(step.Key);
    EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), step.Focused) << step.Key;
    EXPECT_EQ(Ctrl()->GetTopRecordIndex(), step.Top) << step.Key;
  }
}

TEST_F(TableControllerTest, RecordNavigationWalksAndKeepsTheFocusedRecordInView) {
  FillNumbered(50);
  EXPECT_TRUE(Ctrl()->GoToLast());
  EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), 49);
  EXPECT_EQ(Ctrl()->GetTopRecordIndex(), 40);  // the focused record was brought into view
  EXPECT_TRUE(Ctrl()->IsFinish());
  EXPECT_FALSE(Ctrl()->GoToNext());
  EXPECT_TRUE(Ctrl()->GoToPrev());
  EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), 48);
  EXPECT_TRUE(Ctrl()->GoToFirst());
  EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), 0);
  EXPECT_EQ(Ctrl()->GetTopRecordIndex(), 0);
  EXPECT_TRUE(Ctrl()->IsStart());
  // A record that may not be focused is stepped over.
  auto onCanFocus = [](TcxCustomGridTableView*, TcxCustomGridRecord* record, Boolean& allow) {
    allow = record->GetIndex() != 1;
  };
  View->SetOnCanFocusRecord(TcxGridAllowRecordOperationEvent::Callable(onCanFocus));
  EXPECT_TRUE(Ctrl()->GoToNext());
  EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), 2);
}

TEST_F(TableControllerTest, TypingARussianPrefixFindsTheTown) {
  Fill({{"Россия"_a, "Казань"_a, 1},
        {"Россия"_a, "Москва"_a, 2},
        {"Беларусь"_a, "Минск"_a, 3},
        {"Россия"_a, "Мурманск"_a, 4}});
  View->GetTableOptionsBehavior()->SetIncSearch(true);
  View->GetTableOptionsSelection()->SetCellSelect(false);
  View->GetTableOptionsBehavior()->SetIncSearchItem(Town);
  Ctrl()->GoToFirst();
  Type("Му"_a);
  EXPECT_TRUE(Ctrl()->IsIncSearching());
  EXPECT_EQ(Ctrl()->GetIncSearchingItem(), Town);
  EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), 3);
  EXPECT_EQ(Ctrl()->GetIncSearchingText(), "Му"_a);
  Press(VK_BACK);
  EXPECT_EQ(Ctrl()->GetIncSearchingText(), "М"_a);
  Press(VK_UP, TShiftState{ssCtrl});
  EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), 2);
  Press(VK_UP, TShiftState{ssCtrl});
  EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), 1);
  Press(VK_DOWN, TShiftState{ssCtrl});
  EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), 2);
  Press(VK_ESCAPE);
  EXPECT_FALSE(Ctrl()->IsIncSearching());
  // Without the view's option typing searches nothing.
  View->GetTableOptionsBehavior()->SetIncSearch(false);
  Type("К"_a);
  EXPECT_FALSE(Ctrl()->IsIncSearching());
  EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), 2);
}

TEST_F(TableControllerTest, NavigatorMovesUnderMultiSelectionSelectTheNewRecordAloneAndCtrlKeysKeepIt) {
  FillNumbered(30);
  View->GetTableOptionsSelection()->SetMultiSelect(true);
  auto selected = [&] {
    std::vector<Integer> rows;
    for (Integer i = 0; i < DC()->GetSelectedCount(); ++i) rows.push_back(DC()->GetSelectedRowIndex(i));
    std::sort(rows.begin(), rows.end());
    return rows;
  };
  TcxCustomGridTableController* c = Ctrl();
  struct Step {
    const char* Name;
    std::function<void()> Move;
    Integer Focused;
  };
  const Step steps[] = {
      {"first", [&] { c->GoToFirst(); }, 0},
      {"next", [&] { c->GoToNext(); }, 1},
      {"prior", [&] { c->GoToPrev(); }, 0},
      {"last", [&] { c->GoToLast(); }, 29},
      {"prior page", [&] { c->ShowPrevPage(true); }, 20},
      {"next page", [&] { c->ShowNextPage(true); }, 29},
  };
  for (const Step& step : steps) {
    DC()->ChangeRowSelection(5, true);  // a selection made elsewhere before each move
    DC()->ChangeRowSelection(7, true);
    step.Move();
    EXPECT_EQ(c->GetFocusedRecordIndex(), step.Focused) << step.Name;
    EXPECT_EQ(selected(), std::vector<Integer>{step.Focused}) << step.Name;
  }

  // Without the sync flag, and with Ctrl held on the keys, the selection stays as it was.
  DC()->ChangeRowSelection(5, true);
  c->GoToPrev(false);
  EXPECT_EQ(c->GetFocusedRecordIndex(), 28);
  EXPECT_EQ(selected(), (std::vector<Integer>{5, 29}));
  Press(VK_HOME, TShiftState{ssCtrl});
  EXPECT_EQ(c->GetFocusedRecordIndex(), 0);
  EXPECT_EQ(selected(), (std::vector<Integer>{5, 29}));
  Press(VK_END, TShiftState{ssCtrl});
  EXPECT_EQ(c->GetFocusedRecordIndex(), 29);
  EXPECT_EQ(selected(), (std::vector<Integer>{5, 29}));
}

}  // namespace
}  // namespace grid_test
