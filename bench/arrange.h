// What the benchmarks and the instruction-count driver set up on the simulated handheld: the
// state behind the full tray menu, and an open tool dialog whose control a fill works on.
#pragma once

#include <cstdint>
#include <string>

#include "base/ids.h"
#include "base/state.h"
#include "tests/harness.h"

// A PXA27x in turbo mode at preset 6, with eight presets and every capability: the fullest menu.
inline void ArrangeFullMenu() {
  ResetAppState();
  AppState.Instance = harness::ProgramInstance;
  AppState.CpuFamily = CpuPxa27x;
  AppState.TurboFlag = 1;
  AppState.CurrentClockWord = 0x2000290;
  const std::uint32_t presets[PresetSlots] = {0x2000104, 0x2000108, 0x2000110, 0x2000190,
                                              0x2000210, 0x2000290, 0x2000310, 0x2000390};
  for (int slot = 0; slot < PresetSlots; ++slot) AppState.PresetTable[slot] = presets[slot];
  AppState.DisplayMode = 1;
  AppState.Capabilities = {1, 1, 1, 1, 1};
}

// `count` processes, each with one thread, an executable file of 4 KB and a visible window.
inline void ArrangeProcesses(std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::u16string path = u"\\Windows\\p" + std::u16string(1, u'a' + i % 26) + u".exe";
    sim::Device().Processes.Running.push_back(
        {0x1000 + i, u"p.exe", path, {{0x8000 + i, 251, 0, 0, 0, false}}, false});
    if (i < 26) sim::Device().Files.push_back({path, 4096});
    harness::AddWindow({.Title = u"Окно", .ProcessId = 0x1000 + i, .Visible = true});
  }
}

// Runs `body` with the list or tree control of an open dialog of `templateId`.
template <typename Body>
void WithControl(int templateId, Body body) {
  harness::RunDialog(
      templateId,
      [](plat::Window, std::uint32_t, plat::WParam, plat::LParam) -> std::intptr_t { return 0; },
      [body](plat::Window dialog) {
        const plat::Window control = plat::GetDlgItem(dialog, IDC_LIST);
        // A script action runs inside the platform; the fill is the program's, and its heap use
        // counts.
        sim::CallProgram([&] { body(control); });
      });
}
