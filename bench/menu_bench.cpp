// Time and heap use of ShowTrayMenu (the full menu of a PXA27x with eight presets) and of
// HandleMenuCommand over a round of cheap, repeatable commands, on the simulated handheld.
// The program's own heap allocations per call must stay at 0.
#include <benchmark/benchmark.h>

#include <iterator>

#include "app/commands.h"
#include "app/startup.h"
#include "base/ids.h"
#include "base/state.h"
#include "bench/arrange.h"
#include "bench/heap/heap_count.h"
#include "menu/tray_menu.h"
#include "tests/harness.h"

namespace {

constexpr int CallsBetweenResets = 512;  // the simulated platform's logs grow with every call

void BM_ShowTrayMenu(benchmark::State& state) {
  sim::Reset();
  ArrangeFullMenu();
  bench::ResetProgramHeapAllocations();
  std::uint64_t allocations = 0;
  int calls = 0;
  for (auto _ : state) {
    ShowTrayMenu(plat::Window(1));
    if (++calls % CallsBetweenResets == 0) {
      state.PauseTiming();
      allocations += bench::ProgramHeapAllocations();
      sim::Reset();
      bench::ResetProgramHeapAllocations();
      state.ResumeTiming();
    }
  }
  allocations += bench::ProgramHeapAllocations();
  state.counters["heap_allocs_per_call"] =
      static_cast<double>(allocations) / static_cast<double>(state.iterations());
  sim::Reset();
}
BENCHMARK(BM_ShowTrayMenu);

void StartProgram() {
  harness::FreshDevice();
  harness::Start();
  bench::ResetProgramHeapAllocations();
}

void BM_HandleMenuCommand(benchmark::State& state) {
  static constexpr int Round[] = {IDM_COLOR_RED, IDM_COLOR_YELLOW,    IDM_TEMPO_HALF,
                                  IDM_TEMPO_1S,  IDM_STORE_FIRST,     IDM_CLEAR_FIRST,
                                  IDM_ROTATE_90, IDM_ROTATE_0,        IDM_WATCH,
                                  IDM_WATCH,     IDM_FREQUENCY_ANCHOR};
  StartProgram();
  std::uint64_t allocations = 0;
  int calls = 0;
  for (auto _ : state) {
    const int id = Round[calls % std::size(Round)];
    benchmark::DoNotOptimize(
        HandleMenuCommand(AppState.MainWindow, static_cast<plat::WParam>(id), 0));
    if (++calls % CallsBetweenResets == 0) {
      state.PauseTiming();
      allocations += bench::ProgramHeapAllocations();
      StartProgram();
      state.ResumeTiming();
    }
  }
  allocations += bench::ProgramHeapAllocations();
  state.counters["heap_allocs_per_call"] =
      static_cast<double>(allocations) / static_cast<double>(state.iterations());
  sim::Reset();
}
BENCHMARK(BM_HandleMenuCommand);

}  // namespace
