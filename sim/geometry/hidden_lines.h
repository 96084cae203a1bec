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

enum class HiddenLineMethod { Exact, Polygonal };

struct ViewLine {
  ViewLineKind kind = ViewLineKind::Sharp;
  bool visible = true;
  std::vector<std::array<double, 2>> points; ///< a polyline in view coordinates
};

struct ViewLines {
  HiddenLineMethod method = HiddenLineMethod::Exact;
  std::vector<ViewLine> lines;
};

/// Most edges the exact method is used for.
inline constexpr int kExactEdgeLimit = 5000;

/// The method for a view along axes of bodies with edge_count edges in
/// all: exact when the view looks along a model axis and the part has at
/// most kExactEdgeLimit edges, polygonal otherwise.
[[nodiscard]] HiddenLineMethod hidden_line_method(const Mat3 &axes, int edge_count);

/// The lines of bodies in a view of the given axes, curves within chord
/// tolerance (model units); seams are left out.
[[nodiscard]] Result<ViewLines> view_lines(const std::vector<Shape> &bodies, const Mat3 &axes,
                                           double tolerance, HiddenLineMethod method);

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
