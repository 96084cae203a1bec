// The Windows DLL under wine and the Linux module give the same outputs:
// every bundled example run by both runners, with the transcript, the part
// dump, the drives and the pages equal byte for byte, the module's own path
// aside, and the runner's printout equal but for the output folder.
#include "session_fixture.h"
#include "system_modules.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

class SameOutputs : public ::testing::TestWithParam<std::string> {
protected:
  void SetUp() override { dir_ = sim::testing::make_temp_dir("ncsheet-same-outputs"); }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  fs::path dir_;
};

TEST_P(SameOutputs, BothModulesWriteTheSameBytes) {
  const fs::path scenario = fs::path(NCSHEET_SOURCE_DIR) / "examples" / GetParam() / "scenario.json";
  const fs::path linux_out = dir_ / "linux";
  const fs::path windows_out = dir_ / "windows";
  const std::string linux_command = std::string(LINUX_RUNNER) + " run '" + scenario.string() +
                                    "' --out '" + linux_out.string() + "' >'" +
                                    (dir_ / "linux.txt").string() + "' 2>&1";
  const std::string windows_command =
      sim::testing::windows_runner_command("run '" + scenario.string() + "' --out '" +
                                           windows_out.string() + "'") +
      " >'" + (dir_ / "windows.txt").string() + "' 2>&1";
  ASSERT_EQ(std::system(linux_command.c_str()), 0) << slurp(dir_ / "linux.txt");
  ASSERT_EQ(std::system(windows_command.c_str()), 0) << slurp(dir_ / "windows.txt");

  EXPECT_EQ(replaced(slurp(dir_ / "windows.txt"), windows_out.string(), linux_out.string()),
            slurp(dir_ / "linux.txt"));
  const std::vector<fs::path> files = files_under(linux_out);
  ASSERT_EQ(files_under(windows_out), files);
  ASSERT_FALSE(files.empty());
  const std::string windows_module = (fs::path(WINDOWS_RUNNER).parent_path() / "ncsheet.dll").string();
  for (const fs::path &file : files) {
    SCOPED_TRACE(file.string());
    std::string windows = slurp(windows_out / file);
    if (file.filename().string().rfind("transcript.", 0) == 0)
      windows = replaced(windows, windows_module, LINUX_MODULE);
    EXPECT_TRUE(windows == slurp(linux_out / file)) << "the two modules' " << file << " differ";
  }
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
