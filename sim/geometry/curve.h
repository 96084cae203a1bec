// curve.h: model curves as the simulated host keeps them: lines, circular
// arcs and polylines, with exact boxes.  Nothing here knows the kernel.
#ifndef NCSHEET_SIM_GEOMETRY_CURVE_H
#define NCSHEET_SIM_GEOMETRY_CURVE_H

#include "geometry/types.h"

#include <vector>

namespace sim::geo {

struct Line {
  Vec3 start, end;
};

// The arc center + radius (cos t xdir + sin t ydir), t from t0 to t1
// (t1 > t0; t1 - t0 = 2 pi is the full circle).
struct Arc {
  Vec3 center, xdir, ydir;
  double radius = 0, t0 = 0, t1 = 0;

  [[nodiscard]] Vec3 at(double t) const;
  [[nodiscard]] bool full() const;
};

// A curve the kernel gave only as points on it (walking lines of free-form
// faces).
struct Polyline {
  std::vector<Vec3> points;
};

struct Curve {
  std::variant<Line, Arc, Polyline> shape;

  [[nodiscard]] Vec3 start() const;
  [[nodiscard]] Vec3 end() const;
  [[nodiscard]] bool closed() const;
  // The exact box: lines and arcs analytically, polylines from their points.
  [[nodiscard]] Box box() const;
  // A short kind name for dumps: "line", "arc", "circle" or "polyline".
  [[nodiscard]] const char *kind() const;
};

} // namespace sim::geo

#endif
