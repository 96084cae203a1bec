//===- moves.h - The tool moves of an operation ---------------------------===//
//
// A scenario gives each operation its tool path as a small G-code-like
// program in the operation's machining coordinates (see docs/scenario.md):
//
//   G0 X0 Y0 Z50        rapid move
//   G1 Z-5 F300         linear cutting move, feed in mm/min (modal)
//   G2 X20 Y0 I10 J0    clockwise arc in the XY plane, I J = centre minus
//   G3 ...              start point; counter-clockwise; Z may change (helix)
//   S3000               spindle speed in rev/min (modal)
//
// Words may share a line; G and the last motion are modal; "(...)" and
// ";..." are comments; N, M and T words, G17, G21, G40, G49, G80, G90 and
// "%" lines are accepted and ignored.  Coordinates are absolute.  The tool
// starts at the first point programmed, so the first move must give X, Y
// and Z and cannot be an arc.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_POSTPROC_MOVES_H
#define NCSHEET_SIM_POSTPROC_MOVES_H

#include "geometry/types.h"

#include <string>
#include <string_view>
#include <vector>

namespace sim::post {

enum class Motion { Rapid, Linear, ArcCw, ArcCcw };

struct Move {
  Motion motion = Motion::Rapid;
  geo::Vec3 start;    ///< where the move begins
  geo::Vec3 end;      ///< where it ends
  geo::Vec3 centre;   ///< arcs: the centre (z of the start)
  double feed = 0;    ///< mm/min for cutting moves; 0 for rapids
  int spindle = 0;    ///< rev/min in effect (0: none given)
  bool first = false; ///< the tool's first position: no travel before it
};

/// What the operation gives when the moves do not say.
struct MoveDefaults {
  double feed = 0; ///< feed of cutting moves before the first F word
  int spindle = 0; ///< spindle speed before the first S word
};

struct MoveError {
  int line = 0; ///< 1-based
  std::string what;
};

/// Reads a move program; on failure returns false and fills error.
[[nodiscard]] bool parse_moves(std::string_view text, const MoveDefaults &defaults,
                               std::vector<Move> &moves, MoveError &error);

/// Swept angle of an arc in radians, in (0, 2*pi]; a closed arc is a full
/// circle.
[[nodiscard]] double arc_angle(const Move &move) noexcept;
/// Path length of a move (helical arcs included).
[[nodiscard]] double move_length(const Move &move) noexcept;

} // namespace sim::post

#endif
