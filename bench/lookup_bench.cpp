// The language and definition file lookups on the installed files: each
// lookup reads its file from the start, so a routine that loads n messages
// reads the file n times.  These show what that costs.
#include "host/core.h"
#include "my_func/my_func.h"
#include "runtime/runtime.h"
#include "session/session.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A session with the installation on D:\kv_conf, current while it lives.
class Installed {
public:
  Installed() : scope_(session_) {
    std::error_code ec;
    folder_ = fs::temp_directory_path() / "ncsheet_lookup_bench";
    fs::remove_all(folder_, ec);
    fs::create_directories(folder_ / "kv_conf");
    fs::copy(fs::path(NCSHEET_SOURCE_DIR) / "data" / "kv_conf", folder_ / "kv_conf",
             fs::copy_options::recursive);
    session_.runtime().mount('D', folder_);
    (void)UF_initialize();
  }
  ~Installed() {
    (void)UF_terminate();
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }

private:
  sim::Session session_;
  sim::SessionScope scope_;
  fs::path folder_;
};

std::vector<std::string> numbered(const char *prefix, int last) {
  std::vector<std::string> keys;
  for (int i = 1; i <= last; ++i) {
    char key[64];
    std::snprintf(key, sizeof key, "%s_%02d:", prefix, i);
    keys.emplace_back(key);
  }
  return keys;
}

// The operation table's 34 messages, the most one routine loads.
void BM_TableMessages(benchmark::State &state) {
  Installed installed;
  const auto keys = numbered("prog_d_not", 34);
  char out[MESSAGE_BUFSIZE];
  for (auto _ : state)
    for (const auto &key : keys)
      benchmark::DoNotOptimize(
          read_lang_message(key.c_str(), out, "D:\\kv_conf\\lang\\ncsheet_elec_uni.txt"));
}
BENCHMARK(BM_TableMessages);

// The last key of the definition file, the longest scan of one lookup.
void BM_LastConfigKey(benchmark::State &state) {
  Installed installed;
  double value = 0.0;
  for (auto _ : state)
    benchmark::DoNotOptimize(read_config_value("elec_size_note_point_y:", &value, CONFIG_PATH));
}
BENCHMARK(BM_LastConfigKey);

} // namespace

BENCHMARK_MAIN();
