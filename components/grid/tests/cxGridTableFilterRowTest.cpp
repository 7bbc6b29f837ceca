// The filter row of the grid table view edited in place on the headless desktop: a click focuses
// its cell, typed text opens the cell's editor, Enter (or, with immediate applying, every typed
// character) writes the column's filter condition, and the view shows only the matching towns.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/data/cxCustomData.h"
#include "components/data/cxFilter.h"
#include "components/editors/cxTextEdit.h"
#include "components/grid/cxGridTableViewController.h"
#include "components/grid/tests/GridTableViewFixture.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/windowing/Headless.h"

namespace grid_filter_row_edit_test {
namespace {

using grid_table_view_test::GridTableViewTest;

class FilterRowEditTest : public GridTableViewTest {
 protected:
  void Configure(TcxGridFilterRowApplyChangesMode mode) {
    Grid->GetLookAndFeel()->SetKind(lfOffice11);
    Grid->GetLookAndFeel()->SetNativeStyle(false);
    View->GetOptionsView()->SetGroupByBox(false);
    View->GetOptionsView()->SetIndicator(true);
    View->GetFilterBox()->SetVisible(fvNever);
    View->GetOptionsData()->SetEditing(false);  // records stay read-only; the filter row is not
    View->GetFilterRow()->SetVisible(true);
    View->GetFilterRow()->SetApplyChanges(mode);
    Country = AddColumn("Страна"_a, 100);
    City = AddColumn("Город"_a, 130);
    Lon = AddColumn("Г.Долгота"_a, 70);
    FillTowns();
    Grid->SetBounds(0, 0, 360, 260);
    Layout();
  }
  TcxGridTableController* Ctrl() const { return static_cast<TcxGridTableController*>(View->GetController()); }
  TcxGridFilterRow* FilterRow() const { return View->GetViewData()->GetFilterRow(); }
  // The middle of the filter row's cell of a column.
  TPoint FilterCell(TcxGridColumn* column) {
    TcxCustomGridCellViewInfo* row = FilterRow()->GetViewInfo();
    if (!row) {
      ADD_FAILURE() << "the filter row is not laid out";
      return {};
    }
    for (Integer i = 0; i < Header()->Count(); ++i)
      if (Header()->GetItemColumn(i) == column) {
        const TRect h = Header()->Item(i)->GetBounds();
        const TRect r = row->GetBounds();
        return TPoint{(h.Left + h.Right) / 2, (r.Top + r.Bottom) / 2};
      }
    ADD_FAILURE() << "no header cell";
    return {};
  }
  void ClickAt(const TPoint& client) {
    orv::headless::AdvanceTime(1000);
    const TPoint p = View->GetSite()->ClientToScreen(client);
    orv::headless::MouseMove(p.X, p.Y);
    orv::headless::MouseDown(0);
    Run();
    orv::headless::MouseUp(0);
    Run();
  }
  std::vector<AnsiString> Cities() {
    std::vector<AnsiString> cities;
    for (Integer r = 0; r < View->GetViewData()->GetRowCount(); ++r)
      cities.push_back(View->GetViewData()->GetRow(r)->GetDisplayTexts(City->GetIndex()));
    return cities;
  }
  TcxFilterCriteriaItem* Condition(TcxGridColumn* column) { return FilterRow()->GetFilterCriteriaItem(column->GetIndex()); }

  TcxGridColumn* Country = nullptr;
  TcxGridColumn* City = nullptr;
  TcxGridColumn* Lon = nullptr;
};

TEST_F(FilterRowEditTest, TextTypedIntoAFilterRowCellFiltersTheViewOnEnter) {
  Configure(fracOnCellExit);
  ASSERT_NE(FilterRow(), nullptr);
  ClickAt(FilterCell(City));
  EXPECT_EQ(Ctrl()->GetFocusedRecord(), FilterRow()) << "the click focuses the filter row";
  EXPECT_TRUE(FilterRow()->GetSelected());
  EXPECT_EQ(Ctrl()->GetFocusedItem(), City);
  EXPECT_EQ(View->GetDataController()->GetFocusedRowIndex(), -1);

  orv::headless::TypeUtf8("Рим");
  Run();
  ASSERT_TRUE(Ctrl()->IsEditing()) << "typing opens the cell's editor";
  EXPECT_EQ(Cities().size(), 10u) << "nothing is filtered before the value is applied";
  EXPECT_FALSE(View->GetDataController()->IsEditing()) << "no record goes into editing";

  orv::headless::PressKey(VK_RETURN);
  Run();
  EXPECT_FALSE(Ctrl()->IsEditing());
  EXPECT_EQ(Cities(), (std::vector<AnsiString>{"Рим"_a}));
  ASSERT_NE(Condition(City), nullptr);
  EXPECT_EQ(Condition(City)->GetOperatorCode(), focEqual) << "no wildcard: equality";
  EXPECT_EQ(Ctrl()->GetFocusedRecord(), FilterRow()) << "the filter row keeps the focus while it filters";
  const orv::TImageCheck check =
      orv::MatchGoldenImage(orv::headless::CaptureWindow(View->GetSite()->GetHandle()),
                            std::string(ORV_SOURCE_DIR) + "/components/grid/tests/golden/table-filter-row-typed.png");
  EXPECT_TRUE(check) << check.Message;

  // A wildcard makes it a like condition; Down leaves the filter row for the first town.
  ClickAt(FilterCell(Country));
  orv::headless::TypeUtf8("Ро%");
  orv::headless::PressKey(VK_RETURN);
  Run();
  EXPECT_EQ(Condition(Country)->GetOperatorCode(), focLike);
  EXPECT_TRUE(Cities().empty()) << "no Roman town lies in a country starting Ро";
  ClickAt(FilterCell(City));
  orv::headless::PressKey(VK_DELETE);
  Run();
  // Clearing one cell removes only that column's condition.
  orv::headless::TypeUtf8("М");
  orv::headless::PressKey(VK_BACK);
  orv::headless::PressKey(VK_RETURN);
  Run();
  EXPECT_EQ(Condition(City), nullptr);
  EXPECT_NE(Condition(Country), nullptr);
  EXPECT_EQ(Cities(), (std::vector<AnsiString>{"Москва"_a, "Санкт-Петербург"_a}));
  orv::headless::PressKey(VK_DOWN);
  Run();
  EXPECT_FALSE(FilterRow()->GetSelected());
  EXPECT_EQ(View->GetDataController()->GetFocusedRowIndex(), 0);
}

TEST_F(FilterRowEditTest, TextTypedIntoACellAppliedOnExitCompletesFromTheColumnsValues) {
  Configure(fracOnCellExit);
  ClickAt(FilterCell(City));
  orv::headless::TypeUtf8("Са");
  Run();
  ASSERT_TRUE(Ctrl()->IsEditing());
  auto* edit = dynamic_cast<TcxCustomTextEdit*>(Ctrl()->GetEditingController()->GetEdit());
  ASSERT_NE(edit, nullptr);
  // The completed rest is selected, so typing on replaces it.
  EXPECT_EQ(edit->GetText(), "Санкт-Петербург"_a);
  EXPECT_EQ(edit->GetSelectionStart(), 2);
  EXPECT_EQ(edit->GetSelectionLength(), Integer(AnsiString("Санкт-Петербург"_a).size()) - 2);
  orv::headless::PressKey(VK_RETURN);
  Run();
  EXPECT_EQ(Cities(), (std::vector<AnsiString>{"Санкт-Петербург"_a}));

  // A text no value begins with stays as typed.
  ClickAt(FilterCell(Country));
  orv::headless::TypeUtf8("Ъ");
  Run();
  edit = dynamic_cast<TcxCustomTextEdit*>(Ctrl()->GetEditingController()->GetEdit());
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->GetText(), "Ъ"_a);
  orv::headless::PressKey(VK_ESCAPE);
  Run();
}

TEST_F(FilterRowEditTest, ImmediateApplyingFiltersWithEveryTypedCharacterAndEscapeTakesItBack) {
  Configure(fracImmediately);
  ClickAt(FilterCell(City));
  orv::headless::TypeUtf8("С");
  Run();
  ASSERT_TRUE(Ctrl()->IsEditing());
  EXPECT_EQ(Cities(), (std::vector<AnsiString>{"Санкт-Петербург"_a, "Сидней"_a}));
  ASSERT_NE(Condition(City), nullptr);
  EXPECT_EQ(Condition(City)->GetOperatorCode(), focLike) << "the trailing wildcard is added";
  orv::headless::TypeUtf8("а");
  Run();
  EXPECT_EQ(Cities(), (std::vector<AnsiString>{"Санкт-Петербург"_a}));
  EXPECT_TRUE(Ctrl()->IsEditing()) << "the editor stays open while it filters";
  orv::headless::PressKey(VK_ESCAPE);
  Run();
  EXPECT_EQ(Condition(City), nullptr);
  EXPECT_EQ(Cities().size(), 10u);
}

}  // namespace
}  // namespace grid_filter_row_edit_test
