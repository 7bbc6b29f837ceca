// links: platform_runtime
// Containers stay linear: the cost per element of filling and emptying a TList, a TStringList
// (unsorted, sorted from ordered and from shuffled text), a TCollection and a component owner
// must not grow with the number of elements. Compare the per-item times across sizes; the
// baseline is a std::vector<void*> filled in the same run. (Large sizes pay fresh pages for
// every big allocation: compare each row with the baseline of the same size.)
//
// The component owner is the exception: every insert notice goes to all components already
// owned, as the component protocol says, so filling one owner grows with the square of its
// size. Forms own tens to hundreds of components; names are found through a hash index.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/runtime/Collection.h"
#include "platform/runtime/Component.h"
#include "platform/runtime/Lists.h"
#include "platform/runtime/Strings.h"

namespace {

void BM_VectorBaseline(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<void*> v;
    for (int i = 0; i < state.range(0); ++i) v.push_back(&v);
    benchmark::DoNotOptimize(v.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_VectorBaseline)->Range(1 << 10, 1 << 17);

void BM_ListAddThenDeleteFromTheEnd(benchmark::State& state) {
  for (auto _ : state) {
    TList list;
    for (int i = 0; i < state.range(0); ++i) list.Add(&list);
    while (list.GetCount() > 0) list.Delete(list.GetCount() - 1);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ListAddThenDeleteFromTheEnd)->Range(1 << 10, 1 << 17);

AnsiString Lines(int n, bool shuffled) {
  std::vector<int> order(n);
  for (int i = 0; i < n; ++i) order[i] = i;
  if (shuffled) std::shuffle(order.begin(), order.end(), std::mt19937(7));
  AnsiString text;
  char buf[32];
  for (int i : order) {
    std::snprintf(buf, sizeof buf, "Town%08d\r\n", i);
    text += buf;
  }
  return text;
}

void BM_StringListText(benchmark::State& state) {
  const bool sorted = state.range(1) != 0, shuffled = state.range(2) != 0;
  const AnsiString text = Lines(static_cast<int>(state.range(0)), shuffled);
  for (auto _ : state) {
    TStringList list;
    list.SetSorted(sorted);
    list.SetText(text);
    benchmark::DoNotOptimize(list.GetCount());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StringListText)
    ->ArgsProduct({{1 << 10, 1 << 13, 1 << 16}, {0, 1}, {0, 1}})
    ->ArgNames({"n", "sorted", "shuffled"});

void BM_SortedStringListAddInOrder(benchmark::State& state) {
  std::vector<AnsiString> names;
  for (int i = 0; i < state.range(0); ++i) names.push_back("Town" + std::to_string(1000000 + i));
  for (auto _ : state) {
    TStringList list;
    list.SetSorted(true);
    for (const auto& n : names) list.Add(n);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SortedStringListAddInOrder)->Range(1 << 10, 1 << 16);

class TBenchItem : public TCollectionItem {
  ORV_CLASS(TBenchItem, TCollectionItem)
 public:
  explicit TBenchItem(TCollection* c) : TCollectionItem(c) {}
};

void BM_CollectionAddThenFree(benchmark::State& state) {
  for (auto _ : state) {
    auto* c = new TCollection(TBenchItem::StaticClass());
    for (int i = 0; i < state.range(0); ++i) c->Add();
    c->Free();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CollectionAddThenFree)->Range(1 << 10, 1 << 16);

void BM_OwnerOfNamedComponents(benchmark::State& state) {
  for (auto _ : state) {
    auto* owner = new TComponent(nullptr);
    for (int i = 0; i < state.range(0); ++i) (new TComponent(owner))->SetName("Item" + std::to_string(i));
    benchmark::DoNotOptimize(owner->FindComponent("Item1"));
    owner->Free();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_OwnerOfNamedComponents)->Range(1 << 6, 1 << 12);

}  // namespace
