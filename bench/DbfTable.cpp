// links: dbf tools
// Scans of a synthetic town table of a million records (about 150 MB, written once per run and
// read from the page cache), against the physical floor measured in the same run: reading the
// file's bytes sequentially in 64 KB pieces through the platform's file layer.
//
// Each benchmark reports "x_floor": its time per scan divided by the floor's. The scans:
//   - Handle: the table handle's GetNext over every record (block reads, deletion test, copy);
//   - DataSet: the table dataset's First/Next over every record, as a grid's data controller
//     walks it;
//   - DataSetFiltered/*: the same with the program's search filters installed (geographic,
//     geographic around longitude 0, ecliptic, country and town), so that the filter is
//     evaluated on every record.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "dbf/DsDatabase.h"
#include "dbf/DsDbfApi.h"
#include "dbf/DsDbfTable.h"
#include "platform/runtime/FileSystem.h"
#include "tools/SyntheticTownTable.h"

namespace {

constexpr std::size_t kTowns = 1000000;

using Clock = std::chrono::steady_clock;

// The synthetic table in a temporary folder, removed when the run ends.
struct TTownFile {
  std::string Dir, Path;
  TTownFile() {
    char pattern[] = "/tmp/bench-dbftable-XXXXXX";
    if (!mkdtemp(pattern)) return;
    Dir = pattern;
    Path = Dir + "/TOWNS.DBF";
    orv::WriteSyntheticTownTable(Path, kTowns, 1);
  }
  ~TTownFile() {
    if (Path.empty()) return;
    std::remove(Path.c_str());
    rmdir(Dir.c_str());
  }
};

const TTownFile& Towns() {
  static const TTownFile file;
  return file;
}

// Reads the whole file sequentially; the seconds it took.
double ReadFileBytes() {
  std::vector<Byte> buffer(64 * 1024);
  const auto start = Clock::now();
  const Integer handle = FileOpen(Towns().Path, fmOpenRead | fmShareDenyNone);
  Int64 total = 0;
  for (Integer got; (got = FileRead(handle, buffer.data(), Integer(buffer.size()))) > 0;) {
    total += got;
    benchmark::DoNotOptimize(buffer.data());
  }
  FileClose(handle);
  benchmark::DoNotOptimize(total);
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The floor: the best of several sequential reads (the first one warms the page cache).
double FloorSeconds() {
  static const double floor = [] {
    double best = 1e9;
    for (int i = 0; i < 5; ++i) best = std::min(best, ReadFileBytes());
    return best;
  }();
  return floor;
}

// Runs `scan` (returning the records it visited) as the benchmark's iterations.
template <typename Scan>
void Measure(benchmark::State& state, Scan scan) {
  if (Towns().Path.empty()) {
    state.SkipWithError("cannot write the synthetic table");
    return;
  }
  const double floor = FloorSeconds();
  double total = 0;
  Integer records = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    records = scan();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(seconds);
    total += seconds;
  }
  state.counters["x_floor"] = total / double(state.iterations()) / floor;
  state.counters["records"] = double(records);
  state.SetItemsProcessed(state.iterations() * Int64(kTowns));
}

void BM_ReadFileBytes(benchmark::State& state) {
  Measure(state, [] {
    ReadFileBytes();
    return Integer(kTowns);
  });
}
BENCHMARK(BM_ReadFileBytes)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_HandleScan(benchmark::State& state) {
  Measure(state, [] {
    TDsCustomHandle* handle = nullptr;
    orv::TDsOpenParams params;
    params.CodePage = dBASE_RUS_cp866;
    if (DbfOpenTable(Towns().Path, false, false, &params, handle) != dsErrNone) return Integer(-1);
    std::vector<Byte> record(std::size_t(DbfGetRecordSize(handle)));
    Integer n = 0;
    DbfFirst(handle);
    while (DbfGetNext(handle, record.data(), nullptr) == dsErrNone) ++n;
    DbfCloseTable(handle);
    return n;
  });
}
BENCHMARK(BM_HandleScan)->UseManualTime()->Unit(benchmark::kMillisecond);

// The program's town table: a database on the folder and the table with the cp866 driver.
struct TTownTable {
  TTownTable() : Owner(new TComponent(nullptr)) {
    auto* database = new TDsDatabase(Owner.get());
    database->SetDatabaseName(Towns().Dir);
    Table = new TDsDbfTable(Owner.get());
    Table->SetDatabase(database);
    Table->SetCodePage(dBASE_RUS_cp866);
    Table->SetTableName("TOWNS.DBF");
    Table->Open();
  }
  Integer Scan() {
    Integer n = 0;
    for (Table->First(); !Table->GetEOF(); Table->Next()) ++n;
    return n;
  }
  std::unique_ptr<TComponent, orv::FreeDeleter> Owner;
  TDsDbfTable* Table;
};

void BM_DataSetScan(benchmark::State& state) {
  TTownTable towns;
  Measure(state, [&] { return towns.Scan(); });
}
BENCHMARK(BM_DataSetScan)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_DataSetFiltered(benchmark::State& state, const char* filter) {
  TTownTable towns;
  AnsiString text = filter;
  if (text.empty()) {
    // The name search for the country and town of a record in the middle of the table.
    towns.Table->SetRecNo(Integer(kTowns / 2));
    text = "(country = '" + towns.Table->FieldByName("COUNTRY")->GetAsString() + "*') and (city = '" +
           towns.Table->FieldByName("CITY")->GetAsString() + "*')";
  }
  towns.Table->SetFilter(text);
  towns.Table->SetFiltered(true);
  Measure(state, [&] { return towns.Scan(); });
}
BENCHMARK_CAPTURE(BM_DataSetFiltered, Geographic,
                  "(lon >= 25) and (lon <= 35) and(lat >= 45) and (lat <= 55)")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DataSetFiltered, GeographicAroundZero,
                  "(((lon >= 357) and (lon <= 360)) or ((lon <= 7) and (lon >= 0))) and(lat + 2 >= 0) "
                  "and (lat <= 8)")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DataSetFiltered, Ecliptic,
                  "(EclLon >= 305) and (EclLon <= 315) and(EclLat + 15 >= 0) and (EclLat + 5 <= 0)")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DataSetFiltered, CountryAndTown, "")->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
