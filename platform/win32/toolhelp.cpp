// Processes and threads over the Windows API: toolhelp snapshots, termination, a process's
// executable path, thread times and their calendar conversions.
// Windows API only; no program logic.
#include <cwchar>

#include "platform/win32/windows_api.h"
// clang-format off
#include <tlhelp32.h>
// clang-format on

#undef Process32First
#undef Process32Next

using win32::ToPlatform;
using win32::ToWindows;
using win32::Wide;

namespace {

HANDLE Snapshot(plat::Handle snapshot) { return ToWindows<HANDLE>(snapshot); }

void CopyProcess(const PROCESSENTRY32W& desktop, plat::ProcessEntry* entry) {
  entry->ProcessId = desktop.th32ProcessID;
  entry->Threads = desktop.cntThreads;
  static_assert(sizeof(entry->ExeFile) == sizeof(desktop.szExeFile));
  std::wmemcpy(Wide(entry->ExeFile), desktop.szExeFile, MAX_PATH);
  entry->ExeFile[MAX_PATH - 1] = u'\0';
}

// The desktop's base priorities (1..31, 8 normal) on the handheld's eight levels (0 time-critical,
// 3 normal, 7 idle).
std::int32_t HandheldPriority(LONG desktop) {
  if (desktop >= 15) return 0;
  if (desktop >= 10) return 1;
  if (desktop == 9) return 2;
  if (desktop == 8) return 3;
  if (desktop == 7) return 4;
  if (desktop == 6) return 5;
  return desktop >= 2 ? 6 : 7;
}

void CopyThread(const THREADENTRY32& desktop, plat::ThreadEntry* entry) {
  entry->ThreadId = desktop.th32ThreadID;
  entry->OwnerProcessId = desktop.th32OwnerProcessID;
  entry->BasePriority = HandheldPriority(desktop.tpBasePri);
}

plat::FileTime ToPlatformTime(const FILETIME& time) {
  return {time.dwLowDateTime, time.dwHighDateTime};
}
FILETIME ToDesktopTime(const plat::FileTime& time) { return {time.LowDateTime, time.HighDateTime}; }

}  // namespace

namespace plat {

Handle CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId) {
  const HANDLE snapshot = ::CreateToolhelp32Snapshot(flags, processId);
  return snapshot == INVALID_HANDLE_VALUE ? InvalidHandle : ToPlatform<Handle>(snapshot);
}

bool Process32First(Handle snapshot, ProcessEntry* entry) {
  if (entry == nullptr) return false;
  PROCESSENTRY32W desktop{};
  desktop.dwSize = sizeof(desktop);
  if (!::Process32FirstW(Snapshot(snapshot), &desktop)) return false;
  CopyProcess(desktop, entry);
  return true;
}

bool Process32Next(Handle snapshot, ProcessEntry* entry) {
  if (entry == nullptr) return false;
  PROCESSENTRY32W desktop{};
  desktop.dwSize = sizeof(desktop);
  if (!::Process32NextW(Snapshot(snapshot), &desktop)) return false;
  CopyProcess(desktop, entry);
  return true;
}

bool Thread32First(Handle snapshot, ThreadEntry* entry) {
  if (entry == nullptr) return false;
  THREADENTRY32 desktop{};
  desktop.dwSize = sizeof(desktop);
  if (!::Thread32First(Snapshot(snapshot), &desktop)) return false;
  CopyThread(desktop, entry);
  return true;
}

bool Thread32Next(Handle snapshot, ThreadEntry* entry) {
  if (entry == nullptr) return false;
  THREADENTRY32 desktop{};
  desktop.dwSize = sizeof(desktop);
  if (!::Thread32Next(Snapshot(snapshot), &desktop)) return false;
  CopyThread(desktop, entry);
  return true;
}

bool CloseToolhelp32Snapshot(Handle snapshot) {
  if (snapshot == InvalidHandle || snapshot == Handle{}) return false;
  return ::CloseHandle(Snapshot(snapshot)) != FALSE;
}

std::uint32_t GetCurrentProcessId() { return ::GetCurrentProcessId(); }

Handle OpenProcess(std::uint32_t /*access*/, bool inherit, std::uint32_t processId) {
  // The handheld grants every right; the desktop gives only those asked for, and the program
  // opens a process only to terminate it.
  return ToPlatform<Handle>(::OpenProcess(PROCESS_TERMINATE, inherit ? TRUE : FALSE, processId));
}

bool TerminateProcess(Handle process, std::uint32_t exitCode) {
  return ::TerminateProcess(ToWindows<HANDLE>(process), exitCode) != FALSE;
}

// The desktop gives access by the process's token: there is nothing to ask for.
std::uint32_t SetProcPermissions(std::uint32_t /*mask*/) { return 0xFFFFFFFFu; }

std::uint32_t GetModuleFileNameW(std::uint32_t processId, char16_t* buffer,
                                 std::uint32_t capacity) {
  if (buffer == nullptr || capacity == 0) return 0;
  buffer[0] = u'\0';
  const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (process == nullptr) return 0;
  wchar_t path[1024];
  DWORD length = static_cast<DWORD>(sizeof(path) / sizeof(path[0]));
  const BOOL found = ::QueryFullProcessImageNameW(process, 0, path, &length);
  ::CloseHandle(process);
  if (!found) return 0;
  // Cut to the caller's buffer, as the handheld does.
  if (length > capacity - 1) length = capacity - 1;
  std::wmemcpy(Wide(buffer), path, length);
  buffer[length] = u'\0';
  return length;
}

bool GetThreadTimes(std::uint32_t threadId, FileTime* creation, FileTime* exit, FileTime* kernel,
                    FileTime* user) {
  const HANDLE thread = ::OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, threadId);
  if (thread == nullptr) return false;
  FILETIME c{}, e{}, k{}, u{};
  const BOOL read = ::GetThreadTimes(thread, &c, &e, &k, &u);
  ::CloseHandle(thread);
  if (!read) return false;
  if (creation) *creation = ToPlatformTime(c);
  if (exit) *exit = ToPlatformTime(e);
  if (kernel) *kernel = ToPlatformTime(k);
  if (user) *user = ToPlatformTime(u);
  return true;
}

bool FileTimeToSystemTime(const FileTime* time, SystemTime* calendar) {
  if (time == nullptr || calendar == nullptr) return false;
  const FILETIME desktop = ToDesktopTime(*time);
  SYSTEMTIME result{};
  if (!::FileTimeToSystemTime(&desktop, &result)) return false;
  *calendar = {result.wYear, result.wMonth,  result.wDayOfWeek, result.wDay,
               result.wHour, result.wMinute, result.wSecond,    result.wMilliseconds};
  return true;
}

bool FileTimeToLocalFileTime(const FileTime* utc, FileTime* local) {
  if (utc == nullptr || local == nullptr) return false;
  const FILETIME desktop = ToDesktopTime(*utc);
  FILETIME result{};
  if (!::FileTimeToLocalFileTime(&desktop, &result)) return false;
  *local = ToPlatformTime(result);
  return true;
}

}  // namespace plat
