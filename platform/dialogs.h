// The modal user interface: message boxes and beeps.
// Contract only: each call runs its own message loop on the user-interface thread and returns
// when the user has answered.
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

// Modal message box with the platform's own loop; returns the button pressed.
int MessageBoxW(Window owner, const char16_t* text, const char16_t* caption, std::uint32_t style);
bool MessageBeep(std::uint32_t type);

}  // namespace plat
