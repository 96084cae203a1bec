#include "test_shapes.h"

#include "geometry/build.h"

#include <stdexcept>

namespace sim::testing {
namespace {

template <class T> T must(geo::Result<T> r) {
  if (!r.ok())
    throw std::runtime_error("boss_hole_block: " + r.error());
  return std::move(*r);
}

geo::Frame at(geo::Vec3 origin) {
  geo::Frame f;
  f.origin = origin;
  return f;
}

} // namespace

geo::Shape boss_hole_block() {
  using namespace geo;
  const Shape block = must(fillet_vertical(must(make_block({100, 60, 30})), 5));
  const Shape boss = must(make_cylinder(10, 10)).placed(at({30, 30, 30}));
  const Shape hole = must(make_cylinder(8, 50)).placed(at({70, 30, -10}));
  return must(boolean(BooleanOp::Cut, must(boolean(BooleanOp::Fuse, block, boss)), hole));
}

} // namespace sim::testing
