//===- system_modules.cpp - The built modules, each run as the runner does ===//
#include "system_modules.h"
#include "session_fixture.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace sim::testing {

namespace fs = std::filesystem;

namespace {

/// A word of a shell command line, quoted.
std::string quoted(const std::string &word) {
  std::string out = "'";
  for (const char c : word)
    out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string steps_text(const std::vector<sim::RunStep> &steps) {
  std::string text;
  for (const sim::RunStep step : steps) {
    if (!text.empty())
      text += ',';
    text += step == sim::RunStep::Run ? "run" : "reload";
  }
  return text;
}

int run_windows(const ncsheet::RunOptions &options, std::ostream &out, std::ostream &err) {
  const fs::path capture = sim::testing::make_temp_dir("ncsheet-win-capture");
  std::string args = "run " + quoted(options.scenario.string());
  if (!options.out.empty())
    args += " --out " + quoted(options.out.string());
  args += " --module " + quoted(options.module.string());
  if (options.steps)
    args += " --runs " + quoted(steps_text(*options.steps));
  const std::string command = windows_runner_command(args) + " >" +
                              quoted((capture / "out").string()) + " 2>" +
                              quoted((capture / "err").string());
  const int status = std::system(command.c_str());
  out << sim::testing::slurp(capture / "out");
  err << sim::testing::slurp(capture / "err");
  std::error_code ec;
  fs::remove_all(capture, ec);
  if (!WIFEXITED(status)) {
    err << "ncsheet-win did not exit (status " << status << ")\n";
    return -1;
  }
  return WEXITSTATUS(status);
}

} // namespace

std::vector<SystemModule> system_modules() {
  std::vector<SystemModule> modules{{"Linux", LINUX_MODULE}};
#ifdef WINDOWS_MODULE
  modules.push_back({"Windows", WINDOWS_MODULE});
#endif
  return modules;
}

std::string module_name(const ::testing::TestParamInfo<SystemModule> &info) {
  return info.param.name;
}

fs::path wine_prefix() {
#ifdef WINE_PREFIX
  // The wine prefix the ctest fixture made fresh, unless one is given; a
  // test program run by hand makes it first, so that wine's notes on making
  // it do not reach a runner's printout.
  const char *given = std::getenv("WINEPREFIX");
  const fs::path prefix = given && *given ? given : WINE_PREFIX;
  if (!fs::exists(prefix / "system.reg")) {
    const std::string boot = "WINEPREFIX=" + quoted(prefix.string()) + " WINEDEBUG=-all " +
                             "WINEDLLOVERRIDES='mscoree,mshtml=' " + quoted(WINE) +
                             " wineboot -i >/dev/null 2>&1";
    (void)std::system(boot.c_str());
  }
  return prefix;
#else
  return {};
#endif
}

std::string windows_runner_command(const std::string &args) {
#ifdef WINDOWS_RUNNER
  return "WINEPREFIX=" + quoted(wine_prefix().string()) + " " + quoted(WINDOWS_RUNNER) + " " + args;
#else
  return "false " + args;
#endif
}

int run_system(const ncsheet::RunOptions &options, std::ostream &out, std::ostream &err) {
  if (options.module.extension() == ".dll")
    return run_windows(options, out, err);
  ncsheet::RunOptions linux_options = options;
  if (linux_options.module.empty())
    linux_options.module = LINUX_MODULE;
  return ncsheet::run_scenario(linux_options, out, err);
}

} // namespace sim::testing
