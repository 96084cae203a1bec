// test_shapes.h: the kernel shapes several suites measure.
#ifndef NCSHEET_TESTS_SUPPORT_TEST_SHAPES_H
#define NCSHEET_TESTS_SUPPORT_TEST_SHAPES_H

#include "geometry/shape.h"

namespace sim::testing {

/// A block 100 x 60 x 30 with its vertical edges filleted r5, a boss r10 x 10
/// on top at (30, 30) and a through hole r8 at (70, 30): a part with a
/// cylinder boss, a through hole and fillets.
[[nodiscard]] geo::Shape boss_hole_block();

} // namespace sim::testing

#endif
