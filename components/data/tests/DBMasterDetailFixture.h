// Two small linked tables for master-detail tests: countries by a two-letter code, and towns
// that carry their country's code, stored in code order (a detail read by locating its first
// record and walking on needs its records grouped by the key). One town's code belongs to no
// country, and one country has no towns.
//
//   COUNTRY.DBF: CODE (C 2), NAME (C 20)
//   TOWNS.DBF:   ID (N 4), CODE (C 2), CITY (C 20)
#pragma once

#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "dbf/DsCP.h"
#include "dbf/DsDatabase.h"
#include "dbf/DsDbUtils.h"
#include "dbf/DsDbfTable.h"
#include "dbf/tests/DbfTestSupport.h"
#include "platform/dataset/DataSource.h"
#include "platform/runtime/AnsiString.h"

namespace orv::test {

struct TCountryRow {
  orv::AnsiLiteral Code;
  orv::AnsiLiteral Name;
};

struct TTownOfCountryRow {
  Integer Id;
  orv::AnsiLiteral Code;
  orv::AnsiLiteral City;
};

inline const std::vector<TCountryRow>& FixtureCountries() {
  static const TCountryRow rows[] = {
      {"AU"_a, "Австралия"_a}, {"BR"_a, "Бразилия"_a}, {"BY"_a, "Беларусь"_a},
      {"GH"_a, "Гана"_a},      {"RU"_a, "Россия"_a},   {"UA"_a, "Украина"_a},
  };
  static const std::vector<TCountryRow> countries(std::begin(rows), std::end(rows));
  return countries;
}

inline const std::vector<TTownOfCountryRow>& FixtureTownsOfCountries() {
  static const TTownOfCountryRow rows[] = {
      {1, "AU"_a, "Сидней"_a},   {2, "AU"_a, "Мельбурн"_a}, {3, "BR"_a, "Сан-Паулу"_a}, {4, "BY"_a, "Минск"_a},
      {5, "BY"_a, "Гомель"_a},   {6, "BY"_a, "Брест"_a},    {7, "RU"_a, "Москва"_a},    {8, "RU"_a, "Мурманск"_a},
      {9, "RU"_a, "Омск"_a},     {10, "RU"_a, "Тверь"_a},   {11, "UA"_a, "Киев"_a},     {12, "UA"_a, "Львов"_a},
      {13, "ZZ"_a, "Атлантида"_a},
  };
  static const std::vector<TTownOfCountryRow> towns(std::begin(rows), std::end(rows));
  return towns;
}

// The fixture's towns of a country code, in table order.
inline std::vector<AnsiString> FixtureCitiesOf(const AnsiString& code) {
  std::vector<AnsiString> cities;
  for (const TTownOfCountryRow& town : FixtureTownsOfCountries())
    if (code == town.Code) cities.push_back(AnsiString(town.City));
  return cities;
}

namespace mdfixture {

inline std::string Text(AnsiString text, std::size_t width) {
  text.resize(width, ' ');
  DsTranslateToFile(dBASE_RUS_cp866, text.data(), Integer(text.size()));
  return text;
}

inline std::vector<Byte> CountryTableBytes() {
  std::vector<std::string> records;
  for (const TCountryRow& c : FixtureCountries()) records.push_back(Text(c.Code, 2) + Text(c.Name, 20));
  return dbftest::BuildDbf(0x03, DsDriverByte(dBASE_RUS_cp866), {{"CODE", 'C', 2}, {"NAME", 'C', 20}}, records);
}

inline std::vector<Byte> TownTableBytes() {
  std::vector<std::string> records;
  char id[8];
  for (const TTownOfCountryRow& t : FixtureTownsOfCountries()) {
    std::snprintf(id, sizeof id, "%4d", int(t.Id));
    records.push_back(std::string(id) + Text(t.Code, 2) + Text(t.City, 20));
  }
  return dbftest::BuildDbf(0x03, DsDriverByte(dBASE_RUS_cp866),
                           {{"ID", 'N', 4}, {"CODE", 'C', 2}, {"CITY", 'C', 20}}, records);
}

}  // namespace mdfixture

// Both tables in a temporary folder, open, each with its data source.
struct TCountryTownTables {
  dbftest::TTempDir Temp;
  std::unique_ptr<TComponent, orv::FreeDeleter> Owner{new TComponent(nullptr)};
  TDsDatabase* Database = nullptr;
  TDsDbfTable* Countries = nullptr;
  TDsDbfTable* Towns = nullptr;
  TDataSource* CountrySource = nullptr;
  TDataSource* TownSource = nullptr;

  TCountryTownTables() {
    Temp.Write("COUNTRY.DBF", mdfixture::CountryTableBytes());
    Temp.Write("TOWNS.DBF", mdfixture::TownTableBytes());
    Database = new TDsDatabase(Owner.get());
    Database->SetDatabaseName(Temp.Dir);
    Countries = Open("COUNTRY.DBF");
    Towns = Open("TOWNS.DBF");
    CountrySource = new TDataSource(Owner.get());
    CountrySource->SetDataSet(Countries);
    TownSource = new TDataSource(Owner.get());
    TownSource->SetDataSet(Towns);
  }

 private:
  TDsDbfTable* Open(const char* name) {
    auto* table = new TDsDbfTable(Owner.get());
    table->SetDatabase(Database);
    table->SetCodePage(dBASE_RUS_cp866);
    table->SetTableName(name);
    table->Open();
    return table;
  }
};

}  // namespace orv::test
