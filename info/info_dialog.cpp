// The system information dialog: a tree filled once, when the dialog opens.
#include "info/info_dialog.h"

#include "base/ids.h"
#include "base/state.h"
#include "info/info_tree.h"
#include "platform/dialogs.h"
#include "platform/windowing.h"

std::intptr_t InfoDialogProc(plat::Window window, std::uint32_t message, plat::WParam wParam,
                             plat::LParam /*lParam*/) {
  // An ended dialog may still be sent messages until its loop returns: they do nothing.
  if (message != plat::WM_INITDIALOG && window != AppState.InfoDialogWindow) return 0;
  switch (message) {
    case plat::WM_INITDIALOG:
      // The menu's dispatch finds an open dialog by this handle and brings it forward.
      AppState.InfoDialogWindow = window;
      FillInfoTree(plat::GetDlgItem(window, IDC_TREE));
      return 1;
    case plat::WM_COMMAND: {
      const int id = static_cast<int>(wParam & 0xFFFF);
      if (id != plat::IDOK && id != plat::IDCANCEL) return 0;
      AppState.InfoDialogWindow = plat::Window{};
      plat::EndDialog(window, id);
      return 1;
    }
    default:
      return 0;
  }
}
