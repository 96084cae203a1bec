//===- outcome.h - What the user got from the runs ------------------------===//
//
// The runner's closing line: programs posted, NC files written and
// replaced, pages made, the last message shown, and for every run that
// stopped before its sheet the question or message that stopped it.  A run
// made its sheet when the command put the drafting preferences back (its
// second UF_DRF_set_preferences), which only a complete run does.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_CLI_OUTCOME_H
#define NCSHEET_CLI_OUTCOME_H

#include "drive_files.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace sim {
class Session;
}

namespace ncsheet {

class Outcome {
public:
  /// Takes the drives as they are before the first run.
  Outcome(const sim::Session &session, std::filesystem::path drives);

  /// The drives before the first run.
  [[nodiscard]] const DriveSnapshot &start() const noexcept { return start_; }

  /// Call before and after each run of the module.
  void run_starts();
  void run_ends(int run);

  /// The closing line (UTF-8, no line feed).  pages: the page files written.
  [[nodiscard]] std::string line(const std::vector<std::filesystem::path> &pages) const;

private:
  const sim::Session &session_;
  std::filesystem::path drives_;
  DriveSnapshot start_;
  DriveSnapshot before_; ///< at the start of the current run
  std::uint32_t preference_calls_ = 0;
  int posts_ = 0;

  int programs_posted_ = 0;
  int nc_written_ = 0;
  int nc_replaced_ = 0;
  std::vector<std::string> stops_;
};

/// The first line of a host text (GBK) as UTF-8, cut to at most max bytes
/// on a character boundary, with " ..." when anything was left out.
[[nodiscard]] std::string shown_line(const std::string &gbk, std::size_t max);

/// What stopped run number run, read from the transcript: its last
/// question when the answer was NO, Back or Cancel (or none was left),
/// else a message shown after the last answer; empty when neither.
[[nodiscard]] std::string stop_of_run(const sim::Session &session, int run);

} // namespace ncsheet

#endif
