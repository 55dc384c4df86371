// Icon pictures: a 4-bit colour bitmap and a 1-bit mask, built in fixed buffers. Pure.
#pragma once

#include <cstdint>

inline constexpr int MaxIconSide = 32;

// Rows top-down, each padded to 16 bits: a 16-pixel picture row is 8 bytes and a mask row 2;
// a 32-pixel picture row is 16 bytes and a mask row 4. High nibble / high bit = left pixel.
struct IconPicture {
  int Side;  // 16 or 32
  std::uint8_t Color[MaxIconSide * MaxIconSide / 2];
  std::uint8_t Mask[MaxIconSide * MaxIconSide / 8];  // 1 = transparent
};

constexpr int ColorRowBytes(int side) { return side / 2; }
constexpr int MaskRowBytes(int side) { return side / 8; }

// The number in a rounded box, for the current IconScale and IconColors.
void DrawNumberIcon(int value, IconPicture* picture);
// The load graph from SampleHistory, for the current IconScale and IconColors.
void DrawGraphIcon(IconPicture* picture);

// Pixel access, for the drawing and for tests.
int PictureColorAt(const IconPicture& picture, int x, int y);
bool PictureTransparentAt(const IconPicture& picture, int x, int y);
