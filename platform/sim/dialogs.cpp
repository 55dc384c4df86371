// The simulated modal user interface: dialog boxes run from the script's templates with their
// list-view, tree-view and image-list controls, message boxes answered by the script, and beeps.
// A dialog's loop serves the queue and the script as the program's own loop does, so timers and
// scripted presses reach the program while it is open.
#include "platform/dialogs.h"

#include <algorithm>

#include "platform/sim/device.h"
#include "platform/windowing.h"

namespace {

using sim::Device;

sim::DialogRecord* FindDialog(plat::Window window) {
  for (sim::DialogRecord& d : Device().Dialogs)
    if (d.Handle == window && window != plat::Window{}) return &d;
  return nullptr;
}

// The dialog window's procedure as the platform's dialog manager calls it, for messages from
// anywhere: the procedure gets its one WM_INITDIALOG at creation and never another, and a
// WM_CLOSE it leaves alone becomes a press of Cancel. An ended dialog whose loop has not yet
// returned still gets its messages.
plat::LResult DialogWindowProc(plat::Window window, std::uint32_t message, plat::WParam wParam,
                               plat::LParam lParam) {
  const sim::DialogRecord* dialog = FindDialog(window);
  if (!dialog || !dialog->Procedure || message == plat::WM_INITDIALOG) return 0;
  const plat::DialogProc procedure = dialog->Procedure;
  const plat::LResult handled = procedure(window, message, wParam, lParam);
  if (handled != 0) return handled;
  sim::LogCall("DefDlgProcW");  // the dialog manager's own handling
  if (message != plat::WM_CLOSE) return 0;
  return procedure(window, plat::WM_COMMAND, static_cast<plat::WParam>(plat::IDCANCEL), 0);
}

// A control's own procedure: its state is records the program changes by calls; it logs messages.
plat::LResult ControlWindowProc(plat::Window, std::uint32_t, plat::WParam, plat::LParam) {
  sim::LogCall(__func__);
  return 0;
}

// A live control of `className`.
bool LiveControl(plat::Window window, std::u16string_view className) {
  const sim::WindowRecord* record = sim::FindWindow(window);
  return record != nullptr && !record->Destroyed && sim::EqualNoCase(record->ClassName, className);
}

sim::ListViewRecord* List(plat::Window window) {
  return LiveControl(window, u"SysListView32") ? &Device().Controls.Lists[window] : nullptr;
}

// A control whose rows change is drawn again unless its drawing is off. Gives its list's record.
sim::ListViewRecord* Change(plat::Window control) {
  sim::WindowRecord* record = sim::FindWindow(control);
  if (record != nullptr && !record->RedrawOff) ++record->Redraws;
  return List(control);
}

bool ValidRow(const sim::ListViewRecord* list, int index) {
  return list != nullptr && index >= 0 && static_cast<std::size_t>(index) < list->Rows.size();
}

// Newest first: a fill adds its items under the ones it added last.
sim::TreeItemRecord* FindTreeItem(std::vector<sim::TreeItemRecord>& items, std::uintptr_t handle) {
  for (auto item = items.rbegin(); item != items.rend(); ++item) {
    if (item->Handle == handle) return &*item;
    if (sim::TreeItemRecord* found = FindTreeItem(item->Children, handle)) return found;
  }
  return nullptr;
}

}  // namespace

namespace plat {

LResult DialogBoxIndirectParamW(Instance, const void* dialogTemplate, Window owner,
                                DialogProc procedure, LParam initParam) {
  SIM_CALL();
  const sim::DialogTemplate* found = nullptr;
  for (const sim::DialogTemplate& t : sim::Resources().Dialogs)
    if (&t == dialogTemplate) found = &t;
  if (found == nullptr || procedure == nullptr) return -1;
  const Window dialog = sim::NewWindow(u"#32770", found->Caption, DialogWindowProc, false);
  sim::DialogRecord record{dialog, found->Id, found->Caption, owner, true, 0, 0, procedure};
  for (const sim::DialogControl& control : found->Controls)
    record.Controls.emplace_back(
        control.Id, sim::NewWindow(control.ClassName, control.Text, ControlWindowProc, true));
  Device().Dialogs.push_back(std::move(record));
  sim::CallProgram([&] { return procedure(dialog, WM_INITDIALOG, 0, initParam); });
  // The modal loop: ends when the program ends the dialog. A quit message ends it too; when the
  // script runs out the user presses Escape, and a dialog that ignores that is closed.
  while (FindDialog(dialog)->Open) {
    const sim::PumpResult turn = sim::PumpOneMessage();
    if (!FindDialog(dialog)->Open || turn == sim::PumpResult::Dispatched) continue;
    if (turn == sim::PumpResult::ScenarioEnded)
      sim::CallProgram([&] { return procedure(dialog, WM_COMMAND, WParam{IDCANCEL}, 0); });
    if (sim::DialogRecord* open = FindDialog(dialog); open->Open) {
      open->Open = false;
      open->Result = 0;
    }
  }
  const std::vector<std::pair<int, Window>> controls = FindDialog(dialog)->Controls;
  for (const auto& [id, control] : controls) sim::RemoveWindow(control);
  sim::RemoveWindow(dialog);
  FindDialog(dialog)->Removed = true;
  return FindDialog(dialog)->Result;
}

bool EndDialog(Window dialog, LResult result) {
  SIM_CALL();
  sim::DialogRecord* record = FindDialog(dialog);
  if (record == nullptr || !record->Open) return false;
  record->Open = false;
  record->Result = result;
  return true;
}

Window GetDlgItem(Window dialog, int id) {
  SIM_CALL();
  const sim::DialogRecord* record = FindDialog(dialog);
  if (record == nullptr || record->Removed) return Window{};
  for (const auto& [controlId, control] : record->Controls)
    if (controlId == id) return control;
  return Window{};
}

bool SetForegroundWindow(Window window) {
  SIM_CALL();
  Device().Log.Foreground.push_back(window);
  if (sim::DialogRecord* record = FindDialog(window)) ++record->BroughtForward;
  return window != Window{};
}

int ListViewInsertColumn(Window list, int column, int, const char16_t* header) {
  SIM_CALL();
  sim::ListViewRecord* record = List(list);
  if (record == nullptr || column < 0) return -1;
  const auto at =
      static_cast<std::ptrdiff_t>(std::min<std::size_t>(column, record->Columns.size()));
  record->Columns.insert(record->Columns.begin() + at, sim::FromZ(header));
  record->Widths.insert(record->Widths.begin() + at, 0);
  return static_cast<int>(at);
}

bool ListViewSetColumnWidth(Window list, int column, int width) {
  SIM_CALL();
  sim::ListViewRecord* record = List(list);
  if (!record || column < 0 || static_cast<std::size_t>(column) >= record->Widths.size())
    return false;
  record->Widths[static_cast<std::size_t>(column)] = width;
  return true;
}

void ListViewSetExtendedStyle(Window list, std::uint32_t style) {
  SIM_CALL();
  if (sim::ListViewRecord* record = List(list)) record->ExtendedStyle = style;
}

int ListViewInsertItem(Window list, int index, const char16_t* text, int image, LParam parameter) {
  SIM_CALL();
  sim::ListViewRecord* record = Change(list);
  if (record == nullptr || index < 0) return -1;
  const auto at = std::min(static_cast<std::size_t>(index), record->Rows.size());
  sim::ListViewRow row{{sim::FromZ(text)}, image < 0 ? -1 : image, parameter, false};
  row.Cells.resize(std::max<std::size_t>(1, record->Columns.size()));
  record->Rows.insert(record->Rows.begin() + static_cast<std::ptrdiff_t>(at), std::move(row));
  return static_cast<int>(at);
}

bool ListViewSetItemText(Window list, int index, int column, const char16_t* text) {
  SIM_CALL();
  sim::ListViewRecord* record = Change(list);
  if (!ValidRow(record, index) || column < 0) return false;
  auto& cells = record->Rows[static_cast<std::size_t>(index)].Cells;
  if (static_cast<std::size_t>(column) >= cells.size()) cells.resize(column + 1);
  cells[static_cast<std::size_t>(column)] = sim::FromZ(text);
  return true;
}

bool ListViewDeleteAllItems(Window list) {
  SIM_CALL();
  sim::ListViewRecord* record = Change(list);
  if (record) record->Rows.clear();
  return record != nullptr;
}

int ListViewGetNextItem(Window list, int start, int) {
  SIM_CALL();
  // From -1 the first item; a start below -1 names none.
  return ValidRow(List(list), start + 1) ? start + 1 : -1;
}

std::uint32_t ListViewGetItemState(Window list, int index, std::uint32_t mask) {
  SIM_CALL();
  sim::ListViewRecord* record = List(list);
  if (!ValidRow(record, index)) return 0;
  return (record->Rows[static_cast<std::size_t>(index)].Selected ? LVIS_SELECTED : 0) & mask;
}

bool ListViewGetItemParam(Window list, int index, LParam* parameter) {
  SIM_CALL();
  sim::ListViewRecord* record = List(list);
  if (!ValidRow(record, index) || parameter == nullptr) return false;
  *parameter = record->Rows[static_cast<std::size_t>(index)].Parameter;
  return true;
}

ImageList ListViewSetImageList(Window list, ImageList images, int kind) {
  SIM_CALL();
  sim::ListViewRecord* record = Change(list);
  if (record == nullptr || kind != LVSIL_SMALL) return ImageList{};
  return std::exchange(record->SmallImages, images);
}

void SetWindowRedraw(Window control, bool redraw) {
  SIM_CALL();
  if (sim::WindowRecord* record = sim::FindWindow(control)) {
    record->RedrawOff = !redraw;
    record->Redraws += redraw;
  }
}

TreeItem TreeViewInsertItem(Window tree, TreeItem parent, const char16_t* text) {
  SIM_CALL();
  if (!LiveControl(tree, u"SysTreeView32")) return TreeItem{};
  Change(tree);
  sim::Controls& controls = Device().Controls;
  std::vector<sim::TreeItemRecord>* siblings = &controls.Trees[tree];
  if (parent != TreeItem{}) {
    sim::TreeItemRecord* found = FindTreeItem(*siblings, static_cast<std::uintptr_t>(parent));
    if (found == nullptr) return TreeItem{};
    siblings = &found->Children;
  }
  siblings->push_back({controls.NextTreeItem++, sim::FromZ(text), {}});
  return TreeItem(siblings->back().Handle);
}

ImageList ImageList_Create(int width, int height, std::uint32_t flags, int, int) {
  SIM_CALL();
  if (width <= 0 || height <= 0) return ImageList{};
  const ImageList handle = ImageList(Device().Controls.NextImageList++);
  Device().Controls.ImageLists[handle] = {width, height, flags, {}, {}, false};
  return handle;
}

int ImageList_ReplaceIcon(ImageList images, int index, Icon icon) {
  SIM_CALL();
  auto& lists = Device().Controls.ImageLists;
  auto found = lists.find(images);
  auto pixels = Device().Graphics.Icons.find(icon);
  if (found == lists.end() || found->second.Destroyed || index != -1 ||
      pixels == Device().Graphics.Icons.end())
    return -1;
  found->second.Sources.push_back(pixels->second.ShellFile);
  found->second.Transparent.push_back(pixels->second.Transparent);
  return static_cast<int>(found->second.Sources.size()) - 1;
}

bool ImageList_Destroy(ImageList images) {
  SIM_CALL();
  auto found = Device().Controls.ImageLists.find(images);
  if (found == Device().Controls.ImageLists.end() || found->second.Destroyed) return false;
  found->second.Destroyed = true;
  return true;
}

int MessageBoxW(Window owner, const char16_t* text, const char16_t* caption, std::uint32_t style) {
  SIM_CALL();
  // The box's own loop serves what is already queued before the user answers, up to a quit
  // message, which stays queued.
  while (!Device().Ui.Queue.empty() && sim::PumpOneMessage() == sim::PumpResult::Dispatched) {
  }
  auto& answers = Device().Script.BoxAnswers;
  const int answer = answers.empty() ? ((style & 0xF) == MB_OK ? IDOK : IDNO) : answers.front();
  if (!answers.empty()) answers.pop_front();
  Device().Log.Boxes.push_back({owner, sim::FromZ(text), sim::FromZ(caption), style, answer});
  return answer;
}

bool MessageBeep(std::uint32_t type) {
  SIM_CALL();
  Device().Log.Beeps.push_back(type);
  return true;
}

}  // namespace plat
