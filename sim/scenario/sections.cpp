//===- sections.cpp - Scenario sections loaded by host areas --------------===//
//
// One line per section: {"key", &area::loader}.  Loaders run in the order
// of these tables.
//
//===----------------------------------------------------------------------===//
#include "scenario/sections.h"

#include "cam/cam_scenario.h"
#include "geometry/scenario_bodies.h"
#include "postproc/posts.h"

namespace sim {
namespace {

/// Keys of "part" (after "file", "application" and "objects").
constexpr Section kPartSections[]{
    {"layers", &geo::load_layers},
    {"bodies", &geo::load_bodies},
    {"csys", &cam::load_csys_section},
    {"wcs", &cam::load_wcs_section},
    {"setup", &cam::load_setup_section},
    {"programs", &cam::load_programs_section},
    {"selected", &cam::load_selected_section},
};

/// Top-level keys (after the part, before answers and faults).
constexpr Section kTopSections[]{
    {"postprocessors", &post::load_postprocessors_section},
};

} // namespace

std::span<const Section> part_sections() noexcept { return kPartSections; }
std::span<const Section> top_sections() noexcept { return kTopSections; }

} // namespace sim
