// The drafting and lettering preferences around the program sheet: the
// sheet's values while it is built, and the user's afterwards, whether the
// sheet was completed or not.
#include "command/drafting_prefs.h"

#include "command/command.h"
#include "drafting/drafting.h"
#include "drawings/drawings.h"
#include "host/core.h"
#include "objects/object_store.h"
#include "system_fixture.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using sim::drf::Drafting;

// Preferences no default has: every integer 100 + its index, every real
// 0.25 + its index, symbols of their own, a lettering record of its own.
void set_user_preferences(Drafting &d) {
  for (int i = 0; i < UF_DRF_INT_PREFS; ++i)
    d.int_prefs[i] = 100 + i;
  for (int i = 0; i < UF_DRF_REAL_PREFS; ++i)
    d.real_prefs[i] = 0.25 + i;
  d.radius_symbol = "RAD";
  d.diameter_symbol = "DIAM";
  d.lettering.general_text.size = 6.5;
  d.lettering.general_text.line_space_factor = 2.0;
  d.lettering.dimension_text.aspect_ratio = 0.7;
  d.lettering.align_position = 9;
}

struct Snapshot {
  std::array<int, UF_DRF_INT_PREFS> ints;
  std::array<double, UF_DRF_REAL_PREFS> reals;
  std::string radius, diameter;
  UF_DRF_lettering_preferences_t lettering;
};

Snapshot snapshot(const Drafting &d) {
  return {d.int_prefs, d.real_prefs, d.radius_symbol, d.diameter_symbol, d.lettering};
}

// The user's preferences as the sheet leaves them: integers 3, 13 and 16
// keep the sheet's values 2, 1 and 1 (unless the sheet could not read the
// drafting preferences), everything else is as before.
void expect_put_back(const Drafting &d, const Snapshot &before, bool keeps_three = true) {
  for (int i = 0; i < UF_DRF_INT_PREFS; ++i) {
    const bool kept = keeps_three && (i == 3 || i == 13 || i == 16);
    const int expected = kept ? (i == 3 ? 2 : 1) : before.ints[i];
    EXPECT_EQ(d.int_prefs[i], expected) << "integer preference " << i;
  }
  EXPECT_EQ(d.real_prefs, before.reals);
  EXPECT_EQ(d.radius_symbol, before.radius);
  EXPECT_EQ(d.diameter_symbol, before.diameter);
  EXPECT_EQ(std::memcmp(&d.lettering, &before.lettering, sizeof d.lettering), 0);
}

class SheetPrefs : public sim::testing::SystemTest {
protected:
  Drafting &drafting() { return session().component<Drafting>(); }

  // The demo scenario, its folders taken from the source tree, with a
  // block for the workpiece.
  void load_demo() {
    std::ifstream in(std::string(NCSHEET_SOURCE_DIR) + "/examples/demo/scenario.json");
    nlohmann::json scenario = nlohmann::json::parse(in);
    scenario.erase("base");
    scenario["part"]["bodies"] = nlohmann::json::parse(R"([{"block": [120, 80.5, 35]}])");
    load_scenario(scenario.dump());
    reset_module_state();
  }

  void run() {
    int rc = 0;
    ufusr(nullptr, &rc, 0);
  }

  std::size_t drawing_count() {
    return session().objects().tags_of_type(sim::draw::kDrawingType).size();
  }
};

// While the sheet runs its drafting and lettering values are set, the
// user's put back after; a set that cannot be read is left alone.
TEST_F(SheetPrefs, SheetValuesAreSetAndTheUsersPutBack) {
  // call, nth use, and whether the lettering and the drafting values change
  // while the sheet runs
  const std::tuple<const char *, std::uint32_t, bool, bool> cases[] = {
      {"", 0, true, true},
      {"UF_DRF_ask_lettering_preferences", 1, false, true},
      {"UF_DRF_ask_lettering_preferences", 2, false, true},
      {"UF_DRF_ask_preferences", 1, true, false},
      {"UF_DRF_ask_preferences", 2, true, false},
  };
  for (const auto &[call, nth, lettering_changed, drafting_changed] : cases) {
    SCOPED_TRACE(std::string(call) + " #" + std::to_string(nth));
    new_session();
    set_user_preferences(drafting());
    const Snapshot before = snapshot(drafting());
    if (*call != '\0')
      fail(call, nth);
    ASSERT_EQ(UF_initialize(), 0);
    sheet_prefs prefs;
    sheet_prefs_apply(&prefs);
    const Drafting &d = drafting();
    EXPECT_EQ(d.lettering.general_text.line_space_factor == 0.5, lettering_changed);
    EXPECT_EQ(d.int_prefs[30] == 5, drafting_changed);
    if (*call == '\0') {
      for (auto [index, value] : {std::pair{3, 2}, {9, 2}, {13, 1}, {16, 1}, {30, 5}, {90, 1}})
        EXPECT_EQ(d.int_prefs[index], value) << index;
      EXPECT_EQ(d.int_prefs[4], 104); // untouched
      for (auto [index, value] : {std::pair{32, 3.175}, {33, 1.0}, {34, 1.0}, {44, 3.175}})
        EXPECT_EQ(d.real_prefs[index], value) << index;
      EXPECT_EQ(d.real_prefs[31], 31.25);
      EXPECT_EQ(d.radius_symbol, "RAD");
      EXPECT_EQ(d.lettering.general_text.size, 6.5);
      EXPECT_EQ(d.lettering.align_position, 9);
    }
    sheet_prefs_restore(&prefs);
    EXPECT_EQ(UF_terminate(), 0);
    expect_put_back(drafting(), before, drafting_changed);
  }
}

// A whole run, complete or failed, leaves the user's preferences but three;
// the header notes of a complete one have the sheet's line spacing.
TEST_F(SheetPrefs, ARunLeavesTheUsersPreferencesButThree) {
  for (const char *call : {"", "UF_DRAW_create_drawing", "uc6450"}) {
    SCOPED_TRACE(call);
    load_demo();
    set_user_preferences(drafting());
    const Snapshot before = snapshot(drafting());
    if (*call != '\0')
      fail(call, 1);
    run();
    EXPECT_EQ(drawing_count() > 0, *call == '\0');
    expect_put_back(drafting(), before);
    int header_notes = 0;
    session().objects().for_each([&](const sim::Object &o) {
      auto *note = dynamic_cast<const sim::drf::NotePayload *>(o.payload.get());
      if (note && (note->lines == std::vector<std::string>{"M2612"} ||
                   note->lines == std::vector<std::string>{"D:\\WORK\\INSERT_A.PRT"})) {
        ++header_notes;
        EXPECT_EQ(note->lettering.general_text.line_space_factor, 0.5);
      }
    });
    EXPECT_EQ(header_notes, *call == '\0' ? 2 : 0);
    const sim::FinishReport report = finish();
    EXPECT_EQ(report.bracket_depth, 0);
    EXPECT_EQ(report.terminate_calls, report.initialize_calls);
    EXPECT_EQ(session().run_failed(), false);
  }
}

} // namespace
