// The simulated processor's coprocessor registers and the fault guard. An access outside kernel
// mode, or to a register whose fault switch is on, "faults": control jumps back to the innermost
// RunGuarded, as an exception would. Every access is logged with the mode it was made in.
#include "platform/hardware.h"

#include <cstdio>
#include <cstdlib>

#include "platform/sim/device.h"

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

using sim::Device;

struct Guard {
  void* jumpBuffer[5];
  Guard* previous;
};
Guard* activeGuard = nullptr;  // RunGuarded leaves it as it found it on either way out

// Whether a coprocessor access may go ahead. It faults when its register's fault switch is on
// and, as on the handheld, whenever the program is not in kernel mode: inside a guard control
// jumps back to RunGuarded; outside one the access reads 0 and writes nothing, as the desktop
// stand-in does. Both kinds are logged so that tests can see a program that forgot kernel mode
// or the guard.
bool BeginAccess(const char* operation, bool registerFaults, std::uint32_t value) {
  const bool kernel = Device().Cpu.KernelMode;
  const bool faults = !kernel || registerFaults;
  Device().Log.Accesses.push_back({operation, faults ? 0 : value, kernel, faults});
  if (!kernel) sim::LogCall("KernelModeViolation");
  if (!faults) return true;
  if (activeGuard == nullptr) {
    sim::LogCall("UnguardedFault");
    return false;
  }
  sim::RaiseAccessFault(operation);
}

}  // namespace

namespace sim {

// Control back to the innermost RunGuarded, as an exception would; outside one the program has
// no guard and the process stops.
void RaiseAccessFault(const char* operation) {
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

}  // namespace sim

namespace plat {

std::uint32_t ReadProcessorId() {
  SIM_CALL();
  const sim::Processor& cpu = Device().Cpu;
  return BeginAccess(__func__, cpu.MainIdFaults, cpu.MainId) ? cpu.MainId : 0;
}

std::uint32_t ReadCacheType() {
  SIM_CALL();
  const sim::Processor& cpu = Device().Cpu;
  return BeginAccess(__func__, cpu.CacheTypeFaults, cpu.CacheType) ? cpu.CacheType : 0;
}

std::uint32_t ReadClockConfig() {
  SIM_CALL();
  const sim::Processor& cpu = Device().Cpu;
  return BeginAccess(__func__, cpu.ClkcfgReadFaults, cpu.Clkcfg) ? cpu.Clkcfg : 0;
}

void WriteClockConfig(std::uint32_t value) {
  SIM_CALL();
  if (!BeginAccess(__func__, Device().Cpu.ClkcfgWriteFaults, value)) return;
  Device().Cpu.Clkcfg = value;
  Device().Log.ClkcfgWrites.push_back(value);
}

bool RunGuarded(void (*body)(void* context), void* context) {
  SIM_CALL();
  if (body == nullptr) return true;
  Guard guard{};
  guard.previous = activeGuard;
  activeGuard = &guard;
  const int depth = sim::PlatformDepth;
  if (__builtin_setjmp(guard.jumpBuffer) == 0) {
    sim::CallProgram([&] { body(context); });
    activeGuard = guard.previous;
    return true;
  }
  // Back from a fault: the frames jumped over did not restore the platform mark.
  sim::SetPlatformDepth(depth);
  activeGuard = activeGuard->previous;
  return false;
}

}  // namespace plat
