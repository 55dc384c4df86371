// Running the program at platform events, and reading the platform's notification database,
// where every event registration is a record.
// Contract only.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace plat {

inline constexpr std::uint32_t NOTIFICATION_EVENT_NONE = 0;
inline constexpr std::uint32_t NOTIFICATION_EVENT_WAKEUP = 11;

// Registers `application` to run at `event`; NOTIFICATION_EVENT_NONE removes every event
// registration of that application.
bool CeRunAppAtEvent(const char16_t* application, std::uint32_t event);

// ---- The notification database (read only for the program) ----

using CeOid = std::uint32_t;  // an object identifier; 0 = none

inline constexpr std::uint16_t CEVT_LPWSTR = 31;            // a property type: wide string
inline constexpr std::uint16_t CEDB_PROPNOTFOUND = 0x0400;  // CePropVal::Flags
inline constexpr std::uint32_t CEDB_ALLOWREALLOC = 1;
inline constexpr std::uint32_t CEDB_SEEK_BEGINNING = 2;

// One property value of a record.
struct CePropVal {
  std::uint32_t PropId;    // low 16 bits: the value's type (CEVT_...)
  std::uint16_t Flags;     // CEDB_PROPNOTFOUND: the record has no such property; no value
  const char16_t* String;  // the value of a CEVT_LPWSTR property, inside the same buffer
  std::uint32_t Number;    // the value of a numeric property
};

struct CeOidInfo {
  std::uint16_t ObjectType;
  std::uint16_t RecordCount;  // for a database
};

// Opens a database by name; fills `*oid` with its object identifier. InvalidHandle (never a
// null handle) when there is no such database or it cannot be opened. The handle is closed with
// CloseHandle (system.h); it starts at the first record.
Handle CeOpenDatabase(CeOid* oid, const char16_t* name, std::uint32_t sortProperty,
                      std::uint32_t flags, Window notify);
// The object information of `oid`; false when there is none.
bool CeOidGetInfo(CeOid oid, CeOidInfo* info);
// Moves to a record; with CEDB_SEEK_BEGINNING `value` is its index counted from the first.
// Returns the record's identifier, 0 when there is no such record (the position is unchanged).
CeOid CeSeekDatabase(Handle database, std::uint32_t seekType, std::uint32_t value,
                     std::uint32_t* index);
// Reads properties of the record at the current position: all of them when `*propertyCount` is
// 0 and `propertyIds` null, else the `*propertyCount` listed ones, in that order (one the record
// lacks comes back flagged CEDB_PROPNOTFOUND). With CEDB_ALLOWREALLOC and a null `*values` the
// platform allocates the buffer, which the caller frees with LocalFree. Sets `*propertyCount` to
// the number of values and returns the record's identifier, with the buffer filled; 0 when
// there is no record (the buffer may still have been allocated).
CeOid CeReadRecordProps(Handle database, std::uint32_t flags, std::uint16_t* propertyCount,
                        const std::uint32_t* propertyIds, CePropVal** values,
                        std::uint32_t* bufferSize);
// Frees a buffer that CeReadRecordProps allocated; nullptr on success.
void* LocalFree(void* memory);

}  // namespace plat
