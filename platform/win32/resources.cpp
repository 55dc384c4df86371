// String-table entries and icons of the program's own module over the Windows API.
// Windows API only; no program logic.
#include "platform/win32/windows_api.h"

using win32::ToPlatform;
using win32::ToWindows;
using win32::Wide;

namespace plat {

int LoadStringW(Instance module, std::uint32_t id, char16_t* buffer, int capacity) {
  // A capacity of 0 would make Windows hand back a pointer into the resource instead.
  if (buffer == nullptr || capacity < 1) return 0;
  const int copied = ::LoadStringW(ToWindows<HINSTANCE>(module), id, Wide(buffer), capacity);
  if (copied <= 0) buffer[0] = u'\0';
  return copied < 0 ? 0 : copied;
}

Icon LoadImageW(Instance module, std::uint16_t id, std::uint32_t type, int width, int height,
                std::uint32_t flags) {
  return ToPlatform<Icon>(
      ::LoadImageW(ToWindows<HINSTANCE>(module), MAKEINTRESOURCEW(id), type, width, height, flags));
}

}  // namespace plat
