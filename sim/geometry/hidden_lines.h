// hidden_lines.h: what a drawing view shows of bodies: their edges and the
// outlines of their curved faces seen along the view direction, each piece
// visible or hidden behind a face.
//
// Coordinates are the view's own: x = right . p, y = up . p, for the rows
// right, up and out-of-the-sheet of the view's axes, with the eye far out
// along out.  Two kernel methods: the exact one keeps true lines and arcs
// and is quick for views along a model axis; the polygonal one works on a
// mesh and is the one for pictorial views and for large parts (the exact
// one is slow there, and on aligned patterns of holes it reports outline
// pieces deep inside the holes as visible).
#ifndef NCSHEET_SIM_GEOMETRY_HIDDEN_LINES_H
#define NCSHEET_SIM_GEOMETRY_HIDDEN_LINES_H

#include "geometry/shape.h"
#include "geometry/types.h"

#include <array>
#include <memory>
#include <vector>

namespace sim::geo {

enum class ViewLineKind {
  Sharp,   ///< an edge between faces meeting at an angle, or a free edge
  Smooth,  ///< an edge between tangent faces
  Outline, ///< where a curved face turns away from the eye (its silhouette)
};

enum class HiddenLineMethod {
  Exact,     ///< the kernel's exact algorithm
  Polygonal, ///< the kernel's algorithm on a mesh
  None,      ///< the part is too large to wait for: every edge drawn as visible
};

struct ViewLine {
  ViewLineKind kind = ViewLineKind::Sharp;
  bool visible = true;
  std::vector<std::array<double, 2>> points; ///< a polyline in view coordinates
};

struct ViewLines {
  HiddenLineMethod method = HiddenLineMethod::Exact;
  std::vector<ViewLine> lines;
};

/// Most edges hidden lines are removed for.  Both kernel methods grow
/// faster than the part: on a plate of 1,024 holes (2,060 edges) the exact
/// front view takes 1.2 s and the polygonal pictorial one 6.5 s on our
/// machines, and a 50,000-edge part would keep a page waiting for minutes.
inline constexpr int kHiddenLineEdgeLimit = 2500;

/// The method for a view along axes of bodies with edge_count edges in
/// all: none beyond kHiddenLineEdgeLimit edges; exact when the view looks
/// along a model axis, polygonal otherwise.
[[nodiscard]] HiddenLineMethod hidden_line_method(const Mat3 &axes, int edge_count);

/// The lines of bodies in a view of the given axes, curves within chord
/// tolerance (model units); seams are left out.
[[nodiscard]] Result<ViewLines> view_lines(const std::vector<Shape> &bodies, const Mat3 &axes,
                                           double tolerance, HiddenLineMethod method);

/// The bare kernel call behind view_lines, for benchmarks: the method's
/// algorithm and the extraction of its six line sets, nothing turned into
/// polylines.  Returns the number of edges the kernel gave.
[[nodiscard]] int kernel_hidden_lines(const Shape &body, const Mat3 &axes, double tolerance,
                                      HiddenLineMethod method);

/// A ray test of its own, independent of view_lines, for checking what a
/// page shows: hidden(p, toward_eye) is true when a face of the bodies lies
/// between point p and the eye far out along toward_eye.
class PointOcclusion {
public:
  explicit PointOcclusion(const std::vector<Shape> &bodies);
  ~PointOcclusion();
  PointOcclusion(const PointOcclusion &) = delete;
  PointOcclusion &operator=(const PointOcclusion &) = delete;
  [[nodiscard]] bool hidden(Vec3 p, Vec3 toward_eye) const;

private:
  struct Faces;
  std::vector<std::unique_ptr<Faces>> faces_;
};

} // namespace sim::geo

#endif
