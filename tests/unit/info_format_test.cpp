// The information tree's number and name formats: time zones, cache fields, processor names,
// battery status and the single-precision readouts.
#include "info/info_format.h"

#include <gtest/gtest.h>

#include <string>

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

TEST(InfoFormatTest, CacheFieldsOfBothCaches) {
  for (bool data : {false, true}) {
    const CacheGeometry cache = DecodeCache(0x0B1AA1AA, data);
    EXPECT_EQ(cache.SizeKb, 32);
    EXPECT_EQ(cache.LineWords, 8);
    EXPECT_EQ(cache.Associativity, 32);
  }
  // A size field of 0 is no cache, not half a kilobyte.
  EXPECT_EQ(DecodeCache(0x0B1AA1AA & ~(7u << 6), false).SizeKb, 0);
  EXPECT_EQ(DecodeCache(0x0B1AA1AA & ~(7u << 18), true).SizeKb, 0);
}

TEST(InfoFormatTest, ProcessorNamesFromTheMainId) {
  EXPECT_EQ(std::u16string(ImplementerName(0x69052D06)), u"Intel");
  EXPECT_EQ(std::u16string(ArchitectureName(0x69052D06)), u"ARMv5TE");
  EXPECT_EQ(ImplementerName(0x12000000), nullptr);
  EXPECT_EQ(std::u16string(ArchitectureName(0x000F0000)), u"ARM");
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
