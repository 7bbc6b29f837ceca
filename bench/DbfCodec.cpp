// links: dbf
// Decoding the fields of a town table's records (the work of every filtered scan), against
// touching the same record bytes once (the floor).
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "dbf/DsDbfApi.h"

namespace {

class TMemory : public orv::IDsFile {
 public:
  explicit TMemory(std::vector<Byte> bytes) : FBytes(std::move(bytes)) {}
  bool Seek(Int64 position) override { FAt = std::size_t(position); return true; }
  Integer Read(void* buffer, Integer count) override {
    const std::size_t n = FAt >= FBytes.size() ? 0 : std::min(std::size_t(count), FBytes.size() - FAt);
    std::memcpy(buffer, FBytes.data() + FAt, n);
    FAt += n;
    return Integer(n);
  }
  Integer Write(const void*, Integer) override { return -1; }

 private:
  std::vector<Byte> FBytes;
  std::size_t FAt = 0;
};

constexpr Integer kRecords = 10000;

// NAME C(24) cp866, COUNTRY C(20), LAT N(8,3), LON N(9,3), FOUNDED D, CAPITAL L.
struct TTable {
  TTable() {
    const struct { const char* Name; char Letter; Byte Length, Decimals; } fields[] = {
        {"NAME", 'C', 24, 0}, {"COUNTRY", 'C', 20, 0}, {"LAT", 'N', 8, 3},
        {"LON", 'N', 9, 3},   {"FOUNDED", 'D', 8, 0},  {"CAPITAL", 'L', 1, 0}};
    std::vector<Byte> header(32 + 6 * 32 + 1, 0);
    header[0] = 0x03;
    header[8] = Byte(header.size());
    header[10] = 1 + 24 + 20 + 8 + 9 + 8 + 1;
    for (int i = 0; i < 6; ++i) {
      std::memcpy(&header[32 + 32 * i], fields[i].Name, std::strlen(fields[i].Name));
      header[32 + 32 * i + 11] = Byte(fields[i].Letter);
      header[32 + 32 * i + 16] = fields[i].Length;
      header[32 + 32 * i + 17] = fields[i].Decimals;
    }
    header.back() = 0x0D;
    File = std::make_unique<TMemory>(header);
    auto owned = std::make_unique<TDbfHeader>(&Handle, File.get());
    Header = owned.get();
    Header->Read();
    Handle.SetHeader(std::move(owned));
    Handle.SetCodePage(dBASE_RUS_cp866);
    RecordSize = Header->GetRecordSize();
    // Москва, Россия in cp866, 55.756, 37.617, 1147-04-04, true.
    const std::string sample = std::string(" \x8C\xAE\xE1\xAA\xA2\xA0") + std::string(18, ' ') +
                               "\x90\xAE\xE1\xE1\xA8\xEF" + std::string(14, ' ') +
                               "  55.756" "   37.617" "11470404" "T";
    Records.resize(std::size_t(RecordSize) * kRecords);
    for (Integer r = 0; r < kRecords; ++r) std::memcpy(&Records[std::size_t(r * RecordSize)], sample.data(), sample.size());
  }
  std::unique_ptr<TMemory> File;
  TDsCustomHandle Handle;
  TDbfHeader* Header = nullptr;
  Integer RecordSize = 0;
  std::vector<Byte> Records;
};

TTable& Table() {
  static TTable table;
  return table;
}

void BM_TouchRecordBytes(benchmark::State& state) {
  TTable& t = Table();
  for (auto _ : state) {
    unsigned sum = 0;
    for (const Byte b : t.Records) sum += b;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_TouchRecordBytes);

void BM_DecodeCoordinates(benchmark::State& state) {
  TTable& t = Table();
  TDsCustomField* lat = t.Header->FindField("LAT");
  TDsCustomField* lon = t.Header->FindField("LON");
  for (auto _ : state) {
    double sum = 0;
    for (Integer r = 0; r < kRecords; ++r) {
      const Byte* record = &t.Records[std::size_t(r * t.RecordSize)];
      sum += lat->AsFloat(record) + lon->AsFloat(record);
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_DecodeCoordinates);

void BM_DecodeEveryField(benchmark::State& state) {
  TTable& t = Table();
  alignas(8) Byte value[32];
  for (auto _ : state) {
    for (Integer r = 0; r < kRecords; ++r) {
      const Byte* record = &t.Records[std::size_t(r * t.RecordSize)];
      for (Integer i = 0; i < t.Header->GetFieldCount(); ++i) {
        bool isNull;
        t.Header->GetField(i)->GetData(record, value, isNull);
        benchmark::DoNotOptimize(value);
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_DecodeEveryField);

}  // namespace
