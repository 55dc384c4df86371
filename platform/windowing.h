// Windows, messages, timers, menus, message boxes and resources of the user-interface library.
// Contract only: the core calls these from its one user-interface thread; no backend logic here.
#pragma once

#include <cstdint>

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

// Message box styles and answers.
inline constexpr std::uint32_t MB_OK = 0x00000000;
inline constexpr std::uint32_t MB_YESNO = 0x00000004;
inline constexpr std::uint32_t MB_ICONHAND = 0x00000010;
inline constexpr std::uint32_t MB_ICONQUESTION = 0x00000020;
inline constexpr std::uint32_t MB_ICONEXCLAMATION = 0x00000030;
inline constexpr std::uint32_t MB_ICONASTERISK = 0x00000040;
inline constexpr std::uint32_t MB_DEFBUTTON2 = 0x00000100;
inline constexpr std::uint32_t MB_SETFOREGROUND = 0x00010000;
inline constexpr std::uint32_t MB_TOPMOST = 0x00040000;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// System metrics.
inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;
inline constexpr int SM_CXSMICON = 49;
inline constexpr int SM_CYSMICON = 50;

// Menus.
inline constexpr std::uint32_t MF_BYCOMMAND = 0x0000;
inline constexpr std::uint32_t MF_STRING = 0x0000;
inline constexpr std::uint32_t MF_GRAYED = 0x0001;
inline constexpr std::uint32_t MF_CHECKED = 0x0008;
inline constexpr std::uint32_t MF_SEPARATOR = 0x0800;
inline constexpr std::uint32_t TPM_RIGHTALIGN = 0x0008;
inline constexpr std::uint32_t TPM_BOTTOMALIGN = 0x0020;

// Images.
inline constexpr std::uint32_t IMAGE_ICON = 1;

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

// Queues a message for a window of this or another process; false when it could not be queued.
bool PostMessageW(Window window, std::uint32_t message, WParam wParam, LParam lParam);
void PostQuitMessage(int exitCode);

// Waits for the next message; returns 0 for the quit message, non-zero otherwise.
int GetMessageW(Message* message, Window filter, std::uint32_t first, std::uint32_t last);
bool TranslateMessage(const Message* message);
LResult DispatchMessageW(const Message* message);

// Message timers: SetTimer returns the timer id (non-zero) or 0 on failure.
std::uintptr_t SetTimer(Window window, std::uintptr_t id, std::uint32_t periodMs);
bool KillTimer(Window window, std::uintptr_t id);

// Modal message box with the platform's own loop; returns the button pressed.
int MessageBoxW(Window owner, const char16_t* text, const char16_t* caption, std::uint32_t style);
bool MessageBeep(std::uint32_t type);

// Loads string-table entry `id` into `buffer` of `capacity` characters (terminator included);
// returns the characters copied, 0 when the entry is missing.
int LoadStringW(Instance module, std::uint32_t id, char16_t* buffer, int capacity);

int GetSystemMetrics(int index);

// Loads icon resource `id` at the given size; 0 on failure.
Icon LoadImageW(Instance module, std::uint16_t id, std::uint32_t type, int width, int height,
                std::uint32_t flags);

// Menus: a loaded template and its submenus are edited by command identifier in whichever
// submenu holds the item, then tracked and destroyed.
Menu LoadMenuW(Instance module, std::uint16_t id);
Menu GetSubMenu(Menu menu, int position);
bool InsertMenuW(Menu menu, std::uint32_t beforeId, std::uint32_t flags, std::uintptr_t newId,
                 const char16_t* text);
bool RemoveMenu(Menu menu, std::uint32_t id, std::uint32_t flags);
std::uint32_t CheckMenuItem(Menu menu, std::uint32_t id, std::uint32_t flags);
bool EnableMenuItem(Menu menu, std::uint32_t id, std::uint32_t flags);
// Shows the popup until it closes; the chosen command reaches `owner` as WM_COMMAND.
bool TrackPopupMenuEx(Menu menu, std::uint32_t flags, int x, int y, Window owner);
bool DestroyMenu(Menu menu);

}  // namespace plat
