// Dataset-bound master-detail: a country controller is the master of a town template linked by
// the country code; each country's detail clone reads only the towns of its code from the town
// dataset all clones share.
#include <gtest/gtest.h>

#include <vector>

#include "components/data/cxDBData.h"
#include "components/data/tests/DBDataFixture.h"
#include "components/data/tests/DBMasterDetailFixture.h"
#include "memdata/RxMemDS.h"
#include "platform/dataset/Params.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Variants.h"

using namespace orv::test;

namespace {

// A controller that makes its detail clones itself: the clone is the link object, bound to the
// template's dataset, items and key names.
class TMDTestDBController : public TTestDBDataController {
  ORV_CLASS(TMDTestDBController, TTestDBDataController)
 public:
  explicit TMDTestDBController(TComponent* owner) : TTestDBDataController(owner) {}

  std::vector<AnsiString> FieldNames;

  void AddNamedFields(const std::vector<AnsiString>& names) {
    FieldNames = names;
    AddFieldItems(names);
  }

  TObject* CreateDetailLinkObject(TcxCustomDataRelation* relation, Integer recordIndex) override {
    auto* pattern = dynamic_cast<TMDTestDBController*>(relation->GetDetailDataController());
    if (!pattern) return nullptr;
    auto* clone = new TMDTestDBController(nullptr);
    clone->AddNamedFields(pattern->FieldNames);
    clone->SetKeyFieldNames(pattern->GetKeyFieldNames());
    clone->SetDetailKeyFieldNames(pattern->GetDetailKeyFieldNames());
    clone->SetMasterKeyFieldNames(pattern->GetMasterKeyFieldNames());
    clone->SetDataModeController(pattern->GetDataModeController());
    clone->SetDataSource(pattern->GetDataSource());
    clone->SetMasterRelation(relation, recordIndex);
    ++ClonesMade;
    return clone;
  }
  // The master's own say on moving the focus (a view refusing to leave an invalid row).
  Boolean CanChangeFocusedRow() override { return !RefuseFocusChange && inherited::CanChangeFocusedRow(); }
  Boolean RefuseFocusChange = false;

  TcxCustomDataController* GetDetailDataController(TObject* linkObject) override {
    return dynamic_cast<TcxCustomDataController*>(linkObject);
  }
  using TcxCustomDataController::GetDetailDataController;

  Integer ClonesMade = 0;
};

using TMDControllerPtr = std::unique_ptr<TMDTestDBController, orv::FreeDeleter>;

enum { kMDCountryCode, kMDCountryName };
enum { kMDTownId, kMDTownCode, kMDTownCity };

class TMDObjectLevel : public TObject {
  ORV_CLASS(TMDObjectLevel, TObject)
 public:
  TMDObjectLevel() = default;
};

// Countries master (keyed by CODE) and the town template linked CODE -> CODE over a dataset.
struct TCountryTownControllers {
  TMDObjectLevel Level;
  TMDControllerPtr Master{new TMDTestDBController(nullptr)};
  TMDControllerPtr Template{new TMDTestDBController(nullptr)};
  TcxCustomDataRelation* Relation = nullptr;

  TCountryTownControllers(TDataSource* countries, TDataSource* towns, const AnsiString& townKey = "ID") {
    Master->AddNamedFields({"CODE", "NAME"});
    Master->SetKeyFieldNames("CODE");
    Master->SetDataSource(countries);
    Template->AddNamedFields({"ID", "CODE", "CITY"});
    Template->SetKeyFieldNames(townKey);
    Template->SetDataSource(towns);
    Relation = Master->GetRelationList()->Add(&Level);
    Template->AttachAsDetailTemplate(Relation, true);
    Template->SetDetailKeyFieldNames("CODE");
    Template->SetMasterKeyFieldNames("CODE");
  }
  ~TCountryTownControllers() {
    Master->GetRelationList()->Clear();
    Template.reset();
    Master.reset();
  }

  Integer MasterRecordOf(const AnsiString& code) {
    for (Integer r = 0; r < Master->GetRecordCount(); ++r)
      if (Master->GetValue(r, kMDCountryCode).AsString() == code) return r;
    return -1;
  }
  TcxCustomDataController* DetailOf(const AnsiString& code) {
    const Integer r = MasterRecordOf(code);
    return r == -1 ? nullptr : Master->GetDetailDataController(r, 0);
  }
};

std::vector<AnsiString> DetailCities(TcxCustomDataController* detail) {
  std::vector<AnsiString> cities;
  for (Integer r = 0; r < detail->GetRecordCount(); ++r) cities.push_back(detail->GetValue(r, kMDTownCity).AsString());
  return cities;
}

// Every master record's detail holds exactly the towns of its code.
void ExpectEveryDetailRight(TCountryTownControllers& c) {
  for (Integer r = 0; r < c.Master->GetRecordCount(); ++r) {
    const AnsiString code = c.Master->GetValue(r, kMDCountryCode).AsString();
    SCOPED_TRACE(code);
    TcxCustomDataController* detail = c.Master->GetDetailDataController(r, 0);
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(DetailCities(detail), FixtureCitiesOf(code));
  }
}

}  // namespace

TEST(cxDBDataMasterDetail, EachCountrysDetailReadsOnlyTheTownsOfItsCode) {
  TCountryTownTables tables;
  TCountryTownControllers c(tables.CountrySource, tables.TownSource);
  ASSERT_EQ(c.Master->GetRecordCount(), Integer(FixtureCountries().size()));
  auto* relation = dynamic_cast<TcxDBDataRelation*>(c.Relation);
  ASSERT_NE(relation, nullptr);
  EXPECT_TRUE(relation->HasKeyLink());
  EXPECT_EQ(relation->GetMasterKeyValues(c.MasterRecordOf("RU")).AsString(), "RU");
  EXPECT_EQ(c.Template->GetRecordCount(), 0);  // the template reads nothing itself

  // Whether a country has towns is asked of the dataset before any detail exists.
  for (Integer r = 0; r < c.Master->GetRecordCount(); ++r) {
    const AnsiString code = c.Master->GetValue(r, kMDCountryCode).AsString();
    EXPECT_EQ(c.Master->HasDetailChildren(r, 0), !FixtureCitiesOf(code).empty()) << code;
  }
  EXPECT_EQ(c.Master->ClonesMade, 0);

  ExpectEveryDetailRight(c);
  EXPECT_EQ(c.Master->ClonesMade, Integer(FixtureCountries().size()));
  // The town of no country belongs to no detail; the country without towns has an empty one.
  EXPECT_EQ(c.DetailOf("GH")->GetRecordCount(), 0);
  // A clone's key is its master record's code, read once it was attached.
  auto* ru = dynamic_cast<TcxDBDataController*>(c.DetailOf("RU"));
  EXPECT_EQ(ru->GetMasterDetailKeyValues().AsString(), "RU");
  EXPECT_EQ(ru->GetMasterDetailKeyFieldNames(), "CODE");
}

TEST(cxDBDataMasterDetail, ADetailWithoutMasterKeyNamesIsNotLinked) {
  TCountryTownTables tables;
  TCountryTownControllers c(tables.CountrySource, tables.TownSource);
  c.Template->SetMasterKeyFieldNames("");
  auto* relation = dynamic_cast<TcxDBDataRelation*>(c.Relation);
  EXPECT_FALSE(relation->HasKeyLink());
  EXPECT_EQ(relation->GetMasterKeyField(), nullptr);
  EXPECT_TRUE(VarIsNull(relation->GetMasterKeyValues(0)));
  EXPECT_EQ(c.Template->GetMasterDetailKeyFieldNames(), "");
  // Unlinked, a master record's detail is the whole dataset.
  EXPECT_EQ(c.DetailOf("RU")->GetRecordCount(), Integer(FixtureTownsOfCountries().size()));
  // Named again, the relation links again and new details read by key.
  c.Template->SetMasterKeyFieldNames("CODE");
  EXPECT_TRUE(relation->HasKeyLink());
  ExpectEveryDetailRight(c);
}

TEST(cxDBDataMasterDetail, ScrollingRefreshingAndFilteringTheMasterKeepsEachDetailRight) {
  TCountryTownTables tables;
  TCountryTownControllers c(tables.CountrySource, tables.TownSource);
  for (const char* code : {"BY", "RU", "UA"}) ASSERT_TRUE(c.Master->ChangeDetailExpanding(c.MasterRecordOf(code), true));
  ExpectEveryDetailRight(c);

  // Scrolling the master dataset moves the master's focus; the details stay as they are.
  tables.Countries->First();
  tables.Countries->MoveBy(4);
  EXPECT_EQ(c.Master->GetFocusedRecordIndex(), 4);
  ExpectEveryDetailRight(c);

  // A refresh reloads the master: the same countries are expanded again, with the right towns.
  tables.Countries->Refresh();
  for (const char* code : {"BY", "RU", "UA"}) EXPECT_TRUE(c.Master->GetDetailExpanding(c.MasterRecordOf(code))) << code;
  ExpectEveryDetailRight(c);

  // A filter drops a country before the expanded ones: the others move up and keep their towns.
  tables.Countries->SetFilter("(code <> 'BR')");
  tables.Countries->SetFiltered(true);
  ASSERT_EQ(c.Master->GetRecordCount(), Integer(FixtureCountries().size()) - 1);
  EXPECT_EQ(c.MasterRecordOf("BR"), -1);
  for (const char* code : {"BY", "RU", "UA"}) EXPECT_TRUE(c.Master->GetDetailExpanding(c.MasterRecordOf(code))) << code;
  ExpectEveryDetailRight(c);
}

TEST(cxDBDataMasterDetail, AFilterOnTheTownsReloadsEveryDetailOfTheSharedDataset) {
  TCountryTownTables tables;
  TCountryTownControllers c(tables.CountrySource, tables.TownSource);
  ExpectEveryDetailRight(c);
  tables.Towns->SetFilter("(city <> 'Омск')"_a);
  tables.Towns->SetFiltered(true);
  EXPECT_EQ(DetailCities(c.DetailOf("RU")), (std::vector<AnsiString>{"Москва"_a, "Мурманск"_a, "Тверь"_a}));
  EXPECT_EQ(DetailCities(c.DetailOf("BY")), FixtureCitiesOf("BY"));
  EXPECT_EQ(DetailCities(c.DetailOf("UA")), FixtureCitiesOf("UA"));
}

TEST(cxDBDataMasterDetail, FocusingARowOfOneDetailTakesTheDatasetFromTheOthers) {
  TCountryTownTables tables;
  TCountryTownControllers c(tables.CountrySource, tables.TownSource);
  TcxCustomDataController* ru = c.DetailOf("RU");
  TcxCustomDataController* by = c.DetailOf("BY");
  ASSERT_TRUE(ru && by);
  auto* ruProvider = static_cast<TcxDBDataController*>(ru)->GetDBProvider();
  auto* byProvider = static_cast<TcxDBDataController*>(by)->GetDBProvider();

  ASSERT_TRUE(by->ChangeFocusedRowIndex(1));
  EXPECT_EQ(tables.Towns->FieldByName("CITY")->GetAsString(), "Гомель"_a);
  EXPECT_TRUE(byProvider->IsDataSetCurrent());
  ASSERT_TRUE(ru->ChangeFocusedRowIndex(2));
  EXPECT_EQ(tables.Towns->FieldByName("CITY")->GetAsString(), "Омск"_a);
  EXPECT_TRUE(ruProvider->IsDataSetCurrent());
  EXPECT_FALSE(byProvider->IsDataSetCurrent());
  EXPECT_EQ(by->GetFocusedRecordIndex(), -1);
  EXPECT_EQ(DetailCities(by), FixtureCitiesOf("BY"));
}

TEST(cxDBDataMasterDetail, ATownAppendedInACountrysDetailTakesTheCountrysCode) {
  TCountryTownTables tables;
  TCountryTownControllers c(tables.CountrySource, tables.TownSource);
  TcxCustomDataController* by = c.DetailOf("BY");
  ASSERT_NE(by, nullptr);
  by->Append();
  ASSERT_EQ(tables.Towns->GetState(), dsInsert);
  EXPECT_EQ(tables.Towns->FieldByName("CODE")->GetAsString(), "BY");
  ASSERT_TRUE(by->SetEditValue(kMDTownId, Variant(Integer(20)), evsValue));
  ASSERT_TRUE(by->SetEditValue(kMDTownCity, Variant("Гродно"_a), evsValue));
  by->Post();
  ASSERT_TRUE(tables.Towns->Locate("ID", Variant(Integer(20)), {}));
  EXPECT_EQ(tables.Towns->FieldByName("CODE")->GetAsString(), "BY");
  EXPECT_EQ(tables.Towns->FieldByName("CITY")->GetAsString(), "Гродно"_a);
}

TEST(cxDBDataMasterDetail, ADetailWithoutKeysKeepsItsFocusWhileTheSharedDatasetMoves) {
  TCountryTownTables tables;
  TCountryTownControllers c(tables.CountrySource, tables.TownSource, "");
  TcxCustomDataController* ru = c.DetailOf("RU");
  TcxCustomDataController* by = c.DetailOf("BY");
  ASSERT_TRUE(ru && by);
  ASSERT_TRUE(by->ChangeFocusedRowIndex(1));
  // The dataset scrolls from outside: a position counted by its scrolls would move the focus.
  const Integer at = tables.Towns->GetRecNo();
  tables.Towns->Next();
  tables.Towns->Next();
  ASSERT_EQ(tables.Towns->GetRecNo(), at + 2);
  EXPECT_EQ(by->GetFocusedRecordIndex(), 1);
  EXPECT_EQ(DetailCities(by), FixtureCitiesOf("BY"));
  EXPECT_EQ(DetailCities(ru), FixtureCitiesOf("RU"));
}

TEST(cxDBDataMasterDetail, AChangedMasterKeyRelinksItsDetail) {
  TCountryTownTables tables;
  TCountryTownControllers c(tables.CountrySource, tables.TownSource);
  ASSERT_TRUE(c.Master->ChangeDetailExpanding(c.MasterRecordOf("GH"), true));
  EXPECT_EQ(c.DetailOf("GH")->GetRecordCount(), 0);
  // The country's code is edited to one the towns hold: its detail now reads those towns.
  ASSERT_TRUE(tables.Countries->Locate("CODE", Variant(AnsiString("GH")), {}));
  tables.Countries->Edit();
  tables.Countries->FieldByName("CODE")->SetAsString("ZZ");
  tables.Countries->Post();
  ASSERT_NE(c.MasterRecordOf("ZZ"), -1);
  EXPECT_EQ(DetailCities(c.DetailOf("ZZ")), FixtureCitiesOf("ZZ"));
  ExpectEveryDetailRight(c);
}

TEST(cxDBDataMasterDetail, ChangedKeyNamesOnTheTemplateRelinkTheMaster) {
  TCountryTownTables tables;
  TCountryTownControllers c(tables.CountrySource, tables.TownSource);
  ExpectEveryDetailRight(c);
  // Linked by the town's number against the country's code nothing matches.
  c.Template->SetDetailKeyFieldNames("CITY");
  EXPECT_EQ(c.DetailOf("RU")->GetRecordCount(), 0);
  c.Template->SetDetailKeyFieldNames("CODE");
  ExpectEveryDetailRight(c);
}

TEST(cxDBDataMasterDetail, AnInMemoryTownDatasetSortedByCodeServesAsTheDetail) {
  TCountryTownTables tables;
  std::unique_ptr<TComponent, orv::FreeDeleter> owner(new TComponent(nullptr));
  auto* towns = new TRxMemoryData(owner.get());
  towns->GetFieldDefs().Add("ID", ftInteger);
  towns->GetFieldDefs().Add("CODE", ftString, 2);
  towns->GetFieldDefs().Add("CITY", ftString, 20);
  towns->Open();
  // Appended out of code order, then sorted by the key.
  const auto& fixture = FixtureTownsOfCountries();
  for (std::size_t i = 0; i < fixture.size(); ++i) {
    const TTownOfCountryRow& t = fixture[(i * 5) % fixture.size()];
    towns->Append();
    towns->FieldByName("ID")->SetAsInteger(t.Id);
    towns->FieldByName("CODE")->SetAsString(t.Code);
    towns->FieldByName("CITY")->SetAsString(t.City);
    towns->Post();
  }
  towns->SortByFields("CODE;ID");
  auto* source = new TDataSource(owner.get());
  source->SetDataSet(towns);
  {
    TCountryTownControllers c(tables.CountrySource, source);
    for (Integer r = 0; r < c.Master->GetRecordCount(); ++r) {
      const AnsiString code = c.Master->GetValue(r, kMDCountryCode).AsString();
      EXPECT_EQ(c.Master->HasDetailChildren(r, 0), !FixtureCitiesOf(code).empty()) << code;
    }
    ExpectEveryDetailRight(c);
    // A town added to a country through the dataset shows in that country's detail.
    towns->Append();
    towns->FieldByName("ID")->SetAsInteger(14);
    towns->FieldByName("CODE")->SetAsString("GH");
    towns->FieldByName("CITY")->SetAsString("Аккра"_a);
    towns->Post();
    towns->SortByFields("CODE;ID");
    EXPECT_EQ(DetailCities(c.DetailOf("GH")), (std::vector<AnsiString>{"Аккра"_a}));
    EXPECT_EQ(DetailCities(c.DetailOf("BY")), FixtureCitiesOf("BY"));
  }
}

TEST(cxDBDataMasterDetail, FocusingADetailRowPostsTheMastersEditUnlessTheMasterRefuses) {
  TCountryTownTables tables;
  TCountryTownControllers c(tables.CountrySource, tables.TownSource);
  TcxCustomDataController* ru = c.DetailOf("RU");
  ASSERT_NE(ru, nullptr);
  ASSERT_TRUE(ru->ChangeFocusedRowIndex(0));

  // The master refuses: the detail's focus and the town cursor stay where they were.
  c.Master->RefuseFocusChange = true;
  EXPECT_FALSE(ru->ChangeFocusedRowIndex(2));
  EXPECT_EQ(ru->GetFocusedRowIndex(), 0);
  EXPECT_EQ(tables.Towns->FieldByName("CITY")->GetAsString(), "Москва"_a);
  c.Master->RefuseFocusChange = false;

  // The detail's own edit of a town is posted before its focus moves on.
  tables.Towns->Edit();
  tables.Towns->FieldByName("CITY")->SetAsString("Москва-2"_a);
  ASSERT_TRUE(ru->ChangeFocusedRowIndex(2));
  EXPECT_EQ(tables.Towns->GetState(), dsBrowse);
  EXPECT_EQ(tables.Towns->FieldByName("CITY")->GetAsString(), "Омск"_a);
  EXPECT_EQ(DetailCities(ru), (std::vector<AnsiString>{"Москва-2"_a, "Мурманск"_a, "Омск"_a, "Тверь"_a}));

  // A country being renamed is posted first. The post reloads the countries, whose details are
  // made anew: the old detail, freed meanwhile, refuses instead of moving a focus it no longer has.
  // (Moving the countries' cursor reloads them too: the detail is fetched again.)
  ASSERT_TRUE(tables.Countries->Locate("CODE", Variant(AnsiString("RU")), {}));
  ru = c.DetailOf("RU");
  ASSERT_NE(ru, nullptr);
  tables.Countries->Edit();
  tables.Countries->FieldByName("NAME")->SetAsString("Русь"_a);
  EXPECT_FALSE(ru->ChangeFocusedRowIndex(0));
  EXPECT_EQ(tables.Countries->GetState(), dsBrowse);
  EXPECT_EQ(c.Master->GetValue(c.MasterRecordOf("RU"), kMDCountryName).AsString(), "Русь"_a);
  ru = c.DetailOf("RU");
  ASSERT_NE(ru, nullptr);
  EXPECT_TRUE(ru->ChangeFocusedRowIndex(1));
  EXPECT_EQ(tables.Towns->FieldByName("CITY")->GetAsString(), "Мурманск"_a);
}

TEST(cxDBDataMasterDetail, AGridModeMasterExpandsOnlyTheRecordItFocusesFirst) {
  TCountryTownTables tables;
  TCountryTownControllers c(tables.CountrySource, tables.TownSource);
  c.Master->GetDataModeController()->SetGridMode(true);
  ASSERT_TRUE(c.Master->IsGridMode());
  ASSERT_EQ(c.Master->GetFocusedRecordIndex(), 0);
  const Integer ru = c.MasterRecordOf("RU");
  ASSERT_GT(ru, 0);
  ASSERT_TRUE(c.Master->ChangeDetailExpanding(ru, true));
  EXPECT_EQ(c.Master->GetFocusedRecordIndex(), ru);
  EXPECT_EQ(tables.Countries->FieldByName("CODE")->GetAsString(), "RU");
  EXPECT_TRUE(c.Master->GetDetailExpanding(ru));
  EXPECT_EQ(DetailCities(c.Master->GetDetailDataController(ru, 0)), FixtureCitiesOf("RU"));
  // Collapsing needs no focus.
  ASSERT_TRUE(c.Master->ChangeDetailExpanding(ru, false));
  EXPECT_EQ(c.Master->GetFocusedRecordIndex(), ru);
  // A master that cannot move its focus there opens nothing.
  c.Master->RefuseFocusChange = true;
  EXPECT_FALSE(c.Master->ChangeDetailExpanding(c.MasterRecordOf("BY"), true));
  EXPECT_FALSE(c.Master->GetDetailExpanding(c.MasterRecordOf("BY")));
}

TEST(cxDBDataMasterDetail, GivingUpATownAppendedToACountryLeavesTheCursorOnTheCountrysLastTown) {
  TCountryTownTables tables;
  TCountryTownControllers c(tables.CountrySource, tables.TownSource);
  TcxCustomDataController* by = c.DetailOf("BY");
  ASSERT_NE(by, nullptr);
  ASSERT_TRUE(by->ChangeFocusedRowIndex(0));
  by->Append();
  ASSERT_EQ(tables.Towns->GetState(), dsInsert);
  by->Cancel();
  EXPECT_EQ(tables.Towns->GetState(), dsBrowse);
  EXPECT_EQ(tables.Towns->FieldByName("CITY")->GetAsString(), "Брест"_a);
  EXPECT_EQ(DetailCities(by), FixtureCitiesOf("BY"));
  ASSERT_GE(by->GetFocusedRecordIndex(), 0);
  EXPECT_EQ(by->GetValue(by->GetFocusedRecordIndex(), kMDTownCity).AsString(), "Брест"_a);
}

namespace {

// A parameterised query over the fixture's towns: opened, it holds the towns whose code is its
// CODE parameter (each opening makes its fields anew, as such a dataset does).
class TMemTownQuery : public TRxMemoryData {
  ORV_CLASS(TMemTownQuery, TRxMemoryData)
 public:
  explicit TMemTownQuery(TComponent* owner) : TRxMemoryData(owner), FParams(new TParams(this)) {
    GetFieldDefs().Add("ID", ftInteger);
    GetFieldDefs().Add("CODE", ftString, 2);
    GetFieldDefs().Add("CITY", ftString, 20);
    FParams->CreateParam(ftString, "CODE", ptInput);
  }
  void BeforeDestruction() override {
    FParams.reset();
    inherited::BeforeDestruction();
  }
  TParams* GetParams() const { return FParams.get(); }
  Integer Opens = 0;

 protected:
  void DoAfterOpen() override {
    ++Opens;
    const AnsiString code = VarToStr(FParams->ParamByName("CODE")->GetValue());
    for (const TTownOfCountryRow& t : FixtureTownsOfCountries()) {
      if (code != t.Code) continue;
      Append();
      FieldByName("ID")->SetAsInteger(t.Id);
      FieldByName("CODE")->SetAsString(t.Code);
      FieldByName("CITY")->SetAsString(t.City);
      Post();
    }
    First();
    inherited::DoAfterOpen();
  }

 private:
  std::unique_ptr<TParams, orv::FreeDeleter> FParams;
};

}  // namespace

ORV_PUBLISH(TMemTownQuery) { p.Property("Params", &TMemTownQuery::GetParams); }

TEST(cxDBDataMasterDetail, ADetailInSQLModeQueriesItsCountryAgainBeforeItFocusesATown) {
  TCountryTownTables tables;
  std::unique_ptr<TComponent, orv::FreeDeleter> owner(new TComponent(nullptr));
  auto* query = new TMemTownQuery(owner.get());
  query->Open();
  auto* source = new TDataSource(owner.get());
  source->SetDataSet(query);
  TCountryTownControllers c(tables.CountrySource, source);
  c.Template->GetDataModeController()->SetDetailInSQLMode(true);

  // Each detail is read from the query made for its code; the query made for a later detail
  // changes nothing in the earlier ones.
  const Integer opensBefore = query->Opens;
  ExpectEveryDetailRight(c);
  EXPECT_EQ(query->Opens - opensBefore, Integer(FixtureCountries().size())) << "one query for each country";
  TcxCustomDataController* au = c.DetailOf("AU");
  TcxCustomDataController* ru = c.DetailOf("RU");
  ASSERT_TRUE(au && ru);
  EXPECT_EQ(VarToStr(query->GetParams()->ParamByName("CODE")->GetValue()), "UA");

  // Focusing a town of Australia queries Australia again first, and the cursor finds the town.
  Integer opens = query->Opens;
  ASSERT_TRUE(au->ChangeFocusedRowIndex(1));
  EXPECT_EQ(query->Opens, opens + 1);
  EXPECT_EQ(VarToStr(query->GetParams()->ParamByName("CODE")->GetValue()), "AU");
  EXPECT_EQ(query->FieldByName("CITY")->GetAsString(), "Мельбурн"_a);
  EXPECT_EQ(au->GetFocusedRowIndex(), 1);
  ExpectEveryDetailRight(c);

  // The query already holds Australia: the next town is reached without a new query.
  opens = query->Opens;
  ASSERT_TRUE(au->ChangeFocusedRowIndex(0));
  EXPECT_EQ(query->Opens, opens);
  EXPECT_EQ(query->FieldByName("CITY")->GetAsString(), "Сидней"_a);

  // A town renamed through the detail (bound to the fields the query made anew) is posted; the
  // other details leave the query of Australia's towns alone rather than taking them as theirs or
  // querying again.
  au->Edit();
  ASSERT_TRUE(au->SetEditValue(kMDTownCity, Variant("Сидней-2"_a), evsValue));
  au->Post();
  EXPECT_EQ(query->FieldByName("CITY")->GetAsString(), "Сидней-2"_a);
  EXPECT_EQ(query->Opens, opens);
  EXPECT_EQ(DetailCities(au), (std::vector<AnsiString>{"Сидней-2"_a, "Мельбурн"_a}));
  for (const char* code : {"BR", "BY", "RU", "UA"}) EXPECT_EQ(DetailCities(c.DetailOf(code)), FixtureCitiesOf(code)) << code;

  // Russia's detail takes the dataset over: queried for its code, it focuses its town while
  // Australia's detail loses its focus and keeps its towns.
  ASSERT_TRUE(ru->ChangeFocusedRowIndex(2));
  EXPECT_EQ(VarToStr(query->GetParams()->ParamByName("CODE")->GetValue()), "RU");
  EXPECT_EQ(query->FieldByName("CITY")->GetAsString(), "Омск"_a);
  EXPECT_EQ(au->GetFocusedRecordIndex(), -1);
  EXPECT_EQ(DetailCities(au), (std::vector<AnsiString>{"Сидней-2"_a, "Мельбурн"_a}));
}

TEST(cxDBDataMasterDetail, MovingTheTownCursorBringsTheMasterToTheTownsCountryAndOpensItsDetail) {
  TCountryTownTables tables;
  TCountryTownControllers c(tables.CountrySource, tables.TownSource);
  ASSERT_EQ(c.Master->GetFocusedRecordIndex(), c.MasterRecordOf("AU"));
  // A reload that leaves the cursor where it was opens nothing.
  tables.Towns->Refresh();
  for (Integer r = 0; r < c.Master->GetRecordCount(); ++r) EXPECT_FALSE(c.Master->GetDetailExpanding(r)) << r;

  // The application moves the shared town dataset onto a Russian town.
  ASSERT_TRUE(tables.Towns->Locate("ID", Variant(Integer(9)), {}));
  const Integer ru = c.MasterRecordOf("RU");
  EXPECT_EQ(tables.Countries->FieldByName("CODE")->GetAsString(), "RU");
  EXPECT_EQ(c.Master->GetFocusedRecordIndex(), ru);
  EXPECT_TRUE(c.Master->GetDetailExpanding(ru));
  ASSERT_TRUE(c.Master->IsDetailDataControllerExist(ru, 0));
  TcxCustomDataController* detail = c.Master->GetDetailDataController(ru, 0);
  EXPECT_EQ(DetailCities(detail), FixtureCitiesOf("RU"));
  ASSERT_GE(detail->GetFocusedRecordIndex(), 0);
  EXPECT_EQ(detail->GetValue(detail->GetFocusedRecordIndex(), kMDTownCity).AsString(), "Омск"_a);
  EXPECT_EQ(tables.Towns->FieldByName("CITY")->GetAsString(), "Омск"_a);

  // On to a town of Belarus: the master follows again, Russia stays open.
  ASSERT_TRUE(tables.Towns->Locate("ID", Variant(Integer(5)), {}));
  const Integer by = c.MasterRecordOf("BY");
  EXPECT_EQ(c.Master->GetFocusedRecordIndex(), by);
  EXPECT_TRUE(c.Master->GetDetailExpanding(by));
  detail = c.Master->GetDetailDataController(by, 0);
  ASSERT_GE(detail->GetFocusedRecordIndex(), 0);
  EXPECT_EQ(detail->GetValue(detail->GetFocusedRecordIndex(), kMDTownCity).AsString(), "Гомель"_a);
  EXPECT_TRUE(c.Master->GetDetailExpanding(c.MasterRecordOf("RU")));

  // The town of no country: no master record holds its code, so the master stays where it is.
  ASSERT_TRUE(tables.Towns->Locate("ID", Variant(Integer(13)), {}));
  EXPECT_EQ(c.Master->GetFocusedRecordIndex(), by);
  EXPECT_EQ(tables.Countries->FieldByName("CODE")->GetAsString(), "BY");
}
