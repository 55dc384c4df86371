// The handheld's display on the desktop: its orientation numbering and the missing rotation
// query, its system-colour brushes, and its 16-colour palette for 4-bit bitmaps.
// Windows API only; a port to the handheld replaces this file with the handheld's own calls.
#include <cstddef>
#include <cstring>
#include <utility>

#include "platform/win32/stand_in.h"
#include "platform/win32/windows_api.h"

using win32::ToPlatform;
using win32::Wide;

namespace {

// Display orientations: the handheld numbers 270 degrees 4, the desktop 3.
bool ToDesktopOrientation(std::uint32_t orientation, DWORD* desktop) {
  switch (orientation) {
    case handheld::Orientation0:
      *desktop = DMDO_DEFAULT;
      return true;
    case handheld::Orientation90:
      *desktop = DMDO_90;
      return true;
    case handheld::Orientation180:
      *desktop = DMDO_180;
      return true;
    case handheld::Orientation270:
      *desktop = DMDO_270;
      return true;
    default:
      return false;
  }
}

std::uint32_t ToHandheldOrientation(DWORD desktop) {
  switch (desktop) {
    case DMDO_90:
      return handheld::Orientation90;
    case DMDO_180:
      return handheld::Orientation180;
    case DMDO_270:
      return handheld::Orientation270;
    default:
      return handheld::Orientation0;
  }
}

bool CurrentDisplayMode(const wchar_t* device, DEVMODEW* mode) {
  *mode = DEVMODEW{};
  mode->dmSize = sizeof(DEVMODEW);
  return ::EnumDisplaySettingsW(device, ENUM_CURRENT_SETTINGS, mode) != FALSE;
}

// Turns the display to the handheld orientation asked for; a quarter turn swaps the sides.
LONG SetDisplayOrientation(const wchar_t* device, std::uint32_t orientation) {
  DWORD desktopOrientation = DMDO_DEFAULT;
  if (!ToDesktopOrientation(orientation, &desktopOrientation)) return DISP_CHANGE_BADPARAM;
  DEVMODEW mode;
  if (!CurrentDisplayMode(device, &mode)) return DISP_CHANGE_FAILED;
  if ((mode.dmDisplayOrientation % 2) != (desktopOrientation % 2)) {
    std::swap(mode.dmPelsWidth, mode.dmPelsHeight);
  }
  mode.dmDisplayOrientation = desktopOrientation;
  mode.dmFields = DM_DISPLAYORIENTATION | DM_PELSWIDTH | DM_PELSHEIGHT;
  return ::ChangeDisplaySettingsExW(device, &mode, nullptr, 0, nullptr);
}

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

namespace standin {

// The program's classes ask for a system-colour brush the handheld's way (colour index with
// this flag); the desktop spells it as the index plus one.
constexpr std::uintptr_t SystemColourBrushFlag = 0x40000000;

std::uintptr_t DesktopBrush(std::uintptr_t value) {
  if ((value & SystemColourBrushFlag) != 0 && (value & ~SystemColourBrushFlag) < 0x100) {
    return (value & ~SystemColourBrushFlag) + 1;
  }
  return value;
}

}  // namespace standin

namespace plat {

long ChangeDisplaySettingsEx(const char16_t* device, DeviceMode* mode, Window /*window*/,
                             std::uint32_t flags, void* /*parameter*/) {
  if (mode == nullptr) {
    // Without a record, flags 0 returns to the settings stored for the display.
    return flags == 0 ? ::ChangeDisplaySettingsExW(Wide(device), nullptr, nullptr, 0, nullptr)
                      : DISP_CHANGE_BADPARAM;
  }
  if ((mode->Fields & handheld::QueryOrientationField) != 0) {
    // The desktop stand-in offers no rotation: the set of supported orientations is empty.
    mode->DisplayOrientation = 0;
    return DISP_CHANGE_SUCCESSFUL;
  }
  if ((mode->Fields & handheld::DisplayOrientationField) != 0) {
    if ((flags & CDS_TEST) != 0) {
      DEVMODEW current;
      if (!CurrentDisplayMode(Wide(device), &current)) return DISP_CHANGE_FAILED;
      mode->DisplayOrientation = ToHandheldOrientation(current.dmDisplayOrientation);
      return DISP_CHANGE_SUCCESSFUL;
    }
    if (flags == 0) return SetDisplayOrientation(Wide(device), mode->DisplayOrientation);
  }
  return DISP_CHANGE_BADPARAM;
}

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
