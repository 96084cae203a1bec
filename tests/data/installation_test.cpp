// The default installation: every key the system asks for is there, in
// both languages, and the files are as the readers need them.
#include "my_func/my_func.h"

#include "gbk_text.h"
#include "host/core.h"
#include "my_func/message_keys.h"
#include "system_fixture.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kSource = NCSHEET_SOURCE_DIR;
constexpr const char *kCommandLang = "D:\\kv_conf\\lang\\ncsheet_elec_uni.txt";
constexpr const char *kMyFuncLang = "D:\\kv_conf\\lang\\my_func.txt";

using sim::testing::slurp;

// Every message key of one language file, from the module's list of key
// families.
std::vector<std::string> message_keys_of(std::string_view file) {
  std::vector<std::string> keys;
  const auto add = [&](std::string_view in, const char *prefix, int count) {
    for (int i = 1; in == file && i <= count; ++i) {
      char key[80];
      std::snprintf(key, sizeof key, "%s%02d:", prefix, i);
      keys.push_back(key);
    }
  };
#define FAMILY(file, prefix, count) add(file, prefix, count);
  MESSAGE_KEY_FAMILIES(FAMILY)
#undef FAMILY
  return keys;
}

// The columns of the sheet's table, the view rectangles and the notes of a
// page, as their keys name them.
constexpr const char *kColumns[] = {"sequence",  "prog_name",  "tool",        "tool_number",
                                    "tool_len",  "side_stock", "floor_stock", "mach_desc",
                                    "max_depth", "time",       "min_speed",   "max_speed",
                                    "min_feed",  "max_feed",   "remark",      "prog_group"};
constexpr const char *kViews[] = {"top_and_front", "iso"};
constexpr const char *kNotes[] = {"page",    "desc",    "part_type", "time",
                                  "mold_no", "part_no", "part_path"};

// Every key of the definition file; the text keys first.
const std::vector<std::string> kTextConfigKeys = {
    "post_category_1:", "post_category_2:", "post_category_3:",
    "post_category_4:", "post_category_5:", "post_folder:"};

std::vector<std::string> numeric_config_keys() {
  // clang-format off
  std::vector<std::string> keys = {
      "post_category_default:", "prog_sheet_high:", "prog_sheet_width:", "part_path_note_ratio:",
      "prog_sheet_note_space:", "prog_sheet_note_high:", "prog_sheet_note_ratio:",
      "one_page_space_y_start_site:", "two_page_space_y_start_site:", "page_space_y_end_site:",
      "tool_len_than_max_depth_size:", "nc_prog_elec_top_and_front_view_space:",
      "require_nc_prog_elec_iso_view:", "nc_prog_elec_view_select:", "nc_prog_elec_view_aix_size:",
      "nc_prog_elec_view_aix_extend_len:", "elec_size_note_point_x:", "elec_size_note_point_y:"};
  for (const char *note : kNotes)
    for (const char *axis : {"x", "y"})
      keys.push_back(std::string("elec_") + note + "_note_point_" + axis + ":");
  for (const char *view : kViews)
    for (const char *edge : {"bound_x", "bound_y", "point_x", "point_y"})
      keys.push_back(std::string("nc_prog_elec_") + view + "_view_" + edge + ":");
  for (const char *column : kColumns) {
    keys.push_back(std::string(column) + "_x_start_site:");
    keys.push_back(std::string(column) + "_x_end_site:");
  }
  // clang-format on
  for (const char *sw :
       {"sequence", "tool_number", "tool_len", "side_stock", "floor_stock", "max_depth", "time",
        "min_speed", "max_speed", "min_feed", "max_feed", "remark"})
    keys.push_back(std::string("require_") + sw + ":");
  return keys;
}

bool is_library_message_key(const std::string &key) {
  return key.rfind("read_config_value", 0) == 0 || key.rfind("MY_select_screen_view_soli", 0) == 0;
}

bool is_message_key(const std::string &key) {
  static const std::regex numbered(".*_[0-9][0-9]:");
  return std::regex_match(key, numbered);
}

// The key-shaped literals of the system's sources: "word:" and formats
// such as "word_%02d:" (taken as their first key, word_01:).
std::set<std::string> keys_in_sources() {
  static const std::regex literal("\"([A-Za-z][A-Za-z0-9_]+(_%02d)?:)\"");
  std::set<std::string> keys;
  for (const auto &entry : fs::recursive_directory_iterator(kSource / "src")) {
    const auto ext = entry.path().extension();
    if (ext != ".cpp" && ext != ".h")
      continue;
    const std::string text = slurp(entry.path());
    for (std::sregex_iterator it(text.begin(), text.end(), literal), end; it != end; ++it) {
      std::string key = (*it)[1];
      const auto format = key.find("_%02d:");
      if (format != std::string::npos)
        key = key.substr(0, format) + "_01:";
      keys.insert(key);
    }
  }
  return keys;
}

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
  // Looks up every key; returns those that were not found.
  std::vector<std::string> missing_messages(const std::vector<std::string> &keys,
                                            const char *file) {
    std::vector<std::string> missing;
    EXPECT_EQ(UF_initialize(), 0);
    for (const auto &key : keys) {
      char out[MESSAGE_BUFSIZE] = "";
      if (!read_lang_message(key.c_str(), out, file))
        missing.push_back(key);
    }
    EXPECT_EQ(UF_terminate(), 0);
    return missing;
  }
  std::vector<std::string> missing_config(const std::vector<std::string> &keys, bool numeric) {
    std::vector<std::string> missing;
    EXPECT_EQ(UF_initialize(), 0);
    for (const auto &key : keys) {
      char word[MESSAGE_BUFSIZE] = "";
      if (!read_config_value_char(key.c_str(), word, CONFIG_PATH)) {
        missing.push_back(key);
        continue;
      }
      char *end = nullptr;
      std::strtod(word, &end);
      if (numeric && *end != '\0')
        missing.push_back(key + " (not a number: " + word + ")");
    }
    EXPECT_EQ(UF_terminate(), 0);
    return missing;
  }
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

TEST_F(Installation, BothLanguagesHoldEveryKeyOfTheCommand) {
  for (const char *installation : {"kv_conf", "kv_conf_en"}) {
    SCOPED_TRACE(installation);
    const fs::path dir = kSource / "data" / installation;
    write_file(kCommandLang, slurp(dir / "lang" / "ncsheet_elec_uni.txt"));
    write_file(kMyFuncLang, slurp(dir / "lang" / "my_func.txt"));
    write_file(CONFIG_PATH, slurp(dir / "config_prog_sheet_mr.def"));
    EXPECT_EQ(missing_messages(message_keys_of(COMMAND_LANG_NAME), kCommandLang),
              std::vector<std::string>{});
    EXPECT_EQ(missing_messages(message_keys_of(MY_FUNC_LANG_NAME), kMyFuncLang),
              std::vector<std::string>{});
    EXPECT_EQ(missing_config(kTextConfigKeys, false), std::vector<std::string>{});
    EXPECT_EQ(missing_config(numeric_config_keys(), true), std::vector<std::string>{});
    EXPECT_TRUE(transcript().messages_shown().empty());
  }
}

TEST_F(Installation, EveryKeyTheSourcesNameIsInstalled) {
  const std::set<std::string> keys = keys_in_sources();
  std::vector<std::string> commands, library, config;
  for (const auto &key : keys) {
    if (!is_message_key(key))
      config.push_back(key);
    else if (is_library_message_key(key))
      library.push_back(key);
    else
      commands.push_back(key);
  }
  // The driver's own keys are named in the sources, so the scan works.
  EXPECT_TRUE(keys.count("ufusr_01:")) << "source scan found nothing";
  EXPECT_EQ(missing_messages(commands, kCommandLang), std::vector<std::string>{});
  EXPECT_EQ(missing_messages(library, kMyFuncLang), std::vector<std::string>{});
  EXPECT_EQ(missing_config(config, false), std::vector<std::string>{});
}

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
  // ...and names none of the configured postprocessors.
  for (const auto &key : kTextConfigKeys) {
    if (key != "post_folder:") {
      EXPECT_NE(word(key.c_str()), "NONE_POST") << key;
    }
  }
  const std::string folder = word("post_folder:");
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '\\');
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
