// dims_scenario_test.cpp: the ordinate dimensions of the first sheet page
// as the runner shows them: the real module run on a scenario, the values
// read from the part dump.
#include "runner.h"
#include "session_fixture.h"
#include "system_modules.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

using sim::testing::slurp;

class DimsScenario : public ::testing::TestWithParam<sim::testing::SystemModule> {
protected:
  void SetUp() override {
    dir_ = sim::testing::make_temp_dir("ncsheet-dims");
    fs::copy(sim::testing::installation_dir(), dir_ / "inst", fs::copy_options::recursive);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  // Sets the view select of the installed definition file.
  void view_select(int value) {
    const fs::path def = dir_ / "inst" / "config_prog_sheet_mr.def";
    std::string text = slurp(def);
    const std::string key = "nc_prog_elec_view_select:";
    const std::size_t at = text.find(key);
    ASSERT_NE(at, std::string::npos);
    const std::size_t end = text.find('\n', at);
    text.replace(at, end - at, key + " " + std::to_string(value));
    std::ofstream(def, std::ios::binary) << text;
  }
  // Runs a 100 x 60 x 30 block with the machining origin at the centre of
  // its top face through the whole command, once or twice around a reload;
  // returns the part dump.
  json run(bool twice = false) {
    const std::string answers = R"({ "menu": 1 }, { "dialog": { "STR_0": "M1" }, "press": "OK" },
        { "file": "D:\\A01.mpf" })";
    const fs::path file = dir_ / "scenario.json";
    std::ofstream(file) << R"({
      "installation": "inst",
      "part": {
        "file": "D:\\work\\block.prt", "application": "cam",
        "bodies": [ { "block": [100, 60, 30] } ],
        "csys": { "MCS": { "origin": [50, 30, 30] } },
        "programs": [ { "P": [ { "A01": [ { "op": "FACE_MILLING_1", "mcs": "MCS", "tool": "D50",
                        "moves": ["G0 X-60 Y0 Z5", "G1 Z0 F500", "X60 F2000"] } ] } ] } ],
        "selected": [ "P" ]
      },
      "answers": [ )" << answers
                        << (twice ? ", " + answers + R"(, { "buttons": "YES" })" : "")
                        << R"( ], "runs": )"
                        << (twice ? R"(["run", "reload", "run"])" : R"(["run"])") << "}";
    ncsheet::RunOptions options;
    options.scenario = file;
    options.out = dir_ / "out";
    options.module = GetParam().file;
    std::ostringstream out, err;
    EXPECT_EQ(sim::testing::run_system(options, out, err), ncsheet::kExitCompleted)
        << out.str() << err.str();
    return json::parse(slurp(dir_ / "out" / "part.json"));
  }

  // "type:text:kind" of each dimension per member view, in creation order:
  // its margin's type, its text and the kind of the object it sits on.
  static std::map<int, std::vector<std::string>> dims_by_view(const json &part) {
    std::map<int, int> margin_type;
    std::map<int, std::string> kinds;
    std::map<int, std::vector<std::string>> out;
    for (const json &o : part["objects"]) {
      const std::string kind = o.value("kind", "");
      kinds[o["tag"]] = kind;
      if (kind == "ordinate_margin")
        margin_type[o["tag"]] = o["payload"]["type"];
      if (kind == "ordinate_dimension") {
        const json &p = o["payload"];
        out[p["view"]].push_back(std::to_string(margin_type[p["margin"]]) + ":" +
                                 p["text"].get<std::string>() + ":" + kinds[p["object"]]);
      }
    }
    return out;
  }

  fs::path dir_;
};

INSTANTIATE_TEST_SUITE_P(Modules, DimsScenario, ::testing::ValuesIn(sim::testing::system_modules()),
                         sim::testing::module_name);

TEST_P(DimsScenario, FirstPageOfEveryRunCarriesTheDimensions) {
  // Two runs around a reload: the messages of the edge analysis are loaded
  // again and each first page gets its own dimensions, on the block's edges
  // and the origin point (no construction geometry).
  const auto dims = dims_by_view(run(true));
  const std::vector<std::string> top = {"2:0:point", "2:-30:edge", "2:30:edge",
                                        "1:0:point", "1:-50:edge", "1:50:edge"};
  const std::vector<std::string> front = {"2:0:point", "2:-30:edge"};
  ASSERT_EQ(dims.size(), 4u) << "top and front view of two pages";
  auto view = dims.begin();
  for (int page = 0; page < 2; ++page) {
    EXPECT_EQ((view++)->second, top);
    EXPECT_EQ((view++)->second, front);
  }
}

TEST_P(DimsScenario, SideViewConfigured) {
  view_select(0);
  const auto dims = dims_by_view(run());
  ASSERT_EQ(dims.size(), 2u);
  EXPECT_EQ(std::next(dims.begin())->second, (std::vector<std::string>{"1:0:point", "1:-30:edge"}));
}

} // namespace
