// The tool dialogs' fills on the simulated handheld: the information tree, and the process list
// with 200 processes. Counts the program's own heap allocations alongside the time.
#include <benchmark/benchmark.h>

#include "base/ids.h"
#include "base/state.h"
#include "bench/arrange.h"
#include "bench/heap/heap_count.h"
#include "info/info_tree.h"
#include "platform/dialogs.h"
#include "procview/process_list.h"
#include "tests/harness.h"

namespace {

void BM_FillInfoTree(benchmark::State& state) {
  harness::FreshDevice();
  AppState.Capabilities.PowerStatusAvailable = 1;
  WithControl(IDD_INFO, [&state](plat::Window tree) {
    bench::ResetProgramHeapAllocations();
    for (auto _ : state) FillInfoTree(tree);
    state.counters["allocations"] = static_cast<double>(bench::ProgramHeapAllocations());
  });
}
BENCHMARK(BM_FillInfoTree);

void BM_FillProcessList200(benchmark::State& state) {
  harness::FreshDevice();
  ArrangeProcesses(200);
  WithControl(IDD_PROCESSES, [&state](plat::Window list) {
    bench::ResetProgramHeapAllocations();
    for (auto _ : state) FillProcessList(list);
    state.counters["allocations"] = static_cast<double>(bench::ProgramHeapAllocations());
  });
}
BENCHMARK(BM_FillProcessList200);

}  // namespace
