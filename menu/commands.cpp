// Menu command dispatch. The command table is not in place yet: every command gets the
// platform's default processing.
#include "menu/commands.h"

#include "platform/windowing.h"

plat::LResult HandleMenuCommand(plat::Window window, plat::WParam wParam, plat::LParam lParam) {
  return plat::DefWindowProcW(window, plat::WM_COMMAND, wParam, lParam);
}
