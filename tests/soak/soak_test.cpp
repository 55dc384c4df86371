// Long runs on the simulated handheld: refreshes in every view, menu openings and dialog
// refills by the ten thousand leave nothing more open than before.
#include <gtest/gtest.h>

#include "base/ids.h"
#include "base/messages.h"
#include "icon/refresh.h"
#include "info/info_dialog.h"
#include "procview/process_dialog.h"
#include "tests/harness.h"

namespace {

constexpr int Refreshes = 100000;
constexpr int Openings = 10000;

std::string Describe(const sim::LiveCounts& c) {
  char text[200];
  std::snprintf(text, sizeof text,
                "windows %d bitmaps %d icons %d menus %d image lists %d keys %d databases %d "
                "record buffers %d regions %d snapshots %d processes %d searches %d mutexes %d",
                c.Windows, c.Bitmaps, c.Icons, c.Menus, c.ImageLists, c.RegistryKeys, c.Databases,
                c.RecordBuffers, c.MemoryRegions, c.Snapshots, c.ProcessHandles, c.Searches,
                c.Mutexes);
  return text;
}

void ExpectSame(const sim::LiveCounts& before, const char* what) {
  const sim::LiveCounts now = sim::Live();
  EXPECT_EQ(now, before) << what << "\n before: " << Describe(before)
                         << "\n after:  " << Describe(now);
}

class SoakTest : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::FreshDevice();
    sim::Device().Processes.Running.push_back(
        {0x200,
         u"device.exe",
         u"\\Windows\\device.exe",
         {{0x201, 251, 0, 0, 0, false}, {0x202, 3, 0, 0, 0, false}},
         false});
    sim::Device().Processes.Running.push_back(
        {0x300, u"abc", u"\\abc", {{0x301, 5, 0, 0, 0, false}}, false});
    sim::Device().Files.push_back({u"\\Windows\\device.exe", 1536});
    harness::AddWindow({.Title = u"Устройство", .ProcessId = 0x200, .Visible = true});
  }

  // Runs the program with `work` done once it is up, then closes it.
  static void WhileRunning(std::function<void()> work) {
    sim::After(10, [work] {
      work();
      sim::Post(AppState.MainWindow, plat::WM_CLOSE, 0, 0);
    });
    harness::Start();
  }
};

TEST_F(SoakTest, RefreshesInEveryViewHoldOneIcon) {
  WhileRunning([] {
    for (std::uint32_t view = ViewPlain; view < IconViewCount; ++view) {
      AppState.IconView = view;
      RefreshTrayIcon();
      const sim::LiveCounts before = sim::Live();
      for (int i = 0; i < Refreshes; ++i) {
        // A new reading every time, so every view draws afresh.
        sim::Device().System.IdleReadings = {static_cast<std::uint32_t>(i) * 37u};
        plat::PowerStatusEx2 power = sim::Device().System.Power;
        power.BatteryLifePercent = static_cast<std::uint8_t>(i % 101);
        power.BatteryCurrent = i % 2000 - 1000;
        sim::Device().System.Power = power;
        AppState.ForceIconRedraw = 1;
        RefreshTrayIcon();
      }
      ExpectSame(before, "refreshes");
    }
  });
  EXPECT_EQ(sim::Live().Icons, 0);
  EXPECT_EQ(sim::Live().Bitmaps, 0);
}

TEST_F(SoakTest, MenuOpeningsGiveBackEveryMenu) {
  WhileRunning([] {
    const sim::LiveCounts before = sim::Live();
    for (int i = 0; i < Openings; ++i) {
      sim::Device().Script.MenuChoice = 0;
      sim::Send(AppState.MainWindow, UM_SHOWMENU, 0, 0);
    }
    ExpectSame(before, "menu openings");
  });
  EXPECT_EQ(sim::Device().Log.MenuTrackings, Openings);
  EXPECT_EQ(sim::Live().Menus, 0);
}

TEST_F(SoakTest, DialogRefillsGiveBackEveryHandle) {
  WhileRunning([] {
    const sim::LiveCounts before = sim::Live();
    harness::RunDialog(IDD_PROCESSES, ProcessDialogProc, [](plat::Window dialog) {
      const sim::LiveCounts open = sim::Live();
      for (int i = 0; i < Openings; ++i) sim::SendDialogCommand(dialog, IDC_REFRESH);
      ExpectSame(open, "process list refills");
      sim::SelectRow(plat::GetDlgItem(dialog, IDC_LIST), 0);
      // Each press opens the thread list, fills it and runs it until Escape closes it.
      for (int i = 0; i < Openings; ++i) sim::SendDialogCommand(dialog, IDC_THREADS);
      ExpectSame(open, "thread list openings");
    });
    for (int i = 0; i < Openings; ++i)
      harness::RunDialog(IDD_INFO, InfoDialogProc, [](plat::Window) {});
    ExpectSame(before, "dialog refills");
  });
}

}  // namespace
