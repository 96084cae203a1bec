// Member views: import, scale, reference point, orthographic projection,
// view display settings and the mapping of model points onto the drawing.
#include "drawing_fixture.h"

#include "drawings/drawings.h"
#include "drawings/member_views.h"
#include "host/curve.h"
#include "objects/object_store.h"
#include "session/status.h"

#include <array>
#include <cstring>

namespace sim::testing {
namespace {

class MemberViewTest : public DrawingSessionTest {
protected:
  void SetUp() override {
    DrawingSessionTest::SetUp();
    // A block 100 x 60 x 30 from (10, 20, -30) to (110, 80, 0).
    add_shape(geo::make_block({100, 60, 30}), {10, 20, -30});
    top_ = model_view("MY_ANY_VIEW1", "TOP");
    iso_ = model_view("MY_ISO_TARVI_VIEW1", "tfr-iso");
    ASSERT_NE(top_, NULL_TAG);
    ASSERT_NE(iso_, NULL_TAG);
    drawing_ = make_drawing("prog_sheet1");
  }
  tag_t import(tag_t model_view, double x, double y, double scale = 0.01) {
    return import_view(drawing_, model_view, x, y, scale);
  }
  std::array<double, 2> map(tag_t view, geo::Vec3 p) {
    double model[3] = {p.x, p.y, p.z}, at[2] = {-1, -1};
    EXPECT_EQ(UF_VIEW_map_model_to_drawing(view, model, at), 0);
    return {at[0], at[1]};
  }

  tag_t drawing_ = NULL_TAG, top_ = NULL_TAG, iso_ = NULL_TAG;
};

using Point2 = std::array<double, 2>;

TEST_F(MemberViewTest, ImportedViewIsCentredOnTheBodiesBoxAndScaledAboutItsCentre) {
  const tag_t view = import(top_, 210, 148.5);
  ASSERT_NE(view, NULL_TAG);
  const draw::MemberViewPayload *member = draw::find_member_view(session(), view);
  ASSERT_NE(member, nullptr);
  EXPECT_EQ(member->drawing, drawing_);
  EXPECT_EQ(member->scale, 0.01);
  EXPECT_EQ(session().objects().find(view)->name, "MY_ANY_VIEW1@1");
  EXPECT_EQ(draw::find_drawing(session(), drawing_)->views, std::vector<tag_t>{view});
  EXPECT_EQ(map(view, {60, 50, -15}), (Point2{210, 148.5}));
  EXPECT_EQ(map(view, {110, 80, 0}), (Point2{210.5, 148.8}));
  // The scale keeps the centre; the reference point moves it.
  ASSERT_EQ(UF_DRAW_set_view_scale(view, 0.5), 0);
  EXPECT_EQ(map(view, {60, 50, -15}), (Point2{210, 148.5}));
  ASSERT_EQ(UF_DRAW_update_one_view(drawing_, view), 0);
  double ref[2] = {120, 220};
  ASSERT_EQ(UF_DRAW_set_drawing_ref_pt(drawing_, view, ref), 0);
  EXPECT_EQ(map(view, {110, 80, 0}), (Point2{145, 235}));
  EXPECT_EQ(map(view, {10, 20, -30}), (Point2{95, 205}));
  EXPECT_EQ(UF_DRAW_set_view_scale(view, 0), status::kBadArgument);
  EXPECT_EQ(UF_DRAW_set_view_scale(view, -1), status::kBadArgument);
}

TEST_F(MemberViewTest, MarkersBesideTheBodiesDoNotMoveTheView) {
  const tag_t view = import(top_, 100, 100, 1.0);
  // Axis marker lines reaching well beyond the block, and a point.
  UF_CURVE_line_t far{{0, 0, 0}, {300, 0, 0}};
  tag_t line = NULL_TAG;
  ASSERT_EQ(UF_DRAW_set_display_state(1), 0);
  ASSERT_EQ(UF_CURVE_create_line(&far, &line), 0);
  double origin[3] = {-40, -40, 0};
  tag_t point = NULL_TAG;
  ASSERT_EQ(UF_CURVE_create_point(origin, &point), 0);
  ASSERT_EQ(UF_DRAW_update_one_view(drawing_, view), 0);
  EXPECT_EQ(map(view, {60, 50, -15}), (Point2{100, 100}));
}

TEST_F(MemberViewTest, ProjectedViewsByDirection) {
  struct Case {
    int dir;
    geo::Vec3 right, up;
    // Where the block's corner (110, 80, 0) lands with the view at (0, 0)
    // and scale 0.5.
    Point2 corner;
  };
  const Case cases[] = {
      // Below: the front view, X right and Z up.
      {UF_DRAW_PROJ_BELOW, {1, 0, 0}, {0, 0, 1}, {25, 7.5}},
      // Right: the side view, Y up and +Z pointing left toward the parent.
      {UF_DRAW_PROJ_RIGHT, {0, 0, -1}, {0, 1, 0}, {-7.5, 15}},
      {UF_DRAW_PROJ_ABOVE, {1, 0, 0}, {0, 0, -1}, {25, -7.5}},
      {UF_DRAW_PROJ_LEFT, {0, 0, 1}, {0, 1, 0}, {7.5, 15}},
  };
  for (const Case &c : cases) {
    const tag_t top = import(top_, 200, 200);
    ASSERT_EQ(UF_DRAW_set_view_scale(top, 0.5), 0);
    double ref[2] = {200, 200};
    tag_t side = NULL_TAG;
    ASSERT_EQ(UF_DRAW_add_orthographic_view(drawing_, top, c.dir, ref, &side), 0) << c.dir;
    const draw::MemberViewPayload *member = draw::find_member_view(session(), side);
    ASSERT_NE(member, nullptr);
    EXPECT_EQ(member->parent, top);
    EXPECT_EQ(member->scale, 0.5) << "takes the parent's scale";
    EXPECT_EQ(member->axes.row[0], c.right) << c.dir;
    EXPECT_EQ(member->axes.row[1], c.up) << c.dir;
    double origin[2] = {0, 0};
    ASSERT_EQ(UF_DRAW_set_drawing_ref_pt(drawing_, side, origin), 0);
    EXPECT_EQ(map(side, {60, 50, -15}), (Point2{0, 0})) << c.dir;
    EXPECT_EQ(map(side, {110, 80, 0}), c.corner) << c.dir;
  }
}

TEST_F(MemberViewTest, ProjectedViewFollowsItsParentsScaleUntilGivenItsOwn) {
  const tag_t top = import(top_, 200, 200);
  double ref[2] = {200, 100};
  tag_t front = NULL_TAG;
  ASSERT_EQ(UF_DRAW_add_orthographic_view(drawing_, top, UF_DRAW_PROJ_BELOW, ref, &front), 0);
  ASSERT_EQ(UF_DRAW_set_view_scale(top, 0.8), 0);
  EXPECT_EQ(draw::find_member_view(session(), front)->scale, 0.8);
  ASSERT_EQ(UF_DRAW_set_view_scale(front, 0.25), 0);
  ASSERT_EQ(UF_DRAW_set_view_scale(top, 2), 0);
  EXPECT_EQ(draw::find_member_view(session(), front)->scale, 0.25);
}

TEST_F(MemberViewTest, IsoViewIsCentredToo) {
  const tag_t iso = import(iso_, 325, 211);
  ASSERT_EQ(UF_DRAW_set_view_scale(iso, 0.5367), 0);
  const Point2 centre = map(iso, {60, 50, -15});
  EXPECT_NEAR(centre[0], 325, 1e-9);
  EXPECT_NEAR(centre[1], 211, 1e-9);
  // Up is absolute Z in the iso view: the top face lies above the bottom.
  EXPECT_GT(map(iso, {60, 50, 0})[1], map(iso, {60, 50, -30})[1]);
}

TEST_F(MemberViewTest, ViewDisplayRoundTripAndRefusals) {
  const tag_t view = import(top_, 100, 100);
  UF_DRAW_view_display_t display{};
  ASSERT_EQ(UF_DRAW_ask_view_display(view, &display), 0);
  // The seven settings of the program sheet.
  display.hidden_line = UF_DRAW_YES, display.hidden_line_font = UF_DRAW_FONT_INVISIBLE;
  display.hidden_line_width = UF_DRAW_WIDTH_NORMAL, display.silhouettes = UF_DRAW_YES;
  display.smooth_edges = UF_DRAW_YES, display.smooth_edge_gaps = UF_DRAW_NO;
  display.referenced_edges_only = 0;
  ASSERT_EQ(UF_DRAW_set_view_display(view, &display), 0);
  double ref[2] = {100, 50};
  tag_t front = NULL_TAG;
  ASSERT_EQ(UF_DRAW_add_orthographic_view(drawing_, view, UF_DRAW_PROJ_BELOW, ref, &front), 0);
  UF_DRAW_view_display_t back{};
  ASSERT_EQ(UF_DRAW_ask_view_display(front, &back), 0);
  EXPECT_EQ(std::memcmp(&back, &display, sizeof back), 0) << "inherited from the parent";

  UF_DRAW_view_display_t bad = display;
  bad.hidden_line_font = 7;
  EXPECT_EQ(UF_DRAW_set_view_display(view, &bad), status::kBadArgument);
  bad = display;
  bad.silhouettes = 0;
  EXPECT_EQ(UF_DRAW_set_view_display(view, &bad), status::kBadArgument);
  EXPECT_EQ(UF_DRAW_ask_view_display(drawing_, &back), status::kWrongType);
}

TEST_F(MemberViewTest, RefusedCallsMakeNothing) {
  UF_DRAW_view_info_t info{};
  ASSERT_EQ(UF_DRAW_initialize_view_info(&info), 0);
  EXPECT_EQ(info.view_scale, 1.0);
  double ref[2] = {10, 10};
  tag_t view = 55;
  EXPECT_EQ(UF_DRAW_import_view(drawing_, drawing_, ref, &info, &view), status::kWrongType);
  EXPECT_EQ(UF_DRAW_import_view(top_, top_, ref, &info, &view), status::kWrongType);
  EXPECT_EQ(UF_DRAW_import_view(drawing_, 4242, ref, &info, &view), status::kBadTag);
  info.view_scale = 0;
  EXPECT_EQ(UF_DRAW_import_view(drawing_, top_, ref, &info, &view), status::kBadArgument);
  info.view_scale = 1;
  fail("UF_DRAW_import_view", 5, 321); // the fifth use
  EXPECT_EQ(UF_DRAW_import_view(drawing_, top_, ref, &info, &view), 321);
  EXPECT_EQ(view, 55u);
  EXPECT_TRUE(draw::find_drawing(session(), drawing_)->views.empty());

  const tag_t top = import(top_, 100, 100);
  EXPECT_EQ(UF_DRAW_add_orthographic_view(drawing_, top, 5, ref, &view), status::kBadArgument);
  EXPECT_EQ(UF_DRAW_add_orthographic_view(drawing_, top_, 3, ref, &view), status::kWrongType);
  // A view is moved only on its own drawing.
  const tag_t other = make_drawing("other", 100, 100);
  EXPECT_EQ(UF_DRAW_set_drawing_ref_pt(other, top, ref), status::kNotOnDrawing);
  EXPECT_EQ(UF_DRAW_set_drawing_ref_pt(NULL_TAG, top, ref), 0) << "null: the view's own drawing";
  double model[3] = {0, 0, 0}, at[2] = {0, 0};
  EXPECT_EQ(UF_VIEW_map_model_to_drawing(top_, model, at), status::kWrongType);
}

TEST_F(MemberViewTest, NoBodyCentresTheViewOnTheOrigin) {
  new_session();
  ASSERT_EQ(UF_initialize(), 0);
  const tag_t top = model_view("V", "TOP");
  drawing_ = make_drawing("s");
  const tag_t view = import(top, 50, 60, 2);
  EXPECT_FALSE(draw::find_member_view(session(), view)->has_bodies);
  EXPECT_EQ(map(view, {1, 1, 7}), (Point2{52, 62}));
}

} // namespace
} // namespace sim::testing
