// The handheld's system operations on the desktop: idle time, extended power status and memory
// status from the desktop's nearest counterparts; the display's rotation in the handheld's
// numbering; the kernel controls (reboot, processor query) and the clean-reboot flag.
// Windows API only; a port to the handheld replaces this file with the handheld's own calls.
#include <algorithm>
#include <utility>

#include "platform/win32/stand_in.h"
#include "platform/win32/windows_api.h"

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

// Set by SetCleanRebootFlag and kept until a reboot, as the handheld keeps it.
bool cleanRebootPending = false;

}  // namespace

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

// Every reboot request is counted in the device key and refused, so the program goes on as after
// a reboot the platform turned down; the processor query is answered from the simulated registers
// (stand_in_sysinfo.cpp).
bool KernelIoControl(std::uint32_t code, void* /*input*/, std::uint32_t /*inputSize*/, void* output,
                     std::uint32_t outputSize, std::uint32_t* returned) {
  if (returned != nullptr) *returned = 0;
  if (code == IOCTL_PROCESSOR_INFORMATION) {
    return standin::AnswerProcessorQuery(output, outputSize, returned);
  }
  if (code != IOCTL_HAL_REBOOT) {
    ::SetLastError(ERROR_NOT_SUPPORTED);
    return false;
  }
  standin::Increment(standin::Reboots);
  if (cleanRebootPending) standin::Increment(standin::CleanReboots);
  ::SetLastError(ERROR_ACCESS_DENIED);
  return false;
}

void SetCleanRebootFlag() { cleanRebootPending = true; }

}  // namespace plat
