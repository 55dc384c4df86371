// Start-up on the simulated handheld: launch words, the hand-off to a resident copy, the
// installation check, processor identification and the capabilities found at start.
#include <string>

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
                      LaunchCase{u"#9", -1}, LaunchCase{u"#3", 3}, LaunchCase{u"#8", 8},
                      LaunchCase{u"#12", 1}, LaunchCase{u"#1 #5", 5}, LaunchCase{u"#5 #1", 5},
                      LaunchCase{u"AppRunAfterWakeup", 0}, LaunchCase{u"AppRunAfterWakeup #2", 2},
                      LaunchCase{u"#2 AppRunAfterWakeup", 2},
                      LaunchCase{u"apprunafterwakeup", -1}));

// ---- A second launch ---------------------------------------------------------------------

struct HandOffCase {
  const char16_t* commandLine;
  std::uint32_t message;
  plat::LParam lParam;
};

class HandOffTest : public ScenarioTest, public ::testing::WithParamInterface<HandOffCase> {};

TEST_P(HandOffTest, PostsTheRequestToTheResidentCopyAndEnds) {
  sim::SetMutexHeldElsewhere(u"Zorvik");
  plat::Window resident = sim::AddForeignWindow(u"Zorvik", u"Zorvik");

  EXPECT_EQ(Start(GetParam().commandLine), 0);

  ASSERT_EQ(sim::PostedMessages().size(), 1u);
  const sim::PostedMessage& posted = sim::PostedMessages()[0];
  EXPECT_EQ(posted.Target, resident);
  EXPECT_EQ(posted.Id, GetParam().message);
  EXPECT_EQ(posted.WParamValue, 0u);
  EXPECT_EQ(posted.LParamValue, GetParam().lParam);
  // Nothing else is touched: no file search, registry, processor or window of its own.
  EXPECT_EQ(sim::FindCall("FindFirstFileW"), -1);
  EXPECT_TRUE(sim::RegistryCalls().empty());
  EXPECT_EQ(sim::FindCall("SetKMode"), -1);
  EXPECT_EQ(sim::FindCall("RegisterClassW"), -1);
  EXPECT_EQ(sim::Windows().size(), 1u);
  EXPECT_TRUE(sim::MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Requests, HandOffTest,
                         ::testing::Values(HandOffCase{u"", UM_SHOWMENU, 0},
                                           HandOffCase{u"--unknown", UM_SHOWMENU, 0},
                                           HandOffCase{u"#3", UM_APPLYPRESET, 3},
                                           HandOffCase{u"#8", UM_APPLYPRESET, 8},
                                           HandOffCase{u"AppRunAfterWakeup", UM_APPLYPRESET, 0}));

TEST_F(StartupTest, SecondLaunchWithoutAResidentWindowEndsQuietly) {
  sim::SetMutexHeldElsewhere(u"Zorvik");
  EXPECT_EQ(Start(u"#2"), 0);
  EXPECT_TRUE(sim::PostedMessages().empty());
  EXPECT_TRUE(sim::Windows().empty());
  EXPECT_TRUE(sim::RegistryCalls().empty());
}

// ---- Installation check ------------------------------------------------------------------

TEST_F(StartupTest, NotInstalledShowsTheNoticeAndExitsWithOne) {
  sim::RemoveFile(u"\\Windows\\Zorvik.exe");

  EXPECT_EQ(Start(), 1);

  ASSERT_EQ(sim::MessageBoxes().size(), 1u);
  const sim::MessageBoxRecord& box = sim::MessageBoxes()[0];
  EXPECT_EQ(box.Text, StringEntry(2));
  EXPECT_EQ(box.Caption, u"Zorvik");
  EXPECT_EQ(box.Style, 0x00050030u);
  EXPECT_EQ(box.Owner, plat::Window{});
  EXPECT_TRUE(sim::RegistryCalls().empty());
  EXPECT_TRUE(sim::Windows().empty());
  EXPECT_EQ(sim::FindCall("SetKMode"), -1);
  EXPECT_EQ(sim::FirstTrayIcon(), nullptr);
}

// ---- Processor identification ------------------------------------------------------------

struct IdentifyCase {
  std::uint32_t mainId;
  std::int32_t family;
};

class IdentifyTest : public ScenarioTest, public ::testing::WithParamInterface<IdentifyCase> {};

TEST_P(IdentifyTest, FamilyFromTheMaskedMainId) {
  sim::Cpu().MainId = GetParam().mainId;
  EXPECT_EQ(Start(), 0);

  EXPECT_EQ(AppState.ProcessorId, GetParam().mainId);
  EXPECT_EQ(AppState.CacheType, 0x0B1AA1AAu);
  EXPECT_EQ(AppState.CpuFamily, GetParam().family);
  EXPECT_FALSE(sim::InKernelMode());
  EXPECT_TRUE(sim::MessageBoxes().empty());
  bool known = GetParam().family != CpuUnknown;
  // An unknown processor's clock registers are never touched.
  EXPECT_EQ(sim::FindCall("ReadClockConfig") != -1, known);
  EXPECT_EQ(sim::FindCall("VirtualCopy") != -1, known);
  EXPECT_EQ(AppState.CurrentClockWord, known ? 0x02000290u : 0u);
  EXPECT_EQ(AppState.TurboFlag, known ? 1 : 0);
  EXPECT_EQ(sim::WakeupRegistrations(),
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
  sim::Cpu().MainIdFaults = true;

  EXPECT_EQ(Start(), 0);

  EXPECT_EQ(Boxes(), std::vector<std::u16string>{StringEntry(1)});
  EXPECT_EQ(sim::MessageBoxes()[0].Style, 0x00050030u);
  EXPECT_EQ(AppState.ProcessorId, 0u);
  EXPECT_EQ(AppState.CacheType, 0u);  // not reached
  EXPECT_EQ(AppState.CpuFamily, CpuUnknown);
  EXPECT_FALSE(sim::InKernelMode());
  EXPECT_NE(AppState.MainWindow, plat::Window{});
  ASSERT_NE(sim::FirstTrayIcon(), nullptr);
  EXPECT_TRUE(sim::FirstTrayIcon()->Present);
  EXPECT_EQ(AppState.IconView, ViewPlain);  // Frequency has nothing to show
}

TEST_F(StartupTest, FaultOnTheCacheTypeKeepsTheMainIdRead) {
  sim::Cpu().CacheTypeFaults = true;
  EXPECT_EQ(Start(), 0);
  EXPECT_EQ(Boxes(), std::vector<std::u16string>{StringEntry(1)});
  EXPECT_EQ(AppState.ProcessorId, 0x69054117u);
  EXPECT_EQ(AppState.CacheType, 0u);
  EXPECT_EQ(AppState.CpuFamily, CpuPxa27x);
}

TEST_F(StartupTest, FaultOnClkcfgIsSilentAndLeavesTheFlagsClear) {
  sim::Cpu().ClkcfgReadFaults = true;
  sim::Cpu().Clkcfg = 0xB;

  EXPECT_EQ(Start(), 0);

  EXPECT_TRUE(sim::MessageBoxes().empty());
  EXPECT_FALSE(sim::InKernelMode());
  EXPECT_EQ(AppState.CurrentClockWord, 0x02000290u);
  EXPECT_EQ(AppState.TurboFlag, 0);
  EXPECT_EQ(AppState.FastBusFlag, 0);
  EXPECT_EQ(sim::WakeupRegistrations().size(), 1u);  // full mode all the same
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
  sim::Cpu().MainId = GetParam().mainId;
  sim::Cpu().Clkcfg = GetParam().clkcfg;
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
  sim::Cpu().Cccr = 0;

  EXPECT_EQ(Start(u"#3"), 0);

  EXPECT_EQ(Boxes(), std::vector<std::u16string>{StringEntry(1)});
  EXPECT_EQ(AppState.CurrentClockWord, 0u);
  EXPECT_EQ(AppState.IconView, ViewPlain);
  EXPECT_EQ(AppState.TurboFlag, 0);  // CLKCFG 3 is not looked at
  EXPECT_TRUE(sim::WakeupRegistrations().empty());
  EXPECT_TRUE(sim::ClkcfgWrites().empty());  // no preset applied
  // The fall-back to Plain is for this run only.
  EXPECT_FALSE(sim::GetRegistryDword(SettingsKey, u"View").has_value());
  ASSERT_NE(sim::FirstTrayIcon(), nullptr);
  EXPECT_TRUE(sim::FirstTrayIcon()->Present);
}

TEST_F(StartupTest, RefusedMappingCountsAsClockWordZero) {
  sim::Cpu().MapFails = true;
  Start();
  EXPECT_EQ(Boxes(), std::vector<std::u16string>{StringEntry(1)});
  EXPECT_EQ(AppState.CurrentClockWord, 0u);
  EXPECT_EQ(Count("VirtualAlloc"), Count("VirtualFree"));
  EXPECT_TRUE(sim::WakeupRegistrations().empty());
}

// Reading the clock must never be able to write it.
TEST_F(StartupTest, ClockIsReadThroughAReadOnlyMapping) {
  Start();
  EXPECT_EQ(
      sim::ClockRegisterMappings(),
      std::vector<std::uint32_t>{plat::PAGE_READONLY | plat::PAGE_NOCACHE | plat::PAGE_PHYSICAL});
}

TEST_F(StartupTest, UnknownProcessorKeepsAStoredFrequencyViewInTheRegistry) {
  sim::Cpu().MainId = 0x41000000;
  sim::SetRegistryDword(SettingsKey, u"View", ViewFrequency);
  Start();
  EXPECT_EQ(AppState.IconView, ViewPlain);
  EXPECT_EQ(sim::GetRegistryDword(SettingsKey, u"View"), ViewFrequency);
  EXPECT_TRUE(sim::WakeupRegistrations().empty());
}

// ---- Capabilities ------------------------------------------------------------------------

struct DisplayCase {
  int screenWidth;
  std::optional<std::uint32_t> logicalPixels;  // absent: no value in the display key
  bool realVgaLibrary;
  std::uint32_t displayMode;
  std::uint8_t realVgaAvailable;
};

class DisplayModeTest : public ScenarioTest, public ::testing::WithParamInterface<DisplayCase> {};

TEST_P(DisplayModeTest, DensityChoiceOnlyOnWideScreens) {
  const DisplayCase& c = GetParam();
  sim::SetSystemMetric(plat::SM_CXSCREEN, c.screenWidth);
  sim::CreateRegistryKey(u"HKLM\\Drivers\\Display\\GPE");
  if (c.logicalPixels)
    sim::SetRegistryDword(u"HKLM\\Drivers\\Display\\GPE", u"LogicalPixelsX", *c.logicalPixels);
  if (c.realVgaLibrary) sim::AddFile(u"\\Windows\\shellres.96.dll");

  Start();

  EXPECT_EQ(AppState.DisplayMode, c.displayMode);
  EXPECT_EQ(AppState.Capabilities.RealVgaAvailable, c.realVgaAvailable);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, DisplayModeTest,
    ::testing::Values(DisplayCase{240, 96, true, 0, 0}, DisplayCase{320, 96, true, 0, 0},
                      DisplayCase{480, std::nullopt, false, 1, 0},
                      DisplayCase{480, 192, true, 1, 1}, DisplayCase{480, 0, false, 1, 0},
                      DisplayCase{480, 96, true, 2, 1}, DisplayCase{480, 96, false, 2, 0},
                      DisplayCase{480, 128, true, 0, 1}, DisplayCase{640, 144, false, 0, 0}));

TEST_F(StartupTest, NarrowScreenNeverReadsTheDensityNorLooksForTheLibrary) {
  sim::SetSystemMetric(plat::SM_CXSCREEN, 320);
  Start();
  for (const sim::RegistryCall& call : sim::RegistryCalls()) {
    EXPECT_NE(call.KeyPath, u"HKLM\\Drivers\\Display\\GPE");
  }
}

TEST_F(StartupTest, DensityOfTheWrongSizeReadsAsAbsent) {
  sim::SetSystemMetric(plat::SM_CXSCREEN, 480);
  sim::SetRegistryValue(u"HKLM\\Drivers\\Display\\GPE", u"LogicalPixelsX", plat::REG_BINARY, {96});
  Start();
  EXPECT_EQ(AppState.DisplayMode, 1u);
}

TEST_F(StartupTest, IconScaleFollowsTheSmallIconSize) {
  for (auto [side, scale] : {std::pair{16, 1}, std::pair{24, 1}, std::pair{32, 2}}) {
    SetUp();
    sim::SetSystemMetric(plat::SM_CXSMICON, side);
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
    sim::SetIdleTimeReadings(c.readings);
    Start();
    EXPECT_EQ(AppState.Capabilities.IdleTimeAvailable, c.available) << c.readings[0];
  }
}

TEST_F(StartupTest, PowerStatusReadFreshAtStart) {
  Start();
  EXPECT_EQ(AppState.Capabilities.PowerStatusAvailable, 1);
  ASSERT_FALSE(sim::PowerStatusUpdateFlags().empty());
  EXPECT_TRUE(sim::PowerStatusUpdateFlags()[0]);
  EXPECT_EQ(AppState.PowerStatus.BatteryLifePercent, sim::PowerStatus().BatteryLifePercent);

  SetUp();
  sim::SetPowerStatus(plat::PowerStatusEx2{}, false);
  Start();
  EXPECT_EQ(AppState.Capabilities.PowerStatusAvailable, 0);
}

TEST_F(StartupTest, RotationSupportedWhenThePlatformReportsOrientations) {
  Start();
  EXPECT_EQ(AppState.Capabilities.RotationSupported, 0);
  EXPECT_EQ(AppState.DisplaySettings.Size, 192);

  SetUp();
  sim::SetSupportedOrientations(plat::DMDO_90 | plat::DMDO_180 | plat::DMDO_270);
  Start();
  EXPECT_EQ(AppState.Capabilities.RotationSupported, 1);
}

TEST_F(StartupTest, AutostartFoundByItsShortcutInTheStartupFolder) {
  Start();
  EXPECT_EQ(std::u16string(AppState.AutostartLinkPath), u"\\Windows\\StartUp\\Zorvik.lnk");
  EXPECT_EQ(AppState.Capabilities.AutostartEnabled, 0);

  SetUp();
  sim::AddFile(u"\\Windows\\StartUp\\Zorvik.lnk");
  Start();
  EXPECT_EQ(AppState.Capabilities.AutostartEnabled, 1);
}

TEST_F(StartupTest, LongStartupFolderPathIsKeptWhole) {
  // Far beyond 40 characters, up to the longest path the shell hands out.
  for (std::size_t length : {39u, 40u, 120u, 259u}) {
    SetUp();
    std::u16string folder = u"\\" + std::u16string(length - 1, u'd');
    sim::SetSpecialFolder(plat::CSIDL_STARTUP, folder);
    sim::AddFile(folder + u"\\Zorvik.lnk");
    Start();
    EXPECT_EQ(std::u16string(AppState.AutostartLinkPath), folder + u"\\Zorvik.lnk") << length;
    EXPECT_EQ(AppState.Capabilities.AutostartEnabled, 1) << length;
    EXPECT_EQ(AppState.DisplaySettings.Size, 192) << "the record after the path is intact";
  }
}

// ---- The resident copy -------------------------------------------------------------------

TEST_F(StartupTest, StartUpAllocatesNothingFromTheHeap) {
  sim::ResetProgramHeapAllocations();
  Start(u"#4");
  EXPECT_EQ(sim::ProgramHeapAllocations(), 0u);
}

TEST_F(StartupTest, ResidentCopyExitsWithZeroAfterClose) {
  sim::After(100, [] { sim::Post(AppState.MainWindow, plat::WM_CLOSE, 0, 0); });
  EXPECT_EQ(Start(), 0);
  EXPECT_TRUE(sim::QuitPosted());
  EXPECT_EQ(sim::QuitCode(), 0);
  EXPECT_FALSE(sim::ScenarioEnded());
}

}  // namespace
