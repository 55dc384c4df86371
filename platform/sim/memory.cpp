// Virtual memory of the simulated handheld: reserved regions backed by cells of the device
// record, the one physical mapping it knows (the CCCR clock register) and the kernel-mode switch.
#include "platform/memory.h"

#include "platform/sim/device.h"

namespace {

using sim::Device;

inline constexpr std::uintptr_t CccrPhysicalPage = 0x41300000 >> 8;

sim::Region* FindRegion(void* address) {
  auto found = Device().Regions.find(reinterpret_cast<std::uintptr_t>(address));
  return found == Device().Regions.end() ? nullptr : &found->second;
}

// A write through the clock register's mapping reaching the register.
void StoreCccr(const char* operation, std::uint32_t value) {
  Device().Cpu.Cccr = value;
  Device().Log.CccrWrites.push_back(value);
  Device().Log.Accesses.push_back({operation, value, Device().Cpu.KernelMode, false});
}

}  // namespace

namespace plat {

void* VirtualAlloc(void* address, std::uint32_t size, std::uint32_t type, std::uint32_t) {
  SIM_CALL();
  if (address != nullptr || size == 0 || size > 0x100000 || (type & MEM_RESERVE) == 0 ||
      Device().Faults.ReservationFails) {
    return {};
  }
  sim::Region region;
  region.Cells.assign((size + 3) / 4, 0);
  void* base = region.Cells.data();  // stays where it is when the region moves into the map
  Device().Regions[reinterpret_cast<std::uintptr_t>(base)] = std::move(region);
  return base;
}

bool VirtualCopy(void* destination, std::uintptr_t source, std::uint32_t size,
                 std::uint32_t protect) {
  SIM_CALL();
  sim::Region* region = FindRegion(destination);
  // The simulated handheld has one physical register to map: CCCR.
  if (region == nullptr || region->Mapped || (protect & PAGE_PHYSICAL) == 0 ||
      source != CccrPhysicalPage || size == 0 || size > region->Cells.size() * 4 ||
      Device().Cpu.MapFails) {
    return false;
  }
  Device().Log.Mappings.push_back(protect);
  region->Cells[0] = region->Loaded = Device().Cpu.Cccr;
  region->Mapped = true;
  region->Protect = protect;
  return true;
}

bool VirtualFree(void* address, std::uint32_t size, std::uint32_t type) {
  SIM_CALL();
  sim::Region* region = FindRegion(address);
  if (region == nullptr || type != MEM_RELEASE || size != 0) return false;
  // A write through a read-write mapping reaches the register (seen as a changed cell).
  if (region->Mapped && (region->Protect & PAGE_READWRITE) != 0 &&
      region->Cells[0] != region->Loaded) {
    StoreCccr(__func__, region->Cells[0]);
  }
  Device().Regions.erase(reinterpret_cast<std::uintptr_t>(address));
  return true;
}

void StoreMappedWord(void* mapping, std::uint32_t value) {
  SIM_CALL();
  sim::Region* region = FindRegion(mapping);
  if (region == nullptr || !region->Mapped || (region->Protect & PAGE_READWRITE) == 0 ||
      Device().Cpu.CccrStoreFaults) {
    Device().Log.Accesses.push_back({__func__, 0, Device().Cpu.KernelMode, true});
    sim::RaiseAccessFault(__func__);
  }
  // Uncached: the register takes the word now, not when the mapping is released.
  region->Cells[0] = region->Loaded = value;
  StoreCccr(__func__, value);
}

bool SetKMode(bool kernel) {
  SIM_CALL();
  return std::exchange(Device().Cpu.KernelMode, kernel);
}

}  // namespace plat
