// A file's attributes over the Windows API.
// Windows API only; no program logic.
#include "platform/win32/windows_api.h"

using win32::ToWindows;
using win32::Wide;

namespace plat {

bool GetFileAttributesExW(const char16_t* path, int level, FileAttributeData* data) {
  if (path == nullptr || data == nullptr || level != plat::GetFileExInfoStandard) return false;
  WIN32_FILE_ATTRIBUTE_DATA desktop{};
  if (!::GetFileAttributesExW(Wide(path), ::GetFileExInfoStandard, &desktop)) return false;
  data->Attributes = desktop.dwFileAttributes;
  data->Size = (static_cast<std::uint64_t>(desktop.nFileSizeHigh) << 32) | desktop.nFileSizeLow;
  return true;
}

}  // namespace plat
