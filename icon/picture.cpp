// Icon pictures: the number in a rounded box and the load graph, built a row at a time.
// Pure: reads AppState and the constant shapes, writes only the caller's picture.
#include "icon/picture.h"

#include <cstdint>

#include "base/state.h"
#include "icon/glyphs.h"

namespace {

// The most digits a number shows: hundreds, tens and units.
constexpr int MostCells = 3;

// Where the parts of a number go, for one icon size.
struct NumberLayout {
  int Side;
  int GlyphTop;
  int CellLeft[MostCells][MostCells];  // [digits shown - 1][cell], leftmost cell first
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
    16, 4, {{7}, {4, 9}, {1, 6, 11}}, 2, 12, 2, 13, 2, 2, 2, 5, 0,
};
constexpr NumberLayout LargeLayout{
    32, 8, {{12}, {8, 18}, {2, 12, 22}}, 4, 26, 4, 27, 4, 5, 4, 11, 2,
};

// GCOVR_EXCL_START: unreachable: run only by the compiler, for the static_asserts below; a fault
// in these checks either stops the build or lets through the same layouts, never changes a picture.
constexpr bool ColumnsFit(const NumberLayout& layout, int first, int last) {
  return first >= 0 && first <= last && last < layout.Side;
}

// The drawing writes whole rows without bounds checks, so every part of a layout must lie
// inside its picture and in the box's opaque area; checked here once, when compiling.
constexpr bool LayoutFits(const NumberLayout& layout, int digitWidth, int digitHeight) {
  if (layout.Side > MaxIconSide || layout.GlyphTop < 0 ||
      layout.GlyphTop + digitHeight > layout.Side) {
    return false;
  }
  for (int shown = 1; shown <= MostCells; ++shown) {
    for (int cell = 0; cell < shown; ++cell) {
      // A narrow 1 pulls a cell left by up to twice the shift (tens and units both 1).
      const int pull = cell == 0 ? 0 : 2 * layout.NarrowOneShift;
      const int left = layout.CellLeft[shown - 1][cell];
      if (!ColumnsFit(layout, left - pull, left + digitWidth - 1)) return false;
    }
  }
  return ColumnsFit(layout, layout.LineFirstColumn, layout.LineLastColumn) &&
         ColumnsFit(layout, layout.MinusFirstColumn, layout.MinusLastColumn) &&
         layout.TopLineRow >= 0 && layout.BottomLineRow < layout.Side &&
         layout.MinusFirstRow >= 0 && layout.MinusFirstRow <= layout.MinusLastRow &&
         layout.MinusLastRow < layout.Side;
}
// GCOVR_EXCL_STOP
static_assert(LayoutFits(SmallLayout, SmallDigitWidth, SmallDigitHeight));
static_assert(LayoutFits(LargeLayout, LargeDigitWidth, LargeDigitHeight));

// Anything but scale 2 draws the 16-pixel icon, so a damaged scale never overruns the picture.
const NumberLayout& CurrentLayout() { return AppState.IconScale == 2 ? LargeLayout : SmallLayout; }
std::uint32_t ForegroundIndex() { return AppState.IconColors & 0xF; }
std::uint32_t BackgroundIndex() { return (AppState.IconColors >> 16) & 0xF; }

// A row of pixel bits: bit 31 is the leftmost pixel, whatever the side.
using RowBits = std::uint32_t;

// Columns first..last set (0 <= first <= last <= 31), in 64 bits so that all 32 may be.
constexpr RowBits ColumnSpan(int first, int last) {
  const std::uint64_t ones = (std::uint64_t{1} << (last - first + 1)) - 1;
  return static_cast<RowBits>(ones << (31 - last));
}

// Eight pixel bits (bit 7 = left) widened to eight nibbles (the top nibble = left), 0 or 0xF.
struct NibbleTable {
  std::uint32_t Entries[256];
};
constexpr NibbleTable MakeNibbleTable() {
  NibbleTable table{};
  for (int bits = 0; bits < 256; ++bits) {
    for (int pixel = 0; pixel < 8; ++pixel) {
      if (bits & (0x80 >> pixel)) table.Entries[bits] |= 0xF0000000u >> (4 * pixel);
    }
  }
  return table;
}
constexpr NibbleTable Nibbles = MakeNibbleTable();

void StoreBigEndian(std::uint8_t* out, std::uint32_t value) {
  out[0] = static_cast<std::uint8_t>(value >> 24);
  out[1] = static_cast<std::uint8_t>(value >> 16);
  out[2] = static_cast<std::uint8_t>(value >> 8);
  out[3] = static_cast<std::uint8_t>(value);
}

RowBits BoxMaskRow(int side, int y) {
  return side == 32 ? BoxMask32[y] : static_cast<RowBits>(BoxMask16[y]) << 16;
}

// Writes every row of a `side` picture: foreground where `foreground[y]` has a bit, transparent
// (colour 0) where the box mask has one when `boxed`, the background elsewhere.
void EmitRows(IconPicture* picture, int side, const RowBits* foreground, bool boxed) {
  picture->Side = side;
  const std::uint32_t foregroundFill = ForegroundIndex() * 0x11111111u;
  const std::uint32_t backgroundFill = BackgroundIndex() * 0x11111111u;
  const int groups = side / 8;  // eight pixels: four colour bytes and one mask byte
  std::uint8_t* color = picture->Color;
  std::uint8_t* mask = picture->Mask;
  for (int y = 0; y < side; ++y) {
    const RowBits transparent = boxed ? BoxMaskRow(side, y) : 0;
    const RowBits front = foreground[y] & ~transparent;
    const RowBits back = ~(front | transparent);
    for (int group = 0; group < groups; ++group) {
      const int shift = 24 - 8 * group;
      const std::uint32_t nibblesFront = Nibbles.Entries[(front >> shift) & 0xFF];
      const std::uint32_t nibblesBack = Nibbles.Entries[(back >> shift) & 0xFF];
      StoreBigEndian(color, (nibblesFront & foregroundFill) | (nibblesBack & backgroundFill));
      color += 4;
      *mask++ = static_cast<std::uint8_t>(transparent >> shift);
    }
  }
}

// Merges the rows of one glyph into the row bits, its left column at `left`.
void MergeDigit(RowBits* rows, bool large, int digit, int left, int top) {
  if (large) {
    const int shift = 32 - LargeDigitWidth - left;
    for (int row = 0; row < LargeDigitHeight; ++row) {
      rows[top + row] |= static_cast<RowBits>(LargeDigits[digit][row]) << shift;
    }
  } else {
    const int shift = 32 - SmallDigitWidth - left;
    for (int row = 0; row < SmallDigitHeight; ++row) {
      rows[top + row] |= static_cast<RowBits>(SmallDigits[digit][row]) << shift;
    }
  }
}

bool InPicture(const IconPicture& picture, int x, int y) {
  return picture.Side <= MaxIconSide && x >= 0 && y >= 0 && x < picture.Side && y < picture.Side;
}

}  // namespace

void DrawNumberIcon(int value, IconPicture* picture) {
  const NumberLayout& layout = CurrentLayout();
  RowBits rows[MaxIconSide] = {};

  // The magnitude in unsigned arithmetic, so that even the most negative int has one.
  const bool negative = value < 0;
  std::uint32_t magnitude =
      negative ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
  int digitsShown = magnitude >= 100 ? 3 : magnitude >= 10 ? 2 : 1;
  if (magnitude >= 1000) {
    // Thousands: the last three digits between two lines. A negative value keeps only the
    // bottom line, since its minus sits where the top one would be.
    const RowBits line = ColumnSpan(layout.LineFirstColumn, layout.LineLastColumn);
    if (!negative) rows[layout.TopLineRow] |= line;
    rows[layout.BottomLineRow] |= line;
    magnitude %= 1000;  // three digits shown, as for any magnitude of 100 or more
  }
  if (negative) {
    const RowBits bar = ColumnSpan(layout.MinusFirstColumn, layout.MinusLastColumn);
    for (int y = layout.MinusFirstRow; y <= layout.MinusLastRow; ++y) rows[y] |= bar;
  }

  int digits[MostCells];
  for (int cell = digitsShown - 1; cell >= 0; --cell) {
    digits[cell] = static_cast<int>(magnitude % 10);
    magnitude /= 10;
  }
  int lefts[MostCells];
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

  const bool large = layout.Side == 32;
  for (int cell = 0; cell < digitsShown; ++cell) {
    MergeDigit(rows, large, digits[cell], lefts[cell], layout.GlyphTop);
  }
  EmitRows(picture, layout.Side, rows, true);
}

void DrawGraphIcon(IconPicture* picture) {
  const int side = CurrentLayout().Side;
  // Each column's bar starts below its empty (idle) share; a row's foreground is every column
  // whose bar has started at or above it.
  RowBits startsAt[MaxIconSide + 1] = {};
  for (int x = 0; x < side; ++x) {
    int emptyRows = AppState.SampleHistory[x] * side / 100;
    if (emptyRows > side) emptyRows = side;
    startsAt[emptyRows] |= 0x80000000u >> x;
  }
  RowBits rows[MaxIconSide];
  RowBits started = 0;
  for (int y = 0; y < side; ++y) {
    started |= startsAt[y];
    rows[y] = started;
  }
  EmitRows(picture, side, rows, false);
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
