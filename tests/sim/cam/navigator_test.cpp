// The CAM setup as the scenario builds it and the host hands it out:
// setup and program root, nested program groups with their type and
// subtype, members in order, the navigator's selection in order,
// operations' names and coordinate systems, and the arrays that must be
// released with UF_free.
#include "cam/cam_objects.h"
#include "cam/cam_state.h"
#include "cam_fixture.h"
#include "host/cam.h"
#include "host/core.h"
#include "host/ui.h"
#include "session/status.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

namespace cam = sim::cam;

constexpr const char *kPrograms = R"(
  "csys": {"MCS_A": {"origin": [0, 0, 30]}},
  "programs": [
    {"ROUGH": [
      {"A01": [{"op": "CAVITY_MILL_1", "mcs": "MCS_A"}, {"op": "CAVITY_MILL_2", "mcs": "MCS_A"}]},
      {"A02": [{"op": "ZLEVEL_1"}]}]},
    {"DEEP": [{"L2": [{"L3": [{"L4": [{"op": "DEEP_OP", "mcs": "MCS_A"}]}]}]}]},
    {"MIXED": [{"op": "LONE_OP"}, {"INNER": []}]},
    {"NONE": []}],
  "selected": ["DEEP", "ROUGH", "NONE"])";

class Navigator : public sim::testing::CamHostTest {
protected:
  std::vector<std::string> members(const char *group) {
    int count = -1;
    tag_t *list = nullptr;
    EXPECT_EQ(UF_NCGROUP_ask_member_list(named(group), &count, &list), 0);
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
      names.push_back(session().objects().find(list[i])->name);
    UF_free(list);
    return names;
  }
  std::vector<tag_t> selected() {
    int count = -1;
    tag_t *nodes = nullptr;
    EXPECT_EQ(UF_UI_ONT_ask_selected_nodes(&count, &nodes), 0);
    std::vector<tag_t> tags(nodes, nodes + count);
    UF_free(nodes);
    return tags;
  }
};

TEST_F(Navigator, GroupsNestToAnyDepthWithMembersInOrder) {
  load_part(kPrograms);
  using Names = std::vector<std::string>;
  EXPECT_EQ(members("NC_PROGRAM"), (Names{"ROUGH", "DEEP", "MIXED", "NONE"}));
  EXPECT_EQ(members("ROUGH"), (Names{"A01", "A02"}));
  EXPECT_EQ(members("A01"), (Names{"CAVITY_MILL_1", "CAVITY_MILL_2"}));
  EXPECT_EQ(members("L3"), (Names{"L4"}));
  EXPECT_EQ(members("L4"), (Names{"DEEP_OP"}));
  EXPECT_EQ(members("MIXED"), (Names{"LONE_OP", "INNER"}));
  EXPECT_EQ(members("NONE"), Names{});
  EXPECT_TRUE(finish().ok());
}

TEST_F(Navigator, GroupsAreProgramGroupsAndOperationsAreNot) {
  load_part(kPrograms);
  const std::pair<const char *, bool> cases[] = {
      {"NC_PROGRAM", true}, {"ROUGH", true},          {"L4", true},    {"NONE", true},
      {"INNER", true},      {"CAVITY_MILL_1", false}, {"MCS_A", false}};
  for (const auto &[name, group] : cases) {
    logical answer = -1;
    ASSERT_EQ(UF_NCGROUP_is_group(named(name), &answer), 0) << name;
    EXPECT_EQ(answer, group ? TRUE : FALSE) << name;
    int type = 0, subtype = 0;
    ASSERT_EQ(UF_OBJ_ask_type_and_subtype(named(name), &type, &subtype), 0);
    if (group) {
      EXPECT_EQ(type, UF_machining_ncgroup_type) << name;
      EXPECT_EQ(subtype, UF_machining_program_grp_subtype) << name;
    } else {
      EXPECT_NE(type, UF_machining_ncgroup_type) << name;
    }
  }
  logical answer = -1;
  EXPECT_EQ(UF_NCGROUP_is_group(99999999, &answer), sim::status::kBadTag);
  EXPECT_EQ(answer, -1);
}

TEST_F(Navigator, SetupProgramRootAndSelection) {
  load_part(kPrograms);
  tag_t setup = NULL_TAG, root = NULL_TAG;
  ASSERT_EQ(UF_SETUP_ask_setup(&setup), 0);
  ASSERT_NE(setup, NULL_TAG);
  ASSERT_EQ(UF_SETUP_ask_program_root(setup, &root), 0);
  EXPECT_EQ(root, named("NC_PROGRAM"));
  EXPECT_EQ(UF_SETUP_ask_program_root(root, &root), sim::status::kWrongType);
  EXPECT_EQ(selected(), (std::vector<tag_t>{named("DEEP"), named("ROUGH"), named("NONE")}));
  // Deleted members and nodes are left out.
  ASSERT_TRUE(session().objects().erase(named("CAVITY_MILL_1")));
  ASSERT_TRUE(session().objects().erase(named("DEEP")));
  EXPECT_EQ(members("A01"), std::vector<std::string>{"CAVITY_MILL_2"});
  EXPECT_EQ(selected(), (std::vector<tag_t>{named("ROUGH"), named("NONE")}));
  EXPECT_TRUE(finish().ok());
}

TEST_F(Navigator, NoSelectionAndNoSetup) {
  load_part(R"("setup": null)");
  tag_t setup = 12345;
  ASSERT_EQ(UF_SETUP_ask_setup(&setup), 0);
  EXPECT_EQ(setup, NULL_TAG);
  tag_t root = 777;
  EXPECT_EQ(UF_SETUP_ask_program_root(setup, &root), sim::status::kBadTag);
  EXPECT_EQ(root, 777u);
  int count = -1;
  tag_t *nodes = reinterpret_cast<tag_t *>(1);
  ASSERT_EQ(UF_UI_ONT_ask_selected_nodes(&count, &nodes), 0);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(nodes, nullptr);
  UF_free(nodes);
}

TEST_F(Navigator, OperationsNameAndCoordinateSystem) {
  load_part(kPrograms);
  char name[UF_OPER_MAX_NAME_LEN + 1] = "";
  ASSERT_EQ(UF_OPER_ask_name_from_tag(named("CAVITY_MILL_2"), name), 0);
  EXPECT_STREQ(name, "CAVITY_MILL_2");
  EXPECT_EQ(UF_OPER_ask_name_from_tag(named("A01"), name), sim::status::kWrongType);

  tag_t mcs = 1;
  ASSERT_EQ(UF_PARAM_ask_tag_value(named("CAVITY_MILL_1"), UF_PARAM_MCS, &mcs), 0);
  EXPECT_EQ(mcs, named("MCS_A"));
  ASSERT_EQ(UF_PARAM_ask_tag_value(named("ZLEVEL_1"), UF_PARAM_MCS, &mcs), 0);
  EXPECT_EQ(mcs, NULL_TAG); // no "mcs" given
  EXPECT_EQ(UF_PARAM_ask_tag_value(named("ZLEVEL_1"), 60, &mcs), sim::status::kBadArgument);
  EXPECT_EQ(UF_PARAM_ask_tag_value(named("A01"), UF_PARAM_MCS, &mcs), sim::status::kWrongType);
}

TEST_F(Navigator, ArraysNotFreedAreReported) {
  load_part(kPrograms);
  int count = 0;
  tag_t *list = nullptr;
  ASSERT_EQ(UF_NCGROUP_ask_member_list(selected()[1], &count, &list), 0);
  const sim::FinishReport report = finish();
  EXPECT_EQ(report.unfreed_arrays, 1u);
  EXPECT_FALSE(report.ok());
  const auto unfreed = transcript().details(sim::EventKind::UnfreedArray);
  ASSERT_EQ(unfreed.size(), 1u);
  EXPECT_NE(unfreed[0].find("UF_NCGROUP_ask_member_list"), std::string::npos);
}

TEST_F(Navigator, FailedCallsLeaveOutputsAlone) {
  load_part(kPrograms);
  fail("UF_NCGROUP_ask_member_list", 1, sim::status::kFailed);
  int count = -7;
  tag_t *list = nullptr;
  EXPECT_EQ(UF_NCGROUP_ask_member_list(named("ROUGH"), &count, &list), sim::status::kFailed);
  EXPECT_EQ(count, -7);
  EXPECT_EQ(list, nullptr);
  EXPECT_TRUE(finish().ok());
}

TEST_F(Navigator, ScenarioMistakesNameTheirPlace) {
  const std::pair<std::string, std::string> cases[] = {
      {R"("programs": [{"A": [{"op": "X"}]}, {"B": [{"op": "X"}]}])", "/part/programs/1/B/0/op"},
      {R"("programs": [{"A": []}, {"A": []}])", "/part/programs/1/A"},
      {R"("programs": [{"A": [{"op": "X", "mcs": "NOPE"}]}])", "/part/programs/0/A/0/mcs"},
      {R"("programs": [{"A": [{"op": "X", "speed": 3}]}])", "/part/programs/0/A/0"},
      {R"("programs": [{"A": [], "B": []}])", "/part/programs/0"},
      {R"("programs": [{"A23456789012345678901234567890X": []}])", "/part/programs/0"},
      {R"("programs": [{"A": [{"op": "X", "moves": ["G1 X1 Y1 Z1"]}]}])",
       "/part/programs/0/A/0/moves"},
      {R"("programs": [{"A": []}], "selected": ["B"])", "/part/selected/0"},
      {R"("programs": [{"A": []}], "selected": ["A", "a"])", "/part/selected/1"},
      {R"("setup": null, "programs": [{"A": []}])", "/part/programs"},
  };
  for (const auto &[keys, path] : cases)
    expect_refused(keys, "", path);
}

} // namespace
