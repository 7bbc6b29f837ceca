// links: memdata dbf tools
// Copying a town table into the in-memory dataset and sorting it by country and then by town
// (the two passes of the pick lists), for 100 000 and 1 000 000 synthetic towns, against sorting
// the same country and town texts in a plain vector with the same collation in the same run.
//
//   BM_CopyAndSortTwice   table -> memory dataset, sorted by COUNTRY, then by CITY
//   BM_Copy               the copy alone
//   BM_SortTwice          the two sorts alone, on a loaded dataset
//   BM_PlainSortTwice     baseline: (country, city) pairs in a std::vector, stable-sorted by
//                         collation sort keys made once per pass (the fastest plain way)
//
// The reported complexity fits time to N log N over the two sizes. Read BM_SortTwice against
// BM_PlainSortTwice for the cost of sorting records instead of bare texts.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "dbf/DsDatabase.h"
#include "dbf/DsDbfTable.h"
#include "memdata/RxMemDS.h"
#include "platform/runtime/Collation.h"
#include "tools/SyntheticTownTable.h"

namespace {

constexpr std::uint64_t kSeed = 7;

// A folder of synthetic town tables, one per size, written on first use and removed at exit.
struct TableFolder {
  TableFolder() : Path(std::filesystem::temp_directory_path() / ("orv-memdata-bench-" + std::to_string(getpid()))) {
    std::filesystem::create_directories(Path);
  }
  ~TableFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(Path, ignored);
  }
  std::string TableFor(std::size_t count) {
    const std::string name = "TOWNS" + std::to_string(count) + ".DBF";
    if (!std::filesystem::exists(Path / name)) orv::WriteSyntheticTownTable((Path / name).string(), count, kSeed);
    return name;
  }
  std::filesystem::path Path;
};

TableFolder& Folder() {
  static TableFolder folder;
  return folder;
}

// The table component over a synthetic table of `count` towns, as the program sets it up.
struct Components {
  explicit Components(std::size_t count) : Owner(new TComponent(nullptr)) {
    const std::string table = Folder().TableFor(count);
    Database = new TDsDatabase(Owner.get());
    Database->SetDatabaseName(Folder().Path.string());
    Table = new TDsDbfTable(Owner.get());
    Table->SetCodePage(dBASE_RUS_cp866);
    Table->SetDatabase(Database);
    Table->SetReadOnly(true);
    Table->SetTableName(table);
    Database->SetConnected(true);
    Memory = new TRxMemoryData(Owner.get());
  }
  std::unique_ptr<TComponent, orv::FreeDeleter> Owner;
  TDsDatabase* Database;
  TDsDbfTable* Table;
  TRxMemoryData* Memory;
};

void SortTwice(TRxMemoryData* memory) {
  memory->SortByFields("COUNTRY", true, false);
  memory->SortByFields("CITY", true, false);
}

void BM_CopyAndSortTwice(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  Components c(count);
  for (auto _ : state) {
    c.Memory->Close();
    c.Table->Open();
    c.Memory->LoadRecordsFrom(c.Table);
    c.Table->Close();
    SortTwice(c.Memory);
    benchmark::DoNotOptimize(c.Memory->GetRecordCount());
  }
  state.SetComplexityN(static_cast<std::int64_t>(count));
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(count));
}
BENCHMARK(BM_CopyAndSortTwice)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oNLogN);

void BM_Copy(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  Components c(count);
  for (auto _ : state) {
    c.Memory->Close();
    c.Table->Open();
    c.Memory->LoadRecordsFrom(c.Table);
    c.Table->Close();
    benchmark::DoNotOptimize(c.Memory->GetRecordCount());
  }
  state.SetComplexityN(static_cast<std::int64_t>(count));
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(count));
}
BENCHMARK(BM_Copy)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

void BM_SortTwice(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  Components c(count);
  c.Memory->LoadRecordsFrom(c.Table);
  for (auto _ : state) {
    // Each pass starts from the other pass's order, as in the program.
    SortTwice(c.Memory);
    benchmark::DoNotOptimize(c.Memory->GetRecordCount());
  }
  state.SetComplexityN(static_cast<std::int64_t>(count));
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(count));
}
BENCHMARK(BM_SortTwice)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oNLogN);

struct Pair {
  AnsiString Country;
  AnsiString City;
};

// The same towns as the synthetic table of that size (same generator, same seed).
const std::vector<Pair>& PlainPairs(std::size_t count) {
  static std::map<std::size_t, std::vector<Pair>> cache;
  std::vector<Pair>& pairs = cache[count];
  if (pairs.empty()) {
    orv::SyntheticTownGenerator generator(kSeed);
    pairs.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
      orv::TownRecord town = generator.Next();
      pairs.push_back({std::move(town.Country), std::move(town.City)});
    }
  }
  return pairs;
}

template <class KeyOf>
void StableSortByKey(std::vector<Pair>& pairs, KeyOf keyOf) {
  std::vector<std::pair<std::string, std::uint32_t>> keyed;
  keyed.reserve(pairs.size());
  for (std::size_t i = 0; i < pairs.size(); ++i)
    keyed.emplace_back(orv::AnsiSortKey(keyOf(pairs[i]), NORM_IGNORECASE), static_cast<std::uint32_t>(i));
  std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<Pair> sorted;
  sorted.reserve(pairs.size());
  for (const auto& k : keyed) sorted.push_back(std::move(pairs[k.second]));
  pairs.swap(sorted);
}

void BM_PlainSortTwice(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  std::vector<Pair> pairs = PlainPairs(count);
  for (auto _ : state) {
    StableSortByKey(pairs, [](const Pair& p) -> const AnsiString& { return p.Country; });
    StableSortByKey(pairs, [](const Pair& p) -> const AnsiString& { return p.City; });
    benchmark::DoNotOptimize(pairs.data());
  }
  state.SetComplexityN(static_cast<std::int64_t>(count));
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(count));
}
BENCHMARK(BM_PlainSortTwice)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oNLogN);

}  // namespace
