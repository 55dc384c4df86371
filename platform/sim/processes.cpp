// The simulated handheld's processes and threads: snapshots, termination, thread times, the
// top-level windows of other processes, file sizes and the shell's file icons.
#include <algorithm>
#include <map>

#include "platform/shell.h"
#include "platform/sim/device.h"
#include "platform/sim/internal.h"
#include "platform/system.h"
#include "platform/toolhelp.h"
#include "platform/windowing.h"

namespace {

using sim::internal::PlatformCall;
using sim::internal::SimCall;

constexpr std::uintptr_t SnapshotHandleBase = 0x70000;
constexpr std::uintptr_t ProcessHandleBase = 0x78000;
constexpr std::uint64_t TicksPerSecond = 10000000;

struct Snapshot {
  std::uint32_t Flags;
  std::vector<plat::ProcessEntry> Processes;
  std::vector<plat::ThreadEntry> Threads;
  std::size_t Next;
};

struct WindowOwner {
  std::uint32_t ProcessId;
  bool Visible;
};

sim::ProcessRecord OwnProcess() {
  return {sim::ProgramProcessId,
          u"Zorvik.exe",
          u"\\Windows\\Zorvik.exe",
          {{sim::ProgramProcessId + 1, 251, 0, 0, 0, false}},
          false};
}

struct ProcessesState {
  std::vector<sim::ProcessRecord> processes = {OwnProcess()};
  std::vector<std::uint32_t> endAfterSnapshot;
  bool snapshotFails = false;
  std::map<std::uintptr_t, Snapshot> snapshots;
  std::uintptr_t nextSnapshot = SnapshotHandleBase + 1;
  std::map<std::uintptr_t, std::uint32_t> processHandles;
  std::uintptr_t nextProcessHandle = ProcessHandleBase + 1;
  std::map<std::uintptr_t, WindowOwner> windowOwners;
  plat::Window shellWindow{};
  std::vector<std::uint32_t> permissions;
  std::int32_t bias = 0;
  std::map<std::u16string, std::uint64_t> fileSizes;  // by folded path
  std::map<std::uintptr_t, std::u16string> shellIcons;
};

ProcessesState& P() {
  static ProcessesState state;
  return state;
}

sim::ProcessRecord* FindProcess(std::uint32_t id) {
  for (auto& p : P().processes) {
    if (p.Id == id) return &p;
  }
  return nullptr;
}

const sim::ThreadRecord* FindThread(std::uint32_t id) {
  for (const auto& p : P().processes) {
    for (const auto& t : p.Threads) {
      if (t.Id == id) return &t;
    }
  }
  return nullptr;
}

Snapshot* FindSnapshot(plat::Handle handle) {
  auto it = P().snapshots.find(static_cast<std::uintptr_t>(handle));
  return it == P().snapshots.end() ? nullptr : &it->second;
}

// Window handles are their record's position plus one, so a look-up costs the same however
// many windows there are.
const sim::WindowRecord* FindWindowRecord(plat::Window window) {
  const auto& windows = sim::Windows();
  const auto index = static_cast<std::uintptr_t>(window);
  if (index == 0 || index > windows.size()) return nullptr;
  const sim::WindowRecord& w = windows[index - 1];
  return w.Handle == window && !w.Destroyed ? &w : nullptr;
}

// The program's own controls are child windows, never enumerated as top-level ones.
bool IsControl(const sim::WindowRecord& w) {
  return !w.Foreign && w.ClassName != u"#32770" && w.ClassName != u"Zorvik";
}

WindowOwner OwnerOf(const sim::WindowRecord& w) {
  auto it = P().windowOwners.find(static_cast<std::uintptr_t>(w.Handle));
  if (it != P().windowOwners.end()) return it->second;
  if (w.Foreign) return {0, false};
  return {sim::ProgramProcessId, w.ClassName == u"#32770"};  // dialogs show, the main window not
}

plat::FileTime ToFileTime(std::uint64_t value) {
  return {static_cast<std::uint32_t>(value), static_cast<std::uint32_t>(value >> 32)};
}
std::uint64_t FromFileTime(const plat::FileTime& time) {
  return (static_cast<std::uint64_t>(time.HighDateTime) << 32) | time.LowDateTime;
}

}  // namespace

namespace sim {
namespace internal {
void ResetProcesses() { P() = ProcessesState{}; }

bool CloseProcessHandle(plat::Handle handle) {
  return P().processHandles.erase(static_cast<std::uintptr_t>(handle)) == 1;
}

std::int32_t TimeZoneBias() { return P().bias; }
int LiveSnapshotCount() { return static_cast<int>(P().snapshots.size()); }
int OpenProcessHandleCount() { return static_cast<int>(P().processHandles.size()); }
}  // namespace internal

void AddProcess(const ProcessRecord& process) {
  SimCall mark;
  P().processes.push_back(process);
}
std::vector<ProcessRecord> Processes() {
  SimCall mark;
  return P().processes;
}
bool ProcessRunning(std::uint32_t id) { return FindProcess(id) != nullptr; }
void EndProcessAfterNextSnapshot(std::uint32_t id) {
  SimCall mark;
  P().endAfterSnapshot.push_back(id);
}
void SetSnapshotFails(bool fails) { P().snapshotFails = fails; }

plat::Window AddProcessWindow(std::uint32_t processId, const std::u16string& title, bool visible) {
  SimCall mark;
  const plat::Window window = AddForeignWindow(u"", title);
  P().windowOwners[static_cast<std::uintptr_t>(window)] = {processId, visible};
  return window;
}
void SetShellWindow(plat::Window window) { P().shellWindow = window; }
std::vector<std::uint32_t> PermissionRequests() {
  SimCall mark;
  return P().permissions;
}
void SetTimeZoneBias(std::int32_t minutes) { P().bias = minutes; }

void SetFileSize(const std::u16string& path, std::uint64_t size) {
  SimCall mark;
  if (!FileExists(path)) AddFile(path);
  P().fileSizes[internal::Folded(path)] = size;
}

std::u16string ShellIconSource(plat::Icon icon) {
  SimCall mark;
  auto it = P().shellIcons.find(static_cast<std::uintptr_t>(icon));
  return it == P().shellIcons.end() ? u"" : it->second;
}

}  // namespace sim

namespace plat {

Handle CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t) {
  PlatformCall call("CreateToolhelp32Snapshot");
  auto& s = P();
  if (s.snapshotFails) return InvalidHandle;
  Snapshot snapshot{flags, {}, {}, 0};
  for (const auto& p : s.processes) {
    if (flags & TH32CS_SNAPPROCESS) {
      ProcessEntry entry{p.Id, static_cast<std::uint32_t>(p.Threads.size()), {}};
      sim::internal::CopyBounded(p.ExeFile, entry.ExeFile, 260);
      snapshot.Processes.push_back(entry);
    }
    if (flags & TH32CS_SNAPTHREAD) {
      for (const auto& t : p.Threads) snapshot.Threads.push_back({t.Id, p.Id, t.BasePriority});
    }
  }
  for (std::uint32_t id : s.endAfterSnapshot) {
    s.processes.erase(std::remove_if(s.processes.begin(), s.processes.end(),
                                     [&](const sim::ProcessRecord& p) { return p.Id == id; }),
                      s.processes.end());
  }
  s.endAfterSnapshot.clear();
  const std::uintptr_t handle = s.nextSnapshot++;
  s.snapshots[handle] = std::move(snapshot);
  return Handle(handle);
}

bool Process32First(Handle snapshot, ProcessEntry* entry) {
  PlatformCall call("Process32First");
  Snapshot* found = FindSnapshot(snapshot);
  if (found == nullptr || entry == nullptr) return false;
  found->Next = 0;
  if (found->Processes.empty()) return false;
  *entry = found->Processes[found->Next++];
  return true;
}

bool Process32Next(Handle snapshot, ProcessEntry* entry) {
  PlatformCall call("Process32Next");
  Snapshot* found = FindSnapshot(snapshot);
  if (found == nullptr || entry == nullptr || found->Next >= found->Processes.size()) return false;
  *entry = found->Processes[found->Next++];
  return true;
}

bool Thread32First(Handle snapshot, ThreadEntry* entry) {
  PlatformCall call("Thread32First");
  Snapshot* found = FindSnapshot(snapshot);
  if (found == nullptr || entry == nullptr) return false;
  found->Next = 0;
  if (found->Threads.empty()) return false;
  *entry = found->Threads[found->Next++];
  return true;
}

bool Thread32Next(Handle snapshot, ThreadEntry* entry) {
  PlatformCall call("Thread32Next");
  Snapshot* found = FindSnapshot(snapshot);
  if (found == nullptr || entry == nullptr || found->Next >= found->Threads.size()) return false;
  *entry = found->Threads[found->Next++];
  return true;
}

bool CloseToolhelp32Snapshot(Handle snapshot) {
  PlatformCall call("CloseToolhelp32Snapshot");
  return P().snapshots.erase(static_cast<std::uintptr_t>(snapshot)) == 1;
}

std::uint32_t GetCurrentProcessId() {
  PlatformCall call("GetCurrentProcessId");
  return sim::ProgramProcessId;
}

Handle OpenProcess(std::uint32_t, bool, std::uint32_t processId) {
  PlatformCall call("OpenProcess");
  if (FindProcess(processId) == nullptr) return Handle{};
  const std::uintptr_t handle = P().nextProcessHandle++;
  P().processHandles[handle] = processId;
  return Handle(handle);
}

bool TerminateProcess(Handle process, std::uint32_t) {
  PlatformCall call("TerminateProcess");
  auto it = P().processHandles.find(static_cast<std::uintptr_t>(process));
  if (it == P().processHandles.end()) return false;
  sim::ProcessRecord* target = FindProcess(it->second);
  if (target == nullptr || target->Protected) return false;
  auto& processes = P().processes;
  processes.erase(processes.begin() + (target - processes.data()));
  return true;
}

std::uint32_t SetProcPermissions(std::uint32_t mask) {
  PlatformCall call("SetProcPermissions");
  auto& requests = P().permissions;
  const std::uint32_t previous = requests.empty() ? 1 : requests.back();
  requests.push_back(mask);
  return previous;
}

std::uint32_t GetModuleFileNameW(std::uint32_t processId, char16_t* buffer,
                                 std::uint32_t capacity) {
  PlatformCall call("GetModuleFileNameW");
  const sim::ProcessRecord* process = FindProcess(processId);
  if (process == nullptr || buffer == nullptr || capacity == 0) return 0;
  return static_cast<std::uint32_t>(
      sim::internal::CopyBounded(process->Path, buffer, static_cast<int>(capacity)));
}

bool GetThreadTimes(std::uint32_t threadId, FileTime* creation, FileTime* exit, FileTime* kernel,
                    FileTime* user) {
  PlatformCall call("GetThreadTimes");
  const sim::ThreadRecord* thread = FindThread(threadId);
  if (thread == nullptr || thread->TimesUnreadable) return false;
  if (creation) *creation = ToFileTime(thread->Creation);
  if (exit) *exit = ToFileTime(0);
  if (kernel) *kernel = ToFileTime(thread->Kernel);
  if (user) *user = ToFileTime(thread->User);
  return true;
}

bool FileTimeToSystemTime(const FileTime* time, SystemTime* calendar) {
  PlatformCall call("FileTimeToSystemTime");
  if (time == nullptr || calendar == nullptr) return false;
  const std::uint64_t ticks = FromFileTime(*time);
  if (ticks >= 0x8000000000000000ull) return false;
  const std::uint64_t seconds = ticks / TicksPerSecond;
  const std::int64_t days1601 = static_cast<std::int64_t>(seconds / 86400);
  const std::uint64_t daySeconds = seconds % 86400;
  // Days since 1 March 0000 of the proleptic Gregorian calendar, then the civil date.
  const std::int64_t z = days1601 + 584694;
  const std::int64_t era = z / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t day = doy - (153 * mp + 2) / 5 + 1;
  const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const std::int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  calendar->Year = static_cast<std::uint16_t>(year);
  calendar->Month = static_cast<std::uint16_t>(month);
  calendar->Day = static_cast<std::uint16_t>(day);
  calendar->DayOfWeek = static_cast<std::uint16_t>((days1601 + 1) % 7);  // 1601-01-01: Monday
  calendar->Hour = static_cast<std::uint16_t>(daySeconds / 3600);
  calendar->Minute = static_cast<std::uint16_t>(daySeconds / 60 % 60);
  calendar->Second = static_cast<std::uint16_t>(daySeconds % 60);
  calendar->Milliseconds = static_cast<std::uint16_t>(ticks / 10000 % 1000);
  return true;
}

bool FileTimeToLocalFileTime(const FileTime* utc, FileTime* local) {
  PlatformCall call("FileTimeToLocalFileTime");
  if (utc == nullptr || local == nullptr) return false;
  const std::int64_t shift = static_cast<std::int64_t>(P().bias) * 60 * 10000000;
  const std::int64_t value = static_cast<std::int64_t>(FromFileTime(*utc)) - shift;
  if (value < 0) return false;
  *local = ToFileTime(static_cast<std::uint64_t>(value));
  return true;
}

bool EnumWindows(EnumWindowsProc callback, LParam parameter) {
  PlatformCall call("EnumWindows");
  if (callback == nullptr) return false;
  std::vector<Window> topLevel;
  for (const auto& w : sim::Windows()) {
    if (!w.Destroyed && !IsControl(w)) topLevel.push_back(w.Handle);
  }
  for (Window window : topLevel) {
    sim::internal::ProgramCallback program;
    if (callback(window, parameter) == 0) return false;
  }
  return true;
}

bool IsWindowVisible(Window window) {
  PlatformCall call("IsWindowVisible");
  const sim::WindowRecord* record = FindWindowRecord(window);
  return record != nullptr && OwnerOf(*record).Visible;
}

int GetWindowTextW(Window window, char16_t* buffer, int capacity) {
  PlatformCall call("GetWindowTextW");
  const sim::WindowRecord* record = FindWindowRecord(window);
  if (buffer == nullptr || capacity <= 0) return 0;
  if (record == nullptr) {
    buffer[0] = u'\0';
    return 0;
  }
  return sim::internal::CopyBounded(record->Title, buffer, capacity);
}

std::uint32_t GetWindowThreadProcessId(Window window, std::uint32_t* processId) {
  PlatformCall call("GetWindowThreadProcessId");
  const sim::WindowRecord* record = FindWindowRecord(window);
  const std::uint32_t owner = record == nullptr ? 0 : OwnerOf(*record).ProcessId;
  if (processId) *processId = owner;
  return owner == 0 ? 0 : owner + 1;  // its first thread
}

Window GetShellWindow() {
  PlatformCall call("GetShellWindow");
  return P().shellWindow;
}

bool GetFileAttributesExW(const char16_t* path, int level, FileAttributeData* data) {
  PlatformCall call("GetFileAttributesExW");
  if (path == nullptr || data == nullptr || level != GetFileExInfoStandard) return false;
  const std::u16string name = sim::internal::FromZ(path);
  if (!sim::FileExists(name)) return false;
  auto it = P().fileSizes.find(sim::internal::Folded(name));
  *data = {0x20, it == P().fileSizes.end() ? 0 : it->second};  // an archive file
  return true;
}

std::uintptr_t SHGetFileInfo(const char16_t* path, std::uint32_t, ShellFileInfo* info,
                             std::uint32_t flags) {
  PlatformCall call("SHGetFileInfo");
  if (path == nullptr || info == nullptr || (flags & SHGFI_ICON) == 0) return 0;
  const std::u16string name = sim::internal::FromZ(path);
  if (!sim::FileExists(name)) return 0;
  const int side = sim::internal::Metric((flags & SHGFI_SMALLICON) ? SM_CXSMICON : SM_CXICON);
  info->IconHandle = sim::internal::NewResourceIcon(0, side, side);
  info->IconIndex = 0;
  P().shellIcons[static_cast<std::uintptr_t>(info->IconHandle)] = name;
  return 1;
}

}  // namespace plat
