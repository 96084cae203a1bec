// run_bench.cpp: whole runs of the command through the runner and the real
// module, on generated scenarios over a grid of program groups and
// workpiece edges, beside the bare kernel floor on the same workpiece.
//
// A scenario of G program groups (in parent groups of ten or more, one operation
// each) on a plate of n x n through holes (about 2 n^2 edges) is written
// once under the build folder.  Each benchmark runs it through
// ncsheet::run_scenario and reports the runner's phases (load, command,
// dump, pages) in seconds, the process's peak memory, and the floor: the
// kernel's own edge enumeration, edge boxes and exact body box of the same
// plate, measured in the same run.  Ratios are command / floor.
//
// Peak memory is the whole process's high-water mark: run one grid cell
// per process (scripts/bench does) to read it per cell.
#include "runner.h"

#include "geometry/build.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The n x n hole plate in the native format, built once.
fs::path plate_file(int n) {
  const fs::path dir(NCSHEET_BENCH_CACHE);
  fs::create_directories(dir);
  const fs::path file = dir / ("plate_" + std::to_string(n) + ".brep");
  if (fs::exists(file))
    return file;
  auto plate = sim::geo::make_hole_plate(n, 10.0, 3.0, 20.0);
  if (!plate.ok() || !sim::geo::write_brep(*plate, file.string()).ok()) {
    std::fprintf(stderr, "run_bench: cannot make %s\n", file.string().c_str());
    std::abort();
  }
  return file;
}

// "G0001"...: the program groups' names, unique and in order.
std::string group(int index) {
  char name[16];
  std::snprintf(name, sizeof name, "G%04d", index + 1);
  return name;
}

// Writes the scenario of `groups` program groups on the n x n plate.
fs::path scenario_file(int groups, int n) {
  const fs::path dir = fs::path(NCSHEET_BENCH_CACHE) / "runs";
  fs::create_directories(dir);
  const fs::path file =
      dir / ("run_" + std::to_string(groups) + "_" + std::to_string(n) + ".json");
  const fs::path drive = dir / "drive_d";
  fs::create_directories(drive / "nc");
  nlohmann::json programs = nlohmann::json::array();
  nlohmann::json selected = nlohmann::json::array();
  // At most 50 nodes may be selected: parents of ten, or more for larger runs.
  const int per_parent = std::max(10, (groups + 39) / 40);
  for (int first = 0; first < groups; first += per_parent) {
    nlohmann::json members = nlohmann::json::array();
    for (int i = first; i < std::min(groups, first + per_parent); ++i) {
      const double x = 5.0 + (i % 10) * 10.0;
      nlohmann::json op = {{"op", std::string("OP_") + group(i)},
                           {"mcs", "MCS_MAIN"},
                           {"tool", "D10"},
                           {"tool_number", 1 + i % 20},
                           {"spindle", 3000},
                           {"feed", 1200},
                           {"moves",
                            {"G0 X" + std::to_string(x) + " Y5 Z30", "G1 Z15 F500",
                             "X" + std::to_string(x + 40.0) + " F2000", "G0 Z30"}}};
      members.push_back({{group(i), nlohmann::json::array({op})}});
    }
    const std::string parent = "P" + std::to_string(first / per_parent + 1);
    programs.push_back({{parent, members}});
    selected.push_back(parent);
  }
  const nlohmann::json doc = {
      {"description", "generated: " + std::to_string(groups) + " program groups on a " +
                          std::to_string(n) + " x " + std::to_string(n) + " hole plate"},
      {"base", NCSHEET_SOURCE_DIR},
      {"installation", "data/kv_conf"},
      {"drives", {{"D", drive.string()}}},
      {"clock", "2026-12-05T09:30:00"},
      {"part",
       {{"file", "D:\\work\\plate.prt"},
        {"application", "cam"},
        {"bodies", {{{"brep", plate_file(n).string()}, {"layer", 1}}}},
        {"csys",
         {{"MCS_MAIN", {{"origin", {0, 0, 20}}, {"x", {1, 0, 0}}, {"y", {0, 1, 0}}}}}},
        {"programs", programs},
        {"selected", selected}}},
      {"answers",
       {{{"menu", 1}},
        {{"dialog", {{"STR_0", "M2612"}, {"RADIO_7", 1}}}, {"press", "OK"}},
        {{"file", "D:\\nc\\G0001.nc"}}}}};
  std::ofstream(file) << doc.dump(2) << "\n";
  return file;
}

void BM_WholeRun(benchmark::State &state) {
  const int groups = static_cast<int>(state.range(0));
  const int n = static_cast<int>(state.range(1));
  ncsheet::RunOptions options;
  options.scenario = scenario_file(groups, n);
  options.out = fs::path(NCSHEET_BENCH_CACHE) / "runs" / "out";
  options.module = NCSHEET_MODULE;
  ncsheet::RunTimes times;
  options.times = &times;

  auto floor_shape = sim::geo::read_brep(plate_file(n).string());
  if (!floor_shape.ok()) {
    state.SkipWithError(floor_shape.error().c_str());
    return;
  }
  double command = 0, load = 0, dump = 0, pages = 0, floor = 0;
  for (auto _ : state) {
    std::ostringstream out, err;
    const auto start = Clock::now();
    if (ncsheet::run_scenario(options, out, err) != ncsheet::kExitCompleted) {
      state.SkipWithError(("run failed: " + err.str() + out.str()).c_str());
      return;
    }
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    command += times.command;
    load += times.load;
    dump += times.dump;
    pages += times.pages;
    const auto floor_start = Clock::now();
    benchmark::DoNotOptimize(sim::geo::kernel_edge_loop(*floor_shape));
    benchmark::DoNotOptimize(sim::geo::kernel_edge_boxes(*floor_shape));
    benchmark::DoNotOptimize(sim::geo::kernel_exact_box(*floor_shape));
    floor += std::chrono::duration<double>(Clock::now() - floor_start).count();
  }
  const double runs = static_cast<double>(state.iterations());
  const int edges = floor_shape->edge_count();
  state.counters["groups"] = groups;
  state.counters["edges"] = edges;
  state.counters["command_s"] = command / runs;
  state.counters["load_s"] = load / runs;
  state.counters["dump_s"] = dump / runs;
  state.counters["pages_s"] = pages / runs;
  state.counters["floor_s"] = floor / runs;
  state.counters["command_vs_floor"] = floor > 0 ? command / floor : 0;
  state.counters["command_us_per_group"] = command / runs / groups * 1e6;
  state.counters["command_ns_per_edge"] = command / runs / edges * 1e9;
  state.counters["peak_mib"] = times.peak_mib;
}

// Groups 50, 200, 500, 1000 by plates of about 2k, 10k and 50k edges.
void Grid(benchmark::internal::Benchmark *b) {
  for (int groups : {50, 200, 500, 1000})
    for (int n : {32, 71, 158})
      b->Args({groups, n});
}

BENCHMARK(BM_WholeRun)
    ->Apply(Grid)
    ->ArgNames({"groups", "n"})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
