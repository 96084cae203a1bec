// A run of 1,000 program groups in 40 parent groups, through the runner and
// the real module: every group posted, the sheet's rows in order under
// their parents over as many pages as they need, and the running totals
// right.  Behaviour only; the time of such runs is the benchmarks' business.
#include "runner.h"
#include "session_fixture.h"
#include "tools/generated_run.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace ncsheet {
namespace {

namespace fs = std::filesystem;

constexpr int kGroups = 1000;
constexpr int kPerParent = 25; // 1,000 groups in 40 parents

struct Cell {
  double x, y;
  std::string text;
};

// The notes of each drawing of a part dump, drawings in their order and
// each drawing's notes from the top down, left to right.
std::vector<std::vector<Cell>> sheet_cells(const nlohmann::json &dump) {
  std::vector<long long> drawings;
  std::map<long long, std::vector<Cell>> notes;
  for (const auto &object : dump.at("objects")) {
    const std::string kind = object.value("kind", "");
    if (kind == "drawing")
      drawings.push_back(object.at("tag").get<long long>());
    if (kind != "note")
      continue;
    const auto &payload = object.at("payload");
    const auto &lines = payload.at("lines");
    notes[payload.at("drawing").get<long long>()].push_back(
        {payload.at("origin").at(0).get<double>(), payload.at("origin").at(1).get<double>(),
         lines.empty() ? std::string() : lines.at(0).get<std::string>()});
  }
  std::vector<std::vector<Cell>> pages;
  for (long long drawing : drawings) {
    std::vector<Cell> cells = notes[drawing];
    std::stable_sort(cells.begin(), cells.end(), [](const Cell &a, const Cell &b) {
      return a.y != b.y ? a.y > b.y : a.x < b.x;
    });
    pages.push_back(std::move(cells));
  }
  return pages;
}

/// A row's name: a parent's (P and digits) or a group's (G and four digits).
bool is_name(const std::string &text, char first) {
  return text.size() > 1 && (first == 'P' || text.size() == 5) && text[0] == first &&
         text.find_first_not_of("0123456789", 1) == std::string::npos;
}

struct TempDir {
  fs::path path = sim::testing::make_temp_dir("ncsheet-large-run");
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
};

TEST(LargeRun, AThousandGroupsArePostedAndListedInOrderWithTheirTotals) {
  const TempDir temp;
  const fs::path &dir = temp.path;
  RunOptions options;
  options.scenario = sim::tools::write_generated_run(dir, kGroups, 3, NCSHEET_SOURCE_DIR);
  options.out = dir / "out";
  options.module = REAL_MODULE;
  std::ostringstream out, err;
  ASSERT_EQ(run_scenario(options, out, err), kExitCompleted) << out.str() << err.str();

  for (int i = 0; i < kGroups; ++i)
    ASSERT_TRUE(
        fs::exists(dir / "out" / "drives" / "D" / "nc" / (sim::tools::generated_group(i) + ".mpf")))
        << i;

  std::ifstream in(dir / "out" / "part.json");
  const nlohmann::json dump = nlohmann::json::parse(in);
  const std::vector<std::vector<Cell>> pages = sheet_cells(dump);
  ASSERT_GT(pages.size(), 2u);

  // Rows: each parent, then its groups; a total closes each parent and
  // carries the time of every row so far.  The time of a row is its cell
  // in the column of the totals.
  std::vector<std::string> rows;
  std::vector<long> totals;
  long time_so_far = 0;
  bool any_page_without_rows = false;
  double total_x = -1;
  for (const std::vector<Cell> &page : pages)
    for (const Cell &cell : page)
      if (cell.text.find("总时间") != std::string::npos)
        total_x = cell.x;
  ASSERT_GE(total_x, 0) << "no total row";
  for (const std::vector<Cell> &page : pages) {
    std::map<double, std::string> row_at; // y of a group's row -> its name
    bool rows_here = false;
    for (const Cell &cell : page) {
      if (is_name(cell.text, 'G') || is_name(cell.text, 'P')) {
        rows.push_back(cell.text);
        rows_here = true;
        if (is_name(cell.text, 'G'))
          row_at[cell.y] = cell.text;
      }
      if (cell.text.find("总时间") != std::string::npos) {
        totals.push_back(std::stol(cell.text.substr(cell.text.find_last_of(' ') + 1)));
        EXPECT_EQ(totals.back(), time_so_far) << "total " << totals.size();
      }
      if (cell.x == total_x && row_at.count(cell.y) != 0)
        time_so_far += std::stol(cell.text);
    }
    any_page_without_rows = any_page_without_rows || !rows_here;
  }
  EXPECT_FALSE(any_page_without_rows);

  std::vector<std::string> expected;
  for (int i = 0; i < kGroups; ++i) {
    if (i % kPerParent == 0)
      expected.push_back("P" + std::to_string(i / kPerParent + 1));
    expected.push_back(sim::tools::generated_group(i));
  }
  EXPECT_EQ(rows, expected);
  ASSERT_EQ(totals.size(), static_cast<std::size_t>(kGroups / kPerParent));
  EXPECT_EQ(totals.back(), time_so_far);
  EXPECT_GE(time_so_far, kGroups); // every program takes a minute at least
}

} // namespace
} // namespace ncsheet
