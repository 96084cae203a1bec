// Program collection and the machining coordinate system check on the
// simulated host: the walk's records and their order, the refusals, the
// rounding of the comparison, reported host failures, and that every array
// is released on every way out.
#include "selection/selection.h"

#include "cam/cam_objects.h"
#include "cam/cam_state.h"
#include "command/command.h"
#include "host/core.h"
#include "my_func/my_func.h"
#include "objects/object_store.h"
#include "short_texts.h"
#include "system_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

namespace {

using sim::Call;

constexpr const char *kLang = "D:\\kv_conf\\lang\\ncsheet_elec_uni.txt";

// Short texts for the keys of the collection (S1..S11) and the check (C1, C2).
std::string short_texts(const std::string &skip = "") {
  return test_text::numbered_texts("select_al_", 11, "S", skip) +
         test_text::numbered_texts("check_mc_", 2, "C", skip);
}

// Two coordinate systems apart; MCS_C has MCS_A's placement in another
// object, so that the geometric comparison runs.
const char *const kCsys = R"({"MCS_A": {"origin": [0, 0, 30]}, "MCS_B": {"origin": [10, 0, 30]},
                              "MCS_C": {"origin": [0, 0, 30]}})";

std::string list(const std::vector<std::string> &items) {
  std::string text = "[";
  for (std::size_t i = 0; i < items.size(); ++i)
    text += (i ? ", " : "") + items[i];
  return text + "]";
}
// An operation member using a coordinate system (none: no "mcs").
std::string op(const std::string &name, const std::string &mcs = "MCS_A") {
  return R"({"op": ")" + name + (mcs.empty() ? "" : R"(", "mcs": ")" + mcs) + R"("})";
}
// A group member holding the members given.
std::string group(const std::string &name, const std::vector<std::string> &members) {
  return R"({")" + name + R"(": )" + list(members) + "}";
}

class Collection : public sim::testing::SystemTest {
protected:
  // Opens a part with the coordinate systems, programs and selection given.
  void part(const std::vector<std::string> &programs, const std::vector<std::string> &selected,
            const std::string &csys = kCsys) {
    std::vector<std::string> quoted;
    for (const std::string &name : selected)
      quoted.push_back("\"" + name + "\"");
    load_scenario(R"({"installation": "data/kv_conf", "part": {"file": "D:\\work\\part.prt",
      "application": "cam", "csys": )" +
                  csys + R"(, "programs": )" + list(programs) + R"(, "selected": )" + list(quoted) +
                  "}}");
    write_file(kLang, short_texts() + test_text::installed_lang());
  }

  // Runs select_all inside an API bracket, as the driver does; the list of
  // an earlier collection is released first.
  int collect() {
    free(list_);
    list_ = nullptr;
    count_ = -1;
    mcs_ = NULL_TAG;
    (void)text_copy(lang_file, sizeof lang_file, kLang);
    if (UF_initialize() != 0)
      return 0;
    const int result = select_all(&list_, &count_, &mcs_);
    (void)UF_terminate();
    return result;
  }

  // The records as "parent/name".
  std::vector<std::string> records() const {
    std::vector<std::string> out;
    for (int i = 0; i < count_; ++i)
      out.push_back(std::string(list_[i].parent_name) + "/" + list_[i].prog_name);
    return out;
  }

  // The coordinate system object of a name.
  tag_t csys(const char *name) {
    const sim::ObjectStore &store = session().objects();
    for (tag_t tag = store.next_by_name(name, NULL_TAG); tag != NULL_TAG;
         tag = store.next_by_name(name, tag))
      if (store.find(tag)->type == sim::cam::kCsysType)
        return tag;
    return NULL_TAG;
  }
  tag_t wcs() { return session().component<sim::cam::CamState>().wcs_csys(); }

  void TearDown() override {
    free(list_);
    list_ = nullptr;
    SystemTest::TearDown();
  }

  prog_entry *list_ = nullptr;
  int count_ = -1;
  tag_t mcs_ = NULL_TAG;
};

TEST_F(Collection, RecordsFollowTheWalkDepthFirst) {
  part({group("P1", {op("OP1"), op("OP2")}),
        group("P2", {group("A", {op("OP3")}), group("EMPTY", {}),
                     group("B", {group("C", {op("OP4")}), group("D", {op("OP5")})})}),
        group("P3", {op("OP6")})},
       {"P3", "P1", "P2"});
  ASSERT_EQ(collect(), 1);
  EXPECT_EQ(records(), (std::vector<std::string>{"/P3", "/P1", "P2/A", "B/C", "B/D"}));
  for (int i = 0; i < count_; ++i)
    EXPECT_STREQ(list_[i].post_info, "");
  EXPECT_TRUE(shown().empty());
  // The first operation met (in P3) gives the coordinate system and the WCS.
  EXPECT_EQ(mcs_, csys("MCS_A"));
  EXPECT_EQ(wcs(), csys("MCS_A"));
  // Same object everywhere: no geometric comparison.
  EXPECT_EQ(count(Call::UF_CSYS_ask_csys_info), 0u);
  EXPECT_TRUE(finish().ok());
}

TEST_F(Collection, NoneIsSkippedOnlyWhenItIsSelected) {
  // Its operation would not match: the group is never walked.
  part({group("NONE", {op("OP1", "MCS_B")}), group("P1", {op("OP2")})}, {"NONE", "P1"});
  ASSERT_EQ(collect(), 1);
  EXPECT_EQ(records(), std::vector<std::string>{"/P1"});
  EXPECT_EQ(mcs_, csys("MCS_A"));

  part({group("P2", {group("NONE", {op("OP1")})})}, {"P2"});
  ASSERT_EQ(collect(), 1);
  EXPECT_EQ(records(), std::vector<std::string>{"P2/NONE"});
}

// Fifty selected nodes are taken; fifty-one are refused (below).
std::vector<std::string> groups(int n, std::vector<std::string> *selected) {
  std::vector<std::string> programs;
  for (int i = 0; i < n; ++i) {
    programs.push_back(group("G" + std::to_string(i), {op("OP" + std::to_string(i))}));
    selected->push_back("G" + std::to_string(i));
  }
  return programs;
}

TEST_F(Collection, FiftyNodesAreAccepted) {
  std::vector<std::string> selected;
  part(groups(50, &selected), selected);
  ASSERT_EQ(collect(), 1);
  EXPECT_EQ(count_, 50);
  EXPECT_TRUE(finish().ok());
}

// Each refusal shows one message, hands nothing out, leaves the WCS alone
// and releases every array (the partly grown list included); some are made
// before a host call (untouched) is ever made.
TEST_F(Collection, RefusalShowsOneMessageAndLeavesNothing) {
  struct Case {
    const char *what;
    std::vector<std::string> programs, selected;
    std::string message;
    const char *failed = nullptr;
    Call untouched = Call::UF_CSYS_set_wcs;
  };
  std::vector<std::string> fifty_one;
  const std::vector<std::string> many = groups(51, &fifty_one);
  const std::vector<std::string> p1 = {group("P1", {op("OP1")})};
  // clang-format off
  const Case cases[] = {
      {"setup cannot be had", p1, {"P1"}, "S1", "UF_SETUP_ask_setup"},
      {"root cannot be had", p1, {"P1"}, "S2", "UF_SETUP_ask_program_root"},
      {"selection cannot be had", p1, {"P1"}, "S3", "UF_UI_ONT_ask_selected_nodes"},
      {"nothing selected", p1, {}, "S3"},
      {"51 nodes", many, fifty_one, "S4", nullptr, Call::UF_NCGROUP_is_group},
      {"operation alone", {group("P1", {op("OP1"), op("OP2")})}, {"P1", "OP2"}, "S5", nullptr,
       Call::UF_PARAM_ask_tag_value},
      {"operation then group",
       {group("P0", {op("OP0")}), group("MIX", {op("OP1"), group("SUB", {op("OP2")})})},
       {"P0", "MIX"}, "S6 MIXS7"},
      {"group then operation", {group("MIX", {group("SUB", {op("OP1")}), op("OP2")})}, {"MIX"},
       "S6 MIXS7"},
      {"mixed at the second level",
       {group("P", {group("L2", {group("L3", {op("OP1")}), op("OP2")})})}, {"P"}, "S6 L2S7"},
      {"group in a third-level group",
       {group("P", {group("L2", {group("L3", {group("L4", {op("OP1")})})})})}, {"P"}, "S8L4S9"},
      {"empty group in a third-level group",
       {group("P", {group("L2", {group("L3", {group("L4", {})})})})}, {"P"}, "S8L4S9"},
      {"no operation", {group("E1", {}), group("E2", {group("E3", {})})}, {"E1", "E2"}, "S10"},
      {"different coordinate systems",
       {group("P1", {op("OP1")}), group("P2", {op("OP2"), op("OP3", "MCS_B")})}, {"P1", "P2"},
       "C1 OP3 C2"},
      {"first operation without a coordinate system", {group("P1", {op("OP1", "")})}, {"P1"},
       "C1 OP1 C2"},
      {"later operation without a coordinate system",
       {group("P1", {op("OP1"), op("OP2", "")})}, {"P1"}, "C1 OP2 C2"},
  };
  // clang-format on
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    part(c.programs, c.selected);
    if (c.failed != nullptr)
      fail(c.failed);
    const tag_t wcs_before = wcs();
    EXPECT_EQ(collect(), 0);
    EXPECT_EQ(shown(), std::vector<std::string>{c.message});
    EXPECT_EQ(count(c.untouched), 0u);
    EXPECT_EQ(list_, nullptr);
    EXPECT_EQ(count_, -1);
    EXPECT_EQ(wcs(), wcs_before);
    EXPECT_EQ(count(Call::UF_CSYS_set_wcs), 0u);
    EXPECT_TRUE(finish().ok()); // an array not released fails the finish
  }
}

// Origins and axes are compared after rounding each value to three
// decimals (half away from zero), not within a tolerance.
TEST_F(Collection, PlacementsAreComparedRounded) {
  struct Case {
    const char *first, *second;
    bool passes;
  };
  const char *const a = R"({"origin": [0, 0, 30]})";
  const Case cases[] = {
      {a, R"({"origin": [0, 0, 30]})", true},
      {a, R"({"origin": [0, 0.002, 30]})", false},
      {a, R"({"origin": [0.0004, 0, 30]})", true},
      {a, R"({"origin": [0, 0, 29.9996]})", true},
      {a, R"({"origin": [0, 0, 30], "x": [1, 0.0003, 0], "y": [-0.0003, 1, 0]})", true},
      {a, R"({"origin": [0, 0, 30], "x": [1, 0.002, 0], "y": [-0.002, 1, 0]})", false},
      {a, R"({"origin": [0, 0, 30], "x": [0, 1, 0], "y": [-1, 0, 0]})", false},
      // 0.0004 and 0.0006 round to 0.0 and 0.001; 1.0004 and 0.9996 to 1.0.
      {R"({"origin": [0.0004, 0, 0]})", R"({"origin": [0.0006, 0, 0]})", false},
      {R"({"origin": [1.0004, 0, 0]})", R"({"origin": [0.9996, 0, 0]})", true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.first) + " " + c.second);
    part({group("P1", {op("OP1", "MCS_A"), op("OP2", "MCS_2")})}, {"P1"},
         std::string(R"({"MCS_A": )") + c.first + R"(, "MCS_2": )" + c.second + "}");
    EXPECT_EQ(collect(), c.passes ? 1 : 0);
    if (c.passes) {
      EXPECT_TRUE(shown().empty());
      EXPECT_EQ(mcs_, csys("MCS_A")); // the reference stays the first
    } else {
      EXPECT_EQ(shown(), std::vector<std::string>{"C1 OP2 C2"});
    }
    EXPECT_TRUE(finish().ok());
  }
}

// A message missing from the language file stops the collection before the
// host is asked; the check's own messages are loaded at the first operation.
TEST_F(Collection, AMissingMessageStopsTheCollection) {
  for (const char *key : {"select_al_07:", "check_mc_02:"}) {
    SCOPED_TRACE(key);
    part({group("P1", {op("OP1")})}, {"P1"});
    write_file(kLang, short_texts(key));
    EXPECT_EQ(collect(), 0);
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_NE(shown()[0].find(key), std::string::npos);
    EXPECT_EQ(count(Call::UF_SETUP_ask_setup), key[0] == 's' ? 0u : 1u);
    EXPECT_TRUE(finish().ok());
  }
}

// Failed calls that are only reported go to the listing window with the
// call's text and the walk goes on with what it has.
TEST_F(Collection, ReportedFailuresNameTheCall) {
  const std::tuple<const char *, std::uint32_t, const char *, int> cases[] = {
      // The first pass's answer: a node that is not a group.
      {"UF_NCGROUP_is_group", 1, "UF_NCGROUP_is_group( list1[loop1],&is )", 0},
      // The first member of P1: an operation taken for no group.
      {"UF_NCGROUP_is_group", 3, "UF_NCGROUP_is_group( list2[loop2],&is )", 1},
      {"UF_NCGROUP_ask_member_list", 1, "UF_NCGROUP_ask_member_list( list1[loop1],&count2,&list2)",
       0},
      {"UF_CSYS_set_wcs", 1, "UF_CSYS_set_wcs( prev_oper_mcs )", 1},
      {"UF_OPER_ask_name_from_tag", 1, "UF_OPER_ask_name_from_tag( oper_tag, oper_name )", 1},
      {"UF_PARAM_ask_tag_value", 1, "UF_PARAM_ask_tag_value( oper_tag, UF_PARAM_MCS, &oper_mcs )",
       0},
      {"UF_CSYS_ask_csys_info", 2,
       "UF_CSYS_ask_csys_info( *prev_oper_mcs, &prev_matrix_id, prev_origin )", 0},
      {"UF_CSYS_ask_matrix_values", 1, "UF_CSYS_ask_matrix_values( matrix_id, matrix_values )", 0},
  };
  for (const auto &[call, nth, text, result] : cases) {
    SCOPED_TRACE(std::string(call) + " #" + std::to_string(nth));
    part({group("P1", {op("OP1", "MCS_A"), op("OP2", "MCS_C")})}, {"P1"});
    fail(call, nth);
    EXPECT_EQ(collect(), result);
    const std::vector<std::string> lines = transcript().listing_lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NE(lines[0].find(std::string(":  ") + text), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1].rfind("    error 1", 0), 0u) << lines[1];
    EXPECT_TRUE(finish().ok());
  }
}

// Every fallible host call failed in turn: no crash, one bracket, nothing
// leaked, and a refused collection hands nothing out.
TEST_F(Collection, FaultLoopLeaksNothing) {
  const auto setup = [&] {
    part({group("P1", {op("OP1"), op("OP2", "MCS_C")}),
          group("P2", {group("A", {op("OP3")}), group("B", {op("OP4")})})},
         {"P1", "P2"});
  };
  setup();
  ASSERT_EQ(collect(), 1);
  EXPECT_EQ(count_, 3);
  const std::uint64_t total = session().calls().fallible_total();
  EXPECT_TRUE(finish().ok());
  ASSERT_GT(total, 10u);
  for (std::uint64_t k = 1; k <= total; ++k) {
    SCOPED_TRACE("fallible call " + std::to_string(k) + " fails");
    setup();
    fail_kth(k);
    if (collect() == 0) {
      EXPECT_EQ(list_, nullptr);
      EXPECT_EQ(count_, -1);
    } else {
      EXPECT_GE(count_, 1);
    }
    const sim::FinishReport report = finish();
    EXPECT_EQ(report.unfreed_arrays, 0u);
    EXPECT_EQ(report.bracket_depth, 0);
  }
}

} // namespace
