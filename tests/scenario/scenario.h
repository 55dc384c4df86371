// The common ground of scenario tests: a fresh handheld and a fresh program for every case,
// and small helpers that read like the user's story.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/menus.h"
#include "tests/harness.h"

using harness::FindCall;
using harness::FindTimer;
using harness::ProgramInstance;
using harness::SettingsKey;

class ScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override { harness::FreshDevice(); }

  int Start(const char16_t* commandLine = u"") { return harness::Start(commandLine); }
  void Pump() { harness::Pump(); }
  void Wait(std::uint32_t ms) { harness::Wait(ms); }

  static int Count(std::string_view call) {
    const auto& calls = sim::Device().Log.Calls;
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
  }

  static std::vector<std::u16string> Boxes() {
    std::vector<std::u16string> texts;
    for (const sim::MessageBoxRecord& box : sim::Device().Log.Boxes) texts.push_back(box.Text);
    return texts;
  }

  static std::u16string StringEntry(int id) {
    for (const auto& [entry, text] : sim::Resources().Strings) {
      if (entry == id) return text;
    }
    return u"<missing>";
  }

  static bool ProcessRunning(std::uint32_t id) {
    const auto& running = sim::Device().Processes.Running;
    return std::any_of(running.begin(), running.end(),
                       [id](const sim::ProcessRecord& p) { return p.Id == id; });
  }

  // The program's settings as stored, value by value.
  static std::vector<std::pair<std::u16string, sim::RegistryValue>> StoredSettings() {
    const auto& keys = sim::Device().Registry.Keys;
    const auto key = keys.find(SettingsKey);
    if (key == keys.end()) return {};
    return {key->second.begin(), key->second.end()};
  }

  // Ends this run of the program and starts it again on the same handheld with the same
  // registry, processor and event registrations, as after a soft reset.
  void Restart(const char16_t* commandLine = u"") {
    sim::Handheld& device = sim::Device();
    auto keys = std::move(device.Registry.Keys);
    const sim::Processor cpu = device.Cpu;
    auto notifications = std::move(device.Notifications.Records);
    harness::FreshDevice();
    device.Registry.Keys = std::move(keys);
    device.Cpu = cpu;
    device.Notifications.Records = std::move(notifications);
    Start(commandLine);
  }
};

inline std::u16string Utf16(const char* text) {
  std::u16string out;
  while (*text != 0) out += static_cast<char16_t>(*text++);
  return out;
}
