// links: components_data tools
// The unbound data controller over synthetic towns (country, town, latitude) at 100 000 and
// 1 000 000 records: loading the records, sorting the rows by the town name under the locale's
// collation (dcoAnsiSort, compared through sort keys made once per sort), sorting by the latitude
// (compared through number keys made once per sort), and walking every record with the focus
// following it. Each
// is reported against a plain baseline measured in the same run: the same values appended to a
// vector of structs; the same sort keys made and sorted in a vector of (key, index) pairs; the
// same doubles sorted in a vector of (value, index) pairs; a loop reading a vector.
//
//   build/bench/bench_DataController --benchmark_min_time=0.1
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "components/data/cxCustomData.h"
#include "platform/runtime/Collation.h"
#include "tools/SyntheticTownTable.h"

namespace {

struct TTown {
  AnsiString Country;
  AnsiString City;
  double Lat;
};

const std::vector<TTown>& Towns(std::size_t count) {
  static std::map<std::size_t, std::vector<TTown>> cache;
  auto it = cache.find(count);
  if (it != cache.end()) return it->second;
  std::vector<TTown> towns;
  towns.reserve(count);
  orv::SyntheticTownGenerator generator(1);
  for (std::size_t i = 0; i < count; ++i) {
    const orv::TownRecord town = generator.Next();
    towns.push_back({town.Country, town.City, town.Lat});
  }
  return cache.emplace(count, std::move(towns)).first->second;
}

class TItem : public TObject {
  ORV_CLASS(TItem, TObject)
 public:
  TItem() = default;
};

class TTownController : public TcxDataController {
  ORV_CLASS(TTownController, TcxDataController)
 public:
  TTownController() : TcxDataController(nullptr) {
    for (TcxValueTypeClass type : {TcxValueTypeClass(TcxStringValueType::StaticClass()),
                                   TcxValueTypeClass(TcxStringValueType::StaticClass()),
                                   TcxValueTypeClass(TcxFloatValueType::StaticClass())}) {
      FItems.push_back(new TItem);
      AddItem(FItems.back());
      SetItemValueTypeClass(Integer(FItems.size()) - 1, type);
    }
  }
  TObject* GetItem(Integer index) override { return FItems.at(std::size_t(index)); }
  void BeforeDestruction() override {
    inherited::BeforeDestruction();
    for (TObject* item : FItems) item->Free();
  }

  void Load(const std::vector<TTown>& towns) {
    BeginUpdate();
    SetRecordCount(Integer(towns.size()));
    for (std::size_t i = 0; i < towns.size(); ++i) {
      SetValue(Integer(i), 0, Variant(towns[i].Country));
      SetValue(Integer(i), 1, Variant(towns[i].City));
      SetValue(Integer(i), 2, Variant(towns[i].Lat));
    }
    EndUpdate();
  }

 private:
  std::vector<TObject*> FItems;
};

using TControllerPtr = std::unique_ptr<TTownController, orv::FreeDeleter>;

// Loaded once per size and kept to the end of the run (not freed at exit, where the value type
// registry it relies on may already be gone).
TTownController* LoadedController(std::size_t count) {
  static std::map<std::size_t, TTownController*> cache;
  auto it = cache.find(count);
  if (it != cache.end()) return it->second;
  auto* controller = new TTownController;
  controller->Load(Towns(count));
  controller->SetOptions(controller->GetOptions() + TcxDataControllerOptions{dcoAnsiSort});
  return cache.emplace(count, controller).first->second;
}

void SetRecords(benchmark::State& state) { state.SetItemsProcessed(state.iterations() * state.range(0)); }

// ---- Loading ----

void BM_LoadController(benchmark::State& state) {
  const auto& towns = Towns(std::size_t(state.range(0)));
  for (auto _ : state) {
    TControllerPtr controller(new TTownController);
    controller->Load(towns);
    benchmark::DoNotOptimize(controller->GetRecordCount());
    state.PauseTiming();
    controller.reset();
    state.ResumeTiming();
  }
  SetRecords(state);
}

void BM_LoadVectorBaseline(benchmark::State& state) {
  const auto& towns = Towns(std::size_t(state.range(0)));
  for (auto _ : state) {
    std::vector<TTown> copy;
    copy.reserve(towns.size());
    for (const TTown& town : towns) copy.push_back({town.Country, town.City, town.Lat});
    benchmark::DoNotOptimize(copy.data());
    state.PauseTiming();
    copy = {};
    state.ResumeTiming();
  }
  SetRecords(state);
}

// ---- Sorting ----

void SortController(benchmark::State& state, Integer item) {
  TTownController* controller = LoadedController(std::size_t(state.range(0)));
  for (auto _ : state) {
    controller->ChangeSorting(item, soAscending);
    benchmark::DoNotOptimize(controller->GetRowInfo(0).RecordIndex);
    state.PauseTiming();
    controller->ClearSorting(false);
    state.ResumeTiming();
  }
  SetRecords(state);
}

void BM_SortTextController(benchmark::State& state) { SortController(state, 1); }

void BM_SortTextVectorBaseline(benchmark::State& state) {
  const auto& towns = Towns(std::size_t(state.range(0)));
  for (auto _ : state) {
    std::vector<std::pair<std::string, Integer>> keys;
    keys.reserve(towns.size());
    for (std::size_t i = 0; i < towns.size(); ++i) keys.emplace_back(orv::AnsiSortKey(towns[i].City), Integer(i));
    std::sort(keys.begin(), keys.end());
    benchmark::DoNotOptimize(keys.data());
  }
  SetRecords(state);
}

void BM_SortFloatController(benchmark::State& state) { SortController(state, 2); }

void BM_SortFloatVectorBaseline(benchmark::State& state) {
  const auto& towns = Towns(std::size_t(state.range(0)));
  for (auto _ : state) {
    std::vector<std::pair<double, Integer>> values;
    values.reserve(towns.size());
    for (std::size_t i = 0; i < towns.size(); ++i) values.emplace_back(towns[i].Lat, Integer(i));
    std::sort(values.begin(), values.end());
    benchmark::DoNotOptimize(values.data());
  }
  SetRecords(state);
}

// ---- Walking with the focus ----

void BM_WalkFocusController(benchmark::State& state) {
  TTownController* controller = LoadedController(std::size_t(state.range(0)));
  const Integer count = controller->GetRecordCount();
  for (auto _ : state) {
    for (Integer r = 0; r < count; ++r) controller->ChangeFocusedRecordIndex(r);
    benchmark::DoNotOptimize(controller->GetFocusedRowIndex());
  }
  SetRecords(state);
}

void BM_WalkVectorBaseline(benchmark::State& state) {
  const auto& towns = Towns(std::size_t(state.range(0)));
  for (auto _ : state) {
    double sum = 0;
    for (const TTown& town : towns) benchmark::DoNotOptimize(sum += town.Lat);
  }
  SetRecords(state);
}

#define ORV_SIZES ->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_LoadController) ORV_SIZES;
BENCHMARK(BM_LoadVectorBaseline) ORV_SIZES;
BENCHMARK(BM_SortTextController) ORV_SIZES;
BENCHMARK(BM_SortTextVectorBaseline) ORV_SIZES;
BENCHMARK(BM_SortFloatController) ORV_SIZES;
BENCHMARK(BM_SortFloatVectorBaseline) ORV_SIZES;
BENCHMARK(BM_WalkFocusController) ORV_SIZES;
BENCHMARK(BM_WalkVectorBaseline) ORV_SIZES;

}  // namespace
