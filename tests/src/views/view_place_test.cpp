// view_place_test.cpp: the workpiece views on the first page: the fitting
// numbers, every aligned orientation filling its rectangle, the top of the
// box in WCS, the switches, code 0, a part without workpiece, missing
// settings and a fault loop.
#include "views/views.h"

#include "place_fixture.h"

#include <array>
#include <cmath>
#include <cstring>
#include <sstream>
#include <tuple>

namespace place_test {

namespace {

constexpr int kLayer = 253;

// The layout of the fitting examples: rectangle 150 x 100 about (0, 0),
// gap 10; isometric rectangle 80 x 60 about (300, 200).
std::string layout(double view_select, double iso_flag = 1) {
  std::ostringstream out;
  out << "nc_prog_elec_top_and_front_view_bound_x: 150\n"
         "nc_prog_elec_top_and_front_view_bound_y: 100\n"
         "nc_prog_elec_top_and_front_view_point_x: 0\n"
         "nc_prog_elec_top_and_front_view_point_y: 0\n"
         "nc_prog_elec_top_and_front_view_space: 10\n"
         "nc_prog_elec_iso_view_bound_x: 80\n"
         "nc_prog_elec_iso_view_bound_y: 60\n"
         "nc_prog_elec_iso_view_point_x: 300\n"
         "nc_prog_elec_iso_view_point_y: 200\n"
      << "require_nc_prog_elec_iso_view: " << iso_flag << "\n"
      << "nc_prog_elec_view_select: " << view_select << "\n";
  return out.str();
}

class ViewPlacement : public PlaceTest {
protected:
  void SetUp() override {
    PlaceTest::SetUp();
    aix_choice = 0;
    save_aix_layer = kLayer;
  }
  // The workpiece 100 x 50 x 20 (absolute X, Y, Z) from (5, 5, -20), the
  // absolute MCS moved down by 30, its top and isometric views saved, and
  // the page shown; returns the body.
  tag_t workpiece() {
    const tag_t body = block({100, 50, 20}, {5, 5, -20});
    mcs({0, 0, -30}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1});
    top_ = saved_view("MY_ANY_VIEW1", *sim::views::standard_view("TOP"));
    iso_ = saved_view("MY_ISO_TARVI_VIEW1", *sim::views::standard_view("tfr-iso"));
    drawing_ = page();
    return body;
  }
  // Places the views with a model point at the WCS origin (made without a
  // host call) as the origin of their dimensions.
  int place(int code = 101) {
    box_top_z_ = -999;
    const tag_t origin = add_point(session(), sim::cam::work_frame(session()).origin);
    return import_view(top_, iso_, code, origin, &box_top_z_);
  }
  // A fresh session with the layout of the fitting examples.
  void renew_with(const std::string &settings) {
    renew();
    configure(settings);
  }
  // The MCS of rows x, y, z at origin made the WCS, its model views made
  // by the system, and the views placed on a new page.
  int place_in(Vec3 origin, Vec3 x, Vec3 y, Vec3 z) {
    int code = 0;
    EXPECT_EQ(create_modl_view(mcs(origin, x, y, z), &top_, &iso_, &code), 1);
    page();
    code_ = code;
    return place(code);
  }

  tag_t top_ = NULL_TAG, iso_ = NULL_TAG, drawing_ = NULL_TAG;
  double box_top_z_ = -999;
  int code_ = 0;
};

void expect_sheet_display(const UF_DRAW_view_display_t &d) {
  EXPECT_EQ(std::vector<int>({d.hidden_line, d.hidden_line_font, d.hidden_line_width, d.silhouettes,
                              d.smooth_edges, d.smooth_edge_gaps, d.referenced_edges_only}),
            std::vector<int>({UF_DRAW_YES, UF_DRAW_FONT_INVISIBLE, UF_DRAW_WIDTH_NORMAL,
                              UF_DRAW_YES, UF_DRAW_YES, UF_DRAW_NO, 0}));
}

TEST_F(ViewPlacement, FittingNumbers) {
  // view select, scale, reference points of the top and the projected view, projection
  const std::tuple<int, double, std::array<double, 2>, std::array<double, 2>, int> cases[] = {
      // stacked: the height limits, s = 90 / 70, block height 100
      {1, 90.0 / 70.0, {0, 17.857142857142858}, {0, -37.142857142857146}, 3},
      // side by side: the width limits, s = 140 / 120, block width 150
      {0, 140.0 / 120.0, {-16.666666666666668, 0}, {63.333333333333336, 0}, 2},
  };
  for (const auto &[view_select, scale, top_ref, side_ref, proj_dir] : cases) {
    SCOPED_TRACE(view_select);
    renew_with(layout(view_select));
    workpiece();
    session().component<sim::draw::Drawings>().drawing_display.monochrome = 1;
    ASSERT_EQ(place(), 1);

    const std::vector<tag_t> views = member_views();
    ASSERT_EQ(views.size(), 3u);
    const auto &top = member(views[0]);
    const auto &side = member(views[1]);
    const auto &iso = member(views[2]);
    EXPECT_EQ(top.model_view, top_);
    EXPECT_EQ(top.drawing, drawing_);
    EXPECT_NEAR(top.scale, scale, 1e-12);
    EXPECT_NEAR(top.ref[0], top_ref[0], 1e-9);
    EXPECT_NEAR(top.ref[1], top_ref[1], 1e-9);
    EXPECT_EQ(side.parent, views[0]);
    EXPECT_EQ(side.proj_dir, proj_dir);
    EXPECT_NEAR(side.scale, scale, 1e-12); // taken from the top view
    EXPECT_NEAR(side.ref[0], side_ref[0], 1e-9);
    EXPECT_NEAR(side.ref[1], side_ref[1], 1e-9);
    // a = 100, b = 50, c = 20: r = 111.803, the height limits
    EXPECT_EQ(iso.model_view, iso_);
    EXPECT_NEAR(iso.scale, 60 / std::sqrt(100.0 * 100 + 50 * 50), 1e-12);
    EXPECT_EQ(iso.ref[0], 300);
    EXPECT_EQ(iso.ref[1], 200);
    for (tag_t v : views) {
      expect_sheet_display(member(v).display);
      EXPECT_GE(member(v).updates, 1);
    }
    // the views are centred on their reference points
    const Rect drawn = drawn_box(views[0], {5, 5, -20}, {105, 55, 0});
    EXPECT_NEAR((drawn.x0 + drawn.x1) / 2, top_ref[0], 1e-9);
    EXPECT_NEAR((drawn.y0 + drawn.y1) / 2, top_ref[1], 1e-9);

    const auto &drawings = session().component<sim::draw::Drawings>();
    EXPECT_FALSE(drawings.border_display);
    EXPECT_EQ(drawings.drawing_display.monochrome, 0);
    EXPECT_EQ(drawings.display_state, UF_DRAW_DRAWING_DISPLAY);
    EXPECT_EQ(drawings.current, drawing_);
    // the box top in WCS: absolute 0 is 30 above the MCS origin
    EXPECT_EQ(box_top_z_, 30);
    // markers, and the size note 100x50x20 on the page
    EXPECT_EQ(model_lines().size(), 43u);
    ASSERT_EQ(notes().size(), 1u);
    EXPECT_EQ(notes()[0]->lines.at(0), "100x50x20");
    EXPECT_EQ(notes()[0]->drawing, drawing_);
    EXPECT_TRUE(transcript().listing().empty()) << transcript().listing();
  }
}

TEST_F(ViewPlacement, EveryOrientationFillsItsRectangleAndGivesTheBoxTopInWcs) {
  const Vec3 lo{-30, 10, 5}, hi{70, 60, 25}, origin{7, -3, 2}; // 100 x 50 x 20
  const double bx = 150, by = 100, sp = 10;
  for (const auto &o : views_test::all_orientations()) {
    for (int select : {1, 0}) {
      SCOPED_TRACE(std::to_string(o.code) + (select ? " stacked" : " side by side"));
      renew_with(layout(select));
      block(hi - lo, lo);
      ASSERT_EQ(place_in(origin, o.x, o.y, o.z), 1);
      ASSERT_EQ(code_, o.code);
      EXPECT_NEAR(box_top_z_, std::max(dot(lo - origin, o.z), dot(hi - origin, o.z)), 1e-9);
      const std::vector<tag_t> views = member_views();
      ASSERT_EQ(views.size(), 3u);
      const Rect top = drawn_box(views[0], lo, hi);
      const Rect side = drawn_box(views[1], lo, hi);
      Rect all = top;
      all.add(side.x0, side.y0);
      all.add(side.x1, side.y1);
      // inside the rectangle, touching it where the fit is limited
      const double eps = 1e-9;
      EXPECT_GE(all.x0, -bx / 2 - eps);
      EXPECT_LE(all.x1, bx / 2 + eps);
      EXPECT_GE(all.y0, -by / 2 - eps);
      EXPECT_LE(all.y1, by / 2 + eps);
      EXPECT_TRUE(std::abs(all.x1 - all.x0 - bx) < 1e-6 || std::abs(all.y1 - all.y0 - by) < 1e-6)
          << all.x1 - all.x0 << " x " << all.y1 - all.y0;
      if (select) { // front view below, the gap between them
        EXPECT_NEAR(top.y0 - side.y1, sp, 1e-9);
        EXPECT_NEAR(top.x0, side.x0, 1e-9);
        EXPECT_NEAR(top.x1, side.x1, 1e-9);
      } else { // side view right
        EXPECT_NEAR(side.x0 - top.x1, sp, 1e-9);
        EXPECT_NEAR(top.y0, side.y0, 1e-9);
        EXPECT_NEAR(top.y1, side.y1, 1e-9);
      }
    }
  }
}

TEST_F(ViewPlacement, FiveHundredCodeUsesTheLengthsAlongTheMcsAxes) {
  // code 501 (MCS Z along absolute +X, Y along +Y): the top view is 20
  // wide (absolute Z) and 50 high (Y), the front view adds 100 (X).
  configure(layout(1));
  block({100, 50, 20});
  ASSERT_EQ(place_in({0, 0, 0}, {0, 0, -1}, {0, 1, 0}, {1, 0, 0}), 1);
  ASSERT_EQ(code_, 501);
  const std::vector<tag_t> views = member_views();
  ASSERT_EQ(views.size(), 3u);
  // s = min(150 / 20, 90 / 150) = 0.6, block height 100
  EXPECT_NEAR(member(views[0]).scale, 0.6, 1e-12);
  EXPECT_NEAR(member(views[0]).ref[1], 50 - 0.6 * 25, 1e-9);
  EXPECT_NEAR(member(views[1]).ref[1], -50 + 0.6 * 50, 1e-9);
  ASSERT_EQ(notes().size(), 1u);
  EXPECT_EQ(notes()[0]->lines.at(0), "20x50x100");
}

TEST_F(ViewPlacement, Switches) {
  // aix choice, ISO flag, view select, views, lines, projection
  const std::tuple<int, double, double, std::size_t, std::size_t, int> cases[] = {
      {1, 1, 1, 3, 0, 3},                           // no markers
      {0, 0.9, 1, 2, 43, 3},                        // an ISO flag of 0.9 counts as 0
      {0, -1, 1, 3, 43, 3},  {0, 1, 0.5, 3, 43, 2}, // a view select of 0.5 counts as 0: side view
      {0, 1, -2, 3, 43, 3},
  };
  for (const auto &[aix, iso_flag, select, view_count, line_count, proj_dir] : cases) {
    SCOPED_TRACE(::testing::Message()
                 << "aix " << aix << " iso " << iso_flag << " select " << select);
    renew_with(layout(select, iso_flag));
    aix_choice = aix;
    workpiece();
    ASSERT_EQ(place(), 1);
    const std::vector<tag_t> views = member_views();
    ASSERT_EQ(views.size(), view_count);
    EXPECT_EQ(member(views[1]).proj_dir, proj_dir);
    EXPECT_EQ(model_lines().size(), line_count);
    EXPECT_EQ(notes().size(), 1u); // views, note as usual
    for (tag_t t : model_lines())
      EXPECT_EQ(session().objects().find(t)->layer, kLayer);
  }
}

TEST_F(ViewPlacement, CodeZeroPlacesNothingButGivesTheBoxTop) {
  configure(layout(1));
  block({100, 50, 20}, {5, 5, -20});
  // turned 45 degrees about Z, origin 10 below the block's top
  const double h = std::sqrt(0.5);
  mcs({0, 0, -10}, {h, h, 0}, {-h, h, 0}, {0, 0, 1});
  page();
  double box_top_z = -999;
  ASSERT_EQ(import_view(NULL_TAG, NULL_TAG, 0, NULL_TAG, &box_top_z), 1);
  EXPECT_NEAR(box_top_z, 10, 1e-9);
  EXPECT_EQ(shown(), std::vector<std::string>{"analy elec body dir err"});
  EXPECT_TRUE(member_views().empty());
  EXPECT_TRUE(model_lines().empty());
  EXPECT_TRUE(notes().empty());
  EXPECT_TRUE(finish().ok());
}

TEST_F(ViewPlacement, NoWorkpieceStops) {
  configure(layout(1));
  session().objects().find(workpiece())->blanked = true; // a blanked body is no workpiece
  EXPECT_EQ(place(), 0);
  EXPECT_EQ(box_top_z_, -999);
  EXPECT_EQ(shown(), std::vector<std::string>{message("import_vie_01:")});
  EXPECT_TRUE(member_views().empty());
  EXPECT_TRUE(model_lines().empty());
  EXPECT_TRUE(finish().ok());
}

TEST_F(ViewPlacement, EverySettingIsRequired) {
  // the keys of the layout and the page size
  std::vector<std::string> keys = {"prog_sheet_high:", "prog_sheet_width:"};
  std::istringstream lines(layout(0));
  for (std::string line; std::getline(lines, line);)
    keys.push_back(line.substr(0, line.find(':') + 1));
  const std::string installed = read_file(kConfig);
  ASSERT_EQ(keys.size(), 13u);
  for (const std::string &key : keys) {
    SCOPED_TRACE(key);
    renew();
    workpiece();
    // the key's line taken out
    std::string text = installed;
    const std::size_t at = text.find("\n" + key);
    ASSERT_NE(at, std::string::npos);
    text.erase(at + 1, text.find('\n', at + 1) - at);
    write_file(kConfig, text);
    EXPECT_EQ(place(), 0);
    EXPECT_EQ(box_top_z_, -999);
    EXPECT_TRUE(member_views().empty());
    EXPECT_EQ(count(sim::Call::UF_OBJ_cycle_objs_in_part), 0u);
  }
}

TEST_F(ViewPlacement, FaultLoop) {
  int result = -1;
  const UF_DRF_lettering_preferences_t before = lettering();
  fault_loop(
      [&] {
        use_lang();
        aix_choice = 0;
        save_aix_layer = kLayer;
        workpiece();
        result = place();
      },
      [&](std::uint64_t k) {
        expect_finish_ok(k);
        EXPECT_TRUE(sheet_lines().empty()) << k;
        for (const auto *note : notes()) {
          EXPECT_EQ(note->drawing, drawing_) << k;
          EXPECT_EQ(note->lines, std::vector<std::string>{"100x50x20"}) << k;
        }
        // the size note puts the lettering back unless putting it back fails
        const UF_DRF_lettering_preferences_t after = lettering();
        if (injected_use() != "UF_DRF_set_lettering_preferences #2") {
          EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0) << k;
        }
        if (k == 0) {
          EXPECT_EQ(result, 1);
          EXPECT_EQ(member_views().size(), 3u);
          EXPECT_EQ(model_lines().size(), 43u);
          EXPECT_EQ(notes().size(), 1u);
        }
        if (result == 1) {
          EXPECT_EQ(box_top_z_, 30) << k;
        } else {
          EXPECT_EQ(result, 0) << k;
          EXPECT_TRUE(member_views().empty()) << k;
          EXPECT_TRUE(model_lines().empty()) << k;
          EXPECT_TRUE(notes().empty()) << k;
        }
        if (injected() != "UF_DRAW_open_drawing") {
          EXPECT_EQ(display_state(), UF_DRAW_DRAWING_DISPLAY) << k << " " << injected();
        }
      });
}

} // namespace
} // namespace place_test
