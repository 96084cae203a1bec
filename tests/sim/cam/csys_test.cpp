// Coordinate systems: orthonormalisation of a scenario's axes, the
// row layout of the nine matrix values, perturbations that survive to the
// third decimal, the WCS, and the refusals.
#include "cam/cam_state.h"
#include "cam/frame.h"
#include "cam_fixture.h"
#include "host/csys.h"
#include "session/status.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using sim::geo::Vec3;
namespace cam = sim::cam;

void expect_rotation(const sim::geo::Mat3 &m) {
  for (int r = 0; r < 3; ++r) {
    EXPECT_NEAR(sim::geo::norm(m.row[r]), 1.0, 1e-12) << "row " << r;
    for (int s = r + 1; s < 3; ++s)
      EXPECT_NEAR(sim::geo::dot(m.row[r], m.row[s]), 0.0, 1e-12) << r << "," << s;
  }
  EXPECT_NEAR(sim::geo::dot(sim::geo::cross(m.row[0], m.row[1]), m.row[2]), 1.0, 1e-12);
}

TEST(FrameFromAxes, MakesProperRotations) {
  const double s = std::sqrt(0.5), n = std::hypot(1, 0.0004);
  const struct {
    Vec3 x, y;
    std::array<double, 9> expected;
  } cases[] = {
      {{1, 0, 0}, {0, 1, 0}, {1, 0, 0, 0, 1, 0, 0, 0, 1}},
      {{0, 1, 0}, {-1, 0, 0}, {0, 1, 0, -1, 0, 0, 0, 0, 1}}, // turned 90 degrees about Z
      {{2, 0, 0}, {5, 3, 0}, {1, 0, 0, 0, 1, 0, 0, 0, 1}},   // scaled, Y not perpendicular
      {{1, 0, 0}, {0, 0, 1}, {1, 0, 0, 0, 0, 1, 0, -1, 0}},  // Z axis along -Y
      {{0, 0, -1}, {0, 1, 0}, {0, 0, -1, 0, 1, 0, 1, 0, 0}},
      {{1, 1, 0}, {-1, 1, 0}, {s, s, 0, -s, s, 0, 0, 0, 1}}, // tilted 45 degrees
      // A small perturbation is a small real rotation: X leans towards Y,
      // so Y leans back from X.
      {{1, 0.0004, 0}, {0, 1, 0}, {1 / n, 0.0004 / n, 0, -0.0004 / n, 1 / n, 0, 0, 0, 1}},
  };
  for (const auto &c : cases) {
    const auto frame = cam::frame_from_axes({1, 2, 3}, c.x, c.y);
    ASSERT_TRUE(frame) << frame.error();
    expect_rotation(frame->axes);
    const auto values = cam::matrix_values(frame->axes);
    for (int i = 0; i < 9; ++i)
      EXPECT_NEAR(values[i], c.expected[i], 1e-12) << "value " << i;
    EXPECT_EQ(frame->origin, (Vec3{1, 2, 3}));
  }
}

TEST(FrameFromMatrix, KeepsNearlyOrthonormalValuesAndRefusesOthers) {
  const auto kept = cam::frame_from_matrix({}, {1.0004, 0, 0, 0, 0.9996, 0, 0, 0, 1});
  ASSERT_TRUE(kept) << kept.error();
  EXPECT_EQ(cam::matrix_values(kept->axes)[0], 1.0004);
  EXPECT_EQ(cam::matrix_values(kept->axes)[4], 0.9996);
  EXPECT_FALSE(cam::frame_from_matrix({}, {1.01, 0, 0, 0, 1, 0, 0, 0, 1})); // not unit
  EXPECT_FALSE(cam::frame_from_matrix({}, {1, 0, 0, 0.1, 1, 0, 0, 0, 1}));  // not perpendicular
  EXPECT_FALSE(cam::frame_from_matrix({}, {1, 0, 0, 0, 1, 0, 0, 0, -1}));   // left-handed
  // Degenerate axes.
  EXPECT_FALSE(cam::frame_from_axes({}, {0, 0, 0}, {0, 1, 0}));
  EXPECT_FALSE(cam::frame_from_axes({}, {1, 0, 0}, {3, 0, 0}));
  EXPECT_FALSE(cam::frame_from_axes({}, {1, 0, 0}, {0, 0, 0}));
}

class Csys : public sim::testing::CamHostTest {
protected:
  std::array<double, 9> values_of(const char *name, double *origin = nullptr) {
    tag_t matrix = NULL_TAG;
    double at[3] = {};
    EXPECT_EQ(UF_CSYS_ask_csys_info(named(name), &matrix, origin ? origin : at), 0);
    EXPECT_EQ(session().objects().find(matrix)->type, cam::kMatrixType);
    std::array<double, 9> v{};
    EXPECT_EQ(UF_CSYS_ask_matrix_values(matrix, v.data()), 0);
    return v;
  }
};

// The nine values are the rows of the axes in absolute coordinates, and
// perturbations survive to the third decimal.
TEST_F(Csys, MatrixValuesAreRowsOfTheAxesInAbsoluteCoordinates) {
  load_part(R"("csys": {
    "TURNED": {"origin": [10, 20, 30], "x": [0, 1, 0], "y": [-1, 0, 0]},
    "P0": {"origin": [0, 0, 30]},
    "P4": {"origin": [0, 0, 30], "x": [1, 0.0004, 0]},
    "P6": {"origin": [0, 0, 30], "x": [1, 0.0006, 0]},
    "BIG": {"origin": [0, 0, 30], "matrix": [1.0004, 0, 0, 0, 1, 0, 0, 0, 1]},
    "SMALL": {"origin": [0, 0, 30], "matrix": [0.9996, 0, 0, 0, 1, 0, 0, 0, 1]},
    "MOVED": {"origin": [0, 0.002, 30]}})");
  double origin[3] = {};
  const auto v = values_of("TURNED", origin);
  EXPECT_EQ((std::array{origin[0], origin[1], origin[2]}), (std::array{10.0, 20.0, 30.0}));
  const double expected[9] = {0, 1, 0, -1, 0, 0, 0, 0, 1};
  for (int i = 0; i < 9; ++i)
    EXPECT_NEAR(v[i], expected[i], 1e-15) << "value " << i;
  const auto round3 = [](double v) { return std::round(v * 1000) / 1000; };
  EXPECT_EQ(round3(values_of("P4")[1]), round3(values_of("P0")[1])); // 0.0004 -> 0.000
  EXPECT_NE(round3(values_of("P6")[1]), round3(values_of("P4")[1])); // 0.0006 -> 0.001
  EXPECT_EQ(values_of("BIG")[0], 1.0004);
  EXPECT_EQ(values_of("SMALL")[0], 0.9996);
  EXPECT_EQ(round3(values_of("BIG")[0]), round3(values_of("SMALL")[0]));
  values_of("MOVED", origin);
  EXPECT_EQ(origin[1], 0.002);
}

// A WCS moved and turned: the codes of the mapping are easy to swap.
TEST_F(Csys, SetWcsMovesTheWorkFrame) {
  load_part(R"("csys": {"MCS": {"origin": [5, 7, 9], "x": [0, 1, 0], "y": [-1, 0, 0]}})");
  EXPECT_EQ(cam::work_frame(session()).origin, (Vec3{0, 0, 0}));
  ASSERT_EQ(UF_CSYS_set_wcs(named("MCS")), 0);
  EXPECT_EQ(session().component<cam::CamState>().wcs_csys(), named("MCS"));
  EXPECT_EQ(cam::work_frame(session()).origin, (Vec3{5, 7, 9}));
  // Absolute (5, 8, 9) lies on the WCS X axis.
  double p[3] = {5, 8, 9};
  ASSERT_EQ(UF_CSYS_map_point(UF_CSYS_WORK_COORDS, p, UF_CSYS_ROOT_WCS_COORDS, p), 0);
  EXPECT_NEAR(p[0], 1, 1e-12);
  EXPECT_NEAR(p[1], 0, 1e-12);
  EXPECT_NEAR(p[2], 0, 1e-12);
  double q[3] = {0, 2, -1};
  ASSERT_EQ(UF_CSYS_map_point(UF_CSYS_ROOT_WCS_COORDS, q, UF_CSYS_WORK_COORDS, q), 0);
  EXPECT_NEAR(q[0], 3, 1e-12); // 2 along WCS Y = absolute -X
  EXPECT_NEAR(q[1], 7, 1e-12);
  EXPECT_NEAR(q[2], 8, 1e-12);
  EXPECT_NE(UF_CSYS_map_point(1, q, 3, q), 0);
}

TEST_F(Csys, WrongObjectsAreRefused) {
  load_part(R"("csys": {"MCS": {}})");
  tag_t matrix = NULL_TAG;
  double origin[3] = {}, v[9];
  ASSERT_EQ(UF_CSYS_ask_csys_info(named("MCS"), &matrix, origin), 0);
  EXPECT_EQ(UF_CSYS_ask_csys_info(matrix, &matrix, origin), sim::status::kWrongType);
  EXPECT_EQ(UF_CSYS_ask_csys_info(NULL_TAG, &matrix, origin), sim::status::kBadTag);
  EXPECT_EQ(UF_CSYS_ask_matrix_values(named("MCS"), v), sim::status::kWrongType);
  EXPECT_EQ(UF_CSYS_set_wcs(matrix), sim::status::kWrongType);
  EXPECT_EQ(UF_CSYS_set_wcs(NULL_TAG), sim::status::kBadTag);
  EXPECT_EQ(cam::work_frame(session()).origin, (Vec3{0, 0, 0}));
}

TEST_F(Csys, ScenarioMistakesNameTheirPlace) {
  const std::pair<const char *, const char *> cases[] = {
      {R"("csys": {"A": {"x": [0, 0, 0]}})", "/part/csys/A"},
      {R"("csys": {"A": {"x": [1, 0, 0], "y": [2, 0, 0]}})", "/part/csys/A"},
      {R"("csys": {"A": {"origin": [1, 2]}})", "/part/csys/A/origin"},
      {R"("csys": {"A": {"matrix": [1, 0, 0, 0, 1, 0, 0, 0, -1]}})", "/part/csys/A"},
      {R"("csys": {"A": {"matrix": [1, 0, 0]}})", "/part/csys/A/matrix"},
      {R"("csys": {"A": {"matrix": [1, 0, 0, 0, 1, 0, 0, 0, 1], "x": [1, 0, 0]}})", "/part/csys/A"},
      {R"("csys": {"A": {"z": [0, 0, 1]}})", "/part/csys/A"},
      {R"("csys": {"A": {}}, "wcs": "B")", "/part/wcs"},
  };
  for (const auto &[keys, path] : cases)
    expect_refused(keys, "", path);
}

} // namespace
