// The terminal mode as a person uses it: the runner on a pseudo-terminal,
// answers typed line by line, wrong ones among them, and Ctrl-D.  The read
// timeout only guards against a hang; nothing here measures time.
#include "session_fixture.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

/// The runner on the example scenario with --interactive, its standard
/// input and output a pseudo-terminal.
class TerminalRun {
public:
  TerminalRun(const fs::path &out, const char *runs) {
    const std::string scenario = std::string(NCSHEET_SOURCE_DIR) + "/examples/demo/scenario.json";
    pid_ = forkpty(&fd_, nullptr, nullptr, nullptr);
    if (pid_ == 0) {
      execl(RUNNER_EXE, RUNNER_EXE, "run", scenario.c_str(), "--out", out.c_str(), "--runs", runs,
            "--interactive", static_cast<char *>(nullptr));
      _exit(127);
    }
  }
  TerminalRun(const TerminalRun &) = delete;
  TerminalRun &operator=(const TerminalRun &) = delete;
  ~TerminalRun() {
    if (pid_ > 0 && !waited_) {
      kill(pid_, SIGKILL);
      (void)wait();
    }
    if (fd_ >= 0)
      close(fd_);
  }

  [[nodiscard]] bool started() const { return pid_ > 0; }

  /// Reads until each text has appeared, in order, since the last expect;
  /// false at the end of the output or after a minute without them.
  bool expect(std::initializer_list<std::string_view> texts) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    for (const std::string_view text : texts) {
      std::size_t at = 0;
      while ((at = seen_.find(text, mark_)) == std::string::npos) {
        if (std::chrono::steady_clock::now() > deadline)
          return false;
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, 200) <= 0)
          continue;
        char buffer[4096];
        const ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n <= 0)
          return false;
        seen_.append(buffer, static_cast<std::size_t>(n));
      }
      mark_ = at + text.size();
    }
    return true;
  }
  /// Waits for prompts, then types line.
  bool reply(std::initializer_list<std::string_view> prompts, const std::string &line) {
    const std::string text = line + "\n";
    return expect(prompts) && write(fd_, text.data(), text.size()) == std::ssize(text);
  }
  /// Ctrl-D at the start of a line: the end of input.
  void end_input() {
    termios mode{};
    ASSERT_EQ(tcgetattr(fd_, &mode), 0);
    const char eof = static_cast<char>(mode.c_cc[VEOF]);
    ASSERT_EQ(write(fd_, &eof, 1), 1);
  }

  /// The runner's exit status, once it has ended.
  int wait() {
    int status = 0;
    (void)expect({"\x01never"}); // drain what is left
    waited_ = waitpid(pid_, &status, 0) == pid_;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  [[nodiscard]] const std::string &output() const { return seen_; }

private:
  pid_t pid_ = -1;
  int fd_ = -1;
  bool waited_ = false;
  std::string seen_;
  std::size_t mark_ = 0;
};

class Terminal : public ::testing::Test {
protected:
  void SetUp() override { dir_ = sim::testing::make_temp_dir("ncsheet-terminal"); }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  [[nodiscard]] nlohmann::json read_json(const fs::path &file) const {
    return nlohmann::json::parse(sim::testing::slurp(file));
  }
  fs::path dir_;
};

// A wrong menu number, a radio value out of range, a mould number of digits
// alone and Enter on the file box: each wrong answer is explained and asked
// again, and the run completes with what was typed.  A message dialog takes
// a button's first letter; anything else is explained.  The second run
// finds the NC files of the first and is told.
TEST_F(Terminal, WrongAnswersAreExplainedAndAskedAgain) {
  TerminalRun run(dir_ / "out", "2");
  if (!run.started())
    GTEST_SKIP() << "no pseudo-terminal on this machine";
  ASSERT_TRUE(run.reply({"(Enter) "}, "")) << run.output();
  ASSERT_TRUE(run.reply({"Back, Cancel", "> "}, "9")) << run.output();
  ASSERT_TRUE(run.reply({"? \"9\" is not an answer to this question.",
                         "Type an item's number (1 to 5), Back or Cancel."},
                        "1"))
      << run.output();
  ASSERT_TRUE(run.reply({"RADIO_7 (radio): 0 ", "> "}, "RADIO_7=9 OK")) << run.output();
  ASSERT_TRUE(run.reply({"? RADIO_7 offers choices 0 to 4", "> "}, "STR_0=2612 RADIO_7=1 OK"))
      << run.output();
  ASSERT_TRUE(run.reply({"filter: D:\\nc\\A01.mpf", "press Enter to take the one shown"}, ""))
      << run.output();
  ASSERT_TRUE(run.reply({"Back, Cancel"}, "1")) << run.output();
  ASSERT_TRUE(run.reply({"Enter alone presses OK."}, "")) << run.output();
  ASSERT_TRUE(run.reply({"press Enter to take the one shown"}, "")) << run.output();
  ASSERT_TRUE(run.reply({"Type a button: its number, its name or its first letter."}, "x"))
      << run.output();
  ASSERT_TRUE(run.reply({"? \"x\" is not an answer to this question."}, "n")) << run.output();
  ASSERT_TRUE(
      run.expect({"outcome: 14 programs posted", "run 2 stopped at \"D:\\nc\\A01.mpf", "(NO)"}))
      << run.output();
  EXPECT_EQ(run.wait(), 0) << run.output();

  EXPECT_TRUE(fs::exists(dir_ / "out" / "drives" / "D" / "nc" / "A01.mpf"));
  const nlohmann::json dump = read_json(dir_ / "out" / "part.json");
  const nlohmann::json &values = dump.at("state").at("styler").at("dialogs").at(0).at("values");
  EXPECT_EQ(values.at("STR_0"), "2612");
  EXPECT_EQ(values.at("RADIO_7"), 1);
}

// Ctrl-D at the menu answers it with Cancel and ends the run there; the
// scenario's scripted answers are never used.
TEST_F(Terminal, EndOfInputCancelsAndEndsTheRun) {
  TerminalRun run(dir_ / "out", "1");
  if (!run.started())
    GTEST_SKIP() << "no pseudo-terminal on this machine";
  ASSERT_TRUE(run.reply({"(Enter) "}, "")) << run.output();
  ASSERT_TRUE(run.expect({"> "})) << run.output();
  run.end_input();
  ASSERT_TRUE(run.expect(
      {"(end of input: Back or Cancel)", "outcome: 0 programs posted", "(end of input)"}))
      << run.output();
  EXPECT_EQ(run.wait(), 0) << run.output();
  EXPECT_FALSE(fs::exists(dir_ / "out" / "drives" / "D" / "nc" / "A01.mpf"));
  const nlohmann::json transcript = read_json(dir_ / "out" / "transcript.json");
  for (const auto &event : transcript.at("events"))
    if (event.value("kind", "") == "answer") {
      EXPECT_EQ(event.value("detail", "").rfind("end of input", 0), 0u) << event.dump();
    }
}

} // namespace
