// shape.h: a body of the simulated host: a kernel shape and the host's view
// of its topology.
//
// The host shows no seam edges and no pole edges: they are left out of the
// edge list, and a closed edge (a full circle) has no vertices.  Edges and
// faces are numbered 0, 1, ... in one stable order (the kernel's map order
// of the shape, with the hidden edges taken out), which survives the
// native file format.  A Shape is immutable; copies share the kernel shape
// and the caches built from it.
#ifndef NCSHEET_SIM_GEOMETRY_SHAPE_H
#define NCSHEET_SIM_GEOMETRY_SHAPE_H

#include "geometry/curve.h"
#include "geometry/types.h"

#include <memory>
#include <string>
#include <vector>

namespace sim::geo {

enum class EdgeType { Line, Circle, Ellipse, Spline, Other };
enum class FaceType {
  Plane,
  Cylinder,
  Cone,
  Sphere,
  Torus,
  Revolution,
  Extrusion,
  BSpline,
  Offset,
  Other
};

[[nodiscard]] const char *edge_type_name(EdgeType t);
[[nodiscard]] const char *face_type_name(FaceType t);

// An edge as the host shows it.  vertex_count is 2 for an open edge (v1 at
// the start of its curve, v2 at the end) and 0 for a closed one.
struct EdgeInfo {
  EdgeType type = EdgeType::Other;
  int vertex_count = 0;
  Vec3 v1, v2;
};

class Shape {
public:
  Shape();
  ~Shape();
  Shape(const Shape &);
  Shape &operator=(const Shape &);
  Shape(Shape &&) noexcept;
  Shape &operator=(Shape &&) noexcept;

  [[nodiscard]] bool is_null() const;
  // True when the shape holds a solid; a sheet body holds faces only.
  [[nodiscard]] bool is_solid() const;

  [[nodiscard]] int edge_count() const;
  [[nodiscard]] int face_count() const;
  [[nodiscard]] const EdgeInfo &edge(int index) const;
  [[nodiscard]] FaceType face_type(int index) const;
  // The edge's own curve, from its first to its last vertex.
  [[nodiscard]] Curve edge_curve(int index) const;

  // Exact boxes, without tolerance gaps.
  [[nodiscard]] Box edge_box(int index) const;
  [[nodiscard]] Box face_box(int index) const;
  [[nodiscard]] Box box() const;
  // The exact box of the shape in the frame whose axes are the rows of axes.
  [[nodiscard]] Box box_in(const Mat3 &axes) const;

  // The curves on face index where the face normal makes angle_deg with
  // the plane normal to direction (0: the silhouette seen along
  // direction).  Analytic faces give exact lines and arcs; free-form faces
  // give polylines within tolerance.  No curve for a face seen edge-on.
  [[nodiscard]] Result<std::vector<Curve>> isoclines(int index, Vec3 direction, double angle_deg,
                                                     double tolerance) const;
  // The same by the kernel's general contour method alone (the oracle of
  // the closed forms).
  [[nodiscard]] Result<std::vector<Curve>>
  isoclines_general(int index, Vec3 direction, double angle_deg, double tolerance) const;

  // The native file format (text); edge and face order survive it.
  [[nodiscard]] std::string to_brep() const;
  [[nodiscard]] static Result<Shape> from_brep(const std::string &text);

  // The shape moved by frame: local coordinates become frame coordinates.
  [[nodiscard]] Shape placed(const Frame &frame) const;

  // The kernel behind it (geometry files only).
  struct Impl;
  [[nodiscard]] const Impl &impl() const { return *impl_; }
  explicit Shape(std::shared_ptr<Impl> impl);

private:
  std::shared_ptr<Impl> impl_;
};

} // namespace sim::geo

#endif
