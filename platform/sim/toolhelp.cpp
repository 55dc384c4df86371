// The simulated handheld's processes and threads: snapshots, termination, module paths, thread
// times and the calendar conversions of file times.
#include "platform/toolhelp.h"

#include <algorithm>

#include "platform/sim/device.h"

namespace {

using sim::Device;

constexpr std::uint64_t TicksPerSecond = 10000000;

sim::ProcessRecord* FindProcess(std::uint32_t id) {
  for (sim::ProcessRecord& p : Device().Processes.Running) {
    if (p.Id == id) return &p;
  }
  return nullptr;
}

// The first (restart) or the next entry of a snapshot's list.
template <typename Entry>
bool Step(plat::Handle snapshot, Entry* entry, bool restart,
          std::vector<Entry> sim::Snapshot::*list) {
  auto& snapshots = Device().Processes.Snapshots;
  auto found = snapshots.find(static_cast<std::uintptr_t>(snapshot));
  if (found == snapshots.end() || entry == nullptr) return false;
  sim::Snapshot& s = found->second;
  if (restart) s.Next = 0;
  if (s.Next >= (s.*list).size()) return false;
  *entry = (s.*list)[s.Next++];
  return true;
}

plat::FileTime ToFileTime(std::uint64_t value) {
  return {static_cast<std::uint32_t>(value), static_cast<std::uint32_t>(value >> 32)};
}
std::uint64_t FromFileTime(const plat::FileTime& time) {
  return (static_cast<std::uint64_t>(time.HighDateTime) << 32) | time.LowDateTime;
}

}  // namespace

namespace plat {

Handle CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t) {
  SIM_CALL();
  sim::Processes& processes = Device().Processes;
  if (Device().Faults.SnapshotFails) return InvalidHandle;
  sim::Snapshot snapshot;
  for (const sim::ProcessRecord& p : processes.Running) {
    if (flags & TH32CS_SNAPPROCESS) {
      ProcessEntry entry{p.Id, static_cast<std::uint32_t>(p.Threads.size()), {}};
      sim::CopyBounded(p.ExeFile, entry.ExeFile, 260);
      snapshot.Processes.push_back(entry);
    }
    if (flags & TH32CS_SNAPTHREAD) {
      for (const sim::ThreadRecord& t : p.Threads) {
        snapshot.Threads.push_back({t.Id, p.Id, t.BasePriority});
      }
    }
  }
  for (std::uint32_t id : processes.EndAfterSnapshot) {
    std::erase_if(processes.Running, [&](const sim::ProcessRecord& p) { return p.Id == id; });
  }
  processes.EndAfterSnapshot.clear();
  const std::uintptr_t handle = processes.NextSnapshot++;
  processes.Snapshots[handle] = std::move(snapshot);
  return Handle(handle);
}

bool Process32First(Handle snapshot, ProcessEntry* entry) {
  SIM_CALL();
  return Step(snapshot, entry, true, &sim::Snapshot::Processes);
}

bool Process32Next(Handle snapshot, ProcessEntry* entry) {
  SIM_CALL();
  return Step(snapshot, entry, false, &sim::Snapshot::Processes);
}

bool Thread32First(Handle snapshot, ThreadEntry* entry) {
  SIM_CALL();
  return Step(snapshot, entry, true, &sim::Snapshot::Threads);
}

bool Thread32Next(Handle snapshot, ThreadEntry* entry) {
  SIM_CALL();
  return Step(snapshot, entry, false, &sim::Snapshot::Threads);
}

bool CloseToolhelp32Snapshot(Handle snapshot) {
  SIM_CALL();
  return Device().Processes.Snapshots.erase(static_cast<std::uintptr_t>(snapshot)) == 1;
}

std::uint32_t GetCurrentProcessId() {
  SIM_CALL();
  return sim::ProgramProcessId;
}

Handle OpenProcess(std::uint32_t, bool, std::uint32_t processId) {
  SIM_CALL();
  if (FindProcess(processId) == nullptr) return Handle{};
  const std::uintptr_t handle = Device().Processes.NextHandle++;
  Device().Processes.Handles[handle] = processId;
  return Handle(handle);
}

bool TerminateProcess(Handle process, std::uint32_t exitCode) {
  SIM_CALL();
  auto& handles = Device().Processes.Handles;
  auto found = handles.find(static_cast<std::uintptr_t>(process));
  if (found == handles.end()) return false;
  const sim::ProcessRecord* target = FindProcess(found->second);
  if (target == nullptr || target->Protected) return false;
  Device().Processes.ExitCodes[target->Id] = exitCode;
  auto& running = Device().Processes.Running;
  running.erase(running.begin() + (target - running.data()));
  return true;
}

std::uint32_t SetProcPermissions(std::uint32_t mask) {
  SIM_CALL();
  auto& requests = Device().Log.Permissions;
  const std::uint32_t previous = requests.empty() ? 1 : requests.back();
  requests.push_back(mask);
  return previous;
}

std::uint32_t GetModuleFileNameW(std::uint32_t processId, char16_t* buffer,
                                 std::uint32_t capacity) {
  SIM_CALL();
  const sim::ProcessRecord* process = FindProcess(processId);
  if (process == nullptr || buffer == nullptr || capacity == 0) return 0;
  return static_cast<std::uint32_t>(
      sim::CopyBounded(process->Path, buffer, static_cast<int>(capacity)));
}

bool GetThreadTimes(std::uint32_t threadId, FileTime* creation, FileTime* exit, FileTime* kernel,
                    FileTime* user) {
  SIM_CALL();
  for (const sim::ProcessRecord& p : Device().Processes.Running) {
    for (const sim::ThreadRecord& thread : p.Threads) {
      if (thread.Id != threadId) continue;
      if (thread.TimesUnreadable) return false;
      if (creation) *creation = ToFileTime(thread.Creation);
      if (exit) *exit = ToFileTime(0);
      if (kernel) *kernel = ToFileTime(thread.Kernel);
      if (user) *user = ToFileTime(thread.User);
      return true;
    }
  }
  return false;
}

bool FileTimeToSystemTime(const FileTime* time, SystemTime* calendar) {
  SIM_CALL();
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
  SIM_CALL();
  if (utc == nullptr || local == nullptr) return false;
  const std::int64_t shift =
      static_cast<std::int64_t>(Device().System.TimeZoneBias) * 60 * 10000000;
  // Local time = UTC - bias; none before 1601 or beyond the largest file time.
  const std::uint64_t ticks = FromFileTime(*utc);
  std::int64_t value = 0;
  if (ticks >= 0x8000000000000000ull ||
      __builtin_sub_overflow(static_cast<std::int64_t>(ticks), shift, &value) || value < 0) {
    return false;
  }
  *local = ToFileTime(static_cast<std::uint64_t>(value));
  return true;
}

}  // namespace plat
