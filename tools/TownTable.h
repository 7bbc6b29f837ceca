// The program's town table: its record layout, the coordinate fields derived from a town's
// geographic position, and the one writer that both generators (real towns, synthetic towns for
// benchmarks) use. The engine opens existing tables only, so tables are made here.
//
// Coordinates:
//   LON, LAT        geographic longitude 0..360 (east positive, 30 W is 330) and latitude
//                   (north positive), degrees;
//   ECLLON, ECLLAT  the same point on the sphere rotated by the obliquity of the ecliptic;
//   G_DOLG, G_SHIR  geographic texts: degrees, hemisphere letter (в/з, с/ю), minutes: "37в37",
//                   "55с45", "151в13", "33ю52";
//   E_DOLG, E_SHIR  ecliptic texts: degrees and minutes, the latitude signed: "55°18'",
//                   "38°27'", "168°43'", "-42°06'".
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/Types.h"

namespace orv {

// Obliquity of the ecliptic used for the ecliptic coordinates, degrees.
inline constexpr double kObliquityOfEcliptic = 23.4393;

// ID is a decimal number (not the engine's binary "I"), so that every reader of dBASE tables
// shows the ids the engine reads.
inline constexpr int kTownIdLength = 10;
inline constexpr int kTownCountryLength = 25;
inline constexpr int kTownCityLength = 40;
inline constexpr int kTownTextLength = 10;   // G_DOLG, G_SHIR, E_DOLG, E_SHIR
inline constexpr int kTownNumberLength = 10; // LON, LAT, ECLLON, ECLLAT
inline constexpr int kTownNumberDecimals = 4;

// One field descriptor of the town table.
struct TownField {
  const char* Name;
  char Type;
  int Length;
  int Decimals;
};
// The eleven fields in file order.
inline constexpr std::array<TownField, 11> kTownFields = {{
    {"ID", 'N', kTownIdLength, 0},
    {"COUNTRY", 'C', kTownCountryLength, 0},
    {"CITY", 'C', kTownCityLength, 0},
    {"G_DOLG", 'C', kTownTextLength, 0},
    {"G_SHIR", 'C', kTownTextLength, 0},
    {"E_DOLG", 'C', kTownTextLength, 0},
    {"E_SHIR", 'C', kTownTextLength, 0},
    {"LON", 'N', kTownNumberLength, kTownNumberDecimals},
    {"LAT", 'N', kTownNumberLength, kTownNumberDecimals},
    {"ECLLON", 'N', kTownNumberLength, kTownNumberDecimals},
    {"ECLLAT", 'N', kTownNumberLength, kTownNumberDecimals},
}};
// 1 (deletion byte) + the sum of the field lengths.
inline constexpr int kTownRecordSize = 156;
// Header: the 32-byte prefix, 32 bytes per field descriptor, the 0x0D terminator.
inline constexpr int kTownHeaderSize = 32 + 32 * 11 + 1;
// dBASE IV table in the cp866 language driver.
inline constexpr Byte kTownTableVersion = 0x03;
inline constexpr Byte kTownTableLanguageDriver = 0x26;

// A town as the generators hand it to the writer; the other fields are derived.
struct TownRecord {
  Integer Id = 0;      // positive and unique within a table
  AnsiString Country;  // Windows-1251, at most kTownCountryLength bytes
  AnsiString City;     // Windows-1251, at most kTownCityLength bytes
  double Lon = 0;      // geographic longitude, degrees east (any value; stored as 0..360)
  double Lat = 0;      // geographic latitude, degrees north, -90..90
};

struct EclipticPoint {
  double Lon = 0;  // 0 <= Lon < 360
  double Lat = 0;  // -90..90
};

// Longitude brought to 0 <= result < 360.
double NormalizeLongitude(double lon);
// The ecliptic point of a geographic one (both in degrees, longitude east positive).
EclipticPoint GeographicToEcliptic(double lon, double lat);

// The displayed texts, in Windows-1251. Values are rounded to the nearest minute.
AnsiString FormatGeographicLongitude(double lon);  // "37в37", "30з00"
AnsiString FormatGeographicLatitude(double lat);   // "55с45", "33ю52"
AnsiString FormatEclipticLongitude(double lon);    // "55°18'"
AnsiString FormatEclipticLatitude(double lat);     // "38°27'", "-42°06'"

// Whether every character of the Windows-1251 text exists in cp866 (control characters,
// which a text field cannot hold, do not count as such).
bool HasCp866Form(std::string_view ansi);

// Writes a town table record by record, into "<path>.part" that Close() completes and renames
// to the path; a writer destroyed before Close() removes its unfinished file and leaves an
// earlier table at the path untouched.
// Errors throw EFCreateError (the file cannot be created), EWriteError (a write failed) or
// EConvertError (a record that does not fit the layout).
class TownTableWriter {
 public:
  TownTableWriter(const std::string& path, std::chrono::year_month_day updated);
  ~TownTableWriter();
  TownTableWriter(const TownTableWriter&) = delete;
  TownTableWriter& operator=(const TownTableWriter&) = delete;

  void Add(const TownRecord& town);
  void Close();
  std::uint32_t GetCount() const { return FCount; }

 private:
  void Write(const void* data, std::size_t size);

  std::string FPath;
  std::string FTempPath;
  std::FILE* FFile = nullptr;
  std::uint32_t FCount = 0;
  std::string FRecord;
};

// Writes a whole table in the given order.
void WriteTownTable(const std::string& path, const std::vector<TownRecord>& towns,
                    std::chrono::year_month_day updated);

// Today's date, for the header of a freshly written table.
std::chrono::year_month_day TodayDate();

}  // namespace orv
