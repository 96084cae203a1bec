// scenario_bodies.h: the scenario's "part.bodies" and "part.layers".
#ifndef NCSHEET_SIM_GEOMETRY_SCENARIO_BODIES_H
#define NCSHEET_SIM_GEOMETRY_SCENARIO_BODIES_H

#include <nlohmann/json_fwd.hpp>

#include <string>

namespace sim {
class LoadContext;
}

namespace sim::geo {

// "bodies": [ { "step": "file.step" | "brep": "file.brep" | "block": [x, y, z]
//   | "cylinder": {"radius", "height"} | "cone": {"radius1", "radius2", "height"}
//   | "sphere": r | "torus": [R, r] | "sheet": [x, y],
//   "dome": rise, "fillet": r, "fillet_vertical": r, "chamfer": d,
//   "at": [x, y, z], "x": [..], "y": [..], "layer", "blanked", "color", "name" }, ... ]
void load_bodies(const nlohmann::json &value, const std::string &path, LoadContext &ctx);

// "layers": { "work": n, "visible_only": [n, ...], "invisible": [n, ...] }
void load_layers(const nlohmann::json &value, const std::string &path, LoadContext &ctx);

} // namespace sim::geo

#endif
