// The filter drop-downs of a dataset-bound view over the fixture town table, driven by the mouse
// and keys of the headless desktop: a column's filter button lists the column's values in the
// locale's order and filters the grid by the one clicked or by the ones checked; the filter box's
// drop-down lists the recently used filters and applies one; the view's filter dialog hooks.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/data/tests/DBDataFixture.h"
#include "components/editors/cxButtons.h"
#include "components/filtercontrol/cxFilterControlDialog.h"
#include "components/filtercontrol/cxFilterDialog.h"
#include "components/grid/cxGrid.h"
#include "components/grid/cxGridCustomTableViewFiltering.h"
#include "components/grid/cxGridDBTableView.h"
#include "components/grid/cxGridFilterPopup.h"
#include "components/grid/cxGridLevel.h"
#include "components/grid/cxGridTableViewInfo.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace grid_filter_popup_test {

using orv::test::Owned;

std::string PopupGoldenPath(const char* name) {
  return std::string(ORV_SOURCE_DIR) + "/components/grid/tests/golden/" + name;
}

class TGridFilterPopupHost : public TForm {
  ORV_CLASS(TGridFilterPopupHost, TForm)
 public:
  explicit TGridFilterPopupHost(TComponent* owner) : TForm(owner) {}
};

ORV_PUBLISH(TGridFilterPopupHost) {}

const char* const kPopupGridText =
    "object Host: TGridFilterPopupHost\n"
    "object grdTowns: TcxGrid\n"
    "  Left = 0\n"
    "  Top = 0\n"
    "  Width = 460\n"
    "  Height = 240\n"
    "  LookAndFeel.Kind = lfOffice11\n"
    "  LookAndFeel.NativeStyle = False\n"
    "  Font.Height = -11\n"
    "  Font.Name = 'MS Sans Serif'\n"
    "  object grdTownsView: TcxGridDBTableView\n"
    "    DataController.DataSource = dsTowns\n"
    "    DataController.Options = [dcoAnsiSort]\n"
    "    OptionsView.ShowColumnFilterButtons = sfbAlways\n"
    "    OptionsView.GroupByBox = False\n"
    "    object grdTownsViewCOUNTRY: TcxGridDBColumn\n"
    "      DataBinding.FieldName = 'COUNTRY'\n"
    "      Width = 170\n"
    "    end\n"
    "    object grdTownsViewCITY: TcxGridDBColumn\n"
    "      DataBinding.FieldName = 'CITY'\n"
    "      Width = 120\n"
    "    end\n"
    "    object grdTownsViewLAT: TcxGridDBColumn\n"
    "      DataBinding.FieldName = 'LAT'\n"
    "      Width = 80\n"
    "    end\n"
    "  end\n"
    "  object grdTownsLevel: TcxGridLevel\n"
    "    GridView = grdTownsView\n"
    "  end\n"
    "end\n"
    "end\n";

class GridFilterPopupTest : public orv::test::HeadlessFormTest {
 protected:
  GridFilterPopupTest() : HeadlessFormTest({0, 0, 480, 460}) {}

  void SetUp() override {
    HeadlessFormTest::SetUp();
    Temp.Write("ORVANE.DBF", dbftest::TownTableBytes());
    Form->SetName("Host");
    auto* database = new TDsDatabase(Form.get());
    database->SetDatabaseName(Temp.Dir);
    Table = new TDsDbfTable(Form.get());
    Table->SetDatabase(database);
    Table->SetCodePage(dBASE_RUS_cp866);
    Table->SetReadOnly(true);
    Table->SetTableName("ORVANE.DBF");
    Table->Open();
    auto* source = new TDataSource(Form.get());
    source->SetName("dsTowns");
    source->SetDataSet(Table);
    AnsiString text = kPopupGridText;
    text.replace(text.find("TGridFilterPopupHost"), 20, Form->ClassName());
    orv::ReadComponentFromText(Form.get(), text);
    Grid = dynamic_cast<TcxGrid*>(Form->FindComponent("grdTowns"));
    ASSERT_NE(Grid, nullptr);
    View = dynamic_cast<TcxGridDBTableView*>(Form->FindComponent("grdTownsView"));
    ASSERT_NE(View, nullptr);
    Show();
    Run();
  }
  void TearDown() override {
    orv::headless::SetIdleHandler(nullptr);
    HeadlessFormTest::TearDown();
  }

  TcxGridDBColumn* Column(const char* field) const {
    return dynamic_cast<TcxGridDBColumn*>(Form->FindComponent(AnsiString("grdTownsView") + field));
  }
  TcxCustomGridTableController* Ctrl() const { return View->GetTableController(); }
  TcxGridFilterPopup* FilterPopup() const { return static_cast<TcxGridFilterPopup*>(Ctrl()->GetFilterPopup()); }
  TcxGridFilterMRUItemsPopup* MRUPopup() const {
    return static_cast<TcxGridFilterMRUItemsPopup*>(Ctrl()->GetFilterMRUItemsPopup());
  }
  TcxCustomDataController* DC() const { return View->GetDataController(); }
  TcxGridTableViewInfo* ViewInfo() const { return static_cast<TcxGridTableViewInfo*>(View->GetViewInfo()); }
  TcxGridColumnHeaderViewInfo* HeaderOf(TcxGridColumn* column) const {
    TcxGridHeaderViewInfo* header = ViewInfo()->HeaderViewInfo();
    for (Integer i = 0; i < header->Count(); ++i)
      if (header->GetItemColumn(i) == column) return header->Item(i);
    return nullptr;
  }
  TcxGridColumnHeaderFilterButtonViewInfo* FilterButtonOf(TcxGridColumn* column) const {
    TcxGridColumnHeaderViewInfo* header = HeaderOf(column);
    for (Integer i = 0; header && i < header->AreaCount(); ++i)
      if (auto* button = dynamic_cast<TcxGridColumnHeaderFilterButtonViewInfo*>(header->Area(i))) return button;
    return nullptr;
  }
  static TPoint Centre(const TRect& r) { return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
  void ClickSite(const TPoint& client) {
    const TPoint p = View->GetSite()->ClientToScreen(client);
    orv::headless::AdvanceTime(1000);
    orv::headless::MouseMove(p.X, p.Y);
    Run();
    orv::headless::MouseDown(0);
    Run();
    orv::headless::MouseUp(0);
    Run();
  }
  // Opens the column's filter drop-down by a click on its header's filter button.
  TcxGridFilterPopup* OpenFilterPopup(TcxGridColumn* column) {
    TcxGridFilterPopup* popup = FilterPopup();
    popup->SetOwnLoop(false);  // the test drives the desktop's loop itself
    TcxGridColumnHeaderFilterButtonViewInfo* button = FilterButtonOf(column);
    EXPECT_NE(button, nullptr);
    if (!button) return popup;
    ClickSite(Centre(button->GetBounds()));
    EXPECT_TRUE(popup->IsVisible());
    return popup;
  }
  std::vector<AnsiString> ListTexts(TcxGridPopupListBox* list) const {
    std::vector<AnsiString> texts;
    for (Integer i = 0; i < list->GetItems()->GetCount(); ++i) texts.push_back(list->GetItems()->Get(i));
    return texts;
  }
  // A click on an entry of a drop-down's list: on its check box, or on its text.
  void ClickEntry(TcxGridPopupListBox* list, Integer index, bool onCheck = false) {
    ASSERT_GE(index, 0);
    TWinControl* inner = list->GetInnerListBox();
    const TRect r = list->GetInnerListBox()->ItemRect(index);
    const TPoint client{onCheck ? r.Left + list->CheckAreaWidth() / 2 : r.Right - 10, (r.Top + r.Bottom) / 2};
    const TPoint p = inner->ClientToScreen(client);
    orv::headless::AdvanceTime(1000);
    orv::headless::MouseMove(p.X, p.Y);
    Run();
    orv::headless::MouseDown(0);
    Run();
    orv::headless::MouseUp(0);
    Run();
  }
  static void Key(int vk) {
    orv::headless::PressKey(vk);
    Run();
  }
  // The towns the table holds whose field has one of the texts, counted by walking the table.
  Integer CountWhere(const char* field, const std::vector<AnsiString>& texts) {
    Integer count = 0;
    for (Table->First(); !Table->GetEOF(); Table->Next()) {
      const AnsiString value = Table->FieldByName(field)->GetAsString();
      for (const AnsiString& text : texts)
        if (value == text) ++count;
    }
    return count;
  }
  void ExpectScreenGolden(const char* name) {
    const orv::TImageCheck check = orv::MatchGoldenImage(orv::headless::CaptureScreen(), PopupGoldenPath(name));
    EXPECT_TRUE(check) << check.Message;
  }

  dbftest::TTempDir Temp;
  TDsDbfTable* Table = nullptr;
  TcxGrid* Grid = nullptr;
  TcxGridDBTableView* View = nullptr;
};

TEST_F(GridFilterPopupTest, AColumnsDropDownListsItsCountriesInTheLocalesOrderAndAClickFiltersTheGrid) {
  TcxGridFilterPopup* popup = OpenFilterPopup(Column("COUNTRY"));
  ASSERT_TRUE(popup->IsVisible());
  EXPECT_EQ(popup->GetItem(), Column("COUNTRY"));
  // "Сан-Томе и Принсипи" before "США": the locale's order, not the code page's.
  static const orv::AnsiLiteral kExpected[] = {
      "(All)"_a,  "(Custom...)"_a, "Австралия"_a,           "Беларусь"_a, "Бразилия"_a, "Великобритания"_a,
      "Гана"_a,   "Россия"_a,      "Сан-Томе и Принсипи"_a, "США"_a,      "Украина"_a,  "Эквадор"_a};
  std::vector<AnsiString> expected;
  for (const orv::AnsiLiteral& text : kExpected) expected.push_back(AnsiString(text));
  EXPECT_EQ(ListTexts(popup->GetListBox()), expected);
  // Check boxes by default, no apply button (changes apply at once); "(All)" is selected while the
  // column is not filtered.
  EXPECT_TRUE(popup->GetListBox()->GetShowChecks());
  EXPECT_EQ(popup->GetApplyButton()->GetParent(), nullptr);
  EXPECT_EQ(popup->GetListBox()->GetItemIndex(), 0);
  // It drops down from the filter button, as wide as the header at least.
  const TRect header = HeaderOf(Column("COUNTRY"))->GetBounds();
  const TRect button = FilterButtonOf(Column("COUNTRY"))->GetBounds();
  const TPoint buttonBottom = View->GetSite()->ClientToScreen(TPoint{header.Left, button.Bottom});
  EXPECT_EQ(popup->GetTop(), buttonBottom.Y);
  EXPECT_GE(popup->GetWidth(), header.Width());

  // The pointer selects the entry under it.
  const Integer russia = popup->GetListBox()->GetItems()->IndexOf("Россия"_a);
  const TRect r = popup->GetListBox()->GetInnerListBox()->ItemRect(russia);
  const TPoint over = popup->GetListBox()->GetInnerListBox()->ClientToScreen(Centre(r));
  orv::headless::MouseMove(over.X, over.Y);
  Run();
  EXPECT_EQ(popup->GetListBox()->GetItemIndex(), russia);
  ExpectScreenGolden("filter-popup-countries.png");

  // A click on the text filters by that country alone and closes the drop-down.
  ClickEntry(popup->GetListBox(), russia);
  EXPECT_FALSE(popup->IsVisible());
  const Integer expectedCount = CountWhere("COUNTRY", {"Россия"_a});
  EXPECT_EQ(expectedCount, 5);
  EXPECT_EQ(DC()->GetFilter()->GetFilterCaption(), "(COUNTRY = Россия)"_a);
  EXPECT_TRUE(DC()->GetFilter()->GetActive());
  EXPECT_EQ(DC()->GetFilteredRecordCount(), expectedCount);
  EXPECT_EQ(View->GetViewData()->GetRowCount(), expectedCount);
  EXPECT_EQ(View->GetFiltering()->GetMRUItems()->GetItemCount(), 1);

  // Opened again without check boxes (a checked list offers no recently used values), the
  // recently used value heads the list above a separator, and the filtered value is the selected
  // entry.
  Column("COUNTRY")->GetOptions()->SetFilteringPopupMultiSelect(false);
  popup = OpenFilterPopup(Column("COUNTRY"));
  EXPECT_EQ(popup->GetListBox()->GetItems()->Get(0), "Россия"_a);
  EXPECT_EQ(popup->EntryKind(1), Integer(fvkGridSeparator));
  EXPECT_FALSE(popup->GetListBox()->IsItemSelectable(1));
  EXPECT_EQ(popup->GetListBox()->GetItems()->Get(popup->GetListBox()->GetItemIndex()), "Россия"_a);
  // "(All)" clears the column's filter.
  ClickEntry(popup->GetListBox(), popup->GetListBox()->GetItems()->IndexOf("(All)"));
  EXPECT_FALSE(popup->IsVisible());
  EXPECT_TRUE(DC()->GetFilter()->IsEmptyCriteria());
  Integer all = 0;
  for (Table->First(); !Table->GetEOF(); Table->Next()) ++all;
  EXPECT_EQ(View->GetViewData()->GetRowCount(), all);
}

TEST_F(GridFilterPopupTest, CheckedEntriesFilterByEachOfThemAndTheListShowsThemCheckedNextTime) {
  TcxGridFilterPopup* popup = OpenFilterPopup(Column("COUNTRY"));
  TcxGridFilterPopupListBox* list = popup->GetListBox();
  const Integer ghana = list->GetItems()->IndexOf("Гана"_a);
  const Integer ukraine = list->GetItems()->IndexOf("Украина"_a);
  EXPECT_FALSE(list->IsCheckable(0)) << "(All) has no check box";
  EXPECT_TRUE(list->IsCheckable(ghana));
  ClickEntry(list, ghana, true);
  ASSERT_TRUE(popup->IsVisible()) << "a check keeps the drop-down open";
  EXPECT_TRUE(list->IsChecked(ghana));
  EXPECT_EQ(DC()->GetFilteredRecordCount(), CountWhere("COUNTRY", {"Гана"_a}));
  ClickEntry(list, ukraine, true);
  EXPECT_EQ(DC()->GetFilteredRecordCount(), CountWhere("COUNTRY", {"Гана"_a, "Украина"_a}));
  EXPECT_EQ(DC()->GetFilter()->GetFilterCaption(), "((COUNTRY = Гана) or (COUNTRY = Украина))"_a);
  EXPECT_TRUE(popup->GetChangesPending());
  ExpectScreenGolden("filter-popup-checked.png");
  // Closing records the filter among the recently used ones.
  EXPECT_EQ(View->GetFiltering()->GetMRUItems()->GetItemCount(), 0);
  Key(VK_ESCAPE);
  EXPECT_FALSE(popup->IsVisible());
  EXPECT_EQ(View->GetFiltering()->GetMRUItems()->GetItemCount(), 1);

  popup = OpenFilterPopup(Column("COUNTRY"));
  TcxGridIndexes checked;
  list->GetCheckedIndexes(checked);
  EXPECT_EQ(checked, (TcxGridIndexes{ghana, ukraine}));
  EXPECT_EQ(list->GetItemIndex(), -1) << "no entry is selected while entries are checked";
  // Unchecking one leaves the other.
  ClickEntry(list, ghana, true);
  EXPECT_EQ(DC()->GetFilteredRecordCount(), CountWhere("COUNTRY", {"Украина"_a}));
  Key(VK_ESCAPE);
}

TEST_F(GridFilterPopupTest, WithChangesAppliedByTheButtonNothingChangesUntilItIsPressed) {
  View->GetFiltering()->GetItemPopup()->SetApplyMultiSelectChanges(fpacOnButtonClick);
  TcxGridFilterPopup* popup = OpenFilterPopup(Column("COUNTRY"));
  TcxButton* apply = popup->GetApplyButton();
  ASSERT_EQ(apply->GetParent(), popup);
  EXPECT_EQ(apply->GetCaption(), "Apply Filter");
  EXPECT_FALSE(apply->GetEnabled());
  EXPECT_EQ(apply->GetTop(), popup->GetListBox()->GetTop() + popup->GetListBox()->GetHeight());
  EXPECT_EQ(apply->GetWidth(), popup->GetListBox()->GetWidth());
  TcxGridFilterPopupListBox* list = popup->GetListBox();
  ClickEntry(list, list->GetItems()->IndexOf("Австралия"_a), true);
  ClickEntry(list, list->GetItems()->IndexOf("Бразилия"_a), true);
  EXPECT_TRUE(apply->GetEnabled());
  EXPECT_TRUE(DC()->GetFilter()->IsEmptyCriteria());
  ExpectScreenGolden("filter-popup-apply-button.png");
  const TPoint p = apply->ClientToScreen(TPoint{apply->GetWidth() / 2, apply->GetHeight() / 2});
  orv::headless::AdvanceTime(1000);
  orv::headless::Click(p.X, p.Y);
  Run();
  EXPECT_FALSE(popup->IsVisible());
  EXPECT_EQ(DC()->GetFilteredRecordCount(), CountWhere("COUNTRY", {"Австралия"_a, "Бразилия"_a}));
  EXPECT_EQ(View->GetFiltering()->GetMRUItems()->GetItemCount(), 1);
}

TEST_F(GridFilterPopupTest, WithoutMultiSelectKeysPickAnEntryAndStepOverTheSeparator) {
  Column("CITY")->GetOptions()->SetFilteringPopupMultiSelect(false);
  TcxGridFilterPopup* popup = OpenFilterPopup(Column("CITY"));
  TcxGridFilterPopupListBox* list = popup->GetListBox();
  EXPECT_FALSE(list->GetShowChecks());
  EXPECT_EQ(popup->GetApplyButton()->GetParent(), nullptr);
  // From "(All)" down to the second town, Enter filters by it.
  EXPECT_EQ(list->GetItemIndex(), 0);
  Key(VK_DOWN);
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(list->GetItems()->Get(list->GetItemIndex()), "Киев"_a);
  Key(VK_RETURN);
  EXPECT_FALSE(popup->IsVisible());
  EXPECT_EQ(DC()->GetFilteredRecordCount(), CountWhere("CITY", {"Киев"_a}));

  // Next time "Киев" heads the list; Down from it skips the separator to "(All)", Up comes back.
  popup = OpenFilterPopup(Column("CITY"));
  ASSERT_EQ(list->GetItems()->Get(0), "Киев"_a);
  ASSERT_EQ(popup->EntryKind(1), Integer(fvkGridSeparator));
  list->SetItemIndex(0);
  Key(VK_DOWN);
  EXPECT_EQ(list->GetItemIndex(), 2);
  Key(VK_UP);
  EXPECT_EQ(list->GetItemIndex(), 0);
  // The pointer over the separator selects nothing, and a click there does nothing.
  const TRect separator = list->GetInnerListBox()->ItemRect(1);
  const TPoint p = list->GetInnerListBox()->ClientToScreen(Centre(separator));
  orv::headless::MouseMove(p.X, p.Y);
  Run();
  EXPECT_EQ(list->GetItemIndex(), -1);
  ClickEntry(list, 1);
  EXPECT_TRUE(popup->IsVisible());
  EXPECT_EQ(DC()->GetFilteredRecordCount(), 1);
  Key(VK_ESCAPE);
  EXPECT_FALSE(popup->IsVisible());
}

TEST_F(GridFilterPopupTest, CustomEntryRaisesTheDialogHookAndKeepsTheDropDownOpen) {
  std::vector<TcxCustomGridTableItem*> shown;
  auto onShow = [&](TcxCustomGridTableView* sender, TcxCustomGridTableItem* item, Boolean& done) {
    EXPECT_EQ(sender, View);
    shown.push_back(item);
    done = true;
  };
  View->SetOnFilterDialogShow(TcxGridFilterDialogShowEvent::Callable(onShow));
  TcxGridFilterPopup* popup = OpenFilterPopup(Column("CITY"));
  ClickEntry(popup->GetListBox(), popup->GetListBox()->GetItems()->IndexOf("(Custom...)"));
  EXPECT_EQ(shown, (std::vector<TcxCustomGridTableItem*>{Column("CITY")}));
  EXPECT_TRUE(popup->IsVisible());
  EXPECT_TRUE(DC()->GetFilter()->IsEmptyCriteria());
  EXPECT_EQ(View->GetFiltering()->GetMRUItems()->GetItemCount(), 0);
  Key(VK_ESCAPE);
}

TEST_F(GridFilterPopupTest, TheFilterDialogHooksFireWhereEachDialogWouldOpen) {
  std::vector<std::string> calls;
  Boolean takeDialog = false, takeCustomization = false;
  auto onDialogShow = [&](TcxCustomGridTableView*, TcxCustomGridTableItem* item, Boolean& done) {
    calls.push_back(std::string("dialog:") + (item ? item->GetName() : AnsiString("nil")));
    done = takeDialog;
  };
  auto onCustomization = [&](TcxCustomGridTableView*, Boolean& done) {
    calls.push_back("customization");
    done = takeCustomization;
  };
  View->SetOnFilterDialogShow(TcxGridFilterDialogShowEvent::Callable(onDialogShow));
  View->SetOnFilterCustomization(TcxGridFilterCustomizationEvent::Callable(onCustomization));
  TcxCustomGridTableFiltering* filtering = View->GetFiltering();

  // A handler that takes over stops everything after it.
  takeDialog = true;
  filtering->Customize(nullptr);
  EXPECT_EQ(calls, (std::vector<std::string>{"dialog:nil"}));
  // The whole filter goes to the builder: the customization hook first.
  calls.clear();
  takeDialog = false;
  takeCustomization = true;
  filtering->Customize(nullptr);
  EXPECT_EQ(calls, (std::vector<std::string>{"dialog:nil", "customization"}));
  // One column goes to the custom dialog, unless the filter is too complex for it.
  calls.clear();
  takeDialog = true;
  filtering->Customize(Column("CITY"));
  EXPECT_EQ(calls, (std::vector<std::string>{"dialog:grdTownsViewCITY"}));
  TcxDataFilterCriteria* filter = DC()->GetFilter();
  TcxFilterCriteriaItemList* group = filter->GetRoot()->AddGroup(fbcOr);
  group->AddItem(Column("CITY"), focEqual, Variant(AnsiString("Омск"_a)), "Омск"_a);
  group->AddItem(Column("LAT"), focGreater, Variant(60), "60");
  ASSERT_TRUE(IsFilterTooComplexForDialog(filter));
  calls.clear();
  takeDialog = false;
  filtering->Customize(Column("CITY"));
  EXPECT_EQ(calls, (std::vector<std::string>{"dialog:grdTownsViewCITY", "customization"}));

  // Nobody takes over: the builder opens and its show hook fires with the dialog as the sender.
  calls.clear();
  takeCustomization = false;
  Integer builderShows = 0;
  auto onBuilderShow = [&](TObject* sender) {
    EXPECT_NE(dynamic_cast<TfmFilterControlDialog*>(sender), nullptr);
    ++builderShows;
  };
  View->SetOnFilterControlDialogShow(TNotifyEvent::Callable(onBuilderShow));
  Integer clicks = 0;
  orv::headless::SetIdleHandler([&] {
    for (Integer i = 0; i < Screen->GetFormCount(); ++i)
      if (auto* dialog = dynamic_cast<TfmFilterControlDialog*>(Screen->GetForm(i))) {
        if (!dialog->GetVisible() || clicks > 5) return false;
        ++clicks;
        TcxButton* cancel = dialog->btCancel;
        const TPoint p = cancel->ClientToScreen(TPoint{cancel->GetWidth() / 2, cancel->GetHeight() / 2});
        orv::headless::AdvanceTime(1000);
        orv::headless::Click(p.X, p.Y);
        return true;
      }
    return false;
  });
  filtering->Customize(nullptr);
  orv::headless::SetIdleHandler(nullptr);
  EXPECT_EQ(calls, (std::vector<std::string>{"dialog:nil", "customization"}));
  EXPECT_EQ(builderShows, 1);
  EXPECT_EQ(clicks, 1);
}

TEST_F(GridFilterPopupTest, TheRecentFiltersDropDownReappliesAFilterAndPutsItFirst) {
  View->GetFilterBox()->SetVisible(fvAlways);
  TcxDataFilterCriteria* filter = DC()->GetFilter();
  TcxCustomGridTableFiltering* filtering = View->GetFiltering();
  // Three filters applied one after another; the third is in force.
  static const orv::AnsiLiteral kCities[] = {"Омск"_a, "Киев"_a, "Кито"_a};
  for (const orv::AnsiLiteral& literal : kCities) {
    const AnsiString city(literal);
    filter->RemoveAllItems();
    filter->AddItem(filter->GetRoot(), Column("CITY"), focEqual, Variant(city), city);
    filter->SetActive(true);
    filtering->AddFilterToMRUItems();
  }
  Run();
  TcxGridFilterButtonsViewInfo* buttons = ViewInfo()->GetFilterViewInfo()->GetButtonsViewInfo();
  ASSERT_TRUE(buttons->DropDownButton()->GetVisible());
  TcxGridFilterMRUItemsPopup* popup = MRUPopup();
  popup->SetOwnLoop(false);
  ClickSite(Centre(buttons->DropDownButton()->GetBounds()));
  ASSERT_TRUE(popup->IsVisible());
  // The filter in force is not offered; the others, most recent first.
  EXPECT_EQ(ListTexts(popup->GetListBox()),
            (std::vector<AnsiString>{"(CITY = Киев)"_a, "(CITY = Омск)"_a}));
  EXPECT_EQ(popup->GetListBox()->GetItemHeight(),
            popup->GetListBox()->GetCanvasOrScreenCanvas()->TextHeightOf("Qq") + 4);
  ExpectScreenGolden("filter-popup-recent-filters.png");

  ClickEntry(popup->GetListBox(), 1);
  EXPECT_FALSE(popup->IsVisible());
  EXPECT_EQ(filter->GetFilterCaption(), "(CITY = Омск)"_a);
  EXPECT_EQ(DC()->GetFilteredRecordCount(), CountWhere("CITY", {"Омск"_a}));
  EXPECT_EQ(filtering->GetMRUItems()->GetItem(0)->GetCaption(), "(CITY = Омск)"_a);
  // Next time the list offers the two others, the one last in force first.
  Run();
  buttons = ViewInfo()->GetFilterViewInfo()->GetButtonsViewInfo();
  ClickSite(Centre(buttons->DropDownButton()->GetBounds()));
  ASSERT_TRUE(popup->IsVisible());
  EXPECT_EQ(ListTexts(popup->GetListBox()),
            (std::vector<AnsiString>{"(CITY = Кито)"_a, "(CITY = Киев)"_a}));
  Key(VK_ESCAPE);
  EXPECT_FALSE(popup->IsVisible());
}

// Each column's editor takes its defaults from its own field even where columns share the
// editor properties of their field type: text left, numbers right.
TEST_F(GridFilterPopupTest, DatasetBoundColumnsAlignTheirCellsAsTheirFieldsSay) {
  TcxCustomEditDefaultValuesProvider* city = Column("CITY")->GetDataBinding()->GetDefaultValuesProvider();
  TcxCustomEditDefaultValuesProvider* lat = Column("LAT")->GetDataBinding()->GetDefaultValuesProvider();
  EXPECT_EQ(city->DefaultAlignment(), taLeftJustify);
  EXPECT_EQ(lat->DefaultAlignment(), taRightJustify);
  EXPECT_TRUE(city->IsDataBound());
  // The two columns share the properties of the default editor; the drawing state each makes
  // from them takes its own field's alignment, whichever asked last.
  ASSERT_EQ(Column("CITY")->GetPropertiesValue(), Column("LAT")->GetPropertiesValue());
  for (TcxGridDBColumn* column : {Column("LAT"), Column("CITY"), Column("LAT")}) {
    TcxCustomEditViewData* data = column->CreateEditViewData(column->GetPropertiesValue());
    EXPECT_EQ(data->HorzAlignment, column == Column("LAT") ? taRightJustify : taLeftJustify);
    column->DestroyEditViewData(data);
  }
}

}  // namespace grid_filter_popup_test
