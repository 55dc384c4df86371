// Icon pictures: the number in a rounded box and the load graph, pixel by pixel.
// Pure: reads AppState and the constant shapes, writes only the caller's picture.
#include "icon/picture.h"

#include <cstdint>

#include "base/state.h"
#include "icon/glyphs.h"

namespace {

// Where the parts of a number go, for one icon size.
struct NumberLayout {
  int Side;
  int GlyphTop;
  int CellLeft[3][3];  // [digits shown - 1][cell], leftmost cell first
  int TopLineRow;
  int BottomLineRow;
  int LineFirstColumn;
  int LineLastColumn;
  // The minus of a negative value: a short bar at the top left, in the band above the digits
  // where the top thousands line would otherwise go; fixed, whatever the number of digits.
  int MinusFirstRow;
  int MinusLastRow;
  int MinusFirstColumn;
  int MinusLastColumn;
  int NarrowOneShift;  // how far a digit 1 pulls the cells to its right closer; 0 = never
};

constexpr NumberLayout SmallLayout{
    16, 4, {{7, 0, 0}, {4, 9, 0}, {1, 6, 11}}, 2, 12, 2, 13, 2, 2, 2, 5, 0,
};
constexpr NumberLayout LargeLayout{
    32, 8, {{12, 0, 0}, {8, 18, 0}, {2, 12, 22}}, 4, 26, 4, 27, 4, 5, 4, 11, 2,
};

// Anything but scale 2 draws the 16-pixel icon, so a damaged scale never overruns the picture.
const NumberLayout& CurrentLayout() { return AppState.IconScale == 2 ? LargeLayout : SmallLayout; }
int ForegroundIndex() { return static_cast<int>(AppState.IconColors & 0xF); }
int BackgroundIndex() { return static_cast<int>((AppState.IconColors >> 16) & 0xF); }

bool InPicture(const IconPicture& picture, int x, int y) {
  return picture.Side <= MaxIconSide && x >= 0 && y >= 0 && x < picture.Side && y < picture.Side;
}

void SetColor(IconPicture* picture, int x, int y, int color) {
  if (!InPicture(*picture, x, y)) return;
  std::uint8_t& byte = picture->Color[y * ColorRowBytes(picture->Side) + x / 2];
  if (x % 2 == 0) {
    byte = static_cast<std::uint8_t>((byte & 0x0F) | ((color & 0xF) << 4));
  } else {
    byte = static_cast<std::uint8_t>((byte & 0xF0) | (color & 0xF));
  }
}

void SetTransparent(IconPicture* picture, int x, int y, bool transparent) {
  if (!InPicture(*picture, x, y)) return;
  std::uint8_t& byte = picture->Mask[y * MaskRowBytes(picture->Side) + x / 8];
  const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (x % 8));
  byte = static_cast<std::uint8_t>(transparent ? (byte | bit) : (byte & ~bit));
}

void StartPicture(IconPicture* picture, int side) {
  picture->Side = side;
  for (std::uint8_t& byte : picture->Color) byte = 0;
  for (std::uint8_t& byte : picture->Mask) byte = 0;
}

bool BoxMaskBit(int side, int x, int y) {
  if (side == 32) return ((BoxMask32[y] >> (31 - x)) & 1) != 0;
  return ((BoxMask16[y] >> (15 - x)) & 1) != 0;
}

void FillBox(IconPicture* picture, int background) {
  for (int y = 0; y < picture->Side; ++y) {
    for (int x = 0; x < picture->Side; ++x) {
      const bool outside = BoxMaskBit(picture->Side, x, y);
      SetTransparent(picture, x, y, outside);
      SetColor(picture, x, y, outside ? 0 : background);
    }
  }
}

void FillRectangle(IconPicture* picture, int firstColumn, int lastColumn, int firstRow, int lastRow,
                   int color) {
  for (int y = firstRow; y <= lastRow; ++y) {
    for (int x = firstColumn; x <= lastColumn; ++x) SetColor(picture, x, y, color);
  }
}

void PaintDigit(IconPicture* picture, int digit, int left, int top, int foreground) {
  const bool large = picture->Side == 32;
  const int width = large ? LargeDigitWidth : SmallDigitWidth;
  const int height = large ? LargeDigitHeight : SmallDigitHeight;
  for (int row = 0; row < height; ++row) {
    const unsigned bits = large ? LargeDigits[digit][row] : SmallDigits[digit][row];
    for (int column = 0; column < width; ++column) {
      if ((bits >> (width - 1 - column)) & 1)
        SetColor(picture, left + column, top + row, foreground);
    }
  }
}

}  // namespace

void DrawNumberIcon(int value, IconPicture* picture) {
  const NumberLayout& layout = CurrentLayout();
  const int foreground = ForegroundIndex();
  StartPicture(picture, layout.Side);
  FillBox(picture, BackgroundIndex());

  // The magnitude in unsigned arithmetic, so that even the most negative int has one.
  const bool negative = value < 0;
  std::uint32_t magnitude =
      negative ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
  int digitsShown = magnitude >= 100 ? 3 : magnitude >= 10 ? 2 : 1;
  if (magnitude >= 1000) {
    // Thousands: the last three digits between two lines. A negative value keeps only the
    // bottom line, since its minus sits where the top one would be.
    if (!negative) {
      FillRectangle(picture, layout.LineFirstColumn, layout.LineLastColumn, layout.TopLineRow,
                    layout.TopLineRow, foreground);
    }
    FillRectangle(picture, layout.LineFirstColumn, layout.LineLastColumn, layout.BottomLineRow,
                  layout.BottomLineRow, foreground);
    magnitude %= 1000;
    digitsShown = 3;
  }
  if (negative) {
    FillRectangle(picture, layout.MinusFirstColumn, layout.MinusLastColumn, layout.MinusFirstRow,
                  layout.MinusLastRow, foreground);
  }

  int digits[3];
  for (int cell = digitsShown - 1; cell >= 0; --cell) {
    digits[cell] = static_cast<int>(magnitude % 10);
    magnitude /= 10;
  }
  int lefts[3];
  for (int cell = 0; cell < digitsShown; ++cell)
    lefts[cell] = layout.CellLeft[digitsShown - 1][cell];
  // A narrow 1 in the tens or units place pulls the cells from it rightwards closer; the
  // hundreds cell stays where it is.
  const int tens = digitsShown - 2;
  const int units = digitsShown - 1;
  if (tens >= 0 && digits[tens] == 1) {
    lefts[tens] -= layout.NarrowOneShift;
    lefts[units] -= layout.NarrowOneShift;
  }
  if (digits[units] == 1) lefts[units] -= layout.NarrowOneShift;

  for (int cell = 0; cell < digitsShown; ++cell) {
    PaintDigit(picture, digits[cell], lefts[cell], layout.GlyphTop, foreground);
  }
}

void DrawGraphIcon(IconPicture* picture) {
  const int side = CurrentLayout().Side;
  const int foreground = ForegroundIndex();
  const int background = BackgroundIndex();
  StartPicture(picture, side);
  for (int x = 0; x < side; ++x) {
    // The empty (idle) share from the top; the busy share is the foreground bar below it.
    int emptyRows = AppState.SampleHistory[x] * side / 100;
    if (emptyRows > side) emptyRows = side;
    for (int y = 0; y < side; ++y) SetColor(picture, x, y, y < emptyRows ? background : foreground);
  }
}

int PictureColorAt(const IconPicture& picture, int x, int y) {
  if (!InPicture(picture, x, y)) return 0;
  const std::uint8_t byte = picture.Color[y * ColorRowBytes(picture.Side) + x / 2];
  return x % 2 == 0 ? byte >> 4 : byte & 0x0F;
}

bool PictureTransparentAt(const IconPicture& picture, int x, int y) {
  if (!InPicture(picture, x, y)) return true;
  const std::uint8_t byte = picture.Mask[y * MaskRowBytes(picture.Side) + x / 8];
  return ((byte >> (7 - x % 8)) & 1) != 0;
}
