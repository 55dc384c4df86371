// The simulated resource loader: strings and icons from the program's own resource script.
#include "platform/resources.h"

#include "platform/sim/device.h"
#include "platform/sim/internal.h"
#include "platform/windowing.h"

namespace plat {

using sim::internal::PlatformCall;

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
