// The notification database of the simulated handheld: every event registration is a record of
// the platform's own layout, next to whatever records of other layouts a test puts there. An
// open database reads the records as they were when it was opened.
#include "platform/notification.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <new>
#include <set>

#include "platform/sim/device.h"
#include "platform/sim/internal.h"

namespace {

using sim::internal::PlatformCall;

constexpr char16_t DatabaseName[] = u"DB_Notify_Events";
constexpr plat::CeOid DatabaseOid = 0x00DB0001;
constexpr std::uint16_t OBJTYPE_DATABASE = 2;
constexpr plat::CeOid FirstRecordOid = 0x00DC0001;

struct StoredRecord {
  plat::CeOid Oid;
  sim::NotificationRecord Properties;
};

struct OpenDatabase {
  std::vector<StoredRecord> Records;  // as at the opening
  std::size_t Position = 0;
};

struct NotificationState {
  std::vector<StoredRecord> records;
  plat::CeOid nextOid = FirstRecordOid;
  std::map<std::uintptr_t, OpenDatabase> open;
  std::uintptr_t nextHandle = sim::internal::DatabaseHandleBase + 1;
  std::set<void*> buffers;  // allocated for the program, not yet freed
  std::vector<sim::EventRequest> requests;
};

NotificationState& N() {
  static NotificationState state;
  return state;
}

void FreeBuffer(void* buffer) {
  N().buffers.erase(buffer);
  ::operator delete(buffer);
}

void Append(sim::NotificationRecord properties) {
  N().records.push_back({N().nextOid++, std::move(properties)});
}

const sim::NotificationProperty* Find(const sim::NotificationRecord& record, std::uint32_t id) {
  for (const sim::NotificationProperty& property : record) {
    if (property.PropId == id) return &property;
  }
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
  void* buffer = ::operator new(bytes);
  N().buffers.insert(buffer);
  auto* values = static_cast<plat::CePropVal*>(buffer);
  auto* text = reinterpret_cast<char16_t*>(values + ids.size());
  for (std::size_t i = 0; i < ids.size(); ++i) {
    const sim::NotificationProperty* property = Find(record, ids[i]);
    values[i] = plat::CePropVal{ids[i], plat::CEDB_PROPNOTFOUND, nullptr, 0};
    if (property == nullptr) continue;
    values[i].Flags = 0;
    values[i].Number = property->Number;
    if (IsString(ids[i])) {
      std::copy(property->Text.begin(), property->Text.end(), text);
      text[property->Text.size()] = u'\0';
      values[i].String = text;
      text += property->Text.size() + 1;
    }
  }
  *size = static_cast<std::uint32_t>(bytes);
  return values;
}

}  // namespace

namespace sim {
namespace internal {

void ResetNotification() {
  for (void* buffer : std::vector<void*>(N().buffers.begin(), N().buffers.end())) {
    FreeBuffer(buffer);
  }
  N() = NotificationState{};
}

bool CloseDatabase(std::uintptr_t handle) { return N().open.erase(handle) != 0; }

}  // namespace internal

void AddNotificationRecord(NotificationRecord record) {
  internal::SimCall mark;
  Append(std::move(record));
}

std::vector<NotificationRecord> NotificationRecords() {
  internal::SimCall mark;
  std::vector<NotificationRecord> records;
  for (const StoredRecord& record : N().records) records.push_back(record.Properties);
  return records;
}

NotificationRecord WakeupRecord(const std::u16string& application) {
  internal::SimCall mark;
  return {{NotifyEventProperty, u"", plat::NOTIFICATION_EVENT_WAKEUP},
          {NotifyApplicationProperty, application, 0},
          {NotifyArgumentsProperty, u"AppRunAfterWakeup", 0}};
}

std::vector<std::u16string> WakeupRegistrations() {
  internal::SimCall mark;
  std::vector<std::u16string> names;
  for (const StoredRecord& record : N().records) {
    const NotificationProperty* event = Find(record.Properties, NotifyEventProperty);
    const NotificationProperty* application = Find(record.Properties, NotifyApplicationProperty);
    if (event != nullptr && application != nullptr &&
        event->Number == plat::NOTIFICATION_EVENT_WAKEUP) {
      names.push_back(application->Text);
    }
  }
  return names;
}

const std::vector<EventRequest>& EventRequests() { return N().requests; }

int OpenDatabaseCount() { return static_cast<int>(N().open.size()); }

int LiveRecordBuffers() { return static_cast<int>(N().buffers.size()); }

}  // namespace sim

namespace plat {

bool CeRunAppAtEvent(const char16_t* application, std::uint32_t event) {
  PlatformCall call("CeRunAppAtEvent");
  N().requests.push_back({sim::internal::FromZ(application), event});
  if (application == nullptr || application[0] == u'\0') return false;
  if (event == NOTIFICATION_EVENT_NONE) {  // every registration of the application goes
    auto& records = N().records;
    records.erase(std::remove_if(records.begin(), records.end(),
                                 [&](const StoredRecord& record) {
                                   const sim::NotificationProperty* name =
                                       Find(record.Properties, sim::NotifyApplicationProperty);
                                   return name != nullptr &&
                                          sim::internal::EqualNoCase(name->Text, application);
                                 }),
                  records.end());
    return true;
  }
  if (event == NOTIFICATION_EVENT_WAKEUP) {
    Append(sim::WakeupRecord(application));
    return true;
  }
  return false;  // no other event is simulated
}

Handle CeOpenDatabase(CeOid* oid, const char16_t* name, std::uint32_t, std::uint32_t, Window) {
  PlatformCall call("CeOpenDatabase");
  if (oid == nullptr || name == nullptr || !sim::internal::EqualNoCase(name, DatabaseName)) {
    return InvalidHandle;
  }
  *oid = DatabaseOid;
  std::uintptr_t handle = N().nextHandle++;
  N().open[handle] = OpenDatabase{N().records, 0};
  return Handle(handle);
}

bool CeOidGetInfo(CeOid oid, CeOidInfo* info) {
  PlatformCall call("CeOidGetInfo");
  if (oid != DatabaseOid || info == nullptr) return false;
  info->ObjectType = OBJTYPE_DATABASE;
  info->RecordCount = static_cast<std::uint16_t>(std::min<std::size_t>(N().records.size(), 0xFFFF));
  return true;
}

CeOid CeSeekDatabase(Handle database, std::uint32_t seekType, std::uint32_t value,
                     std::uint32_t* index) {
  PlatformCall call("CeSeekDatabase");
  auto it = N().open.find(static_cast<std::uintptr_t>(database));
  // Only the seek the program makes is simulated.
  if (it == N().open.end() || seekType != CEDB_SEEK_BEGINNING ||
      value >= it->second.Records.size()) {
    return 0;
  }
  it->second.Position = value;
  if (index != nullptr) *index = value;
  return it->second.Records[value].Oid;
}

// Only platform-allocated buffers are simulated: without CEDB_ALLOWREALLOC the read fails.
CeOid CeReadRecordProps(Handle database, std::uint32_t flags, std::uint16_t* propertyCount,
                        const std::uint32_t* propertyIds, CePropVal** values,
                        std::uint32_t* bufferSize) {
  PlatformCall call("CeReadRecordProps");
  auto it = N().open.find(static_cast<std::uintptr_t>(database));
  if (it == N().open.end() || propertyCount == nullptr || values == nullptr ||
      bufferSize == nullptr || (flags & CEDB_ALLOWREALLOC) == 0) {
    return 0;
  }
  const OpenDatabase& open = it->second;
  if (open.Position >= open.Records.size()) return 0;
  const StoredRecord& record = open.Records[open.Position];
  std::vector<std::uint32_t> ids;
  if (*propertyCount == 0 && propertyIds == nullptr) {
    for (const sim::NotificationProperty& property : record.Properties) {
      ids.push_back(property.PropId);
    }
  } else if (propertyIds != nullptr) {
    ids.assign(propertyIds, propertyIds + *propertyCount);
  } else {
    return 0;
  }
  if (*values != nullptr && N().buffers.count(*values) != 0) FreeBuffer(*values);
  *values = BuildBuffer(ids, record.Properties, bufferSize);
  *propertyCount = static_cast<std::uint16_t>(ids.size());
  return record.Oid;
}

void* LocalFree(void* memory) {
  PlatformCall call("LocalFree");
  if (memory == nullptr) return nullptr;
  if (N().buffers.count(memory) == 0) {
    sim::internal::Log("LocalFreeOfUnknownMemory");
    return memory;
  }
  FreeBuffer(memory);
  return nullptr;
}

}  // namespace plat
