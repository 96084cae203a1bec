//===- post_fixture.h - A part with two program groups ready to post ------===//
//
// PostTest opens a part whose program groups P1 and P2 (one operation
// each) are selected, puts short message texts in front of the installed
// language file (post_pro_NN: PNN, post_pro_06: NONE_POST, ok_cb_NN:
// KNN) and makes the output folder D:\nc.  run() collects the programs and
// posts them inside one API bracket, as the driver does.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_TESTS_POST_POST_FIXTURE_H
#define NCSHEET_TESTS_POST_POST_FIXTURE_H

#include "command/command.h"
#include "post/post.h"
#include "session/transcript.h"
#include "system_fixture.h"

#include <functional>
#include <string>
#include <vector>

namespace post_test {

inline constexpr const char *kLang = "D:\\kv_conf\\lang\\ncsheet_elec_uni.txt";
inline constexpr const char *kDef = "D:\\kv_conf\\config_prog_sheet_mr.def";
inline constexpr const char *kSettings = "D:\\kv_conf\\temp\\mr_prog_sheet.dat";

/// Short texts of the post run's and the dialog's keys.
std::string short_texts();

class PostTest : public sim::testing::SystemTest {
protected:
  void SetUp() override;

  /// Opens the part afresh; extra_top is added to the scenario's top level
  /// (for instance a "postprocessors" section), extra_part to its part;
  /// programs, when given, are the part's "programs" and "selected" entries
  /// instead of P1 and P2.
  void part(const std::string &extra_top = "", const std::string &extra_part = "",
            const std::string &programs = "");
  /// Makes a folder by host path.
  void make_folder(const std::string &host_path);
  /// Puts lines in front of the definition file (the first key wins).
  void prepend_def(const std::string &lines);

  /// Collects and posts; between runs after the collection.  Returns what
  /// post_process returned (0 also when the collection failed).
  int run(const std::function<void()> &between = {});
  /// Queues the answers of an ordinary run: menu item, OK with the dialog
  /// edits given, the file dialog's file.
  void answer_run(int item, const std::string &dialog_edits = "{}",
                  const std::string &file = "D:\\nc\\P1.nc");

  [[nodiscard]] std::vector<std::string> boxes() { return texts(sim::EventKind::MessageBox); }
  [[nodiscard]] std::vector<std::string> questions() { return texts(sim::EventKind::Question); }
  [[nodiscard]] std::vector<std::string> texts(sim::EventKind kind) {
    return transcript().texts(kind);
  }
  /// The questions of one kind ("menu", "file box", ...) by the start of
  /// their detail.
  [[nodiscard]] std::vector<std::string> questions_of(const std::string &kind);

  /// The post_info of the records of the last run.
  std::vector<prog_entry> records;
};

} // namespace post_test

#endif
