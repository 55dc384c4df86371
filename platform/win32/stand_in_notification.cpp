// Running the program at platform events; on the desktop the stand-in keeps the registrations.
// Windows API only. Wake-up registrations are entries of the stand-in's "Wakeup" list, and that
// list, read afresh at every step, stands in for the notification database: one record per
// entry, holding the entry as its one string property.
#include <algorithm>
#include <cstring>
#include <cwchar>

#include "platform/win32/stand_in.h"
#include "platform/win32/windows_api.h"

using win32::ToPlatform;
using win32::ToWindows;
using win32::Wide;

namespace {

constexpr wchar_t DatabaseName[] = L"DB_Notify_Events";
constexpr plat::CeOid DatabaseOid = 0x00DB0001;
constexpr std::uint16_t OBJTYPE_DATABASE = 2;
constexpr std::uint32_t ApplicationProperty = (1u << 16) | plat::CEVT_LPWSTR;

// One database is open at a time (the program opens it once, at start-up). Its handle is a real
// event object, so that CloseHandle closes it like any other.
struct OpenDatabase {
  HANDLE Handle;
  std::uint32_t Position;
};
OpenDatabase openDatabase{};

bool IsOpen(plat::Handle database) {
  return openDatabase.Handle != nullptr && ToWindows<HANDLE>(database) == openDatabase.Handle;
}

constexpr plat::CeOid RecordOid(std::uint32_t index) { return index + 1; }

}  // namespace

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

Handle CeOpenDatabase(CeOid* oid, const char16_t* name, std::uint32_t, std::uint32_t, Window) {
  if (oid == nullptr || name == nullptr ||
      ::CompareStringOrdinal(Wide(name), -1, DatabaseName, -1, TRUE) != CSTR_EQUAL) {
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    return InvalidHandle;
  }
  HANDLE handle = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (handle == nullptr) return InvalidHandle;
  openDatabase = OpenDatabase{handle, 0};
  *oid = DatabaseOid;
  return ToPlatform<Handle>(handle);
}

bool CeOidGetInfo(CeOid oid, CeOidInfo* info) {
  if (oid != DatabaseOid || info == nullptr) return false;
  info->ObjectType = OBJTYPE_DATABASE;
  info->RecordCount =
      static_cast<std::uint16_t>(std::min<std::uint32_t>(standin::WakeupCount(), 0xFFFF));
  return true;
}

CeOid CeSeekDatabase(Handle database, std::uint32_t seekType, std::uint32_t value,
                     std::uint32_t* index) {
  if (!IsOpen(database) || seekType != CEDB_SEEK_BEGINNING || value >= standin::WakeupCount()) {
    return 0;
  }
  openDatabase.Position = value;
  if (index != nullptr) *index = value;
  return RecordOid(value);
}

// Only platform-allocated buffers are served: without CEDB_ALLOWREALLOC the read fails.
CeOid CeReadRecordProps(Handle database, std::uint32_t flags, std::uint16_t* propertyCount,
                        const std::uint32_t* propertyIds, CePropVal** values,
                        std::uint32_t* bufferSize) {
  if (!IsOpen(database) || propertyCount == nullptr || values == nullptr || bufferSize == nullptr ||
      (flags & CEDB_ALLOWREALLOC) == 0) {
    return 0;
  }
  // Asking for no property in particular asks for every property: the one string.
  const bool everyProperty = *propertyCount == 0 && propertyIds == nullptr;
  if (propertyIds == nullptr && !everyProperty) return 0;
  const std::size_t idCount = everyProperty ? 1 : *propertyCount;
  const wchar_t* entry = standin::WakeupEntry(openDatabase.Position);
  if (entry == nullptr) return 0;
  const std::size_t textBytes = (std::wcslen(entry) + 1) * sizeof(wchar_t);
  const std::size_t bytes = idCount * sizeof(CePropVal) + textBytes;
  // The new buffer is filled before the old one goes: the ids may live in the old one.
  auto* record = static_cast<CePropVal*>(::LocalAlloc(LMEM_FIXED, bytes));
  if (record == nullptr) return 0;
  auto* text = reinterpret_cast<char16_t*>(record + idCount);
  std::memcpy(text, entry, textBytes);
  for (std::size_t i = 0; i < idCount; ++i) {
    const std::uint32_t id = everyProperty ? ApplicationProperty : propertyIds[i];
    const bool found = id == ApplicationProperty;
    record[i] =
        CePropVal{id, found ? std::uint16_t{0} : CEDB_PROPNOTFOUND, found ? text : nullptr, 0};
  }
  if (*values != nullptr) ::LocalFree(*values);
  *values = record;
  *propertyCount = static_cast<std::uint16_t>(idCount);
  *bufferSize = static_cast<std::uint32_t>(bytes);
  return RecordOid(openDatabase.Position);
}

void* LocalFree(void* memory) { return ::LocalFree(memory); }

}  // namespace plat
