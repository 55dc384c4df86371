// Kernel objects, the file set, display settings and system queries of the simulated handheld.
// Files are names only (case-insensitive paths); folders exist implicitly above them.
#include "platform/system.h"

#include <algorithm>
#include <deque>
#include <map>

#include "platform/sim/device.h"
#include "platform/sim/internal.h"
#include "platform/sysinfo.h"

namespace {

using sim::internal::PlatformCall;

inline constexpr std::uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr std::uint32_t FILE_ATTRIBUTE_ARCHIVE = 0x20;
inline constexpr std::uint32_t NO_ERROR = 0;
inline constexpr std::uint32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr std::uint32_t ERROR_INVALID_HANDLE = 6;

struct KernelObject {
  enum Kind { Mutex, Search } kind;
  std::u16string mutexName;
  std::vector<plat::FindData> matches;  // a search: every entry found
  std::size_t next = 0;                 // the entry a FindNextFileW would return
};

constexpr plat::PowerStatusEx2 DefaultPowerStatus() {
  plat::PowerStatusEx2 status{};
  status.ACLineStatus = 1;
  status.BatteryFlag = 1;
  status.BatteryLifePercent = 80;
  status.BatteryVoltage = 4000;
  status.BatteryCurrent = -150;
  return status;
}

constexpr plat::MemoryStatus DefaultMemoryStatus() {
  return {32, 33, 0x4000000, 0x2A80000, 0, 0, 0x2000000, 0x1C00000};
}

struct SystemState {
  std::map<std::uintptr_t, KernelObject> handles;
  std::uintptr_t nextHandle = sim::internal::KernelHandleBase + 1;
  std::uint32_t lastError = 0;
  std::vector<std::u16string> mutexesElsewhere;
  std::vector<std::u16string> mutexesCreated;
  std::vector<std::u16string> files = {u"\\Windows\\Zorvik.exe"};
  std::uint32_t supportedOrientations = 0;
  std::uint32_t orientation = plat::DMDO_0;
  std::deque<std::uint32_t> idleReadings = {1000};
  plat::PowerStatusEx2 power = DefaultPowerStatus();
  bool powerAvailable = true;
  std::vector<bool> powerUpdateFlags;
  plat::MemoryStatus memory = DefaultMemoryStatus();
  bool fileDeletionFails = false;
  std::vector<sim::StartedProcess> started;
  bool cleanRebootFlag = false;
  std::vector<sim::RebootRecord> reboots;
};

SystemState& Sys() {
  static SystemState state;
  return state;
}

bool Contains(const std::vector<std::u16string>& names, const std::u16string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

std::size_t FindFile(const std::u16string& path) {
  auto& files = Sys().files;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (sim::internal::EqualNoCase(files[i], path)) return i;
  }
  return files.size();
}

// `*` any run, `?` one character; case-insensitive, as the file system compares names.
bool GlobMatch(std::u16string_view pattern, std::u16string_view name) {
  std::size_t p = 0, n = 0, starP = std::u16string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || sim::internal::FoldCase(pattern[p]) ==
                                                         sim::internal::FoldCase(name[n]))) {
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

void SplitLast(std::u16string_view path, std::u16string_view* folder, std::u16string_view* name) {
  std::size_t slash = path.rfind(u'\\');
  if (slash == std::u16string_view::npos) {
    *folder = u"";
    *name = path;
  } else {
    *folder = path.substr(0, slash);
    *name = path.substr(slash + 1);
  }
}

plat::FindData MakeEntry(std::u16string_view name, std::uint32_t attributes) {
  plat::FindData data{};
  data.Attributes = attributes;
  sim::internal::CopyBounded(name, data.FileName, 260);
  return data;
}

std::vector<plat::FindData> Search(std::u16string_view pattern) {
  std::vector<plat::FindData> found;
  std::u16string_view folder, namePattern;
  SplitLast(pattern, &folder, &namePattern);
  bool wildcard = namePattern.find_first_of(u"*?") != std::u16string_view::npos;
  std::vector<std::u16string> subfolders;
  for (const auto& file : Sys().files) {
    std::u16string_view fileView = file;
    if (!wildcard) {
      if (sim::internal::EqualNoCase(fileView, pattern)) {
        std::u16string_view f, n;
        SplitLast(fileView, &f, &n);
        found.push_back(MakeEntry(n, FILE_ATTRIBUTE_ARCHIVE));
      } else if (fileView.size() > pattern.size() && fileView[pattern.size()] == u'\\' &&
                 sim::internal::EqualNoCase(fileView.substr(0, pattern.size()), pattern) &&
                 !pattern.empty() && subfolders.empty()) {
        subfolders.emplace_back(namePattern);  // a folder that holds files
        found.push_back(MakeEntry(namePattern, FILE_ATTRIBUTE_DIRECTORY));
      }
      continue;
    }
    if (fileView.size() <= folder.size() + 1 || fileView[folder.size()] != u'\\' ||
        !sim::internal::EqualNoCase(fileView.substr(0, folder.size()), folder)) {
      continue;
    }
    std::u16string_view rest = fileView.substr(folder.size() + 1);
    std::size_t slash = rest.find(u'\\');
    bool isFolder = slash != std::u16string_view::npos;
    std::u16string_view entry = isFolder ? rest.substr(0, slash) : rest;
    // As on Windows, a trailing ".*" also matches names without a dot ("*.*" matches all).
    bool matches =
        GlobMatch(namePattern, entry) ||
        (namePattern.size() >= 2 && namePattern.substr(namePattern.size() - 2) == u".*" &&
         GlobMatch(namePattern.substr(0, namePattern.size() - 2), entry));
    if (!matches) continue;
    if (isFolder) {
      bool seen = false;
      for (const auto& s : subfolders) seen = seen || sim::internal::EqualNoCase(s, entry);
      if (seen) continue;
      subfolders.emplace_back(entry);
    }
    found.push_back(MakeEntry(entry, isFolder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE));
  }
  return found;
}

}  // namespace

namespace sim {
namespace internal {
void ResetSystem() { Sys() = SystemState{}; }
int OpenKernelObjectCount(bool searches) {
  const KernelObject::Kind kind = searches ? KernelObject::Search : KernelObject::Mutex;
  int count = 0;
  for (const auto& [handle, object] : Sys().handles) count += object.kind == kind ? 1 : 0;
  return count;
}
}  // namespace internal

void SetMutexHeldElsewhere(const std::u16string& name) {
  internal::SimCall mark;
  Sys().mutexesElsewhere.push_back(name);
}

bool MutexCreated(const std::u16string& name) { return Contains(Sys().mutexesCreated, name); }

void AddFile(const std::u16string& path) {
  internal::SimCall mark;
  if (FindFile(path) == Sys().files.size()) Sys().files.push_back(path);
}

void RemoveFile(const std::u16string& path) {
  internal::SimCall mark;
  std::size_t at = FindFile(path);
  if (at != Sys().files.size()) Sys().files.erase(Sys().files.begin() + static_cast<long>(at));
}

bool FileExists(const std::u16string& path) {
  internal::SimCall mark;
  return FindFile(path) != Sys().files.size();
}

void SetSupportedOrientations(std::uint32_t mask) { Sys().supportedOrientations = mask; }
void SetOrientation(std::uint32_t orientation) { Sys().orientation = orientation; }
std::uint32_t Orientation() { return Sys().orientation; }

void SetIdleTime(std::uint32_t ms) {
  internal::SimCall mark;
  Sys().idleReadings = {ms};
}

void SetIdleTimeReadings(std::vector<std::uint32_t> readings) {
  internal::SimCall mark;
  if (readings.empty()) return;
  Sys().idleReadings.assign(readings.begin(), readings.end());
}

void SetPowerStatus(const plat::PowerStatusEx2& status, bool available) {
  Sys().power = status;
  Sys().powerAvailable = available;
}

const plat::PowerStatusEx2& PowerStatus() { return Sys().power; }

std::vector<bool> PowerStatusUpdateFlags() {
  internal::SimCall mark;
  return Sys().powerUpdateFlags;
}

void SetMemoryStatus(const plat::MemoryStatus& status) { Sys().memory = status; }

void SetFileDeletionFails(bool fails) { Sys().fileDeletionFails = fails; }
const std::vector<StartedProcess>& StartedProcesses() { return Sys().started; }
const std::vector<RebootRecord>& Reboots() { return Sys().reboots; }
bool CleanRebootFlagSet() { return Sys().cleanRebootFlag; }

}  // namespace sim

namespace plat {

Handle CreateMutexW(void*, bool, const char16_t* name) {
  PlatformCall call("CreateMutexW");
  auto& s = Sys();
  std::uintptr_t handle = s.nextHandle++;
  s.handles[handle] = {KernelObject::Mutex, sim::internal::FromZ(name), {}, 0};
  s.lastError = NO_ERROR;
  if (name != nullptr) {
    if (Contains(s.mutexesElsewhere, name) || Contains(s.mutexesCreated, name)) {
      s.lastError = ERROR_ALREADY_EXISTS;
    }
    if (!Contains(s.mutexesCreated, name)) s.mutexesCreated.emplace_back(name);
  }
  return Handle(handle);
}

std::uint32_t GetLastError() {
  PlatformCall call("GetLastError");
  return Sys().lastError;
}

bool CloseHandle(Handle handle) {
  PlatformCall call("CloseHandle");
  auto& s = Sys();
  if (sim::internal::CloseDatabase(static_cast<std::uintptr_t>(handle))) return true;
  auto it = s.handles.find(static_cast<std::uintptr_t>(handle));
  if (it == s.handles.end() || it->second.kind != KernelObject::Mutex) {  // searches: FindClose
    if (sim::internal::CloseProcessHandle(handle)) return true;
    s.lastError = ERROR_INVALID_HANDLE;
    return false;
  }
  s.handles.erase(it);
  return true;
}

Handle FindFirstFileW(const char16_t* pattern, FindData* data) {
  PlatformCall call("FindFirstFileW");
  auto& s = Sys();
  std::vector<FindData> matches;
  if (pattern != nullptr) matches = Search(pattern);
  if (matches.empty() || data == nullptr) {
    s.lastError = ERROR_FILE_NOT_FOUND;
    return InvalidHandle;
  }
  *data = matches.front();
  std::uintptr_t handle = s.nextHandle++;
  s.handles[handle] = {KernelObject::Search, u"", std::move(matches), 1};
  return Handle(handle);
}

bool FindClose(Handle search) {
  PlatformCall call("FindClose");
  auto& s = Sys();
  auto it = s.handles.find(static_cast<std::uintptr_t>(search));
  if (it == s.handles.end() || it->second.kind != KernelObject::Search) {
    s.lastError = ERROR_INVALID_HANDLE;
    return false;
  }
  s.handles.erase(it);
  return true;
}

bool FindNextFileW(Handle search, FindData* data) {
  PlatformCall call("FindNextFileW");
  auto& s = Sys();
  auto it = s.handles.find(static_cast<std::uintptr_t>(search));
  if (it == s.handles.end() || it->second.kind != KernelObject::Search || data == nullptr) {
    s.lastError = ERROR_INVALID_HANDLE;
    return false;
  }
  KernelObject& found = it->second;
  if (found.next >= found.matches.size()) {
    s.lastError = 18;  // ERROR_NO_MORE_FILES
    return false;
  }
  *data = found.matches[found.next++];
  return true;
}

// Storage cards are searches too: FindClose ends them.
Handle FindFirstFlashCard(FlashCardData* data) {
  PlatformCall call("FindFirstFlashCard");
  auto& s = Sys();
  const int cards = sim::Info().StorageCards;
  if (cards <= 0 || data == nullptr) return InvalidHandle;
  std::vector<FindData> matches(static_cast<std::size_t>(cards));
  for (int i = 0; i < cards; ++i) {
    const std::u16string name =
        i == 0 ? u"Storage Card" : u"Storage Card" + std::u16string(1, u'1' + i);
    sim::internal::CopyBounded(name, matches[i].FileName, 260);
  }
  sim::internal::CopyBounded(matches[0].FileName, data->Name, 260);
  std::uintptr_t handle = s.nextHandle++;
  s.handles[handle] = {KernelObject::Search, u"", std::move(matches), 1};
  return Handle(handle);
}

bool FindNextFlashCard(Handle search, FlashCardData* data) {
  PlatformCall call("FindNextFlashCard");
  FindData found{};
  if (data == nullptr || !FindNextFileW(search, &found)) return false;
  sim::internal::CopyBounded(found.FileName, data->Name, 260);
  return true;
}

long ChangeDisplaySettingsEx(const char16_t*, DeviceMode* mode, Window, std::uint32_t flags,
                             void*) {
  PlatformCall call("ChangeDisplaySettingsEx");
  if (mode == nullptr) return 0;
  auto& s = Sys();
  if (flags & CDS_TEST) {
    if (mode->Fields & DM_DISPLAYQUERYORIENTATION) {
      mode->DisplayOrientation = s.supportedOrientations;
    } else if (mode->Fields & DM_DISPLAYORIENTATION) {
      mode->DisplayOrientation = s.orientation;
    }
    return 0;
  }
  if (flags == 0 && (mode->Fields & DM_DISPLAYORIENTATION)) {
    s.orientation = mode->DisplayOrientation;
  }
  return 0;
}

std::uint32_t GetIdleTime() {
  PlatformCall call("GetIdleTime");
  auto& readings = Sys().idleReadings;
  std::uint32_t value = readings.front();
  if (readings.size() > 1) readings.pop_front();
  return value;
}

std::uint32_t GetSystemPowerStatusEx2(PowerStatusEx2* status, std::uint32_t length, bool update) {
  PlatformCall call("GetSystemPowerStatusEx2");
  auto& s = Sys();
  s.powerUpdateFlags.push_back(update);
  if (!s.powerAvailable || status == nullptr || length < sizeof(PowerStatusEx2)) return 0;
  *status = s.power;
  return sizeof(PowerStatusEx2);
}

void GlobalMemoryStatus(MemoryStatus* status) {
  PlatformCall call("GlobalMemoryStatus");
  if (status == nullptr) return;
  std::uint32_t length = status->Length;
  *status = Sys().memory;
  status->Length = length;
}

bool DeleteFileW(const char16_t* path) {
  PlatformCall call("DeleteFileW");
  auto& s = Sys();
  std::size_t at = path != nullptr ? FindFile(path) : s.files.size();
  if (s.fileDeletionFails || at == s.files.size()) {
    s.lastError = ERROR_FILE_NOT_FOUND;
    return false;
  }
  s.files.erase(s.files.begin() + static_cast<long>(at));
  return true;
}

bool CreateProcessW(const char16_t* application, const char16_t* commandLine) {
  PlatformCall call("CreateProcessW");
  auto& s = Sys();
  std::u16string name = sim::internal::FromZ(application);
  bool found = !name.empty() && (FindFile(name) != s.files.size() ||
                                 FindFile(u"\\Windows\\" + name) != s.files.size());
  if (!found) {
    s.lastError = ERROR_FILE_NOT_FOUND;
    return false;
  }
  s.started.push_back({name, sim::internal::FromZ(commandLine)});
  return true;
}

bool KernelIoControl(std::uint32_t code, void*, std::uint32_t, void* output,
                     std::uint32_t outputSize, std::uint32_t* returned) {
  PlatformCall call("KernelIoControl");
  if (code == IOCTL_PROCESSOR_INFORMATION) {
    return sim::internal::AnswerProcessorQuery(output, outputSize, returned);
  }
  if (code != IOCTL_HAL_REBOOT) return false;
  auto& s = Sys();
  s.reboots.push_back({s.cleanRebootFlag, sim::WakeupRegistrations()});
  return false;  // refused: the simulated device keeps running
}

void SetCleanRebootFlag() {
  PlatformCall call("SetCleanRebootFlag");
  Sys().cleanRebootFlag = true;
}

}  // namespace plat
