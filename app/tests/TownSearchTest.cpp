// The searches: the filter texts built from the editors' values, and the towns they find in the
// bundled table compared with a direct scan of the file's bytes.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <set>

#include "app/TownSearch.h"
#include "app/tests/AppTestSupport.h"
#include "components/data/tests/DBDataFixture.h"
#include "memdata/RxMemDS.h"
#include "platform/runtime/SysUtils.h"
#include "tools/TownTable.h"

using namespace apptest;
using orv::TCoordinateSearch;

namespace {

AnsiString Join(const std::vector<AnsiString>& pieces) {
  AnsiString text;
  for (const AnsiString& piece : pieces) text += piece;
  return text;
}

TCoordinateSearch Geographic(const char* lon, const char* sign1, const char* lat, const char* sign2,
                             const char* lonTolerance, const char* latTolerance) {
  return {true, lon, lat, lonTolerance, latTolerance, orv::Utf8ToAnsi(sign1), orv::Utf8ToAnsi(sign2)};
}

TCoordinateSearch Ecliptic(const char* lon, const char* lat, const char* lonTolerance, const char* latTolerance) {
  return {false, lon, lat, lonTolerance, latTolerance, "В"_a, "С"_a};
}

TEST(TownSearch, WrapDegreesBringsWholeDegreesIntoTheCircle) {
  const struct {
    Int64 In;
    Integer Out;
  } cases[] = {{0, 0},     {1, 1},     {359, 359}, {360, 360}, {361, 1},    {370, 10},
               {720, 0},   {721, 1},   {-1, 359},  {-10, 350}, {-360, 0},   {-370, 350},
               {-720, 0},  {2147483827LL, 2147483827LL % 360}, {-2147483648LL, Integer(360 - 2147483648LL % 360) % 360}};
  for (const auto& c : cases) EXPECT_EQ(WrapDegrees(c.In), c.Out) << c.In;
}

TEST(TownSearch, CoordinateFiltersReadAsTheSearchWritesThem) {
  const struct {
    const char* What;
    TCoordinateSearch Search;
    const char* Filter;
  } cases[] = {
      {"east 30, north 50", Geographic("30", "В", "50", "С", "5", "5"),
       "(lon >= 25) and (lon <= 35) and(lat >= 45) and (lat <= 55)"},
      {"east 2, north 3: across the meridian 0", Geographic("2", "В", "3", "С", "5", "5"),
       "(((lon >= 357) and (lon <= 360)) or ((lon <= 7) and (lon >= 0))) and(lat + 2 >= 0) and (lat <= 8)"},
      {"west 30, south 40", Geographic("30", "З", "40", "Ю", "5", "5"),
       "(lon >= 325) and (lon <= 335) and(lat + 45 >= 0) and (lat + 35 <= 0)"},
      {"east 0, tolerance 1", Geographic("0", "В", "51", "С", "1", "1"),
       "(((lon >= 359) and (lon <= 360)) or ((lon <= 1) and (lon >= 0))) and(lat >= 50) and (lat <= 52)"},
      {"west 2 crosses the meridian from the west", Geographic("2", "З", "5", "С", "5", "5"),
       "(((lon >= 353) and (lon <= 360)) or ((lon <= 3) and (lon >= 0))) and(lat >= 0) and (lat <= 10)"},
      {"east 355 ends on 360", Geographic("355", "В", "5", "С", "5", "5"),
       "(lon >= 350) and (lon <= 360) and(lat >= 0) and (lat <= 10)"},
      {"tolerance 180 takes every longitude", Geographic("10", "В", "0", "С", "180", "90"),
       "(((lon >= 190) and (lon <= 360)) or ((lon <= 190) and (lon >= 0))) and(lat + 90 >= 0) and (lat <= 90)"},
      {"east 180, tolerance 180", Geographic("180", "В", "0", "С", "180", "90"),
       "(lon >= 0) and (lon <= 360) and(lat + 90 >= 0) and (lat <= 90)"},
      {"ends 360 apart that wrap to 360 and 0 still take the circle", Geographic("540", "В", "0", "С", "180", "90"),
       "(((lon >= 360) and (lon <= 360)) or ((lon <= 360) and (lon >= 0))) and(lat + 90 >= 0) and (lat <= 90)"},
      {"tolerance 0 is the one meridian, not the circle", Geographic("37", "В", "55", "С", "0", "0"),
       "(lon >= 37) and (lon <= 37) and(lat >= 55) and (lat <= 55)"},
      {"negative values count as 0", Geographic("-20", "З", "-5", "Ю", "5", "5"),
       "(((lon >= 355) and (lon <= 360)) or ((lon <= 5) and (lon >= 0))) and(lat + 5 >= 0) and (lat - 5 <= 0)"},
      {"north 2: lower bound south of the equator", Geographic("30", "В", "2", "С", "5", "5"),
       "(lon >= 25) and (lon <= 35) and(lat + 3 >= 0) and (lat <= 7)"},
      {"south 2: upper bound north of the equator", Geographic("30", "В", "2", "Ю", "5", "5"),
       "(lon >= 25) and (lon <= 35) and(lat + 7 >= 0) and (lat - 3 <= 0)"},
      {"empty editors: 0 with tolerance 1", Geographic("", "В", "", "С", "", ""),
       "(((lon >= 359) and (lon <= 360)) or ((lon <= 1) and (lon >= 0))) and(lat + 1 >= 0) and (lat <= 1)"},
      {"ecliptic latitude -10", Ecliptic("100", "-10", "5", "5"),
       "(EclLon >= 95) and (EclLon <= 105) and(EclLat + 15 >= 0) and (EclLat + 5 <= 0)"},
      {"ecliptic longitude -5 crosses the meridian", Ecliptic("-5", "38", "5", "2"),
       "(((EclLon >= 350) and (EclLon <= 360)) or ((EclLon <= 0) and (EclLon >= 0))) and(EclLat - 36 >= 0) and "
       "(EclLat - 40 <= 0)"},
      {"ecliptic latitude across the ecliptic", Ecliptic("20", "3", "10", "5"),
       "(EclLon >= 10) and (EclLon <= 30) and(EclLat + 2 >= 0) and (EclLat - 8 <= 0)"},
      {"a window starting on 360 wraps", Ecliptic("370", "3", "10", "5"),
       "(((EclLon >= 360) and (EclLon <= 360)) or ((EclLon <= 20) and (EclLon >= 0))) and(EclLat + 2 >= 0) and "
       "(EclLat - 8 <= 0)"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Join(orv::CoordinateFilterPieces(c.Search)), orv::Utf8ToAnsi(c.Filter)) << c.What;
  // The wrap-around form comes in two pieces, as the table's filter grows piece by piece.
  EXPECT_EQ(orv::CoordinateFilterPieces(Geographic("2", "В", "3", "С", "5", "5")),
            (std::vector<AnsiString>{"(((lon >= 357) and (lon <= 360))", " or ((lon <= 7) and (lon >= 0))) and",
                                     "(lat + 2 >= 0", ") and (lat <= 8)"}));
}

TEST(TownSearch, ATextThatIsNoWholeNumberRaisesAConversionError) {
  for (const char* text : {"12,5", "abc", "1e3", "2147483648", " ", "--1"}) {
    SCOPED_TRACE(text);
    EXPECT_THROW(orv::CoordinateFilterPieces(Geographic(text, "В", "0", "С", "1", "1")), EConvertError);
    EXPECT_THROW(orv::CoordinateFilterPieces(Ecliptic("0", text, "1", "1")), EConvertError);
    EXPECT_THROW(orv::CoordinateFilterPieces(Ecliptic("0", "0", text, "1")), EConvertError);
  }
  try {
    orv::CoordinateFilterPieces(Geographic("12,5", "В", "0", "С", "1", "1"));
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.GetMessage(), "'12,5' is not a valid integer value");
  }
}

TEST(TownSearch, NameFiltersTakeOnlyEntriesPickedFromTheLists) {
  const struct {
    Integer CountryIndex;
    const char* Country;
    Integer CityIndex;
    const char* City;
    const char* Filter;
  } cases[] = {
      {0, "*", 0, "*", ""},
      {-1, "Росс", -1, "Моск", ""},
      {5, "Россия", 0, "*", "(country = 'Россия*')"},
      {0, "*", 7, "Москва", "(city = 'Москва*')"},
      {5, "Россия", 7, "Москва", "(country = 'Россия*') and (city = 'Москва*')"},
      {3, "Кот-д'Ивуар", 9, "Л'Аквила", "(country = 'Кот-д?Ивуар*') and (city = 'Л?Аквила*')"},
      {3, "a*b?c", 0, "", "(country = 'a*b?c*')"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Join(orv::NameFilterPieces(c.CountryIndex, orv::Utf8ToAnsi(c.Country), c.CityIndex,
                                         orv::Utf8ToAnsi(c.City))),
              orv::Utf8ToAnsi(c.Filter));
}

TEST(TownSearch, SignTogglesSwitchBetweenTheTwoHemispheres) {
  EXPECT_EQ(orv::ToggleLongitudeSign("В"_a).Caption, "З"_a);
  EXPECT_EQ(orv::ToggleLongitudeSign("В"_a).TextColor, clRed);
  EXPECT_EQ(orv::ToggleLongitudeSign("З"_a).Caption, "В"_a);
  EXPECT_EQ(orv::ToggleLongitudeSign("З"_a).TextColor, clBlue);
  EXPECT_EQ(orv::ToggleLongitudeSign("x").Caption, "В"_a);
  EXPECT_EQ(orv::ToggleLatitudeSign("С"_a).Caption, "Ю"_a);
  EXPECT_EQ(orv::ToggleLatitudeSign("С"_a).TextColor, TColor(0x000000FF));
  EXPECT_EQ(orv::ToggleLatitudeSign("Ю"_a).Caption, "С"_a);
  EXPECT_EQ(orv::ToggleLatitudeSign("Ю"_a).TextColor, TColor(0x00FF0000));
  // The form's Latin "C" is not the Cyrillic one: a click makes it the northern sign.
  EXPECT_EQ(orv::ToggleLatitudeSign("C").Caption, "С"_a);
}

// ---- On the bundled table ----

class TownSearchOnTable : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(Temp.File("ORVANE.DBF"), ReadBytes(BundledTable()));
    Towns = ReadRawTowns(BundledTable());
    Module = StartDataModule(Temp.Dir());
    ASSERT_TRUE(Module->DataReady);
    Table = Module->tblOrvane;
  }
  std::vector<Integer> Search(const std::vector<AnsiString>& pieces) {
    orv::ApplyTownFilter(Table, pieces);
    return ShownIds(Table);
  }
  template <class Pred>
  std::vector<Integer> Scan(Pred pred) const {
    std::vector<Integer> ids;
    for (const RawTown& t : Towns)
      if (pred(t)) ids.push_back(t.Id);
    return ids;
  }

  TempDir Temp;
  MessageBoxes Boxes;
  std::vector<RawTown> Towns;
  DMPtr Module;
  TDsDbfTable* Table = nullptr;
};

// Whether x lies within `tolerance` degrees of `centre` round the circle.
bool WithinOnCircle(double x, double centre, double tolerance) {
  double d = std::fmod(x - centre, 360.0);
  if (d < 0) d += 360;
  return d <= tolerance || d >= 360 - tolerance;
}

TEST_F(TownSearchOnTable, CoordinateSearchesFindWhatADirectScanFinds) {
  ASSERT_EQ(Towns.size(), 11390u);
  const struct {
    bool Geographic;
    Integer Lon, Lat, LonTolerance, LatTolerance;
    bool West, South;
    bool Crossing;  // the window crosses the meridian 0/360: towns on both sides are expected
  } cases[] = {
      {true, 30, 50, 5, 5, false, false, false},   {true, 37, 55, 1, 1, false, false, false},
      {true, 2, 3, 5, 5, false, false, true},      {true, 0, 51, 1, 1, false, false, true},
      {true, 0, 51, 2, 2, true, false, true},      {true, 2, 8, 5, 5, true, false, true},
      {true, 358, 48, 5, 10, false, false, true},  {true, 355, 45, 5, 10, false, false, false},
      {true, 30, 40, 5, 5, true, true, false},     {true, 151, 33, 1, 1, false, true, false},
      {true, 30, 2, 5, 5, false, false, false},    {true, 30, 2, 5, 5, false, true, false},
      {true, 75, 0, 10, 3, true, true, false},     {true, 100, 0, 180, 90, false, false, false},
      {true, 540, 0, 180, 90, false, false, false}, {true, 37, 55, 0, 1, false, false, false},
      {true, 0, 0, 0, 90, false, false, false},    {false, -5, -10, 5, 5, false, false, false},
      {false, 55, 38, 2, 2, false, false, false},  {false, 0, 0, 10, 10, false, false, true},
      {false, 355, -42, 20, 5, false, false, false}, {false, -400, 20, 15, 5, false, false, false},
      {false, 200, 0, 180, 90, false, false, false},   {false, 358, 10, 5, 30, false, false, true},
  };
  for (const auto& c : cases) {
    const TCoordinateSearch search{c.Geographic,
                                   IntToStr(c.Lon),
                                   IntToStr(c.Lat),
                                   IntToStr(c.LonTolerance),
                                   IntToStr(c.LatTolerance),
                                   c.West ? "З"_a : "В"_a,
                                   c.South ? "Ю"_a : "С"_a};
    const std::vector<AnsiString> pieces = orv::CoordinateFilterPieces(search);
    SCOPED_TRACE(Join(pieces));
    const std::vector<Integer> found = Search(pieces);
    const std::vector<Integer> expected = Scan([&](const RawTown& t) {
      if (c.Geographic) {
        const double lon = std::max(c.Lon, 0), lat = std::max(c.Lat, 0);
        return t.HasLon && t.HasLat && WithinOnCircle(t.Lon, c.West ? -lon : lon, c.LonTolerance) &&
               std::fabs(t.Lat - (c.South ? -lat : lat)) <= c.LatTolerance;
      }
      return t.HasEclLon && t.HasEclLat && WithinOnCircle(t.EclLon, c.Lon, c.LonTolerance) &&
             std::fabs(t.EclLat - c.Lat) <= c.LatTolerance;
    });
    EXPECT_EQ(found, expected);
    EXPECT_TRUE(Table->GetFiltered());
    if (c.Crossing) {
      bool east = false, west = false;
      for (const RawTown& t : Towns)
        if (std::find(found.begin(), found.end(), t.Id) != found.end()) {
          const double lon = c.Geographic ? t.Lon : t.EclLon;
          (lon < 180 ? east : west) = true;
        }
      EXPECT_TRUE(east && west) << "towns on both sides of the meridian 0/360";
    }
    if (c.LonTolerance == 180 && c.LatTolerance == 90) {
      EXPECT_EQ(found.size(), Towns.size());
    }
  }
  EXPECT_TRUE(Boxes.Shown.empty());
}

TEST_F(TownSearchOnTable, NameSearchesFindEveryTownWhoseNamesBeginWithTheEntries) {
  // Every country, alone and with the first town of that country; then every town whose name
  // holds an apostrophe, which the filter language cannot quote.
  std::vector<AnsiString> countries;
  for (const RawTown& t : Towns)
    if (countries.empty() || countries.back() != t.Country) countries.push_back(t.Country);
  std::set<AnsiString> apostrophes;
  for (const RawTown& t : Towns) {
    if (t.Country.find('\'') != AnsiString::npos) apostrophes.insert(t.Country);
    if (t.City.find('\'') != AnsiString::npos) apostrophes.insert(t.City);
  }
  EXPECT_GE(apostrophes.size(), 10u);

  for (const AnsiString& country : countries) {
    SCOPED_TRACE(country);
    EXPECT_EQ(Search(orv::NameFilterPieces(1, country, 0, "*")),
              Scan([&](const RawTown& t) { return t.Country.starts_with(country); }));
  }
  for (const char* city : {"Москва", "Сан-", "Л'Аквила"}) {
    const AnsiString name = orv::Utf8ToAnsi(city);
    SCOPED_TRACE(name);
    EXPECT_EQ(Search(orv::NameFilterPieces(0, "*", 3, name)),
              Scan([&](const RawTown& t) { return t.City.starts_with(name); }));
    EXPECT_EQ(Search(orv::NameFilterPieces(1, "Россия"_a, 3, name)),
              Scan([&](const RawTown& t) { return t.Country.starts_with("Россия"_a) && t.City.starts_with(name); }));
  }
  for (const AnsiString& name : apostrophes) {
    SCOPED_TRACE(name);
    const std::vector<Integer> found = Search(orv::NameFilterPieces(0, "*", 1, name));
    const std::vector<Integer> countryFound = Search(orv::NameFilterPieces(1, name, 0, "*"));
    // A town or a country: whichever the name is, its towns are found and nothing else.
    const std::vector<Integer> expected = Scan([&](const RawTown& t) { return t.City.starts_with(name); });
    const std::vector<Integer> expectedCountry = Scan([&](const RawTown& t) { return t.Country.starts_with(name); });
    EXPECT_EQ(found, expected);
    EXPECT_EQ(countryFound, expectedCountry);
    EXPECT_FALSE(found.empty() && countryFound.empty());
  }

  // Both lists on "*": no filter, every town.
  EXPECT_EQ(Search(orv::NameFilterPieces(0, "*", 0, "*")).size(), Towns.size());
  EXPECT_FALSE(Table->GetFiltered());
  EXPECT_TRUE(Table->GetFilter().empty());
  // An empty entry matches every name.
  EXPECT_EQ(Search(orv::NameFilterPieces(1, "", 0, "*")).size(), Towns.size());
  // Case counts: the same letters in lower case find nothing.
  EXPECT_TRUE(Search(orv::NameFilterPieces(1, "россия"_a, 0, "*")).empty());
  EXPECT_TRUE(Boxes.Shown.empty());
}

TEST_F(TownSearchOnTable, ARefusedFilterKeepsTheLastResultAndSearchesWriteNothing) {
  const std::vector<Integer> russia = Search(orv::NameFilterPieces(1, "Россия"_a, 0, "*"));
  ASSERT_GT(russia.size(), 100u);
  EXPECT_THROW(orv::ApplyTownFilter(Table, {"(lon >= 1", ") and (lon <= 2147483648)"}), Exception);
  EXPECT_EQ(Table->GetFilter(), "(country = 'Россия*')"_a);
  EXPECT_TRUE(Table->GetFiltered());
  EXPECT_EQ(ShownIds(Table), russia);
  // The batch was ended: the next search runs and the file is as it was.
  EXPECT_EQ(Search(orv::CoordinateFilterPieces(Geographic("37", "В", "55", "С", "1", "1"))).empty(), false);
  Module.reset();
  EXPECT_EQ(ReadBytes(Temp.File("ORVANE.DBF")), ReadBytes(BundledTable()));
}

// A data-aware control's link: counts the data-set changes it hears (not the scrolls).
class TChangeCountingLink : public TDataLink {
  ORV_CLASS(TChangeCountingLink, TDataLink)
 public:
  TChangeCountingLink() = default;
  Integer Changes = 0;

 protected:
  void DataEvent(TDataEvent event, NativeInt info) override {
    if (event == deDataSetChange) ++Changes;
    inherited::DataEvent(event, info);
  }
};

TEST_F(TownSearchOnTable, ASearchReachesTheDataAwareControlsAsOneChangeAndOneReload) {
  std::unique_ptr<TDataSource, orv::FreeDeleter> source(new TDataSource(nullptr));
  source->SetDataSet(Table);
  const struct {
    const char* What;
    std::vector<AnsiString> Pieces;
    Integer Changes;  // nothing changes for the last search: the controls hear nothing
  } searches[] = {
      {"across the meridian: four pieces", orv::CoordinateFilterPieces(Geographic("2", "В", "48", "С", "5", "5")), 1},
      {"a second search on the filtered table", orv::CoordinateFilterPieces(Geographic("37", "В", "55", "С", "3", "3")), 1},
      {"country and town", orv::NameFilterPieces(1, "Россия"_a, 1, "Москва"_a), 1},
      {"no pieces: every town", {}, 1},
      {"again every town, on the unfiltered table", {}, 0},
  };
  const std::vector<AnsiString> russia = orv::NameFilterPieces(1, "Россия"_a, 0, "*");
  const std::vector<AnsiString> refused = {"(lon >= 1", ") and (lon <= 2147483648)"};

  // A control alone on the table: the changes it hears. (A bound controller's own reading
  // echoes one more change to every control, which the controller takes for a scroll.)
  {
    std::unique_ptr<TChangeCountingLink, orv::FreeDeleter> link(new TChangeCountingLink);
    link->SetDataSource(source.get());
    for (const auto& s : searches) {
      SCOPED_TRACE(s.What);
      link->Changes = 0;
      orv::ApplyTownFilter(Table, s.Pieces);
      EXPECT_EQ(link->Changes, s.Changes);
    }
    orv::ApplyTownFilter(Table, russia);
    link->Changes = 0;
    EXPECT_THROW(orv::ApplyTownFilter(Table, refused), Exception);
    EXPECT_FALSE(Table->ControlsDisabled());
    EXPECT_EQ(link->Changes, 1);
  }

  // The grid's controller: one reload per search, holding what the finished filter lets through.
  orv::ApplyTownFilter(Table, {});
  orv::test::TDBControllerPtr controller = orv::test::MakeTownController(source.get());
  ASSERT_EQ(controller->GetRecordCount(), Integer(Towns.size()));
  for (const auto& s : searches) {
    SCOPED_TRACE(s.What);
    controller->LoadCount = 0;
    orv::ApplyTownFilter(Table, s.Pieces);
    EXPECT_EQ(controller->LoadCount, s.Changes);
    const std::vector<Integer> records = orv::test::RecordIds(controller.get());
    EXPECT_EQ(records, ShownIds(Table));
    EXPECT_EQ(controller->GetRecordCount(), Integer(records.size()));
  }
  // A refused text: one reload, and the controller still holds the last result.
  orv::ApplyTownFilter(Table, russia);
  const std::vector<Integer> russianTowns = orv::test::RecordIds(controller.get());
  ASSERT_GT(russianTowns.size(), 100u);
  controller->LoadCount = 0;
  EXPECT_THROW(orv::ApplyTownFilter(Table, refused), Exception);
  EXPECT_EQ(controller->LoadCount, 1);
  EXPECT_EQ(orv::test::RecordIds(controller.get()), russianTowns);
}

TEST_F(TownSearchOnTable, PickListsHoldEachCountryOnceAndEveryTownSortedWithoutRegardToCase) {
  TStringList countries, cities;
  countries.Add("*");
  cities.Add("*");
  Table->Next();
  Table->Next();
  orv::FillTownPickLists(Module.get(), countries, cities);
  EXPECT_EQ(Table->GetRecNo(), 1);  // the town table stands on its first record
  EXPECT_FALSE(Module->tblCountry_City->GetActive());
  EXPECT_FALSE(Module->mdCountry_City->GetActive());

  std::set<AnsiString> distinct;
  std::multiset<AnsiString> towns;
  for (const RawTown& t : Towns) {
    distinct.insert(t.Country);
    towns.insert(t.City);
  }
  ASSERT_EQ(countries.GetCount(), Integer(distinct.size()) + 1);
  ASSERT_EQ(cities.GetCount(), Integer(Towns.size()) + 1);
  EXPECT_EQ(countries.Get(0), "*");
  EXPECT_EQ(cities.Get(0), "*");
  std::set<AnsiString> listed;
  for (Integer i = 1; i < countries.GetCount(); ++i) {
    listed.insert(countries.Get(i));
    if (i > 1) {
      EXPECT_LE(AnsiCompareText(countries.Get(i - 1), countries.Get(i)), 0) << i;
    }
  }
  EXPECT_EQ(listed, distinct);
  std::multiset<AnsiString> listedTowns;
  for (Integer i = 1; i < cities.GetCount(); ++i) {
    listedTowns.insert(cities.Get(i));
    if (i > 1) {
      EXPECT_LE(AnsiCompareText(cities.Get(i - 1), cities.Get(i)), 0) << i;
    }
  }
  EXPECT_EQ(listedTowns, towns);
}

}  // namespace

namespace {

TEST(TownSearchNames, WildcardsAndApostrophesInNamesStillFindTheirOwnTowns) {
  TempDir temp;
  MessageBoxes boxes;
  // Names the filter language reads as patterns: "*" any run, "?" any one character, and the
  // apostrophe that would end a text constant.
  orv::WriteTownTable(temp.File("ORVANE.DBF"),
                      {{1, "Кот-д'Ивуар"_a, "Абиджан"_a, 356, 5},
                       {2, "Кот-д-Ивуар"_a, "Ман"_a, 352.4, 7.4},
                       {3, "Звезда*"_a, "Д'"_a, 10, 10},
                       {4, "Звезда и Ко"_a, "Д?"_a, 11, 11},
                       {5, "Звезда?"_a, "Д"_a, 12, 12},
                       {6, "Звезда"_a, "Дё"_a, 13, 13}},
                      std::chrono::year_month_day{std::chrono::year{2006}, std::chrono::month{12},
                                                  std::chrono::day{23}});
  DMPtr dm = StartDataModule(temp.Dir());
  ASSERT_TRUE(dm->DataReady);
  TDsDbfTable* table = dm->tblOrvane;
  auto search = [&](Integer countryIndex, const char* country, Integer cityIndex, const char* city) {
    orv::ApplyTownFilter(table, orv::NameFilterPieces(countryIndex, orv::Utf8ToAnsi(country), cityIndex,
                                                      orv::Utf8ToAnsi(city)));
    return ShownIds(table);
  };
  // The apostrophe matches any one character: the name's own towns and those of a name that
  // differs there alone.
  EXPECT_EQ(search(1, "Кот-д'Ивуар", 0, "*"), (std::vector<Integer>{1, 2}));
  EXPECT_EQ(search(1, "Кот-д'Ивуар", 1, "Абиджан"), (std::vector<Integer>{1}));
  EXPECT_EQ(search(0, "*", 1, "Д'"), (std::vector<Integer>{3, 4, 6}));
  // A wildcard in a name finds the name's own towns, and every name it stands for.
  EXPECT_EQ(search(1, "Звезда*", 0, "*"), (std::vector<Integer>{3, 4, 5, 6}));
  EXPECT_EQ(search(1, "Звезда?", 0, "*"), (std::vector<Integer>{3, 4, 5}));
  EXPECT_EQ(search(0, "*", 1, "Д?"), (std::vector<Integer>{3, 4, 6}));
  EXPECT_TRUE(boxes.Shown.empty());
}

}  // namespace
