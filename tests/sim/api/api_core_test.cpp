// The API bracket, fault injection, status texts, host arrays, the part and
// its objects, and the entry's guards.
#include "session_fixture.h"

#include "api/entry.h"
#include "host/core.h"
#include "host/ui.h"
#include "objects/object_store.h"

#include <array>
#include <stdexcept>

namespace sim::testing {
namespace {

using CoreTest = SessionTest;

// The bracket is counted and recorded, and unbalanced brackets fail the run.
TEST_F(CoreTest, BracketIsCountedAndRecorded) {
  EXPECT_EQ(UF_initialize(), 0);
  EXPECT_EQ(UF_initialize(), 0);
  EXPECT_EQ(session().bracket_depth(), 2);
  EXPECT_EQ(UF_terminate(), 0);
  EXPECT_EQ(UF_terminate(), 0);
  EXPECT_EQ(transcript().count(EventKind::BracketOpen), 2u);
  EXPECT_EQ(transcript().count(EventKind::BracketClose), 2u);
  const FinishReport report = finish();
  EXPECT_TRUE(report.ok());
  EXPECT_EQ((std::array{report.initialize_calls, report.terminate_calls}), (std::array{2, 2}));

  new_session();
  EXPECT_EQ(UF_terminate(), status::kNotInitialized);
  EXPECT_TRUE(session().run_failed());
  new_session();
  EXPECT_EQ(UF_initialize(), 0);
  const FinishReport open = finish();
  EXPECT_EQ(open.bracket_depth, 1);
  EXPECT_FALSE(open.ok());
}

TEST_F(CoreTest, CallsOutsideTheBracketAreFlagged) {
  int module = 0;
  EXPECT_EQ(UF_ask_application_module(&module), 0);
  (void)UF_PART_ask_display_part();
  ASSERT_EQ(UF_initialize(), 0);
  EXPECT_EQ(UF_ask_application_module(&module), 0);
  ASSERT_EQ(UF_terminate(), 0);
  EXPECT_EQ(transcript().details(EventKind::OutsideBracket),
            (std::vector<std::string>{"UF_ask_application_module", "UF_PART_ask_display_part"}));
  EXPECT_TRUE(finish().ok()) << "flagged, not failed";
}

TEST_F(CoreTest, FaultsByNameNthEveryAndKth) {
  ASSERT_EQ(UF_initialize(), 0);
  int module = 0;
  fail("UF_ask_application_module", 2, 77);
  EXPECT_EQ(UF_ask_application_module(&module), 0);
  EXPECT_EQ(UF_ask_application_module(&module), 77);
  EXPECT_EQ(UF_ask_application_module(&module), 0);

  session().calls().clear_faults();
  fail("UF_UI_set_status", 0, 5);
  EXPECT_EQ(UF_UI_set_status("a"), 5);
  EXPECT_EQ(UF_UI_set_status("b"), 5);
  EXPECT_EQ(session().status_line(), "");

  session().calls().clear_faults();
  const std::uint64_t next = session().calls().fallible_total() + 2;
  fail_kth(next, 9);
  EXPECT_EQ(UF_UI_set_prompt("p"), 0);
  EXPECT_EQ(UF_UI_set_prompt("q"), 9);
  EXPECT_EQ(session().prompt_line(), "p");
  EXPECT_EQ(transcript().count(EventKind::FaultInjected), 4u);
  EXPECT_EQ(session().calls().fired().size(), 4u);
  EXPECT_EQ(UF_terminate(), 0);
}

TEST_F(CoreTest, FailedCallsLeaveOutputsOrPoisonThem) {
  ASSERT_EQ(UF_initialize(), 0);
  fail("UF_OBJ_ask_type_and_subtype");
  int type = 42, subtype = 43;
  EXPECT_EQ(UF_OBJ_ask_type_and_subtype(session().display_part(), &type, &subtype), 1);
  EXPECT_EQ((std::array{type, subtype}), (std::array{42, 43}));
  session().set_poison_outputs(true);
  EXPECT_EQ(UF_OBJ_ask_type_and_subtype(session().display_part(), &type, &subtype), 1);
  EXPECT_EQ(type, api::kPoisonInt);
  char name[UF_OBJ_NAME_BUFSIZE] = "keep";
  fail("UF_OBJ_ask_name");
  EXPECT_EQ(UF_OBJ_ask_name(session().display_part(), name), 1);
  EXPECT_EQ(std::string(name), std::string(30, '?'));
  EXPECT_EQ(UF_terminate(), 0);
}

TEST_F(CoreTest, FailedTerminateStillClosesTheBracket) {
  ASSERT_EQ(UF_initialize(), 0);
  fail("UF_terminate");
  EXPECT_EQ(UF_terminate(), 1);
  EXPECT_EQ(session().bracket_depth(), 0);
  fail("UF_initialize");
  EXPECT_EQ(UF_initialize(), 1);
  EXPECT_EQ(session().bracket_depth(), 0);
  EXPECT_TRUE(finish().ok());
}

TEST_F(CoreTest, StatusTexts) {
  const struct {
    int code;
    int result;
    const char *text;
  } cases[] = {
      {status::kFailed, 0, "The operation failed"},
      {status::kBadTag, 0, "Invalid object tag"},
      {status::kTextless, status::kNotFound, ""},
      {899, status::kNotFound, ""},
      {-5, status::kNotFound, ""},
  };
  ASSERT_EQ(UF_initialize(), 0);
  for (const auto &c : cases) {
    SCOPED_TRACE(c.code);
    char message[UF_FAIL_MESSAGE_BUFSIZE] = "x";
    EXPECT_EQ(UF_get_fail_message(c.code, message), c.result);
    EXPECT_STREQ(message, c.text);
  }
  EXPECT_EQ(UF_terminate(), 0);
}

TEST_F(CoreTest, HostArraysMustBeFreed) {
  ASSERT_EQ(UF_initialize(), 0);
  auto *kept = session().arrays().allocate_array<tag_t>(3, Call::UF_NCGROUP_ask_member_list);
  auto *freed = session().arrays().allocate_array<tag_t>(2, Call::UF_UI_ONT_ask_selected_nodes);
  EXPECT_EQ(session().arrays().allocate_array<tag_t>(0, Call::UF_NCGROUP_ask_member_list), nullptr);
  ASSERT_NE(kept, nullptr);
  UF_free(freed);
  UF_free(nullptr);
  EXPECT_FALSE(session().run_failed());
  int not_ours = 0;
  UF_free(&not_ours);
  EXPECT_EQ(transcript().count(EventKind::BadFree), 1u);
  EXPECT_EQ(UF_terminate(), 0);
  const FinishReport report = finish();
  EXPECT_EQ(report.unfreed_arrays, 1u);
  EXPECT_EQ(transcript().details(EventKind::UnfreedArray),
            std::vector<std::string>{"UF_NCGROUP_ask_member_list"});
  EXPECT_EQ(report.failures.size(), 2u);
}

TEST_F(CoreTest, PartModuleAndUndoMarks) {
  ASSERT_EQ(UF_initialize(), 0);
  const tag_t part = UF_PART_ask_display_part();
  ASSERT_NE(part, NULL_TAG);
  char fspec[MAX_FSPEC_BUFSIZE] = "";
  EXPECT_EQ(UF_PART_ask_part_name(part, fspec), 0);
  EXPECT_STREQ(fspec, "D:\\work\\part.prt");
  EXPECT_EQ(UF_PART_ask_part_name(part + 1000, fspec), status::kBadTag);
  int module = 0;
  EXPECT_EQ(UF_ask_application_module(&module), 0);
  EXPECT_EQ(module, UF_APP_CAM);
  UF_UNDO_mark_id_t mark = 0;
  EXPECT_EQ(UF_UNDO_set_mark(UF_UNDO_visible, nullptr, &mark), 0);
  EXPECT_EQ(mark, 1);
  EXPECT_EQ(UF_UNDO_set_mark(7, nullptr, &mark), status::kBadArgument);
  ASSERT_EQ(session().undo_marks().size(), 1u);
  EXPECT_TRUE(session().undo_marks()[0].visible);
  EXPECT_EQ(UF_terminate(), 0);
}

TEST_F(CoreTest, ObjectNamesTypesAndCycling) {
  ObjectStore &store = session().objects();
  const tag_t a = store.create(70, 0, "Body_One").tag;
  const tag_t b = store.create(60, 7, "view").tag;
  const tag_t c = store.create(70, 0, "BODY_ONE").tag;
  const tag_t unnamed = store.create(70, 0).tag;
  const tag_t longname = store.create(1, 0, std::string(40, 'n')).tag;
  ASSERT_EQ(UF_initialize(), 0);

  char name[UF_OBJ_NAME_BUFSIZE] = "";
  EXPECT_EQ(UF_OBJ_ask_name(a, name), 0);
  EXPECT_STREQ(name, "Body_One");
  EXPECT_EQ(UF_OBJ_ask_name(longname, name), 0);
  EXPECT_EQ(std::string(name), std::string(30, 'n'));
  EXPECT_EQ(UF_OBJ_ask_name(unnamed, name), status::kNotFound);
  EXPECT_EQ(UF_OBJ_ask_name(NULL_TAG, name), status::kBadTag);

  int type = 0, subtype = 0;
  EXPECT_EQ(UF_OBJ_ask_type_and_subtype(b, &type, &subtype), 0);
  EXPECT_EQ((std::array{type, subtype}), (std::array{60, 7}));

  std::vector<tag_t> named;
  tag_t object = NULL_TAG;
  do {
    ASSERT_EQ(UF_OBJ_cycle_by_name("body_one", &object), 0);
    if (object != NULL_TAG)
      named.push_back(object);
  } while (object != NULL_TAG);
  EXPECT_EQ(named, (std::vector<tag_t>{a, c}));

  store.erase(c);
  std::vector<tag_t> bodies;
  const tag_t part = UF_PART_ask_display_part();
  for (tag_t t = UF_OBJ_cycle_objs_in_part(part, 70, NULL_TAG); t != NULL_TAG;
       t = UF_OBJ_cycle_objs_in_part(part, 70, t))
    bodies.push_back(t);
  EXPECT_EQ(bodies, (std::vector<tag_t>{a, unnamed}));
  EXPECT_EQ(UF_OBJ_cycle_objs_in_part(part + 999, 70, NULL_TAG), NULL_TAG);
  EXPECT_EQ(UF_terminate(), 0);

  const tag_t fresh = store.create(70, 0).tag;
  EXPECT_GT(fresh, longname) << "tags are never reused";

  // Renaming moves an object between names and keeps creation order;
  // cycling goes on from an erased object; an erased name is gone.
  store.set_name(*store.find(unnamed), "body_ONE");
  store.set_name(*store.find(b), "Body_one");
  EXPECT_EQ(store.next_by_name("BODY_ONE", NULL_TAG), a);
  EXPECT_EQ(store.next_by_name("BODY_ONE", a), b);
  EXPECT_EQ(store.next_by_name("BODY_ONE", b), unnamed);
  EXPECT_EQ(store.next_by_name("BODY_ONE", c), unnamed);
  EXPECT_EQ(store.next_by_name("view", NULL_TAG), NULL_TAG);
  store.erase(a);
  EXPECT_EQ(store.next_by_name("body_one", NULL_TAG), b);
  EXPECT_EQ(store.next_by_type(70, a), unnamed);
  EXPECT_EQ(store.find(a), nullptr);
  EXPECT_EQ(store.find(fresh + 1), nullptr);
  EXPECT_EQ(store.tags_of_type(70), (std::vector<tag_t>{unnamed, fresh}));

  // GBK names are cut at character boundaries: 15 two-byte characters fill
  // 30 bytes; one ASCII letter in front pushes the last one out whole.
  std::string gbk = "x";
  for (int i = 0; i < 15; ++i)
    gbk += "\xd6\xd0";
  EXPECT_EQ(store.create(1, 0, gbk).name.size(), 29u);
}

TEST_F(CoreTest, ExceptionsBecomeStatuses) {
  const int result = api::call(
      Call::UF_OBJ_ask_name, [](Session &) -> int { throw std::runtime_error("kernel said no"); });
  EXPECT_EQ(result, status::kInternal);
  ASSERT_EQ(transcript().count(EventKind::HostException), 1u);
  EXPECT_NE(
      transcript().details(EventKind::HostException)[0].find("UF_OBJ_ask_name: kernel said no"),
      std::string::npos);
  EXPECT_TRUE(session().run_failed());
  const tag_t fallback = api::value_call(Call::UF_PART_ask_display_part, tag_t{7},
                                         [](Session &) -> tag_t { throw 1; });
  EXPECT_EQ(fallback, 7u);
}

TEST(NoSessionTest, CallsReturnWithoutCrashing) {
  ASSERT_EQ(Session::current(), nullptr);
  EXPECT_EQ(UF_initialize(), status::kNoSession);
  EXPECT_EQ(UF_PART_ask_display_part(), NULL_TAG);
  UF_free(nullptr);
  EXPECT_EQ(uc1601("text", 1), 0);
}

TEST_F(CoreTest, FaultLoopVisitsEveryFallibleCall) {
  std::vector<std::uint64_t> seen;
  const std::uint64_t n = fault_loop(
      [] {
        if (UF_initialize() != 0)
          return;
        int module = 0;
        (void)UF_ask_application_module(&module);
        (void)UF_PART_ask_display_part(); // not fallible
        (void)UF_UI_set_status("done");
        (void)UF_terminate();
      },
      [&](std::uint64_t k) {
        seen.push_back(k);
        const FinishReport report = finish();
        EXPECT_EQ(report.bracket_depth, 0);
        EXPECT_TRUE(report.ok());
        EXPECT_EQ(session().calls().fired().size(), k == 0 ? 0u : 1u);
      });
  EXPECT_EQ(n, 4u);
  EXPECT_EQ(seen, (std::vector<std::uint64_t>{0, 1, 2, 3, 4}));
}

} // namespace
} // namespace sim::testing
