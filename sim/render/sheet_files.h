//===- sheet_files.h - The pages of a run, as SVG and as PDF --------------===//
//
// What a run leaves of the part's drawings: one SVG page per drawing
// (svg.h) and the whole sheet as one PDF (pdf.h).  The views' lines are
// computed first; the two formats are then drawn side by side.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_RENDER_SHEET_FILES_H
#define NCSHEET_SIM_RENDER_SHEET_FILES_H

#include "base/expected.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace sim {
class Session;
}

namespace sim::render {

/// What write_sheet_files wrote.
struct SheetFiles {
  std::vector<std::filesystem::path> pages; ///< the SVG pages, in drawing order
  std::filesystem::path pdf;                ///< empty when none was written
  std::vector<std::string> warnings;        ///< notes past their cell or off the sheet
};

/// Writes the SVG pages of the part's drawings into folder and the PDF as
/// folder / pdf_name; nothing when the part has no drawing.  Fails, saying
/// which file, when a page or the PDF cannot be written; no PDF is then
/// left.  alongside, when given, runs once on the calling thread while the
/// PDF is drawn: work that only reads the session, such as the part dump.
[[nodiscard]] Expected<SheetFiles> write_sheet_files(Session &session,
                                                     const std::filesystem::path &folder,
                                                     const std::string &pdf_name,
                                                     const std::function<void()> &alongside = {});

} // namespace sim::render

#endif
