//===- sheet_templates.h - The program sheet's template parts -------------===//
//
// Draws the two sheet parts of the installation from the definition file
// config_prog_sheet_mr.def: the first page (frame, title row, the labelled
// header fields where the header notes go, table headings) and the
// further pages (frame, title row, table headings).  The headings stand
// over the column ranges the definition file gives.  The tool
// make_sheet_templates writes them into data/kv_conf; a test checks that
// the files there are what this code draws.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_DRAWINGS_SHEET_TEMPLATES_H
#define NCSHEET_SIM_DRAWINGS_SHEET_TEMPLATES_H

#include "base/expected.h"

#include <optional>
#include <string>
#include <string_view>

namespace sim::draw {

struct SheetTemplates {
  std::string first;   ///< prog_sheet_mr.prt
  std::string further; ///< prog_sheet_mr1.prt
};

/// The first numeric value of a key (with its colon) in a definition text,
/// read as the command reads it (words split at blanks, commas and line
/// feeds; the word after the key).
[[nodiscard]] std::optional<double> definition_value(std::string_view text, std::string_view key);

/// The two template parts, or a failure naming the key they need that the
/// definition lacks ("missing prog_sheet_width:").
[[nodiscard]] Expected<SheetTemplates> draw_sheet_templates(std::string_view definition);

} // namespace sim::draw

#endif
