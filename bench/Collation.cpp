// links: platform_runtime
// Sorting 100 000 Russian town names by the locale's collation, comparing level by level on every
// comparison and through sort keys made once, against a plain byte-wise sort of the same list.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Collation.h"
#include "platform/runtime/SysUtils.h"

namespace {

// Real town names, widened to 100 000 entries with the prefixes, suffixes and numbers that
// real place names carry, then shuffled.
const std::vector<AnsiString>& Names() {
  static const std::vector<AnsiString> names = [] {
    std::vector<AnsiString> base;
    std::ifstream in(std::string(ORV_SOURCE_DIR) + "/platform/runtime/tests/fixtures/russian-towns.txt");
    std::string line;
    while (std::getline(in, line))
      if (!line.empty() && line[0] != '#') base.push_back(orv::Utf8ToAnsi(line));
    if (base.empty()) base.push_back("Москва"_a);
    const AnsiString prefixes[] = {"", "Новый "_a, "Старый "_a, "Верхний "_a, "Нижний "_a, "Малый "_a, "Большой "_a};
    const AnsiString suffixes[] = {"", "-1", "ка"_a, "ское"_a, "-на-Волге"_a, "-Сибирский"_a, " Посад"_a};
    std::vector<AnsiString> out;
    out.reserve(100000);
    for (std::size_t i = 0; out.size() < 100000; ++i) {
      AnsiString name = prefixes[i % 7] + base[(i / 7) % base.size()] + suffixes[(i / (7 * base.size())) % 7];
      const std::size_t round = i / (49 * base.size());
      if (round > 0) name += " " + std::to_string(round + 1);
      if (i % 5 == 0) name = AnsiUpperCase(name);
      out.push_back(std::move(name));
    }
    std::mt19937 random(100000);
    std::shuffle(out.begin(), out.end(), random);
    return out;
  }();
  return names;
}

void BM_SortBytewise(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<AnsiString> list = Names();
    std::sort(list.begin(), list.end());
    benchmark::DoNotOptimize(list.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(Names().size()));
}
BENCHMARK(BM_SortBytewise)->Unit(benchmark::kMillisecond);

void BM_SortCollatePerComparison(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<AnsiString> list = Names();
    std::sort(list.begin(), list.end(), [](const AnsiString& a, const AnsiString& b) { return AnsiCompareStr(a, b) < 0; });
    benchmark::DoNotOptimize(list.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(Names().size()));
}
BENCHMARK(BM_SortCollatePerComparison)->Unit(benchmark::kMillisecond);

void BM_SortCollateSortKeys(benchmark::State& state) {
  for (auto _ : state) {
    const std::vector<AnsiString>& names = Names();
    // Keys are made inside the timed loop: their cost is part of sorting this way.
    std::vector<std::pair<std::string, const AnsiString*>> keyed;
    keyed.reserve(names.size());
    for (const AnsiString& name : names) keyed.emplace_back(orv::AnsiSortKey(name), &name);
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<AnsiString> list;
    list.reserve(keyed.size());
    for (const auto& k : keyed) list.push_back(*k.second);
    benchmark::DoNotOptimize(list.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(Names().size()));
}
BENCHMARK(BM_SortCollateSortKeys)->Unit(benchmark::kMillisecond);

}  // namespace
