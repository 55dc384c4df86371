// Bitmaps and icons of the simulated handheld, kept as decoded pixels so tests can read the
// tray picture. Every object is a copy: the caller's bits and bitmaps may go right after.
#include "platform/graphics.h"

#include <map>

#include "platform/sim/device.h"
#include "platform/sim/internal.h"

namespace {

using sim::internal::PlatformCall;

struct BitmapObject {
  int Width;
  int Height;
  std::uint32_t BitsPerPixel;
  std::vector<std::uint8_t> Pixels;  // one value per pixel, row-major
};

struct GraphicsState {
  std::map<std::uintptr_t, BitmapObject> bitmaps;
  std::map<std::uintptr_t, sim::IconPixels> icons;
  std::uintptr_t nextBitmap = sim::internal::BitmapHandleBase + 1;
  std::uintptr_t nextIcon = sim::internal::IconHandleBase + 1;
};

GraphicsState& G() {
  static GraphicsState state;
  return state;
}

const BitmapObject* FindBitmap(plat::Bitmap bitmap) {
  auto it = G().bitmaps.find(static_cast<std::uintptr_t>(bitmap));
  return it == G().bitmaps.end() ? nullptr : &it->second;
}

}  // namespace

namespace sim {
namespace internal {

void ResetGraphics() { G() = GraphicsState{}; }

plat::Icon NewResourceIcon(int id, int width, int height) {
  std::uintptr_t handle = G().nextIcon++;
  G().icons[handle] = IconPixels{width, height, id, {}, {}};
  return plat::Icon(handle);
}

}  // namespace internal

std::optional<IconPixels> GetIconPixels(plat::Icon icon) {
  internal::SimCall mark;
  auto it = G().icons.find(static_cast<std::uintptr_t>(icon));
  if (it == G().icons.end()) return std::nullopt;
  return it->second;
}

int LiveIconCount() { return static_cast<int>(G().icons.size()); }
int LiveBitmapCount() { return static_cast<int>(G().bitmaps.size()); }

}  // namespace sim

namespace plat {

Bitmap CreateBitmap(int width, int height, std::uint32_t planes, std::uint32_t bitsPerPixel,
                    const void* bits) {
  PlatformCall call("CreateBitmap");
  if (width <= 0 || height <= 0 || width > 4096 || height > 4096 || planes != 1 ||
      (bitsPerPixel != 1 && bitsPerPixel != 4)) {
    return Bitmap{};
  }
  BitmapObject object{width, height, bitsPerPixel,
                      std::vector<std::uint8_t>(static_cast<std::size_t>(width * height))};
  if (bits != nullptr) {
    const auto* bytes = static_cast<const std::uint8_t*>(bits);
    // Rows are padded to a multiple of 16 bits; the high bits of a byte are the left pixel.
    std::size_t stride = ((static_cast<std::size_t>(width) * bitsPerPixel + 15) / 16) * 2;
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* row = bytes + static_cast<std::size_t>(y) * stride;
      for (int x = 0; x < width; ++x) {
        std::uint8_t value;
        if (bitsPerPixel == 4) {
          std::uint8_t byte = row[x / 2];
          value = (x % 2 == 0) ? byte >> 4 : byte & 0x0F;
        } else {
          value = (row[x / 8] >> (7 - x % 8)) & 1;
        }
        object.Pixels[static_cast<std::size_t>(y * width + x)] = value;
      }
    }
  }
  std::uintptr_t handle = G().nextBitmap++;
  G().bitmaps.emplace(handle, std::move(object));
  return Bitmap(handle);
}

Icon CreateIconIndirect(const IconInfo& info) {
  PlatformCall call("CreateIconIndirect");
  const BitmapObject* mask = FindBitmap(info.Mask);
  const BitmapObject* color = FindBitmap(info.Color);
  if (mask == nullptr || color == nullptr) return Icon{};
  sim::IconPixels pixels{color->Width, color->Height, 0, color->Pixels, {}};
  pixels.Transparent.assign(color->Pixels.size(), 0);
  for (int y = 0; y < color->Height && y < mask->Height; ++y) {
    for (int x = 0; x < color->Width && x < mask->Width; ++x) {
      pixels.Transparent[static_cast<std::size_t>(y * color->Width + x)] =
          mask->Pixels[static_cast<std::size_t>(y * mask->Width + x)] != 0 ? 1 : 0;
    }
  }
  std::uintptr_t handle = G().nextIcon++;
  G().icons.emplace(handle, std::move(pixels));
  return Icon(handle);
}

bool DeleteObject(Bitmap bitmap) {
  PlatformCall call("DeleteObject");
  return G().bitmaps.erase(static_cast<std::uintptr_t>(bitmap)) == 1;
}

bool DestroyIcon(Icon icon) {
  PlatformCall call("DestroyIcon");
  return G().icons.erase(static_cast<std::uintptr_t>(icon)) == 1;
}

}  // namespace plat
