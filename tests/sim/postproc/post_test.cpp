// Postprocessors through the host interface: the NC file under exactly the
// name given, the summary file and its twelve values, nested groups, the
// installation's postprocessor names, the scenario's own postprocessors
// and failures, and the refusals.
#include "cam_fixture.h"
#include "host/cam.h"
#include "postproc/posts.h"
#include "session/status.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace {

namespace post = sim::post;

constexpr const char *kPart = R"(
  "csys": {"MCS": {"origin": [0, 0, 30]}},
  "programs": [
    {"ROUGH": [
      {"A01": [
        {"op": "CAVITY_MILL_1", "mcs": "MCS", "tool": "D10R0.5", "tool_number": 3,
         "stock_side": 0.3, "stock_floor": 0.2, "spindle": 3000,
         "moves": ["G0 X0 Y0 Z50", "Z0", "G1 Z-10 F500", "X490 F1000", "G0 Z40"]},
        {"op": "ZLEVEL_1", "mcs": "MCS", "tool": "D10R0.5", "tool_number": 3,
         "description": "\u7cbe\u52a0\u5de5", "stock_floor": 0.05, "spindle": 3500, "feed": 800,
         "moves": ["G0 X490 Y0 Z40", "G1 Z-15.25", "G0 Z40"]}]},
      {"A02": [{"DEEPER": [{"op": "DRILL_1", "mcs": "MCS", "tool": "DR5", "tool_number": 7,
                            "spindle": 1200, "feed": 100,
                            "moves": ["G0 X10 Y10 Z5", "G1 Z-20", "G0 Z5"]}]}]}]}],
  "selected": ["ROUGH"])";

class Post : public sim::testing::CamHostTest {
protected:
  tag_t setup() {
    tag_t tag = NULL_TAG;
    EXPECT_EQ(UF_SETUP_ask_setup(&tag), 0);
    return tag;
  }
  int generate(const char *group, const char *post_name, const char *file, int units = 1) {
    return UF_SETUP_generate_program(setup(), named(group), post_name, file, units);
  }
  std::string first_line(const std::string &host_path) {
    const std::string text = read_file(host_path);
    return text.substr(0, text.find('\n') + 1);
  }
};

TEST_F(Post, WritesTheNcFileAndTheSummaryLine) {
  load_part(kPart);
  ASSERT_EQ(generate("A01", "ISO_MILL_3AX", "D:\\nc\\A01_kv.nc"), 0);
  const std::string nc = read_file("D:\\nc\\A01_kv.nc"); // written in text mode
  for (const char *line :
       {"O0001 (A01)\r\n", "T3 M06\r\n", "S3500 M03\r\n", "G01 Z-15.25 F800\r\n"})
    EXPECT_NE(nc.find(line), std::string::npos) << line << nc;
  // Description of the first operation; stocks of the last; time in whole
  // minutes (0.58 min of cutting and 155 mm of rapid travel at 10 m/min).
  EXPECT_EQ(first_line("D:\\kv_conf\\temp\\A01.xl"),
            "A01 D10R0.5 CAVITY_MILL 0 -15.250 1 3 3000 3500 500 1000 0.05\r\n");
  EXPECT_EQ(first_line("D:\\kv_conf\\temp\\a01.XL"), first_line("D:\\kv_conf\\temp\\A01.xl"));
}

TEST_F(Post, WalksNestedGroupsAndSpeaksEachDialect) {
  load_part(kPart);
  ASSERT_EQ(generate("A02", "DIALOG_MILL_3AX", "D:\\nc\\A02_kv.nc"), 0);
  const std::string nc = read_file("D:\\nc\\A02_kv.nc");
  for (const char *line : {"TOOL CALL 7 AXIS Z SPEED 1200", "LINE Z-20.000 FEED 100"})
    EXPECT_NE(nc.find(line), std::string::npos) << line << nc;
  EXPECT_EQ(first_line("D:\\kv_conf\\temp\\A02.xl"),
            "A02 DR5 DRILL 0 -20.000 1 7 1200 1200 100 100 0\r\n");
  // GBK descriptions reach the summary as they are.
  ASSERT_TRUE(session().objects().erase(named("CAVITY_MILL_1")));
  ASSERT_EQ(generate("A01", "ISO_MILL_5AX", "D:\\nc\\A01.nc"), 0);
  EXPECT_EQ(first_line("D:\\kv_conf\\temp\\A01.xl").substr(0, 21),
            "A01 D10R0.5 \xbe\xab\xbc\xd3\xb9\xa4 0 ");
  EXPECT_NE(read_file("D:\\nc\\A01.nc").find("G00 A0. C0."), std::string::npos);
}

TEST_F(Post, TheInstallationsPostprocessorsAreKnown) {
  load_part(kPart);
  std::ifstream def(sim::testing::installation_dir() / "config_prog_sheet_mr.def");
  std::string line;
  int names = 0;
  const std::regex key(R"(^\s*post_category_[1-5]:\s*(\S+))");
  while (std::getline(def, line)) {
    std::smatch match;
    if (!std::regex_search(line, match, key))
      continue;
    ++names;
    EXPECT_NE(session().component<post::Postprocessors>().find(match[1].str()), nullptr)
        << match[1].str();
    EXPECT_EQ(generate("A01", match[1].str().c_str(), "D:\\nc\\x.nc"), 0) << match[1].str();
  }
  EXPECT_EQ(names, 5);
}

TEST_F(Post, RefusesWhatItCannotRun) {
  load_part(kPart);
  struct Case {
    tag_t setup;
    tag_t program;
    const char *post;
    const char *file;
    int units;
    int status;
  };
  const tag_t s = setup();
  const Case cases[] = {
      {s, named("A01"), "NO_SUCH_POST", "D:\\nc\\x.nc", 1, sim::status::kUnknownPost},
      {s, named("A01"), "", "D:\\nc\\x.nc", 1, sim::status::kUnknownPost},
      {s, named("A01"), nullptr, "D:\\nc\\x.nc", 1, sim::status::kBadArgument},
      {s, named("A01"), "ISO_MILL_3AX", "", 1, sim::status::kBadArgument},
      {s, named("A01"), "ISO_MILL_3AX", "D:\\nc\\x.nc", 0, sim::status::kBadArgument},
      {NULL_TAG, named("A01"), "ISO_MILL_3AX", "D:\\nc\\x.nc", 1, sim::status::kBadArgument},
      {named("A01"), named("A01"), "ISO_MILL_3AX", "D:\\nc\\x.nc", 1, sim::status::kWrongType},
      {s, named("ZLEVEL_1"), "ISO_MILL_3AX", "D:\\nc\\x.nc", 1, sim::status::kWrongType},
      {s, 4242, "ISO_MILL_3AX", "D:\\nc\\x.nc", 1, sim::status::kBadTag},
      {s, named("A01"), "ISO_MILL_3AX", "Q:\\nc\\x.nc", 1, sim::status::kFileError},
  };
  for (const Case &c : cases)
    EXPECT_EQ(UF_SETUP_generate_program(c.setup, c.program, c.post, c.file, c.units), c.status)
        << (c.post ? c.post : "(null)") << " " << c.file << " " << c.units;
  EXPECT_FALSE(file_exists("D:\\nc\\x.nc"));
  EXPECT_FALSE(file_exists("D:\\kv_conf\\temp\\A01.xl"));
}

TEST_F(Post, ScenarioFaultsMakeAPostprocessorFail) {
  struct Case {
    const char *fault;
    bool nc, summary;
    std::size_t summary_size;
    int status;
  };
  const Case cases[] = {
      {"no_nc", false, true, 63, sim::status::kPostFailed},
      {"no_summary", true, false, 0, 0},
      {"empty_summary", true, true, 0, 0},
      {"nothing", false, false, 0, sim::status::kPostFailed},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.fault);
    load_part(kPart, std::string(R"("postprocessors": {"ISO_MILL_3AX": {"fault": ")") + c.fault +
                         R"(", "groups": ["a01"]}})");
    EXPECT_EQ(generate("A01", "ISO_MILL_3AX", "D:\\nc\\A01_kv.nc"), c.status);
    EXPECT_EQ(file_exists("D:\\nc\\A01_kv.nc"), c.nc);
    EXPECT_EQ(file_exists("D:\\kv_conf\\temp\\A01.xl"), c.summary);
    if (c.summary) {
      EXPECT_EQ(read_file("D:\\kv_conf\\temp\\A01.xl").size(), c.summary_size);
    }
    // The group not listed posts normally.
    EXPECT_EQ(generate("A02", "ISO_MILL_3AX", "D:\\nc\\A02_kv.nc"), 0);
    EXPECT_TRUE(file_exists("D:\\nc\\A02_kv.nc"));
    EXPECT_TRUE(file_exists("D:\\kv_conf\\temp\\A02.xl"));
  }
}

TEST_F(Post, ScenarioDefinesItsOwnPostprocessors) {
  load_part(kPart, R"("postprocessors": {
      "SLOW_MILL": {"like": "ISO_MILL_3AX", "rapid": 100, "block_numbers": false},
      "TALKER": {"dialect": "conversational", "machine": "TEST MACHINE", "status": 949,
                 "fault": "no_summary"}})");
  ASSERT_EQ(generate("A01", "SLOW_MILL", "D:\\nc\\slow.nc"), 0);
  // 155 mm of rapid travel at 100 mm/min.
  EXPECT_EQ(first_line("D:\\kv_conf\\temp\\A01.xl"),
            "A01 D10R0.5 CAVITY_MILL 0 -15.250 3 3 3000 3500 500 1000 0.05\r\n");
  EXPECT_EQ(read_file("D:\\nc\\slow.nc").find("\r\nN"), std::string::npos);
  EXPECT_EQ(generate("A02", "TALKER", "D:\\nc\\talk.nc"), 949);
  EXPECT_NE(read_file("D:\\nc\\talk.nc").find("; POSTPROCESSOR TALKER - TEST MACHINE"),
            std::string::npos);

  const std::pair<const char *, const char *> mistakes[] = {
      {R"("postprocessors": {"NEW": {}})", "/postprocessors/NEW"},
      {R"("postprocessors": {"NEW": {"like": "NOPE"}})", "/postprocessors/NEW/like"},
      {R"("postprocessors": {"NEW": {"dialect": "klingon"}})", "/postprocessors/NEW/dialect"},
      {R"("postprocessors": {"ISO_MILL_3AX": {"fault": "smoke"}})",
       "/postprocessors/ISO_MILL_3AX/fault"},
      {R"("postprocessors": {"ISO_MILL_3AX": {"rapid": 0}})", "/postprocessors/ISO_MILL_3AX/rapid"},
      {R"("postprocessors": {"ISO_MILL_3AX": {"colour": 1}})", "/postprocessors/ISO_MILL_3AX"},
  };
  for (const auto &[keys, path] : mistakes)
    expect_refused(kPart, keys, path);
}

} // namespace
