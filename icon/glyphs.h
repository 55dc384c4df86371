// The icon's constant shapes: the two rounded-box masks and the two digit fonts.
// Constants only; the drawing in icon/picture.cpp merges them row by row.
#pragma once

#include <cstdint>

// Box masks, one entry per row, most significant bit = leftmost pixel, 1 = transparent.
extern const std::uint16_t BoxMask16[16];
extern const std::uint32_t BoxMask32[32];

// 4 x 7 digits for 16-pixel icons: one 4-bit row per entry, bit 3 = leftmost pixel.
inline constexpr int SmallDigitWidth = 4;
inline constexpr int SmallDigitHeight = 7;
extern const std::uint8_t SmallDigits[10][SmallDigitHeight];

// 8 x 14 digits for 32-pixel icons: one byte per row, bit 7 = leftmost pixel.
inline constexpr int LargeDigitWidth = 8;
inline constexpr int LargeDigitHeight = 14;
extern const std::uint8_t LargeDigits[10][LargeDigitHeight];
