// Random mutations of memo files and of the block numbers that point into them, read through the
// memo handle: whatever the bytes, every length stays within the memo file, reads stay within
// their buffers and nothing allocates more than the file holds (run under the sanitizers in CI).
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "dbf/DsDbfApi.h"
#include "dbf/tests/DbfTestSupport.h"
#include "dbf/tests/MemoFixture.h"

namespace {

using dbftest::TMemoryFile;

struct TSeed {
  std::vector<Byte> Table, Memo;
};

std::vector<TSeed> Seeds() {
  std::vector<TSeed> seeds;
  for (const dbftest::TMemoFixture& fixture : dbftest::MemoFixtures())
    seeds.push_back({dbftest::ReadFileBytes(dbftest::FixturePath(fixture.Table)),
                     dbftest::ReadFileBytes(dbftest::FixturePath(fixture.Memo))});
  return seeds;
}

// Changes a few bytes of the memo file (mostly the header and the blocks' first bytes, where its
// numbers are) and of the table's records (where the block numbers are); sometimes cuts the memo
// file short.
void Mutate(TSeed& seed, std::mt19937& random) {
  const int mutations = 1 + int(random() % 6);
  for (int m = 0; m < mutations; ++m) {
    std::vector<Byte>& bytes = random() % 3 == 0 ? seed.Table : seed.Memo;
    std::size_t at;
    if (&bytes == &seed.Table) {
      const std::size_t headerSize = DsGetLittleEndian16(&bytes[8]);
      at = headerSize + random() % (bytes.size() - headerSize);
    } else {
      const std::size_t block = random() % (bytes.size() / 64);
      at = random() % 4 == 0 ? random() % bytes.size() : std::min(bytes.size() - 1, block * 64 + random() % 8);
      if (random() % 4 == 0) at = 4 + random() % 20;  // block size words of both kinds
    }
    switch (random() % 5) {
      case 0: bytes[at] = Byte(random()); break;
      case 1: bytes[at] ^= Byte(1u << (random() % 8)); break;
      case 2: bytes[at] = Byte('0' + random() % 10); break;
      case 3: bytes[at] = 0x1A; break;
      default: bytes[at] = 0xFF; break;
    }
  }
  if (random() % 8 == 0) seed.Memo.resize(random() % seed.Memo.size());
}

TEST(DbfMemoFuzz, MutatedMemoFilesAndBlockNumbersNeverLeaveTheFileOrTheirBuffers) {
  std::mt19937 random(20240601);
  const std::vector<TSeed> seeds = Seeds();
  int measured = 0, refused = 0;
  for (int iteration = 0; iteration < 1500; ++iteration) {
    TSeed seed = seeds[std::size_t(iteration) % seeds.size()];
    Mutate(seed, random);
    const Int64 memoSize = Int64(seed.Memo.size());
    orv::TDsOpenParams params;
    params.CodePage = dBASE_RUS_cp866;
    TDbfHandle handle(std::make_unique<TMemoryFile>(seed.Table), &params, false,
                      std::make_unique<TMemoryFile>(seed.Memo));
    if (handle.GetStatus() != dsErrNone) continue;
    const Integer fieldCount = handle.GetHeader()->GetFieldCount();
    std::vector<Byte> record(std::size_t(handle.GetRecordSize()));
    for (int r = 0; r < 8 && handle.GetNext(record.data()) == dsErrNone; ++r) {
      for (Integer fieldNo = 1; fieldNo <= fieldCount; ++fieldNo) {
        Integer size = -1;
        const Byte code = DbfGetBlobSize(&handle, record.data(), fieldNo, size);
        if (code != dsErrNone) {
          EXPECT_EQ(size, 0);
          refused += code == dsErrInvalidBlock;
          continue;
        }
        ++measured;
        ASSERT_GE(size, 0);
        ASSERT_LE(size, memoSize);
        // Exactly sized buffers, so that a read past them is caught.
        std::unique_ptr<Byte[]> whole(new Byte[std::size_t(size) + 1]);
        Integer got = -1;
        const Byte read = DbfGetBlob(&handle, record.data(), fieldNo, 0, size, whole.get(), got);
        EXPECT_TRUE(read == dsErrNone || read == dsErrEndOfBlob) << int(read);
        EXPECT_LE(got, size);
        std::unique_ptr<Byte[]> piece(new Byte[5]);
        const Integer offset = size > 0 ? Integer(random() % std::uint32_t(size + 2)) : 0;
        DbfGetBlob(&handle, record.data(), fieldNo, offset, 5, piece.get(), got);
        EXPECT_LE(got, 5);
        EXPECT_GE(got, 0);
      }
    }
  }
  // Enough mutations stay readable to reach the reads, and enough are caught by the checks.
  EXPECT_GT(measured, 1000);
  EXPECT_GT(refused, 100);
}

}  // namespace
