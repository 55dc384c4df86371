// The information tree's number and name formats: time zones, cache fields, processor names,
// battery status and the single-precision readouts.
#include "info/info_format.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "base/text.h"

namespace {

std::u16string Format(const char16_t* format, double value) {
  char16_t buffer[64];
  FormatText(buffer, 64, format, value);
  return buffer;
}

TEST(InfoFormatTest, TimeZoneShowsHoursAndLeftoverMinutes) {
  const std::pair<int, std::u16string> cases[] = {
      {-180, u"+3"},
      {0, u"0"},
      {300, u"-5"},
      {-330, u"+5.30"},
      {210, u"-3.30"},
      {-345, u"+5.45"},
      {-30, u"+0.30"},
      {30, u"-0.30"},
      {1, u"-0.1"},
      {-720, u"+12"},
      {720, u"-12"},
      {INT32_MIN, u"+35791394.8"},
      {INT32_MAX, u"-35791394.7"},  // any value a query gives
  };
  for (const auto& [bias, shown] : cases) {
    char16_t buffer[128];
    FormatTimeZone(buffer, 128, bias);
    EXPECT_EQ(std::u16string(buffer), u"часовой пояс: " + shown) << bias;
  }
}

TEST(InfoFormatTest, CacheFieldsOfEachCache) {
  struct Row {
    std::uint32_t CacheType;
    bool Data;
    std::array<int, 3> SizeLineWays;
  };
  const Row rows[] = {
      {0x0B1AA1AA, false, {32, 8, 32}},  // PXA25x and PXA27x
      {0x0B1AA1AA, true, {32, 8, 32}},
      {0x0B047159, false, {16, 4, 8}},  // every field different in the two caches
      {0x0B047159, true, {1, 16, 1}},
      // A size field of 0 is no cache, not half a kilobyte.
      {0x0B1AA1AA & ~(7u << 6), false, {0, 8, 32}},
      {0x0B1AA1AA & ~(7u << 18), true, {0, 8, 32}},
  };
  for (const Row& row : rows) {
    const CacheGeometry cache = DecodeCache(row.CacheType, row.Data);
    EXPECT_EQ((std::array{cache.SizeKb, cache.LineWords, cache.Associativity}), row.SizeLineWays)
        << std::hex << row.CacheType << (row.Data ? " data" : " instructions");
  }
}

// Every entry of each name table, and the values just past it.
TEST(InfoFormatTest, NameTables) {
  const auto shown = [](const char16_t* name) { return std::u16string(name ? name : u"-"); };
  std::vector<std::u16string> implementers, architectures, sources, chemistries;
  for (std::uint32_t id : {0x41000000u, 0x54000000u, 0x69052D06u, 0x40FFFFFFu, 0x12000000u}) {
    implementers.push_back(shown(ImplementerName(id)));
  }
  for (std::uint32_t field : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 15u}) {
    architectures.push_back(ArchitectureName(0x69000000u | field << 16));
  }
  for (int status : {0, 1, 2, 3, 255}) sources.push_back(PowerSourceName(status));
  for (int chemistry : {0, 1, 2, 3, 4, 5, 6, 7, 255}) {
    chemistries.push_back(ChemistryName(static_cast<std::uint8_t>(chemistry)));
  }
  using Names = std::vector<std::u16string>;
  EXPECT_EQ(implementers, (Names{u"ARM", u"Texas Instruments", u"Intel", u"-", u"-"}));
  EXPECT_EQ(architectures, (Names{u"ARMv3", u"ARMv4", u"ARMv4T", u"ARMv5", u"ARMv5T", u"ARMv5TE",
                                  u"ARMv5TEJ", u"ARMv6", u"ARM", u"ARM"}));
  EXPECT_EQ(sources, (Names{u"основная батарея", u"от сети", u"резервная батарея", u"неизвестно",
                            u"неизвестно"}));
  EXPECT_EQ(chemistries, (Names{u"неизвестно", u"щелочь", u"Ni-Cd", u"NiMH", u"Li-Ion", u"Li-Pol",
                                u"цинк", u"неизвестно", u"неизвестно"}));
}

TEST(InfoFormatTest, BatteryStatusIsMatchedAsAWholeByte) {
  const std::pair<int, const char16_t*> cases[] = {
      {1, u"статус: в норме"}, {2, u"статус: слабо"},      {4, u"статус: разряд"},
      {8, u"статус: зарядка"}, {9, u"статус: неизвестно"}, {128, nullptr},
  };
  for (const auto& [flag, line] : cases) {
    const char16_t* shown = BatteryStatusLine(static_cast<std::uint8_t>(flag));
    if (line == nullptr) {
      EXPECT_EQ(shown, nullptr) << flag;
    } else {
      EXPECT_EQ(std::u16string(shown), line) << flag;
    }
  }
}

TEST(InfoFormatTest, VoltageAndTemperatureInSinglePrecision) {
  EXPECT_EQ(Format(u"%.2f", MillivoltsToVolts(0)), u"0.00");
  EXPECT_EQ(Format(u"%.2f", MillivoltsToVolts(3995)), u"4.00");
  EXPECT_EQ(Format(u"%.2f", MillivoltsToVolts(4012)), u"4.01");
  EXPECT_EQ(Format(u"%.1f", TenthsToDegrees(253)), u"25.3");
  // Above the signed 32-bit range the reading stays positive.
  EXPECT_GT(MillivoltsToVolts(0xFFFFFFFFu), 4.0e6);
}

}  // namespace
