// curve.cpp: model curves and their exact boxes.
#include "geometry/curve.h"

#include <numbers>

namespace sim::geo {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

// Box of an arc: its end points and every coordinate extreme that lies
// inside its parameter range.
Box arc_box(const Arc &a) {
  Box b;
  b.add(a.at(a.t0));
  b.add(a.at(a.t1));
  for (int k = 0; k < 3; ++k) {
    // coordinate k = c + r (A cos t + B sin t); extremes at atan2(B, A) and + pi
    double ca = a.xdir[k], cb = a.ydir[k];
    if (ca == 0 && cb == 0)
      continue;
    double phi = std::atan2(cb, ca);
    for (double t : {phi, phi + std::numbers::pi}) {
      // the first t' = t + 2 pi n with t' >= t0
      double tt = t + kTwoPi * std::ceil((a.t0 - t) / kTwoPi);
      if (tt <= a.t1) {
        Vec3 p = a.at(tt);
        Vec3 q = b.min;
        Vec3 r = b.max;
        q[k] = std::min(q[k], p[k]);
        r[k] = std::max(r[k], p[k]);
        b.min = q;
        b.max = r;
      }
    }
  }
  return b;
}

} // namespace

Vec3 Arc::at(double t) const { return center + radius * (std::cos(t) * xdir + std::sin(t) * ydir); }

bool Arc::full() const { return t1 - t0 >= kTwoPi - 1e-12; }

Vec3 Curve::start() const {
  if (auto *l = std::get_if<Line>(&shape))
    return l->start;
  if (auto *a = std::get_if<Arc>(&shape))
    return a->at(a->t0);
  const auto &p = std::get<Polyline>(shape).points;
  return p.empty() ? Vec3{} : p.front();
}

Vec3 Curve::end() const {
  if (auto *l = std::get_if<Line>(&shape))
    return l->end;
  if (auto *a = std::get_if<Arc>(&shape))
    return a->full() ? a->at(a->t0) : a->at(a->t1);
  const auto &p = std::get<Polyline>(shape).points;
  return p.empty() ? Vec3{} : p.back();
}

bool Curve::closed() const {
  if (auto *a = std::get_if<Arc>(&shape))
    return a->full();
  if (auto *p = std::get_if<Polyline>(&shape))
    return p->points.size() > 2 && norm(p->points.front() - p->points.back()) < 1e-9;
  return false;
}

Box Curve::box() const {
  Box b;
  if (auto *l = std::get_if<Line>(&shape)) {
    b.add(l->start);
    b.add(l->end);
  } else if (auto *a = std::get_if<Arc>(&shape)) {
    b = arc_box(*a);
  } else {
    for (Vec3 p : std::get<Polyline>(shape).points)
      b.add(p);
  }
  return b;
}

const char *Curve::kind() const {
  if (std::holds_alternative<Line>(shape))
    return "line";
  if (auto *a = std::get_if<Arc>(&shape))
    return a->full() ? "circle" : "arc";
  return "polyline";
}

} // namespace sim::geo
