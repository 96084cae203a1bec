// generated_run.cpp: scenarios of many program groups on a hole plate.
#include "tools/generated_run.h"

#include "geometry/build.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace sim::tools {
namespace {

// The n x n hole plate in the native format, built once into folder.
fs::path plate_file(const fs::path &folder, int n) {
  const fs::path file = folder / ("plate_" + std::to_string(n) + ".brep");
  if (fs::exists(file))
    return file;
  auto plate = geo::make_hole_plate(n, 10.0, 3.0, 20.0);
  if (!plate.ok())
    throw std::runtime_error("hole plate " + std::to_string(n) + ": " + plate.error());
  if (auto written = geo::write_brep(*plate, file.string()); !written.ok())
    throw std::runtime_error(file.string() + ": " + written.error());
  return file;
}

nlohmann::json operation(int index) {
  const double x = 5.0 + (index % 10) * 10.0;
  return {{"op", "OP_" + generated_group(index)},
          {"mcs", "MCS_MAIN"},
          {"tool", "D10"},
          {"tool_number", 1 + index % 20},
          {"spindle", 3000},
          {"feed", 1200},
          {"moves",
           {"G0 X" + std::to_string(x) + " Y5 Z30", "G1 Z15 F500",
            "X" + std::to_string(x + 40.0) + " F2000", "G0 Z30"}}};
}

} // namespace

std::string generated_group(int index) {
  char name[16];
  std::snprintf(name, sizeof name, "G%04d", index + 1);
  return name;
}

fs::path write_generated_run(const fs::path &folder, int groups, int n,
                             const fs::path &source_dir) {
  fs::create_directories(folder);
  const fs::path file =
      folder / ("run_" + std::to_string(groups) + "_" + std::to_string(n) + ".json");
  const fs::path drive = folder / "drive_d";
  fs::create_directories(drive / "nc");
  nlohmann::json programs = nlohmann::json::array();
  nlohmann::json selected = nlohmann::json::array();
  // At most 50 nodes may be selected: parents of ten, or more for larger runs.
  const int per_parent = std::max(10, (groups + 39) / 40);
  for (int first = 0; first < groups; first += per_parent) {
    nlohmann::json members = nlohmann::json::array();
    for (int i = first; i < std::min(groups, first + per_parent); ++i)
      members.push_back({{generated_group(i), nlohmann::json::array({operation(i)})}});
    const std::string parent = "P" + std::to_string(first / per_parent + 1);
    programs.push_back({{parent, members}});
    selected.push_back(parent);
  }
  const nlohmann::json doc = {
      {"description", "generated: " + std::to_string(groups) + " program groups on a " +
                          std::to_string(n) + " x " + std::to_string(n) + " hole plate"},
      {"base", source_dir.string()},
      {"installation", "data/kv_conf"},
      {"drives", {{"D", drive.string()}}},
      {"clock", "2026-12-05T09:30:00"},
      {"part",
       {{"file", "D:\\work\\plate.prt"},
        {"application", "cam"},
        {"bodies", {{{"brep", plate_file(folder, n).string()}, {"layer", 1}}}},
        {"csys", {{"MCS_MAIN", {{"origin", {0, 0, 20}}, {"x", {1, 0, 0}}, {"y", {0, 1, 0}}}}}},
        {"programs", programs},
        {"selected", selected}}},
      {"answers",
       {{{"menu", 1}},
        {{"dialog", {{"STR_0", "M2612"}, {"RADIO_7", 1}}}, {"press", "OK"}},
        {{"file", "D:\\nc\\G0001.nc"}}}}};
  std::ofstream(file) << doc.dump(2) << "\n";
  return file;
}

} // namespace sim::tools
