// Processor identification and access to the clock registers.
#pragma once

#include <cstdint>

inline constexpr std::uintptr_t CccrPhysicalAddress = 0x41300000;

// Fills ProcessorId, CacheType and CpuFamily; returns CLKCFG as read (0 for an Unknown family or
// after a fault on it).
std::uint32_t IdentifyProcessor();
// The CCCR value, or 0 when the register cannot be mapped.
std::uint32_t ReadClockRegister();
// Reads CurrentClockWord from the hardware and sets the turbo and fast-bus flags from `clkcfg`.
void LoadClockState(std::uint32_t clkcfg);
