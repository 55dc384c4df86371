// The settings store on the simulated handheld: first-run presets, loading with its clamps,
// values of the wrong type, and each setter's side effect and single registry write.
#include "app/settings.h"

#include <cstring>

#include "base/messages.h"
#include "platform/registry.h"
#include "scenario.h"

namespace {

using SettingsTest = ScenarioTest;

std::vector<std::uint8_t> DwordBytes(std::uint32_t value) {
  std::vector<std::uint8_t> bytes(4);
  std::memcpy(bytes.data(), &value, 4);
  return bytes;
}

std::vector<std::pair<std::u16string, std::uint32_t>> StoredDwords() {
  std::vector<std::pair<std::u16string, std::uint32_t>> values;
  const auto key = sim::Device().Registry.Keys.find(SettingsKey);
  if (key == sim::Device().Registry.Keys.end()) return values;
  for (const auto& [name, value] : key->second) {
    values.emplace_back(name, sim::Device().Registry.Dword(SettingsKey, name).value_or(0xDEADBEEF));
  }
  return values;
}

std::vector<std::pair<std::u16string, std::uint32_t>> Presets(
    const std::uint32_t (&words)[PresetSlots]) {
  std::vector<std::pair<std::u16string, std::uint32_t>> values;
  for (int slot = 1; slot <= PresetSlots; ++slot) {
    values.emplace_back(Utf16(("Freq" + std::to_string(slot)).c_str()), words[slot - 1]);
  }
  return values;
}

// ---- First run and loading -----------------------------------------------------------------

constexpr std::uint32_t pxa27x[PresetSlots] = {0x2000104, 0x2000108, 0x2000110, 0x2000190,
                                               0x2000210, 0x2000290, 0x2000310, 0x2000390};
constexpr std::uint32_t pxa25x[PresetSlots] = {0x121, 0x141, 0x1C1, 0x241,
                                               0x242, 0x2C1, 0x243, 0x341};

int Calls(const char* operation) {
  int n = 0;
  for (const sim::RegistryCall& call : sim::Device().Log.Registry) n += call.Operation == operation;
  return n;
}

TEST_F(SettingsTest, FirstRunSeedsThePresetsOfTheFamilyAndNothingElse) {
  Start();
  EXPECT_EQ(StoredDwords(), Presets(pxa27x));
  EXPECT_EQ(sim::Live().RegistryKeys, 0);

  SetUp();
  sim::Device().Cpu.MainId = 0x69052100;
  Start();
  EXPECT_EQ(StoredDwords(), Presets(pxa25x));
  for (int slot = 0; slot < PresetSlots; ++slot)
    EXPECT_EQ(AppState.PresetTable[slot], pxa25x[slot]);
}

TEST_F(SettingsTest, UnknownProcessorCreatesNoKey) {
  sim::Device().Cpu.MainId = 0x41000000;
  Start();
  EXPECT_EQ(sim::Device().Registry.Keys.count(SettingsKey), 0u);
  for (std::uint32_t word : AppState.PresetTable) EXPECT_EQ(word, 0u);
}

TEST_F(SettingsTest, EveryAccessOpensAndClosesTheKeyWithItsOwnRights) {
  Start();  // seeds: eight writes
  int opens = 0;
  for (const sim::RegistryCall& call : sim::Device().Log.Registry) {
    if (call.KeyPath != SettingsKey) continue;
    if (call.Operation == "open") {
      EXPECT_EQ(call.Access, plat::KEY_READ);
    }
    if (call.Operation == "create") {
      EXPECT_EQ(call.Access, plat::KEY_WRITE);
      ++opens;
    }
  }
  EXPECT_EQ(opens, 8);
  EXPECT_EQ(sim::Live().RegistryKeys, 0);
}

TEST_F(SettingsTest, EmptyKeyLoadsTheInitialValuesWithoutSeeding) {
  sim::Device().Registry.Keys.try_emplace(SettingsKey);
  Start();
  EXPECT_TRUE(sim::Device().Registry.Keys[SettingsKey].empty());
  for (std::uint32_t word : AppState.PresetTable) EXPECT_EQ(word, 0u);
  EXPECT_EQ(AppState.IconView, ViewFrequency);
  EXPECT_EQ(AppState.IconColors, 0x000C000Bu);
  EXPECT_EQ(AppState.UpdateTempo, 2u);
  EXPECT_EQ(AppState.WatchMode, 0u);
}

// Stored "View" 7 and "Speed" 9, then the first value past each range.
TEST_F(SettingsTest, OutOfRangeValuesAreClampedInMemoryOnly) {
  for (auto [view, speed] :
       {std::pair<std::uint32_t, std::uint32_t>{7, 9}, {IconViewCount, UpdateTempoCount}}) {
    SCOPED_TRACE(view);
    SetUp();
    sim::Device().Registry.Keys[SettingsKey][u"View"] = sim::DwordValue(view);
    sim::Device().Registry.Keys[SettingsKey][u"Speed"] = sim::DwordValue(speed);
    sim::Device().Registry.Keys[SettingsKey][u"Color"] = sim::DwordValue(0xFFFFFFFF);
    sim::Device().Registry.Keys[SettingsKey][u"Spy"] = sim::DwordValue(5);
    sim::Device().Registry.Keys[SettingsKey][u"Auto"] = sim::DwordValue(7);
    auto before = StoredSettings();

    Start();

    EXPECT_EQ(AppState.IconView, ViewPlain);
    EXPECT_EQ(AppState.UpdateTempo, 2u);
    EXPECT_EQ(AppState.IconColors, 0x000F000Fu);
    EXPECT_NE(AppState.WatchMode, 0u);  // any non-zero value is on
    EXPECT_NE(AppState.AutoMode, 0u);
    EXPECT_EQ(Calls("set"), 0);
    auto after = StoredSettings();
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
      EXPECT_EQ(after[i].first, before[i].first);
      EXPECT_EQ(after[i].second.Type, before[i].second.Type);
      EXPECT_EQ(after[i].second.Data, before[i].second.Data);
    }
  }
}

// A value of no slot ("Freq0") is read into nothing: the program still works.
TEST_F(SettingsTest, PresetsAreTakenAsStored) {
  sim::Device().Registry.Keys[SettingsKey][u"Freq0"] = sim::DwordValue(0x01010101);
  sim::Device().Registry.Keys[SettingsKey][u"Freq2"] = sim::DwordValue(0xFFFFFFFF);
  sim::Device().Registry.Keys[SettingsKey][u"Freq8"] = sim::DwordValue(0x2000290);
  Start();
  EXPECT_EQ(AppState.PresetTable[0], 0u);
  EXPECT_EQ(AppState.PresetTable[1], 0xFFFFFFFFu);
  EXPECT_EQ(AppState.PresetTable[7], 0x2000290u);
  EXPECT_EQ(sim::Live().RegistryKeys, 0);
  sim::TapTrayIcon(plat::WM_LBUTTONDOWN);
  Pump();
  EXPECT_EQ(sim::Device().Log.Menus.size(), 1u);
}

struct WrongValue {
  const char* what;
  std::uint32_t type;
  std::vector<std::uint8_t> data;
};

class WrongTypeTest : public ScenarioTest, public ::testing::WithParamInterface<WrongValue> {};

TEST_P(WrongTypeTest, LeavesTheInitialValueAndTheStoredValue) {
  const WrongValue& bad = GetParam();
  for (const char16_t* name : {u"View", u"Color", u"Speed", u"Spy", u"Auto", u"Freq3"}) {
    sim::Device().Registry.Keys[SettingsKey][name] = {bad.type, bad.data};
  }
  Start();

  EXPECT_EQ(AppState.IconView, ViewFrequency);
  EXPECT_EQ(AppState.IconColors, 0x000C000Bu);
  EXPECT_EQ(AppState.UpdateTempo, 2u);
  EXPECT_EQ(AppState.WatchMode, 0u);
  EXPECT_EQ(AppState.AutoMode, 0u);
  EXPECT_EQ(AppState.PresetTable[2], 0u);
  EXPECT_EQ(Calls("set"), 0);
  const sim::RegistryValue* stored = sim::Device().Registry.Value(SettingsKey, u"View");
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(stored->Type, bad.type);
  EXPECT_EQ(stored->Data, bad.data);
}

INSTANTIATE_TEST_SUITE_P(
    Values, WrongTypeTest,
    ::testing::Values(WrongValue{"string", plat::REG_SZ, {'3', 0, 0, 0}},
                      WrongValue{"long string", plat::REG_SZ, std::vector<std::uint8_t>(64, 'x')},
                      WrongValue{"binary of four bytes", plat::REG_BINARY, {3, 0, 0, 0}},
                      WrongValue{"binary of two bytes", plat::REG_BINARY, {3, 0}},
                      WrongValue{"empty binary", plat::REG_BINARY, {}},
                      WrongValue{"dword of eight bytes", plat::REG_DWORD, {3, 0, 0, 0, 0, 0, 0, 0}},
                      WrongValue{"dword of two bytes", plat::REG_DWORD, {3, 0}},
                      WrongValue{"qword", 11, {3, 0, 0, 0, 0, 0, 0, 0}},
                      WrongValue{"multi-string", plat::REG_MULTI_SZ, {'3', 0, 0, 0, 0, 0}}),
    [](const ::testing::TestParamInfo<WrongValue>& value) {
      std::string name = value.param.what;
      for (char& c : name) c = (c == ' ' || c == '-') ? '_' : c;
      return name;
    });

// ---- Registry failures: silent, and AppState stays the master copy ------------------------------

TEST_F(SettingsTest, KeyThatCannotBeCreatedLeavesTheSettingsInMemoryOnly) {
  sim::Device().Faults.Registry.push_back({"create"});
  Start();  // first run: the seeded presets cannot be stored
  for (int slot = 0; slot < PresetSlots; ++slot)
    EXPECT_EQ(AppState.PresetTable[slot], pxa27x[slot]);

  SetIconView(ViewLoad);
  SetIconColor(1);
  SetUpdateTempo(1);
  ToggleWatchMode();
  StorePreset(0, 0x121);

  EXPECT_TRUE(sim::Device().Log.Boxes.empty());
  EXPECT_EQ(AppState.IconView, ViewLoad);
  EXPECT_EQ(AppState.IconColors, 0x000C0009u);
  EXPECT_EQ(AppState.UpdateTempo, 1u);
  EXPECT_EQ(AppState.WatchMode, 1u);
  EXPECT_EQ(AppState.PresetTable[0], 0x121u);
  EXPECT_EQ(FindTimer(ID_TIMER_ICON)->PeriodMs, 500u);
  EXPECT_TRUE(FindTimer(ID_TIMER_WATCH).has_value());
  EXPECT_EQ(sim::Device().Registry.Keys.count(SettingsKey), 0u);
  EXPECT_EQ(Calls("set"), 0) << "no write without a key";
  EXPECT_EQ(Calls("close"), 0);
}

TEST_F(SettingsTest, FailedWriteChangesNoOtherValueAndClosesTheKey) {
  Start();
  sim::Device().Faults.Registry.push_back({"set", 5, SettingsKey, u"Color"});
  const auto before = StoredSettings();

  SetIconColor(1);

  EXPECT_EQ(AppState.IconColors, 0x000C0009u);
  EXPECT_EQ(sim::Live().RegistryKeys, 0);
  const auto after = StoredSettings();
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < after.size(); ++i) {
    EXPECT_EQ(after[i].first, before[i].first);
    EXPECT_EQ(after[i].second.Data, before[i].second.Data);
  }
  SetIconView(ViewMemory);  // the next setter writes as usual
  EXPECT_EQ(sim::Device().Registry.Dword(SettingsKey, u"View"), ViewMemory);
}

// A key that cannot be opened for reading is taken for a first run: the stored values are not
// loaded and the presets are seeded; the other values stay as they are in the registry.
TEST_F(SettingsTest, KeyThatCannotBeOpenedAtStartSeedsThePresets) {
  sim::Device().Registry.Keys[SettingsKey][u"View"] = sim::DwordValue(ViewMemory);
  sim::Device().Registry.Keys[SettingsKey][u"Speed"] = sim::DwordValue(0);
  sim::Device().Faults.Registry.push_back({"open"});
  Start();
  EXPECT_EQ(AppState.IconView, ViewFrequency);
  EXPECT_EQ(AppState.UpdateTempo, 2u);
  EXPECT_EQ(Calls("query"), 0);
  for (int slot = 0; slot < PresetSlots; ++slot)
    EXPECT_EQ(AppState.PresetTable[slot], pxa27x[slot]);
  EXPECT_EQ(sim::Device().Registry.Dword(SettingsKey, u"Freq8"), pxa27x[7]);
  EXPECT_EQ(sim::Device().Registry.Dword(SettingsKey, u"View"), ViewMemory);
  EXPECT_EQ(sim::Device().Registry.Dword(SettingsKey, u"Speed"), 0u);
  EXPECT_EQ(sim::Live().RegistryKeys, 0);
}

// ---- Setters ---------------------------------------------------------------------------------

TEST_F(SettingsTest, SettingTheCurrentViewOrNoneChangesAndWritesNothing) {
  sim::Device().Registry.Keys[SettingsKey][u"View"] = sim::DwordValue(ViewMemory);
  Start();
  sim::Device().Log.Calls.clear();
  AppState.SampleHistory[3] = 7;
  int writes = Calls("set");

  SetIconView(ViewMemory);
  SetIconView(IconViewCount);  // no such view

  EXPECT_EQ(Calls("set"), writes);
  EXPECT_TRUE(sim::Device().Log.Calls.empty());
  EXPECT_EQ(AppState.SampleHistory[3], 7);
}

TEST_F(SettingsTest, ViewChangesKeepOrStopTheIconTimer) {
  sim::Device().Registry.Keys[SettingsKey][u"View"] = sim::DwordValue(ViewLoad);
  sim::Device().Registry.Keys[SettingsKey][u"Speed"] = sim::DwordValue(1);
  Start();
  std::uint32_t due = FindTimer(ID_TIMER_ICON)->NextDueMs;

  SetIconView(ViewMemory);
  ASSERT_TRUE(FindTimer(ID_TIMER_ICON).has_value());
  EXPECT_EQ(FindTimer(ID_TIMER_ICON)->PeriodMs, 500u);
  EXPECT_EQ(FindTimer(ID_TIMER_ICON)->NextDueMs, due) << "the running timer goes on";
  EXPECT_EQ(sim::Device().Registry.Dword(SettingsKey, u"View"), ViewMemory);

  SetIconView(ViewFrequency);
  EXPECT_FALSE(FindTimer(ID_TIMER_ICON).has_value());
  EXPECT_EQ(AppState.IconTimerId, 0u);

  SetIconView(ViewLoad);
  ASSERT_TRUE(FindTimer(ID_TIMER_ICON).has_value());
  EXPECT_EQ(FindTimer(ID_TIMER_ICON)->PeriodMs, 500u);
  EXPECT_EQ(AppState.IconTimerId, ID_TIMER_ICON);
}

// Back in a number view the icon is drawn again, even with the number it showed before.
TEST_F(SettingsTest, EveryViewChangeRedrawsTheIcon) {
  Start();  // the Frequency view
  for (std::uint32_t view : {ViewPlain, ViewFrequency, ViewLoad, ViewFrequency}) {
    sim::Device().Log.Calls.clear();
    SetIconView(view);
    EXPECT_EQ(Count("Shell_NotifyIcon"), 1) << view;
  }
}

TEST_F(SettingsTest, ViewChangeResetsTheLoadHistory) {
  sim::Device().Registry.Keys[SettingsKey][u"View"] = sim::DwordValue(ViewMemory);
  Start();
  for (std::uint8_t& sample : AppState.SampleHistory) sample = 3;
  AppState.LastIdleTime = 12345;
  SetIconView(ViewBattery);
  for (std::uint8_t sample : AppState.SampleHistory) EXPECT_EQ(sample, 100);
  EXPECT_EQ(AppState.LastIdleTime, 0u);
}

TEST_F(SettingsTest, ColourChoicesSetOneHalfEach) {
  struct Case {
    int choice;
    std::uint32_t colors;
  };
  Start();
  for (Case c :
       {Case{8, 0x0000000B}, Case{0, 0x00000000}, Case{7, 0x0000000F}, Case{15, 0x000F000F},
        Case{1, 0x000F0009}, Case{12, 0x000C0009}, Case{16, 0x000C0009}, Case{-1, 0x000C0009}}) {
    SetIconColor(c.choice);
    EXPECT_EQ(AppState.IconColors, c.colors) << "choice " << c.choice;
    EXPECT_EQ(sim::Device().Registry.Dword(SettingsKey, u"Color").value_or(0xC000B), c.colors);
  }
}

TEST_F(SettingsTest, ClearedSlotIsStoredAsZeroAndLoadsEmpty) {
  Start();
  StorePreset(2, 0);
  EXPECT_EQ(AppState.PresetTable[2], 0u);
  EXPECT_EQ(sim::Device().Registry.Dword(SettingsKey, u"Freq3"), 0u);

  Restart();
  EXPECT_EQ(AppState.PresetTable[2], 0u);
  EXPECT_EQ(AppState.PresetTable[3], 0x2000190u);
  EXPECT_EQ(sim::Device().Registry.Dword(SettingsKey, u"Freq3"), 0u) << "not seeded again";
}

TEST_F(SettingsTest, StoringOutsideTheSlotsIsIgnored) {
  Start();
  int writes = Calls("set");
  StorePreset(PresetSlots, 0x121);
  StorePreset(-1, 0x121);
  EXPECT_EQ(Calls("set"), writes);
  EXPECT_EQ(sim::Device().Registry.Value(SettingsKey, u"Freq9"), nullptr);
  EXPECT_EQ(sim::Device().Registry.Value(SettingsKey, u"Freq0"), nullptr);
}

TEST_F(SettingsTest, WatchOffAndOnWritesTwiceAndLeavesOneTimer) {
  sim::Device().Registry.Keys[SettingsKey][u"Spy"] = sim::DwordValue(1);
  Start();
  std::vector<std::uint32_t> written;
  ToggleWatchMode();
  written.push_back(*sim::Device().Registry.Dword(SettingsKey, u"Spy"));
  EXPECT_FALSE(FindTimer(ID_TIMER_WATCH).has_value());
  EXPECT_EQ(AppState.WatchTimerId, 0u);
  ToggleWatchMode();
  written.push_back(*sim::Device().Registry.Dword(SettingsKey, u"Spy"));

  EXPECT_EQ(written, (std::vector<std::uint32_t>{0, 1}));
  int spyWrites = 0;
  for (const sim::RegistryCall& call : sim::Device().Log.Registry) {
    spyWrites += call.Operation == "set" && call.ValueName == u"Spy";
  }
  EXPECT_EQ(spyWrites, 2);
  EXPECT_EQ(sim::Device().Ui.Timers.size(), 1u);
  EXPECT_EQ(FindTimer(ID_TIMER_WATCH)->PeriodMs, 1000u);
}

TEST_F(SettingsTest, TempoRestartsTheIconTimerWithItsPeriod) {
  sim::Device().Registry.Keys[SettingsKey][u"View"] = sim::DwordValue(ViewLoad);
  Start();
  for (std::uint32_t tempo : {0u, 3u, 4u}) {
    SetUpdateTempo(tempo);
    ASSERT_TRUE(FindTimer(ID_TIMER_ICON).has_value());
    EXPECT_EQ(FindTimer(ID_TIMER_ICON)->PeriodMs, 250u << tempo);
    EXPECT_EQ(sim::Device().Registry.Dword(SettingsKey, u"Speed"), tempo);
  }
  SetUpdateTempo(5);  // no such tempo: nothing changes
  EXPECT_EQ(AppState.UpdateTempo, 4u);
  EXPECT_EQ(sim::Device().Registry.Dword(SettingsKey, u"Speed"), 4u);
}

TEST_F(SettingsTest, SettersNeverLeaveTheKeyOpen) {
  Start();
  SetIconView(ViewLoad);
  SetIconColor(3);
  SetUpdateTempo(1);
  ToggleWatchMode();
  StorePreset(0, 0x2000290);
  EXPECT_EQ(sim::Live().RegistryKeys, 0);
  EXPECT_EQ(sim::Device().Registry.Value(SettingsKey, u"View")->Data, DwordBytes(ViewLoad));
}

}  // namespace
