//===- cam_scenario.h - Scenario sections of the CAM setup ----------------===//
//
// "part.csys", "part.wcs", "part.setup", "part.programs" and
// "part.selected"; see docs/scenario.md.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_CAM_CAM_SCENARIO_H
#define NCSHEET_SIM_CAM_CAM_SCENARIO_H

#include <nlohmann/json_fwd.hpp>

#include <string>

namespace sim {
class LoadContext;
}

namespace sim::cam {

void load_csys_section(const nlohmann::json &value, const std::string &path, LoadContext &ctx);
void load_wcs_section(const nlohmann::json &value, const std::string &path, LoadContext &ctx);
void load_setup_section(const nlohmann::json &value, const std::string &path, LoadContext &ctx);
void load_programs_section(const nlohmann::json &value, const std::string &path, LoadContext &ctx);
void load_selected_section(const nlohmann::json &value, const std::string &path, LoadContext &ctx);

} // namespace sim::cam

#endif
