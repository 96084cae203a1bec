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
#include "system_fixture.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using sim::Call;

constexpr const char *kLang = "D:\\kv_conf\\lang\\ncsheet_elec_uni.txt";

// Short texts for the keys of the collection and the check, put in front
// of the installed file (the first occurrence of a key wins): S1..S11 and
// C1, C2.
std::string short_texts(const std::string &skip = "") {
  std::string text;
  for (int i = 1; i <= 11; ++i) {
    char key[32];
    std::snprintf(key, sizeof key, "select_al_%02d:", i);
    if (key != skip)
      text += std::string(key) + "S" + std::to_string(i) + "\n";
  }
  for (int i = 1; i <= 2; ++i) {
    const std::string key = "check_mc_0" + std::to_string(i) + ":";
    if (key != skip)
      text += key + "C" + std::to_string(i) + "\n";
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

// Two coordinate systems apart, and the default part's.
const char *const kCsys = R"({
  "MCS_A": {"origin": [0, 0, 30]},
  "MCS_B": {"origin": [10, 0, 30]}
})";

struct Record {
  std::string parent;
  std::string name;
  bool operator==(const Record &) const = default;
};

std::ostream &operator<<(std::ostream &out, const Record &r) {
  return out << "(" << r.parent << ", " << r.name << ")";
}

// An operation member using a coordinate system (none: no "mcs").
std::string op(const std::string &name, const std::string &mcs = "MCS_A") {
  if (mcs.empty())
    return R"({"op": ")" + name + R"("})";
  return R"({"op": ")" + name + R"(", "mcs": ")" + mcs + R"("})";
}

// A group member holding the members given.
std::string group(const std::string &name, const std::vector<std::string> &members) {
  std::string text = R"({")" + name + R"(": [)";
  for (std::size_t i = 0; i < members.size(); ++i)
    text += (i ? ", " : "") + members[i];
  return text + "]}";
}

std::string list(const std::vector<std::string> &items) {
  std::string text = "[";
  for (std::size_t i = 0; i < items.size(); ++i)
    text += (i ? ", " : "") + items[i];
  return text + "]";
}

std::string quoted(const std::vector<std::string> &names) {
  std::vector<std::string> items;
  for (const std::string &name : names)
    items.push_back("\"" + name + "\"");
  return list(items);
}

class Collection : public sim::testing::SystemTest {
protected:
  // Opens a part with the coordinate systems, programs and selection given.
  void part(const std::vector<std::string> &programs, const std::vector<std::string> &selected,
            const std::string &csys = kCsys) {
    load_scenario(R"({"installation": "data/kv_conf", "part": {"file": "D:\\work\\part.prt",
      "application": "cam", "csys": )" +
                  csys + R"(, "programs": )" + list(programs) + R"(, "selected": )" +
                  quoted(selected) + "}}");
    write_file(kLang, short_texts() + installed_lang());
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

  std::vector<Record> records() const {
    std::vector<Record> out;
    for (int i = 0; i < count_; ++i)
      out.push_back({list_[i].parent_name, list_[i].prog_name});
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
  std::vector<std::string> shown() { return transcript().messages_shown(); }
  std::uint32_t count(Call call) { return session().calls().count(call); }

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
  EXPECT_EQ(records(), (std::vector<Record>{{"", "P3"}, {"", "P1"}, {"P2", "A"}, {"B", "C"},
                                            {"B", "D"}}));
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
  EXPECT_EQ(records(), (std::vector<Record>{{"", "P1"}}));
  EXPECT_EQ(mcs_, csys("MCS_A"));

  part({group("P2", {group("NONE", {op("OP1")})})}, {"P2"});
  ASSERT_EQ(collect(), 1);
  EXPECT_EQ(records(), (std::vector<Record>{{"P2", "NONE"}}));
}

TEST_F(Collection, FiftyNodesAreAcceptedFiftyOneAreNot) {
  for (int n : {50, 51}) {
    SCOPED_TRACE(n);
    std::vector<std::string> programs;
    std::vector<std::string> selected;
    for (int i = 0; i < n; ++i) {
      programs.push_back(group("G" + std::to_string(i), {op("OP" + std::to_string(i))}));
      selected.push_back("G" + std::to_string(i));
    }
    part(programs, selected);
    if (n == 50) {
      ASSERT_EQ(collect(), 1);
      EXPECT_EQ(count_, 50);
    } else {
      EXPECT_EQ(collect(), 0);
      EXPECT_EQ(shown(), std::vector<std::string>{"S4"});
      EXPECT_EQ(count(Call::UF_NCGROUP_is_group), 0u);
    }
    EXPECT_TRUE(finish().ok());
  }
}

struct Refusal {
  const char *what;
  std::vector<std::string> programs;
  std::vector<std::string> selected;
  std::string message;
};

class CollectionRefusal : public Collection, public ::testing::WithParamInterface<Refusal> {};

// Each refusal shows one message, hands nothing out, leaves the WCS alone
// and releases every array (the partly grown list included).
TEST_P(CollectionRefusal, ShowsOneMessageAndLeavesNothing) {
  const Refusal &r = GetParam();
  part(r.programs, r.selected);
  const tag_t wcs_before = wcs();
  EXPECT_EQ(collect(), 0);
  EXPECT_EQ(shown(), std::vector<std::string>{r.message});
  if (r.message == "S5") { // refused before any operation is checked
    EXPECT_EQ(count(Call::UF_PARAM_ask_tag_value), 0u);
  }
  EXPECT_EQ(list_, nullptr);
  EXPECT_EQ(count_, -1);
  EXPECT_EQ(wcs(), wcs_before);
  EXPECT_EQ(count(Call::UF_CSYS_set_wcs), 0u);
  const sim::FinishReport report = finish();
  EXPECT_EQ(report.unfreed_arrays, 0u);
  EXPECT_TRUE(report.ok());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CollectionRefusal,
    ::testing::Values(
        Refusal{"nothing selected", {group("P1", {op("OP1")})}, {}, "S3"},
        Refusal{"operation alone",
                {group("P1", {op("OP1"), op("OP2")})},
                {"P1", "OP2"},
                "S5"},
        Refusal{"operation then group",
                {group("P0", {op("OP0")}), group("MIX", {op("OP1"), group("SUB", {op("OP2")})})},
                {"P0", "MIX"},
                "S6 MIXS7"},
        Refusal{"group then operation",
                {group("MIX", {group("SUB", {op("OP1")}), op("OP2")})},
                {"MIX"},
                "S6 MIXS7"},
        Refusal{"mixed at the second level",
                {group("P", {group("L2", {group("L3", {op("OP1")}), op("OP2")})})},
                {"P"},
                "S6 L2S7"},
        Refusal{"group in a third-level group",
                {group("P", {group("L2", {group("L3", {group("L4", {op("OP1")})})})})},
                {"P"},
                "S8L4S9"},
        Refusal{"empty group in a third-level group",
                {group("P", {group("L2", {group("L3", {group("L4", {})})})})},
                {"P"},
                "S8L4S9"},
        Refusal{"no operation", {group("E1", {}), group("E2", {group("E3", {})})}, {"E1", "E2"},
                "S10"},
        Refusal{"different coordinate systems",
                {group("P1", {op("OP1")}), group("P2", {op("OP2"), op("OP3", "MCS_B")})},
                {"P1", "P2"},
                "C1 OP3 C2"},
        Refusal{"first operation without a coordinate system",
                {group("P1", {op("OP1", "")})},
                {"P1"},
                "C1 OP1 C2"},
        Refusal{"later operation without a coordinate system",
                {group("P1", {op("OP1"), op("OP2", "")})},
                {"P1"},
                "C1 OP2 C2"}),
    [](const ::testing::TestParamInfo<Refusal> &info) {
      std::string name = info.param.what;
      for (char &c : name)
        if (c == ' ' || c == '-')
          c = '_';
      return name;
    });

struct Placement {
  const char *what;
  const char *second; // the second system, against MCS_A at (0, 0, 30)
  bool passes;
};

class CollectionPlacement : public Collection, public ::testing::WithParamInterface<Placement> {};

// Origins and axes are compared after rounding each value to three
// decimals, not within a tolerance.
TEST_P(CollectionPlacement, ComparesRoundedValues) {
  const Placement &p = GetParam();
  part({group("P1", {op("OP1", "MCS_A"), op("OP2", "MCS_2")})}, {"P1"},
       std::string(R"({"MCS_A": {"origin": [0, 0, 30]}, "MCS_2": )") + p.second + "}");
  if (p.passes) {
    ASSERT_EQ(collect(), 1);
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(mcs_, csys("MCS_A")); // the reference stays the first
  } else {
    EXPECT_EQ(collect(), 0);
    EXPECT_EQ(shown(), std::vector<std::string>{"C1 OP2 C2"});
  }
  EXPECT_TRUE(finish().ok());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CollectionPlacement,
    ::testing::Values(
        Placement{"same placement", R"({"origin": [0, 0, 30]})", true},
        Placement{"origin off by 0.002", R"({"origin": [0, 0.002, 30]})", false},
        Placement{"origin off by 0.0004", R"({"origin": [0.0004, 0, 30]})", true},
        Placement{"origin 29.9996 against 30", R"({"origin": [0, 0, 29.9996]})", true},
        Placement{"axes off beyond the third decimal",
                  R"({"origin": [0, 0, 30], "x": [1, 0.0003, 0], "y": [-0.0003, 1, 0]})", true},
        Placement{"axes off at the third decimal",
                  R"({"origin": [0, 0, 30], "x": [1, 0.002, 0], "y": [-0.002, 1, 0]})", false},
        Placement{"axes turned", R"({"origin": [0, 0, 30], "x": [0, 1, 0], "y": [-1, 0, 0]})",
                  false}),
    [](const ::testing::TestParamInfo<Placement> &info) {
      std::string name = info.param.what;
      for (char &c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
          c = '_';
      return name;
    });

TEST_F(Collection, OriginsRoundHalfAwayFromZero) {
  // 0.0004 and 0.0006 round to 0.0 and 0.001: they differ.
  part({group("P1", {op("OP1", "MCS_A"), op("OP2", "MCS_B")})}, {"P1"},
       R"({"MCS_A": {"origin": [0.0004, 0, 0]}, "MCS_B": {"origin": [0.0006, 0, 0]}})");
  EXPECT_EQ(collect(), 0);
  EXPECT_EQ(shown(), std::vector<std::string>{"C1 OP2 C2"});

  // 1.0004 and 0.9996 both round to 1.0: they match.
  part({group("P1", {op("OP1", "MCS_A"), op("OP2", "MCS_B")})}, {"P1"},
       R"({"MCS_A": {"origin": [1.0004, 0, 0]}, "MCS_B": {"origin": [0.9996, 0, 0]}})");
  EXPECT_EQ(collect(), 1);
  EXPECT_TRUE(shown().empty());
}

TEST_F(Collection, SetupAndRootFailuresAreToldEach) {
  const std::pair<const char *, const char *> cases[] = {
      {"UF_SETUP_ask_setup", "S1"},
      {"UF_SETUP_ask_program_root", "S2"},
      {"UF_UI_ONT_ask_selected_nodes", "S3"},
  };
  for (const auto &[call, message] : cases) {
    SCOPED_TRACE(call);
    part({group("P1", {op("OP1")})}, {"P1"});
    fail(call);
    EXPECT_EQ(collect(), 0);
    EXPECT_EQ(shown(), std::vector<std::string>{message});
    EXPECT_TRUE(finish().ok());
  }
}

TEST_F(Collection, AMissingMessageStopsBeforeTheHostIsAsked) {
  part({group("P1", {op("OP1")})}, {"P1"});
  write_file(kLang, short_texts("select_al_07:"));
  EXPECT_EQ(collect(), 0);
  ASSERT_EQ(shown().size(), 1u);
  EXPECT_NE(shown()[0].find("select_al_07:"), std::string::npos);
  EXPECT_EQ(count(Call::UF_SETUP_ask_setup), 0u);

  // The check's own messages are loaded when the first operation is met.
  part({group("P1", {op("OP1")})}, {"P1"});
  write_file(kLang, short_texts("check_mc_02:"));
  EXPECT_EQ(collect(), 0);
  ASSERT_EQ(shown().size(), 1u);
  EXPECT_NE(shown()[0].find("check_mc_02:"), std::string::npos);
  EXPECT_TRUE(finish().ok());
}

// Failed calls that are only reported go to the listing window with the
// call's text and the walk goes on with what it has.
TEST_F(Collection, ReportedFailuresNameTheCall) {
  struct Case {
    const char *call;
    std::uint32_t nth;
    const char *text;
    int result;
  };
  const Case cases[] = {
      // The first pass's answer: a node that is not a group.
      {"UF_NCGROUP_is_group", 1, "UF_NCGROUP_is_group( list1[loop1],&is )", 0},
      // The first member of P1: an operation taken for no group.
      {"UF_NCGROUP_is_group", 3, "UF_NCGROUP_is_group( list2[loop2],&is )", 1},
      {"UF_NCGROUP_ask_member_list", 1,
       "UF_NCGROUP_ask_member_list( list1[loop1],&count2,&list2)", 0},
      {"UF_CSYS_set_wcs", 1, "UF_CSYS_set_wcs( prev_oper_mcs )", 1},
      {"UF_OPER_ask_name_from_tag", 1, "UF_OPER_ask_name_from_tag( oper_tag, oper_name )", 1},
      {"UF_PARAM_ask_tag_value", 1,
       "UF_PARAM_ask_tag_value( oper_tag, UF_PARAM_MCS, &oper_mcs )", 0},
      {"UF_CSYS_ask_csys_info", 2,
       "UF_CSYS_ask_csys_info( *prev_oper_mcs, &prev_matrix_id, prev_origin )", 0},
      {"UF_CSYS_ask_matrix_values", 1, "UF_CSYS_ask_matrix_values( matrix_id, matrix_values )",
       0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.call) + " #" + std::to_string(c.nth));
    // MCS_C: MCS_A's placement in another object, so that the geometric
    // comparison runs.
    part({group("P1", {op("OP1", "MCS_A"), op("OP2", "MCS_C")})}, {"P1"},
         R"({"MCS_A": {"origin": [0, 0, 30]}, "MCS_C": {"origin": [0, 0, 30]}})");
    fail(c.call, c.nth);
    EXPECT_EQ(collect(), c.result);
    const std::vector<std::string> lines = transcript().listing_lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NE(lines[0].find(std::string(":  ") + c.text), std::string::npos) << lines[0];
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
         {"P1", "P2"},
         R"({"MCS_A": {"origin": [0, 0, 30]}, "MCS_C": {"origin": [0, 0, 30]}})");
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
