// The notification-area icon and the shell's folder helpers over the desktop shell.
// Windows API only. The handheld's icon record is translated into the desktop's own.
#include "platform/win32/windows_api.h"

using win32::ToWindows;
using win32::Wide;

namespace plat {

bool Shell_NotifyIcon(std::uint32_t message, NotifyIconData* data) {
  if (data == nullptr) return false;
  // The program fills the handheld's 152-byte record; the desktop shell wants its own size.
  NOTIFYICONDATAW desktop{};
  desktop.cbSize = sizeof(desktop);
  desktop.hWnd = ToWindows<HWND>(data->Owner);
  desktop.uID = data->Id;
  desktop.uFlags = data->Flags & (NIF_MESSAGE | NIF_ICON | NIF_TIP);
  desktop.uCallbackMessage = data->CallbackMessage;
  desktop.hIcon = ToWindows<HICON>(data->IconHandle);
  if ((desktop.uFlags & NIF_TIP) != 0) {
    constexpr int TipChars = sizeof(data->Tip) / sizeof(data->Tip[0]);
    for (int i = 0; i < TipChars - 1 && data->Tip[i] != u'\0'; ++i) {
      desktop.szTip[i] = static_cast<wchar_t>(data->Tip[i]);
    }
  }
  return ::Shell_NotifyIconW(message, &desktop) != FALSE;
}

bool SHGetSpecialFolderPath(Window owner, char16_t* path, int folder, bool create) {
  static_assert(MaxPathChars == MAX_PATH);
  if (path == nullptr) return false;
  path[0] = u'\0';
  return ::SHGetSpecialFolderPathW(ToWindows<HWND>(owner), Wide(path), folder,
                                   create ? TRUE : FALSE) != FALSE;
}

}  // namespace plat

namespace plat {

std::uintptr_t SHGetFileInfo(const char16_t* path, std::uint32_t attributes, ShellFileInfo* info,
                             std::uint32_t flags) {
  if (path == nullptr || info == nullptr) return 0;
  SHFILEINFOW desktop{};
  const DWORD_PTR result =
      ::SHGetFileInfoW(Wide(path), attributes, &desktop, sizeof(desktop), flags);
  info->IconHandle = win32::ToPlatform<Icon>(desktop.hIcon);
  info->IconIndex = desktop.iIcon;
  return result;
}

}  // namespace plat
