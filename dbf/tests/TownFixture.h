// A small town table of the program's layout (dBASE IV, cp866): fifteen towns chosen around the
// searches' edge cases, with a deleted duplicate of Moscow (ID 10) and a town without a
// latitude (ID 12).
//
//   ID (I 4), COUNTRY (C 25), CITY (C 40), G_DOLG, G_SHIR, E_DOLG, E_SHIR (C 10),
//   LON, LAT, ECLLON, ECLLAT (N 10.4)
#pragma once

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "dbf/DsCP.h"
#include "dbf/DsDbUtils.h"
#include "dbf/tests/DbfTestSupport.h"
#include "platform/runtime/AnsiString.h"

namespace dbftest {

struct TTownRow {
  Integer Id;
  AnsiString Country;  // Windows-1251
  AnsiString City;
  double Lon, Lat, EclLon, EclLat;
  bool BlankLat = false;
  bool Deleted = false;
};

inline const std::vector<TTownRow>& FixtureTowns() {
  static const std::vector<TTownRow> towns = {
      {1, "Россия"_a, "Москва"_a, 37.6173, 55.7558, 55.3097, 38.4482},
      {2, "Россия"_a, "Мурманск"_a, 33.0827, 68.9585, 61.369, 51.1095},
      {3, "Украина"_a, "Киев"_a, 30.5234, 50.4501, 47.7294, 35.3663},
      {4, "Беларусь"_a, "Минск"_a, 27.5667, 53.9, 47.5786, 39.2611},
      {5, "Великобритания"_a, "Лондон"_a, 359.8742, 51.5085, 26.4831, 45.9437},
      {6, "Гана"_a, "Аккра"_a, 359.7973, 5.556, 2.0302, 5.1768},
      {7, "Сан-Томе и Принсипи"_a, "Сан-Томе"_a, 6.7273, 0.3365, 6.3098, -2.3617},
      {8, "Эквадор"_a, "Кито"_a, 281.4875, -0.2299, 282.4681, 22.7136},
      {9, "США"_a, "Нью-Йорк"_a, 285.994, 40.7143, 297.0481, 62.6598},
      {10, "Россия"_a, "Москва"_a, 37.6, 55.7, 55.2696, 38.401, false, true},
      {11, "Австралия"_a, "Сидней"_a, 151.2073, -33.8679, 168.7119, -42.0959},
      {12, "Россия"_a, "Тверь"_a, 35.9, 0, 53.4, 38.9, true},
      {13, "Россия"_a, "Московский"_a, 37.3553, 55.6, 55.057, 38.3651},
      {14, "Бразилия"_a, "Сан-Паулу"_a, 313.3667, -23.5475, 309.2533, -5.8226},
      {15, "Россия"_a, "Омск"_a, 73.3686, 54.9885, 78.811, 32.1933},
  };
  return towns;
}

namespace detail {

// Degrees and minutes, rounded to the minute.
inline void DegreesMinutes(double value, int& degrees, int& minutes) {
  const long total = std::lround(std::fabs(value) * 60);
  degrees = int(total / 60);
  minutes = int(total % 60);
}

inline std::string Text(AnsiString text, std::size_t width) {
  text.resize(width, ' ');
  DsTranslateToFile(dBASE_RUS_cp866, text.data(), Integer(text.size()));
  return text;
}

inline std::string Number(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%10.4f", value);
  return buffer;
}

}  // namespace detail

// The raw record (after the deletion byte) of a town.
inline std::string TownRecord(const TTownRow& t) {
  using namespace detail;
  Byte id[4];
  DsPutBigEndian32(id, LongWord(t.Id) ^ 0x80000000u);  // dBASE integer: sign bit inverted
  int d, m;
  char buffer[32];
  const bool east = t.Lon <= 180;
  DegreesMinutes(east ? t.Lon : 360 - t.Lon, d, m);
  std::snprintf(buffer, sizeof buffer, "%d%s%02d", d, east ? "\xE2" : "\xE7", m);  // в / з
  const AnsiString gDolg = buffer;
  DegreesMinutes(t.Lat, d, m);
  std::snprintf(buffer, sizeof buffer, "%d%s%02d", d, t.Lat >= 0 ? "\xF1" : "\xFE", m);  // с / ю
  const AnsiString gShir = t.BlankLat ? AnsiString() : AnsiString(buffer);
  DegreesMinutes(t.EclLon, d, m);
  std::snprintf(buffer, sizeof buffer, "%d\xB0%02d'", d, m);
  const AnsiString eDolg = buffer;
  DegreesMinutes(t.EclLat, d, m);
  std::snprintf(buffer, sizeof buffer, "%s%d\xB0%02d'", t.EclLat < 0 ? "-" : "", d, m);
  const AnsiString eShir = buffer;
  return std::string(reinterpret_cast<const char*>(id), 4) + Text(t.Country, 25) + Text(t.City, 40) +
         Text(gDolg, 10) + Text(gShir, 10) + Text(eDolg, 10) + Text(eShir, 10) + Number(t.Lon) +
         (t.BlankLat ? std::string(10, ' ') : Number(t.Lat)) + Number(t.EclLon) + Number(t.EclLat);
}

inline const std::vector<TFieldSpec>& TownFields() {
  static const std::vector<TFieldSpec> fields = {
      {"ID", 'I', 4},      {"COUNTRY", 'C', 25}, {"CITY", 'C', 40},      {"G_DOLG", 'C', 10},
      {"G_SHIR", 'C', 10}, {"E_DOLG", 'C', 10},  {"E_SHIR", 'C', 10},    {"LON", 'N', 10, 4},
      {"LAT", 'N', 10, 4}, {"ECLLON", 'N', 10, 4}, {"ECLLAT", 'N', 10, 4}};
  return fields;
}

// The table file of the towns.
inline std::vector<Byte> TownTableBytes(const std::vector<TTownRow>& towns = FixtureTowns()) {
  std::vector<std::string> records;
  std::vector<bool> deleted;
  for (const TTownRow& t : towns) {
    records.push_back(TownRecord(t));
    deleted.push_back(t.Deleted);
  }
  return BuildDbf(0x03, DsDriverByte(dBASE_RUS_cp866), TownFields(), records, deleted);
}

}  // namespace dbftest
