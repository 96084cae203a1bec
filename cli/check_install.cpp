//===- check_install.cpp - ncsheet check-install [DIR] --------------------===//
#include "check_install.h"

#include "install_reader.h"
#include "runner.h"

#include "drawings/template_import.h"
#include "styler/dialog_file.h"
#include "text/gbk.h"

#include "host/ui.h"
#include "my_func/message_keys.h"
#include "my_func/my_func.h"
#include "post/post.h"
#include "sheet/sheet.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>

namespace fs = std::filesystem;

namespace ncsheet {
namespace {

using install::kWordMax;

/// The host folder of the installation, as the module's paths begin.
constexpr std::string_view kHostFolder = "D:\\kv_conf\\";

/// A host path of the installation as a path relative to its folder.
std::string installed_name(std::string_view host_path) {
  if (host_path.substr(0, kHostFolder.size()) == kHostFolder)
    host_path.remove_prefix(kHostFolder.size());
  std::string name(host_path);
  std::replace(name.begin(), name.end(), '\\', '/');
  return name;
}

std::string lang_name(const char *file) {
  return installed_name(std::string(LANG_FOLDER) + "\\" + file);
}

std::string number_text(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

/// The problems found so far, each with its file.
class Problems {
public:
  void add(const std::string &file, int line, std::string what) {
    list_.push_back({file, line, std::move(what)});
  }
  [[nodiscard]] std::vector<InstallProblem> take() && { return std::move(list_); }

private:
  std::vector<InstallProblem> list_;
};

/// A file's bytes; nothing (and a problem) when it cannot be read.
std::optional<std::string> read_installed(const fs::path &dir, const std::string &name,
                                          Problems &problems) {
  const fs::path path = dir / name;
  std::error_code ec;
  if (!fs::exists(path, ec)) {
    problems.add(name, 0, "missing");
    return std::nullopt;
  }
  std::ifstream in(path, std::ios::binary);
  if (!fs::is_regular_file(path, ec) || !in) {
    problems.add(name, 0, "cannot be read");
    return std::nullopt;
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

/// True when bytes are well-formed UTF-8.
bool is_utf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const std::size_t size = lead < 0x80                    ? 1
                             : lead >= 0xC2 && lead <= 0xDF ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
    if (size == 0 || i + size > bytes.size())
      return false;
    for (std::size_t k = 1; k < size; ++k)
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
        return false;
    i += size;
  }
  return true;
}

/// Line (from 1) of the first byte at or above 0x80.
int first_non_ascii_line(std::string_view text) {
  int line = 1;
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80)
      return line;
    if (c == '\n')
      ++line;
  }
  return 0;
}

//===-- Language files ----------------------------------------------------===//

struct KeyFamily {
  const char *file;
  const char *prefix;
  int count;
};

constexpr KeyFamily kFamilies[] = {
#define NCSHEET_KEY_FAMILY(file, prefix, count) {file, prefix, count},
    MESSAGE_KEY_FAMILIES(NCSHEET_KEY_FAMILY)
#undef NCSHEET_KEY_FAMILY
};

std::vector<std::string> message_keys(std::string_view file) {
  std::vector<std::string> keys;
  for (const KeyFamily &family : kFamilies) {
    if (family.file != file)
      continue;
    for (int i = 1; i <= family.count; ++i) {
      char key[kWordMax + 1];
      std::snprintf(key, sizeof key, "%s%02d:", family.prefix, i);
      keys.emplace_back(key);
    }
  }
  return keys;
}

void check_message(const std::string &name, std::string_view text, const std::string &key,
                   bool check_code_page, Problems &problems) {
  const install::MessageLookup found = install::lookup_message(text, key);
  if (!found.key.found) {
    problems.add(name, 0, key + " missing");
    return;
  }
  if (!found.key.starts_line)
    problems.add(name, found.key.line,
                 key + " first stands after other text on its line; the command takes the "
                       "text that follows it here");
  if (!found.ended) {
    problems.add(name, found.key.line,
                 key + " has no text that ends with a line feed before the end of the file");
    return;
  }
  if (found.line != found.key.line) {
    problems.add(name, found.key.line,
                 key + " has no text on its line; the command would take line " +
                     std::to_string(found.line));
    return;
  }
  if (found.text.find_first_not_of(' ') == std::string::npos)
    problems.add(name, found.line, key + " has only blanks for its text");
  if (found.cut)
    problems.add(name, found.line,
                 key + " has a text longer than " + std::to_string(kWordMax) +
                     " bytes; the command cuts it");
  if (check_code_page && !sim::is_gbk(found.text))
    problems.add(name, found.line, key + " has a text that is not GBK (the host's code page 936)");
}

void check_language_file(const fs::path &dir, const char *file, Problems &problems) {
  const std::string name = lang_name(file);
  const std::optional<std::string> bytes = read_installed(dir, name, problems);
  if (!bytes)
    return;
  const std::string text = install::text_mode(*bytes);
  // An editor that saves UTF-8 turns every text into bytes the host shows
  // as other characters; say so once rather than for every text.
  const bool utf8 = !sim::is_ascii(text) && is_utf8(text);
  if (utf8)
    problems.add(name, first_non_ascii_line(text),
                 "the file is saved as UTF-8; the host reads its texts as GBK (code page 936)");
  for (const std::string &key : message_keys(file))
    check_message(name, text, key, !utf8, problems);
}

//===-- The definition file -----------------------------------------------===//

/// A number as the module reads it, and whether it is one a sheet can use.
struct Number {
  double value = 0;   ///< what the command works with (0 when nothing was read)
  bool read = false;  ///< the command read the key (else it stops)
  bool clean = false; ///< a finite number written whole
  int line = 0;
};

/// The definition file and the checks of its values; each key is looked
/// up and judged once.
class Definition {
public:
  Definition(std::string name, std::string text, Problems &problems)
      : name_(std::move(name)), text_(std::move(text)), problems_(problems) {}

  /// The number of key; a problem when it is missing or no clean number.
  const Number &number(const std::string &key) {
    const auto known = numbers_.find(key);
    if (known != numbers_.end())
      return known->second;
    Number &n = numbers_[key];
    const install::ValueLookup found = install::lookup_value(text_, key, true);
    if (!found_key(key, found))
      return n;
    n.read = true;
    n.line = found.line;
    if (found.eof_word) {
      add(found.line, key + " EOF: the word EOF gives no value; the command keeps 0");
      return n;
    }
    const char *begin = found.word.c_str();
    char *end = nullptr;
    n.value = std::strtod(begin, &end);
    if (end == begin || *end != '\0') {
      add(found.line,
          key + " " + found.word + " is not a number; the command reads " + number_text(n.value));
      return n;
    }
    if (!std::isfinite(n.value)) {
      add(found.line, key + " " + found.word + " is not a finite number");
      return n;
    }
    n.clean = true;
    return n;
  }

  /// The word of key; nothing (and a problem) when the command cannot read it.
  std::optional<std::string> word(const std::string &key, int &line) {
    const install::ValueLookup found = install::lookup_value(text_, key, false);
    if (!found_key(key, found))
      return std::nullopt;
    line = found.line;
    return found.word;
  }

  /// A clean number of key greater than 0 (or at least 0), else a problem.
  std::optional<double> positive(const std::string &key, const char *role,
                                 bool zero_allowed = false) {
    const Number &n = number(key);
    if (!n.clean)
      return std::nullopt;
    if (n.value > 0 || (zero_allowed && n.value == 0))
      return n.value;
    add(n.line, key + " " + number_text(n.value) + ": " + role + " must be " +
                    (zero_allowed ? "0 or more" : "greater than 0"));
    return std::nullopt;
  }

  void add(int line, std::string what) { problems_.add(name_, line, std::move(what)); }

private:
  bool found_key(const std::string &key, const install::ValueLookup &found) {
    if (!found.key.found) {
      add(0, key + " missing");
      return false;
    }
    if (!found.key.starts_line)
      add(found.key.line, key + " first stands after other text on its line; the command "
                                "takes the word after it here");
    if (!found.ended) {
      add(found.key.line, key + " has no value before the end of the file");
      return false;
    }
    return true;
  }

  std::string name_;
  std::string text_;
  Problems &problems_;
  std::map<std::string, Number, std::less<>> numbers_;
};

/// The sheet's size, when both values are usable.
struct Sheet {
  double width = 0;
  double height = 0;
};

/// A setting the module cuts to an integer: non-zero means on.
bool switched_on(const Number &n) { return n.value >= 1.0 || n.value <= -1.0; }

void check_post_keys(Definition &def) {
  const Number &item = def.number("post_category_default:");
  if (item.clean && !(item.value >= 1 && item.value < 6))
    def.add(item.line,
            "post_category_default: " + number_text(item.value) + " is no menu item (1 to 5)");
  for (int i = 1; i <= 5; ++i) {
    const std::string key = "post_category_" + std::to_string(i) + ":";
    int line = 0;
    const std::optional<std::string> name = def.word(key, line);
    if (name && name->size() > UC1603_ITEM_BUFSIZE - 1)
      def.add(line, key + " " + *name + " has " + std::to_string(name->size()) +
                        " characters; a menu item holds at most " +
                        std::to_string(UC1603_ITEM_BUFSIZE - 1));
  }
  int line = 0;
  const std::optional<std::string> folder = def.word("post_folder:", line);
  if (!folder)
    return;
  if (folder->size() >= POST_DIR_BUFSIZE)
    def.add(line, "post_folder: the folder has " + std::to_string(folder->size()) +
                      " characters; at most " + std::to_string(POST_DIR_BUFSIZE - 1) + " fit");
  if (folder->back() != '\\')
    def.add(line, "post_folder: " + *folder + " must end with a backslash");
}

/// A point of two keys on the sheet.
void check_point(Definition &def, const std::optional<Sheet> &sheet, const std::string &x_key,
                 const std::string &y_key, const char *what) {
  const Number &x = def.number(x_key);
  const Number &y = def.number(y_key);
  if (!sheet)
    return;
  if (x.clean && !(x.value >= 0 && x.value <= sheet->width))
    def.add(x.line, x_key + " " + number_text(x.value) + " puts the " + what +
                        " outside the sheet (x 0 to " + number_text(sheet->width) + ")");
  if (y.clean && !(y.value >= 0 && y.value <= sheet->height))
    def.add(y.line, y_key + " " + number_text(y.value) + " puts the " + what +
                        " outside the sheet (y 0 to " + number_text(sheet->height) + ")");
}

std::optional<Sheet> check_sheet_keys(Definition &def) {
  const std::optional<double> height = def.positive("prog_sheet_high:", "the sheet's height");
  const std::optional<double> width = def.positive("prog_sheet_width:", "the sheet's width");
  std::optional<Sheet> sheet;
  if (height && width)
    sheet = Sheet{*width, *height};
  static const char *const kNotes[][2] = {{"mold_no", "mould number note"},
                                          {"part_no", "part number note"},
                                          {"part_type", "part type note"},
                                          {"desc", "description note"},
                                          {"time", "date note"},
                                          {"page", "page note"},
                                          {"part_path", "part file name note"}};
  for (const auto &[note, what] : kNotes) {
    const std::string stem = std::string("elec_") + note + "_note_point_";
    check_point(def, sheet, stem + "x:", stem + "y:", what);
  }
  (void)def.positive("part_path_note_ratio:", "the part file name note's aspect ratio");
  return sheet;
}

struct Column {
  const char *name;
  bool has_switch;
};

constexpr Column kColumns[] = {
    {"sequence", true},  {"prog_name", false}, {"tool", false},       {"tool_number", true},
    {"tool_len", true},  {"side_stock", true}, {"floor_stock", true}, {"mach_desc", false},
    {"max_depth", true}, {"time", true},       {"min_speed", true},   {"max_speed", true},
    {"min_feed", true},  {"max_feed", true},   {"remark", true},      {"prog_group", false}};

void check_table_keys(Definition &def, const std::optional<Sheet> &sheet) {
  const std::optional<double> row = def.positive("prog_sheet_note_space:", "the row height");
  (void)def.positive("prog_sheet_note_high:", "the table's character size");
  const Number &first = def.number("one_page_space_y_start_site:");
  const Number &further = def.number("two_page_space_y_start_site:");
  const Number &end = def.number("page_space_y_end_site:");
  if (end.clean && end.value < 0)
    def.add(end.line, "page_space_y_end_site: " + number_text(end.value) +
                          " lies below the sheet; it must be 0 or more");
  else if (end.clean && row && end.value < *row)
    def.add(end.line, "page_space_y_end_site: " + number_text(end.value) +
                          " is less than the row height " + number_text(*row) +
                          ": the last rows reach below the sheet");
  for (const Number *start : {&first, &further}) {
    const std::string key =
        start == &first ? "one_page_space_y_start_site:" : "two_page_space_y_start_site:";
    if (!start->clean)
      continue;
    if (sheet && start->value > sheet->height)
      def.add(start->line, key + " " + number_text(start->value) +
                               " lies above the sheet (height " + number_text(sheet->height) + ")");
    if (end.clean && start->value <= end.value)
      def.add(start->line, key + " " + number_text(start->value) +
                               ": the table starts at or below its end, page_space_y_end_site: " +
                               number_text(end.value));
  }
  for (const Column &column : kColumns) {
    const std::string name = column.name;
    if (column.has_switch) {
      const Number &on = def.number("require_" + name + ":");
      if (on.read && !switched_on(on)) {
        if (name == "tool_len")
          (void)def.number("tool_len_than_max_depth_size:");
        continue; // the command reads no edges of a column that is off
      }
    }
    const std::string start_key = name + "_x_start_site:";
    const std::string end_key = name + "_x_end_site:";
    const Number &left = def.number(start_key);
    const Number &right = def.number(end_key);
    if (name == "tool_len")
      (void)def.number("tool_len_than_max_depth_size:");
    if (!left.clean || !right.clean)
      continue;
    if (!(left.value < right.value))
      def.add(left.line, start_key + " " + number_text(left.value) + " is not left of " + end_key +
                             " " + number_text(right.value) + ": the column runs backwards");
    else if (sheet && (left.value < 0 || right.value > sheet->width))
      def.add(left.value < 0 ? left.line : right.line,
              name + " column " + number_text(left.value) + " to " + number_text(right.value) +
                  " reaches outside the sheet (x 0 to " + number_text(sheet->width) + ")");
  }
  (void)def.positive("prog_sheet_note_ratio:", "the table texts' aspect ratio");
}

/// A view rectangle of size and centre keys: greater than 0 and on the sheet.
void check_view_rect(Definition &def, const std::optional<Sheet> &sheet, const std::string &stem,
                     const char *what) {
  const std::optional<double> bx = def.positive(stem + "bound_x:", what);
  const std::optional<double> by = def.positive(stem + "bound_y:", what);
  const Number &px = def.number(stem + "point_x:");
  const Number &py = def.number(stem + "point_y:");
  if (!sheet || !bx || !by || !px.clean || !py.clean)
    return;
  const double left = px.value - *bx / 2, right = px.value + *bx / 2;
  const double bottom = py.value - *by / 2, top = py.value + *by / 2;
  if (left < 0 || right > sheet->width)
    def.add(px.line, std::string(what) + " x " + number_text(left) + " to " + number_text(right) +
                         " reaches outside the sheet (x 0 to " + number_text(sheet->width) + ")");
  if (bottom < 0 || top > sheet->height)
    def.add(py.line, std::string(what) + " y " + number_text(bottom) + " to " + number_text(top) +
                         " reaches outside the sheet (y 0 to " + number_text(sheet->height) + ")");
}

void check_view_keys(Definition &def, const std::optional<Sheet> &sheet) {
  const std::string pair = "nc_prog_elec_top_and_front_view_";
  check_view_rect(def, sheet, pair, "the top and projected views' rectangle");
  const Number &space = def.number(pair + "space:");
  const std::string iso = "nc_prog_elec_iso_view_";
  for (const char *key : {"bound_x:", "bound_y:", "point_x:", "point_y:"})
    (void)def.number(iso + key);
  const Number &iso_on = def.number("require_nc_prog_elec_iso_view:");
  const Number &select = def.number("nc_prog_elec_view_select:");
  // An isometric view that is not placed needs no room.
  if (iso_on.read && switched_on(iso_on))
    check_view_rect(def, sheet, iso, "the isometric view's rectangle");
  if (space.clean) {
    const Number &bound = def.number(pair + (switched_on(select) ? "bound_y:" : "bound_x:"));
    if (space.value < 0)
      def.add(space.line, pair + "space: " + number_text(space.value) +
                              ": the gap between the views must be 0 or more");
    else if (bound.clean && bound.value > 0 && space.value >= bound.value)
      def.add(space.line, pair + "space: " + number_text(space.value) +
                              " leaves no room for the views in the rectangle's " +
                              number_text(bound.value));
  }
  (void)def.positive("nc_prog_elec_view_aix_size:", "the axis markers' arrowhead size");
  (void)def.positive("nc_prog_elec_view_aix_extend_len:", "the axis lines' extension", true);
  check_point(def, sheet, "elec_size_note_point_x:", "elec_size_note_point_y:", "size note");
}

void check_definition(const fs::path &dir, Problems &problems) {
  const std::string name = installed_name(CONFIG_PATH);
  const std::optional<std::string> bytes = read_installed(dir, name, problems);
  if (!bytes)
    return;
  Definition def(name, install::text_mode(*bytes), problems);
  check_post_keys(def);
  const std::optional<Sheet> sheet = check_sheet_keys(def);
  check_table_keys(def, sheet);
  check_view_keys(def, sheet);
}

//===-- Template parts and the dialog file --------------------------------===//

int line_of_offset(std::string_view text, std::size_t offset) {
  offset = std::min(offset, text.size());
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + offset, '\n'));
}

/// Line of element index of the part's "objects" array, or 0.
int object_line(std::string_view text, std::size_t index) {
  const std::size_t key = text.find("\"objects\"");
  if (key == std::string_view::npos)
    return 0;
  const std::size_t open = text.find('[', key);
  if (open == std::string_view::npos)
    return 0;
  int depth = 0;
  std::size_t element = 0;
  bool in_string = false;
  bool element_open = false;
  for (std::size_t i = open + 1; i < text.size(); ++i) {
    const char c = text[i];
    if (in_string) {
      if (c == '\\')
        ++i;
      else if (c == '"')
        in_string = false;
      continue;
    }
    if (c == ' ' || c == '\n' || c == '\r' || c == '\t')
      continue;
    if (depth == 0 && !element_open) {
      if (c == ']')
        return 0;
      if (element == index)
        return line_of_offset(text, i);
      element_open = true;
    }
    if (c == '"')
      in_string = true;
    else if (c == '[' || c == '{')
      ++depth;
    else if (c == ']' || c == '}')
      --depth;
    else if (c == ',' && depth == 0) {
      ++element;
      element_open = false;
    }
    if (depth < 0)
      return 0;
  }
  return 0;
}

void check_template(const fs::path &dir, const char *host_path, Problems &problems) {
  const std::string name = installed_name(host_path);
  const std::optional<std::string> bytes = read_installed(dir, name, problems);
  if (!bytes)
    return;
  const auto objects = sim::draw::parse_sheet_part(*bytes);
  if (!objects) {
    std::string why = objects.error();
    int line = 0;
    try {
      const nlohmann::json doc = nlohmann::json::parse(*bytes); // throws where it breaks
      (void)doc;
      if (why.rfind("object ", 0) == 0)
        line = object_line(*bytes, std::strtoul(why.c_str() + 7, nullptr, 10));
    } catch (const nlohmann::json::parse_error &e) {
      line = line_of_offset(*bytes, e.byte == 0 ? 0 : e.byte - 1);
      why = "not JSON";
    }
    problems.add(name, line,
                 "the host cannot import it (" + why + "); the page would have no frame");
    return;
  }
  if (objects->empty())
    problems.add(name, 0, "the part has no objects; the page would have no frame");
}

/// The line of a control's section header, or 0.
int section_line(std::string_view text, std::string_view id) {
  const std::string header = "[" + std::string(id) + "]";
  int line = 1;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t eol = std::min(text.find('\n', start), text.size());
    std::string_view content = text.substr(start, eol - start);
    while (!content.empty() && (content.front() == ' ' || content.front() == '\t'))
      content.remove_prefix(1);
    if (content.substr(0, header.size()) == header)
      return line;
    start = eol + 1;
    ++line;
  }
  return 0;
}

struct ExpectedControl {
  const char *id;
  sim::styler::ControlKind kind;
  std::size_t choices; ///< radio boxes and option menus
};

void check_dialog(const fs::path &dir, Problems &problems) {
  using sim::styler::ControlKind;
  static constexpr ExpectedControl kControls[] = {
      {"STR_0", ControlKind::String, 0},
      {"STR_1", ControlKind::String, 0},
      {"RADIO_4", ControlKind::Radio, AIX_CHOICE_COUNT},
      {"INT_3", ControlKind::Integer, 0},
      {"OPTION_6", ControlKind::Option, PART_TYPE_CHOICE_COUNT},
      {"OPTION_9", ControlKind::Option, NC_EXT_CHOICE_COUNT},
      {"RADIO_7", ControlKind::Radio, DESC_CHOICE_COUNT},
      {"TOGGLE_8", ControlKind::Toggle, 0}};
  const std::string name = installed_name(POST_DIALOG_FILE);
  const std::optional<std::string> text = read_installed(dir, name, problems);
  if (!text)
    return;
  const sim::Expected<sim::styler::DialogSpec> parsed = sim::styler::parse_dialog_file(*text);
  if (!parsed) {
    std::string error = parsed.error();
    int line = 0;
    if (error.rfind("line ", 0) == 0) {
      line = std::atoi(error.c_str() + 5);
      error.erase(0, error.find(": ") + 2);
    }
    problems.add(name, line, "the host cannot read the dialog: " + error);
    return;
  }
  const sim::styler::DialogSpec &dialog = *parsed;
  for (const ExpectedControl &expected : kControls) {
    const sim::styler::ControlSpec *control = dialog.find(expected.id);
    const std::string kind(sim::styler::control_kind_name(expected.kind));
    if (!control) {
      problems.add(name, 0,
                   std::string("no control ") + expected.id + " (" + kind +
                       "), which the command fills and reads");
      continue;
    }
    const int line = section_line(*text, expected.id);
    if (control->kind != expected.kind) {
      problems.add(name, line,
                   std::string(expected.id) + " is of kind " +
                       std::string(control_kind_name(control->kind)) + "; the command uses it as " +
                       kind);
      continue;
    }
    if (expected.choices != 0 && control->options.size() != expected.choices)
      problems.add(name, line,
                   std::string(expected.id) + " offers " + std::to_string(control->options.size()) +
                       " choices; the command knows " + std::to_string(expected.choices));
  }
}

void check_temp_folder(const fs::path &dir, Problems &problems) {
  const std::string settings = installed_name(DIALOG_SETTINGS_FILE);
  const std::string temp = settings.substr(0, settings.rfind('/'));
  std::error_code ec;
  if (!fs::is_directory(dir / temp, ec))
    problems.add(temp, 0,
                 "missing folder; the dialog settings and the postprocessors' summary files go "
                 "there");
}

} // namespace

std::vector<InstallProblem> check_installation(const fs::path &dir) {
  Problems problems;
  check_language_file(dir, COMMAND_LANG_NAME, problems);
  check_language_file(dir, MY_FUNC_LANG_NAME, problems);
  check_definition(dir, problems);
  check_dialog(dir, problems);
  check_template(dir, PROG_SHEET_TEMPLATE, problems);
  check_template(dir, PROG_SHEET_TEMPLATE_1, problems);
  check_temp_folder(dir, problems);
  std::vector<InstallProblem> list = std::move(problems).take();
  // Files stay in the order above; within a file, by line.
  std::vector<std::string> order;
  for (const InstallProblem &p : list)
    if (std::find(order.begin(), order.end(), p.file) == order.end())
      order.push_back(p.file);
  std::stable_sort(list.begin(), list.end(), [&](const InstallProblem &a, const InstallProblem &b) {
    const auto fa = std::find(order.begin(), order.end(), a.file);
    const auto fb = std::find(order.begin(), order.end(), b.file);
    return fa != fb ? fa < fb : a.line < b.line;
  });
  return list;
}

int check_install(const fs::path &dir, std::ostream &out, std::ostream &err) {
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) {
    err << "ncsheet: " << dir.string() << ": no such folder\n";
    return kExitUsage;
  }
  const std::vector<InstallProblem> problems = check_installation(dir);
  for (const InstallProblem &p : problems)
    out << (dir / p.file).string() << ":" << p.line << ": " << p.what << "\n";
  if (!problems.empty())
    return kExitRunFailed;
  out << "installation " << dir.string() << ": no problems\n";
  return kExitCompleted;
}

} // namespace ncsheet
