//===- post_fixture.cpp - A part with two program groups ready to post ----===//
#include "post_fixture.h"

#include "host/cam.h"
#include "host/core.h"
#include "my_func/my_func.h"
#include "runtime/runtime.h"
#include "selection/selection.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace post_test {

std::string short_texts() {
  std::string text;
  for (int i = 1; i <= 16; ++i) {
    char key[32];
    std::snprintf(key, sizeof key, "post_pro_%02d:", i);
    text += std::string(key) + (i == 6 ? std::string("NONE_POST") : "P" + std::to_string(i)) +
            "\n";
  }
  text += "ok_cb_01:K1\nok_cb_02:K2\n";
  return text;
}

void PostTest::SetUp() {
  SystemTest::SetUp();
  part();
}

void PostTest::part(const std::string &extra_top, const std::string &extra_part) {
  load_scenario(R"({"installation": "data/kv_conf", )" + extra_top +
                R"("part": {"file": "D:\\work\\part.prt", "application": "cam", )" + extra_part +
                R"("csys": {"MCS_A": {"origin": [0, 0, 30]}},
      "programs": [{"P1": [{"op": "OP1", "mcs": "MCS_A", "tool": "D10",
                            "moves": ["G0 X0 Y0 Z50", "G1 Z-5 F500", "G1 X40"]}]},
                   {"P2": [{"op": "OP2", "mcs": "MCS_A", "tool": "D6",
                            "moves": ["G0 X0 Y0 Z50", "G1 Z-2 F800", "G1 Y30"]}]}],
      "selected": ["P1", "P2"]}})");
  write_file(kLang, short_texts() + read_file(kLang));
  const auto folder = session().runtime().resolve("D:\\nc");
  ASSERT_TRUE(folder.has_value());
  std::filesystem::create_directories(*folder);
}

void PostTest::prepend_def(const std::string &lines) {
  write_file(kDef, lines + read_file(kDef));
}

int PostTest::run(const std::function<void()> &between) {
  prog_entry *list = nullptr;
  int count = 0;
  tag_t mcs = NULL_TAG;
  int result = 0;

  records.clear();
  (void)text_copy(lang_file, sizeof lang_file, kLang);
  if (UF_initialize() != 0)
    return 0;
  tag_t setup = NULL_TAG;
  (void)UF_SETUP_ask_setup(&setup);
  if (select_all(&list, &count, &mcs)) {
    if (between)
      between();
    result = post_process(list, count, setup);
    records.assign(list, list + count);
    std::free(list);
  }
  (void)UF_terminate();
  return result;
}

void PostTest::answer_run(int item, const std::string &dialog_edits, const std::string &file) {
  answer({{"menu", item}});
  answer({{"dialog", nlohmann::json::parse(dialog_edits)}, {"press", "OK"}});
  answer({{"file", file}});
}

std::vector<std::string> PostTest::questions_of(const std::string &kind) {
  std::vector<std::string> out;
  for (const sim::Event &event : transcript().events())
    if (event.kind == sim::EventKind::Question && event.detail.rfind(kind, 0) == 0)
      out.push_back(event.text);
  return out;
}

} // namespace post_test
