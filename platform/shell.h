// The notification-area icon and the shell's folder helpers.
// Contract only.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace plat {

inline constexpr std::uint32_t NIM_ADD = 0;
inline constexpr std::uint32_t NIM_MODIFY = 1;
inline constexpr std::uint32_t NIM_DELETE = 2;
inline constexpr std::uint32_t NIF_MESSAGE = 1;
inline constexpr std::uint32_t NIF_ICON = 2;
inline constexpr std::uint32_t NIF_TIP = 4;

inline constexpr int CSIDL_STARTUP = 7;
inline constexpr int CSIDL_FONTS = 20;

// Longest path SHGetSpecialFolderPath writes, terminator included (MAX_PATH).
inline constexpr int MaxPathChars = 260;

// The notification icon record as the handheld defines it (152 bytes there); the backend
// translates it for its own shell.
struct NotifyIconData {
  std::uint32_t Size;
  Window Owner;
  std::uint32_t Id;
  std::uint32_t Flags;
  std::uint32_t CallbackMessage;
  Icon IconHandle;
  char16_t Tip[64];
};

// Adds, modifies or deletes the icon that (Owner, Id) names; false when the shell refused.
bool Shell_NotifyIcon(std::uint32_t message, NotifyIconData* data);

// Writes the folder's path (at most MaxPathChars characters with the terminator) into `path`.
// False when the folder is unknown; `path` may then hold the start of a path.
bool SHGetSpecialFolderPath(Window owner, char16_t* path, int folder, bool create);

// Creates the shortcut file `shortcut` that starts `target`; false when it cannot be made.
bool SHCreateShortcut(const char16_t* shortcut, const char16_t* target);

// A file's shell icon: with SHGFI_ICON | SHGFI_SMALLICON, info->IconHandle gets a new small icon
// that the caller destroys with DestroyIcon. Returns 0 on failure (no icon then).
inline constexpr std::uint32_t SHGFI_SMALLICON = 0x1;
inline constexpr std::uint32_t SHGFI_ICON = 0x100;
struct ShellFileInfo {
  Icon IconHandle;
  int IconIndex;
};
std::uintptr_t SHGetFileInfo(const char16_t* path, std::uint32_t attributes, ShellFileInfo* info,
                             std::uint32_t flags);

}  // namespace plat
