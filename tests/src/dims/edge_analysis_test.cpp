// edge_analysis_test.cpp: the edges each view's margins and dimensions can
// attach to, on real bodies.
#include "dims/dims.h"

#include "dims_fixture.h"

#include <algorithm>
#include <array>
#include <functional>
#include <tuple>

namespace dims_test {
namespace {

using Slots = std::array<tag_t, VIEW_EDGE_SLOT_COUNT>;
using Analysis = int (*)(const tag_t *, int, const double[3], const double[3], tag_t[16]);

class EdgeAnalysis : public DimsTest {
protected:
  // Collects the visible bodies and their box (the WCS is absolute).
  void collect() {
    tag_t *solids = nullptr;
    int count = 0;
    EXPECT_EQ(MY_select_screen_view_solid(&solids, &count), 1);
    bodies_.assign(solids, solids + count);
    std::free(solids);
    EXPECT_EQ(MY_solids_box(bodies_.data(), count, lo_, hi_), 1);
  }
  // Runs an analysis on the collected bodies and their box.
  int run(Analysis analysis, Slots &slots) {
    slots.fill(kUnset);
    return analysis(bodies_.data(), static_cast<int>(bodies_.size()), lo_, hi_, slots.data());
  }
  // The slots a successful analysis of the bodies shown fills.
  Slots slots_of(Analysis analysis = analy_elec_top_wc) {
    collect();
    Slots slots{};
    EXPECT_EQ(run(analysis, slots), 1);
    return slots;
  }
  // The slots an analysis of count bodies with the box lo..hi leaves, after
  // it returned result.
  Slots slots_on(const tag_t *bodies, int count, const double *lo, const double *hi,
                 Analysis analysis = analy_elec_top_wc, int result = 1) {
    Slots slots{};
    slots.fill(kUnset);
    EXPECT_EQ(analysis(bodies, count, lo, hi, slots.data()), result);
    return slots;
  }
  // The edge of the bodies running from a to b (either way), or null.
  tag_t edge_between(Vec3 a, Vec3 b) {
    for (tag_t body_tag : bodies_)
      for (tag_t e : edges_of(body_tag)) {
        const EdgeInfo info = edge_info(e);
        if (info.vertex_count == 2 &&
            ((near(info.v1, a) && near(info.v2, b)) || (near(info.v1, b) && near(info.v2, a))))
          return e;
      }
    return NULL_TAG;
  }
  static bool near(Vec3 p, Vec3 q) { return norm(p - q) < 1e-6; }
  // The position of an edge in the scan order (bodies, then edges).
  int scan_index(tag_t edge) {
    int i = 0;
    for (tag_t body_tag : bodies_)
      for (tag_t e : edges_of(body_tag)) {
        if (e == edge)
          return i;
        ++i;
      }
    return -1;
  }

  static constexpr tag_t kUnset = 0xFFFFFFF0u;
  std::vector<tag_t> bodies_;
  double lo_[3] = {0, 0, 0}, hi_[3] = {0, 0, 0};
};

TEST_F(EdgeAnalysis, BlockFillsEverySlotInEachViewFrame) {
  block({100, 60, 30});
  Slots s = slots_of();
  for (int i = 0; i < VIEW_EDGE_SLOT_COUNT; ++i)
    EXPECT_NE(s[i], NULL_TAG) << "slot " << i;
  // Back-face box edges at Z = Zmin.
  EXPECT_EQ(s[0], edge_between({0, 0, 0}, {100, 0, 0}));
  EXPECT_EQ(s[1], edge_between({0, 60, 0}, {100, 60, 0}));
  EXPECT_EQ(s[8], edge_between({0, 0, 0}, {0, 60, 0}));
  EXPECT_EQ(s[9], edge_between({100, 0, 0}, {100, 60, 0}));
  // Full-length edges at any depth: the later of the two; longest: the
  // first of the two equally long ones.
  const std::tuple<int, int, Vec3, Vec3> pairs[] = {{2, 4, {0, 0, 0}, {100, 0, 0}},
                                                    {3, 5, {0, 60, 0}, {100, 60, 0}},
                                                    {10, 12, {0, 0, 0}, {0, 60, 0}},
                                                    {11, 13, {100, 0, 0}, {100, 60, 0}}};
  for (const auto &[any_depth_slot, longest_slot, a, b] : pairs) {
    const tag_t bottom = edge_between(a, b);
    const tag_t top = edge_between(a + Vec3{0, 0, 30}, b + Vec3{0, 0, 30});
    const bool bottom_first = scan_index(bottom) < scan_index(top);
    EXPECT_EQ(s[any_depth_slot], bottom_first ? top : bottom) << any_depth_slot;
    EXPECT_EQ(s[longest_slot], bottom_first ? bottom : top) << longest_slot;
  }
  // Edges along the depth axis are seen as points and fill no slot.
  for (Vec3 corner : {Vec3{0, 0, 0}, Vec3{100, 0, 0}, Vec3{0, 60, 0}, Vec3{100, 60, 0}}) {
    const tag_t vertical = edge_between(corner, corner + Vec3{0, 0, 30});
    ASSERT_NE(vertical, NULL_TAG);
    EXPECT_EQ(std::count(s.begin(), s.end(), vertical), 0);
  }
  // The other views' frames and back faces: front A1 X, A2 Z, back face
  // Y = Ymax; side A1 Y, A2 Z, back face X = Xmin.
  const Analysis front = analy_elec_front_wc, side = analy_elec_right_wc;
  const std::tuple<Analysis, int, Vec3, Vec3> cases[] = {
      {front, 0, {0, 60, 0}, {100, 60, 0}}, {front, 1, {0, 60, 30}, {100, 60, 30}},
      {front, 8, {0, 60, 0}, {0, 60, 30}},  {front, 9, {100, 60, 0}, {100, 60, 30}},
      {side, 0, {0, 0, 0}, {0, 60, 0}},     {side, 1, {0, 0, 30}, {0, 60, 30}},
      {side, 8, {0, 0, 0}, {0, 0, 30}},     {side, 9, {0, 60, 0}, {0, 60, 30}}};
  for (const auto &[analysis, slot, a, b] : cases) {
    SCOPED_TRACE(::testing::Message() << (analysis == front ? "front " : "side ") << slot);
    EXPECT_EQ(slots_of(analysis)[slot], edge_between(a, b));
  }
}

TEST_F(EdgeAnalysis, RoundedCornersLeaveOnlyTheStraightSegments) {
  body(fillet_vertical(*make_block({100, 60, 30}), 5));
  Slots s = slots_of();
  for (int i : {0, 1, 2, 3, 8, 9, 10, 11})
    EXPECT_EQ(s[i], NULL_TAG) << "slot " << i;
  const EdgeInfo lower = edge_info(s[EDGE_X_ONE_MIN_SLOT]);
  EXPECT_NEAR(lower.v1.y, 0, 1e-9);
  EXPECT_NEAR(std::fabs(lower.v1.x - lower.v2.x), 90, 1e-9);
  const EdgeInfo left = edge_info(s[EDGE_Y_ONE_MIN_SLOT]);
  EXPECT_NEAR(left.v1.x, 0, 1e-9);
  EXPECT_NEAR(std::fabs(left.v1.y - left.v2.y), 50, 1e-9);
  EXPECT_NE(s[EDGE_X_ONE_MAX_SLOT], NULL_TAG);
  EXPECT_NE(s[EDGE_Y_ONE_MAX_SLOT], NULL_TAG);
}

TEST_F(EdgeAnalysis, SplitSides) {
  // Two bodies side by side: no edge spans the lower side; of two equally
  // long edges the first met stays.
  const tag_t first = block({50, 60, 30});
  block({50, 60, 30}, {50, 0, 0});
  Slots s = slots_of();
  EXPECT_EQ(s[0], NULL_TAG);
  EXPECT_EQ(s[2], NULL_TAG);
  const auto first_edges = edges_of(first);
  EXPECT_NE(std::find(first_edges.begin(), first_edges.end(), s[EDGE_X_ONE_MIN_SLOT]),
            first_edges.end());
  EXPECT_NE(s[10], NULL_TAG) << "the left side is whole";

  // A notch splits the lower side into 30 and 50: the longer half.
  renew();
  body(boolean(BooleanOp::Cut, *make_block({100, 60, 30}),
               make_block({20, 10, 40})->placed(Frame{{30, -1, -5}, {}})));
  s = slots_of();
  EXPECT_EQ(s[0], NULL_TAG);
  EXPECT_EQ(s[2], NULL_TAG);
  const EdgeInfo longest = edge_info(s[EDGE_X_ONE_MIN_SLOT]);
  EXPECT_NEAR(std::fabs(longest.v1.x - longest.v2.x), 50, 1e-9);
  EXPECT_EQ(std::min(longest.v1.x, longest.v2.x), 50);
}

TEST_F(EdgeAnalysis, AnObliqueEdgeFillsEverySideItTouches) {
  // A square prism turned by 45 degrees: no edge runs along a side, and
  // each top and bottom edge touches two side lines, so the last of them
  // fills two of the touching slots.
  body(make_block({100, 100, 30})->placed(turned(45, {})));
  Slots s = slots_of();
  for (int i : {0, 1, 2, 3, 4, 5, 8, 9, 10, 11, 12, 13})
    EXPECT_EQ(s[i], NULL_TAG) << "slot " << i;
  int most = 0;
  for (int i : {6, 7, 14, 15}) {
    ASSERT_NE(s[i], NULL_TAG);
    most = std::max<int>(most, static_cast<int>(std::count(s.begin(), s.end(), s[i])));
  }
  EXPECT_EQ(most, 2);
}

TEST_F(EdgeAnalysis, ComparisonsOnRoundedValues) {
  // An edge at Y = 10.0 lies on a box side of 10.0004 but not on one of
  // 10.0006 (10.000 against 10.001 at three decimals).
  block({100, 10, 5});
  const std::tuple<double, bool> cases[] = {
      {10.0004, true}, {10.0006, false}, {9.9996, true}, {9.9994, false}};
  collect();
  for (const auto &[ymax, on_side] : cases) {
    const double lo[3] = {0, 0, 0}, hi[3] = {100, ymax, 5};
    const Slots s = slots_on(bodies_.data(), 1, lo, hi);
    for (int i : {1, 3, 5, 7})
      EXPECT_EQ(s[i] != NULL_TAG, on_side) << ymax << " slot " << i;
    EXPECT_NE(s[0], NULL_TAG);
  }
}

TEST_F(EdgeAnalysis, BlankedBodiesContributeNoEdges) {
  BodyOptions hidden;
  hidden.blanked = true;
  const tag_t shown = block({10, 10, 10});
  const tag_t blanked = block({100, 60, 30}, {}, hidden);
  const double lo[3] = {0, 0, 0}, hi[3] = {100, 60, 30};
  const tag_t both[2] = {shown, blanked};
  Slots s = slots_on(both, 2, lo, hi);
  const auto shown_edges = edges_of(shown);
  for (tag_t t : s)
    EXPECT_TRUE(t == NULL_TAG ||
                std::find(shown_edges.begin(), shown_edges.end(), t) != shown_edges.end());
  EXPECT_EQ(s[0], NULL_TAG) << "no edge spans the box";
  EXPECT_NE(s[EDGE_X_ONE_MIN_SLOT], NULL_TAG) << "the small block's edge on the lower side";
  // Every body blanked: every slot null, and still success.
  s = slots_on(&blanked, 1, lo, hi);
  EXPECT_EQ(std::count(s.begin(), s.end(), NULL_TAG), VIEW_EDGE_SLOT_COUNT);
}

TEST_F(EdgeAnalysis, MessagesLoadOncePerModuleLoad) {
  block({10, 10, 10});
  auto opens = [&] { return count(sim::Call::host_fopen); };
  slots_of(analy_elec_top_wc);
  EXPECT_EQ(opens(), 2u) << "both keys of the top view";
  slots_of(analy_elec_top_wc);
  EXPECT_EQ(opens(), 2u) << "kept";
  slots_of(analy_elec_right_wc);
  EXPECT_EQ(opens(), 4u) << "each view has its own";
  reset_module_state(); // as a reload does
  use_lang();
  slots_of(analy_elec_top_wc);
  EXPECT_EQ(opens(), 6u);
}

TEST_F(EdgeAnalysis, MissingKeyStopsAndALaterCallTriesAgain) {
  use_short_lang("analy_elec_top_wc_01:only the first\n");
  const double lo[3] = {0, 0, 0}, hi[3] = {1, 1, 1};
  (void)slots_on(nullptr, 0, lo, hi, analy_elec_top_wc, 0);
  ASSERT_EQ(shown().size(), 1u) << "the lookup's notice only";
  // With the whole file the next call loads both and shows the real text;
  // without a body the slots are not written.
  use_lang();
  (void)slots_on(nullptr, 0, lo, hi, analy_elec_top_wc, 0);
  const Slots s = slots_on(nullptr, 0, lo, hi, analy_elec_front_wc, 0);
  EXPECT_EQ(std::count(s.begin(), s.end(), kUnset), VIEW_EDGE_SLOT_COUNT);
  EXPECT_EQ(shown(), (std::vector<std::string>{shown()[0], message("analy_elec_top_wc_01:"),
                                               message("analy_elec_front_wc_01:")}));
  EXPECT_EQ(count(sim::Call::UF_DRAW_ask_display_state), 0u);
}

TEST_F(EdgeAnalysis, AFailedVertexQueryTakesNoSlot) {
  // The edge right after the back-face edge of slot 0 in scan order gets a
  // failed vertex query; it must not inherit that edge's vertices (and with
  // them slot 0).
  block({100, 60, 30});
  Slots s = slots_of();
  const tag_t slot0 = s[0];
  const int index = scan_index(slot0);
  const auto edges = edges_of(bodies_[0]);
  ASSERT_LT(index + 1, static_cast<int>(edges.size()));
  // The vertex queries before the next edge's: one per edge, plus one per
  // re-read of a longest-edge slot by a later candidate.
  int queries = 0;
  bool seen[VIEW_EDGE_SLOT_COUNT] = {};
  for (int i = 0; i <= index; ++i) {
    const EdgeInfo e = edge_info(edges[static_cast<std::size_t>(i)]);
    const bool along_x = e.v1.y == e.v2.y && e.v1.z == e.v2.z;
    const bool along_y = e.v1.x == e.v2.x && e.v1.z == e.v2.z;
    const int slot = along_x ? (e.v1.y == 0 ? 4 : 5) : along_y ? (e.v1.x == 0 ? 12 : 13) : -1;
    queries += slot >= 0 && seen[slot] ? 2 : 1;
    seen[std::max(slot, 0)] |= slot >= 0;
  }
  renew();
  block({100, 60, 30});
  collect(); // the box asks every edge's vertices too
  const auto box_queries = count(sim::Call::UF_MODL_ask_edge_verts);
  fail("UF_MODL_ask_edge_verts", box_queries + static_cast<std::uint32_t>(queries + 1));
  ASSERT_EQ(run(analy_elec_top_wc, s), 1);
  EXPECT_EQ(s[0], slot0);
  EXPECT_EQ(std::count(s.begin(), s.end(), edges[static_cast<std::size_t>(index + 1)]), 0);
  EXPECT_EQ(session().calls().fired().size(), 1u);
}

TEST_F(EdgeAnalysis, DisplaySwitching) {
  block({100, 60, 30});
  auto switches = [&] {
    return count(sim::Call::UF_DRAW_set_display_state) + count(sim::Call::UF_DRAW_open_drawing);
  };
  // The model shown: no switching at all.
  slots_of(analy_elec_top_wc);
  EXPECT_EQ(switches(), 0u);
  // A drawing shown: the model for the scan, then the same drawing again.
  const tag_t first = page();
  (void)page("two");
  ASSERT_EQ(UF_DRAW_open_drawing(first), 0);
  const auto before = switches();
  slots_of(analy_elec_right_wc);
  EXPECT_EQ(switches() - before, 2u);
  EXPECT_EQ(display_state(), UF_DRAW_DRAWING_DISPLAY);
  EXPECT_EQ(current_drawing(), first);
  // The open drawing cannot be asked: the current drawing is shown again.
  fail("UF_DRAW_ask_current_drawing", 0);
  slots_of(analy_elec_front_wc);
  EXPECT_EQ(display_state(), UF_DRAW_DRAWING_DISPLAY);
  EXPECT_EQ(current_drawing(), first);
}

} // namespace
} // namespace dims_test
