//===- page.h - A drawing composed as a page ------------------------------===//
//
// What a page of a drawing shows, in order: its sheet lines, its notes
// (lines of text placed by their alignment, laid out by lettering.h),
// its ordinate dimensions, and its member views (view_strokes.h) with the
// model curves and points over them.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_RENDER_PAGE_H
#define NCSHEET_SIM_RENDER_PAGE_H

#include "render/canvas.h"
#include "session/session.h"

#include <string>
#include <vector>

namespace sim::render {

/// Width and height of a drawing, millimetres; false when tag is no drawing.
[[nodiscard]] bool page_size(Session &session, tag_t drawing, double &width, double &height);

/// Draws drawing on canvas.  Notes whose text runs past their table cell or
/// off the sheet add a warning each, naming the note, the drawing and by
/// how much.
void draw_page(Session &session, tag_t drawing, Canvas &canvas, std::vector<std::string> &warnings);

} // namespace sim::render

#endif
