//===- pdf.h - The sheet as one PDF ---------------------------------------===//
//
// Every drawing of the part, in creation order, as one page of a PDF at the
// drawing's true size: vector lines, and texts in the page font, embedded,
// at the places the SVG pages give them.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_RENDER_PDF_H
#define NCSHEET_SIM_RENDER_PDF_H

#include "session/session.h"

#include <filesystem>
#include <string>

namespace sim::render {

/// Writes the PDF of the part's drawings to file; false with why set when
/// it cannot be written.  Nothing is written when the part has no drawing
/// (then true, and file untouched).
[[nodiscard]] bool write_pdf(Session &session, const std::filesystem::path &file, std::string &why);

} // namespace sim::render

#endif
