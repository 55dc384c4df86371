// Counting stand-ins for what the clock code calls beyond the registers and the image does not
// host: the tray icon refresh (icon/refresh.h) and the beep (platform/dialogs.h).
#pragma once

#include <cstdint>

struct StandInCounts {
  std::uint32_t Refreshes;
  std::uint32_t HandBeeps;   // MessageBeep(MB_ICONHAND): a clock operation failed
  std::uint32_t OtherBeeps;  // any other kind of beep
};
extern StandInCounts Counts;
