// Running the program at platform events; on the desktop the stand-in keeps the registrations.
// Windows API only. Wake-up registrations are entries of the stand-in's "Wakeup" list.
#include "platform/win32/stand_in.h"
#include "platform/win32/windows_api.h"

using win32::Wide;

namespace plat {

bool CeRunAppAtEvent(const char16_t* application, std::uint32_t event) {
  if (application == nullptr || application[0] == u'\0' ||
      ::lstrlenW(Wide(application)) >= MAX_PATH) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  switch (event) {
    case NOTIFICATION_EVENT_WAKEUP:
      return standin::AppendWakeup(Wide(application));
    case NOTIFICATION_EVENT_NONE:  // cancels every registration of the application
      return standin::RemoveAllWakeups(Wide(application));
    default:  // the simulated handheld raises no other event
      ::SetLastError(ERROR_NOT_SUPPORTED);
      return false;
  }
}

}  // namespace plat
