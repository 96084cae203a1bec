// Hidden-line removal on a block with a through hole, a cylinder boss and
// filleted vertical edges, by both kernel methods: what a view shows and
// hides, by measurement of the lines' places.
#include "geometry/build.h"
#include "geometry/hidden_lines.h"
#include "test_shapes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <string>

namespace sim::geo {
namespace {

template <class T> T must(Result<T> r) {
  EXPECT_TRUE(r.ok()) << (r.ok() ? "" : r.error());
  return r.ok() ? std::move(*r) : T{};
}

using sim::testing::boss_hole_block;

Mat3 axes(Vec3 right, Vec3 up, Vec3 out) {
  Mat3 m;
  m.row = {right, up, out};
  return m;
}

const Mat3 kTop = axes({1, 0, 0}, {0, 1, 0}, {0, 0, 1});
const Mat3 kFront = axes({1, 0, 0}, {0, 0, 1}, {0, -1, 0});
const Mat3 kIso = axes({0.7071067811865476, 0.7071067811865476, 0},
                       {-0.4082482904638631, 0.4082482904638631, 0.8164965809277261},
                       {0.5773502691896258, -0.5773502691896258, 0.5773502691896258});

/// Length of the segments of pieces of a kind and visibility whose two
/// ends a and b satisfy where.
using Where = std::function<bool(const std::array<double, 2> &a, const std::array<double, 2> &b)>;
double length_of(const ViewLines &lines, ViewLineKind kind, bool visible, const Where &where) {
  double total = 0;
  for (const ViewLine &line : lines.lines) {
    if (line.kind != kind || line.visible != visible)
      continue;
    for (std::size_t i = 1; i < line.points.size(); ++i)
      if (where(line.points[i - 1], line.points[i]))
        total += std::hypot(line.points[i][0] - line.points[i - 1][0],
                            line.points[i][1] - line.points[i - 1][1]);
  }
  return total;
}

bool near(double a, double b, double tolerance = 0.02) { return std::fabs(a - b) < tolerance; }

/// Segments on the vertical line x between heights low and high.
Where on_vertical(std::initializer_list<double> xs, double low, double high) {
  const std::vector<double> at(xs);
  return [=](const std::array<double, 2> &a, const std::array<double, 2> &b) {
    for (const double x : at)
      if (near(a[0], x) && near(b[0], x) && std::min(a[1], b[1]) > low - 0.1 &&
          std::max(a[1], b[1]) < high + 0.1)
        return true;
    return false;
  };
}

class HiddenLines : public ::testing::TestWithParam<HiddenLineMethod> {
protected:
  static const Shape &part() {
    static const Shape shape = boss_hole_block();
    return shape;
  }
  ViewLines lines(const Mat3 &view) {
    Result<ViewLines> got = view_lines({part()}, view, 0.01, GetParam());
    EXPECT_TRUE(got.ok()) << (got.ok() ? "" : got.error());
    return got.ok() ? *got : ViewLines{};
  }
};

TEST_P(HiddenLines, FrontViewHidesTheHoleAndOutlinesTheBoss) {
  const ViewLines front = lines(kFront);
  const Where hole_side = on_vertical({62, 78}, 0, 30);
  // The hole's sides run through the block: hidden from top to bottom, and
  // nowhere visible.
  EXPECT_NEAR(length_of(front, ViewLineKind::Outline, false, hole_side) +
                  length_of(front, ViewLineKind::Sharp, false, hole_side),
              60, 0.5);
  EXPECT_EQ(length_of(front, ViewLineKind::Outline, true, hole_side), 0);
  EXPECT_EQ(length_of(front, ViewLineKind::Sharp, true, hole_side), 0);
  // The boss's outline: two visible lines 10 high at x 20 and 40.
  const Where boss_side = on_vertical({20, 40}, 30, 40);
  EXPECT_NEAR(length_of(front, ViewLineKind::Outline, true, boss_side) +
                  length_of(front, ViewLineKind::Sharp, true, boss_side),
              20, 0.5);
  // The fillets meet the front face in smooth edges at x 5 and 95, seen
  // over the whole height.
  const Where fillet_edge = on_vertical({5, 95}, 0, 30);
  EXPECT_NEAR(length_of(front, ViewLineKind::Smooth, true, fillet_edge), 60, 0.5);
}

TEST_P(HiddenLines, TopViewShowsTheHoleAndBossCirclesAndHidesTheBottom) {
  const ViewLines top = lines(kTop);
  const auto on_circle = [](double cx, double cy, double r) -> Where {
    return [=](const std::array<double, 2> &a, const std::array<double, 2> &b) {
      return near(std::hypot(a[0] - cx, a[1] - cy), r, 0.05) &&
             near(std::hypot(b[0] - cx, b[1] - cy), r, 0.05);
    };
  };
  const double pi = 3.14159265358979;
  EXPECT_NEAR(length_of(top, ViewLineKind::Sharp, true, on_circle(30, 30, 10)), 2 * pi * 10, 0.5);
  EXPECT_NEAR(length_of(top, ViewLineKind::Sharp, true, on_circle(70, 30, 8)), 2 * pi * 8, 0.5);
  // The block's outline seen from above is the top face's edges; its
  // bottom edges lie under it and are never drawn as visible twice.
  const Where front_edge = [](const std::array<double, 2> &a, const std::array<double, 2> &b) {
    return near(a[1], 0) && near(b[1], 0) && std::min(a[0], b[0]) > 4.9 &&
           std::max(a[0], b[0]) < 95.1;
  };
  EXPECT_NEAR(length_of(top, ViewLineKind::Sharp, true, front_edge), 90, 0.5);
}

INSTANTIATE_TEST_SUITE_P(
    Methods, HiddenLines,
    ::testing::Values(HiddenLineMethod::Exact, HiddenLineMethod::Polygonal,
                      HiddenLineMethod::Sampled),
    [](const auto &info) {
      return (std::array{"exact", "polygonal", "sampled"})[static_cast<int>(info.param)];
    });

TEST(HiddenLineMethod, ExactForAxisViewsPolygonalOtherwiseSampledForLargeParts) {
  EXPECT_EQ(hidden_line_method(kTop, 100), HiddenLineMethod::Exact);
  EXPECT_EQ(hidden_line_method(kFront, kHiddenLineEdgeLimit), HiddenLineMethod::Exact);
  EXPECT_EQ(hidden_line_method(kIso, kHiddenLineEdgeLimit), HiddenLineMethod::Polygonal);
  EXPECT_EQ(hidden_line_method(kFront, kHiddenLineEdgeLimit + 1), HiddenLineMethod::Sampled);
  EXPECT_EQ(hidden_line_method(kIso, kHiddenLineEdgeLimit + 1), HiddenLineMethod::Sampled);
  EXPECT_TRUE(must(view_lines({}, kTop, 0.01, HiddenLineMethod::Exact)).lines.empty());
  EXPECT_FALSE(view_lines({boss_hole_block()}, kTop, 0, HiddenLineMethod::Exact).ok());
}

/// Length of the lines of a (visible, or hidden) that lie farther than
/// apart from every line of b (visible, or any).
double lines_apart(const ViewLines &a, const ViewLines &b, double apart, bool visible) {
  std::vector<std::array<double, 4>> segments;
  for (const ViewLine &line : b.lines)
    if (line.visible || !visible)
      for (std::size_t i = 1; i < line.points.size(); ++i)
        segments.push_back(
            {line.points[i - 1][0], line.points[i - 1][1], line.points[i][0], line.points[i][1]});
  const auto distance = [&](double x, double y) {
    double best = 1e300;
    for (const auto &s : segments) {
      const double dx = s[2] - s[0], dy = s[3] - s[1], l2 = dx * dx + dy * dy;
      const double t = l2 > 0 ? std::clamp(((x - s[0]) * dx + (y - s[1]) * dy) / l2, 0.0, 1.0) : 0;
      best = std::min(best, std::hypot(s[0] + t * dx - x, s[1] + t * dy - y));
    }
    return best;
  };
  double total = 0;
  constexpr double kStep = 0.25;
  for (const ViewLine &line : a.lines)
    if (line.visible == visible)
      for (std::size_t i = 1; i < line.points.size(); ++i) {
        const auto &p = line.points[i - 1], &q = line.points[i];
        const double length = std::hypot(q[0] - p[0], q[1] - p[1]);
        const int steps = std::max(1, static_cast<int>(length / kStep));
        for (int k = 0; k < steps; ++k) {
          const double t = (k + 0.5) / steps;
          if (distance(p[0] + t * (q[0] - p[0]), p[1] + t * (q[1] - p[1])) > apart)
            total += length / steps;
        }
      }
  return total;
}

// The sampled method of large parts against the kernel's methods on parts
// they manage: every visible line of one lies on a visible line of the
// other, and every hidden line on some line of the other (a hidden edge
// right behind a visible one may be told either way).
TEST(SampledLines, DrawWhatTheKernelDraws) {
  const Shape demo =
      must(read_step(std::string(NCSHEET_SOURCE_DIR) + "/examples/demo/workpiece.step"));
  const Shape plate = must(make_hole_plate(6, 10, 3, 20));
  const Shape part = boss_hole_block();
  const std::pair<const char *, const Shape *> bodies[] = {
      {"demo", &demo}, {"plate", &plate}, {"block", &part}};
  for (const auto &[name, body] : bodies)
    for (const auto &[view_name, view] :
         {std::pair{"top", &kTop}, {"front", &kFront}, {"iso", &kIso}}) {
      const HiddenLineMethod kernel =
          view == &kIso ? HiddenLineMethod::Polygonal : HiddenLineMethod::Exact;
      const ViewLines theirs = must(view_lines({*body}, *view, 0.01, kernel));
      const ViewLines ours = must(view_lines({*body}, *view, 0.01, HiddenLineMethod::Sampled));
      SCOPED_TRACE(std::string(name) + ", " + view_name + " view");
      EXPECT_LT(lines_apart(ours, theirs, 0.05, true), 0.5);
      EXPECT_LT(lines_apart(theirs, ours, 0.05, true), 0.5);
      EXPECT_LT(lines_apart(ours, theirs, 0.05, false), 0.5);
      EXPECT_LT(lines_apart(theirs, ours, 0.05, false), 0.5);
    }
}

/// Length of each kind of line, visible and hidden, keyed by 2 * kind + visible.
std::map<int, double> lengths_by_kind(const ViewLines &lines) {
  std::map<int, double> total;
  for (const ViewLine &line : lines.lines)
    for (std::size_t i = 1; i < line.points.size(); ++i)
      total[2 * static_cast<int>(line.kind) + line.visible] += std::hypot(
          line.points[i][0] - line.points[i - 1][0], line.points[i][1] - line.points[i - 1][1]);
  return total;
}

// Instances draw as copies: a body under a location (as an assembly holds
// an instance) as its moved copy, and one body holding two instances of a
// filleted block (the same edges under two locations) as the two given as
// bodies of their own.  The same lines in the same places, and the same
// length of each kind, smooth joins included.
TEST(SampledLines, InstancesDrawAsTheirCopies) {
  Frame turned;
  turned.origin = {15, -7, 4};
  turned.axes.row = {Vec3{0, 1, 0}, Vec3{-1, 0, 0}, Vec3{0, 0, 1}};
  Frame beside;
  beside.origin = {0, 90, 0};
  const Shape plate = must(make_hole_plate(6, 10, 3, 20));
  const Shape block = boss_hole_block();
  const Shape copy = located(block, beside);
  const struct {
    const char *name;
    std::vector<Shape> instances, copies;
    bool filleted;
  } rows[] = {
      {"located plate", {located(plate, turned)}, {plate.placed(turned)}, false},
      {"located block", {located(block, turned)}, {block.placed(turned)}, true},
      {"two blocks in one body", {compound_of({block, copy})}, {block, copy}, true},
  };
  for (const auto &row : rows) {
    double smooth = 0;
    for (const auto &[view_name, view] :
         {std::pair{"top", &kTop}, {"front", &kFront}, {"iso", &kIso}}) {
      SCOPED_TRACE(std::string(row.name) + ", " + view_name + " view");
      const ViewLines instances =
          must(view_lines(row.instances, *view, 0.01, HiddenLineMethod::Sampled));
      const ViewLines copies = must(view_lines(row.copies, *view, 0.01, HiddenLineMethod::Sampled));
      for (const bool visible : {true, false}) {
        EXPECT_LT(lines_apart(instances, copies, 0.001, visible), 0.05);
        EXPECT_LT(lines_apart(copies, instances, 0.001, visible), 0.05);
      }
      const std::map<int, double> expected = lengths_by_kind(copies);
      const std::map<int, double> got = lengths_by_kind(instances);
      ASSERT_EQ(got.size(), expected.size());
      for (const auto &[key, length] : expected)
        EXPECT_NEAR(got.at(key), length, 0.05) << "kind and visibility " << key;
      smooth += expected.count(2 * static_cast<int>(ViewLineKind::Smooth) + 1);
    }
    if (row.filleted) {
      EXPECT_GT(smooth, 0) << row.name << ": the fillets show no smooth line";
    }
  }
}

// The sampled method draws an arc with the fewest chords that stay within
// the tolerance, and never with a step past a quarter turn: a hole of
// radius 3 is four chords at tolerance 1 and forty at 0.01.
TEST(SampledLines, ArcsTakeTheFewestChordsWithinTheTolerance) {
  const double r = 3;
  const Shape plate = must(make_hole_plate(2, 10, r, 20));
  for (const double tolerance : {1.0, 0.3, 0.01}) {
    SCOPED_TRACE(tolerance);
    const ViewLines top = must(view_lines({plate}, kTop, tolerance, HiddenLineMethod::Sampled));
    const double step = std::min(2 * std::acos(1 - tolerance / r), 1.5707963267948966);
    const auto chords = static_cast<std::size_t>(std::ceil(2 * 3.141592653589793 / step));
    int circles = 0;
    for (const ViewLine &line : top.lines) {
      const auto &p = line.points;
      if (!line.visible || p.size() < 3 ||
          std::hypot(p.front()[0] - p.back()[0], p.front()[1] - p.back()[1]) > 1e-9)
        continue;
      double cx = 0, cy = 0;
      for (std::size_t i = 0; i + 1 < p.size(); ++i) {
        cx += p[i][0] / static_cast<double>(p.size() - 1);
        cy += p[i][1] / static_cast<double>(p.size() - 1);
      }
      if (std::fabs(std::hypot(p[0][0] - cx, p[0][1] - cy) - r) > 1e-6)
        continue; // the outline
      ++circles;
      EXPECT_EQ(p.size() - 1, chords);
      for (std::size_t i = 1; i < p.size(); ++i) {
        EXPECT_NEAR(std::hypot(p[i][0] - cx, p[i][1] - cy), r, 1e-6);
        const double mx = (p[i][0] + p[i - 1][0]) / 2, my = (p[i][1] + p[i - 1][1]) / 2;
        EXPECT_LE(r - std::hypot(mx - cx, my - cy), tolerance + 1e-9);
      }
    }
    EXPECT_EQ(circles, 4);
  }
}

bool same_lines(const ViewLines &a, const ViewLines &b) {
  return a.method == b.method &&
         std::equal(a.lines.begin(), a.lines.end(), b.lines.begin(), b.lines.end(),
                    [](const ViewLine &x, const ViewLine &y) {
                      return x.kind == y.kind && x.visible == y.visible && x.points == y.points;
                    });
}

// Views asked together (the sampled ones side by side on threads, sharing
// the bodies' edges and face boundaries per tolerance) give, bit for bit,
// the lines of each view asked alone, in the order asked, with the kernel's
// methods and failures kept in their places.
TEST(SampledLines, ViewsTogetherAreEachViewAlone) {
  for (int round = 0; round < 3; ++round) {
    // New bodies each round, so that their face data is made afresh.
    const std::vector<Shape> bodies = {must(make_hole_plate(6, 10, 3, 20)), boss_hole_block()};
    const std::vector<ViewRequest> views = {
        {kTop, 0.01, HiddenLineMethod::Sampled}, {kFront, 0.01, HiddenLineMethod::Sampled},
        {kIso, 0.01, HiddenLineMethod::Sampled}, {kTop, 0.01, HiddenLineMethod::Exact},
        {kIso, 0.05, HiddenLineMethod::Sampled}, {kFront, 0, HiddenLineMethod::Sampled}};
    const std::vector<Result<ViewLines>> together = view_lines(bodies, views);
    ASSERT_EQ(together.size(), views.size());
    for (std::size_t i = 0; i < views.size(); ++i) {
      SCOPED_TRACE("round " + std::to_string(round) + ", view " + std::to_string(i));
      const Result<ViewLines> alone =
          view_lines(bodies, views[i].axes, views[i].tolerance, views[i].method);
      ASSERT_EQ(together[i].ok(), alone.ok());
      if (alone.ok())
        EXPECT_TRUE(same_lines(*together[i], *alone));
      else
        EXPECT_EQ(together[i].error(), alone.error());
    }
    EXPECT_FALSE(together.back().ok()); // a tolerance of 0 is refused, as alone
  }
}

} // namespace
} // namespace sim::geo
