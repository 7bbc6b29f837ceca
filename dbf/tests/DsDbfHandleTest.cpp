// The table handle over files in memory: the read-ahead block, navigation both ways over
// deleted and filtered records, writes checked byte by byte, batches, the filter installation
// and the search by values; and the flat interface's open and close over real files.
#include <gtest/gtest.h>

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dbf/DsDbParser.h"
#include "dbf/DsDbfApi.h"
#include "dbf/tests/DbfTestSupport.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Exceptions.h"

namespace {

using dbftest::TMemoryFile;

// A memory file that logs its reads and writes as (offset, count).
class TLoggingFile : public TMemoryFile {
 public:
  using TMemoryFile::TMemoryFile;
  bool Seek(Int64 position) override {
    FAt = position;
    return TMemoryFile::Seek(position);
  }
  Integer Read(void* buffer, Integer count) override {
    Reads.emplace_back(FAt, count);
    const Integer n = TMemoryFile::Read(buffer, count);
    FAt += n > 0 ? n : 0;
    return n;
  }
  Integer Write(const void* buffer, Integer count) override {
    Writes.emplace_back(FAt, count);
    const Integer n = TMemoryFile::Write(buffer, count);
    FAt += n > 0 ? n : 0;
    return n;
  }
  std::vector<std::pair<Int64, Integer>> Reads, Writes;

 private:
  Int64 FAt = 0;
};

// NAME C(10), NUM N(6,1), DAY D, AUTO + (4): 29 bytes per record, header 32 + 4*32 + 1 = 161.
const std::vector<dbftest::TFieldSpec> kFields = {
    {"NAME", 'C', 10}, {"NUM", 'N', 6, 1}, {"DAY", 'D', 8}, {"AUTO", '+', 4}};
constexpr Integer kHeaderSize = 161;
constexpr Integer kRecordSize = 29;

std::string Row(const std::string& name, const std::string& num, const std::string& day = "        ") {
  std::string r = name;
  r.resize(10, ' ');
  std::string n = num;
  n.insert(0, 6 - n.size(), ' ');
  return r + n + day + std::string("\x01\0\0\0", 4);
}

// A table of `count` rows named R1, R2, ... with NUM = row number; `deleted` lists rows (from 1).
std::vector<Byte> Table(Integer count, std::vector<Integer> deleted = {}) {
  std::vector<std::string> rows;
  std::vector<bool> marks;
  for (Integer i = 1; i <= count; ++i) {
    rows.push_back(Row("R" + std::to_string(i), std::to_string(i) + ".0", "20240517"));
    marks.push_back(std::find(deleted.begin(), deleted.end(), i) != deleted.end());
  }
  return dbftest::BuildDbf(0x03, 0, kFields, rows, marks);
}

struct TMemTable {
  explicit TMemTable(std::vector<Byte> bytes, Integer bufferRecords = 10, bool showDeleted = false,
                     bool readOnly = false) {
    auto file = std::make_unique<TLoggingFile>(std::move(bytes));
    File = file.get();
    orv::TDsOpenParams params;
    params.BufferRecords = bufferRecords;
    params.ShowDeleted = showDeleted;
    Handle = std::make_unique<TDbfHandle>(std::move(file), &params, readOnly);
    Buffer.resize(std::size_t(kRecordSize));
  }
  // The NAME of the record last read.
  std::string Name() const {
    std::string s(reinterpret_cast<const char*>(Buffer.data()) + 1, 10);
    return s.substr(0, s.find_last_not_of(' ') + 1);
  }
  // Names of every record GetNext visits from the start.
  std::vector<std::string> Forward() {
    std::vector<std::string> names;
    Handle->First();
    while (Handle->GetNext(Buffer.data()) == dsErrNone) names.push_back(Name());
    return names;
  }
  std::vector<std::string> Backward() {
    std::vector<std::string> names;
    Handle->Last();
    while (Handle->GetPrior(Buffer.data()) == dsErrNone) names.push_back(Name());
    return names;
  }
  LongWord HeaderCount() const {
    LongWord n;
    std::memcpy(&n, &File->Bytes[4], 4);
    return n;
  }

  TLoggingFile* File = nullptr;
  std::unique_ptr<TDbfHandle> Handle;
  std::vector<Byte> Buffer;
};

using Names = std::vector<std::string>;

TEST(DsDbfHandle, SkipsDeletedRecordsBothWaysUnlessShown) {
  TMemTable t(Table(3, {2}));
  ASSERT_EQ(t.Handle->GetStatus(), dsErrNone);
  EXPECT_EQ(t.Forward(), (Names{"R1", "R3"}));
  EXPECT_EQ(t.Handle->GetCursor(), 4);  // after the last
  // From after the last record, GetPrior returns the last visible one.
  orv::TDsRecordInfo info;
  ASSERT_EQ(t.Handle->GetPrior(t.Buffer.data(), &info), dsErrNone);
  EXPECT_EQ(t.Name(), "R3");
  EXPECT_EQ(info.RecNo, 3);
  EXPECT_EQ(t.Backward(), (Names{"R3", "R1"}));
  EXPECT_EQ(t.Handle->GetCursor(), 0);
  EXPECT_EQ(t.Handle->GetPrior(t.Buffer.data()), dsErrBeginOfFile);

  // The deleted record itself: 19 when hidden, its state when shown.
  t.Handle->GoTo(2);
  EXPECT_EQ(t.Handle->GetCurrent(t.Buffer.data(), &info), dsErrRecordDeleted);
  EXPECT_TRUE(info.Deleted);
  EXPECT_EQ(info.State, orv::dsRecDeleted);
  t.Handle->SetShowDeleted(true);
  EXPECT_EQ(t.Handle->GetCurrent(t.Buffer.data(), &info), dsErrNone);
  EXPECT_EQ(t.Forward(), (Names{"R1", "R2", "R3"}));

  // GetCurrent outside the records.
  t.Handle->GoTo(0);
  EXPECT_EQ(t.Handle->GetCurrent(t.Buffer.data()), dsErrBeginOfFile);
  t.Handle->GoTo(4);
  EXPECT_EQ(t.Handle->GetCurrent(t.Buffer.data()), dsErrEndOfFile);
}

TEST(DsDbfHandle, EmptyAndAllDeletedTables) {
  TMemTable empty(Table(0));
  EXPECT_EQ(empty.Forward(), Names{});
  EXPECT_EQ(empty.Backward(), Names{});
  TMemTable gone(Table(2, {1, 2}));
  EXPECT_EQ(gone.Forward(), Names{});
  EXPECT_EQ(gone.Backward(), Names{});
}

TEST(DsDbfHandle, ReadAheadBlockStartsAtTheRecordForwardAndEndsThereBackward) {
  TMemTable t(Table(10), 4);
  const Int64 recordAt1 = kHeaderSize;
  t.File->Reads.clear();
  t.Handle->First();
  for (int i = 0; i < 4; ++i) ASSERT_EQ(t.Handle->GetNext(t.Buffer.data()), dsErrNone);
  // Four records from one read of a whole block.
  ASSERT_EQ(t.File->Reads.size(), 1u);
  EXPECT_EQ(t.File->Reads[0], std::make_pair(recordAt1, 4 * kRecordSize));
  EXPECT_EQ(t.Handle->GetBlockFirst(), 1);
  EXPECT_EQ(t.Handle->GetBlockCount(), 4);
  ASSERT_EQ(t.Handle->GetNext(t.Buffer.data()), dsErrNone);
  EXPECT_EQ(t.Name(), "R5");
  ASSERT_EQ(t.File->Reads.size(), 2u);
  EXPECT_EQ(t.File->Reads[1].first, recordAt1 + 4 * kRecordSize);

  // Backward from the end: the block ends at record 10.
  t.Handle->Last();
  ASSERT_EQ(t.Handle->GetPrior(t.Buffer.data()), dsErrNone);
  EXPECT_EQ(t.Name(), "R10");
  EXPECT_EQ(t.Handle->GetBlockFirst(), 7);
  EXPECT_EQ(t.Handle->GetBlockCount(), 4);
  const std::size_t reads = t.File->Reads.size();
  for (int i = 9; i >= 7; --i) ASSERT_EQ(t.Handle->GetPrior(t.Buffer.data()), dsErrNone);
  EXPECT_EQ(t.File->Reads.size(), reads);
  // Backward near the start: the block starts at record 1, never before it.
  ASSERT_EQ(t.Handle->GetPrior(t.Buffer.data()), dsErrNone);
  EXPECT_EQ(t.Name(), "R6");
  EXPECT_EQ(t.Handle->GetBlockFirst(), 3);
  t.Handle->GoTo(3);
  ASSERT_EQ(t.Handle->GetPrior(t.Buffer.data()), dsErrNone);
  EXPECT_EQ(t.Handle->GetBlockFirst(), 1);
  EXPECT_EQ(t.Handle->GetBlockCount(), 4);

  // Near the end of the file a block holds fewer records.
  t.Handle->GoTo(8);
  ASSERT_EQ(t.Handle->GetNext(t.Buffer.data()), dsErrNone);
  EXPECT_EQ(t.Name(), "R9");
  EXPECT_EQ(t.Handle->GetBlockFirst(), 9);
  EXPECT_EQ(t.Handle->GetBlockCount(), 2);

  // Records per block below 1 become 1.
  t.Handle->SetBufferRecords(0);
  EXPECT_EQ(t.Handle->GetBufferRecords(), 1);
  EXPECT_EQ(t.Forward().size(), 10u);
}

// A step that passes over hidden records reads on in large blocks; a step that stops at the
// first record it reads, and every backward step, reads blocks of BufferRecords.
TEST(DsDbfHandle, AStepPassingOverHiddenRecordsReadsInLargeBlocks) {
  constexpr Integer kCount = 100000;  // about 2.9 MB
  const Int64 recordAt1 = kHeaderSize;
  for (const bool filtered : {false, true}) {
    SCOPED_TRACE(filtered ? "filter" : "deleted records");
    // Only the first and the last record are shown: NUM 1 (the rest 0), or not deleted.
    std::vector<std::string> rows;
    std::vector<bool> marks;
    for (Integer i = 1; i <= kCount; ++i) {
      const bool shown = i == 1 || i == kCount;
      rows.push_back(Row("R" + std::to_string(i), shown ? "1.0" : "0.0"));
      marks.push_back(!filtered && !shown);
    }
    TMemTable t(dbftest::BuildDbf(0x03, 0, kFields, rows, marks), 4);
    if (filtered) t.Handle->SetFilter("NUM = 1", 0);
    t.File->Reads.clear();
    EXPECT_EQ(t.Forward(), (Names{"R1", "R100000"}));
    // R1 from a block of four; then the step on to R100000 reads on in 1 MiB blocks.
    ASSERT_GE(t.File->Reads.size(), 3u);
    EXPECT_EQ(t.File->Reads[0], std::make_pair(recordAt1, 4 * kRecordSize));
    EXPECT_EQ(t.File->Reads[1], std::make_pair(recordAt1 + 4 * kRecordSize, (1 << 20) / kRecordSize * kRecordSize));
    EXPECT_LE(t.File->Reads.size(), 6u);
    t.File->Reads.clear();
    EXPECT_EQ(t.Backward(), (Names{"R100000", "R1"}));
    for (const auto& read : t.File->Reads) EXPECT_EQ(read.second, 4 * kRecordSize);
  }
  // Browsing every record keeps the blocks of BufferRecords.
  TMemTable all(Table(50), 4);
  all.File->Reads.clear();
  EXPECT_EQ(all.Forward().size(), 50u);
  for (const auto& read : all.File->Reads) EXPECT_EQ(read.second, 4 * kRecordSize);
}

TEST(DsDbfHandle, ACountPastTheRecordsTheFileHoldsIsClampedToThem) {
  // The header counts three records but the file holds two and a half (a writer stopped in
  // the middle of an append): the two whole records are the table, whichever way it is read.
  std::vector<Byte> bytes = Table(3);
  bytes.resize(std::size_t(kHeaderSize + 2 * kRecordSize + 10));
  TMemTable t(bytes, 2);
  Integer count = -1;
  ASSERT_EQ(DbfGetRecordCount(t.Handle.get(), count), dsErrNone);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(t.Forward(), (Names{"R1", "R2"}));
  EXPECT_EQ(t.Backward(), (Names{"R2", "R1"}));
  // An append goes after the records that are there, and the header then counts them.
  std::vector<Byte> record(static_cast<std::size_t>(kRecordSize));
  DbfInitRecord(t.Handle.get(), record.data());
  std::memcpy(&record[1], "NEW", 3);
  ASSERT_EQ(DbfAppendRecord(t.Handle.get(), record.data()), dsErrNone);
  EXPECT_EQ(t.HeaderCount(), 3u);
  EXPECT_EQ(t.Backward(), (Names{"NEW", "R2", "R1"}));

  // A header size past the end of the file leaves no record, whatever the header counts.
  std::vector<Byte> past = Table(3);
  past[8] = 0xFF;
  past[9] = 0x7F;
  TMemTable none(past);
  ASSERT_EQ(none.Handle->GetStatus(), dsErrNone);
  ASSERT_EQ(DbfGetRecordCount(none.Handle.get(), count), dsErrNone);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(none.Forward(), Names{});
  EXPECT_EQ(none.Backward(), Names{});
}

TEST(DsDbfHandle, ReadErrorsAreReported) {
  TMemTable t(Table(3));
  t.File->FailReads = true;
  t.Handle->First();
  EXPECT_EQ(t.Handle->GetNext(t.Buffer.data()), dsErrCannotReadFile);
}

// ---- writes ----

TEST(DsDbfHandle, AppendOutsideABatchWritesRecordEndMarkAndCount) {
  TMemTable t(Table(2));
  std::vector<Byte> record(static_cast<std::size_t>(kRecordSize));
  ASSERT_EQ(DbfInitRecord(t.Handle.get(), record.data()), dsErrNone);
  std::memcpy(record.data() + 1, "NEW", 3);
  ASSERT_EQ(DbfAppendRecord(t.Handle.get(), record.data()), dsErrNone);
  const std::vector<Byte>& b = t.File->Bytes;
  const std::size_t at = std::size_t(kHeaderSize + 2 * kRecordSize);
  ASSERT_EQ(b.size(), at + std::size_t(kRecordSize) + 1);
  EXPECT_TRUE(std::equal(record.begin(), record.end(), b.begin() + std::ptrdiff_t(at)));
  EXPECT_EQ(b.back(), 0x1A);
  EXPECT_EQ(t.HeaderCount(), 3u);
  EXPECT_EQ(t.Handle->GetCursor(), 3);
  EXPECT_EQ(t.Handle->GetRecordCount(), 3);
  // The new record reads back from the block without touching the file.
  t.File->Reads.clear();
  ASSERT_EQ(t.Handle->GetCurrent(t.Buffer.data()), dsErrNone);
  EXPECT_EQ(t.Name(), "NEW");
  EXPECT_TRUE(t.File->Reads.empty());
  EXPECT_EQ(t.Forward(), (Names{"R1", "R2", "NEW"}));
}

TEST(DsDbfHandle, TheBlockGrowsByAnAppendedRecordWhenItEndsAtTheLastOne) {
  TMemTable t(Table(2), 4);
  t.Forward();  // block 1..2
  ASSERT_EQ(t.Handle->GetBlockCount(), 2);
  std::vector<Byte> record(std::size_t(kRecordSize), ' ');
  ASSERT_EQ(DbfAppendRecord(t.Handle.get(), record.data()), dsErrNone);
  EXPECT_EQ(t.Handle->GetBlockFirst(), 1);
  EXPECT_EQ(t.Handle->GetBlockCount(), 3);
  // A block elsewhere restarts at the new record.
  TMemTable u(Table(6), 2);
  u.Handle->First();
  u.Handle->GetNext(u.Buffer.data());  // block 1..2
  ASSERT_EQ(DbfAppendRecord(u.Handle.get(), record.data()), dsErrNone);
  EXPECT_EQ(u.Handle->GetBlockFirst(), 7);
  EXPECT_EQ(u.Handle->GetBlockCount(), 1);
}

TEST(DsDbfHandle, BatchDefersTheHeaderAndWritesNothingWhenNothingChanged) {
  TMemTable t(Table(2));
  const std::vector<Byte> before = t.File->Bytes;
  std::vector<Byte> record(std::size_t(kRecordSize), ' ');

  // A batch around a search writes nothing at all.
  ASSERT_EQ(DbfBeginBatch(t.Handle.get()), dsErrNone);
  t.Handle->SetFilter("NUM > 1", 0);
  t.Forward();
  t.File->Writes.clear();
  ASSERT_EQ(DbfEndBatch(t.Handle.get()), dsErrNone);
  EXPECT_TRUE(t.File->Writes.empty());
  EXPECT_EQ(t.File->Bytes, before);
  t.Handle->ClearFilter();

  // Appends inside a batch write only their records until it ends.
  ASSERT_EQ(DbfBeginBatch(t.Handle.get()), dsErrNone);
  ASSERT_EQ(DbfAppendRecord(t.Handle.get(), record.data()), dsErrNone);
  ASSERT_EQ(DbfAppendRecord(t.Handle.get(), record.data()), dsErrNone);
  EXPECT_EQ(t.HeaderCount(), 2u);
  EXPECT_EQ(t.File->Bytes.size(), std::size_t(kHeaderSize + 4 * kRecordSize));  // 0x1A overwritten
  ASSERT_EQ(DbfEndBatch(t.Handle.get()), dsErrNone);
  EXPECT_EQ(t.HeaderCount(), 4u);
  EXPECT_EQ(t.File->Bytes.size(), std::size_t(kHeaderSize + 4 * kRecordSize + 1));
  EXPECT_EQ(t.File->Bytes.back(), 0x1A);
  // The rest of the prefix is as read (the update date is kept).
  EXPECT_TRUE(std::equal(before.begin(), before.begin() + 4, t.File->Bytes.begin()));
  EXPECT_TRUE(std::equal(before.begin() + 8, before.begin() + 32, t.File->Bytes.begin() + 8));
}

TEST(DsDbfHandle, ABatchAroundASearchNeverRollsBackAnotherWritersCount) {
  TMemTable t(Table(3));
  // Another writer appends a record meanwhile and counts it.
  std::vector<Byte>& b = t.File->Bytes;
  b.back() = ' ';
  const std::string extra = Row("OTHER", "9.0");
  b.insert(b.end(), extra.begin(), extra.end());
  b.push_back(0x1A);
  b[4] = 4;
  ASSERT_EQ(DbfBeginBatch(t.Handle.get()), dsErrNone);
  t.Handle->SetFilter("NUM >= 2", 0);
  EXPECT_EQ(t.Forward(), (Names{"R2", "R3"}));
  ASSERT_EQ(DbfEndBatch(t.Handle.get()), dsErrNone);
  EXPECT_EQ(t.HeaderCount(), 4u);
}

TEST(DsDbfHandle, UpdateAndDeleteRewriteInPlace) {
  TMemTable t(Table(3));
  t.Handle->GoTo(2);
  ASSERT_EQ(t.Handle->GetCurrent(t.Buffer.data()), dsErrNone);
  std::memcpy(t.Buffer.data() + 1, "CHANGED   ", 10);
  ASSERT_EQ(DbfModifyRecord(t.Handle.get(), t.Buffer.data()), dsErrNone);
  const std::size_t at2 = std::size_t(kHeaderSize + kRecordSize);
  EXPECT_EQ(std::memcmp(&t.File->Bytes[at2 + 1], "CHANGED   ", 10), 0);
  EXPECT_EQ(t.Forward(), (Names{"R1", "CHANGED", "R3"}));

  const std::vector<Byte> before = t.File->Bytes;
  t.Handle->GoTo(2);
  t.File->Writes.clear();
  ASSERT_EQ(DbfDeleteRecord(t.Handle.get()), dsErrNone);
  // One deletion byte and the prefix; nothing else changes.
  ASSERT_EQ(t.File->Writes.size(), 2u);
  EXPECT_EQ(t.File->Writes[0], std::make_pair(Int64(at2), 1));
  EXPECT_EQ(t.File->Writes[1], std::make_pair(Int64(0), 32));
  std::vector<Byte> expected = before;
  expected[at2] = '*';
  EXPECT_EQ(t.File->Bytes, expected);
  // The block's copy is marked too.
  EXPECT_EQ(t.Handle->GetCurrent(t.Buffer.data()), dsErrRecordDeleted);
  EXPECT_EQ(t.Forward(), (Names{"R1", "R3"}));
}

TEST(DsDbfHandle, WritesFailCleanly) {
  // A read-only handle answers every write with "Table is read only" and leaves the file.
  TMemTable ro(Table(2), 10, false, true);
  const std::vector<Byte> before = ro.File->Bytes;
  std::vector<Byte> record(std::size_t(kRecordSize), ' ');
  EXPECT_EQ(DbfAppendRecord(ro.Handle.get(), record.data()), dsErrTableReadOnly);
  ro.Handle->GoTo(1);
  EXPECT_EQ(DbfModifyRecord(ro.Handle.get(), record.data()), dsErrTableReadOnly);
  EXPECT_EQ(DbfDeleteRecord(ro.Handle.get()), dsErrTableReadOnly);
  EXPECT_EQ(ro.File->Bytes, before);
  EXPECT_EQ(ro.Handle->GetRecordCount(), 2);
  EXPECT_STREQ(DsErrorMessage(dsErrTableReadOnly).c_str(), "Table is read only");

  // A failed write.
  TMemTable t(Table(2));
  t.File->FailWrites = true;
  EXPECT_EQ(DbfAppendRecord(t.Handle.get(), record.data()), dsErrCannotWriteFile);
  EXPECT_EQ(t.Handle->GetRecordCount(), 2);
  // Updating or deleting with the cursor on no record.
  t.File->FailWrites = false;
  t.Handle->First();
  EXPECT_EQ(DbfModifyRecord(t.Handle.get(), record.data()), dsErrNotCurrentRecord);
  EXPECT_EQ(DbfDeleteRecord(t.Handle.get()), dsErrNotCurrentRecord);
}

TEST(DsDbfHandle, InitRecordIsBlankWithAutoIncrementPlaceholders) {
  TMemTable t(Table(0));
  std::vector<Byte> record(std::size_t(kRecordSize), 0);
  ASSERT_EQ(DbfInitRecord(t.Handle.get(), record.data()), dsErrNone);
  std::vector<Byte> expected(std::size_t(kRecordSize), ' ');
  expected[25] = 1;
  expected[26] = expected[27] = expected[28] = 0;
  EXPECT_EQ(record, expected);
}

// ---- filter ----

TEST(DsDbfHandle, FilterSkipsRejectedRecordsAndRejectingAllEndsAtOnce) {
  TMemTable t(Table(6, {4}));
  t.Handle->SetFilter("NUM >= 3", 0);
  EXPECT_EQ(t.Forward(), (Names{"R3", "R5", "R6"}));
  EXPECT_EQ(t.Backward(), (Names{"R6", "R5", "R3"}));
  // GetCurrent on a record the filter rejects: end of file.
  t.Handle->GoTo(1);
  EXPECT_EQ(t.Handle->GetCurrent(t.Buffer.data()), dsErrEndOfFile);
  t.Handle->SetFilter("NUM > 100", 0);
  t.Handle->First();
  EXPECT_EQ(t.Handle->GetNext(t.Buffer.data()), dsErrEndOfFile);
  t.Handle->ClearFilter();
  EXPECT_EQ(t.Forward().size(), 5u);
}

TEST(DsDbfHandle, InstallingAFilterChecksWithoutEvaluatingARecord) {
  // The first record's NUM is blank: "NUM + 5 >= 0" has no value there, but the text is valid.
  std::vector<std::string> rows = {Row("BLANK", ""), Row("A", "-2.0"), Row("B", "-9.0")};
  TMemTable t(dbftest::BuildDbf(0x03, 0, kFields, rows));
  // Right after opening, before any read, and after reading the blank record.
  EXPECT_NO_THROW(t.Handle->SetFilter("NUM + 5 >= 0", 0));
  t.Handle->ClearFilter();
  t.Handle->First();
  ASSERT_EQ(t.Handle->GetNext(t.Buffer.data()), dsErrNone);
  ASSERT_EQ(t.Name(), "BLANK");
  EXPECT_NO_THROW(t.Handle->SetFilter("NUM + 5 >= 0", 0));
  // The blank record itself has no value and is rejected.
  EXPECT_EQ(t.Forward(), (Names{"A"}));
}

TEST(DsDbfHandle, ARefusedFilterTextLeavesThePreviousFilterInstalled) {
  TMemTable t(Table(5));
  t.Handle->SetFilter("NUM <= 2", 0);
  for (const char* bad : {"NUM <=", "(NUM > 1", "NOSUCH = 1", "NOT NUM = 1", "NAME / NAME > 0"}) {
    try {
      t.Handle->SetFilter(bad, 0);
      ADD_FAILURE() << bad << " was accepted";
    } catch (const Exception& e) {
      EXPECT_STREQ(e.GetMessage().c_str(), "Invalid filter expression.") << bad;
    }
    EXPECT_EQ(t.Handle->GetFilterText(), "NUM <= 2");
    EXPECT_EQ(t.Forward(), (Names{"R1", "R2"})) << bad;
  }
  // The same text again keeps the filter; new options apply.
  t.Handle->SetFilter("NAME = 'r*'", 0);
  EXPECT_EQ(t.Forward(), Names{});
  t.Handle->SetFilter("NAME = 'r*'", orv::dpoCaseInsensitive);
  EXPECT_EQ(t.Forward().size(), 5u);
  // An empty text clears it.
  t.Handle->SetFilter("", 0);
  EXPECT_EQ(t.Handle->GetFilterText(), "");
  EXPECT_EQ(t.Forward().size(), 5u);
}

// ---- locate ----

std::vector<Byte> People() {
  const std::vector<dbftest::TFieldSpec> fields = {
      {"ID", 'N', 4}, {"COUNTRY", 'C', 12}, {"CITY", 'C', 12}, {"PRICE", 'N', 8, 2}, {"DAY", 'D', 8}};
  auto row = [](int id, std::string country, std::string city, std::string price, std::string day) {
    std::string r = std::to_string(id);
    r.insert(0, 4 - r.size(), ' ');
    country.resize(12, ' ');
    city.resize(12, ' ');
    price.insert(0, 8 - price.size(), ' ');
    return r + country + city + price + day;
  };
  return dbftest::BuildDbf(0x03, 0, fields,
                           {row(1, "France", "Paris", "12.50", "20240101"),
                            row(5, "Ireland", "O'Neil", "3.00", "20240102"),
                            row(5, "Russia", "Moscow", "7.25", "20240103"),
                            row(7, "Russia", "Murmansk", "", "20240104"),
                            row(5, "France", "Lyon", "1.00", "        ")},
                           {false, true, false, false, false});
}

TEST(DsDbfHandle, LocateComparesValuesAsValues) {
  TMemTable t(People());
  TDsCustomHandle* h = t.Handle.get();
  auto found = [&](const char* fields, const Variant& values, bool ci = false, bool partial = false) {
    const Byte code = DbfLocate(h, fields, values, ci, partial);
    return code == dsErrNone ? h->GetCursor() : -Integer(code);
  };
  // The first visible record: record 2 is deleted.
  EXPECT_EQ(found("ID", 5), 3);
  EXPECT_EQ(found("id", 5.0), 3);
  Variant pair = VarArrayCreate(0, 1, varVariant);
  pair.PutElement(0, "France");
  pair.PutElement(1, "Lyon");
  EXPECT_EQ(found("COUNTRY;CITY", pair), 5);
  // Quotes, decimals and dates as values.
  t.Handle->SetShowDeleted(true);
  EXPECT_EQ(found("CITY", "O'Neil"), 2);
  t.Handle->SetShowDeleted(false);
  EXPECT_EQ(found("CITY", "O'Neil"), -dsErrRecordNotFound);
  EXPECT_EQ(found("PRICE", 7.25), 3);
  EXPECT_EQ(found("PRICE", Currency::FromDouble(12.5)), 1);
  EXPECT_EQ(found("DAY", Variant::FromDate(EncodeDate(2024, 1, 4))), 4);
  EXPECT_EQ(found("PRICE", Null()), 4);
  EXPECT_EQ(found("DAY", Unassigned()), 5);
  // Texts: exact unless partial; partial is a prefix, not a wildcard.
  EXPECT_EQ(found("CITY", "Mos"), -dsErrRecordNotFound);
  EXPECT_EQ(found("CITY", "Mos", false, true), 3);
  EXPECT_EQ(found("CITY", "M*", false, true), -dsErrRecordNotFound);
  EXPECT_EQ(found("CITY", "moscow"), -dsErrRecordNotFound);
  EXPECT_EQ(found("CITY", "moscow", true), 3);
  EXPECT_EQ(found("CITY", "mur", true, true), 4);
  // A key that cannot be compared with the field's kind matches nothing.
  EXPECT_EQ(found("ID", "five"), -dsErrRecordNotFound);
  // Errors.
  EXPECT_EQ(found("ID;CITY", 5), -dsErrInvalidParameter);
  Variant one = VarArrayCreate(0, 0, varVariant);
  one.PutElement(0, 5);
  EXPECT_EQ(found("ID;CITY", one), -dsErrInvalidParameter);
  EXPECT_EQ(found("ID;NOSUCH", pair), -dsErrFieldNotFound);
  EXPECT_EQ(DbfLocate(nullptr, "ID", 5, false, false), dsErrInvalidHandle);
}

TEST(DsDbfHandle, LocateHonoursTheFilterAndRestoresTheCursorWhenNothingMatches) {
  TMemTable t(People());
  t.Handle->SetFilter("COUNTRY = 'France'", 0);
  EXPECT_EQ(DbfLocate(t.Handle.get(), "ID", 5, false, false), dsErrNone);
  EXPECT_EQ(t.Handle->GetCursor(), 5);
  t.Handle->GoTo(1);
  EXPECT_EQ(DbfLocate(t.Handle.get(), "ID", 7, false, false), dsErrRecordNotFound);
  EXPECT_EQ(t.Handle->GetCursor(), 1);
}

// ---- the flat interface over real files ----

class DbfFiles : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::vector<Byte>& bytes) { return Temp.Write(name, bytes); }
  dbftest::TTempDir Temp;
  const std::string& Dir = Temp.Dir;
};

TEST_F(DbfFiles, OpenAndCloseThroughTheFlatInterface) {
  Write("TOWNS.DBF", Table(3, {2}));
  TDsCustomHandle* handle = nullptr;
  orv::TDsOpenParams params;
  // A name in another letter case with "\" finds the file.
  ASSERT_EQ(DbfOpenTable(Dir + "\\towns.dbf", false, false, &params, handle), dsErrNone);
  ASSERT_NE(handle, nullptr);
  Integer count = 0;
  EXPECT_EQ(DbfGetRecordCount(handle, count), dsErrNone);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(DbfGetRecordSize(handle), kRecordSize);
  EXPECT_EQ(DbfGetDataSize(handle), kRecordSize - 1);
  // A handle variable that is set already.
  TDsCustomHandle* same = handle;
  EXPECT_EQ(DbfOpenTable(Dir + "/TOWNS.DBF", false, false, &params, handle), dsErrInvalidHandle);
  EXPECT_EQ(handle, same);
  // Reads and writes through the disk file.
  std::vector<Byte> record(static_cast<std::size_t>(kRecordSize));
  EXPECT_EQ(DbfFirst(handle), dsErrNone);
  EXPECT_EQ(DbfGetNext(handle, record.data(), nullptr), dsErrNone);
  EXPECT_EQ(DbfGetNext(handle, record.data(), nullptr), dsErrNone);
  Integer recNo = 0;
  EXPECT_EQ(DbfGetBookmark(handle, recNo), dsErrNone);
  EXPECT_EQ(recNo, 3);
  EXPECT_EQ(DbfAppendRecord(handle, record.data()), dsErrNone);
  EXPECT_EQ(DbfCloseTable(handle), dsErrNone);
  EXPECT_EQ(handle, nullptr);
  EXPECT_EQ(DbfCloseTable(handle), dsErrInvalidHandle);
  EXPECT_EQ(DbfFirst(handle), dsErrInvalidHandle);
  const std::vector<Byte> bytes = dbftest::ReadFileBytes(Dir + "/TOWNS.DBF");
  ASSERT_EQ(bytes.size(), std::size_t(kHeaderSize + 4 * kRecordSize + 1));
  EXPECT_EQ(bytes[4], 4);
  EXPECT_EQ(bytes.back(), 0x1A);
}

TEST_F(DbfFiles, OpenFailuresGiveTheirCodes) {
  std::vector<Byte> wrongVersion = Table(1);
  wrongVersion[0] = 0x31;
  std::vector<Byte> damaged = Table(1);
  damaged[8] = 10;  // header size below the prefix
  damaged[9] = 0;
  std::vector<Byte> crypted = Table(1);
  crypted[15] = 1;
  Write("WRONG.DBF", wrongVersion);
  Write("DAMAGED.DBF", damaged);
  Write("CRYPTED.DBF", crypted);
  Write("SHORT.DBF", std::vector<Byte>{0x03, 0x7A});
  const std::pair<std::string, Byte> cases[] = {
      {Dir + "/MISSING.DBF", dsErrCannotOpenFile},  {Dir + "/NOFOLDER/X.DBF", dsErrCannotOpenFile},
      {Dir + "/WRONG.DBF", dsErrInvalidDatabaseFile}, {Dir + "/DAMAGED.DBF", dsErrInvalidDatabaseFile},
      {Dir + "/CRYPTED.DBF", dsErrTableCrypted},      {Dir + "/SHORT.DBF", dsErrCannotReadFile},
  };
  for (const auto& [path, code] : cases) {
    TDsCustomHandle* handle = nullptr;
    EXPECT_EQ(DbfOpenTable(path, false, false, nullptr, handle), code) << path;
    EXPECT_EQ(handle, nullptr);
  }
}

TEST_F(DbfFiles, ExclusiveOpenDeniesOtherOpeners) {
  Write("T.DBF", Table(1));
  TDsCustomHandle* first = nullptr;
  TDsCustomHandle* second = nullptr;
  ASSERT_EQ(DbfOpenTable(Dir + "/T.DBF", false, true, nullptr, first), dsErrNone);
  EXPECT_EQ(DbfOpenTable(Dir + "/T.DBF", true, false, nullptr, second), dsErrCannotOpenFile);
  DbfCloseTable(first);
  // Shared opens live side by side.
  ASSERT_EQ(DbfOpenTable(Dir + "/T.DBF", false, false, nullptr, first), dsErrNone);
  ASSERT_EQ(DbfOpenTable(Dir + "/T.DBF", false, false, nullptr, second), dsErrNone);
  DbfCloseTable(first);
  DbfCloseTable(second);
}

// Runs `body` with file permissions checked as an unprivileged user when the tests run as root
// (the file-system user id is per thread and is restored afterwards).
template <typename F>
void AsUnprivilegedUser(F body) {
  const bool root = geteuid() == 0;
  if (root) setfsuid(65534);
  body();
  if (root) setfsuid(0);
}

TEST_F(DbfFiles, AFileWithoutWritePermissionOpensForReadingAndSearching) {
  const std::string path = Write("RO.DBF", Table(3));
  chmod(Dir.c_str(), 0755);
  chmod(path.c_str(), 0444);
  const std::vector<Byte> before = dbftest::ReadFileBytes(path);
  AsUnprivilegedUser([&] {
    TDsCustomHandle* handle = nullptr;
    ASSERT_EQ(DbfOpenTable(path, false, false, nullptr, handle), dsErrNone);
    EXPECT_TRUE(handle->GetReadOnly());
    EXPECT_TRUE(handle->GetFileReadOnly());
    EXPECT_EQ(DbfLocate(handle, "NAME", "R2", false, false), dsErrNone);
    DbfSetFilter(handle, "NUM > 1", 0);
    std::vector<Byte> record(static_cast<std::size_t>(kRecordSize));
    DbfFirst(handle);
    EXPECT_EQ(DbfGetNext(handle, record.data(), nullptr), dsErrNone);
    // A batch around the search ends without writing.
    EXPECT_EQ(DbfBeginBatch(handle), dsErrNone);
    EXPECT_EQ(DbfEndBatch(handle), dsErrNone);
    EXPECT_EQ(DbfAppendRecord(handle, record.data()), dsErrTableReadOnly);
    EXPECT_EQ(DbfModifyRecord(handle, record.data()), dsErrTableReadOnly);
    DbfCloseTable(handle);
  });
  EXPECT_EQ(dbftest::ReadFileBytes(path), before);
}

}  // namespace
