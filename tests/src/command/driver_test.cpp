// The command driver: refusals, the API bracket, the undo mark, the tips
// box, and a fault loop over a whole run.
#include "command/command.h"

#include "gbk_text.h"
#include "host/core.h"
#include "runtime/runtime.h"
#include "system_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using sim::Call;
using sim::EventKind;
using test_text::gbk;

constexpr const char *kLang = "D:\\kv_conf\\lang\\ncsheet_elec_uni.txt";

// Short texts for the driver's and the tips' keys; the first occurrence of
// a key wins, so they go in front of the installed file.
std::string short_texts(const std::string &skip = "") {
  std::string text;
  for (int i = 1; i <= 3; ++i) {
    const std::string key = "ufusr_0" + std::to_string(i) + ":";
    if (key != skip)
      text += key + "U" + std::to_string(i) + "\n";
  }
  for (int i = 1; i <= 11; ++i) {
    char key[32];
    std::snprintf(key, sizeof key, "did_you_kno_%02d:", i);
    if (key != skip)
      text += std::string(key) + "T" + std::to_string(i) + "\n";
  }
  return text;
}

std::string installed_lang() {
  std::ifstream in(sim::testing::installation_dir() / "lang" / "ncsheet_elec_uni.txt",
                   std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The tips box of the short texts.
const std::string kShortTips =
    "T1\n\nT2\nT3\nT4\nT5\nT6\nT7\n\nT8\nT9\n\nT10\nT11";

class Driver : public sim::testing::SystemTest {
protected:
  void prepare(sim::Session &s) override {
    if (with_part_) {
      SystemTest::prepare(s);
    } else {
      // As the default session, without a displayed part.
      const fs::path drive = root() / ("nopart" + std::to_string(++unmounted_)) / "D";
      fs::create_directories(drive / "kv_conf");
      fs::copy(sim::testing::installation_dir(), drive / "kv_conf",
               fs::copy_options::recursive);
      s.runtime().mount('D', drive);
      s.set_application(UF_APP_CAM);
    }
    if (short_texts_)
      write_lang(s, short_texts() + installed_lang());
  }

  void write_lang(sim::Session &s, const std::string &bytes) {
    const auto path = s.runtime().resolve(kLang);
    ASSERT_TRUE(path.has_value());
    std::ofstream out(*path, std::ios::binary | std::ios::trunc);
    out << bytes;
  }

  void run() {
    int rc = 0;
    ufusr(nullptr, &rc, 0);
  }
  std::vector<std::string> shown() { return transcript().messages_shown(); }
  std::uint32_t count(Call call) { return session().calls().count(call); }
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
  bool short_texts_ = true;
  int unmounted_ = 0;
};

TEST_F(Driver, FailedInitializeOnlyReportsTheFinalStatus) {
  fail("UF_initialize", 1, 8);
  run();
  EXPECT_TRUE(shown().empty());
  EXPECT_EQ(session().status_line(), "Item not found");
  ASSERT_EQ(transcript().texts(EventKind::Stderr).size(), 1u);
  EXPECT_EQ(transcript().texts(EventKind::Stderr)[0], "Item not found\n");
  EXPECT_EQ(count(Call::host_fopen), 0u);
  EXPECT_EQ(count(Call::UF_terminate), 0u);
}

TEST_F(Driver, MissingLanguageFileIsToldAndNothingElseHappens) {
  const auto path = session().runtime().resolve(kLang);
  ASSERT_TRUE(path.has_value());
  fs::remove(*path);
  run();
  EXPECT_EQ(shown(), std::vector<std::string>{gbk("找不到 ") + kLang +
                                              gbk(" 语言配置文件,请重新安装!")});
  EXPECT_EQ(count(Call::UF_PART_ask_display_part), 0u);
  EXPECT_EQ(session().status_line(), "");
  EXPECT_EQ(transcript().count(EventKind::Stderr), 0u);
  expect_closed_once();
}

class DriverMissingKey : public Driver, public ::testing::WithParamInterface<const char *> {};

TEST_P(DriverMissingKey, LookupsMessageAloneAndTheBracketCloses) {
  short_texts_ = false;
  new_session();
  // Only the short texts, without the one key.
  write_lang(session(), short_texts(GetParam()));
  run();
  EXPECT_EQ(shown(), std::vector<std::string>{gbk("在 ") + kLang + gbk(" 文件中找不到 ") +
                                              GetParam() + gbk(" 标题,请查看标题否正确!")});
  EXPECT_EQ(count(Call::UF_PART_ask_display_part), 0u);
  expect_closed_once();
}

INSTANTIATE_TEST_SUITE_P(Keys, DriverMissingKey,
                         ::testing::Values("ufusr_01:", "ufusr_02:", "ufusr_03:"));

TEST_F(Driver, NoDisplayedPartIsRefusedBeforeTheModuleIsAsked) {
  with_part_ = false;
  new_session();
  run();
  EXPECT_EQ(shown(), std::vector<std::string>{"U1"});
  EXPECT_EQ(count(Call::UF_ask_application_module), 0u);
  // The message is shown inside the bracket, then the bracket closes.
  EXPECT_LT(first(EventKind::MessageBox), first(EventKind::BracketClose));
  EXPECT_EQ(transcript().count(EventKind::OutsideBracket), 0u);
  expect_closed_once();
}

struct ModuleCase {
  int module_id;
  bool goes_on;
};

class DriverModule : public Driver, public ::testing::WithParamInterface<ModuleCase> {};

TEST_P(DriverModule, OnlyCamAndDraftingGoOn) {
  session().set_application(GetParam().module_id);
  run();
  const auto messages = shown();
  ASSERT_FALSE(messages.empty());
  if (GetParam().goes_on) {
    EXPECT_NE(messages[0], "U2");
    EXPECT_EQ(count(Call::UF_UNDO_set_mark), 1u);
    EXPECT_GE(count(Call::UF_SETUP_ask_setup), 1u);
  } else {
    EXPECT_EQ(messages, std::vector<std::string>{"U2"});
    EXPECT_EQ(count(Call::UF_UNDO_set_mark), 0u);
    EXPECT_LT(first(EventKind::MessageBox), first(EventKind::BracketClose));
  }
  expect_closed_once();
}

INSTANTIATE_TEST_SUITE_P(Modules, DriverModule,
                         ::testing::Values(ModuleCase{16, true}, ModuleCase{1, true},
                                           ModuleCase{0, false}, ModuleCase{2, false},
                                           ModuleCase{15, false}, ModuleCase{17, false}));

TEST_F(Driver, FailedModuleQueryIsRefusedLikeAnyOtherModule) {
  fail("UF_ask_application_module");
  run();
  EXPECT_EQ(shown(), std::vector<std::string>{"U2"});
  expect_closed_once();
}

TEST_F(Driver, SetsOneVisibleUnnamedUndoMark) {
  run();
  ASSERT_EQ(session().undo_marks().size(), 1u);
  EXPECT_TRUE(session().undo_marks()[0].visible);
  EXPECT_EQ(session().undo_marks()[0].name, "");
}

TEST_F(Driver, FailedUndoMarkIsReportedAndTheCommandGoesOn) {
  fail("UF_UNDO_set_mark");
  run();
  const auto lines = transcript().listing_lines();
  ASSERT_GE(lines.size(), 2u);
  const std::string suffix = ":  UF_UNDO_set_mark( UF_UNDO_visible, NULL, &mark_id )";
  EXPECT_NE(lines[0].find("ufusr.cpp, line "), std::string::npos) << lines[0];
  ASSERT_GE(lines[0].size(), suffix.size());
  EXPECT_EQ(lines[0].substr(lines[0].size() - suffix.size()), suffix);
  EXPECT_EQ(lines[1], "    error 1:  The operation failed");
  EXPECT_GE(count(Call::UF_SETUP_ask_setup), 1u);
  expect_closed_once();
}

TEST_F(Driver, FailedSetupQueryIsRefused) {
  fail("UF_SETUP_ask_setup", 1);
  run();
  EXPECT_EQ(shown(), std::vector<std::string>{"U3"});
  EXPECT_EQ(transcript().count(EventKind::Stderr), 0u);
  expect_closed_once();
}

TEST_F(Driver, TipsBoxOnTheFirstRunOnly) {
  run();
  auto messages = shown();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages[0], kShortTips);
  const std::size_t after_first = messages.size();
  run();
  messages = shown();
  ASSERT_GT(messages.size(), after_first);
  EXPECT_NE(messages[after_first], kShortTips);
  EXPECT_EQ(std::count(messages.begin(), messages.end(), kShortTips), 1);
}

TEST_F(Driver, TipsAreTriedAgainWhenAKeyWasMissing) {
  short_texts_ = false;
  new_session();
  write_lang(session(), short_texts("did_you_kno_07:"));
  run();
  const std::string notice = gbk("在 ") + kLang + gbk(" 文件中找不到 ") + "did_you_kno_07:" +
                             gbk(" 标题,请查看标题否正确!");
  auto messages = shown();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages[0], notice);
  const std::size_t after_first = messages.size();
  run();
  messages = shown();
  ASSERT_GT(messages.size(), after_first);
  EXPECT_EQ(messages[after_first], notice);
}

TEST_F(Driver, ElevenLongestTipsAreShownWhole) {
  short_texts_ = false;
  new_session();
  std::string text = "ufusr_01:U1\nufusr_02:U2\nufusr_03:U3\n";
  std::string expected;
  const char *after[] = {"\n\n", "\n", "\n", "\n", "\n", "\n", "\n\n", "\n", "\n\n", "\n", ""};
  for (int i = 1; i <= 11; ++i) {
    char key[32];
    std::snprintf(key, sizeof key, "did_you_kno_%02d:", i);
    const std::string tip(255, static_cast<char>('a' + i));
    text += std::string(key) + tip + "\n";
    expected += tip + after[i - 1];
  }
  write_lang(session(), text + installed_lang());
  run();
  const auto messages = shown();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages[0].size(), 2818u);
  EXPECT_EQ(messages[0], expected);
}

TEST_F(Driver, ModuleStateResetMakesTheTipsDueAgain) {
  run();
  reset_module_state();
  run();
  const auto messages = shown();
  EXPECT_EQ(std::count(messages.begin(), messages.end(), kShortTips), 2);
}

TEST_F(Driver, FaultLoopKeepsTheBracketBalanced) {
  const std::uint64_t n = fault_loop([this] { run(); },
                                     [this](std::uint64_t k) {
                                       const sim::FinishReport report = finish();
                                       EXPECT_EQ(report.bracket_depth, 0) << "fault " << k;
                                       EXPECT_LE(report.terminate_calls, 1) << "fault " << k;
                                       EXPECT_EQ(report.terminate_calls,
                                                 report.initialize_calls)
                                           << "fault " << k;
                                       EXPECT_EQ(report.unfreed_arrays, 0u) << "fault " << k;
                                       EXPECT_EQ(report.files_left_open, 0u) << "fault " << k;
                                       for (const auto &failure : report.failures)
                                         ADD_FAILURE() << "fault " << k << ": " << failure;
                                     });
  EXPECT_GT(n, 5u);
}

} // namespace
