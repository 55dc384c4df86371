// The automatic mode on the simulated handheld: one story of ticks, each with the idle time of
// its second and what the user or the device does before it, and what it leaves.
#include "app/commands.h"
#include "base/messages.h"
#include "scenario.h"

namespace {

using AutoTurboTest = ScenarioTest;

struct Tick {
  const char* what;
  std::uint32_t idleMs;    // of the second before the tick (1000 ms)
  void (*before)();        // done before the second passes, or nullptr
  std::uint8_t turbo;      // TurboFlag after the tick
  const char* clkcfg;      // CLKCFG writes during the second
  int beeps;               // during the second
  std::uint32_t autoMode;  // after the tick, stored and timer running alike
};

void Command(std::uint32_t id) { HandleMenuCommand(AppState.MainWindow, id, 0); }

TEST_F(AutoTurboTest, SwitchesTurboByTheLoadOfEachSecond) {
  const Tick ticks[] = {
      {"the first tick takes the baseline only", 0, nullptr, 0, "", 0, 1},
      {"load 74 stays in run mode", 260, nullptr, 0, "", 0, 1},
      {"load 75 switches turbo on", 250, nullptr, 1, "3", 0, 1},
      {"load 25 is not quiet", 750, nullptr, 1, "", 0, 1},
      {"load 24: quiet once", 751, nullptr, 1, "", 0, 1},
      {"quiet twice", 1000, nullptr, 1, "", 0, 1},
      {"a busier second starts the count again", 500, nullptr, 1, "", 0, 1},
      {"quiet once more", 1000, nullptr, 1, "", 0, 1},
      {"quiet twice more", 1000, nullptr, 1, "", 0, 1},
      {"the third quiet second in a row switches turbo off", 1000, nullptr, 0, "2", 0, 1},
      {"a late tick is no load", 1500, nullptr, 0, "", 0, 1},
      {"a refused switch beeps once", 0, [] { sim::Device().Cpu.MapFails = true; }, 0, "", 1, 1},
      {"and is not tried again while the load stays", 0, nullptr, 0, "", 0, 1},
      {"even once the register maps", 0, [] { sim::Device().Cpu.MapFails = false; }, 0, "", 0, 1},
      {"the load leaves the band", 500, nullptr, 0, "", 0, 1},
      {"and comes back: turbo", 0, nullptr, 1, "3", 0, 1},
      {"quiet, refused later", 1000, [] { sim::Device().Cpu.MapFails = true; }, 1, "", 0, 1},
      {"quiet twice", 1000, nullptr, 1, "", 0, 1},
      {"the refused switch off beeps once, turbo stays", 1000, nullptr, 1, "", 1, 1},
      {"not tried again", 1000, [] { sim::Device().Cpu.MapFails = false; }, 1, "", 0, 1},
      {"the load leaves the band", 300, nullptr, 1, "", 0, 1},
      {"quiet again once", 1000, nullptr, 1, "", 0, 1},
      {"quiet again twice", 1000, nullptr, 1, "", 0, 1},
      {"three quiet seconds again: off", 1000, nullptr, 0, "2", 0, 1},
      {"a preset leaves the mode on", 1000,
       [] { sim::Send(AppState.MainWindow, UM_APPLYPRESET, 0, 6); }, 1, "3", 0, 1},
      {"quiet twice after it", 1000, nullptr, 1, "", 0, 1},
      {"quiet three times after it: off", 1000, nullptr, 0, "2", 0, 1},
      {"\"Турбо\" by hand ends the mode", 1000, [] { Command(IDM_MODE_TURBO); }, 1, "3", 0, 0},
      {"which then leaves turbo alone", 1000, nullptr, 1, "", 0, 0},
      {"\"Авто\" again: a baseline first", 1000, [] { Command(IDM_AUTO); }, 1, "", 0, 1},
      {"quiet once", 1000, nullptr, 1, "", 0, 1},
      {"quiet twice", 1000, nullptr, 1, "", 0, 1},
      {"quiet three times: off", 1000, nullptr, 0, "2", 0, 1},
      {"\"Норма\" by hand ends the mode too", 0, [] { Command(IDM_MODE_NORMAL); }, 0, "2", 0, 0},
      {"which then leaves run mode alone", 0, nullptr, 0, "", 0, 0},
  };
  sim::Device().Registry.Keys[SettingsKey][u"Auto"] = sim::DwordValue(1);
  sim::Device().Registry.Keys[SettingsKey][u"Freq6"] = sim::DwordValue(0x2000290);
  sim::Device().Cpu.Clkcfg = 2;  // run mode
  Start();
  std::uint32_t idleTotal = 5000;
  for (const Tick& tick : ticks) {
    SCOPED_TRACE(tick.what);
    const std::size_t writes = sim::Device().Log.ClkcfgWrites.size();
    const std::size_t beeps = sim::Device().Log.Beeps.size();
    if (tick.before != nullptr) tick.before();
    idleTotal += tick.idleMs;
    sim::Device().System.IdleReadings = {idleTotal};
    Wait(AutoPeriodMs);

    std::string clkcfg;
    for (std::size_t i = writes; i < sim::Device().Log.ClkcfgWrites.size(); ++i) {
      clkcfg += (clkcfg.empty() ? "" : " ") + std::to_string(sim::Device().Log.ClkcfgWrites[i]);
    }
    EXPECT_EQ(AppState.TurboFlag, tick.turbo);
    EXPECT_EQ(clkcfg, tick.clkcfg);
    EXPECT_EQ(sim::Device().Log.Beeps.size() - beeps, static_cast<std::size_t>(tick.beeps));
    EXPECT_EQ(AppState.AutoMode, tick.autoMode);
    EXPECT_EQ(sim::Device().Registry.Dword(SettingsKey, u"Auto"), tick.autoMode);
    EXPECT_EQ(FindTimer(ID_TIMER_AUTO).has_value(), tick.autoMode != 0);
  }
}

// Without a load to measure, or on a processor whose clock is not the program's, the mode's
// ticks change nothing, however busy the device.
TEST_F(AutoTurboTest, DoesNothingWithoutIdleTimeOrOnAnUnknownProcessor) {
  for (std::uint32_t mainId : {0x69054117u, 0x41000000u}) {
    SetUp();
    sim::Device().Registry.Keys[SettingsKey][u"Auto"] = sim::DwordValue(1);
    sim::Device().Cpu.MainId = mainId;
    sim::Device().Cpu.Clkcfg = 2;
    if (mainId == 0x69054117u) sim::Device().System.IdleReadings = {0};
    Start();
    ASSERT_TRUE(FindTimer(ID_TIMER_AUTO).has_value());
    for (std::uint32_t idle : {1000u, 1000u, 1000u}) {
      sim::Device().System.IdleReadings = {idle};  // no idle at all: fully busy
      Wait(AutoPeriodMs);
    }
    EXPECT_EQ(AppState.TurboFlag, 0) << mainId;
    EXPECT_TRUE(sim::Device().Log.ClkcfgWrites.empty()) << mainId;
    EXPECT_TRUE(sim::Device().Log.Beeps.empty()) << mainId;
  }
}

}  // namespace
