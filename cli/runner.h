//===- runner.h - ncsheet run SCENARIO ------------------------------------===//
#ifndef NCSHEET_CLI_RUNNER_H
#define NCSHEET_CLI_RUNNER_H

#include "base/expected.h"
#include "scenario/scenario.h"

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ncsheet {

/// Exit statuses of the runner.
inline constexpr int kExitCompleted = 0;
inline constexpr int kExitRunFailed = 1;
inline constexpr int kExitUsage = 2;

/// Wall-clock seconds of a run's phases, and the process's peak resident
/// memory at its end.
struct RunTimes {
  double load = 0;    ///< the scenario: part, bodies, CAM setup, drives
  double command = 0; ///< every run of the module, reloads included
  double dump = 0;    ///< transcript and part dump
  double pages = 0;   ///< views, SVG pages and PDF, the part dump written meanwhile
  double peak_mib = 0;
  double peak_command_mib = 0; ///< the peak when the runs had ended (before dump and pages)
};

struct RunOptions {
  std::filesystem::path scenario;
  std::filesystem::path out;                      ///< empty: out/<scenario stem>
  std::filesystem::path module;                   ///< empty: libncsheet.so beside the runner
  std::optional<std::vector<sim::RunStep>> steps; ///< overrides the scenario's "runs"
  RunTimes *times = nullptr;                      ///< filled when given
  bool print_times = false;                       ///< --timings: one line after the summary
  bool interactive = false; ///< --interactive: a person at the terminal answers
  /// When given, a run that wrote its outputs hands its session over here
  /// instead of tearing it down, so that a process about to end need not
  /// free a large part object by object.
  std::unique_ptr<sim::Session> *finished_session = nullptr;
};

class Module;
class Outcome;

/// The steps of the scenario loaded into session, as the host takes them:
/// each run calls the module's ufusr once (loading it first when it is not
/// loaded), each reload unloads it, and it is unloaded after the last.
/// Every step goes into the session's transcript and every run into
/// outcome.  Returns the number of runs, or a failure when the module
/// cannot be loaded.
[[nodiscard]] sim::Expected<int> run_steps(sim::Session &session, Module &module,
                                           const std::vector<sim::RunStep> &steps,
                                           Outcome &outcome);

/// Runs a scenario, writes the outputs and prints the summary to out; one
/// line to err for a bad scenario.  Returns the exit status.
[[nodiscard]] int run_scenario(const RunOptions &options, std::ostream &out, std::ostream &err);

/// The command line: "run SCENARIO [--out DIR] [--module PATH] [--runs LIST] [--timings]"
/// or "check-install [DIR]".  A run's session goes to finished_session
/// when that is given (see RunOptions).
[[nodiscard]] int main_command(int argc, char **argv, std::ostream &out, std::ostream &err,
                               std::unique_ptr<sim::Session> *finished_session = nullptr);

} // namespace ncsheet

#endif
