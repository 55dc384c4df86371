// Virtual memory and kernel mode over the XScale's MMU, bare metal, standing in for the
// handheld's kernel. A first-level translation table of 1 MB sections, and one second-level table
// of 4 KB small pages for the program's mapping window. Both tables lie where only privileged
// modes reach, so each edit runs in System mode, entered by the same supervisor call as SetKMode.
#include "platform/memory.h"

#include "platform/xscale/kernel.h"

namespace {

using xscale::PageSize;
using xscale::WindowBase;
using xscale::WindowPages;

// First-level descriptors, domain 0 (a client domain: every access is checked against its AP).
// Bit 4 stays clear, as the XScale requires.
constexpr std::uint32_t SectionDescriptor = 0x2;
constexpr std::uint32_t CoarseTableDescriptor = 0x1;
constexpr std::uint32_t SectionPrivileged = 1u << 10;  // AP 01: privileged read-write, user none
constexpr std::uint32_t SectionUser = 3u << 10;        // AP 11: read-write for every mode

// Second-level small-page descriptors, one AP for each 1 KB quarter of the page.
constexpr std::uint32_t SmallPageDescriptor = 0x2;
constexpr std::uint32_t SmallPageCached = 0xC;           // C and B: cacheable, bufferable
constexpr std::uint32_t SmallPageUserReadOnly = 0xAA0;   // AP 10: user may read
constexpr std::uint32_t SmallPageUserReadWrite = 0xFF0;  // AP 11: user may read and write

constexpr std::uint32_t ControlMmu = 1u << 0, ControlDataCache = 1u << 2,
                        ControlSystemProtection = 1u << 8, ControlRomProtection = 1u << 9,
                        ControlInstructionCache = 1u << 12;

constexpr std::uint32_t ModeBits = 0x1F, UserMode = 0x10;

#define KERNEL_ONLY __attribute__((section(".kernel")))
alignas(16384) std::uint32_t FirstLevel[4096] KERNEL_ONLY;
alignas(1024) std::uint32_t WindowTable[WindowPages] KERNEL_ONLY;  // 0: a fault, unmapped
std::uint8_t Reserved[WindowPages] KERNEL_ONLY;      // the page belongs to a reserved region
std::uint16_t RegionPages[WindowPages] KERNEL_ONLY;  // at a region's first page: its length

bool Privileged() {
  std::uint32_t status;
  asm volatile("mrs %0, cpsr" : "=r"(status));
  return (status & ModeBits) != UserMode;
}

// The supervisor call (memory.S): System mode for true, user mode for false, from user or System
// mode. Returns whether the caller was privileged; in the mode asked for already, it makes no call.
bool SwitchMode(bool system) {
  if (Privileged() == system) return system;
  register std::uint32_t r0 asm("r0") = system ? 1 : 0;
  asm volatile("svc #0" : "+r"(r0) : : "memory");
  return r0 != 0;
}

void DrainWriteBuffer() { asm volatile("mcr p15, 0, %0, c7, c10, 4" : : "r"(0) : "memory"); }
void InvalidateTlb() { asm volatile("mcr p15, 0, %0, c8, c7, 0" : : "r"(0) : "memory"); }

// The window page that `address` starts, if it starts one.
bool WindowPage(void* address, std::uint32_t* page) {
  const std::uintptr_t offset = reinterpret_cast<std::uintptr_t>(address) - WindowBase;
  if (offset % PageSize != 0 || offset / PageSize >= WindowPages) return false;
  *page = offset / PageSize;
  return true;
}

std::uint32_t PagesFor(std::uint32_t size) { return size / PageSize + (size % PageSize != 0); }

}  // namespace

namespace xscale {

void StartMmu(const ImageLayout& layout) {
  FirstLevel[0] = SectionDescriptor | SectionPrivileged;  // the exception vectors
  for (std::uintptr_t mb = layout.ProgramStart >> 20; mb < layout.ProgramEnd >> 20; ++mb) {
    FirstLevel[mb] = (mb << 20) | SectionDescriptor | SectionUser;
  }
  for (std::uintptr_t mb = layout.KernelStart >> 20; mb < layout.KernelEnd >> 20; ++mb) {
    FirstLevel[mb] = (mb << 20) | SectionDescriptor | SectionPrivileged;
  }
  FirstLevel[WindowBase >> 20] =
      reinterpret_cast<std::uintptr_t>(WindowTable) | CoarseTableDescriptor;
  DrainWriteBuffer();
  asm volatile(
      "mcr p15, 0, %0, c2, c0, 0\n"  // the translation table base
      "mcr p15, 0, %1, c3, c0, 0\n"  // domain 0: client
      :
      : "r"(FirstLevel), "r"(1)
      : "memory");
  InvalidateTlb();
  std::uint32_t control;
  asm volatile("mrc p15, 0, %0, c1, c0, 0" : "=r"(control));
  control &= ~(ControlDataCache | ControlInstructionCache | ControlSystemProtection |
               ControlRomProtection);
  control |= ControlMmu;
  std::uint32_t scratch;
  asm volatile(
      "mcr p15, 0, %1, c1, c0, 0\n"
      "mrc p15, 0, %0, c2, c0, 0\n"  // the XScale's CPWAIT: the change has taken effect
      "mov %0, %0\n"
      "sub pc, pc, #4\n"
      : "=&r"(scratch)
      : "r"(control)
      : "memory");
}

std::uint32_t ReservedPages() {
  const bool previous = SwitchMode(true);
  std::uint32_t pages = 0;
  for (std::uint8_t reserved : Reserved) pages += reserved;
  SwitchMode(previous);
  return pages;
}

}  // namespace xscale

namespace plat {

// Reserves whole pages of the window, left unmapped: any touch is a data abort.
void* VirtualAlloc(void* address, std::uint32_t size, std::uint32_t type, std::uint32_t) {
  const std::uint32_t pages = PagesFor(size);
  if (address != nullptr || pages == 0 || pages > WindowPages || (type & MEM_RESERVE) == 0) {
    return nullptr;
  }
  const bool previous = SwitchMode(true);
  void* region = nullptr;
  std::uint32_t run = 0;
  for (std::uint32_t page = 0; page < WindowPages; ++page) {
    run = Reserved[page] != 0 ? 0 : run + 1;
    if (run < pages) continue;
    const std::uint32_t first = page + 1 - pages;
    for (std::uint32_t p = first; p <= page; ++p) Reserved[p] = 1;
    RegionPages[first] = static_cast<std::uint16_t>(pages);
    region = reinterpret_cast<void*>(WindowBase + first * PageSize);
    break;
  }
  SwitchMode(previous);
  return region;
}

// Maps physical pages (PAGE_PHYSICAL: the source is the address shifted right by 8) onto
// reserved, unmapped pages; user mode may read them, and write them with PAGE_READWRITE.
// PAGE_NOCACHE maps them uncached and unbuffered, so that a store reaches the device at once.
bool VirtualCopy(void* destination, std::uintptr_t source, std::uint32_t size,
                 std::uint32_t protect) {
  std::uint32_t first = 0;
  const std::uint32_t pages = PagesFor(size);
  if (!WindowPage(destination, &first) || pages == 0 || pages > WindowPages - first ||
      (protect & PAGE_PHYSICAL) == 0 || (source >> 24) != 0 || ((source << 8) % PageSize) != 0) {
    return false;
  }
  std::uint32_t access = 0;
  if ((protect & PAGE_READWRITE) != 0) access = SmallPageUserReadWrite;
  if ((protect & PAGE_READONLY) != 0) access = SmallPageUserReadOnly;
  if (access == 0) return false;
  if (XscaleKernel.MapsReadOnly != 0) access = SmallPageUserReadOnly;
  const std::uint32_t caching = (protect & PAGE_NOCACHE) != 0 ? 0 : SmallPageCached;

  const bool previous = SwitchMode(true);
  bool free = true;
  for (std::uint32_t p = first; p < first + pages; ++p) {
    free = free && Reserved[p] != 0 && WindowTable[p] == 0;
  }
  for (std::uint32_t p = first; free && p < first + pages; ++p) {
    const std::uint32_t physical = (source << 8) + (p - first) * PageSize;
    WindowTable[p] = physical | access | caching | SmallPageDescriptor;
  }
  DrainWriteBuffer();  // the table walk reads the new descriptors from memory
  SwitchMode(previous);
  return free;
}

// Unmaps and releases a whole region; the TLB forgets its pages, so a later touch aborts.
bool VirtualFree(void* address, std::uint32_t size, std::uint32_t type) {
  std::uint32_t first = 0;
  if (!WindowPage(address, &first) || size != 0 || type != MEM_RELEASE) return false;
  const bool previous = SwitchMode(true);
  const std::uint32_t pages = RegionPages[first];
  for (std::uint32_t p = first; p < first + pages; ++p) {
    WindowTable[p] = 0;
    Reserved[p] = 0;
  }
  RegionPages[first] = 0;
  DrainWriteBuffer();
  InvalidateTlb();
  SwitchMode(previous);
  return pages != 0;
}

// One store in the mode the program is in; through a read-only page it is a data abort.
void StoreMappedWord(void* mapping, std::uint32_t value) {
  *static_cast<volatile std::uint32_t*>(mapping) = value;
}

// User mode and System mode, switched by a supervisor call. A kernel that refuses the program
// kernel mode (XscaleKernel.RefusesKernelMode) leaves it in the mode it is in.
bool SetKMode(bool kernel) {
  if (kernel && XscaleKernel.RefusesKernelMode != 0) return SwitchMode(Privileged());
  return SwitchMode(kernel);
}

}  // namespace plat
