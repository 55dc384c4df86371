// The simulated handheld: one device record that tests seed and read directly, as the simulated
// platform (platform/sim/*.cpp) keeps and changes it. Deterministic: virtual time, no threads, no
// real files or registry. Every test fixture calls sim::Reset() together with ResetAppState().
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/dialogs.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/toolhelp.h"
#include "platform/types.h"
#include "platform/windowing.h"

namespace sim {

// Compares without regard to case (Latin and Cyrillic letters), as the handheld compares names.
struct NoCase {
  using is_transparent = void;
  bool operator()(std::u16string_view a, std::u16string_view b) const;
};
bool EqualNoCase(std::u16string_view a, std::u16string_view b);

// ---- Virtual time and the script ---------------------------------------------------------
// GetMessageW serves queued messages first; when the queue is empty it advances virtual time to
// the next timer or script action, whichever is due first. Once the queue is empty and no action
// is left, it returns 0 with no quit message and sets Ended, which ends a scenario. Timers alone
// never keep a scenario going. A timer and an action due at the same time: the timer first. An
// action scheduled in the past runs at Now; actions due together run in scheduling order.
struct Script {
  std::uint32_t Now = 0;  // milliseconds
  std::map<std::pair<std::uint32_t, std::uint64_t>, std::function<void()>> Actions{};
  std::uint64_t Scheduled = 0;  // actions scheduled so far: the order of those due together
  bool Ended = false;
  // The scripted user: the command the next closing menu delivers (0 dismisses), and the answers
  // to the next message boxes in order (without one a box answers IDOK for MB_OK, else IDNO).
  std::uint32_t MenuChoice = 0;
  std::deque<int> BoxAnswers{};
};
void At(std::uint32_t timeMs, std::function<void()> action);      // absolute virtual time
void After(std::uint32_t delayMs, std::function<void()> action);  // relative to Now

// ---- Processor ---------------------------------------------------------------------------
// An access outside kernel mode faults too, whatever the switches say. A fault inside
// RunGuarded abandons the guarded body; outside one the access reads 0 and writes nothing. The
// call log records "KernelModeViolation" and "UnguardedFault" where they happen.
struct Processor {
  std::uint32_t MainId = 0x69054117;  // PXA27x
  std::uint32_t CacheType = 0x0B1AA1AA, Cccr = 0x02000290, Clkcfg = 3;
  bool MapFails = false;      // VirtualCopy of the clock register is refused
  bool MainIdFaults = false;  // access faults, per coprocessor register and direction
  bool CacheTypeFaults = false, ClkcfgReadFaults = false, ClkcfgWriteFaults = false;
  bool CccrStoreFaults = false;  // a store through the clock register's mapping faults
  bool KernelMode = false;       // as SetKMode left it
};
// Reserved address space; a mapped region's first cell is the clock register CCCR.
struct Region {
  std::vector<std::uint32_t> Cells{};
  bool Mapped = false;
  std::uint32_t Protect = 0;
  std::uint32_t Loaded = 0;  // the register's value when mapped
};

// ---- Windows, the message queue, timers --------------------------------------------------
inline constexpr std::uint32_t ProgramProcessId = 0x100;
// A window's handle is its position in Ui.Windows plus one.
struct WindowRecord {
  plat::Window Handle{};
  std::u16string ClassName{};
  std::u16string Title{};
  std::uint32_t ProcessId = 0;  // another process's window: messages to it are recorded only
  bool Visible = false;
  bool Control = false;  // a dialog's control, never a top-level window
  bool Destroyed = false;
  plat::WindowProc Procedure = nullptr;
  bool RedrawOff = false;  // a control's drawing, as SetWindowRedraw left it
  int Redraws = 0;         // drawn again: at each change of its rows while drawing is on, and on it
  plat::WindowProc Subclass = nullptr;  // the program's, in front of Procedure
};
struct TimerRecord {
  plat::Window Owner{};
  std::uintptr_t Id = 0;
  std::uint32_t PeriodMs = 0, NextDueMs = 0;
};
struct QueuedMessage {
  plat::Message Message{};
  bool Quit = false;  // PostQuitMessage's
};
struct Ui {
  std::vector<WindowRecord> Windows{};
  std::vector<std::pair<std::u16string, plat::WindowProc>> Classes{};  // atom 0xC000 + position
  std::deque<QueuedMessage> Queue{};
  std::vector<TimerRecord> Timers{};  // the running ones, by creation: the order of ties
  std::uintptr_t NextThreadTimer = 0x7F00;
  bool QuitPosted = false;
  int QuitCode = 0;
  plat::LResult DefaultResult = 0;            // what DefWindowProcW returns
  std::uint32_t InSend = plat::ISMEX_NOSEND;  // what InSendMessageEx reports now
  plat::Window ShellWindow{};                 // what GetShellWindow returns
};

// ---- Registry ----------------------------------------------------------------------------
// Key paths start with the root as the call log writes them: u"HKLM\\SOFTWARE\\Brenmor\\Zorvik".
// A key's parents exist with it. Names of keys and values are compared without regard to case.
struct RegistryValue {
  std::uint32_t Type = 0;
  std::vector<std::uint8_t> Data{};
};
RegistryValue DwordValue(std::uint32_t value);  // a REG_DWORD
using RegistryKey = std::map<std::u16string, RegistryValue, NoCase>;
struct Registry {
  std::map<std::u16string, RegistryKey, NoCase> Keys{};
  std::map<std::uintptr_t, std::u16string> Open{};  // handles opened or created, not yet closed
  std::uintptr_t NextHandle = 0x40001;
  // The value `name` of key `key`; nullptr when either is missing.
  const RegistryValue* Value(std::u16string_view key, std::u16string_view name) const;
  // A REG_DWORD value; nothing for a missing key or value or one of another type or size.
  std::optional<std::uint32_t> Dword(std::u16string_view key, std::u16string_view name) const;
};

// ---- Files -------------------------------------------------------------------------------
// Paths without regard to case; folders exist implicitly above files. SHCreateShortcut adds a
// file that remembers its target.
struct File {
  std::u16string Path{};
  std::uint64_t Size = 0;
  std::u16string ShortcutTarget{};
};
File* FindFile(std::u16string_view path);  // nullptr when there is none

// ---- Tray icon, bitmaps and icons --------------------------------------------------------
struct TrayIconRecord {
  plat::NotifyIconData Data{};  // as last added or modified
  int Adds = 0, Modifies = 0;
  bool Present = false;
};
struct BitmapRecord {
  int Width = 0, Height = 0;
  std::uint32_t BitsPerPixel = 0;
  std::vector<std::uint8_t> Bits{};  // rows top-down, each padded to 16 bits, high bits first
};
struct IconPixels {
  int Width = 0, Height = 0;
  int ResourceId = 0;                       // 100 for a resource icon (no pixels), 0 otherwise
  std::vector<std::uint8_t> Color{};        // one palette index per pixel, row-major
  std::vector<std::uint8_t> Transparent{};  // 1 = transparent
  std::u16string ShellFile{};               // the file whose shell icon it is, else ""
};
struct Graphics {
  std::map<plat::Bitmap, BitmapRecord> Bitmaps{};  // live ones
  std::map<plat::Icon, IconPixels> Icons{};        // live ones
  std::uintptr_t NextBitmap = 0x20001, NextIcon = 0x30001;
};

// ---- Menus -------------------------------------------------------------------------------
struct MenuItem {
  std::uint32_t Id = 0;  // 0 for separators and submenus
  std::u16string Text{};
  bool Separator = false, Checked = false, Grayed = false;
  std::vector<MenuItem> Submenu{};  // for a submenu entry (IsPopup)
  bool IsPopup = false;
};
struct MenuEntry {  // an item of a live menu
  std::uint32_t Id = 0;
  std::u16string Text{};
  bool Separator = false, Checked = false, Grayed = false;
  plat::Menu Submenu{};  // of a popup entry
};
// While a menu is tracked, its modal loop dispatches every message already queued or queued
// meanwhile (a nested TrackPopupMenuEx shows as another tracked menu); the menu closes once the
// queue is empty, or at once without a command when its owner is destroyed or the program calls
// EndMenu. A quit message does not close it: the loop takes it, as the desktop's does. Closing,
// it delivers Script.MenuChoice (WM_COMMAND posted to the owner).
struct TrackedMenu {
  std::vector<MenuItem> Items{};  // the popup as it was when tracked
  std::uint32_t Flags = 0;
  int X = 0, Y = 0;
  plat::Window Owner{};
  bool EndedByProgram = false;  // closed by EndMenu
};
struct Menus {
  std::map<plat::Menu, std::vector<MenuEntry>> Live{};  // every live menu, submenus included
  std::uintptr_t NextHandle = 0x10001;
  int Depth = 0;        // menus being tracked now
  bool Ending = false;  // EndMenu was called while one was tracked
};

// ---- Dialogs and their controls ----------------------------------------------------------
// A dialog's modal loop serves the queue, timers and script actions like the program's own loop;
// when the script runs out the user presses Escape (WM_COMMAND IDCANCEL), and a dialog that
// ignores that is closed. The record stays, with its handle, after the dialog ends.
struct DialogRecord {
  plat::Window Handle{};
  int TemplateId = 0;
  std::u16string Caption{};
  plat::Window Owner{};
  bool Open = false;
  plat::LResult Result = 0;  // as given to EndDialog
  int BroughtForward = 0;    // SetForegroundWindow calls on it
  plat::DialogProc Procedure = nullptr;
  std::vector<std::pair<int, plat::Window>> Controls{};  // id, window
  bool Removed = false;  // its loop returned and its windows are gone
};
DialogRecord* OpenDialog(int templateId);  // the open dialog of a template, nullptr if none

struct ListViewRow {
  std::vector<std::u16string> Cells{};  // column 0 is the item text
  int Image = -1;
  plat::LParam Parameter = 0;
  bool Selected = false;
};
struct ListViewRecord {
  std::vector<std::u16string> Columns{};
  std::vector<int> Widths{};
  std::uint32_t ExtendedStyle = 0;
  std::vector<ListViewRow> Rows{};
  plat::ImageList SmallImages{};
};
struct TreeItemRecord {
  std::uintptr_t Handle = 0;
  std::u16string Text{};
  std::vector<TreeItemRecord> Children{};
};
struct ImageListRecord {
  int Width = 0, Height = 0;
  std::uint32_t Flags = 0;
  std::vector<std::u16string> Sources{};  // per image: the ShellFile of the icon copied in
  std::vector<std::vector<std::uint8_t>> Transparent{};  // per image: the copied icon's mask
  bool Destroyed = false;
};
// A control is any live window of its class; an image list given to a list view goes with it
// when the list's window is destroyed, as on the handheld.
struct Controls {
  std::map<plat::Window, ListViewRecord> Lists{};
  std::map<plat::Window, std::vector<TreeItemRecord>> Trees{};  // the top-level items
  std::map<plat::ImageList, ImageListRecord> ImageLists{};
  std::uintptr_t NextTreeItem = 0x90001, NextImageList = 0x80001;
};

// ---- Processes and threads ---------------------------------------------------------------
struct ThreadRecord {
  std::uint32_t Id = 0;
  std::int32_t BasePriority = 0;
  std::uint64_t Creation = 0;          // file time, UTC
  std::uint64_t Kernel = 0, User = 0;  // durations in 100 ns units
  bool TimesUnreadable = false;        // GetThreadTimes fails for it
};
struct ProcessRecord {
  std::uint32_t Id = 0;
  std::u16string ExeFile{};
  std::u16string Path{};  // what GetModuleFileNameW gives
  std::vector<ThreadRecord> Threads{};
  bool Protected = false;  // TerminateProcess fails on it
};
struct Snapshot {
  std::vector<plat::ProcessEntry> Processes{};
  std::vector<plat::ThreadEntry> Threads{};
  std::size_t Next = 0;
};
struct Processes {
  // In snapshot order. The default device runs only the program's own process, ProgramProcessId,
  // "Zorvik.exe" at "\Windows\Zorvik.exe" with one thread.
  std::vector<ProcessRecord> Running{{ProgramProcessId,
                                      u"Zorvik.exe",
                                      u"\\Windows\\Zorvik.exe",
                                      {{ProgramProcessId + 1, 251, 0, 0, 0, false}},
                                      false}};
  std::vector<std::uint32_t> EndAfterSnapshot{};       // end right after the next snapshot is taken
  std::map<std::uintptr_t, Snapshot> Snapshots{};      // not yet closed
  std::map<std::uintptr_t, std::uint32_t> Handles{};   // from OpenProcess: the process id
  std::map<std::uint32_t, std::uint32_t> ExitCodes{};  // of every terminated process, by id
  std::uintptr_t NextSnapshot = 0x70001, NextHandle = 0x78001;
};

// ---- Event registrations and the notification database -----------------------------------
// Records are lists of properties; the property identifier's low 16 bits give the type
// (plat::CEVT_LPWSTR = 31 for Text, anything else uses Number). CeRunAppAtEvent keeps one record
// of the platform's own layout per registration (WakeupRecord) and cancels by removing every
// record whose application property names the application (without regard to case). An open
// database reads the records as they were when it was opened.
struct NotificationProperty {
  std::uint32_t PropId = 0;
  std::u16string Text{};
  std::uint32_t Number = 0;
};
using NotificationRecord = std::vector<NotificationProperty>;
inline constexpr std::uint32_t NotifyEventProperty = (1u << 16) | 19;  // unsigned 32-bit
inline constexpr std::uint32_t NotifyApplicationProperty = (2u << 16) | 31;
inline constexpr std::uint32_t NotifyArgumentsProperty = (3u << 16) | 31;
NotificationRecord WakeupRecord(const std::u16string& application);  // the platform's layout
struct OpenDatabase {
  std::vector<NotificationRecord> Records{};  // as at the opening
  std::size_t Position = 0;
};
struct Notifications {
  std::vector<NotificationRecord> Records{};
  std::map<std::uintptr_t, OpenDatabase> Open{};
  std::uintptr_t NextHandle = 0x60001;
  // Buffers CeReadRecordProps allocated, not yet given to LocalFree.
  std::map<void*, std::unique_ptr<std::uint64_t[]>> Buffers{};
  // The application of every wake-up registration, one entry per registration, in order.
  std::vector<std::u16string> Wakeups() const;
};

// ---- System values, kernel objects ------------------------------------------------------
struct KernelObject {
  std::u16string Mutex{};                 // a mutex's name; a search when Searching
  bool Searching = false;                 // a file or storage-card search
  std::vector<plat::FindData> Matches{};  // a search: every entry found
  std::size_t Next = 0;                   // the entry FindNextFileW returns
};
struct SystemValues {
  std::map<int, int> Metrics = {{plat::SM_CXSCREEN, 240}, {plat::SM_CYSCREEN, 320},
                                {plat::SM_CXICON, 32},    {plat::SM_CYICON, 32},
                                {plat::SM_CXSMICON, 16},  {plat::SM_CYSMICON, 16}};
  std::uint32_t SupportedOrientations = 0;  // what the orientation query reports
  std::uint32_t Orientation = plat::DMDO_0;
  std::deque<std::uint32_t> IdleReadings = {1000};  // GetIdleTime's, then the last repeats
  plat::PowerStatusEx2 Power = [] {
    plat::PowerStatusEx2 status{};
    status.ACLineStatus = 1;
    status.BatteryFlag = 1;
    status.BatteryLifePercent = 80;
    status.BatteryVoltage = 4000;
    status.BatteryCurrent = -150;
    return status;
  }();
  bool PowerAvailable = true;
  plat::MemoryStatus Memory = {32, 33, 0x4000000, 0x2A80000, 0, 0, 0x2000000, 0x1C00000};
  bool ProcessorQueryWorks = true;  // KernelIoControl's processor information
  std::u16string Vendor = u"Intel";
  std::u16string ProcessorName = u"PXA270";
  std::uint32_t StoreSize = 32u << 20, StoreFree = 12u << 20;
  int StorageCards = 0;
  std::uint32_t Major = 4, Minor = 21, Build = 1088;
  std::uint32_t OemCodePage = 866, AnsiCodePage = 1251;
  std::uint16_t Language = 1049;
  std::int32_t TimeZoneBias = 0;  // minutes: local time = UTC - bias
  std::map<int, std::u16string> Folders = {{plat::CSIDL_STARTUP, u"\\Windows\\StartUp"},
                                           {plat::CSIDL_FONTS, u"\\Windows\\Fonts"}};
  std::vector<std::u16string> MutexesElsewhere{};  // created by another process
  std::vector<std::u16string> MutexesCreated{};    // created or opened by this one
  std::map<std::uintptr_t, KernelObject> Handles{};
  std::uintptr_t NextHandle = 0x50001;
  std::uint32_t LastError = 0;
  bool CleanRebootFlag = false;
};

// ---- Injected failures --------------------------------------------------------------------
// A registry `Operation` ("open", "create", "query" or "set") fails with `Error` and changes
// nothing; only for that key path and value name when they are given. A failed open or create
// hands back no key.
struct RegistryFailure {
  std::string Operation{};
  long Error = 5;  // access denied
  std::u16string KeyPath{};
  std::u16string ValueName{};
};
struct Faults {
  std::vector<RegistryFailure> Registry{};
  bool SnapshotFails = false;
  bool ShortcutCreationFails = false;  // the file set stays as it is
  bool FileDeletionFails = false;
  std::uint32_t FailingBitmapBits = 0;     // bitmaps of this depth cannot be made
  std::set<int> MissingDialogs{};          // dialog templates FindResourceW no longer finds
  bool NotificationDatabaseFails = false;  // CeOpenDatabase refuses
  bool ObjectInfoFails = false;            // CeOidGetInfo refuses
  bool ReservationFails = false;           // VirtualAlloc grants no address space
  bool IconLoadFails = false;              // LoadImageW finds no icon
  bool WindowCreationFails = false;        // CreateWindowExW makes no window
};

// ---- What the program did, in order -------------------------------------------------------
struct PostedMessage {
  plat::Window Target{};
  std::uint32_t Id = 0;
  plat::WParam WParamValue = 0;
  plat::LParam LParamValue = 0;
  std::uint32_t TimeMs = 0;
};
struct RegistryCall {
  std::string Operation{};     // "open", "create", "query", "set", "close"
  std::u16string KeyPath{};    // the key's path
  std::u16string ValueName{};  // for query/set
  std::uint32_t Access = 0;    // for open/create
  long Result = 0;
};
struct MessageBoxRecord {
  plat::Window Owner{};
  std::u16string Text{};
  std::u16string Caption{};
  std::uint32_t Style = 0;
  int Answer = 0;
};
struct EventRequest {
  std::u16string Application{};
  std::uint32_t Event = 0;
};
struct StartedProcess {
  std::u16string Application{};
  std::u16string CommandLine{};
};
// A reboot asked for through KernelIoControl; the device refuses each, so the caller goes on.
struct RebootRecord {
  bool Clean = false;                         // SetCleanRebootFlag was called before it
  std::vector<std::u16string> WakeupsLeft{};  // the event registrations still in place then
};
// One access to a coprocessor register or a store through the clock register's mapping.
struct RegisterAccess {
  std::string_view Operation{};  // the platform operation: "ReadClockConfig", "StoreMappedWord"...
  std::uint32_t Value = 0;       // read or written (0 when it faulted)
  bool KernelMode = false;       // the mode it was made in
  bool Faulted = false;
};
struct Log {
  // Every platform operation the program made, by its name in platform/*.h, and the
  // "KernelModeViolation", "UnguardedFault", "LocalFreeOfUnknownMemory" and
  // "DestroyIconOfUnknownIcon" the device saw.
  std::vector<std::string_view> Calls{};
  std::vector<PostedMessage> Posted{};  // every PostMessageW
  std::vector<RegistryCall> Registry{};
  std::vector<MessageBoxRecord> Boxes{};
  std::vector<std::uint32_t> Beeps{};
  std::vector<plat::Window> Foreground{};  // every SetForegroundWindow
  std::vector<TrackedMenu> Menus{};        // the latest 16 tracked menus, oldest first
  int MenuTrackings = 0;                   // every menu tracked
  std::vector<EventRequest> Events{};      // every CeRunAppAtEvent
  std::vector<StartedProcess> Started{};   // every CreateProcessW that started one
  std::vector<RebootRecord> Reboots{};
  std::vector<std::uint32_t> Permissions{};  // every SetProcPermissions mask
  std::vector<bool> PowerUpdates{};          // GetSystemPowerStatusEx2's update argument
  std::vector<RegisterAccess> Accesses{};
  std::vector<std::uint32_t> CccrWrites{};  // values that reached the clock register
  std::vector<std::uint32_t> ClkcfgWrites{};
  std::vector<std::uint32_t> Mappings{};  // the protection of every mapping of the clock register
};

// ---- The device --------------------------------------------------------------------------
struct Handheld {
  sim::Script Script;
  Processor Cpu;
  std::map<std::uintptr_t, Region> Regions;  // by address
  sim::Ui Ui;
  sim::Registry Registry;
  std::vector<File> Files = {{u"\\Windows\\Zorvik.exe"}};
  std::vector<TrayIconRecord> Tray;  // by first add
  sim::Graphics Graphics;
  sim::Menus Menus;
  std::vector<DialogRecord> Dialogs;  // every dialog shown, in order
  sim::Controls Controls;
  sim::Processes Processes;
  sim::Notifications Notifications;
  SystemValues System;
  sim::Faults Faults;
  sim::Log Log;
};
Handheld& Device();
void Reset();  // a fresh default handheld; the resource script stays read

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

// ---- What another process, the shell or the user does -----------------------------------
// Posting fails for a dead or foreign window and for the system messages that carry pointers
// (WM_CREATE and the like), which only sending delivers. A posted WM_QUIT ends the message loop
// like PostQuitMessage. A message sent from another thread has InSendMessageEx report
// ISMEX_SEND while it is handled, in the calls it leads to as well.
bool Post(plat::Window window, std::uint32_t message, plat::WParam wParam, plat::LParam lParam);
plat::LResult Send(plat::Window window, std::uint32_t message, plat::WParam wParam,
                   plat::LParam lParam, bool fromOtherThread = false);
// The shell reports a mouse message on the tray icon: posts the icon's callback message.
void TapTrayIcon(std::uint32_t mouseMessage);
// A press of a dialog's button (or of OK / Cancel) while it is open: WM_COMMAND with `id` to its
// procedure; returns the procedure's result.
plat::LResult SendDialogCommand(plat::Window dialog, int id);
void SelectRow(plat::Window list, int index);  // a tap on a list's row (single selection)

// ---- The resource script -----------------------------------------------------------------
// The program's resources/zorvik.rc as the simulated loader reads it, once per process.
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
// Parses the text of a resource script; stops the process with the line on anything unknown.
ResourceScript ParseResourceScript(std::string_view text, const std::string& fileName);

// ---- The platform mark -------------------------------------------------------------------
// How deep running code is inside the simulated platform: 0 while the program's own code runs.
// Every platform operation raises it for its duration (SIM_CALL), and the platform lowers it to 0
// wherever it calls program code (CallProgram). The boundary hook, when set, is called each time
// the depth leaves or reaches 0, so that a profiler can tell the program's share.
extern int PlatformDepth;
extern void (*PlatformBoundaryHook)();
void LogCall(std::string_view name);
// Calls the hook when the depth crosses 0. Inline, like the mark, so that as little of the
// platform's own work as can be runs on the program's side of the hook.
inline void SetPlatformDepth(int depth) {
  const bool crossed = (PlatformDepth == 0) != (depth == 0);
  PlatformDepth = depth;
  if (crossed && PlatformBoundaryHook != nullptr) PlatformBoundaryHook();
}
struct PlatformMark {
  explicit PlatformMark(const char* name) {
    SetPlatformDepth(PlatformDepth + 1);
    LogCall(name);
  }
  ~PlatformMark() { SetPlatformDepth(PlatformDepth - 1); }
  PlatformMark(const PlatformMark&) = delete;
  PlatformMark& operator=(const PlatformMark&) = delete;
};
// Opens every platform operation: marks the platform and logs the call by the function's name.
#define SIM_CALL() const ::sim::PlatformMark simPlatformMark_(__func__)

// The one way the simulated platform runs program code (window and dialog procedures, callbacks,
// the guarded body): with the mark lifted.
template <typename Call>
decltype(auto) CallProgram(Call&& call) {
  struct Lifted {
    int Saved = PlatformDepth;
    Lifted() { SetPlatformDepth(0); }
    ~Lifted() { SetPlatformDepth(Saved); }
  } lifted;
  return call();
}

// ---- For the simulated platform's own files ----------------------------------------------
WindowRecord* FindWindow(plat::Window window);       // any window ever made; nullptr if none
plat::WindowProc OwnProcedure(plat::Window window);  // of a live window of this process
// Queues a message as the platform does (not recorded as the program's PostMessageW).
void QueueMessage(plat::Window window, std::uint32_t message, plat::WParam wParam,
                  plat::LParam lParam);
// A window of this process made by the platform itself (dialogs and their controls).
plat::Window NewWindow(const std::u16string& className, const std::u16string& title,
                       plat::WindowProc procedure, bool control);
// Destroys a live window: WM_DESTROY to its procedure, its timers stopped.
void RemoveWindow(plat::Window window);
// One turn of a modal loop: takes the next message as GetMessageW does and dispatches it, but
// one of a pointer-carrying kind (plat::UnsafeFromOutside). A quit message is left queued for
// the outer loop.
enum class PumpResult { Dispatched, Quit, ScenarioEnded };
PumpResult PumpOneMessage();
// A fresh icon of `width` x `height` with no pixels.
plat::Icon NewIcon(int resourceId, int width, int height);
// An access fault: back to the innermost RunGuarded (stops the process outside one).
[[noreturn]] void RaiseAccessFault(const char* operation);

std::u16string FromZ(const char16_t* text);  // nullptr gives ""
std::u16string FromUtf8(std::string_view text);
std::string ToUtf8(std::u16string_view text);
// Copies at most capacity - 1 characters and the terminator; returns the characters copied.
int CopyBounded(std::u16string_view text, char16_t* out, int capacity);

}  // namespace sim
