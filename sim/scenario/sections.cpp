//===- sections.cpp - Scenario sections loaded by host areas --------------===//
//
// One line per section: {"key", &area::loader}.  Loaders run in the order
// of these tables.
//
//===----------------------------------------------------------------------===//
#include "scenario/sections.h"

#include <initializer_list>

namespace sim {
namespace {

/// Keys of "part" (after "file", "application" and "objects").
constexpr std::initializer_list<Section> kPartSections{
};

/// Top-level keys (after the part, before answers and faults).
constexpr std::initializer_list<Section> kTopSections{
};

} // namespace

std::span<const Section> part_sections() noexcept {
  return {kPartSections.begin(), kPartSections.size()};
}
std::span<const Section> top_sections() noexcept {
  return {kTopSections.begin(), kTopSections.size()};
}

} // namespace sim
