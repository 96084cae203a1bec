//===- canvas.h - What a page is drawn on ---------------------------------===//
//
// A page is composed once (page.h) and drawn on a canvas: the SVG writer
// and the PDF writer are the two canvases.  Coordinates are the drawing's,
// in millimetres with y upwards; each canvas turns them its own way.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_RENDER_CANVAS_H
#define NCSHEET_SIM_RENDER_CANVAS_H

#include "host/defs.h"
#include "render/lettering.h"

#include <array>
#include <string_view>
#include <vector>

namespace sim::render {

using Point = std::array<double, 2>;

/// What a line or text belongs to; each ink has its colour.
enum class Ink { Sheet, Edge, Model, Border, Dim };

struct Pen {
  Ink ink = Ink::Sheet;
  double width = 0.25;
  bool dashed = false;
};

/// A line of text on the page: its baseline starts at at and runs angle
/// degrees counterclockwise from the drawing's x axis.
struct PlacedText {
  TextLine line;
  Point at{0, 0};
  double angle = 0;
  Ink ink = Ink::Sheet;
};

class Canvas {
public:
  virtual ~Canvas() = default;
  virtual void line(Point a, Point b, const Pen &pen) = 0;
  virtual void polyline(const std::vector<Point> &points, const Pen &pen) = 0;
  virtual void text(const PlacedText &text) = 0;
  /// A member view's lines follow until end_view; why is non-empty when its
  /// hidden lines could not be removed.
  virtual void begin_view(tag_t view, std::string_view why) {}
  virtual void end_view() {}
};

} // namespace sim::render

#endif
