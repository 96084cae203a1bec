// Bounded text helpers and the GBK-aware walks of my_func.
#include "my_func/my_func.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <tuple>

namespace {

TEST(TextCopy, CutsToSizeAndTerminates) {
  // name, size, source, whether it fitted, the text copied
  const std::tuple<const char *, std::size_t, const char *, int, const char *> cases[] = {
      {"fits", 8, "abc", 1, "abc"},
      {"exactly_fills", 4, "abc", 1, "abc"},
      {"one_too_long", 3, "abc", 0, "ab"},
      {"size_one", 1, "abc", 0, ""},
      {"empty", 4, "", 1, ""},
      {"null_source_is_empty", 4, nullptr, 1, ""}};
  for (const auto &[name, size, src, fitted, result] : cases) {
    SCOPED_TRACE(name);
    char buf[16];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(text_copy(buf, size, src), fitted);
    EXPECT_STREQ(buf, result);
    // Nothing is written past size.
    for (std::size_t i = size; i < sizeof buf; ++i)
      EXPECT_EQ(buf[i], 'x') << "byte " << i;
  }
  // Size 0 writes nothing, not even the terminator.
  char one = 'q';
  EXPECT_EQ(text_copy(&one, 0, "a"), 0);
  EXPECT_EQ(one, 'q');
}

TEST(TextAppend, AppendsUntilFullThenCuts) {
  char buf[8] = "ab";
  EXPECT_EQ(text_append(buf, sizeof buf, "cd"), 1);
  EXPECT_STREQ(buf, "abcd");
  EXPECT_EQ(text_append(buf, sizeof buf, "efgh"), 0);
  EXPECT_STREQ(buf, "abcdefg");
  EXPECT_EQ(text_append(buf, sizeof buf, "z"), 0);
  EXPECT_STREQ(buf, "abcdefg");
  // An unterminated destination is terminated at its end.
  char full[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(text_append(full, sizeof full, "e"), 0);
  EXPECT_STREQ(full, "abc");
}

TEST(TextFormat, ReportsWhetherTheWholeTextFitted) {
  char buf[8];
  EXPECT_EQ(text_format(buf, sizeof buf, "%s-%d", "ab", 12), 1);
  EXPECT_STREQ(buf, "ab-12");
  EXPECT_EQ(text_format(buf, sizeof buf, "%s-%d", "abcdef", 12), 0);
  EXPECT_STREQ(buf, "abcdef-");
  EXPECT_EQ(text_format(buf, 8, "%s", "1234567"), 1);
  EXPECT_EQ(text_format(buf, 0, "%s", "x"), 0);
}

// "\xd6\xd0" is one double-byte character; "\xb5\x5c" is one whose second
// byte is a backslash.
TEST(GbkPrefix, NeverEndsInsideACharacter) {
  // name, text, most bytes, the prefix's length
  const std::tuple<const char *, const char *, std::size_t, std::size_t> cases[] = {
      {"ascii_shorter", "abc", 10, 3},
      {"ascii_cut", "abcdef", 4, 4},
      {"pair_fits", "a\xd6\xd0", 3, 3},
      {"pair_would_be_split", "a\xd6\xd0", 2, 1},
      {"pair_with_backslash_trail", "\xb5\x5cz", 1, 0},
      {"lead_without_trail", "a\x81", 5, 2},
      {"lead_before_control", "\x81\x0a", 1, 1},
      {"zero_max", "abc", 0, 0}};
  for (const auto &[name, text, max, len] : cases)
    EXPECT_EQ(gbk_prefix_len(text, max), len) << name;
}

TEST(GbkUpper, UpperCasesSingleByteLettersOnly) {
  // "\xb0\x61" is a GBK character whose second byte reads as 'a'.
  char text[] = "d:\\work\\\xb0\x61x.prt";
  gbk_upper(text);
  EXPECT_STREQ(text, "D:\\WORK\\\xb0\x61X.PRT");
}

TEST(GbkLastBackslash, SkipsTrailBytesThatLookLikeBackslashes) {
  char plain[] = "D:\\a\\b.prt";
  EXPECT_EQ(gbk_last_backslash(plain), plain + 4);
  // "\xb5\x5c" ends with a trail byte 0x5c: not a folder separator.
  char gbk[] = "D:\\w\\\xb5\x5c.prt";
  EXPECT_EQ(gbk_last_backslash(gbk), gbk + 4);
  char none[] = "abc.prt";
  EXPECT_EQ(gbk_last_backslash(none), nullptr);
}

// The number at the start of a word, by the grammar every runtime is held
// to: no hexadecimal, infinity or NaN, which glibc's reader would take.
TEST(NumberValue, ReadsTheLeadingDecimalNumberOnly) {
  // clang-format off
  const std::tuple<const char *, double> cases[] = {
      {"297", 297.0}, {"  -2.5e3x", -2500.0}, {"+.5", 0.5}, {"5.", 5.0}, {"12.25mm", 12.25},
      {"1e", 1.0}, {"1e+", 1.0}, {"1E+2", 100.0}, {"\t\n7", 7.0}, {".", 0.0},
      {"-", 0.0}, {"e5", 0.0}, {"", 0.0}, {"abc", 0.0}, {"0x10", 0.0},
      {"0X1p3", 0.0}, {"inf", 0.0}, {"-infinity", 0.0}, {"nan", 0.0}, {"NAN(1)", 0.0},
      {"1,5", 1.0}, {"0.1", 0.1},
  };
  // clang-format on
  for (const auto &[text, value] : cases)
    EXPECT_EQ(number_value(text), value) << text;
  EXPECT_TRUE(std::signbit(number_value("-0")));
  EXPECT_EQ(number_value("1e999"), HUGE_VAL);
}

} // namespace
