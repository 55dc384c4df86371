// Processor identification and the clock registers. Coprocessor reads run in kernel mode under
// the fault guard; the memory-mapped clock register is mapped around every single access.
#include "clock/registers.h"

#include "base/clock_word.h"
#include "base/state.h"
#include "platform/hardware.h"
#include "platform/memory.h"

namespace {

constexpr std::uint32_t IdMask = 0xFFFFE3F0;  // drops the revision and bits 10-12
constexpr std::uint32_t Pxa25xId = 0x69052100;
constexpr std::uint32_t Pxa27xId = 0x69054110;

void ReadIdRegisters(void*) {
  AppState.ProcessorId = plat::ReadProcessorId();
  AppState.CacheType = plat::ReadCacheType();
}

void ReadClkcfgInto(void* value) { *static_cast<std::uint32_t*>(value) = plat::ReadClockConfig(); }

}  // namespace

bool RunInKernelMode(void (*body)(void*), void* context) {
  plat::SetKMode(true);
  bool completed = plat::RunGuarded(body, context);
  plat::SetKMode(false);
  return completed;
}

ProcessorReading IdentifyProcessor() {
  AppState.CpuFamily = CpuUnknown;
  ProcessorReading reading{true, 0};
  if (!RunInKernelMode(ReadIdRegisters, nullptr)) reading.IdRegistersRead = false;

  std::uint32_t masked = AppState.ProcessorId & IdMask;
  if (masked == Pxa25xId) AppState.CpuFamily = CpuPxa25x;
  if (masked == Pxa27xId) AppState.CpuFamily = CpuPxa27x;
  if (AppState.CpuFamily == CpuUnknown) return reading;

  if (!RunInKernelMode(ReadClkcfgInto, &reading.Clkcfg)) reading.Clkcfg = 0;  // silent
  return reading;
}

std::uint32_t ReadClockRegister() {
  void* region = plat::VirtualAlloc(nullptr, 4, plat::MEM_RESERVE, plat::PAGE_NOACCESS);
  if (region == nullptr) return 0;
  std::uint32_t value = 0;
  if (plat::VirtualCopy(region, CccrPhysicalAddress >> 8, 4,
                        plat::PAGE_READONLY | plat::PAGE_NOCACHE | plat::PAGE_PHYSICAL)) {
    value = *static_cast<volatile std::uint32_t*>(region);
  }
  plat::VirtualFree(region, 0, plat::MEM_RELEASE);
  return value;
}

bool LoadClockState(std::uint32_t clkcfg) {
  AppState.CurrentClockWord = ReadClockRegister();
  if (AppState.CurrentClockWord == 0) {
    if (AppState.IconView == ViewFrequency) AppState.IconView = ViewPlain;  // this run only
    return false;
  }
  if ((clkcfg & ClkcfgTurbo) != 0) AppState.TurboFlag = 1;
  if (AppState.CpuFamily == CpuPxa27x && (clkcfg & ClkcfgFastBus) != 0) AppState.FastBusFlag = 1;
  return true;
}
