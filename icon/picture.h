// Icon pictures: a 4-bit colour bitmap and a 1-bit mask, built in fixed buffers. Pure.
#pragma once

#include <cstdint>

inline constexpr int MaxIconSide = 32;

// Rows top-down, each padded to 16 bits: a 16-pixel picture row is 8 bytes and a mask row 2;
// a 32-pixel picture row is 16 bytes and a mask row 4. High nibble / high bit = left pixel.
// Where the mask is 1 the colour is 0. Drawing writes the rows of its side only.
struct IconPicture {
  int Side;  // 16 or 32
  std::uint8_t Color[MaxIconSide * MaxIconSide / 2];
  std::uint8_t Mask[MaxIconSide * MaxIconSide / 8];  // 1 = transparent
};

constexpr int ColorRowBytes(int side) { return side / 2; }
constexpr int MaskRowBytes(int side) { return side / 8; }

// The number in a rounded box, 16 x IconScale pixels (any scale but 2 draws 16), foreground
// and background indices from IconColors, drawn as they are (every index 0..15 is its own
// palette colour). 1000 and more: the last three digits between two lines. A negative value
// shows its magnitude the same way plus a short minus bar at the top left, in the band above the
// digits, at the same place whatever the number of digits; at a magnitude of 1000 or more only
// the bottom line is drawn, the minus taking the place of the top one.
void DrawNumberIcon(int value, IconPicture* picture);
// The load graph from SampleHistory (newest sample leftmost), mask all opaque.
void DrawGraphIcon(IconPicture* picture);

// Pixel access, for the drawing and for tests. Outside the picture: colour 0, transparent.
int PictureColorAt(const IconPicture& picture, int x, int y);
bool PictureTransparentAt(const IconPicture& picture, int x, int y);
