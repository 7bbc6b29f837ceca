#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "dbf/DsDatabase.h"
#include "dbf/DsDbfTable.h"
#include "memdata/PickLists.h"
#include "memdata/tests/MemDataTestSupport.h"
#include "platform/runtime/CodePages.h"
#include "platform/runtime/SysUtils.h"

using memtest::Owner;
using memtest::Town;
using Strings = std::vector<std::string>;

namespace {

Strings Utf8(const TStrings& list) {
  Strings out;
  for (Integer i = 0; i < list.GetCount(); ++i) out.push_back(orv::AnsiToUtf8(list.Get(i)));
  return out;
}

TEST(FillCountryCityLists, FollowsTheSortedRunsOfTheTable) {
  Owner owner;
  TRxMemoryData* table = memtest::MakeTowns(owner.Root, {
                                                   {1, "Россия", "Тверь", 0},
                                                   {2, "Австрия", "Вена", 0},
                                                   {3, "РОССИЯ", "Москва", 0},
                                                   {4, "", "Безымянный", 0},
                                                   {5, "Австрия", "вена", 0},
                                                   {6, "Беларусь", "Вена", 0},
                                               });
  auto* memory = new TRxMemoryData(owner.Root);
  TStringList countries, cities;
  countries.Add("*");
  cities.Add("*");
  orv::FillCountryCityLists(table, memory, countries, cities);
  // Case-only differences are both added, in the order the records were added; the empty
  // country never is.
  EXPECT_EQ(Utf8(countries), (Strings{"*", "Австрия", "Беларусь", "Россия", "РОССИЯ"}));
  // Every town, duplicates kept, ties in table order.
  EXPECT_EQ(Utf8(cities), (Strings{"*", "Безымянный", "Вена", "вена", "Вена", "Москва", "Тверь"}));
  EXPECT_FALSE(memory->GetActive());
}

// ---------------------------------------------------------------------------------------------
// The bundled town table. The layout is read here directly (the 32-byte header, 32-byte field
// descriptors up to 0x0D, then fixed-length records whose first byte is '*' when deleted), so
// that the expected lists come from outside the dataset code.

struct TableTown {
  AnsiString Country;
  AnsiString City;
};

std::vector<TableTown> ReadBundledTowns() {
  std::ifstream in(std::string(ORV_SOURCE_DIR) + "/DB/ORVANE.DBF", std::ios::binary);
  const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<TableTown> towns;
  if (file.size() < 32) return towns;
  auto u16 = [&](std::size_t at) { return static_cast<std::size_t>(static_cast<Byte>(file[at]) | static_cast<Byte>(file[at + 1]) << 8); };
  std::size_t count = 0;
  std::memcpy(&count, file.data() + 4, 4);
  const std::size_t headerLength = u16(8), recordLength = u16(10);
  std::size_t countryAt = 0, countryLength = 0, cityAt = 0, cityLength = 0, offset = 1;
  for (std::size_t p = 32; p < headerLength && file[p] != '\x0D'; p += 32) {
    const std::string name(file.data() + p, strnlen(file.data() + p, 11));
    const std::size_t length = static_cast<Byte>(file[p + 16]);
    if (name == "COUNTRY") countryAt = offset, countryLength = length;
    if (name == "CITY") cityAt = offset, cityLength = length;
    offset += length;
  }
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = headerLength + i * recordLength;
    if (at + recordLength > file.size()) break;
    if (file[at] == '*') continue;
    towns.push_back({TrimRight(orv::Cp866ToAnsi(file.substr(at + countryAt, countryLength))),
                     TrimRight(orv::Cp866ToAnsi(file.substr(at + cityAt, cityLength)))});
  }
  return towns;
}

// The program's second table component over the bundled town table, read-only.
struct TownTableComponents {
  TownTableComponents() {
    Database = new TDsDatabase(Holder.Root);
    Database->SetDatabaseName(AnsiString(ORV_SOURCE_DIR) + "/DB");
    tblCountry_City = new TDsDbfTable(Holder.Root);
    tblCountry_City->SetCodePage(dBASE_RUS_cp866);
    tblCountry_City->SetDatabase(Database);
    tblCountry_City->SetReadOnly(true);
    tblCountry_City->SetTableName("ORVANE.DBF");
    Database->SetConnected(true);
  }
  Owner Holder;
  TDsDatabase* Database;
  TDsDbfTable* tblCountry_City;
};

TEST(FillCountryCityLists, BundledTownTable) {
  const std::vector<TableTown> towns = ReadBundledTowns();
  ASSERT_GT(towns.size(), 10000u);

  TownTableComponents dm;
  auto* memory = new TRxMemoryData(dm.Holder.Root);
  TStringList countries, cities;
  countries.Add("*");
  cities.Add("*");
  orv::FillCountryCityLists(dm.tblCountry_City, memory, countries, cities);
  EXPECT_FALSE(dm.tblCountry_City->GetActive());
  EXPECT_FALSE(memory->GetActive());

  // The same lists made with a plain stable sort that compares by the collation each time.
  std::vector<TableTown> byCountry = towns;
  std::stable_sort(byCountry.begin(), byCountry.end(), [](const TableTown& a, const TableTown& b) {
    return AnsiCompareText(a.Country, b.Country) < 0;
  });
  Strings expectedCountries{"*"};
  AnsiString previous;
  for (const TableTown& town : byCountry) {
    if (town.Country != previous) expectedCountries.push_back(orv::AnsiToUtf8(town.Country));
    previous = town.Country;
  }
  std::vector<TableTown> byCity = towns;
  std::stable_sort(byCity.begin(), byCity.end(),
                   [](const TableTown& a, const TableTown& b) { return AnsiCompareText(a.City, b.City) < 0; });
  Strings expectedCities{"*"};
  for (const TableTown& town : byCity) expectedCities.push_back(orv::AnsiToUtf8(town.City));

  EXPECT_EQ(Utf8(countries), expectedCountries);
  EXPECT_EQ(Utf8(cities), expectedCities);
  EXPECT_EQ(cities.GetCount(), static_cast<Integer>(towns.size()) + 1);
  const Strings list = Utf8(countries);
  EXPECT_NE(std::find(list.begin(), list.end(), "Россия"), list.end());
}

}  // namespace

namespace {

TEST(LoadRecordsFrom, ATableCopiesOnlyTheRecordsItsFilterAccepts) {
  TownTableComponents dm;
  TDsDbfTable* table = dm.tblCountry_City;
  table->SetFilter("(country = 'Россия*')"_a);
  table->SetFiltered(true);
  table->Open();
  Integer shown = 0;
  for (table->First(); !table->GetEOF(); table->Next()) ++shown;
  ASSERT_GT(shown, 100);
  ASSERT_LT(shown, table->GetRecordCount());

  auto* memory = new TRxMemoryData(dm.Holder.Root);
  EXPECT_EQ(memory->LoadRecordsFrom(table), shown);
  EXPECT_EQ(memory->GetRecordCount(), shown);
  EXPECT_EQ(memory->GetFieldCount(), table->GetFieldCount());
  EXPECT_TRUE(table->GetActive());  // it was open, so it stays open
  for (memory->First(); !memory->GetEOF(); memory->Next())
    ASSERT_EQ(memory->FieldByName("COUNTRY")->GetAsString(), "Россия"_a);
  // The values arrive unchanged: the first Russian town of the table, field by field.
  table->First();
  memory->First();
  for (TField* field : table->GetFields())
    EXPECT_EQ(memory->FieldByName(field->GetFieldName())->GetAsString(), field->GetAsString()) << field->GetFieldName();
}

}  // namespace
