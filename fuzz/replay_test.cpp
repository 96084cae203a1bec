//===- replay_test.cpp - The fuzz corpora as ordinary tests ---------------===//
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

} // namespace
