// ncsheet check-install: the shipped installations pass, each rule broken
// once in a copy gives its FILE:LINE message, the lookups read as the
// module does, and the keys checked are the keys the sources ask for.
#include "check_install.h"
#include "install_reader.h"
#include "runner.h"
#include "session_fixture.h"

#include "my_func/message_keys.h"
#include "text/gbk.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <regex>
#include <set>
#include <sstream>

namespace ncsheet {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = NCSHEET_SOURCE_DIR;
constexpr const char *kCommandLang = "lang/ncsheet_elec_uni.txt";
constexpr const char *kMyFuncLang = "lang/my_func.txt";
constexpr const char *kDefinition = "config_prog_sheet_mr.def";
constexpr const char *kDialog = "post_sheet_mr_dlg.dlg";

using sim::testing::slurp;

/// Line number (from 1) of the first line of text beginning with start.
int line_of(const std::string &text, const std::string &start) {
  std::istringstream lines(text);
  int number = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    if (line.rfind(start, 0) == 0)
      return number;
  }
  return 0;
}

std::string problem_text(const std::vector<InstallProblem> &problems) {
  std::string text;
  for (const InstallProblem &p : problems)
    text += p.file + ":" + std::to_string(p.line) + ": " + p.what + "\n";
  return text;
}

class CheckInstall : public ::testing::Test {
public:
  void SetUp() override {
    dir_ = sim::testing::make_temp_dir("ncsheet-check") / "kv_conf";
    fs::copy(kSource / "data" / "kv_conf", dir_, fs::copy_options::recursive);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_.parent_path(), ec);
  }

  [[nodiscard]] std::string read(const std::string &name) const { return slurp(dir_ / name); }
  void write(const std::string &name, const std::string &bytes) const {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }

  /// Replaces the first line that begins with start; returns its number.
  int replace_line(const std::string &name, const std::string &start, const std::string &line) {
    const std::string text = read(name);
    const int number = line_of(text, start);
    EXPECT_NE(number, 0) << name << " has no line " << start;
    std::istringstream lines(text);
    std::string changed;
    int at = 0;
    for (std::string old; std::getline(lines, old);)
      changed += (++at == number ? line : old) + "\n";
    write(name, changed);
    return number;
  }
  /// Gives key of the definition file value ("key: value"); returns its line.
  int set(const std::string &key, const std::string &value) {
    return replace_line(kDefinition, key + ":", key + ": " + value);
  }

  fs::path dir_;
};

TEST(CheckInstallShipped, BothLanguagesHaveNoProblems) {
  for (const char *name : {"kv_conf", "kv_conf_en"}) {
    const fs::path dir = kSource / "data" / name;
    EXPECT_EQ(problem_text(check_installation(dir)), "") << name;
    std::ostringstream out, err;
    EXPECT_EQ(check_install(dir, out, err), kExitCompleted);
    EXPECT_EQ(out.str(), "installation " + dir.string() + ": no problems\n");
  }
}

using Apply = std::function<int(CheckInstall &, const char *file)>;

/// The line of the case's file that begins with start replaced: the
/// problem is on that line.
Apply line(std::string start, std::string replacement) {
  return
      [=](CheckInstall &t, const char *file) { return t.replace_line(file, start, replacement); };
}

/// The definition file's line of key given as "key: value".
Apply value(const std::string &key, const std::string &value) {
  return line(key + ":", key + ": " + value);
}

/// A line of the case's file replaced, the problem on no line.
Apply off_line(std::string start, std::string replacement) {
  return [=](CheckInstall &t, const char *file) {
    (void)t.replace_line(file, start, replacement);
    return 0;
  };
}

/// The case's file changed by change: the problem is on the line that
/// then begins with start.
Apply edit(std::function<void(std::string &)> change, std::string start) {
  return [=](CheckInstall &t, const char *file) {
    std::string text = t.read(file);
    change(text);
    t.write(file, text);
    return line_of(text, start);
  };
}

/// One broken rule: what to do to the copy (returning the line the
/// problem is on, or 0) and a part of the one message expected.
struct Case {
  const char *name;
  const char *file;
  Apply apply;
  const char *what; ///< a part of the message
};

const std::vector<Case> &cases() {
  static const std::vector<Case> all = {
      // Language files.
      {"MessageMissing", kCommandLang, off_line("ufusr_02:", ""), "ufusr_02: missing"},
      {"MessageAloneOnItsLine", kCommandLang, line("ufusr_02:", "ufusr_02:"),
       "ufusr_02: has no text on its line"},
      {"MessageInsideOtherText", kCommandLang, line("ufusr_02:", "# ufusr_02:text"),
       "ufusr_02: first stands after"},
      {"MessageNotGbk", kCommandLang, line("ufusr_02:", "ufusr_02:\xff\xfe"),
       "ufusr_02: has a text that is not GBK"},
      {"MessageOnlyBlanks", kCommandLang, line("ufusr_02:", "ufusr_02:   "),
       "ufusr_02: has only blanks"},
      {"MessageTooLong", kCommandLang, line("ufusr_02:", "ufusr_02:" + std::string(300, 'x')),
       "longer than 255 bytes"},
      {"LibraryMessageMissing", kMyFuncLang, off_line("read_config_value_char_07:", ""),
       "read_config_value_char_07: missing"},
      {"MessageCutByTheEndOfTheFile", kMyFuncLang,
       edit([](std::string &text) { text.pop_back(); }, "MY_select_screen_view_soli_01:"),
       "MY_select_screen_view_soli_01: has no text that ends with a line feed"},
      {"LanguageFileSavedAsUtf8", kCommandLang,
       edit([](std::string &text) { text = sim::gbk_to_utf8(text); }, ""), "saved as UTF-8"},
      {"LanguageFileMissing", kMyFuncLang,
       [](CheckInstall &t, const char *file) { return fs::remove(t.dir_ / file) ? 0 : -1; },
       "missing"},
      // Definition file: sizes as a new user writes them.
      {"SheetHeightNotANumber", kDefinition, value("prog_sheet_high", "abc"),
       "prog_sheet_high: abc is not a number; the command reads 0"},
      {"SheetWidthNegative", kDefinition, value("prog_sheet_width", "-8"),
       "prog_sheet_width: -8: the sheet's width must be greater than 0"},
      {"RowHeightZero", kDefinition, value("prog_sheet_note_space", "0"),
       "the row height must be greater than 0"},
      {"ViewRectangleNan", kDefinition, value("nc_prog_elec_iso_view_bound_x", "nan"),
       "nc_prog_elec_iso_view_bound_x: nan is not a finite number"},
      {"CellRatioZero", kDefinition, value("prog_sheet_note_ratio", "0"),
       "aspect ratio must be greater than 0"},
      {"NumberWithUnit", kDefinition, value("prog_sheet_note_high", "2.5mm"),
       "2.5mm is not a number; the command reads 2.5"},
      {"ValueEof", kDefinition, value("prog_sheet_note_high", "EOF"),
       "the word EOF gives no value"},
      {"DefinitionKeyMissing", kDefinition, off_line("prog_sheet_note_ratio:", ""),
       "prog_sheet_note_ratio: missing"},
      {"SwitchNotANumber", kDefinition, value("require_time", "yes"),
       "require_time: yes is not a number; the command reads 0"},
      // Definition file: layout.
      {"ColumnBackwards", kDefinition, value("sequence_x_start_site", "30"),
       "the column runs backwards"},
      {"ColumnOutsideTheSheet", kDefinition, value("remark_x_end_site", "500"),
       "remark column 336 to 500 reaches outside the sheet (x 0 to 420)"},
      {"NoteOutsideTheSheet", kDefinition, value("elec_page_note_point_y", "300"),
       "puts the page note outside the sheet (y 0 to 297)"},
      {"SizeNoteOutsideTheSheet", kDefinition, value("elec_size_note_point_x", "-1"),
       "puts the size note outside the sheet"},
      {"ViewRectangleOutsideTheSheet", kDefinition,
       value("nc_prog_elec_top_and_front_view_point_x", "50"),
       "rectangle x -55 to 155 reaches outside the sheet"},
      {"ViewRectangleZero", kDefinition, value("nc_prog_elec_top_and_front_view_bound_y", "0"),
       "rectangle must be greater than 0"},
      {"ViewGapFillsTheRectangle", kDefinition,
       value("nc_prog_elec_top_and_front_view_space", "90"), "leaves no room for the views"},
      {"TableStartsBelowItsEnd", kDefinition, value("one_page_space_y_start_site", "17"),
       "the table starts at or below its end"},
      {"TableStartsAboveTheSheet", kDefinition, value("two_page_space_y_start_site", "300"),
       "lies above the sheet"},
      {"TableEndBelowTheSheet", kDefinition, value("page_space_y_end_site", "-1"),
       "lies below the sheet"},
      {"AxisMarkerSizeZero", kDefinition, value("nc_prog_elec_view_aix_size", "0"),
       "arrowhead size must be greater than 0"},
      {"PostprocessorNameTooLong", kDefinition, value("post_category_3", std::string(38, 'P')),
       "has 38 characters; a menu item holds at most 37"},
      {"MenuDefaultOutOfRange", kDefinition, value("post_category_default", "6"),
       "6 is no menu item (1 to 5)"},
      {"FolderWithoutBackslash", kDefinition, value("post_folder", "D:\\nc"),
       "must end with a backslash"},
      {"KeyInAComment", kDefinition,
       line("# ---- Sheet size", "# prog_sheet_high: 297 is the height"),
       "prog_sheet_high: first stands after other text"},
      // Templates and the dialog.
      {"TemplateCut", "prog_sheet_mr.prt",
       [](CheckInstall &t, const char *file) {
         const std::string text = t.read(file);
         t.write(file, text.substr(0, text.find("\"note\"")));
         return line_of(text, "    { \"type\": \"note\"");
       },
       "the host cannot import it (not JSON); the page would have no frame"},
      // The third object (object 2) stands on line 9.
      {"TemplateObjectOfUnknownType", "prog_sheet_mr1.prt",
       line(R"(    { "type": "line", "start": [410, 287])",
            R"(    { "type": "arc", "start": [410, 287] },)"),
       "object 2: an object of unknown type arc"},
      {"TemplateWithoutObjects", "prog_sheet_mr1.prt",
       [](CheckInstall &t, const char *file) {
         t.write(file, R"({"format": "ncsheet-part", "version": 1, "objects": []})");
         return 0;
       },
       "the part has no objects"},
      {"DialogControlMissing", kDialog, off_line("[TOGGLE_8]", "[TOGGLE_80]"),
       "no control TOGGLE_8 (toggle)"},
      {"DialogControlOfOtherKind", kDialog,
       edit(
           [](std::string &text) {
             text.replace(text.find("kind = radio", text.find("[RADIO_7]")), 12, "kind = option");
           },
           "[RADIO_7]"),
       "RADIO_7 is of kind option; the command uses it as radio"},
      {"DialogChoiceMissing", kDialog,
       edit(
           [](std::string &text) {
             const std::size_t at = text.find("option = ", text.find("[OPTION_9]"));
             text.erase(at, text.find('\n', at) + 1 - at);
           },
           "[OPTION_9]"),
       "OPTION_9 offers 6 choices; the command knows 7"},
      {"DialogUnreadable", kDialog, line("kind = integer", "kind = slider"),
       "the host cannot read the dialog: the kind is string"},
      {"TempFolderMissing", "temp",
       [](CheckInstall &t, const char *file) { return fs::remove_all(t.dir_ / file) > 0 ? 0 : -1; },
       "missing folder"},
  };
  return all;
}

void PrintTo(const Case &c, std::ostream *os) { *os << c.name; }

class EachRule : public CheckInstall, public ::testing::WithParamInterface<Case> {};

TEST_P(EachRule, GivesOneProblemOnItsLine) {
  const Case &c = GetParam();
  const int expected_line = c.apply(*this, c.file);
  const std::vector<InstallProblem> problems = check_installation(dir_);
  ASSERT_EQ(problems.size(), 1u) << problem_text(problems);
  EXPECT_EQ(problems[0].file, c.file);
  EXPECT_EQ(problems[0].line, expected_line) << problems[0].what;
  EXPECT_NE(problems[0].what.find(c.what), std::string::npos) << problems[0].what;
  std::ostringstream out, err;
  EXPECT_EQ(check_install(dir_, out, err), kExitRunFailed);
  EXPECT_EQ(out.str(), (dir_ / c.file).string() + ":" + std::to_string(expected_line) + ": " +
                           problems[0].what + "\n");
}

INSTANTIATE_TEST_SUITE_P(CheckInstall, EachRule, ::testing::ValuesIn(cases()),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(CheckInstall, ReadsAsTheHostsTextModeDoes) {
  // Windows line ends and a Ctrl-Z after the last key change nothing.
  for (const char *name : {kCommandLang, kMyFuncLang, kDefinition}) {
    const std::string text = read(name);
    write(name,
          std::regex_replace(text, std::regex("\n"), "\r\n") + "\x1A" + "ufusr_01:after the end\n");
  }
  EXPECT_EQ(problem_text(check_installation(dir_)), "");
  // A Ctrl-Z ends the file there: the keys after it are not found.
  std::string text = read(kMyFuncLang);
  text.insert(text.find("MY_select_screen_view_soli_01:"), "\x1A");
  write(kMyFuncLang, text);
  EXPECT_EQ(problem_text(check_installation(dir_)),
            "lang/my_func.txt:0: MY_select_screen_view_soli_01: missing\n");
}

TEST_F(CheckInstall, ColumnsAndViewsThatAreOffAreNotRead) {
  // The command reads no edges of a column that is off and places no
  // isometric view when its switch is off.
  (void)set("require_remark", "0.5");
  (void)set("remark_x_end_site", "-3");
  (void)set("require_nc_prog_elec_iso_view", "0");
  (void)set("nc_prog_elec_iso_view_bound_x", "0");
  EXPECT_EQ(problem_text(check_installation(dir_)), "");
}

TEST_F(CheckInstall, BrokenSheetSizeDoesNotCascade) {
  // Without a sheet size nothing is measured against it; the size itself
  // and the other bad values are still named, in line order.
  const int high = set("prog_sheet_high", "0");
  const int space = set("prog_sheet_note_space", "-8");
  (void)set("remark_x_end_site", "500");
  const std::vector<InstallProblem> problems = check_installation(dir_);
  ASSERT_EQ(problems.size(), 2u) << problem_text(problems);
  EXPECT_EQ(problems[0].line, high);
  EXPECT_EQ(problems[1].line, space);
}

TEST_F(CheckInstall, CommandLine) {
  std::ostringstream out, err;
  const auto command = [&](std::vector<const char *> argv) {
    argv.insert(argv.begin(), {"ncsheet", "check-install"});
    out.str({});
    err.str({});
    return main_command(static_cast<int>(argv.size()), const_cast<char **>(argv.data()), out, err);
  };
  (void)set("prog_sheet_high", "abc");
  const std::string dir = dir_.string();
  EXPECT_EQ(command({dir.c_str()}), kExitRunFailed);
  EXPECT_EQ(out.str().rfind(dir + "/config_prog_sheet_mr.def:", 0), 0u) << out.str();

  const std::string missing = (dir_ / "nothing").string();
  EXPECT_EQ(command({missing.c_str()}), kExitUsage);
  EXPECT_EQ(err.str(), "ncsheet: " + missing + ": no such folder\n");

  EXPECT_EQ(command({"a", "b"}), kExitUsage);

  // Without a folder: data/kv_conf of the current folder.
  const fs::path here = fs::current_path();
  fs::current_path(kSource);
  const int status = command({});
  fs::current_path(here);
  EXPECT_EQ(status, kExitCompleted) << err.str();
  EXPECT_EQ(out.str(), "installation data/kv_conf: no problems\n");
}

//===-- The lookups read as the module's word scanner ---------------------===//

TEST(InstallReader, MessageLookupFollowsTheModule) {
  using install::lookup_message;
  EXPECT_EQ(lookup_message("a_01:text\n", "a_01:").text, "text");
  EXPECT_EQ(lookup_message("a_01: text, more\n", "a_01:").text, " text, more");
  EXPECT_EQ(lookup_message("a_01:,x\n", "a_01:").text, ",x");
  // Alone on its line: the next line that is not empty, one line later.
  const auto next = lookup_message("a_01:\n\nlater\n", "a_01:");
  EXPECT_EQ(next.text, "later");
  EXPECT_EQ(next.key.line, 1);
  EXPECT_EQ(next.line, 3);
  // A word with a character in front of the key is no match; the first of
  // two keys wins, even inside another text.
  EXPECT_FALSE(lookup_message("xa_01:no\n", "a_01:").key.found);
  const auto inside = lookup_message("b_01:see a_01:this\na_01:that\n", "a_01:");
  EXPECT_EQ(inside.text, "this");
  EXPECT_FALSE(inside.key.starts_line);
  EXPECT_TRUE(lookup_message("  a_01:x\n", "a_01:").key.starts_line);
  // No final line feed: no message; 300 characters: cut to 255.
  EXPECT_FALSE(lookup_message("a_01:text", "a_01:").ended);
  const auto cut = lookup_message("a_01:" + std::string(300, 'x') + "\n", "a_01:");
  EXPECT_TRUE(cut.cut);
  EXPECT_EQ(cut.text.size(), 255u);
  // A word of more than 255 characters is cut into pieces that match no key.
  // The character that would make a word longer empties it instead.
  EXPECT_FALSE(lookup_message(std::string(250, 'y') + "a_01:x\n", "a_01:").key.found);
  EXPECT_FALSE(lookup_message(std::string(255, 'y') + "a_01:x\n", "a_01:").key.found);
  EXPECT_TRUE(lookup_message(std::string(256, 'y') + "a_01:x\n", "a_01:").key.found);
}

TEST(InstallReader, ValueLookupFollowsTheModule) {
  using install::lookup_value;
  const auto later = lookup_value("k:\n\n  , 12 rest\n", "k:", true);
  EXPECT_EQ(later.word, "12");
  EXPECT_EQ(later.line, 3);
  EXPECT_EQ(lookup_value("k:7,8\n", "k:", true).word, "7");
  EXPECT_TRUE(lookup_value("k: EOFX\n", "k:", true).eof_word);
  EXPECT_EQ(lookup_value("k: EOF\n", "k:", false).word, "EOF");
  EXPECT_FALSE(lookup_value("k: 5", "k:", true).ended);
  EXPECT_EQ(install::text_mode("a\r\nb\rc\x1A"
                               "d"),
            "a\nb\rc");
}

//===-- The keys checked are the keys the sources ask for -----------------===//

/// The system's sources without their comments.
std::string source_code(const fs::path &file) {
  static const std::regex comments(R"(/\*[\s\S]*?\*/|//[^\n]*)");
  return std::regex_replace(slurp(file), comments, " ");
}

std::vector<fs::path> system_sources() {
  std::vector<fs::path> files;
  for (const auto &entry : fs::recursive_directory_iterator(kSource / "src"))
    if (entry.path().extension() == ".cpp" || entry.path().extension() == ".h")
      files.push_back(entry.path());
  return files;
}

std::set<std::string> matches(const std::string &text, const std::regex &pattern) {
  std::set<std::string> found;
  for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
    found.insert((*it)[1]);
  return found;
}

struct Family {
  std::string file, prefix;
  int count;
};

std::vector<Family> families() {
  return {
#define FAMILY(file, prefix, count) {file, prefix, count},
      MESSAGE_KEY_FAMILIES(FAMILY)
#undef FAMILY
  };
}

// The families of message_keys.h are the message keys the sources ask for;
// the checker looks up every key of the families, in the file that holds
// them, and every definition key the sources name.
TEST_F(CheckInstall, EveryKeyTheSourcesAskForIsChecked) {
  std::set<std::string> literal_keys, prefixes, definition_keys;
  for (const fs::path &file : system_sources()) {
    const std::string code = source_code(file);
    const auto keys = matches(code, std::regex(R"re("([A-Za-z][A-Za-z0-9_]*_[0-9][0-9]:)")re"));
    literal_keys.insert(keys.begin(), keys.end());
    // "post_pro_%02d:" and load_messages("import_prog_dra_", ...).
    const auto formats = matches(code, std::regex(R"re("([A-Za-z][A-Za-z0-9_]*_)%02d:")re"));
    const auto bare = matches(code, std::regex(R"re("([A-Za-z][A-Za-z0-9_]*_)")re"));
    prefixes.insert(formats.begin(), formats.end());
    prefixes.insert(bare.begin(), bare.end());
    for (const std::string &key : matches(code, std::regex(R"re("([a-z][a-z0-9_]*[a-z]:)")re")))
      definition_keys.insert(key);
    if (code.find("\"post_category_%d:\"") != std::string::npos)
      for (int i = 1; i <= 5; ++i)
        definition_keys.insert("post_category_" + std::to_string(i) + ":");
  }
  ASSERT_TRUE(literal_keys.count("ufusr_01:")) << "the scan found nothing";
  std::map<std::string, std::set<int>> numbers; // of the literal keys, by family
  for (const std::string &key : literal_keys) {
    const std::string prefix = key.substr(0, key.size() - 3);
    const int number = std::stoi(key.substr(key.size() - 3, 2));
    bool known = false;
    for (const Family &f : families())
      known = known || (f.prefix == prefix && number >= 1 && number <= f.count);
    EXPECT_TRUE(known) << key << " is asked for but in no family of message_keys.h";
    numbers[prefix].insert(number);
  }
  for (const Family &f : families()) {
    const bool looped = prefixes.count(f.prefix) != 0;
    EXPECT_TRUE(looped || numbers.count(f.prefix)) << f.prefix << " is asked for nowhere";
    if (!looped) {
      // Named key by key: every number from 01 to the count.
      EXPECT_EQ(numbers[f.prefix].size(), static_cast<std::size_t>(f.count)) << f.prefix;
    }
  }

  write(kCommandLang, "\n");
  write(kMyFuncLang, "\n");
  write(kDefinition, "\n");
  std::map<std::string, std::set<std::string>> missing;
  for (const InstallProblem &p : check_installation(dir_)) {
    const std::size_t space = p.what.find(' ');
    if (p.what.substr(space) == " missing")
      missing[p.file].insert(p.what.substr(0, space));
  }
  for (const Family &f : families())
    for (int i = 1; i <= f.count; ++i) {
      char key[80];
      std::snprintf(key, sizeof key, "%s%02d:", f.prefix.c_str(), i);
      EXPECT_TRUE(missing["lang/" + f.file].count(key)) << key;
    }
  EXPECT_EQ(missing[kDefinition], definition_keys);
}

TEST_F(CheckInstall, DialogControlsAreTheOnesTheCommandSets) {
  write(kDialog, "[OTHER]\nkind = string\n");
  std::set<std::string> missing;
  for (const InstallProblem &p : check_installation(dir_))
    if (p.what.rfind("no control ", 0) == 0)
      missing.insert(p.what.substr(11, p.what.find(' ', 11) - 11));
  const std::string code = source_code(kSource / "src" / "post" / "post_dialog.cpp");
  EXPECT_EQ(missing, matches(code, std::regex(R"re("((STR|INT|RADIO|OPTION|TOGGLE)_[0-9]+)")re")));
}

} // namespace
} // namespace ncsheet
