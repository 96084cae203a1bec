//===- runner.h - ncsheet run SCENARIO ------------------------------------===//
#ifndef NCSHEET_CLI_RUNNER_H
#define NCSHEET_CLI_RUNNER_H

#include "scenario/scenario.h"

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <vector>

namespace ncsheet {

/// Exit statuses of the runner.
inline constexpr int kExitCompleted = 0;
inline constexpr int kExitRunFailed = 1;
inline constexpr int kExitUsage = 2;

struct RunOptions {
  std::filesystem::path scenario;
  std::filesystem::path out;                      ///< empty: out/<scenario stem>
  std::filesystem::path module;                   ///< empty: libncsheet.so beside the runner
  std::optional<std::vector<sim::RunStep>> steps; ///< overrides the scenario's "runs"
};

/// Runs a scenario, writes the outputs and prints the summary to out; one
/// line to err for a bad scenario.  Returns the exit status.
[[nodiscard]] int run_scenario(const RunOptions &options, std::ostream &out, std::ostream &err);

/// The command line: "run SCENARIO [--out DIR] [--module PATH] [--runs LIST]".
[[nodiscard]] int main_command(int argc, char **argv, std::ostream &out, std::ostream &err);

} // namespace ncsheet

#endif
