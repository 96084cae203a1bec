//===- view_strokes.cpp - A member view's bodies as its settings draw them ===//
#include "render/view_strokes.h"

#include "drawings/drawings.h"
#include "geometry/hidden_lines.h"
#include "geometry/model.h"
#include "objects/object_store.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <numbers>
#include <optional>

namespace sim::render {
namespace {

/// The kernel's lines of each view for the body state it last drew.
class ViewLineCache : public Component {
public:
  explicit ViewLineCache(Session &) {}
  [[nodiscard]] std::string_view name() const override { return "view_lines"; }
  [[nodiscard]] bool in_dump() const override { return false; }

  struct Entry {
    tag_t view = NULL_TAG;
    std::vector<geo::Shape> bodies; ///< kept, so their identity stays theirs
    geo::Mat3 axes;
    double tolerance = 0;
    std::shared_ptr<const geo::ViewLines> lines;
  };

  const Entry *find(tag_t view, const std::vector<geo::Shape> &bodies, const geo::Mat3 &axes,
                    double tolerance) const {
    for (const Entry &entry : entries_)
      if (entry.view == view && same(entry, bodies, axes, tolerance))
        return &entry;
    return nullptr;
  }
  const Entry &put(Entry entry) {
    std::erase_if(entries_, [&](const Entry &old) { return old.view == entry.view; });
    entries_.push_back(std::move(entry));
    ++runs_;
    return entries_.back();
  }
  [[nodiscard]] int runs() const { return runs_; }

private:
  static bool same(const Entry &entry, const std::vector<geo::Shape> &bodies, const geo::Mat3 &axes,
                   double tolerance) {
    if (entry.tolerance != tolerance || entry.bodies.size() != bodies.size())
      return false;
    for (int r = 0; r < 3; ++r)
      if (entry.axes.row[r].x != axes.row[r].x || entry.axes.row[r].y != axes.row[r].y ||
          entry.axes.row[r].z != axes.row[r].z)
        return false;
    for (std::size_t i = 0; i < bodies.size(); ++i)
      if (&entry.bodies[i].impl() != &bodies[i].impl())
        return false;
    return true;
  }

  std::vector<Entry> entries_;
  int runs_ = 0;
};

double width_of(int setting, double original) {
  switch (setting) {
  case UF_DRAW_WIDTH_THIN: return kThinWidth;
  case UF_DRAW_WIDTH_NORMAL: return kNormalWidth;
  case UF_DRAW_WIDTH_THICK: return kThickWidth;
  default: return original;
  }
}

/// How a piece of a kind and visibility is drawn, or nothing when the
/// settings leave it out.
std::optional<Stroke> style_of(const UF_DRAW_view_display_t &d, geo::ViewLineKind kind,
                               bool visible) {
  if (kind == geo::ViewLineKind::Outline && d.silhouettes != UF_DRAW_YES)
    return std::nullopt;
  if (kind == geo::ViewLineKind::Smooth && d.smooth_edges != UF_DRAW_YES)
    return std::nullopt;
  // Hidden lines not processed: every piece is drawn as a visible one.
  if (!visible && d.hidden_line == UF_DRAW_YES) {
    if (d.hidden_line_font == UF_DRAW_FONT_INVISIBLE)
      return std::nullopt;
    return Stroke{
        width_of(d.hidden_line_width, kThinWidth), d.hidden_line_font == UF_DRAW_FONT_DASHED, {}};
  }
  if (d.visible_lines == UF_DRAW_NO)
    return std::nullopt;
  int font = d.visible_line_font, width = d.visible_line_width;
  if (kind == geo::ViewLineKind::Outline) {
    if (d.silhouette_font != UF_DRAW_FONT_ORIGINAL)
      font = d.silhouette_font;
    if (d.silhouette_width != UF_DRAW_WIDTH_ORIGINAL)
      width = d.silhouette_width;
  }
  if (font == UF_DRAW_FONT_INVISIBLE)
    return std::nullopt;
  return Stroke{width_of(width, kNormalWidth), font == UF_DRAW_FONT_DASHED, {}};
}

/// The polyline without gap millimetres at each end; empty when it is no
/// longer than both gaps.
std::vector<std::array<double, 2>> trimmed(std::vector<std::array<double, 2>> points, double gap) {
  for (int end = 0; end < 2 && points.size() >= 2; ++end) {
    double left = gap;
    while (points.size() >= 2) {
      const double dx = points[1][0] - points[0][0], dy = points[1][1] - points[0][1];
      const double length = std::hypot(dx, dy);
      if (length > left) {
        points[0] = {points[0][0] + dx * left / length, points[0][1] + dy * left / length};
        break;
      }
      left -= length;
      points.erase(points.begin());
    }
    if (points.size() < 2)
      return {};
    std::reverse(points.begin(), points.end());
  }
  return points;
}

/// What a view's lines are computed from: the visible bodies, the view's
/// tolerance, and the kernel's request.
struct ViewJob {
  std::vector<geo::Shape> bodies;
  double tolerance = 0;
  geo::ViewRequest request;
};

ViewJob view_job(Session &session, const draw::MemberViewPayload &view) {
  ViewJob job;
  int edge_count = 0;
  for (tag_t body_tag : geo::visible_bodies(session))
    if (const geo::BodyPayload *body = geo::find_body(session, body_tag)) {
      job.bodies.push_back(body->shape);
      edge_count += body->shape.edge_count();
    }
  const double tolerance = view.display.tolerance > 0 ? view.display.tolerance : 0.01;
  const geo::HiddenLineMethod method = geo::hidden_line_method(view.axes, edge_count);
  // A mesh, and the samples of the sampled method, need not be finer than
  // 0.05 mm of the sheet.
  const double deflection =
      method == geo::HiddenLineMethod::Exact ? tolerance : std::max(tolerance, 0.05 / view.scale);
  job.tolerance = tolerance;
  job.request = {view.axes, deflection, method};
  return job;
}

} // namespace

ViewBodyLines view_body_lines(Session &session, tag_t tag, const draw::MemberViewPayload &view,
                              std::string &why) {
  ViewJob job = view_job(session, view);
  ViewBodyLines found;
  if (job.bodies.empty())
    return found;
  ViewLineCache &cache = session.component<ViewLineCache>();
  const ViewLineCache::Entry *entry = cache.find(tag, job.bodies, view.axes, job.tolerance);
  if (!entry) {
    geo::Result<geo::ViewLines> lines =
        geo::view_lines(job.bodies, view.axes, job.request.tolerance, job.request.method);
    if (!lines) {
      why = lines.error();
      found.bodies = std::move(job.bodies);
      return found;
    }
    entry = &cache.put({tag, job.bodies, view.axes, job.tolerance,
                        std::make_shared<const geo::ViewLines>(std::move(*lines))});
  }
  found.bodies = std::move(job.bodies);
  found.lines = entry->lines;
  return found;
}

void for_each_body_stroke(const ViewBodyLines &body, const draw::MemberViewPayload &view,
                          const std::function<void(const Stroke &)> &draw) {
  if (!body.lines) {
    for (const geo::Shape &shape : body.bodies)
      for (int i = 0; i < shape.edge_count(); ++i) {
        Stroke stroke;
        for (const geo::Vec3 &p : curve_points(shape.edge_curve(i)))
          stroke.points.push_back(draw::model_to_drawing(view, p));
        draw(stroke);
      }
    return;
  }
  const UF_DRAW_view_display_t &display = view.display;
  // View coordinates to the drawing: ref + scale * (v - centre).
  const auto to_drawing = [&](const std::array<double, 2> &p) {
    return std::array<double, 2>{view.ref[0] + view.scale * (p[0] - view.centre.x),
                                 view.ref[1] + view.scale * (p[1] - view.centre.y)};
  };
  const bool gaps = display.smooth_edge_gaps == UF_DRAW_YES && display.smooth_edge_gap_size > 0;
  // Hidden pieces first, so that the visible ones are drawn over them.
  for (const bool visible : {false, true})
    for (const geo::ViewLine &line : body.lines->lines) {
      if (line.visible != visible)
        continue;
      std::optional<Stroke> stroke = style_of(display, line.kind, line.visible);
      if (!stroke)
        continue;
      stroke->points.reserve(line.points.size());
      for (const auto &p : line.points)
        stroke->points.push_back(to_drawing(p));
      if (gaps && line.kind == geo::ViewLineKind::Smooth)
        stroke->points = trimmed(std::move(stroke->points), display.smooth_edge_gap_size);
      if (stroke->points.size() >= 2)
        draw(*stroke);
    }
}

std::vector<Stroke> view_body_strokes(Session &session, tag_t tag,
                                      const draw::MemberViewPayload &view, std::string &why) {
  std::vector<Stroke> strokes;
  for_each_body_stroke(view_body_lines(session, tag, view, why), view,
                       [&](const Stroke &stroke) { strokes.push_back(stroke); });
  return strokes;
}

std::vector<geo::Vec3> curve_points(const geo::Curve &curve) {
  if (const auto *line = std::get_if<geo::Line>(&curve.shape))
    return {line->start, line->end};
  if (const auto *arc = std::get_if<geo::Arc>(&curve.shape)) {
    const double span = arc->t1 - arc->t0;
    const int steps = std::max(8, static_cast<int>(std::ceil(span / (std::numbers::pi / 36))));
    std::vector<geo::Vec3> points;
    for (int i = 0; i <= steps; ++i)
      points.push_back(arc->at(arc->t0 + span * i / steps));
    return points;
  }
  return std::get<geo::Polyline>(curve.shape).points;
}

void compute_view_lines(Session &session) {
  ViewLineCache &cache = session.component<ViewLineCache>();
  struct Pending {
    tag_t tag;
    geo::Mat3 axes;
    double tolerance;
  };
  std::vector<Pending> pending;
  std::vector<geo::ViewRequest> requests;
  std::vector<geo::Shape> bodies; // the visible ones: the same for every view
  for (tag_t drawing : session.objects().tags_of_type(draw::kDrawingType)) {
    const draw::DrawingPayload *sheet = draw::find_drawing(session, drawing);
    if (!sheet)
      continue;
    for (tag_t tag : sheet->views) {
      const draw::MemberViewPayload *view = draw::find_member_view(session, tag);
      if (!view)
        continue;
      ViewJob job = view_job(session, *view);
      if (job.bodies.empty() || cache.find(tag, job.bodies, view->axes, job.tolerance) ||
          std::any_of(pending.begin(), pending.end(),
                      [&](const Pending &p) { return p.tag == tag; }))
        continue;
      pending.push_back({tag, view->axes, job.tolerance});
      requests.push_back(job.request);
      bodies = std::move(job.bodies);
    }
  }
  std::vector<geo::Result<geo::ViewLines>> lines = geo::view_lines(bodies, requests);
  for (std::size_t i = 0; i < pending.size(); ++i)
    if (lines[i]) // a failure is met again, and told, when the view is drawn
      cache.put({pending[i].tag, bodies, pending[i].axes, pending[i].tolerance,
                 std::make_shared<const geo::ViewLines>(std::move(*lines[i]))});
}

int hidden_line_runs(Session &session) { return session.component<ViewLineCache>().runs(); }

} // namespace sim::render
