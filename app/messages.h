// Private window messages and timer identifiers of the main window.
// Another launch of the program posts the first three, so their values never change.
#pragma once

#include <cstdint>

#include "platform/windowing.h"

inline constexpr std::uint32_t UM_SHOWMENU = plat::WM_USER + 1;     // lParam 0
inline constexpr std::uint32_t UM_TRAYNOTIFY = plat::WM_USER + 2;   // lParam: mouse message
inline constexpr std::uint32_t UM_APPLYPRESET = plat::WM_USER + 3;  // lParam: 0 or slot 1..8
static_assert(UM_SHOWMENU == 1025 && UM_TRAYNOTIFY == 1026 && UM_APPLYPRESET == 1027);

inline constexpr std::uintptr_t ID_TIMER_ICON = 1;
inline constexpr std::uintptr_t ID_TIMER_WATCH = 2;

inline constexpr std::uint32_t WatchPeriodMs = 1000;

// Icon timer period for an update tempo 0..4: 250, 500, 1000, 2000, 4000 ms.
constexpr std::uint32_t IconTimerPeriodMs(std::uint32_t tempo) { return (1u << tempo) * 250u; }
