//===- check_install.h - ncsheet check-install [DIR] ----------------------===//
//
// Reads an installation folder (the D:\kv_conf of the host) as the module
// and the simulated host will read it, and names every problem that would
// stop the command, or let it draw a broken sheet without a word: missing
// or unreadable message texts, definition values that are no numbers or
// make a sheet of zero size, template parts the host cannot import, a
// dialog file without the controls the command sets.  The rules are in
// docs/check-install.md.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_CLI_CHECK_INSTALL_H
#define NCSHEET_CLI_CHECK_INSTALL_H

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace ncsheet {

/// One problem: a file of the installation (relative to its folder, with
/// '/'), the line it is on (0 when it is on no line, e.g. a missing file
/// or key) and what is wrong.
struct InstallProblem {
  std::string file;
  int line = 0;
  std::string what;
  bool operator==(const InstallProblem &) const = default;
};

/// Every problem of the installation in dir, file by file (language files,
/// definition file, dialog, templates, temp) and by line within a file.
[[nodiscard]] std::vector<InstallProblem> check_installation(const std::filesystem::path &dir);

/// Prints each problem as "DIR/FILE:LINE: what" to out, or one line
/// "installation DIR: no problems".  Returns 0 without problems, 1 with
/// some, 2 (and a line to err) when dir is no folder.
[[nodiscard]] int check_install(const std::filesystem::path &dir, std::ostream &out,
                                std::ostream &err);

} // namespace ncsheet

#endif
