// modl_view_test.cpp: the model views aligned to the machining coordinate
// system and the direction codes.
#include "views/views.h"

#include "host/host.h"
#include "objects/object_store.h"
#include "views_fixture.h"

#include <string>
#include <tuple>

namespace views_test {
namespace {

class ModelViews : public ViewsTest {
protected:
  // The system's views of mcs, into top_, iso_ and code_.
  int make(tag_t mcs) {
    top_ = iso_ = 7;
    code_ = -1;
    return create_modl_view(mcs, &top_, &iso_, &code_);
  }
  Mat3 matrix_of(tag_t view) {
    double m[9] = {};
    EXPECT_EQ(UF_VIEW_ask_view_matrix(view, m), 0);
    Mat3 out;
    out.row = {Vec3{m[0], m[1], m[2]}, Vec3{m[3], m[4], m[5]}, Vec3{m[6], m[7], m[8]}};
    return out;
  }
  std::string name_of(tag_t t) {
    const sim::Object *o = session().objects().find(t);
    return o ? o->name : "";
  }
  tag_t top_ = NULL_TAG, iso_ = NULL_TAG;
  int code_ = 0;
};

TEST_F(ModelViews, EveryAlignedOrientationHasItsCodeAndViews) {
  for (const Orientation &o : all_orientations()) {
    SCOPED_TRACE(o.code);
    ASSERT_EQ(make(csys_rows({1, 2, 3}, o.x, o.y, o.z)), 1);
    EXPECT_EQ(code_, o.code);
    ASSERT_NE(top_, NULL_TAG);
    ASSERT_NE(iso_, NULL_TAG);
    Mat3 t = matrix_of(top_);
    EXPECT_NEAR(dot(t.row[0], o.x), 1, 1e-9); // MCS X points right
    EXPECT_NEAR(dot(t.row[1], o.y), 1, 1e-9); // MCS Y points up
    Mat3 i = matrix_of(iso_);
    EXPECT_NEAR(dot(i.row[0], o.z), 0, 1e-9); // MCS Z points straight up
    EXPECT_GT(dot(i.row[1], o.z), 0.8);
  }
  EXPECT_TRUE(transcript().listing().empty()) << transcript().listing();
}

TEST_F(ModelViews, CodesIgnoreNoiseInTheThirdDecimalAndATiltedSystemHasNone) {
  // Noise in the third decimal is ignored; a system turned 45 degrees about
  // Z gives code 0, the message and no views.
  const double h = std::sqrt(0.5);
  const std::tuple<Vec3, Vec3, Vec3, int> cases[] = {
      {{0.004, 0.999, 0}, {-0.999, 0.004, 0}, {0, 0, 0.9999}, 102},
      {{0.9996, 0, -0.003}, {0, 1, 0}, {0.003, 0, 0.9996}, 101},
      {{0, -0.001, -1.004}, {0, 0.996, 0}, {1, 0, 0.001}, 501},
      {{h, h, 0}, {-h, h, 0}, {0, 0, 1}, 0}};
  for (const auto &[x, y, z, expected] : cases) {
    ASSERT_EQ(make(csys_rows({0, 0, 0}, x, y, z)), 1);
    EXPECT_EQ(code_, expected);
  }
  EXPECT_EQ(top_, NULL_TAG);
  EXPECT_EQ(iso_, NULL_TAG);
  EXPECT_EQ(shown(), std::vector<std::string>{message("create_modl_vie_01:")});
  EXPECT_EQ(session().objects().tags_of_type(UF_view_type).size(), 6u) << "the first three's";
}

TEST_F(ModelViews, FreeNamesAcrossEarlierRuns) {
  ASSERT_EQ(uc6450("", "MY_ANY_VIEW1", 1, 1), 0);
  ASSERT_EQ(uc6450("", "MY_ANY_VIEW2", 1, 1), 0);
  session().objects().create(70, 0, "MY_ANY_VIEW3"); // not a view: does not block
  tag_t mcs = csys({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  ASSERT_EQ(make(mcs), 1);
  EXPECT_EQ(code_, 101);
  EXPECT_EQ(name_of(top_), "MY_ANY_VIEW3");
  EXPECT_EQ(name_of(iso_), "MY_ISO_TARVI_VIEW1");
  ASSERT_EQ(make(mcs), 1);
  EXPECT_EQ(name_of(top_), "MY_ANY_VIEW4");
  EXPECT_EQ(name_of(iso_), "MY_ISO_TARVI_VIEW2");
  // the work view is left on the isometric view
  double m[9];
  ASSERT_EQ(UF_VIEW_ask_view_matrix(NULL_TAG, m), 0);
  EXPECT_NEAR(m[0], std::sqrt(0.5), 1e-12);
}

TEST_F(ModelViews, SavingFailsOrAMessageIsMissing) {
  const std::tuple<std::uint32_t, const char *> cases[] = {{1, "Save modl_view_name View err"},
                                                           {2, "Save modl_view_name ISO View err"}};
  for (const auto &[nth, message] : cases) {
    renew();
    fail("uc6450", nth, 1);
    EXPECT_EQ(make(csys({0, 0, 0}, {0, 1, 0}, {-1, 0, 0})), 0);
    EXPECT_EQ(shown().back(), message);
  }
  renew();
  use_short_lang("create_modl_vie_01:A\ncreate_modl_vie_02:B\n");
  EXPECT_EQ(make(csys({0, 0, 0}, {1, 0, 0}, {0, 1, 0})), 0);
  EXPECT_EQ(count(sim::Call::UF_CSYS_ask_matrix_values), 0u);
}

TEST_F(ModelViews, FaultLoop) {
  int result = -1;
  fault_loop(
      [&] {
        use_lang();
        result = make(csys({5, 5, 5}, {0, 0, 1}, {1, 0, 0})); // Z along +Y: code 3xx
      },
      [&](std::uint64_t k) {
        EXPECT_TRUE(finish().ok()) << k;
        if (k == 0) {
          EXPECT_EQ(result, 1);
          EXPECT_EQ(code_, 302);
        }
        if (result == 1) {
          EXPECT_EQ(top_ != NULL_TAG, code_ != 0) << k;
          EXPECT_EQ(iso_ != NULL_TAG, code_ != 0) << k;
        }
      });
}

} // namespace
} // namespace views_test
