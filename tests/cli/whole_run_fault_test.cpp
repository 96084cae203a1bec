// Every fallible host call of a whole run through the real module fails in
// turn, every other one with its outputs poisoned: collection, post, sheet,
// views and dimensions.  Each faulted run still closes every bracket it
// opens, frees every array it was handed, closes its files and calls the
// host outside the bracket only to tell that the bracket would not open, and
// no NC file is lost: the program the run replaces is the old one or the
// whole new one, a new program is whole or absent, and what else is left in
// the folder is a whole new program under its temporary name or the old one
// under its side name.  The calls are shared out over four cases, so that
// ctest runs them side by side.
#include "module.h"
#include "outcome.h"
#include "runner.h"
#include "session_fixture.h"

#include "scenario/scenario.h"
#include "session/calls.h"
#include "session/session.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

namespace ncsheet {
namespace {

namespace fs = std::filesystem;

constexpr int kShares = 4;
constexpr std::string_view kOldProgram = "%\nold A01\nM30\n";

// The NC files of the folder the run posts into, by name.
using Programs = std::map<std::string, std::string>;

// program with its program number ("O0002", the count of programs posted
// before it in the run) as "O####": a fault that stops one program's post
// renumbers those after it.
std::string unnumbered(std::string program) {
  const std::size_t at = program.find("\nO");
  if (at != std::string::npos)
    program.replace(at + 2, 4, "####");
  return program;
}

class WholeRunFaults : public ::testing::TestWithParam<int> {
protected:
  void SetUp() override {
    dir_ = sim::testing::make_temp_dir("ncsheet-whole-run");
    const fs::path folder = dir_ / "drive_d" / "nc" / "m2612";
    fs::create_directories(folder);
    std::ofstream(folder / "A01.nc", std::ios::binary) << kOldProgram;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  // A part with one workpiece block and two program groups under two
  // parents, posted into D:\nc\m2612 where A01.nc already is; the run
  // replaces it.  faults: the scenario's fault list; poison: failed calls
  // fill their outputs with junk instead of leaving them.
  fs::path scenario(const std::string &faults, bool poison) const {
    const fs::path source = NCSHEET_SOURCE_DIR;
    const fs::path file = dir_ / "scenario.json";
    std::ofstream(file) << R"({"base": ")" << source.string() << R"(",
  "installation": "data/kv_conf",
  "drives": {"D": ")" << (dir_ / "drive_d").string()
                        << R"("},
  "clock": "2026-12-05T09:30:00",
  "part": {
    "file": "D:\\work\\insert_a.prt", "application": "cam",
    "bodies": [{"block": [100, 60, 30], "at": [-50, -30, -30], "layer": 1}],
    "csys": {"MCS_MAIN": {"origin": [0, 0, 0], "x": [1, 0, 0], "y": [0, 1, 0]}},
    "programs": [
      {"ROUGH": [{"A01": [{"op": "CAVITY_MILL_1", "mcs": "MCS_MAIN", "tool": "D10R0.5",
                           "tool_number": 1, "stock_side": 0.3, "stock_floor": 0.2,
                           "spindle": 3000, "moves": "examples/demo/a01_pocket_rough.nc"}]}]},
      {"FINISH": [{"B01": [{"op": "ZLEVEL_PROFILE_1", "mcs": "MCS_MAIN", "tool": "D6",
                            "tool_number": 2, "stock_floor": 0, "spindle": 6000,
                            "moves": "examples/demo/b01_pocket_finish.nc"}]}]}],
    "selected": ["ROUGH", "FINISH"]},
  "answers": [
    {"menu": 1},
    {"dialog": {"STR_0": "M2612", "RADIO_7": 1, "OPTION_9": 2, "TOGGLE_8": 1}, "press": "OK"},
    {"file": "D:\\nc\\m2612\\A01.nc"},
    {"buttons": "YES"}],
  "fault_outputs": ")" << (poison ? "poison" : "untouched")
                        << R"(",
  "faults": [)" << faults
                        << "]}";
    return file;
  }

  // One run of the real module on scenario(faults) into a fresh output
  // folder: the session's report, with the count of fallible calls and the
  // faults that fired.
  struct Run {
    sim::FinishReport report;
    std::uint64_t calls = 0;
    std::vector<sim::FiredFault> fired;
  };
  Run run(const std::string &faults, bool poison = false) {
    const fs::path out = dir_ / "out";
    std::error_code ec;
    fs::remove_all(out, ec);
    sim::Session session;
    sim::SessionScope scope(session);
    const sim::Scenario loaded = sim::load_scenario(session, scenario(faults, poison), out);
    Module module(REAL_MODULE);
    Outcome outcome(session, out / "drives");
    const sim::Expected<int> runs = run_steps(session, module, loaded.steps, outcome);
    EXPECT_TRUE(runs.ok() && *runs == 1)
        << (runs.ok() ? "runs: " + std::to_string(*runs) : runs.error());
    return {session.finish(), session.calls().fallible_total(), session.calls().fired()};
  }

  // The files of the NC folder after the last run.
  Programs programs() const {
    Programs found;
    for (const auto &entry : fs::directory_iterator(dir_ / "out" / "drives" / "D" / "nc" / "m2612"))
      found[entry.path().filename().string()] = sim::testing::slurp(entry.path());
    return found;
  }

  fs::path dir_;
};

TEST_P(WholeRunFaults, EveryCallFailedInTurnLosesNothing) {
  const Run clean = run("");
  ASSERT_TRUE(clean.report.ok()) << clean.report.failures.front();
  const Programs posted = programs();
  ASSERT_EQ(posted.size(), 2u);
  ASSERT_NE(posted.at("A01.nc"), kOldProgram);
  ASSERT_TRUE(posted.count("B01.nc"));
  // The sheet, the views and the dimensions make most of a run's calls.
  ASSERT_GT(clean.calls, 1000u);

  for (std::uint64_t k = 1 + static_cast<std::uint64_t>(GetParam()); k <= clean.calls;
       k += kShares) {
    // Odd calls poison their outputs, even ones leave them.
    const bool poison = k % 2 == 1;
    SCOPED_TRACE("fallible call " + std::to_string(k) + " of " + std::to_string(clean.calls) +
                 " fails" + (poison ? ", its outputs poisoned" : ""));
    const Run faulted = run(R"({"kth": )" + std::to_string(k) + "}", poison);
    ASSERT_EQ(faulted.fired.size(), 1u);
    const sim::FinishReport &report = faulted.report;
    const sim::Call failed = faulted.fired[0].call;
    EXPECT_EQ(report.bracket_depth, 0);
    EXPECT_EQ(report.initialize_calls, report.terminate_calls);
    EXPECT_EQ(report.unfreed_arrays, 0u);
    EXPECT_EQ(report.files_left_open, 0u);
    // A bracket that would not open or close is told outside it.
    if (failed != sim::Call::UF_initialize && failed != sim::Call::UF_terminate) {
      EXPECT_EQ(report.outside_bracket_calls, 0u) << sim::call_name(failed);
    }
    const Programs left = programs();
    ASSERT_TRUE(left.count("A01.nc")) << "the replaced program is lost";
    // What the folder holds is the old program, or a whole new one under
    // the final name, the temporary name (its summary or its rename
    // failed) or another extension (the extension's setting failed), or
    // the old one under its side name (it could not be removed).
    for (const auto &[name, text] : left) {
      SCOPED_TRACE(name);
      const std::string stem = name.substr(0, 3);
      if (text == kOldProgram) {
        EXPECT_TRUE(name == "A01.nc" || name == "A01_kv.bak");
      } else {
        ASSERT_TRUE(stem == "A01" || stem == "B01") << "left in the NC folder";
        EXPECT_NE(name, "A01_kv.bak");
        EXPECT_EQ(unnumbered(text), unnumbered(posted.at(stem + ".nc"))) << "not the whole program";
      }
    }
    if (HasFailure())
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(Shares, WholeRunFaults, ::testing::Range(0, kShares));

} // namespace
} // namespace ncsheet
