// links: components_data dbf tools
// The main road of a town search through the dataset-bound data controller: a new filter text on
// the table, the table's change notice, the controller's reload of every record the filter lets
// through (eleven fields each) into its storage, its rows, and the count the status line shows.
// Synthetic town tables of 100k and 1M records, filters that accept about 0.1%, 10% and 100% of
// them (latitude bands cut at the table's own quantiles, written as the coordinate search writes
// them).
//
// The baseline, measured in the same run, is the engine's bare filtered scan: the same filter
// installed and the table walked from First to EOF, reading no field. Each road reports
//   x_scan            its time over the scan's time for the same table and filter;
//   ns_field_record   the controller's share, (road - scan) / (records loaded * 11 fields).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "components/data/cxDBData.h"
#include "dbf/DsDatabase.h"
#include "dbf/DsDbfTable.h"
#include "tools/SyntheticTownTable.h"

namespace {

using Clock = std::chrono::steady_clock;

const char* const kFieldNames[] = {"ID",     "COUNTRY", "CITY", "G_DOLG", "G_SHIR", "E_DOLG",
                                   "E_SHIR", "LON",     "LAT",  "ECLLON", "ECLLAT"};
constexpr Integer kFieldCount = 11;

// A synthetic table in a temporary folder per size, removed when the run ends.
struct TTownFile {
  std::string Dir;
  explicit TTownFile(std::size_t count) {
    char pattern[] = "/tmp/bench-dbdata-XXXXXX";
    if (!mkdtemp(pattern)) return;
    Dir = pattern;
    orv::WriteSyntheticTownTable(Dir + "/ORVANE.DBF", count, 1);
  }
  ~TTownFile() {
    if (Dir.empty()) return;
    std::remove((Dir + "/ORVANE.DBF").c_str());
    rmdir(Dir.c_str());
  }
};

const TTownFile& Towns(std::size_t count) {
  static std::map<std::size_t, std::unique_ptr<TTownFile>> files;
  auto& file = files[count];
  if (!file) file = std::make_unique<TTownFile>(count);
  return *file;
}

class TBenchItem : public TObject {
  ORV_CLASS(TBenchItem, TObject)
 public:
  TBenchItem() = default;
};

// The grid view's controller: one item per field of the table.
class TBenchController : public TcxDBDataController {
  ORV_CLASS(TBenchController, TcxDBDataController)
 public:
  TBenchController() : TcxDBDataController(nullptr) {
    BeginUpdate();
    for (const char* name : kFieldNames) {
      FItems.push_back(new TBenchItem);
      AddItem(FItems.back());
      ChangeItemFieldName(Integer(FItems.size()) - 1, name);
    }
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

// The program's table component over the synthetic table, with a data source.
struct TTownTable {
  // With a filter text, the filter is on.
  explicit TTownTable(std::size_t count, const AnsiString& filter = AnsiString()) : Owner(new TComponent(nullptr)) {
    auto* database = new TDsDatabase(Owner.get());
    database->SetDatabaseName(Towns(count).Dir);
    Table = new TDsDbfTable(Owner.get());
    Table->SetDatabase(database);
    Table->SetCodePage(dBASE_RUS_cp866);
    Table->SetReadOnly(true);
    Table->SetTableName("ORVANE.DBF");
    Table->Open();
    Source = new TDataSource(Owner.get());
    Source->SetDataSet(Table);
    if (filter.empty()) return;
    Table->SetFilter(filter);
    Table->SetFiltered(true);
  }
  // The engine's filtered walk from First to EOF, reading no field; the records it visited.
  Integer Walk() {
    Integer n = 0;
    for (Table->First(); !Table->GetEOF(); Table->Next()) ++n;
    return n;
  }
  std::unique_ptr<TComponent, orv::FreeDeleter> Owner;
  TDsDbfTable* Table;
  TDataSource* Source;
};

// The coordinate search's text for a latitude band over every longitude (tolerance 180).
AnsiString BandFilter(double low, double high) {
  char text[200];
  const int n = low >= 0 ? std::snprintf(text, sizeof text, "(lat >= %.4f", low)
                         : std::snprintf(text, sizeof text, "(lat + %.4f >= 0", -low);
  if (high >= 0)
    std::snprintf(text + n, sizeof text - std::size_t(n), ") and (lat <= %.4f)", high);
  else
    std::snprintf(text + n, sizeof text - std::size_t(n), ") and (lat + %.4f <= 0)", -high);
  return AnsiString("(((lon >= 180) and (lon <= 360)) or ((lon <= 180) and (lon >= 0))) and") + text;
}

// A band around the median latitude holding about `share` of the towns (1: all of them).
AnsiString FilterFor(std::size_t count, double share) {
  static std::map<std::size_t, std::vector<double>> latitudes;
  auto& lats = latitudes[count];
  if (lats.empty()) {
    TTownTable town(count);
    TField* lat = town.Table->FieldByName("LAT");
    for (town.Table->First(); !town.Table->GetEOF(); town.Table->Next()) lats.push_back(lat->GetAsFloat());
    std::sort(lats.begin(), lats.end());
  }
  if (share >= 1) return BandFilter(-90, 90);
  const std::size_t half = std::size_t(double(lats.size()) * share / 2);
  const std::size_t middle = lats.size() / 2;
  return BandFilter(lats[middle - half], lats[middle + half]);
}

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The engine's filtered scan of the table: its best time over a few walks, per table and filter.
double ScanSeconds(std::size_t count, Integer shareIndex, TTownTable* town) {
  static std::map<std::pair<std::size_t, Integer>, double> scans;
  double& best = scans[{count, shareIndex}];
  if (best == 0) {
    best = 1e9;
    for (int i = 0; i < 3; ++i) {
      const auto start = Clock::now();
      benchmark::DoNotOptimize(town->Walk());
      best = std::min(best, Seconds(start));
    }
  }
  return best;
}

const double kShares[] = {0.001, 0.1, 1.0};

void BM_BareFilteredScan(benchmark::State& state) {
  const std::size_t count = std::size_t(state.range(0));
  const Integer shareIndex = Integer(state.range(1));
  TTownTable town(count, FilterFor(count, kShares[shareIndex]));
  Integer records = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    records = town.Walk();
    state.SetIterationTime(Seconds(start));
  }
  state.counters["records"] = double(records);
  ScanSeconds(count, shareIndex, &town);
}

// Filter set, reload and count, inside the grid's lock as the search runs them.
void BM_SearchRoad(benchmark::State& state) {
  const std::size_t count = std::size_t(state.range(0));
  const Integer shareIndex = Integer(state.range(1));
  const AnsiString filter = FilterFor(count, kShares[shareIndex]);
  TTownTable town(count, filter);
  const double scan = ScanSeconds(count, shareIndex, &town);
  std::unique_ptr<TBenchController, orv::FreeDeleter> controller(new TBenchController);
  controller->SetDataSource(town.Source);
  // Two spellings of the same filter, so that every iteration installs a new text.
  const AnsiString texts[] = {filter, filter + " "};
  double total = 0;
  Integer records = 0;
  int turn = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    controller->BeginUpdate();
    town.Table->SetFilter(texts[++turn % 2]);
    controller->EndUpdate();
    records = controller->GetRecordCount();
    const double seconds = Seconds(start);
    state.SetIterationTime(seconds);
    total += seconds;
  }
  const double mean = total / double(state.iterations());
  state.counters["records"] = double(records);
  state.counters["x_scan"] = mean / scan;
  state.counters["ns_field_record"] = records > 0 ? (mean - scan) * 1e9 / (double(records) * kFieldCount) : 0;
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (Int64 count : {100000, 1000000})
    for (Int64 share = 0; share < 3; ++share) b->Args({count, share});
  b->ArgNames({"towns", "share"})->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
}

BENCHMARK(BM_BareFilteredScan)->Apply(Sizes);
BENCHMARK(BM_SearchRoad)->Apply(Sizes);

}  // namespace
