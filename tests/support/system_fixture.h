//===- system_fixture.h - Session fixture for tests linking the system ----===//
//
// For tests that link ncsheet_core directly: module state is put back
// before every test and every fault-loop run.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_TESTS_SUPPORT_SYSTEM_FIXTURE_H
#define NCSHEET_TESTS_SUPPORT_SYSTEM_FIXTURE_H

#include "command/command.h"
#include "session_fixture.h"

namespace sim::testing {

class SystemTest : public SessionTest {
protected:
  void SetUp() override {
    reset_module_state();
    SessionTest::SetUp();
  }
  void reset_system() override { reset_module_state(); }
};

} // namespace sim::testing

#endif
