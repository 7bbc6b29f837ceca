#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dbf/DsDbfApi.h"
#include "dbf/tests/DbfTestSupport.h"

namespace {

using dbftest::BuildDbf;
using dbftest::TMemoryFile;

const std::vector<dbftest::TFieldSpec> kTownFields = {
    {"NAME", 'C', 20}, {"LAT", 'N', 8, 3}, {"FOUNDED", 'D', 8}, {"CAPITAL", 'L', 1}};

struct THeaderFixture {
  explicit THeaderFixture(std::vector<Byte> bytes) : File(std::move(bytes)), Header(nullptr, &File) {}
  TMemoryFile File;
  TDbfHeader Header;
};

TEST(DbfHeader, LevelFollowsTheVersionByteAndTheLanguageDriver) {
  const struct {
    Byte Version;
    Byte Driver;
    TDbfLevel Level;
  } cases[] = {
      {0x03, 0x00, dlDBaseIII}, {0x03, 0x26, dlDBaseIV}, {0x83, 0x26, dlDBaseIII},
      {0x8B, 0x00, dlDBaseIV},  {0x05, 0x00, dlDBaseV},  {0x04, 0x00, dlDBaseVII},
      {0x8C, 0x00, dlDBaseVII}, {0x02, 0x00, dlFoxPro},  {0x30, 0x00, dlFoxPro},
      {0xF5, 0x00, dlFoxPro},
  };
  for (const auto& c : cases) {
    THeaderFixture f(BuildDbf(c.Version, c.Driver, kTownFields));
    ASSERT_EQ(f.Header.Read(), dsErrNone) << int(c.Version);
    EXPECT_EQ(f.Header.GetLevel(), c.Level) << int(c.Version);
    EXPECT_EQ(f.Header.GetFieldCount(), 4);
    EXPECT_EQ(f.Header.GetPrefixSize(), c.Level == dlDBaseVII ? 68 : 32);
  }
}

TEST(DbfHeader, ReadsDescriptorsWithNumbersAndRecordOffsets) {
  THeaderFixture f(BuildDbf(0x03, 0x26, kTownFields, {"", ""}));
  ASSERT_EQ(f.Header.Read(), dsErrNone);
  EXPECT_EQ(f.Header.GetHeaderSize(), 32 + 4 * 32 + 1);
  EXPECT_EQ(f.Header.GetRecordSize(), 1 + 20 + 8 + 8 + 1);
  EXPECT_EQ(f.Header.GetRecordCount(), 2);
  EXPECT_EQ(f.Header.GetDeletedCount(), 0);
  EXPECT_EQ(f.Header.GetLanguageDriver(), 0x26);
  EXPECT_FALSE(f.Header.GetEnciphered());
  const struct {
    const char* Name;
    char Letter;
    TFieldType Type;
    Integer Length, Decimals, Offset;
  } expected[] = {{"NAME", 'C', ftString, 20, 0, 1},
                  {"LAT", 'N', ftFloat, 8, 3, 21},
                  {"FOUNDED", 'D', ftDate, 8, 0, 29},
                  {"CAPITAL", 'L', ftBoolean, 1, 0, 37}};
  for (Integer i = 0; i < 4; ++i) {
    auto* field = static_cast<TDbfField*>(f.Header.GetField(i));
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->GetName(), expected[i].Name);
    EXPECT_EQ(field->GetTypeLetter(), expected[i].Letter);
    EXPECT_EQ(field->GetFieldType(), expected[i].Type);
    EXPECT_EQ(field->GetLength(), expected[i].Length);
    EXPECT_EQ(field->GetDecimals(), expected[i].Decimals);
    EXPECT_EQ(field->GetOffset(), expected[i].Offset);
    EXPECT_EQ(field->GetFieldNo(), i + 1);
  }
  EXPECT_EQ(f.Header.GetField(4), nullptr);
  EXPECT_EQ(f.Header.GetField(-1), nullptr);
  EXPECT_EQ(f.Header.FindField("lat"), f.Header.GetField(1));
  EXPECT_EQ(f.Header.FindField("LATX"), nullptr);
}

TEST(DbfHeader, DBaseVIIHasALongPrefixAndWideDescriptors) {
  THeaderFixture f(BuildDbf(0x04, 0, {{"A_RATHER_LONG_FIELD_NAME_OF_32_C", 'I', 4}, {"STAMP", '@', 8}}));
  ASSERT_EQ(f.Header.Read(), dsErrNone);
  EXPECT_EQ(f.Header.GetDescriptorSize(), 48);
  ASSERT_EQ(f.Header.GetFieldCount(), 2);
  EXPECT_EQ(f.Header.GetField(0)->GetName(), "A_RATHER_LONG_FIELD_NAME_OF_32_C");
  EXPECT_EQ(f.Header.GetField(0)->GetFieldType(), ftInteger);
  EXPECT_EQ(f.Header.GetField(1)->GetFieldType(), ftDateTime);
  EXPECT_EQ(f.Header.GetField(1)->GetOffset(), 5);
}

TEST(DbfHeader, NamesEndAtZeroAndLoseTrailingBlanks) {
  auto bytes = BuildDbf(0x03, 0, {{"CITY", 'C', 10}, {"REGION  ", 'C', 5}});
  bytes[32 + 5] = 'X';  // garbage after the terminating zero of CITY
  THeaderFixture f(bytes);
  ASSERT_EQ(f.Header.Read(), dsErrNone);
  EXPECT_EQ(f.Header.GetField(0)->GetName(), "CITY");
  EXPECT_EQ(f.Header.GetField(1)->GetName(), "REGION");
  EXPECT_EQ(f.Header.FindField("region"), f.Header.GetField(1));
}

TEST(DbfHeader, DuplicateNamesAreNumbered) {
  THeaderFixture f(BuildDbf(0x03, 0,
                            {{"NAME", 'C', 5}, {"NAME", 'C', 5}, {"name", 'C', 5}, {"NAME_1", 'C', 5}}));
  ASSERT_EQ(f.Header.Read(), dsErrNone);
  const char* expected[] = {"NAME", "NAME_1", "name_2", "NAME_1_1"};
  for (Integer i = 0; i < 4; ++i) EXPECT_EQ(f.Header.GetField(i)->GetName(), expected[i]);
  EXPECT_EQ(static_cast<TDbfField*>(f.Header.GetField(2))->GetDescriptorName(), "name");
}

TEST(DbfHeader, DescriptorsWithoutTheEndByteEndAtTheHeaderSize) {
  auto bytes = BuildDbf(0x03, 0, {{"A", 'C', 3}, {"B", 'N', 4}});
  // Drop the 0x0D: the header ends right after the second descriptor.
  bytes.erase(bytes.begin() + 32 + 2 * 32);
  bytes[8] = Byte(32 + 2 * 32);
  THeaderFixture f(bytes);
  ASSERT_EQ(f.Header.Read(), dsErrNone);
  EXPECT_EQ(f.Header.GetFieldCount(), 2);
}

TEST(DbfHeader, LongCharacterFieldsTakeTheHighByteOfTheirLengthFromTheDecimals) {
  // NOTE C(300): length byte 44, decimals byte 1, as long-field writers store it.
  const std::string note = std::string(299, 'n') + "!";
  auto bytes = BuildDbf(0xF5, 0, {{"NOTE", 'C', 300, 1}, {"CODE", 'C', 3}}, {note + "abc"});
  TDbfHandle table(std::make_unique<TMemoryFile>(bytes), nullptr, true);
  ASSERT_EQ(table.GetStatus(), dsErrNone);
  const TDsCustomField* noteField = table.GetHeader()->GetField(0);
  const TDsCustomField* codeField = table.GetHeader()->GetField(1);
  EXPECT_EQ(noteField->GetLength(), 300);
  EXPECT_EQ(noteField->GetDecimals(), 0);
  EXPECT_EQ(noteField->GetDataSize(), 301);
  EXPECT_EQ(codeField->GetOffset(), 301);
  std::vector<Byte> record(std::size_t(table.GetRecordSize()));
  table.First();
  ASSERT_EQ(table.GetNext(record.data()), dsErrNone);
  EXPECT_EQ(noteField->AsString(), note);
  EXPECT_EQ(codeField->AsString(), "abc");

  // The decimals byte of a character field that the record size does not count is ignored
  // (some writers leave junk there).
  THeaderFixture junk(BuildDbf(0x03, 0, {{"A", 'C', 10, 2}, {"B", 'N', 4}}));
  ASSERT_EQ(junk.Header.Read(), dsErrNone);
  EXPECT_EQ(junk.Header.GetField(0)->GetLength(), 10);
  EXPECT_EQ(junk.Header.GetField(1)->GetOffset(), 11);

  // Where neither reading adds up to the record size, the header is refused.
  auto neither = BuildDbf(0x03, 0, {{"A", 'C', 10, 2}, {"B", 'N', 4}});
  neither[10] = 100;
  THeaderFixture refused(neither);
  EXPECT_EQ(refused.Header.Read(), dsErrInvalidDatabaseFile);
  EXPECT_EQ(refused.Header.GetFieldCount(), 0);
}

TEST(DbfHeader, RefusesHeadersThatCannotBeRead) {
  const auto good = BuildDbf(0x03, 0, kTownFields, {"x"});
  const auto setWord = [](std::vector<Byte> b, std::size_t at, Word v) {
    b[at] = Byte(v);
    b[at + 1] = Byte(v >> 8);
    return b;
  };
  const auto cut = [](std::vector<Byte> b, std::size_t size) {
    b.resize(size);
    return b;
  };
  auto crypted = good;
  crypted[15] = 1;
  auto unknown = good;
  unknown[0] = 0x31;
  // A descriptor claiming more bytes than the record has.
  auto wideField = good;
  wideField[32 + 16] = 200;
  // The header size cuts the second descriptor in half.
  const auto halfDescriptor = setWord(good, 8, 32 + 32 + 16);
  const struct {
    const char* What;
    std::vector<Byte> Bytes;
    Byte Code;
  } cases[] = {
      {"empty file", {}, dsErrCannotReadFile},
      {"short prefix", cut(good, 20), dsErrCannotReadFile},
      {"short dBASE VII prefix", cut(BuildDbf(0x04, 0, kTownFields), 50), dsErrCannotReadFile},
      {"unknown version", unknown, dsErrInvalidDatabaseFile},
      {"enciphered", crypted, dsErrTableCrypted},
      {"header size below the prefix", setWord(good, 8, 31), dsErrInvalidDatabaseFile},
      {"record size 0", setWord(good, 10, 0), dsErrInvalidDatabaseFile},
      {"fields longer than the record", wideField, dsErrInvalidDatabaseFile},
      {"record size below the fields", setWord(good, 10, 20), dsErrInvalidDatabaseFile},
      {"descriptor cut by the header size", halfDescriptor, dsErrInvalidDatabaseFile},
      {"descriptor cut by the end of the file", cut(good, 32 + 32 + 10), dsErrInvalidDatabaseFile},
  };
  for (const auto& c : cases) {
    THeaderFixture f(c.Bytes);
    EXPECT_EQ(f.Header.Read(), c.Code) << c.What;
    EXPECT_EQ(f.Header.GetFieldCount(), 0) << c.What;
  }

  THeaderFixture failing(good);
  failing.File.FailReads = true;
  EXPECT_EQ(failing.Header.Read(), dsErrCannotReadFile);
  TDbfHeader noFile(nullptr, nullptr);
  EXPECT_EQ(noFile.Read(), dsErrCannotSeekFile);
}

TEST(DbfHeader, WritesThePrefixAndTheEndMark) {
  THeaderFixture f(BuildDbf(0x03, 0, kTownFields, {"one", "two"}));
  ASSERT_EQ(f.Header.Read(), dsErrNone);
  const auto before = f.File.Bytes;
  const Integer headerSize = f.Header.GetHeaderSize();
  const Integer recordSize = f.Header.GetRecordSize();

  // An appended record lands after the last one; the end mark and the count follow it.
  std::vector<Byte> record(std::size_t(recordSize), ' ');
  ASSERT_TRUE(f.File.Seek(headerSize + 2 * recordSize));
  ASSERT_EQ(f.File.Write(record.data(), recordSize), recordSize);
  f.Header.SetRecordCount(3);
  EXPECT_EQ(f.Header.WriteEndMark(), dsErrNone);
  EXPECT_EQ(f.Header.WritePrefix(), dsErrNone);

  ASSERT_EQ(f.File.Bytes.size(), std::size_t(headerSize + 3 * recordSize + 1));
  EXPECT_EQ(f.File.Bytes.back(), 0x1A);
  EXPECT_EQ(f.File.Bytes[4], 3);
  // Everything else of the prefix, the update date included, stays as read.
  for (std::size_t i = 0; i < 32; ++i)
    if (i != 4) {
      EXPECT_EQ(f.File.Bytes[i], before[i]) << i;
    }

  f.File.FailWrites = true;
  EXPECT_EQ(f.Header.WritePrefix(), dsErrCannotWriteFile);
  EXPECT_EQ(f.Header.WriteEndMark(), dsErrCannotWriteFile);
}

TEST(DbfHeader, DBaseVIIWritesItsWholePrefix) {
  auto bytes = BuildDbf(0x04, 0, kTownFields);
  std::memcpy(&bytes[32], "db866ru0", 8);
  THeaderFixture f(bytes);
  ASSERT_EQ(f.Header.Read(), dsErrNone);
  f.File.Bytes.assign(f.File.Bytes.size(), 0);
  EXPECT_EQ(f.Header.WritePrefix(), dsErrNone);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&f.File.Bytes[32]), 8), "db866ru0");
  EXPECT_EQ(f.File.Bytes[68], 0);
}

}  // namespace
