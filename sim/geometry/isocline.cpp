// isocline.cpp: isocline curves of a face for a direction.
//
// Silhouettes (angle 0) of planes, cylinders, cones, spheres and tori are
// found in closed form where they are parameter lines of the surface and
// the face is a whole parameter rectangle (holes, fillets, full spheres);
// a full sphere's silhouette is its great circle for any direction.
// Everything else goes to the kernel's contour algorithm, whose analytic
// pieces are exact and whose walking lines become polylines.
#include "geometry/shape_impl.h"

#include <Adaptor2d_Curve2d.hxx>
#include <BRepAdaptor_Curve.hxx>
#include <BRepAdaptor_Curve2d.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRepTools.hxx>
#include <BRepTopAdaptor_TopolTool.hxx>
#include <BRepTopAdaptor_Tool.hxx>
#include <BRep_Tool.hxx>
#include <Contap_Contour.hxx>
#include <ElCLib.hxx>
#include <ElSLib.hxx>
#include <GCPnts_TangentialDeflection.hxx>
#include <Geom2d_Line.hxx>
#include <Precision.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_MapOfShape.hxx>
#include <TopoDS.hxx>
#include <gp_Circ.hxx>
#include <gp_Cone.hxx>
#include <gp_Cylinder.hxx>
#include <gp_Lin.hxx>
#include <gp_Sphere.hxx>
#include <gp_Torus.hxx>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sim::geo {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kParallel = 1e-12; // a direction component this small is zero
constexpr double kParamTol = 1e-9;

Vec3 vec(const gp_XYZ &p) { return {p.X(), p.Y(), p.Z()}; }
Vec3 vec(const gp_Pnt &p) { return vec(p.XYZ()); }
Vec3 vec(const gp_Dir &p) { return vec(p.XYZ()); }

// True when the parameter curve of edge on face is a parameter line lying
// on one of the bounds of the face.
bool iso_on_bounds(const TopoDS_Edge &edge, const TopoDS_Face &face, const FacePrep &p) {
  double f = 0, l = 0;
  Handle(Geom2d_Line) line =
      Handle(Geom2d_Line)::DownCast(untrimmed(BRep_Tool::CurveOnSurface(edge, face, f, l)));
  if (line.IsNull())
    return false;
  gp_Pnt2d o = line->Location();
  gp_Dir2d d = line->Direction();
  auto near = [](double a, double b) { return std::abs(a - b) < 1e-9 * (1 + std::abs(b)); };
  if (std::abs(d.Y()) < 1e-12) // along u: v constant
    return near(o.Y(), p.v0) || near(o.Y(), p.v1);
  if (std::abs(d.X()) < 1e-12) // along v: u constant
    return near(o.X(), p.u0) || near(o.X(), p.u1);
  return false;
}

void prepare(const TopoDS_Face &face, FacePrep &p) {
  BRepAdaptor_Surface s(face, Standard_False);
  p.type = s.GetType();
  switch (p.type) {
  case GeomAbs_Cylinder:
    p.position = s.Cylinder().Position();
    p.radius = s.Cylinder().Radius();
    break;
  case GeomAbs_Cone:
    p.position = s.Cone().Position();
    p.radius = s.Cone().RefRadius();
    p.semi_angle = s.Cone().SemiAngle();
    break;
  case GeomAbs_Sphere:
    p.position = s.Sphere().Position();
    p.radius = s.Sphere().Radius();
    break;
  case GeomAbs_Torus:
    p.position = s.Torus().Position();
    p.radius = s.Torus().MajorRadius();
    p.minor = s.Torus().MinorRadius();
    break;
  default: break;
  }
  BRepTools::UVBounds(face, p.u0, p.u1, p.v0, p.v1);
  p.rect = true;
  for (TopExp_Explorer e(face, TopAbs_EDGE); e.More() && p.rect; e.Next())
    p.rect = iso_on_bounds(TopoDS::Edge(e.Current()), face, p);
  p.ready = true;
}

// The values c + k period inside [lo, hi]; one value only when the range
// spans a whole period.
std::vector<double> values_in(double c, double lo, double hi, bool periodic) {
  std::vector<double> out;
  if (!periodic) {
    if (c >= lo - kParamTol && c <= hi + kParamTol)
      out.push_back(std::clamp(c, lo, hi));
    return out;
  }
  bool whole = hi - lo >= kTwoPi - kParamTol;
  double t = c + kTwoPi * std::ceil((lo - kParamTol - c) / kTwoPi);
  for (; t <= hi + kParamTol; t += kTwoPi) {
    if (whole && t >= lo + kTwoPi - kParamTol)
      break;
    out.push_back(std::clamp(t, lo, hi));
  }
  return out;
}

// Local directions of the surface frame.
struct Axes {
  Vec3 o, x, y, z;
};
Axes axes_of(const gp_Ax3 &a) {
  return {vec(a.Location()), vec(a.XDirection()), vec(a.YDirection()), vec(a.Direction())};
}

Vec3 radial(const Axes &a, double u) { return std::cos(u) * a.x + std::sin(u) * a.y; }

// Lines along v (u constant) of a cylinder or cone at the given u values.
void generator_lines(const FacePrep &p, const std::vector<double> &us, std::vector<Curve> &out) {
  Axes a = axes_of(p.position);
  double s = std::sin(p.semi_angle), c = std::cos(p.semi_angle);
  for (double u0 : us) {
    for (double u : values_in(u0, p.u0, p.u1, true)) {
      auto at = [&](double v) { return a.o + (p.radius + v * s) * radial(a, u) + (v * c) * a.z; };
      out.push_back(Curve{Line{at(p.v0), at(p.v1)}});
    }
  }
}

// Arc along u (v constant) of a sphere or torus: the circle of latitude v.
void latitude(const FacePrep &p, double v0, std::vector<Curve> &out) {
  Axes a = axes_of(p.position);
  for (double v : values_in(v0, p.v0, p.v1, p.type == GeomAbs_Torus)) {
    double rho =
        p.type == GeomAbs_Torus ? p.radius + p.minor * std::cos(v) : p.radius * std::cos(v);
    double h = (p.type == GeomAbs_Torus ? p.minor : p.radius) * std::sin(v);
    if (rho <= 1e-12)
      continue; // a pole
    out.push_back(Curve{Arc{a.o + h * a.z, a.x, a.y, rho, p.u0, p.u1}});
  }
}

// Arcs along v (u constant) of a sphere or torus: meridians at the given u.
void meridians(const FacePrep &p, const std::vector<double> &us, std::vector<Curve> &out) {
  Axes a = axes_of(p.position);
  for (double u0 : us) {
    for (double u : values_in(u0, p.u0, p.u1, true)) {
      Vec3 e = radial(a, u);
      Vec3 centre = p.type == GeomAbs_Torus ? a.o + p.radius * e : a.o;
      double r = p.type == GeomAbs_Torus ? p.minor : p.radius;
      out.push_back(Curve{Arc{centre, e, a.z, r, p.v0, p.v1}});
    }
  }
}

// The closed forms; false when the face needs the general method.
bool closed_form(const FacePrep &p, const gp_Dir &dir, std::vector<Curve> &out) {
  if (p.type == GeomAbs_Plane)
    return true; // a plane has no silhouette curve
  if (!p.rect)
    return false;
  Axes a = axes_of(p.position);
  Vec3 d = vec(dir);
  double dx = dot(d, a.x), dy = dot(d, a.y), dz = dot(d, a.z);
  bool along_axis = std::abs(dx) < kParallel && std::abs(dy) < kParallel;
  bool across_axis = std::abs(dz) < kParallel;
  switch (p.type) {
  case GeomAbs_Cylinder: {
    if (along_axis)
      return true; // seen edge-on
    double u = std::atan2(-dx, dy);
    generator_lines(p, {u, u + kPi}, out);
    return true;
  }
  case GeomAbs_Cone: {
    double n = std::hypot(dx, dy);
    if (n < kParallel)
      return true; // seen along the axis: no silhouette
    double c = std::tan(p.semi_angle) * dz / n;
    if (std::abs(c) > 1)
      return true;
    double phi = std::atan2(dy, dx), w = std::acos(c);
    if (w < 1e-15)
      generator_lines(p, {phi}, out);
    else
      generator_lines(p, {phi - w, phi + w}, out);
    return true;
  }
  case GeomAbs_Sphere:
    if (along_axis) {
      latitude(p, 0.0, out);
      return true;
    }
    if (across_axis) {
      double u = std::atan2(-dx, dy);
      meridians(p, {u, u + kPi}, out);
      return true;
    }
    if (p.u1 - p.u0 >= kTwoPi - kParamTol && p.v1 - p.v0 >= kPi - kParamTol) {
      Vec3 du = unit(d);
      Vec3 any = std::abs(du.x) < 0.9 ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
      Vec3 xd = unit(cross(du, any));
      out.push_back(Curve{Arc{a.o, xd, cross(du, xd), p.radius, 0, kTwoPi}});
      return true;
    }
    return false;
  case GeomAbs_Torus:
    if (along_axis) {
      latitude(p, 0.0, out);
      latitude(p, kPi, out);
      return true;
    }
    if (across_axis) {
      latitude(p, kPi / 2, out);
      latitude(p, -kPi / 2, out);
      double u = std::atan2(-dx, dy);
      meridians(p, {u, u + kPi}, out);
      return true;
    }
    return false;
  default: return false;
  }
}

// True when point p of the surface lies on the face: its parameters, found
// in closed form (contour lines and circles arise on quadrics only), are
// classified against the face's domain.
bool on_face(const Handle(Adaptor3d_Surface) & surface, const Handle(Adaptor3d_TopolTool) & domain,
             const gp_Pnt &p) {
  double u = 0, v = 0;
  switch (surface->GetType()) {
  case GeomAbs_Plane: ElSLib::Parameters(surface->Plane(), p, u, v); break;
  case GeomAbs_Cylinder: ElSLib::Parameters(surface->Cylinder(), p, u, v); break;
  case GeomAbs_Cone: ElSLib::Parameters(surface->Cone(), p, u, v); break;
  case GeomAbs_Sphere: ElSLib::Parameters(surface->Sphere(), p, u, v); break;
  case GeomAbs_Torus: ElSLib::Parameters(surface->Torus(), p, u, v); break;
  default: return true;
  }
  TopAbs_State st = domain->Classify(gp_Pnt2d(u, v), 1e-9, Standard_True);
  return st == TopAbs_IN || st == TopAbs_ON;
}

void contour_pieces(const Handle(Adaptor3d_Surface) & surface,
                    const Handle(Adaptor3d_TopolTool) & domain, const Contap_Line &line,
                    std::vector<Curve> &out) {
  std::vector<double> ts;
  for (int k = 1; k <= line.NbVertex(); ++k)
    ts.push_back(line.Vertex(k).ParameterOnLine());
  std::sort(ts.begin(), ts.end());
  bool circle = line.TypeContour() == Contap_Circle;
  if (ts.empty()) {
    if (!circle)
      return; // an unbounded line on a bounded face cannot be
    gp_Circ c = line.Circle();
    gp_Ax2 ax = c.Position();
    out.push_back(Curve{Arc{vec(ax.Location()), vec(ax.XDirection()), vec(ax.YDirection()),
                            c.Radius(), 0, kTwoPi}});
    return;
  }
  if (circle && ts.size() == 1)
    ts.push_back(ts.front() + kTwoPi);
  std::size_t n = ts.size();
  std::size_t pieces = circle ? n : n - 1;
  for (std::size_t i = 0; i < pieces; ++i) {
    double t0 = ts[i];
    double t1 = i + 1 < n ? ts[i + 1] : ts[0] + kTwoPi;
    if (t1 - t0 < 1e-9)
      continue;
    double tm = 0.5 * (t0 + t1);
    if (circle) {
      gp_Circ c = line.Circle();
      gp_Ax2 ax = c.Position();
      Arc arc{vec(ax.Location()), vec(ax.XDirection()), vec(ax.YDirection()), c.Radius(), t0, t1};
      if (on_face(surface, domain, ElCLib::Value(tm, c)))
        out.push_back(Curve{arc});
    } else {
      gp_Lin l = line.Line();
      if (on_face(surface, domain, ElCLib::Value(tm, l)))
        out.push_back(Curve{Line{vec(ElCLib::Value(t0, l)), vec(ElCLib::Value(t1, l))}});
    }
  }
}

// The general method: the kernel's contour of the face.
void contour(const TopoDS_Face &face, const gp_Dir &dir, double angle, double tolerance,
             std::vector<Curve> &out) {
  TopoDS_Face f = face;
  f.Orientation(TopAbs_FORWARD);
  BRepTopAdaptor_Tool tool(f, Precision::PConfusion());
  Handle(Adaptor3d_Surface) surface = tool.GetSurface();
  Handle(Adaptor3d_TopolTool) domain = tool.GetTopolTool();
  Contap_Contour c;
  if (angle == 0)
    c.Perform(surface, domain, gp_Vec(dir));
  else
    c.Perform(surface, domain, gp_Vec(dir), angle);
  if (!c.IsDone())
    throw Standard_Failure("the contour algorithm failed");
  TopTools_MapOfShape seen; // boundary edges come once per parameter curve
  for (int i = 1; i <= c.NbLines(); ++i) {
    const Contap_Line &line = c.Line(i);
    switch (line.TypeContour()) {
    case Contap_Lin:
    case Contap_Circle: contour_pieces(surface, domain, line, out); break;
    case Contap_Walking: {
      Polyline poly;
      for (int j = 1; j <= line.NbPnts(); ++j)
        poly.points.push_back(vec(line.Point(j).Value()));
      if (poly.points.size() >= 2)
        out.push_back(Curve{std::move(poly)});
      break;
    }
    case Contap_Restriction: {
      auto *arc = dynamic_cast<const BRepAdaptor_Curve2d *>(line.Arc().get());
      if (arc == nullptr)
        break;
      const TopoDS_Edge &e = arc->Edge();
      if (BRep_Tool::Degenerated(e) || !seen.Add(e))
        break;
      double first = 0, last = 0;
      BRep_Tool::Range(e, first, last);
      TopoDS_Edge fwd = e;
      fwd.Orientation(TopAbs_FORWARD);
      out.push_back(curve_of_edge(fwd, first, last, tolerance));
      break;
    }
    }
  }
}

} // namespace

Curve curve_of_edge(const TopoDS_Edge &edge, double first, double last, double tolerance) {
  BRepAdaptor_Curve c(edge);
  if (c.GetType() == GeomAbs_Line)
    return Curve{Line{vec(c.Value(first)), vec(c.Value(last))}};
  if (c.GetType() == GeomAbs_Circle) {
    gp_Circ circ = c.Circle();
    gp_Ax2 ax = circ.Position();
    return Curve{Arc{vec(ax.Location()), vec(ax.XDirection()), vec(ax.YDirection()), circ.Radius(),
                     first, last}};
  }
  Polyline poly;
  GCPnts_TangentialDeflection pts(c, first, last, 0.1, tolerance);
  for (int i = 1; i <= pts.NbPoints(); ++i)
    poly.points.push_back(vec(pts.Value(i)));
  return Curve{std::move(poly)};
}

bool prepare_curved_faces(const Shape::Impl &impl) noexcept {
  bool all = true;
  for (std::size_t i = 0; i < impl.faces.size(); ++i) {
    if (impl.prep[i].ready || impl.face_types[i] == FaceType::Plane)
      continue;
    try {
      prepare(impl.faces[i], impl.prep[i]);
    } catch (const Standard_Failure &) {
      all = false;
    }
  }
  return all;
}

std::vector<Curve> face_isoclines(const Shape::Impl &impl, int index, const gp_Dir &direction,
                                  double angle, double tolerance, bool general_only) {
  const TopoDS_Face &face = impl.faces[index];
  FacePrep &p = impl.prep[index];
  if (!p.ready)
    prepare(face, p);
  std::vector<Curve> out;
  if (!general_only && angle == 0 && closed_form(p, direction, out))
    return out;
  out.clear();
  contour(face, direction, angle, tolerance, out);
  return out;
}

} // namespace sim::geo
