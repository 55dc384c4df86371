// Virtual memory of the simulated handheld: reserved regions backed by sim-owned cells, the one
// physical mapping it knows (the CCCR clock register) and the kernel-mode switch.
#include "platform/memory.h"

#include <map>
#include <memory>
#include <vector>

#include "platform/sim/device.h"
#include "platform/sim/internal.h"

namespace {

using sim::internal::PlatformCall;

inline constexpr std::uintptr_t CccrPhysicalPage = 0x41300000 >> 8;

struct Region {
  std::vector<std::uint32_t> Cells;
  bool Mapped = false;
  std::uint32_t Protect = 0;
  std::uint32_t Loaded = 0;  // the register's value when mapped
};

struct MemoryState {
  std::map<std::uintptr_t, std::unique_ptr<Region>> regions;  // by address
  bool kernelMode = false;
  std::vector<std::uint32_t> clockMappings;  // the protection of each mapping of CCCR
};

MemoryState& Mem() {
  static MemoryState state;
  return state;
}

Region* FindRegion(void* address) {
  auto it = Mem().regions.find(reinterpret_cast<std::uintptr_t>(address));
  return it == Mem().regions.end() ? nullptr : it->second.get();
}

}  // namespace

namespace sim {
namespace internal {
void ResetMemory() { Mem() = MemoryState{}; }
int LiveRegionCount() { return static_cast<int>(Mem().regions.size()); }
}  // namespace internal

bool InKernelMode() { return Mem().kernelMode; }
const std::vector<std::uint32_t>& ClockRegisterMappings() { return Mem().clockMappings; }

}  // namespace sim

namespace plat {

void* VirtualAlloc(void* address, std::uint32_t size, std::uint32_t type, std::uint32_t) {
  PlatformCall call("VirtualAlloc");
  if (address != nullptr || size == 0 || size > 0x100000 || (type & MEM_RESERVE) == 0) {
    return nullptr;
  }
  auto region = std::make_unique<Region>();
  region->Cells.assign((size + 3) / 4, 0);
  void* base = region->Cells.data();
  Mem().regions[reinterpret_cast<std::uintptr_t>(base)] = std::move(region);
  return base;
}

bool VirtualCopy(void* destination, std::uintptr_t source, std::uint32_t size,
                 std::uint32_t protect) {
  PlatformCall call("VirtualCopy");
  Region* region = FindRegion(destination);
  // The simulated handheld has one physical register to map: CCCR.
  if (region == nullptr || region->Mapped || (protect & PAGE_PHYSICAL) == 0 ||
      source != CccrPhysicalPage || size == 0 || size > region->Cells.size() * 4) {
    return false;
  }
  if (sim::Cpu().MapFails) return false;
  Mem().clockMappings.push_back(protect);
  region->Cells[0] = sim::Cpu().Cccr;
  region->Loaded = region->Cells[0];
  region->Mapped = true;
  region->Protect = protect;
  return true;
}

bool VirtualFree(void* address, std::uint32_t size, std::uint32_t type) {
  PlatformCall call("VirtualFree");
  Region* region = FindRegion(address);
  if (region == nullptr || type != MEM_RELEASE || size != 0) return false;
  // A write through a read-write mapping reaches the register (seen as a changed cell).
  if (region->Mapped && (region->Protect & PAGE_READWRITE) != 0 &&
      region->Cells[0] != region->Loaded) {
    sim::internal::StoreCccr(region->Cells[0]);
  }
  Mem().regions.erase(reinterpret_cast<std::uintptr_t>(address));
  return true;
}

void StoreMappedWord(void* mapping, std::uint32_t value) {
  PlatformCall call("StoreMappedWord");
  Region* region = FindRegion(mapping);
  if (region == nullptr || !region->Mapped || (region->Protect & PAGE_READWRITE) == 0 ||
      sim::Cpu().CccrStoreFaults) {
    sim::internal::RaiseAccessFault("StoreMappedWord");
  }
  // Uncached: the register takes the word now, not when the mapping is released.
  region->Cells[0] = value;
  region->Loaded = value;
  sim::internal::StoreCccr(value);
}

bool SetKMode(bool kernel) {
  PlatformCall call("SetKMode");
  bool previous = Mem().kernelMode;
  Mem().kernelMode = kernel;
  return previous;
}

}  // namespace plat
