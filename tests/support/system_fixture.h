//===- system_fixture.h - Session fixture for tests linking the system ----===//
//
// For tests that link ncsheet_core directly: module state is put back
// before every test and every fault-loop run; helpers for a fresh session
// and module load, the messages shown and the count of a host call.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_TESTS_SUPPORT_SYSTEM_FIXTURE_H
#define NCSHEET_TESTS_SUPPORT_SYSTEM_FIXTURE_H

#include "command/command.h"
#include "session/call_log.h"
#include "session_fixture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sim::testing {

class SystemTest : public SessionTest {
protected:
  void SetUp() override {
    reset_module_state();
    SessionTest::SetUp();
  }
  void reset_system() override { reset_module_state(); }

  /// A fresh session and module load.
  void fresh() {
    new_session();
    reset_module_state();
  }
  [[nodiscard]] std::vector<std::string> shown() { return transcript().messages_shown(); }
  [[nodiscard]] std::uint32_t count(Call call) { return session().calls().count(call); }
};

} // namespace sim::testing

#endif
