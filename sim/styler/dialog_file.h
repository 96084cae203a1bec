//===- dialog_file.h - Dialog files of the host's dialog designer ---------===//
//
// A dialog file describes one dialog: its title and its controls in the
// order they are shown, each with an id, a kind, a label and, for radio
// boxes and option menus, the list of choices.  The format is this host's
// own, UTF-8 text in sections (see docs/scenario.md, "Dialog files"):
//
//   # a comment
//   [dialog]
//   title = Post and program sheet
//
//   [RADIO_4]
//   kind = radio
//   label = Axis markers
//   option = Draw axis markers
//   option = No axis markers
//   value = 0
//
// Kinds: string, integer, real, toggle, radio, option.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_STYLER_DIALOG_FILE_H
#define NCSHEET_SIM_STYLER_DIALOG_FILE_H

#include "base/expected.h"

#include <string>
#include <string_view>
#include <vector>

namespace sim::styler {

enum class ControlKind { String, Integer, Real, Toggle, Radio, Option };

[[nodiscard]] std::string_view control_kind_name(ControlKind kind) noexcept;

/// True for the kinds whose value is an integer.
[[nodiscard]] bool integer_kind(ControlKind kind) noexcept;

/// A control's value; which member counts follows from the kind.
struct ControlValue {
  std::string text; ///< string: host bytes (GBK)
  int integer = 0;  ///< integer, toggle (0 or 1), radio and option (choice index)
  double real = 0;
};

struct ControlSpec {
  std::string id; ///< "STR_0", "RADIO_4", ...
  ControlKind kind = ControlKind::String;
  std::string label;                ///< host bytes (GBK)
  std::vector<std::string> options; ///< radio and option: choices, host bytes
  ControlValue initial;
};

struct DialogSpec {
  std::string title; ///< host bytes (GBK)
  std::vector<ControlSpec> controls;

  /// The control of an id (exact), or null.
  [[nodiscard]] const ControlSpec *find(std::string_view id) const noexcept;
};

/// The dialog of a dialog file's UTF-8 text, or a failure that says
/// "line N: what is wrong".
[[nodiscard]] Expected<DialogSpec> parse_dialog_file(std::string_view text);

} // namespace sim::styler

#endif
