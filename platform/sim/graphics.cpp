// Bitmaps and icons of the simulated handheld. Every object keeps a packed copy of the bits it
// was made from, decoded only when a test asks for pixels; objects live in reused slots, so once
// the slots have grown to the program's working set, making and freeing them never allocates.
#include "platform/graphics.h"

#include <cstring>
#include <vector>

#include "platform/sim/device.h"
#include "platform/sim/internal.h"

namespace {

using sim::internal::PlatformCall;

// Rows top-down, each padded to a multiple of 16 bits; the high bits of a byte are the left pixel.
struct PackedBits {
  int Width = 0;
  int Height = 0;
  std::uint32_t BitsPerPixel = 0;
  std::vector<std::uint8_t> Bytes;  // keeps its capacity while the slot is free

  std::size_t Stride() const {
    return ((static_cast<std::size_t>(Width) * BitsPerPixel + 15) / 16) * 2;
  }
  std::uint8_t At(int x, int y) const {
    const std::uint8_t* row = Bytes.data() + static_cast<std::size_t>(y) * Stride();
    if (BitsPerPixel == 4) return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
    return (row[x / 8] >> (7 - x % 8)) & 1;
  }
};

struct BitmapSlot {
  std::uintptr_t Handle = 0;  // 0: free
  PackedBits Bits;
};

struct IconSlot {
  std::uintptr_t Handle = 0;  // 0: free
  int Width = 0;
  int Height = 0;
  int ResourceId = 0;
  bool Built = false;  // made from bitmaps, so it has pixels
  PackedBits Color;
  PackedBits Mask;
};

struct GraphicsState {
  std::vector<BitmapSlot> bitmaps;
  std::vector<IconSlot> icons;
  int liveBitmaps = 0;
  int liveIcons = 0;
  std::uintptr_t nextBitmap = sim::internal::BitmapHandleBase + 1;
  std::uintptr_t nextIcon = sim::internal::IconHandleBase + 1;
};

GraphicsState& G() {
  static GraphicsState state;
  return state;
}

// The slot holding `handle`, or with handle 0 a free one (grown when none is free).
template <typename Slot>
Slot* FindSlot(std::vector<Slot>& slots, std::uintptr_t handle) {
  for (Slot& slot : slots) {
    if (slot.Handle == handle) return &slot;
  }
  return nullptr;
}

template <typename Slot>
Slot& FreeSlot(std::vector<Slot>& slots) {
  if (Slot* slot = FindSlot(slots, 0)) return *slot;
  return slots.emplace_back();
}

BitmapSlot* FindBitmap(plat::Bitmap bitmap) {
  const auto handle = static_cast<std::uintptr_t>(bitmap);
  return handle == 0 ? nullptr : FindSlot(G().bitmaps, handle);
}

IconSlot* FindIcon(plat::Icon icon) {
  const auto handle = static_cast<std::uintptr_t>(icon);
  return handle == 0 ? nullptr : FindSlot(G().icons, handle);
}

IconSlot& NewIcon(int width, int height, int resourceId) {
  IconSlot& slot = FreeSlot(G().icons);
  slot.Handle = G().nextIcon++;
  slot.Width = width;
  slot.Height = height;
  slot.ResourceId = resourceId;
  slot.Built = false;
  ++G().liveIcons;
  return slot;
}

void CopyBits(PackedBits& to, const PackedBits& from) {
  to.Width = from.Width;
  to.Height = from.Height;
  to.BitsPerPixel = from.BitsPerPixel;
  to.Bytes.resize(from.Bytes.size());
  std::memcpy(to.Bytes.data(), from.Bytes.data(), from.Bytes.size());
}

}  // namespace

namespace sim {
namespace internal {

void ResetGraphics() { G() = GraphicsState{}; }

plat::Icon NewResourceIcon(int id, int width, int height) {
  return plat::Icon(NewIcon(width, height, id).Handle);
}

}  // namespace internal

std::optional<IconPixels> GetIconPixels(plat::Icon icon) {
  internal::SimCall mark;
  const IconSlot* slot = FindIcon(icon);
  if (slot == nullptr) return std::nullopt;
  IconPixels pixels{slot->Width, slot->Height, slot->ResourceId, {}, {}};
  if (!slot->Built) return pixels;
  const PackedBits& color = slot->Color;
  const PackedBits& mask = slot->Mask;
  const auto count = static_cast<std::size_t>(color.Width) * static_cast<std::size_t>(color.Height);
  pixels.Color.resize(count);
  pixels.Transparent.assign(count, 0);
  for (int y = 0; y < color.Height; ++y) {
    for (int x = 0; x < color.Width; ++x) {
      const auto at = static_cast<std::size_t>(y * color.Width + x);
      pixels.Color[at] = color.At(x, y);
      if (y < mask.Height && x < mask.Width) pixels.Transparent[at] = mask.At(x, y) != 0 ? 1 : 0;
    }
  }
  return pixels;
}

int LiveIconCount() { return G().liveIcons; }
int LiveBitmapCount() { return G().liveBitmaps; }

}  // namespace sim

namespace plat {

Bitmap CreateBitmap(int width, int height, std::uint32_t planes, std::uint32_t bitsPerPixel,
                    const void* bits) {
  PlatformCall call("CreateBitmap");
  if (width <= 0 || height <= 0 || width > 4096 || height > 4096 || planes != 1 ||
      (bitsPerPixel != 1 && bitsPerPixel != 4)) {
    return Bitmap{};
  }
  BitmapSlot& slot = FreeSlot(G().bitmaps);
  PackedBits& packed = slot.Bits;
  packed.Width = width;
  packed.Height = height;
  packed.BitsPerPixel = bitsPerPixel;
  const std::size_t size = packed.Stride() * static_cast<std::size_t>(height);
  packed.Bytes.resize(size);
  if (bits != nullptr) {
    std::memcpy(packed.Bytes.data(), bits, size);
  } else {
    std::memset(packed.Bytes.data(), 0, size);
  }
  slot.Handle = G().nextBitmap++;
  ++G().liveBitmaps;
  return Bitmap(slot.Handle);
}

Icon CreateIconIndirect(const IconInfo& info) {
  PlatformCall call("CreateIconIndirect");
  const BitmapSlot* mask = FindBitmap(info.Mask);
  const BitmapSlot* color = FindBitmap(info.Color);
  if (mask == nullptr || color == nullptr) return Icon{};
  IconSlot& icon = NewIcon(color->Bits.Width, color->Bits.Height, 0);
  icon.Built = true;
  CopyBits(icon.Color, color->Bits);
  CopyBits(icon.Mask, mask->Bits);
  return Icon(icon.Handle);
}

bool DeleteObject(Bitmap bitmap) {
  PlatformCall call("DeleteObject");
  BitmapSlot* slot = FindBitmap(bitmap);
  if (slot == nullptr) return false;
  slot->Handle = 0;
  --G().liveBitmaps;
  return true;
}

bool DestroyIcon(Icon icon) {
  PlatformCall call("DestroyIcon");
  IconSlot* slot = FindIcon(icon);
  if (slot == nullptr) return false;
  slot->Handle = 0;
  --G().liveIcons;
  return true;
}

}  // namespace plat
