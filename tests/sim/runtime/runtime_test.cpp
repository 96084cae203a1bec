// Drive-mapped files with the Windows runtime's behaviour, and the clock.
#include "session_fixture.h"

#include "host/host_runtime.h"
#include "runtime/runtime.h"
#include "text/gbk.h"

#include <array>
#include <chrono>
#include <fstream>

namespace sim::testing {
namespace {

namespace fs = std::filesystem;

class RuntimeTest : public SessionTest {
protected:
  void SetUp() override {
    SessionTest::SetUp();
    fs::create_directories(root() / "drives" / "D" / "t");
  }

  /// Reads a whole file through host_fgetc.
  std::string read_chars(std::string_view path, const char *mode) {
    host_file *file = host_fopen(std::string(path).c_str(), mode);
    EXPECT_NE(file, nullptr) << path;
    if (!file)
      return {};
    std::string out;
    for (int c = host_fgetc(file); c != HOST_EOF; c = host_fgetc(file))
      out += static_cast<char>(c);
    EXPECT_EQ(host_fclose(file), 0);
    return out;
  }
  void write_through(std::string_view path, const char *mode, std::string_view bytes) {
    host_file *file = host_fopen(std::string(path).c_str(), mode);
    ASSERT_NE(file, nullptr) << path;
    EXPECT_EQ(host_fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    EXPECT_EQ(host_fclose(file), 0);
  }
};

TEST_F(RuntimeTest, ReadsWithTextAndBinaryRules) {
  const struct {
    const char *name, *on_disk, *mode, *seen;
  } cases[] = {
      {"crlf becomes lf", "a\r\nb\r\n", "r", "a\nb\n"},
      {"lone cr stays", "a\rb\r", "r", "a\rb\r"},
      {"cr cr lf keeps the first", "a\r\r\n", "r", "a\r\n"},
      {"ctrl-z ends the text", "ab\032cd\n", "r", "ab"},
      {"binary is raw", "a\r\n\032b", "rb", "a\r\n\032b"},
      {"explicit text mode", "x\r\n", "rt", "x\n"},
      {"empty file", "", "r", ""},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    write_file("D:\\t\\case.txt", c.on_disk);
    EXPECT_EQ(read_chars("D:\\t\\case.txt", c.mode), c.seen);
  }
}

TEST_F(RuntimeTest, WritesWithTextAndBinaryRules) {
  const struct {
    const char *mode;
    std::string given;
    std::string on_disk;
  } cases[] = {
      {"w", "a\nb\n", "a\r\nb\r\n"},
      {"wt", "\n\n", "\r\n\r\n"},
      {"wb", "a\nb\r\n", "a\nb\r\n"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.mode);
    write_through("D:\\t\\out.txt", c.mode, c.given);
    EXPECT_EQ(read_file("D:\\t\\out.txt"), c.on_disk);
  }
  write_through("D:\\t\\out.txt", "ab", "tail");
  EXPECT_EQ(read_file("D:\\t\\out.txt"), "a\nb\r\ntail");
}

TEST_F(RuntimeTest, GetsReadsLinesWithinTheBuffer) {
  write_file("D:\\t\\lines.txt", "first\r\nsecond line\r\nlast");
  host_file *file = host_fopen("D:\\t\\lines.txt", "r");
  ASSERT_NE(file, nullptr);
  char buf[8];
  for (const char *line : {"first\n", "second ", "line\n", "last"}) {
    ASSERT_NE(host_fgets(buf, sizeof buf, file), nullptr);
    EXPECT_STREQ(buf, line);
  }
  EXPECT_EQ(host_fgets(buf, sizeof buf, file), nullptr);
  EXPECT_EQ(host_fclose(file), 0);
}

TEST_F(RuntimeTest, ReadsRecordsRaw) {
  const std::string record("\x01\x00\r\n\x1A\xff", 6);
  write_file("D:\\kv_conf\\temp\\rec.dat", record);
  host_file *file = host_fopen("D:\\kv_conf\\temp\\rec.dat", "rb");
  ASSERT_NE(file, nullptr);
  char buf[16] = {};
  EXPECT_EQ(host_fread(buf, 3, 5, file), 2u); // two whole elements of 3 bytes
  EXPECT_EQ(std::string(buf, 6), record);
  EXPECT_EQ(host_fclose(file), 0);
}

TEST_F(RuntimeTest, FindsNamesWhateverTheirCase) {
  write_file("D:\\Kv_Conf\\Lang\\My_Func.TXT", "x\n");
  EXPECT_TRUE(fs::exists(root() / "drives" / "D" / "kv_conf"));
  EXPECT_EQ(read_chars("D:\\KV_CONF\\lang\\my_func.txt", "r"), "x\n");
  EXPECT_EQ(read_chars("d:/kv_conf/./LANG/../lang/MY_FUNC.txt", "r"), "x\n");
  // A file written by another case of its name replaces it.
  write_through("D:\\kv_conf\\LANG\\MY_FUNC.TXT", "w", "y\n");
  EXPECT_EQ(read_file("D:\\kv_conf\\lang\\my_func.txt"), "y\r\n");
}

// Folder listings are kept, so they must follow every change: the
// runtime's own creations, renames and removals, and files another program
// puts into a folder (the folder's time moves).
TEST_F(RuntimeTest, NamesFollowChangesOfTheFolders) {
  const fs::path folder = root() / "drives" / "D" / "t";
  EXPECT_EQ(host_fopen("D:\\t\\a.nc", "r"), nullptr); // lists the folder
  write_through("D:\\t\\A.NC", "w", "1");
  EXPECT_EQ(read_chars("D:\\t\\a.nc", "r"), "1");
  ASSERT_EQ(host_rename("D:\\t\\a.nc", "D:\\t\\B.nc"), 0);
  EXPECT_TRUE(fs::exists(folder / "B.nc"));
  EXPECT_EQ(host_fopen("D:\\t\\a.nc", "r"), nullptr);
  EXPECT_EQ(read_chars("D:\\t\\b.NC", "r"), "1");
  ASSERT_EQ(host_remove("D:\\t\\b.nc"), 0);
  EXPECT_EQ(host_fopen("D:\\t\\b.nc", "r"), nullptr);

  std::ofstream(folder / "Outside.TXT") << "2";
  fs::last_write_time(folder, fs::last_write_time(folder) + std::chrono::seconds(5));
  EXPECT_EQ(read_chars("D:\\t\\outside.txt", "r"), "2");
  // Two names of one folded name: the exact one first, else the first.
  std::ofstream(folder / "outside.txt") << "3";
  fs::last_write_time(folder, fs::last_write_time(folder) + std::chrono::seconds(5));
  EXPECT_EQ(read_chars("D:\\t\\outside.txt", "r"), "3");
  EXPECT_EQ(read_chars("D:\\t\\OUTSIDE.txt", "r"), "2");
}

TEST_F(RuntimeTest, RefusesWhatWindowsRefuses) {
  write_file("D:\\t\\a.txt", "a");
  write_file("D:\\t\\b.txt", "b");
  EXPECT_EQ(host_fopen("D:\\t", "r"), nullptr) << "a folder";
  EXPECT_EQ(host_fopen("D:\\t\\missing.txt", "r"), nullptr);
  EXPECT_EQ(host_fopen("Q:\\t\\a.txt", "r"), nullptr) << "unmounted drive";
  EXPECT_EQ(host_fopen("t\\a.txt", "r"), nullptr) << "no drive";
  EXPECT_EQ(host_fopen("D:\\t\\a.txt", "r+"), nullptr) << "update mode";
  EXPECT_EQ(host_fopen("D:\\nofolder\\x.txt", "w"), nullptr) << "missing folder";
  EXPECT_NE(host_rename("D:\\t\\a.txt", "D:\\T\\B.TXT"), 0) << "target exists";
  EXPECT_EQ(read_file("D:\\t\\b.txt"), "b");
  EXPECT_NE(host_remove("D:\\t"), 0) << "a folder";
  EXPECT_NE(host_remove("D:\\t\\missing.txt"), 0);
  EXPECT_GE(transcript().count(EventKind::FileError), 8u);

  EXPECT_EQ(host_rename("D:\\t\\A.TXT", "D:\\t\\c.txt"), 0);
  EXPECT_FALSE(file_exists("D:\\t\\a.txt"));
  EXPECT_EQ(read_file("D:\\t\\c.txt"), "a");
  EXPECT_EQ(host_remove("D:\\T\\C.txt"), 0);
  EXPECT_FALSE(file_exists("D:\\t\\c.txt"));
  host_file *bogus = reinterpret_cast<host_file *>(&bogus);
  EXPECT_EQ(host_fgetc(bogus), HOST_EOF) << "an unknown handle";
  EXPECT_EQ(host_fclose(bogus), HOST_EOF);
  EXPECT_EQ(host_fclose(nullptr), HOST_EOF);
}

TEST_F(RuntimeTest, RefusesNamesWindowsRefuses) {
  const char *const refused[] = {
      "D:\\t\\A?1.mpf", "D:\\t\\a<b.nc", "D:\\t\\a>b.nc",  "D:\\t\\a:b.nc", "D:\\t\\a\"b.nc",
      "D:\\t\\a|b.nc",  "D:\\t\\a*.nc",  "D:\\t\\a\tb.nc", "D:\\t\\CON",    "D:\\t\\con.mpf",
      "D:\\t\\NUL.nc",  "D:\\t\\Aux",    "D:\\t\\COM1.nc", "D:\\t\\lpt9",   "D:\\t\\prn.x.y",
      "D:\\t\\A01.",    "D:\\t\\A01 ",   "D:\\CON\\A01.nc"};
  for (const char *path : refused) {
    SCOPED_TRACE(path);
    const std::size_t errors = transcript().count(EventKind::FileError);
    EXPECT_EQ(host_fopen(path, "w"), nullptr);
    EXPECT_EQ(host_fopen(path, "r"), nullptr);
    EXPECT_NE(host_remove(path), 0);
    EXPECT_NE(host_rename("D:\\t\\x.txt", path), 0);
    EXPECT_EQ(transcript().count(EventKind::FileError), errors + 4);
  }
  EXPECT_NE(transcript().events().back().detail.find("not a Windows file name"), std::string::npos);
  // Names that only look like those are files like any other; so is a
  // double-byte character whose second byte is a backslash or a bar.
  const char *const accepted[] = {"D:\\t\\CONSOLE.nc", "D:\\t\\COM0.nc", "D:\\t\\LPT10",
                                  "D:\\t\\a.b.c",      "D:\\t\\.nc",     "D:\\t\\\x95\x5c.nc",
                                  "D:\\t\\\x81\x7c.nc"};
  for (const char *path : accepted) {
    SCOPED_TRACE(path);
    host_file *file = host_fopen(path, "w");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(host_fclose(file), 0);
    EXPECT_EQ(host_remove(path), 0);
  }
}

TEST_F(RuntimeTest, MapsGbkNamesToUtf8OnDisk) {
  // "\xd6\xd0\xce\xc4" is 中文; "\x95\x5c" ends in a backslash byte but is
  // one character.
  const std::string name = "D:\\t\\\xd6\xd0\xce\xc4\x95\x5c.txt";
  write_through(name, "wb", "z");
  const std::string utf8_name = gbk_to_utf8("\xd6\xd0\xce\xc4\x95\x5c.txt");
  EXPECT_NE(utf8_name.find("中文"), std::string::npos);
  EXPECT_TRUE(fs::is_regular_file(root() / "drives" / "D" / "t" / utf8_name));
  EXPECT_EQ(read_chars(name, "rb"), "z");
}

TEST_F(RuntimeTest, ClockComesFromTheSession) {
  struct tm now {};
  host_localtime(&now);
  // 2026-12-05 09:30:00, a Saturday, day 338 of the year.
  EXPECT_EQ((std::array{now.tm_year, now.tm_mon, now.tm_mday, now.tm_hour, now.tm_min, now.tm_sec,
                        now.tm_wday, now.tm_yday}),
            (std::array{126, 11, 5, 9, 30, 0, 6, 338}));
  for (const char *text : {"2026-02-30T00:00:00", "2026-12-05 09:30:00", "2026-12-05T09:30:00Z"})
    EXPECT_FALSE(parse_clock(text).has_value()) << text;
}

TEST_F(RuntimeTest, FileCallsCanBeMadeToFailAndFilesLeftOpenFailTheRun) {
  write_file("D:\\t\\a.txt", "a");
  fail("host_fopen", 2);
  fail("host_rename", 1);
  host_file *first = host_fopen("D:\\t\\a.txt", "r");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(host_fclose(first), 0);
  EXPECT_EQ(host_fopen("D:\\t\\a.txt", "r"), nullptr);
  EXPECT_EQ(host_rename("D:\\t\\a.txt", "D:\\t\\b.txt"), -1);
  EXPECT_TRUE(file_exists("D:\\t\\a.txt"));
  EXPECT_EQ(transcript().count(EventKind::FaultInjected), 2u);
  // A file left open fails the run.
  ASSERT_NE(host_fopen("D:\\t\\a.txt", "r"), nullptr);
  const FinishReport report = finish();
  EXPECT_EQ(report.files_left_open, 1u);
  EXPECT_EQ(report.failures, std::vector<std::string>{"1 file(s) left open"});
  EXPECT_EQ(transcript().details(EventKind::FileLeftOpen),
            std::vector<std::string>{"D:\\t\\a.txt"});
}

} // namespace
} // namespace sim::testing
