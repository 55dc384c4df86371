// Start-up's preset request and the wake-up relaunch on the simulated handheld: the clean-up
// walk over the notification database, the new registration and the relaunched copy's request.
#include <algorithm>

#include "platform/dialogs.h"
#include "platform/notification.h"
#include "scenario.h"

namespace {

using WakeupTest = ScenarioTest;

const std::u16string Program = u"Zorvik.exe";

int Cancellations() {
  return static_cast<int>(std::count_if(
      sim::Device().Log.Events.begin(), sim::Device().Log.Events.end(),
      [](const sim::EventRequest& r) { return r.Event == plat::NOTIFICATION_EVENT_NONE; }));
}

// ---- The preset asked for at start --------------------------------------------------------

TEST_F(WakeupTest, FirstLaunchWithAPresetAppliesItInTurbo) {
  // The default slots 1, 3 and 8: the lowest and the highest a launch may ask for.
  for (auto [request, word] :
       {std::pair{u"#1", 0x2000104u}, std::pair{u"#3", 0x2000110u}, std::pair{u"#8", 0x2000390u}}) {
    SetUp();
    sim::Device().Cpu.Clkcfg = 2;  // found in normal mode
    Start(request);
    EXPECT_EQ(sim::Device().Cpu.Cccr, word);
    EXPECT_EQ(sim::Device().Cpu.Clkcfg, 3u);
    EXPECT_EQ(AppState.TurboFlag, 1);
    EXPECT_EQ(sim::Device().Notifications.Wakeups(), std::vector<std::u16string>{Program});
  }
}

TEST_F(WakeupTest, FirstLaunchWithAnEmptyPresetBeepsAndStillRegisters) {
  sim::Device().Registry.Keys[SettingsKey][u"Freq1"] =
      sim::DwordValue(0x2000290);  // a stored table without slot 3
  Start(u"#3");
  EXPECT_EQ(sim::Device().Log.Beeps, std::vector<std::uint32_t>{plat::MB_ICONHAND});
  EXPECT_TRUE(sim::Device().Log.CccrWrites.empty());
  EXPECT_EQ(sim::Device().Notifications.Wakeups(), std::vector<std::u16string>{Program});
}

TEST_F(WakeupTest, FirstLaunchAfterWakeupAppliesNothingAndRegisters) {
  Start(u"AppRunAfterWakeup");
  EXPECT_TRUE(sim::Device().Log.CccrWrites.empty());
  EXPECT_TRUE(sim::Device().Log.ClkcfgWrites.empty());
  EXPECT_TRUE(sim::Device().Log.Beeps.empty());
  EXPECT_EQ(sim::Device().Notifications.Wakeups(), std::vector<std::u16string>{Program});
}

// ---- Removing what earlier runs left --------------------------------------------------------

inline constexpr std::uint32_t ForeignText = (7u << 16) | plat::CEVT_LPWSTR;
inline constexpr std::uint32_t ForeignNumber = (8u << 16) | 19;
inline constexpr std::uint32_t SecondForeignText = (9u << 16) | plat::CEVT_LPWSTR;

struct StaleCase {
  const char* name;
  std::vector<sim::NotificationRecord> records;
  int cancellations;
  std::vector<std::u16string> registeredAfter;
};

class StaleTest : public ScenarioTest, public ::testing::WithParamInterface<StaleCase> {};

TEST_P(StaleTest, EveryMatchingRecordCancelsAndOneRegistrationIsLeft) {
  for (const sim::NotificationRecord& record : GetParam().records) {
    sim::Device().Notifications.Records.push_back(record);
  }
  Start();
  EXPECT_EQ(Cancellations(), GetParam().cancellations);
  EXPECT_EQ(sim::Device().Notifications.Wakeups(), GetParam().registeredAfter);
  EXPECT_EQ(sim::Live().Databases, 0);
  EXPECT_EQ(sim::Live().RecordBuffers, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Records, StaleTest,
    ::testing::Values(StaleCase{"TwoOfOurs",
                                {sim::WakeupRecord(u"Other.exe"), sim::WakeupRecord(Program),
                                 sim::WakeupRecord(Program)},
                                2,
                                {u"Other.exe", Program}},
                      StaleCase{"WithAPathIsNotOurs",
                                {sim::WakeupRecord(u"\\Windows\\Zorvik.exe")},
                                0,
                                {u"\\Windows\\Zorvik.exe", Program}},
                      StaleCase{"AnotherLayoutFirst",
                                {{{ForeignNumber, u"", 5}, {ForeignText, Program, 0}},
                                 sim::WakeupRecord(Program),
                                 {{ForeignText, u"Other.exe", 0}}},
                                1,
                                {Program}},
                      // Another layout with two string properties: the name in the first of
                      // one record, in the second of the next.
                      StaleCase{"NameInEitherStringProperty",
                                {{{ForeignText, Program, 0},
                                  {ForeignNumber, u"", 5},
                                  {SecondForeignText, u"Other.exe", 0}},
                                 {{ForeignText, u"Other.exe", 0}, {SecondForeignText, Program, 0}}},
                                2,
                                {Program}},
                      StaleCase{"Empty", {}, 0, {Program}}),
    [](const ::testing::TestParamInfo<StaleCase>& param) { return std::string(param.param.name); });

// A database that cannot be opened, or whose record count cannot be read, is walked no further.
TEST_F(WakeupTest, AnUnreadableDatabaseCancelsNothing) {
  for (bool opens : {false, true}) {
    SetUp();
    sim::Device().Faults.NotificationDatabaseFails = !opens;
    sim::Device().Faults.ObjectInfoFails = opens;
    sim::Device().Notifications.Records.push_back(sim::WakeupRecord(Program));
    Start();
    EXPECT_EQ(Cancellations(), 0) << opens;
    EXPECT_EQ(Count("CeOidGetInfo"), opens ? 1 : 0);
    EXPECT_EQ(sim::Live().Databases, 0);
  }
}

TEST_F(WakeupTest, UnknownProcessorRemovesStaleRegistrationsAndRegistersNone) {
  sim::Device().Cpu.MainId = 0x41000000;
  sim::Device().Notifications.Records.push_back(sim::WakeupRecord(Program));
  Start();
  EXPECT_TRUE(sim::Device().Notifications.Wakeups().empty());
}

TEST_F(WakeupTest, RestartLeavesOneRegistration) {
  Start();
  Restart();  // ended without the exit command
  EXPECT_EQ(sim::Device().Notifications.Wakeups(), std::vector<std::u16string>{Program});
}

// ---- The relaunch at wake-up --------------------------------------------------------------

TEST_F(WakeupTest, RelaunchMakesTheResidentCopyApplyItsClockAgain) {
  Start();
  const std::uint32_t chosen = AppState.CurrentClockWord;
  sim::Device().Cpu.Cccr = 0x2000104;  // the clock the device woke with

  EXPECT_EQ(Start(u"AppRunAfterWakeup"), 0);  // the platform's launch: hands over and ends
  Pump();

  EXPECT_EQ(sim::Device().Cpu.Cccr, chosen);
  EXPECT_EQ(sim::Device().Notifications.Wakeups(), std::vector<std::u16string>{Program});
}

}  // namespace
