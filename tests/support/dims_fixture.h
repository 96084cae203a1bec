// dims_fixture.h: a system test session with workpiece bodies, a machining
// coordinate system made the WCS, its model views and origin point, and a
// sheet page holding the top view and a projected view, for the edge
// analysis and the ordinate dimensions.
#ifndef NCSHEET_TESTS_DIMS_FIXTURE_H
#define NCSHEET_TESTS_DIMS_FIXTURE_H

#include "dims/dims.h"
#include "drafting/drafting.h"
#include "drafting/ordinate.h"
#include "host/host.h"
#include "my_func/solid_box.h"
#include "objects/object_store.h"
#include "session/status.h"
#include "views/views.h"
#include "views_fixture.h"

#include <cstdlib>
#include <functional>
#include <limits>

namespace dims_test {

using namespace sim::geo;

inline constexpr double kAny = std::numeric_limits<double>::quiet_NaN();

// What a sheet set-up made.
struct Sheet {
  tag_t mcs = NULL_TAG;
  int code = 0;
  tag_t drawing = NULL_TAG;
  tag_t top = NULL_TAG;       // the top view on the drawing
  tag_t projected = NULL_TAG; // the front (below) or side (right) view
  tag_t mcs_point = NULL_TAG;
  std::vector<tag_t> solids;
  double view_min[3] = {0, 0, 0};
  double view_max[3] = {0, 0, 0};
};

// One ordinate dimension as the host keeps it.
struct Dim {
  tag_t tag = NULL_TAG;
  int margin_type = 0;
  std::string text;
  tag_t object = NULL_TAG;
  char kind = '?'; // 'e' edge, 'p' model point, 'l' model line
  int modifier = 0;
  Vec3 anchor; // absolute
};

class DimsTest : public views_test::ViewsTest {
protected:
  // The machining coordinate system at origin with axes x and y, made the
  // WCS; its model views and origin point; the workpiece bodies and box;
  // and a drawing showing the top view at scale (centre (200, 160)) and the
  // projected view in direction proj_dir.  The drawing is left shown.
  Sheet make_sheet(Vec3 origin, Vec3 x, Vec3 y, int proj_dir = UF_DRAW_PROJ_BELOW,
                   double scale = 1.0) {
    Sheet sheet;
    sheet.mcs = csys(origin, x, y);
    EXPECT_TRUE(session().component<sim::cam::CamState>().set_wcs(sheet.mcs));
    tag_t top_model = NULL_TAG, iso_model = NULL_TAG;
    EXPECT_EQ(create_modl_view(sheet.mcs, &top_model, &iso_model, &sheet.code), 1);
    EXPECT_EQ(create_mcs_ori_point(sheet.mcs, &sheet.mcs_point), 1);
    tag_t *solids = nullptr;
    int count = 0;
    EXPECT_EQ(MY_select_screen_view_solid(&solids, &count), 1);
    sheet.solids.assign(solids, solids + count);
    std::free(solids);
    EXPECT_EQ(MY_solids_box(sheet.solids.data(), count, sheet.view_min, sheet.view_max), 1);

    sheet.drawing = page();
    UF_DRAW_view_info_t view_info{};
    EXPECT_EQ(UF_DRAW_initialize_view_info(&view_info), 0);
    view_info.view_scale = scale;
    double top_at[2] = {200, 160};
    EXPECT_EQ(UF_DRAW_import_view(sheet.drawing, top_model, top_at, &view_info, &sheet.top), 0);
    const bool right = proj_dir == UF_DRAW_PROJ_RIGHT;
    double projected_at[2] = {right ? 340.0 : 200.0, right ? 160.0 : 60.0};
    EXPECT_EQ(UF_DRAW_add_orthographic_view(sheet.drawing, sheet.top, proj_dir, projected_at,
                                            &sheet.projected),
              0);
    return sheet;
  }

  // A fault loop over body alone: setup runs first in every fresh session
  // and its host calls never fail; then the k-th fallible call of body
  // fails, k = 1..N.  Returns N.
  std::uint64_t fault_loop_after(const std::function<void()> &setup,
                                 const std::function<void()> &body,
                                 const std::function<void(std::uint64_t)> &check) {
    new_session();
    reset_system();
    setup();
    const std::uint64_t base = session().calls().fallible_total();
    body();
    const std::uint64_t n = session().calls().fallible_total() - base;
    check(0);
    for (std::uint64_t k = 1; k <= n; ++k) {
      SCOPED_TRACE("fallible call " + std::to_string(k) + " of " + std::to_string(n) + " fails");
      new_session();
      reset_system();
      setup();
      session().calls().fail_kth(base + k);
      body();
      check(k);
      if (::testing::Test::HasFatalFailure())
        break;
    }
    return n;
  }

  using Dims = int (*)(tag_t, tag_t, const double *, const double *, const tag_t *, int);
  int run_dims(Dims dims, tag_t view, const Sheet &s) {
    return dims(view, s.mcs_point, s.view_min, s.view_max, s.solids.data(),
                static_cast<int>(s.solids.size()));
  }
  int top_dims(const Sheet &s) { return run_dims(create_top_view_dims, s.top, s); }
  int front_dims(const Sheet &s) { return run_dims(create_front_view_dims, s.projected, s); }
  int side_dims(const Sheet &s) { return run_dims(create_side_view_dims, s.projected, s); }

  // The objects with a payload of type P, in creation order.
  template <class P> std::vector<std::pair<tag_t, const P *>> objects_of() {
    std::vector<std::pair<tag_t, const P *>> out;
    session().objects().for_each([&](const sim::Object &o) {
      if (const auto *p = dynamic_cast<const P *>(o.payload.get()))
        out.emplace_back(o.tag, p);
    });
    return out;
  }
  // The ordinate dimensions of a view in creation order.
  std::vector<Dim> dims_in(tag_t view) {
    std::vector<Dim> out;
    for (auto [tag, d] : objects_of<sim::drf::OrdDimensionPayload>())
      if (d->at.view == view) {
        const auto *margin = sim::drf::find_ordinate_margin(session(), d->margin);
        out.push_back({tag, margin ? margin->type : 0, d->text, d->at.object, kind_of(d->at.object),
                       d->at.modifier, d->at.model});
      }
    return out;
  }
  // The margins of a view in creation order.
  std::vector<const sim::drf::OrdMarginPayload *> margins_in(tag_t view) {
    std::vector<const sim::drf::OrdMarginPayload *> out;
    for (auto [tag, m] : objects_of<sim::drf::OrdMarginPayload>())
      if (m->at.view == view)
        out.push_back(m);
    return out;
  }
  char kind_of(tag_t tag) {
    const sim::Object *object = session().objects().find(tag);
    const sim::Payload *p = object ? object->payload.get() : nullptr;
    return dynamic_cast<const TopologyPayload *>(p) ? 'e'
           : dynamic_cast<const PointPayload *>(p)  ? 'p'
           : dynamic_cast<const CurvePayload *>(p)  ? 'l'
                                                    : '?';
  }
  // Model lines (or points) made after the set-up (construction geometry).
  template <class P = CurvePayload> std::vector<tag_t> made_after(tag_t after) {
    std::vector<tag_t> out;
    for (auto [tag, p] : objects_of<P>())
      if (tag > after)
        out.push_back(tag);
    return out;
  }
  static std::string ordinate_text_of(double value) { return sim::drf::ordinate_text(value); }
  // The vertices of an edge (absolute).
  EdgeInfo edge_info(tag_t edge) {
    const TopologyPayload *t = find_topology(session(), edge);
    EXPECT_NE(t, nullptr);
    const BodyPayload *b = t ? find_body(session(), t->body) : nullptr;
    return b ? b->shape.edge(t->index) : EdgeInfo{};
  }
  // The edges of a body in the host's list order.
  std::vector<tag_t> edges_of(tag_t body_tag) {
    const BodyPayload *b = find_body(session(), body_tag);
    return b ? b->edges : std::vector<tag_t>{};
  }

  // Checks a view's dimensions against the expected list: margin type,
  // text, kind of object and the anchor in WCS coordinates (kAny: not
  // checked).
  struct Expect {
    int margin_type;
    std::string text;
    char kind;
    Vec3 anchor_wcs = {kAny, kAny, kAny};
  };
  void expect_dims(tag_t view, const std::vector<Expect> &expected) {
    const std::vector<Dim> got = dims_in(view);
    ASSERT_EQ(got.size(), expected.size());
    const Frame wcs = sim::cam::work_frame(session());
    for (std::size_t i = 0; i < got.size(); ++i) {
      SCOPED_TRACE("dimension " + std::to_string(i + 1));
      EXPECT_EQ(got[i].margin_type, expected[i].margin_type);
      EXPECT_EQ(got[i].text, expected[i].text);
      EXPECT_EQ(got[i].kind, expected[i].kind);
      const Vec3 at = wcs.to_frame(got[i].anchor);
      for (int k = 0; k < 3; ++k)
        if (!std::isnan(expected[i].anchor_wcs[k])) {
          EXPECT_NEAR(at[k], expected[i].anchor_wcs[k], 1e-9) << "axis " << k;
        }
      if (got[i].kind == 'e') {
        // the host anchored at the vertex the modifier names
        const EdgeInfo e = edge_info(got[i].object);
        EXPECT_EQ(got[i].anchor, got[i].modifier == UF_DRF_FIRST_END ? e.v1 : e.v2);
      }
    }
  }

  // The drafting preferences as they are now.
  std::pair<std::vector<int>, std::vector<double>> prefs() {
    const auto &d = session().component<sim::drf::Drafting>();
    return {std::vector<int>(d.int_prefs.begin(), d.int_prefs.end()),
            std::vector<double>(d.real_prefs.begin(), d.real_prefs.end())};
  }
  // After a fault-loop run: the drawing shown again unless reopening it
  // was the call that failed, and the end-of-session checks.
  void expect_recovered(std::uint64_t k, tag_t drawing) {
    if (injected() != "UF_DRAW_open_drawing") {
      EXPECT_EQ(display_state(), UF_DRAW_DRAWING_DISPLAY) << k;
      EXPECT_EQ(current_drawing(), drawing) << k;
    }
    expect_finish_ok(k);
  }
};

} // namespace dims_test

#endif
