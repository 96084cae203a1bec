// Tool moves, summaries and NC programs without a session: the move
// reader, arc geometry, the twelve summary values with the machining time
// from lengths and feeds, and the two dialects' NC text.
#include "postproc/dialects.h"
#include "postproc/moves.h"
#include "postproc/program.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace post = sim::post;
using sim::geo::Vec3;

std::vector<post::Move> parse(const std::string &text, post::MoveDefaults defaults = {}) {
  std::vector<post::Move> moves;
  post::MoveError error;
  EXPECT_TRUE(post::parse_moves(text, defaults, moves, error))
      << "line " << error.line << ": " << error.what;
  return moves;
}

TEST(Moves, ReadsModalWordsCommentsAndArcs) {
  const auto moves = parse("%\n"
                           "(square with an arc)\n"
                           "N10 G90 G17 G0 X0 Y0 Z50 ; start\n"
                           "Z5\n"
                           "g1 z-2. f300 S2500\n"
                           "X20 F1200\n"
                           "G3 X30 Y10 I0 J10\n"
                           "G2 X30 Y10 I-10 J0 Z-3 (full helix turn)\n"
                           "G0 Z50 M5\n");
  ASSERT_EQ(moves.size(), 7u);
  EXPECT_TRUE(moves[0].first);
  EXPECT_EQ(moves[0].end, (Vec3{0, 0, 50}));
  EXPECT_EQ(moves[1].motion, post::Motion::Rapid);
  EXPECT_EQ(moves[1].end, (Vec3{0, 0, 5}));
  EXPECT_EQ(moves[2].motion, post::Motion::Linear);
  EXPECT_EQ(moves[2].feed, 300);
  EXPECT_EQ(moves[2].spindle, 2500);
  EXPECT_EQ(moves[3].feed, 1200);
  EXPECT_EQ(moves[3].end, (Vec3{20, 0, -2}));
  EXPECT_EQ(moves[4].motion, post::Motion::ArcCcw);
  EXPECT_EQ(moves[4].centre, (Vec3{20, 10, -2}));
  EXPECT_NEAR(post::arc_angle(moves[4]), std::numbers::pi / 2, 1e-12);
  EXPECT_NEAR(post::move_length(moves[4]), 5 * std::numbers::pi, 1e-9);
  EXPECT_EQ(moves[5].motion, post::Motion::ArcCw);
  EXPECT_NEAR(post::arc_angle(moves[5]), 2 * std::numbers::pi, 1e-12);
  EXPECT_NEAR(post::move_length(moves[5]), std::hypot(20 * std::numbers::pi, 1.0), 1e-9);
  EXPECT_EQ(moves[6].feed, 0);
}

TEST(Moves, OperationDefaultsApplyUntilTheMovesSayOtherwise) {
  const auto moves = parse("G0 X0 Y0 Z5\nG1 Z0\nS4000 X5 F800\n", {250, 3000});
  ASSERT_EQ(moves.size(), 3u);
  EXPECT_EQ(std::tuple(moves[1].feed, moves[1].spindle, moves[2].feed, moves[2].spindle),
            std::tuple(250.0, 3000, 800.0, 4000));
}

TEST(Moves, MistakesNameTheirLine) {
  const std::pair<const char *, int> cases[] = {
      {"X1 Y1 Z1\n", 1},           // no motion yet
      {"G0 X1 Y1\n", 1},           // first move lacks Z
      {"G2 X1 Y1 Z1 I1\n", 1},     // first move is an arc
      {"G0 X0 Y0 Z0\nG1 X5\n", 2}, // no feed
      {"G0 X0 Y0 Z0\nG91 X1\n", 2},
      {"G0 X0 Y0 Z0\nG2 X5 Y5 I1 J0 F10\n", 2}, // end not on the circle
      {"G0 X0 Y0 Z0\nG2 X5 F10\n", 2},          // no centre
      {"G0 X0 Y0 Z0\nG1 X1 I1 F10\n", 2},
      {"G0 X0 Y0 Z0\nQ5\n", 2},
      {"G0 X0 Y0 Z0\nG1 X1 F0\n", 2},
      {"G0 X0 Y0 Z0\nG1 X1 F-5\n", 2},
      {"G0 X0 Y0 Z0\n(open\n", 2},
      {"G0 X0 Y0 Z0\nG1 X F10\n", 2},
      {"G0 X0 Y0 Z0\nS-1\n", 2},
      {"G0 X0 Y0 Z0\nG5\n", 2},
  };
  for (const auto &[text, line] : cases) {
    std::vector<post::Move> moves;
    post::MoveError error;
    EXPECT_FALSE(post::parse_moves(text, {}, moves, error)) << text;
    EXPECT_EQ(error.line, line) << text << ": " << error.what;
    EXPECT_FALSE(error.what.empty());
  }
}

post::Program two_operations() {
  // name, tool, tool number, description, side and floor stock, spindle,
  // feed, moves: 1000 mm of cutting at 1000 mm/min and 100 mm of rapid
  // travel, then a plunge at a speed of its own.
  return {"A01",
          {{"CAVITY_MILL_1", "D10R0.5", 3, "CAVITY_MILL", 0.3, 0.2, 0, 0,
            parse("G0 X0 Y0 Z50\nZ0\nG1 Z-10 F500\nX490 F1000\nG0 Z40\n", {0, 3000})},
           {"ZLEVEL_1", "D6 BALL", 5, "", 0, 0.05, 0, 0,
            parse("G0 X490 Y0 Z40\nG1 Z-15.25 F200 S8000\nG0 Z40\n")}}};
}

TEST(Summary, TwelveValuesFromTheMoves) {
  const post::Summary s = post::summarize(two_operations(), 10000);
  EXPECT_EQ(s.lowest_z, -15.25);
  // Cutting: 10/500 + 490/1000 + 55.25/200; rapids: 50 + 50 + 55.25 mm.
  const double expected = 10.0 / 500 + 490.0 / 1000 + 55.25 / 200 + (50 + 50 + 55.25) / 10000;
  EXPECT_NEAR(s.exact_minutes, expected, 1e-12);
  EXPECT_EQ(std::tuple(s.minutes, s.min_spindle, s.max_spindle, s.min_feed, s.max_feed),
            std::tuple(1L, 3000, 8000, 200.0, 1000.0));
  EXPECT_EQ(post::summary_line(s),
            "A01 D10R0.5 CAVITY_MILL 0 -15.250 1 3 3000 8000 200 1000 0.05\n");
}

TEST(Summary, EveryValueIsOneWord) {
  const post::Program program{"B 02", {{"", "D6 BALL", 0, "", 0, 0, 4000, 1500, {}}}};
  EXPECT_EQ(post::summary_line(post::summarize(program, 10000)),
            "B_02 D6_BALL - 0 0.000 0 0 4000 4000 1500 1500 0\n");
  EXPECT_EQ(post::summary_line(post::summarize(post::Program{"EMPTY", {}}, 10000)),
            "EMPTY - - 0 0.000 0 0 0 0 0 0 0\n");
}

TEST(Summary, TimeRoundsUpToWholeMinutesAndCountsTravelBetweenOperations) {
  post::Operation a, b;
  a.moves = parse("G0 X0 Y0 Z0\nG1 X1000 F100\n"); // 10 minutes exactly
  EXPECT_EQ(post::summarize({"T", {a}}, 10000).minutes, 10);
  b.moves = parse("G0 X1000 Y10 Z0\n"); // 10 mm of rapid travel from a's end
  const post::Summary s = post::summarize({"T", {a, b}}, 10000);
  EXPECT_NEAR(s.exact_minutes, 10.001, 1e-12);
  EXPECT_EQ(s.minutes, 11);
}

// The text is the printf text with its trailing zeros dropped, whatever the
// value: ties, huge values, non-finite values and random ones.
TEST(Numbers, TrimmedNumbersAreThePrintfTexts) {
  const auto reference = [](double value, int places) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", places, value);
    std::string text = buf;
    if (text.find('.') != std::string::npos) {
      while (text.back() == '0')
        text.pop_back();
      if (text.back() == '.')
        text.pop_back();
    }
    return text == "-0" ? std::string("0") : text;
  };
  const double inf = std::numeric_limits<double>::infinity();
  // clang-format off
  std::vector<double> values{0.3, 12, -0.25, -0.0001, 1.23456, 0.0005, 0.0015, 2.5, -2.5, 1e300,
                             -1.7976931348623157e308, 5e-324, -0.0, 123456789.0125, inf, -inf};
  // clang-format on
  std::mt19937_64 random(20261207);
  std::uniform_real_distribution<double> spread(-5000, 5000);
  for (int i = 0; i < 2000; ++i)
    values.push_back(spread(random));
  for (double value : values)
    for (int places : {0, 2, 3, 4})
      EXPECT_EQ(sim::trimmed_number(value, places), reference(value, places))
          << value << " at " << places;
}

post::PostDefinition iso() {
  return {"ISO_MILL_3AX", post::Dialect::Iso, 10000, true, 0, false, "MILL"};
}

TEST(Nc, IsoProgramHasToolChangesSpeedsFeedsAndMoves) {
  post::NcJob job;
  job.clock.tm_year = 126, job.clock.tm_mon = 11, job.clock.tm_mday = 5;
  job.program_number = 7;
  const std::string nc = post::write_nc(iso(), two_operations(), job);
  for (const char *line :
       {"%\nO0007 (A01)\n", "(DATE 2026-12-05 00:00)", "N10 G17 G21 G40 G49 G80 G90\n", " T3 M06\n",
        " S3000 M03\n", " G00 G90 G54 X0. Y0.\n", " G43 H3 Z50.\n", " G01 Z-10. F500\n",
        " X490. F1000\n", " T5 M06\n", " S8000 M03\n", " G01 Z-15.25 F200\n", " M30\n%\n"}) {
    EXPECT_NE(nc.find(line), std::string::npos) << line << "\n" << nc;
  }
  EXPECT_LT(nc.find("T3 M06"), nc.find("T5 M06"));
}

TEST(Nc, IsoArcsInchesAndVariants) {
  const post::Program program{
      "ARC", {{"", "", 1, "", 0, 0, 0, 0, parse("G0 X0 Y0 Z0\nG2 X25.4 Y0 I12.7 J0 F254\n")}}};
  post::NcJob inch;
  inch.inch = true;
  const std::string nc = post::write_nc(iso(), program, inch);
  EXPECT_NE(nc.find("G20"), std::string::npos);
  EXPECT_NE(nc.find("G02 X1. Y0. I0.5 J0. F10"), std::string::npos) << nc;

  post::PostDefinition five = iso();
  five.rotary_axes = 2;
  five.block_numbers = false;
  five.high_speed = true;
  const std::string nc5 = post::write_nc(five, program, {});
  EXPECT_NE(nc5.find("\nG00 A0. C0.\n"), std::string::npos) << nc5;
  EXPECT_NE(nc5.find("\nG64"), std::string::npos);
  EXPECT_EQ(nc5.find("\nN"), std::string::npos);
}

TEST(Nc, ConversationalProgram) {
  post::PostDefinition dialog{
      "DIALOG_MILL_3AX", post::Dialect::Conversational, 8000, true, 0, false, "MILL"};
  const post::Program program{"A01",
                              {{"FACE", "D50", 2, "", 0, 0, 0, 0,
                                parse("G0 X0 Y0 Z5\nG1 Z0 F300 S1200\nG3 X20 Y0 I10 J0 F900\n")}}};
  const std::string nc = post::write_nc(dialog, program, {});
  for (const char *line :
       {"0 BEGIN PROGRAM A01 MM\n", "TOOL CALL 2 AXIS Z SPEED 1200\n",
        "LINE X+0.000 Y+0.000 RAPID\n", "LINE Z+5.000 RAPID\n", "SPINDLE ON CW COOLANT ON\n",
        "LINE Z+0.000 FEED 300\n", "CENTER X+10.000 Y+0.000\n",
        "ARC X+20.000 Y+0.000 CCW FEED 900\n", "SPINDLE OFF COOLANT OFF\n", "END PROGRAM A01 MM\n"})
    EXPECT_NE(nc.find(line), std::string::npos) << line << "\n" << nc;
}

} // namespace
