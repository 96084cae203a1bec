// place_fixture.h: a system test session for the view placement, the axis
// markers and the size note: settings that win over the installed
// definition file, an A3 page shown, blocks as the workpiece, the WCS set
// to a machining coordinate system, and readers of what the part holds.
#ifndef NCSHEET_TESTS_VIEWS_PLACE_FIXTURE_H
#define NCSHEET_TESTS_VIEWS_PLACE_FIXTURE_H

#include "views_fixture.h"

#include "cam/cam_state.h"
#include "drafting/drafting.h"
#include "drawings/drawings.h"
#include "drawings/member_views.h"
#include "geometry/curve.h"
#include "host/host.h"
#include "objects/object_store.h"
#include "post/post.h"
#include "runtime/runtime.h"
#include "modelviews/model_views.h"

#include <array>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace place_test {

using namespace sim::geo;

constexpr const char *kConfig = "D:\\kv_conf\\config_prog_sheet_mr.def";

// A line as two points.
struct Segment {
  Vec3 start, end;
};

// A rectangle on the drawing.
struct Rect {
  double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
  void add(double x, double y) {
    x0 = std::min(x0, x);
    y0 = std::min(y0, y);
    x1 = std::max(x1, x);
    y1 = std::max(y1, y);
  }
};

class PlaceTest : public views_test::ViewsTest {
protected:
  // Settings that win over the installed definition file (the first
  // occurrence of a key counts).
  void configure(const std::string &lines) {
    const auto disk = session().runtime().resolve(kConfig);
    ASSERT_TRUE(disk.has_value());
    std::string bytes;
    {
      std::ifstream in(*disk, std::ios::binary);
      bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::ofstream out(*disk, std::ios::binary | std::ios::trunc);
    out << lines << bytes;
  }

  // An A3 landscape page, current and shown, made without a host call.
  tag_t page(const char *name = "prog_sheet1") {
    UF_DRAW_info_t info{};
    info.size_state = UF_DRAW_CUSTOM_SIZE;
    info.size.custom_size.height = 297;
    info.size.custom_size.length = 420;
    info.drawing_scale = 1;
    info.units = UF_PART_METRIC;
    info.projection_angle = UF_DRAW_THIRD_ANGLE_PROJECTION;
    tag_t drawing = NULL_TAG;
    EXPECT_EQ(sim::draw::create_drawing(session(), name, info, drawing), 0);
    return drawing;
  }

  // A block of size with its lowest corner at corner.
  tag_t block(Vec3 size, Vec3 corner = {}) {
    auto shape = make_block(size);
    EXPECT_TRUE(shape.ok()) << shape.error();
    Frame at;
    at.origin = corner;
    return add_body(session(), shape->placed(at), {});
  }

  // A machining coordinate system made the WCS.
  tag_t mcs(Vec3 origin, Vec3 x, Vec3 y, Vec3 z) {
    const tag_t t = csys_rows(origin, x, y, z);
    EXPECT_TRUE(session().component<sim::cam::CamState>().set_wcs(t));
    return t;
  }

  // A saved model view of matrix rows (right, up, out), made without a
  // host call.
  tag_t saved_view(const char *name, const Mat3 &matrix) {
    return sim::views::save_view(session(), name, matrix, "TOP");
  }

  [[nodiscard]] std::vector<tag_t> member_views() {
    std::vector<tag_t> out;
    for (tag_t t : session().objects().tags_of_type(UF_view_type))
      if (sim::draw::find_member_view(session(), t))
        out.push_back(t);
    return out;
  }
  [[nodiscard]] const sim::draw::MemberViewPayload &member(tag_t t) {
    return *sim::draw::find_member_view(session(), t);
  }

  // The model lines (not lines on a drawing), in creation order.
  [[nodiscard]] std::vector<tag_t> model_lines() {
    std::vector<tag_t> out;
    for (tag_t t : session().objects().tags_of_type(3))
      if (session().objects().payload_as<CurvePayload>(t))
        out.push_back(t);
    return out;
  }
  [[nodiscard]] std::vector<tag_t> sheet_lines() {
    std::vector<tag_t> out;
    for (tag_t t : session().objects().tags_of_type(sim::drf::kSheetLineType))
      if (sim::drf::find_sheet_line(session(), t))
        out.push_back(t);
    return out;
  }
  [[nodiscard]] std::vector<const sim::drf::NotePayload *> notes() {
    std::vector<const sim::drf::NotePayload *> out;
    for (tag_t t : session().objects().tags_of_type(sim::drf::kNoteType))
      if (const auto *n = sim::drf::find_note(session(), t))
        out.push_back(n);
    return out;
  }

  // A model line in WCS coordinates.
  [[nodiscard]] Segment wcs_segment(tag_t line) {
    const auto *curve = session().objects().payload_as<CurvePayload>(line);
    EXPECT_NE(curve, nullptr);
    Segment s{curve->curve.start(), curve->curve.end()};
    return {to_wcs(s.start), to_wcs(s.end)};
  }
  [[nodiscard]] Vec3 to_wcs(Vec3 p) {
    double in[3] = {p.x, p.y, p.z}, out[3] = {};
    EXPECT_EQ(UF_CSYS_map_point(UF_CSYS_WORK_COORDS, in, UF_CSYS_ROOT_WCS_COORDS, out), 0);
    return {out[0], out[1], out[2]};
  }

  // The drawing rectangle that the corners of the box lo..hi cover in a
  // member view.
  [[nodiscard]] Rect drawn_box(tag_t view, Vec3 lo, Vec3 hi) {
    Rect r;
    for (int i = 0; i < 8; ++i) {
      const double p[3] = {i & 1 ? hi.x : lo.x, i & 2 ? hi.y : lo.y, i & 4 ? hi.z : lo.z};
      double at[2] = {};
      EXPECT_EQ(UF_VIEW_map_model_to_drawing(view, p, at), 0);
      r.add(at[0], at[1]);
    }
    return r;
  }

  [[nodiscard]] UF_DRF_lettering_preferences_t lettering() {
    return session().component<sim::drf::Drafting>().lettering;
  }
  // The host call the fault loop made fail ("" when none), and with its
  // number among the calls of its kind ("UF_... #2").
  [[nodiscard]] std::string injected_use() {
    for (const sim::Event &e : transcript().events())
      if (e.kind == sim::EventKind::FaultInjected)
        return e.detail;
    return {};
  }
  [[nodiscard]] std::string injected() {
    const std::string use = injected_use();
    return use.substr(0, use.find(' '));
  }
  // The end-of-session checks pass; a host list stays behind only when
  // deleting it was the call that failed.
  void expect_finish_ok(std::uint64_t k) {
    const bool list_kept = injected() == "UF_MODL_delete_list";
    const sim::FinishReport report = finish();
    EXPECT_EQ(report.unfreed_arrays, 0u) << k;
    EXPECT_EQ(report.files_left_open, 0u) << k;
    if (!list_kept) {
      EXPECT_TRUE(report.ok()) << k << " " << injected_use() << " "
                               << (report.failures.empty() ? "" : report.failures[0]);
    }
  }
  [[nodiscard]] int display_state() {
    return session().component<sim::draw::Drawings>().display_state;
  }
};

} // namespace place_test

#endif
