// Applying clock words on the simulated handheld: the field edits, the CLKCFG values, what a
// failure leaves behind, watch mode and the apply request from another launch.
#include "base/messages.h"
#include "clock/apply.h"
#include "platform/dialogs.h"
#include "platform/memory.h"
#include "scenario.h"

namespace {

using ClockApplyTest = ScenarioTest;

template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& param) {
  return param.param.name;
}

// The program running on a PXA27x, about to make the edit under test.
void Prepare(std::uint32_t word, std::uint8_t turbo, std::uint8_t fastBus) {
  AppState.CurrentClockWord = word;
  AppState.TurboFlag = turbo;
  AppState.FastBusFlag = fastBus;
  AppState.PresetTable[2] = 0x2000190;
  AppState.PresetTable[4] = 0;  // an empty slot
  sim::Device().Log.Calls.clear();
}

// The register accesses from position `from` of the log, each as "operation mode".
std::string Accesses(std::size_t from) {
  std::string out;
  const std::vector<sim::RegisterAccess>& accesses = sim::Device().Log.Accesses;
  for (std::size_t i = from; i < accesses.size(); ++i) {
    out += (out.empty() ? "" : "; ") + std::string(accesses[i].Operation) +
           (accesses[i].KernelMode ? " kernel" : " user");
  }
  return out;
}

// ---- Edits that succeed ------------------------------------------------------------------

struct EditCase {
  const char* name;
  std::uint32_t word;
  std::uint8_t turbo, fastBus;
  void (*edit)();
  std::uint32_t cccr;  // 0: no CCCR write
  std::uint32_t clkcfg;
  std::uint8_t turboAfter, fastBusAfter;
};

class EditTest : public ScenarioTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(EditTest, WritesTheEditedWordAndTheClkcfgValue) {
  const EditCase& c = GetParam();
  Start();
  Prepare(c.word, c.turbo, c.fastBus);
  const auto cccrWrites = sim::Device().Log.CccrWrites.size();
  const auto clkcfgWrites = sim::Device().Log.ClkcfgWrites.size();
  const auto accesses = sim::Device().Log.Accesses.size();
  const auto mappings = sim::Device().Log.Mappings.size();

  c.edit();

  // The store into CCCR in user mode through an uncached read-write mapping, then the CLKCFG
  // write in kernel mode.
  EXPECT_EQ(Accesses(accesses),
            (c.cccr != 0 ? "StoreMappedWord user; " : std::string()) + "WriteClockConfig kernel");
  const std::vector<std::uint32_t> readWrite{plat::PAGE_READWRITE | plat::PAGE_NOCACHE |
                                             plat::PAGE_PHYSICAL};
  EXPECT_EQ(std::vector<std::uint32_t>(sim::Device().Log.Mappings.begin() + mappings,
                                       sim::Device().Log.Mappings.end()),
            c.cccr != 0 ? readWrite : std::vector<std::uint32_t>{});

  EXPECT_TRUE(sim::Device().Log.Beeps.empty());
  EXPECT_FALSE(sim::Device().Cpu.KernelMode);
  EXPECT_EQ(sim::Device().Log.ClkcfgWrites.size(), clkcfgWrites + 1);
  EXPECT_EQ(sim::Device().Cpu.Clkcfg, c.clkcfg);
  if (c.cccr != 0) {
    EXPECT_EQ(sim::Device().Log.CccrWrites.size(), cccrWrites + 1);
    EXPECT_EQ(sim::Device().Cpu.Cccr, c.cccr);
    EXPECT_EQ(AppState.CurrentClockWord, c.cccr);
  } else {
    EXPECT_EQ(sim::Device().Log.CccrWrites.size(), cccrWrites);
    EXPECT_EQ(AppState.CurrentClockWord, c.word);
  }
  EXPECT_EQ(AppState.TurboFlag, c.turboAfter);
  EXPECT_EQ(AppState.FastBusFlag, c.fastBusAfter);
  EXPECT_EQ(sim::Live().MemoryRegions, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, EditTest,
    ::testing::Values(
        EditCase{"TurboMultiplier", 0x2000390, 1, 0, [] { SetTurboMultiplier(3); }, 0x2000190, 3, 1,
                 0},
        EditCase{"TurboMultiplierClearsBits10To15", 0xFD10, 1, 0, [] { SetTurboMultiplier(3); },
                 0x190, 3, 1, 0},
        EditCase{"RunMultiplier", 0x121, 0, 0, [] { SetRunMultiplier(3); }, 0x161, 2, 0, 0},
        EditCase{"RunRatio31", 0x2000110, 1, 0, [] { SetRunRatio(31); }, 0x200011F, 3, 1, 0},
        EditCase{"RunRatio1", 0x2000110, 1, 0, [] { SetRunRatio(1); }, 0x2000101, 3, 1, 0},
        EditCase{"MemoryDividerHalf", 0x2000110, 1, 0, [] { SetMemoryDivider(0); }, 0x110, 3, 1, 0},
        EditCase{"MemoryDividerFull", 0x110, 1, 0, [] { SetMemoryDivider(1); }, 0x2000110, 3, 1, 0},
        EditCase{"PlainBus", 0x2000290, 0, 0, [] { ApplyClockWord(0x2000291); }, 0x2000291, 2, 0,
                 0},
        EditCase{"PlainTurbo", 0x2000290, 1, 0, [] { ApplyClockWord(0x2000291); }, 0x2000291, 3, 1,
                 0},
        EditCase{"FastBus", 0x2000290, 0, 1, [] { ApplyClockWord(0x2000291); }, 0x2000291, 10, 0,
                 1},
        EditCase{"FastBusTurbo", 0x2000290, 1, 1, [] { ApplyClockWord(0x2000291); }, 0x2000291, 11,
                 1, 1},
        EditCase{"TurboOff", 0x2000290, 1, 1, [] { SetTurboMode(0); }, 0x2000290, 10, 0, 1},
        EditCase{"TurboOn", 0x2000290, 0, 0, [] { SetTurboMode(1); }, 0x2000290, 3, 1, 0},
        EditCase{"PresetSetsTurbo", 0x110, 0, 0, [] { ApplyPreset(3); }, 0x2000190, 3, 1, 0},
        // The bus switch writes CLKCFG alone, always with the turbo bit, TurboFlag untouched.
        EditCase{"FastBusOnNormal", 0x2000290, 0, 0, [] { SetFastBus(1); }, 0, 11, 0, 1},
        EditCase{"FastBusOnTurbo", 0x2000290, 1, 0, [] { SetFastBus(1); }, 0, 11, 1, 1},
        EditCase{"FastBusOffNormal", 0x2000290, 0, 1, [] { SetFastBus(0); }, 0, 3, 0, 0},
        EditCase{"FastBusOffTurbo", 0x2000290, 1, 1, [] { SetFastBus(0); }, 0, 3, 1, 0}),
    CaseName<EditCase>);

// ---- Edits that fail ---------------------------------------------------------------------

enum class Fault { None, ReservationRefused, MapRefused, CccrStore, ClkcfgWrite };

struct FailureCase {
  const char* name;
  Fault fault;
  void (*edit)();
  std::uint32_t wordAfter;  // only an edit that stores first changes it
  std::uint8_t turboAfter, fastBusAfter;
  bool mapped;  // whether the clock register was mapped at all
};

class FailureTest : public ScenarioTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FailureTest, BeepsOnceAndKeepsWhatTheEditDidNotSetFirst) {
  const FailureCase& c = GetParam();
  sim::Device().Registry.Keys[SettingsKey][u"View"] = sim::DwordValue(ViewFrequency);
  Start();
  Prepare(0x2000290, 0, 0);
  sim::Device().Faults.ReservationFails = c.fault == Fault::ReservationRefused;
  sim::Device().Cpu.MapFails = c.fault == Fault::MapRefused;
  sim::Device().Cpu.CccrStoreFaults = c.fault == Fault::CccrStore;
  sim::Device().Cpu.ClkcfgWriteFaults = c.fault == Fault::ClkcfgWrite;
  const std::uint32_t cccrBefore = sim::Device().Cpu.Cccr;

  c.edit();

  EXPECT_EQ(sim::Device().Log.Beeps, std::vector<std::uint32_t>{plat::MB_ICONHAND});
  EXPECT_FALSE(sim::Device().Cpu.KernelMode);
  EXPECT_EQ(AppState.CurrentClockWord, c.wordAfter);
  EXPECT_EQ(AppState.TurboFlag, c.turboAfter);
  EXPECT_EQ(AppState.FastBusFlag, c.fastBusAfter);
  EXPECT_EQ(Count("Shell_NotifyIcon"), 0);  // no refresh
  EXPECT_EQ(Count("VirtualAlloc") != 0, c.mapped);
  EXPECT_EQ(sim::Live().MemoryRegions, 0);
  if (c.fault != Fault::ClkcfgWrite) {
    EXPECT_EQ(sim::Device().Cpu.Cccr, cccrBefore);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailureTest,
    ::testing::Values(FailureCase{"EmptyPreset", Fault::None, [] { ApplyPreset(5); }, 0x2000290, 1,
                                  0, false},
                      FailureCase{"ReservationRefused", Fault::ReservationRefused,
                                  [] { SetTurboMultiplier(6); }, 0x2000290, 0, 0, true},
                      FailureCase{"MapRefused", Fault::MapRefused, [] { SetTurboMultiplier(6); },
                                  0x2000290, 0, 0, true},
                      FailureCase{"MapRefusedMemory", Fault::MapRefused,
                                  [] { SetMemoryDivider(0); }, 0x290, 0, 0, true},
                      FailureCase{"CccrStoreTurbo", Fault::CccrStore, [] { SetTurboMode(1); },
                                  0x2000290, 1, 0, true},
                      FailureCase{"CccrStoreRatio", Fault::CccrStore, [] { SetRunRatio(5); },
                                  0x2000290, 0, 0, true},
                      FailureCase{"ClkcfgWritePreset", Fault::ClkcfgWrite, [] { ApplyPreset(3); },
                                  0x2000290, 1, 0, true},
                      FailureCase{"ClkcfgWriteRatio", Fault::ClkcfgWrite, [] { SetRunRatio(5); },
                                  0x2000290, 0, 0, true},
                      FailureCase{"ClkcfgWriteFastBus", Fault::ClkcfgWrite, [] { SetFastBus(1); },
                                  0x2000290, 0, 0, false}),
    CaseName<FailureCase>);

TEST_F(ClockApplyTest, SuccessRefreshesTheFrequencyView) {
  sim::Device().Registry.Keys[SettingsKey][u"View"] = sim::DwordValue(ViewFrequency);
  Start();
  sim::Device().Log.Calls.clear();
  SetTurboMultiplier(6);
  EXPECT_EQ(Count("Shell_NotifyIcon"), 1);
}

// Neither written nor, in watch mode, read.
TEST_F(ClockApplyTest, UnknownProcessorsClockIsNeverWritten) {
  sim::Device().Cpu.MainId = 0x41000000;
  sim::Device().Registry.Keys[SettingsKey][u"Spy"] = sim::DwordValue(1);
  Start();
  AppState.CurrentClockWord = 0x2000290;
  sim::Device().Log.Calls.clear();
  ApplyClockWord(0x2000291);
  SetFastBus(1);
  Wait(1100);
  EXPECT_EQ(sim::Device().Log.Beeps.size(), 2u);
  EXPECT_EQ(Count("VirtualCopy") + Count("WriteClockConfig"), 0);
}

// No command asks for a field value or slot outside these; one that did must not reach the
// clock word (or read past the preset table).
TEST_F(ClockApplyTest, EditsOutsideTheFieldsRangesDoNothing) {
  Start();
  Prepare(0x2000290, 0, 0);
  for (void (*edit)() :
       {+[] { ApplyPreset(0); }, +[] { ApplyPreset(9); }, +[] { SetRunMultiplier(0); },
        +[] { SetRunMultiplier(4); }, +[] { SetTurboMultiplier(1); },
        +[] { SetTurboMultiplier(9); }, +[] { SetRunRatio(0); }, +[] { SetRunRatio(32); }}) {
    edit();
  }
  EXPECT_TRUE(sim::Device().Log.Calls.empty());
  EXPECT_EQ(AppState.TurboFlag, 0);
}

// ---- Watch mode --------------------------------------------------------------------------

class WatchTest : public ScenarioTest, public ::testing::WithParamInterface<std::uint32_t> {
 protected:
  void SetUp() override {
    ScenarioTest::SetUp();
    sim::Device().Registry.Keys[SettingsKey][u"Spy"] = sim::DwordValue(1);
    Start();
  }
};

TEST_P(WatchTest, AnyChangedBitIsPutBackWithinATick) {
  const std::uint32_t chosen = AppState.CurrentClockWord;
  sim::Device().Cpu.Cccr = chosen ^ GetParam();
  Wait(1100);
  EXPECT_EQ(sim::Device().Cpu.Cccr, chosen);
  EXPECT_TRUE(sim::Device().Log.Beeps.empty());
}

INSTANTIATE_TEST_SUITE_P(Bits, WatchTest,
                         ::testing::Values(1u << 0, 1u << 7, 1u << 16, 1u << 25, 1u << 31));

TEST_F(ClockApplyTest, WatchLeavesAnUnchangedClockAlone) {
  sim::Device().Registry.Keys[SettingsKey][u"Spy"] = sim::DwordValue(1);
  Start();
  const auto writes = sim::Device().Log.CccrWrites.size();
  Wait(3500);
  EXPECT_EQ(sim::Device().Log.CccrWrites.size(), writes);
  EXPECT_GE(Count("VirtualCopy"), 3);  // it did look
}

TEST_F(ClockApplyTest, WatchRetriesAndBeepsEveryTickWhileTheRegisterIsUnreadable) {
  sim::Device().Registry.Keys[SettingsKey][u"Spy"] = sim::DwordValue(1);
  Start();
  sim::Device().Cpu.MapFails = true;
  Wait(3500);
  EXPECT_EQ(sim::Device().Log.Beeps.size(), 3u);
  EXPECT_EQ(AppState.CurrentClockWord, 0x2000290u);
}

// ---- A request from another launch -------------------------------------------------------

TEST_F(ClockApplyTest, ApplyRequests) {
  Start();
  AppState.PresetTable[3] = 0x2000110;
  sim::Device().Cpu.Cccr = 0x1234;
  // The current word again (0), the highest, another and the lowest slot; then values of no
  // slot, which change nothing, among them a slot under bit 16 and under the word's next-to-top
  // bit (whether the word is 32 or 64 bits wide).
  const plat::LParam highBit = plat::LParam{1} << (8 * sizeof(plat::LParam) - 2);
  const std::pair<plat::LParam, std::uint32_t> requests[] = {
      {0, 0x2000290}, {8, 0x2000390},  {4, 0x2000110},       {1, 0x2000104},
      {9, 0x2000104}, {-1, 0x2000104}, {0x10003, 0x2000104}, {highBit | 3, 0x2000104}};
  for (auto [request, cccr] : requests) {
    sim::Post(AppState.MainWindow, UM_APPLYPRESET, 0, request);
    Pump();
    EXPECT_EQ(sim::Device().Cpu.Cccr, cccr) << request;
  }
  EXPECT_TRUE(sim::Device().Log.Beeps.empty());

  AppState.CurrentClockWord = 0;
  sim::Post(AppState.MainWindow, UM_APPLYPRESET, 0, 0);
  Pump();
  EXPECT_EQ(sim::Device().Log.Beeps, std::vector<std::uint32_t>{plat::MB_ICONHAND});
}

}  // namespace
