//===- system_modules.h - The built modules, each run as the runner does --===//
//
// The system tests run every case once with each module the build made:
// the Linux module in this process, and, where the build has the Windows
// leg, the Windows DLL through the winelib runner under wine.  A test
// suite takes them as its parameter:
//
//   INSTANTIATE_TEST_SUITE_P(Modules, MyTest,
//       ::testing::ValuesIn(sim::testing::system_modules()),
//       sim::testing::module_name);
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_TESTS_SUPPORT_SYSTEM_MODULES_H
#define NCSHEET_TESTS_SUPPORT_SYSTEM_MODULES_H

#include "runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace sim::testing {

struct SystemModule {
  std::string name;           ///< "Linux" or "Windows"
  std::filesystem::path file; ///< libncsheet.so or ncsheet.dll
};

/// Shows a module parameter by its name in test listings.
inline void PrintTo(const SystemModule &module, std::ostream *out) { *out << module.name; }

/// The modules of this build, the Linux one first.
[[nodiscard]] std::vector<SystemModule> system_modules();
/// The test-name suffix of a module parameter.
[[nodiscard]] std::string module_name(const ::testing::TestParamInfo<SystemModule> &info);

/// Runs options as `ncsheet run` does, with options.module (empty: the
/// Linux module): in this process for the Linux module, through
/// ncsheet-win under wine for a DLL.  out and err receive what the runner
/// printed; returns its exit status.
[[nodiscard]] int run_system(const ncsheet::RunOptions &options, std::ostream &out,
                             std::ostream &err);

/// The wine prefix the Windows runs use (WINEPREFIX, else the build's),
/// made when it does not exist yet.
[[nodiscard]] std::filesystem::path wine_prefix();

/// The command line that runs ncsheet-win with args under the wine prefix
/// of the tests.
[[nodiscard]] std::string windows_runner_command(const std::string &args);

} // namespace sim::testing

#endif
