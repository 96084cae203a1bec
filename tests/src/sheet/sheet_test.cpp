// The program sheet on the simulated host: cells, pages, the table and its
// pagination, and the lettering preferences around it all.
#include "sheet/sheet.h"

#include "gbk_text.h"
#include "cam/cam_state.h"
#include "command/command.h"
#include "drafting/drafting.h"
#include "drawings/drawings.h"
#include "geometry/build.h"
#include "geometry/model.h"
#include "host/host.h"
#include "objects/object_store.h"
#include "post/post.h"
#include "session/call_log.h"
#include "drawing_info.h"
#include "system_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using sim::Call;
using test_text::gbk;

constexpr const char *kConfig = "D:\\kv_conf\\config_prog_sheet_mr.def";
constexpr const char *kLang = "D:\\kv_conf\\lang\\ncsheet_elec_uni.txt";
// The cells' aspect ratio in these tests: no template note has it.
constexpr double kCellRatio = 0.9;

// Short texts for the keys whose texts the tests read; the first
// occurrence of a key wins, so they go in front of the installed file.
const char *const kShortTexts =
    "import_prog_dra_02:P\nimport_prog_dra_03:of\n"
    "import_prog_dra_08:NO\nimport_prog_dra_09:PAGE\n"
    "import_prog_dra_1_01:Q\nimport_prog_dra_1_02:end\n"
    "import_prog_dra_1_03:NO1\nimport_prog_dra_1_04:PAGE1\n"
    "prog_d_not_01:W1\nprog_d_not_06:W6\nprog_d_not_07:W7\nprog_d_not_34:T\n";

prog_entry entry(const std::string &parent, const std::string &post_info) {
  prog_entry e{};
  std::strncat(e.parent_name, parent.c_str(), sizeof e.parent_name - 1);
  std::strncat(e.post_info, post_info.c_str(), sizeof e.post_info - 1);
  return e;
}

// A summary line with program name, depth and time; the other values are
// named after their position.
std::string summary(const std::string &name, const std::string &depth = "-10",
                    const std::string &time = "3") {
  return name + " D10 rough 0.3 " + depth + " " + time + " T1 2000 3000 800 1500 0.1";
}

// One cell as the part holds it: its border and its note.
struct Cell {
  tag_t drawing = NULL_TAG;
  std::string text;
  double left = 0, right = 0, top = 0, bottom = 0;
  sim::geo::Vec3 origin;
  UF_DRF_lettering_preferences_t lettering{};
};

// A header note as expected: its one line, origin, size, aspect ratio and
// alignment, on its drawing, unturned and with the character spacing 1.
struct Note {
  std::string text;
  double x, y, size, aspect;
  int align;
};
void expect_note(const sim::drf::NotePayload &note, tag_t drawing, const Note &e) {
  EXPECT_EQ(note.drawing, drawing);
  EXPECT_EQ(note.lines, std::vector<std::string>{e.text});
  EXPECT_EQ(std::tuple(note.origin.x, note.origin.y, note.origin.z, note.orientation),
            std::tuple(e.x, e.y, 0.0, 0.0));
  const auto &text = note.lettering.general_text;
  EXPECT_EQ(std::tuple(text.size, text.char_space_factor, text.aspect_ratio),
            std::tuple(e.size, 1.0, e.aspect));
  EXPECT_EQ(note.lettering.align_position, e.align);
}

bool same_lettering(const UF_DRF_lettering_preferences_t &a,
                    const UF_DRF_lettering_preferences_t &b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

class SheetTest : public sim::testing::SystemTest {
protected:
  void prepare(sim::Session &s) override {
    SystemTest::prepare(s);
    mcs_ = s.component<sim::cam::CamState>().add_csys("MCS", sim::geo::Frame{});
    // The workpiece: its top lies at z = 10, the top the depth columns
    // measure from.
    sim::geo::Result<sim::geo::Shape> block = sim::geo::make_block({120, 80, 10});
    ASSERT_TRUE(block.ok());
    sim::geo::add_body(s, *block, {});
    write_file(kLang, kShortTexts + read_file(kLang));
    configure("prog_sheet_note_ratio: 0.9\n");
  }

  // Settings that win over the installed definition file.
  void configure(const std::string &lines) { write_file(kConfig, lines + read_file(kConfig)); }

  // Runs the sheet inside an API bracket, as the driver does; -1 when the
  // bracket cannot be opened.
  int sheet(std::vector<prog_entry> list) {
    if (UF_initialize() != 0)
      return -1;
    text_copy(lang_file, sizeof lang_file, kLang);
    const int result =
        prog_draw_note(list.empty() ? nullptr : list.data(), static_cast<int>(list.size()), mcs_);
    (void)UF_terminate();
    return result;
  }

  // The host call a fault loop made fail ("" when none).
  std::string injected_call() {
    for (const sim::Event &e : transcript().events())
      if (e.kind == sim::EventKind::FaultInjected)
        return e.detail.substr(0, e.detail.find(' '));
    return {};
  }

  void open() {
    ASSERT_EQ(UF_initialize(), 0);
    text_copy(lang_file, sizeof lang_file, kLang);
  }
  // Opens the bracket and shows a new A3 drawing for cells to land on.
  void open_page() {
    open();
    UF_DRAW_info_t info = sim::testing::sheet_info();
    tag_t drawing = NULL_TAG;
    ASSERT_EQ(UF_DRAW_create_drawing("cells", &info, &drawing), 0);
  }

  // Keeps only the lines of a host file that start with one of prefixes,
  // so that every lookup of a long fault loop reads a short file.
  void keep_lines(const char *host_path, const std::vector<std::string> &prefixes) {
    std::istringstream in(read_file(host_path));
    std::string kept;
    for (std::string line; std::getline(in, line);)
      for (const std::string &prefix : prefixes)
        if (line.rfind(prefix, 0) == 0) {
          kept += line + "\n";
          break;
        }
    write_file(host_path, kept);
  }
  void close() { EXPECT_EQ(UF_terminate(), 0); }

  UF_DRF_lettering_preferences_t &lettering() {
    return session().component<sim::drf::Drafting>().lettering;
  }

  std::vector<const sim::Object *> objects() {
    std::vector<const sim::Object *> out;
    session().objects().for_each([&](const sim::Object &o) { out.push_back(&o); });
    return out;
  }
  std::vector<const sim::drf::NotePayload *> notes() {
    std::vector<const sim::drf::NotePayload *> out;
    for (const sim::Object *o : objects())
      if (auto *note = dynamic_cast<const sim::drf::NotePayload *>(o->payload.get()))
        out.push_back(note);
    return out;
  }
  std::vector<std::string> drawing_names() {
    std::vector<std::string> names;
    for (const sim::Object *o : objects())
      if (o->type == sim::draw::kDrawingType)
        names.push_back(o->name);
    return names;
  }

  // The table's cells in the order they were written: notes with the
  // cells' aspect ratio, each after its four border lines, drawn clockwise
  // from the top left corner.
  std::vector<Cell> cells() {
    const std::vector<const sim::Object *> all = objects();
    std::vector<Cell> out;
    for (std::size_t i = 0; i < all.size(); ++i) {
      auto *note = dynamic_cast<const sim::drf::NotePayload *>(all[i]->payload.get());
      if (note == nullptr || note->lettering.general_text.aspect_ratio != kCellRatio ||
          note->lettering.general_text.char_space_factor != 0.2)
        continue;
      const sim::drf::SheetLinePayload *edge[4] = {};
      for (int k = 0; k < 4 && i >= 4; ++k)
        edge[k] = dynamic_cast<const sim::drf::SheetLinePayload *>(all[i - 4 + k]->payload.get());
      for (const auto *e : edge)
        if (e == nullptr) {
          ADD_FAILURE() << "a cell note without its four border lines";
          return out;
        }
      const Cell cell{note->drawing,    note->lines.empty() ? "<none>" : note->lines[0],
                      edge[0]->start.x, edge[0]->end.x,
                      edge[0]->start.y, edge[1]->end.y,
                      note->origin,     note->lettering};
      const double x[] = {cell.left, cell.right, cell.right, cell.left, cell.left};
      const double y[] = {cell.top, cell.top, cell.bottom, cell.bottom, cell.top};
      for (int k = 0; k < 4; ++k)
        EXPECT_EQ(std::tuple(edge[k]->start.x, edge[k]->start.y, edge[k]->end.x, edge[k]->end.y),
                  std::tuple(x[k], y[k], x[k + 1], y[k + 1]))
            << cell.text << " edge " << k;
      out.push_back(cell);
    }
    return out;
  }

  // The cells of the column that starts at left, in order.
  std::vector<Cell> column(double left) {
    std::vector<Cell> out;
    for (const Cell &c : cells())
      if (c.left == left)
        out.push_back(c);
    return out;
  }

  tag_t mcs_ = NULL_TAG;
};

// Column left edges of the installed definition file.
constexpr double kSequenceX = 10, kProgNameX = 20, kToolX = 52, kToolNumberX = 92, kToolLenX = 104,
                 kSideStockX = 120, kFloorStockX = 136, kMachDescX = 152, kMaxDepthX = 222,
                 kTimeX = 240, kMinSpeedX = 256, kMaxSpeedX = 276, kMinFeedX = 296, kMaxFeedX = 316,
                 kRemarkX = 336;

TEST_F(SheetTest, CellBorderAndNoteOriginFollowTheAlignment) {
  const std::tuple<int, double, const char *> cases[] = {
      {6, 38, "abc"}, {5, 25, "abc"}, {4, 15, ""}, {7, 15, "abc"}};
  open_page();
  lettering().general_text.size = 2.5;
  const UF_DRF_lettering_preferences_t before = lettering();
  std::size_t made = 0;
  for (const auto &[align, x, text] : cases) {
    SCOPED_TRACE(align);
    ASSERT_EQ(create_cell_note(8, 100, 10, 40, text, align), 1);
    const std::vector<Cell> written = cells();
    ASSERT_EQ(written.size(), ++made); // an empty text gets its border and note too
    const Cell &cell = written.back();
    EXPECT_EQ(std::tuple(cell.left, cell.right, cell.top, cell.bottom),
              std::tuple(10.0, 40.0, 100.0, 92.0));
    EXPECT_EQ(std::tuple(cell.origin.x, cell.origin.y, cell.origin.z), std::tuple(x, 95.5, 0.0));
    EXPECT_EQ(cell.text, text);
    EXPECT_EQ(cell.lettering.align_position, align);
    EXPECT_EQ(cell.lettering.general_text.size, 2.5);
    EXPECT_TRUE(same_lettering(lettering(), before));
  }
  close();
}

// A refused ratio is not kept: the next call reads the file again.  One
// taken is kept while the module stays loaded.
TEST_F(SheetTest, CellRatioIsReadUntilOneIsTaken) {
  const std::string refusal = gbk("程式单格子注释的高宽比只能是大于 0 的数,在 ") + kConfig +
                              gbk(" 文件中的/n prog_sheet_note_ratio: 值定义错误,请修改!");
  for (const char *bad : {"0", "-1", "EOF", "nan"}) {
    SCOPED_TRACE(bad);
    fresh();
    configure(std::string("prog_sheet_note_ratio: ") + bad + "\n");
    open_page();
    EXPECT_EQ(create_cell_note(8, 50, 0, 20, "a", 4), 0);
    EXPECT_EQ(shown(), std::vector<std::string>{refusal});
    EXPECT_EQ(count(Call::UF_CURVE_create_line), 0u);
    configure("prog_sheet_note_ratio: 0.9\n");
    EXPECT_EQ(create_cell_note(8, 50, 0, 20, "b", 4), 1);
    const std::uint32_t opened = count(Call::host_fopen);
    configure("prog_sheet_note_ratio: 0.5\n");
    ASSERT_EQ(create_cell_note(8, 50, 0, 20, "c", 4), 1);
    EXPECT_EQ(count(Call::host_fopen), opened);
    close();
    ASSERT_EQ(cells().size(), 2u); // both with the ratio 0.9
    EXPECT_EQ(cells()[0].text, "b");
  }
}

// The first page: an A3 drawing with the template and its seven header
// notes (page, description and part type choices, date, mould and part
// numbers, the part file's name upper-cased byte-wise: the second byte of
// a double-byte character may look like a letter), the lettering put back.
// A further page has its page note, with the caller's alignment.  The
// second part is in the drafting application.
TEST_F(SheetTest, PagesHaveTheirHeaderNotes) {
  const std::tuple<int, int, const char *, std::string, std::string, std::string> cases[] = {
      {2, 7, "", gbk("半精加工"), gbk("其它"), "D:\\WORK\\PART.PRT"},
      {0, 0, "D:\\\xb0\x61\xb1\x7a\\part_b.prt", "", "", "D:\\\xb0\x61\xb1\x7a\\PART_B.PRT"},
  };
  for (const auto &[desc, part_type, file, desc_text, type_text, file_text] : cases) {
    SCOPED_TRACE(desc);
    fresh();
    if (*file != '\0') {
      session().open_part(file);
      session().set_application(UF_APP_DRAFTING);
    }
    text_copy(mold_no, sizeof mold_no, "M2612");
    text_copy(part_no, sizeof part_no, "insert_a");
    desc_choice = desc;
    part_type_choice = part_type;
    configure("part_path_note_ratio: 0.6\n");
    open();
    UF_DRF_lettering_preferences_t before = lettering();
    tag_t drawing = NULL_TAG, further = NULL_TAG;
    ASSERT_EQ(import_prog_drawing("prog_sheet1", &drawing, 1), 1);
    EXPECT_TRUE(same_lettering(lettering(), before));
    lettering().align_position = 6;
    before = lettering();
    ASSERT_EQ(import_prog_drawing_1("prog_sheet7", &further, 3), 1);
    EXPECT_TRUE(same_lettering(lettering(), before));
    close();

    ASSERT_NE(drawing, NULL_TAG);
    EXPECT_EQ(drawing_names(), (std::vector<std::string>{"prog_sheet1", "prog_sheet7"}));
    const auto *page = sim::draw::find_drawing(session(), drawing);
    ASSERT_NE(page, nullptr);
    const UF_DRAW_info_t &info = page->info;
    EXPECT_EQ(std::tuple(info.size_state, info.size.custom_size.height,
                         info.size.custom_size.length, info.drawing_scale, info.units,
                         info.projection_angle),
              std::tuple(UF_DRAW_CUSTOM_SIZE, 297.0, 420.0, 1.0, UF_PART_METRIC, 1));
    EXPECT_EQ(count(Call::UF_PART_import), 2u);
    EXPECT_TRUE(transcript().listing_lines().empty());

    const Note expected[] = {
        {"P 1 of", 385, 282, 4.0, 1.0, 5},    {desc_text, 72.5, 262, 4.0, 1.0, 5},
        {type_text, 272.5, 272, 4.0, 1.0, 5}, {"2026.12.5", 372.5, 272, 3.175, 0.8, 5},
        {"M2612", 72.5, 272, 3.175, 0.8, 5},  {"insert_a", 172.5, 272, 3.175, 0.8, 5},
        {file_text, 137, 262, 3.175, 0.6, 4},
    };
    std::vector<const sim::drf::NotePayload *> first, next;
    for (const auto *note : notes())
      (note->drawing == drawing ? first : next).push_back(note);
    ASSERT_GE(first.size(), 7u);
    for (int i = 0; i < 7; ++i) {
      SCOPED_TRACE(i);
      expect_note(*first[first.size() - 7 + i], drawing, expected[i]);
    }
    ASSERT_FALSE(next.empty());
    expect_note(*next.back(), further, {"Q 3 end", 385, 282, 3.175, 0.8, 6});
  }
}

TEST_F(SheetTest, FirstPageRefusals) {
  const std::string ratio_refusal = gbk("程式单图档路径注释的高宽比只能是大于 0 的数,在 ") +
                                    kConfig +
                                    gbk(" 文件中的/n part_path_note_ratio: 值定义错误,请修改!");
  const std::string wrong_application = gbk("请在加工或制图应用中生成程式单！");
  const std::vector<std::tuple<const char *, int, std::string>> cases = {
      {"part_path_note_ratio: 0\n", UF_APP_CAM, ratio_refusal},
      {"part_path_note_ratio: EOF\n", UF_APP_CAM, ratio_refusal},
      // The ratio is checked before the application.
      {"part_path_note_ratio: -2\n", 5, ratio_refusal},
      {"", 5, wrong_application},
  };
  for (const auto &[config, application, message] : cases) {
    SCOPED_TRACE(config);
    new_session();
    configure(config);
    session().set_application(application);
    open();
    tag_t drawing = NULL_TAG;
    EXPECT_EQ(import_prog_drawing("prog_sheet1", &drawing, 1), 0);
    close();
    EXPECT_EQ(drawing, NULL_TAG);
    EXPECT_EQ(shown(), std::vector<std::string>{message});
    EXPECT_TRUE(drawing_names().empty());
  }
}

// Each row as "group|sequence|time" from its cells; a header row has only
// its group cell, a total row its time and group cells.
std::vector<std::string> rows_of(const std::vector<Cell> &cells) {
  std::vector<std::string> rows;
  std::map<std::pair<tag_t, double>, std::size_t> at;
  for (const Cell &c : cells) {
    const auto key = std::make_pair(c.drawing, c.top);
    if (!at.count(key)) {
      at[key] = rows.size();
      rows.push_back("||");
    }
    std::string &row = rows[at[key]];
    const std::size_t bar1 = row.find('|');
    const std::size_t bar2 = row.find('|', bar1 + 1);
    if (c.left == kSequenceX && c.right == 410)
      row.insert(bar1, "[" + c.text + "]");
    else if (c.left == kSequenceX)
      row.insert(bar2, c.text);
    else if (c.left == kTimeX)
      row += c.text;
  }
  return rows;
}

// Records of one parent in a row form a group with a header row and a
// total row carrying the running total (records without a parent: no
// header); rows follow each other by the row height from the first row's
// top, on one page even when the end line is below the page.  The time
// column switched off takes the total rows with it.  An empty list makes
// the views and the origin point but no page.
TEST_F(SheetTest, GroupsGetHeaderAndRunningTotalRows) {
  const std::tuple<const char *, std::vector<prog_entry>, std::vector<std::string>> cases[] = {
      {"",
       {entry("", summary("a")), entry("", summary("b")), entry("", summary("c"))},
       {"|1|3", "|2|3", "|3|3", "[]|| T    9"}},
      {"",
       {entry("A", summary("a1", "-1", "0")), entry("A", summary("a2", "-1", "12")),
        entry("B", summary("b1", "-1", "5"))},
       {"[A]||", "|1|1", "|2|12", "[]|| T   13", "[B]||", "|1|5", "[]|| T   18"}},
      {"",
       {entry("A", summary("a1")), entry("", summary("x1")), entry("A", summary("a2"))},
       {"[A]||", "|1|3", "[]|| T    3", "|1|3", "[]|| T    6", "[A]||", "|1|3", "[]|| T    9"}},
      {"page_space_y_end_site: -50\n", {entry("", summary("a"))}, {"|1|3", "[]|| T    3"}},
      {"require_time: 0\n",
       {entry("A", summary("a1")), entry("B", summary("b1"))},
       {"[A]||", "|1|", "[B]||", "|1|"}},
      {"", {}, {}},
  };
  for (const auto &[config, list, rows] : cases) {
    SCOPED_TRACE(rows.empty() ? "no records" : rows.back());
    fresh();
    configure(config);
    ASSERT_EQ(sheet(list), 1);
    EXPECT_EQ(drawing_names(), std::vector<std::string>(!list.empty(), "prog_sheet1"));
    EXPECT_EQ(count(Call::uc6450), 2u);
    EXPECT_EQ(count(Call::UF_CURVE_create_point), 1u);
    EXPECT_EQ(rows_of(cells()), rows);
    std::vector<double> tops, expected_tops;
    for (const Cell &cell : column(kSequenceX))
      tops.push_back(cell.top);
    for (std::size_t i = 0; i < rows.size(); ++i)
      expected_tops.push_back(140 - 8.0 * i);
    EXPECT_EQ(tops, expected_tops);
    EXPECT_EQ(column(kTimeX).empty(), *config == 'r' || list.empty());
  }
}

TEST_F(SheetTest, RowValuesGoToTheirColumns) {
  show_ext = 1;
  text_copy(nc_ext, sizeof nc_ext, ".nc");
  ASSERT_EQ(sheet({entry("", "o1234 D10R0.5 rough 0.3 -15.25 12 T7 2000 3000 800 1500 0.1"),
                   entry("", "")}),
            1);
  // The cells of an operation row in their order: left edge, the first
  // row's and the second's text; every cell right aligned but the
  // description's, centred.  The workpiece top is at 10, the allowance 5.
  // clang-format off
  const std::tuple<double, std::string, std::string> expected[] = {
      {kProgNameX, "O1234.NC", ".NC"}, {kSequenceX, "1", "2"},       {kRemarkX, "", ""},
      {kToolX, "D10R0.5", ""},         {kMachDescX, "rough", ""},    {kSideStockX, "0.3", ""},
      {kMaxDepthX, "-25.3", "-10.0"},  {kToolLenX, "30.3", "15.0"},  {kTimeX, "12", "1"},
      {kToolNumberX, "T7", ""},        {kMinSpeedX, "2000", ""},     {kMaxSpeedX, "3000", ""},
      {kMinFeedX, "800", ""},          {kMaxFeedX, "1500", ""},      {kFloorStockX, "0.1", ""},
  };
  // clang-format on
  std::vector<double> order, expected_order;
  for (const Cell &c : cells())
    if (c.top == 140)
      order.push_back(c.left);
  for (const auto &[left, first, second] : expected) {
    SCOPED_TRACE(left);
    expected_order.push_back(left);
    const std::vector<Cell> cells_of = column(left);
    ASSERT_GE(cells_of.size(), 2u);
    EXPECT_EQ(cells_of[0].text, first);
    EXPECT_EQ(cells_of[1].text, second);
    EXPECT_EQ(cells_of[0].lettering.align_position, left == kMachDescX ? 5 : 6);
    EXPECT_EQ(cells_of[0].lettering.general_text.size, 2.5);
  }
  EXPECT_EQ(order, expected_order);
}

TEST_F(SheetTest, ColumnsSwitchedOffGetNoCells) {
  const std::vector<std::tuple<const char *, const char *, double, bool>> cases = {
      {"sequence", "0", kSequenceX, false},      {"tool_number", "0", kToolNumberX, false},
      {"tool_len", "0.9", kToolLenX, false},     {"side_stock", "-0.5", kSideStockX, false},
      {"floor_stock", "0", kFloorStockX, false}, {"max_depth", "0", kMaxDepthX, false},
      {"min_speed", "0", kMinSpeedX, false},     {"max_speed", "abc", kMaxSpeedX, false},
      {"min_feed", "0", kMinFeedX, false},       {"max_feed", "0", kMaxFeedX, false},
      {"remark", "0", kRemarkX, false},          {"remark", "-1", kRemarkX, true},
      {"max_feed", "2.5", kMaxFeedX, true},
  };
  for (const auto &[key, value, left, on] : cases) {
    SCOPED_TRACE(std::string(key) + " " + value);
    new_session();
    configure("require_" + std::string(key) + ": " + value + "\n");
    ASSERT_EQ(sheet({entry("", summary("a"))}), 1);
    std::size_t in_column = 0;
    for (const Cell &cell : column(left))
      in_column += cell.right != 410 || left != kSequenceX; // not a header or total row
    EXPECT_EQ(in_column == 0, !on);
    EXPECT_FALSE(column(kProgNameX).empty());
  }
}

TEST_F(SheetTest, ColumnWhoseStartIsNotLeftOfItsEndIsWarnedAndUsed) {
  configure("tool_x_start_site: 92\n");
  ASSERT_EQ(sheet({entry("", summary("a"))}), 1);
  EXPECT_EQ(shown(), std::vector<std::string>{std::string("W1 ") + kConfig + " W6\nW7"});
  const std::vector<Cell> tool = column(92);
  ASSERT_EQ(tool.size(), 2u); // the tool cell and the tool number cell
  EXPECT_EQ(tool[0].text, "D10");
  EXPECT_EQ(tool[0].right, 92);
}

// Pages take the first names not in use in the part, whatever their case,
// and a second sheet in the same part the next free ones.
TEST_F(SheetTest, RowsGoToTheNextPageAtTheEndLine) {
  // Tops 200, 192, ..., 24: 23 rows; at an end line of exactly 24 the row
  // at 24 goes to the next page.
  const std::tuple<const char *, std::size_t> cases[] = {{"20", 23}, {"24", 22}, {"23.5", 23}};
  for (const auto &[end, first_page_rows] : cases) {
    SCOPED_TRACE(end);
    new_session();
    session().objects().create(sim::kGenericType, 0, "prog_sheet1");
    session().objects().create(sim::kGenericType, 0, "PROG_SHEET3");
    configure(std::string("one_page_space_y_start_site: 200\nprog_sheet_note_space: 8\n"
                          "page_space_y_end_site: ") +
              end + "\n");
    ASSERT_EQ(sheet(std::vector<prog_entry>(30, entry("", summary("p")))), 1);
    ASSERT_EQ(drawing_names(), (std::vector<std::string>{"prog_sheet2", "prog_sheet4"}));
    const std::vector<Cell> sequence = column(kSequenceX);
    std::size_t on_first = 0;
    for (const Cell &cell : sequence)
      if (cell.drawing == sequence.front().drawing)
        ++on_first;
    EXPECT_EQ(on_first, first_page_rows);
    EXPECT_EQ(sequence.front().top, 200);
    EXPECT_EQ(sequence[first_page_rows - 1].top, 200 - 8.0 * (first_page_rows - 1));
    // The next row opens page 2 at its first row's top.
    EXPECT_EQ(sequence[first_page_rows].top, 269);
    EXPECT_EQ(sequence[first_page_rows].text, std::to_string(first_page_rows + 1));
    // 30 rows and the total row: 31 cells in the sequence column.
    EXPECT_EQ(sequence.size(), 31u);
    EXPECT_TRUE(std::ranges::any_of(notes(), [](const sim::drf::NotePayload *note) {
      return note->lines == std::vector<std::string>{"Q 2 end"};
    }));

    ASSERT_EQ(sheet(std::vector<prog_entry>(1, entry("", summary("p")))), 1);
    EXPECT_EQ(drawing_names(),
              (std::vector<std::string>{"prog_sheet2", "prog_sheet4", "prog_sheet5"}));
  }
}

// On every way out the lettering is put back and the bracket, left to the
// caller, is closed once; a page that cannot be made is told and stops the
// sheet.
TEST_F(SheetTest, LetteringIsPutBackOnEveryWayOut) {
  // fault, nth use, records, result, message ("*": not looked at), pages
  // (-1: not looked at)
  const std::tuple<const char *, std::uint32_t, std::size_t, int, std::string, int> cases[] = {
      {"", 0, 1, 1, "*", 1},
      {"uc6450", 1, 1, 0, "*", -1},                // the model view cannot be saved
      {"UF_CURVE_create_point", 1, 1, 0, "*", -1}, // the origin point cannot be made
      {"UF_DRAW_create_drawing", 1, 20, 0, "NO prog_sheet1 PAGE", 0},
      {"UF_DRAW_create_drawing", 2, 20, 0, "NO1 prog_sheet2 PAGE1", 1},
  };
  for (const auto &[fault, nth, records, result, message, pages] : cases) {
    SCOPED_TRACE(testing::Message() << fault << " #" << nth);
    new_session();
    if (*fault != '\0')
      fail(fault, nth);
    lettering().general_text.size = 7.5;
    lettering().align_position = 9;
    const UF_DRF_lettering_preferences_t before = lettering();
    EXPECT_EQ(sheet(std::vector<prog_entry>(records, entry("", summary("o1")))), result);
    EXPECT_TRUE(same_lettering(lettering(), before));
    EXPECT_EQ(session().terminate_calls(), 1);
    EXPECT_EQ(session().bracket_depth(), 0);
    if (message != "*") {
      EXPECT_EQ(shown(), std::vector<std::string>{message});
    }
    if (pages >= 0) {
      EXPECT_EQ(drawing_names().size(), static_cast<std::size_t>(pages));
    }
  }
}

TEST_F(SheetTest, FaultLoopKeepsLetteringAndReleasesEverything) {
  UF_DRF_lettering_preferences_t before{};
  int result = 0;
  const std::uint64_t n = fault_loop(
      [&] {
        keep_lines(kLang, {"prog_d_not_", "import_prog_dra_", "create_modl_vie_",
                           "create_mcs_ori_poin_", "import_vie_"});
        keep_lines(kConfig, {"prog_", "one_", "two_", "page_", "tool_", "require_", "sequence_",
                             "side_", "floor_", "mach_", "max_", "time_", "min_", "remark_",
                             "elec_", "part_", "nc_prog_"});
        aix_choice = 1;                     // no axis markers
        session().set_poison_outputs(true); // failed calls fill their outputs with junk
        // Two records, the second on page 2, with the fewest columns.
        configure("one_page_space_y_start_site: 30\nrequire_sequence: 0\n"
                  "require_tool_number: 0\nrequire_tool_len: 0\nrequire_side_stock: 0\n"
                  "require_floor_stock: 0\nrequire_max_depth: 0\nrequire_min_speed: 0\n"
                  "require_max_speed: 0\nrequire_min_feed: 0\nrequire_max_feed: 0\n"
                  "require_remark: 0\nrequire_nc_prog_elec_iso_view: 0\n");
        lettering().general_text.size = 7.5;
        before = lettering();
        result = sheet({entry("A", summary("a1")), entry("A", summary("a2"))});
      },
      [&](std::uint64_t k) {
        const std::string call = injected_call();
        if (k == 0) {
          EXPECT_EQ(result, 1);
        }
        if (call == "UF_initialize" || call == "UF_terminate")
          return;
        EXPECT_TRUE(result == 0 || result == 1);
        // A refused putting back is the one way the lettering can stay changed.
        if (call != "UF_DRF_set_lettering_preferences") {
          EXPECT_TRUE(same_lettering(lettering(), before)) << call;
        }
        const sim::FinishReport report = finish();
        // A list whose deletion the host refuses stays; nothing else may.
        if (call != "UF_MODL_delete_list") {
          EXPECT_TRUE(report.ok())
              << call << ": " << (report.failures.empty() ? "" : report.failures[0]);
        }
        EXPECT_EQ(report.terminate_calls, 1);
      });
  EXPECT_GT(n, 100u);
}

} // namespace
