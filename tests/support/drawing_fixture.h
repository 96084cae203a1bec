//===- drawing_fixture.h - A session in the bracket, for drawings ---------===//
//
// DrawingSessionTest opens the API bracket for each test and closes it after;
// helpers make bodies, model views, drawings at a custom size (A3 unless
// told), member views and notes, and change the lettering preferences.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_TESTS_SUPPORT_DRAWING_FIXTURE_H
#define NCSHEET_TESTS_SUPPORT_DRAWING_FIXTURE_H

#include "drawing_info.h"
#include "session_fixture.h"

#include "geometry/build.h"
#include "geometry/model.h"
#include "host/core.h"
#include "host/draw.h"
#include "host/drf.h"
#include "modelviews/model_views.h"

#include <functional>

namespace sim::testing {

class DrawingSessionTest : public SessionTest {
protected:
  void SetUp() override {
    SessionTest::SetUp();
    ASSERT_EQ(UF_initialize(), 0);
  }
  void TearDown() override {
    EXPECT_EQ(UF_terminate(), 0);
    SessionTest::TearDown();
  }

  /// A shape of the kernel added as a body of the part, its origin at.
  void add_shape(const geo::Result<geo::Shape> &shape, geo::Vec3 at = {}) {
    ASSERT_TRUE(shape.ok()) << shape.error();
    geo::Frame frame;
    frame.origin = at;
    geo::add_body(session(), shape->placed(frame), {});
  }
  /// A model view saved under name with a standard view's matrix.
  tag_t model_view(const char *name, const char *standard) {
    return views::save_view(session(), name, *views::standard_view(standard), standard);
  }
  tag_t make_drawing(const char *name, double width = 420, double height = 297) {
    UF_DRAW_info_t info = sheet_info(width, height);
    tag_t drawing = NULL_TAG;
    EXPECT_EQ(UF_DRAW_create_drawing(name, &info, &drawing), 0);
    return drawing;
  }
  /// A member view of model_view on drawing with its reference point at (x, y).
  tag_t import_view(tag_t drawing, tag_t model_view, double x, double y, double scale = 1) {
    UF_DRAW_view_info_t info{};
    EXPECT_EQ(UF_DRAW_initialize_view_info(&info), 0);
    info.view_scale = scale;
    double ref[2] = {x, y};
    tag_t view = NULL_TAG;
    EXPECT_EQ(UF_DRAW_import_view(drawing, model_view, ref, &info, &view), 0);
    return view;
  }
  /// Asks the lettering preferences, changes them and sets them.
  void set_lettering(const std::function<void(UF_DRF_lettering_preferences_t &)> &change) {
    UF_DRF_lettering_preferences_t lettering{};
    ASSERT_EQ(UF_DRF_ask_lettering_preferences(&lettering), 0);
    change(lettering);
    ASSERT_EQ(UF_DRF_set_lettering_preferences(&lettering), 0);
  }
  /// A one-line note at (x, y).
  tag_t note(const char *text, double x, double y) {
    std::string line = text;
    char *lines[] = {line.data()};
    double origin[3] = {x, y, 0};
    tag_t made = NULL_TAG;
    EXPECT_EQ(UF_DRF_create_note(1, lines, origin, 0, &made), 0);
    return made;
  }
};

} // namespace sim::testing

#endif
