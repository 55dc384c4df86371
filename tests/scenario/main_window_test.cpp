// The hidden main window: its tray icon and timers from the create handling, what a tap on the
// icon does, the private messages, the order of the close handling and what other processes
// may send or post.
#include <tuple>

#include "base/ids.h"
#include "base/messages.h"
#include "platform/notification.h"
#include "platform/shell.h"
#include "scenario.h"

namespace {

using MainWindowTest = ScenarioTest;

TEST_F(MainWindowTest, CreateHandlingAddsTheTrayIcon) {
  Start();

  ASSERT_NE(AppState.MainWindow, plat::Window{});
  ASSERT_EQ(sim::Device().Tray.size(), 1u);
  const sim::TrayIconRecord* tray = &sim::Device().Tray[0];
  EXPECT_EQ(tray->Data.Id, 1u);
  EXPECT_TRUE(tray->Present);
  EXPECT_EQ(tray->Adds, 1);
  EXPECT_EQ(tray->Data.Size, 152u);
  EXPECT_EQ(tray->Data.Owner, AppState.MainWindow);
  EXPECT_EQ(tray->Data.Flags, plat::NIF_MESSAGE | plat::NIF_ICON);
  EXPECT_EQ(tray->Data.CallbackMessage, UM_TRAYNOTIFY);
  // The window is never shown and carries the class and title another launch looks for.
  ASSERT_EQ(sim::Device().Ui.Windows.size(), 1u);
  EXPECT_EQ(sim::Device().Ui.Windows[0].ClassName, u"Zorvik");
  EXPECT_EQ(sim::Device().Ui.Windows[0].Title, u"Zorvik");
  EXPECT_EQ(FindCall("ShowWindow"), -1);
}

TEST_F(MainWindowTest, PlainViewKeepsTheResourceIconAtTheDeviceIconSize) {
  for (auto [smallIcon, side] : {std::pair{16, 16}, std::pair{32, 32}}) {
    SetUp();
    sim::Device().System.Metrics[plat::SM_CXSMICON] =
        sim::Device().System.Metrics[plat::SM_CYSMICON] = smallIcon;
    sim::Device().Registry.Keys[SettingsKey][u"View"] = sim::DwordValue(ViewPlain);
    Start();
    ASSERT_FALSE(sim::Device().Tray.empty());
    const auto& icons = sim::Device().Graphics.Icons;
    const auto icon = icons.find(sim::Device().Tray[0].Data.IconHandle);
    ASSERT_NE(icon, icons.end());
    EXPECT_EQ(icon->second.ResourceId, 100);
    EXPECT_EQ(icon->second.Width, side);
    EXPECT_EQ(icon->second.Height, side);
  }
}

struct TimerCase {
  std::uint32_t view;
  std::uint32_t tempo;
  std::optional<std::uint32_t> iconPeriod;  // absent: no icon timer
};

class IconTimerAtCreateTest : public ScenarioTest,
                              public ::testing::WithParamInterface<TimerCase> {};

TEST_P(IconTimerAtCreateTest, RunsOnlyForTheSampledViews) {
  sim::Device().Registry.Keys[SettingsKey][u"View"] = sim::DwordValue(GetParam().view);
  sim::Device().Registry.Keys[SettingsKey][u"Speed"] = sim::DwordValue(GetParam().tempo);
  Start();

  std::optional<sim::TimerRecord> timer = FindTimer(ID_TIMER_ICON);
  ASSERT_EQ(timer.has_value(), GetParam().iconPeriod.has_value());
  if (timer) {
    EXPECT_EQ(timer->PeriodMs, *GetParam().iconPeriod);
    EXPECT_EQ(timer->Owner, AppState.MainWindow);
    EXPECT_EQ(AppState.IconTimerId, ID_TIMER_ICON);
  } else {
    EXPECT_EQ(AppState.IconTimerId, 0u);
  }
  EXPECT_FALSE(FindTimer(ID_TIMER_WATCH).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Views, IconTimerAtCreateTest,
    ::testing::Values(TimerCase{ViewPlain, 2, std::nullopt},
                      TimerCase{ViewFrequency, 0, std::nullopt}, TimerCase{ViewLoad, 0, 250},
                      TimerCase{ViewMemory, 1, 500}, TimerCase{ViewBattery, 2, 1000},
                      TimerCase{ViewCurrent, 3, 2000}, TimerCase{ViewLoad, 4, 4000}));

TEST_F(MainWindowTest, StoredWatchModeStartsTheWatchTimer) {
  sim::Device().Registry.Keys[SettingsKey][u"Spy"] = sim::DwordValue(1);
  Start();
  std::optional<sim::TimerRecord> watch = FindTimer(ID_TIMER_WATCH);
  ASSERT_TRUE(watch.has_value());
  EXPECT_EQ(watch->PeriodMs, 1000u);
  EXPECT_EQ(AppState.WatchTimerId, ID_TIMER_WATCH);
}

TEST_F(MainWindowTest, OnlyAButtonDownOnTheIconOpensTheMenu) {
  struct Case {
    std::uint32_t mouse;
    std::size_t menus;
  };
  for (Case c : {Case{plat::WM_LBUTTONDOWN, 1}, Case{plat::WM_RBUTTONDOWN, 1},
                 Case{plat::WM_LBUTTONUP, 0}, Case{plat::WM_RBUTTONUP, 0},
                 Case{plat::WM_LBUTTONDBLCLK, 0}, Case{plat::WM_MOUSEMOVE, 0}, Case{0x0207, 0}}) {
    SetUp();
    Start();
    sim::TapTrayIcon(c.mouse);
    Pump();
    EXPECT_EQ(sim::Device().Log.Menus.size(), c.menus) << "mouse message " << c.mouse;
    EXPECT_EQ(sim::Live().Menus, 0) << "the menu is destroyed when it closes";
  }
}

TEST_F(MainWindowTest, MenuOpensAtTheBottomRightAboveTheTaskBar) {
  for (auto [smallIcon, lift] : {std::pair{16, 24}, std::pair{32, 48}}) {
    SetUp();
    sim::Device().System.Metrics[plat::SM_CXSMICON] =
        sim::Device().System.Metrics[plat::SM_CYSMICON] = smallIcon;
    Start();
    sim::Post(AppState.MainWindow, UM_SHOWMENU, 0, 0);
    Pump();
    ASSERT_EQ(sim::Device().Log.Menus.size(), 1u);
    const sim::TrackedMenu& menu = sim::Device().Log.Menus[0];
    EXPECT_EQ(menu.X, 240);
    EXPECT_EQ(menu.Y, 320 - lift);
    EXPECT_EQ(menu.Flags, plat::TPM_RIGHTALIGN | plat::TPM_BOTTOMALIGN);
    EXPECT_EQ(menu.Owner, AppState.MainWindow);
    ASSERT_FALSE(menu.Items.empty());
  }
}

TEST_F(MainWindowTest, PresetRequestsOutsideTheSlotsAreIgnored) {
  Start();
  for (plat::LParam request :
       {plat::LParam{PresetSlots + 1}, plat::LParam{-1}, plat::LParam{1000}}) {
    sim::Device().Log.Calls.clear();
    EXPECT_EQ(sim::Send(AppState.MainWindow, UM_APPLYPRESET, 0, request), 0);
    EXPECT_TRUE(sim::Device().Log.Calls.empty()) << request;
    EXPECT_TRUE(sim::Device().Log.Beeps.empty());
  }
}

// Each timer does its own work only: the watch reads the clock, the icon timer redraws; a timer
// message of no timer of the program does neither.
TEST_F(MainWindowTest, TimerMessagesDoTheirOwnWorkOnly) {
  sim::Device().Registry.Keys[SettingsKey][u"View"] = sim::DwordValue(ViewLoad);
  sim::Device().Registry.Keys[SettingsKey][u"Spy"] = sim::DwordValue(1);
  Start();
  for (auto [timer, reads, redraws] :
       {std::tuple{ID_TIMER_WATCH, 1, 0}, std::tuple{ID_TIMER_ICON, 0, 1},
        std::tuple{std::uintptr_t{0x77}, 0, 0}}) {
    sim::Device().Log.Calls.clear();
    sim::Send(AppState.MainWindow, plat::WM_TIMER, timer, 0);
    EXPECT_EQ(Count("VirtualCopy"), reads) << timer;
    EXPECT_EQ(Count("Shell_NotifyIcon"), redraws) << timer;
  }
}

// Every message the window handles answers 0, as the platform expects of a handled message, up
// to the command that arrives after the close handling.
TEST_F(MainWindowTest, HandledMessagesAnswerZero) {
  Start();
  sim::Device().Ui.DefaultResult = 77;  // shows a message left to the default processing
  for (auto [message, wParam] :
       {std::pair{plat::WM_CREATE, 0u}, std::pair{plat::WM_TIMER, 0x77u},
        std::pair{UM_SHOWMENU, 0u}, std::pair{UM_TRAYNOTIFY, 0u}, std::pair{UM_APPLYPRESET, 0u},
        std::pair{plat::WM_DESTROY, 0u}, std::pair{plat::WM_COMMAND, IDM_WATCH + 0u},
        std::pair{plat::WM_CLOSE, 0u}}) {
    EXPECT_EQ(sim::Send(AppState.MainWindow, message, wParam, 0), 0) << message;
  }
}

TEST_F(MainWindowTest, UnhandledMessagesGetTheDefaultProcessing) {
  Start();
  sim::Device().Log.Calls.clear();
  sim::Send(AppState.MainWindow, 0x0005 /* WM_SIZE */, 0, 0);
  EXPECT_EQ(Count("DefWindowProcW"), 1);
}

TEST_F(MainWindowTest, CloseRemovesTheWakeupAndTheIconBeforeTheWindowGoes) {
  sim::Device().Registry.Keys[SettingsKey][u"View"] = sim::DwordValue(ViewLoad);
  Start();
  ASSERT_EQ(sim::Device().Notifications.Wakeups().size(), 1u);
  sim::Device().Log.Calls.clear();

  sim::Post(AppState.MainWindow, plat::WM_CLOSE, 0, 0);
  Pump();

  int cancel = FindCall("CeRunAppAtEvent");
  int kill = FindCall("KillTimer");
  int remove = FindCall("Shell_NotifyIcon");
  int destroy = FindCall("DestroyWindow");
  int quit = FindCall("PostQuitMessage");
  ASSERT_NE(cancel, -1);
  EXPECT_LT(cancel, kill);
  EXPECT_LT(kill, remove);
  EXPECT_LT(remove, destroy);
  EXPECT_LT(destroy, quit);
  EXPECT_TRUE(sim::Device().Notifications.Wakeups().empty());
  EXPECT_FALSE(sim::Device().Tray[0].Present);
  EXPECT_FALSE(FindTimer(ID_TIMER_ICON).has_value());
  EXPECT_TRUE(sim::Device().Ui.Windows[0].Destroyed);
  EXPECT_TRUE(sim::Device().Ui.QuitPosted);
  EXPECT_EQ(sim::Device().Ui.QuitCode, 0);
  EXPECT_EQ(sim::Live().Icons, 0);
}

// Without the program's icon the tray entry goes without one, and the close destroys none.
TEST_F(MainWindowTest, WithoutItsIconTheProgramRunsAndCloses) {
  sim::Device().Faults.IconLoadFails = true;
  sim::Device().Registry.Keys[SettingsKey][u"View"] = sim::DwordValue(ViewPlain);
  sim::After(10, [] { sim::Post(AppState.MainWindow, plat::WM_CLOSE, 0, 0); });
  Start();
  EXPECT_EQ(sim::Device().Tray[0].Adds, 1);
  EXPECT_FALSE(sim::Device().Tray[0].Present);
  EXPECT_EQ(Count("DestroyIcon"), 0);
}

// Without its window the program still ends at a quit message, with no close handling to do.
TEST_F(MainWindowTest, WithoutItsWindowAQuitMessageEndsTheProgram) {
  sim::Device().Faults.WindowCreationFails = true;
  sim::After(10, [] { sim::QueueMessage(plat::Window{}, plat::WM_QUIT, 0, 0); });
  EXPECT_EQ(Start(), 0);
  EXPECT_FALSE(sim::Device().Script.Ended);
  EXPECT_EQ(Count("DestroyWindow"), 0);
}

// ---- Messages from other processes --------------------------------------------------------

// A preset request queued before a WM_DESTROY from elsewhere still runs after the close
// handling; the icon it draws replaces none, as the close handling destroyed the last one.
TEST_F(MainWindowTest, ARequestAfterADestroyFromElsewhereDestroysNoIconTwice) {
  sim::After(10, [] {
    sim::Post(AppState.MainWindow, UM_APPLYPRESET, 0, 3);
    sim::Send(AppState.MainWindow, plat::WM_DESTROY, 0, 0);
  });
  Start();
  EXPECT_EQ(sim::Device().Cpu.Cccr, 0x2000110u);
  EXPECT_EQ(Count("DestroyIconOfUnknownIcon"), 0);
}

TEST_F(MainWindowTest, RepeatedCreateSetsUpNothingAgain) {
  sim::Device().Registry.Keys[SettingsKey][u"View"] = sim::DwordValue(ViewLoad);
  Start();
  const int icons = sim::Live().Icons;
  sim::Device().Log.Calls.clear();

  for (int i = 0; i < 100; ++i) sim::Send(AppState.MainWindow, plat::WM_CREATE, 0, 0);
  // Posting it is refused, as the real system refuses pointer-carrying messages.
  EXPECT_FALSE(sim::Post(AppState.MainWindow, plat::WM_CREATE, 0, 0));
  Pump();

  EXPECT_EQ(sim::Live().Icons, icons);
  EXPECT_EQ(sim::Device().Tray[0].Adds, 1);
  EXPECT_EQ(Count("SetTimer"), 0);
  EXPECT_EQ(Count("CeRunAppAtEvent"), 0);
}

TEST_F(MainWindowTest, RequestsWhileTheMenuIsOpenOpenNoOtherAndACloseStillEnds) {
  sim::After(10, [] {
    for (int i = 0; i < 70; ++i) sim::Post(AppState.MainWindow, UM_SHOWMENU, 0, 0);
    sim::TapTrayIcon(plat::WM_LBUTTONDOWN);
    sim::Post(AppState.MainWindow, plat::WM_CLOSE, 0, 0);
  });
  Start();

  EXPECT_FALSE(sim::Device().Script.Ended) << "the program ends by its quit message";
  EXPECT_EQ(sim::Device().Ui.QuitCode, 0);
  EXPECT_EQ(sim::Device().Log.Menus.size(), 1u);
  EXPECT_EQ(sim::Live().Menus, 0);
  EXPECT_TRUE(sim::Device().Ui.Windows[0].Destroyed);
  EXPECT_FALSE(sim::Device().Tray[0].Present);
}

TEST_F(MainWindowTest, EveryWayOutDoesTheCloseHandlingOnce) {
  for (std::uint32_t way : {plat::WM_CLOSE, plat::WM_DESTROY, plat::WM_QUIT}) {
    SetUp();
    sim::Device().Registry.Keys[SettingsKey][u"View"] = sim::DwordValue(ViewLoad);
    sim::After(10, [way] {
      sim::Device().Log.Calls.clear();
      sim::Post(AppState.MainWindow, way, 0, 0);
    });
    Start();

    EXPECT_FALSE(sim::Device().Script.Ended) << way;
    EXPECT_EQ(Count("CeRunAppAtEvent"), 1) << way;
    EXPECT_TRUE(sim::Device().Notifications.Wakeups().empty()) << way;
    EXPECT_FALSE(sim::Device().Tray[0].Present) << way;
    EXPECT_TRUE(sim::Device().Ui.Timers.empty()) << way;
    EXPECT_EQ(sim::Live().Icons, 0) << way;
    // A posted WM_DESTROY is only a message: the window goes with the process.
    EXPECT_EQ(sim::Device().Ui.Windows[0].Destroyed, way != plat::WM_DESTROY) << way;
  }
}

// Another process opens the process list, its thread list and the information over them, sends
// every dialog a WM_INITDIALOG with a wild lParam, closes the lists and asks for them again, and
// presses the ended process list's buttons. A closed list opens again only once its loop has
// returned, and an ended dialog does nothing.
TEST_F(MainWindowTest, ForgedDialogMessagesLeaveEachDialogOnceOnScreen) {
  sim::Device().Processes.Running.push_back(
      {0x200, u"device.exe", u"\\Windows\\device.exe", {{}}, false});
  auto post = [](plat::Window window, std::uint32_t id) {
    sim::Post(window, plat::WM_COMMAND, static_cast<plat::WParam>(id), 0);
  };
  auto shown = [] {
    std::vector<std::pair<int, bool>> dialogs;
    for (const sim::DialogRecord& d : sim::Device().Dialogs)
      dialogs.emplace_back(d.TemplateId, d.Open);
    return dialogs;
  };
  plat::Window processes{};
  std::vector<std::pair<int, bool>> whileInfoOpen, afterInfo;
  sim::At(10, [&] { post(AppState.MainWindow, IDM_PROCESSES); });
  sim::At(20, [&] {
    processes = sim::OpenDialog(IDD_PROCESSES)->Handle;
    sim::SelectRow(plat::GetDlgItem(processes, IDC_LIST), 0);
    post(processes, IDC_THREADS);
  });
  sim::At(30, [&] { post(AppState.MainWindow, IDM_INFO); });
  sim::At(40, [&] {
    for (const sim::DialogRecord& d : sim::Device().Dialogs) {
      sim::Post(d.Handle, plat::WM_INITDIALOG, 0, 0x1234);
    }
    sim::Post(sim::OpenDialog(IDD_THREADS)->Handle, plat::WM_CLOSE, 0, 0);
  });
  sim::At(50, [&] { post(processes, IDC_THREADS); });
  sim::At(55, [&] { sim::Post(processes, plat::WM_CLOSE, 0, 0); });
  sim::At(60, [&] {
    post(AppState.MainWindow, IDM_PROCESSES);
    for (int button : {IDC_THREADS, IDC_REFRESH, IDC_CLOSE_PROCESS, plat::IDCANCEL}) {
      post(processes, static_cast<std::uint32_t>(button));
    }
  });
  sim::At(70, [&] {
    whileInfoOpen = shown();
    sim::Post(sim::OpenDialog(IDD_INFO)->Handle, plat::WM_CLOSE, 0, 0);
  });
  sim::At(80, [&] { post(AppState.MainWindow, IDM_PROCESSES); });
  sim::At(90, [&] { afterInfo = shown(); });
  Start();

  using Shown = std::vector<std::pair<int, bool>>;
  EXPECT_EQ(whileInfoOpen, (Shown{{IDD_PROCESSES, false}, {IDD_THREADS, false}, {IDD_INFO, true}}));
  EXPECT_EQ(
      afterInfo,
      (Shown{
          {IDD_PROCESSES, false}, {IDD_THREADS, false}, {IDD_INFO, false}, {IDD_PROCESSES, true}}));
  EXPECT_EQ(Count("CreateToolhelp32Snapshot"), 4) << "one fill per dialog shown, none forged";
  EXPECT_TRUE(ProcessRunning(0x200));
  EXPECT_EQ(sim::Live().Windows, 1) << "only the main window is left";
}

// The window is destroyed from outside while its menu is open with a choice made: the menu
// closes without it, no later command runs, and the program ends with its close handling.
TEST_F(MainWindowTest, DestroyWhileTheMenuIsOpenEndsWithoutTheMenusCommand) {
  sim::Device().Script.MenuChoice = IDM_VIEW_MEMORY;
  sim::After(10, [] {
    sim::Post(AppState.MainWindow, UM_SHOWMENU, 0, 0);
    sim::Post(AppState.MainWindow, plat::WM_DESTROY, 0, 0);
    sim::Post(AppState.MainWindow, plat::WM_COMMAND, IDM_VIEW_LOAD, 0);
  });
  Start();

  EXPECT_FALSE(sim::Device().Script.Ended) << "the program ends by its quit message";
  EXPECT_TRUE(sim::Device().Log.Menus.back().EndedByProgram);
  EXPECT_EQ(AppState.IconView, ViewFrequency);
  EXPECT_TRUE(sim::Device().Notifications.Wakeups().empty());
  EXPECT_FALSE(sim::Device().Tray[0].Present);
}

// A command that arrives while the menu is open closes the menu and runs after it, so that a
// dialog never runs inside the menu's loop; a request for a question while one is asked is
// answered No without a second box. The command, sent inside the menu's loop, is answered 0.
TEST_F(MainWindowTest, CommandsNeverNestInTheMenuOrInAQuestion) {
  static plat::LResult answer = -1;
  const plat::Window sender = harness::AddWindow(
      {.ProcessId = sim::ProgramProcessId,
       .Procedure = [](plat::Window, std::uint32_t, plat::WParam, plat::LParam) {
         return answer = sim::Send(AppState.MainWindow, plat::WM_COMMAND, IDM_INFO, 0);
       }});
  sim::After(10, [sender] {
    sim::Post(AppState.MainWindow, UM_SHOWMENU, 0, 0);
    sim::Post(sender, plat::WM_USER, 0, 0);
  });
  sim::After(20, [] {
    sim::Device().Script.BoxAnswers.push_back(plat::IDYES);
    sim::Device().Script.BoxAnswers.push_back(plat::IDYES);
    for (int i = 0; i < 2; ++i) sim::Post(AppState.MainWindow, plat::WM_COMMAND, IDM_SOFT_RESET, 0);
  });
  Start();

  EXPECT_TRUE(sim::Device().Log.Menus.back().EndedByProgram);
  EXPECT_LT(FindCall("DestroyMenu"), FindCall("DialogBoxIndirectParamW"));
  EXPECT_EQ(sim::Device().Dialogs.size(), 1u);
  EXPECT_EQ(sim::Device().Log.Boxes.size(), 1u);
  EXPECT_EQ(sim::Device().Log.Reboots.size(), 1u);
  EXPECT_EQ(answer, 0);
}

}  // namespace
