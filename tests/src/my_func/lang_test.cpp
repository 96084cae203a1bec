// The language file lookup: byte behaviour and failure notices.
#include "my_func/my_func.h"

#include "gbk_text.h"
#include "host/core.h"
#include "system_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using test_text::gbk;

constexpr const char *kFile = "D:\\kv_conf\\lang\\lookup.txt";

struct Lookup {
  int result = -1;
  std::string out;
  std::vector<std::string> shown;
};

class LangLookup : public sim::testing::SystemTest {
protected:
  // Runs one lookup of key in file, inside the API bracket.
  Lookup lookup(const char *key, const char *file = kFile) {
    Lookup r;
    char out[MESSAGE_BUFSIZE] = "untouched";
    EXPECT_EQ(UF_initialize(), 0);
    r.result = read_lang_message(key, out, file);
    EXPECT_EQ(UF_terminate(), 0);
    r.out = out;
    r.shown = transcript().messages_shown();
    return r;
  }
  Lookup lookup_in(const std::string &bytes, const char *key) {
    new_session();
    write_file(kFile, bytes);
    return lookup(key);
  }

  static std::string no_key(const std::string &file, const std::string &key) {
    return gbk("在 ") + file + gbk(" 文件中找不到 ") + key + gbk(" 标题,请查看标题否正确!");
  }
  static std::string no_text(const std::string &file, const std::string &key) {
    return gbk("在 ") + file + gbk(" 文件中读数据错误,找不到 ") + key + gbk(" 的数据,请查看是否有 ") +
           key + gbk(" 的数据!");
  }
};

struct Case {
  const char *name;
  std::string file;
  const char *key;
  const char *message; // null: the lookup fails
  int notice;          // 2 key not found, 3 file ends before the message
};

const std::string k300(300, 'm');

const Case kCases[] = {
    {"text_right_after_colon", "ufusr_01:Hello\n", "ufusr_01:", "Hello", 0},
    {"blank_after_colon_is_kept", "ufusr_01: Hello\n", "ufusr_01:", " Hello", 0},
    {"key_alone_then_empty_line", "ufusr_01:\n\nHello there\n", "ufusr_01:", "Hello there", 0},
    {"blank_line_is_not_empty", "ufusr_01:\n \nHello\n", "ufusr_01:", " ", 0},
    {"extra_character_in_front", "xufusr_01:Hello\n", "ufusr_01:", nullptr, 2},
    {"comma_after_colon_is_first_char", "ufusr_01:,a\n", "ufusr_01:", ",a", 0},
    {"commas_and_blanks_kept", "ufusr_01:a, b ,c\n", "ufusr_01:", "a, b ,c", 0},
    {"separators_before_key", "a b,ufusr_01:x\n", "ufusr_01:", "x", 0},
    {"tab_is_an_ordinary_character", "\tufusr_01:x\n", "ufusr_01:", nullptr, 2},
    {"tab_inside_message_kept", "ufusr_01:a\tb\n", "ufusr_01:", "a\tb", 0},
    {"first_occurrence_wins", "ufusr_01:first\nufusr_01:second\n", "ufusr_01:", "first", 0},
    {"key_inside_another_message_wins", "ufusr_02:see ufusr_01:inner\nufusr_01:outer\n",
     "ufusr_01:", "inner", 0},
    {"cr_before_lf_not_seen", "ufusr_01:Hello\r\nufusr_02:x\r\n", "ufusr_01:", "Hello", 0},
    {"cr_lines_before_message", "ufusr_01:\r\n\r\nHello\r\n", "ufusr_01:", "Hello", 0},
    {"missing_final_line_feed", "ufusr_01:Hello", "ufusr_01:", nullptr, 3},
    {"key_at_end_of_file", "ufusr_01:", "ufusr_01:", nullptr, 3},
    {"only_empty_lines_after_key", "ufusr_01:\n\n", "ufusr_01:", nullptr, 3},
    {"empty_file", "", "ufusr_01:", nullptr, 2},
    {"key_without_colon_in_file", "ufusr_01 Hello\n", "ufusr_01:", nullptr, 2},
    {"long_message_cut_at_255", "ufusr_01:" + k300 + "\n", "ufusr_01:", nullptr, 0},
    {"message_of_255_then_eof", "ufusr_01:" + std::string(255, 'm'), "ufusr_01:", nullptr, 0},
    // A word of 255 characters: the 256th character empties it and is
    // dropped, so the key may start right after it...
    {"word_cut_after_255", std::string(255, 'a') + "Xufusr_01:x\n", "ufusr_01:", "x", 0},
    // ...but not with it.
    {"word_cut_eats_first_key_char", std::string(255, 'a') + "ufusr_01:x\n", "ufusr_01:",
     nullptr, 2},
};

class LangCases : public LangLookup, public ::testing::WithParamInterface<Case> {};

TEST_P(LangCases, ReadsLikeTheScanner) {
  const Case &c = GetParam();
  const Lookup r = lookup_in(c.file, c.key);
  const std::string name = c.name;
  if (name == "long_message_cut_at_255") {
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.out, std::string(255, 'm'));
    EXPECT_TRUE(r.shown.empty());
    return;
  }
  if (name == "message_of_255_then_eof") {
    // 255 characters fill the message; the end of the file then comes
    // before its line ended.
    EXPECT_EQ(r.result, 0);
    ASSERT_EQ(r.shown.size(), 1u);
    EXPECT_EQ(r.shown[0], no_text(kFile, c.key));
    return;
  }
  if (c.message != nullptr) {
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.out, c.message);
    EXPECT_TRUE(r.shown.empty());
    return;
  }
  EXPECT_EQ(r.result, 0);
  EXPECT_EQ(r.out, "untouched");
  ASSERT_EQ(r.shown.size(), 1u);
  EXPECT_EQ(r.shown[0], c.notice == 2 ? no_key(kFile, c.key) : no_text(kFile, c.key));
}

INSTANTIATE_TEST_SUITE_P(Table, LangCases, ::testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(LangLookup, MissingFileIsNamed) {
  const Lookup r = lookup("ufusr_01:", "D:\\kv_conf\\lang\\none.txt");
  EXPECT_EQ(r.result, 0);
  EXPECT_EQ(r.out, "untouched");
  ASSERT_EQ(r.shown.size(), 1u);
  EXPECT_EQ(r.shown[0],
            gbk("找不到 ") + "D:\\kv_conf\\lang\\none.txt" + gbk(" 语言配置文件,请重新安装!"));
}

TEST_F(LangLookup, FileIsClosedOnEveryWayOut) {
  write_file(kFile, "ufusr_01:x\nufusr_02:");
  EXPECT_EQ(lookup("ufusr_01:").result, 1);
  EXPECT_EQ(lookup("ufusr_02:").result, 0);
  EXPECT_EQ(lookup("ufusr_03:").result, 0);
  const sim::FinishReport report = finish();
  EXPECT_EQ(report.files_left_open, 0u);
  EXPECT_TRUE(report.ok());
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
