// Popup menus over the Windows API.
// Windows API only; no program logic.
#include "platform/win32/windows_api.h"

using win32::ToPlatform;
using win32::ToWindows;
using win32::Wide;

namespace plat {

Menu LoadMenuW(Instance module, std::uint16_t id) {
  return ToPlatform<Menu>(::LoadMenuW(ToWindows<HINSTANCE>(module), MAKEINTRESOURCEW(id)));
}

Menu GetSubMenu(Menu menu, int position) {
  return ToPlatform<Menu>(::GetSubMenu(ToWindows<HMENU>(menu), position));
}

bool InsertMenuW(Menu menu, std::uint32_t beforeId, std::uint32_t flags, std::uintptr_t newId,
                 const char16_t* text) {
  return ::InsertMenuW(ToWindows<HMENU>(menu), beforeId, flags, newId, Wide(text)) != FALSE;
}

bool RemoveMenu(Menu menu, std::uint32_t id, std::uint32_t flags) {
  return ::RemoveMenu(ToWindows<HMENU>(menu), id, flags) != FALSE;
}

std::uint32_t CheckMenuItem(Menu menu, std::uint32_t id, std::uint32_t flags) {
  return ::CheckMenuItem(ToWindows<HMENU>(menu), id, flags);
}

bool EnableMenuItem(Menu menu, std::uint32_t id, std::uint32_t flags) {
  return ::EnableMenuItem(ToWindows<HMENU>(menu), id, flags) != -1;
}

bool TrackPopupMenuEx(Menu menu, std::uint32_t flags, int x, int y, Window owner) {
  // A desktop popup closes on a click elsewhere only when its owner is in the foreground,
  // and the message posted afterwards lets the owner's next menu open on the first click.
  const HWND ownerWindow = ToWindows<HWND>(owner);
  ::SetForegroundWindow(ownerWindow);
  const win32::PostedPointerFilter filter;
  const BOOL tracked =
      ::TrackPopupMenuEx(ToWindows<HMENU>(menu), flags, x, y, ownerWindow, nullptr);
  ::PostMessageW(ownerWindow, WM_NULL, 0, 0);
  return tracked != FALSE;
}

bool EndMenu() { return ::EndMenu() != FALSE; }

bool DestroyMenu(Menu menu) { return ::DestroyMenu(ToWindows<HMENU>(menu)) != FALSE; }

}  // namespace plat
