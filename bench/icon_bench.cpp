// Time and heap use of RefreshTrayIcon on the simulated handheld, per view and icon scale.
// Numeric views are forced to draw on every call, so each iteration builds and hands over a
// whole icon; the program's own heap allocations per call must stay at 0.
#include <benchmark/benchmark.h>

#include "app/startup.h"
#include "base/state.h"
#include "bench/heap/heap_count.h"
#include "icon/picture.h"
#include "icon/refresh.h"
#include "tests/harness.h"

namespace {

void BM_RefreshTrayIcon(benchmark::State& state) {
  const auto view = static_cast<std::uint32_t>(state.range(0));
  harness::FreshDevice();
  harness::Start();  // starts, adds the tray icon, ends with the script
  AppState.IconView = view;
  AppState.IconScale = static_cast<std::int32_t>(state.range(1));
  const bool numeric = view != ViewPlain && view != ViewLoad;

  bench::ResetProgramHeapAllocations();
  std::uint32_t calls = 0;
  for (auto _ : state) {
    if (numeric) AppState.ForceIconRedraw = 1;
    RefreshTrayIcon();
    // The simulated platform logs every call; keep that log from filling memory.
    if (++calls % 4096 == 0) sim::Device().Log.Calls.clear();
  }
  state.counters["heap_allocs_per_call"] = static_cast<double>(bench::ProgramHeapAllocations()) /
                                           static_cast<double>(state.iterations());
  state.counters["live_icons"] = sim::Live().Icons;
  state.counters["live_bitmaps"] = sim::Live().Bitmaps;
  sim::Device().Log.Calls.clear();
}

void Views(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgNames({"view", "scale"});
  for (int view = ViewPlain; view < int{IconViewCount}; ++view) {
    for (int scale : {1, 2}) benchmark->Args({view, scale});
  }
}

BENCHMARK(BM_RefreshTrayIcon)->Apply(Views);

// The pixel work alone, without the platform's bitmap and icon objects.
void BM_DrawNumberIcon(benchmark::State& state) {
  ResetAppState();
  AppState.IconScale = static_cast<std::int32_t>(state.range(0));
  IconPicture picture;
  int value = 0;
  for (auto _ : state) {
    DrawNumberIcon(value, &picture);
    benchmark::DoNotOptimize(picture);
    value = (value + 137) % 2000 - 500;  // one to three digits, thousands and negatives
  }
}
BENCHMARK(BM_DrawNumberIcon)->ArgName("scale")->Arg(1)->Arg(2);

void BM_DrawGraphIcon(benchmark::State& state) {
  ResetAppState();
  AppState.IconScale = static_cast<std::int32_t>(state.range(0));
  for (int i = 0; i < SampleHistoryLength; ++i) AppState.SampleHistory[i] = (i * 37) % 101;
  IconPicture picture;
  for (auto _ : state) {
    DrawGraphIcon(&picture);
    benchmark::DoNotOptimize(picture);
  }
}
BENCHMARK(BM_DrawGraphIcon)->ArgName("scale")->Arg(1)->Arg(2);

}  // namespace

BENCHMARK_MAIN();
