// links: components_data tools
// Grouping in the unbound data controller over 100 000 synthetic towns (country, town, latitude):
// a rebuild of the rows grouped by country with a count and an average-latitude summary per
// group and in the footer, and the same with the groups fully expanded (their expanded states
// saved and located again by value). Reported against a baseline measured in the same run: the
// same (country, index) pairs sorted by codes and walked once to count and sum each country.
//
//   build/bench/bench_DataGrouping --benchmark_min_time=0.2
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "components/data/cxCustomData.h"
#include "tools/SyntheticTownTable.h"

namespace {

constexpr std::size_t kCount = 100000;

struct TTown {
  AnsiString Country;
  AnsiString City;
  double Lat;
};

const std::vector<TTown>& Towns() {
  static const std::vector<TTown> towns = [] {
    std::vector<TTown> result;
    result.reserve(kCount);
    orv::SyntheticTownGenerator generator(1);
    for (std::size_t i = 0; i < kCount; ++i) {
      const orv::TownRecord town = generator.Next();
      result.push_back({town.Country, town.City, town.Lat});
    }
    return result;
  }();
  return towns;
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
    const auto& towns = Towns();
    BeginUpdate();
    SetRecordCount(Integer(towns.size()));
    for (std::size_t i = 0; i < towns.size(); ++i) {
      SetValue(Integer(i), 0, Variant(towns[i].Country));
      SetValue(Integer(i), 1, Variant(towns[i].City));
      SetValue(Integer(i), 2, Variant(towns[i].Lat));
    }
    EndUpdate();
    TcxDataSummary* summary = GetSummary();
    summary->GetDefaultGroupSummaryItems()->AddItem(nullptr, spGroup, skCount, "");
    summary->GetDefaultGroupSummaryItems()->AddItem(FItems[2], spGroup, skAverage, "");
    summary->GetFooterSummaryItems()->AddItem(FItems[2], spFooter, skAverage, "");
    GetGroups()->ChangeGroupIndex(0, 0);
  }
  TObject* GetItem(Integer index) override { return FItems.at(std::size_t(index)); }
  void BeforeDestruction() override {
    inherited::BeforeDestruction();
    for (TObject* item : FItems) item->Free();
  }

 private:
  std::vector<TObject*> FItems;
};

using TControllerPtr = std::unique_ptr<TTownController, orv::FreeDeleter>;

void BM_Baseline_SortAndCountByCountry(benchmark::State& state) {
  const auto& towns = Towns();
  for (auto _ : state) {
    std::vector<std::pair<const AnsiString*, Integer>> keys;
    keys.reserve(towns.size());
    for (std::size_t i = 0; i < towns.size(); ++i) keys.emplace_back(&towns[i].Country, Integer(i));
    std::sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) {
      const int c = a.first->compare(*b.first);
      return c != 0 ? c < 0 : a.second < b.second;
    });
    Integer groups = 0;
    double sum = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
      if (i == 0 || *keys[i].first != *keys[i - 1].first) ++groups;
      sum += towns[std::size_t(keys[i].second)].Lat;
    }
    benchmark::DoNotOptimize(groups);
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_Baseline_SortAndCountByCountry)->Unit(benchmark::kMillisecond);

void BM_Controller_RebuildGroupedWithSummaries(benchmark::State& state) {
  TControllerPtr controller(new TTownController);
  for (auto _ : state) {
    controller->Refresh();
    benchmark::DoNotOptimize(controller->GetRowCount());
  }
}
BENCHMARK(BM_Controller_RebuildGroupedWithSummaries)->Unit(benchmark::kMillisecond);

void BM_Controller_RebuildGroupedAllExpanded(benchmark::State& state) {
  TControllerPtr controller(new TTownController);
  controller->GetGroups()->FullExpand();
  for (auto _ : state) {
    controller->Refresh();
    benchmark::DoNotOptimize(controller->GetRowCount());
  }
  if (controller->GetRowCount() <= Integer(kCount)) state.SkipWithError("the groups did not stay expanded");
}
BENCHMARK(BM_Controller_RebuildGroupedAllExpanded)->Unit(benchmark::kMillisecond);

}  // namespace
