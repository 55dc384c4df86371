// What the bare-metal image sets up and reads of the XScale backend: the MMU's start, the
// kernel's two switches that drive the failure paths, and what the exception handlers counted.
// Included by platform/xscale and the image in tests/xscale only.
#pragma once

#include <cstddef>
#include <cstdint>

namespace xscale {

// The program's mapping window: VirtualAlloc hands out 4 KB pages from here, unmapped until
// VirtualCopy maps them. The first free page is always handed out first.
inline constexpr std::uintptr_t WindowBase = 0xC0000000;
inline constexpr std::uint32_t PageSize = 4096;
inline constexpr std::uint32_t WindowPages = 256;  // one megabyte, one second-level table

// The image's memory, each bound a multiple of 1 MB: user mode may read and write the program's
// part (code, data, its stack); only privileged modes reach the kernel's part (the translation
// tables, the exception stacks). Address 0, the exception vectors, is privileged too.
struct ImageLayout {
  std::uintptr_t ProgramStart, ProgramEnd;
  std::uintptr_t KernelStart, KernelEnd;
};

// Builds the translation table and turns the MMU on. Called once, in a privileged mode, before
// the program runs in user mode. Caches stay off, so no table edit needs cache maintenance.
void StartMmu(const ImageLayout& layout);

// Pages of the window reserved now, mapped or not; 0 when every region has been released.
std::uint32_t ReservedPages();

}  // namespace xscale

// The kernel's switches and the exception handlers' counts (hardware.S writes the counts, at the
// offsets asserted below). User mode may read and write this record.
struct XscaleKernelRecord {
  // Set by the image to take the program's failure paths through the processor's own
  // exceptions, as a handheld's kernel could decide them.
  std::uint8_t RefusesKernelMode;  // SetKMode(true) leaves the program in user mode
  std::uint8_t MapsReadOnly;       // VirtualCopy lets user mode only read, whatever it asked
  std::uint8_t Unused[2];
  std::uint32_t UndefinedInstructions;
  std::uint32_t DataAborts;
  std::uint32_t AbortAddress;  // the fault address register at the last data abort
};
static_assert(offsetof(XscaleKernelRecord, UndefinedInstructions) == 4 &&
              offsetof(XscaleKernelRecord, DataAborts) == 8 &&
              offsetof(XscaleKernelRecord, AbortAddress) == 12);

extern "C" XscaleKernelRecord XscaleKernel;

// An exception that no fault guard takes (kind 1 undefined instruction, 2 data abort, 3 prefetch
// abort, 4 interrupt, 5 fast interrupt, 6 an unknown supervisor call; address: the
// instruction's): the image reports and stops.
extern "C" [[noreturn]] void XscaleUnguardedFault(std::uint32_t kind, std::uint32_t address);
