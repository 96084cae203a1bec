//===- cam_objects.cpp - The CAM setup's objects --------------------------===//
#include "cam/cam_objects.h"

#include "cam/frame.h"
#include "text/gbk.h"

#include <nlohmann/json.hpp>

namespace sim::cam {
namespace {

[[nodiscard]] nlohmann::json vec(const geo::Vec3 &v) { return {v.x, v.y, v.z}; }

[[nodiscard]] const char *motion_name(post::Motion motion) {
  switch (motion) {
  case post::Motion::Rapid: return "rapid";
  case post::Motion::Linear: return "linear";
  case post::Motion::ArcCw: return "arc_cw";
  case post::Motion::ArcCcw: return "arc_ccw";
  }
  return "?";
}

} // namespace

void SetupPayload::dump(nlohmann::json &out) const { out["program_root"] = program_root; }

void ProgramGroupPayload::dump(nlohmann::json &out) const {
  out["parent"] = parent;
  out["members"] = members;
}

void OperationPayload::dump(nlohmann::json &out) const {
  out["parent"] = parent;
  out["mcs"] = mcs;
  out["tool"] = gbk_to_utf8(data.tool);
  out["tool_number"] = data.tool_number;
  out["description"] = gbk_to_utf8(data.description);
  out["stock_side"] = data.side_stock;
  out["stock_floor"] = data.floor_stock;
  out["spindle"] = data.spindle;
  out["feed"] = data.feed;
  out["moves_source"] = moves_source;
  out["move_count"] = data.moves.size();
  nlohmann::json moves = nlohmann::json::array();
  // The first moves are enough to recognise the path; the whole path is in
  // the NC file.
  constexpr std::size_t kDumpedMoves = 8;
  for (std::size_t i = 0; i < data.moves.size() && i < kDumpedMoves; ++i)
    moves.push_back(
        {{"motion", motion_name(data.moves[i].motion)}, {"end", vec(data.moves[i].end)}});
  out["first_moves"] = std::move(moves);
}

void MatrixPayload::dump(nlohmann::json &out) const { out["values"] = matrix_values(axes); }

void CsysPayload::dump(nlohmann::json &out) const {
  out["matrix"] = matrix;
  out["origin"] = vec(origin);
}

} // namespace sim::cam
