// links: platform_windowing
//
// Messages per second through SendMessage and through PostMessage + PeekMessage +
// DispatchMessage, against a direct call of the window procedure (the baseline); the same with
// many windows alive, and timer messages with many timers running, to show that looking up a
// window and finding the due timer do not grow with their number.
//
//   build/bench/bench_Windowing --benchmark_min_time=0.2
// Compare BM_Send and BM_PostDispatch with BM_DirectCall; BM_Send/<windows> and
// BM_TimerDispatch/<timers> should stay flat as the argument grows.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/windowing/Headless.h"

namespace {

LRESULT Counter(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  static volatile LRESULT sink = 0;
  if (m == WM_USER || m == WM_TIMER) {
    sink = sink + LRESULT(wp);
    return sink;
  }
  return DefWindowProc(w, m, wp, lp);
}

HWND Setup(int extraWindows) {
  orv::headless::Reset();
  WNDCLASS wc{};
  if (!GetClassInfo(nullptr, "BenchCounter", &wc)) {
    wc.lpfnWndProc = Counter;
    wc.lpszClassName = "BenchCounter";
    RegisterClass(&wc);
  }
  for (int i = 0; i < extraWindows; ++i)
    CreateWindowEx(0, "BenchCounter", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  return CreateWindowEx(0, "BenchCounter", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                        nullptr);
}

void BM_DirectCall(benchmark::State& state) {
  HWND w = Setup(0);
  WNDPROC proc = reinterpret_cast<WNDPROC>(GetWindowLongPtr(w, GWLP_WNDPROC));
  WPARAM i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(proc(w, WM_USER, ++i, 0));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DirectCall);

void BM_Send(benchmark::State& state) {
  HWND w = Setup(int(state.range(0)));
  WPARAM i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(SendMessage(w, WM_USER, ++i, 0));
  state.SetItemsProcessed(state.iterations());
  orv::headless::Reset();
}
BENCHMARK(BM_Send)->Arg(1)->Arg(1000)->Arg(100000);

void BM_PostDispatch(benchmark::State& state) {
  HWND w = Setup(int(state.range(0)));
  WPARAM i = 0;
  MSG m;
  for (auto _ : state) {
    PostMessage(w, WM_USER, ++i, 0);
    PeekMessage(&m, nullptr, 0, 0, PM_REMOVE);
    benchmark::DoNotOptimize(DispatchMessage(&m));
  }
  state.SetItemsProcessed(state.iterations());
  orv::headless::Reset();
}
BENCHMARK(BM_PostDispatch)->Arg(1)->Arg(1000)->Arg(100000);

// One timer due every 10 ms among `timers` others that never fall due during the run.
void BM_TimerDispatch(benchmark::State& state) {
  HWND w = Setup(0);
  for (int i = 0; i < state.range(0); ++i) SetTimer(w, UINT_PTR(1000 + i), 0x7FFFFFF, nullptr);
  SetTimer(w, 1, 10, nullptr);
  MSG m;
  for (auto _ : state) {
    orv::AdvanceClock(10);
    PeekMessage(&m, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE);
    benchmark::DoNotOptimize(DispatchMessage(&m));
  }
  state.SetItemsProcessed(state.iterations());
  orv::headless::Reset();
}
BENCHMARK(BM_TimerDispatch)->Arg(1)->Arg(1000)->Arg(100000);

}  // namespace
