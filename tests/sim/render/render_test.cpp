// SVG pages: one well-formed file per drawing at true size, with sheet
// lines, notes in UTF-8 placed by their alignment, and member views.
#include "drawing_fixture.h"
#include "svg_texts.h"

#include "drafting/drafting.h"
#include "host/curve.h"
#include "render/lettering.h"
#include "render/sheet_files.h"
#include "render/svg.h"
#include "text/number_text.h"
#include "render/view_strokes.h"
#include "drawings/member_views.h"

#include <regex>

namespace sim::testing {
namespace {

// A small check of XML well-formedness: one root, every element closed in
// order, attribute values quoted, only the five entities.  Empty when well
// formed, else what is wrong.
std::string ill_formed(const std::string &xml) {
  std::vector<std::string> open;
  int roots = 0;
  for (std::size_t i = 0; (i = xml.find('<', i)) != std::string::npos;) {
    const std::size_t end = xml.find('>', i);
    if (end == std::string::npos)
      return "unclosed tag";
    const std::string tag = xml.substr(i + 1, end - i - 1);
    i = end + 1;
    if (tag.empty() || tag[0] == '?' || tag[0] == '!')
      continue;
    if (tag[0] == '/') {
      if (open.empty() || open.back() != tag.substr(1))
        return "mismatched </" + tag.substr(1) + ">";
      open.pop_back();
    } else if (std::count(tag.begin(), tag.end(), '"') % 2 != 0) {
      return "unbalanced quotes in <" + tag + ">";
    } else {
      roots += open.empty();
      if (tag.back() != '/')
        open.push_back(tag.substr(0, tag.find_first_of(" /")));
    }
  }
  if (std::regex_search(xml, std::regex("&(?!(amp|lt|gt|quot|apos);)")))
    return "a bare ampersand";
  return open.empty() && roots == 1 ? "" : "elements left open or more than one root";
}

using RenderTest = DrawingSessionTest;

TEST_F(RenderTest, APageHoldsItsLinesNotesAndViews) {
  add_shape(geo::make_block({100, 60, 30}));
  const tag_t top = model_view("T", "TOP");
  const tag_t drawing = make_drawing("prog_sheet1");
  UF_CURVE_line_t frame{{10, 10, 0}, {410, 10, 0}};
  tag_t line = NULL_TAG;
  ASSERT_EQ(UF_CURVE_create_line(&frame, &line), 0);
  set_lettering([](UF_DRF_lettering_preferences_t &l) {
    l.general_text.size = 4, l.general_text.aspect_ratio = 1,
    l.general_text.char_space_factor = 0.5;
    l.align_position = UF_DRF_MID_CENTER;
  });
  note("A&B \xb5\xda", 200, 100); // "A&B 第"
  import_view(drawing, top, 120, 200, 0.5);
  ASSERT_EQ(UF_DRAW_set_border_display(false), 0);

  const std::string svg = render::drawing_svg(session(), drawing);
  EXPECT_EQ(ill_formed(svg), "") << svg;
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
  EXPECT_NE(svg.find("<text transform=\"translate(" + trimmed_number(200 - laid.length / 2, 4) +
                     " 199)\" font-size=\"4\"><tspan x=\"0\">A</tspan>"),
            std::string::npos)
      << svg;
  const std::vector<std::string> texts = svg_texts(svg);
  EXPECT_NE(std::find(texts.begin(), texts.end(), "A&amp;B \u7b2c"), texts.end());
  // The block's top view: 50 x 30 on the sheet around (120, 200).
  EXPECT_NE(svg.find("class=\"edge\" points=\"95,112 145,112\""), std::string::npos) << svg;
  EXPECT_EQ(svg.find("class=\"border\""), std::string::npos);
}

// A front view of a block with a through hole: the hole's sides are hidden
// lines, drawn as the view's settings say; the kernel runs once per view
// and body state however often the page is drawn.
TEST_F(RenderTest, ViewsDrawHiddenLinesAsTheirSettingsSay) {
  geo::Frame at;
  at.origin = {50, 30, -10};
  add_shape(geo::boolean(geo::BooleanOp::Cut, *geo::make_block({100, 60, 30}),
                         geo::make_cylinder(8, 50)->placed(at)));
  const tag_t drawing = make_drawing("prog_sheet1");
  const tag_t view = import_view(drawing, model_view("F", "FRONT"), 200, 150);
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
  add_shape(geo::make_cylinder(5, 5), {20, 30, 30});
  (void)render::drawing_svg(session(), drawing);
  (void)render::drawing_svg(session(), drawing);
  EXPECT_EQ(render::hidden_line_runs(session()), 2);
}

TEST_F(RenderTest, OnePageFilePerDrawing) {
  make_drawing("prog_sheet1");
  make_drawing("prog_sheet2");
  make_drawing("\xb3\xcc\xd0\xf2", 297, 210); // "程序": a Chinese name
  const auto pages = render::write_pages(session(), root() / "pages");
  ASSERT_TRUE(pages.ok()) << pages.error();
  const auto &files = *pages;
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0].filename(), "prog_sheet1.svg");
  EXPECT_EQ(files[1].filename(), "prog_sheet2.svg");
  EXPECT_EQ(files[2].filename(), "\u7a0b\u5e8f.svg");
  for (const auto &file : files)
    EXPECT_EQ(ill_formed(slurp(file)), "") << file;
  EXPECT_EQ(render::page_file_name("a b/c"), "a_b_c.svg");
}

// The SVG pages and the PDF are written together, the PDF on a thread of
// its own: all of them when they can be, and no PDF left behind when a
// page cannot be written.  A part without drawings gets no folder at all.
TEST_F(RenderTest, SheetFilesAreAllThereOrTheFailureIsTold) {
  int dumps = 0;
  const auto count_dump = [&] { ++dumps; };
  const Expected<render::SheetFiles> none =
      render::write_sheet_files(session(), root() / "none", "sheet.pdf", count_dump);
  ASSERT_TRUE(none) << none.error();
  EXPECT_TRUE(none->pages.empty());
  EXPECT_FALSE(std::filesystem::exists(root() / "none"));
  EXPECT_EQ(dumps, 1) << "the work alongside runs even without drawings";

  make_drawing("prog_sheet1");
  make_drawing("prog_sheet2");
  const Expected<render::SheetFiles> all =
      render::write_sheet_files(session(), root() / "pages", "sheet.pdf", count_dump);
  ASSERT_TRUE(all) << all.error();
  ASSERT_EQ(all->pages.size(), 2u);
  EXPECT_EQ(all->pdf, root() / "pages" / "sheet.pdf");
  EXPECT_GT(std::filesystem::file_size(all->pdf), 0u);
  EXPECT_EQ(dumps, 2);

  // A folder in the second page's place: that page cannot be written.
  std::filesystem::create_directories(root() / "broken" / "prog_sheet2.svg");
  const Expected<render::SheetFiles> broken =
      render::write_sheet_files(session(), root() / "broken", "sheet.pdf", count_dump);
  ASSERT_FALSE(broken);
  EXPECT_NE(broken.error().find("prog_sheet2.svg"), std::string::npos) << broken.error();
  EXPECT_FALSE(std::filesystem::exists(root() / "broken" / "sheet.pdf"));
  EXPECT_EQ(dumps, 3);
}

} // namespace
} // namespace sim::testing
