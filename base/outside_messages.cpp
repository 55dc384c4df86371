// Messages from other processes: refusing the pointer-carrying kinds, guarding the dialogs'
// controls, postponing commands to the program's own loop.
#include "base/outside_messages.h"

#include "base/state.h"
#include "platform/menus.h"
#include "platform/windowing.h"

namespace {

plat::LResult GuardedControlProc(plat::Window control, std::uint32_t message, plat::WParam wParam,
                                 plat::LParam lParam) {
  if (RefusedFromOutside(message)) return 0;
  return plat::DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace

// The kind first: most messages are of no refused kind and need no question to the platform.
bool RefusedFromOutside(std::uint32_t message) {
  return plat::UnsafeFromOutside(message, plat::Delivery::Sent) &&
         plat::InSendMessageEx(nullptr) != plat::ISMEX_NOSEND;
}

void GuardControl(plat::Window control) { plat::SetWindowSubclass(control, GuardedControlProc); }

// The menu closes first, or its loop would take the command straight back.
bool CommandPostponed(plat::Window window, plat::WParam wParam, plat::LParam lParam) {
  const bool inMenu = AppState.TrayMenuOpen != 0;
  if (!inMenu && plat::InSendMessageEx(nullptr) == plat::ISMEX_NOSEND) return false;
  if (inMenu) plat::EndMenu();
  plat::PostMessageW(window, plat::WM_COMMAND, wParam, lParam);
  return true;
}
