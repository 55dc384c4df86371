// Identifiers of the resources in resources/zorvik.rc.
// The resource script uses the same numbers; the native tests read the script and check them.
#pragma once

#include <cstdint>

inline constexpr std::uint16_t IDR_TRAY_MENU = 100;
inline constexpr std::uint16_t IDD_PROCESSES = 100;
inline constexpr std::uint16_t IDD_THREADS = 101;
inline constexpr std::uint16_t IDD_INFO = 102;
inline constexpr std::uint16_t IDI_PROGRAM = 100;

inline constexpr std::uint32_t IDS_LIMITED_MODE = 1;   // LimitedModeMessage
inline constexpr std::uint32_t IDS_NOT_INSTALLED = 2;  // NotInstalledMessage
