// Reports of failed host calls and of the final status.
#include "command/report.h"

#include "host/core.h"
#include "system_fixture.h"

#include <gtest/gtest.h>

#include <string>

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
};

TEST_F(Report, StatusZeroWritesNothing) {
  EXPECT_EQ(report_status("a.cpp", 3, "F( x )", 0), 0);
  EXPECT_EQ(session().calls().count(sim::Call::UF_UI_open_listing_window), 0u);
  EXPECT_EQ(transcript().count(EventKind::ListingOpen), 0u);
  EXPECT_EQ(transcript().listing(), "");
}

struct LineCase {
  const char *name;
  int status;
  const char *second_line;
};

class ReportLines : public Report, public ::testing::WithParamInterface<LineCase> {};

TEST_P(ReportLines, WritesTheCallAndTheStatus) {
  const LineCase &c = GetParam();
  EXPECT_EQ(report_status("src/x.cpp", 42, "UF_NCGROUP_is_group( list1[loop1],&is )", c.status),
            c.status);
  EXPECT_EQ(transcript().count(EventKind::ListingOpen), 1u);
  EXPECT_EQ(transcript().listing(),
            std::string("src/x.cpp, line 42:  UF_NCGROUP_is_group( list1[loop1],&is )\n") +
                c.second_line);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReportLines,
    ::testing::Values(LineCase{"host_text", 1, "    error 1:  The operation failed\n"},
                      LineCase{"other_host_text", 8, "    error 8:  Item not found\n"},
                      LineCase{"no_host_text", 949, "    error 949\n"},
                      LineCase{"negative_status", -3, "    error -3\n"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Report, LinesOfAnyLengthAreWrittenWhole) {
  const std::string file = "src/" + std::string(300, 'f') + ".cpp";
  const std::string call = "F( " + std::string(2000, 'a') + " )";
  report_status(file.c_str(), 7, call.c_str(), 1);
  EXPECT_EQ(transcript().listing(),
            file + ", line 7:  " + call + "\n    error 1:  The operation failed\n");
}

TEST_F(Report, NullTextsCountAsEmpty) {
  report_status(nullptr, 1, nullptr, 1);
  EXPECT_EQ(transcript().listing(), ", line 1:  \n    error 1:  The operation failed\n");
}

int calls_made = 0;
int counted_call(int status) {
  ++calls_made;
  return status;
}

TEST_F(Report, MacroEvaluatesTheCallOnceAndPassesItsText) {
  calls_made = 0;
  const int line = __LINE__ + 1;
  EXPECT_EQ(UF_CALL(counted_call( 5 )), 5);
  EXPECT_EQ(calls_made, 1);
  const auto lines = transcript().listing_lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], std::string(__FILE__) + ", line " + std::to_string(line) +
                          ":  counted_call( 5 )");
  EXPECT_EQ(UF_CALL_TEXT("the text", counted_call(0)), 0);
  EXPECT_EQ(calls_made, 2);
}

TEST_F(Report, FinalStatusZeroDoesNothing) {
  report_final_status(0);
  EXPECT_EQ(session().status_line(), "");
  EXPECT_EQ(transcript().count(EventKind::Stderr), 0u);
  EXPECT_EQ(transcript().count(EventKind::Status), 0u);
}

TEST_F(Report, FinalStatusGoesToStatusLineAndStandardError) {
  report_final_status(8);
  EXPECT_EQ(session().status_line(), "Item not found");
  ASSERT_EQ(transcript().texts(EventKind::Stderr).size(), 1u);
  EXPECT_EQ(transcript().texts(EventKind::Stderr)[0], "Item not found\n");
  // No message box: message boxes are the callers' business.
  EXPECT_TRUE(transcript().messages_shown().empty());
}

TEST_F(Report, FinalStatusWithoutHostTextShowsAnEmptyText) {
  report_final_status(949);
  EXPECT_EQ(session().status_line(), "");
  ASSERT_EQ(transcript().texts(EventKind::Stderr).size(), 1u);
  EXPECT_EQ(transcript().texts(EventKind::Stderr)[0], "\n");
}

} // namespace
