// Cost of one host call through the simulated host's entry: counting, the
// bracket check and the fault check, with and without faults armed.
#include "host/host_runtime.h"
#include "host/core.h"
#include "objects/object_store.h"
#include "runtime/runtime.h"
#include "session/session.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

namespace {

void status_call(benchmark::State &state, bool armed) {
  sim::Session session;
  sim::SessionScope scope(session);
  const tag_t object = session.objects().create(70, 0, "BODY").tag;
  if (armed)
    session.calls().add_fault({sim::Call::UF_OBJ_ask_name, 1000000000u, 1});
  (void)UF_initialize();
  int type = 0, subtype = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(UF_OBJ_ask_type_and_subtype(object, &type, &subtype));
    benchmark::DoNotOptimize(type);
  }
  (void)UF_terminate();
  state.SetItemsProcessed(state.iterations());
}

void BM_StatusCall(benchmark::State &state) { status_call(state, false); }
void BM_StatusCallFaultsArmed(benchmark::State &state) { status_call(state, true); }

void BM_ValueCall(benchmark::State &state) {
  sim::Session session;
  sim::SessionScope scope(session);
  (void)session.open_part("D:\\w\\a.prt");
  (void)UF_initialize();
  for (auto _ : state)
    benchmark::DoNotOptimize(UF_PART_ask_display_part());
  (void)UF_terminate();
  state.SetItemsProcessed(state.iterations());
}

void BM_TextReadByCharacter(benchmark::State &state) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / "ncsheet-host-call-bench";
  fs::create_directories(root / "D");
  {
    std::ofstream out(root / "D" / "lines.txt", std::ios::binary);
    for (int i = 0; i < 1000; ++i)
      out << "key_" << i << ": a message line of some length\r\n";
  }
  sim::Session session;
  sim::SessionScope scope(session);
  session.runtime().mount('D', root / "D");
  std::int64_t chars = 0;
  for (auto _ : state) {
    host_file *file = host_fopen("D:\\LINES.TXT", "r");
    for (int c = host_fgetc(file); c != HOST_EOF; c = host_fgetc(file))
      ++chars;
    (void)host_fclose(file);
  }
  state.SetItemsProcessed(chars);
  fs::remove_all(root);
}

} // namespace

BENCHMARK(BM_StatusCall);
BENCHMARK(BM_StatusCallFaultsArmed);
BENCHMARK(BM_ValueCall);
BENCHMARK(BM_TextReadByCharacter);
BENCHMARK_MAIN();
