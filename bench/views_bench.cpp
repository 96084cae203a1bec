// views_bench.cpp: the hidden-line removal of the sheet's three views (top,
// front, pictorial) on the demo workpiece and on hole plates, against the
// bare kernel call of the same algorithm on the same shape.
//
// Counters: ms is one view's time; vs_kernel is it over the bare kernel
// call, both taken in the same run.  Shapes of more edges than the kernel
// methods' limit (the 20 x 20 plate has 812, the 129 x 129 one 33,294, or
// 49,935 counting the holes' seams) are sampled and report no ratio there;
// BM_SampledAgainstKernel sets the sampled method against the kernel's on
// shapes the kernel still manages; BM_SheetViews times the three views
// together as the pages compute them.
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

constexpr double kPitch = 10.0;

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

bool along_axis(const Mat3 &axes) { return hidden_line_method(axes, 0) == HiddenLineMethod::Exact; }

// shape 0: the demo workpiece; n > 0: the plate of n x n holes.
const Shape &shape(int n) {
  static std::map<int, Shape> shapes;
  if (auto found = shapes.find(n); found != shapes.end())
    return found->second;
  Result<Shape> made =
      n == 0 ? read_step(std::string(NCSHEET_SOURCE_DIR) + "/examples/demo/workpiece.step")
             : make_hole_plate(n, kPitch, 3.0, 20.0);
  if (!made.ok()) {
    std::fprintf(stderr, "shape %d: %s\n", n, made.error().c_str());
    std::abort();
  }
  return shapes.emplace(n, *made).first->second;
}

/// The tolerance the sheet asks of a view of the shape: 0.05 mm of paper,
/// the shape drawn about 100 mm wide (the demo at 1:1 by its exact lines).
double tolerance(int n, HiddenLineMethod method) {
  if (method == HiddenLineMethod::Exact || n == 0)
    return method == HiddenLineMethod::Exact ? 0.01 : 0.1;
  return 0.05 * (n * kPitch) / 100;
}

double seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

const char *method_name(HiddenLineMethod method) {
  return method == HiddenLineMethod::Exact       ? "exact"
         : method == HiddenLineMethod::Polygonal ? "polygonal"
                                                 : "sampled";
}

/// One view by the method the sheet picks.  Against the kernel's own call
/// where the method is the kernel's; the sampled method of large parts has
/// none (the kernel takes minutes there).
void BM_View(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  const Shape &body = shape(n);
  const Mat3 axes = view_axes(static_cast<int>(state.range(1)));
  const HiddenLineMethod method = hidden_line_method(axes, body.edge_count());
  const double chord = tolerance(n, method);
  double ours = 0, kernel = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    auto lines = view_lines({body}, axes, chord, method);
    benchmark::DoNotOptimize(lines);
    ours += seconds(start);
    if (method == HiddenLineMethod::Sampled)
      continue;
    const auto bare = Clock::now();
    benchmark::DoNotOptimize(kernel_hidden_lines(body, axes, chord, method));
    kernel += seconds(bare);
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["edges"] = body.edge_count();
  state.counters["ms"] = runs > 0 ? 1000 * ours / runs : 0;
  state.counters["vs_kernel"] = kernel > 0 ? ours / kernel : 0;
  state.SetLabel(method_name(method));
}

BENCHMARK(BM_View)
    ->ArgNames({"shape", "view"})
    ->ArgsProduct({{0, 10, 20, 129}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

/// The sampled method on shapes the kernel's methods still manage, against
/// the kernel's call the sheet would pick for them.
void BM_SampledAgainstKernel(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  const Shape &body = shape(n);
  const Mat3 axes = view_axes(static_cast<int>(state.range(1)));
  const HiddenLineMethod kernel_method =
      along_axis(axes) ? HiddenLineMethod::Exact : HiddenLineMethod::Polygonal;
  double sampled = 0, kernel = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    auto lines = view_lines({body}, axes, tolerance(n, HiddenLineMethod::Sampled),
                            HiddenLineMethod::Sampled);
    benchmark::DoNotOptimize(lines);
    sampled += seconds(start);
    const auto bare = Clock::now();
    benchmark::DoNotOptimize(
        kernel_hidden_lines(body, axes, tolerance(n, kernel_method), kernel_method));
    kernel += seconds(bare);
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["ms"] = runs > 0 ? 1000 * sampled / runs : 0;
  state.counters["vs_kernel"] = kernel > 0 ? sampled / kernel : 0;
  state.SetLabel(std::string("sampled vs ") + method_name(kernel_method));
}

BENCHMARK(BM_SampledAgainstKernel)
    ->ArgNames({"shape", "view"})
    ->ArgsProduct({{0, 20}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

/// The sheet's three views together, as the pages compute them (large
/// parts' views side by side, sharing what does not depend on the view),
/// against the same three one after another.
void BM_SheetViews(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  const Shape &body = shape(n);
  std::vector<ViewRequest> views;
  for (int view = 0; view < 3; ++view) {
    const Mat3 axes = view_axes(view);
    const HiddenLineMethod method = hidden_line_method(axes, body.edge_count());
    views.push_back({axes, tolerance(n, method), method});
  }
  double together = 0, alone = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    auto lines = view_lines({body}, views);
    benchmark::DoNotOptimize(lines);
    together += seconds(start);
    const auto one_by_one = Clock::now();
    for (const ViewRequest &view : views)
      benchmark::DoNotOptimize(view_lines({body}, view.axes, view.tolerance, view.method));
    alone += seconds(one_by_one);
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["ms"] = runs > 0 ? 1000 * together / runs : 0;
  state.counters["vs_one_by_one"] = alone > 0 ? together / alone : 0;
}

BENCHMARK(BM_SheetViews)
    ->ArgName("shape")
    ->Arg(0)
    ->Arg(129)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
