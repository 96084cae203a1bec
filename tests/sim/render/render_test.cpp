// SVG pages: one well-formed file per drawing at true size, with sheet
// lines, notes in UTF-8 placed by their alignment, and member views.
#include "session_fixture.h"
#include "svg_texts.h"

#include "drafting/drafting.h"
#include "geometry/build.h"
#include "geometry/model.h"
#include "host/core.h"
#include "host/curve.h"
#include "host/draw.h"
#include "host/drf.h"
#include "render/lettering.h"
#include "render/sheet_files.h"
#include "render/svg.h"
#include "text/number_text.h"
#include "render/view_strokes.h"
#include "drawings/member_views.h"
#include "modelviews/model_views.h"

#include <fstream>
#include <regex>
#include <sstream>

namespace sim::testing {
namespace {

// A small check of XML well-formedness: one root, every element closed in
// order, attribute values quoted, only the five entities.
bool well_formed(const std::string &xml, std::string &why) {
  std::vector<std::string> open;
  std::size_t i = 0;
  int roots = 0;
  while ((i = xml.find('<', i)) != std::string::npos) {
    const std::size_t end = xml.find('>', i);
    if (end == std::string::npos) {
      why = "unclosed tag";
      return false;
    }
    const std::string tag = xml.substr(i + 1, end - i - 1);
    i = end + 1;
    if (tag.empty() || tag[0] == '?' || tag[0] == '!')
      continue;
    if (tag[0] == '/') {
      if (open.empty() || open.back() != tag.substr(1)) {
        why = "mismatched </" + tag.substr(1) + ">";
        return false;
      }
      open.pop_back();
      continue;
    }
    if (std::count(tag.begin(), tag.end(), '"') % 2 != 0) {
      why = "unbalanced quotes in <" + tag + ">";
      return false;
    }
    const std::string name = tag.substr(0, tag.find_first_of(" /"));
    if (open.empty())
      ++roots;
    if (tag.back() != '/')
      open.push_back(name);
  }
  const std::regex bad_amp("&(?!(amp|lt|gt|quot|apos);)");
  if (std::regex_search(xml, bad_amp)) {
    why = "a bare ampersand";
    return false;
  }
  if (!open.empty() || roots != 1) {
    why = "elements left open or more than one root";
    return false;
  }
  return true;
}

std::string render_number(double value) { return trimmed_number(value, 4); }

class RenderTest : public SessionTest {
protected:
  void SetUp() override {
    SessionTest::SetUp();
    ASSERT_EQ(UF_initialize(), 0);
  }
  void TearDown() override {
    EXPECT_EQ(UF_terminate(), 0);
    SessionTest::TearDown();
  }
  tag_t make_drawing(const char *name, double w, double h) {
    UF_DRAW_info_t info{};
    info.size_state = UF_DRAW_CUSTOM_SIZE;
    info.size.custom_size.height = h;
    info.size.custom_size.length = w;
    info.drawing_scale = 1;
    info.units = UF_PART_METRIC;
    info.projection_angle = UF_DRAW_THIRD_ANGLE_PROJECTION;
    tag_t drawing = NULL_TAG;
    EXPECT_EQ(UF_DRAW_create_drawing(name, &info, &drawing), 0);
    return drawing;
  }
};

TEST_F(RenderTest, APageHoldsItsLinesNotesAndViews) {
  auto block = geo::make_block({100, 60, 30});
  ASSERT_TRUE(block.ok());
  geo::add_body(session(), *block, {});
  const tag_t top = views::save_view(session(), "T", *views::standard_view("TOP"), "TOP");
  const tag_t drawing = make_drawing("prog_sheet1", 420, 297);
  UF_CURVE_line_t frame{{10, 10, 0}, {410, 10, 0}};
  tag_t line = NULL_TAG;
  ASSERT_EQ(UF_CURVE_create_line(&frame, &line), 0);
  UF_DRF_lettering_preferences_t lettering{};
  ASSERT_EQ(UF_DRF_ask_lettering_preferences(&lettering), 0);
  lettering.general_text.size = 4;
  lettering.general_text.aspect_ratio = 1;
  lettering.general_text.char_space_factor = 0.5;
  lettering.align_position = UF_DRF_MID_CENTER;
  ASSERT_EQ(UF_DRF_set_lettering_preferences(&lettering), 0);
  char text[] = "A&B \xb5\xda"; // "A&B 第"
  char *lines[] = {text};
  double origin[3] = {200, 100, 0};
  tag_t note = NULL_TAG;
  ASSERT_EQ(UF_DRF_create_note(1, lines, origin, 0, &note), 0);
  UF_DRAW_view_info_t info{};
  ASSERT_EQ(UF_DRAW_initialize_view_info(&info), 0);
  info.view_scale = 0.5;
  double ref[2] = {120, 200};
  tag_t view = NULL_TAG;
  ASSERT_EQ(UF_DRAW_import_view(drawing, top, ref, &info, &view), 0);
  ASSERT_EQ(UF_DRAW_set_border_display(false), 0);

  const std::string svg = render::drawing_svg(session(), drawing);
  std::string why;
  EXPECT_TRUE(well_formed(svg, why)) << why << "\n" << svg;
  EXPECT_NE(svg.find("width=\"420mm\" height=\"297mm\" viewBox=\"0 0 420 297\""),
            std::string::npos);
  // The frame line, y turned downwards.
  EXPECT_NE(svg.find("x1=\"10\" y1=\"287\" x2=\"410\" y2=\"287\""), std::string::npos);
  // Five characters at the font's advances, 2 between, centred on x 200;
  // middle at y 100, so the baseline is 2 below it; the Chinese character
  // is a full em, 4, wide.
  const render::TextLine laid =
      session().component<render::Lettering>().lay_out("A&B \u7b2c", 4, 1, 2);
  ASSERT_EQ(laid.x.size(), 5u);
  EXPECT_NEAR(laid.length - laid.x[4], 4, 1e-9);
  EXPECT_GT(laid.x[1], 2) << "a letter has a width of its own";
  EXPECT_NE(svg.find("<text transform=\"translate(" + render_number(200 - laid.length / 2) +
                     " 199)\" font-size=\"4\"><tspan x=\"0\">A</tspan>"),
            std::string::npos)
      << svg;
  EXPECT_NE(std::find(svg_texts(svg).begin(), svg_texts(svg).end(), "A&amp;B \u7b2c"),
            svg_texts(svg).end());
  // The block's top view: 50 x 30 on the sheet around (120, 200).
  EXPECT_NE(svg.find("class=\"edge\" points=\"95,112 145,112\""), std::string::npos) << svg;
  EXPECT_EQ(svg.find("class=\"border\""), std::string::npos);
}

// A front view of a block with a through hole: the hole's sides are hidden
// lines, drawn as the view's settings say; the kernel runs once per view
// and body state however often the page is drawn.
TEST_F(RenderTest, ViewsDrawHiddenLinesAsTheirSettingsSay) {
  auto block = geo::make_block({100, 60, 30});
  geo::Frame at;
  at.origin = {50, 30, -10};
  auto hole = geo::make_cylinder(8, 50);
  ASSERT_TRUE(block.ok() && hole.ok());
  auto part = geo::boolean(geo::BooleanOp::Cut, *block, hole->placed(at));
  ASSERT_TRUE(part.ok());
  geo::add_body(session(), *part, {});
  const tag_t front = views::save_view(session(), "F", *views::standard_view("FRONT"), "FRONT");
  const tag_t drawing = make_drawing("prog_sheet1", 420, 297);
  UF_DRAW_view_info_t info{};
  ASSERT_EQ(UF_DRAW_initialize_view_info(&info), 0);
  double ref[2] = {200, 150};
  tag_t view = NULL_TAG;
  ASSERT_EQ(UF_DRAW_import_view(drawing, front, ref, &info, &view), 0);
  UF_DRAW_view_display_t display{};
  ASSERT_EQ(UF_DRAW_ask_view_display(view, &display), 0);
  // The hole's sides on the sheet: x 192 and 208, from y 135 to 165.
  const auto hole_sides = [&](bool dashed) {
    std::string why;
    int sides = 0;
    for (const render::Stroke &stroke :
         render::view_body_strokes(session(), view, *draw::find_member_view(session(), view), why))
      for (std::size_t i = 1; i < stroke.points.size(); ++i) {
        const auto &a = stroke.points[i - 1], &b = stroke.points[i];
        const bool side = a[0] == b[0] && (a[0] == 192 || a[0] == 208) &&
                          std::min(a[1], b[1]) == 135 && std::max(a[1], b[1]) == 165;
        sides += side && stroke.dashed == dashed;
      }
    return sides;
  };
  const auto set = [&] { ASSERT_EQ(UF_DRAW_set_view_display(view, &display), 0); };

  display.silhouettes = UF_DRAW_YES; // a new view's hidden lines are dashed
  set();
  EXPECT_EQ(hole_sides(true), 2);
  EXPECT_EQ(hole_sides(false), 0);
  EXPECT_NE(render::drawing_svg(session(), drawing).find("class=\"edge thin dashed\""),
            std::string::npos);
  display.hidden_line_font = UF_DRAW_FONT_INVISIBLE;
  set();
  EXPECT_EQ(hole_sides(true) + hole_sides(false), 0);
  EXPECT_EQ(render::drawing_svg(session(), drawing).find("dashed\""), std::string::npos);
  display.hidden_line = UF_DRAW_NO; // not processed: every line is drawn as visible
  set();
  EXPECT_EQ(hole_sides(false), 2);
  EXPECT_EQ(render::hidden_line_runs(session()), 1);

  // Another body: the view is worked out again, once.
  auto boss = geo::make_cylinder(5, 5);
  ASSERT_TRUE(boss.ok());
  geo::Frame on_top;
  on_top.origin = {20, 30, 30};
  geo::add_body(session(), boss->placed(on_top), {});
  (void)render::drawing_svg(session(), drawing);
  (void)render::drawing_svg(session(), drawing);
  EXPECT_EQ(render::hidden_line_runs(session()), 2);
}

TEST_F(RenderTest, OnePageFilePerDrawing) {
  make_drawing("prog_sheet1", 420, 297);
  make_drawing("prog_sheet2", 420, 297);
  make_drawing("\xb3\xcc\xd0\xf2", 297, 210); // "程序": a Chinese name
  std::string why;
  const auto files = render::write_pages(session(), root() / "pages", why);
  ASSERT_EQ(files.size(), 3u) << why;
  EXPECT_EQ(files[0].filename(), "prog_sheet1.svg");
  EXPECT_EQ(files[1].filename(), "prog_sheet2.svg");
  EXPECT_EQ(files[2].filename(), "\u7a0b\u5e8f.svg");
  for (const auto &file : files) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_TRUE(well_formed(text.str(), why)) << file << ": " << why;
  }
  EXPECT_EQ(render::page_file_name("a b/c"), "a_b_c.svg");
}

// The SVG pages and the PDF are written together, the PDF on a thread of
// its own: all of them when they can be, and no PDF left behind when a
// page cannot be written.  A part without drawings gets no folder at all.
TEST_F(RenderTest, SheetFilesAreAllThereOrTheFailureIsTold) {
  int dumps = 0;
  const auto count_dump = [&] { ++dumps; };
  const render::SheetFiles none =
      render::write_sheet_files(session(), root() / "none", "sheet.pdf", count_dump);
  EXPECT_TRUE(none.pages.empty());
  EXPECT_TRUE(none.why.empty()) << none.why;
  EXPECT_FALSE(std::filesystem::exists(root() / "none"));
  EXPECT_EQ(dumps, 1) << "the work alongside runs even without drawings";

  make_drawing("prog_sheet1", 420, 297);
  make_drawing("prog_sheet2", 420, 297);
  const render::SheetFiles all =
      render::write_sheet_files(session(), root() / "pages", "sheet.pdf", count_dump);
  EXPECT_TRUE(all.why.empty()) << all.why;
  ASSERT_EQ(all.pages.size(), 2u);
  EXPECT_EQ(all.pdf, root() / "pages" / "sheet.pdf");
  EXPECT_GT(std::filesystem::file_size(all.pdf), 0u);
  EXPECT_EQ(dumps, 2);

  // A folder in the second page's place: that page cannot be written.
  std::filesystem::create_directories(root() / "broken" / "prog_sheet2.svg");
  const render::SheetFiles broken =
      render::write_sheet_files(session(), root() / "broken", "sheet.pdf", count_dump);
  EXPECT_NE(broken.why.find("prog_sheet2.svg"), std::string::npos) << broken.why;
  EXPECT_TRUE(broken.pdf.empty());
  EXPECT_FALSE(std::filesystem::exists(root() / "broken" / "sheet.pdf"));
  EXPECT_EQ(dumps, 3);
}

} // namespace
} // namespace sim::testing
