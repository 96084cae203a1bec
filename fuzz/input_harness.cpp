//===- input_harness.cpp - One fuzz case of each reader of outside bytes --===//
#include "input_harness.h"

#include "sandbox.h"

#include "host/core.h"
#include "my_func/my_func.h"
#include "postproc/moves.h"
#include "post/post.h"
#include "scenario/scenario.h"
#include "sheet/sheet.h"
#include "styler/dialog_file.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iconv.h>
#include <numbers>
#include <regex>
#include <string_view>
#include <vector>

namespace fuzz {
namespace {

namespace geo = sim::geo;
namespace post = sim::post;

std::string_view as_text(const std::uint8_t *data, std::size_t size) {
  return {reinterpret_cast<const char *>(data), size};
}

/// The bytes up to the first terminator, as the readers of C texts see them.
std::string c_text(std::string_view bytes) {
  return std::string(bytes.substr(0, bytes.find('\0')));
}

//--- An independent decoding of GBK --------------------------------------===//

/// Character boundaries of a GBK text as iconv decodes it.  A byte pair that
/// iconv does not know but whose bytes lie in the double-byte ranges (an
/// unassigned or user-defined code) still counts as one character, as the
/// host reads it; any other undecodable byte is a character of its own.
class GbkReference {
public:
  GbkReference() : cd_(iconv_open("UTF-8", "GBK")) {}
  GbkReference(const GbkReference &) = delete;
  GbkReference &operator=(const GbkReference &) = delete;
  ~GbkReference() {
    if (valid())
      iconv_close(cd_);
  }
  [[nodiscard]] bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  /// Offsets where the characters of text begin, and text.size() last.
  [[nodiscard]] std::vector<std::size_t> boundaries(std::string_view text) {
    std::vector<std::size_t> starts;
    std::size_t at = 0;
    while (at < text.size()) {
      starts.push_back(at);
      at += width_at(text.substr(at));
    }
    starts.push_back(text.size());
    return starts;
  }

private:
  [[nodiscard]] bool decodes(std::string_view bytes) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char in[2];
    std::memcpy(in, bytes.data(), bytes.size());
    char out[16];
    char *src = in, *dst = out;
    std::size_t left = bytes.size(), room = sizeof out;
    return iconv(cd_, &src, &left, &dst, &room) != static_cast<std::size_t>(-1) && left == 0;
  }

  [[nodiscard]] std::size_t width_at(std::string_view rest) {
    if (decodes(rest.substr(0, 1)))
      return 1;
    if (rest.size() >= 2 && rest[1] != '\0' && decodes(rest.substr(0, 2)))
      return 2;
    if (rest.size() >= 2) {
      const auto lead = static_cast<unsigned char>(rest[0]);
      const auto trail = static_cast<unsigned char>(rest[1]);
      if (lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F)
        return 2;
    }
    return 1;
  }

  iconv_t cd_;
};

GbkReference &gbk_reference() {
  static GbkReference reference;
  return reference;
}

/// The longest prefix of text of at most max bytes that ends on a boundary.
std::size_t reference_prefix(std::string_view text, std::size_t max) {
  std::size_t best = 0;
  for (std::size_t b : gbk_reference().boundaries(text))
    if (b <= max)
      best = b;
  return best;
}

/// text with the single-byte letters a to z upper-cased.
std::string reference_upper(std::string_view text) {
  std::string out(text);
  const std::vector<std::size_t> starts = gbk_reference().boundaries(text);
  for (std::size_t k = 0; k + 1 < starts.size(); ++k)
    if (starts[k + 1] - starts[k] == 1 && out[starts[k]] >= 'a' && out[starts[k]] <= 'z')
      out[starts[k]] = static_cast<char>(out[starts[k]] - 'a' + 'A');
  return out;
}

//--- The saved settings record -------------------------------------------===//

int le32(std::string_view bytes, std::size_t offset) {
  std::uint32_t u = 0;
  for (int k = 3; k >= 0; --k)
    u = (u << 8) | static_cast<unsigned char>(bytes[offset + static_cast<std::size_t>(k)]);
  return static_cast<int>(u);
}

/// A text field holds the stored text up to its terminator, cut to 79
/// bytes on a character boundary of the stored text.
std::string check_record_text(const char *field, std::string_view stored, const char *name) {
  const std::size_t len = strnlen(field, DIALOG_SETTINGS_TEXT_SIZE);
  if (len >= DIALOG_SETTINGS_TEXT_SIZE)
    return std::string(name) + " not terminated";
  const std::string as_stored = c_text(stored);
  const std::size_t keep = reference_prefix(as_stored, DIALOG_SETTINGS_TEXT_SIZE - 1);
  if (std::string_view(field, len) != std::string_view(as_stored).substr(0, keep))
    return std::string(name) + " is not the stored text cut on a character boundary";
  return {};
}

std::string check_record(const dialog_settings &r, std::string_view bytes) {
  std::string problem = check_record_text(r.str_0, bytes.substr(0, 80), "str_0");
  if (problem.empty())
    problem = check_record_text(r.str_1, bytes.substr(80, 80), "str_1");
  struct Choice {
    int value;
    std::size_t offset;
    int count;
    const char *name;
  };
  const Choice choices[] = {{r.radio_4, 160, AIX_CHOICE_COUNT, "radio_4"},
                            {r.option_6, 168, PART_TYPE_CHOICE_COUNT, "option_6"},
                            {r.radio_7, 176, DESC_CHOICE_COUNT, "radio_7"},
                            {r.option_9, 180, NC_EXT_CHOICE_COUNT, "option_9"},
                            {r.toggle_8, 184, SHOW_EXT_CHOICE_COUNT, "toggle_8"}};
  for (const Choice &c : choices) {
    if (!problem.empty())
      break;
    const int stored = le32(bytes, c.offset);
    const int expected = stored >= 0 && stored < c.count ? stored : 0;
    if (c.value != expected)
      problem = std::string(c.name) + " is not the stored choice or its default";
  }
  if (problem.empty() && (r.int_3 != le32(bytes, 164) || r.reserved_172 != le32(bytes, 172) ||
                          r.reserved_188 != le32(bytes, 188)))
    problem = "a number field not kept as stored";
  return problem;
}

//--- The summary line -----------------------------------------------------===//

/// The twelve values of a summary line, split independently of the system.
std::vector<std::string> reference_split(std::string_view line) {
  std::vector<std::string> values;
  std::size_t at = 0;
  const auto separator = [](char c) { return c == ' ' || c == '\n'; };
  while (values.size() < ROW_VALUE_COUNT) {
    while (at < line.size() && separator(line[at]))
      ++at;
    std::size_t end = at;
    while (end < line.size() && !separator(line[end]))
      ++end;
    const std::string_view word = line.substr(at, end - at);
    values.emplace_back(word.substr(0, reference_prefix(word, ROW_VALUE_BUFSIZE - 1)));
    at = end;
  }
  return values;
}

/// The leading decimal number of text (blanks, sign, digits with a point,
/// exponent), read independently of the system; 0 when there is none.
double reference_number(const char *text) {
  static const std::regex number(R"(^[ \t\n\v\f\r]*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)");
  std::cmatch match;
  if (!std::regex_search(text, match, number))
    return 0.0;
  return std::strtod(match.str(0).c_str(), nullptr);
}

/// atoi's reading, held within the range of int.
long long reference_time(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && std::strchr(" \t\n\v\f\r", text[at]) != nullptr)
    ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-'))
    negative = text[at++] == '-';
  std::size_t end = at;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9')
    ++end;
  std::string_view digits = text.substr(at, end - at);
  while (digits.size() > 1 && digits.front() == '0')
    digits.remove_prefix(1);
  if (digits.size() > 12)
    return negative ? INT_MIN : INT_MAX;
  long long value = 0;
  (void)std::from_chars(digits.data(), digits.data() + digits.size(), value);
  value = negative ? -value : value;
  return std::clamp<long long>(value, INT_MIN, INT_MAX);
}

//--- Move programs --------------------------------------------------------===//

bool finite(const geo::Vec3 &p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

std::string check_moves(const std::vector<post::Move> &moves) {
  for (std::size_t k = 0; k < moves.size(); ++k) {
    const post::Move &m = moves[k];
    const std::string at = "move " + std::to_string(k + 1) + ": ";
    if (!finite(m.start) || !finite(m.end))
      return at + "a point that is not finite";
    if (m.first != (k == 0))
      return at + "first is set on a move other than the first";
    if (k > 0 && !(m.start.x == moves[k - 1].end.x && m.start.y == moves[k - 1].end.y &&
                   m.start.z == moves[k - 1].end.z))
      return at + "does not start where the last move ended";
    if ((m.motion == post::Motion::Rapid) != (m.feed == 0) || m.feed < 0 || !std::isfinite(m.feed))
      return at + "a feed that does not fit the motion";
    if (m.spindle < 0)
      return at + "a negative spindle speed";
    const double length = post::move_length(m);
    if (!std::isfinite(length) || length < 0)
      return at + "a length that is not a finite number from 0";
    if (m.motion == post::Motion::ArcCw || m.motion == post::Motion::ArcCcw) {
      const double r0 = std::hypot(m.start.x - m.centre.x, m.start.y - m.centre.y);
      const double r1 = std::hypot(m.end.x - m.centre.x, m.end.y - m.centre.y);
      if (!std::isfinite(r0) || !(r0 > 0) || !(std::abs(r0 - r1) <= 0.01 + 1e-9 * r0))
        return at + "an arc whose end is not on its circle";
      const double sweep = post::arc_angle(m);
      if (!(sweep > 0 && sweep <= 2 * std::numbers::pi + 1e-9))
        return at + "an arc angle outside (0, 2 pi]";
    }
  }
  return {};
}

std::size_t line_count(std::string_view text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
}

/// The N of an error text "line N: what"; -1 when it has no such start.
long error_line(std::string_view error) {
  if (error.substr(0, 5) != "line ")
    return -1;
  long n = -1;
  const auto [end, ec] = std::from_chars(error.data() + 5, error.data() + error.size(), n);
  if (ec != std::errc() || std::string_view(end, 2) != ": " ||
      end + 2 == error.data() + error.size())
    return -1;
  return n;
}

/// Loads scenario text in a sandbox; the problem, or empty when the load
/// ran or ended with a clear error.  *loaded tells which.
std::string load_case(Sandbox &box, std::string_view text, bool *loaded) {
  *loaded = false;
  try {
    const sim::Scenario scenario = sim::load_scenario_text(
        box.session(), text, "case.json", box.folder() / "base", box.folder() / "root");
    if (scenario.steps.empty())
      return "a loaded scenario without runs";
    *loaded = true;
  } catch (const sim::ScenarioError &e) {
    const std::string_view what = e.what();
    if (what.substr(0, 11) != "case.json: " || what.size() <= 11)
      return "an error that does not name the file: " + std::string(what);
  } catch (const std::exception &e) {
    return std::string("an exception other than a scenario error: ") + e.what();
  }
  return {};
}

} // namespace

std::string run_settings_case(const std::uint8_t *data, std::size_t size) {
  const std::string_view bytes = as_text(data, size);
  Sandbox box;
  if (!box.write(DIALOG_SETTINGS_FILE, bytes))
    return "the sandbox took no file";
  if (UF_initialize() != 0)
    return "no bracket";
  dialog_settings record;
  std::memset(&record, 0x5A, sizeof record);
  const int got = settings_load(DIALOG_SETTINGS_FILE, &record);
  std::string problem;
  if (size < DIALOG_SETTINGS_SIZE) {
    dialog_settings defaults;
    settings_defaults(&defaults);
    if (got != 0 || std::memcmp(&record, &defaults, sizeof record) != 0)
      problem = "a short file did not give the defaults";
  } else if (got != 1) {
    problem = "a whole record was not read";
  } else {
    problem = check_record(record, bytes);
  }
  if (problem.empty()) {
    // What the dialog writes back reads back the same.
    int opened = 0;
    dialog_settings again;
    if (settings_save(DIALOG_SETTINGS_FILE, &record, &opened) != 1 || !opened)
      problem = "the record could not be written back";
    else if (settings_load(DIALOG_SETTINGS_FILE, &again) != 1 ||
             std::memcmp(&record, &again, sizeof record) != 0)
      problem = "the record written back reads back otherwise";
  }
  (void)UF_terminate();
  return problem;
}

std::string run_summary_case(const std::uint8_t *data, std::size_t size) {
  const std::string line = c_text(as_text(data, size));
  row_values values;
  std::memset(&values, 'u', sizeof values);
  split_post_info(line.c_str(), &values);
  const std::vector<std::string> expected = reference_split(line);
  for (int i = 0; i < ROW_VALUE_COUNT; ++i)
    if (strnlen(values.value[i], ROW_VALUE_BUFSIZE) == ROW_VALUE_BUFSIZE ||
        values.value[i] != expected[static_cast<std::size_t>(i)])
      return "value " + std::to_string(i) + " is not the word cut on a character boundary";

  // The program name, with value 11 standing in for the NC extension.
  char ext[NC_EXT_BUFSIZE];
  (void)text_copy(ext, sizeof ext, values.value[11]);
  ext[gbk_prefix_len(ext, sizeof ext - 1)] = '\0';
  char name[ROW_VALUE_BUFSIZE];
  program_name_text(values.value[0], 0, ext, name);
  if (std::string_view(name) != values.value[0])
    return "the program name changed without the extension";
  program_name_text(values.value[0], 1, ext, name);
  const std::string joined = std::string(values.value[0]) + ext;
  const std::string cut = joined.substr(0, reference_prefix(joined, ROW_VALUE_BUFSIZE - 1));
  if (std::string_view(name) != reference_upper(cut))
    return "the program name with its extension is not the upper-cased joined text, cut";

  // Depths: any text gives a finite number within the limit.
  const double depth = depth_value(values.value[4]);
  const double top = depth_value(values.value[3]);
  if (!std::isfinite(depth) || std::fabs(depth) > ROW_DEPTH_LIMIT)
    return "a depth that is not a finite number within the limit";
  const double read = reference_number(values.value[4]);
  if (std::isfinite(read) && std::fabs(read) <= ROW_DEPTH_LIMIT ? depth != read : depth != 0.0)
    return "a depth not read as its leading decimal number";
  char places[FORMAT_BUFSIZE + 8];
  std::memset(places, 'u', sizeof places);
  format_places(depth - top, 1, places);
  if (strnlen(places, FORMAT_BUFSIZE) == FORMAT_BUFSIZE)
    return "a depth cell longer than its buffer";
  const double shown = std::strtod(places, nullptr);
  if (!std::isfinite(shown) || std::fabs(shown - (depth - top)) > 0.05 + 1e-12 * std::fabs(shown))
    return "the depth cell " + std::string(places) + " does not show the depth";

  // Times and their total.
  const int time = time_value(values.value[5]);
  if (time != reference_time(values.value[5]))
    return "the time is not read as atoi reads it, held within int";
  char cell[ROW_VALUE_BUFSIZE];
  int counted = -7;
  time_cell_text(values.value[5], cell, &counted);
  if (counted != (time == 0 ? 1 : time) ||
      std::string_view(cell) != (time == 0 ? std::string_view("1") : values.value[5]))
    return "the time cell or its count is wrong";
  const int other = time_value(values.value[6]);
  const int total = add_saturating(counted, other);
  if (total != std::clamp<long long>(static_cast<long long>(counted) + other, INT_MIN, INT_MAX))
    return "the total does not saturate";
  char text[TOTAL_TEXT_BUFSIZE];
  total_text(values.value[1], total, text);
  const std::string digits = std::to_string(total);
  const std::string want = " " + std::string(values.value[1]) +
                           std::string(digits.size() >= 5 ? 0 : 5 - digits.size(), ' ') + digits;
  if (want != text)
    return "the total row text is not the padded label and total";
  return {};
}

std::string run_dialog_case(const std::uint8_t *data, std::size_t size) {
  const std::string_view text = as_text(data, size);
  const sim::Expected<sim::styler::DialogSpec> parsed = sim::styler::parse_dialog_file(text);
  if (!parsed) {
    const std::string &error = parsed.error();
    const long line = error_line(error);
    if (line < 1 || static_cast<std::size_t>(line) > line_count(text))
      return "the error does not name a line of the file: " + error;
    return {};
  }
  const sim::styler::DialogSpec &dialog = *parsed;
  if (dialog.controls.empty())
    return "a dialog without controls";
  for (std::size_t k = 0; k < dialog.controls.size(); ++k) {
    const sim::styler::ControlSpec &c = dialog.controls[k];
    if (dialog.find(c.id) != &c)
      return "the control " + c.id + " is found as another";
    const bool choices =
        c.kind == sim::styler::ControlKind::Radio || c.kind == sim::styler::ControlKind::Option;
    if (choices != !c.options.empty())
      return "the control " + c.id + " has options that do not fit its kind";
    if (choices &&
        (c.initial.integer < 0 || static_cast<std::size_t>(c.initial.integer) >= c.options.size()))
      return "the control " + c.id + " starts outside its list";
    if (c.kind == sim::styler::ControlKind::Toggle && c.initial.integer != 0 &&
        c.initial.integer != 1)
      return "the toggle " + c.id + " starts neither on nor off";
    if (!std::isfinite(c.initial.real))
      return "the control " + c.id + " starts with a number that is not finite";
  }
  return {};
}

std::string run_scenario_case(const std::uint8_t *data, std::size_t size) {
  Sandbox box;
  bool loaded = false;
  return load_case(box, as_text(data, size), &loaded);
}

std::string run_moves_step_case(const std::uint8_t *data, std::size_t size) {
  if (size == 0)
    return {};
  const std::string_view bytes = as_text(data + 1, size - 1);
  if ((data[0] & 1) == 0) {
    const post::MoveDefaults defaults{(data[0] & 2) != 0 ? 300.0 : 0.0,
                                      (data[0] & 4) != 0 ? 3000 : 0};
    std::vector<post::Move> moves;
    post::MoveError error;
    if (!post::parse_moves(bytes, defaults, moves, error)) {
      if (error.line < 1 || static_cast<std::size_t>(error.line) > line_count(bytes) ||
          error.what.empty())
        return "the error does not name a line of the program";
      return {};
    }
    return check_moves(moves);
  }
  Sandbox box;
  std::error_code ec;
  std::filesystem::create_directories(box.folder() / "base", ec);
  {
    std::ofstream out(box.folder() / "base" / "case.stp", std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  bool loaded = false;
  return load_case(box, R"({"part": {"file": "case.prt", "bodies": [{"step": "case.stp"}]}})",
                   &loaded);
}

std::string run_gbk_case(const std::uint8_t *data, std::size_t size) {
  if (size == 0)
    return {};
  const std::size_t max = data[0];
  std::string text = c_text(as_text(data + 1, size - 1));
  if (!gbk_reference().valid())
    return "iconv has no GBK";
  const std::vector<std::size_t> starts = gbk_reference().boundaries(text);

  if (gbk_prefix_len(text.c_str(), max) != reference_prefix(text, max))
    return "the cut is not the longest prefix ending on a character boundary";

  std::size_t last = std::string::npos;
  for (std::size_t k = 0; k + 1 < starts.size(); ++k)
    if (starts[k + 1] - starts[k] == 1 && text[starts[k]] == '\\')
      last = starts[k];
  const char *found = gbk_last_backslash(text.data());
  if ((found == nullptr) != (last == std::string::npos) ||
      (found != nullptr && static_cast<std::size_t>(found - text.data()) != last))
    return "the last backslash is not the last one that is a character of its own";

  std::string upper = text;
  gbk_upper(upper.data());
  if (upper != reference_upper(text))
    return "upper-casing touched a double-byte character or missed a letter";

  char cut[64];
  std::memset(cut, 'u', sizeof cut);
  const std::size_t room = 1 + max % 48;
  text_copy_cut(cut, room, text.c_str(), max);
  const std::size_t len = std::strlen(cut);
  if (len != reference_prefix(text, std::min(max, room - 1)) || text.compare(0, len, cut) != 0)
    return "the bounded copy is not the text cut on a character boundary";
  for (std::size_t k = room; k < sizeof cut; ++k)
    if (cut[k] != 'u')
      return "the bounded copy wrote past its buffer";
  return {};
}

} // namespace fuzz
