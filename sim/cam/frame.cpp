//===- frame.cpp - Coordinate systems from a scenario's axes --------------===//
#include "cam/frame.h"

#include <cmath>
#include <string>

namespace sim::cam {
namespace {

/// Below this length a direction counts as null.
constexpr double kNullLength = 1e-9;

} // namespace

geo::Result<geo::Frame> frame_from_axes(const geo::Vec3 &origin, const geo::Vec3 &x,
                                        const geo::Vec3 &y) {
  const double x_length = geo::norm(x);
  if (x_length < kNullLength)
    return geo::Result<geo::Frame>::failure("the X direction is null");
  const geo::Vec3 ux = (1.0 / x_length) * x;
  const geo::Vec3 y_perp = y - geo::dot(y, ux) * ux;
  const double y_length = geo::norm(y_perp);
  if (y_length < kNullLength * std::max(1.0, geo::norm(y)))
    return geo::Result<geo::Frame>::failure("the Y direction is null or parallel to X");
  const geo::Vec3 uy = (1.0 / y_length) * y_perp;
  geo::Frame frame;
  frame.origin = origin;
  frame.axes.row = {ux, uy, geo::cross(ux, uy)};
  return frame;
}

geo::Result<geo::Frame> frame_from_matrix(const geo::Vec3 &origin,
                                          const std::array<double, 9> &values) {
  geo::Mat3 axes;
  for (int r = 0; r < 3; ++r)
    axes.row[r] = {values[3 * r], values[3 * r + 1], values[3 * r + 2]};
  static constexpr const char *kAxis[] = {"X", "Y", "Z"};
  for (int r = 0; r < 3; ++r)
    if (std::abs(geo::norm(axes.row[r]) - 1.0) > kMatrixTolerance)
      return geo::Result<geo::Frame>::failure(std::string("the ") + kAxis[r] +
                                              " row is not of unit length");
  for (int r = 0; r < 3; ++r)
    for (int s = r + 1; s < 3; ++s)
      if (std::abs(geo::dot(axes.row[r], axes.row[s])) > kMatrixTolerance)
        return geo::Result<geo::Frame>::failure(std::string("the ") + kAxis[r] + " and " +
                                                kAxis[s] + " rows are not perpendicular");
  if (geo::dot(geo::cross(axes.row[0], axes.row[1]), axes.row[2]) < 0)
    return geo::Result<geo::Frame>::failure("the rows form a left-handed system");
  geo::Frame frame;
  frame.origin = origin;
  frame.axes = axes;
  return frame;
}

std::array<double, 9> matrix_values(const geo::Mat3 &axes) noexcept {
  std::array<double, 9> values{};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      values[3 * r + c] = axes.row[r][c];
  return values;
}

} // namespace sim::cam
