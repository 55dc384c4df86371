// The system information dialog.
#include "info/info_dialog.h"

#include "base/state.h"
#include "platform/dialogs.h"
#include "platform/windowing.h"

std::intptr_t InfoDialogProc(plat::Window window, std::uint32_t message, plat::WParam wParam,
                             plat::LParam /*lParam*/) {
  switch (message) {
    case plat::WM_INITDIALOG:
      // The menu's dispatch finds an open dialog by this handle and brings it forward.
      AppState.InfoDialogWindow = window;
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
