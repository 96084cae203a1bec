// The menu (uc1603) and the file dialog: responses for every kind of
// answer, empty items, and what the operator saw.
#include "session_fixture.h"
#include "host/ui.h"
#include "session/status.h"
#include "ui/operator.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstring>
#include <string>
#include <tuple>

namespace {

using nlohmann::json;

class Menu : public sim::testing::SessionTest {
protected:
  char items[5][UC1603_ITEM_BUFSIZE] = {"ISO_MILL_3AX", "DIALOG_MILL_3AX", "", "ISO_MILL_4AX",
                                        "ISO_MILL_5AX"};
};

// An answer picks an item, Back, Cancel or the default; one that fits no
// item cancels and fails the run.
TEST_F(Menu, AnswersGiveTheirResponses) {
  const std::tuple<json, int, bool> cases[] = {
      {1, 5, false},         {5, 9, false},        {3, 7, false}, // the empty item can be picked
      {"Back", 1, false},    {"Cancel", 2, false}, {"DIALOG_MILL_3AX", 6, false},
      {"default", 8, false}, {0, 2, true},         {6, 2, true},
      {"NOPE", 2, true},     {"", 2, true},        {2.5, 2, true},
      {true, 2, true},
  };
  for (const auto &[menu, expected, failed] : cases) {
    new_session();
    answer({{"menu", menu}});
    EXPECT_EQ(uc1603("Choose", failed ? 0 : 4, items, 5), expected) << menu.dump();
    EXPECT_EQ(session().run_failed(), failed) << menu.dump();
  }
}

TEST_F(Menu, NoDefaultNoAnswerOrNoItemsCancel) {
  answer({{"menu", "default"}});
  EXPECT_EQ(uc1603("Choose", 0, items, 5), 2); // no default item
  new_session();
  EXPECT_EQ(uc1603("Choose", 1, items, 5), 2); // no answer left
  EXPECT_TRUE(session().run_failed());
  // Impossible item counts are refused without asking.
  new_session();
  EXPECT_EQ(uc1603("Choose", 1, items, 0), 2);
  EXPECT_EQ(uc1603("Choose", 1, nullptr, 3), 2);
  EXPECT_EQ(session().op().answered(), 0u);
}

TEST_F(Menu, ShowsTitleAndItemsAsGivenEmptyOnesBlank) {
  char full[1][UC1603_ITEM_BUFSIZE];
  std::memset(full[0], 'X', UC1603_ITEM_BUFSIZE); // no terminator: 38 bytes shown
  answer({{"menu", 1}});
  EXPECT_EQ(uc1603("T\xd6\xd0", 1, full, 1), 5);
  answer({{"menu", 3}});
  EXPECT_EQ(uc1603("Choose", 1, items, 5), 7);
  const std::vector<std::string> questions = transcript().details(sim::EventKind::Question);
  ASSERT_EQ(questions.size(), 2u);
  EXPECT_NE(questions[0].find(std::string(UC1603_ITEM_BUFSIZE, 'X')), std::string::npos)
      << questions[0];
  EXPECT_EQ(questions[0].find(std::string(UC1603_ITEM_BUFSIZE + 1, 'X')), std::string::npos);
}

class FileBox : public sim::testing::SessionTest {
protected:
  int ask(const json &file, char *name) {
    answer({{"file", file}});
    int response = 0;
    EXPECT_EQ(UF_UI_create_filebox("Prompt", "Title", "D:\\nc\\A01.mpf", "", name, &response), 0);
    return response;
  }
};

TEST_F(FileBox, OkCancelAndTheFilter) {
  char name[UF_UI_FILENAME_BUFSIZE] = "junk";
  EXPECT_EQ(ask("D:\\nc\\out\\x.nc", name), UF_UI_OK);
  EXPECT_STREQ(name, "D:\\nc\\out\\x.nc");
  EXPECT_EQ(ask("Cancel", name), UF_UI_CANCEL);
  EXPECT_STREQ(name, "");
  EXPECT_EQ(ask("OK", name), UF_UI_OK); // accepts the name shown
  EXPECT_STREQ(name, "D:\\nc\\A01.mpf");
  EXPECT_EQ(ask("D:\\\u7a0b\u5f0f\\a.nc", name), UF_UI_OK); // GBK bytes in the name
  EXPECT_STREQ(name, "D:\\\xb3\xcc\xca\xbd\\a.nc");
  EXPECT_FALSE(session().run_failed());
}

TEST_F(FileBox, NamesThatCannotFitAreRefused) {
  char name[UF_UI_FILENAME_BUFSIZE] = "junk";
  EXPECT_EQ(ask(std::string(255, 'a'), name), UF_UI_OK);
  EXPECT_EQ(std::strlen(name), 255u);
  EXPECT_EQ(ask(std::string(256, 'a'), name), UF_UI_CANCEL);
  EXPECT_TRUE(session().run_failed());
}

TEST_F(FileBox, NoAnswerLeftCancels) {
  char name[UF_UI_FILENAME_BUFSIZE] = "junk";
  int response = 0;
  ASSERT_EQ(UF_UI_create_filebox("P", "T", "F", "", name, &response), 0);
  EXPECT_EQ(response, UF_UI_CANCEL);
  EXPECT_TRUE(session().run_failed());
  EXPECT_EQ(UF_UI_create_filebox("P", "T", "F", "", nullptr, &response), sim::status::kBadArgument);
}

} // namespace
