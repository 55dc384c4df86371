// Virtual memory and kernel mode; on the desktop the clock register is the stand-in's.
// Windows API only. A mapping of the clock register is real committed memory holding the
// stand-in's CCCR; a read-write mapping writes its word back when it is released.
#include <array>

#include "platform/win32/stand_in.h"
#include "platform/win32/windows_api.h"

namespace {

// The clock register's physical address as VirtualCopy takes it with PAGE_PHYSICAL (>> 8).
constexpr std::uintptr_t ClockRegisterSource = 0x41300000 >> 8;

// The access part of a protection value (PAGE_READONLY, PAGE_READWRITE, ...).
constexpr std::uint32_t AccessMask = 0xFF;

struct ClockMapping {
  void* Address;
  std::uint32_t Mapped;  // the register's word when mapped
  bool Writable;
};
constexpr std::size_t MappingSlots = 8;
std::array<ClockMapping, MappingSlots> mappings{};

ClockMapping* FindMapping(void* address) {
  for (ClockMapping& mapping : mappings) {
    if (mapping.Address != nullptr && mapping.Address == address) return &mapping;
  }
  return nullptr;
}

}  // namespace

namespace plat {

void* VirtualAlloc(void* address, std::uint32_t size, std::uint32_t type, std::uint32_t protect) {
  return ::VirtualAlloc(address, size, type, protect);
}

bool VirtualCopy(void* destination, std::uintptr_t source, std::uint32_t size,
                 std::uint32_t protect) {
  // The simulated handheld has one physical device: the clock register.
  if ((protect & plat::PAGE_PHYSICAL) == 0 || source != ClockRegisterSource || size == 0 ||
      size > 4096 || destination == nullptr) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  if (standin::Read(standin::MapFails) != 0) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  ClockMapping* slot = FindMapping(destination);
  for (std::size_t i = 0; slot == nullptr && i < mappings.size(); ++i) {
    if (mappings[i].Address == nullptr) slot = &mappings[i];
  }
  if (slot == nullptr) {
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
  if (::VirtualAlloc(destination, size, MEM_COMMIT, PAGE_READWRITE) == nullptr) return false;
  const std::uint32_t word = standin::Read(standin::Cccr);
  *static_cast<volatile std::uint32_t*>(destination) = word;
  const bool writable = (protect & AccessMask) == PAGE_READWRITE;
  if (!writable) {
    // A write through a read-only mapping faults, as it would on the handheld.
    DWORD previous = 0;
    ::VirtualProtect(destination, size, PAGE_READONLY, &previous);
  }
  *slot = ClockMapping{destination, word, writable};
  return true;
}

bool VirtualFree(void* address, std::uint32_t size, std::uint32_t type) {
  if (ClockMapping* mapping = FindMapping(address)) {
    if (mapping->Writable) {
      const std::uint32_t word = *static_cast<volatile std::uint32_t*>(address);
      if (word != mapping->Mapped) standin::Write(standin::Cccr, word);
    }
    *mapping = ClockMapping{};
  }
  return ::VirtualFree(address, size, type) != FALSE;
}

// The word goes to the stand-in's register at once, as an uncached store reaches the device.
void StoreMappedWord(void* mapping, std::uint32_t value) {
  ClockMapping* clock = FindMapping(mapping);
  if (clock == nullptr || !clock->Writable) {
    standin::AccessFault();  // a store through a read-only mapping faults on the handheld
    return;
  }
  *static_cast<volatile std::uint32_t*>(mapping) = value;
  clock->Mapped = value;
  standin::Write(standin::Cccr, value);
}

// The desktop has no kernel mode to give; the stand-in only keeps the flag, which its
// coprocessor registers check.
bool SetKMode(bool kernel) { return standin::SwapKernelMode(kernel); }

}  // namespace plat
