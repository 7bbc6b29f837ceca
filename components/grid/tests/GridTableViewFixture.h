// A grid with one table view on the headless desktop, optionally set up as the town search's
// main window sets its grid: Office 2003 look, indicator 15 wide with quick customization,
// centred headers, end ellipses, vertical grid lines only, column auto width, white background,
// even rows light grey, odd rows white and a grey selection, six columns of the stored widths
// 150, 245, 66, 61, 65 and 63.
#pragma once

#include <tuple>
#include <vector>

#include "components/foundation/cxClasses.h"
#include "components/foundation/cxStyles.h"
#include "components/grid/cxGrid.h"
#include "components/grid/cxGridStrs.h"
#include "components/grid/cxGridTableViewInfo.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"

namespace grid_table_view_test {

using orv::test::Owned;

struct TTown {
  orv::AnsiLiteral Country, City, GLon, GLat, ELon, ELat;
};

constexpr Integer kFixtureTownCount = 10;

// Ten towns as the search shows them.
inline const TTown* FixtureTowns() {
  static const TTown towns[kFixtureTownCount] = {
      {"Россия"_a, "Москва"_a, "37в37"_a, "55с45"_a, "55°18'"_a, "38°27'"_a},
      {"Россия"_a, "Санкт-Петербург"_a, "30в19"_a, "59с56"_a, "54°07'"_a, "43°18'"_a},
      {"Франция"_a, "Париж"_a, "2в21"_a, "48с51"_a, "21°42'"_a, "43°48'"_a},
      {"Германия"_a, "Берлин"_a, "13в24"_a, "52с31"_a, "34°05'"_a, "43°53'"_a},
      {"Италия"_a, "Рим"_a, "12в29"_a, "41с53"_a, "27°59'"_a, "34°13'"_a},
      {"Испания"_a, "Мадрид"_a, "3з42"_a, "40с25"_a, "13°38'"_a, "38°07'"_a},
      {"Австралия"_a, "Сидней"_a, "151в12"_a, "33ю52"_a, "168°43'"_a, "-42°06'"_a},
      {"Япония"_a, "Токио"_a, "139в41"_a, "35с41"_a, "153°12'"_a, "12°55'"_a},
      {"Египет"_a, "Каир"_a, "31в14"_a, "30с03"_a, "42°06'"_a, "15°02'"_a},
      {"Канада"_a, "Оттава"_a, "75з42"_a, "45с25"_a, "292°57'"_a, "66°14'"_a},
  };
  return towns;
}

class GridTableViewTest : public orv::test::HeadlessFormTest {
 protected:
  GridTableViewTest() : HeadlessFormTest({0, 0, 760, 480}) {}

  void SetUp() override {
    HeadlessFormTest::SetUp();
    Grid = new TcxGrid(Form.get());
    Grid->SetParent(Form.get());
    Grid->SetBounds(0, 0, 660, 300);
    Grid->SetBorderStyle(cxcbsNone);
    Grid->GetFont()->SetName("MS Sans Serif");
    Grid->GetFont()->SetHeight(-11);
    View = static_cast<TcxGridTableView*>(Grid->CreateView(TcxGridTableView::StaticClass()));
    Grid->AddLevel()->SetGridView(View);
  }
  void TearDown() override {
    cxSetResourceString(&scxGridNoDataInfoText, LoadResString(&scxGridNoDataInfoText));
    cxSetResourceString(&scxGridColumnsQuickCustomizationHint, LoadResString(&scxGridColumnsQuickCustomizationHint));
    Form.reset();
    HeadlessFormTest::TearDown();
  }

  TcxGridColumn* AddColumn(const AnsiString& caption, Integer width) {
    TcxGridColumn* column = View->CreateColumn();
    column->SetCaption(caption);
    column->SetWidth(width);
    return column;
  }
  TcxStyle* MakeStyle(TColor color, Boolean withFont = true) {
    auto* style = new TcxStyle(Form.get());
    style->SetColor(color);
    if (withFont) {
      style->GetFont()->SetName("MS Sans Serif");
      style->GetFont()->SetHeight(-11);
      style->SetTextColor(clWindowText);
    }
    return style;
  }

  // The main window's grid with its six visible columns.
  void ConfigureAsApplication() {
    Grid->GetLookAndFeel()->SetKind(lfOffice11);
    Grid->GetLookAndFeel()->SetNativeStyle(false);
    cxSetResourceString(&scxGridNoDataInfoText, "Нет данных"_a);
    cxSetResourceString(&scxGridColumnsQuickCustomizationHint, "Управление видимостью столбцов"_a);
    TcxGridTableOptionsView* options = View->GetOptionsView();
    options->SetColumnAutoWidth(true);
    options->SetGridLines(glVertical);
    options->SetIndicator(true);
    options->SetIndicatorWidth(15);
    options->SetGroupByBox(false);
    options->SetGroupRowStyle(grsOffice11);
    options->SetCellEndEllipsis(true);
    options->SetHeaderEndEllipsis(true);
    View->GetFilterBox()->SetVisible(fvNever);
    View->GetOptionsCustomize()->SetColumnsQuickCustomization(true);
    View->GetOptionsSelection()->SetCellSelect(false);
    View->GetOptionsData()->SetEditing(false);
    View->GetStyles()->SetBackground(MakeStyle(clWhite, false));
    View->GetStyles()->SetContentEven(MakeStyle(TColor(0xF0F0F0)));
    View->GetStyles()->SetContentOdd(MakeStyle(clWhite));
    View->GetStyles()->SetSelection(MakeStyle(TColor(0xB6B6B6)));
    struct TColumnDef {
      orv::AnsiLiteral Caption;
      Integer Width;
    };
    static const TColumnDef columns[] = {{"Страна"_a, 150},   {"Город"_a, 245}, {"Г.Долгота"_a, 66},
                                         {"Г.Широта"_a, 61}, {"Э.Долгота"_a, 65}, {"Э.Широта"_a, 63}};
    for (const TColumnDef& def : columns) {
      TcxGridColumn* column = AddColumn(AnsiString(def.Caption), def.Width);
      column->SetHeaderAlignmentHorz(taCenter);
      column->SetHeaderAlignmentVert(vaCenter);
      column->GetOptions()->SetFiltering(false);
      column->GetOptions()->SetGrouping(false);
      column->GetOptions()->SetMoving(false);
    }
  }
  void FillTowns(Integer count = 10) {
    TcxCustomDataController* dc = View->GetDataController();
    dc->BeginUpdate();
    dc->SetRecordCount(count);
    const TTown* towns = FixtureTowns();
    for (Integer r = 0; r < count; ++r) {
      const TTown& t = towns[r % kFixtureTownCount];
      const orv::AnsiLiteral values[] = {t.Country, t.City, t.GLon, t.GLat, t.ELon, t.ELat};
      for (Integer c = 0; c < 6 && c < View->GetColumnCount(); ++c) dc->SetValue(r, c, Variant(AnsiString(values[c])));
    }
    dc->EndUpdate();
  }
  void Layout() {
    Show();
    Run();
  }

  TcxGridTableViewInfo* ViewInfo() const { return static_cast<TcxGridTableViewInfo*>(View->GetViewInfo()); }
  TcxGridRowsViewInfo* Rows() const { return ViewInfo()->RowsViewInfo(); }
  TcxGridDataRowViewInfo* Row(Integer i) const { return static_cast<TcxGridDataRowViewInfo*>(Rows()->Row(i)); }
  TcxGridHeaderViewInfo* Header() const { return ViewInfo()->HeaderViewInfo(); }
  TcxGridIndicatorViewInfo* Indicator() const { return ViewInfo()->IndicatorViewInfo(); }

  TcxGrid* Grid = nullptr;
  TcxGridTableView* View = nullptr;
};

}  // namespace grid_table_view_test
