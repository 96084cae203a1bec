//===- pdf.h - The sheet as one PDF ---------------------------------------===//
//
// Every drawing of the part, in creation order, as one page of a PDF at the
// drawing's true size: vector lines, and texts in the page font, embedded,
// at the places the SVG pages give them.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_RENDER_PDF_H
#define NCSHEET_SIM_RENDER_PDF_H

#include "base/expected.h"
#include "session/session.h"

#include <filesystem>
#include <string>

namespace sim::render {

/// Writes the PDF of the part's drawings to file; a failure says why it
/// cannot be written.  Nothing is written when the part has no drawing
/// (file untouched).
[[nodiscard]] Expected<void> write_pdf(Session &session, const std::filesystem::path &file);

} // namespace sim::render

#endif
