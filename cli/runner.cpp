//===- runner.cpp - ncsheet run SCENARIO ----------------------------------===//
#include "runner.h"

#include "check_install.h"
#include "drive_files.h"
#include "dump/dump.h"
#include "module.h"
#include "outcome.h"
#include "render/sheet_files.h"
#include "runtime/runtime.h"
#include "session/session.h"
#include "session/transcript.h"
#include "text/gbk.h"
#include "ui/operator.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <ostream>
#include <string_view>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace ncsheet {
namespace {

constexpr std::string_view kUsage =
    "usage: ncsheet run SCENARIO [--out DIR] [--module PATH] [--runs LIST] [--timings]\n"
    "                    [--interactive]\n"
    "       ncsheet check-install [DIR]\n"
    "  --out DIR      where the transcript, part dump and drives go (default out/<scenario name>)\n"
    "  --module PATH  the module to load (default the one beside the runner: libncsheet.so,\n"
    "                 or ncsheet.dll for ncsheet-win)\n"
    "  --runs LIST    runs in order, e.g. 3 or run,run,reload,run (default: the scenario's)\n"
    "  --timings      print the time of each phase and the peak memory after the summary\n"
    "  --interactive  answer the questions at the terminal, not from the scenario's answers\n"
    "  check-install  lists the problems of an installation folder (default data/kv_conf)\n";

/// Longest message line the summary prints.
constexpr std::size_t kSummaryLineLength = 76;

/// The list of the page files the runner wrote into pages/, one name a
/// line, kept beside pages/ so that the next run into the same folder
/// removes those and no file of the user's.
constexpr const char *kPagesManifest = ".ncsheet-pages";

/// Every page in one file, beside the SVGs.
constexpr const char *kSheetPdf = "sheet.pdf";

/// Removes what an earlier run left in out (only what the runner writes).
void clear_outputs(const fs::path &out) {
  std::error_code ec;
  fs::remove_all(out / "drives", ec);
  for (const char *name : {"transcript.json", "transcript.txt", "part.json"})
    fs::remove(out / name, ec);
  const fs::path pages = out / "pages";
  std::ifstream manifest(out / kPagesManifest);
  for (std::string name; std::getline(manifest, name);)
    if (!name.empty() && name.find_first_of("/\\") == std::string::npos && name != "." &&
        name != "..")
      fs::remove(pages / name, ec);
  manifest.close();
  fs::remove(out / kPagesManifest, ec);
  fs::remove(pages, ec); // only when nothing of the user's is left in it
}

/// Writes beside folder the list of the pages written into it.
bool write_pages_manifest(const fs::path &out, const std::vector<fs::path> &pages) {
  if (pages.empty())
    return true;
  std::ofstream list(out / kPagesManifest, std::ios::binary);
  for (const fs::path &page : pages)
    list << page.filename().string() << "\n";
  return static_cast<bool>(list);
}

bool write_text(const fs::path &file, const std::string &text) {
  std::ofstream stream(file, std::ios::binary);
  stream << text;
  return static_cast<bool>(stream);
}

void print_summary(std::ostream &out, const sim::Session &session, const sim::FinishReport &report,
                   const std::vector<std::string> &written, const std::vector<std::string> &removed,
                   const fs::path &out_dir, int runs) {
  const sim::Transcript &transcript = session.transcript();
  out << "ncsheet: " << runs << (runs == 1 ? " run" : " runs") << ", outputs in "
      << out_dir.string() << "\n";
  const std::vector<std::string> shown = transcript.messages_shown();
  out << "  messages shown: " << shown.size() << "\n";
  for (const std::string &text : shown)
    out << "    " << shown_line(text, kSummaryLineLength) << "\n";
  out << "  answers used: " << transcript.count(sim::EventKind::Answer) << "\n";
  out << "  listing window: " << transcript.listing_lines().size() << " lines\n";
  if (!session.status_line().empty())
    out << "  status line: " << sim::gbk_to_utf8(session.status_line()) << "\n";
  out << "  files written: " << written.size() << "\n";
  for (const std::string &name : written)
    out << "    " << name << "\n";
  if (!removed.empty()) {
    out << "  files removed: " << removed.size() << "\n";
    for (const std::string &name : removed)
      out << "    " << name << "\n";
  }
  out << "  API bracket: " << report.initialize_calls << " opened, " << report.terminate_calls
      << " closed";
  if (report.outside_bracket_calls != 0)
    out << ", " << report.outside_bracket_calls << " calls outside it";
  out << "\n";
  if (report.ok()) {
    out << "  result: completed\n";
    return;
  }
  out << "  result: FAILED\n";
  for (const std::string &reason : report.failures)
    out << "    " << reason << "\n";
}

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

/// The process's peak resident memory so far, in MiB.
double peak_mib() {
  rusage usage{};
  if (getrusage(RUSAGE_SELF, &usage) != 0)
    return 0;
  return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

void print_times(std::ostream &out, const RunTimes &times) {
  char line[200];
  std::snprintf(line, sizeof line,
                "  timings: load %.3f s, command %.3f s, dump %.3f s, pages %.3f s (the dump"
                " written meanwhile); peak %.0f MiB (%.0f MiB before dump and pages)\n",
                times.load, times.command, times.dump, times.pages, times.peak_mib,
                times.peak_command_mib);
  out << line;
}

} // namespace

sim::Expected<int> run_steps(sim::Session &session, Module &module,
                             const std::vector<sim::RunStep> &steps, Outcome &outcome) {
  sim::Transcript &transcript = session.transcript();
  int runs = 0;
  for (const sim::RunStep step : steps) {
    if (step == sim::RunStep::Reload) {
      if (sim::Expected<void> unloaded = module.unload(); !unloaded)
        session.fail_run(unloaded.error());
      transcript.add(sim::EventKind::ModuleUnload, {}, module.path().string());
      continue;
    }
    if (!module.loaded()) {
      if (sim::Expected<void> loaded = module.load(); !loaded)
        return sim::Expected<int>::failure(loaded.error());
      transcript.add(sim::EventKind::ModuleLoad, {}, module.path().string());
    }
    ++runs;
    transcript.set_run(runs);
    transcript.add(sim::EventKind::RunStart, {}, {}, runs);
    outcome.run_starts();
    const int retcode = module.call_ufusr();
    outcome.run_ends(runs);
    transcript.add(sim::EventKind::RunEnd, {}, {}, retcode);
  }
  if (sim::Expected<void> unloaded = module.unload(); !unloaded)
    session.fail_run(unloaded.error());
  transcript.add(sim::EventKind::ModuleUnload, {}, module.path().string());
  return runs;
}

int run_scenario(const RunOptions &options, std::ostream &out, std::ostream &err) {
  const fs::path out_dir =
      options.out.empty() ? fs::path("out") / options.scenario.stem() : options.out;
  std::error_code ec;
  fs::create_directories(out_dir, ec);
  if (ec) {
    err << "ncsheet: " << out_dir.string() << ": cannot create the output folder: " << ec.message()
        << "\n";
    return kExitUsage;
  }
  clear_outputs(out_dir);

  RunTimes times;
  auto phase_start = Clock::now();
  auto owned_session = std::make_unique<sim::Session>();
  sim::Session &session = *owned_session;
  sim::SessionScope scope(session);
  sim::Scenario scenario;
  try {
    scenario = sim::load_scenario(session, options.scenario, out_dir);
  } catch (const sim::ScenarioError &e) {
    err << "ncsheet: " << e.what() << "\n";
    return kExitUsage;
  }
  if (options.interactive) {
    session.op().set_mode(sim::Operator::Mode::Terminal);
    if (isatty(STDIN_FILENO) != 1)
      err << "ncsheet: --interactive: standard input is no terminal; the scenario's answers are "
             "used\n";
  }
  const std::vector<sim::RunStep> steps = options.steps ? *options.steps : scenario.steps;
  times.load = seconds_since(phase_start);
  phase_start = Clock::now();

  Module module(options.module.empty() ? Module::default_path() : options.module);
  const fs::path drives = out_dir / "drives";
  Outcome outcome(session, drives);
  const DriveSnapshot &before = outcome.start();
  sim::Transcript &transcript = session.transcript();
  const sim::Expected<int> ran = run_steps(session, module, steps, outcome);
  if (!ran) {
    err << "ncsheet: " << ran.error() << "\n";
    return kExitUsage;
  }
  const int runs = *ran;

  const sim::FinishReport report = session.finish();
  times.command = seconds_since(phase_start);
  times.peak_command_mib = peak_mib();
  phase_start = Clock::now();
  const DriveSnapshot after = snapshot_drives(drives);
  std::vector<std::string> written;
  std::vector<std::string> removed;
  for (const auto &[file, stamp] : after) {
    const auto old = before.find(file);
    if (old == before.end() || !(old->second == stamp))
      written.push_back(host_name(drives, file));
  }
  for (const auto &[file, stamp] : before)
    if (after.find(file) == after.end())
      removed.push_back(host_name(drives, file));

  nlohmann::json doc = transcript.to_json();
  doc["scenario"] = options.scenario.string();
  doc["summary"] = {{"runs", runs},
                    {"completed", report.ok()},
                    {"failures", report.failures},
                    {"bracket_opened", report.initialize_calls},
                    {"bracket_closed", report.terminate_calls},
                    {"bracket_depth", report.bracket_depth},
                    {"outside_bracket_calls", report.outside_bracket_calls},
                    {"unfreed_arrays", report.unfreed_arrays},
                    {"files_left_open", report.files_left_open},
                    {"files_written", written},
                    {"files_removed", removed},
                    {"listing", sim::gbk_to_utf8(transcript.listing())},
                    {"status_line", sim::gbk_to_utf8(session.status_line())},
                    {"host_calls", session.calls().total()},
                    {"fallible_calls", session.calls().fallible_total()},
                    {"faults_fired", session.calls().fired().size()}};
  bool saved = write_text(out_dir / "transcript.json", doc.dump(2) + "\n");
  saved = write_text(out_dir / "transcript.txt", transcript.to_text()) && saved;
  times.dump = seconds_since(phase_start);
  phase_start = Clock::now();
  // The part dump is written beside the PDF, the longest of the pages.
  bool dumped = false;
  const auto dump = [&] {
    const Clock::time_point start = Clock::now();
    dumped = sim::write_part_dump(session, out_dir / "part.json");
    times.dump += seconds_since(start);
  };
  const sim::Expected<sim::render::SheetFiles> sheet =
      sim::render::write_sheet_files(session, out_dir / "pages", kSheetPdf, dump);
  saved = dumped && saved;
  if (sheet) {
    std::vector<fs::path> page_files = sheet->pages;
    if (!sheet->pdf.empty())
      page_files.push_back(sheet->pdf);
    saved = write_pages_manifest(out_dir, page_files) && saved;
  } else {
    err << "ncsheet: " << sheet.error() << "\n";
    saved = false;
  }
  times.pages = seconds_since(phase_start);
  times.peak_mib = peak_mib();
  if (options.times)
    *options.times = times;
  if (options.finished_session)
    *options.finished_session = std::move(owned_session);
  if (!saved) {
    err << "ncsheet: " << out_dir.string() << ": cannot write the outputs\n";
    return kExitRunFailed;
  }
  print_summary(out, session, report, written, removed, out_dir, runs);
  for (const std::string &warning : sheet->warnings)
    out << "  warning: " << warning << "\n";
  out << outcome.line(sheet->pages) << "\n";
  if (options.print_times)
    print_times(out, times);
  return report.ok() ? kExitCompleted : kExitRunFailed;
}

int main_command(int argc, char **argv, std::ostream &out, std::ostream &err,
                 std::unique_ptr<sim::Session> *finished_session) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    out << kUsage;
    return kExitCompleted;
  }
  if (!args.empty() && args[0] == "check-install") {
    if (args.size() > 2 || (args.size() == 2 && args[1].starts_with("-"))) {
      err << "ncsheet: check-install takes one folder\n" << kUsage;
      return kExitUsage;
    }
    return check_install(args.size() == 2 ? fs::path(args[1]) : fs::path("data") / "kv_conf", out,
                         err);
  }
  if (args.empty() || args[0] != "run") {
    err << kUsage;
    return kExitUsage;
  }
  RunOptions options;
  options.finished_session = finished_session;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    const bool has_value = i + 1 < args.size();
    if (arg == "--out" && has_value) {
      options.out = args[++i];
    } else if (arg == "--module" && has_value) {
      options.module = args[++i];
    } else if (arg == "--timings") {
      options.print_times = true;
    } else if (arg == "--interactive") {
      options.interactive = true;
    } else if (arg == "--runs" && has_value) {
      std::vector<sim::RunStep> steps;
      if (!sim::parse_run_steps(args[++i], steps)) {
        err << "ncsheet: --runs " << args[i] << ": expected a count or a list of run and reload\n";
        return kExitUsage;
      }
      options.steps = std::move(steps);
    } else if (!arg.starts_with("-") && options.scenario.empty()) {
      options.scenario = arg;
    } else {
      err << "ncsheet: unexpected argument " << arg << "\n" << kUsage;
      return kExitUsage;
    }
  }
  if (options.scenario.empty()) {
    err << "ncsheet: no scenario file given\n" << kUsage;
    return kExitUsage;
  }
  return run_scenario(options, out, err);
}

} // namespace ncsheet
