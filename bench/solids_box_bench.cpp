// solids_box_bench.cpp: the workpiece box and the edge and face queries on
// plates with n x n through holes, against what the kernel itself does on
// the same body: its exact box, and a bare loop over the same edges; and
// the STEP import of the plates beside the native read of the same shape.
//
// The plates are built once and cached in the native format under the
// build folder.
#include "geometry/build.h"
#include "plates.h"
#include "geometry/model.h"
#include "host/host.h"
#include "my_func/solid_box.h"
#include "session/session.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace {

using namespace sim::geo;

using bench::plate;

// The plate of n x n holes as a STEP file, written once into the cache.
std::string plate_step(int n) {
  const std::filesystem::path file =
      std::filesystem::path(NCSHEET_BENCH_CACHE) / ("plate_" + std::to_string(n) + ".step");
  if (!std::filesystem::exists(file) && !write_step(plate(n), file.string()).ok()) {
    std::fprintf(stderr, "plate %d: cannot write %s\n", n, file.string().c_str());
    std::abort();
  }
  return file.string();
}

// A session holding the plate as its one body, inside an API bracket.
struct PlateSession {
  explicit PlateSession(int n) : scope(session) {
    session.open_part("D:\\bench\\plate.prt");
    (void)UF_initialize();
    body = add_body(session, plate(n), {});
  }
  ~PlateSession() { (void)UF_terminate(); }
  sim::Session session;
  sim::SessionScope scope;
  tag_t body = NULL_TAG;
};

void per_edge(benchmark::State &state, const Shape &s) {
  state.counters["edges"] = s.edge_count();
  state.counters["faces"] = s.face_count();
  state.counters["per_edge"] = benchmark::Counter(
      s.edge_count(), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_KernelExactBox(benchmark::State &state) {
  const Shape &s = plate(static_cast<int>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(kernel_exact_box(s));
  per_edge(state, s);
}

void BM_KernelEdgeLoop(benchmark::State &state) {
  const Shape &s = plate(static_cast<int>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(kernel_edge_loop(s));
  per_edge(state, s);
}

void BM_SolidsBox(benchmark::State &state) {
  PlateSession ps(static_cast<int>(state.range(0)));
  double lo[3], hi[3];
  for (auto _ : state) {
    if (MY_solids_box(&ps.body, 1, lo, hi) != 1)
      state.SkipWithError("MY_solids_box failed");
  }
  state.counters["host_calls"] =
      static_cast<double>(ps.session.calls().total()) / static_cast<double>(state.iterations());
  per_edge(state, plate(static_cast<int>(state.range(0))));
}

// The edge queries of the edge analysis: list, item, type, vertices.
void BM_EdgeQueries(benchmark::State &state) {
  PlateSession ps(static_cast<int>(state.range(0)));
  double sum = 0;
  for (auto _ : state) {
    uf_list_p_t list = nullptr;
    int count = 0;
    (void)UF_MODL_create_list(&list);
    (void)UF_MODL_ask_body_edges(ps.body, &list);
    (void)UF_MODL_ask_list_count(list, &count);
    for (int i = 0; i < count; ++i) {
      tag_t edge = NULL_TAG;
      int type = 0, verts = 0;
      double p1[3] = {}, p2[3] = {};
      (void)UF_MODL_ask_list_item(list, i, &edge);
      (void)UF_MODL_ask_edge_type(edge, &type);
      (void)UF_MODL_ask_edge_verts(edge, p1, p2, &verts);
      sum += type + p1[0] + p2[0];
    }
    (void)UF_MODL_delete_list(&list);
  }
  benchmark::DoNotOptimize(sum);
  per_edge(state, plate(static_cast<int>(state.range(0))));
}

// The face side of the box: types, isoclines in three directions, their
// boxes and their deletion.
void BM_FaceQueries(benchmark::State &state) {
  PlateSession ps(static_cast<int>(state.range(0)));
  double dirs[3][3] = {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}};
  for (auto _ : state) {
    uf_list_p_t list = nullptr;
    int count = 0;
    (void)UF_MODL_create_list(&list);
    (void)UF_MODL_ask_body_faces(ps.body, &list);
    (void)UF_MODL_ask_list_count(list, &count);
    for (int i = 0; i < count; ++i) {
      tag_t face = NULL_TAG;
      int type = 0;
      (void)UF_MODL_ask_list_item(list, i, &face);
      (void)UF_MODL_ask_face_type(face, &type);
      if (type == UF_MODL_PLANAR_FACE)
        continue;
      for (auto &d : dirs) {
        tag_t *curves = nullptr;
        int *statuses = nullptr;
        int n = 0;
        if (UF_MODL_create_isocline_curves(face, d, 0.0, 0.005, &curves, &n) != 0)
          continue;
        for (int c = 0; c < n; ++c) {
          double box[6];
          (void)UF_MODL_ask_bounding_box(curves[c], box);
        }
        if (n > 0)
          (void)UF_OBJ_delete_array_of_objects(n, curves, &statuses);
        UF_free(statuses);
        UF_free(curves);
      }
    }
    (void)UF_MODL_delete_list(&list);
  }
  per_edge(state, plate(static_cast<int>(state.range(0))));
}

void BM_StepImport(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  const std::string file = plate_step(n);
  for (auto _ : state) {
    Result<Shape> s = read_step(file);
    if (!s.ok())
      state.SkipWithError(s.error().c_str());
    benchmark::DoNotOptimize(s);
  }
  per_edge(state, plate(n));
}

// The kernel's own floor for the same file: its reader and translation
// alone, without the checks, the healing and the hand-over of read_step.
void BM_StepKernelRead(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  const std::string file = plate_step(n);
  for (auto _ : state)
    if (kernel_step_read(file) == 0)
      state.SkipWithError("the kernel read no edge");
  per_edge(state, plate(n));
}

// The floor: the same shape from the native format.
void BM_NativeRead(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  const std::string file =
      (std::filesystem::path(NCSHEET_BENCH_CACHE) / ("plate_" + std::to_string(n) + ".brep"))
          .string();
  (void)plate(n);
  for (auto _ : state) {
    Result<Shape> s = read_brep(file);
    benchmark::DoNotOptimize(s);
  }
  per_edge(state, plate(n));
}

// 32, 72 and 129 holes a side: about 3 000, 15 500 and 50 000 kernel edges.
#define PLATE_SIZES Arg(32)->Arg(72)->Arg(129)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_KernelExactBox)->PLATE_SIZES;
BENCHMARK(BM_KernelEdgeLoop)->PLATE_SIZES;
BENCHMARK(BM_SolidsBox)->PLATE_SIZES;
BENCHMARK(BM_EdgeQueries)->PLATE_SIZES;
BENCHMARK(BM_FaceQueries)->PLATE_SIZES;
BENCHMARK(BM_NativeRead)->PLATE_SIZES;
BENCHMARK(BM_StepImport)->PLATE_SIZES->Iterations(1);
BENCHMARK(BM_StepKernelRead)->PLATE_SIZES->Iterations(1);

} // namespace

BENCHMARK_MAIN();
