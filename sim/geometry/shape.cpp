// shape.cpp: bodies on the kernel: topology in the host's order, exact
// boxes, the native file format.
#include "geometry/shape.h"

#include "geometry/shape_impl.h"

#include <BRepAdaptor_Curve.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRepBndLib.hxx>
#include <BRepBuilderAPI_Transform.hxx>
#include <BRepTools.hxx>
#include <BRep_Builder.hxx>
#include <BRep_CurveRepresentation.hxx>
#include <BRep_ListIteratorOfListOfCurveRepresentation.hxx>
#include <BRep_TEdge.hxx>
#include <BRep_Tool.hxx>
#include <Geom_Circle.hxx>
#include <Geom_Ellipse.hxx>
#include <Geom_Line.hxx>
#include <Geom2d_TrimmedCurve.hxx>
#include <Geom_TrimmedCurve.hxx>
#include <Bnd_Box.hxx>
#include <Standard_Failure.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Iterator.hxx>
#include <TopoDS_Vertex.hxx>
#include <gp_Trsf.hxx>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <sstream>

namespace sim::geo {

namespace {

Vec3 vec(const gp_Pnt &p) { return {p.X(), p.Y(), p.Z()}; }

EdgeType edge_type_of(GeomAbs_CurveType t) {
  switch (t) {
  case GeomAbs_Line: return EdgeType::Line;
  case GeomAbs_Circle: return EdgeType::Circle;
  case GeomAbs_Ellipse: return EdgeType::Ellipse;
  case GeomAbs_BezierCurve:
  case GeomAbs_BSplineCurve: return EdgeType::Spline;
  default: return EdgeType::Other;
  }
}

FaceType face_type_of(GeomAbs_SurfaceType t) {
  switch (t) {
  case GeomAbs_Plane: return FaceType::Plane;
  case GeomAbs_Cylinder: return FaceType::Cylinder;
  case GeomAbs_Cone: return FaceType::Cone;
  case GeomAbs_Sphere: return FaceType::Sphere;
  case GeomAbs_Torus: return FaceType::Torus;
  case GeomAbs_SurfaceOfRevolution: return FaceType::Revolution;
  case GeomAbs_SurfaceOfExtrusion: return FaceType::Extrusion;
  case GeomAbs_BezierSurface:
  case GeomAbs_BSplineSurface: return FaceType::BSpline;
  case GeomAbs_OffsetSurface: return FaceType::Offset;
  default: return FaceType::Other;
  }
}

Box box_of(const Bnd_Box &b) {
  Box out;
  if (b.IsVoid())
    return out;
  double x0, y0, z0, x1, y1, z1;
  b.Get(x0, y0, z0, x1, y1, z1);
  out.add(Vec3{x0, y0, z0});
  out.add(Vec3{x1, y1, z1});
  return out;
}

/// The exact box of face index of impl, kept; throws std::out_of_range
/// for an index past the faces.
const Box &kept_face_box(const Shape::Impl &impl, std::size_t index) {
  std::optional<Box> &slot = impl.face_boxes.at(index);
  if (!slot)
    slot = exact_box(impl.faces[index]);
  return *slot;
}

// Whether the edge keeps a second curve on some surface or triangulation:
// only such an edge can be closed on a face.
bool has_closed_representation(const TopoDS_Edge &edge) {
  const auto *tedge = static_cast<const BRep_TEdge *>(edge.TShape().get());
  for (BRep_ListIteratorOfListOfCurveRepresentation it(tedge->Curves()); it.More(); it.Next())
    if (it.Value()->IsCurveOnClosedSurface() || it.Value()->IsPolygonOnClosedTriangulation())
      return true;
  return false;
}

// The edges and faces of a shape, each once (the same part at the same
// location), in the order the kernel's explorer first meets them, with
// whether each edge is a seam: closed on a face it lies on, with two
// parameter curves there.  One walk finds them all.
struct ShapeParts {
  explicit ShapeParts(const TopoDS_Shape &shape) {
    PartIndex edge_index, face_index;
    auto on_face = [&](const TopoDS_Face &face) {
      if (face_index.find(faces, face) < 0) {
        face_index.add(face, faces.size());
        faces.push_back(face);
      }
    };
    auto on_edge = [&](const TopoDS_Edge &edge, const TopoDS_Face *face) {
      std::ptrdiff_t at = edge_index.find(edges, edge);
      if (at < 0) {
        at = static_cast<std::ptrdiff_t>(edges.size());
        edge_index.add(edge, edges.size());
        edges.push_back(edge);
        seam.push_back(false);
      }
      if (face && !seam[at] && has_closed_representation(edge) && BRep_Tool::IsClosed(edge, *face))
        seam[at] = true;
    };
    walk_faces_and_edges(shape, on_face, on_edge);
  }

  std::vector<TopoDS_Edge> edges;
  std::vector<bool> seam;
  std::vector<TopoDS_Face> faces;
};

EdgeInfo edge_info_of(const TopoDS_Edge &edge) {
  EdgeInfo info;
  BRepAdaptor_Curve c(edge);
  info.type = edge_type_of(c.GetType());
  TopoDS_Vertex first, last;
  TopExp::Vertices(edge, first, last, Standard_True);
  if (first.IsNull() || last.IsNull() || first.IsSame(last)) {
    info.vertex_count = 0;
    return info;
  }
  info.vertex_count = 2;
  info.v1 = vec(BRep_Tool::Pnt(first));
  info.v2 = vec(BRep_Tool::Pnt(last));
  return info;
}

} // namespace

const char *edge_type_name(EdgeType t) {
  switch (t) {
  case EdgeType::Line: return "line";
  case EdgeType::Circle: return "circle";
  case EdgeType::Ellipse: return "ellipse";
  case EdgeType::Spline: return "spline";
  default: return "other";
  }
}

const char *face_type_name(FaceType t) {
  switch (t) {
  case FaceType::Plane: return "plane";
  case FaceType::Cylinder: return "cylinder";
  case FaceType::Cone: return "cone";
  case FaceType::Sphere: return "sphere";
  case FaceType::Torus: return "torus";
  case FaceType::Revolution: return "revolution";
  case FaceType::Extrusion: return "extrusion";
  case FaceType::BSpline: return "bspline";
  case FaceType::Offset: return "offset";
  default: return "other";
  }
}

gp_Trsf into_frame(const Mat3 &axes) {
  gp_Trsf t;
  const auto &r = axes.row;
  t.SetValues(r[0].x, r[0].y, r[0].z, 0, r[1].x, r[1].y, r[1].z, 0, r[2].x, r[2].y, r[2].z, 0);
  return t;
}

Box exact_box(const TopoDS_Shape &shape) {
  Bnd_Box b;
  BRepBndLib::AddOptimal(shape, b, Standard_False, Standard_False);
  return box_of(b);
}

Shape::Impl::Impl(TopoDS_Shape s) : shape(std::move(s)) {
  if (shape.IsNull())
    return;
  solid = TopExp_Explorer(shape, TopAbs_SOLID).More();
  ShapeParts parts(shape);
  edges.reserve(parts.edges.size());
  edge_info.reserve(parts.edges.size());
  for (std::size_t i = 0; i < parts.edges.size(); ++i) {
    TopoDS_Edge &e = parts.edges[i];
    if (BRep_Tool::Degenerated(e) || parts.seam[i])
      continue;
    e.Orientation(TopAbs_FORWARD);
    edges.push_back(e);
    edge_info.push_back(edge_info_of(e));
  }
  faces = std::move(parts.faces);
  face_types.reserve(faces.size());
  for (const TopoDS_Face &f : faces)
    face_types.push_back(face_type_of(BRepAdaptor_Surface(f, Standard_False).GetType()));
  edge_boxes.resize(edges.size());
  face_boxes.resize(faces.size());
  face_box_closed.resize(faces.size());
  prep.resize(faces.size());
}

Shape::Shape() : impl_(std::make_shared<Impl>(TopoDS_Shape())) {}
Shape::~Shape() = default;
Shape::Shape(const Shape &) = default;
Shape &Shape::operator=(const Shape &) = default;
Shape::Shape(Shape &&) noexcept = default;
Shape &Shape::operator=(Shape &&) noexcept = default;
Shape::Shape(std::shared_ptr<Impl> impl) : impl_(std::move(impl)) {}

bool Shape::is_null() const { return impl_->shape.IsNull(); }
bool Shape::is_solid() const { return impl_->solid; }
int Shape::edge_count() const { return static_cast<int>(impl_->edges.size()); }
int Shape::face_count() const { return static_cast<int>(impl_->faces.size()); }
const EdgeInfo &Shape::edge(int index) const { return impl_->edge_info.at(index); }
FaceType Shape::face_type(int index) const { return impl_->face_types.at(index); }

Curve Shape::edge_curve(int index) const {
  const TopoDS_Edge &e = impl_->edges.at(index);
  double first = 0, last = 0;
  BRep_Tool::Range(e, first, last);
  return curve_of_edge(e, first, last, 1e-3);
}

Box Shape::edge_box(int index) const {
  auto &slot = impl_->edge_boxes.at(index);
  if (!slot)
    slot = exact_box(impl_->edges[index]);
  return *slot;
}

Box Shape::face_box(int index) const { return kept_face_box(*impl_, index); }

namespace {

/// True when every edge and vertex of shape lies in one of its faces: a
/// face, a shell of faces, a solid of shells, or compounds of those.
bool only_faces(const TopoDS_Shape &shape) {
  const TopAbs_ShapeEnum type = shape.ShapeType();
  if (type == TopAbs_FACE)
    return true;
  if (type != TopAbs_SHELL && type != TopAbs_SOLID && type != TopAbs_COMPSOLID &&
      type != TopAbs_COMPOUND)
    return false;
  for (TopoDS_Iterator it(shape); it.More(); it.Next()) {
    const TopAbs_ShapeEnum part = it.Value().ShapeType();
    if ((type == TopAbs_SHELL && part != TopAbs_FACE) ||
        (type == TopAbs_SOLID && part != TopAbs_SHELL) || !only_faces(it.Value()))
      return false;
  }
  return true;
}

/// Whether the exact box of face index of impl is found in closed form,
/// kept: a plane, cylinder or cone bounded by lines, circles and ellipses,
/// whose box the kernel makes from its edges' boxes.  Its absolute box
/// turned into a frame then holds its box there, up to rounding.
bool closed_form_box(const Shape::Impl &impl, std::size_t index) {
  std::optional<bool> &slot = impl.face_box_closed[index];
  if (slot)
    return *slot;
  const FaceType type = impl.face_types[index];
  bool closed = type == FaceType::Plane || type == FaceType::Cylinder || type == FaceType::Cone;
  for (TopExp_Explorer e(impl.faces[index], TopAbs_EDGE); closed && e.More(); e.Next()) {
    const TopoDS_Edge &edge = TopoDS::Edge(e.Current());
    if (BRep_Tool::Degenerated(edge))
      continue;
    double first = 0, last = 0;
    const Handle(Geom_Curve) curve = untrimmed(BRep_Tool::Curve(edge, first, last));
    closed = !curve.IsNull() && (curve->IsKind(STANDARD_TYPE(Geom_Line)) ||
                                 curve->IsKind(STANDARD_TYPE(Geom_Circle)) ||
                                 curve->IsKind(STANDARD_TYPE(Geom_Ellipse)));
  }
  slot = closed;
  return closed;
}

/// The box of b's corners taken through t, widened by margin.
Box turned_box(const Box &b, const gp_Trsf &t, double margin) {
  Box out;
  for (int corner = 0; corner < 8; ++corner) {
    gp_XYZ p(corner & 1 ? b.max.x : b.min.x, corner & 2 ? b.max.y : b.min.y,
             corner & 4 ? b.max.z : b.min.z);
    t.Transforms(p);
    out.add(Vec3{p.X(), p.Y(), p.Z()});
  }
  for (int k = 0; k < 3; ++k) {
    out.min[k] -= margin;
    out.max[k] += margin;
  }
  return out;
}

bool inside(const Box &b, const Bnd_Box &in) {
  double x0, y0, z0, x1, y1, z1;
  in.Get(x0, y0, z0, x1, y1, z1);
  return b.min.x >= x0 && b.min.y >= y0 && b.min.z >= z0 && b.max.x <= x1 && b.max.y <= y1 &&
         b.max.z <= z1;
}

/// Widens to by b as the kernel widens a box by a part's box.
void widen(Bnd_Box &to, const Box &b) {
  if (!b.empty)
    to.Update(b.min.x, b.min.y, b.min.z, b.max.x, b.max.y, b.max.z);
}

/// The kernel's exact box of impl's whole shape, made the kernel's way
/// face by face: it is the union of the faces' exact boxes, widened in the
/// faces' order (when an edge or vertex lies outside every face, the whole
/// shape is boxed at once).  The faces' own boxes are kept for later use.
Box exact_box_by_faces(const Shape::Impl &impl) {
  if (!only_faces(impl.shape))
    return exact_box(impl.shape);
  Bnd_Box box;
  for (std::size_t i = 0; i < impl.faces.size(); ++i)
    widen(box, kept_face_box(impl, i));
  return box_of(box);
}

/// The kernel's exact box of impl's shape moved by t, as the union of the
/// moved faces' exact boxes (the absolute box and the faces' are made and
/// kept first).  A face whose absolute box, turned by t and
/// widened past any rounding, lies inside the union so far cannot widen
/// it, so its exact box is not computed: faces nearest the outside are
/// taken first, and on a plate of holes only its outer faces are boxed.
/// Faces whose box may be found numerically (curved faces other than
/// cylinders and cones, faces with spline edges) are always boxed.  The
/// boxes found are then joined in the faces' order, as the kernel joins
/// them, so that even the sign of a zero side is its own.
Box exact_box_moved(const Shape::Impl &impl, const gp_Trsf &t) {
  const TopLoc_Location where(t);
  if (!only_faces(impl.shape))
    return exact_box(impl.shape.Moved(where));
  if (!impl.box)
    impl.box = exact_box_by_faces(impl);
  const Box &reach = *impl.box;
  if (reach.empty)
    return exact_box(impl.shape.Moved(where));
  const std::size_t count = impl.faces.size();
  double size = 0;
  for (int k = 0; k < 3; ++k)
    size = std::max({size, std::abs(reach.min[k]), std::abs(reach.max[k])});
  const double margin = 1e-9 * size + 1e-12;
  std::vector<Box> bounds(count);
  Box all;
  for (std::size_t i = 0; i < count; ++i) {
    if (const Box &face = kept_face_box(impl, i); !face.empty)
      bounds[i] = turned_box(face, t, margin);
    all.add(bounds[i]);
  }
  // Nearest the outside first: the least gap between a face's bounds and
  // the bounds of all.
  std::vector<std::pair<double, std::size_t>> order(count);
  for (std::size_t i = 0; i < count; ++i) {
    double gap = 0;
    if (!bounds[i].empty) {
      gap = std::numeric_limits<double>::infinity();
      for (int k = 0; k < 3; ++k)
        gap = std::min({gap, all.max[k] - bounds[i].max[k], bounds[i].min[k] - all.min[k]});
    }
    order[i] = {gap, i};
  }
  std::sort(order.begin(), order.end());
  std::vector<std::optional<Box>> found(count);
  Bnd_Box so_far;
  for (const auto &[gap, i] : order) {
    if (!so_far.IsVoid() && !bounds[i].empty && inside(bounds[i], so_far) &&
        closed_form_box(impl, i))
      continue;
    found[i] = exact_box(impl.faces[i].Moved(where));
    widen(so_far, *found[i]);
  }
  Bnd_Box box;
  for (const std::optional<Box> &face : found)
    if (face)
      widen(box, *face);
  return box_of(box);
}

} // namespace

Box Shape::box() const {
  if (!impl_->box)
    impl_->box = is_null() ? Box{} : exact_box_by_faces(*impl_);
  return *impl_->box;
}

namespace {

/// box as seen in a frame whose every axis is an absolute axis or its
/// opposite (a matrix of 0 and +-1 only, one non-zero a row and a column);
/// nothing for any other frame.
std::optional<Box> axes_box(const Mat3 &axes, const Box &box) {
  if (box.empty)
    return std::nullopt;
  Box out;
  out.empty = false;
  bool used[3] = {false, false, false};
  for (int i = 0; i < 3; ++i) {
    const Vec3 &r = axes.row[static_cast<std::size_t>(i)];
    int axis = -1;
    double sign = 0;
    for (int j = 0; j < 3; ++j) {
      const double c = r[j];
      if (c == 0.0)
        continue;
      if ((c != 1.0 && c != -1.0) || axis >= 0)
        return std::nullopt;
      axis = j;
      sign = c;
    }
    if (axis < 0 || used[axis])
      return std::nullopt;
    used[axis] = true;
    // Turned round, a side at 0 stays at +0, as the kernel computes it.
    const auto opposite = [](double v) { return v == 0.0 ? 0.0 : -v; };
    out.min[i] = sign > 0 ? box.min[axis] : opposite(box.max[axis]);
    out.max[i] = sign > 0 ? box.max[axis] : opposite(box.min[axis]);
  }
  return out;
}

} // namespace

Box Shape::box_in(const Mat3 &axes) const {
  if (is_null())
    return {};
  const auto same_axes = [&](const std::pair<Mat3, Box> &entry) {
    for (int i = 0; i < 3; ++i)
      if (entry.first.row[i].x != axes.row[i].x || entry.first.row[i].y != axes.row[i].y ||
          entry.first.row[i].z != axes.row[i].z)
        return false;
    return true;
  };
  auto &cache = impl_->frame_boxes;
  if (const auto hit = std::find_if(cache.begin(), cache.end(), same_axes); hit != cache.end())
    return hit->second;
  // A frame whose axes are the absolute ones, in another order or turned
  // round, sees the absolute box with its sides exchanged: exactly, since
  // every coordinate only moves or changes sign.
  if (const std::optional<Box> swapped = axes_box(axes, box())) {
    cache.emplace_back(axes, *swapped);
    return *swapped;
  }
  const Box box = exact_box_moved(*impl_, into_frame(axes));
  cache.emplace_back(axes, box);
  return box;
}

Result<std::vector<Curve>> Shape::isoclines(int index, Vec3 direction, double angle_deg,
                                            double tolerance) const {
  if (index < 0 || index >= face_count())
    return Result<std::vector<Curve>>::failure("no such face");
  if (norm(direction) < 1e-12)
    return Result<std::vector<Curve>>::failure("zero direction");
  try {
    gp_Dir d(direction.x, direction.y, direction.z);
    return face_isoclines(*impl_, index, d, angle_deg * M_PI / 180.0, tolerance);
  } catch (const Standard_Failure &f) {
    return Result<std::vector<Curve>>::failure(std::string("isoclines: ") + f.GetMessageString());
  }
}

Result<std::vector<Curve>> Shape::isoclines_general(int index, Vec3 direction, double angle_deg,
                                                    double tolerance) const {
  if (index < 0 || index >= face_count() || norm(direction) < 1e-12)
    return Result<std::vector<Curve>>::failure("no such face or zero direction");
  try {
    gp_Dir d(direction.x, direction.y, direction.z);
    return face_isoclines(*impl_, index, d, angle_deg * M_PI / 180.0, tolerance, true);
  } catch (const Standard_Failure &f) {
    return Result<std::vector<Curve>>::failure(std::string("isoclines: ") + f.GetMessageString());
  }
}

std::string Shape::to_brep() const {
  std::ostringstream out;
  BRepTools::Write(impl_->shape, out);
  return out.str();
}

Result<Shape> Shape::from_brep(const std::string &text) {
  try {
    std::istringstream in(text);
    TopoDS_Shape s;
    BRep_Builder builder;
    BRepTools::Read(s, in, builder);
    if (s.IsNull())
      return Result<Shape>::failure("not a shape in the native format");
    return Shape(std::make_shared<Impl>(s));
  } catch (const Standard_Failure &f) {
    return Result<Shape>::failure(std::string("native format: ") + f.GetMessageString());
  }
}

Handle(Geom_Curve) untrimmed(Handle(Geom_Curve) curve) {
  while (!curve.IsNull() && curve->IsKind(STANDARD_TYPE(Geom_TrimmedCurve)))
    curve = Handle(Geom_TrimmedCurve)::DownCast(curve)->BasisCurve();
  return curve;
}

Handle(Geom2d_Curve) untrimmed(Handle(Geom2d_Curve) curve) {
  while (!curve.IsNull() && curve->IsKind(STANDARD_TYPE(Geom2d_TrimmedCurve)))
    curve = Handle(Geom2d_TrimmedCurve)::DownCast(curve)->BasisCurve();
  return curve;
}

TopoDS_Compound kernel_compound(const std::vector<Shape> &shapes) {
  TopoDS_Compound all;
  BRep_Builder builder;
  builder.MakeCompound(all);
  for (const Shape &s : shapes)
    if (!s.is_null())
      builder.Add(all, s.impl().shape);
  return all;
}

gp_Trsf placement(const Frame &frame) {
  gp_Trsf t;
  const auto &r = frame.axes.row;
  // columns are the frame's axes, translation its origin
  t.SetValues(r[0].x, r[1].x, r[2].x, frame.origin.x, r[0].y, r[1].y, r[2].y, frame.origin.y,
              r[0].z, r[1].z, r[2].z, frame.origin.z);
  return t;
}

Shape Shape::placed(const Frame &frame) const {
  if (is_null())
    return *this;
  BRepBuilderAPI_Transform move(impl_->shape, placement(frame), Standard_True);
  return Shape(std::make_shared<Impl>(move.Shape()));
}

} // namespace sim::geo
