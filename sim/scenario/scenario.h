//===- scenario.h - Setting up a session from a scenario file -------------===//
//
// A scenario (JSON, see docs/scenario.md) says what is installed and
// mounted, the clock, the displayed part and its objects, the operator's
// answers, injected faults and the runs.  Loading applies it to a session;
// any error names the file and the JSON path of the offending value.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_SCENARIO_SCENARIO_H
#define NCSHEET_SIM_SCENARIO_SCENARIO_H

#include <nlohmann/json_fwd.hpp>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

class Session;

/// A scenario that cannot be loaded; what() is the one message to show,
/// "FILE: /json/path: what is wrong".
class ScenarioError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

/// What loaders need besides the session.
class LoadContext {
public:
  LoadContext(Session &session, std::filesystem::path file, std::filesystem::path base,
              std::filesystem::path root);

  [[nodiscard]] Session &session() const noexcept { return session_; }
  /// The scenario file (for messages).
  [[nodiscard]] const std::filesystem::path &file() const noexcept { return file_; }
  /// The folder relative paths of the scenario are taken from.
  [[nodiscard]] const std::filesystem::path &base() const noexcept { return base_; }
  /// The session's folder (drives live in root/drives).
  [[nodiscard]] const std::filesystem::path &root() const noexcept { return root_; }
  /// A path of the scenario made absolute against base().
  [[nodiscard]] std::filesystem::path resolve(std::string_view path) const;
  /// Throws ScenarioError naming the file, the JSON path and what is wrong.
  [[noreturn]] void fail(std::string_view json_path, std::string_view what) const;

  // Checked access to JSON values; each fails with the path on a mismatch.
  [[nodiscard]] const nlohmann::json &object(const nlohmann::json &value,
                                             std::string_view path) const;
  [[nodiscard]] const nlohmann::json &array(const nlohmann::json &value,
                                            std::string_view path) const;
  [[nodiscard]] std::string string(const nlohmann::json &value, std::string_view path) const;
  [[nodiscard]] double number(const nlohmann::json &value, std::string_view path) const;
  [[nodiscard]] int integer(const nlohmann::json &value, std::string_view path) const;
  [[nodiscard]] bool boolean(const nlohmann::json &value, std::string_view path) const;
  /// Fails naming the first key of object not in allowed.
  void only_keys(const nlohmann::json &object, std::string_view path,
                 const std::vector<std::string_view> &allowed) const;

private:
  Session &session_;
  std::filesystem::path file_;
  std::filesystem::path base_;
  std::filesystem::path root_;
};

/// One step of a scenario's run list.
enum class RunStep { Run, Reload };

struct Scenario {
  std::filesystem::path file;
  std::vector<RunStep> steps{RunStep::Run};
};

/// Reads and applies a scenario file to session; drives are set up under
/// root/drives.  Throws ScenarioError.
[[nodiscard]] Scenario load_scenario(Session &session, const std::filesystem::path &file,
                                     const std::filesystem::path &root);
/// The same from JSON text; file only names it in messages, and relative
/// paths are taken from base.
[[nodiscard]] Scenario load_scenario_text(Session &session, std::string_view text,
                                          const std::filesystem::path &file,
                                          const std::filesystem::path &base,
                                          const std::filesystem::path &root);
/// Parses a run list: "run,run,reload,run" or a count ("3"); nothing when
/// malformed.
[[nodiscard]] bool parse_run_steps(std::string_view text, std::vector<RunStep> &steps);

} // namespace sim

#endif
