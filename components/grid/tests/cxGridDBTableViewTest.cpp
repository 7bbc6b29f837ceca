// The dataset-bound table view as the program's main window describes it: read from a form
// description over the fixture town table, its records, texts, options, sorting and filtering.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <vector>

#include "components/data/tests/DBDataFixture.h"
#include "components/foundation/cxStyles.h"
#include "components/grid/cxGrid.h"
#include "components/grid/cxGridDBTableView.h"
#include "components/grid/cxGridLevel.h"
#include "components/grid/cxGridTableViewInfo.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/runtime/SysUtils.h"

namespace grid_db_test {

using orv::test::Owned;

class TGridDBHost : public TForm {
  ORV_CLASS(TGridDBHost, TForm)
 public:
  explicit TGridDBHost(TComponent* owner) : TForm(owner) {}
};

ORV_PUBLISH(TGridDBHost) {}

// A plain layout that counts its calculations.
class TCountingViewInfo : public TcxCustomGridViewInfo {
  ORV_CLASS(TCountingViewInfo, TcxCustomGridViewInfo)
 public:
  explicit TCountingViewInfo(TcxCustomGridView* view) : TcxCustomGridViewInfo(view) {}
  static inline Integer Calculations = 0;
  void Calculate() override {
    inherited::Calculate();
    ++Calculations;
  }
};

// The dataset-bound view laid out by the counting layout.
class TCountingDBTableView : public TcxGridDBTableView {
  ORV_CLASS(TCountingDBTableView, TcxGridDBTableView)
 public:
  explicit TCountingDBTableView(TComponent* owner) : TcxGridDBTableView(owner) {}
  TcxCustomGridViewInfoClass GetViewInfoClass() override { return TCountingViewInfo::StaticClass(); }
  TcxCustomGridPainterClass GetPainterClass() override { return TcxCustomGridPainter::StaticClass(); }
};

ORV_PUBLISH(TCountingDBTableView) {}

namespace {

// The main window's grid, as its form description places it (the table, its data source and the
// styles are components of the same form, made before the description is read).
const char* const kMainGridText =
    "object Host: TGridDBHost\n"
    "  object grdOrvane: TcxGrid\n"
    "    Left = 0\n"
    "    Top = 0\n"
    "    Width = 660\n"
    "    Height = 300\n"
    "    object grdOrvaneDBTableView1: TcxGridDBTableView\n"
    "      DataController.DataSource = dsOrvane\n"
    "      DataController.Options = [dcoAnsiSort, dcoAssignGroupingValues, dcoAssignMasterDetailKeys, dcoSaveExpanding]\n"
    "      FilterBox.Visible = fvNever\n"
    "      OptionsCustomize.ColumnsQuickCustomization = True\n"
    "      OptionsData.Deleting = False\n"
    "      OptionsData.DeletingConfirmation = False\n"
    "      OptionsData.Editing = False\n"
    "      OptionsData.Inserting = False\n"
    "      OptionsSelection.CellSelect = False\n"
    "      OptionsView.CellEndEllipsis = True\n"
    "      OptionsView.ColumnAutoWidth = True\n"
    "      OptionsView.GridLines = glVertical\n"
    "      OptionsView.GroupByBox = False\n"
    "      OptionsView.GroupRowStyle = grsOffice11\n"
    "      OptionsView.HeaderEndEllipsis = True\n"
    "      OptionsView.Indicator = True\n"
    "      OptionsView.IndicatorWidth = 15\n"
    "      Styles.Background = cxStyle4\n"
    "      Styles.ContentEven = cxStyle2\n"
    "      Styles.ContentOdd = cxStyle1\n"
    "      Styles.Selection = cxStyle3\n"
    "      object grdOrvaneDBTableView1COUNTRY: TcxGridDBColumn\n"
    "        Caption = 'Страна'\n"
    "        DataBinding.FieldName = 'COUNTRY'\n"
    "        HeaderAlignmentHorz = taCenter\n"
    "        HeaderAlignmentVert = vaCenter\n"
    "        Options.Editing = False\n"
    "        Options.Filtering = False\n"
    "        Options.Grouping = False\n"
    "        Options.Moving = False\n"
    "        Width = 150\n"
    "      end\n"
    "      object grdOrvaneDBTableView1CITY: TcxGridDBColumn\n"
    "        Caption = 'Город'\n"
    "        DataBinding.FieldName = 'CITY'\n"
    "        HeaderAlignmentHorz = taCenter\n"
    "        HeaderAlignmentVert = vaCenter\n"
    "        Options.Editing = False\n"
    "        Options.Filtering = False\n"
    "        Options.Grouping = False\n"
    "        Options.Moving = False\n"
    "        Width = 245\n"
    "      end\n"
    "      object grdOrvaneDBTableView1G_DOLG: TcxGridDBColumn\n"
    "        Caption = 'Г.Долгота'\n"
    "        DataBinding.FieldName = 'G_DOLG'\n"
    "        Options.Sorting = False\n"
    "        Width = 66\n"
    "      end\n"
    "      object grdOrvaneDBTableView1LAT: TcxGridDBColumn\n"
    "        Caption = 'Г.Шир, град.'\n"
    "        DataBinding.FieldName = 'LAT'\n"
    "        Visible = False\n"
    "      end\n"
    "    end\n"
    "    object grdOrvaneLevel1: TcxGridLevel\n"
    "      GridView = grdOrvaneDBTableView1\n"
    "    end\n"
    "  end\n"
    "end\n";

class GridDBTableViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    orv::headless::Reset();
    Host.reset(new TGridDBHost(nullptr));
    Host->AfterConstruction();
    Host->SetName("Host");
    Temp.Write("ORVANE.DBF", dbftest::TownTableBytes());
    auto* database = new TDsDatabase(Host.get());
    database->SetName("DsDatabase");
    database->SetDatabaseName(Temp.Dir);
    Table = new TDsDbfTable(Host.get());
    Table->SetName("tblOrvane");
    Table->SetDatabase(database);
    Table->SetCodePage(dBASE_RUS_cp866);
    Table->SetReadOnly(true);
    Table->SetTableName("ORVANE.DBF");
    Table->Open();
    AddSourceAndStyles(Host.get());
    orv::ReadComponentFromText(Host.get(), kMainGridText);
    Grid = dynamic_cast<TcxGrid*>(Host->FindComponent("grdOrvane"));
    View = dynamic_cast<TcxGridDBTableView*>(Host->FindComponent("grdOrvaneDBTableView1"));
    ASSERT_NE(Grid, nullptr);
    ASSERT_NE(View, nullptr);
  }
  // The data source over the table and the four styles the description names.
  void AddSourceAndStyles(TComponent* host) {
    auto* source = new TDataSource(host);
    source->SetName("dsOrvane");
    source->SetDataSet(Table);
    const TColor colors[] = {clWhite, TColor(0xF0F0F0), TColor(0xB6B6B6), clWhite};
    for (Integer i = 0; i < 4; ++i) {
      auto* style = new TcxStyle(host);
      style->SetName("cxStyle" + IntToStr(i + 1));
      style->SetColor(colors[i]);
    }
  }
  void TearDown() override {
    Host.reset();
    orv::headless::Reset();
  }

  TcxGridDBColumn* Column(const char* name) const {
    return dynamic_cast<TcxGridDBColumn*>(Host->FindComponent(AnsiString("grdOrvaneDBTableView1") + name));
  }
  // The display texts of a column, row by row.
  std::vector<AnsiString> ColumnTexts(TcxGridColumn* column) const {
    std::vector<AnsiString> texts;
    TcxGridViewData* data = View->GetViewData();
    for (Integer i = 0; i < data->GetRowCount(); ++i) texts.push_back(data->GetRow(i)->GetDisplayTexts(column->GetIndex()));
    return texts;
  }
  // What the dataset itself lets through, walking it.
  Integer DataSetCount() { return Integer(orv::test::DataSetIds(Table).size()); }

  dbftest::TTempDir Temp;
  Owned<TGridDBHost> Host;
  TDsDbfTable* Table = nullptr;
  TcxGrid* Grid = nullptr;
  TcxGridDBTableView* View = nullptr;
};

TEST_F(GridDBTableViewTest, TheDescribedViewShowsTheTablesRecordsThroughColumnsBoundByFieldName) {
  ASSERT_EQ(View->GetColumnCount(), 4);
  EXPECT_EQ(Grid->GetRootLevel()->GetItem(0)->GetGridView(), View);
  EXPECT_EQ(Column("COUNTRY")->GetDataBinding()->GetFieldName(), "COUNTRY");
  EXPECT_EQ(Column("CITY")->GetDataBinding()->GetField(), Table->FieldByName("CITY"));
  EXPECT_EQ(Column("COUNTRY")->GetCaption(), "Страна"_a);
  EXPECT_FALSE(Column("LAT")->GetVisible());
  EXPECT_EQ(View->GetVisibleColumnCount(), 3);

  const Integer count = View->GetDataController()->GetRecordCount();
  EXPECT_EQ(count, DataSetCount());
  EXPECT_GT(count, 10);
  // Row by row the texts are the dataset's, in its order.
  std::vector<AnsiString> cities;
  for (Table->First(); !Table->GetEOF(); Table->Next()) cities.push_back(Table->FieldByName("CITY")->GetAsString());
  EXPECT_EQ(ColumnTexts(Column("CITY")), cities);
}

TEST_F(GridDBTableViewTest, TheMainWindowsOptionsAllTakeEffect) {
  TcxGridTableOptionsView* view = View->GetOptionsView();
  EXPECT_TRUE(view->GetColumnAutoWidth());
  EXPECT_TRUE(view->GetCellEndEllipsis());
  EXPECT_TRUE(view->GetHeaderEndEllipsis());
  EXPECT_TRUE(view->GetIndicator());
  EXPECT_EQ(view->GetIndicatorWidth(), 15);
  EXPECT_EQ(view->GetGridLines(), glVertical);
  EXPECT_FALSE(view->GetGroupByBox());
  EXPECT_EQ(view->GetGroupRowStyle(), grsOffice11);
  EXPECT_EQ(View->GetFilterBox()->GetVisible(), fvNever);
  EXPECT_TRUE(View->GetOptionsCustomize()->GetColumnsQuickCustomization());
  EXPECT_FALSE(View->GetOptionsData()->GetEditing());
  EXPECT_FALSE(View->GetOptionsData()->GetInserting());
  EXPECT_FALSE(View->GetOptionsData()->GetDeleting());
  EXPECT_FALSE(View->GetOptionsSelection()->GetCellSelect());
  EXPECT_TRUE(View->GetDataController()->GetOptions().Contains(dcoAnsiSort));
  EXPECT_EQ(View->GetStyles()->GetContentEven(), Host->FindComponent("cxStyle2"));
  EXPECT_EQ(View->GetStyles()->GetContentOdd(), Host->FindComponent("cxStyle1"));
  EXPECT_EQ(View->GetStyles()->GetSelection(), Host->FindComponent("cxStyle3"));
  EXPECT_EQ(View->GetStyles()->GetBackground(), Host->FindComponent("cxStyle4"));
  // Even and odd rows take their styles' colours.
  TcxViewParams even, odd;
  View->GetStyles()->GetContentParams(View->GetViewData()->GetRow(0), Column("CITY"), even);
  View->GetStyles()->GetContentParams(View->GetViewData()->GetRow(1), Column("CITY"), odd);
  EXPECT_EQ(even.Color, TColor(0xF0F0F0));
  EXPECT_EQ(odd.Color, clWhite);
  // Read-only: no column can be edited.
  EXPECT_FALSE(Column("CITY")->CanEdit());
  EXPECT_FALSE(Column("COUNTRY")->CanGroup());
  EXPECT_FALSE(Column("G_DOLG")->CanSort());
  EXPECT_TRUE(Column("CITY")->CanSort());
  EXPECT_EQ(Column("COUNTRY")->GetHeaderAlignmentHorz(), taCenter);
  EXPECT_EQ(Column("COUNTRY")->GetWidth(), 150);
}

TEST_F(GridDBTableViewTest, UnderTheGridsLockASearchLaysTheViewOutAsOftenForManyFilterPiecesAsForOne) {
  // The same grid, shown, with a view whose layout counts its calculations.
  Owned<TGridDBHost> host(new TGridDBHost(nullptr));
  host->AfterConstruction();
  host->SetName("Host2");
  AddSourceAndStyles(host.get());
  AnsiString text = kMainGridText;
  text.replace(text.find(": TcxGridDBTableView"), 20, ": TCountingDBTableView");
  orv::ReadComponentFromText(host.get(), text);
  auto* grid = static_cast<TcxGrid*>(host->FindComponent("grdOrvane"));
  auto* view = dynamic_cast<TCountingDBTableView*>(host->FindComponent("grdOrvaneDBTableView1"));
  ASSERT_NE(view, nullptr);
  host->SetBounds(0, 0, 700, 400);
  host->Show();
  Application->ProcessMessages();

  // The search road as the program runs it: the grid locked, the filter text set piece by piece
  // inside one batch of the table.
  auto search = [&](const std::vector<AnsiString>& pieces) {
    TCountingViewInfo::Calculations = 0;
    grid->BeginUpdate();
    orv::test::Search(Table, pieces);
    grid->EndUpdate();
    Application->ProcessMessages();
    EXPECT_EQ(view->GetDataController()->GetRecordCount(), DataSetCount());
    return TCountingViewInfo::Calculations;
  };
  const Integer onePiece = search({"(COUNTRY = 'Россия')"_a});
  const Integer threePieces = search({"(COUNTRY = 'Россия')"_a, " and (CITY = 'М*')"_a, " and (LAT > 50)"_a});
  EXPECT_GE(onePiece, 1);
  EXPECT_EQ(threePieces, onePiece);
  EXPECT_GT(DataSetCount(), 0);
  EXPECT_LT(DataSetCount(), 10);
  for (Integer i = 0; i < view->GetViewData()->GetRowCount(); ++i)
    EXPECT_EQ(view->GetViewData()->GetRow(i)->GetDisplayTexts(1).substr(0, 1), "М"_a);
  EXPECT_EQ(search({}), onePiece);
  EXPECT_GT(view->GetDataController()->GetRecordCount(), 10);
}

TEST_F(GridDBTableViewTest, SortingByAColumnOrdersRussianNamesAsTheLocaleDoes) {
  Column("COUNTRY")->SetSortOrder(soAscending);
  std::vector<AnsiString> countries = ColumnTexts(Column("COUNTRY"));
  std::vector<AnsiString> expected = countries;
  std::stable_sort(expected.begin(), expected.end(),
                   [](const AnsiString& a, const AnsiString& b) { return AnsiCompareStr(a, b) < 0; });
  EXPECT_EQ(countries, expected);
  // The locale puts "Сан-Томе и Принсипи" before "США" (the byte order would not).
  const auto santome = std::find(countries.begin(), countries.end(), "Сан-Томе и Принсипи"_a);
  const auto usa = std::find(countries.begin(), countries.end(), "США"_a);
  ASSERT_NE(santome, countries.end());
  ASSERT_NE(usa, countries.end());
  EXPECT_LT(santome, usa);

  Column("COUNTRY")->SetSortOrder(soDescending);
  countries = ColumnTexts(Column("COUNTRY"));
  std::reverse(expected.begin(), expected.end());
  EXPECT_EQ(countries.front(), expected.front());
  EXPECT_EQ(countries.back(), expected.back());
}

TEST_F(GridDBTableViewTest, TheFilterRowFiltersTheTablesRecords) {
  View->GetFilterRow()->SetVisible(true);
  TcxGridFilterRow* filterRow = View->GetViewData()->GetFilterRow();
  ASSERT_NE(filterRow, nullptr);
  filterRow->SetValue(Column("CITY")->GetIndex(), "Мос%"_a);
  TcxFilterCriteriaItem* condition = filterRow->GetFilterCriteriaItem(Column("CITY")->GetIndex());
  ASSERT_NE(condition, nullptr);
  EXPECT_EQ(condition->GetOperatorCode(), focLike);
  for (const AnsiString& city : ColumnTexts(Column("CITY"))) EXPECT_EQ(city.substr(0, 3), "Мос"_a);
  EXPECT_GE(View->GetDataController()->GetRecordCount(), 2);
}

TEST_F(GridDBTableViewTest, InGridModeTheRecordWalkMovesTheBufferAtItsEndsAndReachesTheDatasetsEnds) {
  const std::vector<Integer> ids = orv::test::DataSetIds(Table);
  ASSERT_GT(ids.size(), 12u);
  auto* dc = dynamic_cast<TcxDBDataController*>(View->GetDataController());
  ASSERT_NE(dc, nullptr);
  dc->GetDataModeController()->SetGridModeBufferCount(5);
  dc->GetDataModeController()->SetGridMode(true);
  ASSERT_TRUE(dc->IsGridMode());
  TcxCustomGridTableController* c = View->GetTableController();
  auto currentId = [&] { return Table->FieldByName("ID")->GetAsInteger(); };

  ASSERT_TRUE(c->GoToFirst());
  EXPECT_EQ(currentId(), ids[0]);
  EXPECT_TRUE(c->IsStart());
  // Down past the fifth loaded record: the buffer moves on, a record at a time.
  for (Integer step = 1; step <= 8; ++step) {
    ASSERT_TRUE(c->GoToNext()) << step;
    EXPECT_EQ(currentId(), ids[step]) << step;
  }
  EXPECT_EQ(dc->GetRecordCount(), 5);
  EXPECT_FALSE(c->IsStart());
  EXPECT_FALSE(c->IsFinish());
  // Back up past the first loaded record.
  for (Integer step = 7; step >= 0; --step) {
    ASSERT_TRUE(c->GoToPrev()) << step;
    EXPECT_EQ(currentId(), ids[step]) << step;
  }
  // The dataset tells its beginning once a step tried to go before it.
  EXPECT_FALSE(c->GoToPrev());
  EXPECT_EQ(currentId(), ids[0]);
  EXPECT_TRUE(c->IsStart());

  // The last record is the dataset's, and the first again after it.
  ASSERT_TRUE(c->GoToLast());
  EXPECT_EQ(currentId(), ids.back());
  EXPECT_TRUE(c->IsFinish());
  EXPECT_FALSE(c->GoToNext());
  ASSERT_TRUE(c->GoToPrev());
  EXPECT_EQ(currentId(), ids[ids.size() - 2]);
  ASSERT_TRUE(c->GoToFirst());
  EXPECT_EQ(currentId(), ids[0]);

  // A top record beyond the loaded records moves the buffer instead.
  c->SetTopRecordIndex(-3);
  EXPECT_EQ(c->GetTopRecordIndex(), 0);
}

TEST_F(GridDBTableViewTest, InGridModeAResizedViewChecksItsBufferOnceAfterTheNewLayout) {
  auto* dc = dynamic_cast<TcxDBDataController*>(View->GetDataController());
  ASSERT_NE(dc, nullptr);
  TcxCustomGridTableController* c = View->GetTableController();
  Host->SetBounds(0, 0, 700, 400);
  Host->Show();
  Grid->SetHeight(150);
  orv::headless::AdvanceTime(10);
  EXPECT_FALSE(c->IsCheckTopRecordIndexPosted());  // not in grid mode

  dc->GetDataModeController()->SetGridModeBufferCount(5);
  dc->GetDataModeController()->SetGridMode(true);
  orv::headless::AdvanceTime(10);
  EXPECT_FALSE(c->IsCheckTopRecordIndexPosted());
  // Two size changes post one check, which runs on the timer and refills the buffer.
  View->BoundsChanged(false, false);
  View->BoundsChanged(false, false);
  EXPECT_TRUE(c->IsCheckTopRecordIndexPosted());
  Table->Next();
  Table->Next();
  const Integer current = Table->FieldByName("ID")->GetAsInteger();
  orv::headless::AdvanceTime(20);
  EXPECT_FALSE(c->IsCheckTopRecordIndexPosted());
  orv::headless::AdvanceTime(20);
  EXPECT_FALSE(c->IsCheckTopRecordIndexPosted());  // the refill does not post another check
  EXPECT_EQ(dc->GetRecordCount(), 5);
  // The refilled buffer holds the dataset's current record, and the view focuses it.
  TcxCustomGridRecord* focused = c->GetFocusedRecord();
  ASSERT_NE(focused, nullptr);
  EXPECT_EQ(Table->FieldByName("ID")->GetAsInteger(), current);
}

TEST_F(GridDBTableViewTest, InGridModeTheDefaultBufferHoldsTheRowsOfAScreenNotThoseShownNow) {
  // The program's own table, with more towns than a screen shows.
  Table->Close();
  std::filesystem::copy_file(std::string(ORV_SOURCE_DIR) + "/DB/ORVANE.DBF", Temp.Dir + "/ORVANE.DBF",
                             std::filesystem::copy_options::overwrite_existing);
  Table->Open();
  auto* dc = dynamic_cast<TcxDBDataController*>(View->GetDataController());
  ASSERT_NE(dc, nullptr);
  Host->SetBounds(0, 0, 700, 400);
  Host->Show();
  Grid->SetHeight(157);
  orv::headless::AdvanceTime(10);
  dc->GetDataModeController()->SetGridMode(true);
  orv::headless::AdvanceTime(20);
  auto* viewInfo = dynamic_cast<TcxGridTableViewInfo*>(View->GetViewInfo());
  ASSERT_NE(viewInfo, nullptr);
  TcxGridRowsViewInfo* rows = viewInfo->RowsViewInfo();
  const Integer rowHeight = rows->GetDataRowHeight();
  ASSERT_GT(rowHeight, 0);
  const Integer screenRows = Screen->GetHeight() / rowHeight + 2;
  ASSERT_GT(Table->GetRecordCount(), screenRows);
  // A height that cuts the last row.
  if (rows->PartVisibleCount() == rows->GetVisibleCount()) {
    Grid->SetHeight(Grid->GetHeight() + rowHeight / 2);
    orv::headless::AdvanceTime(20);
    rows = viewInfo->RowsViewInfo();
  }
  EXPECT_EQ(dc->GetGridModeBufferCount(), screenRows);
  EXPECT_EQ(dc->GetRecordCount(), screenRows);
  // The last row, cut by the bottom edge, shows a town too.
  ASSERT_GT(rows->PartVisibleCount(), rows->GetVisibleCount());
  EXPECT_LE(rows->PartVisibleCount(), dc->GetRecordCount());
  EXPECT_NE(rows->Row(rows->PartVisibleCount() - 1), nullptr);
  // A taller view needs no other buffer.
  Grid->SetHeight(380);
  orv::headless::AdvanceTime(20);
  EXPECT_GT(View->GetTableController()->GetVisibleRecordCount(), 15);
  EXPECT_EQ(dc->GetRecordCount(), screenRows);
}

}  // namespace
}  // namespace grid_db_test
