#include "tools/TownSources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Exceptions.h"

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

// A compiled catalog as the gettext tools write one (entries sorted by original).
std::string MakeCatalog(Entries entries, bool bigEndian = false) {
  std::sort(entries.begin(), entries.end());
  std::string out;
  const auto word = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (bigEndian ? 8 * (3 - i) : 8 * i));
  };
  const std::uint32_t n = static_cast<std::uint32_t>(entries.size());
  const std::uint32_t originals = 28, translations = originals + 8 * n, strings = translations + 8 * n;
  word(0x950412DE);
  word(0);
  word(n);
  word(originals);
  word(translations);
  word(0);  // no hash table
  word(0);
  std::string data;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> spans[2];
  for (int side = 0; side < 2; ++side)
    for (const auto& e : entries) {
      const std::string& s = side == 0 ? e.first : e.second;
      spans[side].emplace_back(static_cast<std::uint32_t>(s.size()), strings + static_cast<std::uint32_t>(data.size()));
      data += s;
      data += '\0';
    }
  for (const auto& side : spans)
    for (const auto& [length, offset] : side) {
      word(length);
      word(offset);
    }
  return out + data;
}

TEST(TownSources, MessageCatalogInBothByteOrders) {
  const Entries entries = {{"", "Content-Type: text/plain; charset=UTF-8\n"},
                           {"524901", "Москва"},
                           {"RU", "Россия"},
                           {"AD.02", ""},
                           {"file", std::string("файл\0файла", 19)}};
  for (const bool bigEndian : {false, true}) {
    const orv::MessageCatalog catalog = orv::MessageCatalog::Parse(MakeCatalog(entries, bigEndian));
    EXPECT_EQ(catalog.GetCount(), 3u);
    ASSERT_NE(catalog.Find("524901"), nullptr);
    EXPECT_EQ(*catalog.Find("524901"), "Москва");
    EXPECT_EQ(*catalog.Find("RU"), "Россия");
    EXPECT_EQ(*catalog.Find("file"), "файл");  // singular form only
    EXPECT_EQ(catalog.Find("AD.02"), nullptr);   // untranslated
    EXPECT_EQ(catalog.Find(""), nullptr);
    EXPECT_EQ(catalog.Find("498817"), nullptr);
  }
}

TEST(TownSources, MalformedCatalogsAreRefused) {
  const std::string good = MakeCatalog({{"524901", "Москва"}});
  std::string badMagic = good;
  badMagic[0] = 'x';
  std::string badOffset = good;
  badOffset[28 + 8 + 4 + 3] = '\x7F';  // translation offset far beyond the end
  std::string hugeCount = good;
  hugeCount[11] = '\x40';
  for (const std::string& bytes : {std::string("\xDE\x12\x04\x95", 4), badMagic, badOffset, hugeCount,
                                   good.substr(0, good.size() - 10)})
    EXPECT_THROW(orv::MessageCatalog::Parse(bytes), EReadError);
  EXPECT_THROW(orv::MessageCatalog::Load("/nonexistent/catalog.mo"), EFOpenError);
}

TEST(TownSources, IsoCountryNames) {
  const auto names = orv::ParseIsoCountryNames(R"({"3166-1": [
      {"alpha_2": "AW", "alpha_3": "ABW", "name": "Aruba", "numeric": "533"},
      {"alpha_2": "BO", "common_name": "Bolivia", "name": "Bolivia, Plurinational State of",
       "official_name": "Plurinational State of Bolivia", "extra": [1, {"x": true}, null]},
      {"alpha_2": "CI", "name": "C\u00f4te d'Ivoire \"CI\"\/\ud83c\udde8"}
  ]})");
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(names.at("AW"), std::vector<std::string>{"Aruba"});
  EXPECT_EQ(names.at("BO"), (std::vector<std::string>{"Bolivia", "Bolivia, Plurinational State of"}));
  EXPECT_EQ(names.at("CI"), std::vector<std::string>{"Côte d'Ivoire \"CI\"/\xF0\x9F\x87\xA8"});

  for (const char* bad : {"", "{", R"({"a": "b")", R"({"a" "b"})", R"([1, 2)", R"({"a": "\q"})", "[] x"})
    EXPECT_THROW(orv::ParseIsoCountryNames(bad), EReadError) << bad;
  EXPECT_THROW(orv::ParseIsoCountryNames(std::string(1000, '[')), EReadError);  // nesting without end
}

TEST(TownSources, GeoNamesLines) {
  const auto town = orv::ParseGeoNamesLine(
      "524901\tMoscow\tMoscow\tMoskva,Москва\t55.75222\t37.61556\tP\tPPLC\tRU\t\t48\t\t\t\t10381222\t\t144\tEurope/Moscow\t2022-12-10\r");
  ASSERT_TRUE(town);
  EXPECT_EQ(town->Id, 524901);
  EXPECT_EQ(town->Name, "Moscow");
  EXPECT_DOUBLE_EQ(town->Lat, 55.75222);
  EXPECT_DOUBLE_EQ(town->Lon, 37.61556);
  EXPECT_EQ(town->CountryCode, "RU");

  for (const char* bad : {"", "524901\tMoscow\tMoscow\t\t55.75\t37.61\tP\tPPLC",    // too few columns
                          "x\tMoscow\tMoscow\t\t55.75\t37.61\tP\tPPLC\tRU\t",
                          "-5\tMoscow\tMoscow\t\t55.75\t37.61\tP\tPPLC\tRU\t",
                          "5\tMoscow\tMoscow\t\t95.75\t37.61\tP\tPPLC\tRU\t",        // latitude
                          "5\tMoscow\tMoscow\t\t55.75\t37.61x\tP\tPPLC\tRU\t",
                          "5\tMoscow\tMoscow\t\t55.75\t37.61\tP\tPPLC\tRUS\t"})
    EXPECT_FALSE(orv::ParseGeoNamesLine(bad)) << bad;
}

TEST(TownSources, RussianNames) {
  struct Case {
    const char* Utf8;
    std::size_t Max;
    std::optional<orv::AnsiLiteral> Expected;  // not AnsiString: see conventions.md, clang 14
  };
  const Case cases[] = {
      {"Москва", 40, "Москва"_a},
      {"Л’Аквила", 40, "Л'Аквила"_a},
      {"Папуа — Новая Гвинея", 25, "Папуа - Новая Гвинея"_a},
      {"Грeнобль", 40, "Гренобль"_a},              // a Latin e among Cyrillic letters
      {"\u0418\u0306ошкар-Ола", 40, "Йошкар-Ола"_a},  // Й written as И with a combining breve
      {" Шёнебек  (Эльба) ", 40, "Шёнебек (Эльба)"_a},
      {"Камогаwа", 40, std::nullopt},              // a Latin letter without a Cyrillic twin
      {"Gomel’", 40, std::nullopt},                // no Russian spelling at all
      {"Здолбунів", 40, std::nullopt},             // і: neither left as is nor guessed
      {"Центрально-Африканская Республика", 25, std::nullopt},
      {"", 40, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(orv::RussianName(c.Utf8, c.Max), c.Expected) << c.Utf8;
}

TEST(TownSources, RussianAlphabeticalOrder) {
  const AnsiString words[] = {"Абакан"_a, "елец"_a, "Ёлкино"_a, "Жуковский"_a, "Ростов"_a, "Ростов-на-Дону"_a, "Яхрома"_a};
  for (std::size_t i = 1; i < std::size(words); ++i)
    EXPECT_LT(orv::RussianSortKey(words[i - 1]), orv::RussianSortKey(words[i])) << orv::AnsiToUtf8(words[i]);
  EXPECT_EQ(orv::RussianSortKey("Москва"_a), orv::RussianSortKey("МОСКВА"_a));
}

TEST(TownSources, BuildTakesNamedTownsSortedWithCountryFallbacks) {
  orv::TownSourceData data;
  const auto town = [](Integer id, const char* name, const char* code, double lat, double lon) {
    orv::GeoNamesTown t;
    t.Id = id;
    t.Name = name;
    t.CountryCode = code;
    t.Lat = lat;
    t.Lon = lon;
    return t;
  };
  data.Towns = {town(1, "Tula", "RU", 54.2, 37.6),          town(2, "Moscow", "RU", 55.75, 37.62),
                town(3, "Nameless", "RU", 50, 40),          town(4, "Bangui", "CF", 4.36, 18.55),
                town(5, "Cochabamba", "BO", -17.4, -66.16), town(6, "Gomel", "BY", 52.4, 31),
                town(7, "Nowhere", "XX", 1, 1),             town(8, "Yolkino", "RU", 54, 38),
                town(2, "Moscow again", "RU", 55.75, 37.62)};
  data.GeoNamesRu = orv::MessageCatalog::Parse(MakeCatalog(
      {{"1", "Тула"}, {"2", "Москва"}, {"4", "Банги"}, {"5", "Кочабамба"}, {"6", "Gomel’"}, {"7", "Нигде"},
       {"8", "Ёлкино"}, {"RU", "Россия"}, {"CF", "Центрально-Африканская Республика"}, {"BY", "Беларусь"}}));
  data.IsoCountriesRu = orv::MessageCatalog::Parse(
      MakeCatalog({{"Bolivia", "Боливия"}, {"Bolivia, Plurinational State of", "Многонациональное Государство Боливия"}}));
  data.IsoCountryNames = {{"BO", {"Bolivia", "Bolivia, Plurinational State of"}}};

  orv::TownBuildReport report;
  const std::vector<orv::TownRecord> records = orv::BuildTownRecords(data, report);
  EXPECT_EQ(report.Read, 9u);
  EXPECT_EQ(report.WithRussianName, 8u);
  EXPECT_EQ(report.Written, 5u);
  EXPECT_EQ(report.LeftOut.size(), 3u);  // Gomel', a town of an unnamed country, a repeated id

  std::vector<std::pair<AnsiString, AnsiString>> names;
  for (const orv::TownRecord& r : records) names.emplace_back(r.Country, r.City);
  const std::pair<orv::AnsiLiteral, orv::AnsiLiteral> expectedPairs[] = {
      {"Боливия"_a, "Кочабамба"_a}, {"Россия"_a, "Ёлкино"_a}, {"Россия"_a, "Москва"_a},
      {"Россия"_a, "Тула"_a},       {"ЦАР"_a, "Банги"_a}};
  const std::vector<std::pair<AnsiString, AnsiString>> expected(std::begin(expectedPairs),
                                                                std::end(expectedPairs));
  EXPECT_EQ(names, expected);
  EXPECT_EQ(records[0].Id, 5);
  EXPECT_DOUBLE_EQ(records[0].Lon, -66.16);
}

}  // namespace
