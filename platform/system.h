// Kernel objects, files, display settings and system queries.
// Contract only.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/types.h"

namespace plat {

inline constexpr std::uint32_t ERROR_ALREADY_EXISTS = 183;

inline constexpr std::uint32_t CDS_TEST = 0x2;
inline constexpr std::uint32_t DM_DISPLAYORIENTATION = 0x00800000;
inline constexpr std::uint32_t DM_DISPLAYQUERYORIENTATION = 0x01000000;
inline constexpr std::uint32_t DMDO_0 = 0;
inline constexpr std::uint32_t DMDO_90 = 1;
inline constexpr std::uint32_t DMDO_180 = 2;
inline constexpr std::uint32_t DMDO_270 = 4;

// Creates or opens a named mutex; GetLastError tells ERROR_ALREADY_EXISTS when it existed.
Handle CreateMutexW(void* security, bool initialOwner, const char16_t* name);
std::uint32_t GetLastError();
bool CloseHandle(Handle handle);

struct FindData {
  std::uint32_t Attributes;
  std::uint64_t Size;
  char16_t FileName[260];
};
// Starts a file search; InvalidHandle when nothing matches.
Handle FindFirstFileW(const char16_t* pattern, FindData* data);
bool FindClose(Handle search);
// The next match of a search; false when there is none left.
bool FindNextFileW(Handle search, FindData* data);

// A file's attributes and size (the standard information level, 0).
inline constexpr int GetFileExInfoStandard = 0;
struct FileAttributeData {
  std::uint32_t Attributes;
  std::uint64_t Size;
};
bool GetFileAttributesExW(const char16_t* path, int level, FileAttributeData* data);

// The display settings record; the program uses only these fields.
struct DeviceMode {
  std::uint16_t Size;  // dmSize: 192 on the handheld
  std::uint32_t Fields;
  std::uint32_t DisplayOrientation;
};
// With CDS_TEST and DM_DISPLAYQUERYORIENTATION the platform writes the set of orientations it
// supports into DisplayOrientation; with DM_DISPLAYORIENTATION, the current one.
long ChangeDisplaySettingsEx(const char16_t* device, DeviceMode* mode, Window window,
                             std::uint32_t flags, void* parameter);

// Milliseconds the system has been idle since boot; 0xFFFFFFFF where it keeps no count.
std::uint32_t GetIdleTime();

// The handheld's 56-byte extended power status, at its own offsets.
struct PowerStatusEx2 {
  std::uint8_t ACLineStatus;
  std::uint8_t BatteryFlag;
  std::uint8_t BatteryLifePercent;
  std::uint8_t Reserved1;
  std::uint32_t BatteryLifeTime;
  std::uint32_t BatteryFullLifeTime;
  std::uint8_t Reserved2;
  std::uint8_t BackupBatteryFlag;
  std::uint8_t BackupBatteryLifePercent;
  std::uint8_t Reserved3;
  std::uint32_t BackupBatteryLifeTime;
  std::uint32_t BackupBatteryFullLifeTime;
  std::uint32_t BatteryVoltage;  // mV
  std::int32_t BatteryCurrent;   // mA, negative while discharging
  std::uint32_t BatteryAverageCurrent;
  std::uint32_t BatteryAverageInterval;
  std::uint32_t BatterymAHourConsumed;
  std::uint32_t BatteryTemperature;  // tenths of a degree Celsius
  std::uint32_t BackupBatteryVoltage;
  std::uint8_t BatteryChemistry;
  std::uint8_t Padding[3];
};
static_assert(sizeof(PowerStatusEx2) == 56, "the record is 56 bytes");
static_assert(offsetof(PowerStatusEx2, BackupBatteryFlag) == 13);
static_assert(offsetof(PowerStatusEx2, BatteryVoltage) == 24);
static_assert(offsetof(PowerStatusEx2, BatteryCurrent) == 28);
static_assert(offsetof(PowerStatusEx2, BatteryTemperature) == 44);
static_assert(offsetof(PowerStatusEx2, BackupBatteryVoltage) == 48);
static_assert(offsetof(PowerStatusEx2, BatteryChemistry) == 52);

// Fills `status` (`length` bytes); `update` asks for fresh readings. Returns the bytes
// written, 0 on failure.
std::uint32_t GetSystemPowerStatusEx2(PowerStatusEx2* status, std::uint32_t length, bool update);

// The memory status record (32 bytes on the handheld).
struct MemoryStatus {
  std::uint32_t Length;
  std::uint32_t MemoryLoad;
  std::uint32_t TotalPhys;
  std::uint32_t AvailPhys;
  std::uint32_t TotalPageFile;
  std::uint32_t AvailPageFile;
  std::uint32_t TotalVirtual;
  std::uint32_t AvailVirtual;
};
void GlobalMemoryStatus(MemoryStatus* status);

// ---- Files, programs and the device's reboot ----------------------------------------------

// Deletes the file at `path`; false when there is none or it cannot be deleted.
bool DeleteFileW(const char16_t* path);

// Starts the program `application` (a bare name is looked up as the handheld does, in the
// Windows folder) with `commandLine` as its whole command line: no security attributes, no
// inherited handles, no environment or directory of its own, no start-up or process
// information kept. False when it cannot be started.
bool CreateProcessW(const char16_t* application, const char16_t* commandLine);

// The hardware abstraction layer's controls: the reboot (here) and the processor information
// (sysinfo.h). False when the platform refuses or does not serve the code (the caller then
// simply goes on). `returned`, when not null, receives the size of what was written to `output`.
inline constexpr std::uint32_t IOCTL_HAL_REBOOT = 0x0101003C;
bool KernelIoControl(std::uint32_t code, void* input, std::uint32_t inputSize, void* output,
                     std::uint32_t outputSize, std::uint32_t* returned);

// Marks the next reboot as a clean boot: the device's stored data is wiped then.
void SetCleanRebootFlag();

}  // namespace plat
