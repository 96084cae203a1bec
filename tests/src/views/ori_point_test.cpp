// ori_point_test.cpp: the model point at the machining origin.
#include "views/views.h"

#include "host/host.h"
#include "views_fixture.h"

namespace views_test {
namespace {

class OriginPoint : public ViewsTest {};

TEST_F(OriginPoint, PointAtTheOriginAskingTheDisplayStateInDraftingOnly) {
  tag_t mcs = csys({12.5, -3, 30}, {0, 1, 0}, {-1, 0, 0});
  tag_t point = NULL_TAG;
  ASSERT_EQ(create_mcs_ori_point(mcs, &point), 1);
  double at[3] = {};
  ASSERT_EQ(UF_CURVE_ask_point_data(point, at), 0);
  EXPECT_EQ((Vec3{at[0], at[1], at[2]}), (Vec3{12.5, -3, 30}));
  EXPECT_EQ(count(sim::Call::UF_DRAW_ask_display_state), 0u) << "the CAM application";
  session().set_application(UF_APP_DRAFTING);
  ASSERT_EQ(create_mcs_ori_point(mcs, &point), 1);
  EXPECT_EQ(count(sim::Call::UF_DRAW_ask_display_state), 1u);
}

TEST_F(OriginPoint, FailuresShowTheMessageAndAMissingOneStops) {
  const std::string text = message("create_mcs_ori_poin_01:");
  // no point at a guessed origin when the system cannot be asked
  const std::pair<const char *, unsigned> cases[] = {{"UF_CURVE_create_point", 1},
                                                     {"UF_CSYS_ask_csys_info", 0}};
  for (auto [call, points] : cases) {
    renew();
    tag_t mcs = csys({1, 2, 3}, {1, 0, 0}, {0, 1, 0});
    fail(call, 1, 1);
    tag_t point = 77;
    EXPECT_EQ(create_mcs_ori_point(mcs, &point), 0) << call;
    EXPECT_EQ(point, 77u);
    EXPECT_EQ(shown(), std::vector<std::string>{text});
    EXPECT_EQ(count(sim::Call::UF_CURVE_create_point), points);
  }
  renew();
  use_short_lang("other_01:x\n");
  tag_t point = NULL_TAG;
  EXPECT_EQ(create_mcs_ori_point(csys({0, 0, 0}, {1, 0, 0}, {0, 1, 0}), &point), 0);
  EXPECT_EQ(count(sim::Call::UF_CURVE_create_point), 0u) << "a missing message stops";
}

} // namespace
} // namespace views_test
