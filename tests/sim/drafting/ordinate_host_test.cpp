// ordinate_host_test.cpp: the simulated host's ordinate origins, margins
// and dimensions, and the mapping of model points into member views.
#include "dims_fixture.h"
#include "drawings/member_views.h"

#include <array>
#include <cstring>

namespace dims_test {
namespace {

namespace status = sim::status;

class OrdinateHost : public DimsTest {
protected:
  void SetUp() override {
    DimsTest::SetUp();
    block_ = block({100, 60, 30});
    sheet_ = make_sheet({50, 30, 30}, {1, 0, 0}, {0, 1, 0});
  }
  UF_DRF_object_t object(tag_t what, tag_t view, int modifier = 0) {
    UF_DRF_object_t o{};
    EXPECT_EQ(UF_DRF_init_object_structure(&o), 0);
    o.object_tag = what;
    o.object_view_tag = view;
    o.object_assoc_modifier = modifier;
    return o;
  }
  tag_t origin(tag_t view) {
    UF_DRF_object_t o = object(sheet_.mcs_point, view);
    tag_t made = NULL_TAG;
    EXPECT_EQ(UF_DRF_create_ordorigin(&o, 1, 1, 2, "", &made), 0);
    return made;
  }
  int margin(int type, tag_t from, UF_DRF_object_t o, tag_t &made, double offset = -5.0,
             Vec3 at = {}, std::array<double, 2> direction = {}) {
    double point[3] = {at.x, at.y, at.z};
    return UF_DRF_create_ordmargin(type, from, &o, point, direction.data(), offset, &made);
  }
  int dimension(tag_t on, UF_DRF_object_t o, tag_t &made) {
    char user[UF_DRF_TEXT_BUFSIZE] = "a", appended[UF_DRF_TEXT_BUFSIZE] = "b";
    UF_DRF_text_t text{user, 1, appended};
    double origin3[3] = {0, 0, 0};
    return UF_DRF_create_orddimension(on, 2, &o, 0.0, 0.0, &text, 1, origin3, &made);
  }
  // The edge of the block from a to b (absolute), either way round.
  tag_t edge(Vec3 a, Vec3 b) {
    for (tag_t e : edges_of(block_)) {
      const EdgeInfo i = edge_info(e);
      if ((norm(i.v1 - a) < 1e-9 && norm(i.v2 - b) < 1e-9) ||
          (norm(i.v1 - b) < 1e-9 && norm(i.v2 - a) < 1e-9)) {
        return e;
      }
    }
    return NULL_TAG;
  }
  std::array<double, 2> map(tag_t view, Vec3 p) {
    double in[3] = {p.x, p.y, p.z}, out[2] = {0, 0};
    EXPECT_EQ(UF_VIEW_map_model_to_drawing(view, in, out), 0);
    return {out[0], out[1]};
  }

  tag_t block_ = NULL_TAG;
  Sheet sheet_;
};

TEST_F(OrdinateHost, OriginArguments) {
  struct Case {
    int a, b, c;
    std::string name;
    int status;
  } cases[] = {
      {1, 1, 2, "", 0},
      {1, 1, 2, std::string(30, 'N'), 0},
      {1, 1, 2, std::string(31, 'N'), status::kBadArgument},
      {2, 1, 1, "", status::kBadArgument},
      {1, 2, 1, "", status::kBadArgument},
      {1, 2, 2, "", status::kBadArgument},
      {0, 1, 2, "", status::kBadArgument},
  };
  for (const Case &c : cases) {
    UF_DRF_object_t o = object(sheet_.mcs_point, sheet_.top);
    tag_t made = 77;
    EXPECT_EQ(UF_DRF_create_ordorigin(&o, c.a, c.b, c.c, c.name.c_str(), &made), c.status)
        << c.a << c.b << c.c << " " << c.name.size();
    if (c.status != 0) {
      EXPECT_EQ(made, 77u);
    } else {
      const auto *origin = sim::drf::find_ordinate_origin(session(), made);
      ASSERT_NE(origin, nullptr);
      EXPECT_EQ(origin->name, c.name);
      EXPECT_EQ(origin->at.sheet, map(sheet_.top, {50, 30, 30}));
    }
  }
}

TEST_F(OrdinateHost, WhatMarginsAndDimensionsRefuse) {
  const tag_t top_origin = origin(sheet_.top);
  const tag_t lower = edge({0, 0, 0}, {100, 0, 0});
  tag_t good_margin = NULL_TAG;
  ASSERT_EQ(margin(1, top_origin, object(lower, sheet_.top), good_margin), 0);
  // Drawing objects: a line and a point made while the drawing is shown.
  ASSERT_EQ(display_state(), UF_DRAW_DRAWING_DISPLAY);
  UF_CURVE_line_t l{{10, 10, 0}, {20, 10, 0}};
  tag_t sheet_line = NULL_TAG, sheet_point = NULL_TAG;
  ASSERT_EQ(UF_CURVE_create_line(&l, &sheet_line), 0);
  double p[3] = {10, 10, 0};
  ASSERT_EQ(UF_CURVE_create_point(p, &sheet_point), 0);
  EXPECT_EQ(kind_of(sheet_point), '?') << "not a model point";
  const tag_t face = find_body(session(), block_)->faces[0];

  struct Case {
    const char *what;
    int type;
    tag_t origin;
    UF_DRF_object_t object;
    int status;
    Vec3 point = {};
    std::array<double, 2> direction = {};
  } margins[] = {
      {"null origin", 1, NULL_TAG, object(lower, sheet_.top), status::kBadTag},
      {"origin is a point", 1, sheet_.mcs_point, object(lower, sheet_.top), status::kWrongType},
      {"type 3", 3, top_origin, object(lower, sheet_.top), status::kBadArgument},
      {"type 0", 0, top_origin, object(lower, sheet_.top), status::kBadArgument},
      {"drawing line", 1, top_origin, object(sheet_line, sheet_.top), status::kDrawingObject},
      {"drawing point", 1, top_origin, object(sheet_point, sheet_.top), status::kDrawingObject},
      {"a face", 1, top_origin, object(face, sheet_.top), status::kWrongType},
      {"null object", 1, top_origin, object(NULL_TAG, sheet_.top), status::kBadTag},
      {"null view", 1, top_origin, object(lower, NULL_TAG), status::kBadTag},
      {"not a member view", 1, top_origin, object(lower, sheet_.drawing), status::kWrongType},
      {"the other view", 1, top_origin, object(lower, sheet_.projected), status::kOtherView},
      {"an edge is placed by its middle, any modifier", 1, top_origin, object(lower, sheet_.top, 9),
       0},
      {"a point given", 1, top_origin, object(lower, sheet_.top), status::kBadArgument, {0, 0, 1}},
      {"a direction", 1, top_origin, object(lower, sheet_.top), status::kBadArgument, {}, {1, 0}},
  };
  for (const Case &c : margins) {
    tag_t made = 77;
    EXPECT_EQ(margin(c.type, c.origin, c.object, made, -5, c.point, c.direction), c.status)
        << c.what;
    EXPECT_TRUE(c.status == 0 || made == 77u) << c.what << ": output untouched on failure";
  }

  struct DimCase {
    const char *what;
    tag_t margin;
    UF_DRF_object_t object;
    int status;
  } dims[] = {
      {"null margin", NULL_TAG, object(lower, sheet_.top, 1), status::kBadTag},
      {"margin is an origin", top_origin, object(lower, sheet_.top, 1), status::kWrongType},
      {"edge without a modifier", good_margin, object(lower, sheet_.top, 0), status::kBadArgument},
      {"edge with modifier 3", good_margin, object(lower, sheet_.top, 3), status::kBadArgument},
      {"drawing point", good_margin, object(sheet_point, sheet_.top, 1), status::kDrawingObject},
      {"the other view", good_margin, object(lower, sheet_.projected, 1), status::kOtherView},
      {"a point ignores its modifier", good_margin, object(sheet_.mcs_point, sheet_.top, 7), 0},
      {"a hidden edge of the back face", good_margin,
       object(edge({0, 60, 0}, {100, 60, 0}), sheet_.top, 2), 0},
  };
  for (const DimCase &c : dims) {
    tag_t made = 77;
    EXPECT_EQ(dimension(c.margin, c.object, made), c.status) << c.what;
    EXPECT_TRUE(c.status == 0 || made == 77u) << c.what << ": output untouched on failure";
  }

  // Dimension arguments and texts.
  UF_DRF_object_t o = object(sheet_.mcs_point, sheet_.top);
  double origin3[3] = {0, 0, 0};
  char user[UF_DRF_TEXT_BUFSIZE] = "a";
  char long_lines[2 * UF_DRF_TEXT_BUFSIZE];
  std::memset(long_lines, 'x', sizeof long_lines);
  long_lines[UF_DRF_TEXT_BUFSIZE - 1] = '\0'; // the first line ends in its block
  struct TextCase {
    const char *what;
    int type, placement, lines;
    char *appended;
    int status;
  } texts[] = {
      {"kind 1", 1, 1, 0, nullptr, status::kBadArgument},
      {"placement 2", 2, 2, 0, nullptr, status::kBadArgument},
      {"one line of 29 bytes", 2, 1, 1, long_lines, 0},
      {"a second line without its end", 2, 1, 2, long_lines, status::kBadArgument},
      {"lines without text", 2, 1, 1, nullptr, status::kBadArgument},
      {"negative line count", 2, 1, -1, nullptr, status::kBadArgument},
  };
  for (const TextCase &c : texts) {
    UF_DRF_text_t text{user, c.lines, c.appended};
    tag_t made = NULL_TAG;
    EXPECT_EQ(UF_DRF_create_orddimension(good_margin, c.type, &o, 0, 0, &text, c.placement, origin3,
                                         &made),
              c.status)
        << c.what;
  }
}

TEST_F(OrdinateHost, MarginsAndDimensionsStandOnTheirObjectsWithTheirLettering) {
  const tag_t top_origin = origin(sheet_.top);
  const tag_t lower = edge({0, 0, 30}, {100, 0, 30});
  const tag_t left = edge({0, 0, 30}, {0, 60, 30});
  tag_t h = NULL_TAG, v = NULL_TAG;
  ASSERT_EQ(margin(1, top_origin, object(lower, sheet_.top), h, -5.0), 0);
  ASSERT_EQ(margin(2, top_origin, object(left, sheet_.top), v, -7.5), 0);
  const auto corner = map(sheet_.top, {0, 0, 30});
  EXPECT_NEAR(sim::drf::find_ordinate_margin(session(), h)->line, corner[1] - 5.0, 1e-9);
  EXPECT_NEAR(sim::drf::find_ordinate_margin(session(), v)->line, corner[0] - 7.5, 1e-9);
  // A dimension's text stands on its margin, across from its point.
  tag_t dim = NULL_TAG;
  ASSERT_EQ(dimension(h, object(edge({100, 0, 0}, {100, 60, 0}), sheet_.top, 1), dim), 0);
  const auto *d = sim::drf::find_ordinate_dimension(session(), dim);
  EXPECT_NEAR(d->text_at[0], map(sheet_.top, d->at.model)[0], 1e-9);
  EXPECT_NEAR(d->text_at[1], corner[1] - 5.0, 1e-9);
  EXPECT_EQ(d->text, "50");
  EXPECT_EQ(d->measured_along, "X");
  // It keeps the lettering it was made with.
  UF_DRF_lettering_preferences_t lettering{};
  ASSERT_EQ(UF_DRF_ask_lettering_preferences(&lettering), 0);
  const double size = lettering.dimension_text.size;
  lettering.dimension_text.size = size * 2;
  ASSERT_EQ(UF_DRF_set_lettering_preferences(&lettering), 0);
  EXPECT_EQ(sim::drf::find_ordinate_dimension(session(), dim)->lettering.size, size);
}

TEST_F(OrdinateHost, ValuesAlongTheWcsAxisOfTheMargin) {
  // The side view's horizontal margin runs along Z, which points left on
  // the sheet: the value is still the Z coordinate.
  new_session();
  use_lang();
  block_ = block({100, 60, 30});
  sheet_ = make_sheet({50, 30, 30}, {1, 0, 0}, {0, 1, 0}, UF_DRAW_PROJ_RIGHT);
  const tag_t side_origin = origin(sheet_.projected);
  tag_t h = NULL_TAG, v = NULL_TAG;
  ASSERT_EQ(margin(1, side_origin, object(edge({0, 0, 0}, {0, 60, 0}), sheet_.projected), h), 0);
  ASSERT_EQ(margin(2, side_origin, object(edge({0, 0, 0}, {0, 0, 30}), sheet_.projected), v), 0);
  struct Case {
    tag_t margin;
    Vec3 from, to; // the edge; the dimension is at its first vertex
    const char *text;
    const char *axis;
  } cases[] = {
      {h, {100, 0, 0}, {100, 60, 0}, "-30", "Z"},
      {v, {100, 0, 0}, {100, 60, 0}, "-30", "Y"},
      {v, {100, 60, 30}, {100, 60, 0}, "30", "Y"},
  };
  for (const Case &c : cases) {
    const tag_t e = edge(c.from, c.to);
    const int modifier = edge_info(e).v1 == c.from ? 1 : 2;
    tag_t dim = NULL_TAG;
    ASSERT_EQ(dimension(c.margin, object(e, sheet_.projected, modifier), dim), 0);
    const auto *d = sim::drf::find_ordinate_dimension(session(), dim);
    EXPECT_EQ(d->text, c.text);
    EXPECT_EQ(d->measured_along, c.axis);
    EXPECT_EQ(d->at.model, c.from);
  }
}

TEST_F(OrdinateHost, PrintedValues) {
  struct Case {
    double value;
    const char *text;
  } cases[] = {{0.0, "0"},        {-0.0, "0"},        {-0.0004, "0"},
               {0.0004, "0"},     {-30, "-30"},       {12.5, "12.5"},
               {100, "100"},      {1.23456, "1.235"}, {-70.71067, "-70.711"},
               {0.0006, "0.001"}, {-0.0006, "-0.001"}};
  for (const Case &c : cases)
    EXPECT_EQ(sim::drf::ordinate_text(c.value), c.text) << c.value;
}

TEST_F(OrdinateHost, MappingFollowsTheParentViewsMcsAxes) {
  // Code 102: MCS X along absolute Y.  With scale s, reference point r and
  // the view centre c in MCS coordinates, (X, Y, Z) maps to
  // top (rx + s(X - cX), ry + s(Y - cY)), front (rx + s(X - cX), ry + s(Z - cZ)),
  // side (rx - s(Z - cZ), ry + s(Y - cY)); in either display state.
  for (int dir : {UF_DRAW_PROJ_BELOW, UF_DRAW_PROJ_RIGHT}) {
    new_session();
    use_lang();
    block({60, 100, 30});
    const Sheet s = make_sheet({30, 50, 30}, {0, 1, 0}, {-1, 0, 0}, dir, 0.5);
    ASSERT_EQ(s.code, 102);
    const Vec3 centre{0, 0, -15}; // the box centre in MCS coordinates
    const auto *top = sim::draw::find_member_view(session(), s.top);
    const auto *projected = sim::draw::find_member_view(session(), s.projected);
    for (int state : {UF_DRAW_MODEL_DISPLAY, UF_DRAW_DRAWING_DISPLAY}) {
      ASSERT_EQ(UF_DRAW_set_display_state(state), 0);
      for (Vec3 mcs : {Vec3{0, 0, 0}, Vec3{50, -30, -30}, Vec3{-12.5, 7, -3}}) {
        const Vec3 abs = sim::cam::work_frame(session()).to_absolute(mcs);
        const auto t = map(s.top, abs);
        EXPECT_NEAR(t[0], top->ref[0] + 0.5 * (mcs.x - centre.x), 1e-9);
        EXPECT_NEAR(t[1], top->ref[1] + 0.5 * (mcs.y - centre.y), 1e-9);
        const auto p = map(s.projected, abs);
        if (dir == UF_DRAW_PROJ_BELOW) {
          EXPECT_NEAR(p[0], projected->ref[0] + 0.5 * (mcs.x - centre.x), 1e-9);
          EXPECT_NEAR(p[1], projected->ref[1] + 0.5 * (mcs.z - centre.z), 1e-9);
        } else {
          EXPECT_NEAR(p[0], projected->ref[0] - 0.5 * (mcs.z - centre.z), 1e-9);
          EXPECT_NEAR(p[1], projected->ref[1] + 0.5 * (mcs.y - centre.y), 1e-9);
        }
      }
    }
  }
}

} // namespace
} // namespace dims_test
