// The handheld's bitmaps on the desktop: a 4-bit bitmap takes the handheld's 16-colour palette.
// Windows API only; a port to the handheld replaces this file with the handheld's own call.
#include <cstddef>
#include <cstring>

#include "platform/win32/windows_api.h"

using win32::ToPlatform;

namespace {

// The handheld's 16 colours for 4-bit pictures, as 0xRRGGBB. A 4-bit GDI bitmap would take the
// desktop's default table instead, which swaps light and dark grey (7 and 8).
constexpr std::uint32_t Palette16Rgb[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

struct FourBitInfo {
  BITMAPINFOHEADER Header;
  RGBQUAD Colors[16];
};

// A top-down 4-bit DIB section with the palette above, filled from rows padded to 16 bits.
HBITMAP CreateFourBitBitmap(int width, int height, const void* bits) {
  FourBitInfo info{};
  info.Header.biSize = sizeof(info.Header);
  info.Header.biWidth = width;
  info.Header.biHeight = -height;
  info.Header.biPlanes = 1;
  info.Header.biBitCount = 4;
  info.Header.biCompression = BI_RGB;
  info.Header.biClrUsed = 16;
  for (int i = 0; i < 16; ++i) {
    const std::uint32_t rgb = Palette16Rgb[i];  // 0xRRGGBB
    info.Colors[i] = RGBQUAD{static_cast<BYTE>(rgb & 0xFF), static_cast<BYTE>((rgb >> 8) & 0xFF),
                             static_cast<BYTE>(rgb >> 16), 0};
  }
  void* pixels = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info),
                                      DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (bitmap == nullptr || pixels == nullptr) return bitmap;
  const std::size_t rowBits = static_cast<std::size_t>(width) * 4;
  const std::size_t sourceStride = (rowBits + 15) / 16 * 2;
  const std::size_t targetStride = (rowBits + 31) / 32 * 4;
  auto* target = static_cast<unsigned char*>(pixels);
  std::memset(target, 0, targetStride * static_cast<std::size_t>(height));
  if (bits != nullptr) {
    const auto* source = static_cast<const unsigned char*>(bits);
    for (int row = 0; row < height; ++row) {
      std::memcpy(target + targetStride * static_cast<std::size_t>(row),
                  source + sourceStride * static_cast<std::size_t>(row), sourceStride);
    }
  }
  ::GdiFlush();
  return bitmap;
}

}  // namespace

namespace plat {

Bitmap CreateBitmap(int width, int height, std::uint32_t planes, std::uint32_t bitsPerPixel,
                    const void* bits) {
  // Icons are at most 64 pixels square; the bound keeps the row arithmetic far from overflow.
  constexpr int MaxSide = 4096;
  if (width <= 0 || height <= 0 || width > MaxSide || height > MaxSide) return Bitmap{};
  if (planes == 1 && bitsPerPixel == 4) {
    return ToPlatform<Bitmap>(CreateFourBitBitmap(width, height, bits));
  }
  // GDI's own bitmaps take rows padded to 16 bits, as the platform's do.
  return ToPlatform<Bitmap>(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
}

}  // namespace plat
