// Kernel objects and files over the Windows API.
// Windows API only; nothing here may change the thread's last error after the call whose error
// the program asks for. Handheld paths reach the desktop through the stand-in.
#include <cstring>
#include <iterator>

#include "platform/win32/stand_in.h"
#include "platform/win32/windows_api.h"

using win32::ToPlatform;
using win32::ToWindows;
using win32::Wide;

namespace {

void CopyFound(const WIN32_FIND_DATAW& found, plat::FindData* data) {
  if (data == nullptr) return;
  data->Attributes = found.dwFileAttributes;
  data->Size = (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  static_assert(sizeof(data->FileName) == sizeof(found.cFileName));
  std::memcpy(data->FileName, found.cFileName, sizeof(data->FileName));
  data->FileName[std::size(data->FileName) - 1] = u'\0';
}

}  // namespace

namespace plat {

Handle CreateMutexW(void* security, bool initialOwner, const char16_t* name) {
  const HANDLE mutex = ::CreateMutexW(static_cast<SECURITY_ATTRIBUTES*>(security),
                                      initialOwner ? TRUE : FALSE, Wide(name));
  return mutex == nullptr ? InvalidHandle : ToPlatform<Handle>(mutex);
}

std::uint32_t GetLastError() { return ::GetLastError(); }

bool CloseHandle(Handle handle) {
  // The invalid value is also the desktop's pseudo handle of the current process.
  if (handle == InvalidHandle || handle == Handle{}) return false;
  return ::CloseHandle(ToWindows<HANDLE>(handle)) != FALSE;
}

Handle FindFirstFileW(const char16_t* pattern, FindData* data) {
  if (pattern == nullptr) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return InvalidHandle;
  }
  wchar_t resolved[standin::PathChars];
  const wchar_t* path = standin::DesktopPath(Wide(pattern), resolved);
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileW(path, &found);
  if (search == INVALID_HANDLE_VALUE) return InvalidHandle;
  CopyFound(found, data);
  return ToPlatform<Handle>(search);
}

bool FindNextFileW(Handle search, FindData* data) {
  if (search == InvalidHandle || search == Handle{}) return false;
  WIN32_FIND_DATAW found{};
  if (!::FindNextFileW(ToWindows<HANDLE>(search), &found)) return false;
  CopyFound(found, data);
  return true;
}

bool FindClose(Handle search) {
  if (search == InvalidHandle || search == Handle{}) return false;
  return ::FindClose(ToWindows<HANDLE>(search)) != FALSE;
}

}  // namespace plat
