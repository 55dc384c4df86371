// Starting another program and deleting a file over the Windows API.
// Windows API only; no program logic.
#include <cwchar>
#include <iterator>

#include "platform/win32/windows_api.h"

using win32::Wide;

namespace plat {

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
