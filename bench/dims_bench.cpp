// dims_bench.cpp: the edge analysis of the ordinate dimensions on plates
// with n x n through holes: two scans (the top view and the projected
// view), with the re-reads of the longest-edge slots, against a bare
// kernel loop asking the same edges' types and vertices.
//
// The counter vs_kernel_loop is the time of the two scans over the time of
// one bare loop, both taken in the same run.  The plates are cached in the
// native format under the build folder (shared with geometry_bench).
#include "command/command.h"
#include "dims/dims.h"
#include "geometry/build.h"
#include "plates.h"
#include "geometry/model.h"
#include "host/host.h"
#include "my_func/my_func.h"
#include "runtime/runtime.h"
#include "session/session.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>

namespace {

namespace fs = std::filesystem;
using namespace sim::geo;
using Clock = std::chrono::steady_clock;

using bench::plate;

// A session with the installation on D:\kv_conf and the plate as its one
// body, inside an API bracket.
class PlateSession {
public:
  explicit PlateSession(int n) : scope_(session_) {
    std::error_code ec;
    folder_ = fs::temp_directory_path() / "ncsheet_dims_bench";
    fs::remove_all(folder_, ec);
    fs::create_directories(folder_ / "kv_conf");
    fs::copy(fs::path(NCSHEET_SOURCE_DIR) / "data" / "kv_conf", folder_ / "kv_conf",
             fs::copy_options::recursive);
    session_.runtime().mount('D', folder_);
    session_.open_part("D:\\bench\\plate.prt");
    (void)UF_initialize();
    reset_module_state();
    (void)text_copy(lang_file, sizeof lang_file, "D:\\kv_conf\\lang\\ncsheet_elec_uni.txt");
    body = add_body(session_, plate(n), {});
    const Box box = plate(n).box();
    for (int i = 0; i < 3; ++i) {
      box_min[i] = box.min[i];
      box_max[i] = box.max[i];
    }
  }
  ~PlateSession() {
    (void)UF_terminate();
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  PlateSession(const PlateSession &) = delete;
  PlateSession &operator=(const PlateSession &) = delete;

  [[nodiscard]] sim::Session &session() { return session_; }
  tag_t body = NULL_TAG;
  double box_min[3] = {0, 0, 0};
  double box_max[3] = {0, 0, 0};

private:
  sim::Session session_;
  sim::SessionScope scope_;
  fs::path folder_;
};

void BM_EdgeAnalysisTwoScans(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  PlateSession ps(n);
  tag_t slots[VIEW_EDGE_SLOT_COUNT];
  Clock::duration scans{};
  for (auto _ : state) {
    const auto start = Clock::now();
    if (analy_elec_top_wc(&ps.body, 1, ps.box_min, ps.box_max, slots) != 1 ||
        analy_elec_front_wc(&ps.body, 1, ps.box_min, ps.box_max, slots) != 1)
      state.SkipWithError("edge analysis failed");
    scans += Clock::now() - start;
    benchmark::DoNotOptimize(slots);
  }
  // The bare kernel loop over the same edges, timed in the same run.
  const Shape &s = plate(n);
  constexpr int kLoops = 5;
  const auto start = Clock::now();
  for (int i = 0; i < kLoops; ++i)
    benchmark::DoNotOptimize(kernel_edge_loop(s));
  const double kernel = std::chrono::duration<double>(Clock::now() - start).count() / kLoops;
  const double two_scans =
      std::chrono::duration<double>(scans).count() / static_cast<double>(state.iterations());
  state.counters["vs_kernel_loop"] = two_scans / kernel;
  state.counters["host_calls"] =
      static_cast<double>(ps.session().calls().total()) / static_cast<double>(state.iterations());
  state.counters["edges"] = s.edge_count();
  state.counters["per_edge"] = benchmark::Counter(
      s.edge_count(), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_KernelEdgeLoop(benchmark::State &state) {
  const Shape &s = plate(static_cast<int>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(kernel_edge_loop(s));
  state.counters["per_edge"] = benchmark::Counter(
      s.edge_count(), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// 32, 72 and 129 holes a side: about 3 000, 15 500 and 50 000 kernel edges.
#define PLATE_SIZES Arg(32)->Arg(72)->Arg(129)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_KernelEdgeLoop)->PLATE_SIZES;
BENCHMARK(BM_EdgeAnalysisTwoScans)->PLATE_SIZES;

} // namespace

BENCHMARK_MAIN();
