// The relaunch after wake-up: the platform runs "Zorvik.exe" at every wake-up and the copy it
// starts asks the resident one to apply its clock again. Start-up first cancels whatever an
// earlier run left registered, found through the platform's notification database.
#include "app/wakeup.h"

#include <iterator>

#include "base/text.h"
#include "platform/notification.h"
#include "platform/system.h"

namespace {

constexpr char16_t NotificationDatabase[] = u"DB_Notify_Events";

bool IsStringProperty(std::uint32_t propertyId) {
  return (propertyId & 0xFFFF) == plat::CEVT_LPWSTR;
}

// Cancels once when record `index` holds this program's name in string property `propertyId`.
// A record of another layout lacks the property: its value comes back flagged, with no string.
void CancelIfRecordNamesProgram(plat::Handle database, std::uint32_t index,
                                std::uint32_t propertyId) {
  std::uint32_t position;  // written by the seek, never read
  const std::uint32_t wanted[] = {propertyId};
  auto count = static_cast<std::uint16_t>(std::size(wanted));
  plat::CePropVal* value = nullptr;
  std::uint32_t size = 0;
  // GCOVR_EXCL_BR_START: not tested: the checks for a database that changes under the walk, or
  // answers a read with less than was asked for; the simulated database does neither.
  if (plat::CeSeekDatabase(database, plat::CEDB_SEEK_BEGINNING, index, &position) == 0) return;
  plat::CeOid record =
      plat::CeReadRecordProps(database, plat::CEDB_ALLOWREALLOC, &count, wanted, &value, &size);
  if (value == nullptr) return;
  const bool holdsString = record != 0 && count >= 1 && value->PropId == propertyId &&
                           (value->Flags & plat::CEDB_PROPNOTFOUND) == 0 &&
                           value->String != nullptr;
  // GCOVR_EXCL_BR_STOP
  if (holdsString && TextEquals(value->String, AppName)) CancelWakeupRelaunch();
  plat::LocalFree(value);
}

}  // namespace

void RegisterWakeupRelaunch() { plat::CeRunAppAtEvent(AppName, plat::NOTIFICATION_EVENT_WAKEUP); }

void CancelWakeupRelaunch() { plat::CeRunAppAtEvent(AppName, plat::NOTIFICATION_EVENT_NONE); }

// Every string property of the first record's layout is tried against every record, and every
// match cancels once more (harmless: a cancellation removes all registrations of the name).
void RemoveStaleWakeups() {
  plat::CeOid database;  // written by the opening
  plat::Handle handle = plat::CeOpenDatabase(&database, NotificationDatabase, 0, 0, plat::Window{});
  if (handle == plat::InvalidHandle) return;

  plat::CeOidInfo info{};
  const std::uint32_t records = plat::CeOidGetInfo(database, &info) ? info.RecordCount : 0;

  std::uint16_t propertyCount = 0;
  plat::CePropVal* layout = nullptr;
  std::uint32_t size = 0;
  if (plat::CeReadRecordProps(handle, plat::CEDB_ALLOWREALLOC, &propertyCount, nullptr, &layout,
                              &size) == 0) {
    propertyCount = 0;  // an empty database: no layout to go by
  }
  for (std::uint16_t p = 0; p < propertyCount; ++p) {
    if (!IsStringProperty(layout[p].PropId)) continue;
    for (std::uint32_t index = 0; index < records; ++index) {
      CancelIfRecordNamesProgram(handle, index, layout[p].PropId);
    }
  }
  if (layout != nullptr) plat::LocalFree(layout);
  plat::CloseHandle(handle);
}
