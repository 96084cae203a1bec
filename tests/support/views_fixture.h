// views_fixture.h: a system test session with bodies and coordinate
// systems, for the workpiece box, the model views and the origin point.
#ifndef NCSHEET_TESTS_VIEWS_FIXTURE_H
#define NCSHEET_TESTS_VIEWS_FIXTURE_H

#include "cam/cam_state.h"
#include "command/command.h"
#include "geometry/build.h"
#include "geometry/model.h"
#include "my_func/my_func.h"
#include "system_fixture.h"

#include <gtest/gtest.h>

namespace views_test {

using namespace sim::geo;

class ViewsTest : public sim::testing::SystemTest {
protected:
  void SetUp() override {
    SystemTest::SetUp();
    use_lang();
  }
  // The command's language file, as ufusr sets it.
  static void use_lang() {
    ASSERT_TRUE(text_copy(lang_file, sizeof lang_file, "D:\\kv_conf\\lang\\ncsheet_elec_uni.txt"));
  }
  tag_t body(Result<Shape> shape, BodyOptions options = {}) {
    EXPECT_TRUE(shape.ok()) << shape.error();
    return add_body(session(), shape.ok() ? *shape : Shape(), options);
  }
  tag_t csys(Vec3 origin, Vec3 x, Vec3 y) {
    Frame f;
    f.origin = origin;
    Vec3 ux = unit(x);
    Vec3 uy = unit(y - dot(y, ux) * ux);
    f.axes.row = {ux, uy, cross(ux, uy)};
    return session().component<sim::cam::CamState>().add_csys("MCS", f);
  }
  // A coordinate system whose rows are given exactly.
  tag_t csys_rows(Vec3 origin, Vec3 x, Vec3 y, Vec3 z) {
    Frame f;
    f.origin = origin;
    f.axes.row = {x, y, z};
    return session().component<sim::cam::CamState>().add_csys("MCS", f);
  }
};

} // namespace views_test

#endif
