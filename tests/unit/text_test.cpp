// The bounded formatter and the wide-text helpers every label and value name goes through.
#include "base/text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string Format(int capacity, const char16_t* format, ...) {
  char16_t buffer[64];
  for (char16_t& c : buffer) c = u'#';
  va_list arguments;
  va_start(arguments, format);
  int n = FormatTextV(buffer, capacity, format, arguments);
  va_end(arguments);
  EXPECT_EQ(buffer[n], 0);
  if (capacity < 64) {
    EXPECT_EQ(buffer[capacity], u'#') << "wrote past the buffer";
  }
  return std::u16string(buffer, n);
}

TEST(FormatText, Directives) {
  EXPECT_EQ(Format(64, u"Freq%d", 8), u"Freq8");
  EXPECT_EQ(Format(64, u"%d МГц", -26), u"-26 МГц");
  EXPECT_EQ(Format(64, u"%d:%02d:%02d", 3, 5, 9), u"3:05:09");
  EXPECT_EQ(Format(64, u"%2d-%02d-%d", 3, 2, 2006), u" 3-02-2006");
  EXPECT_EQ(Format(64, u"%s: %d %%", u"заряд", 80), u"заряд: 80 %");
  EXPECT_EQ(Format(64, u"%.2f В", 4.012), u"4.01 В");
  EXPECT_EQ(Format(64, u"%.2f", static_cast<double>(3995 * 0.001f)), u"4.00");
  EXPECT_EQ(Format(64, u"%.2f", 0.0), u"0.00");
  EXPECT_EQ(Format(64, u"%.1f° C", 25.3), u"25.3° C");
  EXPECT_EQ(Format(64, u"%d", -2147483647 - 1), u"-2147483648");
  EXPECT_EQ(Format(64, u"%s", static_cast<const char16_t*>(nullptr)), u"");
}

TEST(FormatText, NeverWritesPastTheBuffer) {
  EXPECT_EQ(Format(6, u"Freq%d", 12345), u"Freq1");
  EXPECT_EQ(Format(1, u"abc"), u"");
  EXPECT_EQ(Format(4, u"%s", u"длинный"), u"дли");
  char16_t untouched = u'#';
  EXPECT_EQ(FormatText(&untouched, 0, u"x"), 0);
  EXPECT_EQ(untouched, u'#');
}

TEST(TextHelpers, ContainsIsPlainAndCaseSensitive) {
  EXPECT_TRUE(TextContains(u"run #12 now", u"#1"));
  EXPECT_FALSE(TextContains(u"apprunafterwakeup", u"AppRunAfterWakeup"));
  EXPECT_TRUE(TextContains(u"x", u""));
  EXPECT_FALSE(TextContains(u"", u"#1"));
}

TEST(TextHelpers, AppendCutsAndTerminates) {
  char16_t buffer[8] = u"abc";
  EXPECT_TRUE(TextAppend(buffer, 8, u"de"));
  EXPECT_EQ(std::u16string(buffer), u"abcde");
  EXPECT_FALSE(TextAppend(buffer, 8, u"fghij"));
  EXPECT_EQ(std::u16string(buffer), u"abcdefg");
  EXPECT_FALSE(TextCopy(buffer, 3, u"xyz"));
  EXPECT_EQ(std::u16string(buffer), u"xy");
}

}  // namespace
