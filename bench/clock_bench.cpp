// Time and heap use of ApplyClockWord and CheckWatch on the simulated handheld. Each apply maps
// the clock register, writes CCCR and CLKCFG and refreshes the icon; the program's own heap
// allocations per call must stay at 0.
#include <benchmark/benchmark.h>

#include "app/startup.h"
#include "base/state.h"
#include "bench/heap/heap_count.h"
#include "clock/apply.h"
#include "tests/harness.h"

namespace {

void StartProgram(std::uint32_t view) {
  harness::FreshDevice();
  harness::Start();  // starts, adds the tray icon, ends with the script
  AppState.IconView = view;
  bench::ResetProgramHeapAllocations();
}

void Finish(benchmark::State& state) {
  state.counters["heap_allocs_per_call"] = static_cast<double>(bench::ProgramHeapAllocations()) /
                                           static_cast<double>(state.iterations());
  state.counters["live_icons"] = sim::Live().Icons;
  sim::Device().Log.Calls.clear();
}

// Alternates two words, so that in the Frequency view every apply draws a new icon.
void BM_ApplyClockWord(benchmark::State& state) {
  StartProgram(static_cast<std::uint32_t>(state.range(0)));
  std::uint32_t calls = 0;
  for (auto _ : state) {
    ApplyClockWord((calls & 1) != 0 ? 0x2000290 : 0x2000110);
    // The simulated platform logs every call; keep that log from filling memory.
    if (++calls % 4096 == 0) sim::Device().Log.Calls.clear();
  }
  Finish(state);
}
BENCHMARK(BM_ApplyClockWord)->ArgName("view")->Arg(ViewPlain)->Arg(ViewFrequency);

// A watch tick: with the register unchanged it only reads; changed, it also re-applies.
void BM_CheckWatch(benchmark::State& state) {
  StartProgram(ViewFrequency);
  const bool changed = state.range(0) != 0;
  std::uint32_t calls = 0;
  for (auto _ : state) {
    if (changed) sim::Device().Cpu.Cccr = AppState.CurrentClockWord ^ 1;
    CheckWatch();
    if (++calls % 4096 == 0) sim::Device().Log.Calls.clear();
  }
  Finish(state);
}
BENCHMARK(BM_CheckWatch)->ArgName("changed")->Arg(0)->Arg(1);

}  // namespace
