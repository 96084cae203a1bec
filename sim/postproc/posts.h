//===- posts.h - The host's postprocessors --------------------------------===//
//
// The postprocessors the host has installed, by name: five built in (an
// ISO G-code 3-axis mill, a conversational 3-axis mill, an ISO high-speed
// 3-axis mill, ISO 4-axis and 5-axis mills) and any the scenario adds or
// changes ("postprocessors").  Running one on a program group writes the
// NC program under the name given and the group's one-line summary to
// D:\kv_conf\temp\<group>.xl.  A scenario can make a postprocessor fail:
// no NC file, no summary file, an empty summary file, or nothing at all.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_POSTPROC_POSTS_H
#define NCSHEET_SIM_POSTPROC_POSTS_H

#include "host/defs.h"
#include "postproc/dialects.h"
#include "session/session.h"

#include <nlohmann/json_fwd.hpp>

#include <string>
#include <string_view>
#include <vector>

namespace sim {
class LoadContext;
}

namespace sim::post {

enum class Fault { None, NoNc, NoSummary, EmptySummary, Nothing };

struct Postprocessor {
  PostDefinition definition;
  Fault fault = Fault::None;
  std::vector<std::string> fault_groups; ///< host bytes; empty: every group
  int fault_status = 0;                  ///< what the run returns when the fault strikes
};

/// The folder the summaries go to, with its final backslash.
inline constexpr const char *kSummaryFolder = "D:\\kv_conf\\temp\\";

/// The built-in postprocessors, in the installation's menu order.
[[nodiscard]] std::vector<Postprocessor> builtin_postprocessors();

class Postprocessors final : public Component {
public:
  explicit Postprocessors(Session &session);

  [[nodiscard]] std::string_view name() const override { return "postprocessors"; }
  void dump(nlohmann::json &out) const override;

  /// The postprocessor of a name (exact bytes), or null.
  [[nodiscard]] const Postprocessor *find(std::string_view name) const noexcept;
  /// Adds a postprocessor or replaces the one of the same name.
  void define(Postprocessor post);

  /// Runs a postprocessor: UF_SETUP_generate_program.  Returns a status.
  [[nodiscard]] int generate(tag_t setup, tag_t program, const char *post_name,
                             const char *output_file, int units);

  /// The programs posted so far (the ISO O numbers count them).
  [[nodiscard]] int runs() const noexcept { return runs_; }
  /// Runs that wrote their NC file and summary without a fault.
  [[nodiscard]] int completed() const noexcept { return completed_; }

private:
  Session &session_;
  std::vector<Postprocessor> posts_;
  int runs_ = 0;
  int completed_ = 0;
};

/// The top-level scenario section "postprocessors".
void load_postprocessors_section(const nlohmann::json &value, const std::string &path,
                                 LoadContext &ctx);

} // namespace sim::post

#endif
