//===- sheet_files.cpp - The pages of a run, as SVG and as PDF ------------===//
#include "render/sheet_files.h"

#include "render/pdf.h"
#include "render/svg.h"
#include "render/view_strokes.h"

#include "drawings/drawings.h"
#include "objects/object_store.h"

#include <exception>
#include <thread>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace sim::render {

namespace {

bool has_drawing(Session &session) {
  for (tag_t drawing : session.objects().tags_of_type(draw::kDrawingType))
    if (draw::find_drawing(session, drawing))
      return true;
  return false;
}

} // namespace

Expected<SheetFiles> write_sheet_files(Session &session, const std::filesystem::path &folder,
                                       const std::string &pdf_name,
                                       const std::function<void()> &alongside) {
  using Result = Expected<SheetFiles>;
  std::error_code error;
  const bool any = has_drawing(session);
  if (any)
    std::filesystem::create_directories(folder, error);
  if (!any || error) {
    if (alongside)
      alongside();
    if (error)
      return Result::failure(folder.string() + ": " + error.message());
    return SheetFiles{};
  }
  compute_view_lines(session);
#ifdef __GLIBC__
  // The views' threads leave their freed memory in arenas of their own,
  // where the pages cannot reuse it: give it back first.
  malloc_trim(0);
#endif
  const std::filesystem::path pdf = folder / pdf_name;
  SheetFiles files;
  Expected<void> pdf_written;
  Expected<std::vector<std::filesystem::path>> pages = std::vector<std::filesystem::path>{};
  {
    std::jthread pdf_writer([&] {
      try { // an exception must not leave the thread: it would end the process
        pdf_written = write_pdf(session, pdf);
      } catch (const std::exception &e) {
        pdf_written = Expected<void>::failure(pdf.string() + ": " + e.what());
      }
    });
    pages = write_pages(session, folder, &files.warnings);
    if (alongside)
      alongside();
  }
  if (!pages) {
    std::filesystem::remove(pdf, error);
    return Result::failure(pages.error());
  }
  if (!pdf_written)
    return Result::failure(pdf_written.error());
  files.pages = std::move(*pages);
  files.pdf = pdf;
  return files;
}

} // namespace sim::render
