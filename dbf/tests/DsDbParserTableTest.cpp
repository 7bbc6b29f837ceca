// The filter language on real table records: a parser bound to a table handle reads the fields
// of its header through the field codec from the handle's current record.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
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
struct TOpenTable {
  dbftest::TMemoryFile File;
  TDsCustomHandle Handle;
  TDbfHeader* Header = nullptr;

  TOpenTable(std::vector<Byte> image, CP_TYPE codePage) : File(std::move(image)) {
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
  TOpenTable table(TownImage(), dBASE_RUS_cp866);
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
  TOpenTable table(dbftest::ReadFileBytes(path), dBASE_RUS_cp866);
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
  TOpenTable table(dbftest::BuildDbf(0x03, 0x26, specs, records), dBASE_RUS_cp866);
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
  TOpenTable table(dbftest::BuildDbf(0x03, 0x26, {{"NAME", 'C', 8}}, records), dBASE_RUS_cp866);
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
