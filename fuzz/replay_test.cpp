//===- replay_test.cpp - The fuzz corpora as ordinary tests ---------------===//
#include "input_harness.h"
#include "reader_harness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

template <class Run> void replay(const char *corpus, Run run) {
  const fs::path dir = fs::path(NCSHEET_FUZZ_DIR) / "corpus" / corpus;
  int cases = 0;
  for (const auto &entry : fs::directory_iterator(dir)) {
    const std::string bytes = slurp(entry.path());
    EXPECT_EQ(run(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size()), "")
        << entry.path();
    ++cases;
  }
  EXPECT_GT(cases, 0) << dir;
}

TEST(FuzzReplay, LanguageCorpus) { replay("lang", fuzz::run_lang_case); }
TEST(FuzzReplay, ConfigCorpus) { replay("config", fuzz::run_config_case); }
TEST(FuzzReplay, SettingsCorpus) { replay("settings", fuzz::run_settings_case); }
TEST(FuzzReplay, SummaryCorpus) { replay("summary", fuzz::run_summary_case); }
TEST(FuzzReplay, DialogCorpus) { replay("dialog", fuzz::run_dialog_case); }
TEST(FuzzReplay, ScenarioCorpus) { replay("scenario", fuzz::run_scenario_case); }
TEST(FuzzReplay, MovesStepCorpus) { replay("moves_step", fuzz::run_moves_step_case); }
TEST(FuzzReplay, GbkCorpus) { replay("gbk", fuzz::run_gbk_case); }

} // namespace
