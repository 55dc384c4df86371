// The process list, the thread list and the information tree on the simulated handheld: what
// their rows and items show, and how the process list's buttons treat an open thread list.
#include <map>
#include <string>

#include "base/ids.h"
#include "info/info_dialog.h"
#include "procview/process_dialog.h"
#include "procview/thread_dialog.h"
#include "scenario.h"

namespace {

constexpr std::uint64_t Second = 10000000;

using harness::RunDialog;

class ToolDialogsTest : public ScenarioTest {
 protected:
  static sim::ListViewRecord List(plat::Window dialog) {
    return sim::Device().Controls.Lists.at(plat::GetDlgItem(dialog, IDC_LIST));
  }
  static const sim::WindowRecord& ListWindow(plat::Window dialog) {
    return *sim::FindWindow(plat::GetDlgItem(dialog, IDC_LIST));
  }
  // Every row's cells, the image and parameter left out.
  static std::vector<std::vector<std::u16string>> Cells(plat::Window dialog) {
    std::vector<std::vector<std::u16string>> cells;
    for (const sim::ListViewRow& row : List(dialog).Rows) cells.push_back(row.Cells);
    return cells;
  }
  static void Select(plat::Window dialog, int row) {
    sim::SelectRow(plat::GetDlgItem(dialog, IDC_LIST), row);
  }
  static void SeedTwoProcesses() {
    sim::Device().Processes.Running.push_back(
        {0x200, u"device.exe", u"\\Windows\\device.exe", {{0x201, 251, 0, 0, 0, false}}, false});
    sim::Device().Processes.Running.push_back(
        {0x300, u"abc", u"\\abc", {{0x301, 5, 0, 0, 0, false}}, false});
    sim::Device().Files.push_back({u"\\Windows\\device.exe", 1536});
    sim::Device().Files.push_back({u"\\abc", 1024});
  }
};

TEST_F(ToolDialogsTest, ProcessRowsSkipTheProgramAndKeepOneIconPerRow) {
  sim::Device().Processes.Running.push_back(
      {0x200, u"device.exe", u"\\Windows\\device.exe", {{}, {}}, false});
  sim::Device().Processes.Running.push_back(
      {0x300, u"abc", u"\\gone\\abc", {{}}, false});  // no such file
  sim::Device().Processes.Running.push_back(
      {0x400, u"shell32.exe", u"\\Windows\\shell32.exe", {{}}, false});
  sim::Device().Processes.Running.push_back({0x600, u"init", u"\\init", {{}}, false});
  sim::Device().Processes.Running.push_back(
      {0x500, u"long.exe", std::u16string(200, u'x'), {{}}, false});
  sim::Device().Processes.Running.push_back(
      {0x700, std::u16string(128, u'и') + u".exe", u"\\gone\\и.exe", {{}}, false});
  sim::Device().Processes.Running.push_back({0x800, u"x", u"x", {{}}, false});  // a one-letter path
  sim::Device().Files.push_back({u"x", 2048});
  sim::Device().Files.push_back({u"\\Windows\\device.exe", 1023});
  sim::Device().Files.push_back({u"\\init", 4096});
  sim::Device().Files.push_back(
      {u"\\Windows\\shell32.exe", 0x100000600ull});  // only the low 32 bits count
  harness::AddWindow({.Title = u"hidden", .ProcessId = 0x200, .Visible = false});
  harness::AddWindow({.Title = u"", .ProcessId = 0x200, .Visible = true});
  harness::AddWindow({.Title = u"Устройство", .ProcessId = 0x200, .Visible = true});
  // The shell's windows never give a title, not even to the shell itself.
  sim::Device().Ui.ShellWindow =
      harness::AddWindow({.Title = u"Рабочий стол", .ProcessId = 0x400, .Visible = true});
  harness::AddWindow({.Title = std::u16string(300, u'т'), .ProcessId = 0x500, .Visible = true});
  harness::AddWindow({.Title = u"Я", .ProcessId = 0x600, .Visible = true});

  // The shell's icons, the neutral icon, its bitmaps and the snapshot do not outlive the dialog.
  const sim::LiveCounts before = sim::Live();
  sim::ListViewRecord rows;
  RunDialog(IDD_PROCESSES, ProcessDialogProc, [&](plat::Window d) { rows = List(d); });
  EXPECT_EQ(sim::Live(), before);

  const std::vector<std::vector<std::u16string>> expected = {
      {u"device", u"Устройство", u"2", u"\\Windows\\device.exe", u"0 Кб"},
      {u"abc", u"", u"1", u"\\gone\\abc", u""},
      {u"shell32", u"", u"1", u"\\Windows\\shell32.exe", u"1 Кб"},
      {u"init", u"Я", u"1", u"\\init", u"4 Кб"},  // too short to have an extension
      {u"long", std::u16string(127, u'т'), u"1", std::u16string(127, u'x'), u""},
      {std::u16string(127, u'и'), u"", u"1", u"\\gone\\и.exe", u""},
      {u"x", u"", u"1", u"x", u"2 Кб"},
  };
  ASSERT_EQ(rows.Rows.size(), expected.size());
  const auto& imageLists = sim::Device().Controls.ImageLists;
  ASSERT_EQ(imageLists.count(rows.SmallImages), 1u);
  const sim::ImageListRecord* images = &imageLists.at(rows.SmallImages);
  ASSERT_EQ(images->Sources.size(), expected.size());
  EXPECT_EQ(images->Width, 16);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(rows.Rows[i].Cells, expected[i]) << i;
    EXPECT_EQ(rows.Rows[i].Image, static_cast<int>(i));
  }
  // Each row's image is its own file's icon; a file without one gets the neutral icon.
  EXPECT_EQ(images->Sources,
            (std::vector<std::u16string>{u"\\Windows\\device.exe", u"", u"\\Windows\\shell32.exe",
                                         u"\\init", u"", u"", u"x"}));
  EXPECT_EQ(images->Transparent[1], std::vector<std::uint8_t>(16 * 16, 1));  // neutral: all clear
  EXPECT_EQ(rows.Rows[0].Parameter, 0x200);
  EXPECT_EQ(rows.ExtendedStyle, plat::LVS_EX_FULLROWSELECT);
  EXPECT_EQ(rows.Columns,
            (std::vector<std::u16string>{u" имя  процесса ", u" заголовок  окна ", u"потоки",
                                         u"расположение главного файла", u"размер"}));
  EXPECT_EQ(rows.Widths, std::vector<int>(5, plat::LVSCW_AUTOSIZE_USEHEADER));
}

// Each fill also draws the list once, when all its rows are in, not row by row.
TEST_F(ToolDialogsTest, RefillReleasesTheReplacedImageListAndShellIcons) {
  SeedTwoProcesses();
  const int iconsBefore = sim::Live().Icons;
  int liveLists = 0, liveIcons = 0, redraws = 0;
  RunDialog(IDD_PROCESSES, ProcessDialogProc, [&](plat::Window d) {
    sim::SendDialogCommand(d, IDC_REFRESH);
    sim::SendDialogCommand(d, IDC_REFRESH);
    liveLists = sim::Live().ImageLists;
    liveIcons = sim::Live().Icons;
    redraws = ListWindow(d).Redraws;
  });
  EXPECT_EQ(liveLists, 1);
  EXPECT_EQ(liveIcons, iconsBefore);
  EXPECT_EQ(redraws, 3);
  EXPECT_EQ(sim::Live().ImageLists, 0);  // the last one went with the dialog
}

TEST_F(ToolDialogsTest, AProcessEndingAfterTheSnapshotLeavesASoundRow) {
  SeedTwoProcesses();
  sim::Device().Processes.EndAfterSnapshot.push_back(0x200);
  sim::ListViewRecord rows;
  RunDialog(IDD_PROCESSES, ProcessDialogProc, [&](plat::Window d) { rows = List(d); });
  ASSERT_EQ(rows.Rows.size(), 2u);
  EXPECT_EQ(rows.Rows[0].Cells, (std::vector<std::u16string>{u"device", u"", u"1", u"", u""}));
  EXPECT_EQ(sim::Device().Controls.ImageLists.at(rows.SmallImages).Sources.size(), 2u);
  // Without a path the file is not asked for: an empty path names no file.
  EXPECT_EQ(Count("GetFileAttributesExW"), 1);
  EXPECT_EQ(Count("SHGetFileInfo"), 1);
}

// One pass over the windows serves 256 rows and stops at the window that titles the last of
// them; a 257th row takes a second pass. Every row gets its process's first titled window in the
// platform's order.
TEST_F(ToolDialogsTest, EveryRowGetsItsFirstWindowTitleBeyondOnePass) {
  constexpr std::uint32_t Processes = 257;
  const auto title = [](const char16_t* word, std::uint32_t i) {
    const std::string digits = std::to_string(i);
    return word + std::u16string(digits.begin(), digits.end());
  };
  const auto process = [](std::uint32_t i) {
    return sim::ProcessRecord{0x1000 + i, u"p.exe", u"\\p.exe", {{}}, false};
  };
  for (std::uint32_t i = 0; i + 1 < Processes; ++i)
    sim::Device().Processes.Running.push_back(process(i));
  for (std::uint32_t i = Processes; i-- > 0;) {  // the windows in the processes' reverse order
    harness::AddWindow({.Title = title(u"первое ", i), .ProcessId = 0x1000 + i, .Visible = true});
    harness::AddWindow({.Title = title(u"второе ", i), .ProcessId = 0x1000 + i, .Visible = true});
  }
  std::vector<std::vector<std::u16string>> refreshed;
  std::vector<int> passes, windowsLookedAt;
  RunDialog(IDD_PROCESSES, ProcessDialogProc, [&](plat::Window d) {
    passes.push_back(Count("EnumWindows"));
    windowsLookedAt.push_back(Count("GetWindowThreadProcessId"));
    sim::Device().Processes.Running.push_back(process(Processes - 1));
    sim::SendDialogCommand(d, IDC_REFRESH);
    refreshed = Cells(d);
    passes.push_back(Count("EnumWindows"));
    windowsLookedAt.push_back(Count("GetWindowThreadProcessId"));
  });
  ASSERT_EQ(refreshed.size(), Processes);
  for (std::uint32_t i = 0; i < Processes; ++i) EXPECT_EQ(refreshed[i][1], title(u"первое ", i));
  // A pass looks up the shell window's process, then each window's until process 0's first: the
  // 257th process's two, two of each of processes 255..1 and one, 2 x 257 look-ups in all. The
  // refresh makes that pass again and a second one, which stops at the first window.
  EXPECT_EQ(passes, (std::vector<int>{1, 3}));
  const int onePass = 2 * Processes;
  EXPECT_EQ(windowsLookedAt, (std::vector<int>{onePass, 2 * onePass + 2}));
}

// A snapshot may list a process twice: both rows take its title. The rows are sorted by id for
// the look-up, and the twice-listed largest id sits where the sort picks its pivot from (the
// second and the middle row), so a sort that took equal ids as out of order runs off the rows.
TEST_F(ToolDialogsTest, AProcessListedTwiceTitlesBothRows) {
  for (std::uint32_t i = 0; i < 17; ++i) {
    const std::uint32_t id = i == 1 || i == 8 ? 0xFFFFFFFF : 0x1000 + i;
    sim::Device().Processes.Running.push_back({id, u"p.exe", u"\\p.exe", {{}}, false});
    harness::AddWindow({.Title = u"окно", .ProcessId = id, .Visible = true});
  }
  std::vector<std::vector<std::u16string>> rows;
  RunDialog(IDD_PROCESSES, ProcessDialogProc, [&](plat::Window d) { rows = Cells(d); });
  EXPECT_EQ(rows,
            std::vector<std::vector<std::u16string>>(17, {u"p", u"окно", u"1", u"\\p.exe", u""}));
}

TEST_F(ToolDialogsTest, ThreadRowsShowPriorityNamesAndTimes) {
  sim::Device().System.TimeZoneBias = -180;
  const std::uint64_t created = 127834204250000000ull;  // 06:07:05 UTC, 3 February 2006
  sim::Device().Processes.Running.push_back(
      {0x200,
       u"a.exe",
       u"\\a.exe",
       {{0x201, 3, created, 0, 754 * Second / 10, false},
        {0x202, 248, created, 0, (3 * 3600 + 5 * 60 + 9) * Second, false},
        {0x203, 251, created, 25 * 3600 * Second, 0, false},
        {0x204, 255, created, 0, 0, true},
        {0x205, 2, 1ull << 63, 1ull << 63, 5 * Second, false}},
       false});
  sim::Device().Processes.Running.push_back(
      {0x300, u"b.exe", u"\\b.exe", {{0x301, 0, 0, 0, 0, false}}, false});
  AppState.ThreadListProcessId = 0x200;
  const sim::LiveCounts before = sim::Live();
  sim::ListViewRecord rows;
  int redraws = 0;
  RunDialog(IDD_THREADS, ThreadDialogProc, [&](plat::Window d) {
    rows = List(d);
    redraws = ListWindow(d).Redraws;
  });
  EXPECT_EQ(sim::Live(), before);
  EXPECT_EQ(redraws, 1);  // once, with all five rows in

  const std::vector<std::vector<std::u16string>> expected = {
      {u"1", u"нормальный", u"0:01:15", u"0:00:00", u"9:07:05  3-02-2006"},
      {u"2", u"критический", u"3:05:09", u"0:00:00", u"9:07:05  3-02-2006"},
      {u"3", u"нормальный", u"0:00:00", u"1:00:00", u"9:07:05  3-02-2006"},
      {u"4", u"бездействие", u"", u"", u""},        // ended before its times were read
      {u"5", u"выше нормы", u"0:00:05", u"", u""},  // times no calendar holds
  };
  ASSERT_EQ(rows.Rows.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(rows.Rows[i].Cells, expected[i]);
    EXPECT_EQ(rows.Rows[i].Image, -1);
    EXPECT_EQ(rows.Rows[i].Parameter, 0);
  }
  EXPECT_EQ(sim::Device().Log.Permissions, std::vector<std::uint32_t>{0xFFFFFFFFu});
  EXPECT_EQ(rows.Columns, (std::vector<std::u16string>{u"№", u" приоритет   ", u"активность",
                                                       u"режим ядра", u" время  создания      "}));
  EXPECT_EQ(rows.Widths, std::vector<int>(5, plat::LVSCW_AUTOSIZE_USEHEADER));
  EXPECT_EQ(rows.ExtendedStyle, plat::LVS_EX_FULLROWSELECT);
}

TEST_F(ToolDialogsTest, ThreadsOpensOneThreadListAndRefillsIt) {
  SeedTwoProcesses();
  std::vector<std::vector<std::u16string>> firstRows, secondRows;
  bool threadListOpenAfterOk = false;
  plat::LResult endedListTakes = -1;
  RunDialog(IDD_PROCESSES, ProcessDialogProc, [&](plat::Window d) {
    Select(d, 0);
    sim::After(10, [&, d] {
      const plat::Window threads = AppState.ThreadDialogWindow;
      firstRows = Cells(threads);
      Select(d, 1);
      sim::SendDialogCommand(d, IDC_THREADS);
      secondRows = Cells(threads);
      sim::SendDialogCommand(d, plat::IDOK);
      threadListOpenAfterOk = sim::OpenDialog(IDD_THREADS) != nullptr;
      // The ended process list, whose loop waits under the thread list's, does nothing more.
      endedListTakes = sim::Send(d, plat::WM_COMMAND, IDC_REFRESH, 0);
    });
    sim::SendDialogCommand(d, IDC_THREADS);  // returns when the thread list ends
  });
  const std::u16string created = u"0:00:00  1-01-1601";
  EXPECT_EQ(firstRows, (std::vector<std::vector<std::u16string>>{
                           {u"1", u"нормальный", u"0:00:00", u"0:00:00", created}}));  // 251
  EXPECT_EQ(secondRows, (std::vector<std::vector<std::u16string>>{
                            {u"1", u"низкий", u"0:00:00", u"0:00:00", created}}));  // 5
  EXPECT_EQ(AppState.ThreadListProcessId, 0x300u);
  EXPECT_TRUE(threadListOpenAfterOk);
  EXPECT_EQ(endedListTakes, 0);
  int threadLists = 0;
  for (const auto& dialog : sim::Device().Dialogs) threadLists += dialog.TemplateId == IDD_THREADS;
  EXPECT_EQ(threadLists, 1);
  EXPECT_EQ(sim::Device().Dialogs[0].Result, plat::IDOK);
  EXPECT_EQ(sim::Device().Dialogs[1].BroughtForward, 1);
}

// Threads opens a thread list whenever none is open: nothing when its template is missing, and a
// new one once the last has ended. Each dialog handles its own buttons and nothing else.
TEST_F(ToolDialogsTest, ThreadsOpensAThreadListWheneverNoneIsOpen) {
  SeedTwoProcesses();
  sim::Device().Faults.MissingDialogs.insert(IDD_THREADS);
  std::vector<plat::LResult> results;
  RunDialog(IDD_PROCESSES, ProcessDialogProc, [&](plat::Window d) {
    Select(d, 0);
    results.push_back(sim::SendDialogCommand(d, IDC_THREADS));
    sim::Device().Faults.MissingDialogs.clear();
    for (int close : {plat::IDOK, plat::IDCANCEL}) {
      sim::After(10, [&results, close] {
        const plat::Window threads = AppState.ThreadDialogWindow;
        results.push_back(sim::SendDialogCommand(threads, IDC_REFRESH));
        results.push_back(sim::SendDialogCommand(threads, close));
        // Ended, its loop not yet returned: it takes nothing more.
        results.push_back(sim::Send(threads, plat::WM_COMMAND, plat::IDOK, 0));
      });
      results.push_back(sim::SendDialogCommand(d, IDC_THREADS));
    }
    results.push_back(sim::SendDialogCommand(d, IDC_REFRESH + 100));
  });
  EXPECT_EQ(results, (std::vector<plat::LResult>{1, 0, 1, 0, 1, 0, 1, 0, 1, 0}));
  std::vector<std::pair<int, plat::LResult>> dialogs;
  for (const auto& dialog : sim::Device().Dialogs) {
    dialogs.emplace_back(dialog.TemplateId, dialog.Result);
  }
  EXPECT_EQ(dialogs, (std::vector<std::pair<int, plat::LResult>>{{IDD_PROCESSES, plat::IDCANCEL},
                                                                 {IDD_THREADS, plat::IDOK},
                                                                 {IDD_THREADS, plat::IDCANCEL}}));
}

TEST_F(ToolDialogsTest, RefreshAndCloseEndAnOpenThreadList) {
  for (int button : {IDC_REFRESH, IDC_CLOSE_PROCESS}) {
    SetUp();
    SeedTwoProcesses();
    const sim::LiveCounts before = sim::Live();
    std::size_t rowsAfter = 0;
    plat::Window threadListAfter{};
    bool threadListOpenAfter = true;
    RunDialog(IDD_PROCESSES, ProcessDialogProc, [&](plat::Window d) {
      Select(d, 0);
      sim::After(10, [&, d, button] {
        sim::SendDialogCommand(d, button);
        rowsAfter = List(d).Rows.size();
        threadListAfter = AppState.ThreadDialogWindow;
        threadListOpenAfter = sim::Device().Dialogs[1].Open;
      });
      sim::SendDialogCommand(d, IDC_THREADS);
    });
    EXPECT_EQ(threadListAfter, plat::Window{}) << button;
    EXPECT_FALSE(threadListOpenAfter) << button;
    EXPECT_EQ(sim::Device().Dialogs[1].Result, 0) << button;
    EXPECT_EQ(sim::Device().Dialogs[1].Open, false);
    // Close ends the selected process, with exit code 0; the list then no longer shows it.
    EXPECT_EQ(ProcessRunning(0x200), button == IDC_REFRESH);
    const std::map<std::uint32_t, std::uint32_t> ended{{0x200, 0}};
    EXPECT_EQ(sim::Device().Processes.ExitCodes, button == IDC_REFRESH ? decltype(ended){} : ended);
    EXPECT_EQ(rowsAfter, button == IDC_REFRESH ? 2u : 1u);
    EXPECT_EQ(sim::Live(), before) << button;
  }
}

// Without one of its bitmaps the neutral icon is not made, and nothing is left behind.
TEST_F(ToolDialogsTest, WithoutABitmapNoNeutralIconIsMade) {
  SeedTwoProcesses();
  sim::Device().Files.clear();  // no file gives an icon
  sim::Device().Faults.FailingBitmapBits = 1;
  const sim::LiveCounts before = sim::Live();
  RunDialog(IDD_PROCESSES, ProcessDialogProc, [](plat::Window) {});
  EXPECT_NE(FindCall("CreateBitmap"), -1);
  EXPECT_EQ(FindCall("CreateIconIndirect"), -1);
  EXPECT_EQ(sim::Live(), before);
}

TEST_F(ToolDialogsTest, WithoutASnapshotBothListsStayEmpty) {
  SeedTwoProcesses();
  sim::Device().Faults.SnapshotFails = true;
  const sim::LiveCounts before = sim::Live();
  sim::ListViewRecord processes, threads;
  RunDialog(IDD_PROCESSES, ProcessDialogProc, [&](plat::Window d) { processes = List(d); });
  AppState.ThreadListProcessId = 0x200;
  RunDialog(IDD_THREADS, ThreadDialogProc, [&](plat::Window d) { threads = List(d); });
  EXPECT_TRUE(processes.Rows.empty());
  EXPECT_TRUE(threads.Rows.empty());
  EXPECT_EQ(Count("EnumWindows"), 0);
  EXPECT_EQ(sim::Live(), before);
}

// A process that ends between the listing and Close is not reported: the list is refreshed.
TEST_F(ToolDialogsTest, ClosingAnEndedProcessRefreshesTheList) {
  SeedTwoProcesses();
  std::vector<std::vector<std::u16string>> after;
  RunDialog(IDD_PROCESSES, ProcessDialogProc, [&](plat::Window d) {
    Select(d, 0);
    auto& running = sim::Device().Processes.Running;
    running.erase(running.begin() + 1);  // device.exe, 0x200
    sim::SendDialogCommand(d, IDC_CLOSE_PROCESS);
    after = Cells(d);
  });
  EXPECT_EQ(after,
            (std::vector<std::vector<std::u16string>>{{u"abc", u"", u"1", u"\\abc", u"1 Кб"}}));
  EXPECT_EQ(Count("TerminateProcess"), 0);
  EXPECT_TRUE(sim::Device().Log.Beeps.empty());
}

TEST_F(ToolDialogsTest, ButtonsWithoutASelectionOnlyBeep) {
  SeedTwoProcesses();
  AppState.ThreadListProcessId = 0x200;
  std::size_t rowsAfter = 0;
  RunDialog(IDD_PROCESSES, ProcessDialogProc, [&](plat::Window d) {
    sim::SendDialogCommand(d, IDC_CLOSE_PROCESS);
    sim::SendDialogCommand(d, IDC_THREADS);
    rowsAfter = List(d).Rows.size();
  });
  EXPECT_EQ(sim::Device().Log.Beeps,
            (std::vector<std::uint32_t>{plat::MB_ICONASTERISK, plat::MB_ICONASTERISK}));
  EXPECT_EQ(rowsAfter, 2u);
  EXPECT_EQ(sim::Device().Dialogs.size(), 1u);
  EXPECT_TRUE(ProcessRunning(0x200));
  EXPECT_EQ(FindCall("OpenProcess"), -1);
  EXPECT_EQ(AppState.ThreadListProcessId, 0u);
}

// The tree's top-level headings and the lines under "Процессор".
TEST_F(ToolDialogsTest, InfoTreeHeadingsAndProcessorLines) {
  for (bool power : {false, true}) {
    SetUp();
    AppState.Capabilities.PowerStatusAvailable = power;
    AppState.ProcessorId = 0x69052D06;
    AppState.CacheType = 0x0B1AA1AA;
    sim::Device().System.ProcessorQueryWorks = false;
    std::vector<sim::TreeItemRecord> tree;
    RunDialog(IDD_INFO, InfoDialogProc, [&](plat::Window d) {
      tree = sim::Device().Controls.Trees[plat::GetDlgItem(d, IDC_TREE)];
    });
    ASSERT_EQ(tree.size(), power ? 4u : 3u);
    EXPECT_EQ(tree[2].Text, u"Система");
    std::vector<std::u16string> processor;
    for (const auto& item : tree[0].Children) processor.push_back(item.Text);
    EXPECT_EQ(processor,
              (std::vector<std::u16string>{u"поставщик: Intel", u"ядро: ARMv5TE", u"ревизия: 6",
                                           u"кеш инструкций", u"кеш данных"}));
    EXPECT_EQ(tree[0].Children[4].Children[0].Text, u"объем: : 32 Кб");
    EXPECT_EQ(AppState.InfoDialogWindow, plat::Window{});
  }
}

TEST_F(ToolDialogsTest, InfoTreePowerLines) {
  AppState.Capabilities.PowerStatusAvailable = 1;
  plat::PowerStatusEx2 status{};
  status.ACLineStatus = 0;
  status.BatteryFlag = 8;
  status.BatteryLifePercent = 255;
  status.BatteryVoltage = 3995;
  status.BatteryTemperature = 253;
  status.BatteryChemistry = 4;
  status.BackupBatteryFlag = 128;
  sim::Device().System.Power = status;
  std::vector<sim::TreeItemRecord> tree;
  RunDialog(IDD_INFO, InfoDialogProc, [&](plat::Window d) {
    tree = sim::Device().Controls.Trees[plat::GetDlgItem(d, IDC_TREE)];
  });
  ASSERT_EQ(tree.size(), 4u);
  ASSERT_EQ(tree[3].Children.size(), 2u);  // the source and the main battery, no backup
  EXPECT_EQ(tree[3].Children[0].Text, u"источник: основная батарея");
  std::vector<std::u16string> battery;
  for (const auto& item : tree[3].Children[1].Children) battery.push_back(item.Text);
  EXPECT_EQ(battery, (std::vector<std::u16string>{u"статус: зарядка", u"напряжение: 4.00 В",
                                                  u"температура: 25.3° C", u"хим.состав: Li-Ion"}));
  EXPECT_EQ(sim::Device().Log.PowerUpdates.back(), true);
}

}  // namespace
