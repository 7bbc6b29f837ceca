// links: app components_data dbf tools
// The town search as the program runs it: the coordinate search's filter pieces handed to the
// town table by the search handler (Filtered off, Filter emptied, the pieces appended one by
// one inside the header-write batch, Filtered on), the grid view's dataset-bound data controller
// (the grid's ten columns, bound through a data source) reloading what the filter lets through,
// and the record count the status line reads. Synthetic town tables of 100k and 1M towns.
//
//   BM_RawRead            baseline: the table file's bytes read in 1 MiB blocks (page cache warm)
//   BM_PlainScanName      a plain C scan: the file read in 1 MiB blocks and the country's stored
//                         bytes of each record compared with the name prefix filter's
//   BM_TableScanBox       the table's own filtered scan, First to EOF reading no field, under the
//                         first search's coordinate box
//   BM_TableScanName      the same under a country name prefix filter
//   BM_BindController     the controller bound to the unfiltered table (its first load); cpu_ms
//                         is the processor time of one bind
//   BM_SearchFirst        a coordinate search on the unfiltered table the program starts with
//   BM_SearchSecond       another coordinate search right after the first
//   BM_SortCityController the bound controller sorted by town (100k towns)
//   BM_SortCityBytes      baseline of the sort: the same towns' names in a vector, std::sort
//
// Every timed benchmark reports x_raw, its time over a raw read of the same file, and the sort
// also x_bytes, its time over the byte-wise sort. The baseline runs right after each iteration
// (untimed), so that both see the same machine even when other work comes and goes; the ratio
// is the sum of the iterations' times over the sum of the baseline's:
//   bench_SearchRoad --benchmark_repetitions=7 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/TownSearch.h"
#include "components/data/cxDBData.h"
#include "dbf/DsCP.h"
#include "dbf/DsDatabase.h"
#include "dbf/DsDbfTable.h"
#include "platform/dataset/DataSource.h"
#include "platform/runtime/AnsiString.h"
#include "tools/SyntheticTownTable.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The processor time of this thread (user and system), in seconds: steadier than the wall clock
// on a machine that other work shares.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// The grid's columns, in its order.
const char* const kColumnFields[] = {"COUNTRY", "CITY", "G_DOLG", "G_SHIR", "E_DOLG",
                                     "E_SHIR",  "LON",  "LAT",    "ECLLON", "ECLLAT"};

// A synthetic table in a temporary folder per size, removed when the run ends.
struct TRoadFile {
  std::string Dir;
  explicit TRoadFile(std::size_t count) {
    char pattern[] = "/tmp/bench-road-XXXXXX";
    if (!mkdtemp(pattern)) return;
    Dir = pattern;
    orv::WriteSyntheticTownTable(Path(), count, 7);
  }
  std::string Path() const { return Dir + "/ORVANE.DBF"; }
  ~TRoadFile() {
    if (Dir.empty()) return;
    std::remove(Path().c_str());
    rmdir(Dir.c_str());
  }
};

const TRoadFile& RoadFile(std::size_t count) {
  static std::map<std::size_t, std::unique_ptr<TRoadFile>> files;
  auto& file = files[count];
  if (!file) file = std::make_unique<TRoadFile>(count);
  return *file;
}

// Reads the whole file in 1 MiB blocks; the bytes read.
std::size_t ReadFileBytes(const std::string& path) {
  static std::vector<char> block(1 << 20);
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return 0;
  std::size_t total = 0;
  for (;;) {
    const ssize_t n = read(fd, block.data(), block.size());
    if (n <= 0) break;
    total += std::size_t(n);
  }
  close(fd);
  benchmark::DoNotOptimize(block.data());
  return total;
}

double RawReadSeconds(std::size_t count) {
  const auto start = Clock::now();
  ReadFileBytes(RoadFile(count).Path());
  return Seconds(start);
}

// The times of a benchmark's iterations and of the baseline run after each.
struct TTimes {
  double Total = 0;
  double Baseline = 0;
  // One iteration of `seconds`, then the raw read of the file as its baseline.
  void Add(benchmark::State& state, std::size_t count, double seconds) {
    state.SetIterationTime(seconds);
    Total += seconds;
    Baseline += RawReadSeconds(count);
  }
};

class TRoadColumn : public TObject {
  ORV_CLASS(TRoadColumn, TObject)
 public:
  TRoadColumn() = default;
};

// The grid view's data controller: one item per column, the view's options.
class TRoadController : public TcxDBDataController {
  ORV_CLASS(TRoadController, TcxDBDataController)
 public:
  TRoadController() : TcxDBDataController(nullptr) {
    BeginUpdate();
    for (const char* name : kColumnFields) {
      FItems.push_back(new TRoadColumn);
      AddItem(FItems.back());
      ChangeItemFieldName(Integer(FItems.size()) - 1, name);
    }
    SetOptions(GetOptions() + TcxDataControllerOptions{dcoAnsiSort, dcoAssignGroupingValues,
                                                       dcoAssignMasterDetailKeys, dcoSaveExpanding});
    EndUpdate();
  }
  TObject* GetItem(Integer index) override { return FItems.at(std::size_t(index)); }
  void BeforeDestruction() override {
    inherited::BeforeDestruction();
    for (TObject* item : FItems) item->Free();
  }

 private:
  std::vector<TObject*> FItems;
};

using TRoadControllerPtr = std::unique_ptr<TRoadController, orv::FreeDeleter>;

// The data module's town table over the synthetic file, open and unfiltered, with the window's
// data source.
struct TRoadTable {
  explicit TRoadTable(std::size_t count) : Owner(new TComponent(nullptr)) {
    auto* database = new TDsDatabase(Owner.get());
    database->SetDatabaseName(RoadFile(count).Dir);
    Table = new TDsDbfTable(Owner.get());
    Table->SetDatabase(database);
    Table->SetCodePage(dBASE_RUS_cp866);
    Table->SetTableName("ORVANE.DBF");
    Table->Open();
    Source = new TDataSource(Owner.get());
    Source->SetDataSet(Table);
  }
  Integer Walk() {
    Integer n = 0;
    for (Table->First(); !Table->GetEOF(); Table->Next()) ++n;
    return n;
  }
  std::unique_ptr<TComponent, orv::FreeDeleter> Owner;
  TDsDbfTable* Table;
  TDataSource* Source;
};

// The coordinate search around a town of the table (by physical record), as the window holds it.
orv::TCoordinateSearch SearchAround(std::size_t count, Integer recNo, Integer tolerance) {
  TRoadTable town(count);
  town.Table->SetRecNo(recNo);
  const double lon = town.Table->FieldByName("LON")->GetAsFloat();
  const double lat = town.Table->FieldByName("LAT")->GetAsFloat();
  orv::TCoordinateSearch search;
  const bool west = lon > 180;
  search.Longitude = IntToStr(Int64(std::lround(west ? 360 - lon : lon)));
  search.LongitudeSign = west ? "З"_a : "В"_a;
  search.Latitude = IntToStr(Int64(std::lround(std::fabs(lat))));
  search.LatitudeSign = lat < 0 ? "Ю"_a : "С"_a;
  search.LongitudeTolerance = IntToStr(tolerance);
  search.LatitudeTolerance = IntToStr(tolerance);
  return search;
}

std::vector<AnsiString> FirstPieces(std::size_t count) {
  return orv::CoordinateFilterPieces(SearchAround(count, 1, 5));
}
std::vector<AnsiString> SecondPieces(std::size_t count) {
  return orv::CoordinateFilterPieces(SearchAround(count, Integer(count / 2), 3));
}

AnsiString Join(const std::vector<AnsiString>& pieces) {
  AnsiString s;
  for (const AnsiString& p : pieces) s += p;
  return s;
}

// The name search's filter for the country of the first town.
AnsiString NameFilter(std::size_t count) {
  TRoadTable town(count);
  town.Table->First();
  return Join(orv::NameFilterPieces(1, town.Table->FieldByName("COUNTRY")->GetAsString(), 0, "*"));
}

void Report(benchmark::State& state, const TTimes& times, double records) {
  state.counters["records"] = records;
  state.counters["x_raw"] = times.Baseline > 0 ? times.Total / times.Baseline : 0;
}

void BM_RawRead(benchmark::State& state) {
  const std::size_t count = std::size_t(state.range(0));
  ReadFileBytes(RoadFile(count).Path());
  TTimes times;
  for (auto _ : state) times.Add(state, count, RawReadSeconds(count));
  Report(state, times, double(count));
}

// The country prefix of the name filter, as the table stores it (cp866).
std::string StoredCountryPrefix(std::size_t count) {
  TRoadTable town(count);
  town.Table->First();
  std::string prefix = town.Table->FieldByName("COUNTRY")->GetAsString();
  DsTranslateToFile(dBASE_RUS_cp866, prefix.data(), Integer(prefix.size()));
  return prefix;
}

void BM_PlainScanName(benchmark::State& state) {
  const std::size_t count = std::size_t(state.range(0));
  const std::string prefix = StoredCountryPrefix(count);
  Integer recordSize = 0, headerSize = 0, offset = 0;
  {
    TRoadTable town(count);
    const TDsCustomHeader* header = town.Table->GetHandle()->GetHeader();
    recordSize = header->GetRecordSize();
    headerSize = header->GetHeaderSize();
    offset = header->GetField(town.Table->FieldByName("COUNTRY")->GetFieldNo() - 1)->GetOffset();
  }
  std::vector<char> block(std::size_t(1 << 20) / std::size_t(recordSize) * std::size_t(recordSize));
  TTimes times;
  std::size_t found = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    found = 0;
    const int fd = open(RoadFile(count).Path().c_str(), O_RDONLY);
    if (fd < 0 || lseek(fd, headerSize, SEEK_SET) != headerSize) break;
    for (;;) {
      const ssize_t n = read(fd, block.data(), block.size());
      if (n <= 0) break;
      for (const char* r = block.data(); r + recordSize <= block.data() + n; r += recordSize)
        if (r[0] != '*' && std::memcmp(r + offset, prefix.data(), prefix.size()) == 0) ++found;
    }
    close(fd);
    times.Add(state, count, Seconds(start));
  }
  Report(state, times, double(found));
}

void TableScan(benchmark::State& state, const AnsiString& filter) {
  const std::size_t count = std::size_t(state.range(0));
  TRoadTable town(count);
  town.Table->SetFilter(filter);
  town.Table->SetFiltered(true);
  TTimes times;
  Integer records = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    records = town.Walk();
    times.Add(state, count, Seconds(start));
  }
  Report(state, times, records);
}

void BM_TableScanBox(benchmark::State& state) {
  TableScan(state, Join(FirstPieces(std::size_t(state.range(0)))));
}

void BM_TableScanName(benchmark::State& state) { TableScan(state, NameFilter(std::size_t(state.range(0)))); }

long MinorFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

void BM_BindController(benchmark::State& state) {
  const std::size_t count = std::size_t(state.range(0));
  TRoadTable town(count);
  TTimes times;
  Integer records = 0;
  double faults = 0, cpu = 0;
  for (auto _ : state) {
    TRoadControllerPtr controller(new TRoadController);
    const long before = MinorFaults();
    const double cpuStart = ThreadSeconds();
    const auto start = Clock::now();
    controller->SetDataSource(town.Source);
    records = controller->GetRecordCount();
    const double s = Seconds(start);
    cpu += ThreadSeconds() - cpuStart;
    faults += double(MinorFaults() - before);
    controller.reset();
    times.Add(state, count, s);
  }
  Report(state, times, records);
  // Fresh memory the load touched (each fault brings in at least a page).
  state.counters["faults_per_record"] = faults / double(state.iterations()) / double(std::max<Integer>(records, 1));
  // The load's own processor time per bind, in milliseconds.
  state.counters["cpu_ms"] = cpu * 1e3 / double(state.iterations());
}

// A search road: the handler's filter, then the count the status line reads.
Integer Search(TRoadController* controller, TDsDbfTable* table, const std::vector<AnsiString>& pieces) {
  orv::ApplyTownFilter(table, pieces);
  return controller->GetRecordCount();
}

void SearchRoad(benchmark::State& state, bool second) {
  const std::size_t count = std::size_t(state.range(0));
  const std::vector<AnsiString> first = FirstPieces(count), next = SecondPieces(count);
  TRoadTable town(count);
  TRoadControllerPtr controller(new TRoadController);
  controller->SetDataSource(town.Source);
  TTimes times;
  Integer records = 0;
  for (auto _ : state) {
    // Untimed: the state the search starts from.
    if (second)
      Search(controller.get(), town.Table, first);
    else
      Search(controller.get(), town.Table, {});
    const auto start = Clock::now();
    records = Search(controller.get(), town.Table, second ? next : first);
    times.Add(state, count, Seconds(start));
  }
  Report(state, times, records);
}

void BM_SearchFirst(benchmark::State& state) { SearchRoad(state, false); }
void BM_SearchSecond(benchmark::State& state) { SearchRoad(state, true); }

// The towns' names as the table gives them.
std::vector<AnsiString> CityNames(std::size_t count) {
  std::vector<AnsiString> names;
  TRoadTable town(count);
  TField* city = town.Table->FieldByName("CITY");
  for (town.Table->First(); !town.Table->GetEOF(); town.Table->Next()) names.push_back(city->GetAsString());
  return names;
}

double ByteSortSeconds(const std::vector<AnsiString>& names) {
  std::vector<AnsiString> copy = names;
  const auto start = Clock::now();
  std::sort(copy.begin(), copy.end());
  benchmark::DoNotOptimize(copy.data());
  return Seconds(start);
}

void BM_SortCityController(benchmark::State& state) {
  const std::size_t count = std::size_t(state.range(0));
  const std::vector<AnsiString> names = CityNames(count);
  TRoadTable town(count);
  TRoadControllerPtr controller(new TRoadController);
  controller->SetDataSource(town.Source);
  TTimes times;
  double bytes = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    controller->ChangeSorting(1, soAscending);
    benchmark::DoNotOptimize(controller->GetRowInfo(0).RecordIndex);
    times.Add(state, count, Seconds(start));
    controller->ClearSorting(false);
    bytes += ByteSortSeconds(names);
  }
  Report(state, times, double(count));
  state.counters["x_bytes"] = bytes > 0 ? times.Total / bytes : 0;
}

void BM_SortCityBytes(benchmark::State& state) {
  const std::size_t count = std::size_t(state.range(0));
  const std::vector<AnsiString> names = CityNames(count);
  TTimes times;
  for (auto _ : state) times.Add(state, count, ByteSortSeconds(names));
  Report(state, times, double(count));
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->ArgName("towns")->Arg(100000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond);
}
void RoadSizes(benchmark::internal::Benchmark* b) {
  b->ArgName("towns")->Arg(100000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
}

BENCHMARK(BM_RawRead)->Apply(Sizes);
BENCHMARK(BM_PlainScanName)->Apply(Sizes);
BENCHMARK(BM_TableScanBox)->Apply(Sizes);
BENCHMARK(BM_TableScanName)->Apply(Sizes);
BENCHMARK(BM_BindController)->Apply(RoadSizes);
BENCHMARK(BM_SearchFirst)->Apply(RoadSizes);
BENCHMARK(BM_SearchSecond)->Apply(RoadSizes);
BENCHMARK(BM_SortCityController)->ArgName("towns")->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SortCityBytes)->ArgName("towns")->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
