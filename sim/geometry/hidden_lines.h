// hidden_lines.h: what a drawing view shows of bodies: their edges and the
// outlines of their curved faces seen along the view direction, each piece
// visible or hidden behind a face.
//
// Coordinates are the view's own: x = right . p, y = up . p, for the rows
// right, up and out-of-the-sheet of the view's axes, with the eye far out
// along out.  Two kernel methods: the exact one keeps true lines and arcs
// and is quick for views along a model axis; the polygonal one works on a
// mesh and is the one for pictorial views (the exact one is slow there, and
// on aligned patterns of holes it reports outline pieces deep inside the
// holes as visible).  Both grow faster than the part; large parts are
// sampled: each line is tested along its length by rays toward the eye.
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
  Sampled,   ///< ray tests along each line, for large parts
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

/// Most edges the kernel's methods are used for.  Both grow faster than
/// the part: on a plate of 400 holes (812 edges) the exact front view
/// takes 390 ms and the polygonal pictorial one 1.9 s on our machines,
/// where the sampled method takes under 25 ms and draws the same lines
/// within 0.05 mm; a 50,000-edge part would keep a page waiting for minutes.
inline constexpr int kHiddenLineEdgeLimit = 500;

/// The method for a view along axes of bodies with edge_count edges in
/// all: sampled beyond kHiddenLineEdgeLimit edges; exact when the view
/// looks along a model axis, polygonal otherwise.
[[nodiscard]] HiddenLineMethod hidden_line_method(const Mat3 &axes, int edge_count);

/// The lines of bodies in a view of the given axes, curves within chord
/// tolerance (model units); seams are left out.  The sampled method tests
/// its lines at most 20 tolerances apart, so the tolerance is best set to
/// what the sheet resolves (0.05 mm of paper).
[[nodiscard]] Result<ViewLines> view_lines(const std::vector<Shape> &bodies, const Mat3 &axes,
                                           double tolerance, HiddenLineMethod method);

/// One view of the bodies for the view_lines of several views.
struct ViewRequest {
  Mat3 axes;
  double tolerance = 0;
  HiddenLineMethod method = HiddenLineMethod::Exact;
};

/// view_lines of each view, in order.  The sampled method only reads the
/// bodies, so its views are computed side by side, a thread a core; the
/// kernel's methods run one view after another.
[[nodiscard]] std::vector<Result<ViewLines>> view_lines(const std::vector<Shape> &bodies,
                                                        const std::vector<ViewRequest> &views);

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
