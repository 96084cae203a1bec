// view_dims_test.cpp: the ordinate dimensions of the top, front and side
// views on real bodies: values, attached objects and vertices, margins,
// construction geometry, preferences and display switching.
#include "svg_texts.h"
#include "dims/dims.h"

#include "dims_fixture.h"
#include "render/svg.h"

#include <algorithm>
#include <functional>
#include <map>
#include <tuple>

namespace dims_test {
namespace {

constexpr int H = UF_DRF_MARGIN_HORIZONTAL;
constexpr int V = UF_DRF_MARGIN_VERTICAL;
constexpr int kBelow = UF_DRAW_PROJ_BELOW;
constexpr int kRight = UF_DRAW_PROJ_RIGHT;

class ViewDims : public DimsTest {};

TEST_F(ViewDims, Workpieces) {
  // Every case makes the top view's dimensions, and the front view's or
  // (on a sheet of its own) the side view's when expected; each view has its
  // margins (the top view's lower and left back edges, the projected view's
  // one), the construction geometry is counted, and the preferences and the
  // drawing shown are as they were.
  struct Case {
    const char *name;
    std::function<void()> make;
    Vec3 origin;
    std::vector<Expect> top, front = {}, side = {};
    std::size_t lines = 0, points = 0; // construction geometry made
    std::function<void(const Sheet &)> more = nullptr;
    Vec3 x = {1, 0, 0}, y = {0, 1, 0};
    int code = 101;
    std::size_t side_lines = 0; // more construction lines with the side view
  };
  const auto block_100 = [&] { block({100, 60, 30}); };
  const Vec3 Y{0, 1, 0};
  // The block with the origin on its top face centre: the lower and upper
  // sides anchored at their X = -50 ends, left and right at their Y = -30
  // ends; in the front view the Zmax side coincides with the origin.
  const std::vector<Expect> centred = {
      {V, "0", 'p', {0, 0, 0}}, {V, "-30", 'e', {-50, -30, kAny}}, {V, "30", 'e', {-50, 30, kAny}},
      {H, "0", 'p', {0, 0, 0}}, {H, "-50", 'e', {-50, -30, kAny}}, {H, "50", 'e', {50, -30, kAny}}};
  const std::vector<Expect> corner = {
      {V, "0", 'p'}, {V, "60", 'e', {0, 60, kAny}}, {H, "0", 'p'}, {H, "100", 'e', {100, 0, kAny}}};
  const std::vector<Expect> bottom = {{V, "0", 'p'}, {V, "-30", 'e'}, {V, "30", 'e'},
                                      {H, "0", 'p'}, {H, "-50", 'e'}, {H, "50", 'e'}};
  const std::vector<Expect> centred_front = {{V, "0", 'p'}, {V, "-30", 'e', {-50, kAny, -30}}};
  const double half = 100 * std::sqrt(0.5);
  const std::string h = ordinate_text_of(half);
  const double r = 20 * std::sqrt(2.0);
  const std::string rt = ordinate_text_of(r), dt = ordinate_text_of(2 * r);
  Frame on_edge;
  on_edge.axes.row = {Vec3{1, 0, 0}, Vec3{0, std::sqrt(0.5), std::sqrt(0.5)},
                      Vec3{0, -std::sqrt(0.5), std::sqrt(0.5)}};
  std::map<tag_t, int> modifiers_101; // edge -> modifier in the first case
  int flipped = 0;
  const auto same_edges_flipped = [&](bool record) {
    return [&, record](const Sheet &s) {
      for (const Dim &d : dims_in(s.top))
        if (d.kind == 'e' && record) {
          modifiers_101[d.object] = d.modifier;
        } else if (d.kind == 'e' && modifiers_101.count(d.object) != 0) {
          // the same edge seen from the other side: the other vertex
          EXPECT_NE(modifiers_101[d.object], d.modifier);
          ++flipped;
        }
    };
  };
  // clang-format off
  const Case cases[] = {
      {"block, origin on the top face centre", block_100, {50, 30, 30}, centred, centred_front,
       {{H, "0", 'p'}, {H, "-30", 'e', {kAny, -30, -30}}}, 0, 0,
       [&](const Sheet &s) {
         same_edges_flipped(true)(s);
         // the margins 5 mm outside the lower left corner; origin, margins,
         // dimensions in that order
         const auto margins = margins_in(s.top);
         double lower_left[2] = {0, 0};
         ASSERT_EQ(UF_VIEW_map_model_to_drawing(s.top, s.view_min, lower_left), 0);
         EXPECT_NEAR(margins[0]->line, lower_left[1] - 5.0, 1e-9);
         EXPECT_NEAR(margins[1]->line, lower_left[0] - 5.0, 1e-9);
         const auto dims = dims_in(s.top);
         EXPECT_LT(margins[1]->origin, dims.front().tag);
         EXPECT_TRUE(std::is_sorted(dims.begin(), dims.end(),
                                    [](const Dim &a, const Dim &b) { return a.tag < b.tag; }));
         // the page shows the values, those of the horizontal margin turned
         const std::string svg = sim::render::drawing_svg(session(), s.drawing);
         const std::vector<std::string> texts = sim::testing::svg_texts(svg);
         for (const char *value : {"0", "-30", "30", "-50", "50"})
           EXPECT_NE(std::find(texts.begin(), texts.end(), value), texts.end()) << value;
         EXPECT_NE(svg.find("rotate(-90"), std::string::npos);
         // the dimensions keep the preferences they were made with; the
         // part's own are put back afterwards
         const auto *dim = sim::drf::find_ordinate_dimension(session(), dims[0].tag);
         ASSERT_NE(dim, nullptr);
         EXPECT_EQ(std::vector<int>({dim->int_prefs[3], dim->int_prefs[7], dim->int_prefs[9],
                                     dim->int_prefs[16], dim->int_prefs[90]}),
                   std::vector<int>({2, 1, 3, 1, 1}));
         const auto &real = dim->real_prefs;
         EXPECT_EQ(std::vector<double>({real[32], real[33], real[34]}),
                   std::vector<double>({2.8, 0.75, 0.2}));
         EXPECT_EQ(dim->user_text, "a");
         EXPECT_EQ(dim->appended_text, std::vector<std::string>{"b"});
         const auto &now = session().component<sim::drf::Drafting>();
         EXPECT_EQ(now.int_prefs[9], 1);
         EXPECT_EQ(now.real_prefs[32], 3.5);
       }},
      // The side view measures Z: the Zmin side anchored at its Y = -30 end.
      {"block, origin at the lower left top corner", block_100, {0, 0, 30}, corner,
       {{V, "0", 'p'}, {V, "-30", 'e', {0, kAny, -30}}},
       {{H, "0", 'p'}, {H, "-30", 'e', {kAny, 0, -30}}}},
      {"block, origin on the bottom face centre", block_100, {50, 30, 0}, bottom,
       {{V, "0", 'p'}, {V, "30", 'e', {-50, kAny, 30}}},
       {{H, "0", 'p'}, {H, "30", 'e', {kAny, -30, 30}}}},
      // Turned machining coordinate systems, the same extents along the
      // MCS axes: the same values, on the block's own edges, anchored at
      // their ends toward the MCS minima.
      {"code 102", [&] { block({60, 100, 30}); }, {30, 50, 30}, centred, centred_front, {}, 0, 0,
       nullptr, Y, {-1, 0, 0}, 102},
      {"code 103", block_100, {50, 30, 30}, centred, centred_front, {}, 0, 0,
       same_edges_flipped(false), {-1, 0, 0}, {0, -1, 0}, 103},
      {"code 501", [&] { block({30, 60, 100}); }, {30, 30, 50}, centred, centred_front, {}, 0, 0,
       nullptr, {0, 0, -1}, Y, 501},
      // A square prism turned 45 degrees: each side's dimension on an edge
      // that only touches it, at its vertex on that side; both margins on
      // construction lines 0.3 long from the box corner.
      {"rhombus prism", [&] { body(make_block({100, 100, 30})->placed(turned(45, {}))); },
       {0, half, 30},
       {{V, "0", 'p'}, {V, "-" + h, 'e', {0, -half, kAny}}, {V, h, 'e', {0, half, kAny}},
        {H, "0", 'p'}, {H, "-" + h, 'e', {-half, 0, kAny}}, {H, h, 'e', {half, 0, kAny}}},
       {}, {}, 2, 0,
       [&](const Sheet &s) {
         const auto lines = made_after(s.projected);
         const auto margins = margins_in(s.top);
         ASSERT_EQ(lines.size(), 2u);
         EXPECT_EQ(margins[0]->at.object, lines[0]);
         EXPECT_EQ(margins[1]->at.object, lines[1]);
         UF_CURVE_line_t x_line{}, y_line{};
         ASSERT_EQ(UF_CURVE_ask_line_data(lines[0], &x_line), 0);
         ASSERT_EQ(UF_CURVE_ask_line_data(lines[1], &y_line), 0);
         for (int k = 0; k < 3; ++k) {
           EXPECT_NEAR(x_line.start_point[k], s.view_min[k], 1e-9);
           EXPECT_NEAR(y_line.start_point[k], s.view_min[k], 1e-9);
           EXPECT_NEAR(x_line.end_point[k], s.view_min[k] + (k == 0 ? 0.3 : 0), 1e-9);
           EXPECT_NEAR(y_line.end_point[k], s.view_min[k] + (k == 1 ? 0.3 : 0), 1e-9);
         }
       }},
      // A square prism lying along X on one of its edges: the side
      // view's Zmin side is touched only by the end faces' slanting edges,
      // anchored at their lower ends.
      {"square prism on an edge", [&] { body(make_block({100, 40, 40})->placed(on_edge)); },
       {50, 0, 2 * r},
       {{V, "0", 'p'}, {V, "-" + rt, 'e', {-50, -r, kAny}}, {V, rt, 'e', {-50, r, kAny}},
        {H, "0", 'p'}, {H, "-50", 'e', {-50, -r, kAny}}, {H, "50", 'e', {50, -r, kAny}}},
       {{V, "0", 'p'}, {V, "-" + dt, 'e', {-50, 0, -2 * r}}},
       {{H, "0", 'p'}, {H, "-" + dt, 'e', {kAny, 0, -2 * r}}}, 0, 0, nullptr, {1, 0, 0}, Y, 101, 1},
      // A cylinder: construction geometry only (two top margins, one front).
      {"cylinder", [&] { body(make_cylinder(20, 30)); }, {0, 0, 30},
       {{V, "0", 'p'}, {V, "-20", 'p', {0, -20, -30}}, {V, "20", 'p', {0, 20, -30}},
        {H, "0", 'p'}, {H, "-20", 'p', {-20, 0, -30}}, {H, "20", 'p', {20, 0, -30}}},
       {{V, "0", 'p'}, {V, "-30", 'p', {0, -20, -30}}}, {}, 3, 5,
       [&](const Sheet &s) {
         UF_CURVE_line_t line{};
         ASSERT_EQ(UF_CURVE_ask_line_data(margins_in(s.projected)[0]->at.object, &line), 0);
         EXPECT_NEAR(line.end_point[2] - line.start_point[2], 0.3, 1e-12) << "along +Z";
       }},
      // Rounded vertical corners: the longest straight segments.
      {"rounded vertical corners", [&] { body(fillet_vertical(*make_block({100, 60, 30}), 5)); },
       {50, 30, 30},
       {{V, "0", 'p'}, {V, "-30", 'e', {-45, -30, kAny}}, {V, "30", 'e', {-45, 30, kAny}},
        {H, "0", 'p'}, {H, "-50", 'e', {-50, -25, kAny}}, {H, "50", 'e', {50, -25, kAny}}}},
      // Split sides.  Two bodies side by side: the lower side on the first
      // body's edge (the first of two equally long ones) at its left end.
      {"two bodies side by side",
       [&] {
         block({50, 60, 30});
         block({50, 60, 30}, {50, 0, 0});
       },
       {50, 30, 30},
       {{V, "0", 'p'}, {V, "-30", 'e', {-50, -30, kAny}}, {V, "30", 'e', {kAny, 30, kAny}},
        {H, "0", 'p'}, {H, "-50", 'e', {-50, -30, kAny}}, {H, "50", 'e', {50, -30, kAny}}}},
      // A notch in the lower side: the longer half (X 50..100) at its left end.
      {"a notch in the lower side",
       [&] {
         body(boolean(BooleanOp::Cut, *make_block({100, 60, 30}),
                      make_block({20, 10, 40})->placed(Frame{{30, -1, -5}, {}})));
       },
       {50, 30, 30},
       {{V, "0", 'p'}, {V, "-30", 'e', {0, -30, kAny}}, {V, "30", 'e', {-50, 30, kAny}},
        {H, "0", 'p'}, {H, "-50", 'e', {-50, -30, kAny}}, {H, "50", 'e', {50, -30, kAny}}}},
      // A square turned by 45 degrees, centred on the corner, cuts the
      // chamfer from (10, 0) to (0, 10).
      {"a chamfered corner",
       [&] {
         const double a = 10 * std::sqrt(2.0);
         body(boolean(BooleanOp::Cut, *make_block({100, 60, 30}),
                      make_block({a, a, 40})->placed(turned(45, {0, -10, -5}))));
       },
       {50, 30, 30},
       {{V, "0", 'p'}, {V, "-30", 'e', {-40, -30, kAny}}, {V, "30", 'e', {-50, 30, kAny}},
        {H, "0", 'p'}, {H, "-50", 'e', {-50, -20, kAny}}, {H, "50", 'e', {50, -30, kAny}}}},
  };
  // clang-format on
  for (const Case &c : cases)
    for (int dir : {kBelow, kRight}) {
      const std::vector<Expect> &projected = dir == kBelow ? c.front : c.side;
      if (dir == kRight && projected.empty())
        continue;
      SCOPED_TRACE(std::string(c.name) + (dir == kBelow ? "" : ", side view"));
      renew();
      c.make();
      const Sheet s = make_sheet(c.origin, c.x, c.y, dir);
      ASSERT_EQ(s.code, c.code);
      const auto before = prefs();
      ASSERT_EQ(top_dims(s), 1);
      expect_dims(s.top, c.top);
      auto margins = margins_in(s.top);
      ASSERT_EQ(margins.size(), 2u);
      EXPECT_EQ(margins[0]->type, H);
      EXPECT_EQ(margins[1]->type, V);
      if (!projected.empty()) {
        ASSERT_EQ(dir == kBelow ? front_dims(s) : side_dims(s), 1);
        expect_dims(s.projected, projected);
        margins = margins_in(s.projected);
        ASSERT_EQ(margins.size(), 1u);
        EXPECT_EQ(margins[0]->type, dir == kBelow ? V : H);
      }
      EXPECT_EQ(made_after(s.projected).size(), c.lines + (dir == kRight ? c.side_lines : 0));
      EXPECT_EQ(made_after<PointPayload>(s.projected).size(), c.points);
      EXPECT_EQ(prefs(), before);
      EXPECT_EQ(display_state(), UF_DRAW_DRAWING_DISPLAY);
      EXPECT_EQ(current_drawing(), s.drawing);
      if (c.more && dir == kBelow) {
        c.more(s);
      }
    }
  EXPECT_GT(flipped, 0);
}

TEST_F(ViewDims, DomedTopGetsAConstructionPointOnTheZmaxFace) {
  body(make_domed_block({100, 60, 30}, 5));
  const Sheet s = make_sheet({50, 30, 0}, {1, 0, 0}, {0, 1, 0});
  ASSERT_EQ(front_dims(s), 1);
  expect_dims(s.projected,
              {{V, "0", 'p'}, {V, ordinate_text_of(s.view_max[2]), 'p', {0, 0, s.view_max[2]}}});
}

TEST_F(ViewDims, RoundingOnTheSheet) {
  // Lower side at drawing y 10.004 against the origin at 9.996: both 10.00,
  // the side is skipped; 10.006 (10.01) against 10.004 (10.00) is not.
  const std::tuple<double, double, bool> cases[] = {{10.004, 9.996, true}, {10.006, 10.004, false}};
  for (const auto &[lower_y, origin_y, skipped] : cases) {
    SCOPED_TRACE(lower_y);
    renew();
    block({100, 60, 30});
    Sheet s = make_sheet({50, 30, 30}, {1, 0, 0}, {0, 1, 0});
    // Move the top view so that the lower side lies at lower_y, and put
    // the origin point below or above the side by the difference.
    double ref[2] = {200, lower_y + 30};
    ASSERT_EQ(UF_DRAW_set_drawing_ref_pt(s.drawing, s.top, ref), 0);
    ASSERT_EQ(UF_DRAW_set_display_state(UF_DRAW_MODEL_DISPLAY), 0);
    double at[3] = {50, origin_y - lower_y, 30};
    ASSERT_EQ(UF_CURVE_create_point(at, &s.mcs_point), 0);
    ASSERT_EQ(UF_DRAW_open_drawing(s.drawing), 0);
    ASSERT_EQ(top_dims(s), 1);
    const auto dims = dims_in(s.top);
    EXPECT_EQ(dims.size(), skipped ? 5u : 6u);
    EXPECT_EQ(dims[1].text, skipped ? "60.008" : "0.002");
  }
  // At a tiny scale both ends of every side edge round to the same drawing
  // value: the dimension goes to the second vertex.  The origin point lies
  // far to the lower left, so that no side coincides with it.
  renew();
  block({100, 60, 30});
  Sheet s = make_sheet({50, 30, 30}, {1, 0, 0}, {0, 1, 0}, UF_DRAW_PROJ_BELOW, 0.00004);
  ASSERT_EQ(UF_DRAW_set_display_state(UF_DRAW_MODEL_DISPLAY), 0);
  double far[3] = {-1000, -1000, 30};
  ASSERT_EQ(UF_CURVE_create_point(far, &s.mcs_point), 0);
  ASSERT_EQ(top_dims(s), 1);
  const auto dims = dims_in(s.top);
  ASSERT_EQ(dims.size(), 6u);
  for (std::size_t i : {1u, 2u, 4u, 5u}) {
    EXPECT_EQ(dims[i].kind, 'e');
    EXPECT_EQ(dims[i].modifier, UF_DRF_SECOND_END) << i;
  }
}

TEST_F(ViewDims, NullViewsOrNoBodiesMakeNothingAndFailedPreferenceAsksChangeNothing) {
  block({100, 60, 30});
  const Sheet s = make_sheet({50, 30, 30}, {1, 0, 0}, {0, 1, 0});
  const auto calls = session().calls().total();
  for (Dims dims : {create_top_view_dims, create_front_view_dims, create_side_view_dims})
    EXPECT_EQ(dims(NULL_TAG, s.mcs_point, s.view_min, s.view_max, s.solids.data(), 1), 0);
  EXPECT_EQ(shown(),
            (std::vector<std::string>{"t_view_tag is null,  err!", "f_view_tag is null,err!",
                                      "s_view_tag is null,err!"}));
  EXPECT_EQ(session().calls().total() - calls, 3u) << "the three message boxes only";
  // No bodies: the edge analysis fails; the preferences are put back.
  const auto before = prefs();
  EXPECT_EQ(create_top_view_dims(s.top, s.mcs_point, s.view_min, s.view_max, nullptr, 0), 0);
  EXPECT_TRUE(dims_in(s.top).empty());
  EXPECT_TRUE(margins_in(s.top).empty());
  EXPECT_EQ(prefs(), before);
  EXPECT_EQ(count(sim::Call::UF_DRF_set_preferences), 2u);
  // A preference ask that fails: nothing is changed or reported, and the
  // dimensions are still made.
  for (std::uint32_t nth : {1u, 2u}) {
    SCOPED_TRACE(nth);
    renew();
    block({100, 60, 30});
    const Sheet again = make_sheet({50, 30, 30}, {1, 0, 0}, {0, 1, 0});
    const auto kept = prefs();
    fail("UF_DRF_ask_preferences", nth);
    ASSERT_EQ(top_dims(again), 1);
    EXPECT_EQ(count(sim::Call::UF_DRF_set_preferences), 0u);
    EXPECT_EQ(prefs(), kept);
    EXPECT_EQ(dims_in(again.top).size(), 6u);
    EXPECT_TRUE(transcript().listing().empty());
  }
}

TEST_F(ViewDims, DisplaySwitchingInBothStates) {
  for (bool shown : {true, false}) {
    SCOPED_TRACE(shown ? "drawing shown" : "model shown");
    renew();
    body(make_cylinder(20, 30)); // construction lines and points everywhere
    const Sheet s = make_sheet({0, 0, 30}, {1, 0, 0}, {0, 1, 0});
    if (!shown) {
      ASSERT_EQ(UF_DRAW_set_display_state(UF_DRAW_MODEL_DISPLAY), 0);
    }
    const auto sets = count(sim::Call::UF_DRAW_set_display_state);
    const auto opens = count(sim::Call::UF_DRAW_open_drawing);
    ASSERT_EQ(top_dims(s), 1);
    // Around the WCS box, the scan, the margins and each of four sides.
    const unsigned brackets = shown ? 7u : 0u;
    EXPECT_EQ(count(sim::Call::UF_DRAW_set_display_state) - sets, brackets);
    EXPECT_EQ(count(sim::Call::UF_DRAW_open_drawing) - opens, brackets);
    EXPECT_EQ(display_state(), shown ? UF_DRAW_DRAWING_DISPLAY : UF_DRAW_MODEL_DISPLAY);
    // The construction geometry is model geometry either way.
    EXPECT_EQ(made_after(s.projected).size(), 2u);
    EXPECT_EQ(made_after<PointPayload>(s.projected).size(), 4u);
    EXPECT_EQ(dims_in(s.top).size(), 6u);
  }
}

TEST_F(ViewDims, FaultLoops) {
  // Every host call of each view's dimensions failed in turn: no crash,
  // nothing leaked, the preferences and the drawing as they were (unless
  // the call that failed is the one putting them back).
  const std::tuple<const char *, int, Dims, bool> cases[] = {
      {"top, block", kBelow, create_top_view_dims, false},
      {"top, cylinder", kBelow, create_top_view_dims, true},
      {"front", kBelow, create_front_view_dims, false},
      {"side", kRight, create_side_view_dims, false}};
  for (const auto &[name, dir, dims, cylinder] : cases) {
    SCOPED_TRACE(name);
    Sheet s;
    std::pair<std::vector<int>, std::vector<double>> before;
    const std::uint64_t n = fault_loop_after(
        [&] {
          use_lang();
          cylinder ? body(make_cylinder(20, 30)) : block({100, 60, 30});
          s = make_sheet({50, 30, 30}, {1, 0, 0}, {0, 1, 0}, dir);
          before = prefs();
        },
        [&] { (void)run_dims(dims, dims == create_top_view_dims ? s.top : s.projected, s); },
        [&](std::uint64_t k) {
          if (injected() != "UF_DRF_set_preferences") {
            EXPECT_EQ(prefs(), before) << k;
          }
          expect_recovered(k, s.drawing);
        });
    EXPECT_GT(n, 20u);
  }
}

} // namespace
} // namespace dims_test
