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
#include "objects/object.h"
#include "session/session.h"

#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace sim::render {

/// Width and height of a drawing, millimetres; false when tag is no drawing.
[[nodiscard]] bool page_size(Session &session, tag_t drawing, double &width, double &height);

/// The sheet lines, notes and ordinate dimensions of each drawing, in the
/// part's order, found in one walk of the part: a writer of many pages
/// makes it once instead of walking every object for each page.  It holds
/// the part's objects, so the part must not change while it is used.
class SheetObjects {
public:
  explicit SheetObjects(const Session &session);
  [[nodiscard]] std::span<const Object *const> of(tag_t drawing) const noexcept;

private:
  std::unordered_map<tag_t, std::vector<const Object *>> by_drawing_;
};

/// Draws drawing, whose objects are in objects, on canvas.  Notes whose
/// text runs past their table cell or off the sheet add a warning each,
/// naming the note, the drawing and by how much.
void draw_page(Session &session, tag_t drawing, const SheetObjects &objects, Canvas &canvas,
               std::vector<std::string> &warnings);

} // namespace sim::render

#endif
