// Runs one benchmark operation a fixed number of times on the simulated handheld, for
// bench/instruction_counts.sh: callgrind collects only between the two toggles around the
// measured calls; with --core, also not while the simulated platform runs. Prints "calls pixels
// program_allocations all_allocations" for the script to divide.
#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/commands.h"
#include "app/startup.h"
#include "base/ids.h"
#include "base/state.h"
#include "bench/arrange.h"
#include "bench/heap/heap_count.h"
#include "clock/apply.h"
#include "icon/refresh.h"
#include "info/info_tree.h"
#include "menu/tray_menu.h"
#include "platform/dialogs.h"
#include "platform/resources.h"
#include "procview/process_list.h"
#include "tests/harness.h"

namespace {

// Calls before measuring, so that the simulated platform's containers reach their working size.
constexpr int WarmUpCalls = 3;
constexpr int MenuWarmUpCalls = 17;  // the simulated menus keep the latest 16 tracked menus

bool measuring = false;  // inside the measured calls

// Pauses collection inside the simulated platform and resumes it on the way out.
void ToggleAtPlatformBoundary() {
  if (measuring) CALLGRIND_TOGGLE_COLLECT;
}

struct Measurement {
  std::uint64_t programAllocations = 0;
  std::uint64_t allAllocations = 0;
};

// Repeats `call` after a warm-up, collecting instructions and counting allocations meanwhile.
template <typename Call>
Measurement Measure(int calls, Call call, int warmUpCalls = WarmUpCalls) {
  for (int i = 0; i < warmUpCalls; ++i) call(i);
  sim::Device().Log.Calls.clear();
  bench::ResetProgramHeapAllocations();
  const std::uint64_t allBefore = bench::AllHeapAllocations();
  CALLGRIND_TOGGLE_COLLECT;
  measuring = true;
  for (int i = 0; i < calls; ++i) call(i);
  measuring = false;
  CALLGRIND_TOGGLE_COLLECT;
  return {bench::ProgramHeapAllocations(), bench::AllHeapAllocations() - allBefore};
}

void StartProgram(std::uint32_t view) {
  harness::FreshDevice();
  harness::Start();  // starts, adds the tray icon, ends with the script
  AppState.IconView = view;
}

// Start-up alone: collection runs from the entry until the first wait for a message, where the
// script's first action runs.
Measurement MeasureStartUp() {
  harness::FreshDevice();
  sim::Resources();  // the simulated loader reads the resource script once per process
  sim::After(0, [] { CALLGRIND_TOGGLE_COLLECT; });
  bench::ResetProgramHeapAllocations();
  const std::uint64_t allBefore = bench::AllHeapAllocations();
  CALLGRIND_TOGGLE_COLLECT;
  harness::Start();
  return {bench::ProgramHeapAllocations(), bench::AllHeapAllocations() - allBefore};
}

int Usage() {
  std::fprintf(
      stderr,
      "usage: zorvik_icount [--core] refresh VIEW SCALE CALLS | menu CALLS | command CALLS |\n"
      "       apply CALLS | watch CALLS | info CALLS | processes CALLS | startup\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--core") == 0) {
    sim::PlatformBoundaryHook = &ToggleAtPlatformBoundary;
    ++argv;
    --argc;
  }
  if (argc < 2) return Usage();
  const std::string operation = argv[1];
  auto number = [&](int index) { return index < argc ? std::atoi(argv[index]) : 0; };
  int calls = 1;
  int pixels = 0;
  Measurement result;
  if (operation == "refresh" && argc == 5) {
    const auto view = static_cast<std::uint32_t>(number(2));
    const int scale = number(3);
    calls = number(4);
    StartProgram(view);
    AppState.IconScale = scale;
    const bool numeric = view != ViewPlain && view != ViewLoad;
    if (numeric || view == ViewLoad) pixels = scale == 2 ? 32 * 32 : 16 * 16;
    result = Measure(calls, [numeric](int) {
      if (numeric) AppState.ForceIconRedraw = 1;
      RefreshTrayIcon();
    });
  } else if (operation == "menu" && argc == 3) {
    calls = number(2);
    sim::Reset();
    ArrangeFullMenu();
    result = Measure(
        calls, [](int) { ShowTrayMenu(plat::Window(1)); }, MenuWarmUpCalls);
  } else if (operation == "command" && argc == 3) {
    static constexpr int Round[] = {IDM_COLOR_RED, IDM_COLOR_YELLOW,    IDM_TEMPO_HALF,
                                    IDM_TEMPO_1S,  IDM_STORE_FIRST,     IDM_CLEAR_FIRST,
                                    IDM_ROTATE_90, IDM_ROTATE_0,        IDM_WATCH,
                                    IDM_WATCH,     IDM_FREQUENCY_ANCHOR};
    calls = number(2);
    StartProgram(ViewFrequency);
    result = Measure(calls, [](int i) {
      const int id = Round[i % static_cast<int>(sizeof Round / sizeof Round[0])];
      HandleMenuCommand(AppState.MainWindow, static_cast<plat::WParam>(id), 0);
    });
  } else if (operation == "apply" && argc == 3) {
    calls = number(2);
    StartProgram(ViewFrequency);
    result = Measure(calls, [](int i) { ApplyClockWord((i & 1) != 0 ? 0x2000290 : 0x2000110); });
  } else if (operation == "watch" && argc == 3) {
    calls = number(2);
    StartProgram(ViewFrequency);
    result = Measure(calls, [](int) { CheckWatch(); });
  } else if (operation == "info" && argc == 3) {
    calls = number(2);
    sim::Reset();
    ResetAppState();
    AppState.Capabilities.PowerStatusAvailable = 1;
    WithControl(IDD_INFO, [&](plat::Window tree) {
      result = Measure(calls, [tree](int) { FillInfoTree(tree); });
    });
  } else if (operation == "processes" && argc == 3) {
    calls = number(2);
    sim::Reset();
    ResetAppState();
    ArrangeProcesses(200);
    WithControl(IDD_PROCESSES, [&](plat::Window list) {
      result = Measure(calls, [list](int) { FillProcessList(list); });
    });
  } else if (operation == "startup" && argc == 2) {
    result = MeasureStartUp();
  } else {
    return Usage();
  }
  std::printf("%d %d %llu %llu\n", calls, pixels,
              static_cast<unsigned long long>(result.programAllocations),
              static_cast<unsigned long long>(result.allAllocations));
  return 0;
}
