// The notification database of the simulated handheld: every event registration is a record of
// the platform's own layout, next to whatever records of other layouts a test puts there. An
// open database reads the records as they were when it was opened.
#include "platform/notification.h"

#include <algorithm>

#include "platform/sim/device.h"

namespace {

using sim::Device;

constexpr char16_t DatabaseName[] = u"DB_Notify_Events";
constexpr plat::CeOid DatabaseOid = 0x00DB0001;
constexpr std::uint16_t OBJTYPE_DATABASE = 2;
constexpr plat::CeOid FirstRecordOid = 1;  // then one per record, by position, as on the desktop

const sim::NotificationProperty* Find(const sim::NotificationRecord& record, std::uint32_t id) {
  for (const sim::NotificationProperty& property : record)
    if (property.PropId == id) return &property;
  return nullptr;
}

bool IsString(std::uint32_t propertyId) { return (propertyId & 0xFFFF) == plat::CEVT_LPWSTR; }

// One buffer as the handheld lays it out: the values, then the strings they point to.
plat::CePropVal* BuildBuffer(const std::vector<std::uint32_t>& ids,
                             const sim::NotificationRecord& record, std::uint32_t* size) {
  std::size_t bytes = ids.size() * sizeof(plat::CePropVal);
  for (std::uint32_t id : ids) {
    const sim::NotificationProperty* property = Find(record, id);
    if (property != nullptr && IsString(id)) bytes += (property->Text.size() + 1) * 2;
  }
  auto buffer = std::make_unique<std::uint64_t[]>((bytes + 7) / 8);
  auto* values = reinterpret_cast<plat::CePropVal*>(buffer.get());
  auto* text = reinterpret_cast<char16_t*>(values + ids.size());
  for (std::size_t i = 0; i < ids.size(); ++i) {
    const sim::NotificationProperty* property = Find(record, ids[i]);
    values[i] = plat::CePropVal{ids[i], plat::CEDB_PROPNOTFOUND, nullptr, 0};
    if (property == nullptr) continue;
    values[i].Flags = 0;
    values[i].Number = property->Number;
    if (IsString(ids[i])) {
      values[i].String = text;
      text = std::copy(property->Text.begin(), property->Text.end(), text);
      *text++ = u'\0';
    }
  }
  *size = static_cast<std::uint32_t>(bytes);
  Device().Notifications.Buffers[values] = std::move(buffer);
  return values;
}

}  // namespace

namespace plat {

bool CeRunAppAtEvent(const char16_t* application, std::uint32_t event) {
  SIM_CALL();
  Device().Log.Events.push_back({sim::FromZ(application), event});
  if (application == nullptr || application[0] == u'\0') return false;
  auto& records = Device().Notifications.Records;
  if (event == NOTIFICATION_EVENT_NONE) {  // every registration of the application goes
    std::erase_if(records, [&](const sim::NotificationRecord& record) {
      const sim::NotificationProperty* name = Find(record, sim::NotifyApplicationProperty);
      return name != nullptr && sim::EqualNoCase(name->Text, application);
    });
    return true;
  }
  if (event != NOTIFICATION_EVENT_WAKEUP) return false;  // no other event is simulated
  records.push_back(sim::WakeupRecord(application));
  return true;
}

Handle CeOpenDatabase(CeOid* oid, const char16_t* name, std::uint32_t sort, std::uint32_t flags,
                      Window) {
  SIM_CALL();
  if (oid == nullptr || name == nullptr || sort != 0 || flags != 0 ||  // neither is modelled
      !sim::EqualNoCase(name, DatabaseName) || Device().Faults.NotificationDatabaseFails) {
    return InvalidHandle;
  }
  *oid = DatabaseOid;
  sim::Notifications& notifications = Device().Notifications;
  const std::uintptr_t handle = notifications.NextHandle++;
  notifications.Open[handle] = {notifications.Records, 0};
  return Handle(handle);
}

bool CeOidGetInfo(CeOid oid, CeOidInfo* info) {
  SIM_CALL();
  if (oid != DatabaseOid || info == nullptr || Device().Faults.ObjectInfoFails) return false;
  info->ObjectType = OBJTYPE_DATABASE;
  info->RecordCount = static_cast<std::uint16_t>(
      std::min<std::size_t>(Device().Notifications.Records.size(), 0xFFFF));
  return true;
}

CeOid CeSeekDatabase(Handle database, std::uint32_t seekType, std::uint32_t value,
                     std::uint32_t* index) {
  SIM_CALL();
  auto& open = Device().Notifications.Open;
  auto found = open.find(static_cast<std::uintptr_t>(database));
  // Only the seek the program makes is simulated.
  if (found == open.end() || seekType != CEDB_SEEK_BEGINNING ||
      value >= found->second.Records.size()) {
    return 0;
  }
  found->second.Position = value;
  if (index != nullptr) *index = value;
  return FirstRecordOid + value;
}

// Only platform-allocated buffers are simulated: without CEDB_ALLOWREALLOC the read fails.
CeOid CeReadRecordProps(Handle database, std::uint32_t flags, std::uint16_t* propertyCount,
                        const std::uint32_t* propertyIds, CePropVal** values,
                        std::uint32_t* bufferSize) {
  SIM_CALL();
  sim::Notifications& notifications = Device().Notifications;
  auto found = notifications.Open.find(static_cast<std::uintptr_t>(database));
  if (found == notifications.Open.end() || propertyCount == nullptr || values == nullptr ||
      bufferSize == nullptr || (flags & CEDB_ALLOWREALLOC) == 0) {
    return 0;
  }
  const sim::OpenDatabase& open = found->second;
  if (open.Position >= open.Records.size()) return 0;
  const sim::NotificationRecord& record = open.Records[open.Position];
  std::vector<std::uint32_t> ids;
  if (*propertyCount == 0 && propertyIds == nullptr) {
    for (const sim::NotificationProperty& property : record) ids.push_back(property.PropId);
  } else if (propertyIds != nullptr) {
    ids.assign(propertyIds, propertyIds + *propertyCount);
  } else {
    return 0;
  }
  if (*values != nullptr) notifications.Buffers.erase(*values);  // reallocated
  *values = BuildBuffer(ids, record, bufferSize);
  *propertyCount = static_cast<std::uint16_t>(ids.size());
  return FirstRecordOid + static_cast<CeOid>(open.Position);
}

void* LocalFree(void* memory) {
  SIM_CALL();
  if (memory == nullptr) return nullptr;
  if (Device().Notifications.Buffers.erase(memory) == 0) {
    sim::LogCall("LocalFreeOfUnknownMemory");
    return memory;
  }
  return nullptr;
}

}  // namespace plat
