// Icon pictures pixel by pixel: the number box, the thousands lines, the narrow-one shifts, the
// negative sign, the load graph and the raw rows handed to the platform.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <iterator>
#include <string>
#include <vector>

#include "base/state.h"
#include "icon/picture.h"

namespace {

using Rows = std::vector<std::string>;

// One character per pixel: '.' transparent, 'F' foreground, 'B' background, '?' any other colour
// and '!' a transparent pixel whose colour is not 0.
Rows Render(const IconPicture& picture) {
  const int foreground = static_cast<int>(AppState.IconColors & 0xF);
  const int background = static_cast<int>((AppState.IconColors >> 16) & 0xF);
  Rows rows;
  for (int y = 0; y < picture.Side; ++y) {
    std::string row;
    for (int x = 0; x < picture.Side; ++x) {
      const int color = PictureColorAt(picture, x, y);
      if (PictureTransparentAt(picture, x, y)) {
        row += color == 0 ? '.' : '!';
      } else {
        row += color == foreground ? 'F' : color == background ? 'B' : '?';
      }
    }
    rows.push_back(row);
  }
  return rows;
}

Rows NumberRows(int value, int scale = 1) {
  AppState.IconScale = scale;
  IconPicture picture;
  DrawNumberIcon(value, &picture);
  EXPECT_EQ(picture.Side, 16 * scale);
  return Render(picture);
}

Rows GraphRows(int scale) {
  AppState.IconScale = scale;
  IconPicture picture;
  DrawGraphIcon(&picture);
  EXPECT_EQ(picture.Side, 16 * scale);
  return Render(picture);
}

// The empty 32-pixel box with `band` (starting at `firstRow`) laid over it.
Rows LargeBoxWith(int firstRow, const Rows& band) {
  Rows rows = {
      ".....BBBBBBBBBBBBBBBBBBBBBB.....",  // 0
      "...BBBBBBBBBBBBBBBBBBBBBBBBBB...",  // 1
      "..BBBBBBBBBBBBBBBBBBBBBBBBBBBB..",  // 2
      ".BBBBBBBBBBBBBBBBBBBBBBBBBBBBBB.",  // 3
      ".BBBBBBBBBBBBBBBBBBBBBBBBBBBBBB.",  // 4
  };
  for (int y = 5; y <= 24; ++y) rows.push_back(std::string(32, 'B'));
  for (const char* row : {
           ".BBBBBBBBBBBBBBBBBBBBBBBBBBBBBB.",  // 25
           ".BBBBBBBBBBBBBBBBBBBBBBBBBBBBBB.",  // 26
           "..BBBBBBBBBBBBBBBBBBBBBBBBBBBB..",  // 27
           "...BBBBBBBBBBBBBBBBBBBBBBBBBB...",  // 28
           ".....BBBBBBBBBBBBBBBBBBBBBB.....",  // 29
           "................................",  // 30
           "................................",  // 31
       }) {
    rows.push_back(row);
  }
  for (std::size_t i = 0; i < band.size(); ++i) rows[firstRow + i] = band[i];
  return rows;
}

class IconPictureTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetAppState(); }
};

TEST_F(IconPictureTest, ZeroAtScaleOneIsOneDigitInTheRoundedBox) {
  EXPECT_EQ(NumberRows(0), (Rows{
                               "..BBBBBBBBBBBB..",  // 0
                               ".BBBBBBBBBBBBBB.",  // 1
                               "BBBBBBBBBBBBBBBB",  // 2
                               "BBBBBBBBBBBBBBBB",  // 3
                               "BBBBBBBBFFBBBBBB",  // 4
                               "BBBBBBBFBBFBBBBB",  // 5
                               "BBBBBBBFBBFBBBBB",  // 6
                               "BBBBBBBFBBFBBBBB",  // 7
                               "BBBBBBBFBBFBBBBB",  // 8
                               "BBBBBBBFBBFBBBBB",  // 9
                               "BBBBBBBBFFBBBBBB",  // 10
                               "BBBBBBBBBBBBBBBB",  // 11
                               "BBBBBBBBBBBBBBBB",  // 12
                               ".BBBBBBBBBBBBBB.",  // 13
                               "..BBBBBBBBBBBB..",  // 14
                               "................",  // 15
                           }));
}

TEST_F(IconPictureTest, FourHundredIsYellowOnBlueInThreeCells) {
  ASSERT_EQ(AppState.IconColors, 0x000C000Bu);
  AppState.IconScale = 1;
  IconPicture picture;
  DrawNumberIcon(400, &picture);
  EXPECT_EQ(PictureColorAt(picture, 3, 4), 11);  // top of the 4's stem: yellow
  EXPECT_EQ(PictureColorAt(picture, 0, 4), 12);  // blue
  EXPECT_EQ(Render(picture), (Rows{
                                 "..BBBBBBBBBBBB..",  // 0
                                 ".BBBBBBBBBBBBBB.",  // 1
                                 "BBBBBBBBBBBBBBBB",  // 2
                                 "BBBBBBBBBBBBBBBB",  // 3
                                 "BBBFBBBFFBBBFFBB",  // 4
                                 "BBFFBBFBBFBFBBFB",  // 5
                                 "BFBFBBFBBFBFBBFB",  // 6
                                 "BFBFBBFBBFBFBBFB",  // 7
                                 "BFFFFBFBBFBFBBFB",  // 8
                                 "BBBFBBFBBFBFBBFB",  // 9
                                 "BBBFBBBFFBBBFFBB",  // 10
                                 "BBBBBBBBBBBBBBBB",  // 11
                                 "BBBBBBBBBBBBBBBB",  // 12
                                 ".BBBBBBBBBBBBBB.",  // 13
                                 "..BBBBBBBBBBBB..",  // 14
                                 "................",  // 15
                             }));
}

// Both fonts, digits 0 to 9 side by side, '#' foreground: what a lone digit shows at each scale.
const Rows SmallFont = {
    ".##. ..#. .##. .##. ..#. #### .##. #### .##. .##.",
    "#..# .##. #..# #..# .##. #... #..# #..# #..# #..#",
    "#..# ..#. ...# ...# #.#. ###. #... ..#. #..# #..#",
    "#..# ..#. ..#. ..#. #.#. ...# ###. ..#. .##. .###",
    "#..# ..#. .#.. ...# #### ...# #..# .#.. #..# ...#",
    "#..# ..#. #..# #..# ..#. #..# #..# .#.. #..# #..#",
    ".##. .### #### .##. ..#. .##. .##. .#.. .##. .##.",
};
const Rows LargeFont = {
    "..####.. ....##.. ..####.. ..####.. ..##.... ######## ..####.. ######## ..####.. ..####..",
    ".######. ....##.. .######. .######. ..##.... ######## .######. ######## .######. .######.",
    "###..### ...###.. ###..### ###..### ..##.... ##...... ###..### ##....## ###..### ###..###",
    "##....## ..####.. ##....## ##....## ..##.... ##...... ##....## ##....## ##....## ##....##",
    "##....## ..####.. ......## ......## .##..##. ######.. ##...... .....##. ##....## ##....##",
    "##....## ....##.. .....### .....### .##..##. #######. ##...... .....##. ###..### ###..###",
    "##....## ....##.. ....###. ...####. ##...##. .....### ######.. ....##.. .######. .#######",
    "##....## ....##.. ...###.. ...####. ##...##. ......## #######. ....##.. .######. ..######",
    "##....## ....##.. ..###... .....### ######## ......## ###..### ...##... ###..### ......##",
    "##....## ....##.. .###.... ......## ######## ......## ##....## ...##... ##....## ......##",
    "##....## ....##.. ###...## ##....## .....##. ##....## ##....## ..##.... ##....## ##....##",
    "###..### ....##.. ##....## ###..### .....##. ###..### ###..### ..##.... ###..### ###..###",
    ".######. ..###### ######## .######. .....##. .######. .######. ..##.... .######. .######.",
    "..####.. ..###### ######## ..####.. .....##. ..####.. ..####.. ..##.... ..####.. ..####..",
};

// The 16-pixel box with SmallFont's digits at the given left columns, and the thousands lines.
Rows SmallBoxWith(const std::vector<std::pair<int, int>>& digitsAt, bool lines) {
  Rows rows(16, std::string(16, 'B'));
  rows[0] = rows[14] = "..BBBBBBBBBBBB..";
  rows[1] = rows[13] = ".BBBBBBBBBBBBBB.";
  rows[15] = std::string(16, '.');
  if (lines) rows[2] = rows[12] = "BBFFFFFFFFFFFFBB";
  for (const auto& [digit, left] : digitsAt) {
    for (int row = 0; row < 7; ++row) {
      for (int column = 0; column < 4; ++column) {
        if (SmallFont[row][digit * 5 + column] == '#') rows[4 + row][left + column] = 'F';
      }
    }
  }
  return rows;
}

TEST_F(IconPictureTest, DigitCountChangesAtTenAHundredAndAThousand) {
  struct Case {
    int value;
    std::vector<std::pair<int, int>> digitsAt;  // digit, left column
    bool lines;
  };
  const Case cases[] = {
      {9, {{9, 7}}, false},
      {10, {{1, 4}, {0, 9}}, false},
      {99, {{9, 4}, {9, 9}}, false},
      {100, {{1, 1}, {0, 6}, {0, 11}}, false},
      {999, {{9, 1}, {9, 6}, {9, 11}}, false},
      {1000, {{0, 1}, {0, 6}, {0, 11}}, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(NumberRows(c.value), SmallBoxWith(c.digitsAt, c.lines)) << c.value;
}

TEST_F(IconPictureTest, EveryDigitOfBothFonts) {
  struct Font {
    int scale;
    const Rows& sheet;
    int width;
    int top;
    int left;
    int leftOfOne;
  };
  for (const Font& font : {Font{1, SmallFont, 4, 4, 7, 7}, Font{2, LargeFont, 8, 8, 12, 10}}) {
    for (int digit = 0; digit <= 9; ++digit) {
      SCOPED_TRACE(testing::Message() << "scale " << font.scale << ", digit " << digit);
      const Rows rows = NumberRows(digit, font.scale);
      const int left = digit == 1 ? font.leftOfOne : font.left;
      for (std::size_t row = 0; row < font.sheet.size(); ++row) {
        std::string shown = rows[font.top + row].substr(left, font.width);
        for (char& pixel : shown) pixel = pixel == 'F' ? '#' : pixel == 'B' ? '.' : pixel;
        EXPECT_EQ(shown, font.sheet[row].substr(digit * (font.width + 1), font.width)) << row;
      }
    }
  }
}

TEST_F(IconPictureTest, ThousandsShowTheLastThreeDigitsBetweenTwoLines) {
  EXPECT_EQ(NumberRows(1234), (Rows{
                                  "..BBBBBBBBBBBB..",  // 0
                                  ".BBBBBBBBBBBBBB.",  // 1
                                  "BBFFFFFFFFFFFFBB",  // 2
                                  "BBBBBBBBBBBBBBBB",  // 3
                                  "BBFFBBBFFBBBBFBB",  // 4
                                  "BFBBFBFBBFBBFFBB",  // 5
                                  "BBBBFBBBBFBFBFBB",  // 6
                                  "BBBFBBBBFBBFBFBB",  // 7
                                  "BBFBBBBBBFBFFFFB",  // 8
                                  "BFBBFBFBBFBBBFBB",  // 9
                                  "BFFFFBBFFBBBBFBB",  // 10
                                  "BBBBBBBBBBBBBBBB",  // 11
                                  "BBFFFFFFFFFFFFBB",  // 12
                                  ".BBBBBBBBBBBBBB.",  // 13
                                  "..BBBBBBBBBBBB..",  // 14
                                  "................",  // 15
                              }));
  // Leading zeros are kept after the thousands (0, 0, 5), and the largest int stays within
  // the lines.
  EXPECT_EQ(NumberRows(1005)[4], "BBFFBBBFFBBFFFFB");
  EXPECT_EQ(NumberRows(INT_MAX), NumberRows(1647));
}

TEST_F(IconPictureTest, ThousandsLinesAtScaleTwo) {
  Rows rows = NumberRows(1000, 2);
  const std::string line = "BBBBFFFFFFFFFFFFFFFFFFFFFFFFBBBB";  // columns 4..27
  EXPECT_EQ(rows[4], "." + line.substr(1, 30) + ".");
  EXPECT_EQ(rows[26], "." + line.substr(1, 30) + ".");
  EXPECT_EQ(rows[25], ".BBBBBBBBBBBBBBBBBBBBBBBBBBBBBB.");
}

// The narrow digit 1 at scale 2: cells to the right of a tens 1 move 2 left, a units 1 moves a
// further 2; the hundreds cell stays.
TEST_F(IconPictureTest, FortyOneAtScaleTwoPullsTheOneLeft) {
  EXPECT_EQ(NumberRows(41, 2), LargeBoxWith(8, {
                                                   "BBBBBBBBBBFFBBBBBBBBFFBBBBBBBBBB",  // 8
                                                   "BBBBBBBBBBFFBBBBBBBBFFBBBBBBBBBB",  // 9
                                                   "BBBBBBBBBBFFBBBBBBBFFFBBBBBBBBBB",  // 10
                                                   "BBBBBBBBBBFFBBBBBBFFFFBBBBBBBBBB",  // 11
                                                   "BBBBBBBBBFFBBFFBBBFFFFBBBBBBBBBB",  // 12
                                                   "BBBBBBBBBFFBBFFBBBBBFFBBBBBBBBBB",  // 13
                                                   "BBBBBBBBFFBBBFFBBBBBFFBBBBBBBBBB",  // 14
                                                   "BBBBBBBBFFBBBFFBBBBBFFBBBBBBBBBB",  // 15
                                                   "BBBBBBBBFFFFFFFFBBBBFFBBBBBBBBBB",  // 16
                                                   "BBBBBBBBFFFFFFFFBBBBFFBBBBBBBBBB",  // 17
                                                   "BBBBBBBBBBBBBFFBBBBBFFBBBBBBBBBB",  // 18
                                                   "BBBBBBBBBBBBBFFBBBBBFFBBBBBBBBBB",  // 19
                                                   "BBBBBBBBBBBBBFFBBBFFFFFFBBBBBBBB",  // 20
                                                   "BBBBBBBBBBBBBFFBBBFFFFFFBBBBBBBB",  // 21
                                               }));
}

TEST_F(IconPictureTest, FifteenAtScaleTwoMovesBothCells) {
  EXPECT_EQ(NumberRows(15, 2), LargeBoxWith(8, {
                                                   "BBBBBBBBBBFFBBBBFFFFFFFFBBBBBBBB",  // 8
                                                   "BBBBBBBBBBFFBBBBFFFFFFFFBBBBBBBB",  // 9
                                                   "BBBBBBBBBFFFBBBBFFBBBBBBBBBBBBBB",  // 10
                                                   "BBBBBBBBFFFFBBBBFFBBBBBBBBBBBBBB",  // 11
                                                   "BBBBBBBBFFFFBBBBFFFFFFBBBBBBBBBB",  // 12
                                                   "BBBBBBBBBBFFBBBBFFFFFFFBBBBBBBBB",  // 13
                                                   "BBBBBBBBBBFFBBBBBBBBBFFFBBBBBBBB",  // 14
                                                   "BBBBBBBBBBFFBBBBBBBBBBFFBBBBBBBB",  // 15
                                                   "BBBBBBBBBBFFBBBBBBBBBBFFBBBBBBBB",  // 16
                                                   "BBBBBBBBBBFFBBBBBBBBBBFFBBBBBBBB",  // 17
                                                   "BBBBBBBBBBFFBBBBFFBBBBFFBBBBBBBB",  // 18
                                                   "BBBBBBBBBBFFBBBBFFFBBFFFBBBBBBBB",  // 19
                                                   "BBBBBBBBFFFFFFBBBFFFFFFBBBBBBBBB",  // 20
                                                   "BBBBBBBBFFFFFFBBBBFFFFBBBBBBBBBB",  // 21
                                               }));
}

TEST_F(IconPictureTest, ElevenAtScaleTwoIsDrawnAtSixAndFourteen) {
  EXPECT_EQ(NumberRows(11, 2), LargeBoxWith(8, {
                                                   "BBBBBBBBBBFFBBBBBBFFBBBBBBBBBBBB",  // 8
                                                   "BBBBBBBBBBFFBBBBBBFFBBBBBBBBBBBB",  // 9
                                                   "BBBBBBBBBFFFBBBBBFFFBBBBBBBBBBBB",  // 10
                                                   "BBBBBBBBFFFFBBBBFFFFBBBBBBBBBBBB",  // 11
                                                   "BBBBBBBBFFFFBBBBFFFFBBBBBBBBBBBB",  // 12
                                                   "BBBBBBBBBBFFBBBBBBFFBBBBBBBBBBBB",  // 13
                                                   "BBBBBBBBBBFFBBBBBBFFBBBBBBBBBBBB",  // 14
                                                   "BBBBBBBBBBFFBBBBBBFFBBBBBBBBBBBB",  // 15
                                                   "BBBBBBBBBBFFBBBBBBFFBBBBBBBBBBBB",  // 16
                                                   "BBBBBBBBBBFFBBBBBBFFBBBBBBBBBBBB",  // 17
                                                   "BBBBBBBBBBFFBBBBBBFFBBBBBBBBBBBB",  // 18
                                                   "BBBBBBBBBBFFBBBBBBFFBBBBBBBBBBBB",  // 19
                                                   "BBBBBBBBFFFFFFBBFFFFFFBBBBBBBBBB",  // 20
                                                   "BBBBBBBBFFFFFFBBFFFFFFBBBBBBBBBB",  // 21
                                               }));
}

TEST_F(IconPictureTest, FiveElevenAtScaleTwoKeepsTheHundredsCell) {
  EXPECT_EQ(NumberRows(511, 2), LargeBoxWith(8, {
                                                    "BBFFFFFFFFBBBBFFBBBBBBFFBBBBBBBB",  // 8
                                                    "BBFFFFFFFFBBBBFFBBBBBBFFBBBBBBBB",  // 9
                                                    "BBFFBBBBBBBBBFFFBBBBBFFFBBBBBBBB",  // 10
                                                    "BBFFBBBBBBBBFFFFBBBBFFFFBBBBBBBB",  // 11
                                                    "BBFFFFFFBBBBFFFFBBBBFFFFBBBBBBBB",  // 12
                                                    "BBFFFFFFFBBBBBFFBBBBBBFFBBBBBBBB",  // 13
                                                    "BBBBBBBFFFBBBBFFBBBBBBFFBBBBBBBB",  // 14
                                                    "BBBBBBBBFFBBBBFFBBBBBBFFBBBBBBBB",  // 15
                                                    "BBBBBBBBFFBBBBFFBBBBBBFFBBBBBBBB",  // 16
                                                    "BBBBBBBBFFBBBBFFBBBBBBFFBBBBBBBB",  // 17
                                                    "BBFFBBBBFFBBBBFFBBBBBBFFBBBBBBBB",  // 18
                                                    "BBFFFBBFFFBBBBFFBBBBBBFFBBBBBBBB",  // 19
                                                    "BBBFFFFFFBBBFFFFFFBBFFFFFFBBBBBB",  // 20
                                                    "BBBBFFFFBBBBFFFFFFBBFFFFFFBBBBBB",  // 21
                                                }));
}

TEST_F(IconPictureTest, OneAloneAtScaleTwoIsDrawnAtTen) {
  EXPECT_EQ(NumberRows(1, 2), LargeBoxWith(8, {
                                                  "BBBBBBBBBBBBBBFFBBBBBBBBBBBBBBBB",  // 8
                                                  "BBBBBBBBBBBBBBFFBBBBBBBBBBBBBBBB",  // 9
                                                  "BBBBBBBBBBBBBFFFBBBBBBBBBBBBBBBB",  // 10
                                                  "BBBBBBBBBBBBFFFFBBBBBBBBBBBBBBBB",  // 11
                                                  "BBBBBBBBBBBBFFFFBBBBBBBBBBBBBBBB",  // 12
                                                  "BBBBBBBBBBBBBBFFBBBBBBBBBBBBBBBB",  // 13
                                                  "BBBBBBBBBBBBBBFFBBBBBBBBBBBBBBBB",  // 14
                                                  "BBBBBBBBBBBBBBFFBBBBBBBBBBBBBBBB",  // 15
                                                  "BBBBBBBBBBBBBBFFBBBBBBBBBBBBBBBB",  // 16
                                                  "BBBBBBBBBBBBBBFFBBBBBBBBBBBBBBBB",  // 17
                                                  "BBBBBBBBBBBBBBFFBBBBBBBBBBBBBBBB",  // 18
                                                  "BBBBBBBBBBBBBBFFBBBBBBBBBBBBBBBB",  // 19
                                                  "BBBBBBBBBBBBFFFFFFBBBBBBBBBBBBBB",  // 20
                                                  "BBBBBBBBBBBBFFFFFFBBBBBBBBBBBBBB",  // 21
                                              }));
}

TEST_F(IconPictureTest, ScaleOneHasNoNarrowOneShift) {
  // 11 at scale 1: the plain two-cell places, 4 and 9.
  const Rows rows = NumberRows(11);
  EXPECT_EQ(rows[4], "BBBBBBFBBBBFBBBB");
  EXPECT_EQ(rows[10], "BBBBBFFFBBFFFBBB");
}

TEST_F(IconPictureTest, ForegroundEqualToBackgroundLeavesOnlyTheBoxShape) {
  AppState.IconColors = 0x000E000E;
  EXPECT_EQ(NumberRows(1888), (Rows{
                                  "..FFFFFFFFFFFF..",  // 0
                                  ".FFFFFFFFFFFFFF.",  // 1
                                  "FFFFFFFFFFFFFFFF",  // 2
                                  "FFFFFFFFFFFFFFFF",  // 3
                                  "FFFFFFFFFFFFFFFF",  // 4
                                  "FFFFFFFFFFFFFFFF",  // 5
                                  "FFFFFFFFFFFFFFFF",  // 6
                                  "FFFFFFFFFFFFFFFF",  // 7
                                  "FFFFFFFFFFFFFFFF",  // 8
                                  "FFFFFFFFFFFFFFFF",  // 9
                                  "FFFFFFFFFFFFFFFF",  // 10
                                  "FFFFFFFFFFFFFFFF",  // 11
                                  "FFFFFFFFFFFFFFFF",  // 12
                                  ".FFFFFFFFFFFFFF.",  // 13
                                  "..FFFFFFFFFFFF..",  // 14
                                  "................",  // 15
                              }));
  Rows largeBox = LargeBoxWith(0, {});
  for (std::string& row : largeBox) {
    for (char& pixel : row) pixel = pixel == 'B' ? 'F' : pixel;
  }
  EXPECT_EQ(NumberRows(7, 2), largeBox);
}

TEST_F(IconPictureTest, ColourIndicesOneToEightAreDrawnAsTheyAre) {
  const Rows zero = NumberRows(0);
  for (std::uint32_t foreground = 1; foreground <= 8; ++foreground) {
    const std::uint32_t background = 9 - foreground;
    if (background == foreground) continue;
    AppState.IconColors = foreground | (background << 16);
    SCOPED_TRACE(foreground);
    AppState.IconScale = 1;
    IconPicture picture;
    DrawNumberIcon(0, &picture);
    EXPECT_EQ(PictureColorAt(picture, 8, 4), static_cast<int>(foreground));
    EXPECT_EQ(PictureColorAt(picture, 0, 4), static_cast<int>(background));
    EXPECT_EQ(Render(picture), zero);
  }
}

// A negative value (a discharging battery's current) keeps its magnitude's digits and gets a
// short minus bar at the top left, above the digits, wherever the leftmost digit stands.
TEST_F(IconPictureTest, NegativeValuesShowAMinusAboveTheMagnitude) {
  EXPECT_EQ(NumberRows(-5), (Rows{
                                "..BBBBBBBBBBBB..",  // 0
                                ".BBBBBBBBBBBBBB.",  // 1
                                "BBFFFFBBBBBBBBBB",  // 2
                                "BBBBBBBBBBBBBBBB",  // 3
                                "BBBBBBBFFFFBBBBB",  // 4
                                "BBBBBBBFBBBBBBBB",  // 5
                                "BBBBBBBFFFBBBBBB",  // 6
                                "BBBBBBBBBBFBBBBB",  // 7
                                "BBBBBBBBBBFBBBBB",  // 8
                                "BBBBBBBFBBFBBBBB",  // 9
                                "BBBBBBBBFFBBBBBB",  // 10
                                "BBBBBBBBBBBBBBBB",  // 11
                                "BBBBBBBBBBBBBBBB",  // 12
                                ".BBBBBBBBBBBBBB.",  // 13
                                "..BBBBBBBBBBBB..",  // 14
                                "................",  // 15
                            }));
  EXPECT_EQ(NumberRows(-150), (Rows{
                                  "..BBBBBBBBBBBB..",  // 0
                                  ".BBBBBBBBBBBBBB.",  // 1
                                  "BBFFFFBBBBBBBBBB",  // 2
                                  "BBBBBBBBBBBBBBBB",  // 3
                                  "BBBFBBFFFFBBFFBB",  // 4
                                  "BBFFBBFBBBBFBBFB",  // 5
                                  "BBBFBBFFFBBFBBFB",  // 6
                                  "BBBFBBBBBFBFBBFB",  // 7
                                  "BBBFBBBBBFBFBBFB",  // 8
                                  "BBBFBBFBBFBFBBFB",  // 9
                                  "BBFFFBBFFBBBFFBB",  // 10
                                  "BBBBBBBBBBBBBBBB",  // 11
                                  "BBBBBBBBBBBBBBBB",  // 12
                                  ".BBBBBBBBBBBBBB.",  // 13
                                  "..BBBBBBBBBBBB..",  // 14
                                  "................",  // 15
                              }));
  // At a magnitude of 1000 or more only the bottom thousands line stays; the top is the minus.
  EXPECT_EQ(NumberRows(-1648), (Rows{
                                   "..BBBBBBBBBBBB..",  // 0
                                   ".BBBBBBBBBBBBBB.",  // 1
                                   "BBFFFFBBBBBBBBBB",  // 2
                                   "BBBBBBBBBBBBBBBB",  // 3
                                   "BBFFBBBBFBBBFFBB",  // 4
                                   "BFBBFBBFFBBFBBFB",  // 5
                                   "BFBBBBFBFBBFBBFB",  // 6
                                   "BFFFBBFBFBBBFFBB",  // 7
                                   "BFBBFBFFFFBFBBFB",  // 8
                                   "BFBBFBBBFBBFBBFB",  // 9
                                   "BBFFBBBBFBBBFFBB",  // 10
                                   "BBBBBBBBBBBBBBBB",  // 11
                                   "BBFFFFFFFFFFFFBB",  // 12
                                   ".BBBBBBBBBBBBBB.",  // 13
                                   "..BBBBBBBBBBBB..",  // 14
                                   "................",  // 15
                               }));
  // The most negative int has a magnitude too: 2147483648 shows as 648 in the same way.
  EXPECT_EQ(NumberRows(INT_MIN), NumberRows(-1648));
}

TEST_F(IconPictureTest, NegativeValueAtScaleTwoShiftsLikeItsMagnitude) {
  EXPECT_EQ(NumberRows(-15, 2), LargeBoxWith(4, {
                                                    ".BBBFFFFFFFFBBBBBBBBBBBBBBBBBBB.",  // 4
                                                    "BBBBFFFFFFFFBBBBBBBBBBBBBBBBBBBB",  // 5
                                                    "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  // 6
                                                    "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  // 7
                                                    "BBBBBBBBBBFFBBBBFFFFFFFFBBBBBBBB",  // 8
                                                    "BBBBBBBBBBFFBBBBFFFFFFFFBBBBBBBB",  // 9
                                                    "BBBBBBBBBFFFBBBBFFBBBBBBBBBBBBBB",  // 10
                                                    "BBBBBBBBFFFFBBBBFFBBBBBBBBBBBBBB",  // 11
                                                    "BBBBBBBBFFFFBBBBFFFFFFBBBBBBBBBB",  // 12
                                                    "BBBBBBBBBBFFBBBBFFFFFFFBBBBBBBBB",  // 13
                                                    "BBBBBBBBBBFFBBBBBBBBBFFFBBBBBBBB",  // 14
                                                    "BBBBBBBBBBFFBBBBBBBBBBFFBBBBBBBB",  // 15
                                                    "BBBBBBBBBBFFBBBBBBBBBBFFBBBBBBBB",  // 16
                                                    "BBBBBBBBBBFFBBBBBBBBBBFFBBBBBBBB",  // 17
                                                    "BBBBBBBBBBFFBBBBFFBBBBFFBBBBBBBB",  // 18
                                                    "BBBBBBBBBBFFBBBBFFFBBFFFBBBBBBBB",  // 19
                                                    "BBBBBBBBFFFFFFBBBFFFFFFBBBBBBBBB",  // 20
                                                    "BBBBBBBBFFFFFFBBBBFFFFBBBBBBBBBB",  // 21
                                                }));
}

TEST_F(IconPictureTest, GraphAtScaleOneShowsTheBusyShareRisingFromTheBottom) {
  const std::uint8_t newestFirst[16] = {30, 90, 0, 100, 250, 50, 6, 7, 99, 1, 2, 3, 45, 60, 75, 30};
  for (int x = 0; x < 16; ++x) AppState.SampleHistory[x] = newestFirst[x];
  for (int x = 16; x < 32; ++x) AppState.SampleHistory[x] = 0;  // not shown at scale 1
  EXPECT_EQ(GraphRows(1), (Rows{
                              "BBFBBBFBBFFFBBBB",  // 0
                              "BBFBBBFFBFFFBBBB",  // 1
                              "BBFBBBFFBFFFBBBB",  // 2
                              "BBFBBBFFBFFFBBBB",  // 3
                              "FBFBBBFFBFFFBBBF",  // 4: 30 leaves 4 rows empty
                              "FBFBBBFFBFFFBBBF",  // 5
                              "FBFBBBFFBFFFBBBF",  // 6
                              "FBFBBBFFBFFFFBBF",  // 7
                              "FBFBBFFFBFFFFBBF",  // 8
                              "FBFBBFFFBFFFFFBF",  // 9
                              "FBFBBFFFBFFFFFBF",  // 10
                              "FBFBBFFFBFFFFFBF",  // 11
                              "FBFBBFFFBFFFFFFF",  // 12
                              "FBFBBFFFBFFFFFFF",  // 13
                              "FFFBBFFFBFFFFFFF",  // 14: 90 leaves 14
                              "FFFBBFFFFFFFFFFF",  // 15
                          }));
}

TEST_F(IconPictureTest, GraphAtScaleTwoUsesAllThirtyTwoSamples) {
  for (std::uint8_t& sample : AppState.SampleHistory) sample = 100;
  AppState.SampleHistory[0] = 50;
  AppState.SampleHistory[1] = 0;
  AppState.SampleHistory[31] = 75;
  Rows expected;
  for (int y = 0; y < 32; ++y) {
    // Column 0 (50) is empty down to row 16, column 1 (0) all busy, column 31 (75) from row 24.
    expected.push_back(std::string(y < 16 ? "BF" : "FF") + std::string(29, 'B') +
                       (y < 24 ? "B" : "F"));
  }
  EXPECT_EQ(GraphRows(2), expected);
}

TEST_F(IconPictureTest, IdleHistoryGivesAUniformSquareWithoutCorners) {
  for (std::uint8_t& sample : AppState.SampleHistory) sample = 100;
  EXPECT_EQ(GraphRows(1), Rows(16, std::string(16, 'B')));
  EXPECT_EQ(GraphRows(2), Rows(32, std::string(32, 'B')));
}

// What the platform receives: rows top-down, 16-pixel rows of 8 colour bytes and 2 mask bytes,
// 32-pixel rows of 16 and 4, high nibble and high bit on the left.
TEST_F(IconPictureTest, BuffersUseThePaddedRowLayout) {
  IconPicture picture;
  DrawNumberIcon(0, &picture);
  EXPECT_EQ(picture.Mask[0], 0xC0);
  EXPECT_EQ(picture.Mask[1], 0x03);
  EXPECT_EQ(picture.Mask[2 * 15], 0xFF);
  EXPECT_EQ(picture.Mask[2 * 15 + 1], 0xFF);
  EXPECT_EQ(picture.Color[0], 0x00);          // two transparent corner pixels
  EXPECT_EQ(picture.Color[1], 0xCC);          // blue, blue
  EXPECT_EQ(picture.Color[4 * 8 + 4], 0xBB);  // row 4, columns 8 and 9: the top of the 0
  EXPECT_EQ(picture.Color[5 * 8 + 3], 0xCB);  // row 5, columns 6 (blue) and 7 (yellow)

  AppState.IconScale = 2;
  DrawNumberIcon(0, &picture);
  EXPECT_EQ(picture.Mask[0], 0xF8);
  EXPECT_EQ(picture.Mask[3], 0x1F);
  EXPECT_EQ(picture.Mask[4 * 5], 0x00);
  EXPECT_EQ(picture.Color[8 * 16 + 7], 0xBB);  // row 8, columns 14 and 15: in the 0's top
}

// Pixel access reads only the rows of the picture's side: outside them (or in a picture whose
// side is damaged) every pixel is transparent colour 0, whatever the buffers hold.
TEST_F(IconPictureTest, PixelsOutsideThePictureAreTransparentZero) {
  IconPicture picture;
  std::fill(std::begin(picture.Color), std::end(picture.Color), 0xFF);
  std::fill(std::begin(picture.Mask), std::end(picture.Mask), 0x00);
  const auto shown = [&picture](int x, int y) {
    return std::to_string(PictureColorAt(picture, x, y)) +
           (PictureTransparentAt(picture, x, y) ? "." : "#");
  };
  const std::vector<std::pair<int, int>> points = {{0, 0},  {15, 15}, {-1, 0},  {0, -1},
                                                   {16, 4}, {4, 16},  {31, 31}, {32, 0}};
  for (const int side : {16, 32, MaxIconSide + 8}) {
    picture.Side = side;
    std::string pixels;
    for (const auto& [x, y] : points) pixels += shown(x, y) + " ";
    const char* expected = side == 16   ? "15# 15# 0. 0. 0. 0. 0. 0. "
                           : side == 32 ? "15# 15# 0. 0. 15# 15# 15# 0. "
                                        : "0. 0. 0. 0. 0. 0. 0. 0. ";
    EXPECT_EQ(pixels, expected) << side;
  }
}

TEST_F(IconPictureTest, AnyScaleButTwoDrawsTheSmallIcon) {
  for (int scale : {0, 3, -1}) {
    AppState.IconScale = scale;
    IconPicture picture;
    DrawNumberIcon(0, &picture);
    EXPECT_EQ(picture.Side, 16);
    DrawGraphIcon(&picture);
    EXPECT_EQ(picture.Side, 16);
  }
}

}  // namespace
