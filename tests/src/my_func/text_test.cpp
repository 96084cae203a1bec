// Bounded text helpers and the GBK-aware walks of my_func.
#include "my_func/my_func.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <tuple>

namespace {

struct CopyCase {
  const char *name;
  std::size_t size;
  const char *src;
  int fitted;
  const char *result;
};

class TextCopy : public ::testing::TestWithParam<CopyCase> {};

TEST_P(TextCopy, CutsToSizeAndTerminates) {
  const CopyCase &c = GetParam();
  char buf[16];
  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(text_copy(buf, c.size, c.src), c.fitted);
  EXPECT_STREQ(buf, c.result);
  // Nothing is written past size.
  for (std::size_t i = c.size; i < sizeof buf; ++i)
    EXPECT_EQ(buf[i], 'x') << "byte " << i;
}

INSTANTIATE_TEST_SUITE_P(Cases, TextCopy,
                         ::testing::Values(CopyCase{"fits", 8, "abc", 1, "abc"},
                                           CopyCase{"exactly_fills", 4, "abc", 1, "abc"},
                                           CopyCase{"one_too_long", 3, "abc", 0, "ab"},
                                           CopyCase{"size_one", 1, "abc", 0, ""},
                                           CopyCase{"empty", 4, "", 1, ""},
                                           CopyCase{"null_source_is_empty", 4, nullptr, 1, ""}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(TextCopy, SizeZeroWritesNothing) {
  char buf[2] = {'q', 'q'};
  EXPECT_EQ(text_copy(buf, 0, "a"), 0);
  EXPECT_EQ(buf[0], 'q');
}

TEST(TextAppend, AppendsUntilFullThenCuts) {
  char buf[8] = "ab";
  EXPECT_EQ(text_append(buf, sizeof buf, "cd"), 1);
  EXPECT_STREQ(buf, "abcd");
  EXPECT_EQ(text_append(buf, sizeof buf, "efgh"), 0);
  EXPECT_STREQ(buf, "abcdefg");
  EXPECT_EQ(text_append(buf, sizeof buf, "z"), 0);
  EXPECT_STREQ(buf, "abcdefg");
}

TEST(TextAppend, UnterminatedDestinationIsTerminatedAtItsEnd) {
  char buf[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(text_append(buf, sizeof buf, "e"), 0);
  EXPECT_STREQ(buf, "abc");
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

struct PrefixCase {
  const char *name;
  const char *text;
  std::size_t max;
  std::size_t len;
};

class GbkPrefix : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(GbkPrefix, NeverEndsInsideACharacter) {
  const PrefixCase &c = GetParam();
  EXPECT_EQ(gbk_prefix_len(c.text, c.max), c.len);
}

// "\xd6\xd0" is one double-byte character; "\xb5\x5c" is one whose second
// byte is a backslash.
INSTANTIATE_TEST_SUITE_P(Cases, GbkPrefix,
                         ::testing::Values(PrefixCase{"ascii_shorter", "abc", 10, 3},
                                           PrefixCase{"ascii_cut", "abcdef", 4, 4},
                                           PrefixCase{"pair_fits", "a\xd6\xd0", 3, 3},
                                           PrefixCase{"pair_would_be_split", "a\xd6\xd0", 2, 1},
                                           PrefixCase{"pair_with_backslash_trail", "\xb5\x5cz", 1,
                                                      0},
                                           PrefixCase{"lead_without_trail", "a\x81", 5, 2},
                                           PrefixCase{"lead_before_control", "\x81\x0a", 1, 1},
                                           PrefixCase{"zero_max", "abc", 0, 0}),
                         [](const auto &info) { return std::string(info.param.name); });

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
  const std::tuple<const char *, double> cases[] = {
      {"297", 297.0},     {"  -2.5e3x", -2500.0},
      {"+.5", 0.5},       {"5.", 5.0},
      {"12.25mm", 12.25}, {"1e", 1.0},
      {"1e+", 1.0},       {"1E+2", 100.0},
      {"\t\n7", 7.0},     {".", 0.0},
      {"-", 0.0},         {"e5", 0.0},
      {"", 0.0},          {"abc", 0.0},
      {"0x10", 0.0},      {"0X1p3", 0.0},
      {"inf", 0.0},       {"-infinity", 0.0},
      {"nan", 0.0},       {"NAN(1)", 0.0},
      {"1,5", 1.0},       {"0.1", 0.1},
  };
  for (const auto &[text, value] : cases)
    EXPECT_EQ(number_value(text), value) << text;
  EXPECT_TRUE(std::signbit(number_value("-0")));
  EXPECT_EQ(number_value("1e999"), HUGE_VAL);
}

} // namespace
