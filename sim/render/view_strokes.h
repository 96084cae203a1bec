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
#include "host/uf_draw.h"
#include "session/session.h"

#include <array>
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

/// The bodies' strokes of member view tag; empty when it shows no body.
/// When the kernel's hidden-line removal fails, every edge is drawn as a
/// visible line and why says what failed.
[[nodiscard]] std::vector<Stroke> view_body_strokes(Session &session, tag_t tag,
                                                    const draw::MemberViewPayload &view,
                                                    std::string &why);

/// Points along a curve as a page draws it: the ends of a line, steps of
/// at most 5 degrees along an arc, the points of a polyline.
[[nodiscard]] std::vector<geo::Vec3> curve_points(const geo::Curve &curve);

/// How often the kernel's hidden-line removal ran in this session (each
/// view and body state once).
[[nodiscard]] int hidden_line_runs(Session &session);

} // namespace sim::render

#endif
