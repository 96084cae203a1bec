// The command driver: refusals, the API bracket, the undo mark, the tips
// box, and a fault loop over a whole run.
#include "command/command.h"

#include "gbk_text.h"
#include "runtime/runtime.h"
#include "short_texts.h"
#include "system_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using sim::Call;
using sim::EventKind;
using test_text::no_key;

constexpr const char *kLang = "D:\\kv_conf\\lang\\ncsheet_elec_uni.txt";

// Short texts for the driver's keys (U1..U3) and the tips' (T1..T11).
std::string short_texts(const std::string &skip = "") {
  return test_text::numbered_texts("ufusr_", 3, "U", skip) +
         test_text::numbered_texts("did_you_kno_", 11, "T", skip);
}

// The tips box of the short texts.
const std::string kShortTips = "T1\n\nT2\nT3\nT4\nT5\nT6\nT7\n\nT8\nT9\n\nT10\nT11";

class Driver : public sim::testing::SystemTest {
protected:
  void prepare(sim::Session &s) override {
    if (with_part_) {
      SystemTest::prepare(s);
    } else {
      // As the default session, without a displayed part.
      const fs::path drive = root() / ("nopart" + std::to_string(++unmounted_)) / "D";
      fs::create_directories(drive / "kv_conf");
      fs::copy(sim::testing::installation_dir(), drive / "kv_conf", fs::copy_options::recursive);
      s.runtime().mount('D', drive);
      s.set_application(UF_APP_CAM);
    }
    write_file(kLang, short_texts() + test_text::installed_lang());
  }

  void run() {
    int rc = 0;
    ufusr(nullptr, &rc, 0);
  }
  // Index of the first event of a kind, or -1.
  int first(EventKind kind) {
    const auto &events = transcript().events();
    for (std::size_t i = 0; i < events.size(); ++i)
      if (events[i].kind == kind)
        return static_cast<int>(i);
    return -1;
  }
  void expect_closed_once() {
    EXPECT_EQ(session().bracket_depth(), 0);
    EXPECT_EQ(session().initialize_calls(), 1);
    EXPECT_EQ(session().terminate_calls(), 1);
  }

  bool with_part_ = true;
  int unmounted_ = 0;
};

TEST_F(Driver, FailedInitializeOnlyReportsTheFinalStatus) {
  fail("UF_initialize", 1, 8);
  run();
  EXPECT_TRUE(shown().empty());
  EXPECT_EQ(session().status_line(), "Item not found");
  EXPECT_EQ(transcript().texts(EventKind::Stderr), std::vector<std::string>{"Item not found\n"});
  EXPECT_EQ(count(Call::host_fopen), 0u);
  EXPECT_EQ(count(Call::UF_terminate), 0u);
}

// Each refusal shows its one message inside the bracket, before the call
// untouched is ever made; the bracket then closes once and no status is
// reported.  Any application but CAM (16) and Drafting (1), and one that
// cannot be asked (-1), is refused.
TEST_F(Driver, RefusalShowsOneMessageInsideTheBracket) {
  struct Case {
    std::string what;
    std::function<void()> setup;
    std::string message;
    Call untouched;
  };
  std::vector<Case> cases = {
      {"no language file", [this] { fs::remove(session().runtime().resolve(kLang).value()); },
       test_text::no_lang_file(kLang), Call::UF_PART_ask_display_part},
      {"no displayed part",
       [this] {
         with_part_ = false;
         new_session();
       },
       "U1", Call::UF_ask_application_module},
      {"no setup", [this] { fail("UF_SETUP_ask_setup", 1); }, "U3",
       Call::UF_SETUP_ask_program_root},
  };
  for (const char *key : {"ufusr_01:", "ufusr_02:", "ufusr_03:"})
    cases.push_back({key, [this, key] { write_file(kLang, short_texts(key)); }, no_key(kLang, key),
                     Call::UF_PART_ask_display_part});
  for (int module_id : {0, 2, 15, 17, -1})
    cases.push_back({"application " + std::to_string(module_id),
                     [this, module_id] {
                       module_id < 0 ? fail("UF_ask_application_module")
                                     : session().set_application(module_id);
                     },
                     "U2", Call::UF_UNDO_set_mark});
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    with_part_ = true;
    fresh();
    c.setup();
    run();
    EXPECT_EQ(shown(), std::vector<std::string>{c.message});
    EXPECT_EQ(count(c.untouched), 0u);
    EXPECT_LT(first(EventKind::MessageBox), first(EventKind::BracketClose));
    EXPECT_EQ(transcript().count(EventKind::OutsideBracket), 0u);
    EXPECT_EQ(session().status_line(), "");
    EXPECT_EQ(transcript().count(EventKind::Stderr), 0u);
    expect_closed_once();
  }
}

// CAM and Drafting go on and set one visible unnamed undo mark.
TEST_F(Driver, CamAndDraftingGoOn) {
  for (int module_id : {16, 1}) {
    SCOPED_TRACE(module_id);
    fresh();
    session().set_application(module_id);
    run();
    ASSERT_FALSE(shown().empty());
    EXPECT_NE(shown()[0], "U2");
    ASSERT_EQ(session().undo_marks().size(), 1u);
    EXPECT_TRUE(session().undo_marks()[0].visible);
    EXPECT_EQ(session().undo_marks()[0].name, "");
    EXPECT_GE(count(Call::UF_SETUP_ask_setup), 1u);
    expect_closed_once();
  }
}

TEST_F(Driver, FailedUndoMarkIsReportedAndTheCommandGoesOn) {
  fail("UF_UNDO_set_mark");
  run();
  const auto lines = transcript().listing_lines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_NE(lines[0].find("ufusr.cpp, line "), std::string::npos) << lines[0];
  EXPECT_TRUE(lines[0].ends_with(":  UF_UNDO_set_mark( UF_UNDO_visible, NULL, &mark_id )"))
      << lines[0];
  EXPECT_EQ(lines[1], "    error 1:  The operation failed");
  EXPECT_GE(count(Call::UF_SETUP_ask_setup), 1u);
  expect_closed_once();
}

// The tips box comes on the first run of a module load only; a tip missing
// from the language file is told, and tried again on the next run.
TEST_F(Driver, TipsBoxOnTheFirstRunOfALoadOnly) {
  for (const std::string skip : {"", "did_you_kno_07:"}) {
    SCOPED_TRACE(skip);
    fresh();
    if (!skip.empty())
      write_file(kLang, short_texts(skip));
    const std::string first_box = skip.empty() ? kShortTips : no_key(kLang, skip);
    run();
    const std::size_t after_first = shown().size();
    ASSERT_GT(after_first, 0u);
    EXPECT_EQ(shown()[0], first_box);
    run();
    ASSERT_GT(shown().size(), after_first);
    EXPECT_EQ(shown()[after_first] == first_box, !skip.empty());
    if (skip.empty()) {
      EXPECT_EQ(std::ranges::count(shown(), kShortTips), 1);
      reset_module_state(); // a reload
      run();
      EXPECT_EQ(std::ranges::count(shown(), kShortTips), 2);
    }
  }
}

TEST_F(Driver, ElevenLongestTipsAreShownWhole) {
  std::string text = test_text::numbered_texts("ufusr_", 3, "U");
  std::string expected;
  const char *after[] = {"\n\n", "\n", "\n", "\n", "\n", "\n", "\n\n", "\n", "\n\n", "\n", ""};
  for (int i = 1; i <= 11; ++i) {
    char key[32];
    std::snprintf(key, sizeof key, "did_you_kno_%02d:", i);
    const std::string tip(255, static_cast<char>('a' + i));
    text += std::string(key) + tip + "\n";
    expected += tip + after[i - 1];
  }
  write_file(kLang, text + test_text::installed_lang());
  run();
  ASSERT_FALSE(shown().empty());
  EXPECT_EQ(shown()[0].size(), 2818u);
  EXPECT_EQ(shown()[0], expected);
}

TEST_F(Driver, FaultLoopKeepsTheBracketBalanced) {
  // fault_loop names the fault in its trace.
  const auto check = [this](std::uint64_t) {
    const sim::FinishReport report = finish();
    EXPECT_EQ(report.bracket_depth, 0);
    EXPECT_LE(report.terminate_calls, 1);
    EXPECT_EQ(report.terminate_calls, report.initialize_calls);
    EXPECT_EQ(report.unfreed_arrays, 0u);
    EXPECT_EQ(report.files_left_open, 0u);
    for (const auto &failure : report.failures)
      ADD_FAILURE() << failure;
  };
  const std::uint64_t n = fault_loop([this] { run(); }, check);
  EXPECT_GT(n, 5u);
}

} // namespace
