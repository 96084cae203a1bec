// The post run on the simulated host: the menu, the extension, the output
// folder across runs, the replacements and summary files, the fault loop.
#include "post/post.h"

#include "gbk_text.h"
#include "host/core.h"
#include "my_func/my_func.h"
#include "objects/object_store.h"
#include "post_fixture.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

namespace {

using post_test::kDef;
using post_test::kLang;
using test_text::gbk;
using test_text::utf8;

class PostRun : public post_test::PostTest {
protected:
  // The file dialog's filter line of the n-th file dialog.
  std::string filter(std::size_t n) {
    const std::vector<std::string> boxes = questions_of("file_box");
    EXPECT_LT(n, boxes.size());
    if (n >= boxes.size())
      return {};
    const std::string &text = boxes[n];
    const std::size_t at = text.find("\nfilter: ");
    const std::size_t end = text.find('\n', at + 1);
    return text.substr(at + 9, end - at - 9);
  }
  // A file as "NEW" (a program this run posted), its old text as it is,
  // "EMPTY", or "" when there is no such file.
  std::string state(const std::string &path) {
    if (!file_exists(path))
      return "";
    const std::string text = read_file(path);
    return text.rfind("OLD", 0) == 0 ? text : text.empty() ? "EMPTY" : "NEW";
  }
};

// The extension is the dialog's choice (.ptp), or the menu item's when the
// choice is 0; the file dialog's answer gives only the folder.
TEST_F(PostRun, PostsEveryProgramIntoTheChosenFolder) {
  answer_run(3, R"({"STR_0": "M2612", "OPTION_9": 4})", "D:\\nc\\whatever.txt");
  EXPECT_EQ(run(), 1);
  EXPECT_TRUE(boxes().empty());
  // The menu: the five names of the definition file, the title cut and
  // bannered.
  ASSERT_EQ(questions_of("menu").size(), 1u);
  EXPECT_EQ(questions_of("menu")[0], "P5 [ncsheet]");
  EXPECT_EQ(filter(0), "D:\\nc\\P1.ptp");
  EXPECT_NE(questions_of("file_box")[0].find("P15\nP14 [ncsheet]\n"), std::string::npos);

  EXPECT_STREQ(nc_ext, ".ptp");
  EXPECT_STREQ(post_dir, "D:\\nc\\");
  EXPECT_STREQ(mold_no, "M2612");
  for (const char *name : {"P1", "P2"}) {
    SCOPED_TRACE(name);
    const std::string nc = std::string("D:\\nc\\") + name + ".ptp";
    EXPECT_TRUE(file_exists(nc));
    EXPECT_FALSE(read_file(nc).empty());
    EXPECT_FALSE(file_exists(std::string("D:\\nc\\") + name + "_kv.nc"));
    EXPECT_FALSE(file_exists(std::string("D:\\kv_conf\\temp\\") + name + ".xl"));
  }
  ASSERT_EQ(records.size(), 2u);
  for (const prog_entry &record : records) {
    const std::string info = record.post_info;
    EXPECT_EQ(info.rfind(std::string(record.prog_name) + " ", 0), 0u) << info;
    ASSERT_FALSE(info.empty());
    EXPECT_EQ(info.back(), '\n');
  }

  answer_run(5, R"({"OPTION_9": 0})");
  EXPECT_EQ(run(), 1);
  EXPECT_TRUE(file_exists("D:\\nc\\P1.h"));
  EXPECT_TRUE(finish().ok());
}

TEST(NcExtension, FollowsTheChoiceOrTheMenuItem) {
  const std::tuple<int, int, const char *> cases[] = {
      {0, 1, ".mpf"}, {0, 2, ".nc"},   {0, 3, ".nc"},  {0, 4, ".pim"}, {0, 5, ".h"}, {1, 3, ".mpf"},
      {2, 1, ".nc"},  {3, 1, ".pim"},  {4, 1, ".ptp"}, {4, 5, ".ptp"}, {5, 2, ".h"}, {6, 1, ".i"},
      {7, 1, ".old"}, {-1, 1, ".old"}, {0, 0, ".old"}, {0, 6, ".old"},
  };
  for (const auto &[choice, item, ext] : cases) {
    SCOPED_TRACE(testing::Message() << choice << "/" << item);
    (void)text_copy(nc_ext, sizeof nc_ext, ".old");
    set_nc_ext(choice, item);
    EXPECT_STREQ(nc_ext, ext);
  }
  reset_module_state();
}

// A name of 37 bytes is offered, a longer one told and its item left
// empty; Back, Cancel and the NONE_POST item stop before the dialog, a null
// setup before the menu.
TEST_F(PostRun, MenuNamesAndStopsBeforeTheDialog) {
  const std::string n37(37, 'Q');
  const std::string n38 = std::string(37, 'R') + "S";
  prepend_def("post_category_2: " + n38 + "\npost_category_3: " + n37 +
              "\npost_category_4: NONE_POST\n");
  const std::string too_long = "P1 " + n38 + " P2\nP3 " + kDef + " P4";
  for (const nlohmann::json &menu : nlohmann::json::array({"Back", "Cancel", 4})) {
    answer({{"menu", menu}});
    EXPECT_EQ(run(), 0);
  }
  // A null setup is refused before the menu.
  prog_entry entry{};
  (void)text_copy(entry.prog_name, sizeof entry.prog_name, "P1");
  ASSERT_EQ(UF_initialize(), 0);
  EXPECT_EQ(post_process(&entry, 1, NULL_TAG), 0);
  (void)UF_terminate();
  EXPECT_EQ(boxes(),
            (std::vector<std::string>{too_long, too_long, too_long, "P7", "setup is null"}));
  EXPECT_EQ(transcript().details(sim::EventKind::Question),
            std::vector<std::string>(3, "menu: 1 ISO_MILL_3AX | 2  | 3 " + n37 +
                                            " | 4 NONE_POST | 5 ISO_MILL_5AX"));
  EXPECT_TRUE(questions_of("dialog").empty());
  EXPECT_STREQ(nc_ext, "");
  EXPECT_TRUE(finish().ok());
}

// Where the NC files go: the folder of the file dialog's answer, up to its
// real last backslash (the GBK character D5 5C ends in the byte of one),
// or none: the run stops without a word when the dialog is not confirmed or
// the answer has no folder, and a folder too long (from the definition
// file, 150 bytes for a 140-byte folder, or from the file dialog, 140 bytes
// for a 136-byte one) is told, not cut; 135 bytes fit.
TEST_F(PostRun, TheFolderOfTheAnswerOrNone) {
  const std::string def_folder = "D:\\" + std::string(146, 'f') + "\\";
  const std::string long_answer = "D:\\" + std::string(136, 'g') + "\\x.nc";
  const std::string fits = "D:\\" + std::string(131, 'h') + "\\";
  // definition lines, post_dir before, button, file answered, result,
  // message boxes, post_dir after
  const std::tuple<std::string, std::string, std::string, std::string, int,
                   std::vector<std::string>, std::string>
      cases[] = {
          {"", "", "Cancel", "", 0, {}, ""},
          {"", "D:\\nc\\", "OK", "P1.nc", 0, {}, "D:\\nc\\"},
          {"", "", "OK", "D:\\nc\\A" + utf8("\xd5\x5c") + "B.nc", 1, {}, "D:\\nc\\"},
          {"post_folder: " + def_folder + "\n", "", "OK", "", 0, {"P16 " + def_folder}, ""},
          {"", "", "OK", long_answer, 0, {"P16 " + long_answer}, ""},
          {"", "", "OK", fits + "x.nc", 1, {}, fits},
      };
  for (const auto &[def, preset, press, file, result, messages, dir] : cases) {
    SCOPED_TRACE(def + file);
    part();
    reset_module_state();
    prepend_def(def);
    (void)text_copy(post_dir, sizeof post_dir, preset.c_str());
    if (result == 1)
      make_folder(dir);
    answer({{"menu", 1}});
    answer({{"dialog", nlohmann::json::object()}, {"press", press}});
    if (!file.empty())
      answer({{"file", file}});
    EXPECT_EQ(run(), result);
    EXPECT_EQ(boxes(), messages);
    EXPECT_EQ(std::string(post_dir), dir);
    EXPECT_EQ(questions_of("file_box").size(), file.empty() ? 0u : 1u);
    EXPECT_EQ(file_exists(dir + "P1.mpf"), result == 1);
    EXPECT_TRUE(finish().ok());
  }
}

// post_dir and nc_ext live as long as the module: a second run offers the
// folder of the first, a cancelled file dialog keeps it, a reload forgets.
// The 40-byte cuts of the menu title and the file dialog prompt keep whole
// characters.
TEST_F(PostRun, TheFolderCarriesOverUntilTheModuleIsReloaded) {
  const std::string a39(39, 'a');
  write_file(kLang, "post_pro_05:" + a39 + gbk("程") + "\npost_pro_14:" + a39 + "b" + gbk("程") +
                        "\n" + read_file(kLang));
  make_folder("D:\\out1");
  answer_run(1, "{}", "D:\\out1\\anything.nc");
  EXPECT_EQ(run(), 1);
  EXPECT_STREQ(post_dir, "D:\\out1\\");
  EXPECT_TRUE(file_exists("D:\\out1\\P1.mpf"));
  EXPECT_EQ(questions_of("menu").at(0), a39 + " [ncsheet]");
  EXPECT_NE(questions_of("file_box").at(0).find("\n" + a39 + "b [ncsheet]\n"), std::string::npos);

  answer_run(2, "{}", "Cancel");
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(filter(1), "D:\\out1\\P1.nc");
  EXPECT_STREQ(post_dir, "D:\\out1\\");
  EXPECT_STREQ(nc_ext, ".nc");

  reset_module_state(); // a reload
  EXPECT_STREQ(post_dir, "");
  EXPECT_STREQ(nc_ext, "");
  answer_run(1, "{}", "Cancel");
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(filter(2), "D:\\nc\\P1.mpf");
  EXPECT_STREQ(post_dir, "");
  EXPECT_TRUE(finish().ok());
}

// Each question before a file is replaced; NO stops the run before anything
// is posted.  Replacing: the old file steps aside as P1_kv.bak (a stale one
// left by an earlier run goes first), the new one takes the final name, the
// old one goes.  Whichever step fails, one complete program named P1.mpf is
// left and the message says what happened; a summary missing, empty or
// unrenamable is told and stops the run, one that cannot be removed only
// told.  host_rename, per program: P1.mpf aside (1), P1_kv.nc onto P1.mpf
// (2), back (3) when that failed; without old files P1's summary (1).
// host_remove: P1's temporary file (1), its summary (2), a stale side file
// (3), the old file at the end (4).
TEST_F(PostRun, ReplacementsAndSummariesLoseNoFile) {
  // failed: calls and their nth use; p1 to p2: the files' states, "*" when not looked at.
  // clang-format off
  struct Case {
    const char *what, *postprocessor_fault; bool old; std::vector<std::string> buttons;
    std::vector<std::pair<const char *, std::uint32_t>> failed; int result;
    std::vector<std::string> messages; std::string p1, p1_temp, p1_side, p2;
  };
  const std::vector<std::string> yes = {"YES", "YES"};
  const Case cases[] = {
      {"all steps work", "", true, yes, {}, 1, {}, "NEW", "", "", "NEW"},
      {"NO to the second", "", true, {"YES", "NO"}, {}, 0, {}, "OLD1", "", "", "OLD2"},
      {"NO to the first", "", true, {"NO"}, {}, 0, {}, "OLD1", "", "", "OLD2"},
      {"final rename fails", "", true, yes, {{"host_rename", 2}}, 0, {"P13"},
       "OLD1", "NEW", "", "OLD2"},
      {"side rename fails", "", true, yes, {{"host_rename", 1}}, 0, {"P9"},
       "OLD1", "NEW", "", "OLD2"},
      {"final removal fails", "", true, yes, {{"host_remove", 4}}, 1, {"P9"},
       "NEW", "", "OLD1", "NEW"},
      // Nothing left to do when the old file cannot come back either: both
      // programs are kept under their side names.
      {"final rename and restore fail", "", true, yes, {{"host_rename", 2}, {"host_rename", 3}}, 0,
       {"P13"}, "", "NEW", "OLD1", "OLD2"},
      {"a stale side file", "", true, yes, {}, 1, {}, "NEW", "", "", "NEW"},
      // A postprocessor that writes no NC file: the old file stays.
      {"no NC file", "no_nc", true, yes, {}, 0, {"P13"}, "OLD1", "*", "*", "OLD2"},
      {"summary missing", "no_summary", false, {}, {}, 0, {"P10"}, "", "*", "*", "*"},
      {"summary empty", "empty_summary", false, {}, {}, 0, {"P11"}, "", "*", "*", "*"},
      {"summary undeletable", "", false, {}, {{"host_remove", 2}}, 1, {"P12"},
       "NEW", "*", "*", "*"},
      {"summary rename fails", "", false, {}, {{"host_rename", 1}}, 0, {"P13"}, "", "*", "*", "*"},
  };
  // clang-format on
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    reset_module_state();
    const std::string fault = c.postprocessor_fault;
    part(fault.empty() ? ""
                       : R"("postprocessors": {"ISO_MILL_3AX": {"fault": ")" + fault + "\"}}, ");
    if (c.old) {
      write_file("D:\\nc\\P1.mpf", "OLD1");
      write_file("D:\\nc\\P2.mpf", "OLD2");
    }
    if (std::string(c.what) == "a stale side file")
      write_file("D:\\nc\\P1_kv.bak", "OLDER1");
    answer_run(1);
    std::vector<std::string> questions;
    for (const std::string &button : c.buttons) {
      answer({{"buttons", button}});
      questions.push_back("D:\\nc\\P" + std::to_string(questions.size() + 1) + ".mpf  P8");
    }
    for (const auto &[call, nth] : c.failed)
      fail(call, nth);
    EXPECT_EQ(run(), c.result);
    EXPECT_EQ(boxes(), c.messages);
    EXPECT_EQ(questions_of("message_dialog"), questions);
    const bool refused = std::ranges::count(c.buttons, "NO") > 0;
    EXPECT_EQ(count(sim::Call::UF_SETUP_generate_program) == 0, refused);
    const std::pair<const char *, std::string> files[] = {
        {"P1.mpf", c.p1}, {"P1_kv.nc", c.p1_temp}, {"P1_kv.bak", c.p1_side}, {"P2.mpf", c.p2}};
    for (const auto &[name, expected] : files)
      if (expected != "*") {
        EXPECT_EQ(state(std::string("D:\\nc\\") + name), expected) << name;
      }
    EXPECT_TRUE(finish().ok());
  }
}

// A program group renamed since the collection is skipped, the next one
// still posted; a summary line longer than the record's field: its first
// 131 bytes, with no line feed.
TEST_F(PostRun, ARenamedGroupIsSkippedALongSummaryLineCut) {
  const std::string description(180, 'd');
  part("", "",
       R"("programs": [{"P1": [{"op": "OP1", "mcs": "MCS_A"}]},
                      {"P2": [{"op": "OP2", "mcs": "MCS_A", "description": ")" +
           description + R"("}]}], "selected": ["P1", "P2"])");
  answer_run(1);
  EXPECT_EQ(run([&] {
              sim::ObjectStore &store = session().objects();
              sim::Object *p1 = store.find(store.next_by_name("P1", NULL_TAG));
              ASSERT_NE(p1, nullptr);
              store.set_name(*p1, "P1_NEW");
            }),
            1);
  EXPECT_TRUE(boxes().empty());
  EXPECT_FALSE(file_exists("D:\\nc\\P1.mpf"));
  EXPECT_TRUE(file_exists("D:\\nc\\P2.mpf"));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_STREQ(records[0].post_info, "");
  const std::string info = records[1].post_info;
  EXPECT_EQ(info.size(), 131u);
  EXPECT_EQ(info.find('\n'), std::string::npos);
  EXPECT_NE(info.find(description.substr(0, 100)), std::string::npos);
  EXPECT_TRUE(finish().ok());
}

// An NC program without its program number, which counts the programs the
// postprocessor wrote in the session.
std::string without_number(std::string text) {
  const std::size_t at = text.find("\nO");
  const std::size_t end = text.find(' ', at + 1);
  if (at != std::string::npos && end != std::string::npos)
    text.erase(at + 1, end - at - 1);
  return text;
}

// Every fallible host call failed in turn, its outputs left alone on odd
// turns and poisoned on even ones: no crash, one bracket, nothing leaked,
// and each program's NC file is there under its name, whole: the old one
// or the new one.
TEST_F(PostRun, FaultLoopLosesNoFile) {
  const auto setup = [&](bool poison) {
    part();
    session().set_poison_outputs(poison);
    write_file("D:\\nc\\P1.mpf", "OLD1");
    write_file("D:\\nc\\P2.mpf", "OLD2");
    answer_run(1, R"({"STR_0": "M9"})");
    answer({{"buttons", "YES"}});
    answer({{"buttons", "YES"}});
  };
  setup(false);
  ASSERT_EQ(run(), 1);
  const std::string old_texts[2] = {"OLD1", "OLD2"};
  const std::string new_texts[2] = {read_file("D:\\nc\\P1.mpf"), read_file("D:\\nc\\P2.mpf")};
  const std::uint64_t total = session().calls().fallible_total();
  ASSERT_GT(total, 20u);
  EXPECT_TRUE(finish().ok());
  for (std::uint64_t k = 1; k <= total; ++k) {
    const bool poison = k % 2 == 0;
    SCOPED_TRACE(testing::Message() << "fallible call " << k << (poison ? " poisoned" : ""));
    reset_module_state();
    setup(poison);
    fail_kth(k);
    (void)run();
    for (std::size_t i = 0; i < 2; ++i) {
      const std::string final_name = std::string("D:\\nc\\P") + char('1' + i) + ".mpf";
      ASSERT_TRUE(file_exists(final_name)) << final_name;
      const std::string text = read_file(final_name);
      EXPECT_TRUE(text == old_texts[i] || without_number(text) == without_number(new_texts[i]))
          << final_name << ":\n"
          << text;
    }
    const sim::FinishReport report = finish();
    EXPECT_EQ(report.unfreed_arrays, 0u);
    EXPECT_EQ(report.files_left_open, 0u);
    EXPECT_EQ(report.bracket_depth, 0);
    EXPECT_EQ(report.outside_bracket_calls, 0u);
  }
}

} // namespace
