// Random mutations of table images through the header reader and the field codec: whatever the
// bytes, nothing reads or writes outside its buffers (run under the sanitizers in CI).
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "dbf/DsDbfApi.h"
#include "dbf/tests/DbfTestSupport.h"

namespace {

using dbftest::BuildDbf;

std::vector<Byte> Seed(Byte version, std::mt19937& random) {
  const std::vector<dbftest::TFieldSpec> fields = {
      {"NAME", 'C', 12}, {"NUM", 'N', 10, 3}, {"FLT", 'F', 8, 2}, {"DATE", 'D', 8},
      {"FLAG", 'L', 1},  {"INT", 'I', 4},     {"AUTO", '+', 4},   {"STAMP", '@', 8},
      {"DBL", 'O', 8},   {"TIME", 'T', 8},    {"MONEY", 'Y', 8},  {"MEMO", 'M', 10},
      {"BIN", 'B', 10},  {"OLE", 'G', 10},    {"PIC", 'P', 10},   {"ODD", 'X', 3}};
  std::vector<std::string> records = {
      "Moskva      " "    55.756" "   12.50" "20061223" "T" "\x80\x00\x00\x05" "\x80\x00\x00\x01"};
  for (int r = 0; r < 3; ++r) {
    std::string record(200, ' ');
    for (char& c : record) c = static_cast<char>(random() % 256);
    records.push_back(record);
  }
  return BuildDbf(version, 0x26, fields, records, {false, true, false, false});
}

void DecodeEverything(TDbfHeader& header, const std::vector<Byte>& bytes) {
  const Int64 headerSize = header.GetHeaderSize();
  const Int64 recordSize = header.GetRecordSize();
  const Int64 available = (Int64(bytes.size()) - headerSize) / recordSize;
  const Int64 count = std::min<Int64>({header.GetRecordCount(), available, 6});
  for (Int64 n = 0; n < count; ++n) {
    // An exactly sized copy, so that a read past the record is caught.
    std::unique_ptr<Byte[]> record(new Byte[std::size_t(recordSize)]);
    std::memcpy(record.get(), bytes.data() + headerSize + n * recordSize, std::size_t(recordSize));
    for (Integer i = 0; i < header.GetFieldCount(); ++i) {
      TDsCustomField* field = header.GetField(i);
      std::unique_ptr<Byte[]> value(new Byte[std::size_t(std::max(field->GetDataSize(), 1))]);
      bool isNull = true;
      field->GetData(record.get(), value.get(), isNull);
      (void)field->AsString(record.get());
      (void)field->AsFloat(record.get());
      (void)field->AsInteger(record.get());
      (void)field->AsDateTime(record.get());
      // Whatever decoded encodes again without leaving the record.
      const Byte code = field->SetData(isNull ? nullptr : value.get(), record.get());
      EXPECT_TRUE(code == dsErrNone || code == dsErrInvalidParameter);
    }
  }
}

TEST(DbfFuzz, MutatedHeadersAndRecordsNeverLeaveTheirBuffers) {
  std::mt19937 random(20240517);
  TDsCustomHandle handle;
  handle.SetCodePage(dBASE_RUS_cp866);
  const Byte versions[] = {0x03, 0x83, 0x8B, 0x05, 0x04, 0x8C, 0x30, 0xF5};
  int opened = 0;
  for (int iteration = 0; iteration < 3000; ++iteration) {
    std::vector<Byte> bytes = Seed(versions[iteration % 8], random);
    const bool inHeader = random() % 2 == 0;
    const std::size_t headerEnd = std::min<std::size_t>(bytes.size(), 68 + 16 * 48 + 1);
    const int mutations = 1 + int(random() % 8);
    for (int m = 0; m < mutations; ++m) {
      const std::size_t at = inHeader ? random() % headerEnd : random() % bytes.size();
      switch (random() % 4) {
        case 0: bytes[at] = Byte(random()); break;
        case 1: bytes[at] ^= Byte(1u << (random() % 8)); break;
        case 2: bytes[at] = Byte(random() % 2 ? 0x0D : 0x00); break;
        default: bytes[at] = 0xFF; break;
      }
    }
    if (random() % 8 == 0) bytes.resize(random() % bytes.size());

    dbftest::TMemoryFile file(bytes);
    TDbfHeader header(&handle, &file);
    if (header.Read() != dsErrNone) {
      EXPECT_EQ(header.GetFieldCount(), 0);
      continue;
    }
    ++opened;
    // Every field lies inside the record.
    for (Integer i = 0; i < header.GetFieldCount(); ++i) {
      const TDsCustomField* field = header.GetField(i);
      ASSERT_GE(field->GetOffset(), 1);
      ASSERT_LE(field->GetOffset() + field->GetLength(), header.GetRecordSize());
    }
    DecodeEverything(header, bytes);
  }
  EXPECT_GT(opened, 100);  // the mutations leave enough headers readable to reach the codec
}

}  // namespace
