// sampled_lines.h: hidden lines of large parts by ray tests on the exact
// faces (private to sim/geometry).
#ifndef NCSHEET_SIM_GEOMETRY_SAMPLED_LINES_H
#define NCSHEET_SIM_GEOMETRY_SAMPLED_LINES_H

#include "geometry/hidden_lines.h"

#include <memory>

namespace sim::geo {

/// What the sampled method uses of bodies whatever the view: their edges
/// as lines, and their faces with their boxes and, made once on first use,
/// their boundaries in the parameter plane.  Views of the same bodies may
/// share one from several threads.  The bodies must outlive it.
class SampledBodies {
public:
  /// Throws the kernel's exceptions.
  SampledBodies(const std::vector<Shape> &bodies, double tolerance);
  ~SampledBodies();
  SampledBodies(const SampledBodies &) = delete;
  SampledBodies &operator=(const SampledBodies &) = delete;

  [[nodiscard]] double tolerance() const;

private:
  struct Data;
  std::unique_ptr<Data> data_;
  friend ViewLines sampled_view_lines(const SampledBodies &bodies, const Mat3 &axes);
};

/// The sampled method for one view of bodies.  Throws the kernel's
/// exceptions.
[[nodiscard]] ViewLines sampled_view_lines(const SampledBodies &bodies, const Mat3 &axes);

/// The sampled method behind view_lines: every edge and every curved face's
/// outline of bodies, cut where it passes behind a face.  Samples lie at
/// most 20 tolerances apart along a line's image; a change between two of
/// them is found to within tolerance.  Throws the kernel's exceptions.
[[nodiscard]] ViewLines sampled_view_lines(const std::vector<Shape> &bodies, const Mat3 &axes,
                                           double tolerance);

} // namespace sim::geo

#endif
