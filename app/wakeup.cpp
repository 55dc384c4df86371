// The relaunch after wake-up: the platform runs "Zorvik.exe" at every wake-up and the copy it
// starts asks the resident one to apply its clock again.
#include "app/wakeup.h"

#include "platform/notification.h"

void RegisterWakeupRelaunch() { plat::CeRunAppAtEvent(AppName, plat::NOTIFICATION_EVENT_WAKEUP); }

void CancelWakeupRelaunch() { plat::CeRunAppAtEvent(AppName, plat::NOTIFICATION_EVENT_NONE); }

// Registrations left behind by an earlier run are removed here once the notification database
// walk is in place; until then start-up registers on top of whatever the platform holds.
void RemoveStaleWakeups() {}
