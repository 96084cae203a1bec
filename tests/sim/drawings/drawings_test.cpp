// Drawings and the display state, page names, drawing-space lines and
// notes, template import, drafting and lettering preferences, the dump.
#include "drawing_fixture.h"

#include "drafting/drafting.h"
#include "drawings/drawings.h"
#include "drawings/member_views.h"
#include "drawings/sheet_templates.h"
#include "drawings/template_import.h"
#include "dump/dump.h"
#include "host/curve.h"
#include "objects/object_store.h"
#include "session/status.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <nlohmann/json.hpp>

namespace sim::testing {
namespace {

using Csys = std::array<double, 6>;
using Point = std::array<double, 3>;
constexpr Csys kAbsolute = {1, 0, 0, 0, 1, 0};

// A template imported at point, along csys, scaled; group gets the group.
int import_part(const char *file, Csys csys = kAbsolute, Point point = {0, 0, 0},
                double scale = 1.0, tag_t *group = nullptr) {
  UF_import_part_modes_t modes{};
  tag_t made = 99;
  const int status = UF_PART_import(file, &modes, csys.data(), point.data(), scale, &made);
  if (group)
    *group = made;
  return status;
}

class DrawingTest : public DrawingSessionTest {
protected:
  // The payloads of a kind, in creation order.
  template <class T> std::vector<const T *> all() {
    std::vector<const T *> out;
    session().objects().for_each([&](const Object &o) {
      if (auto *p = dynamic_cast<const T *>(o.payload.get()))
        out.push_back(p);
    });
    return out;
  }
  int display_state() {
    int state = 0;
    EXPECT_EQ(UF_DRAW_ask_display_state(&state), 0);
    return state;
  }
  tag_t current() {
    tag_t drawing = NULL_TAG;
    EXPECT_EQ(UF_DRAW_ask_current_drawing(&drawing), 0);
    return drawing;
  }
};

TEST_F(DrawingTest, AnObjectOfTheNameBlocksThePageName) {
  // Any kind of object blocks a page name, a view or a point as well as a
  // drawing.
  const tag_t point = geo::add_point(session(), {1, 2, 3});
  session().objects().set_name(*session().objects().find(point), "prog_sheet1");
  ASSERT_NE(views::save_view(session(), "prog_sheet2", geo::Mat3{}, "TOP"), NULL_TAG);
  make_drawing("prog_sheet3");
  for (const char *name : {"prog_sheet1", "prog_sheet2", "prog_sheet3", "PROG_SHEET3"}) {
    UF_DRAW_info_t info = sheet_info();
    tag_t drawing = 77;
    EXPECT_EQ(UF_DRAW_create_drawing(name, &info, &drawing), status::kNameInUse) << name;
    EXPECT_EQ(drawing, 77u) << "output untouched on failure";
  }
  EXPECT_NE(make_drawing("prog_sheet4"), NULL_TAG);
}

TEST_F(DrawingTest, BadDescriptionsAreRefused) {
  const struct {
    const char *what, *name;
    void (*change)(UF_DRAW_info_t &);
  } cases[] = {
      {"empty name", "", [](UF_DRAW_info_t &) {}},
      {"31 characters", "abcdefghijklmnopqrstuvwxyz01234", [](UF_DRAW_info_t &) {}},
      {"no height", "a", [](UF_DRAW_info_t &i) { i.size.custom_size.height = 0; }},
      {"negative width", "a", [](UF_DRAW_info_t &i) { i.size.custom_size.length = -420; }},
      {"scale 0", "a", [](UF_DRAW_info_t &i) { i.drawing_scale = 0; }},
      {"units 3", "a", [](UF_DRAW_info_t &i) { i.units = 3; }},
      {"projection 0", "a", [](UF_DRAW_info_t &i) { i.projection_angle = 0; }},
      {"size state 5", "a", [](UF_DRAW_info_t &i) { i.size_state = 5; }},
      {"metric code 9", "a",
       [](UF_DRAW_info_t &i) { i.size_state = UF_DRAW_METRIC_SIZE, i.size.metric_size_code = 9; }},
  };
  for (const auto &c : cases) {
    UF_DRAW_info_t info = sheet_info();
    c.change(info);
    tag_t drawing = NULL_TAG;
    EXPECT_EQ(UF_DRAW_create_drawing(c.name, &info, &drawing), status::kBadArgument) << c.what;
  }
  EXPECT_TRUE(session().objects().tags_of_type(draw::kDrawingType).empty());
  UF_DRAW_info_t a3 = sheet_info(1, 1);
  a3.size_state = UF_DRAW_METRIC_SIZE;
  a3.size.metric_size_code = 3;
  tag_t drawing = NULL_TAG;
  ASSERT_EQ(UF_DRAW_create_drawing("a3", &a3, &drawing), 0);
  const draw::DrawingPayload *made = draw::find_drawing(session(), drawing);
  EXPECT_EQ((std::array{made->width, made->height}), (std::array{420.0, 297.0}));
}

TEST_F(DrawingTest, ANewDrawingIsCurrentAndShownAndTheDisplayStateSwitches) {
  EXPECT_EQ(display_state(), UF_DRAW_MODEL_DISPLAY);
  EXPECT_EQ(UF_DRAW_set_display_state(2), status::kNoDrawing) << "no drawing to show yet";
  EXPECT_EQ(UF_DRAW_set_display_state(3), status::kBadArgument);
  const tag_t first = make_drawing("prog_sheet1");
  ASSERT_NE(first, NULL_TAG);
  EXPECT_EQ(current(), first);
  EXPECT_EQ(display_state(), UF_DRAW_DRAWING_DISPLAY);
  EXPECT_EQ(session().objects().find(first)->name, "prog_sheet1");
  const draw::DrawingPayload *sheet = draw::find_drawing(session(), first);
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ((std::array{sheet->width, sheet->height}), (std::array{420.0, 297.0}));
  tag_t found = NULL_TAG;
  ASSERT_EQ(UF_OBJ_cycle_by_name("PROG_SHEET1", &found), 0);
  EXPECT_EQ(found, first);
  make_drawing("two");
  ASSERT_EQ(UF_DRAW_set_display_state(1), 0);
  EXPECT_EQ(display_state(), 1);
  ASSERT_EQ(UF_DRAW_open_drawing(first), 0);
  EXPECT_EQ(display_state(), 2);
  EXPECT_EQ(current(), first);
  ASSERT_EQ(UF_DRAW_set_display_state(1), 0);
  ASSERT_EQ(UF_DRAW_set_display_state(2), 0) << "shows the current drawing again";
  EXPECT_EQ(current(), first);
  EXPECT_EQ(UF_DRAW_open_drawing(UF_PART_ask_display_part()), status::kWrongType);
  EXPECT_EQ(UF_DRAW_open_drawing(4242), status::kBadTag);
}

TEST_F(DrawingTest, LinesLandOnTheShownDrawingElseInTheModel) {
  UF_CURVE_line_t coords{{1, 2, 0}, {30, 2, 0}};
  tag_t model_line = NULL_TAG, sheet_line = NULL_TAG, second_model_line = NULL_TAG;
  ASSERT_EQ(UF_CURVE_create_line(&coords, &model_line), 0);
  const tag_t drawing = make_drawing("sheet");
  ASSERT_EQ(UF_CURVE_create_line(&coords, &sheet_line), 0);
  ASSERT_EQ(UF_DRAW_set_display_state(1), 0);
  ASSERT_EQ(UF_CURVE_create_line(&coords, &second_model_line), 0);
  EXPECT_NE(session().objects().payload_as<geo::CurvePayload>(model_line), nullptr);
  EXPECT_NE(session().objects().payload_as<geo::CurvePayload>(second_model_line), nullptr);
  const drf::SheetLinePayload *line = drf::find_sheet_line(session(), sheet_line);
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->drawing, drawing);
  EXPECT_EQ(line->start, (geo::Vec3{1, 2, 0}));
  EXPECT_EQ(line->end, (geo::Vec3{30, 2, 0}));
}

// A note keeps the lettering it was made with, and the dump shows the
// drawing, the note and the lettering record.
TEST_F(DrawingTest, NotesKeepTheLetteringTheyWereCreatedWith) {
  const tag_t drawing = make_drawing("prog_sheet1");
  set_lettering([](UF_DRF_lettering_preferences_t &l) {
    auto &g = l.general_text;
    g.size = 4.0, g.char_space_factor = 1.0, g.aspect_ratio = 0.8, g.line_space_factor = 0.5;
    l.align_position = UF_DRF_MID_CENTER;
  });
  const char *text = "\xb5\xda 1 \xd2\xb3"; // "第 1 页": page 1
  const tag_t note = this->note(text, 385, 282);
  set_lettering([](UF_DRF_lettering_preferences_t &l) {
    l.general_text.size = 2.5;
    l.align_position = UF_DRF_MID_LEFT;
  });
  const drf::NotePayload *made = drf::find_note(session(), note);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->drawing, drawing);
  EXPECT_EQ(made->lines, (std::vector<std::string>{text}));
  EXPECT_EQ(made->origin, (geo::Vec3{385, 282, 0}));
  const auto &kept = made->lettering.general_text;
  EXPECT_EQ(
      (std::array{kept.size, kept.char_space_factor, kept.aspect_ratio, kept.line_space_factor}),
      (std::array{4.0, 1.0, 0.8, 0.5}));
  EXPECT_EQ(made->lettering.align_position, UF_DRF_MID_CENTER);
  char *none[] = {nullptr};
  char *lines[] = {const_cast<char *>(text)};
  double origin[3] = {0, 0, 0};
  tag_t refused = NULL_TAG;
  EXPECT_EQ(UF_DRF_create_note(1, none, origin, 0, &refused), status::kBadArgument);
  EXPECT_EQ(UF_DRF_create_note(0, lines, origin, 0, &refused), status::kBadArgument);

  const nlohmann::json part = dump_part(session());
  const nlohmann::json *sheet = nullptr, *dumped = nullptr;
  for (const nlohmann::json &object : part["objects"]) {
    sheet = object["tag"] == drawing ? &object : sheet;
    dumped = object["tag"] == note ? &object : dumped;
  }
  ASSERT_NE(sheet, nullptr);
  ASSERT_NE(dumped, nullptr);
  EXPECT_EQ((*sheet)["kind"], "drawing");
  EXPECT_EQ((*sheet)["payload"]["width_mm"], 420);
  EXPECT_EQ((*sheet)["payload"]["projection_angle"], "third");
  EXPECT_EQ((*dumped)["kind"], "note");
  EXPECT_EQ((*dumped)["payload"]["drawing"], drawing);
  EXPECT_EQ((*dumped)["payload"]["lines"][0], "\u7b2c 1 \u9875");
  EXPECT_EQ((*dumped)["payload"]["lines_gbk_hex"][0], "b5da203120d2b3");
  EXPECT_EQ((*dumped)["payload"]["lettering"]["line_space_factor"], 0.5);
  const nlohmann::json &state = part["state"];
  EXPECT_EQ(state["drawings"]["display_state"], 2);
  EXPECT_EQ(state["drawings"]["current_drawing"], drawing);
  EXPECT_EQ(state["drafting"]["lettering"]["general_text"]["line_space_factor"], 0.5);
  EXPECT_EQ(state["drafting"]["int_prefs"].size(), 100u);
  EXPECT_EQ(state["drafting"]["real_prefs"].size(), 70u);
}

TEST_F(DrawingTest, DraftingPreferencesRoundTrip) {
  struct Prefs {
    int ip[UF_DRF_INT_PREFS];
    double rp[UF_DRF_REAL_PREFS];
    char radius[UF_DRF_SYMBOL_BUFSIZE], diameter[UF_DRF_SYMBOL_BUFSIZE];
    int ask() { return UF_DRF_ask_preferences(ip, rp, radius, diameter); }
    int set() { return UF_DRF_set_preferences(ip, rp, radius, diameter); }
  } set{}, back{};
  ASSERT_EQ(set.ask(), 0);
  set.ip[3] = 2;
  set.ip[90] = 1;
  set.rp[32] = 3.175;
  set.rp[69] = -1.5;
  std::memcpy(set.diameter, "\xa6\xd5", 3); // a GBK symbol and its terminator
  ASSERT_EQ(set.set(), 0);
  ASSERT_EQ(back.ask(), 0);
  EXPECT_EQ(std::memcmp(set.ip, back.ip, sizeof set.ip), 0);
  EXPECT_EQ(std::memcmp(set.rp, back.rp, sizeof set.rp), 0);
  EXPECT_STREQ(back.radius, set.radius);
  EXPECT_STREQ(back.diameter, "\xa6\xd5");
  // A symbol text that fills its buffer without a terminator is refused
  // and changes nothing.
  std::memset(set.radius, 'R', sizeof set.radius);
  set.ip[3] = 9;
  EXPECT_EQ(set.set(), status::kBadArgument);
  ASSERT_EQ(back.ask(), 0);
  EXPECT_EQ(back.ip[3], 2);
}

TEST_F(DrawingTest, BadLetteringIsRefusedAndChangesNothing) {
  using L = UF_DRF_lettering_preferences_t;
  UF_DRF_lettering_preferences_t start{};
  ASSERT_EQ(UF_DRF_ask_lettering_preferences(&start), 0);
  const struct {
    const char *what;
    void (*change)(L &);
  } cases[] = {
      {"size 0", [](L &l) { l.general_text.size = 0; }},
      {"aspect ratio -1", [](L &l) { l.general_text.aspect_ratio = -1; }},
      {"aspect ratio 0 in dimensions", [](L &l) { l.dimension_text.aspect_ratio = 0; }},
      {"line space 0", [](L &l) { l.general_text.line_space_factor = 0; }},
      {"space -0.1", [](L &l) { l.general_text.char_space_factor = -0.1; }},
      {"alignment 0", [](L &l) { l.align_position = 0; }},
      {"alignment 10", [](L &l) { l.align_position = 10; }},
      {"justification 4", [](L &l) { l.horiz_text_just = 4; }},
  };
  for (const auto &c : cases) {
    L changed = start;
    c.change(changed);
    EXPECT_EQ(UF_DRF_set_lettering_preferences(&changed), status::kBadArgument) << c.what;
  }
  L now{};
  ASSERT_EQ(UF_DRF_ask_lettering_preferences(&now), 0);
  EXPECT_EQ(std::memcmp(&now, &start, sizeof now), 0);
  // A zero character space factor is a valid choice.
  L tight = start;
  tight.general_text.char_space_factor = 0;
  EXPECT_EQ(UF_DRF_set_lettering_preferences(&tight), 0);
}

// A damaged, missing or badly placed part adds nothing; a sound one is
// copied at the destination.
TEST_F(DrawingTest, TemplateImportCopiesObjectsAtTheDestination) {
  const tag_t drawing = make_drawing("sheet");
  write_file("D:\\t\\bad.prt", R"({ "format": "ncsheet-part", "version": 1,
    "objects": [ { "type": "line", "start": [0, 0], "end": [10, 0] },
                 { "type": "note", "origin": [1, 2], "lines": [] } ] })");
  const std::size_t before = session().objects().size();
  EXPECT_EQ(import_part("D:\\t\\bad.prt"), status::kFileError);
  EXPECT_EQ(import_part("D:\\t\\none.prt"), status::kFileError);
  EXPECT_EQ(import_part("D:\\kv_conf\\prog_sheet_mr.prt", {1, 0, 0, 1, 1, 0}),
            status::kBadArgument);
  EXPECT_EQ(import_part("D:\\kv_conf\\prog_sheet_mr.prt", kAbsolute, {0, 0, 0}, 0.0),
            status::kBadArgument);
  EXPECT_EQ(session().objects().size(), before);

  write_file("D:\\t\\small.prt", R"({ "format": "ncsheet-part", "version": 1, "units": "mm",
    "objects": [
      { "type": "line", "start": [0, 0], "end": [10, 0], "layer": 5 },
      { "type": "note", "origin": [1, 2], "lines": ["\u6a21\u53f7"], "size": 2,
        "char_space_factor": 0.2, "aspect_ratio": 1, "align": 5 } ] })");
  tag_t group = 99;
  // Turned a quarter turn, scaled 2.
  ASSERT_EQ(import_part("D:\\t\\small.prt", {0, 1, 0, -1, 0, 0}, {100, 50, 0}, 2.0, &group), 0);
  EXPECT_EQ(group, NULL_TAG);
  const auto lines = all<drf::SheetLinePayload>();
  const auto notes = all<drf::NotePayload>();
  ASSERT_EQ(lines.size(), 1u);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(lines[0]->drawing, drawing);
  EXPECT_EQ(lines[0]->start, (geo::Vec3{100, 50, 0}));
  EXPECT_EQ(lines[0]->end, (geo::Vec3{100, 70, 0}));
  EXPECT_EQ(notes[0]->drawing, drawing);
  EXPECT_EQ(notes[0]->origin, (geo::Vec3{96, 52, 0}));
  EXPECT_EQ(notes[0]->lines, (std::vector<std::string>{"\xc4\xa3\xba\xc5"})); // GBK of the label
  EXPECT_EQ(notes[0]->lettering.general_text.size, 4.0);
  EXPECT_EQ(notes[0]->lettering.align_position, 5);
  tag_t first_line = session().objects().tags_of_type(drf::kSheetLineType).front();
  EXPECT_EQ(session().objects().find(first_line)->layer, 5) << "layer mode 0 keeps layers";
}

TEST_F(DrawingTest, InstalledTemplatesFillTheA3Frame) {
  for (const char *file : {"D:\\kv_conf\\prog_sheet_mr.prt", "D:\\kv_conf\\prog_sheet_mr1.prt"}) {
    new_session();
    ASSERT_EQ(UF_initialize(), 0);
    const tag_t drawing = make_drawing("sheet");
    ASSERT_EQ(import_part(file), 0) << file;
    const auto lines = all<drf::SheetLinePayload>();
    EXPECT_GT(lines.size(), 20u) << file;
    EXPECT_GE(all<drf::NotePayload>().size(), 16u)
        << file << ": title and fifteen headings at least";
    for (const drf::SheetLinePayload *line : lines) {
      EXPECT_EQ(line->drawing, drawing);
      for (const geo::Vec3 &p : {line->start, line->end})
        EXPECT_TRUE(p.x >= 10 && p.x <= 410 && p.y >= 10 && p.y <= 287) << p.x << ", " << p.y;
    }
  }
}

TEST(SheetTemplates, InstalledFilesAreWhatTheGeneratorDraws) {
  const std::filesystem::path dir = installation_dir();
  const auto parts = draw::draw_sheet_templates(slurp(dir / "config_prog_sheet_mr.def"));
  ASSERT_TRUE(parts) << parts.error();
  EXPECT_EQ(slurp(dir / "prog_sheet_mr.prt"), parts->first)
      << "run make_sheet_templates data/kv_conf/config_prog_sheet_mr.def data/kv_conf";
  EXPECT_EQ(slurp(dir / "prog_sheet_mr1.prt"), parts->further);
}

TEST(SheetTemplates, DefinitionValuesAreReadAsTheCommandReadsThem) {
  const std::string def = "# a comment, x: 3\nkey_a:\n\n  12.5\nkey_b:7,8\nkey_a: 99\nlast:";
  EXPECT_EQ(draw::definition_value(def, "key_a:"), 12.5);
  EXPECT_EQ(draw::definition_value(def, "key_b:"), 7.0);
  EXPECT_EQ(draw::definition_value(def, "x:"), 3.0);
  EXPECT_FALSE(draw::definition_value(def, "last:"));
  EXPECT_FALSE(draw::definition_value(def, "missing:"));
  const auto parts = draw::draw_sheet_templates("prog_sheet_width: 420\n");
  ASSERT_FALSE(parts);
  EXPECT_EQ(parts.error(), "missing prog_sheet_high:");
}

using DrawingFaultTest = SessionTest;

// Every fallible call of a page build failed in turn: no crash, and what
// exists stays consistent (notes and lines on existing drawings, the
// current drawing a drawing, member views listed by their drawing).
TEST_F(DrawingFaultTest, FaultLoopOverAPageBuild) {
  auto body = [&] {
    ASSERT_EQ(session().bracket_depth(), 0);
    if (UF_initialize() != 0)
      return;
    auto block = geo::make_block({40, 30, 20});
    if (block.ok())
      geo::add_body(session(), *block, {});
    const tag_t top = views::save_view(session(), "T1", *views::standard_view("TOP"), "TOP");
    UF_DRAW_info_t info = sheet_info();
    tag_t drawing = NULL_TAG;
    (void)UF_DRAW_create_drawing("prog_sheet1", &info, &drawing);
    (void)import_part("D:\\kv_conf\\prog_sheet_mr.prt");
    UF_DRF_lettering_preferences_t keep{}, work{};
    const bool asked = UF_DRF_ask_lettering_preferences(&keep) == 0 &&
                       UF_DRF_ask_lettering_preferences(&work) == 0;
    if (asked) {
      work.general_text.size = 4.0;
      (void)UF_DRF_set_lettering_preferences(&work);
    }
    char text[] = "x";
    char *lines[] = {text};
    double origin[3] = {10, 10, 0};
    tag_t note = NULL_TAG;
    (void)UF_DRF_create_note(1, lines, origin, 0, &note);
    if (asked)
      (void)UF_DRF_set_lettering_preferences(&keep);
    UF_DRAW_view_info_t view_info{};
    if (UF_DRAW_initialize_view_info(&view_info) == 0 && drawing != NULL_TAG) {
      double ref[2] = {210, 148.5};
      tag_t view = NULL_TAG, side = NULL_TAG;
      if (UF_DRAW_import_view(drawing, top, ref, &view_info, &view) == 0) {
        (void)UF_DRAW_set_view_scale(view, 0.5);
        (void)UF_DRAW_add_orthographic_view(drawing, view, 3, ref, &side);
      }
    }
    (void)UF_terminate();
  };
  auto check = [&](std::uint64_t k) {
    Session &s = session();
    const draw::Drawings *drawings = s.find<draw::Drawings>();
    if (drawings && drawings->current != NULL_TAG) {
      EXPECT_NE(draw::find_drawing(s, drawings->current), nullptr) << k;
    }
    s.objects().for_each([&](const Object &object) {
      if (const auto *n = dynamic_cast<const drf::NotePayload *>(object.payload.get())) {
        EXPECT_TRUE(n->drawing == NULL_TAG || draw::find_drawing(s, n->drawing)) << k;
      }
      if (const auto *l = dynamic_cast<const drf::SheetLinePayload *>(object.payload.get())) {
        EXPECT_NE(draw::find_drawing(s, l->drawing), nullptr) << k;
      }
      if (const auto *v = dynamic_cast<const draw::MemberViewPayload *>(object.payload.get())) {
        const draw::DrawingPayload *sheet = draw::find_drawing(s, v->drawing);
        ASSERT_NE(sheet, nullptr) << k;
        EXPECT_EQ(std::count(sheet->views.begin(), sheet->views.end(), object.tag), 1) << k;
      }
    });
    const UF_DRF_lettering_preferences_t &now = s.component<drf::Drafting>().lettering;
    if (k == 0) {
      EXPECT_EQ(now.general_text.size, drf::default_lettering().general_text.size)
          << "lettering put back";
    }
    EXPECT_TRUE(drf::lettering_valid(now)) << k;
    EXPECT_EQ(s.bracket_depth(), 0) << k;
  };
  EXPECT_GT(fault_loop(body, check), 10u);
}

} // namespace
} // namespace sim::testing
