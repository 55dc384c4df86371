// Private window messages and timer identifiers of the main window.
// Another launch of the program posts the first three, so their values never change.
#pragma once

#include <cstdint>

#include "base/ids.h"
#include "platform/windowing.h"

inline constexpr std::uint32_t UM_SHOWMENU = UM_SHOWMENU_ID;        // lParam 0
inline constexpr std::uint32_t UM_TRAYNOTIFY = UM_TRAYNOTIFY_ID;    // lParam: mouse message
inline constexpr std::uint32_t UM_APPLYPRESET = UM_APPLYPRESET_ID;  // lParam: 0 or slot 1..8
static_assert(UM_SHOWMENU == plat::WM_USER + 1 && UM_TRAYNOTIFY == plat::WM_USER + 2 &&
              UM_APPLYPRESET == plat::WM_USER + 3);

inline constexpr std::uintptr_t ID_TIMER_ICON = ID_TIMER_ICON_ID;
inline constexpr std::uintptr_t ID_TIMER_WATCH = ID_TIMER_WATCH_ID;
inline constexpr std::uintptr_t ID_TIMER_AUTO = ID_TIMER_AUTO_ID;

inline constexpr std::uint32_t WatchPeriodMs = 1000;
inline constexpr std::uint32_t AutoPeriodMs = 1000;

// Icon timer period for an update tempo 0..4: 250, 500, 1000, 2000, 4000 ms.
constexpr std::uint32_t IconTimerPeriodMs(std::uint32_t tempo) { return (1u << tempo) * 250u; }
