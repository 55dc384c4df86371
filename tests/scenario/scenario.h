// The common ground of scenario tests: a fresh handheld and a fresh program for every case,
// and small helpers that read like the user's story.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/startup.h"
#include "base/state.h"
#include "platform/dialogs.h"
#include "platform/menus.h"
#include "platform/resources.h"
#include "platform/sim/device.h"
#include "platform/windowing.h"

inline const std::u16string SettingsKey = u"HKLM\\SOFTWARE\\Brenmor\\Zorvik";
inline constexpr plat::Instance ProgramInstance = plat::Instance(0x400000);

class ScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    ResetAppState();
  }

  // Runs the program until its script is done (or it quits); returns its exit code.
  int Start(const char16_t* commandLine = u"") { return ZorvikMain(ProgramInstance, commandLine); }

  // Serves messages the way the program's own loop does, until the script is done.
  void Pump() {
    plat::Message message;
    while (plat::GetMessageW(&message, plat::Window{}, 0, 0) != 0) {
      plat::TranslateMessage(&message);
      plat::DispatchMessageW(&message);
    }
  }

  // Lets `ms` of virtual time pass with the program running.
  void Wait(std::uint32_t ms) {
    sim::After(ms, [] {});
    Pump();
  }

  static int Count(const std::string& call) {
    int n = 0;
    for (const std::string& name : sim::CallLog()) n += name == call ? 1 : 0;
    return n;
  }

  static std::vector<std::u16string> Boxes() {
    std::vector<std::u16string> texts;
    for (const sim::MessageBoxRecord& box : sim::MessageBoxes()) texts.push_back(box.Text);
    return texts;
  }

  static std::u16string StringEntry(int id) {
    for (const auto& [entry, text] : sim::Resources().Strings) {
      if (entry == id) return text;
    }
    return u"<missing>";
  }

  // The program's settings as stored, value by value.
  static std::vector<std::pair<std::u16string, sim::RegistryValue>> StoredSettings() {
    std::vector<std::pair<std::u16string, sim::RegistryValue>> values;
    for (const std::u16string& name : sim::RegistryValueNames(SettingsKey)) {
      values.emplace_back(name, *sim::GetRegistryValue(SettingsKey, name));
    }
    return values;
  }

  // Ends this run of the program and starts it again on the same handheld with the same
  // settings, as after a soft reset.
  void Restart(const char16_t* commandLine = u"") {
    bool keyExists = sim::RegistryKeyExists(SettingsKey);
    auto settings = StoredSettings();
    sim::Processor cpu = sim::Cpu();
    auto notifications = sim::NotificationRecords();  // the registrations outlive the process
    sim::Reset();
    sim::Cpu() = cpu;
    for (auto& record : notifications) sim::AddNotificationRecord(record);
    if (keyExists) sim::CreateRegistryKey(SettingsKey);
    for (auto& [name, value] : settings) {
      sim::SetRegistryValue(SettingsKey, name, value.Type, value.Data);
    }
    ResetAppState();
    Start(commandLine);
  }
};

inline std::u16string Utf16(const char* text) {
  std::u16string out;
  while (*text != 0) out += static_cast<char16_t>(*text++);
  return out;
}
