// The definition file lookups: values, the EOF word and failure notices.
#include "my_func/my_func.h"

#include "gbk_text.h"
#include "host/core.h"
#include "system_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr const char *kDef = "D:\\kv_conf\\test.def";
constexpr const char *kMyFunc = "D:\\kv_conf\\lang\\my_func.txt";

// my_func.txt with short texts, so that composed notices are easy to read:
// key read_config_value_0N: gets VN, read_config_value_char_0N: gets CN.
std::string short_my_func() {
  std::string text = "# notices\n";
  for (int i = 1; i <= 9; ++i) {
    text += "read_config_value_0" + std::to_string(i) + ":V" + std::to_string(i) + "\n";
    text += "read_config_value_char_0" + std::to_string(i) + ":C" + std::to_string(i) + "\n";
  }
  return text;
}

struct Result {
  int result = -1;
  double number = -99.0;
  std::string word;
  std::vector<std::string> shown;
};

class ConfigLookup : public sim::testing::SystemTest {
protected:
  void SetUp() override {
    SystemTest::SetUp();
    write_file(kMyFunc, short_my_func());
  }
  Result number(const std::string &def, const char *key, const char *file = kDef) {
    write_file(kDef, def);
    Result r;
    EXPECT_EQ(UF_initialize(), 0);
    r.result = read_config_value(key, &r.number, file);
    EXPECT_EQ(UF_terminate(), 0);
    r.shown = transcript().messages_shown();
    return r;
  }
  Result word(const std::string &def, const char *key, const char *file = kDef) {
    write_file(kDef, def);
    Result r;
    char out[MESSAGE_BUFSIZE] = "untouched";
    EXPECT_EQ(UF_initialize(), 0);
    r.result = read_config_value_char(key, out, file);
    EXPECT_EQ(UF_terminate(), 0);
    r.word = out;
    r.shown = transcript().messages_shown();
    return r;
  }
};

struct NumberCase {
  const char *name;
  const char *def;
  double expected; // -99 means untouched
};

class NumberCases : public ConfigLookup, public ::testing::WithParamInterface<NumberCase> {};

TEST_P(NumberCases, ReadsTheNextWordAsANumber) {
  const NumberCase &c = GetParam();
  const Result r = number(c.def, "prog_sheet_high:");
  EXPECT_EQ(r.result, 1);
  EXPECT_EQ(r.number, c.expected);
  EXPECT_TRUE(r.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, NumberCases,
    ::testing::Values(NumberCase{"same_line", "prog_sheet_high: 297\n", 297.0},
                      NumberCase{"next_line", "prog_sheet_high:\n\n  297.5\n", 297.5},
                      NumberCase{"right_after_colon", "prog_sheet_high:12.25\n", 12.25},
                      NumberCase{"comma_then_more", "prog_sheet_high:, 7,8 9\n", 7.0},
                      NumberCase{"number_then_letters", "prog_sheet_high: 42mm\n", 42.0},
                      NumberCase{"letters_give_zero", "prog_sheet_high: abc\n", 0.0},
                      NumberCase{"sign_and_exponent", "prog_sheet_high: -1.5e2\n", -150.0},
                      // Words the C runtimes read differently read alike here.
                      NumberCase{"hexadecimal_is_its_zero", "prog_sheet_high: 0x10\n", 0.0},
                      NumberCase{"infinity_is_no_number", "prog_sheet_high: inf\n", 0.0},
                      NumberCase{"nan_is_no_number", "prog_sheet_high: nan\n", 0.0},
                      NumberCase{"eof_word_leaves_value", "prog_sheet_high: EOF\n", -99.0},
                      NumberCase{"eof_word_needs_no_separator", "prog_sheet_high: EOF", -99.0},
                      NumberCase{"eof_prefix_is_enough", "prog_sheet_high: EOFX 3\n", -99.0},
                      NumberCase{"first_occurrence_wins",
                                 "prog_sheet_high: 1\nprog_sheet_high: 2\n", 1.0},
                      NumberCase{"comment_before_key", "# the sheet\nprog_sheet_high: 3\n", 3.0},
                      NumberCase{"crlf_lines", "a: 1\r\nprog_sheet_high:\r\n4\r\n", 4.0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(ConfigLookup, TextValuesAreTakenUnchanged) {
  EXPECT_EQ(word("post_folder: D:\\nc\\\n", "post_folder:").word, "D:\\nc\\");
  EXPECT_EQ(word("post_category_1:\nISO_MILL,x\n", "post_category_1:").word, "ISO_MILL");
  // The EOF word is an ordinary word for text.
  EXPECT_EQ(word("post_category_1: EOF\n", "post_category_1:").word, "EOF");
  EXPECT_EQ(word("post_category_1: a\npost_category_1: b\n", "post_category_1:").word, "a");
  // A value word is cut after 255 characters.
  const Result r = word("post_category_1: " + std::string(300, 'w') + "\n", "post_category_1:");
  EXPECT_EQ(r.result, 1);
  EXPECT_EQ(r.word, std::string(255, 'w'));
}

TEST_F(ConfigLookup, NumberNoticesAreComposedFromMyFunc) {
  const std::string def = kDef;
  Result r = number("x: 1\n", "prog_sheet_high:", "D:\\kv_conf\\none.def");
  EXPECT_EQ(r.result, 0);
  EXPECT_EQ(r.number, -99.0);
  ASSERT_EQ(r.shown.size(), 1u);
  EXPECT_EQ(r.shown[0], "V1 D:\\kv_conf\\none.def V2");

  new_session();
  write_file(kMyFunc, short_my_func());
  r = number("x: 1\n", "prog_sheet_high:");
  ASSERT_EQ(r.shown.size(), 1u);
  EXPECT_EQ(r.shown[0], "V3 " + def + " V4 prog_sheet_high: V5 prog_sheet_high: V6");

  new_session();
  write_file(kMyFunc, short_my_func());
  // The value cut off by the end of the file counts as missing.
  r = number("prog_sheet_high: 297", "prog_sheet_high:");
  EXPECT_EQ(r.result, 0);
  EXPECT_EQ(r.number, -99.0);
  ASSERT_EQ(r.shown.size(), 1u);
  EXPECT_EQ(r.shown[0], "V7 " + def + " V8 prog_sheet_high: V9");
}

TEST_F(ConfigLookup, WordNoticesAreComposedFromMyFunc) {
  const std::string def = kDef;
  Result r = word("x: 1\n", "post_folder:", "D:\\kv_conf\\none.def");
  EXPECT_EQ(r.result, 0);
  EXPECT_EQ(r.word, "untouched");
  ASSERT_EQ(r.shown.size(), 1u);
  EXPECT_EQ(r.shown[0], "C1 D:\\kv_conf\\none.def C2");

  new_session();
  write_file(kMyFunc, short_my_func());
  r = word("x: 1\n", "post_folder:");
  ASSERT_EQ(r.shown.size(), 1u);
  EXPECT_EQ(r.shown[0], "C3 " + def + " C4 post_folder: C5");

  new_session();
  write_file(kMyFunc, short_my_func());
  r = word("post_folder:\n\n", "post_folder:");
  EXPECT_EQ(r.word, "untouched");
  ASSERT_EQ(r.shown.size(), 1u);
  EXPECT_EQ(r.shown[0], "C6 " + def + " C7 post_folder: C8 post_folder: C9");
}

TEST_F(ConfigLookup, MissingNoticeTextShowsTheLanguageLookupsOwnMessage) {
  // my_func.txt lacks the second text of the missing-file notice.
  write_file(kMyFunc, "read_config_value_01:V1\n");
  const Result r = number("", "prog_sheet_high:", "D:\\kv_conf\\none.def");
  EXPECT_EQ(r.result, 0);
  ASSERT_EQ(r.shown.size(), 1u);
  EXPECT_EQ(r.shown[0], test_text::gbk("在 ") + kMyFunc + test_text::gbk(" 文件中找不到 ") +
                            "read_config_value_02:" +
                            test_text::gbk(" 标题,请查看标题否正确!"));
}

TEST_F(ConfigLookup, LongestNoticeIsShownWhole) {
  // Four texts of 255 characters, a long path and a key of 255 characters
  // named twice.
  std::string texts;
  for (int i = 1; i <= 9; ++i)
    texts += "read_config_value_0" + std::to_string(i) + ":" + std::string(255, 'a' + i) + "\n";
  write_file(kMyFunc, texts);
  const std::string key = std::string(254, 'k') + ":";
  const Result r = number("x: 1\n", key.c_str());
  ASSERT_EQ(r.shown.size(), 1u);
  const std::string expected = std::string(255, 'd') + " " + kDef + " " + std::string(255, 'e') +
                               " " + key + " " + std::string(255, 'f') + " " + key + " " +
                               std::string(255, 'g');
  EXPECT_EQ(r.shown[0], expected);
}

TEST_F(ConfigLookup, DefinitionFileIsClosedOnEveryWayOut) {
  EXPECT_EQ(number("a: 1\n", "a:").result, 1);
  EXPECT_EQ(number("a: 1\n", "b:").result, 0);
  EXPECT_EQ(number("a:", "a:").result, 0);
  EXPECT_EQ(word("a: x\n", "a:").result, 1);
  EXPECT_EQ(word("a:", "a:").result, 0);
  const sim::FinishReport report = finish();
  EXPECT_EQ(report.files_left_open, 0u);
  EXPECT_TRUE(report.ok());
}

} // namespace
