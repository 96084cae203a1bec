// Transcript output (JSON and text), GBK conversion and the part dump.
#include "session_fixture.h"

#include "dump/dump.h"
#include "objects/object_store.h"
#include "text/gbk.h"

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

namespace sim::testing {
namespace {

TEST(GbkTest, ConvertsBothWays) {
  const struct {
    std::string gbk;
    std::string utf8;
  } cases[] = {
      {"plain", "plain"},
      {"\xd5\xd2\xb2\xbb\xb5\xbd %s", "找不到 %s"},
      {"\xd3\xef\xd1\xd4", "语言"},
      {"", ""},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(gbk_to_utf8(c.gbk), c.utf8);
    EXPECT_EQ(utf8_to_gbk(c.utf8), c.gbk);
  }
  EXPECT_EQ(gbk_to_utf8(std::string("a\xff") + "b"), std::string("a\xEF\xBF\xBD") + "b");
  EXPECT_EQ(gbk_to_utf8("a\xd5"), "a\xEF\xBF\xBD") << "cut in the middle of a character";
  EXPECT_EQ(utf8_to_gbk(std::string("a\xF0\x9F\x98\x80") + "b"), "a?b") << "a character GBK lacks";
  EXPECT_EQ(to_hex(std::string("\xd5\xd2") + "A"), "d5d241");
}

using TranscriptTest = SessionTest;

/// A component slow to make, so that threads asking at once overlap.
class SlowComponent : public Component {
public:
  explicit SlowComponent(Session &) {
    for (int i = 0; i < 1000; ++i)
      std::this_thread::yield();
  }
  [[nodiscard]] std::string_view name() const override { return "slow"; }
  [[nodiscard]] bool in_dump() const override { return false; }
};

// Pages are drawn from several threads: whichever thread asks first, a
// session keeps one component of a kind, and every thread is handed it.
TEST_F(TranscriptTest, ThreadsAskingForAComponentAtOnceShareOne) {
  std::vector<const Component *> got(8);
  {
    std::vector<std::jthread> threads;
    for (std::size_t i = 0; i < got.size(); ++i)
      threads.emplace_back([&, i] { got[i] = &session().component<SlowComponent>(); });
  }
  for (const Component *component : got)
    EXPECT_EQ(component, got.front());
  const std::vector<const Component *> all = session().components();
  EXPECT_EQ(std::count(all.begin(), all.end(), got.front()), 1);
  EXPECT_EQ(
      std::count_if(all.begin(), all.end(), [](const Component *c) { return c->name() == "slow"; }),
      1);
}

TEST_F(TranscriptTest, StoresTextsAsUtf8AndGbkHex) {
  transcript().set_run(1);
  transcript().add(EventKind::MessageBox, "\xd5\xd2\nnext line");
  transcript().add(EventKind::Status, "ok");
  const nlohmann::json doc = transcript().to_json();
  const nlohmann::json &events = doc["events"];
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0]["kind"], "message_box");
  EXPECT_EQ(events[0]["text"], "找\nnext line");
  EXPECT_EQ(events[0]["gbk_hex"], "d5d20a6e657874206c696e65");
  EXPECT_EQ(events[0]["run"], 1);
  EXPECT_FALSE(events[1].contains("gbk_hex"));
  const std::string text = transcript().to_text();
  EXPECT_NE(text.find("== run 1 =="), std::string::npos);
  EXPECT_NE(text.find("message_box: 找\n    next line\n"), std::string::npos) << text;
}

class NotePayload : public Payload {
public:
  const char *kind() const override { return "note"; }
  void dump(nlohmann::json &out) const override { out["text"] = "hello"; }
};

class WcsState : public Component {
public:
  explicit WcsState(Session &) {}
  std::string_view name() const override { return "wcs"; }
  void dump(nlohmann::json &out) const override { out["origin"] = {0, 0, 30}; }
};

TEST_F(TranscriptTest, PartDumpHasObjectsPayloadsAndState) {
  session().objects().create(3, 1, "\xd6\xd0", std::make_unique<NotePayload>());
  session().component<WcsState>();
  EXPECT_EQ(&session().component<WcsState>(), session().find<WcsState>());
  (void)session().add_undo_mark(true, "");
  const nlohmann::json doc = dump_part(session());
  EXPECT_EQ(doc["display_part"]["file"], "D:\\work\\part.prt");
  EXPECT_EQ(doc["application"], 16);
  ASSERT_EQ(doc["objects"].size(), 2u); // the part and the note
  const nlohmann::json &note = doc["objects"][1];
  EXPECT_EQ(note["name"], "中");
  EXPECT_EQ(note["name_gbk_hex"], "d6d0");
  EXPECT_EQ(note["kind"], "note");
  EXPECT_EQ(note["payload"]["text"], "hello");
  EXPECT_EQ(doc["state"]["wcs"]["origin"][2], 30);
  EXPECT_EQ(doc["undo_marks"].size(), 1u);

  // The file is streamed object by object, with the text of the whole tree.
  const auto file = root() / "ncsheet_part_dump_test.json";
  ASSERT_TRUE(write_part_dump(session(), file));
  EXPECT_EQ(slurp(file), doc.dump(2) + "\n");
}

} // namespace
} // namespace sim::testing
