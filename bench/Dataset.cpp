// links: platform_dataset
// Walking a dataset from First to EOF reading one field per record, against a plain loop over the
// same stored records. The time per record must stay flat from 10 000 to 1 000 000 records (O(1)
// per step) and the walk must allocate nothing per record ("allocs" counts heap allocations per
// walk, whatever the size).
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <new>

#include "platform/dataset/DataSource.h"
#include "platform/dataset/tests/ArrayDataSet.h"

// The replacement operators pair malloc with free; the compiler cannot see that through them.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {
std::atomic<long> gAllocations{0};
}

void* operator new(std::size_t size) {
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

using orvtest::TArrayDataSet;

// A link like the data controller's: one row, counting the records it is told it moved.
class TCountingLink : public TDataLink {
 public:
  Int64 Moved = 0;

 protected:
  void DataSetScrolled(Integer distance) override { Moved += distance; }
  void DataSetChanged() override {}
};

struct Fixture {
  TComponent* Root;
  TArrayDataSet* DataSet;
  TDataSource* Source;
  TCountingLink* Link;

  Fixture(int count, int bufferCount) {
    Root = new TComponent(nullptr);
    DataSet = new TArrayDataSet(Root);
    DataSet->GetFieldDefs().Add("ID", ftInteger);
    DataSet->GetFieldDefs().Add("NAME", ftString, 20);
    DataSet->Records.reserve(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i) DataSet->AddRow({i, "Town"});
    Source = new TDataSource(Root);
    Source->SetDataSet(DataSet);
    Link = new TCountingLink;
    Link->SetBufferCount(bufferCount);
    Link->SetDataSource(Source);
    DataSet->Open();
  }
  ~Fixture() {
    orv::Free(Link);
    Root->Free();
  }
};

Fixture& Get(int count, int bufferCount) {
  static std::map<std::pair<int, int>, std::unique_ptr<Fixture>> cache;
  auto& slot = cache[{count, bufferCount}];
  if (!slot) slot = std::make_unique<Fixture>(count, bufferCount);
  return *slot;
}

// Baseline: the same records, read straight from storage.
void BM_PlainLoop(benchmark::State& state) {
  Fixture& f = Get(static_cast<int>(state.range(0)), 1);
  for (auto _ : state) {
    Int64 sum = 0;
    for (const auto& r : f.DataSet->Records) {
      Integer id;
      std::memcpy(&id, r.Data.data() + 1, 4);
      sum += id;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void Walk(benchmark::State& state, int bufferCount) {
  Fixture& f = Get(static_cast<int>(state.range(0)), bufferCount);
  TField* id = f.DataSet->FieldByName("ID");
  long allocations = 0;
  for (auto _ : state) {
    const long before = gAllocations.load(std::memory_order_relaxed);
    Int64 sum = 0;
    f.DataSet->First();
    while (!f.DataSet->GetEOF()) {
      sum += id->GetAsInteger();
      f.DataSet->Next();
    }
    allocations += gAllocations.load(std::memory_order_relaxed) - before;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["allocs"] = benchmark::Counter(static_cast<double>(allocations) /
                                                static_cast<double>(state.iterations()));
}

void BM_DataSetWalk(benchmark::State& state) { Walk(state, 1); }
// A grid showing 30 rows: a larger ring, the same cost per step.
void BM_DataSetWalkRing30(benchmark::State& state) { Walk(state, 30); }

BENCHMARK(BM_PlainLoop)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DataSetWalk)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DataSetWalkRing30)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
