// Kernel objects, files and programs over the Windows API.
// Windows API only; nothing here may change the thread's last error after the call whose error
// the program asks for. The handheld's paths and program names are looked up where the handheld
// would find them.
#include <cstring>
#include <cwchar>
#include <iterator>

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

// The handheld has one file tree, so its paths start at "\"; on the desktop such a path would
// depend on the current directory's drive, so it is taken on the Windows directory's drive. Any
// other path, or one too long, comes back as it is.
const wchar_t* DesktopPath(const wchar_t* path, wchar_t (&resolved)[MAX_PATH]) {
  const bool rootRelative = path[0] == L'\\' && path[1] != L'\\';
  if (!rootRelative) return path;
  wchar_t windowsDirectory[MAX_PATH];
  const UINT length = ::GetWindowsDirectoryW(windowsDirectory, MAX_PATH);
  if (length < 2 || length >= MAX_PATH || windowsDirectory[1] != L':') return path;
  const std::size_t pathLength = std::wcslen(path);
  if (pathLength + 2 >= MAX_PATH) return path;
  resolved[0] = windowsDirectory[0];
  resolved[1] = L':';
  std::memcpy(resolved + 2, path, (pathLength + 1) * sizeof(wchar_t));
  return resolved;
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
  wchar_t resolved[MAX_PATH];
  const wchar_t* path = DesktopPath(Wide(pattern), resolved);
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

bool GetFileAttributesExW(const char16_t* path, int level, FileAttributeData* data) {
  if (path == nullptr || data == nullptr || level != plat::GetFileExInfoStandard) return false;
  WIN32_FILE_ATTRIBUTE_DATA desktop{};
  if (!::GetFileAttributesExW(Wide(path), ::GetFileExInfoStandard, &desktop)) return false;
  data->Attributes = desktop.dwFileAttributes;
  data->Size = (static_cast<std::uint64_t>(desktop.nFileSizeHigh) << 32) | desktop.nFileSizeLow;
  return true;
}

bool DeleteFileW(const char16_t* path) {
  if (path == nullptr) return false;
  return ::DeleteFileW(Wide(path)) != FALSE;
}

bool CreateProcessW(const char16_t* application, const char16_t* commandLine) {
  if (application == nullptr || application[0] == u'\0') return false;
  // The handheld finds a bare program name in its Windows folder; the desktop searches the
  // program's folder, the system folders and PATH, which include the Windows folder.
  wchar_t path[MAX_PATH];
  const DWORD found = ::SearchPathW(nullptr, Wide(application), nullptr, MAX_PATH, path, nullptr);
  if (found == 0 || found >= MAX_PATH) return false;
  // The desktop may write into the command line, so it gets a copy of its own.
  wchar_t line[1024] = L"";
  if (commandLine != nullptr) {
    if (static_cast<std::size_t>(::lstrlenW(Wide(commandLine))) >= std::size(line)) return false;
    std::wcscpy(line, Wide(commandLine));
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(path, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    return false;
  }
  // The program keeps no handle of the process it started.
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return true;
}

}  // namespace plat
