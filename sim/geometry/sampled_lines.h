// sampled_lines.h: hidden lines of large parts by ray tests on the exact
// faces (private to sim/geometry).
#ifndef NCSHEET_SIM_GEOMETRY_SAMPLED_LINES_H
#define NCSHEET_SIM_GEOMETRY_SAMPLED_LINES_H

#include "geometry/hidden_lines.h"

namespace sim::geo {

/// The sampled method behind view_lines: every edge and every curved face's
/// outline of bodies, cut where it passes behind a face.  Samples lie at
/// most 20 tolerances apart along a line's image; a change between two of
/// them is found to within tolerance.  Throws the kernel's exceptions.
[[nodiscard]] ViewLines sampled_view_lines(const std::vector<Shape> &bodies, const Mat3 &axes,
                                           double tolerance);

} // namespace sim::geo

#endif
