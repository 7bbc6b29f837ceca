// links: components_foundation
// Invalidating the links of one dying object while many other links are live: the links are
// grouped per object, so the cost should stay flat as the number of live links grows. Baseline:
// the linear scan over every live link that a single list of links needs, in the same run.
#include <benchmark/benchmark.h>

#include <vector>

#include "components/foundation/cxClasses.h"

namespace {

// Object links compare addresses only; slots of this array stand in for objects.
std::vector<char> gObjects(1 << 20);
TObject* ObjectAt(std::size_t i) { return reinterpret_cast<TObject*>(&gObjects[i]); }

// One link on each of `count` objects, plus one link on the object that dies each iteration.
void BM_InvalidateObjectLinks(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  std::vector<TcxObjectLink*> links;
  for (std::size_t i = 1; i <= count; ++i) links.push_back(CreateObjectLink(ObjectAt(i)));
  for (auto _ : state) {
    TcxObjectLink* link = CreateObjectLink(ObjectAt(0));
    InvalidateObjectLinks(ObjectAt(0));
    benchmark::DoNotOptimize(link->Ref);
    ReleaseObjectLink(link);
  }
  for (auto& link : links) ReleaseObjectLink(link);
}
BENCHMARK(BM_InvalidateObjectLinks)->Arg(100)->Arg(10000)->Arg(100000);

// The baseline: one list of every live link, scanned from the last to the first.
void BM_ScanEveryLinkBaseline(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  struct Link {
    TObject* Ref;
  };
  std::vector<Link*> list;
  for (std::size_t i = 1; i <= count; ++i) list.push_back(new Link{ObjectAt(i)});
  for (auto _ : state) {
    list.push_back(new Link{ObjectAt(0)});
    Link* dying = list.back();
    for (std::size_t i = list.size(); i-- > 0;)
      if (list[i]->Ref == ObjectAt(0)) {
        list[i]->Ref = nullptr;
        list.erase(list.begin() + std::ptrdiff_t(i));
      }
    benchmark::DoNotOptimize(dying->Ref);
    delete dying;
  }
  for (Link* link : list) delete link;
}
BENCHMARK(BM_ScanEveryLinkBaseline)->Arg(100)->Arg(10000)->Arg(100000);

}  // namespace
