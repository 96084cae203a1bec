// Reports of failed host calls and of the final status.
#include "command/report.h"

#include "host/core.h"
#include "system_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

using sim::EventKind;

class Report : public sim::testing::SystemTest {
protected:
  void SetUp() override {
    SystemTest::SetUp();
    ASSERT_EQ(UF_initialize(), 0);
  }
  void TearDown() override {
    EXPECT_EQ(UF_terminate(), 0);
    SystemTest::TearDown();
  }
  // A fresh session, its bracket open.
  void reopen() {
    EXPECT_EQ(UF_terminate(), 0);
    new_session();
    ASSERT_EQ(UF_initialize(), 0);
  }
};

// Nothing for status 0; else the place and the call's text, then the
// status with the host's text of it when there is one, in an opened
// listing window.  Texts of any length are written whole, null ones count
// as empty.
TEST_F(Report, WritesTheCallAndTheStatus) {
  const std::string call = "UF_NCGROUP_is_group( list1[loop1],&is )";
  const std::string at = "src/x.cpp, line 42:  " + call + "\n";
  const std::string long_file = "src/" + std::string(300, 'f') + ".cpp";
  const std::string long_call = "F( " + std::string(2000, 'a') + " )";
  const std::tuple<const char *, int, const char *, int, std::string> cases[] = {
      {"src/x.cpp", 42, call.c_str(), 0, ""},
      {"src/x.cpp", 42, call.c_str(), 1, at + "    error 1:  The operation failed\n"},
      {"src/x.cpp", 42, call.c_str(), 8, at + "    error 8:  Item not found\n"},
      {"src/x.cpp", 42, call.c_str(), 949, at + "    error 949\n"},
      {"src/x.cpp", 42, call.c_str(), -3, at + "    error -3\n"},
      {long_file.c_str(), 7, long_call.c_str(), 1,
       long_file + ", line 7:  " + long_call + "\n    error 1:  The operation failed\n"},
      {nullptr, 1, nullptr, 1, ", line 1:  \n    error 1:  The operation failed\n"},
  };
  for (const auto &[file, line, call, status, listing] : cases) {
    SCOPED_TRACE(testing::Message() << line << " " << status);
    const std::size_t written = transcript().listing().size();
    const std::size_t opened = transcript().count(EventKind::ListingOpen);
    const std::uint32_t open_calls = count(sim::Call::UF_UI_open_listing_window);
    EXPECT_EQ(report_status(file, line, call, status), status);
    EXPECT_EQ(transcript().listing().substr(written), listing);
    const std::size_t opens = listing.empty() ? 0 : 1;
    EXPECT_EQ(transcript().count(EventKind::ListingOpen) - opened, opens);
    EXPECT_EQ(count(sim::Call::UF_UI_open_listing_window) - open_calls, opens);
  }
}

int calls_made = 0;
int counted_call(int status) {
  ++calls_made;
  return status;
}

TEST_F(Report, MacroEvaluatesTheCallOnceAndPassesItsText) {
  calls_made = 0;
  // clang-format off
  const int line = __LINE__ + 1;
  EXPECT_EQ(UF_CALL(counted_call( 5 )), 5);
  // clang-format on
  EXPECT_EQ(calls_made, 1);
  const auto lines = transcript().listing_lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0],
            std::string(__FILE__) + ", line " + std::to_string(line) + ":  counted_call( 5 )");
  EXPECT_EQ(UF_CALL_TEXT("the text", counted_call(0)), 0);
  EXPECT_EQ(calls_made, 2);
}

// The final status goes to the status line (the host's text, empty when it
// has none) and standard error, never to a message box; 0 goes nowhere.
TEST_F(Report, FinalStatusGoesToStatusLineAndStandardError) {
  const std::tuple<int, const char *, std::vector<std::string>> cases[] = {
      {0, "", {}}, {8, "Item not found", {"Item not found\n"}}, {949, "", {"\n"}}};
  for (const auto &[status, line, stderr_texts] : cases) {
    SCOPED_TRACE(status);
    reopen();
    report_final_status(status);
    EXPECT_EQ(session().status_line(), line);
    EXPECT_EQ(transcript().texts(EventKind::Stderr), stderr_texts);
    EXPECT_EQ(transcript().count(EventKind::Status), status == 0 ? 0u : 1u);
    EXPECT_TRUE(transcript().messages_shown().empty());
  }
}

} // namespace
