// Windows, the message queue, timers and system metrics of the user-interface library.
// Contract only: the core calls these from its one user-interface thread; no backend logic here.
#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "platform/types.h"

namespace plat {

// Window messages the program handles or sends.
inline constexpr std::uint32_t WM_CREATE = 0x0001;
inline constexpr std::uint32_t WM_DESTROY = 0x0002;
inline constexpr std::uint32_t WM_CLOSE = 0x0010;
inline constexpr std::uint32_t WM_QUIT = 0x0012;
inline constexpr std::uint32_t WM_COMMAND = 0x0111;
inline constexpr std::uint32_t WM_TIMER = 0x0113;
inline constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr std::uint32_t WM_LBUTTONDBLCLK = 0x0203;
inline constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr std::uint32_t WM_RBUTTONUP = 0x0205;
inline constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
inline constexpr std::uint32_t WM_USER = 0x0400;

// ---- Messages from other processes -------------------------------------------------------
// The program has one thread, so a message that another thread delivers comes from another
// process. The kinds below carry in a parameter a pointer into the sender's memory: WM_NOTIFY,
// the owner-drawing, creation, size, position and style records, the message that
// WM_GETDLGCODE asks about, and the list view, tree view, header and common-control messages
// (their ranges whole: nearly all take a structure, and none has a use from outside). The
// system carries none of them to another process, or only its own records, which no other
// process has a reason to send. WM_SETTEXT and WM_GETTEXT it carries when they are sent, never
// when they are posted. A loop of the program drops a posted one; a procedure of the program
// refuses one sent from another thread with 0.
enum class Delivery { Posted, Sent };
inline constexpr std::uint32_t WM_SETTEXT = 0x000C;
inline constexpr std::uint32_t WM_GETTEXT = 0x000D;
inline constexpr std::uint32_t WM_GETMINMAXINFO = 0x0024;
inline constexpr std::uint32_t WM_DRAWITEM = 0x002B;
inline constexpr std::uint32_t WM_MEASUREITEM = 0x002C;
inline constexpr std::uint32_t WM_DELETEITEM = 0x002D;
inline constexpr std::uint32_t WM_COMPAREITEM = 0x0039;
inline constexpr std::uint32_t WM_WINDOWPOSCHANGING = 0x0046;
inline constexpr std::uint32_t WM_WINDOWPOSCHANGED = 0x0047;
inline constexpr std::uint32_t WM_NOTIFY = 0x004E;
inline constexpr std::uint32_t WM_STYLECHANGING = 0x007C;
inline constexpr std::uint32_t WM_STYLECHANGED = 0x007D;
inline constexpr std::uint32_t WM_NCCREATE = 0x0081;
inline constexpr std::uint32_t WM_NCCALCSIZE = 0x0083;
inline constexpr std::uint32_t WM_GETDLGCODE = 0x0087;
inline constexpr std::uint32_t PointerMessages[] = {
    WM_CREATE,       WM_GETMINMAXINFO,     WM_DRAWITEM,         WM_MEASUREITEM, WM_DELETEITEM,
    WM_COMPAREITEM,  WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_NOTIFY,      WM_STYLECHANGING,
    WM_STYLECHANGED, WM_NCCREATE,          WM_NCCALCSIZE,       WM_GETDLGCODE};
inline constexpr std::uint32_t LVM_FIRST = 0x1000;  // then TVM_FIRST and HDM_FIRST
inline constexpr std::uint32_t HDM_LAST = 0x12FF;
inline constexpr std::uint32_t CCM_FIRST = 0x2000;
inline constexpr std::uint32_t CCM_LAST = 0x2200;
constexpr bool UnsafeFromOutside(std::uint32_t message, Delivery delivery) {
  return std::find(std::begin(PointerMessages), std::end(PointerMessages), message) !=
             std::end(PointerMessages) ||
         (message >= LVM_FIRST && message <= HDM_LAST) ||
         (message >= CCM_FIRST && message <= CCM_LAST) ||
         (delivery == Delivery::Posted && (message == WM_SETTEXT || message == WM_GETTEXT));
}

// What InSendMessageEx reports: ISMEX_NOSEND while the thread handles a posted message or one
// it sent itself, otherwise flags saying how another thread delivered it.
inline constexpr std::uint32_t ISMEX_NOSEND = 0;
inline constexpr std::uint32_t ISMEX_SEND = 0x1;
std::uint32_t InSendMessageEx(void* reserved);

// System metrics.
inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;
inline constexpr int SM_CXSMICON = 49;
inline constexpr int SM_CYSMICON = 50;

// The class record of RegisterClassW; only what the program fills.
struct WindowClass {
  std::uint32_t Style;
  WindowProc Procedure;
  int ClassExtra;
  int WindowExtra;
  Instance Module;
  Icon ClassIcon;
  std::uintptr_t Cursor;
  std::uintptr_t Background;  // brush handle or system-colour brush value
  const char16_t* MenuName;
  const char16_t* ClassName;
};

// A queued message as GetMessageW returns it.
struct Message {
  Window Target;
  std::uint32_t Id;
  WParam WParamValue;
  LParam LParamValue;
};

// Registers a window class; returns its atom, 0 on failure.
std::uint16_t RegisterClassW(const WindowClass& windowClass);

// Creates a window; its procedure receives WM_CREATE before this returns. 0 on failure.
Window CreateWindowExW(std::uint32_t exStyle, const char16_t* className, const char16_t* title,
                       std::uint32_t style, int x, int y, int width, int height, Window parent,
                       Menu menu, Instance module, void* parameter);

// Destroys a window; its procedure receives WM_DESTROY before this returns.
bool DestroyWindow(Window window);

// The platform's default handling of a message.
LResult DefWindowProcW(Window window, std::uint32_t message, WParam wParam, LParam lParam);

// Finds a top-level window by class and title; 0 when none.
Window FindWindowW(const char16_t* className, const char16_t* title);

// Top-level windows of every process, in the platform's order; the callback returns non-zero to
// go on. False when the callback stopped the enumeration.
using EnumWindowsProc = int (*)(Window window, LParam parameter);
bool EnumWindows(EnumWindowsProc callback, LParam parameter);
bool IsWindowVisible(Window window);
// The window's title in `buffer` of `capacity` characters, terminated and cut to fit; returns its
// length, 0 when it has none.
int GetWindowTextW(Window window, char16_t* buffer, int capacity);
// The id of the thread that created the window; `*processId` gets its process's id (0 when the
// window does not exist).
std::uint32_t GetWindowThreadProcessId(Window window, std::uint32_t* processId);
// The window of the platform's shell (its desktop or taskbar); 0 when there is none.
Window GetShellWindow();

// Queues a message for a window of this or another process; false when it could not be queued.
bool PostMessageW(Window window, std::uint32_t message, WParam wParam, LParam lParam);
void PostQuitMessage(int exitCode);

// Waits for the next message; returns 0 for the quit message, non-zero otherwise.
int GetMessageW(Message* message, Window filter, std::uint32_t first, std::uint32_t last);
bool TranslateMessage(const Message* message);
LResult DispatchMessageW(const Message* message);

// Subclassing a control of a dialog: its messages reach `procedure` first, which hands on what it
// takes to the control's own procedure with DefSubclassProc. False when the control cannot be
// subclassed; it then keeps its own procedure alone. Ends with the control.
bool SetWindowSubclass(Window control, WindowProc procedure);
LResult DefSubclassProc(Window control, std::uint32_t message, WParam wParam, LParam lParam);

// Message timers: SetTimer returns the timer id (non-zero) or 0 on failure.
std::uintptr_t SetTimer(Window window, std::uintptr_t id, std::uint32_t periodMs);
bool KillTimer(Window window, std::uintptr_t id);

int GetSystemMetrics(int index);

}  // namespace plat
