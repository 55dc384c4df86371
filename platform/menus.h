// Popup menus of the user-interface library: loaded from a template, edited, tracked, destroyed.
// Contract only: the core calls these from its one user-interface thread.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace plat {

// Menus.
inline constexpr std::uint32_t MF_BYCOMMAND = 0x0000;
inline constexpr std::uint32_t MF_STRING = 0x0000;
inline constexpr std::uint32_t MF_GRAYED = 0x0001;
inline constexpr std::uint32_t MF_CHECKED = 0x0008;
inline constexpr std::uint32_t MF_SEPARATOR = 0x0800;
inline constexpr std::uint32_t TPM_RIGHTALIGN = 0x0008;
inline constexpr std::uint32_t TPM_BOTTOMALIGN = 0x0020;

// Menus: a loaded template and its submenus are edited by command identifier in whichever
// submenu holds the item, then tracked and destroyed.
Menu LoadMenuW(Instance module, std::uint16_t id);
Menu GetSubMenu(Menu menu, int position);
bool InsertMenuW(Menu menu, std::uint32_t beforeId, std::uint32_t flags, std::uintptr_t newId,
                 const char16_t* text);
bool RemoveMenu(Menu menu, std::uint32_t id, std::uint32_t flags);
std::uint32_t CheckMenuItem(Menu menu, std::uint32_t id, std::uint32_t flags);
bool EnableMenuItem(Menu menu, std::uint32_t id, std::uint32_t flags);
// Shows the popup until it closes; the chosen command reaches `owner` as WM_COMMAND.
bool TrackPopupMenuEx(Menu menu, std::uint32_t flags, int x, int y, Window owner);
// Closes the menu being tracked, if any, without a command: TrackPopupMenuEx returns once the
// message being handled is done. The menu's own loop does not close for a quit message.
bool EndMenu();
bool DestroyMenu(Menu menu);

}  // namespace plat
