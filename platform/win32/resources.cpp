// String-table entries, icons and dialog templates of the program's own module over the Windows
// API. Windows API only; no program logic.
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

ResourceInfo FindResourceW(Instance module, std::uint16_t id, std::uint32_t type) {
  return ToPlatform<ResourceInfo>(
      ::FindResourceW(ToWindows<HINSTANCE>(module), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type)));
}

const void* LoadResource(Instance module, ResourceInfo resource) {
  if (resource == ResourceInfo{}) return nullptr;
  // A loaded resource of a module lives as long as the module; locking only yields its address.
  HGLOBAL loaded = ::LoadResource(ToWindows<HINSTANCE>(module), ToWindows<HRSRC>(resource));
  return loaded == nullptr ? nullptr : ::LockResource(loaded);
}

}  // namespace plat
