// The values of one operation row: splitting a summary line, the program
// name, depth and time rules and the total row's padding.
#include "sheet/sheet.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

std::vector<std::string> split(const char *post_info) {
  row_values values;
  split_post_info(post_info, &values);
  return {std::begin(values.value), std::end(values.value)};
}

// The values of a line, padded with empty ones to twelve.
std::vector<std::string> twelve(std::vector<std::string> values) {
  values.resize(12);
  return values;
}

TEST(SplitPostInfo, TakesTwelveValuesLeftToRight) {
  // clang-format off
  struct Case { std::string line; std::vector<std::string> expected; };
  const std::vector<Case> cases = {
      {"o1 D10R0.5 rough 0.3 -15.25 12 T1 2000 3000 800 1500 0.1",
       {"o1", "D10R0.5", "rough", "0.3", "-15.25", "12", "T1", "2000", "3000", "800", "1500",
        "0.1"}},
      // Runs of blanks and line feeds count as one separator.
      {"  o1   D10 \n rough\n\n0.3 -1 2 T1 1 2 3 4 5\n",
       {"o1", "D10", "rough", "0.3", "-1", "2", "T1", "1", "2", "3", "4", "5"}},
      // Nine values: the last three are empty.
      {"a b c d e f g h i", twelve({"a", "b", "c", "d", "e", "f", "g", "h", "i"})},
      // What follows the twelfth value is ignored.
      {"1 2 3 4 5 6 7 8 9 10 11 12 13 14", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10",
                                             "11", "12"}},
      // A tab is no separator.
      {"a\tb c", twelve({"a\tb", "c"})},
      {"", twelve({})},
      // A long value is cut to 79 bytes, between characters: a double-byte
      // character whose second byte would be the 80th is dropped whole.
      {std::string(100, 'x') + " next", twelve({std::string(79, 'x'), "next"})},
      {std::string(78, 'y') + "\xd5\xd2\xd5\xd2", twelve({std::string(78, 'y')})},
  };
  // clang-format on
  for (const Case &c : cases) {
    EXPECT_EQ(split(c.line.c_str()), c.expected) << c.line;
  }
}

TEST(ProgramNameText, AppendsTheExtensionAndUpperCasesSingleByteLetters) {
  // clang-format off
  struct Case { std::string name; int show_ext; const char *nc_ext; std::string expected; };
  const std::vector<Case> cases = {
      {"o1234", 1, ".nc", "O1234.NC"},
      {"o1234", 0, ".nc", "o1234"},
      {"a01", 1, "", "A01"},
      // The second byte 0x61 of a double-byte character stays as it is.
      {"\xb0\x61x", 1, ".h", "\xb0\x61X.H"},
      // A name of 79 bytes leaves no room for the extension.
      {std::string(79, 'p'), 1, ".nc", std::string(79, 'P')},
  };
  // clang-format on
  for (const Case &c : cases) {
    char out[ROW_VALUE_BUFSIZE];
    program_name_text(c.name.c_str(), c.show_ext, c.nc_ext, out);
    EXPECT_EQ(out, c.expected) << c.name;
  }
}

TEST(DepthValue, ReadsNumbersAndRefusesWildValues) {
  // clang-format off
  struct Case { const char *text; double expected; };
  const std::vector<Case> cases = {
      {"-15.25", -15.25}, {"12abc", 12.0},  {"abc", 0.0},    {"", 0.0},
      {"1e9", 1e9},       {"-1e9", -1e9},   {"1.5e9", 0.0},  {"-2e9", 0.0},
      {"inf", 0.0},       {"-INF", 0.0},    {"nan", 0.0},    {"1e400", 0.0},
  };
  // clang-format on
  for (const Case &c : cases) {
    EXPECT_EQ(depth_value(c.text), c.expected) << c.text;
  }
}

TEST(TimeValue, ReadsTheLeadingWholeNumberSaturatesAndShowsZeroAsOne) {
  // clang-format off
  struct Case { const char *text; int expected; };
  const std::vector<Case> cases = {
      {"12", 12},        {"0", 0},           {"", 0},          {"abc", 0},
      {"-5", -5},        {"+7x", 7},         {"12.9", 12},     {"007", 7},
      {"2147483647", INT_MAX}, {"2147483648", INT_MAX}, {"99999999999999999999", INT_MAX},
      {"-2147483648", INT_MIN}, {"-99999999999999999999", INT_MIN},
  };
  // clang-format on
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(time_value(c.text), c.expected);
    // The time cell: a time that reads as 0 shows and counts 1.
    char out[ROW_VALUE_BUFSIZE];
    int counted = 0;
    time_cell_text(c.text, out, &counted);
    EXPECT_EQ(out, std::string(c.expected == 0 ? "1" : c.text));
    EXPECT_EQ(counted, c.expected == 0 ? 1 : c.expected);
  }
}

TEST(TimeValue, RunningTotalSaturates) {
  EXPECT_EQ(add_saturating(5, 7), 12);
  EXPECT_EQ(add_saturating(INT_MAX - 1, 5), INT_MAX);
  EXPECT_EQ(add_saturating(INT_MIN + 1, -5), INT_MIN);
  EXPECT_EQ(add_saturating(INT_MAX, INT_MIN), -1);
}

TEST(TotalText, PadsTotalsOfUpToFiveDigitsToOneColumn) {
  // clang-format off
  struct Case { int total; std::string expected; };
  const std::vector<Case> cases = {
      {7, " T    7"},     {12, " T   12"},     {123, " T  123"},  {1234, " T 1234"},
      {12345, " T12345"}, {123456, " T123456"}, {0, " T    0"}, {-5, " T   -5"},
  };
  // clang-format on
  for (const Case &c : cases) {
    char out[TOTAL_TEXT_BUFSIZE];
    total_text("T", c.total, out);
    EXPECT_EQ(out, c.expected) << c.total;
  }

  // A label of 255 bytes still leaves room for the total.
  std::string label(255, 'L');
  char out[TOTAL_TEXT_BUFSIZE];
  total_text(label.c_str(), INT_MIN, out);
  EXPECT_EQ(out, " " + label + "-2147483648");
}

} // namespace
