// Town table writer and the derived coordinate fields.
//
// File layout written here (a dBASE IV table, little-endian header numbers):
//
//   offset  size  content
//   0       1     0x03, dBASE IV level (with a non-zero language-driver byte)
//   1       3     date of last update: year - 1900, month, day
//   4       4     number of records
//   8       2     header size: 32 + 11 * 32 + 1 = 385
//   10      2     record size: 156
//   12      17    zero
//   29      1     0x26, the cp866 Russian language driver
//   30      2     zero
//   32      352   eleven field descriptors of 32 bytes: name (11 bytes, zero-padded),
//                 type letter at 11, length at 16, decimals at 17, every other byte zero
//   384     1     0x0D, end of the descriptors
//   385     156*n records: a deletion byte " " and the fields in order, without gaps
//   ...     1     0x1A, end of file
//
// Field encodings:
//   "C"  cp866 text, blank-padded on the right;
//   "N"  decimal text with a "." and the field's decimals (none for ID, which is digits only),
//        blank-padded on the left.
// ID is such a number rather than the engine's binary "I" field (big-endian with the sign bit
// inverted), which other readers of dBASE tables take for the little-endian integer of another
// dialect and show as other numbers.
#include "tools/TownTable.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/CodePages.h"
#include "platform/runtime/Exceptions.h"

namespace orv {

namespace {

constexpr double kMinutesPerDegree = 60.0;

// Rounds to the stored number of decimals; never yields a negative zero, which would be
// written as "-0.0000".
double RoundStored(double value) {
  const double scale = std::pow(10.0, kTownNumberDecimals);
  const double r = std::round(value * scale) / scale;
  return r == 0 ? 0.0 : r;
}

// A longitude as stored: 0 <= result < 360 after rounding (359.99999 is stored as 0).
double StoredLongitude(double lon) { return NormalizeLongitude(RoundStored(NormalizeLongitude(lon))); }

// Whole minutes of a non-negative angle, rounded to the nearest minute.
long long RoundMinutes(double degrees) { return std::llround(degrees * kMinutesPerDegree); }

AnsiString DegreesLetterMinutes(long long minutes, AnsiString letter) {
  char digits[32];
  std::snprintf(digits, sizeof digits, "%lld", minutes / 60);
  char rest[8];
  std::snprintf(rest, sizeof rest, "%02lld", minutes % 60);
  return AnsiString(digits) + letter + rest;
}

AnsiString DegreesMinutes(bool negative, long long minutes) {
  char text[32];
  std::snprintf(text, sizeof text, "%s%lld%c%02lld'", negative ? "-" : "", minutes / 60,
                static_cast<char>(0xB0), minutes % 60);  // 0xB0: the degree sign
  return text;
}

AnsiString PathForMessage(const std::string& path) { return Utf8ToAnsi(path); }

void PutTownId(char* out, Integer value) {
  char text[32];
  const int n = std::snprintf(text, sizeof text, "%*ld", kTownIdLength, static_cast<long>(value));
  if (n != kTownIdLength) throw EConvertError("Town ID too wide for the town table"_a);
  std::memcpy(out, text, kTownIdLength);
}

void PutLittleEndian(unsigned char* out, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
}

void PutText(char* out, int length, const AnsiString& text, const char* field) {
  if (text.size() > static_cast<std::size_t>(length))
    throw EConvertError("Text too long for field "_a + AnsiString(field) + ": " + text);
  if (!HasCp866Form(text))
    throw EConvertError("No cp866 form for the text of field "_a + AnsiString(field) + ": " + text);
  const std::string oem = AnsiToCp866(text);
  std::memcpy(out, oem.data(), oem.size());
  std::memset(out + text.size(), ' ', length - text.size());
}

void PutNumber(char* out, double value) {
  char text[64];
  const int n = std::snprintf(text, sizeof text, "%*.*f", kTownNumberLength, kTownNumberDecimals, value);
  if (n != kTownNumberLength) throw EConvertError("Number too wide for the town table"_a);
  std::memcpy(out, text, kTownNumberLength);
}

}  // namespace

static_assert(
    [] {
      int size = 1;
      for (const TownField& field : kTownFields) size += field.Length;
      return size;
    }() == kTownRecordSize,
    "the record size is the deletion byte and the fields");

double NormalizeLongitude(double lon) {
  double r = std::fmod(lon, 360.0);
  if (r < 0) r += 360.0;
  if (r >= 360.0) r = 0;  // a tiny negative value plus 360 can round up to 360
  return r == 0 ? 0.0 : r;
}

EclipticPoint GeographicToEcliptic(double lon, double lat) {
  constexpr double kRad = 3.14159265358979323846 / 180.0;
  const double a = lon * kRad, d = lat * kRad, e = kObliquityOfEcliptic * kRad;
  // The rotation of the unit vector; atan2(sin a cos e + tan d sin e, cos a) multiplied through
  // by cos d >= 0, which keeps the poles finite.
  const double y = std::sin(a) * std::cos(e) * std::cos(d) + std::sin(d) * std::sin(e);
  const double x = std::cos(a) * std::cos(d);
  const double z = std::sin(d) * std::cos(e) - std::cos(d) * std::sin(e) * std::sin(a);
  EclipticPoint p;
  p.Lon = NormalizeLongitude(std::atan2(y, x) / kRad);
  p.Lat = std::asin(std::fmax(-1.0, std::fmin(1.0, z))) / kRad;
  return p;
}

AnsiString FormatGeographicLongitude(double lon) {
  const double east = NormalizeLongitude(lon);
  const bool west = east > 180.0;
  const long long minutes = RoundMinutes(west ? 360.0 - east : east);
  // A value that rounds to 0 or to 180 degrees is written as east.
  const bool westLetter = west && minutes != 0 && minutes != 180 * 60;
  return DegreesLetterMinutes(minutes, westLetter ? "з"_a : "в"_a);
}

AnsiString FormatGeographicLatitude(double lat) {
  const long long minutes = RoundMinutes(std::fabs(lat));
  return DegreesLetterMinutes(minutes, lat < 0 && minutes != 0 ? "ю"_a : "с"_a);
}

AnsiString FormatEclipticLongitude(double lon) {
  return DegreesMinutes(false, RoundMinutes(NormalizeLongitude(lon)) % (360 * 60));
}

AnsiString FormatEclipticLatitude(double lat) {
  const long long minutes = RoundMinutes(std::fabs(lat));
  return DegreesMinutes(lat < 0 && minutes != 0, minutes);
}

bool HasCp866Form(std::string_view ansi) {
  // The conversion marks a character that cp866 lacks with a zero byte.
  const std::string oem = AnsiToCp866(ansi, '\0');
  return std::none_of(oem.begin(), oem.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

TownTableWriter::TownTableWriter(const std::string& path, std::chrono::year_month_day updated)
    : FPath(path), FTempPath(path + ".part"), FRecord(kTownRecordSize, ' ') {
  const int year = static_cast<int>(updated.year());
  if (!updated.ok() || year < 1900 || year > 1900 + 255)
    throw EConvertError("Invalid update date for the town table"_a);

  unsigned char header[kTownHeaderSize] = {};
  header[0] = kTownTableVersion;
  header[1] = static_cast<unsigned char>(year - 1900);
  header[2] = static_cast<unsigned char>(static_cast<unsigned>(updated.month()));
  header[3] = static_cast<unsigned char>(static_cast<unsigned>(updated.day()));
  PutLittleEndian(header + 8, kTownHeaderSize, 2);
  PutLittleEndian(header + 10, kTownRecordSize, 2);
  header[29] = kTownTableLanguageDriver;
  unsigned char* descriptor = header + 32;
  for (const TownField& f : kTownFields) {
    std::memcpy(descriptor, f.Name, std::strlen(f.Name));
    descriptor[11] = static_cast<unsigned char>(f.Type);
    descriptor[16] = static_cast<unsigned char>(f.Length);
    descriptor[17] = static_cast<unsigned char>(f.Decimals);
    descriptor += 32;
  }
  *descriptor = 0x0D;

  // The table is written beside its destination and renamed over it when complete, so that a
  // failed run leaves any earlier table untouched.
  FFile = std::fopen(FTempPath.c_str(), "wb");
  if (!FFile) throw EFCreateError("Cannot create file "_a + PathForMessage(FTempPath));
  std::setvbuf(FFile, nullptr, _IOFBF, 1 << 20);
  Write(header, sizeof header);
}

TownTableWriter::~TownTableWriter() {
  if (FFile) {
    std::fclose(FFile);
    std::remove(FTempPath.c_str());
  }
}

void TownTableWriter::Write(const void* data, std::size_t size) {
  if (std::fwrite(data, 1, size, FFile) != size)
    throw EWriteError("Cannot write file "_a + PathForMessage(FPath));
}

void TownTableWriter::Add(const TownRecord& town) {
  if (!FFile) throw EInvalidOperation("The town table is closed"_a);
  if (town.Id <= 0) throw EConvertError("Town IDs must be positive"_a);
  if (!std::isfinite(town.Lon) || !std::isfinite(town.Lat) || town.Lat < -90 || town.Lat > 90)
    throw EConvertError("Town coordinates out of range: "_a + town.City);
  if (FCount == UINT32_MAX) throw EConvertError("Too many records for one table"_a);

  // The derived fields come from the stored values, so that a table agrees with itself.
  const double lon = StoredLongitude(town.Lon);
  const double lat = RoundStored(town.Lat);
  const EclipticPoint ecl = GeographicToEcliptic(lon, lat);
  const double eclLon = StoredLongitude(ecl.Lon);
  const double eclLat = RoundStored(ecl.Lat);

  char* r = FRecord.data();
  r[0] = ' ';
  PutTownId(r + 1, town.Id);
  char* p = r + 1 + kTownIdLength;
  PutText(p, kTownCountryLength, town.Country, "COUNTRY");
  p += kTownCountryLength;
  PutText(p, kTownCityLength, town.City, "CITY");
  p += kTownCityLength;
  PutText(p, kTownTextLength, FormatGeographicLongitude(lon), "G_DOLG");
  p += kTownTextLength;
  PutText(p, kTownTextLength, FormatGeographicLatitude(lat), "G_SHIR");
  p += kTownTextLength;
  PutText(p, kTownTextLength, FormatEclipticLongitude(eclLon), "E_DOLG");
  p += kTownTextLength;
  PutText(p, kTownTextLength, FormatEclipticLatitude(eclLat), "E_SHIR");
  p += kTownTextLength;
  for (const double value : {lon, lat, eclLon, eclLat}) {
    PutNumber(p, value);
    p += kTownNumberLength;
  }
  Write(r, kTownRecordSize);
  ++FCount;
}

void TownTableWriter::Close() {
  if (!FFile) return;
  const unsigned char endMark = 0x1A;
  Write(&endMark, 1);
  unsigned char count[4];
  PutLittleEndian(count, FCount, 4);
  if (std::fseek(FFile, 4, SEEK_SET) != 0) throw EWriteError("Cannot seek in file "_a + PathForMessage(FPath));
  Write(count, sizeof count);
  std::FILE* file = FFile;
  FFile = nullptr;
  if (std::fclose(file) != 0) {
    std::remove(FTempPath.c_str());
    throw EWriteError("Cannot write file "_a + PathForMessage(FPath));
  }
  if (std::rename(FTempPath.c_str(), FPath.c_str()) != 0) {
    std::remove(FTempPath.c_str());
    throw EFCreateError("Cannot create file "_a + PathForMessage(FPath));
  }
}

void WriteTownTable(const std::string& path, const std::vector<TownRecord>& towns,
                    std::chrono::year_month_day updated) {
  TownTableWriter writer(path, updated);
  for (const TownRecord& town : towns) writer.Add(town);
  writer.Close();
}

std::chrono::year_month_day TodayDate() {
  return std::chrono::year_month_day(std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now()));
}

}  // namespace orv
