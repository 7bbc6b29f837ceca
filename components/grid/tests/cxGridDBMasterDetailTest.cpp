// A master-detail grid over two tables, read from a form description: a countries level whose
// child level shows the towns of the country, both dataset-bound table views, linked by the
// country code (the towns' DetailKeyFieldNames against the countries' MasterKeyFieldNames).
// Expanding a country's master row shows exactly its towns (none for a country without towns).
#include <gtest/gtest.h>

#include <vector>

#include "components/data/tests/DBMasterDetailFixture.h"
#include "components/grid/cxGrid.h"
#include "components/grid/cxGridDBTableView.h"
#include "components/grid/cxGridLevel.h"
#include "components/grid/cxGridTableView.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"

namespace grid_db_master_detail_test {

using orv::test::Owned;

class TCountryTownHost : public TForm {
  ORV_CLASS(TCountryTownHost, TForm)
 public:
  explicit TCountryTownHost(TComponent* owner) : TForm(owner) {}
};

// The data sources are components of the form, made before the description is read.
const char* const kCountryTownGridText =
    "object Host: TCountryTownHost\n"
    "  object grdCountries: TcxGrid\n"
    "    Left = 0\n"
    "    Top = 0\n"
    "    Width = 500\n"
    "    Height = 400\n"
    "    object tvCountries: TcxGridDBTableView\n"
    "      DataController.DataSource = dsCountries\n"
    "      DataController.KeyFieldNames = 'CODE'\n"
    "      object tvCountriesCODE: TcxGridDBColumn\n"
    "        Caption = 'Код'\n"
    "        DataBinding.FieldName = 'CODE'\n"
    "      end\n"
    "      object tvCountriesNAME: TcxGridDBColumn\n"
    "        Caption = 'Страна'\n"
    "        DataBinding.FieldName = 'NAME'\n"
    "      end\n"
    "    end\n"
    "    object tvTowns: TcxGridDBTableView\n"
    "      DataController.DataSource = dsTowns\n"
    "      DataController.DetailKeyFieldNames = 'CODE'\n"
    "      DataController.KeyFieldNames = 'ID'\n"
    "      DataController.MasterKeyFieldNames = 'CODE'\n"
    "      object tvTownsID: TcxGridDBColumn\n"
    "        DataBinding.FieldName = 'ID'\n"
    "      end\n"
    "      object tvTownsCITY: TcxGridDBColumn\n"
    "        Caption = 'Город'\n"
    "        DataBinding.FieldName = 'CITY'\n"
    "      end\n"
    "    end\n"
    "    object lvCountries: TcxGridLevel\n"
    "      Caption = 'Страны'\n"
    "      GridView = tvCountries\n"
    "      Options.DetailTabsPosition = dtpTop\n"
    "      object lvTowns: TcxGridLevel\n"
    "        Caption = 'Города'\n"
    "        GridView = tvTowns\n"
    "      end\n"
    "    end\n"
    "  end\n"
    "end\n";

class GridDBMasterDetailTest : public ::testing::Test {
 protected:
  void SetUp() override {
    orv::headless::Reset();
    Tables = std::make_unique<orv::test::TCountryTownTables>();
    Host.reset(new TCountryTownHost(nullptr));
    Host->AfterConstruction();
    Host->SetName("Host");
    auto* countries = new TDataSource(Host.get());
    countries->SetName("dsCountries");
    countries->SetDataSet(Tables->Countries);
    auto* towns = new TDataSource(Host.get());
    towns->SetName("dsTowns");
    towns->SetDataSet(Tables->Towns);
    orv::ReadComponentFromText(Host.get(), kCountryTownGridText);
    Grid = dynamic_cast<TcxGrid*>(Host->FindComponent("grdCountries"));
    Countries = dynamic_cast<TcxGridDBTableView*>(Host->FindComponent("tvCountries"));
    Towns = dynamic_cast<TcxGridDBTableView*>(Host->FindComponent("tvTowns"));
    ASSERT_NE(Grid, nullptr);
    ASSERT_NE(Countries, nullptr);
    ASSERT_NE(Towns, nullptr);
  }
  void TearDown() override {
    Host.reset();
    Tables.reset();
    orv::headless::Reset();
  }

  TcxGridMasterDataRow* MasterRow(Integer i) {
    return dynamic_cast<TcxGridMasterDataRow*>(Countries->GetViewData()->GetRow(i));
  }
  AnsiString CodeOfRow(Integer i) {
    return Countries->GetDataController()->GetValue(MasterRow(i)->GetRecordIndex(), 0).AsString();
  }
  // The cities a detail view's rows show, row by row.
  static std::vector<AnsiString> RowCities(TcxCustomGridView* detail) {
    auto* view = dynamic_cast<TcxGridDBTableView*>(detail);
    std::vector<AnsiString> cities;
    if (!view) return cities;
    TcxGridViewData* data = view->GetViewData();
    for (Integer i = 0; i < data->GetRowCount(); ++i) cities.push_back(data->GetRow(i)->GetDisplayTexts(1));
    return cities;
  }

  std::unique_ptr<orv::test::TCountryTownTables> Tables;
  Owned<TCountryTownHost> Host;
  TcxGrid* Grid = nullptr;
  TcxGridDBTableView* Countries = nullptr;
  TcxGridDBTableView* Towns = nullptr;
};

TEST_F(GridDBMasterDetailTest, ExpandingACountryShowsOnlyItsTowns) {
  ASSERT_TRUE(Countries->IsMaster());
  ASSERT_EQ(Countries->GetViewData()->GetRowCount(), Integer(orv::test::FixtureCountries().size()));
  // Only countries with towns can be expanded: the town dataset is asked for each code.
  for (Integer i = 0; i < Countries->GetViewData()->GetRowCount(); ++i) {
    ASSERT_NE(MasterRow(i), nullptr);
    EXPECT_EQ(MasterRow(i)->HasDetailData(), !orv::test::FixtureCitiesOf(CodeOfRow(i)).empty()) << i;
  }
  for (Integer i = 0; i < Countries->GetViewData()->GetRowCount(); ++i) {
    const AnsiString code = CodeOfRow(i);
    SCOPED_TRACE(code);
    MasterRow(i)->SetExpanded(true);
    ASSERT_TRUE(MasterRow(i)->GetExpanded());
    TcxCustomGridView* detail = MasterRow(i)->GetActiveDetailGridView();
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->PatternGridView(), Towns);
    EXPECT_EQ(detail->GetDataController()->GetRecordCount(), Integer(orv::test::FixtureCitiesOf(code).size()));
    EXPECT_EQ(RowCities(detail), orv::test::FixtureCitiesOf(code));
  }
  // Each expanded country kept its own towns while the others were expanded.
  for (Integer i = 0; i < Countries->GetViewData()->GetRowCount(); ++i) {
    if (!MasterRow(i)->GetExpanded()) continue;
    EXPECT_EQ(RowCities(MasterRow(i)->GetActiveDetailGridView()), orv::test::FixtureCitiesOf(CodeOfRow(i))) << i;
  }
}

TEST_F(GridDBMasterDetailTest, FilteringTheTownsUpdatesTheExpandedCountries) {
  Integer russia = -1;
  for (Integer i = 0; i < Countries->GetViewData()->GetRowCount(); ++i)
    if (CodeOfRow(i) == "RU") russia = i;
  ASSERT_NE(russia, -1);
  MasterRow(russia)->SetExpanded(true);
  ASSERT_EQ(RowCities(MasterRow(russia)->GetActiveDetailGridView()).size(), 4u);
  Tables->Towns->SetFilter("(city <> 'Омск')"_a);
  Tables->Towns->SetFiltered(true);
  ASSERT_TRUE(MasterRow(russia)->GetExpanded());
  EXPECT_EQ(RowCities(MasterRow(russia)->GetActiveDetailGridView()),
            (std::vector<AnsiString>{"Москва"_a, "Мурманск"_a, "Тверь"_a}));
}

TEST_F(GridDBMasterDetailTest, AnExpandedCountryShowsItsTownsInsideItsRow) {
  Host->SetBounds(0, 0, 540, 470);
  Host->Show();
  Application->ProcessMessages();
  Integer belarus = -1;
  for (Integer i = 0; i < Countries->GetViewData()->GetRowCount(); ++i)
    if (CodeOfRow(i) == "BY") belarus = i;
  ASSERT_NE(belarus, -1);
  MasterRow(belarus)->SetExpanded(true);
  Application->ProcessMessages();
  ASSERT_EQ(RowCities(MasterRow(belarus)->GetActiveDetailGridView()), orv::test::FixtureCitiesOf("BY"));
  const orv::TImageCheck check =
      orv::MatchGoldenImage(orv::headless::CaptureWindow(Grid->GetHandle()),
                            std::string(ORV_SOURCE_DIR) + "/components/grid/tests/golden/db-master-detail-towns.png");
  EXPECT_TRUE(check) << check.Message;
}

TEST_F(GridDBMasterDetailTest, MovingTheTownCursorOpensTheTownsCountryWithTheTownFocused) {
  ASSERT_TRUE(Tables->Towns->Locate("ID", Variant(Integer(9)), {}));
  Integer russia = -1;
  for (Integer i = 0; i < Countries->GetViewData()->GetRowCount(); ++i)
    if (CodeOfRow(i) == "RU") russia = i;
  ASSERT_NE(russia, -1);
  EXPECT_EQ(Countries->GetDataController()->GetFocusedRowIndex(), russia);
  ASSERT_TRUE(MasterRow(russia)->GetExpanded());
  TcxCustomGridView* detail = MasterRow(russia)->GetActiveDetailGridView();
  ASSERT_NE(detail, nullptr);
  EXPECT_EQ(RowCities(detail), orv::test::FixtureCitiesOf("RU"));
  TcxCustomDataController* towns = detail->GetDataController();
  ASSERT_GE(towns->GetFocusedRecordIndex(), 0);
  EXPECT_EQ(towns->GetDisplayText(towns->GetFocusedRecordIndex(), 1), "Омск"_a);
  for (Integer i = 0; i < Countries->GetViewData()->GetRowCount(); ++i)
    if (i != russia) {
      EXPECT_FALSE(MasterRow(i)->GetExpanded()) << CodeOfRow(i);
    }
}

}  // namespace grid_db_master_detail_test
