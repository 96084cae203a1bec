// The default installation: the two languages hold the same keys, the files
// are as the readers need them, and the layout fits the sheet.  That every
// key the system asks for is installed is the installation checker's test.
#include "my_func/my_func.h"

#include "gbk_text.h"
#include "host/core.h"
#include "system_fixture.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kSource = NCSHEET_SOURCE_DIR;

using sim::testing::slurp;

// The columns of the sheet's table, the view rectangles and the notes of a
// page, as their keys name them.
constexpr const char *kColumns[] = {"sequence",  "prog_name",  "tool",        "tool_number",
                                    "tool_len",  "side_stock", "floor_stock", "mach_desc",
                                    "max_depth", "time",       "min_speed",   "max_speed",
                                    "min_feed",  "max_feed",   "remark",      "prog_group"};
constexpr const char *kViews[] = {"top_and_front", "iso"};
constexpr const char *kNotes[] = {"page",    "desc",    "part_type", "time",
                                  "mold_no", "part_no", "part_path"};

// Keys at the start of the lines of a language file.
std::set<std::string> keys_of_file(const std::string &bytes) {
  std::set<std::string> keys;
  std::istringstream lines(bytes);
  static const std::regex key_line("([A-Za-z][A-Za-z0-9_]*_[0-9][0-9]:).*");
  std::smatch match;
  for (std::string line; std::getline(lines, line);)
    if (std::regex_match(line, match, key_line))
      keys.insert(match[1]);
  return keys;
}

class Installation : public sim::testing::SystemTest {
protected:
  double number(const std::string &key) {
    double value = -1.0;
    EXPECT_EQ(UF_initialize(), 0);
    EXPECT_EQ(read_config_value(key.c_str(), &value, CONFIG_PATH), 1) << key;
    EXPECT_EQ(UF_terminate(), 0);
    return value;
  }
  std::string word(const char *key, const char *file = CONFIG_PATH) {
    char out[MESSAGE_BUFSIZE] = "";
    EXPECT_EQ(UF_initialize(), 0);
    EXPECT_EQ(read_config_value_char(key, out, file), 1) << key;
    EXPECT_EQ(UF_terminate(), 0);
    return out;
  }
};

TEST_F(Installation, LanguageFilesHaveTheSameKeysAndAgreeWithTheirUtf8Twins) {
  for (const char *name : {"ncsheet_elec_uni.txt", "my_func.txt"}) {
    const std::string gbk_bytes = slurp(kSource / "data" / "kv_conf" / "lang" / name);
    const auto zh = keys_of_file(gbk_bytes);
    EXPECT_EQ(zh, keys_of_file(slurp(kSource / "data" / "kv_conf_en" / "lang" / name))) << name;
    EXPECT_FALSE(zh.empty()) << name;
    EXPECT_EQ(test_text::gbk(slurp(kSource / "data" / "lang-utf8" / name)), gbk_bytes)
        << name << ": run scripts/gen-lang";
  }
}

TEST_F(Installation, FilesEndWithALineFeedAndEnglishIsAscii) {
  for (const char *inst : {"kv_conf", "kv_conf_en"}) {
    for (const char *name :
         {"lang/ncsheet_elec_uni.txt", "lang/my_func.txt", "config_prog_sheet_mr.def"}) {
      const std::string bytes = slurp(kSource / "data" / inst / name);
      ASSERT_FALSE(bytes.empty()) << inst << "/" << name;
      EXPECT_EQ(bytes.back(), '\n') << inst << "/" << name;
      if (std::string(inst) == "kv_conf_en" || std::string(name) == "config_prog_sheet_mr.def") {
        for (unsigned char c : bytes) {
          ASSERT_LT(c, 0x80) << inst << "/" << name;
        }
      }
    }
    EXPECT_TRUE(fs::is_directory(kSource / "data" / inst / "temp")) << inst;
  }
  EXPECT_EQ(slurp(kSource / "data" / "kv_conf" / "config_prog_sheet_mr.def"),
            slurp(kSource / "data" / "kv_conf_en" / "config_prog_sheet_mr.def"));
}

TEST_F(Installation, EmptyPostprocessorChoiceIsNoConfiguredName) {
  // The comparison text stands right after its key's colon...
  const std::string lang = slurp(kSource / "data" / "kv_conf" / "lang" / "ncsheet_elec_uni.txt");
  EXPECT_NE(lang.find("\npost_pro_06:NONE_POST\n"), std::string::npos);
  // ...and names none of the configured postprocessors.  (That the folder
  // ends with a backslash is the installation checker's rule.)
  for (int i = 1; i <= 5; ++i) {
    const std::string key = "post_category_" + std::to_string(i) + ":";
    EXPECT_NE(word(key.c_str()), "NONE_POST") << key;
  }
}

TEST_F(Installation, LayoutFitsTheA3Sheet) {
  const double width = number("prog_sheet_width:");
  const double height = number("prog_sheet_high:");
  EXPECT_EQ(width, 420.0);
  EXPECT_EQ(height, 297.0);
  // Columns lie inside the frame, left of their ends, and the operation
  // row's columns do not overlap.
  std::vector<std::pair<double, double>> row;
  for (const char *column : kColumns) {
    const double start = number(std::string(column) + "_x_start_site:");
    const double end = number(std::string(column) + "_x_end_site:");
    EXPECT_LT(start, end) << column;
    EXPECT_GE(start, 10.0) << column;
    EXPECT_LE(end, width - 10.0) << column;
    if (std::string(column) != "prog_group")
      row.emplace_back(start, end);
  }
  std::sort(row.begin(), row.end());
  for (std::size_t i = 1; i < row.size(); ++i)
    EXPECT_LE(row[i - 1].second, row[i].first);
  // Rows: the first page's start lies below the view area and both starts
  // leave room for at least ten rows above the end site.
  const double space = number("prog_sheet_note_space:");
  const double end_site = number("page_space_y_end_site:");
  const double first = number("one_page_space_y_start_site:");
  const double further = number("two_page_space_y_start_site:");
  EXPECT_GT(first - end_site, 10 * space);
  EXPECT_GT(further - end_site, 10 * space);
  EXPECT_GE(end_site - space, 0.0);
  EXPECT_LE(further, height - 10.0);
  // The view rectangles lie on the sheet, above the table, and the two do
  // not overlap.
  std::vector<double> lefts, rights;
  for (const char *view : kViews) {
    const std::string key = std::string("nc_prog_elec_") + view + "_view_";
    const double w = number(key + "bound_x:"), h = number(key + "bound_y:");
    const double cx = number(key + "point_x:"), cy = number(key + "point_y:");
    lefts.push_back(cx - w / 2);
    rights.push_back(cx + w / 2);
    EXPECT_GE(cx - w / 2, 10.0) << view;
    EXPECT_LE(cx + w / 2, width - 10.0) << view;
    EXPECT_GT(cy - h / 2, first + space) << view;
    EXPECT_LE(cy + h / 2, height - 10.0) << view;
  }
  EXPECT_LE(rights[0], lefts[1]);
  // Every note point lies on the sheet.
  for (const char *note : kNotes) {
    const double x = number(std::string("elec_") + note + "_note_point_x:");
    const double y = number(std::string("elec_") + note + "_note_point_y:");
    EXPECT_GT(x, 10.0) << note;
    EXPECT_LT(x, width - 10.0) << note;
    EXPECT_GT(y, first + space) << note;
    EXPECT_LT(y, height - 10.0) << note;
  }
  EXPECT_GT(number("part_path_note_ratio:"), 0.0);
  EXPECT_GT(number("prog_sheet_note_ratio:"), 0.0);
}

// A template part with its note texts and description taken out.
nlohmann::json template_shape(const fs::path &path) {
  nlohmann::json part = nlohmann::json::parse(slurp(path));
  part.erase("description");
  for (auto &object : part["objects"])
    if (object.contains("lines"))
      object["lines"] = nlohmann::json::array();
  return part;
}

TEST(InstallationTemplates, EnglishTemplatesDifferOnlyInTheirTexts) {
  for (const char *name : {"prog_sheet_mr.prt", "prog_sheet_mr1.prt"}) {
    const fs::path zh = kSource / "data" / "kv_conf" / name;
    const fs::path en = kSource / "data" / "kv_conf_en" / name;
    EXPECT_EQ(template_shape(zh), template_shape(en)) << name;
    for (unsigned char c : slurp(en)) {
      ASSERT_LT(c, 0x80) << name;
    }
  }
}

} // namespace
