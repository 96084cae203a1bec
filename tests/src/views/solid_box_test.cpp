// solid_box_test.cpp: the workpiece bodies and their box.
#include "my_func/solid_box.h"

#include "host/host.h"
#include "objects/object_store.h"
#include "views_fixture.h"

#include <cstdlib>
#include <functional>
#include <string>
#include <tuple>

namespace views_test {
namespace {

class SolidBox : public ViewsTest {
protected:
  // The bodies that qualify, as the system collects them.
  std::vector<tag_t> collect() {
    tag_t *solids = reinterpret_cast<tag_t *>(1);
    int count = -1;
    EXPECT_EQ(MY_select_screen_view_solid(&solids, &count), 1);
    std::vector<tag_t> out(solids, solids + std::max(count, 0));
    if (count == 0) {
      EXPECT_EQ(solids, nullptr);
    }
    std::free(solids);
    return out;
  }
  // The union of the kernel's exact boxes of the bodies.
  Box exact(const std::vector<tag_t> &bodies) {
    Box b;
    for (tag_t t : bodies)
      b.add(find_body(session(), t)->shape.box());
    return b;
  }
};

TEST_F(SolidBox, OnlyShownSolidsOnWorkOrSelectableLayersQualifyAndPassTheChecks) {
  ASSERT_EQ(UF_LAYER_set_status(20, UF_LAYER_REFERENCE_LAYER), 0);
  ASSERT_EQ(UF_LAYER_set_status(21, UF_LAYER_INACTIVE_LAYER), 0);
  BodyOptions visible_only, invisible, blanked, selectable;
  visible_only.layer = 20;
  invisible.layer = 21;
  blanked.blanked = true;
  selectable.layer = 7;
  const tag_t sheet = body(make_sheet(10, 10));
  body(make_block({1, 1, 1}), visible_only);
  body(make_block({1, 1, 1}), invisible);
  body(make_block({1, 1, 1}), blanked);
  EXPECT_TRUE(collect().empty());
  tag_t work = body(make_block({1, 1, 1}));
  tag_t other = body(make_sphere(2), selectable);
  EXPECT_EQ(collect(), (std::vector<tag_t>{work, other}));
  // Bodies that fail the box's checks.
  const tag_t face = find_body(session(), work)->faces[0];
  const std::tuple<std::vector<tag_t>, const char *> cases[] = {
      {{work, NULL_TAG}, "you post solid is null"},
      {{work, face}, "you post solid is not body_type"},
      {{sheet}, "you post solid is not MODL_SOLID"}};
  for (const auto &[bodies, message] : cases) {
    double lo[3], hi[3];
    EXPECT_EQ(MY_solids_box(bodies.data(), static_cast<int>(bodies.size()), lo, hi), 0);
    ASSERT_FALSE(shown().empty());
    EXPECT_EQ(shown().back(), message);
  }
  double lo[3], hi[3];
  EXPECT_EQ(MY_solid_box_iso(NULL_TAG, lo, hi), 0);
  EXPECT_EQ(shown().back(), "err! solid is null solid tag.  ( MY_solid_box_iso )");
  EXPECT_EQ(MY_solid_box_iso(sheet, lo, hi), 0);
  EXPECT_EQ(shown().back(), " err! solid is not solid type. ( MY_solid_box_edge_box )");
}

struct BoxCase {
  const char *name;
  std::function<std::vector<Result<Shape>>()> bodies;
};

class SolidBoxShapes : public SolidBox, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(SolidBoxShapes, EqualsTheKernelsExactBox) {
  for (auto &shape : GetParam().bodies())
    body(std::move(shape));
  std::vector<tag_t> solids = collect();
  ASSERT_FALSE(solids.empty());
  const std::size_t objects = session().objects().size();
  double view_min[3] = {}, view_max[3] = {};
  ASSERT_EQ(MY_solids_box(solids.data(), static_cast<int>(solids.size()), view_min, view_max), 1);
  Box want = exact(solids);
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(view_min[i], want.min[i], 1e-6) << i;
    EXPECT_NEAR(view_max[i], want.max[i], 1e-6) << i;
  }
  EXPECT_EQ(session().objects().size(), objects); // the isoclines are gone
  EXPECT_TRUE(transcript().listing().empty()) << transcript().listing();
  EXPECT_TRUE(finish().ok());
}

Result<Shape> at(Result<Shape> s, Vec3 where) {
  if (!s.ok())
    return s;
  return s->placed(Frame{where, {}});
}

using Shapes = std::vector<Result<Shape>>;
// clang-format off
const BoxCase kCases[] = {
    {"block", [] { return Shapes{at(make_block({100, 60, 30}), {-50, -30, -30})}; }},
    {"filleted_block", [] { return Shapes{fillet_all(*make_block({100, 60, 30}), 5)}; }},
    {"cylinder", [] { return Shapes{at(make_cylinder(20, 50), {3, 4, 5})}; }},
    {"sphere", [] { return Shapes{make_sphere(25)}; }},
    {"torus", [] { return Shapes{make_torus(30, 10)}; }},
    {"domed_block", [] { return Shapes{make_domed_block({100, 60, 30}, 6)}; }},
    {"side_by_side",
     [] { return Shapes{make_block({50, 40, 20}), at(make_cylinder(15, 35), {90, 20, -5})}; }},
    {"step_part",
     [] { return Shapes{read_step(NCSHEET_SOURCE_DIR "/examples/demo/workpiece.step")}; }},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Bodies, SolidBoxShapes, ::testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.name); });

// Every fallible host call fails once in turn: no crash, every array freed,
// no curve left behind unless its deletion failed, and a box that is never
// larger than the exact one.
TEST_F(SolidBox, FaultLoop) {
  int result = 0;
  double lo[3] = {}, hi[3] = {};
  std::vector<tag_t> solids;
  fault_loop(
      [&] {
        use_lang();
        body(fillet_vertical(*make_block({40, 30, 20}), 4));
        body(at(make_sphere(10), {60, 0, 0}));
        tag_t *found = nullptr;
        int count = 0;
        result = 0;
        solids.clear();
        if (MY_select_screen_view_solid(&found, &count) == 1) {
          solids.assign(found, found + count);
          std::free(found);
          result = MY_solids_box(solids.data(), count, lo, hi);
        }
      },
      [&](std::uint64_t k) {
        expect_finish_ok(k);
        if (k == 0) {
          EXPECT_EQ(result, 1);
        }
        if (result == 1 && !solids.empty()) {
          Box want = exact(solids);
          for (int i = 0; i < 3; ++i) {
            EXPECT_GE(lo[i], want.min[i] - 1e-6);
            EXPECT_LE(hi[i], want.max[i] + 1e-6);
          }
        }
      });
}

} // namespace
} // namespace views_test
