// place_fixture.h: a system test session for the view placement, the axis
// markers and the size note: settings that win over the installed
// definition file, an A3 page shown, blocks as the workpiece, the WCS set
// to a machining coordinate system, and readers of what the part holds.
#ifndef NCSHEET_TESTS_VIEWS_PLACE_FIXTURE_H
#define NCSHEET_TESTS_VIEWS_PLACE_FIXTURE_H

#include "views_fixture.h"

#include "cam/cam_state.h"
#include "drafting/drafting.h"
#include "drawings/member_views.h"
#include "geometry/curve.h"
#include "host/host.h"
#include "objects/object_store.h"
#include "post/post.h"
#include "runtime/runtime.h"
#include "modelviews/model_views.h"

#include <array>
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
  void configure(const std::string &lines) { write_file(kConfig, lines + read_file(kConfig)); }

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

  // The objects of a type that keep passes, in creation order.
  template <class F> std::vector<tag_t> objects(int type, F &&keep) {
    std::vector<tag_t> out;
    for (tag_t t : session().objects().tags_of_type(type))
      if (keep(t))
        out.push_back(t);
    return out;
  }
  [[nodiscard]] std::vector<tag_t> member_views() {
    return objects(UF_view_type,
                   [&](tag_t t) { return sim::draw::find_member_view(session(), t); });
  }
  [[nodiscard]] const sim::draw::MemberViewPayload &member(tag_t t) {
    return *sim::draw::find_member_view(session(), t);
  }
  // The model lines (not lines on a drawing), in creation order.
  [[nodiscard]] std::vector<tag_t> model_lines() {
    return objects(3, [&](tag_t t) { return session().objects().payload_as<CurvePayload>(t); });
  }
  [[nodiscard]] std::vector<tag_t> sheet_lines() {
    return objects(sim::drf::kSheetLineType,
                   [&](tag_t t) { return sim::drf::find_sheet_line(session(), t); });
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
    const auto to_wcs = [](Vec3 p) {
      double in[3] = {p.x, p.y, p.z}, out[3] = {};
      EXPECT_EQ(UF_CSYS_map_point(UF_CSYS_WORK_COORDS, in, UF_CSYS_ROOT_WCS_COORDS, out), 0);
      return Vec3{out[0], out[1], out[2]};
    };
    return {to_wcs(curve->curve.start()), to_wcs(curve->curve.end())};
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
};

} // namespace place_test

#endif
