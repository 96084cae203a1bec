// The Windows DLL under wine and the Linux module give the same outputs:
// every bundled example run by both runners, with the transcript, the part
// dump, the drives and the pages equal byte for byte, the module's own path
// aside, and the runner's printout equal but for the output folder.
#include "session_fixture.h"
#include "system_modules.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using sim::testing::slurp;

std::string replaced(std::string text, const std::string &from, const std::string &to) {
  for (std::size_t at = 0; !from.empty() && (at = text.find(from, at)) != std::string::npos;
       at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

/// Every file under dir, by its path relative to dir.
std::vector<fs::path> files_under(const fs::path &dir) {
  std::vector<fs::path> files;
  for (const auto &entry : fs::recursive_directory_iterator(dir))
    if (entry.is_regular_file())
      files.push_back(fs::relative(entry.path(), dir));
  std::sort(files.begin(), files.end());
  return files;
}

/// Runs scenario with both runners into dir/linux and dir/windows and
/// expects the same printout and the same bytes in every output file.
void expect_same_outputs(const fs::path &scenario, const fs::path &dir) {
  const fs::path linux_out = dir / "linux";
  const fs::path windows_out = dir / "windows";
  const std::string linux_command = std::string(LINUX_RUNNER) + " run '" + scenario.string() +
                                    "' --out '" + linux_out.string() + "' >'" +
                                    (dir / "linux.txt").string() + "' 2>&1";
  const std::string windows_command =
      sim::testing::windows_runner_command("run '" + scenario.string() + "' --out '" +
                                           windows_out.string() + "'") +
      " >'" + (dir / "windows.txt").string() + "' 2>&1";
  ASSERT_EQ(std::system(linux_command.c_str()), 0) << slurp(dir / "linux.txt");
  ASSERT_EQ(std::system(windows_command.c_str()), 0) << slurp(dir / "windows.txt");

  EXPECT_EQ(replaced(slurp(dir / "windows.txt"), windows_out.string(), linux_out.string()),
            slurp(dir / "linux.txt"));
  const std::vector<fs::path> files = files_under(linux_out);
  ASSERT_EQ(files_under(windows_out), files);
  ASSERT_FALSE(files.empty());
  const std::string windows_module =
      (fs::path(WINDOWS_RUNNER).parent_path() / "ncsheet.dll").string();
  for (const fs::path &file : files) {
    SCOPED_TRACE(file.string());
    std::string windows = slurp(windows_out / file);
    if (file.filename().string().rfind("transcript.", 0) == 0)
      windows = replaced(windows, windows_module, LINUX_MODULE);
    EXPECT_TRUE(windows == slurp(linux_out / file)) << "the two modules' " << file << " differ";
  }
}

class TempDirTest {
protected:
  TempDirTest() : dir_(sim::testing::make_temp_dir("ncsheet-same-outputs")) {}
  ~TempDirTest() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  fs::path dir_;
};

class SameOutputs : public TempDirTest, public ::testing::TestWithParam<std::string> {};

TEST_P(SameOutputs, BothModulesWriteTheSameBytes) {
  expect_same_outputs(fs::path(NCSHEET_SOURCE_DIR) / "examples" / GetParam() / "scenario.json",
                      dir_);
}

std::vector<std::string> examples() {
  std::vector<std::string> names;
  for (const auto &entry : fs::directory_iterator(fs::path(NCSHEET_SOURCE_DIR) / "examples"))
    if (fs::exists(entry.path() / "scenario.json"))
      names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

INSTANTIATE_TEST_SUITE_P(Examples, SameOutputs, ::testing::ValuesIn(examples()));

} // namespace

// The definition file's numbers are read by the system's own grammar in
// both modules: a word the C runtimes read differently (hexadecimal,
// infinity, NaN) is no number, an exponent is.  The demo runs on an
// installation with one definition word changed.
struct DefinitionWord {
  const char *name;
  const char *line;        ///< the definition file's line...
  const char *replacement; ///< ...and what it becomes
  const char *shows;       ///< what the Linux part dump or printout shows for it
};

void PrintTo(const DefinitionWord &word, std::ostream *out) { *out << word.replacement; }

class DefinitionWords : public TempDirTest, public ::testing::TestWithParam<DefinitionWord> {};

TEST_P(DefinitionWords, ReadAlikeByBothModules) {
  const DefinitionWord &word = GetParam();
  const fs::path installation = dir_ / "inst";
  fs::copy(fs::path(NCSHEET_SOURCE_DIR) / "data" / "kv_conf", installation,
           fs::copy_options::recursive);
  const fs::path definition = installation / "config_prog_sheet_mr.def";
  const std::string text = slurp(definition);
  ASSERT_NE(text.find(word.line), std::string::npos) << word.line;
  std::ofstream(definition, std::ios::binary) << replaced(text, word.line, word.replacement);
  nlohmann::json scenario = nlohmann::json::parse(
      slurp(fs::path(NCSHEET_SOURCE_DIR) / "examples" / "demo" / "scenario.json"));
  scenario["base"] = NCSHEET_SOURCE_DIR;
  scenario["installation"] = installation.string();
  std::ofstream(dir_ / "scenario.json") << scenario.dump();

  expect_same_outputs(dir_ / "scenario.json", dir_);
  std::string dump = slurp(dir_ / "linux" / "part.json");
  std::erase_if(dump, [](char c) { return c == ' ' || c == '\n'; });
  const std::string shown = slurp(dir_ / "linux.txt") + dump;
  EXPECT_NE(shown.find(word.shows), std::string::npos) << word.shows;
}

// The size note is placed at the point the definition file gives; a ratio
// that is no number greater than 0 is refused with a message.
const DefinitionWord kDefinitionWords[] = {
    {"hexadecimal_point", "elec_size_note_point_x: 325", "elec_size_note_point_x: 0x10",
     R"("lines":["120x80x35"],"orientation":0,"origin":[0.0,158.0,0.0])"},
    {"exponent_point", "elec_size_note_point_y: 158", "elec_size_note_point_y: 1.6e2",
     R"("lines":["120x80x35"],"orientation":0,"origin":[325.0,160.0,0.0])"},
    {"infinite_ratio", "part_path_note_ratio: 1.0", "part_path_note_ratio: inf",
     "程式单图档路径注释的高宽比只能是大于 0 的数"},
    {"nan_ratio", "part_path_note_ratio: 1.0", "part_path_note_ratio: nan",
     "程式单图档路径注释的高宽比只能是大于 0 的数"},
    {"hexadecimal_ratio", "part_path_note_ratio: 1.0", "part_path_note_ratio: 0x10",
     "程式单图档路径注释的高宽比只能是大于 0 的数"},
};

INSTANTIATE_TEST_SUITE_P(Words, DefinitionWords, ::testing::ValuesIn(kDefinitionWords),
                         [](const auto &info) { return std::string(info.param.name); });

// Program groups named as Windows refuses a file (A?1, CON): the NC and
// summary files cannot be written under those names on either module, the
// system says so as it would on the host, and no file of the drives is
// lost or half written.
class WindowsNames : public TempDirTest, public ::testing::Test {};

TEST_F(WindowsNames, GroupsNamedAsNoFileCanBeAreToldAndNothingIsLost) {
  const fs::path example = fs::path(NCSHEET_SOURCE_DIR) / "examples" / "post_runs";
  std::string text = slurp(example / "scenario.json");
  text = replaced(replaced(text, "\"A01\"", "\"A?1\""), "\"B02\"", "\"CON\"");
  nlohmann::json scenario = nlohmann::json::parse(text);
  scenario["base"] = NCSHEET_SOURCE_DIR;
  scenario["runs"] = 1;
  std::ofstream(dir_ / "scenario.json") << scenario.dump();

  expect_same_outputs(dir_ / "scenario.json", dir_);
  const std::string transcript = slurp(dir_ / "linux" / "transcript.txt");
  EXPECT_NE(transcript.find("A?1.nc: not a Windows file name (the character ?)"),
            std::string::npos);
  EXPECT_NE(transcript.find("CON.nc: not a Windows file name (the device name CON)"),
            std::string::npos);
  EXPECT_NE(slurp(dir_ / "linux.txt").find("后处理后找不到程序的汇总文件"), std::string::npos);
  // The drive holds what it held before the run, and the sheet's record.
  std::vector<fs::path> before = files_under(example / "drive_d");
  before.push_back(fs::path("kv_conf") / "temp" / "mr_prog_sheet.dat");
  std::sort(before.begin(), before.end());
  std::vector<fs::path> after = files_under(dir_ / "linux" / "drives" / "D");
  std::erase_if(after, [](const fs::path &file) {
    return file.begin()->string() == "kv_conf" && file.filename() != "mr_prog_sheet.dat";
  });
  EXPECT_EQ(after, before);
}

// The installation's DLL, whose file layer is the Windows C runtime's own:
// with wine's drive D on the run's drive folder, the demo writes the same
// NC files, settings record and part as the DLL whose file layer is the
// simulated host's.  Only the date differs: the C runtime tells the
// machine's, not the scenario's clock.
class InstallationDll : public TempDirTest, public ::testing::Test {
protected:
  ~InstallationDll() override {
    std::error_code ec;
    fs::remove(drive_link(), ec);
  }
  static fs::path drive_link() { return sim::testing::wine_prefix() / "dosdevices" / "d:"; }
};

std::string today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return std::to_string(local.tm_year + 1900) + "." + std::to_string(local.tm_mon + 1) + "." +
         std::to_string(local.tm_mday);
}

TEST_F(InstallationDll, WritesWhatTheSimulatedFileLayerWrites) {
  const fs::path scenario = fs::path(NCSHEET_SOURCE_DIR) / "examples" / "demo" / "scenario.json";
  const fs::path sim_out = dir_ / "sim";
  const fs::path install_out = dir_ / "install";
  std::error_code ec;
  fs::remove(drive_link(), ec);
  fs::create_directory_symlink(install_out / "drives" / "D", drive_link());
  const auto run = [&](const fs::path &out, const std::string &module) {
    const std::string command =
        sim::testing::windows_runner_command("run '" + scenario.string() + "' --out '" +
                                             out.string() + "'" + module) +
        " >'" + out.string() + ".txt' 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << slurp(out.string() + ".txt");
  };
  const std::string day_before = today();
  run(install_out, " --module '" + std::string(DLL_INSTALL) + "'");
  const std::string day_after = today();
  run(sim_out, "");

  EXPECT_EQ(replaced(slurp(install_out.string() + ".txt"), install_out.string(), sim_out.string()),
            slurp(sim_out.string() + ".txt"));
  std::vector<fs::path> files = files_under(sim_out);
  // The transcripts differ (the C runtime's file calls are not the host's);
  // the pages are drawn from the part, whose dump is compared, and set the
  // date's characters at their own widths.
  std::erase_if(files, [](const fs::path &file) {
    return file.filename().string().rfind("transcript.", 0) == 0 ||
           file.begin()->string() == "pages";
  });
  ASSERT_GT(files.size(), 10u);
  for (const fs::path &file : files) {
    SCOPED_TRACE(file.string());
    std::string installed = slurp(install_out / file);
    const std::string expected = slurp(sim_out / file);
    if (installed != expected)
      installed = replaced(replaced(installed, day_before, "2026.12.5"), day_after, "2026.12.5");
    EXPECT_TRUE(installed == expected) << "the two file layers' " << file << " differ";
  }
  EXPECT_EQ(files_under(install_out / "drives"), files_under(sim_out / "drives"));
}

// Sizes whose rounding is a matter of the last digit, through the size note,
// the ordinate dimensions and the table: both modules print them alike.
class FormattedSizes : public TempDirTest, public ::testing::Test {};

TEST_F(FormattedSizes, PrintAlikeOnBothModules) {
  fs::create_directories(dir_ / "inst");
  fs::copy(fs::path(NCSHEET_SOURCE_DIR) / "data" / "kv_conf", dir_ / "inst",
           fs::copy_options::recursive);
  std::ofstream(dir_ / "scenario.json") << R"({
    "installation": "inst",
    "part": {
      "file": "D:\\work\\block.prt", "application": "cam",
      "bodies": [ { "block": [123.4565, 60.0005, 29.9995] } ],
      "csys": { "MCS": { "origin": [61.72825, 30.00025, 29.9995] } },
      "programs": [ { "P": [ { "A01": [ { "op": "FACE_MILLING_1", "mcs": "MCS", "tool": "D50",
                      "moves": ["G0 X-70 Y0 Z5", "G1 Z-0.0005 F500", "X70.0005 F2000"] } ] } ] } ],
      "selected": [ "P" ]
    },
    "answers": [ { "menu": 1 }, { "dialog": { "STR_0": "M1" }, "press": "OK" },
                 { "file": "D:\\A01.mpf" } ]
  })";
  expect_same_outputs(dir_ / "scenario.json", dir_);
  const std::string dump = slurp(dir_ / "linux" / "part.json");
  EXPECT_NE(dump.find("\"123.46x60x30\""), std::string::npos) << "the size note, rounded";
  EXPECT_NE(dump.find("\"text\": \"-61.728\""), std::string::npos) << "a dimension, rounded";
}
