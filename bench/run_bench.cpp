// run_bench.cpp: whole runs of the command through the runner and the real
// module, on generated scenarios over a grid of program groups and
// workpiece edges, beside the bare kernel floor on the same workpiece.
//
// A scenario of G program groups (in parent groups of ten or more, one operation
// each) on a plate of n x n through holes (about 2 n^2 edges) is written
// under the build folder (sim/tools/generated_run.h).  Each benchmark runs it through
// ncsheet::run_scenario and reports the runner's phases (load, command,
// dump, pages) in seconds, the process's peak memory, and the floor: the
// kernel's own edge enumeration, edge boxes and exact body box of the same
// plate, measured in the same run.  Ratios are command / floor.
//
// Peak memory is the whole process's high-water mark: run one grid cell
// per process (scripts/bench does) to read it per cell.
#include "runner.h"

#include "geometry/build.h"
#include "tools/generated_run.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

fs::path cache() { return fs::path(NCSHEET_BENCH_CACHE) / "runs"; }

/// The runs' outputs go to a memory file system where the machine has one,
/// so that the figures are the program's and not the disk's: on ext4,
/// creating a run's 500 NC files just after the last run's were removed
/// has the file system search for inodes not recently freed, which took
/// half the command's time.
fs::path out_folder() {
  std::error_code ec;
  if (fs::is_directory("/dev/shm", ec))
    return fs::path("/dev/shm") / ("ncsheet-bench-" + std::to_string(getuid()));
  return cache() / "out";
}

void BM_WholeRun(benchmark::State &state) {
  const int groups = static_cast<int>(state.range(0));
  const int n = static_cast<int>(state.range(1));
  ncsheet::RunOptions options;
  options.scenario = sim::tools::write_generated_run(cache(), groups, n, NCSHEET_SOURCE_DIR);
  options.out = out_folder();
  options.module = NCSHEET_MODULE;
  ncsheet::RunTimes times;
  options.times = &times;

  // The floor's own copy of the plate is read after each run, so that the
  // run's peak memory is the run's alone.
  const std::string plate = (cache() / ("plate_" + std::to_string(n) + ".brep")).string();
  int edges = 0;
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
    auto floor_shape = sim::geo::read_brep(plate);
    if (!floor_shape.ok()) {
      state.SkipWithError(floor_shape.error().c_str());
      return;
    }
    edges = floor_shape->edge_count();
    const auto floor_start = Clock::now();
    benchmark::DoNotOptimize(sim::geo::kernel_edge_loop(*floor_shape));
    benchmark::DoNotOptimize(sim::geo::kernel_edge_boxes(*floor_shape));
    benchmark::DoNotOptimize(sim::geo::kernel_exact_box(*floor_shape));
    floor += std::chrono::duration<double>(Clock::now() - floor_start).count();
  }
  const double runs = static_cast<double>(state.iterations());
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
  state.counters["peak_command_mib"] = times.peak_command_mib;
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
