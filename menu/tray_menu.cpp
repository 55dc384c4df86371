// The tray popup menu: loaded from the template at every opening, tracked at the bottom-right
// corner of the screen above the task bar, and destroyed when it closes.
#include "menu/tray_menu.h"

#include "base/ids.h"
#include "base/state.h"
#include "platform/menus.h"
#include "platform/windowing.h"

void ShowTrayMenu(plat::Window owner) {
  plat::Menu menu = plat::LoadMenuW(AppState.Instance, IDR_TRAY_MENU);
  plat::Menu popup = plat::GetSubMenu(menu, 0);
  int x = plat::GetSystemMetrics(plat::SM_CXSCREEN);
  int y = plat::GetSystemMetrics(plat::SM_CYSCREEN) - 24 * AppState.IconScale;
  plat::TrackPopupMenuEx(popup, plat::TPM_RIGHTALIGN | plat::TPM_BOTTOMALIGN, x, y, owner);
  plat::DestroyMenu(menu);
}
