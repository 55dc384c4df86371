// The simulated resource loader: strings, icons and dialog templates from the program's own
// resource script.
#include "platform/resources.h"

#include <set>

#include "platform/sim/device.h"
#include "platform/sim/internal.h"
#include "platform/windowing.h"

namespace {

// Dialog templates a test has taken out of the module.
std::set<int>& MissingDialogs() {
  static std::set<int> missing;
  return missing;
}

constexpr std::uintptr_t DialogResourceBase = 0x60000;

}  // namespace

namespace sim {
void RemoveDialogResource(int id) {
  internal::SimCall mark;
  MissingDialogs().insert(id);
}
namespace internal {
void ResetResources() { MissingDialogs().clear(); }
}  // namespace internal
}  // namespace sim

namespace plat {

using sim::internal::PlatformCall;

ResourceInfo FindResourceW(Instance, std::uint16_t id, std::uint32_t type) {
  PlatformCall call("FindResourceW");
  if (type != RT_DIALOG || MissingDialogs().count(id) != 0) return ResourceInfo{};
  const auto& dialogs = sim::Resources().Dialogs;
  for (std::size_t i = 0; i < dialogs.size(); ++i) {
    if (dialogs[i].Id == id) return ResourceInfo(DialogResourceBase + i);
  }
  return ResourceInfo{};
}

const void* LoadResource(Instance, ResourceInfo resource) {
  PlatformCall call("LoadResource");
  const auto& dialogs = sim::Resources().Dialogs;
  auto value = static_cast<std::uintptr_t>(resource);
  if (value < DialogResourceBase || value - DialogResourceBase >= dialogs.size()) return nullptr;
  return &dialogs[value - DialogResourceBase];
}

int LoadStringW(Instance, std::uint32_t id, char16_t* buffer, int capacity) {
  PlatformCall call("LoadStringW");
  if (buffer == nullptr || capacity <= 0) return 0;
  for (const auto& [stringId, text] : sim::Resources().Strings) {
    if (static_cast<std::uint32_t>(stringId) == id) {
      return sim::internal::CopyBounded(text, buffer, capacity);
    }
  }
  buffer[0] = u'\0';
  return 0;
}

Icon LoadImageW(Instance, std::uint16_t id, std::uint32_t type, int width, int height,
                std::uint32_t) {
  PlatformCall call("LoadImageW");
  if (type != IMAGE_ICON) return Icon{};
  for (const auto& [iconId, file] : sim::Resources().Icons) {
    if (iconId == id) {
      // Size 0 asks for the system's large icon size.
      if (width == 0) width = sim::internal::Metric(SM_CXICON);
      if (height == 0) height = sim::internal::Metric(SM_CYICON);
      return sim::internal::NewResourceIcon(id, width, height);
    }
  }
  return Icon{};
}

}  // namespace plat
