// What the files of the simulated handheld share: the platform-call mark, the call log, the script
// clock, text helpers, the script reader and each area's reset. Not for the program's code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/sim/device.h"
#include "platform/types.h"

namespace sim::internal {

// Marks the running code as the simulated platform for the heap accounting and logs the call
// by its name. Every plat:: entry point opens one.
class PlatformCall {
 public:
  explicit PlatformCall(const char* name);
  ~PlatformCall();
  PlatformCall(const PlatformCall&) = delete;
  PlatformCall& operator=(const PlatformCall&) = delete;
};

// The same mark without a log entry: the seeding and inspection functions tests call.
class SimCall {
 public:
  SimCall();
  ~SimCall();
  SimCall(const SimCall&) = delete;
  SimCall& operator=(const SimCall&) = delete;
};

// Lifts the mark while the platform runs program code (a window procedure, a guarded body).
class ProgramCallback {
 public:
  ProgramCallback();
  ~ProgramCallback();
  ProgramCallback(const ProgramCallback&) = delete;
  ProgramCallback& operator=(const ProgramCallback&) = delete;

 private:
  int savedDepth_;
};

// The nesting depth of the mark; the fault guard restores it after unwinding by jump.
int PlatformDepth();
void SetPlatformDepth(int depth);

void Log(const char* name);

// ---- Virtual time and the script (device.cpp) ----
std::optional<std::uint32_t> NextActionTime();
// Advances the clock to the earliest action and runs it.
void RunNextAction();
void AdvanceTo(std::uint32_t timeMs);
void EndScenario();

// ---- Cross-area operations ----
// Queues a message as the platform does (not recorded as the program's PostMessageW).
void QueueMessage(plat::Window window, std::uint32_t message, plat::WParam wParam,
                  plat::LParam lParam);
// A fresh icon for resource `id`, with no pixels.
plat::Icon NewResourceIcon(int id, int width, int height);
// A write through the clock register's mapping reaching the register.
void StoreCccr(std::uint32_t value);
// An access fault: back to the innermost RunGuarded (stops the process outside one).
[[noreturn]] void RaiseAccessFault(const char* operation);
// Closes an open notification database; false when `handle` is none.
bool CloseDatabase(std::uintptr_t handle);

// A window of this process made by the platform itself (dialogs and their controls); the
// procedure may be nullptr for a control whose messages nobody handles.
plat::Window NewWindow(const std::u16string& className, const std::u16string& title,
                       plat::WindowProc procedure);
// Destroys such a window: WM_DESTROY to its procedure, its timers stopped.
void RemoveWindow(plat::Window window);

// One turn of a modal loop (a dialog box, a tracked menu): takes the next message as
// GetMessageW does and dispatches it. A quit message is left queued for the outer loop.
enum class PumpResult { Dispatched, Quit, ScenarioEnded };
PumpResult PumpOneMessage();
// The modal loop of a message box: turns of the above while messages are queued, up to a quit
// message, which stays queued.
void PumpQueued();
// The modal loop of a tracked menu: turns of the above while messages are queued, until
// `*ended` is set. A quit message is taken and lost, as the desktop's menu loop does. Returns
// whether the menu may deliver its command: not when `owner` was destroyed.
bool RunModalLoop(plat::Window owner, const bool* ended);

// The current value of a system metric, without a logged call.
int Metric(int index);

// ---- Text ----
std::u16string FromZ(const char16_t* text);  // nullptr gives ""
char16_t FoldCase(char16_t c);               // Latin and Cyrillic letters to lower case
std::u16string Folded(std::u16string_view text);
bool EqualNoCase(std::u16string_view a, std::u16string_view b);
std::u16string FromUtf8(std::string_view text);
std::string ToUtf8(std::u16string_view text);
// Copies at most capacity - 1 characters and the terminator; returns the characters copied.
int CopyBounded(std::u16string_view text, char16_t* out, int capacity);

// Handle numbering: each kind of object counts from its own base so that mixing them up shows.
inline constexpr std::uintptr_t MenuHandleBase = 0x10000;
inline constexpr std::uintptr_t BitmapHandleBase = 0x20000;
inline constexpr std::uintptr_t IconHandleBase = 0x30000;
inline constexpr std::uintptr_t RegKeyHandleBase = 0x40000;
inline constexpr std::uintptr_t KernelHandleBase = 0x50000;
inline constexpr std::uintptr_t DatabaseHandleBase = 0x60000;

// ---- The resource script (resource_script.cpp) ----
// Parses the text of a resource script; stops the process with the line on anything unknown.
ResourceScript ParseResourceScript(std::string_view text, const std::string& fileName);

// ---- Per-area resets, called by sim::Reset ----
void ResetWindowing();
void ResetMenus();
void ResetDialogs();
void ResetResources();
void ResetGraphics();
void ResetShell();
void ResetRegistry();
void ResetMemory();
void ResetHardware();
void ResetNotification();
void ResetSystem();
void ResetProcesses();
void ResetControls();
void ResetSysinfo();
// Closes a process handle from OpenProcess; false when `handle` is none.
bool CloseProcessHandle(plat::Handle handle);
// The system's current time zone bias, in minutes.
std::int32_t TimeZoneBias();

// Live counts of the areas that keep them to themselves (for sim::Live).
int LiveRegionCount();                     // memory.cpp: reserved and not yet released
int LiveSnapshotCount();                   // processes.cpp: toolhelp snapshots not yet closed
int OpenProcessHandleCount();              // processes.cpp
int OpenKernelObjectCount(bool searches);  // system.cpp: searches, or mutexes

// The kernel's processor information query (sysinfo.cpp), served through KernelIoControl.
bool AnswerProcessorQuery(void* output, std::uint32_t outputSize, std::uint32_t* returned);

}  // namespace sim::internal
