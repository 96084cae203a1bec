//===- svg.h - Drawings as SVG pages at true size -------------------------===//
//
// One SVG page per drawing, in millimetres at true size, as page.h
// composes it; every character of a text stands where the font's metrics
// put it (lettering.h).
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_RENDER_SVG_H
#define NCSHEET_SIM_RENDER_SVG_H

#include "base/expected.h"
#include "host/defs.h"

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace sim {
class Session;
}

namespace sim::render {

/// The SVG document of one drawing; empty when tag is not a drawing.
[[nodiscard]] std::string drawing_svg(Session &session, tag_t drawing);
/// Writes the SVG document of one drawing to out as it goes; false when tag
/// is not a drawing or out failed.  Notes that run past their cell or off
/// the sheet add a warning each to warnings.
bool write_drawing_svg(Session &session, tag_t drawing, std::ostream &out,
                       std::vector<std::string> &warnings);
bool write_drawing_svg(Session &session, tag_t drawing, std::ostream &out);

/// The file name of a drawing's page: its name in UTF-8 with every ASCII
/// character other than a letter, a digit, '_', '-' and '.' replaced by
/// '_', and ".svg".
[[nodiscard]] std::string page_file_name(std::string_view drawing_name);

/// Writes every drawing of the part into folder (created when missing;
/// nothing is written or created when the part has no drawing), in
/// creation order; a name met twice gets "_2", "_3" ... before the
/// extension.  Returns the files written, or a failure that says which
/// could not be.  The notes' warnings go to warnings when it is given.
[[nodiscard]] Expected<std::vector<std::filesystem::path>>
write_pages(Session &session, const std::filesystem::path &folder,
            std::vector<std::string> *warnings = nullptr);

} // namespace sim::render

#endif
