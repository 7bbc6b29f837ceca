// The grid table view's model: its options and their rules, columns, rows and view data, the
// filter row, the recently used filters, summaries and sorting groups by a summary, over unbound
// data on the headless desktop.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "components/foundation/cxClasses.h"
#include "components/grid/cxGrid.h"
#include "components/grid/cxGridLevel.h"
#include "components/grid/cxGridStrs.h"
#include "components/grid/cxGridTableView.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/forms/Filer.h"

namespace grid_table_model_test {
namespace {

using orv::test::Owned;

struct TTownRow {
  orv::AnsiLiteral Country, City;
  Integer Population;
};

const TTownRow kTowns[] = {
    {"Россия"_a, "Москва"_a, 12},   {"Франция"_a, "Париж"_a, 2},    {"Россия"_a, "Омск"_a, 1},
    {"Германия"_a, "Берлин"_a, 3},  {"Франция"_a, "Лион"_a, 1},     {"Россия"_a, "Тверь"_a, 1},
    {"Германия"_a, "Мюнхен"_a, 1},
};
constexpr Integer kTownCount = 7;

class TableViewModelTest : public orv::test::HeadlessFormTest {
 protected:
  TableViewModelTest() : HeadlessFormTest({0, 0, 500, 300}) {}

  void SetUp() override {
    HeadlessFormTest::SetUp();
    Grid = new TcxGrid(Form.get());
    Grid->SetParent(Form.get());
    Grid->SetBounds(0, 0, 480, 280);
    View = static_cast<TcxGridTableView*>(Grid->CreateView(TcxGridTableView::StaticClass()));
    Grid->AddLevel()->SetGridView(View);
    Country = AddColumn("Страна"_a);
    City = AddColumn("Город"_a);
    Population = AddColumn("Население"_a);
    Population->GetDataBinding()->SetValueType("Integer");
    TcxCustomDataController* dc = View->GetDataController();
    dc->BeginUpdate();
    dc->SetRecordCount(kTownCount);
    for (Integer r = 0; r < kTownCount; ++r) {
      dc->SetValue(r, 0, Variant(AnsiString(kTowns[r].Country)));
      dc->SetValue(r, 1, Variant(AnsiString(kTowns[r].City)));
      dc->SetValue(r, 2, Variant(kTowns[r].Population));
    }
    dc->EndUpdate();
  }
  void TearDown() override {
    cxSetResourceString(&scxGridFilterRowInfoText, LoadResString(&scxGridFilterRowInfoText));
    HeadlessFormTest::TearDown();
  }

  TcxGridColumn* AddColumn(const AnsiString& caption) {
    TcxGridColumn* column = View->CreateColumn();
    column->SetCaption(caption);
    return column;
  }
  std::vector<AnsiString> Texts(TcxGridColumn* column) {
    std::vector<AnsiString> texts;
    for (Integer i = 0; i < View->GetViewData()->GetRowCount(); ++i)
      texts.push_back(View->GetViewData()->GetRow(i)->GetDisplayTexts(column->GetIndex()));
    return texts;
  }

  TcxGrid* Grid = nullptr;
  TcxGridTableView* View = nullptr;
  TcxGridColumn* Country = nullptr;
  TcxGridColumn* City = nullptr;
  TcxGridColumn* Population = nullptr;
};

// ---- Options ----

TEST_F(TableViewModelTest, IntegerOptionsKeepTheirLimits) {
  struct TCase {
    const char* What;
    std::function<void(Integer)> Set;
    std::function<Integer()> Get;
    Integer Value, Stored;
  };
  TcxGridTableOptionsView* options = View->GetOptionsView();
  const TCase cases[] = {
      {"separator width", [&](Integer v) { View->GetFilterRow()->SetSeparatorWidth(v); },
       [&] { return View->GetFilterRow()->GetSeparatorWidth(); }, 1, 2},
      {"indicator width", [&](Integer v) { options->SetIndicatorWidth(v); }, [&] { return options->GetIndicatorWidth(); }, -3, 0},
      {"header height", [&](Integer v) { options->SetHeaderHeight(v); }, [&] { return options->GetHeaderHeight(); }, -1, 0},
      {"row separator", [&](Integer v) { options->SetRowSeparatorWidth(v); }, [&] { return options->GetRowSeparatorWidth(); }, -2, 0},
      {"preview indent", [&](Integer v) { View->GetPreview()->SetLeftIndent(v); }, [&] { return View->GetPreview()->GetLeftIndent(); }, -4, 0},
      {"column min width", [&](Integer v) { City->SetMinWidth(v); }, [&] { return City->GetMinWidth(); }, -5, 0},
      {"drop-down count", [&](Integer v) { View->GetFilterBox()->SetMRUItemsListDropDownCount(v); },
       [&] { return View->GetFilterBox()->GetMRUItemsListDropDownCount(); }, -1, 0},
      {"popup width", [&](Integer v) { View->GetFiltering()->GetItemPopup()->SetDropDownWidth(v); },
       [&] { return View->GetFiltering()->GetItemPopup()->GetDropDownWidth(); }, -3, 0},
  };
  for (const TCase& c : cases) {
    c.Set(c.Value);
    EXPECT_EQ(c.Get(), c.Stored) << c.What;
  }
}

TEST_F(TableViewModelTest, CellMultiSelectHoldsMultiSelectOnUntilItIsSwitchedOff) {
  TcxGridTableOptionsSelection* selection = View->GetOptionsSelection();
  selection->SetCellSelect(false);
  selection->SetCellMultiSelect(true);
  EXPECT_TRUE(selection->GetMultiSelect());
  EXPECT_FALSE(selection->GetInvertSelect());
  EXPECT_TRUE(selection->GetCellSelect());
  selection->SetMultiSelect(false);
  selection->SetInvertSelect(true);
  selection->SetCellSelect(false);
  EXPECT_TRUE(selection->GetMultiSelect());
  EXPECT_FALSE(selection->GetInvertSelect());
  EXPECT_TRUE(selection->GetCellSelect());
  selection->SetCellMultiSelect(false);
  selection->SetMultiSelect(false);
  EXPECT_FALSE(selection->GetMultiSelect());
}

TEST_F(TableViewModelTest, StoredGroupFootersAcceptsABooleanTextAndAnOrdinal) {
  View->SetStoredPropertyValue("GroupFooters", Variant(AnsiString("True")));
  EXPECT_EQ(View->GetOptionsView()->GetGroupFooters(), gfVisibleWhenExpanded);
  View->SetStoredPropertyValue("GroupFooters", Variant(AnsiString("False")));
  EXPECT_EQ(View->GetOptionsView()->GetGroupFooters(), gfInvisible);
  View->SetStoredPropertyValue("GroupFooters", Variant(2));
  EXPECT_EQ(View->GetOptionsView()->GetGroupFooters(), gfAlwaysVisible);
  Variant value;
  View->GetStoredPropertyValue("GroupFooters", value);
  EXPECT_EQ(value.AsInteger(), 2);
}

TEST_F(TableViewModelTest, TheFilterRowsDefaultInfoTextIsNotStoredAndFollowsTheLocalizedText) {
  TcxGridFilterRowOptions* filterRow = View->GetFilterRow();
  filterRow->SetInfoText(filterRow->DefaultInfoText());
  EXPECT_FALSE(filterRow->IsInfoTextStored());
  cxSetResourceString(&scxGridFilterRowInfoText, "Условие отбора"_a);
  EXPECT_EQ(filterRow->GetInfoText(), "Условие отбора"_a);
  filterRow->SetInfoText("Фильтр"_a);
  EXPECT_TRUE(filterRow->IsInfoTextStored());
  cxSetResourceString(&scxGridFilterRowInfoText, LoadResString(&scxGridFilterRowInfoText));
  EXPECT_EQ(filterRow->GetInfoText(), "Фильтр"_a);
}

TEST_F(TableViewModelTest, ThePreviewColumnIsNoColumnAndOnlyAShownPreviewStopsCellMerging) {
  City->GetOptions()->SetCellMerging(true);
  EXPECT_TRUE(City->CanCellMerging());
  View->GetPreview()->SetVisible(true);  // without a column it is not shown
  EXPECT_TRUE(View->CanCellMerging());
  View->GetPreview()->SetColumn(Population);
  EXPECT_FALSE(View->CanCellMerging());
  EXPECT_FALSE(City->CanCellMerging());
  EXPECT_FALSE(Population->GetVisible());
  EXPECT_EQ(View->GetVisibleColumnCount(), 2);
  View->GetPreview()->SetColumn(nullptr);
  EXPECT_TRUE(Population->GetVisible());
  View->GetOptionsView()->SetRowSeparatorWidth(1);
  EXPECT_FALSE(View->CanCellMerging());
  // A removed preview column leaves the preview.
  View->GetPreview()->SetColumn(Population);
  Population->Free();
  EXPECT_EQ(View->GetPreview()->GetColumn(), nullptr);
}

TEST_F(TableViewModelTest, AssigningAViewCopiesItsEventsAndSpecialRows) {
  struct THandler : public TObject {
    void Click(TcxGridTableView*, TcxGridColumn*) {}
    void Left(TObject*) {}
  } handler;
  View->SetOnColumnHeaderClick(TcxGridColumnEvent(&handler, &THandler::Click));
  View->SetOnLeftPosChanged(TNotifyEvent(&handler, &THandler::Left));
  View->GetFilterRow()->SetVisible(true);
  View->GetFilterRow()->SetApplyChanges(fracImmediately);
  View->GetNewItemRow()->SetSeparatorWidth(9);
  View->GetPreview()->SetMaxLineCount(7);
  auto* copy = static_cast<TcxGridTableView*>(Grid->CreateView(TcxGridTableView::StaticClass()));
  copy->Assign(View);
  EXPECT_EQ(copy->GetOnColumnHeaderClick(), View->GetOnColumnHeaderClick());
  EXPECT_EQ(copy->GetOnLeftPosChanged(), View->GetOnLeftPosChanged());
  EXPECT_TRUE(copy->GetFilterRow()->GetVisible());
  EXPECT_EQ(copy->GetFilterRow()->GetApplyChanges(), fracImmediately);
  EXPECT_NE(copy->GetViewData()->GetFilterRow(), nullptr);
  EXPECT_EQ(copy->GetNewItemRow()->GetSeparatorWidth(), 9);
  EXPECT_EQ(copy->GetPreview()->GetMaxLineCount(), 7);
  EXPECT_EQ(copy->GetColumnCount(), 3);
}

TEST_F(TableViewModelTest, AnOlderDescriptionsOptionsGoToThePropertiesThatReplacedThem) {
  const AnsiString text =
      "object Older: TForm\n"
      "  object grdOlder: TcxGrid\n"
      "    object grdOlderView: TcxGridTableView\n"
      "      OptionsView.NewItemRow = True\n"
      "      OptionsView.NewItemRowSeparatorColor = clRed\n"
      "      OptionsView.NewItemRowSeparatorWidth = 4\n"
      "      Filtering.Visible = fvAlways\n"
      "      Filtering.DropDownWidth = 120\n"
      "    end\n"
      "  end\n"
      "end\n";
  Owned<TForm> host(new TForm(nullptr));
  host->AfterConstruction();
  host->SetName("Older");
  orv::ReadComponentFromText(host.get(), text);
  auto* view = dynamic_cast<TcxGridTableView*>(host->FindComponent("grdOlderView"));
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(view->GetNewItemRow()->GetVisible());
  EXPECT_EQ(view->GetNewItemRow()->GetSeparatorColor(), clRed);
  EXPECT_EQ(view->GetNewItemRow()->GetSeparatorWidth(), 4);
  EXPECT_EQ(view->GetFilterBox()->GetVisible(), fvAlways);
  EXPECT_EQ(view->GetFiltering()->GetItemPopup()->GetDropDownWidth(), 120);
  EXPECT_NE(view->GetViewData()->GetNewItemRecord(), nullptr);
  // They are written under their new names only.
  const AnsiString written = orv::WriteComponentToText(host.get());
  EXPECT_EQ(written.find("OptionsView.NewItemRow"), AnsiString::npos) << written;
  EXPECT_NE(written.find("NewItemRow.Visible = True"), AnsiString::npos) << written;
  EXPECT_NE(written.find("FilterBox.Visible = fvAlways"), AnsiString::npos) << written;
}

// ---- Columns ----

TEST_F(TableViewModelTest, AColumnsWidthKeepsToItsMinimumUnlessItsSizingIsFixed) {
  City->SetMinWidth(40);
  City->SetWidth(10);
  EXPECT_EQ(City->GetWidth(), 40);
  City->GetOptions()->SetHorzSizing(false);
  City->SetWidth(0);
  EXPECT_EQ(City->GetWidth(), 0);
  City->SetWidth(33);
  EXPECT_EQ(City->GetMinWidth(), 33);
  EXPECT_FALSE(City->CanHorzSize());
  City->GetOptions()->SetHorzSizing(true);
  View->GetOptionsCustomize()->SetColumnHorzSizing(false);
  EXPECT_FALSE(City->CanHorzSize());
}

TEST_F(TableViewModelTest, AFooterAlignmentEqualToTheEditorsIsNotStoredAndStaysAfterTheEditorChanges) {
  // Editor properties of its own: the shared default editor stays as it is.
  City->SetPropertiesClassName("TcxTextEditProperties");
  ASSERT_NE(City->GetPropertiesObject(), nullptr);
  const TAlignment editorAlignment = City->GetFooterAlignmentHorz();
  City->SetFooterAlignmentHorz(editorAlignment == taLeftJustify ? taRightJustify : taLeftJustify);
  EXPECT_TRUE(City->IsFooterAlignmentHorzStored());
  City->SetFooterAlignmentHorz(editorAlignment);
  EXPECT_FALSE(City->IsFooterAlignmentHorzStored());
  City->SetFooterAlignmentHorz(taCenter);
  City->GetPropertiesValue()->GetAlignment()->SetHorz(taCenter);
  EXPECT_FALSE(City->IsFooterAlignmentHorzStored());
  City->GetPropertiesValue()->GetAlignment()->SetHorz(taRightJustify);
  EXPECT_EQ(City->GetFooterAlignmentHorz(), taCenter);
}

TEST_F(TableViewModelTest, UngroupingByDragShowsAColumnAgainOnlyWhenItWasVisibleBefore) {
  ASSERT_TRUE(Country->ChangeGroupIndex(0));
  EXPECT_FALSE(Country->GetVisible());
  EXPECT_EQ(View->GetGroupedColumnCount(), 1);
  EXPECT_EQ(View->GetGroupedColumn(0), Country);
  Country->ChangeGroupIndex(-1);
  EXPECT_TRUE(Country->GetVisible());

  City->SetVisible(false);
  City->ChangeGroupIndex(0);
  City->ChangeGroupIndex(-1);
  EXPECT_FALSE(City->GetVisible());

  City->GetOptions()->SetGrouping(false);
  EXPECT_FALSE(City->ChangeGroupIndex(0));
  EXPECT_EQ(City->GetGroupIndex(), -1);
}

TEST_F(TableViewModelTest, CopyingWithCellMultiSelectTakesTheSelectedColumnsAndThePreview) {
  View->GetOptionsSelection()->SetCellMultiSelect(true);
  std::vector<TcxCustomGridTableItem*> list;
  View->GetItemsForCopy(list, false);
  EXPECT_TRUE(list.empty());
  View->GetItemsForCopy(list, true);
  EXPECT_EQ(list.size(), 3u);
  City->SetSelected(true);
  View->GetItemsForCopy(list, false);
  EXPECT_EQ(list, (std::vector<TcxCustomGridTableItem*>{City}));
  View->GetPreview()->SetColumn(Population);
  View->GetPreview()->SetVisible(true);
  View->GetItemsForCopy(list, false);
  EXPECT_EQ(list, (std::vector<TcxCustomGridTableItem*>{City, Population}));
  View->GetOptionsBehavior()->SetCopyPreviewToClipboard(false);
  View->GetItemsForCopy(list, false);
  EXPECT_EQ(list, (std::vector<TcxCustomGridTableItem*>{City}));
}

// ---- Rows ----

TEST_F(TableViewModelTest, GroupRowsShowTheirCaptionWithTheSummaryAndExpandByKeys) {
  Country->SetGroupIndex(0);
  View->GetDataController()->GetSummary()->GetDefaultGroupSummaryItems()->AddItem(City, spGroup, skCount, "");
  TcxGridViewData* data = View->GetViewData();
  ASSERT_EQ(data->GetRowCount(), 3);
  auto* group = dynamic_cast<TcxGridGroupRow*>(data->GetRow(0));
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->GetGroupedColumn(), Country);
  EXPECT_EQ(group->GetCaption().substr(0, 9), "Страна : "_a);
  EXPECT_NE(group->GetDisplayTextWithSummary(), group->GetCaption());
  EXPECT_FALSE(group->GetIsData());

  Word key = VK_RIGHT;
  group->KeyDown(key, TShiftState());
  EXPECT_EQ(key, 0);
  EXPECT_GT(data->GetRowCount(), 3);
  EXPECT_TRUE(data->GetRow(0)->GetExpanded());
  EXPECT_NE(dynamic_cast<TcxGridDataRow*>(data->GetRow(1)), nullptr);
  key = VK_LEFT;
  data->GetRow(0)->KeyDown(key, TShiftState());
  EXPECT_EQ(data->GetRowCount(), 3);

  // Groups that are always expanded do not answer the keys.
  View->GetDataController()->SetOptions(View->GetDataController()->GetOptions() + TcxDataControllerOptions{dcoGroupsAlwaysExpanded});
  const Integer rows = data->GetRowCount();
  key = VK_LEFT;
  data->GetRow(0)->KeyDown(key, TShiftState());
  EXPECT_EQ(key, VK_LEFT);
  EXPECT_EQ(data->GetRowCount(), rows);
}

TEST_F(TableViewModelTest, GroupsSortByTheirSummaryAndTiesKeepTheRecordOrder) {
  Country->SetGroupIndex(0);
  TcxDataSummaryItem* count =
      View->GetDataController()->GetSummary()->GetDefaultGroupSummaryItems()->AddItem(City, spGroup, skCount, "");
  count->SetSorted(true);
  Country->SetSortOrder(soDescending);
  // Россия 3, then Германия and Франция with 2 each: the tie keeps the grouping's order
  // (descending by name), which the summary's direction does not reverse.
  std::vector<AnsiString> groups;
  for (Integer i = 0; i < View->GetViewData()->GetRowCount(); ++i)
    groups.push_back(View->GetViewData()->GetRow(i)->GetDisplayTexts(Country->GetIndex()));
  EXPECT_EQ(groups, (std::vector<AnsiString>{"Россия"_a, "Франция"_a, "Германия"_a}));

  Country->SetSortOrder(soAscending);
  groups.clear();
  for (Integer i = 0; i < View->GetViewData()->GetRowCount(); ++i)
    groups.push_back(View->GetViewData()->GetRow(i)->GetDisplayTexts(Country->GetIndex()));
  EXPECT_EQ(groups, (std::vector<AnsiString>{"Германия"_a, "Франция"_a, "Россия"_a}));
  // Expanded, each group's rows stay under it.
  View->GetViewData()->ExpandAll(true);
  EXPECT_EQ(Texts(Country).back(), "Россия"_a);
  EXPECT_EQ(View->GetViewData()->GetRowCount(), 3 + kTownCount);
}

TEST_F(TableViewModelTest, TheFilterRowChoosesLikeOnlyForWildcardsAndClearsOneColumn) {
  View->GetFilterRow()->SetVisible(true);
  TcxGridFilterRow* row = View->GetViewData()->GetFilterRow();
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(View->GetViewData()->RecordOfKind(2, 0), row);
  EXPECT_EQ(View->GetViewData()->KindOfRecord(row), 2);
  struct TCase {
    orv::AnsiLiteral Value;
    TcxFilterOperatorCode Operator;
    Integer Rows;
  };
  const TCase cases[] = {{"Омск"_a, focEqual, 1}, {"М_сква"_a, focLike, 1}, {"М%"_a, focLike, 2}};
  for (const TCase& c : cases) {
    row->SetValue(City->GetIndex(), Variant(AnsiString(c.Value)));
    TcxFilterCriteriaItem* item = row->GetFilterCriteriaItem(City->GetIndex());
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetOperatorCode(), c.Operator) << AnsiString(c.Value);
    EXPECT_EQ(View->GetViewData()->GetRowCount(), c.Rows) << AnsiString(c.Value);
    Variant value;
    row->GetValue(City->GetIndex(), value);
    EXPECT_EQ(value.AsString(), AnsiString(c.Value));
  }
  row->SetValue(Country->GetIndex(), Variant(AnsiString("Россия"_a)));
  EXPECT_EQ(Texts(City), (std::vector<AnsiString>{"Москва"_a}));
  row->SetValue(City->GetIndex(), Variant(AnsiString()));
  EXPECT_EQ(row->GetFilterCriteriaItem(City->GetIndex()), nullptr);
  EXPECT_NE(row->GetFilterCriteriaItem(Country->GetIndex()), nullptr);
  EXPECT_EQ(View->GetViewData()->GetRowCount(), 3);

  View->GetFilterRow()->SetVisible(false);
  EXPECT_EQ(View->GetViewData()->GetFilterRow(), nullptr);
  EXPECT_EQ(View->GetViewData()->RecordOfKind(2, 0), nullptr);
}

// ---- Recently used filters ----

TEST_F(TableViewModelTest, RecentlyUsedFiltersOfferAllButTheFilterInForce) {
  TcxCustomGridTableFiltering* filtering = View->GetFiltering();
  filtering->SetMRUItemsListCount(2);
  TcxDataFilterCriteria* filter = View->GetDataController()->GetFilter();
  auto apply = [&](const AnsiString& city) {
    filter->BeginUpdate();
    filter->Clear();
    filter->AddItem(filter->GetRoot(), City, focEqual, Variant(city), city);
    filter->SetActive(true);
    filter->EndUpdate();
    filtering->AddFilterToMRUItems();
  };
  apply("Омск"_a);
  EXPECT_EQ(filtering->GetMRUItems()->GetItemCount(), 1);
  EXPECT_EQ(filtering->GetMRUItems()->GetVisibleItemCount(), 0);
  EXPECT_FALSE(filtering->IsMRUItemsListAvailable());
  apply("Лион"_a);
  apply("Тверь"_a);
  apply("Лион"_a);  // moves to the front again
  TcxGridFilterMRUItems* items = filtering->GetMRUItems();
  EXPECT_EQ(items->GetItemCount(), 3);  // two shown, plus the one in force
  EXPECT_EQ(items->GetVisibleItemCount(), 2);
  EXPECT_TRUE(items->GetItem(0)->IsSameFilter(filter));
  EXPECT_TRUE(filtering->IsMRUItemsListAvailable());

  // Choosing an entry applies its conditions and keeps the filter active.
  TcxGridFilterMRUItem* tver = items->GetVisibleItemAt(0);
  tver->ApplyTo(filter);
  EXPECT_EQ(Texts(City), (std::vector<AnsiString>{"Тверь"_a}));
  EXPECT_TRUE(filter->GetActive());
}

}  // namespace
}  // namespace grid_table_model_test
