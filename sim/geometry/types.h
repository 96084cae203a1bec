// types.h: the small value types of the simulated host's geometry: points,
// boxes and rotations.  Nothing here knows the kernel.
#ifndef NCSHEET_SIM_GEOMETRY_TYPES_H
#define NCSHEET_SIM_GEOMETRY_TYPES_H

#include "base/expected.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <utility>

namespace sim::geo {

struct Vec3 {
  double x = 0, y = 0, z = 0;

  [[nodiscard]] double operator[](int i) const { return i == 0 ? x : i == 1 ? y : z; }
  double &operator[](int i) { return i == 0 ? x : i == 1 ? y : z; }
  friend Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
  friend Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
  friend Vec3 operator*(double s, Vec3 a) { return {s * a.x, s * a.y, s * a.z}; }
  friend bool operator==(const Vec3 &, const Vec3 &) = default;
};

[[nodiscard]] inline double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
[[nodiscard]] inline Vec3 cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
[[nodiscard]] inline double norm(Vec3 a) { return std::sqrt(dot(a, a)); }
[[nodiscard]] inline Vec3 unit(Vec3 a) {
  double n = norm(a);
  return n > 0 ? (1.0 / n) * a : a;
}

// An axis-aligned box; empty until it receives its first point.
struct Box {
  Vec3 min, max;
  bool empty = true;

  void add(Vec3 p) {
    if (empty) {
      min = max = p;
      empty = false;
      return;
    }
    for (int i = 0; i < 3; ++i) {
      min[i] = std::min(min[i], p[i]);
      max[i] = std::max(max[i], p[i]);
    }
  }
  void add(const Box &b) {
    if (b.empty)
      return;
    add(b.min);
    add(b.max);
  }
};

// A rotation as three orthonormal rows: the images of the frame's X, Y and
// Z axes in absolute coordinates.
struct Mat3 {
  std::array<Vec3, 3> row{Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}};

  // Absolute vector of frame coordinates v.
  [[nodiscard]] Vec3 to_absolute(Vec3 v) const {
    return v.x * row[0] + v.y * row[1] + v.z * row[2];
  }
  // Frame coordinates of absolute vector v.
  [[nodiscard]] Vec3 to_frame(Vec3 v) const {
    return {dot(v, row[0]), dot(v, row[1]), dot(v, row[2])};
  }
};

// The rotation by angle radians about unit axis (right-hand rule), applied
// to vector v.
[[nodiscard]] inline Vec3 rotate(Vec3 v, Vec3 axis, double angle) {
  Vec3 k = unit(axis);
  double c = std::cos(angle), s = std::sin(angle);
  return c * v + s * cross(k, v) + ((1 - c) * dot(k, v)) * k;
}

// An origin and a rotation: a coordinate system.
struct Frame {
  Vec3 origin;
  Mat3 axes;

  [[nodiscard]] Vec3 to_absolute(Vec3 p) const { return origin + axes.to_absolute(p); }
  [[nodiscard]] Vec3 to_frame(Vec3 p) const { return axes.to_frame(p - origin); }
};

// The result of a kernel operation that can fail: a value or the reason.
template <class T> using Result = Expected<T>;

} // namespace sim::geo

#endif
