// Virtual memory: mapping a physical register into the address space, and kernel mode.
// Contract only.
#pragma once

#include <cstdint>

namespace plat {

inline constexpr std::uint32_t MEM_RESERVE = 0x2000;
inline constexpr std::uint32_t MEM_RELEASE = 0x8000;
inline constexpr std::uint32_t PAGE_NOACCESS = 0x01;
inline constexpr std::uint32_t PAGE_READONLY = 0x02;
inline constexpr std::uint32_t PAGE_READWRITE = 0x04;
inline constexpr std::uint32_t PAGE_NOCACHE = 0x200;
inline constexpr std::uint32_t PAGE_PHYSICAL = 0x400;

// Reserves `size` bytes of address space; nullptr on failure.
void* VirtualAlloc(void* address, std::uint32_t size, std::uint32_t type, std::uint32_t protect);

// Maps `source` onto the reserved region. With PAGE_PHYSICAL the source is a physical address
// shifted right by 8. False when the mapping is refused; the region then stays inaccessible.
bool VirtualCopy(void* destination, std::uintptr_t source, std::uint32_t size,
                 std::uint32_t protect);

// Releases a region from VirtualAlloc (size 0 with MEM_RELEASE). Writes made through a
// read-write mapping have reached the register by the time it returns.
bool VirtualFree(void* address, std::uint32_t size, std::uint32_t type);

// Stores one 32-bit word at the start of a region mapped by VirtualCopy, uncached, so that it
// reaches the device register at once. A store through a read-only mapping, or one the device
// refuses, is an access fault: it abandons the body of the innermost RunGuarded (hardware.h).
void StoreMappedWord(void* mapping, std::uint32_t value);

// Enters (true) or leaves (false) kernel mode for this thread; returns the previous mode.
bool SetKMode(bool kernel);

}  // namespace plat
