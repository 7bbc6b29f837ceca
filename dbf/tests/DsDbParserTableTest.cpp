// The filter language on real table records: a parser bound to a table handle reads the fields
// of its header through the field codec from the handle's current record.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "dbf/DsCP.h"
#include "dbf/DsDbParser.h"
#include "dbf/DsDbfApi.h"
#include "dbf/tests/DbfTestSupport.h"
#include "dbf/tests/DsDbParserTestSupport.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Locale.h"

using namespace orv;
using orv::test::TFieldValue;
using orv::test::TQuery;

namespace {

// An open table over an image in memory; Select makes a record the current one.
struct TOpenParserTable {
  dbftest::TMemoryFile File;
  TDsCustomHandle Handle;
  TDbfHeader* Header = nullptr;

  TOpenParserTable(std::vector<Byte> image, CP_TYPE codePage) : File(std::move(image)) {
    Handle.SetCodePage(codePage);
    auto header = std::make_unique<TDbfHeader>(&Handle, &File);
    EXPECT_EQ(header->Read(), 0);
    Header = header.get();
    Handle.SetHeader(std::move(header));
  }
  Integer Count() const { return Header->GetRecordCount(); }
  void Select(Integer index) {
    Handle.SetCurrentRecord(File.Bytes.data() + Header->GetHeaderSize() + index * Header->GetRecordSize());
  }
  // Indexes of the records the filter accepts.
  std::vector<Integer> Selected(TDsDbParser& parser) {
    std::vector<Integer> out;
    for (Integer i = 0; i < Count(); ++i) {
      Select(i);
      if (parser.Accept()) out.push_back(i);
    }
    return out;
  }
};

std::string Text(std::string_view windows1251, int width) {
  std::string s(windows1251);
  s.resize(std::size_t(width), ' ');
  DsTranslateToFile(dBASE_RUS_cp866, s.data(), Integer(s.size()));
  return s;
}

std::string Number(const char* value, int width) {
  std::string s(value);
  return std::string(std::size_t(width) - s.size(), ' ') + s;
}

// Towns with a text, two numbers, a date and a logical; blanks are nulls.
std::vector<Byte> TownImage() {
  struct {
    std::string_view Country, City;
    const char *Lon, *Lat, *Founded, *Capital;
  } const towns[] = {
      {"Россия"_a, "Москва"_a, "37.6176", "55.7558", "11470101", "T"},
      {"Российская Федерация"_a, "Омск"_a, "73.3682", "54.9885", "17160101", "F"},
      {"Франция"_a, "Париж"_a, "2.3522", "48.8566", "        ", "Y"},
      {"Россия"_a, "Мурманск"_a, "33.0827", "68.9585", "19161004", "N"},
      {""_a, "Безымянный"_a, "", "", "", " "},
      {"Перу"_a, "Лима"_a, "282.9625", "-12.0464", "15350118", "T"},
  };
  std::vector<std::string> records;
  for (const auto& t : towns)
    records.push_back(Text(t.Country, 20) + Text(t.City, 20) + Number(t.Lon, 10) +
                      Number(t.Lat, 10) + std::string(t.Founded).append(8 - std::strlen(t.Founded), ' ') +
                      t.Capital);
  return dbftest::BuildDbf(0x03, 0x26,
                           {{"COUNTRY", 'C', 20}, {"CITY", 'C', 20}, {"LON", 'N', 10, 4},
                            {"LAT", 'N', 10, 4}, {"FOUNDED", 'D', 8}, {"CAPITAL", 'L', 1}},
                           records);
}

TEST(DsDbParserTable, FiltersSelectRecordsOfATable) {
  const TLocaleScope russian(TLocaleProfile::Russian);
  TOpenParserTable table(TownImage(), dBASE_RUS_cp866);
  TDsDbParser parser(&table.Handle);
  struct {
    std::string_view Text;
    std::vector<Integer> Expected;
  } const cases[] = {
      {"(country = 'Россия*')"_a, {0, 3}},
      {"(country = 'Росси*') and (city = 'М*')"_a, {0, 3}},
      {"(city = '*ск')"_a, {1, 3}},
      {"(lon >= 25) and (lon <= 80) and(lat >= 50) and (lat <= 60)", {0, 1}},
      {"(((lon >= 355) and (lon <= 360)) or ((lon <= 5) and (lon >= 0))) and(lat + 0 >= 0) and "
       "(lat <= 50)",
       {2}},
      {"(lon >= 275) and (lon <= 285) and(lat + 15 >= 0) and (lat + 10 <= 0)", {5}},
      {"lat = NULL", {4}},
      {"country = NULL", {4}},
      {"lon >= 0", {0, 1, 2, 3, 5}},  // the record without coordinates gives no value
      {"FOUNDED < '01.01.1600'", {0, 5}},
      {"FOUNDED = NULL", {2, 4}},
      {"CAPITAL", {0, 2, 5}},
      {"CAPITAL = FALSE", {1, 3}},
      {"UPPER(city) = 'МОСКВА'"_a, {0}},
      {"FIELD('city') = 'Омск'"_a, {1}},
      {"FIELD('lat') <= 0", {4, 5}},  // FIELD reads a null number as 0
      {"TRUNC(LON) = 37", {0}},
  };
  for (const auto& c : cases) {
    parser.SetText(AnsiString(c.Text));
    ASSERT_NO_THROW(parser.Check()) << orv::AnsiToUtf8(c.Text);
    EXPECT_EQ(table.Selected(parser), c.Expected) << orv::AnsiToUtf8(c.Text);
  }
  // Reading a table allocates nothing per record either.
  parser.SetText("(country = 'Росси*') and (FIELD('CITY') <> city) or (lat + 5 >= 0) and "
                 "(FOUNDED <> NULL) and CAPITAL"_a);
  ASSERT_NO_THROW(parser.Check());
  orv::test::StartCountingAllocations();
  for (Integer i = 0; i < table.Count(); ++i) {
    table.Select(i);
    parser.Accept();
  }
  EXPECT_EQ(orv::test::StopCountingAllocations(), 0);
  // Field names are those of the header.
  parser.SetText("TOWN = 'x'");
  EXPECT_FALSE(parser.Tokenize());
}

// The bundled town table: every search filter selects exactly the towns that the same numeric
// conditions, applied to the decoded fields, select.
TEST(DsDbParserTable, SearchFiltersOnTheTownTable) {
  const std::string path = std::string(ORV_SOURCE_DIR) + "/DB/ORVANE.DBF";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "no town table";
  TOpenParserTable table(dbftest::ReadFileBytes(path), dBASE_RUS_cp866);
  ASSERT_GT(table.Count(), 1000);
  const TDsCustomField* fields[] = {table.Header->FindField("LON"), table.Header->FindField("LAT"),
                                    table.Header->FindField("ECLLON"),
                                    table.Header->FindField("ECLLAT")};
  for (const TDsCustomField* f : fields) ASSERT_NE(f, nullptr);
  const TQuery queries[] = {
      {true, true, true, 30, 50, 5, 5},     {true, true, true, 2, 3, 5, 5},
      {true, false, false, 30, 40, 5, 5},   {true, true, true, 0, 0, 1, 1},
      {true, false, true, 75, 40, 20, 10},  {true, true, false, 150, 30, 10, 10},
      {true, true, true, 37, 55, 180, 2},   {true, false, false, 0, 2, 5, 5},
      {false, true, true, 60, 35, 5, 5},    {false, true, true, 355, -10, 10, 5},
      {false, true, true, -20, 0, 30, 20},  {false, true, true, 190, -40, 15, 8},
  };
  TDsDbParser parser(&table.Handle);
  for (const TQuery& q : queries) {
    parser.SetText(q.Text());
    ASSERT_NO_THROW(parser.Check()) << q.Text();
    const TDsCustomField* lonField = fields[q.Geographic ? 0 : 2];
    const TDsCustomField* latField = fields[q.Geographic ? 1 : 3];
    const auto range = q.Longitude();
    int selected = 0;
    for (Integer i = 0; i < table.Count(); ++i) {
      table.Select(i);
      const bool expected = !lonField->IsNull() && !latField->IsNull() &&
                            range.Contains(lonField->AsFloat()) && latField->AsFloat() >= q.Lower() &&
                            latField->AsFloat() <= q.Upper();
      ASSERT_EQ(parser.Accept(), expected) << q.Text() << " record " << i;
      selected += expected;
    }
    if (q.T < 180) {
      EXPECT_LT(selected, table.Count()) << q.Text();
    }
  }
}

// The handle's source reads number fields straight from the record and offers the stored
// bytes of text fields; on any bytes it must give what the codec gives.
TEST(DsDbParserTable, FieldsReadFromTheRecordGiveWhatTheCodecGives) {
  struct TSpec {
    const char* Name;
    Integer Length, Decimals;
  };
  const TSpec numbers[] = {{"X", 10, 4}, {"K", 6, 0}, {"W", 40, 2}, {"V", 20, 3}};
  std::vector<dbftest::TFieldSpec> specs{{"NAME", 'C', 12}};
  for (const TSpec& n : numbers) specs.push_back({n.Name, 'N', n.Length, n.Decimals});
  std::mt19937 rng(8);
  auto pick = [&rng](std::string_view from) { return from[rng() % from.size()]; };
  auto numberText = [&](Integer width, Integer decimals) {
    std::string s;
    switch (rng() % 6) {
      case 0: {  // as writers write it
        char buffer[64];
        const double v = (double(rng() % 2000001) - 1000000) / std::pow(10.0, double(rng() % 7));
        std::snprintf(buffer, sizeof buffer, "%.*f", int(decimals), v);
        s = buffer;
        break;
      }
      case 1: s = std::string(rng() % 20, '9'); break;  // more digits than a double holds exactly
      case 2: s = std::string(1, pick("+-.")) + std::to_string(rng() % 1000); break;
      case 3: s = std::to_string(rng() % 100) + pick(".e") + (rng() % 2 ? "" : std::to_string(rng() % 100)); break;
      default:
        for (Integer k = Integer(rng() % std::size_t(width + 1)); k > 0; --k)
          s += pick(std::string_view(" 0123456789.-+e\0*", 17));
        break;
    }
    if (Integer(s.size()) > width) s.resize(std::size_t(width));
    const std::size_t pad = std::size_t(width) - s.size();
    return rng() % 4 ? std::string(pad, ' ') + s : s + std::string(pad, ' ');
  };
  std::vector<std::string> records;
  for (int r = 0; r < 3000; ++r) {
    std::string record;
    for (int k = 0; k < 12; ++k) record += pick(std::string_view(" \0 aZ\x80\xA0\xE0\xF1\xFF", 10));
    for (const TSpec& n : numbers) record += numberText(n.Length, n.Decimals);
    records.push_back(record);
  }
  TOpenParserTable table(dbftest::BuildDbf(0x03, 0x26, specs, records), dBASE_RUS_cp866);
  TDsHandleFilterSource source(&table.Handle);
  for (Integer i = 0; i < table.Count(); ++i) {
    table.Select(i);
    for (Integer f = 1; f < Integer(specs.size()); ++f) {
      ASSERT_EQ(source.GetFilterFieldType(f), ftFloat);
      TDbFieldData data;
      const bool read = source.GetFilterFieldData(f, data);
      bool isNull = true;
      double expected = 0;
      table.Header->GetField(f)->GetData(nullptr, &expected, isNull);
      const std::string text = records[std::size_t(i)].substr(12, 76);
      ASSERT_EQ(read, !isNull) << "record " << i << " field " << f << " [" << text << "]";
      if (read) {
        ASSERT_EQ(std::memcmp(&data.AsFloat, &expected, sizeof expected), 0)
            << "record " << i << " field " << f << " [" << text << "]";
      }
    }
    // The text is the translation of the start of the stored bytes.
    char decoded[DbMaxText + 1];
    TDbFieldData data;
    data.Text = decoded;
    TDbFieldBytes stored;
    ASSERT_TRUE(source.GetFilterFieldBytes(0, stored));
    ASSERT_EQ(stored.Length, 12);
    if (!source.GetFilterFieldData(0, data)) continue;
    ASSERT_LE(data.TextLength, stored.Length);
    for (Integer k = 0; k < data.TextLength; ++k)
      ASSERT_EQ(Byte(decoded[k]), stored.Table[stored.Bytes[k]]) << "record " << i;
  }
  for (Integer f = 1; f < Integer(specs.size()); ++f) {
    TDbFieldBytes stored;
    EXPECT_FALSE(source.GetFilterFieldBytes(f, stored));
  }
}

// A pattern that rejects a record by the stored bytes of a text field gives the result of
// matching the decoded text, under every option.
TEST(DsDbParserTable, PatternsOnStoredBytesMatchAsOnDecodedTexts) {
  const AnsiString alphabet = "аАбБяЯёЁaAbB *?"_a;
  std::mt19937 rng(21);
  std::vector<AnsiString> values;
  std::vector<std::string> records;
  for (int r = 0; r < 200; ++r) {
    AnsiString value;
    for (std::size_t n = rng() % 9; n > 0; --n) value += alphabet[rng() % (alphabet.size() - 2)];
    if (rng() % 10 == 0) value += std::string(1, '\0') + "аб"_a;
    values.push_back(value);
    records.push_back(Text(value, 8));
  }
  TOpenParserTable table(dbftest::BuildDbf(0x03, 0x26, {{"NAME", 'C', 8}}, records), dBASE_RUS_cp866);
  // The same texts, decoded by the codec, in a source without stored bytes.
  orv::test::TTestRecord decoded;
  const Integer name = decoded.Add("NAME", ftString);
  TDsDbParser onBytes(&table.Handle), onTexts(&decoded);
  for (int iteration = 0; iteration < 300; ++iteration) {
    AnsiString pattern = values[rng() % values.size()];
    pattern.resize(std::min<std::size_t>(pattern.size(), rng() % 10));
    for (std::size_t n = rng() % 3; n > 0; --n)
      pattern.insert(rng() % (pattern.size() + 1), 1, alphabet[rng() % alphabet.size()]);
    if (pattern.find('\0') != AnsiString::npos) continue;
    const AnsiString text = "NAME = '" + pattern + "'";
    const Byte options = Byte(iteration % 4);
    onBytes.SetText(text);
    onTexts.SetText(text);
    onBytes.SetOptions(options);
    onTexts.SetOptions(options);
    ASSERT_TRUE(onBytes.Tokenize() && onTexts.Tokenize()) << text;
    for (Integer i = 0; i < table.Count(); ++i) {
      table.Select(i);
      TFieldValue& v = decoded.Value(name);
      v = TFieldValue{};
      v.Null = table.Header->GetField(0)->IsNull();
      if (!v.Null) v.S = table.Header->GetField(0)->AsString();
      const TDbValue expected = onTexts.Evaluate();
      const TDbValue& got = onBytes.Evaluate();
      ASSERT_EQ(got.Kind, expected.Kind);
      ASSERT_EQ(got.AsBoolean, expected.AsBoolean) << AnsiToUtf8(text) << " on " << AnsiToUtf8(v.S);
      ASSERT_EQ(onBytes.Accept(), onTexts.Accept());
    }
  }
}

}  // namespace

namespace {

// Number texts of a field of `width` characters: mostly the plain forms a scan meets (around
// the constants the filters compare with, exact ties included), also blanks, left-aligned
// numbers, more digits than a double holds, and garbage.
std::string RandomNumberText(std::mt19937& rng, Integer width) {
  static const char* const kForms[] = {"-0",  "+0",   "-.5", ".5",   "5.",  ".",   "-",    "+",
                                       "1 2", "1e2",  "1,5", "--1",  "+-1", "1.2.3", "3-", "\x7F\x31"};
  std::string s;
  switch (rng() % 8) {
    case 0: s = kForms[rng() % std::size(kForms)]; break;
    case 1: s = std::string(rng() % 18 + 1, char('0' + rng() % 10)); break;
    case 2: s = std::to_string(int(rng() % 11) - 5); break;  // ties with whole constants
    case 3:
      for (Integer k = Integer(rng() % std::size_t(width + 1)); k > 0; --k)
        s += std::string_view(" 0123456789.-+\0*", 16)[rng() % 16];
      break;
    default: {
      char buffer[64];
      const int decimals = int(rng() % 5);
      std::snprintf(buffer, sizeof buffer, "%.*f", decimals, (double(rng() % 2001) - 1000) / 100.0);
      s = buffer;
      break;
    }
  }
  if (Integer(s.size()) > width) s.resize(std::size_t(width));
  const std::size_t pad = std::size_t(width) - s.size();
  return rng() % 5 ? std::string(pad, ' ') + s : s + std::string(pad, ' ');
}

}  // namespace

// A number field read a word at a time gives what the codec gives, bit for bit, for the forms
// around the plain one at every width up to 16 (and the codec's answer where it is no number).
TEST(DsDbParserTable, PlainNumbersReadAsTheCodecReadsThem) {
  const char* const texts[] = {"0",    "-0",   "+0",    "-0.0000", "5",     "-5",   "+5",   ".5",
                               "-.5",  "5.",   ".",     "-",       "+",     "1 2",  "1e2",  "1,5",
                               "--1",  "+-1",  "1.2.3", "3-",      "12.34", "-1.2", "0.001",
                               "000000000000001", "123456789012345", "1234567890123456",
                               "9999999.99999999", "-1234567.1234567", "-12345678.123456",
                               "99999999999999.9", "-.000000000000001"};
  std::vector<dbftest::TFieldSpec> specs;
  std::vector<std::string> records;
  for (Integer width = 1; width <= 16; ++width) specs.push_back({"N" + std::to_string(width), 'N', width, 0});
  for (const char* t : texts) {
    for (const bool right : {true, false}) {
      std::string record;
      for (Integer width = 1; width <= 16; ++width) {
        std::string s = std::string(t).substr(0, std::size_t(width));
        const std::string pad(std::size_t(width) - s.size(), ' ');
        record += right ? pad + s : s + pad;
      }
      records.push_back(record);
    }
  }
  TOpenParserTable table(dbftest::BuildDbf(0x03, 0x26, specs, records), dBASE_RUS_cp866);
  for (Integer i = 0; i < table.Count(); ++i) {
    table.Select(i);
    for (Integer f = 0; f < Integer(specs.size()); ++f) {
      const TDsCustomField* field = table.Header->GetField(f);
      const Byte* bytes = table.Handle.GetCurrentRecord() + field->GetOffset();
      double read = 0, expected = 0;
      bool isNull = true;
      field->GetData(nullptr, &expected, isNull);
      const std::string text(reinterpret_cast<const char*>(bytes), std::size_t(field->GetLength()));
      if (DbfReadPlainNumber(bytes, field->GetLength(), read)) {
        ASSERT_FALSE(isNull) << "[" << text << "]";
        ASSERT_EQ(std::memcmp(&read, &expected, sizeof read), 0) << "[" << text << "] " << read << " " << expected;
      }
    }
  }
  // The usual forms are read without the codec.
  double v = 0;
  EXPECT_TRUE(DbfReadPlainNumber(reinterpret_cast<const Byte*>("  -12.3400"), 10, v));
  EXPECT_EQ(v, -12.34);
  EXPECT_TRUE(DbfReadPlainNumber(reinterpret_cast<const Byte*>("-.5 "), 4, v));
  EXPECT_EQ(v, -0.5);
  EXPECT_FALSE(DbfReadPlainNumber(reinterpret_cast<const Byte*>("1234567890123456"), 16, v));
  EXPECT_TRUE(DbfReadPlainNumber(reinterpret_cast<const Byte*>("  342.6360"), 10, v));
  EXPECT_EQ(v, 342.636);
  EXPECT_TRUE(DbfReadPlainNumber(reinterpret_cast<const Byte*>("-12345678"), 9, v));
  EXPECT_EQ(v, -12345678.0);
}

namespace {

// The usual form of a number read a character at a time: blanks, a sign, 1 to 15
// digits around at most one "." with a digit after it; the exact whole number of the digits
// over the power of ten of the decimals.
bool ReadByCharacters(std::string text, double& value) {
  std::size_t i = text.find_first_not_of(' ');
  if (i == std::string::npos) return false;
  text.erase(text.find_last_not_of(' ') + 1);  // trailing blanks are padding too
  bool negative = false;
  if (text[i] == '-' || text[i] == '+') negative = text[i++] == '-';
  std::uint64_t mantissa = 0;
  int digits = 0, decimals = -1;
  for (; i < text.size(); ++i) {
    if (text[i] >= '0' && text[i] <= '9') {
      mantissa = mantissa * 10 + std::uint64_t(text[i] - '0');
      ++digits;
      if (decimals >= 0) ++decimals;
    } else if (text[i] == '.' && decimals < 0) {
      decimals = 0;
    } else {
      return false;
    }
  }
  if (digits == 0 || digits > 15 || decimals == 0) return false;
  const double scaled = negative ? -double(mantissa) : double(mantissa);
  value = scaled / DbfDecimalPowers[decimals < 0 ? 0 : decimals];
  return true;
}

}  // namespace

// The last eight characters of a number field are read as one word: texts of those characters
// (digits, points, signs, blanks and others at every place, after blanks and a sign) read as a
// reading a character at a time reads them, bit for bit, at widths 1 to 18.
TEST(DsDbParserTable, NumbersEndingInAWordReadAsCharacterByCharacter) {
  std::mt19937 rng(8);
  const char alphabet[] = "0123456789012345678901234567890123456789..-+ x";
  Integer plain = 0, pointed = 0;
  for (int r = 0; r < 80000; ++r) {
    const std::size_t width = 1 + rng() % 18;
    const std::size_t length = 1 + rng() % width;
    std::string text;
    if (rng() % 3 == 0) text += rng() % 2 ? '-' : '+';
    while (text.size() < length) text += alphabet[rng() % (sizeof alphabet - 1)];
    text = std::string(width - text.size(), ' ') + text;
    double read = 0, expected = 0;
    const bool usual = ReadByCharacters(text, expected);
    const bool readPlain = DbfReadPlainNumber(reinterpret_cast<const Byte*>(text.data()), Integer(width), read);
    ASSERT_EQ(readPlain, usual) << "[" << text << "]";
    if (!usual) continue;
    ++plain;
    if (text.find('.') != std::string::npos) ++pointed;
    ASSERT_EQ(std::memcmp(&read, &expected, sizeof read), 0) << "[" << text << "] " << read << " " << expected;
  }
  EXPECT_GT(pointed, 2000);  // the drawn texts do reach the word reading, points and all
  EXPECT_GT(plain - pointed, 2000);
}

// A scan of the table's records with a filter passes over records by their bytes (the filter's
// record test); whatever the filter, the options, the forms of the numbers and texts and the
// deleted records, it visits exactly the records that Accept, evaluated on each record, lets
// through, and the record test rejects no record that Accept would accept.
TEST(DsDbParserTable, ScanWithTheRecordTestVisitsWhatAcceptLetsThrough) {
  const TLocaleScope russian(TLocaleProfile::Russian);
  std::mt19937 rng(26);
  const AnsiString letters = "аАбБёЁяЯжЖaAbB ?*'"_a;
  auto word = [&](std::size_t most) {
    AnsiString w;
    for (std::size_t n = rng() % (most + 1); n > 0; --n) w += letters[rng() % (letters.size() - 3)];
    return w;
  };
  const std::vector<dbftest::TFieldSpec> specs{{"NAME", 'C', 10}, {"CITY", 'C', 6},  {"X", 'N', 10, 4},
                                               {"Y", 'N', 6, 0},  {"W", 'N', 20, 3}};
  std::vector<std::string> records;
  std::vector<AnsiString> names;
  std::vector<bool> deleted;
  for (int r = 0; r < 1500; ++r) {
    AnsiString name = word(10);
    if (rng() % 12 == 0) name = name.substr(0, 3) + std::string(1, '\0') + "аб"_a;
    names.push_back(name);
    records.push_back(Text(name, 10) + Text(word(6), 6) + RandomNumberText(rng, 10) + RandomNumberText(rng, 6) +
                      RandomNumberText(rng, 20));
    deleted.push_back(rng() % 10 == 0);
  }
  const std::vector<Byte> image = dbftest::BuildDbf(0x03, 0x26, specs, records, deleted);
  TOpenParserTable table(image, dBASE_RUS_cp866);

  auto number = [&]() -> std::string {
    static const char* const kConstants[] = {"0", "1", "-1", "2.5", "-2.5", "3", "-5", "0.0001", "10.5", "-0.25"};
    return kConstants[rng() % std::size(kConstants)];
  };
  auto comparison = [&]() -> std::string {
    static const char* const kOps[] = {"=", "<>", ">", "<", ">=", "<="};
    return kOps[rng() % std::size(kOps)];
  };
  auto field = [&]() -> std::string {
    static const char* const kFields[] = {"X", "Y", "W", "x"};
    return kFields[rng() % std::size(kFields)];
  };
  // A constant after a comparison keeps its sign only directly after the operator.
  auto compared = [&](std::string op) { return op + number(); };
  auto leaf = [&]() -> std::string {
    switch (rng() % 10) {
      case 0:
      case 1:
      case 2: return "(" + field() + " " + compared(comparison()) + ")";
      case 3: return "(" + field() + " + " + std::to_string(rng() % 4) + " " + compared(comparison()) + ")";
      case 4: {
        static const char* const kSteps[] = {" - 1.5", " * 2", " / 4", " / 0", " * 0.1 + 1"};
        return "(" + field() + kSteps[rng() % std::size(kSteps)] + " " + compared(comparison()) + ")";
      }
      case 5:
      case 6: {
        // A pattern from a stored name: a prefix, perhaps changed, and a tail.
        AnsiString pattern = names[rng() % names.size()];
        pattern = pattern.substr(0, std::min(pattern.find('\0'), std::size_t(rng() % 6)));
        if (!pattern.empty() && rng() % 3 == 0) pattern[rng() % pattern.size()] = letters[rng() % letters.size()];
        static const char* const kTails[] = {"*", "*", "", "?", "*а"};
        pattern += AnsiString(kTails[rng() % std::size(kTails)]);
        std::replace(pattern.begin(), pattern.end(), '\'', '?');
        return "(" + std::string(rng() % 4 ? "NAME" : "city") + " = '" + pattern + "')";
      }
      case 7: return "(X = NULL)";
      case 8: return "(NAME > 'б')";
      default: return "(TRUNC(X) = 1)";
    }
  };
  std::function<std::string(int)> expression = [&](int depth) -> std::string {
    if (depth == 0 || rng() % 3 == 0) return leaf();
    return "(" + expression(depth - 1) + (rng() % 2 ? " and " : " or ") + expression(depth - 1) + ")";
  };

  TDsDbParser evaluated(&table.Handle);
  std::vector<Byte> buffer(std::size_t(table.Header->GetRecordSize()));
  Integer tested = 0, rejected = 0;
  for (int iteration = 0; iteration < 400; ++iteration) {
    std::string text = expression(2);
    for (std::size_t n = rng() % 3; n > 0; --n) text += " and " + expression(1);
    const Byte options = Byte(rng() % 4);
    evaluated.SetText(text);
    evaluated.SetOptions(options);
    if (!evaluated.Tokenize()) continue;  // kinds that never combine
    const bool showDeleted = rng() % 4 == 0;
    std::vector<Integer> expected;
    for (Integer i = 0; i < table.Count(); ++i) {
      table.Select(i);
      const bool accepted = evaluated.Accept();
      if (evaluated.SkipRejected(table.Handle.GetCurrentRecord(), 1, table.Header->GetRecordSize()) == 1) {
        ++rejected;
        ASSERT_FALSE(accepted) << orv::AnsiToUtf8(text) << " record " << i + 1;
      }
      ++tested;
      if (accepted && (showDeleted || !deleted[std::size_t(i)])) expected.push_back(i + 1);
    }
    orv::TDsOpenParams params;
    params.BufferRecords = Integer(rng() % 20 + 1);
    params.ShowDeleted = showDeleted;
    params.CodePage = dBASE_RUS_cp866;
    TDbfHandle handle(std::make_unique<dbftest::TMemoryFile>(image), &params, true);
    handle.SetFilter(text, options);
    std::vector<Integer> visited;
    orv::TDsRecordInfo info;
    handle.First();
    while (handle.GetNext(buffer.data(), &info) == dsErrNone) visited.push_back(info.RecNo);
    ASSERT_EQ(visited, expected) << orv::AnsiToUtf8(text) << " options " << int(options);
  }
  // The record test decided a fair share of the records by itself.
  EXPECT_GT(rejected, tested / 4);
}

// Comparisons of number fields with constants joined by AND (a coordinate box) are tested by
// one interval per field and count of decimals: on records whose tested numbers all read in the
// plain form the record test rejects exactly what Accept rejects, and elsewhere nothing that
// Accept lets through. Numbers tie with the constants at every count of decimals or miss them by
// one in the last digit, with signs, blanks and garbage; deleted records are skipped as before.
TEST(DsDbParserTable, NumberBoxesRejectExactlyWhatAcceptRejects) {
  std::mt19937 rng(2026);
  static const char* const kConstants[] = {"0",  "2.5", "-2.5", "-0.25", "10.5", "0.0001", "3.3333",
                                           "0.1", "-7",  "45",   "337",   "0.3",  "-0.1",   "359.9999"};
  const struct {
    const char* Name;
    Integer Width, Decimals;
  } fields[] = {{"X", 10, 4}, {"Y", 12, 2}, {"Z", 20, 6}};
  auto tie = [&](Integer width) {
    const double c = std::strtod(kConstants[rng() % std::size(kConstants)], nullptr);
    const int decimals = int(rng() % 9);
    const double step = std::pow(10.0, -decimals) * (int(rng() % 3) - 1);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, c + step);
    std::string s = buffer;
    if (Integer(s.size()) > width) s.resize(std::size_t(width));
    return std::string(std::size_t(width) - s.size(), ' ') + s;
  };
  std::vector<std::string> records;
  std::vector<bool> deleted;
  for (int r = 0; r < 3000; ++r) {
    std::string record;
    for (const auto& f : fields) record += rng() % 4 ? tie(f.Width) : RandomNumberText(rng, f.Width);
    records.push_back(record);
    deleted.push_back(rng() % 10 == 0);
  }
  std::vector<dbftest::TFieldSpec> specs;
  for (const auto& f : fields) specs.push_back({f.Name, 'N', f.Width, f.Decimals});
  const std::vector<Byte> image = dbftest::BuildDbf(0x03, 0, specs, records, deleted);
  TOpenParserTable table(image, ascii_ANSI);

  TDsDbParser evaluated(&table.Handle);
  std::vector<Byte> buffer(std::size_t(table.Header->GetRecordSize()));
  Integer exact = 0;
  for (int iteration = 0; iteration < 300; ++iteration) {
    static const char* const kOps[] = {"=", ">", "<", ">=", "<=", "<>"};
    std::string text;
    std::vector<std::size_t> tested;
    bool notEqual = false;
    for (std::size_t n = 1 + rng() % 4; n > 0; --n) {
      const std::size_t f = rng() % std::size(fields);
      const char* op = kOps[rng() % (rng() % 8 ? 5 : 6)];
      notEqual |= std::strcmp(op, "<>") == 0;
      tested.push_back(f);
      std::string name = fields[f].Name;
      if (rng() % 2) name[0] = char(std::tolower(name[0]));
      if (!text.empty()) text += " and ";
      text += "(" + name + " " + op + kConstants[rng() % std::size(kConstants)] + ")";
    }
    evaluated.SetText(text);
    ASSERT_TRUE(evaluated.Tokenize()) << text;
    ASSERT_TRUE(evaluated.HasRecordTest()) << text;
    std::vector<Integer> expected;
    for (Integer i = 0; i < table.Count(); ++i) {
      table.Select(i);
      const bool accepted = evaluated.Accept();
      const bool rejected =
          evaluated.SkipRejected(table.Handle.GetCurrentRecord(), 1, table.Header->GetRecordSize()) == 1;
      bool plain = true;
      for (const std::size_t f : tested) {
        double v = 0;
        Integer offset = 1;
        for (std::size_t k = 0; k < f; ++k) offset += fields[k].Width;
        plain &= DbfReadPlainNumber(table.Handle.GetCurrentRecord() + offset, fields[f].Width, v);
      }
      if (rejected) {
        ASSERT_FALSE(accepted) << text << " record " << i + 1;
      }
      if (plain && !notEqual) {
        ASSERT_EQ(rejected, !accepted) << text << " record " << i + 1 << " [" << records[std::size_t(i)] << "]";
        ++exact;
      }
      if (accepted && !deleted[std::size_t(i)]) expected.push_back(i + 1);
    }
    orv::TDsOpenParams params;
    params.BufferRecords = Integer(rng() % 50 + 1);
    TDbfHandle handle(std::make_unique<dbftest::TMemoryFile>(image), &params, true);
    handle.SetFilter(text, 0);
    std::vector<Integer> visited;
    orv::TDsRecordInfo info;
    handle.First();
    while (handle.GetNext(buffer.data(), &info) == dsErrNone) visited.push_back(info.RecNo);
    ASSERT_EQ(visited, expected) << text;
  }
  EXPECT_GT(exact, 300 * 3000 / 4);  // most records and filters are decided by the intervals alone
}

// The record test reads patterns in the table's code page: a handle whose code page changes
// under an installed filter tests the stored bytes in the new one.
TEST(DsDbParserTable, RecordTestFollowsTheCodePage) {
  // 0xE1 is "б" in Windows-1251 and "с" in cp866.
  const std::vector<Byte> image = dbftest::BuildDbf(0x03, 0x26, {{"NAME", 'C', 4}}, {"\xE1" "x  ", "ab  "});
  orv::TDsOpenParams params;
  params.CodePage = dBASE_RUS_cp866;
  TDbfHandle handle(std::make_unique<dbftest::TMemoryFile>(image), &params, true);
  handle.SetFilter("NAME = 'б*'"_a, 0);
  std::vector<Byte> buffer(std::size_t(handle.GetRecordSize()));
  auto visited = [&] {
    std::vector<Integer> recNos;
    orv::TDsRecordInfo info;
    handle.First();
    while (handle.GetNext(buffer.data(), &info) == dsErrNone) recNos.push_back(info.RecNo);
    return recNos;
  };
  EXPECT_EQ(visited(), std::vector<Integer>{});
  handle.SetCodePage(ascii_ANSI);
  EXPECT_EQ(visited(), std::vector<Integer>{1});
}
