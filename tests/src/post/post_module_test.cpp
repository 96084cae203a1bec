// The post runs of examples/post_runs through the real module and the
// runner: module state across runs and a reload, no file lost.
#include "runner.h"
#include "session_fixture.h"
#include "system_modules.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using sim::testing::slurp;

class PostRuns : public ::testing::TestWithParam<sim::testing::SystemModule> {
protected:
  void SetUp() override { dir_ = sim::testing::make_temp_dir("ncsheet-post-runs"); }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  // Questions of a kind (by the start of their detail): run and text.
  std::vector<std::pair<int, std::string>> questions(const std::string &kind) const {
    std::vector<std::pair<int, std::string>> out;
    for (const auto &event : transcript_["events"])
      if (event["kind"] == "question" && event.value("detail", "").rfind(kind, 0) == 0)
        out.emplace_back(event["run"].get<int>(), event.value("text", ""));
    return out;
  }
  // A file of drive D as the run left it, its CR LF line ends read as LF.
  std::string nc(const std::string &host_path) const {
    std::string rel = host_path;
    std::ranges::replace(rel, '\\', '/');
    std::string text = slurp(dir_ / "out" / "drives" / "D" / rel);
    std::erase(text, '\r');
    return text;
  }

  fs::path dir_;
  nlohmann::json transcript_;
};

INSTANTIATE_TEST_SUITE_P(Modules, PostRuns, ::testing::ValuesIn(sim::testing::system_modules()),
                         sim::testing::module_name);

TEST_P(PostRuns, StateLivesAsLongAsTheModuleAndNoFileIsLost) {
  ncsheet::RunOptions options;
  options.scenario = fs::path(NCSHEET_SOURCE_DIR) / "examples" / "post_runs" / "scenario.json";
  options.out = dir_ / "out";
  options.module = GetParam().file;
  std::ostringstream out;
  std::ostringstream err;
  ASSERT_EQ(sim::testing::run_system(options, out, err), ncsheet::kExitCompleted)
      << out.str() << err.str();
  transcript_ = nlohmann::json::parse(slurp(dir_ / "out" / "transcript.json"));

  // The configured folder first, the chosen one on the next run of the
  // same load, the configured one again after the reload.
  const auto boxes = questions("file_box");
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_NE(boxes[0].second.find("filter: D:\\nc\\A01.nc\n"), std::string::npos);
  EXPECT_NE(boxes[1].second.find("filter: D:\\nc\\m2612\\A01.nc\n"), std::string::npos);
  EXPECT_NE(boxes[2].second.find("filter: D:\\nc\\A01.nc\n"), std::string::npos);

  // The saved mould number is offered in every later run, reload or not.
  const auto dialogs = questions("dialog");
  ASSERT_EQ(dialogs.size(), 3u);
  EXPECT_NE(dialogs[0].second.find("STR_0 (string) 模号: \"\""), std::string::npos);
  EXPECT_NE(dialogs[1].second.find("STR_0 (string) 模号: \"M2612\""), std::string::npos);
  EXPECT_NE(dialogs[2].second.find("STR_0 (string) 模号: \"M2612\""), std::string::npos);

  // Four questions in the second run; NO on the last posts nothing and
  // keeps the first run's files, those agreed to be replaced included.
  const auto replace = questions("message_dialog");
  ASSERT_EQ(replace.size(), 4u);
  EXPECT_EQ(replace[0],
            (std::pair<int, std::string>{2, "D:\\nc\\m2612\\A01.nc  已经存在，要覆盖吗？"}));
  for (const char *name : {"A01", "A02", "B01", "B02"}) {
    SCOPED_TRACE(name);
    const std::string first = nc(std::string("nc\\m2612\\") + name + ".nc");
    EXPECT_EQ(first.rfind("%\nO000", 0), 0u);
    EXPECT_NE(first.find(std::string(" (") + name + ")\n"), std::string::npos);
    EXPECT_FALSE(nc(std::string("nc\\") + name + ".nc").empty());
    EXPECT_TRUE(nc(std::string("nc\\m2612\\") + name + "_kv.nc").empty());
  }
  // The first run's programs are numbered 1 to 4, the third run's 5 to 8.
  EXPECT_EQ(nc("nc\\m2612\\A01.nc").rfind("%\nO0001 (A01)", 0), 0u);
  EXPECT_EQ(nc("nc\\A01.nc").rfind("%\nO0005 (A01)", 0), 0u);

  const nlohmann::json &summary = transcript_["summary"];
  EXPECT_EQ(summary["bracket_depth"], 0);
  EXPECT_EQ(summary["unfreed_arrays"], 0);
  EXPECT_EQ(summary["files_left_open"], 0);
}

} // namespace
