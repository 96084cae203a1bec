//===- sections.h - Scenario sections loaded by host areas ----------------===//
//
// The scenario's top level and its "part" object have keys that host areas
// load themselves ("part.programs", "part.csys", "part.bodies",
// "postprocessors", ...).  Each area declares its loader in its own header
// and adds one line to the tables in sections.cpp.  Loaders run in table
// order, after the core keys, with the value of their key and its JSON path
// ("/part/programs"); they report errors with ctx.fail(path, what).
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_SCENARIO_SECTIONS_H
#define NCSHEET_SIM_SCENARIO_SECTIONS_H

#include <nlohmann/json_fwd.hpp>

#include <span>
#include <string>
#include <string_view>

namespace sim {

class LoadContext;

using SectionLoader = void (*)(const nlohmann::json &value, const std::string &path,
                               LoadContext &ctx);

struct Section {
  std::string_view key;
  SectionLoader load;
};

/// Keys of the "part" object loaded by host areas.
[[nodiscard]] std::span<const Section> part_sections() noexcept;
/// Top-level keys loaded by host areas.
[[nodiscard]] std::span<const Section> top_sections() noexcept;

} // namespace sim

#endif
