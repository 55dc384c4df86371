// The thread list dialog: five columns sized to their headers, filled from a thread snapshot.
#include "procview/thread_dialog.h"

#include "base/ids.h"
#include "base/outside_messages.h"
#include "base/state.h"
#include "platform/dialogs.h"
#include "platform/windowing.h"
#include "procview/thread_list.h"

namespace {

// The spaces in the headers widen their columns, which are sized to fit the header.
constexpr const char16_t* ThreadColumns[] = {
    u"№", u" приоритет   ", u"активность", u"режим ядра", u" время  создания      ",
};

}  // namespace

std::intptr_t ThreadDialogProc(plat::Window window, std::uint32_t message, plat::WParam wParam,
                               plat::LParam lParam) {
  // Taken as handled: the dialog manager's own handling would follow the pointer.
  if (RefusedFromOutside(message)) return plat::DialogHandled;
  // An ended dialog may still be sent messages until its loop returns: they do nothing.
  if (message != plat::WM_INITDIALOG && window != AppState.ThreadDialogWindow)
    return plat::DialogNotHandled;
  const plat::Window list = plat::GetDlgItem(window, IDC_LIST);
  switch (message) {
    case plat::WM_INITDIALOG: {
      // The menu's dispatch and the process list find the open dialog by this handle.
      AppState.ThreadDialogWindow = window;
      GuardControl(list);
      int column = 0;
      for (const char16_t* header : ThreadColumns) {
        plat::ListViewInsertColumn(list, column++, plat::LVCFMT_LEFT, header);
      }
      for (int i = 0; i < column; ++i) {
        plat::ListViewSetColumnWidth(list, i, plat::LVSCW_AUTOSIZE_USEHEADER);
      }
      plat::ListViewSetExtendedStyle(list, plat::LVS_EX_FULLROWSELECT);
      FillThreadList(list);
      return plat::DialogHandled;
    }
    case plat::WM_COMMAND: {
      if (CommandPostponed(window, wParam, lParam)) return plat::DialogHandled;
      const int id = static_cast<int>(wParam & 0xFFFF);
      if (id != plat::IDOK && id != plat::IDCANCEL) return plat::DialogNotHandled;
      AppState.ThreadDialogWindow = plat::Window{};
      plat::EndDialog(window, id);
      return plat::DialogHandled;
    }
    default:
      return plat::DialogNotHandled;
  }
}
