// The system information dialog: a tree filled once, when the dialog opens.
#include "info/info_dialog.h"

#include "base/ids.h"
#include "base/outside_messages.h"
#include "base/state.h"
#include "info/info_tree.h"
#include "platform/dialogs.h"
#include "platform/windowing.h"

std::intptr_t InfoDialogProc(plat::Window window, std::uint32_t message, plat::WParam wParam,
                             plat::LParam lParam) {
  // Taken as handled: the dialog manager's own handling would follow the pointer.
  if (RefusedFromOutside(message)) return plat::DialogHandled;
  // An ended dialog may still be sent messages until its loop returns: they do nothing.
  if (message != plat::WM_INITDIALOG && window != AppState.InfoDialogWindow)
    return plat::DialogNotHandled;
  switch (message) {
    case plat::WM_INITDIALOG:
      // The menu's dispatch finds an open dialog by this handle and brings it forward.
      AppState.InfoDialogWindow = window;
      GuardControl(plat::GetDlgItem(window, IDC_TREE));
      FillInfoTree(plat::GetDlgItem(window, IDC_TREE));
      return plat::DialogHandled;
    case plat::WM_COMMAND: {
      if (CommandPostponed(window, wParam, lParam)) return plat::DialogHandled;
      const int id = static_cast<int>(wParam & 0xFFFF);
      if (id != plat::IDOK && id != plat::IDCANCEL) return plat::DialogNotHandled;
      AppState.InfoDialogWindow = plat::Window{};
      plat::EndDialog(window, id);
      return plat::DialogHandled;
    }
    default:
      return plat::DialogNotHandled;
  }
}
