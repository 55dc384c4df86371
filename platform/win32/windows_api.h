// The one include of every Windows backend file: the platform contract, then the Windows API.
// Order matters: the platform headers first, since <windows.h> turns names such as WM_CREATE or
// HKEY_LOCAL_MACHINE into macros; after this header, use the Windows macros unqualified.
#pragma once

#include <cstdint>

#include "platform/dialogs.h"
#include "platform/graphics.h"
#include "platform/hardware.h"
#include "platform/memory.h"
#include "platform/menus.h"
#include "platform/notification.h"
#include "platform/registry.h"
#include "platform/resources.h"
#include "platform/shell.h"
#include "platform/sysinfo.h"
#include "platform/system.h"
#include "platform/toolhelp.h"
#include "platform/types.h"
#include "platform/windowing.h"

// The handheld's values of names that <windows.h> defines differently for the desktop; taken
// here, before the desktop's macros hide the platform's names.
namespace handheld {
inline constexpr std::uint32_t DisplayOrientationField = plat::DM_DISPLAYORIENTATION;
inline constexpr std::uint32_t QueryOrientationField = plat::DM_DISPLAYQUERYORIENTATION;
inline constexpr std::uint32_t Orientation0 = plat::DMDO_0;
inline constexpr std::uint32_t Orientation90 = plat::DMDO_90;
inline constexpr std::uint32_t Orientation180 = plat::DMDO_180;
inline constexpr std::uint32_t Orientation270 = plat::DMDO_270;
}  // namespace handheld

// clang-format off
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <commctrl.h>
// clang-format on

// Windows names these as A/W macros; the platform has functions of the same names.
#undef Shell_NotifyIcon
#undef SHGetSpecialFolderPath
#undef ChangeDisplaySettingsEx
#undef SHGetFileInfo

namespace win32 {

// Handles travel as opaque integers in the platform types; these convert them back and forth.
template <typename WindowsHandle, typename PlatformHandle>
WindowsHandle ToWindows(PlatformHandle handle) {
  return reinterpret_cast<WindowsHandle>(static_cast<std::uintptr_t>(handle));
}

template <typename PlatformHandle, typename WindowsHandle>
PlatformHandle ToPlatform(WindowsHandle handle) {
  return PlatformHandle(reinterpret_cast<std::uintptr_t>(handle));
}

// UTF-16 text: char16_t and wchar_t are both 16 bits on Windows.
static_assert(sizeof(wchar_t) == sizeof(char16_t));
inline const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
inline wchar_t* Wide(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }

// While it lives, the loops of the system's own modal elements on this thread (a menu, a
// message box) drop a posted message of a pointer-carrying kind before any window is given it,
// as the program's own loops do (plat::UnsafeFromOutside).
class PostedPointerFilter {
 public:
  PostedPointerFilter();
  ~PostedPointerFilter();
  PostedPointerFilter(const PostedPointerFilter&) = delete;
  PostedPointerFilter& operator=(const PostedPointerFilter&) = delete;

 private:
  HHOOK hook_;
};

}  // namespace win32
