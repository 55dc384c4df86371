// What everything that runs the program on the simulated handheld shares: the scenario tests, the
// soak, the fuzz targets and the benchmarks. The program's module handle, a fresh device, starting
// the program, serving its messages, and opening a tool dialog as the menu does.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/startup.h"
#include "base/state.h"
#include "platform/dialogs.h"
#include "platform/resources.h"
#include "platform/sim/device.h"
#include "platform/windowing.h"

namespace harness {

inline constexpr plat::Instance ProgramInstance = plat::Instance(0x400000);
inline const std::u16string SettingsKey = u"HKLM\\SOFTWARE\\Brenmor\\Zorvik";

// A fresh default handheld and program state: every test fixture and every fuzz input starts here.
inline void FreshDevice() {
  sim::Reset();
  ResetAppState();
}

// Runs the program until its script is done (or it quits); returns its exit code.
inline int Start(const char16_t* commandLine = u"") {
  return ZorvikMain(ProgramInstance, commandLine);
}

// Serves messages the way the program's own loop does, until the script is done.
inline void Pump() {
  plat::Message message;
  while (plat::GetMessageW(&message, plat::Window{}, 0, 0) != 0) {
    if (plat::UnsafeFromOutside(message.Id, plat::Delivery::Posted)) continue;
    plat::TranslateMessage(&message);
    plat::DispatchMessageW(&message);
  }
}

// Lets `ms` of virtual time pass with the program running.
inline void Wait(std::uint32_t ms) {
  sim::After(ms, [] {});
  Pump();
}

// Opens a tool dialog as the menu does and runs it until the script is done; `during`, when
// given, acts inside its loop 10 ms after it opened.
inline void RunDialog(int templateId, plat::DialogProc procedure,
                      std::function<void(plat::Window)> during = nullptr) {
  if (during) {
    sim::After(10, [templateId, during] {
      if (const sim::DialogRecord* dialog = sim::OpenDialog(templateId)) during(dialog->Handle);
    });
  }
  const void* dialogTemplate = plat::LoadResource(
      ProgramInstance, plat::FindResourceW(ProgramInstance, templateId, plat::RT_DIALOG));
  plat::DialogBoxIndirectParamW(ProgramInstance, dialogTemplate, plat::Window{}, procedure, 0);
}

// Adds a top-level window, of another process unless its ProcessId says otherwise.
inline plat::Window AddWindow(sim::WindowRecord window) {
  auto& windows = sim::Device().Ui.Windows;
  window.Handle = plat::Window(windows.size() + 1);
  windows.push_back(std::move(window));
  return windows.back().Handle;
}

// The running timer `id` of any window.
inline std::optional<sim::TimerRecord> FindTimer(std::uintptr_t id) {
  for (const sim::TimerRecord& timer : sim::Device().Ui.Timers) {
    if (timer.Id == id) return timer;
  }
  return std::nullopt;
}

// The position of the first call named `name` at or after `from` in the call log, or -1.
inline int FindCall(std::string_view name, int from = 0) {
  const auto& calls = sim::Device().Log.Calls;
  for (std::size_t i = static_cast<std::size_t>(from < 0 ? 0 : from); i < calls.size(); ++i) {
    if (calls[i] == name) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace harness
