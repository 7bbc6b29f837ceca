// Memo files through the flat interface: the fixtures of an independent writer in the three memo
// formats read back exactly; block numbers and lengths checked against the memo file's size;
// reads past the end; refused writes; the byte search in a file.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dbf/DsDbUtils.h"
#include "dbf/DsDbfApi.h"
#include "dbf/tests/DbfTestSupport.h"
#include "dbf/tests/MemoFixture.h"

namespace {

using dbftest::TMemoryFile;

// An open table and a buffer for its records.
struct TOpenTable {
  TOpenTable(const std::string& path, CP_TYPE codePage) {
    orv::TDsOpenParams params;
    params.CodePage = codePage;
    Code = DbfOpenTable(path, true, false, &params, Handle);
    if (Handle) Record.resize(std::size_t(DbfGetRecordSize(Handle)));
  }
  ~TOpenTable() {
    if (Handle) DbfCloseTable(Handle);
  }
  Byte Next() { return DbfGetNext(Handle, Record.data(), nullptr); }
  // The whole memo of field `fieldNo` of the record, read in pieces of `piece` bytes.
  AnsiString Memo(Integer fieldNo, Integer piece) {
    Integer size = -1;
    EXPECT_EQ(DbfGetBlobSize(Handle, Record.data(), fieldNo, size), dsErrNone);
    AnsiString text;
    std::vector<char> buffer(static_cast<std::size_t>(piece));
    for (Integer offset = 0; offset < size; offset += piece) {
      Integer got = -1;
      const Byte code = DbfGetBlob(Handle, Record.data(), fieldNo, offset, piece, buffer.data(), got);
      EXPECT_EQ(code, offset + piece > size ? dsErrEndOfBlob : dsErrNone) << offset;
      EXPECT_EQ(got, std::min(piece, size - offset)) << offset;
      text.append(buffer.data(), std::size_t(std::max(got, 0)));
    }
    return text;
  }

  TDsCustomHandle* Handle = nullptr;
  Byte Code = 0xFF;
  std::vector<Byte> Record;
};

TEST(DbfMemo, FixturesOfTheThreeFormatsReadBackExactlyInTheTablesCodePage) {
  for (const dbftest::TMemoFixture& fixture : dbftest::MemoFixtures()) {
    SCOPED_TRACE(fixture.Table);
    TOpenTable t(dbftest::FixturePath(fixture.Table), dBASE_RUS_cp866);
    ASSERT_EQ(t.Code, dsErrNone);
    auto* table = dynamic_cast<TDbfHandle*>(t.Handle);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->GetDbfHeader()->GetLevel(), fixture.Level);
    ASSERT_NE(table->GetBlobHandle(), nullptr);
    ASSERT_NE(table->GetBlobHandle()->GetFile(), nullptr);
    EXPECT_EQ(table->GetBlobHandle()->GetBlockSize(), fixture.BlockSize);

    for (const dbftest::TMemoRow& row : dbftest::MemoRows()) {
      SCOPED_TRACE(orv::AnsiToUtf8(row.Name));
      ASSERT_EQ(t.Next(), dsErrNone);
      EXPECT_EQ(t.Handle->GetHeader()->GetField(0)->AsString(t.Record.data()), row.Name);
      // Whole, and in pieces that cut blocks and end past the memo.
      EXPECT_EQ(t.Memo(2, 1 << 16), row.Note);
      EXPECT_EQ(t.Memo(2, 7), row.Note);
      if (fixture.Level == dlFoxPro) {  // the picture field's bytes pass untranslated
        EXPECT_EQ(t.Memo(3, 100), &row == &dbftest::MemoRows()[0] ? dbftest::MemoPicture() : "");
      }
    }
    EXPECT_EQ(t.Next(), dsErrEndOfFile);
  }
}

TEST(DbfMemo, ReadsPastTheEndReturnWhatRemainsAndOffsetsOutsideTheMemoAreRefused) {
  TOpenTable t(dbftest::FixturePath("memo4.dbf"), dBASE_RUS_cp866);
  ASSERT_EQ(t.Next(), dsErrNone);
  const AnsiString& note = dbftest::MemoRows()[0].Note;
  const Integer size = Integer(note.size());
  char buffer[64] = {};
  Integer got = -1;
  EXPECT_EQ(DbfGetBlob(t.Handle, t.Record.data(), 2, size - 5, 64, buffer, got), dsErrEndOfBlob);
  EXPECT_EQ(AnsiString(buffer, std::size_t(got)), note.substr(note.size() - 5));
  EXPECT_EQ(DbfGetBlob(t.Handle, t.Record.data(), 2, size, 64, buffer, got), dsErrEndOfBlob);
  EXPECT_EQ(got, 0);
  EXPECT_EQ(DbfGetBlob(t.Handle, t.Record.data(), 2, size + 1, 64, buffer, got), dsErrInvalidBlobOffset);
  EXPECT_EQ(DbfGetBlob(t.Handle, t.Record.data(), 2, -1, 64, buffer, got), dsErrInvalidBlobOffset);
  EXPECT_EQ(got, 0);
  // NAME is no blob field; no handle at all.
  Integer size2 = -1;
  EXPECT_EQ(DbfGetBlobSize(t.Handle, t.Record.data(), 1, size2), dsErrNotBlobField);
  EXPECT_EQ(DbfGetBlobSize(t.Handle, t.Record.data(), 9, size2), dsErrNotBlobField);
  EXPECT_EQ(DbfGetBlobSize(nullptr, t.Record.data(), 2, size2), dsErrInvalidHandle);
  EXPECT_EQ(size2, 0);
}

// A table of one "M" field per record (block numbers as text) over a memo image (none: no memo
// file).
std::unique_ptr<TDbfHandle> MemoTable(Byte version, const std::vector<std::string>& blocks,
                                      const std::vector<Byte>* memo, bool readOnly = false) {
  std::vector<std::string> records;
  for (const std::string& block : blocks) records.push_back(std::string(10 - block.size(), ' ') + block);
  auto file = std::make_unique<TMemoryFile>(dbftest::BuildDbf(version, 0, {{"NOTE", 'M', 10}, {"NAME", 'C', 4}}, records));
  auto memoFile = memo ? std::make_unique<TMemoryFile>(*memo) : nullptr;
  auto handle = std::make_unique<TDbfHandle>(std::move(file), nullptr, readOnly, std::move(memoFile));
  EXPECT_EQ(handle->GetStatus(), dsErrNone);
  return handle;
}

// The code and the length of the memo of record `n` (from 1).
std::pair<Byte, Integer> MemoSize(TDbfHandle& handle, Integer n) {
  std::vector<Byte> record(std::size_t(handle.GetRecordSize()));
  handle.GoTo(n);
  EXPECT_EQ(handle.GetCurrent(record.data()), dsErrNone);
  Integer size = -1;
  const Byte code = DbfGetBlobSize(&handle, record.data(), 1, size);
  return {code, size};
}

TEST(DbfMemo, BlockNumbersAndLengthsAreCheckedAgainstTheMemoFile) {
  using dbftest::DBaseIVBlock;
  using dbftest::FoxProBlock;
  using dbftest::MemoHeader;
  const std::string twelve = "twelve bytes";
  struct TCase {
    const char* What;
    Byte Version;
    std::vector<Byte> Memo;
    const char* Block;
    Byte Code;
    Integer Size;
  };
  const auto memo = [](std::vector<Byte> header, std::size_t at, const std::string& block) {
    dbftest::PutBytes(header, at, block);
    return header;
  };
  const std::vector<Byte> iv = MemoHeader(dlDBaseIV, 512), fox = MemoHeader(dlFoxPro, 64);
  const std::vector<TCase> cases = {
      {"dBASE IV length word 20: 12 bytes", 0x8B, memo(iv, 512, DBaseIVBlock(twelve, 20)), "1", 0, 12},
      {"dBASE IV length word below 8", 0x8B, memo(iv, 512, DBaseIVBlock(twelve, 4)), "1", dsErrInvalidBlock, 0},
      {"dBASE IV huge length", 0x8B, memo(iv, 512, DBaseIVBlock(twelve, 0x7FFFFFFF)), "1", dsErrInvalidBlock, 0},
      {"dBASE IV length past the end by one", 0x8B, memo(iv, 512, DBaseIVBlock(twelve, 21)), "1", dsErrInvalidBlock, 0},
      {"memo ending at the end of the file", 0x8B, memo(iv, 512, DBaseIVBlock(twelve)), "1", 0, 12},
      {"block inside the header", 0x8B, memo(MemoHeader(dlDBaseIV, 64), 64, DBaseIVBlock(twelve)), "1", dsErrInvalidBlock, 0},
      {"block past the end", 0x8B, memo(iv, 512, DBaseIVBlock(twelve)), "9", dsErrInvalidBlock, 0},
      {"largest block number", 0x8B, memo(iv, 512, DBaseIVBlock(twelve)), "2147483647", dsErrInvalidBlock, 0},
      {"block size 0 reads 512-byte blocks", 0x8B, memo(MemoHeader(dlDBaseIV, 0), 512, DBaseIVBlock(twelve)), "1", 0, 12},
      {"blank block number", 0x8B, iv, "", 0, 0},
      {"negative block number", 0x8B, iv, "-5", 0, 0},
      {"FoxPro header 00 40: 64-byte blocks", 0xF5, memo(fox, 512, FoxProBlock("hello")), "8", 0, 5},
      {"FoxPro block 1 lies in the header", 0xF5, memo(fox, 512, FoxProBlock("hello")), "1", dsErrInvalidBlock, 0},
      {"FoxPro length FFFFFFFF", 0xF5, memo(fox, 512, FoxProBlock("hello", 0xFFFFFFFF)), "8", dsErrInvalidBlock, 0},
      {"FoxPro block cut short", 0xF5, memo(fox, 512, std::string("\x00\x00\x00\x01\x00", 5)), "8", dsErrInvalidBlock, 0},
      {"dBASE III content from the block to 1A 1A", 0x83, memo(MemoHeader(dlDBaseIII, 0), 512, "abc\x1a\x1a" "def"), "1", 0, 3},
      {"dBASE III without 1A 1A: to the end of the file", 0x83, memo(MemoHeader(dlDBaseIII, 0), 512, "abc\x1a" "d"), "1", 0, 5},
      {"dBASE IV table with a dBASE III memo file", 0x8B, memo(MemoHeader(dlDBaseIII, 0), 1024, "abc\x1a\x1a"), "2", 0, 3},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    auto table = MemoTable(c.Version, {c.Block}, &c.Memo);
    const auto [code, size] = MemoSize(*table, 1);
    EXPECT_EQ(code, c.Code);
    EXPECT_EQ(size, c.Size);
    if (code == dsErrNone && size > 0) {
      // The content is where the format puts it.
      std::vector<Byte> record(std::size_t(table->GetRecordSize()));
      table->GetCurrent(record.data());
      std::string content(std::size_t(size), '\0');
      Integer got = 0;
      EXPECT_EQ(DbfGetBlob(table.get(), record.data(), 1, 0, size, content.data(), got), dsErrNone);
      EXPECT_TRUE(content == twelve || content == "hello" || content == "abc" || content == "abc\x1a" "d") << content;
    }
  }
}

TEST(DbfMemo, AMissingMemoFileFailsEveryMemoButBlankOnes) {
  auto table = MemoTable(0x8B, {"", "1"}, nullptr);
  ASSERT_NE(table->GetBlobHandle(), nullptr);
  EXPECT_EQ(table->GetBlobHandle()->GetFile(), nullptr);
  EXPECT_EQ(MemoSize(*table, 1), std::make_pair(dsErrNone, Integer(0)));
  EXPECT_EQ(MemoSize(*table, 2), std::make_pair(dsErrCannotOpenFile, Integer(0)));
  // A table without blob fields has no memo file to open.
  TDbfHandle plain(std::make_unique<TMemoryFile>(dbftest::BuildDbf(0x03, 0, {{"NAME", 'C', 4}})), nullptr, false);
  EXPECT_EQ(plain.GetBlobHandle(), nullptr);
}

TEST(DbfMemo, WritesThatWouldChangeAMemoAreRefused) {
  std::vector<Byte> memo = dbftest::MemoHeader(dlDBaseIV, 512);
  dbftest::PutBytes(memo, 512, dbftest::DBaseIVBlock("content"));
  for (const bool readOnly : {false, true}) {
    SCOPED_TRACE(readOnly);
    auto table = MemoTable(0x8B, {"", "1"}, &memo, readOnly);
    const Byte refusal = readOnly ? dsErrTableReadOnly : dsErrFieldReadOnly;
    std::vector<Byte> blank(std::size_t(table->GetRecordSize())), full(blank.size());
    table->GoTo(1);
    table->GetCurrent(blank.data());
    table->GoTo(2);
    table->GetCurrent(full.data());
    const char bytes[] = "new";
    EXPECT_EQ(DbfPutBlob(table.get(), blank.data(), 1, 0, 3, bytes), refusal);
    EXPECT_EQ(DbfPutBlob(table.get(), full.data(), 1, 7, 3, bytes), refusal);
    EXPECT_EQ(DbfPutBlob(table.get(), full.data(), 1, 0, 0, bytes), dsErrNone);
    EXPECT_EQ(DbfTruncateBlob(table.get(), blank.data(), 1, 0), dsErrNone);
    EXPECT_EQ(DbfTruncateBlob(table.get(), full.data(), 1, 7), dsErrNone);
    EXPECT_EQ(DbfTruncateBlob(table.get(), full.data(), 1, 6), refusal);
    EXPECT_EQ(DbfTruncateBlob(table.get(), full.data(), 2, 0), dsErrNotBlobField);
    EXPECT_EQ(DbfOpenBlob(table.get(), full.data(), 1), dsErrNone);
    EXPECT_EQ(DbfFreeBlob(table.get(), full.data(), 1), dsErrNone);
  }
}

TEST(DbfMemo, ByteSearchFindsSequencesAcrossChunkBoundaries) {
  const std::string ab = "AB", long9000(9000, 'P');
  struct TCase {
    std::size_t FileSize;
    std::vector<std::pair<std::size_t, std::string>> Placed;
    Int64 Start;
    std::string Sought;
    Int64 Expected;
  };
  const std::vector<TCase> cases = {
      {20000, {{8191, ab}}, 0, ab, 8191},               // cut by the first chunk's end
      {20000, {{8190, ab}, {16383, ab}}, 8191, ab, 16383},
      {20000, {{0, ab}}, 0, ab, 0},
      {20000, {{0, ab}}, 1, ab, -1},
      {20000, {{19998, ab}}, 0, ab, 19998},            // at the very end
      {20000, {{19999, "A"}}, 0, ab, -1},              // only half of it at the end
      {20000, {}, 0, ab, -1},
      {100, {{50, ab}}, 0, ab, 50},                    // a file smaller than a chunk
      {100, {{50, ab}}, 200, ab, -1},                  // start past the end
      {30000, {{5000, long9000}}, 0, long9000, 5000},  // longer than a chunk
      {100, {{50, ab}}, -1, ab, -1},
      {100, {{50, ab}}, 0, "", -1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Start << " " << c.Expected);
    std::vector<Byte> bytes(c.FileSize, 'x');
    for (const auto& [at, text] : c.Placed) dbftest::PutBytes(bytes, at, text);
    TMemoryFile file(bytes);
    EXPECT_EQ(DsSearchFile(&file, c.Start, c.Sought.data(), Integer(c.Sought.size())), c.Expected);
  }
}

}  // namespace
