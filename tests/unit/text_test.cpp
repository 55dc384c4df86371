// The bounded formatter and the wide-text helpers every label and value name goes through.
#include "base/text.h"

#include <gtest/gtest.h>

#include <limits>
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
  EXPECT_EQ(Format(64, u"%03d|%.1f|%.2f|%.1f|%.2f", -5, -2.25, -0.004, 9.9, 0.99),
            u"-05|-2.3|-0.00|9.9|0.99");
  EXPECT_EQ(Format(64, u"%10d|%9d|%1d", 5, 7, 3), u"         5|        7|3");
  EXPECT_EQ(Format(64, u"%.1f %.2f", std::numeric_limits<double>::quiet_NaN(), 1e300),
            u"nan 1000000000000000.00");
  // A directive the formatter does not know is shown as written and takes no argument.
  EXPECT_EQ(Format(64, u"%x %.3f %.1g %d%", 7), u"%x %.3f %.1g 7%");
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
  EXPECT_TRUE(TextContains(u"", u""));
  EXPECT_FALSE(TextContains(u"xyz", u"a"));
}

TEST(TextHelpers, EqualsComparesWholeTexts) {
  EXPECT_TRUE(TextEquals(u"abc", u"abc"));
  EXPECT_FALSE(TextEquals(u"abc", u"abd"));
  EXPECT_FALSE(TextEquals(u"ab", u"abc"));
  EXPECT_EQ(TextLength(u""), 0);
}

TEST(TextHelpers, AppendCutsAndTerminates) {
  char16_t buffer[8] = u"abc";
  EXPECT_TRUE(TextAppend(buffer, 8, u"de"));
  EXPECT_EQ(std::u16string(buffer), u"abcde");
  EXPECT_FALSE(TextAppend(buffer, 8, u"fghij"));
  EXPECT_EQ(std::u16string(buffer), u"abcdefg");
  EXPECT_FALSE(TextCopy(buffer, 3, u"xyz"));
  EXPECT_EQ(std::u16string(buffer), u"xy");
  // A buffer whose text fills its capacity is cut and terminated even with nothing to add.
  char16_t full[8] = {u'a', u'b', u'c', u'd', u'e', u'f', u'g', u'h'};
  EXPECT_TRUE(TextAppend(full, 4, u""));
  EXPECT_EQ(std::u16string(full), u"abc");
  EXPECT_FALSE(TextAppend(full, 0, u"x"));
  EXPECT_FALSE(TextCopy(full, 0, u""));
  EXPECT_EQ(std::u16string(full), u"abc");
  EXPECT_TRUE(TextCopy(full, 1, u""));
  EXPECT_EQ(std::u16string(full), u"");
}

}  // namespace
