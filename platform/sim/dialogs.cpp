// The simulated modal user interface: dialog boxes run from the script's templates, message boxes
// answered by the script, and beeps. A dialog's loop serves the queue and the script as the
// program's own loop does, so timers and scripted presses reach the program while it is open.
#include "platform/dialogs.h"

#include <deque>
#include <optional>
#include <vector>

#include "platform/sim/device.h"
#include "platform/sim/internal.h"
#include "platform/windowing.h"

namespace {

using sim::internal::PlatformCall;
using sim::internal::SimCall;

struct DialogEntry {
  sim::DialogRecord Record;
  plat::DialogProc Procedure;
  std::vector<std::pair<int, plat::Window>> Controls;
  bool Removed;  // its loop returned and its window is gone
};

struct DialogsState {
  std::vector<DialogEntry> dialogs;
  std::vector<plat::Window> foreground;
  std::deque<int> boxAnswers;
  std::vector<sim::MessageBoxRecord> boxes;
  std::vector<std::uint32_t> beeps;
};

DialogsState& D() {
  static DialogsState state;
  return state;
}

DialogEntry* FindDialog(plat::Window window) {
  for (auto& d : D().dialogs) {
    if (d.Record.Handle == window && window != plat::Window{}) return &d;
  }
  return nullptr;
}

// The dialog window's procedure as the platform's dialog manager calls it, for messages from
// anywhere: the procedure gets its one WM_INITDIALOG at creation and never another, and a
// WM_CLOSE it leaves alone becomes a press of Cancel. An ended dialog whose loop has not yet
// returned still gets its messages.
plat::LResult DialogWindowProc(plat::Window window, std::uint32_t message, plat::WParam wParam,
                               plat::LParam lParam) {
  DialogEntry* dialog = FindDialog(window);
  if (dialog == nullptr || dialog->Procedure == nullptr || message == plat::WM_INITDIALOG) {
    return 0;
  }
  plat::DialogProc procedure = dialog->Procedure;
  const plat::LResult handled = procedure(window, message, wParam, lParam);
  if (handled == 0 && message == plat::WM_CLOSE) {
    return procedure(window, plat::WM_COMMAND, static_cast<plat::WParam>(plat::IDCANCEL), 0);
  }
  return handled;
}

const sim::DialogTemplate* KnownTemplate(const void* dialogTemplate) {
  for (const auto& t : sim::Resources().Dialogs) {
    if (&t == dialogTemplate) return &t;
  }
  return nullptr;
}

}  // namespace

namespace sim {
namespace internal {
void ResetDialogs() { D() = DialogsState{}; }
}  // namespace internal

void AnswerNextMessageBox(int answer) {
  SimCall mark;
  D().boxAnswers.push_back(answer);
}
const std::vector<MessageBoxRecord>& MessageBoxes() { return D().boxes; }
const std::vector<std::uint32_t>& Beeps() { return D().beeps; }

std::vector<DialogRecord> Dialogs() {
  SimCall mark;
  std::vector<DialogRecord> records;
  for (const auto& d : D().dialogs) records.push_back(d.Record);
  return records;
}

std::optional<DialogRecord> OpenDialog(int templateId) {
  SimCall mark;
  for (const auto& d : D().dialogs) {
    if (d.Record.TemplateId == templateId && d.Record.Open) return d.Record;
  }
  return std::nullopt;
}

plat::LResult SendDialogCommand(plat::Window dialog, int id) {
  SimCall mark;
  DialogEntry* entry = FindDialog(dialog);
  if (entry == nullptr || !entry->Record.Open) return 0;
  internal::ProgramCallback callback;
  return DialogWindowProc(dialog, plat::WM_COMMAND, static_cast<plat::WParam>(id), 0);
}

const std::vector<plat::Window>& ForegroundRequests() { return D().foreground; }

}  // namespace sim

namespace plat {

LResult DialogBoxIndirectParamW(Instance, const void* dialogTemplate, Window owner,
                                DialogProc procedure, LParam initParam) {
  PlatformCall call("DialogBoxIndirectParamW");
  const sim::DialogTemplate* found = KnownTemplate(dialogTemplate);
  if (found == nullptr || procedure == nullptr) return -1;
  DialogEntry entry{};
  entry.Record.Handle = sim::internal::NewWindow(u"#32770", found->Caption, DialogWindowProc);
  entry.Record.TemplateId = found->Id;
  entry.Record.Caption = found->Caption;
  entry.Record.Owner = owner;
  entry.Record.Open = true;
  entry.Procedure = procedure;
  for (const auto& control : found->Controls) {
    entry.Controls.push_back(
        {control.Id, sim::internal::NewWindow(control.ClassName, control.Text, nullptr)});
  }
  const Window dialog = entry.Record.Handle;
  D().dialogs.push_back(entry);
  {
    sim::internal::ProgramCallback callback;
    procedure(dialog, WM_INITDIALOG, 0, initParam);
  }
  // The modal loop: ends when the program ends the dialog. A quit message ends it too; when the
  // script runs out the user presses Escape, and a dialog that ignores that is closed.
  for (;;) {
    if (!FindDialog(dialog)->Record.Open) break;
    sim::internal::PumpResult turn = sim::internal::PumpOneMessage();
    if (!FindDialog(dialog)->Record.Open) break;
    if (turn == sim::internal::PumpResult::Dispatched) continue;
    if (turn == sim::internal::PumpResult::ScenarioEnded) {
      sim::internal::ProgramCallback callback;
      procedure(dialog, WM_COMMAND, static_cast<WParam>(IDCANCEL), 0);
    }
    DialogEntry* open = FindDialog(dialog);
    if (open->Record.Open) {
      open->Record.Open = false;
      open->Record.Result = 0;
    }
    break;
  }
  DialogEntry* done = FindDialog(dialog);
  LResult result = done->Record.Result;
  std::vector<std::pair<int, Window>> controls = done->Controls;
  for (const auto& [id, control] : controls) sim::internal::RemoveWindow(control);
  sim::internal::RemoveWindow(dialog);
  FindDialog(dialog)->Removed = true;
  return result;
}

bool EndDialog(Window dialog, LResult result) {
  PlatformCall call("EndDialog");
  DialogEntry* entry = FindDialog(dialog);
  if (entry == nullptr || !entry->Record.Open) return false;
  entry->Record.Open = false;
  entry->Record.Result = result;
  return true;
}

Window GetDlgItem(Window dialog, int id) {
  PlatformCall call("GetDlgItem");
  DialogEntry* entry = FindDialog(dialog);
  if (entry == nullptr || entry->Removed) return Window{};
  for (const auto& [controlId, control] : entry->Controls) {
    if (controlId == id) return control;
  }
  return Window{};
}

bool SetForegroundWindow(Window window) {
  PlatformCall call("SetForegroundWindow");
  D().foreground.push_back(window);
  if (DialogEntry* entry = FindDialog(window)) ++entry->Record.BroughtForward;
  return window != Window{};
}

int MessageBoxW(Window owner, const char16_t* text, const char16_t* caption, std::uint32_t style) {
  PlatformCall call("MessageBoxW");
  // The box's own loop serves what is already queued before the user answers.
  sim::internal::PumpQueued();
  auto& s = D();
  int answer;
  if (!s.boxAnswers.empty()) {
    answer = s.boxAnswers.front();
    s.boxAnswers.pop_front();
  } else {
    answer = (style & 0xF) == MB_OK ? IDOK : IDNO;
  }
  s.boxes.push_back(
      {owner, sim::internal::FromZ(text), sim::internal::FromZ(caption), style, answer});
  return answer;
}

bool MessageBeep(std::uint32_t type) {
  PlatformCall call("MessageBeep");
  D().beeps.push_back(type);
  return true;
}

}  // namespace plat
