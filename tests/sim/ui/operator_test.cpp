// Message boxes, message dialogs, the operator's answers (scripted and at a
// terminal), the listing window and the status, prompt and output lines.
#include "session_fixture.h"

#include "host/host_runtime.h"
#include "host/core.h"
#include "host/ui.h"
#include "session/status.h"
#include "ui/operator.h"

#include <algorithm>
#include <sstream>

namespace sim::testing {
namespace {

class OperatorTest : public SessionTest {
protected:
  void SetUp() override {
    SessionTest::SetUp();
    ASSERT_EQ(UF_initialize(), 0);
  }

  /// YES (1), BACK (2) and NO (3), the slots shown as asked.
  static UF_UI_message_buttons_t buttons(bool yes, bool back, bool no) {
    UF_UI_message_buttons_t b{};
    b.button1 = yes, b.button2 = back, b.button3 = no;
    b.label1 = "YES", b.label2 = "BACK", b.label3 = "NO";
    b.response1 = 1, b.response2 = 2, b.response3 = 3;
    return b;
  }
  /// Shows the overwrite question: YES and NO, BACK hidden.
  int ask_yes_no(const char *text, int *status = nullptr) {
    UF_UI_message_buttons_t buttons = this->buttons(true, false, true);
    char line[64];
    std::snprintf(line, sizeof line, "%s", text);
    char *messages[] = {line};
    int response = -1;
    const int result =
        UF_UI_message_dialog("", UF_UI_MESSAGE_WARNING, messages, 1, FALSE, &buttons, &response);
    if (status)
      *status = result;
    return response;
  }
};

TEST_F(OperatorTest, MessageBoxesNeedNoAnswer) {
  answer({{"buttons", "YES"}});
  EXPECT_EQ(uc1601("\xd5\xd2\xb2\xbb\xb5\xbd", 1), 1); // 找不到
  EXPECT_EQ(uc1601("passing", 0), 0);
  EXPECT_EQ(transcript().messages_shown(),
            (std::vector<std::string>{"\xd5\xd2\xb2\xbb\xb5\xbd", "passing"}));
  EXPECT_EQ(session().op().remaining(), 1u);
  EXPECT_EQ(UF_terminate(), 0);
  EXPECT_TRUE(finish().ok()) << "answers left over do not fail the run";
  EXPECT_EQ(transcript().details(EventKind::Note),
            std::vector<std::string>{"1 scripted answer(s) left unused"});
}

TEST_F(OperatorTest, OneButtonDialogIsShownNotAsked) {
  UF_UI_message_buttons_t buttons = this->buttons(true, false, false);
  char tip[] = "tip one\n\ntip two";
  char *messages[] = {tip};
  int response = 0;
  EXPECT_EQ(UF_UI_message_dialog("", 1, messages, 1, FALSE, &buttons, &response), 0);
  EXPECT_EQ(response, 1);
  EXPECT_EQ(transcript().count(EventKind::MessageBox), 1u);
  EXPECT_EQ(transcript().count(EventKind::Question), 0u);
}

TEST_F(OperatorTest, ScriptedAnswersChooseButtons) {
  const struct {
    nlohmann::json answer;
    int response;
    bool failed;
  } cases[] = {
      {{{"buttons", "YES"}}, 1, false},  {{{"buttons", "no"}}, 3, false},
      {{{"button", 1}}, 1, false},       {{{"button", 3}}, 3, false},
      {{{"button", 2}}, 3, true},        // hidden slot: fails, takes NO
      {{{"buttons", "MAYBE"}}, 3, true}, // no such label
      {{{"menu", 1}}, 3, true},          // answer of another kind
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.answer.dump());
    new_session();
    ASSERT_EQ(UF_initialize(), 0);
    answer(c.answer);
    int status = -1;
    EXPECT_EQ(ask_yes_no("D:\\nc\\A01.nc  exists", &status), c.response);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(session().run_failed(), c.failed);
    EXPECT_EQ(session().op().remaining(), 0u);
  }
}

TEST_F(OperatorTest, NoAnswerLeftTakesTheSafeWayAndFailsTheRun) {
  EXPECT_EQ(ask_yes_no("overwrite D:\\nc\\A01.nc?"), 3);
  ASSERT_EQ(session().failures().size(), 1u);
  EXPECT_NE(session().failures()[0].find("no answer left for message_dialog question "
                                         "\"overwrite D:\\nc\\A01.nc?\""),
            std::string::npos)
      << session().failures()[0];
  const std::vector<Event> &events = transcript().events();
  const auto answer = std::find_if(events.rbegin(), events.rend(),
                                   [](const Event &e) { return e.kind == EventKind::Answer; });
  ASSERT_NE(answer, events.rend());
  EXPECT_EQ(answer->value, 3);
  EXPECT_NE(answer->detail.find("none left"), std::string::npos);
}

TEST_F(OperatorTest, BadDialogArgumentsAreRefused) {
  int response = 0;
  UF_UI_message_buttons_t none{};
  char text[] = "x";
  char *messages[] = {text};
  EXPECT_EQ(UF_UI_message_dialog("", 1, messages, 1, FALSE, &none, &response),
            status::kBadArgument);
  EXPECT_EQ(UF_UI_message_dialog("", 1, messages, 1, FALSE, nullptr, &response),
            status::kBadArgument);
  EXPECT_EQ(UF_UI_message_dialog("", 1, nullptr, 1, FALSE, &none, &response), status::kBadArgument);
}

TEST_F(OperatorTest, TerminalModeAsksThePerson) {
  std::istringstream in("maybe\n2\n\n");
  std::ostringstream out;
  session().op().set_terminal(in, out);
  session().op().set_mode(Operator::Mode::Terminal);
  EXPECT_EQ(ask_yes_no("overwrite?"), 3); // "maybe" is explained and asked again, "2" is NO
  EXPECT_NE(out.str().find("? \"maybe\" is not an answer to this question."), std::string::npos);
  EXPECT_EQ(uc1601("\xd5\xd2", 1), 1); // shown as UTF-8, Enter goes on
  EXPECT_NE(out.str().find("overwrite?"), std::string::npos);
  EXPECT_NE(out.str().find("找"), std::string::npos);
  EXPECT_FALSE(session().run_failed());
  // Input ends: the question, and every later one, takes its safe way
  // without failing the run, and the scripted answers are not turned to.
  session().op().queue({{"buttons", "YES"}});
  EXPECT_EQ(ask_yes_no("again?"), 3);
  EXPECT_EQ(ask_yes_no("and again?"), 3);
  EXPECT_FALSE(session().run_failed());
  EXPECT_EQ(session().op().remaining(), 1u);
  EXPECT_NE(out.str().find("(end of input: Cancel)"), std::string::npos);
}

TEST_F(OperatorTest, ListingStatusPromptAndOutputs) {
  EXPECT_EQ(UF_UI_write_listing_window("lost\n"), status::kListingClosed);
  EXPECT_EQ(UF_UI_open_listing_window(), 0);
  EXPECT_EQ(UF_UI_write_listing_window("ufusr.cpp, line 9:  UF_X( a )\n"), 0);
  EXPECT_EQ(UF_UI_write_listing_window("    error 3:  "), 0);
  EXPECT_EQ(UF_UI_write_listing_window("Invalid object tag\n"), 0);
  EXPECT_EQ(transcript().listing_lines(),
            (std::vector<std::string>{"ufusr.cpp, line 9:  UF_X( a )",
                                      "    error 3:  Invalid object tag"}));
  EXPECT_EQ(UF_UI_set_status("done"), 0);
  EXPECT_EQ(UF_UI_set_prompt("pick"), 0);
  EXPECT_EQ(UF_UI_set_status(nullptr), status::kBadArgument);
  EXPECT_EQ(session().status_line(), "done");
  EXPECT_EQ(session().prompt_line(), "pick");
  host_print_stdout("out\n");
  host_print_stderr("err\n");
  EXPECT_EQ(transcript().texts(EventKind::Stdout), std::vector<std::string>{"out\n"});
  EXPECT_EQ(transcript().texts(EventKind::Stderr), std::vector<std::string>{"err\n"});
}

} // namespace
} // namespace sim::testing
