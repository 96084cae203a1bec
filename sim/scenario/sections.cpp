//===- sections.cpp - Scenario sections loaded by host areas --------------===//
//
// One line per section: {"key", &area::loader}.  Loaders run in the order
// of these tables.
//
//===----------------------------------------------------------------------===//
#include "scenario/sections.h"

#include "geometry/scenario_bodies.h"

#include <initializer_list>

namespace sim {
namespace {

/// Keys of "part" (after "file", "application" and "objects").
constexpr Section kPartSections[]{
    {"layers", &geo::load_layers},
    {"bodies", &geo::load_bodies},
};

/// Top-level keys (after the part, before answers and faults).
constexpr std::initializer_list<Section> kTopSections{
};

} // namespace

std::span<const Section> part_sections() noexcept {
  return kPartSections;
}
std::span<const Section> top_sections() noexcept {
  return {kTopSections.begin(), kTopSections.size()};
}

} // namespace sim
