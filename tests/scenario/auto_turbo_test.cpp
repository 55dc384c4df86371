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
  auto refuse = [] { sim::Device().Cpu.MapFails = true; };
  auto map = [] { sim::Device().Cpu.MapFails = false; };
  const Tick ticks[] = {
      {"the first tick takes the baseline only", 0, nullptr, 0, "", 0, 1},
      {"load 74 stays in run mode", 260, nullptr, 0, "", 0, 1},
      {"load 75 switches turbo on", 259, nullptr, 1, "3", 0, 1},
      {"load 25 is not quiet", 759, nullptr, 1, "", 0, 1},
      {"load 24: quiet once", 760, nullptr, 1, "", 0, 1},
      {"quiet twice", 1000, nullptr, 1, "", 0, 1},
      {"the third quiet second in a row switches turbo off", 1000, nullptr, 0, "2", 0, 1},
      {"busy: turbo again", 0, nullptr, 1, "3", 0, 1},
      {"quiet once", 1000, nullptr, 1, "", 0, 1},
      {"quiet twice", 1000, nullptr, 1, "", 0, 1},
      {"a busier second starts the count again", 500, nullptr, 1, "", 0, 1},
      {"quiet once more", 1000, nullptr, 1, "", 0, 1},
      {"quiet twice more", 1000, nullptr, 1, "", 0, 1},
      {"the third in a row: off", 1000, nullptr, 0, "2", 0, 1},
      {"a late tick is no load", 1500, nullptr, 0, "", 0, 1},
      {"a refused switch beeps once", 0, refuse, 0, "", 1, 1},
      {"and is not tried again while the load stays", 0, nullptr, 0, "", 0, 1},
      {"even once the register maps", 0, map, 0, "", 0, 1},
      {"the load leaves the band", 500, nullptr, 0, "", 0, 1},
      {"and comes back: turbo", 0, nullptr, 1, "3", 0, 1},
      {"quiet, the switch to come refused", 1000, refuse, 1, "", 0, 1},
      {"quiet twice", 1000, nullptr, 1, "", 0, 1},
      {"the refused switch off beeps once, turbo stays", 1000, nullptr, 1, "", 1, 1},
      {"not tried again", 1000, map, 1, "", 0, 1},
      {"the load leaves the band", 300, nullptr, 1, "", 0, 1},
      {"quiet again once", 1000, nullptr, 1, "", 0, 1},
      {"quiet again twice", 1000, nullptr, 1, "", 0, 1},
      {"three quiet seconds again: off", 1000, nullptr, 0, "2", 0, 1},
      {"a preset leaves the mode on, counting afresh", 1000,
       [] { sim::Send(AppState.MainWindow, UM_APPLYPRESET, 0, 6); }, 1, "3", 0, 1},
      {"quiet twice after it", 1000, nullptr, 1, "", 0, 1},
      {"\"Турбо\" by hand ends the mode", 1000, [] { Command(IDM_MODE_TURBO); }, 1, "3", 0, 0},
      {"which then leaves turbo alone", 1000, nullptr, 1, "", 0, 0},
      {"\"Авто\" again: a baseline first", 1000, [] { Command(IDM_AUTO); }, 1, "", 0, 1},
      {"quiet once, counting afresh", 1000, nullptr, 1, "", 0, 1},
      {"quiet twice", 1000, nullptr, 1, "", 0, 1},
      {"quiet three times: off", 1000, nullptr, 0, "2", 0, 1},
      {"refused once more", 0, refuse, 0, "", 1, 1},
      {"\"Норма\" by hand ends the mode too", 0,
       [] {
         sim::Device().Cpu.MapFails = false;
         Command(IDM_MODE_NORMAL);
       },
       0, "2", 0, 0},
      {"\"Авто\" again", 0, [] { Command(IDM_AUTO); }, 0, "", 0, 1},
      {"busy: turbo, the refusal forgotten", 0, nullptr, 1, "3", 0, 1},
  };
  sim::Device().Registry.Keys[SettingsKey][u"Auto"] = sim::DwordValue(1);
  sim::Device().Registry.Keys[SettingsKey][u"Freq6"] = sim::DwordValue(0x2000290);
  sim::Device().Cpu.Clkcfg = 2;  // run mode
  Start();
  ASSERT_TRUE(FindTimer(ID_TIMER_AUTO).has_value());
  EXPECT_EQ(FindTimer(ID_TIMER_AUTO)->PeriodMs, 1000u);
  std::uint32_t idleTotal = 100;  // small: a first tick that measured would see a busy second
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
    EXPECT_EQ(AppState.AutoTimerId, tick.autoMode != 0 ? ID_TIMER_AUTO : 0u);
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
    sim::Device().System.IdleReadings = {1000};  // no idle time passes: fully busy
    Wait(3 * AutoPeriodMs);
    EXPECT_EQ(AppState.TurboFlag, 0) << mainId;
    EXPECT_TRUE(sim::Device().Log.ClkcfgWrites.empty()) << mainId;
    EXPECT_TRUE(sim::Device().Log.Beeps.empty()) << mainId;
  }
}

}  // namespace
