// The handheld's system queries on the desktop: idle time, extended power status, memory status
// and the handheld's rooted paths, each from the desktop's nearest counterpart.
// Windows API only; a port to the handheld replaces this file with the handheld's own calls.
#include <algorithm>
#include <cstring>
#include <cwchar>

#include "platform/win32/stand_in.h"
#include "platform/win32/windows_api.h"

static_assert(standin::PathChars == MAX_PATH);

namespace {

using standin::PathChars;

std::uint32_t Clamp32(DWORDLONG value) {
  return static_cast<std::uint32_t>(std::min<DWORDLONG>(value, 0xFFFFFFFFu));
}

std::uint64_t FileTimeValue(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The handheld has one file tree, so its paths start at "\"; on the desktop such a path would
// depend on the current directory's drive, so it is taken on the Windows directory's drive.
bool ResolveHandheldPath(const wchar_t* path, wchar_t (&resolved)[PathChars]) {
  const bool rootRelative = path[0] == L'\\' && path[1] != L'\\';
  if (!rootRelative) return false;
  wchar_t windowsDirectory[MAX_PATH];
  const UINT length = ::GetWindowsDirectoryW(windowsDirectory, MAX_PATH);
  if (length < 2 || length >= MAX_PATH || windowsDirectory[1] != L':') return false;
  const std::size_t pathLength = std::wcslen(path);
  if (pathLength + 2 >= MAX_PATH) return false;
  resolved[0] = windowsDirectory[0];
  resolved[1] = L':';
  std::memcpy(resolved + 2, path, (pathLength + 1) * sizeof(wchar_t));
  return true;
}

}  // namespace

namespace standin {

const wchar_t* DesktopPath(const wchar_t* path, wchar_t (&resolved)[PathChars]) {
  return ResolveHandheldPath(path, resolved) ? resolved : path;
}

}  // namespace standin

namespace plat {

std::uint32_t GetIdleTime() {
  FILETIME idle{};
  FILETIME kernel{};
  FILETIME user{};
  if (!::GetSystemTimes(&idle, &kernel, &user)) return 0xFFFFFFFF;
  // The desktop sums the idle time of every processor; the handheld has one, so report the
  // average, which keeps an idle share of a period at most 100 percent.
  const DWORD processors = std::max<DWORD>(1, ::GetActiveProcessorCount(ALL_PROCESSOR_GROUPS));
  const std::uint64_t idleMs = FileTimeValue(idle) / 10000 / processors;
  return static_cast<std::uint32_t>(idleMs);
}

std::uint32_t GetSystemPowerStatusEx2(PowerStatusEx2* status, std::uint32_t length,
                                      bool /*update*/) {
  // The desktop's readings are always current, so a fresh reading and a cached one agree.
  if (status == nullptr || length < sizeof(PowerStatusEx2)) return 0;
  SYSTEM_POWER_STATUS desktop{};
  if (!::GetSystemPowerStatus(&desktop)) return 0;
  constexpr std::uint8_t Unknown = 255;  // flag, percent and chemistry "unknown"
  constexpr std::uint32_t UnknownLifeTime = 0xFFFFFFFF;
  PowerStatusEx2 handheldStatus{};
  handheldStatus.ACLineStatus = desktop.ACLineStatus;
  handheldStatus.BatteryFlag = desktop.BatteryFlag;
  handheldStatus.BatteryLifePercent = desktop.BatteryLifePercent;
  handheldStatus.BatteryLifeTime = desktop.BatteryLifeTime;
  handheldStatus.BatteryFullLifeTime = desktop.BatteryFullLifeTime;
  handheldStatus.BackupBatteryFlag = Unknown;
  handheldStatus.BackupBatteryLifePercent = Unknown;
  handheldStatus.BackupBatteryLifeTime = UnknownLifeTime;
  handheldStatus.BackupBatteryFullLifeTime = UnknownLifeTime;
  // The desktop does not measure voltage, current or temperature: they read 0.
  handheldStatus.BatteryChemistry = Unknown;
  *status = handheldStatus;
  return sizeof(PowerStatusEx2);
}

void GlobalMemoryStatus(MemoryStatus* status) {
  if (status == nullptr) return;
  MEMORYSTATUSEX desktop{};
  desktop.dwLength = sizeof(desktop);
  MemoryStatus result{};
  result.Length = sizeof(MemoryStatus);
  if (::GlobalMemoryStatusEx(&desktop)) {
    result.MemoryLoad = desktop.dwMemoryLoad;
    result.TotalPhys = Clamp32(desktop.ullTotalPhys);
    result.AvailPhys = Clamp32(desktop.ullAvailPhys);
    result.TotalPageFile = Clamp32(desktop.ullTotalPageFile);
    result.AvailPageFile = Clamp32(desktop.ullAvailPageFile);
    result.TotalVirtual = Clamp32(desktop.ullTotalVirtual);
    result.AvailVirtual = Clamp32(desktop.ullAvailVirtual);
  }
  *status = result;
}

}  // namespace plat
