//===- view_strokes.h - A member view's bodies as its settings draw them --===//
//
// The lines of the workpiece bodies in a member view, with hidden lines
// removed by the kernel, drawn as the view's display settings say: hidden
// pieces left out, dashed or solid; silhouettes of curved faces and smooth
// edges (between tangent faces) shown or not, smooth edges with gaps at
// their ends when asked; widths thin, normal or thick.  Seams never show.
// The kernel's result is kept per view and per body state, so a page
// written twice, or in two formats, is computed once.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_RENDER_VIEW_STROKES_H
#define NCSHEET_SIM_RENDER_VIEW_STROKES_H

#include "drawings/member_views.h"
#include "geometry/curve.h"
#include "geometry/hidden_lines.h"
#include "host/draw.h"
#include "session/session.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sim::render {

/// Drawing line widths, millimetres.
inline constexpr double kThinWidth = 0.18;
inline constexpr double kNormalWidth = 0.35;
inline constexpr double kThickWidth = 0.7;

/// A polyline on the drawing (drawing coordinates, y upwards).
struct Stroke {
  double width = kNormalWidth;
  bool dashed = false;
  std::vector<std::array<double, 2>> points;
};

/// The lines a member view draws its bodies from.
struct ViewBodyLines {
  std::vector<geo::Shape> bodies;              ///< the visible bodies
  std::shared_ptr<const geo::ViewLines> lines; ///< null when the hidden-line removal failed
};

/// The lines of member view tag's bodies, computed once per view and body
/// state and kept; no bodies when it shows none.  When the kernel's
/// hidden-line removal fails, lines is null and why says what failed.
[[nodiscard]] ViewBodyLines view_body_lines(Session &session, tag_t tag,
                                            const draw::MemberViewPayload &view, std::string &why);

/// Calls draw with each stroke of body as view's display settings draw it,
/// hidden pieces first so that visible ones lie over them; every edge as a
/// visible line when the hidden-line removal failed.
void for_each_body_stroke(const ViewBodyLines &body, const draw::MemberViewPayload &view,
                          const std::function<void(const Stroke &)> &draw);

/// The strokes of for_each_body_stroke for member view tag, collected.
[[nodiscard]] std::vector<Stroke> view_body_strokes(Session &session, tag_t tag,
                                                    const draw::MemberViewPayload &view,
                                                    std::string &why);

/// Computes ahead the lines of every member view of the part's drawings
/// that view_body_strokes would compute, the views of large parts side by
/// side.  Afterwards drawing the pages only reads the session, so pages
/// may be drawn from several threads at once.
void compute_view_lines(Session &session);

/// Points along a curve as a page draws it: the ends of a line, steps of
/// at most 5 degrees along an arc, the points of a polyline.
[[nodiscard]] std::vector<geo::Vec3> curve_points(const geo::Curve &curve);

/// How often the kernel's hidden-line removal ran in this session (each
/// view and body state once).
[[nodiscard]] int hidden_line_runs(Session &session);

} // namespace sim::render

#endif
