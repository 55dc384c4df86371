// The simulated resource loader: strings, icons and dialog templates from the program's own
// resource script.
#include "platform/resources.h"

#include "platform/sim/device.h"
#include "platform/windowing.h"

namespace {
constexpr std::uintptr_t DialogResourceBase = 0x60000;
}  // namespace

namespace plat {

ResourceInfo FindResourceW(Instance, std::uint16_t id, std::uint32_t type) {
  SIM_CALL();
  if (type != RT_DIALOG || sim::Device().Faults.MissingDialogs.count(id) != 0) {
    return ResourceInfo{};
  }
  const auto& dialogs = sim::Resources().Dialogs;
  for (std::size_t i = 0; i < dialogs.size(); ++i) {
    if (dialogs[i].Id == id) return ResourceInfo(DialogResourceBase + i);
  }
  return ResourceInfo{};
}

const void* LoadResource(Instance, ResourceInfo resource) {
  SIM_CALL();
  const auto& dialogs = sim::Resources().Dialogs;
  const auto value = static_cast<std::uintptr_t>(resource);
  if (value < DialogResourceBase || value - DialogResourceBase >= dialogs.size()) return nullptr;
  return &dialogs[value - DialogResourceBase];
}

int LoadStringW(Instance, std::uint32_t id, char16_t* buffer, int capacity) {
  SIM_CALL();
  if (buffer == nullptr || capacity <= 0) return 0;
  for (const auto& [stringId, text] : sim::Resources().Strings) {
    if (static_cast<std::uint32_t>(stringId) == id) return sim::CopyBounded(text, buffer, capacity);
  }
  buffer[0] = u'\0';
  return 0;
}

Icon LoadImageW(Instance, std::uint16_t id, std::uint32_t type, int width, int height,
                std::uint32_t flags) {
  SIM_CALL();
  // No load flag is modelled.
  if (type != IMAGE_ICON || flags != 0 || sim::Device().Faults.IconLoadFails) return Icon{};
  for (const auto& [iconId, file] : sim::Resources().Icons) {
    if (iconId != id) continue;
    // Size 0 asks for the system's large icon size.
    const auto& metrics = sim::Device().System.Metrics;
    if (width == 0) width = metrics.at(SM_CXICON);
    if (height == 0) height = metrics.at(SM_CYICON);
    return sim::NewIcon(id, width, height);
  }
  return Icon{};
}

}  // namespace plat
