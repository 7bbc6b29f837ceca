// links: app components_data dbf tools
// The town search as the program runs it: the coordinate search's filter pieces handed to the
// town table by the search handler (Filtered off, Filter emptied, the pieces appended one by
// one inside the header-write batch, Filtered on), the grid view's dataset-bound data controller
// (the grid's ten columns, bound through a data source) reloading what the filter lets through,
// and the record count the status line reads. Synthetic town tables of 100k and 1M towns.
//
//   BM_RawRead            baseline: the table file's bytes read in 1 MiB blocks (page cache warm)
//   BM_TableScanBox       the table's own filtered scan, First to EOF reading no field, under the
//                         first search's coordinate box
//   BM_TableScanName      the same under a country name prefix filter
//   BM_BindController     the controller bound to the unfiltered table (its first load)
//   BM_SearchFirst        a coordinate search on the unfiltered table the program starts with
//   BM_SearchSecond       another coordinate search right after the first
//   BM_SortCityController the bound controller sorted by town (100k towns)
//   BM_SortCityBytes      baseline of the sort: the same towns' names in a vector, std::sort
//
// Every timed benchmark reports x_raw, its time over the raw read of the same file measured in
// the same process (best of several reads), so that ratios come out of one run:
//   bench_SearchRoad --benchmark_repetitions=7 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/TownSearch.h"
#include "components/data/cxDBData.h"
#include "dbf/DsDatabase.h"
#include "dbf/DsDbfTable.h"
#include "platform/dataset/DataSource.h"
#include "platform/runtime/AnsiString.h"
#include "tools/SyntheticTownTable.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

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

// The raw read's best time over a few reads, once per size.
double RawSeconds(std::size_t count) {
  static std::map<std::size_t, double> best;
  double& b = best[count];
  if (b == 0) {
    b = 1e9;
    for (int i = 0; i < 9; ++i) {
      const auto start = Clock::now();
      ReadFileBytes(RoadFile(count).Path());
      b = std::min(b, Seconds(start));
    }
  }
  return b;
}

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

void Report(benchmark::State& state, std::size_t count, double total, double records) {
  state.counters["records"] = records;
  state.counters["x_raw"] = total / double(state.iterations()) / RawSeconds(count);
}

void BM_RawRead(benchmark::State& state) {
  const std::size_t count = std::size_t(state.range(0));
  RawSeconds(count);
  double total = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    benchmark::DoNotOptimize(ReadFileBytes(RoadFile(count).Path()));
    const double s = Seconds(start);
    state.SetIterationTime(s);
    total += s;
  }
  Report(state, count, total, double(count));
}

void TableScan(benchmark::State& state, const AnsiString& filter) {
  const std::size_t count = std::size_t(state.range(0));
  RawSeconds(count);
  TRoadTable town(count);
  town.Table->SetFilter(filter);
  town.Table->SetFiltered(true);
  double total = 0;
  Integer records = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    records = town.Walk();
    const double s = Seconds(start);
    state.SetIterationTime(s);
    total += s;
  }
  Report(state, count, total, records);
}

void BM_TableScanBox(benchmark::State& state) {
  TableScan(state, Join(FirstPieces(std::size_t(state.range(0)))));
}

void BM_TableScanName(benchmark::State& state) { TableScan(state, NameFilter(std::size_t(state.range(0)))); }

void BM_BindController(benchmark::State& state) {
  const std::size_t count = std::size_t(state.range(0));
  RawSeconds(count);
  TRoadTable town(count);
  double total = 0;
  Integer records = 0;
  for (auto _ : state) {
    TRoadControllerPtr controller(new TRoadController);
    const auto start = Clock::now();
    controller->SetDataSource(town.Source);
    records = controller->GetRecordCount();
    const double s = Seconds(start);
    state.SetIterationTime(s);
    total += s;
  }
  Report(state, count, total, records);
}

// A search road: the handler's filter, then the count the status line reads.
Integer Search(TRoadController* controller, TDsDbfTable* table, const std::vector<AnsiString>& pieces) {
  orv::ApplyTownFilter(table, pieces);
  return controller->GetRecordCount();
}

void SearchRoad(benchmark::State& state, bool second) {
  const std::size_t count = std::size_t(state.range(0));
  RawSeconds(count);
  const std::vector<AnsiString> first = FirstPieces(count), next = SecondPieces(count);
  TRoadTable town(count);
  TRoadControllerPtr controller(new TRoadController);
  controller->SetDataSource(town.Source);
  double total = 0;
  Integer records = 0;
  for (auto _ : state) {
    // Untimed: the state the search starts from.
    if (second)
      Search(controller.get(), town.Table, first);
    else
      Search(controller.get(), town.Table, {});
    const auto start = Clock::now();
    records = Search(controller.get(), town.Table, second ? next : first);
    const double s = Seconds(start);
    state.SetIterationTime(s);
    total += s;
  }
  Report(state, count, total, records);
}

void BM_SearchFirst(benchmark::State& state) { SearchRoad(state, false); }
void BM_SearchSecond(benchmark::State& state) { SearchRoad(state, true); }

void BM_SortCityController(benchmark::State& state) {
  const std::size_t count = std::size_t(state.range(0));
  RawSeconds(count);
  TRoadTable town(count);
  TRoadControllerPtr controller(new TRoadController);
  controller->SetDataSource(town.Source);
  double total = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    controller->ChangeSorting(1, soAscending);
    benchmark::DoNotOptimize(controller->GetRowInfo(0).RecordIndex);
    const double s = Seconds(start);
    state.SetIterationTime(s);
    total += s;
    controller->ClearSorting(false);
  }
  Report(state, count, total, double(count));
}

void BM_SortCityBytes(benchmark::State& state) {
  const std::size_t count = std::size_t(state.range(0));
  RawSeconds(count);
  std::vector<AnsiString> names;
  {
    TRoadTable town(count);
    TField* city = town.Table->FieldByName("CITY");
    for (town.Table->First(); !town.Table->GetEOF(); town.Table->Next()) names.push_back(city->GetAsString());
  }
  double total = 0;
  for (auto _ : state) {
    std::vector<AnsiString> copy = names;
    const auto start = Clock::now();
    std::sort(copy.begin(), copy.end());
    benchmark::DoNotOptimize(copy.data());
    const double s = Seconds(start);
    state.SetIterationTime(s);
    total += s;
  }
  Report(state, count, total, double(count));
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->ArgName("towns")->Arg(100000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond);
}
void RoadSizes(benchmark::internal::Benchmark* b) {
  b->ArgName("towns")->Arg(100000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
}

BENCHMARK(BM_RawRead)->Apply(Sizes);
BENCHMARK(BM_TableScanBox)->Apply(Sizes);
BENCHMARK(BM_TableScanName)->Apply(Sizes);
BENCHMARK(BM_BindController)->Apply(RoadSizes);
BENCHMARK(BM_SearchFirst)->Apply(RoadSizes);
BENCHMARK(BM_SearchSecond)->Apply(RoadSizes);
BENCHMARK(BM_SortCityController)->ArgName("towns")->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SortCityBytes)->ArgName("towns")->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
