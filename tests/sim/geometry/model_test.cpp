// model_test.cpp: the simulated host's bodies, topology queries, curves,
// layers, views and point mapping through the host interface.
#include "geometry/build.h"
#include "geometry/model.h"
#include "host/host.h"
#include "objects/object_store.h"
#include "session_fixture.h"
#include "modelviews/model_views.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>

namespace {

using namespace sim::geo;
namespace views = sim::views;

class Model : public sim::testing::SessionTest {
protected:
  tag_t body(Result<Shape> shape, BodyOptions options = {}) {
    EXPECT_TRUE(shape.ok()) << shape.error();
    return add_body(session(), *shape, options);
  }
  std::vector<tag_t> list_of(tag_t b, bool faces) {
    uf_list_p_t list = nullptr;
    EXPECT_EQ(UF_MODL_create_list(&list), 0);
    EXPECT_EQ(faces ? UF_MODL_ask_body_faces(b, &list) : UF_MODL_ask_body_edges(b, &list), 0);
    int count = -1;
    EXPECT_EQ(UF_MODL_ask_list_count(list, &count), 0);
    std::vector<tag_t> out;
    for (int i = 0; i < count; ++i) {
      tag_t t = NULL_TAG;
      EXPECT_EQ(UF_MODL_ask_list_item(list, i, &t), 0);
      out.push_back(t);
    }
    EXPECT_EQ(UF_MODL_delete_list(&list), 0);
    EXPECT_EQ(list, nullptr);
    return out;
  }
  /// The integer a host query asks of what (a tag, a layer).
  template <class Ask, class What> static int ask(Ask query, What what) {
    int value = -1;
    EXPECT_EQ(query(what, &value), 0);
    return value;
  }
  /// The nine values of a view's matrix (the work view for the null tag).
  std::array<double, 9> matrix_of(tag_t view = NULL_TAG) {
    std::array<double, 9> m{};
    EXPECT_EQ(UF_VIEW_ask_view_matrix(view, m.data()), 0);
    return m;
  }
};

TEST_F(Model, ScenarioPlacesBodiesWithTheirTopology) {
  load_scenario(R"({"part": {"file": "D:\\work\\p.prt", "layers": {"visible_only": [5]},
    "bodies": [
      {"block": [100, 60, 30], "at": [10, 0, -30], "fillet_vertical": 5, "color": 6, "name": "MAIN"},
      {"sheet": [10, 10], "layer": 5, "blanked": true}]}})");
  tag_t part = UF_PART_ask_display_part();
  std::vector<std::pair<int, int>> seen;
  for (tag_t t = UF_OBJ_cycle_objs_in_part(part, UF_solid_type, NULL_TAG); t != NULL_TAG;
       t = UF_OBJ_cycle_objs_in_part(part, UF_solid_type, t)) {
    int type = 0, subtype = 0;
    ASSERT_EQ(UF_OBJ_ask_type_and_subtype(t, &type, &subtype), 0);
    seen.emplace_back(type, subtype);
  }
  // body, its 10 faces and 24 edges; then the sheet with 1 face and 4 edges
  ASSERT_EQ(seen.size(), 1u + 10 + 24 + 1 + 1 + 4);
  EXPECT_EQ(seen[0], std::make_pair(70, 0));
  EXPECT_EQ(seen[1], std::make_pair(70, 2));
  EXPECT_EQ(seen[11], std::make_pair(70, 3));
  std::vector<tag_t> bodies = session().objects().tags_of_type(UF_solid_type);
  EXPECT_EQ(ask(UF_MODL_ask_body_type, bodies[0]), UF_MODL_SOLID_BODY);
  tag_t sheet = seen.size() > 35 ? bodies[35] : NULL_TAG;
  EXPECT_EQ(ask(UF_MODL_ask_body_type, sheet), UF_MODL_SHEET_BODY);
  UF_OBJ_disp_props_t props{};
  ASSERT_EQ(UF_OBJ_ask_display_properties(bodies[0], &props), 0);
  EXPECT_EQ(props.color, 6);
  EXPECT_EQ(props.blank_status, UF_OBJ_NOT_BLANKED);
  ASSERT_EQ(UF_OBJ_ask_display_properties(sheet, &props), 0);
  EXPECT_EQ(props.layer, 5);
  EXPECT_EQ(props.blank_status, UF_OBJ_BLANKED);
  EXPECT_EQ(ask(UF_LAYER_ask_status, 5), UF_LAYER_REFERENCE_LAYER);
  double box[6];
  ASSERT_EQ(UF_MODL_ask_bounding_box(bodies[0], box), 0);
  EXPECT_DOUBLE_EQ(box[0], 10);
  EXPECT_DOUBLE_EQ(box[5], 0);
}

TEST_F(Model, BadScenarioBodiesNameThePath) {
  struct Case {
    const char *json, *want;
  } cases[] = {
      {R"({"part": {"file": "x", "bodies": [{"cube": 3}]}})", "/part/bodies/0"},
      {R"({"part": {"file": "x", "bodies": [{"block": [1, 2]}]}})", "/part/bodies/0/block"},
      {R"({"part": {"file": "x", "bodies": [{"step": "no/such.step"}]}})", "/part/bodies/0/step"},
      {R"({"part": {"file": "x", "bodies": [{"sphere": 3, "layer": 300}]}})",
       "/part/bodies/0/layer"},
      {R"({"part": {"file": "x", "layers": {"invisible": [1]}}})", "/part/layers/invisible/0"},
  };
  for (const Case &c : cases) {
    new_session();
    try {
      load_scenario(c.json);
      ADD_FAILURE() << c.json;
    } catch (const std::exception &e) {
      EXPECT_NE(std::string(e.what()).find(c.want), std::string::npos) << e.what();
    }
  }
}

TEST_F(Model, EdgeAndFaceQueries) {
  tag_t cyl = body(make_cylinder(20, 50));
  std::vector<tag_t> edges = list_of(cyl, false), faces = list_of(cyl, true);
  ASSERT_EQ(edges.size(), 2u); // no seam
  ASSERT_EQ(faces.size(), 3u);
  for (tag_t e : edges) {
    int count = -1;
    double p1[3] = {7, 7, 7}, p2[3] = {7, 7, 7}, box[6];
    EXPECT_EQ(ask(UF_MODL_ask_edge_type, e), UF_MODL_CIRCULAR_EDGE);
    ASSERT_EQ(UF_MODL_ask_edge_verts(e, p1, p2, &count), 0);
    EXPECT_EQ(count, 0);
    ASSERT_EQ(UF_MODL_ask_bounding_box(e, box), 0);
    EXPECT_DOUBLE_EQ(box[0], -20); // exact: no tolerance gap
    EXPECT_DOUBLE_EQ(box[4], 20);
  }
  int types[3];
  for (int i = 0; i < 3; ++i)
    types[i] = ask(UF_MODL_ask_face_type, faces[i]);
  EXPECT_EQ(std::count(types, types + 3, UF_MODL_PLANAR_FACE), 2);
  EXPECT_EQ(std::count(types, types + 3, UF_MODL_CYLINDRICAL_FACE), 1);
  // wrong kinds of tag
  int type = 0;
  EXPECT_NE(UF_MODL_ask_edge_type(faces[0], &type), 0);
  EXPECT_NE(UF_MODL_ask_face_type(edges[0], &type), 0);
  EXPECT_NE(UF_MODL_ask_body_type(edges[0], &type), 0);
  EXPECT_NE(UF_MODL_ask_edge_type(NULL_TAG, &type), 0);
  uf_list_p_t none = nullptr;
  EXPECT_NE(UF_MODL_ask_body_edges(faces[0], &none), 0);
}

TEST_F(Model, BlockEdgesAreLinesWithTwoVerticesInCurveDirection) {
  tag_t b = body(make_block({10, 20, 30}));
  std::vector<tag_t> edges = list_of(b, false);
  ASSERT_EQ(edges.size(), 12u);
  for (tag_t e : edges) {
    int count = 0;
    double p1[3], p2[3];
    EXPECT_EQ(ask(UF_MODL_ask_edge_type, e), UF_MODL_LINEAR_EDGE);
    ASSERT_EQ(UF_MODL_ask_edge_verts(e, p1, p2, &count), 0);
    EXPECT_EQ(count, 2);
    // the same answer every time, whoever asks first
    double q1[3], q2[3];
    ASSERT_EQ(UF_MODL_ask_edge_verts(e, q1, q2, &count), 0);
    EXPECT_EQ(std::memcmp(p1, q1, sizeof p1), 0);
    EXPECT_EQ(std::memcmp(p2, q2, sizeof p2), 0);
  }
}

TEST_F(Model, IsoclinesAreCurvesTheCallerDeletes) {
  tag_t cyl = body(make_cylinder(20, 50));
  tag_t side = NULL_TAG;
  for (tag_t f : list_of(cyl, true))
    if (ask(UF_MODL_ask_face_type, f) == UF_MODL_CYLINDRICAL_FACE)
      side = f;
  const std::size_t before = session().objects().size();
  double along[3] = {0, 0, 1}, across[3] = {0, 1, 0};
  tag_t *curves = reinterpret_cast<tag_t *>(1);
  int count = -1;
  ASSERT_EQ(UF_MODL_create_isocline_curves(side, along, 0.0, 0.005, &curves, &count), 0);
  EXPECT_EQ(curves, nullptr); // seen edge-on
  EXPECT_EQ(count, 0);
  UF_free(curves);
  ASSERT_EQ(UF_MODL_create_isocline_curves(side, across, 0.0, 0.005, &curves, &count), 0);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(session().objects().size(), before + 2);
  for (int i = 0; i < count; ++i) {
    double box[6];
    ASSERT_EQ(UF_MODL_ask_bounding_box(curves[i], box), 0);
    EXPECT_DOUBLE_EQ(std::abs(box[0]), 20);
    EXPECT_DOUBLE_EQ(box[2], 0);
    EXPECT_DOUBLE_EQ(box[5], 50);
    UF_CURVE_line_t line{};
    EXPECT_EQ(UF_CURVE_ask_line_data(curves[i], &line), 0);
  }
  int *statuses = nullptr;
  ASSERT_EQ(UF_OBJ_delete_array_of_objects(count, curves, &statuses), 0);
  EXPECT_EQ(statuses[0], 0);
  EXPECT_EQ(statuses[1], 0);
  UF_free(statuses);
  UF_free(curves);
  EXPECT_EQ(session().objects().size(), before);
  EXPECT_TRUE(finish().ok());
}

TEST_F(Model, DeletingABodyTakesItsTopologyAndListsMustBeDeleted) {
  tag_t b = body(make_block({1, 1, 1}));
  std::vector<tag_t> edges = list_of(b, false);
  EXPECT_NE(UF_OBJ_delete_object(edges[0]), 0);
  EXPECT_EQ(UF_OBJ_delete_object(b), 0);
  EXPECT_EQ(session().objects().find(edges[0]), nullptr);
  EXPECT_NE(UF_OBJ_delete_object(b), 0);
  uf_list_p_t list = nullptr;
  ASSERT_EQ(UF_MODL_create_list(&list), 0);
  EXPECT_EQ(finish().failures,
            std::vector<std::string>{"1 host list(s) not deleted with UF_MODL_delete_list"});
}

TEST_F(Model, LinesAndPoints) {
  UF_CURVE_line_t l{{1, 2, 3}, {4, 5, 6}}, back{};
  tag_t line = NULL_TAG, point = NULL_TAG;
  ASSERT_EQ(UF_CURVE_create_line(&l, &line), 0);
  ASSERT_EQ(UF_CURVE_ask_line_data(line, &back), 0);
  EXPECT_EQ(back.end_point[2], 6);
  double p[3] = {7, 8, 9}, q[3] = {};
  ASSERT_EQ(UF_CURVE_create_point(p, &point), 0);
  ASSERT_EQ(UF_CURVE_ask_point_data(point, q), 0);
  EXPECT_EQ(q[1], 8);
  EXPECT_NE(UF_CURVE_ask_point_data(line, q), 0);
  ASSERT_EQ(UF_OBJ_set_layer(line, 200), 0);
  UF_OBJ_disp_props_t props{};
  ASSERT_EQ(UF_OBJ_ask_display_properties(line, &props), 0);
  EXPECT_EQ(props.layer, 200);
  EXPECT_NE(UF_OBJ_set_layer(line, 0), 0);
}

TEST_F(Model, LayerStatuses) {
  struct Step {
    int layer, status, result;
  } steps[] = {
      {10, UF_LAYER_REFERENCE_LAYER, 0},
      {11, UF_LAYER_INACTIVE_LAYER, 0},
      {1, UF_LAYER_INACTIVE_LAYER, 1}, // the work layer stays
      {12, UF_LAYER_WORK_LAYER, 0},    // layer 1 becomes selectable
      {0, UF_LAYER_ACTIVE_LAYER, 1},
      {257, UF_LAYER_ACTIVE_LAYER, 1},
      {13, 9, 1},
  };
  for (const Step &s : steps)
    EXPECT_EQ(UF_LAYER_set_status(s.layer, s.status) != 0, s.result != 0) << s.layer;
  for (const auto &[layer, want] : {std::pair{1, UF_LAYER_ACTIVE_LAYER},
                                    {12, UF_LAYER_WORK_LAYER},
                                    {11, UF_LAYER_INACTIVE_LAYER}}) {
    EXPECT_EQ(ask(UF_LAYER_ask_status, layer), want) << layer;
  }
}

TEST_F(Model, StandardViewsShowTheirAxesAndTurnTheModel) {
  struct Case {
    const char *name;
    Vec3 right, up;
  } cases[] = {
      {"TOP", {1, 0, 0}, {0, 1, 0}},   {"BOTTOM", {1, 0, 0}, {0, -1, 0}},
      {"FRONT", {1, 0, 0}, {0, 0, 1}}, {"BACK", {-1, 0, 0}, {0, 0, 1}},
      {"RIGHT", {0, 1, 0}, {0, 0, 1}}, {"LEFT", {0, -1, 0}, {0, 0, 1}},
  };
  for (const Case &c : cases) {
    ASSERT_EQ(uc6464("", "", c.name), 0) << c.name;
    const auto m = matrix_of();
    EXPECT_EQ((Vec3{m[0], m[1], m[2]}), c.right) << c.name;
    EXPECT_EQ((Vec3{m[3], m[4], m[5]}), c.up) << c.name;
  }
  ASSERT_EQ(uc6464("", "", "tfr-iso"), 0);
  const auto m = matrix_of();
  EXPECT_GT(m[0], 0); // X goes to the right and down, Y to the right and up, Z up
  EXPECT_LT(m[3], 0);
  EXPECT_GT(m[4], 0);
  EXPECT_NEAR(m[2], 0, 1e-12);
  EXPECT_NEAR(m[6] * -1, m[7], 1e-12); // seen from (1, -1, 1)
  EXPECT_NE(uc6464("", "", "NOSUCH"), 0);
  // Turning the view by +90 about Z turns the model, not the camera: its X axis up.
  ASSERT_EQ(uc6464("", "", "TOP"), 0);
  double c[3] = {0, 0, 0}, z[3] = {0, 0, 1};
  ASSERT_EQ(UF_VIEW_rotate_view_abs_csys(NULL_TAG, c, z, 90.0, 1), 0);
  EXPECT_NEAR(matrix_of()[3], 1, 1e-12);  // screen up . X = 1
  EXPECT_NEAR(matrix_of()[1], -1, 1e-12); // screen right is absolute -Y
}

TEST_F(Model, SavedViewsAndNames) {
  ASSERT_EQ(uc6464("", "", "FRONT"), 0);
  ASSERT_EQ(uc6450("", "MINE", 1, 1), 0);
  EXPECT_NE(uc6450("", "mine", 1, 1), 0); // only a view blocks a view name, any case
  EXPECT_NE(uc6450("", "", 1, 1), 0);
  EXPECT_NE(uc6450("", "A234567890123456789012345678901", 1, 1), 0);
  session().objects().create(70, 0, "OTHER");
  EXPECT_EQ(uc6450("", "OTHER", 1, 1), 0);
  tag_t v = NULL_TAG;
  ASSERT_EQ(UF_OBJ_cycle_by_name("MINE", &v), 0);
  int type = 0, subtype = 0;
  ASSERT_EQ(UF_OBJ_ask_type_and_subtype(v, &type, &subtype), 0);
  EXPECT_EQ(type, UF_view_type);
  EXPECT_EQ(subtype, UF_view_modeling_subtype);
  EXPECT_EQ(matrix_of(v)[5], 1); // FRONT: up is Z
  // a saved view can replace the work view
  ASSERT_EQ(uc6464("", "", "TOP"), 0);
  ASSERT_EQ(uc6464("", "", "MINE"), 0);
  EXPECT_EQ(matrix_of()[5], 1);
}

} // namespace
