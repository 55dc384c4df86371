// The register primitives as the XScale's own instructions. These four instructions are exactly
// what a port to the handheld takes; the fault guard beside them (hardware.S) stands in for the
// handheld's exception handling, which turns the same processor exceptions into the same result.
#include "platform/hardware.h"

#include "platform/xscale/kernel.h"

XscaleKernelRecord XscaleKernel{};

namespace plat {

// Each is one coprocessor instruction; outside a privileged mode the processor refuses it with
// an undefined-instruction exception, which the innermost RunGuarded takes.
std::uint32_t ReadProcessorId() {
  std::uint32_t id;
  asm volatile("mrc p15, 0, %0, c0, c0, 0" : "=r"(id) : : "memory");
  return id;
}

std::uint32_t ReadCacheType() {
  std::uint32_t type;
  asm volatile("mrc p15, 0, %0, c0, c0, 1" : "=r"(type) : : "memory");
  return type;
}

std::uint32_t ReadClockConfig() {
  std::uint32_t value;
  asm volatile("mrc p14, 0, %0, c6, c0, 0" : "=r"(value) : : "memory");
  return value;
}

void WriteClockConfig(std::uint32_t value) {
  asm volatile("mcr p14, 0, %0, c6, c0, 0" : : "r"(value) : "memory");
}

}  // namespace plat
