// The modal user interface: dialog boxes from the program's templates, message boxes and beeps.
// Contract only. Each modal call runs its own message loop on the user-interface thread and
// returns when the user has answered; meanwhile the thread's other windows keep receiving their
// messages and timers, so the program may be re-entered from inside the call.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace plat {

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

// ---- Dialog boxes -----------------------------------------------------------------------

inline constexpr std::uint32_t WM_INITDIALOG = 0x0110;

// A dialog procedure: returns non-zero when it handled the message, 0 to leave it to the
// platform's dialog manager.
using DialogProc = std::intptr_t (*)(Window dialog, std::uint32_t message, WParam wParam,
                                     LParam lParam);

// Runs a modal dialog from a loaded template (see resources.h, FindResourceW and LoadResource).
// The procedure receives WM_INITDIALOG with `initParam` as lParam before the dialog shows, and
// every message of the dialog until one of its calls ends it with EndDialog. Returns the result
// given to EndDialog, or -1 when the dialog could not be made (the procedure was never called).
// A quit message arriving in the dialog's loop ends the dialog and stays queued for the caller.
LResult DialogBoxIndirectParamW(Instance module, const void* dialogTemplate, Window owner,
                                DialogProc procedure, LParam initParam);

// Ends a dialog run by DialogBoxIndirectParamW: its loop returns `result` once the current
// message is handled. False when `dialog` is no open dialog.
bool EndDialog(Window dialog, LResult result);

// The control `id` of a dialog; 0 when there is none.
Window GetDlgItem(Window dialog, int id);

// Brings a window to the front and gives it the input focus.
bool SetForegroundWindow(Window window);

// ---- Message boxes and beeps ------------------------------------------------------------

// Modal message box with the platform's own loop; returns the button pressed.
int MessageBoxW(Window owner, const char16_t* text, const char16_t* caption, std::uint32_t style);
bool MessageBeep(std::uint32_t type);

}  // namespace plat
