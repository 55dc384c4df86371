// Applying clock words and single-field edits of CurrentClockWord. A failure beeps and leaves
// CurrentClockWord as it was; the clock register is mapped around every single apply.
#include "clock/apply.h"

#include "base/clock_word.h"
#include "base/state.h"
#include "clock/registers.h"
#include "icon/refresh.h"
#include "platform/dialogs.h"
#include "platform/hardware.h"
#include "platform/memory.h"

namespace {

void RefuseClockOperation() { plat::MessageBeep(plat::MB_ICONHAND); }

// Whether the clock is the program's to change: never on a processor it does not know.
bool ClockControlled() { return AppState.CpuFamily != CpuUnknown; }

struct ClockSwitch {
  void* Mapping;
  std::uint32_t Word;
  std::uint32_t Clkcfg;
  bool KernelEntered;  // read after a fault to know whether kernel mode must be left
};

// The steps that may fault: the store into CCCR (user mode), then the CLKCFG write that makes
// the core take it up (kernel mode, held around that write only).
void StoreAndSwitch(void* context) {
  auto* change = static_cast<ClockSwitch*>(context);
  plat::StoreMappedWord(change->Mapping, change->Word);
  change->KernelEntered = true;
  plat::SetKMode(true);
  plat::WriteClockConfig(change->Clkcfg);
  plat::SetKMode(false);
}

void WriteClkcfg(void* value) { plat::WriteClockConfig(*static_cast<std::uint32_t*>(value)); }

}  // namespace

bool ApplyClockWord(std::uint32_t word) {
  if (word == 0 || !ClockControlled()) {  // an empty preset, or a clock not ours to set
    RefuseClockOperation();
    return false;
  }
  void* region = plat::VirtualAlloc(nullptr, 4, plat::MEM_RESERVE, plat::PAGE_NOACCESS);
  if (region == nullptr) {
    RefuseClockOperation();
    return false;
  }
  bool applied = false;
  if (plat::VirtualCopy(region, CccrPhysicalAddress >> 8, 4,
                        plat::PAGE_READWRITE | plat::PAGE_NOCACHE | plat::PAGE_PHYSICAL)) {
    std::uint32_t clkcfg = ClkcfgFrequencyChange;
    if (AppState.FastBusFlag != 0) clkcfg |= ClkcfgFastBus;
    if (AppState.TurboFlag != 0) clkcfg |= ClkcfgTurbo;
    ClockSwitch change{region, word, clkcfg, false};
    if (plat::RunGuarded(StoreAndSwitch, &change)) {
      // Nothing from here on touches the hardware, so it needs no guard (and a guarded body
      // could not give back the icons the refresh makes).
      AppState.CurrentClockWord = word;
      RefreshTrayIcon();
      applied = true;
    } else {
      if (change.KernelEntered) plat::SetKMode(false);
      RefuseClockOperation();
    }
  } else {
    RefuseClockOperation();
  }
  plat::VirtualFree(region, 0, plat::MEM_RELEASE);
  return applied;
}

void ApplyPreset(int slot) {
  if (slot < 1 || slot > PresetSlots) return;  // no slot, as at a start without "#n"
  AppState.TurboFlag = 1;                      // stays set when the apply fails
  ApplyClockWord(AppState.PresetTable[slot - 1]);
}

bool SetTurboMode(int turbo) {
  AppState.TurboFlag = turbo != 0 ? 1 : 0;  // stays set when the apply fails
  return ApplyClockWord(AppState.CurrentClockWord);
}

void SetRunMultiplier(int m) {
  if (m < 1 || m > 3) return;
  ApplyClockWord(WithRunMultiplier(AppState.CurrentClockWord, static_cast<std::uint32_t>(m)));
}

void SetTurboMultiplier(int n) {
  if (n < 2 || n > 8) return;
  ApplyClockWord(WithTurboMultiplier(AppState.CurrentClockWord, static_cast<std::uint32_t>(n)));
}

void SetRunRatio(int l) {
  if (l < 1 || l > 31) return;
  ApplyClockWord(WithRunRatio(AppState.CurrentClockWord, static_cast<std::uint32_t>(l)));
}

// The edited word is kept even when the apply fails.
void SetMemoryDivider(int oneToOne) {
  AppState.CurrentClockWord = WithAlternateMemoryClock(AppState.CurrentClockWord, oneToOne != 0);
  ApplyClockWord(AppState.CurrentClockWord);
}

// Switches the bus alone: CLKCFG with turbo set (whatever TurboFlag says), no CCCR write.
void SetFastBus(int on) {
  if (!ClockControlled()) {
    RefuseClockOperation();
    return;
  }
  std::uint32_t clkcfg = ClkcfgFrequencyChange | ClkcfgTurbo | (on != 0 ? ClkcfgFastBus : 0);
  if (!RunInKernelMode(WriteClkcfg, &clkcfg)) {
    RefuseClockOperation();
    return;
  }
  AppState.FastBusFlag = on != 0 ? 1 : 0;
}

// Puts the chosen clock back when the register no longer holds it; an unreadable register
// (read as 0) differs too, so the apply is retried, and beeps, on every tick.
void CheckWatch() {
  if (!ClockControlled()) return;  // an unknown processor's register is never read
  if (ReadClockRegister() != AppState.CurrentClockWord) ApplyClockWord(AppState.CurrentClockWord);
}
