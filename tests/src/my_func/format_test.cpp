// Rounding and writing of numbers, and the display part's bare name.
#include "my_func/my_func.h"

#include "host/core.h"
#include "session/session.h"
#include "system_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

// value and places; what round_places, format_places and
// format_places_trim give.
TEST(Rounding, RoundsHalfAwayFromZeroOnTheDecimalText) {
  // clang-format off
  const std::tuple<double, int, double, const char *, const char *> cases[] = {
      // 2.345 prints as 2.345 and rounds up, unlike its binary value.
      {2.345, 2, 2.35, "2.35", "2.35"},
      // Six-decimal text first: a value within half a millionth of the
      // boundary lands on it.
      {1.0049996, 2, 1.01, "1.01", "1.01"}, {1.0049994, 2, 1.0, "1.00", "1"},
      // Place counts outside 0..3 mean 4.
      {3.14159, 7, 3.1416, "3.1416", "3.1416"},
      {3.14159, -1, 3.1416, "3.1416", "3.1416"},
      {3.14159, 4, 3.1416, "3.1416", "3.1416"},
      // Halves go away from zero; 0 places drop the point.
      {12.5, 0, 13.0, "13", "13"}, {-12.5, 0, -13.0, "-13", "-13"},
      {12.0, 0, 12.0, "12", "12"}, {12.5, 2, 12.5, "12.50", "12.5"},
      {25.4, 3, 25.4, "25.400", "25.4"}, {12.0, 2, 12.0, "12.00", "12"},
      {100.0, 2, 100.0, "100.00", "100"}, {0.004, 2, 0.0, "0.00", "0"},
      {35.004, 2, 35.0, "35.00", "35"}, {12.345, 2, 12.35, "12.35", "12.35"},
      {0.0, 1, 0.0, "0.0", "0"},
      // A negative value that rounds to zero keeps its sign in the text;
      // the trimmed text drops it (except with 0 places, where nothing is
      // trimmed).
      {-0.01, 1, -0.0, "-0.0", "0"}, {-0.3, 0, -0.0, "-0", "-0"},
      {-0.0004, 3, -0.0, "-0.000", "0"},
      // Comparisons at three decimals, as the coordinate checks make them.
      {0.0004, 3, 0.0, "0.000", "0"}, {0.0006, 3, 0.001, "0.001", "0.001"},
      {1.0004, 3, 1.0, "1.000", "1"}, {0.9996, 3, 1.0, "1.000", "1"},
      {-15.25, 1, -15.3, "-15.3", "-15.3"},
      {-25.25, 1, -25.3, "-25.3", "-25.3"}};
  // clang-format on
  for (const auto &[value, places, rounded, text, trimmed] : cases) {
    SCOPED_TRACE(testing::Message() << value << " " << places);
    char out[FORMAT_BUFSIZE];
    EXPECT_EQ(round_places(value, places), rounded);
    EXPECT_STREQ(format_places(value, places, out), text);
    EXPECT_STREQ(format_places_trim(value, places, out), trimmed);
  }
}

TEST(Rounding, HugeValuesStayWithinTheBuffer) {
  char out[FORMAT_BUFSIZE];
  format_places(1e75, 2, out);
  EXPECT_LT(std::string(out).size(), static_cast<std::size_t>(FORMAT_BUFSIZE));
  format_places_trim(-1e300, 3, out);
  EXPECT_LT(std::string(out).size(), static_cast<std::size_t>(FORMAT_BUFSIZE));
}

class PartStem : public sim::testing::SystemTest {
protected:
  // The stem of file; with unnamed, the host cannot name the part.
  std::string stem_of(const std::string &file, bool unnamed = false) {
    new_session();
    session().open_part(file);
    if (unnamed)
      fail("UF_PART_ask_part_name");
    char out[FORMAT_BUFSIZE] = "unchanged";
    EXPECT_EQ(UF_initialize(), 0);
    display_part_stem(out);
    EXPECT_EQ(UF_terminate(), 0);
    return out;
  }
};

// The name after the last backslash up to its last point; empty when the
// host cannot name the part.
TEST_F(PartStem, TakesTheNameAfterTheLastBackslashUpToItsLastPoint) {
  EXPECT_EQ(stem_of("D:\\work\\abc.prt"), "abc");
  EXPECT_EQ(stem_of("D:\\work\\a.b.prt"), "a.b");
  EXPECT_EQ(stem_of("abc.prt"), "abc");
  EXPECT_EQ(stem_of("D:\\work\\noext"), "noext");
  // A GBK name whose second byte is a backslash stays whole.
  EXPECT_EQ(stem_of("D:\\work\\\xb5\x5c"
                    "a.prt"),
            "\xb5\x5c"
            "a");
  // A stem longer than a record holds is cut to 79 bytes.
  EXPECT_EQ(stem_of("D:\\w\\" + std::string(120, 'n') + ".prt"), std::string(79, 'n'));
  EXPECT_EQ(stem_of("D:\\work\\abc.prt", true), "");
}

} // namespace
