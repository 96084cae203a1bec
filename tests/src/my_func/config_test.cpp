// The definition file lookups: values, the EOF word and failure notices.
#include "lookup_fixture.h"

#include <tuple>

namespace my_func_test {
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

class ConfigLookup : public LookupTest {
protected:
  void SetUp() override {
    SystemTest::SetUp();
    write_file(kMyFunc, short_my_func());
  }
  // A number (or a text) looked up in file, kDef holding def.
  Lookup lookup(bool text, const std::string &def, const char *key, const char *file = kDef) {
    write_file(kDef, def);
    return bracket([&](char *out, double *number) {
      return text ? read_config_value_char(key, out, file) : read_config_value(key, number, file);
    });
  }
  Lookup number(const std::string &def, const char *key, const char *file = kDef) {
    return lookup(false, def, key, file);
  }
  Lookup word(const std::string &def, const char *key, const char *file = kDef) {
    return lookup(true, def, key, file);
  }
};

// A number looked up in a session of its own; -99 means untouched.
TEST_F(ConfigLookup, ReadsTheNextWordAsANumber) {
  const std::tuple<const char *, const char *, double> cases[] = {
      {"same_line", "prog_sheet_high: 297\n", 297.0},
      {"next_line", "prog_sheet_high:\n\n  297.5\n", 297.5},
      {"right_after_colon", "prog_sheet_high:12.25\n", 12.25},
      {"comma_then_more", "prog_sheet_high:, 7,8 9\n", 7.0},
      {"number_then_letters", "prog_sheet_high: 42mm\n", 42.0},
      {"letters_give_zero", "prog_sheet_high: abc\n", 0.0},
      {"sign_and_exponent", "prog_sheet_high: -1.5e2\n", -150.0},
      // Words the C runtimes read differently read alike here.
      {"hexadecimal_is_its_zero", "prog_sheet_high: 0x10\n", 0.0},
      {"infinity_is_no_number", "prog_sheet_high: inf\n", 0.0},
      {"nan_is_no_number", "prog_sheet_high: nan\n", 0.0},
      {"eof_word_leaves_value", "prog_sheet_high: EOF\n", -99.0},
      {"eof_word_needs_no_separator", "prog_sheet_high: EOF", -99.0},
      {"eof_prefix_is_enough", "prog_sheet_high: EOFX 3\n", -99.0},
      {"first_occurrence_wins", "prog_sheet_high: 1\nprog_sheet_high: 2\n", 1.0},
      {"comment_before_key", "# the sheet\nprog_sheet_high: 3\n", 3.0},
      {"crlf_lines", "a: 1\r\nprog_sheet_high:\r\n4\r\n", 4.0}};
  for (const auto &[name, def, expected] : cases) {
    SCOPED_TRACE(name);
    fresh();
    write_file(kMyFunc, short_my_func());
    const Lookup r = number(def, "prog_sheet_high:");
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.number, expected);
    EXPECT_TRUE(r.shown.empty());
  }
}

TEST_F(ConfigLookup, TextValuesAreTakenUnchanged) {
  EXPECT_EQ(word("post_folder: D:\\nc\\\n", "post_folder:").out, "D:\\nc\\");
  EXPECT_EQ(word("post_category_1:\nISO_MILL,x\n", "post_category_1:").out, "ISO_MILL");
  // The EOF word is an ordinary word for text.
  EXPECT_EQ(word("post_category_1: EOF\n", "post_category_1:").out, "EOF");
  EXPECT_EQ(word("post_category_1: a\npost_category_1: b\n", "post_category_1:").out, "a");
  // A value word is cut after 255 characters.
  const Lookup r = word("post_category_1: " + std::string(300, 'w') + "\n", "post_category_1:");
  EXPECT_EQ(r.result, 1);
  EXPECT_EQ(r.out, std::string(255, 'w'));
}

TEST_F(ConfigLookup, NoticesAreComposedFromMyFunc) {
  const std::tuple<bool, const char *, const char *, const char *, const char *> cases[] = {
      // a missing file, a missing key, a value cut off by the end of the file
      {false, "x: 1\n", "prog_sheet_high:", "D:\\kv_conf\\none.def", "V1 D:\\kv_conf\\none.def V2"},
      {false, "x: 1\n", "prog_sheet_high:", kDef,
       "V3 D:\\kv_conf\\test.def V4 prog_sheet_high: V5 prog_sheet_high: V6"},
      {false, "prog_sheet_high: 297", "prog_sheet_high:", kDef,
       "V7 D:\\kv_conf\\test.def V8 prog_sheet_high: V9"},
      {true, "x: 1\n", "post_folder:", "D:\\kv_conf\\none.def", "C1 D:\\kv_conf\\none.def C2"},
      {true, "x: 1\n", "post_folder:", kDef, "C3 D:\\kv_conf\\test.def C4 post_folder: C5"},
      {true, "post_folder:\n\n", "post_folder:", kDef,
       "C6 D:\\kv_conf\\test.def C7 post_folder: C8 post_folder: C9"},
  };
  for (const auto &[text, def, key, file, notice] : cases) {
    SCOPED_TRACE(notice);
    new_session();
    write_file(kMyFunc, short_my_func());
    const Lookup r = lookup(text, def, key, file);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.number, -99.0);
    EXPECT_EQ(r.out, "untouched");
    EXPECT_EQ(r.shown, std::vector<std::string>{notice});
  }
}

TEST_F(ConfigLookup, MissingNoticeTextShowsTheLanguageLookupsOwnMessage) {
  // my_func.txt lacks the second text of the missing-file notice.
  write_file(kMyFunc, "read_config_value_01:V1\n");
  const Lookup r = number("", "prog_sheet_high:", "D:\\kv_conf\\none.def");
  EXPECT_EQ(r.result, 0);
  ASSERT_EQ(r.shown.size(), 1u);
  EXPECT_EQ(r.shown[0], no_key(kMyFunc, "read_config_value_02:"));
}

TEST_F(ConfigLookup, LongestNoticeIsShownWhole) {
  // Four texts of 255 characters, a long path and a key of 255 characters
  // named twice.
  std::string texts;
  for (int i = 1; i <= 9; ++i)
    texts += "read_config_value_0" + std::to_string(i) + ":" + std::string(255, 'a' + i) + "\n";
  write_file(kMyFunc, texts);
  const std::string key = std::string(254, 'k') + ":";
  const Lookup r = number("x: 1\n", key.c_str());
  ASSERT_EQ(r.shown.size(), 1u);
  const std::string expected = std::string(255, 'd') + " " + kDef + " " + std::string(255, 'e') +
                               " " + key + " " + std::string(255, 'f') + " " + key + " " +
                               std::string(255, 'g');
  EXPECT_EQ(r.shown[0], expected);
}

} // namespace
} // namespace my_func_test
