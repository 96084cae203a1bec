//===- session_fixture.h - A fresh simulated host for every test ----------===//
//
// SessionTest builds a new session in a temporary folder for each test and
// makes it current.  Drive D is mounted on root()/drives/D with the
// repository's installation (data/kv_conf) copied to D:\kv_conf, unless a
// test overrides install().  Helpers queue answers, inject faults, read the
// transcript and write or read files by host path.
//
// fault_loop() runs a case once to count the host calls that can fail, then
// again for k = 1..N with the k-th of them failed, on a fresh session each
// time, calling check after every run.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_TESTS_SUPPORT_SESSION_FIXTURE_H
#define NCSHEET_TESTS_SUPPORT_SESSION_FIXTURE_H

#include "session/session.h"
#include "session/transcript.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace sim::testing {

/// The repository's installation folder (data/kv_conf).
[[nodiscard]] std::filesystem::path installation_dir();
/// A fresh empty temporary folder, removed by the caller.
[[nodiscard]] std::filesystem::path make_temp_dir(std::string_view stem);
/// The bytes of a file of the machine; empty when it cannot be read.
[[nodiscard]] std::string slurp(const std::filesystem::path &file);

class SessionTest : public ::testing::Test {
protected:
  SessionTest();
  ~SessionTest() override;
  void SetUp() override;
  void TearDown() override;

  /// Prepares a new session (mounts, clock, part); override to change what
  /// every session of the test starts with.  The default mounts D with the
  /// installation, sets the clock to 2026-12-05 09:30:00 and opens part
  /// D:\work\part.prt in the CAM application.
  virtual void prepare(Session &session);
  /// Puts the system's module state back (SystemTest overrides it).
  virtual void reset_system() {}

  [[nodiscard]] Session &session() { return *session_; }
  [[nodiscard]] Transcript &transcript() { return session_->transcript(); }
  [[nodiscard]] const std::filesystem::path &root() const { return root_; }
  /// Replaces the session by a fresh, prepared one.
  void new_session();

  /// Queues a scripted answer, e.g. answer({{"menu", 1}}).
  void answer(const nlohmann::json &value);
  /// Fails the nth use of call (0: every use) with status.
  void fail(std::string_view call, std::uint32_t nth = 0, int status = 1);
  /// Fails the k-th fallible call of the session.
  void fail_kth(std::uint64_t k, int status = 1);
  /// Applies a scenario given as JSON text to the current session.
  void load_scenario(std::string_view json_text);

  /// Writes / reads a file by host path (raw bytes).
  void write_file(std::string_view host_path, std::string_view bytes);
  [[nodiscard]] std::string read_file(std::string_view host_path);
  [[nodiscard]] bool file_exists(std::string_view host_path);

  /// Runs the end-of-session checks.
  FinishReport finish();

  /// The fault loop; the body runs inside a fresh session each time, and
  /// check gets k (0 for the first run with no fault).  Returns N.
  std::uint64_t fault_loop(const std::function<void()> &body,
                           const std::function<void(std::uint64_t k)> &check, int status = 1);

private:
  std::filesystem::path root_;
  std::unique_ptr<Session> session_;
  std::unique_ptr<SessionScope> scope_;
  int sessions_made_ = 0;
};

} // namespace sim::testing

#endif
