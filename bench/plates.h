// plates.h: the hole plates the geometry benchmarks measure, built once and
// cached in the native format under the build folder (NCSHEET_BENCH_CACHE),
// so that a benchmark run does not pay for building them.
#ifndef NCSHEET_BENCH_PLATES_H
#define NCSHEET_BENCH_PLATES_H

#include "geometry/build.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>

namespace bench {

/// The plate of n x n through holes: from the cache, or built and cached.
/// A plate that cannot be built stops the run; one that cannot be cached
/// is said and used.
inline const sim::geo::Shape &plate(int n) {
  static std::map<int, sim::geo::Shape> plates;
  if (const auto found = plates.find(n); found != plates.end())
    return found->second;
  const std::filesystem::path dir(NCSHEET_BENCH_CACHE);
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  const std::string file = (dir / ("plate_" + std::to_string(n) + ".brep")).string();
  sim::geo::Result<sim::geo::Shape> s = sim::geo::read_brep(file);
  if (!s.ok()) {
    s = sim::geo::make_hole_plate(n, 10.0, 3.0, 20.0);
    if (!s.ok()) {
      std::fprintf(stderr, "plate %d: %s\n", n, s.error().c_str());
      std::abort();
    }
    if (const auto written = sim::geo::write_brep(*s, file); !written.ok())
      std::fprintf(stderr, "plate %d not cached: %s\n", n, written.error().c_str());
  }
  return plates.emplace(n, *s).first->second;
}

} // namespace bench

#endif
