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

namespace dims_test {
namespace {

constexpr int H = UF_DRF_MARGIN_HORIZONTAL;
constexpr int V = UF_DRF_MARGIN_VERTICAL;

class ViewDims : public DimsTest {};

TEST_F(ViewDims, BlockWithTheOriginOnTheTopFaceCentre) {
  block({100, 60, 30});
  const Sheet s = make_sheet({50, 30, 30}, {1, 0, 0}, {0, 1, 0});
  ASSERT_EQ(s.code, 101);
  const auto before = prefs();
  const tag_t last_before = s.projected;
  ASSERT_EQ(top_dims(s), 1);
  ASSERT_EQ(front_dims(s), 1);
  // Lower and upper sides anchored at their X = -50 ends, left and right
  // at their Y = -30 ends.
  expect_dims(s.top, {{V, "0", 'p', {0, 0, 0}},
                      {V, "-30", 'e', {-50, -30, kAny}},
                      {V, "30", 'e', {-50, 30, kAny}},
                      {H, "0", 'p', {0, 0, 0}},
                      {H, "-50", 'e', {-50, -30, kAny}},
                      {H, "50", 'e', {50, -30, kAny}}});
  // The Zmax side coincides with the origin on the sheet.
  expect_dims(s.projected, {{V, "0", 'p'}, {V, "-30", 'e', {-50, kAny, -30}}});
  EXPECT_TRUE(model_objects(false, last_before).empty()) << "no construction line";
  EXPECT_TRUE(model_objects(true, last_before).empty()) << "no construction point";
  EXPECT_EQ(prefs(), before);
  EXPECT_EQ(display_state(), UF_DRAW_DRAWING_DISPLAY);
  EXPECT_EQ(current_drawing(), s.drawing);

  // Margins: the top view's lower back edge and left back edge, 5 mm
  // outside; origin, margins, dimensions in that order.
  const auto margins = margins_in(s.top);
  ASSERT_EQ(margins.size(), 2u);
  double lower_left[2] = {0, 0};
  ASSERT_EQ(UF_VIEW_map_model_to_drawing(s.top, s.view_min, lower_left), 0);
  EXPECT_EQ(margins[0]->type, H);
  EXPECT_NEAR(margins[0]->line, lower_left[1] - 5.0, 1e-9);
  EXPECT_EQ(margins[1]->type, V);
  EXPECT_NEAR(margins[1]->line, lower_left[0] - 5.0, 1e-9);
  const auto dims = dims_in(s.top);
  EXPECT_LT(margins[1]->origin, dims.front().tag);
  EXPECT_TRUE(std::is_sorted(dims.begin(), dims.end(),
                             [](const Dim &a, const Dim &b) { return a.tag < b.tag; }));
}

TEST_F(ViewDims, ThePageShowsTheValues) {
  block({100, 60, 30});
  const Sheet s = make_sheet({50, 30, 30}, {1, 0, 0}, {0, 1, 0});
  ASSERT_EQ(top_dims(s), 1);
  const std::string svg = sim::render::drawing_svg(session(), s.drawing);
  const std::vector<std::string> texts = sim::testing::svg_texts(svg);
  for (const char *value : {"0", "-30", "30", "-50", "50"})
    EXPECT_NE(std::find(texts.begin(), texts.end(), value), texts.end()) << value;
  EXPECT_NE(svg.find("rotate(-90"), std::string::npos) << "values below the horizontal margin";
}

TEST_F(ViewDims, SideViewMeasuresZ) {
  block({100, 60, 30});
  const Sheet s = make_sheet({50, 30, 30}, {1, 0, 0}, {0, 1, 0}, UF_DRAW_PROJ_RIGHT);
  ASSERT_EQ(side_dims(s), 1);
  // The Zmin side is the right side of the outline; its edge anchored at
  // its lower (Y = -30) end.
  expect_dims(s.projected, {{H, "0", 'p'}, {H, "-30", 'e', {kAny, -30, -30}}});
  const auto margins = margins_in(s.projected);
  ASSERT_EQ(margins.size(), 1u);
  EXPECT_EQ(margins[0]->type, H) << "the side view's only margin is horizontal";
  const auto dims = dims_in(s.projected);
  double zmin_side[2] = {0, 0};
  ASSERT_EQ(UF_VIEW_map_model_to_drawing(s.projected, s.view_min, zmin_side), 0);
  double zmax_side[2] = {0, 0};
  ASSERT_EQ(UF_VIEW_map_model_to_drawing(s.projected, s.view_max, zmax_side), 0);
  EXPECT_GT(zmin_side[0], zmax_side[0]) << "+Z points left on the sheet";
}

TEST_F(ViewDims, OriginAtACornerOrOnTheBottom) {
  struct Case {
    const char *name;
    Vec3 origin;
    std::vector<Expect> top, front, side;
  };
  const std::vector<Case> cases = {
      {"lower-left top corner",
       {0, 0, 30},
       {{V, "0", 'p'},
        {V, "60", 'e', {0, 60, kAny}},
        {H, "0", 'p'},
        {H, "100", 'e', {100, 0, kAny}}},
       {{V, "0", 'p'}, {V, "-30", 'e', {0, kAny, -30}}},
       {{H, "0", 'p'}, {H, "-30", 'e', {kAny, 0, -30}}}},
      {"bottom face centre",
       {50, 30, 0},
       {{V, "0", 'p'},
        {V, "-30", 'e'},
        {V, "30", 'e'},
        {H, "0", 'p'},
        {H, "-50", 'e'},
        {H, "50", 'e'}},
       {{V, "0", 'p'}, {V, "30", 'e', {-50, kAny, 30}}},
       {{H, "0", 'p'}, {H, "30", 'e', {kAny, -30, 30}}}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    for (int dir : {UF_DRAW_PROJ_BELOW, UF_DRAW_PROJ_RIGHT}) {
      new_session();
      use_lang();
      block({100, 60, 30});
      const Sheet s = make_sheet(c.origin, {1, 0, 0}, {0, 1, 0}, dir);
      ASSERT_EQ(top_dims(s), 1);
      ASSERT_EQ(dir == UF_DRAW_PROJ_BELOW ? front_dims(s) : side_dims(s), 1);
      expect_dims(s.top, c.top);
      expect_dims(s.projected, dir == UF_DRAW_PROJ_BELOW ? c.front : c.side);
    }
  }
}

TEST_F(ViewDims, TurnedMachiningCoordinateSystems) {
  // The same workpiece extents along the MCS axes in every case: the same
  // values; the edges are the block's own, anchored at their ends toward
  // the MCS minima.
  struct Case {
    int code;
    Vec3 size, origin, x, y;
  };
  const Case cases[] = {
      {101, {100, 60, 30}, {50, 30, 30}, {1, 0, 0}, {0, 1, 0}},
      {102, {60, 100, 30}, {30, 50, 30}, {0, 1, 0}, {-1, 0, 0}},
      {103, {100, 60, 30}, {50, 30, 30}, {-1, 0, 0}, {0, -1, 0}},
      {501, {30, 60, 100}, {30, 30, 50}, {0, 0, -1}, {0, 1, 0}},
  };
  std::map<tag_t, int> modifiers_101; // edge -> modifier in the first case
  int flipped = 0;
  for (const Case &c : cases) {
    SCOPED_TRACE(c.code);
    new_session();
    use_lang();
    block(c.size);
    const Sheet s = make_sheet(c.origin, c.x, c.y);
    ASSERT_EQ(s.code, c.code);
    ASSERT_EQ(top_dims(s), 1);
    ASSERT_EQ(front_dims(s), 1);
    expect_dims(s.top, {{V, "0", 'p'},
                        {V, "-30", 'e', {-50, -30, kAny}},
                        {V, "30", 'e', {-50, 30, kAny}},
                        {H, "0", 'p'},
                        {H, "-50", 'e', {-50, -30, kAny}},
                        {H, "50", 'e', {50, -30, kAny}}});
    expect_dims(s.projected, {{V, "0", 'p'}, {V, "-30", 'e', {-50, kAny, -30}}});
    for (const Dim &d : dims_in(s.top)) {
      if (d.kind != 'e') {
        continue;
      }
      if (c.code == 101) {
        modifiers_101[d.object] = d.modifier;
      } else if (c.code == 103 && modifiers_101.count(d.object) != 0) {
        // the same edge seen from the other side: the other vertex
        EXPECT_NE(modifiers_101[d.object], d.modifier);
        ++flipped;
      }
    }
  }
  EXPECT_GT(flipped, 0);
}

TEST_F(ViewDims, RhombusPrismUsesTouchingEdgesAndConstructionLines) {
  body(make_block({100, 100, 30})->placed(turned(45, {})));
  const double half = 100 * std::sqrt(0.5);
  const Sheet s = make_sheet({0, half, 30}, {1, 0, 0}, {0, 1, 0});
  const tag_t last_before = s.projected;
  ASSERT_EQ(top_dims(s), 1);
  const std::string h = ordinate_text_of(half);
  // Each side's dimension on an edge that only touches it, anchored at its
  // vertex on that side.
  expect_dims(s.top, {{V, "0", 'p'},
                      {V, ("-" + h).c_str(), 'e', {0, -half, kAny}},
                      {V, h.c_str(), 'e', {0, half, kAny}},
                      {H, "0", 'p'},
                      {H, ("-" + h).c_str(), 'e', {-half, 0, kAny}},
                      {H, h.c_str(), 'e', {half, 0, kAny}}});
  // Both margins on construction lines 0.3 long from the box corner.
  const auto lines = model_objects(false, last_before);
  ASSERT_EQ(lines.size(), 2u);
  const auto margins = margins_in(s.top);
  ASSERT_EQ(margins.size(), 2u);
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
  EXPECT_TRUE(model_objects(true, last_before).empty());
}

TEST_F(ViewDims, CylinderGetsConstructionGeometryOnly) {
  body(make_cylinder(20, 30));
  const Sheet s = make_sheet({0, 0, 30}, {1, 0, 0}, {0, 1, 0});
  const tag_t last_before = s.projected;
  ASSERT_EQ(top_dims(s), 1);
  ASSERT_EQ(front_dims(s), 1);
  expect_dims(s.top, {{V, "0", 'p'},
                      {V, "-20", 'p', {0, -20, -30}},
                      {V, "20", 'p', {0, 20, -30}},
                      {H, "0", 'p'},
                      {H, "-20", 'p', {-20, 0, -30}},
                      {H, "20", 'p', {20, 0, -30}}});
  expect_dims(s.projected, {{V, "0", 'p'}, {V, "-30", 'p', {0, -20, -30}}});
  EXPECT_EQ(model_objects(false, last_before).size(), 3u) << "two top margins, one front";
  EXPECT_EQ(model_objects(true, last_before).size(), 5u);
  const auto margins = margins_in(s.projected);
  ASSERT_EQ(margins.size(), 1u);
  UF_CURVE_line_t line{};
  ASSERT_EQ(UF_CURVE_ask_line_data(margins[0]->at.object, &line), 0);
  EXPECT_NEAR(line.end_point[2] - line.start_point[2], 0.3, 1e-12) << "along +Z";
}

TEST_F(ViewDims, RoundedVerticalCornersUseTheLongestSegments) {
  body(fillet_vertical(*make_block({100, 60, 30}), 5));
  const Sheet s = make_sheet({50, 30, 30}, {1, 0, 0}, {0, 1, 0});
  ASSERT_EQ(top_dims(s), 1);
  const auto margins = margins_in(s.top);
  ASSERT_EQ(margins.size(), 2u);
  const EdgeInfo lower = edge_info(margins[0]->at.object);
  const EdgeInfo left = edge_info(margins[1]->at.object);
  EXPECT_NEAR(std::fabs(lower.v1.x - lower.v2.x), 90, 1e-9);
  EXPECT_NEAR(lower.v1.y, 0, 1e-9);
  EXPECT_NEAR(std::fabs(left.v1.y - left.v2.y), 50, 1e-9);
  EXPECT_NEAR(left.v1.x, 0, 1e-9);
  expect_dims(s.top, {{V, "0", 'p'},
                      {V, "-30", 'e', {-45, -30, kAny}},
                      {V, "30", 'e', {-45, 30, kAny}},
                      {H, "0", 'p'},
                      {H, "-50", 'e', {-50, -25, kAny}},
                      {H, "50", 'e', {50, -25, kAny}}});
}

TEST_F(ViewDims, SplitSides) {
  struct Case {
    const char *name;
    std::function<void()> make;
    std::vector<Expect> top;
  };
  const std::vector<Case> cases = {
      {"two bodies side by side",
       [&] {
         block({50, 60, 30});
         block({50, 60, 30}, {50, 0, 0});
       },
       // the lower side on the first body's edge (the first of two equally
       // long ones), anchored at its left end
       {{V, "0", 'p'},
        {V, "-30", 'e', {-50, -30, kAny}},
        {V, "30", 'e', {kAny, 30, kAny}},
        {H, "0", 'p'},
        {H, "-50", 'e', {-50, -30, kAny}},
        {H, "50", 'e', {50, -30, kAny}}}},
      {"a notch in the lower side",
       [&] {
         Frame f;
         f.origin = {30, -1, -5};
         body(boolean(BooleanOp::Cut, *make_block({100, 60, 30}),
                      make_block({20, 10, 40})->placed(f)));
       },
       // the longer half (X 50..100) anchored at its left end
       {{V, "0", 'p'},
        {V, "-30", 'e', {0, -30, kAny}},
        {V, "30", 'e', {-50, 30, kAny}},
        {H, "0", 'p'},
        {H, "-50", 'e', {-50, -30, kAny}},
        {H, "50", 'e', {50, -30, kAny}}}},
      {"a chamfered corner",
       [&] {
         // a square turned by 45 degrees, centred on the corner, cuts the
         // chamfer from (10, 0) to (0, 10)
         const double a = 10 * std::sqrt(2.0);
         body(boolean(BooleanOp::Cut, *make_block({100, 60, 30}),
                      make_block({a, a, 40})->placed(turned(45, {0, -10, -5}))));
       },
       {{V, "0", 'p'},
        {V, "-30", 'e', {-40, -30, kAny}},
        {V, "30", 'e', {-50, 30, kAny}},
        {H, "0", 'p'},
        {H, "-50", 'e', {-50, -20, kAny}},
        {H, "50", 'e', {50, -30, kAny}}}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    new_session();
    use_lang();
    c.make();
    const Sheet s = make_sheet({50, 30, 30}, {1, 0, 0}, {0, 1, 0});
    ASSERT_EQ(top_dims(s), 1);
    expect_dims(s.top, c.top);
  }
}

TEST_F(ViewDims, DomedTopGetsAConstructionPointOnTheZmaxFace) {
  body(make_domed_block({100, 60, 30}, 5));
  const Sheet s = make_sheet({50, 30, 0}, {1, 0, 0}, {0, 1, 0});
  ASSERT_EQ(front_dims(s), 1);
  const std::string zmax = ordinate_text_of(s.view_max[2]);
  expect_dims(s.projected, {{V, "0", 'p'}, {V, zmax.c_str(), 'p', {0, 0, s.view_max[2]}}});
}

TEST_F(ViewDims, CoincidenceOnTheSheetAtTwoDecimals) {
  // Lower side at drawing y 10.004 against the origin at 9.996: both 10.00,
  // the side is skipped; 10.006 (10.01) against 10.004 (10.00) is not.
  struct Case {
    double lower_y, origin_y;
    bool skipped;
  } cases[] = {{10.004, 9.996, true}, {10.006, 10.004, false}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.lower_y);
    new_session();
    use_lang();
    block({100, 60, 30});
    Sheet s = make_sheet({50, 30, 30}, {1, 0, 0}, {0, 1, 0});
    // Move the top view so that the lower side lies at lower_y, and put
    // the origin point below or above the side by the difference.
    double ref[2] = {200, c.lower_y + 30};
    ASSERT_EQ(UF_DRAW_set_drawing_ref_pt(s.drawing, s.top, ref), 0);
    ASSERT_EQ(UF_DRAW_set_display_state(UF_DRAW_MODEL_DISPLAY), 0);
    double at[3] = {50, c.origin_y - c.lower_y, 30};
    ASSERT_EQ(UF_CURVE_create_point(at, &s.mcs_point), 0);
    ASSERT_EQ(UF_DRAW_open_drawing(s.drawing), 0);
    ASSERT_EQ(top_dims(s), 1);
    const auto dims = dims_in(s.top);
    EXPECT_EQ(dims.size(), c.skipped ? 5u : 6u);
    EXPECT_EQ(dims[1].text, c.skipped ? "60.008" : "0.002");
  }
}

TEST_F(ViewDims, EndsLevelOnTheSheetGiveTheSecondVertex) {
  // At a tiny scale both ends of every side edge round to the same drawing
  // value: the dimension goes to the second vertex.  The origin point lies
  // far to the lower left, so that no side coincides with it.
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

TEST_F(ViewDims, NullViewsShowTheirMessageAndTouchNothing) {
  block({100, 60, 30});
  const Sheet s = make_sheet({50, 30, 30}, {1, 0, 0}, {0, 1, 0});
  const auto calls = session().calls().total();
  const tag_t none = NULL_TAG;
  EXPECT_EQ(create_top_view_dims(none, s.mcs_point, s.view_min, s.view_max, s.solids.data(), 1), 0);
  EXPECT_EQ(create_front_view_dims(none, s.mcs_point, s.view_min, s.view_max, s.solids.data(), 1),
            0);
  EXPECT_EQ(create_side_view_dims(none, s.mcs_point, s.view_min, s.view_max, s.solids.data(), 1),
            0);
  EXPECT_EQ(transcript().messages_shown(),
            (std::vector<std::string>{"t_view_tag is null,  err!", "f_view_tag is null,err!",
                                      "s_view_tag is null,err!"}));
  EXPECT_EQ(session().calls().total() - calls, 3u) << "the three message boxes only";
}

TEST_F(ViewDims, FailedEdgeAnalysisMakesNothingAndPutsPreferencesBack) {
  block({100, 60, 30});
  const Sheet s = make_sheet({50, 30, 30}, {1, 0, 0}, {0, 1, 0});
  const auto before = prefs();
  EXPECT_EQ(create_top_view_dims(s.top, s.mcs_point, s.view_min, s.view_max, nullptr, 0), 0);
  EXPECT_TRUE(dims_in(s.top).empty());
  EXPECT_TRUE(margins_in(s.top).empty());
  EXPECT_EQ(prefs(), before);
  EXPECT_EQ(session().calls().count(sim::Call::UF_DRF_set_preferences), 2u);
}

TEST_F(ViewDims, DimensionsKeepThePreferencesTheyWereMadeWith) {
  block({100, 60, 30});
  const Sheet s = make_sheet({50, 30, 30}, {1, 0, 0}, {0, 1, 0});
  ASSERT_EQ(top_dims(s), 1);
  const auto *dim = sim::drf::find_ordinate_dimension(session(), dims_in(s.top)[0].tag);
  ASSERT_NE(dim, nullptr);
  EXPECT_EQ(dim->int_prefs[3], 2);
  EXPECT_EQ(dim->int_prefs[7], 1);
  EXPECT_EQ(dim->int_prefs[9], 3);
  EXPECT_EQ(dim->int_prefs[16], 1);
  EXPECT_EQ(dim->int_prefs[90], 1);
  EXPECT_EQ(dim->real_prefs[32], 2.8);
  EXPECT_EQ(dim->real_prefs[33], 0.75);
  EXPECT_EQ(dim->real_prefs[34], 0.2);
  EXPECT_EQ(dim->user_text, "a");
  EXPECT_EQ(dim->appended_text, std::vector<std::string>{"b"});
  // put back afterwards, the part's own values again
  const auto &now = session().component<sim::drf::Drafting>();
  EXPECT_EQ(now.int_prefs[9], 1);
  EXPECT_EQ(now.real_prefs[32], 3.5);
}

TEST_F(ViewDims, PreferenceAsksThatFailChangeNothing) {
  for (std::uint32_t nth : {1u, 2u}) {
    SCOPED_TRACE(nth);
    new_session();
    use_lang();
    block({100, 60, 30});
    const Sheet s = make_sheet({50, 30, 30}, {1, 0, 0}, {0, 1, 0});
    const auto before = prefs();
    fail("UF_DRF_ask_preferences", nth);
    ASSERT_EQ(top_dims(s), 1);
    EXPECT_EQ(session().calls().count(sim::Call::UF_DRF_set_preferences), 0u);
    EXPECT_EQ(prefs(), before);
    EXPECT_EQ(dims_in(s.top).size(), 6u) << "the dimensions are still made";
    EXPECT_TRUE(transcript().listing().empty()) << "preference calls are not reported";
  }
}

TEST_F(ViewDims, DisplaySwitchingInBothStates) {
  for (bool shown : {true, false}) {
    SCOPED_TRACE(shown ? "drawing shown" : "model shown");
    new_session();
    use_lang();
    body(make_cylinder(20, 30)); // construction lines and points everywhere
    const Sheet s = make_sheet({0, 0, 30}, {1, 0, 0}, {0, 1, 0});
    if (!shown) {
      ASSERT_EQ(UF_DRAW_set_display_state(UF_DRAW_MODEL_DISPLAY), 0);
    }
    const auto sets = session().calls().count(sim::Call::UF_DRAW_set_display_state);
    const auto opens = session().calls().count(sim::Call::UF_DRAW_open_drawing);
    ASSERT_EQ(top_dims(s), 1);
    // Around the WCS box, the scan, the margins and each of four sides.
    const unsigned brackets = shown ? 7u : 0u;
    EXPECT_EQ(session().calls().count(sim::Call::UF_DRAW_set_display_state) - sets, brackets);
    EXPECT_EQ(session().calls().count(sim::Call::UF_DRAW_open_drawing) - opens, brackets);
    EXPECT_EQ(display_state(), shown ? UF_DRAW_DRAWING_DISPLAY : UF_DRAW_MODEL_DISPLAY);
    // The construction geometry is model geometry either way.
    EXPECT_EQ(model_objects(false, s.projected).size(), 2u);
    EXPECT_EQ(model_objects(true, s.projected).size(), 4u);
    EXPECT_EQ(dims_in(s.top).size(), 6u);
  }
}

TEST_F(ViewDims, FaultLoops) {
  // Every host call of each view's dimensions failed in turn: no crash,
  // nothing leaked, the preferences and the drawing as they were (unless
  // the call that failed is the one putting them back).
  struct Case {
    const char *name;
    int dir;
    std::function<int(const Sheet &)> dims;
    bool cylinder;
  } cases[] = {
      {"top, block", UF_DRAW_PROJ_BELOW, [&](const Sheet &s) { return top_dims(s); }, false},
      {"top, cylinder", UF_DRAW_PROJ_BELOW, [&](const Sheet &s) { return top_dims(s); }, true},
      {"front", UF_DRAW_PROJ_BELOW, [&](const Sheet &s) { return front_dims(s); }, false},
      {"side", UF_DRAW_PROJ_RIGHT, [&](const Sheet &s) { return side_dims(s); }, false}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    Sheet s;
    std::pair<std::vector<int>, std::vector<double>> before;
    const std::uint64_t n = fault_loop_after(
        [&] {
          use_lang();
          if (c.cylinder) {
            body(make_cylinder(20, 30));
          } else {
            block({100, 60, 30});
          }
          s = make_sheet({50, 30, 30}, {1, 0, 0}, {0, 1, 0}, c.dir);
          before = prefs();
        },
        [&] { (void)c.dims(s); },
        [&](std::uint64_t) {
          const auto &fired = session().calls().fired();
          const sim::Call failed = fired.empty() ? sim::Call::UF_initialize : fired[0].call;
          if (failed != sim::Call::UF_DRF_set_preferences) {
            EXPECT_EQ(prefs(), before);
          }
          if (failed != sim::Call::UF_DRAW_open_drawing) {
            EXPECT_EQ(display_state(), UF_DRAW_DRAWING_DISPLAY);
            EXPECT_EQ(current_drawing(), s.drawing);
          }
          const bool delete_failed = failed == sim::Call::UF_MODL_delete_list;
          const sim::FinishReport report = finish();
          EXPECT_TRUE(report.ok() || delete_failed)
              << (report.failures.empty() ? "" : report.failures[0]);
        });
    EXPECT_GT(n, 20u);
  }
}

} // namespace
} // namespace dims_test
