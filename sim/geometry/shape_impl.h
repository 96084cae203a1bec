// shape_impl.h: the kernel side of a Shape (private to sim/geometry).
#ifndef NCSHEET_SIM_GEOMETRY_SHAPE_IMPL_H
#define NCSHEET_SIM_GEOMETRY_SHAPE_IMPL_H

#include "geometry/shape.h"

#include <Geom2d_Curve.hxx>
#include <GeomAbs_SurfaceType.hxx>
#include <Geom_Curve.hxx>
#include <TopoDS_Compound.hxx>
#include <TopoDS_Edge.hxx>
#include <TopoDS_Face.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Iterator.hxx>
#include <TopoDS_Shape.hxx>
#include <gp_Ax3.hxx>
#include <gp_Dir.hxx>
#include <gp_Trsf.hxx>

#include <cstddef>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace sim::geo {

// What the isocline closed forms need of a face, worked out once.
struct FacePrep {
  bool ready = false;
  GeomAbs_SurfaceType type = GeomAbs_OtherSurface;
  gp_Ax3 position;                       // the surface's own frame
  double radius = 0;                     // cylinder, cone (reference), sphere, torus major
  double minor = 0;                      // torus minor radius
  double semi_angle = 0;                 // cone
  double u0 = 0, u1 = 0, v0 = 0, v1 = 0; // parameter bounds of the face
  bool rect = false;                     // the face is the whole rectangle [u0,u1] x [v0,v1]
};

struct Shape::Impl {
  explicit Impl(TopoDS_Shape s);

  TopoDS_Shape shape;
  bool solid = false;
  std::vector<TopoDS_Edge> edges; // FORWARD oriented
  std::vector<EdgeInfo> edge_info;
  std::vector<TopoDS_Face> faces;
  std::vector<FaceType> face_types;

  mutable std::vector<std::optional<Box>> edge_boxes;
  mutable std::vector<std::optional<Box>> face_boxes;
  /// Whether each face's exact box is found in closed form, once asked.
  mutable std::vector<std::optional<bool>> face_box_closed;
  mutable std::vector<FacePrep> prep;
  mutable std::optional<Box> box;
  /// Exact boxes in the frames asked so far (a view asks its own frame again
  /// at every update, import and projection), keyed by the frame's axes.
  mutable std::vector<std::pair<Mat3, Box>> frame_boxes;
};

// The isoclines of face index of impl (angle in radians).  Throws the
// kernel's exceptions.
std::vector<Curve> face_isoclines(const Shape::Impl &impl, int index, const gp_Dir &direction,
                                  double angle, double tolerance, bool general_only = false);

// Fills the face data face_isoclines keeps in impl.prep, for every face
// but the planes, whose outlines no view asks; false when the kernel
// failed on one (its data is then left to be made on first use).
bool prepare_curved_faces(const Shape::Impl &impl) noexcept;

// The host's curve for a kernel edge, between parameters first and last.
Curve curve_of_edge(const TopoDS_Edge &edge, double first, double last, double tolerance);

// Exact box of a kernel shape, without tolerance gaps.
Box exact_box(const TopoDS_Shape &shape);

// Walks shape as the kernel's explorer does, without its stack: calls
// on_face(face) for each face met and on_edge(edge, face) for each edge,
// face being the face it was met in (null outside faces), each with the
// orientation and location it has there.
template <typename OnFace, typename OnEdge>
void walk_faces_and_edges(const TopoDS_Shape &shape, OnFace &on_face, OnEdge &on_edge,
                          const TopoDS_Face *in = nullptr) {
  switch (shape.ShapeType()) {
  case TopAbs_EDGE: on_edge(TopoDS::Edge(shape), in); return;
  case TopAbs_VERTEX: return;
  case TopAbs_FACE:
    in = &TopoDS::Face(shape);
    on_face(*in);
    break;
  default: break;
  }
  for (TopoDS_Iterator it(shape); it.More(); it.Next())
    walk_faces_and_edges(it.Value(), on_face, on_edge, in);
}

// Shapes told apart as the kernel's maps tell them: by their shared part
// and their location, whatever their orientation.
class PartIndex {
public:
  // The place that part was added at, or -1.
  template <class Part>
  [[nodiscard]] std::ptrdiff_t find(const std::vector<Part> &places,
                                    const TopoDS_Shape &part) const {
    const auto [from, to] = at_.equal_range(part.TShape().get());
    for (auto it = from; it != to; ++it)
      if (places[it->second].Location() == part.Location())
        return static_cast<std::ptrdiff_t>(it->second);
    return -1;
  }
  // Notes that places[at] holds part.
  void add(const TopoDS_Shape &part, std::size_t at) { at_.emplace(part.TShape().get(), at); }
  void reserve(std::size_t count) { at_.reserve(count); }

private:
  std::unordered_multimap<const TopoDS_TShape *, std::size_t> at_;
};

// The curve under any trimming.
Handle(Geom_Curve) untrimmed(Handle(Geom_Curve) curve);
Handle(Geom2d_Curve) untrimmed(Handle(Geom2d_Curve) curve);

// The shapes as one compound of the kernel's, each as it is.
TopoDS_Compound kernel_compound(const std::vector<Shape> &shapes);

// The transformation taking frame coordinates to absolute ones.
gp_Trsf placement(const Frame &frame);

// The transformation taking absolute coordinates to those of a frame
// whose axes are the rows of axes.
gp_Trsf into_frame(const Mat3 &axes);

} // namespace sim::geo

#endif
