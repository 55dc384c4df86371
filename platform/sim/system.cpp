// Kernel objects, the file set, display settings, programs, reboots and system queries of the
// simulated handheld. Files are names only (paths without regard to case); folders exist
// implicitly above them.
#include "platform/system.h"

#include <algorithm>

#include "platform/sim/device.h"
#include "platform/sysinfo.h"

namespace {

using sim::Device;

inline constexpr std::uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr std::uint32_t FILE_ATTRIBUTE_ARCHIVE = 0x20;
inline constexpr std::uint32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr std::uint32_t ERROR_INVALID_HANDLE = 6;
inline constexpr std::uint32_t ERROR_NO_MORE_FILES = 18;

bool Contains(const std::vector<std::u16string>& names, std::u16string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// `*` any run, `?` one character; without regard to case, as the file system compares names.
bool GlobMatch(std::u16string_view pattern, std::u16string_view name) {
  std::size_t p = 0, n = 0, starP = std::u16string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() &&
        (pattern[p] == u'?' || sim::EqualNoCase(pattern.substr(p, 1), name.substr(n, 1)))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      starP = p++;
      starN = n;
    } else if (starP != std::u16string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

// The folder and the name of a path.
std::pair<std::u16string_view, std::u16string_view> SplitLast(std::u16string_view path) {
  const std::size_t slash = path.rfind(u'\\');
  if (slash == std::u16string_view::npos) return {u"", path};
  return {path.substr(0, slash), path.substr(slash + 1)};
}

plat::FindData MakeEntry(std::u16string_view name, std::uint32_t attributes) {
  plat::FindData data{};
  data.Attributes = attributes;
  sim::CopyBounded(name, data.FileName, 260);
  return data;
}

bool StartsWithFolder(std::u16string_view path, std::u16string_view folder) {
  return path.size() > folder.size() + 1 && path[folder.size()] == u'\\' &&
         sim::EqualNoCase(path.substr(0, folder.size()), folder);
}

std::vector<plat::FindData> Search(std::u16string_view pattern) {
  std::vector<plat::FindData> found;
  const auto [folder, namePattern] = SplitLast(pattern);
  const bool wildcard = namePattern.find_first_of(u"*?") != std::u16string_view::npos;
  std::vector<std::u16string_view> subfolders;
  for (const sim::File& file : Device().Files) {
    const std::u16string_view path = file.Path;
    if (!wildcard) {
      if (sim::EqualNoCase(path, pattern)) {
        found.push_back(MakeEntry(SplitLast(path).second, FILE_ATTRIBUTE_ARCHIVE));
      } else if (!pattern.empty() && StartsWithFolder(path, pattern) && subfolders.empty()) {
        subfolders.push_back(namePattern);  // a folder that holds files
        found.push_back(MakeEntry(namePattern, FILE_ATTRIBUTE_DIRECTORY));
      }
      continue;
    }
    if (!StartsWithFolder(path, folder)) continue;
    const std::u16string_view rest = path.substr(folder.size() + 1);
    const std::size_t slash = rest.find(u'\\');
    const bool isFolder = slash != std::u16string_view::npos;
    const std::u16string_view entry = isFolder ? rest.substr(0, slash) : rest;
    // As on Windows, a trailing ".*" also matches names without a dot ("*.*" matches all).
    const bool matches =
        GlobMatch(namePattern, entry) ||
        (namePattern.size() >= 2 && namePattern.substr(namePattern.size() - 2) == u".*" &&
         GlobMatch(namePattern.substr(0, namePattern.size() - 2), entry));
    if (!matches) continue;
    if (isFolder) {
      if (std::any_of(subfolders.begin(), subfolders.end(),
                      [&](std::u16string_view s) { return sim::EqualNoCase(s, entry); })) {
        continue;
      }
      subfolders.push_back(entry);
    }
    found.push_back(MakeEntry(entry, isFolder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE));
  }
  return found;
}

sim::KernelObject* FindSearch(plat::Handle search) {
  auto& handles = Device().System.Handles;
  auto found = handles.find(static_cast<std::uintptr_t>(search));
  return found == handles.end() || !found->second.Searching ? nullptr : &found->second;
}

}  // namespace

namespace plat {

Handle CreateMutexW(void*, bool, const char16_t* name) {
  SIM_CALL();
  sim::SystemValues& system = Device().System;
  const std::uintptr_t handle = system.NextHandle++;
  system.Handles[handle] = {sim::FromZ(name), false, {}, 0};
  system.LastError = 0;
  if (name != nullptr) {
    if (Contains(system.MutexesElsewhere, name) || Contains(system.MutexesCreated, name)) {
      system.LastError = ERROR_ALREADY_EXISTS;
    }
    if (!Contains(system.MutexesCreated, name)) system.MutexesCreated.emplace_back(name);
  }
  return Handle(handle);
}

std::uint32_t GetLastError() {
  SIM_CALL();
  return Device().System.LastError;
}

// Closes a mutex, a notification database or a process handle; searches close with FindClose.
bool CloseHandle(Handle handle) {
  SIM_CALL();
  sim::Handheld& device = Device();
  const auto value = static_cast<std::uintptr_t>(handle);
  if (device.Notifications.Open.erase(value) != 0) return true;
  auto object = device.System.Handles.find(value);
  if (object != device.System.Handles.end() && !object->second.Searching) {
    device.System.Handles.erase(object);
    return true;
  }
  if (device.Processes.Handles.erase(value) != 0) return true;
  device.System.LastError = ERROR_INVALID_HANDLE;
  return false;
}

Handle FindFirstFileW(const char16_t* pattern, FindData* data) {
  SIM_CALL();
  sim::SystemValues& system = Device().System;
  std::vector<FindData> matches;
  if (pattern != nullptr) matches = Search(pattern);
  if (matches.empty() || data == nullptr) {
    system.LastError = ERROR_FILE_NOT_FOUND;
    return InvalidHandle;
  }
  *data = matches.front();
  const std::uintptr_t handle = system.NextHandle++;
  system.Handles[handle] = {u"", true, std::move(matches), 1};
  return Handle(handle);
}

bool FindClose(Handle search) {
  SIM_CALL();
  if (FindSearch(search) == nullptr) {
    Device().System.LastError = ERROR_INVALID_HANDLE;
    return false;
  }
  Device().System.Handles.erase(static_cast<std::uintptr_t>(search));
  return true;
}

bool FindNextFileW(Handle search, FindData* data) {
  SIM_CALL();
  sim::KernelObject* found = FindSearch(search);
  if (found == nullptr || data == nullptr) {
    Device().System.LastError = ERROR_INVALID_HANDLE;
    return false;
  }
  if (found->Next >= found->Matches.size()) {
    Device().System.LastError = ERROR_NO_MORE_FILES;
    return false;
  }
  *data = found->Matches[found->Next++];
  return true;
}

bool GetFileAttributesExW(const char16_t* path, int level, FileAttributeData* data) {
  SIM_CALL();
  if (path == nullptr || data == nullptr || level != GetFileExInfoStandard) return false;
  const sim::File* file = sim::FindFile(sim::FromZ(path));
  if (file == nullptr) return false;
  *data = {FILE_ATTRIBUTE_ARCHIVE, file->Size};
  return true;
}

long ChangeDisplaySettingsEx(const char16_t*, DeviceMode* mode, Window, std::uint32_t flags,
                             void*) {
  SIM_CALL();
  if (mode == nullptr) return 0;
  sim::SystemValues& system = Device().System;
  if (flags & CDS_TEST) {
    if (mode->Fields & DM_DISPLAYQUERYORIENTATION) {
      mode->DisplayOrientation = system.SupportedOrientations;
    } else if (mode->Fields & DM_DISPLAYORIENTATION) {
      mode->DisplayOrientation = system.Orientation;
    }
  } else if (flags == 0 && (mode->Fields & DM_DISPLAYORIENTATION)) {
    system.Orientation = mode->DisplayOrientation;
  }
  return 0;
}

std::uint32_t GetIdleTime() {
  SIM_CALL();
  auto& readings = Device().System.IdleReadings;
  const std::uint32_t value = readings.front();
  if (readings.size() > 1) readings.pop_front();
  return value;
}

std::uint32_t GetSystemPowerStatusEx2(PowerStatusEx2* status, std::uint32_t length, bool update) {
  SIM_CALL();
  Device().Log.PowerUpdates.push_back(update);
  const sim::SystemValues& system = Device().System;
  if (!system.PowerAvailable || status == nullptr || length < sizeof(PowerStatusEx2)) return 0;
  *status = system.Power;
  return sizeof(PowerStatusEx2);
}

void GlobalMemoryStatus(MemoryStatus* status) {
  SIM_CALL();
  if (status == nullptr) return;
  const std::uint32_t length = status->Length;
  *status = Device().System.Memory;
  status->Length = length;
}

bool DeleteFileW(const char16_t* path) {
  SIM_CALL();
  sim::File* file = path != nullptr ? sim::FindFile(path) : nullptr;
  if (Device().Faults.FileDeletionFails || file == nullptr) {
    Device().System.LastError = ERROR_FILE_NOT_FOUND;
    return false;
  }
  Device().Files.erase(Device().Files.begin() + (file - Device().Files.data()));
  return true;
}

bool CreateProcessW(const char16_t* application, const char16_t* commandLine) {
  SIM_CALL();
  const std::u16string name = sim::FromZ(application);
  if (name.empty() ||
      (sim::FindFile(name) == nullptr && sim::FindFile(u"\\Windows\\" + name) == nullptr)) {
    Device().System.LastError = ERROR_FILE_NOT_FOUND;
    return false;
  }
  Device().Log.Started.push_back({name, sim::FromZ(commandLine)});
  return true;
}

bool KernelIoControl(std::uint32_t code, void*, std::uint32_t, void* output,
                     std::uint32_t outputSize, std::uint32_t* returned) {
  SIM_CALL();
  const sim::SystemValues& system = Device().System;
  if (code == IOCTL_PROCESSOR_INFORMATION) {
    if (!system.ProcessorQueryWorks || output == nullptr || outputSize < sizeof(ProcessorInfo)) {
      return false;
    }
    auto* info = static_cast<ProcessorInfo*>(output);
    // The device's texts fill their fields, with no terminator when they are that long.
    (system.Vendor + u'\0').copy(info->Vendor, 100);
    (system.ProcessorName + u'\0').copy(info->ProcessorName, 40);
    if (returned) *returned = sizeof(ProcessorInfo);
    return true;
  }
  if (code == IOCTL_HAL_REBOOT) {
    Device().Log.Reboots.push_back({system.CleanRebootFlag, Device().Notifications.Wakeups()});
  }
  return false;  // a reboot is refused: the simulated device keeps running
}

void SetCleanRebootFlag() {
  SIM_CALL();
  Device().System.CleanRebootFlag = true;
}

}  // namespace plat
