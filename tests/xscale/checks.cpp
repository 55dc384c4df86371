// The bare-metal checks: the program's own clock code on the machine model's processor. A table of
// steps run in order in user mode; after each, the whole state (AppState's clock fields, CCCR and
// CLKCFG as the model holds them, the step's beeps, refreshes and exceptions, the processor mode,
// the pages left reserved) is compared with the state before it plus what the step must change.
#include <array>

#include "base/state.h"
#include "clock/apply.h"
#include "clock/registers.h"
#include "platform/hardware.h"
#include "platform/memory.h"
#include "platform/xscale/kernel.h"
#include "tests/xscale/console.h"
#include "tests/xscale/stand_ins.h"

extern "C" char __program_start[];  // the image's first page (image.ld)

namespace {

// ---- The machines: each model's identification and reset values, set down here, not read ------

struct Machine {
  const char* Name;  // as the runner passes it: the board, and the processor model if chosen
  std::uint32_t MainId, CacheType;
  std::int32_t Family;
  std::uint32_t ResetCccr, ResetClkcfg;
};

constexpr std::uint32_t XscaleCaches = 0x0D172172;  // 32 KB instruction and data caches
constexpr Machine Machines[] = {
    {"tosa", 0x69052D00, XscaleCaches, CpuPxa25x, 0x121, 9},  // PXA255
    {"mainstone", 0x69054117, XscaleCaches, CpuPxa27x, 0x2000210, 9},
    {"mainstone:pxa270-a0", 0x69054110, XscaleCaches, CpuPxa27x, 0x2000210, 9},
    {"mainstone:pxa270-a1", 0x69054111, XscaleCaches, CpuPxa27x, 0x2000210, 9},
    {"mainstone:pxa270-b0", 0x69054112, XscaleCaches, CpuPxa27x, 0x2000210, 9},
    {"mainstone:pxa270-b1", 0x69054113, XscaleCaches, CpuPxa27x, 0x2000210, 9},
    {"mainstone:pxa270-c0", 0x69054114, XscaleCaches, CpuPxa27x, 0x2000210, 9},
    {"mainstone:pxa270-c5", 0x69054117, XscaleCaches, CpuPxa27x, 0x2000210, 9},
    {"akita", 0x69054114, XscaleCaches, CpuPxa27x, 0x2000210, 9},
    {"versatilepb", 0x41069265, 0x1DD20D2, CpuUnknown, 0, 0},  // ARM926EJ-S: no CP14 register 6
};

// The default presets of each family, as the program seeds them.
constexpr std::uint32_t Pxa25xPresets[PresetSlots] = {0x121, 0x141, 0x1C1, 0x241,
                                                      0x242, 0x2C1, 0x243, 0x341};
constexpr std::uint32_t Pxa27xPresets[PresetSlots] = {0x2000104, 0x2000108, 0x2000110, 0x2000190,
                                                      0x2000210, 0x2000290, 0x2000310, 0x2000390};
std::uint32_t Preset(const Machine& machine, int index) {
  return (machine.Family == CpuPxa25x ? Pxa25xPresets : Pxa27xPresets)[index];
}

constexpr std::uint32_t UserMode = 0x10;

// ---- The state a step leaves behind ------------------------------------------------------------

enum Field {
  Result,  // what the step's calls returned
  ProcessorId,
  CacheType,
  Family,
  Current,  // CurrentClockWord
  Turbo,
  FastBus,
  Cccr,    // read from the model (XScale machines only)
  Clkcfg,  // likewise
  Refreshes,
  HandBeeps,
  OtherBeeps,
  Undefined,  // undefined-instruction exceptions
  Aborts,     // data aborts
  AbortAddress,
  ReservedPages,
  Mode,  // the processor mode right after the step
  FieldCount
};
constexpr const char* FieldNames[FieldCount] = {"result",
                                                "main ID",
                                                "cache type",
                                                "family",
                                                "CurrentClockWord",
                                                "TurboFlag",
                                                "FastBusFlag",
                                                "CCCR",
                                                "CLKCFG",
                                                "icon refreshes",
                                                "beeps",
                                                "other beeps",
                                                "undefined instructions",
                                                "data aborts",
                                                "abort address",
                                                "reserved pages",
                                                "mode"};
using Outcome = std::array<std::uint32_t, FieldCount>;

// ---- The image's own access to the registers, through the backend alone ----------------------

void ReadClkcfgInto(void* value) { *static_cast<std::uint32_t*>(value) = plat::ReadClockConfig(); }

// CLKCFG read in kernel mode; false when the processor refused the read.
bool ReadClkcfg(std::uint32_t* value) {
  plat::SetKMode(true);
  const bool read = plat::RunGuarded(ReadClkcfgInto, value);
  plat::SetKMode(false);
  return read;
}

// CCCR mapped by the image itself, as another program would map it.
void* MapCccr(std::uint32_t access) {
  void* region = plat::VirtualAlloc(nullptr, 4, plat::MEM_RESERVE, plat::PAGE_NOACCESS);
  plat::VirtualCopy(region, CccrPhysicalAddress >> 8, 4,
                    access | plat::PAGE_NOCACHE | plat::PAGE_PHYSICAL);
  return region;
}

std::uint32_t ReadCccr() {
  void* region = MapCccr(plat::PAGE_READONLY);
  const std::uint32_t value = *static_cast<volatile std::uint32_t*>(region);
  plat::VirtualFree(region, 0, plat::MEM_RELEASE);
  return value;
}

// Another program's clock change.
void WriteCccr(std::uint32_t word) {
  void* region = MapCccr(plat::PAGE_READWRITE);
  plat::StoreMappedWord(region, word);
  plat::VirtualFree(region, 0, plat::MEM_RELEASE);
}

std::uint32_t ProcessorMode() {
  std::uint32_t status;
  asm volatile("mrs %0, cpsr" : "=r"(status));
  return status & 0x1F;
}

// The state now, with the counts at 0 and the mode user mode. The registers are read only on an
// XScale machine: elsewhere neither exists.
Outcome Observe(const Machine& machine) {
  Outcome state{};
  state[ProcessorId] = AppState.ProcessorId;
  state[CacheType] = AppState.CacheType;
  state[Family] = static_cast<std::uint32_t>(AppState.CpuFamily);
  state[Current] = AppState.CurrentClockWord;
  state[Turbo] = AppState.TurboFlag;
  state[FastBus] = AppState.FastBusFlag;
  if (machine.Family != CpuUnknown) {
    state[Cccr] = ReadCccr();
    if (!ReadClkcfg(&state[Clkcfg])) state[Clkcfg] = 0xDEAD;
  }
  state[ReservedPages] = xscale::ReservedPages();
  state[Mode] = UserMode;
  return state;
}

// ---- The steps ---------------------------------------------------------------------------------

void Touch(void* address) { (void)*static_cast<volatile std::uint32_t*>(address); }

// CLKCFG as LoadClockState receives it at start-up: what identification read.
std::uint32_t IdentifiedClkcfg = 0;

std::uint32_t ClkcfgFor(std::uint32_t turbo, std::uint32_t fastBus) {
  return 2 | (fastBus != 0 ? 8 : 0) | (turbo != 0 ? 1 : 0);
}

enum MachineKinds { OnXscale = 1, OnOther = 2, OnEvery = 3 };

struct Step {
  const char* Name;
  int Where;
  int Argument;                                        // printed after the name when not negative
  std::uint32_t (*Run)(const Machine&, int argument);  // in user mode
  void (*Expect)(const Machine&, int argument, Outcome&);  // the state before, made the one due
};

// The default preset of `slot` (1..8), with TurboFlag and FastBusFlag set in turn so that the
// eight applies write CLKCFG 2, 3, 10, 11, 2, 3, 10, 11.
std::uint32_t ApplyPresetStep(const Machine& machine, int slot) {
  const int index = slot - 1;
  AppState.TurboFlag = index & 1;
  AppState.FastBusFlag = (index >> 1) & 1;
  ApplyClockWord(Preset(machine, index));
  return 0;
}
void ExpectPreset(const Machine& machine, int slot, Outcome& o) {
  const int index = slot - 1;
  o[Turbo] = static_cast<std::uint32_t>(index & 1);
  o[FastBus] = static_cast<std::uint32_t>((index >> 1) & 1);
  o[Current] = o[Cccr] = Preset(machine, index);
  o[Clkcfg] = ClkcfgFor(o[Turbo], o[FastBus]);
  o[Refreshes] = 1;
}

std::uint32_t SetFastBusStep(const Machine&, int on) {
  SetFastBus(on);
  return 0;
}
void ExpectFastBus(const Machine&, int on, Outcome& o) {
  o[FastBus] = static_cast<std::uint32_t>(on);
  o[Clkcfg] = on != 0 ? 11 : 3;
}

constexpr Step Steps[] = {
    {"IdentifyProcessor: the family from the model's main ID", OnEvery, -1,
     [](const Machine&, int) -> std::uint32_t {
       const ProcessorReading reading = IdentifyProcessor();
       IdentifiedClkcfg = reading.Clkcfg;
       return reading.IdRegistersRead ? reading.Clkcfg : 0xFFFFFFFF;
     },
     [](const Machine& m, int, Outcome& o) {
       o[Result] = m.ResetClkcfg;
       o[ProcessorId] = m.MainId;
       o[CacheType] = m.CacheType;
       o[Family] = static_cast<std::uint32_t>(m.Family);
     }},
    {"LoadClockState: the reset CCCR, T and (PXA27x) B from CLKCFG", OnXscale, -1,
     [](const Machine&, int) -> std::uint32_t {
       return std::uint32_t{LoadClockState(IdentifiedClkcfg)};
     },
     [](const Machine& m, int, Outcome& o) {
       o[Result] = 1;
       o[Current] = m.ResetCccr;
       o[Turbo] = m.ResetClkcfg & 1;
       o[FastBus] = m.Family == CpuPxa27x ? (m.ResetClkcfg >> 3) & 1 : 0;
     }},
    {"ApplyClockWord of the default preset in slot", OnXscale, 1, ApplyPresetStep, ExpectPreset},
    {"ApplyClockWord of the default preset in slot", OnXscale, 2, ApplyPresetStep, ExpectPreset},
    {"ApplyClockWord of the default preset in slot", OnXscale, 3, ApplyPresetStep, ExpectPreset},
    {"ApplyClockWord of the default preset in slot", OnXscale, 4, ApplyPresetStep, ExpectPreset},
    {"ApplyClockWord of the default preset in slot", OnXscale, 5, ApplyPresetStep, ExpectPreset},
    {"ApplyClockWord of the default preset in slot", OnXscale, 6, ApplyPresetStep, ExpectPreset},
    {"ApplyClockWord of the default preset in slot", OnXscale, 7, ApplyPresetStep, ExpectPreset},
    {"ApplyClockWord of the default preset in slot", OnXscale, 8, ApplyPresetStep, ExpectPreset},
    {"SetFastBus", OnXscale, 1, SetFastBusStep, ExpectFastBus},
    {"SetFastBus", OnXscale, 0, SetFastBusStep, ExpectFastBus},
    {"CheckWatch, CCCR as the program left it: nothing", OnXscale, -1,
     [](const Machine&, int) -> std::uint32_t {
       CheckWatch();
       return 0;
     },
     [](const Machine&, int, Outcome&) {}},
    {"CheckWatch after CCCR changed behind the program's back: applied again", OnXscale, -1,
     [](const Machine& m, int) -> std::uint32_t {
       WriteCccr(Preset(m, 0));
       CheckWatch();
       return 0;
     },
     [](const Machine&, int, Outcome& o) {
       o[Clkcfg] = ClkcfgFor(o[Turbo], o[FastBus]);
       o[Refreshes] = 1;
     }},
    {"kernel mode refused, ApplyClockWord: undefined instruction, one beep, word kept", OnXscale,
     -1,
     [](const Machine& m, int) -> std::uint32_t {
       XscaleKernel.RefusesKernelMode = 1;
       ApplyClockWord(Preset(m, 2));
       return 0;
     },
     [](const Machine& m, int, Outcome& o) {
       o[Cccr] = Preset(m, 2);  // the store precedes the switch, which never came
       o[HandBeeps] = 1;
       o[Undefined] = 1;
     }},
    {"kernel mode refused, SetFastBus 1: undefined instruction, one beep, flag kept", OnXscale, -1,
     [](const Machine& m, int) -> std::uint32_t {
       XscaleKernel.RefusesKernelMode = 1;
       return SetFastBusStep(m, 1);
     },
     [](const Machine&, int, Outcome& o) {
       o[HandBeeps] = 1;
       o[Undefined] = 1;
     }},
    {"read-only mapping, ApplyClockWord: data abort at the mapping, one beep, word kept", OnXscale,
     -1,
     [](const Machine& m, int) -> std::uint32_t {
       XscaleKernel.MapsReadOnly = 1;
       ApplyClockWord(Preset(m, 3));
       return 0;
     },
     [](const Machine&, int, Outcome& o) {
       o[HandBeeps] = 1;
       o[Aborts] = 1;
       o[AbortAddress] = xscale::WindowBase;
     }},
    {"release: 1,000 reads of CCCR, each the register's value, leave no page reserved", OnXscale,
     -1,
     [](const Machine&, int) -> std::uint32_t {
       const std::uint32_t cccr = ReadClockRegister();
       std::uint32_t same = 0;
       for (int i = 0; i < 1000; ++i) same += ReadClockRegister() == cccr ? 1 : 0;
       return same;
     },
     [](const Machine&, int, Outcome& o) { o[Result] = 1000; }},
    // A stale translation shows on the model only for a page of memory (it keeps none of a device
    // register) and only without a mode switch between the release and the touch (it empties its
    // TLB at one): so a page of the image's own code, and all in kernel mode.
    {"release: the TLB forgets a freed page, a touch of it aborts", OnXscale, -1,
     [](const Machine&, int) -> std::uint32_t {
       void* region = plat::VirtualAlloc(nullptr, 4, plat::MEM_RESERVE, plat::PAGE_NOACCESS);
       plat::VirtualCopy(region, reinterpret_cast<std::uintptr_t>(__program_start) >> 8, 4,
                         plat::PAGE_READONLY | plat::PAGE_PHYSICAL);
       plat::SetKMode(true);
       Touch(region);  // the translation is in the TLB now
       plat::VirtualFree(region, 0, plat::MEM_RELEASE);
       const bool touched = plat::RunGuarded(Touch, region);
       plat::SetKMode(false);
       return std::uint32_t{touched};
     },
     [](const Machine&, int, Outcome& o) {
       o[Aborts] = 1;
       o[AbortAddress] = xscale::WindowBase;
     }},
    {"unknown processor, ApplyClockWord: one beep, no register touched", OnOther, -1,
     [](const Machine&, int) -> std::uint32_t {
       ApplyClockWord(Pxa25xPresets[0]);
       return 0;
     },
     [](const Machine&, int, Outcome& o) { o[HandBeeps] = 1; }},
    {"unknown processor, SetFastBus 1: one beep, no register touched", OnOther, -1,
     [](const Machine& m, int) { return SetFastBusStep(m, 1); },
     [](const Machine&, int, Outcome& o) { o[HandBeeps] = 1; }},
    {"unknown processor, CheckWatch: nothing", OnOther, -1,
     [](const Machine&, int) -> std::uint32_t {
       CheckWatch();
       return 0;
     },
     [](const Machine&, int, Outcome&) {}},
    // Shows that the counts of 0 above mean something: a CLKCFG access here would have trapped.
    {"this processor has no CLKCFG: a kernel-mode read of it is an undefined instruction", OnOther,
     -1,
     [](const Machine&, int) -> std::uint32_t {
       std::uint32_t value = 0;
       return std::uint32_t{ReadClkcfg(&value)};
     },
     [](const Machine&, int, Outcome& o) { o[Undefined] = 1; }},
};

// Runs one step and prints its line; false when the state it left is not the one due.
bool RunStep(const Machine& machine, const Step& step) {
  Outcome due = Observe(machine);
  step.Expect(machine, step.Argument, due);

  Counts = {};
  XscaleKernel.UndefinedInstructions = XscaleKernel.DataAborts = XscaleKernel.AbortAddress = 0;
  const std::uint32_t result = step.Run(machine, step.Argument);
  const std::uint32_t mode = ProcessorMode();
  const StandInCounts counts = Counts;
  const XscaleKernelRecord faults = XscaleKernel;
  XscaleKernel.RefusesKernelMode = XscaleKernel.MapsReadOnly = 0;

  Outcome seen = Observe(machine);
  seen[Result] = result;
  seen[Refreshes] = counts.Refreshes;
  seen[HandBeeps] = counts.HandBeeps;
  seen[OtherBeeps] = counts.OtherBeeps;
  seen[Undefined] = faults.UndefinedInstructions;
  seen[Aborts] = faults.DataAborts;
  seen[AbortAddress] = faults.AbortAddress;
  seen[Mode] = mode;

  const bool passed = seen == due;
  Print(passed ? "ok    " : "FAIL  ");
  Print(step.Name);
  if (step.Argument >= 0) {
    Print(" ");
    PrintDecimal(static_cast<std::uint32_t>(step.Argument));
  }
  if (machine.Family != CpuUnknown) {
    Print(" [CCCR ");
    PrintHex(seen[Cccr]);
    Print(", CLKCFG ");
    PrintDecimal(seen[Clkcfg]);
    Print("]");
  }
  Print("\n");
  for (int field = 0; field < FieldCount; ++field) {
    if (seen[field] == due[field]) continue;
    Print("        ");
    Print(FieldNames[field]);
    Print(": ");
    PrintHex(seen[field]);
    Print(", expected ");
    PrintHex(due[field]);
    Print("\n");
  }
  return passed;
}

bool SameText(const char* a, const char* b) {
  while (*a != 0 && *a == *b) ++a, ++b;
  return *a == *b;
}

}  // namespace

extern "C" [[noreturn]] void ImageMain() {
  const char* name = CommandLine();
  const Machine* machine = nullptr;
  for (const Machine& candidate : Machines) {
    if (SameText(candidate.Name, name)) machine = &candidate;
  }
  if (machine == nullptr) {
    Print("FAIL  no such machine in the table: \"");
    Print(name);
    Print("\"\n");
    Exit(false);
  }
  const int where = machine->Family != CpuUnknown ? OnXscale : OnOther;
  std::uint32_t checks = 0, failed = 0;
  for (const Step& step : Steps) {
    if ((step.Where & where) == 0) continue;
    ++checks;
    if (!RunStep(*machine, step)) ++failed;
  }
  Print(machine->Name);
  Print(": ");
  PrintDecimal(checks);
  Print(" checks, ");
  PrintDecimal(checks - failed);
  Print(" passed, ");
  PrintDecimal(failed);
  Print(" failed\n");
  Exit(failed == 0);
}
