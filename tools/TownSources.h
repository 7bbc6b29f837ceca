// The real towns of the bundled table: GeoNames towns (tab-separated "cities" file), their
// Russian names from a compiled message catalog keyed by GeoNames id and by country code, and
// the ISO country list with its Russian catalog as the fallback for country names.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/runtime/Types.h"
#include "tools/TownTable.h"

namespace orv {

// A compiled gettext message catalog (.mo): original text to translation, both UTF-8.
class MessageCatalog {
 public:
  // Throws EReadError when the bytes are no well-formed catalog.
  static MessageCatalog Parse(std::string_view bytes);
  // Throws EFOpenError when the file cannot be read.
  static MessageCatalog Load(const std::string& path);

  // The translation, or nullptr (also for an empty translation).
  const std::string* Find(std::string_view original) const;
  std::size_t GetCount() const { return FEntries.size(); }

 private:
  std::unordered_map<std::string, std::string> FEntries;
};

// Alpha-2 code to the English names of a country in the ISO JSON list: the common name (when
// the list gives one) first, then the name.
std::map<std::string, std::vector<std::string>> ParseIsoCountryNames(std::string_view json);

// One line of a GeoNames "cities" file: the columns the table needs.
struct GeoNamesTown {
  Integer Id = 0;
  std::string Name;         // UTF-8, the GeoNames name (for reports)
  double Lat = 0;
  double Lon = 0;           // -180..180, east positive
  std::string CountryCode;  // ISO alpha-2
};

// Parses one line; nothing for a malformed line.
std::optional<GeoNamesTown> ParseGeoNamesLine(std::string_view line);

// A name turned into Windows-1251 text that cp866 holds as well: typographic apostrophes and
// dashes become "'" and "-", Latin look-alike letters inside a Cyrillic name become Cyrillic,
// blanks are collapsed. Nothing when the name has no Cyrillic letter, keeps a letter that the
// two code pages cannot both hold (such as Ukrainian і), or is longer than maxLength.
std::optional<AnsiString> RussianName(std::string_view utf8, std::size_t maxLength);

// The sort key of Russian alphabetical order, case-insensitive, ё after е.
std::string RussianSortKey(const AnsiString& ansi);

// What a build took and left out, for the generator's summary.
struct TownBuildReport {
  std::size_t Read = 0;            // towns in the cities file
  std::size_t WithRussianName = 0; // towns that the catalog names
  std::size_t Written = 0;
  std::vector<std::string> LeftOut;  // UTF-8 lines: why a named town was left out
};

struct TownSourceData {
  std::vector<GeoNamesTown> Towns;
  MessageCatalog GeoNamesRu;      // GeoNames id or country code -> Russian name
  MessageCatalog IsoCountriesRu;  // English ISO country name -> Russian name
  std::map<std::string, std::vector<std::string>> IsoCountryNames;
};

// The records of the bundled table: every town with a usable Russian name whose country has
// one, sorted by country and town in Russian alphabetical order.
std::vector<TownRecord> BuildTownRecords(const TownSourceData& data, TownBuildReport& report);

// Where Debian's data packages install the sources.
struct TownSourcePaths {
  std::string Cities = "/usr/share/libtimezonemap/ui/cities15000.txt";
  std::string GeoNamesRu = "/usr/share/locale/ru/LC_MESSAGES/geonames.mo";
  std::string IsoCountriesRu = "/usr/share/locale/ru/LC_MESSAGES/iso_3166-1.mo";
  std::string IsoCountriesJson = "/usr/share/iso-codes/json/iso_3166-1.json";
};

// Reads the four files; throws EFOpenError or EReadError.
TownSourceData LoadTownSources(const TownSourcePaths& paths);

}  // namespace orv
