// Kernel objects, files, display settings and system queries over the Windows API.
// Windows API only. Handheld-only queries come from their desktop counterparts; nothing here
// may change the thread's last error after the call whose error the program asks for.
#include <algorithm>
#include <cstring>
#include <cwchar>
#include <iterator>

#include "platform/win32/windows_api.h"

using win32::ToPlatform;
using win32::ToWindows;
using win32::Wide;

namespace {

std::uint32_t Clamp32(DWORDLONG value) {
  return static_cast<std::uint32_t>(std::min<DWORDLONG>(value, 0xFFFFFFFFu));
}

std::uint64_t FileTimeValue(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Display orientations: the handheld numbers 270 degrees 4, the desktop 3.
bool ToDesktopOrientation(std::uint32_t orientation, DWORD* desktop) {
  switch (orientation) {
    case handheld::Orientation0:
      *desktop = DMDO_DEFAULT;
      return true;
    case handheld::Orientation90:
      *desktop = DMDO_90;
      return true;
    case handheld::Orientation180:
      *desktop = DMDO_180;
      return true;
    case handheld::Orientation270:
      *desktop = DMDO_270;
      return true;
    default:
      return false;
  }
}

std::uint32_t ToHandheldOrientation(DWORD desktop) {
  switch (desktop) {
    case DMDO_90:
      return handheld::Orientation90;
    case DMDO_180:
      return handheld::Orientation180;
    case DMDO_270:
      return handheld::Orientation270;
    default:
      return handheld::Orientation0;
  }
}

// The handheld has one file tree, so its paths start at "\"; on the desktop such a path would
// depend on the current directory's drive, so it is taken on the Windows directory's drive.
bool ResolveHandheldPath(const wchar_t* path, wchar_t (&resolved)[MAX_PATH]) {
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

bool CurrentDisplayMode(const wchar_t* device, DEVMODEW* mode) {
  *mode = DEVMODEW{};
  mode->dmSize = sizeof(DEVMODEW);
  return ::EnumDisplaySettingsW(device, ENUM_CURRENT_SETTINGS, mode) != FALSE;
}

// Turns the display to the handheld orientation asked for; a quarter turn swaps the sides.
LONG SetDisplayOrientation(const wchar_t* device, std::uint32_t orientation) {
  DWORD desktopOrientation = DMDO_DEFAULT;
  if (!ToDesktopOrientation(orientation, &desktopOrientation)) return DISP_CHANGE_BADPARAM;
  DEVMODEW mode;
  if (!CurrentDisplayMode(device, &mode)) return DISP_CHANGE_FAILED;
  if ((mode.dmDisplayOrientation % 2) != (desktopOrientation % 2)) {
    std::swap(mode.dmPelsWidth, mode.dmPelsHeight);
  }
  mode.dmDisplayOrientation = desktopOrientation;
  mode.dmFields = DM_DISPLAYORIENTATION | DM_PELSWIDTH | DM_PELSHEIGHT;
  return ::ChangeDisplaySettingsExW(device, &mode, nullptr, 0, nullptr);
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
  const wchar_t* path = ResolveHandheldPath(Wide(pattern), resolved) ? resolved : Wide(pattern);
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileW(path, &found);
  if (search == INVALID_HANDLE_VALUE) return InvalidHandle;
  if (data != nullptr) {
    data->Attributes = found.dwFileAttributes;
    data->Size = (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    static_assert(sizeof(data->FileName) == sizeof(found.cFileName));
    std::memcpy(data->FileName, found.cFileName, sizeof(data->FileName));
    data->FileName[std::size(data->FileName) - 1] = u'\0';
  }
  return ToPlatform<Handle>(search);
}

bool FindClose(Handle search) {
  if (search == InvalidHandle || search == Handle{}) return false;
  return ::FindClose(ToWindows<HANDLE>(search)) != FALSE;
}

long ChangeDisplaySettingsEx(const char16_t* device, DeviceMode* mode, Window /*window*/,
                             std::uint32_t flags, void* /*parameter*/) {
  if (mode == nullptr) {
    // Without a record, flags 0 returns to the settings stored for the display.
    return flags == 0 ? ::ChangeDisplaySettingsExW(Wide(device), nullptr, nullptr, 0, nullptr)
                      : DISP_CHANGE_BADPARAM;
  }
  if ((mode->Fields & handheld::QueryOrientationField) != 0) {
    // The desktop stand-in offers no rotation: the set of supported orientations is empty.
    mode->DisplayOrientation = 0;
    return DISP_CHANGE_SUCCESSFUL;
  }
  if ((mode->Fields & handheld::DisplayOrientationField) != 0) {
    if ((flags & CDS_TEST) != 0) {
      DEVMODEW current;
      if (!CurrentDisplayMode(Wide(device), &current)) return DISP_CHANGE_FAILED;
      mode->DisplayOrientation = ToHandheldOrientation(current.dmDisplayOrientation);
      return DISP_CHANGE_SUCCESSFUL;
    }
    if (flags == 0) return SetDisplayOrientation(Wide(device), mode->DisplayOrientation);
  }
  return DISP_CHANGE_BADPARAM;
}

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
