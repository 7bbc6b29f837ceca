// The grid's filtering user interface over the fixture town table: a filter built in the filter
// control and applied to the dataset-bound view, the filter box's buttons, a column's filter
// values, and date ranges on a fixed clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "components/data/tests/DBDataFixture.h"
#include "components/editors/cxDropDownEdit.h"
#include "components/filtercontrol/cxFilterControl.h"
#include "components/grid/cxGrid.h"
#include "components/grid/cxGridCustomTableViewFiltering.h"
#include "components/grid/cxGridDBTableView.h"
#include "components/grid/cxGridLevel.h"
#include "components/grid/cxGridStrs.h"
#include "components/grid/cxGridTableView.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Gdi.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/runtime/DateTime.h"
#include "platform/runtime/Streams.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace grid_filtering_ui_test {

using orv::test::Owned;

class TGridFilterHost : public TForm {
  ORV_CLASS(TGridFilterHost, TForm)
 public:
  explicit TGridFilterHost(TComponent* owner) : TForm(owner) {}
};

ORV_PUBLISH(TGridFilterHost) {}

const char* const kFilterGridText =
    "object Host: TGridFilterHost\n"
    "object grdTowns: TcxGrid\n"
    "  Left = 0\n"
    "  Top = 0\n"
    "  Width = 400\n"
    "  Height = 200\n"
    "  object grdTownsView: TcxGridDBTableView\n"
    "    DataController.DataSource = dsTowns\n"
    "    DataController.Options = [dcoAnsiSort]\n"
    "    object grdTownsViewCOUNTRY: TcxGridDBColumn\n"
    "      DataBinding.FieldName = 'COUNTRY'\n"
    "    end\n"
    "    object grdTownsViewCITY: TcxGridDBColumn\n"
    "      DataBinding.FieldName = 'CITY'\n"
    "    end\n"
    "    object grdTownsViewLAT: TcxGridDBColumn\n"
    "      DataBinding.FieldName = 'LAT'\n"
    "    end\n"
    "  end\n"
    "  object grdTownsLevel: TcxGridLevel\n"
    "    GridView = grdTownsView\n"
    "  end\n"
    "end\n"
    "end\n";

class GridFilteringUITest : public orv::test::HeadlessFormTest {
 protected:
  GridFilteringUITest() : HeadlessFormTest({0, 0, 420, 440}) {}

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
    // The description names the host's own class; the fixture's form reads it as its own.
    AnsiString text = kFilterGridText;
    text.replace(text.find("TGridFilterHost"), 15, Form->ClassName());
    orv::ReadComponentFromText(Form.get(), text);
    Grid = dynamic_cast<TcxGrid*>(Form->FindComponent("grdTowns"));
    ASSERT_NE(Grid, nullptr);
    View = dynamic_cast<TcxGridDBTableView*>(Form->FindComponent("grdTownsView"));
    ASSERT_NE(View, nullptr);
  }

  TcxGridDBColumn* Column(const char* field) const {
    return dynamic_cast<TcxGridDBColumn*>(Form->FindComponent(AnsiString("grdTownsView") + field));
  }
  static void Key(int vk) {
    orv::headless::PressKey(vk);
    Run();
  }
  static void Type(const AnsiString& text) {
    orv::headless::TypeText(text);
    Run();
  }
  static void ClickAt(TControl* c, const TRect& r) {
    const TPoint p = c->ClientToScreen(TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    orv::headless::AdvanceTime(1000);
    orv::headless::Click(p.X, p.Y);
    Run();
  }
  static void Pick(TcxFilterControl* control, const AnsiString& text) {
    ASSERT_TRUE(control->GetChooser()->HasOpenPopup());
    TStrings* items = control->GetChooser()->GetProperties()->GetItems();
    const Integer target = items->IndexOf(text);
    ASSERT_GE(target, 0) << text;
    for (Integer i = control->GetChooser()->GetItemIndexProperty(); i < target; ++i) Key(VK_DOWN);
    for (Integer i = control->GetChooser()->GetItemIndexProperty(); i > target; --i) Key(VK_UP);
    Key(VK_RETURN);
  }

  dbftest::TTempDir Temp;
  TDsDbfTable* Table = nullptr;
  TcxGrid* Grid = nullptr;
  TcxGridDBTableView* View = nullptr;
};

TEST_F(GridFilteringUITest, AFilterBuiltInTheFilterControlFiltersTheGridAsAnIndependentCountSays) {
  auto* control = new TcxFilterControl(Form.get());
  control->SetParent(Form.get());
  control->SetBounds(0, 210, 420, 220);
  control->GetFont()->SetName(orv::kTestFontFace);
  control->GetFont()->SetHeight(-11);
  control->SetLinkComponent(View);
  Show();
  control->SetFocus();
  Run();

  // COUNTRY = Россия
  Key(VK_INSERT);
  auto* country = dynamic_cast<TcxConditionViewInfo*>(control->GetRow(1));
  ASSERT_NE(country, nullptr);
  EXPECT_EQ(country->GetItemText(), "COUNTRY");
  ClickAt(control, country->GetOperatorRect());
  Pick(control, "equals");
  Type("Россия"_a);
  Key(VK_RETURN);
  // and (CITY like 'Мос%' or LAT > 60): a group from the root's menu, by keys.
  control->SetFocusedPart(fhtButton, control->GetRoot());
  bool menuSeen = false;
  orv::headless::SetIdleHandler([&] {
    if (menuSeen) return false;
    menuSeen = true;
    orv::headless::PressKey(VK_DOWN);
    orv::headless::PressKey(VK_DOWN);
    orv::headless::PressKey(VK_RETURN);
    return true;
  });
  Key(VK_SPACE);
  orv::headless::SetIdleHandler(nullptr);
  ASSERT_EQ(control->GetRowCount(), 4);
  auto* group = dynamic_cast<TcxGroupViewInfo*>(control->GetRow(2));
  ASSERT_NE(group, nullptr);
  ClickAt(control, group->GetBoolOperatorRect());
  Pick(control, "OR");
  auto* city = dynamic_cast<TcxConditionViewInfo*>(control->GetRow(3));
  ClickAt(control, city->GetItemRect());
  Pick(control, "CITY");
  EXPECT_EQ(city->GetOperator(), fcopLike);
  Key(VK_RIGHT);
  Type("Мос%"_a);
  Key(VK_RETURN);
  Key(VK_INSERT);
  auto* lat = dynamic_cast<TcxConditionViewInfo*>(control->GetRow(4));
  ASSERT_NE(lat, nullptr);
  Key(VK_RETURN);
  Pick(control, "LAT");
  Key(VK_RETURN);
  Pick(control, "is greater than");
  Type("60");
  Key(VK_RETURN);
  control->ApplyFilter();

  // What the grid shows now, against the table walked and tested in C++.
  TcxDataFilterCriteria* filter = View->GetDataController()->GetFilter();
  EXPECT_EQ(filter->GetFilterCaption(),
            "(COUNTRY = Россия) and ((CITY LIKE Мос%) or (LAT > 60))"_a);
  const AnsiString russia = "Россия"_a;
  const AnsiString prefix = "Мос"_a;
  Integer expected = 0;
  for (Table->First(); !Table->GetEOF(); Table->Next()) {
    const AnsiString c = Table->FieldByName("COUNTRY")->GetAsString();
    const AnsiString t = Table->FieldByName("CITY")->GetAsString();
    TField* latField = Table->FieldByName("LAT");
    const bool north = !latField->GetIsNull() && latField->GetAsFloat() > 60;
    if (c == russia && (t.compare(0, prefix.size(), prefix) == 0 || north)) ++expected;
  }
  EXPECT_EQ(expected, 3);
  filter->SetActive(true);
  EXPECT_EQ(View->GetDataController()->GetFilteredRecordCount(), expected);
  EXPECT_EQ(View->GetViewData()->GetRowCount(), expected);
}

TEST_F(GridFilteringUITest, AColumnsFilterValuesAreItsDistinctValuesInTheLocalesOrder) {
  Owned<TStringList> strings(new TStringList);
  Owned<TcxGridFilterValueList> values(orv::grid::NewFilterValueList(Column("CITY")));
  orv::grid::GetFilterStrings(Column("CITY"), strings.get(), values.get());
  std::vector<AnsiString> texts;
  for (Integer i = 0; i < strings->GetCount(); ++i) texts.push_back(strings->Get(i));
  static const orv::AnsiLiteral kExpected[] = {
      "(All)"_a, "(Custom...)"_a, "Аккра"_a, "Киев"_a, "Кито"_a, "Лондон"_a, "Минск"_a, "Москва"_a, "Московский"_a,
      "Мурманск"_a, "Нью-Йорк"_a, "Омск"_a, "Сан-Паулу"_a, "Сан-Томе"_a, "Сидней"_a, "Тверь"_a};
  std::vector<AnsiString> expected;
  for (const orv::AnsiLiteral& text : kExpected) expected.push_back(AnsiString(text));
  EXPECT_EQ(texts, expected);

  // A click on a value filters by it and remembers it at the top of the next list (of a
  // drop-down without check boxes).
  const Integer moscow = strings->IndexOf("Москва"_a);
  orv::grid::ApplyFilterValueEntry(values.get(), Column("CITY"), moscow, true, true, nullptr);
  View->GetFiltering()->GetItemPopup()->SetMultiSelect(false);
  EXPECT_EQ(View->GetDataController()->GetFilteredRecordCount(), 1);
  orv::grid::GetFilterStrings(Column("CITY"), strings.get(), values.get());
  EXPECT_EQ(strings->Get(0), "Москва"_a);
  EXPECT_EQ(values->GetEntry(0).Kind, fvkRecent);
  EXPECT_EQ(values->GetEntry(1).Kind, fvkGridSeparator);
  TcxGridIndexes selected;
  orv::grid::GetFilterSelectedIndexes(Column("CITY"), values.get(), selected);
  ASSERT_EQ(selected.size(), 1u);
  EXPECT_EQ(values->GetEntry(selected[0]).DisplayText, "Москва"_a);

  // Two checked values make an OR of both; "(All)" clears the column's filter.
  const TcxGridIndexes both = {strings->IndexOf("Омск"_a), strings->IndexOf("Киев"_a)};
  orv::grid::ApplyFilterSelectedIndexes(Column("CITY"), values.get(), both);
  EXPECT_EQ(View->GetDataController()->GetFilteredRecordCount(), 2);
  orv::grid::GetFilterSelectedIndexes(Column("CITY"), values.get(), selected);
  EXPECT_EQ(selected.size(), 2u);
  orv::grid::ApplyFilterValueEntry(values.get(), Column("CITY"), strings->IndexOf("(All)"), false, true, nullptr);
  EXPECT_TRUE(View->GetDataController()->GetFilter()->IsEmptyCriteria());
}

TEST_F(GridFilteringUITest, TheApplicationsOwnEntriesAndEachItemsOptionsShapeTheFilterValues) {
  // An entry the application adds while the list is filled shows before the values; picking it
  // reaches the application and adds no condition, but switches the filter on.
  TcxCustomGridTableItem* city = Column("CITY");
  AnsiString picked;
  auto addNorth = [](TcxCustomGridTableItem*, TcxDataFilterValueList* list) {
    list->AddEntry(fvkSpecial, Variant(Integer(60)), false, "(North)");
  };
  auto userFiltering = [&picked](TcxCustomGridTableItem*, const Variant&, const AnsiString& text) { picked = text; };
  city->SetOnGetFilterValues(TcxGridGetFilterValuesEvent::Callable(addNorth));
  city->SetOnUserFiltering(TcxGridUserFilteringEvent::Callable(userFiltering));
  Owned<TStringList> strings(new TStringList);
  Owned<TcxGridFilterValueList> values(orv::grid::NewFilterValueList(city));
  orv::grid::GetFilterStrings(city, strings.get(), values.get());
  ASSERT_GE(strings->GetCount(), 3);
  EXPECT_EQ(strings->Get(2), AnsiString("(North)"));
  TcxDataFilterCriteria* filter = View->GetDataController()->GetFilter();
  filter->SetActive(false);
  orv::grid::ApplyFilterValueEntry(values.get(), city, 2, true, true, nullptr);
  EXPECT_EQ(picked, AnsiString("(North)"));
  EXPECT_TRUE(filter->IsEmptyCriteria());
  EXPECT_TRUE(filter->GetActive());
  // Values only: the application's entry goes too.
  orv::grid::LoadFilterValueList(city, values.get(), true, false, true);
  for (Integer i = 0; i < values->GetCount(); ++i) EXPECT_EQ(values->GetEntry(i).Kind, fvkValue) << i;
  city->SetOnGetFilterValues(nullptr);
  city->SetOnUserFiltering(nullptr);

  // Recently used values are offered only where the drop-down has no check boxes and both the
  // view and the item keep such a list.
  const Integer moscow = strings->IndexOf("Москва"_a);
  orv::grid::ApplyFilterValueEntry(values.get(), city, moscow, true, true, nullptr);
  struct TCase {
    Boolean MultiSelect, ItemMRU;
    Boolean Offered;
  };
  for (const TCase& c : {TCase{false, true, true}, TCase{true, true, false}, TCase{false, false, false}}) {
    View->GetFiltering()->GetItemPopup()->SetMultiSelect(c.MultiSelect);
    city->GetOptions()->SetFilteringMRUItemsList(c.ItemMRU);
    EXPECT_EQ(city->CanFilterUsingChecks(), c.MultiSelect);
    orv::grid::GetFilterStrings(city, strings.get(), values.get());
    EXPECT_EQ(values->FirstOfKind(fvkRecent) >= 0, c.Offered) << c.MultiSelect << c.ItemMRU;
  }

  // Only the filtered records' values when the item allows it as well as the view.
  View->GetFiltering()->SetItemFilteredItemsList(true);
  orv::grid::LoadFilterValueList(city, values.get(), true, true, true);
  EXPECT_EQ(values->GetCount(), 1);
  city->GetOptions()->SetFilteringFilteredItemsList(false);
  orv::grid::LoadFilterValueList(city, values.get(), true, true, true);
  EXPECT_GT(values->GetCount(), 1);
}

TEST_F(GridFilteringUITest, TheFilterBoxShowsTheRecentFiltersButtonOnlyWithOtherFiltersToOffer) {
  TcxDataFilterCriteria* filter = View->GetDataController()->GetFilter();
  TcxCustomGridTableFiltering* filtering = View->GetFiltering();
  EXPECT_FALSE(filtering->IsMRUItemsListAvailable());
  filter->AddItem(filter->GetRoot(), Column("CITY"), focEqual, Variant(AnsiString("Омск"_a)), "Омск"_a);
  filtering->AddFilterToMRUItems();
  EXPECT_FALSE(filtering->IsMRUItemsListAvailable()) << "the filter in force is never offered";
  filter->RemoveAllItems();
  EXPECT_TRUE(filtering->IsMRUItemsListAvailable());
  // Customizing goes to the dialogs (a proc stands in for them here): the builder for the whole
  // filter, the custom dialog for one column.
  static TcxCustomGridTableItem* customized = nullptr;
  static Integer calls = 0;
  SetGridFilterCustomizeProc([](TcxCustomGridTableFiltering*, TcxCustomGridTableItem* item) {
    customized = item;
    ++calls;
  });
  filtering->Customize(Column("LAT"));
  EXPECT_EQ(customized, Column("LAT"));
  filtering->Customize(nullptr);
  EXPECT_EQ(customized, nullptr);
  EXPECT_EQ(calls, 2);
  SetGridFilterCustomizeProc(nullptr);
}

TEST_F(GridFilteringUITest, TheControllersFilterWritesItselfAsAComponentAndADamagedOneChangesNothing) {
  TcxDataFilterCriteria* filter = View->GetDataController()->GetFilter();
  TcxFilterCriteriaItemList* group = filter->GetRoot()->AddGroup(fbcOr);
  group->AddItem(Column("CITY"), focLike, Variant(AnsiString("Мос%"_a)), "Мос%"_a);
  group->AddItem(Column("LAT"), focGreater, Variant(60), "60");
  filter->SetActive(true);
  const AnsiString caption = filter->GetFilterCaption();
  TMemoryStream stream;
  filter->SaveToStream(&stream);
  const std::string text(static_cast<const char*>(stream.GetMemory()), std::size_t(stream.GetSize()));
  EXPECT_NE(text.find("object"), std::string::npos);
  EXPECT_NE(text.find("Criteria = {"), std::string::npos);

  filter->RemoveAllItems();
  filter->SetActive(false);
  stream.SetPosition(0);
  filter->LoadFromStream(&stream);
  EXPECT_EQ(filter->GetFilterCaption(), caption);
  EXPECT_TRUE(filter->GetActive());
  EXPECT_EQ(View->GetDataController()->GetFilteredRecordCount(), 3);  // Москва, Мурманск, Московский

  // Cut anywhere, or with its binary part spoiled, the description leaves the filter as it was.
  for (std::size_t cut : {std::size_t(5), text.size() / 2, text.size() - 8}) {
    TMemoryStream damaged;
    damaged.WriteBuffer(text.data(), Integer(cut));
    damaged.SetPosition(0);
    EXPECT_ANY_THROW(filter->LoadFromStream(&damaged)) << cut;
    EXPECT_EQ(filter->GetFilterCaption(), caption) << cut;
  }
  std::string spoiled = text;
  const std::size_t binary = spoiled.find_first_of("0123456789ABCDEF", spoiled.find("Criteria = {") + 12);
  ASSERT_EQ(spoiled.substr(binary, 10), "FEFFFFFF00");
  spoiled.replace(binary + 10, 8, "FFFFFF7F");  // the root claims more children than there are bytes
  TMemoryStream damaged;
  damaged.WriteBuffer(spoiled.data(), Integer(spoiled.size()));
  damaged.SetPosition(0);
  EXPECT_ANY_THROW(filter->LoadFromStream(&damaged));
  EXPECT_EQ(filter->GetFilterCaption(), caption);
}

// ---- date ranges ----

// The test clock: a Wednesday unless a test moves it on.
TDateTime gTestNow;
TDateTime FixedToday() { return gTestNow; }

class GridDateRangesTest : public orv::test::HeadlessFormTest {
 protected:
  void SetUp() override {
    HeadlessFormTest::SetUp();
    gTestNow = EncodeDate(2024, 3, 13) + EncodeTime(10, 30, 0, 0);
    FPreviousNow = orv::SetNowFunction(&FixedToday);
    Grid = new TcxGrid(Form.get());
    Grid->SetParent(Form.get());
    View = static_cast<TcxGridTableView*>(Grid->CreateView(TcxGridTableView::StaticClass()));
    Grid->AddLevel()->SetGridView(View);
  }
  void TearDown() override {
    orv::SetNowFunction(FPreviousNow);
    HeadlessFormTest::TearDown();
  }
  // The texts of the view's rows, top to bottom: a group row's text for the column, else "data row".
  std::vector<AnsiString> RowTexts(TcxGridColumn* column) {
    std::vector<AnsiString> texts;
    TcxGridViewData* data = View->GetViewData();
    for (Integer i = 0; i < data->GetRowCount(); ++i) {
      auto* row = dynamic_cast<TcxGridGroupRow*>(data->GetRow(i));
      texts.push_back(row ? row->GetDisplayTexts(column->GetIndex()) : AnsiString("data row"));
    }
    return texts;
  }
  // A date-time column over the dates, one record each.
  TcxGridColumn* DateColumn(const std::vector<TDateTime>& dates) {
    TcxGridColumn* column = View->CreateColumn();
    column->GetDataBinding()->SetValueTypeClass(TcxDateTimeValueType::StaticClass());
    TcxCustomDataController* dc = View->GetDataController();
    dc->SetRecordCount(Integer(dates.size()));
    for (Integer i = 0; i < Integer(dates.size()); ++i) dc->SetValue(i, column->GetIndex(), VarFromDateTime(dates[i]));
    return column;
  }
  AnsiString GroupText(TcxGridDateRanges* ranges, TDateTime date) {
    TcxCustomGridDateRange* range = ranges->FindRange(date);
    return range ? range->TextOf(date) : AnsiString("-");
  }

  TcxGrid* Grid = nullptr;
  TcxGridTableView* View = nullptr;

 private:
  orv::TNowFunction FPreviousNow = nullptr;
};

TEST_F(GridDateRangesTest, RelativeGroupsOnAFixedClock) {
  Owned<TcxGridGroupingDateRanges> ranges(new TcxGridGroupingDateRanges);
  ranges->Setup(View->GetDateTimeHandling(), dtgRelativeToToday);
  ASSERT_EQ(ranges->Count(), 12);
  EXPECT_EQ(ranges->GetToday(), EncodeDate(2024, 3, 13));
  struct TCase {
    TDateTime Date;
    const char* Text;
  };
  const TCase cases[] = {
      {EncodeDate(2024, 3, 13), "Today"},      {EncodeDate(2024, 3, 12), "Yesterday"},
      {EncodeDate(2024, 3, 14), "Tomorrow"},   {EncodeDate(2024, 3, 16), "This week"},
      {EncodeDate(2024, 3, 6), "Last week"},   {EncodeDate(2024, 3, 20), "Next week"},
      {EncodeDate(2024, 3, 1), "This month"},  {EncodeDate(2024, 2, 20), "Last month"},
      {EncodeDate(2024, 1, 5), "This year"},   {EncodeDate(2023, 6, 1), "Last year"},
      {EncodeDate(2025, 6, 1), "Next year"},   {EncodeDate(2021, 6, 1), "-"},
  };
  for (const TCase& c : cases) EXPECT_EQ(GroupText(ranges.get(), c.Date), AnsiString(c.Text)) << c.Text;
  // Week, month and year groups never meet the value of a single day.
  TcxCustomGridDateRange* lastWeek = ranges->FindRange(EncodeDate(2024, 3, 6));
  EXPECT_DOUBLE_EQ(lastWeek->GroupValueOf(EncodeDate(2024, 3, 6)).AsDouble(), double(GetWeekStartDate(EncodeDate(2024, 3, 6))) + 0.1);
}

TEST_F(GridDateRangesTest, MonthFilterValuesAndTheRelativeEntriesOfADateColumn) {
  Owned<TcxGridFilteringDateRanges> ranges(new TcxGridFilteringDateRanges);
  ranges->Setup(View->GetDateTimeHandling(), TcxGridDateTimeFilters{dtfMonths, dtfYears});
  ASSERT_EQ(ranges->Count(), 2);
  EXPECT_TRUE(ranges->Items(0)->InheritsFrom(TcxGridYearRange::StaticClass()));
  const Variant leap = ranges->Items(1)->FilterValueOf(true, EncodeDate(2024, 2, 15));
  EXPECT_EQ(leap.GetElement(0).AsDateTime(), EncodeDate(2024, 2, 1));
  EXPECT_EQ(leap.GetElement(1).AsDateTime(), EncodeDate(2024, 2, 29));
  const Variant withTime = ranges->Items(1)->FilterValueOf(false, EncodeDate(2024, 3, 15));
  EXPECT_EQ(withTime.GetElement(1).AsDateTime(), EncodeDate(2024, 3, 31) + EncodeTime(23, 59, 59, 999));

  // A date column over three records: today, last week and a day of last year.
  TcxGridColumn* column = View->CreateColumn();
  column->GetDataBinding()->SetValueTypeClass(TcxDateTimeValueType::StaticClass());
  View->GetDateTimeHandling()->SetFilters(TcxGridDateTimeFilters{dtfRelativeDays, dtfRelativeWeeks, dtfPastFuture});
  TcxCustomDataController* dc = View->GetDataController();
  dc->SetRecordCount(3);
  dc->SetValue(0, 0, VarFromDateTime(EncodeDate(2024, 3, 13)));
  dc->SetValue(1, 0, VarFromDateTime(EncodeDate(2024, 3, 5)));
  dc->SetValue(2, 0, VarFromDateTime(EncodeDate(2023, 7, 1)));
  Owned<TStringList> strings(new TStringList);
  Owned<TcxGridFilterValueList> values(orv::grid::NewFilterValueList(column));
  orv::grid::GetFilterStrings(column, strings.get(), values.get());
  std::vector<AnsiString> texts;
  for (Integer i = 0; i < strings->GetCount() && values->GetEntry(i).Kind != fvkValue; ++i)
    texts.push_back(strings->Get(i));
  const std::vector<AnsiString> expected = {"(All)",     "(Custom...)", "Yesterday", "Today",     "Tomorrow",
                                            "Last two weeks", "Last week", "This week", "Next week",
                                            "Next two weeks", "Past",      "Future",    ""};
  EXPECT_EQ(texts, expected);

  // "Today" and "Last week" filter the records by the fixed clock.
  orv::grid::ApplyFilterValueEntry(values.get(), column, strings->IndexOf("Today"), false, true, nullptr);
  EXPECT_EQ(dc->GetFilteredRecordCount(), 1);
  orv::grid::ApplyFilterValueEntry(values.get(), column, strings->IndexOf("Last week"), false, true, nullptr);
  EXPECT_EQ(dc->GetFilteredRecordCount(), 1);
  EXPECT_EQ(dc->GetFilteredRecordIndex(0), 1);

  // With months asked for, a year range the application adds lists each year after the months.
  View->GetDateTimeHandling()->SetFilters(TcxGridDateTimeFilters{dtfMonths});
  auto addYears = [](TcxCustomGridTableItem*, TcxGridDateRanges* dateRanges) {
    dateRanges->Add(TcxGridYearRange::StaticClass());
  };
  column->SetOnInitFilteringDateRanges(TcxGridInitDateRangesEvent::Callable(addYears));
  orv::grid::GetFilterStrings(column, strings.get(), values.get());
  column->SetOnInitFilteringDateRanges(nullptr);
  std::vector<AnsiString> dates;
  for (Integer i = 0; i < strings->GetCount(); ++i)
    if (values->GetEntry(i).Kind == fvkGridDate) dates.push_back(strings->Get(i));
  static const orv::AnsiLiteral kExpectedDates[] = {"Июль 2023"_a, "Март 2024"_a, "2023"_a, "2024"_a};
  std::vector<AnsiString> expectedDates;
  for (const orv::AnsiLiteral& text : kExpectedDates) expectedDates.push_back(AnsiString(text));
  EXPECT_EQ(dates, expectedDates);
}

// Group rows of a date column grouped by ranges: one group per range, each showing its text.
TEST_F(GridDateRangesTest, GroupingByDateRangesPutsTheDatesOfARangeInOneGroup) {
  TcxGridColumn* column = View->CreateColumn();
  column->GetDataBinding()->SetValueTypeClass(TcxDateTimeValueType::StaticClass());
  const TDateTime dates[] = {
      EncodeDate(2024, 3, 13) + EncodeTime(9, 0, 0, 0),  EncodeDate(2024, 3, 12) + EncodeTime(18, 0, 0, 0),
      EncodeDate(2024, 3, 15),                           EncodeDate(2024, 3, 13) + EncodeTime(17, 0, 0, 0),
      EncodeDate(2024, 3, 1),                            EncodeDate(2024, 2, 20),
      EncodeDate(2021, 6, 1),                            EncodeDate(2024, 3, 11) + EncodeTime(10, 0, 0, 0),
  };
  TcxCustomDataController* dc = View->GetDataController();
  dc->SetRecordCount(Integer(std::size(dates)));
  for (Integer i = 0; i < Integer(std::size(dates)); ++i) dc->SetValue(i, 0, VarFromDateTime(dates[i]));
  column->SetGroupIndex(0);
  auto groups = [&] { return RowTexts(column); };
  EXPECT_EQ(groups().size(), std::size(dates)) << "exact date-times: one group each";

  // Relative to the fixed Wednesday: Monday's record and Friday's share "This week" although
  // yesterday and today lie between them; a date no range includes keeps its own group.
  View->GetDateTimeHandling()->SetGrouping(dtgRelativeToToday);
  std::vector<AnsiString> relative = groups();
  ASSERT_EQ(relative.size(), 6u);
  EXPECT_NE(relative[0].find("2021"), AnsiString::npos) << relative[0];
  const std::vector<AnsiString> expected = {"Last month", "This month", "This week", "Yesterday", "Today"};
  EXPECT_EQ(std::vector<AnsiString>(relative.begin() + 1, relative.end()), expected);
  EXPECT_EQ(dc->GetGroups()->GetChildCount(dc->GetGroups()->GetDataGroupIndexByRowIndex(5)), 2)
      << "today's two records";

  // The column's own setting wins over the view's: one group per month, named by the month.
  column->SetDateTimeGrouping(dtgByMonth);
  static const orv::AnsiLiteral kMonths[] = {"Июнь 2021"_a, "Февраль 2024"_a, "Март 2024"_a};
  std::vector<AnsiString> months;
  for (const orv::AnsiLiteral& text : kMonths) months.push_back(AnsiString(text));
  EXPECT_EQ(groups(), months);

  // The view's handler may replace the ranges when they are next set up, as a refresh of the data
  // controller does while a handler is assigned: a year range in place of the month range groups by
  // year.
  auto byYear = [](TcxCustomGridTableItem*, TcxGridDateRanges* dateRanges) {
    dateRanges->Clear();
    dateRanges->Add(TcxGridYearRange::StaticClass());
  };
  View->SetOnInitGroupingDateRanges(TcxGridInitDateRangesEvent::Callable(byYear));
  dc->Refresh();
  EXPECT_EQ(groups(), (std::vector<AnsiString>{"2021", "2024"}));
  View->SetOnInitGroupingDateRanges(nullptr);

  // By date and time the ranges are gone and every record is its own group again.
  column->SetDateTimeGrouping(dtgByDateAndTime);
  EXPECT_EQ(column->GetGroupingDateRanges()->Count(), 0);
  EXPECT_EQ(groups().size(), std::size(dates));
}

// By hour: the nine o'clock records of three days share one group named by the hour, and within it
// they sort by their time of day, not by their dates.
TEST_F(GridDateRangesTest, GroupingByHourSortsTheRecordsOfAnHourByTheirTimeOfDay) {
  const std::vector<TDateTime> dates = {
      EncodeDate(2024, 3, 11) + EncodeTime(9, 50, 0, 0), EncodeDate(2024, 3, 12) + EncodeTime(9, 15, 0, 0),
      EncodeDate(2024, 3, 12) + EncodeTime(14, 0, 0, 0), EncodeDate(2024, 3, 13) + EncodeTime(9, 30, 0, 0)};
  TcxGridColumn* column = DateColumn(dates);
  View->GetDateTimeHandling()->SetHourFormat("hh:nn");
  column->SetDateTimeGrouping(dtgByHour);
  column->SetGroupIndex(0);
  TcxCustomDataController* dc = View->GetDataController();
  dc->GetGroups()->FullExpand();
  std::vector<AnsiString> rows;
  TcxGridViewData* data = View->GetViewData();
  for (Integer i = 0; i < data->GetRowCount(); ++i) {
    auto* row = data->GetRow(i);
    rows.push_back(dynamic_cast<TcxGridGroupRow*>(row) ? row->GetDisplayTexts(column->GetIndex())
                                                       : FormatDateTime("dd hh:nn", dc->GetValue(row->GetRecordIndex(), 0).AsDateTime()));
  }
  EXPECT_EQ(rows, (std::vector<AnsiString>{"09:00", "12 09:15", "13 09:30", "11 09:50", "14:00", "12 14:00"}));
}

// By date: the day range names its group with the date format in effect; with no format at all the
// range has no text and the group row shows the column's own text for the date.
TEST_F(GridDateRangesTest, GroupingByDateNamesTheGroupByTheDateFormatOrElseByTheColumnsText) {
  TcxGridColumn* column =
      DateColumn({EncodeDate(2024, 3, 13) + EncodeTime(8, 0, 0, 0), EncodeDate(2024, 3, 13) + EncodeTime(17, 0, 0, 0)});
  TcxCustomGridTableDateTimeHandling* handling = View->GetDateTimeHandling();
  handling->SetDateFormat("yyyy-mm-dd");
  column->SetDateTimeGrouping(dtgByDate);
  column->SetGroupIndex(0);
  EXPECT_EQ(RowTexts(column), (std::vector<AnsiString>{"2024-03-13"})) << "both times of the day in one group";

  handling->SetDateFormat("");
  handling->SetUseLongDateFormat(false);
  // The column's own text of the first record is "13.03.2024 8:00:00"; the group shows its date part.
  const AnsiString own = View->GetDataController()->GetDisplayText(0, column->GetIndex());
  ASSERT_NE(own.find(' '), AnsiString::npos) << own;
  EXPECT_EQ(RowTexts(column), (std::vector<AnsiString>{own.substr(0, own.find(' '))}));
}

// Relative groups stay on the day their ranges were set up on; a refresh sets them up again, for
// the new day, only while a grouping handler is assigned (the view's runs before the column's).
TEST_F(GridDateRangesTest, ARefreshSetsTheGroupingRangesUpForTheNewDayWhileAHandlerIsAssigned) {
  TcxGridColumn* column = DateColumn({EncodeDate(2024, 3, 13), EncodeDate(2024, 3, 14)});
  column->SetDateTimeGrouping(dtgRelativeToToday);
  column->SetGroupIndex(0);
  using TTexts = std::vector<AnsiString>;
  ASSERT_EQ(RowTexts(column), (TTexts{"Today", "Tomorrow"}));

  gTestNow = gTestNow + 1;  // past midnight
  TcxCustomDataController* dc = View->GetDataController();
  dc->Refresh();
  EXPECT_EQ(RowTexts(column), (TTexts{"Today", "Tomorrow"})) << "no handler: the ranges keep their day";

  std::vector<AnsiString> calls;
  auto viewHandler = [&](TcxCustomGridTableItem* item, TcxGridDateRanges*) {
    calls.push_back(item == column ? "view" : "view, other item");
  };
  auto columnHandler = [&](TcxCustomGridTableItem*, TcxGridDateRanges*) { calls.push_back("column"); };
  View->SetOnInitGroupingDateRanges(TcxGridInitDateRangesEvent::Callable(viewHandler));
  column->SetOnInitGroupingDateRanges(TcxGridInitDateRangesEvent::Callable(columnHandler));
  EXPECT_TRUE(calls.empty()) << "assigning a handler sets nothing up";
  dc->Refresh();
  EXPECT_EQ(RowTexts(column), (TTexts{"Yesterday", "Today"}));
  EXPECT_EQ(calls, (TTexts{"view", "column"}));
  View->SetOnInitGroupingDateRanges(nullptr);
  column->SetOnInitGroupingDateRanges(nullptr);
}

// The view's filtering handler runs before the column's; a handler alone, with no months or years
// asked for, still gets the ranges it adds listed.
TEST_F(GridDateRangesTest, AFilteringHandlerOfTheViewAddsRangesBeforeTheColumnsHandler) {
  TcxGridColumn* column = DateColumn({EncodeDate(2024, 3, 13), EncodeDate(2023, 7, 1)});
  View->GetDateTimeHandling()->SetFilters(TcxGridDateTimeFilters{});
  Owned<TStringList> strings(new TStringList);
  Owned<TcxGridFilterValueList> values(orv::grid::NewFilterValueList(column));
  auto dateEntries = [&] {
    orv::grid::GetFilterStrings(column, strings.get(), values.get());
    std::vector<AnsiString> dates;
    for (Integer i = 0; i < strings->GetCount(); ++i)
      if (values->GetEntry(i).Kind == fvkGridDate) dates.push_back(strings->Get(i));
    return dates;
  };
  EXPECT_TRUE(dateEntries().empty());

  std::vector<AnsiString> calls;
  auto viewHandler = [&](TcxCustomGridTableItem*, TcxGridDateRanges* dateRanges) {
    calls.push_back("view");
    dateRanges->Add(TcxGridYearRange::StaticClass());
  };
  auto columnHandler = [&](TcxCustomGridTableItem*, TcxGridDateRanges* dateRanges) {
    calls.push_back("column");
    EXPECT_EQ(dateRanges->Count(), 1) << "the view's range is already there";
  };
  View->SetOnInitFilteringDateRanges(TcxGridInitDateRangesEvent::Callable(viewHandler));
  column->SetOnInitFilteringDateRanges(TcxGridInitDateRangesEvent::Callable(columnHandler));
  EXPECT_EQ(dateEntries(), (std::vector<AnsiString>{"2023", "2024"}));
  EXPECT_EQ(calls, (std::vector<AnsiString>{"view", "column"}));
  View->SetOnInitFilteringDateRanges(nullptr);
  column->SetOnInitFilteringDateRanges(nullptr);
}

}  // namespace grid_filtering_ui_test
