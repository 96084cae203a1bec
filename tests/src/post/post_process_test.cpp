// The post run on the simulated host: the menu, the extension, the output
// folder and its life across runs, the overwrite questions, the summary
// files, renames, and the mends (no file lost before its replacement is
// written, names too long refused, cuts on character boundaries).
#include "post/post.h"

#include "gbk_text.h"
#include "host/core.h"
#include "my_func/my_func.h"
#include "objects/object_store.h"
#include "post_fixture.h"
#include "runtime/runtime.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using post_test::kDef;
using post_test::kLang;
using test_text::gbk;
using test_text::utf8;

class PostRun : public post_test::PostTest {
protected:
  void make_folder(const char *host_path) {
    const auto folder = session().runtime().resolve(host_path);
    ASSERT_TRUE(folder.has_value());
    std::filesystem::create_directories(*folder);
  }
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
};

TEST_F(PostRun, PostsEveryProgramIntoTheChosenFolder) {
  answer_run(3, R"({"STR_0": "M2612"})");
  EXPECT_EQ(run(), 1);
  EXPECT_TRUE(boxes().empty());
  // The menu: the five names of the definition file, the title cut and
  // bannered.
  ASSERT_EQ(questions_of("menu").size(), 1u);
  EXPECT_EQ(questions_of("menu")[0], "P5 [ncsheet]");
  EXPECT_EQ(filter(0), "D:\\nc\\P1.nc");
  EXPECT_NE(questions_of("file_box")[0].find("P15\nP14 [ncsheet]\n"), std::string::npos);

  EXPECT_STREQ(nc_ext, ".nc");
  EXPECT_STREQ(post_dir, "D:\\nc\\");
  EXPECT_STREQ(mold_no, "M2612");
  for (const char *name : {"P1", "P2"}) {
    SCOPED_TRACE(name);
    const std::string nc = std::string("D:\\nc\\") + name + ".nc";
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
  EXPECT_TRUE(finish().ok());
}

TEST(NcExtension, FollowsTheChoiceOrTheMenuItem) {
  struct Case {
    int choice;
    int item;
    const char *ext;
  };
  const Case cases[] = {
      {0, 1, ".mpf"}, {0, 2, ".nc"},  {0, 3, ".nc"},  {0, 4, ".pim"}, {0, 5, ".h"},
      {1, 3, ".mpf"}, {2, 1, ".nc"},  {3, 1, ".pim"}, {4, 1, ".ptp"}, {4, 5, ".ptp"},
      {5, 2, ".h"},   {6, 1, ".i"},   {7, 1, ".old"}, {-1, 1, ".old"}, {0, 0, ".old"},
      {0, 6, ".old"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.choice << "/" << c.item);
    (void)text_copy(nc_ext, sizeof nc_ext, ".old");
    set_nc_ext(c.choice, c.item);
    EXPECT_STREQ(nc_ext, c.ext);
  }
  reset_module_state();
}

TEST_F(PostRun, TheDialogsExtensionNamesTheFiles) {
  answer_run(1, R"({"OPTION_9": 4})");
  EXPECT_EQ(run(), 1);
  EXPECT_TRUE(file_exists("D:\\nc\\P1.ptp"));
  EXPECT_TRUE(file_exists("D:\\nc\\P2.ptp"));
  EXPECT_EQ(filter(0), "D:\\nc\\P1.ptp");

  answer_run(5, R"({"OPTION_9": 0})", "D:\\nc\\whatever.txt");
  EXPECT_EQ(run(), 1);
  EXPECT_TRUE(file_exists("D:\\nc\\P1.h"));
  EXPECT_TRUE(finish().ok());
}

TEST_F(PostRun, NamesOf37BytesAreOfferedLongerOnesAreTold) {
  const std::string n37(37, 'Q');
  const std::string n38 = std::string(37, 'R') + "S";
  prepend_def("post_category_2: " + n38 + "\npost_category_3: " + n37 + "\n");
  answer({{"menu", "Cancel"}});
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(boxes(), std::vector<std::string>{"P1 " + n38 + " P2\nP3 " + kDef + " P4"});
  ASSERT_EQ(transcript().details(sim::EventKind::Question).size(), 1u);
  EXPECT_EQ(transcript().details(sim::EventKind::Question)[0],
            "menu: 1 ISO_MILL_3AX | 2  | 3 " + n37 + " | 4 ISO_MILL_4AX | 5 ISO_MILL_5AX");
  EXPECT_TRUE(questions_of("dialog").empty());
  EXPECT_TRUE(finish().ok());
}

TEST_F(PostRun, BackCancelAndTheEmptyChoiceStopBeforeTheDialog) {
  for (const char *menu : {"Back", "Cancel"}) {
    answer({{"menu", menu}});
    EXPECT_EQ(run(), 0);
  }
  prepend_def("post_category_4: NONE_POST\n");
  answer({{"menu", 4}});
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(boxes(), std::vector<std::string>{"P7"});
  EXPECT_TRUE(questions_of("dialog").empty());
  EXPECT_STREQ(nc_ext, "");
  EXPECT_TRUE(finish().ok());
}

TEST_F(PostRun, ANullSetupIsRefused) {
  prog_entry entry{};
  (void)text_copy(entry.prog_name, sizeof entry.prog_name, "P1");
  (void)text_copy(lang_file, sizeof lang_file, kLang);
  ASSERT_EQ(UF_initialize(), 0);
  EXPECT_EQ(post_process(&entry, 1, NULL_TAG), 0);
  (void)UF_terminate();
  EXPECT_EQ(boxes(), std::vector<std::string>{"setup is null"});
  EXPECT_TRUE(questions().empty());
  EXPECT_TRUE(finish().ok());
}

TEST_F(PostRun, ADialogNotConfirmedStopsTheRun) {
  answer({{"menu", 1}});
  answer({{"dialog", nlohmann::json::object()}, {"press", "Cancel"}});
  EXPECT_EQ(run(), 0);
  EXPECT_TRUE(questions_of("file_box").empty());
  EXPECT_STREQ(post_dir, "");
  EXPECT_TRUE(finish().ok());
}

// post_dir and nc_ext live as long as the module: a second run offers the
// folder of the first, a cancelled file dialog keeps it, a reload forgets.
TEST_F(PostRun, TheFolderCarriesOverUntilTheModuleIsReloaded) {
  make_folder("D:\\out1");
  answer_run(1, "{}", "D:\\out1\\anything.nc");
  EXPECT_EQ(run(), 1);
  EXPECT_STREQ(post_dir, "D:\\out1\\");
  EXPECT_TRUE(file_exists("D:\\out1\\P1.mpf"));

  answer({{"menu", 2}});
  answer({{"dialog", nlohmann::json::object()}, {"press", "OK"}});
  answer({{"file", "Cancel"}});
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(filter(1), "D:\\out1\\P1.nc");
  EXPECT_STREQ(post_dir, "D:\\out1\\");
  EXPECT_STREQ(nc_ext, ".nc");

  reset_module_state(); // a reload
  EXPECT_STREQ(post_dir, "");
  EXPECT_STREQ(nc_ext, "");
  answer({{"menu", 1}});
  answer({{"dialog", nlohmann::json::object()}, {"press", "OK"}});
  answer({{"file", "Cancel"}});
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(filter(2), "D:\\nc\\P1.mpf");
  EXPECT_STREQ(post_dir, "");
  EXPECT_TRUE(finish().ok());
}

TEST_F(PostRun, AnAnswerWithoutAFolderStopsLikeCancel) {
  (void)text_copy(post_dir, sizeof post_dir, "D:\\nc\\");
  answer_run(1, "{}", "P1.nc");
  EXPECT_EQ(run(), 0);
  EXPECT_TRUE(boxes().empty());
  EXPECT_STREQ(post_dir, "D:\\nc\\");
  EXPECT_FALSE(file_exists("D:\\nc\\P1.mpf"));
  EXPECT_TRUE(finish().ok());
}

// The GBK character D5 5C ends in the byte of a backslash: the folder ends
// at the real last backslash.
TEST_F(PostRun, TheFolderEndsAtARealBackslash) {
  answer_run(1, "{}", "D:\\nc\\A" + utf8("\xd5\x5c") + "B.nc");
  EXPECT_EQ(run(), 1);
  EXPECT_STREQ(post_dir, "D:\\nc\\");
  EXPECT_TRUE(file_exists("D:\\nc\\P1.mpf"));
  EXPECT_TRUE(finish().ok());
}

TEST_F(PostRun, FoldersTooLongAreRefusedNotCut) {
  // From the definition file: 150 bytes for a 140-byte folder.
  const std::string long_folder = "D:\\" + std::string(146, 'f') + "\\";
  prepend_def("post_folder: " + long_folder + "\n");
  answer({{"menu", 1}});
  answer({{"dialog", nlohmann::json::object()}, {"press", "OK"}});
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(boxes(), std::vector<std::string>{"P16 " + long_folder});
  EXPECT_STREQ(post_dir, "");
  EXPECT_TRUE(questions_of("file_box").empty());

  // From the file dialog: 140 bytes for a 136-byte folder.
  part();
  const std::string answer_folder = "D:\\" + std::string(136, 'g') + "\\";
  answer_run(1, "{}", answer_folder + "x.nc");
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(boxes(), std::vector<std::string>{"P16 " + answer_folder + "x.nc"});
  EXPECT_STREQ(post_dir, "");

  // 135 bytes fit.
  part();
  const std::string fits = "D:\\" + std::string(131, 'h') + "\\";
  make_folder(fits.c_str());
  answer_run(1, "{}", fits + "x.nc");
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(std::string(post_dir), fits);
  EXPECT_TRUE(finish().ok());
}

// The 40-byte cuts of the menu title and the file dialog prompt keep whole
// characters.
TEST_F(PostRun, TitleCutsKeepWholeCharacters) {
  const std::string a39(39, 'a');
  write_file(kLang, "post_pro_05:" + a39 + gbk("程") + "\npost_pro_14:" + a39 + "b" +
                        gbk("程") + "\n" + read_file(kLang));
  answer({{"menu", 1}});
  answer({{"dialog", nlohmann::json::object()}, {"press", "OK"}});
  answer({{"file", "Cancel"}});
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(questions_of("menu").at(0), a39 + " [ncsheet]");
  EXPECT_NE(questions_of("file_box").at(0).find("\n" + a39 + "b [ncsheet]\n"), std::string::npos);
  EXPECT_TRUE(finish().ok());
}

class PostOverwrite : public PostRun {
protected:
  void SetUp() override {
    PostRun::SetUp();
    write_file("D:\\nc\\P1.mpf", "OLD1");
    write_file("D:\\nc\\P2.mpf", "OLD2");
  }
};

TEST_F(PostOverwrite, YesToEachReplacesBoth) {
  answer_run(1);
  answer({{"buttons", "YES"}});
  answer({{"buttons", "YES"}});
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(questions_of("message_dialog"),
            (std::vector<std::string>{"D:\\nc\\P1.mpf  P8", "D:\\nc\\P2.mpf  P8"}));
  EXPECT_NE(read_file("D:\\nc\\P1.mpf"), "OLD1");
  EXPECT_NE(read_file("D:\\nc\\P2.mpf"), "OLD2");
  EXPECT_TRUE(finish().ok());
}

// NO on the second question stops the run before anything is posted, and
// the first file, which the user agreed to replace, is still there.
TEST_F(PostOverwrite, NoOnALaterQuestionLosesNoFile) {
  answer_run(1);
  answer({{"buttons", "YES"}});
  answer({{"buttons", "NO"}});
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(questions_of("message_dialog").size(), 2u);
  EXPECT_EQ(read_file("D:\\nc\\P1.mpf"), "OLD1");
  EXPECT_EQ(read_file("D:\\nc\\P2.mpf"), "OLD2");
  EXPECT_FALSE(file_exists("D:\\nc\\P1_kv.nc"));
  EXPECT_EQ(session().calls().count(sim::Call::UF_SETUP_generate_program), 0u);

  answer_run(1);
  answer({{"buttons", "NO"}});
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(read_file("D:\\nc\\P1.mpf"), "OLD1");
  EXPECT_TRUE(finish().ok());
}

// Replacing a file the user agreed to: the old file steps aside as
// P1_kv.bak, the new one takes the final name, the old one goes.  Whichever
// step fails, one complete program named P1.mpf is left, and the message
// says what happened.
struct ReplaceCase {
  const char *what;
  std::vector<std::pair<const char *, std::uint32_t>> failed; // call, nth use
  int result;
  std::vector<std::string> messages;
  const char *p1;      // P1.mpf afterwards: "OLD1" or "NEW"
  const char *p1_temp; // P1_kv.nc afterwards: "NEW" or "" (none)
  const char *p1_side; // P1_kv.bak afterwards: "OLD1" or "" (none)
};

class PostReplace : public PostOverwrite, public ::testing::WithParamInterface<ReplaceCase> {
protected:
  // "NEW" when path holds a program this run posted, the old text as it is,
  // or "" when there is no such file.
  std::string state(const std::string &path) {
    if (!file_exists(path))
      return "";
    const std::string text = read_file(path);
    return text.rfind("OLD", 0) == 0 ? text : text.empty() ? "EMPTY" : "NEW";
  }
};

TEST_P(PostReplace, LeavesOneCompleteProgram) {
  const ReplaceCase &c = GetParam();
  answer_run(1);
  answer({{"buttons", "YES"}});
  answer({{"buttons", "YES"}});
  for (const auto &[call, nth] : c.failed)
    fail(call, nth);
  EXPECT_EQ(run(), c.result);
  EXPECT_EQ(boxes(), c.messages);
  EXPECT_EQ(state("D:\\nc\\P1.mpf"), c.p1);
  EXPECT_EQ(state("D:\\nc\\P1_kv.nc"), c.p1_temp);
  EXPECT_EQ(state("D:\\nc\\P1_kv.bak"), c.p1_side);
  // P2 is posted only when P1's step let the run go on.
  EXPECT_EQ(state("D:\\nc\\P2.mpf"), c.result == 1 ? "NEW" : "OLD2");
  EXPECT_TRUE(finish().ok());
}

// host_rename, per program: P1.mpf aside (1), P1_kv.nc onto P1.mpf (2),
// then back (3) when that failed.  host_remove: P1's temporary file (1),
// its summary (2), a stale side file (3), the old file at the end (4).
INSTANTIATE_TEST_SUITE_P(
    Cases, PostReplace,
    ::testing::Values(
        ReplaceCase{"all steps work", {}, 1, {}, "NEW", "", ""},
        ReplaceCase{"final rename fails", {{"host_rename", 2}}, 0, {"P13"}, "OLD1", "NEW", ""},
        ReplaceCase{"side rename fails", {{"host_rename", 1}}, 0, {"P9"}, "OLD1", "NEW", ""},
        ReplaceCase{"final removal fails", {{"host_remove", 4}}, 1, {"P9"}, "NEW", "", "OLD1"},
        // Nothing left to do when the old file cannot come back either: both
        // programs are kept under their side names.
        ReplaceCase{"final rename and restore fail",
                    {{"host_rename", 2}, {"host_rename", 3}},
                    0,
                    {"P13"},
                    "",
                    "NEW",
                    "OLD1"}),
    [](const ::testing::TestParamInfo<ReplaceCase> &info) {
      std::string name = info.param.what;
      for (char &c : name)
        if (c == ' ')
          c = '_';
      return name;
    });

// A side file left by an earlier run whose last removal failed is an old
// copy of a program already replaced: it goes before the old file steps
// aside.
TEST_F(PostOverwrite, AStaleSideFileMakesWay) {
  write_file("D:\\nc\\P1_kv.bak", "OLDER1");
  answer_run(1);
  answer({{"buttons", "YES"}});
  answer({{"buttons", "YES"}});
  EXPECT_EQ(run(), 1);
  EXPECT_TRUE(boxes().empty());
  EXPECT_FALSE(file_exists("D:\\nc\\P1_kv.bak"));
  EXPECT_NE(read_file("D:\\nc\\P1.mpf"), "OLD1");
  EXPECT_TRUE(finish().ok());
}

// A postprocessor that writes no NC file: the old file stays.
TEST_F(PostOverwrite, NoReplacementNoRemoval) {
  part(R"("postprocessors": {"ISO_MILL_3AX": {"fault": "no_nc"}}, )");
  write_file("D:\\nc\\P1.mpf", "OLD1");
  answer_run(1);
  answer({{"buttons", "YES"}});
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(boxes(), std::vector<std::string>{"P13"});
  EXPECT_EQ(read_file("D:\\nc\\P1.mpf"), "OLD1");
  EXPECT_TRUE(finish().ok());
}

struct SummaryCase {
  const char *what;
  const char *postprocessors; // scenario section, or empty
  const char *failed_call;    // with nth, or null
  int nth;
  int result;
  const char *message;
  bool p1_posted;
};

class PostSummary : public PostRun, public ::testing::WithParamInterface<SummaryCase> {};

TEST_P(PostSummary, IsToldAndStopsOrGoesOn) {
  const SummaryCase &c = GetParam();
  if (c.postprocessors[0] != '\0')
    part(std::string(R"("postprocessors": )") + c.postprocessors + ", ");
  answer_run(1);
  if (c.failed_call)
    fail(c.failed_call, static_cast<std::uint32_t>(c.nth));
  EXPECT_EQ(run(), c.result);
  EXPECT_EQ(boxes(), std::vector<std::string>{c.message});
  EXPECT_EQ(file_exists("D:\\nc\\P1.mpf"), c.p1_posted);
  EXPECT_TRUE(finish().ok());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PostSummary,
    ::testing::Values(
        SummaryCase{"missing", R"({"ISO_MILL_3AX": {"fault": "no_summary"}})", nullptr, 0, 0,
                    "P10", false},
        SummaryCase{"empty", R"({"ISO_MILL_3AX": {"fault": "empty_summary"}})", nullptr, 0, 0,
                    "P11", false},
        // host_remove: P1's temporary file, then P1's summary.
        SummaryCase{"undeletable", "", "host_remove", 2, 1, "P12", true},
        SummaryCase{"rename fails", "", "host_rename", 1, 0, "P13", false}),
    [](const ::testing::TestParamInfo<SummaryCase> &info) {
      std::string name = info.param.what;
      for (char &c : name)
        if (c == ' ')
          c = '_';
      return name;
    });

// A summary line longer than the record's field: its first 131 bytes, with
// no line feed.
TEST_F(PostRun, ALongSummaryLineIsCut) {
  const std::string description(180, 'd');
  load_scenario(R"({"installation": "data/kv_conf", "part": {"file": "D:\\work\\part.prt",
      "application": "cam", "csys": {"MCS_A": {"origin": [0, 0, 30]}},
      "programs": [{"P1": [{"op": "OP1", "mcs": "MCS_A", "description": ")" +
                description + R"("}]}], "selected": ["P1"]}})");
  write_file(post_test::kLang, post_test::short_texts() + read_file(post_test::kLang));
  make_folder("D:\\nc");
  answer_run(1);
  EXPECT_EQ(run(), 1);
  ASSERT_EQ(records.size(), 1u);
  const std::string info = records[0].post_info;
  EXPECT_EQ(info.size(), 131u);
  EXPECT_EQ(info.find('\n'), std::string::npos);
  EXPECT_NE(info.find(description.substr(0, 100)), std::string::npos);
  EXPECT_TRUE(finish().ok());
}

TEST_F(PostRun, AProgramGroupRenamedSinceCollectionIsSkipped) {
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
  EXPECT_STRNE(records[1].post_info, "");
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
          << final_name << ":\n" << text;
    }
    const sim::FinishReport report = finish();
    EXPECT_EQ(report.unfreed_arrays, 0u);
    EXPECT_EQ(report.files_left_open, 0u);
    EXPECT_EQ(report.bracket_depth, 0);
    EXPECT_EQ(report.outside_bracket_calls, 0u);
  }
}

} // namespace
