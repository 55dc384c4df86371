// The coprocessor registers and their fault guard; on the desktop, the stand-in's registers.
// Backend only, no program logic. A faulting access abandons the guarded body at that access,
// as the handheld's exception handler would; outside a guard it reads 0 and writes nothing.
#include "platform/win32/stand_in.h"
#include "platform/win32/windows_api.h"

namespace {

// One active RunGuarded call; nested calls chain to the outer one.
struct Guard {
  void* Resume[5];  // __builtin_setjmp's buffer
  Guard* Outer;
};
thread_local Guard* activeGuard = nullptr;

[[noreturn]] __attribute__((noinline)) void AbandonGuardedBody() {
  __builtin_longjmp(activeGuard->Resume, 1);
}

// A coprocessor access faults when the device is set to fault, and outside kernel mode.
// Returns whether the access may go ahead; a fault inside a guard does not return.
bool BeginAccess() {
  const bool faults = !standin::InKernelMode() || standin::Read(standin::AccessFaults) != 0;
  if (!faults) return true;
  standin::AccessFault();
  return false;
}

std::uint32_t ReadRegister(const standin::DwordValue& value) {
  return BeginAccess() ? standin::Read(value) : 0;
}

}  // namespace

void standin::AccessFault() {
  if (activeGuard != nullptr) AbandonGuardedBody();
}

namespace plat {

std::uint32_t ReadProcessorId() { return ReadRegister(standin::MainId); }

std::uint32_t ReadCacheType() { return ReadRegister(standin::CacheType); }

std::uint32_t ReadClockConfig() { return ReadRegister(standin::Clkcfg); }

void WriteClockConfig(std::uint32_t value) {
  if (BeginAccess()) standin::Write(standin::Clkcfg, value);
}

bool RunGuarded(void (*body)(void* context), void* context) {
  if (body == nullptr) return true;  // nothing to run, nothing faulted
  Guard guard{};
  guard.Outer = activeGuard;
  activeGuard = &guard;
  if (__builtin_setjmp(guard.Resume) != 0) {
    activeGuard = guard.Outer;
    return false;
  }
  body(context);
  activeGuard = guard.Outer;
  return true;
}

}  // namespace plat
