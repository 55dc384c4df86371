// The process list dialog: the list, and the Close, Threads and Refresh buttons with their
// effect on an open thread list.
#include "procview/process_dialog.h"

#include "base/ids.h"
#include "base/outside_messages.h"
#include "base/state.h"
#include "platform/dialogs.h"
#include "platform/resources.h"
#include "platform/system.h"
#include "platform/toolhelp.h"
#include "platform/windowing.h"
#include "procview/process_list.h"
#include "procview/thread_dialog.h"
#include "procview/thread_list.h"

namespace {

// The spaces in the headers widen their columns, which are sized to fit the header.
constexpr const char16_t* ProcessColumns[] = {
    u" имя  процесса ", u" заголовок  окна ", u"потоки", u"расположение главного файла", u"размер",
};

void InitProcessList(plat::Window list) {
  int column = 0;
  for (const char16_t* header : ProcessColumns) {
    plat::ListViewInsertColumn(list, column++, plat::LVCFMT_LEFT, header);
  }
  for (int i = 0; i < column; ++i) {
    plat::ListViewSetColumnWidth(list, i, plat::LVSCW_AUTOSIZE_USEHEADER);
  }
  plat::ListViewSetExtendedStyle(list, plat::LVS_EX_FULLROWSELECT);
  FillProcessList(list);
}

// Refresh: the thread list belongs to the old snapshot, so it is ended; then the list is rebuilt.
void RefreshProcessList(plat::Window list) {
  if (AppState.ThreadDialogWindow != plat::Window{}) {
    plat::EndDialog(AppState.ThreadDialogWindow, 0);
    AppState.ThreadDialogWindow = plat::Window{};
  }
  FillProcessList(list);
}

void CloseSelectedProcess(plat::Window list) {
  const std::uint32_t pid = GetSelectedProcessId(list);
  if (pid == 0) {
    plat::MessageBeep(plat::MB_ICONASTERISK);
    return;
  }
  // A process that has gone or refuses is not reported: the list is refreshed all the same.
  const plat::Handle process = plat::OpenProcess(0, false, pid);
  if (process != plat::Handle{}) {
    plat::TerminateProcess(process, 0);
    plat::CloseHandle(process);
  }
  RefreshProcessList(list);
}

void ShowSelectedThreads(plat::Window list) {
  const std::uint32_t pid = GetSelectedProcessId(list);
  AppState.ThreadListProcessId = pid;
  if (pid == 0) {
    plat::MessageBeep(plat::MB_ICONASTERISK);
    return;
  }
  if (AppState.ThreadDialogWindow != plat::Window{}) {
    const plat::Window threads = plat::GetDlgItem(AppState.ThreadDialogWindow, IDC_LIST);
    FillThreadList(threads);
    plat::SetForegroundWindow(AppState.ThreadDialogWindow);
    return;
  }
  // A closed thread list whose loop still waits under another dialog's: one copy at a time. The
  // request is kept; the list opens once that loop has returned, if this process list is still
  // open then (the request was its own: no other opens before its loop has returned too) and
  // the program is not closing.
  if (AppState.ThreadDialogRunning != DialogLoopIdle) {
    AppState.ThreadDialogRunning = DialogLoopAskedAgain;
    return;
  }
  // Returns when the thread list ends; this dialog keeps serving its buttons meanwhile.
  const void* dialogTemplate = plat::LoadResource(
      AppState.Instance, plat::FindResourceW(AppState.Instance, IDD_THREADS, plat::RT_DIALOG));
  if (dialogTemplate == nullptr) return;
  do {
    AppState.ThreadDialogRunning = DialogLoopRunning;
    plat::DialogBoxIndirectParamW(AppState.Instance, dialogTemplate, plat::Window{},
                                  ThreadDialogProc, 0);
  } while (AppState.ThreadDialogRunning == DialogLoopAskedAgain &&
           AppState.ProcessDialogWindow != plat::Window{} && AppState.CloseHandled == 0);
  AppState.ThreadDialogRunning = DialogLoopIdle;
}

}  // namespace

std::intptr_t ProcessDialogProc(plat::Window window, std::uint32_t message, plat::WParam wParam,
                                plat::LParam lParam) {
  // Taken as handled: the dialog manager's own handling would follow the pointer.
  if (RefusedFromOutside(message)) return plat::DialogHandled;
  if (message == plat::WM_INITDIALOG) {
    // The menu's dispatch finds an open dialog by this handle and brings it forward.
    AppState.ProcessDialogWindow = window;
    GuardControl(plat::GetDlgItem(window, IDC_LIST));
    InitProcessList(plat::GetDlgItem(window, IDC_LIST));
    return plat::DialogHandled;
  }
  // An ended dialog may still be sent messages until its loop returns: they do nothing.
  if (window != AppState.ProcessDialogWindow) return plat::DialogNotHandled;
  const plat::Window list = plat::GetDlgItem(window, IDC_LIST);
  switch (message) {
    case plat::WM_COMMAND:
      if (CommandPostponed(window, wParam, lParam)) return plat::DialogHandled;
      switch (static_cast<int>(wParam & 0xFFFF)) {
        case plat::IDOK:
        case plat::IDCANCEL:
          // An open thread list is a dialog of its own and stays open.
          AppState.ProcessDialogWindow = plat::Window{};
          plat::EndDialog(window, static_cast<plat::LResult>(wParam & 0xFFFF));
          return plat::DialogHandled;
        case IDC_CLOSE_PROCESS:
          CloseSelectedProcess(list);
          return plat::DialogHandled;
        case IDC_REFRESH:
          RefreshProcessList(list);
          return plat::DialogHandled;
        case IDC_THREADS:
          ShowSelectedThreads(list);
          return plat::DialogHandled;
        default:
          return plat::DialogNotHandled;
      }
    default:
      return plat::DialogNotHandled;
  }
}
