// Processes and threads: the system's snapshots of them, terminating a process, a thread's times
// and the calendar conversions of file times.
// Contract only.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace plat {

inline constexpr std::uint32_t TH32CS_SNAPPROCESS = 0x2;
inline constexpr std::uint32_t TH32CS_SNAPTHREAD = 0x4;

// One process of a snapshot; the fields the program reads.
struct ProcessEntry {
  std::uint32_t ProcessId;
  std::uint32_t Threads;
  char16_t ExeFile[260];  // the executable's file name, terminated
};

// One thread of a snapshot.
struct ThreadEntry {
  std::uint32_t ThreadId;
  std::uint32_t OwnerProcessId;
  std::int32_t BasePriority;  // 0..7, or 248..255 on a 256-level scheduler
};

// Takes a snapshot of every process or every thread of the system; InvalidHandle on failure.
// The records are copied when the snapshot is taken: a process that ends afterwards is still in
// it, and the queries below then fail for it.
Handle CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId);
// The first or the next record; false when there is none left (or the snapshot is no snapshot).
bool Process32First(Handle snapshot, ProcessEntry* entry);
bool Process32Next(Handle snapshot, ProcessEntry* entry);
bool Thread32First(Handle snapshot, ThreadEntry* entry);
bool Thread32Next(Handle snapshot, ThreadEntry* entry);
bool CloseToolhelp32Snapshot(Handle snapshot);

std::uint32_t GetCurrentProcessId();

// Opens a process to terminate it; 0 when it has gone or may not be opened. The handheld grants
// every right whatever `access` asks for, so callers pass 0; a backend asks for what it needs.
// Close the handle with CloseHandle (system.h).
Handle OpenProcess(std::uint32_t access, bool inherit, std::uint32_t processId);
bool TerminateProcess(Handle process, std::uint32_t exitCode);

// Lets the calling thread reach the processes of `mask` (one bit per process slot); returns the
// previous mask. Where the platform needs no such request it changes nothing.
std::uint32_t SetProcPermissions(std::uint32_t mask);

// The full path of process `processId`'s executable in `buffer` of `capacity` characters,
// terminated and cut to fit; returns its length, 0 when the process has gone.
std::uint32_t GetModuleFileNameW(std::uint32_t processId, char16_t* buffer, std::uint32_t capacity);

// 100-nanosecond units, since 1 January 1601 for a point in time.
struct FileTime {
  std::uint32_t LowDateTime;
  std::uint32_t HighDateTime;
};
struct SystemTime {
  std::uint16_t Year;
  std::uint16_t Month;
  std::uint16_t DayOfWeek;
  std::uint16_t Day;
  std::uint16_t Hour;
  std::uint16_t Minute;
  std::uint16_t Second;
  std::uint16_t Milliseconds;
};

// The times of thread `threadId` (the handheld takes the id for a handle); false when it has
// ended or its times cannot be read.
bool GetThreadTimes(std::uint32_t threadId, FileTime* creation, FileTime* exit, FileTime* kernel,
                    FileTime* user);
bool FileTimeToSystemTime(const FileTime* time, SystemTime* calendar);
bool FileTimeToLocalFileTime(const FileTime* utc, FileTime* local);

}  // namespace plat
