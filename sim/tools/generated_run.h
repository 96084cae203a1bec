// generated_run.h: scenarios of many program groups on a hole plate, for
// the benchmarks of whole runs and the tests of large runs.
#ifndef NCSHEET_SIM_TOOLS_GENERATED_RUN_H
#define NCSHEET_SIM_TOOLS_GENERATED_RUN_H

#include <filesystem>
#include <string>

namespace sim::tools {

/// "G0001"...: the name of program group index (from 0), unique and in order.
[[nodiscard]] std::string generated_group(int index);

/// Writes into folder (created) a scenario of `groups` program groups, one
/// operation each, in parent groups of ten or more (at most 50 selected),
/// on a plate of n x n through holes (about 2 n^2 edges, cached in the
/// native format beside it), posting into D:\nc of a drive in folder.  The
/// installation is source_dir/data/kv_conf.  Returns the scenario's path;
/// throws std::runtime_error when the plate cannot be made.
std::filesystem::path write_generated_run(const std::filesystem::path &folder, int groups, int n,
                                          const std::filesystem::path &source_dir);

} // namespace sim::tools

#endif
