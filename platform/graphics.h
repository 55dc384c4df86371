// Bitmaps and icons built from pixel arrays.
// Contract only. Bitmaps are freed with DeleteObject, icons with DestroyIcon.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace plat {

struct IconInfo {
  bool IsIcon;
  std::uint32_t HotspotX;
  std::uint32_t HotspotY;
  Bitmap Mask;
  Bitmap Color;
};

// A device-independent bitmap of `width` x `height` pixels from `bits`: rows top-down, each
// row padded to a multiple of 16 bits, high bits first. 0 on failure. The bits are copied.
Bitmap CreateBitmap(int width, int height, std::uint32_t planes, std::uint32_t bitsPerPixel,
                    const void* bits);

// An icon from a 1-bit mask (1 = transparent) and a colour bitmap; the bitmaps are copied and
// may be deleted afterwards. 0 on failure.
Icon CreateIconIndirect(const IconInfo& info);

bool DeleteObject(Bitmap bitmap);
bool DestroyIcon(Icon icon);

}  // namespace plat
