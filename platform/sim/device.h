// The simulated handheld: what tests seed, script and inspect around the program.
// Deterministic: virtual time, no threads, no real files or registry. Every test fixture calls
// sim::Reset() together with ResetAppState().
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/graphics.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/types.h"

namespace sim {

// A fresh default handheld:
//  - processor PXA27x: main ID 0x69054117, cache type 0x0B1AA1AA, CCCR 0x02000290, CLKCFG 3;
//  - screen 240 x 320, small icon 16, large icon 32; no rotation supported (query gives 0);
//  - files: "\Windows\Zorvik.exe"; Startup folder "\Windows\StartUp", fonts "\Windows\Fonts";
//  - GetIdleTime 1000; power status available (AC 1, battery flag 1, 80 %, 4000 mV, -150 mA,
//    every other field 0); memory 64 MiB total, 0x2A80000 bytes available (load 33, virtual
//    32 MiB total, 0x1C00000 available, no page file);
//  - empty registry, no other process's mutex or window, time 0, empty logs.
void Reset();

// ---- Virtual time and the script --------------------------------------------------------
// GetMessageW serves queued messages first; when the queue is empty it advances virtual time to
// the next timer or script action, whichever is due first. Once the queue is empty and no
// script action is left, it returns 0 with no quit message, which ends a scenario. Timers alone
// never keep a scenario going. A timer and an action due at the same time: the timer first.
// An action scheduled in the past runs at Now(); actions due together run in scheduling order.
std::uint32_t Now();
void At(std::uint32_t timeMs, std::function<void()> action);      // absolute virtual time
void After(std::uint32_t delayMs, std::function<void()> action);  // relative to Now()
bool ScenarioEnded();  // GetMessageW returned 0 because the script ran out (no quit message)

// ---- Windows and messages ---------------------------------------------------------------
struct WindowRecord {
  plat::Window Handle;
  std::u16string ClassName;
  std::u16string Title;
  bool Foreign;  // belongs to another process: messages to it are recorded, not delivered
  bool Destroyed;
};
const std::vector<WindowRecord>& Windows();
// A window of another process, e.g. a resident copy of the program seen by a second launch.
plat::Window AddForeignWindow(const std::u16string& className, const std::u16string& title);

struct PostedMessage {
  plat::Window Target;
  std::uint32_t Id;
  plat::WParam WParamValue;
  plat::LParam LParamValue;
  std::uint32_t TimeMs;
};
const std::vector<PostedMessage>& PostedMessages();  // every PostMessageW the program made

// Deliver a message as another process or the platform would. Posting fails for a dead or
// foreign window and for the system messages that carry pointers (WM_CREATE and the like),
// which only sending delivers. A posted WM_QUIT ends the message loop like PostQuitMessage.
bool Post(plat::Window window, std::uint32_t message, plat::WParam wParam, plat::LParam lParam);
plat::LResult Send(plat::Window window, std::uint32_t message, plat::WParam wParam,
                   plat::LParam lParam);
// The shell reports a mouse message on the tray icon: posts the icon's callback message.
void TapTrayIcon(std::uint32_t mouseMessage);

bool QuitPosted();
int QuitCode();

// What DefWindowProcW returns from now on (0 after Reset).
void SetDefaultProcessingResult(plat::LResult result);

// ---- Timers -----------------------------------------------------------------------------
struct TimerRecord {
  plat::Window Owner;
  std::uintptr_t Id;
  std::uint32_t PeriodMs;
  std::uint32_t NextDueMs;
};
std::vector<TimerRecord> Timers();  // the running ones
std::optional<TimerRecord> FindTimer(std::uintptr_t id);

// ---- Kernel objects and files -----------------------------------------------------------
void SetMutexHeldElsewhere(const std::u16string& name);  // another process created it
bool MutexCreated(const std::u16string& name);           // this process created or opened it
void AddFile(const std::u16string& path);
void RemoveFile(const std::u16string& path);
bool FileExists(const std::u16string& path);
void SetSpecialFolder(int csidl, const std::u16string& path);

// ---- Registry ---------------------------------------------------------------------------
// Key paths start with the root: u"HKLM\\SOFTWARE\\Brenmor\\Zorvik". Names are case-insensitive.
struct RegistryValue {
  std::uint32_t Type;
  std::vector<std::uint8_t> Data;
};
void CreateRegistryKey(const std::u16string& keyPath);
void SetRegistryValue(const std::u16string& keyPath, const std::u16string& name, std::uint32_t type,
                      std::vector<std::uint8_t> data);
void SetRegistryDword(const std::u16string& keyPath, const std::u16string& name,
                      std::uint32_t value);
bool RegistryKeyExists(const std::u16string& keyPath);
std::optional<RegistryValue> GetRegistryValue(const std::u16string& keyPath,
                                              const std::u16string& name);
std::optional<std::uint32_t> GetRegistryDword(const std::u16string& keyPath,
                                              const std::u16string& name);  // REG_DWORD only
std::vector<std::u16string> RegistryValueNames(const std::u16string& keyPath);

struct RegistryCall {
  std::string Operation;     // "open", "create", "query", "set", "close"
  std::u16string KeyPath;    // for open/create; the key's path for query/set/close
  std::u16string ValueName;  // for query/set
  std::uint32_t Access;      // for open/create
  long Result;
};
const std::vector<RegistryCall>& RegistryCalls();
// From now on the program's registry `operation` ("open", "create", "query" or "set") fails with
// `error` (5, access denied, unless given) and changes nothing; only for that key path and value
// name when they are given (a key path as RegistryCalls() writes it, "HKLM\SOFTWARE\..."). A
// failed open or create hands back no key. Reset() clears every one.
void FailRegistry(const std::string& operation, long error = 5, const std::u16string& keyPath = u"",
                  const std::u16string& valueName = u"");
int OpenRegistryKeyCount();  // opened or created and not yet closed

// ---- Message boxes and beeps ------------------------------------------------------------
struct MessageBoxRecord {
  plat::Window Owner;
  std::u16string Text;
  std::u16string Caption;
  std::uint32_t Style;
  int Answer;
};
// Answers for the next boxes, in order; without one a box answers IDOK (MB_OK style) or IDNO.
void AnswerNextMessageBox(int answer);
const std::vector<MessageBoxRecord>& MessageBoxes();
const std::vector<std::uint32_t>& Beeps();

// ---- Dialog boxes -----------------------------------------------------------------------
// A dialog's modal loop serves the queue, timers and script actions like the program's own loop;
// when the script runs out it presses Escape (WM_COMMAND IDCANCEL), and closes a dialog that
// ignores that.
struct DialogRecord {
  plat::Window Handle;
  int TemplateId;
  std::u16string Caption;
  plat::Window Owner;
  bool Open;
  plat::LResult Result;  // as given to EndDialog
  int BroughtForward;    // SetForegroundWindow calls on it
};
std::vector<DialogRecord> Dialogs();  // every dialog shown, in order
std::optional<DialogRecord> OpenDialog(int templateId);
// A press of a dialog's button (or of OK / Cancel): WM_COMMAND with `id` to its procedure.
// Call it from a script action while the dialog is open; returns the procedure's result.
plat::LResult SendDialogCommand(plat::Window dialog, int id);
const std::vector<plat::Window>& ForegroundRequests();  // every SetForegroundWindow, in order
void RemoveDialogResource(int id);  // FindResourceW no longer finds dialog template `id`

// ---- Processor --------------------------------------------------------------------------
struct Processor {
  std::uint32_t MainId;
  std::uint32_t CacheType;
  std::uint32_t Cccr;
  std::uint32_t Clkcfg;
  bool MapFails;      // VirtualCopy of the clock register is refused
  bool MainIdFaults;  // access faults, per coprocessor register and direction
  bool CacheTypeFaults;
  bool ClkcfgReadFaults;
  bool ClkcfgWriteFaults;
  bool CccrStoreFaults = false;  // a store through the clock register's mapping faults
};
// An access outside kernel mode faults too, whatever the switches say. A fault inside RunGuarded
// abandons the guarded body; outside one the access reads 0 and writes nothing. The call log
// records "KernelModeViolation" and "UnguardedFault" where they happen.
Processor& Cpu();  // seed before the program starts, inspect afterwards
const std::vector<std::uint32_t>& ClkcfgWrites();
const std::vector<std::uint32_t>& CccrWrites();
// The protection flags of every mapping of the clock register the program made, in order.
const std::vector<std::uint32_t>& ClockRegisterMappings();
bool InKernelMode();

// ---- Display and system queries ---------------------------------------------------------
void SetSystemMetric(int index, int value);         // SM_CXSMICON / SM_CXICON set the height too
void SetSupportedOrientations(std::uint32_t mask);  // what the orientation query reports
void SetOrientation(std::uint32_t orientation);     // the current one
std::uint32_t Orientation();                        // the current one, as the program left it
void SetIdleTime(std::uint32_t ms);                 // what GetIdleTime returns from now on
void SetIdleTimeReadings(std::vector<std::uint32_t> readings);  // then repeats the last
void SetPowerStatus(const plat::PowerStatusEx2& status, bool available);
const plat::PowerStatusEx2& PowerStatus();
std::vector<bool> PowerStatusUpdateFlags();  // the update argument of every call, in order
void SetMemoryStatus(const plat::MemoryStatus& status);

// ---- Tray icon, icons and bitmaps -------------------------------------------------------
struct TrayIconRecord {
  plat::NotifyIconData Data;  // as last added or modified
  int Adds;
  int Modifies;
  bool Present;
};
// The icon of (owner, id); nullptr when it was never added.
const TrayIconRecord* TrayIcon(plat::Window owner, std::uint32_t id);
const TrayIconRecord* FirstTrayIcon();

struct IconPixels {
  int Width;
  int Height;
  int ResourceId;                         // 100 for a resource icon (no pixels), 0 for a built one
  std::vector<std::uint8_t> Color;        // one palette index per pixel, row-major
  std::vector<std::uint8_t> Transparent;  // 1 = transparent
};
std::optional<IconPixels> GetIconPixels(plat::Icon icon);
int LiveIconCount();
int LiveBitmapCount();

// ---- Menus ------------------------------------------------------------------------------
struct MenuItem {
  std::uint32_t Id;  // 0 for separators and submenus
  std::u16string Text;
  bool Separator;
  bool Checked;
  bool Grayed;
  std::vector<MenuItem> Submenu;  // non-empty or IsPopup for a submenu entry
  bool IsPopup;
};
struct TrackedMenu {
  std::vector<MenuItem> Items;  // the popup as it was when tracked
  std::uint32_t Flags;
  int X;
  int Y;
  plat::Window Owner;
  bool EndedByProgram;  // closed by EndMenu
};
// While a menu is tracked, its modal loop dispatches every message already queued or queued
// meanwhile (a nested TrackPopupMenuEx shows as another tracked menu); the menu closes once the
// queue is empty, or at once without a command when its owner is destroyed or the program calls
// EndMenu. A quit message does not close it: the loop takes it, as the desktop's does. The command the next closing menu delivers
// (WM_COMMAND posted to the owner); 0 dismisses.
void ChooseNextMenuCommand(std::uint32_t id);
// The latest 16 tracked menus, oldest first.
const std::vector<TrackedMenu>& TrackedMenus();
int TrackedMenuCount();  // every menu tracked since the device was reset
int LiveMenuCount();     // every live menu handle, submenus included

// ---- Event registrations and the notification database -----------------------------------
// Records are lists of properties; the property identifier's low 16 bits give the type
// (plat::CEVT_LPWSTR = 31 for Text, anything else uses Number). CeRunAppAtEvent keeps one record
// of the platform's own layout per registration (WakeupRecord) and cancels by removing every
// record whose application property names the application (without regard to case). An open
// database reads the records as they were when it was opened.
struct NotificationProperty {
  std::uint32_t PropId;
  std::u16string Text;
  std::uint32_t Number;
};
using NotificationRecord = std::vector<NotificationProperty>;
inline constexpr std::uint32_t NotifyEventProperty = (1u << 16) | 19;  // unsigned 32-bit
inline constexpr std::uint32_t NotifyApplicationProperty = (2u << 16) | 31;
inline constexpr std::uint32_t NotifyArgumentsProperty = (3u << 16) | 31;
NotificationRecord WakeupRecord(const std::u16string& application);  // the platform's layout
void AddNotificationRecord(NotificationRecord record);               // appended, any layout
std::vector<NotificationRecord> NotificationRecords();
std::vector<std::u16string> WakeupRegistrations();  // one entry per registration, in order
struct EventRequest {
  std::u16string Application;
  std::uint32_t Event;
};
const std::vector<EventRequest>& EventRequests();  // every CeRunAppAtEvent, in order
int OpenDatabaseCount();                           // opened and not yet closed
int LiveRecordBuffers();  // allocated by CeReadRecordProps, not yet given to LocalFree

// ---- Shortcuts, programs and reboots ----------------------------------------------------
// SHCreateShortcut adds a file that remembers its target (it refuses to replace a file);
// DeleteFileW removes one. Either can be made to fail while the file set stays as it is.
void SetShortcutCreationFails(bool fails);
void SetFileDeletionFails(bool fails);
std::optional<std::u16string> ShortcutTarget(const std::u16string& path);

// CreateProcessW starts a program whose file exists, as given or in "\Windows".
struct StartedProcess {
  std::u16string Application;
  std::u16string CommandLine;
};
const std::vector<StartedProcess>& StartedProcesses();

// Every reboot asked for through KernelIoControl; the device refuses each, so the caller goes on.
struct RebootRecord {
  bool Clean;                               // SetCleanRebootFlag was called before it
  std::vector<std::u16string> WakeupsLeft;  // the event registrations still in place then
};
const std::vector<RebootRecord>& Reboots();
bool CleanRebootFlagSet();

// ---- Resource script --------------------------------------------------------------------
// The program's resources/zorvik.rc as the simulated loader reads it.
struct DialogControl {
  std::u16string Text;
  int Id;
  std::u16string ClassName;
  std::uint32_t Style;  // as written in the script (no implied WS_CHILD | WS_VISIBLE)
  int X, Y, Width, Height;
};
struct DialogTemplate {
  int Id;
  int X, Y, Width, Height;
  std::uint32_t Style;
  std::u16string Caption;
  int FontSize;
  std::u16string FontName;
  std::vector<DialogControl> Controls;
};
struct ResourceScript {
  std::vector<std::pair<int, std::vector<MenuItem>>> Menus;  // id, top-level entries
  std::vector<std::pair<int, std::u16string>> Strings;
  std::vector<DialogTemplate> Dialogs;
  std::vector<std::pair<int, std::string>> Icons;  // id, file name
  struct Custom {
    std::u16string Name;
    std::u16string Type;
    std::vector<std::uint8_t> Data;
  };
  std::vector<Custom> CustomResources;
};
const ResourceScript& Resources();

// ---- Processes and threads --------------------------------------------------------------
// The process table in snapshot order. The default device runs only the program's own process,
// ProgramProcessId, "Zorvik.exe" at "\Windows\Zorvik.exe" with one thread.
inline constexpr std::uint32_t ProgramProcessId = 0x100;
struct ThreadRecord {
  std::uint32_t Id;
  std::int32_t BasePriority;
  std::uint64_t Creation;  // file time, UTC
  std::uint64_t Kernel;    // durations in 100 ns units
  std::uint64_t User;
  bool TimesUnreadable;  // GetThreadTimes fails for it
};
struct ProcessRecord {
  std::uint32_t Id;
  std::u16string ExeFile;
  std::u16string Path;  // what GetModuleFileNameW gives
  std::vector<ThreadRecord> Threads;
  bool Protected;  // TerminateProcess fails on it
};
void AddProcess(const ProcessRecord& process);
std::vector<ProcessRecord> Processes();  // the running ones
bool ProcessRunning(std::uint32_t id);
// The process ends right after the next snapshot is taken, before anything else is asked of it.
void EndProcessAfterNextSnapshot(std::uint32_t id);
void SetSnapshotFails(bool fails);
// A top-level window of another process.
plat::Window AddProcessWindow(std::uint32_t processId, const std::u16string& title, bool visible);
void SetShellWindow(plat::Window window);         // what GetShellWindow returns (0 by default)
std::vector<std::uint32_t> PermissionRequests();  // every SetProcPermissions mask, in order
void SetTimeZoneBias(std::int32_t minutes);       // local time = UTC - bias
// A file with its size (added to the file set); files without a size read as 0 bytes.
void SetFileSize(const std::u16string& path, std::uint64_t size);
// The file whose shell icon an icon handle was made from ("" for any other icon).
std::u16string ShellIconSource(plat::Icon icon);

// ---- List views, tree views and image lists ---------------------------------------------
struct ListViewRow {
  std::vector<std::u16string> Cells;  // column 0 is the item text
  int Image;
  plat::LParam Parameter;
  bool Selected;
};
struct ListViewRecord {
  std::vector<std::u16string> Columns;
  std::vector<int> Widths;
  std::uint32_t ExtendedStyle;
  std::vector<ListViewRow> Rows;
  plat::ImageList SmallImages;
};
std::optional<ListViewRecord> ListView(plat::Window list);
void SelectRow(plat::Window list, int index);  // the user taps a row (single selection)
struct TreeItemRecord {
  std::u16string Text;
  std::vector<TreeItemRecord> Children;
};
std::vector<TreeItemRecord> TreeItems(plat::Window tree);  // the top-level items
struct ImageListRecord {
  int Width;
  int Height;
  std::uint32_t Flags;
  std::vector<std::u16string> Sources;  // per image: ShellIconSource of the icon copied in
  bool Destroyed;
};
std::optional<ImageListRecord> GetImageList(plat::ImageList images);
int LiveImageListCount();  // not destroyed, by the program or with the list that owned it

// ---- System information -----------------------------------------------------------------
struct SystemInfo {
  bool ProcessorQueryWorks;
  std::u16string Vendor;
  std::u16string ProcessorName;
  std::uint32_t StoreSize;
  std::uint32_t StoreFree;
  int StorageCards;
  std::uint32_t Major, Minor, Build;
  std::uint32_t OemCodePage, AnsiCodePage;
  std::uint16_t Language;
};
// Defaults: query works ("Intel", "PXA270"), store 32 MiB with 12 MiB free, no cards, version
// 4.21 build 1088, code pages 866 and 1251, language 1049.
SystemInfo& Info();

// ---- Live counts ------------------------------------------------------------------------
// What the program holds open right now, by kind: a leak shows as a count that keeps growing
// over repeated work, a handle left open as one above its count before the work.
struct LiveCounts {
  int Windows;  // of this process, not yet destroyed
  int Bitmaps, Icons, Menus, ImageLists;
  int RegistryKeys, Databases, RecordBuffers;
  int MemoryRegions;  // reserved (and perhaps mapped) and not yet released
  int Snapshots, ProcessHandles, Searches, Mutexes;
  bool operator==(const LiveCounts&) const = default;
};
LiveCounts Live();

// ---- Call log ---------------------------------------------------------------------------
// Every platform operation the program made, in order: the operation's name as in platform/*.h.
const std::vector<std::string>& CallLog();
void ClearCallLog();
// Index of the first call named `name` at or after `from`, or -1.
int FindCall(const std::string& name, int from = 0);

// ---- Heap use of the program --------------------------------------------------------------
// Allocations made by the program's own code (those the simulated platform makes for its own
// bookkeeping are not counted), since the last reset of the counter.
std::uint64_t ProgramHeapAllocations();
void ResetProgramHeapAllocations();  // Reset() resets it too
// Every allocation since the process began, the simulated platform's own included.
std::uint64_t AllHeapAllocations();
// Calls `hook` (none: nullptr) each time running code passes between the program and the
// simulated platform, so that a profiler can count the program's share alone.
void SetPlatformBoundaryHook(void (*hook)());

}  // namespace sim
