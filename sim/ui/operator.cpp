//===- operator.cpp - The person in front of the host ---------------------===//
#include "ui/operator.h"

#include "session/session.h"
#include "text/gbk.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <deque>
#include <iostream>
#include <unistd.h>

namespace sim {
namespace {

/// At most this many bytes of a question's text go into a failure reason.
constexpr std::size_t kReasonTextLength = 80;

std::string describe(const Question &question) {
  std::string out(question_kind_name(question.kind));
  for (std::size_t i = 0; i < question.choices.size(); ++i)
    out += (i == 0 ? ": " : " | ") + std::to_string(i + 1) + " " +
           gbk_to_utf8(question.choices[i].label);
  return out;
}

std::string quoted_text(const Question &question) {
  std::string text = gbk_to_utf8(question.text.substr(0, kReasonTextLength));
  for (char &c : text)
    if (c == '\n')
      c = ' ';
  return "\"" + text + (question.text.size() > kReasonTextLength ? "...\"" : "\"");
}

bool fits(const Question &question, const nlohmann::json &answer) {
  if (!answer.is_object())
    return false;
  for (const std::string &key : question.keys)
    if (answer.contains(key))
      return true;
  return false;
}

bool same_ascii_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (fold(a[i]) != fold(b[i]))
      return false;
  }
  return true;
}

/// The default reading of a person's line for a question.
bool default_from_terminal(const Question &question, std::string_view line,
                           nlohmann::json &answer) {
  int number = 0;
  const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), number);
  const bool is_number = error == std::errc() && end == line.data() + line.size();
  switch (question.kind) {
  case QuestionKind::MessageBox: answer = nlohmann::json::object(); return true;
  case QuestionKind::MessageDialog: {
    // A button by its number, its label or, when no other label shares it,
    // its first letter.
    const Choice *by_letter = nullptr;
    int letters = 0;
    for (std::size_t i = 0; i < question.choices.size(); ++i) {
      const std::string label = gbk_to_utf8(question.choices[i].label);
      if ((is_number && number == static_cast<int>(i) + 1) || same_ascii_case(label, line)) {
        answer = {{"buttons", label}};
        return true;
      }
      if (line.size() == 1 && !label.empty() && same_ascii_case(label.substr(0, 1), line)) {
        by_letter = &question.choices[i];
        ++letters;
      }
    }
    if (letters == 1) {
      answer = {{"buttons", gbk_to_utf8(by_letter->label)}};
      return true;
    }
    return false;
  }
  case QuestionKind::Menu:
    if (is_number && number >= 1 && number <= static_cast<int>(question.choices.size())) {
      answer = {{"menu", number}};
      return true;
    }
    if (same_ascii_case(line, "back") || same_ascii_case(line, "cancel")) {
      answer = {{"menu", same_ascii_case(line, "back") ? "Back" : "Cancel"}};
      return true;
    }
    return false;
  case QuestionKind::FileBox:
    // Enter takes the name the box shows, as OK does.
    answer = {{"file", line.empty()                      ? std::string("OK")
                       : same_ascii_case(line, "cancel") ? std::string("Cancel")
                                                         : std::string(line)}};
    return true;
  case QuestionKind::Dialog:
    if (same_ascii_case(line, "ok") || same_ascii_case(line, "cancel")) {
      answer = {{"dialog", nlohmann::json::object()},
                {"press", same_ascii_case(line, "ok") ? "OK" : "Cancel"}};
      return true;
    }
    return false;
  }
  return false;
}

/// How to answer a question of its kind at the terminal.
std::string how_to_answer(const Question &question) {
  if (!question.terminal_help.empty())
    return question.terminal_help;
  switch (question.kind) {
  case QuestionKind::MessageBox: return "Press Enter.";
  case QuestionKind::MessageDialog:
    return "Type a button: its number, its name or its first letter.";
  case QuestionKind::Menu:
    return "Type an item's number (1 to " + std::to_string(question.choices.size()) +
           "), Back or Cancel.";
  case QuestionKind::FileBox:
    return "Type a file name, press Enter to take the one shown, or type Cancel.";
  case QuestionKind::Dialog: return "Type OK or Cancel.";
  }
  return {};
}

/// How the question is left when the person's input ends.
std::string_view leaving_word(const Question &question) {
  return question.kind == QuestionKind::Menu ? "Back or Cancel" : "Cancel";
}

} // namespace

std::string_view question_kind_name(QuestionKind kind) noexcept {
  switch (kind) {
  case QuestionKind::MessageBox: return "message_box";
  case QuestionKind::MessageDialog: return "message_dialog";
  case QuestionKind::Menu: return "menu";
  case QuestionKind::FileBox: return "file_box";
  case QuestionKind::Dialog: return "dialog";
  }
  return "question";
}

struct Operator::Impl {
  explicit Impl(Session &s) : session(s) {}

  /// The terminal to ask, or null when answers come from the script.
  [[nodiscard]] bool terminal() const noexcept {
    return mode == Mode::Terminal && in != nullptr && out != nullptr;
  }

  /// Prints a question to the terminal.
  void print(const Question &question) {
    *out << "\n";
    if (!question.title.empty())
      *out << "[" << gbk_to_utf8(question.title) << "]\n";
    *out << gbk_to_utf8(question.text) << "\n";
    for (std::size_t i = 0; i < question.choices.size(); ++i)
      *out << "  " << (i + 1) << ") " << gbk_to_utf8(question.choices[i].label) << "\n";
    if (question.kind == QuestionKind::Menu)
      *out << "  Back, Cancel\n";
    *out << how_to_answer(question) << "\n";
  }

  /// Prompts and reads the person's next line, a trailing carriage return
  /// dropped; false once the input has ended.
  bool read_line(std::string_view prompt, std::string &line) {
    if (input_ended)
      return false;
    *out << prompt << std::flush;
    if (!std::getline(*in, line)) {
      input_ended = true;
      return false;
    }
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    return true;
  }

  Session &session;
  Mode mode = Mode::Script;
  std::istream *in = nullptr;
  std::ostream *out = nullptr;
  bool input_ended = false; ///< the person pressed Ctrl-D
  std::deque<nlohmann::json> queue;
  std::deque<nlohmann::json> given; // stable addresses for ask()'s result
};

Operator::Operator(Session &session) : impl_(std::make_unique<Impl>(session)) {}
Operator::~Operator() = default;

void Operator::set_mode(Mode mode) noexcept {
  impl_->mode = mode;
  if (mode == Mode::Terminal && impl_->in == nullptr && isatty(STDIN_FILENO) == 1) {
    impl_->in = &std::cin;
    impl_->out = &std::cout;
  }
}

Operator::Mode Operator::mode() const noexcept { return impl_->mode; }

void Operator::set_terminal(std::istream &in, std::ostream &out) {
  impl_->in = &in;
  impl_->out = &out;
}

void Operator::queue(const nlohmann::json &answer) { impl_->queue.push_back(answer); }

std::size_t Operator::remaining() const noexcept { return impl_->queue.size(); }

std::size_t Operator::answered() const noexcept { return impl_->given.size(); }

void Operator::show(const Question &question) {
  impl_->session.transcript().add(EventKind::MessageBox, question.text,
                                  gbk_to_utf8(question.title));
  if (!impl_->terminal())
    return;
  if (impl_->input_ended)
    return;
  impl_->print(question);
  std::string line;
  if (!impl_->read_line("(Enter) ", line))
    *impl_->out << "\n(end of input)\n" << std::flush;
}

const nlohmann::json *Operator::ask(const Question &question) {
  Transcript &transcript = impl_->session.transcript();
  transcript.add(EventKind::Question, question.text, describe(question));

  if (impl_->terminal()) {
    const bool input_open = !impl_->input_ended;
    if (input_open)
      impl_->print(question);
    for (;;) {
      std::string line;
      if (!impl_->read_line("> ", line)) {
        // The person has left: the question, and every later one, is
        // answered the way a closed window answers it.
        if (input_open)
          *impl_->out << "\n(end of input: " << leaving_word(question) << ")\n" << std::flush;
        transcript.add(EventKind::Answer, {}, "end of input");
        return nullptr;
      }
      nlohmann::json answer;
      const bool ok = question.from_terminal ? question.from_terminal(line, answer)
                                             : default_from_terminal(question, line, answer);
      std::string why;
      if (!ok || !fits(question, answer))
        why = "\"" + line + "\" is not an answer to this question.";
      else if (question.check)
        why = question.check(answer);
      if (!why.empty()) {
        *impl_->out << "? " << why << "\n" << how_to_answer(question) << "\n";
        continue;
      }
      impl_->given.push_back(std::move(answer));
      transcript.add(EventKind::Answer, {}, "terminal " + impl_->given.back().dump());
      return &impl_->given.back();
    }
  }

  if (impl_->queue.empty()) {
    transcript.add(EventKind::Answer, {}, "none left");
    impl_->session.fail_run("no answer left for " + std::string(question_kind_name(question.kind)) +
                            " question " + quoted_text(question));
    return nullptr;
  }
  nlohmann::json answer = std::move(impl_->queue.front());
  impl_->queue.pop_front();
  const std::size_t number = impl_->given.size() + 1;
  if (!fits(question, answer)) {
    transcript.add(EventKind::Answer, {}, "unfit " + answer.dump());
    std::string keys;
    for (const std::string &key : question.keys)
      keys += (keys.empty() ? "\"" : " or \"") + key + "\"";
    impl_->session.fail_run("answer " + std::to_string(number) + " " + answer.dump() +
                            " does not fit " + std::string(question_kind_name(question.kind)) +
                            " question " + quoted_text(question) + " (wants " + keys + ")");
    impl_->given.push_back(std::move(answer));
    return nullptr;
  }
  impl_->given.push_back(std::move(answer));
  transcript.add(EventKind::Answer, {}, impl_->given.back().dump());
  return &impl_->given.back();
}

void Operator::record_response(int response, std::string_view what) {
  impl_->session.transcript().amend_last(EventKind::Answer, response, what);
}

void Operator::reject(const Question &question, const nlohmann::json &answer,
                      std::string_view why) {
  impl_->session.fail_run("answer " + answer.dump() + " to " +
                          std::string(question_kind_name(question.kind)) + " question " +
                          quoted_text(question) + ": " + std::string(why));
}

} // namespace sim
