// make_workpiece.cpp: writes the example workpiece as a STEP file: a mould
// insert 120 x 80 x 35 with rounded vertical corners, a pocket with
// rounded corners, a domed island in the pocket and four through holes.
// The top face lies at Z = 0, centred on the origin.
//
//   ncsheet_make_workpiece OUT.step
#include "geometry/build.h"

#include <cstdio>
#include <string>

namespace {

using namespace sim::geo;

Result<Shape> workpiece() {
  auto block = make_block({120, 80, 35});
  if (!block)
    return block;
  auto rounded = fillet_vertical(block->placed({{-60, -40, -35}, {}}), 6);
  if (!rounded)
    return rounded;
  Shape part = *rounded;
  // the pocket: 64 x 36, 10 deep, corner radius 5
  auto pocket_tool = make_block({64, 36, 20});
  if (!pocket_tool)
    return pocket_tool;
  auto pocket = fillet_vertical(pocket_tool->placed({{-32, -18, -10}, {}}), 5);
  if (!pocket)
    return pocket;
  auto cut = boolean(BooleanOp::Cut, part, *pocket);
  if (!cut)
    return cut;
  part = *cut;
  // a domed island in the pocket, reaching 2 below the top
  auto island = make_domed_block({20, 12, 5}, 3);
  if (!island)
    return island;
  auto fused = boolean(BooleanOp::Fuse, part, island->placed({{-10, -6, -10}, {}}));
  if (!fused)
    return fused;
  part = *fused;
  // four through holes of diameter 10
  for (double x : {-47.0, 47.0}) {
    for (double y : {-27.0, 27.0}) {
      auto drill = make_cylinder(5, 50);
      if (!drill)
        return drill;
      auto holed = boolean(BooleanOp::Cut, part, drill->placed({{x, y, -40}, {}}));
      if (!holed)
        return holed;
      part = *holed;
    }
  }
  return part;
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: ncsheet_make_workpiece OUT.step\n");
    return 2;
  }
  auto part = workpiece();
  if (!part) {
    std::fprintf(stderr, "ncsheet_make_workpiece: %s\n", part.error().c_str());
    return 1;
  }
  auto written = write_step(*part, argv[1]);
  if (!written) {
    std::fprintf(stderr, "ncsheet_make_workpiece: %s\n", written.error().c_str());
    return 1;
  }
  Box b = part->box();
  std::printf("%s: %d faces, %d edges, box (%g %g %g) .. (%g %g %g)\n", argv[1], part->face_count(),
              part->edge_count(), b.min.x, b.min.y, b.min.z, b.max.x, b.max.y, b.max.z);
  return 0;
}
