// Any sequence of messages to the main window while the program runs: creation and
// destruction again, menu commands with any identifier, timers, the private messages with any
// parameters, the tray menu with a scripted choice, and the tool dialogs with scripted presses
// and with any message another process may post or send them, ended dialogs included. Each
// tool dialog is on screen at most once.
#include <functional>

#include "base/ids.h"
#include "base/messages.h"
#include "fuzz_common.h"
#include "platform/dialogs.h"
#include "platform/windowing.h"

namespace {

constexpr int ButtonIds[] = {plat::IDOK, plat::IDCANCEL, IDC_CLOSE_PROCESS, IDC_THREADS,
                             IDC_REFRESH};
constexpr int Answers[] = {plat::IDYES, plat::IDNO, plat::IDOK, plat::IDCANCEL, 0};

plat::Window Main() { return AppState.MainWindow; }

// A command identifier: mostly one of the menu's, sometimes any number at all.
std::uint32_t Command(fuzz::Bytes& in) {
  const std::uint8_t pick = in.U8();
  if (pick == 0xFF) return in.U32();
  return IDM_FIRST + pick % 120u;
}

// Presses a button of the newest open tool dialog, or taps one of its rows.
void ActInDialog(std::uint8_t choice, std::uint8_t row) {
  for (int templateId : {IDD_THREADS, IDD_PROCESSES, IDD_INFO}) {
    auto dialog = sim::OpenDialog(templateId);
    if (!dialog) continue;
    if ((choice & 0x80) != 0 && templateId != IDD_INFO) {
      sim::SelectRow(plat::GetDlgItem(dialog->Handle, IDC_LIST), row % 4);
    } else {
      sim::SendDialogCommand(dialog->Handle, ButtonIds[choice % std::size(ButtonIds)]);
    }
    return;
  }
}

// Any message to any dialog the program showed that still has its window.
void MessageToDialog(fuzz::Bytes& in, std::uint32_t w, plat::LParam l) {
  const std::vector<sim::DialogRecord> dialogs = sim::Device().Dialogs;
  if (dialogs.empty()) return;
  const plat::Window dialog = dialogs[in.U8() % dialogs.size()].Handle;
  constexpr std::uint32_t Messages[] = {plat::WM_INITDIALOG, plat::WM_COMMAND, plat::WM_CLOSE,
                                        plat::WM_DESTROY, plat::WM_TIMER};
  const std::uint8_t pick = in.U8();
  const std::uint32_t message = pick < 0xF0 ? Messages[pick % std::size(Messages)] : in.U32();
  if ((w & 1) != 0) {
    sim::Send(dialog, message, w >> 1, l, (l & 1) != 0);  // from this thread or another
  } else {
    sim::Post(dialog, message, w >> 1, l);
  }
}

void CheckEachDialogShownOnce() {
  for (int templateId : {IDD_PROCESSES, IDD_THREADS, IDD_INFO}) {
    int open = 0;
    for (const sim::DialogRecord& d : sim::Device().Dialogs)
      open += d.TemplateId == templateId && d.Open;
    fuzz::Check(open <= 1, "a tool dialog shown twice");
  }
}

void Act(fuzz::Bytes& in) {
  const std::uint8_t kind = in.U8() % 13;
  const std::uint32_t w = in.U32();
  const plat::LParam l = static_cast<std::int32_t>(in.U32());
  switch (kind) {
    case 0:
      sim::Send(Main(), plat::WM_CREATE, w, l);
      break;
    case 1:
      sim::Send(Main(), (w & 1) != 0 ? plat::WM_DESTROY : plat::WM_CLOSE, w, l);
      break;
    case 2:
      sim::Post(Main(), plat::WM_COMMAND, Command(in), (w & 1) != 0 ? l : 0);
      break;
    case 3:
      sim::Post(Main(), plat::WM_TIMER, (w & 3) == 0 ? w : ID_TIMER_ICON + (w & 3) - 1, l);
      break;
    case 4:
      sim::Device().Script.MenuChoice = Command(in);
      sim::Post(Main(), UM_SHOWMENU, w, l);
      break;
    case 5:
      sim::Device().Script.MenuChoice = Command(in);
      sim::Post(Main(), UM_TRAYNOTIFY, w, (w & 1) != 0 ? l : plat::WM_LBUTTONDOWN);
      break;
    case 6:
      sim::Post(Main(), UM_APPLYPRESET, w, (w & 1) != 0 ? l : static_cast<plat::LParam>(w % 10));
      break;
    case 7:
      sim::Send(Main(), w, static_cast<plat::WParam>(l), l, (l & 1) != 0);
      break;
    case 8:
      sim::Device().Script.BoxAnswers.push_back(Answers[w % std::size(Answers)]);
      break;
    case 9:
      ActInDialog(static_cast<std::uint8_t>(w), static_cast<std::uint8_t>(w >> 8));
      break;
    case 10:
      sim::Device().System.IdleReadings = {w};
      break;
    case 11:
      MessageToDialog(in, w, l);
      break;
    default:
      break;  // time passes
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FreshDevice();
  sim::Device().Processes.Running.push_back(
      {0x200, u"device.exe", u"\\Windows\\device.exe", {{0x201, 251, 0, 0, 0, false}}, false});
  sim::Device().Processes.Running.push_back(
      {0x300, u"abc", u"\\abc", {{0x301, 5, 0, 0, 0, true}}, true});
  harness::AddWindow({.Title = u"Устройство", .ProcessId = 0x200, .Visible = true});
  // The bytes are read as the script runs; each action schedules the next.
  static fuzz::Bytes in(nullptr, 0);
  in = fuzz::Bytes(data, size);
  std::function<void()> step = [&step] {
    if (in.Empty()) return;
    Act(in);
    CheckEachDialogShownOnce();
    sim::After(1 + in.U8() * 20u, step);
  };
  sim::After(1, step);
  fuzz::RunProgram(u"");
  return 0;
}
