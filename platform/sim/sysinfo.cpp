// The simulated handheld's system information queries: object store, storage cards, version,
// time zone, code pages and language, from the device's system values.
#include "platform/sysinfo.h"

#include "platform/sim/device.h"

namespace plat {

using sim::Device;

bool GetStoreInformation(StoreInformation* information) {
  SIM_CALL();
  if (information == nullptr) return false;
  *information = {Device().System.StoreSize, Device().System.StoreFree};
  return true;
}

// Storage cards are searches too: FindClose ends them.
Handle FindFirstFlashCard(FlashCardData* data) {
  SIM_CALL();
  sim::SystemValues& system = Device().System;
  const int cards = system.StorageCards;
  if (cards <= 0 || data == nullptr) return InvalidHandle;
  std::vector<FindData> matches(static_cast<std::size_t>(cards));
  for (int i = 0; i < cards; ++i) {
    const std::u16string name =
        i == 0 ? u"Storage Card" : u"Storage Card" + std::u16string(1, u'1' + i);
    sim::CopyBounded(name, matches[static_cast<std::size_t>(i)].FileName, 260);
  }
  sim::CopyBounded(matches[0].FileName, data->Name, 260);
  const std::uintptr_t handle = system.NextHandle++;
  system.Handles[handle] = {u"", true, std::move(matches), 1};
  return Handle(handle);
}

bool FindNextFlashCard(Handle search, FlashCardData* data) {
  SIM_CALL();
  FindData found{};
  if (data == nullptr || !FindNextFileW(search, &found)) return false;
  sim::CopyBounded(found.FileName, data->Name, 260);
  return true;
}

bool GetVersionExW(VersionInfo* version) {
  SIM_CALL();
  if (version == nullptr) return false;
  *version = {Device().System.Major, Device().System.Minor, Device().System.Build};
  return true;
}

std::uint32_t GetTimeZoneInformation(TimeZoneInformation* information) {
  SIM_CALL();
  if (information == nullptr) return 0xFFFFFFFFu;
  information->Bias = Device().System.TimeZoneBias;
  return 1;  // standard time
}

std::uint32_t GetOEMCP() {
  SIM_CALL();
  return Device().System.OemCodePage;
}

std::uint32_t GetACP() {
  SIM_CALL();
  return Device().System.AnsiCodePage;
}

std::uint16_t GetSystemDefaultLangID() {
  SIM_CALL();
  return Device().System.Language;
}

}  // namespace plat
