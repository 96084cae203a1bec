// sampled_lines.cpp: hidden lines by ray tests on the exact faces.
//
// The kernel's hidden-line methods compare every edge with every face, and
// on a part of tens of thousands of edges one view takes minutes.  Here
// each line of a view (an edge, or the outline of a curved face seen along
// the view direction) is sampled along its image, and a sample is hidden
// when the ray from it toward the eye meets a face.  The faces a ray can
// meet come from a grid of their boxes as the view sees them; the ray
// meets planes and cylinders in closed form, other quadrics and tori by
// the kernel's analytic intersectors and free-form faces by its general
// one; whether a meeting point lies on the face is told by the face's
// boundary in its parameter plane.  Where two neighbouring samples
// disagree, the change is found by bisection.
//
// A point within a tolerance of a face's boundary counts as on the face, so
// an edge lying right behind a visible one (the bottom of a through hole
// seen from above) is hidden rather than flickering; meetings within two
// tolerances of the sample itself are its own faces and do not count.
#include "geometry/sampled_lines.h"

#include "geometry/shape_impl.h"

#include <BRepAdaptor_Curve.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRepBndLib.hxx>
#include <BRepClass_FaceClassifier.hxx>
#include <BRepTools_WireExplorer.hxx>
#include <BRep_GCurve.hxx>
#include <BRep_ListIteratorOfListOfCurveRepresentation.hxx>
#include <BRep_TEdge.hxx>
#include <BRep_Tool.hxx>
#include <Bnd_Box.hxx>
#include <BndLib_AddSurface.hxx>
#include <ElSLib.hxx>
#include <GCPnts_TangentialDeflection.hxx>
#include <Geom2d_Curve.hxx>
#include <Geom2d_Line.hxx>
#include <GeomAPI_IntCS.hxx>
#include <Geom_Circle.hxx>
#include <Geom_Line.hxx>
#include <Geom_Surface.hxx>
#include <IntAna_IntConicQuad.hxx>
#include <IntAna_IntLinTorus.hxx>
#include <IntAna_Quadric.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Iterator.hxx>
#include <TopoDS_Wire.hxx>
#include <gp_Lin.hxx>

#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include <algorithm>
#include <cmath>
#include <optional>
#include <variant>

namespace sim::geo {
namespace {

using Point2 = std::array<double, 2>;

/// Samples along a line's image are at most this many tolerances apart.
constexpr double kSpacingInTolerances = 20;
/// Angular step of curves turned into points, radians.
constexpr double kAngularDeflection = 0.5;
/// Angular step of arcs as a view draws them, radians: a quarter turn at
/// most, finer where the chord would leave the arc by more than the
/// tolerance.  A circle a few tenths of a millimetre across on the sheet
/// is then four chords, not thirteen, and stays within the tolerance.
constexpr double kDrawnArcStep = 1.5707963267948966;
/// Edge ends in a parameter plane closer than this, relative to their
/// size, are one point.
constexpr double kSameEnd = 1e-9;

gp_Pnt pnt(Vec3 p) { return {p.x, p.y, p.z}; }

struct Rect {
  double x0 = 0, y0 = 0, x1 = -1, y1 = -1; ///< empty while x1 < x0

  void add(double x, double y) {
    if (x1 < x0) {
      x0 = x1 = x;
      y0 = y1 = y;
      return;
    }
    x0 = std::min(x0, x), x1 = std::max(x1, x);
    y0 = std::min(y0, y), y1 = std::max(y1, y);
  }
  [[nodiscard]] Rect grown(double by) const { return {x0 - by, y0 - by, x1 + by, y1 + by}; }
  [[nodiscard]] bool holds(double x, double y) const {
    return x >= x0 && x <= x1 && y >= y0 && y <= y1;
  }
};

/// A uniform grid over a rectangle whose cells list the items whose
/// rectangles overlap them.
class RectGrid {
public:
  RectGrid(const Rect &bounds, std::size_t items)
      : bounds_(bounds),
        side_(std::clamp(static_cast<int>(std::sqrt(static_cast<double>(items))), 1, 256)),
        cells_(static_cast<std::size_t>(side_) * side_) {
    width_ = std::max(bounds.x1 - bounds.x0, 1e-300) / side_;
    height_ = std::max(bounds.y1 - bounds.y0, 1e-300) / side_;
  }

  void add(int item, const Rect &r) {
    for (int row = cell(r.y0, bounds_.y0, height_); row <= cell(r.y1, bounds_.y0, height_); ++row)
      for (int col = cell(r.x0, bounds_.x0, width_); col <= cell(r.x1, bounds_.x0, width_); ++col)
        cells_[static_cast<std::size_t>(row) * side_ + col].push_back(item);
  }

  /// The items of the cell holding (x, y); none outside the bounds.
  [[nodiscard]] const std::vector<int> &at(double x, double y) const {
    static const std::vector<int> none;
    if (!bounds_.holds(x, y))
      return none;
    return cells_[static_cast<std::size_t>(cell(y, bounds_.y0, height_)) * side_ +
                  cell(x, bounds_.x0, width_)];
  }

private:
  [[nodiscard]] int cell(double c, double origin, double size) const {
    return std::clamp(static_cast<int>((c - origin) / size), 0, side_ - 1);
  }

  Rect bounds_;
  int side_;
  double width_ = 1, height_ = 1;
  std::vector<std::vector<int>> cells_;
};

/// Even-odd test of (u, v) against a closed polygon, and whether it lies
/// within distance 1 of the polygon's sides.
struct LoopTest {
  bool inside = false;
  bool near = false;
};
LoopTest test_loop(const std::vector<Point2> &points, double u, double v) {
  LoopTest result;
  for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
    const Point2 &a = points[i], &b = points[j];
    if ((a[1] > v) != (b[1] > v) && u < (b[0] - a[0]) * (v - a[1]) / (b[1] - a[1]) + a[0])
      result.inside = !result.inside;
    const double dx = b[0] - a[0], dy = b[1] - a[1], length2 = dx * dx + dy * dy;
    const double along =
        length2 > 0 ? std::clamp(((u - a[0]) * dx + (v - a[1]) * dy) / length2, 0.0, 1.0) : 0.0;
    const double ex = a[0] + along * dx - u, ey = a[1] + along * dy - v;
    if (ex * ex + ey * ey < 1)
      result.near = true;
  }
  return result;
}

/// The arc's step of angle for chords within tolerance, at most largest.
double arc_step(double r, double tolerance, double largest = kAngularDeflection) {
  const double half = std::acos(std::clamp(1 - tolerance / r, -1.0, 1.0));
  return std::clamp(2 * half, 1e-3, largest);
}

/// The parameters at which an edge's curve is turned into points: its
/// ends where the edge, or its curve on the face, is straight.
std::vector<double> edge_parameters(const TopoDS_Edge &edge, bool straight_on_face, double first,
                                    double last, double tolerance) {
  if (BRep_Tool::Degenerated(edge) || straight_on_face)
    return {first, last};
  double f = 0, l = 0;
  const Handle(Geom_Curve) curve = untrimmed(BRep_Tool::Curve(edge, f, l));
  if (!Handle(Geom_Line)::DownCast(curve).IsNull())
    return {first, last};
  std::vector<double> out;
  if (const Handle(Geom_Circle) circle = Handle(Geom_Circle)::DownCast(curve); !circle.IsNull()) {
    const int n = std::max(
        1, static_cast<int>(std::ceil((last - first) / arc_step(circle->Radius(), tolerance))));
    for (int k = 0; k <= n; ++k)
      out.push_back(first + (last - first) * k / n);
    return out;
  }
  GCPnts_TangentialDeflection sampled(BRepAdaptor_Curve(edge), first, last, kAngularDeflection,
                                      tolerance);
  for (int i = 1; i <= sampled.NbPoints(); ++i)
    out.push_back(sampled.Parameter(i));
  return out;
}

/// The edge's curve on the face as the edge stores it, with its range;
/// null when it stores none there.  A plane's edges often store none: the
/// kernel then projects the edge's curve anew at every asking.
Handle(Geom2d_Curve) stored_curve_on_face(const TopoDS_Edge &edge, const TopoDS_Face &face,
                                          double &first, double &last) {
  TopLoc_Location face_location;
  const Handle(Geom_Surface) &surface = BRep_Tool::Surface(face, face_location);
  const TopLoc_Location location = face_location.Predivided(edge.Location());
  const bool reversed =
      (edge.Orientation() == TopAbs_REVERSED) != (face.Orientation() == TopAbs_REVERSED);
  const auto *shared = static_cast<const BRep_TEdge *>(edge.TShape().get());
  for (BRep_ListIteratorOfListOfCurveRepresentation it(shared->Curves()); it.More(); it.Next()) {
    const Handle(BRep_CurveRepresentation) &kept = it.Value();
    if (!kept->IsCurveOnSurface(surface, location))
      continue;
    const auto *curve = static_cast<const BRep_GCurve *>(kept.get());
    curve->Range(first, last);
    return curve->IsCurveOnClosedSurface() && reversed ? curve->PCurve2() : curve->PCurve();
  }
  return {};
}

/// Adds an edge's points in the face's parameter plane to points, in the
/// edge's direction along its wire; false when it has no curve there.  On
/// a plane, an edge with no curve of its own there is put on the plane
/// point by point, as the kernel's projection would put it.
bool add_edge_points(const TopoDS_Edge &edge, const TopoDS_Face &face, const gp_Pln *plane,
                     double tolerance, std::vector<Point2> &points) {
  double first = 0, last = 0;
  Handle(Geom2d_Curve) on_face = stored_curve_on_face(edge, face, first, last);
  Handle(Geom_Curve) in_space;
  TopLoc_Location location;
  if (on_face.IsNull() && plane)
    in_space = BRep_Tool::Curve(edge, location, first, last);
  else if (on_face.IsNull())
    on_face = BRep_Tool::CurveOnSurface(edge, face, first, last);
  if (on_face.IsNull() && in_space.IsNull())
    return false;
  const bool straight =
      !on_face.IsNull() && !Handle(Geom2d_Line)::DownCast(untrimmed(on_face)).IsNull();
  std::vector<double> ts = edge_parameters(edge, straight, first, last, tolerance);
  if (edge.Orientation() == TopAbs_REVERSED)
    std::reverse(ts.begin(), ts.end());
  for (double t : ts) {
    if (!on_face.IsNull()) {
      const gp_Pnt2d q = on_face->Value(t);
      points.push_back({q.X(), q.Y()});
      continue;
    }
    gp_Pnt p = in_space->Value(t);
    if (!location.IsIdentity())
      p.Transform(location.Transformation());
    double u = 0, v = 0;
    ElSLib::Parameters(*plane, p, u, v);
    points.push_back({u, v});
  }
  return true;
}

/// True when two ends in a parameter plane are one point up to rounding.
bool same_end(const Point2 &a, const Point2 &b) {
  const double scale = 1 + std::max({std::fabs(a[0]), std::fabs(a[1])});
  return std::hypot(a[0] - b[0], a[1] - b[1]) <= kSameEnd * scale;
}

/// The pieces chained end to start into one closed polygon, starting with
/// the first; empty unless each piece has exactly one that can follow it.
std::vector<Point2> chained(const std::vector<std::vector<Point2>> &pieces) {
  std::vector<Point2> points;
  std::vector<bool> used(pieces.size(), false);
  std::size_t at = 0;
  for (std::size_t n = 0; n < pieces.size(); ++n) {
    used[at] = true;
    points.insert(points.end(), pieces[at].begin(), pieces[at].end());
    if (n + 1 == pieces.size())
      break;
    std::size_t next = pieces.size(), candidates = 0;
    for (std::size_t k = 0; k < pieces.size(); ++k)
      if (!used[k] && same_end(pieces[k].front(), points.back()))
        next = k, ++candidates;
    if (candidates != 1)
      return {};
    at = next;
  }
  if (!same_end(points.front(), points.back()))
    return {};
  return points;
}

/// A wire's closed polygon in the face's parameter plane.  The edges are
/// chained by their ends there, which on nearly every wire gives the
/// kernel's order around the wire but for where it starts; where the ends
/// do not chain one way only, the kernel's order is taken.  Empty when an
/// edge has no curve on the face.
std::vector<Point2> wire_points(const TopoDS_Wire &wire, const TopoDS_Face &face,
                                const gp_Pln *plane, double tolerance) {
  std::vector<std::vector<Point2>> pieces;
  for (TopoDS_Iterator e(wire); e.More(); e.Next()) {
    if (e.Value().ShapeType() != TopAbs_EDGE ||
        !add_edge_points(TopoDS::Edge(e.Value()), face, plane, tolerance, pieces.emplace_back()))
      return {};
    if (pieces.back().empty())
      pieces.pop_back();
  }
  if (pieces.empty())
    return {};
  if (std::vector<Point2> points = chained(pieces); !points.empty())
    return points;
  std::vector<Point2> points;
  for (BRepTools_WireExplorer e(wire, face); e.More(); e.Next())
    if (!add_edge_points(e.Current(), face, plane, tolerance, points))
      return {};
  return points;
}

/// A face's boundary in its parameter plane, scaled so that one unit is
/// about one tolerance on the face, as closed polygons.
class FaceDomain {
public:
  /// False when a wire does not close in the parameter plane.
  bool build(const TopoDS_Face &face, const BRepAdaptor_Surface &surface, double tolerance) {
    std::optional<gp_Pln> plane;
    if (surface.GetType() == GeomAbs_Plane)
      plane = surface.Plane();
    Rect all;
    for (TopExp_Explorer w(face, TopAbs_WIRE); w.More(); w.Next()) {
      Loop loop;
      loop.points =
          wire_points(TopoDS::Wire(w.Current()), face, plane ? &*plane : nullptr, tolerance);
      for (const Point2 &q : loop.points)
        loop.box.add(q[0], q[1]);
      if (loop.points.size() < 2)
        return false;
      all.add(loop.box.x0, loop.box.y0);
      all.add(loop.box.x1, loop.box.y1);
      loops_.push_back(std::move(loop));
    }
    if (loops_.empty())
      return false;
    // One unit a tolerance, by the surface's stretch at the middle.
    gp_Pnt centre;
    gp_Vec du, dv;
    surface.D1((all.x0 + all.x1) / 2, (all.y0 + all.y1) / 2, centre, du, dv);
    su_ = std::max(du.Magnitude(), 1e-6) / tolerance;
    sv_ = std::max(dv.Magnitude(), 1e-6) / tolerance;
    if (surface.IsUPeriodic())
      u_period_ = surface.UPeriod() * su_;
    if (surface.IsVPeriodic())
      v_period_ = surface.VPeriod() * sv_;
    u_low_ = all.x0 * su_;
    v_low_ = all.y0 * sv_;
    Rect scaled_all;
    for (Loop &loop : loops_) {
      loop.box = Rect{};
      for (Point2 &p : loop.points) {
        p = {p[0] * su_, p[1] * sv_};
        loop.box.add(p[0], p[1]);
      }
      if (std::hypot(loop.points.front()[0] - loop.points.back()[0],
                     loop.points.front()[1] - loop.points.back()[1]) > 1e-3)
        return false;
      scaled_all.add(loop.box.x0, loop.box.y0);
      scaled_all.add(loop.box.x1, loop.box.y1);
    }
    if (loops_.size() > 16) {
      grid_.emplace(scaled_all.grown(1), loops_.size());
      for (std::size_t i = 0; i < loops_.size(); ++i)
        grid_->add(static_cast<int>(i), loops_[i].box.grown(1));
    }
    return true;
  }

  /// True when surface parameters (u, v) lie on the face or within a
  /// tolerance of its boundary.
  [[nodiscard]] bool holds(double u, double v) const {
    u = wrapped(u * su_, u_low_, u_period_);
    v = wrapped(v * sv_, v_low_, v_period_);
    bool inside = false;
    const auto test = [&](const Loop &loop) {
      if (!loop.box.grown(1).holds(u, v))
        return false;
      const LoopTest t = test_loop(loop.points, u, v);
      inside ^= t.inside;
      return t.near;
    };
    if (grid_) {
      for (int i : grid_->at(u, v))
        if (test(loops_[i]))
          return true;
    } else {
      for (const Loop &loop : loops_)
        if (test(loop))
          return true;
    }
    return inside;
  }

private:
  struct Loop {
    Rect box;
    std::vector<Point2> points;
  };

  /// c moved by whole periods into [low - 1, low - 1 + period).
  static double wrapped(double c, double low, double period) {
    if (period <= 0)
      return c;
    return c - period * std::floor((c - (low - 1)) / period);
  }

  std::vector<Loop> loops_;
  std::optional<RectGrid> grid_;
  double su_ = 1, sv_ = 1, u_period_ = 0, v_period_ = 0, u_low_ = 0, v_low_ = 0;
};

/// Where a ray meets a surface: the distance along the ray and the
/// surface parameters.
struct Meeting {
  double t, u, v;
};

/// A face that can hide what lies behind it.
class Occluder {
public:
  Occluder(const TopoDS_Face &face, double tolerance) : face_(face), tolerance_(tolerance) {
    BRepAdaptor_Surface surface(face, Standard_False);
    switch (surface.GetType()) {
    case GeomAbs_Plane: surface_ = surface.Plane(); break;
    case GeomAbs_Cylinder: surface_ = surface.Cylinder(); break;
    case GeomAbs_Cone: surface_ = surface.Cone(); break;
    case GeomAbs_Sphere: surface_ = surface.Sphere(); break;
    case GeomAbs_Torus: surface_ = surface.Torus(); break;
    default: surface_ = BRep_Tool::Surface(face); break;
    }
  }

  /// False when the face is seen edge-on from direction out: it hides
  /// nothing then.
  [[nodiscard]] bool seen_from(const gp_Dir &out) const {
    if (const auto *plane = std::get_if<gp_Pln>(&surface_))
      return std::fabs(plane->Axis().Direction().Dot(out)) > 1e-9;
    if (const auto *cylinder = std::get_if<gp_Cylinder>(&surface_))
      return std::fabs(cylinder->Axis().Direction().Dot(out)) < 1 - 1e-12;
    return true;
  }

  /// True when the ray meets the face farther than skip from its start.
  [[nodiscard]] bool meets(const gp_Lin &ray, double skip) const {
    Meeting found[4];
    const int count = meetings(ray, found);
    for (int i = 0; i < count; ++i)
      if (found[i].t > skip && on_face(found[i].u, found[i].v))
        return true;
    return false;
  }

  [[nodiscard]] const TopoDS_Face &face() const { return face_; }

private:
  [[nodiscard]] bool on_face(double u, double v) const {
    std::call_once(domain_built_, [this] {
      domain_.emplace();
      if (!domain_->build(face_, BRepAdaptor_Surface(face_, Standard_False), tolerance_))
        classify_by_kernel_ = true;
    });
    if (!classify_by_kernel_)
      return domain_->holds(u, v);
    BRepClass_FaceClassifier classifier(face_, gp_Pnt2d(u, v), tolerance_);
    return classifier.State() == TopAbs_IN || classifier.State() == TopAbs_ON;
  }

  /// The ray's meetings with the whole surface, at most four.
  int meetings(const gp_Lin &ray, Meeting *out) const {
    const gp_Pnt &p = ray.Location();
    const gp_Dir &d = ray.Direction();
    if (const auto *plane = std::get_if<gp_Pln>(&surface_)) {
      const gp_Dir &n = plane->Axis().Direction();
      const double along = n.Dot(d);
      if (std::fabs(along) < 1e-12)
        return 0;
      const double t = n.XYZ().Dot(plane->Location().XYZ() - p.XYZ()) / along;
      double u = 0, v = 0;
      ElSLib::Parameters(*plane, p.Translated(t * gp_Vec(d)), u, v);
      out[0] = {t, u, v};
      return 1;
    }
    if (const auto *cylinder = std::get_if<gp_Cylinder>(&surface_)) {
      const gp_Ax3 &frame = cylinder->Position();
      const gp_XYZ rel = p.XYZ() - frame.Location().XYZ();
      const gp_XYZ &x = frame.XDirection().XYZ(), &y = frame.YDirection().XYZ();
      const double a = rel.Dot(x), b = rel.Dot(y), da = d.XYZ().Dot(x), db = d.XYZ().Dot(y);
      const double qa = da * da + db * db, qb = 2 * (a * da + b * db);
      const double qc = a * a + b * b - cylinder->Radius() * cylinder->Radius();
      const double disc = qb * qb - 4 * qa * qc;
      if (qa < 1e-24 || disc < 0)
        return 0;
      const double root = std::sqrt(disc);
      int count = 0;
      for (const double t : {(-qb - root) / (2 * qa), (-qb + root) / (2 * qa)}) {
        double u = 0, v = 0;
        ElSLib::Parameters(*cylinder, p.Translated(t * gp_Vec(d)), u, v);
        out[count++] = {t, u, v};
      }
      return count;
    }
    if (const auto *torus = std::get_if<gp_Torus>(&surface_)) {
      IntAna_IntLinTorus meet(ray, *torus);
      if (!meet.IsDone())
        return 0;
      const int count = std::min(meet.NbPoints(), 4);
      for (int i = 0; i < count; ++i) {
        double u = 0, v = 0;
        meet.ParamOnTorus(i + 1, u, v);
        out[i] = {meet.ParamOnLine(i + 1), u, v};
      }
      return count;
    }
    if (const auto *surface = std::get_if<Handle(Geom_Surface)>(&surface_)) {
      GeomAPI_IntCS meet(new Geom_Line(ray), *surface);
      if (!meet.IsDone())
        return 0;
      const int count = std::min(meet.NbPoints(), 4);
      for (int i = 0; i < count; ++i) {
        double u = 0, v = 0, t = 0;
        meet.Parameters(i + 1, u, v, t);
        out[i] = {t, u, v};
      }
      return count;
    }
    return quadric_meetings(ray, out);
  }

  /// Cones and spheres.
  int quadric_meetings(const gp_Lin &ray, Meeting *out) const {
    const auto *cone = std::get_if<gp_Cone>(&surface_);
    const auto *sphere = std::get_if<gp_Sphere>(&surface_);
    IntAna_IntConicQuad meet(ray, cone ? IntAna_Quadric(*cone) : IntAna_Quadric(*sphere));
    if (!meet.IsDone() || meet.IsParallel() || meet.IsInQuadric())
      return 0;
    const int count = std::min(meet.NbPoints(), 4);
    for (int i = 0; i < count; ++i) {
      double u = 0, v = 0;
      if (cone)
        ElSLib::Parameters(*cone, meet.Point(i + 1), u, v);
      else
        ElSLib::Parameters(*sphere, meet.Point(i + 1), u, v);
      out[i] = {meet.ParamOnConic(i + 1), u, v};
    }
    return count;
  }

  TopoDS_Face face_;
  double tolerance_;
  std::variant<gp_Pln, gp_Cylinder, gp_Cone, gp_Sphere, gp_Torus, Handle(Geom_Surface)> surface_;
  /// Built on the first meeting, by whichever view meets the face first:
  /// most faces of a large part are never met.
  mutable std::once_flag domain_built_;
  mutable std::optional<FaceDomain> domain_;
  mutable bool classify_by_kernel_ = false;
};

/// A face that can hide, with its box in model space.
struct BoxedFace {
  BoxedFace(const TopoDS_Face &face, double tolerance, Vec3 low, Vec3 high)
      : occluder(face, tolerance), low(low), high(high) {}

  Occluder occluder;
  Vec3 low, high;
};

/// The faces of the bodies, found by where they lie in a view.
class Occlusion {
public:
  Occlusion(const std::deque<BoxedFace> &faces, const Mat3 &axes, double tolerance)
      : faces_(faces), axes_(axes), out_(axes.row[2].x, axes.row[2].y, axes.row[2].z),
        skip_(2 * tolerance) {
    Rect all;
    for (std::size_t i = 0; i < faces.size(); ++i) {
      const BoxedFace &face = faces[i];
      if (!face.occluder.seen_from(out_))
        continue;
      Rect place;
      double nearest = -1e300;
      for (int corner = 0; corner < 8; ++corner) {
        const Vec3 c = axes.to_frame({corner & 1 ? face.high.x : face.low.x,
                                      corner & 2 ? face.high.y : face.low.y,
                                      corner & 4 ? face.high.z : face.low.z});
        place.add(c.x, c.y);
        nearest = std::max(nearest, c.z);
      }
      seen_.push_back(i);
      places_.push_back(place);
      nearest_.push_back(nearest);
      all.add(place.x0, place.y0);
      all.add(place.x1, place.y1);
    }
    grid_.emplace(all, seen_.size());
    for (std::size_t i = 0; i < places_.size(); ++i)
      grid_->add(static_cast<int>(i), places_[i]);
  }

  /// True when a face lies between p and the eye.
  [[nodiscard]] bool hidden(Vec3 p) const {
    const Vec3 v = axes_.to_frame(p);
    const gp_Lin ray(pnt(p), out_);
    for (int i : grid_->at(v.x, v.y))
      if (places_[i].holds(v.x, v.y) && nearest_[i] > v.z + skip_ &&
          faces_[seen_[i]].occluder.meets(ray, skip_))
        return true;
    return false;
  }

private:
  const std::deque<BoxedFace> &faces_;
  Mat3 axes_;
  gp_Dir out_;
  double skip_;
  std::vector<std::size_t> seen_; ///< the faces not seen edge-on
  std::vector<Rect> places_;
  std::vector<double> nearest_;
  std::optional<RectGrid> grid_;
};

/// A line to draw: an edge or an outline, as a curve.
struct ModelLine {
  ViewLineKind kind;
  Curve curve;
};

Vec3 point_at(const Curve &curve, double s) {
  if (const auto *line = std::get_if<Line>(&curve.shape))
    return line->start + s * (line->end - line->start);
  if (const auto *arc = std::get_if<Arc>(&curve.shape))
    return arc->at(arc->t0 + s * (arc->t1 - arc->t0));
  const std::vector<Vec3> &points = std::get<Polyline>(curve.shape).points;
  if (points.size() < 2)
    return curve.start();
  const double at = s * static_cast<double>(points.size() - 1);
  const std::size_t i = std::min(static_cast<std::size_t>(at), points.size() - 2);
  return points[i] + (at - static_cast<double>(i)) * (points[i + 1] - points[i]);
}

/// Parameters s in [s0, s1] of the points a piece of curve is drawn through.
std::vector<double> piece_parameters(const Curve &curve, double s0, double s1, double tolerance) {
  std::vector<double> out{s0};
  if (const auto *arc = std::get_if<Arc>(&curve.shape)) {
    const double sweep = (arc->t1 - arc->t0) * (s1 - s0);
    const int n = std::max(
        1, static_cast<int>(std::ceil(sweep / arc_step(arc->radius, tolerance, kDrawnArcStep))));
    for (int k = 1; k < n; ++k)
      out.push_back(s0 + (s1 - s0) * k / n);
  } else if (const auto *poly = std::get_if<Polyline>(&curve.shape)) {
    const double last = static_cast<double>(poly->points.size() - 1);
    for (std::size_t i = 1; i + 1 < poly->points.size(); ++i)
      if (const double s = static_cast<double>(i) / last; s > s0 && s < s1)
        out.push_back(s);
  }
  out.push_back(s1);
  return out;
}

/// Length of the curve's image in the view.
double image_length(const Curve &curve, const Mat3 &axes, double tolerance) {
  const std::vector<double> ss = piece_parameters(curve, 0, 1, tolerance);
  double length = 0;
  for (std::size_t i = 1; i < ss.size(); ++i) {
    const Vec3 a = axes.to_frame(point_at(curve, ss[i - 1])),
               b = axes.to_frame(point_at(curve, ss[i]));
    length += std::hypot(b.x - a.x, b.y - a.y);
  }
  return length;
}

/// Whether an edge between faces a and b (as they are met around it) is a
/// smooth join: two different faces meeting without a crease.
bool smooth_join(const TopoDS_Edge &edge, const TopoDS_Face &a, const TopoDS_Face &b) {
  return !a.IsSame(b) && BRep_Tool::HasContinuity(edge, a, b) &&
         BRep_Tool::Continuity(edge, a, b) != GeomAbs_C0;
}

/// The kind of each of body's edges, by the faces around it: smooth where
/// exactly two meet without a crease, sharp elsewhere.  An edge is found
/// from the faces by its shared part and its location (a prism's top edges
/// are its bottom ones moved), as the kernel's map of ancestors finds it.
std::vector<ViewLineKind> edge_kinds(const Shape::Impl &body) {
  PartIndex index;
  index.reserve(body.edges.size());
  for (std::size_t i = 0; i < body.edges.size(); ++i)
    index.add(body.edges[i], i);
  struct Around {
    int count = 0;
    TopoDS_Face first, last;
  };
  std::vector<Around> around(body.edges.size());
  auto on_face = [](const TopoDS_Face &) {};
  auto on_edge = [&](const TopoDS_Edge &edge, const TopoDS_Face *face) {
    const std::ptrdiff_t at = index.find(body.edges, edge);
    if (!face || at < 0)
      return; // outside faces, a seam or a degenerate edge: not drawn
    Around &a = around[at];
    if (a.count++ == 0)
      a.first = *face;
    a.last = *face;
  };
  walk_faces_and_edges(body.shape, on_face, on_edge);
  std::vector<ViewLineKind> kinds(body.edges.size(), ViewLineKind::Sharp);
  for (std::size_t i = 0; i < kinds.size(); ++i)
    if (around[i].count == 2 && smooth_join(body.edges[i], around[i].first, around[i].last))
      kinds[i] = ViewLineKind::Smooth;
  return kinds;
}

/// The curves of body's edges, in their order.
std::vector<Curve> edge_curves(const Shape::Impl &body, double tolerance) {
  std::vector<Curve> curves;
  curves.reserve(body.edges.size());
  for (const TopoDS_Edge &edge : body.edges) {
    double first = 0, last = 0;
    BRep_Tool::Range(edge, first, last);
    curves.push_back(curve_of_edge(edge, first, last, tolerance));
  }
  return curves;
}

/// The kernel's box of a face, as BRepBndLib::Add gives it: for a curved
/// face, the box of its surface over the face's parameter bounds.  A
/// quadric face whose bounds are known already (its outlines asked them)
/// takes them from there, which spares a walk around its wires.
Bnd_Box face_box(const Shape::Impl &body, std::size_t index) {
  const TopoDS_Face &face = body.faces[index];
  const FacePrep &known = body.prep[index];
  Bnd_Box box;
  const bool quadric = known.type == GeomAbs_Cylinder || known.type == GeomAbs_Cone ||
                       known.type == GeomAbs_Sphere || known.type == GeomAbs_Torus;
  if (!known.ready || !quadric) {
    BRepBndLib::Add(face, box, false);
    return box;
  }
  BndLib_AddSurface::Add(BRepAdaptor_Surface(face, Standard_False), known.u0, known.u1, known.v0,
                         known.v1, BRep_Tool::Tolerance(face), box);
  return box;
}

/// Appends body's faces, each with its box, to faces.
void add_boxed_faces(const Shape::Impl &body, double tolerance, std::deque<BoxedFace> &faces) {
  for (std::size_t i = 0; i < body.faces.size(); ++i) {
    const Bnd_Box box = face_box(body, i);
    if (box.IsVoid())
      continue;
    double x0 = 0, y0 = 0, z0 = 0, x1 = 0, y1 = 0, z1 = 0;
    box.Get(x0, y0, z0, x1, y1, z1);
    faces.emplace_back(body.faces[i], tolerance, Vec3{x0, y0, z0}, Vec3{x1, y1, z1});
  }
}

/// The outlines of body's curved faces seen along out.
void add_outlines(const Shape::Impl &body, const gp_Dir &out, double tolerance,
                  std::vector<ModelLine> &lines) {
  for (std::size_t i = 0; i < body.faces.size(); ++i) {
    if (body.face_types[i] == FaceType::Plane)
      continue;
    for (Curve &curve : face_isoclines(body, static_cast<int>(i), out, 0, tolerance))
      lines.push_back({ViewLineKind::Outline, std::move(curve)});
  }
}

/// Cuts line where it passes behind a face and appends the pieces.
void add_pieces(const ModelLine &line, const Occlusion &occlusion, const Mat3 &axes,
                double tolerance, std::vector<ViewLine> &out) {
  const double length = image_length(line.curve, axes, tolerance);
  if (length < tolerance)
    return; // seen end-on
  const int samples =
      std::clamp(static_cast<int>(std::ceil(length / (kSpacingInTolerances * tolerance))), 1, 4096);
  const auto hidden = [&](double s) { return occlusion.hidden(point_at(line.curve, s)); };
  const auto emit = [&](double s0, double s1, bool is_hidden) {
    ViewLine piece{line.kind, !is_hidden, {}};
    for (double s : piece_parameters(line.curve, s0, s1, tolerance)) {
      const Vec3 v = axes.to_frame(point_at(line.curve, s));
      piece.points.push_back({v.x, v.y});
    }
    out.push_back(std::move(piece));
  };
  double start = 0;
  bool state = hidden(0.5 / samples);
  for (int i = 1; i < samples; ++i) {
    const double s = (i + 0.5) / samples;
    if (hidden(s) == state)
      continue;
    double lo = (i - 0.5) / samples, hi = s;
    while ((hi - lo) * length > tolerance) {
      const double mid = (lo + hi) / 2;
      if (hidden(mid) == state)
        lo = mid;
      else
        hi = mid;
    }
    const double change = (lo + hi) / 2;
    emit(start, change, state);
    start = change;
    state = !state;
  }
  emit(start, 1, state);
}

} // namespace

struct SampledBodies::Data {
  std::vector<const Shape::Impl *> bodies;
  double tolerance = 0;
  std::vector<std::vector<ModelLine>> edges; ///< a list a body
  std::deque<BoxedFace> faces;
};

SampledBodies::SampledBodies(const std::vector<Shape> &bodies, double tolerance)
    : data_(std::make_unique<Data>()) {
  data_->tolerance = tolerance;
  for (const Shape &body : bodies)
    if (!body.is_null())
      data_->bodies.push_back(&body.impl());
  // The faces' boxes and the edges' curves are made on a thread of their
  // own, beside the edges' kinds.
  std::vector<std::vector<Curve>> curves(data_->bodies.size());
  std::vector<std::vector<ViewLineKind>> kinds;
  std::exception_ptr helper_failed;
  {
    std::jthread helper([&] {
      try {
        for (std::size_t i = 0; i < data_->bodies.size(); ++i) {
          add_boxed_faces(*data_->bodies[i], tolerance, data_->faces);
          curves[i] = edge_curves(*data_->bodies[i], tolerance);
        }
      } catch (...) {
        helper_failed = std::current_exception();
      }
    });
    for (const Shape::Impl *body : data_->bodies)
      kinds.push_back(edge_kinds(*body));
  }
  if (helper_failed)
    std::rethrow_exception(helper_failed);
  for (std::size_t i = 0; i < data_->bodies.size(); ++i) {
    std::vector<ModelLine> &lines = data_->edges.emplace_back();
    lines.reserve(curves[i].size());
    for (std::size_t k = 0; k < curves[i].size(); ++k)
      lines.push_back({kinds[i][k], std::move(curves[i][k])});
  }
}

SampledBodies::~SampledBodies() = default;

double SampledBodies::tolerance() const { return data_->tolerance; }

ViewLines sampled_view_lines(const SampledBodies &bodies, const Mat3 &axes) {
  const SampledBodies::Data &data = *bodies.data_;
  ViewLines result;
  result.method = HiddenLineMethod::Sampled;
  const gp_Dir out(axes.row[2].x, axes.row[2].y, axes.row[2].z);
  std::vector<std::vector<ModelLine>> outlines(data.bodies.size());
  for (std::size_t i = 0; i < data.bodies.size(); ++i)
    add_outlines(*data.bodies[i], out, data.tolerance, outlines[i]);
  const Occlusion occlusion(data.faces, axes, data.tolerance);
  for (std::size_t i = 0; i < data.bodies.size(); ++i) {
    for (const ModelLine &line : data.edges[i])
      add_pieces(line, occlusion, axes, data.tolerance, result.lines);
    for (const ModelLine &line : outlines[i])
      add_pieces(line, occlusion, axes, data.tolerance, result.lines);
  }
  return result;
}

ViewLines sampled_view_lines(const std::vector<Shape> &bodies, const Mat3 &axes, double tolerance) {
  return sampled_view_lines(SampledBodies(bodies, tolerance), axes);
}

} // namespace sim::geo
