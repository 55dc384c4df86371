// Windows, the message queue, timers and the top-level window enumeration over the Windows API.
// Windows API only; no program logic. The program's window procedures are reached through
// fixed trampolines, one per registered class.
#include <array>
#include <utility>

#include "platform/win32/windows_api.h"

using win32::ToPlatform;
using win32::ToWindows;
using win32::Wide;

namespace {

// ---- Window procedures ------------------------------------------------------------------
// Each registered class gets a slot; the slot's trampoline is the class procedure Windows
// calls, and it hands every message to the program's procedure in that slot. Windows
// created from the class thus reach the program's procedure from their first message on.
constexpr std::size_t ClassSlotCount = 8;
std::array<plat::WindowProc, ClassSlotCount> slotProcedures{};

template <std::size_t Slot>
LRESULT CALLBACK Trampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return slotProcedures[Slot](ToPlatform<plat::Window>(window), message, wParam, lParam);
}

template <std::size_t... Slots>
constexpr std::array<WNDPROC, sizeof...(Slots)> MakeTrampolines(std::index_sequence<Slots...>) {
  return {&Trampoline<Slots>...};
}
constexpr std::array<WNDPROC, ClassSlotCount> trampolines =
    MakeTrampolines(std::make_index_sequence<ClassSlotCount>{});

// A class background as the desktop takes it: the handheld asks for a system-colour brush by
// colour index with this flag, the desktop by the index plus one.
constexpr std::uintptr_t SystemColourBrushFlag = 0x40000000;

std::uintptr_t DesktopBrush(std::uintptr_t value) {
  if ((value & SystemColourBrushFlag) != 0 && (value & ~SystemColourBrushFlag) < 0x100) {
    return (value & ~SystemColourBrushFlag) + 1;
  }
  return value;
}

// ---- Messages ---------------------------------------------------------------------------
// The platform's message record drops the time and cursor position; the loop hands back the
// record GetMessageW filled, so keep the full one for TranslateMessage and DispatchMessageW.
MSG lastMessage{};

MSG FullMessage(const plat::Message& message) {
  MSG full{};
  full.hwnd = ToWindows<HWND>(message.Target);
  full.message = message.Id;
  full.wParam = message.WParamValue;
  full.lParam = message.LParamValue;
  if (full.hwnd == lastMessage.hwnd && full.message == lastMessage.message &&
      full.wParam == lastMessage.wParam && full.lParam == lastMessage.lParam) {
    return lastMessage;
  }
  full.time = ::GetMessageTime();
  const DWORD position = ::GetMessagePos();
  full.pt = POINT{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  return full;
}

// ---- The top-level windows of every process ----------------------------------------------
// The program's callback and its parameter, reached from the desktop's callback.
struct Enumeration {
  plat::EnumWindowsProc Callback;
  LPARAM Parameter;
};

BOOL CALLBACK EnumerationTrampoline(HWND window, LPARAM context) {
  const auto* enumeration = reinterpret_cast<const Enumeration*>(context);
  return enumeration->Callback(ToPlatform<plat::Window>(window), enumeration->Parameter) != 0;
}

// The system's modal loops offer each message to the thread's message filter first; one the
// filter answers non-zero is taken off the queue and given to no window.
LRESULT CALLBACK DropPostedPointers(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* message = reinterpret_cast<const MSG*>(lParam);
  if (code >= 0 && plat::UnsafeFromOutside(message->message, plat::Delivery::Posted)) return TRUE;
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// A subclassed control's messages reach the program's procedure, given as the reference data.
LRESULT CALLBACK SubclassTrampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR procedure) {
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(window, &SubclassTrampoline, 1);
  return reinterpret_cast<plat::WindowProc>(procedure)(ToPlatform<plat::Window>(window), message,
                                                       wParam, lParam);
}

}  // namespace

win32::PostedPointerFilter::PostedPointerFilter()
    : hook_(::SetWindowsHookExW(WH_MSGFILTER, &DropPostedPointers, nullptr,
                                ::GetCurrentThreadId())) {}

win32::PostedPointerFilter::~PostedPointerFilter() {
  if (hook_ != nullptr) ::UnhookWindowsHookEx(hook_);
}

namespace plat {

std::uint16_t RegisterClassW(const WindowClass& windowClass) {
  std::size_t slot = 0;
  while (slot < ClassSlotCount && slotProcedures[slot] != nullptr) ++slot;
  if (slot == ClassSlotCount || windowClass.Procedure == nullptr) {
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  WNDCLASSW desktopClass{};
  desktopClass.style = windowClass.Style;
  desktopClass.lpfnWndProc = trampolines[slot];
  desktopClass.cbClsExtra = windowClass.ClassExtra;
  desktopClass.cbWndExtra = windowClass.WindowExtra;
  desktopClass.hInstance = ToWindows<HINSTANCE>(windowClass.Module);
  desktopClass.hIcon = ToWindows<HICON>(windowClass.ClassIcon);
  desktopClass.hCursor = reinterpret_cast<HCURSOR>(windowClass.Cursor);
  desktopClass.hbrBackground = reinterpret_cast<HBRUSH>(DesktopBrush(windowClass.Background));
  desktopClass.lpszMenuName = Wide(windowClass.MenuName);
  desktopClass.lpszClassName = Wide(windowClass.ClassName);
  slotProcedures[slot] = windowClass.Procedure;
  const ATOM atom = ::RegisterClassW(&desktopClass);
  if (atom == 0) slotProcedures[slot] = nullptr;
  return atom;
}

Window CreateWindowExW(std::uint32_t exStyle, const char16_t* className, const char16_t* title,
                       std::uint32_t style, int x, int y, int width, int height, Window parent,
                       Menu menu, Instance module, void* parameter) {
  return ToPlatform<Window>(::CreateWindowExW(
      exStyle, Wide(className), Wide(title), style, x, y, width, height, ToWindows<HWND>(parent),
      ToWindows<HMENU>(menu), ToWindows<HINSTANCE>(module), parameter));
}

bool DestroyWindow(Window window) { return ::DestroyWindow(ToWindows<HWND>(window)) != FALSE; }

LResult DefWindowProcW(Window window, std::uint32_t message, WParam wParam, LParam lParam) {
  return ::DefWindowProcW(ToWindows<HWND>(window), message, wParam, lParam);
}

Window FindWindowW(const char16_t* className, const char16_t* title) {
  return ToPlatform<Window>(::FindWindowW(Wide(className), Wide(title)));
}

bool PostMessageW(Window window, std::uint32_t message, WParam wParam, LParam lParam) {
  return ::PostMessageW(ToWindows<HWND>(window), message, wParam, lParam) != FALSE;
}

void PostQuitMessage(int exitCode) { ::PostQuitMessage(exitCode); }

int GetMessageW(Message* message, Window filter, std::uint32_t first, std::uint32_t last) {
  MSG full{};
  const BOOL result = ::GetMessageW(&full, ToWindows<HWND>(filter), first, last);
  // -1 (a bad filter window) would spin the caller's loop forever: end it as a quit would.
  if (result == -1) return 0;
  lastMessage = full;
  if (message != nullptr) {
    *message = Message{ToPlatform<Window>(full.hwnd), full.message, full.wParam, full.lParam};
  }
  return result;
}

bool TranslateMessage(const Message* message) {
  if (message == nullptr) return false;
  const MSG full = FullMessage(*message);
  return ::TranslateMessage(&full) != FALSE;
}

LResult DispatchMessageW(const Message* message) {
  if (message == nullptr) return 0;
  const MSG full = FullMessage(*message);
  return ::DispatchMessageW(&full);
}

std::uintptr_t SetTimer(Window window, std::uintptr_t id, std::uint32_t periodMs) {
  return ::SetTimer(ToWindows<HWND>(window), id, periodMs, nullptr);
}

std::uint32_t InSendMessageEx(void* reserved) { return ::InSendMessageEx(reserved); }

bool SetWindowSubclass(Window control, WindowProc procedure) {
  return procedure != nullptr &&
         ::SetWindowSubclass(ToWindows<HWND>(control), &SubclassTrampoline, 1,
                             reinterpret_cast<DWORD_PTR>(procedure)) != FALSE;
}

LResult DefSubclassProc(Window control, std::uint32_t message, WParam wParam, LParam lParam) {
  return ::DefSubclassProc(ToWindows<HWND>(control), message, wParam, lParam);
}

bool KillTimer(Window window, std::uintptr_t id) {
  return ::KillTimer(ToWindows<HWND>(window), id) != FALSE;
}

int GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }

bool EnumWindows(EnumWindowsProc callback, LParam parameter) {
  if (callback == nullptr) return false;
  Enumeration enumeration{callback, parameter};
  return ::EnumWindows(&EnumerationTrampoline, reinterpret_cast<LPARAM>(&enumeration)) != FALSE;
}

bool IsWindowVisible(Window window) { return ::IsWindowVisible(ToWindows<HWND>(window)) != FALSE; }

int GetWindowTextW(Window window, char16_t* buffer, int capacity) {
  if (buffer == nullptr || capacity <= 0) return 0;
  buffer[0] = u'\0';
  return ::GetWindowTextW(ToWindows<HWND>(window), Wide(buffer), capacity);
}

std::uint32_t GetWindowThreadProcessId(Window window, std::uint32_t* processId) {
  DWORD process = 0;
  const DWORD thread = ::GetWindowThreadProcessId(ToWindows<HWND>(window), &process);
  if (processId) *processId = process;
  return thread;
}

Window GetShellWindow() { return ToPlatform<Window>(::GetShellWindow()); }

}  // namespace plat
