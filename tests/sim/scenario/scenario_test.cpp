// Loading scenarios: what a good one sets up, and the one clear message a
// bad one gets.
#include "session_fixture.h"

#include "objects/object_store.h"
#include "runtime/runtime.h"
#include "scenario/scenario.h"
#include "ui/operator.h"

#include "host/core.h"

#include <fstream>

namespace sim::testing {
namespace {

namespace fs = std::filesystem;

using ScenarioTest = SessionTest;

TEST_F(ScenarioTest, SetsUpTheSession) {
  const fs::path extra = root() / "extra";
  fs::create_directories(extra / "nc");
  { std::ofstream(extra / "nc" / "old.nc") << "G0\n"; }
  load_scenario(R"({
    "description": "everything once",
    "installation": "data/kv_conf",
    "drives": {"e": ")" +
                extra.string() + R"(", "F": null},
    "clock": "2026-12-05T09:30:00",
    "operator": "script",
    "fault_outputs": "poison",
    "part": {
      "file": "D:\\work\\\u4e2d.prt",
      "application": "drafting",
      "objects": [{"type": 70, "subtype": 0, "name": "BODY", "layer": 5, "color": 3, "blanked": true}]
    },
    "answers": [{"menu": 1}, {"buttons": "YES"}],
    "faults": [{"call": "UF_OBJ_ask_name", "nth": 2, "status": 949}, {"kth": 7}],
    "runs": ["run", "reload", "run"]
  })");
  Session &s = session();
  EXPECT_EQ(s.part_file(), "D:\\work\\\xd6\xd0.prt");
  EXPECT_EQ(s.application(), UF_APP_DRAFTING);
  EXPECT_TRUE(s.poison_outputs());
  const tag_t body = s.objects().next_by_name("body", NULL_TAG);
  ASSERT_NE(body, NULL_TAG);
  EXPECT_EQ(s.objects().find(body)->layer, 5);
  EXPECT_TRUE(s.objects().find(body)->blanked);
  EXPECT_EQ(s.op().remaining(), 2u);
  EXPECT_EQ(s.runtime().now().tm_mday, 5);
  EXPECT_TRUE(file_exists("E:\\NC\\OLD.NC"));
  EXPECT_TRUE(fs::is_directory(root() / "drives" / "F"));
  EXPECT_TRUE(fs::exists(extra / "nc" / "old.nc")) << "the source is copied, not used";
  EXPECT_EQ(s.runtime().drives().count('D'), 1u);
  if (fs::is_directory(installation_dir() / "lang")) {
    EXPECT_TRUE(fs::is_directory(root() / "drives" / "D" / "kv_conf" / "lang"));
  }

  ASSERT_EQ(UF_initialize(), 0);
  char name[UF_OBJ_NAME_BUFSIZE];
  EXPECT_EQ(UF_OBJ_ask_name(body, name), 0);
  EXPECT_EQ(UF_OBJ_ask_name(body, name), 949);
  EXPECT_EQ(UF_terminate(), 0);

  std::vector<RunStep> steps;
  EXPECT_TRUE(parse_run_steps("run,reload,run", steps));
  EXPECT_EQ(steps, (std::vector<RunStep>{RunStep::Run, RunStep::Reload, RunStep::Run}));
  EXPECT_TRUE(parse_run_steps("3", steps));
  EXPECT_EQ(steps.size(), 3u);
  EXPECT_FALSE(parse_run_steps("run,,run", steps));
  EXPECT_FALSE(parse_run_steps("0", steps));
}

TEST_F(ScenarioTest, NoPartMeansNoDisplayPart) {
  load_scenario(R"({"part": null})");
  EXPECT_EQ(session().display_part(), NULL_TAG);
  load_scenario(R"({})");
  EXPECT_EQ(session().display_part(), NULL_TAG);
  EXPECT_EQ(session().runtime().now().tm_year, 126) << "the default clock is fixed";
}

// A bad scenario gets one clear message; sizes that would make the loader
// run out of stack or memory are refused before the JSON is parsed.
TEST_F(ScenarioTest, BadScenariosGetOneClearMessage) {
  std::string big = R"({"answers": [)";
  while (big.size() <= (4u << 20))
    big += R"({"menu": 1},)";
  big += R"({"menu": 1}]})";
  const struct {
    std::string json;
    const char *message;
  } cases[] = {
      {std::string(65, '[') + std::string(65, ']'), "nest at most 64 deep"},
      {big, "a scenario holds at most 4 MiB"},
      {R"({"part": {"file": "x.prt"}, "colour": 1})",
       "test-scenario.json: /colour: unknown key \"colour\""},
      {R"([1, 2])", "/: expected an object, got array"},
      {R"({"part": {"file": 3}})", "/part/file: expected a string, got number"},
      {R"({"part": {"application": "cam"}})", "/part: a part needs a \"file\""},
      {R"({"part": {"file": "a", "application": "milling"}})",
       "/part/application: expected \"cam\", \"drafting\""},
      {R"({"part": {"file": "a", "objects": [{"name": "x"}]}})",
       "/part/objects/0: an object needs a \"type\""},
      {R"({"part": {"file": "a", "objects": [{"type": 1, "size": 2}]}})",
       "/part/objects/0/size: unknown key"},
      {R"({"clock": "yesterday"})", "/clock: expected \"YYYY-MM-DDTHH:MM:SS\""},
      {R"({"installation": "no/such/folder"})", "/installation: no folder"},
      {R"({"drives": {"EE": null}})", "/drives/EE: a drive is one letter"},
      {R"({"answers": [{"menu": 1}, "yes"]})", "/answers/1: expected an object, got string"},
      {R"({"answers": [{"message": "OK"}]})",
       "/answers/0: a message with one button needs no answer"},
      {R"({"answers": [{"menus": 1}]})", "/answers/0/menus: unknown key"},
      {R"({"faults": [{"call": "UF_nothing"}]})",
       "/faults/0/call: no host function \"UF_nothing\""},
      {R"({"faults": [{"call": "UF_free"}]})", "/faults/0/call: \"UF_free\" returns no status"},
      {R"({"faults": [{"call": "UF_initialize", "status": 0}]})",
       "/faults/0/status: an injected status is not 0"},
      {R"({"faults": [{"kth": 0}]})", "/faults/0/kth: counts from 1"},
      {R"({"faults": [{"kth": 2, "call": "UF_initialize"}]})",
       "/faults/0: \"kth\" counts every fallible call"},
      {R"({"runs": ["run", "restart"]})", "/runs/1: expected \"run\" or \"reload\""},
      {R"({"runs": 0})", "/runs: at least one run"},
      {R"({"operator": "robot"})", "/operator: expected \"script\" or \"terminal\""},
      {R"({"part": )", "test-scenario.json: not valid JSON"},
      {R"({"runs": 1001})", "/runs: at most 1000 runs"},
      {R"({"clock": 1E400})", "test-scenario.json: not valid JSON"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.json.substr(0, 100));
    try {
      load_scenario(c.json);
      ADD_FAILURE() << "loaded";
    } catch (const ScenarioError &e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
      EXPECT_EQ(std::string(e.what()).rfind("test-scenario.json: ", 0), 0u) << e.what();
    }
  }
  // Nesting is counted outside strings only.
  EXPECT_NO_THROW(load_scenario(R"({"answers": [{"file": ")" + std::string(100, '[') + R"("}]})"));
}

TEST_F(ScenarioTest, MissingFileIsNamed) {
  Session fresh;
  try {
    (void)sim::load_scenario(fresh, root() / "absent.json", root());
    ADD_FAILURE() << "loaded";
  } catch (const ScenarioError &e) {
    EXPECT_NE(std::string(e.what()).find("absent.json: cannot read the scenario file"),
              std::string::npos);
  }
}

TEST_F(ScenarioTest, RelativePathsFollowBase) {
  const fs::path dir = root() / "scenarios" / "one";
  fs::create_directories(dir);
  fs::create_directories(root() / "inst" / "lang");
  { std::ofstream(dir / "s.json") << R"({"base": "../..", "installation": "inst"})"; }
  Session fresh;
  (void)sim::load_scenario(fresh, dir / "s.json", root() / "out");
  EXPECT_TRUE(fs::is_directory(root() / "out" / "drives" / "D" / "kv_conf" / "lang"));
}

} // namespace
} // namespace sim::testing
