// Bitmaps and icons of the simulated handheld. A bitmap keeps the bits it was made from; an icon
// built from bitmaps keeps its pixels decoded, for tests to read.
#include "platform/graphics.h"

#include <algorithm>
#include <cstring>

#include "platform/sim/device.h"

namespace {

using sim::Device;

// Bytes a row: padded to a multiple of 16 bits.
std::size_t Stride(int width, std::uint32_t bitsPerPixel) {
  return ((static_cast<std::size_t>(width) * bitsPerPixel + 15) / 16) * 2;
}

// One value a pixel, row-major; the high bits of a byte are its left pixel.
std::vector<std::uint8_t> Unpack(const sim::BitmapRecord& bitmap) {
  const int width = bitmap.Width;
  const std::uint32_t bits = bitmap.BitsPerPixel;
  const std::size_t stride = Stride(width, bits);
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) *
                                   static_cast<std::size_t>(bitmap.Height));
  std::uint8_t* out = pixels.data();
  for (int y = 0; y < bitmap.Height; ++y) {
    const std::uint8_t* row = bitmap.Bits.data() + static_cast<std::size_t>(y) * stride;
    for (std::uint32_t x = 0; x < static_cast<std::uint32_t>(width); ++x) {
      *out++ = (row[x * bits / 8] >> (8 - bits - x * bits % 8)) & ((1u << bits) - 1);
    }
  }
  return pixels;
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
      (bitsPerPixel != 1 && bitsPerPixel != 4) ||
      bitsPerPixel == Device().Faults.FailingBitmapBits) {
    return Bitmap{};
  }
  sim::BitmapRecord bitmap{width, height, bitsPerPixel, {}};
  bitmap.Bits.resize(Stride(width, bitsPerPixel) * static_cast<std::size_t>(height));
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
  sim::IconPixels pixels{c.Width, c.Height, 0, Unpack(c), {}, u""};
  const std::vector<std::uint8_t> transparent = Unpack(m);
  pixels.Transparent.assign(pixels.Color.size(), 0);
  for (int y = 0; y < std::min(c.Height, m.Height); ++y) {
    for (int x = 0; x < std::min(c.Width, m.Width); ++x) {
      pixels.Transparent[static_cast<std::size_t>(y * c.Width + x)] =
          transparent[static_cast<std::size_t>(y * m.Width + x)] != 0 ? 1 : 0;
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

// An icon that is gone may have given its handle to another one on the handheld.
bool DestroyIcon(Icon icon) {
  SIM_CALL();
  if (Device().Graphics.Icons.erase(icon) != 0) return true;
  sim::LogCall("DestroyIconOfUnknownIcon");
  return false;
}

}  // namespace plat
