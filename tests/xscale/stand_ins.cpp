// Counting stand-ins for the tray icon refresh and the beep; the checks read the counts.
#include "tests/xscale/stand_ins.h"

#include "icon/refresh.h"
#include "platform/dialogs.h"

StandInCounts Counts{};

void RefreshTrayIcon() { ++Counts.Refreshes; }

namespace plat {

bool MessageBeep(std::uint32_t type) {
  ++(type == MB_ICONHAND ? Counts.HandBeeps : Counts.OtherBeeps);
  return true;
}

}  // namespace plat
