// The thread list dialog.
#include "procview/thread_dialog.h"

#include "base/state.h"
#include "platform/dialogs.h"
#include "platform/windowing.h"

std::intptr_t ThreadDialogProc(plat::Window window, std::uint32_t message, plat::WParam wParam,
                               plat::LParam /*lParam*/) {
  switch (message) {
    case plat::WM_INITDIALOG:
      // The menu's dispatch finds an open dialog by this handle and brings it forward.
      AppState.ThreadDialogWindow = window;
      return 1;
    case plat::WM_COMMAND: {
      const int id = static_cast<int>(wParam & 0xFFFF);
      if (id != plat::IDOK && id != plat::IDCANCEL) return 0;
      AppState.ThreadDialogWindow = plat::Window{};
      plat::EndDialog(window, id);
      return 1;
    }
    default:
      return 0;
  }
}
