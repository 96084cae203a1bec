// views_fixture.h: a system test session with the workpiece: bodies and
// blocks, coordinate systems, the 24 aligned orientations and an A3 page;
// the base of the tests of the views, their placement and the dimensions.
#ifndef NCSHEET_TESTS_VIEWS_FIXTURE_H
#define NCSHEET_TESTS_VIEWS_FIXTURE_H

#include "cam/cam_state.h"
#include "command/command.h"
#include "drawings/drawings.h"
#include "geometry/build.h"
#include "geometry/model.h"
#include "my_func/my_func.h"
#include "drawing_info.h"
#include "system_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace views_test {

using namespace sim::geo;

// The MCS of a direction code: the Z axis of the hundreds digit and the
// second axis of the units digit.
struct Orientation {
  int code;
  Vec3 x, y, z;
};

inline std::vector<Orientation> all_orientations() {
  const Vec3 zs[6] = {{0, 0, 1}, {0, 0, -1}, {0, 1, 0}, {0, -1, 0}, {1, 0, 0}, {-1, 0, 0}};
  const Vec3 xy[4] = {{1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, {0, -1, 0}};
  const Vec3 xz[4] = {{1, 0, 0}, {0, 0, 1}, {-1, 0, 0}, {0, 0, -1}};
  const Vec3 yz[4] = {{0, 1, 0}, {0, 0, 1}, {0, -1, 0}, {0, 0, -1}};
  std::vector<Orientation> out;
  for (int h = 0; h < 6; ++h)
    for (int u = 0; u < 4; ++u) {
      Orientation o{(h + 1) * 100 + u + 1, {}, {}, zs[h]};
      if (h < 4) {
        o.x = h < 2 ? xy[u] : xz[u];
        o.y = cross(o.z, o.x);
      } else {
        o.y = yz[u];
        o.x = cross(o.y, o.z);
      }
      out.push_back(o);
    }
  return out;
}

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
  // A fresh session with the language file set again.
  void renew() {
    new_session();
    use_lang();
  }
  // A language file of these lines instead.
  void use_short_lang(const char *lines) {
    write_file("D:\\kv_conf\\lang\\short.txt", lines);
    ASSERT_TRUE(text_copy(lang_file, sizeof lang_file, "D:\\kv_conf\\lang\\short.txt"));
  }
  std::string message(const char *key) {
    char text[MESSAGE_BUFSIZE] = "";
    EXPECT_EQ(read_lang_message(key, text, lang_file), 1);
    return text;
  }

  tag_t body(Result<Shape> shape, BodyOptions options = {}) {
    EXPECT_TRUE(shape.ok()) << shape.error();
    return add_body(session(), shape.ok() ? *shape : Shape(), options);
  }
  // A block of size with its lowest corner at corner.
  tag_t block(Vec3 size, Vec3 corner = {}, BodyOptions options = {}) {
    Result<Shape> s = make_block(size);
    EXPECT_TRUE(s.ok());
    return body(s->placed(Frame{corner, {}}), options);
  }
  // A frame turned by degrees about Z, origin at origin.
  static Frame turned(double degrees, Vec3 origin) {
    const double a = degrees * 3.14159265358979323846 / 180.0;
    Frame f{origin, {}};
    f.axes.row = {Vec3{std::cos(a), std::sin(a), 0}, Vec3{-std::sin(a), std::cos(a), 0},
                  Vec3{0, 0, 1}};
    return f;
  }
  // A coordinate system with X along x and Y along y made square to it.
  tag_t csys(Vec3 origin, Vec3 x, Vec3 y) {
    const Vec3 ux = unit(x);
    const Vec3 uy = unit(y - dot(y, ux) * ux);
    return csys_rows(origin, ux, uy, cross(ux, uy));
  }
  // A coordinate system whose rows are given exactly.
  tag_t csys_rows(Vec3 origin, Vec3 x, Vec3 y, Vec3 z) {
    Frame f{origin, {}};
    f.axes.row = {x, y, z};
    return session().component<sim::cam::CamState>().add_csys("MCS", f);
  }

  // An A3 landscape page, current and shown, made without a host call.
  tag_t page(const char *name = "prog_sheet1") {
    tag_t drawing = NULL_TAG;
    EXPECT_EQ(sim::draw::create_drawing(session(), name, sim::testing::sheet_info(), drawing), 0);
    return drawing;
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
  int display_state() { return session().component<sim::draw::Drawings>().display_state; }
  tag_t current_drawing() { return session().component<sim::draw::Drawings>().current; }
};

} // namespace views_test

#endif
