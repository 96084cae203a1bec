// Designer-made dialogs: the dialog file format (the shipped post dialog
// included), and the run: constructor, presses with their callbacks, a
// callback that keeps the dialog open, responses, the destructor, value
// exchange with the callbacks, and the refusals.
#include "session_fixture.h"
#include "host/core.h"
#include "host/styler.h"
#include "session/status.h"
#include "styler/dialog_file.h"
#include "styler/styler.h"
#include "ui/operator.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using sim::styler::DialogSpec;
namespace fs = std::filesystem;

// Each control's kind and choice count are checked by the installation
// checker's CheckInstallShipped test, with this reader.
TEST(DialogFile, ShippedPostDialogsHaveTheEightControls) {
  for (const char *installation : {"kv_conf", "kv_conf_en"}) {
    SCOPED_TRACE(installation);
    const sim::Expected<DialogSpec> parsed = sim::styler::parse_dialog_file(sim::testing::slurp(
        fs::path(NCSHEET_SOURCE_DIR) / "data" / installation / "post_sheet_mr_dlg.dlg"));
    ASSERT_TRUE(parsed.ok()) << parsed.error();
    const DialogSpec &dialog = *parsed;
    EXPECT_FALSE(dialog.title.empty());
    ASSERT_EQ(dialog.controls.size(), 8u);
    for (const auto &control : dialog.controls)
      EXPECT_FALSE(control.label.empty()) << control.id;
    // The extension choices in the post run's order.
    const std::vector<std::string> extensions(dialog.find("OPTION_9")->options.begin() + 1,
                                              dialog.find("OPTION_9")->options.end());
    EXPECT_EQ(extensions, (std::vector<std::string>{".mpf", ".nc", ".pim", ".ptp", ".h", ".i"}));
    EXPECT_EQ(dialog.find("INT_3")->initial.integer, 253);
  }
}

TEST(DialogFile, MistakesAreNamedWithTheirLine) {
  const std::pair<const char *, const char *> cases[] = {
      {"[A]\nlabel = x\n", "line 1"},                        // no kind
      {"[A]\nkind = radio\n[B]\nkind = string\n", "line 1"}, // radio without options
      {"[A]\nkind = string\noption = x\n", "line 1"},
      {"[A]\nkind = string\ncolour = red\n", "line 3"},
      {"kind = string\n", "line 1"},
      {"[A]\nkind = string\n[A]\nkind = string\n", "line 3"},
      {"[A]\nkind = option\noption = a\nvalue = 1\n", "line 4"},
      {"[A]\nkind = toggle\nvalue = 2\n", "line 3"},
      {"[A]\nkind = integer\nvalue = x\n", "line 3"},
      {"[A\nkind = string\n", "line 1"},
      {"[A-1]\nkind = string\n", "line 1"},
      {"[A]\nkind = slider\n", "line 2"},
      {"[dialog]\ntitle = t\n", "line 2"}, // no controls
      {"[dialog]\nname = t\n", "line 2"},
      {"[A]\nkind string\n", "line 2"},
  };
  for (const auto &[text, where] : cases) {
    const sim::Expected<DialogSpec> parsed = sim::styler::parse_dialog_file(text);
    ASSERT_FALSE(parsed.ok()) << text;
    EXPECT_EQ(parsed.error().rfind(where, 0), 0u) << text << " -> " << parsed.error();
  }
  const sim::Expected<DialogSpec> parsed = sim::styler::parse_dialog_file(
      "\xEF\xBB\xBF# c\n[dialog]\ntitle = \xE6\xA8\xA1\r\n[R]\nkind = radio\noption = a\noption = "
      "b\nvalue = 1\n");
  ASSERT_TRUE(parsed.ok()) << parsed.error();
  const DialogSpec &dialog = *parsed;
  EXPECT_EQ(dialog.title, "\xc4\xa3"); // UTF-8 in the file, GBK in the host
  EXPECT_EQ(dialog.find("R")->initial.integer, 1);
}

// What a test's callbacks do: they record every reason and answer through
// a per-test function.
struct Script {
  std::vector<int> reasons;
  std::function<int(int dialog_id, int reason)> handle = [](int, int) { return 1; };
};

int record(int dialog_id, void *client_data, UF_STYLER_item_value_type_p_t data) {
  auto *script = static_cast<Script *>(client_data);
  script->reasons.push_back(data->reason);
  return script->handle(dialog_id, data->reason);
}

UF_STYLER_callback_info_t kTable[] = {
    {UF_STYLER_DIALOG_INDEX, UF_STYLER_CONSTRUCTOR_REASON, 0, record},
    {UF_STYLER_DIALOG_INDEX, UF_STYLER_DESTRUCTOR_REASON, 0, record},
    {UF_STYLER_DIALOG_INDEX, UF_STYLER_OK_REASON, 0, record},
    {UF_STYLER_DIALOG_INDEX, UF_STYLER_APPLY_REASON, 0, record},
    {UF_STYLER_DIALOG_INDEX, UF_STYLER_CANCEL_REASON, 0, record},
    {UF_STYLER_NULL_OBJECT, UF_STYLER_NO_REASON, 0, nullptr}};

constexpr int C = UF_STYLER_CONSTRUCTOR_REASON, D = UF_STYLER_DESTRUCTOR_REASON,
              OK = UF_STYLER_OK_REASON, AP = UF_STYLER_APPLY_REASON, CA = UF_STYLER_CANCEL_REASON;

class Dialog : public sim::testing::SessionTest {
protected:
  int run(Script &script, int expected_status = 0, const char *name = "post_sheet_mr_dlg.dlg") {
    int response = -1;
    EXPECT_EQ(UF_STYLER_create_dialog(name, kTable, 6, &script, &response), expected_status);
    return response;
  }
  /// The value of an item, to ask or set.
  static UF_STYLER_item_value_type_t item(const char *id) {
    UF_STYLER_item_value_type_t v{};
    v.item_id = id;
    v.item_attr = UF_STYLER_VALUE;
    return v;
  }
  static int ask_int(int id, const char *name) {
    UF_STYLER_item_value_type_t v = item(name);
    EXPECT_EQ(UF_STYLER_ask_value(id, &v), 0) << name;
    EXPECT_EQ(v.indicator, UF_STYLER_INTEGER_VALUE);
    return v.value.integer;
  }
  static std::string ask_text(int id, const char *name) {
    UF_STYLER_item_value_type_t v = item(name);
    EXPECT_EQ(UF_STYLER_ask_value(id, &v), 0) << name;
    EXPECT_EQ(v.indicator, UF_STYLER_STRING_VALUE);
    std::string text = v.value.string ? v.value.string : "";
    UF_STYLER_free_value(&v);
    EXPECT_EQ(v.value.string, nullptr);
    return text;
  }
  static int set_int(int id, const char *name, int value) {
    UF_STYLER_item_value_type_t v = item(name);
    v.value.integer = value;
    return UF_STYLER_set_value(id, &v);
  }
  const sim::styler::DialogRecord &last() {
    return session().component<sim::styler::Styler>().dialogs().back();
  }
};

// Presses scripted by name, or typed at a terminal by name or number.
TEST_F(Dialog, PressesCallTheirCallbacksAndGiveTheirResponses) {
  struct Case {
    const char *press;        // the scripted press, or what is typed
    std::vector<int> returns; // of the press callbacks, in turn
    int presses;
    std::vector<int> reasons;
    int response;
    bool failed = false, typed = false;
  };
  const Case cases[] = {
      {"OK", {1}, 1, {C, OK, D}, 2},
      {"Cancel", {1}, 1, {C, CA, D}, 3},
      {"Apply", {1}, 1, {C, AP, D}, 4},
      {"OK", {0, 1}, 2, {C, OK, OK, D}, 2}, // kept open once, as for a bad layer
      {"Apply", {0, 0, 1}, 3, {C, AP, AP, AP, D}, 4},
      // No answer left (a failed run): one Cancel press, closed although the
      // callback keeps it open.
      {"none", {0}, 1, {C, CA, D}, 3, true},
      {"STR_0=M1 1\n", {1}, 1, {C, OK, D}, 2, false, true},
      {"ok\n", {1}, 1, {C, OK, D}, 2, false, true},
      {"2\n", {1}, 1, {C, AP, D}, 4, false, true},
      {"CANCEL\n", {1}, 1, {C, CA, D}, 3, false, true},
  };
  for (const Case &c : cases) {
    new_session();
    SCOPED_TRACE(c.press);
    std::istringstream in(c.press);
    std::ostringstream out;
    if (c.typed) {
      session().op().set_terminal(in, out);
      session().op().set_mode(sim::Operator::Mode::Terminal);
    }
    for (int i = 0; i < (c.failed || c.typed ? 0 : c.presses); ++i)
      answer({{"press", c.press}});
    Script script;
    std::size_t turn = 0;
    script.handle = [&](int, int reason) {
      if (reason == C || reason == D)
        return 0;
      return c.returns.at(turn++);
    };
    EXPECT_EQ(run(script), c.response);
    EXPECT_EQ(script.reasons, c.reasons);
    EXPECT_EQ(last().presses, c.presses);
    EXPECT_EQ(session().run_failed(), c.failed);
  }
}

// Edits reach the callbacks, long texts whole.
TEST_F(Dialog, EditsReachTheCallbacksAndTheConstructorsValuesShow) {
  const std::string long_text(100, 'M');
  answer(
      {{"dialog", {{"STR_0", long_text}, {"RADIO_7", 3}, {"OPTION_9", ".nc"}, {"TOGGLE_8", true}}},
       {"press", "OK"}});
  Script script;
  std::string str0, str1;
  int radio7 = -1, option9 = -1, toggle8 = -1, int3 = -1;
  script.handle = [&](int id, int reason) {
    if (reason == C) {
      UF_STYLER_item_value_type_t v = item("STR_1");
      v.value.string = const_cast<char *>("insert_a");
      EXPECT_EQ(UF_STYLER_set_value(id, &v), 0);
      EXPECT_EQ(set_int(id, "INT_3", 26), 0);
      return 0;
    }
    if (reason == OK) {
      str0 = ask_text(id, "STR_0");
      str1 = ask_text(id, "STR_1");
      radio7 = ask_int(id, "RADIO_7");
      option9 = ask_int(id, "OPTION_9");
      toggle8 = ask_int(id, "TOGGLE_8");
      int3 = ask_int(id, "INT_3");
    }
    return 1;
  };
  EXPECT_EQ(run(script), 2);
  EXPECT_EQ(str0, long_text);
  EXPECT_EQ(str1, "insert_a");
  EXPECT_EQ((std::array{radio7, option9, toggle8, int3}), (std::array{3, 2, 1, 26}));
  // The operator saw the constructor's values.
  const auto questions = transcript().texts(sim::EventKind::Question);
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_NE(questions[0].find("STR_1 (string)"), std::string::npos);
  EXPECT_NE(questions[0].find("\"insert_a\""), std::string::npos);
  EXPECT_TRUE(finish().ok());
}

TEST_F(Dialog, ChoicesOutsideTheListsAreRefused) {
  const nlohmann::json edits[] = {
      {{"OPTION_6", 8}}, {{"RADIO_7", -1}}, {{"RADIO_4", 2}}, {{"OPTION_9", ".txt"}},
      {{"TOGGLE_8", 2}}, {{"INT_3", "x"}},  {{"STR_0", 5}},   {{"NO_SUCH", 1}},
  };
  for (const auto &edit : edits) {
    new_session();
    SCOPED_TRACE(edit.dump());
    answer({{"dialog", edit}, {"press", "OK"}});
    Script script;
    script.handle = [](int, int reason) { return reason == CA ? 0 : 1; };
    EXPECT_EQ(run(script), 3); // taken as Cancel, closed although the callback said 0
    EXPECT_EQ(script.reasons, (std::vector<int>{C, CA, D}));
    EXPECT_TRUE(session().run_failed());
    for (const auto &control : last().values)
      EXPECT_TRUE(control.text.empty());
    EXPECT_EQ(last().values[5].integer, 0); // RADIO_7 unchanged
  }
  // The callbacks cannot set them either.
  new_session();
  answer({{"press", "Cancel"}});
  Script script;
  int bad = 0;
  script.handle = [&](int id, int reason) {
    if (reason == C)
      bad = set_int(id, "OPTION_6", 8);
    return 1;
  };
  EXPECT_EQ(run(script), 3);
  EXPECT_EQ(bad, sim::status::kBadArgument);
}

// Values are asked only while the dialog is open, and asked texts must be
// freed.
TEST_F(Dialog, ValuesAskedOnlyWhileTheDialogIsOpenTextsFreed) {
  answer({{"press", "OK"}});
  Script script;
  int dialog_id = 0, unknown = 0;
  script.handle = [&](int id, int reason) {
    dialog_id = id;
    if (reason == OK) {
      UF_STYLER_item_value_type_t none = item("NO_SUCH"), kept = item("STR_0");
      unknown = UF_STYLER_ask_value(id, &none);
      EXPECT_EQ(UF_STYLER_ask_value(id, &kept), 0); // never freed
    }
    return 1;
  };
  EXPECT_EQ(run(script), 2);
  EXPECT_EQ(unknown, sim::status::kNoSuchItem);
  UF_STYLER_item_value_type_t v = item("STR_0");
  EXPECT_EQ(UF_STYLER_ask_value(dialog_id, &v), sim::status::kNoDialog);
  char foreign[4] = "abc";
  v.indicator = UF_STYLER_STRING_VALUE;
  v.value.string = foreign;
  UF_STYLER_free_value(&v);
  EXPECT_EQ(transcript().count(sim::EventKind::BadFree), 1u);
  const sim::FinishReport report = finish();
  EXPECT_EQ(report.unfreed_arrays, 1u);
  EXPECT_EQ(transcript().details(sim::EventKind::UnfreedArray),
            std::vector<std::string>{"UF_STYLER_ask_value"});
}

TEST_F(Dialog, MissingOrBrokenFilesAndUnknownItems) {
  Script script;
  EXPECT_EQ(run(script, sim::status::kDialogFile, "no_such.dlg"), -1);
  write_file("D:\\kv_conf\\broken.dlg", "[A]\nkind = knob\n");
  EXPECT_EQ(run(script, sim::status::kDialogFile, "broken.dlg"), -1);
  EXPECT_TRUE(script.reasons.empty());
  UF_STYLER_callback_info_t table[] = {{"NO_SUCH_ITEM", 1, 0, record},
                                       {UF_STYLER_NULL_OBJECT, UF_STYLER_NO_REASON, 0, nullptr}};
  int response = -1;
  EXPECT_EQ(UF_STYLER_create_dialog("post_sheet_mr_dlg.dlg", table, 2, &script, &response),
            sim::status::kNoSuchItem);
  EXPECT_EQ(UF_STYLER_create_dialog("post_sheet_mr_dlg.dlg", kTable, 6, &script, nullptr),
            sim::status::kBadArgument);
}

TEST_F(Dialog, FoundBesideTheModuleWhenTheInstallationLacksIt) {
  // The callbacks live in this test program: its folder is the module's.
  const fs::path beside = fs::read_symlink("/proc/self/exe").parent_path() /
                          ("beside_" + std::to_string(getpid()) + ".dlg");
  {
    std::ofstream out(beside);
    out << "[dialog]\ntitle = Beside\n[STR_0]\nkind = string\n";
  }
  answer({{"press", "OK"}});
  Script script;
  const int response = run(script, 0, beside.filename().c_str());
  fs::remove(beside);
  EXPECT_EQ(response, 2);
  EXPECT_EQ(last().definition.title, "Beside");
}

} // namespace
