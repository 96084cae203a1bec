// The runner: loading, running and reloading a module, the outputs it
// writes, its summary and its exit statuses.
#include "runner.h"
#include "session_fixture.h"
#include "system_modules.h"

#include "text/gbk.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace ncsheet {
namespace {

namespace fs = std::filesystem;

using sim::testing::slurp;

class RunnerTest : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = sim::testing::make_temp_dir("ncsheet-runner");
    fs::create_directories(dir_ / "inst" / "temp");
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  /// Writes a scenario whose part file name steers the stand-in module.
  fs::path scenario(std::string_view part, std::string_view more = "") {
    const fs::path file = dir_ / "scenario.json";
    std::ofstream(file) << R"({"installation": "inst", "part": {"file": "D:\\w\\)" << part
                        << R"(.prt", "application": "cam"})" << more << "}";
    return file;
  }

  int run(const fs::path &file, std::optional<std::vector<sim::RunStep>> steps = std::nullopt,
          fs::path module = FAKE_MODULE) {
    RunOptions options;
    options.scenario = file;
    options.out = dir_ / "out";
    options.module = std::move(module);
    options.steps = std::move(steps);
    out_.str({});
    err_.str({});
    return sim::testing::run_system(options, out_, err_);
  }

  nlohmann::json transcript() const {
    return nlohmann::json::parse(slurp(dir_ / "out" / "transcript.json"));
  }

  /// Texts of events of a kind, with the run they happened in.
  std::vector<std::pair<int, std::string>> events(std::string_view kind) const {
    std::vector<std::pair<int, std::string>> out;
    const nlohmann::json doc = transcript();
    for (const auto &event : doc["events"])
      if (event["kind"] == kind)
        out.emplace_back(event["run"].get<int>(), event.value("text", ""));
    return out;
  }

  fs::path dir_;
  std::ostringstream out_;
  std::ostringstream err_;
};

/// The system's own module, once the Linux module and once the Windows DLL
/// under wine.
class RealModuleTest : public RunnerTest,
                       public ::testing::WithParamInterface<sim::testing::SystemModule> {
protected:
  /// Runs the module on scenario, written to a file.
  int run_real(const nlohmann::json &scenario) {
    const fs::path file = dir_ / "real.json";
    std::ofstream(file) << scenario.dump();
    return run(file, std::nullopt, GetParam().file);
  }
  /// A run on the shipped installation with a part and no programs.
  static nlohmann::json installed() {
    return {{"installation", (fs::path(NCSHEET_SOURCE_DIR) / "data" / "kv_conf").string()},
            {"part", {{"file", "D:\\work\\a.prt"}, {"application", "cam"}}}};
  }
  /// The shipped example of three runs.
  static nlohmann::json example() {
    nlohmann::json example = nlohmann::json::parse(
        slurp(fs::path(NCSHEET_SOURCE_DIR) / "examples" / "post_runs" / "scenario.json"));
    example["base"] = NCSHEET_SOURCE_DIR;
    return example;
  }
};

INSTANTIATE_TEST_SUITE_P(Modules, RealModuleTest,
                         ::testing::ValuesIn(sim::testing::system_modules()),
                         sim::testing::module_name);

TEST_F(RunnerTest, ModuleStateLivesAsLongAsTheLoad) {
  EXPECT_EQ(run(scenario("plain", R"(, "runs": ["run", "run", "reload", "run"])")), kExitCompleted)
      << err_.str();
  using Events = std::vector<std::pair<int, std::string>>;
  EXPECT_EQ(events("message_box"),
            (Events{{1, "first run of this load"}, {3, "first run of this load"}}));
  EXPECT_EQ(events("listing"), (Events{{1, "run 1 of this load\n"},
                                       {2, "run 2 of this load\n"},
                                       {3, "run 1 of this load\n"}}));
  EXPECT_EQ(events("module_load").size(), 2u);
  EXPECT_EQ(events("module_unload").size(), 2u);
  EXPECT_EQ(events("stdout").size(), 3u);
  EXPECT_EQ(slurp(dir_ / "out" / "drives" / "D" / "kv_conf" / "temp" / "runs.txt"),
            "run 1 of this load\r\nrun 2 of this load\r\nrun 1 of this load\r\n");
  EXPECT_TRUE(fs::exists(dir_ / "inst" / "temp")) << "the installation itself is untouched";
  EXPECT_FALSE(fs::exists(dir_ / "inst" / "temp" / "runs.txt"));

  const nlohmann::json summary = transcript()["summary"];
  EXPECT_EQ(summary["runs"], 3);
  EXPECT_EQ(summary["completed"], true);
  EXPECT_EQ(summary["bracket_opened"], 3);
  EXPECT_EQ(summary["bracket_closed"], 3);
  EXPECT_EQ(summary["files_written"], nlohmann::json::array({"D:\\kv_conf\\temp\\runs.txt"}));
  const nlohmann::json part = nlohmann::json::parse(slurp(dir_ / "out" / "part.json"));
  EXPECT_EQ(part["display_part"]["file"], "D:\\w\\plain.prt");
  EXPECT_NE(slurp(dir_ / "out" / "transcript.txt").find("== run 3 =="), std::string::npos);

  for (const char *printed : {"3 runs", "messages shown: 2", "D:\\kv_conf\\temp\\runs.txt",
                              "API bracket: 3 opened, 3 closed", "result: completed"})
    EXPECT_NE(out_.str().find(printed), std::string::npos) << out_.str();

  // --runs overrides the scenario's runs; each run of the runner starts
  // from a clean output folder.
  std::vector<sim::RunStep> steps;
  ASSERT_TRUE(sim::parse_run_steps("2", steps));
  EXPECT_EQ(run(scenario("plain", R"(, "runs": 5)"), steps), kExitCompleted);
  EXPECT_EQ(events("run_start").size(), 2u);
  EXPECT_EQ(events("message_box").size(), 1u);
  EXPECT_EQ(run(scenario("plain")), kExitCompleted);
  EXPECT_EQ(events("listing").size(), 1u);
}

TEST_F(RunnerTest, FailedRunsExitWithOne) {
  const struct {
    const char *part;
    const char *reason;
  } cases[] = {
      {"ask", "no answer left for message_dialog question \"overwrite?\""},
      {"unbalanced", "API bracket left open"},
      {"open", "1 file(s) left open"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.part);
    EXPECT_EQ(run(scenario(c.part)), kExitRunFailed);
    EXPECT_NE(out_.str().find("result: FAILED"), std::string::npos) << out_.str();
    EXPECT_NE(out_.str().find(c.reason), std::string::npos) << out_.str();
    EXPECT_EQ(transcript()["summary"]["completed"], false);
  }
  EXPECT_EQ(run(scenario("ask", R"(, "answers": [{"buttons": "YES"}])")), kExitCompleted);
}

// A bad command line, scenario or module: exit status 2 and a message on
// standard error alone; a message that ends its line is all there is.
TEST_F(RunnerTest, BadInputGetsOneMessageAndExitTwo) {
  const fs::path bad = dir_ / "bad.json";
  std::ofstream(bad) << R"({"part": {"file": 12}})";
  const std::string out = (dir_ / "out").string();
  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{}, "usage: ncsheet run SCENARIO"},
      {{"walk", "x.json"}, "usage:"},
      {{"run"}, "no scenario file given"},
      {{"run", "x.json", "--color"}, "unexpected argument --color"},
      {{"run", "x.json", "--runs", "run,jump"}, "--runs run,jump: expected"},
      {{"run", "x.json", "--out"}, "unexpected argument --out"},
      {{"run", bad.string(), "--out", out},
       "ncsheet: " + bad.string() + ": /part/file: expected a string, got number\n"},
      {{"run", (dir_ / "missing.json").string(), "--out", out},
       "missing.json: cannot read the scenario file"},
      {{"run", scenario("plain").string(), "--out", out, "--module",
        (dir_ / "nomodule.so").string()},
       "cannot load module"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.message);
    std::vector<const char *> argv = {"ncsheet"};
    for (const std::string &arg : c.args)
      argv.push_back(arg.c_str());
    EXPECT_EQ(
        main_command(static_cast<int>(argv.size()), const_cast<char **>(argv.data()), out_, err_),
        kExitUsage);
    EXPECT_EQ(out_.str(), "");
    if (c.message.ends_with('\n'))
      EXPECT_EQ(err_.str(), c.message);
    else
      EXPECT_NE(err_.str().find(c.message), std::string::npos) << err_.str();
    out_.str({});
    err_.str({});
  }
}

/// The first tip of the installed language file, as UTF-8.
std::string first_tip() {
  const std::string file =
      slurp(fs::path(NCSHEET_SOURCE_DIR) / "data" / "kv_conf" / "lang" / "ncsheet_elec_uni.txt");
  const std::string key = "did_you_kno_01:";
  const std::size_t at = file.find(key);
  if (at == std::string::npos)
    return {};
  const std::size_t start = at + key.size();
  const std::size_t end = file.find_first_of("\r\n", start);
  return sim::gbk_to_utf8(file.substr(start, end - start));
}

TEST_P(RealModuleTest, RealModuleShowsTheTipsOncePerLoad) {
  const std::string tip = first_tip();
  ASSERT_FALSE(tip.empty()) << "no did_you_kno_01: in the installation";
  nlohmann::json scenario = installed();
  scenario["runs"] = {"run", "run", "reload", "run"};
  (void)run_real(scenario);
  ASSERT_TRUE(err_.str().empty()) << err_.str();
  std::vector<int> tips_runs;
  for (const auto &[run_number, text] : events("message_box"))
    if (text.rfind(tip, 0) == 0)
      tips_runs.push_back(run_number);
  EXPECT_EQ(tips_runs, (std::vector<int>{1, 3}));
  const nlohmann::json summary = transcript()["summary"];
  EXPECT_EQ(summary["bracket_opened"], summary["bracket_closed"]);
  EXPECT_EQ(summary["bracket_depth"], 0);
}

// Every fallible host call of a short real run (tips box, then no
// selection) fails in turn: the run still closes its bracket once, frees
// what it was handed, closes its files and never needs an answer.
TEST_P(RealModuleTest, RealModuleFaultLoop) {
  nlohmann::json scenario = installed();
  scenario["faults"] = nlohmann::json::array();
  ASSERT_EQ(run_real(scenario), kExitCompleted) << out_.str() << err_.str();
  const int count = transcript()["summary"]["fallible_calls"].get<int>();
  ASSERT_GT(count, 0);
  for (int k = 1; k <= count; ++k) {
    SCOPED_TRACE("fallible call " + std::to_string(k) + " of " + std::to_string(count) + " fails");
    scenario["faults"] = nlohmann::json::array({nlohmann::json{{"kth", k}}});
    EXPECT_EQ(run_real(scenario), kExitCompleted) << out_.str() << err_.str();
    const nlohmann::json summary = transcript()["summary"];
    EXPECT_EQ(summary["faults_fired"], 1);
    EXPECT_EQ(summary["bracket_depth"], 0);
    EXPECT_EQ(summary["bracket_opened"], summary["bracket_closed"]);
    EXPECT_EQ(summary["unfreed_arrays"], 0);
    EXPECT_EQ(summary["files_left_open"], 0);
    if (HasFailure())
      break;
  }
}

// The closing line tells what the user got and which question or message
// stopped a run, on the shipped example of three runs and variants of it.
// pages/ holds the pages of the last run alone: those an earlier run wrote
// into the same folder go, a file of the user's there stays.
TEST_P(RealModuleTest, ClosingLineAndPagesOfTheExampleRuns) {
  nlohmann::json example = RealModuleTest::example();
  const auto closing = [&](const nlohmann::json &scenario) {
    EXPECT_EQ(run_real(scenario), kExitCompleted) << out_.str() << err_.str();
    std::string text = out_.str();
    text.pop_back();
    return text.substr(text.rfind('\n') + 1);
  };
  const fs::path pages = dir_ / "out" / "pages";
  const std::string two_pages = "2 pages in " + pages.string();

  EXPECT_EQ(closing(example), "outcome: 8 programs posted, 8 NC files written (0 replaced), " +
                                  two_pages +
                                  ", last message \"小提示： ...\"; run 2 stopped at "
                                  "\"D:\\nc\\m2612\\B02.nc  已经存在，要覆盖吗？\" (NO)");

  nlohmann::json replace = example;
  replace["answers"][9] = {{"buttons", "YES"}};
  replace["runs"] = {"run", "run"};
  EXPECT_EQ(closing(replace), "outcome: 8 programs posted, 8 NC files written (4 replaced), " +
                                  two_pages + ", last message \"小提示： ...\"");

  // A run that makes no page: with no file of the user's in it, the folder
  // goes with the pages.
  nlohmann::json refused = example;
  refused["part"]["selected"] = nlohmann::json::array();
  refused["answers"] = nlohmann::json::array();
  refused["runs"] = 1;
  const std::string line = closing(refused);
  EXPECT_EQ(line.rfind("outcome: 0 programs posted, 0 NC files written (0 replaced), 0 pages", 0),
            0u)
      << line;
  EXPECT_NE(line.find("; run 1 stopped at the message \""), std::string::npos) << line;
  EXPECT_FALSE(fs::exists(pages));

  example["runs"] = 1;
  ASSERT_EQ(run_real(example), kExitCompleted) << out_.str() << err_.str();
  ASSERT_TRUE(fs::exists(pages / "prog_sheet1.svg"));
  std::ofstream(pages / "my_notes.txt") << "mine";
  std::ofstream(pages / "prog_sheet9.svg") << "<svg/>"; // the user's, though it looks like ours
  // A run that stops at the file box makes no page.
  example["answers"][2] = {{"file", "Cancel"}};
  EXPECT_EQ(closing(example),
            "outcome: 0 programs posted, 0 NC files written (0 replaced), 0 pages, "
            "last message \"小提示： ...\"; run 1 stopped at "
            "\"NC 文件输出文件夹 ...\" (Cancel)");
  EXPECT_FALSE(fs::exists(pages / "prog_sheet1.svg"));
  EXPECT_EQ(slurp(pages / "my_notes.txt"), "mine");
  EXPECT_TRUE(fs::exists(pages / "prog_sheet9.svg"));

  // A page that cannot be written fails the run and says which.
  fs::create_directories(pages / "prog_sheet1.svg" / "mine");
  example["answers"][2] = {{"file", "D:\\nc\\m2612\\A01.nc"}};
  EXPECT_EQ(run_real(example), kExitRunFailed) << out_.str() << err_.str();
  EXPECT_NE(err_.str().find((pages / "prog_sheet1.svg").string()), std::string::npos) << err_.str();
  EXPECT_NE(err_.str().find("cannot write the outputs"), std::string::npos) << err_.str();
}

// The executable's status and streams, each sent to a file: a run that
// completes ends its process without tearing its session down, and its
// summary must still reach the file whole.
TEST_F(RunnerTest, ExecutableExitStatus) {
  const fs::path bad = dir_ / "bad.json";
  std::ofstream(bad) << "{ not json";
  const fs::path demo = fs::path(NCSHEET_SOURCE_DIR) / "examples" / "demo" / "scenario.json";
  struct Case {
    fs::path scenario;
    int status;
    const char *stream; // the file that must hold the text
    std::string text;
  };
  for (const Case &c : {Case{bad, kExitUsage, "err.txt", bad.string() + ": not valid JSON"},
                        Case{demo, kExitCompleted, "out.txt", "outcome: 14 programs posted"}}) {
    const std::string command = std::string(RUNNER_EXE) + " run " + c.scenario.string() +
                                " --out " + (dir_ / "out").string() + " >" +
                                (dir_ / "out.txt").string() + " 2>" + (dir_ / "err.txt").string();
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), c.status) << c.scenario;
    const std::string written = slurp(dir_ / c.stream);
    ASSERT_FALSE(written.empty()) << c.stream;
    if (c.status == kExitCompleted) // the summary's last line, whole
      EXPECT_TRUE(written.substr(written.rfind('\n', written.size() - 2) + 1).starts_with(c.text))
          << written;
    else
      EXPECT_NE(written.find(c.text), std::string::npos) << written;
  }
}

} // namespace
} // namespace ncsheet
