//===- page.cpp - A drawing composed as a page ----------------------------===//
#include "render/page.h"

#include "render/view_strokes.h"

#include "drafting/drafting.h"
#include "drafting/ordinate.h"
#include "drawings/drawings.h"
#include "drawings/member_views.h"
#include "geometry/model.h"
#include "objects/object_store.h"
#include "text/gbk.h"
#include "text/number_text.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sim::render {
namespace {

constexpr Pen kSheetPen{Ink::Sheet, 0.25, false};
constexpr Pen kModelPen{Ink::Model, 0.18, false};
constexpr Pen kBorderPen{Ink::Border, 0.1, true};
constexpr Pen kDimPen{Ink::Dim, 0.13, false};

/// Overflows smaller than this are the layout's rounding, not a fault.
constexpr double kOverflowSlack = 0.05;

bool shows(const geo::Layers &layers, const Object &object) {
  if (object.blanked)
    return false;
  return !geo::Layers::valid(object.layer) || layers.status(object.layer) != geo::kInvisible;
}

Point turned(Point p, Point about, double degrees) {
  const double a = degrees * std::numbers::pi / 180, c = std::cos(a), s = std::sin(a);
  const double dx = p[0] - about[0], dy = p[1] - about[1];
  return {about[0] + c * dx - s * dy, about[1] + s * dx + c * dy};
}

/// The vertical sheet lines of a drawing: x and the span of y.
struct Upright {
  double x, low, high;
};

/// The table cell around a point: the nearest sheet lines left and right
/// of it that span its height; false when it lies in none.
bool cell_around(const std::vector<Upright> &uprights, Point p, double &left, double &right) {
  left = -1e300;
  right = 1e300;
  for (const Upright &u : uprights) {
    if (p[1] < u.low || p[1] > u.high)
      continue;
    if (u.x <= p[0])
      left = std::max(left, u.x);
    if (u.x >= p[0])
      right = std::min(right, u.x);
  }
  return left > -1e300 && right < 1e300;
}

// A note: its lines as one block whose alignment position lies on the
// origin; lines are line_space_factor * size apart.
void note(const Lettering &lettering, Canvas &canvas, const drf::NotePayload &note,
          const std::vector<Upright> &uprights, const std::string &drawing_name, double sheet_width,
          std::vector<std::string> &warnings) {
  const UF_DRF_lettering_t &text = note.lettering.general_text;
  const double size = text.size, stretch = 1 / text.aspect_ratio;
  const double gap = text.char_space_factor * size, line_gap = text.line_space_factor * size;
  std::vector<TextLine> lines;
  double block_width = 0;
  for (const std::string &line : note.lines) {
    lines.push_back(lettering.lay_out(gbk_to_utf8(line), size, stretch, gap));
    block_width = std::max(block_width, lines.back().length);
  }
  const auto m = static_cast<double>(note.lines.size());
  const double block_height = m * size + (m - 1) * line_gap;
  const int align = note.lettering.align_position;
  const int column = (align - 1) % 3, row = (align - 1) / 3;
  const double left = note.origin.x - block_width * column / 2.0;
  const double top = note.origin.y + block_height * row / 2.0;
  const Point origin{note.origin.x, note.origin.y};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].glyphs.empty())
      continue;
    const int just = note.lettering.horiz_text_just - 1;
    const double x = left + (block_width - lines[i].length) * just / 2.0;
    const double baseline = top - size - static_cast<double>(i) * (size + line_gap);
    if (note.orientation == 0) {
      double cell_left = 0, cell_right = 0;
      const double past =
          cell_around(uprights, {note.origin.x, baseline + size / 2}, cell_left, cell_right)
              ? std::max(cell_left - x, x + lines[i].length - cell_right)
              : 0;
      const double off = std::max(-x, x + lines[i].length - sheet_width);
      if (off > kOverflowSlack)
        warnings.push_back("note \"" + lines[i].utf8 + "\" on " + drawing_name + " runs " +
                           trimmed_number(off, 1) + " mm off the sheet");
      else if (past > kOverflowSlack)
        warnings.push_back("note \"" + lines[i].utf8 + "\" on " + drawing_name + " runs " +
                           trimmed_number(past, 1) + " mm past its cell");
    }
    PlacedText placed{std::move(lines[i]), turned({x, baseline}, origin, note.orientation),
                      static_cast<double>(note.orientation), Ink::Sheet};
    canvas.text(placed);
  }
}

// An ordinate dimension: a line from its point to its margin, and its
// value beyond the margin, upright on a vertical margin and turned to read
// upwards on a horizontal one.
void ordinate_dimension(const Lettering &lettering, Canvas &canvas,
                        const drf::OrdDimensionPayload &dim) {
  const double size = dim.lettering.size > 0 ? dim.lettering.size : 3.5;
  const double x = dim.text_at[0], y = dim.text_at[1];
  canvas.line({dim.at.sheet[0], dim.at.sheet[1]}, {x, y}, kDimPen);
  TextLine line = lettering.lay_out(dim.text, size, 1, 0);
  const double length = line.length;
  if (dim.text_at[1] != dim.at.sheet[1]) // below a horizontal margin, ending 1 below it
    canvas.text({std::move(line), {x + size / 3, y - 1 - length}, 90, Ink::Dim});
  else // left of a vertical margin, ending 1 left of it
    canvas.text({std::move(line), {x - 1 - length, y - size / 3}, 0, Ink::Dim});
}

// A member view: the bodies as its display settings draw them, then the
// model curves and points over them.
void member_view(Session &session, Canvas &canvas, tag_t tag, const draw::MemberViewPayload &view,
                 bool border) {
  std::string why;
  const ViewBodyLines body = view_body_lines(session, tag, view, why);
  canvas.begin_view(tag, why);
  double lo[2] = {1e300, 1e300}, hi[2] = {-1e300, -1e300};
  bool drawn = false;
  for_each_body_stroke(body, view, [&](const Stroke &stroke) {
    canvas.polyline(stroke.points, Pen{Ink::Edge, stroke.width, stroke.dashed});
    drawn = true;
    for (const Point &p : stroke.points)
      for (int k = 0; k < 2; ++k) {
        lo[k] = std::min(lo[k], p[k]);
        hi[k] = std::max(hi[k], p[k]);
      }
  });
  const geo::Layers &layers = session.component<geo::Layers>();
  session.objects().for_each([&](const Object &object) {
    if (!object.payload || !shows(layers, object))
      return;
    if (const auto *curve = payload_cast<const geo::CurvePayload>(object.payload.get())) {
      std::vector<Point> points;
      for (const geo::Vec3 &p : curve_points(curve->curve))
        points.push_back(draw::model_to_drawing(view, p));
      canvas.polyline(points, kModelPen);
    } else if (const auto *point = payload_cast<const geo::PointPayload>(object.payload.get())) {
      const Point p = draw::model_to_drawing(view, point->at);
      canvas.line({p[0] - 0.75, p[1]}, {p[0] + 0.75, p[1]}, kModelPen);
      canvas.line({p[0], p[1] - 0.75}, {p[0], p[1] + 0.75}, kModelPen);
    }
  });
  if (border && drawn) {
    constexpr double kMargin = 3.0;
    canvas.polyline({{lo[0] - kMargin, lo[1] - kMargin},
                     {hi[0] + kMargin, lo[1] - kMargin},
                     {hi[0] + kMargin, hi[1] + kMargin},
                     {lo[0] - kMargin, hi[1] + kMargin},
                     {lo[0] - kMargin, lo[1] - kMargin}},
                    kBorderPen);
  }
  canvas.end_view();
}

} // namespace

bool page_size(Session &session, tag_t drawing, double &width, double &height) {
  const draw::DrawingPayload *sheet = draw::find_drawing(session, drawing);
  if (!sheet)
    return false;
  width = sheet->width;
  height = sheet->height;
  return true;
}

SheetObjects::SheetObjects(const Session &session) {
  session.objects().for_each([&](const Object &object) {
    tag_t drawing = NULL_TAG;
    const Payload *payload = object.payload.get();
    if (const auto *line = payload_cast<const drf::SheetLinePayload>(payload))
      drawing = line->drawing;
    else if (const auto *text = payload_cast<const drf::NotePayload>(payload))
      drawing = text->drawing;
    else if (const auto *dim = payload_cast<const drf::OrdDimensionPayload>(payload))
      drawing = dim->drawing;
    if (drawing != NULL_TAG)
      by_drawing_[drawing].push_back(&object);
  });
}

std::span<const Object *const> SheetObjects::of(tag_t drawing) const noexcept {
  const auto found = by_drawing_.find(drawing);
  if (found == by_drawing_.end())
    return {};
  return found->second;
}

void draw_page(Session &session, tag_t drawing, const SheetObjects &objects, Canvas &canvas,
               std::vector<std::string> &warnings) {
  const draw::DrawingPayload *sheet = draw::find_drawing(session, drawing);
  if (!sheet)
    return;
  const bool border = session.component<draw::Drawings>().border_display;
  const Lettering &lettering = session.component<Lettering>();
  const std::string name = gbk_to_utf8(session.objects().find(drawing)->name);
  const geo::Layers &layers = session.component<geo::Layers>();
  std::vector<Upright> uprights;
  for (const Object *object : objects.of(drawing))
    if (shows(layers, *object))
      if (const auto *line = payload_cast<const drf::SheetLinePayload>(object->payload.get()))
        if (line->start.x == line->end.x)
          uprights.push_back({line->start.x, std::min(line->start.y, line->end.y),
                              std::max(line->start.y, line->end.y)});
  for (const Object *object : objects.of(drawing)) {
    if (!shows(layers, *object))
      continue;
    const Payload *payload = object->payload.get();
    if (const auto *line = payload_cast<const drf::SheetLinePayload>(payload))
      canvas.line({line->start.x, line->start.y}, {line->end.x, line->end.y}, kSheetPen);
    else if (const auto *text = payload_cast<const drf::NotePayload>(payload))
      note(lettering, canvas, *text, uprights, name, sheet->width, warnings);
    else if (const auto *dim = payload_cast<const drf::OrdDimensionPayload>(payload))
      ordinate_dimension(lettering, canvas, *dim);
  }
  for (tag_t view : sheet->views)
    if (const draw::MemberViewPayload *member = draw::find_member_view(session, view))
      member_view(session, canvas, view, *member, border);
}

} // namespace sim::render
