//===- post_fixture.cpp - A part with two program groups ready to post ----===//
#include "post_fixture.h"

#include "host/cam.h"
#include "host/core.h"
#include "my_func/my_func.h"
#include "runtime/runtime.h"
#include "selection/selection.h"
#include "short_texts.h"

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>

namespace post_test {

std::string short_texts() {
  return "post_pro_06:NONE_POST\n" + test_text::numbered_texts("post_pro_", 16, "P") +
         test_text::numbered_texts("ok_cb_", 2, "K");
}

void PostTest::SetUp() {
  SystemTest::SetUp();
  part();
}

void PostTest::part(const std::string &extra_top, const std::string &extra_part,
                    const std::string &programs) {
  load_scenario(R"({"installation": "data/kv_conf", )" + extra_top +
                R"("part": {"file": "D:\\work\\part.prt", "application": "cam", )" + extra_part +
                R"("csys": {"MCS_A": {"origin": [0, 0, 30]}}, )" +
                (programs.empty() ? R"("programs": [
                   {"P1": [{"op": "OP1", "mcs": "MCS_A", "tool": "D10",
                            "moves": ["G0 X0 Y0 Z50", "G1 Z-5 F500", "G1 X40"]}]},
                   {"P2": [{"op": "OP2", "mcs": "MCS_A", "tool": "D6",
                            "moves": ["G0 X0 Y0 Z50", "G1 Z-2 F800", "G1 Y30"]}]}],
      "selected": ["P1", "P2"])"
                                  : programs) +
                "}}");
  write_file(kLang, short_texts() + read_file(kLang));
  make_folder("D:\\nc");
}

void PostTest::make_folder(const std::string &host_path) {
  const auto folder = session().runtime().resolve(host_path);
  ASSERT_TRUE(folder.has_value()) << host_path;
  std::filesystem::create_directories(*folder);
}

void PostTest::prepend_def(const std::string &lines) { write_file(kDef, lines + read_file(kDef)); }

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
