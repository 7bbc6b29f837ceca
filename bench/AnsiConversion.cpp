// links: platform_runtime
// Converting a screenful of Windows-1251 text to UTF-8 at the drawing edge, against a plain copy.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/runtime/AnsiString.h"

namespace {

AnsiString MakeSample() {
  AnsiString s;
  while (s.size() < 4096) s += "Российская Федерация Москва 37в37 55с45 "_a;
  return s;
}

const AnsiString& Sample() {
  static const AnsiString text = MakeSample();
  return text;
}

void BM_PlainCopy(benchmark::State& state) {
  for (auto _ : state) {
    std::string copy = Sample();
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetBytesProcessed(state.iterations() * Sample().size());
}
BENCHMARK(BM_PlainCopy);

void BM_AnsiToUtf8(benchmark::State& state) {
  for (auto _ : state) {
    std::string utf8 = orv::AnsiToUtf8(Sample());
    benchmark::DoNotOptimize(utf8.data());
  }
  state.SetBytesProcessed(state.iterations() * Sample().size());
}
BENCHMARK(BM_AnsiToUtf8);

}  // namespace
