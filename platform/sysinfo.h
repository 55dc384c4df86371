// System information queries: the processor record, the object store, storage cards, version,
// time zone, code pages and language.
// Contract only. A failed query leaves its record zero-filled.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/system.h"
#include "platform/types.h"

namespace plat {

inline constexpr std::uint32_t IOCTL_PROCESSOR_INFORMATION = 0x01010064;

// The handheld's 576-byte processor information record, at its own offsets.
struct ProcessorInfo {
  std::uint16_t Version;
  char16_t ProcessCore[40];
  std::uint16_t CoreRevision;
  char16_t ProcessorName[40];
  std::uint16_t ProcessorRevision;
  char16_t CatalogNumber[100];
  char16_t Vendor[100];
  std::uint32_t InstructionSet;
  std::uint32_t ClockSpeed;
};
static_assert(sizeof(ProcessorInfo) == 576, "the record is 576 bytes");
static_assert(offsetof(ProcessorInfo, Vendor) == 366);

// The record is asked for with KernelIoControl (system.h) and this code.

// The object store: the handheld's memory-resident file system.
struct StoreInformation {
  std::uint32_t StoreSize;
  std::uint32_t FreeSize;
};
bool GetStoreInformation(StoreInformation* information);

// Storage cards: the first-card search gives a search handle or InvalidHandle when there is none;
// the search is closed with FindClose (system.h).
struct FlashCardData {
  std::uint32_t Attributes;
  char16_t Name[260];
};
Handle FindFirstFlashCard(FlashCardData* data);
bool FindNextFlashCard(Handle search, FlashCardData* data);

struct VersionInfo {
  std::uint32_t MajorVersion;
  std::uint32_t MinorVersion;
  std::uint32_t BuildNumber;
};
bool GetVersionExW(VersionInfo* version);

// The bias in minutes: UTC = local time + Bias. Returns the time-zone id, 0xFFFFFFFF on failure.
struct TimeZoneInformation {
  std::int32_t Bias;
};
std::uint32_t GetTimeZoneInformation(TimeZoneInformation* information);

std::uint32_t GetOEMCP();
std::uint32_t GetACP();
// The system's default language identifier.
std::uint16_t GetSystemDefaultLangID();

}  // namespace plat
