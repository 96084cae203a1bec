// view_aix_test.cpp: the axis markers: 43 model lines on their layer,
// arrows sized by the view scale, letters beside the tips, the plane of
// the Z marker for both projection directions, and the display state.
#include "views/views.h"

#include "place_fixture.h"

#include <cmath>

namespace place_test {
namespace {

constexpr int kLayer = 200;

class AxisMarkers : public PlaceTest {
protected:
  void SetUp() override {
    PlaceTest::SetUp();
    save_aix_layer = kLayer;
  }
  // A = 2, E = 5 on the sheet.
  void sizes() {
    configure("nc_prog_elec_view_aix_size: 2\nnc_prog_elec_view_aix_extend_len: 5\n");
  }
  std::vector<Segment> drawn() {
    std::vector<Segment> out;
    for (tag_t t : model_lines())
      out.push_back(wcs_segment(t));
    return out;
  }
};

void expect_near(Vec3 a, Vec3 b, const char *what) {
  EXPECT_NEAR(a.x, b.x, 1e-9) << what;
  EXPECT_NEAR(a.y, b.y, 1e-9) << what;
  EXPECT_NEAR(a.z, b.z, 1e-9) << what;
}

// Coordinate systems to draw in: the absolute one and one turned and moved
// (Z along absolute +Y, X along absolute +Z).
// name, origin and the axes X, Y, Z
const std::tuple<const char *, Vec3, Vec3, Vec3, Vec3> kSystems[] = {
    {"absolute", {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
    {"turned", {10, -20, 30}, {0, 0, 1}, {1, 0, 0}, {0, 1, 0}},
};

TEST_F(AxisMarkers, ArrowsAndLettersForBothProjections) {
  for (const auto &[name, origin, x, y, z] : kSystems) {
    for (int proj : {3, 2}) {
      SCOPED_TRACE(std::string(name) + (proj == 3 ? " front" : " side"));
      renew();
      sizes();
      mcs(origin, x, y, z);
      // a box whose WCS maxima are (40, 30, 20)
      Vec3 wlo{-60, -10, -5}, whi{40, 30, 20};
      Frame f{origin, {}};
      f.axes.row = {x, y, z};
      Box abs;
      abs.add(f.to_absolute(wlo));
      abs.add(f.to_absolute(whi));
      const double lo[3] = {abs.min.x, abs.min.y, abs.min.z};
      const double hi[3] = {abs.max.x, abs.max.y, abs.max.z};

      ASSERT_EQ(create_view_aix(proj, 0.5, lo, hi), 1);
      const std::vector<tag_t> lines = model_lines();
      ASSERT_EQ(lines.size(), 43u);
      for (tag_t t : lines)
        EXPECT_EQ(session().objects().find(t)->layer, kLayer);
      int status = 0;
      ASSERT_EQ(UF_LAYER_ask_status(kLayer, &status), 0);
      EXPECT_EQ(status, UF_LAYER_ACTIVE_LAYER);
      EXPECT_TRUE(sheet_lines().empty());

      // model lengths at scale 0.5: arrowheads 4, extension 10, letters 6,
      // letter centres 2/2 + 3/2 + 3 = 5.5 sheet mm, 11 model mm, off the axis
      const double a = 4, e = 10, k = 6, g = 11;
      const Vec3 tx{40 + e, 0, 0}, ty{0, 30 + e, 0}, tz{0, 0, 20 + e};
      const std::vector<Segment> s = drawn();
      // X arrow
      expect_near(s[0].start, {}, "X axis from the origin");
      expect_near(s[0].end, tx, "X axis tip");
      expect_near(s[1].start, {tx.x - a, a / 2, 0}, "X head");
      expect_near(s[1].end, tx, "X head");
      expect_near(s[2].end, {tx.x - a, -a / 2, 0}, "X head base");
      expect_near(s[3].start, tx, "X head closed");
      expect_near(s[3].end, s[2].end, "X head closed");
      // Y arrow
      expect_near(s[4].end, ty, "Y axis tip");
      expect_near(s[5].start, {-a / 2, ty.y - a, 0}, "Y head");
      expect_near(s[6].end, {a / 2, ty.y - a, 0}, "Y head base");
      expect_near(s[7].end, s[6].end, "Y head closed");
      // Z arrow: its head in the plane of the projected view
      expect_near(s[8].end, tz, "Z axis tip");
      const Vec3 zb1 = proj == 3 ? Vec3{-a / 2, 0, tz.z - a} : Vec3{0, -a / 2, tz.z - a};
      const Vec3 zb2 = proj == 3 ? Vec3{a / 2, 0, tz.z - a} : Vec3{0, a / 2, tz.z - a};
      expect_near(s[9].start, zb1, "Z head");
      expect_near(s[10].end, zb2, "Z head base");
      expect_near(s[11].start, tz, "Z head closed");
      expect_near(s[11].end, zb2, "Z head closed");
      // first strokes of the letters, around their centres
      expect_near(s[12].start, {tx.x - k / 2 - 0.4237 * k, -g - 0.4776 * k, 0}, "letter X");
      expect_near(s[24].start, {g - 0.0671 * k, ty.y - k / 2 - 0.46 * k, 0}, "letter Y");
      const Vec3 z0 = proj == 3 ? Vec3{g - 0.3629 * k, 0, tz.z - k / 2 - 0.46 * k}
                                : Vec3{0, g - 0.3629 * k, tz.z - k / 2 - 0.46 * k};
      expect_near(s[33].start, z0, "letter Z");
      // planes: X and Y markers at z = 0, Z markers at y = 0 (front) or x = 0
      for (int i = 0; i < 43; ++i) {
        const bool z_marker = (i >= 8 && i < 12) || i >= 33;
        for (Vec3 p : {s[i].start, s[i].end}) {
          const double off_plane = z_marker ? (proj == 3 ? p.y : p.x) : p.z;
          EXPECT_NEAR(off_plane, 0, 1e-9) << i;
        }
      }
      // each letter's strokes close into an outline: every end point is
      // shared by two strokes
      for (auto [first, count] : {std::pair{12, 12}, {24, 9}, {33, 10}}) {
        for (int i = first; i < first + count; ++i) {
          int shared = 0;
          for (int j = first; j < first + count; ++j)
            for (Vec3 p : {s[j].start, s[j].end})
              shared += std::abs(p.x - s[i].end.x) + std::abs(p.y - s[i].end.y) +
                            std::abs(p.z - s[i].end.z) <
                        1e-9;
          EXPECT_EQ(shared, 2) << "stroke " << i;
        }
      }
    }
  }
}

TEST_F(AxisMarkers, BoxAtTheOriginAndOnTheNegativeSide) {
  sizes();
  mcs({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1});
  // maxima at the origin: each axis line is exactly e long
  const double lo[3] = {-30, -30, -30}, hi[3] = {0, 0, 0};
  ASSERT_EQ(create_view_aix(3, 2.0, lo, hi), 1);
  std::vector<Segment> s = drawn();
  ASSERT_EQ(s.size(), 43u);
  EXPECT_DOUBLE_EQ(s[0].end.x, 2.5);
  EXPECT_DOUBLE_EQ(s[4].end.y, 2.5);
  EXPECT_DOUBLE_EQ(s[8].end.z, 2.5);

  // a box wholly on the negative side of X: the line still runs from the
  // origin to the maximum plus e, and the head points toward +X
  renew();
  sizes();
  mcs({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1});
  const double nlo[3] = {-50, 0, 0}, nhi[3] = {-20, 10, 10};
  ASSERT_EQ(create_view_aix(3, 0.5, nlo, nhi), 1);
  s = drawn();
  expect_near(s[0].start, {}, "from the origin");
  expect_near(s[0].end, {-10, 0, 0}, "to the maximum plus e");
  EXPECT_DOUBLE_EQ(s[2].start.x, -14);
}

TEST_F(AxisMarkers, NothingDrawn) {
  const double lo[3] = {0, 0, 0}, hi[3] = {10, 10, 10};
  // a missing key: display state untouched
  write_file(kConfig, "nc_prog_elec_view_aix_size: 2\n");
  page();
  EXPECT_EQ(create_view_aix(3, 1, lo, hi), 0);
  EXPECT_TRUE(model_lines().empty());
  EXPECT_EQ(count(sim::Call::UF_DRAW_ask_display_state), 0u);
  EXPECT_EQ(display_state(), UF_DRAW_DRAWING_DISPLAY);
  // scales that size nothing
  for (double scale : {0.0, -1.0, double(NAN), double(INFINITY)}) {
    renew();
    sizes();
    EXPECT_EQ(create_view_aix(3, scale, lo, hi), 0) << scale;
    EXPECT_TRUE(model_lines().empty()) << scale;
  }
}

TEST_F(AxisMarkers, FaultLoopNeverDrawsOnThePage) {
  int result = -1;
  tag_t drawing = NULL_TAG;
  fault_loop(
      [&] {
        use_lang();
        sizes();
        save_aix_layer = kLayer;
        mcs({1, 2, 3}, {0, 1, 0}, {-1, 0, 0}, {0, 0, 1});
        drawing = page();
        const double lo[3] = {0, 0, 0}, hi[3] = {10, 10, 10};
        result = create_view_aix(2, 0.5, lo, hi);
      },
      [&](std::uint64_t k) {
        expect_finish_ok(k);
        EXPECT_TRUE(sheet_lines().empty()) << k;
        const std::size_t drawn_lines = model_lines().size();
        if (result == 0) {
          EXPECT_EQ(drawn_lines, 0u) << k;
        }
        if (k == 0) {
          EXPECT_EQ(result, 1);
          EXPECT_EQ(drawn_lines, 43u);
        }
        EXPECT_GE(drawn_lines, result == 1 ? 42u : 0u) << k; // one failure loses one line
        std::size_t off_layer = 0;
        for (tag_t t : model_lines())
          off_layer += session().objects().find(t)->layer != kLayer;
        EXPECT_LE(off_layer, 1u) << k;
        // the page is shown again unless showing it was the call that failed
        if (injected() != "UF_DRAW_open_drawing") {
          EXPECT_EQ(display_state(), UF_DRAW_DRAWING_DISPLAY) << k;
          EXPECT_EQ(session().component<sim::draw::Drawings>().current, drawing) << k;
        }
      });
}

} // namespace
} // namespace place_test
