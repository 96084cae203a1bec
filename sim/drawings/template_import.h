//===- template_import.h - Importing a sheet part into the work part ------===//
//
// The simulated host keeps sheet parts (title blocks, frames, headings) as
// JSON files of drawing-space objects (see docs/host-decisions.md):
//
//   { "format": "ncsheet-part", "version": 1, "units": "mm",
//     "objects": [
//       { "type": "line", "start": [x, y], "end": [x, y], "layer": 1 },
//       { "type": "note", "origin": [x, y], "lines": ["UTF-8 text"],
//         "size": 3.5, "char_space_factor": 0.2, "aspect_ratio": 1.0,
//         "align": 5 } ] }
//
// Importing copies every object, placed by the destination coordinate
// system, point and scale, onto the drawing shown (or into the model when
// the model is shown).  The file is read whole before anything is made,
// so a damaged file adds nothing.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_DRAWINGS_TEMPLATE_IMPORT_H
#define NCSHEET_SIM_DRAWINGS_TEMPLATE_IMPORT_H

#include "base/expected.h"
#include "geometry/types.h"
#include "host/draw.h"
#include "session/session.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim::draw {

/// One object of a sheet part, in the part's own coordinates.
struct SheetObject {
  enum class Kind { Line, Note } kind = Kind::Line;
  geo::Vec3 start, end;           ///< a line
  geo::Vec3 origin;               ///< a note
  std::vector<std::string> lines; ///< a note's text, host bytes
  double size = 3.5;
  double char_space_factor = 0.5;
  double aspect_ratio = 1.0;
  int align = 7;
  int layer = 1;
};

/// The objects of a sheet part, or a failure that says why it is not one.
[[nodiscard]] Expected<std::vector<SheetObject>> parse_sheet_part(std::string_view text);

/// UF_PART_import: returns a host status.
[[nodiscard]] int import_part(Session &session, const char *part_name,
                              const UF_import_part_modes_t &modes, const double dest_csys[6],
                              const double dest_point[3], double scale, tag_t &group);

} // namespace sim::draw

#endif
