// Tables written by an independent writer (python3-dbf, fixtures/make_fixtures.py) read through
// the header and the field codec, and tables written by the codec read back by an independent
// reader (python3-dbfread).
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <sstream>

#include "dbf/DsDbfApi.h"
#include "dbf/tests/DbfTestSupport.h"
#include "platform/runtime/AnsiString.h"

namespace {

using dbftest::TMemoryFile;

// A table file in memory, its header read, and its records.
class TFixtureTable {
 public:
  TFixtureTable(const std::string& name, CP_TYPE codePage) : File(dbftest::ReadFileBytes(dbftest::FixturePath(name))) {
    auto header = std::make_unique<TDbfHeader>(&Handle, &File);
    Code = header->Read();
    Header = header.get();
    Handle.SetHeader(std::move(header));
    Handle.SetCodePage(codePage);
  }
  Integer Count() const { return Header->GetRecordCount(); }
  // Record n from 1; makes it the handle's current record.
  Byte* Record(Integer n) {
    const std::size_t at = std::size_t(Header->GetHeaderSize() + (n - 1) * Header->GetRecordSize());
    EXPECT_LE(at + std::size_t(Header->GetRecordSize()), File.Bytes.size());
    Handle.SetCurrentRecord(File.Bytes.data() + at);
    return File.Bytes.data() + at;
  }
  TDsCustomField& Field(const char* name) const {
    TDsCustomField* field = Header->FindField(name);
    EXPECT_NE(field, nullptr) << name;
    return *field;
  }

  TMemoryFile File;
  TDsCustomHandle Handle;
  TDbfHeader* Header = nullptr;
  Byte Code = 0;
};

Integer DayOf(Word y, Word m, Word d) { return Integer(EncodeDate(y, m, d)) + DateDelta; }

TEST(DbfFixtures, RussianTownsInCp866) {
  TFixtureTable t("towns866.dbf", dBASE_RUS_cp866);
  ASSERT_EQ(t.Code, dsErrNone);
  EXPECT_EQ(t.Header->GetLevel(), dlDBaseIV);  // 0x03 with the cp866 driver byte
  EXPECT_EQ(t.Header->GetLanguageDriver(), DsDriverByte(dBASE_RUS_cp866));
  ASSERT_EQ(t.Header->GetFieldCount(), 7);
  ASSERT_EQ(t.Count(), 6);
  EXPECT_EQ(t.Field("LAT").GetDecimals(), 3);

  const struct {
    AnsiString Name, Country;
    double Lat, Lon;
    bool PopNull;
    double Pop;
    Integer Founded;  // 0: null
    int Capital;      // -1: null
    bool Deleted;
  } expected[] = {
      {"Москва"_a, "Россия"_a, 55.756, 37.617, false, 13010112, DayOf(1147, 4, 4), 1, false},
      {"Санкт-Петербург"_a, "Россия"_a, 59.939, 30.316, false, 5601911, DayOf(1703, 5, 27), 0, false},
      {"Тверь"_a, "Россия"_a, 56.859, 35.912, false, 424969, 0, -1, false},
      {"Орёл"_a, "Россия"_a, 52.967, 36.069, false, 303169, DayOf(1566, 1, 1), 0, true},
      {"Минск"_a, "Беларусь"_a, 53.902, 27.562, true, 0, DayOf(1067, 3, 3), 1, false},
      {"Кито"_a, "Эквадор"_a, -0.22, -78.512, false, 2011388, DayOf(1534, 12, 6), 1, false},
  };
  for (Integer n = 1; n <= t.Count(); ++n) {
    const auto& e = expected[n - 1];
    const Byte* record = t.Record(n);
    EXPECT_EQ(record[0], e.Deleted ? '*' : ' ') << n;
    EXPECT_EQ(t.Field("NAME").AsString(), e.Name) << n;
    EXPECT_EQ(t.Field("COUNTRY").AsString(), e.Country) << n;
    EXPECT_DOUBLE_EQ(t.Field("LAT").AsFloat(), e.Lat) << n;
    EXPECT_DOUBLE_EQ(t.Field("LON").AsFloat(), e.Lon) << n;
    EXPECT_EQ(t.Field("POP").IsNull(), e.PopNull) << n;
    EXPECT_DOUBLE_EQ(t.Field("POP").AsFloat(), e.Pop) << n;
    Integer day = 0;
    bool isNull = true;
    t.Field("FOUNDED").GetData(nullptr, &day, isNull);
    EXPECT_EQ(isNull, e.Founded == 0) << n;
    if (e.Founded) {
      EXPECT_EQ(day, e.Founded) << n;
    }
    EXPECT_EQ(t.Field("CAPITAL").IsNull(), e.Capital < 0) << n;
    EXPECT_EQ(t.Field("CAPITAL").AsBoolean(), e.Capital == 1) << n;
  }
  // The end mark follows the last record.
  EXPECT_EQ(t.File.Bytes[std::size_t(t.Header->GetHeaderSize() + 6 * t.Header->GetRecordSize())], 0x1A);
}

TEST(DbfFixtures, FoxProIntegersCurrencyAndDateTimes) {
  TFixtureTable t("prices_vfp.dbf", ascii_ANSI);  // Windows-1251 text passes unchanged
  ASSERT_EQ(t.Code, dsErrNone);
  EXPECT_EQ(t.Header->GetLevel(), dlFoxPro);
  ASSERT_EQ(t.Count(), 3);

  t.Record(1);
  EXPECT_EQ(t.Field("NAME").AsString(), "Орёл"_a);
  EXPECT_EQ(t.Field("CNT").AsInteger(), -7);
  EXPECT_DOUBLE_EQ(t.Field("PRICE").AsFloat(), 12.75);
  EXPECT_NEAR(t.Field("STAMP").AsDateTime(), EncodeDate(2006, 12, 23) + EncodeTime(10, 20, 30, 0), 1e-9);
  EXPECT_DOUBLE_EQ(t.Field("RATIO").AsFloat(), 1.25);

  t.Record(2);
  EXPECT_EQ(t.Field("CNT").AsInteger(), 2000000000);
  EXPECT_DOUBLE_EQ(t.Field("PRICE").AsFloat(), -0.5);
  EXPECT_TRUE(t.Field("STAMP").IsNull());
  EXPECT_TRUE(t.Field("RATIO").IsNull());

  EXPECT_EQ(t.Record(3)[0], '*');
  EXPECT_EQ(t.Field("NAME").AsString(), "gone");
}

TEST(DbfFixtures, FoxProTwoWithMemoBlockNumbers) {
  TFixtureTable t("notes_fp.dbf", dBASE_RUS_cp866);
  ASSERT_EQ(t.Code, dsErrNone);
  EXPECT_EQ(t.Header->GetLevel(), dlFoxPro);
  ASSERT_EQ(t.Count(), 2);
  t.Record(1);
  EXPECT_EQ(t.Field("NAME").AsString(), "Ёлки"_a);
  EXPECT_DOUBLE_EQ(t.Field("RATIO").AsFloat(), 1.25);
  EXPECT_EQ(t.Field("NOTE").GetFieldType(), ftMemo);
  Integer first = 0, second = 0;
  bool isNull = true;
  t.Field("NOTE").GetData(nullptr, &first, isNull);
  EXPECT_FALSE(isNull);
  t.Record(2);
  EXPECT_DOUBLE_EQ(t.Field("RATIO").AsFloat(), -10.125);
  t.Field("NOTE").GetData(nullptr, &second, isNull);
  EXPECT_GT(first, 0);
  EXPECT_GT(second, first);
}

TEST(DbfFixtures, FoxProDoublesDateTimesAndCurrencyAtTheEndsOfItsRange) {
  TFixtureTable t("doubles_vfp.dbf", ascii_ANSI);
  ASSERT_EQ(t.Code, dsErrNone);
  ASSERT_EQ(t.Count(), 3);
  // The 8-byte "B" is a double, not a block number of a memo file the table does not have.
  EXPECT_FALSE(static_cast<TDbfField&>(t.Field("RATIO")).IsBlob());
  const Int64 end = std::numeric_limits<Int64>::max();
  const struct {
    AnsiString Name;
    Int64 Amount;      // times 10 000
    TDateTime Stamp;  // 0: null
    double Ratio;
  } expected[] = {
      {"Орёл"_a, end, EncodeDate(2006, 12, 23) + EncodeTime(10, 20, 30, 0), 12.75},
      {"Тула"_a, -end, 0, -0.5},
      // Before 1899 the time of day is the fraction below the day: read through the time stamp.
      {"Мир"_a, 1, TimeStampToDateTime(TTimeStamp{1000, 1}), 1e300},
  };
  for (Integer n = 1; n <= t.Count(); ++n) {
    const auto& e = expected[n - 1];
    t.Record(n);
    EXPECT_EQ(t.Field("NAME").AsString(), e.Name) << n;
    EXPECT_EQ(t.Field("AMT").AsString(), CurrToStr(Currency{e.Amount})) << n;
    EXPECT_EQ(t.Field("STAMP").IsNull(), e.Stamp == 0) << n;
    EXPECT_NEAR(t.Field("STAMP").AsDateTime(), e.Stamp, 1e-9) << n;
    EXPECT_EQ(t.Field("RATIO").AsFloat(), e.Ratio) << n;
  }
}

TEST(DbfFixtures, ACharacterFieldLongerThan255AndTheFieldAfterIt) {
  TFixtureTable t("long_clp.dbf", dBASE_RUS_cp866);
  ASSERT_EQ(t.Code, dsErrNone);
  ASSERT_EQ(t.Count(), 2);
  EXPECT_EQ(t.Field("TEXT").GetLength(), 300);
  EXPECT_EQ(t.Field("CODE").GetOffset(), 1 + 10 + 300);
  AnsiString text;
  for (int i = 1; i <= 25; ++i) {
    char number[8];
    std::snprintf(number, sizeof number, " %03d; ", i);
    text += "Строка"_a + number;
  }
  text = text.substr(0, 299) + "!";
  t.Record(1);
  EXPECT_EQ(t.Field("NAME").AsString(), "Первая"_a);
  EXPECT_EQ(t.Field("TEXT").AsString(), text);
  EXPECT_EQ(t.Field("CODE").AsString(), "abc");
  t.Record(2);
  EXPECT_EQ(t.Field("TEXT").AsString(), "коротко"_a);
  EXPECT_EQ(t.Field("CODE").AsString(), "xyz");
}

// Runs a command and returns its standard output; the exit status goes to `status`.
std::string RunCommand(const std::string& command, int& status) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) {
    status = -1;
    return out;
  }
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  status = pclose(pipe);
  return out;
}

TEST(DbfFixtures, TablesWrittenByTheCodecReadBackWithAnIndependentReader) {
  const char* python = "/usr/bin/python3";
  int status = 0;
  RunCommand(std::string(python) + " -c 'import dbfread' 2>/dev/null", status);
  if (!std::filesystem::exists(python) || status != 0)
    GTEST_SKIP() << "python3-dbfread is not installed (scripts/setup installs it); the "
                    "independent reader check did not run";

  // A dBASE IV table in cp866: the header bytes from the builder, every record and the prefix
  // written through the codec.
  TMemoryFile file(dbftest::BuildDbf(0x03, DsDriverByte(dBASE_RUS_cp866),
                                     {{"NAME", 'C', 16}, {"LAT", 'N', 8, 3}, {"POP", 'N', 9, 0},
                                      {"FOUNDED", 'D', 8}, {"CAPITAL", 'L', 1}}));
  TDsCustomHandle handle;
  auto owned = std::make_unique<TDbfHeader>(&handle, &file);
  TDbfHeader* header = owned.get();
  ASSERT_EQ(header->Read(), dsErrNone);
  handle.SetHeader(std::move(owned));
  handle.SetCodePage(dBASE_RUS_cp866);

  struct TRow {
    AnsiString Name;
    double Lat;
    double Pop;
    Integer Founded;
    SmallInt Capital;
    bool Deleted;
  };
  const TRow rows[] = {
      {"Москва"_a, 55.756, 13010112, DayOf(1147, 4, 4), -1, false},
      {"Ёлкино"_a, -0.5, 0, DayOf(2006, 12, 23), 0, false},
      {"Удалённый"_a, 1, 1, DayOf(2000, 1, 1), 0, true},
      {"Кито"_a, -78.512, 2011388, DayOf(1534, 12, 6), -1, false},
  };
  const Integer recordSize = header->GetRecordSize();
  std::vector<Byte> record(static_cast<std::size_t>(recordSize));
  Integer count = 0;
  for (const TRow& row : rows) {
    std::fill(record.begin(), record.end(), ' ');
    record[0] = row.Deleted ? '*' : ' ';
    ASSERT_EQ(header->GetField(0)->SetData(row.Name.c_str(), record.data()), dsErrNone);
    ASSERT_EQ(header->GetField(1)->SetData(&row.Lat, record.data()), dsErrNone);
    ASSERT_EQ(header->GetField(2)->SetData(&row.Pop, record.data()), dsErrNone);
    ASSERT_EQ(header->GetField(3)->SetData(&row.Founded, record.data()), dsErrNone);
    ASSERT_EQ(header->GetField(4)->SetData(&row.Capital, record.data()), dsErrNone);
    ASSERT_TRUE(file.Seek(header->GetHeaderSize() + Int64(count) * recordSize));
    ASSERT_EQ(file.Write(record.data(), recordSize), recordSize);
    header->SetRecordCount(++count);
    ASSERT_EQ(header->WriteEndMark(), dsErrNone);
  }
  ASSERT_EQ(header->WritePrefix(), dsErrNone);

  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("dbf_codec_" + std::to_string(getpid()) + ".dbf");
  {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.Bytes.data()), std::streamsize(file.Bytes.size()));
  }
  const std::string script =
      "import dbfread, sys\n"
      "t = dbfread.DBF(sys.argv[1], encoding='cp866', load=True)\n"
      "for kind, records in (('live', t.records), ('deleted', t.deleted)):\n"
      "    for r in records:\n"
      "        print(kind, '|'.join(str(v) for v in r.values()))\n";
  const std::string output =
      RunCommand(std::string(python) + " -c \"" + script + "\" " + path.string() + " 2>&1", status);
  std::filesystem::remove(path);
  ASSERT_EQ(status, 0) << output;
  const std::string expected =
      "live Москва|55.756|13010112|1147-04-04|True\n"
      "live Ёлкино|-0.5|0|2006-12-23|False\n"
      "live Кито|-78.512|2011388|1534-12-06|True\n"
      "deleted Удалённый|1.0|1|2000-01-01|False\n";
  EXPECT_EQ(output, expected);
}

}  // namespace
