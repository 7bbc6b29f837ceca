#include "tools/TownSources.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/CodePages.h"
#include "platform/runtime/Exceptions.h"

namespace orv {

namespace {

// ---------------------------------------------------------------------------------------------
// Compiled message catalog (.mo), in the byte order that its magic number shows:
//
//   offset  size  content
//   0       4     magic 0x950412DE
//   4       4     revision (major number in the high 16 bits: 0 or 1)
//   8       4     number of strings N
//   12      4     offset of the table of originals
//   16      4     offset of the table of translations
//   each table: N entries of (length, offset), 8 bytes each; the string lies at the offset,
//   length bytes long, followed by a zero byte. An original "context\x04text" carries a
//   context; plural forms are separated by zero bytes inside the string.
// ---------------------------------------------------------------------------------------------

constexpr std::uint32_t kMoMagic = 0x950412DE;

std::uint32_t ReadWord(std::string_view bytes, std::uint64_t offset, bool bigEndian) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) {
    const auto b = static_cast<unsigned char>(bytes[offset + i]);
    v |= static_cast<std::uint32_t>(b) << (bigEndian ? 8 * (3 - i) : 8 * i);
  }
  return v;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EFOpenError("Cannot open file "_a + Utf8ToAnsi(path));
  std::ostringstream out;
  out << in.rdbuf();
  if (in.bad()) throw EReadError("Cannot read file "_a + Utf8ToAnsi(path));
  return std::move(out).str();
}

// ---------------------------------------------------------------------------------------------
// A small JSON reader: enough to walk the ISO list and collect the string members of every
// object that has an "alpha_2" member.
// ---------------------------------------------------------------------------------------------

class JsonCountryReader {
 public:
  explicit JsonCountryReader(std::string_view text) : FText(text) {}

  std::map<std::string, std::vector<std::string>> Read() {
    ParseValue(0);
    SkipBlanks();
    if (FPos != FText.size()) Fail();
    return std::move(FResult);
  }

 private:
  [[noreturn]] void Fail() const { throw EReadError("Malformed country list"_a); }

  void SkipBlanks() {
    while (FPos < FText.size() && (FText[FPos] == ' ' || FText[FPos] == '\n' || FText[FPos] == '\r' ||
                                   FText[FPos] == '\t'))
      ++FPos;
  }

  char Peek() {
    SkipBlanks();
    if (FPos >= FText.size()) Fail();
    return FText[FPos];
  }

  void Expect(char c) {
    if (Peek() != c) Fail();
    ++FPos;
  }

  char16_t ReadHex4() {
    if (FText.size() - FPos < 4) Fail();
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(FText.data() + FPos, FText.data() + FPos + 4, value, 16);
    if (ec != std::errc() || end != FText.data() + FPos + 4) Fail();
    FPos += 4;
    return static_cast<char16_t>(value);
  }

  std::string ParseString() {
    Expect('"');
    std::string out;
    std::u16string units;  // \u escapes, UTF-16 units that surrogate pairs join
    const auto flush = [&] {
      if (units.empty()) return;
      out += WideToUtf8(units);
      units.clear();
    };
    while (true) {
      if (FPos >= FText.size()) Fail();
      const char c = FText[FPos++];
      if (c == '\\' && FPos < FText.size() && FText[FPos] == 'u') {
        ++FPos;
        units += ReadHex4();
        continue;
      }
      flush();
      if (c == '"') return out;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (FPos >= FText.size()) Fail();
      const char e = FText[FPos++];
      switch (e) {
        case '"': case '\\': case '/': out += e; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        default: Fail();
      }
    }
  }

  // depth guards against a hostile file nesting without end.
  void ParseValue(int depth) {
    if (depth > 64) Fail();
    const char c = Peek();
    if (c == '{') {
      ++FPos;
      std::map<std::string, std::string> members;
      if (Peek() != '}') {
        while (true) {
          std::string key = ParseString();
          Expect(':');
          if (Peek() == '"') members[key] = ParseString();
          else ParseValue(depth + 1);
          if (Peek() == ',') { ++FPos; continue; }
          break;
        }
      }
      Expect('}');
      const auto code = members.find("alpha_2");
      if (code != members.end()) {
        std::vector<std::string>& names = FResult[code->second];
        for (const char* key : {"common_name", "name"}) {
          const auto it = members.find(key);
          if (it != members.end()) names.push_back(it->second);
        }
      }
    } else if (c == '[') {
      ++FPos;
      if (Peek() != ']') {
        while (true) {
          ParseValue(depth + 1);
          if (Peek() == ',') { ++FPos; continue; }
          break;
        }
      }
      Expect(']');
    } else if (c == '"') {
      ParseString();
    } else {
      // A number or a literal: everything up to the next delimiter.
      const std::size_t start = FPos;
      while (FPos < FText.size() && std::string_view(",]} \n\r\t").find(FText[FPos]) == std::string_view::npos)
        ++FPos;
      if (FPos == start) Fail();
    }
  }

  std::string_view FText;
  std::size_t FPos = 0;
  std::map<std::string, std::vector<std::string>> FResult;
};

// ---------------------------------------------------------------------------------------------
// Names
// ---------------------------------------------------------------------------------------------

bool IsCyrillicLetter(char32_t c) { return c >= 0x0400 && c <= 0x04FF; }
bool IsLatinLetter(char32_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The Cyrillic letter that a Latin letter is indistinguishable from, or 0.
char32_t CyrillicLookAlike(char32_t c) {
  static constexpr std::pair<char, char16_t> kPairs[] = {
      {'a', u'а'}, {'e', u'е'}, {'o', u'о'}, {'p', u'р'}, {'c', u'с'}, {'x', u'х'}, {'y', u'у'},
      {'A', u'А'}, {'B', u'В'}, {'C', u'С'}, {'E', u'Е'}, {'H', u'Н'}, {'K', u'К'}, {'M', u'М'},
      {'O', u'О'}, {'P', u'Р'}, {'T', u'Т'}, {'X', u'Х'},
  };
  for (const auto& [latin, cyrillic] : kPairs)
    if (c == static_cast<char32_t>(latin)) return cyrillic;
  return 0;
}

// Typographic characters that the two code pages lack, spelled with the nearest plain ones;
// 0 removes the character, the character itself keeps it.
char32_t PlainForm(char32_t c) {
  switch (c) {
    case 0x2018: case 0x2019: case 0x201B: case 0x02BC: case 0x02B9: case 0x0060: case 0x00B4:
      return '\'';
    case 0x2010: case 0x2011: case 0x2012: case 0x2013: case 0x2014: case 0x2212:
      return '-';
    case 0x201C: case 0x201D: case 0x201E: case 0x00AB: case 0x00BB:
      return '"';
    case 0x00A0: case 0x2007: case 0x202F: case '\t':
      return ' ';
    case 0x00AD: case 0x200B: case 0x200C: case 0x200D: case 0xFEFF:
      return 0;
    default:
      return c;
  }
}

// Composes the decomposed forms of й and ё that some sources carry.
char32_t Compose(char32_t base, char32_t mark) {
  if (mark == 0x0306) {
    if (base == u'и') return u'й';
    if (base == u'И') return u'Й';
  } else if (mark == 0x0308) {
    if (base == u'е') return u'ё';
    if (base == u'Е') return u'Ё';
  }
  return 0;
}

// Russian letter order of a Windows-1251 byte, case folded; other bytes keep their order but
// come after the letters only where the byte order puts them.
unsigned char SortWeight(unsigned char b) {
  if (b == 0xA8 || b == 0xB8) return 0xC6;  // Ё, ё: right after Е
  if (b >= 0xE0) b = static_cast<unsigned char>(b - 0x20);  // а..я to А..Я
  if (b >= 0xC6 && b <= 0xDF) return static_cast<unsigned char>(b + 1);  // Ж..Я after Ё
  if (b >= 'a' && b <= 'z') return static_cast<unsigned char>(b - 0x20);
  return b;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

MessageCatalog MessageCatalog::Parse(std::string_view bytes) {
  const auto fail = [] { return EReadError("Malformed message catalog"_a); };
  if (bytes.size() < 20) throw fail();
  bool bigEndian = false;
  if (ReadWord(bytes, 0, false) != kMoMagic) {
    if (ReadWord(bytes, 0, true) != kMoMagic) throw fail();
    bigEndian = true;
  }
  if ((ReadWord(bytes, 4, bigEndian) >> 16) > 1) throw fail();
  const std::uint64_t count = ReadWord(bytes, 8, bigEndian);
  const std::uint64_t originals = ReadWord(bytes, 12, bigEndian);
  const std::uint64_t translations = ReadWord(bytes, 16, bigEndian);
  if (originals + count * 8 > bytes.size() || translations + count * 8 > bytes.size()) throw fail();

  const auto stringAt = [&](std::uint64_t table, std::uint64_t i) {
    const std::uint64_t length = ReadWord(bytes, table + i * 8, bigEndian);
    const std::uint64_t offset = ReadWord(bytes, table + i * 8 + 4, bigEndian);
    if (offset + length > bytes.size()) throw fail();
    const std::string_view s = bytes.substr(offset, length);
    return s.substr(0, s.find('\0'));  // the singular form only
  };

  MessageCatalog catalog;
  catalog.FEntries.reserve(count);
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::string_view original = stringAt(originals, i);
    const std::string_view translation = stringAt(translations, i);
    if (original.empty() || translation.empty()) continue;  // the header entry, untranslated ones
    catalog.FEntries.emplace(original, translation);
  }
  return catalog;
}

MessageCatalog MessageCatalog::Load(const std::string& path) { return Parse(ReadFile(path)); }

const std::string* MessageCatalog::Find(std::string_view original) const {
  const auto it = FEntries.find(std::string(original));
  return it == FEntries.end() ? nullptr : &it->second;
}

std::map<std::string, std::vector<std::string>> ParseIsoCountryNames(std::string_view json) {
  return JsonCountryReader(json).Read();
}

std::optional<GeoNamesTown> ParseGeoNamesLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::string_view columns[9];
  std::size_t n = 0, start = 0;
  while (n < 9) {
    const std::size_t tab = line.find('\t', start);
    columns[n++] = line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start);
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  if (n < 9) return std::nullopt;

  GeoNamesTown town;
  const auto number = [](std::string_view s, auto& value) {
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    return ec == std::errc() && end == s.data() + s.size();
  };
  if (!number(columns[0], town.Id) || town.Id <= 0) return std::nullopt;
  if (!number(columns[4], town.Lat) || !number(columns[5], town.Lon)) return std::nullopt;
  if (!(town.Lat >= -90 && town.Lat <= 90 && town.Lon >= -180 && town.Lon <= 180)) return std::nullopt;
  if (columns[8].size() != 2) return std::nullopt;
  town.Name = columns[1];
  town.CountryCode = columns[8];
  return town;
}

std::optional<AnsiString> RussianName(std::string_view utf8, std::size_t maxLength) {
  std::u32string chars;
  std::size_t i = 0;
  while (i < utf8.size()) {
    const char32_t c = PlainForm(DecodeUtf8(utf8, i));
    if (c == 0) continue;
    if (c >= 0x0300 && c <= 0x036F) {  // a combining mark: compose it or give up
      const char32_t composed = chars.empty() ? 0 : Compose(chars.back(), c);
      if (composed == 0) return std::nullopt;
      chars.back() = composed;
      continue;
    }
    chars += c;
  }

  bool cyrillic = false;
  for (const char32_t c : chars) cyrillic = cyrillic || IsCyrillicLetter(c);
  if (!cyrillic) return std::nullopt;

  AnsiString out;
  for (const char32_t raw : chars) {
    char32_t c = raw;
    if (IsLatinLetter(c)) {
      c = CyrillicLookAlike(c);
      if (c == 0) return std::nullopt;  // a Latin word inside the name: not a Russian spelling
    }
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    if (c < 0x20) return std::nullopt;
    const int ansi = UnicodeToCp1251(c);
    if (ansi < 0) return std::nullopt;
    out += static_cast<char>(ansi);
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  if (out.empty() || out.size() > maxLength || !HasCp866Form(out)) return std::nullopt;
  return out;
}

std::string RussianSortKey(const AnsiString& ansi) {
  std::string key(ansi.size(), '\0');
  std::transform(ansi.begin(), ansi.end(), key.begin(),
                 [](char c) { return static_cast<char>(SortWeight(static_cast<unsigned char>(c))); });
  return key;
}

std::vector<TownRecord> BuildTownRecords(const TownSourceData& data, TownBuildReport& report) {
  report = TownBuildReport{};
  report.Read = data.Towns.size();

  // Country names: the catalog's own (short, as an atlas writes them), then the ISO names;
  // the two usual abbreviations where every full name is longer than the field.
  static const std::map<std::string, std::string> kShortForms = {
      {"CF", "ЦАР"}, {"ZA", "ЮАР"}, {"BQ", "Карибские Нидерланды"}, {"TF", "Франц. Южные территории"}};
  std::map<std::string, std::optional<AnsiString>> countries;
  const auto countryName = [&](const std::string& code) -> const std::optional<AnsiString>& {
    auto it = countries.find(code);
    if (it != countries.end()) return it->second;
    std::vector<std::string> candidates;
    if (const std::string* ru = data.GeoNamesRu.Find(code)) candidates.push_back(*ru);
    const auto iso = data.IsoCountryNames.find(code);
    if (iso != data.IsoCountryNames.end())
      for (const std::string& english : iso->second)
        if (const std::string* ru = data.IsoCountriesRu.Find(english)) candidates.push_back(*ru);
    const auto shortForm = kShortForms.find(code);
    if (shortForm != kShortForms.end()) candidates.push_back(shortForm->second);
    std::optional<AnsiString> name;
    for (const std::string& candidate : candidates)
      if ((name = RussianName(candidate, kTownCountryLength))) break;
    return countries.emplace(code, name).first->second;
  };

  std::vector<TownRecord> records;
  std::set<Integer> ids;
  for (const GeoNamesTown& town : data.Towns) {
    const std::string* ru = data.GeoNamesRu.Find(std::to_string(town.Id));
    if (!ru) continue;
    ++report.WithRussianName;
    const std::string what = std::to_string(town.Id) + " " + town.Name + " (" + town.CountryCode + ", \"" + *ru + "\"): ";
    const std::optional<AnsiString> city = RussianName(*ru, kTownCityLength);
    if (!city) {
      report.LeftOut.push_back(what + "no Russian spelling that both code pages hold");
      continue;
    }
    const std::optional<AnsiString>& country = countryName(town.CountryCode);
    if (!country) {
      report.LeftOut.push_back(what + "no Russian country name that fits");
      continue;
    }
    if (!ids.insert(town.Id).second) {
      report.LeftOut.push_back(what + "repeated id");
      continue;
    }
    TownRecord r;
    r.Id = town.Id;
    r.Country = *country;
    r.City = *city;
    r.Lon = town.Lon;
    r.Lat = town.Lat;
    records.push_back(std::move(r));
  }

  std::vector<std::pair<std::string, std::string>> keys;
  std::vector<std::size_t> order(records.size());
  keys.reserve(records.size());
  for (std::size_t k = 0; k < records.size(); ++k) {
    keys.emplace_back(RussianSortKey(records[k].Country), RussianSortKey(records[k].City));
    order[k] = k;
  }
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    if (keys[a] != keys[b]) return keys[a] < keys[b];
    return records[a].Id < records[b].Id;
  });
  std::vector<TownRecord> sorted;
  sorted.reserve(records.size());
  for (const std::size_t k : order) sorted.push_back(std::move(records[k]));
  report.Written = sorted.size();
  return sorted;
}

TownSourceData LoadTownSources(const TownSourcePaths& paths) {
  TownSourceData data;
  const std::string cities = ReadFile(paths.Cities);
  std::size_t start = 0;
  while (start < cities.size()) {
    std::size_t end = cities.find('\n', start);
    if (end == std::string::npos) end = cities.size();
    if (auto town = ParseGeoNamesLine(std::string_view(cities).substr(start, end - start)))
      data.Towns.push_back(std::move(*town));
    start = end + 1;
  }
  data.GeoNamesRu = MessageCatalog::Load(paths.GeoNamesRu);
  data.IsoCountriesRu = MessageCatalog::Load(paths.IsoCountriesRu);
  data.IsoCountryNames = ParseIsoCountryNames(ReadFile(paths.IsoCountriesJson));
  return data;
}

}  // namespace orv
