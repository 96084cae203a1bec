//===- cam_fixture.h - Sessions with a CAM part for the host's tests ------===//
#ifndef NCSHEET_TESTS_CAM_HOST_CAM_FIXTURE_H
#define NCSHEET_TESTS_CAM_HOST_CAM_FIXTURE_H

#include "objects/object_store.h"
#include "runtime/runtime.h"
#include "scenario/scenario.h"
#include "session_fixture.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace sim::testing {

class CamHostTest : public SessionTest {
protected:
  /// Loads a scenario with the installation mounted and a CAM part whose
  /// further keys are part_keys (JSON members without braces, may be
  /// empty); top_keys are further top-level members.
  void load_part(const std::string &part_keys, const std::string &top_keys = {}) {
    std::string text = R"({"installation": "data/kv_conf", "clock": "2026-12-05T09:30:00",
      "part": {"file": "D:\\work\\part.prt", "application": "cam")";
    if (!part_keys.empty())
      text += ", " + part_keys;
    text += "}";
    if (!top_keys.empty())
      text += ", " + top_keys;
    text += "}";
    load_scenario(text);
    // The folder the NC files go to, as the user has it.
    if (const auto nc = session().runtime().resolve("D:\\nc"))
      std::filesystem::create_directories(*nc);
  }
  /// Loading the part is refused with a message that names path.
  void expect_refused(const std::string &part_keys, const std::string &top_keys,
                      std::string_view path) {
    try {
      load_part(part_keys, top_keys);
      ADD_FAILURE() << "accepted: " << part_keys << " " << top_keys;
    } catch (const ScenarioError &e) {
      EXPECT_NE(std::string_view(e.what()).find(path), std::string_view::npos) << e.what();
    }
  }
  /// The first object of the name.
  tag_t named(const char *name) {
    const tag_t tag = session().objects().next_by_name(name, NULL_TAG);
    EXPECT_NE(tag, NULL_TAG) << name;
    return tag;
  }
};

} // namespace sim::testing

#endif
