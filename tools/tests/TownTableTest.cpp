#include "tools/TownTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Exceptions.h"
#include "tools/tests/ToolsTestSupport.h"

namespace {

using namespace std::chrono;
using orv::TownRecord;

double Round4(double v) { return std::round(v * 1e4) / 1e4; }

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TownRecord Town(Integer id, AnsiString country, AnsiString city, double lon, double lat) {
  TownRecord r;
  r.Id = id;
  r.Country = std::move(country);
  r.City = std::move(city);
  r.Lon = lon;
  r.Lat = lat;
  return r;
}

TEST(TownTable, EclipticCoordinatesOfKnownPoints) {
  struct Case {
    double Lon, Lat, EclLon, EclLat;
  };
  const Case cases[] = {
      {0, 0, 0, 0},
      {90, 0, 90, -23.4393},
      {37.6167, 55.75, 55.3063, 38.4430},
      {151.2093, -33.8688, 168.7145, -42.0959},
      {-90, 0, 270, 23.4393},         // west longitudes give the same point as 270 E
      {200, 90, 90, 66.5607},         // the pole stays finite
  };
  for (const Case& c : cases) {
    const orv::EclipticPoint p = orv::GeographicToEcliptic(c.Lon, c.Lat);
    EXPECT_DOUBLE_EQ(Round4(p.Lon), c.EclLon) << c.Lon << " " << c.Lat;
    EXPECT_DOUBLE_EQ(Round4(p.Lat), c.EclLat) << c.Lon << " " << c.Lat;
    EXPECT_GE(p.Lon, 0);
    EXPECT_LT(p.Lon, 360);
  }
}

TEST(TownTable, NormalizeLongitudeKeepsZeroToBelow360) {
  EXPECT_DOUBLE_EQ(orv::NormalizeLongitude(-30), 330);
  EXPECT_DOUBLE_EQ(orv::NormalizeLongitude(360), 0);
  EXPECT_DOUBLE_EQ(orv::NormalizeLongitude(725), 5);
  EXPECT_LT(orv::NormalizeLongitude(-1e-18), 360);
  EXPECT_FALSE(std::signbit(orv::NormalizeLongitude(-0.0)));
}

TEST(TownTable, DisplayedCoordinateTexts) {
  struct Case {
    AnsiString (*Format)(double);
    double Value;
    AnsiString Text;
  };
  const Case cases[] = {
      {orv::FormatGeographicLongitude, 37.6167, "37в37"_a},
      {orv::FormatGeographicLongitude, 151.2073, "151в12"_a},
      {orv::FormatGeographicLongitude, 2.05, "2в03"_a},
      {orv::FormatGeographicLongitude, 10.99999, "11в00"_a},  // minutes carry into degrees
      {orv::FormatGeographicLongitude, 330, "30з00"_a},
      {orv::FormatGeographicLongitude, -30, "30з00"_a},
      {orv::FormatGeographicLongitude, 181, "179з00"_a},
      {orv::FormatGeographicLongitude, 180, "180в00"_a},
      {orv::FormatGeographicLongitude, 180.004, "180в00"_a},  // 180 W is 180 E
      {orv::FormatGeographicLongitude, 359.99999, "0в00"_a},
      {orv::FormatGeographicLatitude, 55.75, "55с45"_a},
      {orv::FormatGeographicLatitude, -33.8679, "33ю52"_a},
      {orv::FormatGeographicLatitude, -0.001, "0с00"_a},
      {orv::FormatGeographicLatitude, -90, "90ю00"_a},
      {orv::FormatEclipticLongitude, 55.3063, "55°18'"_a},
      {orv::FormatEclipticLongitude, 168.7145, "168°43'"_a},
      {orv::FormatEclipticLongitude, 359.999, "0°00'"_a},
      {orv::FormatEclipticLatitude, 38.443, "38°27'"_a},
      {orv::FormatEclipticLatitude, -42.0959, "-42°06'"_a},
      {orv::FormatEclipticLatitude, -0.001, "0°00'"_a},
  };
  for (const Case& c : cases) {
    const AnsiString text = c.Format(c.Value);
    EXPECT_EQ(text, c.Text) << c.Value;
    EXPECT_LE(text.size(), 10u);
    EXPECT_TRUE(orv::HasCp866Form(text)) << c.Value;
  }
}

TEST(TownTable, Cp866FormOfWindows1251Text) {
  EXPECT_TRUE(orv::HasCp866Form("АЯаяё°№ -'()"_a));
  EXPECT_FALSE(orv::HasCp866Form("\xB3"));  // Ukrainian і
  EXPECT_FALSE(orv::HasCp866Form("\x97"));  // em dash
  EXPECT_FALSE(orv::HasCp866Form(std::string_view("a\0b", 3)));
  EXPECT_TRUE(orv::HasCp866Form("Кот-д'Ивуар, Шёнебек (Эльба)"_a));
  EXPECT_FALSE(orv::HasCp866Form("Кремінна"_a));
}

TEST(TownTable, WriterProducesTheExactLayout) {
  orv::test::TempDir dir;
  const std::string path = dir.File("towns.dbf");
  orv::WriteTownTable(path,
                      {Town(42, "Россия"_a, "Москва"_a, 37.6156, 55.7522),
                       Town(7, "Эквадор"_a, "Кито"_a, -0.00001, -0.00001)},
                      year_month_day(year(2024), month(5), day(6)));
  const std::string bytes = ReadAll(path);
  ASSERT_EQ(bytes.size(), 385u + 2 * 156 + 1);
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };

  EXPECT_EQ(byte(0), 0x03);
  EXPECT_EQ(byte(1), 124);  // 2024 - 1900
  EXPECT_EQ(byte(2), 5);
  EXPECT_EQ(byte(3), 6);
  EXPECT_EQ(bytes.substr(4, 4), std::string("\x02\x00\x00\x00", 4));
  EXPECT_EQ(bytes.substr(8, 4), std::string("\x81\x01\x9C\x00", 4));  // 385, 156
  EXPECT_EQ(byte(29), 0x26);
  EXPECT_EQ(byte(384), 0x0D);
  EXPECT_EQ(byte(bytes.size() - 1), 0x1A);
  // Descriptors of ID (the first: digits, so that every reader shows the ids), CITY (the third)
  // and LON (the eighth).
  EXPECT_EQ(bytes.substr(32, 12), std::string("ID\0\0\0\0\0\0\0\0\0N", 12));
  EXPECT_EQ(byte(32 + 16), 10);
  EXPECT_EQ(byte(32 + 17), 0);
  EXPECT_EQ(bytes.substr(32 + 2 * 32, 12), std::string("CITY\0\0\0\0\0\0\0C", 12));
  EXPECT_EQ(byte(32 + 2 * 32 + 16), 40);
  EXPECT_EQ(bytes.substr(32 + 7 * 32, 12), std::string("LON\0\0\0\0\0\0\0\0N", 12));
  EXPECT_EQ(byte(32 + 7 * 32 + 16), 10);
  EXPECT_EQ(byte(32 + 7 * 32 + 17), 4);

  const std::string moscow = bytes.substr(385, 156);
  EXPECT_EQ(moscow.substr(0, 11), "         42");  // active, ID 42
  EXPECT_EQ(moscow.substr(11, 25), "\x90\xAE\xE1\xE1\xA8\xEF" + std::string(19, ' '));  // Россия in cp866
  EXPECT_EQ(moscow.substr(36, 6), "\x8C\xAE\xE1\xAA\xA2\xA0");                         // Москва
  EXPECT_EQ(moscow.substr(76, 10), std::string("37\xA2" "37") + std::string(5, ' '));  // 37в37
  EXPECT_EQ(moscow.substr(86, 10), std::string("55\xE1" "45") + std::string(5, ' '));  // 55с45
  EXPECT_EQ(moscow.substr(96, 10), std::string("55\xF8" "18'") + std::string(4, ' '));
  EXPECT_EQ(moscow.substr(116, 40), "   37.6156   55.7522   55.3067   38.4453");

  // A point a hair west of 0 and south of the equator is stored as 0, never as "-0.0000".
  const std::string quito = bytes.substr(385 + 156, 156);
  EXPECT_EQ(quito.substr(1, 10), "         7");
  EXPECT_EQ(quito.substr(76, 20), "0\xA2" "00" + std::string(6, ' ') + "0\xE1" "00" + std::string(6, ' '));
  EXPECT_EQ(quito.substr(116, 20), "    0.0000    0.0000");
}

TEST(TownTable, WriterRefusesWhatTheLayoutCannotHoldAndKeepsTheEarlierTable) {
  orv::test::TempDir dir;
  const std::string path = dir.File("towns.dbf");
  const auto date = year_month_day(year(2024), month(1), day(1));
  orv::WriteTownTable(path, {Town(1, "Россия"_a, "Тверь"_a, 35.9, 56.86)}, date);
  const std::string before = ReadAll(path);

  const TownRecord bad[] = {
      Town(2, "Украина"_a, "Кремінна"_a, 38.2, 49.05),             // і has no cp866 form
      Town(3, "Россия"_a, AnsiString(41, '\xE0'), 30, 50),           // longer than CITY
      Town(4, AnsiString(26, '\xE0'), "Тула"_a, 37.6, 54.2),         // longer than COUNTRY
      Town(0, "Россия"_a, "Тула"_a, 37.6, 54.2),                     // ID not positive
      Town(5, "Россия"_a, "Тула"_a, 37.6, 91),                       // latitude out of range
      Town(6, "Россия"_a, "Тула"_a, NAN, 54.2),
      Town(7, "Россия"_a, "Ту\x01ла"_a, 37.6, 54.2),                 // control character
  };
  for (const TownRecord& r : bad) {
    EXPECT_THROW(orv::WriteTownTable(path, {Town(1, "Россия"_a, "Тула"_a, 37.6, 54.2), r}, date),
                 EConvertError)
        << r.Id;
    EXPECT_EQ(ReadAll(path), before) << r.Id;
    EXPECT_FALSE(std::filesystem::exists(path + ".part"));
  }
}

TEST(TownTable, WriterReportsAFileThatCannotBeCreated) {
  orv::test::TempDir dir;
  EXPECT_THROW(orv::TownTableWriter(dir.File("no-such-folder/towns.dbf"), year_month_day(year(2024), month(1), day(1))),
               EFCreateError);
}

}  // namespace
