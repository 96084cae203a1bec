// kernel_test.cpp: the simulated host's geometry without a session: the
// host's view of topology, exact boxes, isoclines, the native format.
#include "geometry/build.h"
#include "geometry/shape.h"
#include "test_shapes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <functional>
#include <numbers>
#include <string>

namespace sim::geo {
namespace {

Shape must(Result<Shape> r) {
  EXPECT_TRUE(r.ok()) << r.error();
  return r.ok() ? *r : Shape();
}

const std::string kDemoStep = std::string(NCSHEET_SOURCE_DIR) + "/examples/demo/workpiece.step";

// The workpiece box as the system builds it from host queries: vertices of
// open edges, boxes of closed edges, boxes of the silhouettes of curved
// faces along Z, Y and X.
Box method_box(const Shape &s, bool general = false) {
  Box b;
  for (int i = 0; i < s.edge_count(); ++i) {
    const EdgeInfo &e = s.edge(i);
    if (e.vertex_count == 2) {
      b.add(e.v1);
      b.add(e.v2);
    } else {
      b.add(s.edge_box(i));
    }
  }
  for (int f = 0; f < s.face_count(); ++f) {
    if (s.face_type(f) == FaceType::Plane)
      continue;
    for (Vec3 d : {Vec3{0, 0, 1}, Vec3{0, 1, 0}, Vec3{1, 0, 0}}) {
      auto curves = general ? s.isoclines_general(f, d, 0, 0.005) : s.isoclines(f, d, 0, 0.005);
      EXPECT_TRUE(curves.ok()) << curves.error();
      if (!curves.ok())
        continue;
      for (const Curve &c : *curves)
        b.add(c.box());
    }
  }
  return b;
}

double worst(const Box &got, const Box &exact, double *larger = nullptr) {
  double w = 0, big = -1e9;
  for (int i = 0; i < 3; ++i) {
    w = std::max({w, std::abs(got.min[i] - exact.min[i]), std::abs(got.max[i] - exact.max[i])});
    big = std::max({big, exact.min[i] - got.min[i], got.max[i] - exact.max[i]});
  }
  if (larger)
    *larger = big;
  return w;
}

Frame turned(Vec3 axis, double deg, Vec3 at) {
  Frame f;
  f.origin = at;
  double a = deg * std::numbers::pi / 180;
  f.axes.row = {rotate({1, 0, 0}, axis, a), rotate({0, 1, 0}, axis, a), rotate({0, 0, 1}, axis, a)};
  return f;
}

struct BoxCase {
  const char *name;
  std::function<Shape()> make;
};

class MethodBox : public ::testing::TestWithParam<BoxCase> {};

TEST_P(MethodBox, EqualsTheKernelsExactBox) {
  Shape s = GetParam().make();
  ASSERT_FALSE(s.is_null());
  Box exact = s.box();
  Box got = method_box(s);
  ASSERT_FALSE(got.empty);
  double larger = 0;
  EXPECT_LT(worst(got, exact, &larger), 1e-6);
  EXPECT_LT(larger, 0.0005);
}

// clang-format off
const BoxCase kBoxCases[] = {
    {"block", [] { return must(make_block({100, 60, 30})); }},
    {"filleted_block", [] { return must(fillet_vertical(must(make_block({100, 60, 30})), 5)); }},
    {"rounded_block", [] { return must(fillet_all(must(make_block({100, 60, 30})), 4)); }},
    {"chamfered_block", [] { return must(chamfer_all(must(make_block({100, 60, 30})), 2)); }},
    {"cylinder", [] { return must(make_cylinder(20, 50)); }},
    {"cone", [] { return must(make_cone(20, 8, 30)); }},
    {"sphere", [] { return must(make_sphere(25)); }},
    {"torus", [] { return must(make_torus(30, 10)); }},
    {"domed_block", [] { return must(make_domed_block({100, 60, 30}, 6)); }},
    {"hole_plate", [] { return must(make_hole_plate(3, 20, 4, 10)); }},
    {"turned_cylinder",
     [] { return must(make_cylinder(20, 50)).placed(turned({1, 1, 0}, 30, {5, -7, 3})); }},
    {"turned_sphere", [] { return must(make_sphere(25)).placed(turned({1, 2, 3}, 40, {1, 2, 3})); }},
    {"turned_torus", [] { return must(make_torus(30, 10)).placed(turned({0, 1, 0}, 90, {0, 0, 0})); }},
    {"step_workpiece", [] { return must(read_step(kDemoStep)); }},
    {"block_with_hole",
     [] {
       return must(boolean(BooleanOp::Cut, must(make_block({80, 80, 20})),
                           must(make_cylinder(10, 40)).placed(turned({0, 0, 1}, 0, {40, 40, -5}))));
     }},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Shapes, MethodBox, ::testing::ValuesIn(kBoxCases),
                         [](const auto &info) { return std::string(info.param.name); });

// The host's topology hides seams and poles, closed edges have no vertices,
// and faces have their kinds; a sheet body is not a solid.
TEST(Topology, HidesSeamsAndPolesAndClosedEdgesHaveNoVertices) {
  struct Case {
    const char *name;
    Shape shape;
    int edges, faces, closed, planes;
    FaceType curved; // the kind of every face not a plane
    bool solid = true;
  } cases[] = {
      {"block", must(make_block({100, 60, 30})), 12, 6, 0, 6, FaceType::Plane},
      {"cylinder", must(make_cylinder(20, 50)), 2, 3, 2, 2, FaceType::Cylinder},
      {"cone", must(make_cone(5, 2, 4)), 2, 3, 2, 2, FaceType::Cone},
      {"sphere", must(make_sphere(25)), 0, 1, 0, 0, FaceType::Sphere},
      {"torus", must(make_torus(30, 10)), 0, 1, 0, 0, FaceType::Torus},
      {"filleted", must(fillet_vertical(must(make_block({100, 60, 30})), 5)), 24, 10, 0, 6,
       FaceType::Cylinder},
      {"sheet", must(make_sheet(10, 20)), 4, 1, 0, 1, FaceType::Plane, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.shape.edge_count(), c.edges);
    EXPECT_EQ(c.shape.face_count(), c.faces);
    EXPECT_EQ(c.shape.is_solid(), c.solid);
    int closed = 0, planes = 0;
    for (int i = 0; i < c.shape.edge_count(); ++i) {
      closed += c.shape.edge(i).vertex_count == 0;
      EXPECT_TRUE(c.closed != c.edges || c.shape.edge(i).type == EdgeType::Circle) << i;
    }
    EXPECT_EQ(closed, c.closed);
    for (int f = 0; f < c.shape.face_count(); ++f) {
      planes += c.shape.face_type(f) == FaceType::Plane;
      EXPECT_TRUE(c.shape.face_type(f) == FaceType::Plane || c.shape.face_type(f) == c.curved) << f;
    }
    EXPECT_EQ(planes, c.planes);
  }
}

// The vertices follow the edge's curve, whichever face reaches it first.
TEST(Topology, VerticesRunAlongTheCurve) {
  for (const Shape &s : {must(make_block({10, 20, 30})),
                         must(fillet_vertical(must(make_block({100, 60, 30})), 5))}) {
    for (int i = 0; i < s.edge_count(); ++i) {
      const EdgeInfo &e = s.edge(i);
      ASSERT_EQ(e.vertex_count, 2);
      Curve c = s.edge_curve(i);
      EXPECT_LT(norm(c.start() - e.v1), 1e-7) << i;
      EXPECT_LT(norm(c.end() - e.v2), 1e-7) << i;
    }
  }
}

TEST(Topology, NativeFormatKeepsTheOrder) {
  Shape s = must(make_domed_block({100, 60, 30}, 6));
  auto back = Shape::from_brep(s.to_brep());
  ASSERT_TRUE(back.ok()) << back.error();
  ASSERT_EQ(back->edge_count(), s.edge_count());
  ASSERT_EQ(back->face_count(), s.face_count());
  for (int i = 0; i < s.edge_count(); ++i) {
    EXPECT_EQ(back->edge(i).type, s.edge(i).type);
    EXPECT_LT(norm(back->edge(i).v1 - s.edge(i).v1), 1e-9);
    EXPECT_LT(norm(back->edge(i).v2 - s.edge(i).v2), 1e-9);
  }
  for (int f = 0; f < s.face_count(); ++f)
    EXPECT_EQ(back->face_type(f), s.face_type(f));
  EXPECT_FALSE(Shape::from_brep("not a shape").ok());
}

// A STEP text read back through a file, healed told what was rebuilt.
Result<Shape> read_step_text(const std::string &text, std::string *healed = nullptr) {
  const auto path = std::filesystem::temp_directory_path() / "ncsheet_kernel_test.step";
  std::ofstream(path, std::ios::binary) << text;
  Result<Shape> read = read_step(path.string(), healed);
  std::filesystem::remove(path);
  return read;
}

// A STEP file with an entity the reader could not make sound, whose
// references go round in a circle or that names two entities alike is
// refused with the entity named, not handed to the kernel's checks and
// translator (which would follow the null reference, the circle until the
// stack runs out, or look the name up for minutes).  A reference of the
// wrong kind that the translator follows to a crash is a refused file too.
TEST(Step, ADamagedEntityIsRefusedByName) {
  std::ifstream in(kDemoStep);
  std::stringstream text;
  text << in.rdbuf();
  const std::string step = text.str();
  const std::string_view vertex = "#22 = VERTEX_POINT('',#23);";
  const struct {
    std::string_view from, to, error;
  } cases[] = {
      {vertex, "#22 = VERTEX_POINT('',#13);", "entity #22: "},
      {vertex, "#22 = VERTEX_POINT('',);", "Line 37: Incorrect syntax"},
      {"#20 = ORIENTED_EDGE('',*,*,#21,.F.);", "#20 = ORIENTED_EDGE('',*,*,#20,.F.);",
       "entity #20 refers back to itself"},
      {vertex, "#22 = VERTEX_POINT('',#23);\n#22 = VERTEX_POINT('',#23);",
       "entity #22 is named twice"},
      {"#331 = DEFINITIONAL_REPRESENTATION('',(#332),#336);",
       "#331 = DEFINITIONAL_REPRESENTATION('',(#333),#336);", "the kernel's translator crashed"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.to);
    std::string copy = step;
    const std::size_t at = copy.find(c.from);
    ASSERT_NE(at, std::string::npos);
    const Result<Shape> read = read_step_text(copy.replace(at, c.from.size(), c.to));
    ASSERT_FALSE(read.ok());
    EXPECT_NE(read.error().find(c.error), std::string::npos) << read.error();
  }
  // The file as it is loads whole, with names that only strings and
  // comments repeat.
  std::string sound_text = step;
  sound_text.replace(sound_text.find(vertex), vertex.size(),
                     "#22 = VERTEX_POINT('it''s #22 = ',#23); /* #23 = */");
  const Result<Shape> sound = read_step_text(sound_text);
  ASSERT_TRUE(sound.ok()) << sound.error();
  EXPECT_TRUE(sound->is_solid());
}

// Healing keeps the faces and their order, and says what it rebuilt.
TEST(Step, HealsOnlyWhatIsBroken) {
  const Shape plate = must(make_hole_plate(6, 10, 3, 20));
  const auto path = std::filesystem::temp_directory_path() / "ncsheet_plate.step";
  ASSERT_TRUE(write_step(plate, path.string()).ok());
  std::string healed = "unset";
  const Shape back = must(read_step(path.string(), &healed));
  std::filesystem::remove(path);
  ASSERT_EQ(back.face_count(), plate.face_count());
  ASSERT_EQ(back.edge_count(), plate.edge_count());
  for (int f = 0; f < plate.face_count(); ++f)
    EXPECT_EQ(back.face_type(f), plate.face_type(f)) << f;
  const Shape workpiece = must(read_step(kDemoStep, &healed));
  EXPECT_EQ(healed, "4 faces healed");
  EXPECT_TRUE(workpiece.is_solid());
}

// The closed forms give what the kernel's general method gives.
TEST(Isoclines, ClosedFormsAgreeWithTheGeneralMethod) {
  for (const Shape &s :
       {must(make_cylinder(20, 50)), must(make_sphere(25)), must(make_torus(30, 10)),
        must(make_cone(20, 8, 30)), must(fillet_all(must(make_block({100, 60, 30})), 4)),
        must(make_torus(30, 10)).placed(turned({1, 0, 0}, 90, {1, 2, 3}))}) {
    Box fast = method_box(s), general = method_box(s, true);
    EXPECT_LT(worst(fast, general), 1e-6);
  }
}

TEST(Isoclines, SphereSilhouetteIsTheGreatCircle) {
  Shape s = must(make_sphere(25));
  auto c = s.isoclines(0, {0, 0, 1}, 0, 0.005);
  ASSERT_TRUE(c.ok());
  ASSERT_EQ(c->size(), 1u);
  EXPECT_STREQ((*c)[0].kind(), "circle");
  Box b = (*c)[0].box();
  EXPECT_NEAR(b.max.x, 25, 1e-12);
  EXPECT_NEAR(b.min.y, -25, 1e-12);
  EXPECT_NEAR(b.max.z, 0, 1e-12);
  auto oblique = s.isoclines(0, {1, 1, 1}, 0, 0.005);
  ASSERT_TRUE(oblique.ok());
  ASSERT_EQ(oblique->size(), 1u);
  EXPECT_NEAR((*oblique)[0].box().max.z, 25 * std::sqrt(2.0 / 3.0), 1e-9);
}

TEST(Curves, ArcBoxReachesItsExtremes) {
  const double pi = std::numbers::pi;
  struct Case {
    Arc arc;
    Box want;
  } cases[] = {
      {{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 2, 0, pi / 2}, {{0, 0, 0}, {2, 2, 0}, false}},
      {{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 2, 0, 2 * pi}, {{-2, -2, 0}, {2, 2, 0}, false}},
      {{{1, 1, 1}, {0, 0, 1}, {1, 0, 0}, 1, pi / 4, pi},
       {{1, 1, 0}, {2, 1, 1 + std::sqrt(0.5)}, false}},
      {{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 1, 3 * pi / 2, 5 * pi / 2},
       {{0, -1, 0}, {1, 1, 0}, false}},
  };
  for (const Case &c : cases)
    EXPECT_LT(worst(Curve{c.arc}.box(), c.want), 1e-12) << c.arc.t0 << " to " << c.arc.t1;
}

// The same box to the last bit and the sign of a zero, axis by axis.
void expect_same_bits(const Box &fast, const Box &kernel) {
  for (int k = 0; k < 3; ++k)
    for (const auto &[got, want] :
         {std::pair{fast.min[k], kernel.min[k]}, {fast.max[k], kernel.max[k]}}) {
      EXPECT_EQ(got, want) << "axis " << k;
      EXPECT_EQ(std::signbit(got), std::signbit(want)) << "axis " << k;
    }
}

// The whole shape's exact box is made face by face; a frame whose axes are
// absolute axes in another order or turned round takes its box from the
// absolute box, and in any other frame only the faces that can reach its
// sides are boxed.  Each must be the box the kernel computes (for the whole
// shape at once, or for it turned into the frame), for faces of every kind.
TEST(Boxes, WholeAndInAnyFrameAreTheKernelsOwn) {
  const Shape shapes[] = {must(make_block({100, 60, 30})),
                          must(make_hole_plate(6, 10, 3, 20)),
                          testing::boss_hole_block(),
                          must(fillet_all(must(make_block({100, 60, 30})), 4)),
                          must(make_sphere(25)),
                          must(make_sphere(25)).placed(turned({1, 2, 3}, 40, {-25, 3, 0})),
                          must(make_torus(30, 6)),
                          must(make_domed_block({80, 50, 30}, 6)),
                          must(make_cone(20, 8, 30)),
                          must(chamfer_all(must(make_cylinder(20, 50)), 2))};
  const int orders[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
  // Turns about z, then about the new x: the isometric and trimetric
  // views' among them.
  const double turns[][2] = {
      {0, 0}, {45, 35.264389682754654}, {30, 60}, {-120, 20}, {200, -75}, {90, 90}, {12.5, 170}};
  for (const Shape &shape : shapes) {
    expect_same_bits(shape.box(), kernel_exact_box(shape));
    for (const auto &order : orders) {
      for (int signs = 0; signs < 8; ++signs) {
        Mat3 axes;
        for (int i = 0; i < 3; ++i) {
          Vec3 row{0, 0, 0};
          row[order[i]] = (signs >> i) & 1 ? -1.0 : 1.0;
          axes.row[static_cast<std::size_t>(i)] = row;
        }
        // The frame that turns absolute points into axes' coordinates.
        Frame into;
        for (int i = 0; i < 3; ++i)
          for (int j = 0; j < 3; ++j)
            into.axes.row[static_cast<std::size_t>(j)][i] =
                axes.row[static_cast<std::size_t>(i)][j];
        SCOPED_TRACE(::testing::Message()
                     << "order " << order[0] << order[1] << order[2] << " signs " << signs);
        expect_same_bits(shape.box_in(axes), shape.placed(into).box());
      }
    }
    for (const auto &turn : turns) {
      const double a = turn[0] * std::numbers::pi / 180, b = turn[1] * std::numbers::pi / 180;
      Mat3 axes;
      axes.row[0] = {std::cos(a), std::sin(a), 0};
      axes.row[1] = {-std::sin(a) * std::cos(b), std::cos(a) * std::cos(b), std::sin(b)};
      axes.row[2] = {std::sin(a) * std::sin(b), -std::cos(a) * std::sin(b), std::cos(b)};
      SCOPED_TRACE(::testing::Message() << "turn " << turn[0] << ", " << turn[1]);
      expect_same_bits(shape.box_in(axes), kernel_exact_box_in(shape, axes));
    }
  }
}

} // namespace
} // namespace sim::geo
