//===- frame.h - Coordinate systems from a scenario's axes ----------------===//
//
// A coordinate system of the part is an origin and a proper rotation whose
// rows are the system's X, Y and Z axes in absolute coordinates.  A
// scenario gives the origin and two axis directions, which are made
// orthonormal (X normalised; Y made perpendicular to X and normalised;
// Z = X x Y), or the nine matrix values themselves, which are kept as given
// when they already form a right-handed orthonormal matrix to 1e-3.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_CAM_FRAME_H
#define NCSHEET_SIM_CAM_FRAME_H

#include "geometry/types.h"

#include <array>

namespace sim::cam {

/// How far from orthonormal a matrix given as nine values may be.
inline constexpr double kMatrixTolerance = 1e-3;

/// The frame with origin and the orthonormalised axes x and y.  Fails when
/// x is null or y is (nearly) parallel to x.
[[nodiscard]] geo::Result<geo::Frame> frame_from_axes(const geo::Vec3 &origin, const geo::Vec3 &x,
                                                      const geo::Vec3 &y);

/// The frame with origin and the nine values row by row, kept exactly as
/// given.  Fails unless the rows have unit length, are mutually
/// perpendicular (each to kMatrixTolerance) and form a right-handed system.
[[nodiscard]] geo::Result<geo::Frame> frame_from_matrix(const geo::Vec3 &origin,
                                                        const std::array<double, 9> &values);

/// The nine values of a rotation, row by row (X, Y, Z axes).
[[nodiscard]] std::array<double, 9> matrix_values(const geo::Mat3 &axes) noexcept;

} // namespace sim::cam

#endif
