// The language file lookup: byte behaviour and failure notices.
#include "lookup_fixture.h"

namespace my_func_test {
namespace {

using test_text::gbk;

constexpr const char *kFile = "D:\\kv_conf\\lang\\lookup.txt";
constexpr const char *kKey = "ufusr_01:";

class LangLookup : public LookupTest {
protected:
  Lookup lookup(const char *key, const char *file = kFile) {
    return bracket([&](char *out, double *) { return read_lang_message(key, out, file); });
  }
};

// A lookup of ufusr_01: in file gives message, or (notice 2) the key is
// not found or (notice 3) the file ends before the message.
struct Case {
  const char *name;
  std::string file;
  std::string message;
  int notice = 0;
};

const Case kCases[] = {
    {"text_right_after_colon", "ufusr_01:Hello\n", "Hello"},
    {"blank_after_colon_is_kept", "ufusr_01: Hello\n", " Hello"},
    {"key_alone_then_empty_line", "ufusr_01:\n\nHello there\n", "Hello there"},
    {"blank_line_is_not_empty", "ufusr_01:\n \nHello\n", " "},
    {"extra_character_in_front", "xufusr_01:Hello\n", "", 2},
    {"comma_after_colon_is_first_char", "ufusr_01:,a\n", ",a"},
    {"commas_and_blanks_kept", "ufusr_01:a, b ,c\n", "a, b ,c"},
    {"separators_before_key", "a b,ufusr_01:x\n", "x"},
    {"tab_is_an_ordinary_character", "\tufusr_01:x\n", "", 2},
    {"tab_inside_message_kept", "ufusr_01:a\tb\n", "a\tb"},
    {"first_occurrence_wins", "ufusr_01:first\nufusr_01:second\n", "first"},
    {"key_inside_another_message_wins", "ufusr_02:see ufusr_01:inner\nufusr_01:outer\n", "inner"},
    {"cr_before_lf_not_seen", "ufusr_01:Hello\r\nufusr_02:x\r\n", "Hello"},
    {"cr_lines_before_message", "ufusr_01:\r\n\r\nHello\r\n", "Hello"},
    {"missing_final_line_feed", "ufusr_01:Hello", "", 3},
    {"key_at_end_of_file", "ufusr_01:", "", 3},
    {"only_empty_lines_after_key", "ufusr_01:\n\n", "", 3},
    {"empty_file", "", "", 2},
    {"key_without_colon_in_file", "ufusr_01 Hello\n", "", 2},
    {"long_message_cut_at_255", "ufusr_01:" + std::string(300, 'm') + "\n", std::string(255, 'm')},
    // 255 characters fill the message; the end of the file then comes
    // before its line ended.
    {"message_of_255_then_eof", "ufusr_01:" + std::string(255, 'm'), "", 3},
    // A word of 255 characters: the 256th character empties it and is
    // dropped, so the key may start right after it...
    {"word_cut_after_255", std::string(255, 'a') + "Xufusr_01:x\n", "x"},
    // ...but not with it.
    {"word_cut_eats_first_key_char", std::string(255, 'a') + "ufusr_01:x\n", "", 2},
};

class LangCases : public LangLookup, public ::testing::WithParamInterface<Case> {};

TEST_P(LangCases, ReadsLikeTheScanner) {
  const Case &c = GetParam();
  write_file(kFile, c.file);
  const Lookup r = lookup(kKey);
  EXPECT_EQ(r.result, c.notice == 0);
  EXPECT_EQ(r.out, c.notice == 0 ? c.message : "untouched");
  if (c.notice == 0) {
    EXPECT_TRUE(r.shown.empty());
  } else {
    EXPECT_EQ(r.shown,
              std::vector<std::string>{c.notice == 2 ? no_key(kFile, kKey) : no_text(kFile, kKey)});
  }
}

INSTANTIATE_TEST_SUITE_P(Table, LangCases, ::testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(LangLookup, MissingFileIsNamed) {
  const Lookup r = lookup("ufusr_01:", "D:\\kv_conf\\lang\\none.txt");
  EXPECT_EQ(r.result, 0);
  EXPECT_EQ(r.out, "untouched");
  ASSERT_EQ(r.shown.size(), 1u);
  EXPECT_EQ(r.shown[0], test_text::no_lang_file("D:\\kv_conf\\lang\\none.txt"));
}

TEST_F(LangLookup, LongestNoticeIsShownWhole) {
  // A long path and a key of 255 characters: the notice naming the key
  // twice is composed whole.
  const std::string folder = "D:\\kv_conf\\" + std::string(200, 'f');
  const std::string file = folder + "\\lang.txt";
  const std::string key = std::string(254, 'k') + ":";
  write_file(file, "x " + key);
  const Lookup r = lookup(key.c_str(), file.c_str());
  EXPECT_EQ(r.result, 0);
  ASSERT_EQ(r.shown.size(), 1u);
  EXPECT_EQ(r.shown[0], no_text(file, key));
}

TEST_F(LangLookup, ReadsTheInstalledGbkText) {
  const Lookup r = lookup("ufusr_01:", "D:\\kv_conf\\lang\\ncsheet_elec_uni.txt");
  EXPECT_EQ(r.result, 1);
  EXPECT_EQ(r.out, gbk("当前没有显示的部件，请先打开要出程式单的部件！"));
}

} // namespace
} // namespace my_func_test
