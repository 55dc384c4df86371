// Continuing a file search, and a file's attributes, over the Windows API.
// Windows API only; no program logic.
#include <cstring>
#include <iterator>

#include "platform/win32/windows_api.h"

using win32::ToWindows;
using win32::Wide;

namespace plat {

bool FindNextFileW(Handle search, FindData* data) {
  if (search == InvalidHandle || search == Handle{}) return false;
  WIN32_FIND_DATAW found{};
  if (!::FindNextFileW(ToWindows<HANDLE>(search), &found)) return false;
  if (data != nullptr) {
    data->Attributes = found.dwFileAttributes;
    data->Size = (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    static_assert(sizeof(data->FileName) == sizeof(found.cFileName));
    std::memcpy(data->FileName, found.cFileName, sizeof(data->FileName));
    data->FileName[std::size(data->FileName) - 1] = u'\0';
  }
  return true;
}

bool GetFileAttributesExW(const char16_t* path, int level, FileAttributeData* data) {
  if (path == nullptr || data == nullptr || level != plat::GetFileExInfoStandard) return false;
  WIN32_FILE_ATTRIBUTE_DATA desktop{};
  if (!::GetFileAttributesExW(Wide(path), ::GetFileExInfoStandard, &desktop)) return false;
  data->Attributes = desktop.dwFileAttributes;
  data->Size = (static_cast<std::uint64_t>(desktop.nFileSizeHigh) << 32) | desktop.nFileSizeLow;
  return true;
}

}  // namespace plat
