// views_bench.cpp: the hidden-line removal of the sheet's three views (top,
// front, pictorial) on the demo workpiece and on hole plates, against the
// bare kernel call of the same algorithm on the same shape.
//
// Counters: ms is one view's time; vs_kernel is it over the bare kernel
// call, both taken in the same run.  The plates of more than the limit's
// edges get no hidden-line removal (the page draws every edge), so their
// cells report the wireframe's time alone.
#include "geometry/build.h"
#include "geometry/hidden_lines.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

using namespace sim::geo;
using Clock = std::chrono::steady_clock;

Mat3 view_axes(int view) {
  Mat3 axes;
  if (view == 1)
    axes.row = {Vec3{1, 0, 0}, Vec3{0, 0, 1}, Vec3{0, -1, 0}};
  else if (view == 2)
    axes.row = {Vec3{0.7071067811865475, 0.7071067811865475, 0},
                Vec3{-0.4082482904638631, 0.4082482904638631, 0.8164965809277261},
                Vec3{0.5773502691896258, -0.5773502691896258, 0.5773502691896258}};
  return axes;
}

// shape 0: the demo workpiece; n > 0: the plate of n x n holes.
const Shape &shape(int n) {
  static std::map<int, Shape> shapes;
  if (auto found = shapes.find(n); found != shapes.end())
    return found->second;
  Result<Shape> made = n == 0 ? read_step(std::string(NCSHEET_SOURCE_DIR) +
                                          "/examples/demo/workpiece.step")
                              : make_hole_plate(n, 10.0, 3.0, 20.0);
  if (!made.ok()) {
    std::fprintf(stderr, "shape %d: %s\n", n, made.error().c_str());
    std::abort();
  }
  return shapes.emplace(n, *made).first->second;
}

double seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

void BM_View(benchmark::State &state) {
  const Shape &body = shape(static_cast<int>(state.range(0)));
  const Mat3 axes = view_axes(static_cast<int>(state.range(1)));
  const HiddenLineMethod method = hidden_line_method(axes, body.edge_count());
  const double tolerance = method == HiddenLineMethod::Polygonal ? 0.1 : 0.01;
  double ours = 0, kernel = 0;
  for (auto _ : state) {
    if (method == HiddenLineMethod::None)
      break;
    const auto start = Clock::now();
    auto lines = view_lines({body}, axes, tolerance, method);
    benchmark::DoNotOptimize(lines);
    ours += seconds(start);
    const auto bare = Clock::now();
    benchmark::DoNotOptimize(kernel_hidden_lines(body, axes, tolerance, method));
    kernel += seconds(bare);
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["edges"] = body.edge_count();
  state.counters["ms"] = runs > 0 ? 1000 * ours / runs : 0;
  state.counters["vs_kernel"] = kernel > 0 ? ours / kernel : 0;
  state.SetLabel(method == HiddenLineMethod::Exact       ? "exact"
                 : method == HiddenLineMethod::Polygonal ? "polygonal"
                                                         : "none: every edge drawn");
}

BENCHMARK(BM_View)
    ->ArgNames({"shape", "view"})
    ->ArgsProduct({{0, 10, 20}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
