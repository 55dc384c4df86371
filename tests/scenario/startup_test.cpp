// Start-up on the simulated handheld: launch words, the hand-off to a resident copy, the
// installation check, processor identification and the capabilities found at start.
#include <string>

#include "app/service.h"
#include "base/messages.h"
#include "platform/memory.h"
#include "platform/notification.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "scenario.h"

namespace {

using StartupTest = ScenarioTest;

// ---- Launch words ------------------------------------------------------------------------

struct LaunchCase {
  const char16_t* commandLine;
  int request;
};

class LaunchWordsTest : public ::testing::TestWithParam<LaunchCase> {};

TEST_P(LaunchWordsTest, LastWordInTestOrderWins) {
  EXPECT_EQ(ParseLaunchRequest(GetParam().commandLine), GetParam().request);
}

INSTANTIATE_TEST_SUITE_P(
    Words, LaunchWordsTest,
    ::testing::Values(LaunchCase{u"", -1}, LaunchCase{nullptr, -1}, LaunchCase{u"hello", -1},
                      LaunchCase{u"#9", -1}, LaunchCase{u"#0", -1}, LaunchCase{u"#3", 3},
                      LaunchCase{u"#8", 8}, LaunchCase{u"#12", 1}, LaunchCase{u"#1 #5", 5},
                      LaunchCase{u"#5 #1", 5}, LaunchCase{u"AppRunAfterWakeup", 0},
                      LaunchCase{u"AppRunAfterWakeup #2", 2},
                      LaunchCase{u"#2 AppRunAfterWakeup", 2}, LaunchCase{u"apprunafterwakeup", -1},
                      LaunchCase{u"Wakeup", -1}));

// ---- A second launch ---------------------------------------------------------------------

struct HandOffCase {
  const char16_t* commandLine;
  std::uint32_t message;
  plat::LParam lParam;
};

class HandOffTest : public ScenarioTest, public ::testing::WithParamInterface<HandOffCase> {};

TEST_P(HandOffTest, PostsTheRequestToTheResidentCopyAndEnds) {
  sim::Device().System.MutexesElsewhere.push_back(u"Zorvik");
  plat::Window resident = harness::AddWindow({.ClassName = u"Zorvik", .Title = u"Zorvik"});

  EXPECT_EQ(Start(GetParam().commandLine), 0);

  ASSERT_EQ(sim::Device().Log.Posted.size(), 1u);
  const sim::PostedMessage& posted = sim::Device().Log.Posted[0];
  EXPECT_EQ(posted.Target, resident);
  EXPECT_EQ(posted.Id, GetParam().message);
  EXPECT_EQ(posted.WParamValue, 0u);
  EXPECT_EQ(posted.LParamValue, GetParam().lParam);
  // Nothing else is touched: no file search, registry, processor or window of its own.
  EXPECT_EQ(FindCall("FindFirstFileW"), -1);
  EXPECT_TRUE(sim::Device().Log.Registry.empty());
  EXPECT_EQ(FindCall("SetKMode"), -1);
  EXPECT_EQ(FindCall("RegisterClassW"), -1);
  EXPECT_EQ(sim::Device().Ui.Windows.size(), 1u);
  EXPECT_TRUE(sim::Device().Log.Boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Requests, HandOffTest,
                         ::testing::Values(HandOffCase{u"", UM_SHOWMENU, 0},
                                           HandOffCase{u"--unknown", UM_SHOWMENU, 0},
                                           HandOffCase{u"#3", UM_APPLYPRESET, 3},
                                           HandOffCase{u"#8", UM_APPLYPRESET, 8},
                                           HandOffCase{u"AppRunAfterWakeup", UM_APPLYPRESET, 0}));

TEST_F(StartupTest, SecondLaunchWithoutAResidentWindowEndsQuietly) {
  sim::Device().System.MutexesElsewhere.push_back(u"Zorvik");
  EXPECT_EQ(Start(u"#2"), 0);
  EXPECT_TRUE(sim::Device().Log.Posted.empty());
  EXPECT_TRUE(sim::Device().Ui.Windows.empty());
  EXPECT_TRUE(sim::Device().Log.Registry.empty());
}

// ---- Installation check ------------------------------------------------------------------

TEST_F(StartupTest, NotInstalledShowsTheNoticeAndExitsWithOne) {
  sim::Device().Files.clear();  // not installed: not even the program's file

  EXPECT_EQ(Start(), 1);

  ASSERT_EQ(sim::Device().Log.Boxes.size(), 1u);
  const sim::MessageBoxRecord& box = sim::Device().Log.Boxes[0];
  EXPECT_EQ(box.Text, StringEntry(2));
  EXPECT_EQ(box.Caption, u"Zorvik");
  EXPECT_EQ(box.Style, 0x00050030u);
  EXPECT_EQ(box.Owner, plat::Window{});
  EXPECT_TRUE(sim::Device().Log.Registry.empty());
  EXPECT_TRUE(sim::Device().Ui.Windows.empty());
  EXPECT_EQ(FindCall("SetKMode"), -1);
  EXPECT_TRUE(sim::Device().Tray.empty());
}

// ---- Processor identification ------------------------------------------------------------

struct IdentifyCase {
  std::uint32_t mainId;
  std::int32_t family;
};

class IdentifyTest : public ScenarioTest, public ::testing::WithParamInterface<IdentifyCase> {};

TEST_P(IdentifyTest, FamilyFromTheMaskedMainId) {
  sim::Device().Cpu.MainId = GetParam().mainId;
  EXPECT_EQ(Start(), 0);

  EXPECT_EQ(AppState.ProcessorId, GetParam().mainId);
  EXPECT_EQ(AppState.CacheType, 0x0B1AA1AAu);
  EXPECT_EQ(AppState.CpuFamily, GetParam().family);
  EXPECT_FALSE(sim::Device().Cpu.KernelMode);
  EXPECT_TRUE(sim::Device().Log.Boxes.empty());
  bool known = GetParam().family != CpuUnknown;
  // An unknown processor's clock registers are never touched.
  EXPECT_EQ(FindCall("ReadClockConfig") != -1, known);
  EXPECT_EQ(FindCall("VirtualCopy") != -1, known);
  EXPECT_EQ(AppState.CurrentClockWord, known ? 0x02000290u : 0u);
  EXPECT_EQ(AppState.TurboFlag, known ? 1 : 0);
  EXPECT_EQ(sim::Device().Notifications.Wakeups(),
            known ? std::vector<std::u16string>{u"Zorvik.exe"} : std::vector<std::u16string>{});
}

INSTANTIATE_TEST_SUITE_P(
    MainIds, IdentifyTest,
    ::testing::Values(IdentifyCase{0x69052100, CpuPxa25x}, IdentifyCase{0x6905210F, CpuPxa25x},
                      IdentifyCase{0x69052D00, CpuPxa25x}, IdentifyCase{0x69053D0A, CpuPxa25x},
                      IdentifyCase{0x69054110, CpuPxa27x}, IdentifyCase{0x69054117, CpuPxa27x},
                      IdentifyCase{0x69055D1F, CpuPxa27x}, IdentifyCase{0x41000000, CpuUnknown},
                      IdentifyCase{0x69056110, CpuUnknown}, IdentifyCase{0x69052120, CpuUnknown},
                      IdentifyCase{0x68052100, CpuUnknown}, IdentifyCase{0, CpuUnknown}));

TEST_F(StartupTest, FaultOnTheIdRegistersShowsTheNoticeOnceAndGoesOn) {
  sim::Device().Cpu.MainIdFaults = true;

  EXPECT_EQ(Start(), 0);

  EXPECT_EQ(Boxes(), std::vector<std::u16string>{StringEntry(1)});
  EXPECT_EQ(sim::Device().Log.Boxes[0].Style, 0x00050030u);
  EXPECT_EQ(AppState.ProcessorId, 0u);
  EXPECT_EQ(AppState.CacheType, 0u);  // not reached
  EXPECT_EQ(AppState.CpuFamily, CpuUnknown);
  EXPECT_FALSE(sim::Device().Cpu.KernelMode);
  EXPECT_NE(AppState.MainWindow, plat::Window{});
  ASSERT_FALSE(sim::Device().Tray.empty());
  EXPECT_TRUE(sim::Device().Tray[0].Present);
  EXPECT_EQ(AppState.IconView, ViewPlain);  // Frequency has nothing to show
}

TEST_F(StartupTest, FaultOnTheCacheTypeKeepsTheMainIdRead) {
  sim::Device().Cpu.CacheTypeFaults = true;
  EXPECT_EQ(Start(), 0);
  EXPECT_EQ(Boxes(), std::vector<std::u16string>{StringEntry(1)});
  EXPECT_EQ(AppState.ProcessorId, 0x69054117u);
  EXPECT_EQ(AppState.CacheType, 0u);
  EXPECT_EQ(AppState.CpuFamily, CpuPxa27x);
}

TEST_F(StartupTest, FaultOnClkcfgIsSilentAndLeavesTheFlagsClear) {
  sim::Device().Cpu.ClkcfgReadFaults = true;
  sim::Device().Cpu.Clkcfg = 0xB;

  EXPECT_EQ(Start(), 0);

  EXPECT_TRUE(sim::Device().Log.Boxes.empty());
  EXPECT_FALSE(sim::Device().Cpu.KernelMode);
  EXPECT_EQ(AppState.CurrentClockWord, 0x02000290u);
  EXPECT_EQ(AppState.TurboFlag, 0);
  EXPECT_EQ(AppState.FastBusFlag, 0);
  EXPECT_EQ(sim::Device().Notifications.Wakeups().size(), 1u);  // full mode all the same
}

struct ClockFlagsCase {
  std::uint32_t mainId;
  std::uint32_t clkcfg;
  std::uint8_t turbo;
  std::uint8_t fastBus;
  int shownMhz;  // the Frequency icon: the clock of the mode now chosen
};

class ClockFlagsTest : public ScenarioTest, public ::testing::WithParamInterface<ClockFlagsCase> {};

TEST_P(ClockFlagsTest, TurboAndFastBusFromClkcfg) {
  sim::Device().Cpu.MainId = GetParam().mainId;
  sim::Device().Cpu.Clkcfg = GetParam().clkcfg;
  Start();  // CCCR 0x02000290
  EXPECT_EQ(AppState.TurboFlag, GetParam().turbo);
  EXPECT_EQ(AppState.FastBusFlag, GetParam().fastBus);
  EXPECT_EQ(AppState.LastDrawnValue, GetParam().shownMhz);
}

INSTANTIATE_TEST_SUITE_P(Clkcfg, ClockFlagsTest,
                         ::testing::Values(ClockFlagsCase{0x69054117, 0x0, 0, 0, 208},
                                           ClockFlagsCase{0x69054117, 0x1, 1, 0, 520},
                                           ClockFlagsCase{0x69054117, 0x8, 0, 1, 208},
                                           ClockFlagsCase{0x69054117, 0xB, 1, 1, 520},
                                           ClockFlagsCase{0x69052100, 0x8, 0, 0, 100},
                                           ClockFlagsCase{0x69052100, 0xB, 1, 0, 250}));

TEST_F(StartupTest, ClockWordZeroRunsInLimitedMode) {
  sim::Device().Cpu.Cccr = 0;

  EXPECT_EQ(Start(u"#3"), 0);

  EXPECT_EQ(Boxes(), std::vector<std::u16string>{StringEntry(1)});
  EXPECT_EQ(AppState.CurrentClockWord, 0u);
  EXPECT_EQ(AppState.IconView, ViewPlain);
  EXPECT_EQ(AppState.TurboFlag, 0);  // CLKCFG 3 is not looked at
  EXPECT_TRUE(sim::Device().Notifications.Wakeups().empty());
  EXPECT_TRUE(sim::Device().Log.ClkcfgWrites.empty());  // no preset applied
  // The fall-back to Plain is for this run only.
  EXPECT_FALSE(sim::Device().Registry.Dword(SettingsKey, u"View").has_value());
  ASSERT_FALSE(sim::Device().Tray.empty());
  EXPECT_TRUE(sim::Device().Tray[0].Present);

  // Only the Frequency view has nothing to show; another stays.
  SetUp();
  sim::Device().Cpu.Cccr = 0;
  sim::Device().Registry.Keys[SettingsKey][u"View"] = sim::DwordValue(ViewMemory);
  Start();
  EXPECT_EQ(AppState.IconView, ViewMemory);
}

TEST_F(StartupTest, RefusedMappingOrReservationCountsAsClockWordZero) {
  for (bool reserved : {true, false}) {
    SetUp();
    sim::Device().Cpu.MapFails = reserved;
    sim::Device().Faults.ReservationFails = !reserved;
    Start();
    EXPECT_EQ(Boxes(), std::vector<std::u16string>{StringEntry(1)});
    EXPECT_EQ(AppState.CurrentClockWord, 0u);
    EXPECT_EQ(sim::Live().MemoryRegions, 0);
    EXPECT_TRUE(sim::Device().Notifications.Wakeups().empty());
  }
}

// Reading the clock must never be able to write it.
TEST_F(StartupTest, ClockIsReadThroughAReadOnlyMapping) {
  Start();
  EXPECT_EQ(
      sim::Device().Log.Mappings,
      std::vector<std::uint32_t>{plat::PAGE_READONLY | plat::PAGE_NOCACHE | plat::PAGE_PHYSICAL});
}

TEST_F(StartupTest, UnknownProcessorKeepsAStoredFrequencyViewInTheRegistry) {
  for (auto [stored, shown] :
       {std::pair{ViewFrequency, ViewPlain}, std::pair{ViewMemory, ViewMemory}}) {
    SetUp();
    sim::Device().Cpu.MainId = 0x41000000;
    sim::Device().Registry.Keys[SettingsKey][u"View"] = sim::DwordValue(stored);
    Start();
    EXPECT_EQ(AppState.IconView, shown);
    EXPECT_EQ(sim::Device().Registry.Dword(SettingsKey, u"View"), stored);
    EXPECT_TRUE(sim::Device().Notifications.Wakeups().empty());
  }
}

// ---- Capabilities ------------------------------------------------------------------------

struct DisplayCase {
  int screenWidth;
  std::optional<sim::RegistryValue> logicalPixels;  // absent: no value in the display key
  bool realVgaLibrary;
  std::uint32_t displayMode;
  std::uint8_t realVgaAvailable;
  bool displayKey = true;  // false: the display driver's key itself is missing
};

class DisplayModeTest : public ScenarioTest, public ::testing::WithParamInterface<DisplayCase> {};

TEST_P(DisplayModeTest, DensityChoiceOnlyOnWideScreens) {
  const DisplayCase& c = GetParam();
  sim::Device().System.Metrics[plat::SM_CXSCREEN] = c.screenWidth;
  if (c.displayKey) sim::Device().Registry.Keys.try_emplace(u"HKLM\\Drivers\\Display\\GPE");
  if (c.logicalPixels)
    sim::Device().Registry.Keys[u"HKLM\\Drivers\\Display\\GPE"][u"LogicalPixelsX"] =
        *c.logicalPixels;
  if (c.realVgaLibrary) sim::Device().Files.push_back({u"\\Windows\\shellres.96.dll"});

  Start();

  EXPECT_EQ(AppState.DisplayMode, c.displayMode);
  EXPECT_EQ(AppState.Capabilities.RealVgaAvailable, c.realVgaAvailable);
  // Start-up keeps its window, its icon and its mutex open, and nothing else.
  // Windows, bitmaps, icons, menus, image lists, registry keys, databases, record buffers,
  // memory regions, snapshots, process handles, searches, mutexes:
  EXPECT_EQ(sim::Live(), (sim::LiveCounts{1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
}

// A density value shorter than 4 bytes holds its number in its low bytes; a longer one is not
// a density at all.
sim::RegistryValue Bytes(std::vector<std::uint8_t> data) { return {plat::REG_BINARY, data}; }

INSTANTIATE_TEST_SUITE_P(Screens, DisplayModeTest,
                         ::testing::Values(DisplayCase{240, sim::DwordValue(96), true, 0, 0},
                                           DisplayCase{320, sim::DwordValue(96), true, 0, 0},
                                           DisplayCase{321, sim::DwordValue(96), true, 2, 1},
                                           DisplayCase{480, std::nullopt, false, 1, 0},
                                           DisplayCase{480, std::nullopt, true, 1, 1, false},
                                           DisplayCase{480, sim::DwordValue(192), true, 1, 1},
                                           DisplayCase{480, sim::DwordValue(0), false, 1, 0},
                                           DisplayCase{480, sim::DwordValue(96), true, 2, 1},
                                           DisplayCase{480, sim::DwordValue(96), false, 2, 0},
                                           DisplayCase{480, sim::DwordValue(128), true, 0, 1},
                                           DisplayCase{640, sim::DwordValue(144), false, 0, 0},
                                           DisplayCase{480, Bytes({96}), false, 2, 0},
                                           DisplayCase{480, Bytes({}), false, 1, 0},
                                           DisplayCase{480, Bytes({96, 0, 0, 0, 0}), false, 1, 0}));

TEST_F(StartupTest, NarrowScreenNeverReadsTheDensityNorLooksForTheLibrary) {
  sim::Device().System.Metrics[plat::SM_CXSCREEN] = 320;
  Start();
  for (const sim::RegistryCall& call : sim::Device().Log.Registry) {
    EXPECT_NE(call.KeyPath, u"HKLM\\Drivers\\Display\\GPE");
  }
}

TEST_F(StartupTest, IconScaleFollowsTheSmallIconSize) {
  for (auto [side, scale] : {std::pair{16, 1}, std::pair{24, 1}, std::pair{32, 2}}) {
    SetUp();
    sim::Device().System.Metrics[plat::SM_CXSMICON] =
        sim::Device().System.Metrics[plat::SM_CYSMICON] = side;
    Start();
    EXPECT_EQ(AppState.IconScale, scale) << "small icon " << side;
  }
}

TEST_F(StartupTest, IdleTimeNeedsANonZeroThenAKnownReading) {
  struct Case {
    std::vector<std::uint32_t> readings;
    std::uint8_t available;
  };
  for (const Case& c : {Case{{0, 5}, 0}, Case{{1000, 0xFFFFFFFF}, 0}, Case{{0xFFFFFFFF}, 0},
                        Case{{1000, 1200}, 1}}) {
    SetUp();
    sim::Device().System.IdleReadings.assign(c.readings.begin(), c.readings.end());
    Start();
    EXPECT_EQ(AppState.Capabilities.IdleTimeAvailable, c.available) << c.readings[0];
  }
}

TEST_F(StartupTest, PowerStatusReadFreshAtStart) {
  Start();
  EXPECT_EQ(AppState.Capabilities.PowerStatusAvailable, 1);
  ASSERT_FALSE(sim::Device().Log.PowerUpdates.empty());
  EXPECT_TRUE(sim::Device().Log.PowerUpdates[0]);
  EXPECT_EQ(AppState.PowerStatus.BatteryLifePercent, sim::Device().System.Power.BatteryLifePercent);

  SetUp();
  sim::Device().System.PowerAvailable = false;
  Start();
  EXPECT_EQ(AppState.Capabilities.PowerStatusAvailable, 0);
}

TEST_F(StartupTest, RotationSupportedWhenThePlatformReportsOrientations) {
  Start();
  EXPECT_EQ(AppState.Capabilities.RotationSupported, 0);
  EXPECT_EQ(AppState.DisplaySettings.Size, 192);

  SetUp();
  sim::Device().System.SupportedOrientations = plat::DMDO_90 | plat::DMDO_180 | plat::DMDO_270;
  Start();
  EXPECT_EQ(AppState.Capabilities.RotationSupported, 1);
}

TEST_F(StartupTest, AutostartFoundByItsShortcutInTheStartupFolder) {
  Start();
  EXPECT_EQ(std::u16string(AppState.AutostartLinkPath), u"\\Windows\\StartUp\\Zorvik.lnk");
  EXPECT_EQ(AppState.Capabilities.AutostartEnabled, 0);

  SetUp();
  sim::Device().Files.push_back({u"\\Windows\\StartUp\\Zorvik.lnk"});
  Start();
  EXPECT_EQ(AppState.Capabilities.AutostartEnabled, 1);

  // Without a Startup folder there is no shortcut to find, and the toggle tries none.
  SetUp();
  sim::Device().System.Folders.erase(plat::CSIDL_STARTUP);
  Start();
  ToggleAutostart();
  EXPECT_EQ(std::u16string(AppState.AutostartLinkPath), u"");
  EXPECT_EQ(AppState.Capabilities.AutostartEnabled, 0);
  EXPECT_EQ(sim::Device().Files.size(), 1u);
  EXPECT_EQ(FindCall("SHCreateShortcut"), -1);
}

TEST_F(StartupTest, LongStartupFolderPathIsKeptWhole) {
  // Far beyond 40 characters, up to the longest path the shell hands out.
  for (std::size_t length : {39u, 40u, 120u, 259u}) {
    SetUp();
    std::u16string folder = u"\\" + std::u16string(length - 1, u'd');
    sim::Device().System.Folders[plat::CSIDL_STARTUP] = folder;
    sim::Device().Files.push_back({folder + u"\\Zorvik.lnk"});
    Start();
    EXPECT_EQ(std::u16string(AppState.AutostartLinkPath), folder + u"\\Zorvik.lnk") << length;
    EXPECT_EQ(AppState.Capabilities.AutostartEnabled, 1) << length;
    EXPECT_EQ(AppState.DisplaySettings.Size, 192) << "the record after the path is intact";
  }
}

// ---- The resident copy -------------------------------------------------------------------

TEST_F(StartupTest, ResidentCopyExitsWithZeroAfterClose) {
  sim::After(100, [] { sim::Post(AppState.MainWindow, plat::WM_CLOSE, 0, 0); });
  EXPECT_EQ(Start(), 0);
  EXPECT_TRUE(sim::Device().Ui.QuitPosted);
  EXPECT_EQ(sim::Device().Ui.QuitCode, 0);
  EXPECT_FALSE(sim::Device().Script.Ended);
}

}  // namespace
