// Menu commands on the simulated handheld: each identifier's observable effect, the default
// processing, the tool dialogs, and the service commands' questions, reboots and shortcut.
#include "app/commands.h"

#include <cstdio>
#include <functional>
#include <map>

#include "app/service.h"
#include "base/messages.h"
#include "scenario.h"

namespace {

using CommandsTest = ScenarioTest;

const std::u16string DisplayKey = u"HKLM\\Drivers\\Display\\GPE";
const std::u16string StartupLink = u"\\Windows\\StartUp\\Zorvik.lnk";

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", value);
  return text;
}

// What the user could see or find afterwards, one entry per kind of effect.
std::map<std::string, std::string> Observe() {
  std::map<std::string, std::string> seen;
  for (int slot = 0; slot < PresetSlots; ++slot) {
    seen["slot" + std::to_string(slot + 1)] = std::to_string(AppState.PresetTable[slot]);
  }
  seen["cccr"] = Hex(sim::Device().Cpu.Cccr);
  seen["clkcfg"] = std::to_string(sim::Device().Cpu.Clkcfg);
  seen["turbo"] = std::to_string(AppState.TurboFlag);
  seen["fastbus"] = std::to_string(AppState.FastBusFlag);
  seen["view"] = std::to_string(AppState.IconView);
  seen["colors"] = std::to_string(AppState.IconColors);
  seen["tempo"] = std::to_string(AppState.UpdateTempo);
  seen["watch"] = std::to_string(AppState.WatchMode);
  seen["auto"] = std::to_string(AppState.AutoMode);
  seen["autostart"] = std::to_string(AppState.Capabilities.AutostartEnabled);
  seen["orientation"] = std::to_string(sim::Device().System.Orientation);
  seen["devmode"] = std::to_string(AppState.DisplaySettings.Size);
  seen["dialogs"] = std::to_string(sim::Device().Dialogs.size());
  if (!sim::Device().Dialogs.empty())
    seen["dialogs"] += "@" + std::to_string(sim::Device().Dialogs.back().TemplateId);
  seen["boxes"] = std::to_string(sim::Device().Log.Boxes.size());
  seen["started"] = std::to_string(sim::Device().Log.Started.size());
  int closes = 0;
  for (const sim::PostedMessage& m : sim::Device().Log.Posted) closes += m.Id == plat::WM_CLOSE;
  seen["close"] = std::to_string(closes);
  return seen;
}

// The entries that changed, as "name=new" separated by spaces.
std::string Changes(const std::map<std::string, std::string>& before) {
  std::string out;
  for (const auto& [name, value] : Observe()) {
    if (before.at(name) == value) continue;
    if (!out.empty()) out += ' ';
    out += name + "=" + value;
  }
  return out;
}

struct CommandRange {
  int first;
  int last;
  std::function<std::string(int id)> expected;
};

// The clock starts at StartWord in normal mode with the slow bus, and CLKCFG reads 0 before the
// command, so that every write shows. What a clock command leaves, as Changes would print it.
constexpr std::uint32_t StartWord = 0x2000118;
std::string Clock(std::uint32_t cccr, int clkcfg, int turbo = 0, int fastbus = 0) {
  std::string out;
  if (cccr != StartWord) out += "cccr=" + Hex(cccr) + " ";
  out += "clkcfg=" + std::to_string(clkcfg);
  if (fastbus != 0) out += " fastbus=" + std::to_string(fastbus);
  if (turbo != 0) out += " turbo=" + std::to_string(turbo);
  return out;
}

const CommandRange CommandRanges[] = {
    {1000, 1000, [](int) { return "dialogs=1@100"; }},
    // Slot n holds 0x2000290 + n.
    {1001, 1008, [](int id) { return Clock(0x2000290 + (id - 1000), 3, 1); }},
    {1009, 1011, [](int id) { return Clock(StartWord + (id - 1008) * 32, 2); }},
    {1012, 1018, [](int id) { return Clock(0x2000018 + (id - 1010) * 128, 2); }},
    {1019, 1019, [](int) { return Clock(0x118, 2); }},
    {1020, 1020, [](int) { return Clock(StartWord, 2); }},
    {1021, 1021, [](int) { return Clock(StartWord, 3); }},
    {1022, 1022, [](int) { return Clock(StartWord, 11, 0, 1); }},
    {1023, 1023, [](int) { return Clock(StartWord, 2); }},
    {1024, 1024, [](int) { return Clock(StartWord, 3, 1); }},
    {1025, 1025, [](int) { return "watch=1"; }},
    {1027, 1057, [](int id) { return Clock(0x2000100 + (id - 1026), 2); }},
    {1059, 1066,
     [](int id) {
       return "slot" + std::to_string(id - 1058) + "=" + std::to_string(AppState.CurrentClockWord);
     }},
    {1068, 1075, [](int id) { return "slot" + std::to_string(id - 1067) + "=0"; }},
    // Seeded colours: foreground and background index 5, both shown as black.
    {1076, 1076, [](int) { return "colors=" + std::to_string(0x50000); }},
    {1077, 1083, [](int id) { return "colors=" + std::to_string(0x50000 + id - 1068); }},
    {1084, 1084, [](int) { return "colors=" + std::to_string(5); }},
    {1085, 1091, [](int id) { return "colors=" + std::to_string(((id - 1076) << 16) + 5); }},
    {1092, 1093, [](int id) { return "tempo=" + std::to_string(id - 1092); }},
    {1095, 1096, [](int id) { return "tempo=" + std::to_string(id - 1092); }},
    {1097, 1097, [](int) { return "dialogs=1@100"; }},
    {1098, 1098, [](int) { return "dialogs=1@102"; }},
    {1099, 1099, [](int) { return "started=1"; }},
    {1100, 1101, [](int) { return "boxes=1"; }},  // DisplayMode 0: both ask
    {1102, 1104, [](int id) { return "orientation=" + std::to_string(id - 1102); }},
    {1105, 1105, [](int) { return "orientation=4"; }},
    {1106, 1106, [](int) { return "view=0"; }},
    {1108, 1111, [](int id) { return "view=" + std::to_string(id - 1106); }},
    {1112, 1112, [](int) { return "autostart=1"; }},
    {1113, 1114, [](int) { return "boxes=1"; }},
    {1115, 1115, [](int) { return "close=1"; }},
    {1116, 1116, [](int) { return "auto=1"; }},
};

TEST_F(CommandsTest, EveryCommandReachesItsOperationWithItsArgument) {
  for (const CommandRange& range : CommandRanges) {
    for (int id = range.first; id <= range.last; ++id) {
      SCOPED_TRACE(id);
      SetUp();
      sim::Device().Files.push_back({u"\\Windows\\peghelp.exe"});
      sim::Device().System.Orientation = 7;  // none of the four, so that each turn shows
      sim::Device().Cpu.Cccr = StartWord;    // in no preset slot, so that each store shows
      sim::Device().Cpu.Clkcfg = 2;          // normal mode, slow bus
      sim::Device().Registry.Keys[SettingsKey][u"Color"] = sim::DwordValue(0x50005);
      for (int n = 1; n <= PresetSlots; ++n) {
        sim::Device().Registry.Keys[SettingsKey][Utf16(("Freq" + std::to_string(n)).c_str())] =
            sim::DwordValue(0x2000290 + n);
      }
      Start();
      sim::Device().Cpu.Clkcfg = 0;
      sim::Device().Ui.DefaultResult = 77;  // shows a command left to the default processing
      const auto before = Observe();
      EXPECT_EQ(HandleMenuCommand(AppState.MainWindow, static_cast<plat::WParam>(id), 0), 0);
      EXPECT_EQ(Changes(before), range.expected(id));
    }
  }
}

TEST_F(CommandsTest, OnlyTheLowWordCountsAndTheRestGetsTheDefaultProcessingResult) {
  Start();
  sim::Device().Ui.DefaultResult = 77;
  EXPECT_EQ(HandleMenuCommand(AppState.MainWindow, 0x12340000u | IDM_VIEW_MEMORY, 0), 0);
  EXPECT_EQ(AppState.IconView, ViewMemory);

  for (unsigned id : {IDM_FIRST - 1u, IDM_LAST + 1u, 1026u, 1058u, 1067u, 0x10000u | 1026u}) {
    SCOPED_TRACE(id);
    sim::Device().Log.Calls.clear();
    const auto before = Observe();
    EXPECT_EQ(HandleMenuCommand(AppState.MainWindow, id, 5), 77);
    EXPECT_EQ(Count("DefWindowProcW"), 1);
    EXPECT_EQ(Changes(before), "");
  }
}

TEST_F(CommandsTest, AnOpenDialogIsBroughtForwardAndTheOtherOneNests) {
  Start();
  sim::After(10, [] { sim::Post(AppState.MainWindow, plat::WM_COMMAND, IDM_PROCESSES, 0); });
  sim::After(20, [] { sim::Post(AppState.MainWindow, plat::WM_COMMAND, IDM_INFO, 0); });
  sim::After(30,
             [] { sim::Post(AppState.MainWindow, plat::WM_COMMAND, IDM_SERVICE_PROCESSES, 0); });
  sim::After(40, [] { sim::Post(AppState.MainWindow, plat::WM_COMMAND, IDM_INFO, 0); });
  Pump();

  std::vector<sim::DialogRecord> dialogs = sim::Device().Dialogs;
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_EQ(dialogs[0].TemplateId, 100);
  EXPECT_EQ(dialogs[1].TemplateId, 102);
  EXPECT_EQ(dialogs[0].Owner, plat::Window{});
  EXPECT_EQ(sim::Device().Log.Foreground,
            (std::vector<plat::Window>{dialogs[0].Handle, dialogs[1].Handle}));
  EXPECT_EQ(AppState.ProcessDialogWindow, plat::Window{});
  EXPECT_EQ(AppState.InfoDialogWindow, plat::Window{});

  // A closed dialog's handle is not brought forward again: each request opens a new copy.
  for (ToolDialog dialog : {ProcessListDialog, InformationDialog}) ShowToolDialog(dialog);
  ASSERT_EQ(sim::Device().Dialogs.size(), 4u);
  EXPECT_EQ(sim::Device().Dialogs[2].TemplateId, 100);
  EXPECT_EQ(sim::Device().Dialogs[3].TemplateId, 102);
  EXPECT_EQ(sim::Device().Log.Foreground.size(), 2u);

  // With the template gone nothing opens and the next request tries again.
  sim::Device().Faults.MissingDialogs.insert(100);
  ShowToolDialog(ProcessListDialog);
  sim::Device().Faults.MissingDialogs.clear();
  ShowToolDialog(ProcessListDialog);
  EXPECT_EQ(sim::Device().Dialogs.size(), 5u);
}

// The tool dialogs of the last run as "100 101*": template, "*" while open.
std::string Shown() {
  std::string dialogs;
  for (const sim::DialogRecord& d : sim::Device().Dialogs) {
    dialogs += (dialogs.empty() ? "" : " ") + std::to_string(d.TemplateId) + (d.Open ? "*" : "");
  }
  return dialogs;
}

// A dialog asked for while its closed copy's loop still waits under a dialog opened from inside
// it opens as soon as that loop has returned: not before, not twice, and not for a process list
// that has closed meanwhile or a program that is closing. Each step is a menu command (dialog 0)
// or a button of the open dialog; after each, the dialogs shown so far ("*" still open).
TEST_F(CommandsTest, ADialogAskedForUnderAnotherOpensOnceItsLoopReturns) {
  struct Step {
    int dialog;
    int command;
    const char* shown;
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"ProcessesAfterTheirThreadList",
       {{0, IDM_PROCESSES, "100*"},
        {IDD_PROCESSES, IDC_THREADS, "100* 101*"},
        {IDD_PROCESSES, plat::IDOK, "100 101*"},
        {0, IDM_SERVICE_PROCESSES, "100 101*"},
        {0, IDM_PROCESSES, "100 101*"},
        {IDD_THREADS, plat::IDOK, "100 101 100*"}}},
      {"ThreadsAfterTheInformation",
       {{0, IDM_PROCESSES, "100*"},
        {IDD_PROCESSES, IDC_THREADS, "100* 101*"},
        {0, IDM_INFO, "100* 101* 102*"},
        {IDD_THREADS, plat::IDOK, "100* 101 102*"},
        {IDD_PROCESSES, IDC_THREADS, "100* 101 102*"},
        {IDD_INFO, plat::IDOK, "100* 101 102 101*"}}},
      {"NoThreadsForAClosedProcessList",
       {{0, IDM_PROCESSES, "100*"},
        {IDD_PROCESSES, IDC_THREADS, "100* 101*"},
        {0, IDM_INFO, "100* 101* 102*"},
        {IDD_THREADS, plat::IDOK, "100* 101 102*"},
        {IDD_PROCESSES, IDC_THREADS, "100* 101 102*"},
        {IDD_PROCESSES, plat::IDOK, "100 101 102*"},
        {IDD_INFO, plat::IDOK, "100 101 102"}}},
      {"NoProcessesOnceTheProgramCloses",
       {{0, IDM_PROCESSES, "100*"},
        {IDD_PROCESSES, IDC_THREADS, "100* 101*"},
        {IDD_PROCESSES, plat::IDOK, "100 101*"},
        {0, IDM_PROCESSES, "100 101*"},
        {0, IDM_EXIT, "100 101"}}},
      {"NoThreadsOnceTheProgramCloses",
       {{0, IDM_PROCESSES, "100*"},
        {IDD_PROCESSES, IDC_THREADS, "100* 101*"},
        {0, IDM_INFO, "100* 101* 102*"},
        {IDD_THREADS, plat::IDOK, "100* 101 102*"},
        {IDD_PROCESSES, IDC_THREADS, "100* 101 102*"},
        {0, IDM_EXIT, "100 101 102"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    sim::Device().Processes.Running.push_back(
        {0x200, u"device.exe", u"\\Windows\\device.exe", {{}}, false});
    std::vector<std::string> shown;
    std::uint32_t at = 10;
    for (const Step& step : c.steps) {
      sim::At(at, [&step] {
        if (step.dialog == 0) {
          sim::Post(AppState.MainWindow, plat::WM_COMMAND, static_cast<plat::WParam>(step.command),
                    0);
          return;
        }
        const plat::Window dialog = sim::OpenDialog(step.dialog)->Handle;
        sim::SelectRow(plat::GetDlgItem(dialog, IDC_LIST), 0);
        sim::Post(dialog, plat::WM_COMMAND, static_cast<plat::WParam>(step.command), 0);
      });
      sim::At(at + 5, [&shown] { shown.push_back(Shown()); });
      at += 10;
    }
    Start();
    if (shown.size() < c.steps.size()) shown.push_back(Shown());  // the program has ended
    std::vector<std::string> expected;
    for (const Step& step : c.steps) expected.push_back(step.shown);
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(AppState.ThreadListProcessId, 0x200u);
  }
}

// ---- Service commands --------------------------------------------------------------------

TEST_F(CommandsTest, RebootsAskFirstAndOnlyTheHardResetKeepsTheRegistrations) {
  struct Case {
    const char* name;
    std::uint32_t displayMode;
    int command;
    std::vector<int> answers;
    std::vector<std::u16string> boxTexts;
    std::vector<std::uint32_t> styles;
    int reboots;
    bool clean;
    bool registrationsLeft;
    std::optional<std::uint32_t> density;
    bool displayKey = true;  // false: the display driver's key is missing
  };
  const std::u16string vga = u"Установить режим VGA и выполнить перезагрузку ?";
  const std::u16string realVga = u"Установить режим RealVGA и выполнить перезагрузку ?";
  const std::u16string soft = u"Вы действительно хотите выполнить перезагрузку ?";
  const std::u16string hard = u"Вы действительно хотите выполнить полную очистку системы ?";
  const std::u16string warn =
      u"Очистка системы приведет к потере всех данных и возврату к заводским настройкам !";
  const Case cases[] = {
      {"VgaInForce", 1, IDM_VGA, {}, {}, {}, 0, false, true, std::nullopt},
      {"RealVgaInForce", 2, IDM_REALVGA, {}, {}, {}, 0, false, true, std::nullopt},
      {"VgaWithoutMode", 0, IDM_VGA, {6}, {vga}, {0x50124}, 1, false, false, 192},
      {"RealVga", 1, IDM_REALVGA, {6}, {realVga}, {0x50124}, 1, false, false, 96},
      {"RealVgaWithoutKey", 1, IDM_REALVGA, {6}, {realVga}, {0x50124}, 1, false, false, {}, false},
      {"RealVgaNo", 1, IDM_REALVGA, {7}, {realVga}, {0x50124}, 0, false, true, std::nullopt},
      {"Soft", 0, IDM_SOFT_RESET, {6}, {soft}, {0x50124}, 1, false, false, std::nullopt},
      {"SoftNo", 0, IDM_SOFT_RESET, {7}, {soft}, {0x50124}, 0, false, true, std::nullopt},
      {"HardNoFirst", 0, IDM_HARD_RESET, {7}, {hard}, {0x50124}, 0, false, true, std::nullopt},
      {"HardNoSecond",
       0,
       IDM_HARD_RESET,
       {6, 7},
       {hard, warn},
       {0x50124, 0x50134},
       0,
       false,
       true,
       std::nullopt},
      {"Hard",
       0,
       IDM_HARD_RESET,
       {6, 6},
       {hard, warn},
       {0x50124, 0x50134},
       1,
       true,
       true,
       std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    if (c.displayKey) sim::Device().Registry.Keys.try_emplace(DisplayKey);
    Start();
    ASSERT_EQ(sim::Device().Notifications.Wakeups().size(), 1u);
    AppState.DisplayMode = c.displayMode;
    for (int answer : c.answers) sim::Device().Script.BoxAnswers.push_back(answer);

    HandleMenuCommand(AppState.MainWindow, static_cast<plat::WParam>(c.command), 0);

    std::vector<std::u16string> texts;
    std::vector<std::uint32_t> styles;
    const char16_t* caption = c.command == IDM_SOFT_RESET   ? u"Перезагрузка"
                              : c.command == IDM_HARD_RESET ? u"Полный сброс"
                                                            : u"Экран";
    for (std::size_t i = 0; i < sim::Device().Log.Boxes.size(); ++i) {
      const sim::MessageBoxRecord& box = sim::Device().Log.Boxes[i];
      texts.push_back(box.Text);
      styles.push_back(box.Style);
      EXPECT_EQ(box.Owner, plat::Window{});
      EXPECT_EQ(box.Caption, i == 1 ? u"Внимание" : caption);
    }
    EXPECT_EQ(texts, c.boxTexts);
    EXPECT_EQ(styles, c.styles);
    ASSERT_EQ(static_cast<int>(sim::Device().Log.Reboots.size()), c.reboots);
    EXPECT_EQ(sim::Device().System.CleanRebootFlag, c.clean);
    if (c.reboots > 0) {
      EXPECT_EQ(sim::Device().Log.Reboots[0].WakeupsLeft.empty(), !c.registrationsLeft);
    }
    EXPECT_EQ(sim::Device().Notifications.Wakeups().empty(), !c.registrationsLeft);
    for (const char16_t* name : {u"LogicalPixelsX", u"LogicalPixelsY"}) {
      EXPECT_EQ(sim::Device().Registry.Dword(DisplayKey, name), c.density);
    }
    EXPECT_EQ(AppState.DisplayMode, c.displayMode);  // the refused reboot changes nothing
    EXPECT_EQ(sim::Live().RegistryKeys, 0);
  }
}

TEST_F(CommandsTest, AutostartFollowsTheShortcutThatExists) {
  struct Case {
    const char* name;
    bool linkAtStart;
    bool creationFails;
    bool deletionFails;
    std::vector<bool> marks;  // AutostartEnabled after each of two toggles
  };
  const Case cases[] = {
      {"Absent", false, false, false, {true, false}},
      {"Present", true, false, false, {false, true}},
      {"CreationFails", false, true, false, {false, false}},
      {"DeletionFails", true, false, true, {true, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    if (c.linkAtStart) sim::Device().Files.push_back({StartupLink});
    Start();
    sim::Device().Faults.ShortcutCreationFails = c.creationFails;
    sim::Device().Faults.FileDeletionFails = c.deletionFails;
    for (bool mark : c.marks) {
      ToggleAutostart();
      EXPECT_EQ(AppState.Capabilities.AutostartEnabled != 0, mark);
      EXPECT_EQ(sim::FindFile(StartupLink) != nullptr, mark);
    }
    if (!c.linkAtStart && !c.creationFails) {
      EXPECT_EQ(Count("SHCreateShortcut"), 1);
      EXPECT_EQ(Count("DeleteFileW"), 1);
    }
    EXPECT_EQ(sim::Live().Searches, 0);
  }
  // The shortcut always starts the installed copy.
  SetUp();
  Start();
  ToggleAutostart();
  EXPECT_EQ(sim::FindFile(StartupLink)->ShortcutTarget, u"\\Windows\\Zorvik.exe");
}

TEST_F(CommandsTest, HelpStartsTheViewerOrBeepsOnce) {
  Start();
  OpenHelp();
  EXPECT_TRUE(sim::Device().Log.Started.empty());
  EXPECT_EQ(sim::Device().Log.Beeps, std::vector<std::uint32_t>{plat::MB_ICONHAND});

  sim::Device().Files.push_back({u"\\Windows\\peghelp.exe"});
  OpenHelp();
  ASSERT_EQ(sim::Device().Log.Started.size(), 1u);
  EXPECT_EQ(sim::Device().Log.Started[0].Application, u"peghelp.exe");
  EXPECT_EQ(sim::Device().Log.Started[0].CommandLine, u"file:zorvik.htm#Main_Contents");
  EXPECT_EQ(sim::Device().Log.Beeps.size(), 1u);
}

TEST_F(CommandsTest, ExitEndsTheProgramWithItsIconAndRegistrationGone) {
  sim::Device().Script.MenuChoice = IDM_EXIT;
  sim::After(10, [] { sim::TapTrayIcon(plat::WM_LBUTTONDOWN); });
  EXPECT_EQ(Start(), 0);
  EXPECT_TRUE(sim::Device().Ui.QuitPosted);
  EXPECT_FALSE(sim::Device().Tray[0].Present);
  EXPECT_TRUE(sim::Device().Notifications.Wakeups().empty());
}

}  // namespace
