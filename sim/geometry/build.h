// build.h: bodies made by the simulated host: primitives for tests and
// scenarios, booleans, the hole plate of the benchmarks, STEP files.
#ifndef NCSHEET_SIM_GEOMETRY_BUILD_H
#define NCSHEET_SIM_GEOMETRY_BUILD_H

#include "geometry/shape.h"

#include <string>
#include <vector>

namespace sim::geo {

// A block of size (x, y, z) with its lowest corner at the origin.
[[nodiscard]] Result<Shape> make_block(Vec3 size);
// A cylinder of radius r and height h standing on the origin along +Z.
[[nodiscard]] Result<Shape> make_cylinder(double r, double h);
// A cone of radii r1 (bottom) and r2 (top) and height h along +Z.
[[nodiscard]] Result<Shape> make_cone(double r1, double r2, double h);
// A sphere of radius r about the origin.
[[nodiscard]] Result<Shape> make_sphere(double r);
// A torus of major radius R and minor radius r about the Z axis.
[[nodiscard]] Result<Shape> make_torus(double major, double minor);
// A block whose top face is a dome: the top is cut by a sphere, rising by
// rise above the block's corners at its middle.
[[nodiscard]] Result<Shape> make_domed_block(Vec3 size, double rise);
// A rectangular sheet body (one planar face) of size (x, y) in the XY plane.
[[nodiscard]] Result<Shape> make_sheet(double x, double y);

// The shape moved by frame as an assembly moves an instance: the same
// geometry under a location, where Shape::placed copies it moved.
[[nodiscard]] Shape located(const Shape &s, const Frame &frame);
// The shapes as one compound, each as it is (two instances of one body
// then share its faces and edges).
[[nodiscard]] Shape compound_of(const std::vector<Shape> &shapes);

// Rounds or bevels every edge of the shape.
[[nodiscard]] Result<Shape> fillet_all(const Shape &s, double radius);
[[nodiscard]] Result<Shape> chamfer_all(const Shape &s, double distance);
// Rounds only the edges parallel to Z (the vertical corners of a block).
[[nodiscard]] Result<Shape> fillet_vertical(const Shape &s, double radius);

enum class BooleanOp { Fuse, Cut, Common };
[[nodiscard]] Result<Shape> boolean(BooleanOp op, const Shape &a, const Shape &b);

// A plate of n x n through holes of radius r at pitch, thickness t, made as
// the prism of a face with n * n circular inner wires.
[[nodiscard]] Result<Shape> make_hole_plate(int n, double pitch, double r, double t);

// STEP input and output (millimetres).  A damaged file is refused with its
// first fault; faces found faulty are healed, and healed (when given) tells
// which ("2 faces healed: 2 edges out of order"), empty when none was.
[[nodiscard]] Result<Shape> read_step(const std::string &path, std::string *healed = nullptr);
[[nodiscard]] Result<void> write_step(const Shape &s, const std::string &path);
// The native format in a file.
[[nodiscard]] Result<Shape> read_brep(const std::string &path);
[[nodiscard]] Result<void> write_brep(const Shape &s, const std::string &path);

// What the kernel itself does, for comparisons in tests and benchmarks:
// the exact box of the whole shape, and a bare loop asking every edge's
// type and vertices.  The loop returns a checksum.
[[nodiscard]] Box kernel_exact_box(const Shape &s);
// The same for the shape seen in a frame of the given axes (rows), the
// whole shape moved into the frame at once.
[[nodiscard]] Box kernel_exact_box_in(const Shape &s, const Mat3 &axes);
[[nodiscard]] double kernel_edge_loop(const Shape &s);
// The exact box of every edge, straight from the kernel: the floor of a pass
// that boxes each edge once.
[[nodiscard]] double kernel_edge_boxes(const Shape &s);
// The kernel's STEP reader alone on path: the file read and translated, in
// this process, without the checks, the healing and the hand-over of
// read_step.  Returns the number of edges made (0 when none).
[[nodiscard]] int kernel_step_read(const std::string &path);

} // namespace sim::geo

#endif
