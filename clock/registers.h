// Processor identification and access to the clock registers.
#pragma once

#include <cstdint>

inline constexpr std::uintptr_t CccrPhysicalAddress = 0x41300000;

struct ProcessorReading {
  bool IdRegistersRead;  // false: an access fault on the identification registers
  std::uint32_t Clkcfg;  // as read; 0 for an Unknown family or after a fault on it
};

// Runs `body(context)` in kernel mode under the fault guard and leaves kernel mode on both paths;
// false when an access fault cut the body short.
bool RunInKernelMode(void (*body)(void*), void* context);

// Fills ProcessorId, CacheType and CpuFamily. The caller tells the user when the identification
// registers could not be read.
ProcessorReading IdentifyProcessor();
// The CCCR value, or 0 when the register cannot be mapped.
std::uint32_t ReadClockRegister();
// Reads CurrentClockWord from the hardware and sets the turbo and fast-bus flags from `clkcfg`.
// False when the clock register read as 0 (the Frequency view then falls back to Plain for this
// run); the caller tells the user.
bool LoadClockState(std::uint32_t clkcfg);
