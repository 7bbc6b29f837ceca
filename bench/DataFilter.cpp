// links: components_data tools
// Evaluating filter criteria over 100,000 synthetic town records held as variants: a coordinate
// window (two BETWEEN conditions and a NOT OR group of exclusions) and a name filter (an equal
// and a LIKE condition in an OR group). The baseline tests the same conditions written by hand
// over the same variants (CompareVariants, LikeMatches) in the same run. Each reports time per
// record and heap allocations per record (counted by this program's operator new): the
// criteria's own machinery allocates nothing per record; copying a string value into a variant
// (the record value handed to a condition) costs what the variant type costs.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "components/data/cxFilter.h"
#include "platform/runtime/AnsiString.h"
#include "tools/SyntheticTownTable.h"

// The replaced operators below pair malloc with free; GCC cannot see that through inlining.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

std::atomic<std::size_t> gAllocations{0};

}  // namespace

void* operator new(std::size_t size) {
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

constexpr Integer kRecords = 100000;
enum { colCountry, colCity, colLon, colLat, colCount };

const std::vector<std::vector<Variant>>& Rows() {
  static const std::vector<std::vector<Variant>> rows = [] {
    std::vector<std::vector<Variant>> result;
    result.reserve(kRecords);
    orv::SyntheticTownGenerator generator(7);
    for (Integer i = 0; i < kRecords; ++i) {
      const orv::TownRecord town = generator.Next();
      result.push_back({Variant(town.Country), Variant(town.City), Variant(town.Lon), Variant(town.Lat)});
    }
    return result;
  }();
  return rows;
}

class TBenchField : public TObject {
  ORV_CLASS(TBenchField, TObject)
 public:
  explicit TBenchField(Integer column) : Column(column) {}
  Integer Column;
};

class TBenchItem : public TcxFilterCriteriaItem {
  ORV_CLASS(TBenchItem, TcxFilterCriteriaItem)
 public:
  TBenchItem(TcxFilterCriteriaItemList* parent, TObject* link, TcxFilterOperatorCode code, const Variant& value,
             const AnsiString& displayValue)
      : TcxFilterCriteriaItem(parent, link, code, value, displayValue) {}
  void GetDataValue(Integer recordIndex, Variant& value) override {
    value = Rows()[std::size_t(recordIndex)][std::size_t(static_cast<TBenchField*>(GetLinkedItem())->Column)];
  }
  AnsiString GetFieldCaption() override { return AnsiString(); }
  AnsiString GetFieldName() override { return AnsiString(); }
};

class TBenchCriteria : public TcxFilterCriteria {
  ORV_CLASS(TBenchCriteria, TcxFilterCriteria)
 public:
  TBenchCriteria() {
    for (Integer i = 0; i < colCount; ++i) FFields.push_back(new TBenchField(i));
  }
  ~TBenchCriteria() override {
    for (TBenchField* f : FFields) f->Free();
  }
  TBenchField* Field(Integer column) { return FFields[std::size_t(column)]; }
  Integer GetIDByItemLink(TObject* link) override { return static_cast<TBenchField*>(link)->Column; }
  AnsiString GetNameByItemLink(TObject*) override { return AnsiString(); }
  TObject* GetItemLinkByID(Integer id) override { return id >= 0 && id < colCount ? FFields[std::size_t(id)] : nullptr; }
  TObject* GetItemLinkByName(const AnsiString&) override { return nullptr; }
  TcxFilterCriteriaItemClass GetItemClass() override { return TBenchItem::StaticClass(); }

 private:
  std::vector<TBenchField*> FFields;
};

void BuildWindow(TBenchCriteria* criteria) {
  criteria->AddItem(nullptr, criteria->Field(colLon), focBetween, MakeVariantPair(20.0, 60.0), "");
  criteria->AddItem(nullptr, criteria->Field(colLat), focBetween, MakeVariantPair(40.0, 70.0), "");
  TcxFilterCriteriaItemList* none = criteria->GetRoot()->AddGroup(fbcNotOr);
  criteria->AddItem(none, criteria->Field(colLat), focGreater, 65.0, "");
  criteria->AddItem(none, criteria->Field(colLon), focLess, 21.0, "");
}

void BuildNames(TBenchCriteria* criteria) {
  TcxFilterCriteriaItemList* any = criteria->GetRoot()->AddGroup(fbcOr);
  criteria->AddItem(any, criteria->Field(colCountry), focEqual, Rows()[0][colCountry], "");
  criteria->AddItem(any, criteria->Field(colCity), focLike, "А%"_a, "");
}

template <class Test>
void Run(benchmark::State& state, Test&& test) {
  Rows();
  std::size_t accepted = 0, records = 0;
  const std::size_t before = gAllocations.load();
  for (auto _ : state) {
    for (Integer i = 0; i < kRecords; ++i) accepted += test(i) ? 1 : 0;
    records += kRecords;
  }
  state.counters["allocs/record"] = double(gAllocations.load() - before) / double(records);
  state.counters["ns/record"] = benchmark::Counter(double(records), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  benchmark::DoNotOptimize(accepted);
}

void BM_WindowCriteria(benchmark::State& state) {
  TBenchCriteria* criteria = new TBenchCriteria;
  BuildWindow(criteria);
  Run(state, [&](Integer i) { return criteria->EvaluateRecord(i); });
  criteria->Free();
}

void BM_WindowByHand(benchmark::State& state) {
  const Variant lon0 = 20.0, lon1 = 60.0, lat0 = 40.0, lat1 = 70.0, latMax = 65.0, lonMin = 21.0;
  Variant lon, lat;
  Run(state, [&](Integer i) {
    lon = Rows()[std::size_t(i)][colLon];
    lat = Rows()[std::size_t(i)][colLat];
    return CompareVariants(lon0, lon) <= 0 && CompareVariants(lon, lon1) <= 0 && CompareVariants(lat0, lat) <= 0 &&
           CompareVariants(lat, lat1) <= 0 && !(CompareVariants(lat, latMax) > 0) && !(CompareVariants(lon, lonMin) < 0);
  });
}

void BM_NameCriteria(benchmark::State& state) {
  TBenchCriteria* criteria = new TBenchCriteria;
  BuildNames(criteria);
  Run(state, [&](Integer i) { return criteria->EvaluateRecord(i); });
  criteria->Free();
}

void BM_NameByHand(benchmark::State& state) {
  const Variant country = Rows()[0][colCountry];
  const AnsiString pattern = "А%"_a;
  Variant value;
  Run(state, [&](Integer i) {
    value = Rows()[std::size_t(i)][colCountry];
    const bool sameCountry = CompareVariants(value, country) == 0;
    value = Rows()[std::size_t(i)][colCity];
    return sameCountry || LikeMatches(VarToStr(value), pattern);
  });
}

}  // namespace

BENCHMARK(BM_WindowByHand)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowCriteria)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NameByHand)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NameCriteria)->Unit(benchmark::kMillisecond);
