//===- sheet_templates.cpp - The program sheet's template parts -----------===//
#include "drawings/sheet_templates.h"

#include "text/number_text.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace sim::draw {
namespace {

constexpr double kMargin = 10.0;    // frame inset from the sheet edge
constexpr double kRowHeight = 10.0; // title and header rows
constexpr double kTitleSize = 5.0;
constexpr double kLabelSize = 3.5;
constexpr double kHeadingSize = 2.5;
constexpr double kTitleCellWidth = 50.0; // the page cell at the right of the title row

// Table columns left to right: definition key stem and heading (UTF-8).
struct Column {
  const char *stem;
  const char *heading;
};
constexpr Column kColumns[] = {
    {"sequence", "\u5e8f\u53f7"},              // sequence number
    {"prog_name", "\u7a0b\u5e8f\u540d"},       // program name
    {"tool", "\u5200\u5177"},                  // tool
    {"tool_number", "\u5200\u53f7"},           // tool number
    {"tool_len", "\u5200\u957f"},              // tool length
    {"side_stock", "\u4fa7\u4f59\u91cf"},      // side stock
    {"floor_stock", "\u5e95\u4f59\u91cf"},     // floor stock
    {"mach_desc", "\u52a0\u5de5\u5185\u5bb9"}, // machining description
    {"max_depth", "\u6700\u5927\u6df1\u5ea6"}, // maximum depth
    {"time", "\u65f6\u95f4"},                  // time
    {"min_speed", "\u6700\u5c0f\u8f6c\u901f"}, // minimum speed
    {"max_speed", "\u6700\u5927\u8f6c\u901f"}, // maximum speed
    {"min_feed", "\u6700\u5c0f\u8fdb\u7ed9"},  // minimum feed
    {"max_feed", "\u6700\u5927\u8fdb\u7ed9"},  // maximum feed
    {"remark", "\u5907\u6ce8"},                // remark
};

// A labelled header field: the label cell spans label_left..value_left, the
// header note goes into value_left..value_right.
struct Field {
  double label_left, value_left, value_right;
  const char *label;
};
// Header row A (just below the title row) and row B (below row A).
constexpr Field kRowA[] = {
    {10, 35, 110, "\u6a21\u53f7"},   // mould number
    {110, 135, 210, "\u4ef6\u53f7"}, // part number
    {210, 235, 310, "\u7c7b\u578b"}, // part type
    {310, 335, 410, "\u65e5\u671f"}, // date
};
constexpr Field kRowB[] = {
    {10, 35, 110, "\u8bf4\u660e"},   // description
    {110, 135, 410, "\u56fe\u6863"}, // part file name
};
constexpr const char *kTitle = "CNC \u52a0\u5de5\u7a0b\u5f0f\u5355"; // CNC machining program sheet

std::string num(double value) { return trimmed_number(value, 6); }

class Part {
public:
  void line(double x1, double y1, double x2, double y2) {
    items_.push_back("{ \"type\": \"line\", \"start\": [" + num(x1) + ", " + num(y1) +
                     "], \"end\": [" + num(x2) + ", " + num(y2) + "] }");
  }
  void box(double left, double bottom, double right, double top) {
    line(left, bottom, right, bottom);
    line(right, bottom, right, top);
    line(right, top, left, top);
    line(left, top, left, bottom);
  }
  // A note centred on (x, y).
  void note(double x, double y, const char *text, double size) {
    items_.push_back("{ \"type\": \"note\", \"origin\": [" + num(x) + ", " + num(y) +
                     "], \"lines\": [\"" + text + "\"], \"size\": " + num(size) +
                     ", \"char_space_factor\": 0.2, \"aspect_ratio\": 1, \"align\": 5 }");
  }
  [[nodiscard]] std::string text(const char *description) const {
    std::string out =
        "{\n  \"format\": \"ncsheet-part\",\n  \"version\": 1,\n  \"units\": \"mm\",\n"
        "  \"description\": \"";
    out += description;
    out += "\",\n  \"objects\": [\n";
    for (std::size_t i = 0; i < items_.size(); ++i)
      out += "    " + items_[i] + (i + 1 < items_.size() ? ",\n" : "\n");
    out += "  ]\n}\n";
    return out;
  }

private:
  std::vector<std::string> items_;
};

struct Layout {
  double width = 0, height = 0, row = 0, first_top = 0, further_top = 0;
  std::vector<std::pair<double, double>> columns;
};

// Frame and title row, common to both pages.
void frame(Part &part, const Layout &l) {
  const double right = l.width - kMargin, top = l.height - kMargin;
  part.box(kMargin, kMargin, right, top);
  part.line(kMargin, top - kRowHeight, right, top - kRowHeight);
  part.line(right - kTitleCellWidth, top - kRowHeight, right - kTitleCellWidth, top);
  part.note((kMargin + right - kTitleCellWidth) / 2, top - kRowHeight / 2, kTitle, kTitleSize);
}

void header_row(Part &part, const Field *fields, std::size_t count, double bottom) {
  const double top = bottom + kRowHeight;
  part.line(fields[0].label_left, bottom, fields[count - 1].value_right, bottom);
  for (std::size_t i = 0; i < count; ++i) {
    const Field &f = fields[i];
    if (i > 0)
      part.line(f.label_left, bottom, f.label_left, top);
    part.line(f.value_left, bottom, f.value_left, top);
    part.note((f.label_left + f.value_left) / 2, bottom + kRowHeight / 2, f.label, kLabelSize);
  }
}

// Table headings between y bottom and bottom + row height, over every
// column range.
void headings(Part &part, const Layout &l, double bottom, bool top_line) {
  const double top = bottom + l.row;
  const double right = l.width - kMargin;
  if (top_line)
    part.line(kMargin, top, right, top);
  part.line(kMargin, bottom, right, bottom);
  for (std::size_t i = 0; i < l.columns.size(); ++i) {
    const auto [start, end] = l.columns[i];
    if (start > kMargin)
      part.line(start, bottom, start, top);
    if (i + 1 == l.columns.size() && end < right)
      part.line(end, bottom, end, top);
    part.note((start + end) / 2, bottom + l.row / 2, kColumns[i].heading, kHeadingSize);
  }
}

} // namespace

std::optional<double> definition_value(std::string_view text, std::string_view key) {
  auto separator = [](char c) {
    return c == ' ' || c == ',' || c == '\n' || c == '\r' || c == '\t';
  };
  std::size_t i = 0;
  bool take_next = false;
  while (i < text.size()) {
    while (i < text.size() && separator(text[i]))
      ++i;
    const std::size_t start = i;
    while (i < text.size() && !separator(text[i]))
      ++i;
    if (start == i)
      break;
    const std::string word(text.substr(start, i - start));
    if (take_next)
      return std::atof(word.c_str());
    // The key ends at its colon: a value may follow it in the same word.
    if (word.size() > key.size() && word.compare(0, key.size(), key) == 0)
      return std::atof(word.c_str() + key.size());
    take_next = word == key;
  }
  return std::nullopt;
}

Expected<SheetTemplates> draw_sheet_templates(std::string_view definition) {
  Layout l;
  std::string why;
  auto need = [&](const std::string &key, double &out) {
    const auto value = definition_value(definition, key);
    if (!value) {
      why = "missing " + key;
      return false;
    }
    out = *value;
    return true;
  };
  if (!need("prog_sheet_width:", l.width) || !need("prog_sheet_high:", l.height) ||
      !need("prog_sheet_note_space:", l.row) ||
      !need("one_page_space_y_start_site:", l.first_top) ||
      !need("two_page_space_y_start_site:", l.further_top))
    return Expected<SheetTemplates>::failure(why);
  for (const Column &column : kColumns) {
    double start = 0, end = 0;
    if (!need(std::string(column.stem) + "_x_start_site:", start) ||
        !need(std::string(column.stem) + "_x_end_site:", end))
      return Expected<SheetTemplates>::failure(why);
    l.columns.emplace_back(start, end);
  }

  SheetTemplates out;
  Part first;
  frame(first, l);
  const double title_bottom = l.height - kMargin - kRowHeight;
  header_row(first, kRowA, std::size(kRowA), title_bottom - kRowHeight);
  header_row(first, kRowB, std::size(kRowB), title_bottom - 2 * kRowHeight);
  headings(first, l, l.first_top, true);
  out.first = first.text("program sheet, first page: frame, title, header fields, table headings");

  Part further;
  frame(further, l);
  // The headings of a further page sit right below the title row.
  headings(further, l, l.further_top, std::fabs(l.further_top + l.row - title_bottom) > 1e-9);
  out.further = further.text("program sheet, further pages: frame, title, table headings");
  return out;
}

} // namespace sim::draw
