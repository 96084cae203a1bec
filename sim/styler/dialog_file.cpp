//===- dialog_file.cpp - Dialog files of the host's dialog designer -------===//
#include "styler/dialog_file.h"

#include "text/gbk.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace sim::styler {
namespace {

/// Longest line and most controls a dialog file may have.
constexpr std::size_t kMaxLine = 4096;
constexpr std::size_t kMaxControls = 256;

[[nodiscard]] std::string_view trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

[[nodiscard]] std::optional<ControlKind> kind_of(std::string_view word) {
  static constexpr ControlKind kKinds[] = {ControlKind::String, ControlKind::Integer,
                                           ControlKind::Real,   ControlKind::Toggle,
                                           ControlKind::Radio,  ControlKind::Option};
  for (ControlKind kind : kKinds)
    if (control_kind_name(kind) == word)
      return kind;
  return std::nullopt;
}

[[nodiscard]] bool valid_id(std::string_view id) {
  if (id.empty() || id.size() > 64)
    return false;
  for (char c : id)
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'))
      return false;
  return true;
}

/// The state of the reader between lines.
struct Reader {
  DialogSpec &dialog;
  bool in_dialog = false;         ///< in the [dialog] section
  ControlSpec *control = nullptr; ///< the control section being read
  int control_line = 0;           ///< where its section begins
  bool kind_seen = false;
  std::string initial; ///< the control's "value" line, read at its end
  int initial_line = 0;
};

/// Checks a finished control and applies its initial value.
[[nodiscard]] bool finish_control(Reader &r, std::string &why, int &line) {
  ControlSpec *c = r.control;
  if (!c)
    return true;
  line = r.control_line;
  if (!r.kind_seen) {
    why = "the control " + c->id + " has no kind";
    return false;
  }
  const bool choices = c->kind == ControlKind::Radio || c->kind == ControlKind::Option;
  if (choices && c->options.empty()) {
    why = "the control " + c->id + " needs at least one option";
    return false;
  }
  if (!choices && !c->options.empty()) {
    why = "only radio boxes and option menus have options (" + c->id + ")";
    return false;
  }
  if (!r.initial.empty()) {
    line = r.initial_line;
    const std::string_view text = r.initial;
    if (c->kind == ControlKind::String) {
      c->initial.text = utf8_to_gbk(text);
    } else if (c->kind == ControlKind::Real) {
      const std::string number(text);
      const auto [end, ec] =
          std::from_chars(number.data(), number.data() + number.size(), c->initial.real);
      if (ec != std::errc() || end != number.data() + number.size()) {
        why = "the value of " + c->id + " is not a number";
        return false;
      }
    } else {
      const auto [end, ec] =
          std::from_chars(text.data(), text.data() + text.size(), c->initial.integer);
      if (ec != std::errc() || end != text.data() + text.size()) {
        why = "the value of " + c->id + " is not a whole number";
        return false;
      }
      const int v = c->initial.integer;
      const bool in_list = choices ? v >= 0 && static_cast<std::size_t>(v) < c->options.size()
                                   : c->kind != ControlKind::Toggle || v == 0 || v == 1;
      if (!in_list) {
        why = "the value of " + c->id + " is not one its list offers";
        return false;
      }
    }
  }
  r.control = nullptr;
  r.kind_seen = false;
  r.initial.clear();
  return true;
}

[[nodiscard]] bool read_line(std::string_view line, int number, Reader &r, std::string &why,
                             int &error_line) {
  error_line = number;
  line = trim(line);
  if (line.empty() || line.front() == '#')
    return true;
  if (line.front() == '[') {
    if (line.back() != ']') {
      why = "a section header ends with ]";
      return false;
    }
    if (!finish_control(r, why, error_line))
      return false;
    error_line = number;
    const std::string_view id = trim(line.substr(1, line.size() - 2));
    if (id == "dialog") {
      r.in_dialog = true;
      return true;
    }
    r.in_dialog = false;
    if (!valid_id(id)) {
      why = "a control id is letters, digits and _";
      return false;
    }
    if (r.dialog.find(id)) {
      why = "the control " + std::string(id) + " is described twice";
      return false;
    }
    if (r.dialog.controls.size() >= kMaxControls) {
      why = "too many controls";
      return false;
    }
    r.dialog.controls.push_back(ControlSpec{std::string(id), ControlKind::String, {}, {}, {}});
    r.control = &r.dialog.controls.back();
    r.control_line = number;
    return true;
  }
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) {
    why = "a line is \"key = value\"";
    return false;
  }
  const std::string_view key = trim(line.substr(0, eq));
  const std::string_view value = trim(line.substr(eq + 1));
  if (r.in_dialog) {
    if (key != "title") {
      why = "the dialog section knows only \"title\"";
      return false;
    }
    r.dialog.title = utf8_to_gbk(value);
    return true;
  }
  if (!r.control) {
    why = "a key before any section";
    return false;
  }
  if (key == "kind") {
    const std::optional<ControlKind> kind = kind_of(value);
    if (!kind) {
      why = "the kind is string, integer, real, toggle, radio or option";
      return false;
    }
    r.control->kind = *kind;
    r.kind_seen = true;
  } else if (key == "label") {
    r.control->label = utf8_to_gbk(value);
  } else if (key == "option") {
    r.control->options.push_back(utf8_to_gbk(value));
  } else if (key == "value") {
    r.initial = std::string(value);
    r.initial_line = number;
  } else {
    why = "unknown key \"" + std::string(key) + "\"";
    return false;
  }
  return true;
}

} // namespace

std::string_view control_kind_name(ControlKind kind) noexcept {
  switch (kind) {
  case ControlKind::String: return "string";
  case ControlKind::Integer: return "integer";
  case ControlKind::Real: return "real";
  case ControlKind::Toggle: return "toggle";
  case ControlKind::Radio: return "radio";
  case ControlKind::Option: return "option";
  }
  return "?";
}

bool integer_kind(ControlKind kind) noexcept {
  return kind != ControlKind::String && kind != ControlKind::Real;
}

const ControlSpec *DialogSpec::find(std::string_view id) const noexcept {
  for (const ControlSpec &control : controls)
    if (control.id == id)
      return &control;
  return nullptr;
}

Expected<DialogSpec> parse_dialog_file(std::string_view text) {
  DialogSpec dialog;
  if (text.substr(0, 3) == "\xEF\xBB\xBF")
    text.remove_prefix(3);
  Reader reader{dialog, false, nullptr, 0, false, {}, 0};
  int number = 0;
  int error_line = 0;
  std::string why;
  while (!text.empty()) {
    const std::size_t eol = text.find('\n');
    const std::string_view line = text.substr(0, eol);
    text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
    ++number;
    if (line.size() > kMaxLine) {
      return Expected<DialogSpec>::failure("line " + std::to_string(number) +
                                           ": the line is too long");
    }
    if (!read_line(line, number, reader, why, error_line)) {
      return Expected<DialogSpec>::failure("line " + std::to_string(error_line) + ": " + why);
    }
  }
  if (!finish_control(reader, why, error_line)) {
    return Expected<DialogSpec>::failure("line " + std::to_string(error_line) + ": " + why);
  }
  if (dialog.controls.empty()) {
    // An empty file has no line 0: name its first.
    return Expected<DialogSpec>::failure("line " + std::to_string(number > 0 ? number : 1) +
                                         ": the dialog has no controls");
  }
  return dialog;
}

} // namespace sim::styler
