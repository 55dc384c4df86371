// The simulated processor's coprocessor registers and the fault guard. An access outside kernel
// mode, or to a register whose fault switch is on, "faults": control jumps back to the innermost
// RunGuarded, as an exception would.
#include "platform/hardware.h"

#include <cstdio>
#include <cstdlib>

#include "platform/sim/device.h"
#include "platform/sim/internal.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZORVIK_SIM_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define ZORVIK_SIM_ASAN 1
#endif
#ifdef ZORVIK_SIM_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace {

using sim::internal::PlatformCall;

constexpr sim::Processor DefaultProcessor() {
  return {0x69054117, 0x0B1AA1AA, 0x02000290, 3, false, false, false, false, false, false};
}

struct HardwareState {
  sim::Processor cpu = DefaultProcessor();
  std::vector<std::uint32_t> clkcfgWrites;
  std::vector<std::uint32_t> cccrWrites;
};

HardwareState& H() {
  static HardwareState state;
  return state;
}

struct Guard {
  void* jumpBuffer[5];
  Guard* previous;
};
Guard* activeGuard = nullptr;

// Control back to the innermost RunGuarded, as an exception would; outside one the program has
// no guard and the process stops.
[[noreturn]] __attribute__((noinline)) void Fault(const char* operation) {
  if (activeGuard == nullptr) {
    std::fprintf(stderr, "sim: %s faulted outside RunGuarded (the program has no guard)\n",
                 operation);
    std::abort();
  }
#ifdef ZORVIK_SIM_ASAN
  __asan_handle_no_return();
#endif
  __builtin_longjmp(activeGuard->jumpBuffer, 1);
}

// Whether a coprocessor access may go ahead. It faults when its register's fault switch is on
// and, as on the handheld, whenever the program is not in kernel mode: inside a guard control
// jumps back to RunGuarded; outside one the access reads 0 and writes nothing, as the desktop
// stand-in does. Both kinds are logged so that tests can see a program that forgot kernel mode
// or the guard.
bool BeginAccess(const char* operation, bool registerFaults) {
  const bool kernel = sim::InKernelMode();
  if (!kernel) sim::internal::Log("KernelModeViolation");
  if (kernel && !registerFaults) return true;
  if (activeGuard == nullptr) {
    sim::internal::Log("UnguardedFault");
    return false;
  }
  Fault(operation);
}

}  // namespace

namespace sim {
namespace internal {

void ResetHardware() {
  H() = HardwareState{};
  activeGuard = nullptr;
}

void RaiseAccessFault(const char* operation) { Fault(operation); }

void StoreCccr(std::uint32_t value) {
  H().cpu.Cccr = value;
  H().cccrWrites.push_back(value);
}

}  // namespace internal

Processor& Cpu() { return H().cpu; }
const std::vector<std::uint32_t>& ClkcfgWrites() { return H().clkcfgWrites; }
const std::vector<std::uint32_t>& CccrWrites() { return H().cccrWrites; }

}  // namespace sim

namespace plat {

std::uint32_t ReadProcessorId() {
  PlatformCall call("ReadProcessorId");
  return BeginAccess("ReadProcessorId", H().cpu.MainIdFaults) ? H().cpu.MainId : 0;
}

std::uint32_t ReadCacheType() {
  PlatformCall call("ReadCacheType");
  return BeginAccess("ReadCacheType", H().cpu.CacheTypeFaults) ? H().cpu.CacheType : 0;
}

std::uint32_t ReadClockConfig() {
  PlatformCall call("ReadClockConfig");
  return BeginAccess("ReadClockConfig", H().cpu.ClkcfgReadFaults) ? H().cpu.Clkcfg : 0;
}

void WriteClockConfig(std::uint32_t value) {
  PlatformCall call("WriteClockConfig");
  if (!BeginAccess("WriteClockConfig", H().cpu.ClkcfgWriteFaults)) return;
  H().cpu.Clkcfg = value;
  H().clkcfgWrites.push_back(value);
}

bool RunGuarded(void (*body)(void* context), void* context) {
  PlatformCall call("RunGuarded");
  if (body == nullptr) return true;
  Guard guard{};
  guard.previous = activeGuard;
  activeGuard = &guard;
  const int depth = sim::internal::PlatformDepth();
  if (__builtin_setjmp(guard.jumpBuffer) == 0) {
    {
      sim::internal::ProgramCallback callback;
      body(context);
    }
    activeGuard = guard.previous;
    return true;
  }
  // Back from a fault: the frames jumped over did not restore the platform mark.
  sim::internal::SetPlatformDepth(depth);
  activeGuard = activeGuard->previous;
  return false;
}

}  // namespace plat
