// Bitmaps and icons of the simulated handheld. A bitmap keeps the bits it was made from; an icon
// built from bitmaps keeps its pixels decoded, for tests to read.
#include "platform/graphics.h"

#include <cstring>

#include "platform/sim/device.h"

namespace {

using sim::Device;

std::uint8_t PixelAt(const sim::BitmapRecord& bitmap, int x, int y) {
  const std::size_t stride =
      ((static_cast<std::size_t>(bitmap.Width) * bitmap.BitsPerPixel + 15) / 16) * 2;
  const std::uint8_t* row = bitmap.Bits.data() + static_cast<std::size_t>(y) * stride;
  if (bitmap.BitsPerPixel == 4) return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
  return (row[x / 8] >> (7 - x % 8)) & 1;
}

}  // namespace

namespace sim {

plat::Icon NewIcon(int resourceId, int width, int height) {
  const plat::Icon handle = plat::Icon(Device().Graphics.NextIcon++);
  Device().Graphics.Icons[handle] = {width, height, resourceId, {}, {}, u""};
  return handle;
}

}  // namespace sim

namespace plat {

Bitmap CreateBitmap(int width, int height, std::uint32_t planes, std::uint32_t bitsPerPixel,
                    const void* bits) {
  SIM_CALL();
  if (width <= 0 || height <= 0 || width > 4096 || height > 4096 || planes != 1 ||
      (bitsPerPixel != 1 && bitsPerPixel != 4)) {
    return Bitmap{};
  }
  sim::BitmapRecord bitmap{width, height, bitsPerPixel, {}};
  const std::size_t stride = ((static_cast<std::size_t>(width) * bitsPerPixel + 15) / 16) * 2;
  bitmap.Bits.resize(stride * static_cast<std::size_t>(height));
  if (bits != nullptr) std::memcpy(bitmap.Bits.data(), bits, bitmap.Bits.size());
  const Bitmap handle = Bitmap(Device().Graphics.NextBitmap++);
  Device().Graphics.Bitmaps[handle] = std::move(bitmap);
  return handle;
}

Icon CreateIconIndirect(const IconInfo& info) {
  SIM_CALL();
  const auto& bitmaps = Device().Graphics.Bitmaps;
  const auto mask = bitmaps.find(info.Mask);
  const auto color = bitmaps.find(info.Color);
  if (mask == bitmaps.end() || color == bitmaps.end()) return Icon{};
  const sim::BitmapRecord& c = color->second;
  const sim::BitmapRecord& m = mask->second;
  sim::IconPixels pixels{c.Width, c.Height, 0, {}, {}, u""};
  pixels.Color.resize(static_cast<std::size_t>(c.Width) * static_cast<std::size_t>(c.Height));
  pixels.Transparent.assign(pixels.Color.size(), 0);
  for (int y = 0; y < c.Height; ++y) {
    for (int x = 0; x < c.Width; ++x) {
      const auto at = static_cast<std::size_t>(y * c.Width + x);
      pixels.Color[at] = PixelAt(c, x, y);
      if (y < m.Height && x < m.Width) pixels.Transparent[at] = PixelAt(m, x, y) != 0 ? 1 : 0;
    }
  }
  const Icon handle = sim::NewIcon(0, c.Width, c.Height);
  Device().Graphics.Icons[handle] = std::move(pixels);
  return handle;
}

bool DeleteObject(Bitmap bitmap) {
  SIM_CALL();
  return Device().Graphics.Bitmaps.erase(bitmap) != 0;
}

bool DestroyIcon(Icon icon) {
  SIM_CALL();
  return Device().Graphics.Icons.erase(icon) != 0;
}

}  // namespace plat
