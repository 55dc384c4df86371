// Messages from other processes whose parameter points into the sender: posted and sent to the
// main window, each tool dialog and each of their controls, none reaches the platform's own
// handling of that window, which would follow the pointer; the program goes on serving the
// next launch. Commands from another thread run from the program's own loop.
#include <string>
#include <vector>

#include "base/ids.h"
#include "base/messages.h"
#include "scenario.h"

namespace {

// Every kind refused from outside, with both ends of the control messages' ranges.
constexpr std::uint32_t Refused[] = {
    0x0001, 0x0024, 0x002B, 0x002C, 0x002D, 0x0039, 0x0046, 0x0047, 0x004E, 0x007C,
    0x007D, 0x0081, 0x0083, 0x0087, 0x1000, 0x104D, 0x1132, 0x12FF, 0x2000, 0x2200,
};
constexpr std::uint32_t WM_SETTEXT = 0x000C, WM_GETTEXT = 0x000D;
// Kinds just outside those ranges, and WM_SIZE, which carry no pointer.
constexpr std::uint32_t Kept[] = {0x0005, 0x0FFF, 0x1300, 0x1FFF, 0x2201};

// A window and the name under which the call log shows the platform's own handling of it.
struct Target {
  const char* Name;
  plat::Window Window;
  std::string_view Handling;
};

class OutsideMessagesTest : public ScenarioTest {
 protected:
  // One message from outside; true when the platform's own handling of the window got it. A
  // posted one takes a turn of the innermost modal loop, or waits for the program's own loop.
  static bool HandedOn(const Target& target, std::uint32_t kind, bool sent, bool ownLoop = false) {
    const int before = Count(target.Handling);
    if (sent) {
      sim::Send(target.Window, kind, 100, 0x1, true);
    } else {
      sim::QueueMessage(target.Window, kind, 100, 0x1);
      if (!ownLoop) sim::PumpOneMessage();
    }
    return Count(target.Handling) > before;
  }
  static std::string Case(const Target& target, std::uint32_t kind, bool sent) {
    return std::string(target.Name) + (sent ? " sent " : " posted ") + std::to_string(kind);
  }
};

TEST_F(OutsideMessagesTest, PointerCarryingKindsReachNoHandlingAndTheNextLaunchIsServed) {
  sim::Device().Registry.Keys[SettingsKey][u"Freq3"] = sim::DwordValue(0x2000110);
  sim::Device().Processes.Running.push_back(
      {0x200, u"device.exe", u"\\Windows\\device.exe", {{0x201, 251, 0, 0, 0, false}}, false});
  sim::Device().Ui.DefaultResult = 77;
  std::vector<std::string> wrong;      // every case that went the other way
  std::vector<plat::LResult> answers;  // to a refused message, of the main window and a list
  std::size_t dialogsOpen = 0;

  // The process list, the thread list of its row and the information, each over the last.
  sim::At(10, [] { sim::Post(AppState.MainWindow, plat::WM_COMMAND, IDM_PROCESSES, 0); });
  sim::At(20, [] {
    const plat::Window processes = AppState.ProcessDialogWindow;
    sim::SelectRow(plat::GetDlgItem(processes, IDC_LIST), 0);
    sim::SendDialogCommand(processes, IDC_THREADS);
  });
  sim::At(30, [] { sim::Post(AppState.MainWindow, plat::WM_COMMAND, IDM_INFO, 0); });
  sim::At(40, [&] {
    const plat::Window processes = AppState.ProcessDialogWindow;
    const plat::Window threads = AppState.ThreadDialogWindow;
    const plat::Window info = AppState.InfoDialogWindow;
    const Target targets[] = {
        {"main window", AppState.MainWindow, "DefWindowProcW"},
        {"process list", processes, "DefDlgProcW"},
        {"its list", plat::GetDlgItem(processes, IDC_LIST), "ControlWindowProc"},
        {"thread list", threads, "DefDlgProcW"},
        {"its list", plat::GetDlgItem(threads, IDC_LIST), "ControlWindowProc"},
        {"information", info, "DefDlgProcW"},
        {"its tree", plat::GetDlgItem(info, IDC_TREE), "ControlWindowProc"},
    };
    for (const Target& target : targets) {
      for (bool sent : {false, true}) {
        for (std::uint32_t kind : Refused) {
          if (HandedOn(target, kind, sent)) wrong.push_back(Case(target, kind, sent));
        }
        for (std::uint32_t kind : Kept) {
          if (!HandedOn(target, kind, sent)) wrong.push_back(Case(target, kind, sent));
        }
        // The system carries these two when they are sent, never when they are posted.
        for (std::uint32_t kind : {WM_SETTEXT, WM_GETTEXT}) {
          if (HandedOn(target, kind, sent) != sent) wrong.push_back(Case(target, kind, sent));
        }
      }
      // The program's own messages, and its controls' to their parents, pass as ever.
      const int before = Count(target.Handling);
      sim::Send(target.Window, plat::WM_NOTIFY, 100, 0x1);
      if (Count(target.Handling) == before) wrong.push_back(std::string(target.Name) + " own");
    }
    answers.push_back(sim::Send(AppState.MainWindow, plat::WM_NOTIFY, 100, 0x1, true));
    answers.push_back(sim::Send(targets[2].Window, plat::WM_NOTIFY, 100, 0x1, true));
    for (const sim::DialogRecord& dialog : sim::Device().Dialogs) dialogsOpen += dialog.Open;
    sim::SendDialogCommand(info, plat::IDOK);
    sim::SendDialogCommand(threads, plat::IDOK);
    sim::SendDialogCommand(processes, plat::IDOK);
  });
  // The program's own loop drops them too.
  for (std::uint32_t kind : Refused) {
    sim::At(100 + kind, [&wrong, kind] {
      const Target main{"main window's loop", AppState.MainWindow, "DefWindowProcW"};
      const int before = Count(main.Handling);
      HandedOn(main, kind, false, true);
      sim::After(0, [&wrong, main, kind, before] {
        if (Count(main.Handling) != before) wrong.push_back(Case(main, kind, false));
      });
    });
  }
  // A second launch asks for preset 3.
  sim::At(20000, [] { sim::Post(AppState.MainWindow, UM_APPLYPRESET, 0, 3); });
  Start();

  EXPECT_EQ(wrong, std::vector<std::string>{});
  EXPECT_EQ(answers, (std::vector<plat::LResult>{0, 0}));  // not the default handling's 77
  EXPECT_EQ(dialogsOpen, 3u);
  EXPECT_EQ(sim::Device().Dialogs.size(), 3u);
  EXPECT_EQ(sim::Device().Cpu.Cccr, 0x2000110u);
  EXPECT_EQ(sim::Device().Tray[0].Adds, 1);
}

// A command another thread sends is answered at once and carried out from the program's own
// loop: each dialog opens only after the sender's call, and OK closes it only then.
TEST_F(OutsideMessagesTest, CommandsFromAnotherThreadRunFromTheProgramsOwnLoop) {
  sim::Device().Processes.Running.push_back(
      {0x200, u"device.exe", u"\\Windows\\device.exe", {{0x201, 251, 0, 0, 0, false}}, false});
  std::vector<std::string> open;  // the dialogs open before and after each command
  std::vector<plat::LResult> answers;
  const auto command = [&](plat::Window window, int id) {
    const auto dialogs = [] {
      return std::string(AppState.ProcessDialogWindow != plat::Window{} ? "P" : "") +
             (AppState.ThreadDialogWindow != plat::Window{} ? "T" : "") +
             (AppState.InfoDialogWindow != plat::Window{} ? "I" : "");
    };
    open.push_back(dialogs());
    answers.push_back(sim::Send(window, plat::WM_COMMAND, static_cast<plat::WParam>(id), 0, true));
    open.push_back(dialogs());
  };
  sim::At(10, [&] { command(AppState.MainWindow, IDM_PROCESSES); });
  sim::At(20, [&] {
    sim::SelectRow(plat::GetDlgItem(AppState.ProcessDialogWindow, IDC_LIST), 0);
    command(AppState.ProcessDialogWindow, IDC_THREADS);
  });
  sim::At(30, [&] { command(AppState.MainWindow, IDM_INFO); });
  sim::At(40, [&] {
    for (plat::Window dialog :
         {AppState.InfoDialogWindow, AppState.ThreadDialogWindow, AppState.ProcessDialogWindow}) {
      command(dialog, plat::IDOK);
    }
  });
  sim::At(50, [&] { command(AppState.MainWindow, 0); });
  Start();

  EXPECT_EQ(open, (std::vector<std::string>{"", "", "P", "P", "PT", "PT", "PTI", "PTI", "PTI",
                                            "PTI", "PTI", "PTI", "", ""}));
  constexpr plat::LResult handled = plat::DialogHandled;
  EXPECT_EQ(answers, (std::vector<plat::LResult>{0, handled, 0, handled, handled, handled, 0}));
  std::vector<plat::LResult> results;
  for (const sim::DialogRecord& dialog : sim::Device().Dialogs) results.push_back(dialog.Result);
  EXPECT_EQ(results, std::vector<plat::LResult>(3, plat::IDOK));
}

}  // namespace
